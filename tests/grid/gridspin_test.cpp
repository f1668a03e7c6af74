// Spinner columns of the grid, driven as a user would (the arrows clicked, Shift+click, keys,
// scrolls, a column dragged narrower), and the whole-grid settings: ranges and spin steps,
// the current cell with the caret, clearing, column colours, option lists, the length query,
// redefinition and the texts of grid-editor windows. Screenshot: grid_spin.png.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/combobox.h"
#include "platform/edit.h"
#include "platform/header.h"
#include "platform/test_api.h"
#include "platform/updown.h"
#include "tests/dialog/dialog_fixture.h"
#include "tests/support/scripted_user.h"
#include "toolkit/grid/gridedit.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/window/childwin.h"

namespace {

using namespace win;

constexpr int kGrid = 1008;
// Columns of dialog 980 (0-based): integer, real and double spinners, text, menu.
constexpr int kCount = 0, kFactor = 1, kLevel = 2, kSite = 3, kKind = 4;

class GridSpin : public dlgtest::DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    loadAndShow(980);
  }
  void TearDown() override {
    for (int w = 1; w < MAXWINDOWS; ++w)
      if (winslot(w).wWindow != nullptr) WindowCloseChild(w);
    DialogFixture::TearDown();
  }
  static GridInstance& grid() { return *gridservices.locate(kGrid); }
  static void key(int vk, unsigned modifiers = 0) {
    test::pressKey(vk, modifiers);
    test::runUntilIdle();
  }
  static POINT cellpoint(GridInstance& g, int column, int row) {
    int x = 0;
    for (int c = g.firstvisiblecolumn; c < column; ++c) x += g.data().columns[static_cast<std::size_t>(c)].width - 1;
    POINT p{x + 8, (row - g.firstvisiblerow) * (g.rowheight - 1) + g.rowheight / 2};
    ClientToScreen(g.cellarea, p);
    return p;
  }
  static void clickcell(int column, int row) {
    const POINT p = cellpoint(grid(), column, row);
    test::click(p.x, p.y);
    test::runUntilIdle();
  }
  // The up-down control of the current cell's editor.
  static HWND arrows(GridInstance& g) { return yygridupdown(g.editor); }
  // Without idle the click waits for the program's own event loop (events()).
  static void clickarrow(GridInstance& g, bool up, unsigned modifiers = 0, bool idle = true) {
    HWND a = arrows(g);
    ASSERT_NE(a, nullptr) << "the editor has no up-down control";
    RECT r;
    GetWindowRect(a, r);
    const int y = up ? r.top + (r.bottom - r.top) / 4 : r.bottom - (r.bottom - r.top) / 4 - 1;
    if (modifiers & test::kShift) test::keyDown(VK_SHIFT);
    test::click((r.left + r.right) / 2, y);
    if (modifiers & test::kShift) test::keyUp(VK_SHIFT);
    if (idle) test::runUntilIdle();
  }
  static std::string editortext(GridInstance& g) { return yywindowtext(g.editor); }
  static std::string shown(int column, int row) {
    std::string s;
    yyGridGetString(grid().data(), column, row, s, 0);
    return s;
  }
  // Up-down controls in the cell area that the user can see.
  static int visiblearrows(GridInstance& g) {
    int n = 0;
    for (HWND c = GetWindow(g.cellarea, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      char name[32] = {};
      GetClassName(c, name, sizeof name);
      if (std::string(name) == UPDOWN_CLASS && IsWindowVisible(c)) ++n;
    }
    return n;
  }
  static std::pair<int, int> range(HWND updown) {
    const LRESULT r = SendMessage(updown, UDM_GETRANGE, 0, 0);
    return {static_cast<short>(HIWORD(static_cast<DWORD>(r))), static_cast<short>(LOWORD(static_cast<DWORD>(r)))};
  }
  static WindowOpenChildOptions editorwindow() {
    WindowOpenChildOptions o;
    o.flags = 39;
    o.width = 600;
    o.height = 300;
    o.title = "Spinners";
    return o;
  }
  // A modeless grid-editor window over the spinner grid, in child window w.
  static GridWindowRecord* openeditorwindow(int& w) {
    w = 0;
    WindowOpenChild(w, editorwindow());
    if (w <= 0) return nullptr;
    int error = 0, mode = GEM_MODELESS;
    yygridedit(error, kGrid, mode, 0, GEF_VARIABLEROWS, -1, -1, "", "");
    if (error != 0) return nullptr;
    test::runUntilIdle();
    return yygridwindowrecord(winslot(w).wWindow);
  }
};

TEST_F(GridSpin, SpinnerClassesGiveColumnsWithAnUpDownEditor) {
  GridInstance& g = grid();
  ASSERT_EQ(g.columncount, 5);
  struct Case { int column; int fieldtype; int spinner; };
  const Case cases[] = {{kCount, 5, GridInteger}, {kFactor, 6, GridReal}, {kLevel, 7, GridDouble}, {kSite, 4, 0}, {kKind, 11, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    int status = kGrid, type = 0;
    yygridcelltype(status, c.column, type);
    EXPECT_EQ(type, c.fieldtype);
    EXPECT_EQ(g.columns[static_cast<std::size_t>(c.column)].prototype.spinnerclass, c.spinner);
    EXPECT_EQ(yygridupdown(g.columns[static_cast<std::size_t>(c.column)].prototypeeditor) != nullptr, c.spinner != 0);
  }
  // The editor of the current (integer) cell carries its arrows at its right, inside the cell;
  // the prototypes' arrows stay hidden.
  clickcell(kCount, 2);
  HWND a = arrows(g);
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(IsWindowVisible(a));
  EXPECT_EQ(visiblearrows(g), 1);
  RECT er, ar;
  GetWindowRect(g.editor, er);
  GetWindowRect(a, ar);
  EXPECT_EQ(ar.left, er.right);
  EXPECT_EQ(ar.top, er.top);
  const POINT cell = cellpoint(g, kCount, 2);
  EXPECT_LE(ar.right - (cell.x - 8), g.columns[kCount].width);
  // A text cell has none: the arrows went with the old editor.
  clickcell(kSite, 2);
  EXPECT_EQ(arrows(g), nullptr);
  EXPECT_EQ(visiblearrows(g), 0);
  clickcell(kLevel, 4);
  EXPECT_EQ(visiblearrows(g), 1);
}

// Each arrow click steps the cell's value as its dialog field would, tells the dialog with the
// packed cell and marks the grid modified; the value is stored when the user moves on.
TEST_F(GridSpin, ClickingTheArrowsStepsTheCell) {
  GridInstance& g = grid();
  int status = kGrid;
  yygridspinstepi(status, kCount, 5, 0, 0);
  yygridspinstepr(status, kFactor, 0.01f, 0.01f);
  yygridspinstepd(status, kLevel, 2.5, 10.0);
  ASSERT_EQ(status, kGrid);
  WGridPutCellInteger(kGrid, kCount + 1, 1, 3);
  WGridPutCellReal(kGrid, kFactor + 1, 1, 0.985f);
  WGridPutCellDouble(kGrid, kLevel + 1, 1, -1.0);
  g.modified = g.changed = 0;
  events();

  struct Case { const char* why; int column; bool up; const char* want; };
  const Case cases[] = {
      {"3 up by 5 snaps to the step grid", kCount, true, "5"},
      {"5 down by 5", kCount, false, "0"},
      {"0 down is clamped at the range's low end", kCount, false, "0"},
      {"0.985 up by 0.01 is clamped at 0.99", kFactor, true, "0.990"},
      {"at the top it stays", kFactor, true, "0.990"},
      {"and goes down again", kFactor, false, "0.980"},
      {"a double without a range", kLevel, true, "1.5"},
      {"and down twice", kLevel, false, "-1.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    if (g.currentcolumn != c.column || g.currentrow != 0) clickcell(c.column, 0);
    events();
    clickarrow(g, c.up, 0, false);
    bool told = false;
    for (const dlgtest::Event& e : events())
      if (e.type == EV_FIELDCHANGED && e.m.value2 == kGrid && e.m.y == yygridpackcell(c.column, 0)) told = true;
    EXPECT_EQ(editortext(g), c.want);
    EXPECT_TRUE(told) << "no field-changed event for the step";
  }
  clickarrow(g, false);
  EXPECT_EQ(editortext(g), "-3.5");
  EXPECT_EQ(g.modified, 1);
  EXPECT_EQ(g.changed, 1);
  clickcell(kSite, 0);   // moving on stores the stepped values
  EXPECT_EQ(shown(kCount, 0), "0");
  EXPECT_EQ(shown(kFactor, 0), "0.980");
  double level = 0.0;
  WGridGetCellDouble(kGrid, kLevel + 1, 1, level);
  EXPECT_DOUBLE_EQ(level, -3.5);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

// Typing still works in a spinner cell, a typed value is what the next step starts from, the
// arrow keys move between rows, and Shift+click on the arrows goes to the cell's text instead.
TEST_F(GridSpin, KeysAndShiftClickInASpinnerCell) {
  GridInstance& g = grid();
  clickcell(kCount, 0);
  key('A', test::kCtrl);
  type("42");
  clickarrow(g, true);
  EXPECT_EQ(editortext(g), "43");
  key(VK_DOWN);
  EXPECT_EQ(g.currentrow, 1);
  EXPECT_EQ(shown(kCount, 0), "43");
  type("7");
  clickarrow(g, true, test::kShift);
  EXPECT_EQ(editortext(g), "7") << "Shift+click stepped the value";
  EXPECT_EQ(GetFocus(), g.editor);
  key(VK_TAB);
  EXPECT_EQ(g.currentcolumn, kFactor);
  EXPECT_EQ(shown(kCount, 1), "7");
  // Out of the column's range the grid keeps the user in the cell.
  key(VK_TAB, test::kShift);
  key('A', test::kCtrl);
  type("250");
  key(VK_DOWN);
  EXPECT_EQ(g.currentrow, 1);
  EXPECT_EQ(GetFocus(), g.editor);
}

// A locked cell's arrows are disabled and do not step; unlocking enables them again.
TEST_F(GridSpin, LockedCellsHaveDisabledArrows) {
  GridInstance& g = grid();
  WGridPutCellInteger(kGrid, 1, 3, 10);
  clickcell(kCount, 2);
  ASSERT_NE(arrows(g), nullptr);
  EXPECT_TRUE(IsWindowEnabled(arrows(g)));
  WGridStateCell(kGrid, 1, 3, 0);
  EXPECT_FALSE(IsWindowEnabled(arrows(g)));
  clickarrow(g, true);
  EXPECT_EQ(editortext(g), "10");
  WGridStateCell(kGrid, 1, 3, 1);
  EXPECT_TRUE(IsWindowEnabled(arrows(g)));
  clickarrow(g, true);
  EXPECT_EQ(editortext(g), "11");
  // A locked cell reached later gets disabled arrows from the start.
  WGridStateCell(kGrid, 1, 5, 0);
  clickcell(kCount, 4);
  EXPECT_FALSE(IsWindowEnabled(arrows(g)));
}

// Scrolling moves the arrows with the editor; a column dragged narrower stops at 14 pixels
// plus the arrows' width.
TEST_F(GridSpin, ArrowsFollowScrollsAndColumnDrags) {
  GridInstance& g = grid();
  clickcell(kFactor, 1);
  auto besideeditor = [&g] {
    HWND a = yygridupdown(g.editor);
    if (a == nullptr) return false;
    RECT er, ar;
    GetWindowRect(g.editor, er);
    GetWindowRect(a, ar);
    return ar.left == er.right && ar.top == er.top;
  };
  key(VK_NEXT);
  EXPECT_GT(g.firstvisiblerow, 0);
  EXPECT_TRUE(besideeditor()) << "after a page down";
  const POINT p = cellpoint(g, kFactor, g.currentrow);
  test::wheel(p.x, p.y, -120);
  test::runUntilIdle();
  EXPECT_TRUE(besideeditor()) << "after the wheel";
  EXPECT_EQ(visiblearrows(g), 1);
  // Drag the right edge of the Factor title far to the left.
  RECT hr;
  GetWindowRect(g.header, hr);
  RECT item{};
  SendMessage(g.header, HDM_GETITEMRECT, kFactor + 1, reinterpret_cast<LPARAM>(&item));
  const int edge = hr.left + item.right - 1, y = hr.top + (hr.bottom - hr.top) / 2;
  test::mouseMove(edge, y);
  test::mouseDown(test::Button::Left, edge, y);
  test::mouseMove(edge - 30, y);
  test::mouseMove(edge - 60, y);
  test::mouseUp(test::Button::Left, edge - 60, y);
  test::runUntilIdle();
  EXPECT_EQ(g.columns[kFactor].width, 14 + GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_TRUE(besideeditor()) << "after the column drag";
}

// The column range reaches the spinner arrows within +-31073 while the range check keeps the
// whole range; a range switched off leaves the arrows their default direction.
TEST_F(GridSpin, RangeLimitsTheArrowsAndChecksTheWholeRange) {
  GridInstance& g = grid();
  clickcell(kLevel, 0);
  int status = kGrid;
  yygridrange(status, kLevel, -50000.0, 50000.0);
  ASSERT_EQ(status, kGrid);
  EXPECT_EQ(range(arrows(g)), std::make_pair(-31073, 31073));
  EXPECT_EQ(range(yygridupdown(g.columns[kLevel].prototypeeditor)), std::make_pair(-31073, 31073));
  yygridrangecheck(status, kLevel, 45000.0);
  EXPECT_EQ(status, kGrid);
  yygridrangecheck(status, kLevel, 60000.0);
  EXPECT_EQ(status, GridNoValue);
  status = kGrid;
  yygridrange(status, kLevel, 1.9, 7.6);
  EXPECT_EQ(range(arrows(g)), std::make_pair(1, 7));
  yygridrange(status, kLevel, 1000.0, -1000.0);
  const auto off = range(arrows(g));
  EXPECT_LT(off.first, off.second) << "a switched-off range turned the arrows round";
  WGridPutCellDouble(kGrid, kLevel + 1, 1, 4.0);
  clickarrow(g, true);
  EXPECT_EQ(editortext(g), "5.0");
  // Steps of the wrong kind of column, or of no grid.
  struct Case { int ident; int column; int want; };
  const Case cases[] = {{kGrid, kCount, kGrid}, {kGrid, kFactor, GridOutOfRange}, {kGrid, kSite, GridOutOfRange},
                        {kGrid, 9, GridOutOfRange}, {4321, kCount, GridNoGrid}};
  for (const Case& c : cases) {
    int s = c.ident;
    yygridspinstepi(s, c.column, 2, 0, 0);
    EXPECT_EQ(s, c.want) << "column " << c.column;
  }
  EXPECT_DOUBLE_EQ(g.columns[kCount].prototype.spinlarge, 2.0) << "a large step of 0 is the small step";
  status = kGrid;
  yygridspinstepr(status, kLevel, 1.0f, 2.0f);
  EXPECT_EQ(status, GridOutOfRange);
  status = kGrid;
  yygridspinstepd(status, kFactor, 1.0, 2.0);
  EXPECT_EQ(status, GridOutOfRange);
}

// WGridSetCell moves the current cell with the focus and puts the caret before the given
// character; without it the caret stays where the editor puts it.
TEST_F(GridSpin, SetCellGivesTheFocusAndPlacesTheCaret) {
  GridInstance& g = grid();
  SetFocus(field(2001));
  WGridPutCellString(kGrid, kSite + 1, 6, "Tarn Beck");
  WGridSetCell(kGrid, kSite + 1, 6, 3);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(g.currentcolumn, kSite);
  EXPECT_EQ(g.currentrow, 5);
  EXPECT_EQ(GetFocus(), g.editor);
  DWORD s = 0, e = 0;
  SendMessage(g.editor, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, 2u);
  EXPECT_EQ(e, 2u);
  type("x");
  EXPECT_EQ(editortext(g), "Taxrn Beck");
  WGridSetCell(kGrid, kCount + 1, 30);
  EXPECT_EQ(g.currentrow, 29);
  EXPECT_LE(g.firstvisiblerow, 29);
  EXPECT_GT(g.firstvisiblerow + g.visiblerows, 29);
  struct Case { int ident; int col; int row; int error; };
  const Case cases[] = {{kGrid, 6, 1, 1017}, {kGrid, 1, 41, 1017}, {kGrid, 0, 1, 1017}, {77, 1, 1, 1006}};
  for (const Case& c : cases) {
    tessar.error.LASTERROR = 0;
    WGridSetCell(c.ident, c.col, c.row, 1);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
  EXPECT_EQ(g.currentrow, 29);
}

// Clearing the grid field empties every cell with the option lists; the grid's own clear can
// keep the lists.
TEST_F(GridSpin, ClearingTheFieldEmptiesEveryCell) {
  GridInstance& g = grid();
  WGridPutCellInteger(kGrid, 1, 1, 12);
  WGridPutCellString(kGrid, 4, 40, "Last");
  WGridPutCellOption(kGrid, 5, 2, 2);
  WGridStateCell(kGrid, 2, 3, 0);
  clickcell(kFactor, 0);
  type("0.95");
  int id = kGrid;
  yyGridClear(g.window, 0);
  EXPECT_EQ(shown(kCount, 0), "");
  EXPECT_EQ(shown(kSite, 39), "");
  EXPECT_EQ(editortext(g), "");
  EXPECT_EQ(shown(kKind, 1), "Gauge") << "menus start again at their first option";
  EXPECT_EQ(g.columns[kKind].options.size(), 2u);
  EXPECT_TRUE(g.columns[kFactor].states[2] & GridCellLocked) << "the locked bit stays";
  int v = 0;
  WGridGetCellInteger(kGrid, 1, 1, v);
  EXPECT_EQ(tessar.error.LASTERROR, 1010);
  clickcell(kKind, 0);
  yyfieldclear(id);
  EXPECT_EQ(id, kGrid);
  EXPECT_TRUE(g.columns[kKind].options.empty());
  EXPECT_EQ(SendMessage(g.editor, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessage(g.columns[kKind].prototypeeditor, CB_GETCOUNT, 0, 0), 0);
}

// Option lists grow and empty by program, in the current cell's list too; only menu columns
// take them.
TEST_F(GridSpin, OptionListsGrowAndEmpty) {
  GridInstance& g = grid();
  clickcell(kKind, 3);
  int status = kGrid;
  yygridputmenu(status, kKind, 3, "Flume");
  EXPECT_EQ(status, kGrid);
  EXPECT_EQ(g.columns[kKind].options, (std::vector<std::string>{"Gauge", "Weir", "Flume"}));
  EXPECT_EQ(SendMessage(g.editor, CB_GETCOUNT, 0, 0), 3);
  yygridputmenu(status, kKind, 7, "Notch");   // another row: the shown list stays
  EXPECT_EQ(SendMessage(g.editor, CB_GETCOUNT, 0, 0), 3);
  WGridPutCellOption(kGrid, 5, 9, 4);
  EXPECT_EQ(shown(kKind, 8), "Notch");
  for (int column : {kCount, kSite, 7}) {
    int s = kGrid;
    yygridputmenu(s, column, 0, "x");
    EXPECT_EQ(s, GridNoGrid);
    s = kGrid;
    yygridclearmenu(s, column, 0);
    EXPECT_EQ(s, GridNoGrid);
  }
  yygridclearmenu(status, kKind, 3);
  EXPECT_TRUE(g.columns[kKind].options.empty());
  EXPECT_EQ(SendMessage(g.editor, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(shown(kKind, 8), "");
}

// Column colours replace the column's cell colours and show at once; the length query answers
// for text columns only.
TEST_F(GridSpin, ColumnColoursAndTextLength) {
  GridInstance& g = grid();
  WGridPutCellString(kGrid, kSite + 1, 3, "Weir");
  const int red = RGB(255, 0, 0);
  WGridColourCell(kGrid, kSite + 1, 3, nullptr, &red);
  ASSERT_FALSE(g.columns[kSite].colours.empty());
  int status = kGrid;
  yygridcolourcolumn(status, kSite, -1, 0, 0, 0, 0, 160);
  EXPECT_EQ(status, kGrid);
  EXPECT_TRUE(g.columns[kSite].colours.empty());
  EXPECT_EQ(g.columns[kSite].prototype.background, RGB(0, 0, 160));
  EXPECT_EQ(g.columns[kSite].prototype.textcolour, -1);
  POINT p = cellpoint(g, kSite, 2);
  ScreenToClient(g.cellarea, p);
  EXPECT_EQ(test::pixel(g.cellarea, p.x + 20, p.y + 4), RGB(0, 0, 160));
  yygridcolourcolumn(status, kSite, -1, 0, 0, 256, 0, 0);
  EXPECT_EQ(g.columns[kSite].prototype.background, -1);
  status = kGrid;
  yygridcolourcolumn(status, 5, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(status, GridOutOfRange);

  struct Case { int column; int status; int length; };
  const Case cases[] = {{kSite, kGrid, 21}, {kCount, GridOutOfRange, 0}, {kKind, GridOutOfRange, 0}, {-1, GridOutOfRange, 0}};
  for (const Case& c : cases) {
    int s = kGrid, length = 0;
    yygridcelllength(s, c.column, length);
    EXPECT_EQ(s, c.status) << c.column;
    EXPECT_EQ(length, c.length) << c.column;
  }
}

// Redefinition rebuilds the columns from the row template, chosen by position; the rows stay.
TEST_F(GridSpin, RedefinitionRebuildsTheColumns) {
  GridInstance& g = grid();
  clickcell(kLevel, 3);
  const int positions[] = {5, 2, 1};
  int status = kGrid;
  yygridredefine(status, 3, positions);
  ASSERT_EQ(status, kGrid);
  EXPECT_EQ(g.columncount, 3);
  EXPECT_EQ(g.rowsallocated, 40);
  EXPECT_EQ(g.currentcolumn, 0);
  EXPECT_EQ(g.currentrow, 0);
  const int want[] = {11, 6, 5};
  for (int c = 0; c < 3; ++c) {
    int s = kGrid, type = 0;
    yygridcelltype(s, c, type);
    EXPECT_EQ(type, want[c]) << c;
  }
  EXPECT_EQ(g.columns[1].prototype.format, "(F5.3)");
  char title[32] = {};
  HDITEM it;
  it.mask = HDI_TEXT;
  it.pszText = title;
  it.cchTextMax = sizeof title;
  SendMessage(g.header, HDM_GETITEM, 3, reinterpret_cast<LPARAM>(&it));
  EXPECT_STREQ(title, "Count");
  EXPECT_EQ(SendMessage(g.header, HDM_GETITEMCOUNT, 0, 0), 4);
  int setup = 0;
  yygridgetinfo(status, 102, setup);
  EXPECT_EQ(setup, 5) << "columns at set-up";
  // The spinner column works as before.
  clickcell(2, 1);
  clickarrow(g, true);
  EXPECT_EQ(editortext(g), "1");
  EXPECT_EQ(visiblearrows(g), 1);
  // Without positions the first children are taken in order.
  yygridredefine(status, 2);
  EXPECT_EQ(status, kGrid);
  int type = 0;
  yygridcelltype(status, 1, type);
  EXPECT_EQ(type, 6);
  int none = 4321;
  yygridredefine(none, 2);
  EXPECT_EQ(none, GridNoGrid);
}

// A redefinition the row template cannot give fails before it changes anything: the grid
// keeps its columns, cells, titles and current cell, and puts reach every column (a put past
// the last one is refused instead of writing into a column without cells).
TEST_F(GridSpin, AFailedRedefinitionLeavesTheGridAsItWas) {
  GridInstance& g = grid();
  WGridPutCellString(kGrid, kSite + 1, 2, "Weir 7");
  WGridPutCellInteger(kGrid, kCount + 1, 3, 42);
  clickcell(kLevel, 3);
  const std::vector<int> bad99 = {5, 99, 1}, bad0 = {0};
  struct Case { const char* why; int count; const std::vector<int>* positions; };
  const Case cases[] = {
      {"a column position of 99", 3, &bad99},
      {"a column position of 0", 1, &bad0},
      {"1,000 columns from a template of 5", 1000, nullptr},
      {"one column more than the template has", 6, nullptr},
      {"a negative count", -1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    int status = kGrid;
    yygridredefine(status, c.count, c.positions ? c.positions->data() : nullptr);
    EXPECT_EQ(status, GridNoGrid);
    ASSERT_EQ(g.columncount, 5);
    ASSERT_EQ(g.columns.size(), 5u);
    EXPECT_EQ(SendMessage(g.header, HDM_GETITEMCOUNT, 0, 0), 6);
    EXPECT_EQ(g.currentcolumn, kLevel);
    EXPECT_EQ(g.currentrow, 3);
    EXPECT_NE(g.editor, nullptr);
    std::string site(10, ' ');
    WGridGetCellString(kGrid, kSite + 1, 2, site);
    EXPECT_EQ(site, "Weir 7    ");
    int count = 0;
    WGridGetCellInteger(kGrid, kCount + 1, 3, count);
    EXPECT_EQ(count, 42);
    tessar.error.LASTERROR = 0;
    WGridPutCellInteger(kGrid, kCount + 1, 40, 1);
    WGridPutCellReal(kGrid, kFactor + 1, 40, 0.95f);
    WGridPutCellDouble(kGrid, kLevel + 1, 40, 3.0);
    WGridPutCellString(kGrid, kSite + 1, 40, "last row");
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    EXPECT_EQ(shown(kLevel, 39), "3.0");
    EXPECT_EQ(shown(kSite, 39), "last row");
    WGridPutCellString(kGrid, 6, 1, "past the last column");
    EXPECT_EQ(tessar.error.LASTERROR, 1017);
    tessar.error.LASTERROR = 0;
  }
  // The grid still redefines when asked for what the template has.
  const int positions[] = {4, 1};
  int status = kGrid;
  yygridredefine(status, 2, positions);
  EXPECT_EQ(status, kGrid);
  EXPECT_EQ(g.columncount, 2);
  WGridPutCellString(kGrid, 1, 40, "x");
  EXPECT_EQ(shown(0, 39), "x");
}

// Emptied, left, come back to and left again, as often as the user likes, in each spinner
// class with a range; by keys and by the program's moves. Then a number typed is stored.
TEST_F(GridSpin, AnEmptiedRangedSpinnerCellCanBeLeftAgainAndAgain) {
  GridInstance& g = grid();
  int status = kGrid;
  yygridrange(status, kLevel, -100.0, 100.0);
  WGridPutCellInteger(kGrid, kCount + 1, 1, 7);
  WGridPutCellInteger(kGrid, kCount + 1, 2, 8);
  WGridPutCellReal(kGrid, kFactor + 1, 1, 0.95f);
  WGridPutCellReal(kGrid, kFactor + 1, 2, 0.96f);
  WGridPutCellDouble(kGrid, kLevel + 1, 1, 7.5);
  WGridPutCellDouble(kGrid, kLevel + 1, 2, 8.5);
  struct Case { int column; bool bykey; const char* why; const char* typed; double want; };
  const Case cases[] = {
      {kCount, true, "integer spinner 0..100, keys", "5", 5.0},
      {kCount, false, "integer spinner, the program's moves", "6", 6.0},
      {kFactor, true, "real spinner 0.90..0.99, keys", "0.91", 0.91},
      {kFactor, false, "real spinner, the program's moves", "0.92", 0.92},
      {kLevel, true, "double spinner -100..100, keys", "-5", -5.0},
      {kLevel, false, "double spinner, the program's moves", "-6", -6.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    clickcell(c.column, 0);
    ASSERT_EQ(GetFocus(), g.editor);
    key('A', test::kCtrl);
    key(VK_DELETE);
    const int beeps = test::beepCount();
    for (int round = 0; round < 3; ++round) {
      SCOPED_TRACE(round);
      if (c.bykey) key(VK_DOWN);
      else yygridupdatecell(field(kGrid), c.column, 1, 1, 0);
      test::runUntilIdle();
      ASSERT_EQ(g.currentrow, 1) << "the emptied cell could not be left";
      EXPECT_EQ(shown(c.column, 0), "");
      if (c.bykey) key(VK_UP);
      else yygridupdatecell(field(kGrid), c.column, 0, 1, 0);
      test::runUntilIdle();
      ASSERT_EQ(g.currentrow, 0);
      EXPECT_EQ(editortext(g), "");
    }
    EXPECT_EQ(test::beepCount(), beeps);
    type(c.typed);
    key(VK_DOWN);
    ASSERT_EQ(g.currentrow, 1);
    double v = 0.0;
    WGridGetCellDouble(kGrid, c.column + 1, 1, v);
    EXPECT_NEAR(v, c.want, 1e-6);
  }
}

// A step that would carry the value past what the column's format can show stops at the last
// value the format shows, with a beep, and the cell can be left; a step that is no number does
// nothing. The value stored is the one shown.
TEST_F(GridSpin, AStepPastTheFormatStopsAtItsLastValue) {
  GridInstance& g = grid();
  int status = kGrid;
  yygridrange(status, kFactor, 1.0, -1.0);   // no range: the format is the only limit
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case { const char* why; int column; double start; double step; bool up; const char* want; bool beep; };
  const Case cases[] = {
      {"9.995 + 0.01 in (F5.3)", kFactor, 9.995, 0.01, true, "9.999", true},
      {"9.999 + 0.01: stays", kFactor, 9.999, 0.01, true, "9.999", true},
      {"9.985 + 0.01 still fits", kFactor, 9.985, 0.01, true, "9.995", false},
      {"99,999,999.0 + 1 in (F10.1)", kLevel, 99999999.0, 1.0, true, "99999999.9", true},
      {"-9,999,999.0 - 1 in (F10.1)", kLevel, -9999999.0, 1.0, false, "-9999999.9", true},
      {"a huge step", kLevel, 5.0, 1e300, true, "99999999.9", true},
      {"an infinite step", kLevel, 5.0, inf, false, "-9999999.9", true},
      {"a NaN step", kLevel, 5.0, nan, true, "5.0", true},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    status = kGrid;
    if (c.column == kFactor) yygridspinstepr(status, kFactor, static_cast<float>(c.step), static_cast<float>(c.step));
    else yygridspinstepd(status, kLevel, c.step, c.step);
    if (c.column == kFactor) WGridPutCellReal(kGrid, c.column + 1, row + 1, static_cast<float>(c.start));
    else WGridPutCellDouble(kGrid, c.column + 1, row + 1, c.start);
    clickcell(c.column, row);
    const int beeps = test::beepCount();
    clickarrow(g, c.up);
    EXPECT_EQ(editortext(g), c.want);
    EXPECT_EQ(test::beepCount() > beeps, c.beep);
    key(VK_DOWN);
    ASSERT_EQ(g.currentrow, row + 1) << "the stepped cell could not be left";
    EXPECT_EQ(shown(c.column, row), c.want);
    double v = 0.0;
    WGridGetCellDouble(kGrid, c.column + 1, row + 1, v);
    EXPECT_NEAR(v, std::stod(c.want), 1e-6);
    ++row;
  }
}

// A cell holding NaN or an infinity (as a CSV file may give) shows it, and left untouched keeps
// it: nothing was entered, so the check has nothing to refuse.
TEST_F(GridSpin, ACellHoldingNaNOrInfinityCanBeLeftUntouched) {
  GridInstance& g = grid();
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  WGridPutCellReal(kGrid, kFactor + 1, 1, static_cast<float>(nan));
  WGridPutCellDouble(kGrid, kLevel + 1, 1, inf);
  WGridPutCellDouble(kGrid, kLevel + 1, 2, -inf);
  struct Case { int column; int row; double value; };
  const Case cases[] = {{kFactor, 0, nan}, {kLevel, 0, inf}, {kLevel, 1, -inf}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    clickcell(c.column, c.row);
    key(VK_DOWN);
    ASSERT_EQ(g.currentrow, c.row + 1) << "the cell could not be left";
    double v = 0.0;
    WGridGetCellDouble(kGrid, c.column + 1, c.row + 1, v);
    if (std::isnan(c.value)) {
      EXPECT_TRUE(std::isnan(v)) << v;
    } else {
      EXPECT_EQ(v, c.value);
    }
  }
  // Replaced by typing, the cell takes the typed number.
  clickcell(kLevel, 0);
  key('A', test::kCtrl);
  type("2.5");
  key(VK_DOWN);
  EXPECT_EQ(g.currentrow, 1);
  EXPECT_EQ(shown(kLevel, 0), "2.5");
}

// A stored value too wide for its column's format is painted as asterisks, but its editor shows
// the number in full: the user can read it, step or replace it, and leave it unchanged.
TEST_F(GridSpin, AStoredValueTooWideForItsFormatCanBeReadAndLeft) {
  GridInstance& g = grid();
  int status = kGrid;
  yygridrange(status, kFactor, 1.0, -1.0);
  WGridPutCellReal(kGrid, kFactor + 1, 1, 12345.678f);
  WGridPutCellDouble(kGrid, kLevel + 1, 1, 1.5e12);
  WGridPutCellDouble(kGrid, kLevel + 1, 2, -123456789.25);
  EXPECT_EQ(shown(kLevel, 0).find_first_not_of('*'), std::string::npos) << "painted in its format";
  struct Case { int column; int row; const char* text; double value; };
  const Case cases[] = {
      {kFactor, 0, "12345.678", 12345.678f},
      {kLevel, 0, "1.5E+12", 1.5e12},
      {kLevel, 1, "-123456789.25", -123456789.25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    clickcell(c.column, c.row);
    EXPECT_EQ(editortext(g), c.text);
    key(VK_DOWN);
    ASSERT_EQ(g.currentrow, c.row + 1) << "the cell could not be left";
    double v = 0.0;
    WGridGetCellDouble(kGrid, c.column + 1, c.row + 1, v);
    EXPECT_EQ(v, c.value) << "left unchanged";
  }
  // Replaced by typing, it is stored as typed.
  clickcell(kLevel, 0);
  key('A', test::kCtrl);
  type("12.5");
  key(VK_DOWN);
  EXPECT_EQ(shown(kLevel, 0), "12.5");
}

// The painted value of a spinner cell sits where the cell's editor shows it (right-aligned
// left of the arrows, at the same height), in the dialog and in a grid-editor window.
TEST_F(GridSpin, SpinnerValuesArePaintedWhereTheEditorShowsThem) {
  // The ink of a cell's text: its left, right, top and bottom pixel in the cell area, right of
  // the cell's left edge and left of limit (the arrows of an editor).
  auto ink = [](GridInstance& g, int column, int row, int limit) {
    RedrawWindow(g.cellarea, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    test::runUntilIdle();
    int w = 0, h = 0;
    const std::vector<COLORREF> px = test::pixels(g.cellarea, true, w, h);
    int x0 = 0;
    for (int c = g.firstvisiblecolumn; c < column; ++c) x0 += g.data().columns[static_cast<std::size_t>(c)].width - 1;
    const int y0 = (row - g.firstvisiblerow) * (g.rowheight - 1);
    RECT r{9999, 9999, -1, -1};
    for (int y = y0 + 2; y < y0 + g.rowheight - 2 && y < h; ++y)
      for (int x = x0 + 2; x < x0 + limit && x < w; ++x) {
        const COLORREF c = px[static_cast<std::size_t>(y * w + x)];
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) > 300) continue;
        r.left = std::min<LONG>(r.left, x);
        r.right = std::max<LONG>(r.right, x);
        r.top = std::min<LONG>(r.top, y - y0);
        r.bottom = std::max<LONG>(r.bottom, y - y0);
      }
    return r;
  };
  auto check = [&](GridInstance& g) {
    for (int column : {kCount, kFactor, kLevel, kSite}) {
      SCOPED_TRACE(column);
      // Without the focus: the editor's caret is no ink of its text.
      SetFocus(nullptr);
      yygridupdatecell(g.window, column, 1, 0, 0);
      test::runUntilIdle();
      RECT er, ar;
      GetWindowRect(g.editor, er);
      if (column != kSite) GetWindowRect(arrows(g), ar);
      else ar = er, ar.left = er.right;
      const int limit = static_cast<int>(ar.left - er.left) - 1;
      const RECT painted = ink(g, column, 0, limit), edited = ink(g, column, 1, limit);
      ASSERT_GE(painted.right, 0) << "nothing painted";
      ASSERT_GE(edited.right, 0) << "nothing in the editor";
      EXPECT_NEAR(painted.right, edited.right, 1);
      EXPECT_NEAR(painted.left, edited.left, 1);
      EXPECT_NEAR(painted.top, edited.top, 1);
    }
  };
  for (int row = 1; row <= 2; ++row) {
    WGridPutCellInteger(kGrid, kCount + 1, row, 14);
    WGridPutCellReal(kGrid, kFactor + 1, row, 0.96f);
    WGridPutCellDouble(kGrid, kLevel + 1, row, 2.5);
    WGridPutCellString(kGrid, kSite + 1, row, "Weir");
  }
  check(grid());
  int w = 0;
  GridWindowRecord* r = openeditorwindow(w);
  ASSERT_NE(r, nullptr);
  check(*yygridinstance(r->grid));
  WindowCloseChild(w);
}

// In the modal copy of the dialog the arrows step the cell the copy shows; OK leaves the
// stepped value in the loaded grid.
TEST_F(GridSpin, ArrowsInTheModalCopy) {
  WDialogUnload();
  WDialogLoad(980);
  WGridPutCellInteger(kGrid, 1, 2, 20);
  auto modalgrid = [] { return yygridinstance(GetDlgItem(dialogtable.hDialogList[0], kGrid)); };
  int arrowsshown = 0;
  std::string stepped;
  tw::test::scriptuser({
      [&] {
        GridInstance* m = modalgrid();
        ASSERT_NE(m, nullptr);
        const POINT p = cellpoint(*m, kCount, 1);
        test::click(p.x, p.y);
      },
      [&] { clickarrow(*modalgrid(), true, 0, false); },
      [&] {
        stepped = yywindowtext(modalgrid()->editor);
        arrowsshown = visiblearrows(*modalgrid());
        const POINT p = centre(GetDlgItem(dialogtable.hDialogList[0], IDOK));
        test::click(p.x, p.y);
      },
  });
  WDialogShow(std::nullopt, std::nullopt, std::nullopt, 1);
  test::setIdleHook({});
  EXPECT_EQ(tessar.dialog.EXITBUTTON, IDOK);
  EXPECT_EQ(stepped, "21");
  EXPECT_EQ(arrowsshown, 1);
  EXPECT_EQ(shown(kCount, 1), "21");
}

// A grid-editor window over the spinner grid steps its cells too, and reports its texts; a
// modal one leaves them for the queries after it has closed.
TEST_F(GridSpin, GridEditorWindowStepsAndKeepsItsTexts) {
  WGridPutCellInteger(kGrid, 1, 1, 4);
  int w = 0;
  GridWindowRecord* r = openeditorwindow(w);
  ASSERT_NE(r, nullptr);
  GridInstance& e = *yygridinstance(r->grid);
  ASSERT_NE(e.editor, nullptr);
  clickarrow(e, true);
  EXPECT_EQ(yywindowtext(e.editor), "5");
  EXPECT_EQ(shown(kCount, 0), "4") << "the window edits its own copy";
  r->searchtext = "weir";
  r->filename = "/tmp/spinners.csv";
  std::string text(64, ' ');
  int window = w;
  yygridgetinfostring(window, 1, text, 65);
  EXPECT_EQ(text, "weir");
  yygridgetinfostring(window, 3, text, 6);
  EXPECT_EQ(text, "/tmp/");
  text = "kept";
  yygridgetinfostring(window, 4, text, 65);
  EXPECT_EQ(text, "kept");
  int other = 0;
  yygridgetinfostring(other, 1, text, 65);
  EXPECT_EQ(text, "kept") << "the root window is no grid-editor window";
  WindowCloseChild(w);

  // A modal window closed by the user: its texts and words stay for the queries.
  WindowOpenChild(w, editorwindow());
  test::setIdleHook([w] {
    if (GridWindowRecord* m = yygridwindowrecord(winslot(w).wWindow); m != nullptr && m->searchtext.empty()) {
      m->searchtext = "beck";
      m->filename = "spinners.csv";
      yygridinstance(m->grid)->modified = 1;
      PostMessage(winslot(w).wWindow, WM_CLOSE, 0, 0);
    }
  });
  int error = 0, mode = GEM_MODAL;
  yygridedit(error, kGrid, mode, 0, GEF_VARIABLEROWS | GEF_NOSAVE, -1, -1, "", "");
  yygridedit2();
  test::setIdleHook({});
  window = -1;
  yygridgetinfostring(window, 1, text, 65);
  EXPECT_EQ(text, "beck");
  yygridgetinfostring(window, 3, text, 65);
  EXPECT_EQ(text, "spinners.csv");
  int status = -2, saved = 5;
  yygridgetinfo(status, 6, saved);
  EXPECT_EQ(saved, 0) << "1 - modified";
  EXPECT_EQ(status, -2);
}

// The spinner grid with a few values, the current cell's arrows and a coloured column.
TEST_F(GridSpin, Screenshot) {
  GridInstance& g = grid();
  for (int row = 1; row <= 4; ++row) {
    WGridPutCellInteger(kGrid, 1, row, 10 * row);
    WGridPutCellReal(kGrid, 2, row, 0.9f + 0.02f * static_cast<float>(row));
    WGridPutCellDouble(kGrid, 3, row, 1.25 * row);
  }
  WGridPutCellString(kGrid, 4, 1, "Weir");
  WGridPutCellOption(kGrid, 5, 1, 2);
  for (int row = 1; row <= 8; ++row) WGridLabelRow(kGrid, row, "Day " + std::to_string(row));
  clickcell(kFactor, 1);
  clickarrow(g, true);
  ASSERT_TRUE(test::savePng(dialog(), std::string(TW_SHOT_DIR) + "/grid_spin.png", false));
}

}  // namespace
