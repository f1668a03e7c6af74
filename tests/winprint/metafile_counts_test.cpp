// The metafile drawing layer at the far end of its inputs, read by libwmf and emf2svg: lines
// and polygons of 70,000 points, 70,000 filled shapes (an object table that never fills),
// and the dotted pen of line type 1 at the default width.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "tests/support/tools.h"
#include "tests/hardcopy/driver_files.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/winprint/wmf.h"

namespace {

int u16(const std::string& b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}
std::uint32_t u32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(u16(b, at)) | (static_cast<std::uint32_t>(u16(b, at + 2)) << 16);
}

struct Record {
  int function;
  std::size_t at, words;
};

// The records of a placeable metafile (22-byte header, then the 18-byte metafile header).
std::vector<Record> records(const std::string& b) {
  std::vector<Record> out;
  for (std::size_t at = 40; at + 6 <= b.size();) {
    const std::size_t words = u32(b, at);
    if (words < 3 || at + 2 * words > b.size()) break;
    out.push_back(Record{u16(b, at + 4), at, words});
    at += 2 * words;
  }
  return out;
}

// A placeable metafile (or, kind 2, an enhanced one) of the page 756 x 540 points drawn by draw.
std::string recorded(const std::string& name, int kind, void (*draw)()) {
  const std::string path = hc::scratch(name).string();
  int w = 7560, h = 5400, status = -1, syserror = 0;
  const std::string file = path + std::string(1, '\0');
  const std::string desc = std::string("VXK metafile driver\0x\0\0", 23);
  yywmfopen(w, h, kind, 0, 10500, 7500, 0x60B1, 0, status, syserror, file, desc, static_cast<int>(file.size()),
            static_cast<int>(desc.size()));
  EXPECT_EQ(status, 0);
  draw();
  yywmfclose(status);
  EXPECT_EQ(status, 0);
  return path;
}

// RGB of points of an image file as Pillow reads them, each as a fraction of the width and height.
std::vector<std::array<int, 3>> pillow(const std::string& png, const std::vector<std::pair<double, double>>& at) {
  std::string list;
  for (auto [x, y] : at) list += "(" + std::to_string(x) + "," + std::to_string(y) + "),";
  const hc::Run r = hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
                            "im=Image.open('" + png + "').convert('RGB')\n"
                            "w,h=im.size\n"
                            "for x,y in [" + list + "]: print(*im.getpixel((int(x*w),int(y*h))))\"");
  std::istringstream in(r.output);
  std::vector<std::array<int, 3>> out;
  for (std::size_t k = 0; k < at.size(); ++k) {
    std::array<int, 3> c{-1, -1, -1};
    in >> c[0] >> c[1] >> c[2];
    out.push_back(c);
  }
  return out;
}

std::size_t occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

constexpr int kPolyline = 0x0325, kPolygon = 0x0324, kPolyPolygon = 0x0538, kDelete = 0x01F0, kCreatePen = 0x02FA;
constexpr int kPoints = 70000;

// A zigzag of 70,000 points across the page: every point a corner.
void zigzag() {
  gPoints.resize(kPoints);
  for (int i = 0; i < kPoints; ++i) gPoints[static_cast<std::size_t>(i)] = win::POINT{100 + i / 10, i % 2 ? 600 : 4800};
  yywmfcolour(0, 0, 0);
  yywmflinewidth(1);
  yywmflinetype(0);
  yywmfpolyline(kPoints);
}

// The point counts are signed 16-bit numbers to readers: a long line goes in records of at
// most 32,767 points, each starting at the last one's end, and libwmf draws all of it.
TEST(MetafileCounts, LongPolylinesAreWholeInLibwmf) {
  ASSERT_TRUE(tw::test::needtool("wmf2svg", "libwmf-bin"));
  const std::string path = recorded("zigzag.wmf", 1, zigzag);
  const std::string b = tw::test::slurp(path);
  std::size_t total = 0, pieces = 0;
  for (const Record& r : records(b)) {
    if (r.function != kPolyline) continue;
    const int n = u16(b, r.at + 6);
    EXPECT_LE(n, 32767);
    total += static_cast<std::size_t>(n);
    ++pieces;
  }
  ASSERT_GE(pieces, 3u);
  EXPECT_EQ(total, kPoints + pieces - 1) << "each piece starts where the last ended";
  const std::string svg = path + ".svg";
  const hc::Run run = hc::run("wmf2svg -o '" + svg + "' '" + path + "'");
  ASSERT_EQ(run.status, 0) << run.output;
  // libwmf writes each polyline's points as "x,y" pairs.
  const std::string s = tw::test::slurp(svg);
  EXPECT_GE(occurrences(s, ","), static_cast<std::size_t>(kPoints)) << "libwmf drew fewer points";
}

// An L of 70,000 points filled red: polygons of at most 32,767 points that tile it, which
// libwmf fills as the L, the notch left white. (One polypolygon of fans would keep the fill
// too, but libwmf's renderer fails on 65,534 points or more in one record.)
void ell() {
  const std::array<win::POINT, 6> corner = {win::POINT{1000, 1000}, {6000, 1000}, {6000, 2500},
                                            {2500, 2500}, {2500, 4500}, {1000, 4500}};
  gPoints.clear();
  for (std::size_t k = 0; k < corner.size(); ++k) {
    const win::POINT a = corner[k], z = corner[(k + 1) % corner.size()];
    const int steps = kPoints / 6;
    for (int i = 0; i < steps; ++i)
      gPoints.push_back(win::POINT{a.x + (z.x - a.x) * i / steps, a.y + (z.y - a.y) * i / steps});
  }
  yywmfcolour(255, 0, 0);
  yywmfpolygon(static_cast<int>(gPoints.size()));
}

TEST(MetafileCounts, LongPolygonsFillAsOneInLibwmf) {
  ASSERT_TRUE(tw::test::needtool("wmf2gd", "libwmf-bin"));
  const std::string path = recorded("ell.wmf", 1, ell);
  const std::string b = tw::test::slurp(path);
  int polygons = 0, polypolygons = 0;
  for (const Record& r : records(b)) {
    polypolygons += r.function == kPolyPolygon;
    if (r.function != kPolygon) continue;
    ++polygons;
    EXPECT_LE(u16(b, r.at + 6), 32767);
  }
  EXPECT_GE(polygons, 3);
  EXPECT_EQ(polypolygons, 0);
  const std::string png = path + ".png";
  const hc::Run run = hc::run("wmf2gd -t png -o '" + png + "' '" + path + "'");
  ASSERT_EQ(run.status, 0) << run.output;
  // libwmf's picture spans what is drawn: the L's box, 1000-6000 across, 1000-4500 down.
  auto at = [](double x, double y) { return std::pair{(x - 1000) / 5000, (y - 1000) / 3500}; };
  const auto c = pillow(png, {at(1500, 1500), at(5500, 2000), at(1500, 4000), at(4500, 3800), at(2000, 4300)});
  const std::array<int, 3> red{255, 0, 0}, white{255, 255, 255};
  EXPECT_EQ(c[0], red);
  EXPECT_EQ(c[1], red);
  EXPECT_EQ(c[2], red);
  EXPECT_EQ(c[3], white) << "the notch stays empty";
  EXPECT_EQ(c[4], red);
}

// Each filled rectangle makes a brush and deletes it: the deletions are recorded and the
// freed slot is taken again, so 70,000 of them need a table of a few objects (the header
// counted 65,535 and wrapped; libwmf stopped with "Object out of range!").
void rectangles() {
  for (int i = 0; i < kPoints; ++i) {
    yywmfcolour(i % 256, (i / 256) % 256, 128);
    const int x = 100 + (i % 350) * 20, y = 100 + (i / 350) * 25;
    yywmfrectangle(x, y, x + 15, y + 20);
  }
}

TEST(MetafileCounts, DeletedObjectsFreeTheirSlots) {
  ASSERT_TRUE(tw::test::needtool("wmf2svg", "libwmf-bin"));
  const std::string path = recorded("fills.wmf", 1, rectangles);
  const std::string b = tw::test::slurp(path);
  EXPECT_LE(u16(b, 22 + 10), 4) << "objects in the header's table";
  const auto rs = records(b);
  EXPECT_GE(std::count_if(rs.begin(), rs.end(), [](const Record& r) { return r.function == kDelete; }), kPoints);
  const std::string svg = path + ".svg";
  const hc::Run run = hc::run("wmf2svg -o '" + svg + "' '" + path + "' 2>&1");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output.find("out of range"), std::string::npos) << run.output;
  const std::string s = tw::test::slurp(svg);
  EXPECT_GE(occurrences(s, "<rect") + occurrences(s, "<polygon"), static_cast<std::size_t>(kPoints));
}

TEST(MetafileCounts, EnhancedMetafileObjectTableStaysSmall) {
  ASSERT_TRUE(tw::test::needtool("emf2svg-conv", "emf2svg"));
  const std::string path = recorded("fills.emf", 2, rectangles);
  const std::string b = tw::test::slurp(path);
  ASSERT_GT(b.size(), 108u);
  EXPECT_LE(u16(b, 56), 8) << "handles in the header";
  const std::string svg = path + ".svg";
  const hc::Run run = hc::run("emf2svg-conv -i '" + path + "' -o '" + svg + "' 2>&1");
  ASSERT_EQ(run.status, 0) << run.output;
  const std::string s = tw::test::slurp(svg);
  const int last = kPoints - 1;
  char colour[16];
  std::snprintf(colour, sizeof colour, "#%02X%02X80", last % 256, (last / 256) % 256);
  std::string upper = s;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char ch) { return std::toupper(ch); });
  EXPECT_NE(upper.find(colour), std::string::npos) << colour;
}

// Line type 1 at the metafile driver's default width of 5 units: the pen is recorded with
// the dotted style the layer asked for (not made solid by the width), libwmf draws it with
// gaps, and so does the platform's own player (the clipboard's picture). Drawn directly,
// a wide dotted pen stays solid, as the screen's drawing relies on.
void dotted() {
  yywmfcolour(0, 0, 0);
  yywmflinewidth(5);
  yywmflinetype(1);
  for (int y = 500; y < 5000; y += 500) yywmfline(300, y, 7300, y);
  for (int x = 500; x < 7500; x += 500) yywmfline(x, 300, x, 5100);
}

// The most changes of colour along any row of a picture: many for a dotted line.
int changes(const std::string& png) {
  const hc::Run r = hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
                            "im=Image.open('" + png + "').convert('L')\n"
                            "w,h=im.size\n"
                            "rows=[[im.getpixel((x,y)) < 128 for x in range(w)] for y in range(h)]\n"
                            "print(max(sum(1 for a,b in zip(row,row[1:]) if a!=b) for row in rows))\"");
  return std::atoi(r.output.c_str());
}

TEST(MetafileCounts, DottedLineTypeIsDottedInLibwmfAndThePlayer) {
  ASSERT_TRUE(tw::test::needtool("wmf2gd", "libwmf-bin"));
  const std::string path = recorded("dotted.wmf", 1, dotted);
  const std::string b = tw::test::slurp(path);
  const auto rs = records(b);
  const auto made = std::find_if(rs.begin(), rs.end(), [](const Record& r) { return r.function == kCreatePen; });
  ASSERT_NE(made, rs.end());
  EXPECT_EQ(u16(b, made->at + 6), 2) << "PS_DOT";
  EXPECT_EQ(u16(b, made->at + 8), 5) << "the width";
  const std::string png = path + ".png";
  const hc::Run run = hc::run("wmf2gd -t png --maxwidth=1000 --maxheight=1000 -o '" + png + "' '" + path + "'");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_GT(changes(png), 100) << "libwmf drew the dotted lines solid";
  const std::filesystem::path keep = std::filesystem::temp_directory_path() / "tw-winprint-renderings";
  std::filesystem::create_directories(keep);
  std::filesystem::copy_file(png, keep / "dotted-wmf2gd.png", std::filesystem::copy_options::overwrite_existing);

  // The platform's player, as the clipboard's picture is made.
  const std::string bytes = b.substr(22);
  win::HMETAFILE mf = win::SetMetaFileBitsEx(static_cast<win::UINT>(bytes.size()),
                                             reinterpret_cast<const win::BYTE*>(bytes.data()));
  ASSERT_NE(mf, nullptr);
  win::HDC dc = win::CreateCompatibleDC(nullptr);
  win::HBITMAP bm = win::CreateBitmap(756, 540, 1, 32, nullptr);
  win::HGDIOBJ old = win::SelectObject(dc, bm);
  win::PatBlt(dc, 0, 0, 756, 540, win::WHITENESS);
  win::SetMapMode(dc, win::MM_ANISOTROPIC);
  win::SetViewportExtEx(dc, 756, 540, nullptr);
  win::PlayMetaFile(dc, mf);
  win::SetMapMode(dc, win::MM_TEXT);
  int played = 0;
  for (int y = 195; y <= 205; ++y) {
    int row = 0;
    for (int x = 1; x < 756; ++x) row += (win::GetPixel(dc, x, y) == 0) != (win::GetPixel(dc, x - 1, y) == 0);
    played = std::max(played, row);
  }
  EXPECT_GT(played, 60) << "the player drew the dotted line solid";
  // Drawn straight on a device context the wide dotted pen is solid.
  win::PatBlt(dc, 0, 0, 756, 540, win::WHITENESS);
  win::HPEN pen = win::CreatePen(win::PS_DOT, 5, 0);
  win::HGDIOBJ oldpen = win::SelectObject(dc, pen);
  win::MoveToEx(dc, 10, 100, nullptr);
  win::LineTo(dc, 700, 100);
  int direct = 0;
  for (int x = 20; x < 690; ++x) direct += win::GetPixel(dc, x, 100) == 0;
  EXPECT_EQ(direct, 670);
  win::SelectObject(dc, oldpen);
  win::DeleteObject(pen);
  win::SelectObject(dc, old);
  win::DeleteObject(bm);
  win::DeleteDC(dc);
  win::DeleteMetaFile(mf);
}

}  // namespace
