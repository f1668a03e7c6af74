// Speed of the dialog manager on the headless backend: a dialog loaded, shown, painted and
// unloaded (the aim is under 20 ms), 10,000 field writes and reads through the front
// routines, and a long text put into a multi-line edit field.
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

// A report-like text of the given size: sentences in paragraphs of about 400 characters
// (shape 0), or one paragraph without a line break (shape 1), which the field wraps.
std::string longText(std::size_t size, int shape) {
  const std::string sentence = "The sponsor of this program gives no warranty for its results. ";
  std::string text;
  text.reserve(size + sentence.size() + 2);
  int k = 0;
  while (text.size() < size) {
    text += sentence;
    if (shape == 0 && ++k % 6 == 0) text += "\r\n";
  }
  text.resize(size);
  return text;
}

// The about dialog's disclaimer is a multi-line, wrapping, read-only edit field: the text
// put into it is laid out once, with the dialog shown and painted.
void BM_PutLongTextIntoMultiLineEdit(benchmark::State& state) {
  openRoot();
  WDialogLoad(109);
  WDialogShow();
  win::test::runUntilIdle();
  const std::string text = longText(static_cast<std::size_t>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    WDialogPutString(1048, text);
    win::test::runUntilIdle();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
  WDialogUnload();
  closeRoot();
}
BENCHMARK(BM_PutLongTextIntoMultiLineEdit)
    ->Args({4 << 10, 0})->Args({64 << 10, 0})->Args({1 << 20, 0})
    ->Args({64 << 10, 1})->Args({1 << 20, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
