// Pictures: each built-in stroke font's full character set, the fill styles and shapes, a
// gradient and justified text, drawn through the graphics routines, the recorded requests
// painted on a headless window and saved as PNG.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/graphics/picture.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/gradient.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/graphics/strokefont.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/graphics/text.h"

namespace {

struct FontPicture { const char* file; void (*install)(); };
const FontPicture kPictures[] = {
    {"font_standard.png", [] { wgrvfontstandard(); }},
    {"font_symbols.png", [] { wgrvfontvxksymbols(); }},
    {"font_swiss.png", yyofswiss},
    {"font_swissbld.png", yyofswissbold},
    {"font_roman.png", yyofroman},
    {"font_romanbld.png", yyofromanbold},
    {"font_fixed.png", yyoffixed},
    {"font_fixedbld.png", yyoffixedbold},
    {"font_symbol.png", wgrofontsymbol},
};

constexpr int kCell = 72, kWidth = 16 * kCell, kHeight = 12 * kCell;

TEST(StrokeFontPictures, EveryCharacterOfEveryFont) {
  win::test::reset();
  for (const FontPicture& p : kPictures) {
    SCOPED_TRACE(p.file);
    resetgraphics(kWidth, kHeight);
    p.install();
    TextState& ts = tessar.graphics.text;
    ts.SPACING = 0;
    ts.TYPEFLAGS = 0;
    const StrokeFont& f = tessar.graphics.font;
    // The glyph box fills 60 pixels of a cell either way.
    const float EH = 60 * f.METRICS[1] / f.METRICS[3];
    const float EW = 60 * f.METRICS[0] / f.METRICS[2];
    ts.ADVX = EW;
    ts.ADVY = 0;
    ts.COLXSTEP = 0;
    ts.COLYSTEP = EH;
    for (int row = 0; row < 12; ++row)
      for (int col = 0; col < 16; ++col) {
        const int code = (row < 6 ? 32 : 160 - 96) + row * 16 + col;
        // Code 128 shows slot 127; 127 itself is never drawn.
        const char c = static_cast<char>(code == 127 ? 128 : code);
        const float x = static_cast<float>(col * kCell + kCell / 2) - 0.5f * EW;
        const float y = static_cast<float>(kHeight - row * kCell - kCell / 2);
        yychdraw(x, y, std::string(1, c), EW, EH);
      }
    ASSERT_GT(devicelog().size(), 190u);
    EXPECT_TRUE(savepicture('S', kWidth, kHeight, std::string(TW_SHOT_DIR) + "/" + p.file));
  }
  win::test::reset();
}

TEST(GraphicsPictures, FillsShapesGradientAndText) {
  win::test::reset();
  resetgraphics(800, 600);
  igrinit("");
  IGrUnits(0, 0, 800, 600);
  devicelog().clear();
  // Top row: a polygon in each fill style, the pattern in red over white.
  const std::vector<float> px = {20, 130, 110, 60, 30}, py = {470, 480, 580, 540, 585};
  for (int style = 0; style <= 4; ++style) {
    std::vector<float> x = px;
    for (float& v : x) v += static_cast<float>(style) * 150;
    IGrColourN(style == 3 ? 31 : 223);
    igrfillpattern(style, 3, style == 2 ? 1 : 3);
    IGrPolygonComplex(x, py, 5);
  }
  // A star filled by the even-odd rule, and the shapes hatched at each angle.
  IGrColourN(159);
  std::vector<float> sx, sy;
  for (int k = 0; k < 5; ++k) {
    const double a = 1.5707963 + k * 4 * 3.14159265 / 5;
    sx.push_back(static_cast<float>(80 + 70 * std::cos(a)));
    sy.push_back(static_cast<float>(370 + 70 * std::sin(a)));
  }
  igrfillpattern(1, 4, 3);
  IGrPolygonComplex(sx, sy, 5);
  IGrColourN(95);
  for (int angle = 1; angle <= 4; ++angle) {
    igrfillpattern(angle == 4 ? 2 : 1, 3, angle);
    IGrRectangle(180 + static_cast<float>(angle - 1) * 80, 310, 240 + static_cast<float>(angle - 1) * 80, 430);
  }
  IGrColourN(191);
  igrfillpattern(1, 4, 4);
  IGrTriangle(520, 310, 640, 330, 560, 430);
  igrfillpattern(2, 4, 1);
  igrparallel(660, 310, 780, 400, 30, 1);
  // A spiral filled triangle by triangle, and a gradient from blue to red.
  std::vector<float> ox, oy;
  for (int k = 0; k <= 60; ++k) {
    const double a = 0.2 * k, r = 10 + 6 * a;
    ox.push_back(static_cast<float>(110 + r * std::cos(a)));
    oy.push_back(static_cast<float>(170 + r * std::sin(a)));
  }
  for (int k = 60; k >= 0; --k) {
    const double a = 0.2 * k, r = 28 + 6 * a;
    ox.push_back(static_cast<float>(110 + r * std::cos(a)));
    oy.push_back(static_cast<float>(170 + r * std::sin(a)));
  }
  IGrColourN(127);
  igrfillpattern(1, 5, 3);
  igrpolygonsimple(ox, oy, static_cast<int>(ox.size()));
  igrcolourmodel(24);
  IGrColourN(wrgb(0, 0, 255));
  IGrColourN(wrgb(255, 0, 0));
  const std::vector<float> gx = {260, 480, 520, 300}, gy = {100, 90, 250, 240};
  IGrPolygonGrad(gx, gy, 4, 2);
  igrcolourmodel(1);
  IGrColourN(223);
  // Justified text on a marked anchor, in three stroke fonts.
  igrjoin(660, 20, 660, 280);
  WGrTextFont({.family = 1, .width = 0.02f, .height = 0.05f});
  const char* names[] = {"left", "centre", "right"};
  for (int j = 0; j < 3; ++j) {
    if (j == 1) yyofswiss();
    if (j == 2) yyofromanbold();
    WGrTextFont({.family = 1});
    wgrtextorientation(j);
    wgrtextstring(660, 240 - static_cast<float>(j) * 80, names[j]);
  }
  EXPECT_TRUE(savepicture('S', 800, 600, std::string(TW_SHOT_DIR) + "/graphics_fills.png"));
  win::test::reset();
}

}  // namespace
