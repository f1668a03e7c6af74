// The SCROLLBAR control: requests reported for clicks on arrows and track, held arrows, thumb
// drags and keys; values kept through the SB_CTL calls; disabled arrows; the size grip.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/scrollbar.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;

namespace {

constexpr int kId = 600;

class ScrollBarTest : public ctltest::Fixture {
 protected:
  HWND bar(DWORD style, int w = 17, int h = 200) {
    HWND b = make("SCROLLBAR", style, 20, 20, w, h, kId);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 0;
    SetScrollInfo(b, SB_CTL, si, TRUE);
    test::runUntilIdle();
    ctltest::parent().scrolls.clear();
    return b;
  }
  static std::vector<int> requests(UINT msg = WM_VSCROLL) {
    std::vector<int> out;
    for (const auto& [m, r] : ctltest::parent().scrolls)
      if (m == msg) out.push_back(r);
    return out;
  }
};

}  // namespace

TEST_F(ScrollBarTest, ClicksReportRequestsAndTheBarStaysWhereItIs) {
  HWND b = bar(SBS_VERT);
  struct Case { const char* why; int y; std::vector<int> want; };
  const Case cases[] = {
      {"the down arrow", 195, {SB_LINEDOWN, SB_ENDSCROLL}},
      {"the track below the thumb", 150, {SB_PAGEDOWN, SB_ENDSCROLL}},
      {"the up arrow", 5, {SB_LINEUP, SB_ENDSCROLL}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ctltest::parent().scrolls.clear();
    ctltest::clickAt(b, 8, c.y);
    EXPECT_EQ(requests(), c.want);
    EXPECT_EQ(GetScrollPos(b, SB_CTL), 0) << "the parent moves the bar, not the click";
  }
  SetScrollPos(b, SB_CTL, 50, TRUE);
  ctltest::parent().scrolls.clear();
  ctltest::clickAt(b, 8, 30);
  EXPECT_EQ(requests(), std::vector<int>({SB_PAGEUP, SB_ENDSCROLL})) << "the track above the thumb";
}

TEST_F(ScrollBarTest, AHeldArrowRepeatsUntilReleased) {
  HWND b = bar(SBS_VERT);
  const POINT p = ctltest::screenOf(b, 8, 195);
  test::mouseDown(test::Button::Left, p.x, p.y);
  test::runUntilIdle();
  EXPECT_EQ(requests().size(), 1u);
  test::advanceTime(400);
  test::runUntilIdle();
  test::advanceTime(100);
  test::runUntilIdle();
  test::advanceTime(100);
  test::runUntilIdle();
  EXPECT_EQ(requests(), std::vector<int>({SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN, SB_LINEDOWN}));
  test::mouseUp(test::Button::Left, p.x, p.y);
  test::runUntilIdle();
  test::advanceTime(1000);
  test::runUntilIdle();
  EXPECT_EQ(requests().size(), 5u);
  EXPECT_EQ(requests().back(), SB_ENDSCROLL);
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksAndEndsWithItsPosition) {
  HWND b = bar(SBS_VERT);
  // Track 166 pixels (200 less two 17-pixel arrows), thumb 16, so 150 pixels for 90 positions.
  const POINT from = ctltest::screenOf(b, 8, 25);
  const POINT to = ctltest::screenOf(b, 8, 25 + 75);
  test::mouseDown(test::Button::Left, from.x, from.y);
  test::mouseMove(to.x, to.y);
  test::runUntilIdle();
  SCROLLINFO si;
  si.fMask = SIF_POS | SIF_TRACKPOS;
  GetScrollInfo(b, SB_CTL, si);
  EXPECT_EQ(si.nPos, 0);
  EXPECT_EQ(si.nTrackPos, 45);
  test::mouseUp(test::Button::Left, to.x, to.y);
  test::runUntilIdle();
  ASSERT_EQ(ctltest::parent().scrolls.size(), 3u);
  EXPECT_EQ(requests(), std::vector<int>({SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
}

TEST_F(ScrollBarTest, ValuesGoThroughTheScrollCallsAndStayInRange) {
  HWND b = bar(SBS_HORZ, 200, 17);
  int lo = -1, hi = -1;
  EXPECT_TRUE(GetScrollRange(b, SB_CTL, lo, hi));
  EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(0, 99));
  EXPECT_EQ(SetScrollPos(b, SB_CTL, 500, TRUE), 0);
  EXPECT_EQ(GetScrollPos(b, SB_CTL), 90) << "the last page starts at 90";
  SetScrollRange(b, SB_CTL, 10, 20, TRUE);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(b, SB_CTL, si);
  EXPECT_EQ(si.nMin, 10);
  EXPECT_EQ(si.nMax, 20);
  EXPECT_EQ(si.nPage, 10u);
  EXPECT_EQ(si.nPos, 11);
  ctltest::clickAt(b, 195, 8);
  EXPECT_EQ(requests(WM_HSCROLL), std::vector<int>({SB_LINEDOWN, SB_ENDSCROLL})) << "a horizontal bar reports WM_HSCROLL";
}

TEST_F(ScrollBarTest, KeysReportWhileTheBarHasTheFocus) {
  HWND b = bar(SBS_VERT | WS_TABSTOP);
  SetFocus(b);
  struct Case { int vk; int want; };
  const Case cases[] = {{VK_DOWN, SB_LINEDOWN}, {VK_UP, SB_LINEUP}, {VK_NEXT, SB_PAGEDOWN},
                        {VK_PRIOR, SB_PAGEUP}, {VK_HOME, SB_TOP}, {VK_END, SB_BOTTOM}};
  for (const Case& c : cases) {
    ctltest::parent().scrolls.clear();
    test::pressKey(c.vk);
    test::runUntilIdle();
    EXPECT_EQ(requests(), std::vector<int>({c.want, SB_ENDSCROLL}));
  }
}

TEST_F(ScrollBarTest, DisabledArrowAndBarWithNothingToScrollReportNothing) {
  HWND b = bar(SBS_VERT);
  EnableScrollBar(b, SB_CTL, ESB_DISABLE_LTUP);
  ctltest::clickAt(b, 8, 5);
  EXPECT_TRUE(requests().empty());
  ctltest::clickAt(b, 8, 195);
  EXPECT_EQ(requests(), std::vector<int>({SB_LINEDOWN, SB_ENDSCROLL}));
  ctltest::parent().scrolls.clear();
  SetScrollRange(b, SB_CTL, 0, 0, TRUE);
  ctltest::clickAt(b, 8, 195);
  ctltest::clickAt(b, 8, 100);
  EXPECT_TRUE(requests().empty());
}

TEST_F(ScrollBarTest, SizeGripResizesItsWindow) {
  RECT before;
  GetWindowRect(top, before);
  RECT client;
  GetClientRect(top, client);
  HWND g = make("SCROLLBAR", SBS_SIZEGRIP, client.right - 17, client.bottom - 17, 17, 17, -1);
  const POINT p = ctltest::screenOf(g, 8, 8);
  test::mouseDown(test::Button::Left, p.x, p.y);
  test::mouseMove(p.x + 40, p.y + 30);
  test::mouseUp(test::Button::Left, p.x + 40, p.y + 30);
  test::runUntilIdle();
  RECT after;
  GetWindowRect(top, after);
  EXPECT_EQ(after.right - after.left, before.right - before.left + 40);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 30);
}
