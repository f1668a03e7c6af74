// Bitmap files: the shared test picture on an A4 page at 300 dpi (2480 x 3508), and on the
// widest page, drawn by the raster device and written as PNG and BMP through the bitmap-file
// driver.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "tests/support/test_picture.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/state/tessar.h"

namespace {

void page(benchmark::State& state, int depth, int format, const char* name, int width = 2480, int height = 3508) {
  testpicturegraphics(1000, 1414);
  igrhardcopyselect(1, HCBITMAP);
  igrhardcopyoptions(1, width);
  igrhardcopyoptions(2, height);
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

// A request for a page far wider than any side a page has (65,535 pixels), 10 rows high,
// with the picture drawn on it: answered as a 65,535 x 10 page. Two widths asked, to show
// that the time no longer follows the width asked.
void BM_WidePng24(benchmark::State& s) {
  page(s, 24, 3, "bench_wide.png", static_cast<int>(s.range(0)), 10);
}
void BM_WideBmp24(benchmark::State& s) {
  page(s, 24, 1, "bench_wide.bmp", static_cast<int>(s.range(0)), 10);
}
BENCHMARK(BM_WidePng24)->Arg(65535)->Arg(2147483647)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WideBmp24)->Arg(65535)->Arg(2147483647)->Unit(benchmark::kMillisecond);

}  // namespace
