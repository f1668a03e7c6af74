// Checks of the window layer's smaller routines and of split-window dragging that the main
// suites leave out: frame positions as the queries read them, the non-blocking pump, window
// numbers of handles, a fixed pane's bar, and the ratio a drag leaves to proportional panes.
#include <gtest/gtest.h>

#include <array>

#include "platform/gdi.h"
#include "platform/menu.h"
#include "tests/window/window_fixture.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/geometry.h"

namespace {

using namespace win;

class WindowQueries : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    tessar.editor.EDITBUF.assign(MAXWINDOWS, {});
    WindowOpenOptions o;
    o.flags = 0x27;
    o.width = 500;
    o.height = 400;
    open(o);
    test::runUntilIdle();
  }
  static int openChild(WindowOpenChildOptions o) {
    int n = 0;
    WindowOpenChild(n, o);
    test::runUntilIdle();
    return n;
  }
  // Frame rectangle of window w in the client coordinates of window parent (-1: the screen).
  static RECT frameIn(int w, int parent) {
    RECT r;
    GetWindowRect(winslot(w).wWindow, r);
    if (parent < 0) return r;
    POINT tl{r.left, r.top};
    ScreenToClient(winslot(parent).hClient, tl);
    return RECT{tl.x, tl.y, tl.x + r.right - r.left, tl.y + r.bottom - r.top};
  }
};

TEST_F(WindowQueries, GetWindowPosReadsFramesWhereTheyLie) {
  WindowOpenChildOptions top;
  top.x = 40;
  top.y = 50;
  top.width = 200;
  top.height = 100;
  ASSERT_EQ(openChild(top), 1);
  windowselect(0);
  WindowOpenChildOptions inside;
  inside.flags = 7 | WOF_INSIDEPARENT;
  inside.x = 2000;
  inside.y = 1000;
  inside.width = 4000;
  inside.height = 4000;
  ASSERT_EQ(openChild(inside), 2);
  const RECT r1 = frameIn(1, -1), r2 = frameIn(2, 0);
  struct Case {
    const char* why;
    int window, mode;
    bool minimise;
    int first, second, inside, parent;
  };
  const Case cases[] = {
      {"top-level child: its place on the screen", 1, 0, false, r1.left, r1.top, 0, 0},
      {"top-level child: its frame size", 1, 1, false, r1.right - r1.left, r1.bottom - r1.top, 0, 0},
      {"inside child: its place in the parent's client area", 2, 0, false, r2.left, r2.top, 1, 0},
      {"inside child: its frame size", 2, 1, false, r2.right - r2.left, r2.bottom - r2.top, 1, 0},
      {"minimised top-level child: its normal place", 1, 0, true, r1.left, r1.top, 0, 0},
      {"minimised inside child: its normal place in the parent", 2, 0, true, r2.left, r2.top, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    windowselect(c.window);
    if (c.minimise) ShowWindow(winslot(c.window).wWindow, SW_MINIMIZE);
    int first = -7, second = -7, in = -7, parent = -7;
    yygetwindowpos(c.mode, first, second, in, parent);
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(second, c.second);
    EXPECT_EQ(in, c.inside);
    EXPECT_EQ(parent, c.parent);
  }
  // Modes 2 and 3 read the current dialog; without one they give zeros.
  int first = -7, second = -7, in = -7, parent = -7, kind = -7;
  yygetwindowpos(2, first, second, in, parent);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(in, 0);
  yygetdialogtype(kind);
  EXPECT_EQ(kind, 0);
}

TEST_F(WindowQueries, GetRestWinSizeOfAMaximisedWindowIsItsNormalClient) {
  ShowWindow(winslot(0).wWindow, SW_MAXIMIZE);
  test::runUntilIdle();
  RECT c;
  GetClientRect(winslot(0).hClient, c);
  ASSERT_GT(c.right, 500);
  int w = 0, h = 0, x = 0, y = 0, in = -1, parent = -1;
  yygetrestwinsize(w, h, x, y, in, parent);
  EXPECT_EQ(w, 500);
  EXPECT_EQ(h, 400);
  EXPECT_EQ(in, 0);
}

TEST_F(WindowQueries, PeekPumpReturnsMinusOneOnAnEmptyQueueAndAQueuedKey) {
  for (int t = 1; t <= 16; ++t) wmessageenable(t, t == 1 ? 1 : 0);
  test::runUntilIdle();
  int type = 0, v1 = 0, v2 = 0, v3 = 0, v4 = 0, x = 0, y = 0, window = 0, time = 0;
  yydispatchpeekmessage(type, v1, v2, v3, v4, x, y, window, time);
  EXPECT_EQ(type, -1) << "nothing waits: no blocking";
  SetFocus(winslot(0).hClient);
  test::keyDown('K');
  yydispatchpeekmessage(type, v1, v2, v3, v4, x, y, window, time);
  EXPECT_EQ(type, 1);
  EXPECT_EQ(v1, 'k');
  EXPECT_EQ(window, 0);
  int t1 = -1, t2 = -1;
  yycurrenttime(t1);
  yycurrenttime(t2);
  EXPECT_GE(t1, 0);
  EXPECT_GE(t2, t1);
}

TEST_F(WindowQueries, GetWindowIndexOfHandles) {
  WindowOpenChildOptions o;
  o.width = 100;
  o.height = 100;
  ASSERT_EQ(openChild(o), 1);
  struct Case {
    const char* why;
    HWND handle;
    int want;
  };
  const Case cases[] = {
      {"root frame", winslot(0).wWindow, 0},
      {"root client", winslot(0).hClient, 0},
      {"child frame", winslot(1).wWindow, 1},
      {"child client", winslot(1).hClient, 1},
      {"the status bar is no toolkit window", winslot(0).wMessLine, -1},
      {"no handle", nullptr, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(yygetwindowindex(c.handle), c.want);
  }
}

// Words 8-11 belong to the caller except for the event types that write them.
TEST_F(WindowQueries, GraphicsWordsKeepTheCallersValuesUnlessTheEventWritesThem) {
  for (int t = 1; t <= 16; ++t) wmessageenable(t, t == 1 || t == 13 ? 1 : 0);
  struct Case {
    const char* why;
    int type;
    bool position;
  };
  const Case cases[] = {
      {"a timer event writes none of them", 13, false},
      {"a key event writes the position only", 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    if (c.type == 13) yysettimer(10, 5, 1);
    else {
      SetFocus(winslot(0).hClient);
      test::pressKey('K');
    }
    MessageRecord m;
    m.gwidth = m.gheight = m.gx = m.gy = 7.0f;
    ASSERT_EQ(next(m), c.type);
    EXPECT_EQ(m.gwidth, 7.0f);
    EXPECT_EQ(m.gheight, 7.0f);
    EXPECT_EQ(m.gx != 7.0f, c.position);
    EXPECT_EQ(m.gy != 7.0f, c.position);
    yysettimer(0, 5, 1);
  }
}

// Closing frees what the windows held: no drawing object, device context or menu survives.
TEST(WindowCloseAll, FreesTheObjectsAndMenusOfEveryWindow) {
  test::reset();
  twtest::useScreen(1280, 1024);
  tessar.editor.EDITBUF.assign(MAXWINDOWS, {});
  WindowOpenOptions o;
  o.flags = 0x27;
  o.menu = 30001;
  o.background = static_cast<int>(RGB(0, 128, 0));
  WindowOpen(o);
  WindowOpenChildOptions c;
  c.width = 100;
  c.height = 100;
  c.menu = 30002;
  c.background = static_cast<int>(RGB(128, 0, 0));
  int n = 0;
  WindowOpenChild(n, c);
  ASSERT_EQ(n, 1);
  windowselect(0);
  int cw = 0, ch = 16;
  yycreatefont(3, 1, 0, cw, ch);   // a font of its own: the default kind is a stock font
  test::runUntilIdle();
  struct Held {
    const char* why;
    HGDIOBJ object;
  };
  const Held held[] = {
      {"the window text font (Arial, bold)", hWindowFont},
      {"the stipple bitmap", gBitmap},
      {"the root window's background brush", winslot(0).hWindowColour},
      {"the child's background brush", winslot(1).hWindowColour},
      {"the client device context", wDC},
  };
  const HMENU menus[] = {GetMenu(winslot(0).wWindow), GetMenu(winslot(1).wWindow)};
  for (const Held& h : held) {
    SCOPED_TRACE(h.why);
    ASSERT_NE(GetObjectType(h.object), 0u);
  }
  for (HMENU m : menus) ASSERT_TRUE(IsMenu(m));
  windowclose();
  for (const Held& h : held) {
    SCOPED_TRACE(h.why);
    EXPECT_EQ(GetObjectType(h.object), 0u);
  }
  for (HMENU m : menus) EXPECT_FALSE(IsMenu(m));
  test::reset();
}

class SplitDrag : public WindowQueries {
 protected:
  void SetUp() override {
    WindowQueries::SetUp();
    WindowOpenChildOptions o;
    o.width = 401;
    o.height = 300;
    ASSERT_EQ(openChild(o), 1);
  }
  static void split(int flags, std::array<int, 2> paneflags) {
    std::array<int, 2> panes{};
    std::array<int, 2> dialogs{0, 0};
    yywindowsplit(panes, flags, paneflags, -1, {0, 0}, {}, dialogs, {-1, -1}, "Left", "Right");
    test::runUntilIdle();
    ASSERT_EQ(panes[0], 2);
    ASSERT_EQ(panes[1], 3);
  }
  static HWND bar() { return LongToHandle<HWND>(yyframerecord(winslot(1).wWindow)->word[SP_BAR]); }
  static POINT barCentre() {
    RECT b;
    GetWindowRect(bar(), b);
    return POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
  }
  static void drag(POINT from, int dx) {
    test::mouseMove(from.x, from.y);
    test::mouseDown(test::Button::Left, from.x, from.y);
    test::mouseMove(from.x + dx / 2, from.y);
    test::mouseMove(from.x + dx, from.y);
    test::mouseUp(test::Button::Left, from.x + dx, from.y);
    test::runUntilIdle();
  }
};

TEST_F(SplitDrag, BarBetweenAFixedPaneStaysAndShowsNoSizingCursor) {
  split(0, {7 | 0x40, 7});
  const POINT p = barCentre();
  EXPECT_EQ(SendMessage(bar(), WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y))),
            HTBORDER);
  EXPECT_EQ(SendMessage(bar(), WM_SETCURSOR, reinterpret_cast<WPARAM>(bar()), MAKELPARAM(HTBORDER, WM_MOUSEMOVE)), 0);
  const RECT before = frameIn(2, 1);
  drag(p, 40);
  EXPECT_EQ(barCentre().x, p.x) << "the bar did not move";
  const RECT after = frameIn(2, 1);
  EXPECT_EQ(after.right, before.right);
}

// The ratio the user dragged to is the one a later resize shares the space by.
TEST_F(SplitDrag, ProportionalPanesKeepTheDraggedRatioWhenResized) {
  split(2, {7, 7});
  const POINT p = barCentre();
  EXPECT_EQ(SendMessage(bar(), WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y))),
            HTCAPTION);
  drag(p, -80);
  const FrameRecord* r = yyframerecord(winslot(1).wWindow);
  const int w12 = r->word[SP_EXTENT1], w13 = r->word[SP_EXTENT2];
  RECT c2, c3;
  GetClientRect(winslot(2).hClient, c2);
  GetClientRect(winslot(3).hClient, c3);
  EXPECT_EQ(w12, c2.right);
  EXPECT_EQ(w13, c3.right);
  ASSERT_LT(w12, w13) << "the first pane was made narrower";

  RECT f;
  GetWindowRect(winslot(1).wWindow, f);
  SetWindowPos(winslot(1).wWindow, nullptr, 0, 0, f.right - f.left + 200, f.bottom - f.top, SWP_NOMOVE | SWP_NOZORDER);
  test::runUntilIdle();
  RECT q, b;
  GetClientRect(winslot(1).hClient, q);
  GetWindowRect(bar(), b);
  const RECT f2 = frameIn(2, 1), f3 = frameIn(3, 1);
  GetClientRect(winslot(2).hClient, c2);
  GetClientRect(winslot(3).hClient, c3);
  const int nonclient = (f2.right - f2.left - c2.right) + (f3.right - f3.left - c3.right);
  const int space = q.right - (b.right - b.left) - nonclient;
  EXPECT_EQ(c2.right, space * w12 / (w12 + w13));
  EXPECT_EQ(c2.right + c3.right, space);
  EXPECT_EQ(f3.right, q.right) << "the second pane ends at the far edge";
}

}  // namespace
