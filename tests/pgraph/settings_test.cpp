// Chart settings.
#include <gtest/gtest.h>

#include "tests/pgraph/pgraph_fixture.h"
#include "toolkit/pgraph/settings.h"

namespace {

class Settings : public ::testing::Test {
 protected:
  void SetUp() override { resetchart(); }
  PlotDefinition& pd = tessar.pgraph.plot;
};

TEST_F(Settings, SetStylesAndMarkersOnlyForValidSets) {
  const auto styles = pd.SETSTYLE;
  const auto markers = pd.SETMARKER;
  ipgstyle(501, {.a = 1});
  ipgmarker(0, 5);
  EXPECT_EQ(pd.SETSTYLE, styles);
  EXPECT_EQ(pd.SETMARKER, markers);
  ipgstyle(3, {.b = 2});
  EXPECT_EQ(pd.SETSTYLE[2], (std::array<int, 3>{4, 2, 0}));
  ipgstyle(3, {.a = -1, .colour2 = 7});
  EXPECT_EQ(pd.SETSTYLE[2][0], -1);
  EXPECT_EQ(pd.SETCOLOUR[2][1], 7);
  ipgmarker(500, 12);
  EXPECT_EQ(pd.SETMARKER[499], 12);
}

struct ClampCase { const char* why; void (*set)(float); float value; float* field; float want; };

TEST_F(Settings, PositionsAndLengthsAreClamped) {
  const ClampCase cases[] = {
      {"x scale position at most 1", ipgxscalepos, 1.2f, &pd.XSCALEPOS, 1},
      {"y scale position has no upper limit", ipgyscalepos, 3, &pd.YSCALEPOS, 3},
      {"y scale position not below 0", ipgyscalepos, -1, &pd.YSCALEPOS, 0},
      {"tick length not below 0", ipgxticklength, -2, &pd.TICKLENGTH[0], 0},
      {"title position", ipgtitlepos, 0.3f, &pd.TITLEPOS, 0.3f},
      {"elevation above 45 degrees", ipgelevation, 60, &pd.ELEVATION, 1},
      {"elevation below 0", ipgelevation, -5, &pd.ELEVATION, 0},
      {"elevation half way", ipgelevation, 22.5f, &pd.ELEVATION, 0.5f},
      {"rotation below zero wraps", ipgrotation, -90, &pd.ROTATION, 270},
      {"a whole turn is 0", ipgrotation, 360, &pd.ROTATION, 0},
      {"beyond a turn below zero is 0", ipgrotation, -400, &pd.ROTATION, 0},
      {"just under a turn", ipgrotation, 359.5f, &pd.ROTATION, 359.5f},
  };
  for (const ClampCase& c : cases) {
    SCOPED_TRACE(c.why);
    c.set(c.value);
    EXPECT_FLOAT_EQ(*c.field, c.want);
  }
  ipgrotation(90);
  EXPECT_NEAR(pd.ROTCOS1, 0.70710677f, 1e-6);
  EXPECT_NEAR(pd.ROTCOS2, -0.70710677f, 1e-6);
}

TEST_F(Settings, TickPositions) {
  pd.XTICKPOS = {7, 8};
  ipgxtickpos1(5, 2);
  EXPECT_EQ(pd.XTICKPOSSET, (std::array<int, 2>{0, 0}));
  EXPECT_EQ(pd.XTICKPOS, (std::array<float, 2>{7, 8}));
  ipgxtickpos1(2, 2);
  EXPECT_EQ(pd.XTICKPOS, (std::array<float, 2>{2, 2}));
  EXPECT_EQ(pd.XTICKPOSSET, (std::array<int, 2>{1, 1}));
  ipgytickpos1(0, 1);
  ipgytickpos2(3, 1.5f);
  EXPECT_EQ(pd.YTICKPOS, (std::array<float, 2>{0, 1}));
  ipgytickpos2(2);
  EXPECT_EQ(pd.YTICKPOSSET, (std::array<int, 2>{1, 0}));
  ipgxtickpos2(1, 4.5f);
  EXPECT_FLOAT_EQ(pd.XTICKPOS[0], 4.5f);
}

TEST_F(Settings, CountsAreRaisedOrKept) {
  ipgmarkerfrequency(0, -3);
  EXPECT_EQ(pd.MARKERFREQ, (std::array<int, 2>{1, 1}));
  pd.CONTOURGRANUL = 4;
  ipgconfill2granul(0);
  EXPECT_EQ(pd.CONTOURGRANUL, 4);
  ipgstyleoutline(31);
  EXPECT_EQ(pd.OUTLINERGB, 0x0000FF);
  tessar.graphics.attributes.COLOURMODEL = 2;
  ipgstyleoutline(0x0000FE);
  EXPECT_EQ(pd.OUTLINECOLOUR, 31);
}

TEST_F(Settings, UserTicksSortedAndLimited) {
  const float three[] = {5, 1, 3};
  ipgxuserscale(three, 3);
  EXPECT_EQ(pd.NUSERTICKS[0], 3);
  EXPECT_EQ((std::array<float, 3>{pd.USERTICKS[0][0], pd.USERTICKS[0][1], pd.USERTICKS[0][2]}),
            (std::array<float, 3>{1, 3, 5}));
  ipgxuserscale(three, 0);
  EXPECT_EQ(pd.NUSERTICKS[0], 0);
  EXPECT_FLOAT_EQ(pd.USERTICKS[0][2], 5);
  std::vector<float> many(150);
  for (int i = 0; i < 150; ++i) many[i] = static_cast<float>(150 - i);
  ipgyuserscale(many, 150);
  EXPECT_EQ(pd.NUSERTICKS[1], 100);
  EXPECT_FLOAT_EQ(pd.USERTICKS[1][0], 51);
  EXPECT_FLOAT_EQ(pd.USERTICKS[1][99], 150);
  // A count beyond the positions given takes only those.
  ipgzuserscale(three, 50);
  EXPECT_EQ(pd.NUSERTICKS[2], 3);
}

TEST_F(Settings, MissingDataTest) {
  ipgmissingdata(-999.0f);
  EXPECT_EQ(pd.MISSINGSET, (std::array<int, 3>{1, 0, 0}));
  EXPECT_FALSE(yypgdatar(-999));
  EXPECT_TRUE(yypgdatar(-999.0001f));
  ipgmissingdata();
  EXPECT_EQ(pd.MISSINGSET, (std::array<int, 3>{0, 0, 0}));
  EXPECT_TRUE(yypgdatar(-999));
}

TEST_F(Settings, ScaleAnglesInRadians) {
  ipgyscaleangle(90, 12);
  EXPECT_FLOAT_EQ(pd.SCALEANGLE[1], 1.5707964f);
  EXPECT_FLOAT_EQ(pd.SCALETEXTANGLE[1], 12);
}

}  // namespace
