#pragma once
// The error recorder: every toolkit routine that fails records its error number with its
// own routine name here; the report level decides what is shown.
#include <string_view>

#include "toolkit/core/tessar.h"

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
