// The BMP and PCX writers: header bytes and sizes, run-length rows, Pillow reading every depth, pages in one file, failed writes.
#include "toolkit/raster/bitmap_writers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/raster/image_files.h"
#include "tests/raster/raster_page.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/raster/primitives.h"
#include "toolkit/text/strings.h"

namespace {

enum class Format { Bmp, BmpRle, Pcx };

// Writes the current page through output unit 2 in the format and returns the file's bytes.
Bytes writepage(const std::string& path, Format f, int pages = 1, bool read = true) {
  tessar.hardcopy.HCOPTIONS[25] = f == Format::BmpRle ? 2 : f == Format::Bmp ? 1 : 0;
  assignfixed(tessar.files.HCCURRENT, path);
  yyprop(2);
  for (int i = 0; i < pages; ++i) {
    if (f == Format::Pcx) yypcx1();
    else yybmp1();
  }
  yyprcl(2);
  if (f == Format::BmpRle) yybmp2(tessar.files.HCCURRENT, 260);
  return read ? readfile(path) : Bytes{};
}

std::uint32_t le32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
int le16(const Bytes& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }


// Paints a pattern that gives every pixel of a row its own colour; returns the colours, top
// row first, as a reader should see them.
std::vector<int> paint(int width, int height, int depth) {
  makerasterpage(width, height, depth);
  tessar.raster.state.RASLASTRGB = -1;
  std::vector<int> want;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const int k = x + 3 * y;
      int colour = 0;
      if (depth == 1) {
        yyvra1(k % 3 == 0 ? 1 : 0, x, y);
        colour = k % 3 == 0 ? 0 : 0xFFFFFF;
      } else {
        if (depth == 4) yypalg16(k % 16, colour);
        else if (depth == 8) yypalg((37 * k) % 256, colour);
        else colour = 0x010203 * (k + 1) + (x % 2 == 0 ? 0x400000 : 0);
        yyvra5(x, y, colour);
      }
      want.push_back(colour);
    }
  }
  return want;
}

class BitmapWriters : public ::testing::Test {
 protected:
  void SetUp() override {
    tessarreset();
    yypali();
    dir = testfolder("bitmaps");
  }
  std::string file(const std::string& name) { return (dir / name).string(); }
  std::filesystem::path dir;
};

// Every depth and format, odd widths, read back by Pillow pixel for pixel. Run-length rows are
// whole groups of 4 or 8 pixels, which Pillow carries into the next row instead of clipping
// them, so those widths are whole groups here.
TEST_F(BitmapWriters, PillowReadsEveryDepthAndFormat) {
  struct Case {
    const char* why;
    Format format;
    int depth, width, height;
  };
  const Case cases[] = {
      {"BMP 1 bit", Format::Bmp, 1, 13, 5},          {"BMP 4 bits", Format::Bmp, 4, 11, 4},
      {"BMP 8 bits", Format::Bmp, 8, 7, 3},          {"BMP 24 bits", Format::Bmp, 24, 5, 2},
      {"RLE4", Format::BmpRle, 4, 24, 4},            {"RLE8", Format::BmpRle, 8, 20, 6},
      {"PCX 1 bit, ink black", Format::Pcx, 1, 21, 5}, {"PCX 4 bits", Format::Pcx, 4, 11, 4},
      {"PCX 8 bits", Format::Pcx, 8, 7, 3},          {"PCX 24 bits, odd width", Format::Pcx, 24, 5, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const std::vector<int> want = paint(c.width, c.height, c.depth);
    const std::string path = file(std::string(c.why).substr(0, 3) + std::to_string(c.depth) +
                                  (c.format == Format::BmpRle ? "rle" : "") + ".img");
    writepage(path, c.format);
    EXPECT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 0);
    int w = 0, h = 0;
    EXPECT_EQ(pillowread(path, w, h), want);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
  }
}

TEST_F(BitmapWriters, BmpSizesOfWholePages) {
  struct Case {
    int width, height, depth;
    std::uint32_t offset, filesize;
  };
  const Case cases[] = {
      {640, 480, 8, 1078, 308278}, {640, 480, 24, 54, 921654}, {640, 480, 1, 62, 38462},
      {640, 480, 4, 118, 153718},  {100, 10, 1, 62, 222},      {10, 10, 4, 118, 198},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " x " + std::to_string(c.depth));
    makerasterpage(c.width, c.height, c.depth);
    const Bytes b = writepage(file("size.bmp"), Format::Bmp);
    ASSERT_EQ(b.size(), c.filesize);
    EXPECT_EQ(le32(b, 2), c.filesize);
    EXPECT_EQ(le32(b, 10), c.offset);
    EXPECT_EQ(le32(b, 14), 40u);
    EXPECT_EQ(le32(b, 18), static_cast<std::uint32_t>(c.width));
    EXPECT_EQ(le32(b, 22), static_cast<std::uint32_t>(c.height));
    EXPECT_EQ(b[28], c.depth);
    EXPECT_EQ(le32(b, 30), 0u);
  }
  makerasterpage(640, 480, 8);
  const Bytes b = writepage(file("vga.bmp"), Format::Bmp);
  EXPECT_EQ(Bytes(b.begin() + 2, b.begin() + 6), (Bytes{0x36, 0xB4, 0x04, 0x00}));
}

// A page whose file is over 16 MB keeps all four bytes of its sizes.
TEST_F(BitmapWriters, LargePageHeaderHoldsTheWholeSize) {
  makerasterpage(3000, 2000, 24);
  yyvra5(2999, 1999, 0x0000FF);
  const std::string path = file("large.bmp");
  const Bytes b = writepage(path, Format::Bmp);
  EXPECT_EQ(b.size(), 18000054u);
  EXPECT_EQ(le32(b, 2), 18000054u);
  int w = 0, h = 0;
  const std::vector<int> pixels = pillowread(path, w, h);
  ASSERT_EQ(w, 3000);
  ASSERT_EQ(h, 2000);
  EXPECT_EQ(pixels[2999], 0x0000FF) << "top right pixel";
  EXPECT_EQ(pixels[0], 0) << "a page never cleared";
}

TEST_F(BitmapWriters, RunLengthRows) {
  struct Case {
    const char* why;
    int depth, width;
    bool alternate;
    Bytes row;   // the first row's encoding
  };
  const Case cases[] = {
      {"white 8-bit row", 8, 640, false, {252, 0, 252, 0, 136, 0, 0, 0}},
      {"white 4-bit row", 4, 640, false, {248, 0, 248, 0, 144, 0, 0, 0}},
      {"alternating 8-bit pixels", 8, 8, true, {0, 4, 0, 1, 0, 1, 0, 4, 0, 1, 0, 1, 0, 0}},
      {"width 641 ends in a group padded with index 0", 8, 641, false, {252, 0, 252, 0, 140, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    makerasterpage(c.width, 2, c.depth);
    if (c.alternate)
      for (int x = 1; x < c.width; x += 2) yyvra1(1, x, 0);
    const Bytes b = writepage(file("rle.bmp"), Format::BmpRle);
    const std::size_t offset = le32(b, 10);
    ASSERT_GE(b.size(), offset + c.row.size());
    EXPECT_EQ(Bytes(b.begin() + static_cast<long>(offset), b.begin() + static_cast<long>(offset + c.row.size())), c.row);
    EXPECT_EQ(le32(b, 30), c.depth == 8 ? 1u : 2u);
    EXPECT_EQ(Bytes(b.end() - 2, b.end()), (Bytes{0, 1})) << "end of bitmap";
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le32(b, 34), b.size() - offset);
  }
  makerasterpage(16, 2, 24);
  const Bytes plain = writepage(file("rle24.bmp"), Format::BmpRle);
  EXPECT_EQ(le32(plain, 30), 0u) << "no run-length form at 24 bits";
  EXPECT_EQ(plain.size(), 54u + 2 * 48);
}

// Two pages in one file: each image's header describes that image alone.
TEST_F(BitmapWriters, EveryPageOfAFileHasItsOwnHeader) {
  for (Format f : {Format::Bmp, Format::BmpRle}) {
    SCOPED_TRACE(f == Format::Bmp ? "plain" : "run-length");
    paint(37, 9, 8);
    const Bytes b = writepage(file("two.bmp"), f, 2);
    const std::uint32_t first = le32(b, 2);
    ASSERT_LT(first + 54u, b.size());
    EXPECT_EQ(first * 2, b.size());
    EXPECT_EQ(b[first], 'B');
    EXPECT_EQ(le32(b, first + 2), first);
  }
}

TEST_F(BitmapWriters, SizePatchFillsAHeaderLeftOpenAndReportsNothingForAMissingFile) {
  makerasterpage(40, 4, 8);
  const std::string path = file("open.bmp");
  Bytes b = writepage(path, Format::BmpRle);
  const Bytes whole = b;
  put32(b, 2, 0);
  put32(b, 34, 0);
  writefile(dir, "open.bmp", b);
  yybmp2(path, static_cast<int>(path.size()));
  EXPECT_EQ(readfile(path), whole);
  yybmp2(file("missing.bmp"), 260);
  EXPECT_NE(tessar.error.LASTERROR, 0) << "the failed open was reported by the open itself";
}

TEST_F(BitmapWriters, PcxHeaderAndLines) {
  makerasterpage(640, 480, 8);
  const Bytes b = writepage(file("vga.pcx"), Format::Pcx);
  EXPECT_EQ(b[0], 10);
  EXPECT_EQ(b[1], 5);
  EXPECT_EQ(b[2], 1);
  EXPECT_EQ(b[3], 8);
  EXPECT_EQ(le16(b, 8), 639);
  EXPECT_EQ(le16(b, 10), 479);
  EXPECT_EQ(le16(b, 12), 75);
  EXPECT_EQ(le16(b, 14), 75);
  EXPECT_EQ(b[65], 1);
  EXPECT_EQ(le16(b, 66), 640);
  EXPECT_EQ(le16(b, 72), 480);
  Bytes white;
  for (int i = 0; i < 10; ++i) white.insert(white.end(), {0xFF, 0x00});
  white.insert(white.end(), {0xCA, 0x00});
  EXPECT_EQ(Bytes(b.begin() + 128, b.begin() + 128 + 22), white);
  EXPECT_EQ(b.size(), 128u + 480 * 22 + 769);
  EXPECT_EQ(b[b.size() - 769], 12);

  struct Case {
    int width, depth, version, bitsperplane, planes, bpl;
  };
  const Case cases[] = {{641, 8, 5, 8, 1, 642}, {10, 1, 3, 1, 1, 2}, {20, 1, 3, 1, 1, 4},
                        {20, 4, 5, 1, 4, 4},   {5, 24, 5, 8, 3, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.depth));
    makerasterpage(c.width, 3, c.depth);
    const Bytes h = writepage(file("h.pcx"), Format::Pcx);
    EXPECT_EQ(h[1], c.version);
    EXPECT_EQ(h[3], c.bitsperplane);
    EXPECT_EQ(h[65], c.planes);
    EXPECT_EQ(le16(h, 66), c.bpl);
    EXPECT_EQ(le16(h, 8), c.width - 1);
  }
}

TEST_F(BitmapWriters, PcxRunsOfHighBytes) {
  makerasterpage(4, 1, 8);
  yyvra1(0x10, 0, 0);
  yyvra1(0xC5, 1, 0);
  yyvra1(0xBF, 2, 0);
  yyvra1(0xBF, 3, 0);
  const Bytes b = writepage(file("high.pcx"), Format::Pcx);
  EXPECT_EQ(Bytes(b.begin() + 128, b.begin() + 128 + 5), (Bytes{0x10, 0xC1, 0xC5, 0xC2, 0xBF}));
}

TEST_F(BitmapWriters, AFailedWriteStopsTheImage) {
  for (Format f : {Format::Bmp, Format::BmpRle, Format::Pcx}) {
    makerasterpage(64, 64, 8);
    tessar.hardcopy.printer.OUTPUTERROR = 0;
    writepage("/dev/full", f, 1, false);
    EXPECT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 1);
  }
}

}  // namespace
