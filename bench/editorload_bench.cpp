// Loading a text file of daily records into the text editor, as "Browse text file" opens
// one: the file read, its text put into the control (cut to the control's limit, with the
// notice) and the caret set; a file of 100 MB (under the limit) and of 200 MB (cut). Reports
// the time and, as counters, the peak resident memory of the process during the load over
// the file's size and the memory in use before it. Beside it, a plain read of the same file
// into memory, against which the load's time reads as a ratio.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/message_box.h"
#include "toolkit/os/opsys.h"
#include "platform/richedit.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/editor/startup_editor.h"
#include "toolkit/screen/screen_driver.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/window.h"

namespace {

// The file of the given size, written once.
const std::string& bigFile(std::size_t bytes) {
  static std::map<std::size_t, std::string> paths;
  auto [it, fresh] = paths.try_emplace(bytes);
  if (!fresh) return it->second;
  it->second = (std::filesystem::temp_directory_path() /
                ("tw_editorload_" + std::to_string(getpid()) + "_" + std::to_string(bytes) + ".txt"))
                   .string();
  if (paths.size() == 1)
    std::atexit([] {
      for (const auto& [size, p] : paths) std::remove(p.c_str());
    });
  std::ofstream out(it->second, std::ios::binary);
  std::string block;
  for (int i = 0; block.size() < (1u << 20); ++i)
    block += "1987-03-" + std::to_string(i % 18 + 10) + ";" + std::to_string(i % 997) + ".5;0.3\r\n";
  std::size_t done = 0;
  while (done < bytes) {
    const std::size_t n = std::min(block.size(), bytes - done);
    out.write(block.data(), static_cast<std::streamsize>(n));
    done += n;
  }
  return it->second;
}

// Resident memory in MB: now (VmRSS) or the peak since the last reset (VmHWM).
double residentMB(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::strlen(field))) / 1024.0;
  return 0;
}

void resetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_EditorLoad(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0)) * 1'000'000;
  const std::string& path = bigFile(bytes);
  if (tessar.window.ROOTOPEN != 1) {
    yyscreenservices();
    tessar.display.COLOURS = 1 << 24;
    WindowOpenOptions o;
    o.flags = 7;
    o.width = 800;
    o.height = 600;
    WindowOpen(o);
    yyeditbufalloc();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the notice of the cut text
  }
  double before = 0, peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    WindowOpenChildOptions o;
    o.flags = 39;
    o.width = 600;
    o.height = 400;
    o.title = "Text Editor";
    int n = 0;
    WindowOpenChild(n, o);
    before = residentMB("VmRSS:");
    resetPeak();
    state.ResumeTiming();
    WEditFile(path, {.mode = 2, .menu = 0, .options = 34, .fonttype = 1});
    state.PauseTiming();
    peak = residentMB("VmHWM:");
    EditorRecord* r = yyeditrecord(winslot(n).wWindow);
    // Each line end becomes one character; a text over the limit is cut to it.
    const win::LRESULT length = r == nullptr ? 0 : win::SendMessage(r->control, win::WM_GETTEXTLENGTH, 0, 0);
    if (bytes > 104857500 ? length != 104857500 : length < static_cast<win::LRESULT>(bytes / 10 * 9))
      state.SkipWithError("the text did not load");
    WindowCloseChild(n);
    win::test::clearMessageBoxes();
    state.ResumeTiming();
  }
  state.counters["rss_before_MB"] = before;
  state.counters["peak_rss_MB"] = peak;
  state.counters["peak_over_file"] = peak > before ? (peak - before) / (static_cast<double>(bytes) / (1 << 20)) : 0;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_EditorLoad)->ArgName("MB")->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(3);

// The file read into memory, as the editor reads it, and nothing else.
void BM_PlainRead(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0)) * 1'000'000;
  const std::string& path = bigFile(bytes);
  for (auto _ : state) {
    std::string text;
    bool opened = false;
    std::int64_t size = 0;
    if (yyreadfile(path, text, opened, size, static_cast<std::int64_t>(bytes), static_cast<std::int64_t>(bytes)) != 0)
      state.SkipWithError("the file did not read");
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_PlainRead)->ArgName("MB")->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
