// Grid cell store: filling 60,000 rows of two columns and inserting a row into 100,000 rows.
#include <benchmark/benchmark.h>

#include <string>

#include "toolkit/grid/grid.h"
#include "toolkit/state/tessar.h"

namespace {

GridInstance grid;
GridInstance* find(int ident) { return ident == 1 ? &grid : nullptr; }

void setUp(int rows, int allocated = 0) {
  tessar.dialog.CURDIALOG = 1;
  gridservices.locate = find;
  yygridbuild(grid, {{GridString, 10}, {GridReal}}, allocated ? allocated : rows, rows);
  grid.rowlabelcount = 20;
}

// The store's side of a 60,000-row paste: every cell put from its text.
void BM_Put60000RowsFromText(benchmark::State& state) {
  setUp(60000);
  for (auto _ : state) {
    for (int r = 0; r < 60000; ++r) {
      int status = 1;
      yygridputcellstring(status, 0, r, 0.0, "2001-01-01", {});
      status = 1;
      yygridputcellstring(status, 1, r, 0.0, "12.345", {});
    }
  }
}
BENCHMARK(BM_Put60000RowsFromText)->Unit(benchmark::kMillisecond);

void BM_InsertRowInto100000Rows(benchmark::State& state) {
  setUp(100000, 100001);  // one free row: not full, so the insertion is done
  for (int r = 1; r <= 100000; ++r) WGridPutCellReal(1, 2, r, static_cast<float>(r));
  for (auto _ : state) WGridInsertRows(1, 1);
}
BENCHMARK(BM_InsertRowInto100000Rows)->Unit(benchmark::kMillisecond);

}  // namespace
