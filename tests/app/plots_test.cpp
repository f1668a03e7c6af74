// The separation and regression plots: date labels by the number of days shown, and both plots of a status-4 project painted on a headless window with their titles, headers, keys and labels as drawn, saved as pictures.
#include "app/plots.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/calendar.h"
#include "platform/message_box.h"
#include "app/modules.h"
#include "app/projectfile.h"
#include "app/regression.h"
#include "tests/screen/screen_fixture.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/settings.h"

namespace {

// A record of n days from the date given, with the date texts a project keeps.
void makedays(int n, int day, int month, int year) {
  twvars.ndays = n;
  for (int i = 0; i < n; ++i) {
    DailyRecord& d = twvars.daily[static_cast<std::size_t>(i)];
    d.day = day;
    d.month = month;
    d.year = year;
    d.datetext = std::to_string(day) + " " + std::string(param.monthabbr[static_cast<std::size_t>(month - 1)]) + " " +
                 std::to_string(year);
    d.datetext.resize(11, ' ');
    nextdate(year, month, day);
  }
}

std::vector<std::string> labels() {
  std::vector<std::string> out;
  for (int k = 0; k < plotdat.nxlabels; ++k) {
    std::string s = plotdat.xlabels[static_cast<std::size_t>(k)];
    s.erase(s.find_last_not_of(' ') + 1);
    out.push_back(s);
  }
  return out;
}

TEST(DayLabels, ByTheNumberOfDaysShown) {
  struct Case {
    const char* why;
    int ndays, day, month, year, first, last;
    std::vector<std::string> head;   // the first labels
    std::vector<float> positions;    // their positions
  };
  const Case cases[] = {
      {"a week: every day", 7, 1, 1, 2000, 1, 7, {"1 Jan 2000", "2 Jan 2000", "3 Jan 2000"}, {1, 2, 3}},
      {"20 days from day 5: even record numbers", 40, 1, 1, 2000, 5, 24, {"6 Jan 2000", "8 Jan 2000"}, {6, 8}},
      {"400 days from 15 March", 500, 15, 3, 1990, 1, 400,
       {"1 May 1990", "1 Jul 1990", "1 Sep 1990", "1 Nov 1990", "1 Jan 1991"}, {48, 109, 171, 232, 293}},
      {"three years: Jan and Jul", 1096, 1, 1, 1990, 1, 1096,
       {"Jan 1990", "Jul 1990", "Jan 1991", "Jul 1991", "Jan 1992", "Jul 1992"}, {1, 182, 366, 547, 731, 913}},
      {"a century: every tenth year", 36525, 1, 1, 1900, 1, 36525, {"1900", "1910", "1920"}, {1, 3653, 7305}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    makedays(c.ndays, c.day, c.month, c.year);
    daylabels(c.last - c.first + 1, c.first, c.last);
    const std::vector<std::string> got = labels();
    ASSERT_GE(got.size(), c.head.size());
    EXPECT_EQ(std::vector<std::string>(got.begin(), got.begin() + static_cast<long>(c.head.size())), c.head);
    for (std::size_t k = 0; k < c.positions.size(); ++k) EXPECT_EQ(plotdat.xlabelpos[k], c.positions[k]);
  }
  makedays(60000, 1, 1, 1850);
  for (int n = 11; n <= 31; ++n) {
    daylabels(n, 1, n);
    EXPECT_LE(plotdat.nxlabels, 16);
  }
}

// Texts the screen side is asked to draw, kept while the real screen draws them.
std::vector<std::string>& drawn() {
  static std::vector<std::string> texts;
  return texts;
}
void (*realscreen)(int&) = nullptr;
void recordingscreen(int& code) {
  if (code == DTEXT) {
    std::string t = tessar.files.HCCURRENT.substr(0, static_cast<std::size_t>(tessar.graphics.operands.IX1));
    drawn().push_back(t);
  }
  realscreen(code);
}

class Plots : public twtest::ScreenFixture {
 protected:
  void SetUp() override {
    ScreenFixture::SetUp();
    openScreen(800, 600);
    IGrUnits(0, 0, 1, 1);   // as the program's main window has them
    tessar.pgraph = PgraphRegion{};
    tessar.files.TEXTBUF.assign(200, ' ');
    tessar.files.DECIMAL = '.';
    yypgreset();
    wgrvfontstandard();
    realscreen = graphicsservices.yygapi;
    graphicsservices.yygapi = recordingscreen;
    drawn().clear();
    initialise_tw_vars();
    twvars.filename = (std::filesystem::path(TW_FIXTURES) / "project-status4.tw").string();
    twvars.filename.resize(500, ' ');
    ASSERT_TRUE(fileopen_read());
  }
  void TearDown() override {
    graphicsservices.yygapi = realscreen;
    ScreenFixture::TearDown();
  }
  static bool has(const std::string& text) {
    for (const std::string& t : drawn())
      if (t == text) return true;
    return false;
  }
  static void save(const char* name) {
    win::test::savePng(winslot(0).hClient, std::string(TW_SHOT_DIR) + "/" + name, false);
  }
};

TEST_F(Plots, SeparationPlotOfAProject) {
  initialiseplot();
  plotdat.vmin = 0;
  plotdat.vmax = 0;
  for (int i = 0; i < twvars.ndays; ++i) plotdat.vmax = std::max(plotdat.vmax, twvars.daily[static_cast<std::size_t>(i)].flow);
  twvars.BFI = 0.4567f;
  refreshplot();
  EXPECT_TRUE(has("Interactive baseflow separation (BFI = 0.46)"));
  EXPECT_TRUE(has("Flow (ML/d)"));
  EXPECT_TRUE(has("Total Flow"));
  EXPECT_TRUE(has("Base Flow"));
  ASSERT_GT(plotdat.nxlabels, 0);
  std::string first = plotdat.xlabels[0];
  first.erase(first.find_last_not_of(' ') + 1);
  EXPECT_TRUE(has(first)) << "the first date label is drawn";
  EXPECT_GT(inkCount(), 5000);
  save("separation_plot.png");
}

TEST_F(Plots, RegressionPlotOfAProject) {
  // Twenty aggregation years July to June with a falling baseflow and rain in the model.
  twvars.numyears = 20;
  twvars.aggstartmonth = 7;
  twvars.aggendmonth = 6;
  twvars.raininclude = 1;
  twvars.filterparam = 0.925f;
  for (int y = 0; y < 20; ++y) {
    AnnualRecord& a = twvars.annual[static_cast<std::size_t>(y)];
    a.year = 1981 + y;
    a.timeindex = y + 1;
    a.rain = 600.0f + static_cast<float>((y * 37) % 11) * 40.0f;
    a.baseflow = 5000.0f - 60.0f * static_cast<float>(y) + 2.5f * a.rain + static_cast<float>((y * 13) % 7) * 30.0f;
    a.flow = 2.0f * a.baseflow;
    a.flowflag = a.rainflag = 1;
    a.usable = y == 7 ? 0 : 1;   // one year dropped
  }
  win::test::clearMessageBoxes();
  linest();
  for (const auto& b : win::test::messageBoxes()) ADD_FAILURE() << b.title << ": " << b.text;
  ASSERT_EQ(twvars.errorflag, 0);
  displayplot();
  EXPECT_TRUE(has("Regression results"));
  EXPECT_TRUE(has("Observed Baseflow"));
  EXPECT_TRUE(has("Estimated Trend"));
  EXPECT_GT(regressdat.nsample, 0);
  EXPECT_EQ(regressdat.nsample, 19) << "the dropped year has no marker";
  float top = 0;
  for (int k = 0; k < regressdat.nsample; ++k)
    top = std::max({top, regressdat.observed[static_cast<std::size_t>(k)], regressdat.estimated[static_cast<std::size_t>(k)]});
  EXPECT_FLOAT_EQ(plotdat.vmax, top + 0.1f * top);
  // The trend line spans every year with the other regressors held at their mean.
  EXPECT_FLOAT_EQ(regressdat.plotseries[1][7], regressdat.coeffs[1] * 8 + regressdat.plotmean);
  EXPECT_EQ(regressdat.plotseries[3][19], 2000.0f);
  EXPECT_LE(plotdat.vmin, 0.0f);
  EXPECT_GT(inkCount(), 5000);
  save("regression_plot.png");
}

}  // namespace
