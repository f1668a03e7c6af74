#pragma once
// The error recorder: every toolkit routine that fails records its error number with its
// own routine name here; the report level decides what is shown.
#include <string_view>

#include "toolkit/core/tessar.h"

void yyerror(int number, std::string_view routine);
void yyseterror(int number);
void idebuglevel(int level);

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
