// HP-GL: the line writers and their compaction, annotation records, wedges and arcs, the
// driver's header, pens, pages, text and fills, and hp2xx rendering the shared test picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "tests/hang_guard.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/hardcopy/hpgl_fixtures.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
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
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {

using hpgltest::Lines;
using hpgltest::written;

class HpglWriters : public hpgltest::WriterTest {
 protected:
  void SetUp() override {
    WriterTest::SetUp();
    tessar.graphics.operands.HCASPECT = 1;
    tessar.hardcopy.HCOPTIONS[17] = 1;
  }
};

TEST_F(HpglWriters, CompactionAndTruncation) {
  const Lines l = written([] {
    yyhpg1("PU", 123, 45);
    yyhpg1("PD", 0.5f, -0.5f);  // truncated towards zero, never rounded
    yyhpglline("RO 90; IP");
    for (int k = 0; k < 4; ++k) yyhpglint(11 + 7 * k, 7, 100 * k);
    yyhpg7();
    yyhpg3(kHpglScale);
    yyhpg3("PU;SP3");
    yyhpg3("LT    ");
    yyhpg2(std::string("A  b\x04"));
  });
  EXPECT_EQ(l, (Lines{"PU123 45", "PD0 0", "RO90; IP 0 100 200 300", "SC0 32760 0 32760", "PU;SP3",
                      "LT", "LBA  b\x04"}));
}

TEST_F(HpglWriters, PrefixBlankOnEveryLineLabelsToo) {
  tessar.graphics.operands.HPGLPREFIX = 1;
  const Lines l = written([] {
    yyhpg1("PU", 1, 2);
    yyhpg2("x\x04");
    yyhpg6(2, 0, 9, 0, 0);
  });
  EXPECT_EQ(l, (Lines{" PU1 2", " LBx\x04", " SC-2 9 0 32760"}));
}

TEST_F(HpglWriters, AnnotationRecords) {
  const Lines l = written([] {
    yyhpg6(1, 1, 0xFFFFFF, 0, 0);
    yyhpg6(12, 0, 5, 0, 0);
    yyhpg6(6, 0, 4, 2, 13);
    yyhpg6(6, 1, -1, 0, 0);
    yyhpg4(100.9f, 200.2f);
    yyhpg5(1.5f, -0.25f);
  });
  EXPECT_EQ(l, (Lines{"SC-1 16777215 0 32760 ;SC0 32760 0 32760", "SC-12 5 0 32760",
                      "SC-6 4 2 32773", "SC-6 -1 0 32760 ;SC0 32760 0 32760", "SC-9 100 200 0",
                      "SC-9 1.5000 -0.2500 0"}));
  tessar.hardcopy.HCOPTIONS[17] = 0;
  const Lines none = written([] {
    yyhpg4(1, 2);
    yyhpg5(1, 2);
    yyhpg6(3, 1, 1, 0, 0);
  });
  EXPECT_TRUE(none.empty());
}

TEST_F(HpglWriters, WedgesAndArcs) {
  DeviceOperands& op = tessar.graphics.operands;
  GraphicsAttributes& at = tessar.graphics.attributes;
  op.RX1 = 1000; op.RY1 = 2000; op.RX2 = 500;
  op.RX3 = 0; op.RY3 = 1.5707964f; op.RX4 = 0; op.RY4 = 90;
  at.FILLSTYLE = 4;
  // An aspect value of exactly 32760 keeps the plain scaling.
  EXPECT_EQ(written([] { yyhpg0(DSECTOR, kHpglScale); }),
            (Lines{"PU1000 2000", "SC0 32760 0 32760", "WG500 0.0 90.0", "SC0 32760 0 32760"}));
  EXPECT_EQ(op.LASTPENX, 1000);
  // A wide page: the y range shrinks so that the wedge stays round.
  op.HCASPECT = 1.4f;
  EXPECT_EQ(written([] { yyhpg0(DSECTOR, kHpglScale); }),
            (Lines{"PU1000 2000", "SC0 32760 0 23400", "WG500 0.0 90.0", "SC0 32760 0 32760"}));
  // A tall one: the x range shrinks and the radius with it.
  op.HCASPECT = 0.5f;
  EXPECT_EQ(written([] { yyhpg0(DARC, kHpglScale); }),
            (Lines{"PU1000 2000", "SC0 16380 0 32760", "EW250 0.0 90.0", "SC0 32760 0 32760"}));
  // An open arc: pen up to its start under the changed scaling, then AA round the centre.
  op.HCASPECT = 1;
  at.FILLSTYLE = 0;
  at.HATCHDENSITY = 3;
  EXPECT_EQ(written([] { yyhpg0(DARC, kHpglScale); }),
            (Lines{"SC0 32760 0 32760", "PU1500 2000", "PD", "AA1000 2000 90.0", "SC0 32760 0 32760"}));
  EXPECT_EQ(op.LASTPENX, -9999);
}

// select(model) picks the plotter model.
class Hpgl : public hpgltest::DriverTest {
 protected:
  Hpgl() : DriverTest(tessar.hardcopy.selection.PLOTTERMODEL, HCHPGL) {}
};

TEST_F(Hpgl, DefaultsAndHeaderOfModelOne) {
  const auto& o = tessar.hardcopy.HCOPTIONS;
  EXPECT_EQ(o[0], 742);
  EXPECT_EQ(o[1], 530);
  EXPECT_EQ(o[2], 28);
  EXPECT_EQ(std::string(tessar.files.HCOUTPUT, 0, 12), "tessplot.plt");
  EXPECT_EQ(tessar.graphics.operands.HCPENS, 4);
  const Lines l = write("header.plt", [] {});
  ASSERT_GE(l.size(), 7u);
  EXPECT_EQ(Lines(l.begin(), l.begin() + 7),
            (Lines{"IN; IP 395 0 10865 7478", "RO0; IP 395 0 10865 7478", "DT\x04", "DI1. 0.",
                   "SC-2 9 0 32760", "SC-13 1 0 32760", "SC0 32760 0 32760"}));
  // Portrait turns the plot.
  select(1);
  igrhardcopyoptions(5, 0);
  EXPECT_EQ(write("portrait.plt", [] {})[1], "RO90; IP 395 0 10865 7478");
}

TEST_F(Hpgl, PensByHue) {
  struct Case { int model, index; const char* pen; };
  const Case cases[] = {
      {1, 223, "PU;SP4"},   // black with 4 pens
      {1, 0, "PU;SP1"},     // white
      {1, 250, "PU;SP1"},   // wraps into the white group
      {1, 64, "PU;SP1"},    // yellow with 4 pens
      {6, 96, "PU;SP2"},    // green with 8 pens
      {6, 31, "PU;SP3"},    // red
      {6, 223, "PU;SP8"},   // black
  };
  for (const Case& c : cases) {
    select(c.model);
    static int index;
    index = c.index;
    const Lines l = write("pens.plt", [] {
      IGrColourN(index == 0 ? 1 : 0);
      IGrColourN(index);
    });
    EXPECT_NE(std::find(l.begin(), l.end(), c.pen), l.end()) << c.index << "\n" << bytes;
  }
  // The same colour twice: one pen line, two colour records.
  select(1);
  const Lines l = write("twice.plt", [] {
    IGrColourN(31);
    IGrColourN(31);
  });
  int red = 0;
  for (const std::string& s : l) red += s.starts_with("SC-1 255 0 32760") ? 1 : 0;
  EXPECT_EQ(red, 2) << bytes;
}

TEST_F(Hpgl, PagesPenReselectionAndLabels) {
  select(7);
  const Lines l = write("pages.plt", [] {
    IGrColourN(223);
    igrjoin(0.1f, 0.1f, 0.2f, 0.2f);
    tessar.graphics.operands.IOPER1 = 1;
    tessar.graphics.operands.IOPER2 = 0;
    yyhdrv(DENDPAGE);
    igrjoin(0.2f, 0.2f, 0.3f, 0.3f);
    WGrTextFont({.family = 101});
    wgrtextstring(0.5f, 0.5f, "Q");
    igrjoin(0.6f, 0.6f, 0.7f, 0.7f);
  });
  const auto page = std::find(l.begin(), l.end(), "PU;SP0 ;PG;");
  ASSERT_NE(page, l.end()) << bytes;
  EXPECT_EQ(page[-1], "SC-3 1 0 32760 ;SC0 32760 0 32760");
  EXPECT_EQ(page[1], "SP8");
  const auto label = std::find_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("LB"); });
  ASSERT_NE(label, l.end());
  EXPECT_EQ(*label, "LBQ\x04");
  EXPECT_TRUE(label[1].starts_with("PU")) << label[1];
  EXPECT_TRUE(label[2].starts_with("PD")) << label[2];
  EXPECT_NE(std::find_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("SR"); }),
            l.end());
}

TEST_F(Hpgl, LabelTextCannotEndItsLabel) {
  select(7);
  const Lines l = write("label.plt", [] {
    WGrTextFont({.family = 101});
    wgrtextstring(0.5f, 0.5f, "Q\x04PG;\x1b.Y");
  });
  const auto label = std::find_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("LB"); });
  ASSERT_NE(label, l.end()) << bytes;
  // Only the label's own terminator, at its end.
  EXPECT_EQ(*label, "LBQPG;.Y\x04");
}

TEST_F(Hpgl, FileQueryKnowsTheFileAndCountsItsPages) {
  write("two.plt", [] {
    igrjoin(0.1f, 0.1f, 0.2f, 0.2f);
    tessar.graphics.operands.IOPER2 = 0;
    yyhdrv(DENDPAGE);
    igrjoin(0.2f, 0.2f, 0.3f, 0.3f);
  });
  std::array<int, 6> info{};
  igrfileinfo(path, info, 1);
  EXPECT_EQ(info[0], 4);
  int pages = 0;
  yycnthpg(path, pages);
  EXPECT_EQ(pages, 2);
}

TEST_F(Hpgl, EmulatedRectangleIsAnnotated) {
  const Lines l = write("rect.plt", [] {
    igrfillpattern(4, 2, 3);
    IGrRectangle(0.1f, 0.1f, 0.5f, 0.5f);
  });
  const Lines group = after(l, "SC-6 4 2", 4);
  ASSERT_EQ(group.size(), 4u) << bytes;
  EXPECT_EQ(group[0], "SC-6 4 2 32773");
  EXPECT_TRUE(group[1].starts_with("SC-9 ")) << group[1];
  EXPECT_TRUE(group[2].starts_with("SC-9 ")) << group[2];
  EXPECT_EQ(group[3], "SC0 32760 0 32760");
  // The graphics layer hatches the area; the end of the fill closes the group.
  EXPECT_NE(std::find(l.begin(), l.end(), "SC-6 -1 0 32760 ;SC0 32760 0 32760"), l.end()) << bytes;
  // Without annotation records only the hatch lines remain.
  SetUp();
  igrhardcopyoptions(18, 0);
  const Lines plain = write("plain.plt", [] {
    igrfillpattern(4, 2, 3);
    IGrRectangle(0.1f, 0.1f, 0.5f, 0.5f);
  });
  EXPECT_EQ(bytes.find("SC-"), std::string::npos) << bytes;
  EXPECT_EQ(bytes.find("PW"), std::string::npos);
  EXPECT_GT(std::count_if(plain.begin(), plain.end(), [](const std::string& s) { return s.starts_with("PD"); }), 20);
}

TEST_F(Hpgl, HugePageHeightHatchesNoCloserThanTheDrawableRows) {
  // The emulated fill's spacing follows the pen width on the page: on a page a million points
  // high it would be a tiny fraction of a row.
  igrhardcopyoptions(2, 1000000);
  Lines l;
  {
    HangGuard guard("an HP-GL fill on a page 1,000,000 points high", 30);
    l = write("hugepage.plt", [] {
      igrfillpattern(4, 2, 3);
      IGrRectangle(0, 0, 1, 1);
      igrfillpattern(3, 2, 3);
      IGrTriangle(0, 0, 1, 0, 0.5f, 1);
    });
  }
  const auto strokes = std::count_if(l.begin(), l.end(), [](const std::string& s) { return s.starts_with("PD"); });
  // Two shapes over the 750 rows of the drawable: one line a row at most for each.
  EXPECT_GT(strokes, 300);
  EXPECT_LE(strokes, 2 * 760);
}

TEST_F(Hpgl, NativeFillsWhereTheDialectHasThem) {
  select(7);
  igrhardcopyoptions(25, 1);
  const Lines l = write("native.plt", [] {
    igrfillpattern(4);
    IGrRectangle(0.1f, 0.1f, 0.5f, 0.5f);
    IGrRectangle(0.6f, 0.6f, 0.7f, 0.7f);
  });
  EXPECT_EQ(std::count(l.begin(), l.end(), "FT2;PT 0.28"), 1) << bytes;
  const Lines fill = after(l, "FT2;PT", 3);
  ASSERT_EQ(fill.size(), 3u);
  EXPECT_TRUE(fill[1].starts_with("PU")) << fill[1];
  EXPECT_TRUE(fill[2].starts_with("RA")) << fill[2];
  EXPECT_EQ(bytes.find("SC-6"), std::string::npos);
  // Facit plotters fill rectangles themselves but not triangles.
  select(5);
  igrhardcopyoptions(25, 1);
  const Lines f = write("facit.plt", [] {
    igrfillpattern(4);
    IGrRectangle(0.1f, 0.1f, 0.5f, 0.5f);
    IGrTriangle(0.1f, 0.1f, 0.5f, 0.1f, 0.3f, 0.4f);
  });
  EXPECT_NE(std::find_if(f.begin(), f.end(), [](const std::string& s) { return s.starts_with("RA"); }), f.end());
  EXPECT_NE(std::find_if(f.begin(), f.end(), [](const std::string& s) { return s.starts_with("SC-7 4"); }),
            f.end()) << bytes;
  EXPECT_EQ(bytes.find("PM0"), std::string::npos);
}

TEST_F(Hpgl, PenThicknessLimits) {
  const std::pair<int, const char*> cases[] = {
      {80, "FT2;PT 0.28"}, {1000, "FT2;PT 3.53"}, {1500, "FT2;PT 5.00"}, {20, "FT2;PT 0.10"}};
  for (auto [width, line] : cases) {
    select(7);
    igrhardcopyoptions(25, 1);
    tessar.hardcopy.HCOPTIONS[11] = width;
    const Lines l = write("thick.plt", [] {
      igrfillpattern(4);
      IGrTriangle(0.1f, 0.1f, 0.5f, 0.1f, 0.3f, 0.4f);
    });
    EXPECT_NE(std::find(l.begin(), l.end(), line), l.end()) << width << "\n" << bytes;
    // The native triangle and the end of the fill, which writes nothing more.
    const Lines t = after(l, "FT2;PT", 6);
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[2], "PM0");
    EXPECT_EQ(t[5], "PM2;FP");
  }
}

TEST_F(Hpgl, RequestsOutsideTheGraphicsLayer) {
  // Parallelogram, sector and polygon reach the fill handling; an emulated ellipse keeps CI.
  Lines l = write("shapes.plt", [] {
    DeviceOperands& op = tessar.graphics.operands;
    GraphicsAttributes& at = tessar.graphics.attributes;
    at.FILLSTYLE = 1;
    at.HATCHDENSITY = 2;
    at.HATCHANGLE = 3;
    op.IOPER1 = 1;
    op.RX1 = 100; op.RY1 = 100; op.RX2 = 200; op.RY2 = 100; op.RX3 = 250; op.RY3 = 200;
    op.RX4 = 150; op.RY4 = 200;
    yyhdrv(DPARALLEL);
    op.IOPER1 = 1;
    op.RX1 = 500; op.RY1 = 400; op.RX2 = 50; op.RX3 = 1; op.RY3 = 0;
    yyhdrv(DELLIPSEFILL);
  });
  const Lines para = after(l, "SC-8 1 2", 5);
  ASSERT_EQ(para.size(), 5u) << bytes;
  // Device units times 32.76 (x) and 43.68 (y), truncated: 100 x 32.76 is just below 3276.
  EXPECT_EQ(para[1], "SC-9 3275 4368 0");
  EXPECT_EQ(para[2], "SC-9 8189 8736 0");
  EXPECT_EQ(para[3], "SC-9 4368 4368 32760");
  EXPECT_EQ(para[4], "SC-9 1 0 32760 ;SC0 32760 0 32760");
  const Lines ellipse = after(l, "PU16379 17472", 5);
  ASSERT_EQ(ellipse.size(), 5u) << bytes;
  EXPECT_EQ(ellipse[1], "SC-5 1 2 32763");
  EXPECT_TRUE(ellipse[2].starts_with("SC0 32760 0 ")) << ellipse[2];
  EXPECT_EQ(ellipse[3], "CI1637 0");
  EXPECT_EQ(ellipse[4], "SC0 32760 0 32760");
}

// hp2xx reads the file without a command it does not know.
void readsclean(const std::string& plt, const std::string& png, const std::string& options = "") {
  ASSERT_TRUE(tw::test::needtool("hp2xx", "hp2xx"));
  const hc::Run r = hc::run("hp2xx -m png " + options + " -f " + png + " " + plt + " </dev/null");
  EXPECT_NE(r.output.find("HPGL command(s) ignored: 0"), std::string::npos) << r.output;
  std::size_t at = 0;
  int ignored = 0;
  while ((at = r.output.find("ignored", at)) != std::string::npos) {
    ++ignored;
    ++at;
  }
  EXPECT_EQ(ignored, 1) << r.output;
  EXPECT_EQ(r.output.find("Error"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("Invalid"), std::string::npos) << r.output;
}

struct Ink {
  int count = 0, colours = 0;
  float spanx = 0, spany = 0;
};

// Ink pixels (sampled every second pixel), their colours and how far they spread.
Ink ink(const std::string& png) {
  Ink k;
  if (const auto pil = tw::test::needpython("PIL", "python3-pil"); !pil) {
    ADD_FAILURE() << pil.message();
    return k;
  }
  const hc::Run p = hc::run(
      "/usr/bin/python3 -c \"from PIL import Image\nim=Image.open('" + png + "').convert('RGB')\n"
      "w,h=im.size\npx=im.load()\nink=[(x,y) for x in range(0,w,2) for y in range(0,h,2) if px[x,y]!=(255,255,255)]\n"
      "print('ink',len(ink),'colours',len(set(px[x,y] for x,y in ink)))\n"
      "xs=[x for x,y in ink]\nys=[y for x,y in ink]\nprint('span',(max(xs)-min(xs))/w,(max(ys)-min(ys))/h)\"");
  std::sscanf(p.output.c_str(), "ink %d colours %d\nspan %f %f", &k.count, &k.colours, &k.spanx, &k.spany);
  return k;
}

void keep(const std::string& from, const std::string& name) {
  if (const char* folder = std::getenv("TW_KEEP_PLOTS"))
    std::filesystem::copy_file(from, std::string(folder) + "/" + name,
                               std::filesystem::copy_options::overwrite_existing);
}

TEST_F(Hpgl, Hp2xxDrawsThePicture) {
  // The generic plotter: the whole picture, framed, in one pen colour.
  write("picture.plt", [] { drawtestpicture(); });
  const std::string png = hc::scratch("picture.png").string();
  readsclean(path, png);
  const Ink a = ink(png);
  EXPECT_GT(a.count, 5000);
  EXPECT_GT(a.spanx, 0.98f);
  EXPECT_GT(a.spany, 0.98f);
  keep(path, "picture-hpgl.plt");
  keep(png, "picture-hpgl.png");
  // Eight pens drawn in hp2xx's colours for the pens' own (white pen 1 left out).
  select(6);
  write("pens-picture.plt", [] { drawtestpicture(); });
  const std::string pens = hc::scratch("pens-picture.png").string();
  readsclean(path, pens, "-c 03247561");
  const Ink b = ink(pens);
  EXPECT_GE(b.colours, 5);
  EXPECT_GT(b.spanx, 0.98f);
  keep(pens, "picture-hpgl-pens.png");
  // Native fills and pen widths of the HP 7550A. (hp2xx fills polygons and RA in plotter
  // units without the user scaling, so their places in its picture are not checked.)
  select(7);
  igrhardcopyoptions(25, 1);
  write("native-picture.plt", [] { drawtestpicture(); });
  EXPECT_NE(bytes.find("PM2;FP"), std::string::npos);
  EXPECT_NE(bytes.find("PU;SP0 ;PG;"), std::string::npos);
  readsclean(path, hc::scratch("native-picture.png").string());
}

}  // namespace
