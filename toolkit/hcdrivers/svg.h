#pragma once
// The SVG file driver (hardcopy device 3).
#include <string>

void xxsvg(int& code);
// A number as SVG text: two decimals, ".00" and a last "0" dropped ("12", "12.5", "-3.1").
std::string yysvg1(float value);
// The path of a filled sector (13) or an arc outline (34) from the current operands.
void yysvg2(int code);
