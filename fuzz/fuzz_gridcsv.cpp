// Fuzz target: a CSV file read into a grid of every column type (plain, and with labels and
// growing rows), written back, read again and written again. The second load must give every
// cell, row label and title the same bytes as the first (the save writes what the load reads,
// in the encoding the file came in), and the two saves must be the same bytes. The HTML
// export of the loaded grid runs too.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
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

// Every byte the grid holds for its cells, row labels and titles, in one text: texts with their
// lengths, numbers bit for bit with their state bits.
std::string cells() {
  std::string out;
  auto text = [&](std::string_view t) {
    out += std::to_string(t.size());
    out += ':';
    out += t;
  };
  for (int r = 0; r < grid.rowsinuse; ++r) {
    const auto i = static_cast<std::size_t>(r);
    text(std::string_view(grid.rowlabels[i].data(), strnlen(grid.rowlabels[i].data(), 51)));
    for (const GridColumn& c : grid.columns) {
      out += static_cast<char>(c.states[i]);
      char bits[8] = {};
      switch (c.type) {
        case GridString:
          text(&c.strings[i * static_cast<std::size_t>(c.textlength + 1)]);
          break;
        case GridReal: std::memcpy(bits, &c.reals[i], sizeof(float)); out.append(bits, 8); break;
        case GridDouble: std::memcpy(bits, &c.doubles[i], sizeof(double)); out.append(bits, 8); break;
        default: out += std::to_string(c.integers[i]) + ';'; break;
      }
    }
  }
  for (const std::string& t : grid.columnlabels) text(t);
  return out;
}

[[noreturn]] void differ(const char* what, int flags, const std::string& a, const std::string& b) {
  const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  std::fprintf(stderr, "labels %d: %s differ at byte %td\n", flags, what, at.first - a.begin());
  std::fwrite(a.data(), 1, a.size(), stderr);
  std::fputs("\n----\n", stderr);
  std::fwrite(b.data(), 1, b.size(), stderr);
  std::abort();
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
    const int rows = grid.rowsinuse, encoding = grid.fileencoding;
    const std::string first = cells();
    build();
    grid.rowsinuse = rows;
    WGridLoad(kId, once, 0, flags);
    // A Windows-1252 file whose bytes that are not UTF-8 lay outside the grid comes back as
    // well-formed UTF-8, which a file without a mark cannot tell from UTF-8: the one drift
    // allowed. A UTF-8 file whose other characters lay outside comes back as plain ASCII.
    const bool drift = encoding == GridFileCp1252 && grid.fileencoding == GridFileUtf8;
    const bool ascii = encoding == GridFileUtf8 && grid.fileencoding == GridFileCp1252;
    if (grid.fileencoding != encoding && !drift && !ascii) {
      std::fprintf(stderr, "labels %d: encoding %d came back as %d\n", flags, encoding, grid.fileencoding);
      std::abort();
    }
    if (!drift) {
      const std::string second = cells();
      if (first != second) differ("cells", flags, first, second);
    }
    WGridSave(kId, twice, 1, INT_MAX, 1, INT_MAX, flags);
    const std::string a = slurp(once), b = slurp(twice);
    if (a != b) differ("saves", flags, a, b);
  }
  return 0;
}
