#pragma once
// The hardcopy output channel: the file-writing drivers write the current hardcopy output
// (FileNames name 9) through numbered units 1 and 2 and never open files themselves. Any
// failure records its error under "YYPROU" and raises the printer record's OUTPUTERROR.
#include <span>
#include <string_view>

// Opens name 9 for writing on the unit (created, or emptied when it exists).
void yyprop(int unit);
// Writes count bytes of the buffer as they are.
void yyprou(int unit, std::span<const char> bytes, int count);
// Writes the first length characters of the text, then CR LF, in one write.
void yyprwl(int unit, std::string_view text, int length);
// Closes the unit's file; records nothing.
void yyprcl(int unit);
// The unit's operating-system file handle, -1 when none is open.
void yyprfh(int unit, int& handle);
