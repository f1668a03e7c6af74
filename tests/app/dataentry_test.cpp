// The data dialogs as a hydrologist meets them on the headless backend, driven through the
// main menu with keys and clicks: a new project, the USGS record pasted into the daily entry
// as a spreadsheet puts it on the clipboard (flows with rain, CR LF; flows only, LF), the data
// check summary, the review with its coloured cells, the July-June aggregation period, one
// annual variable, the save and the reopened file; and the entry's refusals (dates that are
// none, numbers that are none, bad pastes, too many rows), each leaving the record as it was.
#include "app/dataentry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/datacheck.h"
#include "app/mainprogram.h"
#include "app/modules.h"
#include "app/projectfile.h"
#include "platform/gdi.h"
#include "platform/message_box.h"
#include "platform/test_api.h"
#include "tests/app/usgs_spreadsheet.h"
#include "tests/support/clipboard_text.h"
#include "tests/support/scripted_user.h"
#include "tests/window/window_fixture.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/grid/wgrid.h"

namespace fs = std::filesystem;
using tw::test::Step;

namespace {

using namespace tw::test::usgssheet;

std::string trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

class DataEntry : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    dir = fs::temp_directory_path() / ("tw_dataentry_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    start = fs::current_path();
    fs::current_path(dir);
    win::test::clearMessageBoxes();
    tw::test::scriptuser({tw::test::pressed(win::VK_RETURN)});
    mainprogram_start();
    win::test::setIdleHook(nullptr);
  }
  void TearDown() override {
    win::test::setIdleHook(nullptr);
    fs::current_path(start);
    fs::remove_all(dir);
    WindowFixture::TearDown();
  }
  // A main-menu command chosen, with the user's steps and answers to the boxes.
  static void command(int id, std::deque<Step> steps, std::deque<int> boxkeys = {}) {
    tw::test::scriptuser(std::move(steps), std::move(boxkeys));
    win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, static_cast<win::WPARAM>(id), 0);
    mainprogram_turn();
    win::test::setIdleHook(nullptr);
  }
  static win::HWND field(int id) { return win::GetDlgItem(yycurrentdialog(), id); }
  static void clickon(win::HWND h) {
    win::RECT r;
    win::GetWindowRect(h, r);
    win::test::click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  static Step click(int id) {
    return [id] { clickon(field(id)); };
  }
  // Replaces the text of a numeric field as a user would: click, select it all, type.
  static Step typeinto(int id, std::string text) {
    return [id, text] {
      clickon(field(id));
      win::test::pressKey(win::VK_END);
      win::test::pressKey(win::VK_HOME, win::test::kShift);
      win::test::typeText(text);
    };
  }
  static GridInstance& grid(int id) {
    GridInstance* g = gridservices.locate(id);
    EXPECT_NE(g, nullptr);
    return *g;
  }
  // A click on a cell in view (0-based).
  static Step clickcell(int id, int column, int row) {
    return [id, column, row] {
      GridInstance& g = grid(id);
      int x = 0;
      for (int c = g.firstvisiblecolumn; c < column; ++c) x += g.data().columns[static_cast<std::size_t>(c)].width - 1;
      win::POINT p{x + g.data().columns[static_cast<std::size_t>(column)].width / 2,
                   (row - g.firstvisiblerow) * (g.rowheight - 1) + g.rowheight / 2};
      win::ClientToScreen(g.cellarea, p);
      win::test::click(p.x, p.y);
    };
  }
  static Step paste(std::string text) {
    return [text] {
      ASSERT_TRUE(tw::test::setclipboardtext(text));
      win::test::pressKey('V', win::test::kCtrl);
    };
  }
  // Add new daily flows: the start date typed, the text pasted at the top cell, OK; then the
  // boxes as keys (the summary, the save question).
  static void newdaily(int d, int m, int y, const std::string& text, std::deque<int> boxkeys,
                       const std::string& shot = {}) {
    Step ok = click(1);
    if (!shot.empty())
      ok = [shot] {
        ASSERT_TRUE(win::test::savePng(yycurrentdialog(), std::string(TW_SHOT_DIR) + "/" + shot, false));
        clickon(field(1));
      };
    command(40004,
            {typeinto(1001, std::to_string(d)), typeinto(1002, std::to_string(m)), typeinto(1003, std::to_string(y)),
             click(1), clickcell(1008, 0, 0), paste(text), ok},
            std::move(boxkeys));
  }
  static std::string boxtitled(const std::string& title) {
    for (auto it = win::test::messageBoxes().rbegin(); it != win::test::messageBoxes().rend(); ++it)
      if (it->title == title) return it->text;
    return "(no box titled " + title + ")";
  }
  static unsigned boxicon(const std::string& title) {
    for (auto it = win::test::messageBoxes().rbegin(); it != win::test::messageBoxes().rend(); ++it)
      if (it->title == title) return it->style & win::MB_ICONMASK;
    return ~0u;
  }
  fs::path dir, start;
};

TEST_F(DataEntry, TheUsgsRecordFromEntryToTheReopenedFile) {
  // New project.
  command(40024, {tw::test::typed("tarn"), tw::test::pressed(win::VK_RETURN)}, {win::VK_RETURN});
  ASSERT_EQ(trimmed(twvars.filename), (dir / "tarn.tw").string());
  ASSERT_EQ(twvars.status, 1);
  // Add new daily flows, flows with rain as a spreadsheet copies them (CR LF); the summary
  // box, then Yes to the save.
  newdaily(1, 1, 2000, spreadsheet(true, "\r\n"), {win::VK_RETURN, 'Y'});
  const int days = static_cast<int>(usgs().flows.size());
  ASSERT_EQ(twvars.status, 2);
  EXPECT_EQ(twvars.ndays, days);
  EXPECT_EQ(twvars.startyear, 2000);
  EXPECT_EQ(trimmed(twvars.title), "Gauged flow (ML/d)");
  EXPECT_EQ(trimmed(twvars.daily[0].datetext), "1 Jan 2000");
  EXPECT_EQ(twvars.daily[59].dayofyear, 60);
  EXPECT_EQ(trimmed(twvars.daily[static_cast<std::size_t>(days - 1)].datetext), "31 Dec 2019");
  int wrong = 0;
  for (int k = 0; k < days; ++k) {
    const DailyRecord& r = twvars.daily[static_cast<std::size_t>(k)];
    const std::string f = flowcell(k), rc = raincell(k);
    const float flow = f.empty() || k == kBelowMissing ? MISSING : std::stof(f);
    const int flag = flow == MISSING ? FLOW_MISSING : (flow < 0 ? FLOW_NEGATIVE : FLOW_VALID);
    const float rain = rc.empty() ? MISSING : std::stof(rc);
    if (r.flow != flow || r.flowflag != flag || r.rain != rain || r.rainflag != (rain >= 0 ? 1 : 0)) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  // The summary counts the flow below the missing value as missing, as the record holds it.
  const int missing = kGapDays + 2, missingrain = kRainGapDays + 1;
  EXPECT_EQ(twvars.missingflows, missing);
  EXPECT_EQ(twvars.negativeflows, 1);
  EXPECT_EQ(twvars.longestflowgap, kGapDays);
  EXPECT_EQ(twvars.missingrain, missingrain);
  const std::string summary = boxtitled("File opened");
  EXPECT_NE(summary.find("-   20.0 years of data"), std::string::npos) << summary;
  EXPECT_NE(summary.find("- 7305 days of data"), std::string::npos) << summary;
  EXPECT_NE(summary.find("- 0.1% missing flows (9 days)"), std::string::npos) << summary;
  EXPECT_NE(summary.find("- 0.0% negative flows (1 days)"), std::string::npos) << summary;
  EXPECT_NE(summary.find("- longest period of missing flows is 7 days"), std::string::npos) << summary;
  EXPECT_NE(summary.find("- 0.1% missing rainfall (4 days)"), std::string::npos) << summary;
  EXPECT_TRUE(fs::exists(dir / "tarn.tw")) << "Yes to the save question wrote the file";

  // Review: the counts, missing days orange and empty, the negative flow yellow.
  std::string missingline, negativeline;
  std::vector<std::string> cells;
  std::vector<GridCellColour> colours;
  command(40016, {clickcell(1008, 0, 0),
                  [] {
                    for (int k = 0; k < 4; ++k) win::test::pressKey(win::VK_NEXT);   // down to the gap
                  },
                  [&] {
                    std::string t(100, ' ');
                    WDialogGetString(1039, t);
                    missingline = trimmed(t);
                    WDialogGetString(1030, t);
                    negativeline = trimmed(t);
                    GridInstance& g = grid(1008);
                    for (int row : {kGapFrom, kSingleGap, kBelowMissing, kNegative, 0}) {
                      std::string s;
                      yyGridGetString(g.data(), 0, row, s, 0);
                      cells.push_back(s);
                      colours.push_back(g.data().columns[0].colours[static_cast<std::size_t>(row)]);
                    }
                    ASSERT_TRUE(win::test::savePng(yycurrentdialog(), std::string(TW_SHOT_DIR) + "/review.png", false));
                    clickon(field(1));
                  }});
  EXPECT_EQ(missingline.substr(0, 31), "- 0.1% missing flows (9 days)\r");
  EXPECT_EQ(negativeline.substr(0, 32), "- 0.0% negative flows (1 days)\r");
  ASSERT_EQ(cells.size(), 5u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(cells[static_cast<std::size_t>(i)], "") << i;
    EXPECT_EQ(colours[static_cast<std::size_t>(i)].backred, 255);
    EXPECT_EQ(colours[static_cast<std::size_t>(i)].backgreen, 180);
    EXPECT_EQ(colours[static_cast<std::size_t>(i)].backblue, 70);
  }
  EXPECT_EQ(cells[3], "-3.50");
  EXPECT_EQ(colours[3].backblue, 0) << "negative flow on yellow";
  EXPECT_EQ(colours[3].backgreen, 255);
  EXPECT_EQ(cells[4], "8.61");
  EXPECT_EQ(colours[4].backblue, 255) << "a valid flow on white";

  // Aggregation period July-June, chosen in the two lists with the arrow keys; the number of
  // months follows at once.
  int months = 0;
  command(40015, {click(1033), [] {
                    for (int k = 0; k < 6; ++k) win::test::pressKey(win::VK_DOWN);
                  },
                  click(1034), [] {
                    for (int k = 0; k < 6; ++k) win::test::pressKey(win::VK_UP);
                  },
                  [&] {
                    WDialogGetInteger(1001, months);
                    clickon(field(1));
                  }});
  EXPECT_EQ(months, 12);
  EXPECT_EQ(twvars.aggstartmonth, 7);
  EXPECT_EQ(twvars.aggendmonth, 6);
  EXPECT_EQ(twvars.monthflags, (std::array<int, 12>{1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2}));

  // The separation (Finished at once, back to the main menu, No to the save) opens the annual
  // entry; one annual variable: its name typed over the header's, ten years of values pasted
  // and one more typed; OK and No to the save question.
  command(40007, {tw::test::pressed(win::VK_RETURN),
                  [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); }},
          {'N', 'N'});
  ASSERT_EQ(twvars.status, 3);
  std::string values;
  for (int y = 0; y < 10; ++y) values += std::to_string(10 + y) + ".25\r\n";
  command(40012,
          {clickcell(1011, 3, 0),
           [] {
             win::test::pressKey(win::VK_HOME);
             win::test::pressKey(win::VK_END, win::test::kShift);
             win::test::typeText("Bore depth");
           },
           clickcell(1008, 3, 1), paste(values), clickcell(1008, 3, 11), tw::test::typed("7.5"), click(1)},
          {'N'});
  EXPECT_EQ(trimmed(twvars.usernames[0]), "Bore depth");
  EXPECT_EQ(twvars.useryears[0], 11);
  EXPECT_FLOAT_EQ(twvars.annual[11].user[0], 7.5f) << "typed and not left: OK still takes it";
  EXPECT_EQ(twvars.userinclude[0], 1);
  EXPECT_EQ(twvars.annual[0].userflag[0], 0);
  EXPECT_FLOAT_EQ(twvars.annual[1].user[0], 10.25f);
  EXPECT_EQ(twvars.annual[0].year, 2000) << "July-June years end in the year of their label";

  // Save, then the file reopens with the same data.
  command(40006, {});
  const TwVars saved = twvars;
  initialise_tw_vars();
  twvars.ndays = 0;
  ASSERT_TRUE(fileopen_read());
  EXPECT_EQ(twvars.ndays, saved.ndays);
  EXPECT_EQ(twvars.aggstartmonth, 7);
  EXPECT_EQ(trimmed(twvars.usernames[0]).substr(trimmed(twvars.usernames[0]).find('B')), "Bore depth");
  wrong = 0;
  for (std::size_t k = 0; k < static_cast<std::size_t>(saved.ndays); ++k) {
    const DailyRecord &a = twvars.daily[k], &b = saved.daily[k];
    if (std::fabs(a.flow - b.flow) > 0.005f * std::max(1.0f, std::fabs(b.flow)) || a.flowflag != b.flowflag ||
        std::fabs(a.rain - b.rain) > 0.005f || a.rainflag != b.rainflag || a.datenum != b.datenum)
      ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  for (std::size_t y = 0; y < static_cast<std::size_t>(saved.numyears); ++y) {
    EXPECT_EQ(twvars.annual[y].userflag[0], saved.annual[y].userflag[0]) << y;
    if (saved.annual[y].userflag[0] == 1) {
      EXPECT_FLOAT_EQ(twvars.annual[y].user[0], saved.annual[y].user[0]);
    }
  }
  EXPECT_EQ(twvars.missingflows, saved.missingflows) << "the summary of the reopened file agrees";
}

TEST_F(DataEntry, FlowsOnlyWithLineFeeds) {
  newdaily(1, 10, 1999, spreadsheet(false, "\n"), {win::VK_RETURN, 'N'}, "daily_entry.png");
  const int days = static_cast<int>(usgs().flows.size());
  EXPECT_EQ(twvars.ndays, days);
  EXPECT_EQ(trimmed(twvars.daily[0].datetext), "1 Oct 1999");
  EXPECT_FLOAT_EQ(twvars.daily[1].flow, std::stof(usgs().flows[1]));
  EXPECT_EQ(twvars.missingrain, days);
  EXPECT_EQ(twvars.longestraingap, days);
  const std::string summary = boxtitled("File opened");
  EXPECT_NE(summary.find("- 100.0% missing rainfall (7305 days)"), std::string::npos) << summary;
  EXPECT_EQ(twvars.status, 2);
}

// Each refusal is told in a box and leaves the project loaded before as it was.
TEST_F(DataEntry, RefusalsLeaveTheRecordAsItWas) {
  twvars.filename = (fs::path(TW_FIXTURES) / "project-status3.tw").string();
  twvars.filename.resize(500, ' ');
  ASSERT_TRUE(fileopen_read());
  const TwVars before = twvars;
  auto same = [&before] {
    if (twvars.ndays != before.ndays || twvars.status != before.status || twvars.title != before.title ||
        twvars.startday != before.startday || twvars.startmonth != before.startmonth)
      return false;
    for (std::size_t k = 0; k < static_cast<std::size_t>(before.ndays); ++k)
      if (twvars.daily[k].flow != before.daily[k].flow || twvars.daily[k].rain != before.daily[k].rain) return false;
    return true;
  };
  std::string sixtythousandandten;
  for (int k = 0; k < 60010; ++k) sixtythousandandten += "1.5\r\n";
  struct Case {
    const char* why;
    std::deque<Step> steps;
    std::deque<int> boxkeys;
    const char* title;
    const char* text;
  };
  std::vector<Case> cases;
  cases.push_back({"31 April",
                   {typeinto(1001, "31"), typeinto(1002, "4"), typeinto(1003, "1981"), click(1), click(2)},
                   {win::VK_RETURN},
                   "Problem here!",
                   "April 1981 has 30 days."});
  cases.push_back({"29 February of a common year",
                   {typeinto(1001, "29"), typeinto(1002, "2"), typeinto(1003, "1981"), click(1), click(2)},
                   {win::VK_RETURN},
                   "Problem here!",
                   "February 1981 has 28 days."});
  cases.push_back({"a day beyond the field's range, refused by the field",
                   {typeinto(1001, "32"), click(1), click(2)}, {}, "", ""});
  cases.push_back({"a word typed for a flow, then OK",
                   {click(1), clickcell(1008, 0, 0), tw::test::typed("abc"), click(1), click(2)},
                   {win::VK_RETURN},
                   "Problem here!",
                   "No flow data has been entered."});
  cases.push_back({"a paste of no numbers, then OK",
                   {click(1), clickcell(1008, 0, 0), paste("abc\tx\r\nflow\train\r\n"), click(1), click(2)},
                   {win::VK_RETURN, win::VK_RETURN},
                   "Problem here!",
                   "No flow data has been entered."});
  cases.push_back({"more rows than the record holds, then No",
                   {click(1), clickcell(1008, 0, 0), paste(sixtythousandandten), click(1), click(2)},
                   {'N'},
                   "Too many rows",
                   "10 rows below row 60000 (9 Apr 2144, the last day a record can hold) hold values"});
  for (Case& c : cases) {
    SCOPED_TRACE(c.why);
    win::test::clearMessageBoxes();
    command(40004, std::move(c.steps), std::move(c.boxkeys));
    EXPECT_TRUE(same());
    // The numeric fields refuse what is out of range or no number themselves: OK does nothing.
    if (*c.title != '\0') {
      EXPECT_EQ(boxtitled(c.title).find(c.text), 0u) << boxtitled(c.title);
      // A failure shows the stop icon; the question about extra rows the question icon.
      EXPECT_EQ(boxicon(c.title), std::string(c.title) == "Too many rows" ? win::MB_ICONQUESTION : win::MB_ICONHAND);
    }
    else EXPECT_TRUE(win::test::messageBoxes().empty()) << win::test::messageBoxes()[0].title << ": " << win::test::messageBoxes()[0].text;
    EXPECT_EQ(yycurrentdialog(), nullptr) << "both dialogs are gone";
  }
}

// OK with no flow is refused and the dialog stays; then a paste with leading and inner blanks,
// a typed -999, a negative flow and rain, and rain past the last flow.
TEST_F(DataEntry, OkAgainAfterNoFlowAndTheFlagsOfEachKindOfCell) {
  command(40004, {click(1), click(1), clickcell(1008, 0, 0), paste("\t1.0\n\t\n5\t2\n-999\t0\n-2\t-1\n7\t\n\t3.5\n"),
                  click(1)},
          {win::VK_RETURN, win::VK_RETURN, 'N'});
  EXPECT_EQ(boxtitled("Problem here!").rfind("No flow data has been entered.", 0), 0u);
  ASSERT_EQ(twvars.status, 2);
  EXPECT_EQ(twvars.ndays, 6) << "the rain of row 7 lies beyond the last flow";
  struct Want { float flow; int flowflag; float rain; int rainflag; };
  const Want want[] = {{MISSING, 0, 1.0f, 1}, {MISSING, 0, MISSING, 0}, {5, 2, 2, 1}, {MISSING, 0, 0, 1},
                       {-2, 1, -1, 0},        {7, 2, MISSING, 0},       {MISSING, 0, 3.5f, 1}};
  for (std::size_t k = 0; k < std::size(want); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(twvars.daily[k].flow, want[k].flow);
    EXPECT_EQ(twvars.daily[k].flowflag, want[k].flowflag);
    EXPECT_EQ(twvars.daily[k].rain, want[k].rain);
    EXPECT_EQ(twvars.daily[k].rainflag, want[k].rainflag);
  }
  EXPECT_EQ(trimmed(twvars.daily[0].datetext), "1 Jan 1980") << "the dialog opens on 1 January 1980";
  EXPECT_EQ(twvars.missingflows, 3);
  EXPECT_EQ(twvars.negativeflows, 1);
}

TEST_F(DataEntry, ExtraRowsAcceptedStoreTheFirst60000Days) {
  std::string text;
  for (int k = 0; k < 60005; ++k) text += std::to_string(k % 97) + "\r\n";
  newdaily(1, 1, 1980, text, {'Y', win::VK_RETURN, 'N'});
  EXPECT_EQ(twvars.ndays, MAXDAYS);
  EXPECT_FLOAT_EQ(twvars.daily[MAXDAYS - 1].flow, static_cast<float>((MAXDAYS - 1) % 97));
  EXPECT_EQ(boxtitled("Too many rows").rfind("5 rows below row 60000", 0), 0u);
}

TEST_F(DataEntry, AnnualEntryAfterARegressionResetsTheResultsAndTheStatus) {
  twvars.filename = (fs::path(TW_FIXTURES) / "project-status4.tw").string();
  twvars.filename.resize(500, ' ');
  ASSERT_TRUE(fileopen_read());
  ASSERT_EQ(twvars.status, 4);
  ASSERT_NE(regressdat.R2, 0.0f);
  command(40012, {click(1)}, {'N'});
  EXPECT_EQ(twvars.status, 3) << "no menu offers results that are gone";
  EXPECT_EQ(regressdat.R2, 0.0f);
  // Cancel keeps everything.
  twvars.status = 4;
  regressdat.R2 = 0.5f;
  command(40012, {click(2)});
  EXPECT_EQ(twvars.status, 4);
  EXPECT_EQ(regressdat.R2, 0.5f);
}

TEST_F(DataEntry, AggregationPeriodsAndCancel) {
  struct Case { int s, e, months; std::array<int, 12> flags; };
  const Case cases[] = {
      {3, 3, 1, {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {3, 2, 12, {1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
      {1, 12, 12, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    int months = 0;
    command(40015, {[&] {
                      WDialogPutOption(1033, c.s);
                      WDialogPutOption(1034, c.e);
                      clickon(field(1033));
                    },
                    // A step down and back: the number of months is that of the selections.
                    tw::test::pressed(win::VK_DOWN), tw::test::pressed(win::VK_UP),
                    [&] {
                      WDialogGetInteger(1001, months);
                      clickon(field(1));
                    }});
    EXPECT_EQ(months, c.months) << c.s << "-" << c.e;
    EXPECT_EQ(twvars.monthflags, c.flags) << c.s << "-" << c.e;
  }
  const auto flags = twvars.monthflags;
  command(40015, {click(1033), tw::test::pressed(win::VK_DOWN), click(2)});
  EXPECT_EQ(twvars.monthflags, flags);
  EXPECT_EQ(twvars.aggstartmonth, 1);
}

// Every column is readable whole with the vertical scroll bar shown: the entry and review
// grids' rain column, and all six columns of the annual grid and its header, which therefore
// never scroll sideways apart (the header's captions stay over their columns).
TEST_F(DataEntry, EveryColumnShowsWholeBesideTheScrollBar) {
  auto fitted = [](int id, const char* why) {
    GridInstance& g = grid(id);
    int need = 1;
    for (const auto& c : g.data().columns) need += c.width - 1;
    win::RECT r{};
    win::GetClientRect(g.cellarea, r);
    EXPECT_GE(r.right - r.left, need) << why << ": the last column is cut";
    return (win::GetWindowLong(g.window, win::GWL_STYLE) & win::WS_VSCROLL) != 0;
  };
  bool entrybar = false, reviewbar = false, annualbar = false;
  std::string shown;
  // (A step that only looks is followed by input in the same step: the program waits for it.)
  command(40004, {click(1), [&] {
                    entrybar = fitted(1008, "entry");
                    win::test::savePng(yycurrentdialog(), std::string(TW_SHOT_DIR) + "/entry_grid.png", false);
                    clickcell(1008, 0, 0)();
                  },
                  paste("1.0\t1.0\n2.0\t0.0\n3.0\t11.3\n"), click(1)},
          {win::VK_RETURN, 'N'});
  ASSERT_EQ(twvars.ndays, 3);
  command(40016, {[&] {
                    reviewbar = fitted(1008, "review");
                    win::test::savePng(yycurrentdialog(), std::string(TW_SHOT_DIR) + "/review_grid.png", false);
                    clickon(field(1));
                  }});
  int first = -1, headerfirst = -1;
  command(40012, {[&] {
                    annualbar = fitted(1008, "annual");
                    fitted(1011, "annual header");
                    clickcell(1008, 3, 0)();
                  },
                  tw::test::pressed(win::VK_RIGHT), tw::test::pressed(win::VK_RIGHT),
                  tw::test::pressed(win::VK_RIGHT),
                  [&] {
                    first = grid(1008).firstvisiblecolumn;
                    headerfirst = grid(1011).firstvisiblecolumn;
                    win::test::savePng(yycurrentdialog(), std::string(TW_SHOT_DIR) + "/annual_grid.png", false);
                    clickon(field(2));
                  }});
  EXPECT_TRUE(entrybar && reviewbar && annualbar) << "the vertical scroll bars are part of the layout";
  EXPECT_EQ(first, 0);
  EXPECT_EQ(headerfirst, 0);
}

// A name longer than the project keeps is refused with a message and the dialog stays; a long
// value typed into a narrow cell keeps every digit.
TEST_F(DataEntry, AnnualNamesAndValuesAreKeptAsTypedOrRefused) {
  twvars.filename = (fs::path(TW_FIXTURES) / "project-status3.tw").string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  win::test::clearMessageBoxes();
  // Click, select the cell's text, type over it.
  auto typeover = [](int id, int column, int row, std::string text) {
    return Step([=] {
      clickcell(id, column, row)();
      win::test::pressKey(win::VK_HOME);
      win::test::pressKey(win::VK_END, win::test::kShift);
      win::test::typeText(text);
    });
  };
  const std::string toolong = "Groundwater pumping from the deep aquifer (ML/yr)";
  command(40012,
          {typeover(1011, 3, 0, toolong), click(1), typeover(1011, 3, 0, "GW pump (ML/yr)"),
           typeover(1008, 3, 1, "123456789012345"), typeover(1008, 3, 2, "1234.5"), click(1)},
          {win::VK_RETURN, 'N'});
  EXPECT_NE(boxtitled("Problem here!").find(toolong), std::string::npos) << boxtitled("Problem here!");
  EXPECT_EQ(boxicon("Problem here!"), win::MB_ICONHAND);
  EXPECT_EQ(boxtitled("Save now?").rfind("Do you want to save", 0), 0u) << "the second OK took the dialog's values";
  EXPECT_EQ(trimmed(twvars.usernames[0]), "GW pump (ML/yr)");
  EXPECT_FLOAT_EQ(twvars.annual[1].user[0], 123456789012345.0f) << "every digit typed is kept";
  EXPECT_FLOAT_EQ(twvars.annual[2].user[0], 1234.5f);
}

// Was: a 15-digit value in a user column showed cut at its cell's edge ("12345678810316"),
// which reads as a number ten times smaller. A value too wide for its cell shows in the
// exponent form (with the rest of its column: the grid keeps one form a column), typed or
// when the dialog opens; the value itself keeps every digit.
TEST_F(DataEntry, AnnualValuesTooWideForTheirCellsShowInExponentForm) {
  twvars.filename = (fs::path(TW_FIXTURES) / "project-status3.tw").string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  auto typeover = [](int column, int row, std::string text) {
    return Step([=] {
      clickcell(1008, column, row)();
      win::test::pressKey(win::VK_HOME);
      win::test::pressKey(win::VK_END, win::test::kShift);
      win::test::typeText(text);
    });
  };
  // A column without a wide value keeps two decimals (the grid keeps one form a column).
  std::string narrow;
  // The cell's text as shown, and whether it fits the cell's room in the grid's font.
  struct Shown {
    std::string text;
    bool fits = false;
  };
  auto shown = [](int column, int row) {
    std::string t(60, ' ');
    WGridGetCellString(1008, column, row, t);
    t = trimmed(t);
    GridInstance& g = grid(1008);
    win::HDC dc = win::GetDC(g.cellarea);
    win::HGDIOBJ old = win::SelectObject(dc, g.font);
    win::SIZE extent{};
    win::GetTextExtentPoint32(dc, t.c_str(), static_cast<int>(t.size()), extent);
    win::SelectObject(dc, old);
    win::ReleaseDC(g.cellarea, dc);
    return Shown{t, extent.cx <= g.data().columns[static_cast<std::size_t>(column - 1)].width - 4};
  };
  std::vector<Shown> typed, reopened;
  command(40012,
          {typeover(3, 0, "123456789012345"), typeover(3, 1, "1234.5"), typeover(4, 0, "-98765432109876"),
           typeover(5, 2, "17.25"), clickcell(1008, 4, 2),
           [&] {
             typed = {shown(4, 1), shown(4, 2), shown(5, 1)};
             narrow = shown(6, 3).text;
             win::test::savePng(yycurrentdialog(), std::string(TW_SHOT_DIR) + "/annual_wide_values.png", false);
             clickon(field(1));
           }},
          {'N'});
  EXPECT_FLOAT_EQ(twvars.annual[0].user[0], 123456789012345.0f) << "every digit typed is kept";
  EXPECT_FLOAT_EQ(twvars.annual[0].user[1], -98765432109876.0f);
  command(40012, {[&] {
                    reopened = {shown(4, 1), shown(4, 2), shown(5, 1)};
                    clickon(field(2));
                  }});
  EXPECT_EQ(narrow, "17.25");
  const double want[] = {123456789012345.0, 1234.5, -98765432109876.0};
  for (const auto* set : {&typed, &reopened}) {
    ASSERT_EQ(set->size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
      SCOPED_TRACE((*set)[k].text);
      EXPECT_TRUE((*set)[k].fits) << "shown whole in its cell";
      EXPECT_NEAR(std::stod((*set)[k].text), want[k], std::fabs(want[k]) * 1e-4);
    }
    EXPECT_NE((*set)[0].text.find('E'), std::string::npos);
  }
}

// Was: the dialog took names up to 40 characters but the project file keeps 16 columns of a
// name, so a longer one came back cut after a save and a reopen. A name of 16 characters goes
// through whole; one of 17 or 40 is refused with the limit named, the dialog staying up.
TEST_F(DataEntry, AnnualNamesTheFileCannotKeepAreRefused) {
  const fs::path path = dir / "names.tw";
  fs::copy_file(fs::path(TW_FIXTURES) / "project-status3.tw", path);
  twvars.filename = path.string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  win::test::clearMessageBoxes();
  auto typeover = [](int column, std::string text) {
    return Step([=] {
      clickcell(1011, column, 0)();
      win::test::pressKey(win::VK_HOME);
      win::test::pressKey(win::VK_END, win::test::kShift);
      win::test::typeText(text);
    });
  };
  const std::string n16 = "Bore depth (m) 1", n17 = "Bore depths (m) 2", n40 = "Groundwater pumping deep aquifer (ML/yr)";
  ASSERT_EQ(n16.size(), 16u);
  ASSERT_EQ(n17.size(), 17u);
  ASSERT_EQ(n40.size(), 40u);
  command(40012,
          {typeover(3, n16), typeover(4, n17), typeover(5, n40), click(1),   // 17 refused
           typeover(4, "Bore depths(m) 2"), click(1),                         // 40 refused
           typeover(5, "GW (ML/yr)"), click(1)},                             // stored, saved
          {win::VK_RETURN, win::VK_RETURN, win::VK_RETURN, win::VK_RETURN});
  std::vector<std::string> refusals;
  for (const auto& b : win::test::messageBoxes())
    if (b.title == "Problem here!") refusals.push_back(b.text);
  ASSERT_EQ(refusals.size(), 2u);
  EXPECT_EQ(refusals[0], "The name of variable 2 is 17 characters long:\r" + n17 + "\rA name can be at most 16 characters long.");
  EXPECT_EQ(refusals[1], "The name of variable 3 is 40 characters long:\r" + n40 + "\rA name can be at most 16 characters long.");
  EXPECT_EQ(boxtitled("Done"), "Data saved.");
  // Saved (Yes to the question) and opened again: every name as the dialog stored it.
  initialise_tw_vars();
  twvars.filename = path.string();
  twvars.filename.resize(500, ' ');
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
  ASSERT_TRUE(fileopen_read());
  win::test::clearMessageBoxAnswers();
  auto name = [](int v) {
    std::string n = trimmed(twvars.usernames[static_cast<std::size_t>(v)]);
    return n.substr(std::min(n.find_first_not_of(' '), n.size()));
  };
  EXPECT_EQ(name(0), n16);
  EXPECT_EQ(name(1), "Bore depths(m) 2");
  EXPECT_EQ(name(2), "GW (ML/yr)");
}

// Was: with a user value stored in the exponent form (123456789012345 is saved as
// 0.123456788E+15), the dialog opened again, in the same session or after a reopen, showed its
// header and year labels but not one cell: the wide column took its form after the dialog was
// shown, the cells were painted at once, and the dialog's own first paint covered them. Each
// cell holding a value is judged by its painted pixels.
TEST_F(DataEntry, AStoredExponentFormValueLeavesEveryCellPaintedWhenTheDialogOpens) {
  const fs::path path = dir / "wide.tw";
  fs::copy_file(fs::path(TW_FIXTURES) / "project-status3.tw", path);
  auto open = [&] {
    initialise_tw_vars();
    twvars.filename = path.string();
    twvars.filename.resize(500, ' ');
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);
    const bool ok = fileopen_read();
    win::test::clearMessageBoxAnswers();
    return ok;
  };
  ASSERT_TRUE(open());
  command(40012,
          {clickcell(1008, 3, 0),
           [] {
             win::test::pressKey(win::VK_HOME);
             win::test::pressKey(win::VK_END, win::test::kShift);
             win::test::typeText("123456789012345");
           },
           click(1)},
          {'Y', win::VK_RETURN});   // Yes: save
  std::ifstream in(path, std::ios::binary);
  std::stringstream saved;
  saved << in.rdbuf();
  ASSERT_NE(saved.str().find(" 0.123456788E+15"), std::string::npos) << "the value is kept in the exponent form";
  // Cells (column, row, 0-based) that hold a value, and how many of them show dark text.
  struct Painted {
    int holding = 0, shown = 0;
  };
  auto painted = [](const char* shot) {
    Painted p;
    GridInstance& g = grid(1008);
    int w = 0, h = 0;
    const std::vector<win::COLORREF> px = win::test::pixels(g.cellarea, true, w, h);
    int x = 0;
    for (int c = 0; c < 6; ++c) {
      const int width = g.data().columns[static_cast<std::size_t>(c)].width;
      for (int r = 0; r < 3; ++r) {
        std::string text(40, ' ');
        WGridGetCellString(1008, c + 1, r + 1, text);
        if (trimmed(text).empty()) continue;
        ++p.holding;
        int dark = 0;
        for (int y = r * (g.rowheight - 1) + 1; y < (r + 1) * (g.rowheight - 1) && y < h; ++y)
          for (int xx = x + 1; xx < x + width - 1 && xx < w; ++xx)
            dark += std::max({win::GetRValue(px[static_cast<std::size_t>(y * w + xx)]),
                              win::GetGValue(px[static_cast<std::size_t>(y * w + xx)]),
                              win::GetBValue(px[static_cast<std::size_t>(y * w + xx)])}) < 96
                        ? 1
                        : 0;
        p.shown += dark > 10 ? 1 : 0;
      }
      x += width - 1;
    }
    win::test::savePng(yycurrentdialog(), std::string(TW_SHOT_DIR) + "/" + shot, false);
    return p;
  };
  Painted again, reopened;
  command(40012, {[&] {
                    again = painted("annual_exponent_again.png");
                    clickon(field(2));
                  }});
  ASSERT_TRUE(open());
  EXPECT_FLOAT_EQ(twvars.annual[0].user[0], 123456788103168.0f);
  command(40012, {[&] {
                    reopened = painted("annual_exponent_reopened.png");
                    clickon(field(2));
                  }});
  for (const Painted* p : {&again, &reopened}) {
    SCOPED_TRACE(p == &again ? "opened again" : "reopened");
    EXPECT_GE(p->holding, 15) << "flows, baseflows, rain and user values of three years";
    EXPECT_EQ(p->shown, p->holding) << "every cell holding a value is painted";
  }
}

}  // namespace
