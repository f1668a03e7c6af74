// The message box front routines: buttons, icons, answers and their errors.
#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/state/tessar.h"

namespace {
void freshstate() {
  win::test::clearMessageBoxes();
  win::test::clearMessageBoxAnswers();
  tessar.error = ErrorState{};
  tessar.dialog.DLGANSWER = 99;
}
}  // namespace

TEST(WMessageBox, MapsButtonsIconsAndDefaults) {
  freshstate();
  struct Case {
    const char* why;
    int buttons, icon, idefault;
    int platformanswer;  // the button the user clicks; 0: the user presses Enter
    unsigned style;
    int dlganswer;
  };
  using namespace win;
  const Case kCases[] = {
      {"OK box with the stop icon", 0, 1, 1, 0, MB_OK | MB_ICONHAND, 1},
      {"buttons outside 1-5 give OK", 9, 4, 2, 0, MB_OK | MB_ICONASTERISK, 1},
      {"OK/Cancel, Cancel chosen", 1, 3, 1, IDCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION, 0},
      {"OK/Cancel default 0 is Cancel", 1, 0, 0, 0, MB_OKCANCEL | MB_DEFBUTTON2, 0},
      {"Retry/Cancel, Retry default", 2, 0, 1, 0, MB_RETRYCANCEL, 1},
      {"Yes/No default 2 makes No the default", 3, 2, 2, 0,
       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, 2},
      {"Yes/No, Yes chosen", 3, 2, 2, IDYES, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, 1},
      {"Yes/No/Cancel, Cancel clicked", 4, 2, 1, IDCANCEL, MB_YESNOCANCEL | MB_ICONQUESTION, 0},
      {"Yes/No/Cancel default 2", 4, 0, 2, 0, MB_YESNOCANCEL | MB_DEFBUTTON2, 2},
      {"Yes/No/Cancel default 0 is Cancel", 4, 0, 0, 0, MB_YESNOCANCEL | MB_DEFBUTTON3, 0},
      {"Abort/Retry/Ignore default 1 is Retry", 5, 0, 1, 0,
       MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, 1},
      {"Abort/Retry/Ignore default 2 is Abort", 5, 0, 2, 0, MB_ABORTRETRYIGNORE, 2},
      {"Abort/Retry/Ignore default 0 is Ignore", 5, 0, 0, 0,
       MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, 0},
      {"unknown icon shows none", 0, 7, 1, 0, MB_OK, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.why);
    win::test::clearMessageBoxes();
    if (c.platformanswer != 0) win::test::answerNextMessageBoxWithClick(c.platformanswer);
    else win::test::answerNextMessageBoxWithKey(win::VK_RETURN);
    WMessageBox(c.buttons, c.icon, c.idefault, "Text", "Title");
    ASSERT_EQ(win::test::messageBoxes().size(), 1u);
    EXPECT_EQ(win::test::messageBoxes()[0].style, c.style);
    EXPECT_EQ(tessar.dialog.DLGANSWER, c.dlganswer);
    EXPECT_EQ(tessar.error.LASTERROR, 0);
  }
}

TEST(WMessageBox, EscapeClosesAYesNoCancelBoxWithZero) {
  freshstate();
  win::test::answerNextMessageBoxWithKey(win::VK_ESCAPE);
  WMessageBox(4, 2, 1, "Save now?", "TarnWalker");
  EXPECT_EQ(tessar.dialog.DLGANSWER, 0);
  EXPECT_EQ(tessar.error.LASTERROR, 0);
}

TEST(WMessageBox, ShowsTextsWithoutTrailingBlanks) {
  freshstate();
  win::test::answerNextMessageBoxWithKey(win::VK_RETURN);
  WMessageBox(0, 1, 1, "Two lines\rof text      ", std::string(80, ' '));
  ASSERT_EQ(win::test::messageBoxes().size(), 1u);
  EXPECT_EQ(win::test::messageBoxes()[0].text, "Two lines\rof text");
  EXPECT_EQ(win::test::messageBoxes()[0].title, "");
  EXPECT_EQ(win::test::messageBoxes()[0].owner, nullptr);
}

TEST(WMessageBox, FailureRecordsErrorAndLeavesNoStaleYes) {
  freshstate();
  tessar.dialog.DLGANSWER = 1;  // an earlier box answered Yes
  tessar.dialog.FOCUSFIELD = 1017;
  win::test::failNextMessageBox();
  WMessageBox(3, 2, 1, "Overwrite?", "TarnWalker");
  EXPECT_TRUE(win::test::messageBoxes().empty());
  EXPECT_EQ(tessar.error.LASTERROR, 1004);
  EXPECT_EQ(tessar.dialog.DLGANSWER, MBANSWER_FAILED);
  EXPECT_EQ(tessar.dialog.FOCUSFIELD, 0);
  // The failure is for one box only.
  win::test::answerNextMessageBoxWithKey(win::VK_RETURN);
  WMessageBox(3, 2, 1, "Overwrite?", "TarnWalker");
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
}

TEST(Yymessagebox, PlatformAnswersBecomeAnswerCodes) {
  struct Case { int buttons, platform, want; };
  using namespace win;
  constexpr Case kCases[] = {
      {0, IDOK, 1}, {2, IDRETRY, 1}, {3, IDYES, 1}, {1, IDCANCEL, 0},
      {5, IDIGNORE, 0}, {5, IDABORT, 2}, {3, IDNO, 2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.platform);
    win::test::answerNextMessageBoxWithClick(c.platform);
    int answer = 42;
    yymessagebox(c.buttons, 0, 1, answer, "m", "t");
    EXPECT_EQ(answer, c.want);
  }
  win::test::failNextMessageBox();
  int answer = 42;
  yymessagebox(0, 0, 1, answer, "m", "t");
  EXPECT_EQ(answer, -1);
}
