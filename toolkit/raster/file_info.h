#pragma once
// Graphics file identification: what kind of graphics file a name holds (the image file
// type), and on request its size, colours and one or two values that depend on the type.
//
// Image file types: -1 no usable file, 0 unknown, 1 BMP, 2 PCX, 3 Windows metafile (WMF,
// placeable WMF or EMF), 4 HP-GL, 5 HP-GL/2 inside PCL, 6 binary CGM, 7 Lotus PIC, 8 Draw
// file, 9 Tektronix, 10 PostScript, 11 PCL, 12 ESC/P, 13 Epson stream, 14 DXF, 15 PNG,
// 16 SVG.
#include <cstdint>
#include <span>
#include <string_view>

// Fills info(1) with the type and, for n >= 2, info(2..min(n, 6)) with width, height,
// colours (or a kind or count), a further value and bits per pixel (or a page count); -1
// where the type gives none. With type -1 only info(1) is written. Entry k is index k - 1;
// n is cut to the array's size.
void igrfileinfo(std::string_view name, std::span<int> info, int n);

// Pictures in a Lotus PIC file (at least 1 once the file could be scanned).
void yycntpic(std::string_view name, int& count);
// Pages in an HP-GL or HP-GL/2 file (at least 1 once the file was read to its end).
void yycnthpg(std::string_view name, int& count);
// A little-endian integer from the first 2 bytes (unsigned), or 4 bytes when k is 4.
void yych2int(std::span<const std::uint8_t> bytes, int k, int& value);
