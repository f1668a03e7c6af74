// Every item of the main menu's Analysis and Help pop-ups shows its prompt in the status bar
// while the user moves down it with the keyboard; items without a prompt clear the bar.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/statusbar.h"
#include "platform/surface.h"
#include "tests/support/menu_driving.h"
#include "tests/window/window_fixture.h"
#include "toolkit/window/wmenus.h"

namespace {

using namespace win;

class MainMenuPrompts : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    openMainWindow();
    test::runUntilIdle();
    ASSERT_EQ(tessar.error.LASTERROR, 0);
  }
  void TearDown() override {
    test::setIdleHook({});
    WindowFixture::TearDown();
  }
  static std::string statusText() { return tw::test::statusBarText(winslot(0).wMessLine); }
  static POINT barItem(int i) { return tw::test::menuBarItem(winslot(0).wWindow, {"File", "Analysis", "Help"}, i); }
  // Opens bar item i with a click, reads the bar, then presses Down `items` times reading
  // the bar after each, and leaves the menu with Escape.
  static std::vector<std::string> walk(int i, int items) {
    std::vector<std::function<void()>> steps;
    auto seen = std::make_shared<std::vector<std::string>>();
    for (int k = 0; k < items; ++k)
      steps.push_back([seen] {
        seen->push_back(statusText());
        test::pressKey(VK_DOWN);
      });
    steps.push_back([seen] {
      seen->push_back(statusText());
      test::pressKey(VK_ESCAPE);
    });
    steps.push_back([] { test::pressKey(VK_ESCAPE); });
    tw::test::script(std::move(steps));
    const POINT p = barItem(i);
    test::click(p.x, p.y);
    test::runUntilIdle();
    test::setIdleHook({});
    return *seen;
  }
};

TEST_F(MainMenuPrompts, EachItemShowsItsPrompt) {
  struct Case {
    const char* why;
    int bar, items;
    std::vector<std::string> want;
  };
  const Case cases[] = {
      {"Analysis: the pop-up's prompt, then its six items", 1, 6,
       {"Baseflow separation, baseflow regression", "Create a new daily flow dataset",
        "Review daily flows and rainfall, check missing data", "Separates baseflow from a series of flows",
        "Select months over which to aggregate flows and rainfall", "Create new annual dataset",
        "Undertake regression to determine long term trends"}},
      {"Help: the pop-up and Help and About have no prompt", 2, 4,
       {"", "", "Opens a PDF version of the TarnWalker user manual", "",
        "View any text file using a built-in text editor"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(walk(c.bar, c.items), c.want);
    EXPECT_FALSE(SendMessage(winslot(0).wMessLine, SB_ISSIMPLE, 0, 0)) << "the bar shows its parts again";
  }
}

}  // namespace
