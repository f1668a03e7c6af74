// The COMBOBOX control: drop-down list, drop-down and simple kinds driven by clicks and keys,
// the dropped list and its closing, notifications, CB_ERR answers, the height a template
// gives, and the combo box's place in a dialog's keyboard interface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/combobox.h"
#include "platform/edit.h"
#include "platform/listbox.h"
#include "tests/platform/ctl_helpers.h"
#include "tests/platform/dlg_helpers.h"

using namespace win;
using ctltest::codesFrom;
using ctltest::textOf;

namespace {

constexpr int kId = 500;
const char* const kMonths[] = {"January", "February", "March", "April", "May", "June",
                               "July", "August", "September", "October", "November", "December"};

HWND droppedList() {
  for (const test::TopLevel& t : test::topLevelWindows()) {
    char cls[32] = {};
    GetClassName(t.hwnd, cls, sizeof cls);
    if (std::string(cls) == "ComboLBox" && t.visible) return t.hwnd;
  }
  return nullptr;
}

// Screen point of the middle of item i of the dropped list.
POINT itemPoint(HWND list, int i) {
  RECT r;
  SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
  return ctltest::screenOf(list, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class ComboBoxTest : public ctltest::Fixture {
 protected:
  HWND combo(DWORD style, int height = 150) {
    HWND c = make("COMBOBOX", style | WS_VSCROLL | WS_TABSTOP, 20, 20, 150, height, kId);
    for (const char* m : kMonths) SendMessage(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m));
    SetFocus(c);
    test::runUntilIdle();
    ctltest::parent().commands.clear();
    return c;
  }
  void clickCombo(HWND c, bool onButton = true) {
    RECT r;
    GetClientRect(c, r);
    ctltest::clickAt(c, onButton ? r.right - 6 : 10, r.bottom / 2);
    test::advanceTime(1000);
  }
};

}  // namespace

TEST_F(ComboBoxTest, DropDownListDropsOnAClickAndAClickOnAnItemChoosesIt) {
  HWND c = combo(CBS_DROPDOWNLIST);
  SendMessage(c, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(textOf(c), "February");
  clickCombo(c, false);
  EXPECT_TRUE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
  HWND list = droppedList();
  ASSERT_NE(list, nullptr);
  RECT cr, lr;
  GetWindowRect(c, cr);
  GetWindowRect(list, lr);
  EXPECT_EQ(lr.top, cr.bottom) << "the list drops under the field";
  EXPECT_EQ(lr.left, cr.left);
  EXPECT_EQ(GetActiveWindow(), top) << "the list takes no activation";
  EXPECT_EQ(GetFocus(), c);
  test::runUntilIdle();
  EXPECT_EQ(test::pixel(list, 3, 3, false), GetSysColor(COLOR_WINDOW)) << "the list is painted";
  RECT lc;
  SendMessage(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&lc));
  EXPECT_EQ(test::pixel(list, lc.right - 3, lc.top + 2), GetSysColor(COLOR_HIGHLIGHT)) << "February highlighted";
  const POINT p = itemPoint(list, 4);
  test::mouseMove(p.x, p.y);
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 4) << "the pointer highlights";
  test::click(p.x, p.y);
  test::runUntilIdle();
  EXPECT_FALSE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(droppedList(), nullptr);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 4);
  EXPECT_EQ(textOf(c), "May");
  EXPECT_EQ(codesFrom(kId), std::vector<int>({CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
}

TEST_F(ComboBoxTest, AClickElsewhereCancelsTheDropAndKeepsTheSelection) {
  HWND c = combo(CBS_DROPDOWNLIST);
  SendMessage(c, CB_SETCURSEL, 2, 0);
  clickCombo(c);
  HWND list = droppedList();
  ASSERT_NE(list, nullptr);
  const POINT p = itemPoint(list, 0);
  test::mouseMove(p.x, p.y);
  test::runUntilIdle();
  ctltest::clickAt(top, 400, 300);
  EXPECT_FALSE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(codesFrom(kId), std::vector<int>({CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
}

TEST_F(ComboBoxTest, PressOnTheFieldDragIntoTheListAndReleaseChooses) {
  HWND c = combo(CBS_DROPDOWNLIST);
  RECT r;
  GetClientRect(c, r);
  const POINT down = ctltest::screenOf(c, 10, r.bottom / 2);
  test::mouseDown(test::Button::Left, down.x, down.y);
  test::runUntilIdle();
  HWND list = droppedList();
  ASSERT_NE(list, nullptr);
  const POINT p = itemPoint(list, 3);
  test::mouseMove(p.x, p.y);
  test::mouseUp(test::Button::Left, p.x, p.y);
  test::runUntilIdle();
  EXPECT_FALSE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 3);
}

TEST_F(ComboBoxTest, KeysOfAClosedDropDownListChangeTheSelection) {
  HWND c = combo(CBS_DROPDOWNLIST);
  struct Case { const char* why; int vk; unsigned mods; const char* typed; int want; };
  const Case cases[] = {
      {"the first Down from no selection takes the first item", VK_DOWN, 0, "", 0},
      {"Down", VK_DOWN, 0, "", 1},
      {"End", VK_END, 0, "", 11},
      {"Down stays on the last", VK_DOWN, 0, "", 11},
      {"Home", VK_HOME, 0, "", 0},
      {"a letter: the next item that begins with it", 0, 0, "j", 5},
      {"the same letter again", 0, 0, "j", 6},
      {"Up", VK_UP, 0, "", 5},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.why);
    if (k.vk) test::pressKey(k.vk, k.mods);
    test::typeText(k.typed);
    test::runUntilIdle();
    EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), k.want);
  }
  EXPECT_EQ(codesFrom(kId), std::vector<int>(7, CBN_SELCHANGE)) << "one for each change";
}

TEST_F(ComboBoxTest, F4DropsArrowsMoveInTheListEnterAndEscapeClose) {
  HWND c = combo(CBS_DROPDOWNLIST);
  SendMessage(c, CB_SETCURSEL, 0, 0);
  test::pressKey(VK_F4);
  test::runUntilIdle();
  EXPECT_TRUE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
  test::pressKey(VK_DOWN);
  test::pressKey(VK_DOWN);
  test::pressKey(VK_RETURN);
  test::runUntilIdle();
  EXPECT_FALSE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
  test::pressKey(VK_DOWN, test::kAlt);
  test::runUntilIdle();
  EXPECT_TRUE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0)) << "Alt+Down drops too";
  test::pressKey(VK_ESCAPE);
  test::runUntilIdle();
  EXPECT_FALSE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
}

TEST_F(ComboBoxTest, DropDownEditTakesFreeTextAndArrowsFillItFromTheList) {
  HWND c = combo(CBS_DROPDOWN | CBS_AUTOHSCROLL);
  HWND e = GetDlgItem(c, kComboEditId);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(GetFocus(), e) << "the combo box passes the focus to its edit part";
  test::pressKey(VK_DOWN);
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(textOf(c), "January");
  DWORD a = 0, b = 0;
  SendMessage(c, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(b - a, 7u) << "the text of a chosen item is selected";
  ctltest::parent().commands.clear();
  test::typeText("Q3");
  test::runUntilIdle();
  EXPECT_EQ(textOf(c), "Q3");
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), CB_ERR) << "free text is no item";
  EXPECT_EQ(codesFrom(kId), std::vector<int>({CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE, CBN_EDITCHANGE}));
  test::pressKey(VK_DOWN, test::kAlt);
  test::runUntilIdle();
  EXPECT_TRUE(SendMessage(c, CB_GETDROPPEDSTATE, 0, 0));
  SendMessage(c, CB_SETEDITSEL, 0, MAKELPARAM(0, static_cast<WORD>(-1)));
  test::typeText("Ju");
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 5) << "the dropped list follows what is typed";
  test::pressKey(VK_ESCAPE);
  test::runUntilIdle();
  EXPECT_EQ(textOf(c), "Ju");
  SendMessage(c, CB_LIMITTEXT, 4, 0);
  test::typeText("lyXYZ");
  test::runUntilIdle();
  EXPECT_EQ(textOf(c), "July");
}

TEST_F(ComboBoxTest, SimpleComboShowsItsListAndAClickFillsTheEdit) {
  HWND c = combo(CBS_SIMPLE, 120);
  HWND list = GetDlgItem(c, kComboListId);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(IsWindowVisible(list));
  RECT r;
  GetWindowRect(c, r);
  EXPECT_EQ(r.bottom - r.top, 120) << "a simple combo box keeps its height";
  SendMessage(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  ctltest::clickAt(list, 20, (r.top + r.bottom) / 2);
  EXPECT_EQ(SendMessage(c, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(textOf(c), "March");
  EXPECT_EQ(codesFrom(kId).back(), CBN_SELCHANGE);
  EXPECT_EQ(GetFocus(), GetDlgItem(c, kComboEditId)) << "the focus stays in the edit part";
}

TEST_F(ComboBoxTest, RequestsAnswerCbErrWhereTheyFail) {
  HWND list = combo(CBS_DROPDOWNLIST);
  char buf[32];
  struct Case { const char* why; UINT msg; WPARAM w; LPARAM l; };
  const Case cases[] = {
      {"text of an item beyond the end", CB_GETLBTEXT, 12, reinterpret_cast<LPARAM>(buf)},
      {"length of item -1", CB_GETLBTEXTLEN, static_cast<WPARAM>(-1), 0},
      {"selecting beyond the end", CB_SETCURSEL, 12, 0},
      {"clearing the selection", CB_SETCURSEL, static_cast<WPARAM>(-1), 0},
      {"no selection", CB_GETCURSEL, 0, 0},
      {"an exact text that is no item", CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Jun")},
      {"selecting a prefix of no item", CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Q")},
      {"deleting beyond the end", CB_DELETESTRING, 40, 0},
      {"item data beyond the end", CB_GETITEMDATA, 12, 0},
      {"edit selection without an edit part", CB_GETEDITSEL, 0, 0},
      {"WM_SETTEXT of a text that is no item", WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Smarch")},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.why);
    EXPECT_EQ(SendMessage(list, k.msg, k.w, k.l), CB_ERR);
  }
  EXPECT_EQ(SendMessage(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("june")), 5);
  EXPECT_EQ(SendMessage(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Au")), 7);
  EXPECT_EQ(textOf(list), "August");
  EXPECT_EQ(SendMessage(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0), CB_ERR);
  EXPECT_EQ(textOf(list), "") << "the selection was cleared all the same";
  EXPECT_TRUE(SendMessage(list, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("march")));
  EXPECT_EQ(SendMessage(list, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessage(list, CB_SETITEMDATA, 3, 77), CB_OKAY);
  EXPECT_EQ(SendMessage(list, CB_GETITEMDATA, 3, 0), 77);
  EXPECT_TRUE(codesFrom(kId).empty()) << "requests of the program are not reported";
}

TEST_F(ComboBoxTest, ColourMessagesOfTheEditPartReachTheParent) {
  ctltest::parent().brush = CreateSolidBrush(RGB(0, 255, 255));
  HWND c = combo(CBS_DROPDOWN);
  SetWindowText(c, "x");
  test::runUntilIdle();
  EXPECT_NE(std::find(ctltest::parent().colourMessages.begin(), ctltest::parent().colourMessages.end(),
                      WM_CTLCOLOREDIT),
            ctltest::parent().colourMessages.end());
  EXPECT_EQ(test::pixel(GetDlgItem(c, kComboEditId), 0, 0), RGB(0, 255, 255));
}

class ComboBoxInDialogTest : public dlgtest::Fixture {};

namespace {
std::vector<WORD> comboDialog() {
  std::vector<WORD> w;
  auto put32 = [&](DWORD v) {
    w.push_back(static_cast<WORD>(v & 0xFFFF));
    w.push_back(static_cast<WORD>(v >> 16));
  };
  auto text = [&](const char* s) {
    for (; *s; ++s) w.push_back(static_cast<unsigned char>(*s));
    w.push_back(0);
  };
  auto item = [&](DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const char* t) {
    if (w.size() % 2) w.push_back(0);
    put32(style | WS_CHILD | WS_VISIBLE);
    put32(0);
    w.insert(w.end(), {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx), static_cast<WORD>(cy), id, 0xFFFF, atom});
    text(t);
    w.push_back(0);
  };
  put32(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT);
  put32(0);
  w.push_back(4);
  w.insert(w.end(), {10, 10, 200, 100});
  w.push_back(0);
  w.push_back(0);
  text("Months");
  w.push_back(8);
  text("MS Sans Serif");
  // The start-month and end-month combo boxes of the application's own template.
  item(0x50230202 & ~(WS_CHILD | WS_VISIBLE), 48, 32, 40, 68, 1033, 0x85, "");
  item(0x50210202 & ~(WS_CHILD | WS_VISIBLE), 132, 32, 40, 68, 1034, 0x85, "");
  item(WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 80, 50, 14, IDOK, 0x80, "OK");
  item(WS_TABSTOP, 70, 80, 50, 14, IDCANCEL, 0x80, "Cancel");
  return w;
}
}  // namespace

TEST_F(ComboBoxInDialogTest, TemplateHeightIsTheDroppedHeightAndKeysStayWithTheList) {
  const std::vector<WORD> t = comboDialog();
  HWND d = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), nullptr,
                                     dlgtest::recordingProc, 0);
  ASSERT_NE(d, nullptr);
  HWND start = GetDlgItem(d, 1033);
  EXPECT_EQ(dlgtest::classOf(start), "ComboBox");
  for (const char* m : kMonths) SendDlgItemMessage(d, 1033, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m));
  RECT full{0, 32, 0, 32 + 68};
  MapDialogRect(d, full);
  RECT wr, dr;
  GetWindowRect(start, wr);
  SendMessage(start, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dr));
  EXPECT_LT(wr.bottom - wr.top, 30) << "the window keeps the height of its field";
  EXPECT_EQ(dr.top, wr.top);
  EXPECT_EQ(dr.bottom - dr.top, full.bottom - full.top) << "the template's height is the dropped height";
  EXPECT_EQ(GetFocus(), GetDlgItem(start, kComboEditId));
  // Dropped, the list shows whole items only: its height is cut to a number of items.
  test::pressKey(VK_F4);
  dlgtest::pump(d);
  HWND list = droppedList();
  ASSERT_NE(list, nullptr);
  RECT lc;
  GetClientRect(list, lc);
  const int itemheight = static_cast<int>(SendMessage(start, CB_GETITEMHEIGHT, 0, 0));
  ASSERT_GT(itemheight, 0);
  EXPECT_EQ(lc.bottom % itemheight, 0) << lc.bottom << " for items of " << itemheight;
  EXPECT_GT(lc.bottom / itemheight, 1);
  EXPECT_LE(lc.bottom, full.bottom - full.top - (wr.bottom - wr.top));
  test::pressKey(VK_ESCAPE);
  dlgtest::pump(d);
  test::pressKey(VK_DOWN);
  dlgtest::pump(d);
  EXPECT_EQ(SendMessage(start, CB_GETCURSEL, 0, 0), 0) << "arrows go to the combo box, not to the next control";
  test::pressKey(VK_F4);
  test::pressKey(VK_DOWN);
  test::pressKey(VK_RETURN);
  dlgtest::pump(d);
  EXPECT_EQ(SendMessage(start, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(std::count(dlgtest::record().commands.begin(), dlgtest::record().commands.end(), IDOK), 0)
      << "Enter closes the dropped list and presses no button";
  test::pressKey(VK_F4);
  test::pressKey(VK_ESCAPE);
  dlgtest::pump(d);
  EXPECT_EQ(std::count(dlgtest::record().commands.begin(), dlgtest::record().commands.end(), IDCANCEL), 0);
  EXPECT_FALSE(SendMessage(start, CB_GETDROPPEDSTATE, 0, 0));
  test::pressKey(VK_TAB);
  dlgtest::pump(d);
  EXPECT_EQ(GetFocus(), GetDlgItem(GetDlgItem(d, 1034), kComboEditId)) << "Tab leaves the edit part for the next combo box";
  test::pressKey(VK_TAB, test::kShift);
  dlgtest::pump(d);
  EXPECT_EQ(GetFocus(), GetDlgItem(start, kComboEditId));
  test::pressKey(VK_RETURN);
  dlgtest::pump(d);
  EXPECT_EQ(dlgtest::record().commands.back(), IDOK) << "Enter in a closed combo box is the dialog's";
  auto countOf = [](int id, int code) {
    const dlgtest::Record& r = dlgtest::record();
    int n = 0;
    for (std::size_t i = 0; i < r.commands.size(); ++i) n += r.commands[i] == id && r.codes[i] == code;
    return n;
  };
  EXPECT_EQ(countOf(1033, CBN_SETFOCUS), 2) << "once on creation, once on coming back";
  EXPECT_EQ(countOf(1033, CBN_KILLFOCUS), 1);
  DestroyWindow(d);
}
