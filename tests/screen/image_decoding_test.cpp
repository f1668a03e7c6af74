// The image request's own decoding: BMP, PCX and PNG files become bitmaps of their own
// depth (palette images keep their palettes; a 2-bit PNG becomes 4 bits), drawn as Pillow
// reads them; PNG image data beyond what the picture can need refused with error 2; PCX runs
// read and written; colour-table sizes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/test_api.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/screen/screen_fixture.h"
#include "toolkit/screen/images.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/window/window.h"

namespace {

using twtest::ScreenFixture;

win::BITMAPINFOHEADER header() {
  win::BITMAPINFOHEADER h;
  std::memcpy(&h, hImageDib.data(), sizeof h);
  return h;
}

int kindof(const std::string& name) {
  return name.ends_with(".bmp") ? 1 : name.ends_with(".pcx") ? 2 : 15;
}

// What Pillow reads from the file: width, height, then r + 256 g + 65536 b of each pixel.
struct Reference {
  int width = 0, height = 0;
  std::vector<int> values;
};
Reference pillowread(const std::string& path) {
  const hc::Run r = hc::run("/usr/bin/python3 " + std::string(TW_SOURCE_DIR) + "/tests/raster/pillow_images.py read '" +
                            path + "'");
  Reference ref;
  std::istringstream in(r.output);
  in >> ref.width >> ref.height;
  ref.values.resize(static_cast<std::size_t>(std::max(ref.width * ref.height, 0)));
  for (int& v : ref.values) in >> v;
  return ref;
}

class ImageDecoding : public ScreenFixture {
 protected:
  // Draws the file at its own size with its top left corner at the window's; the error.
  static int drawfile(const std::string& path) {
    int error = -1, syserror = 0;
    yyloadimage(kindof(path), 0, 0, 0, 0, 0, 0, 0, 0, 0, error, syserror, path);
    return error;
  }
  // Pixels of the window that differ from the reference.
  static int differences(const Reference& ref) {
    int wrong = 0;
    for (int y = 0; y < ref.height; ++y)
      for (int x = 0; x < ref.width; ++x)
        wrong += px(x, y) != static_cast<win::COLORREF>(ref.values[static_cast<std::size_t>(y * ref.width + x)]);
    return wrong;
  }
};

// Every kind the loader's tests make (Pillow's own files and the kinds it only reads), drawn
// pixel for pixel as Pillow reads them, at the depth of the file.
TEST_F(ImageDecoding, EveryKindDrawnAsPillowReadsIt) {
  const auto folder = hc::scratch("decoding");
  std::filesystem::create_directories(folder);
  ASSERT_EQ(hc::run("/usr/bin/python3 " + std::string(TW_SOURCE_DIR) + "/tests/raster/pillow_images.py make '" +
                    folder.string() + "'").status, 0);
  // The bit count each file keeps: 0 where the loader's 24-bit decoding stands in (packed
  // and bit-field pixels, which the transfer does not take).
  const std::map<std::string, int> depth = {
      {"bmp1_w13.bmp", 1},  {"bmp8_p_w7.bmp", 8},     {"bmp8_l_w9.bmp", 8},      {"bmp24_w5.bmp", 24},
      {"bmp4_w7.bmp", 4},   {"bmp8_v4.bmp", 8},       {"pcx1_w20.pcx", 1},       {"pcx1_w13.pcx", 1},
      {"pcx8_p_w7.pcx", 8}, {"pcx8_l_w6.pcx", 8},     {"pcx24_w5.pcx", 24},      {"pcx1_runpad_w20.pcx", 1},
      {"pcx4_planes_w10.pcx", 4}, {"png_rgb_w7.png", 24}, {"png_rgba_w6.png", 24}, {"png_rgb16_w5.png", 24}};
  std::ifstream list(folder / "list.txt");
  std::string name;
  int fill = 0, tolerance = 0, checked = 0;
  openScreen(400, 300);
  while (list >> name >> fill >> tolerance) {
    SCOPED_TRACE(name);
    const std::string path = (folder / name).string();
    int syserror = 0;
    ASSERT_EQ(yyimagedib(kindof(name), path, syserror), 0);
    if (const auto it = depth.find(name); it != depth.end()) {
      EXPECT_EQ(header().biBitCount, it->second);
    }
    hImageDib.clear();
    igrareaclear();
    ASSERT_EQ(drawfile(path), 0);
    const Reference ref = pillowread(path);
    // Run-length files leave pixels out, which Pillow shows in colour 0; fields of 5 and 6
    // bits are widened differently: those are compared by their size only.
    if (fill < 0 && tolerance == 0) {
      EXPECT_EQ(differences(ref), 0);
    }
    ++checked;
  }
  EXPECT_GE(checked, 20);
}

// Palette PNGs of 1, 2, 4 and 8 bits: bitmaps of 1, 4, 4 and 8 bits with the file's palette,
// the 2-bit pixels as the same index values in 4-bit nibbles; drawn as Pillow reads them.
TEST_F(ImageDecoding, PalettePngsKeepTheirIndices) {
  openScreen(200, 100);
  struct Case {
    int bits, dibbits, colours;
  };
  for (const Case& c : {Case{1, 1, 2}, Case{2, 4, 4}, Case{4, 4, 16}, Case{8, 8, 256}}) {
    SCOPED_TRACE(c.bits);
    const std::string path = hc::scratch("palette" + std::to_string(c.bits) + ".png").string();
    // 13 x 5, index (x + 3 y) mod colours; colour k of the palette (97 k, 53 k + 80, 151 k + 40) mod 256.
    ASSERT_EQ(hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
                      "n=" + std::to_string(c.colours) + "\n"
                      "im=Image.new('P',(13,5))\n"
                      "im.putpalette([v for k in range(n) for v in ((k*97)%256,(k*53+80)%256,(k*151+40)%256)])\n"
                      "im.putdata([(x+3*y)%n for y in range(5) for x in range(13)])\n"
                      "im.save('" + path + "',bits=" + std::to_string(c.bits) + ")\"").status, 0);
    ASSERT_EQ(hc::run("/usr/bin/python3 -c \"import sys\n"
                      "d=open('" + path + "','rb').read()\n"
                      "sys.exit(0 if d[24]==" + std::to_string(c.bits) + " and d[25]==3 else 1)\"").status, 0)
        << "Pillow wrote another depth";
    int syserror = 0;
    ASSERT_EQ(yyimagedib(15, path, syserror), 0);
    const win::BITMAPINFOHEADER h = header();
    EXPECT_EQ(h.biBitCount, c.dibbits);
    EXPECT_EQ(static_cast<int>(h.biClrUsed), c.colours);
    EXPECT_EQ(wBitsOffset, 40 + 4 * c.colours) << "the table holds the file's colours";
    // The top row is the last one of the bitmap.
    const std::size_t stride = (13 * static_cast<std::size_t>(c.dibbits) + 31) / 32 * 4;
    const std::uint8_t* top = hImageDib.data() + wBitsOffset + 4 * stride;
    for (int x = 0; x < 13; ++x) {
      const int per = 8 / c.dibbits;
      const int v = (top[x / per] >> ((per - 1 - x % per) * c.dibbits)) & ((1 << c.dibbits) - 1);
      EXPECT_EQ(v, x % c.colours) << "pixel " << x;
    }
    hImageDib.clear();
    igrareaclear();
    ASSERT_EQ(drawfile(path), 0);
    EXPECT_EQ(differences(pillowread(path)), 0);
  }
  // The 2-bit one stretched large, kept to be looked at.
  const std::filesystem::path keep = std::filesystem::temp_directory_path() / "tw-screen-renderings";
  std::filesystem::create_directories(keep);
  igrareaclear();
  int error = -1, syserror = 0;
  yyloadimage(15, 0, 10, 10, 139, 59, 1, 0, 0, 0, error, syserror, hc::scratch("palette2.png").string());
  EXPECT_EQ(error, 0);
  EXPECT_TRUE(win::test::savePng(winslot(0).hClient, (keep / "palette2-stretched.png").string(), true));
}

// A PNG whose image data pass what its size can need (line x height + a thousandth + 22
// bytes) is refused with error 2 and nothing is drawn; the same data split over two IDAT
// chunks within the bound draw.
TEST_F(ImageDecoding, PngImageDataBeyondTheBoundAreRefused) {
  openScreen(100, 100);
  const std::string fine = hc::scratch("split.png").string(), over = hc::scratch("over.png").string();
  const std::string script =
      "import struct, zlib\n"
      "def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)\n"
      "head = b'\\x89PNG\\r\\n\\x1a\\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 4, 3, 8, 2, 0, 0, 0))\n"
      "data = zlib.compress(b''.join(b'\\x00' + bytes([200, 10, 10]) * 4 for _ in range(3)))\n"
      "open('" + fine + "', 'wb').write(head + chunk(b'IDAT', data[:5]) + chunk(b'IDAT', data[5:]) + chunk(b'IEND', b''))\n"
      "open('" + over + "', 'wb').write(head + chunk(b'IDAT', data) + chunk(b'tEXt', b'a\\x00b') + chunk(b'IDAT', bytes(64)) + chunk(b'IEND', b''))\n";
  ASSERT_EQ(hc::run("/usr/bin/python3 -c \"" + script + "\"").status, 0);
  igrareaclear();
  EXPECT_EQ(drawfile(fine), 0);
  EXPECT_EQ(px(3, 2), win::RGB(200, 10, 10));
  igrareaclear();
  EXPECT_EQ(drawfile(over), 2);
  EXPECT_EQ(inkCount(), 0);
  EXPECT_TRUE(hImageDib.empty());
}

// Runs as a PCX line holds them: a byte alone below 192, else 192 + count and the byte; read
// back the same, and the end of the file comes back as 2.
TEST(PcxRuns, WrittenAndReadBack) {
  const std::string path = hc::scratch("runs.bin").string();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  struct Run {
    std::uint8_t value;
    int count;
  };
  const std::vector<Run> runs = {{5, 1}, {200, 1}, {7, 63}, {0xC5, 2}, {191, 1}};
  for (const Run& r : runs) EXPECT_EQ(yyencput(r.value, r.count, f), 0);
  std::fclose(f);
  EXPECT_EQ(tw::test::slurp(path), std::string("\x05\xC1\xC8\xFF\x07\xC2\xC5\xBF", 8));
  ImageFile in;
  int status = 0;
  win::yyopen(path.c_str(), 0, in.handle, status);
  ASSERT_EQ(status, 0);
  for (const Run& r : runs) {
    std::uint8_t value = 0;
    int count = 0;
    ASSERT_EQ(yyencget(value, count, in), 0);
    EXPECT_EQ(value, r.value);
    EXPECT_EQ(count, r.count);
  }
  std::uint8_t value = 0;
  int count = 0;
  EXPECT_EQ(yyencget(value, count, in), 2);
}

TEST(PaletteSize, ByBitCountAndColoursUsed) {
  struct Case {
    int bits, used, bytes;
  };
  for (const Case& c : {Case{1, 0, 8}, Case{4, 0, 64}, Case{8, 0, 1024}, Case{16, 0, 0}, Case{24, 0, 0},
                        Case{32, 0, 0}, Case{24, 10, 40}, Case{8, 10, 40}}) {
    win::BITMAPINFOHEADER h;
    h.biBitCount = static_cast<win::WORD>(c.bits);
    h.biClrUsed = static_cast<win::DWORD>(c.used);
    EXPECT_EQ(yypalettesize(h), c.bytes) << c.bits << " bits, " << c.used << " used";
  }
}

}  // namespace
