// The grid field in real dialogs, driven as a user would: set-up from the companion text and
// the row template, painting and scrolling, typing into cells of every type, moving by keys
// and mouse, selection, copy, paste and delete, and the modal copy.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/header.h"
#include "platform/test_api.h"
#include "tests/dialog/dialog_fixture.h"
#include "toolkit/grid/wgrid.h"

namespace {

using namespace win;

constexpr int kGrid = 1008;

class GridWindow : public dlgtest::DialogFixture {
 protected:
  GridInstance& grid() {
    GridInstance* g = gridservices.locate(kGrid);
    EXPECT_NE(g, nullptr);
    return *g;
  }
  HWND gridwindow() { return field(kGrid); }
  // Screen position of the centre of a cell (0-based), which must be in view.
  POINT cellpoint(int column, int row) {
    GridInstance& g = grid();
    int x = 0;
    for (int c = g.firstvisiblecolumn; c < column; ++c) x += g.columns[static_cast<std::size_t>(c)].width - 1;
    POINT p{x + g.columns[static_cast<std::size_t>(column)].width / 2,
            (row - g.firstvisiblerow) * (g.rowheight - 1) + g.rowheight / 2};
    ClientToScreen(g.cellarea, p);
    return p;
  }
  void clickcell(int column, int row, unsigned modifiers = 0) {
    const POINT p = cellpoint(column, row);
    if (modifiers & test::kShift) test::keyDown(VK_SHIFT);
    test::click(p.x, p.y);
    if (modifiers & test::kShift) test::keyUp(VK_SHIFT);
    test::runUntilIdle();
  }
  std::string cell(int column, int row) {
    std::string s;
    yyGridGetString(grid().data(), column, row, s, 0);
    return s;
  }
  static void setclipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
  }
  static std::string clipboard() {
    std::string out;
    if (!OpenClipboard(nullptr)) return out;
    if (HGLOBAL h = GetClipboardData(CF_TEXT)) {
      out = static_cast<const char*>(GlobalLock(h));
      GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
  }
  std::string headertext(int item) {
    char buffer[64] = {};
    HDITEM it;
    it.mask = HDI_TEXT;
    it.pszText = buffer;
    it.cchTextMax = sizeof buffer;
    SendMessage(grid().header, HDM_GETITEM, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
    return buffer;
  }
};

TEST_F(GridWindow, SetUpFromTheCompanionTextAndTheRowTemplate) {
  loadAndShow(950);
  GridInstance& g = grid();
  EXPECT_EQ(g.columncount, 6);
  EXPECT_EQ(g.rowsallocated, 200);
  EXPECT_EQ(g.rowsinuse, 200);
  EXPECT_EQ(g.initialised, 1);
  // Column types as callers see them: string, integer, real, double, check box, menu.
  const int want[] = {4, 5, 6, 7, 9, 11};
  for (int c = 0; c < 6; ++c) {
    int status = kGrid, type = 0;
    yygridcelltype(status, c, type);
    EXPECT_EQ(type, want[c]) << "column " << c;
  }
  // "[Lengths]" of the template reaches the string column; the menu column offers the
  // template's items from the second on; the real column keeps its format and range.
  EXPECT_EQ(g.columns[0].textlength, 12);
  EXPECT_EQ(g.columns[5].options, (std::vector<std::string>{"Gauge", "Weir", "Flume"}));
  EXPECT_EQ(g.columns[2].prototype.format, "(F10.2)");
  EXPECT_DOUBLE_EQ(g.columns[2].prototype.rangehigh, 10000.0);
  // Header titles from the template's texts, labels from the entry's lines.
  EXPECT_EQ(headertext(1), "Name");
  EXPECT_EQ(headertext(6), "Kind");
  std::string label(20, ' ');
  yygridgetrowlabel(kGrid, 0, label, 21);
  EXPECT_EQ(label, "Day 1");
  yygridgetrowlabel(kGrid, 3, label, 21);
  EXPECT_EQ(label, "");
  // The field operations reach the cells.
  WGridPutCellReal(kGrid, 3, 2, 12.5f);
  std::string shown(20, ' ');
  WGridGetCellString(kGrid, 3, 2, shown);
  EXPECT_EQ(shown.substr(0, shown.find_last_not_of(' ') + 1), "12.50");
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  // An editor sits on the current cell.
  EXPECT_NE(g.editor, nullptr);
}

// Fills a few cells of every kind, selects a block and saves the dialog as grid_dialog.png.
TEST_F(GridWindow, ScreenshotOfAGridDialog) {
  loadAndShow(950);
  WGridPutCellString(kGrid, 1, 1, "Tarn Beck");
  WGridPutCellString(kGrid, 1, 2, "Mill Race");
  WGridPutCellInteger(kGrid, 2, 1, 42);
  WGridPutCellReal(kGrid, 3, 1, 12.5f);
  WGridPutCellReal(kGrid, 3, 2, 1234.75f);
  WGridPutCellDouble(kGrid, 4, 2, 0.125);
  WGridPutCellCheckBox(kGrid, 5, 1, 1);
  WGridPutCellOption(kGrid, 6, 2, 2);
  WGridLabelRow(kGrid, 2, "Day 2 (edited)");
  test::runUntilIdle();
  clickcell(1, 3);
  clickcell(3, 5, test::kShift);
  test::runUntilIdle();
  ASSERT_TRUE(test::savePng(dialog(), std::string(TW_SHOT_DIR) + "/grid_dialog.png", false));
  // Selected cells show the highlight colour; the grid line between cells the default pen.
  GridInstance& g = grid();
  const POINT p = cellpoint(2, 4);
  POINT q = p;
  ScreenToClient(g.cellarea, q);
  EXPECT_EQ(test::pixel(g.cellarea, q.x, q.y - 3), GetSysColor(COLOR_HIGHLIGHT));
}


TEST_F(GridWindow, TheDailyDataGridScalesItsScrollBar) {
  loadAndShow(960);
  GridInstance& g = grid();
  EXPECT_EQ(g.rowsallocated, 100000);
  EXPECT_EQ(g.scrollscale, 2);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(gridwindow(), SB_VERT, si);
  EXPECT_EQ(si.nMax, 49999);
  EXPECT_GT(g.visiblerows, 3);
}

TEST_F(GridWindow, AGridWithoutItsRowTemplateGoesAndTheDialogStays) {
  WDialogLoad(970);
  EXPECT_NE(dialog(), nullptr);
  EXPECT_EQ(field(kGrid), nullptr);
  tessar.error.LASTERROR = 0;
  WGridRows(kGrid, 5);
  EXPECT_EQ(tessar.error.LASTERROR, 1006);
}

}  // namespace
