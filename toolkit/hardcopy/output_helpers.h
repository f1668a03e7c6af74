#pragma once
// Small writers the drivers share: DXF groups and the DXF colour palette, the HP-GL/2
// command line, and the raw buffer write of the image and printer writers.
#include <cstdint>
#include <span>
#include <string_view>

// A DXF group is a code line and a value line on unit 2, each ended by CR LF.
void yydxf3(std::string_view code, std::string_view value);
// A real group: the value "(F15.6)", trimmed; one too wide for that field is written with an
// exponent ("1.2345679E+08") instead of asterisks.
void yydxf4(std::string_view code, float value);
void yydxf5(std::string_view code, int value);     // the value "(I8)", trimmed
// Two real groups: x and y times the device scale pair of the open driver.
void yydxf2(std::string_view codex, std::string_view codey, float x, float y);
// The head of an entity: its name, layer "1", then the colour of the DXF driver.
void yydxf1(std::string_view entity);
// Entry 1-255 of the DXF colour index as a colour value; other indices give 0.
int yydxfpal(int index);

// One HP-GL/2 command line, after a blank when the line prefix is on.
void yyhpgl2b(std::string_view command);

// Writes count bytes of the buffer to the file handle, then CR LF when lineend is
// non-zero. A short write records error 2 under "YYPRBU" and raises OUTPUTERROR.
void yyprbu(int handle, std::span<const std::uint8_t> bytes, int count, int lineend);
