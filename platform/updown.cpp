// platform/updown.cpp: the up-down control class: two arrow buttons (stacked, or side by
// side with UDS_HORZ) that step a position, held buttons that repeat and accelerate, the
// buddy window it may align itself with, show its position in (UDS_SETBUDDYINT) and take
// arrow keys from (UDS_ARROWKEYS, through a subclass of the buddy).
//
// Invariants: (1) the position stays within the range, whichever way round the range is
// given (the default is 100 down to 0, so that the up arrow lowers it); (2) a buddy subclass
// is removed when the buddy changes or the up-down control goes, unless someone subclassed
// the buddy after us (then our procedure stays and passes everything on).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/control_records.h"
#include "platform/dialog_internal.h"
#include "platform/updown.h"

namespace win {
namespace {


struct UpDownData {
  int min = 100, max = 0;
  int pos = 0;
  int base = 10;
  HWND buddy = nullptr;
  std::vector<UDACCEL> accel{{0, 1}, {2, 5}, {5, 20}};
  int pressed = 0;       // +1 the up (right) arrow held, -1 the down (left) arrow, 0 none
  DWORD pressTime = 0;
  bool keyHeld = false;  // an arrow key of the buddy is down
};

ControlRecords<UpDownData>& updowns() {
  static ControlRecords<UpDownData> records;
  return records;
}

// Buddies we subclassed: the buddy's own procedure and the up-down control it serves.
struct BuddyLink {
  WNDPROC inner = nullptr;
  HWND updown = nullptr;
};
std::unordered_map<HWND, BuddyLink>& buddies() {
  static std::unordered_map<HWND, BuddyLink> m;
  return m;
}

UpDownData* rec(HWND h) { return updowns().find(h); }

bool horizontal(HWND h) { return (styleOf(h) & UDS_HORZ) != 0; }
int lowOf(const UpDownData& d) { return std::min(d.min, d.max); }
int highOf(const UpDownData& d) { return std::max(d.min, d.max); }

std::string numberText(HWND h, const UpDownData& d, int v) {
  char buf[32];
  if (d.base == 16) {
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(v) & 0xFFFFu);
    return buf;
  }
  std::snprintf(buf, sizeof buf, "%d", v);
  const std::string s = buf;
  if (styleOf(h) & UDS_NOTHOUSANDS) return s;
  const std::size_t start = s[0] == '-' ? 1 : 0;
  std::string out = s.substr(0, start);
  for (std::size_t i = start; i < s.size(); ++i) {
    if (i > start && (s.size() - i) % 3 == 0) out += ',';
    out += s[i];
  }
  return out;
}

void showInBuddy(HWND h, const UpDownData& d) {
  if (!(styleOf(h) & UDS_SETBUDDYINT) || !d.buddy || !IsWindow(d.buddy)) return;
  SetWindowText(d.buddy, numberText(h, d, d.pos).c_str());
}

// The buddy's text read as the position; false when it is no number in the range.
bool readBuddy(HWND h, UpDownData& d) {
  if (!(styleOf(h) & UDS_SETBUDDYINT) || !d.buddy || !IsWindow(d.buddy)) return true;
  std::string t = dlg::windowText(d.buddy);
  t.erase(std::remove(t.begin(), t.end(), ','), t.end());
  while (!t.empty() && t.front() == ' ') t.erase(t.begin());
  while (!t.empty() && t.back() == ' ') t.pop_back();
  if (t.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(t.c_str(), &end, d.base == 16 ? 16 : 10);
  if (!end || *end != '\0' || v < lowOf(d) || v > highOf(d)) return false;
  d.pos = static_cast<int>(v);
  return true;
}

void redraw(HWND h) { InvalidateRect(h, nullptr, TRUE); }

void report(HWND h, WORD request, int pos) { reportScroll(h, !horizontal(h), request, pos); }

// The current step size from the acceleration table and how long the arrow has been held.
int stepSize(const UpDownData& d, DWORD heldMs) {
  int inc = 1;
  for (const UDACCEL& a : d.accel)
    if (heldMs >= a.nSec * 1000u) inc = static_cast<int>(a.nInc);
  return std::max(inc, 0);
}

// One step toward the maximum (dir +1) or the minimum (dir -1).
void step(HWND h, int dir, DWORD heldMs) {
  UpDownData* d = rec(h);
  if (!d) return;
  readBuddy(h, *d);
  const int delta = dir * stepSize(*d, heldMs) * (d->max >= d->min ? 1 : -1);
  NMUPDOWN nm;
  nm.iPos = d->pos;
  nm.iDelta = delta;
  const LRESULT refused = notifyParent(h, nm.hdr, UDN_DELTAPOS);
  if (!IsWindow(h) || !(d = rec(h))) return;
  if (!refused) {
    // The parent may have changed the step.
    long long next = static_cast<long long>(d->pos) + nm.iDelta;
    if (next > highOf(*d)) next = (styleOf(h) & UDS_WRAP) ? lowOf(*d) : highOf(*d);
    else if (next < lowOf(*d)) next = (styleOf(h) & UDS_WRAP) ? highOf(*d) : lowOf(*d);
    if (next != d->pos) {
      d->pos = static_cast<int>(next);
      showInBuddy(h, *d);
    }
  }
  if ((d = rec(h)) != nullptr) report(h, SB_THUMBPOSITION, d->pos);
}

void release(HWND h) {
  UpDownData* d = rec(h);
  if (!d || d->pressed == 0) return;
  d->pressed = 0;
  endPress(h);
  if ((d = rec(h)) != nullptr) report(h, SB_ENDSCROLL, d->pos);
}

// +1 for the up (right) arrow under a client point, -1 for the other.
int arrowAt(HWND h, LPARAM lParam) {
  RECT c;
  GetClientRect(h, c);
  if (horizontal(h)) return GET_X_LPARAM(lParam) >= c.right / 2 ? 1 : -1;
  return GET_Y_LPARAM(lParam) < c.bottom / 2 ? 1 : -1;
}

//------------------------------------------------------------------------------
// Buddy
//------------------------------------------------------------------------------
LRESULT buddyProc(HWND b, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto it = buddies().find(b);
  if (it == buddies().end()) return DefWindowProc(b, msg, wParam, lParam);
  const BuddyLink link = it->second;
  HWND h = link.updown;
  UpDownData* d = h ? rec(h) : nullptr;
  if (d && (styleOf(h) & UDS_ARROWKEYS) && IsWindowEnabled(h)) {
    const int up = horizontal(h) ? VK_RIGHT : VK_UP, down = horizontal(h) ? VK_LEFT : VK_DOWN;
    if (msg == WM_KEYDOWN && (static_cast<int>(wParam) == up || static_cast<int>(wParam) == down)) {
      if (!d->keyHeld) d->pressTime = GetMessageTime();
      d->keyHeld = true;
      step(h, static_cast<int>(wParam) == up ? 1 : -1, GetMessageTime() - d->pressTime);
      return 0;
    }
    if (msg == WM_KEYUP && (static_cast<int>(wParam) == up || static_cast<int>(wParam) == down)) {
      d->keyHeld = false;
      report(h, SB_ENDSCROLL, d->pos);
      return 0;
    }
  }
  if (msg == WM_NCDESTROY) {
    buddies().erase(b);
    if (d && d->buddy == b) d->buddy = nullptr;
  }
  return CallWindowProc(link.inner, b, msg, wParam, lParam);
}

void unhookBuddy(HWND h, UpDownData& d) {
  HWND b = d.buddy;
  d.buddy = nullptr;
  auto it = buddies().find(b);
  if (!b || it == buddies().end()) return;
  if (IsWindow(b) && reinterpret_cast<WNDPROC>(GetWindowLongPtr(b, GWLP_WNDPROC)) == buddyProc) {
    SetWindowLongPtr(b, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.inner));
    buddies().erase(it);
  } else if (it->second.updown == h) {
    it->second.updown = nullptr;   // subclassed after us: our procedure stays and passes on
  }
}

// Takes b as the buddy: subclassed for the arrow keys, and with UDS_ALIGNRIGHT or
// UDS_ALIGNLEFT narrowed by the control's width, the control taking the place freed.
void setBuddy(HWND h, HWND b) {
  UpDownData* d = rec(h);
  if (!d) return;
  unhookBuddy(h, *d);
  if (!b || !IsWindow(b)) return;
  d->buddy = b;
  auto it = buddies().find(b);
  if (it != buddies().end()) {
    it->second.updown = h;
  } else {
    const WNDPROC inner = reinterpret_cast<WNDPROC>(SetWindowLongPtr(b, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buddyProc)));
    buddies()[b] = BuddyLink{inner, h};
  }
  const DWORD style = styleOf(h);
  if (style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)) {
    HWND parent = GetParent(b);
    RECT br, mine;
    GetWindowRect(b, br);
    GetWindowRect(h, mine);
    POINT tl{br.left, br.top}, brc{br.right, br.bottom};
    if (parent) {
      ScreenToClient(parent, tl);
      ScreenToClient(parent, brc);
    }
    int w = mine.right - mine.left;
    if (w <= 0) w = GetSystemMetrics(SM_CXVSCROLL);
    const int height = brc.y - tl.y;
    if (style & UDS_ALIGNRIGHT) {
      MoveWindow(b, tl.x, tl.y, std::max(0, static_cast<int>(brc.x - tl.x) - w), height, TRUE);
      MoveWindow(h, brc.x - w, tl.y, w, height, TRUE);
    } else {
      MoveWindow(b, tl.x + w, tl.y, std::max(0, static_cast<int>(brc.x - tl.x) - w), height, TRUE);
      MoveWindow(h, tl.x, tl.y, w, height, TRUE);
    }
  }
  // The buddy keeps its own text until the position changes: a field may show a value that is
  // no integer (a real number stepped by the parent).
}

//------------------------------------------------------------------------------
// Painting and window procedure
//------------------------------------------------------------------------------
void drawArrowButton(HDC dc, const RECT& r, int dir, bool pushed, bool enabled) {
  // dir: 0 up, 1 down, 2 left, 3 right.
  dlg::fillSolid(dc, r, GetSysColor(COLOR_BTNFACE));
  if (pushed) dlg::edge3d(dc, r, false);
  else dlg::edge3d(dc, r, true);
  const int cx = (r.left + r.right) / 2 + (pushed ? 1 : 0), cy = (r.top + r.bottom) / 2 + (pushed ? 1 : 0);
  const COLORREF c = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  for (int k = 0; k < 3; ++k) {
    switch (dir) {
      case 0: dlg::hline(dc, cx - k, cx + k + 1, cy - 1 + k, c); break;
      case 1: dlg::hline(dc, cx - 2 + k, cx + 3 - k, cy - 1 + k, c); break;
      case 2: dlg::vline(dc, cx - 1 + k, cy - k, cy + k + 1, c); break;
      default: dlg::vline(dc, cx - 1 + k, cy - 2 + k, cy + 3 - k, c); break;
    }
  }
}

void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  if (UpDownData* d = rec(h); dc && d) {
    RECT c;
    GetClientRect(h, c);
    const bool on = IsWindowEnabled(h) != 0;
    if (horizontal(h)) {
      drawArrowButton(dc, RECT{0, 0, c.right / 2, c.bottom}, 2, d->pressed < 0, on);
      drawArrowButton(dc, RECT{c.right / 2, 0, c.right, c.bottom}, 3, d->pressed > 0, on);
    } else {
      drawArrowButton(dc, RECT{0, 0, c.right, c.bottom / 2}, 0, d->pressed > 0, on);
      drawArrowButton(dc, RECT{0, c.bottom / 2, c.right, c.bottom}, 1, d->pressed < 0, on);
    }
  }
  EndPaint(h, ps);
}

LRESULT updownProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCDESTROY)
    if (UpDownData* d = rec(h)) unhookBuddy(h, *d);
  UpDownData* dp = updowns().route(h, msg);
  if (!dp) return DefWindowProc(h, msg, wParam, lParam);
  UpDownData& d = *dp;
  switch (msg) {
    case WM_CREATE:
      // An automatic buddy is the window created just before.
      if (styleOf(h) & UDS_AUTOBUDDY) setBuddy(h, GetWindow(h, GW_HWNDPREV));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_ENABLE:
      if (!wParam) release(h);
      redraw(h);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (d.pressed) return 0;
      d.pressed = arrowAt(h, lParam);
      d.pressTime = GetMessageTime();
      SetCapture(h);
      redraw(h);
      startRepeat(h);
      step(h, d.pressed, 0);
      return 0;
    case WM_TIMER: {
      POINT p;
      if (!repeatTick(h, wParam, d.pressed != 0, p)) return 0;
      RECT c;
      GetClientRect(h, c);
      // Held: repeat while the pointer stays on the pressed arrow.
      if (PtInRect(c, p) && arrowAt(h, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y))) == d.pressed)
        step(h, d.pressed, GetMessageTime() - d.pressTime);
      return 0;
    }
    case WM_LBUTTONUP:
      release(h);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != h) release(h);
      return 0;
    case UDM_SETRANGE:
      d.max = static_cast<short>(LOWORD(static_cast<UINT_PTR>(lParam)));
      d.min = static_cast<short>(HIWORD(static_cast<UINT_PTR>(lParam)));
      d.pos = std::clamp(d.pos, lowOf(d), highOf(d));
      return 0;
    case UDM_GETRANGE:
      return MAKELONG(static_cast<WORD>(d.max), static_cast<WORD>(d.min));
    case UDM_SETRANGE32:
      d.min = static_cast<int>(static_cast<LONG_PTR>(wParam));
      d.max = static_cast<int>(lParam);
      d.pos = std::clamp(d.pos, lowOf(d), highOf(d));
      return 0;
    case UDM_GETRANGE32:
      if (int* lo = reinterpret_cast<int*>(wParam)) *lo = d.min;
      if (int* hi = reinterpret_cast<int*>(lParam)) *hi = d.max;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      readBuddy(h, d);
      const int old = d.pos;
      const int v = msg == UDM_SETPOS ? static_cast<short>(LOWORD(static_cast<UINT_PTR>(lParam))) : static_cast<int>(lParam);
      d.pos = std::clamp(v, lowOf(d), highOf(d));
      showInBuddy(h, d);
      return old;
    }
    case UDM_GETPOS: {
      const bool ok = readBuddy(h, d);
      return MAKELONG(static_cast<WORD>(d.pos), static_cast<WORD>(ok ? 0 : 1));
    }
    case UDM_GETPOS32: {
      const bool ok = readBuddy(h, d);
      if (BOOL* failed = reinterpret_cast<BOOL*>(lParam)) *failed = ok ? FALSE : TRUE;
      return d.pos;
    }
    case UDM_SETBUDDY: {
      const HWND old = d.buddy;
      setBuddy(h, reinterpret_cast<HWND>(wParam));
      return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY:
      return reinterpret_cast<LRESULT>(d.buddy);
    case UDM_SETACCEL: {
      const UDACCEL* a = reinterpret_cast<const UDACCEL*>(lParam);
      if (!a || wParam == 0) return FALSE;
      d.accel.assign(a, a + wParam);
      return TRUE;
    }
    case UDM_GETACCEL: {
      UDACCEL* out = reinterpret_cast<UDACCEL*>(lParam);
      const std::size_t n = std::min<std::size_t>(d.accel.size(), static_cast<std::size_t>(wParam));
      for (std::size_t i = 0; out && i < n; ++i) out[i] = d.accel[i];
      return static_cast<LRESULT>(d.accel.size());
    }
    case UDM_SETBASE: {
      if (wParam != 10 && wParam != 16) return 0;
      const int old = d.base;
      d.base = static_cast<int>(wParam);
      showInBuddy(h, d);
      return old;
    }
    case UDM_GETBASE:
      return d.base;
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

namespace dlg {
void registerUpDownClass() { registerControlClass(UPDOWN_CLASS, updownProc); }
}  // namespace dlg

}  // namespace win
