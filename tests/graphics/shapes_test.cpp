// Filled shapes: argument errors, requests and operands, hatch geometry of triangles,
// rectangles, trapeziums and parallelograms, and simple polygons filled through triangles.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/graphics/recording_device.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"

namespace {

struct Segment { float x1, y1, x2, y2; };

std::vector<Segment> lines(char side) {
  std::vector<Segment> out;
  for (const DeviceCall& c : devicelog())
    if (c.side == side && c.code == DLINE)
      out.push_back({c.operands.RX1, c.operands.RY1, c.operands.RX2, c.operands.RY2});
  return out;
}

// Device units equal user units on a 200 x 200 drawable.
class Shapes200 : public ::testing::Test {
 protected:
  void SetUp() override {
    resetgraphics(200, 200);
    IGrUnits(0, 0, 199.99f, 199.99f);
    igrmoveto(1, 2);
    devicelog().clear();
  }
};

TEST_F(Shapes200, ZeroSizedShapesAreRefused) {
  struct Case { const char* why; void (*draw)(); int outline; int error; };
  const Case cases[] = {
      {"rectangle without width", [] { IGrRectangle(20, 20, 20, 50); }, 1, 22},
      {"triangle on one vertical, outlined", [] { IGrTriangle(0, 0, 0, 10, 0, 20); }, 1, 22},
      {"triangle on one vertical, not outlined: silent", [] { IGrTriangle(0, 0, 0, 10, 0, 20); },
       0, 0},
      {"trapezium side of length 0", [] { IGrTrapezium(10, 10, 50, 50, 0, 5, 1); }, 1, 21},
      {"parallelogram with both ends on one vertical", [] { igrparallel(10, 10, 10, 50, 5, 1); },
       1, 22},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    igrfillpattern(c.outline != 0 ? 1 : -1);
    c.draw();
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
    EXPECT_TRUE(devicelog().empty());
    EXPECT_EQ(tessar.graphics.area.CURX, 1);
    EXPECT_EQ(tessar.graphics.area.CURY, 2);
  }
}

TEST_F(Shapes200, SolidShapesSendTheirRequestPair) {
  struct Case { const char* why; void (*draw)(); int code; };
  const Case cases[] = {
      {"triangle", [] { IGrTriangle(10, 10, 50, 10, 30, 40); }, DTRIANGLESOLID},
      {"rectangle", [] { IGrRectangle(10, 10, 50, 40); }, DRECTSOLID},
      {"trapezium", [] { IGrTrapezium(10, 10, 50, 40, 10, 20, 1); }, DPARALLELSOLID},
      {"parallelogram relative", [] { igrparallelrel(40, 30, 10, 2); }, DPARALLELSOLID},
  };
  igrfillpattern(4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    devicelog().clear();
    c.draw();
    EXPECT_EQ(codes('S'), std::vector<int>{c.code});
  }
}

TEST_F(Shapes200, RectanglePartlyOutsideSendsItsVisiblePartToTheScreen) {
  IGrArea(0, 0, 0.5f, 0.5f);   // clip box 0 .. 100
  IGrUnits(0, 0, 100, 100);
  tessar.graphics.attributes.HARDCOPYON = 1;
  devicelog().clear();
  igrfillpattern(4);
  IGrRectangle(60, 70, 150, 130);
  ASSERT_FALSE(devicelog().empty());
  const DeviceOperands& op = devicelog()[0].operands;
  EXPECT_EQ(devicelog()[0].code, DRECTSOLID);
  EXPECT_EQ(op.IX1, 60); EXPECT_EQ(op.IY1, 70);
  EXPECT_EQ(op.IX2, 100); EXPECT_EQ(op.IY2, 100);   // the integer clip box
  EXPECT_EQ(op.RX2, 150); EXPECT_EQ(op.RY2, 130);
  EXPECT_EQ(tessar.graphics.area.CURX, 60);
}

TEST_F(Shapes200, RectangleRisingHatchStopsAtItsEdgesAndRestoresTheClip) {
  IGrArea(0.05f, 0.05f, 0.95f, 0.95f);
  IGrUnits(10, 10, 190, 190);
  const GraphicsArea before = tessar.graphics.area;
  devicelog().clear();
  igrfillpattern(-1, 3, 1);
  IGrRectangle(40, 40, 120, 90);
  const auto s = lines('S');
  ASSERT_GT(s.size(), 5u);
  for (const Segment& l : s) {
    EXPECT_NEAR(l.y2 - l.y1, l.x2 - l.x1, 1e-3);   // 45 degrees in device units
    EXPECT_GE(std::fmin(l.x1, l.x2), 39.999f);
    EXPECT_LE(std::fmax(l.x1, l.x2), 120.001f);
    EXPECT_GE(std::fmin(l.y1, l.y2), 39.999f);
    EXPECT_LE(std::fmax(l.y1, l.y2), 90.001f);
  }
  EXPECT_EQ(tessar.graphics.area.XMIN, before.XMIN);
  EXPECT_EQ(tessar.graphics.area.XMAX, before.XMAX);
  EXPECT_EQ(tessar.graphics.area.YMAX, before.YMAX);
}

TEST_F(Shapes200, RectangleCrossHatchKinds) {
  struct Case { const char* why; int angle; bool diagonal; };
  const Case cases[] = {{"angle 2: both diagonals", 2, true},
                        {"angle 3: horizontal and vertical", 3, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    devicelog().clear();
    igrfillpattern(-2, 3, c.angle);
    IGrRectangle(40, 40, 120, 90);
    int rising = 0, falling = 0, flat = 0, upright = 0;
    for (const Segment& l : lines('S')) {
      const float dx = l.x2 - l.x1, dy = l.y2 - l.y1;
      if (dy == 0) ++flat;
      else if (dx == 0) ++upright;
      else if (dx * dy > 0) ++rising;
      else ++falling;
    }
    EXPECT_EQ(rising > 0, c.diagonal);
    EXPECT_EQ(falling > 0, c.diagonal);
    EXPECT_EQ(flat > 0, !c.diagonal);
    EXPECT_EQ(upright > 0, !c.diagonal);
  }
}

TEST_F(Shapes200, NeighbouringRectanglesHatchAtTheSameHeights) {
  igrfillpattern(-1, 3, 3);
  IGrRectangle(20, 23, 60, 120);
  const auto a = lines('S');
  devicelog().clear();
  IGrRectangle(60, 31, 100, 120);
  const auto b = lines('S');
  ASSERT_FALSE(a.empty());
  ASSERT_FALSE(b.empty());
  const float iy = a[1].y1 - a[0].y1;
  for (const Segment& l : b) EXPECT_EQ(std::fmod(l.y1, iy), 0.0f) << l.y1;
  for (const Segment& l : a) EXPECT_EQ(std::fmod(l.y1, iy), 0.0f) << l.y1;
}

TEST_F(Shapes200, ParallelogramHatchesAlongItsSlantTrapeziumDoesNot) {
  igrfillpattern(-1, 3, 1);
  igrparallel(20, 20, 120, 80, 30, 1);   // vertical sides of 30 at x 20 and x 120
  const auto s = lines('S');
  ASSERT_FALSE(s.empty());
  for (const Segment& l : s) {
    EXPECT_NEAR((l.y2 - l.y1) / (l.x2 - l.x1), 30.0f / 100.0f, 1e-4);
    EXPECT_FLOAT_EQ(l.x1, 20);
    EXPECT_FLOAT_EQ(l.x2, 120);
  }
  devicelog().clear();
  IGrTrapezium(20, 20, 120, 80, 30, 20, 1);
  for (const Segment& l : lines('S')) EXPECT_EQ(l.y1, l.y2);
}

TEST_F(Shapes200, TrapeziumOfDirectionThreeIsLaidOutAlongXUnchecked) {
  igrfillpattern(4);
  // Not reordered although y2 < y1, and not refused although the corners are level.
  IGrTrapezium(10, 50, 60, 10, 20, 10, 3);
  ASSERT_EQ(codes('S'), std::vector<int>{DPARALLELSOLID});
  const DeviceOperands& op = devicelog()[0].operands;
  EXPECT_EQ(op.IOPER1, 3);
  EXPECT_EQ(op.RX2, 30);   // C2 = (x1 + len1, y1)
  EXPECT_EQ(op.RY3, 10);   // C3 = (x2, y2)
  EXPECT_EQ(op.RX4, 50);   // C4 = (x2 - len2, y2)
  tessar.error.LASTERROR = 0;
  devicelog().clear();
  IGrTrapezium(10, 50, 60, 50, 20, 10, 3);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  IGrTrapezium(10, 50, 60, 50, 20, 10, 2);
  EXPECT_EQ(tessar.error.LASTERROR, 22);
}

TEST_F(Shapes200, TriangleHatchLinesEndOnItsSides) {
  igrfillpattern(-1, 4, 3);
  IGrTriangle(20, 30, 170, 60, 80, 150);
  const auto s = lines('S');
  ASSERT_GT(s.size(), 10u);
  // Each end lies on one of the three sides.
  auto onside = [](float x, float y) {
    const float p[3][2] = {{20, 30}, {170, 60}, {80, 150}};
    for (int i = 0; i < 3; ++i) {
      const float* a = p[i];
      const float* b = p[(i + 1) % 3];
      const float cross = (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0]);
      if (std::fabs(cross) / std::hypot(b[0] - a[0], b[1] - a[1]) < 0.01f) return true;
    }
    return false;
  };
  for (const Segment& l : s) {
    EXPECT_EQ(l.y1, l.y2);
    EXPECT_GE(l.x1, l.x2);   // on the screen every line runs right to left
    EXPECT_TRUE(onside(l.x1, l.y1)) << l.x1 << "," << l.y1;
    EXPECT_TRUE(onside(l.x2, l.y2)) << l.x2 << "," << l.y2;
  }
}

TEST_F(Shapes200, TriangleFlatTopGetsItsLastLineAlongTheTop) {
  igrfillpattern(-1, 1, 3);   // 6 apart: lines at 30, 36 ... 60
  IGrTriangle(50, 24, 20, 60, 120, 60);
  const auto s = lines('S');
  ASSERT_FALSE(s.empty());
  EXPECT_FLOAT_EQ(s.back().y1, 60);
  EXPECT_FLOAT_EQ(std::fmin(s.back().x1, s.back().x2), 20);
  EXPECT_FLOAT_EQ(std::fmax(s.back().x1, s.back().x2), 120);
}

TEST_F(Shapes200, HardcopyTriangleLinesAlternateDirection) {
  tessar.graphics.attributes.SCREENON = 0;
  tessar.graphics.attributes.HARDCOPYON = 1;
  tessar.graphics.area.REXTY = 600;
  igrfillpattern(-1, 1, 3);   // 600 / 30: 20 apart
  IGrTriangle(20, 10, 170, 60, 80, 150);
  const auto h = lines('H');
  ASSERT_GT(h.size(), 3u);
  for (std::size_t i = 0; i < h.size(); ++i) EXPECT_EQ(h[i].x1 < h[i].x2, i % 2 == 0);
}

TEST_F(Shapes200, SimpleSquareSolidGoesAsTwoTriangles) {
  const std::vector<float> x = {20, 120, 120, 20}, y = {20, 20, 120, 120};
  igrfillpattern(4);
  igrpolygonsimple(x, y, 4);
  EXPECT_EQ(codes('S'), (std::vector<int>{DTRIANGLESOLID, DTRIANGLESOLID}));
  EXPECT_EQ(tessar.graphics.area.CURX, 20);
}

TEST_F(Shapes200, SimpleSquareHatchedMeetsAtOneHeightThenOutlinedOnce) {
  const std::vector<float> x = {20, 120, 120, 20}, y = {20, 20, 120, 120};
  igrfillpattern(1, 3, 3);
  igrpolygonsimple(x, y, 4);
  const auto s = lines('S');
  ASSERT_GT(s.size(), 8u);
  const std::size_t hatch = s.size() - 4;
  for (std::size_t i = 0; i < hatch; ++i) EXPECT_EQ(std::fmod(s[i].y1, s[1].y1 - s[0].y1 > 0
                                                                         ? s[1].y1 - s[0].y1
                                                                         : 1.0f),
                                                    0.0f);
  // The outline: four lines, closing back to the first point.
  EXPECT_EQ(s[hatch + 3].x2, 20);
  EXPECT_EQ(s[hatch + 3].y2, 20);
}

TEST_F(Shapes200, SimplePolygonWithRepeatedFirstPointIsNotClosedTwice) {
  const std::vector<float> x = {20, 120, 70, 20}, y = {20, 20, 100, 20};
  igrfillpattern(0);
  igrpolygonsimple(x, y, 4);
  EXPECT_EQ(lines('S').size(), 3u);
}

TEST_F(Shapes200, SimplePolygonOfTwoPointsOnlyMovesTheCurrentPoint) {
  const std::vector<float> x = {30, 120}, y = {40, 20};
  igrfillpattern(4);
  igrpolygonsimple(x, y, 2);
  EXPECT_TRUE(devicelog().empty());
  EXPECT_EQ(tessar.graphics.area.CURX, 30);
  EXPECT_EQ(tessar.graphics.area.CURY, 40);
}

}  // namespace
