// The bitmap-file driver: page size and storage at the begin, one image written per page.
#include "toolkit/hcdrivers/bitmap_file.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <string>
#include <vector>

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

// Whether a PCX header can count a page of width x height pixels at the depth: its corner,
// bytes per line and screen size are 16-bit fields. BMP and PNG count in 32 bits.
bool headerholds(int format, int width, int height, int depth) {
  if (format == 1 || format == 2 || format == 3) return true;
  const long long w = std::max(width, 0);
  const long long n = depth == 1 || depth == 4 ? (w + 7) / 8 : w;
  return w <= 0x10000 && height <= 0xFFFF && n + n % 2 <= 0xFFFF;
}

// Whether the writer's own buffers can be had beside the page (the PNG writer compresses
// the whole image at once).
bool writerroom(int format, int width, int height, int depth) {
  return format != 3 || yypngroom(width, height, depth);
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
    rs.RASWIDTH = o[0];
    rs.RASHEIGHT = o[1];
    for (;;) {
      const long long rowwords = (static_cast<long long>(std::max(rs.RASWIDTH, 0)) + perword - 1) / perword;
      const long long planewords = static_cast<long long>(std::max(rs.RASHEIGHT, 0)) * rowwords;
      const long long total = planes * planewords;
      const int w = rs.RASWIDTH, ht = rs.RASHEIGHT, depth = rs.RASDEPTH;
      if ((headerholds(o[25], w, ht, depth) && yyrasallocate(total) && writerroom(o[25], w, ht, depth)) ||
          total <= 0) {
        rs.RASROWWORDS = static_cast<int>(rowwords);
        rs.RASPLANEWORDS = static_cast<int>(planewords);
        rs.RASTOTALWORDS = static_cast<int>(total);
        break;
      }
      yyerror(34, "XXIMAG");
      const long long reduced = total * 9 / 10;
      const float s = std::sqrt(static_cast<float>(total) / static_cast<float>(reduced));
      rs.RASWIDTH = static_cast<int>(static_cast<float>(rs.RASWIDTH) / s);
      rs.RASHEIGHT = static_cast<int>(static_cast<float>(rs.RASHEIGHT) / s);
    }
    rs.RASCLEARWORDS = rs.RASTOTALWORDS;
    savedname = tessar.files.HCCURRENT;
  }
  yyrasbegin(opening);
}

void endpage() {
  DeviceOperands& op = tessar.graphics.operands;
  if (op.PLOTSTARTED == 0) return;
  extractionmasks();
  const int format = options()[25];
  if (format == 1 || format == 2) yybmp1();
  else if (format == 3) yypng1();
  else yypcx1();
  op.PLOTSTARTED = 0;
  int code = DCLEAR;
  yyvras(code);
  drawingmasks();
}

void end() {
  int code = DENDPLOT;
  yyvras(code);
  const int depth = tessar.raster.state.RASDEPTH;
  if ((depth == 4 || depth == 8) && options()[25] == 2 && tessar.hardcopy.printer.OUTPUTERROR == 0)
    yybmp2(savedname, 260);
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
