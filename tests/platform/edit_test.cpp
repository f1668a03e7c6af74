// The EDIT control driven by injected keys and clicks: typing, navigation and selection,
// limits and filters, undo and the clipboard, positions that agree with the drawing,
// notifications, colours, and its place in a dialog's keyboard interface.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/edit.h"
#include "tests/platform/ctl_helpers.h"
#include "tests/platform/dlg_helpers.h"

using namespace win;
using ctltest::codesFrom;
using ctltest::sent;
using ctltest::textOf;

namespace {

constexpr int kId = 300;

std::pair<int, int> selOf(HWND e) {
  DWORD a = 0, b = 0;
  SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  return {static_cast<int>(a), static_cast<int>(b)};
}

POINT posOf(HWND e, int i) {
  const LRESULT r = SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0);
  return POINT{GET_X_LPARAM(r), GET_Y_LPARAM(r)};
}

std::string clipboardText() {
  std::string s;
  if (!OpenClipboard(nullptr)) return s;
  if (HGLOBAL g = GetClipboardData(CF_TEXT)) {
    s = static_cast<const char*>(GlobalLock(g));
    GlobalUnlock(g);
  }
  CloseClipboard();
  return s;
}

void putClipboard(const std::string& s) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
  std::memcpy(GlobalLock(g), s.c_str(), s.size() + 1);
  GlobalUnlock(g);
  SetClipboardData(CF_TEXT, g);
  CloseClipboard();
}

class EditTest : public ctltest::Fixture {
 protected:
  HWND edit(DWORD style, const char* text = "", int w = 200, int h = 22) {
    HWND e = make("EDIT", style | WS_BORDER, 20, 20, w, h, kId, text);
    SetFocus(e);
    test::runUntilIdle();
    parent().commands.clear();
    return e;
  }
  static ctltest::Parent& parent() { return ctltest::parent(); }
};

}  // namespace

TEST_F(EditTest, TypedTextArrivesWithUpdateAndChangeNotifications) {
  HWND e = edit(ES_AUTOHSCROLL);
  EXPECT_FALSE(SendMessage(e, EM_GETMODIFY, 0, 0));
  test::typeText("Flow 12");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "Flow 12");
  EXPECT_EQ(selOf(e), std::make_pair(7, 7));
  EXPECT_TRUE(SendMessage(e, EM_GETMODIFY, 0, 0));
  const std::vector<int> codes = codesFrom(kId);
  ASSERT_EQ(codes.size(), 14u) << "EN_UPDATE then EN_CHANGE for every character";
  EXPECT_EQ(codes[0], EN_UPDATE);
  EXPECT_EQ(codes[1], EN_CHANGE);
}

TEST_F(EditTest, KeysMoveTheCaretAndEditTheText) {
  struct Case {
    const char* why;
    const char* text;
    std::vector<std::pair<int, unsigned>> keys;
    const char* typed;
    const char* want;
    std::pair<int, int> sel;
  };
  const Case cases[] = {
      {"Home then typing inserts at the start", "rain", {{VK_HOME, 0}}, "x", "xrain", {1, 1}},
      {"Left twice inserts two before the end", "rain", {{VK_LEFT, 0}, {VK_LEFT, 0}}, "-", "ra-in", {3, 3}},
      {"Shift+Home selects to the start, typing replaces", "rain", {{VK_HOME, test::kShift}}, "Sn", "Sn", {2, 2}},
      {"Backspace deletes before the caret", "rain", {{VK_BACK, 0}}, "", "rai", {3, 3}},
      {"Delete at the start deletes the first", "rain", {{VK_HOME, 0}, {VK_DELETE, 0}}, "", "ain", {0, 0}},
      {"Ctrl+Left jumps a word", "daily flow", {{VK_LEFT, test::kCtrl}}, "mean ", "daily mean flow", {11, 11}},
      {"Ctrl+Right from the start lands on the next word", "daily flow", {{VK_HOME, 0}, {VK_RIGHT, test::kCtrl}}, "", "daily flow", {6, 6}},
      {"Shift+Left twice then Delete removes two", "baseflow", {{VK_LEFT, test::kShift}, {VK_LEFT, test::kShift}, {VK_DELETE, 0}}, "", "basefl", {6, 6}},
      {"Left with a selection collapses it to its start", "abcdef", {{VK_LEFT, test::kShift}, {VK_LEFT, test::kShift}, {VK_LEFT, 0}}, "", "abcdef", {4, 4}},
      {"Up and Down in a single line move as Left and Right", "abc", {{VK_UP, 0}, {VK_UP, 0}, {VK_DOWN, 0}}, "", "abc", {2, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    HWND e = edit(ES_AUTOHSCROLL, c.text);
    SendMessage(e, EM_SETSEL, 100, 100);
    for (auto [vk, mods] : c.keys) test::pressKey(vk, mods);
    test::typeText(c.typed);
    test::runUntilIdle();
    EXPECT_EQ(textOf(e), c.want);
    EXPECT_EQ(selOf(e), c.sel);
    DestroyWindow(e);
  }
}

TEST_F(EditTest, SetSelectionTakesMinusOneAsTheEndAndAsNoSelection) {
  HWND e = edit(0, "gauge");
  SendMessage(e, EM_SETSEL, 0, -1);
  EXPECT_EQ(selOf(e), std::make_pair(0, 5));
  EXPECT_EQ(SendMessage(e, EM_GETSEL, 0, 0), MAKELONG(0, 5));
  SendMessage(e, EM_SETSEL, 4, 1);
  EXPECT_EQ(selOf(e), std::make_pair(1, 4)) << "reported in order";
  test::pressKey(VK_RIGHT, test::kShift);
  test::runUntilIdle();
  EXPECT_EQ(selOf(e), std::make_pair(2, 4)) << "the caret end was the second argument";
  SendMessage(e, EM_SETSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(selOf(e), std::make_pair(2, 2));
}

TEST_F(EditTest, LimitNumberCaseAndReadOnlyFilterWhatTheUserEnters) {
  HWND limited = edit(ES_AUTOHSCROLL);
  SendMessage(limited, EM_LIMITTEXT, 3, 0);
  EXPECT_EQ(SendMessage(limited, EM_GETLIMITTEXT, 0, 0), 3);
  test::typeText("abcd");
  test::runUntilIdle();
  EXPECT_EQ(textOf(limited), "abc");
  EXPECT_TRUE(sent(kId, EN_MAXTEXT));
  SetWindowText(limited, "longer than three");
  EXPECT_EQ(textOf(limited), "longer than three") << "the limit holds the user, not the program";
  DestroyWindow(limited);

  HWND number = edit(ES_NUMBER | ES_AUTOHSCROLL);
  const int beeps = test::beepCount();
  test::typeText("1a2");
  test::runUntilIdle();
  EXPECT_EQ(textOf(number), "12");
  EXPECT_EQ(test::beepCount(), beeps + 1);
  DestroyWindow(number);

  HWND upper = edit(ES_UPPERCASE | ES_AUTOHSCROLL);
  test::typeText("Tarn");
  test::runUntilIdle();
  EXPECT_EQ(textOf(upper), "TARN");
  DestroyWindow(upper);

  HWND ro = edit(ES_READONLY | ES_AUTOHSCROLL, "fixed");
  test::typeText("x");
  test::pressKey(VK_BACK);
  test::runUntilIdle();
  EXPECT_EQ(textOf(ro), "fixed");
  EXPECT_FALSE(SendMessage(ro, EM_GETMODIFY, 0, 0));
  SendMessage(ro, EM_SETREADONLY, FALSE, 0);
  EXPECT_FALSE(GetWindowLong(ro, GWL_STYLE) & ES_READONLY);
  SendMessage(ro, EM_SETSEL, 5, 5);
  test::typeText("!");
  test::runUntilIdle();
  EXPECT_EQ(textOf(ro), "fixed!");
}

TEST_F(EditTest, WithoutAutoScrollASingleLineTakesOnlyWhatFits) {
  HWND e = edit(0, "", 40);
  test::typeText("a long text that cannot fit");
  test::runUntilIdle();
  const std::string t = textOf(e);
  EXPECT_FALSE(t.empty());
  EXPECT_LT(t.size(), 27u);
  EXPECT_TRUE(sent(kId, EN_MAXTEXT));
  RECT fr;
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
  EXPECT_LE(posOf(e, static_cast<int>(t.size())).x, fr.right);
}

TEST_F(EditTest, UndoTakesBackTheTypedRunAndAgainRedoesIt) {
  HWND e = edit(ES_AUTOHSCROLL, "Q");
  EXPECT_FALSE(SendMessage(e, EM_CANUNDO, 0, 0));
  SendMessage(e, EM_SETSEL, 1, 1);
  test::typeText("max");
  test::runUntilIdle();
  EXPECT_TRUE(SendMessage(e, EM_CANUNDO, 0, 0));
  test::pressKey('Z', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "Q") << "the run of typed characters goes at once";
  SendMessage(e, EM_UNDO, 0, 0);
  EXPECT_EQ(textOf(e), "Qmax");
  SetWindowText(e, "new");
  EXPECT_FALSE(SendMessage(e, EM_CANUNDO, 0, 0)) << "text from the program empties the undo";
  EXPECT_FALSE(SendMessage(e, EM_GETMODIFY, 0, 0));
}

TEST_F(EditTest, CutCopyAndPasteGoThroughTheClipboard) {
  HWND e = edit(ES_AUTOHSCROLL, "rain gauge");
  SendMessage(e, EM_SETSEL, 0, 4);
  test::pressKey('C', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(clipboardText(), "rain");
  SendMessage(e, EM_SETSEL, 5, 10);
  test::pressKey('X', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "rain ");
  EXPECT_EQ(clipboardText(), "gauge");
  SendMessage(e, EM_SETSEL, 0, 0);
  test::pressKey('V', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "gaugerain ");
  EXPECT_EQ(selOf(e), std::make_pair(5, 5));
  test::pressKey(VK_DELETE, test::kShift);   // nothing selected: nothing cut
  test::runUntilIdle();
  EXPECT_EQ(clipboardText(), "gauge");

  putClipboard("first line\r\nsecond");
  SetWindowText(e, "");
  test::pressKey(VK_INSERT, test::kShift);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "first line") << "a single line takes the first line of a paste";
  SendMessage(e, WM_UNDO, 0, 0);
  EXPECT_EQ(textOf(e), "");
}

TEST_F(EditTest, PasswordShowsStarsAndKeepsItsTextOffTheClipboard) {
  HWND e = edit(ES_PASSWORD | ES_AUTOHSCROLL);
  EXPECT_EQ(SendMessage(e, EM_GETPASSWORDCHAR, 0, 0), '*');
  test::typeText("secret");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "secret");
  putClipboard("before");
  SendMessage(e, EM_SETSEL, 0, -1);
  SendMessage(e, WM_COPY, 0, 0);
  SendMessage(e, WM_CUT, 0, 0);
  EXPECT_EQ(clipboardText(), "before");
  EXPECT_EQ(textOf(e), "secret");
  // Six stars are as wide as six stars, whatever the letters.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE stars;
  GetTextExtentPoint32(dc, "******", 6, stars);
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_EQ(posOf(e, 6).x - posOf(e, 0).x, stars.cx);
}

// The positions the control reports are where it draws: text pixels lie between the
// position of the first character and that of the end, none left of it, for each alignment.
TEST_F(EditTest, PositionsAgreeWithTheDrawingForEveryAlignment) {
  struct Case { const char* why; DWORD style; };
  const Case cases[] = {
      {"left", ES_LEFT},
      {"centred", ES_CENTER | ES_MULTILINE},
      {"right", ES_RIGHT | ES_MULTILINE},
      {"right, single line", ES_RIGHT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    HWND e = edit(c.style, "WMW", 150, 24);
    SetFocus(top);
    test::runUntilIdle();
    RECT fr;
    SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
    const POINT p0 = posOf(e, 0), p3 = posOf(e, 3);
    EXPECT_EQ(p0.y, fr.top);
    EXPECT_GT(p3.x, p0.x);
    if (c.style & ES_RIGHT) {
      EXPECT_NEAR(p3.x, fr.right, 1);
    } else if (c.style & ES_CENTER) {
      EXPECT_NEAR((p0.x + p3.x) / 2, (fr.left + fr.right) / 2, 1);
    } else {
      EXPECT_EQ(p0.x, fr.left);
    }
    int w = 0, h = 0;
    const std::vector<COLORREF> px = test::pixels(e, true, w, h);
    const COLORREF bg = GetSysColor(COLOR_WINDOW);
    int minX = w, maxX = -1;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (px[static_cast<std::size_t>(y * w + x)] != bg) {
          minX = std::min(minX, x);
          maxX = std::max(maxX, x);
        }
    EXPECT_GE(minX, p0.x);
    EXPECT_LE(minX, p0.x + 2) << "W starts at its left edge";
    EXPECT_LT(maxX, p3.x + 1);
    EXPECT_GE(maxX, p3.x - 3);
    for (int i = 0; i <= 3; ++i) {
      const POINT p = posOf(e, i);
      EXPECT_EQ(LOWORD(static_cast<UINT_PTR>(SendMessage(e, EM_CHARFROMPOS, 0, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y + 2))))), i);
    }
    EXPECT_EQ(SendMessage(e, EM_POSFROMCHAR, 4, 0), -1) << "beyond the end";
    DestroyWindow(e);
  }
}

// Typed into a right-aligned number field that it fits, the text stays flush right, where the
// field's neighbours (a grid's cells) draw theirs: the caret at the end is no reason to scroll.
TEST_F(EditTest, TypingIntoARightAlignedFieldKeepsTheTextFlushRight) {
  for (DWORD style : {DWORD{ES_RIGHT | ES_MULTILINE | ES_AUTOHSCROLL}, DWORD{ES_RIGHT | ES_AUTOHSCROLL}}) {
    SCOPED_TRACE(style);
    HWND e = edit(style, "", 90, 22);
    test::typeText("7.5");
    test::runUntilIdle();
    ASSERT_EQ(textOf(e), "7.5");
    RECT fr;
    SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
    EXPECT_NEAR(posOf(e, 3).x, fr.right, 1) << "typed";
    SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("7.5"));
    EXPECT_NEAR(posOf(e, 3).x, fr.right, 1) << "set";
    DestroyWindow(e);
  }
}

TEST_F(EditTest, MouseClickPlacesTheCaretDragSelectsDoubleClickTakesAWord) {
  HWND e = edit(ES_AUTOHSCROLL, "mean daily flow");
  SetFocus(top);
  test::runUntilIdle();
  const POINT p2 = posOf(e, 2), p7 = posOf(e, 7);
  ctltest::clickAt(e, p2.x + 1, p2.y + 5);
  EXPECT_EQ(GetFocus(), e);
  EXPECT_EQ(selOf(e), std::make_pair(2, 2)) << "a click focuses without selecting all";
  test::advanceTime(2000);   // not a double click
  POINT a = ctltest::screenOf(e, p2.x, p2.y + 5), b = ctltest::screenOf(e, p7.x, p7.y + 5);
  test::mouseDown(test::Button::Left, a.x, a.y);
  test::mouseMove(b.x, b.y);
  test::mouseUp(test::Button::Left, b.x, b.y);
  test::runUntilIdle();
  EXPECT_EQ(selOf(e), std::make_pair(2, 7));
  const POINT mid = ctltest::screenOf(e, (posOf(e, 6).x + posOf(e, 8).x) / 2, p2.y + 5);
  test::advanceTime(2000);
  test::click(mid.x, mid.y);
  test::click(mid.x, mid.y);
  test::runUntilIdle();
  EXPECT_EQ(selOf(e), std::make_pair(5, 10)) << "the word under the double click";
}

TEST_F(EditTest, MultiLineBreaksLinesAndMovesBetweenThem) {
  HWND e = edit(ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, "", 200, 80);
  test::typeText("first\nsecond line\nthird");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "first\r\nsecond line\r\nthird");
  EXPECT_EQ(SendMessage(e, EM_GETLINECOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 1, 0), 7);
  EXPECT_EQ(SendMessage(e, EM_LINEINDEX, 3, 0), -1);
  EXPECT_EQ(SendMessage(e, EM_LINELENGTH, 7, 0), 11);
  EXPECT_EQ(SendMessage(e, EM_LINEFROMCHAR, 20, 0), 2);
  char line[32] = {};
  *reinterpret_cast<WORD*>(line) = sizeof line;
  EXPECT_EQ(SendMessage(e, EM_GETLINE, 1, reinterpret_cast<LPARAM>(line)), 11);
  EXPECT_EQ(std::string(line, 11), "second line");
  test::pressKey(VK_UP);
  test::pressKey(VK_HOME);
  test::runUntilIdle();
  EXPECT_EQ(selOf(e), std::make_pair(7, 7));
  test::pressKey(VK_BACK);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "firstsecond line\r\nthird") << "a CR LF goes as one";
  EXPECT_GT(posOf(e, 18).y, posOf(e, 0).y);

  HWND wrapped = edit(ES_MULTILINE, "one two three four five six seven", 60, 200);
  EXPECT_GT(SendMessage(wrapped, EM_GETLINECOUNT, 0, 0), 2) << "words wrap without ES_AUTOHSCROLL";
  EXPECT_EQ(SendMessage(wrapped, EM_LINEINDEX, 1, 0) > 0, true);
  const int second = static_cast<int>(SendMessage(wrapped, EM_LINEINDEX, 1, 0));
  EXPECT_EQ(std::string("one two three four five six seven").at(static_cast<std::size_t>(second) - 1), ' ');
}

// Putting a long text into a wrapping multi-line edit measured every prefix of every line
// and the whole rest of the paragraph at each line: a megabyte took over a minute. The lines
// must still break after the last blank that fits; a generous bound turns a return of that
// into a failure instead of a hang.
TEST_F(EditTest, ALongParagraphWrapsAfterTheLastBlankThatFitsAndSoon) {
  HWND e = edit(ES_MULTILINE, "", 200, 200);
  std::string text;
  while (text.size() < (1u << 20)) text += "The sponsor of this program gives no warranty for its results. ";
  const auto begun = std::chrono::steady_clock::now();
  SetWindowText(e, text.c_str());
  const int lines = static_cast<int>(SendMessage(e, EM_GETLINECOUNT, 0, 0));
  EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(20));
  ASSERT_GT(lines, 1000);
  HDC dc = GetDC(e);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(e, WM_GETFONT, 0, 0)));
  RECT fr;
  SendMessage(e, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
  for (int k : {0, 1, lines / 2, lines - 2}) {
    SCOPED_TRACE(k);
    const int a = static_cast<int>(SendMessage(e, EM_LINEINDEX, static_cast<WPARAM>(k), 0));
    const int b = static_cast<int>(SendMessage(e, EM_LINEINDEX, static_cast<WPARAM>(k + 1), 0));
    ASSERT_GT(b, a);
    EXPECT_EQ(text[static_cast<std::size_t>(b) - 1], ' ') << "broken after a blank";
    const std::string line = text.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a));
    const std::string shown = line.substr(0, line.find_last_not_of(' ') + 1);
    SIZE sz;
    GetTextExtentPoint32(dc, shown.c_str(), static_cast<int>(shown.size()), sz);
    EXPECT_LE(sz.cx, fr.right - fr.left) << "the line fits";
    const std::size_t next = text.find(' ', static_cast<std::size_t>(b));
    const std::string longer = text.substr(static_cast<std::size_t>(a), next - static_cast<std::size_t>(a));
    GetTextExtentPoint32(dc, longer.c_str(), static_cast<int>(longer.size()), sz);
    EXPECT_GT(sz.cx, fr.right - fr.left) << "the next word would not";
  }
  SelectObject(dc, old);
  ReleaseDC(e, dc);
}

TEST_F(EditTest, FocusChangesAreReported) {
  HWND e = edit(0);
  HWND other = make("EDIT", WS_BORDER, 20, 60, 100, 22, kId + 1);
  SetFocus(other);
  SetFocus(e);
  test::runUntilIdle();
  const std::vector<int> codes = codesFrom(kId);
  ASSERT_EQ(codes.size(), 2u);
  EXPECT_EQ(codes[0], EN_KILLFOCUS);
  EXPECT_EQ(codes[1], EN_SETFOCUS);
}

TEST_F(EditTest, ColoursComeFromTheParentAsEditOrStatic) {
  parent().brush = CreateSolidBrush(RGB(255, 255, 0));
  parent().textColour = RGB(0, 0, 255);
  HWND e = edit(0, "Xx");
  SetFocus(top);
  test::runUntilIdle();
  EXPECT_EQ(parent().colourMessages.back(), WM_CTLCOLOREDIT);
  EXPECT_EQ(test::pixel(e, 0, 0), RGB(255, 255, 0));
  int w = 0, h = 0;
  bool blueText = false;
  for (COLORREF c : test::pixels(e, true, w, h)) blueText |= GetBValue(c) > 128 && GetRValue(c) < 128;
  EXPECT_TRUE(blueText);
  SendMessage(e, EM_SETREADONLY, TRUE, 0);
  test::runUntilIdle();
  EXPECT_EQ(parent().colourMessages.back(), WM_CTLCOLORSTATIC) << "read-only edits colour as statics";
  DeleteObject(parent().brush);
  parent().brush = nullptr;
  InvalidateRect(e, nullptr, TRUE);
  test::runUntilIdle();
  EXPECT_EQ(test::pixel(e, 0, 0), GetSysColor(COLOR_BTNFACE));
  SendMessage(e, EM_SETREADONLY, FALSE, 0);
  test::runUntilIdle();
  EXPECT_EQ(test::pixel(e, 0, 0), GetSysColor(COLOR_WINDOW));
}

class EditInDialogTest : public dlgtest::Fixture {};

// A dialog from a template whose items name the predefined classes by atom.
namespace {
std::vector<WORD> editDialog(DWORD multiStyle) {
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
    w.insert(w.end(), {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx), static_cast<WORD>(cy), id});
    w.insert(w.end(), {0xFFFF, atom});
    text(t);
    w.push_back(0);
  };
  put32(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT);
  put32(0);
  w.push_back(4);
  w.insert(w.end(), {10, 10, 200, 120});
  w.push_back(0);
  w.push_back(0);
  text("Edit");
  w.push_back(8);
  text("MS Sans Serif");
  item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 100, 12, 101, 0x81, "title");
  item(WS_BORDER | WS_TABSTOP | ES_MULTILINE | multiStyle, 10, 30, 100, 40, 102, 0x81, "a");
  item(WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 90, 50, 14, IDOK, 0x80, "OK");
  item(WS_TABSTOP, 70, 90, 50, 14, IDCANCEL, 0x80, "Cancel");
  return w;
}
}  // namespace

TEST_F(EditInDialogTest, TemplateAtomMakesAnEditThatTabSelectsAndEnterLeavesToTheDialog) {
  const std::vector<WORD> t = editDialog(0);
  HWND d = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), nullptr,
                                     dlgtest::recordingProc, 0);
  ASSERT_NE(d, nullptr);
  HWND title = GetDlgItem(d, 101);
  EXPECT_EQ(dlgtest::classOf(title), "Edit");
  EXPECT_EQ(GetFocus(), title);
  EXPECT_EQ(selOf(title), std::make_pair(0, 5)) << "the dialog selects the whole text of a focused edit";
  dlgtest::record().commands.clear();
  test::pressKey(VK_LEFT);
  dlgtest::pump(d);
  EXPECT_EQ(GetFocus(), title) << "arrows stay in the edit";
  EXPECT_EQ(selOf(title), std::make_pair(0, 0));
  test::typeText("A ");
  dlgtest::pump(d);
  EXPECT_EQ(textOf(title), "A title");
  test::pressKey(VK_RETURN);
  dlgtest::pump(d);
  EXPECT_EQ(dlgtest::record().commands, std::vector<int>({101, 101, 101, 101, IDOK}))
      << "EN_UPDATE and EN_CHANGE twice, then Enter presses the default button";
  test::pressKey(VK_TAB);
  dlgtest::pump(d);
  HWND multi = GetDlgItem(d, 102);
  EXPECT_EQ(GetFocus(), multi);
  dlgtest::record().commands.clear();
  test::pressKey(VK_RETURN);
  dlgtest::pump(d);
  EXPECT_EQ(textOf(multi), "a") << "without ES_WANTRETURN Enter is the dialog's";
  EXPECT_EQ(dlgtest::record().commands.back(), IDOK);
  test::pressKey(VK_ESCAPE);
  dlgtest::pump(d);
  EXPECT_EQ(dlgtest::record().commands.back(), IDCANCEL);
  DestroyWindow(d);
}

TEST_F(EditInDialogTest, WantReturnMakesEnterANewLine) {
  const std::vector<WORD> t = editDialog(ES_WANTRETURN);
  HWND d = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), nullptr,
                                     dlgtest::recordingProc, 0);
  ASSERT_NE(d, nullptr);
  HWND multi = GetDlgItem(d, 102);
  SetFocus(multi);
  SendMessage(multi, EM_SETSEL, 1, 1);
  test::pressKey(VK_RETURN);
  test::typeText("b");
  dlgtest::pump(d);
  EXPECT_EQ(textOf(multi), "a\r\nb");
  EXPECT_TRUE(std::find(dlgtest::record().commands.begin(), dlgtest::record().commands.end(), IDOK) ==
              dlgtest::record().commands.end());
  test::pressKey(VK_TAB);
  dlgtest::pump(d);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK) << "Tab still leaves a multi-line edit";
  DestroyWindow(d);
}
