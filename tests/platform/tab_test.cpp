// The tab control: tabs with their program data, the current tab changed by clicks and
// arrows with the parent asked and told, refusal, requests of the program, and the display
// area.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/tab.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;

namespace {

constexpr int kId = 1200;

// A tab record with 8 bytes of program data, as the dialog manager keeps its pages.
struct PageItem {
  TCITEM head;
  int disabled = 0;   // the second half of the 8 bytes
};

class TabTest : public ctltest::Fixture {
 protected:
  HWND tabs(std::vector<const char*> names) {
    HWND t = make(WC_TABCONTROL, WS_TABSTOP, 10, 10, 300, 150, kId);
    EXPECT_TRUE(SendMessage(t, TCM_SETITEMEXTRA, 8, 0));
    int i = 0;
    for (const char* n : names) {
      PageItem it;
      it.head.mask = TCIF_TEXT | TCIF_PARAM;
      it.head.pszText = const_cast<char*>(n);
      it.head.lParam = 0;
      const int page = 100 + i;
      std::memcpy(&it.head.lParam, &page, sizeof page);
      it.disabled = i == 2 ? 1 : 0;
      std::memcpy(reinterpret_cast<char*>(&it.head.lParam) + 4, &it.disabled, 4);
      SendMessage(t, TCM_INSERTITEM, static_cast<WPARAM>(i++), reinterpret_cast<LPARAM>(&it));
    }
    test::runUntilIdle();
    ctltest::parent().notifyCodes.clear();
    return t;
  }
  static void clickTab(HWND t, int i) {
    RECT r;
    SendMessage(t, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    ctltest::clickAt(t, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    test::advanceTime(1000);
  }
};

}  // namespace

TEST_F(TabTest, TabsKeepTheirTextAndEightBytesOfData) {
  HWND t = tabs({"Flow", "Rain", "Plot"});
  EXPECT_EQ(SendMessage(t, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessage(t, TCM_GETCURSEL, 0, 0), 0) << "the first tab is current";
  PageItem back;
  char text[16] = {};
  back.head.mask = TCIF_TEXT | TCIF_PARAM;
  back.head.pszText = text;
  back.head.cchTextMax = sizeof text;
  ASSERT_TRUE(SendMessage(t, TCM_GETITEM, 2, reinterpret_cast<LPARAM>(&back)));
  EXPECT_EQ(std::string(text), "Plot");
  int page = 0, disabled = 0;
  std::memcpy(&page, &back.head.lParam, 4);
  std::memcpy(&disabled, reinterpret_cast<char*>(&back.head.lParam) + 4, 4);
  EXPECT_EQ(page, 102);
  EXPECT_EQ(disabled, 1);
  EXPECT_FALSE(SendMessage(t, TCM_SETITEMEXTRA, 4, 0)) << "the data size is fixed once there are tabs";
  EXPECT_FALSE(SendMessage(t, TCM_GETITEM, 3, reinterpret_cast<LPARAM>(&back)));
}

TEST_F(TabTest, ClicksAndArrowsChangeTheTabAskingAndTellingTheParent) {
  HWND t = tabs({"Flow", "Rain", "Plot"});
  clickTab(t, 1);
  EXPECT_EQ(SendMessage(t, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(GetFocus(), t);
  const std::vector<UINT> changed = {TCN_SELCHANGING, TCN_SELCHANGE};
  EXPECT_EQ(ctltest::parent().notifyCodes, changed);
  ctltest::parent().notifyCodes.clear();
  test::pressKey(VK_RIGHT);
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(t, TCM_GETCURSEL, 0, 0), 2);
  test::pressKey(VK_RIGHT);
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(t, TCM_GETCURSEL, 0, 0), 2) << "no tab beyond the last";
  ctltest::parent().notifyAnswer = 1;
  clickTab(t, 0);
  EXPECT_EQ(SendMessage(t, TCM_GETCURSEL, 0, 0), 2) << "the parent kept the tab";
  ctltest::parent().notifyAnswer = 0;
  ctltest::parent().notifyCodes.clear();
  EXPECT_EQ(SendMessage(t, TCM_SETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessage(t, TCM_SETCURSEL, 7, 0), -1);
  EXPECT_TRUE(ctltest::parent().notifyCodes.empty()) << "the program's changes are not reported";
  TCHITTESTINFO hi;
  RECT r;
  SendMessage(t, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  hi.pt = POINT{r.left + 3, r.top + 3};
  EXPECT_EQ(SendMessage(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hi)), 1);
  hi.pt = POINT{290, 100};
  EXPECT_EQ(SendMessage(t, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hi)), -1);
}

TEST_F(TabTest, DisplayAreaLiesBelowTheTabsAndAdjustsBothWays) {
  HWND t = tabs({"Flow"});
  RECT r{0, 0, 300, 150};
  SendMessage(t, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  RECT tab;
  SendMessage(t, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
  EXPECT_GT(r.top, tab.bottom);
  EXPECT_EQ(r.left, 2);
  SendMessage(t, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, (RECT{0, 0, 300, 150}));
  SendMessage(t, TCM_DELETEITEM, 0, 0);
  EXPECT_EQ(SendMessage(t, TCM_GETCURSEL, 0, 0), -1);
}
