// Bitmap-file driver and raster device: the shared test picture as BMP, PCX and PNG files read by Pillow, page geometry, blank pages, a failed open, and device requests drawn into the page.
#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>

#include "tests/hang_guard.h"
#include "tests/support/tools.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/hardcopy/refused_page.h"
#include "tests/raster/raster_page.h"
#include "tests/support/covering_shapes.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/curves.h"
#include "toolkit/graphics/markers.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/hcdrivers/bitmap_file.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hcdrivers/raster_device.h"
#include "toolkit/raster/file_info.h"
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

// Runs body in a copy of the test program under an address-space limit of 1 GB beyond
// what the program holds now, stopped by an alarm after 300 s (far above the seconds the
// work takes, even on a loaded machine), so that a regression to allocating gigabytes or
// running for minutes fails instead of stalling the machine. The copy's exit status: 0 when
// body returned 0; a signal shows as 128 + its number.
int underlimit(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    // Large buffers are mapped on their own, so heap that earlier tests freed cannot hold
    // them unseen by the limit.
    ::mallopt(M_MMAP_THRESHOLD, 1 << 20);
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (rlim_t{1} << 30);
    const rlimit r{limit, limit};
    if (pages == 0 || ::setrlimit(RLIMIT_AS, &r) != 0) ::_exit(100);
    ::alarm(300);
    // An exception must not reach the test framework in this copy of the program.
    try {
      ::_exit(body());
    } catch (...) {
      ::_exit(101);
    }
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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
  // A hardcopy with nothing drawn is one blank page in every format, which readers open (it
  // was an empty file, error 0).
  ASSERT_TRUE(tw::test::needtool("pngcheck", "pngcheck"));
  for (const auto& [name, format] : {std::pair{"blank.pcx", 0}, {"blank.bmp", 1}, {"blank-rle.bmp", 2}, {"blank.png", 3}}) {
    SCOPED_TRACE(name);
    tessar.error.LASTERROR = 0;
    const std::string blank = write(name, 8, format, nullptr);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    const Read r = pillow(blank, {{0, 0}, {799, 599}});
    EXPECT_EQ(r.width, 800) << r.output;
    EXPECT_EQ(r.height, 600);
    EXPECT_EQ(r.points[0], r.points[1]) << "one colour over the page";
    if (format == 3) {
      EXPECT_EQ(hc::run("pngcheck -q '" + blank + "'").status, 0);
    }
  }
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

// A page too wide for a PCX header keeps its rows: each side is cut to what its own header
// field counts (65,536 pixels at 1 and 4 bits, 65,534 at 8 and 24), never both together down
// to no rows. At 131,072 x 4 the page once reached 0 rows and drawing on it crashed.
TEST_F(BitmapFile, WidePcxPagesKeepTheirRows) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  struct Case {
    int depth, width, height, wantwidth, wantheight;
  };
  const Case cases[] = {{1, 131072, 4, 65536, 4}, {4, 131072, 4, 65536, 4}, {8, 131072, 4, 65534, 4},
                        {24, 131072, 4, 65534, 4}, {8, 100, 65536, 100, 65535}, {8, 65534, 3, 65534, 3},
                        {1, 65536, 3, 65536, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.depth) + " bits, " + std::to_string(c.width) + " x " + std::to_string(c.height));
    igrhardcopyoptions(1, c.width);
    igrhardcopyoptions(2, c.height);
    igrhardcopyoptions(23, c.depth);
    igrhardcopyoptions(26, 0);
    const std::string path = hc::scratch("rows.pcx").string();
    tessar.error.LASTERROR = 0;
    {
      HangGuard guard("a wide PCX page", 60);
      igrhardcopy(path);
      ASSERT_EQ(tessar.graphics.attributes.HARDCOPYON, 1);
      // Just inside the header's counts the page is as asked, with no error.
      EXPECT_EQ(tessar.error.LASTERROR, c.width == c.wantwidth && c.height == c.wantheight ? 0 : 34);
      EXPECT_EQ(tessar.raster.state.RASWIDTH, c.wantwidth);
      EXPECT_EQ(tessar.raster.state.RASHEIGHT, c.wantheight);
      if (c.height < 100) drawtestpicture();
      tessar.graphics.operands.PLOTSTARTED = 1;
      igrhardcopy("S");
    }
    const Read r = pillow(path, {{0, 0}});
    EXPECT_EQ(r.width, c.wantwidth) << r.output;
    EXPECT_EQ(r.height, c.wantheight);
  }
}

// A page of no pixels cannot be drawn on: refused with error 34, the hardcopy off and no
// file written. (The manager keeps such sizes out of the options; the driver does not rely
// on it.)
TEST_F(BitmapFile, PagesOfNoPixelsAreRefused) {
  for (auto [width, height] : {std::pair{0, 480}, {640, 0}, {-5, -5}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    tessar.hardcopy.HCOPTIONS[0] = width;
    tessar.hardcopy.HCOPTIONS[1] = height;
    igrhardcopyoptions(26, 3);
    hc::expectpagerefused(hc::scratch("none.png").string());
  }
}

// A page 2^31 - 1 pixels wide and 10 high, with the picture drawn on it, under a memory
// limit of 1 GB: each side stops at 65,535 pixels (error 34), so the page keeps its 10 rows
// and is drawn and written at once, a whole file Pillow reads. It once ran for minutes and
// ended as a picture of one row, or with an uncaught bad_alloc from the BMP writer's row.
// Just inside the limit the page is as asked. The watchdog is far above the time taken
// (see the bitmap benchmark), so it holds on a loaded machine.
TEST_F(BitmapFile, PagesBeyondWhatAWriterCountsAreDecidedFromTheirSize) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  struct Case {
    int format, depth, width, wantwidth, error;
  };
  for (const Case& c : {Case{3, 8, 2147483647, 65535, 34}, Case{3, 24, 2147483647, 65535, 34},
                        Case{1, 8, 2147483647, 65535, 34}, Case{1, 24, 2147483647, 65535, 34},
                        Case{2, 8, 2147483647, 65535, 34}, Case{1, 24, 65535, 65535, 0},
                        Case{3, 24, 65536, 65535, 34}}) {
    SCOPED_TRACE(std::to_string(c.format) + " format, " + std::to_string(c.depth) + " bits, " +
                 std::to_string(c.width) + " wide");
    const std::string path = hc::scratch("huge.img").string();
    std::filesystem::remove(path);
    const int status = underlimit([&] {
      igrhardcopyoptions(1, c.width);
      igrhardcopyoptions(2, 10);
      igrhardcopyoptions(23, c.depth);
      igrhardcopyoptions(26, c.format);
      tessar.error.LASTERROR = 0;
      igrhardcopy(path);
      const RasterState& rs = tessar.raster.state;
      if (tessar.graphics.attributes.HARDCOPYON != 1) return 2;
      if (tessar.error.LASTERROR != c.error) return 3;
      if (rs.RASWIDTH != c.wantwidth || rs.RASHEIGHT != 10) return 4;
      if (tessar.raster.IRBUFF.size() != static_cast<std::size_t>(rs.RASTOTALWORDS) + 1) return 5;
      drawtestpicture();
      igrhardcopy("S");
      return tessar.hardcopy.printer.OUTPUTERROR != 0 ? 6 : 0;
    });
    ASSERT_EQ(status, 0) << "2: refused, 3: error, 4: page size, 5: page words, 6: not written, 101: an exception, "
                            "142: still running after the watchdog";
    const Read r = pillow(path, {{0, 0}});
    EXPECT_EQ(r.width, c.wantwidth) << r.output;
    EXPECT_EQ(r.height, 10);
  }
}

// Filled shapes that cover the whole drawable, drawn into the page at extents whose device
// coordinates pass 2^22 (where a float no longer places a point to half a pixel) and 2^31
// (where no device integer holds them): every one fills the page as a near one does. The
// devices' own fills (styles 3 and 4) once drew nothing from 1e8 (and the trapezium from
// 6e6), the hatched triangle and trapezium nothing from 1e8, every hatched shape nothing from
// 2^53 device units (the grid's line count ran out), and the solid simple polygon at 1e30 a
// triangle (a diagonal's crossing with the box was worked out to only 1e17 units).
TEST_F(BitmapFile, FarShapesCoveringThePageFillIt) {
  using Draw = std::function<void(float)>;
  const auto shapes = tw::test::coveringshapes();
  igrhardcopyoptions(1, 200);
  igrhardcopyoptions(2, 150);
  igrhardcopyoptions(23, 8);
  igrhardcopyoptions(26, 0);
  auto inked = [](float extent, int style, const Draw& draw) {
    igrhardcopy(hc::scratch("far.pcx").string());
    IGrUnits(0, 0, 1, 1);
    IGrColourN(5);
    IGrColourN(40);
    igrfillpattern(style, 2, 3);
    {
      HangGuard guard("a far filled shape", 20);
      draw(extent);
    }
    const RasterState& rs = tessar.raster.state;
    long n = 0;
    for (int y = 0; y < rs.RASHEIGHT; ++y)
      for (int x = 0; x < rs.RASWIDTH; ++x)
        n += ((tessar.raster.IRBUFF[static_cast<std::size_t>(x / 4 + y * rs.RASROWWORDS)] >> (8 * (x % 4))) & 0xFF) != 0;
    igrhardcopy("S");
    return n;
  };
  for (int style : {1, 3, 4}) {
    // The whole page in the fill, as a near rectangle covers it.
    const long page = inked(10, style, shapes[1].second);
    if (style == 4) {
      EXPECT_EQ(page, 200 * 150);
    }
    for (const auto& [name, draw] : shapes) {
      SCOPED_TRACE(std::string(name) + ", style " + std::to_string(style));
      const long near = inked(10, style, draw);
      // 5e3 and 6e3 lie either side of 2^22 device units on this 800-unit drawable, 1.1259e13
      // and 1.2e13 either side of 2^53; from about 3e10 the hatch grid starts more than 2^40
      // lines below the page.
      for (float extent : {5e3f, 6e3f, 1e5f, 6e6f, 1e8f, 1e9f, 2e10f, 4e10f, 1e12f, 1.1259e13f, 1.2e13f,
                           1e15f, 1e30f}) {
        SCOPED_TRACE(extent);
        const long far = inked(extent, style, draw);
        if (style == 1)   // the hatch grid may start elsewhere: one line more or less
          EXPECT_NEAR(static_cast<double>(far), static_cast<double>(near), 0.1 * static_cast<double>(near));
        else if (std::string(name) == "circle" && extent < 5.5e3f)
          EXPECT_EQ(far, near);   // the device's own line fill of a near ellipse, as before
        else
          EXPECT_EQ(far, page);
      }
    }
  }
}

// An image whose writing fails (here a full disk: the output name leads to /dev/full) is
// reported and leaves no file behind for a reader to misread, in every format.
TEST_F(BitmapFile, AFailedImageLeavesNoFile) {
  for (int format : {0, 1, 2, 3}) {
    SCOPED_TRACE(format);
    const std::filesystem::path path = hc::scratch("full" + std::to_string(format) + ".img");
    std::filesystem::remove(path);
    std::filesystem::create_symlink("/dev/full", path);
    igrhardcopyoptions(1, 300);
    igrhardcopyoptions(2, 200);
    igrhardcopyoptions(23, 8);
    igrhardcopyoptions(26, format);
    tessar.error.LASTERROR = 0;
    igrhardcopy(path.string());
    drawtestpicture();
    igrhardcopy("S");
    EXPECT_NE(tessar.error.LASTERROR, 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(path)));
  }
}

// A filled circle and ellipse covering the page ink every row of it, the first and the last
// included, as a rectangle does; the circle's lines, a little under a row apart, once ended
// below the last row and left it blank.
TEST_F(BitmapFile, FilledEllipsesCoveringThePageInkEveryRow) {
  igrhardcopyoptions(1, 200);
  igrhardcopyoptions(2, 150);
  igrhardcopyoptions(23, 8);
  igrhardcopyoptions(26, 0);
  const std::pair<const char*, std::function<void()>> shapes[] = {
      {"rectangle", [] { IGrRectangle(-1, -1, 2, 2); }},
      {"circle", [] { igrcircle(0.5f, 0.5f, 3); }},
      {"ellipse", [] { igrellipse(0.5f, 0.5f, 3, 0.8f); }},
  };
  for (const auto& [name, draw] : shapes) {
    SCOPED_TRACE(name);
    igrhardcopy(hc::scratch("rows.pcx").string());
    IGrUnits(0, 0, 1, 1);
    IGrColourN(40);
    igrfillpattern(4, 2, 3);
    draw();
    const RasterState& rs = tessar.raster.state;
    std::vector<int> blank;
    for (int y = 0; y < rs.RASHEIGHT; ++y) {
      int inked = 0;
      for (int x = 0; x < rs.RASWIDTH; ++x)
        inked += ((tessar.raster.IRBUFF[static_cast<std::size_t>(x / 4 + y * rs.RASROWWORDS)] >> (8 * (x % 4))) & 0xFF) != 0;
      if (inked != rs.RASWIDTH) blank.push_back(y);
    }
    EXPECT_TRUE(blank.empty()) << "first row not wholly inked: " << (blank.empty() ? -1 : blank[0]);
    igrhardcopy("S");
  }
}

// Every public drawing routine given a NaN or an infinite number in each of its places
// (coordinate, radius, angle, size): nothing is drawn on the page, error 16 is reported
// under the routine's name, and the current point stays; each call is bounded by a
// watchdog. A hatched circle with a NaN radius once hung the raster page.
TEST_F(BitmapFile, NonFiniteNumbersDrawNothingAndReportError16) {
  using Draw = std::function<void(const std::vector<float>&)>;
  struct Routine {
    const char* name;
    int places;
    Draw draw;
  };
  auto pts = [](const std::vector<float>& v) { return std::vector<float>{v[0], 0.8f, v[1], 0.2f}; };
  const Routine routines[] = {
      {"IGrCircle", 3, [](const std::vector<float>& v) { igrcircle(v[0], v[1], v[2]); }},
      {"IGrEllipse", 4, [](const std::vector<float>& v) { igrellipse(v[0], v[1], v[2], v[3]); }},
      {"IGrArrow", 5, [](const std::vector<float>& v) { igrarrow(v[0], v[1], v[2], v[3], 1, v[4]); }},
      {"IGrArrowJoin", 5, [](const std::vector<float>& v) { igrarrowjoin(v[0], v[1], v[2], v[3], 1, v[4]); }},
      {"IGrTriangle", 6, [](const std::vector<float>& v) { IGrTriangle(v[0], v[1], v[2], v[3], v[4], v[5]); }},
      {"IGrTriangleRel", 4, [](const std::vector<float>& v) { igrtrianglerel(v[0], v[1], v[2], v[3]); }},
      {"IGrRectangle", 4, [](const std::vector<float>& v) { IGrRectangle(v[0], v[1], v[2], v[3]); }},
      {"IGrRectangleRel", 2, [](const std::vector<float>& v) { igrrectanglerel(v[0], v[1]); }},
      {"IGrTrapezium", 6, [](const std::vector<float>& v) { IGrTrapezium(v[0], v[1], v[2], v[3], v[4], v[5], 1); }},
      {"IGrTrapeziumRel", 4, [](const std::vector<float>& v) { igrtrapeziumrel(v[0], v[1], v[2], v[3], 1); }},
      {"IGrParallel", 5, [](const std::vector<float>& v) { igrparallel(v[0], v[1], v[2], v[3], v[4], 1); }},
      {"IGrParallelRel", 3, [](const std::vector<float>& v) { igrparallelrel(v[0], v[1], v[2], 1); }},
      {"IGrPolygonSimple", 2, [&](const std::vector<float>& v) {
         const std::vector<float> x = pts(v), y = {0.2f, 0.2f, 0.8f, 0.8f};
         igrpolygonsimple(x, y, 4);
       }},
      {"IGrPolygonComplex", 2, [&](const std::vector<float>& v) {
         const std::vector<float> x = {0.2f, 0.8f, 0.8f, 0.2f}, y = pts(v);
         IGrPolygonComplex(x, y, 4);
       }},
      {"IGrCurve", 2, [&](const std::vector<float>& v) {
         const std::vector<float> x = pts(v), y = {0.2f, 0.5f, 0.8f, 0.3f};
         igrcurve(x, y, 4);
       }},
      {"IGrPolyline", 2, [&](const std::vector<float>& v) {
         const std::vector<float> x = pts(v), y = {0.2f, 0.5f, 0.8f, 0.3f};
         igrpolyline(x, y, 4);
       }},
      {"IGrJoin", 4, [](const std::vector<float>& v) { igrjoin(v[0], v[1], v[2], v[3]); }},
      {"IGrJoinRel", 4, [](const std::vector<float>& v) { igrjoinrel(v[0], v[1], v[2], v[3]); }},
      {"IGrLineTo", 2, [](const std::vector<float>& v) { igrlineto(v[0], v[1]); }},
      {"IGrLineToRel", 2, [](const std::vector<float>& v) { igrlinetorel(v[0], v[1]); }},
      {"IGrPoint", 2, [](const std::vector<float>& v) { igrpoint(v[0], v[1]); }},
      {"IGrPointRel", 2, [](const std::vector<float>& v) { igrpointrel(v[0], v[1]); }},
      {"IGrMarker", 2, [](const std::vector<float>& v) { igrmarker(v[0], v[1], 3); }},
  };
  igrhardcopyoptions(1, 200);
  igrhardcopyoptions(2, 150);
  igrhardcopyoptions(23, 8);
  igrhardcopyoptions(26, 0);
  igrhardcopy(hc::scratch("nan.pcx").string());
  IGrUnits(0, 0, 1, 1);
  IGrColourN(40);
  const std::vector<float> sound = {0.3f, 0.4f, 0.2f, 0.6f, 0.5f, 0.3f};
  for (int style : {1, 4}) {
    igrfillpattern(style, 2, 3);
    for (const Routine& r : routines) {
      // The routine draws with sound numbers, so a refusal below is the check's.
      tessar.raster.IRBUFF.assign(tessar.raster.IRBUFF.size(), 0);
      igrmoveto(0.5f, 0.5f);
      r.draw(sound);
      EXPECT_NE(tessar.raster.IRBUFF, std::vector<std::uint32_t>(tessar.raster.IRBUFF.size(), 0)) << r.name;
      for (int place = 0; place < r.places; ++place) {
        for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity()}) {
          SCOPED_TRACE(std::string(r.name) + " place " + std::to_string(place) + " " + std::to_string(bad) +
                       " style " + std::to_string(style));
          tessar.raster.IRBUFF.assign(tessar.raster.IRBUFF.size(), 0);
          igrmoveto(0.5f, 0.5f);
          tessar.error.LASTERROR = 0;
          std::vector<float> v = sound;
          v[static_cast<std::size_t>(place)] = bad;
          {
            HangGuard guard(r.name, 60);
            r.draw(v);
          }
          EXPECT_EQ(tessar.error.LASTERROR, 16);
          EXPECT_EQ(tessar.raster.IRBUFF, std::vector<std::uint32_t>(tessar.raster.IRBUFF.size(), 0)) << "drawn";
          EXPECT_EQ(tessar.graphics.area.CURX, 0.5f) << "the current point moved";
        }
      }
    }
  }
  igrhardcopy("S");
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

// Small image files whose headers claim gigabytes: the image request checks that the file
// holds the rows before it allocates for them, and refuses with error 2 at once. A 2 KB PCX
// of 32,768 x 65,535 once took 2 GB and seconds before its error; an 86-byte PNG of 46,340
// x 46,340 (IHDR, then IEND) took 4 GB and was drawn, all black, as a success.
TEST_F(RasterDevice, SmallFilesClaimingHugeImagesAreRefusedBeforeAllocating) {
  auto le16 = [](std::vector<std::uint8_t>& b, std::size_t at, int v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto le32 = [](std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  std::vector<std::uint8_t> pcx(2048, 0);
  pcx[0] = 10; pcx[1] = 5; pcx[2] = 1; pcx[3] = 8; pcx[65] = 1;
  le16(pcx, 8, 32767); le16(pcx, 10, 65534); le16(pcx, 66, 32768);
  pcx[2048 - 769] = 12;
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                   0, 0, 0xB5, 0x04, 0, 0, 0xB5, 0x04, 8, 2, 0, 0, 0, 0, 0, 0, 0,
                                   0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  png.resize(86, 0);   // and some trailing bytes, as the reported file had
  std::vector<std::uint8_t> bmp(2048, 0);
  bmp[0] = 'B'; bmp[1] = 'M';
  le32(bmp, 10, 54); le32(bmp, 14, 40); le32(bmp, 18, 40000); le32(bmp, 22, 40000);
  le16(bmp, 26, 1); le16(bmp, 28, 24);
  struct Case {
    const char* name;
    const std::vector<std::uint8_t>& bytes;
  };
  for (const Case& c : {Case{"claims.pcx", pcx}, Case{"claims.png", png}, Case{"claims.bmp", bmp}}) {
    SCOPED_TRACE(c.name);
    const std::string path = hc::scratch(c.name).string();
    {
      std::ofstream out(path, std::ios::binary);
      out.write(reinterpret_cast<const char*>(c.bytes.data()), static_cast<std::streamsize>(c.bytes.size()));
    }
    std::array<int, 5> info{};
    igrfileinfo(path, info, 5);
    ASSERT_GT(static_cast<long long>(info[1]) * info[2], 1000000000LL) << "the header claims a huge image";
    const int status = underlimit([&] {
      DeviceOperands& op = tessar.graphics.operands;
      assignfixed(tessar.files.HCCURRENT, path);
      op.IX2 = info[1];
      op.IY2 = info[2];
      op.IOPER1 = 0;
      const std::vector<std::uint32_t> before = tessar.raster.IRBUFF;
      request(DIMAGE);
      if (op.IOPER1 != 2) return 2;
      return tessar.raster.IRBUFF == before ? 0 : 3;
    });
    EXPECT_EQ(status, 0) << "2: not error 2, 3: drawn, 101: an exception (no memory), 142: still running after the watchdog";
  }
}

}  // namespace
