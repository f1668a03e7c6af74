// Binary CGM: the encoders' octets, the file driver (elements, caches, pictures, long lists,
// the clipboard), the recorder in a metafile slot, gradient triangles; the shared test
// picture read back by our scanner and by a decoder written here, and converted by
// LibreOffice.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <sstream>

#include "platform/clipboard.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/hardcopy/cgm_scan.h"
#include "toolkit/hcdrivers/cgm_elements.h"
#include "toolkit/hcdrivers/cgm_recorder.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string hex(const Bytes& b) {
  std::string s;
  char buffer[4];
  for (std::uint8_t v : b) {
    std::snprintf(buffer, sizeof buffer, "%02X ", v);
    s += buffer;
  }
  if (!s.empty()) s.pop_back();
  return s;
}

Bytes octets(std::initializer_list<int> v) {
  Bytes b;
  for (int x : v) b.push_back(static_cast<std::uint8_t>(x));
  return b;
}

Bytes stringbytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes b;
  for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}

// What the file twins write while a capture buffer takes it.
Bytes captured(const std::function<void()>& write) {
  Bytes b;
  yycgmcapture(&b);
  write();
  yycgmcapture(nullptr);
  return b;
}

// A decoder written from the standard's octet layout, independent of the writers: every
// element with its parameters, partitions joined.
struct Element {
  int cls = 0, id = 0;
  Bytes p;
  bool longform = false;
  int partitions = 0;
  int int16(std::size_t k) const {
    if (2 * k + 1 >= p.size()) return -99999;
    return static_cast<std::int16_t>(p[2 * k] << 8 | p[2 * k + 1]);
  }
};

struct Decoded {
  std::vector<Element> elements;
  bool wellformed = true;   // no element runs past the end
  int count(int cls, int id) const {
    int n = 0;
    for (const Element& e : elements) n += e.cls == cls && e.id == id ? 1 : 0;
    return n;
  }
  const Element* first(int cls, int id) const {
    for (const Element& e : elements)
      if (e.cls == cls && e.id == id) return &e;
    return nullptr;
  }
};

Decoded decode(const Bytes& b) {
  Decoded d;
  std::size_t at = 0;
  auto word = [&](int& w) {
    if (at + 2 > b.size()) return false;
    w = b[at] << 8 | b[at + 1];
    at += 2;
    return true;
  };
  while (at < b.size()) {
    int h = 0;
    if (!word(h)) {
      d.wellformed = false;
      break;
    }
    Element e;
    e.cls = h >> 12;
    e.id = (h >> 5) & 127;
    int length = h & 31;
    bool more = false;
    if (length == 31) {
      e.longform = true;
      do {
        int w = 0;
        if (!word(w)) {
          d.wellformed = false;
          return d;
        }
        more = (w & 0x8000) != 0;
        const std::size_t n = static_cast<std::size_t>(w & 0x7FFF);
        if (at + n > b.size()) {
          d.wellformed = false;
          return d;
        }
        e.p.insert(e.p.end(), b.begin() + static_cast<std::ptrdiff_t>(at),
                   b.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
        ++e.partitions;
        if (more && n % 2 != 0) d.wellformed = false;
      } while (more);
    } else {
      if (at + static_cast<std::size_t>(length) > b.size()) {
        d.wellformed = false;
        return d;
      }
      e.p.assign(b.begin() + static_cast<std::ptrdiff_t>(at),
                 b.begin() + static_cast<std::ptrdiff_t>(at + static_cast<std::size_t>(length)));
      at += static_cast<std::size_t>(length);
      e.partitions = 1;
    }
    if (e.p.size() % 2 != 0) {
      if (at >= b.size() || b[at] != 0) d.wellformed = false;
      ++at;
    }
    d.elements.push_back(std::move(e));
  }
  return d;
}

Bytes filebytes(const std::string& path) {
  const std::string s = tw::test::slurp(path);
  return Bytes(s.begin(), s.end());
}

struct Scan {
  int pictures = -1;
  float ratio = -1;
  int error = -1;
};
Scan scan(const std::string& path) {
  Scan s;
  tessar.error.LASTERROR = 0;
  yyinfocgm(path, s.pictures, s.ratio);
  s.error = tessar.error.LASTERROR;
  return s;
}

void rgb(int r, int g, int b) {
  igrcolourmodel(24);
  IGrColourN(wrgb(r, g, b));
}

//------------------------------------------------------------------------------
// The encoders
//------------------------------------------------------------------------------
TEST(CgmEncoding, OctetsOfEachEncoder) {
  tessar.graphics.operands.HCSCALEX = 1;
  tessar.graphics.operands.HCSCALEY = 1;
  const std::string twelve = "VXK CGM File";
  struct Case {
    const char* what;
    std::function<void()> write;
    Bytes expected;
  };
  const Case cases[] = {
      {"short header: POLYLINE, 8 octets", [] { yycgm2(4, 1, 8); }, octets({0x40, 0x28})},
      {"long-form header: POLYLINE", [] { yycgm2(4, 1, 31); }, octets({0x40, 0x3F})},
      {"length word with the continuation bit", [] { yycgm5(20 + 32768); }, octets({0x80, 0x14})},
      {"integer -1", [] { yycgm5(-1); }, octets({0xFF, 0xFF})},
      {"integer 65535", [] { yycgm5(65535); }, octets({0xFF, 0xFF})},
      {"integer 32768", [] { yycgm5(32768); }, octets({0x80, 0x00})},
      {"two integers, first first", [] { yycgm6(1, -2); }, octets({0, 1, 0xFF, 0xFE})},
      {"VDC point truncated toward zero", [] { yycgm3(10.9f, -10.9f); }, octets({0, 10, 0xFF, 0xF6})},
      {"LINE COLOUR pure red", [] { yycgm4(5, 4, 255, 0, 0); }, octets({0x50, 0x84, 0xFF, 0, 0, 0})},
      {"colour components cut to their low octet", [] { yycgm4(5, 23, 256 + 1, 2, 3); },
       octets({0x52, 0xE4, 1, 2, 3, 0})},
      {"padded string of length 0", [] { yycgm7(""); }, octets({0, 0})},
      {"unpadded string of length 0", [] { yycgm8(""); }, octets({0})},
      {"padded string of length 3: already even", [] { yycgm7("abc"); }, octets({3, 'a', 'b', 'c'})},
      {"padded string of length 12", [&] { yycgm7(twelve); },
       join({octets({12}), stringbytes(twelve), octets({0})})},
      {"unpadded string of length 12", [&] { yycgm8(twelve); }, join({octets({12}), stringbytes(twelve)})},
      {"fixed-point real 0.0 in TEXT ALIGNMENT",
       [] {
         CgmParams p;
         p.int16(1).int16(5).real0().real0();
         yycgmelement(CgmOut::FILE, 5, 18, p);
       },
       octets({0x52, 0x4C, 0, 1, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0})},
      {"BEGIN METAFILE: length 13 without its zero octet",
       [] {
         CgmParams p;
         p.string("VXK CGM File", false);
         yycgmelement(CgmOut::FILE, 0, 1, p);
       },
       join({octets({0x00, 0x2D, 12}), stringbytes("VXK CGM File"), octets({0})})},
      {"30 parameter octets: short form",
       [] {
         CgmParams p;
         p.b.assign(30, 7);
         yycgmelement(CgmOut::FILE, 4, 5, p);
       },
       join({octets({0x40, 0xBE}), Bytes(30, 7)})},
      {"31 parameter octets: long form, zero octet after",
       [] {
         CgmParams p;
         p.b.assign(31, 7);
         yycgmelement(CgmOut::FILE, 4, 5, p);
       },
       join({octets({0x40, 0xBF, 0x00, 0x1F}), Bytes(31, 7), octets({0})})},
      {"two points as a long-form POLYLINE", [] { yycgmpoints(CgmOut::FILE, 1, std::vector<int>{1, 2, 3, 4}); },
       octets({0x40, 0x3F, 0x00, 0x08, 0, 1, 0, 2, 0, 3, 0, 4})},
      {"TEXT of one character",
       [] { yycgmtext(CgmOut::FILE, false, 0, 0, 5, 6, "Q"); },
       octets({0x40, 0x88, 0, 5, 0, 6, 0, 1, 1, 'Q'})},
      {"RESTRICTED TEXT of 2 characters with its zero octet",
       [] { yycgmtext(CgmOut::FILE, true, 100, 50, 5, 6, "ab"); },
       octets({0x40, 0xAD, 0, 100, 0, 50, 0, 5, 0, 6, 0, 1, 2, 'a', 'b', 0})},
  };
  for (const Case& c : cases) EXPECT_EQ(hex(captured(c.write)), hex(c.expected)) << c.what;
}

TEST(CgmEncoding, PartitionsOfLongPointListsAndTexts) {
  // 8191 points fill one partition; the 8192nd goes into a second one.
  std::vector<int> xy(2 * 8192);
  for (std::size_t k = 0; k < xy.size(); ++k) xy[k] = static_cast<int>(k % 30000);
  const Bytes b = captured([&] { yycgmpoints(CgmOut::FILE, 7, xy); });
  ASSERT_EQ(b.size(), 2u + 2 + 32764 + 2 + 4);
  EXPECT_EQ(hex(Bytes(b.begin(), b.begin() + 4)), "40 FF FF FC");
  EXPECT_EQ(hex(Bytes(b.begin() + 32768, b.begin() + 32770)), "00 04");
  const Decoded d = decode(b);
  ASSERT_TRUE(d.wellformed);
  ASSERT_EQ(d.elements.size(), 1u);
  EXPECT_EQ(d.elements[0].partitions, 2);
  for (std::size_t k = 0; k < xy.size(); ++k) ASSERT_EQ(d.elements[0].int16(k), xy[k]) << k;

  // 300 characters: 254 in the RESTRICTED TEXT (not final), the rest in APPEND TEXT (final).
  std::string text;
  for (int k = 0; k < 300; ++k) text += static_cast<char>('a' + k % 26);
  const Decoded t = decode(captured([&] { yycgmtext(CgmOut::FILE, true, 1, 2, 3, 4, text); }));
  ASSERT_TRUE(t.wellformed);
  ASSERT_EQ(t.elements.size(), 2u);
  const Element& r = t.elements[0];
  const Element& a = t.elements[1];
  EXPECT_EQ(r.id, 5);
  EXPECT_EQ(r.int16(4), 0);
  EXPECT_EQ(r.p[10], 254);
  EXPECT_EQ(std::string(r.p.begin() + 11, r.p.end()), text.substr(0, 254));
  EXPECT_EQ(a.id, 6);
  EXPECT_EQ(a.int16(0), 1);
  EXPECT_EQ(a.p[2], 46);
  EXPECT_EQ(std::string(a.p.begin() + 3, a.p.end()), text.substr(254));
}

TEST(CgmEncoding, ColourHandlingOfOption6) {
  struct Case {
    int option, r, g, b, er, eg, eb;
  } const cases[] = {
      {2, 5, 5, 5, 250, 250, 250},       // near black becomes near white
      {2, 250, 250, 250, 5, 5, 5},       // and back
      {2, 5, 200, 5, 5, 200, 5},         // any other colour stays
      {1, 0, 128, 255, 255, 127, 0},     // every colour inverted
      {0, 0, 128, 255, 0, 128, 255},
  };
  for (const Case& c : cases) {
    tessar.hardcopy.HCOPTIONS[5] = c.option;
    int r = c.r, g = c.g, b = c.b;
    yycgm1(r, g, b);
    EXPECT_EQ(r, c.er);
    EXPECT_EQ(g, c.eg);
    EXPECT_EQ(b, c.eb);
  }
  tessar.hardcopy.HCOPTIONS[5] = 0;
}

TEST(CgmEncoding, MemoryAppendIsAllOrNothing) {
  tessar.error = ErrorState{};
  tessar.graphics.target.TARGETNUMBER = 2;
  MetafileSlot& s = tessar.graphics.metafiles[1];
  s = MetafileSlot{};
  s.KIND = 6;
  s.CAPACITY = 100;
  s.BUFFER.assign(100, 0);
  s.USED = 98;
  yygcgm5(7);
  yygcgm5(7);
  EXPECT_EQ(tessar.error.LASTERROR, 1062);
  EXPECT_EQ(s.USED, 100);
  EXPECT_EQ(s.BUFFER[98], 0);
  EXPECT_EQ(s.BUFFER[99], 7);
  // A capacity beyond the buffer the slot really holds is not written past.
  s.CAPACITY = 1000;
  tessar.error.LASTERROR = 0;
  yygcgm6(1, 2);
  EXPECT_EQ(tessar.error.LASTERROR, 1062);
  EXPECT_EQ(s.USED, 100);
  s = MetafileSlot{};
}

TEST(CgmGradient, TrianglesAsInterpolatedPolygons) {
  GraphicsRegion& g = tessar.graphics;
  g.operands.HCSCALEX = 1;
  g.operands.HCSCALEY = 1;
  GradientVertices v{};
  v.n = 3;
  v.X[1] = 10;
  v.Y[2] = 10;
  v.RGB = {0x0000FF, 0x00FF00, 0xFF0000};
  v.T[0] = {0, 1, 2};
  v.ntri = 1;
  int status = 5;
  yycgmgradientcorners(-1);
  const Bytes b = captured([&] { yycgm9(v, status); });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(b.size(), 48u);
  EXPECT_EQ(hex(b), "53 E4 00 00 00 00 "                                  // FILL REFERENCE POINT
                    "55 76 00 03 00 0A 00 00 00 00 00 0A 00 00 "           // INTERPOLATED INTERIOR
                    "FF 00 00 00 FF 00 00 00 FF 00 "
                    "52 C2 00 06 "                                          // INTERIOR STYLE 6
                    "40 EC 00 00 00 00 00 0A 00 00 00 00 00 0A");           // POLYGON

  // Corners from the work arrays: (2.9, -2.9) is (2, -2); the vector is truncated after the
  // difference (1.5 - 0.6 gives 0) while the points are 0 and 1.
  g.XWORK = {0.6f, 1.5f, 2.9f};
  g.YWORK = {0, 0, -2.9f};
  yycgmgradientcorners(3);
  const Decoded d = decode(captured([&] { yycgm9(v, status); }));
  yycgmgradientcorners(-1);
  ASSERT_EQ(d.elements.size(), 4u);
  EXPECT_EQ(d.elements[1].int16(1), 0);     // vector a to b, x
  const Element& poly = d.elements[3];
  EXPECT_EQ(poly.int16(0), 0);
  EXPECT_EQ(poly.int16(2), 1);
  EXPECT_EQ(poly.int16(4), 2);
  EXPECT_EQ(poly.int16(5), -2);

  v.ntri = 0;
  status = 5;
  EXPECT_TRUE(captured([&] { yycgm9(v, status); }).empty());
  EXPECT_EQ(status, 0);
  // A corner number outside the vertices is passed over, not read.
  v.ntri = 1;
  v.T[0] = {0, 1, 700};
  EXPECT_TRUE(captured([&] { yycgm9(v, status); }).empty());
  g.XWORK.clear();
  g.YWORK.clear();
}

TEST(CgmEncoding, ExtentOfThePage) {
  struct Case {
    int w, h, W, H;
  } const cases[] = {{756, 540, 6300, 4500}, {4000, 3000, 32767, 24575}, {4000, 540, 32767, 4423}};
  for (const Case& c : cases) {
    int W = 0, H = 0;
    yycgmextent(c.w, c.h, W, H);
    EXPECT_EQ(W, c.W) << c.w;
    EXPECT_EQ(H, c.H) << c.w;
  }
}

//------------------------------------------------------------------------------
// The file driver
//------------------------------------------------------------------------------
class CgmFile : public ::testing::Test {
 protected:
  void SetUp() override {
    testpicturegraphics(1000, 750);
    igrhardcopyselect(1, HCCGM);
  }
  Decoded write(const std::string& name, const std::function<void()>& draw,
                std::optional<std::string_view> title = std::nullopt) {
    path = hc::scratch(name).string();
    igrhardcopy(path, title);
    draw();
    igrhardcopy("S");
    bytes = filebytes(path);
    return decode(bytes);
  }
  std::string path;
  Bytes bytes;
};

TEST_F(CgmFile, DefaultsAndTheHeader) {
  EXPECT_EQ(tessar.graphics.operands.HCDEVICE, HCCGM);
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[0], 756);
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[1], 540);
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[27], 2);
  EXPECT_EQ(tessar.files.HCOUTPUT.substr(0, 13), "tessplot.cgm ");
  const Decoded d = write("header.cgm", [] {});
  ASSERT_TRUE(d.wellformed);
  // BEGIN METAFILE is the first 16 octets.
  EXPECT_EQ(hex(Bytes(bytes.begin(), bytes.begin() + 16)),
            "00 2D 0C 56 58 4B 20 43 47 4D 20 46 69 6C 65 00");
  const std::pair<int, int> order[] = {{0, 1}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6},
                                       {1, 13}, {1, 7}, {1, 10}, {0, 3}, {2, 3}, {2, 5}, {2, 2},
                                       {3, 1}, {2, 6}, {0, 4}, {5, 18}};
  ASSERT_GT(d.elements.size(), std::size(order));
  for (std::size_t k = 0; k < std::size(order); ++k) {
    EXPECT_EQ(d.elements[k].cls, order[k].first) << k;
    EXPECT_EQ(d.elements[k].id, order[k].second) << k;
  }
  const Element& fonts = d.elements[7];
  EXPECT_TRUE(fonts.longform);
  EXPECT_EQ(fonts.p.size(), 260u);
  EXPECT_EQ(std::string(fonts.p.begin() + 1, fonts.p.begin() + 12), "Courier New");
  const Element& extent = d.elements[15];
  EXPECT_EQ(extent.int16(2), 6300);
  EXPECT_EQ(extent.int16(3), 4500);
  // Nothing drawn: the picture is still closed before the metafile ends.
  EXPECT_EQ(d.count(0, 5), 1);
  EXPECT_EQ(d.elements.back().cls, 0);
  EXPECT_EQ(d.elements.back().id, 2);
  const Scan s = scan(path);
  EXPECT_EQ(s.error, 0);
  EXPECT_EQ(s.pictures, 1);
  EXPECT_FLOAT_EQ(s.ratio, 1.4f);
}

TEST_F(CgmFile, TitlesInTheShortAndTheLongForm) {
  const std::string t29(29, 'T'), t30(30, 'T');
  Decoded d = write("title29.cgm", [] {}, t29);
  EXPECT_EQ(hex(Bytes(bytes.begin(), bytes.begin() + 3)), "00 3E 1D");
  d = write("title30.cgm", [] {}, t30);
  EXPECT_EQ(hex(Bytes(bytes.begin(), bytes.begin() + 5)), "00 3F 00 1F 1E");
  ASSERT_TRUE(d.wellformed);
  EXPECT_EQ(std::string(d.elements[0].p.begin() + 1, d.elements[0].p.end()), t30);
  // Control characters (a character-set escape among them) become blanks.
  d = write("titlecontrol.cgm", [] {}, std::string_view("Flow\r\n\x1b(B\x04"));
  ASSERT_TRUE(d.wellformed);
  EXPECT_EQ(std::string(d.elements[0].p.begin() + 1, d.elements[0].p.end()), "Flow   (B ");
}

TEST_F(CgmFile, AttributesOnlyWhenTheyChange) {
  const Decoded d = write("attributes.cgm", [] {
    IGrUnits(0, 0, 100, 100);
    rgb(0, 0, 0);
    igrjoin(10, 10, 20, 20);
    igrjoin(20, 20, 30, 10);
    rgb(255, 0, 0);
    igrjoin(30, 10, 40, 20);
    igrlinetype(1);
    igrjoin(40, 20, 50, 10);
    // Outside the clip box on the right: clamped to it.
    igrfillpattern(4);
    IGrRectangle(90, 10, 120, 20);
    // Fill style 2 writes nothing for a rectangle and an outlined ellipse.
    igrfillpattern(2, 3, 1);
    IGrRectangle(10, 50, 20, 60);
    igrlinetype(0);
    igrfillpattern(0);
    igrcircle(50, 50, 10);
    igrpoint(70, 70);
  });
  ASSERT_TRUE(d.wellformed);
  // Black once for the first two lines, red once (the point keeps it).
  EXPECT_EQ(d.count(5, 4), 2);
  int lt3 = 0;
  for (const Element& e : d.elements) lt3 += e.cls == 5 && e.id == 2 && e.int16(0) == 3 ? 1 : 0;
  EXPECT_EQ(lt3, 1);
  const Element* rect = d.first(4, 11);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(d.count(4, 11), 1);
  float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  yye2i(90, 10, X1, Y1);
  yye2i(100, 20, X2, Y2);
  EXPECT_EQ(rect->int16(0), yycgmvdc(X1, tessar.graphics.operands.HCSCALEX));
  EXPECT_EQ(rect->int16(2), yycgmvdc(tessar.graphics.area.XMAX, tessar.graphics.operands.HCSCALEX));
  EXPECT_LT(rect->int16(2), yycgmvdc(X2, tessar.graphics.operands.HCSCALEX) + 1);
  const Element* ellipse = d.first(4, 17);
  ASSERT_NE(ellipse, nullptr);
  std::vector<std::pair<int, int>> around;
  for (std::size_t k = 0; k < d.elements.size(); ++k)
    if (d.elements[k].cls == 5 && d.elements[k].id == 30) around.emplace_back(static_cast<int>(k), d.elements[k].int16(0));
  ASSERT_EQ(around.size(), 2u);
  EXPECT_EQ(around[0].second, 1);
  EXPECT_EQ(around[1].second, 0);
  EXPECT_EQ(d.count(5, 28), 1);
  EXPECT_EQ(d.first(5, 28)->int16(0), 4);   // option 9 = 5: 5 x 6300 div 7560
  // The point: a POLYLINE of two equal points.
  const Element& last = *std::find_if(d.elements.rbegin(), d.elements.rend(),
                                      [](const Element& e) { return e.cls == 4 && e.id == 1; });
  EXPECT_EQ(last.int16(0), last.int16(2));
  EXPECT_EQ(last.int16(1), last.int16(3));
}

TEST_F(CgmFile, RequestsAfterEndPictureStartANewPicture) {
  const Decoded d = write("pictures.cgm", [] {
    IGrUnits(0, 0, 100, 100);
    rgb(0, 0, 255);
    igrjoin(10, 10, 90, 90);
    tessar.graphics.operands.IOPER2 = 0;
    yyhdrv(DENDPAGE);
    igrjoin(10, 90, 90, 10);
  });
  ASSERT_TRUE(d.wellformed);
  EXPECT_EQ(d.count(0, 3), 2);
  EXPECT_EQ(d.count(0, 5), 2);
  EXPECT_EQ(d.count(2, 6), 2);
  // Each picture starts from the defaults: the colour, width and type are written again.
  EXPECT_EQ(d.count(5, 4), 2);
  EXPECT_GE(d.count(5, 3), 2);
  EXPECT_GE(d.count(5, 2), 2);
  std::size_t secondpicture = 0, secondline = 0;
  for (std::size_t k = 0; k < d.elements.size(); ++k) {
    if (d.elements[k].cls == 0 && d.elements[k].id == 3) secondpicture = k;
    if (d.elements[k].cls == 4 && d.elements[k].id == 1) secondline = k;
  }
  EXPECT_LT(secondpicture, secondline);
  const Scan s = scan(path);
  EXPECT_EQ(s.error, 0);
  EXPECT_EQ(s.pictures, 2);
}

TEST_F(CgmFile, LongPolylinesAndTextsAreNotCut) {
  std::vector<float> x, y;
  for (int k = 0; k < 20000; ++k) {
    x.push_back(static_cast<float>(k) / 200.0f);
    y.push_back(50 + 40 * std::sin(static_cast<float>(k) * 0.001f));
  }
  std::string longtext(258, 'x');
  longtext.replace(0, 5, "Start");
  const Decoded d = write("long.cgm", [&] {
    IGrUnits(0, 0, 100, 100);
    rgb(0, 0, 0);
    igrpolyline(x, y, static_cast<int>(x.size()));
    WGrTextFont({.family = 102, .type = 0, .width = 0.002f, .height = 0.01f});
    wgrtextorientation(0, 0.0f);
    wgrtextstring(1, 1, longtext);
  });
  ASSERT_TRUE(d.wellformed);
  const Element* line = d.first(4, 1);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->p.size(), 4u * 20000);
  EXPECT_EQ(line->partitions, 3);
  // The last point is where the work arrays end.
  float X = 0, Y = 0;
  yye2i(x.back(), y.back(), X, Y);
  EXPECT_EQ(line->int16(2 * 19999), yycgmvdc(X, tessar.graphics.operands.HCSCALEX));
  EXPECT_EQ(line->int16(2 * 19999 + 1), yycgmvdc(Y, tessar.graphics.operands.HCSCALEY));
  const Element* text = d.first(4, 5);
  const Element* append = d.first(4, 6);
  ASSERT_NE(text, nullptr);
  ASSERT_NE(append, nullptr);
  std::string joined(text->p.begin() + 11, text->p.end());
  joined += std::string(append->p.begin() + 3, append->p.end());
  EXPECT_EQ(joined, longtext);
  EXPECT_EQ(scan(path).error, 0);
}

// A text of 20 characters takes the long form: 20 + 11 = 31 octets.
TEST_F(CgmFile, RestrictedTextLengths) {
  const Decoded d = write("texts.cgm", [] {
    WGrTextFont({.family = 102, .type = 0, .width = 0.01f, .height = 0.03f});
    wgrtextorientation(0, 0.0f);
    wgrtextstring(0.1f, 0.1f, std::string(19, 'a'));
    wgrtextstring(0.1f, 0.5f, std::string(20, 'b'));
  });
  ASSERT_TRUE(d.wellformed);
  std::vector<const Element*> texts;
  for (const Element& e : d.elements)
    if (e.cls == 4 && e.id == 5) texts.push_back(&e);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_FALSE(texts[0]->longform);
  EXPECT_EQ(texts[0]->p.size(), 30u);
  EXPECT_TRUE(texts[1]->longform);
  EXPECT_EQ(texts[1]->p.size(), 31u);
  // Courier (index 1) from the start of the hardcopy, then Arial (index 5).
  EXPECT_EQ(d.count(5, 10), 2);
  const Element& arial = *std::find_if(d.elements.rbegin(), d.elements.rend(),
                                       [](const Element& e) { return e.cls == 5 && e.id == 10; });
  EXPECT_EQ(arial.int16(0), 5);
}

TEST_F(CgmFile, GradientPolygonBecomesTriangles) {
  const Decoded d = write("gradient.cgm", [] {
    IGrUnits(0, 0, 100, 100);
    igrcolourmodel(24);
    IGrColourN(wrgb(255, 0, 0));
    IGrColourN(wrgb(0, 0, 255));
    const std::vector<float> x{10, 90, 90, 10}, y{10, 10, 90, 90};
    GraphicsRegion& g = tessar.graphics;
    g.XWORK.clear();
    g.YWORK.clear();
    for (std::size_t k = 0; k < 4; ++k) {
      float X = 0, Y = 0;
      yye2i(x[k], y[k], X, Y);
      g.XWORK.push_back(X);
      g.YWORK.push_back(Y);
      g.gradient.RGB[k] = k < 2 ? 0x0000FF : 0xFF0000;
    }
    g.gradient.n = 4;
    g.operands.IOPER2 = 4;
    yyhdrv(DGRADIENT);
  });
  ASSERT_TRUE(d.wellformed);
  EXPECT_EQ(d.count(5, 43), 2);
  EXPECT_EQ(d.count(5, 31), 2);
  const Element* interp = d.first(5, 43);
  ASSERT_NE(interp, nullptr);
  EXPECT_EQ(interp->int16(0), 3);
}

// Operands no caller should send (counts beyond the work arrays, negative counts, text
// counts beyond the operand, reals that are not numbers, a drawable without width) reach
// every request of both devices: nothing reads past a buffer and the output stays whole.
TEST_F(CgmFile, HostileOperandsKeepTheOutputWhole) {
  struct Operands {
    int count, points, ix;
    float real;
  } const cases[] = {{1, 1000000000, 100000, std::numeric_limits<float>::quiet_NaN()},
                     {-5, -5, -5, std::numeric_limits<float>::infinity()},
                     {1, 3, 300, -1e30f},
                     {0, 2, 0, 1e30f}};
  auto hostile = [](const Operands& c) {
    GraphicsRegion& g = tessar.graphics;
    DeviceOperands& op = g.operands;
    g.XWORK = {1, 2, 3};
    g.YWORK = {1, 2};
    g.gradient.n = 1000;
    op.IOPER1 = c.count;
    op.IOPER2 = c.points;
    op.IX1 = op.IX2 = op.IX3 = op.IX4 = c.ix;
    op.IY1 = op.IY2 = op.IY3 = op.IY4 = c.ix;
    op.RX1 = op.RX2 = op.RY1 = op.RY2 = op.RX4 = op.RY4 = c.real;
    op.RX3 = 0;
    op.RY3 = c.real;
    g.target.WIDTH = 0;
    assignfixed(tessar.files.HCCURRENT, "");
  };
  for (const Operands& c : cases) {
    const Decoded d = write("hostile.cgm", [&] {
      const int width = tessar.graphics.target.WIDTH;
      for (int code = 2; code <= 40; ++code) {
        if (code == DBEGINPLOT || code == DENDPLOT || code == DENDPAGE) continue;
        hostile(c);
        int k = code;
        yyhdrv(k);
        hostile(c);
        tessar.graphics.target.TARGETNUMBER = 7;
        tessar.graphics.metafiles[6] = MetafileSlot{756, 540, 6300, 4500, 6, 1, 4000, 0, Bytes(4000, 0)};
        yygcgm(k);
      }
      tessar.graphics.target.WIDTH = width;
      tessar.graphics.target.TARGETNUMBER = 0;
    });
    EXPECT_TRUE(d.wellformed) << c.points;
    EXPECT_EQ(d.elements.back().id, 2);
    tessar.graphics.XWORK.clear();
    tessar.graphics.YWORK.clear();
  }
}

// A 24-bit BMP of width x height pixels of one colour.
void writebmp(const std::string& path, int width, int height, int r, int g, int b) {
  const int row = (3 * width + 3) / 4 * 4;
  const int size = 54 + row * height;
  Bytes f(static_cast<std::size_t>(size), 0);
  auto put32 = [&](std::size_t at, int v) {
    for (std::size_t k = 0; k < 4; ++k) f[at + k] = static_cast<std::uint8_t>((v >> (8 * k)) & 255);
  };
  f[0] = 'B';
  f[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, width);
  put32(22, height);
  f[26] = 1;
  f[28] = 24;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::size_t at = 54 + static_cast<std::size_t>(y * row + 3 * x);
      f[at] = static_cast<std::uint8_t>(b);
      f[at + 1] = static_cast<std::uint8_t>(g);
      f[at + 2] = static_cast<std::uint8_t>(r);
    }
  std::FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(f.data(), 1, f.size(), out);
  std::fclose(out);
}

// An image of 3 x 2 pixels of one colour: a first partition of 20 octets, then one row a
// partition, each one run and a zero octet.
TEST_F(CgmFile, ImageAsCellArrayRuns) {
  const std::string bmp = hc::scratch("cells.bmp").string();
  writebmp(bmp, 3, 2, 10, 20, 30);
  const Decoded d = write("image.cgm", [&] {
    assignfixed(tessar.files.HCCURRENT, bmp);
    tessar.graphics.operands.IX2 = 3;
    tessar.graphics.operands.IY2 = 2;
    yyhdrv(DIMAGE);
    EXPECT_EQ(tessar.graphics.operands.IOPER1, 0);
  });
  ASSERT_TRUE(d.wellformed);
  const Element* cells = d.first(4, 9);
  ASSERT_NE(cells, nullptr);
  EXPECT_EQ(cells->partitions, 3);
  EXPECT_EQ(cells->int16(6), 3);
  EXPECT_EQ(cells->int16(7), 2);
  EXPECT_EQ(cells->int16(8), 8);
  EXPECT_EQ(cells->int16(9), 0);
  EXPECT_EQ(hex(Bytes(cells->p.begin() + 20, cells->p.end())), "00 03 0A 14 1E 00 00 03 0A 14 1E 00");
  EXPECT_NE(hex(bytes).find("41 3F 80 14"), std::string::npos);   // header, then 20 | 0x8000
  const std::string tail = hex(Bytes(bytes.end() - 30, bytes.end()));
  EXPECT_NE(tail.find("80 06 00 03 0A 14 1E 00 00 06 00 03 0A 14 1E 00"), std::string::npos) << tail;
  // A file that is not there: nothing written, the load's error returned.
  const Decoded none = write("noimage.cgm", [&] {
    assignfixed(tessar.files.HCCURRENT, bmp + ".missing");
    tessar.graphics.operands.IX2 = 3;
    tessar.graphics.operands.IY2 = 2;
    yyhdrv(DIMAGE);
    EXPECT_NE(tessar.graphics.operands.IOPER1, 0);
  });
  EXPECT_EQ(none.count(4, 9), 0);
}

// The clipboard gets the octets a file of the same picture holds.
TEST_F(CgmFile, ClipboardCarriesTheFileBytes) {
  write("forclipboard.cgm", [] { drawtestpicture(); });
  const Bytes file = bytes;
  ASSERT_GT(file.size(), 1000u);
  // The same state as the file's run started from.
  SetUp();
  assignfixed(tessar.files.HCOUTPUT, "");
  igrhardcopy();
  drawtestpicture();
  igrhardcopy("S");
  const win::UINT format = win::RegisterClipboardFormat("Tessaraweld CGM");
  ASSERT_TRUE(win::IsClipboardFormatAvailable(format));
  ASSERT_TRUE(win::OpenClipboard(nullptr));
  win::HGLOBAL block = win::GetClipboardData(format);
  ASSERT_NE(block, nullptr);
  const auto* p = static_cast<const std::uint8_t*>(win::GlobalLock(block));
  const Bytes clip(p, p + win::GlobalSize(block));
  win::GlobalUnlock(block);
  win::EmptyClipboard();
  win::CloseClipboard();
  EXPECT_EQ(clip.size(), file.size());
  EXPECT_TRUE(clip == file);
}

// LibreOffice refuses any CGM with text in a CHARACTER ORIENTATION other than upright ("source
// file could not be loaded", also for a five-element file written by hand): its copy of the
// picture has every orientation set upright, with the vectors' lengths kept.
Bytes upright(Bytes b) {
  std::size_t at = 0;
  while (at + 2 <= b.size()) {
    const int h = b[at] << 8 | b[at + 1];
    std::size_t start = at + 2, n = static_cast<std::size_t>(h & 31);
    if (n == 31) {
      n = 0;
      bool more = true;
      std::size_t k = at + 2;
      while (more && k + 2 <= b.size()) {
        const int w = b[k] << 8 | b[k + 1];
        more = (w & 0x8000) != 0;
        k += 2 + static_cast<std::size_t>(w & 0x7FFF);
      }
      at = k + (k % 2);
      continue;
    }
    if (h >> 12 == 5 && ((h >> 5) & 127) == 16 && n == 8 && start + 8 <= b.size()) {
      auto get = [&](std::size_t k) {
        return static_cast<double>(static_cast<std::int16_t>(b[start + 2 * k] << 8 | b[start + 2 * k + 1]));
      };
      const int up = static_cast<int>(std::hypot(get(0), get(1)));
      const int base = static_cast<int>(std::hypot(get(2), get(3)));
      const int v[4] = {0, up, base, 0};
      for (std::size_t k = 0; k < 4; ++k) {
        b[start + 2 * k] = static_cast<std::uint8_t>(v[k] >> 8);
        b[start + 2 * k + 1] = static_cast<std::uint8_t>(v[k] & 255);
      }
    }
    at = start + n + (n % 2);
  }
  return b;
}

// The shared picture on a white page (LibreOffice's page is black): our scanner and the
// decoder read it through; LibreOffice draws it.
TEST_F(CgmFile, PictureReadsBackAndConverts) {
  const Decoded d = write("picture.cgm", [] {
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, 1, 1);
    rgb(255, 255, 255);
    igrfillpattern(4);
    IGrRectangle(0, 0, 1, 1);
    drawtestpicture();
  });
  ASSERT_TRUE(d.wellformed);
  const Scan s = scan(path);
  EXPECT_EQ(s.error, 0);
  EXPECT_EQ(s.pictures, 1);
  EXPECT_FLOAT_EQ(s.ratio, 6300.0f / 4500.0f);
  std::map<std::pair<int, int>, int> counts;
  for (const Element& e : d.elements) ++counts[{e.cls, e.id}];
  std::ostringstream histogram;
  for (const auto& [k, n] : counts) histogram << k.first << "," << k.second << ":" << n << " ";
  SCOPED_TRACE(histogram.str());
  EXPECT_EQ(counts[std::make_pair(0, 1)], 1);
  EXPECT_EQ(counts[std::make_pair(0, 3)], 1);
  EXPECT_EQ(counts[std::make_pair(0, 5)], 1);
  EXPECT_EQ(counts[std::make_pair(0, 2)], 1);
  EXPECT_EQ(counts[std::make_pair(2, 6)], 1);
  // The five device texts, each a RESTRICTED TEXT of its own.
  EXPECT_EQ(counts[std::make_pair(4, 5)], 5);
  for (const char* t : {"Courier: Gauge 12304500 (Q)", "Helvetica bold \xC9t\xE9 \xE0 Z\xFCrich", "Rotated 30",
                        "Vertical"}) {
    bool found = false;
    for (const Element& e : d.elements)
      found |= e.cls == 4 && e.id == 5 && std::string(e.p.begin() + 11, e.p.end()) == t;
    EXPECT_TRUE(found) << t;
  }
  // Line types 0-7 each written; the chart's wave one POLYLINE of 201 points.
  EXPECT_GE(counts[std::make_pair(5, 2)], 8);
  bool wave = false;
  for (const Element& e : d.elements) wave |= e.cls == 4 && e.id == 1 && e.p.size() == 4 * 201;
  EXPECT_TRUE(wave);
  // Two circles, the ellipse and the round marker; the page, the solid and the patterned
  // rectangle.
  EXPECT_EQ(counts[std::make_pair(4, 17)], 4);
  EXPECT_EQ(counts[std::make_pair(4, 11)], 4);

  // LibreOffice reads CGM through Impress and draws it through Draw; Calc alone brings soffice.
  ASSERT_TRUE(tw::test::needtool("soffice", "libreoffice-draw-nogui"));
  ASSERT_TRUE(tw::test::needtool("soffice", "libreoffice-impress-nogui"));
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  const std::filesystem::path folder = hc::scratch("lo");
  std::filesystem::create_directories(folder);
  const std::string copy = (folder / "picture.cgm").string();
  {
    const Bytes b = upright(bytes);
    std::FILE* f = std::fopen(copy.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
  }
  const hc::Run r = hc::run("cd " + folder.string() + " && soffice -env:UserInstallation=file://" +
                            folder.string() + "/profile --headless --convert-to png picture.cgm");
  const std::string png = (folder / "picture.png").string();
  ASSERT_TRUE(std::filesystem::exists(png)) << r.output;
  std::filesystem::copy_file(png, std::filesystem::temp_directory_path() / "tw-cgm-picture.png",
                             std::filesystem::copy_options::overwrite_existing);
  // The picture's inks, counted over the whole slide LibreOffice lays it on.
  const hc::Run p = hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
                            "im=Image.open('" + png + "').convert('RGB')\n"
                            "c=im.getcolors(1<<24)\n"
                            "def n(r,g,b): return sum(k for k,(R,G,B) in c if abs(R-r)<40 and abs(G-g)<40 and abs(B-b)<40)\n"
                            "print(n(220,0,0), n(0,160,200), n(230,160,0), n(0,0,200), n(255,255,255), n(0,0,0))\"");
  std::istringstream in(p.output);
  int red = 0, cyan = 0, orange = 0, blue = 0, white = 0, black = 0;
  in >> red >> cyan >> orange >> blue >> white >> black;
  EXPECT_GT(red, 200) << p.output;
  EXPECT_GT(cyan, 100) << p.output;
  EXPECT_GT(orange, 100) << p.output;
  EXPECT_GT(blue, 100) << p.output;
  EXPECT_GT(white, 10 * red) << p.output;   // the page
  EXPECT_GT(black, 100) << p.output;        // frame, texts, axes
}

//------------------------------------------------------------------------------
// The recorder
//------------------------------------------------------------------------------
class CgmRecorder : public ::testing::Test {
 protected:
  void SetUp() override {
    testpicturegraphics(1000, 750);
    start(3, 756, 540, 100000);
  }
  // A CGM slot as the metafile service leaves it, made the target.
  void start(int number, int w, int h, int capacity) {
    GraphicsRegion& g = tessar.graphics;
    MetafileSlot& s = g.metafiles[static_cast<std::size_t>(number - 1)];
    s = MetafileSlot{};
    s.SIZE1 = w;
    s.SIZE2 = h;
    yycgmextent(w, h, s.SIZE3, s.SIZE4);
    s.KIND = 6;
    s.INUSE = 1;
    s.CAPACITY = capacity;
    s.BUFFER.assign(static_cast<std::size_t>(capacity), 0);
    g.target.TARGETTYPE = 4;
    g.target.TARGETNUMBER = number;
    g.target.CGMRECORD = 1;
    g.attributes.SCREENON = 1;
    yyresn(4, number, s.SIZE3, s.SIZE4);
    slot = number;
    for (int code : {DOPEN, DCGMHEADER, DBEGINPLOT, DLINEWIDTH, DLINETYPE, DLOADPALETTE, DCLIP})
      yygdrv(code);
  }
  Decoded finish() {
    yygdrv(DENDPLOT);
    const MetafileSlot& s = tessar.graphics.metafiles[static_cast<std::size_t>(slot - 1)];
    recorded.assign(s.BUFFER.begin(), s.BUFFER.begin() + s.USED);
    return decode(recorded);
  }
  int slot = 0;
  Bytes recorded;
};

TEST_F(CgmRecorder, RecordsThroughTheScreenSide) {
  EXPECT_EQ(tessar.graphics.description.SCGRADIENT, 2);
  IGrUnits(0, 0, 100, 100);
  rgb(0, 0, 0);
  igrjoin(10, 10, 20, 20);
  igrjoin(20, 20, 30, 10);
  rgb(0, 200, 0);
  igrjoin(30, 10, 40, 20);
  yygdrv(DBEGINPLOT);
  igrjoin(40, 20, 50, 10);
  igrlinetype(1);
  igrfillpattern(4);
  IGrRectangle(90, 10, 120, 20);
  WGrTextFont({.family = 102, .type = 0, .width = 0.01f, .height = 0.03f});
  wgrtextorientation(0, 0.0f);
  wgrtextstring(10, 50, std::string(20, 'r'));
  const Decoded d = finish();
  ASSERT_TRUE(d.wellformed);
  EXPECT_EQ(d.elements.front().id, 1);
  EXPECT_EQ(d.first(2, 6)->int16(2), 6300);
  EXPECT_EQ(d.first(2, 6)->int16(3), 4500);
  // Black, green, and green again after the reset of request 18.
  EXPECT_EQ(d.count(5, 4), 3);
  int lt3 = 0;
  for (const Element& e : d.elements) lt3 += e.cls == 5 && e.id == 2 && e.int16(0) == 3 ? 1 : 0;
  EXPECT_EQ(lt3, 1);
  const Element* rect = d.first(4, 11);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->int16(2), tessar.graphics.area.IXMAX);
  const Element* text = d.first(4, 5);
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->longform);
  EXPECT_EQ(text->p.size(), 31u);
  const std::string file = hc::scratch("recorded.cgm").string();
  std::FILE* f = std::fopen(file.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(recorded.data(), 1, recorded.size(), f);
  std::fclose(f);
  const Scan s = scan(file);
  EXPECT_EQ(s.error, 0);
  EXPECT_EQ(s.pictures, 1);
  EXPECT_FLOAT_EQ(s.ratio, 1.4f);
}

// The shared picture recorded through the screen side: whole elements, one picture, and the
// shapes the file driver writes too.
TEST_F(CgmRecorder, TheTestPictureRecordsWhole) {
  drawtestpicture();
  const Decoded d = finish();
  ASSERT_TRUE(d.wellformed);
  EXPECT_EQ(d.count(0, 3), 1);
  EXPECT_EQ(d.count(0, 5), 1);
  EXPECT_EQ(d.elements.back().id, 2);
  EXPECT_GE(d.count(4, 17), 3);
  EXPECT_GE(d.count(4, 5), 5);
  EXPECT_GE(d.count(4, 7), 3);
  bool wave = false;
  for (const Element& e : d.elements) wave |= e.cls == 4 && e.id == 1 && e.p.size() == 4 * 201;
  EXPECT_TRUE(wave);
  for (const Element& e : d.elements)
    if (e.cls == 4 && (e.id == 1 || e.id == 7))
      for (std::size_t k = 0; 2 * k + 1 < e.p.size(); k += 2) {
        ASSERT_GE(e.int16(k), -1) << e.id;
        ASSERT_LE(e.int16(k), 6300) << e.id;
      }
}

TEST_F(CgmRecorder, LargePageExtentAndAPictureAfterTheEnd) {
  start(4, 4000, 3000, 100000);
  IGrUnits(0, 0, 100, 100);
  rgb(0, 0, 0);
  igrjoin(10, 10, 20, 20);
  yygdrv(DENDPLOT);
  igrjoin(20, 20, 30, 30);
  const Decoded d = finish();
  ASSERT_TRUE(d.wellformed);
  EXPECT_EQ(d.first(2, 6)->int16(2), 32767);
  EXPECT_EQ(d.first(2, 6)->int16(3), 24575);
  EXPECT_EQ(d.count(0, 3), 2);
  EXPECT_EQ(d.count(0, 5), 2);
  EXPECT_EQ(d.count(0, 2), 1);
  EXPECT_EQ(d.elements.back().id, 2);
}

TEST_F(CgmRecorder, AFullBufferRefusesWholeElements) {
  start(5, 756, 540, 600);
  IGrUnits(0, 0, 100, 100);
  rgb(0, 0, 0);
  tessar.error.LASTERROR = 0;
  for (int k = 0; k < 40; ++k) igrjoin(static_cast<float>(k), 10, static_cast<float>(k), 20);
  EXPECT_EQ(tessar.error.LASTERROR, 1062);
  const Decoded d = finish();
  EXPECT_TRUE(d.wellformed);
  EXPECT_LE(recorded.size(), 600u);
}

}  // namespace
