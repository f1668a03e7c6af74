// Raster output and images: building the colour cube, writing a page as PNG, identifying
// and loading it again.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "toolkit/graphics/colour.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/raster/dither.h"
#include "toolkit/raster/file_info.h"
#include "toolkit/raster/image_load.h"
#include "toolkit/raster/png.h"
#include "toolkit/raster/primitives.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {

// A width x height page at 8 bits (640 x 480 unless asked) with a diagonal colour ramp.
void makepage(int width = 640, int height = 480) {
  RasterState& rs = tessar.raster.state;
  rs = RasterState{};
  rs.RASWIDTH = width;
  rs.RASHEIGHT = height;
  rs.RASXMAX = width - 1;
  rs.RASYMAX = height - 1;
  rs.RASDEPTH = 8;
  rs.RASCLASS = 3;
  rs.RASROWWORDS = (width + 3) / 4;
  rs.RASPLANEWORDS = height * rs.RASROWWORDS;
  rs.RASTOTALWORDS = rs.RASPLANEWORDS;
  for (int k = 0; k < 4; ++k) rs.RASBYTEMASK[k] = ~(0xFFu << (8 * k));
  tessar.raster.IRBUFF.assign(static_cast<std::size_t>(rs.RASTOTALWORDS) + 1, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) yyvra1((x + y) / 8 % 256, x, y);
}

std::string pagefile() {
  return (std::filesystem::temp_directory_path() / "tw_raster_bench.png").string();
}

void BM_Yydith2(benchmark::State& state) {
  for (auto _ : state) {
    yydith2();
    benchmark::DoNotOptimize(tessar.raster.CUBEBLUE[4095]);
  }
}
BENCHMARK(BM_Yydith2);

void BM_Yypng1Page640x480(benchmark::State& state) {
  yypali();
  makepage();
  assignfixed(tessar.files.HCCURRENT, pagefile());
  for (auto _ : state) {
    yyprop(2);
    yypng1();
    yyprcl(2);
  }
}
BENCHMARK(BM_Yypng1Page640x480)->Unit(benchmark::kMillisecond);

// PNG images of width x height decoded a row at a time: time grows with the pixels.
void BM_IGrLoadImageDataPng(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  yypali();
  makepage(w, h);
  assignfixed(tessar.files.HCCURRENT, pagefile());
  yyprop(2);
  yypng1();
  yyprcl(2);
  std::vector<int> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (auto _ : state) {
    IGrLoadImageData(pagefile(), pixels);
    benchmark::DoNotOptimize(pixels[0]);
  }
}
BENCHMARK(BM_IGrLoadImageDataPng)->Args({640, 480})->Args({1280, 960})->Unit(benchmark::kMillisecond);

// A small PNG (IHDR, then IEND) claiming n x n pixels: asking whether it holds its rows
// costs the same at any claimed size.
void BM_YyimagefitsClaimedPng(benchmark::State& state) {
  const std::uint32_t n = static_cast<std::uint32_t>(state.range(0));
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (std::uint32_t v : {n, n})
    for (int s = 24; s >= 0; s -= 8) png.push_back(static_cast<std::uint8_t>(v >> s));
  for (int b : {8, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, int{'I'}, int{'E'}, int{'N'}, int{'D'}, 0xAE, 0x42, 0x60, 0x82})
    png.push_back(static_cast<std::uint8_t>(b));
  const std::string path = (std::filesystem::temp_directory_path() / "tw_claims_bench.png").string();
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  }
  for (auto _ : state) benchmark::DoNotOptimize(yyimagefits(path));
}
BENCHMARK(BM_YyimagefitsClaimedPng)->Arg(1000)->Arg(46340)->Unit(benchmark::kMicrosecond);

}  // namespace
