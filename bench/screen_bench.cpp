// Speed of the screen road on a 1000 x 700 headless toolkit window: a daily series of 60,000
// values drawn as one polyline from the graphics layer to the pixels, and a full repaint of
// a picture of 10,000 markers (clear, then every marker of the 40 kinds in turn).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/screen_window.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/markers.h"
#include "toolkit/screen/screen_driver.h"
#include "toolkit/graphics/text.h"

namespace {

void openWindow() { twbench::openScreenWindow(1000, 700); }

void BM_ScreenPolyline(benchmark::State& state) {
  openWindow();
  IGrArea(0.05f, 0.05f, 0.95f, 0.95f);
  const int n = static_cast<int>(state.range(0));
  IGrUnits(0, -1.2f, static_cast<float>(n), 1.2f);
  std::vector<float> x(static_cast<std::size_t>(n)), y(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    x[static_cast<std::size_t>(i)] = static_cast<float>(i);
    y[static_cast<std::size_t>(i)] = std::sin(static_cast<float>(i) * 0.002f) + 0.3f * std::sin(static_cast<float>(i) * 0.37f);
  }
  IGrColourN(159);
  for (auto _ : state) igrpolyline(x, y, n);
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ScreenPolyline)->Arg(60000)->Unit(benchmark::kMillisecond);

void BM_ScreenMarkers(benchmark::State& state) {
  openWindow();
  IGrArea(0, 0, 1, 1);
  IGrUnits(0, 0, 100, 100);
  yychsize(0.008f, 0.012f);
  std::vector<float> x(10000), y(10000);
  unsigned v = 12345;
  for (std::size_t i = 0; i < x.size(); ++i) {
    v = v * 1103515245u + 12345u;
    x[i] = static_cast<float>((v >> 8) % 10000) / 100.0f;
    v = v * 1103515245u + 12345u;
    y[i] = static_cast<float>((v >> 8) % 10000) / 100.0f;
  }
  for (auto _ : state) {
    igrareaclear();
    for (std::size_t i = 0; i < x.size(); ++i) {
      IGrColourN(static_cast<int>(16 * (i % 14) + 15));
      igrmarker(x[i], y[i], static_cast<int>(i % 40) + 1);
    }
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ScreenMarkers)->Unit(benchmark::kMillisecond);

}  // namespace
