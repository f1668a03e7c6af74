// Child windows and split windows: numbering, placement inside a parent, failures, closing
// with everything inside or owned, and a split window's layout and its dragged bar.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/statusbar.h"
#include "platform/surface.h"
#include "tests/window/window_fixture.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/units.h"
#include "toolkit/window/wmenus.h"

namespace {

using namespace win;

class ChildWindows : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    tessar.editor.EDITBUF.assign(MAXWINDOWS, {});   // as start-up allocates it
    WindowOpenOptions o;
    o.flags = 39;
    o.width = 500;
    o.height = 400;
    o.menu = 30001;
    open(o);
    test::runUntilIdle();
  }

  static int openChild(WindowOpenChildOptions o = {}) {
    int n = 0;
    if (!o.width) o.width = 200;
    if (!o.height) o.height = 150;
    WindowOpenChild(n, o);
    return n;
  }

  static RECT inParentClient(int w, int parent) {
    RECT r;
    GetWindowRect(winslot(w).wWindow, r);
    POINT tl{r.left, r.top};
    ScreenToClient(winslot(parent).hClient, tl);
    return RECT{tl.x, tl.y, tl.x + r.right - r.left, tl.y + r.bottom - r.top};
  }
};

TEST_F(ChildWindows, NumbersLowestFreeFirstUpToFifty) {
  EXPECT_EQ(openChild(), 1);
  EXPECT_EQ(openChild(), 2);
  EXPECT_EQ(openChild(), 3);
  WindowCloseChild(2);
  EXPECT_EQ(winslot(2).wWindow, nullptr);
  EXPECT_EQ(openChild(), 2) << "the gap is filled first";
  for (int n = 4; n <= 50; ++n) ASSERT_EQ(openChild(), n);
  tessar.error.LASTERROR = 0;
  const int before = tessar.window.CURWINDOW;
  EXPECT_EQ(openChild(), -1) << "all 50 numbers in use";
  EXPECT_EQ(tessar.error.LASTERROR, 0) << "without a report";
  EXPECT_EQ(tessar.window.CURWINDOW, before);
}

TEST_F(ChildWindows, TopLevelChildBecomesCurrentWithItsMenuAndStatusBar) {
  WindowOpenChildOptions o;
  o.flags = 7 | WOF_STATUSBAR;
  o.x = 50;
  o.y = 60;
  o.menu = 30002;
  o.title = "Plot   ";
  const int n = openChild(o);
  ASSERT_EQ(n, 1);
  EXPECT_EQ(tessar.window.CURWINDOW, 1);
  EXPECT_EQ(tessar.window.CURWIDTH, 200);
  EXPECT_EQ(tessar.window.CURHEIGHT, 150);
  EXPECT_EQ(tessar.window.WINFLAGS[1], 7 | WOF_STATUSBAR);
  EXPECT_NE(winslot(1).wMessLine, nullptr);
  EXPECT_EQ(GetMenu(winslot(1).wWindow), winslot(1).hMenuRoot);
  MENUITEMINFO mi;
  mi.fMask = MIIM_ID;
  ASSERT_TRUE(GetMenuItemInfo(winslot(1).hMenuRoot, 0, TRUE, mi));
  EXPECT_EQ(mi.wID, 40017u) << "the pop-up took its identifier";
  RECT fr;
  GetWindowRect(winslot(1).wWindow, fr);
  EXPECT_EQ(fr.left, 50);
  EXPECT_EQ(fr.top, 60);
  char title[20] = {};
  GetWindowText(winslot(1).wWindow, title, sizeof title);
  EXPECT_STREQ(title, "Plot");
  EXPECT_EQ(GetFocus(), winslot(1).hClient);
  EXPECT_EQ(winfowindow(5), 50);
}

TEST_F(ChildWindows, InsideParentPlacementInWindowUnits) {
  RECT pc;
  GetClientRect(winslot(0).hClient, pc);
  ASSERT_EQ(pc.right, 500);
  WindowOpenChildOptions o;
  o.flags = 7 | WOF_INSIDEPARENT;
  int n = 0;
  WindowOpenChild(n, o);   // no size, no place: 8000/9999 of the parent, centred
  ASSERT_EQ(n, 1);
  RECT c;
  GetClientRect(winslot(1).hClient, c);
  EXPECT_EQ(c.right, 8000 * 500 / 9999);
  EXPECT_EQ(c.bottom, 8000 * pc.bottom / 9999);
  const RECT r = inParentClient(1, 0);
  EXPECT_EQ(r.left, (500 - (r.right - r.left)) / 2);
  EXPECT_EQ(r.top, (pc.bottom - (r.bottom - r.top)) / 2);
  EXPECT_TRUE(IsChild(winslot(0).hClient, winslot(1).wWindow));

  windowselect(0);
  WindowOpenChildOptions far;
  far.flags = 7 | WOF_INSIDEPARENT;
  far.x = 9999;
  far.y = 0;
  far.width = 1000;
  far.height = 1000;
  WindowOpenChild(n, far);
  ASSERT_EQ(n, 2);
  EXPECT_EQ(inParentClient(2, 0).left, 499) << "x 9999 is the last pixel of 500";
  int parent = 0;
  yywindowcheckinside(parent);
  EXPECT_EQ(parent, 0);
  EXPECT_EQ(winfowindow(5), unitsfrompixels(499, 500)) << "the frame's place in the parent's units";
}

TEST_F(ChildWindows, OpenFailures) {
  WindowOpenChildOptions hidden;
  hidden.flags = 7 | WOF_HIDDEN;
  ASSERT_EQ(openChild(hidden), 1);
  windowselect(0);
  struct Case {
    const char* why;
    int parent;
    int wantError;
  };
  const Case cases[] = {
      {"parent hidden", 1, 1016},
      {"parent not open", 9, 1003},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    WindowOpenChildOptions o;
    o.flags = 7 | WOF_INSIDEPARENT;
    o.parent = c.parent;
    int n = 0;
    WindowOpenChild(n, o);
    EXPECT_EQ(n, -1);
    EXPECT_EQ(tessar.error.LASTERROR, c.wantError);
    EXPECT_EQ(tessar.window.CURWINDOW, 0) << "the window current before stays";
    EXPECT_EQ(tessar.window.CURWIDTH, 500);
    EXPECT_EQ(winslot(2).wWindow, nullptr);
  }
}

// A frame the window system cannot make gives -1 without a report and leaves the number free.
TEST_F(ChildWindows, FrameThatCannotBeMade) {
  test::failNextWindowCall("CreateWindowEx");
  tessar.error.LASTERROR = 0;
  EXPECT_EQ(openChild(), -1);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(winslot(1).wWindow, nullptr);
  EXPECT_EQ(tessar.window.CURWINDOW, 0);
  WindowOpenChildOptions o;
  o.flags = 7 | WOF_STATUSBAR;
  o.menu = 30002;
  EXPECT_EQ(openChild(o), 1) << "the number is handed out again";
}

TEST_F(ChildWindows, CloseFailures) {
  for (int n : {0, 51, 5, -3}) {
    SCOPED_TRACE(n);
    tessar.error.LASTERROR = 0;
    WindowCloseChild(n);
    EXPECT_EQ(tessar.error.LASTERROR, 1003);
  }
  EXPECT_NE(winslot(0).wWindow, nullptr);
}

// Closing the current window makes the root current; closing a window closes what lies
// inside it and what it owns, and clears their entries.
TEST_F(ChildWindows, CloseTakesInsideAndOwnedWindows) {
  ASSERT_EQ(openChild(), 1);
  WindowOpenChildOptions inside;
  inside.flags = 7 | WOF_INSIDEPARENT;
  inside.parent = 1;
  ASSERT_EQ(openChild(inside), 2);
  WindowOpenChildOptions owned;
  owned.flags = 7 | WOF_OWNED;
  owned.parent = 1;
  ASSERT_EQ(openChild(owned), 3);
  ASSERT_EQ(openChild(), 4);
  HWND ownedFrame = winslot(3).wWindow;
  tessar.editor.EDITBUF[1][0].name = "kept until the window closes";
  tessar.editor.EDITBUF[1][0].NAMEALLOCATED = 1;

  windowselect(1);
  WindowCloseChild(1);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  for (int n : {1, 2, 3}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(winslot(n).wWindow, nullptr);
    EXPECT_EQ(winslot(n).hClient, nullptr);
    EXPECT_EQ(tessar.window.WINFLAGS[n], -1);
  }
  EXPECT_FALSE(IsWindow(ownedFrame));
  EXPECT_NE(winslot(4).wWindow, nullptr) << "an unrelated window stays";
  EXPECT_EQ(tessar.window.CURWINDOW, 0);
  EXPECT_EQ(tessar.window.CURWIDTH, 500);
  EXPECT_TRUE(tessar.editor.EDITBUF[1][0].name.empty());
  EXPECT_EQ(tessar.editor.EDITBUF[1][0].NAMEALLOCATED, 0);
  EXPECT_EQ(openChild(), 1);

  windowselect(0);
  WindowCloseChild(4);
  EXPECT_EQ(tessar.window.CURWINDOW, 0) << "closing another window keeps the current one";
}

// The current window lies inside the one closed: the root window becomes current with a
// drawing context of its own.
TEST_F(ChildWindows, CloseWhileAWindowInsideIsCurrent) {
  ASSERT_EQ(openChild(), 1);
  WindowOpenChildOptions inside;
  inside.flags = 7 | WOF_INSIDEPARENT;
  inside.parent = 1;
  ASSERT_EQ(openChild(inside), 2);
  ASSERT_EQ(tessar.window.CURWINDOW, 2);
  WindowCloseChild(1);
  EXPECT_EQ(tessar.window.CURWINDOW, 0);
  EXPECT_EQ(wIndex, 0);
  EXPECT_EQ(hMovie, winslot(0).hClient);
  ASSERT_NE(wDC, nullptr);
  windowclear(0, 0, 4, 4, static_cast<int>(RGB(0, 0, 255)));
  EXPECT_EQ(test::pixel(winslot(0).hClient, 2, 2), RGB(0, 0, 255)) << "drawing reaches the root window";
}

// Raising brings the current window to the front; closing a child activates the window that
// was current when it opened.
TEST_F(ChildWindows, RaiseAndActivationOnClose) {
  ASSERT_EQ(openChild(), 1);
  ASSERT_EQ(openChild(), 2);
  EXPECT_EQ(winslot(2).hPrevious, winslot(1).wWindow);
  windowselect(1);
  yywindowraise();
  test::runUntilIdle();
  EXPECT_EQ(test::topLevelWindows().front().hwnd, winslot(1).wWindow);
  EXPECT_EQ(GetFocus(), winslot(1).hClient);
  HWND first = winslot(1).wWindow;
  windowselect(2);
  WindowCloseChild(2);
  test::runUntilIdle();
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(tessar.window.CURWINDOW, 0);
}

// A child's own menu shows its own prompts in the child's status bar, and its command is an
// event of the child.
TEST_F(ChildWindows, ChildMenuPromptsAndCommand) {
  WindowOpenChildOptions o;
  o.flags = 7 | WOF_STATUSBAR;
  o.width = 500;
  o.menu = 30002;
  ASSERT_EQ(openChild(o), 1);
  NcLayout l;
  ASSERT_TRUE(GetNcLayout(winslot(1).wWindow, l));
  RECT wr;
  GetWindowRect(winslot(1).wWindow, wr);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE s{};
  GetTextExtentPoint32(dc, "Save plot", 9, s);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  const POINT bar{wr.left + l.menuBar.left + (s.cx + 16) / 2, wr.top + (l.menuBar.top + l.menuBar.bottom) / 2};
  std::string prompt, rowPrompt;
  test::setIdleHook([&, step = 0]() mutable {
    char text[200] = {};
    SendMessage(winslot(1).wMessLine, SB_GETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(text));
    std::vector<test::TopLevel> pops;
    for (const test::TopLevel& t : test::topLevelWindows()) {
      char cls[32] = {};
      GetClassName(t.hwnd, cls, sizeof cls);
      if (std::string(cls) == POPUPMENU_CLASS && t.visible) pops.push_back(t);
    }
    if (pops.empty()) return;
    const RECT& pr = pops[0].rect;
    const int rowh = (pr.bottom - pr.top - 6) / 3;
    if (step == 0) {
      prompt = text;
      test::mouseMove((pr.left + pr.right) / 2, pr.top + 3 + rowh + rowh / 2);
    } else if (step == 1) {
      rowPrompt = text;
      test::click((pr.left + pr.right) / 2, pr.top + 3 + rowh + rowh / 2);
    }
    ++step;
  });
  test::click(bar.x, bar.y);
  MessageRecord m;
  int type = 0;
  do type = next(m);
  while (type == EV_EXPOSE || type == EV_RESIZE);
  test::setIdleHook({});
  EXPECT_EQ(prompt, "Save plot to file or clipboard");
  EXPECT_EQ(rowPrompt, "Save plot to a Windows Metafile, suitable for pasting into Word or Excel");
  EXPECT_EQ(type, EV_COMMAND);
  EXPECT_EQ(m.value1, 40019);
  EXPECT_EQ(m.window, 1);
}

// A child's toolbar and greying act on its own menu window.
TEST_F(ChildWindows, ChildMenuAndToolbar) {
  WindowOpenChildOptions o;
  o.menu = 30002;
  o.toolbars = {30102, 0, 0, 0};
  ASSERT_EQ(openChild(o), 1);
  EXPECT_EQ(yyHasMenu(1), 1);
  ASSERT_NE(winslot(1).hToolbar[0], nullptr);
  RECT c;
  GetClientRect(winslot(1).hClient, c);
  EXPECT_EQ(c.bottom, 150) << "the toolbar adds to the frame, not takes from the client";
  WMenuSetState(40018, 1, 0);
  EXPECT_FALSE(SendMessage(winslot(1).hToolbar[0], TB_ISBUTTONENABLED, 40018, 0));
  EXPECT_TRUE(GetMenuState(winslot(1).hMenuRoot, 40018, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(GetMenuState(winslot(0).hMenuRoot, 40006, MF_BYCOMMAND) & MF_GRAYED);
  WindowCloseChild(1);
  EXPECT_EQ(winslot(1).hToolbar[0], nullptr);
}

// A dialog that cannot be combined is reported, and the window opens without it.
TEST_F(ChildWindows, DialogThatCannotBeCombined) {
  int dialog = 777;   // no such DIALOG resource
  WindowOpenChildOptions o;
  o.dialog = &dialog;
  const int n = openChild(o);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(dialog, -1);
  EXPECT_EQ(tessar.error.LASTERROR, 1007);
  EXPECT_EQ(tessar.dialog.CURDIALOG, 0);
  EXPECT_EQ(yyframerecord(winslot(1).wWindow), nullptr);
  RECT c;
  GetClientRect(winslot(1).hClient, c);
  EXPECT_EQ(c.right, 200) << "the size asked for";
}

class SplitWindow : public ChildWindows {
 protected:
  void SetUp() override {
    ChildWindows::SetUp();
    WindowOpenChildOptions o;
    o.width = 401;
    o.height = 300;
    ASSERT_EQ(openChild(o), 1);
  }
  std::array<int, 2> split(int flags, int extent) {
    std::array<int, 2> panes{};
    std::array<int, 2> dialogs{0, 0};
    yywindowsplit(panes, flags, {7, 7}, extent, {0, 0}, {}, dialogs, {-1, -1}, "Left", "Right");
    test::runUntilIdle();
    return panes;
  }
  static RECT bar() {
    const FrameRecord* r = yyframerecord(winslot(1).wWindow);
    RECT b{};
    if (r) GetWindowRect(LongToHandle<HWND>(r->word[SP_BAR]), b);
    return b;
  }
};

TEST_F(SplitWindow, EqualSplitSideBySide) {
  const std::array<int, 2> panes = split(0, -1);
  ASSERT_EQ(panes[0], 2);
  ASSERT_EQ(panes[1], 3);
  const FrameRecord* r = yyframerecord(winslot(1).wWindow);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->word[FR_KIND], SW_SPLITWINDOW);
  EXPECT_EQ(r->word[SP_WINDOW], 1);
  const RECT a = inParentClient(2, 1), b = inParentClient(3, 1);
  const int thickness = GetSystemMetrics(SM_CXSIZEFRAME);
  EXPECT_EQ(a.left, 0);
  EXPECT_EQ(a.bottom - a.top, 300) << "full height across the split";
  EXPECT_EQ(b.right, 401);
  EXPECT_EQ(b.left - a.right, thickness) << "the bar between them";
  EXPECT_LE(std::abs((a.right - a.left) - (b.right - b.left)), 1) << "equal halves";
  EXPECT_TRUE(IsWindowVisible(winslot(2).wWindow));
  EXPECT_TRUE(IsWindowVisible(winslot(3).wWindow));
  char cls[32] = {};
  GetClassName(LongToHandle<HWND>(r->word[SP_BAR]), cls, sizeof cls);
  EXPECT_STREQ(cls, "TESSSPLITV");
}

TEST_F(SplitWindow, StackedWithGivenExtentAndDraggedBar) {
  const std::array<int, 2> panes = split(1, 100);
  ASSERT_EQ(panes[0], 2);
  RECT c;
  GetClientRect(winslot(2).hClient, c);
  EXPECT_EQ(c.bottom, 100) << "the first pane's client takes the extent";
  const RECT before = bar();
  char cls[32] = {};
  GetClassName(LongToHandle<HWND>(yyframerecord(winslot(1).wWindow)->word[SP_BAR]), cls, sizeof cls);
  EXPECT_STREQ(cls, "TESSSPLITH");
  EXPECT_EQ(inParentClient(3, 1).bottom, 300) << "the second pane fills the rest";

  // The user drags the bar 40 pixels down.
  const int x = (before.left + before.right) / 2, y = (before.top + before.bottom) / 2;
  test::mouseDown(test::Button::Left, x, y);
  test::mouseMove(x, y + 20);
  test::mouseMove(x + 30, y + 40);   // sideways movement is held back
  test::mouseUp(test::Button::Left, x + 30, y + 40);
  test::runUntilIdle();
  const RECT after = bar();
  EXPECT_EQ(after.top - before.top, 40);
  EXPECT_EQ(after.left, before.left);
  GetClientRect(winslot(2).hClient, c);
  EXPECT_EQ(c.bottom, 140);
  EXPECT_EQ(inParentClient(3, 1).top, inParentClient(2, 1).bottom + (after.bottom - after.top));
  EXPECT_EQ(inParentClient(3, 1).bottom, 300);
  EXPECT_EQ(yyframerecord(winslot(1).wWindow)->word[SP_EXTENT1], 140);
}

TEST_F(SplitWindow, ClosingOnePaneUndoesTheSplit) {
  split(0, -1);
  HWND barWindow = LongToHandle<HWND>(yyframerecord(winslot(1).wWindow)->word[SP_BAR]);
  WindowCloseChild(3);
  EXPECT_EQ(winslot(2).wWindow, nullptr);
  EXPECT_EQ(winslot(3).wWindow, nullptr);
  EXPECT_FALSE(IsWindow(barWindow));
  EXPECT_EQ(yyframerecord(winslot(1).wWindow), nullptr);
  EXPECT_NE(winslot(1).wWindow, nullptr) << "the split window itself stays";
  // Split again, then close the split window: its panes go with it.
  const std::array<int, 2> again = split(0, 80);
  ASSERT_EQ(again[0], 2);
  WindowCloseChild(1);
  for (int n : {1, 2, 3}) EXPECT_EQ(winslot(n).wWindow, nullptr) << n;
}

// The first pane's menu shows on the frame; removing a pane's menu brings back the split
// window's own; undoing the split leaves the split window's own menu.
TEST_F(SplitWindow, PaneMenusOnTheOuterFrame) {
  WMenu(30001, 1);
  ASSERT_NE(winslot(1).hMenuRoot, nullptr);
  HMENU own = winslot(1).hMenuRoot;
  std::array<int, 2> panes{};
  std::array<int, 2> dialogs{0, 0};
  yywindowsplit(panes, 0, {7, 7}, -1, {30002, 0}, {}, dialogs, {-1, -1}, "Left", "Right");
  ASSERT_EQ(panes[0], 2);
  EXPECT_EQ(GetMenu(winslot(1).wWindow), winslot(2).hMenuRoot);
  MENUITEMINFO mi;
  mi.fMask = MIIM_ID;
  ASSERT_TRUE(GetMenuItemInfo(winslot(2).hMenuRoot, 0, TRUE, mi));
  EXPECT_EQ(mi.wID, 40017u);
  WMenu(0, 2);
  EXPECT_EQ(tessar.error.LASTERROR, 0) << "a pane may change its menu";
  EXPECT_EQ(GetMenu(winslot(1).wWindow), own);
  WMenu(30003, 2);
  EXPECT_EQ(GetMenu(winslot(1).wWindow), winslot(2).hMenuRoot);
  WindowCloseChild(2);
  EXPECT_EQ(GetMenu(winslot(1).wWindow), own);
  EXPECT_EQ(winslot(1).hMenuRoot, own);
  WindowOpenChildOptions inside;
  inside.flags = 7 | WOF_INSIDEPARENT;
  inside.parent = 1;
  ASSERT_EQ(openChild(inside), 2);
  tessar.error.LASTERROR = 0;
  WMenu(30002, 2);
  EXPECT_EQ(tessar.error.LASTERROR, 1003) << "a window inside another that is no pane has no menu";
}

TEST_F(SplitWindow, RevertClosesThePanes) {
  split(1, 50);
  windowselect(1);
  int cd = 0, result = -9;
  yywindowrevert(cd, 7, result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(winslot(2).wWindow, nullptr);
  EXPECT_EQ(winslot(3).wWindow, nullptr);
  EXPECT_EQ(yyframerecord(winslot(1).wWindow), nullptr);
  yywindowrevert(cd, 7, result);
  EXPECT_EQ(result, 2) << "an ordinary window";
}

TEST_F(SplitWindow, RefusedWhenChildrenLieInside) {
  WindowOpenChildOptions inside;
  inside.flags = 7 | WOF_INSIDEPARENT;
  inside.parent = 1;
  ASSERT_EQ(openChild(inside), 2);
  windowselect(1);
  const std::array<int, 2> panes = split(0, -1);
  EXPECT_EQ(panes[0], -6);
  EXPECT_EQ(yyframerecord(winslot(1).wWindow), nullptr);
}

}  // namespace
