// Smoke test of the GTK backend on a private X server (Xvfb, on a display number it picks
// itself): a window with a caption and a drawn rectangle appears on the display and in a
// screenshot (ImageMagick's import), input injected with xdotool reaches the window
// procedure, and drags on the caption and border move and size the window through the desktop.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/gtk_backend.h"
#include "platform/message_box.h"
#include "platform/win.h"
#include "tests/support/xserver.h"

using namespace win;
using tw::test::pumpUntil;
using tw::test::runCommand;

namespace {

bool xdotool(const std::string& args) {
  int status = 0;
  runCommand("xdotool " + args + " 2>&1", status);
  return status == 0;
}

struct Seen {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Seen> seen;
int paints = 0;
int boxOnNextSize = 0;   // a message box style to show from the next WM_SIZE, 0 for none
int boxAnswer = 0;
void answerBoxOnDesktop(HWND, UINT, UINT_PTR, DWORD);
void startBoxAnswer(const char* key);

constexpr RECT kRectangle{40, 30, 200, 130};   // client coordinates, red
constexpr COLORREF kRed = RGB(255, 0, 0);

LRESULT smokeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, ps);
      HBRUSH red = CreateSolidBrush(kRed);
      FillRect(dc, kRectangle, red);
      DeleteObject(red);
      EndPaint(hwnd, ps);
      ++paints;
      return 0;
    }
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_KEYDOWN: case WM_CHAR: case WM_NCLBUTTONDOWN: case WM_MOVE:
    case WM_SIZE: case WM_MOUSEWHEEL: case WM_SYSKEYDOWN: case WM_SYSCHAR: case WM_ACTIVATEAPP: case WM_MOUSEMOVE:
      seen.push_back({msg, wParam, lParam});
      if (msg == WM_SIZE && boxOnNextSize) {
        const unsigned style = static_cast<unsigned>(boxOnNextSize);
        boxOnNextSize = 0;
        startBoxAnswer("Escape");
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, answerBoxOnDesktop);
        boxAnswer = MessageBox(hwnd, "The window has a new size.", "TarnWalker", style);
        KillTimer(nullptr, timer);
      }
      break;
    default:
      break;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

bool sawMessage(UINT msg) {
  for (const Seen& s : seen)
    if (s.msg == msg) return true;
  return false;
}

// The whole X screen, through ImageMagick's import (xwd -root showed a window mapped over
// another as black on this server); kept as keep (when given) for a look.
struct Screenshot {
  cairo_surface_t* image = nullptr;
  ~Screenshot() {
    if (image) cairo_surface_destroy(image);
  }
  bool take(const std::string& keep = "") {
    const std::string png = "/tmp/gtk-smoke-" + std::to_string(getpid()) + ".png";
    int status = 0;
    runCommand("import -display " + tw::test::xDisplay() + " -window root png:" + png + " 2>&1", status);
    if (status != 0) return false;
    image = tw::test::loadPng(png);
    if (!keep.empty()) runCommand("cp " + png + " " + keep, status);
    std::remove(png.c_str());
    return image != nullptr;
  }
  COLORREF at(int x, int y) const { return tw::test::pixelAt(image, x, y); }
};

class GtkSmoke : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    started = tw::test::startXvfb() && UseGtkBackend();
  }
  static void TearDownTestSuite() { tw::test::stopXvfb(); }

  void SetUp() override {
    ASSERT_TRUE(started) << "Xvfb did not start or GTK did not initialise on it";
    WNDCLASS wc;
    wc.lpfnWndProc = smokeProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "TwGtkSmoke";
    RegisterClass(wc);
    seen.clear();
    paints = 0;
    // "Débit – TarnWalker" in Windows-1252: the title crosses to the desktop as UTF-8.
    hwnd = CreateWindowEx(0, "TwGtkSmoke", "D\xE9\x62it \x96 TarnWalker", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                          100, 80, 400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    // Painted by us, then shown by the desktop from the backing store.
    ASSERT_TRUE(pumpUntil([&] { return paints > 0 && gtktest::upToDate(hwnd); }));
    gtktest::sync();
  }

  void TearDown() override {
    if (hwnd) DestroyWindow(hwnd);
    pumpUntil([] { return true; });
    UnregisterClass("TwGtkSmoke", nullptr);
  }

  POINT clientToScreen(int x, int y) const {
    POINT p{x, y};
    ClientToScreen(hwnd, p);
    return p;
  }

  static std::string at(POINT p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

  static inline bool started = false;
  HWND hwnd = nullptr;
};

}  // namespace

TEST_F(GtkSmoke, WindowWithCaptionAndRectangleShowsInScreenshot) {
  Screenshot shot;
  ASSERT_TRUE(shot.take("/tmp/gtk-smoke.png"));
  int status = 0;

  // The screen is the server's.
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  RECT wr;
  GetWindowRect(hwnd, wr);
  EXPECT_EQ(wr.left, 100);
  EXPECT_EQ(wr.top, 80);
  struct Probe { const char* why; POINT screen; COLORREF want; };
  const Probe probes[] = {
      {"inside the rectangle", clientToScreen(100, 80), kRed},
      {"its top-left pixel", clientToScreen(kRectangle.left, kRectangle.top), kRed},
      {"its bottom-right pixel", clientToScreen(kRectangle.right - 1, kRectangle.bottom - 1), kRed},
      {"right of it, the right edge being exclusive", clientToScreen(kRectangle.right, 80), RGB(255, 255, 255)},
      {"the client background", clientToScreen(20, 200), RGB(255, 255, 255)},
      {"the caption of the active window", POINT{wr.left + 200, wr.top + 8}, GetSysColor(COLOR_ACTIVECAPTION)},
      {"the desktop beside the window", POINT{wr.right + 20, wr.top + 20}, RGB(0, 0, 0)},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.why);
    EXPECT_EQ(shot.at(p.screen.x, p.screen.y), p.want);
  }
  // The desktop knows the window by its caption, converted to UTF-8.
  const std::string name =
      runCommand("xdotool getwindowname " + std::to_string(gtktest::nativeWindow(hwnd)) + " 2>&1", status);
  EXPECT_EQ(name, "D\xC3\xA9\x62it \xE2\x80\x93 TarnWalker\n");
}

// A window going away uncovers ours: the desktop repaints it from its backing store, without asking
// the window procedure.
TEST_F(GtkSmoke, UncoveredWindowRepaintsFromBackingStore) {
  WNDCLASS wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
  wc.lpszClassName = "TwGtkCover";
  RegisterClass(wc);
  const POINT inside = clientToScreen(100, 80);
  HWND cover = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "TwGtkCover", "", WS_POPUP | WS_VISIBLE | WS_BORDER,
                              inside.x - 50, inside.y - 50, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(cover, nullptr);
  ASSERT_TRUE(pumpUntil([&] { return gtktest::upToDate(cover); }));
  gtktest::sync();
  {
    Screenshot covered;
    ASSERT_TRUE(covered.take());
    EXPECT_EQ(covered.at(inside.x, inside.y), RGB(255, 255, 255)) << "the cover shows its own white client";
  }
  const int paintsBefore = paints;
  const int drawsBefore = gtktest::drawCount(hwnd);
  DestroyWindow(cover);
  ASSERT_TRUE(pumpUntil([&] { return gtktest::drawCount(hwnd) > drawsBefore && gtktest::upToDate(hwnd); }));
  gtktest::sync();
  Screenshot uncovered;
  ASSERT_TRUE(uncovered.take());
  EXPECT_EQ(uncovered.at(inside.x, inside.y), kRed);
  EXPECT_EQ(paints, paintsBefore);
  UnregisterClass("TwGtkCover", nullptr);
}

TEST_F(GtkSmoke, ClickReachesWindowProcedureAsButtonDown) {
  ASSERT_TRUE(xdotool("mousemove " + at(clientToScreen(60, 50)) + " click 1"));
  ASSERT_TRUE(pumpUntil([] { return sawMessage(WM_LBUTTONUP); }));
  const Seen* down = nullptr;
  for (const Seen& s : seen)
    if (s.msg == WM_LBUTTONDOWN) down = &s;
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(GET_X_LPARAM(down->lParam), 60);
  EXPECT_EQ(GET_Y_LPARAM(down->lParam), 50);
  EXPECT_TRUE(down->wParam & MK_LBUTTON);
}

TEST_F(GtkSmoke, WheelReachesFocusWindow) {
  ASSERT_TRUE(xdotool("mousemove " + at(clientToScreen(60, 50)) + " click 4 click 5 click 5"));
  std::vector<int> deltas;
  ASSERT_TRUE(pumpUntil([&] {
    deltas.clear();
    for (const Seen& s : seen)
      if (s.msg == WM_MOUSEWHEEL) deltas.push_back(GET_WHEEL_DELTA_WPARAM(s.wParam));
    return deltas.size() >= 3;
  }));
  EXPECT_EQ(deltas, (std::vector<int>{WHEEL_DELTA, -WHEEL_DELTA, -WHEEL_DELTA}));
}

TEST_F(GtkSmoke, TypedKeysArriveAsKeyDownsAndCharacters) {
  // The active window has the keyboard; the pointer rests on it as well.
  ASSERT_TRUE(xdotool("mousemove " + at(clientToScreen(60, 50))));
  ASSERT_TRUE(xdotool("type --delay 30 'aB1;'"));
  ASSERT_TRUE(xdotool("key Return"));
  ASSERT_TRUE(pumpUntil([] {
    int chars = 0;
    for (const Seen& s : seen) chars += s.msg == WM_CHAR;
    return chars >= 5;
  }));
  std::string chars;
  std::vector<int> keys;
  for (const Seen& s : seen) {
    if (s.msg == WM_CHAR) chars += static_cast<char>(s.wParam);
    if (s.msg == WM_KEYDOWN) keys.push_back(static_cast<int>(s.wParam));
  }
  EXPECT_EQ(chars, "aB1;\r");
  // B is typed with Shift: both keys go down, and the letter key is 'B' whatever the case.
  const std::vector<int> want = {'A', VK_SHIFT, 'B', '1', VK_OEM_1, VK_RETURN};
  EXPECT_EQ(keys, want);
}

// A key message carries where the pointer is, also when it has left the window meanwhile.
TEST_F(GtkSmoke, KeyMessagesCarryPointerPosition) {
  ASSERT_TRUE(xdotool("mousemove " + at(clientToScreen(60, 50)) + " mousemove 900 700 key x"));
  ASSERT_TRUE(pumpUntil([] { return sawMessage(WM_CHAR); }));
  EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(900, 700)));
}

// The program's pointer calls act on the desktop's pointer: a move shows in xdotool's
// reading and arrives as a mouse move; a move made by the user is read back.
TEST_F(GtkSmoke, CursorPositionIsTheDesktopPointer) {
  const POINT target = clientToScreen(120, 90);
  ASSERT_TRUE(SetCursorPos(target.x, target.y));
  gtktest::sync();
  int status = 0;
  EXPECT_EQ(runCommand("xdotool getmouselocation --shell 2>&1 | head -2", status),
            "X=" + std::to_string(target.x) + "\nY=" + std::to_string(target.y) + "\n");
  EXPECT_TRUE(pumpUntil([] {
    for (const Seen& s : seen)
      if (s.msg == WM_MOUSEMOVE && GET_X_LPARAM(s.lParam) == 120 && GET_Y_LPARAM(s.lParam) == 90) return true;
    return false;
  }));
  ASSERT_TRUE(xdotool("mousemove 10 20"));
  POINT p;
  ASSERT_TRUE(GetCursorPos(p));
  EXPECT_EQ(p, (POINT{10, 20}));
}

// Characters the US table does not know come as the desktop's layout gives them (here the
// French one: e-acute on its own key, the euro sign with AltGr), in Windows-1252.
TEST_F(GtkSmoke, LayoutCharactersArriveInWindows1252) {
  int status = 0;
  runCommand("setxkbmap -display " + tw::test::xDisplay() + " fr 2>&1", status);
  ASSERT_EQ(status, 0) << "setxkbmap failed";
  ASSERT_TRUE(xdotool("mousemove " + at(clientToScreen(60, 50))));
  ASSERT_TRUE(xdotool("type --delay 50 '\xC3\xA9\xE2\x82\xAC\xC3\xA0x'"));
  const bool arrived = pumpUntil([] {
    for (const Seen& s : seen)
      if (s.msg == WM_CHAR && s.wParam == 'x') return true;
    return false;
  });
  runCommand("setxkbmap -display " + tw::test::xDisplay() + " us 2>&1", status);
  ASSERT_TRUE(arrived);
  std::string chars;
  for (const Seen& s : seen)
    if (s.msg == WM_CHAR) chars += static_cast<char>(s.wParam);
  EXPECT_EQ(chars, "\xE9\x80\xE0x");
}

// Alt pressed here and let go while the keyboard was elsewhere must not stay down when the
// keyboard comes back, or every key would be taken for a menu key.
TEST_F(GtkSmoke, ModifierLetGoElsewhereIsUpWhenKeyboardReturns) {
  const std::string self = std::to_string(gtktest::nativeWindow(hwnd));
  ASSERT_TRUE(xdotool("mousemove " + at(clientToScreen(60, 50)) + " keydown alt"));
  ASSERT_TRUE(pumpUntil([] { return sawMessage(WM_SYSKEYDOWN); }));
  int status = 0;
  // The root window, the only one at depth 0.
  const std::string root = runCommand("xdotool search --maxdepth 0 --name '' 2>/dev/null | head -1", status);
  // The keyboard goes to the bare desktop, where Alt is let go.
  ASSERT_TRUE(xdotool("mousemove 1000 740 windowfocus --sync " + root.substr(0, root.find('\n')) + " keyup alt"));
  ASSERT_TRUE(pumpUntil([] {
    for (const Seen& s : seen)
      if (s.msg == WM_ACTIVATEAPP && !s.wParam) return true;
    return false;
  }));
  seen.clear();
  ASSERT_TRUE(xdotool("mousemove " + at(clientToScreen(60, 50)) + " windowfocus --sync " + self + " type a"));
  ASSERT_TRUE(pumpUntil([] { return sawMessage(WM_CHAR) || sawMessage(WM_SYSCHAR); }));
  EXPECT_TRUE(sawMessage(WM_CHAR));
  EXPECT_FALSE(sawMessage(WM_SYSKEYDOWN));
  EXPECT_FALSE(GetKeyState(VK_MENU) < 0);
}

TEST_F(GtkSmoke, CaptionDragMovesWindowThroughDesktop) {
  RECT before;
  GetWindowRect(hwnd, before);
  const POINT grip{before.left + 150, before.top + 8};
  ASSERT_TRUE(xdotool("mousemove " + at(grip) + " mousedown 1"));
  ASSERT_TRUE(pumpUntil([] { return sawMessage(WM_NCLBUTTONDOWN); }));
  seen.clear();
  ASSERT_TRUE(xdotool("mousemove " + at(POINT{grip.x + 60, grip.y + 40}) + " sleep 0.1 mouseup 1"));
  RECT after{};
  ASSERT_TRUE(pumpUntil([&] {
    GetWindowRect(hwnd, after);
    return after.left != before.left && sawMessage(WM_MOVE);
  }));
  EXPECT_EQ(after.left, before.left + 60);
  EXPECT_EQ(after.top, before.top + 40);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_FALSE(GetAsyncKeyState(VK_LBUTTON) < 0) << "the button the desktop took must not stay down";
}

TEST_F(GtkSmoke, BorderDragSizesWindowThroughDesktop) {
  RECT before;
  GetWindowRect(hwnd, before);
  const POINT corner{before.right - 2, before.bottom - 2};   // inside the sizing border
  ASSERT_TRUE(xdotool("mousemove " + at(corner) + " mousedown 1"));
  ASSERT_TRUE(pumpUntil([] { return sawMessage(WM_NCLBUTTONDOWN); }));
  seen.clear();
  ASSERT_TRUE(xdotool("mousemove " + at(POINT{corner.x + 50, corner.y + 30}) + " sleep 0.1 mouseup 1"));
  RECT after{};
  ASSERT_TRUE(pumpUntil([&] {
    GetWindowRect(hwnd, after);
    return after.right != before.right && sawMessage(WM_SIZE);
  }));
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.right, before.right + 50);
  EXPECT_EQ(after.bottom, before.bottom + 30);
  // The new size is painted and shown from the grown backing store.
  RECT client;
  GetClientRect(hwnd, client);
  const Seen* size = nullptr;
  for (const Seen& s : seen)
    if (s.msg == WM_SIZE) size = &s;
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(LOWORD(size->lParam), client.right);
  EXPECT_EQ(HIWORD(size->lParam), client.bottom);
}

namespace {

// The user's side of a message box: once the box shows on the desktop, a key pressed there.
// A box no key ever answers ends after ten seconds with an answer no button gives.
std::string boxKey;
bool boxKeyPressed = false;
std::chrono::steady_clock::time_point boxLimit;
constexpr int kUnanswered = 999;

void startBoxAnswer(const char* key) {
  boxKey = key;
  boxKeyPressed = false;
  boxLimit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
}

void answerBoxOnDesktop(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = test::openMessageBox();
  if (!box) return;
  if (std::chrono::steady_clock::now() > boxLimit) {
    EndDialog(box, kUnanswered);
    return;
  }
  if (boxKeyPressed || !gtktest::upToDate(box)) return;
  boxKeyPressed = true;
  gtktest::sync();
  Screenshot shot;
  shot.take("/tmp/gtk-smoke-box.png");
  RECT r;
  GetWindowRect(box, r);
  xdotool("mousemove " + std::to_string((r.left + r.right) / 2) + " " + std::to_string(r.top + 10) + " key " + boxKey);
}

}  // namespace

TEST_F(GtkSmoke, MessageBoxAnsweredWithKeyPressReturnsAnswer) {
  struct Case { const char* why; unsigned style; const char* key; int want; };
  const Case cases[] = {
      {"Enter takes the default button, here the second", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, "Return", IDNO},
      {"Escape gives Cancel", MB_OKCANCEL | MB_ICONEXCLAMATION, "Escape", IDCANCEL},
      {"Escape gives OK in an OK-only box", MB_OK | MB_ICONASTERISK, "Escape", IDOK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    startBoxAnswer(c.key);
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, answerBoxOnDesktop);
    const int answer = MessageBox(hwnd, "Do you want to save your work so far?", "TarnWalker", c.style);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(boxKeyPressed);
    EXPECT_EQ(answer, c.want);
    EXPECT_TRUE(IsWindowEnabled(hwnd)) << "the owner is enabled again";
  }
}

// A window procedure may run a modal loop while the window system carries out a change the
// desktop made: the box it shows must still come up on the desktop and take its answer.
TEST_F(GtkSmoke, MessageBoxFromDesktopResizeTakesItsAnswer) {
  RECT before;
  GetWindowRect(hwnd, before);
  const POINT corner{before.right - 2, before.bottom - 2};
  ASSERT_TRUE(xdotool("mousemove " + at(corner) + " mousedown 1"));
  ASSERT_TRUE(pumpUntil([] { return sawMessage(WM_NCLBUTTONDOWN); }));
  boxOnNextSize = static_cast<int>(MB_OKCANCEL);
  boxAnswer = 0;
  ASSERT_TRUE(xdotool("mousemove " + at(POINT{corner.x + 40, corner.y + 20}) + " sleep 0.1 mouseup 1"));
  ASSERT_TRUE(pumpUntil([] { return boxAnswer != 0; }));
  EXPECT_TRUE(boxKeyPressed);
  EXPECT_EQ(boxAnswer, IDCANCEL);
}
