// The screen road: graphics calls through the device requests, the screen driver and the
// drawing layer to the pixels of a headless window: the y flip, line types and widths, plot
// modes, the font cache, palette batching, clipping and the requests' edge cases.
#include <array>
#include <numeric>

#include "screen_fixture.h"
#include "toolkit/window/window.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/text.h"
#include "toolkit/screen/wgraph.h"

namespace {

using twtest::ScreenFixture;
using Screen = ScreenFixture;
constexpr win::COLORREF kWhite = win::RGB(255, 255, 255), kBlack = win::RGB(0, 0, 0);

TEST_F(Screen, RowZeroOfTheGraphicsIsTheBottomRowOfTheWindow) {
  openScreen(200, 100);
  igrjoin(0, 0, 10, 0);
  for (int x = 0; x <= 10; ++x) EXPECT_EQ(px(x, 99), kBlack) << x;
  EXPECT_EQ(px(11, 99), kWhite);
  EXPECT_EQ(px(5, 0), kWhite);
  // The top row is graphics row height - 1.
  igrjoin(0, 99, 5, 99);
  EXPECT_EQ(px(3, 0), kBlack);
}

TEST_F(Screen, ASolidLineSetsItsEndPixelAndAClosedPolylineNoExtraOne) {
  openScreen(60, 40);
  igrjoin(2, 5, 7, 5);
  for (int x = 2; x <= 7; ++x) EXPECT_TRUE(ink(x, 5)) << x;
  EXPECT_FALSE(ink(8, 5));
  // XOR shows a pixel set twice: a closed outline sets each corner once.
  IGrColourN(31);
  tessar.graphics.attributes.PLOTMODE = 3;
  yygdrv(DPLOTMODE);
  const std::array<float, 5> x{10, 30, 30, 10, 10}, y{10, 10, 30, 30, 10};
  igrpolyline(x, y, 5);
  for (auto [cx, cy] : {std::pair{10, 10}, {30, 10}, {30, 30}, {10, 30}}) EXPECT_TRUE(ink(cx, cy)) << cx << "," << cy;
}

// The dash patterns at 96 dots per inch (dash, gap ...), and the period they repeat with
// at width w: square ends lengthen every dash by the width, so gaps grow by w - 1.
struct LineCase {
  int type;
  int sum;    // of the pattern at width 1
  int gaps;   // gaps per period
};
constexpr LineCase kLineTypes[] = {{1, 5, 1}, {2, 14, 1}, {3, 17, 2}, {4, 22, 3}, {5, 20, 2}, {6, 8, 1}, {7, 28, 3}};

// Column positions in the row where a run of ink starts.
std::vector<int> runStarts(int row, int x0, int x1) {
  std::vector<int> s;
  bool was = false;
  for (int x = x0; x <= x1; ++x) {
    const bool on = ScreenFixture::ink(x, row);
    if (on && !was) s.push_back(x);
    was = on;
  }
  return s;
}

TEST_F(Screen, ADashedLineLeavesItsEndPixelToThePattern) {
  openScreen(40, 20);
  yywinlinetype(0);
  yywinline(0, 5, 5, 5);
  for (int x = 0; x <= 5; ++x) EXPECT_EQ(px(x, 5), kBlack) << x;
  // Dot at width 1: a dash of one pixel lengthened by the square ends, then the gap.
  yywinlinetype(1);
  yywinline(0, 10, 5, 10);
  EXPECT_EQ(px(0, 10), kBlack);
  EXPECT_EQ(px(5, 10), kWhite);
  yywinlinetype(0);
}

TEST_F(Screen, EveryLineTypeRepeatsItsPatternAtWidthsOneAndThree) {
  openScreen(400, 60);
  for (int width : {1, 3}) {
    for (const LineCase& c : kLineTypes) {
      SCOPED_TRACE(testing::Message() << "type " << c.type << " width " << width);
      igrareaclear();
      tessar.graphics.attributes.LINEWIDTH = width;
      yygdrv(DLINEWIDTH);
      igrlinetype(c.type);
      igrjoin(20, 30, 380, 30);
      const int period = c.sum + c.gaps * (width - 1);
      const std::vector<int> starts = runStarts(30, 15, 385);
      ASSERT_GE(starts.size(), 6u);
      // Runs start again one period later all along the line, and the line has gaps.
      for (int s : starts) {
        if (s + period >= 370) continue;
        EXPECT_NE(std::find(starts.begin(), starts.end(), s + period), starts.end()) << s;
      }
      // Thickness: a wide line covers the rows beside it.
      EXPECT_EQ(inkNear(starts[1] + 0, 30 + width / 2, 0), true);
      EXPECT_EQ(ink(starts[1], 30 + width / 2 + 1), false);
    }
    igrlinetype(0);
    igrareaclear();
    igrjoin(20, 30, 380, 30);
    EXPECT_EQ(runStarts(30, 15, 385).size(), 1u) << "type 0 is solid at width " << width;
  }
}

TEST_F(Screen, PlotModesCombineWithWhatIsThere) {
  openScreen(40, 20);
  struct Case {
    const char* why;
    int mode;
    win::COLORREF background, expected;
  };
  // Pen colour red (palette index 31, 0x0000FF).
  const Case cases[] = {
      {"copy replaces", 0, win::RGB(0, 255, 0), win::RGB(255, 0, 0)},
      {"OR merges", 1, win::RGB(0, 255, 0), win::RGB(255, 255, 0)},
      {"AND masks", 2, win::RGB(255, 255, 0), win::RGB(255, 0, 0)},
      {"XOR inverts the pen's bits", 3, win::RGB(255, 255, 0), win::RGB(0, 255, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    win::HBRUSH b = win::CreateSolidBrush(c.background);
    win::RECT r{0, 0, 40, 20};
    win::FillRect(gDC, r, b);
    win::DeleteObject(b);
    IGrColourN(31);
    tessar.graphics.attributes.PLOTMODE = c.mode;
    yygdrv(DPLOTMODE);
    igrjoin(5, 10, 30, 10);
    EXPECT_EQ(at(15, 10), c.expected);
  }
  // XOR twice leaves the picture as it was.
  igrjoin(5, 10, 30, 10);
  EXPECT_EQ(at(15, 10), win::RGB(255, 255, 0));
  // An unknown plot mode keeps the raster operation.
  yywinplotmode(5);
  EXPECT_EQ(gPlotMode, win::R2_XORPEN);
}

TEST_F(Screen, TheDeviceFontIsMadeOnlyWhenItChanges) {
  openScreen(300, 100);
  const int base = yygapifontcount();
  yygdrv(DFONT);
  const int first = yygapifontcount();
  yygdrv(DFONT);
  EXPECT_EQ(yygapifontcount(), first) << "same size, angle, face and flags";
  yygdrv(DBEGINPLOT);
  yygdrv(DFONT);
  EXPECT_EQ(yygapifontcount(), first + 1) << "begin plot empties the cache";
  tessar.graphics.text.TYPEFLAGS = 1;
  yygdrv(DFONT);
  EXPECT_EQ(yygapifontcount(), first + 2) << "bold";
  // With face 1 the user face name does not count; with face 0 it does.
  tessar.graphics.text.USERFACE.replace(0, 5, "Arial");
  yygdrv(DFONT);
  EXPECT_EQ(yygapifontcount(), first + 2);
  tessar.graphics.text.FACE = 0;
  yygdrv(DFONT);
  tessar.graphics.text.USERFACE.replace(0, 5, "Times");
  yygdrv(DFONT);
  EXPECT_EQ(yygapifontcount(), first + 4);
  EXPECT_GE(first, base);
}

TEST_F(Screen, DeviceTextIsDrawnAndMeasured) {
  openScreen(300, 100);
  WGrTextFont({.family = 102});
  const float length = wgrtextlength("Flow");
  EXPECT_GT(length, 1.0f);
  EXPECT_LT(length, 4.0f);
  EXPECT_EQ(tessar.graphics.operands.IOPER2, 1) << "the screen measured it";
}

// Palette displays: a batch of entries realises the palette once, at its last entry.
TEST_F(Screen, PaletteEntriesAreRealisedOncePerBatch) {
  openScreen(20, 20);
  tessar.display.COLOURS = 256;
  GraphicsAttributes& at = tessar.graphics.attributes;
  at.DEVCLASS = 16;
  std::vector<unsigned char> block(sizeof(win::LOGPALETTE) + 16 * sizeof(win::PALETTEENTRY));
  auto* lp = reinterpret_cast<win::LOGPALETTE*>(block.data());
  lp->palNumEntries = 16;
  for (int k = 0; k < 16; ++k) {
    int rgb = 0;
    yypalg16(k, rgb);
    lp->palPalEntry[k] = win::PALETTEENTRY{static_cast<win::BYTE>(rgb & 0xFF), static_cast<win::BYTE>((rgb >> 8) & 0xFF),
                                           static_cast<win::BYTE>((rgb >> 16) & 0xFF), 0};
  }
  gPal256 = win::CreatePalette(lp);
  win::SelectPalette(gDC, gPal256, win::FALSE);
  win::RealizePalette(gDC);
  auto drawn = [](int index) {
    win::SetPixel(gDC, 0, 0, win::PALETTEINDEX(static_cast<win::WORD>(index)));
    return win::GetPixel(gDC, 0, 0);
  };
  const win::COLORREF before2 = drawn(2), before3 = drawn(3);
  DeviceOperands& op = tessar.graphics.operands;
  auto entry = [&](int index, int rgb, int more) {
    op.IOPER1 = index;
    op.IX1 = rgb;
    op.IX4 = more;
    yygdrv(DPALETTEENTRY);
  };
  entry(2, 0x102030, 1);
  EXPECT_EQ(drawn(2), before2) << "not realised within the batch";
  entry(3, 0x405060, 1);
  EXPECT_EQ(drawn(3), before3);
  entry(4, 0x708090, 0);
  EXPECT_EQ(drawn(2), 0x102030u);
  EXPECT_EQ(drawn(3), 0x405060u);
  EXPECT_EQ(drawn(4), 0x708090u);
  // A single entry realises at once.
  entry(5, 0x0A0B0C, 0);
  EXPECT_EQ(drawn(5), 0x0A0B0Cu);
  // On a true-colour display palette entries change nothing.
  tessar.display.COLOURS = 1 << 24;
  entry(6, 0x111111, 0);
  EXPECT_NE(drawn(6), 0x111111u);
  win::SelectPalette(gDC, static_cast<win::HPALETTE>(win::GetStockObject(win::DEFAULT_PALETTE)), win::FALSE);
  win::DeleteObject(gPal256);
  gPal256 = nullptr;
}

TEST_F(Screen, ClipRequestKeepsFillsInsideTheArea) {
  openScreen(100, 100);
  IGrArea(0.2f, 0.2f, 0.6f, 0.6f);
  tessar.graphics.attributes.FILLSTYLE = 4;
  DeviceOperands& op = tessar.graphics.operands;
  op.IX1 = 50;
  op.IY1 = 50;
  op.IX2 = 40;
  op.IY2 = 40;
  yygdrv(DELLIPSESOLID);
  EXPECT_TRUE(ink(30, 30));
  EXPECT_FALSE(ink(15, 50)) << "left of the area";
  EXPECT_FALSE(ink(70, 50)) << "right of the area";
  // A dialog field always keeps a clip region, even for its whole surface.
  IGrArea(0, 0, 1, 1);
  EXPECT_EQ(gClipRgn, nullptr);
  tessar.graphics.target.TARGETTYPE = 3;
  yygdrv(DCLIP);
  EXPECT_NE(gClipRgn, nullptr);
  tessar.graphics.target.TARGETTYPE = 1;
}

TEST_F(Screen, ASectorWhoseEndsMeetIsPartedByOnePixel) {
  openScreen(100, 100);
  DeviceOperands& op = tessar.graphics.operands;
  auto sector = [&](float sweep) {
    igrareaclear();
    op.IX1 = 50;
    op.IY1 = 50;
    op.RX2 = 3;
    op.RY2 = 3;
    op.RX3 = 30 * 0.0174533f;
    op.RY3 = (30 + sweep) * 0.0174533f;
    op.RX4 = 30;
    op.RY4 = sweep;
    yygdrv(DSECTORSOLID);
    return inkCount();
  };
  // Both ends on one pixel: a short sweep draws a sliver, not the whole disc.
  const int sliver = sector(5);
  const int whole = sector(360);
  EXPECT_GT(sliver, 0);
  EXPECT_LT(sliver, whole / 2);
}

TEST_F(Screen, ReadPixelAnswersTheColourOrMinusOne) {
  openScreen(20, 20);
  IGrColourN(31);
  igrpoint(3, 4);
  DeviceOperands& op = tessar.graphics.operands;
  op.IX1 = 3;
  op.IY1 = 4;
  yygdrv(DREADPIXEL);
  EXPECT_EQ(op.IX1, 0x0000FF);
  op.IX1 = 40;
  op.IY1 = 4;
  yygdrv(DREADPIXEL);
  EXPECT_EQ(op.IX1, -1);
}

TEST_F(Screen, DescribeFillsTheScreenHalf) {
  openScreen(20, 20);
  const DeviceDescription& d = tessar.graphics.description;
  EXPECT_EQ(d.SCCAPS, "11111111111111111110111011111");
  EXPECT_EQ(d.SCTEXTANGLES, 360);
  EXPECT_EQ(d.SCTRUECOLOUR, 1);
  EXPECT_EQ(d.SCGRADIENT, 2);
  EXPECT_EQ(d.SCPLATFORM, 2);
}

TEST_F(Screen, EndPageWithoutAPrinterRecordsErrorOne) {
  openScreen(20, 20);
  tessar.hardcopy.settings.PRINTERPRESENT = 0;
  yygdrv(DENDPAGE);
  EXPECT_EQ(tessar.error.LASTERROR, 1);
}

// What the image loader is asked for: the box of the integer clip box and the origin of the
// page rotation.
struct ImageCall {
  std::array<int, 10> args;
  std::string name;
};
ImageCall lastimage;
void recordimage(int type, int device, int x1, int y1, int x2, int y2, int placement, int rotation, int ox, int oy,
                 int& failed, int& oscode, std::string_view name) {
  lastimage = ImageCall{{type, device, x1, y1, x2, y2, placement, rotation, ox, oy}, std::string(name)};
  failed = 7;
  oscode = 2;
}

TEST_F(Screen, ImageFilesGoToTheLoaderWithTheAreaBox) {
  openScreen(200, 100);
  graphicsservices.yyloadimage = recordimage;
  IGrArea(0.1f, 0.2f, 0.5f, 0.6f);   // integer clip box (20, 20) - (100, 60)
  tessar.files.HCCURRENT.assign(260, ' ');
  tessar.files.HCCURRENT.replace(0, 9, "flows.png");
  DeviceOperands& op = tessar.graphics.operands;
  op.IX1 = 15;
  op.IY1 = 3;
  yygdrv(DIMAGE);
  EXPECT_EQ(lastimage.args, (std::array<int, 10>{15, 0, 20, 39, 100, 79, 3, 0, 0, 0}));
  EXPECT_EQ(lastimage.name, "flows.png");
  EXPECT_EQ(op.IOPER1, 7);
  EXPECT_EQ(op.IOPER2, 2);
  tessar.graphics.area.PAGEROTATION = 90;
  yygdrv(DIMAGE);
  EXPECT_EQ(lastimage.args, (std::array<int, 10>{15, 0, 20, -1, 60, 79, 3, 90, 20, 100}));
  tessar.graphics.area.PAGEROTATION = 0;
  graphicsservices.yyloadimage = nullptr;
}

// A gradient polygon: its device reals become pixels (rounded down below zero) and the
// platform shades the triangles of the decomposed polygon within the area.
TEST_F(Screen, AGradientPolygonIsShadedWithinTheArea) {
  openScreen(100, 100);
  IGrArea(0, 0, 0.5f, 1);
  GraphicsRegion& g = tessar.graphics;
  g.XWORK = {10, 90, 90, 10};
  g.YWORK = {10, 10, 90, 90};
  g.gradient.n = 4;
  g.gradient.RGB = {};
  g.gradient.RGB[0] = 0x0000FF;
  g.gradient.RGB[1] = 0x0000FF;
  g.gradient.RGB[2] = 0xFF0000;
  g.gradient.RGB[3] = 0xFF0000;
  yygdrv(DGRADIENT);
  const win::COLORREF low = at(30, 12), high = at(30, 88);
  EXPECT_GT(low & 0xFF, 200u) << "red near the bottom";
  EXPECT_GT((high >> 16) & 0xFF, 200u) << "blue near the top";
  EXPECT_EQ(at(70, 50), kWhite) << "right of the area";
}

TEST_F(Screen, LineStylesFollowTheWidthAndTheResolution) {
  openScreen(20, 20);
  auto dashes = [](int type) {
    const auto d = yywindashes(type);
    return std::vector<win::DWORD>(d.begin(), d.end());
  };
  yywinlinewidth(1);
  EXPECT_EQ(dashes(1), (std::vector<win::DWORD>{1, 4}));
  yywinlinewidth(3);
  EXPECT_EQ(dashes(1), (std::vector<win::DWORD>{1, 6}));
  EXPECT_EQ(dashes(3), (std::vector<win::DWORD>{1, 6, 8, 6}));
  // On a metafile whose reference device has 600 dots per inch.
  win::HDC saved = gDC;
  hGraphicsMetafile = gDC;
  wMetafileDPI = 600;
  yywinlinewidth(1);
  EXPECT_EQ(dashes(1), (std::vector<win::DWORD>{6, 25}));
  yywinlinewidth(3);
  EXPECT_EQ(dashes(1), (std::vector<win::DWORD>{6, 27}));
  hGraphicsMetafile = nullptr;
  wMetafileDPI = 96;
  gDC = saved;
  yywinlinewidth(1);
}

TEST_F(Screen, TheStippleIsRedrawnOnlyAfterAColourChange) {
  openScreen(40, 40);
  tessar.graphics.attributes.FILLSTYLE = 3;
  IGrColourN(31);
  EXPECT_EQ(gStippleRebuild, 1);
  win::DeleteObject(yywinstipple());
  EXPECT_EQ(gStippleRebuild, 0);
  win::DeleteObject(yywinstipple());
  EXPECT_EQ(gStippleRebuild, 0);
  // The two-colour fill: the current colour where x and y are both even or both odd.
  yywinrectangle(0, 0, 9, 9, 3);
  EXPECT_EQ(px(2, 2), win::RGB(255, 0, 0));
  EXPECT_EQ(px(3, 2), win::RGB(0, 0, 0)) << "the previous colour, black";
}

}  // namespace
