#pragma once
// The per-window records of one control class: made at WM_NCCREATE, dropped at WM_NCDESTROY,
// looked up on every other message (nullptr once the window is gone); and the small steps the
// control classes take alike (style, parent notifications, held buttons that repeat).
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/win.h"

namespace win {

template <class Record>
class ControlRecords {
 public:
  Record* find(HWND h) {
    auto it = records_.find(h);
    return it == records_.end() ? nullptr : &it->second;
  }
  Record& create(HWND h) { return records_[h] = Record{}; }
  Record& get(HWND h) { return records_[h]; }   // made empty if missing
  void erase(HWND h) { records_.erase(h); }

  // The record a message is for. WM_NCCREATE makes it and WM_NCDESTROY drops it; for both,
  // and for a window without a record, the answer is nullptr and the procedure leaves the
  // message to DefWindowProc.
  Record* route(HWND h, UINT msg) {
    if (msg == WM_NCCREATE) {
      create(h);
      return nullptr;
    }
    if (msg == WM_NCDESTROY) {
      erase(h);
      return nullptr;
    }
    return find(h);
  }

 private:
  std::unordered_map<HWND, Record> records_;
};

// Whether the CREATESTRUCT of WM_NCCREATE or WM_CREATE has any of the style bits.
inline bool createdWith(LPARAM createParam, DWORD bits) {
  const auto* cs = reinterpret_cast<const CREATESTRUCT*>(createParam);
  return cs && (static_cast<DWORD>(cs->style) & bits);
}

inline DWORD styleOf(HWND h) { return static_cast<DWORD>(GetWindowLong(h, GWL_STYLE)); }

// A drag that holds the mouse capture ends: the flag cleared and the capture released while
// the control still has it.
inline void endTracking(HWND h, bool& tracking) {
  if (!tracking) return;
  tracking = false;
  if (GetCapture() == h) ReleaseCapture();
}

// WM_SETFONT of a control that keeps its font: the font kept, the control laid out again for
// it (relayout), and drawn again when the message asks (lParam).
template <class Relayout>
LRESULT keepFont(HWND h, HFONT& font, WPARAM wParam, LPARAM lParam, Relayout relayout) {
  font = reinterpret_cast<HFONT>(wParam);
  relayout();
  if (LOWORD(lParam)) InvalidateRect(h, nullptr, TRUE);
  return 0;
}
inline LRESULT keepFont(HWND h, HFONT& font, WPARAM wParam, LPARAM lParam) {
  return keepFont(h, font, wParam, lParam, [] {});
}

// WM_COMMAND with a notification code to the parent of a child control.
inline void notifyCommand(HWND h, WORD code) {
  HWND parent = GetParent(h);
  if (!parent || !(styleOf(h) & WS_CHILD)) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(h)), code), reinterpret_cast<LPARAM>(h));
}

// WM_NOTIFY to the parent, hdr (the head of a larger record where the code has one) filled in
// for h; the parent's answer, 0 without a parent.
inline LRESULT notifyParent(HWND h, NMHDR& hdr, UINT code) {
  HWND parent = GetParent(h);
  if (!parent) return 0;
  hdr.hwndFrom = h;
  hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(h));
  hdr.code = code;
  return SendMessage(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
}
inline LRESULT notifyParent(HWND h, UINT code) {
  NMHDR hdr;
  return notifyParent(h, hdr, code);
}

// A scroll request of a bar-like control to its parent: WM_VSCROLL or WM_HSCROLL with the
// position in the high word, from h.
inline void reportScroll(HWND h, bool vertical, WORD request, int pos) {
  HWND parent = GetParent(h);
  if (!parent) return;
  SendMessage(parent, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(request, static_cast<WORD>(pos)),
              reinterpret_cast<LPARAM>(h));
}

// The tab stop after x (pixels): the first of stops beyond x; past them, or with one stop
// (the interval) or none (every 8 average characters), the next multiple of the interval.
inline int nextTabStop(const std::vector<int>& stops, int x, int avgChar) {
  int stop = 0;
  for (int t : stops)
    if (t > x) {
      stop = t;
      break;
    }
  if (stop != 0) return stop;
  const int step = stops.size() == 1 ? std::max(1, stops[0]) : std::max(1, avgChar * 8);
  return (x / step + 1) * step;
}

// Held arrows and tracks repeat: first after kFirstRepeat ms, then every kNextRepeat ms.
inline constexpr UINT_PTR kRepeatTimer = 1;
inline constexpr UINT kFirstRepeat = 400, kNextRepeat = 100;
inline void startRepeat(HWND h) { SetTimer(h, kRepeatTimer, kFirstRepeat, nullptr); }
// WM_TIMER while something is held: the next repeat armed and the pointer, in client
// coordinates, in p. false for another timer or when nothing is held.
inline bool repeatTick(HWND h, WPARAM timer, bool held, POINT& p) {
  if (timer != kRepeatTimer || !held) return false;
  SetTimer(h, kRepeatTimer, kNextRepeat, nullptr);
  GetCursorPos(p);
  ScreenToClient(h, p);
  return true;
}
// The end of a press: no more repeats, the control drawn again, the capture released.
inline void endPress(HWND h) {
  KillTimer(h, kRepeatTimer);
  InvalidateRect(h, nullptr, TRUE);
  if (GetCapture() == h) ReleaseCapture();
}

}  // namespace win
