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

// File selection flags of WSelectFile (added together): 1 save dialog; 2 save: ask before
// overwriting, open: offer to create a missing file (not with 128); 4 the folder of a typed
// name need not exist; 8 keep the folder the user went to as the current directory (else it
// is restored, also after a cancel); 16 open: several files; 32 append the chosen type's
// extension to a name typed without one; 128 open: the file must exist.
//
// Shows the open or save dialog over the filter text (description, pattern, ... each ended by
// the filter's last non-blank character) starting from the folder and name of filename; on
// OK filename (fixed length) receives the chosen path, or with several files the folder, a
// NUL and each name followed by a NUL. DLGANSWER is 1 when a file was chosen, else 0; a
// cancel leaves filename unchanged, a failure also records error 1004.
void WSelectFile(std::string_view filter, int flags, std::string& filename,
                 std::string_view title = {}, int* filterindex = nullptr);
// Worker: filter identifier -1 takes the filter text, 0 none; snapshot 1 keeps the windows
// repainting from snapshots meanwhile.
void yywsfile(int filterid, std::string_view filter, int flags, std::string& filename,
              std::string_view title, int& filterindex, int snapshot);
// Splits path (fixed length, in: the path, out: its folder without the separator) and name.
void yysplitp(std::string& path, std::string& name);
// Runs the platform dialog; answer 1 chosen, 0 not; error the platform's extended error.
void yygetfiledialog(int filterid, int& filterindex, int save, int prompt, int pathmaybemissing, int multiple,
                     int defaultextension, int mustexist, int& answer, int& error, const char* title,
                     std::string& file, const char* initialdir, const char* filter);
