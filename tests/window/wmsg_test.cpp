// Event loop: events driven through injected input as a user makes them, their codes and
// positions in window units, the held-back expose and resize events, and timers.
#include <gtest/gtest.h>

#include "tests/window/window_fixture.h"
#include "toolkit/window/units.h"

namespace {

using win::test::kCtrl;
using win::test::kShift;

class WMessage : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    WindowOpenOptions o;
    o.flags = 0x27;
    o.width = 400;
    o.height = 300;
    open(o);
    win::test::runUntilIdle();
    // The mouse rests over the middle of the client area.
    const win::POINT p = onClient(200, 150);
    win::test::mouseMove(p.x, p.y);
  }
  // Events of one kind only, so that a test reads exactly what it provoked.
  static void only(std::initializer_list<int> types) {
    for (int t = 1; t <= 16; ++t) wmessageenable(t, 0);
    for (int t : types) wmessageenable(t, 1);
  }
};

// A keypad key as the keyboard sends it: the keypad's own key with Num Lock on, the
// navigation key of the same place (not the grey one) with it off.
void pressKeypad(int digit, bool numlock, unsigned modifiers = 0) {
  static const int navigation[10] = {win::VK_INSERT, win::VK_END,  win::VK_DOWN,  win::VK_NEXT, win::VK_LEFT,
                                     win::VK_CLEAR,  win::VK_RIGHT, win::VK_HOME, win::VK_UP,   win::VK_PRIOR};
  const bool on = (win::GetKeyState(win::VK_NUMLOCK) & 1) != 0;
  if (on != numlock) win::test::pressKey(win::VK_NUMLOCK);
  win::test::pressKey(numlock ? win::VK_NUMPAD0 + digit : navigation[digit], modifiers);
}

TEST_F(WMessage, CloseBoxGivesCloseRequestAndLeavesTheWindowOpen) {
  const win::POINT box = findHit(winslot(0).wWindow, win::HTCLOSE);
  ASSERT_GE(box.x, 0);
  win::test::click(box.x, box.y);
  MessageRecord m;
  EXPECT_EQ(next(m), 9);
  EXPECT_EQ(m.window, 0);
  EXPECT_EQ(m.value1, -1);
  EXPECT_TRUE(win::IsWindow(winslot(0).wWindow));
  EXPECT_TRUE(win::IsWindowVisible(winslot(0).wWindow));
}

TEST_F(WMessage, KeysGiveTheirCodes) {
  struct Case {
    const char* why;
    std::function<void()> press;
    int code;
  };
  const Case cases[] = {
      {"a letter gives its character", [] { win::test::pressKey('A'); }, 'a'},
      {"Shift+letter gives the capital", [] { win::test::pressKey('A', kShift); }, 'A'},
      {"Enter gives carriage return", [] { win::test::pressKey(win::VK_RETURN); }, 13},
      {"F1", [] { win::test::pressKey(win::VK_F1); }, 301},
      {"Shift+F1", [] { win::test::pressKey(win::VK_F1, kShift); }, 321},
      {"Ctrl takes precedence over Shift", [] { win::test::pressKey(win::VK_F1, kShift | kCtrl); }, 341},
      {"F20", [] { win::test::pressKey(win::VK_F20); }, 320},
      {"Up", [] { win::test::pressKey(win::VK_UP); }, 258},
      {"Shift+Up shares Page Up's code", [] { win::test::pressKey(win::VK_UP, kShift); }, 262},
      {"Ctrl+Left", [] { win::test::pressKey(win::VK_LEFT, kCtrl); }, 269},
      {"Page Down", [] { win::test::pressKey(win::VK_NEXT, 0); }, 263},
      {"Delete", [] { win::test::pressKey(win::VK_DELETE); }, 273},
      {"Tab", [] { win::test::pressKey(win::VK_TAB); }, 9},
      {"Shift+Tab", [] { win::test::pressKey(win::VK_TAB, kShift); }, 274},
      {"Ctrl+Tab", [] { win::test::pressKey(win::VK_TAB, kCtrl); }, 9},
      {"Print Screen", [] { win::test::pressKey(win::VK_SNAPSHOT); }, 300},
      {"keypad 7 with Num Lock", [] { pressKeypad(7, true); }, 287},
      {"keypad 7 without Num Lock is Home", [] { pressKeypad(7, false); }, 270},
      {"keypad 5 without Num Lock is the Clear key", [] { pressKeypad(5, false); }, 285},
      {"keypad 0 with Num Lock", [] { pressKeypad(0, true); }, 280},
      {"keypad star", [] { win::test::pressKey(win::VK_MULTIPLY); }, 294},
      {"keypad star with Shift", [] { win::test::pressKey(win::VK_MULTIPLY, kShift); }, 294},
      {"keypad minus", [] { win::test::pressKey(win::VK_SUBTRACT); }, 290},
      {"keypad plus", [] { win::test::pressKey(win::VK_ADD); }, 292},
      {"keypad slash", [] { win::test::pressKey(win::VK_DIVIDE); }, 293},
  };
  only({1});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    c.press();
    MessageRecord m;
    ASSERT_EQ(next(m), 1);
    EXPECT_EQ(m.value1, c.code);
    EXPECT_EQ(m.value2, -1);
    EXPECT_EQ(m.value3, 0);
    // The mouse position when the key was read, in window units.
    EXPECT_EQ(m.x, unitsfrompixels(200, 400));
    EXPECT_EQ(m.y, unitsfrompixels(150, 300));
    win::test::runUntilIdle();
  }
}

TEST_F(WMessage, ModifierAndLockKeysGiveNoEvent) {
  only({1});
  for (int vk : {win::VK_SHIFT, win::VK_CONTROL, win::VK_CAPITAL, win::VK_NUMLOCK, win::VK_SCROLL, win::VK_PAUSE})
    win::test::pressKey(vk);
  win::test::pressKey('Q');
  MessageRecord m;
  ASSERT_EQ(next(m), 1);
  EXPECT_EQ(m.value1, 'Q');   // Caps Lock is on now
}

// A key-down looked only at its own character: the mouse click behind it stayed queued.
TEST_F(WMessage, ArrowKeyLeavesTheFollowingClickInTheQueue) {
  only({1, 4});
  win::test::keyDown(win::VK_DOWN);
  const win::POINT p = onClient(10, 20);
  win::test::mouseMove(p.x, p.y);
  win::test::mouseDown(win::test::Button::Left, p.x, p.y);
  MessageRecord m;
  ASSERT_EQ(next(m), 1);
  EXPECT_EQ(m.value1, 259);
  ASSERT_EQ(next(m), 4);
  EXPECT_EQ(m.value1, 1);
}

TEST_F(WMessage, MouseButtonsGiveTheirNumbersAndPositionsInWindowUnits) {
  only({4, 5});
  struct Case {
    const char* why;
    win::test::Button button;
    int value1, upvalue1;
  };
  const Case cases[] = {{"left", win::test::Button::Left, 1, 1},
                        {"middle", win::test::Button::Middle, 2, 2},
                        {"right", win::test::Button::Right, 3, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const win::POINT p = onClient(100, 50);
    win::test::click(p.x, p.y, c.button);
    MessageRecord m;
    ASSERT_EQ(next(m), 4);
    EXPECT_EQ(m.value1, c.value1);
    EXPECT_EQ(m.window, 0);
    EXPECT_EQ(m.value3, 0);
    EXPECT_EQ(m.value4, -1);
    EXPECT_EQ(m.x, unitsfrompixels(100, 400));
    EXPECT_EQ(m.y, unitsfrompixels(50, 300));
    ASSERT_EQ(next(m), 5);
    EXPECT_EQ(m.value1, c.upvalue1);
  }
}

TEST_F(WMessage, CtrlHeldShowsInTheModifiers) {
  only({4});
  win::test::keyDown(win::VK_CONTROL);
  const win::POINT p = onClient(5, 5);
  win::test::click(p.x, p.y);
  win::test::keyUp(win::VK_CONTROL);
  MessageRecord m;
  ASSERT_EQ(next(m), 4);
  EXPECT_EQ(m.value2, 1 | 4);   // Ctrl held, left button held
}

TEST_F(WMessage, DoubleClickIsTypeSixteenOnlyWhenEnabled) {
  const win::POINT p = onClient(30, 30);
  only({4, 16});
  win::test::click(p.x, p.y);
  win::test::click(p.x, p.y);
  MessageRecord m;
  EXPECT_EQ(next(m), 4);
  EXPECT_EQ(next(m), 16);
  EXPECT_EQ(m.value1, 1);

  win::test::advanceTime(2000);
  only({4});
  win::test::click(p.x, p.y);
  win::test::click(p.x, p.y);
  EXPECT_EQ(next(m), 4);
  EXPECT_EQ(next(m), 4);
}

TEST_F(WMessage, WheelGivesTheMousePositionInTheClientArea) {
  only({4});
  const win::POINT p = onClient(300, 75);
  win::test::mouseMove(p.x, p.y);
  win::test::wheel(p.x, p.y, 120);
  MessageRecord m;
  ASSERT_EQ(next(m), 4);
  EXPECT_EQ(m.value1, 4);
  EXPECT_EQ(m.x, unitsfrompixels(300, 400));
  EXPECT_EQ(m.y, unitsfrompixels(75, 300));
  win::test::wheel(p.x, p.y, -120);
  ASSERT_EQ(next(m), 4);
  EXPECT_EQ(m.value1, 5);
}

TEST_F(WMessage, DragOutsideTheLeftEdgeGivesNegativeX) {
  only({4, 5, 6});
  const win::POINT in = onClient(10, 10), out = onClient(-20, 10);
  win::test::mouseMove(in.x, in.y);
  win::test::mouseDown(win::test::Button::Left, in.x, in.y);
  win::test::mouseMove(out.x, out.y);
  MessageRecord m;
  ASSERT_EQ(next(m), 6);   // the move onto the spot before the press
  ASSERT_EQ(next(m), 4);
  ASSERT_EQ(next(m), 6);
  EXPECT_LT(m.x, 0);
  EXPECT_EQ(m.value2, 4);   // left button held
  win::test::mouseUp(win::test::Button::Left, out.x, out.y);
  ASSERT_EQ(next(m), 5);
  EXPECT_LT(m.x, 0);
}

TEST_F(WMessage, GraphicsPositionFollowsTheDefaultUnits) {
  only({4});
  const win::POINT p = onClient(0, 299);   // bottom-left pixel
  win::test::click(p.x, p.y);
  MessageRecord m;
  ASSERT_EQ(next(m), 4);
  EXPECT_NEAR(m.gx, 0.5f / 400.0f, 0.01f);
  EXPECT_NEAR(m.gy, 0.5f / 300.0f, 0.01f);
}

TEST_F(WMessage, ResizeOutsideTheLoopIsHeldBackAndItsRepaintDropped) {
  only({7, 8});
  win::RECT f;
  win::GetWindowRect(winslot(0).wWindow, f);
  win::SetWindowPos(winslot(0).wWindow, nullptr, 0, 0, f.right - f.left + 100, f.bottom - f.top + 50,
                    win::SWP_NOMOVE | win::SWP_NOZORDER);
  MessageRecord m;
  ASSERT_EQ(next(m), 8);
  EXPECT_EQ(m.window, 0);
  EXPECT_EQ(m.value1, 500);
  EXPECT_EQ(m.value2, 350);
  EXPECT_EQ(tessar.window.CURWIDTH, 500);
  EXPECT_EQ(tessar.window.CURHEIGHT, 350);
  // Nothing else is waiting: the next event is the one the user makes now.
  only({4});
  const win::POINT p = onClient(1, 1);
  win::test::click(p.x, p.y);
  EXPECT_EQ(next(m), 4);
}

TEST_F(WMessage, DraggingTheBorderGivesOneResize) {
  only({4, 7, 8});
  const win::POINT corner = findHit(winslot(0).wWindow, win::HTBOTTOMRIGHT);
  ASSERT_GE(corner.x, 0);
  win::test::mouseMove(corner.x, corner.y);
  win::test::mouseDown(win::test::Button::Left, corner.x, corner.y);
  win::test::mouseMove(corner.x + 30, corner.y + 20);
  win::test::mouseMove(corner.x + 50, corner.y + 40);
  win::test::mouseUp(win::test::Button::Left, corner.x + 50, corner.y + 40);
  MessageRecord m;
  ASSERT_EQ(next(m), 8);
  EXPECT_EQ(m.value1, tessar.window.CURWIDTH);
  win::RECT c;
  win::GetClientRect(winslot(0).hClient, c);
  EXPECT_EQ(m.value1, c.right);
  EXPECT_EQ(m.value2, c.bottom);
  EXPECT_GT(c.right, 400);
  // Its repaint was part of it: the next event is the user's next click.
  const win::POINT p = onClient(3, 3);
  win::test::click(p.x, p.y);
  EXPECT_EQ(next(m), 4);
}

TEST_F(WMessage, HeldBackExposeComesBackAsTheWholeArea) {
  only({7});
  win::RECT small{10, 10, 20, 20};
  win::InvalidateRect(winslot(0).hClient, &small, win::TRUE);
  win::UpdateWindow(winslot(0).hClient);   // painted now, outside the loop
  MessageRecord m;
  ASSERT_EQ(next(m), 7);
  EXPECT_EQ(m.x, unitsfrompixels(0, 400));
  EXPECT_EQ(m.y, unitsfrompixels(0, 300));
  EXPECT_EQ(m.value1, unitsfrompixels(399, 400) - unitsfrompixels(0, 400));
  EXPECT_EQ(m.value2, unitsfrompixels(299, 300) - unitsfrompixels(0, 300));
}

TEST_F(WMessage, ExposeInTheLoopGivesTheInvalidArea) {
  only({7});
  win::RECT area{40, 30, 80, 60};
  win::InvalidateRect(winslot(0).hClient, &area, win::TRUE);
  MessageRecord m;
  ASSERT_EQ(next(m), 7);
  EXPECT_EQ(m.x, unitsfrompixels(40, 400));
  EXPECT_EQ(m.y, unitsfrompixels(30, 300));
  EXPECT_EQ(m.value1, unitsfrompixels(79, 400) - unitsfrompixels(40, 400));
}

TEST_F(WMessage, MinimisedWindowSendsNoResize) {
  only({8, 13});
  win::ShowWindow(winslot(0).wWindow, win::SW_MINIMIZE);
  yysettimer(10, 77, 1);
  MessageRecord m;
  ASSERT_EQ(next(m), 13);   // the resize never came
  EXPECT_EQ(m.value1, 77);
}

// A key read while the client area had no height gave a graphics position from a drawable
// of negative extent.
TEST_F(WMessage, KeyOverAClientWithoutHeightHasNoGraphicsPosition) {
  only({1});
  win::SetWindowPos(winslot(0).wWindow, nullptr, 0, 0, 300, 30, win::SWP_NOMOVE | win::SWP_NOZORDER);
  win::RECT c;
  win::GetClientRect(winslot(0).hClient, c);
  ASSERT_EQ(c.bottom, 0);
  win::SetFocus(winslot(0).hClient);
  win::test::pressKey('K');
  MessageRecord m;
  m.gx = 7;
  m.gy = 8;
  ASSERT_EQ(next(m), 1);
  EXPECT_EQ(m.value1, 'k');
  EXPECT_EQ(m.x, 0);
  EXPECT_EQ(m.gx, 7);
  EXPECT_EQ(m.gy, 8);
}

TEST_F(WMessage, HiddenWindowTakesItsNewSizeWithoutAnEvent) {
  windowclose();
  WindowOpenOptions o;
  o.flags = 0xA7;   // hidden, with a status bar
  o.width = 400;
  o.height = 300;
  open(o);
  only({7, 8, 13});
  win::RECT f;
  win::GetWindowRect(winslot(0).wWindow, f);
  win::SetWindowPos(winslot(0).wWindow, nullptr, 0, 0, f.right - f.left + 20, f.bottom - f.top + 10,
                    win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
  EXPECT_EQ(tessar.window.CURWIDTH, 420);
  EXPECT_EQ(tessar.window.CURHEIGHT, 310);
  yysettimer(10, 9, 1);
  MessageRecord m;
  ASSERT_EQ(next(m), 13);
}

TEST_F(WMessage, ClientTimerRepeatsAndFrameTimerFiresOnce) {
  only({13});
  yysettimer(50, 3, 1);
  MessageRecord m;
  ASSERT_EQ(next(m), 13);
  EXPECT_EQ(m.value1, 3);
  ASSERT_EQ(next(m), 13);
  EXPECT_EQ(m.value1, 3);
  yysettimer(0, 3, 1);
  yysettimer(20, 4, 0);
  yysettimer(100, 5, 1);
  ASSERT_EQ(next(m), 13);
  EXPECT_EQ(m.value1, 4);
  ASSERT_EQ(next(m), 13);
  EXPECT_EQ(m.value1, 5);   // timer 4 did not fire again before it
}

TEST_F(WMessage, WaitReturnsAfterItsTime) {
  const win::DWORD start = win::test::now();
  yywait(25);
  EXPECT_GE(win::test::now() - start, 250u);
  EXPECT_EQ(TimerEnabled, 0);
  // A timer that cannot be started: no wait at all.
  win::test::failNextWindowCall("SetTimer");
  const win::DWORD before = win::test::now();
  yywait(100);
  EXPECT_EQ(win::test::now(), before);
}

TEST_F(WMessage, PushedBackEventComesFirst) {
  tessar.window.PUSHBACKTYPE = 2;
  tessar.window.PUSHBACK.value1 = 40004;
  MessageRecord m;
  EXPECT_EQ(next(m), 2);
  EXPECT_EQ(m.value1, 40004);
  EXPECT_EQ(tessar.window.PUSHBACKTYPE, 0);
}

TEST_F(WMessage, FieldChangeWhileAnotherEventWaitsIsReturnedNext) {
  // A key completes; the same dispatch brings a field change of dialog 110.
  only({1, 10});
  dialogidentifierof = [](win::HWND) { return 110; };
  bInWMessage = 1;
  wValidMessage = 1;
  yyinterpretmessage(1, 0, 'x', 0, winslot(0).hClient);
  yyinterpretmessage(10, 262145, win::MAKEWPARAM(3, 4), 262146, winslot(0).hClient);
  bInWMessage = 0;
  dialogidentifierof = nullptr;
  EXPECT_EQ(wMessageType, 1);
  MessageRecord m;
  ASSERT_EQ(next(m), 10);
  EXPECT_EQ(m.window, 110);
  EXPECT_EQ(m.value1, 3);
  EXPECT_EQ(m.value2, 4);
  EXPECT_EQ(m.x, 262145);
  EXPECT_EQ(m.y, 262146);
}

TEST_F(WMessage, MenuCommandArrivesAsCommandEvent) {
  only({2});
  // What a menu item or an accelerator sends the frame.
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, win::MAKEWPARAM(40004, 0), 0);
  MessageRecord m;
  ASSERT_EQ(next(m), 2);
  EXPECT_EQ(m.window, 0);
  EXPECT_EQ(m.value1, 40004);
  EXPECT_EQ(m.value2, -1);
  // Notifications of controls are not commands.
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, win::MAKEWPARAM(40005, 5), 0);
  win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, win::MAKEWPARAM(40006, 1), 0);
  ASSERT_EQ(next(m), 2);
  EXPECT_EQ(m.value1, 40006);
}

class WMessageWithMenu : public twtest::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    WindowOpenOptions o;
    o.flags = 0x27;
    o.menu = 30001;
    open(o);
    win::test::runUntilIdle();
    for (int t = 1; t <= 16; ++t) wmessageenable(t, t == 1 || t == 2 ? 1 : 0);
  }
};

TEST_F(WMessageWithMenu, AcceleratorsGiveCommandsNotKeys) {
  struct Case { const char* why; int vk; unsigned modifiers; int command; };
  const Case cases[] = {
      {"a virtual-key accelerator", win::VK_F5, 0, 40002},
      {"Ctrl with a letter", 'N', kCtrl, 40001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    win::test::pressKey(c.vk, c.modifiers);
    MessageRecord m;
    ASSERT_EQ(next(m), 2);
    EXPECT_EQ(m.value1, c.command);
    EXPECT_EQ(m.window, 0);
  }
  // Keys without an accelerator stay keys.
  win::test::pressKey(win::VK_F6);
  MessageRecord m;
  ASSERT_EQ(next(m), 1);
  EXPECT_EQ(m.value1, 306);
}

TEST_F(WMessageWithMenu, MenuChoiceFromTheKeyboardGivesItsCommand) {
  win::test::pressKey('F', win::test::kAlt);
  win::test::pressKey('O');
  MessageRecord m;
  ASSERT_EQ(next(m), 2);
  EXPECT_EQ(m.value1, 40002);
}

TEST_F(WMessage, PressOnTheCaptionGivesFrameButtonEventWhenEnabled) {
  only({12});
  const win::POINT caption = findHit(winslot(0).wWindow, win::HTCAPTION);
  ASSERT_GE(caption.x, 0);
  win::test::mouseMove(caption.x + 40, caption.y);
  win::test::mouseDown(win::test::Button::Right, caption.x + 40, caption.y);
  win::test::mouseUp(win::test::Button::Right, caption.x + 40, caption.y);
  MessageRecord m;
  ASSERT_EQ(next(m), 12);
  EXPECT_EQ(m.window, 0);
  EXPECT_EQ(m.value1, 3);
}

// A stand-in for a dialog: its field reports a press as the dialog layer does.
win::LRESULT fakeDialogProc(win::HWND h, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam) {
  if (msg == win::WM_USER + 1) {
    yyinterpretmessage(104, 1, 5, lParam, h);
    return 0;
  }
  return win::DefWindowProc(h, msg, wParam, lParam);
}

TEST_F(WMessage, DialogFieldPressKeepsItsPixels) {
  only({4});
  win::WNDCLASS wc;
  wc.lpfnWndProc = fakeDialogProc;
  wc.lpszClassName = "FakeDialog";
  win::RegisterClass(wc);
  win::HWND dlg = win::CreateWindowEx(0, "FakeDialog", "", win::WS_POPUP | win::WS_VISIBLE, 50, 50, 200, 100,
                                      nullptr, nullptr, nullptr, nullptr);
  win::HWND field = win::CreateWindowEx(0, "FakeDialog", "", win::WS_CHILD | win::WS_VISIBLE, 10, 10, 120, 60,
                                        dlg, win::LongToHandle<win::HMENU>(5), nullptr, nullptr);
  ASSERT_NE(field, nullptr);
  hDlgCur = dlg;
  dialogidentifierof = [](win::HWND) { return 110; };
  win::PostMessage(dlg, win::WM_USER + 1, 0, win::MAKELPARAM(30, 40));
  MessageRecord m;
  ASSERT_EQ(next(m), 4);
  dialogidentifierof = nullptr;
  hDlgCur = nullptr;
  EXPECT_EQ(m.window, 110);
  EXPECT_EQ(m.value1, 1);
  EXPECT_EQ(m.value3, 1);
  EXPECT_EQ(m.value4, 5);
  EXPECT_EQ(m.x, 30);
  EXPECT_EQ(m.y, 40);
  // Graphics units over the field: 30.5 of 120 across, 60 - 1 - 40 + 0.5 of 60 up.
  EXPECT_NEAR(m.gx, 30.5f / 120.0f, 0.01f);
  EXPECT_NEAR(m.gy, 19.5f / 60.0f, 0.01f);
  // The window's own drawing state is as it was.
  EXPECT_EQ(tessar.window.CURWIDTH, 400);
  EXPECT_EQ(tessar.window.CURHEIGHT, 300);
}

// A minimised field's resize used to wipe the type of the event already completed.
TEST_F(WMessage, MinimisedFieldResizeKeepsTheWaitingEvent) {
  only({1, 8});
  bInWMessage = 1;
  wValidMessage = 1;
  yyinterpretmessage(1, 0, 'x', 0, winslot(0).hClient);
  yyinterpretmessage(108, static_cast<int>(win::SIZE_MINIMIZED), 5, 0, winslot(0).wWindow);
  bInWMessage = 0;
  EXPECT_EQ(wMessageType, 1);
  EXPECT_EQ(wMessageValue1, 'x');
  EXPECT_EQ(wValidMessage, 0);
}

TEST(WMessageEnable, TypesOutsideOneToSixteenAreIgnored) {
  wMessageEnabled = wMessageDefault;
  wmessageenable(17, 1);
  wmessageenable(0, 1);
  EXPECT_EQ(wMessageEnabled, wMessageDefault);
  int flag = -1;
  yyinfomessage(17, flag);
  EXPECT_EQ(flag, 0);
  wmessageenable(5, 1);
  yyinfomessage(5, flag);
  EXPECT_EQ(flag, 1);
  wMessageEnabled = wMessageDefault;
}

TEST(YyInterpretKey, OffsetsAndSharedCodes) {
  struct Case { const char* why; int vk, offset, code; };
  const Case cases[] = {
      {"Down with Ctrl", win::VK_DOWN, 40, 267},
      {"Right with Shift", win::VK_RIGHT, 20, 264},
      {"End", win::VK_END, 0, 271},
      {"the Select key shares End's code", win::VK_SELECT, 0, 271},
      {"Insert with Shift is unchanged", win::VK_INSERT, 20, 272},
      {"keypad point", win::VK_DECIMAL, 0, 291},
      {"separator shares the keypad plus", win::VK_SEPARATOR, 0, 292},
      {"Ctrl+F20", win::VK_F20, 40, 360},
      {"a key without a code of its own", win::VK_APPS, 0, win::VK_APPS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(yyinterpretkey(c.vk, c.offset), c.code);
  }
}

TEST(YySplitFixed, PanesAndNestedSplits) {
  // Window numbers 40-43 stand for panes; 41 is a split window of its own.
  FrameRecord outer, inner;
  outer.word[FR_KIND] = inner.word[FR_KIND] = SW_SPLITWINDOW;
  outer.word[SP_FLAGS] = 1;              // stacked
  outer.word[SP_PANE1] = 40;
  outer.word[SP_PANE2] = 41;
  outer.word[SP_PANEFLAGS1] = WOF_FIXEDSIZE;
  inner.word[SP_FLAGS] = 0;              // side by side
  inner.word[SP_PANE1] = 42;
  inner.word[SP_PANE2] = 43;
  inner.word[SP_PANEFLAGS1] = inner.word[SP_PANEFLAGS2] = WOF_FIXEDSIZE;
  win::test::reset();
  win::WNDCLASS wc;
  wc.lpfnWndProc = win::DefWindowProc;
  wc.lpszClassName = "PaneStandIn";
  win::RegisterClass(wc);
  winslot(41).wWindow = win::CreateWindowEx(0, "PaneStandIn", "", win::WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  win::SetWindowLongPtr(winslot(41).wWindow, win::GWLP_USERDATA, reinterpret_cast<win::LONG_PTR>(&inner));
  struct Case { const char* why; int pane, direction, fixed; };
  const Case cases[] = {
      {"a fixed pane along the split direction", 0, 1, 1},
      {"the same pane across the split is free", 0, 0, 0},
      {"inner side-by-side split: both widths fixed, not proportional", 1, 0, 1},
      {"inner split's height: neither pane has a fixed height", 1, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(yySplitFixed(outer, c.pane, c.direction), c.fixed);
  }
  inner.word[SP_FLAGS] = 2;              // proportional: its width follows the frame
  EXPECT_EQ(yySplitFixed(outer, 1, 0), 0);
  win::DestroyWindow(winslot(41).wWindow);
  winslot(41).wWindow = nullptr;
}

TEST(YyMouseModifiers, BitsOfTheHeldKeysAndButtons) {
  EXPECT_EQ(yymousemodifiers(win::MK_CONTROL | win::MK_SHIFT), 3);
  EXPECT_EQ(yymousemodifiers(win::MK_LBUTTON | win::MK_MBUTTON | win::MK_RBUTTON), 28);
  EXPECT_EQ(yymousemodifiers(0), 0);
}

TEST(WindowUnits, ConversionsOfAThousandPixelClient) {
  tessar.window.CURWIDTH = 1000;
  tessar.window.CURHEIGHT = 1000;
  int x = 0, y = 0;
  windowunitsfrompixels(999, 0, x, y);
  EXPECT_EQ(x, 9994);
  EXPECT_EQ(y, 4);
  windowunitstopixels(9999, 5000, x, y);
  EXPECT_EQ(x, 999);
  EXPECT_EQ(y, 499);
  EXPECT_EQ(unitsfrompixels(0, 1), 0);   // a client one pixel across
}

}  // namespace
