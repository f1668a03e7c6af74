#pragma once
// Colours and palettes: the packed colour value red + 256 green + 65536 blue, the palette
// and RGB colour models, the named colours, the 256-entry working palette with its reduced
// tables, the nearest palette entry, device colour numbers and hue/saturation/value.
#include <string_view>

int wrgb(int red, int green, int blue);
void wrgbsplit(int colour, int* red = nullptr, int* green = nullptr, int* blue = nullptr);
void IGrColourN(int n);
void IGrColour(std::string_view name);
void igrcolourmodel(int model);
void yycon(int index, int rgb, int device, int sides);
void yypalg(int i, int& rgb);
void yypalg8(int i, int& rgb);
void yypalg16(int i, int& rgb);
void yypalg32(int i, int& rgb);
void yypalrgb(int colour, int* red = nullptr, int* green = nullptr, int* blue = nullptr);
void yypals(int i, int rgb);
void yypali();
// The class table for the current device colour class (32-128); other classes leave it.
void yypalclass();
void yyrgbto8(int rgb, int& index);
int yycol(std::string_view name);
int yycnum(int index);
int yycoln(int group, int row);
void yyrgbhsv(int rgb, float& hue, float& saturation, float& value);
