// Image drawing on device contexts: the image decoded by the toolkit's loader into a 24-bit
// device-independent bitmap and transferred, turned through the world transform.
#include "toolkit/screen/images.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/os.h"
#include "toolkit/raster/file_info.h"
#include "toolkit/raster/image_load.h"
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

}  // namespace

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

  std::array<int, 6> fileinfo{};
  igrfileinfo(name, fileinfo, 6);
  if (fileinfo[0] == -1) {
    error = 1;
    return;
  }
  const int w = fileinfo[1], h = fileinfo[2];
  if (fileinfo[0] != type || w <= 0 || h <= 0) {
    error = 27;
    return;
  }
  std::vector<int> pixels;
  const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> block;
  try {
    pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    block.assign(sizeof(BITMAPINFOHEADER) + stride * static_cast<std::size_t>(h), 0);
  } catch (const std::bad_alloc&) {
    error = 2;
    return;
  }
  // The loader reports nothing here: the caller reports the error it is given.
  ErrorState& e = tessar.error;
  const int lasterror = e.LASTERROR, level = e.DEBUGLEVEL;
  e.LASTERROR = 0;
  e.DEBUGLEVEL = 0;
  IGrLoadImageData(name, pixels);
  e.DEBUGLEVEL = level;
  if (e.LASTERROR != 0) {
    error = e.LASTERROR;
    syserror = e.ERRDETAIL;
    return;
  }
  e.LASTERROR = lasterror;

  BITMAPINFOHEADER header;
  header.biWidth = w;
  header.biHeight = h;
  header.biBitCount = 24;
  header.biSizeImage = static_cast<DWORD>(stride * static_cast<std::size_t>(h));
  std::memcpy(block.data(), &header, sizeof header);
  std::uint8_t* rows = block.data() + sizeof header;
  for (int r = 0; r < h; ++r) {
    // The loader gives the top row first; the bitmap keeps the bottom row first.
    std::uint8_t* out = rows + stride * static_cast<std::size_t>(h - 1 - r);
    for (int c = 0; c < w; ++c) {
      const int rgb = pixels[static_cast<std::size_t>(r) * static_cast<std::size_t>(w) + static_cast<std::size_t>(c)];
      out[3 * c] = static_cast<std::uint8_t>(rgb >> 16);
      out[3 * c + 1] = static_cast<std::uint8_t>(rgb >> 8);
      out[3 * c + 2] = static_cast<std::uint8_t>(rgb);
    }
  }
  const auto* info = reinterpret_cast<const BITMAPINFO*>(block.data());

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
