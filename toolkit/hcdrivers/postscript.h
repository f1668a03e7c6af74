#pragma once
// The PostScript and EPS file driver (hardcopy device 2) and its line writers.
#include <string>
#include <string_view>

void xxpost(int& code);

// Line writers: values "%9.2f" with ".00" shortened to ".0", one blank, the text; the whole
// line normalised (outer blanks dropped, runs of blanks made one).
void yypos3(float a, float b, float c, std::string_view text);
void yypos4(float x, float y, std::string_view text);    // x, y times the scale pair
void yypos4a(float x, float y, std::string_view text);   // x times SY, y times SX
void yypos5(float v, std::string_view text);
void yypos6(std::string_view text);                      // normalised
void yypos7(std::string_view text);                      // unchanged
// Ends the open path: 1 stroke, 2 close and fill, 3 only write a pending colour.
void yypos2(int mode);
// A colour of the current model as three reals 0-1, with option 6 applied; -1 is black.
void yypos1(int colour, float& r, float& g, float& b);
// Six lower-case hexadecimal digits, red first, into the first six characters of text.
void yyrgbhex(int r, int g, int b, std::string& text);
