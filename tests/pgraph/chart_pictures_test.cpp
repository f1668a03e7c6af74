// Pictures of charts: a line chart of flow and baseflow with missing days, a stacked filled
// line chart whose values change sign, an XY chart with markers and a fitted line, and a polar
// chart; the recorded requests painted on a headless window and saved as PNG.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "../screen/screen_fixture.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/graphics/text.h"
#include "toolkit/pgraph/decorations.h"
#include "toolkit/pgraph/definition.h"
#include "toolkit/pgraph/keys.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/plots.h"
#include "toolkit/pgraph/scales.h"
#include "toolkit/pgraph/settings.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr float kMissing = -999.0f;

// The palette index of a named colour.
int colour(const char* name) {
  IGrColour(name);
  return tessar.graphics.attributes.COLOURS[PAIRINDEX][CURRENT];
}

class ChartPictures : public twtest::ScreenFixture {
 protected:
  void start() {
    openScreen(kWidth, kHeight);
    tessar.pgraph = PgraphRegion{};
    tessar.files.TEXTBUF.assign(200, ' ');
    tessar.files.DECIMAL = '.';
    IGrUnits(0, 0, 1, 1);
    yypgreset();
    wgrvfontstandard();
    tessar.graphics.text.FONTKIND = 1;
  }
  void save(const char* name) {
    EXPECT_GT(inkCount(), 2000);
    win::test::savePng(winslot(0).hClient, std::string(TW_SHOT_DIR) + "/" + name, false);
  }
};

// A year of daily flow: recessions after storms over a slowly varying base, two gaps.
void flowyear(std::vector<float>& flow, std::vector<float>& base) {
  flow.assign(365, 0);
  base.assign(365, 0);
  float storm = 0;
  for (int d = 0; d < 365; ++d) {
    if (d % 37 == 5) storm += 40 + static_cast<float>(d % 5) * 12;
    storm *= 0.85f;
    const float b = 8 + 4 * std::sin(static_cast<float>(d) / 58.0f);
    base[static_cast<std::size_t>(d)] = b + 0.15f * storm;
    flow[static_cast<std::size_t>(d)] = b + storm;
  }
  for (int d = 120; d < 131; ++d) flow[static_cast<std::size_t>(d)] = base[static_cast<std::size_t>(d)] = kMissing;
  flow[250] = base[250] = kMissing;
}

TEST_F(ChartPictures, FlowAndBaseflowLineChart) {
  start();
  std::vector<float> flow, base;
  flowyear(flow, base);
  const std::array<int, 1> nv{365};
  ipgnewplot1(4, 2, nv);
  IPgArea(0.12f, 0.15f, 0.8f, 0.9f);
  ipgunits(1, 0, 365, 100);
  ipgmissingdata(kMissing);
  ipgstyle(1, {.a = 0, .b = 0, .c = 0, .colour1 = colour("BLUE"), .colour2 = colour("BLUE")});
  ipgstyle(2, {.a = 0, .b = 0, .c = 0, .colour1 = colour("RED"), .colour2 = colour("RED")});
  IGrColour("BLACK");
  ipgxgraticules(1);
  ipgygraticules(1);
  ipgaxes();
  ipgxscale("");
  ipgyscaleleft("");
  ipgborder();
  ipgtitle("Daily flow and baseflow");
  ipgxlabel("Day of the year");
  ipgylabelleft("Flow (m3/s)", "9");
  ipgkeyarea(1, 1, 0, 0);
  const std::array<std::string, 2> keys{"Flow", "Baseflow"};
  ipgkeyall(keys, "");
  ipglineplot(flow);
  ipglineplot(base);
  save("chart_flow.png");
}

TEST_F(ChartPictures, StackedFillWithASignChange) {
  start();
  const std::array<int, 1> nv{12};
  ipgnewplot1(4, 2, nv, 0x400);
  IPgArea(0.12f, 0.12f, 0.95f, 0.92f);
  ipgunits(1, -10, 12, 20);
  ipgstyle(1, {.a = 4, .b = 0, .c = 1, .colour1 = colour("GREEN"), .colour2 = colour("GREEN")});
  ipgstyle(2, {.a = 4, .b = 0, .c = 1, .colour1 = colour("CYAN"), .colour2 = colour("CYAN")});
  const std::array<float, 12> a{4, 6, 3, -2, -6, -4, 1, 5, 8, 6, 2, -3};
  const std::array<float, 12> b{3, 3, 4, 4, 5, 5, 4, 4, 3, 3, 2, 2};
  ipglineplot(a);
  ipglineplot(b);
  IGrColour("BLACK");
  ipgaxes();
  ipgxscale("");
  ipgyscaleleft("");
  ipgborder();
  save("chart_stacked.png");
}

TEST_F(ChartPictures, XYChartWithMarkersAndAFittedLine) {
  start();
  const std::array<int, 1> nv{30};
  ipgnewplot1(6, 2, nv);
  IPgArea(0.12f, 0.12f, 0.95f, 0.92f);
  ipgunits(1980, 0, 2010, 50);
  std::array<float, 30> x{}, y{};
  for (int i = 0; i < 30; ++i) {
    x[static_cast<std::size_t>(i)] = 1980.5f + static_cast<float>(i);
    y[static_cast<std::size_t>(i)] = 15 + 0.6f * static_cast<float>(i) + 6 * std::sin(static_cast<float>(i) * 1.7f);
  }
  ipgstyle(1, {.a = 0, .b = 3, .c = 0, .colour1 = colour("BLUE"), .colour2 = colour("BLUE")});
  ipgmarker(1, 2);
  ipgstyle(2, {.a = 0, .b = 0, .c = 0, .colour1 = colour("RED"), .colour2 = colour("RED")});
  IGrColour("BLACK");
  ipgxscale("");
  ipgyscaleleft("");
  ipgborder();
  ipgxypairs(x, y);
  const std::array<float, 2> fx{1980.5f, 2009.5f}, fy{15.0f, 15 + 0.6f * 29};
  ipgxypairs(fx, fy, 2);
  save("chart_xy.png");
}

TEST_F(ChartPictures, PolarChart) {
  start();
  const std::array<int, 1> nv{24};
  ipgnewplot1(4, 1, nv, 0x40);
  IPgArea(0.1f, 0.08f, 0.9f, 0.84f);
  IPgUnitsPolar(10);
  std::array<float, 24> r{};
  for (int i = 0; i < 24; ++i) r[static_cast<std::size_t>(i)] = 6 + 3 * std::cos(static_cast<float>(i) * 0.52f);
  ipgstyle(1, {.a = 0, .b = 3, .c = 0, .colour1 = colour("BLUE"), .colour2 = colour("BLUE")});
  ipgstyle(2, {.a = 0, .b = 0, .c = 0, .colour1 = colour("RED"), .colour2 = colour("RED")});
  IGrColour("BLACK");
  ipgxgraticules(1);
  ipgygraticules(1);
  ipgaxes();
  ipgxscale("");
  ipgyscaleleft("");
  ipgtitle("Direction of the wind");
  ipglineplot(r);
  save("chart_polar.png");
}

// The key's texts are in the colour current when the key is drawn, whatever the samples'
// colours: the application's separation chart (palette model, device font), and stroke text.
TEST_F(ChartPictures, KeyTextsInTheCallersColourOnScreen) {
  for (int font : {0, 1}) {
    SCOPED_TRACE(font);
    start();
    tessar.graphics.text.FONTKIND = font;
    igrcolourmodel(8);
    IGrColourN(223);
    const std::array<int, 2> nv{10, 10};
    ipgnewplot1(4, 2, nv, 0, 0);
    ipgunits(0, 0, 10, 10);
    IPgArea(0.15f, 0.08f, 0.85f, 0.92f);
    IGrColour("black");
    ipgborder();
    if (font == 0) WGrTextFont({.width = 0.012f, .height = 0.035f});
    ipgstyle(1, {.a = 0, .b = 0, .c = 0, .colour1 = 159, .colour2 = 159});
    ipgstyle(2, {.a = 0, .b = 0, .c = 0, .colour1 = 31, .colour2 = 31});
    ipgkeyarea(1, 1, 0, 0);
    const std::array<std::string, 2> keys{"Total Flow", "Base Flow "};
    ipgkeyall(keys, "");
    // Right of the plot the only saturated pixels are the two one-pixel sample lines.
    int w = 0, h = 0;
    const auto pixels = win::test::pixels(winslot(0).hClient, true, w, h);
    int dark = 0;
    std::vector<int> rows;
    for (int y = 0; y < h; ++y)
      for (int x = static_cast<int>(0.86f * static_cast<float>(w)); x < w; ++x) {
        const win::COLORREF c = pixels[static_cast<std::size_t>(y * w + x)];
        const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
        const int hi = std::max({r, g, b}), lo = std::min({r, g, b});
        if (hi - lo > 60) {
          if (std::find(rows.begin(), rows.end(), y) == rows.end()) rows.push_back(y);
        } else if (hi < 128) {
          ++dark;
        }
      }
    EXPECT_GT(dark, 50);
    EXPECT_LE(rows.size(), 2u);
    save(font == 0 ? "chart_key_devicefont.png" : "chart_key_strokefont.png");
  }
}

// The box of a 3-D chart with its grid, scales and labels along the front edges.
TEST_F(ChartPictures, ThreeDBoxWithScalesAndLabels) {
  start();
  const std::array<int, 2> nv{6, 6};
  ipgnewplot1(5, 1, nv, 1);
  IPgArea(0.15f, 0.25f, 0.85f, 0.88f);
  ipgunits(0, 0, 10, 10);
  IPgUnitsZ(0, 100);
  ipgelevation(25);
  ipgrotation(30);
  IGrColour("BLACK");
  ipgaxes();
  ipgxgraticules(1);
  ipgygraticules(1);
  ipgxscale("");
  ipgyscaleleft("");
  ipgzscale("");
  ipgxlabel("Distance east");
  ipgylabelleft("Distance north");
  ipgzlabelleft("Height", "9");
  ipgtitle("A 3-D box");
  save("chart_box3d.png");
}

// Keys of four sets side by side: turned texts ("9") with a frame and title, stacked
// characters ("V") with a cleared background.
TEST_F(ChartPictures, SideBySideKeys) {
  start();
  const std::array<int, 1> nv{10};
  ipgnewplot1(4, 4, nv);
  IPgArea(0.1f, 0.12f, 0.55f, 0.9f);
  ipgunits(0, 0, 10, 10);
  const char* names[4] = {"BLUE", "RED", "GREEN", "MAGENTA"};
  for (int k = 1; k <= 4; ++k)
    ipgstyle(k, {.a = 0, .b = k == 4 ? 3 : 0, .c = 0, .colour1 = colour(names[k - 1]), .colour2 = colour(names[k - 1])});
  IGrColour("BLACK");
  ipgborder();
  const std::array<std::string, 4> keys{"Flow", "Baseflow", "Quickflow", "Rain"};
  ipgkeyarea(0.57f, 0.12f, 0.77f, 0.9f);
  ipgkeyall(keys, "9B", "Turned");
  ipgkeyarea(0.79f, 0.12f, 0.99f, 0.9f);
  ipgkeyall(keys, "VBC", "Stacked");
  save("chart_sidebyside.png");
}

// A colour-block key of twelve sets beside the plot, and a colour-bar key of a shaded chart
// in a given key area.
TEST_F(ChartPictures, ColourBlockAndColourBarKeys) {
  start();
  const std::array<int, 1> nv{12};
  ipgnewplot1(4, 12, nv);
  IPgArea(0.1f, 0.12f, 0.6f, 0.9f);
  ipgunits(1, 0, 12, 12);
  std::vector<std::string> names;
  for (int k = 1; k <= 12; ++k) {
    ipgstyle(k, {.a = 0, .b = 0, .c = 0, .colour1 = 16 * (k % 16) + 8, .colour2 = 16 * (k % 16) + 8});
    names.push_back(k % 3 == 0 ? std::string("Month ") + std::to_string(k) : std::string(" "));
  }
  IGrColour("BLACK");
  ipgborder();
  ipgxscale("");
  ipgyscaleleft("");
  ipgkeyarea(0.62f, 0.12f, 0.8f, 0.9f);
  ipgkeyall(names, "UB", "Months");
  // The bar key reads the first two sets' colours and texts.
  ipgnewplot1(8, 2, std::array<int, 2>{10, 10}, 0x10);   // shaded mode
  ipgstyle(1, {.colour1 = colour("BLUE")});
  ipgstyle(2, {.colour1 = colour("YELLOW")});
  IGrColour("BLACK");
  ipgkeyarea(0.82f, 0.12f, 0.99f, 0.9f);
  const std::array<std::string, 2> ends{"Low", "High"};
  ipgkeyall(ends, "B", "Depth");
  save("chart_colourkeys.png");
}

}  // namespace
