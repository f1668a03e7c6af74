#pragma once
// The error recorder: every toolkit routine that fails records its error number with its
// own routine name here; the report level decides what is shown.
#include <string_view>

#include "toolkit/state/tessar.h"

// What levels 3 and 4 of the recorder need from the layers above it. The window layer fills
// the table when the root window opens (and start-up does so too); the recorder calls nothing
// above itself. An empty entry falls back to what a program without the window layer does:
//   rootstatustext  empty: a level-3 report is not shown (only the number stays recorded);
//   WMessageBox     empty: the platform's message box is shown directly, its answer put into
//                   DLGANSWER as WMessageBox would;
//   iosexitprogram  empty: the platform ends the process with the code.
struct ReportServices {
  // text into part 1 of the root window's status bar, the current window kept current
  void (*rootstatustext)(std::string_view text) = nullptr;
  void (*WMessageBox)(int buttons, int icon, int idefault, std::string_view message,
                      std::string_view title) = nullptr;
  void (*iosexitprogram)(std::string_view message, int code) = nullptr;
};

extern ReportServices reportservices;

void yyerror(int number, std::string_view routine);
void yyseterror(int number);
void idebuglevel(int level);

// Debug log ("debug", else "debug.txt", else "debug.dat" in the current directory), opened at
// its first line and kept open for the whole process; every line ends with CR LF.
void idebug(std::string_view text);         // all characters, trailing blanks too, up to a NUL
void yydebug(const char* text, int length); // length is not used
void yydebugc(const char* text);
void yydebugi(const char* name, int value); // "name=value"
void yydebugopen();

// Runs op with reporting off and LASTERROR cleared; returns the error number op recorded
// (0 if none) and puts DEBUGLEVEL and LASTERROR back as they were.
template <class Op>
[[nodiscard]] int silently(Op&& op) {
  ErrorState& es = tessar.error;
  const int level = es.DEBUGLEVEL, last = es.LASTERROR;
  es.DEBUGLEVEL = 0;
  es.LASTERROR = 0;
  op();
  const int failed = es.LASTERROR;
  es.DEBUGLEVEL = level;
  es.LASTERROR = last;
  return failed;
}
