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

// Whether the file holds fewer than count bytes.
bool shorterthan(const std::string& name, int count) {
  int handle = -1, status = 0, end = 0;
  yyopen(name.c_str(), 0, handle, status);
  if (status != 0) return false;
  yyseek(handle, end, 2, status);
  yyclos(handle);
  return status == 0 && end < count;
}

// The decoded image as a bitmap of its own depth: palette images keep their indices and
// palette (2-bit indices become 4-bit nibbles of the same values), others become 24 bits.
int putimage(const DecodedImage& im) {
  const unsigned bits = im.bits <= 8 ? static_cast<unsigned>(im.bits) : 24;
  const unsigned dibbits = bits == 2 ? 4 : bits;
  const std::size_t entries = bits == 24 ? 0 : static_cast<std::size_t>(1) << bits;
  const auto w = static_cast<std::uint64_t>(im.width), h = static_cast<std::uint64_t>(im.height);
  const std::uint64_t row = dibrow(w, dibbits);
  if (!newblock(sizeof(BITMAPINFOHEADER) + 4 * entries, row * h)) return 2;
  putheader(static_cast<LONG>(w), static_cast<LONG>(h), static_cast<WORD>(dibbits), static_cast<DWORD>(row * h),
            bits == 24 ? 16777216u : static_cast<DWORD>(entries));
  for (std::size_t i = 0; i < entries; ++i) {
    const int c = im.palette[i];
    puttable(i, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  }
  wBitsOffset = static_cast<std::uint16_t>(sizeof(BITMAPINFOHEADER) + 4 * entries);
  std::uint8_t* rows = hImageDib.data() + wBitsOffset;
  for (std::uint64_t y = 0; y < h; ++y) {
    // The image's top row is the bitmap's last.
    const int* in = im.values.data() + y * w;
    std::uint8_t* out = rows + row * (h - 1 - y);
    for (std::uint64_t x = 0; x < w; ++x) {
      const int v = in[x];
      switch (dibbits) {
        case 1: out[x / 8] = static_cast<std::uint8_t>(out[x / 8] | (v & 1) << (7 - x % 8)); break;
        case 4: out[x / 2] = static_cast<std::uint8_t>(out[x / 2] | (v & 15) << (x % 2 == 0 ? 4 : 0)); break;
        case 8: out[x] = static_cast<std::uint8_t>(v); break;
        default:
          out[3 * x] = static_cast<std::uint8_t>(v >> 16);
          out[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
          out[3 * x + 2] = static_cast<std::uint8_t>(v);
          break;
      }
    }
  }
  return 0;
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
  int syserror = 0;
  return yyimagedib(1, achFileName, syserror);
}

int yyimagedib(int type, std::string_view name, int& syserror) {
  syserror = 0;
  std::vector<std::uint8_t>().swap(hImageDib);
  if (type != 1 && type != 2 && type != 15) return 27;
  const std::string file(name.substr(0, std::min(name.find('\0'), name.size())));
  DecodedImage image;
  int error = yydecodeimage(file, image, syserror);
  // The kind asked for must be the kind the file holds; a file shorter than that kind's
  // header is a short read.
  if (error == 0 && image.type != type) error = 27;
  if (error == 27 && image.type == 0) {
    std::array<int, 1> kind{};
    igrfileinfo(file, kind, 1);
    if (kind[0] == 0 && shorterthan(file, type == 1 ? 14 : type == 2 ? 128 : 33)) error = 2;
  }
  if (error == 0) error = putimage(image);
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
