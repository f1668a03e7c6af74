// The PCX writer: the virtual raster page as one run-length-encoded PCX image, top row first.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/graphics/colour.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/hardcopy/output_helpers.h"
#include "toolkit/raster/bitmap_writers.h"
#include "toolkit/state/tessar.h"

namespace {

std::uint8_t reversebits(std::uint8_t b) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i) r = static_cast<std::uint8_t>(r | (((b >> i) & 1) << (7 - i)));
  return r;
}

int bytesperline(const RasterState& rs) {
  const int w = std::max(rs.RASWIDTH, 0);
  const int n = rs.RASDEPTH == 1 || rs.RASDEPTH == 4 ? (w + 7) / 8 : w;
  return n + n % 2;
}

void put16(std::uint8_t* at, int v) {
  at[0] = static_cast<std::uint8_t>(v);
  at[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

int yypcx2(int handle, std::span<std::uint8_t> buffer, int rowoffset, int plane, int lastbyte) {
  const RasterState& rs = tessar.raster.state;
  const auto& page = tessar.raster.IRBUFF;
  const int depth = rs.RASDEPTH;
  auto word = [&](long long index) -> std::uint32_t {
    return index >= 0 && index < static_cast<long long>(page.size()) ? page[static_cast<std::size_t>(index)] : 0;
  };
  auto linebyte = [&](int k) -> std::uint8_t {
    switch (depth) {
      case 1:
      case 4: {
        const long long at = static_cast<long long>(rowoffset) + static_cast<long long>(plane) * rs.RASPLANEWORDS + k / 4;
        const auto b = reversebits(static_cast<std::uint8_t>(word(at) >> (8 * (k % 4))));
        // A one-bit PCX has no palette of its own and readers show a set bit as white, so
        // the page's ink goes out as clear bits.
        return depth == 1 ? static_cast<std::uint8_t>(~b) : b;
      }
      case 8:
        return static_cast<std::uint8_t>(word(static_cast<long long>(rowoffset) + k / 4) >> (8 * (k % 4)));
      default:
        // The fill byte of an odd line is blank rather than a pixel of another row.
        if (k >= rs.RASWIDTH) return 0;
        return static_cast<std::uint8_t>(word(static_cast<long long>(rowoffset) + k) >> (8 * plane));
    }
  };

  std::size_t n = 0;
  auto flush = [&](int count, std::uint8_t value) {
    if (n + 2 > buffer.size()) return;
    if (count == 1 && value < 0xC0) {
      buffer[n++] = value;
    } else {
      buffer[n++] = static_cast<std::uint8_t>(0xC0 + count);
      buffer[n++] = value;
    }
  };
  int count = 0;
  std::uint8_t previous = 0;
  for (int k = 0; k <= lastbyte; ++k) {
    const std::uint8_t b = linebyte(k);
    if (count > 0 && b == previous) {
      if (count < 63) {
        ++count;
        continue;
      }
      flush(count, previous);
      count = 1;
      continue;
    }
    if (count > 0) flush(count, previous);
    previous = b;
    count = 1;
  }
  if (count > 0) flush(count, previous);
  yyprbu(handle, buffer, static_cast<int>(n), 0);
  return 0;
}

int yypcx1() {
  const RasterState& rs = tessar.raster.state;
  const RasterPrinter& rp = tessar.hardcopy.printer;
  const int depth = rs.RASDEPTH;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24) return 0;
  int handle = -1;
  yyprfh(2, handle);
  const int bpl = bytesperline(rs);
  std::vector<std::uint8_t> genbuf(static_cast<std::size_t>(std::max(769, 2 * bpl + 2)), 0);

  std::uint8_t* h = genbuf.data();
  h[0] = 10;
  h[1] = depth == 1 ? 3 : 5;
  h[2] = 1;
  h[3] = depth == 1 || depth == 4 ? 1 : 8;
  put16(h + 8, rs.RASWIDTH - 1);
  put16(h + 10, rs.RASHEIGHT - 1);
  put16(h + 12, 75);
  put16(h + 14, 75);
  if (depth == 4) {
    for (int i = 0; i < 16; ++i) {
      int colour = 0, r = 0, g = 0, b = 0;
      yypalg16(i, colour);
      wrgbsplit(colour, &r, &g, &b);
      h[16 + 3 * i] = static_cast<std::uint8_t>(r);
      h[17 + 3 * i] = static_cast<std::uint8_t>(g);
      h[18 + 3 * i] = static_cast<std::uint8_t>(b);
    }
  }
  h[65] = depth == 24 ? 3 : depth == 4 ? 4 : 1;
  put16(h + 66, bpl);
  put16(h + 70, bpl);
  put16(h + 72, rs.RASHEIGHT);
  yyprbu(handle, genbuf, 128, 0);
  if (rp.OUTPUTERROR != 0) return 0;

  static constexpr std::array<int, 4> fourbit = {2, 1, 0, 3};
  static constexpr std::array<int, 3> rgb = {0, 1, 2};
  static constexpr std::array<int, 1> single = {0};
  const std::span<const int> planes = depth == 4    ? std::span<const int>(fourbit)
                                      : depth == 24 ? std::span<const int>(rgb)
                                                    : std::span<const int>(single);
  for (int y = rs.RASHEIGHT - 1; y >= 0; --y) {
    for (int p : planes) yypcx2(handle, genbuf, y * rs.RASROWWORDS, p, bpl - 1);
    if (rp.OUTPUTERROR != 0) return 0;
  }

  if (depth == 8) {
    genbuf[0] = 12;
    for (int i = 0; i < 256; ++i) {
      int colour = 0, r = 0, g = 0, b = 0;
      yypalg(i, colour);
      wrgbsplit(colour, &r, &g, &b);
      genbuf[static_cast<std::size_t>(1 + 3 * i)] = static_cast<std::uint8_t>(r);
      genbuf[static_cast<std::size_t>(2 + 3 * i)] = static_cast<std::uint8_t>(g);
      genbuf[static_cast<std::size_t>(3 + 3 * i)] = static_cast<std::uint8_t>(b);
    }
    yyprbu(handle, genbuf, 769, 0);
  }
  return 0;
}
