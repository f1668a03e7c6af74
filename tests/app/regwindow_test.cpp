// The regression window driven as a user would from the main menu, on a project made from
// twenty years of a real daily record: the fit with every year, a variable unticked and
// ticked, an outlier year dropped, Finished, and the way back to the main menu.
#include "app/regwindow.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <random>
#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/aggregate.h"
#include "app/baseflow.h"
#include "app/mainprogram.h"
#include "app/modules.h"
#include "app/plots.h"
#include "app/projectfile.h"
#include "platform/message_box.h"
#include "platform/printer.h"
#include "platform/statusbar.h"
#include "platform/test_api.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/app/usgs_project.h"
#include "tests/support/scripted_user.h"
#include "tests/window/window_fixture.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/grid/grid.h"
#include "toolkit/text/convert.h"
#include "toolkit/window/geometry.h"

namespace fs = std::filesystem;

namespace {

std::string shot(const std::string& name) { return (fs::path(TW_SHOT_DIR) / name).string(); }

// The status-3 fixture made from twenty years of the USGS record (tests/app/usgs_project.h).
void loadproject() {
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(tw::test::usgsproject());
  win::test::clearMessageBoxAnswers();
  ASSERT_EQ(twvars.errorflag, 0);
}

struct Fit {
  int nsample = 0;
  float b[6] = {};
  float R2 = 0;
};

Fit fit() {
  Fit f;
  f.nsample = regressdat.nsample;
  for (int i = 0; i < 6; ++i) f.b[i] = regressdat.coeffs[static_cast<std::size_t>(i)];
  f.R2 = regressdat.R2;
  return f;
}

void print(const char* what, const Fit& f) {
  std::printf("%-28s nsample %2d  intercept %10.3f trend %9.3f rain %8.3f dam %8.3f  R2 %.3f\n", what, f.nsample,
              f.b[0], f.b[1], f.b[2], f.b[3], f.R2);
}

win::HWND dialog() { return yycurrentdialog(); }

void put(std::string& field, const std::string& text) {
  const std::size_t n = field.size();
  field = text;
  field.resize(n, ' ');
}

void clickfield(int id) {
  win::RECT r{};
  win::GetWindowRect(win::GetDlgItem(dialog(), id), r);
  win::test::click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// A click on a cell of a grid of the dialog (0-based column and row).
void clickcell(int grid, int column, int row) {
  GridInstance* g = gridservices.locate(grid);
  ASSERT_NE(g, nullptr);
  int x = 0;
  for (int c = g->firstvisiblecolumn; c < column; ++c) x += g->data().columns[static_cast<std::size_t>(c)].width - 1;
  win::POINT p{x + g->data().columns[static_cast<std::size_t>(column)].width / 2,
               (row - g->firstvisiblerow) * (g->rowheight - 1) + g->rowheight / 2};
  win::ClientToScreen(g->cellarea, p);
  win::test::click(p.x, p.y);
}

void saveshots(const std::string& name) {
  win::test::savePng(winslot(0).hClient, shot(name + "_plot.png"), false);
  win::test::savePng(dialog(), shot(name + "_dialog.png"), false);
}

class RegressionWindow : public twtest::WindowFixture {
 protected:
  void TearDown() override {
    win::test::setIdleHook(nullptr);
    WindowFixture::TearDown();
  }
};

TEST_F(RegressionWindow, TheUserRefitsDropsAnOutlierAndGoesBack) {
  tw::test::scriptuser({tw::test::pressed(win::VK_RETURN)});
  mainprogram_start();
  loadproject();
  Fit all, norain, outliersout;
  std::string verdict;
  bool rainrowfilled = false;
  // The user ticks and then presses Tab, as on the parameter dialog; the tick itself already
  // refits, and leaving the field refits once more with the same choice.
  const tw::test::Step tab = tw::test::pressed(win::VK_TAB);
  tw::test::scriptuser(
      {// "Include outliers?" ticked: the fit takes every year.
       [] { clickfield(1032); }, tab,
       [&] {
         all = fit();
         saveshots("regression_all_years");
         clickcell(1031, 1, 0);   // the rain's box: the click unticks it
       },
       tab,
       [&] {
         norain = fit();
         std::string s;
         WGridGetCellString(1031, 3, 1, s);
         rainrowfilled = !s.empty();
         saveshots("regression_rain_unticked");
         clickcell(1031, 1, 0);   // and ticked again
       },
       tab,
       // "Include outliers?" unticked: the outlier year goes and the fit changes.
       [] { clickfield(1032); }, tab,
       [&] {
         outliersout = fit();
         char buffer[40] = {};
         win::GetDlgItemText(dialog(), 1044, buffer, sizeof buffer);
         verdict = buffer;
         saveshots("regression_outlier_dropped");
         clickfield(1029);   // Finished
       },
       [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }},
      {'N'});
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40008, 0);
  EXPECT_FALSE(mainprogram_turn());
  print("every year, rain and dam", all);
  print("rain unticked", norain);
  print("outliers left out", outliersout);
  std::printf("lag-1 verdict: %s\n", verdict.c_str());
  int complete = 0;
  for (int y = 0; y < twvars.numyears; ++y) {
    const AnnualRecord& a = twvars.annual[static_cast<std::size_t>(y)];
    complete += a.flowflag == 1 && a.rainflag == 1 ? 1 : 0;
  }
  EXPECT_EQ(all.nsample, complete) << "every complete year takes part";
  EXPECT_NE(all.b[2], 0.0f);
  EXPECT_EQ(norain.nsample, all.nsample);
  EXPECT_EQ(norain.b[3], 0.0f) << "without rain the dam coefficient moves to entry 3";
  EXPECT_FALSE(rainrowfilled) << "an unticked variable's numeric cells are empty";
  EXPECT_LT(outliersout.nsample, all.nsample) << "the flood year is dropped";
  EXPECT_NE(outliersout.b[1], all.b[1]) << "the fit changes";
  EXPECT_EQ(twvars.raininclude, 1);
  EXPECT_EQ(regressdat.includeoutliers, 0);
  EXPECT_EQ(twvars.status, 4) << "Finished after a successful fit";
  EXPECT_FALSE(verdict.empty());
}


// A lag-1 correlation outside its limits is shown with its value: the separation at 0.98 and
// the time trend alone leave the years' residuals correlated.
TEST_F(RegressionWindow, ABadLagOneCorrelationShowsItsValue) {
  tw::test::scriptuser({tw::test::pressed(win::VK_RETURN)});
  mainprogram_start();
  loadproject();
  twvars.filterparam = 0.98f;
  baseflowseparation();
  dailytoannual();
  twvars.raininclude = 0;
  twvars.userinclude = {0, 0, 0};
  regressdat.includeoutliers = 1;
  std::string verdict;
  tw::test::scriptuser({[&] {
                          char buffer[40] = {};
                          win::GetDlgItemText(dialog(), 1044, buffer, sizeof buffer);
                          verdict = buffer;
                          clickfield(1029);   // Finished
                        },
                        [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }},
                       {'N'});
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40008, 0);
  EXPECT_FALSE(mainprogram_turn());
  const float rho = regressdat.lag1[0];
  std::printf("lag-1 correlation %.3f, limits %.3f to %.3f: %s\n", rho, regressdat.lag1[2], regressdat.lag1[1], verdict.c_str());
  ASSERT_GT(rho, regressdat.lag1[1]) << "the correlation lies above its upper limit";
  char want[32];
  std::snprintf(want, sizeof want, "Bad! (P=%.3f)", rho);
  EXPECT_EQ(verdict, want);
}

// Each click on "Include outliers?" refits at once, with no Tab or other field in between:
// ticked takes every year, unticked drops the flood year, ticked again takes it back.
TEST_F(RegressionWindow, EachTickOfIncludeOutliersRefitsAtOnce) {
  tw::test::scriptuser({tw::test::pressed(win::VK_RETURN)});
  mainprogram_start();
  loadproject();
  Fit all, dropped, again;
  int flagticked = -1, flagunticked = -1;
  tw::test::scriptuser(
      {[] { clickfield(1032); },
       [&] {
         all = fit();
         flagticked = regressdat.includeoutliers;
         clickfield(1032);
       },
       [&] {
         dropped = fit();
         flagunticked = regressdat.includeoutliers;
         saveshots("regression_unticked_by_one_click");
         clickfield(1032);
       },
       [&] {
         again = fit();
         clickfield(1029);   // Finished
       },
       [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }},
      {'N'});
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40008, 0);
  EXPECT_FALSE(mainprogram_turn());
  int complete = 0;
  for (int y = 0; y < twvars.numyears; ++y) {
    const AnnualRecord& a = twvars.annual[static_cast<std::size_t>(y)];
    complete += a.flowflag == 1 && a.rainflag == 1 ? 1 : 0;
  }
  EXPECT_EQ(flagticked, 1);
  EXPECT_EQ(all.nsample, complete) << "the first click ticks and refits with every year";
  EXPECT_EQ(flagunticked, 0);
  EXPECT_LT(dropped.nsample, all.nsample) << "the second click unticks and drops the flood year";
  EXPECT_EQ(again.nsample, all.nsample) << "the third click takes it back";
  EXPECT_EQ(again.b[1], all.b[1]);
  EXPECT_EQ(regressdat.includeoutliers, 1);
}

// The fixture's three years are too few: each run reports it, the plot area stays empty, and
// Finished (pressed with Enter, the default button, never Help) leaves the status at 3.
TEST_F(RegressionWindow, AFailedFitClearsThePlotAndLeavesStatusThree) {
  tw::test::scriptuser({tw::test::pressed(win::VK_RETURN)});
  mainprogram_start();
  twvars.filename = (fs::path(TW_FIXTURES) / "project-status3.tw").string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  ASSERT_EQ(twvars.status, 3);
  regressdat.includeoutliers = 0;
  // Something on the screen that the failed fit must not leave behind.
  displayplot();
  int boxes = 0;
  bool blank = false;
  win::test::setIdleHook([&, step = 0]() mutable {
    if (win::test::openMessageBox() != nullptr) {
      ++boxes;
      win::test::pressKey(step >= 4 ? 'N' : win::VK_RETURN);
      return;
    }
    switch (step++) {
      case 0: clickfield(1032); break;                     // ticked: one run
      case 1: win::test::pressKey(win::VK_TAB); break;
      case 2: {
        int w = 0, h = 0;
        const auto px = win::test::pixels(winslot(0).hClient, true, w, h);
        blank = w > 0 && std::all_of(px.begin(), px.end(), [&](win::COLORREF c) { return c == px.front(); });
        win::test::savePng(winslot(0).hClient, shot("regression_failed_plot.png"), false);
        win::test::pressKey(win::VK_RETURN);               // Finished
        break;
      }
      case 3: win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); break;
      default: win::test::pressKey(win::VK_ESCAPE); break;
    }
  });
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40008, 0);
  EXPECT_FALSE(mainprogram_turn());
  EXPECT_NE(twvars.errorflag, 0);
  EXPECT_GE(boxes, 2) << "the failure is shown, then the save question";
  EXPECT_TRUE(blank) << "no plot after a failed fit";
  EXPECT_EQ(twvars.status, 3);
}


// The formats of the results cells: three decimals while they fit, else the exponent form,
// whose text fits and reads back as the value.
TEST(RegressionCells, WideValuesTakeTheExponentForm) {
  struct Case { float value; std::size_t most; const char* wide; const char* format; };
  const Case cases[] = {
      {-566825728.0f, 11, "(1PE10.3)", "(1PE10.3)"}, {2023167.0f, 11, "(1PE10.3)", "(F0.3)"},
      {-2023167.0f, 11, "(1PE10.3)", "(1PE10.3)"},   {0.5f, 11, "(1PE10.3)", "(F0.3)"},
      {-12345.678f, 9, "(1PE9.2)", "(1PE9.2)"},      {1234.5f, 9, "(1PE9.2)", "(F0.3)"},
  };
  for (const Case& c : cases) {
    const std::string f = regresscellformat(c.value, c.most, c.wide);
    EXPECT_EQ(f, c.format) << c.value;
    std::string text(40, ' ');
    IRealToString(c.value, text, f);
    text = text.substr(text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    EXPECT_LE(text.size(), c.most) << text;
    EXPECT_NEAR(std::stod(text), c.value, std::fabs(c.value) * 5e-3) << text;
  }
}

// A near-collinear fit (a variable that is almost the year itself) has coefficients of
// hundreds of millions: each still shows whole in its cell, in the exponent form.
TEST_F(RegressionWindow, HugeCoefficientsShowWholeInTheirCells) {
  tw::test::scriptuser({tw::test::pressed(win::VK_RETURN)});
  mainprogram_start();
  loadproject();
  for (int y = 0; y < twvars.numyears; ++y) {
    AnnualRecord& a = twvars.annual[static_cast<std::size_t>(y)];
    a.user[0] = static_cast<float>(a.year) + 0.004f * static_cast<float>((y * 7) % 5);
    a.userflag[0] = 1;
  }
  twvars.useryears[0] = twvars.numyears;
  twvars.userinclude[0] = 1;
  put(twvars.usernames[0], "Almost the year");
  std::vector<std::string> texts;
  std::vector<float> values;
  tw::test::scriptuser({[] { clickfield(1032); }, tw::test::pressed(win::VK_TAB),
                        [&] {
                          for (int row : {1, 2}) {
                            for (int col : {3, 5}) {
                              std::string t(40, ' ');
                              WGridGetCellString(1026, col, row, t);
                              texts.push_back(t.substr(0, t.find_last_not_of(' ') + 1));
                            }
                          }
                          values = {regressdat.tstat[1], regressdat.coeffs[0], regressdat.tstat[0]};
                          values.insert(values.begin(), regressdat.coeffs[1]);
                          saveshots("regression_collinear");
                          clickfield(1029);
                        },
                        [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }},
                       {'N'});
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40008, 0);
  mainprogram_turn();
  ASSERT_EQ(texts.size(), 4u);
  std::printf("trend %s t %s, intercept %s t %s\n", texts[0].c_str(), texts[1].c_str(), texts[2].c_str(), texts[3].c_str());
  EXPECT_GT(std::fabs(values[2]), 1e6f) << "the fixture must give a huge intercept";
  for (std::size_t k = 0; k < texts.size(); ++k) {
    const std::size_t most = k % 2 == 0 ? 11 : 9;
    EXPECT_LE(texts[k].size(), most) << texts[k] << " is wider than its cell";
    EXPECT_NEAR(std::stod(texts[k]), values[k], std::fabs(values[k]) * 1e-3 + 1e-3) << texts[k];
  }
}

// Print plot from the window's "Save plot" menu, chosen by keys after a successful fit, and
// the page set-up confirmed as it comes: the built-in PDF printer asks for the file (the
// plot's name offered, in the folder the user is in), writes one page with the fit and its
// key with the mode the user's new files get, and the status bar says where it went.
TEST_F(RegressionWindow, PrintPlotPutsTheFitOnThePrintersPage) {
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  const fs::path folder = fs::temp_directory_path() / ("tw_regprint_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path before = fs::current_path();
  fs::current_path(folder);
  const mode_t mask = ::umask(022);
  win::test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true, 0}});
  tw::test::scriptuser({tw::test::pressed(win::VK_RETURN)});
  mainprogram_start();
  loadproject();
  using tw::test::pressed;
  std::string status;
  tw::test::scriptuser({[] { clickfield(1029); },   // Finished
                        pressed(win::VK_MENU), pressed(win::VK_DOWN), pressed(win::VK_DOWN), pressed(win::VK_DOWN),
                        pressed(win::VK_RETURN), pressed(win::VK_RETURN), pressed(win::VK_RETURN),
                        [&] {
                          char t[600] = {};
                          win::SendMessage(winslot(0).wMessLine, win::SB_GETTEXT, 0, reinterpret_cast<win::LPARAM>(t));
                          status = t;
                          win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0);
                        }},
                       {'N'});
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40008, 0);
  EXPECT_FALSE(mainprogram_turn());
  win::test::setIdleHook(nullptr);
  ::umask(mask);
  const fs::path pdf = folder / "regression plot.pdf";
  const bool printed = fs::exists(pdf);
  const auto perms = printed ? fs::status(pdf).permissions() : fs::perms::none;
  EXPECT_EQ(perms, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(status, "Plot printed to " + pdf.string());
  EXPECT_FALSE(fs::exists(folder / "Tessaraweld graphic.pdf"));
  const hc::Run text = hc::run("pdftotext -layout '" + pdf.string() + "' -");
  const hc::Run page = hc::run("pdftoppm -r 50 -png -singlefile '" + pdf.string() + "' '" + shot("regression_printed") + "'");
  win::test::resetPrinters();
  fs::current_path(before);
  fs::remove_all(folder);
  ASSERT_TRUE(printed);
  EXPECT_EQ(page.status, 0) << page.output;
  for (const char* words : {"Regression results", "Baseflow parameter = ", "Estimated Trend", "Flow (ML)"})
    EXPECT_NE(text.output.find(words), std::string::npos) << words << " on the page:\n" << text.output;
}

// The whole program under random input from a project with a regression to run: keys, clicks,
// wheel turns and menu commands from a fixed seed, in a folder of its own. The run must end,
// and the project saved afterwards must open again. TW_RANDOM_EVENTS gives a longer run.
TEST_F(RegressionWindow, RandomInputEndsAndTheSavedProjectOpensAgain) {
  const fs::path folder = fs::temp_directory_path() / ("tw_random_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path before = fs::current_path();
  fs::current_path(folder);
  const char* oldpath = std::getenv("PATH");
  const std::string savedpath = oldpath ? oldpath : "";
  ::setenv("PATH", folder.c_str(), 1);   // no help viewer starts
  tw::test::scriptuser({tw::test::pressed(win::VK_RETURN)});
  mainprogram_start();
  loadproject();
  const std::string file = (folder / "random.tw").string();
  twvars.filename = file;
  twvars.filename.resize(500, ' ');
  const char* env = std::getenv("TW_RANDOM_EVENTS");
  const long events = env ? std::atol(env) : 1000;
  static const int commands[] = {40004, 40006, 40007, 40008, 40009, 40010, 40011, 40012, 40013, 40015, 40016,
                                 40018, 40019, 40020, 40022, 40023, 40024, 40025, 40026, 40027};
  static const int keys[] = {win::VK_RETURN, win::VK_ESCAPE, win::VK_TAB, win::VK_SPACE, win::VK_LEFT, win::VK_RIGHT,
                             win::VK_UP, win::VK_DOWN, win::VK_DELETE, win::VK_BACK, '0', '5', '9', 'A', 'N', 'Y'};
  std::mt19937 random(20261211);
  long sent = 0;
  const int width = winfoscreen(1), height = winfoscreen(2);
  // What the run reached: the titles of the active windows (main window, dialogs, message
  // boxes, choosers) and the dialogs loaded, with the number of idle turns spent in each.
  std::map<std::string, long> reached;
  win::test::setIdleHook([&] {
    char title[128] = {};
    win::GetWindowText(win::GetActiveWindow(), title, sizeof title);
    ++reached[std::string("window \"") + title + "\""];
    if (tessar.dialog.CURDIALOG != 0) ++reached["dialog " + std::to_string(tessar.dialog.CURDIALOG)];
    if (win::test::openMessageBox() != nullptr) {
      win::test::pressKey(sent < events && random() % 2 ? win::VK_RETURN : 'N');
      ++sent;
      return;
    }
    if (sent >= events) {
      // Winding down: every dialog cancelled or finished (the parameter and regression
      // dialogs end only with their default button, Finished), every window asked to close.
      // A run that cannot be wound down stops here rather than hang the suite.
      if (sent > events + 20000) {
        char title[128] = {};
        win::GetWindowText(win::GetActiveWindow(), title, sizeof title);
        std::fprintf(stderr, "random input: no way out of \"%s\" after %ld events\n", title, sent);
        std::abort();
      }
      switch (sent++ % 3) {
        case 0: win::PostMessage(winslot(0).wWindow, win::WM_CLOSE, 0, 0); break;
        case 1: win::test::pressKey(win::VK_ESCAPE); break;
        default: win::test::pressKey(win::VK_RETURN); break;
      }
      return;
    }
    ++sent;
    // Now and then the window on top is closed through its close box, as a user leaves a
    // window; else typing keeps the run in the text editor for most of its events.
    if (sent % 400 == 0) {
      const win::HWND top = win::GetActiveWindow();
      if (top != nullptr && top != winslot(0).wWindow) {
        win::PostMessage(top, win::WM_SYSCOMMAND, win::SC_CLOSE, 0);
        return;
      }
    }
    const int x = static_cast<int>(random() % static_cast<unsigned>(std::max(width, 1)));
    const int y = static_cast<int>(random() % static_cast<unsigned>(std::max(height, 1)));
    switch (random() % 8) {
      case 0: win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, commands[random() % std::size(commands)], 0); break;
      case 1: case 2: win::test::click(x, y); break;
      case 3: win::test::wheel(x, y, static_cast<int>(random() % 5) - 2); break;
      default: win::test::pressKey(keys[random() % std::size(keys)]); break;
    }
  });
  long turns = 0;
  while (!mainprogram_turn() && ++turns < events + 100000) {
  }
  win::test::setIdleHook(nullptr);
  std::printf("random input: %ld events, %ld main-loop turns, status %d\n", sent, turns, twvars.status);
  for (const auto& [what, count] : reached) std::printf("  reached %-60s %ld turns\n", what.c_str(), count);
  EXPECT_LT(turns, events + 100000) << "the run ends";
  // The project as the run left it, saved and read back.
  twvars.filename = file;
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  const int ndays = twvars.ndays;
  EXPECT_TRUE(filesave());
  EXPECT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  EXPECT_EQ(twvars.ndays, ndays);
  ::setenv("PATH", savedpath.c_str(), 1);
  fs::current_path(before);
  fs::remove_all(folder);
}

}  // namespace
