// The metafile drawing layer over the platform's metafile recorder and clipboard.
// A placeable file gets its header when the recording opens and its records when it closes;
// every failure to create, write or close the file comes back as status 1 with the system
// error, and a file that could not be written whole is removed.
#include "toolkit/winprint/wmf.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/codepage.h"
#include "platform/printer.h"
#include "toolkit/screen/images.h"
#include "toolkit/state/tessar.h"
#include "toolkit/winprint/picture.h"

using namespace win;

namespace {

Picture pic;
int gwmfKind = 0;
int gwmfToClipboard = 0;
int gwmfFrameWidth = 0, gwmfFrameHeight = 0;
int gwmfRefDPI = 0;
int gwmfGeometric = 0;
std::FILE* gwmfFile = nullptr;
std::string gwmfFileName;

std::string cut(std::string_view text, int length) {
  std::string s(text.substr(0, static_cast<std::size_t>(std::clamp<int>(length, 0, static_cast<int>(text.size())))));
  if (const std::size_t nul = s.find('\0'); nul != std::string::npos) s.resize(nul);
  return s;
}

DWORD oserror() {
  return errno == ENOENT ? 3 : errno == EACCES ? 5 : errno == ENOSPC ? 112 : 31;  // path, access, disk full, failure
}

// The placeable header: the driver's box at 1000 units per inch when it fits 16 bits,
// else the platform's header with fewer units per inch.
std::array<BYTE, 22> placeable(int width, int height, int right, int bottom, int checksum) {
  if (right > 32767 || bottom > 32767 || right < 0 || bottom < 0)
    return PlaceableMetafileHeader(width / 10, height / 10);
  std::array<BYTE, 22> h{};
  auto put16 = [&h](int at, unsigned v) {
    h[static_cast<std::size_t>(at)] = static_cast<BYTE>(v & 0xFF);
    h[static_cast<std::size_t>(at + 1)] = static_cast<BYTE>((v >> 8) & 0xFF);
  };
  put16(0, 0xCDD7);
  put16(2, 0x9AC6);
  put16(10, static_cast<unsigned>(right));
  put16(12, static_cast<unsigned>(bottom));
  put16(14, 1000);
  put16(20, static_cast<unsigned>(checksum));
  return h;
}

}  // namespace

int yywmfkind() { return gwmfKind; }

void yywmfopen(int& width, int& height, int kind, int geometric, int right, int bottom, int checksum,
               int toclipboard, int& status, int& syserror, std::string_view file, std::string_view description,
               int filelength, int descriptionlength) {
  gwmfToClipboard = toclipboard;
  gwmfKind = kind;
  gwmfFrameWidth = width * 254 / 72;
  gwmfFrameHeight = height * 254 / 72;
  const std::string name = cut(file, filelength);
  HDC dc = nullptr;
  status = 0;
  syserror = 0;
  if (kind == 2) {
    // The reference: the chosen printer, else the screen.
    const PrinterSettings& ps = tessar.raster.printersettings;
    HDC ref = ps.GotPrName != 0 ? CreateDC(ps.lpPrintDriver.data(), ps.lpPrintType.data(), ps.lpPrintPort.data(), nullptr)
                                : nullptr;
    HDC screen = CreateCompatibleDC(nullptr);
    HDC r = ref != nullptr ? ref : screen;
    gwmfRefDPI = GetDeviceCaps(r, LOGPIXELSX);
    const int hres = GetDeviceCaps(r, HORZRES), vres = GetDeviceCaps(r, VERTRES);
    const int hsize = std::max(GetDeviceCaps(r, HORZSIZE), 1), vsize = std::max(GetDeviceCaps(r, VERTSIZE), 1);
    width = static_cast<int>(width * static_cast<double>(hres) * 25.4 / (720.0 * hsize));
    height = static_cast<int>(height * static_cast<double>(vres) * 25.4 / (720.0 * vsize));
    const RECT frame{0, 0, gwmfFrameWidth, gwmfFrameHeight};
    std::string desc(description.substr(0, static_cast<std::size_t>(std::clamp<int>(descriptionlength, 0,
                                                                                     static_cast<int>(description.size())))));
    desc.append(2, '\0');
    dc = CreateEnhMetaFile(r, toclipboard != 0 || name.empty() ? nullptr : name.c_str(), &frame, desc.c_str());
    if (ref != nullptr) DeleteDC(ref);
    DeleteDC(screen);
    gwmfGeometric = geometric;
  } else if (toclipboard != 0) {
    dc = CreateMetaFile(nullptr);
  } else if (kind == 0) {
    dc = CreateMetaFile(name.c_str());
  } else {
    gwmfFile = std::fopen(win::utf8FromCp1252(name).c_str(), "wb");
    if (gwmfFile == nullptr) {
      status = 1;
      syserror = static_cast<int>(oserror());
      gwmfKind = 0;
      return;
    }
    gwmfFileName = name;
    const std::array<BYTE, 22> header = placeable(width, height, right, bottom, checksum);
    if (std::fwrite(header.data(), 1, header.size(), gwmfFile) != header.size()) {
      syserror = static_cast<int>(oserror());
      std::fclose(gwmfFile);
      gwmfFile = nullptr;
      std::remove(name.c_str());
      status = 1;
      gwmfKind = 0;
      return;
    }
    dc = CreateMetaFile(nullptr);
  }
  if (dc == nullptr) {
    status = 1;
    syserror = static_cast<int>(GetLastError());
    if (gwmfFile != nullptr) {
      std::fclose(gwmfFile);
      gwmfFile = nullptr;
      std::remove(gwmfFileName.c_str());
    }
    gwmfKind = 0;
    return;
  }
  if (kind != 2) SetMapMode(dc, MM_ANISOTROPIC);
  gwmfDC = dc;
  pic.dc = dc;
  pic.pen = nullptr;  // the previous recording's pen went with it
  pic.penold = nullptr;
  pic.font = nullptr;
  pic.fontold = nullptr;
  pic.dpi = kind == 2 ? gwmfRefDPI : 96;
  pic.userpatterns = kind == 2 && geometric == 0;
  pic.standardstyles = kind == 2 && geometric != 0;
  if (kind == 2) yywmflinestyles();
  SetWindowExtEx(dc, width + 1, height + 1, nullptr);
  gwmfWindowExt = {width + 1, height + 1};
  gwmfRegion = nullptr;
  SetBkMode(dc, TRANSPARENT);
  pic.penkey = {-1, -1, -1};
  yyimagesurface(11, dc, nullptr);
}

void yywmfclose(int& status, int* syserror) {
  status = 0;
  if (syserror) *syserror = 0;
  if (gwmfDC == nullptr) return;
  auto failed = [&](DWORD code) {
    status = 1;
    if (syserror) *syserror = static_cast<int>(code);
  };
  if (gwmfRegion != nullptr) {
    SelectClipRgn(gwmfDC, nullptr);
    DeleteObject(gwmfRegion);
    gwmfRegion = nullptr;
  }
  yypicreleasefont(pic);
  if (pic.pen != nullptr && pic.penold != nullptr) SelectObject(gwmfDC, pic.penold);
  HPEN pen = pic.pen;
  pic.pen = pic.penold = nullptr;
  yyimagesurface(11, nullptr, nullptr);
  HDC dc = gwmfDC;
  gwmfDC = nullptr;
  pic.dc = nullptr;
  if (gwmfKind == 2) {
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    if (emf == nullptr) {
      failed(GetLastError());
    } else if (gwmfToClipboard != 0) {
      if (!OpenClipboard(nullptr)) {
        status = 1094;
        DeleteEnhMetaFile(emf);
      } else {
        EmptyClipboard();
        SetClipboardData(CF_ENHMETAFILE, reinterpret_cast<HGLOBAL>(emf));
        CloseClipboard();
      }
    } else {
      DeleteEnhMetaFile(emf);
    }
  } else {
    HMETAFILE wmf = CloseMetaFile(dc);
    if (wmf == nullptr) {
      failed(GetLastError());
    } else if (gwmfToClipboard != 0) {
      if (!OpenClipboard(nullptr)) {
        status = 1094;
      } else {
        EmptyClipboard();
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, 16);
        if (auto* words = static_cast<std::int32_t*>(GlobalLock(block))) {
          words[0] = MM_ANISOTROPIC;
          words[1] = gwmfFrameWidth;
          words[2] = gwmfFrameHeight;
          words[3] = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(CopyMetaFile(wmf, nullptr)));
          GlobalUnlock(block);
          SetClipboardData(CF_METAFILEPICT, block);
        }
        CloseClipboard();
      }
    } else if (gwmfFile != nullptr) {
      const UINT size = GetMetaFileBitsEx(wmf, 0, nullptr);
      std::vector<BYTE> bytes(size);
      GetMetaFileBitsEx(wmf, size, bytes.data());
      errno = 0;
      const bool written = std::fwrite(bytes.data(), 1, bytes.size(), gwmfFile) == bytes.size();
      const bool closed = std::fclose(gwmfFile) == 0;
      if (!written || !closed) {
        failed(oserror());
        std::remove(gwmfFileName.c_str());
      }
    }
    if (wmf != nullptr) DeleteMetaFile(wmf);
  }
  if (gwmfFile != nullptr && gwmfKind == 2) std::fclose(gwmfFile);
  gwmfFile = nullptr;
  if (pen != nullptr) DeleteObject(pen);
  gwmfKind = 0;
}

void yywmfcolour(int red, int green, int blue) {
  pic.prevcolour = pic.colour;
  pic.colour = (red & 0xFF) + 256 * (green & 0xFF) + 65536 * (blue & 0xFF);
}

void yywmflinetype(int type) { yypiclinetype(pic, type); }

void yywmflinewidth(int width) {
  pic.linewidth = width;
  yywmflinestyles();
}

void yywmfline(int x1, int y1, int x2, int y2) { yypicline(pic, x1, y1, x2, y2); }
void yywmfpolyline(int n) { yypicpolyline(pic, n); }
void yywmfpoint(int x, int y) { yypicpixel(pic, x, y, pic.colour); }
void yywmfpointrgb(int x, int y, int colour) { yypicpixel(pic, x, y, colour); }
void yywmfellipse(int xc, int yc, int rx, int ry, int style) { yypicellipse(pic, xc, yc, rx, ry, style); }
void yywmfrectangle(int x1, int y1, int x2, int y2) { yypicrectangle(pic, x1, y1, x2, y2); }
void yywmfarc(int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb) {
  yypicarc(pic, xc, yc, rx, ry, xa, ya, xb, yb);
}
void yywmfoutlinearc(int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb, int mode) {
  yypicoutlinearc(pic, xc, yc, rx, ry, xa, ya, xb, yb, mode);
}
void yywmfpolygon(int n) { yypicpolygon(pic, n, 0); }

void yywmfgradfill(std::span<const int> x, std::span<const int> y, std::span<const int> colour,
                   std::span<const int> triangles, int nv, int nt, int& failed) {
  yypicgradfill(pic, x, y, colour, triangles, nv, nt, failed);
}

void yywmftextsize(int width, int height, int angle, int face, int style, std::string_view name, int length) {
  yypicfont(pic, yypicmakefont(width, height, angle, face, style, cut(name, length)));
}

void yywmfdrawstring(int x1, int y1, int x2, int y2, int alignment, int opaque, std::string_view text, int length) {
  yypicdrawstring(pic, x1, y1, x2, y2, alignment, opaque, text, length);
}

void yywmftextlength(int& width, std::string_view text, int length) { yypictextlength(pic, width, text, length); }

void yywmfclip(int x1, int y1, int x2, int y2) {
  if (gwmfDC == nullptr) return;
  if (gwmfRegion != nullptr) {
    SelectClipRgn(gwmfDC, nullptr);
    DeleteObject(gwmfRegion);
  }
  gwmfRegion = CreateRectRgn(x1, y1, x2, y2);
  SelectClipRgn(gwmfDC, gwmfRegion);
  yyimagesurface(11, gwmfDC, gwmfRegion);
}

void yywmfcreatepen() { yypiccreatepen(pic); }

void yywmflinestyles() {
  pic.dpi = gwmfRefDPI > 0 ? gwmfRefDPI : 96;
  yypiclinestyles(pic);
}
