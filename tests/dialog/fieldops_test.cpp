// Field operations and dialog queries on real dialogs: texts and numbers through formats and
// ranges, check boxes, radio groups, list items and selections, colours, focus, states and
// options, the field kinds and states the queries report, and resizable dialogs.
#include <functional>

#include "tests/dialog/dialog_fixture.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/geometry.h"

namespace {

using namespace win;
using dlgtest::DialogFixture;

class FieldOperationTest : public DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    WDialogLoad(900);
    ASSERT_EQ(tessar.error.LASTERROR, 0);
  }
  static std::string fixed(int n) { return std::string(static_cast<std::size_t>(n), ' '); }
};

TEST_F(FieldOperationTest, NumbersGoInThroughFormatsAndComeBackAsStored) {
  WDialogLoad(110);
  struct Case {
    const char* why;
    int field;
    float value;
    const char* format;
    const char* shown;
    int error;
  };
  const Case kCases[] = {
      {"the field's own format", 1019, 0.925f, nullptr, "0.925", 0},
      {"a format given here", 1019, 0.9f, "(F6.4)", "0.9000", 0},
      {"a blank format keeps the field's", 1019, 0.95f, "     ", "0.9500", 0},
      {"outside the range: refused, unchanged", 1019, 1.5f, nullptr, "0.9500", 1009},
      // 0.9f lies just below the double 0.90 and was refused as outside the range.
      {"the lower end as single precision", 1019, 0.9f, "(F5.3)", "0.900", 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    if (c.format) WDialogPutReal(c.field, c.value, c.format);
    else WDialogPutReal(c.field, c.value);
    EXPECT_EQ(text(c.field), c.shown);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
  }
  WDialogPutReal(1019, 0.925f, "(F5.2)");
  EXPECT_EQ(text(1019), "0.93");
  float v = 0;
  WDialogGetReal(1019, v);
  EXPECT_EQ(v, 0.925f) << "the stored value, not the short text";
}

TEST_F(FieldOperationTest, DoublesKeepTheirPrecisionThroughTheirFormat) {
  struct Case {
    const char* why;
    double value;
    const char* format;
    const char* shown;
  };
  const Case cases[] = {
      {"ten decimals given here", 3.14159265358979, "(F12.10)", "3.1415926536"},
      {"the format given last is the field's now", 2.718281828459045, nullptr, "2.7182818285"},
      {"a blank format keeps it", 0.5, "   ", "0.5000000000"},
  };
  for (const Case& c : cases) {
    if (c.format) WDialogPutDouble(2004, c.value, c.format);
    else WDialogPutDouble(2004, c.value);
    EXPECT_EQ(text(2004), c.shown) << c.why;
    EXPECT_EQ(tessar.error.LASTERROR, 0) << c.why;
  }
  float v = 0;
  WDialogGetReal(2004, v);
  EXPECT_EQ(v, 0.5f);
}

TEST_F(FieldOperationTest, TextsAndIntegersReadBackAsTheCaseSays) {
  struct Case {
    const char* why;
    int field;
    const char* put;
    int want;
    int error;
  };
  const Case kCases[] = {
      {"truncated toward zero", 2001, "2.9", 2, 0},
      {"negative truncated toward zero", 2001, "-2.9", -2, 0},
      {"a static holding a number", 2010, "42", 42, 0},
      {"an empty field", 2001, "", -999, 1010},
      {"a blank text is put empty", 2001, "    ", -999, 1010},
      {"no such field", 4242, "1", -999, 1006},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    WDialogPutString(c.field, c.put);
    tessar.error = ErrorState{};
    int v = 7;
    WDialogGetInteger(c.field, v);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
    if (c.error != 1006) {
      EXPECT_EQ(v, c.want);
    }
  }
}

TEST_F(FieldOperationTest, PuttingAStringOnARealFieldSetsItsValueAndDropsItsFormat) {
  WDialogPutString(2003, "12.5");
  const FieldRecord* fr = yyfieldrecord(field(2003));
  EXPECT_DOUBLE_EQ(fr->value, 12.5);
  EXPECT_EQ(fr->format, nullptr);
  EXPECT_EQ(fr->valueflag, 1);
  WDialogPutString(2003, "abc");
  EXPECT_DOUBLE_EQ(fr->value, 0.0);
}

TEST_F(FieldOperationTest, IntegersAreCheckedAgainstTheRange) {
  WDialogPutInteger(2002, 42);
  EXPECT_EQ(text(2002), "42");
  WDialogPutInteger(2002, 100);
  EXPECT_EQ(tessar.error.LASTERROR, 1009);
  EXPECT_EQ(text(2002), "42");
}

TEST_F(FieldOperationTest, StringsAreCutAndPaddedToTheVariable) {
  std::string s = fixed(3);
  WDialogGetString(2001, s);
  EXPECT_EQ(s, "hel");
  s = fixed(8);
  WDialogGetString(2001, s);
  EXPECT_EQ(s, "hello   ");
  int n = 0;
  WDialogGetStringLength(2001, n);
  EXPECT_EQ(n, 5);
  WDialogGetString(4242, s);
  EXPECT_EQ(s, fixed(8));
  EXPECT_EQ(tessar.error.LASTERROR, 1006);
}

TEST_F(FieldOperationTest, CheckBoxesAndRadioGroups) {
  int state = -1;
  WDialogGetCheckBox(2005, state);
  EXPECT_EQ(state, 1) << "[Checks] set it";
  WDialogPutCheckBox(2006, 1);
  WDialogGetCheckBox(2006, state);
  EXPECT_EQ(state, 1) << "a three-state box became an automatic check box";
  WDialogGetCheckBox(2010, state);
  EXPECT_EQ(tessar.error.LASTERROR, 1006);

  tessar.error = ErrorState{};
  int position = 0;
  WDialogGetRadioButton(2008, position);
  EXPECT_EQ(tessar.error.LASTERROR, 1010);
  EXPECT_EQ(position, -999);
  tessar.error = ErrorState{};
  WDialogPutRadioButton(2009);
  WDialogGetRadioButton(2007, position);
  EXPECT_EQ(position, 3);
  WDialogPutRadioButton(2007);
  EXPECT_EQ(SendMessage(field(2009), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  WDialogGetRadioButton(2009, position);
  EXPECT_EQ(position, 1);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  WDialogPutRadioButton(2005);
  EXPECT_EQ(tessar.error.LASTERROR, 1006) << "a check box is no radio button";
}

TEST_F(FieldOperationTest, ListItemsAndSelections) {
  int option = 0;
  std::string item = fixed(10);
  WDialogGetMenu(2013, option, &item);
  EXPECT_EQ(option, 2);
  EXPECT_EQ(item, "  Beta    ") << "leading blanks stay, trailing ones went";
  struct Case {
    const char* why;
    int field, option;
    int error;
    int selected;   // 0-based, -1 none
  };
  const Case kCases[] = {
      {"select the third", 2013, 3, 0, 2},
      {"option 0 clears the selection, no error", 2013, 0, 0, -1},
      {"beyond the items", 2013, 9, 1011, -1},
      {"a multiple-selection list", 2014, 1, 1006, -1},
      {"not a list", 2001, 1, 1006, -1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    WDialogPutOption(c.field, c.option);
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
    if (c.field == 2013) {
      EXPECT_EQ(SendMessage(field(2013), LB_GETCURSEL, 0, 0), c.selected);
    }
  }
  tessar.error = ErrorState{};
  WDialogGetMenu(2013, option);
  EXPECT_EQ(tessar.error.LASTERROR, 1010);
  EXPECT_EQ(option, -999);

  const std::string months[] = {"Jan   ", "Feb", "Mar "};
  tessar.error = ErrorState{};
  WDialogPutMenu(2013, months, 3, 2);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  WDialogGetMenu(2013, option, &item);
  EXPECT_EQ(option, 2);
  EXPECT_EQ(item, "Feb       ");
  WDialogPutMenu(2013, months, 2, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 0) << "clearing the selection is no failure";
  EXPECT_EQ(SendMessage(field(2013), LB_GETCOUNT, 0, 0), 2);
}

TEST_F(FieldOperationTest, ComboBoxesWithAnEditPartTakeFreeTexts) {
  WDialogLoad(116);
  int option = 0;
  std::string item = fixed(6);
  WDialogGetMenu(1034, option, &item);
  EXPECT_EQ(option, 12);
  EXPECT_EQ(item, "Dec   ");
  const std::string months[] = {"Jan", "Feb", "Mar"};
  struct Case {
    const char* why;
    const char* text;
    int option;
    const char* shown;
  };
  const Case kCases[] = {
      {"a text equal to an item selects it", "Mar   ", 3, "Mar"},
      {"a free text stands in the edit part", "Smarch", 0, "Smarch"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    WDialogPutMenu(1033, months, 3, 0, c.text);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
    WDialogGetMenu(1033, option, &item);
    EXPECT_EQ(option, c.option);
    EXPECT_EQ(yytrimright(item), c.shown);
  }
  WDialogPutMenu(1033, months, 3, 0);
  WDialogGetMenu(1033, option);
  EXPECT_EQ(tessar.error.LASTERROR, 1010) << "no selection and no text";
  EXPECT_EQ(option, -999);
}

TEST_F(FieldOperationTest, StatesHideDisableAndMoveTheFocus) {
  WDialogShow();
  events();
  WDialogSetField(2001);
  EXPECT_EQ(focusId(), 2001);
  struct Case {
    const char* why;
    int state;
    bool visible, enabled, readonly;
  };
  const Case kCases[] = {
      {"read-only edit stays enabled", 2, true, true, true},
      {"disabled", 0, true, false, false},
      {"enabled again", 1, true, true, false},
      {"hidden", 3, false, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    WDialogFieldState(2001, c.state);
    EXPECT_EQ(IsWindowVisible(field(2001)) != 0, c.visible);
    if (c.visible) {
      EXPECT_EQ(IsWindowEnabled(field(2001)) != 0, c.enabled);
    }
    EXPECT_EQ((GetWindowLong(field(2001), GWL_STYLE) & static_cast<LONG>(ES_READONLY)) != 0, c.readonly);
    EXPECT_EQ(winfodialogfield(2001, 6), c.state);
  }
  EXPECT_NE(GetFocus(), field(2001)) << "hiding the focused field gives the focus to the dialog";
  EXPECT_TRUE(GetFocus() == dialog() || IsChild(dialog(), GetFocus()));
  WDialogFieldState(4242, 1);
  EXPECT_EQ(tessar.error.LASTERROR, 1006);
}

TEST_F(FieldOperationTest, FocusWithACaretPositionAndTitle) {
  WDialogShow();
  events();
  WDialogSetField(2001, 3);
  DWORD a = 9, b = 9;
  SendMessage(field(2001), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a, 2u);
  EXPECT_EQ(b, 2u);
  EXPECT_EQ(winfodialog(3), 900);
  WDialogTitle("New title   ");
  EXPECT_EQ(yywindowtext(dialog()), "New title");
  WDialogTitle(std::nullopt, 4242);
  EXPECT_EQ(tessar.error.LASTERROR, 1015);
}

TEST_F(FieldOperationTest, NotifyOptionPostsTextChanges) {
  WDialogShow();
  events();
  WDialogSetField(2001);
  events();
  test::typeText("x");
  EXPECT_TRUE(dialogEvents().empty()) << "no text events without the option";
  WDialogFieldOptions(2001, 3, 1);
  test::typeText("y");
  const auto got = dialogEvents();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0], std::make_pair(static_cast<int>(EV_FIELDCHANGED), 2001));
  WDialogPutString(2001, "quiet");
  EXPECT_TRUE(dialogEvents().empty()) << "putting text posts nothing";
  WDialogFieldOptions(2005, 3, 1);
  EXPECT_EQ(tessar.error.LASTERROR, 1006);
  tessar.error = ErrorState{};
  WDialogFieldOptions(2001, 1, 1);
  EXPECT_EQ(tessar.error.LASTERROR, 1006) << "option 1 is for grids";
}

TEST_F(FieldOperationTest, ColoursFromTheCompanionAndFromTheProgram) {
  const FieldRecord* label = yyfieldrecord(field(2010));
  EXPECT_EQ(label->foreground, 255);
  EXPECT_EQ(label->background, -1);
  const FieldRecord* right = yyfieldrecord(field(2011));
  EXPECT_EQ(right->background, 0xFF0000);
  WDialogColour(2010, std::nullopt, 0x00FF00);
  EXPECT_EQ(label->foreground, 255) << "an absent colour stays";
  EXPECT_EQ(label->background, 0x00FF00);
  WDialogColour(2010, -1);
  EXPECT_EQ(label->foreground, -1) << "-1 restores the default";
  WDialogShow();
  events();
  UpdateWindow(dialog());
  const POINT p = centre(field(2011));
  POINT c = p;
  ScreenToClient(field(2011), c);
  EXPECT_EQ(test::pixel(field(2011), 1, 1), RGB(0, 0, 255)) << "the background taken from the record";
}

TEST_F(FieldOperationTest, DoubleClickOnAListPressesTheDefaultButtonUnlessFlagged) {
  WDialogShow();
  events();
  auto doubleClick = [&](int id) {
    RECT r;
    GetWindowRect(field(id), r);
    test::click(r.left + 10, r.top + 5);
    test::click(r.left + 10, r.top + 5);
    return dialogEvents();
  };
  for (const auto& e : doubleClick(2013)) EXPECT_NE(e.first, EV_PUSHBUTTON) << "flag bit 1 set";
  SendMessage(field(2013), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  yyfieldrecord(field(2013))->userflags = 0;
  const auto got = doubleClick(2013);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back(), std::make_pair(static_cast<int>(EV_PUSHBUTTON), 1));
}

TEST_F(FieldOperationTest, TabOrderDefaultButtonEscapeAndMnemonics) {
  WDialogShow();
  events();
  ASSERT_EQ(focusId(), 2001) << "the first tab stop takes the focus";
  std::vector<int> order;
  for (int k = 0; k < 12; ++k) {
    press(VK_TAB);
    events();
    order.push_back(focusId());
  }
  const std::vector<int> want = {2002, 2003, 2004, 2005, 2006, 2007, 2013, 2014, 2015, 1, 2, 2018};
  EXPECT_EQ(order, want);
  press(VK_RETURN);
  auto got = dialogEvents();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back(), std::make_pair(static_cast<int>(EV_PUSHBUTTON), IDOK)) << "Enter presses the default button";
  press(VK_ESCAPE);
  got = dialogEvents();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back(), std::make_pair(static_cast<int>(EV_PUSHBUTTON), IDCANCEL));
  press('A', test::kAlt);
  got = dialogEvents();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back(), std::make_pair(static_cast<int>(EV_PUSHBUTTON), 2015)) << "Alt+A presses &Apply";
}

//------------------------------------------------------------------------------
// Queries
//------------------------------------------------------------------------------
TEST_F(FieldOperationTest, FieldKindsAndStates) {
  struct Case {
    int field, type;
  };
  const Case kCases[] = {{2001, 4}, {2002, 5}, {2003, 6}, {2004, 7}, {2005, 9}, {2006, 9}, {2007, 10},
                         {2008, 10}, {2010, 1}, {2011, 2}, {2012, 3}, {2013, 12}, {2015, 8}, {1, 8},
                         {4242, 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(winfodialogfield(c.field, 5), c.type);
  }
  EnableWindow(field(2015), FALSE);
  EXPECT_EQ(winfodialogfield(2015, 6), 0);
  ShowWindow(field(2015), SW_HIDE);
  EXPECT_EQ(winfodialogfield(2015, 6), 3) << "hidden whether or not disabled";
}

// The kinds and states of the field query across the test dialogs and an application dialog,
// with the dialog queries that answer for the current dialog.
TEST_F(FieldOperationTest, EveryFieldKindAndStateTheQueriesReport) {
  struct Kind {
    int dialog, field, type;
  };
  const Kind kinds[] = {{900, 2017, 14}, {900, 2018, 16}, {903, 5001, 13}, {907, 6001, 17}, {116, 1034, 11},
                        {116, 1033, 11}, {900, 2014, 12}};
  for (const Kind& k : kinds) {
    WDialogLoad(k.dialog);
    WDialogSelect(k.dialog);
    EXPECT_EQ(winfodialogfield(k.field, 5), k.type) << k.dialog << " " << k.field;
    EXPECT_EQ(winfodialog(3), k.dialog);
  }
  WDialogSelect(900);
  struct State {
    const char* why;
    int field, put, state;
  };
  const State states[] = {
      {"an edit, enabled", 2001, 1, 1},
      {"an edit read-only", 2001, 2, 2},
      {"a numeric field read-only", 2002, 2, 2},
      {"a list disabled", 2013, 0, 0},
      {"a button hidden", 2015, 3, 3},
      {"a button enabled again", 2015, 1, 1},
  };
  for (const State& c : states) {
    WDialogFieldState(c.field, c.put);
    EXPECT_EQ(winfodialogfield(c.field, 6), c.state) << c.why;
  }
  // The size of the current dialog in pixels, and its kind; none after the unload.
  RECT r;
  GetWindowRect(dialog(), r);
  EXPECT_EQ(winfodialog(9), r.bottom - r.top);
  EXPECT_EQ(winfodialog(10), 1);
  WDialogUnload();
  EXPECT_EQ(winfodialog(3), 0);
  EXPECT_EQ(winfodialog(10), 0);
}

TEST_F(FieldOperationTest, FieldGeometryAndPreviousResults) {
  RECT r;
  GetWindowRect(field(2001), r);
  POINT tl{r.left, r.top};
  ScreenToClient(dialog(), tl);
  RECT c;
  GetClientRect(field(2001), c);
  POINT ct{0, 0};
  ClientToScreen(field(2001), ct);
  ScreenToClient(dialog(), ct);
  EXPECT_EQ(winfodialogfield(2001, 1), ct.x);
  EXPECT_EQ(winfodialogfield(2001, 2), ct.y);
  EXPECT_EQ(winfodialogfield(2001, 3), c.right);
  EXPECT_EQ(winfodialogfield(2001, 4), c.bottom);
  EXPECT_EQ(winfodialogfield(2001, 9), c.bottom) << "an unknown item gives the previous answer";
  EXPECT_EQ(winfodialogfield(4242, 1), c.bottom) << "so does a missing field";
  EXPECT_EQ(winfodialogfield(2001, 7), c.bottom) << "no trackbar: the previous answer";
  EXPECT_EQ(winfodialog(3), 900);
  EXPECT_EQ(winfodialog(10), 1) << "a top-level dialog";
  WDialogShow(100, 120);
  GetWindowRect(dialog(), r);
  EXPECT_EQ(winfodialog(6), r.left);
  EXPECT_EQ(winfodialog(7), r.top);
  EXPECT_EQ(winfodialog(8), r.right - r.left);
  EXPECT_EQ(winfodialog(99), r.right - r.left);
  EXPECT_EQ(r.left, 100) << "a top-level dialog's position is in screen pixels";
}

TEST_F(FieldOperationTest, AProgressBarTakesItsRangeAndPositionFromTheCompanion) {
  EXPECT_EQ(winfodialogfield(2017, 5), 14);
  HWND bar = field(2017);
  EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 50) << "the position is the template's text";
  EXPECT_EQ(SendMessage(bar, PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessage(bar, PBM_GETRANGE, FALSE, 0), 200);
  int id = 2017;
  yyfieldclear(id);
  EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 0) << "clearing returns it to its minimum";
}

TEST_F(FieldOperationTest, ATrackbarTakesItsSettingsAndReportsItsPosition) {
  HWND bar = field(2018);
  EXPECT_EQ(winfodialogfield(2018, 5), 16);
  EXPECT_EQ(winfodialogfield(2018, 7), 0);
  EXPECT_EQ(winfodialogfield(2018, 8), 100);
  EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 30) << "the position is the template's text";
  EXPECT_EQ(SendMessage(bar, TBM_GETSELSTART, 0, 0), 20);
  EXPECT_EQ(SendMessage(bar, TBM_GETSELEND, 0, 0), 40);
  WDialogShow();
  events();
  clickOn(bar);
  events();
  SendMessage(bar, TBM_SETPOS, TRUE, 30);
  press(VK_RIGHT);
  const auto got = dialogEvents();
  EXPECT_EQ(SendMessage(bar, TBM_GETPOS, 0, 0), 35) << "one line of 5";
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back(), std::make_pair(static_cast<int>(EV_FIELDCHANGED), 2018));
  // Shift and arrows select from the anchor; Delete clears the selection.
  test::keyDown(VK_SHIFT);
  press(VK_RIGHT);
  press(VK_RIGHT);
  test::keyUp(VK_SHIFT);
  events();
  EXPECT_EQ(SendMessage(bar, TBM_GETSELSTART, 0, 0), 35);
  EXPECT_EQ(SendMessage(bar, TBM_GETSELEND, 0, 0), 45);
  press(VK_DELETE);
  events();
  EXPECT_EQ(SendMessage(bar, TBM_GETSELSTART, 0, 0), SendMessage(bar, TBM_GETSELEND, 0, 0));
}

TEST_F(FieldOperationTest, TrackbarsAndProgressBarsSetAndReadByProgram) {
  HWND track = field(2018), progress = field(2017);
  int f = 0, pos = 0, start = 0, end = 0;
  yydialogundefined(-77);
  struct Case {
    const char* why;
    std::function<void(int&)> act;
    int in, out;
  };
  const Case cases[] = {
      {"a range with ticks every 10", [](int& f) { yyrangetrack(f, -20, 80, 10); }, 2018, 2018},
      {"position and a selection", [](int& f) { yyfieldputtrack(f, 25, 0, 50, 0); }, 2018, 2018},
      {"steps, the page as the line when 0", [](int& f) { yyfieldtrackstep(f, 3, 0); }, 2018, 2018},
      {"a progress bar is no trackbar", [](int& f) { yyfieldputtrack(f, 1, 0, 0, 0); }, 2017, -1},
      {"a trackbar is no progress bar", [](int& f) { yyfieldputprogress(f, 1, 0); }, 2018, -1},
      {"a missing field", [](int& f) { yyrangeprogress(f, 0, 10); }, 4242, -1},
      {"a 16-bit progress range", [](int& f) { yyrangeprogress(f, -100, 300); }, 2017, 2017},
      {"the position", [](int& f) { yyfieldputprogress(f, 120, 0); }, 2017, 2017},
      {"advanced by 30", [](int& f) { yyfieldputprogress(f, 30, 1); }, 2017, 2017},
  };
  for (const Case& c : cases) {
    f = c.in;
    c.act(f);
    EXPECT_EQ(f, c.out) << c.why;
  }
  EXPECT_EQ(winfodialogfield(2018, 7), -20);
  EXPECT_EQ(winfodialogfield(2018, 8), 80);
  EXPECT_EQ(SendMessage(track, TBM_GETLINESIZE, 0, 0), 3);
  EXPECT_EQ(SendMessage(track, TBM_GETPAGESIZE, 0, 0), 3);
  f = 2018;
  yyfieldgettrack(f, pos, start, end);
  EXPECT_EQ(pos, 25);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 50);
  // Mode 1 keeps the selection, mode 2 clears it: then both ends read as undefined.
  yyfieldputtrack(f, 60, 5, 6, 1);
  yyfieldgettrack(f, pos, start, end);
  EXPECT_EQ(pos, 60);
  EXPECT_EQ(start, 0);
  yyfieldputtrack(f, 60, 0, 0, 2);
  yyfieldgettrack(f, pos, start, end);
  EXPECT_EQ(start, -77);
  EXPECT_EQ(end, -77);
  EXPECT_EQ(SendMessage(progress, PBM_GETPOS, 0, 0), 150);
  EXPECT_EQ(SendMessage(progress, PBM_GETRANGE, TRUE, 0), -100);
  EXPECT_EQ(SendMessage(progress, PBM_GETRANGE, FALSE, 0), 300);
}

TEST_F(FieldOperationTest, ADialogSizedByProgramHidesTheFieldsItCutsOff) {
  WDialogShow();
  events();
  WDialogSetField(2018);
  RECT before;
  GetClientRect(dialog(), before);
  int status = 1;
  // 170 dialog units wide cuts off the group box, both lists and the buttons at the bottom;
  // 0 keeps the height.
  yydialogsize(170, 0, status);
  EXPECT_EQ(status, 0);
  RECT now;
  GetClientRect(dialog(), now);
  RECT units{0, 0, 170, 0};
  MapDialogRect(dialog(), units);
  EXPECT_EQ(now.right, units.right);
  EXPECT_EQ(now.bottom, before.bottom);
  for (int id : {2012, 2013, 2014, IDOK, IDCANCEL}) EXPECT_FALSE(IsWindowVisible(field(id))) << id;
  for (int id : {2001, 2010, 2018}) EXPECT_TRUE(IsWindowVisible(field(id))) << id;
  EXPECT_EQ(yyfieldrecord(field(IDOK))->state, 1) << "the recorded state is kept";
  // The second list had been disabled by program: it comes back disabled.
  WDialogFieldState(2014, 0);
  yydialogsize(300, 220, status);
  for (int id : {2012, 2013, 2014, IDOK, IDCANCEL}) EXPECT_TRUE(IsWindowVisible(field(id))) << id;
  EXPECT_FALSE(IsWindowEnabled(field(2014)));
  EXPECT_TRUE(IsWindowEnabled(field(2013)));
  // A field cut off while it has the focus passes the focus on.
  WDialogSetField(IDCANCEL);
  yydialogsize(0, 100, status);
  EXPECT_FALSE(IsWindowVisible(field(IDCANCEL)));
  EXPECT_NE(focusId(), IDCANCEL);
  EXPECT_NE(GetFocus(), nullptr);
}

TEST_F(FieldOperationTest, ADialogCombinedWithAChildWindowGoesWithTheWindow) {
  int dialog = 902;
  WindowOpenChildOptions o;
  o.dialog = &dialog;
  int n = 0;
  WindowOpenChild(n, o);
  ASSERT_GT(n, 0);
  EXPECT_EQ(dialog, 902);
  EXPECT_EQ(tessar.dialog.CURDIALOG, 902);
  EXPECT_EQ(winfodialog(10), 4) << "combined with a toolkit window";
  EXPECT_EQ(text(4001), "7");
  WDialogHide();
  EXPECT_EQ(tessar.error.LASTERROR, 1047) << "a combined dialog is hidden with its window";
  const int loaded = dialogtable.nDialogs;
  WindowCloseChild(n);
  EXPECT_EQ(dialogtable.nDialogs, loaded - 1);
  EXPECT_EQ(tessar.dialog.CURDIALOG, 0);
  WDialogSelect(900);
  EXPECT_EQ(tessar.error.LASTERROR, 1047) << "the other dialog stays loaded";
  EXPECT_EQ(text(2001), "hello");
}

//------------------------------------------------------------------------------
// Resizable dialogs
//------------------------------------------------------------------------------
TEST_F(FieldOperationTest, AResizableDialogKeepsItsAnchors) {
  WDialogLoad(901);
  WDialogShow();
  events();
  HWND d = dialog();
  ASSERT_EQ(yyIsResizableDialog(d), 1);
  auto rectOf = [&](int id) {
    RECT r;
    GetWindowRect(field(id), r);
    return r;
  };
  const RECT list = rectOf(3002), box = rectOf(3001), ok = rectOf(1);
  RECT w;
  GetWindowRect(d, w);
  SetWindowPos(d, nullptr, 0, 0, w.right - w.left + 50, w.bottom - w.top + 30, SWP_NOMOVE | SWP_NOZORDER);
  events();
  const RECT list2 = rectOf(3002), box2 = rectOf(3001), ok2 = rectOf(1);
  EXPECT_EQ((list2.right - list2.left) - (list.right - list.left), 50) << "the list box stretches";
  EXPECT_EQ((list2.bottom - list2.top) - (list.bottom - list.top), 30);
  EXPECT_EQ((box2.right - box2.left) - (box.right - box.left), 50) << "the box around it grows";
  EXPECT_EQ((ok2.left - list2.left) - (ok.left - list.left), 50) << "the buttons right of it move";
  EXPECT_EQ(ok2.right - ok2.left, ok.right - ok.left);
  EXPECT_EQ(ok2.top - box2.top, ok.top - box.top) << "and stay at their height";
  // Not smaller than it was made.
  SetWindowPos(d, nullptr, 0, 0, 50, 40, SWP_NOMOVE | SWP_NOZORDER);
  MINMAXINFO mm{};
  SendMessage(d, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
  EXPECT_EQ(mm.ptMinTrackSize.x, yydialogrecord(d)->minwidth);
}

TEST_F(FieldOperationTest, AResizableDialogHasASizeGripInItsCorner) {
  WDialogLoad(901);
  WDialogShow();
  events();
  HWND d = dialog();
  HWND grip = GetDlgItem(d, -1);
  ASSERT_NE(grip, nullptr) << "a size grip";
  RECT g, cl;
  GetWindowRect(grip, g);
  GetClientRect(d, cl);
  POINT br{cl.right, cl.bottom};
  ClientToScreen(d, br);
  EXPECT_EQ(g.right, br.x);
  EXPECT_EQ(g.bottom, br.y);
}

}  // namespace
