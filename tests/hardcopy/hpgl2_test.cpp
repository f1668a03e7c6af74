// HP-GL/2: encoded polylines read back by a decoder written here from the published encoding
// rules, PCL wrapping and page ends, palette pens, raster fill patterns, the fills of the
// page printers and colour devices, text, and the shared test picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "tests/hardcopy/driver_files.h"
#include "tests/hardcopy/hpgl_fixtures.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/hcdrivers/hpgl.h"
#include "toolkit/hcdrivers/hpgl_writers.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/raster/file_info.h"
#include "toolkit/raster/dither.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {

using hpgltest::Lines;
using hpgltest::written;

// An encoded polyline as a reader sees it: after "PE" come flags ("7" selects seven-bit
// mode, base 32) and then numbers. In seven-bit mode a character of code 63-94 is a digit
// 0-31 that another digit follows, 95-126 the last digit 0-31 of a number; digits come least
// significant first. The number's lowest bit is its sign (1 negative), the rest its
// magnitude. Numbers pair up as x, y moves relative to the pen; ";" ends the instruction.
struct Decoded {
  bool ok = true;
  bool sevenbit = false;
  std::vector<std::pair<long long, long long>> moves;
};

Decoded decodePE(const std::string& line) {
  Decoded d;
  std::size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  if (line.compare(i, 2, "PE") != 0) {
    d.ok = false;
    return d;
  }
  i += 2;
  std::vector<long long> numbers;
  long long value = 0, weight = 1;
  bool pending = false;
  for (; i < line.size(); ++i) {
    const int c = static_cast<unsigned char>(line[i]);
    if (c == ';') break;
    if (c == '7' && !pending && numbers.empty() && !d.sevenbit) {
      d.sevenbit = true;
      continue;
    }
    if (c >= 63 && c <= 94) {
      value += (c - 63) * weight;
      weight *= 32;
      pending = true;
    } else if (c >= 95 && c <= 126) {
      value += (c - 95) * weight;
      numbers.push_back((value & 1) != 0 ? -(value >> 1) : value >> 1);
      value = 0;
      weight = 1;
      pending = false;
    } else {
      d.ok = false;
    }
  }
  if (i == line.size() || pending || numbers.size() % 2 != 0) d.ok = false;
  for (std::size_t k = 0; k + 1 < numbers.size(); k += 2) d.moves.emplace_back(numbers[k], numbers[k + 1]);
  return d;
}

class EncodedPolyline : public hpgltest::WriterTest {
 protected:
  static void points(const std::vector<float>& x, const std::vector<float>& y) {
    tessar.graphics.XWORK = x;
    tessar.graphics.YWORK = y;
    tessar.graphics.operands.IOPER2 = static_cast<int>(x.size());
  }
};

TEST_F(EncodedPolyline, PublishedExamples) {
  points({0, 3, 2, 42, 42, 32802}, {0, 0, 0, 0, 0, 0});
  const Lines l = written([] { yyhpgl2a(); });
  ASSERT_EQ(l.size(), 1u);
  // 3 is e; -1 is b; 40 is O then a; 0 is _; 32760 takes four characters.
  const std::string big = {static_cast<char>(79), static_cast<char>(94), static_cast<char>(94),
                           static_cast<char>(96)};
  EXPECT_EQ(l[0], "PE7e_b_Oa___" + big + "_;");
  points({5, 5, 5}, {7, 7, 7});
  EXPECT_EQ(written([] { yyhpgl2a(); }), (Lines{"PE7____;"}));
  points({5}, {7});
  EXPECT_EQ(written([] { yyhpgl2a(); }), (Lines{"PE7;"}));
}

TEST_F(EncodedPolyline, DecoderGetsBackThePointsSent) {
  // A long wave with sub-unit steps, jumps across the page and beyond it: several lines, none
  // longer than 255 characters, no pair split between two lines.
  std::vector<float> x, y;
  for (int k = 0; k < 900; ++k) {
    x.push_back(300.0f + 0.37f * static_cast<float>(k));
    y.push_back(500.0f + 200.0f * std::sin(0.05f * static_cast<float>(k)));
  }
  x.insert(x.end(), {0, 32760, -2000000, 2000000, 7.5f});
  y.insert(y.end(), {32760, 0, 15, -1500000, -0.75f});
  points(x, y);
  DeviceOperands& op = tessar.graphics.operands;
  op.HCSCALEX = 1.3f;
  op.HCSCALEY = 0.9f;
  const Lines l = written([] { yyhpgl2a(); });
  EXPECT_GT(l.size(), 3u);
  long long px = static_cast<long long>(op.HCSCALEX * x[0]), py = static_cast<long long>(op.HCSCALEY * y[0]);
  std::size_t k = 1;
  for (const std::string& line : l) {
    EXPECT_LE(line.size(), 255u);
    const Decoded d = decodePE(line);
    ASSERT_TRUE(d.ok && d.sevenbit) << line;
    for (auto [dx, dy] : d.moves) {
      ASSERT_LT(k, x.size());
      px += dx;
      py += dy;
      EXPECT_EQ(px, static_cast<long long>(op.HCSCALEX * x[k])) << k;
      EXPECT_EQ(py, static_cast<long long>(op.HCSCALEY * y[k])) << k;
      ++k;
    }
  }
  EXPECT_EQ(k, x.size());
}

TEST(HpglTwoWriters, PaletteEntriesAndRasterPatterns) {
  testpicturegraphics(1000, 750);
  tessar.graphics.operands.HPGLPREFIX = 2;
  auto& o6 = tessar.hardcopy.HCOPTIONS[5];
  o6 = 0;
  EXPECT_EQ(written([] { yyhpgl2d(1, 255, 0, 0); }), (Lines{"PC1 255 0 0"}));
  o6 = 2;
  EXPECT_EQ(written([] {
              yyhpgl2d(1, 255, 0, 0);
              yyhpgl2d(200, 250, 250, 250);
              yyhpgl2d(3, 0, 0, 0);
            }),
            (Lines{"PC1 255 0 0", "PC200 5 5 5", "PC3 255 255 255"}));
  o6 = 1;
  EXPECT_EQ(written([] { yyhpgl2d(4, 10, 20, 30); }), (Lines{"PC4 245 235 225"}));
  // Patterns come with a set bit for ink and go out as they are: pen 1 where the bit is set.
  EXPECT_EQ(written([] { yyhpgl2c(0xFFFFFFFFu); }),
            (Lines{"1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,", "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1;"}));
  EXPECT_EQ(written([] { yyhpgl2c(0x00018001u); }),
            (Lines{"1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,", "1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0;"}));
}

// select(type) picks the device type.
class Hpgl2 : public hpgltest::DriverTest {
 protected:
  Hpgl2() : DriverTest(tessar.hardcopy.selection.HPGL2TYPE, HCHPGL2) {}
};

TEST_F(Hpgl2, LaserJetHeaderAndPageEnd) {
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[0], 769);
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[1], 561);
  const Lines l = write("lj.plt", [] { igrjoin(0.1f, 0.1f, 0.2f, 0.2f); }, "River Tarn");
  ASSERT_GE(l.size(), 10u);
  EXPECT_EQ(Lines(l.begin(), l.begin() + 10),
            (Lines{"\x1b%0B", "CO: River Tarn", "IN; IP 0 0 10851 7916", "RO90; IP 0 0 10851 7916",
                   "DT\x04", "DI1. 0.", "TR0", "CO\"13 1 1.5 9\"", "CO\"2 0\"", "SC0 32760 0 32760"}));
  EXPECT_EQ(l[l.size() - 3], "CO\"3 1\"");
  EXPECT_EQ(l[l.size() - 2], "\x1b%1A\x1b&l01X\f\x1b%0B");
  EXPECT_EQ(l.back(), "\x1b%0A");
  // Copies beyond two digits are capped at 99.
  select(1);
  igrhardcopyoptions(8, 150);
  const Lines c = write("copies.plt", [] { igrjoin(0.1f, 0.1f, 0.2f, 0.2f); });
  EXPECT_EQ(c[c.size() - 2], "\x1b%1A\x1b&l99X\f\x1b%0B");
  EXPECT_EQ(c[c.size() - 2].size(), 15u);
}

TEST_F(Hpgl2, TitleControlCharactersBecomeBlanks) {
  const Lines l = write("title.plt", [] {}, "River\x1b%-12345X\x04Tarn\rPG;");
  ASSERT_GE(l.size(), 2u);
  EXPECT_TRUE(l[1].starts_with("CO: River")) << l[1];
  EXPECT_EQ(std::count_if(l[1].begin(), l[1].end(), [](char c) { return static_cast<unsigned char>(c) < 32; }), 0)
      << l[1];
  EXPECT_EQ(std::find(l.begin(), l.end(), "PG;"), l.end());
}

TEST_F(Hpgl2, FileQueryKnowsTheFileAndCountsItsPages) {
  write("two2.plt", [] {
    igrfillpattern(4);
    IGrRectangle(0.1f, 0.1f, 0.3f, 0.3f);
    tessar.graphics.operands.IOPER2 = 0;
    yyhdrv(DENDPAGE);
    igrjoin(0.2f, 0.2f, 0.3f, 0.3f);
  }, "Title");
  std::array<int, 6> info{};
  igrfileinfo(path, info, 1);
  EXPECT_EQ(info[0], 5);
  int pages = 0;
  yycnthpg(path, pages);
  EXPECT_EQ(pages, 2);
}

TEST_F(Hpgl2, DesignJetHasNoEscapes) {
  select(4);
  const Lines l = write("dj.plt", [] { igrjoin(0.1f, 0.1f, 0.2f, 0.2f); });
  EXPECT_EQ(bytes.find('\x1b'), std::string::npos);
  ASSERT_GE(l.size(), 8u);
  EXPECT_EQ(l[0], "IN; IP 0 0 15832 10851");
  EXPECT_EQ(l[1], "RO0; IP 0 0 15832 10851");
  EXPECT_EQ(Lines(l.begin() + 4, l.begin() + 8), (Lines{"TR0", "AD1,14;SA", "NP256", "CO\"13 4 1.2 9\""}));
  EXPECT_EQ(l.back(), "PG");
}

TEST_F(Hpgl2, PalettePensOnColourDevices) {
  select(2);
  const Lines l = write("pens.plt", [] {
    IGrColourN(31);
    IGrColourN(0);
    IGrColourN(31);
  });
  int rgb = 0;
  yypalg(31, rgb);
  int r = 0, g = 0, b = 0;
  wrgbsplit(rgb, &r, &g, &b);
  const std::string pc = "PC31 " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b);
  const Lines first = after(l, "PC31 ", 3);
  ASSERT_EQ(first.size(), 3u) << bytes;
  EXPECT_EQ(first[0], pc);
  EXPECT_EQ(first[1], "PU;SP 31");
  EXPECT_EQ(first[2], "CO\"1 " + std::to_string(rgb) + "\"");
  EXPECT_EQ(std::count(l.begin(), l.end(), pc), 1);
  EXPECT_EQ(std::count(l.begin(), l.end(), "PU;SP 31"), 2);
  // On the LaserJet III white is no ink, every other colour pen 1.
  select(1);
  const Lines m = write("mono.plt", [] {
    IGrColourN(0);
    IGrColourN(31);
  });
  const Lines pens = after(m, "PU;SP0", 3);
  ASSERT_EQ(pens.size(), 3u) << bytes;
  EXPECT_EQ(pens[2], "PU;SP1");
  EXPECT_EQ(bytes.find("PC"), std::string::npos);
}

TEST_F(Hpgl2, DitheredFillsOnTheLaserJet) {
  const Lines l = write("dither.plt", [] {
    IGrColourN(31);
    igrfillpattern(4);
    IGrRectangle(0.1f, 0.1f, 0.3f, 0.3f);
    IGrRectangle(0.5f, 0.5f, 0.7f, 0.7f);
  });
  // The ink pattern of the colour, sent as it is.
  IGrColourN(31);
  std::uint32_t p = 0, q = 0, s = 0;
  yydith(1, p, q, s);
  const Lines data = written([p] { yyhpgl2c(p); });
  const Lines fill = after(l, "RF1,8,4,", 7);
  ASSERT_EQ(fill.size(), 7u) << bytes;
  EXPECT_EQ(fill[1], data[0]);
  EXPECT_EQ(fill[2], data[1]);
  EXPECT_EQ(fill[3], "FT11 1");
  EXPECT_EQ(fill[4], "CO\" 6 4 2 3 1\"");
  EXPECT_TRUE(fill[5].starts_with("PU")) << fill[5];
  EXPECT_TRUE(fill[6].starts_with("RA")) << fill[6];
  EXPECT_EQ(std::count(l.begin(), l.end(), "RF1,8,4,"), 1);
  EXPECT_EQ(std::count(l.begin(), l.end(), "FT11 1"), 1);
  EXPECT_EQ(std::count(l.begin(), l.end(), "CO\" 6 4 2 3 1\""), 2);
  EXPECT_EQ(std::count(l.begin(), l.end(), "CO\" 6 -1\""), 2);
  // Black is ink on every pixel of the cell.
  const Lines black = write("black.plt", [] {
    IGrColourN(223);
    igrfillpattern(4);
    IGrRectangle(0.1f, 0.1f, 0.3f, 0.3f);
  });
  const Lines solid = after(black, "RF1,8,4,", 3);
  ASSERT_EQ(solid.size(), 3u) << bytes;
  EXPECT_EQ(solid[1], "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,");
  EXPECT_EQ(solid[2], "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1;");
  // Two colours in a pattern fill: a checkerboard of their two patterns.
  const Lines two = write("mix.plt", [] {
    IGrColourN(223);
    IGrColourN(96);
    igrfillpattern(3);
    IGrRectangle(0.1f, 0.1f, 0.3f, 0.3f);
  });
  const Lines mix = after(two, "RF2,8,4,", 4);
  ASSERT_EQ(mix.size(), 4u) << bytes;
  EXPECT_EQ(mix[3], "FT11 2");
  // The previous colour (black, all ink) holds the cells of one colour of the checkerboard.
  std::uint32_t cells = 0;
  for (int b = 0; b < 32; ++b)
    if (mix[1 + b / 16][static_cast<std::size_t>(2 * (b % 16))] == '1') cells |= 1u << b;
  EXPECT_EQ(cells & 0xAA55AA55u, 0xAA55AA55u);
}

TEST_F(Hpgl2, MeanColourPenForPatternFillsOnColourDevices) {
  select(2);
  const Lines l = write("mean.plt", [] {
    IGrColourN(31);
    IGrColourN(159);
    igrfillpattern(3);
    IGrRectangle(0.1f, 0.1f, 0.3f, 0.3f);
  });
  int a = 0, b = 0;
  yypalg(31, a);
  yypalg(159, b);
  int ar = 0, ag = 0, ab = 0, br = 0, bg = 0, bb = 0;
  wrgbsplit(a, &ar, &ag, &ab);
  wrgbsplit(b, &br, &bg, &bb);
  const Lines mean = after(l, "PC96 ", 5);
  ASSERT_EQ(mean.size(), 5u) << bytes;
  EXPECT_EQ(mean[0], "PC96 " + std::to_string((ar + br) / 2) + " " + std::to_string((ag + bg) / 2) + " " +
                         std::to_string((ab + bb) / 2));
  EXPECT_EQ(mean[1], "PU;SP 96");
  EXPECT_EQ(mean[2], "CO\" 6 3 2 3 1\"");
  EXPECT_TRUE(mean[3].starts_with("PU")) << mean[3];
  EXPECT_TRUE(mean[4].starts_with("RA")) << mean[4];
  const Lines end = after(l, "CO\" 6 -1\"", 2);
  ASSERT_EQ(end.size(), 2u) << bytes;
  EXPECT_EQ(end[1], "PU;SP159");
}

TEST_F(Hpgl2, HatchedAndHollowShapes) {
  const Lines l = write("hollow.plt", [] {
    igrfillpattern(1);
    IGrRectangle(0.1f, 0.1f, 0.3f, 0.3f);
    igrfillpattern(0);
    igrellipse(0.5f, 0.5f, 0.1f, 1.0f);
  });
  EXPECT_EQ(bytes.find("RA"), std::string::npos);
  EXPECT_EQ(bytes.find("CO\" 6"), std::string::npos);
  const Lines e = after(l, "CO\"5 0", 4);
  ASSERT_EQ(e.size(), 4u) << bytes;
  EXPECT_TRUE(e[1].starts_with("SC0 32760 0 ")) << e[1];
  EXPECT_TRUE(e[2].starts_with("CI")) << e[2];
  EXPECT_EQ(e[3], "SC0 32760 0 32760");
  EXPECT_EQ(bytes.find("PM0"), std::string::npos);
  EXPECT_NE(std::find(l.begin(), l.end(), "CO\" 5 -1\""), l.end());
}

TEST_F(Hpgl2, ArcOutlineOfAHatchedShapeIsAnnounced) {
  const Lines l = write("arc.plt", [] {
    DeviceOperands& op = tessar.graphics.operands;
    GraphicsAttributes& at = tessar.graphics.attributes;
    at.FILLSTYLE = 2;
    at.HATCHDENSITY = 3;
    at.HATCHANGLE = 1;
    op.RX1 = 500; op.RY1 = 375; op.RX2 = 100;
    op.RX3 = 0; op.RY3 = 3.1415927f; op.RX4 = 0; op.RY4 = 180;
    yyhdrv(DARC);
    // An open arc draws from its start with "PD;".
    at.FILLSTYLE = 0;
    yyhdrv(DARC);
  });
  const Lines pie = after(l, "PU16379 16380", 5);
  ASSERT_EQ(pie.size(), 5u) << bytes;
  EXPECT_EQ(pie[1], "CO\"4 2 3 1 1\"");
  EXPECT_TRUE(pie[2].starts_with("SC0 32760 0 ")) << pie[2];
  EXPECT_TRUE(pie[3].starts_with("EW3275 0.0 180.0")) << pie[3];
  EXPECT_EQ(pie[4], "SC0 32760 0 32760");
  const Lines open = after(Lines(l.begin() + 1, l.end()), "PD;", 2);
  ASSERT_EQ(open.size(), 2u) << bytes;
  EXPECT_TRUE(open[1].starts_with("AA16379 ")) << open[1];
}

TEST_F(Hpgl2, TextFontsOriginsAndRoman8) {
  const Lines l = write("text.plt", [] {
    WGrTextFont({.family = 102, .type = 1});
    igrcharjustify("C");
    wgrtextstring(0.5f, 0.5f, "Caf\xE9");
    wgrtextstring(0.5f, 0.3f, "again");
  });
  EXPECT_TRUE(has(l, "SL0.;SD 2 1 6 3 7 4148")) << bytes;
  EXPECT_EQ(std::count(l.begin(), l.end(), "LO4"), 1) << bytes;
  EXPECT_TRUE(has(l, std::string("LBCaf") + static_cast<char>(197) + "\x04")) << bytes;
  // The colour printers keep Latin-1 and take the alternate font.
  select(5);
  const Lines c = write("text5.plt", [] {
    WGrTextFont({.family = 102, .type = 1});
    wgrtextstring(0.5f, 0.5f, "Caf\xE9");
  });
  EXPECT_TRUE(has(c, "SL0.;AD 2 1 6 3 7 4148")) << bytes;
  EXPECT_TRUE(has(c, "LBCaf\xE9\x04")) << bytes;
}

TEST_F(Hpgl2, PictureDecodes) {
  select(2);
  const Lines l = write("picture2.plt", [] { drawtestpicture(); });
  int polylines = 0, points = 0;
  long long x = 0, y = 0;
  for (const std::string& s : l) {
    if ((s.starts_with("PU") || s.starts_with("PD")) && s.size() > 2 && s[2] != ';') {
      std::sscanf(s.c_str() + 2, "%lld %lld", &x, &y);
      continue;
    }
    if (!s.starts_with("PE")) continue;
    const Decoded d = decodePE(s);
    ASSERT_TRUE(d.ok) << s;
    ++polylines;
    for (auto [dx, dy] : d.moves) {
      x += dx;
      y += dy;
      ++points;
      EXPECT_TRUE(x >= 0 && x <= 32760 && y >= 0 && y <= 32760) << s;
    }
  }
  EXPECT_GT(polylines, 5);
  // The chart's wave alone has 200 moves.
  EXPECT_GT(points, 200);
  if (const char* keep = std::getenv("TW_KEEP_PLOTS")) {
    std::filesystem::copy_file(path, std::string(keep) + "/picture-hpgl2.plt",
                               std::filesystem::copy_options::overwrite_existing);
    select(4);
    write("picture-dj.plt", [] { drawtestpicture(); });
    std::filesystem::copy_file(path, std::string(keep) + "/picture-hpgl2-dj.plt",
                               std::filesystem::copy_options::overwrite_existing);
  }
}

}  // namespace
