#pragma once
// One small file of every kind that graphics file identification knows, with the
// information array (n = 6) it must report.
#include <array>
#include <string>
#include <vector>

#include "tests/raster/image_files.h"

struct KindFixture {
  const char* why;
  const char* name;
  Bytes bytes;
  std::array<int, 6> want;
};

inline Bytes cgmelement(int cls, int id, const Bytes& params) {
  Bytes b;
  const int n = static_cast<int>(params.size());
  const int word = cls * 4096 + id * 32 + (n < 31 ? n : 31);
  append(b, {word >> 8, word & 255});
  if (n >= 31) append(b, {(n >> 8) & 0x7F, n & 255});
  b.insert(b.end(), params.begin(), params.end());
  if (n % 2 == 1) b.push_back(0);
  return b;
}

inline Bytes cgmints(std::initializer_list<int> values) {
  Bytes b;
  for (int v : values) append(b, {(v >> 8) & 255, v & 255});
  return b;
}

inline Bytes cgmfile(const std::vector<Bytes>& middle) {
  Bytes b = cgmelement(0, 1, {3, 'a', 'b', 'c'});
  for (const Bytes& e : middle) b.insert(b.end(), e.begin(), e.end());
  const Bytes end = cgmelement(0, 2, {});
  b.insert(b.end(), end.begin(), end.end());
  return b;
}

inline std::vector<KindFixture> kindfixtures() {
  std::vector<KindFixture> f;
  f.push_back({"32-bit BMP with bit fields", "k01.bmp", bmpfile(3, 2, 32, 3, {}, Bytes(24, 1)),
               {1, 3, 2, 16777216, 0, 32}});
  f.push_back({"8-bit RLE BMP", "k01rle.bmp", bmpfile(4, 5, 8, 1, {0, 1}, {0, 1}),
               {1, 4, 5, 256, 1, 8}});
  Bytes pcx(128, 0);
  append(pcx, {0xC1, 0});
  pcx[0] = 10; pcx[1] = 5; pcx[2] = 1; pcx[3] = 8; pcx[65] = 3;
  put16(pcx, 4, 2); put16(pcx, 6, 1); put16(pcx, 8, 11); put16(pcx, 10, 5); put16(pcx, 66, 10);
  f.push_back({"24-bit PCX", "k02.pcx", pcx, {2, 10, 5, 16777216, 5, 24}});
  Bytes wmf(40, 0);
  put32(wmf, 0, 0x9AC6CDD7u);
  put16(wmf, 10, 1439); put16(wmf, 12, 719); put16(wmf, 14, 1440);
  f.push_back({"placeable WMF, 1440 units per inch", "k03p.wmf", wmf, {3, 72, 36, 1, -1, -1}});
  Bytes plain = {1, 0, 9, 0, 0, 3, 0x22, 0, 0, 0};
  f.push_back({"plain WMF", "k03.wmf", plain, {3, -1, -1, 0, -1, -1}});
  Bytes emf(88, 0);
  put32(emf, 0, 1); put32(emf, 32, 2539); put32(emf, 36, 1269); put32(emf, 40, 0x464D4520u);
  f.push_back({"EMF frame 0 to 2539", "k03.emf", emf, {3, 72, 36, 2, -1, -1}});
  f.push_back({"HP-GL, model 1", "k04.plt",
               textbytes("IN;\nSC -13 1\nIP 0 0 10159 7619\nPU;PD 100 100;\n"),
               {4, 720, 540, 4, 1, 1}});
  f.push_back({"HP-GL behind blanks, model 3", "k04b.plt",
               textbytes("   IN;\nSC -13 3\nIP 0 0 10159 7619\n"), {4, 716, 537, 6, 3, 1}});
  f.push_back({"HP-GL with commas: the numbers read as one word", "k04c.plt",
               textbytes("IN;\nSC -13 1\nIP 0,0,10159,7619\n"), {4, 0, 0, 4, 1, 1}});
  f.push_back({"HP-GL/2 in PCL", "k05.pcl",
               textbytes("\x1B%0BIN;\nCO \"13 2\"\nIP 0 0 1015 2031\nSC -3\n"),
               {5, 72, 144, 256, 2, 1}});
  f.push_back({"binary CGM of the default page", "k06.cgm",
               cgmfile({cgmelement(0, 3, {}), cgmelement(2, 6, cgmints({0, 0, 6300, 4500})),
                        cgmelement(0, 5, {})}),
               {6, 1000, 714, 1, -1, -1}});
  Bytes pic(17, 0);
  pic[0] = 1; pic[4] = 1; pic[6] = 8; pic[8] = 0x44; pic[13] = 0x0C;
  append(pic, {0x60, 0xA0, 1, 2, 3, 4, 0x61, 0xA8, 9, 'a', 'b', 0, 0x30, 0, 1, 2, 3, 4});
  f.push_back({"Lotus PIC with two pictures", "k07.pic", pic, {7, 3201, 2312, 2, -1, -1}});
  Bytes draw = textbytes("Draw");
  draw.resize(48, 0);
  put32(draw, 32, 640 * 100); put32(draw, 36, 640 * 50);
  f.push_back({"Draw file", "k08.drw", draw, {8, 100, 50, -1, -1, -1}});
  f.push_back({"Tektronix stream", "k09.tek", textbytes("\x1B[?38h and more"),
               {9, -1, -1, -1, -1, -1}});
  f.push_back({"PostScript with a bounding box", "k10.ps",
               textbytes("%!PS-Adobe-3.0\n%%BoundingBox: 0 0 612 792\n"), {10, 612, 792, 1, -1, -1}});
  f.push_back({"PostScript with the box on line 3", "k10b.ps",
               textbytes("%!PS-Adobe-3.0\n%%Title: x\n%%BoundingBox: 0 0 612 792\n"),
               {10, -1, -1, 0, -1, -1}});
  f.push_back({"PCL at 300 dpi, 8 colours", "k11.pcl",
               textbytes("\x1B" "E\x1B*t300R\x1B*r-3u1A\x1B*rs3u1A"), {11, -1, -1, 8, 300, -1}});
  Bytes escp = textbytes("\x1B@\x1Br");
  append(escp, {4, 0x1B, '(', 'U', 1, 0, 10, 'x'});
  f.push_back({"ESC/P, colour, unit 1/360", "k12.prn", escp, {12, -1, -1, 8, 360, -1}});
  Bytes epson = textbytes("\x1BU");
  append(epson, {1, 'a', 'b'});
  f.push_back({"Epson stream", "k13.prn", epson, {13, -1, -1, 0, -1, -1}});
  f.push_back({"DXF with its extents", "k14.dxf",
               textbytes("0\nSECTION\n2\nHEADER\n9\n$EXTMIN\n10\n0.0\n20\n0.0\n9\n$EXTMAX\n"
                         "10\n11.5\n20\n8.25\n0\nENDSEC\n"),
               {14, 828, 594, -1, -1, -1}});
  f.push_back({"DXF behind comments", "k14c.dxf",
               textbytes("999\nmade by hand\n0\nSECTION\n2\nENTITIES\n0\nENDSEC\n"),
               {14, -1, -1, -1, -1, -1}});
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
               0, 0, 0, 7, 0, 0, 0, 3, 4, 3, 0, 0, 1, 0, 0, 0, 0};
  f.push_back({"4-bit palette PNG, interlaced", "k15.png", png, {15, 7, 3, 16, 1, 4}});
  f.push_back({"SVG document", "k16.svg",
               textbytes("<?xml version=\"1.0\"?>\n<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\">\n"
                         "<!-- drawn -->\n<SVG WIDTH=\"200.9\" height=\"100\" xmlns=\"x\">\n"),
               {16, 200, 100, -1, -1, -1}});
  f.push_back({"blanks only", "k00.txt", Bytes(128, ' '), {0, -1, -1, -1, -1, -1}});
  f.push_back({"a GIF", "k00.gif", textbytes("GIF89a\x01\x00\x01\x00"), {0, -1, -1, -1, -1, -1}});
  f.push_back({"999 comments leading nowhere", "k00.dxf", textbytes("999\nx\n5\nFOO\n"),
               {0, -1, -1, -1, -1, -1}});
  Bytes os2 = bmpfile(2, 2, 24, 0, {}, Bytes(16, 0));
  put32(os2, 14, 12);
  f.push_back({"an OS/2 bitmap is not type 1", "k00os2.bmp", os2, {0, -1, -1, -1, -1, -1}});
  return f;
}
