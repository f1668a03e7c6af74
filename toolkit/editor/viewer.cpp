// The bitmap viewer window: creation over a toolkit child window, fitting the frame to the
// bitmap, painting, scrolling by bars, keys, wheel and dragging, and the modal loop.
#include "toolkit/editor/viewer.h"

#include <algorithm>

#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/menu.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/screen/bitmaps.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/window.h"
#include "toolkit/window/window_state.h"
#include "toolkit/window/wmenus.h"
#include "toolkit/window/wmsg.h"

using namespace win;

namespace {

constexpr const char* kClass = "VXKBITMAP";
constexpr int kNoLimit = -999;

FrameRecord* recordof(HWND hwnd) {
  FrameRecord* r = reinterpret_cast<FrameRecord*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  return r != nullptr && r->word[FR_KIND] == SW_BITMAPVIEWER ? r : nullptr;
}
HWND viewof(const FrameRecord& r) { return LongToHandle<HWND>(r.word[BV_VIEWER]); }
int extent(const RECT& r, bool across) { return across ? r.right - r.left : r.bottom - r.top; }

void registerclass() {
  WNDCLASS wc;
  if (GetClassInfo(GetModuleHandle(nullptr), kClass, wc)) return;
  wc = WNDCLASS{};
  wc.lpfnWndProc = yyBitmapWndProcClient;
  wc.hInstance = GetModuleHandle(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
  wc.lpszClassName = kClass;
  RegisterClass(wc);
}

// Scroll position of one bar, kept within 0 .. size - page; returns whether it moved.
bool scrollto(HWND view, int bar, int position) {
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(view, bar, si);
  const int last = std::max(si.nMax - static_cast<int>(si.nPage) + 1, 0);
  position = std::clamp(position, 0, last);
  if (position == si.nPos) return false;
  si.fMask = SIF_POS;
  si.nPos = position;
  SetScrollInfo(view, bar, si, TRUE);
  return true;
}

void scrolled(HWND view) {
  InvalidateRect(view, nullptr, FALSE);
  UpdateWindow(view);
  yyinterpretmessage(EV_VIEWERSCROLLED, 0, static_cast<WPARAM>(GetScrollPos(view, SB_HORZ)),
                     static_cast<LPARAM>(GetScrollPos(view, SB_VERT)), view);
}

void scrollby(HWND view, int dx, int dy) {
  bool moved = false;
  if (dx != 0) moved |= scrollto(view, SB_HORZ, GetScrollPos(view, SB_HORZ) + dx);
  if (dy != 0) moved |= scrollto(view, SB_VERT, GetScrollPos(view, SB_VERT) + dy);
  if (moved) scrolled(view);
}

// Pages follow the client area, or the whole bitmap once the frame shows it whole.
void layoutview(HWND view, const FrameRecord& r) {
  RECT c;
  GetClientRect(view, c);
  HWND frame = GetParent(view);
  RECT f;
  GetWindowRect(frame, f);
  const bool whole = r.word[BV_LIMITW] != kNoLimit && extent(f, true) >= r.word[BV_LIMITW] &&
                     extent(f, false) >= r.word[BV_LIMITH];
  const int oldh = GetScrollPos(view, SB_HORZ), oldv = GetScrollPos(view, SB_VERT);
  for (const int bar : {SB_HORZ, SB_VERT}) {
    const int size = bar == SB_HORZ ? r.word[BV_WIDTH] : r.word[BV_HEIGHT];
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMin = 0;
    si.nMax = size - 1;
    si.nPage = static_cast<UINT>(whole ? size : std::min(extent(c, bar == SB_HORZ), size));
    SetScrollInfo(view, bar, si, TRUE);
    scrollto(view, bar, GetScrollPos(view, bar));
  }
  if (GetScrollPos(view, SB_HORZ) != oldh || GetScrollPos(view, SB_VERT) != oldv)
    yyinterpretmessage(EV_VIEWERSCROLLED, 0, static_cast<WPARAM>(GetScrollPos(view, SB_HORZ)),
                       static_cast<LPARAM>(GetScrollPos(view, SB_VERT)), view);
}

// Places the view window over the window's client area.
void placeview(HWND frame, const FrameRecord& r) {
  const int w = yygetwindowindex(frame);
  if (w < 0 || winslot(w).hClient == nullptr) return;
  RECT c;
  GetWindowRect(winslot(w).hClient, c);
  POINT corner{c.left, c.top};
  ScreenToClient(frame, corner);
  MoveWindow(viewof(r), corner.x, corner.y, extent(c, true), extent(c, false), TRUE);
}

void freerecord(HWND frame) {
  FrameRecord* r = recordof(frame);
  if (r == nullptr) return;
  SetWindowLongPtr(frame, GWLP_USERDATA, 0);
  if (HWND view = viewof(*r); view != nullptr && IsWindow(view)) SetWindowLongPtr(view, GWLP_USERDATA, 0);
  delete r;
}

}  // namespace

void yyBitmapViewerInit(HWND frame, HBITMAP bitmap, int x, int y) {
  FrameRecord* r = recordof(frame);
  if (r == nullptr) return;
  HWND view = viewof(*r);
  BITMAP info{};
  GetObject(bitmap, sizeof info, &info);
  r->word[BV_BITMAP] = HandleToLong(bitmap);
  r->word[BV_WIDTH] = info.bmWidth;
  r->word[BV_HEIGHT] = info.bmHeight;
  r->word[BV_LIMITW] = r->word[BV_LIMITH] = kNoLimit;
  r->word[BV_DRAGGING] = 0;

  // The frame size that shows the whole bitmap: the frame less the view's client area, plus
  // the bitmap, with scroll bars only where one direction still does not fit.
  RECT f, c;
  GetWindowRect(frame, f);
  GetClientRect(view, c);
  const LONG style = GetWindowLong(view, GWL_STYLE);
  const int vbar = GetSystemMetrics(SM_CXVSCROLL), hbar = GetSystemMetrics(SM_CYHSCROLL);
  const int extraw = extent(f, true) - extent(c, true) - ((style & static_cast<LONG>(WS_VSCROLL)) ? vbar : 0);
  const int extrah = extent(f, false) - extent(c, false) - ((style & static_cast<LONG>(WS_HSCROLL)) ? hbar : 0);
  int needw = info.bmWidth + extraw, needh = info.bmHeight + extrah;
  const int fw = extent(f, true), fh = extent(f, false);
  int neww = fw, newh = fh;
  if (fw >= needw && fh >= needh) {
    neww = needw;
    newh = needh;
  } else if (fw >= needw) {
    needw += vbar;
    if (fw >= needw) neww = needw;
  } else if (fh >= needh) {
    needh += hbar;
    if (fh >= needh) newh = needh;
  }
  if (neww != fw || newh != fh) SetWindowPos(frame, nullptr, 0, 0, neww, newh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  r->word[BV_LIMITW] = info.bmWidth + extraw;
  r->word[BV_LIMITH] = info.bmHeight + extrah;
  placeview(frame, *r);
  layoutview(view, *r);
  if (x >= 0) scrollto(view, SB_HORZ, x);
  if (y >= 0) scrollto(view, SB_VERT, y);
  InvalidateRect(view, nullptr, FALSE);
}

void yybitmapview(int slot, int x, int y, int& mode, int options, int& result) {
  const int w = tessar.window.CURWINDOW;
  if (w <= 0 || w >= MAXWINDOWS || winslot(w).wWindow == nullptr) {
    result = 1;
    return;
  }
  HBITMAP bitmap = yybitmaphandle(slot);
  if (bitmap == nullptr) {
    result = 2;
    return;
  }
  // A bitmap selected into the drawing target cannot be shown at the same time.
  if (hGraphicsBitmap != nullptr && gDC == hGraphicsBitmap) {
    HDC probe = CreateCompatibleDC(gDC);
    HGDIOBJ old = SelectObject(probe, bitmap);
    if (old != nullptr) SelectObject(probe, old);
    DeleteDC(probe);
    if (old == nullptr) {
      result = 3;
      return;
    }
  }
  x = std::max(x, 0);
  y = std::max(y, 0);
  HWND frame = winslot(w).wWindow;
  if (FrameRecord* r = yyframerecord(frame)) {
    if (r->word[FR_KIND] != SW_BITMAPVIEWER) {
      result = 4;
      return;
    }
    yyBitmapViewerInit(frame, bitmap, x, y);
    UpdateWindow(viewof(*r));
    result = 0;
    return;
  }
  HWND client = winslot(w).hClient;
  if (client != nullptr && GetWindow(client, GW_CHILD) != nullptr) {
    result = 9;
    return;
  }
  result = 0;
  if ((GetWindowLong(frame, GWL_STYLE) & static_cast<LONG>(WS_CHILD)) != 0 && mode != 2) {
    mode = 2;
    result = 5;
  }
  if (mode < 1 || mode > 3) mode = 2;
  registerclass();
  auto* r = new (std::nothrow) FrameRecord{};
  if (r == nullptr) {
    result = 6;
    return;
  }
  r->word[FR_KIND] = SW_BITMAPVIEWER;
  r->word[BV_MODE] = mode;
  r->word[BV_STATUSBAR] = HandleToLong(winslot(w).wMessLine);
  r->word[BV_OPTIONS] = mode == 1 ? 3 : options;
  if (mode == 1) {
    // A modal viewer has neither menu nor toolbars of its own.
    if (HMENU menu = winslot(w).hMenuRoot) {
      yyClearMenuPrompt(menu, w);
      SetMenu(frame, nullptr);
      DestroyMenu(menu);
    }
    winslot(w).hMenuRoot = nullptr;
    winslot(w).hAccel = nullptr;
    winslot(w).hVXKMenuString = nullptr;
    for (HWND& bar : winslot(w).hToolbar) {
      if (bar != nullptr) DestroyWindow(bar);
      bar = nullptr;
    }
    yyframelayout(frame);
  } else {
    for (std::size_t k = 0; k < 4; ++k) r->word[FR_TOOLBAR + k] = HandleToLong(winslot(w).hToolbar[k]);
  }
  RECT c{};
  if (client != nullptr) GetWindowRect(client, c);
  POINT corner{c.left, c.top};
  ScreenToClient(frame, corner);
  HWND view = CreateWindowEx(0, kClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL,
                             corner.x, corner.y, extent(c, true), extent(c, false), frame,
                             reinterpret_cast<HMENU>(static_cast<std::intptr_t>(1001)), GetModuleHandle(nullptr), nullptr);
  if (view == nullptr) {
    delete r;
    result = 6;
    return;
  }
  r->word[BV_VIEWER] = HandleToLong(view);
  r->word[FR_CONTROL] = HandleToLong(view);
  SetWindowLongPtr(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(r));
  SetWindowLongPtr(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(r));
  SetWindowLongPtr(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(yyBitmapWndProc));
  yyBitmapViewerInit(frame, bitmap, x, y);

  if (client != nullptr && GetFocus() == client) SetFocus(view);
  if (client != nullptr) ShowWindow(client, SW_HIDE);
  if (mode == 3) ++dialogtable.nSemi;
  if (!IsWindowEnabled(frame)) {
    EnableWindow(frame, TRUE);
    SetFocus(view);
  }
  ShowWindow(frame, SW_SHOW);
  if (mode != 2) yyDisableDialogs(frame, 1);
  if (mode != 1) return;

  yyspecialmodalloop(r->word[BV_END]);
  delete r;
  // The window has gone: the root window is the current one again.
  if (winslot(w).wWindow == nullptr) windowselect(0);
}

void yyspecialwindowgone(HWND frame, int mode) {
  if (mode != 3) return;
  --dialogtable.nSemi;
  const int w = yygetwindowindex(frame);
  HWND back = w >= 0 && winslot(w).hPrevious != nullptr ? winslot(w).hPrevious : winslot(0).wWindow;
  yyEnableDialogs(back, 1);
  if (back != nullptr && IsWindow(back)) {
    SetActiveWindow(back);
    SetFocus(back);
  }
}

void yyspecialmodalloop(const int& endflag, const HWND* finddialog, HWND accelwindow, HACCEL accelerators) {
  MSG msg;
  while (endflag == 0 && GetMessage(msg, nullptr, 0, 0)) {
    if (finddialog != nullptr && *finddialog != nullptr && IsDialogMessage(*finddialog, msg)) continue;
    if (accelerators != nullptr && TranslateAccelerator(accelwindow, accelerators, msg) != 0) continue;
    if (block118 != 0 && msg.message == 0x118 && msg.wParam == 0xFFF6) continue;
    TranslateMessage(msg);
    DispatchMessage(msg);
  }
  HWND back = dialogtable.hLastSemi != nullptr ? dialogtable.hLastSemi : winslot(0).wWindow;
  yyEnableDialogs(back, 1);
  if (back != nullptr) {
    SetActiveWindow(back);
    SetFocus(back);
  }
}

LRESULT yyBitmapWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  FrameRecord* r = recordof(hwnd);
  if (r == nullptr) return yyWndProc(hwnd, msg, wParam, lParam);
  const int w = yygetwindowindex(hwnd);
  switch (msg) {
    case WM_DESTROY: {
      const int mode = r->word[BV_MODE];
      yyspecialwindowgone(hwnd, mode);
      // The modal loop frees its own record once it sees the end flag. The window goes without
      // the child-window routines, so its entries, and those of windows inside it, go here.
      if (mode == 1) {
        SetWindowLongPtr(hwnd, GWLP_USERDATA, 0);
        if (HWND view = viewof(*r); IsWindow(view)) SetWindowLongPtr(view, GWLP_USERDATA, 0);
        if (w >= 0 && wDC != nullptr && winslot(w).hClient != nullptr && wIndex == w) {
          ReleaseDC(winslot(w).hClient, wDC);
          wDC = nullptr;
        }
        for (int k = 1; k < MAXWINDOWS; ++k) {
          HWND f = winslot(k).wWindow;
          bool inside = f == hwnd;
          for (HWND p = f != nullptr ? GetParent(f) : nullptr; p != nullptr && !inside; p = GetParent(p)) inside = p == hwnd;
          if (!inside) continue;
          winslot(k).wWindow = nullptr;
          winslot(k).hClient = nullptr;
          winslot(k).wMessLine = nullptr;
          winslot(k).wChildRect.left = -999;
        }
        if (hWinCur == hwnd) hWinCur = winslot(0).wWindow;
      } else {
        freerecord(hwnd);
      }
      return yyWndProc(hwnd, msg, wParam, lParam);
    }
    case WM_SIZE: {
      const LRESULT done = yyWndProc(hwnd, msg, wParam, lParam);
      if (wParam != SIZE_MINIMIZED) {
        placeview(hwnd, *r);
        layoutview(viewof(*r), *r);
      }
      return done;
    }
    case WM_SETFOCUS:
      hWinCur = hwnd;
      hDlgCur = nullptr;
      SetFocus(viewof(*r));
      return 0;
    case WM_CLOSE:
      if (r->word[BV_MODE] == 1) {
        r->word[BV_END] = 1;
        return DefWindowProc(hwnd, msg, wParam, lParam);
      }
      yyinterpretmessage(EV_CLOSE, 0, wParam, lParam, hwnd);
      return 0;
    case WM_ACTIVATEAPP:
    case WM_PALETTECHANGED:
      if (gPal256 != nullptr) SendMessage(viewof(*r), msg, wParam, lParam);
      return yyWndProc(hwnd, msg, wParam, lParam);
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      if (mm == nullptr || r->word[BV_LIMITW] == kNoLimit) return yyWndProc(hwnd, msg, wParam, lParam);
      // Maximising shows the whole bitmap, or as much of it as the screen holds.
      const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
      int mw = r->word[BV_LIMITW], mh = r->word[BV_LIMITH];
      if (mw > sw && mh <= sh) mh = std::min(mh + GetSystemMetrics(SM_CYHSCROLL), sh);
      if (mh > sh && mw <= sw) mw = std::min(mw + GetSystemMetrics(SM_CXVSCROLL), sw);
      mm->ptMaxSize.x = mm->ptMaxTrackSize.x = std::min(mw, sw);
      mm->ptMaxSize.y = mm->ptMaxTrackSize.y = std::min(mh, sh);
      return 0;
    }
    case WM_NCHITTEST: {
      const LRESULT hit = yyWndProc(hwnd, msg, wParam, lParam);
      if (IsZoomed(hwnd) && hit >= HTLEFT && hit <= HTBOTTOMRIGHT) return HTBORDER;
      return hit;
    }
    default:
      return yyWndProc(hwnd, msg, wParam, lParam);
  }
}

LRESULT yyBitmapWndProcClient(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  FrameRecord* r = recordof(hwnd);
  if (r == nullptr) return DefWindowProc(hwnd, msg, wParam, lParam);
  const bool modal = r->word[BV_MODE] == 1;
  const bool keys = modal || (r->word[BV_OPTIONS] & 1) != 0;
  const bool drags = modal || (r->word[BV_OPTIONS] & 2) != 0;
  RECT c;
  GetClientRect(hwnd, c);
  const int pagex = std::max(extent(c, true), 1), pagey = std::max(extent(c, false), 1);
  switch (msg) {
    case WM_SIZE:
      layoutview(hwnd, *r);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, ps);
      HDC memory = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(memory, LongToHandle<HBITMAP>(r->word[BV_BITMAP]));
      HPALETTE oldpal = nullptr;
      if (gPal256 != nullptr) {
        oldpal = SelectPalette(dc, gPal256, FALSE);
        RealizePalette(dc);
      }
      BitBlt(dc, 0, 0, extent(c, true), extent(c, false), memory, GetScrollPos(hwnd, SB_HORZ),
             GetScrollPos(hwnd, SB_VERT), SRCCOPY);
      if (oldpal != nullptr) SelectPalette(dc, oldpal, FALSE);
      SelectObject(memory, old);
      DeleteDC(memory);
      EndPaint(hwnd, ps);
      return 0;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      const int bar = msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
      const int page = bar == SB_HORZ ? pagex : pagey;
      const int now = GetScrollPos(hwnd, bar);
      int to = now;
      switch (LOWORD(wParam)) {
        case SB_LINEUP: to = now - 1; break;
        case SB_LINEDOWN: to = now + 1; break;
        case SB_PAGEUP: to = now - page; break;
        case SB_PAGEDOWN: to = now + page; break;
        case SB_THUMBPOSITION: to = static_cast<short>(HIWORD(wParam)); break;
        default: return 0;
      }
      if (scrollto(hwnd, bar, to)) scrolled(hwnd);
      return 0;
    }
    case WM_KEYDOWN: {
      if (!keys) return yyWndProcClient(hwnd, msg, wParam, lParam);
      const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
      const int big = 1 << 29;
      switch (wParam) {
        case VK_PRIOR: scrollby(hwnd, 0, ctrl ? -big : -pagey); return 0;
        case VK_NEXT: scrollby(hwnd, 0, ctrl ? big : pagey); return 0;
        case VK_HOME: scrollby(hwnd, ctrl ? -big : -pagex, 0); return 0;
        case VK_END: scrollby(hwnd, ctrl ? big : pagex, 0); return 0;
        case VK_LEFT: scrollby(hwnd, -1, 0); return 0;
        case VK_RIGHT: scrollby(hwnd, 1, 0); return 0;
        case VK_UP: scrollby(hwnd, 0, -1); return 0;
        case VK_DOWN: scrollby(hwnd, 0, 1); return 0;
        default: break;
      }
      return modal ? DefWindowProc(hwnd, msg, wParam, lParam) : yyWndProcClient(hwnd, msg, wParam, lParam);
    }
    case WM_LBUTTONDOWN:
      if (!drags) return yyWndProcClient(hwnd, msg, wParam, lParam);
      SetCapture(hwnd);
      SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
      r->word[BV_DRAGGING] = 1;
      r->word[BV_DRAGX] = GET_X_LPARAM(lParam);
      r->word[BV_DRAGY] = GET_Y_LPARAM(lParam);
      r->word[BV_DRAGH] = GetScrollPos(hwnd, SB_HORZ);
      r->word[BV_DRAGV] = GetScrollPos(hwnd, SB_VERT);
      return 0;
    case WM_MOUSEMOVE:
      if (r->word[BV_DRAGGING] != 0) {
        const int h = std::max(r->word[BV_DRAGH] + r->word[BV_DRAGX] - GET_X_LPARAM(lParam), 0);
        const int v = std::max(r->word[BV_DRAGV] + r->word[BV_DRAGY] - GET_Y_LPARAM(lParam), 0);
        const bool moved = scrollto(hwnd, SB_HORZ, h) | scrollto(hwnd, SB_VERT, v);
        if (moved) scrolled(hwnd);
        return 0;
      }
      return yyWndProcClient(hwnd, msg, wParam, lParam);
    case WM_LBUTTONUP:
      if (r->word[BV_DRAGGING] != 0) {
        r->word[BV_DRAGGING] = 0;
        ReleaseCapture();
        const int w = yygetwindowindex(GetParent(hwnd));
        HCURSOR cursor = w >= 0 && winslot(w).hCursorWin != nullptr ? winslot(w).hCursorWin : LoadCursor(nullptr, IDC_ARROW);
        SetCursor(cursor);
        return 0;
      }
      return yyWndProcClient(hwnd, msg, wParam, lParam);
    case WM_MOUSEWHEEL: {
      const int distance = -GET_WHEEL_DELTA_WPARAM(wParam);
      const int limit = std::max(pagey / 2, 1);
      scrollby(hwnd, 0, std::clamp(distance, -limit, limit));
      return 0;
    }
    default:
      return yyWndProcClient(hwnd, msg, wParam, lParam);
  }
}
