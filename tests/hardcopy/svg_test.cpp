// SVG driver: number text, prologue and groups, fills and clip paths, escaping, long point
// lists, and xmllint and rsvg-convert reading and rendering the shared test picture.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "tests/hardcopy/driver_files.h"
#include "tests/hardcopy/driver_fixture.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hcdrivers/svg.h"
#include "toolkit/state/tessar.h"

namespace {

class Svg : public hc::DriverFileTest {
 protected:
  Svg() : DriverFileTest(HCSVG, 640, 480) {}
};

bool has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(SvgNumbers, TrailingZerosGo) {
  const std::pair<float, const char*> cases[] = {
      {12, "12"}, {12.5f, "12.5"}, {12.25f, "12.25"}, {0, "0"}, {-3.1f, "-3.1"},
      {12345.5f, "12345.5"}, {123456.0f, "********"}};
  for (auto [v, text] : cases) EXPECT_EQ(yysvg1(v), text) << v;
}

TEST_F(Svg, PrologueFirstStrokeGroupAndCorners) {
  const auto lines = write("corners.svg", [] {
    igrcolourmodel(24);
    IGrColourN(wrgb(0, 0, 0));
    IGrUnits(0, 0, 640, 480);
    igrjoin(0, 480, 640, 0);
  });
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "<?xml version=\"1.0\"?>");
  EXPECT_EQ(lines[1], "<!DOCTYPE svg SYSTEM \"\">");
  EXPECT_EQ(lines[2], "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"640\" height=\"480\">");
  EXPECT_EQ(lines[3], "<g style=\"fill:none;stroke:#000000;stroke-dasharray:none;stroke-width:1;"
                      "stroke-linejoin:miter;stroke-linecap:butt\">");
  EXPECT_EQ(lines.back(), "</g></svg>");
  // The graphics layer keeps lines a hundredth inside the drawable's far edges.
  bool corner = false;
  for (const std::string& l : lines) corner |= l.starts_with("<line x1=\"0\" y1=\"0");
  EXPECT_TRUE(corner) << bytes;
}

TEST_F(Svg, GroupsChangeOnlyWhenTheStyleDoes) {
  const auto lines = write("groups.svg", [] {
    igrcolourmodel(24);
    IGrColourN(wrgb(0, 0, 0));
    IGrColourN(wrgb(0, 0, 0));
    igrlinetype(3);
  });
  int black = 0;
  for (const std::string& l : lines)
    black += l.find("stroke:#000000;stroke-dasharray:none;") != std::string::npos ? 1 : 0;
  EXPECT_EQ(black, 1);
  EXPECT_NE(bytes.find("stroke-dasharray:1 3 4 4"), std::string::npos);
}

TEST_F(Svg, FilledRectangleAndClipPath) {
  const auto lines = write("fills.svg", [] {
    igrcolourmodel(24);
    IGrColourN(wrgb(255, 0, 0));
    igrfillpattern(4);
    IGrRectangle(0.1f, 0.1f, 0.3f, 0.3f);
    igrfillpattern(0);
    IGrRectangle(0.5f, 0.5f, 0.6f, 0.6f);
    IGrArea(0.5f, 0.5f, 1, 1);
    igrfillpattern(4);
    IGrRectangle(0.1f, 0.1f, 0.3f, 0.3f);
  });
  const auto fillgroup = std::find(lines.begin(), lines.end(), "<g style=\"stroke:none;fill:#ff0000\">");
  ASSERT_LT(fillgroup + 2, lines.end());
  EXPECT_TRUE(fillgroup[1].starts_with("<polygon points=\""));
  EXPECT_EQ(fillgroup[2], "</g>");
  EXPECT_TRUE(has(lines, "<g style=\"stroke:none;fill:#ff0000;clip-path:url(#clip1)\">"));
  EXPECT_NE(bytes.find("<clipPath id=\"clip1\">"), std::string::npos);
}

TEST_F(Svg, TextEscapesAndUnicodeReferences) {
  const auto lines = write("text.svg", [] {
    WGrTextFont({.family = 102});
    wgrtextorientation(0, 0.0f);
    wgrtextstring(0.1f, 0.1f, "a<b & c \xE9 \x80 \x93 >\"");
    wgrtextorientation(0, 90.0f);
    wgrtextstring(0.5f, 0.5f, "up");
  });
  bool plain = false, rotated = false;
  for (const std::string& l : lines) {
    plain |= l.find(">a&#60;b &#38; c &#233; &#8364; &#8220; >\"</text>") != std::string::npos;
    rotated |= l.find(")rotate(-90)\">up</text>") != std::string::npos;
  }
  EXPECT_TRUE(plain) << bytes;
  EXPECT_TRUE(rotated) << bytes;
}

TEST_F(Svg, LongPolygonIsSplitIntoShortLines) {
  const auto lines = write("long.svg", [] {
    std::vector<float> x, y;
    for (int k = 0; k < 2000; ++k) {
      x.push_back(0.5f + 0.4f * std::cos(static_cast<float>(k) * 0.00314f));
      y.push_back(0.5f + 0.4f * std::sin(static_cast<float>(k) * 0.00314f));
    }
    igrfillpattern(4);
    IGrPolygonComplex(x, y, 2000);
    igrpolyline(x, y, 2000);
  });
  std::size_t longest = 0, points = 0;
  for (const std::string& l : lines) {
    longest = std::max(longest, l.size());
    points += static_cast<std::size_t>(std::count(l.begin(), l.end(), ','));
  }
  EXPECT_LE(longest, 256u);
  EXPECT_GE(points, 2000u);
}

// Arcs come from no graphics routine yet: the requests are sent as the dispatch sends them,
// the third operand being the end angle.
TEST_F(Svg, ArcPathsTakeTheLargeFlagFromTheSweep) {
  const auto lines = write("arcs.svg", [] {
    DeviceOperands& op = tessar.graphics.operands;
    op.RX1 = 320; op.RY1 = 240; op.RX2 = 100; op.RY2 = 100; op.RX3 = 0; op.RY3 = 3.5f;
    yyhdrv(DARC);
    op.RY3 = 1;
    igrfillpattern(4);
    op.IOPER1 = 1;
    yyhdrv(DSECTOR);
  });
  bool large = false, sector = false;
  for (const std::string& l : lines) {
    large |= l.starts_with("<path d=\"M 420,240 A 100,100 0 1 0 ");
    sector |= l.starts_with("<path d=\"M 420,240 A 100,100 0 0 0 ") &&
              l.ends_with(" L 320,240 L 420,240\"/>");
  }
  EXPECT_TRUE(large) << bytes;
  EXPECT_TRUE(sector) << bytes;
}

TEST_F(Svg, PictureValidatesAndRendersItsInk) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  ASSERT_TRUE(tw::test::needtool("xmllint", "libxml2-utils"));
  ASSERT_TRUE(tw::test::needtool("rsvg-convert", "librsvg2-bin"));
  igrhardcopyoptions(1, 800);
  igrhardcopyoptions(2, 600);
  write("picture.svg", [] { drawtestpicture(); });
  hc::Run r = hc::run("xmllint --noout " + path);
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(bytes.find("xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
  const std::string png = path + ".png";
  r = hc::run("rsvg-convert -b white -f png -o " + png + " " + path);
  ASSERT_EQ(r.status, 0) << r.output;
  int n = 0;
  const PictureSample* s = testpicturesamples(n);
  std::string list;
  for (int k = 0; k < n; ++k)
    list += "(" + std::to_string(static_cast<int>(s[k].x * 8)) + "," +
            std::to_string(600 - static_cast<int>(s[k].y * 8)) + "),";
  r = hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
              "im=Image.open('" + png + "').convert('RGB')\n"
              "print(im.size[0], im.size[1])\n"
              "for p in [" + list + "]: print(*im.getpixel(p))\"");
  std::istringstream in(r.output);
  int w = 0, h = 0;
  in >> w >> h;
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  for (int k = 0; k < n; ++k) {
    int red = -1, green = -1, blue = -1;
    in >> red >> green >> blue;
    EXPECT_NEAR(red, s[k].red, 24) << s[k].what;
    EXPECT_NEAR(green, s[k].green, 24) << s[k].what;
    EXPECT_NEAR(blue, s[k].blue, 24) << s[k].what;
  }
}

}  // namespace
