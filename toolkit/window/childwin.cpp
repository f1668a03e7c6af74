// Child windows and splitters: opening a child window (top-level, owned or inside another
// window), closing it with everything inside or owned by it, and splitting a window into
// two panes with a movable bar.
// Sections (grep "[SECTION]"): helpers | opening | closing | splitting
//
// Invariants: (1) an open window number n has winslot(n).wWindow and winslot(n).hClient, and WINFLAGS[n]
// holds its flags; a closed one has both entries empty and WINFLAGS[n] = -1; (2) a split
// record is attached to the split window's frame and its bar while both panes are open.
#include "toolkit/window/childwin.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/resource.h"
#include "platform/statusbar.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/window.h"
#include "toolkit/window/window_internal.h"
#include "toolkit/window/wmenus.h"
#include "toolkit/window/wmsg.h"

using namespace win;

namespace {

constexpr const char* kChildClass = "TESSCHILD";
constexpr const char* kClientClass = "TESSCLIENT";

// The dialog of a type 3 record combined into the frame's client area.
HWND combine(int n, int dialog, bool show) {
  HWND dlg = combinedialog(dialog, winslot(n).hClient, show);
  if (dlg == nullptr) return nullptr;
  auto* record = new FrameRecord;
  record->word[FR_KIND] = SW_DIALOGWINDOW;
  record->word[DW_DIALOG] = HandleToLong(dlg);
  RECT fr;
  GetWindowRect(winslot(n).wWindow, fr);
  record->word[DW_FRAMEWIDTH] = fr.right - fr.left;
  record->word[DW_FRAMEHEIGHT] = fr.bottom - fr.top;
  for (int p = 0; p < 4; ++p) record->word[ix(FR_TOOLBAR + p)] = HandleToLong(winslot(n).hToolbar[ix(p)]);
  SetWindowLongPtr(winslot(n).wWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
  return dlg;
}

// Status bar of a new frame; its height.
int addstatusbar(int n, int flags) {
  if (!(flags & WOF_STATUSBAR)) return 0;
  RECT fr;
  GetWindowRect(winslot(n).wWindow, fr);
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                      ((flags & WOF_FIXEDSIZE) ? 0 : SBARS_SIZEGRIP);
  winslot(n).wMessLine = CreateWindowEx(0, STATUSCLASSNAME, "", style, 0, 0, fr.right - fr.left, 10, winslot(n).wWindow,
                                    LongToHandle<HMENU>(STATUSBARID), GetModuleHandle(nullptr), nullptr);
  for (int p = 1; p < 256; ++p) winslot(n).uStatusBorder[ix(p)] = 0;
  winslot(n).partlist[1] = -1;
  return heightof(winslot(n).wMessLine);
}

// The client window in the frame's room left by its bars.
HWND addclient(int n) {
  HWND frame = winslot(n).wWindow;
  RECT cr;
  GetClientRect(frame, cr);
  HWND client = CreateWindowEx(0, kClientClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                               cr.right, cr.bottom, frame, LongToHandle<HMENU>(CLIENTID), GetModuleHandle(nullptr),
                               nullptr);
  winslot(n).hClient = client;
  if (client != nullptr) yyframelayout(frame);
  return client;
}

// Clears the tables of a window whose frame is going or gone.
void clearentries(int i) {
  if (hWinCur == winslot(i).wWindow) hWinCur = winslot(0).wWindow;
  winslot(i).wWindow = nullptr;
  winslot(i).hClient = nullptr;
  winslot(i).wMessLine = nullptr;
  winslot(i).hToolbar.fill(nullptr);
  winslot(i).iToolSize.fill(0);
  winslot(i).pTooltip.clear();
  winslot(i).hMenuRoot = nullptr;
  winslot(i).hAccel = nullptr;
  winslot(i).hVXKMenuString = nullptr;
  winslot(i).nMenuString = 0;
  winslot(i).hCursorWin = nullptr;
  winslot(i).iCursorWin = 0;
  winslot(i).wChildRect.left = -999;
  if (winslot(i).hWindowColour != nullptr) DeleteObject(winslot(i).hWindowColour);
  winslot(i).hWindowColour = nullptr;
  VXKMessages[ix(i)] = DeferredEvent{};
  tessar.window.WINFLAGS[i] = -1;
}

bool ownedby(HWND f, HWND owner) {
  for (HWND o = GetWindow(f, GW_OWNER); o != nullptr; o = GetWindow(o, GW_OWNER))
    if (o == owner) return true;
  return false;
}

// The menu of a window, destroyed unless the window only borrows it from a pane.
void dropmenu(int i) {
  const FrameRecord* r = yyframerecord(winslot(i).wWindow);
  const bool borrowed = r && r->word[FR_KIND] == SW_SPLITWINDOW && r->word[SP_MENUPANE] != 0;
  if (winslot(i).hMenuRoot != nullptr && !borrowed) {
    yyClearMenuPrompt(winslot(i).hMenuRoot, i);
    DestroyMenu(winslot(i).hMenuRoot);
  }
  winslot(i).hMenuRoot = nullptr;
}

// The current window's client device context goes before its window.
void releasedc(int i) {
  if (i != wIndex || wDC == nullptr) return;
  ReleaseDC(winslot(i).hClient, wDC);
  if (gDC == wDC) gDC = nullptr;
  wDC = nullptr;
  if (hMovie == winslot(i).hClient) hMovie = nullptr;
}

void detachsplit(HWND frame) {
  FrameRecord* r = yyframerecord(frame);
  if (r == nullptr || r->word[FR_KIND] != SW_SPLITWINDOW) return;
  SetWindowLongPtr(frame, GWLP_USERDATA, 0);
  HWND bar = LongToHandle<HWND>(r->word[SP_BAR]);
  if (bar != nullptr && IsWindow(bar)) {
    SetWindowLongPtr(bar, GWLP_USERDATA, 0);
    DestroyWindow(bar);
  }
  delete r;
}

void dropdialog(HWND frame, int& curdialog) {
  FrameRecord* r = yyframerecord(frame);
  if (r == nullptr || r->word[FR_KIND] != SW_DIALOGWINDOW) return;
  HWND dlg = LongToHandle<HWND>(r->word[DW_DIALOG]);
  if (curdialog != 0 && yydialogidentifier(dlg) == curdialog) curdialog = 0;
  if (dlg != nullptr && IsWindow(dlg)) {
    ShowWindow(dlg, SW_HIDE);
    DestroyWindow(dlg);
  }
  SetWindowLongPtr(frame, GWLP_USERDATA, 0);
  delete r;
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Helpers
// - yygetnextfree(), yywindowcheckinside(), yyclosemcidevice()
//------------------------------------------------------------------------------
int yygetnextfree() {
  for (int n = 1; n < MAXWINDOWS; ++n)
    if (winslot(n).wWindow == nullptr) return n;
  return -1;
}

void yywindowcheckinside(int& parent) {
  parent = -1;
  HWND f = winslot(wIndex).wWindow;
  if (f != nullptr && ischildframe(f)) parent = yygetwindowindex(GetParent(f));
}

void yyclosemcidevice(int window) {
  // Media devices are not opened by this layer, so a window never has one to close.
  (void)window;
}

//------------------------------------------------------------------------------
// [SECTION] Opening
// - windowopenchild2(), yyopenchild()
//------------------------------------------------------------------------------
void windowopenchild2(int& window, const WindowOpenChildOptions& o) {
  WindowState& ws = tessar.window;
  const int savedwidth = ws.CURWIDTH, savedheight = ws.CURHEIGHT, savedwindow = ws.CURWINDOW;
  const int flags = o.flags.value_or(7);
  const bool inside = (flags & WOF_INSIDEPARENT) != 0;
  int x = o.x.value_or(CENTRED), y = o.y.value_or(CENTRED);
  int width = o.width.value_or(0), height = o.height.value_or(0);
  const int parent = o.parent.value_or(0);
  if (inside) {
    if (width < 1) width = 8000;
    if (height < 1) height = 8000;
    // The parent's client size converts the units; a missing parent is reported below.
    int present = 0;
    yywindowtest(parent, present);
    if (present == 1) windowselect(parent);
    if (x != CENTRED) x = (ws.CURWIDTH - 1) * x / 9999;
    if (y != CENTRED) y = (ws.CURHEIGHT - 1) * y / 9999;
    width = width * ws.CURWIDTH / 9999;
    height = height * ws.CURHEIGHT / 9999;
  } else {
    if (width < 1) width = GetSystemMetrics(SM_CXSCREEN) * 80 / 100;
    if (height < 1) height = GetSystemMetrics(SM_CYSCREEN) * 80 / 100;
  }
  std::string title(o.title.value_or(std::string_view{}));
  while (!title.empty() && title.back() == ' ') title.pop_back();
  int nodialog = 0;
  int& dialog = o.dialog != nullptr ? *o.dialog : nodialog;
  int n = 0;
  yyopenchild(x, y, width, height, n, flags, o.menu.value_or(0), o.toolbars, dialog, parent, o.background.value_or(-1),
              title.c_str());
  if (n >= 0) {
    window = n;
    windowselect(n);
    ws.WINFLAGS[n] = flags;
    switch (dialog) {
      case -5: yyerror(1091, "WindowOpenChild"); break;
      case -4: yyerror(1088, "WindowOpenChild"); break;
      case -3: yyerror(1087, "WindowOpenChild"); break;
      case -2: yyerror(1045, "WindowOpenChild"); break;
      case -1: yyerror(1007, "WindowOpenChild"); break;
      default:
        if (dialog > 0) tessar.dialog.CURDIALOG = dialog;
        break;
    }
    return;
  }
  // A failed open leaves the window that was current before.
  if (ws.CURWINDOW != savedwindow && exists(savedwindow)) yywinsel(savedwindow, 0);
  ws.CURWIDTH = savedwidth;
  ws.CURHEIGHT = savedheight;
  window = -1;
  switch (n) {
    case -5: yyerror(1003, "WindowOpenChild"); break;
    case -4: yyerror(1056, "WindowOpenChild"); break;
    case -3: yyerror(1046, "WindowOpenChild"); break;
    case -2: yyerror(1016, "WindowOpenChild"); break;
    default: break;
  }
}

void yyopenchild(int x, int y, int width, int height, int& window, int flags, int menu,
                 const std::array<int, 4>& toolbars, int& dialog, int parent, int background, const char* title) {
  const int n = yygetnextfree();
  if (n < 0) {
    window = -1;
    return;
  }
  const bool inside = (flags & WOF_INSIDEPARENT) != 0;
  if (inside) {
    if (!exists(parent)) {
      window = -5;
      return;
    }
    if (!IsWindowVisible(winslot(parent).wWindow)) {
      window = -2;
      return;
    }
    const int k = kindof(winslot(parent).wWindow);
    if (k == SW_DIALOGWINDOW) {
      window = -3;
      return;
    }
    if (k != 0) {
      window = -4;
      return;
    }
  }
  const int dialogresource = dialog;
  if (dialog != 0) probedialog(dialog, width, height, flags);

  DWORD style = WS_CAPTION | WS_CLIPCHILDREN;
  HWND owner = nullptr;
  HMENU hmenu = nullptr;
  if (inside) {
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    owner = winslot(parent).hClient;
  } else {
    style |= WS_POPUP;
    if ((flags & WOF_OWNED) && exists(parent)) owner = winslot(parent).wWindow;
    if (menu != 0) hmenu = yymnload(menu);
  }
  if (flags & WOF_SYSMENU) style |= WS_SYSMENU;
  if (flags & WOF_MINBOX) style |= WS_MINIMIZEBOX;
  if (flags & WOF_MAXBOX) style |= WS_MAXIMIZEBOX;
  if (!(flags & WOF_FIXEDSIZE)) style |= WS_THICKFRAME;
  DWORD exstyle = (flags & WOF_TOOLWINDOW) ? WS_EX_TOOLWINDOW : WS_EX_APPWINDOW;
  if (flags & WOF_TOPMOST) exstyle |= WS_EX_TOPMOST;

  if (background != -1) winslot(n).hWindowColour = CreateSolidBrush(static_cast<COLORREF>(background));

  RECT r{0, 0, width, height};
  AdjustWindowRectEx(r, style, hmenu != nullptr, exstyle);
  int fw = r.right - r.left, fh = r.bottom - r.top;
  int availw = GetSystemMetrics(SM_CXSCREEN), availh = GetSystemMetrics(SM_CYSCREEN);
  if (inside) {
    RECT pc;
    GetClientRect(winslot(parent).hClient, pc);
    availw = pc.right;
    availh = pc.bottom;
  }
  int fx = x == CENTRED ? (availw - fw) / 2 : x;
  int fy = y == CENTRED ? (availh - fh) / 2 : y;

  // The window to activate again when this one closes.
  const int cd = tessar.dialog.CURDIALOG;
  HWND dlg = cd != 0 && dialogwindowof != nullptr ? dialogwindowof(cd) : nullptr;
  if (dlg == nullptr || !IsWindowVisible(dlg)) {
    winslot(n).hPrevious = hWinCur;
  } else {
    winslot(n).hPrevious = dlg;
    for (int w = 0; w < MAXWINDOWS; ++w) {
      const FrameRecord* rec = yyframerecord(winslot(w).wWindow);
      if (rec && rec->word[FR_KIND] == SW_DIALOGWINDOW && LongToHandle<HWND>(rec->word[DW_DIALOG]) == dlg) winslot(n).hPrevious = winslot(w).wWindow;
    }
  }

  HINSTANCE inst = GetModuleHandle(nullptr);
  HWND frame = CreateWindowEx(exstyle, kChildClass, title, style, fx, fy, fw, fh, owner, hmenu, inst, nullptr);
  HWND client = nullptr;
  if (frame != nullptr) {
    winslot(n).wWindow = frame;
    winslot(n).hMenuRoot = hmenu;
    if (hmenu != nullptr) {
      winslot(n).hAccel = LoadAccelerators(inst, MAKEINTRESOURCE(menu));
      winslot(n).hVXKMenuString = FindResource(nullptr, MAKEINTRESOURCE(menu), "VXKMENUSTRING");
    }
    winslot(n).wChildRect.left = -999;
    const bool maximised = (flags & WOF_MAXIMISED) != 0;
    int addw = 0, addh = 0;
    yyopentoolbars(n, toolbars, addw, addh);
    addh += addstatusbar(n, flags);
    if (addw > 0 || addh > 0) {
      fw += addw;
      fh += addh;
      if (x == CENTRED && !maximised) fx -= addw / 2;
      if (y == CENTRED && !maximised) fy -= addh / 2;
      SetWindowPos(frame, nullptr, fx, fy, fw, fh, SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOZORDER);
    }
    client = addclient(n);
  } else if (hmenu != nullptr) {
    DestroyMenu(hmenu);
  }
  if (frame == nullptr || client == nullptr) {
    if (frame != nullptr) DestroyWindow(frame);
    clearentries(n);
    window = -1;
    return;
  }
  tessar.window.WINFLAGS[n] = flags;

  if (dialog > 0) {
    if (combine(n, dialogresource, !(flags & WOF_HIDDEN)) == nullptr) dialog = -4;
  }
  if (!(flags & WOF_HIDDEN)) {
    const bool maximised = (flags & WOF_MAXIMISED) != 0;
    ShowWindow(frame, maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    BringWindowToTop(frame);
    ValidateRect(client, nullptr);
    const FrameRecord* rec = yyframerecord(frame);
    if (rec && rec->word[FR_KIND] == SW_DIALOGWINDOW) UpdateWindow(LongToHandle<HWND>(rec->word[DW_DIALOG]));
    winslot(n).wChildRect.left = -999;
    SetFocus(client);
    yytitlecolour(frame);
  } else if (flags & WOF_MAXIMISED) {
    RECT c;
    GetClientRect(frame, c);
    SendMessage(frame, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
  }
  window = n;
}

//------------------------------------------------------------------------------
// [SECTION] Closing
// - windowclosechild(), yyclosechild(), yyCloseChild2(), yyCloseChild3()
//------------------------------------------------------------------------------
void windowclosechild(int window) {
  int n = window;
  int cd = tessar.dialog.CURDIALOG;
  yyclosechild(n, cd);
  tessar.dialog.CURDIALOG = cd;
  if (n == -1) {
    yyerror(1003, "WindowCloseChild");
    return;
  }
  WindowState& ws = tessar.window;
  int present = 0;
  yywindowtest(ws.CURWINDOW, present);
  if (present == 0) {
    ws.WINFLAGS[window] = -1;
    windowselect(0);
  }
  // The buffer table exists once start-up has allocated it.
  if (ix(window) < tessar.editor.EDITBUF.size())
    for (EditBuffer& b : tessar.editor.EDITBUF[ix(window)]) b = EditBuffer{};
}

void yyclosechild(int& window, int& curdialog) {
  if (window < 1 || window >= MAXWINDOWS || winslot(window).wWindow == nullptr) {
    window = -1;
    return;
  }
  HWND frame = winslot(window).wWindow;
  const int container = ischildframe(frame) ? yygetwindowindex(GetParent(frame)) : -1;
  FrameRecord* split = container >= 0 ? yyframerecord(winslot(container).wWindow) : nullptr;
  if (split != nullptr && split->word[FR_KIND] == SW_SPLITWINDOW) {
    // Closing one pane undoes the whole split.
    const int first = split->word[SP_PANE1], second = split->word[SP_PANE2];
    HWND outer = winslot(container).wWindow;
    SetWindowLongPtr(outer, GWLP_USERDATA, 0);
    if (split->word[SP_MENUPANE] != 0) winslot(container).hMenuRoot = nullptr;   // the borrowed pane menu goes with the pane
    if (!ischildframe(outer) && GetMenu(outer) != winslot(container).hMenuRoot) SetMenu(outer, winslot(container).hMenuRoot);
    if (exists(first)) yyCloseChild2(first, curdialog);
    if (exists(second)) yyCloseChild2(second, curdialog);
    HWND bar = LongToHandle<HWND>(split->word[SP_BAR]);
    if (bar != nullptr && IsWindow(bar)) {
      SetWindowLongPtr(bar, GWLP_USERDATA, 0);
      DestroyWindow(bar);
    }
    delete split;
    return;
  }
  yyCloseChild2(window, curdialog);
}

void yyCloseChild2(int window, int& curdialog) {
  const FrameRecord* r = yyframerecord(winslot(window).wWindow);
  if (r != nullptr && r->word[FR_KIND] == SW_SPLITWINDOW) {
    const int first = r->word[SP_PANE1], second = r->word[SP_PANE2];
    if (exists(first)) yyCloseChild2(first, curdialog);
    if (exists(second)) yyCloseChild2(second, curdialog);
  }
  if (exists(window)) yyCloseChild3(window, curdialog);
}

void yyCloseChild3(int n, int& curdialog) {
  HWND frame = winslot(n).wWindow;
  if (frame == nullptr) return;
  yyclosemcidevice(n);
  releasedc(n);
  dropdialog(frame, curdialog);

  std::vector<HWND> owned;
  for (int i = 1; i < MAXWINDOWS; ++i) {
    HWND f = winslot(i).wWindow;
    if (i == n || f == nullptr) continue;
    if (!IsChild(frame, f) && !ownedby(f, frame)) continue;
    FrameRecord* r = yyframerecord(f);
    if (r && r->word[FR_KIND] == SW_SPLITWINDOW) {
      SetWindowLongPtr(f, GWLP_USERDATA, 0);
      delete r;
    } else if (r && r->word[FR_KIND] == SW_DIALOGWINDOW) {
      dropdialog(f, curdialog);
    }
    dropmenu(i);
    releasedc(i);
    if (!IsChild(frame, f)) owned.push_back(f);   // an owned frame is not destroyed with n's
    clearentries(i);
  }
  for (int i = 0; i < MAXWINDOWS; ++i) {
    FrameRecord* r = yyframerecord(winslot(i).wWindow);
    if (r && r->word[FR_KIND] == SW_SPLITWINDOW && r->word[SP_MENUPANE] == HandleToLong(frame)) {
      r->word[SP_MENUPANE] = 0;
      winslot(i).hMenuRoot = nullptr;
    }
  }
  for (int i = 0; i < MAXWINDOWS; ++i)
    if (winslot(i).hPrevious == frame) winslot(i).hPrevious = winslot(n).hPrevious;

  dropmenu(n);
  detachsplit(frame);
  HWND previous = winslot(n).hPrevious;
  for (HWND f : owned)
    if (IsWindow(f)) DestroyWindow(f);
  if (winslot(n).hClient != nullptr && IsWindow(winslot(n).hClient)) DestroyWindow(winslot(n).hClient);
  DestroyWindow(frame);
  clearentries(n);
  winslot(n).hPrevious = nullptr;
  if (previous != nullptr && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
}

//------------------------------------------------------------------------------
// [SECTION] Splitting
// - yywindowsplit()
//------------------------------------------------------------------------------
void yywindowsplit(std::array<int, 2>& panes, int splitflags, std::array<int, 2> paneflags, int extent,
                   const std::array<int, 2>& menus, const std::array<std::array<int, 4>, 2>& toolbars,
                   std::array<int, 2>& dialogs, const std::array<int, 2>& backgrounds, const char* title1,
                   const char* title2) {
  const int cur = wIndex;
  HWND frame = winslot(cur).wWindow;
  if (frame == nullptr) {
    panes = {-1, -1};
    return;
  }
  const int k = kindof(frame);
  if (k == SW_DIALOGWINDOW) {
    panes = {-3, -3};
    return;
  }
  if (k != 0) {
    panes = {-4, -4};
    return;
  }
  HWND splitclient = winslot(cur).hClient;
  for (int i = 1; i < MAXWINDOWS; ++i)
    if (winslot(i).wWindow != nullptr && ischildframe(winslot(i).wWindow) && GetParent(winslot(i).wWindow) == splitclient) {
      panes = {-6, -6};
      return;
    }
  auto* rec = new FrameRecord;
  rec->word[FR_KIND] = SW_SPLITWINDOW;
  rec->word[SP_DRAG] = -999;
  SetWindowLongPtr(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(rec));
  // The two lowest free numbers.
  int p0 = -1, p1 = -1;
  for (int i = 1; i < MAXWINDOWS && p1 < 0; ++i)
    if (winslot(i).wWindow == nullptr) (p0 < 0 ? p0 : p1) = i;
  if (p1 < 0) {
    SetWindowLongPtr(frame, GWLP_USERDATA, 0);
    delete rec;
    panes = {-1, -1};
    return;
  }
  const bool stacked = (splitflags & 1) != 0;
  {
    RECT fr;
    GetWindowRect(frame, fr);
    rec->word[SP_FRAMEWIDTH] = fr.right - fr.left;
    rec->word[SP_FRAMEHEIGHT] = fr.bottom - fr.top;
  }
  // Dialogs to combine with the panes decide fixed panes and the first pane's extent.
  std::array<int, 2> dw{0, 0}, dh{0, 0};
  std::array<bool, 2> hasdialog{false, false}, fixed{false, false};
  const std::array<int, 2> dialogresource = dialogs;
  for (int p = 0; p < 2; ++p) {
    if (dialogs[ix(p)] == 0) continue;
    int f = paneflags[ix(p)];
    probedialog(dialogs[ix(p)], dw[ix(p)], dh[ix(p)], f);
    if (dialogs[ix(p)] > 0) {
      hasdialog[ix(p)] = true;
      fixed[ix(p)] = (f & WOF_FIXEDSIZE) != 0;
    }
  }
  if (hasdialog[0] && (!(fixed[1] && !fixed[0]))) extent = stacked ? dh[0] : dw[0];
  else if (hasdialog[1] && ((fixed[1] && !fixed[0]) || !hasdialog[0])) extent = stacked ? dh[1] : dw[1];
  if (fixed[0]) {
    paneflags[0] |= WOF_FIXEDSIZE;
    splitflags &= ~6;
  } else if (fixed[1]) {
    paneflags[1] |= WOF_FIXEDSIZE;
    splitflags &= ~2;
  }
  rec->word[SP_FLAGS] = splitflags;
  rec->word[SP_PANEFLAGS1] = paneflags[0];
  rec->word[SP_PANEFLAGS2] = paneflags[1];
  const int thickness = GetSystemMetrics(SM_CXSIZEFRAME);

  HINSTANCE inst = GetModuleHandle(nullptr);
  std::array<HMENU, 2> menu{nullptr, nullptr};
  for (int p = 0; p < 2; ++p)
    if (menus[ix(p)] != 0) menu[ix(p)] = yymnload(menus[ix(p)]);

  const bool equal = extent < 0;
  std::array<DWORD, 2> style{};
  for (int p = 0; p < 2; ++p) {
    style[ix(p)] = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | (equal ? 0 : WS_VISIBLE);
    if (paneflags[ix(p)] & 0x400) style[ix(p)] &= ~WS_CAPTION;
  }
  // Geometry in the split window's client rectangle.
  RECT Q;
  GetClientRect(splitclient, Q);
  const int total = stacked ? Q.bottom : Q.right, across = stacked ? Q.right : Q.bottom;
  const bool secondtakes = (splitflags & 4) != 0 || (fixed[1] && !fixed[0]) || (hasdialog[1] && !hasdialog[0]);
  const int taker = secondtakes ? 1 : 0;
  int takeextent = 0;
  if (equal) {
    takeextent = (total - thickness) / 2;
  } else {
    RECT g = stacked ? RECT{0, 0, across, extent} : RECT{0, 0, extent, across};
    AdjustWindowRectEx(g, style[ix(taker)], FALSE, 0);
    takeextent = stacked ? g.bottom - g.top : g.right - g.left;
  }
  std::array<int, 2> ext{};
  ext[ix(taker)] = takeextent;
  ext[ix(1 - taker)] = std::max(0, total - takeextent - thickness);

  const std::array<int, 2> number{p0, p1};
  const std::array<const char*, 2> titles{title1, title2};
  bool failed = false;
  for (int p = 0; p < 2 && !failed; ++p) {
    const int n = number[ix(p)];
    const int pos = p == 0 ? 0 : ext[0] + thickness;
    RECT g = stacked ? RECT{0, pos, across, pos + ext[ix(p)]} : RECT{pos, 0, pos + ext[ix(p)], across};
    if (backgrounds[ix(p)] != -1) winslot(n).hWindowColour = CreateSolidBrush(static_cast<COLORREF>(backgrounds[ix(p)]));
    HWND pane = CreateWindowEx(0, kChildClass, titles[ix(p)] ? titles[ix(p)] : "", style[ix(p)], g.left, g.top,
                               g.right - g.left, g.bottom - g.top, splitclient, nullptr, inst, nullptr);
    if (pane == nullptr) {
      failed = true;
      break;
    }
    winslot(n).wWindow = pane;
    winslot(n).wChildRect.left = -999;
    winslot(n).hMenuRoot = menu[ix(p)];
    if (menu[ix(p)] != nullptr) {
      winslot(n).hAccel = LoadAccelerators(inst, MAKEINTRESOURCE(menus[ix(p)]));
      winslot(n).hVXKMenuString = FindResource(nullptr, MAKEINTRESOURCE(menus[ix(p)]), "VXKMENUSTRING");
    }
    int addw = 0, addh = 0;
    yyopentoolbars(n, toolbars[ix(p)], addw, addh);
    addh += addstatusbar(n, paneflags[ix(p)]);
    // A pane's bars are added along the split direction, to the pane that takes the extent.
    const int grow = stacked ? addh : addw;
    if (p == taker && grow > 0 && !equal) {
      ext[ix(p)] += grow;
      ext[ix(1 - p)] = std::max(0, total - ext[ix(p)] - thickness);
    }
    if (addclient(n) == nullptr) failed = true;
    tessar.window.WINFLAGS[n] = paneflags[ix(p)];
    rec->word[ix(SP_EXTENT1 + p)] = equal ? 1 : 0;
  }
  HWND bar = nullptr;
  if (!failed) {
    const int pos = ext[0];
    RECT b = stacked ? RECT{0, pos, across, pos + thickness} : RECT{pos, 0, pos + thickness, across};
    bar = CreateWindowEx(WS_EX_TOPMOST, stacked ? "TESSSPLITH" : "TESSSPLITV", "", WS_CHILD | WS_VISIBLE, b.left, b.top,
                         b.right - b.left, b.bottom - b.top, splitclient, nullptr, inst, nullptr);
    if (bar == nullptr) failed = true;
  }
  if (failed) {
    for (int n : number) {
      if (winslot(n).wWindow != nullptr) {
        dropmenu(n);
        DestroyWindow(winslot(n).wWindow);
      }
      clearentries(n);
    }
    for (HMENU m : menu)
      if (m != nullptr && IsMenu(m)) DestroyMenu(m);
    SetWindowLongPtr(frame, GWLP_USERDATA, 0);
    delete rec;
    panes = {-1, -1};
    return;
  }
  BringWindowToTop(bar);
  rec->word[SP_BAR] = HandleToLong(bar);
  rec->word[SP_WINDOW] = cur;
  rec->word[SP_PANE1] = p0;
  rec->word[SP_PANE2] = p1;
  rec->word[SP_ACTIVE] = HandleToLong(winslot(p0).wWindow);
  SetWindowLongPtr(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(rec));
  // The panes are placed: their sizes now are the ones the layout keeps.
  for (int p = 0; p < 2; ++p) {
    const int pos = p == 0 ? 0 : ext[0] + thickness;
    if (stacked) MoveWindow(winslot(number[ix(p)]).wWindow, 0, pos, across, ext[ix(p)], TRUE);
    else MoveWindow(winslot(number[ix(p)]).wWindow, pos, 0, ext[ix(p)], across, TRUE);
    if (!equal) {
      RECT c;
      GetClientRect(winslot(number[ix(p)]).wWindow, c);
      rec->word[ix(SP_EXTENT1 + p)] = stacked ? c.bottom : c.right;
    }
  }
  if (menu[0] != nullptr) {
    HWND top = frame;
    while (ischildframe(top) && yygetwindowindex(GetParent(top)) >= 0) top = winslot(yygetwindowindex(GetParent(top))).wWindow;
    if (!ischildframe(top)) SetMenu(top, menu[0]);
  }
  for (int p = 0; p < 2; ++p)
    if (dialogs[ix(p)] > 0 && combine(number[ix(p)], dialogresource[ix(p)], true) == nullptr) dialogs[ix(p)] = -4;
  if (equal) {
    rec->word[SP_FLAGS] |= 2;
    SendMessage(splitclient, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(Q.right), static_cast<WORD>(Q.bottom)));
    rec->word[SP_FLAGS] = splitflags;
    for (int n : number) ShowWindow(winslot(n).wWindow, SW_SHOWNA);
  }
  const bool hadfocus = GetFocus() == splitclient;
  for (int n : number) {
    RedrawWindow(winslot(n).hClient, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ValidateRect(winslot(n).hClient, nullptr);
    const FrameRecord* pr = yyframerecord(winslot(n).wWindow);
    if (pr && pr->word[FR_KIND] == SW_DIALOGWINDOW) {
      RECT c;
      GetClientRect(winslot(n).hClient, c);
      SendMessage(winslot(n).hClient, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
      UpdateWindow(LongToHandle<HWND>(pr->word[DW_DIALOG]));
    }
  }
  if (hadfocus) {
    SetFocus(winslot(p0).hClient);
    yytitlecolour(winslot(p0).wWindow);
  }
  panes = {p0, p1};
}
