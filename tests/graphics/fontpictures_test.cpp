// Pictures of the built-in stroke fonts: each font's full character set drawn through the
// renderer, the recorded strokes and outlines painted on a headless window and saved as PNG.
#include <gtest/gtest.h>

#include <string>

#include "tests/graphics/picture.h"
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

constexpr int kCell = 48, kWidth = 16 * kCell, kHeight = 12 * kCell;

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
    // The glyph box fills 40 units of a cell either way.
    const float EH = 40 * f.METRICS[1] / f.METRICS[3];
    const float EW = 40 * f.METRICS[0] / f.METRICS[2];
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

}  // namespace
