// The window dump over the platform's printer device context and device-independent bitmaps.
#include "toolkit/winprint/wdump.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "platform/clipboard.h"
#include "platform/gdi.h"
#include "platform/printer.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/raster/printer_info.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"
#include "toolkit/window/window.h"

using namespace win;

namespace {

HDC gDumpDC = nullptr;
int gDumpWidth = 0;
int gDumpHeight = 0;
bool gDumpPage = false;

int rowbytes(int bits, int width) { return (bits * width + 31) / 32 * 4; }

}  // namespace

void yywindumpstart(int& width, int& height, int& left, int& top, int& error, int& landscape, int& copies,
                    std::string_view name) {
  error = 1;
  gDumpPage = false;
  gDumpDC = yywprgetdc(landscape, copies);
  if (gDumpDC == nullptr) return;
  std::string docname(name.substr(0, std::min(name.find('\0'), name.size())));
  DOCINFO info;
  info.lpszDocName = docname.c_str();
  if (StartDoc(gDumpDC, info) <= 0) {
    // The caller ends nothing after a failed start: nothing may be left behind.
    DeleteDC(gDumpDC);
    gDumpDC = nullptr;
    return;
  }
  error = 0;
  const int dpix = GetDeviceCaps(gDumpDC, LOGPIXELSX), dpiy = GetDeviceCaps(gDumpDC, LOGPIXELSY);
  const int originx = GetDeviceCaps(gDumpDC, PHYSICALOFFSETX) - left * dpix / 72;
  const int originy = GetDeviceCaps(gDumpDC, PHYSICALOFFSETY) - top * dpiy / 72;
  gDumpWidth = width * dpix / 72;
  gDumpHeight = height * dpiy / 72;
  gDumpPage = StartPage(gDumpDC) > 0;
  SetWindowOrgEx(gDumpDC, originx, originy, nullptr);
  SetWindowExtEx(gDumpDC, gDumpWidth, gDumpHeight, nullptr);
  SetBkMode(gDumpDC, TRANSPARENT);
}

void yywindumpblit(int& x1, int& y1, int& x2, int& y2, int& error) {
  const int w = x2 - x1 + 1, h = y2 - y1 + 1;
  error = 0;
  if (gDumpDC == nullptr || gDC == nullptr || w <= 0 || h <= 0) {
    error = 1;
    return;
  }
  HDC memory = CreateCompatibleDC(gDC);
  HBITMAP bitmap = CreateCompatibleBitmap(gDC, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, gDC, x1, y1, SRCCOPY);
  SelectObject(memory, old);
  HPALETTE palette = gPal256 != nullptr ? gPal256 : reinterpret_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));

  BITMAP shape{};
  GetObject(bitmap, sizeof shape, &shape);
  const int depth = shape.bmPlanes * shape.bmBitsPixel;
  const int bits = depth <= 1 ? 1 : depth <= 4 ? 4 : depth <= 8 ? 8 : 24;
  BITMAPINFOHEADER header;
  header.biSize = sizeof header;
  header.biWidth = shape.bmWidth;
  header.biHeight = shape.bmHeight;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bits);
  header.biCompression = BI_RGB;
  header.biSizeImage = 0;
  HPALETTE oldpalette = SelectPalette(memory, palette, FALSE);
  RealizePalette(memory);

  const std::size_t table = yywprpalsize(&header);
  const std::size_t image = static_cast<std::size_t>(shape.bmHeight) * rowbytes(bits, shape.bmWidth);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof header + table + image);
  auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
  bool ok = bytes != nullptr;
  if (ok) {
    auto* info = reinterpret_cast<BITMAPINFO*>(bytes);
    std::memcpy(bytes, &header, sizeof header);
    // The format first, so that the header gets its image size.
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), nullptr, info, DIB_RGB_COLORS);
    std::memcpy(&header, bytes, sizeof header);
    if (header.biSizeImage == 0) header.biSizeImage = static_cast<DWORD>(image);
    // The block was sized by the rows; a larger image size than that cannot be fetched.
    ok = header.biSizeImage <= image &&
         GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), bytes + sizeof header + table, info, DIB_RGB_COLORS) > 0;
    if (ok && StretchDIBits(gDumpDC, 0, 0, gDumpWidth, gDumpHeight, 0, 0, w, h, bytes + sizeof header + table, info,
                            DIB_RGB_COLORS, SRCCOPY) <= 0)
      error = 1;
    GlobalUnlock(block);
  }
  if (!ok) error = 1;
  if (oldpalette != nullptr) SelectPalette(memory, oldpalette, FALSE);
  DeleteObject(bitmap);
  DeleteDC(memory);
  if (block != nullptr) GlobalFree(block);
}

void yywindumpend() {
  if (gDumpDC == nullptr) return;
  if (gDumpPage) EndPage(gDumpDC);
  EndDoc(gDumpDC);
  DeleteDC(gDumpDC);
  gDumpDC = nullptr;
  gDumpPage = false;
}

void yyinstallwindump() {
  graphicsservices.yywindumpstart = [](int& failed) {
    std::array<int, 25>& d = tessar.raster.DumpSettings;
    const std::string& hc = tessar.files.HCCURRENT;
    std::string name = hc.substr(0, static_cast<std::size_t>(std::max(0, lentrim(hc))));
    name.push_back('\0');
    yywindumpstart(d[0], d[1], d[2], d[3], failed, d[4], d[7], name);
  };
  graphicsservices.yywindumpblit = [](int x1, int y1, int x2, int y2, int& failed) {
    yywindumpblit(x1, y1, x2, y2, failed);
  };
  graphicsservices.yywindumpend = [] { yywindumpend(); };
}
