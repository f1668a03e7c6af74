// The trackbar: keys, channel presses and thumb drags that move the position and report it,
// range and selection requests, ticks, and the thumb drawn where its position says.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/trackbar.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;

namespace {

constexpr int kId = 900;

class TrackbarTest : public ctltest::Fixture {
 protected:
  HWND track(DWORD style, int w = 220, int h = 30) {
    HWND t = make(TRACKBAR_CLASS, style | WS_TABSTOP, 20, 20, w, h, kId);
    SetFocus(t);
    test::runUntilIdle();
    ctltest::parent().scrolls.clear();
    return t;
  }
  static int pos(HWND t) { return static_cast<int>(SendMessage(t, TBM_GETPOS, 0, 0)); }
  static std::vector<int> requests(UINT msg = WM_HSCROLL) {
    std::vector<int> out;
    for (const auto& [m, r] : ctltest::parent().scrolls)
      if (m == msg) out.push_back(r);
    return out;
  }
  static POINT thumbCentre(HWND t) {
    RECT r;
    SendMessage(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    return ctltest::screenOf(t, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
};

}  // namespace

TEST_F(TrackbarTest, KeysMoveThePositionThenReport) {
  HWND t = track(TBS_AUTOTICKS);
  SendMessage(t, TBM_SETPOS, TRUE, 50);
  struct Case { int vk; int want; int request; };
  const Case cases[] = {{VK_RIGHT, 51, TB_LINEDOWN}, {VK_LEFT, 50, TB_LINEUP},  {VK_UP, 49, TB_LINEUP},
                        {VK_NEXT, 69, TB_PAGEDOWN},  {VK_PRIOR, 49, TB_PAGEUP}, {VK_END, 100, TB_BOTTOM},
                        {VK_RIGHT, 100, TB_LINEDOWN}, {VK_HOME, 0, TB_TOP}};
  for (const Case& c : cases) {
    ctltest::parent().scrolls.clear();
    test::pressKey(c.vk);
    test::runUntilIdle();
    EXPECT_EQ(pos(t), c.want);
    EXPECT_EQ(requests(), std::vector<int>({c.request, TB_ENDTRACK}));
  }
  SendMessage(t, TBM_SETLINESIZE, 0, 5);
  EXPECT_EQ(SendMessage(t, TBM_SETPAGESIZE, 0, 30), 20);
  test::pressKey(VK_RIGHT);
  test::pressKey(VK_NEXT);
  test::runUntilIdle();
  EXPECT_EQ(pos(t), 35);
}

TEST_F(TrackbarTest, DraggingTheThumbTracksAndEndsWithThePosition) {
  HWND t = track(0);
  RECT ch;
  SendMessage(t, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&ch));
  const POINT from = thumbCentre(t);
  // The thumb centre travels the channel less 2 pixels at the left end and 3 at the right.
  const int travel = (ch.right - 3) - (ch.left + 2);
  test::mouseDown(test::Button::Left, from.x, from.y);
  test::mouseMove(from.x + travel / 4, from.y);
  test::runUntilIdle();
  test::mouseMove(from.x + travel / 2, from.y + 40);
  test::runUntilIdle();
  test::mouseUp(test::Button::Left, from.x + travel / 2, from.y + 40);
  test::runUntilIdle();
  EXPECT_EQ(pos(t), 50);
  EXPECT_EQ(requests(), std::vector<int>({TB_THUMBTRACK, TB_THUMBTRACK, TB_THUMBPOSITION, TB_ENDTRACK}));
  const POINT now = thumbCentre(t);
  EXPECT_NEAR(now.x, from.x + travel / 2, 1) << "the thumb follows the pointer";
}

TEST_F(TrackbarTest, PressingTheChannelPagesTowardThePointer) {
  HWND t = track(0);
  RECT ch;
  SendMessage(t, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&ch));
  const POINT p = ctltest::screenOf(t, ch.right - 10, (ch.top + ch.bottom) / 2);
  test::mouseDown(test::Button::Left, p.x, p.y);
  test::runUntilIdle();
  EXPECT_EQ(pos(t), 20);
  for (int i = 0; i < 10; ++i) {
    test::advanceTime(i == 0 ? 400 : 100);
    test::runUntilIdle();
  }
  test::mouseUp(test::Button::Left, p.x, p.y);
  test::runUntilIdle();
  EXPECT_GE(pos(t), 80) << "paged until the thumb reached the pointer";
  EXPECT_LE(requests().size(), 6u) << "and no further";
  EXPECT_EQ(requests().back(), TB_ENDTRACK);
  EXPECT_EQ(requests().front(), TB_PAGEDOWN);
}

TEST_F(TrackbarTest, RangeSelectionAndTicksAreKept) {
  HWND t = track(TBS_AUTOTICKS | TBS_ENABLESELRANGE);
  SendMessage(t, TBM_SETRANGE, TRUE, MAKELPARAM(10, 20));
  EXPECT_EQ(SendMessage(t, TBM_GETRANGEMIN, 0, 0), 10);
  EXPECT_EQ(SendMessage(t, TBM_GETRANGEMAX, 0, 0), 20);
  EXPECT_EQ(pos(t), 10) << "the position is taken into the range";
  SendMessage(t, TBM_SETPOS, TRUE, 99);
  EXPECT_EQ(pos(t), 20);
  EXPECT_EQ(SendMessage(t, TBM_GETNUMTICS, 0, 0), 11);
  SendMessage(t, TBM_SETTICFREQ, 5, 0);
  EXPECT_EQ(SendMessage(t, TBM_GETNUMTICS, 0, 0), 3);
  EXPECT_TRUE(SendMessage(t, TBM_SETTIC, 0, 12));
  EXPECT_EQ(SendMessage(t, TBM_GETTIC, 0, 0), 12);
  EXPECT_EQ(SendMessage(t, TBM_GETNUMTICS, 0, 0), 4);
  EXPECT_EQ(SendMessage(t, TBM_GETSELSTART, 0, 0), -1) << "no selection at first";
  SendMessage(t, TBM_SETSEL, TRUE, MAKELPARAM(12, 16));
  EXPECT_EQ(SendMessage(t, TBM_GETSELSTART, 0, 0), 12);
  EXPECT_EQ(SendMessage(t, TBM_GETSELEND, 0, 0), 16);
  test::runUntilIdle();
  RECT ch;
  SendMessage(t, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&ch));
  const int mid = (ch.left + ch.right) / 2;   // position 15
  EXPECT_EQ(test::pixel(t, mid, (ch.top + ch.bottom) / 2), GetSysColor(COLOR_HIGHLIGHT));
  SendMessage(t, TBM_CLEARSEL, TRUE, 0);
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(t, TBM_GETSELEND, 0, 0), -1);
  EXPECT_NE(test::pixel(t, mid, (ch.top + ch.bottom) / 2), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(TrackbarTest, VerticalTrackbarReportsVerticalScrollsWithTheMinimumAtTheTop) {
  HWND t = track(TBS_VERT, 30, 200);
  SendMessage(t, TBM_SETPOS, TRUE, 0);
  RECT top0;
  SendMessage(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&top0));
  test::pressKey(VK_DOWN);
  test::runUntilIdle();
  EXPECT_EQ(pos(t), 1);
  EXPECT_EQ(requests(WM_VSCROLL), std::vector<int>({TB_LINEDOWN, TB_ENDTRACK}));
  SendMessage(t, TBM_SETPOS, TRUE, 100);
  RECT bottom;
  SendMessage(t, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&bottom));
  EXPECT_GT(bottom.top, top0.top + 150);
}
