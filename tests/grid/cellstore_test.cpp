// Grid cell store, field operations, rows in use, labels, selection and row insertion/deletion.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/grid/grid.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"

namespace {

constexpr int kId = 7;
GridInstance grid;

GridInstance* find(int ident) { return ident == kId ? &grid : nullptr; }

// Columns: 1 string(8), 2 integer, 3 real, 4 double, 5 check box, 6 menu.
class GridStore : public ::testing::Test {
 protected:
  void SetUp() override {
    tessar = Tessar{};
    tessar.dialog.CURDIALOG = 1;
    gridservices.locate = find;
    yygridbuild(grid, {{GridString, 8}, {GridInteger}, {GridReal}, {GridDouble}, {GridCheckBox},
                       {GridMenu}},
                12, 10);
    grid.columns[5].options = {"one", "two", "three"};
    grid.rowlabelcount = 20;  // every row counts as shown
  }
  static int lastError() { return tessar.error.LASTERROR; }
  static std::string text(int col, int row, int length = 20) {
    std::string t(static_cast<std::size_t>(length), ' ');
    WGridGetCellString(kId, col, row, t);
    return t.substr(0, t.find_last_not_of(' ') + 1);
  }
};

TEST_F(GridStore, TextPutsStoreByColumnType) {
  struct Case { int col; const char* in; const char* out; const char* why; };
  const Case cases[] = {
      {1, "abcdefghij", "abcdefgh", "a string longer than the column is cut"},
      {2, "3.7", "3", "integer truncates toward zero"},
      {2, "-3.7", "-3", "negative truncates toward zero"},
      {3, "12.5", "12.5", "real from its text"},
      {3, "abc", "0.0", "a text that is not a number stores 0 as defined"},
      {4, "-0.25", "-0.25", "double from its text"},
  };
  for (const Case& c : cases) {
    tessar.error.LASTERROR = 0;
    WGridPutCellString(kId, c.col, 2, c.in);
    EXPECT_EQ(lastError(), 0) << c.why;
    std::string out = text(c.col, 2);
    double v = 0;
    if (c.col > 1) {
      WGridGetCellDouble(kId, c.col, 2, v);
      EXPECT_DOUBLE_EQ(v, std::stod(c.out)) << c.why;
    } else {
      EXPECT_EQ(out, c.out) << c.why;
    }
  }
}

TEST_F(GridStore, BlankAndEmptyTextsInNumericCells) {
  int status = kId;
  yygridputcellstring(status, 1, 0, 0.0, "   ", {});
  EXPECT_EQ(grid.columns[1].states[0], GridCellDefined) << "blanks: defined, not entered";
  yygridputcellstring(status, 1, 0, 0.0, "", {});
  EXPECT_EQ(grid.columns[1].states[0], 0);
  float r = 1.0f;
  WGridGetCellReal(kId, 2, 1, r);
  EXPECT_EQ(lastError(), 1010);
  EXPECT_EQ(r, -999.0f);
  tessar.error.LASTERROR = 0;
  EXPECT_EQ(text(2, 1), "");
  EXPECT_EQ(lastError(), 0) << "an empty numeric cell reads as a blank text without error";
}

TEST_F(GridStore, ErrorsLeaveCellsAndOutputs) {
  struct Case { int ident, col, row; int error; const char* why; };
  const Case cases[] = {
      {8, 1, 1, 1006, "no grid with that identifier"},
      {0, 1, 1, 1006, "identifier 0 without a grid-editor window"},
      {kId, 7, 1, 1017, "column past the last"},
      {kId, 1, 11, 1017, "row past the rows in use"},
      {kId, 5, 1, 1017, "string put into a check-box column"},
      {kId, 6, 1, 1017, "string put into a menu column"},
  };
  for (const Case& c : cases) {
    tessar.error.LASTERROR = 0;
    WGridPutCellString(c.ident, c.col, c.row, "x");
    EXPECT_EQ(lastError(), c.error) << c.why;
  }
  tessar.dialog.CURDIALOG = 0;
  tessar.error.LASTERROR = 0;
  WGridPutCellString(kId, 1, 1, "x");
  EXPECT_EQ(lastError(), 1005);
  tessar.error.LASTERROR = 0;
  WGridPutCellString(0, 1, 1, "x");
  EXPECT_EQ(lastError(), 1006) << "identifier 0 is looked up even without a dialog";
  tessar.dialog.CURDIALOG = 1;
  std::string keep(5, 'k');
  WGridGetCellString(kId, 5, 1, keep);
  EXPECT_EQ(keep, "kkkkk");
  EXPECT_EQ(text(1, 1), "") << "no failed put changed a cell";
}

TEST_F(GridStore, NumericPutsRangeAndFormat) {
  int status = kId;
  yygridrange(status, 2, 0.0, 1000.0);
  tessar.error.LASTERROR = 0;
  WGridPutCellReal(kId, 3, 1, 1500.0f);
  EXPECT_EQ(lastError(), 1009);
  EXPECT_EQ(text(3, 1), "");
  WGridPutCellReal(kId, 4, 1, 1500.0f);
  EXPECT_EQ(text(4, 1, 40).empty(), false) << "a column without a range takes it";
  WGridPutCellReal(kId, 3, 1, 12.25f, "(F8.1)");
  WGridPutCellReal(kId, 3, 2, 3.0f);
  EXPECT_EQ(text(3, 2), "3.0") << "the last given format shows the whole column";
  std::string fmt;
  yygridgetformat(kId, 2, fmt, 50);
  EXPECT_EQ(fmt, "(F8.1)");
  yygridgetformat(kId, 1, fmt, 50);
  EXPECT_EQ(fmt, "(G15.5E2)") << "integer columns report the default format";
  WGridPutCellString(kId, 3, 3, "7");
  yygridgetformat(kId, 2, fmt, 50);
  EXPECT_EQ(fmt, "(F8.1)") << "a string put keeps the column's format";
  WGridPutCellInteger(kId, 3, 4, 42);
  float r = 0;
  WGridGetCellReal(kId, 3, 4, r);
  EXPECT_EQ(r, 42.0f);
  grid.rowlabelcount = 0;  // rows off screen get a placeholder text, the exact value
  WGridPutCellDouble(kId, 4, 5, 0.123456789);
  double d = 0;
  WGridGetCellDouble(kId, 4, 5, d);
  EXPECT_EQ(d, 0.123456789);
}

TEST_F(GridStore, CheckBoxesAndMenus) {
  WGridPutCellCheckBox(kId, 5, 1, 5);
  int s = 0;
  WGridGetCellCheckBox(kId, 5, 1, s);
  EXPECT_EQ(s, 5);
  std::string shown;
  yyGridGetString(grid, 4, 0, shown, 0);
  EXPECT_EQ(shown, "Yes");
  WGridPutCellOption(kId, 6, 1, 0);
  int o = 9;
  WGridGetCellMenu(kId, 6, 1, o);
  EXPECT_EQ(o, 0) << "option 0 stores none";
  WGridPutCellOption(kId, 6, 1, 2);
  yyGridGetString(grid, 5, 0, shown, 0);
  EXPECT_EQ(shown, "two");
  tessar.error.LASTERROR = 0;
  WGridClearCell(kId, 6, 1);
  EXPECT_EQ(lastError(), 1017) << "a menu cell is not cleared by the field operation";
  int status = kId;
  yygridclearcell(status, 5, 0, 2);
  WGridGetCellMenu(kId, 6, 1, o);
  EXPECT_EQ(o, 1) << "mode 2 selects the first option";
}

TEST_F(GridStore, ColoursAndLocks) {
  grid.columns[0].prototype.textcolour = 0x0000FF;
  int status = kId;
  yygridcolourcell(status, 0, 3, 256, 0, 0, -1, 0, 0);
  ASSERT_EQ(grid.columns[0].colours.size(), 12u) << "the store is created for every row";
  EXPECT_EQ(grid.columns[0].colours[3].flags, 0) << "red 256 clears the text colour";
  EXPECT_EQ(grid.columns[0].colours[4].flags, 1) << "others start from the column colour";
  EXPECT_EQ(grid.columns[0].colours[4].textred, 255);
  const int back = 0x102030;
  WGridColourCell(kId, 1, 5, nullptr, &back);
  EXPECT_EQ(grid.columns[0].colours[4].flags, 3) << "text colour left, background set";
  EXPECT_EQ(grid.columns[0].colours[4].backblue, 0x10);
  WGridStateCell(kId, 1, 1, 0);
  WGridPutCellString(kId, 1, 1, "abc");
  WGridClearCell(kId, 1, 1);
  EXPECT_EQ(grid.columns[0].states[0], GridCellLocked) << "puts and clears keep the lock";
}

TEST_F(GridStore, RowsInUseAndInfo) {
  grid.visiblerows = 5;
  grid.currentrow = 8;
  grid.firstvisiblerow = 5;
  tessar.error.LASTERROR = 0;
  WGridRows(kId, 0);
  EXPECT_EQ(lastError(), 1018);
  EXPECT_EQ(grid.rowsinuse, 10);
  WGridRows(kId, 4);
  EXPECT_EQ(grid.currentrow, 3) << "the current cell follows to the new last row";
  EXPECT_EQ(grid.firstvisiblerow, 0);
  tessar.error.LASTERROR = 0;
  WGridRows(kId, 50);
  EXPECT_EQ(lastError(), 1018);
  EXPECT_EQ(grid.rowsinuse, 12) << "too many: the rows allocated";
  GridInstance big;
  yygridbuild(big, {{GridReal}}, 100000, 1);
  yygridsetrows2(big, kId, 100000);
  EXPECT_EQ(big.scrollscale, 2);
  EXPECT_EQ(big.scrollrange, 49999);
  int status = kId, v = -5;
  for (int item : {10, 11, 12, 13}) {
    yygridgetinfo(status, item, v);
    EXPECT_EQ(v, 0) << "nothing selected, item " << item;
  }
  yygridsetselection(status, 0, 1, 2, 3);
  yygridsetselection(status, 0, 0, 1, 12);
  EXPECT_EQ(status, GridOutOfRange);
  status = kId;
  yygridgetinfo(status, 13, v);
  EXPECT_EQ(v, 4) << "a refused selection leaves the old one";
}

TEST_F(GridStore, RowLabels) {
  WGridLabelRow(kId, 12, std::string(60, 'L'));
  std::string t;
  yygridgetrowlabel(kId, 11, t, 100);
  EXPECT_EQ(t, std::string(50, 'L')) << "cut to 50, accepted beyond the rows in use";
  tessar.error.LASTERROR = 0;
  WGridLabelRow(kId, 13, "x");
  EXPECT_EQ(lastError(), 1017);
}

// Fills rows 1..10: string "r<n>", integer n, check box n % 2, menu option 2; labels "L<n>".
class GridRowsMove : public GridStore {
 protected:
  void SetUp() override {
    GridStore::SetUp();
    for (int r = 1; r <= 10; ++r) {
      WGridPutCellString(kId, 1, r, "r" + std::to_string(r));
      WGridPutCellInteger(kId, 2, r, r);
      WGridPutCellCheckBox(kId, 5, r, r % 2);
      WGridPutCellOption(kId, 6, r, 2);
      WGridLabelRow(kId, r, "L" + std::to_string(r));
    }
    tessar.error.LASTERROR = 0;
  }
  static std::string label(int row) {
    std::string t;
    yygridgetrowlabel(kId, row - 1, t, 60);
    return t;
  }
};

TEST_F(GridRowsMove, InsertMovesCellsDown) {
  WGridInsertRows(kId, 3, 1, 1, 1);
  EXPECT_EQ(lastError(), 0);
  EXPECT_EQ(grid.rowsinuse, 11);
  EXPECT_EQ(text(1, 3), "");
  EXPECT_EQ(text(2, 3), "") << "inserted numeric cells are empty";
  int o = 0;
  WGridGetCellMenu(kId, 6, 3, o);
  EXPECT_EQ(o, 1) << "an inserted menu cell shows the first option";
  EXPECT_EQ(label(3), "");
  for (int r = 4; r <= 11; ++r) {
    EXPECT_EQ(text(1, r), "r" + std::to_string(r - 1));
    EXPECT_EQ(text(2, r), std::to_string(r - 1));
    EXPECT_EQ(label(r), "L" + std::to_string(r - 1));
  }
  WGridInsertRows(kId, 1, 1);
  EXPECT_EQ(text(1, 2), "r1") << "without IADJUST the rows in use stay";
  EXPECT_EQ(text(1, 11), "r9") << "the last row in use is pushed out";
  EXPECT_EQ(label(2), "L2") << "labels stay without ILABELS";
}

TEST_F(GridRowsMove, InsertIntoFullGridIsRefused) {
  WGridRows(kId, 12);
  WGridPutCellString(kId, 1, 12, "last");
  tessar.error.LASTERROR = 0;
  WGridInsertRows(kId, 3, 1, 1);
  EXPECT_EQ(lastError(), 1018);
  EXPECT_EQ(text(1, 12), "last");
  EXPECT_EQ(text(1, 3), "r3");
  WGridRows(kId, 11);
  tessar.error.LASTERROR = 0;
  WGridInsertRows(kId, 3, 2, 1);
  EXPECT_EQ(lastError(), 1018) << "two rows do not fit into one free row";
  EXPECT_EQ(text(1, 10), "r10");
}

TEST_F(GridRowsMove, DeleteMovesCellsUp) {
  WGridStateCell(kId, 1, 8, 0);
  WGridDeleteRows(kId, 8, 5);
  EXPECT_EQ(lastError(), 0);
  EXPECT_EQ(grid.rowsinuse, 10);
  for (int r = 8; r <= 10; ++r) EXPECT_EQ(text(1, r), "") << "D is cut to 3 rows";
  EXPECT_EQ(grid.columns[0].states[7] & GridCellLocked, GridCellLocked) << "lock stays";
  int o = 0;
  WGridGetCellMenu(kId, 6, 9, o);
  EXPECT_EQ(o, 1);
  WGridDeleteRows(kId, 2, 1, 1, 1);
  EXPECT_EQ(grid.rowsinuse, 9);
  EXPECT_EQ(text(1, 2), "r3");
  EXPECT_EQ(label(2), "L3");
  int c = -1;
  WGridGetCellCheckBox(kId, 5, 2, c);
  EXPECT_EQ(c, 1);
  WGridRows(kId, 10);
  EXPECT_EQ(text(2, 10), "") << "the vacated row keeps its (emptied) old contents";
  tessar.error.LASTERROR = 0;
  WGridDeleteRows(kId, 11, 1);
  EXPECT_EQ(lastError(), 1017);
}

TEST_F(GridRowsMove, DeletingTheOnlyRowKeepsIt) {
  WGridRows(kId, 1);
  WGridDeleteRows(kId, 1, 1, 1);
  EXPECT_EQ(lastError(), 1018);
  EXPECT_EQ(grid.rowsinuse, 1);
}

}  // namespace
