// platform/gdi_dib.cpp: bitmaps from the program's resources. A BITMAP resource is a
// device-independent bitmap (info header, colour table, rows aligned to 32 bits, bottom row
// first unless the height is negative); LoadBitmap turns it into a GDI bitmap. Every read is
// checked against the resource's size: a damaged resource loads as none.
#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <cstring>
#include <vector>

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

//------------------------------------------------------------------------------
// Stretching and device-independent bitmaps
//------------------------------------------------------------------------------
namespace win {
using namespace gdi;

namespace {

// A readable DIB: header fields and its colour table; pixel() gives row y counted from the top.
struct DibView {
  long width = 0, height = 0;
  bool topDown = false;
  unsigned bits = 0;
  std::size_t stride = 0;
  const unsigned char* pixels = nullptr;
  std::uint32_t palette[256] = {};

  std::uint32_t pixel(long x, long yTop) const {
    const unsigned char* row = pixels + stride * static_cast<std::size_t>(topDown ? yTop : height - 1 - yTop);
    switch (bits) {
      case 1: return palette[(row[x / 8] >> (7 - x % 8)) & 1];
      case 4: return palette[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF];
      case 8: return palette[row[x]];
      case 24: return (static_cast<std::uint32_t>(row[3 * x + 2]) << 16) | (row[3 * x + 1] << 8) | row[3 * x];
      default: return (static_cast<std::uint32_t>(row[4 * x + 2]) << 16) | (row[4 * x + 1] << 8) | row[4 * x];
    }
  }
};

bool viewOf(const BITMAPINFO* info, const void* bits, UINT usage, DibView& v) {
  if (!info || !bits || usage != DIB_RGB_COLORS) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < 40 || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0) return false;
  v.bits = h.biBitCount;
  if (v.bits != 1 && v.bits != 4 && v.bits != 8 && v.bits != 24 && v.bits != 32) return false;
  v.width = h.biWidth;
  v.topDown = h.biHeight < 0;
  v.height = v.topDown ? -static_cast<long>(h.biHeight) : h.biHeight;
  v.stride = ((static_cast<std::size_t>(v.width) * v.bits + 31) / 32) * 4;
  v.pixels = static_cast<const unsigned char*>(bits);
  if (v.bits <= 8) {
    unsigned n = h.biClrUsed ? h.biClrUsed : 1u << v.bits;
    if (n > 256) return false;
    const auto* table = reinterpret_cast<const unsigned char*>(info) + h.biSize;
    for (unsigned i = 0; i < n; ++i)
      v.palette[i] = (static_cast<std::uint32_t>(table[4 * i + 2]) << 16) | (table[4 * i + 1] << 8) | table[4 * i];
  }
  return true;
}

RECT destRect(const DcData& d, int x, int y, int w, int h) {
  const POINT a = toDevice(d, x, y), b = toDevice(d, x + w, y + h);
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

// Offset k of n destination pixels onto m source pixels; mirrored when flip.
long nearest(long k, long n, long m, bool flip) {
  long s = static_cast<long>((2 * k + 1) * m / (2 * n));
  return flip ? m - 1 - s : s;
}

bool identity(const XFORM& x) {
  return x.eM11 == 1 && x.eM12 == 0 && x.eM21 == 0 && x.eM22 == 1 && x.eDx == 0 && x.eDy == 0;
}

// A picture record (type 81, pixels from the top row) moved from world to page space by a
// transform that keeps the axes upright or exchanges them: the destination becomes the page
// rectangle, the pixels are exchanged across the diagonal when the axes are, and mirrored
// where the page rectangle runs backwards. False for any other transform.
bool onPage(const XFORM& m, MetaRecord& r) {
  const bool upright = m.eM12 == 0 && m.eM21 == 0, across = m.eM11 == 0 && m.eM22 == 0;
  if (!upright && !across) return false;
  auto page = [&m](double x, double y) {
    return POINT{static_cast<LONG>(std::lround(x * m.eM11 + y * m.eM21 + m.eDx)),
                 static_cast<LONG>(std::lround(x * m.eM12 + y * m.eM22 + m.eDy))};
  };
  const LONG x = r.args[0], y = r.args[1], w = r.args[2], h = r.args[3];
  const POINT a = page(x, y), b = page(static_cast<double>(x) + w, y), c = page(x, static_cast<double>(y) + h);
  long sw = r.args[4], sh = r.args[5];
  std::vector<std::uint32_t> px = std::move(r.data);
  // The page extents along the picture's own rows (picture x) and columns (picture y).
  LONG pw = upright ? b.x - a.x : c.x - a.x, ph = upright ? c.y - a.y : b.y - a.y;
  if (across) {
    std::vector<std::uint32_t> t(px.size());
    for (long i = 0; i < sh; ++i)
      for (long j = 0; j < sw; ++j) t[static_cast<std::size_t>(j * sh + i)] = px[static_cast<std::size_t>(i * sw + j)];
    px = std::move(t);
    std::swap(sw, sh);
  }
  LONG left = a.x, topEdge = a.y;
  if (pw < 0) {
    for (long i = 0; i < sh; ++i) std::reverse(px.begin() + i * sw, px.begin() + (i + 1) * sw);
    left += pw;
    pw = -pw;
  }
  if (ph < 0) {
    for (long i = 0; i < sh / 2; ++i)
      std::swap_ranges(px.begin() + i * sw, px.begin() + (i + 1) * sw, px.begin() + (sh - 1 - i) * sw);
    topEdge += ph;
    ph = -ph;
  }
  if (pw == 0 || ph == 0) return false;
  r.args = {left, topEdge, pw, ph, static_cast<LONG>(sw), static_cast<LONG>(sh), r.args[6]};
  r.data = std::move(px);
  return true;
}

}  // namespace

namespace gdi {

bool turned(const DcData& d) { return d.st.graphicsMode == GM_ADVANCED && !identity(d.st.world); }

bool transferTurned(DcData& d, Target& t, int x, int y, int w, int h, DWORD rop,
                    const std::function<std::uint32_t(double u, double v)>& source) {
  const XFORM& m = d.st.world;
  const double det = static_cast<double>(m.eM11) * m.eM22 - static_cast<double>(m.eM12) * m.eM21;
  if (det == 0 || w == 0 || h == 0) return false;
  // Page corners of the world rectangle, then their device bounds.
  long left = LONG_MAX, top = LONG_MAX, right = LONG_MIN, bottom = LONG_MIN;
  for (const auto& [cx, cy] : {std::pair{x, y}, {x + w, y}, {x, y + h}, {x + w, y + h}}) {
    const double px = cx * m.eM11 + cy * m.eM21 + m.eDx, py = cx * m.eM12 + cy * m.eM22 + m.eDy;
    const POINT p = toDevice(d, static_cast<int>(std::lround(px)), static_cast<int>(std::lround(py)));
    left = std::min<long>(left, p.x);
    top = std::min<long>(top, p.y);
    right = std::max<long>(right, p.x);
    bottom = std::max<long>(bottom, p.y);
  }
  const POINT origin = toDevice(d, 0, 0);
  const RECT dr{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right), static_cast<LONG>(bottom)};
  return transfer(d, t, dr, rop, [&](int ox, int oy) -> std::uint32_t {
    const double px = left + ox + 0.5 - origin.x - m.eDx, py = top + oy + 0.5 - origin.y - m.eDy;
    const double wx = (px * m.eM22 - py * m.eM21) / det, wy = (py * m.eM11 - px * m.eM12) / det;
    const double u = (wx - x) / w, v = (wy - y) / h;
    if (u < 0 || u >= 1 || v < 0 || v >= 1) return kNoPixel;
    return source(u, v);
  });
}

}  // namespace gdi

int SetGraphicsMode(HDC h, int mode) {
  DcData* d = dc(h);
  if (!d || (mode != GM_COMPATIBLE && mode != GM_ADVANCED)) return 0;
  if (mode == GM_COMPATIBLE && !identity(d->st.world)) return 0;
  const int old = d->st.graphicsMode;
  d->st.graphicsMode = mode;
  return old;
}

int GetGraphicsMode(HDC h) {
  DcData* d = dc(h);
  return d ? d->st.graphicsMode : 0;
}

BOOL SetWorldTransform(HDC h, const XFORM* transform) {
  DcData* d = dc(h);
  if (!d || !transform || d->st.graphicsMode != GM_ADVANCED) return FALSE;
  const XFORM& m = *transform;
  if (static_cast<double>(m.eM11) * m.eM22 - static_cast<double>(m.eM12) * m.eM21 == 0) return FALSE;
  d->st.world = m;
  return TRUE;
}

BOOL GetWorldTransform(HDC h, XFORM* transform) {
  DcData* d = dc(h);
  if (!d || !transform) return FALSE;
  *transform = d->st.world;
  return TRUE;
}

BOOL ModifyWorldTransform(HDC h, const XFORM*, DWORD mode) {
  DcData* d = dc(h);
  if (!d || mode != MWT_IDENTITY || d->st.graphicsMode != GM_ADVANCED) return FALSE;
  d->st.world = XFORM{};
  return TRUE;
}

int SetStretchBltMode(HDC h, int mode) {
  DcData* d = dc(h);
  if (!d || mode < BLACKONWHITE || mode > HALFTONE) return 0;
  const int old = d->st.stretchMode;
  d->st.stretchMode = mode;
  return old;
}

int GetStretchBltMode(HDC h) {
  DcData* d = dc(h);
  return d ? d->st.stretchMode : 0;
}

BOOL StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop) {
  DcData* d = dc(dest);
  if (w == sw && h == sh && w >= 0 && h >= 0 && !(d && turned(*d))) return BitBlt(dest, x, y, w, h, src, sx, sy, rop);
  if (!d || w == 0 || h == 0 || sw == 0 || sh == 0) return FALSE;
  if (!usesSource((rop >> 16) & 0xFF)) return PatBlt(dest, x, y, w, h, rop);
  DcData* s = dc(src);
  if (!s) return FALSE;
  Target dt, st;
  if (!resolveTarget(*s, st)) return FALSE;
  if (!resolveTarget(*d, dt)) return TRUE;
  // The source block with its colours already converted for the destination.
  const RECT sr = destRect(*s, sx, sy, sw, sh);
  const long bw = sr.right - sr.left, bh = sr.bottom - sr.top;
  if (bw > 32767 || bh > 32767) return FALSE;
  const std::vector<std::uint32_t> block = sourceBlock(*d, dt, *s, st, sr);
  if (turned(*d)) {
    const bool mirrorX = sw < 0, mirrorY = sh < 0;
    transferTurned(*d, dt, x, y, w, h, rop, [&](double u, double v) {
      long cx = static_cast<long>(u * bw), cy = static_cast<long>(v * bh);
      if (mirrorX) cx = bw - 1 - cx;
      if (mirrorY) cy = bh - 1 - cy;
      return block[static_cast<std::size_t>(cy * bw + cx)];
    });
    return TRUE;
  }
  const RECT dr = destRect(*d, x, y, w, h);
  const long dw = dr.right - dr.left, dh = dr.bottom - dr.top;
  const bool flipX = (w < 0) != (sw < 0), flipY = (h < 0) != (sh < 0);
  transfer(*d, dt, dr, rop, [&](int ox, int oy) {
    return block[static_cast<std::size_t>(nearest(oy, dh, bh, flipY) * bw + nearest(ox, dw, bw, flipX))];
  });
  return TRUE;
}

int StretchDIBits(HDC h, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc, int wSrc, int hSrc,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  DcData* d = dc(h);
  DibView v;
  if (!d || !viewOf(info, bits, usage, v) || wDest == 0 || hDest == 0 || wSrc <= 0 || hSrc <= 0) return 0;
  // Source rows from the top: a bottom-up DIB counts ySrc from its bottom row.
  const long top = v.topDown ? ySrc : v.height - ySrc - hSrc;
  if (d->rec) {
    // Type 81: the destination, the source size and the raster operation, with the source
    // rectangle's pixels from its top row (outside the DIB white). Recordings keep no world
    // transform: a picture under a quarter turn or a mirror is recorded as it lands on the
    // page (its pixels turned with it); under any other turn it has no record.
    if (static_cast<long long>(wSrc) * hSrc > (1LL << 24)) return 0;
    MetaRecord r;
    r.type = 81;
    r.args = {xDest, yDest, wDest, hDest, wSrc, hSrc, static_cast<LONG>(rop)};
    r.data.reserve(static_cast<std::size_t>(wSrc) * static_cast<std::size_t>(hSrc));
    for (long y = 0; y < hSrc; ++y)
      for (long x = 0; x < wSrc; ++x) {
        const long sx = xSrc + x, sy = top + y;
        r.data.push_back(sx < 0 || sy < 0 || sx >= v.width || sy >= v.height ? 0xFFFFFFu : v.pixel(sx, sy));
      }
    if (turned(*d) && !onPage(d->st.world, r)) return 0;
    metaRecord(*d, std::move(r));
    return hSrc;
  }
  Target t;
  if (!resolveTarget(*d, t)) return 0;
  if (turned(*d)) {
    transferTurned(*d, t, xDest, yDest, wDest, hDest, rop, [&](double u, double vv) -> std::uint32_t {
      const long sxp = xSrc + static_cast<long>(u * wSrc), syp = top + static_cast<long>(vv * hSrc);
      if (sxp < 0 || syp < 0 || sxp >= v.width || syp >= v.height) return kNoPixel;
      return v.pixel(sxp, syp);
    });
    return hSrc;
  }
  const RECT dr = destRect(*d, xDest, yDest, wDest, hDest);
  const long dw = dr.right - dr.left, dh = dr.bottom - dr.top;
  transfer(*d, t, dr, rop, [&](int ox, int oy) -> std::uint32_t {
    const long sxp = xSrc + nearest(ox, dw, wSrc, wDest < 0);
    const long syp = top + nearest(oy, dh, hSrc, hDest < 0);
    if (sxp < 0 || syp < 0 || sxp >= v.width || syp >= v.height) return kNoPixel;
    return v.pixel(sxp, syp);
  });
  return hSrc;
}

int SetDIBitsToDevice(HDC h, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                      UINT scanLines, const void* bits, const BITMAPINFO* info, UINT usage) {
  DcData* d = dc(h);
  DibView v;
  if (!d || !viewOf(info, bits, usage, v) || width > 32767 || height > 32767) return 0;
  Target t;
  if (!resolveTarget(*d, t)) return 0;
  // bits holds only rows startScan .. startScan + scanLines - 1 (from the bottom).
  const long fullHeight = v.height;
  const long first = startScan, count = std::min<long>(scanLines, fullHeight - first);
  if (first < 0 || count <= 0) return 0;
  const RECT dr = destRect(*d, xDest, yDest, static_cast<int>(width), static_cast<int>(height));
  transfer(*d, t, dr, SRCCOPY, [&](int ox, int oy) -> std::uint32_t {
    const long sxp = xSrc + ox;
    const long fromBottom = ySrc + static_cast<long>(height) - 1 - oy;  // the source rectangle, upright
    if (sxp < 0 || sxp >= v.width || fromBottom < first || fromBottom >= first + count) return kNoPixel;
    if (v.topDown) return fromBottom < fullHeight ? v.pixel(sxp, fullHeight - 1 - fromBottom) : kNoPixel;
    const long inBlock = fromBottom - first;  // row of the supplied block, from its bottom
    DibView part = v;
    part.topDown = false;
    part.height = count;
    return part.pixel(sxp, count - 1 - inBlock);
  });
  return static_cast<int>(count);
}

int GetDIBits(HDC h, HBITMAP hb, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  BitmapData* b = bitmap(hb);
  if (!dc(h) || !b || !info || usage != DIB_RGB_COLORS) return 0;
  BITMAPINFOHEADER& hd = info->bmiHeader;
  if (hd.biBitCount == 0 || !bits) {
    if (hd.biBitCount == 0) {
      hd.biBitCount = b->mono ? 1 : 32;
      hd.biWidth = b->w;
      hd.biHeight = b->h;
    }
    if (hd.biBitCount != 1 && hd.biBitCount != 24 && hd.biBitCount != 32) return 0;
    hd.biSize = 40;
    hd.biPlanes = 1;
    hd.biCompression = BI_RGB;
    hd.biWidth = b->w;
    if (hd.biHeight == 0) hd.biHeight = b->h;
    const long rows = hd.biHeight < 0 ? -static_cast<long>(hd.biHeight) : hd.biHeight;
    hd.biSizeImage = static_cast<DWORD>(((static_cast<std::size_t>(b->w) * hd.biBitCount + 31) / 32) * 4 * rows);
    if (!bits) return 1;
  }
  const unsigned depth = hd.biBitCount;
  if (depth != 1 && depth != 24 && depth != 32) return 0;
  if (depth == 1) {
    info->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    (&info->bmiColors[0])[1] = RGBQUAD{255, 255, 255, 0};
  }
  const bool topDown = hd.biHeight < 0;
  const std::size_t stride = ((static_cast<std::size_t>(b->w) * depth + 31) / 32) * 4;
  cairo_surface_flush(b->surface);
  const auto* px = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(b->surface));
  const int srcStride = cairo_image_surface_get_stride(b->surface) / 4;
  auto* out = static_cast<unsigned char*>(bits);
  UINT done = 0;
  for (UINT k = 0; k < lines; ++k) {
    const long scan = static_cast<long>(start) + k;  // from the bottom, or from the top when top-down
    if (scan >= b->h) break;
    const long y = topDown ? scan : b->h - 1 - scan;
    unsigned char* row = out + stride * k;
    std::memset(row, 0, stride);
    for (long x = 0; x < b->w; ++x) {
      const std::uint32_t v = px[y * srcStride + x] & 0xFFFFFF;
      if (depth == 1) {
        if (monoPixel(v)) row[x / 8] = static_cast<unsigned char>(row[x / 8] | (0x80 >> (x % 8)));
      } else {
        unsigned char* q = row + (depth / 8) * static_cast<std::size_t>(x);
        q[0] = v & 0xFF;
        q[1] = (v >> 8) & 0xFF;
        q[2] = (v >> 16) & 0xFF;
      }
    }
    ++done;
  }
  return static_cast<int>(done);
}

}  // namespace win
