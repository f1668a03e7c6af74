// A rectangle of the screen's drawing context saved to the clipboard or to a BMP, PCX or PNG
// file: the reverse of yyloadimage. The pixels come from a compatible bitmap read as a
// device-independent bitmap, the same two-step query as the window dump.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/os.h"
#include "toolkit/raster/png.h"
#include "toolkit/screen/images.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"

using namespace win;

namespace {

// The captured rectangle as a DIB: header, colour table and rows, bottom row first.
struct Capture {
  BITMAPINFOHEADER header;
  std::vector<RGBQUAD> table;
  std::vector<std::uint8_t> bits;
  int stride = 0;
};

HBITMAP grab(int x1, int y1, int w, int h) {
  HBITMAP bitmap = CreateCompatibleBitmap(gDC, w, h);
  if (bitmap == nullptr) return nullptr;
  HDC memory = CreateCompatibleDC(gDC);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, gDC, x1, y1, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  return bitmap;
}

bool capture(HBITMAP bitmap, Capture& c) {
  BITMAP shape{};
  if (GetObject(bitmap, sizeof shape, &shape) == 0) return false;
  HDC memory = CreateCompatibleDC(gDC);
  HPALETTE palette = gPal256 != nullptr ? gPal256 : reinterpret_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  HPALETTE oldpalette = SelectPalette(memory, palette, FALSE);
  RealizePalette(memory);
  const int bits = shape.bmPlanes * shape.bmBitsPixel;
  const std::size_t entries = bits <= 8 ? std::size_t{1} << bits : 0;
  std::vector<std::uint8_t> block(sizeof(BITMAPINFOHEADER) + entries * sizeof(RGBQUAD));
  auto* info = reinterpret_cast<BITMAPINFO*>(block.data());
  info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info->bmiHeader.biWidth = shape.bmWidth;
  info->bmiHeader.biHeight = shape.bmHeight;
  info->bmiHeader.biPlanes = 1;
  info->bmiHeader.biBitCount = static_cast<WORD>(bits);
  bool ok = GetDIBits(memory, bitmap, 0, static_cast<UINT>(shape.bmHeight), nullptr, info, DIB_RGB_COLORS) > 0;
  c.stride = (bits * shape.bmWidth + 31) / 32 * 4;
  if (ok && info->bmiHeader.biSizeImage == 0)
    info->bmiHeader.biSizeImage = static_cast<DWORD>(c.stride) * static_cast<DWORD>(shape.bmHeight);
  if (ok) {
    c.bits.assign(info->bmiHeader.biSizeImage, 0);
    ok = GetDIBits(memory, bitmap, 0, static_cast<UINT>(shape.bmHeight), c.bits.data(), info, DIB_RGB_COLORS) > 0;
  }
  if (ok) {
    c.header = info->bmiHeader;
    c.table.assign(info->bmiColors, info->bmiColors + entries);
  }
  if (oldpalette != nullptr) SelectPalette(memory, oldpalette, FALSE);
  DeleteDC(memory);
  return ok;
}

// Row y from the top as bytes: one a pixel for 1, 4 and 8 bits, else red, green and blue
// planes one after the other (planes[k * width + x]).
std::vector<std::uint8_t> planes(const Capture& c, int y, int width) {
  const std::uint8_t* row = c.bits.data() + static_cast<std::size_t>(c.stride) * (c.header.biHeight - 1 - y);
  const int bits = c.header.biBitCount;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * (bits <= 8 ? 1 : 3), 0);
  for (int x = 0; x < width && x < c.header.biWidth; ++x) {
    if (bits == 1) out[x] = (row[x / 8] >> (7 - x % 8)) & 1;
    else if (bits == 4) out[x] = (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 15;
    else if (bits == 8) out[x] = row[x];
    else {
      std::uint8_t r = 0, g = 0, b = 0;
      if (bits == 16) {
        const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
        const bool fields = c.header.biCompression == 3;  // bit fields: 5-6-5
        r = static_cast<std::uint8_t>(fields ? (v >> 11) << 3 : ((v >> 10) & 31) << 3);
        g = static_cast<std::uint8_t>(fields ? ((v >> 5) & 63) << 2 : ((v >> 5) & 31) << 3);
        b = static_cast<std::uint8_t>((v & 31) << 3);
      } else {
        const std::uint8_t* p = row + static_cast<std::size_t>(x) * (bits / 8);
        b = p[0];
        g = p[1];
        r = p[2];
      }
      out[x] = r;
      out[width + x] = g;
      out[2 * width + x] = b;
    }
  }
  return out;
}

void put16(std::vector<std::uint8_t>& b, std::size_t at, int v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put32be(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
}

// A PNG chunk: length, type, data and the CRC over type and data.
void chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  put32be(out, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  put32be(out, yypngcrc2(body, static_cast<int>(body.size())));
}

bool writeall(std::FILE* f, const std::vector<std::uint8_t>& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

}  // namespace

void yysaveimage(int type, int x1, int y1, int x2, int y2, int& error, int& syserror, std::string_view name) {
  error = 0;
  syserror = 0;
  const int w = x2 - x1 + 1, h = y2 - y1 + 1;
  if (type != 0 && type != 1 && type != 2 && type != 15) return;
  if (gDC == nullptr || w <= 0 || h <= 0) {
    error = 1072;
    return;
  }
  const std::string path(name.substr(0, std::min(name.find('\0'), name.size())));
  const int wide = type == 1 || type == 0 ? w : (w + 1) / 2 * 2;  // PCX and PNG capture an even width
  HBITMAP bitmap = grab(x1, y1, wide, h);
  if (bitmap == nullptr) {
    error = 1072;
    syserror = 0;  // the drawing layer keeps no error code for a refused bitmap
    return;
  }
  if (type == 0) {
    if (!OpenClipboard(nullptr)) {
      DeleteObject(bitmap);
      error = 1094;
      return;
    }
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, reinterpret_cast<HGLOBAL>(bitmap));
    CloseClipboard();
    return;
  }
  Capture c;
  const bool captured = capture(bitmap, c);
  DeleteObject(bitmap);
  if (!captured) {
    error = 1072;
    return;
  }
  std::FILE* f = std::fopen(win::utf8FromCp1252(path).c_str(), "wb");
  if (f == nullptr) {
    error = 1;
    syserror = errno;
    return;
  }
  bool ok = true;
  const int bits = c.header.biBitCount;
  if (type == 1) {
    const std::uint32_t table = static_cast<std::uint32_t>(c.table.size() * sizeof(RGBQUAD));
    std::vector<std::uint8_t> head(14, 0);
    head[0] = 'B';
    head[1] = 'M';
    const std::uint32_t size = 54 + table + static_cast<std::uint32_t>(c.bits.size()), offset = 54 + table;
    std::memcpy(&head[2], &size, 4);
    std::memcpy(&head[10], &offset, 4);
    const auto* h8 = reinterpret_cast<const std::uint8_t*>(&c.header);
    head.insert(head.end(), h8, h8 + sizeof c.header);
    const auto* t8 = reinterpret_cast<const std::uint8_t*>(c.table.data());
    head.insert(head.end(), t8, t8 + table);
    ok = writeall(f, head) && writeall(f, c.bits);
  } else if (type == 2) {
    const int planecount = tessar.display.COLOURS >= 256 ? 3 : 1;
    std::vector<std::uint8_t> head(128, 0);
    head[0] = 10;
    head[1] = 5;
    head[2] = 1;
    head[3] = 8;
    put16(head, 8, w - 1);
    put16(head, 10, h - 1);
    put16(head, 12, 75);
    put16(head, 14, 75);
    head[65] = static_cast<std::uint8_t>(planecount);
    put16(head, 66, wide);
    put16(head, 68, 1);
    put16(head, 70, wide);
    put16(head, 72, h);
    ok = writeall(f, head);
    for (int y = 0; ok && y < h; ++y) {
      const std::vector<std::uint8_t> row = planes(c, y, wide);
      const int have = static_cast<int>(row.size()) / wide;
      for (int k = 0; ok && k < planecount; ++k) {
        // A plane the row has not (a palette capture asked for three) is blank.
        const std::uint8_t* p = k < have ? row.data() + static_cast<std::size_t>(k) * wide : nullptr;
        for (int x = 0; ok && x < wide;) {
          const std::uint8_t v = p ? p[x] : 0;
          int n = 1;
          while (x + n < wide && n < 63 && (p ? p[x + n] : 0) == v) ++n;
          ok = yyencput(v, n, f) == 0;
          x += n;
        }
      }
    }
    if (ok && planecount == 1) {
      std::vector<std::uint8_t> palette{12};
      for (int i = 0; i < 256; ++i) {
        const RGBQUAD q = i < static_cast<int>(c.table.size()) ? c.table[i] : RGBQUAD{};
        palette.insert(palette.end(), {q.rgbRed, q.rgbGreen, q.rgbBlue});
      }
      ok = writeall(f, palette);
    }
  } else {
    const int depth = bits == 4 ? 4 : bits == 8 ? 8 : 24;
    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    put32be(ihdr, static_cast<std::uint32_t>(w));
    put32be(ihdr, static_cast<std::uint32_t>(h));
    ihdr.insert(ihdr.end(), {static_cast<std::uint8_t>(depth == 4 ? 4 : 8), static_cast<std::uint8_t>(depth == 24 ? 2 : 3), 0, 0, 0});
    chunk(out, "IHDR", ihdr);
    if (depth != 24) {
      std::vector<std::uint8_t> plte;
      for (std::size_t i = 0; i < (depth == 4 ? 16u : 256u); ++i) {
        const RGBQUAD q = i < c.table.size() ? c.table[i] : RGBQUAD{};
        plte.insert(plte.end(), {q.rgbRed, q.rgbGreen, q.rgbBlue});
      }
      chunk(out, "PLTE", plte);
    }
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < h; ++y) {
      raw.push_back(0);
      const std::vector<std::uint8_t> row = planes(c, y, wide);
      if (depth == 4)
        for (int x = 0; x < wide; x += 2) raw.push_back(static_cast<std::uint8_t>(row[x] << 4 | row[x + 1]));
      else if (depth == 8)
        raw.insert(raw.end(), row.begin(), row.begin() + w);
      else
        for (int x = 0; x < w; ++x) raw.insert(raw.end(), {row[x], row[wide + x], row[2 * wide + x]});
    }
    uLongf packed = static_cast<uLongf>(raw.size() + raw.size() / 1000 + 22);
    std::vector<std::uint8_t> idat(packed);
    const int status = compress(idat.data(), &packed, raw.data(), static_cast<uLong>(raw.size()));
    if (status != Z_OK) {
      std::fclose(f);
      error = 1044;
      syserror = status;
      return;
    }
    idat.resize(packed);
    chunk(out, "IDAT", idat);
    chunk(out, "IEND", {});
    ok = writeall(f, out);
  }
  if (std::fclose(f) != 0) ok = false;
  if (!ok) error = 2;
}
