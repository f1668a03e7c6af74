// The BMP writer: the virtual raster page as one bottom-up Windows bitmap file image.
#include <algorithm>
#include <array>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "toolkit/graphics/colour.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/hardcopy/output_helpers.h"
#include "toolkit/os/opsys.h"
#include "toolkit/raster/bitmap_writers.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint8_t reversebits(std::uint8_t b) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i) r = static_cast<std::uint8_t>(r | (((b >> i) & 1) << (7 - i)));
  return r;
}

void put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t get32(const std::uint8_t* b) {
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

// The page word at index, 0 beyond the page.
std::uint32_t word(std::size_t index) {
  const auto& page = tessar.raster.IRBUFF;
  return index < page.size() ? page[index] : 0;
}

// The pixel bytes of page row y as the file stores them, padded with zeros to bytes.
void buildrow(const RasterState& rs, int y, Bytes& row) {
  std::fill(row.begin(), row.end(), 0);
  const std::size_t base = static_cast<std::size_t>(y) * static_cast<std::size_t>(rs.RASROWWORDS);
  const int w = rs.RASWIDTH;
  switch (rs.RASDEPTH) {
    case 1:
      for (int j = 0; j < (w + 7) / 8; ++j)
        row[static_cast<std::size_t>(j)] =
            reversebits(static_cast<std::uint8_t>(word(base + static_cast<std::size_t>(j / 4)) >> (8 * (j % 4))));
      break;
    case 4: {
      const std::size_t stride = static_cast<std::size_t>(rs.RASPLANEWORDS);
      for (int x = 0; x < (w + 7) / 8 * 8; ++x) {
        const std::size_t at = base + static_cast<std::size_t>(x / 32);
        auto bit = [&](std::size_t p) { return static_cast<int>((word(at + p * stride) >> (x % 32)) & 1u); };
        // Bits 0 and 2 change places: the page keeps its 16 colours in that order.
        const int v = 4 * bit(0) + 2 * bit(1) + bit(2) + 8 * bit(3);
        row[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 == 0 ? v << 4 : v);
      }
      break;
    }
    case 8:
      for (int x = 0; x < w; ++x)
        row[static_cast<std::size_t>(x)] =
            static_cast<std::uint8_t>(word(base + static_cast<std::size_t>(x / 4)) >> (8 * (x % 4)));
      break;
    default:
      for (int x = 0; x < w; ++x) {
        const std::uint32_t v = word(base + static_cast<std::size_t>(x));
        const std::size_t at = 3 * static_cast<std::size_t>(x);
        row[at] = static_cast<std::uint8_t>(v >> 16);
        row[at + 1] = static_cast<std::uint8_t>(v >> 8);
        row[at + 2] = static_cast<std::uint8_t>(v);
      }
      break;
  }
}

// One run-length row: groups of four bytes, runs growing by whole groups, then end of line.
void encoderow(const Bytes& row, std::size_t rowbytes, int depth, Bytes& out) {
  const int perGroup = depth == 8 ? 4 : 8;
  const int limit = depth == 8 ? 251 : 247;
  std::size_t lastrun = std::string::npos;   // where the count of the row's last item is
  for (std::size_t g = 0; g < rowbytes; g += 4) {
    std::array<std::uint8_t, 4> b{};
    for (std::size_t i = 0; i < 4 && g + i < rowbytes; ++i) b[i] = row[g + i];
    if (b[0] == b[1] && b[1] == b[2] && b[2] == b[3]) {
      if (lastrun != std::string::npos && out[lastrun + 1] == b[0] && out[lastrun] < limit) {
        out[lastrun] = static_cast<std::uint8_t>(out[lastrun] + perGroup);
      } else {
        lastrun = out.size();
        out.push_back(static_cast<std::uint8_t>(perGroup));
        out.push_back(b[0]);
      }
    } else {
      lastrun = std::string::npos;
      out.insert(out.end(), {0, static_cast<std::uint8_t>(perGroup), b[0], b[1], b[2], b[3]});
    }
  }
  out.insert(out.end(), {0, 0});
}

}  // namespace

namespace {

int writebmp() {
  const RasterState& rs = tessar.raster.state;
  const RasterPrinter& rp = tessar.hardcopy.printer;
  const int depth = rs.RASDEPTH;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24) return 0;
  const bool rle = tessar.hardcopy.HCOPTIONS[25] == 2 && (depth == 4 || depth == 8);
  int handle = -1;
  yyprfh(2, handle);

  const std::size_t height = static_cast<std::size_t>(std::max(rs.RASHEIGHT, 0));
  const std::size_t width = static_cast<std::size_t>(std::max(rs.RASWIDTH, 0));
  const std::size_t rowbytes = depth == 4 ? (width + 7) / 8 * 4 : (width * static_cast<std::size_t>(depth) + 7) / 8;
  const std::size_t padded = (width * static_cast<std::size_t>(depth) + 31) / 32 * 4;
  const std::size_t palettebytes = depth == 24 ? 0 : 4u << depth;

  // Run-length rows are encoded before the header is written, so that the header of each
  // image holds its own sizes even when several pages share the file.
  Bytes row(std::max(rowbytes, padded) + 4);
  Bytes data;
  if (rle) {
    data.reserve(height * (rowbytes / 4 * 6 + 2) + 2);
    for (std::size_t y = 0; y < height; ++y) {
      buildrow(rs, static_cast<int>(y), row);
      encoderow(row, rowbytes, depth, data);
    }
    data.insert(data.end(), {0, 1});
  }
  const std::uint64_t imagebytes = rle ? data.size() : padded * height;
  const std::uint64_t offset = 54 + palettebytes;

  Bytes header(54, 0);
  header[0] = 'B';
  header[1] = 'M';
  put32(header, 2, static_cast<std::uint32_t>(offset + imagebytes));
  put32(header, 10, static_cast<std::uint32_t>(offset));
  put32(header, 14, 40);
  put32(header, 18, static_cast<std::uint32_t>(width));
  put32(header, 22, static_cast<std::uint32_t>(height));
  header[26] = 1;
  header[28] = static_cast<std::uint8_t>(depth);
  header[30] = rle ? static_cast<std::uint8_t>(8 / depth) : 0;
  if (rle) put32(header, 34, static_cast<std::uint32_t>(imagebytes));
  yyprbu(handle, header, 54, 0);
  if (rp.OUTPUTERROR != 0) return 0;

  if (palettebytes > 0) {
    Bytes palette(palettebytes, 0);
    for (std::size_t i = 0; i < palettebytes / 4; ++i) {
      int colour = 0;
      if (depth == 1) colour = i == 0 ? 0xFFFFFF : 0;
      else if (depth == 4) yypalg16(static_cast<int>(i), colour);
      else yypalg(static_cast<int>(i), colour);
      int r = 0, g = 0, b = 0;
      wrgbsplit(colour, &r, &g, &b);
      palette[4 * i] = static_cast<std::uint8_t>(b);
      palette[4 * i + 1] = static_cast<std::uint8_t>(g);
      palette[4 * i + 2] = static_cast<std::uint8_t>(r);
    }
    yyprbu(handle, palette, static_cast<int>(palettebytes), 0);
    if (rp.OUTPUTERROR != 0) return 0;
  }

  if (rle) {
    yyprbu(handle, data, static_cast<int>(data.size()), 0);
    return 0;
  }
  for (std::size_t y = 0; y < height; ++y) {
    buildrow(rs, static_cast<int>(y), row);
    yyprbu(handle, row, static_cast<int>(padded), 0);
    if (rp.OUTPUTERROR != 0) return 0;
  }
  return 0;
}

}  // namespace

int yybmp1() {
  try {
    return writebmp();
  } catch (const std::bad_alloc&) {
    // No room for a row or the encoded rows: the image fails, reported, not the program.
    tessar.hardcopy.printer.OUTPUTERROR = 1;
    yyerror(34, "XXIMAG");
    return 0;
  }
}

int yybmp2(std::string_view name, int length) {
  const std::string file(name.substr(0, static_cast<std::size_t>(std::clamp<int>(length, 0, static_cast<int>(name.size())))));
  int handle = -1;
  IFileOpen(file, 2, handle);
  if (handle == -1) return 0;
  int end = 0;
  IFileSeek(handle, end, 2);
  // Walk the images by their sizes; the first whose sizes do not fit the file is patched to
  // reach the end of the file.
  int at = 0;
  while (end >= 0 && at + 54 <= end) {
    std::array<std::uint8_t, 54> h{};
    int position = at, got = 0;
    IFileSeek(handle, position, 0);
    IFileReadChar(handle, h.data(), 54, got);
    if (got != 54 || h[0] != 'B' || h[1] != 'M') break;
    const std::uint32_t size = get32(&h[2]);
    const std::uint32_t offset = get32(&h[10]);
    const bool compressed = get32(&h[30]) != 0;
    const bool fits = size >= 54 && offset <= size &&
                      static_cast<std::uint64_t>(at) + size <= static_cast<std::uint64_t>(end);
    if (fits && (!compressed || get32(&h[34]) == size - offset)) {
      if (static_cast<std::uint64_t>(at) + size == static_cast<std::uint64_t>(end)) break;
      at += static_cast<int>(size);
      continue;
    }
    const std::uint32_t whole = static_cast<std::uint32_t>(end - at);
    const std::array<std::pair<int, std::uint32_t>, 2> patches = {
        std::pair{at + 2, whole}, std::pair{at + 34, whole > offset ? whole - offset : 0}};
    for (const auto& [where, value] : patches) {
      int p = where, written = 0;
      IFileSeek(handle, p, 0);
      const std::array<std::uint8_t, 4> v = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
      IFileWriteChar(handle, v.data(), 4, written);
      if (written != 4) yyerror(2, "YYBMP2");
    }
    break;
  }
  ifileclose(handle);
  return 0;
}
