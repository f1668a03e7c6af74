// The PNG writer: the virtual raster page as one PNG image, top row first, filter None.
#include <algorithm>
#include <array>
#include <limits>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "toolkit/graphics/colour.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/os/opsys.h"
#include "toolkit/raster/png.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"

namespace {

std::uint8_t reversebits(std::uint8_t b) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i) r = static_cast<std::uint8_t>(r | (((b >> i) & 1) << (7 - i)));
  return r;
}

// Bit x of plane p of page row y.
int planebit(const RasterState& rs, const std::vector<std::uint32_t>& page, int p, int x, int y) {
  const std::size_t w = static_cast<std::size_t>(x / 32 + y * rs.RASROWWORDS + p * rs.RASPLANEWORDS);
  return static_cast<int>((page[w] >> (x % 32)) & 1u);
}

// One line of the image: the filter byte 0, then the row's bytes.
void buildline(const RasterState& rs, const std::vector<std::uint32_t>& page, int y,
               std::uint8_t* out) {
  *out++ = 0;
  const int w = rs.RASWIDTH;
  const std::uint32_t* row = page.data() + static_cast<std::size_t>(y * rs.RASROWWORDS);
  switch (rs.RASDEPTH) {
    case 1:
      for (int k = 0; k < (w + 7) / 8; ++k)
        out[k] = reversebits(static_cast<std::uint8_t>(row[k / 4] >> (8 * (k % 4))));
      break;
    case 4:
      for (int x = 0; x < w; x += 2) {
        std::uint8_t b = 0;
        for (int half = 0; half < 2; ++half) {
          // Bits 0 and 2 change places: the page keeps its 16 colours in that order.
          const int v = 4 * planebit(rs, page, 0, x + half, y) + 2 * planebit(rs, page, 1, x + half, y) +
                        planebit(rs, page, 2, x + half, y) + 8 * planebit(rs, page, 3, x + half, y);
          b = static_cast<std::uint8_t>(b | (v << (half == 0 ? 4 : 0)));
        }
        out[x / 2] = b;
      }
      break;
    case 8:
      for (int x = 0; x < w; ++x) out[x] = static_cast<std::uint8_t>(row[x / 4] >> (8 * (x % 4)));
      break;
    default:
      for (int x = 0; x < w; ++x) {
        out[3 * x] = static_cast<std::uint8_t>(row[x]);
        out[3 * x + 1] = static_cast<std::uint8_t>(row[x] >> 8);
        out[3 * x + 2] = static_cast<std::uint8_t>(row[x] >> 16);
      }
      break;
  }
}

// Type, data and CRC of a chunk whose data stand at chunk[4..]; the CRC goes behind them.
void seal(std::vector<std::uint8_t>& chunk, std::size_t datalength) {
  const std::uint32_t crc = yypngcrc2(chunk, static_cast<int>(datalength + 4));
  yypngwrd(crc, std::span(chunk).subspan(datalength + 4, 4));
}

// Bytes of one image row without its filter byte.
std::size_t rowbytesof(int width, int depth) {
  const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
  return depth == 1 ? (w + 7) / 8 : depth == 4 ? (w + 1) / 2 : depth == 8 ? w : 3 * w;
}

// The uncompressed image and the compression buffer (with its chunk type and CRC).
std::pair<std::size_t, std::size_t> buffersizes(int width, int height, int depth) {
  const std::size_t u = (rowbytesof(width, depth) + 1) * static_cast<std::size_t>(std::max(height, 0));
  return {u, u + u / 1000 + 22};
}

}  // namespace

unsigned long long yypngbytes(int width, int height, int depth) {
  return buffersizes(width, height, depth).second;
}

bool yypngholds(int width, int height, int depth) {
  return yypngbytes(width, height, depth) <= static_cast<std::size_t>(std::numeric_limits<int>::max());
}

bool yypngroom(int width, int height, int depth) {
  const auto [u, out] = buffersizes(width, height, depth);
  if (!yypngholds(width, height, depth)) return false;
  const std::unique_ptr<std::uint8_t[]> a(new (std::nothrow) std::uint8_t[u + 1]);
  // With room for the compressor's own state (some 300 KB) and the small chunk buffers.
  const std::unique_ptr<std::uint8_t[]> b(a ? new (std::nothrow) std::uint8_t[out + (1u << 20)] : nullptr);
  return a != nullptr && b != nullptr;
}

int yypng1() {
  const RasterState& rs = tessar.raster.state;
  RasterPrinter& rp = tessar.hardcopy.printer;
  const int depth = rs.RASDEPTH;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24) return 0;
  int handle = -1;
  yyprfh(2, handle);
  auto write = [&](const std::uint8_t* bytes, std::size_t count) {
    int written = 0;
    IFileWriteChar(handle, bytes, static_cast<int>(count), written);
    if (written == static_cast<int>(count)) return true;
    rp.OUTPUTERROR = 1;
    return false;
  };

  std::vector<std::uint8_t> genbuf(std::max<std::size_t>(33, 12 + 3 * 256));
  const std::array<std::uint8_t, 8> signature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::copy(signature.begin(), signature.end(), genbuf.begin());
  {
    std::vector<std::uint8_t> ihdr(4 + 13 + 4);
    std::copy_n("IHDR", 4, ihdr.begin());
    yypngwrd(static_cast<std::uint32_t>(rs.RASWIDTH), std::span(ihdr).subspan(4, 4));
    yypngwrd(static_cast<std::uint32_t>(rs.RASHEIGHT), std::span(ihdr).subspan(8, 4));
    ihdr[12] = static_cast<std::uint8_t>(depth == 24 ? 8 : depth);
    ihdr[13] = depth == 24 ? 2 : 3;
    seal(ihdr, 13);
    yypngwrd(13, std::span(genbuf).subspan(8, 4));
    std::copy(ihdr.begin(), ihdr.end(), genbuf.begin() + 12);
  }
  if (!write(genbuf.data(), 33)) return 0;

  if (depth < 24) {
    const int n = 1 << depth;
    std::vector<std::uint8_t> plte(static_cast<std::size_t>(12 + 3 * n));
    yypngwrd(static_cast<std::uint32_t>(3 * n), plte);
    std::copy_n("PLTE", 4, plte.begin() + 4);
    for (int i = 0; i < n; ++i) {
      int colour = 0;
      if (depth == 1) colour = i == 0 ? 0xFFFFFF : 0;
      else if (depth == 4) yypalg16(i, colour);
      else yypalg(i, colour);
      int r = 0, g = 0, b = 0;
      wrgbsplit(colour, &r, &g, &b);
      plte[static_cast<std::size_t>(8 + 3 * i)] = static_cast<std::uint8_t>(r);
      plte[static_cast<std::size_t>(9 + 3 * i)] = static_cast<std::uint8_t>(g);
      plte[static_cast<std::size_t>(10 + 3 * i)] = static_cast<std::uint8_t>(b);
    }
    std::vector<std::uint8_t> chunk(plte.begin() + 4, plte.end());
    seal(chunk, static_cast<std::size_t>(3 * n));
    std::copy(chunk.begin(), chunk.end(), plte.begin() + 4);
    if (!write(plte.data(), plte.size())) return 0;
  }

  const std::size_t rowbytes = rowbytesof(rs.RASWIDTH, depth);
  const auto [u, outsize] = buffersizes(rs.RASWIDTH, rs.RASHEIGHT, depth);
  std::vector<std::uint8_t> pngout;
  int c = 0;
  try {
    if (outsize > static_cast<std::size_t>(std::numeric_limits<int>::max())) throw std::bad_alloc();
    pngout.resize(outsize);
    c = static_cast<int>(pngout.size() - 8);
    std::vector<std::uint8_t> pngin(u);
    for (int y = rs.RASYMAX, line = 0; y >= 0; --y, ++line)
      buildline(rs, tessar.raster.IRBUFF, y, pngin.data() + static_cast<std::size_t>(line) * (rowbytes + 1));
    WCompress(pngin, std::span(pngout).subspan(4, pngout.size() - 8), static_cast<int>(u), c);
  } catch (const std::bad_alloc&) {
    // The image stops at its header, reported, rather than the program.
    rp.OUTPUTERROR = 1;
    yyerror(34, "XXIMAG");
    return 0;
  }
  if (c == 0) {
    rp.OUTPUTERROR = 1;
    return 0;
  }
  std::array<std::uint8_t, 4> length{};
  yypngwrd(static_cast<std::uint32_t>(c), length);
  if (!write(length.data(), 4)) return 0;
  std::copy_n("IDAT", 4, pngout.begin());
  seal(pngout, static_cast<std::size_t>(c));
  if (!write(pngout.data(), static_cast<std::size_t>(c) + 8)) return 0;

  const std::array<std::uint8_t, 12> iend = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  write(iend.data(), iend.size());
  return 0;
}
