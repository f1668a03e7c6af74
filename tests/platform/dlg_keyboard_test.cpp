// The dialog keyboard interface: tab order over tab stops, groups and arrow keys, the default
// push button and Enter, Escape as Cancel, mnemonics, WM_GETDLGCODE, DM_GETDEFID and
// DM_SETDEFID, WM_NEXTDLGCTL.
#include <gtest/gtest.h>

#include <vector>

#include "platform/dialog.h"
#include "platform/test_api.h"
#include "tests/platform/dlg_helpers.h"

using namespace win;
using dlgtest::record;

namespace {

class IsDialogMessageTest : public dlgtest::Fixture {
 protected:
  // The plot-options dialog shown, with the focus on one of its controls.
  HWND open(int focus) {
    HWND h = win::CreateDialogParam(nullptr, MAKEINTRESOURCE(101), nullptr, dlgtest::recordingProc, 0);
    ShowWindow(h, SW_SHOW);
    dlgtest::pump(h);
    if (focus) SendMessage(h, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(h, focus)), TRUE);
    record().commands.clear();
    return h;
  }
};

struct Key {
  int vk;
  unsigned modifiers = 0;
};

struct KeyCase {
  const char* why;
  int check;                   // radio button checked beforehand, 0 none
  int focus;                   // control focused beforehand
  std::vector<Key> keys;
  int wantFocus;
  std::vector<int> wantCommands;
  int wantChecked;             // a button that must be checked afterwards, 0 none
};

const KeyCase kKeyCases[] = {
    {"Tab goes to the next tab stop", 0, 101, {{VK_TAB}}, 104, {}, 0},
    {"Tab passes the label and stops at each tab stop", 0, 104, {{VK_TAB}, {VK_TAB}}, IDOK, {}, 0},
    {"Tab skips the disabled button and wraps to the top", 0, IDCANCEL, {{VK_TAB}}, 101, {}, 0},
    {"Shift+Tab goes back", 0, 104, {{VK_TAB, test::kShift}}, 101, {}, 0},
    {"Shift+Tab from the first wraps to the last enabled", 0, 101, {{VK_TAB, test::kShift}}, IDCANCEL, {}, 0},
    {"Tab into a radio group lands on its checked button", 103, IDCANCEL, {{VK_TAB}}, 103, {}, 103},
    {"Down moves within the group and checks the radio button", 0, 101, {{VK_DOWN}}, 102, {102}, 102},
    {"Up from the first wraps to the last of the group", 0, 101, {{VK_UP}}, 103, {103}, 103},
    {"Right and Left move like Down and Up", 0, 102, {{VK_RIGHT}, {VK_LEFT}}, 102, {103, 102}, 102},
    {"An arrow in a group of one stays", 0, 104, {{VK_DOWN}}, 104, {}, 0},
    {"Enter presses the default button", 0, 104, {{VK_RETURN}}, 104, {IDOK}, 0},
    {"Enter on a push button presses that button", 0, IDCANCEL, {{VK_RETURN}}, IDCANCEL, {IDCANCEL}, 0},
    {"Escape gives Cancel", 0, 104, {{VK_ESCAPE}}, 104, {IDCANCEL}, 0},
    {"Space toggles a check box", 0, 104, {{VK_SPACE}}, 104, {104}, 104},
    {"Space presses a push button", 0, IDCANCEL, {{VK_SPACE}}, IDCANCEL, {IDCANCEL}, 0},
    {"A mnemonic clicks its button", 0, IDOK, {{'G'}}, 104, {104}, 104},
    {"Alt and a mnemonic do the same", 0, IDOK, {{'O', test::kAlt}}, 102, {102}, 102},
    {"A label's mnemonic moves to the control after it", 0, IDOK, {{'K'}}, 105, {}, 0},
    {"A disabled button's mnemonic does nothing", 0, IDOK, {{'A'}}, IDOK, {}, 0},
    {"A letter that is no mnemonic does nothing", 0, IDOK, {{'Z'}}, IDOK, {}, 0},
};

TEST_F(IsDialogMessageTest, MovesTheFocusAndPressesButtonsFromTheKeyboard) {
  for (const KeyCase& c : kKeyCases) {
    SCOPED_TRACE(c.why);
    test::reset();
    record() = dlgtest::Record{};
    HWND h = open(0);
    ASSERT_NE(h, nullptr);
    if (c.check) CheckRadioButton(h, 101, 103, c.check);
    SendMessage(h, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(h, c.focus)), TRUE);
    record().commands.clear();
    for (const Key& k : c.keys) {
      test::pressKey(k.vk, k.modifiers);
      dlgtest::pump(h);
    }
    EXPECT_EQ(dlgtest::focusId(), c.wantFocus);
    EXPECT_EQ(record().commands, c.wantCommands);
    if (c.wantChecked) {
      EXPECT_EQ(IsDlgButtonChecked(h, c.wantChecked), BST_CHECKED);
    }
  }
}

TEST_F(IsDialogMessageTest, LeavesOtherWindowsMessagesAlone) {
  HWND h = open(104);
  HWND other = dlgtest::ownerWindow();
  MSG m;
  m.hwnd = other;
  m.message = WM_KEYDOWN;
  m.wParam = VK_TAB;
  EXPECT_FALSE(IsDialogMessage(h, m));
  EXPECT_FALSE(IsDialogMessage(nullptr, m));
  m.hwnd = GetDlgItem(h, 104);
  m.message = WM_NULL;
  EXPECT_TRUE(IsDialogMessage(h, m)) << "any message of the dialog's own is handled";
}

TEST_F(IsDialogMessageTest, DefaultLookFollowsTheFocusedPushButton) {
  HWND h = open(IDCANCEL);
  auto kind = [&](int id) { return static_cast<DWORD>(GetWindowLong(GetDlgItem(h, id), GWL_STYLE)) & BS_TYPEMASK; };
  EXPECT_EQ(kind(IDCANCEL), BS_DEFPUSHBUTTON);
  EXPECT_EQ(kind(IDOK), BS_PUSHBUTTON);
  EXPECT_EQ(SendMessage(h, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID)) << "the default itself stays";
  test::pressKey(VK_TAB);   // to the radio group
  dlgtest::pump(h);
  EXPECT_EQ(kind(IDCANCEL), BS_PUSHBUTTON);
  EXPECT_EQ(kind(IDOK), BS_DEFPUSHBUTTON);
}

TEST_F(IsDialogMessageTest, SetDefIdChangesWhatEnterPresses) {
  HWND h = open(104);
  SendMessage(h, DM_SETDEFID, IDCANCEL, 0);
  EXPECT_EQ(SendMessage(h, DM_GETDEFID, 0, 0), MAKELONG(IDCANCEL, DC_HASDEFID));
  auto kind = [&](int id) { return static_cast<DWORD>(GetWindowLong(GetDlgItem(h, id), GWL_STYLE)) & BS_TYPEMASK; };
  EXPECT_EQ(kind(IDCANCEL), BS_DEFPUSHBUTTON);
  EXPECT_EQ(kind(IDOK), BS_PUSHBUTTON);
  test::pressKey(VK_RETURN);
  dlgtest::pump(h);
  EXPECT_EQ(record().commands, std::vector<int>{IDCANCEL});
}

TEST_F(IsDialogMessageTest, F1AsksForHelpOnTheFocusedControl) {
  HWND h = open(104);
  test::pressKey(VK_F1);
  dlgtest::pump(h);
  EXPECT_EQ(record().helpIds, std::vector<int>{104});
  EXPECT_TRUE(record().commands.empty());
}

TEST_F(IsDialogMessageTest, DisabledDefaultButtonBeepsInsteadOfPressing) {
  HWND h = open(104);
  EnableWindow(GetDlgItem(h, IDOK), FALSE);
  const int beeps = test::beepCount();
  test::pressKey(VK_RETURN);
  dlgtest::pump(h);
  EXPECT_TRUE(record().commands.empty());
  EXPECT_EQ(test::beepCount(), beeps + 1);
}

TEST_F(IsDialogMessageTest, NextDlgCtlMovesForwardBackwardOrToAControl) {
  HWND h = open(101);
  SendMessage(h, WM_NEXTDLGCTL, 0, FALSE);
  EXPECT_EQ(dlgtest::focusId(), 104);
  SendMessage(h, WM_NEXTDLGCTL, 1, FALSE);
  EXPECT_EQ(dlgtest::focusId(), 101);
  SendMessage(h, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(h, 105)), TRUE);
  EXPECT_EQ(dlgtest::focusId(), 105);
  EXPECT_EQ(GetNextDlgTabItem(h, GetDlgItem(h, 105), FALSE), GetDlgItem(h, IDOK));
  EXPECT_EQ(GetNextDlgGroupItem(h, GetDlgItem(h, 103), FALSE), GetDlgItem(h, 101));
}

// A check box that asks for Tab and the arrows itself.
WNDPROC plainButton = nullptr;
int tabsSeen = 0;
LRESULT wantsTabs(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_GETDLGCODE) return CallWindowProc(plainButton, h, msg, w, l) | DLGC_WANTTAB | DLGC_WANTARROWS;
  if (msg == WM_KEYDOWN && (w == VK_TAB || w == VK_DOWN)) ++tabsSeen;
  return CallWindowProc(plainButton, h, msg, w, l);
}

TEST_F(IsDialogMessageTest, ControlsThatWantKeysGetThem) {
  HWND h = open(104);
  HWND box = GetDlgItem(h, 104);
  tabsSeen = 0;
  plainButton = reinterpret_cast<WNDPROC>(SetWindowLongPtr(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wantsTabs)));
  test::pressKey(VK_TAB);
  test::pressKey(VK_DOWN);
  dlgtest::pump(h);
  EXPECT_EQ(dlgtest::focusId(), 104);
  EXPECT_EQ(tabsSeen, 2);
}

}  // namespace
