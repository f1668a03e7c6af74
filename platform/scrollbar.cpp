// platform/scrollbar.cpp: the SCROLLBAR control class: a horizontal or vertical bar with two
// arrows, a track and a thumb as long as the page, and the size box / size grip.
//
// The bar reports and never moves by itself: a press on an arrow or on the track sends its
// request at once and again while the button is held (after 400 ms, then every 100 ms), a drag
// of the thumb sends SB_THUMBTRACK with the position under the pointer and SB_THUMBPOSITION at
// the release, and every press ends with SB_ENDSCROLL; the parent sets the new position.
// Keys (with the focus): arrows a line, Page Up/Down a page, Home and End the ends.
#include <algorithm>

#include "platform/control_records.h"
#include "platform/dialog_internal.h"
#include "platform/scrollbar.h"

namespace win {
namespace {


struct BarData {
  int min = 0, max = 100;
  UINT page = 0;
  int pos = 0;
  UINT arrowsOff = ESB_ENABLE_BOTH;
  int pressed = -1;       // the request of the arrow or track part held down, -1 none
  bool tracking = false;  // the thumb is being dragged
  int trackPos = 0;
  int grabStart = 0;      // pointer coordinate along the bar where the thumb drag began
  int grabPos = 0;        // position at that moment
  bool focused = false;
};

ControlRecords<BarData>& bars() {
  static ControlRecords<BarData> records;
  return records;
}

BarData* rec(HWND h) { return bars().find(h); }

bool vertical(HWND h) { return (styleOf(h) & SBS_VERT) != 0; }
bool grip(HWND h) { return (styleOf(h) & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0; }

int maxPos(const BarData& d) { return d.max - std::max(static_cast<int>(d.page) - 1, 0); }

void clamp(BarData& d) {
  if (d.max < d.min) d.max = d.min;
  const int range = d.max - d.min + 1;
  if (d.page > static_cast<UINT>(range)) d.page = static_cast<UINT>(range);
  d.pos = std::clamp(d.pos, d.min, std::max(d.min, maxPos(d)));
}

bool scrollable(const BarData& d) { return d.max > d.min && maxPos(d) > d.min; }

// Geometry along the bar: arrows at both ends, the track between, the thumb in it.
struct Parts {
  int length = 0, arrow = 0, trackStart = 0, trackLength = 0, thumbStart = 0, thumbLength = 0;
};

Parts parts(HWND h, const BarData& d) {
  RECT c;
  GetClientRect(h, c);
  Parts p;
  const bool v = vertical(h);
  p.length = v ? c.bottom : c.right;
  const int thickness = v ? c.right : c.bottom;
  p.arrow = std::min(thickness, p.length / 2);
  p.trackStart = p.arrow;
  p.trackLength = p.length - 2 * p.arrow;
  if (!scrollable(d) || p.trackLength < 8) return p;
  const int range = d.max - d.min + 1;
  int len = d.page ? static_cast<int>(static_cast<long long>(p.trackLength) * static_cast<int>(d.page) / range) : thickness;
  len = std::clamp(len, 8, p.trackLength);
  const int span = maxPos(d) - d.min;
  const int pos = d.tracking ? d.trackPos : d.pos;
  p.thumbStart = p.trackStart + (span > 0 ? static_cast<int>(static_cast<long long>(pos - d.min) * (p.trackLength - len) / span) : 0);
  p.thumbLength = len;
  return p;
}

// The request of the part under a client point; -1 for the thumb.
int partAt(HWND h, const BarData& d, LPARAM lParam) {
  const Parts p = parts(h, d);
  const int v = vertical(h) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
  if (v < p.arrow) return SB_LINEUP;
  if (v >= p.length - p.arrow) return SB_LINEDOWN;
  if (p.thumbLength > 0 && v >= p.thumbStart && v < p.thumbStart + p.thumbLength) return -1;
  return v < p.thumbStart ? SB_PAGEUP : SB_PAGEDOWN;
}

bool arrowEnabled(const BarData& d, int request) {
  if (!scrollable(d)) return false;
  if (request == SB_LINEUP) return !(d.arrowsOff & ESB_DISABLE_LTUP);
  if (request == SB_LINEDOWN) return !(d.arrowsOff & ESB_DISABLE_RTDN);
  return true;
}

void report(HWND h, WORD request, int pos = 0) { reportScroll(h, vertical(h), request, pos); }

void redraw(HWND h) { InvalidateRect(h, nullptr, TRUE); }

//------------------------------------------------------------------------------
// Painting
//------------------------------------------------------------------------------
void arrowGlyph(HDC dc, const RECT& r, int dir, bool enabled, bool pushed) {
  // dir: 0 up, 1 down, 2 left, 3 right.
  const int cx = (r.left + r.right) / 2 + (pushed ? 1 : 0), cy = (r.top + r.bottom) / 2 + (pushed ? 1 : 0);
  const COLORREF c = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  for (int k = 0; k < 4; ++k) {
    switch (dir) {
      case 0: dlg::hline(dc, cx - k, cx + k + 1, cy - 2 + k, c); break;
      case 1: dlg::hline(dc, cx - 3 + k, cx + 4 - k, cy - 1 + k, c); break;
      case 2: dlg::vline(dc, cx - 2 + k, cy - k, cy + k + 1, c); break;
      default: dlg::vline(dc, cx - 1 + k, cy - 3 + k, cy + 4 - k, c); break;
    }
  }
}

void paintGrip(HDC dc, const RECT& c) {
  dlg::fillSolid(dc, c, GetSysColor(COLOR_BTNFACE));
  // Three pairs of diagonal lines in the bottom-right corner.
  for (int k = 0; k < 3; ++k) {
    const int off = 4 * k + 3;
    for (int i = 0; i < off; ++i) {
      SetPixelV(dc, c.right - off + i, c.bottom - 1 - i, GetSysColor(COLOR_BTNHIGHLIGHT));
      SetPixelV(dc, c.right - off + i + 1, c.bottom - 1 - i, GetSysColor(COLOR_BTNSHADOW));
      SetPixelV(dc, c.right - off + i + 2, c.bottom - 1 - i, GetSysColor(COLOR_BTNSHADOW));
    }
  }
}

void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  BarData* d = rec(h);
  if (dc && d) {
    RECT c;
    GetClientRect(h, c);
    if (grip(h)) {
      paintGrip(dc, c);
    } else {
      HWND parent = GetParent(h);
      HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(SendMessage(parent, WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(dc),
                                                                   reinterpret_cast<LPARAM>(h)))
                            : nullptr;
      if ((d = rec(h)) != nullptr) {
        const bool v = vertical(h);
        const Parts p = parts(h, *d);
        dlg::fillBrush(dc, c, brush, RGB(224, 224, 224));
        const bool on = IsWindowEnabled(h) != 0;
        auto along = [&](int a, int b) { return v ? RECT{c.left, a, c.right, b} : RECT{a, c.top, b, c.bottom}; };
        const RECT up = along(0, p.arrow), down = along(p.length - p.arrow, p.length);
        for (int k = 0; k < 2; ++k) {
          const RECT& r = k == 0 ? up : down;
          const int request = k == 0 ? SB_LINEUP : SB_LINEDOWN;
          const bool pushed = d->pressed == request;
          dlg::fillSolid(dc, r, GetSysColor(COLOR_BTNFACE));
          if (pushed) dlg::frame(dc, r, GetSysColor(COLOR_BTNSHADOW));
          else dlg::edge3d(dc, r, true);
          arrowGlyph(dc, r, v ? k : 2 + k, on && arrowEnabled(*d, request), pushed);
        }
        if (on && d->pressed == SB_PAGEUP && p.thumbLength > 0)
          dlg::fillSolid(dc, along(p.trackStart, p.thumbStart), GetSysColor(COLOR_3DDKSHADOW));
        if (on && d->pressed == SB_PAGEDOWN && p.thumbLength > 0)
          dlg::fillSolid(dc, along(p.thumbStart + p.thumbLength, p.trackStart + p.trackLength), GetSysColor(COLOR_3DDKSHADOW));
        if (on && p.thumbLength > 0) {
          const RECT t = along(p.thumbStart, p.thumbStart + p.thumbLength);
          dlg::fillSolid(dc, t, GetSysColor(COLOR_BTNFACE));
          dlg::edge3d(dc, t, true);
          if (d->focused) {
            RECT f = t;
            InflateRect(f, -3, -3);
            dlg::focusRect(dc, f);
          }
        }
      }
    }
  }
  EndPaint(h, ps);
}

//------------------------------------------------------------------------------
// Input
//------------------------------------------------------------------------------
void press(HWND h, int request) {
  BarData* d = rec(h);
  if (!d) return;
  if ((request == SB_LINEUP || request == SB_LINEDOWN) && !arrowEnabled(*d, request)) return;
  if ((request == SB_PAGEUP || request == SB_PAGEDOWN) && !scrollable(*d)) return;
  d->pressed = request;
  redraw(h);
  startRepeat(h);
  report(h, static_cast<WORD>(request));
}

void release(HWND h) {
  BarData* d = rec(h);
  if (!d) return;
  const bool wasTracking = d->tracking;
  const bool wasPressed = d->pressed >= 0;
  if (!wasTracking && !wasPressed) return;
  d->pressed = -1;
  d->tracking = false;
  const int at = d->trackPos;
  endPress(h);
  if (wasTracking) report(h, SB_THUMBPOSITION, at);
  if (IsWindow(h)) report(h, SB_ENDSCROLL);
}

void drag(HWND h, LPARAM lParam) {
  BarData* d = rec(h);
  if (!d || !d->tracking) return;
  const Parts p = parts(h, *d);
  const int v = vertical(h) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
  const int room = p.trackLength - p.thumbLength;
  const int span = maxPos(*d) - d->min;
  int pos = d->grabPos + (room > 0 ? static_cast<int>(static_cast<long long>(v - d->grabStart) * span / room) : 0);
  pos = std::clamp(pos, d->min, std::max(d->min, maxPos(*d)));
  if (pos == d->trackPos) return;
  d->trackPos = pos;
  redraw(h);
  report(h, SB_THUMBTRACK, pos);
}

LRESULT barProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  BarData* dp = bars().route(h, msg);
  if (!dp) return DefWindowProc(h, msg, wParam, lParam);
  BarData& d = *dp;
  switch (msg) {
    case WM_GETDLGCODE:
      return grip(h) ? 0 : DLGC_WANTARROWS;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_ENABLE:
      if (!wParam) release(h);
      redraw(h);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      d.focused = msg == WM_SETFOCUS;
      redraw(h);
      return 0;
    case WM_SETCURSOR:
      if (grip(h)) {
        SetCursor(LoadCursor(nullptr, IDC_SIZENWSE));
        return TRUE;
      }
      return DefWindowProc(h, msg, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (grip(h)) {
        // The grip resizes its top-level window as the window's own corner would.
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(h, p);
        HWND root = GetAncestor(h, GA_ROOT);
        if (root && (GetWindowLong(root, GWL_STYLE) & WS_THICKFRAME))
          SendMessage(root, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
        return 0;
      }
      if ((styleOf(h) & WS_TABSTOP) && GetFocus() != h) SetFocus(h);
      if (!IsWindow(h) || !(dp = rec(h))) return 0;
      SetCapture(h);
      const int part = partAt(h, *dp, lParam);
      if (part < 0) {
        dp->tracking = true;
        dp->trackPos = dp->pos;
        dp->grabPos = dp->pos;
        dp->grabStart = vertical(h) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
        redraw(h);
      } else {
        press(h, part);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (d.tracking) drag(h, lParam);
      return 0;
    case WM_LBUTTONUP:
      release(h);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != h) release(h);
      return 0;
    case WM_TIMER: {
      // The track repeats only while the thumb has not reached the pointer.
      POINT p;
      if (!repeatTick(h, wParam, d.pressed >= 0, p)) return 0;
      const int part = partAt(h, d, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
      if (part == d.pressed) report(h, static_cast<WORD>(d.pressed));
      return 0;
    }
    case WM_KEYDOWN: {
      int request = -1;
      switch (static_cast<int>(wParam)) {
        case VK_UP: case VK_LEFT: request = SB_LINEUP; break;
        case VK_DOWN: case VK_RIGHT: request = SB_LINEDOWN; break;
        case VK_PRIOR: request = SB_PAGEUP; break;
        case VK_NEXT: request = SB_PAGEDOWN; break;
        case VK_HOME: request = SB_TOP; break;
        case VK_END: request = SB_BOTTOM; break;
        default: return DefWindowProc(h, msg, wParam, lParam);
      }
      if (!grip(h) && scrollable(d)) report(h, static_cast<WORD>(request));
      return 0;
    }
    case WM_KEYUP:
      switch (static_cast<int>(wParam)) {
        case VK_UP: case VK_LEFT: case VK_DOWN: case VK_RIGHT: case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END:
          if (!grip(h) && scrollable(d)) report(h, SB_ENDSCROLL);
          return 0;
        default: return DefWindowProc(h, msg, wParam, lParam);
      }
    case SBM_SETPOS: {
      const int old = d.pos;
      d.pos = static_cast<int>(static_cast<LONG_PTR>(wParam));
      clamp(d);
      if (lParam && d.pos != old) redraw(h);
      return old;
    }
    case SBM_GETPOS:
      return d.pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      const int old = d.pos;
      d.min = static_cast<int>(static_cast<LONG_PTR>(wParam));
      d.max = static_cast<int>(lParam);
      clamp(d);
      if (msg == SBM_SETRANGEREDRAW) redraw(h);
      return old;
    }
    case SBM_GETRANGE:
      if (int* lo = reinterpret_cast<int*>(wParam)) *lo = d.min;
      if (int* hi = reinterpret_cast<int*>(lParam)) *hi = d.max;
      return 0;
    case SBM_SETSCROLLINFO: {
      const SCROLLINFO* si = reinterpret_cast<const SCROLLINFO*>(lParam);
      if (!si) return d.pos;
      if (si->fMask & SIF_RANGE) {
        d.min = si->nMin;
        d.max = si->nMax;
      }
      if (si->fMask & SIF_PAGE) d.page = si->nPage;
      if (si->fMask & SIF_POS) d.pos = si->nPos;
      clamp(d);
      if (wParam) redraw(h);
      return d.pos;
    }
    case SBM_GETSCROLLINFO: {
      SCROLLINFO* si = reinterpret_cast<SCROLLINFO*>(lParam);
      if (!si) return FALSE;
      if (si->fMask & SIF_RANGE) {
        si->nMin = d.min;
        si->nMax = d.max;
      }
      if (si->fMask & SIF_PAGE) si->nPage = d.page;
      if (si->fMask & SIF_POS) si->nPos = d.pos;
      if (si->fMask & SIF_TRACKPOS) si->nTrackPos = d.tracking ? d.trackPos : d.pos;
      return TRUE;
    }
    case SBM_ENABLE_ARROWS:
      d.arrowsOff = static_cast<UINT>(wParam) & ESB_DISABLE_BOTH;
      redraw(h);
      return TRUE;
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

namespace dlg {
void registerScrollBarClass() { registerControlClass("ScrollBar", barProc); }
}  // namespace dlg

}  // namespace win
