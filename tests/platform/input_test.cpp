// Input as a user gives it: focus and activation, capture, disabled windows, hit testing,
// context menu and wheel bubbling, double clicks, the caption's move loop, sizing and the
// close box.
#include "platform/resource.h"
#include "platform/surface.h"
#include "tests/platform/recorder.h"

using namespace win;
using rec::Fixture;

namespace {

struct Seen {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen> seen(std::vector<UINT> keep) {
  std::vector<Seen> out;
  for (const rec::Entry& e : rec::log())
    if (std::find(keep.begin(), keep.end(), e.msg) != keep.end()) out.push_back({e.hwnd, e.msg, e.wParam});
  return out;
}

WPARAM W(HWND h) { return reinterpret_cast<WPARAM>(h); }

using SetFocusTest = Fixture;

TEST_F(SetFocusTest, KillFocusComesFirstNamingTheNewWindow) {
  HWND p = frame("P", 0, 0, 300, 300);
  HWND a = child(p, 1, 0, 0, 50, 50);
  HWND b = child(p, 2, 60, 0, 50, 50);
  SetFocus(a);
  rec::log().clear();
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(seen({WM_KILLFOCUS, WM_SETFOCUS}), (std::vector<Seen>{{a, WM_KILLFOCUS, W(b)}, {b, WM_SETFOCUS, W(a)}}));
  EXPECT_EQ(GetFocus(), b);
}

TEST_F(SetFocusTest, FocusChangeInsideKillFocusWins) {
  HWND p = frame("P", 0, 0, 300, 300);
  HWND a = child(p, 1, 0, 0, 50, 50);
  HWND b = child(p, 2, 60, 0, 50, 50);
  HWND c = child(p, 3, 120, 0, 50, 50);
  SetFocus(a);
  rec::handler() = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
    if (h == a && m == WM_KILLFOCUS) SetFocus(c);   // a field that refuses to let go to b
    return false;
  };
  rec::log().clear();
  SetFocus(b);
  EXPECT_EQ(GetFocus(), c);
  EXPECT_EQ(seen({WM_KILLFOCUS, WM_SETFOCUS}),
            (std::vector<Seen>{{a, WM_KILLFOCUS, W(b)}, {c, WM_SETFOCUS, W(a)}}));
}

TEST_F(SetFocusTest, DisabledOrHiddenFocusWindowLosesIt) {
  HWND p = frame("P", 0, 0, 300, 300);
  HWND a = child(p, 1, 0, 0, 50, 50);
  SetFocus(a);
  EnableWindow(a, FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(SetFocus(a), nullptr);   // a disabled window takes no focus
  EXPECT_EQ(GetFocus(), nullptr);
  EnableWindow(a, TRUE);
  SetFocus(a);
  ShowWindow(a, SW_HIDE);
  EXPECT_EQ(GetFocus(), p);   // the parent takes it over
}

using ActivationTest = Fixture;

TEST_F(ActivationTest, ClickActivatesAndAppActivationIsAnnounced) {
  HWND a = frame("A", 0, 0, 200, 200);
  HWND b = frame("B", 300, 0, 200, 200);
  test::runUntilIdle();
  EXPECT_EQ(GetActiveWindow(), b);
  rec::log().clear();
  test::click(100, 100);
  test::runUntilIdle();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  std::vector<Seen> got = seen({WM_ACTIVATE});
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].hwnd, b);
  EXPECT_EQ(LOWORD(got[0].wParam), WA_INACTIVE);
  EXPECT_EQ(got[1].hwnd, a);
  EXPECT_EQ(LOWORD(got[1].wParam), WA_CLICKACTIVE);
  EXPECT_EQ(test::topLevelWindows()[0].hwnd, a);

  rec::log().clear();
  test::switchAway();
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  std::vector<Seen> app = seen({WM_ACTIVATEAPP});
  ASSERT_EQ(app.size(), 2u);   // every top-level window hears it
  EXPECT_EQ(app[0].wParam, static_cast<WPARAM>(FALSE));
  rec::log().clear();
  test::click(400, 100);
  test::runUntilIdle();
  EXPECT_EQ(GetActiveWindow(), b);
  app = seen({WM_ACTIVATEAPP});
  ASSERT_EQ(app.size(), 2u);
  EXPECT_EQ(app[0].wParam, static_cast<WPARAM>(TRUE));
}

TEST_F(ActivationTest, EveryPressAsksTheWindowClicked) {
  HWND p = frame("P", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
  HWND c = child(p, 1, 10, 10, 100, 100);
  test::runUntilIdle();
  EXPECT_EQ(GetActiveWindow(), p);
  rec::log().clear();
  test::click(50, 50);
  test::runUntilIdle();
  // Asked first, then passed up by default processing; the click itself follows.
  EXPECT_EQ(rec::messages(nullptr, {WM_MOUSEACTIVATE, WM_LBUTTONDOWN}),
            (std::vector<UINT>{WM_MOUSEACTIVATE, WM_MOUSEACTIVATE, WM_LBUTTONDOWN}));
  rec::handler() = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (h != c || m != WM_MOUSEACTIVATE) return false;
    r = MA_ACTIVATEANDEAT;
    return true;
  };
  rec::log().clear();
  test::advanceTime(1000);
  test::click(50, 50);
  test::runUntilIdle();
  EXPECT_EQ(rec::messages(c, {WM_LBUTTONDOWN, WM_LBUTTONUP}), std::vector<UINT>{WM_LBUTTONUP});
}

using CaptureTest = Fixture;

TEST_F(CaptureTest, CapturedMouseGoesToTheCaptureWindowWithNegativePositions) {
  HWND a = frame("A", 100, 100, 200, 200, WS_POPUP | WS_VISIBLE);
  HWND b = frame("B", 400, 100, 200, 200, WS_POPUP | WS_VISIBLE);
  test::runUntilIdle();
  SetCapture(a);
  rec::log().clear();
  test::mouseMove(450, 150);   // over b
  test::mouseMove(50, 60);     // left of and above a
  test::runUntilIdle();
  std::vector<LPARAM> positions;
  for (const rec::Entry& e : rec::log())
    if (e.msg == WM_MOUSEMOVE) {
      EXPECT_EQ(e.hwnd, a);
      positions.push_back(e.lParam);
    }
  ASSERT_EQ(positions.size(), 1u);   // moves waiting in the queue merge
  EXPECT_EQ(GET_X_LPARAM(positions[0]), -50);
  EXPECT_EQ(GET_Y_LPARAM(positions[0]), -40);
  EXPECT_TRUE(rec::messages(b, {WM_MOUSEMOVE}).empty());
  rec::log().clear();
  ReleaseCapture();
  EXPECT_EQ(seen({WM_CAPTURECHANGED}), (std::vector<Seen>{{a, WM_CAPTURECHANGED, 0}}));
  EXPECT_EQ(GetCapture(), nullptr);
  test::mouseMove(450, 150);
  test::runUntilIdle();
  EXPECT_EQ(rec::messages(b, {WM_MOUSEMOVE}).size(), 1u);
}

using DisabledWindowTest = Fixture;

TEST_F(DisabledWindowTest, GetsNoInputButStillPaints) {
  HWND p = frame("P", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
  HWND c = child(p, 1, 10, 10, 100, 100);
  test::runUntilIdle();
  SetFocus(p);
  EnableWindow(c, FALSE);
  rec::log().clear();
  test::click(50, 50);     // on the disabled child: its parent gets the click
  test::runUntilIdle();
  EXPECT_TRUE(rec::messages(c, {WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
  EXPECT_EQ(rec::messages(p, {WM_LBUTTONDOWN, WM_LBUTTONUP}), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  InvalidateRect(c, nullptr, TRUE);
  test::runUntilIdle();
  EXPECT_EQ(rec::messages(c, {WM_PAINT}).size(), 1u);

  // A disabled top-level window takes nothing; a click beeps.
  EnableWindow(p, FALSE);
  rec::log().clear();
  const int beeps = test::beepCount();
  test::click(200, 200);
  test::typeText("x");
  test::runUntilIdle();
  EXPECT_TRUE(rec::messages(p, {WM_LBUTTONDOWN, WM_KEYDOWN, WM_CHAR}).empty());
  EXPECT_EQ(test::beepCount(), beeps + 1);
}

struct HitTestTest : Fixture {
  // target answers WM_NCHITTEST with code.
  static void answerHitTest(HWND target, LRESULT code) {
    rec::handler() = [target, code](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
      if (h != target || m != WM_NCHITTEST) return false;
      r = code;
      return true;
    };
  }
  // A left-button drag from (x0, y0) to (x1, y1).
  static void drag(int x0, int y0, int x1, int y1) {
    test::mouseDown(test::Button::Left, x0, y0);
    test::mouseMove(x1, y1);
    test::mouseUp(test::Button::Left, x1, y1);
    test::runUntilIdle();
  }
};

TEST_F(HitTestTest, TransparentFallsThroughToTheWindowBeneath) {
  HWND p = frame("P", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
  HWND under = child(p, 1, 10, 10, 100, 100);
  HWND over = child(p, 2, 10, 10, 100, 100);
  SetWindowPos(over, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  test::runUntilIdle();
  answerHitTest(over, HTTRANSPARENT);
  rec::log().clear();
  test::click(50, 50);
  test::runUntilIdle();
  EXPECT_TRUE(rec::messages(over, {WM_LBUTTONDOWN}).empty());
  EXPECT_EQ(rec::messages(under, {WM_LBUTTONDOWN}).size(), 1u);
  EXPECT_EQ(WindowFromPoint(POINT{50, 50}), under);
}

TEST_F(HitTestTest, CaptionAnswerMakesTheClientDragTheWindow) {
  HWND h = frame("Drag", 100, 100, 200, 100, WS_POPUP | WS_VISIBLE);
  answerHitTest(h, HTCAPTION);
  test::runUntilIdle();
  rec::log().clear();
  drag(150, 150, 170, 190);
  RECT r;
  GetWindowRect(h, r);
  EXPECT_EQ(r, (RECT{120, 140, 320, 240}));
  EXPECT_EQ(rec::messages(h, {WM_ENTERSIZEMOVE, WM_MOVING, WM_EXITSIZEMOVE}),
            (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_MOVING, WM_MOVING, WM_EXITSIZEMOVE}));
}

TEST_F(HitTestTest, BorderAnswerGivesNoDrag) {
  HWND h = frame("Fixed", 100, 100, 200, 100, WS_POPUP | WS_VISIBLE);
  answerHitTest(h, HTBORDER);
  test::runUntilIdle();
  drag(150, 150, 170, 190);
  RECT r;
  GetWindowRect(h, r);
  EXPECT_EQ(r, (RECT{100, 100, 300, 200}));
}

TEST_F(HitTestTest, SizingBorderResizesWithinTheLimits) {
  HWND h = frame("Size", 100, 100, 300, 200);
  test::runUntilIdle();
  rec::handler() = [&](HWND hwnd, UINT m, WPARAM, LPARAM l, LRESULT&) {
    if (hwnd == h && m == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = POINT{250, 150};
    return false;
  };
  // Drag the right edge 50 pixels in, then far past the minimum.
  drag(398, 200, 348, 200);
  RECT r;
  GetWindowRect(h, r);
  EXPECT_EQ(r.right - r.left, 250);
  rec::log().clear();
  drag(r.right - 2, 200, r.right + 40, 200);
  GetWindowRect(h, r);
  EXPECT_EQ(r.right - r.left, 292);
  EXPECT_FALSE(rec::messages(h, {WM_SIZE}).empty());
}

using ContextMenuTest = Fixture;

TEST_F(ContextMenuTest, RightButtonUpBubblesToParentsUntilHandled) {
  HWND p = frame("P", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
  HWND mid = child(p, 1, 10, 10, 200, 200);
  HWND leaf = child(mid, 2, 10, 10, 50, 50);
  test::runUntilIdle();
  rec::log().clear();
  test::click(30, 30, test::Button::Right);
  test::runUntilIdle();
  // Every window on the way is asked, each naming the window clicked and the screen point.
  std::vector<Seen> got = seen({WM_CONTEXTMENU});
  EXPECT_EQ(got, (std::vector<Seen>{{leaf, WM_CONTEXTMENU, W(leaf)}, {mid, WM_CONTEXTMENU, W(leaf)},
                                    {p, WM_CONTEXTMENU, W(leaf)}}));
  for (const rec::Entry& e : rec::log()) {
    if (e.msg != WM_CONTEXTMENU) continue;
    EXPECT_EQ(GET_X_LPARAM(e.lParam), 30);
    EXPECT_EQ(GET_Y_LPARAM(e.lParam), 30);
  }
  rec::handler() = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) { return h == mid && m == WM_CONTEXTMENU; };
  rec::log().clear();
  test::click(30, 30, test::Button::Right);
  test::runUntilIdle();
  EXPECT_EQ(seen({WM_CONTEXTMENU}).size(), 2u);   // stops at the window that handles it
}

using MouseWheelTest = Fixture;

TEST_F(MouseWheelTest, GoesToTheFocusWindowAndBubblesToParents) {
  HWND p = frame("P", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
  HWND a = child(p, 1, 10, 10, 50, 50);
  HWND b = child(p, 2, 100, 100, 50, 50);
  test::runUntilIdle();
  SetFocus(a);
  rec::log().clear();
  test::wheel(120, 120, -WHEEL_DELTA);   // over b, but a has the focus
  test::runUntilIdle();
  std::vector<Seen> got = seen({WM_MOUSEWHEEL});
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].hwnd, a);
  EXPECT_EQ(got[1].hwnd, p);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(got[0].wParam), -WHEEL_DELTA);
  EXPECT_TRUE(rec::messages(b, {WM_MOUSEWHEEL}).empty());
  for (const rec::Entry& e : rec::log()) {
    if (e.msg != WM_MOUSEWHEEL) continue;
    EXPECT_EQ(GET_X_LPARAM(e.lParam), 120);   // screen position
  }
}

using DoubleClickTest = Fixture;

struct DblCase {
  const char* why;
  const char* cls;
  DWORD pause;
  int dx;
  UINT second;
};

TEST_F(DoubleClickTest, OnlyForClassesThatAskAndWithinTimeAndDistance) {
  const DblCase cases[] = {
      {"class asks, quick second press", rec::kClassDbl, 0, 0, WM_LBUTTONDBLCLK},
      {"class does not ask", rec::kClass, 0, 0, WM_LBUTTONDOWN},
      {"too slow", rec::kClassDbl, 600, 0, WM_LBUTTONDOWN},
      {"moved too far", rec::kClassDbl, 0, 5, WM_LBUTTONDOWN},
  };
  for (const DblCase& c : cases) {
    SCOPED_TRACE(c.why);
    HWND h = frame("D", 0, 0, 200, 200, WS_POPUP | WS_VISIBLE, c.cls);
    test::runUntilIdle();
    test::advanceTime(1000);
    test::click(50, 50);
    test::advanceTime(c.pause);
    test::click(50 + c.dx, 50);
    rec::log().clear();
    test::runUntilIdle();
    EXPECT_EQ(rec::messages(h, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), (std::vector<UINT>{WM_LBUTTONDOWN, c.second}));
    DestroyWindow(h);
  }
}

using SetCursorTest = Fixture;

TEST_F(SetCursorTest, ParentIsAskedFirstAndClassCursorFollows) {
  HWND p = frame("P", 0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
  HWND c = child(p, 1, 10, 10, 100, 100);
  test::runUntilIdle();
  rec::log().clear();
  test::mouseMove(50, 50);
  test::runUntilIdle();
  EXPECT_EQ(seen({WM_SETCURSOR}), (std::vector<Seen>{{c, WM_SETCURSOR, W(c)}, {p, WM_SETCURSOR, W(c)}}));
  EXPECT_EQ(test::cursor(), LoadCursor(nullptr, IDC_ARROW));
  const HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
  rec::handler() = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (h != p || m != WM_SETCURSOR) return false;
    SetCursor(wait);
    r = TRUE;
    return true;
  };
  test::mouseMove(60, 60);
  test::runUntilIdle();
  EXPECT_EQ(test::cursor(), wait);
}

using CloseTest = Fixture;

TEST_F(CloseTest, CloseBoxDestroysUnlessTheProcedureHandlesClose) {
  HWND h = frame("C", 100, 100, 300, 200);
  test::runUntilIdle();
  NcLayout l;
  ASSERT_TRUE(GetNcLayout(h, l));
  const int x = 100 + (l.closeButton.left + l.closeButton.right) / 2;
  const int y = 100 + (l.closeButton.top + l.closeButton.bottom) / 2;
  rec::handler() = [](HWND, UINT m, WPARAM, LPARAM, LRESULT&) { return m == WM_CLOSE; };
  test::click(x, y);
  test::runUntilIdle();
  EXPECT_TRUE(IsWindow(h));
  EXPECT_EQ(rec::messages(h, {WM_CLOSE}).size(), 1u);
  rec::handler() = nullptr;
  test::click(x, y);
  test::runUntilIdle();
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(CloseTest, AltF4ClosesTheTopLevelWindow) {
  HWND h = frame("C", 100, 100, 300, 200);
  HWND c = child(h, 1, 0, 0, 50, 50);
  test::runUntilIdle();
  SetFocus(c);
  test::pressKey(VK_F4, test::kAlt);
  test::runUntilIdle();
  EXPECT_FALSE(IsWindow(h));
}

}  // namespace

namespace {

const unsigned char kCursorBytes[] = {0, 0, 2, 0, 1, 0};
const win::ResourceEntry kCursorTable[] = {{12, nullptr, 2001, nullptr, kCursorBytes, sizeof kCursorBytes}};
const win::ResourceRegistration kCursorRegistration(kCursorTable, 1);

TEST(LoadCursor, SystemCursorsAndTheProgramsOwn) {
  HINSTANCE self = GetModuleHandle(nullptr);
  EXPECT_NE(LoadCursor(nullptr, IDC_ARROW), nullptr);
  EXPECT_NE(LoadCursor(nullptr, IDC_WAIT), LoadCursor(nullptr, IDC_ARROW));
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(2001)), nullptr);   // no instance: system cursors only
  HCURSOR own = LoadCursor(self, MAKEINTRESOURCE(2001));
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(LoadCursor(self, MAKEINTRESOURCE(2001)), own);
  EXPECT_NE(own, LoadCursor(nullptr, IDC_ARROW));
  EXPECT_EQ(LoadCursor(self, MAKEINTRESOURCE(2002)), nullptr);
}

}  // namespace
