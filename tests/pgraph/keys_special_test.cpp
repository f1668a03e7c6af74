// Key layouts side by side ("V" stacked characters, "9" turned texts) for 1 to 12 sets,
// entries turned by 90 degrees, the colour-block key, the pie labels and the colour-bar key.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/pgraph/chart_recorder.h"
#include "toolkit/graphics/text.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/keys.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/settings.h"

namespace {

class SpecialKeys : public ::testing::Test {
 protected:
  void SetUp() override { resetchartdevice(); }
  void chart(int type, int sets, int options = 0) {
    const std::array<int, 2> nv{10, 10};
    ipgnewplot1(type, sets, nv, options);
    IPgArea(0.1f, 0.2f, 0.7f, 0.9f);
    ipgunits(0, 0, 10, 10);
    for (int k = 1; k <= sets; ++k) ipgstyle(k, {.a = 0, .b = 0, .c = 0, .colour1 = 16 + k, .colour2 = 16 + k});
    devicelog().clear();
    drawntexts().clear();
  }
  static std::vector<std::string> names(int n) {
    std::vector<std::string> t;
    for (int k = 1; k <= n; ++k) t.push_back("Set " + std::to_string(k));
    return t;
  }
  PlotDefinition& pd = tessar.pgraph.plot;
  TextState& ts = tessar.graphics.text;
};

// Columns side by side across the strip right of the plot, set 1 leftmost (rightmost with R);
// all entries start on one line; the text state is as before.
TEST_F(SpecialKeys, SideBySideColumnsForOneToTwelveSets) {
  struct Layout { const char* options; int direction; float angle; };
  for (const Layout l : {Layout{"V", 1, 0}, Layout{"9", 0, 90}, Layout{"9R", 0, 90}}) {
    for (int n = 1; n <= 12; ++n) {
      SCOPED_TRACE(std::string(l.options) + " " + std::to_string(n));
      chart(4, n);
      const float cw = ts.CW, ch = ts.CH;
      ipgkeyall(names(n), l.options);
      // The samples: one line per set, each 2.15 cells long in the writing direction.
      const auto segs = segments();
      ASSERT_EQ(static_cast<int>(segs.size()), n);
      const float XL = yyp2x(10), XR = tessar.graphics.area.GX2;
      const float XC = XL + (XR - XL) / 2, nn = static_cast<float>(n);
      const bool reversed = l.options[1] == 'R';
      for (int k = 1; k <= n; ++k) {
        const Segment& s = segs[static_cast<std::size_t>(k - 1)];
        const float r = static_cast<float>(reversed ? n + 1 - k : k);
        float X = 0, Y = 0;
        device(XC - (XR - XL) * ((nn + 1) / 2 - r) / (nn + 1), 0, X, Y);
        EXPECT_NEAR(s.x1, X, 0.01f);
        EXPECT_NEAR(s.y1, segs[0].y1, 0.01f);   // one start line
        EXPECT_NEAR(s.x2, s.x1, 0.01f);           // running up or down the page
        if (l.direction == 1) EXPECT_LT(s.y2, s.y1);   // stacked characters run down
        else EXPECT_GT(s.y2, s.y1);                     // turned texts read upward
      }
      EXPECT_FLOAT_EQ(ts.CW, cw);
      EXPECT_FLOAT_EQ(ts.CH, ch);
      EXPECT_EQ(ts.DIRECTION, 0);
      EXPECT_FLOAT_EQ(ts.ANGLE1, 0);
    }
  }
}

TEST_F(SpecialKeys, AnEntryAtNinetyDegreesIsTurnedAtFortyFiveIsLevel) {
  chart(4, 1);
  struct Case { float angle; bool turned; };
  for (const Case c : {Case{90, true}, Case{270, true}, Case{45, false}, Case{0, false}}) {
    SCOPED_TRACE(c.angle);
    yychrot(c.angle);
    devicelog().clear();
    ipgkeysingle(1, 0.8f, 0.5f, "Flow");
    const auto segs = segments();
    ASSERT_EQ(segs.size(), 1u);
    if (c.turned) EXPECT_NEAR(segs[0].x2, segs[0].x1, 0.01f);
    else EXPECT_NEAR(segs[0].y2, segs[0].y1, 0.01f);
    EXPECT_FLOAT_EQ(ts.ANGLE1, c.angle);
  }
}

TEST_F(SpecialKeys, VectorChartsShowAnArrow) {
  struct Case { int a; bool filledhead; };
  for (const Case c : {Case{1, false}, Case{0, false}, Case{4, true}}) {
    SCOPED_TRACE(c.a);
    chart(11, 1);
    ipgstyle(1, {.a = c.a});
    const int fill = tessar.graphics.attributes.FILLSTYLE;
    ipgkeysingle(1, 0.8f, 0.5f, "Wind");
    bool solid = false;
    int lines = 0;
    for (const DeviceCall& d : devicelog()) {
      if (d.side != 'S') continue;
      if (d.code == DLINE || d.code == DPOLYLINE) ++lines;
      if (d.code == DPOLYGONSOLID || d.code == DTRIANGLESOLID) solid = true;
    }
    EXPECT_EQ(solid, c.filledhead);   // the head filled only for style 4
    if (!c.filledhead) {   // the shaft and the head in lines
      EXPECT_GE(lines, 2);
    }
    EXPECT_EQ(tessar.graphics.attributes.FILLSTYLE, fill);
    ASSERT_FALSE(drawntexts().empty());
    EXPECT_EQ(drawntexts().back().text, "Wind");
  }
}

TEST_F(SpecialKeys, BlockKeyPutsSetOneAtTheBottomOrLeft) {
  struct Case { const char* options; bool row; bool firstlow; };
  for (const Case c : {Case{"U", false, true}, Case{"UR", false, false}, Case{"UX", true, true}}) {
    SCOPED_TRACE(c.options);
    chart(4, 3);
    const std::vector<std::string> texts{"one", "two", "three"};
    ipgkeyall(texts, c.options);
    std::vector<DeviceCall> blocks;
    for (const DeviceCall& d : devicelog())
      if (d.side == 'S' && d.code == DRECTSOLID) blocks.push_back(d);
    ASSERT_EQ(blocks.size(), 3u);
    // Each block in its set's colour, touching the next.
    for (std::size_t i = 0; i < 3; ++i) {
      const int set = c.options[1] == 'R' ? 3 - static_cast<int>(i) : static_cast<int>(i) + 1;
      EXPECT_EQ(blocks[i].colours[PAIRINDEX][CURRENT], 16 + set);
    }
    ASSERT_EQ(drawntexts().size(), 3u);
    if (c.row) {
      EXPECT_LT(drawntexts()[0].x, drawntexts()[1].x);
      EXPECT_EQ(drawntexts()[0].text, "one");
    } else {
      const std::string low = c.firstlow ? "one" : "three";
      EXPECT_EQ(drawntexts()[0].text, low);
      EXPECT_LT(drawntexts()[0].y, drawntexts()[1].y);
    }
  }
}

std::vector<float>& textheights() {
  static std::vector<float> h;
  return h;
}
void recordheights(int& code) {
  if (code == DTEXT) textheights().push_back(tessar.graphics.text.CH);
  recordchartscreen(code);
}

TEST_F(SpecialKeys, BlockKeyLabelsGrowOverTheShortestRunOfBlankTexts) {
  // Twelve sets, a label on every third: the shortest blank run is 2, so the height limit
  // is FH / (12 / 3), not FH / 12.
  struct Case { int every; float rows; };
  for (const Case c : {Case{3, 4}, Case{1, 12}, Case{6, 2}}) {
    SCOPED_TRACE(c.every);
    chart(4, 12);
    graphicsservices.yygapi = recordheights;
    textheights().clear();
    ipgkeyarea(0.75f, 0.1f, 0.95f, 0.9f);
    std::vector<std::string> texts(12, " ");
    for (int k = c.every; k <= 12; k += c.every) texts[static_cast<std::size_t>(k - 1)] = "M";
    yychsize(0.001f, 0.5f);
    ipgkeyall(texts, "U");
    ASSERT_EQ(static_cast<int>(textheights().size()), 12 / c.every);
    for (float h : textheights()) EXPECT_FLOAT_EQ(h, 0.8f / c.rows);
    EXPECT_FLOAT_EQ(ts.CH, 0.5f);   // put back afterwards
    int blocks = 0;
    for (const DeviceCall& d : devicelog())
      if (d.side == 'S' && d.code == DRECTSOLID) ++blocks;
    EXPECT_EQ(blocks, 12);   // blank texts still get their blocks
  }
}

TEST_F(SpecialKeys, PieLabelsWithPercentages) {
  struct Case { const char* why; float value, cosine; const char* options; bool propdepth; const char* want; };
  const Case cases[] = {
      {"one decimal, right side: percentage first", 45.3f, 1, "R", false, "45.3% Wheat"},
      {"100 keeps all three digits", 100, 1, "P", false, "100% Wheat"},
      {"left side: text, a blank, then the percentage", 7, -1, "P", false, "Wheat 7%"},
      {"no letters: the text alone", 7, -1, "", false, "Wheat"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    chart(3, 1);
    pd.PGPIE[0] = {c.value, 0.3f, c.cosine, 0};
    pd.PIECENTREX = pd.PIECENTREY = 0.5f;
    pd.PIESCALEX = pd.PIESCALEY = 1;
    pd.PIELEADER = 0.05f;
    pd.PIELABELGAP = 0.05f;
    const std::vector<std::string> texts{"Wheat"};
    ipgkeyall(texts, c.options);
    ASSERT_EQ(drawntexts().size(), 1u);
    EXPECT_EQ(drawntexts()[0].text, c.want);
    EXPECT_EQ(drawntexts()[0].justify, c.cosine > 0 ? 0 : 2);
    EXPECT_FLOAT_EQ(pd.PGXMAX, 10);   // the plot units come back
  }
  chart(3, 1);
  pd.PGPIE[0] = {-1, 0.3f, 1, 0};
  ipgkeyall(std::vector<std::string>{"Wheat"}, "");
  EXPECT_TRUE(drawntexts().empty());   // a negative value: no label
}

TEST_F(SpecialKeys, ColourBarShadesFromSetOneToSetTwoAndRSwapsBothEnds) {
  std::array<int, 2> bottomcolour{}, topcolour{};
  int pass = 0;
  for (const char* options : {"", "R"}) {
    SCOPED_TRACE(options);
    chart(8, 2, 0x10);
    ASSERT_EQ(pd.PGMODE, 3);
    ipgstyle(1, {.colour1 = 40});
    ipgstyle(2, {.colour1 = 200});
    const std::vector<std::string> texts{"Low", "High"};
    ipgkeyall(texts, options);
    ASSERT_EQ(drawntexts().size(), 2u);
    const bool r = options[0] == 'R';
    // Text 1 at the bottom end, text 2 at the top; with R they change places.
    const DrawnText& bottom = drawntexts()[0].y < drawntexts()[1].y ? drawntexts()[0] : drawntexts()[1];
    EXPECT_EQ(bottom.text, r ? "High" : "Low");
    // The shading: scan lines whose colours run from one set's colour to the other's.
    float lo = 1e9f, hi = -1e9f;
    for (const DeviceCall& d : devicelog()) {
      if (d.side != 'S' || d.code != DLINE || d.operands.RY1 != d.operands.RY2) continue;
      if (d.operands.RY1 < lo) {
        lo = d.operands.RY1;
        bottomcolour[static_cast<std::size_t>(pass)] = d.colours[PAIRRGB][CURRENT];
      }
      if (d.operands.RY1 > hi) {
        hi = d.operands.RY1;
        topcolour[static_cast<std::size_t>(pass)] = d.colours[PAIRRGB][CURRENT];
      }
    }
    ASSERT_LT(lo, hi);
    ++pass;
  }
  // Equal within the rounding of the last scan line.
  auto near = [](int a, int b) {
    for (int shift : {0, 8, 16})
      if (std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) > 12) return false;
    return true;
  };
  const int one = tessar.graphics.palette.WORKING[40], two = tessar.graphics.palette.WORKING[200];
  EXPECT_TRUE((near(bottomcolour[0], one) && near(topcolour[0], two)) ||
              (near(bottomcolour[0], two) && near(topcolour[0], one)));
  EXPECT_TRUE(near(bottomcolour[1], topcolour[0]));
  EXPECT_TRUE(near(topcolour[1], bottomcolour[0]));
}

}  // namespace
