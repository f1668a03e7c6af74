#pragma once
// Internal to platform/: the records of the window system and the helpers its files share.
//
// Invariants: (1) a window record lives in `ws().windows` from CreateWindowEx until the end
// of its WM_NCDESTROY; code that sends a message re-reads its records by handle afterwards
// (a window procedure may destroy anything), or holds a WindowPtr and tests `destroyed`;
// (2) `children` is in z-order, top first; child windows are appended (creation order),
// top-level windows are the desktop's children and enter at the top of their band;
// (3) a window's `rect` is in its parent's client coordinates (screen for top-level windows),
// `client` in its own window coordinates; (4) update regions are in client coordinates.
#include <cairo.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/codepage.h"
#include "platform/rectset.h"
#include "platform/surface.h"
#include "platform/win.h"

namespace win {

struct WndClass {
  ATOM atom = 0;
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int clsExtra = 0;
  int wndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSm = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  LPCSTR menuName = nullptr;       // a number, or points into menuNameText
  std::string menuNameText;
  std::vector<BYTE> extra;
  bool unregistered = false;       // kept alive by its windows after UnregisterClass
};
using WndClassPtr = std::shared_ptr<WndClass>;

struct ScrollBar {
  int min = 0, max = 100;
  UINT page = 0;
  int pos = 0, trackPos = 0;
  bool enabled = true;
  bool tracking = false;
};

struct Window {
  HWND handle = nullptr;
  WndClassPtr cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;            // the desktop for top-level windows
  HWND owner = nullptr;
  std::vector<HWND> children;       // z-order, top first
  RECT rect;                        // in the parent's client coordinates
  RECT client;                      // in window coordinates
  std::string text;
  std::vector<BYTE> extra;
  LONG_PTR userData = 0;
  LONG_PTR id = 0;                  // child windows; top-level windows keep their menu
  HINSTANCE instance = nullptr;
  HMENU menu = nullptr;
  HICON iconBig = nullptr, iconSmall = nullptr;
  RectSet update;                   // client coordinates
  bool erase = false;               // the update region wants its background erased
  bool ncDirty = false;             // the frame wants drawing
  bool internalPaint = false;
  RectSet painting;                 // the region being painted between BeginPaint and EndPaint
  bool ncActive = false;            // caption drawn active
  RECT normalRect;                  // placement when restored (parent coordinates)
  POINT minPos{-1, -1};
  bool restoreToMax = false;
  ScrollBar hbar, vbar;
  bool destroyed = false;
  bool destroying = false;
  cairo_surface_t* surface = nullptr;   // top-level windows only
  bool storeTouched = false;            // the store was handed out for drawing since the display last showed it
};
using WindowPtr = std::shared_ptr<Window>;

// A message waiting in the queue. Raw input is turned into a window message when the queue
// reaches it (so that hit testing, activation and the cursor see the windows as they are
// then, as the user sees them).
struct QueueEntry {
  MSG msg;
  enum Kind { Posted, RawMouse, RawKey } kind = Posted;
  // Raw input.
  UINT rawMessage = 0;    // WM_MOUSEMOVE, WM_LBUTTONDOWN ... or WM_KEYDOWN, WM_KEYUP
  int vk = 0;
  bool extended = false;
  bool altDown = false;
  bool wasDown = false;
  WPARAM keys = 0;        // mouse-key flags at the time of the input
  short wheel = 0;
  unsigned seq = 0;        // identifies the entry while its input is being routed
  bool cooking = false;
  int scan = 0;            // the keyboard's own key code (bits 16-23 of the key messages)
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT interval = 0;
  DWORD due = 0;
  TIMERPROC proc = nullptr;
};

// Backend. The headless backend is the default; a display backend installs its services
// with SetBackend at start-up, before any window exists. A service left empty is the
// headless one.
struct Backend {
  DWORD (*now)() = nullptr;                    // milliseconds
  bool (*wait)() = nullptr;                    // blocks until input, a due timer or an event
  void (*poll)() = nullptr;                    // takes in what has arrived, without blocking
  bool (*screenSize)(int& width, int& height) = nullptr;
  void (*cursorChanged)(HCURSOR cursor) = nullptr;
  // true: the move or size is handed to the window manager and no loop of ours runs.
  bool (*beginMoveSize)(HWND hwnd, WPARAM command, POINT start) = nullptr;
  // The character of a key-down for TranslateMessage; -1 leaves it to the standard table.
  int (*keyChar)(const MSG& keyDown) = nullptr;
  // The pointer on the desktop: where it is, and moving it there (its moves come back as input).
  bool (*pointerPos)(POINT& pt) = nullptr;
  bool (*movePointer)(int x, int y) = nullptr;
};

struct WinSys {
  std::unordered_map<std::uintptr_t, WindowPtr> windows;
  std::uintptr_t nextHandle = 0x20000;
  HWND desktop = nullptr;
  std::vector<WndClassPtr> classes;
  std::map<std::string, ATOM> atoms;   // upper-cased names of classes and registered messages
  std::map<ATOM, std::string> atomNames;
  ATOM nextAtom = 0xC000;

  std::deque<QueueEntry> queue;
  unsigned nextSeq = 1;
  bool quit = false;
  int quitCode = 0;
  std::vector<Timer> timers;
  UINT_PTR nextThreadTimer = 0x7FFF0000;

  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  bool appActive = false;
  unsigned focusSeq = 0;
  unsigned activeSeq = 0;
  std::set<HWND> losingFocus;

  BYTE keySync[256] = {};    // bit 0x80 down, bit 1 toggled
  BYTE keyAsync[256] = {};
  POINT cursorPos{640, 512};
  HCURSOR cursor = nullptr;

  DWORD messageTime = 0;
  POINT messagePos;
  DWORD clock = 1000;        // milliseconds since start-up (headless: virtual)

  // Double clicks.
  HWND lastClickWnd = nullptr;
  UINT lastClickMsg = 0;
  DWORD lastClickTime = 0;
  POINT lastClickPos;
  bool lastClickNc = false;

  int beeps = 0;
  int sendDepth = 0;
  DcProvider dc;
  MenuBarPainter menuBarPainter = nullptr;
  MenuCommandHandler menuCommand = nullptr;
  void (*menuDestroy)(HMENU menu) = nullptr;   // a destroyed window's menu goes with it
  WPARAM menuKey = 0;             // Alt or F10 went down with no other key since
  std::function<void()> idleHook;
  Backend backend;
  std::set<std::string> pendingFailures;   // window services a test made fail next
};

// True once when a test asked the service to fail now.
bool failNow(const char* service);

WinSys& ws();

// Records.
Window* wnd(HWND h);                  // nullptr when no such window (or the desktop)
WindowPtr wndPtr(HWND h);
Window* desktopWnd();
bool isTopLevel(const Window* w);
HWND topLevelOf(HWND h);              // the top-level window containing h (h itself if it is one)
bool isAncestor(HWND ancestor, HWND h);
bool visibleChain(HWND h);
bool enabledChain(HWND h);

// Geometry.
POINT clientOriginScreen(HWND h);     // screen position of the client area's (0, 0)
RECT windowRectScreen(HWND h);
RECT clientRectOf(const Window* w);   // (0, 0, width, height)
void computeNc(DWORD style, DWORD exStyle, bool menu, bool hbar, bool vbar, bool minimized,
               const RECT& window, RECT& client);   // client in window coordinates
int frameThickness(DWORD style, DWORD exStyle);
int captionHeight(DWORD exStyle);
bool hasCaption(DWORD style);
bool hasMenuBar(const Window* w);
BOOL showWindowImpl(HWND hwnd, int cmd, bool show);
bool setWindowPosImpl(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags,
                      int sizeKind = -1);

// Painting.
void invalidate(HWND hwnd, const RectSet& rgn, bool erase, bool children, bool frame);
void invalidateAll(HWND hwnd, bool erase);   // window, frame and descendants
void ensureSurface(Window* w);
void releaseSurface(Window* w);
void paintNonClient(HWND hwnd);
bool findPaintWindow(HWND filter, HWND& out);
void fillBackground(HWND hwnd, HBRUSH brush, const RectSet& rgn);
COLORREF sysColor(int index);
bool brushToColor(HBRUSH brush, COLORREF& c);

// Messages.
LRESULT sendMsg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void setActive(HWND top, WORD how);
void deactivateApp();
void purgeMessagesFor(HWND hwnd);
void killTimersFor(HWND hwnd);
void updateKeySync(const MSG& m);

// Default processing helpers.
LRESULT nonClientHitTest(HWND hwnd, POINT screen);
void runMoveSizeLoop(HWND hwnd, WPARAM command, POINT start);
void runScrollTrack(HWND hwnd, int bar, POINT start);
void runButtonTrack(HWND hwnd, LRESULT hit);
NcLayout ncLayout(const Window* w);

void SetBackend(const Backend& backend);
// User input enters the queue here, from the display or from the test API alike: a mouse
// message (WM_MOUSEMOVE, a button message or WM_MOUSEWHEEL) at a screen position, a key
// going down or up. The pointer position, the key state and the clock follow at once.
void injectMouse(UINT message, int x, int y, short wheel);
void injectKey(int vk, bool down, bool extended, int scan);
DWORD backendNow();
bool backendWait();   // false when nothing can ever arrive

ATOM addAtom(const std::string& name);
ATOM findAtom(const std::string& name);
std::string upper(std::string s);

}  // namespace win
