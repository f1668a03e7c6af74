// Raster output and images: building the colour cube, writing a page as PNG, identifying
// and loading it again.
#include <benchmark/benchmark.h>

#include <filesystem>
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

// A 640 x 480 page at 8 bits with a diagonal colour ramp.
void makepage() {
  RasterState& rs = tessar.raster.state;
  rs = RasterState{};
  rs.RASWIDTH = 640;
  rs.RASHEIGHT = 480;
  rs.RASXMAX = 639;
  rs.RASYMAX = 479;
  rs.RASDEPTH = 8;
  rs.RASCLASS = 3;
  rs.RASROWWORDS = 160;
  rs.RASPLANEWORDS = 480 * 160;
  rs.RASTOTALWORDS = rs.RASPLANEWORDS;
  for (int k = 0; k < 4; ++k) rs.RASBYTEMASK[k] = ~(0xFFu << (8 * k));
  tessar.raster.IRBUFF.assign(static_cast<std::size_t>(rs.RASTOTALWORDS) + 1, 0);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) yyvra1((x + y) / 8 % 256, x, y);
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

void BM_IGrLoadImageDataPng640x480(benchmark::State& state) {
  yypali();
  makepage();
  assignfixed(tessar.files.HCCURRENT, pagefile());
  yyprop(2);
  yypng1();
  yyprcl(2);
  std::vector<int> pixels(640 * 480);
  for (auto _ : state) {
    IGrLoadImageData(pagefile(), pixels);
    benchmark::DoNotOptimize(pixels[0]);
  }
}
BENCHMARK(BM_IGrLoadImageDataPng640x480)->Unit(benchmark::kMillisecond);

}  // namespace
