// Speed of the dialog manager on the headless backend: a dialog loaded, shown, painted and
// unloaded (the aim is under 20 ms), and 10,000 field writes and reads through the front
// routines.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/test_api.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"
#include "toolkit/dialog/dialogs.h"

namespace {

void openRoot() {
  win::test::reset();
  tessar.window = WindowState{};
  tessar.dialog = DialogState{};
  WindowOpenOptions o;
  o.flags = 0x27;
  o.width = 800;
  o.height = 500;
  o.menu = 30001;
  WindowOpen(o);
  win::test::runUntilIdle();
}

void closeRoot() {
  windowclose();
  win::test::reset();
}

// Dialog 110 has the most fields of the application's dialogs; 116 fills two combo boxes.
void BM_LoadShowUnload(benchmark::State& state) {
  openRoot();
  const int resource = static_cast<int>(state.range(0));
  for (auto _ : state) {
    WDialogLoad(resource);
    WDialogShow();
    win::test::runUntilIdle();
    WDialogUnload();
  }
  closeRoot();
}
BENCHMARK(BM_LoadShowUnload)->Arg(110)->Arg(116)->Arg(109)->Unit(benchmark::kMillisecond);

void BM_FieldWritesAndReads(benchmark::State& state) {
  openRoot();
  WDialogLoad(110);
  WDialogLoad(101);
  for (auto _ : state) {
    for (int k = 0; k < 2500; ++k) {
      WDialogPutInteger(1003, 1900 + k % 100);
      int year = 0;
      WDialogGetInteger(1003, year);
      benchmark::DoNotOptimize(year);
    }
    WDialogSelect(110);
    for (int k = 0; k < 2500; ++k) {
      WDialogPutReal(1019, 0.9f + static_cast<float>(k % 90) * 0.001f);
      float v = 0.0f;
      WDialogGetReal(1019, v);
      benchmark::DoNotOptimize(v);
    }
    WDialogSelect(101);
  }
  state.SetItemsProcessed(state.iterations() * 10000);
  closeRoot();
}
BENCHMARK(BM_FieldWritesAndReads)->Unit(benchmark::kMillisecond);

}  // namespace
