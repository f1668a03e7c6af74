// Stroke text on the shared test picture's graphics state: glyphs advance along the line on
// a hardcopy side alone just as they do on the screen side.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/graphics/recording_device.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/state/tessar.h"

namespace {

TEST(PictureText, StrokeGlyphsAdvanceWithTheScreenSideOffAsWithItOn) {
  struct Case { const char* why; bool outline; };
  const Case cases[] = {{"standard font", false}, {"outline font at table spacing", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    testpicturegraphics(1000, 750);
    graphicsservices.yygapi = recordscreen;
    graphicsservices.xxhcif = recordhardcopy;
    GraphicsRegion& g = tessar.graphics;
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, 100, 75);
    if (c.outline) wgrofontswiss();
    WGrTextFont({.family = 1, .type = 0, .width = 0.012f, .height = 0.04f});
    wgrtextorientation(0, 0.0f);

    g.attributes.SCREENON = 1;
    g.attributes.HARDCOPYON = 0;
    devicelog().clear();
    wgrtextstring(3, 33, "HHHH");
    const auto screen = strokestarts('S');
    g.attributes.SCREENON = 0;
    g.attributes.HARDCOPYON = 1;
    devicelog().clear();
    wgrtextstring(3, 33, "HHHH");
    const auto hardcopy = strokestarts('H');

    ASSERT_GE(hardcopy.size(), 4u);
    ASSERT_EQ(hardcopy.size(), screen.size());
    for (std::size_t i = 0; i < screen.size(); ++i) {
      EXPECT_NEAR(hardcopy[i].first, screen[i].first, 1e-3) << "stroke " << i;
      EXPECT_NEAR(hardcopy[i].second, screen[i].second, 1e-3) << "stroke " << i;
    }
    // Four equal glyphs: the last starts three advances to the right of the first.
    const float w = g.text.SPACING == 0 ? 1.0f : 1.05f;   // the table width of "H"
    const float cell = g.area.RDEVW * g.text.CW;
    const std::size_t perglyph = hardcopy.size() / 4;
    EXPECT_NEAR(hardcopy[3 * perglyph].first - hardcopy[0].first, 3 * w * cell, 1e-2);
    EXPECT_NEAR(hardcopy[3 * perglyph].second, hardcopy[0].second, 1e-3);
  }
}

}  // namespace
