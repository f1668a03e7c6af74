// Every route that draws an image file, fed every hostile file: the image request of the
// screen, printer and metafile devices (yyloadimage, here on a printer page), the loader the
// file drivers share (yyhcloadimage, PostScript and CGM), the raster page's image request and
// the loader's own entry. Each refuses each file with the same error, at once, and draws
// nothing; a sound file draws on each.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "tests/hang_guard.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/raster/raster_page.h"
#include "tests/support/tools.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/hcdrivers/raster_device.h"
#include "toolkit/raster/file_info.h"
#include "toolkit/raster/image_load.h"
#include "toolkit/screen/images.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {

// The files, made by Python: a sound 6 x 6 PNG, and hostile ones.
const char* kMake = R"PY(
import struct, sys, zlib
d = sys.argv[1]
def chunk(t, b): return struct.pack('>I', len(b)) + t + b + struct.pack('>I', zlib.crc32(t + b) & 0xffffffff)
def png(w, h, data, end=True):
    b = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)) + chunk(b'IDAT', data)
    return b + (chunk(b'IEND', b'') if end else b'')
rows = b''.join(b'\x00' + bytes([200, 10, 10]) * 6 for _ in range(6))
open(d + '/sound.png', 'wb').write(png(6, 6, zlib.compress(rows)))
# IHDR of 46,340 x 46,340, then IEND: 110 bytes asking for 6 GB.
open(d + '/claims.png', 'wb').write((png(46340, 46340, b'')).ljust(110, b'\0'))
# The data of 2 of the 6 rows, whole and ended.
open(d + '/cut-rows.png', 'wb').write(png(6, 6, zlib.compress(rows[:2 * 19])))
# The file cut in its image data.
open(d + '/cut-file.png', 'wb').write(png(6, 6, zlib.compress(rows))[:60])
# Image data beyond what 6 rows can need.
open(d + '/overlong.png', 'wb').write(png(6, 6, zlib.compress(rows) + bytes(4096)))
# A 2 KB PCX of 32,768 x 65,535 at 8 bits.
pcx = bytearray(2048)
pcx[0:4] = bytes([10, 5, 1, 8]); pcx[65] = 1
struct.pack_into('<HHHH', pcx, 4, 0, 0, 32767, 65534); struct.pack_into('<H', pcx, 66, 32768)
pcx[2048 - 769] = 12
open(d + '/claims.pcx', 'wb').write(pcx)
# A PCX of 6 x 6 whose runs end after a row.
cut = bytearray(128)
cut[0:4] = bytes([10, 5, 1, 8]); cut[65] = 1
struct.pack_into('<HHHH', cut, 4, 0, 0, 5, 5); struct.pack_into('<H', cut, 66, 6)
open(d + '/cut.pcx', 'wb').write(bytes(cut) + bytes([0xC6, 3]))
# A 24-bit BMP of 40,000 x 40,000 in 2 KB, and a 6 x 6 one of 3 rows.
def bmp(w, h, size):
    head = b'BM' + struct.pack('<IHHI', 54 + size, 0, 0, 54) + struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, 0, 0, 0, 0, 0)
    return head + bytes(size)
open(d + '/claims.bmp', 'wb').write(bmp(40000, 40000, 2048 - 54))
open(d + '/cut.bmp', 'wb').write(bmp(6, 6, 3 * 20))
open(d + '/text.png', 'wb').write(b'not an image, and longer than a header of any kind it might be taken for\n' * 3)
)PY";

struct Hostile {
  const char* name;
  int error;
};

// The image request of the printer and metafile devices, on a white page: its error, and
// whether anything was drawn.
int requestonpage(const std::string& path, int type, bool& drawn) {
  win::HDC page = win::CreateCompatibleDC(nullptr);
  win::HBITMAP paper = win::CreateBitmap(40, 40, 1, 32, nullptr);
  win::HGDIOBJ old = win::SelectObject(page, paper);
  win::PatBlt(page, 0, 0, 40, 40, win::WHITENESS);
  yyimagesurface(10, page, nullptr);
  int error = -1, syserror = 0;
  yyloadimage(type, 10, 2, 2, 31, 31, 1, 0, 0, 0, error, syserror, path);
  drawn = win::GetPixel(page, 10, 10) != win::RGB(255, 255, 255);
  yyimagesurface(10, nullptr, nullptr);
  win::SelectObject(page, old);
  win::DeleteObject(paper);
  win::DeleteDC(page);
  return error;
}

// A raster page of 40 x 40 pixels, one a unit, and the device requests straight to it.
void rasterpage() {
  tessarreset();
  yypali();
  makerasterpage(40, 40, 8);
  tessar.graphics.target.WIDTH = 40;
  tessar.graphics.target.HEIGHT = 40;
  tessar.graphics.operands.IOPER1 = 0;
  int code = DBEGINPLOT;
  yyvras(code);
  tessar.raster.state.RASCLIP = {0, 39, 0, 39};
}

TEST(ImageRoutes, EveryHostileFileIsRefusedAlikeOnEveryRoute) {
  ASSERT_TRUE(tw::test::needpython("zlib", "python3"));
  const std::filesystem::path dir = hc::scratch("routes");
  std::filesystem::create_directories(dir);
  const std::string script = (dir / "make.py").string();
  {
    std::ofstream out(script);
    out << kMake;
  }
  ASSERT_EQ(hc::run("/usr/bin/python3 '" + script + "' '" + dir.string() + "'").status, 0);
  const Hostile cases[] = {{"sound.png", 0},  {"claims.png", 2}, {"cut-rows.png", 2}, {"cut-file.png", 2},
                           {"overlong.png", 2}, {"claims.pcx", 2}, {"cut.pcx", 2},      {"claims.bmp", 2},
                           {"cut.bmp", 2},    {"text.png", 27}};
  for (const Hostile& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (dir / c.name).string();
    const std::string ext = std::filesystem::path(path).extension().string();
    const int type = ext == ".bmp" ? 1 : ext == ".pcx" ? 2 : 15;
    std::array<int, 5> info{};
    igrfileinfo(path, info, 5);
    // Every hostile file is refused at once: the bound only stops a regression from
    // stalling the suite.
    HangGuard guard(c.name, 120);

    // The screen, printer and metafile devices' request.
    bool drawn = true;
    EXPECT_EQ(requestonpage(path, type, drawn), c.error) << "yyloadimage";
    EXPECT_EQ(drawn, c.error == 0) << "yyloadimage";
    EXPECT_TRUE(hImageDib.empty());

    // The file drivers' loader (PostScript, CGM).
    DeviceOperands& op = tessar.graphics.operands;
    op.IOPER1 = 0;
    assignfixed(tessar.files.HCCURRENT, path);
    tessar.error.LASTERROR = 0;
    std::vector<int> pixels;
    EXPECT_EQ(yyhcloadimage(pixels, info[1], info[2]), c.error) << "yyhcloadimage";
    EXPECT_EQ(pixels.size(), c.error == 0 ? 36u : 0u);
    if (c.error == 0) {
      EXPECT_EQ(pixels[35], 200 + 256 * 10 + 65536 * 10);
    } else {
      EXPECT_EQ(op.IOPER1, c.error);
    }

    // The raster page's request (the graphics layer sends it with the size identification
    // found: a file of no known kind has none, and the page does nothing).
    if (info[1] > 0) {
      rasterpage();
      assignfixed(tessar.files.HCCURRENT, path);
      op.IX2 = info[1];
      op.IY2 = info[2];
      op.IOPER1 = -1;
      const std::vector<std::uint32_t> before = tessar.raster.IRBUFF;
      int code = DIMAGE;
      yyvras(code);
      EXPECT_EQ(op.IOPER1, c.error) << "the raster page";
      EXPECT_EQ(tessar.raster.IRBUFF != before, c.error == 0) << "the raster page";
    }

    // The loader's own entry, into an array of the claimed size or less.
    tessar.error.LASTERROR = 0;
    std::vector<int> array(64, -5);
    IGrLoadImageData(path, array);
    EXPECT_EQ(tessar.error.LASTERROR, c.error == 0 ? 0 : c.error == 2 && info[1] * 1LL * info[2] > 64 ? 27 : c.error)
        << "IGrLoadImageData";
  }
}

}  // namespace
