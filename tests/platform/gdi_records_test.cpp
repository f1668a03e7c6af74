// Logical palettes on true-colour surfaces, and enhanced metafiles recorded in memory and
// played back on other device contexts.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gdi.h"

namespace {

using namespace win;

// A white colour bitmap in a memory DC.
struct Canvas {
  Canvas(int width, int height) : w(width), h(height) {
    dc = CreateCompatibleDC(nullptr);
    bm = CreateBitmap(w, h, 1, 32, nullptr);
    old = SelectObject(dc, bm);
    HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
    RECT r{0, 0, w, h};
    FillRect(dc, r, b);
    DeleteObject(b);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bm);
  }
  std::vector<COLORREF> pixels() const {
    std::vector<COLORREF> p;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) p.push_back(GetPixel(dc, x, y));
    return p;
  }
  int w, h;
  HDC dc;
  HBITMAP bm;
  HGDIOBJ old;
};

HPALETTE makePalette(std::initializer_list<COLORREF> colours, BYTE flags = 0) {
  std::vector<unsigned char> block(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(block.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(colours.size());
  int i = 0;
  for (COLORREF c : colours)
    lp->palPalEntry[i++] = PALETTEENTRY{static_cast<BYTE>(c & 0xFF), static_cast<BYTE>((c >> 8) & 0xFF),
                                        static_cast<BYTE>((c >> 16) & 0xFF), flags};
  return CreatePalette(lp);
}

COLORREF drawIndex(Canvas& c, WORD index) {
  SetPixel(c.dc, 0, 0, PALETTEINDEX(index));
  return GetPixel(c.dc, 0, 0);
}

TEST(Palette, IndexColoursDrawTheRealisedEntries) {
  Canvas c(4, 4);
  HPALETTE pal = makePalette({RGB(10, 20, 30), RGB(200, 0, 0), RGB(0, 0, 200)});
  ASSERT_NE(pal, nullptr);
  // Without a palette of its own the DC draws the default palette's static colours.
  EXPECT_EQ(drawIndex(c, 13), RGB(255, 0, 0));
  HPALETTE old = SelectPalette(c.dc, pal, FALSE);
  EXPECT_EQ(drawIndex(c, 1), RGB(200, 0, 0));
  EXPECT_EQ(drawIndex(c, 7), RGB(10, 20, 30)) << "beyond the palette: entry 0";

  // A changed entry shows only once the palette is realised again.
  const PALETTEENTRY green{0, 180, 0, 0};
  EXPECT_EQ(UnrealizeObject(pal), TRUE);
  EXPECT_EQ(SetPaletteEntries(pal, 1, 1, &green), 1u);
  EXPECT_EQ(drawIndex(c, 1), RGB(200, 0, 0));
  EXPECT_EQ(RealizePalette(c.dc), 3u);
  EXPECT_EQ(drawIndex(c, 1), RGB(0, 180, 0));

  EXPECT_EQ(DeleteObject(pal), FALSE) << "a selected palette is not deleted";
  SelectPalette(c.dc, old, FALSE);
  EXPECT_EQ(DeleteObject(pal), TRUE);
}

TEST(Palette, AnimationChangesReservedEntriesAtOnce) {
  Canvas c(2, 2);
  HPALETTE pal = makePalette({RGB(1, 1, 1), RGB(2, 2, 2)}, PC_RESERVED);
  HPALETTE plain = makePalette({RGB(1, 1, 1)});
  SelectPalette(c.dc, pal, FALSE);
  const PALETTEENTRY e{90, 80, 70, 0};
  EXPECT_EQ(AnimatePalette(pal, 1, 1, &e), TRUE);
  EXPECT_EQ(drawIndex(c, 1), RGB(90, 80, 70));
  EXPECT_EQ(AnimatePalette(plain, 0, 1, &e), TRUE);
  PALETTEENTRY back{};
  GetPaletteEntries(plain, 0, 1, &back);
  EXPECT_EQ(back.peRed, 1) << "entries not made for animation stay";
  SelectPalette(c.dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
  DeleteObject(pal);
  DeleteObject(plain);
}

TEST(Palette, NearestIndexTakesTheLowestOnATie) {
  HPALETTE pal = makePalette({RGB(0, 0, 0), RGB(100, 0, 0), RGB(100, 0, 0), RGB(255, 255, 255)});
  EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(110, 5, 0)), 1u);
  EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(250, 250, 240)), 3u);
  EXPECT_EQ(GetNearestPaletteIndex(nullptr, 0), CLR_INVALID_INDEX);
  DeleteObject(pal);
}

// Everything the graphics layer draws on a metafile: pens (thin, wide, user dashes), solid
// and pattern brushes, raster operations, clipping, figures, pixels, text and shading.
void picture(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, red);
  MoveToEx(dc, 2, 2, nullptr);
  LineTo(dc, 60, 30);
  LOGBRUSH lb{BS_SOLID, RGB(0, 0, 255), 0};
  const DWORD dashes[2] = {6, 3};
  HPEN dashed = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 2, lb, 2, dashes);
  SelectObject(dc, dashed);
  const POINT run[4] = {{5, 40}, {30, 45}, {50, 60}, {70, 42}};
  Polyline(dc, run, 4);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
  HGDIOBJ oldBrush = SelectObject(dc, green);
  Ellipse(dc, 62, 4, 90, 24);
  Pie(dc, 4, 50, 30, 76, 30, 63, 17, 50);
  Arc(dc, 34, 50, 60, 76, 60, 63, 34, 63);
  HBITMAP bits = CreateBitmap(8, 8, 1, 32, nullptr);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ oldBits = SelectObject(mem, bits);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixel(mem, x, y, (x + y) % 2 ? RGB(255, 200, 0) : RGB(0, 0, 0));
  SelectObject(mem, oldBits);
  DeleteDC(mem);
  HBRUSH pattern = CreatePatternBrush(bits);
  SelectObject(dc, pattern);
  SelectObject(dc, GetStockObject(NULL_PEN));
  const POINT tri[3] = {{70, 50}, {95, 75}, {60, 75}};
  Polygon(dc, tri, 3);
  HRGN clip = CreateRectRgn(0, 0, 40, 100);
  SelectClipRgn(dc, clip);
  SetROP2(dc, R2_XORPEN);
  SelectObject(dc, green);
  Rectangle(dc, 20, 20, 80, 35);
  SelectClipRgn(dc, nullptr);
  SetROP2(dc, R2_COPYPEN);
  for (int x = 0; x < 10; ++x) SetPixel(dc, 80 + x, 90, RGB(0, 0, 0));
  HFONT font = CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetTextColor(dc, RGB(128, 0, 128));
  SetTextAlign(dc, TA_BASELINE);
  TextOut(dc, 4, 95, "Flow", 4);
  TRIVERTEX v[3];
  v[0] = {40, 80, 0xFF00, 0, 0, 0};
  v[1] = {60, 99, 0, 0xFF00, 0, 0};
  v[2] = {75, 80, 0, 0, 0xFF00, 0};
  GRADIENT_TRIANGLE t{0, 1, 2};
  GradientFill(dc, v, 3, &t, 1, GRADIENT_FILL_TRIANGLE);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  for (HGDIOBJ o : {static_cast<HGDIOBJ>(red), static_cast<HGDIOBJ>(dashed), static_cast<HGDIOBJ>(green),
                    static_cast<HGDIOBJ>(pattern), static_cast<HGDIOBJ>(bits), static_cast<HGDIOBJ>(clip),
                    static_cast<HGDIOBJ>(font)})
    DeleteObject(o);
}

HENHMETAFILE record(const std::function<void(HDC)>& draw, int w, int h) {
  HDC rec = CreateEnhMetaFile(nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(rec, nullptr);
  SetWindowExtEx(rec, w, h, nullptr);
  draw(rec);
  return CloseEnhMetaFile(rec);
}

TEST(PlayEnhMetaFile, GivesThePixelsOfDrawingDirectly) {
  Canvas direct(100, 100), played(100, 100);
  picture(direct.dc);
  HENHMETAFILE mf = record(picture, 100, 100);
  ASSERT_NE(mf, nullptr);
  EXPECT_EQ(PlayEnhMetaFile(played.dc, mf, RECT{0, 0, 100, 100}), TRUE);
  EXPECT_EQ(played.pixels(), direct.pixels());
  // The player leaves the device context as it found it.
  EXPECT_EQ(GetROP2(played.dc), R2_COPYPEN);
  EXPECT_EQ(GetCurrentObject(played.dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(played.dc, probe), 0);
  DeleteObject(probe);
  DeleteEnhMetaFile(mf);
}

// A picture drawn under a world transform: a quarter turn or a mirror is recorded as the
// picture lands on the page, so that the recording played back gives the pixels of drawing
// directly; a turn the page axes cannot hold leaves no record.
TEST(PlayEnhMetaFile, PicturesUnderAQuarterTurnOrMirrorAsDrawnDirectly) {
  // 4 x 3 pixels, each its own colour, bottom-up.
  std::vector<std::uint32_t> bits(12);
  for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<std::uint32_t>(0x102030 * (i + 1)) & 0xFFFFFF;
  BITMAPINFO bi;
  bi.bmiHeader.biWidth = 4;
  bi.bmiHeader.biHeight = 3;
  bi.bmiHeader.biBitCount = 32;
  struct Case {
    const char* why;
    XFORM turn;
  };
  const Case cases[] = {
      {"a quarter turn", XFORM{0, -1, 1, 0, 5, 30}},
      {"a half turn", XFORM{-1, 0, 0, -1, 30, 30}},
      {"three quarters", XFORM{0, 1, -1, 0, 30, 5}},
      {"mirrored across", XFORM{-1, 0, 0, 1, 32, 2}},
      {"turned and doubled", XFORM{0, 2, 2, 0, 1, 1}},
  };
  for (const Case& c : cases) {
    auto draw = [&c, &bits, &bi](HDC dc) {
      SetGraphicsMode(dc, GM_ADVANCED);
      SetWorldTransform(dc, &c.turn);
      EXPECT_EQ(StretchDIBits(dc, 2, 3, 8, 6, 0, 0, 4, 3, bits.data(), &bi, DIB_RGB_COLORS, SRCCOPY), 3) << c.why;
      ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
      SetGraphicsMode(dc, GM_COMPATIBLE);
      // A mark at the page's corner, so that played and drawn pictures share their space.
      SetPixel(dc, 0, 0, RGB(0, 0, 0));
      SetPixel(dc, 39, 39, RGB(0, 0, 0));
    };
    Canvas direct(40, 40), played(40, 40);
    draw(direct.dc);
    HENHMETAFILE mf = record(draw, 40, 40);
    ASSERT_NE(mf, nullptr);
    PlayEnhMetaFile(played.dc, mf, RECT{0, 0, 40, 40});
    const std::vector<COLORREF> a = direct.pixels(), b = played.pixels();
    EXPECT_EQ(b, a) << c.why;
    long ink = 0;
    for (COLORREF p : a) ink += p != RGB(255, 255, 255);
    EXPECT_EQ(ink, 2 + (c.turn.eM12 == 2 ? 4 * 48 : 48)) << c.why << ": the whole picture and the two marks";
    DeleteEnhMetaFile(mf);
  }
  // An eighth of a turn: no record (the call says so), the page stays blank.
  HDC rec = CreateEnhMetaFile(nullptr, nullptr, nullptr, nullptr);
  SetGraphicsMode(rec, GM_ADVANCED);
  const XFORM eighth{0.7071f, -0.7071f, 0.7071f, 0.7071f, 10, 20};
  SetWorldTransform(rec, &eighth);
  EXPECT_EQ(StretchDIBits(rec, 2, 3, 8, 6, 0, 0, 4, 3, bits.data(), &bi, DIB_RGB_COLORS, SRCCOPY), 0);
  DeleteEnhMetaFile(CloseEnhMetaFile(rec));
}

TEST(PlayEnhMetaFile, MapsTheRecordingOntoTheRectangle) {
  auto square = [](HDC dc) {
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Rectangle(dc, 2, 2, 7, 7);   // null pen: pixels 2..5
  };
  HENHMETAFILE mf = record(square, 10, 10);
  Canvas moved(30, 30);
  PlayEnhMetaFile(moved.dc, mf, RECT{10, 5, 20, 15});
  EXPECT_EQ(GetPixel(moved.dc, 12, 7), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(moved.dc, 15, 10), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(moved.dc, 16, 10), RGB(255, 255, 255));
  Canvas doubled(30, 30);
  PlayEnhMetaFile(doubled.dc, mf, RECT{0, 0, 20, 20});
  EXPECT_EQ(GetPixel(doubled.dc, 4, 4), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(doubled.dc, 11, 11), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(doubled.dc, 3, 3), RGB(255, 255, 255));
  DeleteEnhMetaFile(mf);
}

TEST(PlayEnhMetaFile, EmptySpaceOrRectangleDrawsNothing) {
  HENHMETAFILE mf = record([](HDC dc) { Rectangle(dc, 0, 0, 5, 5); }, 10, 10);
  Canvas c(10, 10);
  const auto before = c.pixels();
  EXPECT_EQ(PlayEnhMetaFile(c.dc, mf, RECT{0, 0, 0, 10}), TRUE);
  EXPECT_EQ(PlayEnhMetaFile(c.dc, mf, RECT{3, 3, 3, 3}), TRUE);
  EXPECT_EQ(c.pixels(), before);
  HDC rec = CreateEnhMetaFile(nullptr, nullptr, nullptr, nullptr);
  HENHMETAFILE empty = CloseEnhMetaFile(rec);
  EXPECT_EQ(PlayEnhMetaFile(c.dc, empty, RECT{0, 0, 10, 10}), TRUE);
  EXPECT_EQ(c.pixels(), before);
  EXPECT_EQ(PlayEnhMetaFile(c.dc, nullptr, RECT{0, 0, 10, 10}), FALSE);
  DeleteEnhMetaFile(mf);
  DeleteEnhMetaFile(empty);
}

// Pens are deleted and made again with each colour change, and the new one often gets the
// old one's handle: the recording must still see a new pen.
TEST(CreateEnhMetaFile, ANewObjectUnderAReusedHandleIsRecordedAgain) {
  auto draw = [](HDC dc) {
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(dc, red);
    MoveToEx(dc, 0, 1, nullptr);
    LineTo(dc, 10, 1);
    SelectObject(dc, old);
    DeleteObject(red);
    HPEN blue = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    SelectObject(dc, blue);
    MoveToEx(dc, 0, 3, nullptr);
    LineTo(dc, 10, 3);
    SelectObject(dc, old);
    DeleteObject(blue);
  };
  HENHMETAFILE mf = record(draw, 12, 5);
  Canvas c(12, 5);
  PlayEnhMetaFile(c.dc, mf, RECT{0, 0, 12, 5});
  EXPECT_EQ(GetPixel(c.dc, 5, 1), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(c.dc, 5, 3), RGB(0, 0, 255));
  DeleteEnhMetaFile(mf);
}

TEST(PlayEnhMetaFile, KeepsWithinTheClipRegionOfTheDeviceContext) {
  HENHMETAFILE mf = record([](HDC dc) {
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    HRGN r = CreateRectRgn(0, 0, 8, 8);
    SelectClipRgn(dc, r);
    DeleteObject(r);
    Rectangle(dc, 0, 0, 10, 10);
  }, 10, 10);
  Canvas c(10, 10);
  HRGN left = CreateRectRgn(0, 0, 4, 10);
  SelectClipRgn(c.dc, left);
  PlayEnhMetaFile(c.dc, mf, RECT{0, 0, 10, 10});
  SelectClipRgn(c.dc, nullptr);
  EXPECT_EQ(GetPixel(c.dc, 3, 3), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(c.dc, 5, 3), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(c.dc, 3, 9), RGB(255, 255, 255)) << "the recorded region still applies";
  DeleteObject(left);
  DeleteEnhMetaFile(mf);
}

TEST(CreateEnhMetaFile, RecordsInMemory) {
  const RECT frame{0, 0, 2540, 1270};
  HDC rec = CreateEnhMetaFile(nullptr, nullptr, &frame, nullptr);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(GetDeviceCaps(rec, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(rec, HORZRES), 1280);
  Rectangle(rec, 1, 1, 4, 4);
  HENHMETAFILE mf = CloseEnhMetaFile(rec);
  ENHMETAHEADER head;
  ASSERT_EQ(GetEnhMetaFileHeader(mf, sizeof head, &head), sizeof head);
  EXPECT_EQ(head.rclFrame.right, 2540);
  EXPECT_EQ(head.rclBounds.left, 1);
  EXPECT_EQ(head.rclBounds.right, 3);
  HENHMETAFILE copy = CopyEnhMetaFile(mf, nullptr);
  EXPECT_NE(copy, nullptr);
  EXPECT_EQ(DeleteEnhMetaFile(mf), TRUE);
  EXPECT_EQ(DeleteEnhMetaFile(mf), FALSE);
  EXPECT_EQ(DeleteEnhMetaFile(copy), TRUE);
}

}  // namespace

namespace {

TEST(CreateEnhMetaFile, MeasuresTextForTheReferenceDevice) {
  win::HDC rec = win::CreateEnhMetaFile(nullptr, nullptr, nullptr, nullptr);
  win::HFONT font = win::CreateFont(-11, 0, 0, 0, win::FW_NORMAL, 0, 0, 0, win::ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  win::HGDIOBJ old = win::SelectObject(rec, font);
  win::TEXTMETRIC tm;
  ASSERT_TRUE(win::GetTextMetrics(rec, tm));
  EXPECT_EQ(tm.tmHeight, 12);
  win::SIZE size;
  ASSERT_TRUE(win::GetTextExtentPoint32(rec, "Hello", 5, size));
  EXPECT_EQ(size.cx, 24);
  win::SelectObject(rec, old);
  win::DeleteEnhMetaFile(win::CloseEnhMetaFile(rec));
  win::DeleteObject(font);
}

}  // namespace
