// Keys, caret moves and repaints on one long line, in the kind of control the text editor
// uses (multi-line, no wrapping; rich-edit, and the edit control beside it) holding one line
// of 4 and of 16 MB (records separated by tabs, an export with no line ends). Read the two
// sizes as a ratio: the time should not grow with the line. (Characters typed into one long
// wrapped paragraph: bench_richedit.)
#include <benchmark/benchmark.h>

#include <string>

#include "platform/richedit.h"
#include "platform/test_api.h"

using namespace win;

namespace {

HWND parentWindow() {
  static HWND p = [] {
    RegisterRichEditClasses();
    return CreateWindowEx(0, "Static", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                          nullptr, nullptr);
  }();
  return p;
}

std::string oneLine(std::size_t bytes) {
  std::string t;
  t.reserve(bytes + 64);
  for (int i = 0; t.size() < bytes; ++i)
    t += "1987-03-" + std::to_string(i % 18 + 10) + ";" + std::to_string(i % 997) + ".5;0.3\t";
  t.resize(bytes);
  return t;
}

// A control of the class (0 rich edit, 1 edit) holding one line of the megabytes, focused,
// the caret at the end and the view scrolled there.
HWND longLine(int cls, int megabytes) {
  static HWND e = nullptr;
  static int made = -1;
  const int want = cls * 1000 + megabytes;
  if (made != want) {
    if (e) DestroyWindow(e);
    e = CreateWindowEx(0, cls == 0 ? RICHEDIT_CLASS : "Edit", "",
                       WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                           ES_NOHIDESEL,
                       0, 0, 780, 560, parentWindow(), nullptr, nullptr, nullptr);
    if (cls == 0) SendMessage(e, EM_EXLIMITTEXT, 0, 104857500);
    else SendMessage(e, EM_LIMITTEXT, 0, 0);
    SetWindowText(e, oneLine(static_cast<std::size_t>(megabytes) << 20).c_str());
    made = want;
  }
  SetFocus(e);
  const auto n = static_cast<WPARAM>(GetWindowTextLength(e));
  SendMessage(e, EM_SETSEL, n, n);
  test::runUntilIdle();
  return e;
}

// Rich edit and edit, each at 4 and 16 MB.
void bothClassesAndSizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"edit", "MB"});
  for (int cls : {0, 1})
    for (int mb : {4, 16}) b->Args({cls, mb});
}

// One character typed at the end of the line (at a place of the line: 0 the end, 1 the
// middle), laid out, scrolled to and painted.
void BM_LongLineType(benchmark::State& state) {
  HWND e = longLine(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  if (state.range(2) == 1) {
    const auto mid = static_cast<WPARAM>(GetWindowTextLength(e) / 2);
    SendMessage(e, EM_SETSEL, mid, mid);
    test::runUntilIdle();
  }
  for (auto _ : state) {
    SendMessage(e, WM_CHAR, 'x', 0);
    test::runUntilIdle();
  }
  state.counters["chars"] = static_cast<double>(GetWindowTextLength(e));
}
BENCHMARK(BM_LongLineType)
    ->ArgNames({"edit", "MB", "middle"})
    ->Args({0, 4, 0})
    ->Args({0, 16, 0})
    ->Args({0, 4, 1})
    ->Args({0, 16, 1})
    ->Args({1, 4, 0})
    ->Args({1, 16, 0})
    ->Unit(benchmark::kMillisecond);

// Caret keys at the far end of the line: Left, End, Home, Right, End, each scrolled to and
// painted; the time is for one key.
void BM_LongLineCaretKey(benchmark::State& state) {
  HWND e = longLine(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  static const int kKeys[] = {VK_LEFT, VK_END, VK_HOME, VK_RIGHT, VK_END};
  int k = 0;
  for (auto _ : state) {
    SendMessage(e, WM_KEYDOWN, static_cast<WPARAM>(kKeys[k++ % 5]), 0);
    test::runUntilIdle();
  }
}
BENCHMARK(BM_LongLineCaretKey)->Apply(bothClassesAndSizes)->Unit(benchmark::kMillisecond);

// A repaint of the whole control with the view at the end of the line, the last word selected.
void BM_LongLineRepaint(benchmark::State& state) {
  HWND e = longLine(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const auto n = static_cast<WPARAM>(GetWindowTextLength(e));
  SendMessage(e, EM_SETSEL, n - 12, static_cast<LPARAM>(n));
  test::runUntilIdle();
  for (auto _ : state) {
    InvalidateRect(e, nullptr, TRUE);
    UpdateWindow(e);
  }
}
BENCHMARK(BM_LongLineRepaint)->Apply(bothClassesAndSizes)->Unit(benchmark::kMillisecond);

}  // namespace
