// Polar and 3-D geometry.
#include <gtest/gtest.h>

#include "tests/pgraph/pgraph_fixture.h"
#include "toolkit/pgraph/geometry.h"
#include "toolkit/pgraph/mapping.h"

namespace {

class Geometry : public ::testing::Test {
 protected:
  void SetUp() override {
    resetchart();
    tessar.graphics.area.ASPECT = 1;   // A = 1: a square drawable with square units
  }
  PlotDefinition& pd = tessar.pgraph.plot;
};

TEST_F(Geometry, PolarCircleFitsThePlotArea) {
  float cx = 0, cy = 0, r = 0, ry = 0;
  yypol(cx, cy, r, ry);
  EXPECT_FLOAT_EQ(cx, 0.5f);
  EXPECT_FLOAT_EQ(cy, 0.5f);
  EXPECT_FLOAT_EQ(r, 0.4f);
  EXPECT_FLOAT_EQ(ry, 0.4f);
  pd.PGAREA = {0.1f, 0.9f, 0.3f, 0.7f};   // twice as broad as high
  yypol(cx, cy, r, ry);
  EXPECT_FLOAT_EQ(r, 0.2f);
  tessar.graphics.area.ASPECT = 2;   // a wide drawable: the circle is taller in units
  pd.PGAREA = {0.1f, 0.9f, 0.1f, 0.9f};
  yypol(cx, cy, r, ry);
  EXPECT_FLOAT_EQ(r, 0.2f);
  EXPECT_FLOAT_EQ(ry, 0.4f);
}

TEST_F(Geometry, PolarPointsByAngleAndRadius) {
  float gx = 0, gy = 0, gx2 = 0, gy2 = 0;
  ipgunitstogrunitsp(90, pd.PGRMAX, gx, gy);
  EXPECT_NEAR(gx, 0.5f, 1e-6);
  EXPECT_NEAR(gy, 0.9f, 1e-6);
  ipgunitstogrunitsp(-270, pd.PGRMAX, gx2, gy2);
  EXPECT_NEAR(gx2, gx, 1e-6);
  EXPECT_NEAR(gy2, gy, 1e-6);
  IPgUnitsPolar(1000);
  ipgscaling("LIN", "LOG");
  ipgunitstogrunitsp(0, 1, gx, gy);
  EXPECT_NEAR(gx - 0.5f, 0.4f * 38 / 41, 1e-6);
}

TEST_F(Geometry, FlatViewIsCentred) {
  ipgunits(0, 0, 10, 10);
  pd.RNSTEPS1 = pd.RNSTEPS2 = 5;
  pd.DEPTHRATIO = 0.5f;
  pd.ELEVATION = 0;
  float dxi, dxj, dyj, dyi, dyz, x0, y0;
  yy3dxy(dxi, dxj, dyj, dyi, dyz, x0, y0);
  EXPECT_FLOAT_EQ(dyi, 0);
  EXPECT_FLOAT_EQ(dyj, 0);
  EXPECT_FLOAT_EQ(y0, 2.5f);
  EXPECT_NEAR(dxi, 0.99999f, 1e-5);
  EXPECT_NEAR(dxj, 0.99999f, 1e-5);
  EXPECT_NEAR(x0, 0.00005f, 1e-5);
  EXPECT_FLOAT_EQ(dyz, 5);
  pd.ELEVATION = 0.5f;
  yy3dxy(dxi, dxj, dyj, dyi, dyz, x0, y0);
  EXPECT_NEAR(dyi, 0.5f, 1e-4);
  EXPECT_NEAR(dyj, 0.5f, 1e-4);
}

TEST_F(Geometry, CornersAndTheLeftmostOne) {
  ipgunits(0, 0, 10, 10);
  pd.RNSTEPS1 = pd.RNSTEPS2 = 5;
  pd.DEPTHRATIO = 0.5f;
  pd.ELEVATION = 0.5f;
  std::array<float, 4> gx{}, gy{};
  int ileft = 0;
  float yleft = 0;
  yycorn(gx, gy, ileft, yleft);
  EXPECT_EQ(ileft, 1);
  EXPECT_NEAR(gx[0], yyp2x(0.00005f), 1e-6);
  ipgunits(10, 0, 0, 10);   // reversed X: the corner of largest plot X is leftmost
  yycorn(gx, gy, ileft, yleft);
  EXPECT_EQ(ileft, 3);
  EXPECT_FLOAT_EQ(gx[2], *std::min_element(gx.begin(), gx.end()));
}

}  // namespace
