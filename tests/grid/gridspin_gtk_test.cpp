// The spinner grid on a real display: a private Xvfb server with the GTK backend, the user
// clicking cells and spinner arrows and typing with xdotool. A screenshot of the screen
// afterwards is kept (ImageMagick's import).
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/gtk_backend.h"
#include "platform/win.h"
#include "tests/support/tools.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/support/desktop_user.h"
#include "tests/support/xserver.h"
#include "tests/window/display_fixture.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmsg.h"

namespace fs = std::filesystem;

namespace {

constexpr int kGrid = 1008;

// Screen points of a cell's text and of its spinner's up and down arrows.
struct CellPoints { win::POINT text, up, down; };
CellPoints pointsof(GridInstance& g, int column, int row) {
  int x = 0;
  for (int c = g.firstvisiblecolumn; c < column; ++c) x += g.columns[static_cast<std::size_t>(c)].width - 1;
  const int width = g.columns[static_cast<std::size_t>(column)].width;
  const int y = (row - g.firstvisiblerow) * (g.rowheight - 1);
  const int arrow = x + width - win::GetSystemMetrics(win::SM_CXVSCROLL) / 2 - 1;
  CellPoints p{{x + 8, y + g.rowheight / 2}, {arrow, y + g.rowheight / 4}, {arrow, y + g.rowheight * 3 / 4}};
  for (win::POINT* q : {&p.text, &p.up, &p.down}) win::ClientToScreen(g.cellarea, *q);
  return p;
}
std::string at(win::POINT p) {
  return "xdotool mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1\nsleep 0.3\n";
}

TEST(GridSpinOnDisplay, ArrowsClickedAndValuesTyped) {
  ::setenv("GSETTINGS_BACKEND", "memory", 1);   // no settings daemon on the bare server
  ASSERT_TRUE(tw::test::startXvfb(false)) << "Xvfb did not start";
  struct Stop {
    ~Stop() { tw::test::stopXvfb(); }
  } stop;   // the server goes however the test ends
  ASSERT_TRUE(win::UseGtkBackend());
  ASSERT_TRUE(tw::test::needtool("xdotool", "xdotool"));
  ASSERT_TRUE(tw::test::needtool("import", "imagemagick"));
  const fs::path dir = fs::temp_directory_path() / ("tw_gridspin_gtk_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);

  WindowOpenOptions o;
  o.flags = 0x27;
  o.title = "TarnWalker";
  WindowOpen(o);
  ASSERT_TRUE(tw::test::waitUntilShown(winslot(0).wWindow));
  WDialogLoad(980);
  int status = kGrid;
  yygridspinstepr(status, 1, 0.01f, 0.05f);
  ASSERT_EQ(status, kGrid);
  WGridPutCellReal(kGrid, 2, 2, 0.93f);
  WGridPutCellDouble(kGrid, 3, 1, 2.5);
  WGridPutCellString(kGrid, 4, 1, "Weir");
  WGridPutCellOption(kGrid, 5, 1, 1);
  for (int row = 1; row <= 6; ++row) WGridLabelRow(kGrid, row, "Day " + std::to_string(row));
  WDialogShow(40, 60);
  win::HWND dialog = yycurrentdialog();
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  ASSERT_TRUE(tw::test::waitUntilShown(dialog));
  GridInstance& g = *gridservices.locate(kGrid);
  for (int t = 1; t <= 16; ++t) wmessageenable(t, 1);

  // Count: click the cell, type 12, two clicks up. Factor: Tab, type 0.95, one click up,
  // Down to the next row, one click down (0.93 - 0.01). Then the screenshot.
  const CellPoints count = pointsof(g, 0, 0), factor0 = pointsof(g, 1, 0), factor1 = pointsof(g, 1, 1);
  const fs::path done = dir / "done";
  const std::string png = std::string(TW_SHOT_DIR) + "/grid_spin_gtk.png";
  fs::remove(png);
  tw::test::runUser(dir / "user.sh",
                    "wait_new '^Spinner grid$' >/dev/null\nsleep 0.5\n" + at(count.text) +
                        "xdotool key ctrl+a\nxdotool type --delay 60 12\nsleep 0.3\n" + at(count.up) + at(count.up) +
                        "xdotool key Tab\nsleep 0.3\nxdotool key ctrl+a\nxdotool type --delay 60 0.95\nsleep 0.3\n" +
                        at(factor0.up) + "xdotool key Down\nsleep 0.4\n" + at(factor1.down) +
                        "sleep 0.5\nimport -window root '" + png + "'\ntouch '" + done.string() + "'\n");
  int changes = 0;
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!fs::exists(done) && std::chrono::steady_clock::now() < limit) {
    int type = 0, v1, v2, v3, v4, x, y, window, time;
    do {
      yydispatchpeekmessage(type, v1, v2, v3, v4, x, y, window, time);
      if (type == EV_FIELDCHANGED && v2 == kGrid) ++changes;
    } while (type != -1);
    ::usleep(10000);
  }
  int error = 0;
  ASSERT_TRUE(fs::exists(done)) << tw::test::runCommand("cat '" + (dir / "user.sh.log").string() + "'", error);
  EXPECT_TRUE(fs::exists(png)) << "the screenshot";
  std::printf("screenshot: %s\n", png.c_str());
  EXPECT_EQ(g.currentcolumn, 1);
  EXPECT_EQ(g.currentrow, 1);
  EXPECT_EQ(yywindowtext(g.editor), "0.920");
  int counted = 0;
  WGridGetCellInteger(kGrid, 1, 1, counted);
  EXPECT_EQ(counted, 14);
  std::string shown(10, ' ');
  WGridGetCellString(kGrid, 2, 1, shown);
  EXPECT_EQ(shown, "0.960     ");
  EXPECT_GE(changes, 4) << "field-changed events of the steps";

  fs::remove_all(dir);
  windowclose();
}

}  // namespace
