#pragma once
// Internals of the error recorder, for the recorder itself and its tests.
#include <string>
#include <string_view>

// The 200-character report of number for routine from the current error record; e1 is the
// end of the routine name and e2 the colon after the number (1-based positions).
std::string yyreporttext(int number, std::string_view routine, int& e1, int& e2);

namespace tw::test {
// Closes the debug log and forgets that it was opened, as a new process run would start.
void resetDebugLog();
}  // namespace tw::test
