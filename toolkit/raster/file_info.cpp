// Graphics file identification. The type comes from fixed signatures and text markers in
// the first 128 bytes; the details from the header or a short scan of the file as text.
// Sections (grep "[SECTION]"): helpers | counts | identification | details
#include "toolkit/raster/file_info.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/os.h"
#include "toolkit/hardcopy/cgm_scan.h"
#include "toolkit/os/opsys.h"
#include "toolkit/raster/file_reader.h"
#include "toolkit/raster/png.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

//------------------------------------------------------------------------------
// [SECTION] Helpers
namespace {

constexpr int kRecord = 128;
constexpr char ESC = '\x1B';

// Units per inch and pens of plotter models 1-10; colours of HP-GL/2 models 1-5.
constexpr int kHpglUnits[10] = {1016, 1021, 1021, 1016, 1016, 1016, 1016, 1016, 1016, 1016};
constexpr int kHpglPens[10] = {4, 6, 6, 4, 6, 8, 8, 8, 6, 6};
constexpr int kHpgl2Colours[5] = {2, 256, 2, 256, 256};

std::string trimmedname(std::string_view name) {
  return std::string(name.substr(0, static_cast<std::size_t>(lentrim(name))));
}

// Opens an existing file for reading. A file that is not there is no failure of the
// caller's and records nothing; any other failure is recorded by IFileOpen.
int openexisting(std::string_view name) {
  int handle = -1;
  const int failed = silently([&] { IFileOpen(name, 0, handle); });
  if (failed == 0) return handle;
  const int why = tessar.error.ERRDETAIL;
  if (why == win::ERROR_FILE_NOT_FOUND || why == win::ERROR_PATH_NOT_FOUND) return -1;
  IFileOpen(name, 0, handle);
  return handle;
}

// 2^power as the toolkit's colour count: 0 once it no longer fits 31 bits.
int colourcount(int power) { return (power >= 0 && power <= 30) ? (1 << power) : 0; }

int clampint(long long v) {
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

// The first word of a text as a real, truncated toward zero after scaling; false when the
// word is no valid real or the result does not fit an integer.
bool realentry(std::string_view text, float scale, int& entry) {
  ErrorState& es = tessar.error;
  const int last = es.LASTERROR;
  es.LASTERROR = 0;
  float x = 0;
  IStringToReal(text, x);
  if (es.LASTERROR != 0) return false;   // its error stays recorded
  es.LASTERROR = last;
  const double v = static_cast<double>(x) * scale;
  if (!std::isfinite(v) || std::fabs(v) > 2147483647.0) return false;
  entry = static_cast<int>(v);
  return true;
}

// The text between the first two double quotes of a record, empty when there are none.
std::string quoted(const std::string& record) {
  const std::size_t a = record.find('"');
  if (a == std::string::npos) return {};
  const std::size_t b = record.find('"', a + 1);
  if (b == std::string::npos) return {};
  return record.substr(a + 1, b - a - 1);
}

// The two characters at p (1-based) of a record, then blanks over positions 1 to p + 1.
std::string takecommand(std::string& record, int p) {
  std::string command = record.substr(static_cast<std::size_t>(p - 1), 2);
  record.replace(0, std::min<std::size_t>(static_cast<std::size_t>(p + 1), record.size()),
                 std::min<std::size_t>(static_cast<std::size_t>(p + 1), record.size()), ' ');
  return command;
}

struct TextUnit {
  FileReader reader;
  bool open = false;
};

bool opentext(TextUnit& unit, std::string_view name) {
  unit.reader = FileReader{};
  const int failed = silently([&] { IFileOpen(name, 0, unit.reader.handle); });
  unit.open = failed == 0 && unit.reader.handle >= 0;
  return unit.open;
}

void closetext(TextUnit& unit) {
  if (unit.open) ifileclose(unit.reader.handle);
  unit.open = false;
}

}  // namespace

void yych2int(std::span<const std::uint8_t> bytes, int k, int& value) {
  if (k == 4) {
    const std::uint32_t u = std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
                            (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
    value = static_cast<int>(u);
  } else {
    value = bytes[0] | (bytes[1] << 8);
  }
}

//------------------------------------------------------------------------------
// [SECTION] Counts
// - yycntpic(), yycnthpg()

void yycntpic(std::string_view name, int& count) {
  int handle = -1;
  IFileOpen(name, 0, handle);
  if (handle < 0) {
    yyerror(1, "YYCNTPIC");
    return;
  }
  auto shortread = [] {
    tessar.error.ERRDETAIL = 0;
    tessar.error.ERRDETAILKIND = 2;
    yyerror(2, "YYCNTPIC");
  };
  FileReader reader;
  reader.handle = handle;
  if (!yyskipbytes(reader, 17)) {
    shortread();
  } else {
    count = 0;
    std::uint8_t op = 0;
    bool ok = true;
    while (ok && yyreadbyte(reader, op) == 1) {
      std::uint8_t b = 0;
      if (op == 0xA0 || op == 0xA2 || op == 0xAC) {
        ok = yyskipbytes(reader, 4);
      } else if (op == 0x30 || op == 0xE0) {
        ok = yyreadbyte(reader, b) == 1 && yyskipbytes(reader, (b + 1) * 4);
      } else if (op == 0xA7) {
        ok = yyskipbytes(reader, 1);
      } else if (op == 0xA8) {
        ok = yyskipbytes(reader, 1);
        while (ok && (ok = yyreadbyte(reader, b) == 1) && b != 0) {
        }
      } else if (op >= 0x60 && op <= 0x6F) {
        ++count;
      }
    }
    if (!ok) shortread();
  }
  ifileclose(handle);
  if (count == 0) count = 1;
}

void yycnthpg(std::string_view name, int& count) {
  ErrorState& es = tessar.error;
  TextUnit unit;
  if (!opentext(unit, name)) {
    es.ERRDETAIL = es.ERRDETAIL != 0 ? es.ERRDETAIL : win::ERROR_FILE_NOT_FOUND;
    es.ERRDETAILKIND = 1;
    yyerror(1, "YYCNTHPG");
    return;
  }
  count = 0;
  const int level = es.DEBUGLEVEL;
  es.DEBUGLEVEL = 0;
  std::string record;
  while (yyreadrecord(unit.reader, record, 10)) {
    const int p = ilocatechar(record);
    if (p == 0 || p > 9) continue;
    const std::string command = takecommand(record, p);
    if (command == "SC") {
      if (ilocatechar(record) != 0) {
        int v = 0;
        IStringToInteger(record, v);
        if (v == -3) ++count;
      }
    } else if (command == "CO") {
      if (static_cast<std::size_t>(p + 1) < record.size() &&
          record[static_cast<std::size_t>(p + 1)] == ':')
        continue;
      std::string inner = quoted(record);
      int v = 0;
      inextinteger(inner, v);
      if (v == 3) ++count;
    }
  }
  es.DEBUGLEVEL = level;
  if (unit.reader.failed) {
    es.ERRDETAILKIND = 1;
    yyerror(2, "YYCNTHPG");
    closetext(unit);
    return;
  }
  closetext(unit);
  if (count == 0) count = 1;
}

//------------------------------------------------------------------------------
// [SECTION] Identification
// - igrfileinfo()

namespace {

using Record = std::array<std::uint8_t, kRecord>;

std::string_view textof(const Record& r) {
  return {reinterpret_cast<const char*>(r.data()), r.size()};
}

bool at(std::string_view record, int offset, std::string_view what) {
  if (offset < 0 || offset + what.size() > record.size()) return false;
  return record.substr(static_cast<std::size_t>(offset), what.size()) == what;
}

bool contains(std::string_view record, std::string_view what) {
  return record.find(what) != std::string_view::npos;
}

int le2(const Record& r, int offset) {
  int v = 0;
  yych2int(std::span<const std::uint8_t>(r).subspan(static_cast<std::size_t>(offset), 2), 2, v);
  return v;
}

int le4(const Record& r, int offset) {
  int v = 0;
  yych2int(std::span<const std::uint8_t>(r).subspan(static_cast<std::size_t>(offset), 4), 4, v);
  return v;
}

int be4(const Record& r, int offset) {
  return yypngc2i(std::span<const std::uint8_t>(r).subspan(static_cast<std::size_t>(offset), 4));
}

// A file whose first word is "999": DXF when its comments lead to a group 0 "SECTION".
int dxfcommentscan(std::string_view name) {
  TextUnit unit;
  if (!opentext(unit, name)) return 0;
  int type = 0;
  std::string code, value;
  for (;;) {
    if (!yyreadrecord(unit.reader, code, 20) || !yyreadrecord(unit.reader, value, 20)) break;
    int group = 0;
    std::string word = code;
    inextinteger(word, group);
    if (group == 999) continue;
    if (group != 0) break;
    const int p = ilocatechar(value);
    if (p > 0) {
      const std::string_view rest = std::string_view(value).substr(static_cast<std::size_t>(p - 1));
      if (rest.substr(0, 7) == "SECTION" && ilocatechar(rest.substr(7)) == 0) type = 14;
    }
    break;
  }
  closetext(unit);
  return type;
}

int identify(const Record& raw, std::string_view name) {
  const std::string_view r = textof(raw);
  const int p = ilocatechar(r);
  if (p > 0) {
    const int o = p - 1;
    if (at(r, o, "IN")) return 4;
    if (at(r, o, "\x1B%0B")) return 5;
    if (at(r, o, "%!PS")) return 10;
    if ((at(r, o, "0\r") || at(r, o, "0\n")) && contains(r, "SECTION")) return 14;
    if (at(r, o, "999\r") || at(r, o, "999\n")) return dxfcommentscan(name);
  }
  if ((contains(r, "<?xml ") || contains(r, "<?XML ")) &&
      (contains(r, "<!doctype svg") || contains(r, "<!DOCTYPE svg")))
    return 16;
  if (raw[0] == 10 && raw[2] == 1) return 2;
  if (at(r, 0, "BM") && le4(raw, 6) == 0 && le4(raw, 14) != 12) return 1;
  if (at(r, 0, std::string_view("\x01\x00\x09\x00\x00\x03", 6)) ||
      static_cast<std::uint32_t>(le4(raw, 0)) == 0x9AC6CDD7u || le4(raw, 40) == 0x464D4520)
    return 3;
  if (raw[0] == 0 && raw[1] >= 0x10 && raw[2] < 0x20) return 6;
  if (raw[0] == 1 && raw[4] == 1 && raw[6] == 8 && raw[8] == 0x44 && raw[13] == 0x0C) return 7;
  if (at(r, 0, "Draw")) return 8;
  if (at(r, 0, "\x1B[?38h")) return 9;
  if (at(r, 0, "\x1B" "E") || at(r, 0, "\x1B&a")) return 11;
  if (at(r, 0, "\x1B@")) return 12;
  if (at(r, 0, std::string_view("\x1BU\x01", 3))) return 13;
  if (at(r, 0, "\x89PNG\r\n\x1A\n")) return 15;
  return 0;
}

//------------------------------------------------------------------------------
// [SECTION] Details
// - hpglscan(), postscript, svg, dxf and the header-only kinds

// Types 4 and 5: the plot size and plotter model from the "SC", "IP" (and "CO") commands.
void hpglscan(TextUnit& unit, std::string record, bool hpgl2, std::array<int, 7>& e) {
  int width = 0, height = 0, model = -1;
  auto more = [&] {
    return hpgl2 ? (e[2] == -1 || e[3] == -1 || model == -1)
                 : (width == 0 || height == 0 || model == -1);
  };
  for (;;) {
    bool nextrecord = false;
    while (!nextrecord) {
      const int p = ilocatechar(record);
      if (p == 0 || p >= kRecord) break;
      const std::string command = takecommand(record, p);
      if (command == "SC") {
        int a = 0, b = 0;
        inextinteger(record, a);
        inextinteger(record, b);
        if (a == -13) model = hpgl2 ? b - 10 : b;
        nextrecord = true;
      } else if (command == "IP") {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        inextinteger(record, x1);
        inextinteger(record, y1);
        inextinteger(record, x2);
        inextinteger(record, y2);
        width = x2 - x1 + 1;
        height = y2 - y1 + 1;
        if (hpgl2) {
          e[2] = clampint(static_cast<long long>(width) * 72 / 1016);
          e[3] = clampint(static_cast<long long>(height) * 72 / 1016);
        }
        nextrecord = true;
      } else if (hpgl2 && command == "CO") {
        if (record[static_cast<std::size_t>(p + 1)] != ':') {
          std::string inner = quoted(record);
          int a = 0, b = 0;
          inextinteger(inner, a);
          inextinteger(inner, b);
          if (a == 13) model = b;
        }
        nextrecord = true;
      } else {
        const std::size_t semi = record.find(';');
        if (semi == std::string::npos) break;
        record.replace(0, semi + 1, semi + 1, ' ');
      }
    }
    if (!yyreadrecord(unit.reader, record, kRecord)) break;
    if (!more()) break;
  }
  if (hpgl2) {
    if (model >= 1 && model <= 5) e[4] = kHpgl2Colours[model - 1];
    e[5] = model;
    return;
  }
  if (model >= 1 && model <= 10) {
    e[2] = clampint(static_cast<long long>(width) * 72 / kHpglUnits[model - 1]);
    e[3] = clampint(static_cast<long long>(height) * 72 / kHpglUnits[model - 1]);
    e[4] = kHpglPens[model - 1];
  }
  e[5] = model;
}

// The value of attribute="..." in a lower-cased record into entry, as a truncated real.
void svgattribute(const std::string& record, std::string_view attribute, int& entry) {
  const std::size_t a = record.find(attribute);
  if (a == std::string::npos) return;
  const std::size_t from = a + attribute.size();
  const std::size_t to = record.find('"', from);
  if (to == std::string::npos) return;
  int v = 0;
  if (realentry(record.substr(from, to - from), 1.0f, v)) entry = v;
}

}  // namespace

void igrfileinfo(std::string_view name, std::span<int> info, int n) {
  if (info.empty()) return;
  n = std::max(n, 1);
  n = std::min(n, static_cast<int>(info.size()));
  info[0] = -1;
  const std::string file = trimmedname(name);
  if (ilocatechar(file) == 0) return;
  const int handle = openexisting(file);
  if (handle < 0) return;
  int size = 0;
  IFileSeek(handle, size, 2);
  if (size < 4) {
    ifileclose(handle);
    return;
  }
  int start = 0;
  IFileSeek(handle, start, 0);
  info[0] = 0;
  // Cleared before every read, so a short file is never tested against older bytes.
  Record raw{};
  int got = 0;
  IFileReadChar(handle, std::span<std::uint8_t>(raw), kRecord, got);
  ifileclose(handle);

  const int type = identify(raw, file);
  info[0] = type;
  std::array<int, 7> e{};   // e[2] to e[6] are entries 2 to 6
  e.fill(-1);
  auto store = [&] {
    for (int k = 2; k <= std::min(n, 6); ++k) info[static_cast<std::size_t>(k - 1)] = e[static_cast<std::size_t>(k)];
  };
  if (type < 1 || type > 16) {
    store();   // an unknown file has no details
    return;
  }
  if (n < 2) return;

  TextUnit unit;
  std::string record;
  const bool textual = type == 4 || type == 5 || type == 10 || type == 14 || type == 16;
  if (textual) {
    if (!opentext(unit, file) || !yyreadrecord(unit.reader, record, kRecord)) {
      closetext(unit);
      store();
      return;
    }
  }
  ErrorState& es = tessar.error;
  const int level = es.DEBUGLEVEL;
  const std::string_view r = textof(raw);

  switch (type) {
    case 1: {
      const int bits = le2(raw, 28);
      const int compression = le4(raw, 30);
      e[2] = le4(raw, 18);
      e[3] = le4(raw, 22);
      e[6] = bits;
      e[4] = colourcount(bits == 32 ? 24 : bits);
      e[5] = (compression == 0 || compression == 3) ? 0 : 1;
      break;
    }
    case 2:
      e[2] = le2(raw, 8) - le2(raw, 4) + 1;
      e[3] = le2(raw, 10) - le2(raw, 6) + 1;
      e[6] = raw[3] * raw[65];
      e[4] = colourcount(e[6]);
      e[5] = raw[1];
      break;
    case 3:
      if (static_cast<std::uint32_t>(le4(raw, 0)) == 0x9AC6CDD7u) {
        e[4] = 1;
        const long long unitsperinch = le2(raw, 14);
        if (unitsperinch != 0) {
          e[2] = clampint((le2(raw, 10) - le2(raw, 6) + 1LL) * 72 / unitsperinch);
          e[3] = clampint((le2(raw, 12) - le2(raw, 8) + 1LL) * 72 / unitsperinch);
        }
      } else if (le4(raw, 40) == 0x464D4520) {
        e[4] = 2;
        e[2] = clampint((static_cast<long long>(le4(raw, 32)) - le4(raw, 24) + 1) * 72 / 2540);
        e[3] = clampint((static_cast<long long>(le4(raw, 36)) - le4(raw, 28) + 1) * 72 / 2540);
      } else {
        e[4] = 0;
      }
      break;
    case 4:
    case 5:
      es.DEBUGLEVEL = 0;
      hpglscan(unit, record, type == 5, e);
      es.DEBUGLEVEL = level;
      if (n >= 6) {
        closetext(unit);
        int pages = e[6];
        yycnthpg(file, pages);
        e[6] = pages;
      }
      break;
    case 6: {
      int pictures = -1;
      float ratio = 0.0f;
      yyinfocgm(file, pictures, ratio);
      e[4] = pictures;
      e[2] = 1000;
      const double height = 1000.0 / static_cast<double>(ratio);
      if (ratio != 0.0f && std::isfinite(height) && std::fabs(height) <= 2147483647.0)
        e[3] = static_cast<int>(height);
      break;
    }
    case 7:
      e[2] = 3201;
      e[3] = 2312;
      if (n >= 4) {
        int pictures = e[4];
        yycntpic(file, pictures);
        e[4] = pictures;
      }
      break;
    case 8:
      e[2] = le4(raw, 32) / 640;
      e[3] = le4(raw, 36) / 640;
      break;
    case 10: {
      es.DEBUGLEVEL = 0;
      if (!yyreadrecord(unit.reader, record, kRecord)) {
        es.DEBUGLEVEL = level;
        break;
      }
      const int p = ilocatechar(record);
      constexpr std::string_view kBox = "%%BoundingBox:";
      if (p > 0 && std::string_view(record).substr(static_cast<std::size_t>(p - 1)).starts_with(kBox)) {
        e[4] = 1;
        std::string rest = record.substr(static_cast<std::size_t>(p - 1) + kBox.size());
        int llx = 0, lly = 0, urx = 0, ury = 0;
        inextinteger(rest, llx);
        inextinteger(rest, lly);
        inextinteger(rest, urx);
        inextinteger(rest, ury);
        e[2] = urx;
        e[3] = ury;
      } else {
        e[4] = 0;
      }
      es.DEBUGLEVEL = level;
      break;
    }
    case 11: {
      e[4] = (contains(r, "s3u1A") || contains(r, "s-3u1A")) ? 8 : 2;
      const std::size_t t = r.find("\x1B*t");
      if (t != std::string_view::npos) {
        int dpi = 0;
        IStringToInteger(r.substr(t + 3, 3), dpi);
        if (dpi > 0) e[5] = dpi;
      }
      break;
    }
    case 12: {
      e[4] = contains(r, std::string_view("\x1Br\x04", 3)) ? 8 : 0;
      const std::size_t u = r.find(std::string_view("\x1B(U\x01\x00", 5));
      if (u != std::string_view::npos && u + 5 < r.size()) {
        const int m = raw[u + 5];
        if (m != 0) e[5] = 3600 / m;
      }
      break;
    }
    case 13:
      e[4] = contains(r, std::string_view("\x1Br\x04", 3)) ? 8 : 0;
      break;
    case 14: {
      es.DEBUGLEVEL = 0;
      for (int k = 2; k <= 16; ++k) {
        if (!yyreadrecord(unit.reader, record, kRecord)) break;
        int v = 0;
        if (k == 14 && realentry(record, 72.0f, v)) e[2] = v;
        if (k == 16 && realentry(record, 72.0f, v)) e[3] = v;
      }
      es.DEBUGLEVEL = level;
      break;
    }
    case 15: {
      e[2] = be4(raw, 16);
      e[3] = be4(raw, 20);
      const int depth = raw[24], colourtype = raw[25];
      if (colourtype == 2 || colourtype == 6) {
        e[4] = 16777216;
        e[6] = 24;
      } else if (colourtype == 3) {
        e[4] = colourcount(depth);
        e[6] = depth;
      }
      e[5] = raw[28];
      break;
    }
    case 16: {
      es.DEBUGLEVEL = 0;
      while (yyreadrecord(unit.reader, record, kRecord)) {
        ilowercase(record);
        if (record.find("<svg ") == std::string::npos) continue;
        svgattribute(record, "width=\"", e[2]);
        svgattribute(record, "height=\"", e[3]);
        break;
      }
      es.DEBUGLEVEL = level;
      break;
    }
    default:
      break;
  }
  closetext(unit);
  store();
}
