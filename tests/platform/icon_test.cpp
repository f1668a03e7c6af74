// Icons: the group entry chosen for a size, BMP-in-ICO and PNG images with their masks, the
// pixels drawn (checked against Pillow's reading of the program's icon file), stretching,
// damaged images, and which icons DestroyIcon frees.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/icon.h"
#include "platform/resource.h"

using namespace win;

namespace {

constexpr COLORREF kGreen = RGB(0, 200, 0);

// A colour memory bitmap of w x h filled with a background colour.
class Canvas {
 public:
  Canvas(int w, int h, COLORREF background = kGreen) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateBitmap(w, h, 1, 32, nullptr);
    old_ = SelectObject(dc_, bitmap_);
    HBRUSH b = CreateSolidBrush(background);
    FillRect(dc_, RECT{0, 0, w, h}, b);
    DeleteObject(b);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Pillow's reading of an icon file: one "r g b a" line per pixel, rows top first.
std::vector<std::vector<int>> pillowPixels(const std::string& file, int& w, int& h) {
  const std::string cmd =
      "/usr/bin/python3 -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]).convert('RGBA'); "
      "print(im.size[0], im.size[1]); [print(*im.getpixel((x, y))) for y in range(im.size[1]) "
      "for x in range(im.size[0])]\" '" + file + "'";
  std::vector<std::vector<int>> px;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return px;
  std::string out;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  pclose(p);
  std::istringstream in(out);
  in >> w >> h;
  int r, g, b, a;
  while (in >> r >> g >> b >> a) px.push_back({r, g, b, a});
  return px;
}

}  // namespace

TEST(LoadIcon, ProgramIconDrawsAsPillowReadsIt) {
  HICON icon = LoadIcon(nullptr, "ICON1");
  ASSERT_NE(icon, nullptr);
  const SIZE s = icon::sizeOf(icon);
  ASSERT_EQ(s.cx, 32);
  ASSERT_EQ(s.cy, 32);
  int w = 0, h = 0;
  const auto want = pillowPixels(TW_PROGRAM_ICON, w, h);
  ASSERT_EQ(w, 32);
  ASSERT_EQ(h, 32);
  ASSERT_EQ(want.size(), 32u * 32u);
  Canvas c(40, 40);
  ASSERT_TRUE(DrawIcon(c.dc(), 4, 4, icon));
  int opaque = 0, clear = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const auto& p = want[static_cast<std::size_t>(y * 32 + x)];
      SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
      const COLORREF expect = p[3] == 0 ? kGreen : RGB(p[0], p[1], p[2]);
      ASSERT_EQ(c.at(4 + x, 4 + y), expect);
      (p[3] == 0 ? clear : opaque)++;
    }
  // The icon has both an image and a see-through part, so both paths were checked.
  EXPECT_GT(opaque, 0);
  EXPECT_GT(clear, 0);
  // Nothing outside the icon's cell is touched.
  EXPECT_EQ(c.at(3, 3), kGreen);
  EXPECT_EQ(c.at(36, 36), kGreen);
}

TEST(LoadIcon, NamesCompareCaseInsensitivelyAndShareOneIcon) {
  HICON a = LoadIcon(nullptr, "ICON1");
  EXPECT_EQ(LoadIcon(nullptr, "icon1"), a);
  EXPECT_EQ(LoadIcon(GetModuleHandle(nullptr), "Icon1"), a);
  EXPECT_EQ(LoadIcon(nullptr, "NOSUCHICON"), nullptr);
  EXPECT_EQ(LoadIcon(nullptr, MAKEINTRESOURCE(77)), nullptr);
}

TEST(LoadIcon, SystemIconsNeedNoResources) {
  const LPCSTR ids[] = {IDI_APPLICATION, IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK};
  for (LPCSTR id : ids) {
    HICON icon = LoadIcon(nullptr, id);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(icon::isIcon(icon));
    EXPECT_EQ(icon::sizeOf(icon).cx, 32);
  }
  Canvas c(32, 32, RGB(255, 255, 255));
  ASSERT_TRUE(DrawIcon(c.dc(), 0, 0, LoadIcon(nullptr, IDI_HAND)));
  EXPECT_EQ(c.at(6, 16), RGB(255, 0, 0));   // the red disc, left of its cross
  EXPECT_EQ(c.at(0, 0), RGB(255, 255, 255));
}

// Group 2 holds a 16 x 16 BMP image (red, left column see-through by its AND mask) and a
// 32 x 32 PNG image (blue, columns 0-3 see-through by their alpha).
TEST(LoadImage, ChoosesTheGroupEntryNearestTheSize) {
  struct Case {
    const char* why;
    int cx, cy;
    int wantSide;
    COLORREF inside;
    int clearColumns;
  };
  const Case cases[] = {
      {"the small size takes the BMP entry", 16, 16, 16, RGB(255, 0, 0), 1},
      {"the system size takes the PNG entry", 0, 0, 32, RGB(0, 0, 255), 4},
      {"nearer 16 than 32: the BMP entry", 20, 20, 16, RGB(255, 0, 0), 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.why);
    HICON icon = static_cast<HICON>(LoadImage(nullptr, MAKEINTRESOURCE(2), IMAGE_ICON, k.cx, k.cy, 0));
    ASSERT_NE(icon, nullptr);
    const int side = k.cx > 0 ? k.cx : 32;
    EXPECT_EQ(icon::sizeOf(icon).cx, side);
    Canvas c(40, 40);
    ASSERT_TRUE(DrawIcon(c.dc(), 0, 0, icon));
    // Scaled to the size asked for, nearest pixel: the see-through columns cover their share, rounded up.
    const int clearPixels = (k.clearColumns * side + k.wantSide - 1) / k.wantSide;
    EXPECT_EQ(c.at(clearPixels - 1, side / 2), kGreen);
    EXPECT_EQ(c.at(clearPixels, side / 2), k.inside);
    EXPECT_EQ(c.at(side - 1, side - 1), k.inside);
    EXPECT_EQ(c.at(side, side), kGreen);
    EXPECT_TRUE(DestroyIcon(icon));
  }
}

TEST(LookupIconIdFromDirectoryEx, PrefersNearestSizeThenDeeperColour) {
  // A directory of three entries: 16 x 16 at 4 bits (id 5), 32 x 32 at 4 bits (id 6),
  // 32 x 32 at 8 bits (id 7).
  std::vector<BYTE> dir = {0, 0, 1, 0, 3, 0};
  auto entry = [&](BYTE side, WORD bits, WORD id) {
    const BYTE e[14] = {side, side, 0, 0, 1, 0, static_cast<BYTE>(bits), 0, 0, 1, 0, 0,
                        static_cast<BYTE>(id), 0};
    dir.insert(dir.end(), e, e + 14);
  };
  entry(16, 4, 5);
  entry(32, 4, 6);
  entry(32, 8, 7);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 16, 16, 0), 5);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 32, 32, 0), 7);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 0, 0, 0), 7);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), FALSE, 32, 32, 0), 0) << "not a cursor directory";
}

namespace {
// A BMP-in-ICO image of 2 x 2 pixels at 24 bits: top row white and see-through black,
// bottom row red and blue.
std::vector<BYTE> tinyDib() {
  std::vector<BYTE> b(40, 0);
  b[0] = 40;
  b[4] = 2;
  b[8] = 4;   // twice the height
  b[12] = 1;
  b[14] = 24;
  // Colour rows, bottom first, 8 bytes each: red, blue; then white, black.
  const BYTE rows[] = {0, 0, 255, 255, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0};
  b.insert(b.end(), rows, rows + sizeof rows);
  // Mask rows, bottom first, 4 bytes each: bottom opaque; top right see-through.
  const BYTE mask[] = {0, 0, 0, 0, 0x40, 0, 0, 0};
  b.insert(b.end(), mask, mask + sizeof mask);
  return b;
}
}  // namespace

TEST(CreateIconFromResourceEx, ReadsBmpImageWithItsMask) {
  const auto bytes = tinyDib();
  HICON icon = CreateIconFromResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), TRUE, 0x30000, 0, 0, 0);
  ASSERT_NE(icon, nullptr);
  Canvas c(2, 2);
  ASSERT_TRUE(DrawIconEx(c.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(c.at(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(c.at(1, 0), kGreen);
  EXPECT_EQ(c.at(0, 1), RGB(255, 0, 0));
  EXPECT_EQ(c.at(1, 1), RGB(0, 0, 255));
  DestroyIcon(icon);
}

TEST(CreateIconFromResourceEx, RefusesDamagedImages) {
  struct Case {
    const char* why;
    std::vector<BYTE> bytes;
  };
  std::vector<Case> cases;
  auto with = [](auto change) {
    auto b = tinyDib();
    change(b);
    return b;
  };
  cases.push_back({"empty", {}});
  const auto whole = tinyDib();
  cases.push_back({"header cut short", std::vector<BYTE>(whole.begin(), whole.begin() + 30)});
  cases.push_back({"mask rows missing", std::vector<BYTE>(whole.begin(), whole.end() - 8)});
  cases.push_back({"colour rows cut", std::vector<BYTE>(whole.begin(), whole.begin() + 45)});
  cases.push_back({"odd height: no room for a mask", with([](auto& b) { b[8] = 3; })});
  cases.push_back({"zero width", with([](auto& b) { b[4] = 0; })});
  cases.push_back({"wider than 256", with([](auto& b) { b[4] = 0; b[5] = 2; })});
  cases.push_back({"compressed", with([](auto& b) { b[16] = 1; })});
  cases.push_back({"16-bit colour is not read", with([](auto& b) { b[14] = 16; })});
  cases.push_back({"header size beyond the data", with([](auto& b) { b[1] = 1; })});
  cases.push_back({"PNG signature without an image", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0}});
  const int before = icon::ownedCount();
  for (const Case& k : cases) {
    SCOPED_TRACE(k.why);
    EXPECT_EQ(CreateIconFromResourceEx(k.bytes.data(), static_cast<DWORD>(k.bytes.size()), TRUE, 0x30000, 0, 0, 0),
              nullptr);
  }
  EXPECT_EQ(CreateIconFromResourceEx(nullptr, 10, TRUE, 0x30000, 0, 0, 0), nullptr);
  EXPECT_EQ(icon::ownedCount(), before);
}

TEST(DrawIconEx, StretchesAndDrawsMaskOrImageAlone) {
  const auto bytes = tinyDib();
  HICON icon = CreateIconFromResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), TRUE, 0x30000, 0, 0, 0);
  ASSERT_NE(icon, nullptr);
  {
    Canvas c(4, 4);
    ASSERT_TRUE(DrawIconEx(c.dc(), 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(c.at(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(c.at(3, 1), kGreen);
    EXPECT_EQ(c.at(2, 3), RGB(0, 0, 255));
  }
  {
    Canvas c(2, 2);
    ASSERT_TRUE(DrawIconEx(c.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_MASK));
    EXPECT_EQ(c.at(1, 0), RGB(255, 255, 255));   // the mask itself: white where see-through
    EXPECT_EQ(c.at(0, 1), RGB(0, 0, 0));
  }
  {
    Canvas c(2, 2);
    ASSERT_TRUE(DrawIconEx(c.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_IMAGE));
    EXPECT_EQ(c.at(1, 0), RGB(0, 0, 0));         // the colour image as it is
    EXPECT_EQ(c.at(0, 1), RGB(255, 0, 0));
  }
  Canvas c(2, 2);
  EXPECT_FALSE(DrawIcon(c.dc(), 0, 0, LongToHandle<HICON>(0x61234)));
  EXPECT_FALSE(DrawIcon(nullptr, 0, 0, icon));
  DestroyIcon(icon);
}

TEST(GetIconInfo, BitmapsMakeTheSameIconAgain) {
  HICON icon = LoadIcon(nullptr, "ICON1");
  ICONINFO info;
  ASSERT_TRUE(GetIconInfo(icon, info));
  BITMAP bm;
  ASSERT_TRUE(GetObject(info.hbmMask, sizeof bm, &bm));
  EXPECT_EQ(bm.bmWidth, 32);
  EXPECT_EQ(bm.bmHeight, 32);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  HICON copy = CreateIconIndirect(info);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  ASSERT_NE(copy, nullptr);
  Canvas a(32, 32), b(32, 32);
  DrawIcon(a.dc(), 0, 0, icon);
  DrawIcon(b.dc(), 0, 0, copy);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) ASSERT_EQ(a.at(x, y), b.at(x, y)) << x << "," << y;
  DestroyIcon(copy);
  EXPECT_FALSE(GetIconInfo(nullptr, info));
}

TEST(DestroyIcon, FreesOwnIconsAndKeepsSharedOnes) {
  const int before = icon::ownedCount();
  HICON own = static_cast<HICON>(LoadImage(nullptr, "ICON1", IMAGE_ICON, 0, 0, 0));
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(icon::ownedCount(), before + 1);
  EXPECT_TRUE(DestroyIcon(own));
  EXPECT_EQ(icon::ownedCount(), before);
  EXPECT_FALSE(icon::isIcon(own));
  EXPECT_FALSE(DestroyIcon(own)) << "a second destroy finds nothing";

  // A shared icon outlives DestroyIcon: a window class may still hold it.
  HICON shared = LoadIcon(nullptr, "ICON1");
  EXPECT_TRUE(DestroyIcon(shared));
  EXPECT_TRUE(icon::isIcon(shared));
  EXPECT_EQ(static_cast<HICON>(LoadImage(nullptr, "ICON1", IMAGE_ICON, 32, 32, LR_SHARED)), shared);
  EXPECT_TRUE(DestroyIcon(LoadIcon(nullptr, IDI_HAND)));
}

TEST(LoadImage, BitmapTransparentColourTakesWindowColour) {
  // Bitmap 400 is 2 x 2: blue, white / red, green; its top-left blue is the see-through colour.
  HBITMAP plain = static_cast<HBITMAP>(LoadImage(nullptr, MAKEINTRESOURCE(400), IMAGE_BITMAP, 0, 0, 0));
  HBITMAP clear = static_cast<HBITMAP>(LoadImage(nullptr, MAKEINTRESOURCE(400), IMAGE_BITMAP, 0, 0, LR_LOADTRANSPARENT));
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(clear, nullptr);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, plain);
  EXPECT_EQ(GetPixel(mem, 0, 0), RGB(0, 0, 255));
  SelectObject(mem, clear);
  EXPECT_EQ(GetPixel(mem, 0, 0), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(GetPixel(mem, 1, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mem, 0, 1), RGB(255, 0, 0));
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(plain);
  DeleteObject(clear);
  EXPECT_EQ(LoadImage(nullptr, MAKEINTRESOURCE(999), IMAGE_BITMAP, 0, 0, LR_LOADTRANSPARENT), nullptr);
  EXPECT_EQ(LoadImage(nullptr, "ICON1", IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
}
