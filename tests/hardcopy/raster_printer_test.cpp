// Raster printers: page set-up and escape strings by model, row compression, pin-printer counts, and PCL, ESC/P2 and pin-printer streams of the test picture decoded back to dots by decoders written here from the printers' published commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/hang_guard.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/hardcopy/refused_page.h"
#include "tests/support/test_picture.h"
#include "toolkit/hardcopy/printer_models.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hcdrivers/raster_printer.h"
#include "toolkit/state/tessar.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const std::string E(1, '\x1b');

std::string text(const std::array<char, 50>& s, int n) { return std::string(s.data(), static_cast<std::size_t>(n)); }

class RasterPrinterSetUp : public ::testing::Test {
 protected:
  void SetUp() override { testpicturegraphics(800, 600); }
  // Selects the model with the driver's defaults, then the options given.
  static void select(int model, std::initializer_list<std::pair<int, int>> options = {}) {
    iprinter(model);
    igrhardcopyselect(1, HCRASTER);
    for (auto [n, v] : options) igrhardcopyoptions(n, v);
  }
  // Opens a hardcopy so that the page geometry is set, then sets up the page.
  static void open() {
    igrhardcopy(hc::scratch("setup.prn").string());
    RasterState& rs = tessar.raster.state;
    yypcod(rs.RASPAPERWIDTH, rs.RASPAPERHEIGHT);
  }
  void TearDown() override { igrhardcopy("S"); }
};

TEST_F(RasterPrinterSetUp, PclModelDefaultsAndStartStrings) {
  select(28);
  open();
  const RasterState& rs = tessar.raster.state;
  const RasterPrinter& rp = tessar.hardcopy.printer;
  EXPECT_EQ(rs.RASWIDTH, 1200);
  EXPECT_EQ(rs.RASHEIGHT, 900);
  EXPECT_EQ(rs.RASPAPERWIDTH, 900);
  EXPECT_EQ(rs.RASPAPERHEIGHT, 1200);
  EXPECT_EQ(text(rp.STARTSTRING, rp.STARTLEN),
            E + "E" + E + "&a0700h1000V" + E + "*t150R" + E + "*r0904s1A" + E + "*b2M");
  EXPECT_EQ(std::string(rp.ENDSTRING.data(), static_cast<std::size_t>(rp.ENDLEN)), E + "&l01X" + E + "*rB" + E + "E") << "one copy";
  igrhardcopy("S");

  // 300 dpi portrait over 8 inches: 2400 dots, 300 bytes a row.
  select(28, {{13, 1}, {5, 0}, {3, 100}, {4, 70}, {1, 576}});
  open();
  EXPECT_EQ(text(rp.STARTSTRING, rp.STARTLEN),
            E + "E" + E + "&a1000h0700V" + E + "*t300R" + E + "*r2400s1A" + E + "*b2M");
  igrhardcopy("S");
  select(31, {{13, 1}, {5, 0}, {3, 100}, {4, 70}, {1, 576}});
  open();
  EXPECT_NE(text(rp.STARTSTRING, rp.STARTLEN).find(E + "*r2400s-3u1A"), std::string::npos);
}

TEST_F(RasterPrinterSetUp, StreamModes) {
  const RasterPrinter& rp = tessar.hardcopy.printer;
  struct Case {
    int mode;
    bool reset, eject;
  };
  for (const Case& c : {Case{0, false, false}, Case{1, false, true}, Case{2, true, false}, Case{3, true, true}}) {
    SCOPED_TRACE(c.mode);
    select(28, {{19, c.mode}});
    open();
    EXPECT_EQ(text(rp.STARTSTRING, rp.STARTLEN).starts_with(E + "E"), c.reset);
    EXPECT_EQ(std::string(rp.ENDSTRING.data(), static_cast<std::size_t>(rp.ENDLEN)).ends_with(E + "E"), c.eject);
    igrhardcopy("S");
  }
}

TEST_F(RasterPrinterSetUp, PinPrinters) {
  const RasterState& rs = tessar.raster.state;
  const RasterPrinter& rp = tessar.hardcopy.printer;
  select(5);
  open();
  EXPECT_FLOAT_EQ(rs.RASXRES, 120);
  EXPECT_NEAR(rs.RASYRES, 150.26f, 0.01f);
  EXPECT_EQ(rs.RASHEIGHT, 901);
  EXPECT_EQ(rp.PASSFACTOR, 2);
  EXPECT_EQ(rp.ROWPREFIX[0][1], 'L');
  igrhardcopy("S");
  select(17, {{13, 1}});
  open();
  EXPECT_FLOAT_EQ(rs.RASYRES, 180);
  EXPECT_EQ(rp.ROWPREFIX[0][1], '*');
  EXPECT_EQ(rp.ROWPREFIX[0][2], 40);
  EXPECT_EQ(text(rp.STARTSTRING, rp.STARTLEN), E + "U\x01" + E + "3\x18");
}

TEST_F(RasterPrinterSetUp, EscP2StringsAndUnits) {
  const RasterPrinter& rp = tessar.hardcopy.printer;
  select(36, {{13, 1}});
  open();
  ASSERT_EQ(rp.STARTLEN, 21);
  EXPECT_EQ(rp.STARTSTRING[13], 5) << "one unit is one dot at 720 dpi";
  EXPECT_EQ(rp.PREFIXLEN, 12);
  EXPECT_EQ(std::string(rp.ROWFEED.data(), 7), E + "(v" + std::string("\x02\x00\x01\x00", 4));
}

TEST(RasterPrinterCompression, RowsAsTablesOfBytes) {
  tessarreset();
  struct Case {
    const char* why;
    int method;
    Bytes row, want;
  };
  Bytes distinct129, distinct300;
  for (int k = 0; k < 129; ++k) distinct129.push_back(static_cast<std::uint8_t>(k % 2 == 0 ? k / 2 : 200 - k / 2));
  for (int k = 0; k < 300; ++k) distinct300.push_back(static_cast<std::uint8_t>(k % 3 + 3 * ((k / 3) % 50)));
  auto literal = [](const Bytes& row, std::size_t from, std::size_t n) {
    Bytes out{static_cast<std::uint8_t>(n - 1)};
    out.insert(out.end(), row.begin() + static_cast<long>(from), row.begin() + static_cast<long>(from + n));
    return out;
  };
  auto join = [](std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  const Case cases[] = {
      {"129 bytes without repeats", 2, distinct129, join({literal(distinct129, 0, 128), literal(distinct129, 128, 1)})},
      {"300 bytes without repeats", 2, distinct300,
       join({literal(distinct300, 0, 127), literal(distinct300, 127, 127), literal(distinct300, 254, 46)})},
      {"a literal then a run", 2, {1, 2, 2, 2}, {0, 1, 254, 2}},
      {"300 equal bytes in pairs", 1, Bytes(300, 9), {255, 9, 43, 9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    tessar.hardcopy.printer.COMPRESSION = c.method;
    Bytes row = c.row;
    row.resize(2 * row.size() + 8);
    int count = static_cast<int>(c.row.size());
    yycmpr(row, count, 0);
    EXPECT_EQ(Bytes(row.begin(), row.begin() + count), c.want);
    const auto& pf = tessar.hardcopy.printer.ROWPREFIX[0];
    EXPECT_EQ(std::string(pf.data(), static_cast<std::size_t>(tessar.hardcopy.printer.PREFIXLEN)),
              E + "*b" + std::to_string(c.want.size()) + "W");
  }
  // ESC/P2 keeps a row raw when packing does not make it shorter.
  Bytes work(400);
  Bytes run(129, 7);
  int count = 129;
  yycmprp2(run, count, work);
  EXPECT_EQ(Bytes(run.begin(), run.begin() + count), (Bytes{130, 7, 255, 7}));
  EXPECT_EQ(tessar.hardcopy.printer.ROWPREFIX[0][6], 1);
  Bytes two{1, 2};
  count = 2;
  yycmprp2(two, count, work);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(two, (Bytes{1, 2}));
  EXPECT_EQ(tessar.hardcopy.printer.ROWPREFIX[0][6], 0);
}

TEST(RasterPrinterCompression, PinPrinterCounts) {
  tessarreset();
  RasterPrinter& rp = tessar.hardcopy.printer;
  rp.PINS = 24;
  rp.PRCLASS = 5;
  rp.PREFIXLEN = 5;
  int last = 7;
  yybitimg(last);
  EXPECT_EQ(last, 9);
  EXPECT_EQ(rp.ROWPREFIX[0][3], 3);
  rp.PRCLASS = 4;
  rp.PREFIXLEN = 6;
  last = 7;
  yybitimg(last);
  EXPECT_EQ(last, 7);
  EXPECT_EQ(rp.ROWPREFIX[0][3], 8);
}

// Dots as a decoder saw them: rows down the paper of (colour, dots across).
using Dots = std::map<std::pair<int, int>, std::vector<bool>>;   // (row, colour) -> dots

// PCL raster graphics: ESC * b # W / V carry a row (plane V, last plane W), ESC * b # M sets
// the compression (0 raw, 1 run-length pairs of count + 1 and byte, 2 TIFF PackBits).
Dots decodepcl(const std::string& s, int width) {
  Dots dots;
  int row = 0, plane = 0, mode = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] != '\x1b') {
      ++i;
      continue;
    }
    ++i;
    if (i < s.size() && s[i] == 'E') {
      ++i;
      continue;
    }
    const char group = s[i++], kind = s[i++];
    for (;;) {
      std::string value;
      while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '-' || s[i] == '+')) value += s[i++];
      const char command = s[i++];
      const int v = value.empty() ? 0 : std::stoi(value);
      if (group == '*' && kind == 'b' && (command == 'W' || command == 'V')) {
        Bytes data(s.begin() + static_cast<long>(i), s.begin() + static_cast<long>(i + static_cast<std::size_t>(v)));
        i += static_cast<std::size_t>(v);
        Bytes raw;
        if (mode == 0) raw = data;
        for (std::size_t k = 0; mode == 1 && k + 1 < data.size(); k += 2) raw.insert(raw.end(), data[k] + 1u, data[k + 1]);
        for (std::size_t k = 0; mode == 2 && k < data.size();) {
          const int n = static_cast<std::int8_t>(data[k++]);
          if (n >= 0) {
            raw.insert(raw.end(), data.begin() + static_cast<long>(k), data.begin() + static_cast<long>(k + static_cast<std::size_t>(n) + 1));
            k += static_cast<std::size_t>(n) + 1;
          } else if (n != -128) {
            raw.insert(raw.end(), static_cast<std::size_t>(1 - n), data[k++]);
          }
        }
        std::vector<bool>& bits = dots[{row, plane}];
        for (int x = 0; x < width; ++x)
          bits.push_back(static_cast<std::size_t>(x / 8) < raw.size() && ((raw[static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1));
        if (command == 'W') {
          ++row;
          plane = 0;
        } else {
          ++plane;
        }
      } else if (group == '*' && kind == 'b' && (command == 'M' || command == 'm')) {
        mode = v;
      }
      if (std::isupper(static_cast<unsigned char>(command))) break;
    }
  }
  return dots;
}

// ESC/P2: ESC r n colour, ESC . c v h m nL nH raster row (c 1: TIFF PackBits), CR back to
// the left, ESC ( v 2 0 1 0 one row down, ESC ( G/U/V and ESC \ set-up and moves.
Dots decodeescp2(const std::string& s) {
  Dots dots;
  int row = 0, colour = 4;   // 4: no colour chosen (one plane)
  std::size_t i = 0;
  auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
  while (i < s.size()) {
    if (s[i] != '\x1b') {
      ++i;
      continue;
    }
    const char c = s[i + 1];
    if (c == '@') {
      i += 2;
    } else if (c == '(') {
      const char what = s[i + 2];
      const std::size_t n = byte(i + 3) + 256u * byte(i + 4);
      if (what == 'v') row += byte(i + 5) + 256 * byte(i + 6);
      i += 5 + n;
    } else if (c == '\\') {
      i += 4;
    } else if (c == 'r') {
      colour = byte(i + 2);
      i += 3;
    } else if (c == '.') {
      const int compressed = byte(i + 2);
      const int n = byte(i + 6) + 256 * byte(i + 7);
      i += 8;
      const std::size_t need = static_cast<std::size_t>((n + 7) / 8);
      Bytes raw;
      while (raw.size() < need) {
        if (compressed == 0) {
          raw.push_back(byte(i++));
          continue;
        }
        const int k = static_cast<std::int8_t>(byte(i++));
        if (k >= 0) {
          for (int j = 0; j <= k; ++j) raw.push_back(byte(i++));
        } else {
          raw.insert(raw.end(), static_cast<std::size_t>(1 - k), byte(i++));
        }
      }
      std::vector<bool>& bits = dots[{row, colour}];
      for (int x = 0; x < n; ++x) bits.push_back((raw[static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1);
    } else {
      i += 2;
    }
  }
  return dots;
}

// 8- and 24-pin bit images: ESC * m nL nH (or ESC L / K / Z nL nH) then n columns of one byte
// (8 pins) or three (24 pins), top pin in the high bit; CR LF ends a band of 8 or 24 rows.
Dots decodepins(const std::string& s, int pins, int margin) {   // margin in columns
  Dots dots;
  int band = 0;
  std::size_t i = 0;
  auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
  while (i < s.size()) {
    if (s[i] == '\n') {
      ++band;
      ++i;
      continue;
    }
    if (s[i] != '\x1b') {
      ++i;
      continue;
    }
    const char c = s[i + 1];
    std::size_t columns = 0;
    if (c == '*') {
      columns = byte(i + 3) + 256u * byte(i + 4);
      i += 5;
    } else if (c == 'L' || c == 'K' || c == 'Z') {
      columns = byte(i + 2) + 256u * byte(i + 3);
      i += 4;
    } else {
      i += c == 'U' || c == 'J' || c == '3' ? 3 : 2;
      continue;
    }
    const std::size_t per = static_cast<std::size_t>(pins / 8);
    for (std::size_t col = 0; col < columns; ++col) {
      for (std::size_t b = 0; b < per; ++b) {
        const std::uint8_t v = byte(i + col * per + b);
        for (int bit = 0; bit < 8; ++bit) {
          if (((v >> (7 - bit)) & 1) == 0) continue;
          std::vector<bool>& dotsrow = dots[{band * pins + static_cast<int>(b) * 8 + bit, 4}];
          if (col < static_cast<std::size_t>(margin)) continue;
          const std::size_t x = col - static_cast<std::size_t>(margin);
          if (dotsrow.size() <= x) dotsrow.resize(x + 1);
          dotsrow[x] = true;
        }
      }
    }
    i += columns * per;
  }
  return dots;
}

class RasterPrinterStream : public ::testing::Test {
 protected:
  void SetUp() override { testpicturegraphics(800, 600); }
  // Prints the test picture on the model; keeps the page as drawn and returns the stream.
  std::string print(int model, std::initializer_list<std::pair<int, int>> options) {
    iprinter(model);
    igrhardcopyselect(1, HCRASTER);
    igrhardcopyoptions(1, 288);
    igrhardcopyoptions(2, 216);
    for (auto [n, v] : options) igrhardcopyoptions(n, v);
    const std::string path = hc::scratch("page.prn").string();
    igrhardcopy(path);
    drawtestpicture();
    page = tessar.raster.IRBUFF;
    state = tessar.raster.state;
    igrhardcopy("S");
    EXPECT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 0);
    return tw::test::slurp(path);
  }
  // The page's pixel under paper dot (x, y) in plane p, by the page's orientation.
  int dot(int x, int y, int p, bool landscape) const {
    const int c = landscape ? state.RASWIDTH - 1 - y : x;
    const int r = landscape ? state.RASHEIGHT - 1 - x : state.RASHEIGHT - 1 - y;
    return static_cast<int>((page[static_cast<std::size_t>(c / 32 + r * state.RASROWWORDS + p * state.RASPLANEWORDS)] >> (c % 32)) & 1u);
  }
  std::vector<std::uint32_t> page;
  RasterState state;
};

TEST_F(RasterPrinterStream, PclRowsDecodeToThePage) {
  struct Case {
    int model, compression, landscape;
  };
  for (const Case& c : {Case{28, 0, 0}, Case{28, 1, 1}, Case{28, 2, 0}, Case{21, 2, 1}, Case{31, 0, 0}}) {
    SCOPED_TRACE("model " + std::to_string(c.model) + ", compression " + std::to_string(c.compression));
    const std::string s = print(c.model, {{24, c.compression}, {5, c.landscape}, {13, 3}});
    const int planes = tessar.hardcopy.printer.PLANESUSED;
    const Dots d = decodepcl(s, state.RASPAPERWIDTH);
    ASSERT_EQ(d.size(), static_cast<std::size_t>(state.RASPAPERHEIGHT * planes));
    int inked = 0, wrong = 0;
    for (const auto& [where, bits] : d) {
      for (int x = 0; x < state.RASPAPERWIDTH; ++x) {
        const int want = dot(x, where.first, where.second, c.landscape != 0);
        inked += want;
        wrong += bits[static_cast<std::size_t>(x)] != (want != 0);
      }
    }
    EXPECT_GT(inked, 1000);
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(s.ends_with(E + "*rB" + E + "E"));
  }
}

TEST_F(RasterPrinterStream, PclRowCounts) {
  const std::string s = print(28, {{24, 0}, {5, 0}, {13, 4}});
  EXPECT_NE(s.find(E + "*b000W" + E), std::string::npos) << "a blank row sends no bytes";
  // A 600 dpi row 17 inches wide has more than 999 bytes: its count is written whole.
  iprinter(29);
  igrhardcopyselect(1, HCRASTER);
  for (auto [n, v] : {std::pair{1, 1224}, {2, 20}, {13, 1}, {24, 0}, {5, 0}, {3, 0}}) igrhardcopyoptions(n, v);
  const std::string path = hc::scratch("wide.prn").string();
  igrhardcopy(path);
  tessar.raster.IRBUFF.assign(tessar.raster.IRBUFF.size(), 0xFFFFFFFFu);
  tessar.graphics.operands.PLOTSTARTED = 1;
  igrhardcopy("S");
  const std::string wide = tw::test::slurp(path);
  EXPECT_NE(wide.find(E + "*b1275W"), std::string::npos);
  const Dots d = decodepcl(wide, 10200);
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(std::count(d.begin()->second.begin(), d.begin()->second.end(), true), 10200);
}

TEST_F(RasterPrinterStream, EscP2RowsDecodeToThePage) {
  for (int model : {36, 37}) {
    SCOPED_TRACE(model);
    const std::string s = print(model, {{13, 3}, {5, 0}});
    const bool colour = tessar.hardcopy.printer.PLANESUSED > 1;
    const Dots d = decodeescp2(s);
    static const std::map<int, int> plane = {{4, 2}, {1, 1}, {2, 0}, {0, -1}};
    int wrong = 0, inked = 0, blackinothers = 0;
    for (const auto& [where, bits] : d) {
      for (int x = 0; x < state.RASPAPERWIDTH; ++x) {
        const bool got = static_cast<std::size_t>(x) < bits.size() && bits[static_cast<std::size_t>(x)];
        bool want = false;
        if (!colour) {
          want = dot(x, where.first, 0, false) != 0;
        } else {
          const bool all = dot(x, where.first, 0, false) && dot(x, where.first, 1, false) && dot(x, where.first, 2, false);
          const int p = plane.at(where.second);
          want = p < 0 ? all : (dot(x, where.first, p, false) && !all);
          blackinothers += p >= 0 && all && got;
        }
        inked += want;
        wrong += got != want;
      }
    }
    EXPECT_GT(inked, 1000);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(blackinothers, 0) << "black dots go in the black pass only";
  }
}

TEST_F(RasterPrinterStream, PinBandsDecodeToThePage) {
  struct Case {
    int model, resolution, pins;
  };
  for (const Case& c : {Case{5, 3, 8}, Case{17, 3, 24}}) {
    SCOPED_TRACE(c.model);
    const std::string s = print(c.model, {{13, c.resolution}, {3, 10}});
    const int margin = tessar.hardcopy.printer.LEFTMARGIN;
    const Dots d = decodepins(s, c.pins, margin / (c.pins / 8));
    int wrong = 0, inked = 0;
    for (int y = 0; y < state.RASPAPERHEIGHT; ++y) {
      const auto it = d.find({y, 4});
      for (int x = 0; x < state.RASPAPERWIDTH; ++x) {
        const bool got = it != d.end() && static_cast<std::size_t>(x) < it->second.size() && it->second[static_cast<std::size_t>(x)];
        const bool want = dot(x, y, 0, false) != 0;
        inked += want;
        wrong += got != want;
      }
    }
    EXPECT_GT(inked, 1000);
    EXPECT_EQ(wrong, 0);
  }
}

// Rows wider than a printer's commands can count (the ESC/P2 dot count and the pin printers'
// column count are 16-bit, a PCL row must fit the 40000-byte buffer) are printed at the next
// lower resolution, every dot of every row sent, and the lowering is reported with error 34
// as the bitmap-file driver reports a smaller page; the widest page at the last resolution
// is refused with error 34, never sent with a wrapped count or a cut row.
TEST_F(RasterPrinterStream, RowsTooWideForTheirCountsTakeALowerResolution) {
  struct Case {
    int model, pins, widthpoints, resolution;   // the resolution the page gets
  };
  // Epson Stylus (ESC/P2, 720 dpi first): 7,000 points are 70,000 dots; Epson LQ (24 pins,
  // 360 dpi): 14,000 points are 70,000 columns; LaserJet 4 (PCL, 600 dpi): 40,000 points
  // are 41,667 bytes a row.
  for (const Case& c : {Case{36, 1, 7000, 360}, Case{17, 24, 14000, 180}, Case{29, 1, 40000, 300}}) {
    SCOPED_TRACE(c.model);
    iprinter(c.model);
    igrhardcopyselect(1, HCRASTER);
    for (auto [n, v] : {std::pair{1, c.widthpoints}, {2, 6}, {13, 1}, {24, 0}, {5, 0}, {3, 0}, {4, 0}})
      igrhardcopyoptions(n, v);
    const std::string path = hc::scratch("wide.prn").string();
    tessar.error.LASTERROR = 0;
    igrhardcopy(path);
    ASSERT_EQ(tessar.graphics.attributes.HARDCOPYON, 1);
    EXPECT_EQ(static_cast<int>(tessar.raster.state.RASXRES), c.resolution);
    EXPECT_EQ(tessar.error.LASTERROR, 34) << "the lower resolution is reported";
    tessar.raster.IRBUFF.assign(tessar.raster.IRBUFF.size(), 0xFFFFFFFFu);
    tessar.graphics.operands.PLOTSTARTED = 1;
    const RasterState rs = tessar.raster.state;
    igrhardcopy("S");
    EXPECT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 0);
    const std::string stream = tw::test::slurp(path);
    const Dots d = c.pins > 1 ? decodepins(stream, c.pins, 0) : c.model == 36 ? decodeescp2(stream) : decodepcl(stream, rs.RASPAPERWIDTH);
    long long inked = 0;
    for (const auto& [where, bits] : d) inked += std::count(bits.begin(), bits.end(), true);
    EXPECT_EQ(inked, static_cast<long long>(rs.RASPAPERWIDTH) * rs.RASPAPERHEIGHT);
  }
  // Twice what even the lowest ESC/P2 resolution counts: refused, the hardcopy off.
  iprinter(36);
  igrhardcopyselect(1, HCRASTER);
  for (auto [n, v] : {std::pair{1, 30000}, {2, 6}, {13, 1}, {5, 0}}) igrhardcopyoptions(n, v);
  tessar.error.LASTERROR = 0;
  igrhardcopy(hc::scratch("wider.prn").string());
  EXPECT_EQ(tessar.error.LASTERROR, 34);
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 0);
  // Just inside the first resolution's counts (6,000 points are 60,000 dots at 720 dpi): no
  // lowering and no error.
  iprinter(36);
  igrhardcopyselect(1, HCRASTER);
  for (auto [n, v] : {std::pair{1, 6000}, {2, 6}, {13, 1}, {5, 0}}) igrhardcopyoptions(n, v);
  tessar.error.LASTERROR = 0;
  igrhardcopy(hc::scratch("fits.prn").string());
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(static_cast<int>(tessar.raster.state.RASXRES), 720);
  igrhardcopy("S");
}

// Pages of 3e8 points or more have more dots on a side than 32 bits count at any
// resolution (2.5e9 at 600 dpi): refused with error 34 before any coordinate is formed, the
// hardcopy off, and the plot drawn afterwards reaches no page. The device x once wrapped to
// -2,136,719,488 and drawing crashed.
TEST_F(RasterPrinterStream, PagesBeyondWhatDotsCountAreRefused) {
  struct Case {
    int model;
    int width, height, landscape;
  };
  // LaserJet 4 (PCL), Epson Stylus (ESC/P2) and Epson LQ (24 pins).
  const Case cases[] = {{29, 300000000, 432, 0}, {29, 576, 300000000, 0}, {29, 576, 2147483647, 1},
                        {36, 300000000, 432, 0}, {17, 576, 300000000, 0}, {17, 2147483647, 2147483647, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.model) + ": " + std::to_string(c.width) + " x " + std::to_string(c.height));
    iprinter(c.model);
    igrhardcopyselect(1, HCRASTER);
    for (auto [n, v] : {std::pair{1, c.width}, {2, c.height}, {13, 1}, {5, c.landscape}}) igrhardcopyoptions(n, v);
    HangGuard guard("a raster printer page of 3e8 points", 60);
    hc::expectpagerefused(hc::scratch("far.prn").string());
  }
}

}  // namespace
