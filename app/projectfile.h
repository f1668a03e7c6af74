#pragma once
// The ".tw" project file: a formatted text file written whole on every save and read back
// positionally, line by line, in the order and under the conditions of the writer. The
// analysis status recorded on line 8 decides which sections carry data.
#include <string>

// Writes the project to twvars.filename through a temporary file beside it, renamed over
// the old file only when complete, and tells the user the outcome. Returns false (and
// twvars.iostat non-zero) when nothing was saved; the previous file is then intact.
bool filesave();

// Reads the project file named by twvars.filename. On success the project is the file's and
// the data check summary is shown; on any failure the user is told and twvars and
// regressdat are left exactly as they were. Returns false on failure.
bool fileopen_read();

// The whole file text that filesave writes, for the given save date and time.
void filesave_text(std::string& out, int year, int month, int day, int hour, int minute);

// Fixed-format output fields as the file's layout writes them: a real right-justified in w
// columns with d decimals, an integer in w columns with at least m digits; a value that
// does not fit (or is not finite) is w asterisks.
std::string fortranreal(float value, int w, int d);
std::string fortraninteger(int value, int w, int m = 0);

// Test hook: make the next save fail at one step (1 opening the temporary file, 2 a write,
// 3 the close, 4 the rename); 0 is no fault. Cleared when used.
inline int filesave_failnext = 0;
