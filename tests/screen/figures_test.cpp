// Ellipses, circles, arrows, markers and smooth curves drawn through the screen road onto a
// headless window, checked at the pixels where the shapes must and must not be.
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "screen_fixture.h"
#include "tests/support/covering_shapes.h"
#include "toolkit/window/window.h"
#include "toolkit/graphics/curves.h"
#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/markers.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/text.h"

namespace {

using Shapes = twtest::ScreenFixture;

// Extent of the ink on the row and column through (x, y), device units.
struct Extent {
  int left = 0, right = 0, bottom = 0, top = 0;
};
Extent extentThrough(int x, int y) {
  Extent e{x, x, y, y};
  while (Shapes::ink(e.left - 1, y)) --e.left;
  while (Shapes::ink(e.right + 1, y)) ++e.right;
  while (Shapes::ink(x, e.bottom - 1)) --e.bottom;
  while (Shapes::ink(x, e.top + 1)) ++e.top;
  return e;
}

TEST_F(Shapes, ACircleIsRoundOnSquareAndOnWideDrawables) {
  for (auto [w, h] : {std::pair{200, 200}, {400, 200}}) {
    SCOPED_TRACE(w);
    openScreen(w, h);
    IGrUnits(0, 0, 1, 1);
    tessar.graphics.attributes.FILLSTYLE = 4;
    igrcircle(0.5f, 0.5f, 0.1f);
    const DeviceOperands& op = tessar.graphics.operands;
    EXPECT_EQ(op.IX2, op.IY2) << "equal device semi-axes";
    const Extent e = extentThrough(w / 2, h / 2);
    EXPECT_NEAR(e.right - e.left, e.top - e.bottom, 1);
    EXPECT_NEAR(e.right - e.left, 2 * 0.1 * (w - 0.01), 4);
    EXPECT_FLOAT_EQ(tessar.graphics.area.CURX, 0.5f);
    windowclose();
  }
}

TEST_F(Shapes, EllipsesAreOutlinedOrFilledAndClipped) {
  openScreen(200, 200);
  IGrUnits(0, 0, 1, 1);
  igrellipse(0.5f, 0.5f, 0.2f, 0.5f);
  const Extent e = extentThrough(100, 100 + 20);
  EXPECT_FALSE(ink(100, 100)) << "outline only";
  EXPECT_TRUE(inkNear(100 + 40, 100, 1));
  EXPECT_TRUE(inkNear(100, 100 + 20, 1));
  EXPECT_FALSE(inkNear(100, 100 + 25, 1)) << "the ratio halves the height";
  (void)e;
  // Filled: the centre is in the current colour.
  IGrColourN(31);
  tessar.graphics.attributes.FILLSTYLE = 4;
  igrellipse(0.5f, 0.5f, 0.1f, 1.0f);
  EXPECT_EQ(at(100, 100), win::RGB(255, 0, 0));
  // A circle whose centre is outside the area but which reaches into it is drawn, cut.
  igrareaclear();
  IGrArea(0.5f, 0, 1, 1);
  IGrUnits(0, 0, 1, 1);
  igrcircle(-0.05f, 0.5f, 0.2f);
  EXPECT_TRUE(ink(101, 100));
  EXPECT_FALSE(ink(99, 100)) << "left of the area";
}

TEST_F(Shapes, BadRadiusRecordsErrorTwentyAndDrawsNothing) {
  openScreen(100, 100);
  igrcircle(50, 50, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 20);
  tessar.error.LASTERROR = 0;
  igrellipse(50, 50, 10, -1);
  EXPECT_EQ(tessar.error.LASTERROR, 20);
  EXPECT_EQ(inkCount(), 0);
}

// A minimised window: no division by zero anywhere, nothing drawn, no error.
TEST_F(Shapes, ADrawableWithoutHeightDrawsNothing) {
  openScreen(100, 100);
  yyresn(1, 0, 100, 0);
  tessar.error.LASTERROR = 0;
  igrcircle(0.5f, 0.5f, 0.2f);
  igrarrowjoin(0, 0, 1, 1, 1);
  igrmarker(0.5f, 0.5f, 3);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  yyresn(1, 0, 100, 100);
  EXPECT_EQ(inkCount(), 0);
}

TEST_F(Shapes, AnArrowHasItsBarbsAQuarterOfItsLengthAt45Degrees) {
  openScreen(100, 100);
  igrarrowjoin(20, 50, 80, 50, 1);
  const float barb = 60 * 0.25f * std::cos(3.14159265f / 4);
  EXPECT_TRUE(inkNear(20, 50));
  EXPECT_TRUE(inkNear(50, 50));
  EXPECT_TRUE(inkNear(80, 50));
  EXPECT_TRUE(inkNear(static_cast<int>(80 - barb), static_cast<int>(50 + barb)));
  EXPECT_TRUE(inkNear(static_cast<int>(80 - barb), static_cast<int>(50 - barb)));
  EXPECT_FALSE(inkNear(static_cast<int>(80 - barb), static_cast<int>(50 + barb) + 4, 1));
  EXPECT_FLOAT_EQ(tessar.graphics.area.CURX, 80);
  EXPECT_FLOAT_EQ(tessar.graphics.area.CURY, 50);
  // Pointing up, with barbs 10 apart.
  igrareaclear();
  igrarrow(50, 90, 60, 90, 1, 10.0f);
  EXPECT_TRUE(inkNear(50, 30));
  EXPECT_TRUE(inkNear(45, 85));
  EXPECT_TRUE(inkNear(55, 85));
  // Zero length and equal ends draw nothing.
  igrareaclear();
  igrarrow(50, 50, 0, 0, 1);
  igrarrowjoin(10, 10, 10, 10, 1);
  EXPECT_EQ(inkCount(), 0);
}

TEST_F(Shapes, ASmoothCurvePassesThroughItsPointsAsAParabola) {
  openScreen(100, 100);
  const std::array<float, 3> x{20, 50, 80}, y{20, 80, 20};
  igrcurve(x, y, 3);
  for (auto [cx, cy] : {std::pair{20, 20}, {50, 80}, {80, 20}}) EXPECT_TRUE(inkNear(cx, cy)) << cx;
  // y = 20 + 60 (1 - ((x - 50) / 30)^2)
  EXPECT_TRUE(inkNear(35, 65));
  EXPECT_TRUE(inkNear(65, 65));
  EXPECT_FALSE(inkNear(50, 60, 2));
  EXPECT_FLOAT_EQ(tessar.graphics.area.CURX, 80);
  igrareaclear();
  wgrcurve(x, y, 3);
  EXPECT_TRUE(inkNear(35, 65));
  EXPECT_FALSE(inkNear(50, 60, 2));
  // Three collinear equally spaced points give the straight line.
  igrareaclear();
  const std::array<float, 3> lx{10, 50, 90}, ly{10, 50, 90};
  igrcurve(lx, ly, 3);
  for (int k = 10; k <= 90; k += 10) EXPECT_TRUE(inkNear(k, k, 0)) << k;
  // Two points: igrcurve draws a line, wgrcurve nothing.
  igrareaclear();
  wgrcurve(lx, ly, 2);
  EXPECT_EQ(inkCount(), 0);
  igrcurve(lx, ly, 2, 2);
  EXPECT_TRUE(inkNear(30, 30, 0));
}

TEST_F(Shapes, CurvePointsFallAtEvenPositionsAlongTheIntervals) {
  const std::array<float, 3> x{0, 1, 2}, y{0, 1, 0};
  std::array<float, 5> xc{}, yc{};
  wgrcurvepoints(x, y, 3, xc, yc, 5);
  // Positions 0, 0.4, 0.8, 1.2 intervals of the parabola x = 2t, y = 4t(1 - t), then the end.
  const std::array<float, 5> wx{0, 0.4f, 0.8f, 1.2f, 2}, wy{0, 0.64f, 0.96f, 0.96f, 0};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_NEAR(xc[i], wx[i], 1e-5) << i;
    EXPECT_NEAR(yc[i], wy[i], 1e-5) << i;
  }
  std::array<float, 5> untouched{9, 9, 9, 9, 9};
  wgrcurvepoints(std::span<const float>(x.data(), 2), std::span<const float>(y.data(), 2), 2, untouched, untouched, 5);
  EXPECT_EQ(untouched[2], 9);
}

// Where each line marker has ink (on) and has none (off), in fractions of its half-size box.
struct Probe {
  float fx, fy;
};
struct MarkerCase {
  int k;
  std::vector<Probe> on, off;
};
const std::vector<MarkerCase>& markerCases() {
  static const std::vector<MarkerCase> cases = {
      {1, {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {0, 0}}, {{1, 1}, {-1, -1}}},
      {2, {{-1, -1}, {1, 1}, {-1, 1}, {1, -1}, {0, 0}}, {{1, 0}, {0, 1}}},
      {3, {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {0, -1}, {1, 0}}, {{0, 0}}},
      {4, {{-1, -1}, {1, -1}, {0, 1}, {0, -1}}, {{0, 0}, {-1, 1}}},
      {5, {{-1, 1}, {1, 1}, {0, -1}, {0, 1}}, {{0, 0}, {-1, -1}}},
      {6, {{-1, -1}, {1, 1}, {0, 0}, {-1, 0}}, {{0.5f, 0.5f}}},
      {7, {{-1, -1}, {0, 1}, {0, 0}, {-1, 0}}, {{-1, 1}}},
      {8, {{-1, 1}, {0, -1}, {0, 0}}, {{-1, -1}}},
      {9, {{-1, -1}, {1, -1}, {0, 0}, {0.5f, 0.5f}}, {{0.5f, 0}}},
      {10, {{-1, -1}, {1, -1}, {0, 1}, {-1, 1}, {1, 1}, {0, -1}}, {{0, 0}}},
      {11, {{-1, -1}, {0.5f, -1}, {1, -0.5f}, {-0.25f, 1}}, {{1, 1}}},
      {12, {{-1, -1}, {0.5f, -1}, {0.5f, 0.5f}, {-1, 0.5f}, {-0.5f, 1}, {1, 1}, {1, -0.5f}}, {{-0.25f, -0.25f}}},
      {14, {{0, 0}, {0.5f, 0}, {0, 0.5f}, {1, 0}}, {}},
      {27, {{1, 0}, {0, 1}, {1, 1}, {-1, -1}}, {{0.5f, 1}}},
      {28, {{0, 0}, {1, 1}, {0, -1}, {1, 0.5f}}, {}},
      {29, {{0, 1}, {0, -1}, {0, 0}}, {{-1, 0}}},
      {30, {{-1, 0}, {1, 0}, {0, 0}}, {{0, 1}}},
      {31, {{-1, 0}, {1, 0}, {-1, 1}}, {{0, 1}, {1, 1}}},
      {32, {{1, 0}, {-1, 0}, {1, 1}}, {{0, 1}}},
      {33, {{0, 1}, {1, 0}, {0, -1}, {-1, 0}}, {{0, 0}, {1, 1}}},
      {34, {{-0.6f, 1}, {0.6f, 1}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}}, {{0, 0}}},
      {35, {{1, -1}, {1, 1}, {-1, -1}, {1, 0}}, {{-1, 1}}},
      {36, {{-1, 1}, {-1, -1}, {1, 1}, {-1, 0}}, {{1, -1}}},
      {37, {{-1, -1}, {-1, 1}, {1, -1}}, {{1, 1}}},
      {38, {{1, 1}, {-1, 1}, {1, -1}}, {{-1, -1}}},
      {39, {{0, 0}, {0, 1}, {1, 0}}, {{1, 1}}},
      {40, {{0, 0}, {-0.6f, 1}, {1, 0}}, {{0.3f, 0.5f}}},
  };
  return cases;
}

TEST_F(Shapes, EveryLineMarkerAndTheRoundOneAtTwoSizes) {
  openScreen(200, 100);
  for (float scale : {1.0f, 2.0f}) {
    yychsize(0.05f * scale, 0.1f * scale);
    const float hx = 199.99f * 0.375f * 0.05f * scale, hy = 99.99f * 0.338f * 0.1f * scale;
    for (const MarkerCase& c : markerCases()) {
      SCOPED_TRACE(testing::Message() << "marker " << c.k << " scale " << scale);
      igrareaclear();
      igrmarker(100, 50, c.k);
      for (const Probe& p : c.on)
        EXPECT_TRUE(inkNear(static_cast<int>(100 + p.fx * hx), static_cast<int>(50 + p.fy * hy)))
            << "ink at " << p.fx << "," << p.fy;
      for (const Probe& p : c.off)
        EXPECT_FALSE(ink(static_cast<int>(100 + p.fx * hx), static_cast<int>(50 + p.fy * hy)))
            << "none at " << p.fx << "," << p.fy;
      EXPECT_FALSE(inkNear(static_cast<int>(100 + 1.5f * hx), 50, 0)) << "nothing beyond the box";
    }
  }
}

// The filled markers, where a filled shape covers its inside.
const std::vector<MarkerCase>& filledCases() {
  static const std::vector<MarkerCase> cases = {
      {13, {{0, 0}, {0.9f, 0.9f}, {-0.9f, -0.9f}}, {}},
      {15, {{0, -0.5f}, {0, 0.6f}}, {{-0.9f, 0.9f}}},
      {16, {{0, 0.5f}, {0, -0.6f}}, {{-0.9f, -0.9f}}},
      {17, {{-0.5f, 0}, {0.8f, 0}}, {{0.9f, 0.9f}}},
      {18, {{0.5f, 0}, {-0.8f, 0}}, {{-0.9f, 0.9f}}},
      {19, {{0, -0.8f}, {0, 0.8f}, {0, 0}}, {{-0.9f, 0}}},
      {20, {{-0.8f, 0}, {0.8f, 0}, {0, 0}}, {{0, 0.9f}}},
      {21, {{0, 0}, {0.5f, 0}, {0, 0.5f}}, {{0.9f, 0.9f}}},
      {22, {{0, 0}, {0.8f, 0}, {0, 0.9f}}, {{0.95f, 0.95f}}},
      {23, {{0.8f, -0.5f}, {0.9f, 0.8f}}, {{-0.8f, 0.8f}}},
      {24, {{-0.8f, 0.5f}, {0.8f, 0.9f}}, {{0.8f, -0.8f}}},
      {25, {{-0.8f, -0.8f}, {-0.8f, 0.5f}}, {{0.8f, 0.8f}}},
      {26, {{0.8f, 0.8f}, {0.8f, -0.5f}}, {{-0.8f, -0.8f}}},
  };
  return cases;
}

TEST_F(Shapes, EveryFilledMarkerAtTwoSizes) {
  openScreen(200, 100);
  for (float scale : {1.0f, 2.0f}) {
    yychsize(0.05f * scale, 0.1f * scale);
    const float hx = 199.99f * 0.375f * 0.05f * scale, hy = 99.99f * 0.338f * 0.1f * scale;
    for (const MarkerCase& c : filledCases()) {
      SCOPED_TRACE(testing::Message() << "marker " << c.k << " scale " << scale);
      igrareaclear();
      tessar.graphics.attributes.FILLSTYLE = 0;
      igrmarker(100, 50, c.k);
      for (const Probe& p : c.on)
        EXPECT_TRUE(ink(static_cast<int>(100 + p.fx * hx), static_cast<int>(50 + p.fy * hy)))
            << "ink at " << p.fx << "," << p.fy;
      for (const Probe& p : c.off)
        EXPECT_FALSE(ink(static_cast<int>(100 + p.fx * hx), static_cast<int>(50 + p.fy * hy)))
            << "none at " << p.fx << "," << p.fy;
      EXPECT_EQ(tessar.graphics.attributes.FILLSTYLE, 0);
    }
  }
}

TEST_F(Shapes, AFilledArrowHeadCoversItsInsideAndItsShaftReachesTheTail) {
  openScreen(100, 100);
  tessar.graphics.attributes.FILLSTYLE = 4;
  igrarrowjoin(20, 50, 80, 50, 2);
  EXPECT_TRUE(ink(75, 50));
  EXPECT_TRUE(ink(72, 53));
  EXPECT_TRUE(ink(30, 50)) << "the shaft";
  EXPECT_FALSE(ink(30, 58)) << "the shaft is narrower than the head";
  EXPECT_FLOAT_EQ(tessar.graphics.area.CURX, 80);
}

TEST_F(Shapes, HatchedEllipsesHatchHorizontallyForAnglesOneToThree) {
  openScreen(200, 200);
  IGrUnits(0, 0, 1, 1);
  // Separate runs of ink down the middle column, and none across the middle row but the
  // outline: the lines run across.
  auto runsDown = [] {
    int runs = 0;
    bool was = false;
    for (int y = 40; y <= 160; ++y) {
      const bool on = ink(100, y);
      if (on && !was) ++runs;
      was = on;
    }
    return runs;
  };
  for (int angle : {1, 2, 3}) {
    SCOPED_TRACE(angle);
    igrareaclear();
    igrfillpattern(1, 1, angle);
    igrcircle(0.5f, 0.5f, 0.25f);
    EXPECT_GE(runsDown(), 4);
  }
  igrareaclear();
  igrfillpattern(1, 1, 4);
  igrcircle(0.5f, 0.5f, 0.25f);
  EXPECT_LE(runsDown(), 3) << "angle 4 hatches vertically";
}

TEST_F(Shapes, MarkerNumbersOutsideTheRangeDrawAPlus) {
  openScreen(200, 100);
  yychsize(0.05f, 0.1f);
  igrmarker(100, 50, 1);
  const auto plus = all();
  for (int k : {0, 41, -3}) {
    igrareaclear();
    igrmarker(100, 50, k);
    EXPECT_EQ(all(), plus) << k;
  }
  // At the current point, the same marker.
  igrareaclear();
  igrmoveto(100, 50);
  igrmarkerrel(1);
  EXPECT_EQ(all(), plus);
}

TEST_F(Shapes, DoublingTheCharacterWidthDoublesTheMarkerWidthOnly) {
  openScreen(200, 100);
  yychsize(0.05f, 0.1f);
  igrmarker(100, 50, 3);
  const Extent a = extentThrough(100, static_cast<int>(50 - 99.99f * 0.338f * 0.1f));
  igrareaclear();
  yychsize(0.1f, 0.1f);
  igrmarker(100, 50, 3);
  const Extent b = extentThrough(100, static_cast<int>(50 - 99.99f * 0.338f * 0.1f));
  EXPECT_NEAR(b.right - b.left, 2 * (a.right - a.left), 2);
  EXPECT_EQ(b.top - b.bottom, a.top - a.bottom);
}

TEST_F(Shapes, AMarkerWhollyOutsideTheUnitBoxIsNotDrawn) {
  openScreen(200, 100);
  IGrArea(0.25f, 0.25f, 0.75f, 0.75f);
  IGrUnits(0, 0, 1, 1);
  yychsize(0.2f, 0.2f);
  const float hx = 0.375f * 0.2f;
  igrmarker(1 + 1.5f * hx, 0.5f, 1);
  EXPECT_EQ(inkCount(), 0);
  igrmarker(1 + 0.5f * hx, 0.5f, 1);
  EXPECT_GT(inkCount(), 0) << "its box reaches into the area: drawn and clipped";
  // The fill style is put back after a filled marker.
  tessar.graphics.attributes.FILLSTYLE = 0;
  igrmarker(0.5f, 0.5f, 14);
  EXPECT_EQ(tessar.graphics.attributes.FILLSTYLE, 0);
}

// Hatched shapes covering the window, drawn at extents up to 1e30: each inks the window as
// the same shape near by does (within a line more or less where its grid starts elsewhere).
// On this 200-pixel window 2e10 and 4e10 lie either side of a grid starting 2^40 lines below
// it, 4.5e13 and 4.6e13 either side of 2^53 device units; they once drew nothing from 1e15.
TEST_F(Shapes, FarHatchedShapesCoveringTheWindowHatchIt) {
  openScreen(200, 200);
  using Draw = std::function<void(float)>;
  const auto shapes = tw::test::coveringshapes();
  auto inked = [](float extent, const Draw& draw) {
    igrareaclear();
    IGrUnits(0, 0, 1, 1);
    igrfillpattern(1, 2, 3);
    draw(extent);
    return inkCount();
  };
  for (const auto& [name, draw] : shapes) {
    SCOPED_TRACE(name);
    const int near = inked(10, draw);
    ASSERT_GT(near, 1000);
    for (float extent : {1e9f, 2e10f, 4e10f, 4.5e13f, 4.6e13f, 1e15f, 1e30f}) {
      SCOPED_TRACE(extent);
      EXPECT_NEAR(inked(extent, draw), near, 0.1 * near);
    }
  }
}

}  // namespace
