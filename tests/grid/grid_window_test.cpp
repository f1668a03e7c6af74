// The grid field in real dialogs, driven as a user would: set-up from the companion text and
// the row template, painting and scrolling, typing into cells of every type, moving by keys
// and mouse, selection, copy, paste and delete, and the modal copy.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/header.h"
#include "platform/message_box.h"
#include "platform/test_api.h"
#include "tests/dialog/dialog_fixture.h"
#include "tests/support/menu_driving.h"
#include "tests/support/scripted_user.h"
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
  static void press(int vk, unsigned modifiers = 0) {
    test::pressKey(vk, modifiers);
    test::runUntilIdle();
  }
  // Screen position of the centre of a cell (0-based), which must be in view.
  POINT cellpoint(int column, int row) { return cellpoint(grid(), column, row); }
  static POINT cellpoint(GridInstance& g, int column, int row) {
    int x = 0;
    for (int c = g.firstvisiblecolumn; c < column; ++c) x += g.data().columns[static_cast<std::size_t>(c)].width - 1;
    POINT p{x + g.data().columns[static_cast<std::size_t>(column)].width / 2,
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


// A user types into a cell of every column type, moving on with Tab (the grid has
// GRS_TABMOVES), ticks the check box with the space bar and picks the menu item from the
// dropped list; each cell keeps what was entered.
TEST_F(GridWindow, TypingIntoCellsOfEveryType) {
  loadAndShow(950);
  clickcell(0, 0);
  EXPECT_EQ(GetFocus(), grid().editor);
  type("Tarn Beck");
  press(VK_TAB);
  EXPECT_EQ(grid().currentcolumn, 1);
  type("12");
  press(VK_TAB);
  type("3.257");
  press(VK_TAB);
  type("0.5");
  press(VK_TAB);
  press(VK_SPACE);
  press(VK_TAB);
  EXPECT_EQ(grid().currentcolumn, 5);
  press(VK_F4);
  press(VK_DOWN);
  press(VK_RETURN);
  test::runUntilIdle();
  press(VK_TAB, test::kShift);   // back to the check box: the menu cell is stored on the way
  EXPECT_EQ(cell(0, 0), "Tarn Beck");
  EXPECT_EQ(cell(1, 0), "12");
  EXPECT_EQ(cell(2, 0), "3.26");   // the column's format (F10.2)
  double d = 0.0;
  WGridGetCellDouble(kGrid, 4, 1, d);
  EXPECT_DOUBLE_EQ(d, 0.5);
  int check = 0, option = 0;
  WGridGetCellCheckBox(kGrid, 5, 1, check);
  EXPECT_EQ(check, 1);
  WGridGetCellMenu(kGrid, 6, 1, option);
  EXPECT_EQ(option, 2);   // "Weir"
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  int modified = 1, status = kGrid;
  yygridgetinfo(status, 6, modified);
  EXPECT_EQ(modified, 0);   // item 6 reports 1 - modified
}

// Arrows, Page keys, Ctrl+Home/End and Ctrl+PgUp/PgDn move the current cell and scroll; the
// grid's edges ring the bell; a cell change tells the dialog with the packed cell.
TEST_F(GridWindow, MovingByKeys) {
  loadAndShow(950);
  clickcell(2, 0);
  events();
  GridInstance& g = grid();
  press(VK_DOWN);
  press(VK_DOWN);
  EXPECT_EQ(g.currentrow, 2);
  bool sawcell = false;
  for (const auto& e : events())
    if (e.type == EV_FIELDCHANGED && e.m.value2 == kGrid) sawcell = sawcell || e.m.y == yygridpackcell(2, 2) || e.m.y != 0;
  const int beeps = test::beepCount();
  press(VK_UP);
  press(VK_UP);
  press(VK_UP);   // at row 0: the bell
  EXPECT_EQ(g.currentrow, 0);
  EXPECT_EQ(test::beepCount(), beeps + 1);
  press(VK_NEXT);
  EXPECT_EQ(g.firstvisiblerow, g.visiblerows);
  EXPECT_GE(g.currentrow, g.firstvisiblerow);
  press(VK_NEXT, test::kCtrl);
  EXPECT_EQ(g.currentrow, 199);
  EXPECT_EQ(g.firstvisiblerow, 200 - g.visiblerows);
  press(VK_DOWN);   // the last row in use: the bell
  EXPECT_EQ(g.currentrow, 199);
  press(VK_PRIOR, test::kCtrl);
  EXPECT_EQ(g.currentrow, 0);
  EXPECT_EQ(g.firstvisiblerow, 0);
  press(VK_END, test::kCtrl);
  EXPECT_EQ(g.currentcolumn, 5);
  press(VK_HOME, test::kCtrl);
  EXPECT_EQ(g.currentcolumn, 0);
  // Right in a text cell moves the caret until it reaches the end of the text.
  WGridPutCellString(kGrid, 1, 1, "ab");
  clickcell(0, 0);
  press(VK_HOME);
  press(VK_RIGHT);
  EXPECT_EQ(g.currentcolumn, 0);
  press(VK_RIGHT);
  press(VK_RIGHT);
  EXPECT_EQ(g.currentcolumn, 1);
  // Shift+Down three times selects rows 0-3 of the column; a plain Down clears it.
  press(VK_DOWN, test::kShift);
  press(VK_DOWN, test::kShift);
  press(VK_DOWN, test::kShift);
  EXPECT_EQ(g.selfirstrow, 0);
  EXPECT_EQ(g.sellastrow, 3);
  EXPECT_EQ(g.selfirstcolumn, 1);
  EXPECT_EQ(g.anchorrow, 0);
  press(VK_DOWN);
  EXPECT_EQ(g.selfirstrow, -1);
}

// The mouse: a click moves the current cell, a drag selects, the wheel scrolls.
TEST_F(GridWindow, MouseClicksDragsAndTheWheel) {
  loadAndShow(950);
  GridInstance& g = grid();
  clickcell(1, 2);
  EXPECT_EQ(g.currentcolumn, 1);
  EXPECT_EQ(g.currentrow, 2);
  const POINT a = cellpoint(1, 2), b = cellpoint(3, 4);
  test::mouseDown(test::Button::Left, a.x, a.y);
  test::mouseMove(a.x + 2, a.y + 1);
  test::mouseMove(b.x, b.y);
  test::mouseUp(test::Button::Left, b.x, b.y);
  test::runUntilIdle();
  EXPECT_EQ(g.selfirstcolumn, 1);
  EXPECT_EQ(g.sellastcolumn, 3);
  EXPECT_EQ(g.selfirstrow, 2);
  EXPECT_EQ(g.sellastrow, 4);
  const int first = g.firstvisiblerow;
  test::wheel(b.x, b.y, -120);
  test::runUntilIdle();
  EXPECT_EQ(g.firstvisiblerow, first + 1);
  EXPECT_EQ(g.selfirstrow, -1);   // a scroll clears the selection
  test::wheel(b.x, b.y, 120);
  test::runUntilIdle();
  EXPECT_EQ(g.firstvisiblerow, first);
}

// Copy of a block of a real, a double and a check-box column: the number as the column's
// format writes it, TABs, Yes or No, CR LF; paste of it elsewhere and delete.
TEST_F(GridWindow, CopyPasteAndDeleteByKeys) {
  loadAndShow(950);
  WGridPutCellReal(kGrid, 3, 1, 12.5f);
  WGridPutCellReal(kGrid, 3, 2, 1234.75f);
  WGridPutCellCheckBox(kGrid, 5, 1, 1);
  clickcell(2, 0);
  clickcell(4, 1, test::kShift);
  press('C', test::kCtrl);
  EXPECT_EQ(clipboard(), "12.50\t\tYes\r\n1234.75\t\tNo\r\n");
  events();
  clickcell(2, 5);
  events();
  // The key goes through the program's event pump, which takes the grid's own event.
  test::pressKey('V', test::kCtrl);
  const std::vector<dlgtest::Event> pasted = events();
  EXPECT_EQ(cell(2, 5), "12.50");
  EXPECT_EQ(cell(2, 6), "1234.75");
  int check = 0;
  WGridGetCellCheckBox(kGrid, 5, 6, check);
  EXPECT_EQ(check, 1);
  WGridGetCellCheckBox(kGrid, 5, 7, check);
  EXPECT_EQ(check, 0);
  EXPECT_EQ(cell(3, 5), "");   // nothing right of the pasted block
  // The grid has GRS_CHANGEEVENTS: the paste names the block it wrote.
  bool event = false;
  for (const auto& e : pasted)
    if (e.type == EV_FIELDCHANGED && e.m.value3 == 1) {
      event = true;
      EXPECT_EQ(e.m.x, yygridpackcell(2, 5));
      EXPECT_EQ(e.m.y, yygridpackcell(4, 6));
    }
  EXPECT_TRUE(event);
  // Select the pasted block and delete it: the values go, the cells read as empty.
  clickcell(2, 5);
  clickcell(2, 6, test::kShift);
  press(VK_DELETE);
  EXPECT_EQ(cell(2, 5), "");
  EXPECT_EQ(cell(2, 6), "");
  EXPECT_EQ(grid().selfirstrow, -1);
}

// Paste converts per column: an integer column truncates and refuses exponents, check boxes
// take Yes in any case, menus the first item starting with the field.
TEST_F(GridWindow, PasteConvertsPerColumn) {
  loadAndShow(950);
  test::answerEveryMessageBoxWithKey(VK_RETURN);
  test::clearMessageBoxes();
  clickcell(1, 0);
  setclipboard("12.9\t\t\tyes\tfl\r\n1.5D2\t\t\tY\tw\r\n");
  press('V', test::kCtrl);
  EXPECT_EQ(cell(1, 0), "12");
  EXPECT_EQ(cell(1, 1), "");   // refused: an integer written with an exponent
  int check = 0, option = 0;
  WGridGetCellCheckBox(kGrid, 5, 1, check);
  EXPECT_EQ(check, 1);
  WGridGetCellCheckBox(kGrid, 5, 2, check);
  EXPECT_EQ(check, 0);
  WGridGetCellMenu(kGrid, 6, 1, option);
  EXPECT_EQ(option, 3);   // Flume
  WGridGetCellMenu(kGrid, 6, 2, option);
  EXPECT_EQ(option, 2);   // Weir
  // The refused field is reported once, naming where it is.
  ASSERT_EQ(test::messageBoxes().size(), 1u);
  EXPECT_NE(test::messageBoxes()[0].text.find("column 2, row 2"), std::string::npos);
}

// The daily data entry: 60,000 rows of flow and rain as a spreadsheet puts them on the
// clipboard (CR LF), and as the desktop's programs do (LF only), fill the cells exactly.
TEST_F(GridWindow, PasteOfSixtyThousandRows) {
  loadAndShow(960);
  for (const char* eol : {"\r\n", "\n"}) {
    std::string text;
    text.reserve(60000 * 20);
    for (int k = 0; k < 60000; ++k)
      text += std::to_string(k) + "." + std::to_string(k % 100) + "\t" + std::to_string(k % 5000 / 10) + "." +
              std::to_string(k % 10) + eol;
    setclipboard(text);
    clickcell(0, 0);
    press('V', test::kCtrl);
    GridInstance& g = grid();
    int wrong = 0;
    for (int k = 0; k < 60000; ++k) {
      const std::string flow = std::to_string(k) + "." + std::to_string(k % 100);
      const std::string rain = std::to_string(k % 5000 / 10) + "." + std::to_string(k % 10);
      const auto r = static_cast<std::size_t>(k);
      if (g.columns[0].reals[r] != std::stof(flow) || g.columns[1].reals[r] != std::stof(rain) ||
          !(g.columns[0].states[r] & GridCellDefined))
        ++wrong;
    }
    EXPECT_EQ(wrong, 0) << "line ends " << (eol[0] == '\r' ? "CR LF" : "LF");
    EXPECT_FALSE(g.columns[0].states[60000] & GridCellDefined);
    // Clear for the next round.
    for (auto& c : g.columns) {
      std::fill(c.reals.begin(), c.reals.end(), 0.0f);
      std::fill(c.states.begin(), c.states.end(), 0);
    }
  }
}

// A paste with bad values reports them and changes nothing else: the bad cells keep their
// values, an empty field clears its cell, and nothing is written past the last row in use.
TEST_F(GridWindow, PasteOfBadValuesReportsThemAndKeepsTheCells) {
  loadAndShow(960);
  test::answerEveryMessageBoxWithKey(VK_RETURN);
  test::clearMessageBoxes();
  WGridRows(kGrid, 60000);
  for (int row = 1; row <= 4; ++row) {
    WGridPutCellReal(kGrid, 1, row, 7.0f);
    WGridPutCellReal(kGrid, 2, row, 8.0f);
  }
  clickcell(0, 0);
  setclipboard("1.5\tabc\n\t600\n2.5\t3.5\n");   // rain range 0-500
  press('V', test::kCtrl);
  EXPECT_EQ(cell(0, 0), "1.50");
  EXPECT_EQ(cell(1, 0), "8.0");    // "abc" refused
  EXPECT_EQ(cell(0, 1), "");       // the empty field cleared the cell
  EXPECT_EQ(cell(1, 1), "8.0");    // 600 is out of range
  EXPECT_EQ(cell(0, 2), "2.50");
  EXPECT_EQ(cell(1, 2), "3.5");
  EXPECT_EQ(cell(0, 3), "7.00");   // below the pasted lines: untouched
  ASSERT_EQ(test::messageBoxes().size(), 1u);
  EXPECT_EQ(test::messageBoxes()[0].text.rfind("2 pasted values were", 0), 0u);
  // 100 lines at row 59,950 of 60,000 rows in use fill the last 50 rows and stop there.
  std::string text;
  for (int k = 0; k < 100; ++k) text += "9\t1\r\n";
  setclipboard(text);
  press(VK_NEXT, test::kCtrl);
  for (int k = 0; k < 49; ++k) press(VK_UP);
  ASSERT_EQ(grid().currentrow, 59950);
  press('V', test::kCtrl);
  GridInstance& g = grid();
  EXPECT_FLOAT_EQ(g.columns[0].reals[59950], 9.0f);
  EXPECT_FLOAT_EQ(g.columns[1].reals[59999], 1.0f);
  EXPECT_FALSE(g.columns[0].states[60000] & GridCellDefined);
  EXPECT_FLOAT_EQ(g.columns[0].reals[60000], 0.0f);
}

// A dialog shown modally shows the loaded grid: what the user types there is in the loaded
// grid afterwards, with its current cell; the modal copy's windows and record are gone and
// the loaded grid holds nothing of them.
TEST_F(GridWindow, TheModalCopyEditsTheLoadedGrid) {
  WDialogLoad(950);
  WGridPutCellString(kGrid, 1, 1, "Tarn Beck");
  WGridPutCellInteger(kGrid, 2, 1, 7);
  GridInstance* loaded = &grid();
  GridInstance* modal = nullptr;
  auto modalgrid = [&modal]() -> GridInstance& {
    modal = yygridinstance(GetDlgItem(dialogtable.hDialogList[0], kGrid));
    return *modal;
  };
  tw::test::scriptuser({
      [&] {
        GridInstance& m = modalgrid();
        EXPECT_EQ(m.owner, loaded);
        const POINT p = cellpoint(m, 0, 3);
        test::click(p.x, p.y);
      },
      tw::test::typed("Kelda"),
      [] { test::pressKey(VK_DOWN); },
      [&] {
        // The modal grid shows the loaded grid's cells.
        std::string s;
        yyGridGetString(modalgrid().data(), 0, 0, s, 0);
        EXPECT_EQ(s, "Tarn Beck");
        const POINT p = centre(GetDlgItem(dialogtable.hDialogList[0], IDOK));
        test::click(p.x, p.y);
      },
  });
  WDialogShow(std::nullopt, std::nullopt, std::nullopt, 1);
  test::setIdleHook({});
  EXPECT_EQ(tessar.dialog.EXITBUTTON, IDOK);
  EXPECT_EQ(&grid(), loaded);
  EXPECT_EQ(cell(0, 3), "Kelda");
  EXPECT_EQ(cell(1, 0), "7");
  EXPECT_EQ(grid().currentrow, 4);
  EXPECT_EQ(grid().owner, nullptr);
  EXPECT_EQ(dialogtable.hDialogList[0], nullptr);
  // The loaded grid goes on working after the copy has gone.
  WGridPutCellString(kGrid, 1, 6, "after");
  EXPECT_EQ(cell(0, 5), "after");
  WDialogUnload();
}

// Rows inserted and deleted through the field operations move the cells and repaint; a full
// grid refuses an insertion and loses nothing.
TEST_F(GridWindow, RowInsertionAndDeletionInADialog) {
  loadAndShow(950);
  for (int row = 1; row <= 4; ++row) WGridPutCellString(kGrid, 1, row, "r" + std::to_string(row));
  tessar.error.LASTERROR = 0;
  WGridInsertRows(kGrid, 2, 1, 1);
  EXPECT_EQ(tessar.error.LASTERROR, 1018);   // 200 rows in use of 200: full
  EXPECT_EQ(cell(0, 1), "r2");
  tessar.error.LASTERROR = 0;
  WGridRows(kGrid, 5);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(gridwindow(), SB_VERT, si);
  EXPECT_EQ(si.nMax, 4);
  WGridInsertRows(kGrid, 2, 1, 1);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(grid().rowsinuse, 6);
  EXPECT_EQ(cell(0, 1), "");
  EXPECT_EQ(cell(0, 2), "r2");
  EXPECT_EQ(cell(0, 4), "r4");
  EXPECT_EQ(bCellUpdate, 1);
  WGridDeleteRows(kGrid, 1, 2, 1);
  EXPECT_EQ(grid().rowsinuse, 4);
  EXPECT_EQ(cell(0, 0), "r2");
  EXPECT_EQ(cell(0, 2), "r4");
  // Only the rows in use are painted: the cell area is empty face colour below them.
  test::runUntilIdle();
  GridInstance& g = grid();
  EXPECT_EQ(test::pixel(g.cellarea, 30, 6 * (g.rowheight - 1)), GetSysColor(COLOR_BTNFACE));
}

// The header's corner selects the whole grid, a column title the column, a row label the
// row; the context menu's Copy copies the selection.
TEST_F(GridWindow, HeaderClicksAndTheContextMenu) {
  loadAndShow(950);
  GridInstance& g = grid();
  WGridRows(kGrid, 3);
  RECT r;
  SendMessage(g.header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(g.header, p);
  test::click(p.x, p.y);
  test::runUntilIdle();
  EXPECT_EQ(g.selfirstrow, 0);
  EXPECT_EQ(g.sellastrow, 2);
  EXPECT_EQ(g.sellastcolumn, 5);
  SendMessage(g.header, HDM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
  p = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClientToScreen(g.header, p);
  test::click(p.x, p.y);
  test::runUntilIdle();
  EXPECT_EQ(g.currentcolumn, 2);
  EXPECT_EQ(g.selfirstcolumn, 2);
  EXPECT_EQ(g.sellastcolumn, 2);
  EXPECT_EQ(g.sellastrow, 2);
  const POINT label = centre(g.rowlabelcontrols[1]);
  test::click(label.x, label.y);
  test::runUntilIdle();
  EXPECT_EQ(g.currentrow, 1);
  EXPECT_EQ(g.selfirstrow, 1);
  EXPECT_EQ(g.sellastrow, 1);
  EXPECT_EQ(g.selfirstcolumn, 0);
  EXPECT_EQ(g.sellastcolumn, 5);
  WGridPutCellString(kGrid, 1, 1, "a");
  WGridPutCellString(kGrid, 1, 2, "b");
  clickcell(0, 0);
  clickcell(0, 1, test::kShift);
  setclipboard("");
  tw::test::script({[] { test::pressKey('C'); }});
  const POINT q = cellpoint(3, 2);
  test::click(q.x, q.y, test::Button::Right);
  test::runUntilIdle();
  test::setIdleHook({});
  EXPECT_EQ(clipboard(), "a\r\nb\r\n");
}

// A click on the cell in the third column and the tenth row tells the program: a field change
// of the grid with the packed cell 3 x 262144 + 10.
TEST_F(GridWindow, ACellChangeIsAFieldChangedEventWithThePackedCell) {
  loadAndShow(950);
  events();
  const POINT p = cellpoint(2, 9);
  test::click(p.x, p.y);
  bool seen = false;
  for (const auto& e : events())
    if (e.type == EV_FIELDCHANGED && e.m.value2 == kGrid && e.m.y == 786442) seen = true;
  EXPECT_TRUE(seen);
  EXPECT_EQ(grid().currentcolumn, 2);
  EXPECT_EQ(grid().currentrow, 9);
}

// Paste is refused when a cell it would write is locked, and in a read-only grid; Delete is
// refused over a locked cell.
TEST_F(GridWindow, LockedCellsAndReadOnlyGridsRefusePasteAndDelete) {
  loadAndShow(950);
  WGridPutCellInteger(kGrid, 2, 1, 5);
  WGridStateCell(kGrid, 2, 1, 0);   // lock the cell right of (0, 0)
  clickcell(0, 0);
  setclipboard("a\t9\r\n");
  press('V', test::kCtrl);
  EXPECT_EQ(cell(0, 0), "");
  EXPECT_EQ(cell(1, 0), "5");
  clickcell(1, 0);
  clickcell(1, 1, test::kShift);
  press(VK_DELETE);
  EXPECT_EQ(cell(1, 0), "5");
  WGridStateCell(kGrid, 2, 1, 1);
  WDialogFieldState(kGrid, 2);   // read-only grid
  clickcell(0, 0);
  press('V', test::kCtrl);
  EXPECT_EQ(cell(0, 0), "");
  EXPECT_EQ(yygridcanpaste(gridwindow()), 0);
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

// A check-box cell ticked by the mouse and with Space: each tick is a field-changed event for
// that cell, and when the program reads it the cell already holds the new state. Coming from
// outside the grid, the editor first announces the cell it takes the focus on (old state).
TEST_F(GridWindow, TickingACheckBoxCellReportsTheNewState) {
  loadAndShow(950);
  auto ticks = [] {
    std::vector<std::pair<int, int>> out;   // (cell code, state read at once)
    for (const Change& c : fieldChanges([] {
           int state = -1;
           WGridGetCellCheckBox(kGrid, 5, 3, state);
           return state;
         }))
      if (c.event.m.value2 == kGrid) out.emplace_back(c.event.m.y, c.seen);
    return out;
  };
  const int code = yygridpackcell(4, 2);
  SetFocus(field(2001));
  events();
  int before = -1;
  WGridGetCellCheckBox(kGrid, 5, 3, before);
  const POINT p = cellpoint(4, 2);
  test::click(p.x, p.y);
  auto got = ticks();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], std::make_pair(code, before)) << "the focus arriving on the cell";
  EXPECT_EQ(got[1], std::make_pair(code, 1 - before)) << "the tick";
  // The current cell clicked again, then Space.
  test::click(p.x, p.y);
  got = ticks();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], std::make_pair(code, before));
  test::pressKey(VK_SPACE);   // read by the program's loop, not run to idle first
  got = ticks();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], std::make_pair(code, 1 - before));
}

// Emptying a cell of a ranged numeric column and leaving it: the cell is stored empty. The
// editor's has-value flag used to stay set, so the range check refused the blank and every
// move (a key or the program's) only beeped with the old value kept.
TEST_F(GridWindow, AnEmptiedRangedCellCanBeLeft) {
  loadAndShow(950);
  GridInstance& g = grid();
  for (int row = 1; row <= 3; ++row) {
    WGridPutCellInteger(kGrid, 2, row, 7);
    WGridPutCellReal(kGrid, 3, row, 12.5f);
  }
  struct Case { int column; bool bykey; const char* why; };
  const Case cases[] = {
      {1, true, "integer column 0..1000, Down"},
      {2, true, "real column 0..10000, Down"},
      {2, false, "real column, a move by the program"},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    clickcell(c.column, row);
    ASSERT_EQ(GetFocus(), g.editor);
    const int beeps = test::beepCount();
    press('A', test::kCtrl);
    press(VK_DELETE);
    if (c.bykey) press(VK_DOWN);
    else yygridupdatecell(gridwindow(), c.column, row + 1, 1, 0);
    test::runUntilIdle();
    EXPECT_EQ(g.currentrow, row + 1);
    EXPECT_EQ(test::beepCount(), beeps);
    EXPECT_EQ(cell(c.column, row), "");
    EXPECT_EQ(g.columns[static_cast<std::size_t>(c.column)].states[static_cast<std::size_t>(row)] & GridCellDefined, 0);
    double v = 0.0;
    WGridGetCellDouble(kGrid, c.column + 1, row + 1, v);
    EXPECT_EQ(tessar.error.LASTERROR, 1010) << "an empty cell has no value";
    tessar.error.LASTERROR = 0;
    // A value out of the range still holds the user in the cell.
    clickcell(c.column, row + 1);
    press('A', test::kCtrl);
    type("99999");
    press(VK_DOWN);
    EXPECT_EQ(g.currentrow, row + 1) << "out of range: refused";
    press('A', test::kCtrl);
    type("5");
    press(VK_DOWN);
    EXPECT_EQ(g.currentrow, row + 2);
    ++row;
  }
}

// Emptied, left, come back to and left again, as often as the user likes, in every plain
// numeric class with a range, by keys and by the program's moves. Coming back used to tell the
// editor that the emptied cell held a value, so the second leave was refused.
TEST_F(GridWindow, AnEmptiedRangedCellCanBeLeftAgainAndAgain) {
  loadAndShow(950);
  GridInstance& g = grid();
  int status = kGrid;
  yygridrange(status, 3, 0.0, 500.0);   // the double column gets a range as well
  for (int row = 1; row <= 2; ++row) {
    WGridPutCellInteger(kGrid, 2, row, 7);
    WGridPutCellReal(kGrid, 3, row, 12.5f);
    WGridPutCellDouble(kGrid, 4, row, 2.5);
  }
  struct Case { int column; bool bykey; const char* why; };
  const Case cases[] = {
      {1, true, "integer 0..1000, keys"}, {1, false, "integer, the program's moves"},
      {2, true, "real 0..10000, keys"},   {2, false, "real, the program's moves"},
      {3, true, "double 0..500, keys"},   {3, false, "double, the program's moves"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    clickcell(c.column, 0);
    ASSERT_EQ(GetFocus(), g.editor);
    press('A', test::kCtrl);
    press(VK_DELETE);
    const int beeps = test::beepCount();
    for (int round = 0; round < 3; ++round) {
      SCOPED_TRACE(round);
      if (c.bykey) press(VK_DOWN);
      else yygridupdatecell(gridwindow(), c.column, 1, 1, 0);
      test::runUntilIdle();
      ASSERT_EQ(g.currentrow, 1) << "the emptied cell could not be left";
      EXPECT_EQ(cell(c.column, 0), "");
      if (c.bykey) press(VK_UP);
      else yygridupdatecell(gridwindow(), c.column, 0, 1, 0);
      test::runUntilIdle();
      ASSERT_EQ(g.currentrow, 0);
      EXPECT_EQ(yywindowtext(g.editor), "");
    }
    EXPECT_EQ(test::beepCount(), beeps);
    type("9");
    press(VK_DOWN);
    ASSERT_EQ(g.currentrow, 1);
    double v = 0.0;
    WGridGetCellDouble(kGrid, c.column + 1, 1, v);
    EXPECT_EQ(v, 9.0);
  }
}

}  // namespace
