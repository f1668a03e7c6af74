// Metafile files (enhanced and Windows, placeable): the byte layouts, failures to write
// reported, and the files read by independent renderers (emf2svg-conv, libwmf's wmf2svg).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/printer.h"
#include "tests/support/tools.h"
#include "tests/support/files.h"

namespace {

using namespace win;
namespace fs = std::filesystem;

uint32_t u32(const std::vector<BYTE>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

std::string readText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A picture with lines, a filled rectangle, a filled polygon and a text: in 1/10 points on
// an anisotropic page (Windows metafiles), else in pixels a tenth of that (enhanced).
void drawPicture(HDC dc, bool anisotropic = false) {
  const int k = anisotropic ? 1 : 10;
  if (anisotropic) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 7561, 5401, nullptr);
  }
  SetBkMode(dc, TRANSPARENT);
  HPEN pen = CreatePen(PS_SOLID, 20 / k, RGB(0, 0, 255));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  MoveToEx(dc, 500 / k, 500 / k, nullptr);
  LineTo(dc, 7000 / k, 5000 / k);
  const POINT zig[] = {{500 / k, 4500 / k}, {2000 / k, 3000 / k}, {3500 / k, 4500 / k}, {5000 / k, 3000 / k}};
  Polyline(dc, zig, 4);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ oldBrush = SelectObject(dc, red);
  SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, 4000 / k, 500 / k, 6000 / k, 1500 / k);
  HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
  SelectObject(dc, green);
  const POINT tri[] = {{1000 / k, 1000 / k}, {2500 / k, 1000 / k}, {1750 / k, 2200 / k}};
  Polygon(dc, tri, 3);
  HFONT font = CreateFont(-300 / k, 0, 0, 0, 700, 0, 0, 0, 0, 2, 1, 0, 0x22, "Arial");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetTextColor(dc, RGB(0, 0, 0));
  SetTextAlign(dc, 0x18);
  TextOut(dc, 3000 / k, 2500 / k, "Daily flow", 10);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(font);
  DeleteObject(green);
  DeleteObject(red);
  DeleteObject(pen);
}

const RECT kFrame{0, 0, 26670, 19050};  // 756 x 540 points in 1/100 mm

TEST(EnhMetafileFile, RecordsChainToTheEndAndTheHeaderCountsThem) {
  HDC rec = CreateEnhMetaFile(nullptr, nullptr, &kFrame, "VXK metafile driver\0Flow\0");
  ASSERT_NE(rec, nullptr);
  drawPicture(rec);
  HENHMETAFILE mf = CloseEnhMetaFile(rec);
  const UINT n = GetEnhMetaFileBits(mf, 0, nullptr);
  ASSERT_GT(n, 108u);
  std::vector<BYTE> b(n);
  ASSERT_EQ(GetEnhMetaFileBits(mf, n, b.data()), n);
  EXPECT_EQ(GetEnhMetaFileBits(mf, n - 1, b.data()), 0u);
  EXPECT_EQ(u32(b, 0), 1u);
  EXPECT_EQ(u32(b, 40), 0x464D4520u);
  EXPECT_EQ(u32(b, 48), n) << "bytes in the header";
  EXPECT_EQ(u32(b, 24 + 8), 26670u);
  // The description: UTF-16, both NULs at its end counted.
  EXPECT_EQ(u32(b, 60), 26u);
  EXPECT_EQ(u32(b, 64), 108u);
  EXPECT_EQ(b[108], 'V');
  EXPECT_EQ(b[110], 'X');
  // A picture without a name keeps its name's NUL: three NULs end the description.
  HDC blank = CreateEnhMetaFile(nullptr, nullptr, &kFrame, "VXK metafile driver\0");
  ASSERT_NE(blank, nullptr);
  HENHMETAFILE unnamed = CloseEnhMetaFile(blank);
  std::vector<BYTE> h(GetEnhMetaFileBits(unnamed, 0, nullptr));
  ASSERT_GT(h.size(), 108u);
  GetEnhMetaFileBits(unnamed, static_cast<UINT>(h.size()), h.data());
  EXPECT_EQ(u32(h, 60), 22u);
  EXPECT_EQ(h[108 + 2 * 18], 'r') << "the name's last character";
  for (int i = 19; i < 22; ++i) EXPECT_EQ(h[108 + 2 * static_cast<size_t>(i)], 0) << i;
  DeleteEnhMetaFile(unnamed);
  size_t at = 0, records = 0, last = 0;
  while (at < n) {
    const uint32_t size = u32(b, at + 4);
    ASSERT_GT(size, 7u);
    ASSERT_EQ(size % 4, 0u);
    last = at;
    at += size;
    ++records;
  }
  EXPECT_EQ(at, n);
  EXPECT_EQ(u32(b, 52), records);
  EXPECT_EQ(u32(b, last), 14u) << "the end-of-file record closes it";
  EXPECT_EQ(u32(b, last + 16), 20u);
  DeleteEnhMetaFile(mf);
}

TEST(EnhMetafileFile, WrittenAtCloseOrTheFailureReported) {
  const fs::path dir = fs::temp_directory_path() / "tw_emf_file";
  fs::create_directories(dir);
  const std::string path = (dir / "pic.emf").string();
  HDC rec = CreateEnhMetaFile(nullptr, path.c_str(), &kFrame, nullptr);
  drawPicture(rec);
  HENHMETAFILE mf = CloseEnhMetaFile(rec);
  ASSERT_NE(mf, nullptr);
  EXPECT_EQ(fs::file_size(path), GetEnhMetaFileBits(mf, 0, nullptr));
  const std::string copy = (dir / "copy.emf").string();
  HENHMETAFILE c = CopyEnhMetaFile(mf, copy.c_str());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(readText(copy), readText(path));

  SetLastError(0);
  const std::string nowhere = (dir / "missing" / "pic.emf").string();
  HDC bad = CreateEnhMetaFile(nullptr, nowhere.c_str(), &kFrame, nullptr);
  ASSERT_NE(bad, nullptr);
  drawPicture(bad);
  EXPECT_EQ(CloseEnhMetaFile(bad), nullptr);
  EXPECT_NE(GetLastError(), 0u);
  EXPECT_FALSE(fs::exists(nowhere));
  SetLastError(0);
  EXPECT_EQ(CopyEnhMetaFile(mf, nowhere.c_str()), nullptr);
  EXPECT_NE(GetLastError(), 0u);
  DeleteEnhMetaFile(c);
  DeleteEnhMetaFile(mf);
}

TEST(EnhMetafileFile, Emf2svgDrawsTheLinesFillsAndText) {
  ASSERT_TRUE(tw::test::needtool("emf2svg-conv", "emf2svg"));
  const fs::path dir = fs::temp_directory_path() / "tw_emf_render";
  fs::create_directories(dir);
  const fs::path emf = dir / "picture.emf", svg = dir / "picture.svg";
  fs::remove(svg);
  HDC rec = CreateEnhMetaFile(nullptr, emf.c_str(), &kFrame, nullptr);
  drawPicture(rec);
  HENHMETAFILE mf = CloseEnhMetaFile(rec);
  ASSERT_NE(mf, nullptr);
  DeleteEnhMetaFile(mf);
  const std::string cmd = "emf2svg-conv -i " + emf.string() + " -o " + svg.string() + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::string out = readText(svg);
  EXPECT_NE(out.find("Daily flow"), std::string::npos) << out;
  EXPECT_NE(out.find("#0000FF"), std::string::npos) << "blue lines";
  EXPECT_NE(out.find("#FF0000"), std::string::npos) << "red rectangle";
  EXPECT_NE(out.find("#00A000"), std::string::npos) << "green triangle";
  EXPECT_NE(out.find("width=\"200"), std::string::npos) << "the rectangle keeps its size: " << out;
}

TEST(PlaceableMetafileHeader, DefaultPageAndPagesTooBigForTheBox) {
  const std::array<BYTE, 22> expected = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0x04, 0x29,
                                         0x4C, 0x1D, 0xE8, 0x03, 0, 0, 0, 0, 0xB1, 0x60};
  EXPECT_EQ(PlaceableMetafileHeader(756, 540), expected);
  struct Case { LONG w, h; int units; };
  for (const Case c : {Case{2359, 100, 1000}, Case{2360, 100, 999}, Case{100, 5000, 471}, Case{30000, 30000, 78}}) {
    const std::array<BYTE, 22> h = PlaceableMetafileHeader(c.w, c.h);
    auto word = [&h](int i) { return static_cast<uint16_t>(h[2 * i] | h[2 * i + 1] << 8); };
    EXPECT_EQ(word(7), c.units) << c.w << " x " << c.h;
    EXPECT_LE(word(5), 32767u);
    EXPECT_LE(word(6), 32767u);
    EXPECT_EQ(word(5), c.w * c.units / 72);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= word(i);
    EXPECT_EQ(word(10), sum);
  }
}

TEST(WindowsMetafileFile, PlaceableFileDrawnByLibwmf) {
  ASSERT_TRUE(tw::test::needtool("wmf2svg", "libwmf-bin"));
  const fs::path dir = fs::temp_directory_path() / "tw_wmf_render";
  fs::create_directories(dir);
  HDC rec = CreateMetaFile(nullptr);
  ASSERT_NE(rec, nullptr);
  drawPicture(rec, true);
  HMETAFILE mf = CloseMetaFile(rec);
  ASSERT_NE(mf, nullptr);
  const UINT n = GetMetaFileBitsEx(mf, 0, nullptr);
  std::vector<BYTE> bits(n);
  ASSERT_EQ(GetMetaFileBitsEx(mf, n, bits.data()), n);
  EXPECT_EQ(u32(bits, 6), n / 2) << "size in words";
  EXPECT_EQ(bits[n - 6], 3) << "ends with the three-word end record";
  const std::array<BYTE, 22> head = PlaceableMetafileHeader(756, 540);
  const fs::path wmf = dir / "picture.wmf", svg = dir / "picture.svg";
  {
    std::ofstream out(wmf, std::ios::binary);
    out.write(reinterpret_cast<const char*>(head.data()), head.size());
    out.write(reinterpret_cast<const char*>(bits.data()), bits.size());
  }
  fs::remove(svg);
  const std::string cmd = "wmf2svg -o " + svg.string() + " " + wmf.string() + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::string out = readText(svg);
  EXPECT_NE(tw::test::svgtexts(out).find("Daily flow"), std::string::npos) << out;
  EXPECT_NE(out.find("stroke:blue"), std::string::npos) << out;
  EXPECT_NE(out.find("fill:red"), std::string::npos) << "red rectangle";
  EXPECT_NE(out.find("fill:green"), std::string::npos) << "green triangle";

  // The plain file, and a file that cannot be written.
  const std::string plain = (dir / "plain.wmf").string();
  HMETAFILE c = CopyMetaFile(mf, plain.c_str());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(fs::file_size(plain), n);
  SetLastError(0);
  const std::string nowhere = (dir / "missing" / "x.wmf").string();
  HDC bad = CreateMetaFile(nowhere.c_str());
  drawPicture(bad, true);
  EXPECT_EQ(CloseMetaFile(bad), nullptr);
  EXPECT_NE(GetLastError(), 0u);
  DeleteMetaFile(c);
  DeleteMetaFile(mf);
}

TEST(RenderEnhMetaFilePng, ThePictureOnWhiteReadByPillow) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  HDC rec = CreateEnhMetaFile(nullptr, nullptr, nullptr, nullptr);
  drawPicture(rec);
  HENHMETAFILE mf = CloseEnhMetaFile(rec);
  EXPECT_TRUE(RenderEnhMetaFilePng(mf, 0, 10).empty());
  EXPECT_TRUE(RenderEnhMetaFilePng(nullptr, 10, 10).empty());
  const std::vector<BYTE> png = RenderEnhMetaFilePng(mf, 701, 501);
  ASSERT_GT(png.size(), 8u);
  const fs::path file = fs::temp_directory_path() / "tw_emf_picture.png";
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
  // Red rectangle, green triangle, white elsewhere, at the recorded pixels.
  const std::string cmd = "/usr/bin/python3 -c \"from PIL import Image; i = Image.open('" + file.string() +
                          "').convert('RGB'); print(i.size, i.getpixel((500, 100)), i.getpixel((175, 120)), "
                          "i.getpixel((650, 300)))\" > " + file.string() + ".txt";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(readText(file.string() + ".txt"), "(701, 501) (255, 0, 0) (0, 160, 0) (255, 255, 255)\n");
  DeleteEnhMetaFile(mf);
}


// Every kind of record the recorder keeps, besides drawPicture's.
void drawMore(HDC dc) {
  LOGBRUSH lb{BS_SOLID, RGB(128, 0, 128), 0};
  const DWORD dashes[] = {12, 6};
  HPEN dashed = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 3, lb, 2, dashes);
  HGDIOBJ oldPen = SelectObject(dc, dashed);
  MoveToEx(dc, 20, 520, nullptr);
  LineTo(dc, 700, 520);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 200));
  HGDIOBJ oldBrush = SelectObject(dc, blue);
  Ellipse(dc, 600, 200, 700, 260);
  Pie(dc, 600, 300, 700, 400, 700, 350, 650, 300);
  Arc(dc, 450, 300, 550, 400, 550, 350, 450, 350);
  const POINT two[] = {{20, 300}, {80, 300}, {50, 350}, {100, 300}, {160, 300}, {130, 350}};
  const int counts[] = {3, 3};
  PolyPolygon(dc, two, counts, 2);
  for (int k = 0; k < 20; ++k) SetPixel(dc, 200 + 2 * k, 450, RGB(255, 128, 0));
  TRIVERTEX v[3] = {{300, 380, 0xFF00, 0, 0, 0}, {420, 380, 0, 0xFF00, 0, 0}, {360, 440, 0, 0, 0xFF00, 0}};
  GRADIENT_TRIANGLE t{0, 1, 2};
  GradientFill(dc, v, 3, &t, 1, GRADIENT_FILL_TRIANGLE);
  HRGN clip = CreateRectRgn(0, 460, 300, 500);
  SelectClipRgn(dc, clip);
  HBRUSH grey = CreateSolidBrush(RGB(90, 90, 90));
  SelectObject(dc, grey);
  Rectangle(dc, 0, 440, 400, 510);   // only its part inside the clip shows
  SelectClipRgn(dc, nullptr);
  const int dx[] = {14, 14, 14, 14};
  ExtTextOut(dc, 500, 450, 0, nullptr, "Rain", 4, dx);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(clip);
  DeleteObject(grey);
  DeleteObject(blue);
  DeleteObject(dashed);
}

std::vector<COLORREF> played(HDC source, int width, int height, const std::function<void(HDC)>& play) {
  (void)source;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(width, height, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bm);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, RECT{0, 0, width, height}, white);
  DeleteObject(white);
  play(dc);
  std::vector<COLORREF> px;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) px.push_back(GetPixel(dc, x, y));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bm);
  return px;
}

std::vector<BYTE> enhBytes(HENHMETAFILE mf) {
  std::vector<BYTE> b(GetEnhMetaFileBits(mf, 0, nullptr));
  GetEnhMetaFileBits(mf, static_cast<UINT>(b.size()), b.data());
  return b;
}

TEST(EnhMetafileBits, ReadBackThePicturePlaysPixelForPixel) {
  HDC rec = CreateEnhMetaFile(nullptr, nullptr, &kFrame, nullptr);
  drawPicture(rec);
  drawMore(rec);
  HENHMETAFILE mf = CloseEnhMetaFile(rec);
  const std::vector<BYTE> bytes = enhBytes(mf);
  HENHMETAFILE back = SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(enhBytes(back), bytes) << "the bytes written again are the bytes read";
  ENHMETAHEADER a, b;
  GetEnhMetaFileHeader(mf, sizeof a, &a);
  GetEnhMetaFileHeader(back, sizeof b, &b);
  EXPECT_EQ(b.rclFrame.right, kFrame.right);
  EXPECT_EQ(b.nRecords, a.nRecords);
  // The frame is 756 x 540 points: 1008 x 720 pixels; played at three quarters and smaller.
  for (const RECT box : {RECT{0, 0, 756, 540}, RECT{10, 20, 388, 290}}) {
    const auto want = played(nullptr, 760, 545, [&](HDC dc) { PlayEnhMetaFile(dc, mf, box); });
    const auto got = played(nullptr, 760, 545, [&](HDC dc) { PlayEnhMetaFile(dc, back, box); });
    int differ = 0;
    for (std::size_t i = 0; i < want.size(); ++i) differ += want[i] != got[i];
    EXPECT_EQ(differ, 0) << "box right " << box.right;
    EXPECT_EQ(got[static_cast<std::size_t>(box.top + (box.bottom - box.top) * 100 / 720) * 760 +
                  static_cast<std::size_t>(box.left + (box.right - box.left) * 500 / 1008)],
              RGB(255, 0, 0)) << "the red rectangle";
  }
  DeleteEnhMetaFile(back);
  DeleteEnhMetaFile(mf);
}

TEST(EnhMetafileBits, DamagedBytesAreRefusedWithoutReadingPastThem) {
  HDC rec = CreateEnhMetaFile(nullptr, nullptr, &kFrame, nullptr);
  drawPicture(rec);
  drawMore(rec);
  HENHMETAFILE mf = CloseEnhMetaFile(rec);
  const std::vector<BYTE> bytes = enhBytes(mf);
  DeleteEnhMetaFile(mf);
  // Every cut before the end record is refused; the copies live on the heap so a read past
  // their end is caught by the sanitiser builds.
  for (std::size_t n = 0; n + 20 < bytes.size(); n += 4) {
    std::vector<BYTE> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    HENHMETAFILE h = SetEnhMetaFileBits(static_cast<UINT>(cut.size()), cut.data());
    EXPECT_EQ(h, nullptr) << "cut at " << n;
    if (h) DeleteEnhMetaFile(h);
  }
  struct Case {
    const char* why;
    std::size_t at;
    uint32_t value;
  };
  const std::size_t first = u32(bytes, 4);   // the first record after the header
  const Case cases[] = {
      {"no signature", 40, 0x12345678},
      {"a total larger than the bytes", 48, 0x7FFFFFF0},
      {"a record size that is no multiple of four", first + 4, 10},
      {"a record size below its own header", first + 4, 4},
      {"a record size running past the end", first + 4, 0x7FFFFFF0},
  };
  for (const Case& c : cases) {
    std::vector<BYTE> bad = bytes;
    for (int i = 0; i < 4; ++i) bad[c.at + static_cast<std::size_t>(i)] = static_cast<BYTE>(c.value >> (8 * i));
    HENHMETAFILE h = SetEnhMetaFileBits(static_cast<UINT>(bad.size()), bad.data());
    EXPECT_EQ(h, nullptr) << c.why;
    if (h) DeleteEnhMetaFile(h);
  }
  EXPECT_EQ(SetEnhMetaFileBits(0, nullptr), nullptr);
}

// Found by fuzz_metafile: a header's millimetres overflowed when written again, and a pen
// millions of pixels wide took minutes to play.
TEST(EnhMetafileBits, NumbersBeyondAnyPictureAreKeptInReach) {
  HDC rec = CreateEnhMetaFile(nullptr, nullptr, &kFrame, nullptr);
  HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 255));
  SelectObject(rec, pen);
  MoveToEx(rec, 10, 10, nullptr);
  LineTo(rec, 40, 20);
  HENHMETAFILE mf = CloseEnhMetaFile(rec);
  std::vector<BYTE> bytes = enhBytes(mf);
  DeleteEnhMetaFile(mf);
  DeleteObject(pen);
  auto put = [&bytes](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<BYTE>(v >> (8 * i));
  };
  put(80, 0x7FFFFFF0);   // millimetres across
  for (size_t at = u32(bytes, 4); at + 8 <= bytes.size(); at += u32(bytes, at + 4))
    if (u32(bytes, at) == 38) put(at + 16, 0x7FFFFFF0);   // the pen's width
  HENHMETAFILE back = SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
  ASSERT_NE(back, nullptr);
  EXPECT_GT(enhBytes(back).size(), 100u);
  const auto px = played(nullptr, 48, 32, [back](HDC dc) { PlayEnhMetaFile(dc, back, RECT{0, 0, 48, 32}); });
  EXPECT_EQ(px.size(), 48u * 32u);
  DeleteEnhMetaFile(back);
}

TEST(WindowsMetafileBits, ReadBackPlaysOntoTheViewportAsTheRecording) {
  HDC rec = CreateMetaFile(nullptr);
  drawPicture(rec, true);
  HMETAFILE mf = CloseMetaFile(rec);
  std::vector<BYTE> bytes(GetMetaFileBitsEx(mf, 0, nullptr));
  GetMetaFileBitsEx(mf, static_cast<UINT>(bytes.size()), bytes.data());
  HMETAFILE back = SetMetaFileBitsEx(static_cast<UINT>(bytes.size()), bytes.data());
  ASSERT_NE(back, nullptr);
  auto onto = [](HMETAFILE m) {
    return played(nullptr, 400, 300, [m](HDC dc) {
      SetMapMode(dc, MM_ANISOTROPIC);
      SetViewportOrgEx(dc, 10, 5, nullptr);
      SetViewportExtEx(dc, 378, 270, nullptr);
      PlayMetaFile(dc, m);
    });
  };
  const auto want = onto(mf), got = onto(back);
  int differ = 0;
  for (std::size_t i = 0; i < want.size(); ++i) differ += want[i] != got[i];
  EXPECT_EQ(differ, 0);
  // The red rectangle (4000-6000, 500-1500 of 7561 x 5401) at half the tenth: 200-300, 25-75.
  EXPECT_EQ(got[static_cast<std::size_t>(5 + 50) * 400 + 10 + 250], RGB(255, 0, 0));
  EXPECT_EQ(got[static_cast<std::size_t>(5 + 50) * 400 + 10 + 320], RGB(255, 255, 255));
  // Truncations are refused.
  for (std::size_t n = 0; n + 6 < bytes.size(); n += 2) {
    std::vector<BYTE> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    HMETAFILE h = SetMetaFileBitsEx(static_cast<UINT>(cut.size()), cut.data());
    EXPECT_EQ(h, nullptr) << "cut at " << n;
    if (h) DeleteMetaFile(h);
  }
  DeleteMetaFile(back);
  DeleteMetaFile(mf);
}

TEST(PlayEnhMetaFile, TheWorldTransformTurnsThePictureByQuarterTurns) {
  // A red bar 40 x 10 at the top left of a 100 x 50 picture, a blue dot at its right end.
  const RECT frame{0, 0, 2646, 1323};
  HDC rec = CreateEnhMetaFile(nullptr, nullptr, &frame, nullptr);
  SetWindowExtEx(rec, 100, 50, nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  SelectObject(rec, red);
  SelectObject(rec, GetStockObject(NULL_PEN));
  Rectangle(rec, 0, 0, 40, 10);
  SetPixel(rec, 45, 5, RGB(0, 0, 255));
  HENHMETAFILE mf = CloseEnhMetaFile(rec);
  struct Case {
    int degrees;
    XFORM turn;
    POINT red, blue;   // where (20, 5) and (45, 5) of the box at (100, 100) land
  };
  // x' = x M11 + y M21 + dx, y' = x M12 + y M22 + dy.
  const Case cases[] = {
      {0, {1, 0, 0, 1, 0, 0}, {120, 105}, {145, 105}},
      {90, {0, -1, 1, 0, 0, 300}, {105, 180}, {105, 155}},
      {180, {-1, 0, 0, -1, 300, 300}, {180, 195}, {155, 195}},
      {270, {0, 1, -1, 0, 300, 0}, {195, 120}, {195, 145}},
  };
  for (const Case& c : cases) {
    const auto px = played(nullptr, 300, 300, [&](HDC dc) {
      SetGraphicsMode(dc, GM_ADVANCED);
      SetWorldTransform(dc, &c.turn);
      PlayEnhMetaFile(dc, mf, RECT{100, 100, 200, 150});
      ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
      SetGraphicsMode(dc, GM_COMPATIBLE);
    });
    auto at = [&px](POINT p) { return px[static_cast<std::size_t>(p.y) * 300 + static_cast<std::size_t>(p.x)]; };
    EXPECT_EQ(at(c.red), RGB(255, 0, 0)) << c.degrees;
    EXPECT_EQ(at(c.blue), RGB(0, 0, 255)) << c.degrees;
    int redCount = 0;
    for (COLORREF v : px) redCount += v == RGB(255, 0, 0);
    EXPECT_EQ(redCount, 39 * 9) << c.degrees << ": the bar keeps its pixels (without a pen a rectangle loses its right and bottom edges)";
  }
  DeleteEnhMetaFile(mf);
  DeleteObject(red);
}

}  // namespace
