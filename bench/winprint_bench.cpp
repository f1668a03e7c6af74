// The shared test picture as a placeable Windows metafile, as an enhanced metafile, and
// printed on the built-in PDF printer (pages recorded, played with cairo into a PDF).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/printer.h"
#include "tests/support/test_picture.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/state/tessar.h"
#include "toolkit/winprint/wdrivers.h"

namespace {

void setup(int device) {
  win::test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true, 0}});
  tessar.raster.printersettings.GotPrName = 0;
  testpicturegraphics(1000, 750);
  yyinstallwinprint();
  igrhardcopyselect(1, device);
}

void metafile(benchmark::State& state, int kind, const char* name) {
  setup(HCWMF);
  igrhardcopyoptions(27, kind);
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  for (auto _ : state) {
    igrhardcopy(path);
    drawtestpicture();
    igrhardcopy("S");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}

void BM_TestPictureWmf(benchmark::State& state) { metafile(state, 1, "tw-bench-picture.wmf"); }
void BM_TestPictureEmf(benchmark::State& state) { metafile(state, 2, "tw-bench-picture.emf"); }

void BM_TestPicturePdfPrinter(benchmark::State& state) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("tw-bench-print-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  setup(HCWINPRINTER);
  for (auto _ : state) {
    igrhardcopy();
    drawtestpicture();
    igrhardcopy("S");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(folder / "Tessaraweld graphic.pdf"));
  std::filesystem::current_path(before);
  std::filesystem::remove_all(folder);
}

}  // namespace

BENCHMARK(BM_TestPictureWmf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TestPictureEmf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TestPicturePdfPrinter)->Unit(benchmark::kMillisecond);
