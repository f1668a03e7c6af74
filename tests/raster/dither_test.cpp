// Dithering: the colour-cube tables and where a pixel's colour lands.
#include "toolkit/raster/dither.h"

#include <gtest/gtest.h>

#include "toolkit/state/tessar.h"

namespace {

constexpr std::uint32_t rows(std::uint32_t r0, std::uint32_t r1, std::uint32_t r2,
                             std::uint32_t r3) {
  return r0 | (r1 << 8) | (r2 << 16) | (r3 << 24);
}

struct PlaceCase {
  const char* why;
  int level;   // intensity level 0-255
  int c;
  std::uint32_t want;
};

TEST(Yydithplace, LaysCellsByTheRule) {
  const PlaceCase cases[] = {
      {"level 0 lights nothing", 0, 1, 0u},
      {"level 255 lights everything", 255, 2, 0xFFFFFFFFu},
      {"level 31 (n = 4): one cell per row, rotated apart", 31, 1, rows(0x01, 0x08, 0x40, 0x02)},
      {"level 127 (n = 16), red", 127, 1, rows(0x55, 0xAA, 0x55, 0xAA)},
      {"level 127, green starts elsewhere", 127, 2, rows(0xAA, 0xAA, 0xAA, 0x55)},
      {"level 127, blue", 127, 3, rows(0x55, 0xAA, 0x55, 0xAA)},
      {"level 191 (n = 24)", 191, 1, rows(0xDD, 0xEE, 0x77, 0xBB)},
  };
  for (const PlaceCase& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(yydithplace(static_cast<float>(c.level) * (1.0f / 255.0f), c.c), c.want);
  }
  EXPECT_EQ(yydithplace(0.976f, 1), 0xFFFFFFFFu) << "above 0.975 is all ones";
}

struct ColourCase {
  const char* why;
  int colours;      // device colours
  int kind;         // printer colour kind
  int option6;
  int rgb;
  std::uint32_t red, green, blue;
};

constexpr std::uint32_t kAll = 0xFFFFFFFFu;

TEST(Yydith, PatternsOfTheDrawingColour) {
  // On a monochrome page a set bit is ink: the grey pattern's lit (light) cells are clear.
  const ColourCase cases[] = {
      {"mono, mid grey: n = 17", 2, 0, 0, 0x808080, ~rows(0x55, 0xAA, 0x55, 0xD5),
       ~rows(0x55, 0xAA, 0x55, 0xD5), ~rows(0x55, 0xAA, 0x55, 0xD5)},
      {"mono, pure red: grey 0.35, n = 11", 2, 0, 0, 0x0000FF, ~rows(0x0A, 0x80, 0xAA, 0x55),
       ~rows(0x0A, 0x80, 0xAA, 0x55), ~rows(0x0A, 0x80, 0xAA, 0x55)},
      {"mono, pure blue: grey 0.11, n = 4", 2, 0, 0, 0xFF0000, ~rows(0x01, 0x08, 0x40, 0x02),
       ~rows(0x01, 0x08, 0x40, 0x02), ~rows(0x01, 0x08, 0x40, 0x02)},
      {"mono, light grey is above 0.975: no ink", 2, 0, 0, 0xF0F0F0, 0, 0, 0},
      {"mono, black fills with ink", 2, 0, 0, 0x000000, kAll, kAll, kAll},
      {"mono, black inverted is paper", 2, 0, 1, 0x000000, 0, 0, 0},
      {"mono, near black swapped by option 2", 2, 0, 2, 0x050505, 0, 0, 0},
      {"RGB printer, red", 8, 1, 0, 0x0000FF, kAll, 0, 0},
      {"CMY printer, red becomes cyan ink off, magenta and yellow on", 8, 2, 0, 0x0000FF, 0,
       kAll, kAll},
      {"a grey of spread 3 uses the red pattern in all planes", 8, 1, 0, 0x676664,
       yydithplace(100 * (1.0f / 255.0f), 1), yydithplace(100 * (1.0f / 255.0f), 1),
       yydithplace(100 * (1.0f / 255.0f), 1)},
  };
  for (const ColourCase& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.graphics.attributes.COLOURMODEL = 2;
    tessar.graphics.attributes.COLOURS[PAIRRGB][CURRENT] = c.rgb;
    tessar.graphics.operands.HCCOLOURS = c.colours;
    tessar.hardcopy.HCOPTIONS[5] = c.option6;
    std::uint32_t r = 1, g = 1, b = 1;
    yydith(c.kind, r, g, b);
    EXPECT_EQ(r, c.red);
    EXPECT_EQ(g, c.green);
    EXPECT_EQ(b, c.blue);
  }
  tessar.hardcopy.HCOPTIONS[5] = 0;
}

TEST(Yydith2, BuildsTheColourCube) {
  yydith2();
  const RasterRegion& rr = tessar.raster;
  for (int l = 0; l < 16; ++l) {
    SCOPED_TRACE(l);
    const std::size_t i = static_cast<std::size_t>(273 * l);   // R = G = B = l
    EXPECT_EQ(rr.CUBERED[i], rr.CUBEGREEN[i]);
    EXPECT_EQ(rr.CUBERED[i], rr.CUBEBLUE[i]);
  }
  // R = 7 (level 127), G = 0, B = 15 (level 255)
  const std::size_t i = 256 * 15 + 7;
  EXPECT_EQ(rr.CUBERED[i], rows(0x55, 0xAA, 0x55, 0xAA));
  EXPECT_EQ(rr.CUBEGREEN[i], 0u);
  EXPECT_EQ(rr.CUBEBLUE[i], 0xFFFFFFFFu);
  EXPECT_EQ(rr.CUBERED[1], rows(0x01, 0x08, 0x40, 0x02)) << "level index 1 is level 31";
}

}  // namespace
