// The chart definition and its defaults.
#include <gtest/gtest.h>

#include "tests/pgraph/pgraph_fixture.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/mapping.h"

namespace {

class Chart : public ::testing::Test {
 protected:
  void SetUp() override { resetchart(); }
  PlotDefinition& pd = tessar.pgraph.plot;
};

TEST_F(Chart, GraphicsResetLeavesTheChartDefaults) {
  pd.SETSTYLE[9] = {1, 1, 1};
  pd.CLIPTOAREA = 1;
  pd.DECIMALPLACES = 3;
  igrinit(" ");
  EXPECT_EQ(pd.PGAREA, (std::array<float, 4>{0.1f, 0.9f, 0.1f, 0.9f}));
  EXPECT_EQ(pd.PGTYPE, 4);
  EXPECT_EQ(pd.NSETS, 500);
  EXPECT_EQ(pd.PGENDSIZE, 500);
  EXPECT_EQ(pd.XPGEND.size(), 500u);
  EXPECT_EQ(pd.SETSTYLE[9], (std::array<int, 3>{4, 2, 0}));
  // Set k (1-based) gets 32 x ((k mod 6) + 1) and 32 x ((k mod 6) + 2).
  EXPECT_EQ(pd.SETCOLOUR[0], (std::array<int, 2>{64, 96}));
  EXPECT_EQ(pd.SETCOLOUR[5], (std::array<int, 2>{32, 64}));
  EXPECT_EQ(pd.SETMARKER[0], -1);
  EXPECT_EQ(pd.CLIPTOAREA, 0);
  EXPECT_EQ(pd.DECIMALPLACES, -1);
  EXPECT_FLOAT_EQ(pd.ROTCOS1, 0.70710677f);
  EXPECT_FLOAT_EQ(pd.KEYAREA[0], 1);
  EXPECT_FLOAT_EQ(pd.SCALEGAPW, 0.6f);
  EXPECT_FLOAT_EQ(pd.PGXMAX, 1);
}

TEST_F(Chart, Newplot1ClampsAndKeepsLooksWithoutDefaults) {
  pd.SETSTYLE[0] = {7, 7, 7};
  const int zero[1] = {0};
  ipgnewplot1(0, 600, zero);
  EXPECT_EQ(pd.PGTYPE, 4);
  EXPECT_EQ(pd.NSETS, 500);
  EXPECT_EQ(pd.NVALUES[0], 1);
  EXPECT_EQ(pd.CURRENTSET, 0);
  EXPECT_EQ(pd.SETSTYLE[0], (std::array<int, 3>{7, 7, 7}));
}

TEST_F(Chart, Newplot1ArraysNeverShrink) {
  const int one[1] = {1};
  ipgnewplot1(6, 10, one);
  EXPECT_EQ(pd.XPGEND.size(), 500u);
  tessar.pgraph = PgraphRegion{};
  ipgnewplot1(4, 10, one);
  EXPECT_EQ(pd.PGENDSIZE, 10);
  ipgnewplot1(4, 3, one);
  EXPECT_EQ(pd.PGENDSIZE, 10);
  ipgnewplot1(6, 20, one);
  EXPECT_EQ(pd.PGENDSIZE, 20);
  EXPECT_EQ(pd.YPGEND.size(), 20u);
  ipgnewplot1(3, 5, one);
  EXPECT_EQ(pd.PGPIESIZE, 5);
}

struct OptionCase {
  const char* why;
  int type, options;
  std::array<int, 3> nvalues;
  int threed, polar, threedxy, stacked;
  float depthratio;
};
const OptionCase kOptions[] = {
    {"3-D wins over polar on type 6", 6, 1 | 0x40, {5, 0, 0}, 1, 0, 1, 0, 0.5f},
    {"type 4 is not a 3-D kind", 4, 1, {5, 9, 0}, 0, 0, 0, 0, 0},
    {"type 1 with 0x20 drops 3-D and stacking", 1, 1 | 0x400 | 0x20, {5, 0, 0}, 0, 0, 0, 0, 0},
    {"type 8 depth from the counts", 8, 1 | 0x200, {10, 40, 0}, 1, 0, 1, 0, 0.125f},
    {"type 8 depth the other way", 8, 1 | 0x200, {40, 10, 0}, 1, 0, 1, 0, 0.875f},
    {"type 8 without proportional depth", 8, 1, {40, 10, 0}, 1, 0, 1, 0, 0.5f},
    {"polar line chart", 4, 0x40 | 0x400, {5, 0, 0}, 0, 1, 0, 1, 0},
};

TEST_F(Chart, Newplot1OptionFlags) {
  for (const OptionCase& c : kOptions) {
    SCOPED_TRACE(c.why);
    pd.DEPTHRATIO = 0;
    pd.NVALUES[1] = 0;
    ipgnewplot1(c.type, 5, c.nvalues, c.options);
    EXPECT_EQ(pd.THREED, c.threed);
    EXPECT_EQ(pd.POLAR, c.polar);
    EXPECT_EQ(pd.THREEDXY, c.threedxy);
    EXPECT_EQ(pd.STACKED, c.stacked);
    EXPECT_FLOAT_EQ(pd.DEPTHRATIO, c.depthratio);
  }
  const int values[3] = {5, 9, 0};
  ipgnewplot1(4, 5, values, 1);
  EXPECT_EQ(pd.NVALUES[1], 0);   // not a 3-D kind: the second count is not read
}

TEST_F(Chart, Newplot1LineDefaultsInPaletteModel) {
  const int values[1] = {365};
  ipgnewplot1(4, 3, values, 0, 1);
  EXPECT_EQ(pd.SETSTYLE[0], (std::array<int, 3>{0, 1, 0}));
  EXPECT_EQ(pd.SETSTYLE[1], (std::array<int, 3>{-1, 1, 0}));
  EXPECT_EQ(pd.SETSTYLE[2], (std::array<int, 3>{-2, 1, 0}));
  EXPECT_EQ(pd.SETMARKER[2], 3);
  EXPECT_EQ(pd.SETCOLOUR[0], (std::array<int, 2>{32, 64}));
  EXPECT_EQ(pd.SETCOLOUR[1], (std::array<int, 2>{69, 101}));
  EXPECT_EQ(pd.SETCOLOUR[2], (std::array<int, 2>{107, 139}));
  EXPECT_EQ(pd.MARKERFREQ, (std::array<int, 2>{50, 50}));
  EXPECT_FLOAT_EQ(pd.TITLEPOS, 0.5f);
}

TEST_F(Chart, Newplot1RgbColoursAndOtherSchemes) {
  tessar.graphics.attributes.COLOURMODEL = 2;
  const int one[1] = {1};
  ipgnewplot1(6, 2, one, 0x40, 1);
  // k = 1: red = 223 - 32 + 255 / 32 = 198, green 143, blue 159.
  EXPECT_EQ(pd.SETCOLOUR[0][0], 198 + 256 * 143 + 65536 * 159);
  EXPECT_EQ(pd.SETCOLOUR[0][1], 57 + 256 * 143 + 65536 * 159);
  EXPECT_EQ(pd.SETSTYLE[1], (std::array<int, 3>{-1, 0, 0}));
  EXPECT_FLOAT_EQ(pd.TITLEPOS, 0.65f);

  ipgnewplot1(7, 100, one, 0, 1);
  EXPECT_EQ(pd.SETSTYLE[39][1], 3);
  EXPECT_EQ(pd.SETMARKER[39], 40);
  EXPECT_EQ(pd.SETSTYLE[40][1], 2);
  EXPECT_EQ(pd.SETMARKER[40], 1);
  EXPECT_EQ(pd.SETSTYLE[92][1], 3);
  EXPECT_EQ(pd.SETMARKER[92], 1);

  const int grid[2] = {4, 4};
  ipgnewplot1(5, 8, grid, 1 | 0x10, 1);
  EXPECT_EQ(pd.SETCOLOUR[0][0], 255);
  EXPECT_EQ(pd.SETCOLOUR[1][0], 65535);
  EXPECT_FLOAT_EQ(pd.KEYPOS, 0.6f);
  EXPECT_EQ(pd.WALLFILL, 4);
  EXPECT_EQ(pd.WALLCOLOUR[0], 8618883);
  EXPECT_FLOAT_EQ(pd.SCALEANGLE[1], 0.7853982f);
}

struct FreqCase { int n, f; };
constexpr FreqCase kFreqs[] = {{12, 1}, {13, 2}, {50, 5}, {100, 10}, {365, 50}, {1000, 100}};

TEST(Yypgmarkerfreq, OneTwoFiveSteps) {
  for (const FreqCase& c : kFreqs) {
    SCOPED_TRACE(c.n);
    EXPECT_EQ(yypgmarkerfreq(c.n), c.f);
  }
}

}  // namespace
