// Operating-system layer: raw-file transfer in the block sizes the image readers use,
// wildcard search and delete over a directory of many files, and date texts.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/os.h"
#include "toolkit/os/opsys.h"

namespace {

std::string tempDir() {
  char pattern[] = "/tmp/tw-os-bench-XXXXXX";
  return mkdtemp(pattern) ? std::string(pattern) : std::string("/tmp");
}

void BM_IFileWriteRead(benchmark::State& state) {
  const std::string dir = tempDir();
  const std::string name = dir + "/data.bin";
  const int block = static_cast<int>(state.range(0));
  constexpr int kTotal = 8 << 20;
  std::vector<char> buffer(static_cast<std::size_t>(block), 'x');
  for (auto _ : state) {
    int handle = -1, n = 0;
    IFileOpen(name, 1, handle);
    for (int done = 0; done < kTotal; done += block) IFileWriteChar(handle, buffer.data(), block, n);
    ifileclose(handle);
    IFileOpen(name, 0, handle);
    for (int done = 0; done < kTotal; done += block) IFileReadChar(handle, buffer.data(), block, n);
    ifileclose(handle);
  }
  state.SetBytesProcessed(state.iterations() * 2LL * kTotal);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_IFileWriteRead)->Arg(512)->Arg(65000);

void BM_WildcardSearch(benchmark::State& state) {
  const std::string dir = tempDir();
  const int files = static_cast<int>(state.range(0));
  for (int k = 0; k < files; ++k)
    std::ofstream(dir + "/f" + std::to_string(k) + (k % 2 ? ".plt" : ".txt"));
  for (auto _ : state) {
    std::string name = dir + "/*.plt";
    int attributes = 0, packed = 0, size = 0, status = 0, count = 0;
    for (win::yyfind(0, name, attributes, packed, size, status); status == 0;
         win::yyfind(1, name, attributes, packed, size, status))
      ++count;
    win::yyfindclose();
    benchmark::DoNotOptimize(count);
  }
  state.SetItemsProcessed(state.iterations() * files);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_WildcardSearch)->Arg(100)->Arg(5000);

void BM_Wdatetostring(benchmark::State& state) {
  std::string text(11, ' ');
  int day = 0;
  for (auto _ : state) {
    wdatetostring(text, 1980, 12, 1 + day++ % 28, 25, ' ');
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_Wdatetostring);

}  // namespace
