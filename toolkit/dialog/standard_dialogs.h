#pragma once
// The standard dialogs: ready-made platform dialogs wrapped for toolkit callers. Their
// answer goes to DLGANSWER of tessar.dialog (winfodialog item 4).
#include <string_view>

#include "platform/win.h"

// The modal frame of the standard dialogs, filled by the dialog manager when it starts: the
// owner of a box, disabling and re-enabling the other windows around it (owner: the window
// to spare and to give the focus back to), and the window snapshots (1 take, 0 release).
// Without the dialog manager a box has no owner and nothing else happens.
struct MessageBoxServices {
  win::HWND (*owner)() = nullptr;
  void (*disable)(win::HWND owner) = nullptr;
  void (*enable)(win::HWND owner) = nullptr;
  void (*snapshot)(int mode) = nullptr;
};
inline MessageBoxServices messageboxservices;

// Message-box answers stored in DLGANSWER.
inline constexpr int MBANSWER_OK = 1;      // OK, Retry, Yes
inline constexpr int MBANSWER_CANCEL = 0;  // Cancel, Ignore
inline constexpr int MBANSWER_NO = 2;      // Abort, No
inline constexpr int MBANSWER_FAILED = -1; // the box could not be shown

// Shows a message box and stores its answer in DLGANSWER.
//   buttons: 0 OK (also any value outside 1-5), 1 OK/Cancel, 2 Retry/Cancel, 3 Yes/No,
//            4 Yes/No/Cancel, 5 Abort/Retry/Ignore
//   icon:    1 stop, 2 question, 3 exclamation, 4 information, other none
//   idefault: the answer code of the default button (1, 2, else the button answering 0)
// message and title are fixed-length texts; their trailing blanks are not shown. A box that
// cannot be shown records error 1004 and sets DLGANSWER to -1, so that no caller takes a
// stale Yes or OK for this box's answer.
void WMessageBox(int buttons, int icon, int idefault, std::string_view message,
                 std::string_view title);

// Worker of WMessageBox: runs the platform box with the default button at position
// defpos (1-3) and returns the answer code in answer (-1 when the box failed).
void yymessagebox(int buttons, int icon, int defpos, int& answer, const char* message,
                  const char* title);
