#pragma once
// Image file loading: the pixels of a BMP, PCX or PNG file as colour values
// (red + 256 x green + 65536 x blue).
#include <cstdint>
#include <span>
#include <string_view>

// Fills pixels with the image, top row first: column c (1..width) of row r (0 top) is entry
// r x width + c, index r x width + c - 1. Width and height are what igrfileinfo reports.
// Only decoded pixels are written (a run-length stream may skip some). A file that is not
// BMP, PCX or PNG, a format the loader cannot decode or an image larger than the array
// records error 27 and leaves the array alone. A truncated image (its data end before its
// last row, or a PNG before IEND) records error 2; rows decoded before the end may stay.
// Rows are decoded as they are read, so memory follows the file, not its header.
void IGrLoadImageData(std::string_view name, std::span<int> pixels);

// Whether the file is long enough to hold the rows its header claims, judged from its size
// before anyone allocates for them; false records error 2 under "IGrLoadImageData". Files
// the loader refuses for other reasons, and run-length BMPs (whose runs may skip pixels),
// pass here.
bool yyimagefits(std::string_view name);

// Undoes the PNG row filters in place: rows of stride bytes, each led by its filter type.
void yypngfilter2(std::span<std::uint8_t> buffer, int stride, int rows, int bytesperpixel);
void yypngfilter(int stride, int rows, int bytesperpixel, std::span<std::uint8_t> buffer);
