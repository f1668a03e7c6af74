// Titles and axis labels (placement, shrinking, rotation letters, text state put back) and
// graticules (linear and logarithmic positions, chart types without a grid, polar grids).
#include <gtest/gtest.h>

#include <array>

#include "tests/pgraph/chart_recorder.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/text.h"
#include "toolkit/pgraph/decorations.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/settings.h"

namespace {

class Decorations : public ::testing::Test {
 protected:
  void SetUp() override {
    resetchartdevice();
    const std::array<int, 1> nv{10};
    ipgnewplot1(4, 1, nv);
    IPgArea(0.1f, 0.2f, 0.9f, 0.8f);
    ipgunits(0, 0, 10, 10);
    devicelog().clear();
  }
  PlotDefinition& pd = tessar.pgraph.plot;
  static int lines() { return static_cast<int>(segments().size()); }
};

TEST_F(Decorations, ALongTitleShrinksItsWidthOnlyAndTheSizeComesBack) {
  TextState& ts = tessar.graphics.text;
  ts.SPACING = 0;
  yychsize(0.05f, 0.04f);
  float seen = 0, seenh = 0;
  static float* pw = nullptr;
  static float* ph = nullptr;
  pw = &seen;
  ph = &seenh;
  graphicsservices.yygapi = [](int& code) {
    if (code == DTEXT) {
      *pw = tessar.graphics.text.CW;
      *ph = tessar.graphics.text.CH;
    }
  };
  ipgtitle(std::string(40, 'A'));
  EXPECT_NEAR(seen, 0.8f / wgrtextlength(std::string(40, 'A'), 0), 1e-6f);
  EXPECT_FLOAT_EQ(seenh, 0.04f);
  EXPECT_FLOAT_EQ(ts.CW, 0.05f);
}

TEST_F(Decorations, TitlePositionRunsFromTheAreaTopToThePlotTop) {
  // Position 1: half a character height under the area's top; 0: on the plot's top edge.
  const float D = 0.5f * tessar.graphics.text.CH;
  std::array<float, 2> ys{};
  const std::array<float, 2> positions{1, 0};
  for (std::size_t i = 0; i < 2; ++i) {
    drawntexts().clear();
    ipgtitlepos(positions[i]);
    ipgtitle("Daily flow");
    ASSERT_EQ(drawntexts().size(), 1u);
    EXPECT_EQ(drawntexts()[0].justify, 1);
    ys[i] = drawntexts()[0].y;
  }
  float X = 0, Ytop = 0, Yplot = 0;
  device(0.5f, 1 - D, X, Ytop);
  device(0.5f, 0.8f, X, Yplot);
  EXPECT_NEAR(ys[0] - ys[1], Ytop - Yplot, 0.01f);
}

TEST_F(Decorations, YLabelLettersChooseRotationAndJustification) {
  struct Case { const char* options; int justify; float angle; };
  const Case cases[] = {{"9", 1, 90}, {"9T", 2, 90}, {"t9", 2, 90}, {"RT", 0, 270}, {"", 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    drawntexts().clear();
    float angle = -1;
    static float* pa = nullptr;
    pa = &angle;
    graphicsservices.yygapi = [](int& code) {
      if (code == DTEXT) {
        *pa = tessar.graphics.text.ANGLE1;
        recordchartscreen(code);
      }
    };
    ipgylabelleft("Flow", c.options);
    ASSERT_EQ(drawntexts().size() >= 1, true);
    EXPECT_EQ(drawntexts()[0].justify, c.justify);
    EXPECT_FLOAT_EQ(angle, c.angle);
    EXPECT_FLOAT_EQ(tessar.graphics.text.ANGLE1, 0);
    EXPECT_EQ(tessar.graphics.text.JUSTIFY, 1);
  }
}

TEST_F(Decorations, BlankTextDrawsNothing) {
  ipgtitle("    ");
  ipgxlabel("");
  EXPECT_TRUE(devicelog().empty());
}

TEST_F(Decorations, LinearGridSkipsTheLowerLimit) {
  ipgxgraticules(1);
  EXPECT_EQ(lines(), 10);   // 1 .. 10, none at 0
  const auto s = segments();
  float X = 0, Y = 0;
  device(yyp2x(10), 0, X, Y);
  EXPECT_NEAR(s.back().x1, X, 0.01f);
  EXPECT_EQ(tessar.graphics.attributes.LINETYPE, 0);   // put back
}

TEST_F(Decorations, LogGridHasIntermediateLinesUpToFourDecades) {
  struct Case { float high; int lines; };
  const Case cases[] = {{1000, 3 + 3 * 8}, {1e6f, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.high);
    ipgscaling("LOG", "LIN");
    ipgunits(1, 0, c.high, 10);
    devicelog().clear();
    ipgxgraticules(1);
    EXPECT_EQ(lines(), c.lines);
  }
}

TEST_F(Decorations, ChartTypesWithoutAGridDrawNothing) {
  const std::array<int, 1> nv{5};
  ipgnewplot1(1, 1, nv);
  ipgunits(0, 0, 10, 10);
  devicelog().clear();
  igrlinetype(3);
  devicelog().clear();
  ipgxgraticules(1);
  EXPECT_TRUE(devicelog().empty());
  EXPECT_EQ(tessar.graphics.attributes.LINETYPE, 3);
}

TEST_F(Decorations, PolarSpokesAreFourDiameters) {
  const std::array<int, 1> nv{12};
  ipgnewplot1(4, 1, nv, 0x40);
  IPgUnitsPolar(10);
  devicelog().clear();
  ipgxgraticules(1);
  EXPECT_EQ(lines(), 4);
}

TEST_F(Decorations, PolarCirclesAtTheRadiusStepsNoneAtTheCentre) {
  const std::array<int, 1> nv{12};
  ipgnewplot1(4, 1, nv, 0x40);
  IPgUnitsPolar(10);
  struct Case { const char* why; int hardcopy, screen; bool hardcopydrawn; };
  for (const Case c : {Case{"screen only", 0, 4, false}, Case{"with a hardcopy open", 1, 4, true}}) {
    SCOPED_TRACE(c.why);
    tessar.graphics.attributes.HARDCOPYON = c.hardcopy;
    tessar.graphics.operands.HCASPECT = 1.4f;
    devicelog().clear();
    ipgygraticules(1);
    int screen = 0, hardcopy = 0;
    for (const DeviceCall& d : devicelog()) {
      if (d.side == 'S' && d.code == DELLIPSE) ++screen;
      if (d.side == 'H' && d.code == DELLIPSEFILL) ++hardcopy;   // the hardcopy's ellipse request
    }
    EXPECT_EQ(screen, c.screen);   // radii 2, 4, 6 and 8 of 10
    EXPECT_EQ(hardcopy > 0, c.hardcopydrawn);
    EXPECT_EQ(tessar.graphics.attributes.SCREENON, 1);
    EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, c.hardcopy);
  }
  tessar.graphics.attributes.HARDCOPYON = 0;
}

}  // namespace
