#pragma once
// PNG pieces shared by writing and reading: the chunk CRC, big-endian words, the
// chunk-type compare, and the toolkit's whole-buffer compression through zlib.
#include <cstdint>
#include <span>
#include <string_view>

// CRC-32 of the first length bytes (the PNG chunk CRC); 0 for a length of 0 or less.
std::uint32_t yypngcrc2(std::span<const std::uint8_t> bytes, int length);
void yypngcrc(int length, std::uint32_t& crc, std::span<const std::uint8_t> bytes);

// The 32-bit value into four bytes, most significant first.
void yypngwrd(std::uint32_t value, std::span<std::uint8_t> bytes);
void yypngword(std::uint32_t value, std::span<std::uint8_t> bytes);

// Four bytes, most significant first, as a 32-bit two's-complement integer.
int yypngc2i(std::span<const std::uint8_t> bytes);
void yypngc2i(std::span<const std::uint8_t> bytes, int& value);

// 1 when the four bytes are the four characters of type, else 0.
int yypngcmp(std::span<const std::uint8_t> bytes, std::string_view type);

// Whole-buffer compression and decompression. destinationlength holds the capacity on
// entry and the result length on return, 0 after a failure, which records the zlib status
// in ERRSTATUS and error 1044 under the routine's name. Neither reads or writes past the
// spans, whatever the lengths say.
void WCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
               int sourcelength, int& destinationlength);
void WUnCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
                 int sourcelength, int& destinationlength);

// The bridges to zlib's compress and uncompress: status 0 on success.
void yyzcompr(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
              int sourcelength, int& destinationlength, int& status);
void yyzuncom(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
              int sourcelength, int& destinationlength, int& status);

// Writes the virtual raster page to output unit 2 as one PNG image: signature, IHDR, PLTE
// below 24 bits, one IDAT and IEND. A short write or a failed compression raises the
// printer record's OUTPUTERROR and ends the image there; so does a lack of memory for its
// buffers, reported as error 34 under "XXIMAG". Returns 0.
int yypng1();

// Whether the writer's two buffers for a page of width x height pixels at the depth can be
// had now (and their sizes fit its counts): the bitmap-file driver shrinks the page until
// they can.
bool yypngroom(int width, int height, int depth);
// The bytes of the writer's larger buffer for such a page, and whether its counts hold it:
// decided from the size alone, nothing allocated.
unsigned long long yypngbytes(int width, int height, int depth);
bool yypngholds(int width, int height, int depth);
