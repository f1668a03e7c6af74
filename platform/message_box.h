#pragma once
// The platform's message box. MessageBox shows text under title with the buttons, icon and
// default button that style names, owned by owner (nullptr: no owner), and returns the
// button the user chose (IDOK .. IDNO), or 0 when the box cannot be shown. Texts are 8-bit
// (Windows-1252) and NUL-terminated; a CR, an LF or a CR LF pair breaks the line, and long
// lines wrap at blanks. A null title shows "Error".
//
// The box is a modal dialog built from the layer's own buttons and statics: Enter presses the
// focused push button (at first the default one), Escape and the close box give Cancel where
// the box has one and OK in an OK-only box, Tab and the arrow keys move between the buttons,
// and a button's underlined letter presses it. An owned box disables its owner while it is
// up; a task-modal box without an owner disables every top-level window of the program.
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace win {

// Button sets (low four bits of the style).
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_TYPEMASK = 0xF;
// Icons.
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr unsigned MB_ICONMASK = 0xF0;
// Default button: the first unless one of these names the second or third.
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
inline constexpr unsigned MB_DEFMASK = 0xF00;
// Modality.
inline constexpr unsigned MB_APPLMODAL = 0x0000;
inline constexpr unsigned MB_SYSTEMMODAL = 0x1000;
inline constexpr unsigned MB_TASKMODAL = 0x2000;
inline constexpr unsigned MB_MODEMASK = 0x3000;
inline constexpr unsigned MB_SETFOREGROUND = 0x10000;
inline constexpr unsigned MB_TOPMOST = 0x40000;

int MessageBox(HWND owner, const char* text, const char* title, unsigned style);

namespace test {
struct MessageBoxRecord {
  HWND owner;
  std::string text;
  std::string title;
  unsigned style;
};
// The boxes shown since the last clear, oldest first (the latest 1000).
const std::vector<MessageBoxRecord>& messageBoxes();
void clearMessageBoxes();
// The next box cannot be shown: MessageBox returns 0 and records nothing.
void failNextMessageBox();

// Answers as a user would, through the headless backend's injected input: when a box is up
// and its modal loop waits for input, the next queued answer is given to it, a click on the
// box's button with that identifier (IDOK .. IDNO) or a key press (a virtual key with
// test::kShift, kCtrl or kAlt modifiers). A box left without an answer takes the standing
// key when one is set (answerEveryMessageBoxWithKey, 0 for none); otherwise its loop finds
// that no input can arrive and the box fails (MessageBox returns 0). The answers work
// through the backend's idle hook, which they take over (again after test::reset()).
void answerNextMessageBoxWithClick(int buttonId);
void answerNextMessageBoxWithKey(int vk, unsigned modifiers = 0);
void answerEveryMessageBoxWithKey(int vk);
void clearMessageBoxAnswers();
// The box now up (the innermost one), or nullptr.
HWND openMessageBox();
}  // namespace test

}  // namespace win
