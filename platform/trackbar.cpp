// platform/trackbar.cpp: the trackbar control class: a thumb on a sunken channel, tick marks
// (automatic every "frequency" positions with TBS_AUTOTICKS, or set one by one; the ends always),
// a highlighted selection range with TBS_ENABLESELRANGE, horizontal or vertical (TBS_VERT, the
// minimum at the top).
//
// Input moves the position and then reports it: keys (arrows a line, Page Up/Down a page,
// Home and End the ends), a press on the channel beside the thumb (a page toward the pointer,
// repeated while held until the thumb reaches it), a drag of the thumb (TB_THUMBTRACK while it
// moves, TB_THUMBPOSITION at the release); TB_ENDTRACK ends each.
#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

#include "platform/control_records.h"
#include "platform/dialog_internal.h"
#include "platform/trackbar.h"

namespace win {
namespace {

constexpr int kThumbWidth = 11;   // along the channel

struct TrackData {
  int min = 0, max = 100, pos = 0;
  int line = 1, page = 20, freq = 1;
  int selStart = -1, selEnd = -1;
  std::set<int> ticks;   // set one by one
  bool focused = false;
  bool dragging = false;
  int grab = 0;          // pointer offset from the thumb's centre when the drag began
  int paging = 0;        // -1 or +1 while the channel is held beside the thumb
};

ControlRecords<TrackData>& tracks() {
  static ControlRecords<TrackData> records;
  return records;
}

TrackData* rec(HWND h) { return tracks().find(h); }

bool vertical(HWND h) { return (styleOf(h) & TBS_VERT) != 0; }

struct Geometry {
  int from = 0, to = 0;      // channel ends along the bar (the thumb centre's travel)
  int across = 0;            // thumb's near edge across the bar
  int thickness = 0;         // thumb's size across the bar
  int length = 0;            // client size along the bar
  int breadth = 0;           // client size across
};

Geometry geometry(HWND h) {
  RECT c;
  GetClientRect(h, c);
  Geometry g;
  g.length = vertical(h) ? c.bottom : c.right;
  g.breadth = vertical(h) ? c.right : c.bottom;
  g.from = kThumbWidth / 2 + 2;
  g.to = std::max(g.from, g.length - kThumbWidth / 2 - 3);
  g.thickness = std::clamp(g.breadth - 8, 8, 21);
  g.across = (styleOf(h) & (TBS_TOP | TBS_BOTH)) ? (g.breadth - g.thickness) - 2 : 2;
  if (styleOf(h) & TBS_BOTH) g.across = (g.breadth - g.thickness) / 2;
  return g;
}

int coordOf(const TrackData& d, const Geometry& g, int pos) {
  if (d.max <= d.min) return g.from;
  return g.from + static_cast<int>(static_cast<long long>(pos - d.min) * (g.to - g.from) / (d.max - d.min));
}

int posAt(const TrackData& d, const Geometry& g, int coord) {
  if (g.to <= g.from || d.max <= d.min) return d.min;
  const long long span = g.to - g.from;
  const long long v = d.min + ((static_cast<long long>(coord - g.from) * (d.max - d.min)) * 2 + span) / (2 * span);
  return static_cast<int>(std::clamp<long long>(v, d.min, d.max));
}

RECT alongAcross(HWND h, int a0, int a1, int c0, int c1) {
  return vertical(h) ? RECT{c0, a0, c1, a1} : RECT{a0, c0, a1, c1};
}

RECT thumbRect(HWND h, const TrackData& d) {
  const Geometry g = geometry(h);
  const int at = coordOf(d, g, d.pos);
  return alongAcross(h, at - kThumbWidth / 2, at - kThumbWidth / 2 + kThumbWidth, g.across, g.across + g.thickness);
}

RECT channelRect(HWND h) {
  const Geometry g = geometry(h);
  const int mid = g.across + g.thickness / 2;
  return alongAcross(h, g.from - 2, g.to + 3, mid - 3, mid + 3);
}

void redraw(HWND h) { InvalidateRect(h, nullptr, TRUE); }

void report(HWND h, WORD request, int pos = 0) { reportScroll(h, vertical(h), request, pos); }

bool setPos(HWND h, TrackData& d, long long pos) {
  const int v = static_cast<int>(std::clamp<long long>(pos, d.min, std::max(d.min, d.max)));
  if (v == d.pos) return false;
  d.pos = v;
  redraw(h);
  return true;
}

void setRange(HWND h, TrackData& d, int lo, int hi, bool draw) {
  d.min = lo;
  d.max = std::max(lo, hi);
  d.pos = std::clamp(d.pos, d.min, d.max);
  if (draw) redraw(h);
}

std::vector<int> tickPositions(HWND h, const TrackData& d) {
  std::vector<int> out;
  if (styleOf(h) & TBS_NOTICKS) return out;
  std::set<int> all(d.ticks.begin(), d.ticks.end());
  if ((styleOf(h) & TBS_AUTOTICKS) && d.freq > 0)
    for (long long v = d.min; v <= d.max; v += d.freq) all.insert(static_cast<int>(v));
  all.insert(d.min);
  all.insert(d.max);
  for (int v : all)
    if (v >= d.min && v <= d.max) out.push_back(v);
  return out;
}

//------------------------------------------------------------------------------
// Painting
//------------------------------------------------------------------------------
void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  if (dc && rec(h)) {
    RECT c;
    GetClientRect(h, c);
    dlg::paintBackground(h, dc, WM_CTLCOLORSTATIC, c, COLOR_BTNTEXT);
    if (TrackData* d = rec(h)) {
      const Geometry g = geometry(h);
      const RECT ch = channelRect(h);
      dlg::fillSolid(dc, ch, GetSysColor(COLOR_WINDOW));
      dlg::edge3d(dc, ch, false);
      const bool sel = (styleOf(h) & TBS_ENABLESELRANGE) && d->selStart >= d->min && d->selEnd > d->selStart;
      if (sel) {
        const RECT s = alongAcross(h, coordOf(*d, g, d->selStart), coordOf(*d, g, d->selEnd) + 1,
                                   vertical(h) ? ch.left + 2 : ch.top + 2, vertical(h) ? ch.right - 2 : ch.bottom - 2);
        dlg::fillSolid(dc, s, GetSysColor(COLOR_HIGHLIGHT));
      }
      const COLORREF tick = GetSysColor(COLOR_BTNTEXT);
      const bool near = (styleOf(h) & (TBS_TOP | TBS_BOTH)) != 0, far = !(styleOf(h) & TBS_TOP) || (styleOf(h) & TBS_BOTH);
      for (int v : tickPositions(h, *d)) {
        const int at = coordOf(*d, g, v);
        if (far) {
          const RECT t = alongAcross(h, at, at + 1, g.across + g.thickness + 2, g.across + g.thickness + 5);
          dlg::fillSolid(dc, t, tick);
        }
        if (near) {
          const RECT t = alongAcross(h, at, at + 1, g.across - 5, g.across - 2);
          dlg::fillSolid(dc, t, tick);
        }
      }
      if (!(styleOf(h) & TBS_NOTHUMB)) {
        const RECT t = thumbRect(h, *d);
        dlg::fillSolid(dc, t, GetSysColor(COLOR_BTNFACE));
        dlg::edge3d(dc, t, !d->dragging);
      }
      if (d->focused) dlg::focusRect(dc, c);
    }
  }
  EndPaint(h, ps);
}

//------------------------------------------------------------------------------
// Input
//------------------------------------------------------------------------------
void keyDown(HWND h, int vk) {
  TrackData* d = rec(h);
  if (!d) return;
  long long to = d->pos;
  WORD request = 0;
  switch (vk) {
    case VK_LEFT: case VK_UP: to -= d->line; request = TB_LINEUP; break;
    case VK_RIGHT: case VK_DOWN: to += d->line; request = TB_LINEDOWN; break;
    case VK_PRIOR: to -= d->page; request = TB_PAGEUP; break;
    case VK_NEXT: to += d->page; request = TB_PAGEDOWN; break;
    case VK_HOME: to = d->min; request = TB_TOP; break;
    case VK_END: to = d->max; request = TB_BOTTOM; break;
    default: return;
  }
  setPos(h, *d, to);
  report(h, request);
}

// A page toward the pointer, unless the thumb has reached it.
void pageToward(HWND h, int coord) {
  TrackData* d = rec(h);
  if (!d || d->paging == 0) return;
  const Geometry g = geometry(h);
  const int at = coordOf(*d, g, d->pos);
  if ((d->paging < 0 && coord >= at - kThumbWidth / 2) || (d->paging > 0 && coord < at + kThumbWidth / 2)) return;
  setPos(h, *d, static_cast<long long>(d->pos) + d->paging * d->page);
  report(h, d->paging < 0 ? TB_PAGEUP : TB_PAGEDOWN);
}

void release(HWND h) {
  TrackData* d = rec(h);
  if (!d || (!d->dragging && d->paging == 0)) return;
  const bool dragged = d->dragging;
  d->dragging = false;
  d->paging = 0;
  endPress(h);
  if (dragged) report(h, TB_THUMBPOSITION, d->pos);
  if (IsWindow(h)) report(h, TB_ENDTRACK);
}

LRESULT trackProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  TrackData* dp = tracks().route(h, msg);
  if (!dp) return DefWindowProc(h, msg, wParam, lParam);
  TrackData& d = *dp;
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
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
    case WM_KEYDOWN:
      keyDown(h, static_cast<int>(wParam));
      return 0;
    case WM_KEYUP:
      switch (static_cast<int>(wParam)) {
        case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END:
          report(h, TB_ENDTRACK);
          return 0;
        default: return DefWindowProc(h, msg, wParam, lParam);
      }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (GetFocus() != h) SetFocus(h);
      if (!IsWindow(h) || !(dp = rec(h))) return 0;
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const int coord = vertical(h) ? p.y : p.x;
      SetCapture(h);
      if (PtInRect(thumbRect(h, *dp), p) && !(styleOf(h) & TBS_NOTHUMB)) {
        dp->dragging = true;
        dp->grab = coord - coordOf(*dp, geometry(h), dp->pos);
        redraw(h);
        return 0;
      }
      dp->paging = coord < coordOf(*dp, geometry(h), dp->pos) ? -1 : 1;
      startRepeat(h);
      pageToward(h, coord);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (d.dragging) {
        const int coord = (vertical(h) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam)) - d.grab;
        if (setPos(h, d, posAt(d, geometry(h), coord))) report(h, TB_THUMBTRACK, d.pos);
      }
      return 0;
    case WM_TIMER: {
      POINT p;
      if (!repeatTick(h, wParam, d.paging != 0, p)) return 0;
      pageToward(h, vertical(h) ? p.y : p.x);
      return 0;
    }
    case WM_LBUTTONUP:
      release(h);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != h) release(h);
      return 0;
    case TBM_GETPOS: return d.pos;
    case TBM_GETRANGEMIN: return d.min;
    case TBM_GETRANGEMAX: return d.max;
    case TBM_SETPOS:
      setPos(h, d, static_cast<int>(lParam));
      return 0;
    case TBM_SETRANGE:
      setRange(h, d, static_cast<short>(LOWORD(static_cast<UINT_PTR>(lParam))), static_cast<short>(HIWORD(static_cast<UINT_PTR>(lParam))), wParam != 0);
      return 0;
    case TBM_SETRANGEMIN:
      setRange(h, d, static_cast<int>(lParam), d.max, wParam != 0);
      return 0;
    case TBM_SETRANGEMAX:
      setRange(h, d, d.min, static_cast<int>(lParam), wParam != 0);
      return 0;
    case TBM_SETTIC:
      if (static_cast<int>(lParam) < d.min || static_cast<int>(lParam) > d.max) return FALSE;
      d.ticks.insert(static_cast<int>(lParam));
      redraw(h);
      return TRUE;
    case TBM_GETTIC: {
      // The ticks set one by one, in order, by index; -1 beyond them.
      const std::size_t i = static_cast<std::size_t>(wParam);
      if (i >= d.ticks.size()) return -1;
      return *std::next(d.ticks.begin(), static_cast<long>(i));
    }
    case TBM_CLEARTICS:
      d.ticks.clear();
      if (wParam) redraw(h);
      return 0;
    case TBM_GETNUMTICS:
      return (styleOf(h) & TBS_NOTICKS) ? 0 : static_cast<LRESULT>(tickPositions(h, d).size());
    case TBM_SETTICFREQ:
      d.freq = static_cast<int>(static_cast<LONG_PTR>(wParam));
      redraw(h);
      return 0;
    case TBM_SETSEL:
      d.selStart = static_cast<short>(LOWORD(static_cast<UINT_PTR>(lParam)));
      d.selEnd = static_cast<short>(HIWORD(static_cast<UINT_PTR>(lParam)));
      if (wParam) redraw(h);
      return 0;
    case TBM_SETSELSTART:
      d.selStart = static_cast<int>(lParam);
      if (wParam) redraw(h);
      return 0;
    case TBM_SETSELEND:
      d.selEnd = static_cast<int>(lParam);
      if (wParam) redraw(h);
      return 0;
    case TBM_GETSELSTART: return d.selStart;
    case TBM_GETSELEND: return d.selEnd;
    case TBM_CLEARSEL:
      d.selStart = d.selEnd = -1;
      if (wParam) redraw(h);
      return 0;
    case TBM_SETPAGESIZE: {
      const int old = d.page;
      d.page = static_cast<int>(lParam);
      return old;
    }
    case TBM_GETPAGESIZE: return d.page;
    case TBM_SETLINESIZE: {
      const int old = d.line;
      d.line = static_cast<int>(lParam);
      return old;
    }
    case TBM_GETLINESIZE: return d.line;
    case TBM_GETTHUMBRECT:
      if (RECT* r = reinterpret_cast<RECT*>(lParam)) *r = thumbRect(h, d);
      return 0;
    case TBM_GETCHANNELRECT:
      if (RECT* r = reinterpret_cast<RECT*>(lParam)) *r = channelRect(h);
      return 0;
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

namespace dlg {
void registerTrackbarClass() { registerControlClass(TRACKBAR_CLASS, trackProc); }
}  // namespace dlg

}  // namespace win
