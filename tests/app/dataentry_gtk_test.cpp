// The data dialogs of the real program on a desktop: build/app/tarnwalker on a private Xvfb
// server (GTK backend), driven with xdotool, the USGS record put on the desktop's clipboard by
// xclip as a spreadsheet copies it (tab-separated, one day a line). New; Add new daily flows
// with a start date typed, the flows pasted, OK, the data check summary; Review with the missing
// rain coloured; again with flows and rain; Review with the missing and negative flows
// coloured; the aggregation period July-June chosen in its drop-down lists; a separation; one
// annual variable named, pasted and typed (one value too wide for two decimals); Save; the saved
// file read and reopened in the program, its annual entry painted. Screenshots are kept in the
// build folder.
#include <gtest/gtest.h>

#include <signal.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/app/program_desktop.h"
#include "tests/app/usgs_spreadsheet.h"

namespace fs = std::filesystem;

namespace {

using namespace tw::test::usgssheet;
using tw::test::lines;

// Places in the program's dialogs, in pixels from the dialog window's top left corner (the
// dialog units of the templates in the program's font on this server).
struct At { int x, y; };
constexpr At kEntryTopFlowCell{191, 246}, kEntryOk{197, 650};
constexpr At kReviewFinished{279, 650};
constexpr At kFromArrow{125, 79}, kToArrow{251, 79}, kPeriodOk{171, 205};
constexpr At kHeaderOther1{466, 171}, kFirstOther1{466, 212}, kAnnualOk{555, 609};
constexpr int kAnnualRow = 18;   // pixels from one row of the annual grid to the next
// The review grid's flow and rain cells.
constexpr int kReviewCellsTop = 130, kReviewCellsBottom = 590;
constexpr int kFlowLeft = 138, kFlowRight = 222, kRainLeft = 227, kRainRight = 294;

class DataOnDesktop : public tw::test::ProgramOnDesktop {
 protected:
  void SetUp() override {
    ProgramOnDesktop::SetUp();
    ASSERT_TRUE(tw::test::needtool("xclip", "xclip"));
  }
  void TearDown() override {
    dropclipboard();
    ProgramOnDesktop::TearDown();
  }

  bool clickAt(const std::string& window, At at) {
    return tw::test::sh("eval \"$(xdotool getwindowgeometry --shell " + window + ")\"; xdotool mousemove $((X + " +
                        std::to_string(at.x) + ")) $((Y + " + std::to_string(at.y) + ")) sleep 0.2 click 1");
  }
  // Keys pressed where the pointer is (the field or list last clicked).
  static bool press(const std::string& what) { return tw::test::sh("sleep 0.2; timeout 10 xdotool key --delay 80 " + what); }

  // The text put on the desktop's clipboard by xclip, which stays as its owner until ended.
  void toclipboard(const std::string& text) {
    dropclipboard();
    const fs::path file = dir / "clipboard.txt";
    std::ofstream(file, std::ios::binary) << text;
    int status = 0;
    std::string pid = tw::test::runCommand(
        "xclip -selection clipboard -i " + file.string() + " >/dev/null 2>&1 </dev/null & echo $!", status);
    xclip = std::atoi(pid.c_str());
    ASSERT_GT(xclip, 0);
    // Owned once another client can read it back.
    for (int i = 0; i < 50; ++i) {
      if (tw::test::sh("timeout 5 xclip -selection clipboard -o | head -c 1 | grep -q .")) return;
      ::usleep(100000);
    }
    FAIL() << "xclip did not take the clipboard";
  }
  void dropclipboard() {
    if (xclip > 0) {
      ::kill(xclip, SIGTERM);
      xclip = 0;
    }
  }

  // Add new daily flows: the start date typed over the dialog's, OK; the text pasted at the
  // top flow cell from the desktop's clipboard, OK. The entry dialog, before OK, in picture.
  void newdaily(const std::string& main, int d, int m, int y, const std::string& text, const std::string& picture) {
    toclipboard(text);
    ASSERT_TRUE(keys(main, "alt+a a"));
    const std::string date = waitWindow("^Select start date$");
    ASSERT_FALSE(date.empty()) << "no start date dialog";
    ::usleep(400000);
    ASSERT_TRUE(keys(date, "End shift+Home"));
    ASSERT_TRUE(type(std::to_string(d)));
    ASSERT_TRUE(press("Tab End shift+Home"));
    ASSERT_TRUE(type(std::to_string(m)));
    ASSERT_TRUE(press("Tab End shift+Home"));
    ASSERT_TRUE(type(std::to_string(y)));
    shot(picture + "_date");
    ASSERT_TRUE(keys(date, "Return"));
    const std::string entry = waitWindow("^Paste new daily flows$");
    ASSERT_FALSE(entry.empty()) << "no entry dialog";
    ::usleep(800000);
    ASSERT_TRUE(clickAt(entry, kEntryTopFlowCell));
    ASSERT_TRUE(press("ctrl+v"));
    ::usleep(1500000);
    shot(picture);
    ASSERT_TRUE(clickAt(entry, kEntryOk));
  }

  // Pixels of colour c (within a few steps) in the flow or the rain cells of the review dialog.
  static int pixels(const std::string& png, const std::string& dialog, bool flow, win::COLORREF c) {
    return pixels(png, dialog, flow ? kFlowLeft : kRainLeft, flow ? kFlowRight : kRainRight, kReviewCellsTop,
                  kReviewCellsBottom, c);
  }
  // Pixels of colour c in a rectangle of a dialog (pixels from its top left corner, inclusive).
  static int pixels(const std::string& png, const std::string& dialog, int left, int right, int top, int bottom,
                    win::COLORREF c) {
    int status = 0;
    std::istringstream geometry(tw::test::runCommand("xdotool getwindowgeometry --shell " + dialog, status));
    std::map<std::string, int> g;
    for (std::string l; std::getline(geometry, l);)
      if (const auto eq = l.find('='); eq != std::string::npos) g[l.substr(0, eq)] = std::atoi(l.c_str() + eq + 1);
    cairo_surface_t* image = tw::test::loadPng(png);
    if (!image) return -1;
    int n = 0;
    for (int x = left; x <= right; ++x)
      for (int y = top; y <= bottom; ++y) {
        const win::COLORREF p = tw::test::pixelAt(image, g["X"] + x, g["Y"] + y);
        if (std::abs(int(p & 0xFF) - int(c & 0xFF)) < 8 && std::abs(int((p >> 8) & 0xFF) - int((c >> 8) & 0xFF)) < 8 &&
            std::abs(int((p >> 16) & 0xFF) - int((c >> 16) & 0xFF)) < 8)
          ++n;
      }
    cairo_surface_destroy(image);
    return n;
  }

  pid_t xclip = 0;
};

constexpr win::COLORREF kOrange = 255 | (180 << 8) | (70 << 16), kYellow = 255 | (255 << 8);

// The Daily Data table of a saved project: date number to flow and rain as written.
struct Day { double flow, rain; };
std::map<int, Day> dailytable(const fs::path& file) {
  std::map<int, Day> days;
  bool in = false;
  for (const std::string& l : lines(file)) {
    if (l.rfind("YYYYMMDD", 0) == 0) {
      in = true;
      continue;
    }
    if (!in || l.empty()) continue;
    std::istringstream s(l);
    int date = 0;
    double flow = 0, baseflow = 0, rain = 0;
    if (s >> date >> flow >> baseflow >> rain) days[date] = Day{flow, rain};
  }
  return days;
}

TEST_F(DataOnDesktop, UsgsRecordPastedReviewedAggregatedAnnualVariableSavedAndReopened) {
  const std::string main = startToMainWindow();
  ASSERT_FALSE(main.empty()) << "no about dialog or no main window after it";

  // File > New: the notice, then GTK's chooser for the new file's name.
  ASSERT_TRUE(keys(main, "alt+f n"));
  ASSERT_TRUE(answer("^New file$")) << "no notice for New";
  const std::string chooser = waitWindow("^New file name$");
  ASSERT_FALSE(chooser.empty()) << "no file chooser for New";
  ::usleep(1500000);
  ASSERT_TRUE(keys(chooser, "ctrl+a"));
  ASSERT_TRUE(type("tarn"));
  ASSERT_TRUE(keys(chooser, "Return"));
  ASSERT_TRUE(answer("^Done$", "Return", "data_new_done")) << "no Done after New";
  const fs::path project = dir / "tarn.tw";

  ::usleep(500000);
  // Flows only: the summary counts the gaps and finds no rain; No to the save.
  newdaily(main, 1, 1, 2000, spreadsheet(false, "\n"), "data_entry_flows");
  ASSERT_TRUE(answer("^File opened$", "Return", "data_summary_flows")) << "no data check summary";
  ASSERT_TRUE(answer("^Save now\\?$", "n")) << "no save question";
  // Review: every rain cell orange, the first page of flows on white.
  ::usleep(500000);
  ASSERT_TRUE(keys(main, "alt+a r"));
  std::string review = waitWindow("^Review daily flows$");
  ASSERT_FALSE(review.empty()) << "no review dialog";
  std::string png = shot("data_review_flows");
  EXPECT_GT(pixels(png, review, false, kOrange), 8000) << "missing rain in orange";
  EXPECT_EQ(pixels(png, review, true, kOrange), 0) << "no missing flow on the first page";
  ASSERT_TRUE(clickAt(review, kReviewFinished));

  // Flows with rain, OK; the summary; Yes to the save.
  newdaily(main, 1, 1, 2000, spreadsheet(true, "\n"), "data_entry_rain");
  ASSERT_TRUE(answer("^File opened$", "Return", "data_summary_rain")) << "no data check summary";
  ASSERT_TRUE(answer("^Save now\\?$", "y")) << "no save question";
  ASSERT_TRUE(answer("^Done$")) << "no Done after the save";
  // Review: down to the week of missing flows (10-16 April 2000, from day 101), then to the
  // negative flow (19 July 2000, day 201).
  ::usleep(500000);
  ASSERT_TRUE(keys(main, "alt+a r"));
  review = waitWindow("^Review daily flows$");
  ASSERT_FALSE(review.empty()) << "no review dialog";
  ::usleep(500000);
  ASSERT_TRUE(clickAt(review, At{kFlowLeft + 40, kReviewCellsTop + 8}));
  ASSERT_TRUE(press("Next Next Next Next Up Up Up Up Up"));
  png = shot("data_review_gap");
  EXPECT_GT(pixels(png, review, true, kOrange), 500) << "missing flows in orange";
  ASSERT_TRUE(press("Next Next Next"));
  png = shot("data_review_negative");
  EXPECT_GT(pixels(png, review, true, kYellow), 100) << "the negative flow on yellow";
  ASSERT_TRUE(clickAt(review, kReviewFinished));

  // Aggregation period: July in the first list, June in the second, picked with the arrow
  // keys in the lists dropped down; the number of months follows.
  ::usleep(500000);
  ASSERT_TRUE(keys(main, "alt+a s"));
  const std::string period = waitWindow("^Select aggregation period$");
  ASSERT_FALSE(period.empty()) << "no aggregation period dialog";
  ASSERT_TRUE(clickAt(period, kFromArrow));
  ASSERT_TRUE(press("Down Down Down Down Down Down"));
  shot("data_period_list");
  ASSERT_TRUE(press("Return"));
  ASSERT_TRUE(clickAt(period, kToArrow));
  ASSERT_TRUE(press("Up Up Up Up Up Up"));
  ASSERT_TRUE(press("Return"));
  shot("data_period_july_june");
  ASSERT_TRUE(clickAt(period, kPeriodOk));

  // The separation (the annual entry needs it): Finished in its parameter dialog, back to the
  // main menu, No to the save.
  ::usleep(500000);
  ASSERT_TRUE(keys(main, "alt+a b"));
  const std::string parameters = waitWindow("^Baseflow Parameters$");
  ASSERT_FALSE(parameters.empty()) << "no separation";
  shot("data_separation");
  ASSERT_TRUE(keys(parameters, "Return"));
  ::usleep(500000);
  ASSERT_TRUE(keys(main, "alt+r"));
  ASSERT_TRUE(answer("^Save now\\?$", "n")) << "no save question after the separation";

  // New additional variables: the first user column named "Bore depth", ten years pasted from
  // 2001 down, one typed for 2011 and not left; OK, Yes to the save.
  ::usleep(500000);
  ASSERT_TRUE(keys(main, "alt+a n"));
  const std::string annual = waitWindow("^Baseflow Regression$");
  ASSERT_FALSE(annual.empty()) << "no annual entry";
  ::usleep(600000);
  shot("data_annual_open");
  std::string values;
  for (int y = 0; y < 10; ++y) values += std::to_string(10 + y) + ".25\n";
  toclipboard(values);
  ASSERT_TRUE(clickAt(annual, kHeaderOther1));
  ASSERT_TRUE(press("Home shift+End"));
  ASSERT_TRUE(type("Bore depth"));
  ASSERT_TRUE(clickAt(annual, At{kFirstOther1.x, kFirstOther1.y + kAnnualRow}));
  ASSERT_TRUE(press("ctrl+v"));
  ASSERT_TRUE(clickAt(annual, At{kFirstOther1.x, kFirstOther1.y + 11 * kAnnualRow}));
  ASSERT_TRUE(type("7.5"));
  // A value too wide for its cell in two decimals, kept in the exponent form.
  ASSERT_TRUE(clickAt(annual, At{kFirstOther1.x, kFirstOther1.y + 13 * kAnnualRow}));
  ASSERT_TRUE(type("123456789012345"));
  ASSERT_TRUE(clickAt(annual, At{kFirstOther1.x, kFirstOther1.y + 11 * kAnnualRow}));
  shot("data_annual_entered");
  ASSERT_TRUE(clickAt(annual, kAnnualOk));
  ASSERT_TRUE(answer("^Save now\\?$", "y")) << "no save question after the annual entry";
  ASSERT_TRUE(answer("^Done$")) << "no Done after the save";

  // The saved file: the days as pasted (two decimals), the period, the annual variable.
  const std::map<int, Day> days = dailytable(project);
  ASSERT_EQ(days.size(), usgs().flows.size());
  int wrong = 0, k = 0;
  for (const auto& [date, day] : days) {
    const std::string f = flowcell(k), r = raincell(k);
    const double flow = f.empty() || k == kBelowMissing ? -999.0 : std::stod(f);
    const double rain = r.empty() ? -999.0 : std::stod(r);
    if (std::fabs(day.flow - flow) > 0.0051 || std::fabs(day.rain - rain) > 0.051) {
      if (++wrong < 5) ADD_FAILURE() << date << ": " << day.flow << " " << day.rain << ", pasted " << f << " " << r;
    }
    ++k;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(days.begin()->first, 20000101);
  EXPECT_EQ(days.rbegin()->first, 20191231);
  const std::vector<std::string> saved = lines(project);
  auto line = [&saved](const std::string& start) {
    for (const std::string& l : saved)
      if (l.find(start) != std::string::npos) return l;
    return std::string("(no line with " + start + ")");
  };
  EXPECT_NE(line("annual aggregation start month").find("7  (Jul)"), std::string::npos);
  EXPECT_NE(line("annual aggregation end month").find("6  (Jun)"), std::string::npos);
  EXPECT_NE(line("  Year           Flows").find("Bore depth"), std::string::npos) << line("  Year           Flows");
  std::istringstream y2001(line("  2001  ")), y2011(line("  2011  ")), y2012(line("  2012  "));
  double year = 0, flow = 0, baseflow = 0, rain = 0, user = 0;
  y2001 >> year >> flow >> baseflow >> rain >> user;
  EXPECT_DOUBLE_EQ(user, 10.25);
  y2011 >> year >> flow >> baseflow >> rain >> user;
  EXPECT_DOUBLE_EQ(user, 7.5) << "typed and not left: OK takes it";
  y2012 >> year >> flow >> baseflow >> rain >> user;
  EXPECT_DOUBLE_EQ(user, -999.0);
  EXPECT_NE(line("  2013  ").find(" 0.123456788E+15 "), std::string::npos) << line("  2013  ");

  // File > Open the saved file, No to saving the project in hand first: the same summary;
  // Review shows the same record.
  ::usleep(800000);
  ASSERT_TRUE(keys(main, "alt+f o"));
  ASSERT_TRUE(answer("^Save now\\?$", "n")) << "no save question at Open";
  const std::string opener = waitWindow("^Open data$");
  ASSERT_FALSE(opener.empty()) << "no file chooser for Open";
  ::usleep(1500000);
  ASSERT_TRUE(keys(opener, "ctrl+l"));
  ASSERT_TRUE(type(project.string()));
  ASSERT_TRUE(keys(opener, "Return"));
  ASSERT_TRUE(answer("^File opened$", "Return", "data_reopened_summary")) << "no summary of the reopened file";
  ASSERT_TRUE(keys(main, "alt+a r"));
  review = waitWindow("^Review daily flows$");
  ASSERT_FALSE(review.empty()) << "no review dialog";
  ::usleep(500000);
  ASSERT_TRUE(clickAt(review, At{kFlowLeft + 40, kReviewCellsTop + 8}));
  ASSERT_TRUE(press("Next Next Next Next Up Up Up Up Up"));
  png = shot("data_reopened_review");
  EXPECT_GT(pixels(png, review, true, kOrange), 500) << "missing flows in orange after reopening";
  ASSERT_TRUE(clickAt(review, kReviewFinished));
  // New additional variables again: the cells of the user column, the wide value's too, are
  // painted (white), not left blank on the dialog's grey.
  ::usleep(500000);
  ASSERT_TRUE(keys(main, "alt+a n"));
  const std::string again = waitWindow("^Baseflow Regression$");
  ASSERT_FALSE(again.empty()) << "no annual entry after reopening";
  ::usleep(800000);
  png = shot("data_reopened_annual");
  constexpr win::COLORREF kWhite = 0xFFFFFF;
  EXPECT_GT(pixels(png, again, kFirstOther1.x - 30, kFirstOther1.x + 30, kFirstOther1.y - 5,
                   kFirstOther1.y + 14 * kAnnualRow, kWhite),
            60 * 14 * 8)
      << "the user column's cells painted";
  ASSERT_TRUE(keys(again, "Escape"));

  // File > Exit, No to the save question: the program ends with status 0.
  ::usleep(500000);
  ASSERT_TRUE(keys(main, "alt+f e"));
  ASSERT_TRUE(answer("^Save now\\?$", "n")) << "no save question at Exit";
  for (int i = 0; i < 150 && !ended(); ++i) ::usleep(100000);
  ASSERT_TRUE(ended()) << "the program did not end after Exit";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
