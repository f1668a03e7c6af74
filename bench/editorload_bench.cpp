// Loading a 200 MB text file of daily records into the text editor, as "Browse text file"
// opens one: the file read, its text put into the control (cut to the control's limit, with
// the notice) and the caret set. Reports the time and, as counters, the peak resident memory
// of the process during the load and the memory in use before it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/message_box.h"
#include "platform/richedit.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/editor/startup_editor.h"
#include "toolkit/screen/screen_driver.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/window.h"

namespace {

constexpr std::size_t kBytes = 200'000'000;

const std::string& bigFile() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() / ("tw_editorload_" + std::to_string(getpid()) + ".txt")).string();
    std::atexit([] { std::remove(bigFile().c_str()); });
    std::ofstream out(p, std::ios::binary);
    std::string block;
    for (int i = 0; block.size() < (1u << 20); ++i)
      block += "1987-03-" + std::to_string(i % 18 + 10) + ";" + std::to_string(i % 997) + ".5;0.3\r\n";
    std::size_t done = 0;
    while (done < kBytes) {
      const std::size_t n = std::min(block.size(), kBytes - done);
      out.write(block.data(), static_cast<std::streamsize>(n));
      done += n;
    }
    return p;
  }();
  return path;
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

void BM_EditorLoad200MB(benchmark::State& state) {
  const std::string& path = bigFile();
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
    if (r == nullptr || win::SendMessage(r->control, win::WM_GETTEXTLENGTH, 0, 0) != 104857500)
      state.SkipWithError("the text did not load");
    WindowCloseChild(n);
    win::test::clearMessageBoxes();
    state.ResumeTiming();
  }
  state.counters["rss_before_MB"] = before;
  state.counters["peak_rss_MB"] = peak;
  state.counters["peak_over_file"] = peak > before ? (peak - before) / (kBytes / 1e6) : 0;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_EditorLoad200MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
