#pragma once
// The platform's message box. MessageBox shows text under title with the buttons, icon and
// default button that style names, owned by owner (nullptr: no owner), and returns the
// button the user chose (IDOK .. IDNO), or 0 when the box cannot be shown. Texts are 8-bit
// (Windows-1252) and NUL-terminated.
//
// The headless implementation shows nothing: it records every box for tests and answers
// with the box's default button unless a test chose the answer or a failure beforehand.
#include <string>
#include <vector>

#include "platform/win.h"

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
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONMASK = 0xF0;
// Default button: the first unless one of these names the second or third.
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
inline constexpr unsigned MB_DEFMASK = 0xF00;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

int MessageBox(HWND owner, const char* text, const char* title, unsigned style);

namespace test {
struct MessageBoxRecord {
  HWND owner;
  std::string text;
  std::string title;
  unsigned style;
};
// Every box shown since the last clear, oldest first.
const std::vector<MessageBoxRecord>& messageBoxes();
void clearMessageBoxes();
// The next box answers with id (IDOK .. IDNO) instead of its default button.
void answerNextMessageBox(int id);
// The next box cannot be shown: MessageBox returns 0 and records nothing.
void failNextMessageBox();
}  // namespace test

}  // namespace win
