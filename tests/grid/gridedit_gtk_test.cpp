// The grid-editor window on a real display: a private Xvfb server with the GTK backend, the
// window driven by a user typing with xdotool (menus by their mnemonics, the accelerators,
// the command dialogs answered with keys): Find, Go to Cell, Sort, Insert Row, Delete Row and
// Print to the built-in PDF printer. A screenshot of the screen afterwards is kept
// (ImageMagick's import).
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/gtk_backend.h"
#include "platform/printer.h"
#include "platform/win.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/support/desktop_user.h"
#include "tests/support/xserver.h"
#include "tests/window/display_fixture.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/grid/gridedit.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmsg.h"

namespace fs = std::filesystem;

namespace {

constexpr int kGrid = 1008;

TEST(GridEditorOnDisplay, DrivenThroughItsMenusAndKeys) {
  ::setenv("GSETTINGS_BACKEND", "memory", 1);   // no settings daemon on the bare server
  ASSERT_TRUE(tw::test::startXvfb(false)) << "Xvfb did not start";
  struct Stop {
    ~Stop() { tw::test::stopXvfb(); }
  } stop;   // the server goes however the test ends
  ASSERT_TRUE(win::UseGtkBackend());
  ASSERT_TRUE(tw::test::needtool("xdotool", "xdotool"));
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  ASSERT_TRUE(tw::test::needtool("import", "imagemagick"));
  const fs::path dir = fs::temp_directory_path() / ("tw_gridedit_gtk_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path start = fs::current_path();
  fs::current_path(dir);
  win::test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true, 0}});

  WindowOpenOptions o;
  o.flags = 0x27;
  o.title = "TarnWalker";
  WindowOpen(o);
  ASSERT_TRUE(tw::test::waitUntilShown(winslot(0).wWindow));
  WDialogLoad(950);
  const char* names[] = {"Weir Pool", "Alder Gill", "Beck Foot"};
  for (int row = 1; row <= 3; ++row) {
    WGridPutCellString(kGrid, 1, row, names[row - 1]);
    WGridPutCellInteger(kGrid, 2, row, 4 - row);
    WGridPutCellReal(kGrid, 3, row, 1.5f * static_cast<float>(row));
  }
  WGridPutCellCheckBox(kGrid, 5, 2, 1);
  WGridRows(kGrid, 3);
  WindowOpenChildOptions c;
  c.flags = 39;
  c.width = 700;
  c.height = 400;
  c.title = "Gauges";
  int w = 0;
  WindowOpenChild(w, c);
  ASSERT_GT(w, 0);
  int error = 0, mode = GEM_MODELESS;
  yygridedit(error, kGrid, mode, 0, GEF_VARIABLEROWS, -1, -1, "", "");
  ASSERT_EQ(error, 0);
  GridWindowRecord* r = yygridwindowrecord(winslot(w).wWindow);
  ASSERT_NE(r, nullptr);
  win::SetFocus(r->grid);

  // Find "beck"; Go to Cell column 2, row 1; Sort by that column (Count, ascending); Ctrl+I
  // a row before row 1 and Ctrl+E deletes it again; Print with the dialog's choices.
  const fs::path done = dir / "done";
  const std::string png = std::string(TW_SHOT_DIR) + "/grid_editor_gtk.png";
  fs::remove(png);
  tw::test::runUser(dir / "user.sh",
                    "g=$(wait_new '^Gauges$')\nsleep 0.5\nat $g\n"
                    "xdotool key alt+s\nsleep 0.4\nxdotool key f\n"
                    "d=$(wait_new '^Find in Grid$')\nsleep 0.5\nat $d\nxdotool type --delay 40 beck\nxdotool key Return\n"
                    "sleep 0.5\nat $g\nxdotool key alt+s\nsleep 0.4\nxdotool key g\n"
                    "d=$(wait_new '^Go to Cell$')\nsleep 0.5\nat $d\nxdotool key ctrl+a\nxdotool type 2\n"
                    "xdotool key Tab ctrl+a\nxdotool type 1\nxdotool key Return\n"
                    "sleep 0.5\nat $g\nxdotool key alt+e\nsleep 0.4\nxdotool key s\n"
                    "d=$(wait_new '^Sort Rows$')\nsleep 0.5\nat $d\nxdotool key Return\n"
                    "sleep 0.5\nat $g\nxdotool key ctrl+i\nsleep 0.3\nxdotool key ctrl+e\n"
                    "sleep 0.3\nxdotool key ctrl+p\n"
                    "d=$(wait_new '^Print Grid$')\nsleep 0.5\nat $d\nxdotool key Return\n"
                    "sleep 1\nimport -window root '" + png + "'\ntouch '" + done.string() + "'\n");
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!fs::exists(done) && std::chrono::steady_clock::now() < limit) {
    int type = 0, v1, v2, v3, v4, x, y, window, time;
    do yydispatchpeekmessage(type, v1, v2, v3, v4, x, y, window, time);
    while (type != -1);
    ::usleep(10000);
  }
  ASSERT_TRUE(fs::exists(done)) << tw::test::runCommand("cat '" + (dir / "user.sh.log").string() + "'", error);
  EXPECT_TRUE(fs::exists(png)) << "the screenshot";
  GridInstance& g = *yygridinstance(r->grid);
  EXPECT_EQ(r->searchtext, "beck");
  auto name = [&g](int row) {
    std::string s;
    yyGridGetString(g, 0, row, s, 0);
    return s;
  };
  EXPECT_EQ(name(0) + "|" + name(1) + "|" + name(2), "Beck Foot|Alder Gill|Weir Pool") << "sorted by Count";
  EXPECT_EQ(g.rowsinuse, 3);
  EXPECT_EQ(g.currentcolumn, 1);
  const fs::path pdf = dir / "Untitled Grid.pdf";
  ASSERT_TRUE(fs::exists(pdf));
  const std::string text = tw::test::runCommand("pdftotext -layout '" + pdf.string() + "' -", error);
  EXPECT_NE(text.find("Beck Foot"), std::string::npos) << text;
  EXPECT_NE(text.find("\u2714"), std::string::npos) << "the ticked check box: " << text;

  g.modified = 0;   // closes without the save question
  WindowCloseChild(w);
  win::test::resetPrinters();
  fs::current_path(start);
  fs::remove_all(dir);
  windowclose();
}

}  // namespace
