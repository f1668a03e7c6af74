// The separation view: zoom and scroll arithmetic on a 10,000-day record, and the view driven as a user would from the main menu: a new parameter typed and applied, the BFI in the title recomputed, and the way back to the main menu leaving the years aggregated from the new separation.
#include "app/separation.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <deque>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
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
#include "tests/hang_guard.h"
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


// The middle of a field of the parameter dialog, on the screen.
win::POINT middle(int id) {
  win::RECT r{};
  win::GetWindowRect(win::GetDlgItem(yycurrentdialog(), id), r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A copy of a stored project in a folder of the test's own, the project's file name.
fs::path projectcopy(const std::string& name, const std::string& from, const std::string& to) {
  const fs::path dir = fs::temp_directory_path() / ("tw_sep_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ifstream in(fs::path(TW_FIXTURES) / "project-status3.tw", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!from.empty()) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
  }
  const fs::path path = dir / name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// A step: what the parameter field shows and reads, then Finished with the field untouched.
tw::test::Step lookthenfinish(float& read, std::string& shown) {
  return [&read, &shown] {
    WDialogGetReal(1019, read);
    shown = yywindowtext(win::GetDlgItem(yycurrentdialog(), 1019), 255);
    const win::POINT p = middle(1);
    win::test::click(p.x, p.y);
  };
}

bool openproject(const fs::path& path) {
  twvars.filename = path.string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  const bool ok = fileopen_read();
  win::test::clearMessageBoxAnswers();
  win::test::clearMessageBoxes();
  return ok;
}

// Was: the box explaining a refusal took the focus, the field stored the refused 1.5 as it
// lost it, and the next field change, Zoom In or Finished separated with 1.5 (BFI 0). After
// the box the field keeps the entry to correct, reads the last accepted value by every
// route, and no separation runs with the refused value.
TEST_F(SeparationView, ARefusedParameterNeverReachesTheSeparationAfterTheBox) {
  tw::test::scriptuser({[] { win::test::pressKey(win::VK_RETURN); }});
  mainprogram_start();
  const fs::path path = projectcopy("refused.tw", "", "");
  ASSERT_TRUE(openproject(path));
  baseflowseparation();
  ASSERT_EQ(twvars.errorflag, 0);
  const float before = twvars.filterparam;
  const float bfi = twvars.BFI;
  ASSERT_FLOAT_EQ(before, 0.925f);
  struct Seen {
    std::string where;
    float param, read, bfi;
    std::string text;
    int focus;
  };
  std::vector<Seen> seen;
  auto look = [&seen](std::string where) {
    float read = -1;
    WDialogGetReal(1019, read);
    win::HWND f = win::GetFocus();
    seen.push_back({std::move(where), twvars.filterparam, read, twvars.BFI,
                    yywindowtext(win::GetDlgItem(yycurrentdialog(), 1019), 255), f != nullptr ? win::GetDlgCtrlID(f) : 0});
  };
  auto down = [](int id) {
    return [id] {
      const win::POINT p = middle(id);
      win::test::mouseDown(win::test::Button::Left, p.x, p.y);
    };
  };
  auto up = [](int id) {
    return [id] {
      const win::POINT p = middle(id);
      win::test::mouseUp(win::test::Button::Left, p.x, p.y);
    };
  };
  struct Route {
    const char* name;
    std::vector<tw::test::Step> input;   // the program runs between the steps
  };
  const std::vector<Route> routes = {
      {"Enter", {[] { win::test::pressKey(win::VK_RETURN); }}},
      {"Finished", {down(1), up(1)}},
      {"Zoom In", {down(1025), up(1025)}},
      {"Logarithmic", {down(1021), up(1021)}},
      {"Tab", {[] { win::test::pressKey(win::VK_TAB); }}},
      {"Linear", {down(1020), up(1020)}},
      {"closing", {[] { win::PostMessage(yycurrentdialog(), win::WM_SYSCOMMAND, win::SC_CLOSE, 0); }}},
  };
  std::deque<tw::test::Step> steps;
  for (const Route& route : routes) {
    const std::string name = route.name;
    steps.push_back([down] { down(1019)(); });
    steps.push_back([up] {
      up(1019)();
      win::test::pressKey('A', win::test::kCtrl);
      win::test::typeText("1.5");
    });
    steps.push_back([] { win::test::pressKey(win::VK_RETURN); });   // the box says why
    for (std::size_t k = 0; k < route.input.size(); ++k) {
      const tw::test::Step input = route.input[k];
      steps.push_back([look, name, input, k] {
        look(k == 0 ? "after the box, before " + name : "during " + name);
        input();
      });
    }
    steps.push_back([look, name, down] {
      look("after " + name);
      down(1019)();
    });
    steps.push_back([up] { up(1019)(); });
  }
  // A parameter with more decimals than the field shows is used as shown (and as saved).
  steps.push_back([] {
    win::test::pressKey('A', win::test::kCtrl);
    win::test::typeText("0.9533");
  });
  steps.push_back([] { win::test::pressKey(win::VK_RETURN); });
  steps.push_back([] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); });
  tw::test::scriptuser(steps, {});
  {
    // A script that goes astray leaves the dialog waiting for ever: fail instead.
    HangGuard bound("the parameter dialog's routes", 120);
    bfsep_main();
  }
  ASSERT_EQ(seen.size(), routes.size() * 2 + 4);   // two looks per route, one more for each click
  for (const Seen& s : seen) {
    SCOPED_TRACE(s.where);
    EXPECT_FLOAT_EQ(s.param, before) << "the separation's parameter";
    EXPECT_FLOAT_EQ(s.bfi, bfi);
    EXPECT_FLOAT_EQ(s.read, before) << "the field reads the last accepted value";
    if (s.where.rfind("after the box", 0) == 0) {
      EXPECT_EQ(s.text, "1.5") << "the entry stays to be corrected";
      EXPECT_EQ(s.focus, 1019);
    } else {
      EXPECT_TRUE(s.text == "1.5" || s.text == "0.925") << s.text;
    }
  }
  std::size_t explained = 0;
  for (const auto& b : win::test::messageBoxes()) explained += b.text == "Please enter a number from 0.900 to 0.990." ? 1 : 0;
  EXPECT_EQ(explained, routes.size() + 2) << "the box at each Enter and Finished";
  EXPECT_FLOAT_EQ(twvars.filterparam, 0.953f);
  fs::remove_all(path.parent_path());
}

// Was: a project saved with the parameter 0.500 (the file takes any between 0 and 1) was
// separated with 0.5 while the dialog, refused the value, showed 0.925, and Finished untouched
// then switched the separation to 0.925. The dialog shows the parameter in use and says that
// it lies outside its range; Finished untouched changes nothing; the save keeps 0.500.
TEST_F(SeparationView, AStoredParameterOutsideTheFieldsRangeIsShownKeptAndSaved) {
  tw::test::scriptuser({[] { win::test::pressKey(win::VK_RETURN); }});
  mainprogram_start();
  const fs::path path = projectcopy("wide.tw", "Digital filter parameter:0.925", "Digital filter parameter:0.500");
  ASSERT_TRUE(openproject(path));
  ASSERT_FLOAT_EQ(twvars.filterparam, 0.5f);
  baseflowseparation();   // the menu's Baseflow separation
  ASSERT_EQ(twvars.errorflag, 0);
  const float bfi = twvars.BFI;
  float read = -1;
  std::string shown;
  float retyped = -1;
  tw::test::scriptuser(
      {lookthenfinish(read, shown),
       [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40010, 0); },   // the dialog again
       [] {
         const win::POINT p = middle(1019);
         win::test::click(p.x, p.y);
         win::test::pressKey('A', win::test::kCtrl);
         win::test::typeText("0.500");
       },
       [&] {
         win::test::pressKey(win::VK_TAB);   // the parameter in use typed again is accepted
       },
       [&] {
         retyped = twvars.filterparam;
         const win::POINT p = middle(1);
         win::test::click(p.x, p.y);
       },
       [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }},
      {win::VK_RETURN, win::VK_RETURN, win::VK_RETURN});   // both notices, then Yes: save
  {
    HangGuard bound("the parameter dialog with a stored parameter", 120);
    bfsep_main();
  }
  EXPECT_EQ(shown, "0.500") << "the dialog shows the parameter in use";
  EXPECT_FLOAT_EQ(read, 0.5f);
  EXPECT_FLOAT_EQ(retyped, 0.5f);
  EXPECT_FLOAT_EQ(twvars.filterparam, 0.5f) << "Finished untouched changes nothing";
  EXPECT_FLOAT_EQ(twvars.BFI, bfi);
  const auto& boxes = win::test::messageBoxes();
  ASSERT_GE(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text,
            "The filter parameter in use, 0.500, lies outside the range 0.900 to 0.990 that this dialog offers.\r"
            "It stays in use until you enter another.");
  EXPECT_EQ(boxes[0].title, "Baseflow Parameters");
  // Saved and opened again: the same parameter and index.
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Digital filter parameter:0.500"), std::string::npos);
  ASSERT_TRUE(openproject(path));
  EXPECT_FLOAT_EQ(twvars.filterparam, 0.5f);
  EXPECT_NEAR(twvars.BFI, bfi, 0.005f);
  baseflowseparation();
  EXPECT_FLOAT_EQ(twvars.BFI, bfi) << "the reopened project separates as before";
  fs::remove_all(path.parent_path());
}

// Was: the parameter a stored file holds was used unrounded while the dialog's range was
// widened to it rounded to three decimals: a stored .9994, .9995, .8996 or 5E-1 (read as
// 0.0005) was refused by the field without a word, the box named 0.999 as in use, the field
// showed 0.925 and Finished untouched switched the separation to 0.925; a stored .0004, 1e-30
// or .9999 showed as 0.000 or 1.000, and Finished untouched and a save wrote a file the reader
// refuses. One rule for every stored value: the parameter in use is the one the file keeps
// (three decimals, 0.001 to 0.999), the dialog shows it, Finished untouched changes nothing,
// the save writes it and the reopened project separates as before.
TEST_F(SeparationView, EveryStoredParameterIsShownUsedSavedAndReopenedAsOne) {
  tw::test::scriptuser({[] { win::test::pressKey(win::VK_RETURN); }});
  mainprogram_start();
  struct Case {
    const char* why;
    const char* stored;   // columns 26-30 of the parameter's line
    const char* inuse;    // shown, used and saved; nullptr: the file is refused
    bool outside;         // outside the dialog's 0.900-0.990: the box says so
  };
  const Case cases[] = {
      {"the default", "0.925", "0.925", false},
      {"more digits than the field shows", ".9533", "0.953", false},
      {"rounds up onto the lower bound", ".8996", "0.900", false},
      {"rounds down to 0.999", ".9994", "0.999", true},
      {"half way at 0.9995", ".9995", "0.999", true},
      {"rounds to 1.000: the nearest a file keeps", ".9999", "0.999", true},
      {"rounds to 0.000: the nearest a file keeps", ".0004", "0.001", true},
      {"a tiny exponent form", "1e-30", "0.001", true},
      {"an exponent without a point reads as 0.0005", "5E-1", "0.001", true},
      {"no point: three implied decimals", "    1", "0.001", true},
      {"far outside the dialog's range", "0.500", "0.500", true},
      {"0 is refused by the reader", "0.000", nullptr, false},
      {"1 is refused by the reader", "1.000", nullptr, false},
      {"a blank field reads as 0", "     ", nullptr, false},
      {"a text that is no number", "a.bcd", nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.why) + ": \"" + c.stored + "\"");
    const fs::path path = projectcopy("stored.tw", "Digital filter parameter:0.925",
                                      std::string("Digital filter parameter:") + c.stored);
    if (c.inuse == nullptr) {
      EXPECT_FALSE(openproject(path));
      continue;
    }
    ASSERT_TRUE(openproject(path));
    const float inuse = std::stof(c.inuse);
    EXPECT_FLOAT_EQ(twvars.filterparam, inuse) << "the parameter in use is the one the file keeps";
    baseflowseparation();   // the menu's Baseflow separation
    ASSERT_EQ(twvars.errorflag, 0);
    const float bfi = twvars.BFI;
    std::string shown;
    float read = -1;
    tw::test::scriptuser(
        {lookthenfinish(read, shown),
         [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }},
        {});   // Enter to every box: the notice, Yes to the save, the save's notice
    {
      HangGuard bound("the parameter dialog with a stored parameter", 120);
      bfsep_main();
    }
    EXPECT_EQ(shown, c.inuse) << "the dialog shows the parameter in use";
    EXPECT_FLOAT_EQ(read, inuse);
    EXPECT_FLOAT_EQ(twvars.filterparam, inuse) << "Finished untouched changes nothing";
    EXPECT_FLOAT_EQ(twvars.BFI, bfi);
    const auto& boxes = win::test::messageBoxes();
    ASSERT_FALSE(boxes.empty());
    if (c.outside) {
      EXPECT_EQ(boxes.front().text, std::string("The filter parameter in use, ") + c.inuse +
                                        ", lies outside the range 0.900 to 0.990 that this dialog offers.\r"
                                        "It stays in use until you enter another.");
    } else {
      EXPECT_EQ(boxes.front().title, "Save now?");
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(std::string("Digital filter parameter:") + c.inuse + "\n"), std::string::npos)
        << "the save writes the parameter shown";
    ASSERT_TRUE(openproject(path)) << "the program opens what it wrote";
    EXPECT_FLOAT_EQ(twvars.filterparam, inuse);
    baseflowseparation();
    EXPECT_FLOAT_EQ(twvars.BFI, bfi) << "the reopened project separates as before";
  }
  fs::remove_all(fs::temp_directory_path() / ("tw_sep_" + std::to_string(::getpid())));
}

// The field widened to a stored parameter of 0.001 takes no entry the file could not keep:
// 0.000 and 1.000 (which the reader refuses) and 0.0004 are refused with the range named,
// and the parameter in use stays.
TEST_F(SeparationView, EntriesTheFileCannotKeepAreRefusedInTheWidenedField) {
  tw::test::scriptuser({[] { win::test::pressKey(win::VK_RETURN); }});
  mainprogram_start();
  const fs::path path = projectcopy("edge.tw", "Digital filter parameter:0.925", "Digital filter parameter:.0004");
  ASSERT_TRUE(openproject(path));
  baseflowseparation();
  ASSERT_EQ(twvars.errorflag, 0);
  const float bfi = twvars.BFI;
  std::deque<tw::test::Step> steps;
  std::vector<float> during;
  for (const char* typed : {"0.000", "1.000", "0.0004", "0.001"}) {
    steps.push_back([typed, &during] {
      if (std::string(typed) != "0.000") during.push_back(twvars.filterparam);   // after the refusal
      const win::POINT p = middle(1019);
      win::test::click(p.x, p.y);
      win::test::pressKey('A', win::test::kCtrl);
      win::test::typeText(typed);
    });
    steps.push_back([] { win::test::pressKey(win::VK_RETURN); });   // Finished: refused, the last (the value in use) taken
  }
  steps.push_back([] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); });
  tw::test::scriptuser(steps, {win::VK_RETURN, win::VK_RETURN, win::VK_RETURN, win::VK_RETURN, 'N'});
  {
    HangGuard bound("the widened parameter field", 120);
    bfsep_main();
  }
  std::size_t refused = 0;
  for (const auto& b : win::test::messageBoxes()) refused += b.text == "Please enter a number from 0.001 to 0.990." ? 1 : 0;
  EXPECT_EQ(refused, 3u);
  ASSERT_EQ(during.size(), 3u);
  for (const float a : during) EXPECT_FLOAT_EQ(a, 0.001f);
  EXPECT_FLOAT_EQ(twvars.filterparam, 0.001f);
  EXPECT_FLOAT_EQ(twvars.BFI, bfi);
  fs::remove_all(path.parent_path());
}

}  // namespace
