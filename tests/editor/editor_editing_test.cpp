// The text editor while its text changes: the bookmark follows its text, the Insert key
// switches to overwriting, Replace All over a long text is one change that Undo takes back
// whole, an RTF file in the bold system font keeps its plain words plain, closing several
// unsaved buffers asks about each once, and the history count of the information query.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/findreplace.h"
#include "platform/menu_toolbar.h"
#include "platform/message_box.h"
#include "platform/richedit.h"
#include "platform/statusbar.h"
#include "platform/menu.h"
#include "tests/editor/editor_window_fixture.h"
#include "tests/screen/screen_fixture.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/editor/startup_editor.h"
#include "toolkit/window/childwin.h"

namespace {

using namespace win;

class Editing : public twtest::EditorWindowFixture {
 protected:
  Editing() : EditorWindowFixture("tw_editing_") {}
  static std::string text() {
    int result = -1;
    std::string t;
    yyeditgettext(result, 1 << 24, t);
    return t;
  }
  static std::string status(int w, int part) {
    char s[256] = {};
    SendMessage(winslot(w).wMessLine, SB_GETTEXT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(s));
    return s;
  }
  static void select(const EditorRecord& r, int a, int b) {
    SendMessage(r.control, EM_SETSEL, static_cast<WPARAM>(a), b);
  }
  static void keys(int vk, unsigned modifiers = 0) {
    test::pressKey(vk, modifiers);
    test::runUntilIdle();
  }
  static void command(int w, int id) { SendMessage(winslot(w).wWindow, WM_COMMAND, static_cast<WPARAM>(id), 0); }
  // What the Replace dialog's Replace All button sends its owner.
  static void replaceall(int w, const char* find, const char* by, DWORD flags = 0) {
    EditorRecord* r = record(w);
    std::strcpy(r->findbuffer.data(), find);
    std::strcpy(r->replacebuffer.data(), by);
    r->find.Flags = FR_DOWN | FR_REPLACEALL | flags;
    SendMessage(winslot(w).wWindow, RegisterWindowMessage(FINDMSGSTRING), 0, reinterpret_cast<LPARAM>(&r->find));
  }
};

// The control text from the bookmark on, as Goto Bookmark shows it.
std::string atbookmark(int w, const EditorRecord& r) {
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_GOTOBOOKMARK, 0);
  DWORD s = 0, e = 0;
  SendMessage(r.control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  const int n = static_cast<int>(SendMessage(r.control, WM_GETTEXTLENGTH, 0, 0));
  std::string t(static_cast<std::size_t>(n) + 1, '\0');
  SendMessage(r.control, WM_GETTEXT, t.size(), reinterpret_cast<LPARAM>(t.data()));
  t.resize(static_cast<std::size_t>(n));
  return s == e && s <= t.size() ? t.substr(s) : "(selection " + std::to_string(s) + "-" + std::to_string(e) + ")";
}

// Was: the bookmark kept its character number, so text typed before it moved it off its word.
TEST_F(Editing, TheBookmarkStaysOnItsText) {
  struct Case {
    const char* why;
    int from, to;       // selection before the edit (control positions)
    const char* typed;  // typed over it ("" with del: the Delete key)
    bool del, undo;
    const char* want;   // the text from the bookmark on
  };
  // "alpha beta gamma" CR "delta", the bookmark before "gamma" (11).
  const Case cases[] = {
      {"typed before it", 0, 0, "new ", false, false, "gamma\rdelta"},
      {"a line ended before it", 6, 6, "\n", false, false, "gamma\rdelta"},
      {"deleted before it", 0, 6, "", true, false, "gamma\rdelta"},
      {"typed over a selection before it", 0, 5, "Z", false, false, "gamma\rdelta"},
      {"typed at it", 11, 11, "X", false, false, "gamma\rdelta"},
      {"typed after it", 13, 13, "xyz", false, false, "gaxyzmma\rdelta"},
      {"typed before it and undone", 0, 0, "more ", false, true, "gamma\rdelta"},
      {"a deletion across it: to where the deletion was", 8, 13, "", true, false, "mma\rdelta"},
  };
  const int w = child();
  WEditFile("", {});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  SetFocus(r->control);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    int result = -1;
    yyeditputtext(result, "alpha beta gamma\r\ndelta");
    select(*r, 11, 11);
    command(w, ED_SETBOOKMARK);
    select(*r, c.from, c.to);
    if (c.del) keys(VK_DELETE);
    else test::typeText(c.typed);
    test::runUntilIdle();
    if (c.undo) keys('Z', test::kCtrl);
    EXPECT_EQ(atbookmark(w, *r), c.want);
  }
}

// Was: Insert showed "OVR" but typing went on inserting.
TEST_F(Editing, InsertSwitchesTypingToOverwrite) {
  const int w = child();
  WEditFile("", {});
  EditorRecord* r = record(w);
  int result = -1;
  yyeditputtext(result, "abc\r\ndef");
  SetFocus(r->control);
  select(*r, 1, 1);
  keys(VK_INSERT);
  EXPECT_EQ(status(w, 3), "\tOVR");
  test::typeText("XY");
  test::runUntilIdle();
  EXPECT_EQ(text(), "aXY\r\ndef") << "each typed character replaces the one after the caret";
  test::typeText("Z");
  test::runUntilIdle();
  EXPECT_EQ(text(), "aXYZ\r\ndef") << "at the line end it is inserted";
  keys(VK_INSERT);
  EXPECT_EQ(status(w, 3), "\tINS");
  select(*r, 0, 0);
  test::typeText("1");
  test::runUntilIdle();
  EXPECT_EQ(text(), "1aXYZ\r\ndef");
}

// The editor's four status parts keep their own widths through the window's status layout,
// so CAPS, NUM and INS/OVR are drawn in parts 1-3 rather than in empty rectangles at the edge.
TEST_F(Editing, TheLockAndInsertIndicatorsShowInTheirParts) {
  const int w = child();
  WEditFile("", {});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  HWND bar = winslot(w).wMessLine;
  ASSERT_NE(bar, nullptr);
  SetFocus(r->control);
  keys(VK_CAPITAL);
  keys(VK_NUMLOCK);
  keys(VK_INSERT);
  ASSERT_EQ(status(w, 1), "\tCAPS");
  ASSERT_EQ(status(w, 2), "\tNUM");
  ASSERT_EQ(status(w, 3), "\tOVR");
  // The dark pixels of a part's inside, its border left out: the text drawn there.
  auto inked = [&](int part) {
    RECT pr{};
    SendMessage(bar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&pr));
    int width = 0, height = 0;
    const std::vector<COLORREF> px = test::pixels(bar, true, width, height);
    int n = 0;
    for (int y = std::max(pr.top + 3, 0); y < std::min(pr.bottom - 3, height); ++y)
      for (int x = std::max(pr.left + 3, 0); x < std::min(pr.right - 3, width); ++x) {
        const COLORREF c = px[static_cast<std::size_t>(y * width + x)];
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++n;
      }
    return n;
  };
  // Each state after the frame was laid out again: as made, and at two other widths.
  for (const int width : {400, 520, 300}) {
    SCOPED_TRACE(width);
    if (width != 400) {
      RECT f{};
      GetWindowRect(winslot(w).wWindow, f);
      SetWindowPos(winslot(w).wWindow, nullptr, 0, 0, width, f.bottom - f.top, SWP_NOMOVE | SWP_NOZORDER);
      test::runUntilIdle();
    }
    ASSERT_EQ(SendMessage(bar, SB_GETPARTS, 0, 0), 4);
    const int right[] = {130, 170, 210, 250};
    for (int part = 0; part < 4; ++part) {
      SCOPED_TRACE(part);
      RECT pr{};
      SendMessage(bar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&pr));
      const int left = part == 0 ? 0 : right[part - 1];
      EXPECT_GE(pr.left, left);
      EXPECT_LE(pr.left, left + 2) << "the bar's gap between parts at most";
      EXPECT_EQ(pr.right, right[part]);
      EXPECT_GT(inked(part), 10) << "the part's text is drawn";
    }
    if (width == 400) test::savePng(winslot(w).wWindow, std::string(TW_SHOT_DIR) + "/editor_status_parts.png", false);
  }
  keys(VK_CAPITAL);
  keys(VK_INSERT);
  EXPECT_EQ(status(w, 1), "");
  EXPECT_EQ(status(w, 3), "\tINS");
  EXPECT_EQ(inked(1), 0) << "Caps Lock off: the part is empty";
  EXPECT_GT(inked(3), 10);
}

// Was: every match was a change of its own over a copy of the whole text (a 5 MB file froze
// the window for minutes), and Undo took back only the last one.
TEST_F(Editing, ReplaceAllIsOneChangeThatUndoTakesBack) {
  const int w = child();
  std::string lines;
  for (int k = 0; k < 2000; ++k) lines += "Rain gauge " + std::to_string(k) + " gauges\r\n";
  WEditFile(file("gauges.txt", lines), {});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  // The bookmark on the third line's match (control position 45): the two matches before it
  // are each two characters longer.
  select(*r, 45, 45);
  command(w, ED_SETBOOKMARK);
  test::answerNextMessageBoxWithClick(IDOK);
  replaceall(w, "GAUGE", "station", FR_WHOLEWORD);
  std::string want;
  for (int k = 0; k < 2000; ++k) want += "Rain station " + std::to_string(k) + " gauges\r\n";
  EXPECT_TRUE(text() == want) << "whole words regardless of case";
  ASSERT_EQ(test::messageBoxes().size(), 1u);
  EXPECT_EQ(test::messageBoxes().back().text, "End of text reached");
  EXPECT_EQ(atbookmark(w, *r).substr(0, 31), "station 2 gauges\rRain station 3");
  EXPECT_NE(SendMessage(r->control, EM_GETMODIFY, 0, 0), 0);
  EXPECT_EQ(r->changed, 1);
  command(w, ED_UNDO);
  EXPECT_TRUE(text() == lines) << "one Undo takes every replacement back";

  // Replacements next to each other, a replacement that holds the find text, and none at all.
  int result = -1;
  yyeditputtext(result, "aaa ab");
  test::answerNextMessageBoxWithClick(IDOK);
  replaceall(w, "a", "aa", FR_MATCHCASE);
  EXPECT_EQ(text(), "aaaaaa aab");
  yyeditputtext(result, "nothing here");
  test::answerNextMessageBoxWithClick(IDOK);
  replaceall(w, "gauge", "station");
  EXPECT_EQ(text(), "nothing here");
  EXPECT_EQ(SendMessage(r->control, EM_CANUNDO, 0, 0), 0) << "nothing replaced, nothing to undo";
  EXPECT_EQ(test::messageBoxes().size(), 3u);
}

// Undo and Redo of the Edit menu step back and forth through typing, a deletion across lines,
// a bold word and Replace All, each one step; the menu enables them by what there is to undo
// and to redo; a new change drops what was undone; emptying the undo buffer greys both.
TEST_F(Editing, UndoAndRedoStepThroughTheChanges) {
  const int w = child();
  WEditFile(file("gauges.txt", "Tarn Beck\r\nflow 12.5\r\nrain 3"), {.options = EO_RICHTEXT, .fonttype = 4, .fontsize = 12});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  ASSERT_NE(r->edit, nullptr);
  auto enabled = [&](UINT id) {
    SendMessage(winslot(w).wWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(r->edit), 1);
    return (GetMenuState(r->edit, id, MF_BYCOMMAND) & MF_GRAYED) == 0;
  };
  auto bold = [&](int a, int b) {
    select(*r, a, b);
    CHARFORMAT cf;
    cf.dwMask = CFM_BOLD;
    SendMessage(r->control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return (cf.dwMask & CFM_BOLD) != 0 && (cf.dwEffects & CFE_BOLD) != 0;
  };
  EXPECT_FALSE(enabled(ED_UNDO));
  EXPECT_FALSE(enabled(ED_REDO));
  SetFocus(r->control);
  select(*r, 0, 0);
  test::typeText("dry ");
  test::runUntilIdle();
  select(*r, 8, 25);
  keys(VK_DELETE);
  int result = -1;
  yyeditformattext(result, 1, 3, 1, -1, -1, -1, -1, -2, -2, "");
  EXPECT_EQ(result, 0);
  test::answerNextMessageBoxWithClick(IDOK);
  replaceall(w, "a", "AA");
  const char* const texts[] = {"Tarn Beck\r\nflow 12.5\r\nrain 3", "dry Tarn Beck\r\nflow 12.5\r\nrain 3",
                               "dry Tarnain 3", "dry Tarnain 3", "dry TAArnAAin 3"};
  const bool bolds[] = {false, false, false, true, true};
  EXPECT_EQ(text(), texts[4]);
  EXPECT_TRUE(enabled(ED_UNDO));
  EXPECT_FALSE(enabled(ED_REDO));
  for (int k = 3; k >= 0; --k) {
    SCOPED_TRACE(k);
    command(w, ED_UNDO);
    EXPECT_EQ(text(), texts[k]);
    EXPECT_EQ(bold(0, 3), bolds[k]);
    EXPECT_EQ(enabled(ED_UNDO), k > 0);
    EXPECT_TRUE(enabled(ED_REDO));
  }
  for (int k = 1; k <= 4; ++k) {
    SCOPED_TRACE(k);
    command(w, ED_REDO);
    EXPECT_EQ(text(), texts[k]);
    EXPECT_EQ(bold(0, 3), bolds[k]);
    EXPECT_TRUE(enabled(ED_UNDO));
    EXPECT_EQ(enabled(ED_REDO), k < 4);
  }
  command(w, ED_UNDO);
  EXPECT_TRUE(enabled(ED_REDO));
  select(*r, 0, 0);
  test::typeText("X");
  test::runUntilIdle();
  EXPECT_EQ(text(), std::string("X") + texts[3]);
  EXPECT_FALSE(enabled(ED_REDO)) << "a new change drops what was undone";
  yyeditclearundo();
  EXPECT_FALSE(enabled(ED_UNDO));
  EXPECT_FALSE(enabled(ED_REDO));
}

// Was: in the bold system font (font type 0) every word of an RTF file read as bold.
TEST_F(Editing, RtfInTheBoldSystemFontKeepsPlainWordsPlain) {
  const int w = child();
  WEditFile(file("words.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain \\b heavy\\b0  words\\par}"),
            {.options = EO_RICHTEXT});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  ASSERT_NE(r->toolbar, nullptr);
  TBBUTTON bold;
  bold.idCommand = ED_BOLD;
  bold.fsState = TBSTATE_ENABLED;
  SendMessage(r->toolbar, TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(&bold));
  auto isbold = [&](int a, int b) {
    select(*r, a, b);
    CHARFORMAT cf;
    cf.dwMask = CFM_BOLD;
    SendMessage(r->control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return (cf.dwMask & CFM_BOLD) != 0 && (cf.dwEffects & CFE_BOLD) != 0;
  };
  EXPECT_FALSE(isbold(0, 5));
  EXPECT_EQ(SendMessage(r->toolbar, TB_GETSTATE, ED_BOLD, 0), TBSTATE_ENABLED) << "the Bold button is up";
  EXPECT_TRUE(isbold(6, 11));
  EXPECT_EQ(SendMessage(r->toolbar, TB_GETSTATE, ED_BOLD, 0), TBSTATE_ENABLED | TBSTATE_CHECKED);
  EXPECT_FALSE(isbold(12, 17));
  // Typed among plain words, text is plain too.
  select(*r, 17, 17);
  SetFocus(r->control);
  test::typeText(" more");
  test::runUntilIdle();
  EXPECT_FALSE(isbold(17, 22));
}

// Was: with buffer 2 current, closing asked about buffer 2 again after buffer 1.
TEST_F(Editing, ClosingAsksAboutEachUnsavedBufferOnce) {
  const int w = child();
  std::vector<std::string> paths;
  for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
    paths.push_back(file(name, name));
    WEditFile(paths.back(), {.options = EO_BUFFERS});
  }
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->count, 3);
  for (int k = 1; k <= 3; ++k) {
    command(w, ED_VIEW + k);
    SetFocus(r->control);
    test::typeText("changed ");
    test::runUntilIdle();
  }
  command(w, ED_VIEW + 2);
  ASSERT_EQ(r->current, 2);
  for (int k = 0; k < 4; ++k) test::answerNextMessageBoxWithClick(IDNO);
  PostMessage(winslot(w).wWindow, WM_CLOSE, 0, 0);
  MessageRecord m;
  int type = 0;
  for (int k = 0; k < 6 && type != EV_CLOSE; ++k) wmessage(type, m);
  EXPECT_EQ(type, EV_CLOSE);
  std::vector<std::string> asked;
  for (const auto& box : test::messageBoxes()) asked.push_back(box.text);
  const std::vector<std::string> want = {"Do you want to save changes to " + paths[1] + "?",
                                         "Do you want to save changes to " + paths[0] + "?",
                                         "Do you want to save changes to " + paths[2] + "?"};
  EXPECT_EQ(asked, want);

  // Cancel at the second question returns to the buffer that was current before.
  test::clearMessageBoxAnswers();
  test::clearMessageBoxes();
  command(w, ED_VIEW + 2);
  test::answerNextMessageBoxWithClick(IDNO);
  test::answerNextMessageBoxWithClick(IDCANCEL);
  PostMessage(winslot(w).wWindow, WM_CLOSE, 0, 0);
  test::runUntilIdle();
  EXPECT_EQ(test::messageBoxes().size(), 2u);
  EXPECT_EQ(r->current, 2);
  EXPECT_EQ(text(), "changed two.txt");
}

// Was: item 10 was always 0.
TEST_F(Editing, InformationCountsHistoryLines) {
  const int w = child();
  WEditFile("", {.options = EO_HISTORY});
  int value = -1;
  yyeditinfo(w, 10, value);
  EXPECT_EQ(value, 0);
  yyeditputhistory(0, "plot flow");
  yyeditputhistory(0, "plot rain");
  yyeditinfo(w, 10, value);
  EXPECT_EQ(value, 2);
  int result = -1;
  yyeditclearhistory(result);
  yyeditinfo(w, 10, value);
  EXPECT_EQ(value, 0);

  const int plain = child();
  WEditFile("", {.options = EO_COMMANDLINE});
  value = -1;
  yyeditinfo(plain, 10, value);
  EXPECT_EQ(value, 0) << "a command line without history";
}

}  // namespace
