// Level-3 reports: the report goes into part 1 of the root window's status bar, whichever
// window is current.
#include <gtest/gtest.h>

#include <string>

#include "platform/statusbar.h"
#include "tests/window/window_fixture.h"
#include "toolkit/text/errors.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/geometry.h"

namespace {

class LevelThree : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    tessar.editor.EDITBUF.assign(MAXWINDOWS, {});  // as start-up allocates it
  }
  void TearDown() override {
    tessar.error = ErrorState{};
    WindowFixture::TearDown();
  }
  static void openRoot() {
    WindowOpenOptions o;
    o.flags = 39;
    o.width = 600;
    o.height = 300;
    o.menu = 30001;
    open(o);
  }
  static std::string rootStatus() {
    char buf[300] = {};
    win::SendMessage(winslot(0).wMessLine, win::SB_GETTEXT, 0, reinterpret_cast<win::LPARAM>(buf));
    return buf;
  }
};

TEST_F(LevelThree, ReportGoesToTheRootStatusBar) {
  openRoot();
  idebuglevel(3);
  yyerror(1007, "WDialogLoad");
  EXPECT_EQ(rootStatus(), "Routine:WDialogLoad Error=1007:Dialog not present in resource - unable to load");
  EXPECT_EQ(tessar.error.LASTERROR, 1007);
  EXPECT_EQ(tessar.error.DEBUGLEVEL, 3);
}

TEST_F(LevelThree, CurrentChildWindowStaysCurrent) {
  openRoot();
  int child = 0;
  WindowOpenChildOptions o;
  o.width = 200;
  o.height = 100;
  WindowOpenChild(child, o);
  ASSERT_GT(child, 0);
  ASSERT_EQ(winfowindow(4), child);
  idebuglevel(3);
  yyerror(1003, "xxpost");
  EXPECT_EQ(rootStatus(), "Internal routine:xxpost Error=1003:Invalid window handle");
  EXPECT_EQ(winfowindow(4), child);
  EXPECT_EQ(tessar.error.LASTERROR, 1003);
}

TEST_F(LevelThree, WithoutWindowsOnlyTheNumberRemains) {
  idebuglevel(3);
  yyerror(1010, "WDialogGetReal");  // selecting the missing root window fails silently
  EXPECT_EQ(tessar.error.LASTERROR, 1010);
  EXPECT_EQ(tessar.error.DEBUGLEVEL, 3);
}

}  // namespace
