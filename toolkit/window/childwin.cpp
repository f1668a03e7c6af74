// Child windows and splitters: opening a child window (top-level, owned or inside another
// window), closing it with everything inside or owned by it, and splitting a window into
// two panes with a movable bar.
// Sections (grep "[SECTION]"): helpers | opening | closing | splitting
//
// Invariants: (1) an open window number n has wWindow[n] and hClient[n], and WINFLAGS[n]
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
  HWND dlg = combinedialog(dialog, hClient[ix(n)], show);
  if (dlg == nullptr) return nullptr;
  auto* record = new FrameRecord;
  record->word[0] = SW_DIALOGWINDOW;
  record->word[5] = HandleToLong(dlg);
  RECT fr;
  GetWindowRect(wWindow[ix(n)], fr);
  record->word[6] = fr.right - fr.left;
  record->word[7] = fr.bottom - fr.top;
  for (int p = 0; p < 4; ++p) record->word[ix(p + 1)] = HandleToLong(hToolbar[ix(n)][ix(p)]);
  SetWindowLongPtr(wWindow[ix(n)], GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
  return dlg;
}

// Status bar of a new frame; its height.
int addstatusbar(int n, int flags) {
  if (!(flags & WOF_STATUSBAR)) return 0;
  RECT fr;
  GetWindowRect(wWindow[ix(n)], fr);
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                      ((flags & WOF_FIXEDSIZE) ? 0 : SBARS_SIZEGRIP);
  wMessLine[ix(n)] = CreateWindowEx(0, STATUSCLASSNAME, "", style, 0, 0, fr.right - fr.left, 10, wWindow[ix(n)],
                                    LongToHandle<HMENU>(STATUSBARID), GetModuleHandle(nullptr), nullptr);
  for (int p = 1; p < 256; ++p) uStatusBorder[ix(p)][ix(n)] = 0;
  partlist[1][ix(n)] = -1;
  return heightof(wMessLine[ix(n)]);
}

// The client window in the frame's room left by its bars.
HWND addclient(int n) {
  HWND frame = wWindow[ix(n)];
  RECT cr;
  GetClientRect(frame, cr);
  HWND client = CreateWindowEx(0, kClientClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                               cr.right, cr.bottom, frame, LongToHandle<HMENU>(CLIENTID), GetModuleHandle(nullptr),
                               nullptr);
  hClient[ix(n)] = client;
  if (client != nullptr) yyframelayout(frame);
  return client;
}

// Clears the tables of a window whose frame is going or gone.
void clearentries(int i) {
  if (hWinCur == wWindow[ix(i)]) hWinCur = wWindow[0];
  wWindow[ix(i)] = nullptr;
  hClient[ix(i)] = nullptr;
  wMessLine[ix(i)] = nullptr;
  hToolbar[ix(i)].fill(nullptr);
  iToolSize[ix(i)].fill(0);
  pTooltip[ix(i)].clear();
  hMenuRoot[ix(i)] = nullptr;
  hAccel[ix(i)] = nullptr;
  hVXKMenuString[ix(i)] = nullptr;
  nMenuString[ix(i)] = 0;
  hCursorWin[ix(i)] = nullptr;
  iCursorWin[ix(i)] = 0;
  wChildRect[ix(i)].left = -999;
  if (hWindowColour[ix(i)] != nullptr) DeleteObject(hWindowColour[ix(i)]);
  hWindowColour[ix(i)] = nullptr;
  iWindowColour[ix(i)] = -1;
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
  const FrameRecord* r = yyframerecord(wWindow[ix(i)]);
  const bool borrowed = r && r->word[0] == SW_SPLITWINDOW && r->word[18] != 0;
  if (hMenuRoot[ix(i)] != nullptr && !borrowed) {
    yyClearMenuPrompt(hMenuRoot[ix(i)], i);
    DestroyMenu(hMenuRoot[ix(i)]);
  }
  hMenuRoot[ix(i)] = nullptr;
}

// The current window's client device context goes before its window.
void releasedc(int i) {
  if (i != wIndex || wDC == nullptr) return;
  ReleaseDC(hClient[ix(i)], wDC);
  if (gDC == wDC) gDC = nullptr;
  wDC = nullptr;
  if (hMovie == hClient[ix(i)]) hMovie = nullptr;
}

void detachsplit(HWND frame) {
  FrameRecord* r = yyframerecord(frame);
  if (r == nullptr || r->word[0] != SW_SPLITWINDOW) return;
  SetWindowLongPtr(frame, GWLP_USERDATA, 0);
  HWND bar = LongToHandle<HWND>(r->word[5]);
  if (bar != nullptr && IsWindow(bar)) {
    SetWindowLongPtr(bar, GWLP_USERDATA, 0);
    DestroyWindow(bar);
  }
  delete r;
}

void dropdialog(HWND frame, int& curdialog) {
  FrameRecord* r = yyframerecord(frame);
  if (r == nullptr || r->word[0] != SW_DIALOGWINDOW) return;
  HWND dlg = LongToHandle<HWND>(r->word[5]);
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
    if (wWindow[ix(n)] == nullptr) return n;
  return -1;
}

void yywindowcheckinside(int& parent) {
  parent = -1;
  HWND f = wWindow[ix(wIndex)];
  if (f != nullptr && ischildframe(f)) parent = yygetwindowindex(GetParent(f));
}

void yyclosemcidevice(int window) {
  // Media devices are not opened by this layer; a device number left behind is forgotten.
  if (window >= 0 && window < MAXWINDOWS) wDevice[ix(window)] = 0;
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
    if (!IsWindowVisible(wWindow[ix(parent)])) {
      window = -2;
      return;
    }
    const int k = kindof(wWindow[ix(parent)]);
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
    owner = hClient[ix(parent)];
  } else {
    style |= WS_POPUP;
    if ((flags & WOF_OWNED) && exists(parent)) owner = wWindow[ix(parent)];
    if (menu != 0) hmenu = yymnload(menu);
  }
  if (flags & WOF_SYSMENU) style |= WS_SYSMENU;
  if (flags & WOF_MINBOX) style |= WS_MINIMIZEBOX;
  if (flags & WOF_MAXBOX) style |= WS_MAXIMIZEBOX;
  if (!(flags & WOF_FIXEDSIZE)) style |= WS_THICKFRAME;
  DWORD exstyle = (flags & WOF_TOOLWINDOW) ? WS_EX_TOOLWINDOW : WS_EX_APPWINDOW;
  if (flags & WOF_TOPMOST) exstyle |= WS_EX_TOPMOST;

  if (background != -1) hWindowColour[ix(n)] = CreateSolidBrush(static_cast<COLORREF>(background));
  iWindowColour[ix(n)] = background;

  RECT r{0, 0, width, height};
  AdjustWindowRectEx(r, style, hmenu != nullptr, exstyle);
  int fw = r.right - r.left, fh = r.bottom - r.top;
  int availw = GetSystemMetrics(SM_CXSCREEN), availh = GetSystemMetrics(SM_CYSCREEN);
  if (inside) {
    RECT pc;
    GetClientRect(hClient[ix(parent)], pc);
    availw = pc.right;
    availh = pc.bottom;
  }
  int fx = x == CENTRED ? (availw - fw) / 2 : x;
  int fy = y == CENTRED ? (availh - fh) / 2 : y;

  // The window to activate again when this one closes.
  const int cd = tessar.dialog.CURDIALOG;
  HWND dlg = cd != 0 && dialogwindowof != nullptr ? dialogwindowof(cd) : nullptr;
  if (dlg == nullptr || !IsWindowVisible(dlg)) {
    hPrevious[ix(n)] = hWinCur;
  } else {
    hPrevious[ix(n)] = dlg;
    for (int w = 0; w < MAXWINDOWS; ++w) {
      const FrameRecord* rec = yyframerecord(wWindow[ix(w)]);
      if (rec && rec->word[0] == SW_DIALOGWINDOW && LongToHandle<HWND>(rec->word[5]) == dlg) hPrevious[ix(n)] = wWindow[ix(w)];
    }
  }

  HINSTANCE inst = GetModuleHandle(nullptr);
  HWND frame = CreateWindowEx(exstyle, kChildClass, title, style, fx, fy, fw, fh, owner, hmenu, inst, nullptr);
  HWND client = nullptr;
  if (frame != nullptr) {
    wWindow[ix(n)] = frame;
    hMenuRoot[ix(n)] = hmenu;
    if (hmenu != nullptr) {
      hAccel[ix(n)] = LoadAccelerators(inst, MAKEINTRESOURCE(menu));
      hVXKMenuString[ix(n)] = FindResource(nullptr, MAKEINTRESOURCE(menu), "VXKMENUSTRING");
    }
    wChildRect[ix(n)].left = -999;
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
    if (rec && rec->word[0] == SW_DIALOGWINDOW) UpdateWindow(LongToHandle<HWND>(rec->word[5]));
    wChildRect[ix(n)].left = -999;
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
  if (window < 1 || window >= MAXWINDOWS || wWindow[ix(window)] == nullptr) {
    window = -1;
    return;
  }
  HWND frame = wWindow[ix(window)];
  const int container = ischildframe(frame) ? yygetwindowindex(GetParent(frame)) : -1;
  FrameRecord* split = container >= 0 ? yyframerecord(wWindow[ix(container)]) : nullptr;
  if (split != nullptr && split->word[0] == SW_SPLITWINDOW) {
    // Closing one pane undoes the whole split.
    const int first = split->word[7], second = split->word[8];
    HWND outer = wWindow[ix(container)];
    SetWindowLongPtr(outer, GWLP_USERDATA, 0);
    if (split->word[18] != 0) hMenuRoot[ix(container)] = nullptr;   // the borrowed pane menu goes with the pane
    if (!ischildframe(outer) && GetMenu(outer) != hMenuRoot[ix(container)]) SetMenu(outer, hMenuRoot[ix(container)]);
    if (exists(first)) yyCloseChild2(first, curdialog);
    if (exists(second)) yyCloseChild2(second, curdialog);
    HWND bar = LongToHandle<HWND>(split->word[5]);
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
  const FrameRecord* r = yyframerecord(wWindow[ix(window)]);
  if (r != nullptr && r->word[0] == SW_SPLITWINDOW) {
    const int first = r->word[7], second = r->word[8];
    if (exists(first)) yyCloseChild2(first, curdialog);
    if (exists(second)) yyCloseChild2(second, curdialog);
  }
  if (exists(window)) yyCloseChild3(window, curdialog);
}

void yyCloseChild3(int n, int& curdialog) {
  HWND frame = wWindow[ix(n)];
  if (frame == nullptr) return;
  yyclosemcidevice(n);
  releasedc(n);
  dropdialog(frame, curdialog);

  std::vector<HWND> owned;
  for (int i = 1; i < MAXWINDOWS; ++i) {
    HWND f = wWindow[ix(i)];
    if (i == n || f == nullptr) continue;
    if (!IsChild(frame, f) && !ownedby(f, frame)) continue;
    FrameRecord* r = yyframerecord(f);
    if (r && r->word[0] == SW_SPLITWINDOW) {
      SetWindowLongPtr(f, GWLP_USERDATA, 0);
      delete r;
    } else if (r && r->word[0] == SW_DIALOGWINDOW) {
      dropdialog(f, curdialog);
    }
    dropmenu(i);
    releasedc(i);
    if (!IsChild(frame, f)) owned.push_back(f);   // an owned frame is not destroyed with n's
    clearentries(i);
  }
  for (int i = 0; i < MAXWINDOWS; ++i) {
    FrameRecord* r = yyframerecord(wWindow[ix(i)]);
    if (r && r->word[0] == SW_SPLITWINDOW && r->word[18] == HandleToLong(frame)) {
      r->word[18] = 0;
      hMenuRoot[ix(i)] = nullptr;
    }
  }
  for (int i = 0; i < MAXWINDOWS; ++i)
    if (hPrevious[ix(i)] == frame) hPrevious[ix(i)] = hPrevious[ix(n)];

  dropmenu(n);
  detachsplit(frame);
  HWND previous = hPrevious[ix(n)];
  for (HWND f : owned)
    if (IsWindow(f)) DestroyWindow(f);
  if (hClient[ix(n)] != nullptr && IsWindow(hClient[ix(n)])) DestroyWindow(hClient[ix(n)]);
  DestroyWindow(frame);
  clearentries(n);
  hPrevious[ix(n)] = nullptr;
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
  HWND frame = wWindow[ix(cur)];
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
  HWND splitclient = hClient[ix(cur)];
  for (int i = 1; i < MAXWINDOWS; ++i)
    if (wWindow[ix(i)] != nullptr && ischildframe(wWindow[ix(i)]) && GetParent(wWindow[ix(i)]) == splitclient) {
      panes = {-6, -6};
      return;
    }
  auto* rec = new FrameRecord;
  rec->word[0] = SW_SPLITWINDOW;
  rec->word[14] = -999;
  SetWindowLongPtr(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(rec));
  // The two lowest free numbers.
  int p0 = -1, p1 = -1;
  for (int i = 1; i < MAXWINDOWS && p1 < 0; ++i)
    if (wWindow[ix(i)] == nullptr) (p0 < 0 ? p0 : p1) = i;
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
    rec->word[15] = fr.right - fr.left;
    rec->word[16] = fr.bottom - fr.top;
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
  rec->word[9] = splitflags;
  rec->word[10] = paneflags[0];
  rec->word[11] = paneflags[1];
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
    if (backgrounds[ix(p)] != -1) hWindowColour[ix(n)] = CreateSolidBrush(static_cast<COLORREF>(backgrounds[ix(p)]));
    iWindowColour[ix(n)] = backgrounds[ix(p)];
    HWND pane = CreateWindowEx(0, kChildClass, titles[ix(p)] ? titles[ix(p)] : "", style[ix(p)], g.left, g.top,
                               g.right - g.left, g.bottom - g.top, splitclient, nullptr, inst, nullptr);
    if (pane == nullptr) {
      failed = true;
      break;
    }
    wWindow[ix(n)] = pane;
    wChildRect[ix(n)].left = -999;
    hMenuRoot[ix(n)] = menu[ix(p)];
    if (menu[ix(p)] != nullptr) {
      hAccel[ix(n)] = LoadAccelerators(inst, MAKEINTRESOURCE(menus[ix(p)]));
      hVXKMenuString[ix(n)] = FindResource(nullptr, MAKEINTRESOURCE(menus[ix(p)]), "VXKMENUSTRING");
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
    rec->word[ix(12 + p)] = equal ? 1 : 0;
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
      if (wWindow[ix(n)] != nullptr) {
        dropmenu(n);
        DestroyWindow(wWindow[ix(n)]);
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
  rec->word[5] = HandleToLong(bar);
  rec->word[6] = cur;
  rec->word[7] = p0;
  rec->word[8] = p1;
  rec->word[17] = HandleToLong(wWindow[ix(p0)]);
  SetWindowLongPtr(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(rec));
  // The panes are placed: their sizes now are the ones the layout keeps.
  for (int p = 0; p < 2; ++p) {
    const int pos = p == 0 ? 0 : ext[0] + thickness;
    if (stacked) MoveWindow(wWindow[ix(number[ix(p)])], 0, pos, across, ext[ix(p)], TRUE);
    else MoveWindow(wWindow[ix(number[ix(p)])], pos, 0, ext[ix(p)], across, TRUE);
    if (!equal) {
      RECT c;
      GetClientRect(wWindow[ix(number[ix(p)])], c);
      rec->word[ix(12 + p)] = stacked ? c.bottom : c.right;
    }
  }
  if (menu[0] != nullptr) {
    HWND top = frame;
    while (ischildframe(top) && yygetwindowindex(GetParent(top)) >= 0) top = wWindow[ix(yygetwindowindex(GetParent(top)))];
    if (!ischildframe(top)) SetMenu(top, menu[0]);
  }
  for (int p = 0; p < 2; ++p)
    if (dialogs[ix(p)] > 0 && combine(number[ix(p)], dialogresource[ix(p)], true) == nullptr) dialogs[ix(p)] = -4;
  if (equal) {
    rec->word[9] |= 2;
    SendMessage(splitclient, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(Q.right), static_cast<WORD>(Q.bottom)));
    rec->word[9] = splitflags;
    for (int n : number) ShowWindow(wWindow[ix(n)], SW_SHOWNA);
  }
  const bool hadfocus = GetFocus() == splitclient;
  for (int n : number) {
    RedrawWindow(hClient[ix(n)], nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ValidateRect(hClient[ix(n)], nullptr);
    const FrameRecord* pr = yyframerecord(wWindow[ix(n)]);
    if (pr && pr->word[0] == SW_DIALOGWINDOW) {
      RECT c;
      GetClientRect(hClient[ix(n)], c);
      SendMessage(hClient[ix(n)], WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
      UpdateWindow(LongToHandle<HWND>(pr->word[5]));
    }
  }
  if (hadfocus) {
    SetFocus(hClient[ix(p0)]);
    yytitlecolour(wWindow[ix(p0)]);
  }
  panes = {p0, p1};
}
