// Labels and grids of a 3-D XY chart: X and Y labels laid along the front edges of the box
// floor by rotation, the Z label beside a vertical edge, and the grid across the floor and up
// the back wall.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "tests/pgraph/chart_recorder.h"
#include "toolkit/graphics/text.h"
#include "toolkit/pgraph/decorations.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/geometry.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/settings.h"

namespace {

struct TurnedText {
  std::string text;
  float angle;
};
std::vector<TurnedText>& turned() {
  static std::vector<TurnedText> t;
  return t;
}
void recordangles(int& code) {
  if (code == DTEXT && tessar.graphics.attributes.SCREENON != 0)
    turned().push_back({tessar.files.HCCURRENT.substr(0, static_cast<std::size_t>(tessar.graphics.operands.IX1)),
                        tessar.graphics.text.ANGLE1});
  recordchartscreen(code);
}

class Box : public ::testing::Test {
 protected:
  void SetUp() override {
    resetchartdevice();
    graphicsservices.yygapi = recordangles;
    turned().clear();
    const std::array<int, 2> nv{5, 5};
    ipgnewplot1(5, 1, nv, 1);
    IPgArea(0.15f, 0.2f, 0.85f, 0.85f);
    ipgunits(0, 0, 10, 10);
    IPgUnitsZ(0, 100);
    ipgelevation(20);
    devicelog().clear();
    drawntexts().clear();
  }
  PlotDefinition& pd = tessar.pgraph.plot;
  std::array<float, 4> qx{}, qy{};
  int left = 0;
  float yleft = 0;
  void corners() { yycorn(qx, qy, left, yleft); }
  // The device direction, in degrees, of the floor edge from corner a to corner b.
  float edgeangle(int a, int b) {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    device(qx[static_cast<std::size_t>(a - 1)], qy[static_cast<std::size_t>(a - 1)], X1, Y1);
    device(qx[static_cast<std::size_t>(b - 1)], qy[static_cast<std::size_t>(b - 1)], X2, Y2);
    float d = std::atan2(Y2 - Y1, X2 - X1) * 180 / 3.14159265f;
    return d < 0 ? d + 360 : d;
  }
};

// The X label reads along the front X edge and the Y label along the front Y edge, in the
// device's own angle, and the text state is as before afterwards.
TEST_F(Box, LabelsReadAlongTheFrontEdgesByRotation) {
  struct Case { float rotation; int axis, from, to; };
  const Case cases[] = {{0, 1, 4, 3}, {0, 2, 1, 4}, {180, 1, 1, 2}, {180, 2, 2, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.rotation) + " axis " + std::to_string(c.axis));
    ipgrotation(c.rotation);
    corners();
    turned().clear();
    drawntexts().clear();
    if (c.axis == 1) ipgxlabel("Distance");
    else ipgylabelleft("Depth");
    ASSERT_EQ(turned().size(), 1u);
    float want = edgeangle(c.from, c.to), got = turned()[0].angle;
    const float diff = std::fmod(std::fabs(want - got), 180.0f);
    EXPECT_LT(std::min(diff, 180 - diff), 0.05f);
    EXPECT_FLOAT_EQ(tessar.graphics.text.ANGLE1, 0);
    EXPECT_EQ(tessar.graphics.text.DIRECTION, 0);
  }
}

TEST_F(Box, ZLabelStandsBesideTheLeftmostCornerAndNeedsTheBox) {
  corners();
  ipgzlabelleft("Height", "9");
  ASSERT_EQ(drawntexts().size(), 1u);
  EXPECT_FLOAT_EQ(turned()[0].angle, 90);
  float X = 0, Y = 0;
  device(qx[static_cast<std::size_t>(left - 1)], qy[static_cast<std::size_t>(left - 1)], X, Y);
  EXPECT_LT(drawntexts()[0].x, X);   // left of the corner
  EXPECT_EQ(tessar.graphics.text.DIRECTION, 0);
  EXPECT_FLOAT_EQ(tessar.graphics.text.ANGLE1, 0);
  // On a flat chart there is no box: nothing at all.
  const std::array<int, 1> nv{5};
  ipgnewplot1(4, 1, nv);
  drawntexts().clear();
  ipgzlabelleft("Height", "9");
  EXPECT_TRUE(drawntexts().empty());
}

// Rotation 0: the X grid starts on the edge from corner 4 to corner 3 at the tick positions
// 0, 2, ..., 10, crosses the floor and rises half the plot height up the back wall.
TEST_F(Box, GridCrossesTheFloorAndClimbsTheBackWall) {
  corners();
  ipgxgraticules(1);
  const auto segs = segments();
  ASSERT_EQ(segs.size(), 12u);
  const float hz = yyp2y(5) - yyp2y(0);
  float X0 = 0, Y0 = 0, Xh = 0, Yh = 0;
  device(0, 0, X0, Y0);
  device(0, hz, Xh, Yh);
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(k);
    const float t = static_cast<float>(k) / 5;
    float X = 0, Y = 0;
    device(qx[3] + t * (qx[2] - qx[3]), qy[3] + t * (qy[2] - qy[3]), X, Y);
    const Segment& across = segs[static_cast<std::size_t>(2 * k)];
    const Segment& up = segs[static_cast<std::size_t>(2 * k + 1)];
    EXPECT_NEAR(across.x1, X, 0.05f);
    EXPECT_NEAR(across.y1, Y, 0.05f);
    EXPECT_NEAR(up.x1, across.x2, 0.01f);
    EXPECT_NEAR(up.x2, up.x1, 0.01f);
    EXPECT_NEAR(up.y2 - up.y1, Yh - Y0, 0.05f);
  }
  // The floor crossing runs parallel to the depth edge from corner 4 to corner 1.
  float X4 = 0, Y4 = 0, X1 = 0, Y1 = 0;
  device(qx[3], qy[3], X4, Y4);
  device(qx[0], qy[0], X1, Y1);
  EXPECT_NEAR(segs[0].x2 - segs[0].x1, X1 - X4, 0.05f);
  EXPECT_NEAR(segs[0].y2 - segs[0].y1, Y1 - Y4, 0.05f);
}

}  // namespace
