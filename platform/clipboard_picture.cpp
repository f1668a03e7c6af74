// platform/clipboard_picture.cpp: the store's picture as the desktop gets it. A metafile is
// played onto white at 96 pixels per inch over its frame (an enhanced metafile) or its extent
// (a metafile picture) and offered as PNG and SVG; a bitmap as PNG. The GTK backend hands
// these bytes to other programs; the tests look at the same bytes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include <cairo.h>

#include "platform/clipboard.h"
#include "platform/gdi.h"

namespace win::clipboard {
namespace {

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::vector<unsigned char>*>(closure);
  out->insert(out->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

// A bitmap's pixels as PNG file bytes.
std::vector<unsigned char> pngOfBitmap(HBITMAP bitmap) {
  BITMAP bm;
  if (bitmap == nullptr || GetObject(bitmap, sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0) return {};
  const int w = bm.bmWidth, ht = bm.bmHeight;
  BITMAPINFO info{};
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = ht;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> rows(static_cast<std::size_t>(w) * static_cast<std::size_t>(ht));
  HDC dc = CreateCompatibleDC(nullptr);
  const int got = GetDIBits(dc, bitmap, 0, static_cast<UINT>(ht), rows.data(), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  if (got == 0) return {};
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, ht);
  auto* px = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(image));
  const int stride = cairo_image_surface_get_stride(image) / 4;
  for (int y = 0; y < ht; ++y)   // the DIB's bottom row first
    for (int x = 0; x < w; ++x)
      px[y * stride + x] = rows[static_cast<std::size_t>(ht - 1 - y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] & 0xFFFFFF;
  cairo_surface_mark_dirty(image);
  std::vector<unsigned char> png;
  cairo_surface_write_to_png_stream(image, appendBytes, &png);
  cairo_surface_destroy(image);
  return png;
}

// The size a metafile is drawn at for the desktop: its frame at 96 pixels per inch, else its
// bounds; false when it has no header.
bool enhSize(HENHMETAFILE metafile, int& w, int& ht) {
  ENHMETAHEADER head;
  if (GetEnhMetaFileHeader(metafile, sizeof head, &head) == 0) return false;
  w = static_cast<int>(std::lround((head.rclFrame.right - head.rclFrame.left) * 96.0 / 2540.0));
  ht = static_cast<int>(std::lround((head.rclFrame.bottom - head.rclFrame.top) * 96.0 / 2540.0));
  if (w <= 0 || ht <= 0) {
    w = head.rclBounds.right - head.rclBounds.left + 1;
    ht = head.rclBounds.bottom - head.rclBounds.top + 1;
  }
  w = std::clamp(w, 1, 8000);
  ht = std::clamp(ht, 1, 8000);
  return true;
}

// A metafile picture's Windows metafile and the size it is drawn at: its extent in hundredths
// of a millimetre at 96 pixels per inch (a screen-sized page without one).
bool pictOf(HGLOBAL h, HMETAFILE& metafile, int& w, int& ht) {
  const auto* words = h != nullptr ? static_cast<const std::int32_t*>(GlobalLock(h)) : nullptr;
  if (words == nullptr) return false;
  if (GlobalSize(h) < 4 * sizeof(std::int32_t)) {
    GlobalUnlock(h);
    return false;
  }
  const long xext = words[1], yext = words[2];
  metafile = reinterpret_cast<HMETAFILE>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(words[3])));
  GlobalUnlock(h);
  w = static_cast<int>(std::lround(std::abs(xext) * 96.0 / 2540.0));
  ht = static_cast<int>(std::lround(std::abs(yext) * 96.0 / 2540.0));
  if (w <= 0 || ht <= 0) w = 800, ht = 600;
  w = std::clamp(w, 1, 8000);
  ht = std::clamp(ht, 1, 8000);
  return true;
}

// Plays a Windows metafile over w x ht pixels of dc.
void playPict(HDC dc, HMETAFILE metafile, int w, int ht) {
  SetMapMode(dc, MM_ANISOTROPIC);
  SetViewportExtEx(dc, w, ht, nullptr);
  PlayMetaFile(dc, metafile);
}

// A metafile picture played onto white as PNG file bytes.
std::vector<unsigned char> pngOfMetafilePict(HGLOBAL h) {
  HMETAFILE metafile = nullptr;
  int w = 0, ht = 0;
  if (!pictOf(h, metafile, w, ht)) return {};
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(w, ht, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, RECT{0, 0, w, ht}, white);
  DeleteObject(white);
  playPict(dc, metafile, w, ht);
  SelectObject(dc, old);
  DeleteDC(dc);
  std::vector<unsigned char> png = pngOfBitmap(bitmap);
  DeleteObject(bitmap);
  return png;
}

}  // namespace

// The store's picture as PNG file bytes: the enhanced metafile, else the metafile picture,
// else the bitmap.
std::vector<unsigned char> desktopPng() {
  if (HGLOBAL h = storedHandle(CF_ENHMETAFILE)) {
    const auto metafile = reinterpret_cast<HENHMETAFILE>(h);
    int w = 0, ht = 0;
    return enhSize(metafile, w, ht) ? RenderEnhMetaFilePng(metafile, w, ht) : std::vector<unsigned char>{};
  }
  if (HGLOBAL h = storedHandle(CF_METAFILEPICT)) return pngOfMetafilePict(h);
  return pngOfBitmap(reinterpret_cast<HBITMAP>(storedHandle(CF_BITMAP)));
}

// The store's metafile as SVG file bytes, at the size its PNG gets; empty for a bitmap.
std::vector<unsigned char> desktopSvg() {
  int w = 0, ht = 0;
  if (HGLOBAL h = storedHandle(CF_ENHMETAFILE)) {
    const auto metafile = reinterpret_cast<HENHMETAFILE>(h);
    if (!enhSize(metafile, w, ht)) return {};
    return RenderPictureSvg(w, ht, [&](HDC dc) { PlayEnhMetaFile(dc, metafile, RECT{0, 0, w, ht}); });
  }
  HMETAFILE metafile = nullptr;
  if (!pictOf(storedHandle(CF_METAFILEPICT), metafile, w, ht)) return {};
  return RenderPictureSvg(w, ht, [&](HDC dc) { playPict(dc, metafile, w, ht); });
}

}  // namespace win::clipboard
