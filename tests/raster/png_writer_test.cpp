// Writing a raster page as a PNG file: its chunk bytes, pngcheck and Pillow accepting it, and a failed write.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/raster/image_files.h"
#include "tests/raster/raster_page.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/raster/png.h"
#include "toolkit/raster/primitives.h"
#include "toolkit/text/strings.h"
#include "tests/support/tools.h"

namespace {

// Writes the current page as a PNG file through output unit 2 and returns its bytes.
Bytes writepage(const std::string& path) {
  assignfixed(tessar.files.HCCURRENT, path);
  yyprop(2);
  yypng1();
  yyprcl(2);
  return readfile(path);
}


class Yypng1 : public ::testing::Test {
 protected:
  void SetUp() override {
    tessarreset();
    yypali();
    dir = testfolder("png");
  }
  std::filesystem::path dir;
};

struct DepthCase {
  const char* why;
  int depth, width, height;
};

// Every depth, odd widths: pngcheck accepts the file and Pillow reads the colours drawn.
TEST_F(Yypng1, WritesFilesPngcheckAndPillowAccept) {
  ASSERT_TRUE(tw::test::needtool("pngcheck", "pngcheck"));
  const DepthCase cases[] = {
      {"one bit, width 13", 1, 13, 5},
      {"four bits, width 5", 4, 5, 4},
      {"eight bits, width 7", 8, 7, 3},
      {"24 bits, width 3", 24, 3, 2},
  };
  for (const DepthCase& c : cases) {
    SCOPED_TRACE(c.why);
    makerasterpage(c.width, c.height, c.depth);
    tessar.raster.state.RASLASTRGB = -1;
    std::vector<int> want;   // top row first
    for (int y = c.height - 1; y >= 0; --y) {
      for (int x = 0; x < c.width; ++x) {
        const int k = x + 3 * y;
        int colour = 0;
        if (c.depth == 1) {
          yyvra1(k % 3 == 0 ? 1 : 0, x, y);
          colour = k % 3 == 0 ? 0 : 0xFFFFFF;
        } else {
          if (c.depth == 4) yypalg16(k % 16, colour);
          else if (c.depth == 8) yypalg((37 * k) % 256, colour);
          else colour = 0x010203 * (k + 1);
          yyvra5(x, y, colour);
        }
        want.push_back(colour);
      }
    }
    const std::string path = (dir / ("page" + std::to_string(c.depth) + ".png")).string();
    writepage(path);
    EXPECT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 0);
    EXPECT_EQ(std::system(("pngcheck -q '" + path + "' > /dev/null").c_str()), 0);
    int w = 0, h = 0;
    EXPECT_EQ(pillowread(path, w, h), want);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
  }
}

TEST_F(Yypng1, ChunkBytesOfA640By480Page) {
  makerasterpage(640, 480, 8);
  const Bytes png = writepage((dir / "vga8.png").string());
  ASSERT_GT(png.size(), 45u);
  const Bytes head(png.begin(), png.begin() + 33);
  const Bytes want = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                      0, 0, 2, 0x80, 0, 0, 1, 0xE0, 8, 3, 0, 0, 0, 0x02, 0x0F, 0x2C, 0xD6};
  EXPECT_EQ(head, want);
  EXPECT_EQ(yypngc2i(std::span(png).subspan(33, 4)), 768) << "PLTE of 256 entries";
  const Bytes iend(png.end() - 12, png.end());
  EXPECT_EQ(iend, (Bytes{0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82}));

  makerasterpage(640, 480, 1);
  const Bytes mono = writepage((dir / "vga1.png").string());
  const Bytes plte(mono.begin() + 33, mono.begin() + 33 + 18);
  EXPECT_EQ(plte, (Bytes{0, 0, 0, 6, 'P', 'L', 'T', 'E', 255, 255, 255, 0, 0, 0, 0x55, 0xC2,
                         0xD3, 0x7E}));
  const std::size_t idat = 33 + 18;
  const int c = yypngc2i(std::span(mono).subspan(idat, 4));
  std::vector<std::uint8_t> lines(81 * 480 + 1);
  int length = static_cast<int>(lines.size());
  WUnCompress(std::span(mono).subspan(idat + 8, static_cast<std::size_t>(c)), lines, c, length);
  EXPECT_EQ(length, 81 * 480) << "lines of a filter byte and 80 bytes";

  makerasterpage(640, 480, 24);
  const Bytes rgb = writepage((dir / "vga24.png").string());
  EXPECT_EQ(rgb[24], 8);
  EXPECT_EQ(rgb[25], 2);
  EXPECT_EQ(yypngcmp(std::span(rgb).subspan(37, 4), "IDAT"), 1) << "no PLTE at 24 bits";
}

TEST_F(Yypng1, OddWidthTakesTheLastLowNibbleFromBeyondThePage) {
  makerasterpage(5, 1, 4);
  yyvra1(9, 4, 0);
  // 6 at the position after the last pixel, in the row's padding bits: the primitives write
  // only inside the page, so it is set in the words themselves.
  for (int p = 0; p < 4; ++p)
    if (((6 >> p) & 1) != 0) tessar.raster.IRBUFF[static_cast<std::size_t>(p * tessar.raster.state.RASPLANEWORDS)] |= 1u << 5;
  const Bytes png = writepage((dir / "odd4.png").string());
  const std::size_t idat = 33 + 12 + 48;
  const int c = yypngc2i(std::span(png).subspan(idat, 4));
  std::vector<std::uint8_t> line(8);
  int length = 8;
  WUnCompress(std::span(png).subspan(idat + 8, static_cast<std::size_t>(c)), line, c, length);
  ASSERT_EQ(length, 4) << "filter byte and 3 bytes for 5 pixels";
  // Page values keep red in bit 2 and blue in bit 0 of the palette's order: 9 is 1001
  // (12 in the file), 6 is 0110 (3).
  EXPECT_EQ(line[3], 0xC3);
}

TEST_F(Yypng1, ShortWriteRaisesTheOutputErrorFlag) {
  makerasterpage(8, 8, 8);
  assignfixed(tessar.files.HCCURRENT, "/dev/full");
  yyprop(2);
  ASSERT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 0);
  yypng1();
  yyprcl(2);
  EXPECT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 1);
  EXPECT_EQ(tessar.error.LASTERROR, 2);
}

}  // namespace
