// The separation view: zoom and scroll arithmetic on a 10,000-day record, and the view driven as a user would from the main menu: a new parameter typed and applied, the BFI in the title recomputed, and the way back to the main menu leaving the years aggregated from the new separation.
#include "app/separation.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/aggregate.h"
#include "app/baseflow.h"
#include "app/mainprogram.h"
#include "app/modules.h"
#include "app/projectfile.h"
#include "platform/message_box.h"
#include "platform/test_api.h"
#include "tests/support/scripted_user.h"
#include "tests/window/window_fixture.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"

namespace fs = std::filesystem;

namespace {

TEST(SepZoom, TheWorkedExamples) {
  twvars.ndays = 10000;
  struct Case {
    const char* why;
    int a, b, button, wanta, wantb;
  };
  const Case cases[] = {
      {"zoom in", 1, 10000, 1025, 2000, 8001},
      {"scroll left", 2000, 8001, 1023, 800, 6801},
      {"scroll right", 2000, 8001, 1024, 3200, 9201},
      {"zoom out stops at the ends", 2000, 8001, 1022, 800, 9201},
      {"no zoom in below six days", 10, 15, 1025, 10, 15},
      {"scrolling left stops at day 1", 1, 501, 1023, 1, 501},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    plotdat.firstday = c.a;
    plotdat.lastday = c.b;
    sepzoom(c.button);
    EXPECT_EQ(plotdat.firstday, c.wanta);
    EXPECT_EQ(plotdat.lastday, c.wantb);
  }
  plotdat.vscale = "LIN";
  plotdat.datamax = 400;
  struct Vertical {
    const char* why;
    float lo, hi;
    int button;
    float wantlo, wanthi;
  };
  const Vertical vertical[] = {
      {"zoom in lowers the top by a fifth", 0, 420, 1026, 0, 336},
      {"zoom out is capped at the data maximum", 0, 420, 1027, 0, 400},
      {"up moves the range by a fifth", 0, 300, 1037, 60, 360},
      {"up stops at the data maximum", 0, 380, 1037, 20, 400},
      {"down stops at zero", 30, 330, 1038, 0, 300},
      {"no zoom in on a range of 50 or less", 0, 50, 1026, 0, 50},
  };
  for (const Vertical& v : vertical) {
    SCOPED_TRACE(v.why);
    plotdat.vmin = v.lo;
    plotdat.vmax = v.hi;
    sepzoom(v.button);
    EXPECT_FLOAT_EQ(plotdat.vmin, v.wantlo);
    EXPECT_FLOAT_EQ(plotdat.vmax, v.wanthi);
  }
}

class SeparationView : public twtest::WindowFixture {
 protected:
  void TearDown() override {
    win::test::setIdleHook(nullptr);
    WindowFixture::TearDown();
  }
  // Message boxes get No.
  static void user(std::deque<tw::test::Step> steps) { tw::test::scriptuser(std::move(steps), {'N', 'N', 'N'}); }
};

TEST_F(SeparationView, ANewParameterIsAppliedAndTheYearsFollowIt) {
  user({[] { win::test::pressKey(win::VK_RETURN); }});
  mainprogram_start();
  twvars.filename = (fs::path(TW_FIXTURES) / "project-status3.tw").string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  const float before = twvars.BFI;
  std::size_t year = 0;
  while (year + 1 < static_cast<std::size_t>(twvars.numyears) && twvars.annual[year].flowflag != 1) ++year;
  ASSERT_EQ(twvars.annual[year].flowflag, 1) << "a complete year to compare";
  const float oldannual = twvars.annual[year].baseflow;
  // The user types 0.980 into the parameter, confirms it with Finished, then returns to the
  // main menu and declines to save.
  user({[] {
          WDialogPutString(1019, "0.980");
          win::test::pressKey(win::VK_RETURN);
        },
        [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }});
  baseflowseparation();
  ASSERT_EQ(twvars.errorflag, 0);
  bfsep_main();
  EXPECT_FLOAT_EQ(twvars.filterparam, 0.98f) << "the parameter confirmed with Finished is applied";
  EXPECT_NE(twvars.BFI, before);
  EXPECT_EQ(twvars.status, 3);
  // The years hold the new separation.
  const float annual = twvars.annual[year].baseflow;
  dailytoannual();
  EXPECT_EQ(twvars.annual[year].baseflow, annual);
  EXPECT_NE(annual, oldannual);
}

// The scaling radio buttons act on the click itself: Logarithmic switches the plot to LOG
// with its floor at 0.01, Linear back to LIN, each without leaving the field.
TEST_F(SeparationView, EachClickOnTheScalingButtonsSwitchesThePlotAtOnce) {
  user({[] { win::test::pressKey(win::VK_RETURN); }});
  mainprogram_start();
  twvars.filename = (fs::path(TW_FIXTURES) / "project-status3.tw").string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  baseflowseparation();
  ASSERT_EQ(twvars.errorflag, 0);
  auto click = [](int id) {
    win::RECT r{};
    win::GetWindowRect(win::GetDlgItem(yycurrentdialog(), id), r);
    win::test::click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  std::string afterlog, afterlin;
  float floor = -1;
  user({[&] { click(1021); },
        [&] {
          afterlog = plotdat.vscale;
          floor = plotdat.vmin;
          click(1020);
        },
        [&] {
          afterlin = plotdat.vscale;
          win::test::pressKey(win::VK_RETURN);   // Finished
        },
        [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }});
  bfsep_main();
  EXPECT_EQ(afterlog, "LOG");
  EXPECT_FLOAT_EQ(floor, 0.01f);
  EXPECT_EQ(afterlin, "LIN");
}

// 1.5 typed into the parameter (range 0.90-0.99) and Finished pressed did nothing, with no
// word of why: the box names the range, the dialog stays with the field to correct, and
// the refused entry is never applied.
TEST_F(SeparationView, FinishedWithAParameterOutsideItsRangeSaysWhy) {
  tw::test::scriptuser({[] { win::test::pressKey(win::VK_RETURN); }});
  mainprogram_start();
  twvars.filename = (fs::path(TW_FIXTURES) / "project-status3.tw").string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  win::test::clearMessageBoxes();
  baseflowseparation();
  ASSERT_EQ(twvars.errorflag, 0);
  const float before = twvars.filterparam;
  auto click = [](int id) {
    win::RECT r{};
    win::GetWindowRect(win::GetDlgItem(yycurrentdialog(), id), r);
    win::test::click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  float during = -1;
  int focus = 0;
  bool stillup = false;
  tw::test::scriptuser(
      {[&] { click(1019); },
       [] {
         win::test::pressKey('A', win::test::kCtrl);
         win::test::typeText("1.5");
       },
       [] { win::test::pressKey(win::VK_RETURN); },   // Finished: refused, the box says why
       [&] {
         during = twvars.filterparam;
         stillup = yydialogfind(110) > 0;
         win::HWND f = win::GetFocus();
         focus = f != nullptr ? win::GetDlgCtrlID(f) : 0;
         win::test::pressKey('A', win::test::kCtrl);
         win::test::typeText("0.95");
       },
       [] { win::test::pressKey(win::VK_RETURN); },
       [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }},
      {win::VK_RETURN, 'N'});
  bfsep_main();
  const auto& boxes = win::test::messageBoxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.front().text, "Please enter a number from 0.900 to 0.990.");
  EXPECT_EQ(boxes.front().title, "Baseflow Parameters");
  EXPECT_TRUE(stillup) << "the dialog stays for the entry to be corrected";
  EXPECT_EQ(focus, 1019);
  EXPECT_FLOAT_EQ(during, before) << "the refused entry was never applied";
  EXPECT_FLOAT_EQ(twvars.filterparam, 0.95f) << "the corrected one is";
}

}  // namespace
