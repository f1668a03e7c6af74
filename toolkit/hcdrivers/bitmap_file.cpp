// The bitmap-file driver: page size and storage at the begin, one image written per page.
#include "toolkit/hcdrivers/bitmap_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/os.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hcdrivers/raster_device.h"
#include "toolkit/raster/bitmap_writers.h"
#include "toolkit/raster/png.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

// The output name of the open hardcopy, for the header patch after the file is closed.
std::string savedname(260, ' ');
// Images written to the open hardcopy's file.
int pageswritten = 0;


std::array<int, 108>& options() { return tessar.hardcopy.HCOPTIONS; }

void drawingmasks() {
  for (int k = 0; k < 4; ++k) tessar.raster.state.RASBYTEMASK[static_cast<std::size_t>(k)] = ~(0xFFu << (8 * k));
}

void extractionmasks() {
  for (int k = 0; k < 4; ++k) tessar.raster.state.RASBYTEMASK[static_cast<std::size_t>(k)] = 0xFFu << (8 * k);
}


void defaults() {
  DeviceOperands& op = tessar.graphics.operands;
  if (yyhcquery(HCBITMAP)) return;
  int code = DOPEN;
  yyvras(code);
  std::array<int, 108>& o = options();
  o[0] = 640;
  o[1] = 480;
  o[4] = 0;
  o[22] = 8;
  o[25] = 0;
  op.HCCOLOURS = 256;
  op.PRINTCMDOK = 0;
  tessar.graphics.description.HCCAPS = "00000111111111110010011111000";
  assignfixed(tessar.files.HCOUTPUT, "tessplot.pcx");
  op.HCDEVICE = HCBITMAP;
}

// The largest side of a page: a PCX header holds the corner and the bytes per line in 16
// bits. BMP and PNG sides could count 31 bits, but a side of millions of pixels is no page
// anyone can use: shrunk together with the other side to the page's words it ended as a
// picture of one row that took minutes to draw and write. Their sides stop at 65,535.
void sidelimits(int format, int depth, int& maxwidth, int& maxheight) {
  maxwidth = maxheight = 0xFFFF;
  if (format == 1 || format == 2 || format == 3) return;
  maxwidth = depth == 1 || depth == 4 ? 0x10000 : 0xFFFE;
  maxheight = 0xFFFF;
}

// Words of a page of width x height pixels.
long long pagewords(long long width, long long height, int perword, int planes) {
  return planes * height * ((width + perword - 1) / perword);
}

// Whether a page of width x height pixels fits the page's word count and the counts of the
// format: a BMP file's size is a 32-bit field, the PNG writer's buffers are counted in an int.
bool sizeholds(int format, int width, int height, int depth, int perword, int planes) {
  if (pagewords(width, height, perword, planes) > kRasterMaxWords) return false;
  if (format == 3) return yypngholds(width, height, depth);
  if (format == 1 || format == 2) {
    const long long padded = (static_cast<long long>(width) * depth + 31) / 32 * 4;
    const long long header = 54 + (depth == 24 ? 0 : 4LL << depth);
    return header + padded * height <= 0xFFFFFFFFLL;
  }
  return true;
}

// Whether the writer's own buffers can be had beside the page (the PNG writer compresses
// the whole image at once).
bool writerroom(int format, int width, int height, int depth) {
  return format != 3 || yypngroom(width, height, depth);
}

// Both sides divided by s, neither below one pixel; false when nothing changes.
bool shrink(int& width, int& height, double s) {
  const int w = std::max(1, static_cast<int>(width / s)), h = std::max(1, static_cast<int>(height / s));
  const bool changed = w != width || h != height;
  width = w;
  height = h;
  return changed;
}

// The page size decided from the asked size before anything is allocated: each side cut to
// what its header counts, then both sides shrunk together until the page and its file can
// be counted, and then, while memory is short, by about 5 % a try. Every reduction is error
// 34. False when not even one pixel fits: the hardcopy is refused.
bool choosepage(int format, int depth, int perword, int planes, int& width, int& height) {
  if (width < 1 || height < 1) {
    yyerror(34, "XXIMAG");
    return false;
  }
  int maxwidth = 0, maxheight = 0;
  sidelimits(format, depth, maxwidth, maxheight);
  if (width > maxwidth || height > maxheight) {
    yyerror(34, "XXIMAG");
    width = std::min(width, maxwidth);
    height = std::min(height, maxheight);
  }
  // Each step aims at the limit at once; a side held at one pixel leaves the other to take
  // the rest in the next step, so a few steps always do.
  for (int step = 0; !sizeholds(format, width, height, depth, perword, planes); ++step) {
    yyerror(34, "XXIMAG");
    const double words = static_cast<double>(pagewords(width, height, perword, planes));
    const double over = std::max(words / static_cast<double>(kRasterMaxWords),
                                 format == 3 ? static_cast<double>(yypngbytes(width, height, depth)) /
                                                   std::numeric_limits<int>::max()
                                             : 1.0);
    if (step > 64 || !shrink(width, height, std::max(std::sqrt(std::max(over, 1.0)), 1.0541))) return false;
  }
  for (;;) {
    // Tried first untouched, beside the writer's buffers: a try that fails then costs nothing,
    // where taking the page itself would clear it each time.
    const long long words = pagewords(width, height, perword, planes);
    bool room = false;
    {
      const std::unique_ptr<std::uint32_t[]> probe(new (std::nothrow) std::uint32_t[static_cast<std::size_t>(words) + 1]);
      room = probe != nullptr && writerroom(format, width, height, depth);
    }
    if (room && yyrasallocate(words)) return true;
    yyerror(34, "XXIMAG");
    // Each retry asks for about 90 % of the words of the one before.
    if (!shrink(width, height, std::sqrt(10.0 / 9.0))) return false;
  }
}

void begin() {
  DeviceOperands& op = tessar.graphics.operands;
  RasterState& rs = tessar.raster.state;
  std::array<int, 108>& o = options();
  const bool opening = op.IOPER1 > 0;
  if (opening) {
    rs.RASDEPTH = o[22];
    drawingmasks();
    o[5] = 0;
    int planes = 1, perword = 32;
    if (rs.RASDEPTH == 24) perword = 1;
    else if (rs.RASDEPTH == 8) perword = 4;
    else if (rs.RASDEPTH == 4) planes = 4;
    op.HCPLANES = planes;
    rs.RASLASTPLANE = planes - 1;
    if (rs.RASDEPTH < 24) tessar.graphics.description.HCTRUECOLOUR = 0;
    rs.RASCLEARVALUE = rs.RASDEPTH == 24 ? 0xFFFFFFFFu : 0u;
    rs.RASXRES = rs.RASYRES = 150.0f;
    int width = o[0], height = o[1];
    if (!choosepage(o[25], rs.RASDEPTH, perword, planes, width, height)) {
      // No page of even one pixel: nothing is drawn and no file is written.
      std::vector<std::uint32_t>().swap(tessar.raster.IRBUFF);
      rs.RASTOTALWORDS = 0;
      tessar.graphics.attributes.HARDCOPYON = 0;
      return;
    }
    rs.RASWIDTH = width;
    rs.RASHEIGHT = height;
    const long long rowwords = (static_cast<long long>(width) + perword - 1) / perword;
    rs.RASROWWORDS = static_cast<int>(rowwords);
    rs.RASPLANEWORDS = static_cast<int>(rowwords * height);
    rs.RASTOTALWORDS = static_cast<int>(pagewords(width, height, perword, planes));
    rs.RASCLEARWORDS = rs.RASTOTALWORDS;
    savedname = tessar.files.HCCURRENT;
    pageswritten = 0;
  }
  yyrasbegin(opening);
}

void writepage() {
  extractionmasks();
  const int format = options()[25];
  if (format == 1 || format == 2) yybmp1();
  else if (format == 3) yypng1();
  else yypcx1();
  ++pageswritten;
}

void endpage() {
  DeviceOperands& op = tessar.graphics.operands;
  if (op.PLOTSTARTED == 0) return;
  writepage();
  op.PLOTSTARTED = 0;
  int code = DCLEAR;
  yyvras(code);
  drawingmasks();
}

void end() {
  const RasterPrinter& rp = tessar.hardcopy.printer;
  // A hardcopy with nothing drawn is one blank page, not an empty file no reader opens.
  if (pageswritten == 0 && rp.OUTPUTERROR == 0 && !tessar.raster.IRBUFF.empty()) {
    writepage();
    drawingmasks();
  }
  int code = DENDPLOT;
  yyvras(code);
  const int depth = tessar.raster.state.RASDEPTH;
  if ((depth == 4 || depth == 8) && options()[25] == 2 && rp.OUTPUTERROR == 0) yybmp2(savedname, 260);
  if (rp.OUTPUTERROR != 0 && pageswritten > 0) {
    // A file whose image failed part way is no image: it is not left for a reader.
    int status = 0;
    win::yydelf(std::string(savedname.substr(0, static_cast<std::size_t>(lentrim(savedname)))).c_str(), status);
  }
}

}  // namespace

void xximag(int& code) {
  switch (code) {
    case DOPEN: defaults(); return;
    case DBEGINPLOT: begin(); return;
    case DENDPLOT: end(); return;
    case DENDPAGE: endpage(); return;
    default: yyvras(code); return;
  }
}
