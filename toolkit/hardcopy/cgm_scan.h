#pragma once
// The CGM file scanner: reads a binary Computer Graphics Metafile from start to end
// without drawing it and reports its picture count and the width-to-height ratio of its
// VDC space.
#include <cstdint>
#include <span>
#include <string_view>

// pictures: END PICTURE elements seen, at least 1. ratio: of the MAXIMUM VDC EXTENT if
// there is one, else of the VDC EXTENT, else 1.0. An open failure records error 1 under
// "YYINFOCGM" and leaves both results alone; a short or malformed file records error 2
// and ends the scan with the results read so far.
void yyinfocgm(std::string_view name, int& pictures, float& ratio);

// Integers and reals from an element's parameter bytes, position counted from 1.
// Precision 16 reads a big-endian 16-bit value, any other precision 32 bits; bytes past
// the buffer read as 0.
int yyrepcgmint(std::span<const std::uint8_t> buffer, int position, int precision);
float yyrepcgmreal(std::span<const std::uint8_t> buffer, int position);
