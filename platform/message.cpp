// platform/message.cpp: sent and posted messages, the queue, translation and dispatch,
// timers, keyboard focus, activation, capture and the routing of user input.
// Sections (grep "[SECTION]"): sending | queue | input routing | translation and dispatch |
//   timers | focus, activation and capture | key state and cursor
//
// Invariants: (1) sent messages call the window procedure at once, on the caller's stack;
// (2) the queue is FIFO for posted messages and input; a character from TranslateMessage
// enters at its front, so it is the very next message after its key-down; (3) WM_PAINT is
// produced only when the queue holds nothing for the caller, WM_TIMER only when there is
// neither a queued message nor a window to paint.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/window_internal.h"

namespace win {

//------------------------------------------------------------------------------
// [SECTION] Sending
//------------------------------------------------------------------------------
LRESULT sendMsg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The record is not touched after the call, so it need not be kept alive across it.
  Window* w = wnd(hwnd);
  if (!w || !w->proc) return 0;
  if (w->destroyed && msg != WM_NCDESTROY) return 0;
  WinSys& s = ws();
  ++s.sendDepth;
  LRESULT r = w->proc(hwnd, msg, wParam, lParam);
  --s.sendDepth;
  return r;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return sendMsg(hwnd, msg, wParam, lParam);
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? sendMsg(item, msg, wParam, lParam) : 0;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

BOOL InSendMessage() { return FALSE; }   // one thread: nothing is ever sent from another

UINT RegisterWindowMessage(LPCSTR name) {
  if (!name || !*name) return 0;
  return addAtom(name);
}

//------------------------------------------------------------------------------
// [SECTION] Queue
//------------------------------------------------------------------------------
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WinSys& s = ws();
  if (hwnd && !wnd(hwnd)) return FALSE;
  QueueEntry e;
  e.msg.hwnd = hwnd;
  e.msg.message = msg;
  e.msg.wParam = wParam;
  e.msg.lParam = lParam;
  e.msg.time = backendNow();
  e.msg.pt = s.cursorPos;
  s.queue.push_back(e);
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  ws().quit = true;
  ws().quitCode = exitCode;
}

void purgeMessagesFor(HWND hwnd) {
  auto& q = ws().queue;
  q.erase(std::remove_if(q.begin(), q.end(),
                         [&](const QueueEntry& e) { return e.kind == QueueEntry::Posted && e.msg.hwnd == hwnd; }),
          q.end());
}

static bool matches(const MSG& m, HWND filter, UINT lo, UINT hi) {
  if (filter && m.hwnd != filter && !isAncestor(filter, m.hwnd)) return false;
  if (lo == 0 && hi == 0) return true;
  if (hi < lo) return true;
  return m.message >= lo && m.message <= hi;
}

bool cookInput(QueueEntry& e);   // input routing below

void updateKeySync(const MSG& m) {
  WinSys& s = ws();
  auto setKey = [&](int vk, bool down) {
    BYTE& k = s.keySync[vk & 0xFF];
    if (down && !(k & 0x80)) k ^= 1;   // toggled on each press
    k = static_cast<BYTE>(down ? (k | 0x80) : (k & ~0x80));
  };
  switch (m.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: setKey(static_cast<int>(m.wParam), true); break;
    case WM_KEYUP: case WM_SYSKEYUP: setKey(static_cast<int>(m.wParam), false); break;
    default: break;
  }
  if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN || m.message == WM_KEYUP || m.message == WM_SYSKEYUP) {
    // The left-hand modifier keys follow the plain ones.
    const int vk = static_cast<int>(m.wParam);
    if (vk == VK_SHIFT) s.keySync[VK_LSHIFT] = s.keySync[VK_SHIFT];
    if (vk == VK_CONTROL) s.keySync[VK_LCONTROL] = s.keySync[VK_CONTROL];
    if (vk == VK_MENU) s.keySync[VK_LMENU] = s.keySync[VK_MENU];
  }
  if ((m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) ||
      (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCMBUTTONDBLCLK)) {
    auto btn = [&](int vk, bool down) {
      s.keySync[vk] = static_cast<BYTE>(down ? (s.keySync[vk] | 0x80) : (s.keySync[vk] & ~0x80));
    };
    switch (m.message) {
      case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: btn(VK_LBUTTON, true); break;
      case WM_LBUTTONUP: case WM_NCLBUTTONUP: btn(VK_LBUTTON, false); break;
      case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK: btn(VK_RBUTTON, true); break;
      case WM_RBUTTONUP: case WM_NCRBUTTONUP: btn(VK_RBUTTON, false); break;
      case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: btn(VK_MBUTTON, true); break;
      case WM_MBUTTONUP: case WM_NCMBUTTONUP: btn(VK_MBUTTON, false); break;
      default: break;
    }
  }
}

static bool dueTimer(HWND filter, std::size_t& index) {
  WinSys& s = ws();
  const DWORD now = backendNow();
  for (std::size_t i = 0; i < s.timers.size(); ++i) {
    const Timer& t = s.timers[i];
    if (static_cast<int>(now - t.due) < 0) continue;
    if (filter && t.hwnd != filter && !isAncestor(filter, t.hwnd)) continue;
    index = i;
    return true;
  }
  return false;
}

// One look at the queue: true with msg when a message is there for the caller.
static bool peekOnce(MSG& msg, HWND filter, UINT lo, UINT hi, UINT flags) {
  WinSys& s = ws();
  const bool remove = (flags & PM_REMOVE) != 0;
  for (std::size_t i = 0; i < s.queue.size();) {
    if (s.queue[i].cooking) {   // being routed further up the stack
      ++i;
      continue;
    }
    if (s.queue[i].kind != QueueEntry::Posted) {
      // Input is routed when the queue reaches it; what reaches no window is dropped. The
      // routing sends messages, whose handlers may take from the queue themselves.
      s.queue[i].cooking = true;
      QueueEntry copy = s.queue[i];
      const bool kept = cookInput(copy);
      auto it = std::find_if(s.queue.begin(), s.queue.end(), [&](const QueueEntry& q) { return q.seq == copy.seq; });
      if (it == s.queue.end()) {
        i = 0;
        continue;
      }
      if (!kept) {
        s.queue.erase(it);
        i = 0;
        continue;
      }
      copy.cooking = false;
      *it = copy;
      i = static_cast<std::size_t>(it - s.queue.begin());
    }
    const QueueEntry& c = s.queue[i];
    if (matches(c.msg, filter, lo, hi)) {
      msg = c.msg;
      if (remove) {
        s.queue.erase(s.queue.begin() + static_cast<long>(i));
        updateKeySync(msg);
        s.messageTime = msg.time;
        s.messagePos = msg.pt;
      }
      return true;
    }
    ++i;
  }
  const bool wantQuit = lo == 0 && hi == 0;
  if (s.quit && (wantQuit || (WM_QUIT >= lo && WM_QUIT <= hi))) {
    msg = MSG{};
    msg.message = WM_QUIT;
    msg.wParam = static_cast<WPARAM>(s.quitCode);
    msg.time = backendNow();
    if (remove) s.quit = false;
    return true;
  }
  if (lo == 0 && hi == 0 ? true : (WM_PAINT >= lo && WM_PAINT <= hi)) {
    HWND p = nullptr;
    if (findPaintWindow(filter, p)) {
      msg = MSG{};
      msg.hwnd = p;
      msg.message = WM_PAINT;
      msg.time = backendNow();
      msg.pt = s.cursorPos;
      if (remove) {
        s.messageTime = msg.time;
        if (Window* w = wnd(p)) w->internalPaint = false;
      }
      return true;
    }
  }
  if (lo == 0 && hi == 0 ? true : (WM_TIMER >= lo && WM_TIMER <= hi)) {
    std::size_t ti = 0;
    if (dueTimer(filter, ti)) {
      Timer& t = s.timers[ti];
      msg = MSG{};
      msg.hwnd = t.hwnd;
      msg.message = WM_TIMER;
      msg.wParam = t.id;
      msg.lParam = reinterpret_cast<LPARAM>(t.proc);
      msg.time = backendNow();
      msg.pt = s.cursorPos;
      if (remove) {
        t.due = backendNow() + std::max<UINT>(t.interval, 1);
        s.messageTime = msg.time;
      }
      return true;
    }
  }
  return false;
}

BOOL PeekMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (ws().backend.poll) ws().backend.poll();
  return peekOnce(msg, hwnd, filterMin, filterMax, removeFlags) ? TRUE : FALSE;
}

BOOL GetMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  for (;;) {
    if (peekOnce(msg, hwnd, filterMin, filterMax, PM_REMOVE)) return msg.message == WM_QUIT ? FALSE : TRUE;
    if (!backendWait()) {
      std::fprintf(stderr, "platform: GetMessage would wait for ever: no message, timer or input can arrive\n");
      std::abort();
    }
  }
}

BOOL WaitMessage() {
  MSG m;
  if (peekOnce(m, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
  return backendWait() ? TRUE : FALSE;
}

DWORD GetMessageTime() { return ws().messageTime; }
DWORD GetMessagePos() {
  POINT p = ws().messagePos;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

//------------------------------------------------------------------------------
// [SECTION] Input routing
//------------------------------------------------------------------------------
// The window under a screen point, asking each window's hit test: a window that answers
// transparent lets the point through to the window beneath it; a disabled child leaves the
// point to its parent.
static HWND hitWindow(const std::vector<HWND>& level, POINT pt, LRESULT& hit, bool& disabledTop) {
  for (HWND h : level) {
    Window* w = wnd(h);
    if (!w || !(w->style & WS_VISIBLE)) continue;
    if (!PtInRect(windowRectScreen(h), pt)) continue;
    if (w->style & WS_DISABLED) {
      if (isTopLevel(w)) {
        disabledTop = true;
        hit = HTERROR;
        return h;
      }
      return nullptr;   // the parent takes it
    }
    LRESULT ht = sendMsg(h, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
    if (!(w = wnd(h))) continue;
    if (ht == HTTRANSPARENT) continue;
    if (ht == HTCLIENT) {
      std::vector<HWND> kids = w->children;
      LRESULT childHit = HTNOWHERE;
      bool dis = false;
      HWND c = hitWindow(kids, pt, childHit, dis);
      if (c) {
        hit = childHit;
        return c;
      }
    }
    hit = ht;
    return h;
  }
  return nullptr;
}

HWND WindowFromPoint(POINT pt) {
  LRESULT hit = HTNOWHERE;
  bool dis = false;
  std::vector<HWND> tops = desktopWnd()->children;
  return hitWindow(tops, pt, hit, dis);
}

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags) {
  Window* p = wnd(parent);
  if (!p) return nullptr;
  if (!PtInRect(clientRectOf(p), pt) && !PtInRect(RECT{-p->client.left, -p->client.top,
                                                        p->rect.right - p->rect.left - p->client.left,
                                                        p->rect.bottom - p->rect.top - p->client.top}, pt))
    return nullptr;
  for (HWND c : p->children) {
    Window* w = wnd(c);
    if (!w) continue;
    if ((flags & CWP_SKIPINVISIBLE) && !(w->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (w->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (w->exStyle & WS_EX_TRANSPARENT)) continue;
    if (PtInRect(w->rect, pt)) return c;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) { return ChildWindowFromPointEx(parent, pt, CWP_ALL); }

static UINT ncForm(UINT clientMsg) { return clientMsg - WM_MOUSEMOVE + WM_NCMOUSEMOVE; }

static bool isButtonDown(UINT m) { return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN; }

// Turns raw input into the message of the window it reaches. False: the input is dropped.
bool cookInput(QueueEntry& e) {
  WinSys& s = ws();
  if (e.kind == QueueEntry::RawKey) {
    HWND target = s.focus;
    bool sys = e.altDown || e.vk == VK_MENU || e.vk == VK_F10;
    if (!target) {
      target = s.active;
      sys = true;   // without a focus window the active window gets system keys
    }
    if (!target || !enabledChain(target)) return false;
    const bool down = e.rawMessage == WM_KEYDOWN;
    // Alt or F10 opens the menu bar only when released alone: any other key pressed meanwhile
    // cancels that, also one a control takes for itself (Alt+Down dropping a list).
    if (down && static_cast<WPARAM>(e.vk) != s.menuKey) s.menuKey = 0;
    e.msg.hwnd = target;
    e.msg.message = sys ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    e.msg.wParam = static_cast<WPARAM>(e.vk);
    DWORD lp = 1;
    lp |= static_cast<DWORD>(e.scan & 0xFF) << 16;
    if (e.extended) lp |= 1u << 24;
    if (e.altDown) lp |= 1u << 29;
    if (e.wasDown || !down) lp |= 1u << 30;
    if (!down) lp |= 1u << 31;
    e.msg.lParam = static_cast<LPARAM>(static_cast<LONG>(lp));
    e.kind = QueueEntry::Posted;
    return true;
  }

  // Mouse.
  const POINT pt = e.msg.pt;
  UINT m = e.rawMessage;
  HWND target = nullptr;
  LRESULT hit = HTCLIENT;
  if (m == WM_MOUSEWHEEL) {
    // The wheel goes to the focus window; default processing passes it up to the parents.
    target = s.focus ? s.focus : s.active;
    if (!target || !enabledChain(target)) return false;
    e.msg.hwnd = target;
    e.msg.message = WM_MOUSEWHEEL;
    e.msg.wParam = MAKEWPARAM(static_cast<WORD>(e.keys), static_cast<WORD>(e.wheel));
    e.msg.lParam = MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y));
    e.kind = QueueEntry::Posted;
    return true;
  }
  if (s.capture) {
    target = s.capture;
  } else {
    bool disabledTop = false;
    std::vector<HWND> tops = desktopWnd()->children;
    target = hitWindow(tops, pt, hit, disabledTop);
    if (!target) return false;
    if (disabledTop) {
      // A disabled window takes no input: the cursor request says so, a click beeps and
      // brings forward the window that holds it disabled.
      sendMsg(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(static_cast<WORD>(HTERROR), static_cast<WORD>(m)));
      return false;
    }
  }
  HWND top = topLevelOf(target);
  // Every press asks the window whether it wants activating (a child window may use it to
  // come forward among its siblings); the top-level window is activated when it is not yet.
  if (isButtonDown(m) && top && !s.capture) {
    LRESULT ma = sendMsg(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                         MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(m)));
    if ((ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT) && top != s.active) {
      if (wnd(top) && IsWindowEnabled(top)) setActive(top, WA_CLICKACTIVE);
    }
    if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT) return false;
    if (!wnd(target)) return false;
  }
  if (!s.capture) {
    sendMsg(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(m)));
    if (!wnd(target)) return false;
  }
  const bool client = hit == HTCLIENT;
  // Double clicks: the second press of a button within the time and distance limits.
  if (isButtonDown(m)) {
    const UINT dbl = m + 2;
    const bool classWants = client ? (wnd(target)->cls->style & CS_DBLCLKS) != 0 : true;
    const bool near = std::abs(pt.x - s.lastClickPos.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                      std::abs(pt.y - s.lastClickPos.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (classWants && s.lastClickWnd == target && s.lastClickMsg == m && s.lastClickNc == !client && near &&
        e.msg.time - s.lastClickTime <= GetDoubleClickTime()) {
      m = dbl;
      s.lastClickWnd = nullptr;
    } else {
      s.lastClickWnd = target;
      s.lastClickMsg = m;
      s.lastClickTime = e.msg.time;
      s.lastClickPos = pt;
      s.lastClickNc = !client;
    }
  }
  e.msg.hwnd = target;
  if (client || s.capture) {
    POINT c = pt;
    ScreenToClient(target, c);
    e.msg.message = m;
    e.msg.wParam = e.keys;
    e.msg.lParam = MAKELPARAM(static_cast<WORD>(c.x), static_cast<WORD>(c.y));
  } else {
    e.msg.message = ncForm(m);
    e.msg.wParam = static_cast<WPARAM>(hit);
    e.msg.lParam = MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y));
  }
  e.kind = QueueEntry::Posted;
  return true;
}

//------------------------------------------------------------------------------
// [SECTION] Translation and dispatch
//------------------------------------------------------------------------------
// The character a key gives on the standard US layout, 0 for none.
static int keyChar(int vk, bool shift, bool ctrl, bool caps) {
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return vk - 'A' + 1;
    const bool up = shift != caps;
    return up ? vk : vk - 'A' + 'a';
  }
  if (ctrl) {
    switch (vk) {
      case VK_RETURN: return '\n';
      case VK_BACK: return 127;
      case VK_ESCAPE: return 27;
      case VK_OEM_4: return 27;
      case VK_OEM_5: return 28;
      case VK_OEM_6: return 29;
      case VK_CANCEL: return 3;
      case VK_SPACE: return ' ';
      default: return 0;
    }
  }
  if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : vk;
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return '0' + vk - VK_NUMPAD0;
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_ESCAPE: return 27;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_3: return shift ? '~' : '`';
    case VK_OEM_4: return shift ? '{' : '[';
    case VK_OEM_5: return shift ? '|' : '\\';
    case VK_OEM_6: return shift ? '}' : ']';
    case VK_OEM_7: return shift ? '"' : '\'';
    default: return 0;
  }
}

BOOL TranslateMessage(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return FALSE;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  const bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
  if (ctrl && alt) return FALSE;
  int ch = ws().backend.keyChar ? ws().backend.keyChar(msg) : -1;
  if (ch < 0) ch = keyChar(static_cast<int>(msg.wParam), shift, ctrl, caps);
  if (!ch) return FALSE;
  QueueEntry e;
  e.msg = msg;
  e.msg.message = msg.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  e.msg.wParam = static_cast<WPARAM>(ch);
  ws().queue.push_front(e);
  return TRUE;
}

LRESULT DispatchMessage(const MSG& msg) {
  if (msg.message == WM_TIMER && msg.lParam) {
    // Only a procedure that a live timer names is called: a posted timer message with any
    // other value is no address to jump to.
    const auto proc = reinterpret_cast<TIMERPROC>(msg.lParam);
    for (const Timer& t : ws().timers)
      if (t.hwnd == msg.hwnd && t.id == msg.wParam && t.proc == proc) {
        proc(msg.hwnd, WM_TIMER, msg.wParam, msg.time);
        return 0;
      }
    return 0;
  }
  if (!msg.hwnd) return 0;
  return sendMsg(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

//------------------------------------------------------------------------------
// [SECTION] Timers
//------------------------------------------------------------------------------
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT milliseconds, TIMERPROC proc) {
  WinSys& s = ws();
  if (failNow("SetTimer")) return 0;
  if (hwnd && !wnd(hwnd)) return 0;
  if (!hwnd) id = s.nextThreadTimer++;
  for (Timer& t : s.timers)
    if (t.hwnd == hwnd && t.id == id) {
      t.interval = milliseconds;
      t.due = backendNow() + std::max<UINT>(milliseconds, 1);
      t.proc = proc;
      return hwnd ? 1 : id;
    }
  Timer t;
  t.hwnd = hwnd;
  t.id = id;
  t.interval = milliseconds;
  t.due = backendNow() + std::max<UINT>(milliseconds, 1);
  t.proc = proc;
  s.timers.push_back(t);
  return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto& v = ws().timers;
  auto it = std::find_if(v.begin(), v.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == v.end()) return FALSE;
  v.erase(it);
  // A timer message already taken but not dispatched stays valid; none is queued here.
  return TRUE;
}

void killTimersFor(HWND hwnd) {
  auto& v = ws().timers;
  v.erase(std::remove_if(v.begin(), v.end(), [&](const Timer& t) { return t.hwnd == hwnd; }), v.end());
}

//------------------------------------------------------------------------------
// [SECTION] Focus, activation and capture
//------------------------------------------------------------------------------
HWND GetFocus() { return ws().focus; }
HWND GetActiveWindow() { return ws().active; }
HWND GetForegroundWindow() { return ws().appActive ? ws().active : nullptr; }
HWND GetCapture() { return ws().capture; }

// Kill-focus goes first, naming the window that takes the focus; a focus change that its
// handler makes wins over this one. Set-focus follows, naming the window that lost it.
HWND SetFocus(HWND hwnd) {
  WinSys& s = ws();
  if (hwnd && !wnd(hwnd)) return nullptr;
  if (hwnd && !enabledChain(hwnd)) return nullptr;
  if (hwnd == s.focus) return s.focus;
  if (hwnd) {
    HWND top = topLevelOf(hwnd);
    if (top != s.active) {
      setActive(top, WA_ACTIVE);
      if (!wnd(hwnd)) return nullptr;
      if (s.focus == hwnd) return s.focus;
    }
  }
  const HWND old = s.focus;
  const unsigned seq = ++s.focusSeq;
  if (old && !s.losingFocus.count(old)) {
    s.losingFocus.insert(old);
    sendMsg(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    s.losingFocus.erase(old);
    if (s.focusSeq != seq) return old;
  }
  if (hwnd && !wnd(hwnd)) {
    s.focus = nullptr;
    return old;
  }
  s.focus = hwnd;
  if (hwnd) sendMsg(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

void setActive(HWND top, WORD how) {
  WinSys& s = ws();
  if (top && !wnd(top)) return;
  if (top == s.active && (s.appActive || !top)) return;
  const HWND old = s.active;
  const unsigned seq = ++s.activeSeq;
  if (old && old != top && wnd(old)) {
    sendMsg(old, WM_NCACTIVATE, FALSE, 0);
    sendMsg(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, static_cast<WORD>(IsIconic(old))), reinterpret_cast<LPARAM>(top));
    if (s.activeSeq != seq) return;
  }
  if (top && !s.appActive) {
    s.appActive = true;
    std::vector<HWND> tops = desktopWnd()->children;
    for (HWND t : tops) sendMsg(t, WM_ACTIVATEAPP, TRUE, 0);
    if (s.activeSeq != seq) return;
  }
  s.active = top;
  if (!top || !wnd(top)) return;
  // The active window comes to the top of its band.
  if (desktopWnd()->children.empty() || desktopWnd()->children.front() != top)
    SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (!wnd(top)) return;
  sendMsg(top, WM_NCACTIVATE, TRUE, 0);
  sendMsg(top, WM_ACTIVATE, MAKEWPARAM(how, static_cast<WORD>(IsIconic(top))), reinterpret_cast<LPARAM>(old));
  if (s.activeSeq != seq) return;
  // The focus belongs to the active window: focus left in another one is taken away.
  if (s.focus && topLevelOf(s.focus) != top) {
    HWND f = s.focus;
    ++s.focusSeq;
    s.focus = nullptr;
    sendMsg(f, WM_KILLFOCUS, 0, 0);
  }
}

void deactivateApp() {
  WinSys& s = ws();
  if (!s.appActive) return;
  const HWND old = s.active;
  if (old) {
    sendMsg(old, WM_NCACTIVATE, FALSE, 0);
    sendMsg(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, static_cast<WORD>(IsIconic(old))), 0);
  }
  s.appActive = false;
  std::vector<HWND> tops = desktopWnd()->children;
  for (HWND t : tops) sendMsg(t, WM_ACTIVATEAPP, FALSE, 0);
  s.active = nullptr;
  if (s.focus) {
    HWND f = s.focus;
    ++s.focusSeq;
    s.focus = nullptr;
    sendMsg(f, WM_KILLFOCUS, 0, 0);
  }
  if (s.capture) ReleaseCapture();
}

HWND SetActiveWindow(HWND hwnd) {
  WinSys& s = ws();
  HWND old = s.active;
  HWND top = topLevelOf(hwnd);
  if (!top || !IsWindowEnabled(top)) return nullptr;
  setActive(top, WA_ACTIVE);
  return old;
}

BOOL SetForegroundWindow(HWND hwnd) {
  if (!wnd(hwnd)) return FALSE;
  SetActiveWindow(hwnd);
  return TRUE;
}

HWND SetCapture(HWND hwnd) {
  WinSys& s = ws();
  if (!wnd(hwnd)) return nullptr;
  HWND old = s.capture;
  s.capture = hwnd;
  if (old && old != hwnd) sendMsg(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  WinSys& s = ws();
  HWND old = s.capture;
  s.capture = nullptr;
  if (old) sendMsg(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Key state and cursor
//------------------------------------------------------------------------------
static short keyStateOf(const BYTE* table, int vk) {
  BYTE k = table[vk & 0xFF];
  short r = 0;
  if (k & 0x80) r = static_cast<short>(0x8000);
  if (k & 1) r = static_cast<short>(r | 1);
  return r;
}

short GetKeyState(int vk) { return keyStateOf(ws().keySync, vk); }
short GetAsyncKeyState(int vk) { return keyStateOf(ws().keyAsync, vk); }

BOOL GetCursorPos(POINT& pt) {
  WinSys& s = ws();
  if (s.backend.pointerPos) s.backend.pointerPos(s.cursorPos);
  pt = s.cursorPos;
  return TRUE;
}

UINT GetDoubleClickTime() { return 500; }

BOOL MessageBeep(UINT) {
  ++ws().beeps;
  return TRUE;
}

}  // namespace win
