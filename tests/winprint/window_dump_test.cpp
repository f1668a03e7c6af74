// The window dump: the screen's drawing printed on the built-in PDF printer through the
// screen driver's request 20, on the Windows printer's page and on the PostScript page, a
// one-pixel rectangle over the whole image area, and a job that cannot start.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/gdi.h"
#include "platform/printer.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/screen/screen_fixture.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/raster/print_select.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"
#include "toolkit/winprint/wdrivers.h"
#include "toolkit/winprint/wdump.h"

namespace fs = std::filesystem;

namespace {

// The PDF printer writes "<document name>.pdf" to the current folder: each test has its own.
class WindowDump : public twtest::ScreenFixture {
 protected:
  void SetUp() override {
    ScreenFixture::SetUp();
    folder = hc::scratch("dump-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(folder);
    before = fs::current_path();
    fs::current_path(folder);
    win::test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true, 0}});
    tessar.raster.printersettings.GotPrName = 0;
    yyinstallwinprint();
    assignfixed(tessar.files.HCCURRENT, "dump");
  }
  void TearDown() override {
    fs::current_path(before);
    win::test::resetPrinters();
    ScreenFixture::TearDown();
  }
  // A 200 x 100 window in four coloured quarters: red top left, green top right, blue bottom
  // left, yellow bottom right.
  void quarters() {
    openScreen(200, 100);
    const win::COLORREF colours[4] = {win::RGB(255, 0, 0), win::RGB(0, 255, 0), win::RGB(0, 0, 255),
                                      win::RGB(255, 255, 0)};
    for (int q = 0; q < 4; ++q) {
      win::HBRUSH brush = win::CreateSolidBrush(colours[q]);
      const win::RECT r{(q % 2) * 100, (q / 2) * 50, (q % 2) * 100 + 100, (q / 2) * 50 + 50};
      win::FillRect(gDC, r, brush);
      win::DeleteObject(brush);
    }
  }
  // The printed page rendered at 72 dpi (a pixel a point): its size, then the colour at each
  // point, as "w h (r, g, b) ...".
  std::string probe(const std::string& points) {
    const fs::path pdf = folder / "dump.pdf";
    EXPECT_TRUE(fs::exists(pdf));
    const hc::Run png = hc::run("pdftoppm -r 72 -png -singlefile '" + pdf.string() + "' '" + (folder / "page").string() + "'");
    EXPECT_EQ(png.status, 0) << png.output;
    const fs::path keep = fs::temp_directory_path() / "tw-winprint-renderings";
    fs::create_directories(keep);
    fs::copy_file(folder / "page.png", keep / ("dump-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".png"),
                  fs::copy_options::overwrite_existing);
    return hc::run("/usr/bin/python3 -c \"from PIL import Image; im = Image.open('" + (folder / "page.png").string() +
                   "').convert('RGB'); print(*im.size, *[im.getpixel(p) for p in [" + points + "]])\"")
        .output;
  }
  fs::path folder, before;
};

TEST_F(WindowDump, WindowPrintedOnThePrintersPageInsideAnInchOfMargin) {
  ASSERT_TRUE(tw::test::needtool("pdftoppm", "poppler-utils"));
  igrprintimageselect();
  // A4 at 600 dpi, landscape: 841 x 595 points less an inch all round.
  const auto& d = tessar.raster.DumpSettings;
  EXPECT_EQ(d[0], 697);
  EXPECT_EQ(d[1], 451);
  EXPECT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 1);
  quarters();
  tessar.error.LASTERROR = 0;
  yygdrv(DENDPAGE);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  // The image covers points 72..768 across and 72..522 down, to the point.
  const std::string out =
      probe("(72, 72), (768, 72), (72, 522), (768, 522), (71, 300), (769, 300), (300, 71), (300, 523)");
  EXPECT_EQ(out,
            "842 596 (255, 0, 0) (0, 255, 0) (0, 0, 255) (255, 255, 0) (255, 255, 255) (255, 255, 255) "
            "(255, 255, 255) (255, 255, 255)\n");
}

TEST_F(WindowDump, PostScriptPageStartsAboveTheTopEdge) {
  ASSERT_TRUE(tw::test::needtool("pdftoppm", "poppler-utils"));
  igrprintimageselect();
  igrprintimageselect(2);
  EXPECT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 1) << "the dump still goes to the Windows printer";
  quarters();
  tessar.error.LASTERROR = 0;
  yygdrv(DENDPAGE);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  // 756 x 540 points from 42 across and 20 above the paper: the red quarter reaches the top
  // edge, the image ends at 798 across and 520 down.
  const std::string out = probe("(45, 0), (794, 3), (45, 516), (794, 516), (38, 100), (802, 100), (400, 526)");
  EXPECT_EQ(out,
            "842 596 (255, 0, 0) (0, 255, 0) (0, 0, 255) (255, 255, 0) (255, 255, 255) (255, 255, 255) "
            "(255, 255, 255)\n");
  igrprintimageselect(4);
  EXPECT_EQ(tessar.raster.DumpSettings[0], 697) << "every device but 2 is the Windows printer";
}

TEST_F(WindowDump, OnePixelCoversTheWholeImage) {
  ASSERT_TRUE(tw::test::needtool("pdftoppm", "poppler-utils"));
  igrprintimageselect();
  quarters();
  int width = 697, height = 451, left = 72, top = 72, landscape = 1, copies = 1, error = -1;
  yywindumpstart(width, height, left, top, error, landscape, copies, std::string_view("dump\0", 5));
  ASSERT_EQ(error, 0);
  int x = 150, y = 75;  // in the yellow quarter, y down
  yywindumpblit(x, y, x, y, error);
  EXPECT_EQ(error, 0);
  yywindumpend();
  const std::string out = probe("(73, 73), (768, 522), (420, 297), (60, 60)");
  EXPECT_EQ(out, "842 596 (255, 255, 0) (255, 255, 0) (255, 255, 0) (255, 255, 255)\n");
}

TEST_F(WindowDump, FailuresAreReportedUnderTheScreenDriver) {
  igrprintimageselect();
  quarters();
  // The job cannot start: error 1, and nothing is left open for a later dump.
  win::test::failNextPrinter("StartDoc", win::ERROR_CANCELLED);
  tessar.error.LASTERROR = 0;
  yygdrv(DENDPAGE);
  EXPECT_EQ(tessar.error.LASTERROR, 1);
  EXPECT_FALSE(fs::exists(folder / "dump.pdf"));
  tessar.error.LASTERROR = 0;
  yygdrv(DENDPAGE);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_TRUE(fs::exists(folder / "dump.pdf"));
  // No printer at all: not present, error 1 before any job.
  win::test::setPrinters({});
  igrprintimageselect();
  EXPECT_EQ(tessar.hardcopy.settings.PRINTERPRESENT, 0);
  EXPECT_EQ(tessar.raster.DumpSettings[0], 0);
  tessar.error.LASTERROR = 0;
  yygdrv(DENDPAGE);
  EXPECT_EQ(tessar.error.LASTERROR, 1);
}

}  // namespace
