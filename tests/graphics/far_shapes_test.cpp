// Filled shapes that reach far outside the drawable: the software fills scan only the part
// inside the clip box, on the grid a full scan would use, and finish at once whatever the
// shape's size.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/graphics/recording_device.h"
#include "tests/hang_guard.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/gradient.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"

namespace {

// Units 0-1 on a 200 x 200 drawable: a user extent of 1e6 lies 2e8 device units away.
class FarShapes : public ::testing::Test {
 protected:
  void SetUp() override {
    resetgraphics(200, 200);
    IGrUnits(0, 0, 1, 1);
    devicelog().clear();
  }
  // Heights of the horizontal lines the screen side got, each with the spans drawn there.
  static std::map<float, std::vector<std::pair<float, float>>> rows() {
    std::map<float, std::vector<std::pair<float, float>>> out;
    for (const DeviceCall& c : devicelog())
      if (c.side == 'S' && c.code == DLINE && c.operands.RY1 == c.operands.RY2)
        out[c.operands.RY1].emplace_back(std::min(c.operands.RX1, c.operands.RX2),
                                         std::max(c.operands.RX1, c.operands.RX2));
    return out;
  }
};

constexpr float kFar = 1e6f;

struct Case {
  const char* why;
  std::function<void()> draw;
  float offset;   // where the grid of the visible lines lies, modulo the spacing
};

TEST_F(FarShapes, HatchedShapesDrawOnlyTheirVisibleLinesOnTheirGrid) {
  // Density 2 on a 200-row drawable: horizontal lines 5 rows apart. The shapes on the grid of
  // the integer spacing put their lines on multiples of 5; the polygon fill scans from its
  // own lowest pixel centre, which lies on x.5 here.
  const std::vector<float> sx = {-kFar, kFar, kFar, -kFar}, sy = {-kFar, -kFar, kFar, kFar};
  const Case cases[] = {
      {"IGrPolygonComplex", [&] { IGrPolygonComplex(sx, sy, 4); }, 4.5f},
      {"IGrTriangle", [] { IGrTriangle(-kFar, -kFar, kFar, -kFar, 0, kFar); }, 0},
      {"IGrRectangle", [] { IGrRectangle(-kFar, -kFar, kFar, kFar); }, 0},
      {"igrpolygonsimple", [&] { igrpolygonsimple(sx, sy, 4); }, 0},
      {"IGrTrapezium", [] { IGrTrapezium(-kFar, -kFar, kFar, kFar, 2 * kFar, 2 * kFar, 1); }, 0},
      {"IGrTrapezium along x", [] { IGrTrapezium(-kFar, -kFar, kFar, kFar, 2 * kFar, 2 * kFar, 2); }, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    devicelog().clear();
    igrfillpattern(1, 2, 3);
    {
      HangGuard guard(c.why, 20);
      c.draw();
    }
    const auto got = rows();
    ASSERT_EQ(got.size(), 40u);
    float expect = c.offset;
    for (const auto& [y, spans] : got) {
      EXPECT_FLOAT_EQ(y, expect);
      expect += 5;
      // Together the spans at one height cover the whole width.
      float lo = 1e9f, hi = -1e9f;
      for (const auto& [a, b] : spans) {
        lo = std::min(lo, a);
        hi = std::max(hi, b);
      }
      EXPECT_FLOAT_EQ(lo, 0);
      EXPECT_FLOAT_EQ(hi, tessar.graphics.area.XMAX);
    }
  }
}

// Shapes covering the drawable at extents whose device coordinates pass 2^31 (1e8 user
// units are 2e10 device units), 2^53 (4.5e13 and 4.6e13 lie either side) and reach 1e30:
// hatched, each shape draws its 40 horizontal lines across the whole width (the triangle and
// trapezium once drew none from 1e8, every shape none from 4.5e13; 2e10 and 4e10 lie either
// side of a grid starting 2^40 lines below the drawable); filled by the devices,
// each reaches them as a polygon cut near the drawable, never with a coordinate no device
// integer holds (they once drew nothing at all).
TEST_F(FarShapes, FarShapesBeyondTheIntegerRangeStillFill) {
  for (float far : {6e6f, 1e8f, 1e9f, 2e10f, 4e10f, 4.5e13f, 4.6e13f, 1e15f, 1e30f}) {
    const std::vector<float> sx = {-far, far, far, -far}, sy = {-far, -far, far, far};
    const std::pair<const char*, std::function<void()>> shapes[] = {
        {"IGrPolygonComplex", [&] { IGrPolygonComplex(sx, sy, 4); }},
        {"IGrTriangle", [&] { IGrTriangle(-far, -far, far, -far, 0, far); }},
        {"IGrRectangle", [&] { IGrRectangle(-far, -far, far, far); }},
        {"igrpolygonsimple", [&] { igrpolygonsimple(sx, sy, 4); }},
        {"IGrTrapezium", [&] { IGrTrapezium(-far, -far, far, far, 2 * far, 2 * far, 1); }},
        {"IGrTrapezium along x", [&] { IGrTrapezium(-far, -far, far, far, 2 * far, 2 * far, 2); }},
        {"igrparallel", [&] { igrparallel(-far, -far, far, far, 4 * far, 1); }},
        {"igrcircle", [&] { igrcircle(0.5f, 0.5f, far); }},
    };
    for (const auto& [name, draw] : shapes) {
      for (int style : {1, 3, 4}) {
        SCOPED_TRACE(std::string(name) + " at " + std::to_string(far) + ", style " + std::to_string(style));
        igrfillpattern(style, 2, 3);
        devicelog().clear();
        {
          HangGuard guard("far shapes", 20);
          draw();
        }
        if (style == 1) {
          const auto got = rows();
          EXPECT_GE(got.size(), 39u);
          for (const auto& [y, spans] : got) {
            float lo = 1e9f, hi = -1e9f;
            for (const auto& [u, v] : spans) {
              lo = std::min(lo, u);
              hi = std::max(hi, v);
            }
            EXPECT_FLOAT_EQ(lo, 0);
            EXPECT_FLOAT_EQ(hi, tessar.graphics.area.XMAX);
          }
          continue;
        }
        int polygons = 0;
        for (const DeviceCall& c : devicelog()) {
          if (c.side != 'S') continue;
          EXPECT_TRUE(c.code == DPOLYGON || c.code == DPOLYGONSOLID) << c.code;
          ++polygons;
          float lo = 1e9f, hi = -1e9f;
          for (std::size_t i = 0; i < c.x.size(); ++i) {
            lo = std::min({lo, c.x[i], c.y[i]});
            hi = std::max({hi, c.x[i], c.y[i]});
          }
          // The clip box widened by a few units: the polygon covers the drawable.
          EXPECT_LT(lo, 0);
          EXPECT_GT(lo, -20);
          EXPECT_GT(hi, 199);
          EXPECT_LT(hi, 220);
        }
        EXPECT_GE(polygons, 1);
      }
    }
  }
}

TEST_F(FarShapes, DiagonalHatchOfAFarRectangleKeepsItsSlopeInside) {
  igrfillpattern(1, 2, 1);
  {
    HangGuard guard("diagonal hatch", 20);
    IGrRectangle(-kFar, -kFar, kFar, kFar);
  }
  int diagonals = 0;
  for (const DeviceCall& c : devicelog()) {
    if (c.side != 'S' || c.code != DLINE) continue;
    const float dx = c.operands.RX2 - c.operands.RX1, dy = c.operands.RY2 - c.operands.RY1;
    if (std::fabs(dx) < 1) continue;   // the clip box corners
    ++diagonals;
    EXPECT_NEAR(dy / dx, 1.0f, 1e-3f);
    // Rising lines on multiples of 5 in x - y.
    const float c0 = c.operands.RY1 - c.operands.RX1;
    EXPECT_NEAR(std::remainder(c0, 5.0f), 0.0f, 0.05f);
  }
  EXPECT_GT(diagonals, 40);
}

TEST_F(FarShapes, FarGradientShadesEveryVisibleRowOnce) {
  IGrColourN(wrgb(0, 0, 0));
  IGrColourN(wrgb(255, 255, 255));
  devicelog().clear();
  const std::vector<float> x = {-kFar, kFar, kFar, -kFar}, y = {-kFar, -kFar, kFar, kFar};
  {
    HangGuard guard("IGrPolygonGrad", 20);
    IGrPolygonGrad(x, y, 4, 1);
  }
  const auto got = rows();
  ASSERT_EQ(got.size(), 200u);
  EXPECT_FLOAT_EQ(got.begin()->first, 0.5f);
  EXPECT_FLOAT_EQ(got.rbegin()->first, 199.5f);
}

}  // namespace
