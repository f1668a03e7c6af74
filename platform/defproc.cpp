// platform/defproc.cpp: default window processing: the frame (hit testing, drawing, move
// and size loops, caption buttons, scroll bars), close, cursor, activation, context menu and
// wheel bubbling, texts and the size and move messages.
// Sections (grep "[SECTION]"): hit testing | modal tracking loops | DefWindowProc
#include <algorithm>
#include <cstring>

#include "platform/window_internal.h"

namespace win {

int scrollPart(HWND hwnd, int bar, POINT p, int& thumbStart, int& thumbLength, int& trackStart, int& trackLength);
void setScrollTracking(HWND hwnd, int bar, bool tracking, int trackPos);

void SetMenuCommandHandler(MenuCommandHandler handler) { ws().menuCommand = handler; }
void SetMenuDestroyer(void (*destroyer)(HMENU menu)) { ws().menuDestroy = destroyer; }

//------------------------------------------------------------------------------
// [SECTION] Hit testing
//------------------------------------------------------------------------------
LRESULT nonClientHitTest(HWND hwnd, POINT screen) {
  Window* w = wnd(hwnd);
  if (!w) return HTNOWHERE;
  const RECT r = windowRectScreen(hwnd);
  if (!PtInRect(r, screen)) return HTNOWHERE;
  if (w->style & WS_MINIMIZE) return HTCAPTION;
  const POINT p{screen.x - r.left, screen.y - r.top};
  if (PtInRect(w->client, p)) return HTCLIENT;
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int t = frameThickness(w->style, w->exStyle);
  const bool inFrame = p.x < t || p.y < t || p.x >= width - t || p.y >= height - t;
  if (inFrame) {
    if ((w->style & WS_THICKFRAME) && !(w->style & WS_MAXIMIZE)) {
      // Corners reach a caption's height along each edge.
      const int corner = GetSystemMetrics(SM_CYCAPTION) + t;
      const bool left = p.x < corner, right = p.x >= width - corner;
      const bool top = p.y < corner, bottom = p.y >= height - corner;
      if (p.y < t) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
      if (p.y >= height - t) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
      if (p.x < t) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
      return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
    }
    return HTBORDER;
  }
  NcLayout l = ncLayout(w);
  if (PtInRect(l.caption, p) || (!RectSet::isEmpty(l.caption) && p.y >= l.caption.top && p.y <= l.caption.bottom)) {
    if (PtInRect(l.closeButton, p)) return HTCLOSE;
    if (PtInRect(l.maxButton, p)) return HTMAXBUTTON;
    if (PtInRect(l.minButton, p)) return HTMINBUTTON;
    if ((w->style & WS_SYSMENU) && p.x < l.caption.left + (l.caption.bottom - l.caption.top)) return HTSYSMENU;
    return HTCAPTION;
  }
  if (PtInRect(l.menuBar, p)) return HTMENU;
  if (PtInRect(l.vscroll, p)) return HTVSCROLL;
  if (PtInRect(l.hscroll, p)) return HTHSCROLL;
  if ((w->style & WS_VSCROLL) && (w->style & WS_HSCROLL) && p.x >= l.vscroll.left && p.y >= l.hscroll.top)
    return (w->style & WS_THICKFRAME) ? HTSIZE : HTBORDER;
  return HTBORDER;
}

//------------------------------------------------------------------------------
// [SECTION] Modal tracking loops
//------------------------------------------------------------------------------
// Takes the next message for a tracking loop: mouse and key messages are returned to the
// loop, everything else is dispatched. False when the loop must end (capture lost, quit,
// or no input can arrive any more).
static bool trackMessage(HWND hwnd, MSG& m) {
  for (;;) {
    if (ws().capture != hwnd || !wnd(hwnd)) return false;
    if (PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(m.wParam));
        return false;
      }
      const bool mouse = (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
                         (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK);
      const bool key = m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST;
      if (mouse || key) return true;
      DispatchMessage(m);
      continue;
    }
    if (!backendWait()) return false;
  }
}

static POINT messageScreenPoint(const MSG& m) {
  POINT p{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
  if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST && m.message != WM_MOUSEWHEEL) ClientToScreen(m.hwnd, p);
  return p;
}

static bool isLeftUp(UINT m) { return m == WM_LBUTTONUP || m == WM_NCLBUTTONUP; }

void runMoveSizeLoop(HWND hwnd, WPARAM command, POINT start) {
  WinSys& s = ws();
  Window* w = wnd(hwnd);
  if (!w || (w->style & WS_MAXIMIZE)) return;
  const bool move = (command & 0xFFF0) == SC_MOVE;
  const UINT edge = static_cast<UINT>(command & 0x0F);
  if (!move && (edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT)) return;
  if (s.backend.beginMoveSize && s.backend.beginMoveSize(hwnd, command, start)) return;
  const RECT startScreen = windowRectScreen(hwnd);
  const POINT parentOrigin = isTopLevel(w) ? POINT{0, 0} : clientOriginScreen(w->parent);
  sendMsg(hwnd, WM_ENTERSIZEMOVE, 0, 0);
  SetCapture(hwnd);
  MSG m;
  while (trackMessage(hwnd, m)) {
    if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
      setWindowPosImpl(hwnd, nullptr, startScreen.left - parentOrigin.x, startScreen.top - parentOrigin.y,
                       startScreen.right - startScreen.left, startScreen.bottom - startScreen.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    if (m.message != WM_MOUSEMOVE && m.message != WM_NCMOUSEMOVE && !isLeftUp(m.message)) continue;
    const POINT p = messageScreenPoint(m);
    const int dx = p.x - start.x, dy = p.y - start.y;
    RECT r = startScreen;
    if (move) {
      OffsetRect(r, dx, dy);
      sendMsg(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    } else {
      if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) r.left += dx;
      if (edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT) r.right += dx;
      if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT) r.top += dy;
      if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT) r.bottom += dy;
      MINMAXINFO mm;
      mm.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
      mm.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
      mm.ptMaxSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
      sendMsg(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
      auto clampEdge = [&](LONG& moving, LONG fixed, int lo, int hi, bool low) {
        int size = low ? fixed - moving : moving - fixed;
        size = std::clamp(size, lo, std::max(lo, hi));
        moving = low ? fixed - size : fixed + size;
      };
      if (r.left != startScreen.left) clampEdge(r.left, r.right, mm.ptMinTrackSize.x, mm.ptMaxTrackSize.x, true);
      else clampEdge(r.right, r.left, mm.ptMinTrackSize.x, mm.ptMaxTrackSize.x, false);
      if (r.top != startScreen.top) clampEdge(r.top, r.bottom, mm.ptMinTrackSize.y, mm.ptMaxTrackSize.y, true);
      else clampEdge(r.bottom, r.top, mm.ptMinTrackSize.y, mm.ptMaxTrackSize.y, false);
      sendMsg(hwnd, WM_SIZING, edge, reinterpret_cast<LPARAM>(&r));
    }
    if (!wnd(hwnd)) break;
    setWindowPosImpl(hwnd, nullptr, r.left - parentOrigin.x, r.top - parentOrigin.y, r.right - r.left,
                     r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (Window* ww = wnd(hwnd)) ww->normalRect = ww->rect;
    if (isLeftUp(m.message)) break;
  }
  if (s.capture == hwnd) ReleaseCapture();
  if (wnd(hwnd)) sendMsg(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

void runButtonTrack(HWND hwnd, LRESULT hit) {
  WinSys& s = ws();
  SetCapture(hwnd);
  MSG m;
  bool released = false;
  POINT at{};
  while (trackMessage(hwnd, m)) {
    if (isLeftUp(m.message)) {
      released = true;
      at = messageScreenPoint(m);
      break;
    }
  }
  if (s.capture == hwnd) ReleaseCapture();
  Window* w = wnd(hwnd);
  if (!w || !released || nonClientHitTest(hwnd, at) != hit) return;
  WPARAM cmd = 0;
  if (hit == HTCLOSE) cmd = SC_CLOSE;
  else if (hit == HTMINBUTTON && (w->style & WS_MINIMIZEBOX)) cmd = SC_MINIMIZE;
  else if (hit == HTMAXBUTTON && (w->style & WS_MAXIMIZEBOX)) cmd = (w->style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
  if (cmd) sendMsg(hwnd, WM_SYSCOMMAND, cmd, MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
}

void runScrollTrack(HWND hwnd, int bar, POINT start) {
  WinSys& s = ws();
  const UINT msgId = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  const RECT wr = windowRectScreen(hwnd);
  POINT p{start.x - wr.left, start.y - wr.top};
  int ts = 0, tl = 0, trs = 0, trl = 0;
  const int part = scrollPart(hwnd, bar, p, ts, tl, trs, trl);
  SetCapture(hwnd);
  MSG m;
  if (part >= 0) {
    sendMsg(hwnd, msgId, MAKEWPARAM(static_cast<WORD>(part), 0), 0);
    while (trackMessage(hwnd, m))
      if (isLeftUp(m.message)) break;
  } else {
    Window* w = wnd(hwnd);
    const ScrollBar b = bar == SB_VERT ? w->vbar : w->hbar;
    const int maxPos = b.max - std::max<int>(static_cast<int>(b.page) - 1, 0);
    const int startValue = bar == SB_VERT ? start.y : start.x;
    int pos = b.pos;
    while (trackMessage(hwnd, m)) {
      if (m.message != WM_MOUSEMOVE && m.message != WM_NCMOUSEMOVE && !isLeftUp(m.message)) continue;
      const POINT q = messageScreenPoint(m);
      const int delta = (bar == SB_VERT ? q.y : q.x) - startValue;
      const int room = trl - tl;
      pos = b.pos + (room > 0 ? static_cast<int>(static_cast<long long>(delta) * (maxPos - b.min) / room) : 0);
      pos = std::clamp(pos, b.min, std::max(b.min, maxPos));
      setScrollTracking(hwnd, bar, true, pos);
      if (isLeftUp(m.message)) {
        sendMsg(hwnd, msgId, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(pos)), 0);
        break;
      }
      sendMsg(hwnd, msgId, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(pos)), 0);
    }
    setScrollTracking(hwnd, bar, false, pos);
  }
  if (s.capture == hwnd) ReleaseCapture();
  if (wnd(hwnd)) sendMsg(hwnd, msgId, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

//------------------------------------------------------------------------------
// [SECTION] DefWindowProc
//------------------------------------------------------------------------------
static HCURSOR sizeCursor(LRESULT hit) {
  switch (hit) {
    case HTLEFT: case HTRIGHT: return LoadCursor(nullptr, IDC_SIZEWE);
    case HTTOP: case HTBOTTOM: return LoadCursor(nullptr, IDC_SIZENS);
    case HTTOPLEFT: case HTBOTTOMRIGHT: return LoadCursor(nullptr, IDC_SIZENWSE);
    case HTTOPRIGHT: case HTBOTTOMLEFT: return LoadCursor(nullptr, IDC_SIZENESW);
    case HTSIZE: return LoadCursor(nullptr, IDC_SIZENWSE);
    default: return nullptr;
  }
}

static void sendSizeAndMove(HWND hwnd, const WINDOWPOS& wp) {
  constexpr UINT noClientSize = 0x0800, noClientMove = 0x1000;
  Window* w = wnd(hwnd);
  if (!w) return;
  if (!(wp.flags & noClientMove)) {
    POINT o{w->rect.left + w->client.left, w->rect.top + w->client.top};
    sendMsg(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(o.x), static_cast<WORD>(o.y)));
    if (!(w = wnd(hwnd))) return;
  }
  if (!(wp.flags & noClientSize)) {
    const WPARAM kind = (w->style & WS_MINIMIZE) ? SIZE_MINIMIZED : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    RECT c = clientRectOf(w);
    sendMsg(hwnd, WM_SIZE, kind, MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
  }
}

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WinSys& s = ws();
  Window* w = wnd(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE:
      if ((w->style & WS_VSCROLL) || (w->style & WS_HSCROLL)) {
        w->vbar = ScrollBar{};
        w->hbar = ScrollBar{};
      }
      return TRUE;
    case WM_NCCALCSIZE: {
      RECT* r = reinterpret_cast<RECT*>(lParam);
      RECT c;
      computeNc(w->style, w->exStyle, hasMenuBar(w), (w->style & WS_HSCROLL) != 0, (w->style & WS_VSCROLL) != 0,
                (w->style & WS_MINIMIZE) != 0, *r, c);
      OffsetRect(c, r->left, r->top);
      *r = c;
      return 0;
    }
    case WM_NCHITTEST:
      return nonClientHitTest(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT:
      paintNonClient(hwnd);
      return 0;
    case WM_NCACTIVATE:
      w->ncActive = wParam != 0;
      if (visibleChain(hwnd)) paintNonClient(hwnd);
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, ps);
      EndPaint(hwnd, ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH brush = w->cls->background;
      if (!brush) return 0;
      RectSet area = w->painting.empty() ? RectSet(clientRectOf(w)) : w->painting;
      fillBackground(hwnd, brush, area);
      return 1;
    }
    case WM_SETTEXT: {
      w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if (hasCaption(w->style) && visibleChain(hwnd)) paintNonClient(hwnd);
      return TRUE;
    }
    case WM_GETTEXT: {
      if (!lParam || wParam == 0) return 0;
      char* out = reinterpret_cast<char*>(lParam);
      const std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
      std::memcpy(out, w->text.data(), n);
      out[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_WINDOWPOSCHANGING: {
      WINDOWPOS* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!(wp->flags & SWP_NOSIZE) && !(w->style & (WS_MINIMIZE | WS_MAXIMIZE)) &&
          ((w->style & WS_THICKFRAME) || hasCaption(w->style))) {
        MINMAXINFO mm;
        mm.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
        mm.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
        mm.ptMaxSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
        sendMsg(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
        wp->cx = std::clamp<int>(wp->cx, std::min<int>(mm.ptMinTrackSize.x, mm.ptMaxTrackSize.x), mm.ptMaxTrackSize.x);
        wp->cy = std::clamp<int>(wp->cy, std::min<int>(mm.ptMinTrackSize.y, mm.ptMaxTrackSize.y), mm.ptMaxTrackSize.y);
      }
      return 0;
    }
    case WM_WINDOWPOSCHANGED:
      sendSizeAndMove(hwnd, *reinterpret_cast<WINDOWPOS*>(lParam));
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) SetFocus(hwnd);
      return 0;
    case WM_MOUSEACTIVATE:
      if (w->style & WS_CHILD) {
        LRESULT r = sendMsg(w->parent, WM_MOUSEACTIVATE, wParam, lParam);
        if (r) return r;
      }
      return MA_ACTIVATE;
    case WM_SETCURSOR: {
      // The parent is asked first; it answers for its own area only.
      if (w->style & WS_CHILD) {
        if (sendMsg(w->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
        if (!(w = wnd(hwnd))) return FALSE;
      }
      if (reinterpret_cast<HWND>(wParam) != hwnd) return FALSE;
      const LRESULT hit = static_cast<short>(LOWORD(lParam));
      const UINT mouse = HIWORD(lParam);
      if (hit == HTERROR) {
        if (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN || mouse == WM_MBUTTONDOWN) {
          MessageBeep(0);
          // Bring forward the window that keeps this one disabled.
          HWND popup = nullptr;
          for (HWND t : desktopWnd()->children) {
            Window* o = wnd(t);
            if (o && o->owner == hwnd && (o->style & WS_VISIBLE) && !(o->style & WS_DISABLED)) { popup = t; break; }
          }
          if (popup) setActive(popup, WA_ACTIVE);
        }
        return FALSE;
      }
      if (hit == HTCLIENT) {
        if (w->cls->cursor) {
          SetCursor(w->cls->cursor);
          return TRUE;
        }
        return FALSE;
      }
      if (HCURSOR c = sizeCursor(hit); c && (w->style & WS_THICKFRAME)) {
        SetCursor(c);
        return TRUE;
      }
      SetCursor(LoadCursor(nullptr, IDC_ARROW));
      return TRUE;
    }
    case WM_NCLBUTTONDOWN: {
      const LRESULT hit = static_cast<LRESULT>(wParam);
      if (hit == HTCAPTION) {
        sendMsg(hwnd, WM_SYSCOMMAND, SC_MOVE | static_cast<WPARAM>(HTCAPTION), lParam);
      } else if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
        if (w->style & WS_THICKFRAME) sendMsg(hwnd, WM_SYSCOMMAND, SC_SIZE | static_cast<WPARAM>(hit - HTLEFT + 1), lParam);
      } else if (hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON) {
        runButtonTrack(hwnd, hit);
      } else if (hit == HTVSCROLL || hit == HTHSCROLL) {
        sendMsg(hwnd, WM_SYSCOMMAND, (hit == HTVSCROLL ? SC_VSCROLL : SC_HSCROLL) | static_cast<WPARAM>(hit), lParam);
      } else if (hit == HTSYSMENU || hit == HTMENU) {
        sendMsg(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU | static_cast<WPARAM>(hit), lParam);
      }
      return 0;
    }
    case WM_NCLBUTTONDBLCLK: {
      const LRESULT hit = static_cast<LRESULT>(wParam);
      if (hit == HTCAPTION && (w->style & WS_MAXIMIZEBOX))
        sendMsg(hwnd, WM_SYSCOMMAND, (w->style & (WS_MAXIMIZE | WS_MINIMIZE)) ? SC_RESTORE : SC_MAXIMIZE, lParam);
      else if (hit == HTSYSMENU && (w->style & WS_SYSMENU) && !(w->cls->style & CS_NOCLOSE))
        sendMsg(hwnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
      else if (hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON || hit == HTVSCROLL || hit == HTHSCROLL ||
               hit == HTMENU)
        return DefWindowProc(hwnd, WM_NCLBUTTONDOWN, wParam, lParam);   // a quick second press is a press
      return 0;
    }
    case WM_SYSCOMMAND: {
      const WPARAM cmd = wParam & 0xFFF0;
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      switch (cmd) {
        case SC_CLOSE:
          if (!(w->cls->style & CS_NOCLOSE)) sendMsg(hwnd, WM_CLOSE, 0, 0);
          break;
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(hwnd, SW_SHOWMAXIMIZED); break;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
        case SC_MOVE:
        case SC_SIZE: runMoveSizeLoop(hwnd, wParam, p); break;
        case SC_VSCROLL: runScrollTrack(hwnd, SB_VERT, p); break;
        case SC_HSCROLL: runScrollTrack(hwnd, SB_HORZ, p); break;
        case SC_MOUSEMENU:
        case SC_KEYMENU:
          if (s.menuCommand) s.menuCommand(hwnd, wParam, lParam);
          break;
        default: break;
      }
      return 0;
    }
    case WM_RBUTTONUP: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(hwnd, p);
      sendMsg(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
      return 0;
    }
    case WM_NCRBUTTONUP:
      sendMsg(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
      return 0;
    case WM_CONTEXTMENU:
      if (w->style & WS_CHILD) sendMsg(w->parent, WM_CONTEXTMENU, wParam, lParam);
      return 0;
    case WM_MOUSEWHEEL:
      if (w->style & WS_CHILD) return sendMsg(w->parent, WM_MOUSEWHEEL, wParam, lParam);
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // Alt or F10 pressed and released alone opens the menu bar from the keyboard.
      if (msg == WM_SYSKEYUP && s.menuKey != 0 && wParam == s.menuKey) {
        s.menuKey = 0;
        if (HWND top = topLevelOf(hwnd)) sendMsg(top, WM_SYSCOMMAND, SC_KEYMENU, 0);
        return 0;
      }
      if (wParam == static_cast<WPARAM>(VK_APPS))
        sendMsg(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(0xFFFF, 0xFFFF));
      return 0;
    case WM_SYSKEYDOWN:
      s.menuKey = (wParam == static_cast<WPARAM>(VK_MENU) || (wParam == static_cast<WPARAM>(VK_F10) && GetKeyState(VK_SHIFT) >= 0))
                      ? wParam : 0;
      if (wParam == static_cast<WPARAM>(VK_F4) && (lParam & (1 << 29))) {
        HWND top = topLevelOf(hwnd);
        if (top) sendMsg(top, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else if (wParam == static_cast<WPARAM>(VK_F10) && GetKeyState(VK_SHIFT) < 0) {
        sendMsg(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(0xFFFF, 0xFFFF));
      }
      return 0;
    case WM_SYSCHAR:
      if (HWND top = topLevelOf(hwnd)) sendMsg(top, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
      return 0;
    case WM_CANCELMODE:
      if (s.capture == hwnd) ReleaseCapture();
      return 0;
    case WM_SETICON: {
      HICON old = wParam == ICON_BIG ? w->iconBig : w->iconSmall;
      (wParam == ICON_BIG ? w->iconBig : w->iconSmall) = reinterpret_cast<HICON>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON:
      return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->iconBig : w->iconSmall);
    default:
      return 0;
  }
}

}  // namespace win
