#pragma once
// The ".tw" project file: a formatted text file written whole on every save and read back
// positionally, line by line, in the order and under the conditions of the writer. The
// analysis status recorded on line 8 decides which sections carry data.
#include <string>

// Writes the project to twvars.filename through a temporary file beside it, flushed to the
// disk and renamed over the old file only when complete (the folder is flushed after), and
// tells the user the outcome. Returns false (and twvars.iostat non-zero) when the save
// failed; the previous file is then intact unless the new one replaced it already.
bool filesave();

// Reads the project file named by twvars.filename. On success the project is the file's and
// the data check summary is shown; on any failure the user is told and twvars and
// regressdat are left exactly as they were. Returns false on failure.
bool fileopen_read();

// The whole file text that filesave writes, for the given save date and time. A real too
// wide for its fixed field is written in an exponent form of the same width.
void filesave_text(std::string& out, int year, int month, int day, int hour, int minute);

// The filter parameter as the file keeps it: three decimals, from 0.001 to 0.999 (the reader
// refuses 0 and 1), the value a save and a reopen give back. The reader stores a parameter in
// this form and the parameter dialog applies it so; the parameter in use is always one.
float filterparam_asstored(float value);
