// Keys: the key area, the samples of one entry by plot type and style, the column key of 1
// to 12 sets in the strip right of the plot, the one-row key, line-end labels, and the text
// state put back.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/pgraph/chart_recorder.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/graphics/text.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/keys.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/plots.h"
#include "toolkit/pgraph/settings.h"

namespace {

std::string padded(std::string s) {
  s.resize(18, ' ');
  return s;
}

class Keys : public ::testing::Test {
 protected:
  void SetUp() override { resetchartdevice(); }
  void linechart(int sets) {
    const std::array<int, 1> nv{10};
    ipgnewplot1(4, sets, nv);
    IPgArea(0.1f, 0.2f, 0.7f, 0.9f);
    ipgunits(0, 0, 10, 10);
    for (int k = 1; k <= sets; ++k) ipgstyle(k, {.a = 0, .b = 0, .c = 0});
    devicelog().clear();
    drawntexts().clear();
  }
  PlotDefinition& pd = tessar.pgraph.plot;
};

TEST_F(Keys, KeyAreaTakesEachCoordinateInRangeOnItsOwn) {
  struct Case { const char* why; std::array<float, 4> in; std::array<float, 4> want; };
  const Case cases[] = {
      {"the application's empty box: automatic", {1, 1, 0, 0}, {1, 0, 1, 0}},
      {"right edge out of range kept", {0.2f, 0.1f, 1.5f, 0.4f}, {0.2f, 0, 0.1f, 0.4f}},
      {"all in range", {0.7f, 0.2f, 0.95f, 0.8f}, {0.7f, 0.95f, 0.2f, 0.8f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    pd.KEYAREA = {1, 0, 1, 0};
    ipgkeyarea(c.in[0], c.in[1], c.in[2], c.in[3]);
    EXPECT_EQ(pd.KEYAREA, c.want);
  }
}

TEST_F(Keys, ColumnKeyRowsSpreadOverThePlotHeightSetOneOnTop) {
  for (int n = 1; n <= 12; ++n) {
    SCOPED_TRACE(n);
    linechart(n);
    std::vector<std::string> texts;
    for (int k = 1; k <= n; ++k) texts.push_back("Set " + std::to_string(k));
    const float cw = tessar.graphics.text.CW, ch = tessar.graphics.text.CH;
    ipgkeyall(texts, "");
    ASSERT_EQ(static_cast<int>(drawntexts().size()), n);
    const float YB = yyp2y(0), YT = yyp2y(10), H = YT - YB, YC = YB + H / 2;
    for (int k = 1; k <= n; ++k) {
      float X = 0, Y = 0;
      const float nn = static_cast<float>(n);
      device(0, YC + H * ((nn + 1) / 2 - static_cast<float>(k)) / (nn + 1), X, Y);
      EXPECT_EQ(drawntexts()[static_cast<std::size_t>(k - 1)].text, texts[static_cast<std::size_t>(k - 1)]);
      EXPECT_NEAR(drawntexts()[static_cast<std::size_t>(k - 1)].y, Y, 0.5f);
      float Xp = 0, Yp = 0;
      device(yyp2x(10), 0, Xp, Yp);
      EXPECT_GT(drawntexts()[static_cast<std::size_t>(k - 1)].x, Xp);   // right of the plot
    }
    EXPECT_FLOAT_EQ(tessar.graphics.text.CW, cw);
    EXPECT_FLOAT_EQ(tessar.graphics.text.CH, ch);
  }
}

// A screen font that narrows by less than asked, as a device font does in its own steps: a
// character is a fixed part plus a share of the asked width. Its texts, in character widths,
// are longer at a narrower size; the column key must measure them at the size it draws.
float gFixedPart = 0;   // graphics units
float steppedwidth(std::size_t n) {
  float w = 0, h = 0;
  yypgkeyc(w, h);
  return static_cast<float>(n) * (gFixedPart + 0.8f * w);
}
std::vector<float>& textends() {
  static std::vector<float> ends;
  return ends;
}
void steppedfontscreen(int& code) {
  TextState& ts = tessar.graphics.text;
  DeviceOperands& op = tessar.graphics.operands;
  const GraphicsArea& ar = tessar.graphics.area;
  if (code == DFONT) {
    ts.CHSCALEX = ar.REXTX / (ar.RDEVW * ts.CW);   // as the screen asks for the size
    ts.CHSCALEY = ar.REXTY / (ar.RDEVH * ts.CH);
  } else if (code == DTEXTLENGTH) {
    float w = 0, h = 0;
    yypgkeyc(w, h);
    const float chars = steppedwidth(static_cast<std::size_t>(op.IOPER1)) / w;
    op.RX1 = chars * ar.REXTX / ts.CHSCALEX;
    op.IOPER2 = 1;
    return;
  } else if (code == DTEXT) {
    float X0 = 0, Y = 0, X1 = 0;
    device(0, 0, X0, Y);
    device(steppedwidth(static_cast<std::size_t>(op.IX1)), 0, X1, Y);
    textends().push_back(op.RX1 + (X1 - X0));
  }
  recordchartscreen(code);
}

TEST_F(Keys, ColumnKeyTextsEndInsideTheStripWhenTheFontNarrowsInSteps) {
  linechart(3);
  IPgArea(0.15f, 0.08f, 0.85f, 0.92f);   // the strip of the application's plots
  tessar.graphics.text.FONTKIND = 0;
  tessar.graphics.text.SPACING = 2;
  graphicsservices.yygapi = steppedfontscreen;
  float w = 0, h = 0;
  yychsize(0.012f, 0.035f);
  yypgkeyc(w, h);
  gFixedPart = 0.2f * w;   // at the first size a character is as wide as asked
  textends().clear();
  drawntexts().clear();
  const std::vector<std::string> texts{padded("Observed Baseflow"), padded("Estimated Baseflow"), padded("Estimated Trend")};
  ipgkeyall(texts, "");
  ASSERT_EQ(textends().size(), 3u);
  float right = 0, Y = 0;
  device(tessar.graphics.area.GX2, 0, right, Y);
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(drawntexts()[k].text, texts[k].substr(0, texts[k].find_last_not_of(' ') + 1));
    EXPECT_LE(textends()[k], right + 0.5f) << drawntexts()[k].text << " runs past the key strip";
  }
}

TEST_F(Keys, ReversedColumnPutsTheLastSetOnTop) {
  linechart(3);
  const std::vector<std::string> texts{"a", "b", "c"};
  ipgkeyall(texts, "r");
  ASSERT_EQ(drawntexts().size(), 3u);
  EXPECT_GT(drawntexts()[2].y, drawntexts()[0].y);
}

TEST_F(Keys, LineSampleOrMarkerByStyle) {
  linechart(2);
  ipgstyle(2, {.a = 0, .b = 3, .c = 0});
  float w = 0, h = 0;
  yypgkeyc(w, h);
  ipgkeysingle(1, 0.8f, 0.5f, "Flow");
  const auto s = segments();
  ASSERT_EQ(s.size(), 1u);   // a line of 2.15 cells
  float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  device(0.8f, 0.5f, X1, Y1);
  device(0.8f + 2.15f * w, 0.5f, X2, Y2);
  EXPECT_NEAR(s[0].x1, X1, 0.01f);
  EXPECT_NEAR(s[0].x2, X2, 0.01f);
  devicelog().clear();
  ipgkeysingle(2, 0.8f, 0.4f, "Base");
  EXPECT_GT(devicelog().size(), 1u);   // the marker and its text, no 2.15-cell line
  for (const Segment& g : segments()) EXPECT_LT(std::abs(g.x2 - g.x1), 2.15f * w * 640 * 0.99f);
}

TEST_F(Keys, TheTextIsInTheCallersColourAndTheColoursComeBack) {
  linechart(1);
  ipgstyle(1, {.a = 0, .b = 0, .c = 0, .colour1 = 40, .colour2 = 41});
  IGrColourN(7);
  IGrColourN(3);
  const auto before = tessar.graphics.attributes.COLOURS;
  devicelog().clear();
  ipgkeysingle(1, 0.8f, 0.5f, "Flow");
  EXPECT_EQ(tessar.graphics.attributes.COLOURS, before);
  for (const DeviceCall& c : devicelog())
    if (c.code == DTEXT) {
      EXPECT_EQ(c.colours[PAIRINDEX][CURRENT], 3);
    }
  // Stroke text as well: every stroke after the sample line is in the caller's colour.
  wgrvfontstandard();
  tessar.graphics.text.FONTKIND = 1;
  devicelog().clear();
  ipgkeysingle(1, 0.8f, 0.5f, "Flow");
  std::vector<int> strokes;
  for (const DeviceCall& c : devicelog())
    if (c.side == 'S' && (c.code == DLINE || c.code == DPOLYLINE || c.code == DPOLYGONSOLID))
      strokes.push_back(c.colours[PAIRINDEX][CURRENT]);
  ASSERT_GT(strokes.size(), 2u);
  EXPECT_EQ(strokes.front(), 40);
  EXPECT_EQ(strokes.back(), 3);
}

TEST_F(Keys, TheTextIsInTheCallersColourAfterEverySampleKind) {
  struct Case { const char* why; int type, a, b, c; };
  const Case cases[] = {{"line", 4, 0, 0, 0},   {"marker", 4, 0, 3, 0}, {"letter", 4, 0, 2, 0},
                        {"number", 4, 0, 1, 0}, {"symbol", 4, 0, 4, 0}, {"filled box", 4, 1, 0, 1},
                        {"bar box", 1, 1, 1, 1}, {"gradient box", 1, 5, 0, 0}};
  for (int font : {0, 1}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.why) + (font ? " stroke" : " device"));
      resetchartdevice();
      if (font == 1) wgrvfontstandard();
      tessar.graphics.text.FONTKIND = font;
      const std::array<int, 1> nv{10};
      ipgnewplot1(c.type, 1, nv);
      ipgunits(0, 0, 10, 10);
      ipgstyle(1, {.a = c.a, .b = c.b, .c = c.c, .colour1 = 40, .colour2 = 159});
      ipgmarker(1, 14);
      IGrColourN(7);
      IGrColourN(3);
      const auto before = tessar.graphics.attributes.COLOURS;
      devicelog().clear();
      ipgkeysingle(1, 0.8f, 0.5f, "Flow");
      EXPECT_EQ(tessar.graphics.attributes.COLOURS, before);
      // The last requests draw the text (the samples of letters and numbers are texts too).
      const auto& log = devicelog();
      ASSERT_FALSE(log.empty());
      EXPECT_EQ(log.back().colours[PAIRINDEX][CURRENT], 3);
      if (font == 0) {
        ASSERT_FALSE(drawntexts().empty());
        EXPECT_EQ(drawntexts().back().text, "Flow");
      }
    }
  }
}

TEST_F(Keys, SetNumbersOutsideTheChartDrawNothing) {
  linechart(2);
  ipgkeysingle(0, 0.8f, 0.5f, "x");
  ipgkeysingle(3, 0.8f, 0.5f, "x");
  EXPECT_TRUE(devicelog().empty());
}

TEST_F(Keys, BlankTextStillGivesAnEntry) {
  linechart(2);
  const std::vector<std::string> texts{"   ", "b"};
  ipgkeyall(texts, "");
  EXPECT_EQ(segments().size(), 2u);   // both samples
}

TEST_F(Keys, RowKeySitsAtTheKeyPositionBelowThePlot) {
  linechart(3);
  const std::vector<std::string> texts{"a", "b", "c"};
  ipgkeyall(texts, "X");
  ASSERT_EQ(drawntexts().size(), 3u);
  float X = 0, Y = 0;
  device(0, 0.3f * yyp2y(0), X, Y);   // default key position 0.7
  for (const DrawnText& t : drawntexts()) EXPECT_NEAR(t.y, Y, 0.5f);
  EXPECT_LT(drawntexts()[0].x, drawntexts()[1].x);
  EXPECT_LT(drawntexts()[1].x, drawntexts()[2].x);
}

TEST_F(Keys, LineEndLabelsFollowTheLastPlottedPoints) {
  linechart(2);
  const std::array<float, 10> a{1, 2, 3, 4, 5, 6, 7, 8, 9, 9}, b{1, 1, 1, 1, 1, 1, 1, 1, 1, 2};
  ipglineplot(a);
  ipglineplot(b);
  drawntexts().clear();
  const std::vector<std::string> texts{"Flow", "Base"};
  ipgkeyall(texts, "E");
  ASSERT_EQ(drawntexts().size(), 2u);
  EXPECT_GT(drawntexts()[0].y, drawntexts()[1].y);
}

}  // namespace
