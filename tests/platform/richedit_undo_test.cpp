// Undo and redo of the rich-edit control: above the first level, a history of steps (a typed
// run is one step, a deletion across paragraphs, a change of formats, a Replace All) that
// undo walks back and redo forward again, a new change dropping what was undone, bounded in
// memory; at the first level and in the EDIT control, one step that a second undo takes back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/richedit.h"
#include "platform/test_api.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;
using ctltest::textOf;

namespace {

class RichUndo : public ctltest::Fixture {
 protected:
  HWND rich(DWORD style = 0) {
    RegisterRichEditClasses();
    HWND e = make(RICHEDIT_CLASS, WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | style, 10, 10, 300, 200, 1002);
    SendMessage(e, EM_EXLIMITTEXT, 0, 100 << 20);
    SetFocus(e);
    return e;
  }
  static void select(HWND e, int a, int b) { SendMessage(e, EM_SETSEL, static_cast<WPARAM>(a), b); }
  static void type(const char* s) {
    test::typeText(s);
    test::runUntilIdle();
  }
  static bool bold(HWND e, int a, int b) {
    select(e, a, b);
    CHARFORMAT cf;
    cf.dwMask = CFM_BOLD;
    SendMessage(e, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return (cf.dwMask & CFM_BOLD) != 0 && (cf.dwEffects & CFE_BOLD) != 0;
  }
  static bool canUndo(HWND e) { return SendMessage(e, EM_CANUNDO, 0, 0) != 0; }
  static bool canRedo(HWND e) { return SendMessage(e, EM_CANREDO, 0, 0) != 0; }
};

TEST_F(RichUndo, StepsBackAndForth) {
  HWND e = rich();
  SetWindowText(e, "Tarn Beck\rflow 12.5\rrain 3");
  EXPECT_FALSE(canUndo(e));
  EXPECT_FALSE(canRedo(e));
  // 1: a typed run, one step however long.
  select(e, 0, 0);
  type("dry ");
  // 2: a deletion across two paragraph ends.
  select(e, 8, 25);
  test::pressKey(VK_DELETE);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "dry Tarnain 3");
  // 3: a word made bold.
  select(e, 0, 3);
  CHARFORMAT cf;
  cf.dwMask = CFM_BOLD;
  cf.dwEffects = CFE_BOLD;
  SendMessage(e, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  // 4: Replace All, one step for every match.
  REPLACEALLTEXT ra;
  ra.lpstrFind = "a";
  ra.lpstrReplace = "AA";
  EXPECT_EQ(SendMessage(e, EM_REPLACEALLTEXT, 0, reinterpret_cast<LPARAM>(&ra)), 2);
  EXPECT_EQ(textOf(e), "dry TAArnAAin 3");
  EXPECT_TRUE(canUndo(e));
  EXPECT_FALSE(canRedo(e));

  struct State {
    const char* text;
    bool bold;
  };
  const State states[] = {{"Tarn Beck\rflow 12.5\rrain 3", false},
                          {"dry Tarn Beck\rflow 12.5\rrain 3", false},
                          {"dry Tarnain 3", false},
                          {"dry Tarnain 3", true},
                          {"dry TAArnAAin 3", true}};
  for (int k = 3; k >= 0; --k) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(SendMessage(e, EM_UNDO, 0, 0));
    EXPECT_EQ(textOf(e), states[k].text);
    EXPECT_EQ(bold(e, 0, 3), states[k].bold);
    EXPECT_EQ(canUndo(e), k > 0);
    EXPECT_TRUE(canRedo(e));
  }
  EXPECT_FALSE(SendMessage(e, EM_UNDO, 0, 0)) << "nothing left to undo";
  for (int k = 1; k <= 4; ++k) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(SendMessage(e, EM_REDO, 0, 0));
    EXPECT_EQ(textOf(e), states[k].text);
    EXPECT_EQ(bold(e, 0, 3), states[k].bold);
    EXPECT_EQ(canRedo(e), k < 4);
  }
  EXPECT_FALSE(SendMessage(e, EM_REDO, 0, 0)) << "nothing left to redo";
  // Two steps back, then a new change: what was undone is gone.
  SendMessage(e, EM_UNDO, 0, 0);
  SendMessage(e, EM_UNDO, 0, 0);
  EXPECT_EQ(textOf(e), states[2].text);
  select(e, 0, 0);
  type("X");
  EXPECT_FALSE(canRedo(e));
  EXPECT_EQ(textOf(e), std::string("X") + states[2].text);
  SendMessage(e, EM_UNDO, 0, 0);
  EXPECT_EQ(textOf(e), states[2].text);
  EXPECT_TRUE(canRedo(e));
  SendMessage(e, EM_EMPTYUNDOBUFFER, 0, 0);
  EXPECT_FALSE(canUndo(e));
  EXPECT_FALSE(canRedo(e));
  // New text starts a new history.
  SendMessage(e, EM_UNDO, 0, 0);
  type("Y");
  SetWindowText(e, "fresh");
  EXPECT_FALSE(canUndo(e));
}

// A typed run ends where the caret moves or another change comes between; the Enter key and
// the Backspace key make steps of their own.
TEST_F(RichUndo, TypedRunsAreOneStepEach) {
  HWND e = rich();
  type("Tarn Beck");
  select(e, 4, 4);
  type("-on-");
  test::pressKey(VK_BACK);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "Tarn-on Beck");
  const char* const back[] = {"Tarn-on- Beck", "Tarn Beck", ""};
  for (const char* want : back) {
    SendMessage(e, EM_UNDO, 0, 0);
    EXPECT_EQ(textOf(e), want);
  }
  EXPECT_FALSE(canUndo(e));
  // Overwriting keeps the run one step and puts back the characters it took.
  SetWindowText(e, "abcdef");
  select(e, 1, 1);
  test::pressKey(VK_INSERT);
  type("XYZ");
  test::pressKey(VK_INSERT);
  EXPECT_EQ(textOf(e), "aXYZef");
  SendMessage(e, EM_UNDO, 0, 0);
  EXPECT_EQ(textOf(e), "abcdef");
  DWORD s = 0, t = 0;
  SendMessage(e, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&t));
  EXPECT_EQ(s, 1u);
  EXPECT_EQ(t, 1u);
  SendMessage(e, EM_REDO, 0, 0);
  EXPECT_EQ(textOf(e), "aXYZef");
}

// At the first rich-edit level and in the EDIT control: one step, which undoing again takes
// back; no redo.
TEST_F(RichUndo, OneLevelUndoesItsUndo) {
  RegisterRichEditClasses();
  for (const char* cls : {RICHEDIT_CLASS10, "Edit"}) {
    SCOPED_TRACE(cls);
    HWND e = make(cls, WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 10, 10, 300, 200, 1003);
    SetFocus(e);
    type("one");
    select(e, 3, 3);
    type(" two");
    SendMessage(e, EM_UNDO, 0, 0);
    EXPECT_EQ(textOf(e), "one");
    EXPECT_TRUE(canUndo(e));
    EXPECT_FALSE(canRedo(e));
    SendMessage(e, EM_REDO, 0, 0);
    EXPECT_EQ(textOf(e), "one");
    SendMessage(e, EM_UNDO, 0, 0);
    EXPECT_EQ(textOf(e), "one two");
    DestroyWindow(e);
  }
}

// The history keeps what the steps took away within 64 MB: steps that each delete 5 MB fit
// twelve times; the thirteenth drops the oldest, and undo then stops one step short.
TEST_F(RichUndo, HistoryIsBoundedInMemory) {
  HWND e = rich(ES_AUTOHSCROLL);
  constexpr int kChunk = 5 << 20;
  std::string all;
  for (int k = 0; k < 13; ++k)
    for (int line = 0; line < kChunk / 64; ++line) all += std::string(63, static_cast<char>('a' + k)) + "\r";
  for (int steps : {12, 13}) {
    SCOPED_TRACE(steps);
    SetWindowText(e, all.c_str());
    for (int k = 0; k < steps; ++k) {
      select(e, 0, kChunk);
      SendMessage(e, WM_CLEAR, 0, 0);
    }
    int undone = 0;
    while (SendMessage(e, EM_UNDO, 0, 0)) ++undone;
    EXPECT_EQ(undone, 12);
    const std::size_t n = static_cast<std::size_t>(GetWindowTextLength(e));
    EXPECT_EQ(n, all.size() - static_cast<std::size_t>(steps - undone) * kChunk);
    // Every step undone is there to redo.
    int redone = 0;
    while (SendMessage(e, EM_REDO, 0, 0)) ++redone;
    EXPECT_EQ(redone, undone);
    EXPECT_EQ(GetWindowTextLength(e), static_cast<int>(all.size()) - steps * kChunk);
  }
}

}  // namespace
