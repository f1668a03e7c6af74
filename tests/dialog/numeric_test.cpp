// Numeric fields as a user meets them: keystrokes filtered by class, entries outside the
// range or not numbers refused with a beep and the focus held, OK insisting and other
// buttons putting the last valid entry back, reformatting on leaving, spin steps, and the
// events the fields post.
#include <cmath>
#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/message_box.h"
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
  EXPECT_EQ(text(1019), "1.5") << "the text as the user left it";
  float v = 0;
  WDialogGetReal(1019, v);
  EXPECT_FLOAT_EQ(v, 0.925f) << "a refused entry is never read as the field's value";
}

// Clicking "Logarithmic" with 1.5 in the parameter field flipped the radio button and posted
// its change, and the program read 1.5 and separated with it.
TEST_F(NumericFieldTest, AnotherControlsClickWaitsUntilTheFieldAcceptsItsEntry) {
  showParameters();
  enter(1019, "1.5");
  const int beeps = test::beepCount();
  clickOn(field(1021));
  const auto refused = dialogEvents();
  EXPECT_GT(test::beepCount(), beeps);
  EXPECT_EQ(focusId(), 1019);
  EXPECT_EQ(SendMessage(field(1021), BM_GETCHECK, 0, 0), BST_UNCHECKED) << "the click did not take effect";
  EXPECT_EQ(SendMessage(field(1020), BM_GETCHECK, 0, 0), BST_CHECKED);
  for (const auto& e : refused) EXPECT_NE(e.first, EV_FIELDCHANGED) << "nothing posted";
  float v = 0;
  WDialogGetReal(1019, v);
  EXPECT_FLOAT_EQ(v, 0.925f);
  // Once the entry is one the field accepts, the same click goes through.
  press('A', test::kCtrl);
  type("0.95");
  clickOn(field(1021));
  const auto accepted = dialogEvents();
  EXPECT_EQ(SendMessage(field(1021), BM_GETCHECK, 0, 0), BST_CHECKED);
  ASSERT_FALSE(accepted.empty());
  EXPECT_EQ(accepted.back(), std::make_pair(static_cast<int>(EV_FIELDCHANGED), 1021));
  WDialogGetReal(1019, v);
  EXPECT_FLOAT_EQ(v, 0.95f);
}

// An integer field without a range showed "-2147483648" after 2147483648 was typed while the
// program read 2147483647; "1E99" in a real field showed "Inf".
TEST_F(NumericFieldTest, NumbersTheFieldsKindCannotHoldAreRefused) {
  struct Case {
    const char* why;
    int field;
    const char* typed;
    bool refused;
    double read;      // what the program reads while the text stands
    const char* put;  // the field's text before the case
  };
  const Case kCases[] = {
      {"integer of eleven digits", 7501, "99999999999", true, 7, "7"},
      {"one past the largest integer", 7501, "2147483648", true, 7, "7"},
      {"one below the smallest integer", 7501, "-2147483649", true, 7, "7"},
      {"the largest integer", 7501, "2147483647", false, 2147483647.0, "7"},
      {"the smallest integer", 7501, "-2147483648", false, -2147483648.0, "7"},
      {"real beyond single precision", 7502, "1E99", true, 2.5, "2.5"},
      {"real within single precision", 7502, "3E38", false, 3e38, "2.5"},
      {"double beyond double precision", 7503, "1E999", true, 2.5, "2.5"},
      {"double within double precision", 7503, "1E300", false, 1e300, "2.5"},
  };
  loadAndShow(933);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    WDialogPutString(c.field, c.put);
    enter(c.field, c.typed);
    ASSERT_EQ(text(c.field), c.typed);
    int id = c.field;
    double v = 0;
    yyfieldgetvalue(id, v);
    EXPECT_EQ(id, c.field);
    EXPECT_DOUBLE_EQ(v, c.read);
    const int beeps = test::beepCount();
    press(VK_TAB);
    events();
    EXPECT_EQ(focusId() == c.field, c.refused) << "a refused entry holds the focus";
    EXPECT_EQ(test::beepCount() > beeps, c.refused);
    if (c.refused) {
      EXPECT_EQ(text(c.field), c.typed);
    } else if (c.field == 7501) {
      EXPECT_EQ(text(c.field), c.typed) << "the integer shown is the one typed";
      int got = 0;
      WDialogGetInteger(c.field, got);
      EXPECT_EQ(got, static_cast<int>(c.read));
    }
    WDialogPutString(c.field, c.put);
  }
}

TEST_F(NumericFieldTest, OkWithTheExplainingOptionSaysWhatTheFieldAccepts) {
  showParameters();
  WDialogFieldOptions(1019, 4, 1);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  enter(1019, "1.5");
  test::answerNextMessageBoxWithKey(VK_RETURN);
  clickOn(field(IDOK));
  const auto got = dialogEvents();
  ASSERT_FALSE(test::messageBoxes().empty());
  EXPECT_EQ(test::messageBoxes().back().text, "Please enter a number from 0.900 to 0.990.");
  EXPECT_EQ(test::messageBoxes().back().title, "Baseflow Parameters");
  for (const auto& e : got) EXPECT_NE(e.first, EV_PUSHBUTTON);
  EXPECT_EQ(focusId(), 1019) << "the field has the focus again";
  // Was: the field stored the refused entry when the box took the focus ("1.500", read 1.5).
  EXPECT_EQ(text(1019), "1.5") << "the entry stays as typed, to be corrected";
  float v = 0;
  WDialogGetReal(1019, v);
  EXPECT_FLOAT_EQ(v, 0.925f) << "the field reads its last accepted value";
  // Enter brings the box again; every field change read meanwhile finds the accepted value.
  test::answerNextMessageBoxWithKey(VK_RETURN);
  press(VK_RETURN);
  const auto changes = fieldChanges([] {
    float r = 0;
    WDialogGetReal(1019, r);
    return static_cast<int>(std::lround(r * 1000));
  });
  for (const Change& c : changes) EXPECT_EQ(c.seen, 925) << "read at a field change";
  EXPECT_EQ(test::messageBoxes().size(), 2u);
  EXPECT_EQ(text(1019), "1.5");
  clickOn(field(1026));   // another push button puts the last valid entry back
  dialogEvents();
  EXPECT_EQ(text(1019), "0.925");
  WDialogGetReal(1019, v);
  EXPECT_FLOAT_EQ(v, 0.925f);
  WDialogFieldOptions(1001, 4, 1);
  EXPECT_EQ(tessar.error.LASTERROR, 1006) << "a field that is not numeric has no such option";
}

// Was: only the first 255 characters of an entry were judged and stored, so a long entry
// whose exponent came later was taken for another number.
TEST_F(NumericFieldTest, ALongEntryIsJudgedAndStoredWhole) {
  loadAndShow(933);
  struct Case {
    const char* why;
    std::string typed;
    bool refused;
    double read;   // after Tab
  };
  const Case kCases[] = {
      {"1E39 written with 260 zeros: beyond a single, refused", "0.1" + std::string(260, '0') + "E40", true, 2.5},
      {"1E11 written with 260 zeros: accepted", "10" + std::string(260, '0') + "E-250", false, 1e11},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    WDialogPutString(7502, "2.5");
    enter(7502, c.typed);
    ASSERT_EQ(text(7502), c.typed);
    press(VK_TAB);
    events();
    EXPECT_EQ(focusId() == 7502, c.refused);
    int id = 7502;
    double v = 0;
    yyfieldgetvalue(id, v);
    EXPECT_NEAR(v, c.read, c.read * 1e-6);
  }
}

// Was: a program's put of NaN into a field with a range was accepted, an infinite put showed
// "Inf" while the read gave the largest single, and -1E-60 in a real field showed "-0.00".
TEST_F(NumericFieldTest, PutsTheFieldWouldRefuseTypedAreRefused) {
  loadAndShow(933);
  const double nan = std::nan(""), inf = HUGE_VAL;
  struct Case {
    const char* why;
    int field;
    double value;
    bool asdouble;   // WDialogPutDouble, else WDialogPutReal
  };
  const Case kCases[] = {
      {"NaN into a real field", 7502, nan, false},
      {"infinity into a real field", 7502, inf, false},
      {"minus infinity into a real field", 7502, -inf, false},
      {"beyond a single, into a real field", 7502, 1e39, true},
      {"NaN into a double field", 7503, nan, true},
      {"infinity into a double field", 7503, inf, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    WDialogPutString(c.field, "2.5");
    tessar.error.LASTERROR = 0;
    if (c.asdouble) WDialogPutDouble(c.field, c.value);
    else WDialogPutReal(c.field, static_cast<float>(c.value));
    EXPECT_EQ(tessar.error.LASTERROR, 1009);
    EXPECT_EQ(text(c.field), "2.5") << "the field is not changed";
    int id = c.field;
    double v = 0;
    yyfieldgetvalue(id, v);
    EXPECT_DOUBLE_EQ(v, 2.5);
  }
  // With a range: NaN is outside it too.
  WDialogUnload();
  tessar.error.LASTERROR = 0;
  showParameters();
  tessar.error.LASTERROR = 0;
  WDialogPutReal(1019, static_cast<float>(nan));
  EXPECT_EQ(tessar.error.LASTERROR, 1009);
  EXPECT_EQ(text(1019), "0.925");

  // A zero too small for a single, put or typed, shows as zero without a sign.
  WDialogUnload();
  tessar.error.LASTERROR = 0;
  loadAndShow(933);
  WDialogPutDouble(7502, -1e-60, "(F0.2)");
  EXPECT_EQ(text(7502), "0.00");
  WDialogPutReal(7502, 2.5f, "(F0.2)");
  enter(7502, "-1E-60");
  press(VK_TAB);
  events();
  EXPECT_EQ(text(7502), "0.00");
  float r = 1;
  WDialogGetReal(7502, r);
  EXPECT_EQ(r, 0.0f);
  EXPECT_FALSE(std::signbit(r));
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
