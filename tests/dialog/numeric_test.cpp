// Numeric fields as a user meets them: keystrokes filtered by class, entries outside the
// range or not numbers refused with a beep and the focus held, OK insisting and other
// buttons putting the last valid entry back, reformatting on leaving, spin steps, and the
// events the fields post.
#include <cstring>

#include "platform/clipboard.h"
#include "tests/dialog/dialog_fixture.h"

namespace {

using namespace win;
using dlgtest::DialogFixture;

class NumericFieldTest : public DialogFixture {
 protected:
  // The parameter dialog shown modeless, the parameter field holding its template text.
  void showParameters() {
    loadAndShow(110);
    WDialogSpinnerStep(1019, 0.005f);
  }
  void enter(int id, std::string_view s) {
    clickOn(field(id));
    events();
    press('A', test::kCtrl);
    type(s);
  }
};

TEST_F(NumericFieldTest, OkRefusesAnEntryOutsideTheRangeAndPostsNothing) {
  showParameters();
  enter(1019, "1.5");
  ASSERT_EQ(text(1019), "1.5");
  const int beeps = test::beepCount();
  clickOn(field(IDOK));
  const auto got = dialogEvents();
  EXPECT_GT(test::beepCount(), beeps);
  EXPECT_EQ(focusId(), 1019) << "the focus is back in the field";
  DWORD a = 0, b = 0;
  SendMessage(field(1019), EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a, 0u);
  EXPECT_EQ(b, 3u) << "its text selected whole";
  for (const auto& e : got) EXPECT_NE(e.first, EV_PUSHBUTTON) << "no push-button event";
  float v = 0;
  WDialogGetReal(1019, v);
  EXPECT_FLOAT_EQ(v, 1.5f) << "the text as the user left it";
}

TEST_F(NumericFieldTest, AnotherButtonPutsTheLastValidEntryBackAndProceeds) {
  showParameters();
  enter(1019, "1.5");
  clickOn(field(1026));   // Zoom In
  const auto got = dialogEvents();
  EXPECT_EQ(text(1019), "0.925");
  float v = 0;
  WDialogGetReal(1019, v);
  EXPECT_FLOAT_EQ(v, 0.925f) << "the stored value is the last valid one";
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back(), std::make_pair(static_cast<int>(EV_PUSHBUTTON), 1026));
}

TEST_F(NumericFieldTest, TextsThatAreNoNumbersAreRefused) {
  showParameters();
  clickOn(field(1019));
  events();
  const int beeps = test::beepCount();
  type("abc");
  EXPECT_EQ(text(1019), "0.925") << "letters are dropped as they are typed";
  EXPECT_EQ(test::beepCount(), beeps + 3);
  // Pasting still inserts any text; leaving judges it.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
  std::memcpy(GlobalLock(block), "abc", 4);
  GlobalUnlock(block);
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
  press('A', test::kCtrl);
  press('V', test::kCtrl);
  events();
  ASSERT_EQ(text(1019), "abc");
  clickOn(field(IDOK));
  const auto got = dialogEvents();
  EXPECT_EQ(focusId(), 1019);
  for (const auto& e : got) EXPECT_NE(e.first, EV_PUSHBUTTON);
  press(VK_TAB);
  events();
  EXPECT_EQ(focusId(), 1019) << "Tab cannot leave it either";
  float v = 0;
  WDialogGetReal(1019, v);
  tessar.error = ErrorState{};
  clickOn(field(1026));
  events();
  WDialogGetReal(1019, v);
  EXPECT_FLOAT_EQ(v, 0.925f) << "the stored value never took the refused text";
}

TEST_F(NumericFieldTest, KeystrokesAreFilteredByClass) {
  struct Case {
    const char* why;
    int dialog, field;
    const char* typed;
    const char* shown;
    int beeps;
  };
  const Case kCases[] = {
      {"integer: letters and the point are dropped", 101, 1001, "1x2.", "12", 2},
      {"integer: signs are kept", 101, 1003, "-7", "-7", 0},
      {"real: the exponent letter becomes upper case", 110, 1019, "1e-2", "1E-2", 0},
      {"real: a D is no exponent of a real", 110, 1019, "1d2", "12", 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    WDialogLoad(c.dialog);
    WDialogShow();
    events();
    clickOn(field(c.field));
    events();
    press('A', test::kCtrl);
    press(VK_BACK);
    events();
    const int beeps = test::beepCount();
    type(c.typed);
    EXPECT_EQ(text(c.field), c.shown);
    EXPECT_EQ(test::beepCount() - beeps, c.beeps);
    WDialogHide();
  }
}

TEST_F(NumericFieldTest, LeavingAValidEntryReformatsItAndStoresTheValue) {
  showParameters();
  enter(1019, ".95");
  press(VK_TAB);
  events();
  EXPECT_NE(focusId(), 1019);
  EXPECT_EQ(text(1019), "0.950") << "the display format (F5.3)";
  const FieldRecord* fr = yyfieldrecord(field(1019));
  EXPECT_DOUBLE_EQ(fr->value, 0.95);
  WDialogLoad(101);
  WDialogShow();
  events();
  enter(1002, "07");
  press(VK_TAB);
  events();
  EXPECT_EQ(text(1002), "7") << "integers are rewritten as integers";
}

TEST_F(NumericFieldTest, TabbingOutOfAnInvalidFieldOntoAButtonBeepsAndStays) {
  showParameters();
  enter(1019, "0.5");
  const int beeps = test::beepCount();
  press(VK_TAB);
  events();
  EXPECT_EQ(focusId(), 1019);
  EXPECT_GT(test::beepCount(), beeps);
  EXPECT_EQ(text(1019), "0.5");
}

TEST_F(NumericFieldTest, EmptyingAFieldThatHasARangeIsRefused) {
  showParameters();
  enter(1019, "");
  press(VK_BACK);
  events();
  ASSERT_EQ(text(1019), "");
  press(VK_TAB);
  events();
  EXPECT_EQ(focusId(), 1019) << "a field that held a value and has a range cannot be left empty";
}

TEST_F(NumericFieldTest, SpinStepsClampAndSnap) {
  struct Case {
    const char* why;
    int dialog, field;
    double start;
    double small, large;
    int origin;
    int delta;
    const char* shown;
  };
  const Case kCases[] = {
      {"one step up", 110, 1019, 0.925, 0.005, 0.005, 0, 1, "0.930"},
      {"clamped at the maximum", 110, 1019, 0.985, 0.01, 0.01, 0, 1, "0.990"},
      {"stays at the maximum", 110, 1019, 0.990, 0.01, 0.01, 0, 1, "0.990"},
      {"clamped at the minimum", 110, 1019, 0.905, 0.01, 0.05, 0, -5, "0.900"},
      {"integer snapped down to a multiple of the step", 101, 1003, 3, 5, 5, 0, 1, "5"},
      {"integer one step down from 3", 101, 1003, 3, 5, 5, 0, -1, "0"},
      {"counted from the origin", 101, 1003, 1966, 10, 10, 1965, 1, "1975"},
      {"a step below 1 still moves by one unit", 101, 1003, 1966, 0.5, 0.5, 0, 1, "1966"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    WDialogLoad(c.dialog);
    HWND f = field(c.field);
    FieldRecord* fr = yyfieldrecord(f);
    ASSERT_NE(fr, nullptr);
    fr->value = c.start;
    fr->smallstep = c.small;
    fr->largestep = c.large;
    fr->spinorigin = c.origin;
    SendMessage(f, EM_SETMODIFY, FALSE, 0);
    yyspinstep(f, c.delta);
    EXPECT_EQ(text(c.field), c.shown);
    EXPECT_EQ(fr->valueflag, 1);
  }
}

TEST_F(NumericFieldTest, TheSpinArrowStepsTheParameterAndPostsAFieldChange) {
  showParameters();
  clickSpin(1019, true);
  const auto got = dialogEvents();
  EXPECT_EQ(text(1019), "0.930");
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back(), std::make_pair(static_cast<int>(EV_FIELDCHANGED), 1019));
  WDialogPutReal(1019, 0.985f);
  for (int k = 0; k < 3; ++k) clickSpin(1019, true);
  events();
  EXPECT_EQ(text(1019), "0.990");
}

TEST_F(NumericFieldTest, FieldsPostTheirChangesInOrder) {
  showParameters();
  events();
  clickOn(field(1021));   // Logarithmic
  clickOn(field(1019));
  test::typeText("5");
  clickOn(field(1026));   // Zoom In
  const auto got = dialogEvents();
  const std::vector<std::pair<int, int>> want = {
      {EV_FIELDCHANGED, 1021}, {EV_FIELDCHANGED, 1019}, {EV_FIELDCHANGED, 1026}, {EV_PUSHBUTTON, 1026}};
  EXPECT_EQ(got, want);
}

TEST_F(NumericFieldTest, WDialogRangeIntegerFillsTheMissingEnd) {
  WDialogLoad(101);
  WDialogRangeInteger(1001, 1);
  const FieldRecord* fr = yyfieldrecord(field(1001));
  EXPECT_DOUBLE_EQ(fr->rangemin, 1);
  EXPECT_DOUBLE_EQ(fr->rangemax, 2147483647);
  WDialogRangeInteger(1001);
  EXPECT_FALSE(fr->hasrange());
  WDialogRangeInteger(4242, 1, 2);
  EXPECT_EQ(tessar.error.LASTERROR, 1006);
  WDialogSpinnerStep(1001, 2.0f);
  EXPECT_EQ(tessar.error.LASTERROR, 1006) << "an integer field takes no real steps";
}

}  // namespace
