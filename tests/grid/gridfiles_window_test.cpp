// Grid files and tools on a grid field in a real dialog: the cell being typed into is saved as
// the user sees it, a loaded file shows in the grid, find moves the editor, and a sort with an
// open editor shows the row that moved into the current cell. Screenshot: grid_loaded.png.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/test_api.h"
#include "tests/dialog/dialog_fixture.h"
#include "tests/hardcopy/driver_files.h"
#include "toolkit/grid/gridfiles.h"
#include "toolkit/grid/wgrid.h"

namespace {

using namespace win;

constexpr int kGrid = 1008;

class GridFilesWindow : public dlgtest::DialogFixture {
 protected:
  GridInstance& grid() { return *gridservices.locate(kGrid); }
  std::string cell(int column, int row) {
    std::string s;
    yyGridGetString(grid().data(), column, row, s, 0);
    return s;
  }
  void clickcell(int column, int row) {
    GridInstance& g = grid();
    int x = 0;
    for (int c = g.firstvisiblecolumn; c < column; ++c) x += g.data().columns[static_cast<std::size_t>(c)].width - 1;
    POINT p{x + g.data().columns[static_cast<std::size_t>(column)].width / 2,
            (row - g.firstvisiblerow) * (g.rowheight - 1) + g.rowheight / 2};
    ClientToScreen(g.cellarea, p);
    test::click(p.x, p.y);
    test::runUntilIdle();
  }
};

TEST_F(GridFilesWindow, SaveLoadFindAndSortInADialog) {
  loadAndShow(950);
  const std::string file = hc::scratch("dialog.csv").string();
  WGridPutCellString(kGrid, 1, 2, "Mill Race");
  WGridPutCellReal(kGrid, 3, 2, 7.25f);
  clickcell(0, 0);
  type("Tarn, \"Beck\"");  // still in the editor, not stored
  WGridSave(kGrid, file, 1, 3, 1, 2);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(tw::test::slurp(file), "\"Tarn, \"\"Beck\"\"\",,\r\n\"Mill Race\",,7.25\r\n");

  std::ofstream(file, std::ios::binary) << "Weir Pool,3,12.5,0.25,yes,flume\n"
                                           "Alder Gill,1,1234.75,,No,\n"
                                           "Beck Foot,2,3.5,1,No,Gauge";
  WGridLoad(kGrid, file);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  test::runUntilIdle();
  EXPECT_EQ(cell(0, 0), "Weir Pool");
  EXPECT_EQ(cell(2, 1), "1234.75");
  EXPECT_EQ(cell(0, 3), "") << "rows after the file are emptied";
  EXPECT_EQ(yywindowtext(grid().editor).substr(0, 9), "Weir Pool") << "the editor shows the load";
  ASSERT_TRUE(test::savePng(dialog(), std::string(TW_SHOT_DIR) + "/grid_loaded.png", false));

  int found = 0;
  WGridFind(kGrid, "gill", GridFindIgnoreCase, &found);
  EXPECT_EQ(found, 1);
  EXPECT_EQ(grid().currentrow, 1);
  EXPECT_EQ(yywindowtext(grid().editor).substr(0, 10), "Alder Gill");

  // Sort the three rows by the integer column while the editor sits on row 2.
  EXPECT_EQ(WGridSort(kGrid, 2, 0, 1, 3), 1);
  test::runUntilIdle();
  EXPECT_EQ(cell(0, 0) + "|" + cell(0, 1) + "|" + cell(0, 2), "Alder Gill|Beck Foot|Weir Pool");
  EXPECT_EQ(yywindowtext(grid().editor).substr(0, 9), "Beck Foot");
}

}  // namespace
