#pragma once
// The standard dialogs: ready-made platform dialogs wrapped for toolkit callers. Their
// answer goes to DLGANSWER of tessar.dialog (winfodialog item 4).
#include <string>
#include <string_view>

#include "platform/native_dialogs.h"
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

// Printer page set-up. Sizes in thousandths of an inch (units below 2) or hundredths of a
// millimetre. In: the printable width and height, the left and top margins, the orientation
// (0 portrait, 1 landscape) and copies the page has now; the first call of a run (and every
// call after the default printer was taken again) starts from the default printer, later
// ones from the printer and paper confirmed last. On OK (result 1): the paper size as
// turned, the printable size, margins, orientation and copies confirmed, the number of the
// printer's colours (unchanged when it cannot be asked), and the printer's names and
// settings in the printer settings of tessar.raster with PageDlgShown 1. Cancel: result 0,
// nothing changed.
void yyprintdialog(int& paperwidth, int& paperheight, int& printwidth, int& printheight, int& left, int& top,
                   int& orientation, int& copies, int units, int& colours, int& result);

// Colour chooser: red, green and blue (0-255) in and out; result 1 on OK, else 0 with the
// platform's extended error. The 16 custom colours live for the run, seeded from wColor.
void yygetrgbdialog(int& red, int& green, int& blue, int& result, int& error);

// Directory browser over directory (a NUL-terminated buffer of length bytes): title flag 1
// shows title, else "Select Directory"; flags 4 accept a directory that does not exist, 64
// offer to create it. answer 1 chosen (the buffer holds it), 2 cancelled.
void yyselectdir(int titleflag, int& answer, int flags, char* directory, const char* title, int length);
// The browser's check of the directory chosen or typed: false keeps the browser up, after
// the message or question the flags call for.
bool yyBrowseCallbackProc2(std::string& path, const win::native::Questions& q);

// Measurement system of the user's locale: 1 U.S., 2 metric.
void yygetmeasure(int& measure);

// Screen position of the client-area origin of window (0-50), or for -1 of the current
// dialog (else the current window) once climbed from child windows to a window that is no
// child. width and height are not used.
void yygetwindlgpos(int window, int width, int height, int& x, int& y);
// Shows the current dialog at the origin yygetwindlgpos gives for window.
void yyshowcd(int field, int type, int window);
