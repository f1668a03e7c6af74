// DXF driver: header and tables, colours by depth, entities and line types, text values
// that cannot break the groups, decimal points, and ezdxf auditing the shared test picture.
#include <gtest/gtest.h>

#include "tests/hang_guard.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/hardcopy/driver_fixture.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/hcdrivers/dxf.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hardcopy/output_helpers.h"
#include "toolkit/state/tessar.h"

namespace {

class Dxf : public hc::DriverFileTest {
 protected:
  Dxf() : DriverFileTest(HCDXF) {}
};

// The value of the first group with this code after the given value line.
std::string after(const std::vector<std::string>& l, const std::string& value,
                  const std::string& code) {
  std::size_t i = 0;
  while (i < l.size() && l[i] != value) ++i;
  for (i += 1; i + 1 < l.size(); i += 2)
    if (l[i] == code) return l[i + 1];
  return "";
}

TEST_F(Dxf, HeaderStartsAndEndsAsGiven) {
  const auto l = write("header.dxf", nullptr);
  const std::vector<std::string> head = {"0", "SECTION", "2", "HEADER", "9", "$EXTMIN", "10",
                                         "0.0", "20", "0.0", "9", "$EXTMAX", "10", "10.5", "20",
                                         "7.5"};
  EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + 16), head);
  EXPECT_EQ(after(l, "$VIEWCTR", "10"), "5.25");
  EXPECT_EQ(std::vector<std::string>(l.end() - 4, l.end()),
            (std::vector<std::string>{"0", "ENDSEC", "0", "EOF"}));
  EXPECT_NE(bytes.find("DASHED\r\n70\r\n0\r\n3\r\n__ __ __ __ __ __ __ __ __ __ __ __ __ __ __  \r\n"),
            std::string::npos);
}

TEST_F(Dxf, ColoursByDepth) {
  struct Case { int depth; int model; int colour; const char* code; const char* value; };
  const Case cases[] = {
      {3, 1, 31, "62", "1"},
      {24, 24, 0xFF0000, "420", "255"},   // packed red + 256 green + 65536 blue: blue
      {8, 24, 0x0000FF, "62", "1"},       // pure red is DXF colour 1
      {4, 1, 64, "62", "2"},
  };
  for (const Case& c : cases) {
    SetUp();
    igrhardcopyoptions(23, c.depth);
    static Case current;
    current = c;
    const auto l = write("colour.dxf", [] {
      igrcolourmodel(current.model == 24 ? 24 : 1);
      IGrColourN(current.colour);
      igrjoin(0.1f, 0.1f, 0.5f, 0.5f);
    });
    EXPECT_EQ(after(l, "LINE", c.code), c.value) << c.depth;
    if (c.depth == 24) {
      EXPECT_EQ(after(l, "LINE", "62"), "");
    }
  }
  EXPECT_EQ(yydxfcol(yydxfpal(9)), 9);
}

TEST_F(Dxf, HugePageHeightHatchesNoCloserThanTheDrawableRows) {
  igrhardcopyoptions(2, 1000000);
  std::vector<std::string> l;
  {
    HangGuard guard("a DXF fill on a page 1,000,000 points high", 30);
    l = write("hugepage.dxf", [] {
      igrfillpattern(4, 2, 3);
      const std::vector<float> x = {0, 1, 1, 0}, y = {0, 0, 1, 1};
      IGrPolygonComplex(x, y, 4);
      igrfillpattern(3, 2, 3);
      IGrRectangle(0, 0, 1, 1);
    });
  }
  const auto lines = std::count(l.begin(), l.end(), std::string("LINE"));
  // Two shapes over the 750 rows of the drawable: one line a row at most for each.
  EXPECT_GT(lines, 300);
  EXPECT_LE(lines, 2 * 760);
}

TEST_F(Dxf, PolylineVerticesAndLineTypes) {
  const auto l = write("poly.dxf", [] {
    igrlinetype(2);
    igrjoin(0.1f, 0.1f, 0.5f, 0.5f);
    const std::vector<float> x = {0.1f, 0.2f, 0.3f}, y = {0.1f, 0.3f, 0.1f};
    igrpolyline(x, y, 3);
  });
  EXPECT_EQ(after(l, "LINE", "6"), "DASHED");
  EXPECT_EQ(after(l, "POLYLINE", "6"), "DASHED");
  EXPECT_EQ(std::count(l.begin(), l.end(), "VERTEX"), 3);
  EXPECT_EQ(std::count(l.begin(), l.end(), "SEQEND"), 1);
}

TEST_F(Dxf, TextsKeepTheirGroupsAndNumbersTheirPoint) {
  tessar.files.DECIMAL = ',';
  tessar.dialog.DECIMALSUBST = 1;
  const auto l = write("text.dxf", [] {
    // Fixed pitch: the proportional faces go as stroke text on this device.
    WGrTextFont({.family = 101});
    wgrtextstring(0.1f, 0.1f, "A(1)\r\n0\r\nEOF\x1a\x1b");
  });
  tessar.dialog.DECIMALSUBST = 0;
  EXPECT_EQ(after(l, "TEXT", "1"), "A(1)  0  EOF  ");
  EXPECT_EQ(bytes.find(','), std::string::npos);
  EXPECT_EQ(std::count(l.begin(), l.end(), "EOF"), 1);
}

TEST_F(Dxf, PictureAuditsClean) {
  ASSERT_TRUE(tw::test::needpython("ezdxf", "python3-ezdxf"));
  write("picture.dxf", [] { drawtestpicture(); });
  const hc::Run r = hc::run(
      "/usr/bin/python3 -c \"import ezdxf,sys\nfrom ezdxf import recover\n"
      "doc,aud=recover.readfile(sys.argv[1])\n"
      "print('errors',len(aud.errors))\n"
      "kinds=sorted(set(e.dxftype() for e in doc.modelspace()))\n"
      "print('kinds',*kinds)\n"
      "print('layers',*sorted(set(e.dxf.layer for e in doc.modelspace())))\n"
      "print('haslayers',*[n for n in '123456789' if n in doc.layers])\" " + path);
  EXPECT_NE(r.output.find("errors 0"), std::string::npos) << r.output;
  for (const char* kind : {"LINE", "POLYLINE", "SOLID", "TEXT"})
    EXPECT_NE(r.output.find(kind), std::string::npos) << kind << "\n" << r.output;
  EXPECT_NE(r.output.find("layers 1\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("haslayers 1 2 3 4 5 6 7 8 9"), std::string::npos) << r.output;
}

}  // namespace
