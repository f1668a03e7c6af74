// The metafile and printer drawing layers, read back from the records they leave: pens made
// only when colour, type or width change, the end pixel of solid lines, the figures' boxes,
// text alignment; the printer's page origin at the margins, its point squares and fonts.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/printer.h"
#include "tests/hardcopy/driver_files.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/state/tessar.h"
#include "toolkit/winprint/wmf.h"
#include "toolkit/winprint/wprint.h"

namespace {

struct Record {
  int function;
  std::vector<int> params;  // 16-bit words, signed
};

// The records of a Windows metafile file (no placeable header).
std::vector<Record> records(const std::string& b) {
  std::vector<Record> out;
  auto u16 = [&b](std::size_t at) {
    return static_cast<int>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
  };
  for (std::size_t at = 18; at + 6 <= b.size();) {
    const std::size_t words = static_cast<std::size_t>(u16(at)) | (static_cast<std::size_t>(u16(at + 2)) << 16);
    if (words < 3 || at + 2 * words > b.size()) break;
    Record r{u16(at + 4), {}};
    for (std::size_t k = 6; k < 2 * words; k += 2) r.params.push_back(static_cast<std::int16_t>(u16(at + k)));
    out.push_back(r);
    at += 2 * words;
  }
  return out;
}
int count(const std::vector<Record>& rs, int function) {
  int n = 0;
  for (const Record& r : rs) n += r.function == function;
  return n;
}
const Record* first(const std::vector<Record>& rs, int function) {
  for (const Record& r : rs)
    if (r.function == function) return &r;
  return nullptr;
}

constexpr int kSetPixel = 0x041F, kCreatePen = 0x02FA, kRectangle = 0x041B, kEllipse = 0x0418,
              kTextOut = 0x0521, kExtTextOut = 0x0A32, kLineTo = 0x0213;

// A plain Windows metafile of the page 756 x 540 points drawn by draw.
std::vector<Record> recorded(const std::string& name, void (*draw)()) {
  const std::string path = hc::scratch(name).string();
  int w = 7560, h = 5400, status = -1, syserror = 0;
  const std::string file = path + std::string(1, '\0');
  const std::string desc = std::string("VXK metafile driver\0x\0\0", 23);
  yywmfopen(w, h, 0, 0, 10500, 7500, 0x60B1, 0, status, syserror, file, desc, static_cast<int>(file.size()),
            static_cast<int>(desc.size()));
  EXPECT_EQ(status, 0);
  draw();
  yywmfclose(status);
  EXPECT_EQ(status, 0);
  return records(tw::test::slurp(path));
}

TEST(MetafileLayer, PensOnlyWhenTheirStateChangesAndTheEndPixelOfSolidLines) {
  const auto rs = recorded("pens.wmf", [] {
    yywmfcolour(0, 0, 0);
    yywmflinewidth(1);
    yywmflinetype(0);
    yywmfline(0, 0, 10, 0);
    yywmfline(0, 5, 10, 5);   // same pen
    yywmfcolour(255, 0, 0);   // no pen yet
    yywmflinetype(2);
    yywmfline(0, 9, 10, 9);   // a new, dashed pen: no end pixel
  });
  // Pens made before each line: one for the first, none for the second, and for the third
  // the red dashed one (putting the first pen's predecessor back records it too).
  std::vector<std::vector<const Record*>> pens(1);
  for (const Record& r : rs) {
    if (r.function == kCreatePen) pens.back().push_back(&r);
    if (r.function == kLineTo) pens.emplace_back();
  }
  ASSERT_EQ(pens.size(), 4u);
  EXPECT_EQ(pens[0].size(), 1u);
  EXPECT_EQ(pens[1].size(), 0u);
  ASSERT_FALSE(pens[2].empty());
  EXPECT_EQ(pens[2].back()->params[0], 1);        // PS_DASH
  EXPECT_EQ(pens[2].back()->params[3], 0x00FF);   // red
  EXPECT_EQ(pens[3].size(), 0u);
  // Solid lines set their last pixel (colour, y, x), the dashed one does not.
  std::vector<std::pair<int, int>> pixels;
  for (const Record& r : rs)
    if (r.function == kSetPixel) pixels.emplace_back(r.params[3], r.params[2]);
  EXPECT_EQ(pixels, (std::vector<std::pair<int, int>>{{10, 0}, {10, 5}}));
}

TEST(MetafileLayer, FigureBoxesAndTextAlignment) {
  const auto rs = recorded("figures.wmf", [] {
    yywmfcolour(0, 0, 255);
    yywmfrectangle(10, 20, 30, 40);
    yywmfellipse(100, 100, 10, 5, 4);
    yywmfdrawstring(10, 10, 50, 10, 3, 0, "never", 5);   // alignment 3 draws nothing
    yywmfdrawstring(10, 10, 50, 10, 2, 0, "right", 5);
  });
  const Record* rect = first(rs, kRectangle);
  ASSERT_NE(rect, nullptr);
  // bottom, right, top, left: the rectangle reaches two units further right and down.
  EXPECT_EQ(rect->params, (std::vector<int>{42, 32, 20, 10}));
  const Record* ellipse = first(rs, kEllipse);
  ASSERT_NE(ellipse, nullptr);
  EXPECT_EQ(ellipse->params, (std::vector<int>{107, 112, 94, 89}));
  EXPECT_EQ(count(rs, kTextOut) + count(rs, kExtTextOut), 1);
}

TEST(PrinterLayer, OriginAtTheMarginsPointsAndFontCells) {
  win::test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true, 0}});
  PrinterSettings& ps = tessar.raster.printersettings;
  ps = PrinterSettings{};
  std::string("Print to PDF file").copy(ps.lpPrintType.data(), 259);
  std::string("pdf").copy(ps.lpPrintDriver.data(), 31);
  ps.GotPrName = 1;
  ps.prSize = ps.prLength = ps.prWidth = ps.prScale = ps.prSource = ps.prQuality = ps.prColor = ps.prDuplex =
      ps.prYRes = ps.prTTOption = ps.prCollate = -1;
  ps.prMedia = ps.prDither = 99999;
  int dpix = 0, dpiy = 0, colours = 0, status = -1, syserror = 0;
  const std::string title = std::string("layer test") + '\0';
  yywpropen(697, 451, 72, 36, dpix, dpiy, colours, status, syserror, 1, 1, title, static_cast<int>(title.size()));
  ASSERT_EQ(status, 0) << syserror;
  EXPECT_EQ(dpix, 600);
  EXPECT_EQ(dpiy, 600);
  EXPECT_EQ(colours, -1);
  // The page's corner is the paper's (no unprintable edge): the margins move the origin.
  EXPECT_EQ(origin.x, -600);
  EXPECT_EQ(origin.y, -300);
  EXPECT_TRUE(yywprjobrunning());
  // A font asked at 100 pixels comes back at its cell height, above 100 for a face with
  // internal leading.
  int height = 100, ascent = 0;
  yywprtextsize(0, height, ascent, 30, 2, 0, "", 0);
  EXPECT_GT(height, 100);
  EXPECT_GT(ascent, 0);
  EXPECT_LT(ascent, height);
  // An ended page is started again by drawing, not by a change of colour.
  EXPECT_EQ(yywprdump(), 0);
  yywprcolour(255, 0, 0);
  yywprline(0, 0, 100, 100);
  EXPECT_EQ(yywprclose(), 0);
  EXPECT_FALSE(yywprjobrunning());
  win::test::resetPrinters();
}

}  // namespace
