// Bitmap-file driver and raster device: the shared test picture as BMP, PCX and PNG files read by Pillow, page geometry, blank pages, a failed open, and device requests drawn into the page.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "tests/support/tools.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/raster/raster_page.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hcdrivers/bitmap_file.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hcdrivers/raster_device.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {

// Pixels of an image file as Pillow reads them: width, height and the RGB of each point.
struct Read {
  int width = 0, height = 0;
  std::vector<std::array<int, 3>> points;
  std::string output;
};
Read pillow(const std::string& path, const std::vector<std::pair<int, int>>& points) {
  std::string list;
  for (auto [x, y] : points) list += "(" + std::to_string(x) + "," + std::to_string(y) + "),";
  const hc::Run r = hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
                            "im=Image.open('" + path + "').convert('RGB')\n"
                            "print(im.size[0], im.size[1])\n"
                            "for p in [" + list + "]: print(*im.getpixel(p))\"");
  Read out;
  out.output = r.output;
  std::istringstream in(r.output);
  in >> out.width >> out.height;
  for (std::size_t k = 0; k < points.size(); ++k) {
    std::array<int, 3> c{-1, -1, -1};
    in >> c[0] >> c[1] >> c[2];
    out.points.push_back(c);
  }
  return out;
}

class BitmapFile : public ::testing::Test {
 protected:
  void SetUp() override {
    testpicturegraphics(800, 600);
    igrhardcopyselect(1, HCBITMAP);
  }
  // Draws into a hardcopy of the given depth and format and returns the file's name.
  std::string write(const std::string& name, int depth, int format, void (*draw)()) {
    igrhardcopyoptions(1, 800);
    igrhardcopyoptions(2, 600);
    igrhardcopyoptions(23, depth);
    igrhardcopyoptions(26, format);
    const std::string path = hc::scratch(name).string();
    igrhardcopy(path);
    if (draw != nullptr) draw();
    igrhardcopy("S");
    return path;
  }
};

// The picture at every depth and in every format: Pillow reads the size, and at 8 and 24
// bits the colours of the sample points; at 1 and 4 bits ink stands where the picture has it.
TEST_F(BitmapFile, TestPictureInEveryFormat) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  ASSERT_TRUE(tw::test::needtool("pngcheck", "pngcheck"));
  static std::string image;
  image = hc::scratch("quarters.png").string();
  // A 16 x 16 image: red top left, green top right, blue bottom left, yellow bottom right.
  ASSERT_EQ(hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
                    "im=Image.new('RGB',(16,16))\n"
                    "for x in range(16):\n"
                    "  for y in range(16): im.putpixel((x,y),[(255,0,0),(0,255,0),(0,0,255),(255,255,0)][(y>7)*2+(x>7)])\n"
                    "im.save('" + image + "')\"").status, 0);
  struct Case {
    const char* name;
    int depth, format;
    bool colours;
  };
  const Case cases[] = {
      {"picture24.bmp", 24, 1, true}, {"picture8.bmp", 8, 1, true},   {"picture8rle.bmp", 8, 2, true},
      {"picture4.bmp", 4, 1, false},  {"picture1.bmp", 1, 1, false},  {"picture24.png", 24, 3, true},
      {"picture8.png", 8, 3, true},   {"picture24.pcx", 24, 0, true}, {"picture8.pcx", 8, 0, true},
      {"picture4.pcx", 4, 0, false},  {"picture1.pcx", 1, 0, false},
  };
  int n = 0;
  const PictureSample* s = testpicturesamples(n);
  std::vector<std::pair<int, int>> points;
  for (int k = 0; k < n; ++k) points.emplace_back(static_cast<int>(s[k].x * 8), 600 - static_cast<int>(s[k].y * 8));
  // The image's area spans 0.42-0.55 of the width and 0.05-0.35 of the height.
  const std::vector<std::pair<int, int>> quarters = {{352, 440}, {424, 440}, {352, 550}, {424, 550}};
  points.insert(points.end(), quarters.begin(), quarters.end());
  const int want[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = write(c.name, c.depth, c.format, [] { drawtestpicture(image); });
    EXPECT_EQ(tessar.hardcopy.printer.OUTPUTERROR, 0);
    // TW_KEEP_PICTURES=folder keeps the files for a person to look at.
    if (const char* keep = std::getenv("TW_KEEP_PICTURES"))
      std::filesystem::copy_file(path, std::filesystem::path(keep) / c.name,
                                 std::filesystem::copy_options::overwrite_existing);
    if (c.format == 3) {
      EXPECT_EQ(hc::run("pngcheck -q " + path).status, 0);
    }
    const Read r = pillow(path, points);
    ASSERT_EQ(r.width, 800) << r.output;
    ASSERT_EQ(r.height, 600);
    for (int k = 0; k < n; ++k) {
      const auto& got = r.points[static_cast<std::size_t>(k)];
      const bool white = s[k].red == 255 && s[k].green == 255 && s[k].blue == 255;
      if (c.colours) {
        // 8-bit pages hold the nearest of the 256 palette colours.
        const int near = c.depth == 8 ? 64 : 24;
        EXPECT_NEAR(got[0], s[k].red, near) << s[k].what;
        EXPECT_NEAR(got[1], s[k].green, near) << s[k].what;
        EXPECT_NEAR(got[2], s[k].blue, near) << s[k].what;
      } else if (c.depth == 4 || white) {
        EXPECT_EQ(got[0] + got[1] + got[2] == 765, white) << s[k].what;
      }
    }
    if (c.depth == 24) {
      for (std::size_t q = 0; q < 4; ++q)
        for (std::size_t i = 0; i < 3; ++i)
          EXPECT_EQ(r.points[static_cast<std::size_t>(n) + q][i], want[q][i]) << "image quarter " << q;
    }
  }
}

TEST_F(BitmapFile, PageGeometryWhileOpen) {
  struct Case {
    int width, depth, rowwords, planewords, total;
  };
  const Case cases[] = {{640, 8, 160, 76800, 76800}, {640, 24, 640, 307200, 307200},
                        {640, 4, 20, 9600, 38400},   {640, 1, 20, 9600, 9600},
                        {641, 8, 161, 77280, 77280}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.depth));
    igrhardcopyoptions(1, c.width);
    igrhardcopyoptions(2, 480);
    igrhardcopyoptions(23, c.depth);
    igrhardcopy(hc::scratch("geometry.pcx").string());
    const RasterState& rs = tessar.raster.state;
    EXPECT_EQ(rs.RASROWWORDS, c.rowwords);
    EXPECT_EQ(rs.RASPLANEWORDS, c.planewords);
    EXPECT_EQ(rs.RASTOTALWORDS, c.total);
    EXPECT_EQ(tessar.raster.IRBUFF.size(), static_cast<std::size_t>(c.total) + 1);
    EXPECT_EQ(rs.RASCLEARVALUE, c.depth == 24 ? 0xFFFFFFFFu : 0u);
    igrhardcopy("S");
    EXPECT_TRUE(tessar.raster.IRBUFF.empty()) << "the page is freed at the end";
  }
}

TEST_F(BitmapFile, ProbeDefaultsAndExtensions) {
  DeviceOperands& op = tessar.graphics.operands;
  igrhardcopyoptions(1, 1234);
  op.IOPER2 = -999;
  int code = DOPEN;
  xximag(code);
  EXPECT_EQ(op.IOPER2, HCBITMAP);
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[0], 1234) << "the probe changes no option";
  igrhardcopyselect(1, HCBITMAP);
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[0], 640);
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[1], 480);
  EXPECT_EQ(tessar.hardcopy.HCOPTIONS[22], 8);
  EXPECT_EQ(tessar.files.HCOUTPUT.substr(0, static_cast<std::size_t>(lentrim(tessar.files.HCOUTPUT))), "tessplot.pcx");
  EXPECT_EQ(tessar.graphics.description.HCCAPS, "00000111111111110010011111000");
  igrhardcopyoptions(26, 3);
  EXPECT_EQ(tessar.files.HCOUTPUT.substr(0, static_cast<std::size_t>(lentrim(tessar.files.HCOUTPUT))), "tessplot.png");
}

TEST_F(BitmapFile, SizesAndEmptyPages) {
  const std::string blank = write("blank.pcx", 8, 0, nullptr);

  EXPECT_EQ(tw::test::slurp(blank).size(), 0u) << "a page with nothing drawn gives no image";
  igrhardcopyoptions(1, 640);
  igrhardcopyoptions(2, 480);
  igrhardcopyoptions(23, 8);
  igrhardcopyoptions(26, 1);
  const std::string path = hc::scratch("vga.bmp").string();
  igrhardcopy(path);
  drawtestpicture();
  igrhardcopy("S");
  EXPECT_EQ(tw::test::slurp(path).size(), 308278u);
}

TEST_F(BitmapFile, AFailedOpenSwitchesTheHardcopyOffAndFreesThePage) {
  igrhardcopy("/no/such/folder/plot.pcx");
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 1);
  EXPECT_TRUE(tessar.raster.IRBUFF.empty());
}

// A PCX header counts its corner and bytes per line in 16 bits: a page 70,000 pixels wide
// is made smaller (error 34 for each try, as when memory is short) until the header holds
// it, and Pillow reads the file whole. Written as it was, the header claimed 4,464 pixels.
TEST_F(BitmapFile, PcxPagesShrinkToWhatTheHeaderCounts) {
  for (int depth : {8, 24}) {
    SCOPED_TRACE(depth);
    igrhardcopyoptions(1, 70000);
    igrhardcopyoptions(2, 4);
    igrhardcopyoptions(23, depth);
    igrhardcopyoptions(26, 0);
    const std::string path = hc::scratch("wide.pcx").string();
    tessar.error.LASTERROR = 0;
    igrhardcopy(path);
    EXPECT_EQ(tessar.error.LASTERROR, 34);
    const int width = tessar.raster.state.RASWIDTH, height = tessar.raster.state.RASHEIGHT;
    EXPECT_LE(width, 65534);
    EXPECT_GT(width, 60000);
    // Every pixel red (24 bits: red in the low byte) or colour 255 (8 bits).
    tessar.raster.IRBUFF.assign(tessar.raster.IRBUFF.size(), depth == 24 ? 0x000000FFu : 0xFFFFFFFFu);
    tessar.graphics.operands.PLOTSTARTED = 1;
    igrhardcopy("S");
    const Read r = pillow(path, {{0, 0}, {width - 1, height - 1}});
    ASSERT_EQ(r.width, width) << r.output;
    EXPECT_EQ(r.height, height);
    if (depth == 24) {
      EXPECT_EQ(r.points[0], (std::array<int, 3>{255, 0, 0}));
    }
    EXPECT_EQ(r.points[1], r.points[0]) << "the last pixel as the first";
  }
}

// The PNG writer packs the whole image at once: a page whose buffers do not fit beside it
// under a memory limit is made smaller at the start with error 34, as the page itself is,
// and the PNG written is whole. It used to end the program with an uncaught bad_alloc.
TEST_F(BitmapFile, PngPagesShrinkUntilTheWritersBuffersFit) {
  ASSERT_TRUE(tw::test::needtool("pngcheck", "pngcheck"));
  const std::string path = hc::scratch("limited.png").string();
  std::filesystem::remove(path);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A 2000 x 2000 page of 24 bits takes 16 MB, the writer's two buffers 24 MB more.
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (28u << 20);
    const rlimit r{limit, limit};
    if (pages == 0 || ::setrlimit(RLIMIT_AS, &r) != 0) ::_exit(3);
    // An exception must not reach the test framework in this copy of the test program: it
    // ends the copy as it would end the program.
    try {
      igrhardcopyoptions(1, 2000);
      igrhardcopyoptions(2, 2000);
      igrhardcopyoptions(23, 24);
      igrhardcopyoptions(26, 3);
      tessar.error.LASTERROR = 0;
      igrhardcopy(path);
      const bool shrunk = tessar.error.LASTERROR == 34 && tessar.raster.state.RASWIDTH < 2000;
      tessar.raster.IRBUFF.assign(tessar.raster.IRBUFF.size(), 0x00FF0000u);   // blue
      tessar.graphics.operands.PLOTSTARTED = 1;
      igrhardcopy("S");
      ::_exit(!shrunk ? 4 : tessar.hardcopy.printer.OUTPUTERROR != 0 ? 5 : 0);
    } catch (...) {
      ::_exit(6);
    }
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  ASSERT_EQ(WEXITSTATUS(status), 0) << "6: an exception (the writer's bad_alloc), 4: not shrunk, 5: not written";
  EXPECT_EQ(hc::run("pngcheck -q '" + path + "'").status, 0);
  const Read r = pillow(path, {{10, 10}});
  EXPECT_GT(r.width, 1000) << r.output;
  EXPECT_LT(r.width, 2000);
  EXPECT_EQ(r.points[0], (std::array<int, 3>{0, 0, 255})) << r.output;
}

// Device requests straight to the raster device on a small page of one pixel per unit.
class RasterDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    tessarreset();
    yypali();
    makerasterpage(40, 30, 8);
    tessar.graphics.target.WIDTH = 40;
    tessar.graphics.target.HEIGHT = 30;
    tessar.graphics.operands.IOPER1 = 0;   // only the scales
    request(DBEGINPLOT);
    tessar.raster.state.RASCLIP = {0, 39, 0, 29};
  }
  static void request(int code) { yyvras(code); }
  static void colour(int index) {
    auto& c = tessar.graphics.attributes.COLOURS[PAIRINDEX];
    c[PREVIOUS] = c[CURRENT];
    c[CURRENT] = index;
    request(DCOLOUR);
  }
  static int inked(int y) {
    int n = 0;
    for (int x = 0; x < 40; ++x) n += rasterpixel(x, y) != 0;
    return n;
  }
};

TEST_F(RasterDevice, PixelValuesOfColoursByDepth) {
  struct Case {
    int depth, option6, index, want;
  };
  const Case cases[] = {{4, 0, 0, 0}, {4, 0, 223, 15}, {4, 0, 31, 9}, {1, 0, 0, 0},
                        {1, 0, 5, 1}, {1, 1, 223, 0},  {1, 1, 0, 1},  {8, 0, 77, 77}};
  for (const Case& c : cases) {
    tessar.raster.state.RASDEPTH = c.depth;
    tessar.hardcopy.HCOPTIONS[5] = c.option6;
    colour(c.index);
    EXPECT_EQ(tessar.raster.state.RASPIXEL[CURRENT], c.want) << c.depth << " bits, index " << c.index;
  }
}

TEST_F(RasterDevice, ShapesAndLines) {
  DeviceOperands& op = tessar.graphics.operands;
  GraphicsAttributes& at = tessar.graphics.attributes;
  colour(40);
  at.FILLSTYLE = 4;
  // A triangle whose corners share one row is one span from corner 1 to corner 2.
  op.IOPER1 = 1;
  op.RX1 = 5; op.RY1 = 10; op.RX2 = 12; op.RY2 = 10; op.RX3 = 30; op.RY3 = 10;
  request(DTRIANGLE);
  EXPECT_EQ(inked(10), 8);
  // A rectangle fills its rows.
  op.IOPER1 = 1;
  op.RX1 = 2; op.RY1 = 20; op.RX2 = 11; op.RY2 = 22;
  request(DRECT);
  EXPECT_EQ(inked(20) + inked(21) + inked(22), 30);
  // Hatched ellipses are left to the graphics layer.
  at.FILLSTYLE = 1;
  op.IOPER1 = 1;
  request(DELLIPSEFILL);
  EXPECT_EQ(op.IOPER1, -1);
  // A polyline of three points: two segments, the second not drawing the shared pixel twice.
  tessar.graphics.XWORK = {0, 10, 10};
  tessar.graphics.YWORK = {2, 2, 6};
  op.IOPER2 = 3;
  request(DPOLYLINE);
  EXPECT_EQ(inked(2), 11);
  EXPECT_EQ(rasterpixel(10, 6), 40);
  // Requests the raster device does not handle change nothing.
  const auto before = tessar.raster.IRBUFF;
  for (int code : {DTEXT, DENDPAGE, DBLOCK, DREADPIXEL, DPALETTEENTRY}) request(code);
  EXPECT_EQ(tessar.raster.IRBUFF, before);
}

TEST_F(RasterDevice, ImagesTurnWithThePage) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  static const std::string image = hc::scratch("corners.png").string();
  // 2 x 2: red top left, green top right, blue bottom left, white bottom right.
  ASSERT_EQ(hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
                    "im=Image.new('RGB',(2,2))\n"
                    "im.putpixel((0,0),(255,0,0)); im.putpixel((1,0),(0,255,0))\n"
                    "im.putpixel((0,1),(0,0,255)); im.putpixel((1,1),(255,255,255))\n"
                    "im.save('" + image + "')\"").status, 0);
  makerasterpage(40, 30, 24);
  tessar.raster.state.RASCLIP = {0, 39, 0, 29};
  DeviceOperands& op = tessar.graphics.operands;
  for (int rotation : {0, 180}) {
    SCOPED_TRACE(rotation);
    tessar.graphics.area.PAGEROTATION = rotation;
    assignfixed(tessar.files.HCCURRENT, image);
    op.IX2 = 2;
    op.IY2 = 2;
    request(DIMAGE);
    EXPECT_EQ(op.IOPER1, 0);
    const int topleft = rasterpixel(0, 29), bottomright = rasterpixel(39, 0);
    EXPECT_EQ(topleft, rotation == 0 ? 0x0000FF : 0xFFFFFF);
    EXPECT_EQ(bottomright, rotation == 0 ? 0xFFFFFF : 0x0000FF);
  }
  assignfixed(tessar.files.HCCURRENT, hc::scratch("missing.png").string());
  request(DIMAGE);
  EXPECT_NE(op.IOPER1, 0) << "the loader's error comes back";
}

}  // namespace
