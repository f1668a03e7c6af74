#pragma once
// The raster printer driver (hardcopy device 4): the plot drawn by the raster device into a
// page of one or three bit planes and sent at each end of page in the printer's own
// language: PCL raster graphics, ESC/P2 raster graphics, or 8- and 24-pin bit images.
#include <cstdint>
#include <span>

// Handles device request code: defaults, begin and end of page here, the rest through the
// raster device.
void xxrast(int& code);

// Sets up the printed page (width in dots across the paper, rows down it) and builds the
// start, row prefix, band, colour and end strings of the printer record.
void yypcod(int& width, int& height);

// A pixel test: non-zero when the printer's dot (x across, y down the paper) is inked in
// the plane the printer record selects.
using PixelTest = int (*)(int& x, int& y);
int yyras1(int& x, int& y);
int yyras2(int& x, int& y);
int yyras3(int& x, int& y);
int yyras4(int& x, int& y);
int yyras5(int& x, int& y);
int yyras6(int& x, int& y);
int yyras7(int& x, int& y);
int yyras8(int& x, int& y);
int yyras9(int& x, int& y);

// Writes the page to the output unit between the printer's escape strings, row by row or
// band by band, reading the dots through the pixel test.
void yydump(int& unit, PixelTest test);

// PCL row compression in place (method 1 repeat pairs, 2 PackBits) with the count written
// into row prefix 0-2.
void yycmpr(std::span<std::uint8_t> row, int& count, int prefix);
// ESC/P2 PackBits: the row replaced by its packed form only when that is shorter, and the
// row prefix's compression byte set to match. work holds count + count / 128 + 1 bytes.
void yycmprp2(std::span<std::uint8_t> row, int& count, std::span<std::uint8_t> work);
// The pin printers' row prefix count from a band's byte count (rounded to whole columns for
// 24 pins).
void yybitimg(int& count);
