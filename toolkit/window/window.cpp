// Root window and window classes: WindowOpen in its two forms, the creation of the root
// window with its classes, status bar and client area, and windowclose with its tear-down.
// Sections (grep "[SECTION]"): lookups | opening | closing
#include "toolkit/window/window.h"

#include <cstdlib>
#include <string>

#include "platform/clipboard.h"
#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/icon.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/message_box.h"
#include "platform/resource.h"
#include "platform/statusbar.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/os/opsys.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/units.h"
#include "toolkit/window/window_internal.h"
#include "toolkit/window/wmenus.h"
#include "toolkit/window/wmsg.h"

//------------------------------------------------------------------------------
// [SECTION] Lookups
// - yyframerecord(), yygetwindowindex(), yytitlecolour()
//------------------------------------------------------------------------------
FrameRecord* yyframerecord(win::HWND frame) {
  if (frame == nullptr) return nullptr;
  return reinterpret_cast<FrameRecord*>(win::GetWindowLongPtr(frame, win::GWLP_USERDATA));
}

int yygetwindowindex(win::HWND hwnd) {
  if (hwnd == nullptr) return -1;
  for (int w = 0; w < MAXWINDOWS; ++w)
    if (winslot(w).wWindow == hwnd || winslot(w).hClient == hwnd) return w;
  for (int w = 1; w < MAXWINDOWS; ++w) {
    const FrameRecord* r = yyframerecord(winslot(w).wWindow);
    if (r && r->word[FR_KIND] == SW_BITMAPVIEWER && win::LongToHandle<win::HWND>(r->word[BV_VIEWER]) == hwnd) return w;
  }
  return -1;
}

void yytitlecolour(win::HWND hwnd) {
  if (hwnd != nullptr && yygetwindowindex(hwnd) >= 0 && win::IsWindowVisible(hwnd)) {
    const int w = yygetwindowindex(hwnd);
    // A special window's client is hidden under its control: the control takes the focus.
    const FrameRecord* r = yyframerecord(winslot(w).wWindow);
    win::HWND target = r != nullptr && r->word[FR_CONTROL] != 0 ? win::LongToHandle<win::HWND>(r->word[FR_CONTROL])
                                                                : winslot(w).hClient;
    if (target && win::GetFocus() != target && !(r != nullptr && win::IsChild(target, win::GetFocus())))
      win::SetFocus(target);
  }
  for (int w = 1; w < MAXWINDOWS; ++w) {
    win::HWND f = winslot(w).wWindow;
    if (f == nullptr) continue;
    const bool active = hwnd != nullptr && (f == hwnd || win::IsChild(f, hwnd));
    win::SendMessage(f, win::WM_NCACTIVATE, active ? win::TRUE : win::FALSE, 0);
  }
}

//------------------------------------------------------------------------------
// [SECTION] Opening
// - windowopen1(), windowopen2(), yycreaterootwindow()
//------------------------------------------------------------------------------
namespace {

constexpr const char* kRootClass = "TESSARAWELD";
constexpr const char* kChildClass = "TESSCHILD";
constexpr const char* kClientClass = "TESSCLIENT";
constexpr const char* kSplitHClass = "TESSSPLITH";
constexpr const char* kSplitVClass = "TESSSPLITV";

// The program cannot go on without its window: it says so and ends with a failure status,
// so that whoever started it sees the failure.
[[noreturn]] void fatal(const char* text) {
  win::MessageBox(nullptr, text, "Tessaraweld Window", win::MB_OK | win::MB_ICONHAND);
  std::exit(1);
}

win::ATOM registerclass(const char* name, win::WNDPROC proc, win::UINT style, win::LPCSTR cursor,
                        bool icon, win::HBRUSH background, bool replace) {
  win::HINSTANCE inst = win::GetModuleHandle(nullptr);
  win::WNDCLASS existing;
  if (replace) {
    win::UnregisterClass(name, inst);
  } else if (win::GetClassInfo(inst, name, existing)) {
    return static_cast<win::ATOM>(win::GetClassInfo(inst, name, existing));
  }
  win::WNDCLASS wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = inst;
  wc.hCursor = win::LoadCursor(nullptr, cursor);
  // The program's icon when its resources have one; the window frame draws without it else.
  wc.hIcon = icon ? win::LoadIcon(inst, "icon1") : nullptr;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return win::RegisterClass(wc);
}

// The 18 window colours: 16 standard colours, then the system window-text and window colours.
void setcolours() {
  using win::RGB;
  static constexpr win::COLORREF standard[16] = {
      RGB(0, 0, 0),       RGB(191, 0, 0),   RGB(191, 191, 0), RGB(0, 191, 0),
      RGB(0, 191, 191),   RGB(0, 0, 191),   RGB(191, 0, 191), RGB(191, 191, 191),
      RGB(64, 64, 64),    RGB(255, 0, 0),   RGB(255, 255, 0), RGB(0, 255, 0),
      RGB(0, 255, 255),   RGB(0, 0, 255),   RGB(255, 0, 255), RGB(255, 255, 255)};
  for (int i = 0; i < 16; ++i) wColor[static_cast<std::size_t>(i)] = standard[i];
  wColor[16] = win::GetSysColor(win::COLOR_WINDOWTEXT);
  wColor[17] = win::GetSysColor(win::COLOR_WINDOW);
  wForeCol = 0;
  wBackCol = 15;
  wUnderline = 0;
}

// A level-3 report: part 1 of the root window's status bar; the current window is selected
// again after.
void rootstatustext(std::string_view text) {
  const int current = winfowindow(4);
  windowselect(0);
  windowoutstatusbar(1, text);
  windowselect(current);
}

int screenwidth() { return win::GetSystemMetrics(win::SM_CXSCREEN); }
int screenheight() { return win::GetSystemMetrics(win::SM_CYSCREEN); }

}  // namespace

void probedialog(int& dialog, int& width, int& height, int& flags) {
  using namespace win;
  if (FindResource(nullptr, MAKEINTRESOURCE(dialog), RT_DIALOG) == nullptr) {
    dialog = -1;
    return;
  }
  HWND probe = CreateDialogParam(GetModuleHandle(nullptr), MAKEINTRESOURCE(dialog), winslot(0).wWindow,
                                 yyWindowSizeDlgProc, 0);
  if (probe == nullptr) {
    dialog = -4;
    return;
  }
  const auto style = static_cast<DWORD>(GetWindowLong(probe, GWL_STYLE));
  if (!(style & WS_CHILD) || !(style & DS_CONTROL) || (style & WS_CAPTION) || (style & WS_SYSMENU)) {
    dialog = -2;
  } else if (combinedialog == nullptr) {
    dialog = -4;   // no dialog layer to load it
  } else {
    RECT r;
    GetWindowRect(probe, r);
    width = r.right - r.left;
    height = r.bottom - r.top;
    // Without the dialog layer's resizing data a combined dialog keeps its size.
    flags = (flags & ~(WOF_MAXBOX | WOF_MAXIMISED)) | WOF_FIXEDSIZE;
  }
  DestroyWindow(probe);
}

win::INT_PTR yyWindowSizeDlgProc(win::HWND, win::UINT, win::WPARAM, win::LPARAM) { return win::FALSE; }

void windowopen1(const WindowRecord& record, std::optional<int> colours) {
  WindowOpenOptions o;
  o.flags = record.flags;
  o.x = record.x < 0 ? CENTRED : record.x;
  o.y = record.y < 0 ? CENTRED : record.y;
  o.width = record.width;
  o.height = record.height;
  o.menu = record.menu;
  o.title = record.title;
  o.colours = colours.value_or(0);
  windowopen2(o);
}

void yyinstallservices() {
  reportservices.rootstatustext = rootstatustext;
  reportservices.WMessageBox = WMessageBox;
  reportservices.iosexitprogram = iosexitprogram;
  graphicsservices.yypgreset = yypgreset;
}

void windowopen2(const WindowOpenOptions& o) {
  yyinstallservices();
  WindowState& ws = tessar.window;
  if (ws.ROOTOPEN == 1) return;
  const int flags = o.flags.value_or(7);
  const int x = o.x.value_or(CENTRED), y = o.y.value_or(CENTRED);
  int width = o.width.value_or(0), height = o.height.value_or(0);
  if (width < 1) width = screenwidth() * 80 / 100;
  if (height < 1) height = screenheight() * 80 / 100;
  const int menu = o.menu.value_or(0);
  int colours = o.colours.value_or(16);
  if (colours != 16 && colours != 32 && colours != 64 && colours != 128) colours = 16;
  const int background = o.background.value_or(-1);
  int nodialog = 0;
  int& dialog = o.dialog != nullptr ? *o.dialog : nodialog;
  ws.CURWIDTH = width;
  ws.CURHEIGHT = height;

  std::string title(o.title.value_or(std::string_view{}));
  while (!title.empty() && title.back() == ' ') title.pop_back();
  yycreaterootwindow(x, y, width, height, flags, menu, o.toolbars, colours, dialog, background, title.c_str());
  ws.CURWIDTH = width;
  ws.CURHEIGHT = height;

  if (dialog < 1) {
    if (dialog == -4) yyerror(1088, "WindowOpen");
    else if (dialog == -2) yyerror(1045, "WindowOpen");
    else if (dialog == -1) yyerror(1007, "WindowOpen");
  } else {
    tessar.dialog.CURDIALOG = dialog;
  }
  if (tessar.display.COLOURS == 256) tessar.graphics.attributes.PALETTECLASS = colours;

  ws.CURWINDOW = 0;
  ws.WINFLAGS[0] = flags;
  ws.ROOTOPEN = 1;

  WindowTextState& wt = tessar.windowtext;
  wt.X = 0; wt.Y = 0; wt.FORE = 0; wt.BACK = 15; wt.FLAG = 0;
  wt.KIND = 0; wt.BOLD = 0; wt.ITALIC = 0;
  int cw = 0, ch = 0;
  yycreatefont(0, 0, 0, cw, ch);
  wt.CHARW = cw;
  wt.CHARH = ch;
  windowunitsfrompixels(cw, ch, wt.CHARWU, wt.CHARHU);

  yypali();
  igrinit(" ");
}

void yycreaterootwindow(int x, int y, int& width, int& height, int flagsin, int menu,
                        const std::array<int, 4>& toolbars, int colours, int& dialog,
                        int background, const char* title) {
  using namespace win;
  (void)colours;   // the displays served are true colour: no logical palette is built
  int flags = flagsin;
  HINSTANCE inst = GetModuleHandle(nullptr);
  wMessageEnabled = wMessageDefault;

  HBRUSH face = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
  const ATOM atoms[5] = {
      registerclass(kRootClass, yyWndProc, 0, IDC_ARROW, true, nullptr, true),
      registerclass(kChildClass, yyWndProc, 0, IDC_ARROW, true, nullptr, false),
      registerclass(kClientClass, yyWndProcClient, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, IDC_ARROW,
                    false, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), false),
      registerclass(kSplitHClass, yySplitProc, CS_VREDRAW | CS_HREDRAW | CS_PARENTDC, IDC_SIZENS, false, face, false),
      registerclass(kSplitVClass, yySplitProc, CS_VREDRAW | CS_HREDRAW | CS_PARENTDC, IDC_SIZEWE, false, face, false)};
  for (ATOM a : atoms)
    if (a == 0) fatal("Failed to register class - aborting.");

  // The common controls that the frame uses.
  RegisterStatusBarClass();
  RegisterToolbarClass();

  winslot(0).wWindow = CreateWindowEx(0, kRootClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, inst, nullptr);
  if (winslot(0).wWindow == nullptr) fatal("Failed to create window - aborting.");

  // The rich-edit control is not part of this layer yet: the editor uses its plain form.
  iVerRTF = 1;
  uFindMsgString = RegisterWindowMessage("commdlg_FindReplace");
  StoreVal = 1;
  hBrushDlg = nullptr;

  const int dialogresource = dialog;
  if (dialog != 0) probedialog(dialog, width, height, flags);
  DestroyWindow(winslot(0).wWindow);
  winslot(0).wWindow = nullptr;

  DWORD style = WS_CAPTION | WS_CLIPCHILDREN;
  if (flags & WOF_SYSMENU) style |= WS_SYSMENU;
  if (flags & WOF_MINBOX) style |= WS_MINIMIZEBOX;
  if (flags & WOF_MAXBOX) style |= WS_MAXIMIZEBOX;
  if (!(flags & WOF_FIXEDSIZE)) style |= WS_THICKFRAME;
  const DWORD exstyle = WS_EX_APPWINDOW | ((flags & WOF_TOPMOST) ? WS_EX_TOPMOST : 0);
  if (background != -1) winslot(0).hWindowColour = CreateSolidBrush(static_cast<COLORREF>(background));

  HMENU hmenu = menu != 0 ? yymnload(menu) : nullptr;
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(r, style, hmenu != nullptr, exstyle);
  int fw = r.right - r.left;
  int fh = r.bottom - r.top;
  int fx = x == CENTRED ? (screenwidth() - fw) / 2 : x;
  int fy = y == CENTRED ? (screenheight() - fh) / 2 : y;
  const bool maximised = (flags & WOF_MAXIMISED) != 0;

  HWND frame = CreateWindowEx(exstyle, kRootClass, title, style, fx, fy, fw, fh, nullptr, hmenu, inst, nullptr);
  winslot(0).wWindow = frame;
  HWND client = nullptr;
  if (frame != nullptr) {
    winslot(0).hMenuRoot = hmenu;
    if (hmenu != nullptr) {
      winslot(0).hAccel = LoadAccelerators(inst, MAKEINTRESOURCE(menu));
      winslot(0).hVXKMenuString = FindResource(nullptr, MAKEINTRESOURCE(menu), "VXKMENUSTRING");
    }
    for (int p = 1; p < 256; ++p) winslot(0).uStatusBorder[static_cast<std::size_t>(p)] = 0;
    int added = 0, addedw = 0;
    yyopentoolbars(0, toolbars, addedw, added);
    fw += addedw;
    if (x == CENTRED && !maximised) fx -= addedw / 2;
    fh += added;
    if (y == CENTRED && !maximised) fy -= added / 2;
    if (flags & WOF_STATUSBAR) {
      const DWORD sbstyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                            ((flags & WOF_FIXEDSIZE) ? 0 : SBARS_SIZEGRIP);
      winslot(0).wMessLine = CreateWindowEx(0, STATUSCLASSNAME, "", sbstyle, 0, 0, fw, 10, frame,
                                    LongToHandle<HMENU>(STATUSBARID), inst, nullptr);
      winslot(0).partlist[1] = -1;
      const int bar = heightof(winslot(0).wMessLine);
      added += bar;
      fh += bar;
      if (y == CENTRED && !maximised) fy -= bar / 2;
    }
    if (added > 0 || addedw > 0) {
      SetWindowPos(frame, nullptr, fx, fy, fw, fh, SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOZORDER);
      if (winslot(0).wMessLine) SendMessage(winslot(0).wMessLine, WM_SIZE, 0, 0);
      if (maximised && IsZoomed(frame)) {   // a maximised frame grows its restored size instead
        WINDOWPLACEMENT wp;
        GetWindowPlacement(frame, wp);
        wp.rcNormalPosition.bottom += added;
        SetWindowPlacement(frame, wp);
      }
    }
    RECT cr;
    GetClientRect(frame, cr);
    cr.bottom -= heightof(winslot(0).wMessLine);
    client = CreateWindowEx(0, kClientClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                            cr.left, cr.top, cr.right - cr.left, cr.bottom - cr.top, frame,
                            LongToHandle<HMENU>(CLIENTID), inst, nullptr);
    winslot(0).hClient = client;
    if (client != nullptr && yyHasMenu(0) == 1) yyframelayout(frame);   // the toolbars' room
  }
  if (frame == nullptr || client == nullptr) fatal("Failed to create window - aborting.");

  if (dialog > 0) {
    // The dialog fills the client area; its frame record holds it and the frame's size.
    HWND dlg = combinedialog(dialogresource, client, !(flags & WOF_HIDDEN));
    if (dlg == nullptr) {
      dialog = -4;
    } else {
      auto* record = new FrameRecord;
      record->word[FR_KIND] = SW_DIALOGWINDOW;
      record->word[DW_DIALOG] = HandleToLong(dlg);
      RECT fr;
      GetWindowRect(frame, fr);
      record->word[DW_FRAMEWIDTH] = fr.right - fr.left;
      record->word[DW_FRAMEHEIGHT] = fr.bottom - fr.top;
      SetWindowLongPtr(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
      bDlgRoot = 1;
    }
  }

  if (!(flags & WOF_HIDDEN)) {
    wHideRoot = 0;
    ShowWindow(frame, maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    ValidateRect(client, nullptr);
  } else {
    wHideRoot = 1;
  }
  wDC = GetDC(client);
  SetBkMode(wDC, TRANSPARENT);
  SetTextAlign(wDC, TA_BASELINE);
  RECT cc;
  GetClientRect(client, cc);
  width = cc.right;
  height = cc.bottom;

  setcolours();
  gDC = wDC;
  hMovie = client;
  if (gBitmap == nullptr) gBitmap = CreateCompatibleBitmap(wDC, 8, 8);
  gStippleRebuild = 1;
  gPenStyle = 0;
  gLineType = 0;
  gPlotMode = 13;
  hGraphicsField = hGraphicsBitmap = hGraphicsMetafile = nullptr;
  hGraphicsFieldWnd = nullptr;
  wIndex = 0;
  TimerEnabled = 0;
  // The drawing layer has its own gradient fill, and mail goes through the desktop's
  // composer: both are always there.
  hImgLib = 1;
  hEmailLib = 1;
  // The private format of the graphics layer's metafiles, once per process.
  if (cgmFormat == 0) cgmFormat = RegisterClipboardFormat("Tessaraweld CGM");
  for (DeferredEvent& s : VXKMessages) s = DeferredEvent{};
  if (!(flags & WOF_HIDDEN)) SetFocus(client);
  hWinCur = frame;
}

//------------------------------------------------------------------------------
// [SECTION] Closing
// - windowclose(), yyshutdown()
//------------------------------------------------------------------------------
void windowclose() {
  if (graphicsservices.igrhardcopy != nullptr && tessar.graphics.attributes.HARDCOPYON > 0)
    graphicsservices.igrhardcopy("S", "");
  if (graphicsservices.WMetafileDestroy != nullptr) {
    for (int slot = 1; slot <= 20; ++slot)
      if (tessar.graphics.metafiles[static_cast<std::size_t>(slot - 1)].KIND != 0) graphicsservices.WMetafileDestroy(slot);
  }
  yyshutdown();
  WindowState& ws = tessar.window;
  ws.WINFLAGS[0] = -1;
  ws.ROOTOPEN = 0;
  DialogState& ds = tessar.dialog;
  ds.CURDIALOG = 0;
  ds.FOCUSFIELD = 0;
  ds.EXITBUTTON = 0;
  ds.DLGANSWER = 0;
  for (std::size_t w = 1; w < tessar.editor.EDITBUF.size(); ++w)
    for (EditBuffer& b : tessar.editor.EDITBUF[w]) b = EditBuffer{};
}

void yyshutdown() {
  using namespace win;
  if (unloadalldialogs != nullptr) unloadalldialogs();
  auto drop = [](auto& handle) {
    if (handle != nullptr) DeleteObject(handle);
    handle = nullptr;
  };
  drop(gBitmap);
  drop(gClipRgn);
  if (gDC != nullptr && gFontOld != nullptr) SelectObject(gDC, gFontOld);
  if (gDC != nullptr && gPenOld != nullptr) SelectObject(gDC, gPenOld);
  gFontOld = nullptr;
  gPenOld = nullptr;
  drop(gFont);
  drop(gPen);
  if (hWindowFont != nullptr) {
    DeleteObject(hWindowFont);
    hWindowFont = nullptr;
  }
  for (int w = 0; w < MAXWINDOWS; ++w) {
    HWND f = winslot(w).wWindow;
    FrameRecord* r = yyframerecord(f);
    if (r == nullptr) continue;
    if (r->word[FR_CONTROL] != 0) DestroyWindow(LongToHandle<HWND>(r->word[FR_CONTROL]));   // the dialog or the bar
    if (r->word[FR_KIND] == SW_DIALOGWINDOW || r->word[FR_KIND] == SW_SPLITWINDOW) {
      SetWindowLongPtr(f, GWLP_USERDATA, 0);
      delete r;
    }
  }
  hImgLib = 0;
  hEmailLib = 0;
  if (wDC != nullptr) {
    ReleaseDC(winslot(tessar.window.CURWINDOW).hClient ? winslot(tessar.window.CURWINDOW).hClient : winslot(0).hClient, wDC);
    wDC = nullptr;
  }
  gDC = nullptr;
  hMovie = nullptr;
  for (int w = MAXWINDOWS - 1; w >= 0; --w) {
    const auto i = static_cast<std::size_t>(w);
    if (winslot(i).wWindow != nullptr && IsWindow(winslot(i).wWindow)) DestroyWindow(winslot(i).wWindow);
    winslot(i).wWindow = nullptr;
    winslot(i).hClient = nullptr;
    winslot(i).wMessLine = nullptr;
    winslot(i).hCursorWin = nullptr;
    winslot(i).iCursorWin = 0;
    if (winslot(i).hWindowColour != nullptr) DeleteObject(winslot(i).hWindowColour);
    winslot(i).hWindowColour = nullptr;
    winslot(i).hToolbar.fill(nullptr);
    winslot(i).pTooltip.clear();
  }
  tessar.window.CURWINDOW = 0;
  wIndex = 0;
  hGraphicsField = hGraphicsBitmap = hGraphicsMetafile = nullptr;
  hGraphicsFieldWnd = nullptr;
  wMessageEnabled = wMessageDefault;
  hWinCur = nullptr;
  hDlgCur = nullptr;
  bDlgRoot = 0;
  for (DeferredEvent& s : VXKMessages) s = DeferredEvent{};
}
