#pragma once
// Error record, a region of tessar. Starts all 0 at winitialise.
// Written by: yyerror (LASTERROR); a failing routine just before yyerror
//   (ERRDETAIL with ERRDETAILKIND, or ERRSTATUS); idebuglevel (DEBUGLEVEL).
// Read by: toolkit routines, which save and restore it around silent tries.
struct ErrorState {
  int LASTERROR = 0;
  int ERRDETAIL = 0;
  int ERRSTATUS = 0;
  int DEBUGLEVEL = 0;
  int ERRDETAILKIND = 0;
};
