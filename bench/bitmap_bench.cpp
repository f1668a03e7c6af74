// Bitmap files: the shared test picture on an A4 page at 300 dpi (2480 x 3508) drawn by the
// raster device and written as PNG and BMP through the bitmap-file driver.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "tests/support/test_picture.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/state/tessar.h"

namespace {

void page(benchmark::State& state, int depth, int format, const char* name) {
  testpicturegraphics(1000, 1414);
  igrhardcopyselect(1, HCBITMAP);
  igrhardcopyoptions(1, 2480);
  igrhardcopyoptions(2, 3508);
  igrhardcopyoptions(23, depth);
  igrhardcopyoptions(26, format);
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  for (auto _ : state) {
    igrhardcopy(path);
    drawtestpicture();
    igrhardcopy("S");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}

void BM_A4Png24(benchmark::State& s) { page(s, 24, 3, "bench_a4.png"); }
void BM_A4Png8(benchmark::State& s) { page(s, 8, 3, "bench_a4_8.png"); }
void BM_A4Bmp24(benchmark::State& s) { page(s, 24, 1, "bench_a4.bmp"); }
void BM_A4Bmp8Rle(benchmark::State& s) { page(s, 8, 2, "bench_a4_rle.bmp"); }
BENCHMARK(BM_A4Png24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_A4Png8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_A4Bmp24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_A4Bmp8Rle)->Unit(benchmark::kMillisecond);

}  // namespace
