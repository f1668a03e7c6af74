#pragma once
// Image file loading: the pixels of a BMP, PCX or PNG file as colour values
// (red + 256 x green + 65536 x blue).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Fills pixels with the image, top row first: column c (1..width) of row r (0 top) is entry
// r x width + c, index r x width + c - 1. Width and height are what igrfileinfo reports.
// Only decoded pixels are written (a run-length stream may skip some). A file that is not
// BMP, PCX or PNG, a format the loader cannot decode or an image larger than the array
// records error 27 and leaves the array alone. A truncated image (its data end before its
// last row, or a PNG before IEND) records error 2; rows decoded before the end may stay.
// Rows are decoded as they are read, so memory follows the file, not its header.
void IGrLoadImageData(std::string_view name, std::span<int> pixels);

// A decoded image file: width x height values, top row first. A palette image (bits 1, 2, 4
// or 8) gives indices into its palette of colour values, any other (bits 24) colour values.
struct DecodedImage {
  int type = 0;   // the image file type: 1 BMP, 2 PCX, 15 PNG
  int width = 0, height = 0;
  int bits = 24;
  std::vector<int> values;
  std::array<int, 256> palette{};
  // The colour value of pixel k, whatever the kind.
  int colour(std::size_t k) const { return bits <= 8 ? palette[static_cast<std::size_t>(values[k]) & 0xFF] : values[k]; }
};

// The one decoder every route that draws an image file goes through (the screen, printer
// and metafile devices, the raster page and the file drivers): the file's size judged before
// anything is allocated (yyimagefits, and at most 2^29 - 1 pixels), then the BMP, PCX or PNG
// decoded, a top-down BMP included. Returns 0, or 1 the file cannot be opened (its system
// code in syserror), 2 the file is shorter than its rows, too large or the memory cannot be
// had, 27 not a usable BMP, PCX or PNG. Nothing is reported and the last error is kept; on
// an error the image is left empty.
int yydecodeimage(std::string_view name, DecodedImage& image, int& syserror);

// Whether the file is long enough to hold the rows its header claims, judged from its size
// before anyone allocates for them; false records error 2 under "IGrLoadImageData". Files
// the loader refuses for other reasons, and run-length BMPs (whose runs may skip pixels),
// pass here. Pictures of more pixels than the decoder takes are refused here too.
bool yyimagefits(std::string_view name);

// Undoes the PNG row filters in place: rows of stride bytes, each led by its filter type.
void yypngfilter2(std::span<std::uint8_t> buffer, int stride, int rows, int bytesperpixel);
void yypngfilter(int stride, int rows, int bytesperpixel, std::span<std::uint8_t> buffer);
