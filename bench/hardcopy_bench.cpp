// Vector files: a chart of 60,000 points (axes, ticks and the data as one polyline) written as
// PostScript, DXF, SVG, binary CGM, HP-GL and HP-GL/2 through the hardcopy manager.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_picture.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/state/tessar.h"

namespace {

void chart(benchmark::State& state, int device, const char* name) {
  testpicturegraphics(1000, 750);
  igrhardcopyselect(1, device);
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  std::vector<float> x(60000), y(60000);
  for (std::size_t k = 0; k < x.size(); ++k) {
    x[k] = static_cast<float>(k) / 6000.0f;
    y[k] = std::sin(static_cast<float>(k) * 0.01f) * std::exp(-x[k] * 0.1f);
  }
  for (auto _ : state) {
    igrhardcopy(path);
    IGrUnits(0, -1, 10, 1);
    igrcolourmodel(24);
    IGrColourN(wrgb(0, 0, 0));
    igrjoin(0, -1, 10, -1);
    igrjoin(0, -1, 0, 1);
    for (int t = 0; t <= 10; ++t) igrjoin(static_cast<float>(t), -1, static_cast<float>(t), -0.97f);
    IGrColourN(wrgb(0, 0, 255));
    igrpolyline(x, y, static_cast<int>(x.size()));
    igrhardcopy("S");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}

void BM_PostScript60k(benchmark::State& s) { chart(s, HCPOSTSCRIPT, "bench60k.ps"); }
void BM_Dxf60k(benchmark::State& s) { chart(s, HCDXF, "bench60k.dxf"); }
void BM_Svg60k(benchmark::State& s) { chart(s, HCSVG, "bench60k.svg"); }
void BM_Cgm60k(benchmark::State& s) { chart(s, HCCGM, "bench60k.cgm"); }
BENCHMARK(BM_PostScript60k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Dxf60k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Svg60k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cgm60k)->Unit(benchmark::kMillisecond);
void BM_Hpgl60k(benchmark::State& s) { chart(s, HCHPGL, "bench60k.plt"); }
void BM_Hpgl2_60k(benchmark::State& s) { chart(s, HCHPGL2, "bench60k2.plt"); }
BENCHMARK(BM_Hpgl60k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Hpgl2_60k)->Unit(benchmark::kMillisecond);

}  // namespace

