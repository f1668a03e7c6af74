// A repaint of the text editor with the program's colouring routine (every run of digits
// red), the caret and the view at the end of a text of daily records of 3.5 MB and of 100 MB:
// the routine is asked about the visible lines only and every line query answers from the
// control's kept lines, so the time does not grow with the text. Also the status bar's
// line and column after a caret key there.
#include <benchmark/benchmark.h>

#include <cctype>
#include <string>

#include "bench/editor_window.h"
#include "platform/richedit.h"
#include "platform/test_api.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/editor/startup_editor.h"
#include "toolkit/window/childwin.h"

int colouredLines = 0;

void yyeditparsecallback(int, int, int, int maximum, int* starts, int* ends, int* colours, int& count,
                         const char* line, int length) {
  ++colouredLines;
  count = 0;
  for (int i = 0; i < length && count < maximum;) {
    if (std::isdigit(static_cast<unsigned char>(line[i])) == 0) {
      ++i;
      continue;
    }
    int j = i;
    while (j < length && std::isdigit(static_cast<unsigned char>(line[j])) != 0) ++j;
    starts[count] = i + 1;
    ends[count] = j;
    colours[count++] = 255;
    i = j;
  }
}

namespace {

using namespace win;

EditorRecord& editor(std::size_t bytes) {
  static EditorRecord* r = nullptr;
  static std::size_t loaded = 0;
  if (!r) {
    yyeditbufalloc();
    const int n = twbench::openEditorWindow();
    r = yyeditrecord(winslot(n).wWindow);
    yyeditsetcallback();
  }
  if (loaded != bytes) {
    std::string t;
    t.reserve(bytes);
    for (int k = 0; t.size() < bytes; ++k)
      t += "1987-03-" + std::to_string(k % 28 + 10) + ";12.5;0.3;gauge 410" + std::to_string(100 + k % 900) + "\r\n";
    t.resize(std::min<std::size_t>(bytes, 104857500));
    int result = 0;
    yyeditputtext(result, t);
    loaded = bytes;
    SetFocus(r->control);
    test::pressKey(VK_END, test::kCtrl);
    test::runUntilIdle();
  }
  return *r;
}

void BM_ColouredRepaint(benchmark::State& state) {
  EditorRecord& r = editor(static_cast<std::size_t>(state.range(0)) * 100'000);
  colouredLines = 0;
  for (auto _ : state) {
    InvalidateRect(r.control, nullptr, TRUE);
    UpdateWindow(r.control);
  }
  state.counters["lines_coloured"] = static_cast<double>(colouredLines) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ColouredRepaint)->Arg(35)->Arg(1000)->Unit(benchmark::kMillisecond);

// A caret key at the end of the text with the status bar following it, repainted.
void BM_ColouredCaretKey(benchmark::State& state) {
  EditorRecord& r = editor(static_cast<std::size_t>(state.range(0)) * 100'000);
  int k = 0;
  for (auto _ : state) {
    test::pressKey(k++ % 2 ? VK_UP : VK_DOWN);
    test::runUntilIdle();
  }
  benchmark::DoNotOptimize(r.control);
}
BENCHMARK(BM_ColouredCaretKey)->Arg(35)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
