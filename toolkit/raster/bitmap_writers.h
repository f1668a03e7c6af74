#pragma once
// The BMP and PCX writers: the virtual raster page as one image appended to output unit 2.
// Both read the page with the byte masks in extraction form, write through yyprbu, and stop
// at the first write that raises the printer record's OUTPUTERROR.
#include <cstdint>
#include <span>
#include <string_view>

// One bottom-up BMP image (1, 4, 8 or 24 bits; run-length compressed at 4 and 8 bits when
// image-format option 26 is 2). Every header carries its own image's sizes. Returns 0.
int yybmp1();
// Makes the size fields of every BMP image in the closed file agree with the file: run for
// compressed output at the end of a hardcopy. A short patch write records error 2 "YYBMP2".
int yybmp2(std::string_view name, int length);

// One run-length-encoded PCX image, top row first, with the 256-colour palette behind it at
// 8 bits. Returns 0.
int yypcx1();
// Encodes one scan line of the page (the row starting at page word rowoffset; plane is the
// bit plane, or the colour byte at 24 bits) and writes it with one call. Returns 0.
int yypcx2(int handle, std::span<std::uint8_t> buffer, int rowoffset, int plane, int lastbyte);
