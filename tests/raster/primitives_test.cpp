// Raster primitives: pixels, pixel runs, lines with width and dashes, span fills, polygon edge crossings and colour values on the virtual page.
#include "toolkit/raster/primitives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/raster/raster_page.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/raster/dither.h"

namespace {

// The rows of a small page as text, top row first: '#' for a non-zero pixel.
std::string picture() {
  const RasterState& rs = tessar.raster.state;
  std::string s;
  for (int y = rs.RASYMAX; y >= 0; --y) {
    for (int x = 0; x <= rs.RASXMAX; ++x) s += rasterpixel(x, y) != 0 ? '#' : '.';
    s += '\n';
  }
  return s;
}

class RasterPage : public ::testing::Test {
 protected:
  void SetUp() override {
    tessar.graphics.attributes = GraphicsAttributes{};
    tessar.hardcopy = HardcopyRegion{};
  }
};
class Yyvra1 : public RasterPage {};
class Yyvra2 : public RasterPage {};
class Yyvra3 : public RasterPage {};
class Yyvra4 : public RasterPage {};
class Yyvra5 : public RasterPage {};

struct PlaceCase {
  const char* why;
  int depth, x, y, value;
  int word;               // index into IRBUFF
  std::uint32_t want;     // that word afterwards
};

TEST_F(Yyvra1, PlacesPixelsByPageLayout) {
  const PlaceCase cases[] = {
      {"depth 8: pixel (5, 0) is byte 1 of word 1", 8, 5, 0, 0xAB, 1, 0xAB00u},
      {"depth 8: pixel (0, 479) is byte 0 of word 76,640", 8, 0, 479, 0x7F, 76640, 0x7Fu},
      {"depth 1: pixel (33, 2) is bit 1 of word 41", 1, 33, 2, 1, 41, 0x2u},
      {"depth 4: bit 2 of pixel (0, 0) is bit 0 of word 19,200", 4, 0, 0, 4, 19200, 0x1u},
      {"depth 4: bit 0 of the same pixel is in plane 0", 4, 0, 0, 4, 0, 0x0u},
      {"depth 24: one word per pixel", 24, 3, 1, 0x123456, 3 + 640, 0x123456u},
  };
  for (const PlaceCase& c : cases) {
    SCOPED_TRACE(c.why);
    makerasterpage(640, 480, c.depth);
    if (c.depth == 8) {
      EXPECT_EQ(tessar.raster.state.RASROWWORDS, 160);
    } else if (c.depth == 1) {
      EXPECT_EQ(tessar.raster.state.RASROWWORDS, 20);
    } else if (c.depth == 4) {
      EXPECT_EQ(tessar.raster.state.RASPLANEWORDS, 9600);
    }
    yyvra1(c.value, c.x, c.y);
    EXPECT_EQ(tessar.raster.IRBUFF[static_cast<std::size_t>(c.word)], c.want);
    EXPECT_EQ(rasterpixel(c.x, c.y), c.value);
  }
}

TEST_F(Yyvra1, ClassThreeChangesOnlyItsByte) {
  makerasterpage(8, 1, 8);
  tessar.raster.IRBUFF[0] = 68u | (51u << 8) | (34u << 16) | (17u << 24);
  yyvra1(90, 1, 0);
  EXPECT_EQ(tessar.raster.IRBUFF[0], 68u | (90u << 8) | (34u << 16) | (17u << 24));
}

TEST_F(Yyvra4, RunsAcrossWordsInEveryPlane) {
  makerasterpage(64, 2, 4);
  const RasterState& rs = tessar.raster.state;
  yyvra4(15, 30, 1, 33);
  for (int p = 0; p < 4; ++p) {
    SCOPED_TRACE(p);
    const std::size_t row = static_cast<std::size_t>(rs.RASROWWORDS + p * rs.RASPLANEWORDS);
    EXPECT_EQ(tessar.raster.IRBUFF[row], 0xC0000000u);
    EXPECT_EQ(tessar.raster.IRBUFF[row + 1], 0x3u);
  }
  yyvra4(15, 5, 0, 4);
  yyvra4(7, 9, 0, 9);
  EXPECT_EQ(rasterpixel(4, 0), 0) << "xb < xa writes nothing";
  EXPECT_EQ(rasterpixel(9, 0), 7) << "xa = xb writes one pixel";
  EXPECT_EQ(rasterpixel(10, 0), 0);
}

struct LineCase {
  const char* why;
  int linetype, pena, penb;
  int x1, y1, x2, y2, joint;
  const char* want;   // top row first
};

TEST_F(Yyvra3, DrawsLinesOfWidthAndJoint) {
  const LineCase cases[] = {
      {"solid vertical, RASPENA 2: columns 9 to 11", 0, 2, 0, 10, 1, 10, 3, 0,
       "..............\n.........###..\n.........###..\n.........###..\n..............\n"},
      {"solid horizontal, RASPENB 2: rows 0 to 2 around y 1", 0, 0, 2, 2, 1, 6, 1, 0,
       "..............\n..............\n..#####.......\n..#####.......\n..#####.......\n"},
      {"nearly horizontal takes RASPENA + 1 rows instead", 0, 0, 2, 0, 1, 13, 2, 0,
       "..............\n..............\n.......#######\n#######.......\n..............\n"},
      {"joint drops the first pixel of a horizontal line", 0, 0, 0, 5, 2, 1, 2, 1,
       "..............\n..............\n.####.........\n..............\n..............\n"},
      {"joint drops the bottom pixel of an upward vertical line", 0, 0, 0, 3, 0, 3, 3, 1,
       "..............\n...#..........\n...#..........\n...#..........\n..............\n"},
      {"joint from a point to itself draws nothing", 0, 0, 0, 5, 2, 5, 2, 1,
       "..............\n..............\n..............\n..............\n..............\n"},
      {"steep line without a joint", 1, 0, 0, 0, 0, 2, 4, 0,
       "..#...........\n..#...........\n.#............\n.#............\n#.............\n"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.why);
    makerasterpage(14, 5, 24);
    RasterState& rs = tessar.raster.state;
    tessar.graphics.attributes.LINETYPE = c.linetype;
    rs.RASPIXEL = {0, 0x00FF00};
    rs.RASPENA = c.pena;
    rs.RASPENAHALF = c.pena / 2;
    rs.RASPENB = c.penb;
    rs.RASPENBHALF = c.penb / 2;
    yyvra3(c.x1, c.y1, c.x2, c.y2, c.joint);
    EXPECT_EQ(picture(), c.want);
  }
}

TEST_F(Yyvra3, DashesRunOnAcrossPixels) {
  makerasterpage(60, 1, 1);
  RasterState& rs = tessar.raster.state;
  tessar.graphics.attributes.LINETYPE = 2;
  rs.RASPIXEL = {0, 1};
  rs.RASDASHMASK = 0xE07;   // line type 2: three bits on, six off, three on
  rs.RASDASHLEN = 12;
  rs.RASDASHPOS = 0;
  rs.RASDASHSTEP = 1;
  rs.RASDASHUNITX = 2;
  yyvra3(0, 0, 59, 0, 0);
  std::string drawn;
  for (int x = 0; x < 60; ++x) drawn += rasterpixel(x, 0) ? '#' : '.';
  EXPECT_EQ(drawn, "######............############............############......");
}

// A thick line along the page's edge once wrote its outer copies before the first row.
TEST_F(Yyvra3, DropsThickLineRowsOutsideThePage) {
  makerasterpage(8, 5, 24);
  RasterState& rs = tessar.raster.state;
  tessar.graphics.attributes.LINETYPE = 1;
  rs.RASPIXEL = {0, 0xFF};
  rs.RASPENA = 4;
  rs.RASPENAHALF = 2;
  rs.RASDASHMASK = 0xFFF;
  yyvra3(0, 0, 7, 0, 0);   // copies on rows -2 to 2
  EXPECT_EQ(picture(), "........\n........\n########\n########\n########\n");
  makerasterpage(8, 5, 24);
  rs.RASPIXEL = {0, 0xFF};
  rs.RASPENA = 4;
  rs.RASPENAHALF = 2;
  yyvra3(7, 4, 0, 4, 0);   // copies on rows 2 to 6
  EXPECT_EQ(picture(), "########\n########\n########\n........\n........\n");
  EXPECT_EQ(tessar.raster.IRBUFF.back(), 0u) << "the spare word is untouched";
}

struct FillCase {
  const char* why;
  int depth, twocolour;
  std::uint32_t filla, fillb;
  std::array<int, 2> pixel;
  const char* want;
};

TEST_F(Yyvra2, PaintsSpansOpaquely) {
  const FillCase cases[] = {
      {"depth 1: even x from pattern A, odd x from B", 1, 0, 0xFFFFFFFFu, 0u, {0, 1},
       "#.#.#.#.\n"},
      {"depth 8 one colour: a solid run", 8, 0, 0, 0, {0, 5}, "########\n"},
      {"depth 8 two colours: previous on even x + y", 8, 1, 0, 0, {0, 5}, ".#.#.#.#\n"},
  };
  for (const FillCase& c : cases) {
    SCOPED_TRACE(c.why);
    makerasterpage(8, 1, c.depth);
    RasterState& rs = tessar.raster.state;
    tessar.raster.IRBUFF.assign(tessar.raster.IRBUFF.size(), 0xFFFFFFFFu);
    rs.RASFILLA = c.filla;
    rs.RASFILLB = c.fillb;
    rs.RASTWOCOLOUR = c.twocolour;
    rs.RASPIXEL = c.pixel;
    yyvra2(0, 7, 0);
    EXPECT_EQ(picture(), c.want);
  }
}

TEST_F(Yyvra2, DitherPatternsAtDepthThree) {
  makerasterpage(8, 4, 3);
  RasterState& rs = tessar.raster.state;
  rs.RASDITHER[0][1] = 0xFFFFFFFFu;   // red everywhere
  rs.RASDITHER[2][1] = 0x000000FFu;   // blue in cell row 0 only
  for (int y = 0; y < 4; ++y) yyvra2(0, 7, y);
  EXPECT_EQ(rasterpixel(3, 0), 5);
  EXPECT_EQ(rasterpixel(3, 1), 1);
}

struct CrossCase {
  const char* why;
  int x1, y1, x2, y2, y, want;
};

TEST(Yyxini, CrossesRowsFromTheLowerEnd) {
  const CrossCase cases[] = {
      {"diagonal", 0, 0, 10, 10, 5, 5},
      {"the same edge reversed", 10, 10, 0, 0, 5, 5},
      {"1.5 truncates to 1", 0, 0, 3, 10, 5, 1},
      {"a horizontal edge has no crossing", 0, 4, 9, 4, 4, 32767},
      {"a row outside the edge gives the extended line", 0, 0, 2, 2, 6, 6},
  };
  for (const CrossCase& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(yyxini(c.x1, c.y1, c.x2, c.y2, c.y), c.want);
  }
}

TEST_F(Yyvra5, TurnsColoursIntoPageValues) {
  yypali();
  yydith2();
  makerasterpage(16, 4, 24);
  yyvra5(2, 1, 0x123456);
  EXPECT_EQ(rasterpixel(2, 1), 0x123456);

  makerasterpage(16, 4, 8);
  int entry = 0;
  yypalg(200, entry);
  yyvra5(3, 0, entry);
  EXPECT_EQ(rasterpixel(3, 0), 200);
  EXPECT_EQ(tessar.raster.state.RASLASTRGB, entry);

  makerasterpage(16, 4, 1);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) yyvra5(x, y, 0x000000);
  EXPECT_EQ(picture(), std::string(4 * 17, '#').replace(16, 1, "\n").replace(33, 1, "\n")
                           .replace(50, 1, "\n").replace(67, 1, "\n"))
      << "black is ink in every cell";
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) yyvra5(x, y, 0xFFFFFF);
  EXPECT_EQ(picture(), "................\n................\n................\n................\n");
}

}  // namespace
