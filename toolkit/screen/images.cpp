// Image drawing on device contexts: BMP, PCX and PNG files decoded into a device-independent
// bitmap of their own depth (1-, 4- and 8-bit palette images keep their palettes) and
// transferred, turned through the world transform.
// Sections (grep "[SECTION]"): file reading | PCX | PNG | drawing | BMP
//
// Invariants: the bitmap block always holds the rows its header describes, whatever a file
// declares, so the transfer never reads past it; every way out closes the file; sizes are
// worked out in 64 bits and refused (error 2) before they could wrap a 32-bit count.
#include "toolkit/screen/images.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/os.h"
#include "toolkit/raster/file_info.h"
#include "toolkit/raster/image_load.h"
#include "toolkit/raster/png.h"
#include "toolkit/raster/printer_info.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"

using namespace win;

namespace {

struct Surface {
  HDC dc = nullptr;
  HRGN clip = nullptr;
  POINT origin{0, 0};
  int format = 0;
  SIZE extent{0, 0};
};
std::array<Surface, 2> others;   // devices 10 and 11

Surface surface(int device) {
  if (device == 0) return {gDC, gClipRgn, {0, 0}, 0, {0, 0}};
  if (device == 10) return others[0];
  if (device == 11) return others[1];
  return {};
}

// The clipboard's bitmap at (x1, y1), stretched into the box when asked.
void clipboardimage(HDC dc, int x1, int y1, int x2, int y2, int stretch, int& error) {
  if (!IsClipboardFormatAvailable(CF_BITMAP)) {
    error = 1095;
    return;
  }
  if (!OpenClipboard(nullptr)) {
    error = 1094;
    return;
  }
  auto* bitmap = reinterpret_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  HDC memory = CreateCompatibleDC(gDC);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BITMAPINFO info{};
  info.bmiHeader.biBitCount = 0;
  GetDIBits(memory, bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS);
  const int w = info.bmiHeader.biWidth, h = std::abs(info.bmiHeader.biHeight);
  const BOOL copied = stretch != 0 ? StretchBlt(dc, x1, y1, x2 - x1 + 1, y2 - y1 + 1, memory, 0, 0, w, h, SRCCOPY)
                                   : BitBlt(dc, x1, y1, w, h, memory, 0, 0, SRCCOPY);
  error = old != nullptr && copied ? 0 : 1066;
  SelectObject(memory, old);
  DeleteDC(memory);
  CloseClipboard();
}

// The world transform of a quarter turn about the translation (dx, dy).
void turnsurface(HDC dc, int rotation, int dx, int dy) {
  XFORM turn;
  turn.eM11 = rotation == 180 ? -1.0f : 0.0f;
  turn.eM22 = turn.eM11;
  turn.eM12 = rotation == 90 ? -1.0f : rotation == 270 ? 1.0f : 0.0f;
  turn.eM21 = -turn.eM12;
  turn.eDx = static_cast<float>(dx);
  turn.eDy = static_cast<float>(dy);
  SetGraphicsMode(dc, GM_ADVANCED);
  SetWorldTransform(dc, &turn);
}

// The whole file, or false with the system's code in status.
bool readwhole(std::string_view name, std::vector<BYTE>& bytes, int& status) {
  int handle = -1;
  yyopen(std::string(name).c_str(), 0, handle, status);
  if (status != 0) return false;
  int position = 0;
  yyseek(handle, position, 2, status);
  if (status == 0 && position >= 0) {
    bytes.assign(static_cast<std::size_t>(position), 0);
    int at = 0;
    yyseek(handle, at, 0, status);
    int got = 0;
    if (status == 0 && position > 0) yyreadc(handle, bytes.data(), position, got, status);
    if (status == 0 && got != position) status = ERROR_GEN_FAILURE;
  }
  yyclos(handle);
  return status == 0;
}

//------------------------------------------------------------------------------
// [SECTION] File reading
//------------------------------------------------------------------------------

// The system's code when yyreaddib cannot open its file.
int dibsyserror = 0;

// The largest bitmap block made: its sizes are 32-bit numbers in the header.
constexpr std::uint64_t kLargestBlock = 0x7FFFFFFF;

// A byte count of rows of width pixels at the bit count, padded to four bytes.
std::uint64_t dibrow(std::uint64_t width, unsigned bits) { return (width * bits + 31) / 32 * 4; }

// Reads count bytes into at; false when fewer arrive.
bool readbytes(ImageFile& f, std::uint8_t* at, std::size_t count) {
  while (count > 0) {
    if (f.pos == f.len) {
      int got = 0, status = 0;
      yyreadc(f.handle, f.buffer.data(), static_cast<int>(f.buffer.size()), got, status);
      if (status != 0 || got <= 0) return false;
      f.pos = 0;
      f.len = static_cast<std::size_t>(got);
    }
    const std::size_t n = std::min(count, f.len - f.pos);
    std::memcpy(at, f.buffer.data() + f.pos, n);
    f.pos += n;
    at += n;
    count -= n;
  }
  return true;
}

// Moves to the absolute position; false when the system refuses.
bool seekto(ImageFile& f, long long position) {
  if (position < 0 || position > 0x7FFFFFFF) return false;
  int at = static_cast<int>(position), status = 0;
  yyseek(f.handle, at, 0, status);
  f.pos = f.len = 0;
  return status == 0;
}

// The file's length, the reading position left at the start.
long long filelength(ImageFile& f) {
  int end = 0, status = 0;
  yyseek(f.handle, end, 2, status);
  if (status != 0 || !seekto(f, 0)) return -1;
  return end;
}

std::uint32_t le32(const std::uint8_t* b) {
  return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
         (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}
int le16(const std::uint8_t* b) { return b[0] | (b[1] << 8); }
std::uint32_t be32(const std::uint8_t* b) {
  return (static_cast<std::uint32_t>(b[0]) << 24) | (static_cast<std::uint32_t>(b[1]) << 16) |
         (static_cast<std::uint32_t>(b[2]) << 8) | b[3];
}

// A new block of header and table bytes plus image bytes, all zero; false (error 2) when the
// memory cannot be had or the sizes would pass the header's counts.
bool newblock(std::uint64_t head, std::uint64_t image) {
  if (head + image > kLargestBlock) return false;
  try {
    hImageDib.assign(static_cast<std::size_t>(head + image), 0);
  } catch (const std::bad_alloc&) {
    std::vector<std::uint8_t>().swap(hImageDib);
    return false;
  }
  return true;
}

void putheader(LONG width, LONG height, WORD bits, DWORD image, DWORD colours) {
  BITMAPINFOHEADER h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = bits;
  h.biSizeImage = image;
  h.biClrUsed = colours;
  std::memcpy(hImageDib.data(), &h, sizeof h);
}

void puttable(std::size_t entry, int red, int green, int blue) {
  std::uint8_t* t = hImageDib.data() + sizeof(BITMAPINFOHEADER) + 4 * entry;
  t[0] = static_cast<std::uint8_t>(blue);
  t[1] = static_cast<std::uint8_t>(green);
  t[2] = static_cast<std::uint8_t>(red);
  t[3] = 0;
}

//------------------------------------------------------------------------------
// [SECTION] PCX
//------------------------------------------------------------------------------

int readpcx(std::string_view name, int& syserror) {
  ImageFile f;
  int status = 0;
  yyopen(std::string(name).c_str(), 0, f.handle, status);
  if (status != 0) {
    syserror = status;
    return 1;
  }
  std::array<std::uint8_t, 128> head{};
  if (!readbytes(f, head.data(), head.size())) return 2;
  if (head[0] != 10 || head[2] != 1) return 27;
  const int bits = head[3], planes = head[65];
  const int depth = bits * planes;
  const long long width = static_cast<long long>(le16(&head[8])) - le16(&head[4]) + 1;
  const long long height = static_cast<long long>(le16(&head[10])) - le16(&head[6]) + 1;
  const long long bpl = le16(&head[66]);
  // Only the layouts with a decoding: one plane of 1 or 8 bits, four planes of one bit, three of 8.
  const bool layout = (bits == 1 && planes == 1) || (bits == 1 && planes == 4) || (bits == 8 && planes == 1) ||
                      (bits == 8 && planes == 3);
  if (!layout || width <= 0 || height <= 0 || bpl * 8 < width * bits) return 27;

  // The bitmap is the picture's own width: a 24-bit file of odd width is not drawn with its
  // line's fill byte as one more column.
  const unsigned dibbits = depth == 24 ? 24 : static_cast<unsigned>(depth);
  const std::size_t entries = depth == 24 ? 0 : static_cast<std::size_t>(1) << depth;
  const std::uint64_t row = dibrow(static_cast<std::uint64_t>(width), dibbits);
  const std::uint64_t image = row * static_cast<std::uint64_t>(height);
  if (!newblock(sizeof(BITMAPINFOHEADER) + 4 * entries, image)) return 2;
  putheader(static_cast<LONG>(width), static_cast<LONG>(height), static_cast<WORD>(dibbits), static_cast<DWORD>(image),
            depth == 24 ? 16777216u : static_cast<DWORD>(entries));
  if (depth == 1) {
    puttable(0, 0, 0, 0);
    puttable(1, 255, 255, 255);
  } else if (depth == 4) {
    for (std::size_t i = 0; i < 16; ++i) puttable(i, head[16 + 3 * i], head[17 + 3 * i], head[18 + 3 * i]);
  }
  wBitsOffset = static_cast<std::uint16_t>(sizeof(BITMAPINFOHEADER) + 4 * entries);

  std::vector<std::uint8_t> line(static_cast<std::size_t>(bpl * planes));
  std::uint8_t* bitsat = hImageDib.data() + wBitsOffset;
  for (long long y = 0; y < height; ++y) {
    for (int p = 0; p < planes; ++p) {
      std::uint8_t* plane = line.data() + static_cast<std::size_t>(p * bpl);
      for (long long k = 0; k < bpl;) {
        std::uint8_t value = 0;
        int count = 0;
        if (yyencget(value, count, f) != 0) return 2;
        // A run that passes the end of the plane's line is cut there.
        const long long n = std::min<long long>(count, bpl - k);
        std::fill_n(plane + k, n, value);
        k += n;
      }
    }
    std::uint8_t* out = bitsat + static_cast<std::size_t>(row) * static_cast<std::size_t>(height - 1 - y);
    const auto w = static_cast<std::size_t>(width);
    switch (depth) {
      case 1: std::copy_n(line.data(), (w + 7) / 8, out); break;
      case 8: std::copy_n(line.data(), w, out); break;
      case 24:
        // Planes red, green, blue become the bitmap's blue, green, red.
        for (std::size_t x = 0; x < w; ++x)
          for (int p = 0; p < 3; ++p) out[3 * x + static_cast<std::size_t>(2 - p)] = line[static_cast<std::size_t>(p * bpl) + x];
        break;
      default:
        // Four planes of one bit: plane k gives bit k of each pixel's colour index.
        for (std::size_t x = 0; x < w; ++x) {
          int v = 0;
          for (int p = 0; p < 4; ++p) v |= ((line[static_cast<std::size_t>(p * bpl) + x / 8] >> (7 - x % 8)) & 1) << p;
          out[x / 2] = static_cast<std::uint8_t>(out[x / 2] | (x % 2 == 0 ? v << 4 : v));
        }
        break;
    }
  }
  if (depth == 8) {
    // The 256 colours stand in the last 769 bytes: a marker byte, then red, green, blue.
    const long long length = filelength(f);
    std::array<std::uint8_t, 769> table{};
    if (length < 128 + 769 || !seekto(f, length - 769) || !readbytes(f, table.data(), table.size())) return 2;
    for (std::size_t i = 0; i < 256; ++i) puttable(i, table[1 + 3 * i], table[2 + 3 * i], table[3 + 3 * i]);
  }
  return 0;
}

//------------------------------------------------------------------------------
// [SECTION] PNG
//------------------------------------------------------------------------------

int readpng(std::string_view name, int& syserror) {
  ImageFile f;
  int status = 0;
  yyopen(std::string(name).c_str(), 0, f.handle, status);
  if (status != 0) {
    syserror = status;
    return 1;
  }
  std::array<std::uint8_t, 33> head{};
  if (!readbytes(f, head.data(), head.size())) return 2;
  const int bitdepth = head[24], colourtype = head[25];
  if ((colourtype != 2 && colourtype != 3 && colourtype != 6) || head[27] != 0 || head[28] != 0) return 27;
  const std::uint64_t width = be32(&head[16]), height = be32(&head[20]);
  const int depth = colourtype == 3 ? bitdepth : 24;
  if (colourtype == 3 && bitdepth != 1 && bitdepth != 2 && bitdepth != 4 && bitdepth != 8) return 27;
  if (colourtype != 3 && bitdepth != 8 && bitdepth != 16) return 27;
  if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return 27;

  const std::uint64_t bpp = depth == 24 ? static_cast<std::uint64_t>(colourtype == 2 ? 3 : 4) * bitdepth / 8 : 1;
  const std::uint64_t source = depth == 24 ? bpp * width : (width * static_cast<std::uint64_t>(depth) + 7) / 8;
  const std::uint64_t line = 1 + source;
  const std::uint64_t raw = line * height;
  // The compression library counts in int: a bigger image cannot be unpacked here.
  if (raw > 0x7FFFFFFF) return 2;
  const std::uint64_t bound = raw + raw / 1000 + 22;
  std::unique_ptr<std::uint8_t[]> packed(new (std::nothrow) std::uint8_t[bound]);
  if (packed == nullptr) return 2;
  std::uint64_t have = 0;
  std::array<std::uint8_t, 256 * 3> palette{};
  std::size_t colours = 0;
  for (;;) {
    std::array<std::uint8_t, 8> chunk{};
    if (!readbytes(f, chunk.data(), chunk.size())) return 2;
    const std::uint64_t length = be32(chunk.data());
    const std::string_view type(reinterpret_cast<const char*>(chunk.data() + 4), 4);
    if (type == "IEND") break;
    std::array<std::uint8_t, 4> crc{};
    if (type == "IDAT") {
      // Image data beyond what the picture can need is refused, not read on.
      if (length > bound - have) return 2;
      if (!readbytes(f, packed.get() + have, static_cast<std::size_t>(length))) return 2;
      have += length;
    } else if (type == "PLTE") {
      std::vector<std::uint8_t> data(std::min<std::uint64_t>(length, 1u << 20));
      if (length > data.size() || !readbytes(f, data.data(), data.size())) return 2;
      colours = std::min<std::size_t>(data.size() / 3, 256);
      std::copy_n(data.begin(), 3 * colours, palette.begin());
    } else {
      for (std::uint64_t left = length; left > 0;) {
        std::array<std::uint8_t, 4096> skip{};
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, skip.size()));
        if (!readbytes(f, skip.data(), n)) return 2;
        left -= n;
      }
    }
    if (!readbytes(f, crc.data(), crc.size())) return 2;
  }

  std::vector<std::uint8_t> pixels;
  try {
    pixels.assign(static_cast<std::size_t>(raw), 0);
  } catch (const std::bad_alloc&) {
    return 2;
  }
  int got = static_cast<int>(raw), zstatus = 0;
  yyzuncom(std::span<const std::uint8_t>(packed.get(), static_cast<std::size_t>(have)), pixels,
           static_cast<int>(have), got, zstatus);
  packed.reset();
  if (zstatus != 0) {
    syserror = zstatus;
    return 1044;
  }
  yypngfilter2(pixels, static_cast<int>(line), static_cast<int>(height), static_cast<int>(bpp));

  const unsigned dibbits = depth == 2 ? 4 : static_cast<unsigned>(depth);
  const std::size_t entries = depth == 24 ? 0 : static_cast<std::size_t>(1) << depth;
  const std::uint64_t row = dibrow(width, dibbits);
  const std::uint64_t image = row * height;
  if (!newblock(sizeof(BITMAPINFOHEADER) + 4 * entries, image)) return 2;
  putheader(static_cast<LONG>(width), static_cast<LONG>(height), static_cast<WORD>(dibbits), static_cast<DWORD>(image),
            depth == 24 ? 16777216u : static_cast<DWORD>(entries));
  for (std::size_t i = 0; i < entries && i < colours; ++i)
    puttable(i, palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]);
  wBitsOffset = static_cast<std::uint16_t>(sizeof(BITMAPINFOHEADER) + 4 * entries);

  std::uint8_t* bitsat = hImageDib.data() + wBitsOffset;
  const std::size_t step = bitdepth / 8 == 2 ? 2 : 1;
  for (std::uint64_t y = 0; y < height; ++y) {
    const std::uint8_t* in = pixels.data() + static_cast<std::size_t>(y * line) + 1;
    std::uint8_t* out = bitsat + static_cast<std::size_t>(row * (height - 1 - y));
    switch (depth) {
      case 1: case 4: case 8: std::copy_n(in, static_cast<std::size_t>(source), out); break;
      case 2:
        // Four 2-bit pixels a byte become two bytes of two 4-bit pixels each.
        for (std::uint64_t k = 0; k < source; ++k) {
          const std::uint8_t b = in[k];
          out[2 * k] = static_cast<std::uint8_t>(((b >> 6) & 3) << 4 | ((b >> 4) & 3));
          if (2 * k + 1 < (width + 1) / 2) out[2 * k + 1] = static_cast<std::uint8_t>(((b >> 2) & 3) << 4 | (b & 3));
        }
        break;
      default:
        // Red, green, blue from the first byte of each sample; alpha passed over.
        for (std::uint64_t x = 0; x < width; ++x) {
          const std::uint8_t* p = in + x * bpp;
          out[3 * x] = p[2 * step];
          out[3 * x + 1] = p[step];
          out[3 * x + 2] = p[0];
        }
        break;
    }
  }
  return 0;
}

//------------------------------------------------------------------------------
// [SECTION] Drawing
//------------------------------------------------------------------------------

// A file the platform's transfer cannot take as it stands (run-length or bit-field pixels,
// 16 bits), decoded by the toolkit's image loader into a 24-bit bitmap instead.
int loadedimage(std::string_view name, int& syserror) {
  std::array<int, 6> fileinfo{};
  igrfileinfo(name, fileinfo, 6);
  if (fileinfo[0] == -1) return 1;
  const long long w = fileinfo[1], h = fileinfo[2];
  if (w <= 0 || h <= 0) return 27;
  {
    // A file too short for the rows it claims is refused before the pixels are allocated.
    ErrorState& e = tessar.error;
    const int lasterror = e.LASTERROR, level = e.DEBUGLEVEL;
    e.DEBUGLEVEL = 0;
    const bool fits = yyimagefits(name);
    e.DEBUGLEVEL = level;
    e.LASTERROR = lasterror;
    if (!fits) return 2;
  }
  const std::uint64_t row = dibrow(static_cast<std::uint64_t>(w), 24);
  std::vector<int> pixels;
  try {
    pixels.assign(static_cast<std::size_t>(w * h), 0);
  } catch (const std::bad_alloc&) {
    return 2;
  }
  if (!newblock(sizeof(BITMAPINFOHEADER), row * static_cast<std::uint64_t>(h))) return 2;
  // The loader reports nothing here: the caller reports the error it is given.
  ErrorState& e = tessar.error;
  const int lasterror = e.LASTERROR, level = e.DEBUGLEVEL;
  e.LASTERROR = 0;
  e.DEBUGLEVEL = 0;
  IGrLoadImageData(name, pixels);
  e.DEBUGLEVEL = level;
  if (e.LASTERROR != 0) {
    syserror = e.ERRDETAIL;
    return e.LASTERROR;
  }
  e.LASTERROR = lasterror;
  putheader(static_cast<LONG>(w), static_cast<LONG>(h), 24, static_cast<DWORD>(row * static_cast<std::uint64_t>(h)), 0);
  wBitsOffset = sizeof(BITMAPINFOHEADER);
  std::uint8_t* rows = hImageDib.data() + wBitsOffset;
  for (long long r = 0; r < h; ++r) {
    // The loader gives the top row first; the bitmap keeps the bottom row first.
    std::uint8_t* out = rows + static_cast<std::size_t>(row) * static_cast<std::size_t>(h - 1 - r);
    for (long long c = 0; c < w; ++c) {
      const int rgb = pixels[static_cast<std::size_t>(r * w + c)];
      out[3 * c] = static_cast<std::uint8_t>(rgb >> 16);
      out[3 * c + 1] = static_cast<std::uint8_t>(rgb >> 8);
      out[3 * c + 2] = static_cast<std::uint8_t>(rgb);
    }
  }
  return 0;
}

// Whether the platform's transfer takes the bitmap in the block as it stands.
bool transferable() {
  BITMAPINFOHEADER h;
  std::memcpy(&h, hImageDib.data(), sizeof h);
  const unsigned b = h.biBitCount;
  return h.biCompression == BI_RGB && (b == 1 || b == 4 || b == 8 || b == 24 || b == 32);
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] BMP
//------------------------------------------------------------------------------

void yyimagesurface(int device, HDC dc, HRGN clip) {
  if (device == 10 || device == 11) {
    Surface& s = others[device == 10 ? 0 : 1];
    s.dc = dc;
    s.clip = clip;
  }
}

void yyimagesurfacepage(int device, int originx, int originy, int format, int extentx, int extenty) {
  if (device == 10 || device == 11) {
    Surface& s = others[device == 10 ? 0 : 1];
    s.origin = POINT{originx, originy};
    s.format = format;
    s.extent = SIZE{extentx, extenty};
  }
}

int yypalettesize(const BITMAPINFOHEADER& header) { return yywprpalsize(&header); }

int yyencget(std::uint8_t& value, int& count, ImageFile& file) {
  std::uint8_t b = 0;
  if (!readbytes(file, &b, 1)) return 2;
  count = 1;
  if ((b & 0xC0) == 0xC0) {
    count = b & 0x3F;
    if (!readbytes(file, &b, 1)) return 2;
  }
  value = b;
  return 0;
}

int yyencput(std::uint8_t value, int count, std::FILE* file) {
  if (count == 1 && (value & 0xC0) != 0xC0) return std::fputc(value, file) == EOF ? 2 : 0;
  return std::fputc(0xC0 + count, file) == EOF || std::fputc(value, file) == EOF ? 2 : 0;
}

int yyreaddib() {
  ImageFile f;
  int status = 0;
  yyopen(achFileName.c_str(), 0, f.handle, status);
  dibsyserror = status;
  if (status != 0) return 1;
  std::array<std::uint8_t, 14> filehead{};
  if (!readbytes(f, filehead.data(), filehead.size())) return 2;
  if (filehead[0] != 'B' || filehead[1] != 'M') return 27;
  std::array<std::uint8_t, 40> info{};
  if (!readbytes(f, info.data(), info.size())) return 27;
  BITMAPINFOHEADER h;
  std::memcpy(&h, info.data(), sizeof h);
  if (h.biSize < 40 || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return 27;
  const unsigned bits = h.biBitCount;
  std::size_t count = h.biClrUsed & 0xFFFFu;
  if (count == 0) count = bits <= 8 ? static_cast<std::size_t>(1) << bits : 0;
  if (count > 256) return 27;
  h.biClrUsed = static_cast<DWORD>(count);
  const std::uint64_t rows = static_cast<std::uint64_t>(h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight);
  const std::uint64_t needed = rows * dibrow(static_cast<std::uint64_t>(h.biWidth), bits);
  // Uncompressed rows are what the header's size says they are, whatever its image size
  // field claims; packed pixels keep theirs.
  std::uint64_t image = h.biSizeImage;
  if (h.biCompression == BI_RGB || image == 0) image = needed;
  h.biSizeImage = static_cast<DWORD>(std::min<std::uint64_t>(image, 0xFFFFFFFFu));
  // The block keeps the 40-byte header whatever size the file's header has.
  h.biSize = sizeof(BITMAPINFOHEADER);
  if (!newblock(sizeof(BITMAPINFOHEADER) + 4 * count, image)) return 2;
  std::memcpy(hImageDib.data(), &h, sizeof h);
  // The table follows the file's header, however long that header is.
  const std::uint32_t headsize = le32(info.data());
  if (!seekto(f, 14LL + headsize)) return 2;
  if (!readbytes(f, hImageDib.data() + sizeof h, 4 * count)) return 2;
  wBitsOffset = static_cast<std::uint16_t>(sizeof h + 4 * count);
  const std::uint32_t offset = le32(&filehead[10]);
  if (offset != 0 && !seekto(f, offset)) return 2;
  if (!readbytes(f, hImageDib.data() + wBitsOffset, static_cast<std::size_t>(image))) return 2;
  return 0;
}

int yyimagedib(int type, std::string_view name, int& syserror) {
  syserror = 0;
  const std::string file(name.substr(0, std::min(name.find('\0'), name.size())));
  int error = 27;
  if (type == 1) {
    achFileName = file;
    error = yyreaddib();
    if (error == 1) syserror = dibsyserror;
    if (error == 0 && !transferable()) error = loadedimage(file, syserror);
  } else if (type == 2) {
    error = readpcx(file, syserror);
  } else if (type == 15) {
    error = readpng(file, syserror);
  }
  if (error != 0) std::vector<std::uint8_t>().swap(hImageDib);
  return error;
}

void yyloadimage(int type, int device, int x1, int y1, int x2, int y2, int stretch, int rotation, int dx, int dy,
                 int& error, int& syserror, std::string_view name) {
  error = 0;
  syserror = 0;
  const Surface s = surface(device);
  if (s.dc == nullptr) return;
  if (type == 0) {
    clipboardimage(s.dc, x1, y1, x2, y2, stretch, error);
    return;
  }
  if (type != 1 && type != 2 && type != 15) return;
  struct Release {
    ~Release() { std::vector<std::uint8_t>().swap(hImageDib); }
  } release;
  error = yyimagedib(type, name, syserror);
  if (error != 0) return;

  BITMAPINFOHEADER header;
  std::memcpy(&header, hImageDib.data(), sizeof header);
  const int w = header.biWidth, h = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(hImageDib.data());
  const std::uint8_t* rows = hImageDib.data() + wBitsOffset;
  auto draw = [&] {
    if (stretch != 0) {
      StretchDIBits(s.dc, x1, y1, x2 - x1 + 1, y2 - y1 + 1, 0, 0, w, h, rows, info, DIB_RGB_COLORS, SRCCOPY);
      return;
    }
    if (s.clip != nullptr) SelectClipRgn(s.dc, s.clip);
    StretchDIBits(s.dc, x1, y1, w, h, 0, 0, w, h, rows, info, DIB_RGB_COLORS, SRCCOPY);
    SelectClipRgn(s.dc, nullptr);
  };
  if (rotation != 90 && rotation != 180 && rotation != 270) {
    draw();
    return;
  }
  turnsurface(s.dc, rotation, dx, dy);
  draw();
  ModifyWorldTransform(s.dc, nullptr, MWT_IDENTITY);
  SetGraphicsMode(s.dc, GM_COMPATIBLE);
}

void yywmfplaymetafile(int kind, int x1, int y1, int x2, int y2, int device, int rotation, int ox, int oy,
                       int& failed, std::string_view name) {
  failed = 0;
  const Surface s = surface(device);
  if (s.dc == nullptr) return;
  if (device == 0 && s.clip != nullptr) SelectClipRgn(s.dc, s.clip);
  const bool turned = rotation == 90 || rotation == 180 || rotation == 270;
  if (turned) turnsurface(s.dc, rotation, ox, oy);
  const RECT box{x1, y1, x2, y2};
  if (name.size() == 1) {
    // The clipboard's enhanced metafile.
    if (!IsClipboardFormatAvailable(CF_ENHMETAFILE)) {
      failed = 1095;
    } else if (!OpenClipboard(nullptr)) {
      failed = 1094;
    } else {
      HGLOBAL block = GetClipboardData(CF_ENHMETAFILE);
      const auto* bytes = static_cast<const BYTE*>(GlobalLock(block));
      HENHMETAFILE mf = bytes != nullptr ? SetEnhMetaFileBits(static_cast<UINT>(GlobalSize(block)), bytes) : nullptr;
      GlobalUnlock(block);
      CloseClipboard();
      if (mf == nullptr) {
        failed = 1095;
      } else {
        PlayEnhMetaFile(s.dc, mf, box);
        DeleteEnhMetaFile(mf);
      }
    }
  } else {
    std::vector<BYTE> bytes;
    int status = 0;
    if (!readwhole(name, bytes, status)) {
      failed = 1;
    } else {
      const std::size_t skip = kind == 1 ? std::min<std::size_t>(22, bytes.size()) : 0;
      const BYTE* data = bytes.data() + skip;
      const UINT size = static_cast<UINT>(bytes.size() - skip);
      if (kind == 2) {
        HENHMETAFILE mf = SetEnhMetaFileBits(size, data);
        if (mf == nullptr) {
          failed = 2;
        } else {
          PlayEnhMetaFile(s.dc, mf, box);
          DeleteEnhMetaFile(mf);
        }
      } else if (HMETAFILE mf = SetMetaFileBitsEx(size, data); mf == nullptr) {
        failed = 2;
      } else {
        const int level = SaveDC(s.dc);
        const int mode = SetMapMode(s.dc, MM_ANISOTROPIC);
        const int w = x2 - x1, h = y2 - y1;
        if (device == 11 && s.format != 2 && w != 0 && h != 0 && s.extent.cx > 0 && s.extent.cy > 0) {
          // On a Windows metafile the picture goes in through its window.
          SetWindowOrgEx(s.dc, -(x1 * s.extent.cx) / w, -(y1 * s.extent.cy) / h, nullptr);
          SIZE v{1, 1};
          GetViewportExtEx(s.dc, v);
          SetViewportExtEx(s.dc, static_cast<int>(static_cast<long long>(v.cx) * (w + 1) / s.extent.cx),
                           static_cast<int>(static_cast<long long>(v.cy) * (h + 1) / s.extent.cy), nullptr);
        } else {
          SetViewportOrgEx(s.dc, x1 - (device == 10 ? s.origin.x : 0), y1 - (device == 10 ? s.origin.y : 0), nullptr);
          SetViewportExtEx(s.dc, w + 1, h + 1, nullptr);
        }
        PlayMetaFile(s.dc, mf);
        DeleteMetaFile(mf);
        RestoreDC(s.dc, level);
        SetMapMode(s.dc, mode);
      }
    }
  }
  if (device == 0) SelectClipRgn(s.dc, nullptr);
  if (turned) {
    ModifyWorldTransform(s.dc, nullptr, MWT_IDENTITY);
    SetGraphicsMode(s.dc, GM_COMPATIBLE);
  }
}
