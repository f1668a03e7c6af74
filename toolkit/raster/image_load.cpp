// Image file loading: BMP, PCX and PNG decoders over the binary-file routines.
// Sections (grep "[SECTION]"): common | BMP | PCX | PNG | entry
//
// Invariants: no decoder reads or writes outside its buffers or the caller's array, whose
// first width x height entries are the only ones written; every way out closes the file.
#include "toolkit/raster/image_load.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "platform/os.h"
#include "toolkit/os/opsys.h"
#include "toolkit/raster/file_info.h"
#include "toolkit/raster/file_reader.h"
#include "toolkit/raster/png.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"

#include <zlib.h>

//------------------------------------------------------------------------------
// [SECTION] Common
namespace {

constexpr std::string_view kRoutine = "IGrLoadImageData";

// The most pixels any route takes: their colour values, 4 bytes each, and a bitmap of them
// stay within 32-bit byte counts.
constexpr long long kLargestImage = 0x7FFFFFFF / 4;

// Palette entries 0-255; a file overwrites the entries it gives and the others keep older
// values from one call to the next.
std::array<int, 256> palette{};

int rgb(int red, int green, int blue) { return red + 256 * green + 65536 * blue; }

// Reads exactly count bytes into buffer; false on a short read.
bool readexact(int handle, std::uint8_t* buffer, int count) {
  if (count <= 0) return true;
  int got = 0;
  IFileReadChar(handle, buffer, count, got);
  return got == count;
}

bool seekto(int handle, long long position) {
  if (position < 0 || position > 0x7FFFFFFF) return false;
  int p = static_cast<int>(position);
  IFileSeek(handle, p, 0);
  return p == position;
}

int le2(const std::uint8_t* b) { return b[0] | (b[1] << 8); }
int le4(const std::uint8_t* b) {
  return static_cast<int>(std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) |
                          (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24));
}

enum class Outcome { Done, Quiet, Refused, Failed };

struct Image {
  int w = 0, h = 0;
  std::span<int> pixels;   // the caller's first w x h entries
  bool indices = false;    // palette images give their indices, not colours
  bool topdown = false;    // a BMP whose first row in the file is the top one
  int colour(int index) const { return indices ? index : palette[static_cast<std::size_t>(index)]; }
};

//------------------------------------------------------------------------------
// [SECTION] BMP
// The headers are read through the sizes they declare: the palette follows the
// information header, the pixels start at the data offset, and bit-field masks decode 16-
// and 32-bit pixels. The image is decoded into a copy and handed over only when whole.

// A bit-field mask as shift and width, and a component scaled to 0-255 as the 5-5-5 and
// 5-6-5 layouts scale theirs: the mask's top bits become the component's top bits.
struct Field {
  std::uint32_t mask = 0;
  int shift = 0, bits = 0;
};

Field field(std::uint32_t mask) {
  Field f;
  f.mask = mask;
  if (mask == 0) return f;
  while (((mask >> f.shift) & 1u) == 0) ++f.shift;
  while (f.shift + f.bits < 32 && ((mask >> (f.shift + f.bits)) & 1u) != 0) ++f.bits;
  return f;
}

int component(std::uint32_t pixel, const Field& f) {
  if (f.bits == 0) return 0;
  const std::uint32_t v = (pixel & f.mask) >> f.shift;
  return f.bits <= 8 ? static_cast<int>(v << (8 - f.bits)) & 0xFF
                     : static_cast<int>(v >> (f.bits - 8)) & 0xFF;
}

Outcome runlength(int handle, int bits, Image& im, std::vector<int>& out) {
  FileReader reader;
  reader.handle = handle;
  const long long w = im.w, h = im.h;
  long long r = h - 1, x = 0, q = r * w;
  auto place = [&](int index) {
    ++q;
    if (x < w && r >= 0 && r < h && q >= 1 && q <= w * h)
      out[static_cast<std::size_t>(q - 1)] = im.colour(index & 0xFF);
    ++x;
  };
  auto next = [&](std::uint8_t& b) { return yyreadbyte(reader, b) == 1; };
  for (;;) {
    std::uint8_t c1 = 0, c2 = 0;
    if (!next(c1) || !next(c2)) return Outcome::Failed;
    if (c1 > 0) {
      for (int i = 0; i < c1; ++i)
        place(bits == 8 ? c2 : (i % 2 == 0 ? c2 >> 4 : c2 & 15));
      continue;
    }
    if (c2 == 0) {
      x = 0;
      --r;
      q = r * w;
    } else if (c2 == 1) {
      return Outcome::Done;
    } else if (c2 == 2) {
      std::uint8_t dx = 0, dy = 0;
      if (!next(dx) || !next(dy)) return Outcome::Failed;
      const long long column = ((q % w) + w) % w;
      q = (r - dy) * w + column + dx;
      x += dx;
      r -= dy;
    } else {
      int count = bits == 8 ? c2 : (c2 + 1) / 2;
      const int total = count + count % 2;
      std::array<std::uint8_t, 256> run{};
      for (int i = 0; i < total; ++i)
        if (!next(run[static_cast<std::size_t>(i)])) return Outcome::Failed;
      for (int i = 0; i < c2; ++i) {
        const std::uint8_t b = run[static_cast<std::size_t>(bits == 8 ? i : i / 2)];
        place(bits == 8 ? b : (i % 2 == 0 ? b >> 4 : b & 15));
      }
    }
  }
}

Outcome loadbmp(int handle, Image& im, int compressed) {
  std::array<std::uint8_t, 66> head{};
  if (!readexact(handle, head.data(), 54)) return Outcome::Refused;
  const long long dataoffset = static_cast<std::uint32_t>(le4(&head[10]));
  const long long infosize = static_cast<std::uint32_t>(le4(&head[14]));
  const int bits = le2(&head[28]);
  const int compression = le4(&head[30]);
  if (infosize < 40 || dataoffset < 14 + infosize) return Outcome::Refused;

  if (bits <= 8) {
    const long long length = std::min<long long>(dataoffset - 14 - infosize, 1024);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    if (!seekto(handle, 14 + infosize) || !readexact(handle, bytes.data(), static_cast<int>(length)))
      return Outcome::Refused;
    for (long long i = 0; i + 3 < length; i += 4)
      palette[static_cast<std::size_t>(i / 4)] =
          rgb(bytes[static_cast<std::size_t>(i + 2)], bytes[static_cast<std::size_t>(i + 1)],
              bytes[static_cast<std::size_t>(i)]);
  }
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return Outcome::Quiet;
  if (im.h <= 0) return Outcome::Quiet;

  Field red = field(bits == 16 ? 0x7C00u : 0xFF0000u);
  Field green = field(bits == 16 ? 0x03E0u : 0x00FF00u);
  Field blue = field(bits == 16 ? 0x001Fu : 0x0000FFu);
  if (compression == 3 && (bits == 16 || bits == 32)) {
    if (dataoffset >= 66 && seekto(handle, 54) && readexact(handle, &head[54], 12)) {
      red = field(static_cast<std::uint32_t>(le4(&head[54])));
      green = field(static_cast<std::uint32_t>(le4(&head[58])));
      blue = field(static_cast<std::uint32_t>(le4(&head[62])));
    } else {
      red = field(0xF800u);   // the usual 5-6-5 layout when no masks are given
      green = field(0x07E0u);
      blue = field(0x001Fu);
      if (bits == 32) { red = field(0xFF0000u); green = field(0xFF00u); blue = field(0xFFu); }
    }
  }

  if (!seekto(handle, dataoffset)) return Outcome::Failed;
  if (compressed == 1 && (bits == 8 || bits == 4)) {
    if (im.topdown) return Outcome::Refused;
    // Runs may skip pixels, which keep what the array held: decoded into a copy, handed
    // over when whole.
    std::vector<int> out(im.pixels.begin(), im.pixels.end());
    const Outcome o = runlength(handle, bits, im, out);
    if (o == Outcome::Done) std::copy(out.begin(), out.end(), im.pixels.begin());
    return o;
  }

  const long long rowbytes = ((static_cast<long long>(im.w) * bits + 31) / 32) * 4;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(rowbytes));
  for (int k = 0; k < im.h; ++k) {
    const int r = im.topdown ? k : im.h - 1 - k;
    // The file's length was checked before the array was made: a short row now means the
    // file changed under us; the image is refused as truncated.
    if (!readexact(handle, row.data(), static_cast<int>(rowbytes))) return Outcome::Failed;
    int* dest = im.pixels.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(im.w);
    for (int c = 0; c < im.w; ++c) {
      const std::size_t k = static_cast<std::size_t>(c);
      switch (bits) {
        case 1: dest[c] = im.colour((row[k / 8] >> (7 - c % 8)) & 1); break;
        case 4: dest[c] = im.colour(c % 2 == 0 ? row[k / 2] >> 4 : row[k / 2] & 15); break;
        case 8: dest[c] = im.colour(row[k]); break;
        case 16: {
          const std::uint32_t p = row[2 * k] | (std::uint32_t{row[2 * k + 1]} << 8);
          dest[c] = rgb(component(p, red), component(p, green), component(p, blue));
          break;
        }
        case 24: dest[c] = rgb(row[3 * k + 2], row[3 * k + 1], row[3 * k]); break;
        default: {
          const std::uint32_t p = static_cast<std::uint32_t>(le4(&row[4 * k]));
          dest[c] = rgb(component(p, red), component(p, green), component(p, blue));
          break;
        }
      }
    }
  }
  return Outcome::Done;
}

//------------------------------------------------------------------------------
// [SECTION] PCX
// Each plane row takes exactly bytes-per-line decoded bytes, pad bytes included, so a run
// that covers the pad byte keeps the rows in step. A run may carry from one plane row into
// the next, but what is left of it at the end of an image row is dropped.

struct PcxStream {
  FileReader reader;
  int runcount = 0;
  std::uint8_t runbyte = 0;
};

// The next decoded byte; false when the file ends.
bool pcxbyte(PcxStream& s, std::uint8_t& out) {
  while (s.runcount == 0) {
    std::uint8_t b = 0;
    if (yyreadbyte(s.reader, b) != 1) return false;
    if ((b & 0xC0) == 0xC0) {
      if (yyreadbyte(s.reader, s.runbyte) != 1) return false;
      s.runcount = b & 0x3F;
    } else {
      s.runbyte = b;
      s.runcount = 1;
    }
  }
  --s.runcount;
  out = s.runbyte;
  return true;
}

Outcome loadpcx(int handle, Image& im) {
  std::array<std::uint8_t, 128> head{};
  if (!readexact(handle, head.data(), 128)) return Outcome::Quiet;
  const int bits = head[3], planes = head[65];
  const int perline = le2(&head[66]);
  const int depth = bits * planes;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24) return Outcome::Quiet;

  PcxStream s;
  s.reader.handle = handle;
  const std::size_t w = static_cast<std::size_t>(im.w);
  if (depth == 1 || depth == 4) {
    std::fill(im.pixels.begin(), im.pixels.end(), 0);
    if (depth == 4)
      for (int i = 0; i < 16; ++i) palette[static_cast<std::size_t>(i)] = rgb(head[16 + 3 * i], head[17 + 3 * i], head[18 + 3 * i]);
    const int lastplane = depth == 1 ? 0 : 3;
    for (int r = 0; r < im.h; ++r) {
      int* dest = im.pixels.data() + static_cast<std::size_t>(r) * w;
      for (int p = 0; p <= lastplane; ++p) {
        for (int k = 0; k < perline; ++k) {
          std::uint8_t b = 0;
          if (!pcxbyte(s, b)) return Outcome::Failed;
          for (int bit = 0; bit < 8; ++bit) {
            const std::size_t c = static_cast<std::size_t>(8 * k + bit);
            if (c >= w || ((b >> (7 - bit)) & 1u) == 0) continue;
            dest[c] = depth == 1 ? (im.indices ? 1 : 0xFFFFFF) : dest[c] + (1 << p);
          }
        }
      }
      s.runcount = 0;
    }
    if (depth == 4 && !im.indices)
      for (int& v : im.pixels) v = palette[static_cast<std::size_t>(v & 15)];
    return Outcome::Done;
  }

  if (depth == 8) {
    int size = 0;
    IFileSeek(handle, size, 2);
    std::array<std::uint8_t, 769> tail{};
    if (size < 128 + 769 || !seekto(handle, size - 769) ||
        !readexact(handle, tail.data(), 769) || tail[0] != 12)
      return Outcome::Failed;
    for (int i = 0; i < 256; ++i)
      palette[static_cast<std::size_t>(i)] = rgb(tail[1 + 3 * i], tail[2 + 3 * i], tail[3 + 3 * i]);
    if (!seekto(handle, 128)) return Outcome::Failed;
  }
  const int lastplane = depth == 8 ? 0 : 2;
  for (int r = 0; r < im.h; ++r) {
    int* dest = im.pixels.data() + static_cast<std::size_t>(r) * w;
    for (int p = 0; p <= lastplane; ++p) {
      for (int k = 0; k < perline; ++k) {
        std::uint8_t b = 0;
        if (!pcxbyte(s, b)) return Outcome::Failed;
        if (static_cast<std::size_t>(k) >= w) continue;
        if (depth == 8) dest[k] = im.colour(b);
        else if (p == 0) dest[k] = b;
        else dest[k] += b << (8 * p);
      }
    }
    s.runcount = 0;
  }
  return Outcome::Done;
}

//------------------------------------------------------------------------------
// [SECTION] PNG

struct PngLayout {
  long long stride = 0;
  int bytesperpixel = 1;
  int bits = 8;        // bits per palette index, or 8 per sample byte
  int samplebytes = 1; // s: 2 for 16-bit samples
  bool truecolour = false;
};

bool pnglayout(int colours, int colourtype, int depth, int w, PngLayout& L) {
  const long long lw = w;
  if (colourtype == 3) {
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8) return false;
    if (colours != (1 << depth)) return false;
    L.bits = depth;
    L.stride = (lw * depth + 7) / 8 + 1;
    L.bytesperpixel = 1;
    return true;
  }
  if (depth != 8 && depth != 16) return false;
  L.truecolour = true;
  L.samplebytes = depth / 8;
  L.bytesperpixel = (colourtype == 2 ? 3 : 4) * L.samplebytes;
  L.stride = lw * L.bytesperpixel + 1;
  return true;
}

// Undoes the filter of one row (its filter byte first) against the row above, already
// unfiltered; above is null for the first row.
void unfilterrow(std::uint8_t* line, const std::uint8_t* above, std::size_t n, std::size_t bpp) {
  const int type = line[0];
  for (std::size_t i = 1; i < n; ++i) {
    const int a = i > bpp ? line[i - bpp] : 0;
    const int b = above != nullptr ? above[i] : 0;
    const int c = (above != nullptr && i > bpp) ? above[i - bpp] : 0;
    int predictor = 0;
    switch (type) {
      case 1: predictor = a; break;
      case 2: predictor = b; break;
      case 3: predictor = (a + b) / 2; break;
      case 4: {
        const int p = a + b - c;
        const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        predictor = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
        break;
      }
      default: break;
    }
    line[i] = static_cast<std::uint8_t>(line[i] + predictor);
  }
}

// The image data are collected as the file holds them and inflated a row at a time, each
// row unfiltered and converted as it comes: memory follows the file and one row, never
// what the header claims. Data that end before the last row are a truncated image.
Outcome loadpng(int handle, Image& im, int colours) {
  std::array<std::uint8_t, 33> head{};
  if (!readexact(handle, head.data(), 33)) return Outcome::Failed;
  const int depth = head[24], colourtype = head[25];
  if (colourtype != 2 && colourtype != 3 && colourtype != 6) return Outcome::Refused;
  if (head[27] != 0 || head[28] != 0) return Outcome::Refused;
  PngLayout L;
  if (!pnglayout(colours, colourtype, depth, im.w, L)) return Outcome::Refused;
  // The header's height is unsigned: one of 2^31 or more reads as negative here.
  if (im.h <= 0 || L.stride <= 0 || L.stride > 0x7FFFFFFFLL) return Outcome::Refused;

  // Image data beyond what the rows can need, at the least packing deflate has, are refused.
  const long long raw = L.stride * im.h;
  const long long bound = raw + raw / 1000 + 22;
  std::vector<std::uint8_t> packed;
  bool ended = false;
  while (!ended) {
    std::array<std::uint8_t, 8> chunk{};
    if (!readexact(handle, chunk.data(), 8)) return Outcome::Failed;
    const int length = yypngc2i(chunk);
    if (length < 0) return Outcome::Failed;
    const std::span<const std::uint8_t> type = std::span(chunk).subspan(4);
    if (yypngcmp(type, "IDAT") == 1) {
      // Read in pieces, so a length the file does not hold takes no more than the file.
      if (static_cast<long long>(packed.size()) + length > bound) return Outcome::Failed;
      for (int left = length; left > 0;) {
        const int piece = std::min(left, 1 << 20);
        const std::size_t at = packed.size();
        packed.resize(at + static_cast<std::size_t>(piece));
        if (!readexact(handle, packed.data() + at, piece)) return Outcome::Failed;
        left -= piece;
      }
      std::array<std::uint8_t, 4> crc{};
      if (!readexact(handle, crc.data(), 4)) return Outcome::Failed;
    } else if (yypngcmp(type, "PLTE") == 1) {
      // A longer palette gives its first 256 entries; the rest of the chunk is passed over.
      const int kept = std::min(length, 768);
      std::vector<std::uint8_t> data(static_cast<std::size_t>(kept));
      if (!readexact(handle, data.data(), kept)) return Outcome::Failed;
      if (length == kept) {
        std::array<std::uint8_t, 4> crc{};
        if (!readexact(handle, crc.data(), 4)) return Outcome::Failed;
      } else {
        int skip = 0;
        IFileSeek(handle, skip, 1);
        const long long target = static_cast<long long>(skip) + (length - kept) + 4;
        if (skip < 0 || !seekto(handle, target)) return Outcome::Failed;
      }
      const int entries = kept / 3;
      for (int i = 0; i < entries; ++i)
        palette[static_cast<std::size_t>(i)] = rgb(data[static_cast<std::size_t>(3 * i)],
                                                   data[static_cast<std::size_t>(3 * i + 1)],
                                                   data[static_cast<std::size_t>(3 * i + 2)]);
    } else if (yypngcmp(type, "IEND") == 1) {
      ended = true;
    } else {
      int skip = 0;
      IFileSeek(handle, skip, 1);
      const long long target = static_cast<long long>(skip) + length + 4;
      if (skip < 0 || !seekto(handle, target)) return Outcome::Failed;
    }
  }

  z_stream z{};
  if (inflateInit(&z) != Z_OK) return Outcome::Failed;
  z.next_in = packed.data();
  z.avail_in = static_cast<uInt>(std::min<std::size_t>(packed.size(), 0xFFFFFFFFu));
  const std::size_t n = static_cast<std::size_t>(L.stride);
  std::vector<std::uint8_t> rows(2 * n);
  bool whole = true;
  for (int r = 0; r < im.h && whole; ++r) {
    std::uint8_t* line = rows.data() + static_cast<std::size_t>(r % 2) * n;
    const std::uint8_t* above = r > 0 ? rows.data() + static_cast<std::size_t>((r + 1) % 2) * n : nullptr;
    z.next_out = line;
    z.avail_out = static_cast<uInt>(n);
    while (z.avail_out > 0) {
      // Z_BUF_ERROR: the data ran out before the row was full.
      const int status = inflate(&z, Z_NO_FLUSH);
      if (status == Z_STREAM_END) {
        whole = z.avail_out == 0;
        break;
      }
      if (status != Z_OK) {
        whole = false;
        break;
      }
    }
    if (!whole) break;
    unfilterrow(line, above, n, static_cast<std::size_t>(L.bytesperpixel));
    int* dest = im.pixels.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(im.w);
    const std::uint8_t* data = line + 1;
    for (int c = 0; c < im.w; ++c) {
      if (!L.truecolour) {
        const int perbyte = 8 / L.bits;
        const std::uint8_t b = data[c / perbyte];
        const int shift = 8 - L.bits * (c % perbyte + 1);
        dest[c] = im.colour((b >> shift) & ((1 << L.bits) - 1));
      } else {
        const std::uint8_t* px = data + static_cast<std::size_t>(c) * static_cast<std::size_t>(L.bytesperpixel);
        const int s = L.samplebytes;
        dest[c] = rgb(px[0], px[s], px[2 * s]);
      }
    }
  }
  inflateEnd(&z);
  // Rows already converted stay, but the image is refused: the caller draws nothing.
  return whole ? Outcome::Done : Outcome::Failed;
}

}  // namespace

void yypngfilter2(std::span<std::uint8_t> buffer, int stride, int rows, int bytesperpixel) {
  if (stride < 1 || rows < 1 || bytesperpixel < 1) return;
  const std::size_t n = static_cast<std::size_t>(stride);
  for (std::size_t r = 0; r < static_cast<std::size_t>(rows) && (r + 1) * n <= buffer.size(); ++r) {
    std::uint8_t* line = buffer.data() + r * n;
    unfilterrow(line, r > 0 ? line - n : nullptr, n, static_cast<std::size_t>(bytesperpixel));
  }
}

void yypngfilter(int stride, int rows, int bytesperpixel, std::span<std::uint8_t> buffer) {
  yypngfilter2(buffer, stride, rows, bytesperpixel);
}

//------------------------------------------------------------------------------
// [SECTION] Entry

namespace {

// The one judgement every image route makes before anything is allocated for the pixels:
// 0, or 2 when the file is too short for the rows its header claims, or the picture has more
// pixels than a route can hold (their colour values and a bitmap of them must stay within
// 32-bit byte counts). Files the decoders refuse for other reasons pass here.
int judge(std::string_view name, const std::array<int, 6>& info) {
  const int type = info[0];
  // Only a BMP has a negative height of its own, for rows stored top row first.
  const long long w = info[1], h = type == 1 ? std::llabs(static_cast<long long>(info[2])) : info[2];
  if ((type != 1 && type != 2 && type != 15) || w <= 0 || h <= 0) return 0;
  if (w * h > kLargestImage) return 2;
  int handle = -1;
  IFileOpen(name, 0, handle);
  if (handle < 0) return 0;
  int size = 0;
  IFileSeek(handle, size, 2);
  std::array<std::uint8_t, 128> head{};
  const bool read = seekto(handle, 0) && readexact(handle, head.data(), type == 2 ? 128 : type == 1 ? 54 : 33);
  ifileclose(handle);
  if (!read) return 0;   // the decoder reports what it makes of a short header
  // The fewest file bytes that can hold the data of the rows the header claims, in double:
  // the claimed sizes multiply past any integer.
  const double dw = static_cast<double>(w), dh = static_cast<double>(h);
  double need = 0;
  if (type == 1) {
    const double bits = le2(&head[28]);
    if (info[4] == 1 && (bits == 4 || bits == 8)) return 0;   // runs may skip pixels
    need = 54 + std::floor((dw * bits + 31) / 32) * 4 * dh;
  } else if (type == 2) {
    // Each decoded byte of a row costs at least 2 file bytes per run of 63.
    const double perline = std::max(le2(&head[66]), 1);
    const double planes = std::max<int>(head[65], 1);
    need = 128 + std::floor((perline * planes * dh + 62) / 63) * 2;
  } else {
    // Deflate packs at most 1032 bytes into one, and every row has its filter byte.
    PngLayout L;
    const double stride = pnglayout(info[3], head[25], head[24], info[1], L) ? static_cast<double>(L.stride) : dw / 8 + 1;
    need = 45 + std::floor(stride * dh / 1032);
  }
  return need <= size ? 0 : 2;
}

// The one decoder behind every route: the judgement, then the file's own decoding into the
// image's array. 0 or the error number (2 short or too large, 27 not usable).
int decode(std::string_view name, const std::array<int, 6>& info, Image& im) {
  if (const int refused = judge(name, info); refused != 0) return refused;
  int handle = -1;
  IFileOpen(name, 0, handle);
  if (handle < 0) return 1;
  Outcome o = Outcome::Quiet;
  switch (info[0]) {
    case 1: o = loadbmp(handle, im, info[4]); break;
    case 2: o = loadpcx(handle, im); break;
    default: o = loadpng(handle, im, info[3]); break;
  }
  ifileclose(handle);
  return o == Outcome::Refused ? 27 : o == Outcome::Failed ? 2 : 0;
}

}  // namespace

bool yyimagefits(std::string_view name) {
  std::array<int, 6> info{};
  igrfileinfo(name, info, 6);
  if (judge(name, info) == 0) return true;
  yyerror(2, kRoutine);
  return false;
}

int yydecodeimage(std::string_view name, DecodedImage& image, int& syserror) {
  image = DecodedImage{};
  syserror = 0;
  ErrorState& e = tessar.error;
  const int lasterror = e.LASTERROR, level = e.DEBUGLEVEL;
  e.DEBUGLEVEL = 0;
  e.LASTERROR = 0;
  struct Restore {
    ErrorState& e;
    int level;
    ~Restore() { e.DEBUGLEVEL = level; }
  } restore{e, level};
  {
    // A file that cannot be opened is told apart from one that is no image.
    int handle = -1, status = 0;
    win::yyopen(std::string(name).c_str(), 0, handle, status);
    if (status != 0) {
      syserror = status;
      e.LASTERROR = lasterror;
      return 1;
    }
    win::yyclos(handle);
  }
  std::array<int, 6> info{};
  igrfileinfo(name, info, 6);
  const int type = info[0];
  int error = 27;
  if ((type == 1 || type == 2 || type == 15) && info[1] > 0 && info[2] != 0 && info[2] != INT32_MIN) {
    Image im;
    im.w = info[1];
    im.h = std::abs(info[2]);
    im.topdown = type == 1 && info[2] < 0;
    im.indices = true;
    error = judge(name, info);
    if (error == 0) {
      try {
        image.values.assign(static_cast<std::size_t>(im.w) * static_cast<std::size_t>(im.h), 0);
        im.pixels = image.values;
        error = decode(name, info, im);
      } catch (const std::bad_alloc&) {
        error = 2;
      }
    }
    if (error == 0) {
      image.type = type;
      image.width = im.w;
      image.height = im.h;
      image.bits = info[5] >= 1 && info[5] <= 8 ? info[5] : 24;
      image.palette = palette;
      // A one-bit PCX file has no palette: its clear bits are black, its set bits white.
      if (type == 2 && image.bits == 1) {
        image.palette[0] = 0;
        image.palette[1] = 0xFFFFFF;
      }
    }
  }
  if (error != 0) image = DecodedImage{};
  e.LASTERROR = lasterror;
  return error;
}

void IGrLoadImageData(std::string_view name, std::span<int> pixels) {
  std::array<int, 6> info{};
  igrfileinfo(name, info, 6);
  const int type = info[0];
  if (type != 1 && type != 2 && type != 15) {
    yyerror(27, kRoutine);
    return;
  }
  Image im;
  im.w = info[1];
  im.h = info[2];
  // A top-down BMP reports a negative height and is left alone by its decoder.
  const long long count = static_cast<long long>(im.w) * std::max(im.h, 0);
  if (im.w <= 0 || count > static_cast<long long>(pixels.size())) {
    yyerror(27, kRoutine);
    return;
  }
  im.pixels = pixels.first(static_cast<std::size_t>(count));
  const int error = decode(name, info, im);
  if (error == 2 || error == 27) yyerror(error, kRoutine);
}
