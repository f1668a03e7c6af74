// Axes and border, the line plot (runs broken by missing values, fills on both sides of the
// base, stacking, markers) and the XY-pairs plot (gaps, closing, marker frequency), and the
// symbols-font switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "tests/hang_guard.h"
#include "tests/pgraph/chart_recorder.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/plots.h"
#include "toolkit/pgraph/settings.h"

namespace {

constexpr float kMissing = -999.0f;

class Plots : public ::testing::Test {
 protected:
  void SetUp() override { resetchartdevice(); }
  PlotDefinition& pd = tessar.pgraph.plot;
  static int count(int code) {
    int n = 0;
    for (const DeviceCall& c : devicelog()) n += (c.side == 'S' && c.code == code);
    return n;
  }
  static std::vector<int> polylinecounts() {
    std::vector<int> out;
    for (const DeviceCall& c : devicelog())
      if (c.side == 'S' && c.code == DPOLYLINE) out.push_back(c.operands.IOPER2);
    return out;
  }
};

TEST_F(Plots, AxesCrossAtZeroOrTheFirstUnit) {
  struct Case { const char* why; float xmin, ymin, xmax, ymax; std::optional<float> x0; float wantx, wanty; };
  const Case cases[] = {
      {"zero inside both", 0, -5, 10, 5, std::nullopt, 0, 0},
      {"zero outside: first units", 1, 1, 10, 5, std::nullopt, 1, 1},
      {"reversed x: the first unit, not the smaller", 10, 1, 1, 5, std::nullopt, 10, 1},
      {"crossing point outside: first unit", 0, 0, 10, 5, 20.0f, 0, 0},
  };
  const std::array<int, 1> nv{10};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ipgnewplot1(4, 1, nv);
    ipgunits(c.xmin, c.ymin, c.xmax, c.ymax);
    devicelog().clear();
    ipgaxes(c.x0);
    const auto s = segments();
    ASSERT_EQ(s.size(), 2u);
    float X = 0, Y = 0;
    device(yyp2x(c.wantx), yyp2y(c.wanty), X, Y);
    EXPECT_NEAR(s[0].x1, X, 0.01f);
    EXPECT_NEAR(s[0].x2, X, 0.01f);
    EXPECT_NEAR(s[1].y1, Y, 0.01f);
    EXPECT_NEAR(s[1].y2, Y, 0.01f);
  }
}

TEST_F(Plots, PolarAxesDrawCrossAndCircle) {
  const std::array<int, 1> nv{12};
  ipgnewplot1(4, 1, nv, 0x40);
  pd.POLAR = 1;
  IPgUnitsPolar(10);
  devicelog().clear();
  const int fill = tessar.graphics.attributes.FILLSTYLE;
  ipgaxes();
  EXPECT_EQ(segments().size(), 2u);
  EXPECT_GE(count(DELLIPSE) + count(DPOLYLINE) + count(DPOLYGON), 1);
  EXPECT_EQ(tessar.graphics.attributes.FILLSTYLE, fill);
}

TEST_F(Plots, BorderOutlinesThePlotRectangle) {
  const std::array<int, 1> nv{10};
  ipgnewplot1(4, 1, nv);
  ipgunits(0, 0, 10, 5);
  devicelog().clear();
  ipgborder();
  EXPECT_FALSE(devicelog().empty());
}

TEST_F(Plots, MissingValuesBreakLinesAndALoneValueDrawsOnlyItsMarker) {
  const std::array<int, 1> nv{7};
  ipgnewplot1(4, 1, nv);
  ipgunits(0, 0, 6, 10);
  ipgmissingdata(kMissing);
  ipgstyle(1, {.a = 0, .b = 3, .c = 0});
  ipgmarkerfrequency(1, 1);
  const std::array<float, 7> y{1, 2, kMissing, 4, kMissing, 5, 6};
  devicelog().clear();
  ipglineplot(y);
  EXPECT_EQ(polylinecounts(), (std::vector<int>{2, 2}));
  EXPECT_EQ(pd.CURRENTSET, 1);
  EXPECT_FLOAT_EQ(pd.YPGEND[0], 6);
  EXPECT_FLOAT_EQ(pd.XPGEND[0], 6);
}

TEST_F(Plots, ReversedXRunsTheSeriesRightToLeft) {
  const std::array<int, 1> nv{3};
  ipgnewplot1(4, 1, nv);
  ipgunits(10, 0, 0, 10);
  ipgstyle(1, {.a = 0, .b = 0, .c = 0});
  const std::array<float, 3> y{1, 2, 3};
  devicelog().clear();
  ipglineplot(y);
  ASSERT_EQ(polylinecounts(), (std::vector<int>{3}));
  const DeviceCall* poly = nullptr;
  for (const DeviceCall& c : devicelog())
    if (c.code == DPOLYLINE) poly = &c;
  float X = 0, Y = 0;
  device(yyp2x(0), yyp2y(1), X, Y);
  EXPECT_NEAR(poly->x[0], X, 0.01f);   // value 1 at the smaller X unit
  EXPECT_FLOAT_EQ(pd.XPGEND[0], 0);    // the second X unit
}

TEST_F(Plots, FillAcrossTheBaseIsTwoTrianglesMeetingOnTheZeroLine) {
  double h1 = 0.2f;
  // From 0.2 above the base 0.5 to 0.2 below it: crosses at the middle.
  tessar.pgraph.plot.CURRENTSET = 1;
  ipgstyle(1, {.a = 4, .b = 0, .c = 1});
  igrfillpattern(4);
  devicelog().clear();
  yypgli(0.5f, 0.1f, 0.5f, 0.9f, 0.3f, h1, -0.2f);
  int tri = 0;
  for (const DeviceCall& c : devicelog())
    if (c.side == 'S' && (c.code == DTRIANGLE || c.code == DTRIANGLESOLID || c.code == DPOLYGON ||
                          c.code == DPOLYGONSOLID))
      ++tri;
  EXPECT_GE(tri, 2);
  EXPECT_FLOAT_EQ(static_cast<float>(h1), -0.2f);
}

TEST_F(Plots, FilledSetWithAFarValueFillsOnlyWhatShows) {
  // One value of 1e8 on Y units 0-10: its fill reaches some 5e9 device units up; from 1e15
  // its height less the base no longer held the base, and the hatch fell below the axis.
  // The X axis either way round.
  const std::array<int, 1> nv{3};
  for (const float far : {1e8f, 1e15f, 1e20f, 1e30f})
  for (const bool xreversed : {false, true})
  for (const int angle : {1, 3, 4}) {
    SCOPED_TRACE(angle);
    SCOPED_TRACE(xreversed);
    SCOPED_TRACE(far);
    ipgnewplot1(4, 1, nv);
    ipgunits(xreversed ? 2 : 0, 0, xreversed ? 0 : 2, 10);
    ipgstyle(1, {.a = 1, .b = 2, .c = angle});
    const std::array<float, 3> y{1, far, 2};
    devicelog().clear();
    {
      HangGuard guard("a line chart with a filled set and one far value", 20);
      ipglineplot(y);
    }
    EXPECT_GT(count(DLINE), 20);
    // Nothing of the fill lies below the base line (value 0): the corner under the far
    // value once fell rows below it.
    float X = 0, base = 0;
    device(yyp2x(0), yyp2y(0), X, base);
    int below = 0;
    for (const Segment& g : segments()) below += std::min(g.y1, g.y2) < base - 0.5f;
    EXPECT_EQ(below, 0) << "hatch lines below the base line";
  }
}

TEST_F(Plots, StackedSetsSitOnTheValidValuesBelow) {
  const std::array<int, 1> nv{3};
  ipgnewplot1(4, 2, nv, 0x400);
  ASSERT_EQ(pd.STACKED, 1);
  ipgunits(0, 0, 2, 10);
  ipgmissingdata(kMissing);
  const std::array<float, 3> a{1, kMissing, 2}, b{3, 4, 5};
  ipglineplot(a);
  ASSERT_EQ(pd.PGSTACK.size(), 3u);
  EXPECT_FLOAT_EQ(pd.PGSTACK[1], 0);
  ipglineplot(b);
  EXPECT_TRUE(pd.PGSTACK.empty());   // released after the last set
  EXPECT_FLOAT_EQ(pd.YPGEND[1], 5 + 2);
}

TEST_F(Plots, WrongTypeOrFinishedChartDrawsNothing) {
  const std::array<int, 1> nv{3};
  const std::array<float, 3> y{1, 2, 3};
  ipgnewplot1(6, 1, nv);
  ipglineplot(y);
  EXPECT_EQ(pd.CURRENTSET, 0);
  ipgxypairs(y, y);
  ipgxypairs(y, y);
  EXPECT_EQ(pd.CURRENTSET, 1);
}

TEST_F(Plots, XYPairsSkipMissingPairsAndJoinTwoPointRunsStraight) {
  const std::array<int, 1> nv{5};
  ipgnewplot1(6, 1, nv);
  ipgunits(0, 0, 6, 6);
  ipgmissingdata(kMissing);
  ipgstyle(1, {.a = 0, .b = 0, .c = 0});
  const std::array<float, 5> x{1, 2, kMissing, 4, 5}, y{1, 2, 3, 4, 5};
  devicelog().clear();
  ipgxypairs(x, y);
  EXPECT_EQ(segments().size(), 2u);
  EXPECT_TRUE(polylinecounts().empty());
  EXPECT_FLOAT_EQ(pd.XPGEND[0], 5);
}

TEST_F(Plots, ClosedXYSetsCloseOnlyWhenBothEndsAreValid) {
  struct Case { const char* why; std::array<float, 4> x; int segs; std::vector<int> polys; };
  const Case cases[] = {
      {"all valid: closed ring of 5 points", {1, 2, 3, 4}, 0, {5}},
      {"last missing: open", {1, 2, 3, kMissing}, 0, {3}},
      {"next to last missing: last pair joined to the first", {1, 2, kMissing, 4}, 2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const std::array<int, 1> nv{4};
    ipgnewplot1(6, 1, nv);
    ipgunits(0, 0, 6, 6);
    ipgmissingdata(kMissing);
    ipgstyle(1, {.a = 0, .b = 0, .c = 1});
    const std::array<float, 4> y{1, 3, 2, 5};
    devicelog().clear();
    ipgxypairs(c.x, y);
    EXPECT_EQ(static_cast<int>(segments().size()), c.segs);
    EXPECT_EQ(polylinecounts(), c.polys);
  }
}

TEST_F(Plots, MarkerFrequencyMarksEveryThirdValidPairFromTheSecond) {
  const std::array<int, 1> nv{9};
  ipgnewplot1(6, 1, nv);
  ipgunits(0, 0, 10, 10);
  ipgmissingdata(kMissing);
  ipgstyle(1, {.a = 0, .b = 1, .c = 0});
  ipgmarker(1, 7);
  ipgmarkerfrequency(2, 3);
  const std::array<float, 9> x{1, 2, 3, 4, kMissing, 6, 7, 8, 9};
  drawntexts().clear();
  ipgxypairs(x, x);
  ASSERT_EQ(drawntexts().size(), 2u);   // pairs 2 and 8; 5 is missing
  EXPECT_EQ(drawntexts()[0].text, "7");
}

TEST_F(Plots, SymbolsFontSwitchRestoresTheFontBefore) {
  igrinit("");
  wgrvfontvxksymbols(0);
  const std::string symbols = tessar.graphics.font.NAME;
  tessar.graphics.text.FONTKIND = 1;
  yysyload(1);
  yysyload(0);
  EXPECT_EQ(tessar.graphics.font.NAME, symbols);
  EXPECT_EQ(tessar.graphics.text.FONTKIND, 1);
}

}  // namespace
