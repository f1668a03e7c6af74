// Plot area, units and mapping.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/pgraph/pgraph_fixture.h"
#include "toolkit/graphics/area.h"
#include "toolkit/pgraph/mapping.h"

namespace {

class Mapping : public ::testing::Test {
 protected:
  void SetUp() override { resetchart(); }
  PlotDefinition& pd = tessar.pgraph.plot;
};

TEST_F(Mapping, IPgAreaJudgesEachCornerOnItsOwn) {
  IPgArea(0.2f, 0.3f, 1.5f, 0.8f);
  EXPECT_EQ(pd.PGAREA, (std::array<float, 4>{0.2f, 0.9f, 0.3f, 0.8f}));
  IPgArea(0.6f, 0.1f, 0.4f, 0.9f);   // mirrored, stored as given
  EXPECT_EQ(pd.PGAREA, (std::array<float, 4>{0.6f, 0.4f, 0.1f, 0.9f}));
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

struct UnitsCase {
  const char* why;
  float xmin, ymin, xmax, ymax;
  float wx1, wx2, wy1, wy2;
  int error;
};
const float kInf = std::numeric_limits<float>::infinity();
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const UnitsCase kUnits[] = {
    {"empty x range", 5, 0, 5, 10, 0, 1, 0, 10, 16},
    {"reversed x accepted", 10, 0, 0, 1, 10, 0, 0, 1, 0},
    {"infinite end refused", 0, 0, kInf, 1, 0, 1, 0, 1, 16},
    {"NaN end refused", kNaN, 0, 1, 1, 0, 1, 0, 1, 16},
    {"width beyond single precision refused", -3e38f, 0, 3e38f, 1, 0, 1, 0, 1, 16},
};

TEST_F(Mapping, IpgunitsRefusesUnusableRanges) {
  for (const UnitsCase& c : kUnits) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    ipgunits(c.xmin, c.ymin, c.xmax, c.ymax);
    EXPECT_FLOAT_EQ(pd.PGXMIN, c.wx1);
    EXPECT_FLOAT_EQ(pd.PGXMAX, c.wx2);
    EXPECT_FLOAT_EQ(pd.PGYMIN, c.wy1);
    EXPECT_FLOAT_EQ(pd.PGYMAX, c.wy2);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
  ipgunits(10, 0, 0, 1);
  EXPECT_FLOAT_EQ(pd.PGXRANGE, -10);
  EXPECT_FLOAT_EQ(pd.PGXLOW, 0);
  EXPECT_FLOAT_EQ(pd.PGXHIGH, 10);
  // x = 10 is the left edge of the plot area.
  EXPECT_FLOAT_EQ(yyp2x(10), 0.1f);
  EXPECT_FLOAT_EQ(yyp2x(0), 0.9f);
}

TEST_F(Mapping, ZAndPolarUnits) {
  IPgUnitsZ(3, 1);
  EXPECT_EQ(tessar.error.LASTERROR, 16);
  EXPECT_FLOAT_EQ(pd.PGZMIN, 0);
  EXPECT_FLOAT_EQ(pd.PGZRANGE, 1);
  IPgUnitsZ(-2, 6);
  EXPECT_FLOAT_EQ(pd.PGZRANGE, 8);
  tessar.error.LASTERROR = 0;
  IPgUnitsPolar(0);
  EXPECT_EQ(tessar.error.LASTERROR, 16);
  EXPECT_FLOAT_EQ(pd.PGRMAX, 1);
}

TEST_F(Mapping, IpgscalingComparesThreeLetters) {
  ipgscaling("log", "Lin");
  EXPECT_EQ(pd.XLOG, 1);
  EXPECT_EQ(pd.YLOG, 0);
  ipgscaling("LOGARITHMIC", " ");
  EXPECT_EQ(pd.XLOG, 1);
  EXPECT_EQ(pd.YLOG, 0);
  const int one[1] = {1};
  ipgnewplot1(4, 1, one, 0x40);
  EXPECT_EQ(pd.XLOG, 0);   // no logarithmic angle on a polar chart
  ipgnewplot1(2, 1, one);
  ipgscaling("LIN", "LOG");
  EXPECT_EQ(pd.YLOG, 0);
}

TEST_F(Mapping, LogarithmicAxisMapsMagnitudes) {
  ipgunits(1, 1, 1000, 1);
  ipgscaling("LOG", "LIN");
  EXPECT_FLOAT_EQ(yyp2x(10), 0.1f + 0.8f / 3);
  EXPECT_FLOAT_EQ(yyp2x(-100), yyp2x(100));
  EXPECT_FLOAT_EQ(yylog1(0), -38);
  EXPECT_FLOAT_EQ(yyp2x(0), yyp2x(1e-38f));
}

TEST_F(Mapping, IpgcliprectangleByLetterP) {
  ipgcliprectangle("p");
  EXPECT_EQ(pd.CLIPTOAREA, 1);
  ipgcliprectangle(" ");
  EXPECT_EQ(pd.CLIPTOAREA, 0);
  ipgcliprectangle("XP");
  EXPECT_EQ(pd.CLIPTOAREA, 1);
}

// The bracket around one data set: clipped to the plot area, positions unchanged.
TEST_F(Mapping, YysavpClipsToPlotAreaAndYyrespRestores) {
  IGrArea(0, 0, 1, 1);
  IGrUnits(0, 0, 1, 1);
  ipgunits(0, 0, 100, 50);
  ipgcliprectangle("P");
  const float before = yyp2x(30), beforey = yyp2y(20);
  tessar.graphics.text.JUSTIFY = 2;
  yysavp();
  EXPECT_FLOAT_EQ(tessar.graphics.area.AX1, 0.1f);
  EXPECT_FLOAT_EQ(tessar.graphics.area.XMIN, 64);
  EXPECT_NEAR(yyp2x(30), before, 1e-6);
  EXPECT_NEAR(yyp2y(20), beforey, 1e-6);
  tessar.graphics.text.JUSTIFY = 0;
  yyresp();
  EXPECT_FLOAT_EQ(tessar.graphics.area.AX1, 0);
  EXPECT_FLOAT_EQ(tessar.graphics.area.GX2, 1);
  EXPECT_EQ(pd.PGAREA, (std::array<float, 4>{0.1f, 0.9f, 0.1f, 0.9f}));
  EXPECT_EQ(tessar.graphics.text.JUSTIFY, 2);
}

}  // namespace
