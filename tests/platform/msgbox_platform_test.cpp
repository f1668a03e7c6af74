// The message box, answered as a user would through the headless backend: by clicks on its
// buttons and by keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/test_api.h"
#include "tests/platform/dlg_helpers.h"

using namespace win;

namespace {

class MessageBoxTest : public dlgtest::Fixture {
 protected:
  void SetUp() override {
    dlgtest::Fixture::SetUp();
    test::clearMessageBoxes();
    test::clearMessageBoxAnswers();
  }
  void TearDown() override {
    test::clearMessageBoxAnswers();
    dlgtest::Fixture::TearDown();
  }
};

struct Act {
  bool click;
  int value;
  unsigned modifiers = 0;
};
Act clickOn(int id) { return Act{true, id}; }
Act key(int vk, unsigned modifiers = 0) { return Act{false, vk, modifiers}; }

struct AnswerCase {
  const char* why;
  unsigned style;
  std::vector<Act> acts;
  int want;
};

const AnswerCase kAnswerCases[] = {
    {"OK box, Enter", MB_OK, {key(VK_RETURN)}, IDOK},
    {"OK box, click", MB_OK | MB_ICONHAND, {clickOn(IDOK)}, IDOK},
    {"OK box, Escape gives OK", MB_OK, {key(VK_ESCAPE)}, IDOK},
    {"OK box, the close keys give OK", MB_OK | MB_ICONASTERISK, {key(VK_F4, test::kAlt)}, IDOK},
    {"OK/Cancel, Enter on the first default", MB_OKCANCEL, {key(VK_RETURN)}, IDOK},
    {"OK/Cancel, Escape gives Cancel", MB_OKCANCEL | MB_ICONEXCLAMATION, {key(VK_ESCAPE)}, IDCANCEL},
    {"OK/Cancel, click Cancel", MB_OKCANCEL, {clickOn(IDCANCEL)}, IDCANCEL},
    {"OK/Cancel, second default, Enter", MB_OKCANCEL | MB_DEFBUTTON2, {key(VK_RETURN)}, IDCANCEL},
    {"Retry/Cancel, click Retry", MB_RETRYCANCEL, {clickOn(IDRETRY)}, IDRETRY},
    {"Retry/Cancel, its letter R", MB_RETRYCANCEL | MB_DEFBUTTON2, {key('R')}, IDRETRY},
    {"Yes/No, click No", MB_YESNO | MB_ICONQUESTION, {clickOn(IDNO)}, IDNO},
    {"Yes/No, Escape does nothing, then Yes", MB_YESNO, {key(VK_ESCAPE), key(VK_RETURN)}, IDYES},
    {"Yes/No, the close keys do nothing, then No", MB_YESNO, {key(VK_F4, test::kAlt), clickOn(IDNO)}, IDNO},
    {"Yes/No, its letter N", MB_YESNO, {key('N')}, IDNO},
    {"Yes/No, Tab then Enter", MB_YESNO, {key(VK_TAB), key(VK_RETURN)}, IDNO},
    {"Yes/No, second default, Enter", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, {key(VK_RETURN)}, IDNO},
    {"Yes/No, a default beyond the buttons is the first", MB_YESNO | MB_DEFBUTTON3, {key(VK_RETURN)}, IDYES},
    {"Yes/No/Cancel, Escape gives Cancel", MB_YESNOCANCEL, {key(VK_ESCAPE)}, IDCANCEL},
    {"Yes/No/Cancel, third default, Enter", MB_YESNOCANCEL | MB_DEFBUTTON3, {key(VK_RETURN)}, IDCANCEL},
    {"Yes/No/Cancel, click Yes", MB_YESNOCANCEL, {clickOn(IDYES)}, IDYES},
    {"Abort/Retry/Ignore, Alt and A", MB_ABORTRETRYIGNORE, {key('A', test::kAlt)}, IDABORT},
    {"Abort/Retry/Ignore, Right then Space", MB_ABORTRETRYIGNORE, {key(VK_RIGHT), key(VK_SPACE)}, IDRETRY},
    {"Abort/Retry/Ignore, Escape does nothing, then I", MB_ABORTRETRYIGNORE, {key(VK_ESCAPE), key('I')}, IDIGNORE},
    {"Abort/Retry/Ignore, second default, click Ignore", MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, {clickOn(IDIGNORE)},
     IDIGNORE},
};

TEST_F(MessageBoxTest, AnswersFollowTheUsersClicksAndKeys) {
  for (const AnswerCase& c : kAnswerCases) {
    SCOPED_TRACE(c.why);
    test::reset();
    test::clearMessageBoxAnswers();
    for (const Act& a : c.acts) {
      if (a.click) test::answerNextMessageBoxWithClick(a.value);
      else test::answerNextMessageBoxWithKey(a.value, a.modifiers);
    }
    EXPECT_EQ(win::MessageBox(nullptr, "Text", "Title", c.style), c.want);
    EXPECT_EQ(test::openMessageBox(), nullptr);
    EXPECT_TRUE(test::topLevelWindows().empty()) << "the box is gone";
  }
}

// What the box looks like while it is up, read from its windows.
struct Look {
  std::string title;
  std::vector<std::string> buttons;   // left to right
  int focused = 0;
  std::vector<int> defaults;          // buttons drawn as the default
  bool icon = false;
  RECT textRect;
  RECT boxRect;
  bool ownerEnabled = true;
  HWND owner = nullptr;
};

Look lookAt(HWND box) {
  Look l;
  l.title = dlgtest::textOf(box);
  GetWindowRect(box, l.boxRect);
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(c);
    if (dlgtest::classOf(c) == "Button") {
      l.buttons.push_back(dlgtest::textOf(c));
      if ((GetWindowLong(c, GWL_STYLE) & BS_TYPEMASK) == static_cast<LONG>(BS_DEFPUSHBUTTON)) l.defaults.push_back(id);
    }
    if (id == 20) l.icon = SendMessage(c, STM_GETICON, 0, 0) != 0;
    if (id == 0xFFFF) GetWindowRect(c, l.textRect);
  }
  l.focused = dlgtest::focusId();
  l.owner = GetWindow(box, GW_OWNER);
  return l;
}

Look showAndLook(HWND owner, const char* text, const char* title, unsigned style) {
  Look seen;
  test::setIdleHook([&] {
    if (HWND box = test::openMessageBox()) {
      seen = lookAt(box);
      if (owner) seen.ownerEnabled = IsWindowEnabled(owner) != 0;
      test::pressKey(VK_RETURN);
    }
  });
  win::MessageBox(owner, text, title, style);
  test::setIdleHook(nullptr);
  test::runUntilIdle();
  return seen;
}

TEST_F(MessageBoxTest, ShowsItsButtonsIconAndDefault) {
  struct Case {
    const char* why;
    unsigned style;
    std::vector<std::string> buttons;
    int wantDefault;
    bool icon;
  };
  const Case cases[] = {
      {"OK", MB_OK, {"OK"}, IDOK, false},
      {"OK/Cancel with the stop icon", MB_OKCANCEL | MB_ICONHAND, {"OK", "Cancel"}, IDOK, true},
      {"Yes/No with the question icon, No default", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, {"&Yes", "&No"}, IDNO, true},
      {"Yes/No/Cancel with the exclamation icon", MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON3,
       {"&Yes", "&No", "Cancel"}, IDCANCEL, true},
      {"Abort/Retry/Ignore with the information icon", MB_ABORTRETRYIGNORE | MB_ICONASTERISK | MB_DEFBUTTON2,
       {"&Abort", "&Retry", "&Ignore"}, IDRETRY, true},
      {"Retry/Cancel", MB_RETRYCANCEL, {"&Retry", "Cancel"}, IDRETRY, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const Look l = showAndLook(nullptr, "Text", "Title", c.style);
    EXPECT_EQ(l.title, "Title");
    EXPECT_EQ(l.buttons, c.buttons);
    EXPECT_EQ(l.focused, c.wantDefault) << "the default button has the focus";
    EXPECT_EQ(l.defaults, std::vector<int>{c.wantDefault});
    EXPECT_EQ(l.icon, c.icon);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR((l.boxRect.left + l.boxRect.right) / 2, sw / 2, 1) << "centred on the screen";
    EXPECT_NEAR((l.boxRect.top + l.boxRect.bottom) / 2, sh / 2, 1);
  }
  EXPECT_EQ(showAndLook(nullptr, "Text", nullptr, MB_OK).title, "Error") << "a box without a title";
}

TEST_F(MessageBoxTest, LineBreaksAndWrapping) {
  const Look one = showAndLook(nullptr, "First line", "T", MB_OK);
  const int line = one.textRect.bottom - one.textRect.top;
  ASSERT_GT(line, 0);
  struct Case { const char* why; const char* text; int lines; };
  const Case cases[] = {
      {"a lone CR breaks the line", "First line\rSecond line", 2},
      {"CR LF is one break", "First line\r\nSecond line", 2},
      {"an LF breaks the line", "First line\nSecond line", 2},
      {"two CRs leave an empty line", "First line\r\rSecond line", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const Look l = showAndLook(nullptr, c.text, "T", MB_OK);
    EXPECT_EQ(l.textRect.bottom - l.textRect.top, c.lines * line);
  }
  const std::string longText(60, 'w');
  std::string words;
  for (int i = 0; i < 40; ++i) words += longText.substr(0, 8) + " ";
  const Look wide = showAndLook(nullptr, words.c_str(), "T", MB_OK);
  EXPECT_LE(wide.boxRect.right - wide.boxRect.left, GetSystemMetrics(SM_CXSCREEN) * 5 / 8 + 20);
  EXPECT_GT(wide.textRect.bottom - wide.textRect.top, line) << "a long text wraps";
}

TEST_F(MessageBoxTest, TextTallerThanTheScreenKeepsTheButtonsOnIt) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "Line " + std::to_string(i) + "\r";
  RECT ok{};
  const int sh = GetSystemMetrics(SM_CYSCREEN);
  test::setIdleHook([&] {
    if (HWND box = test::openMessageBox()) {
      GetWindowRect(GetDlgItem(box, IDOK), ok);
      test::pressKey(VK_RETURN);
    }
  });
  EXPECT_EQ(win::MessageBox(nullptr, text.c_str(), "Summary", MB_OK | MB_ICONASTERISK), IDOK);
  EXPECT_GT(ok.bottom, ok.top);
  EXPECT_GE(ok.top, 0);
  EXPECT_LE(ok.bottom, sh);
}

TEST_F(MessageBoxTest, ModalityDecidesWhichWindowsWait) {
  struct Case { const char* why; bool owned; unsigned mode; bool ownerDuring; bool otherDuring; };
  const Case cases[] = {
      {"an owned box disables its owner only", true, MB_APPLMODAL, false, true},
      {"an ownerless box leaves every window enabled", false, MB_APPLMODAL, true, true},
      {"an ownerless task-modal box holds every window", false, MB_TASKMODAL, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    test::reset();
    HWND a = dlgtest::ownerWindow();
    HWND b = dlgtest::ownerWindow();
    HWND owner = c.owned ? a : nullptr;
    bool aDuring = true, bDuring = true;
    HWND boxOwner = nullptr;
    test::setIdleHook([&] {
      if (HWND box = test::openMessageBox()) {
        aDuring = IsWindowEnabled(a) != 0;
        bDuring = IsWindowEnabled(b) != 0;
        boxOwner = GetWindow(box, GW_OWNER);
        test::pressKey(VK_RETURN);
      }
    });
    EXPECT_EQ(win::MessageBox(owner, "Text", "Title", MB_OK | c.mode), IDOK);
    EXPECT_EQ(aDuring, c.ownerDuring);
    EXPECT_EQ(bDuring, c.otherDuring);
    EXPECT_EQ(boxOwner, owner);
    EXPECT_TRUE(IsWindowEnabled(a));
    EXPECT_TRUE(IsWindowEnabled(b));
  }
}

TEST_F(MessageBoxTest, WindowDisabledBeforeATaskModalBoxStaysDisabled) {
  HWND a = dlgtest::ownerWindow();
  EnableWindow(a, FALSE);
  test::answerNextMessageBoxWithKey(VK_RETURN);
  EXPECT_EQ(win::MessageBox(nullptr, "Text", "Title", MB_OK | MB_TASKMODAL), IDOK);
  EXPECT_FALSE(IsWindowEnabled(a));
}

TEST_F(MessageBoxTest, BoxesThatCannotBeShownAnswerZero) {
  struct Case { const char* why; unsigned style; bool failNext; bool recorded; };
  const Case cases[] = {
      {"an unknown button set", 0x6, false, false},
      {"a failure the test asked for", MB_OK, true, false},
      {"a box nobody answers fails instead of waiting for ever", MB_YESNO, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    test::reset();
    test::clearMessageBoxes();
    if (c.failNext) test::failNextMessageBox();
    EXPECT_EQ(win::MessageBox(nullptr, "Text", "Title", c.style), 0);
    EXPECT_EQ(test::messageBoxes().size(), c.recorded ? 1u : 0u);
    EXPECT_TRUE(test::topLevelWindows().empty());
  }
  HWND gone = dlgtest::ownerWindow();
  DestroyWindow(gone);
  EXPECT_EQ(win::MessageBox(gone, "Text", "Title", MB_OK), 0) << "an owner that no longer exists";
}

TEST_F(MessageBoxTest, StandingKeyAnswersEveryBoxAndTheLogKeepsThem) {
  test::answerEveryMessageBoxWithKey(VK_RETURN);
  EXPECT_EQ(win::MessageBox(nullptr, "One", "A", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(win::MessageBox(nullptr, "Two", "B", MB_OKCANCEL | MB_ICONHAND), IDOK);
  ASSERT_EQ(test::messageBoxes().size(), 2u);
  EXPECT_EQ(test::messageBoxes()[0].text, "One");
  EXPECT_EQ(test::messageBoxes()[1].title, "B");
  EXPECT_EQ(test::messageBoxes()[1].style, MB_OKCANCEL | MB_ICONHAND);
}

TEST_F(MessageBoxTest, DrawsTheClassicLook) {
  const COLORREF face = RGB(192, 192, 192), black = RGB(0, 0, 0), white = RGB(255, 255, 255);
  COLORREF background = 0, iconEdge = 0, iconCentre = 0, defaultCorner = 0, otherCorner = 0;
  int textPixels = 0;
  test::setIdleHook([&] {
    HWND box = test::openMessageBox();
    if (!box) return;
    test::runUntilIdle();
    background = test::pixel(box, 2, 2);
    iconEdge = test::pixel(GetDlgItem(box, 20), 3, 16);
    iconCentre = test::pixel(GetDlgItem(box, 20), 16, 16);
    defaultCorner = test::pixel(GetDlgItem(box, IDYES), 0, 0);
    otherCorner = test::pixel(GetDlgItem(box, IDNO), 0, 0);
    int w = 0, h = 0;
    for (COLORREF c : test::pixels(GetDlgItem(box, 0xFFFF), true, w, h)) textPixels += c != face;
    test::pressKey(VK_RETURN);
  });
  EXPECT_EQ(win::MessageBox(nullptr, "Overwrite the file?", "TarnWalker", MB_YESNO | MB_ICONHAND), IDYES);
  EXPECT_EQ(background, face);
  EXPECT_EQ(iconEdge, RGB(255, 0, 0)) << "the stop icon is a red disc";
  EXPECT_EQ(iconCentre, white) << "with a white cross";
  EXPECT_EQ(defaultCorner, black) << "the default button has a black frame";
  EXPECT_EQ(otherCorner, white) << "the others a raised edge";
  EXPECT_GT(textPixels, 100) << "the text is drawn";
}

TEST_F(MessageBoxTest, BoxOpenedFromAModalBoxReturnsToIt) {
  // The outer box's Retry opens an inner box; after the inner one the outer still answers.
  int stage = 0, inner = 0;
  test::setIdleHook([&] {
    HWND box = test::openMessageBox();
    if (!box) return;
    if (stage == 0) {
      stage = 1;
      inner = win::MessageBox(box, "Inner", "I", MB_OKCANCEL);
      test::pressKey(VK_RETURN);   // back in the outer box
      return;
    }
    test::pressKey(VK_ESCAPE);     // the inner box
  });
  EXPECT_EQ(win::MessageBox(nullptr, "Outer", "O", MB_RETRYCANCEL), IDRETRY);
  EXPECT_EQ(inner, IDCANCEL);
}

}  // namespace
