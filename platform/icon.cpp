// platform/icon.cpp: icons of the platform layer.
// Sections (grep "[SECTION]"): icon table | image decoding | loading | drawing | system icons
//
// Invariants: (1) an icon handle is kIconBase + slot (slot >= 1), apart from the five system
// icons, whose handles are their IDI_ numbers; (2) an icon's colour and mask hold w x h
// pixels, top row first; mask 1 is transparent, and a transparent pixel decoded from an
// alpha channel has black colour; (3) shared icons (LoadIcon, LR_SHARED) are made once per
// resource and size and never freed, so any number of windows and classes may hold them.
#include "platform/icon.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "platform/dialog.h"
#include "platform/resource.h"

namespace win {

namespace {

//------------------------------------------------------------------------------
// [SECTION] Icon table
//------------------------------------------------------------------------------
constexpr std::uintptr_t kIconBase = 0x60000;
constexpr std::uintptr_t kSystemFirst = 32512, kSystemLast = 32516;
constexpr int kMaxSide = 256;

struct IconData {
  int w = 0, h = 0;
  std::vector<std::uint32_t> colour;   // 0x00RRGGBB
  std::vector<std::uint8_t> mask;      // 1 transparent
  bool shared = false;
  bool icon = true;
  POINT hot;
};

std::vector<std::unique_ptr<IconData>>& table() {
  static std::vector<std::unique_ptr<IconData>> t(1);   // slot 0 is never used
  return t;
}

HICON addIcon(std::unique_ptr<IconData> d) {
  auto& t = table();
  std::size_t slot = 1;
  while (slot < t.size() && t[slot]) ++slot;
  if (slot == t.size()) t.emplace_back();
  t[slot] = std::move(d);
  return reinterpret_cast<HICON>(kIconBase + slot);
}

bool isSystem(HICON h) {
  const auto v = reinterpret_cast<std::uintptr_t>(h);
  return v >= kSystemFirst && v <= kSystemLast;
}

IconData* find(HICON h) {
  const auto v = reinterpret_cast<std::uintptr_t>(h);
  if (v <= kIconBase) return nullptr;
  const std::size_t slot = v - kIconBase;
  auto& t = table();
  return slot < t.size() ? t[slot].get() : nullptr;
}

//------------------------------------------------------------------------------
// [SECTION] Image decoding
//------------------------------------------------------------------------------
unsigned rd16(const BYTE* p) { return p[0] | (p[1] << 8); }
std::uint32_t rd32(const BYTE* p) { return rd16(p) | (static_cast<std::uint32_t>(rd16(p + 2)) << 16); }

constexpr BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A BMP-in-ICO image: a DIB header whose height counts the colour rows and the mask rows,
// the colour table, the colour rows and the AND mask rows, all bottom row first.
std::unique_ptr<IconData> decodeDib(const BYTE* p, std::size_t size) {
  if (size < 40) return nullptr;
  const std::uint32_t header = rd32(p);
  if (header < 40 || header > size) return nullptr;
  const long width = static_cast<std::int32_t>(rd32(p + 4));
  const long height2 = static_cast<std::int32_t>(rd32(p + 8));
  const unsigned bits = rd16(p + 14);
  const std::uint32_t compression = rd32(p + 16);
  std::uint32_t colours = rd32(p + 32);
  if (width <= 0 || width > kMaxSide || height2 <= 0 || height2 % 2 != 0 || height2 / 2 > kMaxSide) return nullptr;
  if (compression != 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) return nullptr;
  if (bits > 8) colours = 0;
  else if (colours == 0) colours = 1u << bits;
  if (colours > 256) return nullptr;
  const long height = height2 / 2;
  const std::size_t paletteAt = header;
  const std::size_t colourAt = paletteAt + 4ul * colours;
  const std::size_t colourStride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  const std::size_t maskAt = colourAt + colourStride * static_cast<std::size_t>(height);
  const std::size_t maskStride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
  if (maskAt > size) return nullptr;
  // Some images leave the mask out when their alpha channel says it all.
  const bool hasMask = size - maskAt >= maskStride * static_cast<std::size_t>(height);
  if (!hasMask && bits != 32) return nullptr;

  auto d = std::make_unique<IconData>();
  d->w = static_cast<int>(width);
  d->h = static_cast<int>(height);
  d->colour.assign(static_cast<std::size_t>(width * height), 0);
  d->mask.assign(static_cast<std::size_t>(width * height), 0);
  auto paletteColour = [&](unsigned i) -> std::uint32_t {
    if (i >= colours) return 0;
    const BYTE* e = p + paletteAt + 4ul * i;
    return e[0] | (e[1] << 8) | (static_cast<std::uint32_t>(e[2]) << 16);
  };
  bool anyAlpha = false;
  std::vector<BYTE> alpha(static_cast<std::size_t>(width * height), 0);
  for (long y = 0; y < height; ++y) {
    const BYTE* row = p + colourAt + colourStride * static_cast<std::size_t>(height - 1 - y);
    const BYTE* mrow = p + maskAt + maskStride * static_cast<std::size_t>(height - 1 - y);
    for (long x = 0; x < width; ++x) {
      std::uint32_t c = 0;
      switch (bits) {
        case 1: c = paletteColour((row[x / 8] >> (7 - x % 8)) & 1); break;
        case 4: c = paletteColour(x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4); break;
        case 8: c = paletteColour(row[x]); break;
        case 24: c = row[3 * x] | (row[3 * x + 1] << 8) | (static_cast<std::uint32_t>(row[3 * x + 2]) << 16); break;
        default:
          c = row[4 * x] | (row[4 * x + 1] << 8) | (static_cast<std::uint32_t>(row[4 * x + 2]) << 16);
          alpha[static_cast<std::size_t>(y * width + x)] = row[4 * x + 3];
          anyAlpha = anyAlpha || row[4 * x + 3] != 0;
          break;
      }
      const std::size_t i = static_cast<std::size_t>(y * width + x);
      d->colour[i] = c;
      d->mask[i] = hasMask ? (mrow[x / 8] >> (7 - x % 8)) & 1 : 0;
    }
  }
  // A 32-bit image with an alpha channel is transparent where its alpha is below half.
  if (anyAlpha)
    for (std::size_t i = 0; i < alpha.size(); ++i)
      if (alpha[i] < 128) {
        d->mask[i] = 1;
        d->colour[i] = 0;
      }
  return d;
}

struct PngReader {
  const BYTE* p;
  std::size_t left;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
  auto* r = static_cast<PngReader*>(closure);
  if (length > r->left) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, r->p, length);
  r->p += length;
  r->left -= length;
  return CAIRO_STATUS_SUCCESS;
}

std::unique_ptr<IconData> decodePng(const BYTE* p, std::size_t size) {
  PngReader r{p, size};
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readPng, &r);
  std::unique_ptr<IconData> d;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    const cairo_format_t f = cairo_image_surface_get_format(s);
    if (w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide && (f == CAIRO_FORMAT_ARGB32 || f == CAIRO_FORMAT_RGB24)) {
      cairo_surface_flush(s);
      d = std::make_unique<IconData>();
      d->w = w;
      d->h = h;
      d->colour.assign(static_cast<std::size_t>(w * h), 0);
      d->mask.assign(static_cast<std::size_t>(w * h), 0);
      const auto* px = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s));
      const int stride = cairo_image_surface_get_stride(s) / 4;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const std::uint32_t v = px[y * stride + x];
          const unsigned a = f == CAIRO_FORMAT_ARGB32 ? v >> 24 : 255;
          const std::size_t i = static_cast<std::size_t>(y * w + x);
          if (a < 128) {
            d->mask[i] = 1;
            continue;
          }
          // cairo keeps premultiplied colour: back to the plain colour.
          auto plain = [a](unsigned c) { return std::min(255u, (c * 255 + a / 2) / a); };
          d->colour[i] = (plain((v >> 16) & 0xFF) << 16) | (plain((v >> 8) & 0xFF) << 8) | plain(v & 0xFF);
        }
    }
  }
  cairo_surface_destroy(s);
  return d;
}

std::unique_ptr<IconData> decode(const BYTE* p, std::size_t size) {
  if (!p) return nullptr;
  if (size >= 8 && std::memcmp(p, kPngSignature, 8) == 0) return decodePng(p, size);
  return decodeDib(p, size);
}

// Nearest-pixel scaling, as the drawing layer stretches.
void scale(IconData& d, int cx, int cy) {
  if ((cx == d.w && cy == d.h) || cx <= 0 || cy <= 0) return;
  std::vector<std::uint32_t> colour(static_cast<std::size_t>(cx * cy));
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(cx * cy));
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x) {
      const std::size_t from = static_cast<std::size_t>((y * d.h / cy) * d.w + x * d.w / cx);
      colour[static_cast<std::size_t>(y * cx + x)] = d.colour[from];
      mask[static_cast<std::size_t>(y * cx + x)] = d.mask[from];
    }
  d.colour = std::move(colour);
  d.mask = std::move(mask);
  d.w = cx;
  d.h = cy;
}

//------------------------------------------------------------------------------
// [SECTION] Loading
//------------------------------------------------------------------------------
// The resource directory of an icon group: 6 bytes, then 14 bytes per entry.
constexpr std::size_t kGroupHeader = 6, kGroupEntry = 14;

std::pair<const BYTE*, std::size_t> resourceBytes(HRSRC res) {
  if (!res) return {nullptr, 0};
  const auto* p = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, res)));
  return {p, p ? SizeofResource(nullptr, res) : 0};
}

// The group's best image for cx x cy, decoded and scaled to that size.
std::unique_ptr<IconData> loadGroup(LPCSTR name, int cx, int cy) {
  HRSRC group = FindResource(nullptr, name, RT_GROUP_ICON);
  const auto [dir, size] = resourceBytes(group);
  if (!dir || size < kGroupHeader || rd16(dir + 4) == 0 || size < kGroupHeader + kGroupEntry * rd16(dir + 4))
    return nullptr;
  const int id = LookupIconIdFromDirectoryEx(dir, TRUE, cx, cy, 0);
  if (id <= 0) return nullptr;
  const auto [image, isize] = resourceBytes(FindResource(nullptr, MAKEINTRESOURCE(id), RT_ICON));
  auto d = decode(image, isize);
  if (d) scale(*d, cx, cy);
  return d;
}

std::map<std::tuple<HRSRC, int, int>, HICON>& sharedIcons() {
  static std::map<std::tuple<HRSRC, int, int>, HICON> m;
  return m;
}

HICON sharedGroupIcon(LPCSTR name, int cx, int cy) {
  HRSRC group = FindResource(nullptr, name, RT_GROUP_ICON);
  if (!group) return nullptr;
  auto& m = sharedIcons();
  const auto key = std::make_tuple(group, cx, cy);
  if (auto it = m.find(key); it != m.end()) return it->second;
  auto d = loadGroup(name, cx, cy);
  if (!d) return nullptr;
  d->shared = true;
  HICON h = addIcon(std::move(d));
  m.emplace(key, h);
  return h;
}

int systemSize(bool small, bool y) {
  return GetSystemMetrics(small ? (y ? SM_CYSMICON : SM_CXSMICON) : (y ? SM_CYICON : SM_CXICON));
}

// A bitmap resource with its transparent colour and grey shades taken over by the window's
// colours, as a control shows it on its face.
HBITMAP loadMappedBitmap(LPCSTR name, UINT flags) {
  HBITMAP b = LoadBitmap(nullptr, name);
  if (!b || !(flags & (LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS))) return b;
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, b);
  BITMAP bm;
  GetObject(b, sizeof bm, &bm);
  const COLORREF key = GetPixel(mem, 0, 0);
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < bm.bmWidth; ++x) {
      const COLORREF c = GetPixel(mem, x, y);
      COLORREF to = c;
      if ((flags & LR_LOADTRANSPARENT) && c == key) to = GetSysColor(COLOR_WINDOW);
      else if (flags & LR_LOADMAP3DCOLORS) {
        if (c == RGB(128, 128, 128)) to = GetSysColor(COLOR_3DSHADOW);
        else if (c == RGB(192, 192, 192)) to = GetSysColor(COLOR_3DFACE);
        else if (c == RGB(223, 223, 223)) to = GetSysColor(COLOR_3DLIGHT);
      }
      if (to != c) SetPixelV(mem, x, y, to);
    }
  SelectObject(mem, old);
  DeleteDC(mem);
  return b;
}

}  // namespace

HICON LoadIcon(HINSTANCE instance, LPCSTR name) {
  if (!instance && IS_INTRESOURCE(name)) {
    const auto id = reinterpret_cast<std::uintptr_t>(name);
    if (id >= kSystemFirst && id <= kSystemLast) return reinterpret_cast<HICON>(id);
  }
  return sharedGroupIcon(name, systemSize(false, false), systemSize(false, true));
}

HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  if (flags & LR_LOADFROMFILE) return nullptr;
  if (type == IMAGE_BITMAP) return loadMappedBitmap(name, flags);
  if (type == IMAGE_CURSOR) return LoadCursor(instance, name);
  if (type != IMAGE_ICON) return nullptr;
  if (!instance && IS_INTRESOURCE(name)) {
    const auto id = reinterpret_cast<std::uintptr_t>(name);
    if (id >= kSystemFirst && id <= kSystemLast) return reinterpret_cast<HICON>(id);
  }
  if (cx <= 0) cx = systemSize(false, false);
  if (cy <= 0) cy = systemSize(false, true);
  if (flags & LR_SHARED) return sharedGroupIcon(name, cx, cy);
  auto d = loadGroup(name, cx, cy);
  return d ? addIcon(std::move(d)) : nullptr;
}

int LookupIconIdFromDirectoryEx(const BYTE* dir, BOOL icon, int cx, int cy, UINT) {
  if (!dir || rd16(dir + 2) != (icon ? 1u : 2u)) return 0;
  if (cx <= 0) cx = systemSize(false, false);
  if (cy <= 0) cy = systemSize(false, true);
  const unsigned n = rd16(dir + 4);
  int best = 0;
  long bestDistance = 0;
  unsigned bestBits = 0;
  for (unsigned i = 0; i < n; ++i) {
    const BYTE* e = dir + kGroupHeader + kGroupEntry * i;
    // An icon entry gives its size in two bytes (0 meaning 256); a cursor's in two words,
    // its height counting the mask.
    const int w = icon ? (e[0] ? e[0] : 256) : static_cast<int>(rd16(e));
    const int h = icon ? (e[1] ? e[1] : 256) : static_cast<int>(rd16(e + 2)) / 2;
    const unsigned bits = rd16(e + 6);
    const long distance = std::labs(static_cast<long>(w) - cx) + std::labs(static_cast<long>(h) - cy);
    // The nearest size first; then, of equal sizes, the deeper colour.
    if (best == 0 || distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
      best = static_cast<int>(rd16(e + 12));
      bestDistance = distance;
      bestBits = bits;
    }
  }
  return best;
}

HICON CreateIconFromResourceEx(const BYTE* bits, DWORD size, BOOL icon, DWORD, int cx, int cy, UINT) {
  if (!bits) return nullptr;
  POINT hot;
  if (!icon) {   // a cursor image starts with its hot spot
    if (size < 4) return nullptr;
    hot = POINT{static_cast<LONG>(rd16(bits)), static_cast<LONG>(rd16(bits + 2))};
    bits += 4;
    size -= 4;
  }
  auto d = decode(bits, size);
  if (!d) return nullptr;
  d->icon = icon != FALSE;
  d->hot = hot;
  scale(*d, cx > 0 ? cx : d->w, cy > 0 ? cy : d->h);
  return addIcon(std::move(d));
}

HICON CreateIconIndirect(const ICONINFO& info) {
  BITMAP mb, cb;
  if (!info.hbmMask || !GetObject(info.hbmMask, sizeof mb, &mb)) return nullptr;
  // Without a colour bitmap the mask holds both halves: AND on top, XOR below.
  const bool split = info.hbmColor == nullptr;
  const int w = mb.bmWidth, h = split ? mb.bmHeight / 2 : mb.bmHeight;
  if (info.hbmColor && (!GetObject(info.hbmColor, sizeof cb, &cb) || cb.bmWidth != w || cb.bmHeight != h)) return nullptr;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return nullptr;
  auto d = std::make_unique<IconData>();
  d->w = w;
  d->h = h;
  d->icon = info.fIcon != FALSE;
  d->hot = POINT{static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
  d->colour.assign(static_cast<std::size_t>(w * h), 0);
  d->mask.assign(static_cast<std::size_t>(w * h), 0);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, info.hbmMask);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::size_t i = static_cast<std::size_t>(y * w + x);
      d->mask[i] = GetPixel(mem, x, y) == RGB(255, 255, 255) ? 1 : 0;
      if (split) d->colour[i] = GetPixel(mem, x, y + h) == RGB(255, 255, 255) ? 0xFFFFFF : 0;
    }
  if (info.hbmColor) {
    SelectObject(mem, info.hbmColor);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const COLORREF c = GetPixel(mem, x, y);
        d->colour[static_cast<std::size_t>(y * w + x)] =
            (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
      }
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  return addIcon(std::move(d));
}

BOOL GetIconInfo(HICON icon, ICONINFO& info) {
  const IconData* d = find(icon);
  if (!d) return FALSE;
  info.fIcon = d->icon ? TRUE : FALSE;
  info.xHotspot = d->icon ? static_cast<DWORD>(d->w / 2) : static_cast<DWORD>(d->hot.x);
  info.yHotspot = d->icon ? static_cast<DWORD>(d->h / 2) : static_cast<DWORD>(d->hot.y);
  // Rows of 16-bit aligned width: monochrome for the mask, 32-bit words for the colour.
  const std::size_t maskRow = static_cast<std::size_t>((d->w + 15) / 16) * 2;
  std::vector<BYTE> mask(maskRow * static_cast<std::size_t>(d->h), 0);
  for (int y = 0; y < d->h; ++y)
    for (int x = 0; x < d->w; ++x)
      if (d->mask[static_cast<std::size_t>(y * d->w + x)])
        mask[maskRow * static_cast<std::size_t>(y) + static_cast<std::size_t>(x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
  info.hbmMask = CreateBitmap(d->w, d->h, 1, 1, mask.data());
  info.hbmColor = CreateBitmap(d->w, d->h, 1, 32, d->colour.data());
  return info.hbmMask && info.hbmColor ? TRUE : FALSE;
}

BOOL DestroyIcon(HICON icon) {
  if (isSystem(icon)) return TRUE;
  IconData* d = find(icon);
  if (!d) return FALSE;
  if (d->shared) return TRUE;   // held by others for the run
  table()[reinterpret_cast<std::uintptr_t>(icon) - kIconBase].reset();
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Drawing
//------------------------------------------------------------------------------
namespace {
void drawSystemIcon(HDC dc, int x, int y, HICON icon);

// Draws w x h pixels (top row first, 32-bit words) stretched to the destination with rop.
void blit(HDC dc, int x, int y, int cx, int cy, int w, int h, const std::uint32_t* px, DWORD rop) {
  BITMAPINFO bi;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;   // top row first
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  StretchDIBits(dc, x, y, cx, cy, 0, 0, w, h, px, &bi, DIB_RGB_COLORS, rop);
}
}  // namespace

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) { return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL); }

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH, UINT flags) {
  if (!dc) return FALSE;
  if (isSystem(icon)) {
    drawSystemIcon(dc, x, y, icon);
    return TRUE;
  }
  const IconData* d = find(icon);
  if (!d) return FALSE;
  if (cx <= 0) cx = (flags & DI_DEFAULTSIZE) ? systemSize(false, false) : d->w;
  if (cy <= 0) cy = (flags & DI_DEFAULTSIZE) ? systemSize(false, true) : d->h;
  if (!(flags & DI_NORMAL)) flags |= DI_NORMAL;
  if (flags & DI_MASK) {
    std::vector<std::uint32_t> mask(d->mask.size());
    for (std::size_t i = 0; i < mask.size(); ++i) mask[i] = d->mask[i] ? 0xFFFFFF : 0;
    blit(dc, x, y, cx, cy, d->w, d->h, mask.data(), (flags & DI_IMAGE) ? SRCAND : SRCCOPY);
  }
  if (flags & DI_IMAGE) blit(dc, x, y, cx, cy, d->w, d->h, d->colour.data(), (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
  return TRUE;
}

namespace icon {
SIZE sizeOf(HICON h) {
  if (isSystem(h)) return SIZE{systemSize(false, false), systemSize(false, true)};
  const IconData* d = find(h);
  return d ? SIZE{d->w, d->h} : SIZE{0, 0};
}

bool isIcon(HICON h) { return isSystem(h) || find(h) != nullptr; }

int ownedCount() {
  int n = 0;
  for (const auto& d : table())
    if (d && !d->shared) ++n;
  return n;
}
}  // namespace icon

//------------------------------------------------------------------------------
// [SECTION] System icons
// Drawn with the drawing layer's shapes in their 32 x 32 cell: stop, question, exclamation,
// information and the plain application window.
//------------------------------------------------------------------------------
namespace {

void fill(HDC dc, const RECT& r, COLORREF colour) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  HBRUSH b = CreateSolidBrush(colour);
  FillRect(dc, r, b);
  DeleteObject(b);
}

void outline(HDC dc, const RECT& r, COLORREF c) {
  fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, c);
  fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, c);
  fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, c);
  fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, c);
}

void polygon(HDC dc, std::initializer_list<POINT> pts, COLORREF fillColour, COLORREF line) {
  HBRUSH b = CreateSolidBrush(fillColour);
  HPEN p = CreatePen(PS_SOLID, 1, line);
  HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, p);
  std::vector<POINT> v(pts);
  Polygon(dc, v.data(), static_cast<int>(v.size()));
  SelectObject(dc, ob);
  SelectObject(dc, op);
  DeleteObject(b);
  DeleteObject(p);
}

void ellipse(HDC dc, const RECT& r, COLORREF fillColour, COLORREF line) {
  HBRUSH b = CreateSolidBrush(fillColour);
  HPEN p = CreatePen(PS_SOLID, 1, line);
  HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, p);
  Ellipse(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, ob);
  SelectObject(dc, op);
  DeleteObject(b);
  DeleteObject(p);
}

// A bold glyph centred in the 32 x 32 cell at (x, y).
void glyph(HDC dc, int x, int y, const char* text, COLORREF colour, int dy) {
  HFONT f = CreateFont(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, VARIABLE_PITCH | FF_ROMAN,
                       "Times New Roman");
  HGDIOBJ old = SelectObject(dc, f);
  const int mode = SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  const UINT align = SetTextAlign(dc, TA_CENTER | TA_TOP);
  TextOut(dc, x + 16, y + 5 + dy, text, static_cast<int>(std::strlen(text)));
  SetTextAlign(dc, align);
  SetBkMode(dc, mode);
  SelectObject(dc, old);
  DeleteObject(f);
}

void drawSystemIcon(HDC dc, int x, int y, HICON icon) {
  const COLORREF saved = GetTextColor(dc);
  const auto id = reinterpret_cast<std::uintptr_t>(icon);
  const RECT cell{x + 1, y + 1, x + 31, y + 31};
  switch (id) {
    case 32513:   // stop: a red disc with a white cross
      ellipse(dc, cell, RGB(255, 0, 0), RGB(128, 0, 0));
      polygon(dc, {{x + 10, y + 8}, {x + 16, y + 14}, {x + 22, y + 8}, {x + 24, y + 10}, {x + 18, y + 16},
                   {x + 24, y + 22}, {x + 22, y + 24}, {x + 16, y + 18}, {x + 10, y + 24}, {x + 8, y + 22},
                   {x + 14, y + 16}, {x + 8, y + 10}},
              RGB(255, 255, 255), RGB(255, 255, 255));
      break;
    case 32514:   // question: a white bubble with a blue question mark
      ellipse(dc, cell, RGB(255, 255, 255), RGB(0, 0, 0));
      glyph(dc, x, y, "?", RGB(0, 0, 255), 0);
      break;
    case 32515:   // exclamation: a yellow triangle with a black exclamation mark
      polygon(dc, {{x + 16, y + 1}, {x + 31, y + 30}, {x + 1, y + 30}}, RGB(255, 255, 0), RGB(0, 0, 0));
      glyph(dc, x, y, "!", RGB(0, 0, 0), 3);
      break;
    case 32516:   // information: a white bubble with a blue i
      ellipse(dc, cell, RGB(255, 255, 255), RGB(0, 0, 0));
      glyph(dc, x, y, "i", RGB(0, 0, 255), 0);
      break;
    default:      // application: a plain window
      fill(dc, RECT{x + 2, y + 4, x + 30, y + 28}, RGB(255, 255, 255));
      outline(dc, RECT{x + 2, y + 4, x + 30, y + 28}, RGB(0, 0, 0));
      fill(dc, RECT{x + 3, y + 5, x + 29, y + 9}, GetSysColor(COLOR_ACTIVECAPTION));
      break;
  }
  SetTextColor(dc, saved);
}

}  // namespace

}  // namespace win
