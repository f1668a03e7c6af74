// Fuzz target: a CSV file read into a grid of every column type (plain, and with labels and
// growing rows), written back, read again and written again. The second load must give every
// cell, row label and title the same bytes as the first (the save writes what the load reads,
// in the encoding the file came in), the first save must hold every text cell in that
// encoding (encoded once, not twice), and the two saves must be the same bytes. The HTML export of the loaded grid runs too.
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
#include "platform/codepage.h"
#include "platform/os.h"
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

// Whether t is well-formed UTF-8 with a character beyond ASCII.
bool utf8(std::string_view t) {
  bool high = false;
  for (std::size_t i = 0; i < t.size();) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (c < 0x80) { ++i; continue; }
    high = true;
    const int n = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
    if (n == 0 || t.size() - i <= static_cast<std::size_t>(n)) return false;
    unsigned code = c & (0x3Fu >> n);
    for (int k = 1; k <= n; ++k) {
      const auto cc = static_cast<unsigned char>(t[i + static_cast<std::size_t>(k)]);
      if ((cc & 0xC0) != 0x80) return false;
      code = code << 6 | (cc & 0x3Fu);
    }
    constexpr unsigned kLeast[4] = {0, 0x80, 0x800, 0x10000};
    if (code < kLeast[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(n) + 1;
  }
  return high;
}

// UTF-8 as UTF-16 code units in the byte order asked for.
std::string utf16(std::string_view t, bool big) {
  std::string out;
  auto put = [&](unsigned u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    if (big) out += hi, out += lo;
    else out += lo, out += hi;
  };
  for (std::size_t i = 0; i < t.size();) {
    const auto c = static_cast<unsigned char>(t[i]);
    const int n = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    unsigned code = n == 0 ? c : c & (0x3Fu >> n);
    for (int k = 1; k <= n; ++k) code = code << 6 | (static_cast<unsigned char>(t[i + static_cast<std::size_t>(k)]) & 0x3Fu);
    i += static_cast<std::size_t>(n) + 1;
    if (code >= 0x10000) put(0xD800 + ((code - 0x10000) >> 10)), put(0xDC00 + ((code - 0x10000) & 0x3FF));
    else put(code);
  }
  return out;
}

// Every non-empty text cell as the file of the grid's encoding must hold it, with its quotes
// doubled: the code page's text in the file's encoding (a load refuses text the code page
// cannot hold, so a cell never keeps bytes of another encoding).
void textsInFile(const std::string& file, int flags) {
  const int encoding = grid.fileencoding;
  for (const GridColumn& c : grid.columns) {
    if (c.type != GridString) continue;
    for (int r = 0; r < grid.rowsinuse; ++r) {
      const char* p = &c.strings[static_cast<std::size_t>(r) * static_cast<std::size_t>(c.textlength + 1)];
      std::string t(p);
      if (t.empty()) continue;
      if (encoding >= GridFileUtf8) t = win::utf8FromCp1252(t);
      std::string q;
      for (char ch : t) {
        if (ch == '"') q += '"';
        q += ch;
      }
      if (encoding == GridFileUtf16LE || encoding == GridFileUtf16BE) q = utf16(q, encoding == GridFileUtf16BE);
      if (file.find(q) == std::string::npos) {
        std::fprintf(stderr, "labels %d: row %d's text is not in the saved file (encoding %d)\n", flags, r, encoding);
        std::fwrite(q.data(), 1, q.size(), stderr);
        std::abort();
      }
    }
  }
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
    textsInFile(slurp(once), flags);
    build();
    grid.rowsinuse = rows;
    WGridLoad(kId, once, 0, flags);
    // A Windows-1252 file whose bytes that are not UTF-8 lay outside the grid is saved as
    // well-formed UTF-8, which a file without a mark cannot tell from UTF-8: the one drift
    // allowed. It comes back as UTF-8, or is refused (a grid from no file) when that UTF-8
    // holds a character the code page lacks. A UTF-8 file whose other characters lay outside
    // comes back as plain ASCII, and a refused file (broken UTF-16) left a grid from no file,
    // which saves Windows-1252.
    const bool drift = encoding == GridFileCp1252 && utf8(slurp(once)) &&
                       (grid.fileencoding == GridFileUtf8 || grid.fileencoding == GridFileNone);
    const bool ascii = (encoding == GridFileUtf8 || encoding == GridFileNone) && grid.fileencoding == GridFileCp1252;
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
    if (!drift && a != b) differ("saves", flags, a, b);
  }
  return 0;
}
