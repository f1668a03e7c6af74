// Fuzz target: a CSV file read into a grid of every column type (plain, and with labels and
// growing rows), written back, read again and written again: the second save must give the
// same bytes as the first, since the save writes what the load reads. The HTML export of the
// loaded grid runs too.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/fuzz_support.h"
#include "toolkit/grid/grid.h"
#include "toolkit/grid/gridfiles.h"
#include "toolkit/state/tessar.h"

namespace {

constexpr int kId = 7;
GridInstance grid;
GridInstance* find(int ident) { return ident == kId ? &grid : nullptr; }

// Columns: string(12), integer, real "(F8.2)", double, check box, menu; a real column with a
// range so that the range check runs too.
void build() {
  yygridbuild(grid, {{GridString, 12}, {GridInteger}, {GridReal}, {GridDouble}, {GridCheckBox},
                     {GridMenu}, {GridReal}},
              40, 4);
  grid.columns[2].prototype.hasformat = true;
  grid.columns[2].prototype.format = "(F8.2)";
  grid.columns[5].options = {"Daily", "Monthly", "Annual"};
  grid.columns[6].prototype.rangelow = -100.0;
  grid.columns[6].prototype.rangehigh = 100.0;
  grid.hasrowlabels = grid.hascolumnheader = true;
  grid.columnlabels.assign(8, "t");
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tessar = Tessar{};
  tessar.dialog.CURDIALOG = 1;
  gridservices.locate = find;
  const std::string in = fuzz::writeInput("in.csv", data, size);
  const std::string once = fuzz::folder() + "/once.csv", twice = fuzz::folder() + "/twice.csv";
  for (const int flags : {0, GridCsvLabels}) {
    build();
    WGridLoad(kId, in, flags == 0 ? 0 : 1, flags);
    WGridSaveHTML(kId, fuzz::folder() + "/out.htm", 1, INT_MAX, 1, INT_MAX, 0, "t", 1, 0xffffff);
    WGridSave(kId, once, 1, INT_MAX, 1, INT_MAX, flags);
    const int rows = grid.rowsinuse;
    build();
    grid.rowsinuse = rows;
    WGridLoad(kId, once, 0, flags);
    WGridSave(kId, twice, 1, INT_MAX, 1, INT_MAX, flags);
    const std::string a = slurp(once), b = slurp(twice);
    if (a != b) {
      // Replaying the input shows where the two saves part.
      const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
      std::fprintf(stderr, "labels %d: saves differ at byte %td\n", flags, at.first - a.begin());
      std::fwrite(a.data(), 1, a.size(), stderr);
      std::fputs("\n----\n", stderr);
      std::fwrite(b.data(), 1, b.size(), stderr);
      std::abort();
    }
  }
  return 0;
}
