// The table of loaded dialogs: loading, selecting, showing modeless, semi-modeless and modal,
// hiding and unloading, and the companion texts the application's dialogs carry.
#include "platform/gdi.h"
#include "tests/dialog/dialog_fixture.h"

namespace {

using namespace win;
using dlgtest::DialogFixture;

class DialogTableTest : public DialogFixture {};

TEST_F(DialogTableTest, LoadingTwiceUnderOneIdentifierMakesOneDialog) {
  WDialogLoad(110);
  HWND first = dialog();
  WDialogLoad(101);
  WDialogLoad(110);
  EXPECT_EQ(dialogtable.nDialogs, 2);
  EXPECT_EQ(dialog(), first) << "the second load only selects it";
  EXPECT_EQ(tessar.dialog.CURDIALOG, 110);
}

TEST_F(DialogTableTest, OneTemplateUnderTwoIdentifiersGivesTwoDialogs) {
  WDialogLoad(110, 500);
  WDialogPutString(1019, "0.95");
  WDialogLoad(110, 501);
  WDialogPutString(1019, "0.91");
  EXPECT_EQ(dialogtable.nDialogs, 2);
  WDialogSelect(500);
  EXPECT_EQ(text(1019), "0.95");
  WDialogSelect(501);
  EXPECT_EQ(text(1019), "0.91");
}

TEST_F(DialogTableTest, TheHundredAndFirstLoadFailsAndLeavesTheTable) {
  for (int id = 1; id <= 100; ++id) WDialogLoad(101, 2000 + id);
  ASSERT_EQ(dialogtable.nDialogs, 100);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  WDialogLoad(101, 3000);
  EXPECT_EQ(tessar.error.LASTERROR, 1087);
  EXPECT_EQ(dialogtable.nDialogs, 100);
  EXPECT_EQ(tessar.dialog.CURDIALOG, 2100) << "the current dialog stays";
}

TEST_F(DialogTableTest, FailuresRecordTheirErrorsAndChangeNothing) {
  struct Case {
    const char* why;
    void (*op)();
    int error;
  };
  const Case kCases[] = {
      {"no DIALOG resource of that number", [] { WDialogLoad(4242); }, 1007},
      {"selecting an identifier nobody loaded", [] { WDialogSelect(4242); }, 1008},
      {"showing without a current dialog", [] { WDialogShow(); }, 1005},
      {"unloading without a current dialog", [] { WDialogUnload(); }, 1005},
      {"a field operation without a current dialog", [] { WDialogPutString(1019, "x"); }, 1005},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    tessar.error = ErrorState{};
    c.op();
    EXPECT_EQ(tessar.error.LASTERROR, c.error);
    EXPECT_EQ(tessar.dialog.CURDIALOG, 0);
    EXPECT_EQ(dialogtable.nDialogs, 0);
  }
  tessar.error = ErrorState{};
  WDialogHide();
  EXPECT_EQ(tessar.error.LASTERROR, 0) << "hiding without a dialog records nothing";
}

// Unloading a dialog that lies below the current one in the table shifted the current
// index onto the next dialog.
TEST_F(DialogTableTest, UnloadingAnEarlierDialogKeepsTheCurrentOne) {
  WDialogLoad(101);
  WDialogLoad(109);
  WDialogLoad(110);
  HWND current = dialog();
  WDialogSelect(101);
  WDialogUnload();
  EXPECT_EQ(tessar.dialog.CURDIALOG, 0);
  WDialogSelect(110);
  ASSERT_EQ(dialog(), current);
  // The program's own path: a dialog destroyed with its window leaves the table.
  WDialogSelect(109);
  HWND about = dialog();
  WDialogSelect(110);
  DestroyWindow(about);
  EXPECT_EQ(dialogtable.nDialogs, 1);
  EXPECT_EQ(dialog(), current);
  EXPECT_EQ(tessar.dialog.CURDIALOG, 110);
}

TEST_F(DialogTableTest, UnloadClearsTheCurrentDialogAndFieldOperationsThenFail) {
  WDialogLoad(110);
  WDialogUnload();
  EXPECT_EQ(tessar.dialog.CURDIALOG, 0);
  EXPECT_EQ(winfodialog(3), 0);
  WDialogPutReal(1019, 0.95f);
  EXPECT_EQ(tessar.error.LASTERROR, 1005);
}

TEST_F(DialogTableTest, ShowWithoutArgumentsCentresAModelessDialogOnTheScreen) {
  loadAndShow(110);
  RECT r;
  GetWindowRect(dialog(), r);
  EXPECT_TRUE(IsWindowVisible(dialog()));
  EXPECT_EQ(r.left, (1280 - (r.right - r.left)) / 2);
  EXPECT_EQ(r.top, (1024 - (r.bottom - r.top)) / 2);
  EXPECT_EQ(yydialogrecord(dialog())->showmode, 2);
  EXPECT_TRUE(IsWindowEnabled(winslot(0).wWindow)) << "a modeless dialog leaves the main window enabled";
  WDialogHide();
  EXPECT_FALSE(IsWindowVisible(dialog()));
}

TEST_F(DialogTableTest, SemiModelessDisablesTheOtherWindowsUntilHidden) {
  loadAndShow(101);
  HWND modeless = dialog();
  WDialogLoad(110);
  WDialogShow(std::nullopt, std::nullopt, std::nullopt, 3);
  HWND semi = dialog();
  EXPECT_FALSE(IsWindowEnabled(winslot(0).wWindow));
  EXPECT_FALSE(IsWindowEnabled(modeless));
  EXPECT_TRUE(IsWindowEnabled(semi));
  EXPECT_EQ(dialogtable.nSemi, 1);

  // A modeless request while a semi-modeless dialog is up becomes semi-modeless: 1014.
  WDialogLoad(109);
  WDialogShow();
  EXPECT_EQ(tessar.error.LASTERROR, 1014);
  EXPECT_EQ(yydialogrecord(dialog())->showmode, 3);
  WDialogHide();
  WDialogSelect(110);
  WDialogHide();
  EXPECT_EQ(dialogtable.nSemi, 0);
  EXPECT_TRUE(IsWindowEnabled(winslot(0).wWindow));
  EXPECT_TRUE(IsWindowEnabled(modeless));
}

TEST_F(DialogTableTest, ModalShowHandsTheTypedValuesBackToTheLoadedDialog) {
  WDialogLoad(110);
  int step = 0;
  test::setIdleHook([&] {
    HWND modal = dialogtable.hDialogList[0];
    ASSERT_NE(modal, nullptr);
    if (step++ == 0) {
      HWND f = GetDlgItem(modal, 1019);
      SetFocus(f);
      SendMessage(f, EM_SETSEL, 0, -1);
      test::typeText("0.95");
    } else {
      test::pressKey(VK_RETURN);
    }
  });
  WDialogShow(std::nullopt, std::nullopt, 1019, 1);
  test::setIdleHook({});
  EXPECT_EQ(tessar.error.LASTERROR, 0);
  EXPECT_EQ(dialogtable.hDialogList[0], nullptr);
  EXPECT_FALSE(IsWindowVisible(dialog())) << "the loaded dialog stays hidden";
  EXPECT_EQ(winfodialog(1), 1) << "the button that ended it";
  EXPECT_EQ(winfodialog(2), 1019) << "the field that had the focus";
  EXPECT_EQ(winfodialog(5), 110);
  EXPECT_EQ(text(1019), "0.95") << "Enter leaves the field unformatted; the value reads from the text";
  float v = 0;
  WDialogGetReal(1019, v);
  EXPECT_FLOAT_EQ(v, 0.95f);
  EXPECT_TRUE(IsWindowEnabled(winslot(0).wWindow));
}

// A dialog loaded under another identifier than its resource showed the template of the
// identifier's number (or nothing) modal.
TEST_F(DialogTableTest, ModalShowUnderAnotherIdentifierUsesItsOwnTemplate) {
  WDialogLoad(110, 7777);
  test::setIdleHook([] { test::pressKey(VK_ESCAPE); });
  WDialogShow(std::nullopt, std::nullopt, std::nullopt, 1);
  test::setIdleHook({});
  EXPECT_EQ(winfodialog(1), 2) << "Escape ends it with Cancel";
  EXPECT_EQ(winfodialog(5), 7777);
}

TEST_F(DialogTableTest, ModeOutsideOneToThreeShowsModelessAndRecords1014) {
  WDialogLoad(110);
  WDialogShow(std::nullopt, std::nullopt, std::nullopt, 7);
  EXPECT_EQ(tessar.error.LASTERROR, 1014);
  EXPECT_TRUE(IsWindowVisible(dialog()));
}

TEST_F(DialogTableTest, ClosingTheRootWindowUnloadsEveryDialog) {
  loadAndShow(110);
  WDialogLoad(101);
  windowclose();
  EXPECT_EQ(dialogtable.nDialogs, 0);
  EXPECT_EQ(tessar.dialog.CURDIALOG, 0);
}

//------------------------------------------------------------------------------
// Companion texts
//------------------------------------------------------------------------------
class CompanionTest : public DialogFixture {};

TEST_F(CompanionTest, HeaderWordsMatchAsTheirPrefix) {
  struct Case {
    const char* why;
    const char* text;
    bool match;
  };
  const Case kCases[] = {
      {"the word itself", "[Ranges] ", true},
      {"more text after the word", "[Ranges] of the fields", true},
      {"a text ending inside the word", "[Ran", true},
      {"case counts", "[ranges]", false},
      {"another word", "[Menus]", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(strcmpvxk("[Ranges]", c.text) == 0, c.match);
  }
}

TEST_F(CompanionTest, TheParameterDialogTakesItsRangeChecksFontsAndFormat) {
  WDialogLoad(110);
  const FieldRecord* fr = yyfieldrecord(field(1019));
  ASSERT_NE(fr, nullptr);
  EXPECT_DOUBLE_EQ(fr->rangemin, 0.90);
  EXPECT_DOUBLE_EQ(fr->rangemax, 0.99) << "the line that ends in six blanks still reads";
  ASSERT_NE(fr->format, nullptr);
  EXPECT_EQ(*fr->format, "(F5.3)");
  EXPECT_EQ(SendMessage(field(1020), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessage(field(1021), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_NE(SendMessage(field(1019), WM_GETFONT, 0, 0), SendMessage(dialog(), WM_GETFONT, 0, 0));
}

TEST_F(CompanionTest, StartDateRangesAndAboutFonts) {
  WDialogLoad(101);
  struct Case {
    int field;
    double lo, hi;
  };
  for (const Case& c : {Case{1001, 1, 31}, Case{1002, 1, 12}, Case{1003, 0, 3000}}) {
    SCOPED_TRACE(c.field);
    const FieldRecord* fr = yyfieldrecord(field(c.field));
    ASSERT_NE(fr, nullptr);
    EXPECT_DOUBLE_EQ(fr->rangemin, c.lo);
    EXPECT_DOUBLE_EQ(fr->rangemax, c.hi);
  }
  WDialogLoad(109);
  struct Font {
    LONG weight, height;
    std::string face;
  };
  auto fontof = [](HWND f) {
    HDC dc = GetDC(f);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(f, WM_GETFONT, 0, 0)));
    TEXTMETRIC tm;
    GetTextMetrics(dc, tm);
    char face[64] = {};
    GetTextFace(dc, sizeof face, face);
    SelectObject(dc, old);
    ReleaseDC(f, dc);
    return Font{tm.tmWeight, tm.tmHeight - tm.tmInternalLeading, face};
  };
  const Font version = fontof(field(1007)), title = fontof(field(1035));
  EXPECT_EQ(version.weight, 700) << "Version: is bold";
  EXPECT_EQ(version.height, 11) << "8 points at 96 dpi";
  EXPECT_EQ(title.height, 24) << "18 points";
  EXPECT_EQ(title.face, "Arial Black");
}

// Companion texts that would leave a dialog unsound are refused as a whole: the load records
// 1088, the current dialog stays, and nothing the text loaded stays loaded (each of these
// used to run out of range, recurse until the stack overflowed, ask for 109 GB or leave its
// pages loaded for good).
TEST_F(CompanionTest, TextsThatWouldLeaveTheDialogUnsoundAreRefused) {
  struct Case {
    const char* why;
    int resource;
  };
  const Case kCases[] = {
      {"a progress bar's range beyond 32-bit integers", 920},
      {"a trackbar's range beyond 32-bit integers", 921},
      {"a tab page that is its own dialog", 922},
      {"a page whose tab field names the dialog it is a page of", 923},
      {"a tab line on a field that is no tab field", 926},
      {"a page whose own text is refused", 927},
      {"a grid whose row template is its own dialog", 929},
      {"a grid of 2147483647 rows", 930},
  };
  WDialogLoad(110);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    tessar.error.LASTERROR = 0;
    WDialogLoad(c.resource);
    EXPECT_EQ(tessar.error.LASTERROR, 1088);
    EXPECT_EQ(dialogtable.nDialogs, 1) << "nothing of the refused dialog stays loaded";
    EXPECT_EQ(tessar.dialog.CURDIALOG, 110);
    EXPECT_EQ(yydialogfind(c.resource), -1);
    EXPECT_EQ(yydialogfind(925), -1) << "its pages went with it";
    EXPECT_NE(yycurrentdialog(), nullptr);
  }
}

TEST_F(CompanionTest, SoundTextsOfTheSameShapesStillLoad) {
  tessar.error.LASTERROR = 0;
  WDialogLoad(931);
  EXPECT_EQ(tessar.error.LASTERROR, 0) << "a grid of 100,000 rows, as the program's own";
  EXPECT_EQ(dialogtable.nDialogs, 1);
  // A page already loaded before is used as it is, and stays when a later text is refused.
  WDialogLoad(925);
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  WDialogLoad(927);
  EXPECT_EQ(tessar.error.LASTERROR, 1088);
  EXPECT_GT(yydialogfind(925), 0) << "the page loaded before the refused dialog stays";
  EXPECT_EQ(dialogtable.nDialogs, 2);
}

}  // namespace
