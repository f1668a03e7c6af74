#pragma once
// Ordered dithering of 1- and 3-bit raster pages. A pattern is a 32-bit word read as a
// cell of 8 columns by 4 rows: bit (y mod 4) x 8 + (x mod 8) governs pixel (x, y).
#include <cstdint>

// The pattern with trunc(32 v + 0.5) lit cells for intensity v (0 black, 1 full) of
// component c (1 red, 2 green, 3 blue; 1 for a single grey).
std::uint32_t yydithplace(float v, int c);

// Patterns of the current drawing colour for a printer of the given colour kind
// (0 monochrome, 1 RGB planes, 2 CMY planes). On a page of two device colours all three
// are the same grey pattern, with a set bit for ink.
void yydith(int colourkind, std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue);

// Rebuilds the colour-cube tables CUBERED, CUBEGREEN and CUBEBLUE of the raster region.
void yydith2();
