// The LISTBOX control: items and item data, sorted insertion, LB_ERR answers, single,
// multiple and extended selection by keys and clicks, notifications, scrolling, and the
// list in a dialog from its template atom.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/listbox.h"
#include "tests/platform/ctl_helpers.h"
#include "tests/platform/dlg_helpers.h"

using namespace win;
using ctltest::codesFrom;

namespace {

constexpr int kId = 400;

class ListBoxTest : public ctltest::Fixture {
 protected:
  HWND list(DWORD style, const std::vector<const char*>& items, int height = 100) {
    HWND l = make("LISTBOX", style | WS_BORDER | WS_VSCROLL, 20, 20, 150, height, kId);
    for (const char* s : items) SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SetFocus(l);
    test::runUntilIdle();
    ctltest::parent().commands.clear();
    return l;
  }
  static std::string itemText(HWND l, int i) {
    char buf[64] = {};
    SendMessage(l, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
    return buf;
  }
  static std::vector<int> selected(HWND l) {
    std::vector<int> out(64);
    const LRESULT n = SendMessage(l, LB_GETSELITEMS, out.size(), reinterpret_cast<LPARAM>(out.data()));
    out.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return out;
  }
  // Clicks the middle of item i.
  static void clickItem(HWND l, int i, unsigned mods = 0) {
    RECT r;
    SendMessage(l, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    const POINT p = ctltest::screenOf(l, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    if (mods & test::kShift) test::keyDown(VK_SHIFT);
    if (mods & test::kCtrl) test::keyDown(VK_CONTROL);
    test::click(p.x, p.y);
    if (mods & test::kCtrl) test::keyUp(VK_CONTROL);
    if (mods & test::kShift) test::keyUp(VK_SHIFT);
    test::advanceTime(1000);   // the next click is no double click
    test::runUntilIdle();
  }
};

}  // namespace

TEST_F(ListBoxTest, ItemsKeepTheirDataAndSortedListsTheirOrder) {
  HWND l = list(LBS_SORT, {"Sep", "apr", "Jan", "may"});
  EXPECT_EQ(SendMessage(l, LB_GETCOUNT, 0, 0), 4);
  const std::vector<std::string> want = {"apr", "Jan", "may", "Sep"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(itemText(l, i), want[static_cast<std::size_t>(i)]) << "case does not count";
  EXPECT_EQ(SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Feb")), 1);
  EXPECT_EQ(SendMessage(l, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("first")), 0) << "insertion does not sort";
  EXPECT_EQ(SendMessage(l, LB_SETITEMDATA, 2, 1234), LB_OKAY);
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 2, 0), 1234);
  EXPECT_EQ(SendMessage(l, LB_DELETESTRING, 0, 0), 5);
  EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 1, 0), 1234) << "data moves with its item";
  EXPECT_EQ(SendMessage(l, LB_GETTEXTLEN, 1, 0), 3);
  EXPECT_EQ(SendMessage(l, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("s")), 4);
  EXPECT_EQ(SendMessage(l, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("JAN")), 2);
  EXPECT_EQ(SendMessage(l, LB_FINDSTRINGEXACT, 2, reinterpret_cast<LPARAM>("ja")), LB_ERR);
  EXPECT_EQ(SendMessage(l, LB_FINDSTRING, 2, reinterpret_cast<LPARAM>("a")), 0) << "the search wraps";
  SendMessage(l, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessage(l, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(ListBoxTest, RequestsOutOfRangeAnswerLbErr) {
  HWND single = list(0, {"a", "b"});
  HWND multi = list(LBS_MULTIPLESEL, {"a", "b"});
  struct Case { const char* why; HWND l; UINT msg; WPARAM w; LPARAM lp; };
  char buf[8];
  const Case cases[] = {
      {"text beyond the end", single, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(buf)},
      {"text length of -1", single, LB_GETTEXTLEN, static_cast<WPARAM>(-1), 0},
      {"deleting beyond the end", single, LB_DELETESTRING, 5, 0},
      {"inserting past the end", single, LB_INSERTSTRING, 3, reinterpret_cast<LPARAM>("x")},
      {"item data beyond the end", single, LB_GETITEMDATA, 2, 0},
      {"selection state beyond the end", single, LB_GETSEL, 9, 0},
      {"nothing selected", single, LB_GETCURSEL, 0, 0},
      {"selecting beyond the end", single, LB_SETCURSEL, 7, 0},
      {"clearing the selection", single, LB_SETCURSEL, static_cast<WPARAM>(-1), 0},
      {"LB_SETSEL on a single-selection list", single, LB_SETSEL, TRUE, 0},
      {"selection count of a single-selection list", single, LB_GETSELCOUNT, 0, 0},
      {"LB_SETCURSEL on a multiple-selection list", multi, LB_SETCURSEL, 0, 0},
      {"searching an unknown text", single, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("zz")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(SendMessage(c.l, c.msg, c.w, c.lp), LB_ERR);
  }
  EXPECT_EQ(SendMessage(single, LB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(SendMessage(single, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
  EXPECT_EQ(SendMessage(single, LB_GETCURSEL, 0, 0), LB_ERR) << "the selection was cleared all the same";
  EXPECT_TRUE(codesFrom(kId).empty()) << "requests of the program are not reported";
}

TEST_F(ListBoxTest, SingleSelectionFollowsClicksKeysAndLetters) {
  HWND l = list(LBS_NOTIFY, {"Annual", "Baseflow", "Daily", "Dry", "Monthly"});
  clickItem(l, 2);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 2);
  test::pressKey(VK_DOWN);
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 3);
  test::pressKey(VK_HOME);
  test::typeText("d");
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 2) << "the next item starting with the letter";
  test::typeText("d");
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 3);
  test::pressKey(VK_END);
  test::pressKey(VK_DOWN);
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 4) << "stays on the last";
  EXPECT_EQ(codesFrom(kId), std::vector<int>(6, LBN_SELCHANGE)) << "one for each change, none at the end";
  clickItem(l, 4);
  EXPECT_EQ(codesFrom(kId).size(), 6u) << "a click on the selected item changes nothing";
  RECT r;
  SendMessage(l, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  const POINT p = ctltest::screenOf(l, 10, (r.top + r.bottom) / 2);
  test::click(p.x, p.y);
  test::click(p.x, p.y);
  test::runUntilIdle();
  EXPECT_EQ(codesFrom(kId).back(), LBN_DBLCLK);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 1);
}

TEST_F(ListBoxTest, WithoutNotifyStyleOnlyFocusIsReported) {
  HWND l = list(0, {"a", "b"});
  clickItem(l, 1);
  SetFocus(top);
  test::runUntilIdle();
  EXPECT_EQ(codesFrom(kId), std::vector<int>({LBN_KILLFOCUS}));
}

TEST_F(ListBoxTest, MultipleSelectionTogglesByClickAndSpace) {
  HWND l = list(LBS_MULTIPLESEL | LBS_NOTIFY, {"1", "2", "3", "4"});
  clickItem(l, 0);
  clickItem(l, 2);
  EXPECT_EQ(selected(l), std::vector<int>({0, 2}));
  clickItem(l, 0);
  EXPECT_EQ(selected(l), std::vector<int>({2}));
  test::pressKey(VK_DOWN);
  test::pressKey(VK_SPACE);
  test::runUntilIdle();
  EXPECT_EQ(selected(l), std::vector<int>({1, 2})) << "arrows move the caret from the last click, Space toggles";
  EXPECT_EQ(SendMessage(l, LB_GETSELCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessage(l, LB_GETCARETINDEX, 0, 0), 1);
  SendMessage(l, LB_SETSEL, FALSE, -1);
  EXPECT_TRUE(selected(l).empty());
  SendMessage(l, LB_SELITEMRANGEEX, 1, 3);
  EXPECT_EQ(selected(l), std::vector<int>({1, 2, 3}));
  SendMessage(l, LB_SELITEMRANGEEX, 2, 1);
  EXPECT_EQ(selected(l), std::vector<int>({3})) << "first above last clears";
  SendMessage(l, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 1));
  EXPECT_EQ(SendMessage(l, LB_GETSEL, 1, 0), 1);
  EXPECT_EQ(SendMessage(l, LB_GETSEL, 2, 0), 0);
}

TEST_F(ListBoxTest, ExtendedSelectionTakesShiftRangesAndCtrlToggles) {
  HWND l = list(LBS_EXTENDEDSEL | LBS_NOTIFY, {"a", "b", "c", "d", "e", "f"});
  clickItem(l, 1);
  clickItem(l, 3, test::kShift);
  EXPECT_EQ(selected(l), std::vector<int>({1, 2, 3}));
  clickItem(l, 5, test::kCtrl);
  EXPECT_EQ(selected(l), std::vector<int>({1, 2, 3, 5}));
  clickItem(l, 2);
  EXPECT_EQ(selected(l), std::vector<int>({2})) << "a plain click selects one";
  test::pressKey(VK_DOWN, test::kShift);
  test::pressKey(VK_DOWN, test::kShift);
  test::runUntilIdle();
  EXPECT_EQ(selected(l), std::vector<int>({2, 3, 4}));
  test::pressKey(VK_UP);
  test::runUntilIdle();
  EXPECT_EQ(selected(l), std::vector<int>({3}));
  EXPECT_EQ(SendMessage(l, LB_GETANCHORINDEX, 0, 0), 3);
}

TEST_F(ListBoxTest, KeepsTheCaretItemInViewAndScrolls) {
  std::vector<const char*> items;
  const char* names[] = {"i0", "i1", "i2", "i3", "i4", "i5", "i6", "i7", "i8", "i9", "i10", "i11", "i12", "i13", "i14", "i15", "i16", "i17", "i18", "i19"};
  for (const char* n : names) items.push_back(n);
  HWND l = list(0, items, 60);
  const int ih = static_cast<int>(SendMessage(l, LB_GETITEMHEIGHT, 0, 0));
  EXPECT_GT(ih, 8);
  test::pressKey(VK_END);
  test::runUntilIdle();
  const int top = static_cast<int>(SendMessage(l, LB_GETTOPINDEX, 0, 0));
  RECT c;
  GetClientRect(l, c);
  EXPECT_EQ(top, 20 - static_cast<int>(c.bottom) / ih);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(l, SB_VERT, si);
  EXPECT_EQ(si.nMax, 19);
  EXPECT_EQ(si.nPos, top);
  SendMessage(l, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 0);
  EXPECT_EQ(SendMessage(l, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, static_cast<WORD>(ih + 1))), MAKELONG(1, 0));
  const POINT p = ctltest::screenOf(l, 10, 10);
  test::wheel(p.x, p.y, -WHEEL_DELTA);
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), 3) << "a wheel notch scrolls three items";
}

TEST_F(ListBoxTest, DrawsTheSelectedItemHighlighted) {
  HWND l = list(0, {"alpha", "beta"});
  SendMessage(l, LB_SETCURSEL, 1, 0);
  test::runUntilIdle();
  RECT r;
  SendMessage(l, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(test::pixel(l, r.right - 3, r.top + 2), GetSysColor(COLOR_HIGHLIGHT));
  SendMessage(l, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(test::pixel(l, r.right - 3, r.top + 2), GetSysColor(COLOR_WINDOW));
}

class ListBoxInDialogTest : public dlgtest::Fixture {};

TEST_F(ListBoxInDialogTest, TemplateAtomMakesAListThatKeepsTheArrowKeys) {
  std::vector<WORD> w;
  auto put32 = [&](DWORD v) {
    w.push_back(static_cast<WORD>(v & 0xFFFF));
    w.push_back(static_cast<WORD>(v >> 16));
  };
  auto text = [&](const char* s) {
    for (; *s; ++s) w.push_back(static_cast<unsigned char>(*s));
    w.push_back(0);
  };
  put32(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT);
  put32(0);
  w.push_back(2);
  w.insert(w.end(), {10, 10, 150, 100});
  w.push_back(0);
  w.push_back(0);
  text("List");
  w.push_back(8);
  text("MS Sans Serif");
  auto item = [&](DWORD style, short y, short cy, WORD id, WORD atom, const char* t) {
    if (w.size() % 2) w.push_back(0);
    put32(style | WS_CHILD | WS_VISIBLE);
    put32(0);
    w.insert(w.end(), {10, static_cast<WORD>(y), 100, static_cast<WORD>(cy), id, 0xFFFF, atom});
    text(t);
    w.push_back(0);
  };
  item(WS_BORDER | WS_TABSTOP | LBS_NOTIFY, 10, 50, 101, 0x83, "");
  item(WS_TABSTOP | BS_DEFPUSHBUTTON, 70, 14, IDOK, 0x80, "OK");
  HWND d = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(w.data()), nullptr,
                                     dlgtest::recordingProc, 0);
  ASSERT_NE(d, nullptr);
  HWND l = GetDlgItem(d, 101);
  EXPECT_EQ(dlgtest::classOf(l), "ListBox");
  for (const char* s : {"one", "two", "three"}) SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  EXPECT_EQ(GetFocus(), l);
  test::pressKey(VK_DOWN);
  test::pressKey(VK_DOWN);
  dlgtest::pump(d);
  EXPECT_EQ(GetFocus(), l);
  EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), 1) << "the first Down selects the first item";
  test::pressKey(VK_RETURN);
  dlgtest::pump(d);
  EXPECT_EQ(dlgtest::record().commands.back(), IDOK);
  DestroyWindow(d);
}
