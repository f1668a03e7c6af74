// The grid-editor window opened on a copy of a dialog's grid and driven as a user would: menus
// opened with Alt and chosen by their mnemonics, the command dialogs and the file dialogs
// filled by typed keys, message boxes answered with keys. Screenshot: grid_editor.png.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/common_dialogs.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/message_box.h"
#include "platform/statusbar.h"
#include "platform/test_api.h"
#include "tests/dialog/dialog_fixture.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/support/files.h"
#include "tests/support/scripted_user.h"
#include "toolkit/grid/gridedit.h"
#include "platform/printer.h"
#include "toolkit/grid/gridfiles.h"
#include "toolkit/grid/gridprint.h"
#include "toolkit/grid/wgrid.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/wmsg.h"

namespace {

using namespace win;
using tw::test::pressed;
using tw::test::Step;
using tw::test::typed;

constexpr int kGrid = 1008;

class GridEditor : public dlgtest::DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    test::clearMessageBoxes();
  }
  void TearDown() override {
    test::setIdleHook({});
    for (int w = 1; w < MAXWINDOWS; ++w)
      if (winslot(w).wWindow != nullptr) WindowCloseChild(w);
    DialogFixture::TearDown();
  }
  // The dialog with the grid of every column type, three rows filled, and a captioned child
  // window with a status bar, which becomes the grid editor.
  int open(int flags = GEF_VARIABLEROWS) {
    loadAndShow(950);
    const char* names[] = {"Weir Pool", "Alder Gill", "Beck Foot"};
    const int counts[] = {3, 1, 2};
    for (int row = 1; row <= 3; ++row) {
      WGridPutCellString(kGrid, 1, row, names[row - 1]);
      WGridPutCellInteger(kGrid, 2, row, counts[row - 1]);
      WGridPutCellReal(kGrid, 3, row, 1.5f * static_cast<float>(row));
    }
    WGridRows(kGrid, 3);
    WindowOpenChildOptions o;
    o.flags = 39;
    o.width = 700;
    o.height = 400;
    o.title = "Gauges";
    int n = 0;
    WindowOpenChild(n, o);
    EXPECT_GT(n, 0);
    int error = 0, mode = GEM_MODELESS;
    yygridedit(error, kGrid, mode, 0, flags, -1, -1, "", "");
    EXPECT_EQ(error, 0);
    test::runUntilIdle();
    return n;
  }
  static GridWindowRecord& record(int w) { return *yygridwindowrecord(winslot(w).wWindow); }
  static GridInstance& grid(int w) { return *yygridinstance(record(w).grid); }
  static std::string cell(int w, int column, int row) {
    std::string s;
    yyGridGetString(grid(w).data(), column, row, s, 0);
    return s;
  }
  static std::string status(int w, int part) {
    char text[256] = {};
    SendMessage(winslot(w).wMessLine, SB_GETTEXT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
  }
  static std::string caption(int w) {
    char text[512] = {};
    GetWindowText(winslot(w).wWindow, text, sizeof text);
    return text;
  }
  // Opens menu letter of the bar with Alt and runs the steps after it (the item's mnemonic
  // first); message boxes take boxkeys.
  static void menu(int w, char bar, std::deque<Step> steps, std::deque<int> boxkeys = {}) {
    tw::test::scriptuser(std::move(steps), std::move(boxkeys));
    SetFocus(winslot(w).wWindow);
    test::pressKey(bar, test::kAlt);
    test::runUntilIdle();
    test::setIdleHook({});
  }
  static Step clearfield() {
    return [] {
      test::pressKey(VK_END);
      for (int k = 0; k < 8; ++k) test::pressKey(VK_BACK);
    };
  }
  static std::string lastbox() {
    return test::messageBoxes().empty() ? std::string() : test::messageBoxes().back().title + ": " + test::messageBoxes().back().text;
  }
};

TEST_F(GridEditor, OpensOnACopyWithMenusAndStatus) {
  const int w = open();
  GridWindowRecord& r = record(w);
  EXPECT_EQ(r.word[FR_KIND], SW_GRIDWINDOW);
  EXPECT_EQ(cell(w, 0, 1), "Alder Gill");
  EXPECT_EQ(status(w, 0), "Row");
  EXPECT_EQ(status(w, 1), "\t\t1");
  char text[64] = {};
  GetMenuString(r.file, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&New\tCtrl+N") << "the accelerator table is there";
  GetMenuString(r.edit, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Cu&t\tCtrl+X");
  // The window edits its own copy: grid 0 is the window's grid, the dialog's stays.
  WGridPutCellString(0, 1, 1, "Changed");
  EXPECT_EQ(cell(w, 0, 0), "Changed");
  std::string s(20, ' ');
  WGridGetCellString(kGrid, 1, 1, s);
  EXPECT_EQ(tessar.error.LASTERROR, 0) << tessar.dialog.CURDIALOG;
  EXPECT_EQ(s.substr(0, 9), "Weir Pool");
}

// The toolbar: a button for each command present, the grid below it, a click carrying out its
// command, and the tooltip texts.
TEST_F(GridEditor, TheToolbar) {
  const int w = open();
  GridWindowRecord& r = record(w);
  ASSERT_NE(r.toolbar, nullptr);
  EXPECT_EQ(SendMessage(r.toolbar, TB_BUTTONCOUNT, 0, 0), 11) << "New Open Save | Print | Find | Cut Copy Paste";
  RECT bar, cells;
  GetWindowRect(r.toolbar, bar);
  GetWindowRect(r.grid, cells);
  EXPECT_GE(cells.top, bar.bottom) << "the grid below the toolbar";
  // Find through its button: the dialog takes "beck" and the current cell moves to it.
  const auto index = static_cast<WPARAM>(SendMessage(r.toolbar, TB_COMMANDTOINDEX, GE_FIND, 0));
  RECT rc;
  SendMessage(r.toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc));
  POINT p{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  ClientToScreen(r.toolbar, p);
  tw::test::scriptuser({typed("beck"), pressed(VK_RETURN)}, {});
  test::click(p.x, p.y);
  test::runUntilIdle();
  test::setIdleHook({});
  EXPECT_EQ(grid(w).currentrow, 2);
  EXPECT_EQ(record(w).searchtext, "beck");
  for (auto [command, text] : {std::pair{GE_FIND, "Find"}, {GE_SAVE, "Save"}, {GE_PASTE, "Paste"}}) {
    char tip[80] = {};
    TOOLINFO ti;
    ti.hwnd = r.toolbar;
    ti.uId = static_cast<UINT_PTR>(command);
    ti.lpszText = tip;
    SendMessage(r.tooltips, TTM_GETTEXT, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(tip, text);
  }
  // The option without a toolbar.
  WindowCloseChild(w);
  const int n = open(GEF_NOTOOLBAR);
  EXPECT_EQ(record(n).toolbar, nullptr);
}

// The shortcut keys the menus show, typed in the cell being edited: Ctrl+F finds, F3 finds the
// next, Ctrl+I inserts a row before the current one and Ctrl+E deletes it.
TEST_F(GridEditor, ShortcutKeys) {
  const int w = open();
  ASSERT_NE(record(w).accelerators, nullptr);
  auto key = [w](int vk, int modifiers, std::deque<Step> steps = {}, std::deque<int> boxkeys = {}) {
    tw::test::scriptuser(std::move(steps), std::move(boxkeys));
    SetFocus(record(w).grid);
    test::runUntilIdle();
    test::pressKey(vk, modifiers);
    // Through the program's event pump, which translates the accelerators.
    int type = 0, v1, v2, v3, v4, x, y, window, time;
    do yydispatchpeekmessage(type, v1, v2, v3, v4, x, y, window, time);
    while (type != -1);
    test::runUntilIdle();
    test::setIdleHook({});
  };
  // Enter on the empty text rings and keeps the dialog up; then "e" is found.
  key('F', test::kCtrl, {pressed(VK_RETURN), typed("e"), pressed(VK_RETURN)});
  EXPECT_EQ(record(w).searchtext, "e");
  EXPECT_EQ(grid(w).currentrow, 1) << "Alder Gill, the first after the current cell";
  key(VK_F3, 0);
  EXPECT_EQ(grid(w).currentrow, 2) << "Beck Foot";
  const int rows = grid(w).rowsinuse;
  key('I', test::kCtrl);
  EXPECT_EQ(grid(w).rowsinuse, rows + 1);
  EXPECT_EQ(cell(w, 0, 2), "");
  EXPECT_EQ(cell(w, 0, 3), "Beck Foot");
  key('E', test::kCtrl);
  EXPECT_EQ(grid(w).rowsinuse, rows);
  EXPECT_EQ(cell(w, 0, 2), "Beck Foot");
}

// Size limits: the window grows no larger than shows the whole grid (the size it was fitted
// to) and shrinks no smaller than one row of its widest column.
TEST_F(GridEditor, SizeLimits) {
  const int w = open();
  HWND frame = winslot(w).wWindow;
  RECT fitted;
  GetWindowRect(frame, fitted);
  MINMAXINFO mm{};
  mm.ptMaxSize = mm.ptMaxTrackSize = POINT{5000, 5000};
  mm.ptMinTrackSize = POINT{1, 1};
  SendMessage(frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
  EXPECT_EQ(mm.ptMaxTrackSize.x, fitted.right - fitted.left);
  EXPECT_EQ(mm.ptMaxTrackSize.y, fitted.bottom - fitted.top);
  EXPECT_EQ(mm.ptMaxSize.x, mm.ptMaxTrackSize.x);
  int widest = 0;
  for (const GridColumn& c : grid(w).columns) widest = std::max(widest, c.width);
  EXPECT_GT(mm.ptMinTrackSize.x, widest + grid(w).rowlabelwidth);
  EXPECT_LT(mm.ptMinTrackSize.x, mm.ptMaxTrackSize.x);
  EXPECT_GT(mm.ptMinTrackSize.y, grid(w).rowheight + grid(w).headerheight);
  EXPECT_LT(mm.ptMinTrackSize.y, mm.ptMaxTrackSize.y);
  // A row more lets the window grow by a row.
  WGridRows(0, 4);
  const LONG before = mm.ptMaxTrackSize.y;
  mm.ptMaxSize = mm.ptMaxTrackSize = POINT{5000, 5000};
  SendMessage(frame, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
  EXPECT_EQ(mm.ptMaxTrackSize.y, before + grid(w).rowheight - 1);
}

// A grid editor in a pane of a split window: its menu shows on the split window's frame and
// the commands chosen there act on the pane's grid; asked for the modal mode it opens modeless.
TEST_F(GridEditor, APaneOfASplitWindowLendsItsMenu) {
  loadAndShow(950);
  WGridRows(kGrid, 3);
  WindowOpenChildOptions o;
  o.flags = 39;
  o.width = 700;
  o.height = 400;
  o.title = "Gauges";
  int n = 0;
  WindowOpenChild(n, o);
  ASSERT_GT(n, 0);
  std::array<int, 2> panes{};
  std::array<int, 2> dialogs{0, 0};
  yywindowsplit(panes, 0, {7, 7}, -1, {0, 0}, {}, dialogs, {-1, -1}, "Grid", "Other");
  test::runUntilIdle();
  ASSERT_GT(panes[0], 0);
  HWND outer = winslot(n).wWindow;
  EXPECT_EQ(GetMenu(outer), nullptr);
  windowselect(panes[0]);
  int error = 0, mode = GEM_MODAL;
  yygridedit(error, kGrid, mode, 0, GEF_VARIABLEROWS, -1, n, "", "");
  EXPECT_EQ(error, 5) << "a pane is made modeless";
  EXPECT_EQ(mode, GEM_MODELESS);
  GridWindowRecord& r = record(panes[0]);
  ASSERT_NE(r.menu, nullptr);
  EXPECT_EQ(GetMenu(outer), r.menu);
  const FrameRecord* split = yyframerecord(outer);
  ASSERT_NE(split, nullptr);
  EXPECT_EQ(split->word[SP_MENUPANE], HandleToLong(winslot(panes[0]).wWindow));
  // Edit > Insert Row Before Current on the split window's menu.
  test::runUntilIdle();
  const int rows = grid(panes[0]).rowsinuse;
  menu(n, 'E', {pressed('I')});
  EXPECT_EQ(grid(panes[0]).rowsinuse, rows + 1);
  // Closing the split window with the pane's changes unsaved asks first; Cancel keeps it.
  test::clearMessageBoxes();
  test::answerNextMessageBoxWithKey(VK_ESCAPE);
  SendMessage(outer, WM_CLOSE, 0, 0);
  ASSERT_EQ(test::messageBoxes().size(), 1u);
  EXPECT_EQ(test::messageBoxes()[0].text, "Do you want to save changes?");
  EXPECT_NE(winslot(panes[0]).wWindow, nullptr);
  grid(panes[0]).modified = 0;
}

TEST_F(GridEditor, AReadOnlyGridHasNoEditingCommands) {
  loadAndShow(950);
  SetWindowLong(field(kGrid), GWL_STYLE, GetWindowLong(field(kGrid), GWL_STYLE) | static_cast<LONG>(GRS_READONLY));
  WindowOpenChildOptions o;
  o.flags = 39;
  int n = 0;
  WindowOpenChild(n, o);
  int error = 0, mode = GEM_MODELESS;
  yygridedit(error, kGrid, mode, 0, 0, -1, -1, "", "");
  ASSERT_EQ(error, 0);
  GridWindowRecord& r = record(n);
  for (UINT id : {GE_NEW, GE_SAVE, GE_CUT, GE_PASTE, GE_DELETE, GE_SORT, GE_INSERTBEFORE, GE_DELETEROW})
    EXPECT_EQ(GetMenuState(r.menu, id, MF_BYCOMMAND), static_cast<UINT>(-1)) << id;
  for (UINT id : {GE_OPEN, GE_SAVEAS, GE_SAVEHTML, GE_COPY, GE_FIND, GE_GOTOCELL})
    EXPECT_NE(GetMenuState(r.menu, id, MF_BYCOMMAND), static_cast<UINT>(-1)) << id;
}

TEST_F(GridEditor, RefusalsOfTheOpening) {
  int error = 0, mode = GEM_MODELESS;
  yygridedit(error, kGrid, mode, 0, 0, -1, -1, "", "");
  EXPECT_EQ(error, 1) << "the root window";
  const int w = open();
  error = 0;
  yygridedit(error, kGrid, mode, 0, 0, -1, -1, "", "");
  EXPECT_EQ(error, 8) << "already a grid editor";
  WindowOpenChildOptions o;
  int n = 0;
  WindowOpenChild(n, o);
  error = 0;
  yygridedit(error, 2001, mode, 0, 0, -1, -1, "", "");
  EXPECT_EQ(error, 11) << "an edit field is no grid";
  (void)w;
}

TEST_F(GridEditor, DrivenThroughItsMenus) {
  const int w = open();
  const std::string csv = hc::scratch("gauges.csv").string();
  const std::string html = hc::scratch("gauges.htm").string();
  std::filesystem::remove(csv);
  std::filesystem::remove(html);

  // Search > Find "gill": the current cell moves to it and the status bar shows row 2.
  menu(w, 'S', {pressed('F'), typed("gill"), pressed(VK_RETURN)});
  EXPECT_EQ(grid(w).currentrow, 1);
  EXPECT_EQ(status(w, 1), "\t\t2");
  EXPECT_EQ(record(w).searchtext, "gill");
  // Find Next finds no further cell and says so.
  menu(w, 'S', {pressed('N')});
  EXPECT_EQ(lastbox(), "Find: End of grid reached");

  // Search > Goto Cell: column 2, row 3.
  menu(w, 'S', {pressed('G'), clearfield(), typed("2\t"), clearfield(), typed("3"), pressed(VK_RETURN)});
  EXPECT_EQ(grid(w).currentcolumn, 1);
  EXPECT_EQ(grid(w).currentrow, 2);
  EXPECT_EQ(status(w, 3), "\t\t2");

  // Edit > Sort by the current column (Count), ascending.
  menu(w, 'E', {pressed('S'), pressed(VK_RETURN)});
  EXPECT_EQ(cell(w, 0, 0) + "|" + cell(w, 0, 1) + "|" + cell(w, 0, 2), "Alder Gill|Beck Foot|Weir Pool");
  EXPECT_EQ(grid(w).modified, 1);

  // Edit > Insert Row Before Current on row 3, then Delete Row takes it away again.
  const int rows = grid(w).rowsinuse;
  menu(w, 'E', {pressed('I')});
  EXPECT_EQ(grid(w).rowsinuse, rows + 1);
  EXPECT_EQ(cell(w, 0, 2), "");
  EXPECT_EQ(cell(w, 0, 3), "Weir Pool");
  menu(w, 'E', {pressed('E')});
  EXPECT_EQ(grid(w).rowsinuse, rows);
  EXPECT_EQ(cell(w, 0, 2), "Weir Pool");

  // File > Save asks for a name (none yet) and writes the CSV; the title shows the file.
  menu(w, 'F', {pressed('S'), typed(csv), pressed(VK_RETURN)});
  ASSERT_TRUE(std::filesystem::exists(csv));
  EXPECT_EQ(tw::test::slurp(csv).substr(0, 16), "\"Alder Gill\",1,3");
  EXPECT_EQ(record(w).filename, csv);
  EXPECT_EQ(caption(w), "Gauges - [" + csv + "]");
  EXPECT_EQ(grid(w).modified, 0);

  // File > Save As HTML.
  menu(w, 'F', {pressed('H'), typed(html), pressed(VK_RETURN)});
  ASSERT_TRUE(std::filesystem::exists(html));
  EXPECT_NE(tw::test::slurp(html).find("Alder Gill"), std::string::npos);

  // File > Open of a good file: loaded, named.
  const std::string good = hc::scratch("good.csv").string();
  std::ofstream(good, std::ios::binary) << "Tarn Beck,7,2.5\nKeld Head,8,3.5\n";
  menu(w, 'F', {pressed('O'), typed(good), pressed(VK_RETURN)});
  EXPECT_EQ(cell(w, 0, 0), "Tarn Beck");
  EXPECT_EQ(record(w).filename, good);

  // File > Print on the built-in PDF printer: the Print dialog answered with Enter; the job is
  // named after the window's file, so the page lands beside it.
  test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true, 0}});
  const std::string pdf = good + ".pdf";
  std::filesystem::remove(pdf);
  menu(w, 'F', {pressed('P'), pressed(VK_RETURN)});
  test::resetPrinters();
  ASSERT_TRUE(std::filesystem::exists(pdf)) << lastbox();
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  {
    const std::string printed = hc::run("pdftotext -layout '" + pdf + "' -").output;
    EXPECT_NE(printed.find("Keld Head"), std::string::npos) << printed;
  }

  ASSERT_TRUE(test::savePng(winslot(w).wWindow, std::string(TW_SHOT_DIR) + "/grid_editor.png", false));
  // The File menu open over the grid, with its prompt in the status bar.
  menu(w, 'F', {[w] {
    test::savePng(winslot(w).wWindow, std::string(TW_SHOT_DIR) + "/grid_editor_menu.png", false);
    test::pressKey(VK_ESCAPE);
  }});
}

// Save As HTML through its dialog: a typed name of an existing file asks before replacing it
// (No keeps the dialog up, Yes goes on); the choices shape the file: the table alone with a
// title, check boxes as Y and N.
TEST_F(GridEditor, SaveAsHtmlDialog) {
  const int w = open();
  WGridPutCellCheckBox(0, 5, 1, 1);
  const std::string html = hc::scratch("gauges-table.htm").string();
  std::ofstream(html, std::ios::binary) << "old";
  auto alt = [](int key) { return [key] { test::pressKey(key, test::kAlt); }; };
  menu(w, 'F',
       {pressed('H'), typed(html), pressed(VK_RETURN), alt('T'), alt('Y'), alt('I'), typed("Gauge list"),
        pressed(VK_RETURN)},
       {'N', 'Y'});
  ASSERT_EQ(test::messageBoxes().size(), 2u) << lastbox();
  EXPECT_EQ(test::messageBoxes()[0].title, "Select File");
  EXPECT_NE(test::messageBoxes()[0].text.find("already exists"), std::string::npos);
  const std::string page = tw::test::slurp(html);
  EXPECT_EQ(page.find("<html>"), std::string::npos) << "the table alone: " << page;
  EXPECT_NE(page.find("Gauge list"), std::string::npos) << page;
  EXPECT_NE(page.find("\r\nY\r\n"), std::string::npos) << "a ticked check box: " << page;
  EXPECT_NE(page.find("\r\nCount\r\n"), std::string::npos) << "the column titles";
  EXPECT_NE(page.find("Weir Pool"), std::string::npos);
  // The choices are kept for the next use; Cancel writes nothing.
  std::filesystem::remove(html);
  menu(w, 'F', {pressed('H'), pressed(VK_ESCAPE)});
  EXPECT_FALSE(std::filesystem::exists(html));
}

// A load that meets bad data says so, keeps what it read, and the window does not take the
// file's name: the next Save asks for a name and does not overwrite that file unasked.
TEST_F(GridEditor, ABadLoadIsNotSavedOverItsFile) {
  const int w = open();
  const std::string bad = hc::scratch("bad.csv").string();
  const std::string text = "Tarn Beck,seven,2.5\nKeld Head,8,3.5\n";
  std::ofstream(bad, std::ios::binary) << text;
  menu(w, 'F', {pressed('O'), typed(bad), pressed(VK_RETURN)}, {VK_RETURN});
  EXPECT_EQ(lastbox().substr(0, 12), "Data Error: ") << lastbox();
  EXPECT_EQ(cell(w, 0, 1), "Keld Head") << "what could be read is shown";
  EXPECT_EQ(record(w).filename, "");
  EXPECT_EQ(caption(w), "Gauges");
  // Save: the file dialog comes up; typing the bad file's name asks before replacing it; No.
  test::clearMessageBoxes();
  menu(w, 'F', {pressed('S'), typed(bad), pressed(VK_RETURN)}, {'N'});
  ASSERT_FALSE(test::messageBoxes().empty());
  EXPECT_NE(test::messageBoxes()[0].text.find("already exists"), std::string::npos) << lastbox();
  EXPECT_EQ(tw::test::slurp(bad), text);
}

// A UTF-8 file with Polish letters (outside the code page) used to load with its bytes shown
// as "Å\x81Ã³dÅº"; it is refused at once with a box that says why, the grid and its name kept.
TEST_F(GridEditor, AFileWithLettersOutsideTheCodePageIsRefusedWithAClearMessage) {
  const int w = open();
  const std::string file = hc::scratch("lodz.csv").string();
  std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBF\xC5\x81\xC3\xB3" "d\xC5\xBA,8,3.5\n";
  const std::string before = cell(w, 0, 0);
  menu(w, 'F', {pressed('O'), typed(file), pressed(VK_RETURN)}, {VK_RETURN});
  EXPECT_NE(lastbox().find("File Error: " + file + "\rThe file holds characters outside Windows-1252"), std::string::npos)
      << lastbox();
  EXPECT_EQ(cell(w, 0, 0), before) << "the grid keeps what it held";
  EXPECT_EQ(record(w).filename, "");
}

// Go to Row and Go to Column: each with its own title and field text, and a range on the
// field that keeps the user in the dialog until the number names a row (a column) of the
// grid. Both used to show "Go to" and "Row:"/"Column:" and took any number.
TEST_F(GridEditor, GotoRowAndColumnDialogs) {
  const int w = open();
  struct Case { int mnemonic; const char* title; const char* label; const char* outside; const char* inside; int column, row; };
  const Case cases[] = {
      {'W', "Goto Row", "&Row", "4", "2", 0, 1},
      {'C', "Goto Column", "&Column", "7", "3", 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    std::string title, label;
    bool stayed = false;
    HWND dialog = nullptr;
    auto look = [&] {
      dialog = GetParent(GetFocus());
      char t[64] = {};
      GetWindowText(dialog, t, sizeof t);
      title = t;
      GetWindowText(GetDlgItem(dialog, 1001), t, sizeof t);
      label = t;
    };
    auto stillup = [&] { stayed = dialog != nullptr && IsWindow(dialog) && GetParent(GetFocus()) == dialog; };
    test::clearMessageBoxes();
    // A step must give the window some input: the looks go with the keys after them.
    const Step clear = clearfield();
    menu(w, 'S', {pressed(c.mnemonic), [&] { look(); clear(); }, typed(c.outside), pressed(VK_RETURN),
                  [&] { stillup(); clear(); }, typed(c.inside), pressed(VK_RETURN)});
    EXPECT_EQ(title, c.title);
    EXPECT_EQ(label, c.label);
    EXPECT_TRUE(stayed) << "a number outside the grid is refused in the dialog";
    EXPECT_TRUE(test::messageBoxes().empty()) << lastbox();
    EXPECT_EQ(grid(w).currentcolumn, c.column);
    EXPECT_EQ(grid(w).currentrow, c.row);
  }
}

// Esc in a check-box or menu cell closes a dialog, not a grid-editor window: the window used
// to receive WM_CLOSE (a modeless one then posted a close event, a modal one without changes
// closed at once).
TEST_F(GridEditor, EscInACheckBoxOrMenuCellKeepsTheWindow) {
  const int w = open();
  HWND frame = winslot(w).wWindow;
  static int closes = 0;
  static WNDPROC previous = nullptr;
  closes = 0;
  previous = reinterpret_cast<WNDPROC>(SetWindowLongPtr(
      frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_CLOSE) ++closes;
        return CallWindowProc(previous, h, m, wp, lp);
      })));
  for (int column : {4, 5}) {
    yygridupdatecell(record(w).grid, column, 0, 1, 0);
    test::runUntilIdle();
    ASSERT_EQ(GetFocus(), grid(w).editor) << column;
    test::pressKey(VK_ESCAPE);
    test::runUntilIdle();
    EXPECT_EQ(closes, 0) << "column " << column;
    EXPECT_NE(winslot(w).wWindow, nullptr);
  }
  SetWindowLongPtr(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

// Closing with unsaved changes asks; Cancel keeps the window.
TEST_F(GridEditor, ClosingAsksForUnsavedChanges) {
  const int w = open();
  menu(w, 'E', {pressed('I')});
  ASSERT_EQ(grid(w).modified, 1);
  test::clearMessageBoxes();
  test::answerNextMessageBoxWithKey(VK_ESCAPE);
  SendMessage(winslot(w).wWindow, WM_CLOSE, 0, 0);
  ASSERT_EQ(test::messageBoxes().size(), 1u);
  EXPECT_EQ(test::messageBoxes()[0].text, "Do you want to save changes?");
  EXPECT_EQ(test::messageBoxes()[0].title, "Tessaraweld Grid Editor");
  EXPECT_NE(winslot(w).wWindow, nullptr);
}

// Printing through the printer device context to the built-in PDF printer: a grid of 150 rows
// and six columns needs three pages down; pdftotext shows
// the titles, the row labels and the cells on the right pages. A page too small for a row and
// labels wider than the page end with their errors instead of looping.
class GridPrint : public GridEditor {
 protected:
  void SetUp() override {
    GridEditor::SetUp();
    folder = hc::scratch("gridprint");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true, 0}});
  }
  void TearDown() override {
    std::filesystem::current_path(before);
    test::resetPrinters();
    GridEditor::TearDown();
  }
  std::string page(const std::string& pdf, int n) {
    return hc::run("pdftotext -layout -f " + std::to_string(n) + " -l " + std::to_string(n) + " '" + pdf + "' -").output;
  }
  std::filesystem::path folder, before;
};

TEST_F(GridPrint, ThreePagesToThePdfPrinter) {
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  loadAndShow(950);
  WGridRows(kGrid, 150);
  for (int row = 1; row <= 150; ++row) {
    WGridPutCellString(kGrid, 1, row, "Gauge " + std::to_string(1000 + row));
    WGridPutCellInteger(kGrid, 2, row, row * 5);
    WGridLabelRow(kGrid, row, "Day " + std::to_string(row));
  }
  int r1 = 0, r2 = 0, r3 = 0, r4 = 0, r5 = 0, scale = 0;
  yygridprintgetopt(r1, r2, r3, r4, r5, scale, 1);
  EXPECT_EQ(scale, 100);
  yygridprintsetopt(1, 1, 1, 1, 1, 100, 1);
  int result = -1;
  yygridprint(kGrid, result, 0, 149, 0, 5, 1, "gridprint");
  ASSERT_EQ(result, GridPrinted);
  const std::string pdf = (folder / "gridprint.pdf").string();
  ASSERT_TRUE(std::filesystem::exists(pdf));
  std::filesystem::copy_file(pdf, std::string(TW_SHOT_DIR) + "/gridprint.pdf",
                             std::filesystem::copy_options::overwrite_existing);
  const std::string info = hc::run("pdfinfo '" + pdf + "'").output;
  EXPECT_NE(info.find("Pages:           3"), std::string::npos) << info;
  const std::string p1 = page(pdf, 1), p2 = page(pdf, 2), p3 = page(pdf, 3);
  std::ofstream(folder / "gridprint.txt") << p1 << "\f" << p2 << "\f" << p3;
  for (const std::string* p : {&p1, &p2, &p3}) {
    EXPECT_NE(p->find("Name"), std::string::npos) << "titles on every page";
    EXPECT_NE(p->find("Count"), std::string::npos);
  }
  EXPECT_NE(p1.find("Day 1 "), std::string::npos) << p1;
  EXPECT_NE(p1.find("Gauge 1001"), std::string::npos);
  EXPECT_EQ(p1.find("Gauge 1150"), std::string::npos);
  EXPECT_EQ(p2.find("Gauge 1001"), std::string::npos);
  EXPECT_NE(p3.find("Gauge 1150"), std::string::npos) << p3;
  EXPECT_NE(p3.find("Day 150"), std::string::npos);
  EXPECT_NE(p3.find(" 750 "), std::string::npos) << "150 x 5 on the last page";
}

// File > Print in the grid editor: its dialog, the page set-up reached from it, and a window
// without a file name prints "Untitled Grid". The dialog's choices become the second settings
// record's.
TEST_F(GridPrint, PrintFromTheEditorsMenu) {
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  const int w = open();
  yygridprintsetopt(1, 1, 1, 1, 1, 100, 2);
  // Page Set-up (Alt+U) answered with Enter, then "Black on white" (Alt+B), scale 50, Print.
  const std::string shot = std::string(TW_SHOT_DIR) + "/grid_print_dialog.png";
  menu(w, 'F', {pressed('P'),
                [shot] {
                  test::savePng(GetActiveWindow(), shot, false);
                  test::pressKey('U', test::kAlt);
                },
                pressed(VK_RETURN),
                [] { test::pressKey('B', test::kAlt); }, [] { test::pressKey('S', test::kAlt); }, clearfield(),
                typed("50"), pressed(VK_RETURN)});
  int rowlines = 0, columnlines = 0, repeat = 0, textcolours = 0, back = 0, scale = 0;
  yygridprintgetopt(rowlines, columnlines, repeat, textcolours, back, scale, 2);
  EXPECT_EQ(textcolours, 0);
  EXPECT_EQ(back, 0);
  EXPECT_EQ(scale, 50);
  EXPECT_EQ(rowlines, 1);
  // The page set-up ran in the measure of the user's locale, the margins converted to it.
  char measure[4] = {};
  GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, sizeof measure);
  EXPECT_EQ(yygridprintunits(2), measure[0] == '1' ? 4 : 8);
  int left = 0;
  yygridprintgetpossize(3, left, 2);
  EXPECT_NEAR(left, 36, 1) << "half an inch";
  const auto pdf = folder / "Untitled Grid.pdf";
  ASSERT_TRUE(std::filesystem::exists(pdf)) << lastbox();
  const std::string text = page(pdf.string(), 1);
  EXPECT_NE(text.find("Alder Gill"), std::string::npos) << text;
  EXPECT_NE(text.find("Day 3"), std::string::npos) << text;
}

// Cell colours and check boxes on paper: a cell's own text and background colours, the check
// marks and crosses of a check-box column (the PDF's text holds them as such); with the colour
// switches off the same grid prints black on white.
TEST_F(GridPrint, ColoursAndCheckBoxes) {
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  loadAndShow(950);
  WGridRows(kGrid, 3);
  WGridPutCellString(kGrid, 1, 2, "Tarn Beck");
  const int blue = static_cast<int>(RGB(0, 0, 255)), amber = static_cast<int>(RGB(255, 192, 0));
  WGridColourCell(kGrid, 1, 2, &blue, &amber);
  WGridPutCellCheckBox(kGrid, 5, 1, 1);
  WGridPutCellCheckBox(kGrid, 5, 2, 0);
  WGridPutCellCheckBox(kGrid, 5, 3, 1);
  // Pixels of a colour on page 1 (rendered at 50 dots per inch).
  auto count = [&](const std::string& pdf, auto match) {
    const std::string stem = (folder / "page").string();
    EXPECT_EQ(hc::run("pdftoppm -r 50 -f 1 -l 1 -singlefile '" + pdf + "' '" + stem + "'").status, 0);
    std::ifstream in(stem + ".ppm", std::ios::binary);
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    std::vector<unsigned char> px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    in.read(reinterpret_cast<char*>(px.data()), static_cast<std::streamsize>(px.size()));
    int n = 0;
    for (std::size_t i = 0; i + 2 < px.size(); i += 3) n += match(px[i], px[i + 1], px[i + 2]) ? 1 : 0;
    return n;
  };
  auto isamber = [](int r, int g, int b) { return r > 230 && g > 160 && g < 220 && b < 60; };
  auto isblue = [](int r, int g, int b) { return b > r + 20 && b > g + 40; };   // blue letters, blended at the edges
  auto occurrences = [](const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  };

  int result = -1;
  yygridprintsetopt(1, 1, 1, 1, 1, 100, 1);
  yygridprint(kGrid, result, 0, 2, 0, 5, 1, "colours");
  ASSERT_EQ(result, GridPrinted);
  const std::string pdf = (folder / "colours.pdf").string();
  std::filesystem::copy_file(pdf, std::string(TW_SHOT_DIR) + "/gridprint_colours.pdf",
                             std::filesystem::copy_options::overwrite_existing);
  const std::string text = page(pdf, 1);
  EXPECT_EQ(occurrences(text, "\u2714"), 2) << "two ticked cells: " << text;
  EXPECT_EQ(occurrences(text, "\u2718"), 1) << "one cleared cell: " << text;
  EXPECT_EQ(text.find("\u00fb"), std::string::npos);
  EXPECT_NE(text.find("Tarn Beck"), std::string::npos);
  const int background = count(pdf, isamber), letters = count(pdf, isblue);
  // The cell is about 80 by 12 points: at 50 dots per inch some 150 pixels less its letters.
  EXPECT_GT(background, 100) << "the cell's background";
  EXPECT_GT(letters, 3) << "the cell's text colour";

  yygridprintsetopt(1, 1, 1, 0, 0, 100, 1);
  yygridprint(kGrid, result, 0, 2, 0, 5, 1, "plain");
  ASSERT_EQ(result, GridPrinted);
  const std::string plain = (folder / "plain.pdf").string();
  EXPECT_EQ(count(plain, isamber), 0);
  EXPECT_EQ(count(plain, isblue), 0);
  EXPECT_EQ(occurrences(page(plain, 1), "\u2714"), 2);
}

// On a printer of two colours the colour switches start off, after each registration of the
// grid class; on a colour printer on.
TEST_F(GridPrint, ColourSwitchesFollowThePrinter) {
  for (const auto& [colours, expected] : {std::pair{2, 0}, {256, 1}, {-1, 1}}) {
    test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, colours, true, 0}});
    UnregisterClass("VXKGRID", nullptr);
    yygridregister();
    int rowlines = 0, columnlines = 0, repeat = 0, text = -1, back = -1, scale = 0;
    yygridprintgetopt(rowlines, columnlines, repeat, text, back, scale, 2);
    EXPECT_EQ(text, expected) << colours;
    EXPECT_EQ(back, expected) << colours;
    EXPECT_EQ(scale, 100);
    EXPECT_EQ(rowlines, 1);
  }
}

// Without any printer File > Print says so before its dialog.
TEST_F(GridPrint, NoPrinterInstalled) {
  test::setPrinters({});
  UnregisterClass("VXKGRID", nullptr);
  yygridregister();
  const int w = open();
  menu(w, 'F', {pressed('P')}, {VK_RETURN});
  EXPECT_EQ(lastbox(), "Error: No printer installed");
}

// File > Print Selection: only the selected block reaches the page.
TEST_F(GridPrint, PrintSelection) {
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  const int w = open();
  yygridselectrange(record(w).grid, 1, 2, 0, 1);   // rows 2-3, Name and Count
  menu(w, 'F', {pressed('T'), pressed(VK_RETURN)});
  const auto pdf = folder / "Untitled Grid.pdf";
  ASSERT_TRUE(std::filesystem::exists(pdf)) << lastbox();
  const std::string text = page(pdf.string(), 1);
  EXPECT_NE(text.find("Alder Gill"), std::string::npos) << text;
  EXPECT_NE(text.find("Beck Foot"), std::string::npos) << text;
  EXPECT_EQ(text.find("Weir Pool"), std::string::npos) << text;
  EXPECT_EQ(text.find("Flow"), std::string::npos) << "only the selected columns: " << text;
}

TEST_F(GridPrint, PagesTooSmallEndWithAnError) {
  loadAndShow(950);
  WGridRows(kGrid, 5);
  WGridLabelRow(kGrid, 1, "A label of some length");
  int result = -1;
  // Margins that leave less than a row.
  yygridprintsetpossize(4, 400, 2);   // top margin 400 points
  yygridprintsetpossize(2, 5, 2);     // a printed area 5 points high
  yygridprint(kGrid, result, 0, 4, 0, 5, 2, "");
  EXPECT_EQ(result, GridPrintNoRowRoom);
  // Labels wider than the page.
  yygridprintsetopt(1, 1, 1, 1, 1, 100, 1);
  yygridprintsetpossize(3, 280, 1);   // left margin
  yygridprintsetpossize(1, 20, 1);    // a printed area 20 points wide
  yygridprint(kGrid, result, 0, 4, 0, 5, 1, "narrow");
  EXPECT_EQ(result, GridPrintLabelsTooWide);
  EXPECT_FALSE(std::filesystem::exists(folder / "narrow.pdf"));
}

}  // namespace
