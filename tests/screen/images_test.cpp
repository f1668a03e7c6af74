// Image files drawn on the screen target: BMP, PCX and PNG made by Pillow, stretched and at their own size, turned by the page rotation, the loader's errors; and the platform's world transform under image transfers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/clipboard.h"
#include "platform/gdi.h"
#include "toolkit/screen/wgraph.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/screen/screen_fixture.h"
#include "toolkit/screen/images.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {

using twtest::ScreenFixture;

// A 16 x 8 image in four quarters: red top left, green top right, blue bottom left, yellow
// bottom right, saved by Pillow in the format of the file's extension.
std::string quarters(const std::string& name) {
  EXPECT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  const auto dir = std::filesystem::temp_directory_path() / ("tw_images_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / name).string();
  const std::string script =
      "from PIL import Image\n"
      "im=Image.new('RGB',(16,8))\n"
      "for x in range(16):\n"
      "  for y in range(8): im.putpixel((x,y),[(255,0,0),(0,255,0),(0,0,255),(255,255,0)][(y>3)*2+(x>7)])\n"
      "im.save('" + path + "')\n";
  EXPECT_EQ(std::system(("/usr/bin/python3 -c \"" + script + "\"").c_str()), 0);
  return path;
}

constexpr win::COLORREF kRed = win::RGB(255, 0, 0), kGreen = win::RGB(0, 255, 0), kBlue = win::RGB(0, 0, 255),
                        kYellow = win::RGB(255, 255, 0), kWhite = win::RGB(255, 255, 255);

class Images : public ScreenFixture {
 protected:
  // Draws the file through the screen's image request into the area; returns the error.
  int draw(const std::string& path, int type, int placement) {
    assignfixed(tessar.files.HCCURRENT, path);
    DeviceOperands& op = tessar.graphics.operands;
    op.IX1 = type;
    op.IY1 = placement;
    yygdrv(DIMAGE);
    return op.IOPER1;
  }
};

TEST_F(Images, EveryFormatStretchedIntoTheArea) {
  struct Case {
    const char* name;
    int type;
  };
  for (const Case& c : {Case{"q.bmp", 1}, Case{"q.pcx", 2}, Case{"q.png", 15}}) {
    SCOPED_TRACE(c.name);
    openScreen(200, 100);
    IGrArea(0.1f, 0.2f, 0.5f, 0.6f);   // pixels 20-100 across, 20-60 up
    EXPECT_EQ(draw(quarters(c.name), c.type, 1), 0);
    EXPECT_EQ(at(30, 50), kRed);
    EXPECT_EQ(at(90, 50), kGreen);
    EXPECT_EQ(at(30, 25), kBlue);
    EXPECT_EQ(at(90, 25), kYellow);
    EXPECT_EQ(at(110, 50), kWhite) << "nothing beyond the box";
    windowclose();
  }
}

TEST_F(Images, NaturalSizeFromTheTopLeftCorner) {
  openScreen(200, 100);
  IGrArea(0.1f, 0.2f, 0.5f, 0.6f);
  EXPECT_EQ(draw(quarters("n.png"), 15, 0), 0);
  // The box's top left corner is (20, 60) up from the bottom: 16 x 8 pixels hang below it.
  EXPECT_EQ(at(21, 59), kRed);
  EXPECT_EQ(at(35, 59), kGreen);
  EXPECT_EQ(at(21, 53), kBlue);
  EXPECT_EQ(at(35, 53), kYellow);
  EXPECT_EQ(at(37, 59), kWhite);
  EXPECT_EQ(at(21, 51), kWhite);
}

TEST_F(Images, PageRotationTurnsTheImage) {
  const std::string path = quarters("r.png");
  struct Case {
    int rotation;
    win::COLORREF topleft, topright, bottomleft, bottomright;
  };
  // Seen on the screen: the picture's top edge turns with the page.
  for (const Case& c : {Case{180, kYellow, kBlue, kGreen, kRed}, Case{90, kGreen, kYellow, kRed, kBlue},
                        Case{270, kBlue, kRed, kYellow, kGreen}}) {
    SCOPED_TRACE(c.rotation);
    openScreen(200, 200);
    tessar.graphics.area.PAGEROTATION = c.rotation;
    IGrArea(0.25f, 0.25f, 0.75f, 0.75f);
    EXPECT_EQ(draw(path, 15, 1), 0);
    tessar.graphics.area.PAGEROTATION = 0;
    EXPECT_EQ(at(60, 140), c.topleft);
    EXPECT_EQ(at(140, 140), c.topright);
    EXPECT_EQ(at(60, 60), c.bottomleft);
    EXPECT_EQ(at(140, 60), c.bottomright);
    windowclose();
  }
}

// The clipboard's bitmap (16 x 8 quarters as above), as a program put it there: stretched into
// the area, at its own size from the top left corner, and never turned by the page rotation.
TEST_F(Images, ClipboardBitmapStretchedAndAtItsSize) {
  auto clip = [] {
    win::HBITMAP bitmap = win::CreateCompatibleBitmap(gDC, 16, 8);
    win::HDC memory = win::CreateCompatibleDC(gDC);
    win::HGDIOBJ old = win::SelectObject(memory, bitmap);
    const win::COLORREF colours[4] = {kRed, kGreen, kBlue, kYellow};
    for (int q = 0; q < 4; ++q) {
      win::HBRUSH brush = win::CreateSolidBrush(colours[q]);
      win::FillRect(memory, win::RECT{(q % 2) * 8, (q / 2) * 4, (q % 2) * 8 + 8, (q / 2) * 4 + 4}, brush);
      win::DeleteObject(brush);
    }
    win::SelectObject(memory, old);
    win::DeleteDC(memory);
    ASSERT_TRUE(win::OpenClipboard(nullptr));
    win::EmptyClipboard();
    ASSERT_NE(win::SetClipboardData(win::CF_BITMAP, reinterpret_cast<win::HGLOBAL>(bitmap)), nullptr);
    win::CloseClipboard();
  };
  for (int rotation : {0, 90, 180, 270}) {
    SCOPED_TRACE(rotation);
    openScreen(200, 200);
    clip();
    tessar.graphics.area.PAGEROTATION = rotation;
    IGrArea(0.25f, 0.25f, 0.75f, 0.75f);   // pixels 50-150 both ways
    EXPECT_EQ(draw("", 0, 1), 0);
    tessar.graphics.area.PAGEROTATION = 0;
    EXPECT_EQ(at(60, 140), kRed);
    EXPECT_EQ(at(140, 140), kGreen);
    EXPECT_EQ(at(60, 60), kBlue);
    EXPECT_EQ(at(140, 60), kYellow);
    EXPECT_EQ(at(160, 100), kWhite) << "nothing beyond the box";
    EXPECT_EQ(at(100, 40), kWhite) << "nothing beyond the box";
    windowclose();
  }
  openScreen(200, 100);
  IGrArea(0.1f, 0.2f, 0.5f, 0.6f);
  EXPECT_EQ(draw("", 0, 0), 0);
  EXPECT_EQ(at(21, 59), kRed);
  EXPECT_EQ(at(35, 59), kGreen);
  EXPECT_EQ(at(21, 53), kBlue);
  EXPECT_EQ(at(35, 53), kYellow);
  EXPECT_EQ(at(37, 59), kWhite);
  EXPECT_EQ(at(21, 51), kWhite);
  ASSERT_TRUE(win::OpenClipboard(nullptr));
  win::EmptyClipboard();
  win::CloseClipboard();
}

// A rectangle of the window saved to each file type and to the clipboard: Pillow reads the
// files with their size and colours (pngcheck accepts the PNG), the clipboard's bitmap comes
// back through the image request; a file that cannot be made is error 1.
TEST_F(Images, SavedRectanglesReadBack) {
  ASSERT_TRUE(tw::test::needtool("pngcheck", "pngcheck"));
  openScreen(200, 100);
  const win::COLORREF colours[4] = {kRed, kGreen, kBlue, kYellow};
  for (int q = 0; q < 4; ++q) {
    win::HBRUSH brush = win::CreateSolidBrush(colours[q]);
    win::FillRect(gDC, win::RECT{(q % 2) * 100, (q / 2) * 50, (q % 2) * 100 + 100, (q / 2) * 50 + 50}, brush);
    win::DeleteObject(brush);
  }
  // 11 x 8 pixels (y down) around the quarters' corner: 5 columns red over blue, 6 green
  // over yellow; 5 rows of the top quarters, 3 of the bottom ones.
  const auto dir = std::filesystem::path(quarters("x.png")).parent_path();
  for (const auto& [file, type] : {std::pair{"saved.bmp", 1}, std::pair{"saved.pcx", 2}, std::pair{"saved.png", 15}}) {
    SCOPED_TRACE(file);
    const std::string path = (dir / file).string();
    int error = -1, syserror = -1;
    yysaveimage(type, 95, 45, 105, 52, error, syserror, path);
    EXPECT_EQ(error, 0);
    const hc::Run r = hc::run("/usr/bin/python3 -c \"from PIL import Image; im = Image.open('" + path +
                              "').convert('RGB'); print(*im.size, *[im.getpixel(p) for p in [(0, 0), (4, 4), (5, 0), (10, 4), (0, 5), (4, 7), (5, 5), (10, 7)]])\"");
    EXPECT_EQ(r.output,
              "11 8 (255, 0, 0) (255, 0, 0) (0, 255, 0) (0, 255, 0) (0, 0, 255) (0, 0, 255) (255, 255, 0) "
              "(255, 255, 0)\n");
    if (type == 15) {
      EXPECT_EQ(hc::run("pngcheck -q '" + path + "'").status, 0);
    }
  }
  int error = -1, syserror = -1;
  yysaveimage(1, 0, 0, 9, 9, error, syserror, (dir / "no-such-folder" / "x.bmp").string());
  EXPECT_EQ(error, 1);
  EXPECT_NE(syserror, 0);
  yysaveimage(0, 95, 45, 105, 52, error, syserror, "");
  EXPECT_EQ(error, 0);
  IGrArea(0.5f, 0.2f, 1, 0.8f);
  ASSERT_EQ(draw("", 0, 0), 0);   // at its size below the box's top left corner (100, 80 up)
  EXPECT_EQ(at(101, 78), kRed);
  EXPECT_EQ(at(106, 78), kGreen);
  EXPECT_EQ(at(101, 74), kBlue);
  EXPECT_EQ(at(109, 74), kYellow);
  EXPECT_EQ(at(112, 74), kGreen) << "the window's own quarter beyond the 11 pixels";
  ASSERT_TRUE(win::OpenClipboard(nullptr));
  win::EmptyClipboard();
  win::CloseClipboard();
}

TEST_F(Images, ErrorsComeBackAndNothingIsDrawn) {
  openScreen(100, 100);
  IGrArea(0, 0, 1, 1);
  const auto dir = std::filesystem::temp_directory_path();
  const std::string text = (dir / ("tw_images_text_" + std::to_string(::getpid()) + ".png")).string();
  const std::string shorttext = (dir / ("tw_images_short_" + std::to_string(::getpid()) + ".png")).string();
  FILE* f = std::fopen(text.c_str(), "w");
  std::fputs("not an image, and longer than a PNG's signature and header\n", f);
  std::fclose(f);
  f = std::fopen(shorttext.c_str(), "w");
  std::fputs("not an image\n", f);
  std::fclose(f);
  struct Case {
    std::string path;
    int type, error;
  };
  // A file shorter than a PNG's signature and header is a short read (2).
  for (const Case& c : {Case{(dir / "no_such_image.png").string(), 15, 1}, Case{text, 15, 27},
                        Case{shorttext, 15, 2}, Case{quarters("wrongtype.bmp"), 15, 27}, Case{"", 0, 1095}}) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(draw(c.path, c.type, 1), c.error);
  }
  EXPECT_EQ(inkCount(), 0);
  std::filesystem::remove(text);
  std::filesystem::remove(shorttext);
}

// The platform: a 4 x 2 image turned a quarter by the world transform covers 2 x 4 pixels, and
// the compatible mode comes back only with the identity.
TEST(WorldTransform, QuarterTurnOfADeviceIndependentBitmap) {
  using namespace win;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP page = CreateCompatibleBitmap(screen, 10, 10);
  SelectObject(dc, page);
  PatBlt(dc, 0, 0, 10, 10, WHITENESS);
  struct {
    BITMAPINFOHEADER h;
  } info;
  info.h.biWidth = 4;
  info.h.biHeight = -2;   // top row first
  info.h.biBitCount = 32;
  // Top row red, red, green, green; bottom row blue, blue, black, black (blue, green, red, 0).
  const std::uint32_t bits[8] = {0x00FF0000u, 0x00FF0000u, 0x0000FF00u, 0x0000FF00u,
                                 0x000000FFu, 0x000000FFu, 0, 0};
  EXPECT_EQ(SetGraphicsMode(dc, GM_ADVANCED), GM_COMPATIBLE);
  XFORM turn;
  turn.eM11 = 0;
  turn.eM12 = -1;
  turn.eM21 = 1;
  turn.eM22 = 0;
  turn.eDx = 2;
  turn.eDy = 6;
  ASSERT_TRUE(SetWorldTransform(dc, &turn));
  EXPECT_EQ(SetGraphicsMode(dc, GM_COMPATIBLE), 0) << "not while the transform turns";
  StretchDIBits(dc, 0, 0, 4, 2, 0, 0, 4, 2, bits, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
  // World (x, y) lands at page (2 + y, 6 - x): columns 2-3, rows 2-5.
  EXPECT_EQ(GetPixel(dc, 2, 5), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 3, 5), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 3, 2), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 4, 3), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(255, 255, 255));
  ASSERT_TRUE(ModifyWorldTransform(dc, nullptr, MWT_IDENTITY));
  EXPECT_EQ(SetGraphicsMode(dc, GM_COMPATIBLE), GM_ADVANCED);
  DeleteDC(dc);
  DeleteObject(page);
  ReleaseDC(nullptr, screen);
}

}  // namespace
