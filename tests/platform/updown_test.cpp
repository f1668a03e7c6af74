// The up-down control: steps offered to the parent and reported after, refusal, range
// direction and wrapping, held arrows that accelerate, and the buddy it aligns with, writes
// its position into, reads it back from and takes arrow keys from.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/edit.h"
#include "platform/updown.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;
using ctltest::textOf;

namespace {

constexpr int kId = 700;

class UpDownTest : public ctltest::Fixture {
 protected:
  HWND updown(DWORD style, int pos = 0, int lo = -100, int hi = 100) {
    HWND u = make(UPDOWN_CLASS, style, 100, 20, 16, 30, kId);
    SendMessage(u, UDM_SETRANGE32, static_cast<WPARAM>(lo), hi);
    SendMessage(u, UDM_SETPOS32, 0, pos);
    ctltest::parent().scrolls.clear();
    return u;
  }
  static void clickArrow(HWND u, bool up) {
    ctltest::clickAt(u, 8, up ? 5 : 25);
    test::advanceTime(1000);
  }
  static int pos(HWND u) { return static_cast<int>(SendMessage(u, UDM_GETPOS32, 0, 0)); }
};

}  // namespace

TEST_F(UpDownTest, AClickOffersTheStepThenReportsThePosition) {
  HWND u = updown(0, 7);
  clickArrow(u, true);
  EXPECT_EQ(pos(u), 8);
  EXPECT_EQ(ctltest::parent().deltas, (std::vector<std::pair<int, int>>{{7, 1}}));
  const std::vector<std::pair<UINT, int>> want = {{WM_VSCROLL, SB_THUMBPOSITION}, {WM_VSCROLL, SB_ENDSCROLL}};
  EXPECT_EQ(ctltest::parent().scrolls, want);
  clickArrow(u, false);
  clickArrow(u, false);
  EXPECT_EQ(pos(u), 6);
}

TEST_F(UpDownTest, ARefusedStepLeavesThePositionButIsStillReported) {
  HWND u = updown(0, 3);
  ctltest::parent().notifyAnswer = 1;
  clickArrow(u, true);
  EXPECT_EQ(pos(u), 3);
  ASSERT_EQ(ctltest::parent().deltas.size(), 1u);
  ASSERT_FALSE(ctltest::parent().scrolls.empty());
  EXPECT_EQ(ctltest::parent().scrolls.front().second, SB_THUMBPOSITION) << "the parent hears of every click";
}

TEST_F(UpDownTest, RangeDirectionLimitsAndWrapping) {
  struct Case { const char* why; DWORD style; int lo, hi, start; bool up; int want; };
  const Case cases[] = {
      {"a range given high to low: up lowers", 0, 100, 0, 50, true, 49},
      {"the maximum holds", 0, 0, 10, 10, true, 10},
      {"the minimum holds", 0, 0, 10, 0, false, 0},
      {"wrapping past the maximum", UDS_WRAP, 0, 10, 10, true, 0},
      {"wrapping past the minimum", UDS_WRAP, 0, 10, 0, false, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    HWND u = updown(c.style, c.start, c.lo, c.hi);
    clickArrow(u, c.up);
    EXPECT_EQ(pos(u), c.want);
    DestroyWindow(u);
  }
  HWND u = updown(0);
  SendMessage(u, UDM_SETRANGE, 0, MAKELPARAM(20, static_cast<WORD>(-5)));
  EXPECT_EQ(SendMessage(u, UDM_GETRANGE, 0, 0), MAKELONG(20, static_cast<WORD>(-5))) << "maximum low, minimum high";
  EXPECT_EQ(SendMessage(u, UDM_SETPOS, 0, MAKELPARAM(99, 0)), 0);
  EXPECT_EQ(LOWORD(static_cast<UINT_PTR>(SendMessage(u, UDM_GETPOS, 0, 0))), 20) << "kept within the range";
}

TEST_F(UpDownTest, AHeldArrowRepeatsAndAccelerates) {
  HWND u = updown(0, 0, -1000, 1000);
  const UDACCEL accel[] = {{0, 1}, {1, 10}};
  EXPECT_TRUE(SendMessage(u, UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(accel)));
  UDACCEL back[4];
  EXPECT_EQ(SendMessage(u, UDM_GETACCEL, 4, reinterpret_cast<LPARAM>(back)), 2);
  EXPECT_EQ(back[1].nInc, 10u);
  const POINT p = ctltest::screenOf(u, 8, 5);
  test::mouseDown(test::Button::Left, p.x, p.y);
  test::runUntilIdle();
  test::advanceTime(400);
  test::runUntilIdle();
  for (int i = 0; i < 7; ++i) {
    test::advanceTime(100);
    test::runUntilIdle();
  }
  test::mouseUp(test::Button::Left, p.x, p.y);
  test::runUntilIdle();
  std::vector<int> steps;
  for (const auto& [at, delta] : ctltest::parent().deltas) steps.push_back(delta);
  ASSERT_GE(steps.size(), 8u);
  EXPECT_EQ(steps.front(), 1);
  EXPECT_EQ(steps.back(), 10) << "a second held gives the faster steps";
  EXPECT_EQ(ctltest::parent().scrolls.back().second, SB_ENDSCROLL);
}

TEST_F(UpDownTest, BuddyIsAlignedShowsAndGivesThePositionAndTakesArrowKeys) {
  HWND e = make("EDIT", WS_BORDER | ES_AUTOHSCROLL, 20, 100, 100, 22, 701, "5");
  HWND u = make(UPDOWN_CLASS, UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS, 0, 0, 16, 0, kId);
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(u, UDM_GETBUDDY, 0, 0)), e);
  RECT er, ur;
  GetWindowRect(e, er);
  GetWindowRect(u, ur);
  EXPECT_EQ(er.right - er.left, 84) << "the buddy gives up the control's width";
  EXPECT_EQ(ur.left, er.right);
  EXPECT_EQ(ur.top, er.top);
  EXPECT_EQ(ur.bottom, er.bottom);
  EXPECT_EQ(textOf(e), "5") << "the buddy keeps its text until the position changes";
  SendMessage(u, UDM_SETRANGE32, 0, 5000);
  SendMessage(u, UDM_SETPOS32, 0, 1234);
  EXPECT_EQ(textOf(e), "1,234");
  SetFocus(e);
  SendMessage(e, EM_SETSEL, 0, -1);
  test::typeText("42");
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(u, UDM_GETPOS, 0, 0), MAKELONG(42, 0)) << "read back from the buddy";
  test::pressKey(VK_UP);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "43");
  EXPECT_EQ(pos(u), 43);
  SetWindowText(e, "forty");
  EXPECT_EQ(HIWORD(static_cast<UINT_PTR>(SendMessage(u, UDM_GETPOS, 0, 0))), 1) << "a text that is no number";
  DestroyWindow(u);
  test::pressKey(VK_DOWN);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "forty") << "the buddy is itself again once the control is gone";
}
