#pragma once
// The headless backend's test API: drives the window system as a user would, through the
// same path real input takes (the queue, hit testing, capture, focus, activation), and reads
// what the windows show.
//
// Time is virtual in the headless backend: it moves only when a test advances it, by one
// millisecond per injected input event, or to the next timer when a message loop would wait.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win.h"

namespace win::test {

enum class Button { Left, Right, Middle };

// Modifier keys for pressKey.
inline constexpr unsigned kShift = 1;
inline constexpr unsigned kCtrl = 2;
inline constexpr unsigned kAlt = 4;

// Destroys every window, unregisters every class, empties the queue and the timers, and puts
// focus, activation, capture, key state, cursor and clock back to their start. Registered
// message numbers and the drawing layer's hooks stay.
void reset();

// Mouse input at screen positions.
void mouseMove(int x, int y);
void mouseDown(Button b, int x, int y);
void mouseUp(Button b, int x, int y);
void click(int x, int y, Button b = Button::Left);      // move, down, up
void wheel(int x, int y, int delta);                     // delta in WHEEL_DELTA steps of 120

// Keyboard input. extended marks the grey navigation keys apart from the keypad's.
void keyDown(int vk, bool extended = false);
void keyUp(int vk, bool extended = false);
void pressKey(int vk, unsigned modifiers = 0);           // modifiers down, key down and up, modifiers up
void typeText(std::string_view text);                    // US layout; '\n' is Enter

// The user switches to another program and back.
void switchAway();

// Clock.
void advanceTime(DWORD milliseconds);
DWORD now();

// Takes, translates and dispatches messages until nothing is left to do (queued messages,
// windows to paint, timers that are due). Returns the number of messages dispatched.
int runUntilIdle(int limit = 100000);

// Called when a message loop would otherwise wait for ever: the test injects its next input
// there. Empty function: none.
void setIdleHook(std::function<void()> hook);

struct TopLevel {
  HWND hwnd = nullptr;
  std::string title;
  RECT rect;          // screen coordinates
  bool visible = false;
};
std::vector<TopLevel> topLevelWindows();   // z-order, top first

// Pixels of a window's client area (client true) or whole window, as COLORREF values.
COLORREF pixel(HWND hwnd, int x, int y, bool client = true);
std::vector<COLORREF> pixels(HWND hwnd, bool client, int& width, int& height);
bool savePng(HWND hwnd, const std::string& path, bool client = false);

// The next call of the named window service fails as the system would let it fail:
// "RegisterClass" (also RegisterClassEx: no atom), "CreateWindowEx" (no window, and no message
// sent), "SetTimer" (0). reset() forgets pending failures.
void failNextWindowCall(std::string_view service);

int beepCount();
HCURSOR cursor();

}  // namespace win::test
