// Image file loading: BMP, PCX and PNG pixels against Pillow, refusals, and the PNG row filters.
#include "toolkit/raster/image_load.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/raster/image_files.h"
#include "tests/raster/png_files.h"
#include "toolkit/raster/file_info.h"
#include "toolkit/raster/png.h"
#include "toolkit/state/tessar.h"
#include "tests/support/tools.h"

namespace {

class IGrLoadImageDataTest : public ::testing::Test {
 protected:
  void SetUp() override { tessar.error = ErrorState{}; }
  static std::filesystem::path dir() { return testfolder("load"); }
};

// Pillow writes (or, for the kinds it does not write, reads back) each image; the loader
// must give the same pixels.
TEST_F(IGrLoadImageDataTest, MatchesPillowPixelForPixel) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  const auto folder = testfolder("pillow");
  const std::string script = std::string(TW_SOURCE_DIR) + "/tests/raster/pillow_images.py";
  ASSERT_EQ(std::system(("/usr/bin/python3 " + script + " make " + folder.string()).c_str()), 0);
  std::ifstream list(folder / "list.txt");
  std::string name;
  int fill = 0, tolerance = 0, checked = 0;
  while (list >> name >> fill >> tolerance) {
    SCOPED_TRACE(name);
    const std::string path = (folder / name).string();
    const PillowPixels ref = pillowpixels(path);
    const int w = ref.width, h = ref.height;
    const std::vector<int>& want = ref.values;
    std::array<int, 3> info{};
    igrfileinfo(path, info, 3);
    EXPECT_EQ(info[1], w);
    EXPECT_EQ(info[2], h);
    std::vector<int> got(static_cast<std::size_t>(w * h), fill < 0 ? -7 : fill);
    tessar.error.LASTERROR = 0;
    IGrLoadImageData(path, got);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    if (tolerance == 0) {
      EXPECT_EQ(got, want);
    } else {
      for (std::size_t i = 0; i < want.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8)
          EXPECT_NEAR((got[i] >> shift) & 255, (want[i] >> shift) & 255, tolerance) << i;
    }
    ++checked;
  }
  EXPECT_GE(checked, 20);
  std::filesystem::remove_all(folder);
}

struct RefusalCase {
  const char* why;
  Bytes bytes;
  int error;
};

Bytes pngheader(int depth, int colourtype, int filter, int interlace, std::uint32_t w = 2, std::uint32_t h = 2) {
  Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
             static_cast<std::uint8_t>(w >> 24), static_cast<std::uint8_t>(w >> 16), static_cast<std::uint8_t>(w >> 8),
             static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(h >> 24), static_cast<std::uint8_t>(h >> 16),
             static_cast<std::uint8_t>(h >> 8), static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(depth),
             static_cast<std::uint8_t>(colourtype), 0, static_cast<std::uint8_t>(filter),
             static_cast<std::uint8_t>(interlace), 0, 0, 0, 0};
  const std::uint32_t crc = yypngcrc2(std::span(b).subspan(12), 17);
  yypngwrd(crc, std::span(b).subspan(29, 4));
  append(b, {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82});
  return b;
}

TEST_F(IGrLoadImageDataTest, RefusesWhatItCannotDecode) {
  Bytes shortbmp = bmpfile(4, 4, 24, 0, {}, Bytes(40, 9));   // rows of 12 bytes: 48 wanted
  Bytes pcx8 = Bytes(128 + 10 + 769, 0);
  append(pcx8, {});
  pcx8[0] = 10; pcx8[1] = 5; pcx8[2] = 1; pcx8[3] = 8; pcx8[65] = 1;
  put16(pcx8, 8, 1); put16(pcx8, 10, 1); put16(pcx8, 66, 2);
  pcx8[128 + 10] = 11;   // the end palette must start with 12
  const RefusalCase cases[] = {
      {"a GIF file is of unknown type", textbytes("GIF89a\x02\x00\x02\x00 and more bytes"), 27},
      {"a PostScript file is no image", textbytes("%!PS-Adobe-3.0\n%%BoundingBox: 0 0 1 1\n"), 27},
      {"an interlaced PNG", pngheader(8, 2, 0, 1), 27},
      {"a greyscale PNG", pngheader(8, 0, 0, 0), 27},
      {"a PNG with filter method 1", pngheader(8, 2, 1, 0), 27},
      {"a palette PNG of 16 bits has no row layout", pngheader(16, 3, 0, 0), 27},
      // Found by fuzz_images: rows times the height once overflowed (UBSan stopped the run).
      {"a PNG whose height reads as negative, with rows of gigabytes", pngheader(16, 6, 0, 0, 0x789C5F64, 0x80000006), 27},
      {"a PNG of zero rows", pngheader(8, 2, 0, 0, 2, 0), 27},
      {"a BMP shorter than its rows is truncated", shortbmp, 2},
      {"an 8-bit PCX without its palette marker", pcx8, 2},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    const std::string path = writefile(dir(), "refused", c.bytes);
    std::vector<int> pixels(64, -5);
    IGrLoadImageData(path, pixels);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
    EXPECT_EQ(pixels, std::vector<int>(64, -5)) << "the array is untouched";
  }
  tessar.error.LASTERROR = 0;
  std::vector<int> pixels(4, -5);
  IGrLoadImageData((dir() / "no such file.bmp").string(), pixels);
  EXPECT_EQ(tessar.error.LASTERROR, 27) << "a missing file is of type -1, not an open error";
}

// Images whose data end before their last row are refused with error 2, whatever the part
// that came: a PNG of a header and IEND only (once drawn all black as a success), image data
// that inflate to fewer rows than the header's, a file ending before IEND, a PCX or a
// run-length BMP whose stream runs out. The same files whole load without an error.
TEST_F(IGrLoadImageDataTest, TruncatedImagesAreRefusedWithError2) {
  Bytes raw;   // 64 x 64 RGB rows, filter 0, bytes that do not repeat
  for (int r = 0; r < 64; ++r) {
    raw.push_back(0);
    for (int k = 0; k < 64 * 3; ++k) raw.push_back(static_cast<std::uint8_t>((r * 193 + k * 7 + k * k) % 251));
  }
  const Bytes whole = pngbytes(64, 64, 8, 2, raw, {});
  const Bytes halfrows = pngbytes(64, 64, 8, 2, Bytes(raw.begin(), raw.begin() + 32 * 193), {});
  const Bytes noiend(whole.begin(), whole.end() - 12);
  Bytes pcx(128, 0);   // 16 x 4 at 1 bit, 2 bytes a row
  pcx[0] = 10; pcx[1] = 5; pcx[2] = 1; pcx[3] = 1; pcx[65] = 1;
  put16(pcx, 8, 15); put16(pcx, 10, 3); put16(pcx, 66, 2);
  Bytes pcxwhole = pcx, pcxhalf = pcx;
  append(pcxwhole, {0x0F, 0x3C, 0x0F, 0x3C, 0x0F, 0x3C, 0x0F, 0x3C});
  append(pcxhalf, {0x0F, 0x3C, 0x0F, 0x3C});
  const std::vector<int> grey = {0x000000, 0xFFFFFF};
  const Bytes rlewhole = bmpfile(8, 2, 8, 1, grey, {8, 1, 0, 0, 8, 0, 0, 1});
  const Bytes rlecut = bmpfile(8, 2, 8, 1, grey, {8, 1, 0, 0, 8});
  struct Case {
    const char* why;
    Bytes bytes;
    int error;
  };
  const Case cases[] = {
      {"a PNG of IHDR and IEND", pngheader(8, 2, 0, 0), 2},
      {"PNG data of half the rows", halfrows, 2},
      {"a PNG ending before IEND", noiend, 2},
      {"the PNG whole", whole, 0},
      {"a PCX of half its rows", pcxhalf, 2},
      {"the PCX whole", pcxwhole, 0},
      {"a run-length BMP without its end", rlecut, 2},
      {"the run-length BMP whole", rlewhole, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    const std::string path = writefile(dir(), "cut", c.bytes);
    std::vector<int> pixels(64 * 64, -5);
    IGrLoadImageData(path, pixels);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
  // The whole PNG's last pixel, from its last row.
  std::vector<int> pixels(64 * 64, -5);
  IGrLoadImageData(writefile(dir(), "whole.png", whole), pixels);
  const std::size_t last = 63 * 193 + 1 + 63 * 3;
  EXPECT_EQ(pixels.back(), raw[last] + 256 * raw[last + 1] + 65536 * raw[last + 2]);
}

// A 40,000-byte row buffer once took any width; now the image must fit the caller's array.
TEST_F(IGrLoadImageDataTest, RefusesAnImageLargerThanTheArray) {
  const std::string path = writefile(dir(), "wide.bmp", bmpfile(20000, 1, 24, 0, {}, Bytes(60000, 1)));
  std::vector<int> pixels(19999, -5);
  IGrLoadImageData(path, pixels);
  EXPECT_EQ(tessar.error.LASTERROR, 27);
  EXPECT_EQ(pixels[0], -5);
  std::vector<int> enough(20000, -5);
  tessar.error.LASTERROR = 0;
  IGrLoadImageData(path, enough);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(enough[19999], 0x010101);
}

struct BmpCase {
  const char* why;
  Bytes file;
  std::vector<int> want;
};

TEST_F(IGrLoadImageDataTest, DecodesBmpExamples) {
  const int white = 0xFFFFFF;
  Bytes rle8delta = {3, 5, 0, 2, 1, 1, 2, 7, 0, 1};
  Bytes rle4odd = {0, 3, 0x12, 0x30, 0, 1};
  Bytes fields = bmpfile(1, 1, 16, 3, {}, {0x1F, 0x7C, 0, 0});
  const BmpCase cases[] = {
      {"2 x 2 at 24 bits: the file's first row is the bottom one",
       bmpfile(2, 2, 24, 0, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}),
       {0x070809, 0x0A0B0C, 0x010203, 0x040506}},
      {"3 x 1 at 1 bit, row byte A0", bmpfile(3, 1, 1, 0, {0, white}, {0xA0, 0, 0, 0}),
       {white, 0, white}},
      {"RLE8: 03 05 then end of bitmap fills three bottom pixels",
       bmpfile(4, 2, 8, 1, {0, 0x10, 0x20, 0x30, 0x40, 0x55}, {3, 5, 0, 1}),
       {-1, -1, -1, -1, 0x55, 0x55, 0x55, -1}},
      {"RLE8 delta: one right and one up from column 3",
       bmpfile(4, 2, 8, 1, {0, 0x10, 0x20, 0x30, 0x40, 0x55, 0x66, 0x77}, rle8delta),
       {-1, -1, -1, -1, 0x55, 0x55, 0x55, -1}},
      {"RLE4 odd absolute run of 3 nibbles with its pad byte",
       bmpfile(4, 1, 4, 2, {0, 0x10, 0x20, 0x30}, rle4odd), {0x10, 0x20, 0x30, -1}},
      {"16 bits 1F 7C, compression 0: 5-5-5", bmpfile(1, 1, 16, 0, {}, {0x1F, 0x7C, 0, 0}),
       {248 + 65536 * 248}},
      {"16 bits 1F 7C, bit fields without masks: 5-6-5", fields, {120 + 256 * 128 + 65536 * 248}},
  };
  for (const BmpCase& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    const std::string path = writefile(dir(), "example.bmp", c.file);
    std::vector<int> pixels(c.want.size(), -1);
    IGrLoadImageData(path, pixels);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    EXPECT_EQ(pixels, c.want);
  }
}

// A palette PNG of one row: 1-bit indices, the given palette bytes as its PLTE chunk.
Bytes palettepng(int width, const Bytes& row, const Bytes& plte) {
  Bytes raw = {0};   // filter type None
  raw.insert(raw.end(), row.begin(), row.end());
  return pngbytes(width, 1, 1, 3, raw, {{"PLTE", plte}});   // 1-bit depth, palette colour
}

// A palette chunk of more than 256 entries once stopped the load: its first 256 count.
TEST_F(IGrLoadImageDataTest, LongPaletteGivesItsFirst256Entries) {
  for (const std::size_t entries : {256u, 257u, 300u, 5000u}) {
    SCOPED_TRACE(entries);
    Bytes plte(3 * entries, 0xEE);
    const Bytes first = {10, 20, 30, 40, 50, 60};
    std::copy(first.begin(), first.end(), plte.begin());
    const std::string path = writefile(dir(), "longpalette.png", palettepng(2, {0x40}, plte));
    tessar.error.LASTERROR = 0;
    std::vector<int> pixels(2, -1);
    IGrLoadImageData(path, pixels);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    EXPECT_EQ(pixels, (std::vector<int>{10 + 256 * 20 + 65536 * 30, 40 + 256 * 50 + 65536 * 60}));
  }
}

struct FilterCase {
  const char* why;
  int bpp;
  Bytes rows;   // two rows of stride 4
  Bytes want;
};

TEST(Yypngfilter2, UndoesEachFilterType) {
  const FilterCase cases[] = {
      {"None leaves the bytes", 1, {0, 1, 2, 3, 0, 4, 5, 6}, {0, 1, 2, 3, 0, 4, 5, 6}},
      {"Sub adds the byte bytes-per-pixel to the left", 1, {1, 1, 2, 3, 1, 250, 10, 0},
       {1, 1, 3, 6, 1, 250, 4, 4}},
      {"Up on the first row changes nothing", 1, {2, 1, 2, 3, 2, 1, 1, 1}, {2, 1, 2, 3, 2, 2, 3, 4}},
      {"Average halves left plus above", 1, {3, 10, 10, 10, 3, 0, 0, 0},
       {3, 10, 15, 17, 3, 5, 10, 13}},
      {"Paeth on the first row adds the left byte", 2, {4, 1, 2, 3, 0, 0, 0, 0},
       {4, 1, 2, 4, 0, 0, 0, 0}},
      {"Paeth picks the nearest of left, above, upper-left", 1, {0, 10, 20, 30, 4, 1, 1, 1},
       {0, 10, 20, 30, 4, 11, 21, 31}},
      {"filter type 5 keeps its row as stored", 1, {5, 9, 9, 9, 0, 1, 1, 1}, {5, 9, 9, 9, 0, 1, 1, 1}},
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.why);
    Bytes b = c.rows;
    yypngfilter(4, 2, c.bpp, b);
    EXPECT_EQ(b, c.want);
  }
}

}  // namespace
