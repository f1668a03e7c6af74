// Grid CSV save and load and row sort of 100,000 rows of a date text and a real value.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "toolkit/grid/grid.h"
#include "toolkit/grid/gridfiles.h"
#include "toolkit/state/tessar.h"

namespace {

constexpr int kRows = 100000;
GridInstance grid;
GridInstance* find(int ident) { return ident == 1 ? &grid : nullptr; }

std::string csvPath() {
  return (std::filesystem::temp_directory_path() / "tw-bench-grid.csv").string();
}

void setUp() {
  tessar.dialog.CURDIALOG = 1;
  gridservices.locate = find;
  yygridbuild(grid, {{GridString, 10}, {GridReal}}, kRows, kRows);
  grid.hasrowlabels = false;
  char date[16];
  for (int r = 0; r < kRows; ++r) {
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", 1900 + (r * 7919) % 120, 1 + r % 12, 1 + r % 28);
    int status = 1;
    yygridputcellstring(status, 0, r, 0.0, date, {});
    status = 1;
    yygridputcellstring(status, 1, r, (r * 7919) % 100003 / 7.0, "1", {});
  }
}

void BM_SaveCsv100000x2(benchmark::State& state) {
  setUp();
  for (auto _ : state) WGridSave(1, csvPath());
}
BENCHMARK(BM_SaveCsv100000x2)->Unit(benchmark::kMillisecond);

void BM_LoadCsv100000x2(benchmark::State& state) {
  setUp();
  WGridSave(1, csvPath());
  for (auto _ : state) WGridLoad(1, csvPath());
}
BENCHMARK(BM_LoadCsv100000x2)->Unit(benchmark::kMillisecond);

// Sorting the shuffled rows by the real column and by the date text (each iteration starts
// from the same shuffled order).
void BM_Sort100000ByReal(benchmark::State& state) {
  setUp();
  const GridInstance shuffled = grid;
  for (auto _ : state) {
    state.PauseTiming();
    grid = shuffled;
    state.ResumeTiming();
    WGridSort(1, 2);
  }
}
BENCHMARK(BM_Sort100000ByReal)->Unit(benchmark::kMillisecond);

void BM_Sort100000ByText(benchmark::State& state) {
  setUp();
  const GridInstance shuffled = grid;
  for (auto _ : state) {
    state.PauseTiming();
    grid = shuffled;
    state.ResumeTiming();
    WGridSort(1, 1);
  }
}
BENCHMARK(BM_Sort100000ByText)->Unit(benchmark::kMillisecond);

}  // namespace
