// platform/gdi_dib.cpp: bitmaps from the program's resources. A BITMAP resource is a
// device-independent bitmap (info header, colour table, rows aligned to 32 bits, bottom row
// first unless the height is negative); LoadBitmap turns it into a GDI bitmap. Every read is
// checked against the resource's size: a damaged resource loads as none.
#include <cstring>

#include "platform/gdi_internal.h"
#include "platform/resource.h"

namespace win {
using namespace gdi;

namespace {

unsigned rd16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t rd32(const unsigned char* p) { return rd16(p) | (static_cast<std::uint32_t>(rd16(p + 2)) << 16); }

}  // namespace

HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name) {
  HRSRC res = FindResource(instance, name, RT_BITMAP);
  if (!res) return nullptr;
  const auto* p = static_cast<const unsigned char*>(LockResource(LoadResource(instance, res)));
  const std::size_t size = SizeofResource(instance, res);
  if (!p || size < 12) return nullptr;
  const std::uint32_t headerSize = rd32(p);
  long width = 0, height = 0;
  unsigned bits = 0, compression = 0, paletteSize = 0, entryBytes = 4;
  if (headerSize == 12) {  // the old core header: 16-bit sizes, 3-byte colour entries
    width = static_cast<short>(rd16(p + 4));
    height = static_cast<short>(rd16(p + 6));
    bits = rd16(p + 10);
    entryBytes = 3;
  } else if (headerSize >= 40 && size >= headerSize) {
    width = static_cast<std::int32_t>(rd32(p + 4));
    height = static_cast<std::int32_t>(rd32(p + 8));
    bits = rd16(p + 14);
    compression = rd32(p + 16);
    paletteSize = rd32(p + 32);
  } else {
    return nullptr;
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767 || compression != 0) return nullptr;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return nullptr;
  if (bits <= 8 && paletteSize == 0) paletteSize = 1u << bits;
  if (bits > 8) paletteSize = 0;
  if (paletteSize > 256) return nullptr;
  const std::size_t paletteAt = headerSize;
  const std::size_t pixelsAt = paletteAt + static_cast<std::size_t>(paletteSize) * entryBytes;
  const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  if (pixelsAt > size || stride * static_cast<std::size_t>(height) > size - pixelsAt) return nullptr;
  std::uint32_t palette[256] = {};
  for (unsigned i = 0; i < paletteSize; ++i) {
    const unsigned char* e = p + paletteAt + static_cast<std::size_t>(i) * entryBytes;
    palette[i] = (static_cast<std::uint32_t>(e[2]) << 16) | (e[1] << 8) | e[0];
  }
  // A two-colour bitmap of black and white is a monochrome bitmap, as masks are.
  const bool mono = bits == 1 && paletteSize == 2 && palette[0] == 0 && palette[1] == 0xFFFFFF;
  HBITMAP h = CreateBitmap(static_cast<int>(width), static_cast<int>(height), 1, mono ? 1 : 32, nullptr);
  BitmapData* b = bitmap(h);
  if (!b) return nullptr;
  auto* px = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(b->surface));
  const int dstStride = cairo_image_surface_get_stride(b->surface) / 4;
  for (long y = 0; y < height; ++y) {
    const unsigned char* row = p + pixelsAt + stride * static_cast<std::size_t>(topDown ? y : height - 1 - y);
    for (long x = 0; x < width; ++x) {
      std::uint32_t v = 0;
      switch (bits) {
        case 1: v = palette[(row[x / 8] >> (7 - x % 8)) & 1]; break;
        case 4: v = palette[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF]; break;
        case 8: v = palette[row[x]]; break;
        case 24: v = (static_cast<std::uint32_t>(row[3 * x + 2]) << 16) | (row[3 * x + 1] << 8) | row[3 * x]; break;
        default: v = (static_cast<std::uint32_t>(row[4 * x + 2]) << 16) | (row[4 * x + 1] << 8) | row[4 * x]; break;
      }
      px[y * dstStride + x] = v & 0xFFFFFF;
    }
  }
  cairo_surface_mark_dirty(b->surface);
  return h;
}

}  // namespace win
