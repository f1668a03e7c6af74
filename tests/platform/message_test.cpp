// Messages: sent, posted and paint ordering, the queue's filters, translation of keys,
// registered messages, timers and quitting.
#include "tests/platform/recorder.h"

using namespace win;
using rec::Fixture;

namespace {

// Takes and dispatches until the queue is empty; returns the messages taken.
std::vector<UINT> pump() {
  std::vector<UINT> got;
  MSG m;
  while (PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
    got.push_back(m.message);
    TranslateMessage(m);
    DispatchMessage(m);
  }
  return got;
}

using GetMessageTest = Fixture;

TEST_F(GetMessageTest, PostedBeforePaintBeforeTimerAndSentAtOnce) {
  HWND h = frame("Order", 0, 0, 200, 200);   // visible: its area is invalid
  SetTimer(h, 5, 10, nullptr);
  test::advanceTime(50);
  PostMessage(h, WM_USER + 1, 0, 0);
  rec::log().clear();
  SendMessage(h, WM_USER + 2, 0, 0);
  EXPECT_EQ(rec::messages(h), std::vector<UINT>{WM_USER + 2});   // sent: handled before returning
  std::vector<UINT> got;
  MSG m;
  for (int i = 0; i < 3 && GetMessage(m, nullptr, 0, 0); ++i) {
    got.push_back(m.message);
    DispatchMessage(m);
  }
  EXPECT_EQ(got, (std::vector<UINT>{WM_USER + 1, WM_PAINT, WM_TIMER}));
}

TEST_F(GetMessageTest, PaintWaitsWhilePostedMessagesArrive) {
  HWND h = frame("Paint", 0, 0, 200, 200);
  test::runUntilIdle();
  rec::handler() = [](HWND hwnd, UINT msg, WPARAM w, LPARAM, LRESULT&) {
    // Each posted message posts the next one, three times.
    if (msg == WM_USER && w < 3) PostMessage(hwnd, WM_USER, w + 1, 0);
    return false;
  };
  InvalidateRect(h, nullptr, TRUE);
  PostMessage(h, WM_USER, 0, 0);
  std::vector<UINT> got = pump();
  EXPECT_EQ(got, (std::vector<UINT>{WM_USER, WM_USER, WM_USER, WM_USER, WM_PAINT}));
}

TEST_F(GetMessageTest, QuitEndsTheLoopWithItsCode) {
  PostQuitMessage(3);
  MSG m;
  EXPECT_EQ(GetMessage(m, nullptr, 0, 0), FALSE);
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(GetMessageTest, IdleHookFeedsAWaitingLoopAndNothingToWaitForEndsTheProgram) {
  HWND h = frame("Idle", 0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  test::runUntilIdle();
  int calls = 0;
  test::setIdleHook([&] {
    if (calls++ == 0) test::click(50, 50);
  });
  MSG m;
  ASSERT_TRUE(GetMessage(m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_MOUSEMOVE);
  EXPECT_EQ(m.hwnd, h);
  test::runUntilIdle();
  // A headless loop that could only wait for ever stops the program with a message instead.
  EXPECT_DEATH(GetMessage(m, nullptr, 0, 0), "wait for ever");
}

TEST_F(GetMessageTest, MessageTimeIsTheTimeOfTheMessageTaken) {
  HWND h = frame("T", 0, 0, 100, 100);
  test::runUntilIdle();
  const DWORD t0 = test::now();
  PostMessage(h, WM_USER, 0, 0);
  test::advanceTime(500);
  PostMessage(h, WM_USER + 1, 0, 0);
  MSG m;
  GetMessage(m, nullptr, 0, 0);
  EXPECT_EQ(GetMessageTime(), t0);
  GetMessage(m, nullptr, 0, 0);
  EXPECT_EQ(GetMessageTime(), t0 + 500);
}

using PeekMessageTest = Fixture;

TEST_F(PeekMessageTest, FiltersByWindowAndRangeAndLeavesWithoutRemove) {
  HWND a = frame("A", 0, 0, 100, 100, WS_POPUP);
  HWND b = frame("B", 0, 0, 100, 100, WS_POPUP);
  HWND bChild = child(b, 1, 0, 0, 10, 10, WS_CHILD);
  PostMessage(a, WM_USER + 1, 0, 0);
  PostMessage(bChild, WM_USER + 2, 0, 0);
  PostMessage(b, WM_USER + 3, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessage(m, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 2u);   // the window's children count as the window
  ASSERT_TRUE(PeekMessage(m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(m.hwnd, b);
  EXPECT_FALSE(PeekMessage(m, a, WM_USER + 2, WM_USER + 3, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 1u);
  ASSERT_TRUE(PeekMessage(m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 2u);
  EXPECT_FALSE(PeekMessage(m, nullptr, 0, 0, PM_REMOVE));
}

using SendMessageTest = Fixture;

TEST_F(SendMessageTest, ReentrantSendsNestInsideTheCaller) {
  HWND h = frame("R", 0, 0, 100, 100, WS_POPUP);
  std::vector<std::string> trail;
  rec::handler() = [&](HWND hwnd, UINT m, WPARAM w, LPARAM, LRESULT& r) {
    if (m != WM_USER) return false;
    trail.push_back("enter " + std::to_string(w));
    if (w < 2) r = SendMessage(hwnd, WM_USER, w + 1, 0) + 1;
    else r = 10;
    trail.push_back("leave " + std::to_string(w));
    return true;
  };
  EXPECT_EQ(SendMessage(h, WM_USER, 0, 0), 12);
  EXPECT_EQ(trail, (std::vector<std::string>{"enter 0", "enter 1", "enter 2", "leave 2", "leave 1", "leave 0"}));
}

using TranslateMessageTest = Fixture;

TEST_F(TranslateMessageTest, CharacterIsTheVeryNextMessageAndMouseStaysQueued) {
  HWND h = frame("K", 100, 100, 300, 200);
  test::runUntilIdle();
  SetFocus(h);
  test::keyDown('A');
  test::click(200, 200);
  MSG m;
  ASSERT_TRUE(GetMessage(m, nullptr, 0, 0));
  ASSERT_EQ(m.message, WM_KEYDOWN);
  TranslateMessage(m);
  // What a key handler does: look at the next message and take it only if it is the character.
  MSG next;
  ASSERT_TRUE(PeekMessage(next, h, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(next.message, WM_CHAR);
  EXPECT_EQ(next.wParam, static_cast<WPARAM>('a'));
  PeekMessage(next, h, WM_CHAR, WM_CHAR, PM_REMOVE);
  ASSERT_TRUE(PeekMessage(next, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(next.message, WM_MOUSEMOVE);
}

TEST_F(TranslateMessageTest, KeyWithoutCharacterLeavesTheMouseMessageNext) {
  HWND h = frame("K", 100, 100, 300, 200);
  test::runUntilIdle();
  SetFocus(h);
  test::keyDown(VK_LEFT, true);
  test::mouseDown(test::Button::Left, 200, 200);
  MSG m;
  ASSERT_TRUE(GetMessage(m, nullptr, 0, 0));
  EXPECT_FALSE(TranslateMessage(m));
  MSG next;
  ASSERT_TRUE(PeekMessage(next, h, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(next.message, WM_LBUTTONDOWN);
}

struct CharCase {
  const char* why;
  int vk;
  unsigned mods;
  int want;   // 0: no character
};

TEST_F(TranslateMessageTest, CharactersOfKeysWithModifiers) {
  const CharCase cases[] = {
      {"plain letter is lower case", 'Q', 0, 'q'},
      {"shifted letter", 'Q', test::kShift, 'Q'},
      {"Ctrl+A is 1", 'A', test::kCtrl, 1},
      {"Ctrl+Z is 26", 'Z', test::kCtrl, 26},
      {"Ctrl+Shift+C is still 3", 'C', test::kCtrl | test::kShift, 3},
      {"shifted digit", '1', test::kShift, '!'},
      {"Enter is carriage return", VK_RETURN, 0, '\r'},
      {"Ctrl+Enter is line feed", VK_RETURN, test::kCtrl, '\n'},
      {"Tab and Shift+Tab give tab", VK_TAB, test::kShift, '\t'},
      {"Ctrl+Tab gives nothing", VK_TAB, test::kCtrl, 0},
      {"keypad 7 with Num Lock", VK_NUMPAD0 + 7, 0, '7'},
      {"keypad star", VK_MULTIPLY, test::kShift, '*'},
      {"F1 gives nothing", VK_F1, 0, 0},
      {"Delete gives nothing", VK_DELETE, 0, 0},
      {"Alt+X gives a system character", 'X', test::kAlt, 'x'},
  };
  HWND h = frame("K", 0, 0, 300, 200);
  test::runUntilIdle();
  SetFocus(h);
  for (const CharCase& c : cases) {
    SCOPED_TRACE(c.why);
    rec::log().clear();
    test::pressKey(c.vk, c.mods);
    test::runUntilIdle();
    int got = 0;
    for (const rec::Entry& e : rec::log())
      if (e.msg == WM_CHAR || e.msg == WM_SYSCHAR) got = static_cast<int>(e.wParam);
    EXPECT_EQ(got, c.want);
  }
}

TEST_F(TranslateMessageTest, CapsLockTogglesCase) {
  HWND h = frame("K", 0, 0, 300, 200);
  test::runUntilIdle();
  SetFocus(h);
  test::pressKey(VK_CAPITAL);
  test::typeText("a");
  test::pressKey('B', test::kShift);
  test::runUntilIdle();
  std::string typed;
  for (const rec::Entry& e : rec::log())
    if (e.msg == WM_CHAR) typed += static_cast<char>(e.wParam);
  EXPECT_EQ(typed, "Ab");
}

using RegisterWindowMessageTest = Fixture;

TEST_F(RegisterWindowMessageTest, SameNameSameNumberInAnyCase) {
  const UINT a = RegisterWindowMessage("commdlg_FindReplace");
  EXPECT_GE(a, 0xC000u);
  EXPECT_LE(a, 0xFFFFu);
  EXPECT_EQ(RegisterWindowMessage("COMMDLG_FINDREPLACE"), a);
  EXPECT_NE(RegisterWindowMessage("GridCellChange"), a);
  EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

using SetTimerTest = Fixture;

void CALLBACK_timer(HWND, UINT, UINT_PTR id, DWORD) { rec::log().push_back({nullptr, WM_TIMER, id, 0}); }

TEST_F(SetTimerTest, FiresWhenDueRepeatsAndStopsWhenKilled) {
  HWND h = frame("T", 0, 0, 100, 100);
  test::runUntilIdle();
  SetTimer(h, 7, 100, nullptr);
  rec::log().clear();
  test::advanceTime(99);
  test::runUntilIdle();
  EXPECT_TRUE(rec::messages(h, {WM_TIMER}).empty());
  test::advanceTime(1);
  test::runUntilIdle();
  EXPECT_EQ(rec::messages(h, {WM_TIMER}).size(), 1u);   // one message, not one per loop turn
  // A loop that waits lets the clock run to the next timer.
  MSG m;
  ASSERT_TRUE(GetMessage(m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_TIMER);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_TRUE(KillTimer(h, 7));
  EXPECT_FALSE(KillTimer(h, 7));
  test::advanceTime(1000);
  EXPECT_FALSE(PeekMessage(m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST_F(SetTimerTest, TimerProcedureIsCalledByDispatch) {
  const UINT_PTR id = SetTimer(nullptr, 0, 20, CALLBACK_timer);
  ASSERT_NE(id, 0u);
  rec::log().clear();
  test::advanceTime(20);
  test::runUntilIdle();
  ASSERT_EQ(rec::log().size(), 1u);
  EXPECT_EQ(rec::log()[0].wParam, id);
  KillTimer(nullptr, id);
}

// A posted timer message carried an arbitrary address that dispatch would have called.
TEST_F(SetTimerTest, DispatchCallsOnlyProceduresOfLiveTimers) {
  const UINT_PTR id = SetTimer(nullptr, 0, 20, CALLBACK_timer);
  rec::log().clear();
  MSG forged;
  forged.message = WM_TIMER;
  forged.wParam = id + 1;
  forged.lParam = reinterpret_cast<LPARAM>(CALLBACK_timer);
  DispatchMessage(forged);
  forged.wParam = id;
  forged.lParam = 0x1234;
  DispatchMessage(forged);
  EXPECT_TRUE(rec::log().empty());
  KillTimer(nullptr, id);
  forged.lParam = reinterpret_cast<LPARAM>(CALLBACK_timer);
  DispatchMessage(forged);   // killed: no longer called
  EXPECT_TRUE(rec::log().empty());
}

TEST_F(SetTimerTest, DestroyedWindowLosesItsTimersAndQueuedMessages) {
  HWND h = frame("T", 0, 0, 100, 100);
  SetTimer(h, 1, 10, nullptr);
  PostMessage(h, WM_USER, 0, 0);
  DestroyWindow(h);
  test::advanceTime(100);
  MSG m;
  EXPECT_FALSE(PeekMessage(m, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
