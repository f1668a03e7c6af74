// PostScript and EPS driver: defaults, header and trailer lines, number format, paths, text
// literals, fills, and Ghostscript reading and rendering the shared test picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

#include "tests/hardcopy/driver_files.h"
#include "tests/hardcopy/driver_fixture.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hcdrivers/postscript.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {

class PostScript : public hc::DriverFileTest {
 protected:
  PostScript() : DriverFileTest(HCPOSTSCRIPT) {}
};

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }

std::size_t find(const std::vector<std::string>& lines, const std::string& line,
                 std::size_t from = 0) {
  for (std::size_t i = from; i < lines.size(); ++i)
    if (lines[i] == line) return i;
  return std::string::npos;
}

TEST_F(PostScript, DefaultsAreThoseOfTheDriver) {
  const DeviceOperands& op = tessar.graphics.operands;
  const DeviceDescription& dd = tessar.graphics.description;
  EXPECT_EQ(option(1), 756);
  EXPECT_EQ(option(2), 540);
  EXPECT_EQ(option(3), 42);
  EXPECT_EQ(option(4), -20);
  EXPECT_EQ(option(5), 1);
  EXPECT_EQ(option(15), 1);
  EXPECT_EQ(option(16), 255);
  EXPECT_EQ(option(22), 0);
  EXPECT_EQ(option(9), 5);
  EXPECT_EQ(option(8), 1);
  EXPECT_EQ(op.HCRESX, 600);
  EXPECT_EQ(op.HCCOLOURS, 256);
  EXPECT_EQ(op.PRINTCMDOK, 1);
  EXPECT_EQ(op.HCDEVICE, 2);
  EXPECT_EQ(tessar.files.HCOUTPUT.substr(0, 12), "tessplot.ps ");
  EXPECT_EQ(dd.HCCAPS, "00000111111111100010011011110");
  EXPECT_EQ(dd.HCTEXTANGLES, 360);
  EXPECT_EQ(dd.HCDEVTEXT, 1);
}

TEST_F(PostScript, DefaultFileHasTheHeaderPrologFontsAndTrailer) {
  const auto lines = write("default.ps", [] { igrjoin(0.1f, 0.1f, 0.2f, 0.2f); });
  ASSERT_GT(lines.size(), 80u);
  const std::vector<std::string> head = {
      "%!PS-Adobe-3.0", "%%Creator: V.X.K. PostScript driver", "%%EndComments",
      "/l {lineto} def/m {moveto} def/g {setrgbcolor} def/w {setlinewidth} def",
      "/d {setdash} def/cf {closepath fill} def/s {stroke} def/ff {findfont} def",
      "/ms {makefont setfont} def/ro {rotate} def/cs {closepath stroke} def",
      "/lsh {show} def/rsh {dup stringwidth pop 0 exch sub 0 rmoveto show} def",
      "/csh {dup stringwidth pop 2 div 0 exch sub 0 rmoveto show} def", "%%EndProlog",
      "/Courier ff", "dup length dict begin",
      "{1 index /FID ne {def} {pop pop} ifelse} forall", "/Encoding ISOLatin1Encoding def",
      "currentdict end /Courier-1 exch definefont pop"};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 14), head);
  EXPECT_EQ(lines[9 + 5 * 10], "/Times-Italic ff");
  EXPECT_EQ(lines[9 + 5 * 10 + 4], "currentdict end /Times-3 exch definefont pop");
  EXPECT_EQ(lines[9 + 60], "/Symbol ff");
  EXPECT_EQ(lines[9 + 63], "currentdict end /Symbol exch definefont pop");
  const std::vector<std::string> after = {"90.0 ro", "42.0 -560.0 translate", "newpath",
                                          "%%Page: 1 1", "0.50 w", "0 setlinejoin",
                                          "5.0 setmiterlimit", "0 setlinecap", "initclip"};
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 73, lines.begin() + 82), after);
  EXPECT_EQ(find(lines, "%%Title:"), std::string::npos);
  // The trailer, and the end-of-job byte written raw after it.
  const std::string tail = "/#copies 1 def\r\ngsave showpage grestore\r\n%%EOF\r\ninitgraphics\r\n \x04";
  ASSERT_GE(bytes.size(), tail.size());
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
}

TEST_F(PostScript, EpsInLandscapeHasItsBoxAndNoPageEnd) {
  igrhardcopyoptions(22, 1);
  igrhardcopyoptions(8, 1500);
  const auto lines = write("land.eps", [] { igrjoin(0.1f, 0.1f, 0.9f, 0.9f); }, "A   title  x");
  EXPECT_EQ(lines[0], "%!PS-Adobe-3.0 EPSF-3.0");
  EXPECT_EQ(lines[1], "%%BoundingBox: 0 0 540 756");
  EXPECT_EQ(lines[2], "%%Title: A title x");
  EXPECT_NE(find(lines, "0.0 -540.0 translate"), std::string::npos);
  EXPECT_EQ(bytes.find("showpage"), std::string::npos);
  EXPECT_EQ(bytes.find("#copies"), std::string::npos);
  EXPECT_EQ(bytes.find("initgraphics"), std::string::npos);
  EXPECT_EQ(bytes.find('\x04'), std::string::npos);
  EXPECT_EQ(bytes.find("initclip"), std::string::npos);
  EXPECT_EQ(tessar.files.HCOUTPUT.substr(0, 13), "tessplot.eps ");
}

TEST_F(PostScript, CopiesAndPagesAndIndent) {
  igrhardcopyoptions(8, 1500);
  igrhardcopyoptions(17, 1);
  const auto lines = write("pages.ps", [] {
    igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
    tessar.graphics.operands.IOPER2 = 0;
    yyhdrv(DENDPAGE);
    igrjoin(0.1f, 0.9f, 0.9f, 0.1f);
  });
  EXPECT_EQ(lines[0], " %!PS-Adobe-3.0");
  const std::size_t first = find(lines, " /#copies 999 def");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(lines[first + 1], " gsave showpage grestore");
  EXPECT_EQ(lines[first + 2], " %%Page: 2 2");
  EXPECT_NE(find(lines, " /#copies 999 def", first + 1), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), " \x04");
}

TEST(PostScriptNumbers, FieldsLoseOnlyADoubleZero) {
  struct Case { float a, b, c; const char* text; const char* line; };
  const Case cases[] = {
      {12, 12.5f, -3, "x", "12.0 12.50 -3.0 x"},
      {0, 0.5f, 1, "g", "0.0 0.50 1.0 g"},
      {72, 144.5f, 0.25f, "m", "72.0 144.50 0.25 m"},
  };
  for (const Case& c : cases) {
    testpicturegraphics();
    igrhardcopyselect(1, HCPOSTSCRIPT);
    const std::string path = hc::scratch("numbers.ps").string();
    igrhardcopy(path);
    yypos3(c.a, c.b, c.c, c.text);
    igrhardcopy("S");
    const auto lines = hc::crlflines(tw::test::slurp(path));
    EXPECT_NE(find(lines, c.line), std::string::npos) << c.line;
  }
  std::string hex(6, ' ');
  yyrgbhex(255, 128, 0, hex);
  EXPECT_EQ(hex, "ff8000");
}

TEST(PostScriptColours, OptionSixInvertsAsAsked) {
  testpicturegraphics();
  igrhardcopyselect(1, HCPOSTSCRIPT);
  float r, g, b;
  igrcolourmodel(24);
  igrhardcopyoptions(6, 2);
  yypos1(wrgb(255, 255, 255), r, g, b);
  EXPECT_EQ(r + g + b, 0.0f);
  yypos1(wrgb(255, 128, 255), r, g, b);
  EXPECT_NEAR(g, 128.0f / 255, 1e-6);
  igrhardcopyoptions(6, 1);
  yypos1(-1, r, g, b);
  EXPECT_EQ(r, 1.0f);
}

TEST_F(PostScript, ChainsSplitAtTheColourAndAtTheMostPoints) {
  igrhardcopyoptions(16, 10);
  const auto lines = write("paths.ps", [] {
    igrcolourmodel(24);
    IGrColourN(wrgb(0, 0, 0));
    igrmoveto(0.1f, 0.1f);
    igrlineto(0.2f, 0.1f);
    igrlineto(0.2f, 0.2f);
    igrlineto(0.3f, 0.2f);
    IGrColourN(wrgb(255, 0, 0));
    igrlineto(0.4f, 0.3f);
    std::vector<float> x, y;
    for (int k = 0; k < 25; ++k) {
      x.push_back(0.02f * static_cast<float>(k) + 0.1f);
      y.push_back(k % 2 == 0 ? 0.5f : 0.6f);
    }
    igrpolyline(x, y, 25);
  });
  const std::size_t start = find(lines, "%%Page: 1 1");
  std::string body;
  for (std::size_t i = start; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    body += l.ends_with(" m") ? 'm' : l.ends_with(" l") ? 'l' : l == "s" ? 's' :
            l.ends_with(" g") ? 'g' : ' ';
  }
  body.erase(std::remove(body.begin(), body.end(), ' '), body.end());
  // The clip path; three chained lines that the colour change strokes; then the red line
  // and the 24 segments in paths of at most 10 segments, each starting where the last ended.
  EXPECT_EQ(body, "mlll" "mlllgs" "ml" "m" + std::string(9, 'l') + "gs" "m" +
                      std::string(10, 'l') + "s" "m" + std::string(5, 'l') + "s");
}

TEST_F(PostScript, FilledRectangleWritesCornersColourAndFill) {
  const auto lines = write("rect.ps", [] {
    igrcolourmodel(24);
    IGrColourN(wrgb(255, 0, 0));
    igrfillpattern(4);
    IGrRectangle(0.1f, 0.1f, 0.5f, 0.5f);
    igrfillpattern(3);
    IGrColourN(wrgb(255, 255, 255));
    IGrColourN(wrgb(0, 0, 0));
    IGrRectangle(0.6f, 0.6f, 0.7f, 0.7f);
  });
  const std::size_t red = find(lines, "1.0 0.0 0.0 g");
  ASSERT_NE(red, std::string::npos);
  EXPECT_EQ(lines[red + 1], "cf");
  EXPECT_TRUE(lines[red - 4].ends_with(" m"));
  EXPECT_NE(find(lines, "0.50 0.50 0.50 g"), std::string::npos);
}

TEST_F(PostScript, TextLiteralsEscapeAndNeverSplitAnEscape) {
  const auto lines = write("text.ps", [] {
    WGrTextFont({.family = 102});
    wgrtextorientation(0, 0.0f);
    wgrtextstring(0.1f, 0.1f, "a(b)");
    wgrtextorientation(1, 90.0f);
    wgrtextstring(0.5f, 0.5f, "c\\d");
    wgrtextorientation(0, 0.0f);
    // 248 plain characters, then a parenthesis: its escape no longer fits the 249. Narrow
    // enough for all of them to lie inside the area.
    WGrTextFont({.width = 0.002f});
    wgrtextstring(0.1f, 0.3f, std::string(248, 'x') + "(");
  });
  EXPECT_NE(find(lines, "(a\\(b\\)) lsh"), std::string::npos);
  const std::size_t c = find(lines, "(c\\\\d) csh");
  ASSERT_NE(c, std::string::npos);
  EXPECT_EQ(lines[c - 1], "90.0 ro");
  EXPECT_EQ(lines[c + 1], "270.0 ro");
  EXPECT_NE(find(lines, "(" + std::string(248, 'x') + ") lsh"), std::string::npos);
  EXPECT_NE(bytes.find("/Helvetica-1 ff"), std::string::npos);
}

TEST_F(PostScript, LineTypesAndJoinsWriteOnlyChanges) {
  const auto lines = write("types.ps", [] {
    igrlinetype(3);
    igrlinetype(3);
    igrhardcopyoptions(10, 1);
    igrjoin(0.1f, 0.1f, 0.2f, 0.2f);
  });
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "[1 3 4 4] 0 d"), 1);
  const std::size_t j = find(lines, "1 setlinejoin");
  ASSERT_NE(j, std::string::npos);
  EXPECT_NE(lines[j + 1], "5.0 setmiterlimit");
}

TEST_F(PostScript, ImageRowsGoInLinesOfFortyPixels) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  const std::string png = hc::scratch("wide.png").string();
  hc::run("/usr/bin/python3 -c \"from PIL import Image\nImage.new('RGB',(100,2),(255,128,0)).save('" +
          png + "')\"");
  static std::string image;
  image = png;
  const auto lines = write("image.ps", [] {
    assignfixed(tessar.files.HCCURRENT, image);
    tessar.graphics.operands.IX2 = 100;
    tessar.graphics.operands.IY2 = 2;
    yyhdrv(DIMAGE);
  });
  EXPECT_EQ(tessar.graphics.operands.IOPER1, 0);
  const std::size_t start = find(lines, "colorimage");
  ASSERT_NE(start, std::string::npos);
  EXPECT_EQ(lines[start - 3], "100 2 8 [100 0 0 -2 0 2]");
  std::vector<std::size_t> sizes;
  for (std::size_t i = start + 1; lines[i] != "grestore"; ++i) sizes.push_back(lines[i].size());
  EXPECT_EQ(sizes, (std::vector<std::size_t>{240, 240, 240, 240, 240}));
  EXPECT_EQ(lines[start + 1].substr(0, 6), "ff8000");
}

TEST_F(PostScript, MissingImageReportsBackAndWritesNothing) {
  const auto lines = write("noimage.ps", [] {
    assignfixed(tessar.files.HCCURRENT, "/nonexistent/picture.png");
    tessar.graphics.operands.IX2 = 4;
    tessar.graphics.operands.IY2 = 4;
    yyhdrv(DIMAGE);
  });
  EXPECT_NE(tessar.graphics.operands.IOPER1, 0);
  EXPECT_EQ(find(lines, "colorimage"), std::string::npos);
}

// --- Ghostscript ------------------------------------------------------------------------

std::string makeimage() {
  EXPECT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  const std::string png = hc::scratch("image16.png").string();
  hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
          "im=Image.new('RGB',(16,16))\n"
          "[im.putpixel((x,y),(x*16,y*16,128)) for x in range(16) for y in range(16)]\n"
          "im.save('" + png + "')\"");
  return png;
}

// Ink (r g b per line) at the given pixel positions of a PNG.
std::vector<std::array<int, 3>> pixels(const std::string& png,
                                       const std::vector<std::pair<int, int>>& at) {
  std::string list;
  for (auto [x, y] : at) list += "(" + std::to_string(x) + "," + std::to_string(y) + "),";
  const hc::Run r = hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
                            "im=Image.open('" + png + "').convert('RGB')\n"
                            "for p in [" + list + "]: print(*im.getpixel(p))\"");
  std::vector<std::array<int, 3>> out;
  std::istringstream in(r.output);
  std::array<int, 3> c;
  while (in >> c[0] >> c[1] >> c[2]) out.push_back(c);
  return out;
}

class PostScriptGhostscript : public PostScript {
 protected:
  void SetUp() override {
    PostScript::SetUp();
    ASSERT_TRUE(tw::test::needtool("gs", "ghostscript"));
    // A page the size of the picture, portrait, no margins: user unit u lies at 8u points.
    igrhardcopyoptions(1, 800);
    igrhardcopyoptions(2, 600);
    igrhardcopyoptions(3, 0);
    igrhardcopyoptions(4, 0);
    igrhardcopyoptions(5, 0);
    igrhardcopyoptions(15, 0);
  }
  void picture(const std::string& name) {
    const std::string image = makeimage();
    path = hc::scratch(name).string();
    igrhardcopy(path, std::string_view("Shared test picture"));
    drawtestpicture(image);
    igrhardcopy("S");
    bytes = tw::test::slurp(path);
  }
  void accepted() {
    const hc::Run r = hc::run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=nullpage " + path);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output.find("Error"), std::string::npos) << r.output;
  }
  std::string render() {
    const std::string png = path + ".png";
    const hc::Run r = hc::run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=png16m -r72 "
                              "-dDEVICEWIDTHPOINTS=800 -dDEVICEHEIGHTPOINTS=600 -dFIXEDMEDIA "
                              "-dEPSCrop=false -sOutputFile=" + png + " " + path);
    EXPECT_EQ(r.status, 0) << r.output;
    return png;
  }
};

void expectsamples(const std::string& png) {
  int n = 0;
  const PictureSample* s = testpicturesamples(n);
  std::vector<std::pair<int, int>> at;
  for (int k = 0; k < n; ++k)
    at.emplace_back(static_cast<int>(s[k].x * 8), 600 - static_cast<int>(s[k].y * 8));
  const auto got = pixels(png, at);
  ASSERT_EQ(static_cast<int>(got.size()), n);
  for (int k = 0; k < n; ++k) {
    EXPECT_NEAR(got[static_cast<std::size_t>(k)][0], s[k].red, 24) << s[k].what;
    EXPECT_NEAR(got[static_cast<std::size_t>(k)][1], s[k].green, 24) << s[k].what;
    EXPECT_NEAR(got[static_cast<std::size_t>(k)][2], s[k].blue, 24) << s[k].what;
  }
}

TEST_F(PostScriptGhostscript, TitleAndTextWithLineBreaksStayTextAndComment) {
  path = hc::scratch("injected.ps").string();
  igrhardcopy(path, std::string_view("Flow\r\n(injected) print showpage\r\n%x"));
  igrjoin(0.1f, 0.1f, 0.5f, 0.5f);
  WGrTextFont({.family = 102});
  wgrtextstring(0.2f, 0.2f, "a\r\n%%EOF\x04");
  igrhardcopy("S");
  bytes = tw::test::slurp(path);
  const auto lines = hc::crlflines(bytes);
  EXPECT_NE(find(lines, "%%Title: Flow (injected) print showpage %x"), std::string::npos) << bytes;
  // The text's control characters as octal escapes, inside its one literal.
  EXPECT_NE(bytes.find("\r\n(a\\015\\012%%EOF\\004) "), std::string::npos) << bytes;
  const hc::Run r = hc::run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=nullpage " + path);
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.output.find("injected"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("Error"), std::string::npos) << r.output;
}

TEST_F(PostScriptGhostscript, NumbersWiderThanTheirFieldStaySeparate) {
  // A page 20,000,000 points wide: its coordinates need more than the nine places of a field.
  igrhardcopyoptions(1, 20000000);
  igrhardcopyoptions(2, 15000000);
  path = hc::scratch("hugepage.ps").string();
  igrhardcopy(path);
  igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
  igrfillpattern(4);
  IGrRectangle(0.2f, 0.2f, 0.6f, 0.4f);
  igrhardcopy("S");
  bytes = tw::test::slurp(path);
  // No number runs into the next: every decimal part ends at a blank or the line's end.
  EXPECT_FALSE(std::regex_search(bytes, std::regex(R"(\.[0-9]*[-.])"))) << bytes;
  EXPECT_TRUE(std::regex_search(bytes, std::regex(R"(1[0-9]{7}\.[0-9]+ +1[0-9]{7}\.[0-9]+ +l)"))) << bytes;
  accepted();
}

TEST_F(PostScriptGhostscript, PictureIsReadAndRendersItsInk) {
  picture("picture.ps");
  accepted();
  expectsamples(render());
}

TEST_F(PostScriptGhostscript, EpsPictureBoxAgreesWithTheInk) {
  igrhardcopyoptions(22, 1);
  picture("picture.eps");
  accepted();
  expectsamples(render());
  const hc::Run r = hc::run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=bbox " + path);
  int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
  const std::size_t at = r.output.find("%%BoundingBox:");
  ASSERT_NE(at, std::string::npos) << r.output;
  std::sscanf(r.output.c_str() + at, "%%%%BoundingBox: %d %d %d %d", &x1, &y1, &x2, &y2);
  EXPECT_NE(bytes.find("%%BoundingBox: 0 0 800 600"), std::string::npos);
  // The frame of the picture lies half a unit (4 points) inside the page.
  EXPECT_GE(x1, 0);
  EXPECT_GE(y1, 0);
  EXPECT_LE(x2, 800);
  EXPECT_LE(y2, 600);
  EXPECT_LE(x1, 8);
  EXPECT_LE(y1, 8);
  EXPECT_GE(x2, 792);
  EXPECT_GE(y2, 592);
}

// The picture's red stroke line "Stroke font \xE9\xE8" (at 3, 33 units, 14 characters of the
// swiss outline font at table spacing, about 101 points long): its ink must run along the
// line glyph after glyph, not pile up in one place.
TEST_F(PostScriptGhostscript, PictureStrokeTextRunsAlongItsLine) {
  picture("stroketext.ps");
  accepted();
  const std::string png = render();
  // Columns of the band around the text line holding the text's dark red, as runs of ink.
  const hc::Run r = hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
                            "im=Image.open('" + png + "').convert('RGB')\n"
                            "cols=[x for x in range(0,400) if any("
                            "(lambda p: p[0]>90 and p[1]<70 and p[2]<70)(im.getpixel((x,y)))"
                            " for y in range(316,350))]\n"
                            "runs=sum(1 for i,x in enumerate(cols) if i==0 or cols[i-1]!=x-1)\n"
                            "print(min(cols), max(cols), runs)\"");
  int first = -1, last = -1, runs = -1;
  std::istringstream in(r.output);
  in >> first >> last >> runs;
  ASSERT_GE(first, 0) << r.output;
  EXPECT_NEAR(first, 24, 6);           // the line starts at x = 3 units
  EXPECT_NEAR(last - first, 98, 12);   // and spans its 10.53 cell widths
  EXPECT_GE(runs, 6);   // glyphs apart (neighbours touch at this resolution); a pile is one
}

// The driver's own page: landscape with its margins, as PostScript and as EPS.
TEST_F(PostScriptGhostscript, DefaultLandscapePagesAreReadAndBoxed) {
  for (int eps : {0, 1}) {
    igrhardcopyselect(1, HCPOSTSCRIPT);
    igrhardcopyoptions(22, eps);
    picture(eps != 0 ? "landscape.eps" : "landscape.ps");
    accepted();
    const hc::Run r = hc::run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=bbox " + path);
    int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    const std::size_t at = r.output.find("%%BoundingBox:");
    ASSERT_NE(at, std::string::npos) << r.output;
    std::sscanf(r.output.c_str() + at, "%%%%BoundingBox: %d %d %d %d", &x1, &y1, &x2, &y2);
    if (eps != 0) {
      EXPECT_NE(bytes.find("%%BoundingBox: 0 0 540 756"), std::string::npos);
      EXPECT_GE(x1, 0);
      EXPECT_GE(y1, 0);
      EXPECT_LE(x2, 540);
      EXPECT_LE(y2, 756);
      EXPECT_GE(x2 - x1, 520);
      EXPECT_GE(y2 - y1, 730);
    } else {
      // Turned a quarter: the long side of the picture runs up the page.
      EXPECT_GT(y2 - y1, x2 - x1);
    }
  }
}

TEST_F(PostScriptGhostscript, ZeroLengthLineAndPointShowAsDots) {
  path = hc::scratch("dots.ps").string();
  igrhardcopyoptions(9, 80);
  igrhardcopy(path);
  igrcolourmodel(24);
  IGrColourN(wrgb(0, 0, 0));
  igrpoint(0.25f, 0.5f);
  igrjoin(0.75f, 0.5f, 0.75f, 0.5f);
  igrhardcopy("S");
  accepted();
  const auto got = pixels(render(), {{200, 300}, {600, 300}, {400, 300}});
  ASSERT_EQ(got.size(), 3u);
  EXPECT_LT(got[0][0], 100);
  EXPECT_LT(got[1][0], 100);
  EXPECT_GT(got[2][0], 200);
}

}  // namespace
