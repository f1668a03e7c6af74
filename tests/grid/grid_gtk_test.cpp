// The grid field on a real display: a private Xvfb server with the GTK backend shows the grid
// dialog of the grid tests with cells of every kind filled, a block selected and the header
// and row labels; a screenshot of the X screen (xwd and ImageMagick) shows them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/gtk_backend.h"
#include "platform/win.h"
#include "tests/support/xserver.h"
#include "tests/window/display_fixture.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"

namespace {

using tw::test::pixelAt;

TEST(GridOnDisplay, CellsHeaderLabelsAndSelectionShowInTheScreenshot) {
  ASSERT_TRUE(tw::test::startXvfb(false)) << "Xvfb did not start";
  struct Stop {
    ~Stop() { tw::test::stopXvfb(); }
  } stop;   // the server goes however the test ends
  ASSERT_TRUE(win::UseGtkBackend());

  WindowOpenOptions o;
  o.flags = 0x27;
  o.title = "TarnWalker";
  WindowOpen(o);
  ASSERT_TRUE(tw::test::waitUntilShown(winslot(0).wWindow));

  WDialogLoad(950);
  WGridPutCellString(1008, 1, 1, "Tarn Beck");
  WGridPutCellInteger(1008, 2, 1, 42);
  WGridPutCellReal(1008, 3, 1, 12.5f);
  WGridPutCellDouble(1008, 4, 2, 0.125);
  WGridPutCellCheckBox(1008, 5, 1, 1);
  WGridPutCellOption(1008, 6, 2, 3);
  WDialogShow(20, 40);
  win::HWND dialog = yycurrentdialog();
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  ASSERT_TRUE(tw::test::waitUntilShown(dialog));
  GridInstance* g = gridservices.locate(1008);
  ASSERT_NE(g, nullptr);
  win::SetFocus(g->window);
  yygridselectrange(g->window, 3, 5, 1, 3);
  win::InvalidateRect(dialog, nullptr, win::TRUE);
  win::UpdateWindow(dialog);
  ASSERT_TRUE(tw::test::waitUntilShown(dialog));

  const std::string png = ::testing::TempDir() + "tarnwalker-grid.png";
  cairo_surface_t* shot = tw::test::xwdScreenshot(png);
  ASSERT_NE(shot, nullptr) << "xwd or convert failed";
  std::printf("screenshot: %s\n", png.c_str());
  // A selected cell in the highlight colour, a white cell below the selection.
  win::POINT p{60 + 45, 4 * (g->rowheight - 1) + 5};
  win::ClientToScreen(g->cellarea, p);
  EXPECT_EQ(pixelAt(shot, p.x, p.y), win::GetSysColor(win::COLOR_HIGHLIGHT));
  win::POINT q{30, 8 * (g->rowheight - 1) + 5};
  win::ClientToScreen(g->cellarea, q);
  EXPECT_EQ(pixelAt(shot, q.x, q.y), win::RGB(255, 255, 255));
  cairo_surface_destroy(shot);

  windowclose();
}

}  // namespace
