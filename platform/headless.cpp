// platform/headless.cpp: the headless backend: a fixed 1280 x 1024 screen at 96 dpi, a
// virtual clock, cursors and screen metrics, and the test API that injects input and reads
// the windows' pixels.
// Sections (grep "[SECTION]"): screen and clock | cursors | input injection | test API
#include <algorithm>
#include <cctype>

#include "platform/resource.h"
#include "platform/test_api.h"
#include "platform/window_internal.h"

namespace win {

//------------------------------------------------------------------------------
// [SECTION] Screen and clock
//------------------------------------------------------------------------------
static constexpr int kScreenWidth = 1280;
static constexpr int kScreenHeight = 1024;
static constexpr DWORD kStartClock = 1000;

int GetSystemMetrics(int index) {
  int screenWidth = kScreenWidth, screenHeight = kScreenHeight;
  if (ws().backend.screenSize) ws().backend.screenSize(screenWidth, screenHeight);
  switch (index) {
    case SM_CXSCREEN: case SM_CXFULLSCREEN: return screenWidth;
    case SM_CYSCREEN: return screenHeight;
    case SM_CYFULLSCREEN: return screenHeight - 19;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return 16;
    case SM_CYVTHUMB: case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CYSMCAPTION: return 15;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYMENU: return 19;
    case SM_CXSIZE: case SM_CYSIZE: return 18;
    case SM_CXMIN: case SM_CXMINTRACK: return 112;
    case SM_CYMIN: case SM_CYMINTRACK: return 27;
    case SM_CXMAXTRACK: return screenWidth + 12;
    case SM_CYMAXTRACK: return screenHeight + 12;
    case SM_CXMAXIMIZED: return screenWidth + 8;
    case SM_CYMAXIMIZED: return screenHeight + 8;
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 24;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_MOUSEWHEELPRESENT: return 1;
    default: return 0;
  }
}

void SetBackend(const Backend& backend) {
  WinSys& s = ws();
  s.backend = backend;
  // The desktop takes the size of the backend's screen.
  Window* d = desktopWnd();
  d->rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  d->client = d->rect;
}

DWORD backendNow() { return ws().backend.now ? ws().backend.now() : ws().clock; }

bool backendWait() {
  WinSys& s = ws();
  if (s.backend.wait) return s.backend.wait();
  if (s.idleHook) {
    const std::size_t before = s.queue.size();
    s.idleHook();
    if (s.queue.size() != before || s.quit) return true;
  }
  if (s.timers.empty()) return false;
  DWORD next = s.timers.front().due;
  for (const Timer& t : s.timers)
    if (static_cast<int>(t.due - next) < 0) next = t.due;
  if (static_cast<int>(next - s.clock) > 0) s.clock = next;
  return true;
}

//------------------------------------------------------------------------------
// [SECTION] Cursors
//------------------------------------------------------------------------------
// System cursors are their own numbers; a cursor of the program's resources is a number
// above them made from its resource handle.
static constexpr LONG kResourceCursorBase = 0x50000;

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) {
  if (instance || !IS_INTRESOURCE(name)) {
    HRSRC res = FindResource(instance, name, RT_GROUP_CURSOR);
    return res ? LongToHandle<HCURSOR>(kResourceCursorBase + HandleToLong(res)) : nullptr;
  }
  const auto id = reinterpret_cast<std::uintptr_t>(name);
  static const std::uintptr_t known[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                         32644, 32645, 32646, 32648, 32649, 32650, 32651};
  for (std::uintptr_t k : known)
    if (k == id) return LongToHandle<HCURSOR>(static_cast<LONG>(id));
  return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = ws().cursor;
  ws().cursor = cursor;
  if (ws().backend.cursorChanged && cursor != old) ws().backend.cursorChanged(cursor);
  return old;
}

HCURSOR GetCursor() { return ws().cursor; }
BOOL DestroyCursor(HCURSOR) { return TRUE; }

bool failNow(const char* service) { return ws().pendingFailures.erase(service) > 0; }

//------------------------------------------------------------------------------
// [SECTION] Input injection
//------------------------------------------------------------------------------
static void tick() { ++ws().clock; }

static WPARAM mouseKeys() {
  WinSys& s = ws();
  WPARAM k = 0;
  if (s.keyAsync[VK_LBUTTON] & 0x80) k |= MK_LBUTTON;
  if (s.keyAsync[VK_RBUTTON] & 0x80) k |= MK_RBUTTON;
  if (s.keyAsync[VK_MBUTTON] & 0x80) k |= MK_MBUTTON;
  if (s.keyAsync[VK_SHIFT] & 0x80) k |= MK_SHIFT;
  if (s.keyAsync[VK_CONTROL] & 0x80) k |= MK_CONTROL;
  return k;
}

void injectMouse(UINT message, int x, int y, short wheel) {
  WinSys& s = ws();
  tick();
  s.cursorPos = POINT{x, y};
  auto button = [&](int vk, bool down) {
    s.keyAsync[vk] = static_cast<BYTE>(down ? (s.keyAsync[vk] | 0x80) : (s.keyAsync[vk] & ~0x80));
  };
  switch (message) {
    case WM_LBUTTONDOWN: button(VK_LBUTTON, true); break;
    case WM_LBUTTONUP: button(VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN: button(VK_RBUTTON, true); break;
    case WM_RBUTTONUP: button(VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN: button(VK_MBUTTON, true); break;
    case WM_MBUTTONUP: button(VK_MBUTTON, false); break;
    default: break;
  }
  QueueEntry e;
  e.kind = QueueEntry::RawMouse;
  e.rawMessage = message;
  e.msg.pt = POINT{x, y};
  e.msg.time = backendNow();
  e.keys = mouseKeys();
  e.wheel = wheel;
  e.seq = s.nextSeq++;
  // Moves waiting in the queue merge into the latest one.
  if (message == WM_MOUSEMOVE && !s.queue.empty()) {
    QueueEntry& last = s.queue.back();
    if (last.kind == QueueEntry::RawMouse && last.rawMessage == WM_MOUSEMOVE && !last.cooking && last.keys == e.keys) {
      last = e;
      return;
    }
  }
  s.queue.push_back(e);
}

static UINT buttonDownMsg(test::Button b) {
  return b == test::Button::Left ? WM_LBUTTONDOWN : b == test::Button::Right ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
}

BOOL SetCursorPos(int x, int y) {
  if (ws().backend.movePointer) return ws().backend.movePointer(x, y) ? TRUE : FALSE;
  injectMouse(WM_MOUSEMOVE, x, y, 0);
  return TRUE;
}

namespace test {

void mouseMove(int x, int y) { injectMouse(WM_MOUSEMOVE, x, y, 0); }

void mouseDown(Button b, int x, int y) { injectMouse(buttonDownMsg(b), x, y, 0); }
void mouseUp(Button b, int x, int y) { injectMouse(buttonDownMsg(b) + 1, x, y, 0); }

void click(int x, int y, Button b) {
  mouseMove(x, y);
  mouseDown(b, x, y);
  mouseUp(b, x, y);
}

void wheel(int x, int y, int delta) { injectMouse(WM_MOUSEWHEEL, x, y, static_cast<short>(delta)); }

}  // namespace test

void injectKey(int vk, bool down, bool extended, int scan) {
  WinSys& s = ws();
  tick();
  BYTE& k = s.keyAsync[vk & 0xFF];
  const bool wasDown = (k & 0x80) != 0;
  if (down && !wasDown) k ^= 1;
  k = static_cast<BYTE>(down ? (k | 0x80) : (k & ~0x80));
  QueueEntry e;
  e.kind = QueueEntry::RawKey;
  e.rawMessage = down ? WM_KEYDOWN : WM_KEYUP;
  e.vk = vk;
  e.extended = extended;
  e.altDown = (s.keyAsync[VK_MENU] & 0x80) != 0 && vk != VK_MENU ? true : (vk == VK_MENU && down);
  e.wasDown = wasDown;
  e.msg.time = backendNow();
  e.msg.pt = s.cursorPos;
  e.scan = scan;
  e.seq = s.nextSeq++;
  s.queue.push_back(e);
}

namespace test {

void keyDown(int vk, bool extended) { injectKey(vk, true, extended, 0); }
void keyUp(int vk, bool extended) { injectKey(vk, false, extended, 0); }

void pressKey(int vk, unsigned modifiers) {
  if (modifiers & kCtrl) keyDown(VK_CONTROL);
  if (modifiers & kShift) keyDown(VK_SHIFT);
  if (modifiers & kAlt) keyDown(VK_MENU);
  keyDown(vk);
  keyUp(vk);
  if (modifiers & kAlt) keyUp(VK_MENU);
  if (modifiers & kShift) keyUp(VK_SHIFT);
  if (modifiers & kCtrl) keyUp(VK_CONTROL);
}

void typeText(std::string_view text) {
  static const std::string_view shifted = ")!@#$%^&*(";
  struct Punct { char plain, shift; int vk; };
  static const Punct punct[] = {{';', ':', VK_OEM_1}, {'=', '+', VK_OEM_PLUS}, {',', '<', VK_OEM_COMMA},
                                {'-', '_', VK_OEM_MINUS}, {'.', '>', VK_OEM_PERIOD}, {'/', '?', VK_OEM_2},
                                {'`', '~', VK_OEM_3}, {'[', '{', VK_OEM_4}, {'\\', '|', VK_OEM_5},
                                {']', '}', VK_OEM_6}, {'\'', '"', VK_OEM_7}};
  for (char c : text) {
    if (c >= 'a' && c <= 'z') pressKey(std::toupper(static_cast<unsigned char>(c)));
    else if (c >= 'A' && c <= 'Z') pressKey(c, kShift);
    else if (c >= '0' && c <= '9') pressKey(c);
    else if (c == ' ') pressKey(VK_SPACE);
    else if (c == '\n' || c == '\r') pressKey(VK_RETURN);
    else if (c == '\t') pressKey(VK_TAB);
    else if (auto i = shifted.find(c); i != std::string_view::npos) pressKey('0' + static_cast<int>(i), kShift);
    else
      for (const Punct& p : punct)
        if (p.plain == c || p.shift == c) {
          pressKey(p.vk, p.shift == c ? kShift : 0);
          break;
        }
  }
}

void switchAway() { deactivateApp(); }

//------------------------------------------------------------------------------
// [SECTION] Test API
//------------------------------------------------------------------------------
void reset() {
  WinSys& s = ws();
  for (int round = 0; round < 4; ++round) {
    std::vector<HWND> tops = desktopWnd()->children;
    if (tops.empty()) break;
    for (HWND t : tops) DestroyWindow(t);
  }
  s.queue.clear();
  s.timers.clear();
  s.quit = false;
  s.quitCode = 0;
  s.focus = s.active = s.capture = nullptr;
  s.appActive = false;
  s.losingFocus.clear();
  std::fill(std::begin(s.keySync), std::end(s.keySync), BYTE{0});
  std::fill(std::begin(s.keyAsync), std::end(s.keyAsync), BYTE{0});
  s.cursorPos = POINT{kScreenWidth / 2, kScreenHeight / 2};
  s.cursor = nullptr;
  s.messageTime = 0;
  s.messagePos = POINT{};
  s.clock = kStartClock;
  s.lastClickWnd = nullptr;
  s.beeps = 0;
  s.idleHook = nullptr;
  s.pendingFailures.clear();
  for (auto& c : s.classes) c->unregistered = true;
  s.classes.clear();
}

void advanceTime(DWORD milliseconds) { ws().clock += milliseconds; }
DWORD now() { return ws().clock; }

int runUntilIdle(int limit) {
  int n = 0;
  MSG m;
  while (n < limit && PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    TranslateMessage(m);
    DispatchMessage(m);
    ++n;
  }
  return n;
}

void setIdleHook(std::function<void()> hook) { ws().idleHook = std::move(hook); }

std::vector<TopLevel> topLevelWindows() {
  std::vector<TopLevel> out;
  for (HWND t : desktopWnd()->children) {
    Window* w = wnd(t);
    if (!w) continue;
    TopLevel tl;
    tl.hwnd = t;
    tl.title = w->text;
    tl.rect = w->rect;
    tl.visible = (w->style & WS_VISIBLE) != 0;
    out.push_back(tl);
  }
  return out;
}

std::vector<COLORREF> pixels(HWND hwnd, bool client, int& width, int& height) {
  std::vector<COLORREF> out;
  width = height = 0;
  WindowSurface s;
  if (!GetWindowSurface(hwnd, !client, s) || !s.surface) return out;
  cairo_surface_flush(s.surface);
  const unsigned char* data = cairo_image_surface_get_data(s.surface);
  const int stride = cairo_image_surface_get_stride(s.surface);
  const int sw = cairo_image_surface_get_width(s.surface), sh = cairo_image_surface_get_height(s.surface);
  width = s.size.cx;
  height = s.size.cy;
  out.assign(static_cast<std::size_t>(std::max(0, width)) * static_cast<std::size_t>(std::max(0, height)), 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int sx = s.origin.x + x, sy = s.origin.y + y;
      if (sx < 0 || sy < 0 || sx >= sw || sy >= sh) continue;
      const auto* px = reinterpret_cast<const std::uint32_t*>(data + sy * stride) + sx;
      const std::uint32_t v = *px;
      out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
          RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
  return out;
}

COLORREF pixel(HWND hwnd, int x, int y, bool client) {
  int w = 0, h = 0;
  std::vector<COLORREF> p = pixels(hwnd, client, w, h);
  if (x < 0 || y < 0 || x >= w || y >= h) return 0xFFFFFFFF;
  return p[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)];
}

bool savePng(HWND hwnd, const std::string& path, bool client) {
  WindowSurface s;
  if (!GetWindowSurface(hwnd, !client, s) || !s.surface || s.size.cx <= 0 || s.size.cy <= 0) return false;
  cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, s.size.cx, s.size.cy);
  cairo_t* cr = cairo_create(out);
  cairo_set_source_surface(cr, s.surface, -s.origin.x, -s.origin.y);
  cairo_paint(cr);
  cairo_destroy(cr);
  const bool ok = cairo_surface_write_to_png(out, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(out);
  return ok;
}

void failNextWindowCall(std::string_view service) { ws().pendingFailures.insert(std::string(service)); }

int beepCount() { return ws().beeps; }
HCURSOR cursor() { return ws().cursor; }

}  // namespace test
}  // namespace win
