// Truncated and corrupted versions of every kind of graphics file, fed to identification,
// the CGM scanner and the image loader. Built with AddressSanitizer (label "asan"): any read
// or write outside a buffer ends the run.
#include <gtest/gtest.h>

#include <random>

#include "tests/raster/kind_fixtures.h"
#include "tests/raster/png_files.h"
#include "toolkit/hardcopy/cgm_scan.h"
#include "toolkit/raster/file_info.h"
#include "toolkit/raster/image_load.h"
#include "toolkit/raster/png.h"
#include "toolkit/state/tessar.h"

namespace {

Bytes pngfile(int width, int height, int depth, int colourtype, int bytesperrow) {
  Bytes raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(static_cast<std::uint8_t>(y % 5));   // every filter type in turn
    for (int i = 0; i < bytesperrow; ++i) raw.push_back(static_cast<std::uint8_t>(i * 31 + y));
  }
  std::vector<std::pair<std::string, Bytes>> middle;
  if (colourtype == 3) middle.emplace_back("PLTE", Bytes(48, 0x77));
  middle.emplace_back("tEXt", textbytes("Comment\0x"));
  return pngbytes(width, height, depth, colourtype, raw, middle);
}

Bytes pcxfile(int bits, int planes, int width, int height, int perline) {
  Bytes b(128, 0);
  b[0] = 10; b[1] = 5; b[2] = 1;
  b[3] = static_cast<std::uint8_t>(bits);
  b[65] = static_cast<std::uint8_t>(planes);
  put16(b, 8, width - 1);
  put16(b, 10, height - 1);
  put16(b, 66, perline);
  for (int i = 0; i < height * planes * perline; ++i)
    append(b, i % 3 == 0 ? std::initializer_list<int>{0xC3, i & 255} : std::initializer_list<int>{i & 63});
  if (bits == 8 && planes == 1) {
    b.push_back(12);
    b.resize(b.size() + 768, 0x42);
  }
  return b;
}

std::vector<Bytes> seeds() {
  std::vector<Bytes> s;
  for (const KindFixture& k : kindfixtures()) s.push_back(k.bytes);
  const std::vector<int> pal16(16, 0x123456);
  s.push_back(bmpfile(5, 3, 1, 0, {0, 0xFFFFFF}, Bytes(12, 0xA5)));
  s.push_back(bmpfile(5, 3, 4, 0, pal16, Bytes(12, 0x3C)));
  s.push_back(bmpfile(5, 3, 8, 0, pal16, Bytes(24, 9)));
  s.push_back(bmpfile(5, 3, 16, 3, {}, Bytes(36, 0x7E)));
  s.push_back(bmpfile(5, 3, 24, 0, {}, Bytes(48, 0x11)));
  s.push_back(bmpfile(5, 3, 32, 0, {}, Bytes(60, 0x22)));
  s.push_back(bmpfile(6, 3, 8, 1, pal16, {3, 5, 0, 4, 1, 2, 3, 4, 0, 2, 1, 1, 2, 7, 0, 0, 6, 1, 0, 1}));
  s.push_back(bmpfile(7, 2, 4, 2, pal16, {5, 0x1A, 0, 3, 0x12, 0x30, 0, 0, 7, 0x9C, 0, 1}));
  s.push_back(pcxfile(1, 1, 13, 3, 2));
  s.push_back(pcxfile(1, 4, 10, 3, 2));
  s.push_back(pcxfile(8, 1, 7, 3, 8));
  s.push_back(pcxfile(8, 3, 5, 3, 6));
  s.push_back(pngfile(10, 3, 1, 3, 2));
  s.push_back(pngfile(7, 3, 4, 3, 4));
  s.push_back(pngfile(4, 3, 8, 2, 12));
  s.push_back(pngfile(3, 3, 16, 6, 24));
  return s;
}

void probe(const std::string& path) {
  std::array<int, 6> info{};
  igrfileinfo(path, info, 6);
  const long long w = info[1], h = info[2];
  // Room for the image when its size is sane, else a small array the loader must refuse.
  const std::size_t room = (w > 0 && h > 0 && w * h <= (1 << 20)) ? static_cast<std::size_t>(w * h) : 16;
  std::vector<int> pixels(room, 0);
  IGrLoadImageData(path, pixels);
  int pictures = 0;
  float ratio = 0;
  yyinfocgm(path, pictures, ratio);
}

TEST(GraphicsFiles, SurviveTruncationAndCorruption) {
  tessar.error = ErrorState{};
  const auto dir = testfolder("fuzz");
  const std::string path = (dir / "fuzz.bin").string();
  std::mt19937 random(20261210);
  int runs = 0;
  for (const Bytes& seed : seeds()) {
    for (std::size_t cut = 0; cut <= seed.size(); ++cut) {
      writefile(dir, "fuzz.bin", Bytes(seed.begin(), seed.begin() + static_cast<long>(cut)));
      probe(path);
      ++runs;
    }
    for (int m = 0; m < 150; ++m) {
      Bytes b = seed;
      const int flips = 1 + static_cast<int>(random() % 6);
      for (int f = 0; f < flips && !b.empty(); ++f) {
        const std::size_t at = random() % b.size();
        const std::uint32_t how = random() % 4;
        b[at] = how == 0 ? 0 : how == 1 ? 0xFF : how == 2 ? static_cast<std::uint8_t>(b[at] ^ (1u << (random() % 8)))
                                                          : static_cast<std::uint8_t>(random());
      }
      writefile(dir, "fuzz.bin", b);
      probe(path);
      ++runs;
    }
  }
  EXPECT_GT(runs, 5000);
  std::filesystem::remove_all(dir);
}

}  // namespace
