// platform/progress.cpp: the progress bar control class: a sunken well filled from the left
// (from the bottom with PBS_VERTICAL) in proportion to the position, in blocks, or smoothly
// with PBS_SMOOTH. It takes no input.
#include <algorithm>

#include "platform/control_records.h"
#include "platform/dialog_internal.h"
#include "platform/progress.h"

namespace win {
namespace {

struct ProgressData {
  int low = 0, high = 100, pos = 0, step = 10;
  COLORREF bar = CLR_DEFAULT, back = CLR_DEFAULT;
};

ControlRecords<ProgressData>& bars() {
  static ControlRecords<ProgressData> records;
  return records;
}


// Moves the position, kept within the range; the old position is the answer.
LRESULT moveTo(HWND h, ProgressData& d, long long pos) {
  const int old = d.pos;
  d.pos = static_cast<int>(std::clamp<long long>(pos, d.low, std::max(d.low, d.high)));
  if (d.pos != old) InvalidateRect(h, nullptr, TRUE);
  return old;
}

LRESULT setRange(HWND h, ProgressData& d, int low, int high) {
  const LRESULT old = MAKELONG(static_cast<WORD>(d.low), static_cast<WORD>(d.high));
  d.low = low;
  d.high = high;
  moveTo(h, d, d.pos);
  InvalidateRect(h, nullptr, TRUE);
  return old;
}

void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  const ProgressData* found = bars().find(h);
  if (dc && found != nullptr) {
    const ProgressData& d = *found;
    RECT c;
    GetClientRect(h, c);
    dlg::fillSolid(dc, c, d.back == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : d.back);
    dlg::hline(dc, c.left, c.right, c.top, GetSysColor(COLOR_BTNSHADOW));
    dlg::vline(dc, c.left, c.top, c.bottom, GetSysColor(COLOR_BTNSHADOW));
    dlg::hline(dc, c.left, c.right, c.bottom - 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    dlg::vline(dc, c.right - 1, c.top, c.bottom, GetSysColor(COLOR_BTNHIGHLIGHT));
    const RECT in{c.left + 2, c.top + 2, c.right - 2, c.bottom - 2};
    const bool vertical = (styleOf(h) & PBS_VERTICAL) != 0;
    const int length = vertical ? in.bottom - in.top : in.right - in.left;
    const int span = d.high - d.low;
    const int filled = span > 0 ? static_cast<int>(static_cast<long long>(length) * (d.pos - d.low) / span) : 0;
    const COLORREF colour = d.bar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : d.bar;
    if (styleOf(h) & PBS_SMOOTH) {
      dlg::fillSolid(dc, vertical ? RECT{in.left, in.bottom - filled, in.right, in.bottom} : RECT{in.left, in.top, in.left + filled, in.bottom}, colour);
    } else {
      // Blocks two thirds as long as the bar is thick, two pixels apart; the last one shows
      // whole once the fill reaches into it.
      const int thick = vertical ? in.right - in.left : in.bottom - in.top;
      const int block = std::max(2, thick * 2 / 3);
      for (int at = 0; at < filled; at += block + 2) {
        const int end = std::min(at + block, length);
        const RECT r = vertical ? RECT{in.left, in.bottom - end, in.right, in.bottom - at} : RECT{in.left + at, in.top, in.left + end, in.bottom};
        dlg::fillSolid(dc, r, colour);
      }
    }
  }
  EndPaint(h, ps);
}

LRESULT progressProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  ProgressData* found = bars().route(h, msg);
  if (found == nullptr) return DefWindowProc(h, msg, wParam, lParam);
  ProgressData& d = *found;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case PBM_SETRANGE:
      return setRange(h, d, static_cast<short>(LOWORD(static_cast<UINT_PTR>(lParam))),
                      static_cast<short>(HIWORD(static_cast<UINT_PTR>(lParam))));
    case PBM_SETRANGE32:
      return setRange(h, d, static_cast<int>(static_cast<LONG_PTR>(wParam)), static_cast<int>(lParam));
    case PBM_GETRANGE:
      if (PBRANGE* r = reinterpret_cast<PBRANGE*>(lParam)) {
        r->iLow = d.low;
        r->iHigh = d.high;
      }
      return wParam ? d.low : d.high;
    case PBM_SETPOS:
      return moveTo(h, d, static_cast<int>(static_cast<LONG_PTR>(wParam)));
    case PBM_GETPOS:
      return d.pos;
    case PBM_DELTAPOS:
      return moveTo(h, d, static_cast<long long>(d.pos) + static_cast<int>(static_cast<LONG_PTR>(wParam)));
    case PBM_SETSTEP: {
      const int old = d.step;
      d.step = static_cast<int>(static_cast<LONG_PTR>(wParam));
      return old;
    }
    case PBM_STEPIT: {
      // Past the end the bar starts over from the beginning.
      long long next = static_cast<long long>(d.pos) + d.step;
      if (next > d.high) next = d.low + (next - d.high) % std::max(1, d.high - d.low);
      else if (next < d.low) next = d.high - (d.low - next) % std::max(1, d.high - d.low);
      return moveTo(h, d, next);
    }
    case PBM_SETBARCOLOR: {
      const COLORREF old = d.bar;
      d.bar = static_cast<COLORREF>(lParam);
      InvalidateRect(h, nullptr, TRUE);
      return static_cast<LRESULT>(old);
    }
    case PBM_SETBKCOLOR: {
      const COLORREF old = d.back;
      d.back = static_cast<COLORREF>(lParam);
      InvalidateRect(h, nullptr, TRUE);
      return static_cast<LRESULT>(old);
    }
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

namespace dlg {
void registerProgressClass() { registerControlClass(PROGRESS_CLASS, progressProc); }
}  // namespace dlg

}  // namespace win
