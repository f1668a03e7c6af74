// The raster device: lines, spans, filled shapes, points, images and gradients drawn pixel
// by pixel into the virtual raster page.
#include "toolkit/hcdrivers/raster_device.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/gradient.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/raster/dither.h"
#include "toolkit/raster/primitives.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {

// Page pixels per drawable unit, set at the begin.
float xscale = 1, yscale = 1;
// End of the last line or polyline in page pixels.
int lastx = -9999, lasty = -9999;

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }
int px(float x) { return static_cast<int>(xscale * x); }
int py(float y) { return static_cast<int>(yscale * y); }
RasterState& page() { return tessar.raster.state; }
int clipxmin() { return page().RASCLIP[0]; }
int clipxmax() { return page().RASCLIP[1]; }
int clipymin() { return page().RASCLIP[2]; }
int clipymax() { return page().RASCLIP[3]; }

void defaults() {
  yydefh();
  page().RASTOTALWORDS = 0;
  DeviceDescription& dd = tessar.graphics.description;
  dd.HCTEXTLIMIT = 0.0f;
  dd.HCTEXTLEVEL = 0;
  dd.HCTEXTANGLES = 0;
  dd.HCPLATFORM = 2;
  dd.HCTRUECOLOUR = 1;
  dd.HCGRADIENT = 1;
  dd.HCDEVTEXT = 0;
  dd.HCTEXTBACK = 0;
  dd.HCTEXTFLAG3 = 1;
}

void line() {
  DeviceOperands& op = tessar.graphics.operands;
  op.PLOTSTARTED = 1;
  const int x1 = px(op.RX1), y1 = py(op.RY1), x2 = px(op.RX2), y2 = py(op.RY2);
  if (tessar.graphics.attributes.HCFILL != 0) {
    yyvra2(std::min(x1, x2), std::max(x1, x2), y1);
    return;
  }
  yyvra3(x1, y1, x2, y2, x1 == lastx && y1 == lasty ? 1 : 0);
  lastx = x2;
  lasty = y2;
}

void colour() {
  RasterState& rs = page();
  const GraphicsAttributes& at = tessar.graphics.attributes;
  rs.RASPIXEL[PREVIOUS] = rs.RASPIXEL[CURRENT];
  for (auto& pair : rs.RASDITHER) pair[PREVIOUS] = pair[CURRENT];
  const int colourkind = tessar.hardcopy.printer.COLOURKIND;
  yydith(colourkind, rs.RASDITHER[0][CURRENT], rs.RASDITHER[1][CURRENT], rs.RASDITHER[2][CURRENT]);
  const int index = at.COLOURS[PAIRINDEX][CURRENT];
  switch (rs.RASDEPTH) {
    case 1:
      rs.RASPIXEL[CURRENT] = index != (option(6) == 0 ? 0 : 223) ? 1 : 0;
      break;
    case 3: {
      int r = 0, g = 0, b = 0;
      yypalrgb(at.COLOURMODEL == 1 ? index : at.COLOURS[PAIRRGB][CURRENT], &r, &g, &b);
      int v = r / 128 + 2 * (g / 128) + 4 * (b / 128);
      if (option(6) == 2 && (v == 0 || v == 7)) v = 7 - v;
      if (colourkind == 2) v = 7 - v;
      rs.RASPIXEL[CURRENT] = v;
      break;
    }
    case 4: {
      static constexpr std::array<int, 16> sixteen = {0, 9, 1, 11, 3, 10, 2, 14, 6, 12, 4, 13, 5, 15, 7, 8};
      rs.RASPIXEL[CURRENT] = sixteen[static_cast<std::size_t>(std::clamp(index / 16, 0, 15))];
      break;
    }
    case 8: rs.RASPIXEL[CURRENT] = index; break;
    case 24: rs.RASPIXEL[CURRENT] = at.COLOURS[PAIRRGB][CURRENT]; break;
    default: break;
  }
}

void span(int xa, int xb, int y) { yyvra2(std::max(xa, clipxmin()), std::min(xb, clipxmax()), y); }

void parallelogram() {
  const DeviceOperands& op = tessar.graphics.operands;
  const int x1 = px(op.RX1), y1 = py(op.RY1), x2 = px(op.RX2), y2 = py(op.RY2);
  const int x3 = px(op.RX3), y3 = py(op.RY3), x4 = px(op.RX4), y4 = py(op.RY4);
  const int ylo = std::max(std::min(y1, y2), clipymin());
  const int yhi = std::min(std::max(y3, y4), clipymax());
  const int xlo = std::max(std::min(x1, x4), clipxmin());
  const int xhi = std::min(std::max(x2, x3), clipxmax());
  if (ylo == yhi) {
    yyvra2(xlo, xhi, ylo);
    return;
  }
  for (int y = yhi; y >= ylo; --y) {
    if (op.IOPER1 != 1) {
      span(yyxini(x1, y1, x4, y4, y), yyxini(x2, y2, x3, y3, y), y);
      continue;
    }
    int xa = std::max(x1, clipxmin()), xb = std::min(x2, clipxmax());
    const bool leftout = y > y4 || y < y1, rightout = y > y3 || y < y2;
    if (leftout || rightout) {
      const int e1 = yyxini(x1, y1, x2, y2, y), e2 = yyxini(x4, y4, x3, y3, y);
      const bool in1 = xa <= e1 && e1 <= xb, in2 = xa <= e2 && e2 <= xb;
      if (in1 && in2) {
        if (leftout) xa = std::min(e1, e2);
        if (rightout) xb = std::max(e1, e2);
      } else if (in1) {
        if (y1 > y2) {
          if (leftout) xa = e1;
        } else if (rightout) {
          xb = e1;
        }
      } else if (in2) {
        if (y4 < y3) {
          if (leftout) xa = e2;
        } else if (rightout) {
          xb = e2;
        }
      }
    }
    yyvra2(xa, xb, y);
  }
}

void rectangle() {
  const DeviceOperands& op = tessar.graphics.operands;
  const int x1 = px(op.RX1), y1 = py(op.RY1), x2 = px(op.RX2), y2 = py(op.RY2);
  for (int y = y1; y <= y2; ++y) yyvra2(x1, x2, y);
}

void triangle() {
  const DeviceOperands& op = tessar.graphics.operands;
  const int x1 = px(op.RX1), y1 = py(op.RY1), x2 = px(op.RX2), y2 = py(op.RY2);
  const int x3 = px(op.RX3), y3 = py(op.RY3);
  const int ylo = std::max(y1, clipymin()), yhi = std::min(y3, clipymax());
  const float s12 = y1 != y2 ? static_cast<float>(x1 - x2) / static_cast<float>(y1 - y2) : 0.0f;
  const float s23 = y2 != y3 ? static_cast<float>(x2 - x3) / static_cast<float>(y2 - y3) : 0.0f;
  const float s13 = y1 != y3 ? static_cast<float>(x1 - x3) / static_cast<float>(y1 - y3) : 0.0f;
  auto along = [](float s, int dy, int x) { return static_cast<int>(s * static_cast<float>(dy) + static_cast<float>(x)); };
  for (int y = yhi; y >= ylo; --y) {
    int a, b;
    if (y < y2) {
      a = along(s12, y - y2, x2);
      b = along(s13, y - y3, x3);
    } else if (y > y2) {
      a = along(s13, y - y3, x3);
      b = along(s23, y - y3, x3);
    } else {
      a = x2;
      b = y2 == y1 ? x1 : y2 == y3 ? x3 : along(s13, y2 - y3, x3);
    }
    span(std::min(a, b), std::max(a, b), y);
  }
}

void filled(int code) {
  DeviceOperands& op = tessar.graphics.operands;
  GraphicsAttributes& at = tessar.graphics.attributes;
  RasterState& rs = page();
  if (op.IOPER1 == -1) return;
  op.PLOTSTARTED = 1;
  if (at.FILLSTYLE < 3) {
    if (code == DELLIPSEFILL) op.IOPER1 = -1;
    return;
  }
  const int index = at.COLOURS[PAIRINDEX][CURRENT];
  rs.RASTWOCOLOUR = at.FILLSTYLE == 3 && at.COLOURS[PAIRINDEX][PREVIOUS] != index ? 1 : 0;
  rs.RASFILLA = rs.RASDITHER[0][CURRENT];
  if (at.STROKETEXT != 0) {
    rs.RASFILLA = index == 0 ? 0u : ~0u;
    if (option(6) != 0) rs.RASFILLA = ~rs.RASFILLA;
  }
  rs.RASFILLB = rs.RASTWOCOLOUR != 0 ? rs.RASDITHER[0][PREVIOUS] : rs.RASFILLA;
  switch (code) {
    case DELLIPSEFILL:
    case DSECTOR:
    case DPOLYGON:
      at.HCFILL = 1;
      op.HCSPACING = (static_cast<float>(tessar.graphics.target.HEIGHT) - 0.01f) /
                     static_cast<float>(std::max(rs.RASHEIGHT, 1));
      break;
    case DPARALLEL: parallelogram(); break;
    case DRECT: rectangle(); break;
    case DTRIANGLE: triangle(); break;
    default: break;
  }
}

void clear() {
  RasterState& rs = page();
  auto& buffer = tessar.raster.IRBUFF;
  const std::size_t last = static_cast<std::size_t>(std::max(std::min(rs.RASCLEARWORDS, rs.RASTOTALWORDS), -1) + 1);
  std::fill_n(buffer.begin(), std::min(last, buffer.size()), rs.RASCLEARVALUE);
}

void begin() {
  DeviceOperands& op = tessar.graphics.operands;
  RasterState& rs = page();
  if (op.IOPER1 > 0) {
    if (!yyhcopen()) return;
    rs.RASXMAX = rs.RASWIDTH - 1;
    rs.RASYMAX = rs.RASHEIGHT - 1;
    rs.RASCLASS = rs.RASDEPTH == 24 ? 4 : rs.RASDEPTH == 8 ? 3 : (rs.RASDEPTH == 3 || rs.RASDEPTH == 4) ? 2 : 1;
    yydith(tessar.hardcopy.printer.COLOURKIND, rs.RASDITHER[0][CURRENT], rs.RASDITHER[1][CURRENT],
           rs.RASDITHER[2][CURRENT]);
    yydith2();
    op.HCCOLOURS = rs.RASDEPTH >= 32 ? 0 : std::min(1 << std::max(rs.RASDEPTH, 0), 256);
    lastx = lasty = -9999;
  }
  const GraphicsTarget& t = tessar.graphics.target;
  xscale = t.WIDTH > 0 ? static_cast<float>(rs.RASWIDTH) / static_cast<float>(t.WIDTH) : 0.0f;
  yscale = t.HEIGHT > 0 ? static_cast<float>(rs.RASHEIGHT) / static_cast<float>(t.HEIGHT) : 0.0f;
}

void end() {
  yyprcl(2);
  std::vector<std::uint32_t>().swap(tessar.raster.IRBUFF);
}

void clipbox() {
  const GraphicsArea& a = tessar.graphics.area;
  page().RASCLIP = {px(a.XMIN), px(a.XMAX), py(a.YMIN), py(a.YMAX)};
}

void point() {
  DeviceOperands& op = tessar.graphics.operands;
  const RasterState& rs = page();
  op.PLOTSTARTED = 1;
  const int x = px(op.RX1), y = py(op.RY1);
  yyvra4(rs.RASPIXEL[CURRENT], std::max(x - rs.RASPENAHALF, clipxmin()),
         y, std::min(x - rs.RASPENAHALF + rs.RASPENA, clipxmax()));
  lastx = x;
  lasty = y;
}

void linetype() {
  struct Dash {
    std::uint32_t mask;
    int length;
  };
  static constexpr std::array<Dash, 8> dashes = {{{0xFFF, 12}, {0x104, 12}, {0xE07, 12}, {0x1E1, 12},
                                                  {0x3C9, 12}, {0xCE7, 12}, {0x8E3, 12}, {0x19CE7, 17}}};
  RasterState& rs = page();
  const Dash& d = dashes[static_cast<std::size_t>(std::clamp(tessar.graphics.attributes.LINETYPE, 0, 7))];
  rs.RASDASHMASK = d.mask;
  rs.RASDASHLEN = d.length;
  rs.RASDASHPOS = 0;
  rs.RASDASHSTEP = 1;
  rs.RASDASHUNITX = std::max(1, static_cast<int>(std::lround(rs.RASXRES * (1.0f / 72.0f))));
  rs.RASDASHUNITY = std::max(1, static_cast<int>(std::lround(rs.RASYRES * (1.0f / 72.0f))));
  lastx = -1;
}

void linewidth() {
  RasterState& rs = page();
  const float f = static_cast<float>(option(9));
  rs.RASPENA = std::max(1, static_cast<int>(rs.RASYRES * f * (1.0f / 720.0f) + 0.5f)) - 1;
  rs.RASPENB = std::max(1, static_cast<int>(rs.RASXRES * f * (1.0f / 720.0f) + 0.5f)) - 1;
  if (option(5) != 0) std::swap(rs.RASPENA, rs.RASPENB);
  rs.RASPENAHALF = rs.RASPENA / 2;
  rs.RASPENBHALF = rs.RASPENB / 2;
}

void polyline() {
  DeviceOperands& op = tessar.graphics.operands;
  const auto& xw = tessar.graphics.XWORK;
  const auto& yw = tessar.graphics.YWORK;
  op.PLOTSTARTED = 1;
  const std::size_t n = static_cast<std::size_t>(
      std::clamp(std::min({op.IOPER2, static_cast<int>(xw.size()), static_cast<int>(yw.size())}), 0, 1 << 30));
  if (n < 2) return;
  int x0 = px(xw[0]), y0 = py(yw[0]);
  int joint = x0 == lastx && y0 == lasty ? 1 : 0;
  for (std::size_t i = 1; i < n; ++i) {
    const int x = px(xw[i]), y = py(yw[i]);
    yyvra3(x0, y0, x, y, joint);
    joint = 1;
    x0 = x;
    y0 = y;
  }
  lastx = x0;
  lasty = y0;
}

void image() {
  DeviceOperands& op = tessar.graphics.operands;
  const long long W = op.IX2, H = op.IY2;
  if (W <= 0 || H <= 0) return;
  std::vector<int> pixels;
  if (yyhcloadimage(pixels, op.IX2, op.IY2) != 0) return;
  op.PLOTSTARTED = 1;
  op.IOPER1 = 0;
  page().RASLASTRGB = -1;
  const long long w = clipxmax() - clipxmin() + 1, h = clipymax() - clipymin() + 1;
  if (w <= 0 || h <= 0) return;
  const int rotation = tessar.graphics.area.PAGEROTATION;
  if (rotation != 0 && rotation != 90 && rotation != 180 && rotation != 270) return;
  for (int y = clipymin(); y <= clipymax(); ++y) {
    for (int x = clipxmin(); x <= clipxmax(); ++x) {
      const long long dx = x - clipxmin(), dy = y - clipymin(), top = clipymax() - y;
      long long r = 0, c = 0;
      switch (rotation) {
        case 0: r = H * top / h; c = W * dx / w; break;
        case 90: r = H * dx / w; c = W * dy / h; break;
        case 180: r = H - 1 - H * top / h; c = W - 1 - W * dx / w; break;
        default: r = H - 1 - H * dx / w; c = W - 1 - W * dy / h; break;
      }
      yyvra5(x, y, pixels[static_cast<std::size_t>(r * W + c)]);
    }
  }
}

void gradient() {
  GraphicsRegion& g = tessar.graphics;
  g.operands.PLOTSTARTED = 1;
  GradientVertices& v = g.gradient;
  const std::size_t n = static_cast<std::size_t>(std::clamp(
      std::min({v.n, static_cast<int>(g.XWORK.size()), static_cast<int>(g.YWORK.size())}), 0,
      static_cast<int>(v.X.size())));
  for (std::size_t i = 0; i < n; ++i) {
    v.X[i] = px(g.XWORK[i]);
    v.Y[i] = py(g.YWORK[i]);
  }
  page().RASLASTRGB = -1;
  yygradientfill(1, clipxmin(), clipymin(), clipxmax(), clipymax(),
                 [](int x, int y, int rgb) { yyvra5(x, y, rgb); }, nullptr);
}

}  // namespace

bool yyrasallocate(long long total) {
  if (total > kRasterMaxWords) return false;
  try {
    tessar.raster.IRBUFF.assign(static_cast<std::size_t>(total) + 1, 0);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void yyrasbegin(bool opening) {
  int code = DBEGINPLOT;
  yyvras(code);
  if (!opening) return;
  if (tessar.graphics.attributes.HARDCOPYON == 0) {
    std::vector<std::uint32_t>().swap(tessar.raster.IRBUFF);
    return;
  }
  // The page was just taken zeroed: a clear to 0 would only write it a second time.
  if (tessar.raster.state.RASCLEARVALUE == 0) return;
  code = DCLEAR;
  yyvras(code);
}

void yyvras(int& code) {
  switch (code) {
    case DOPEN: defaults(); return;
    case DLINE: line(); return;
    case DCOLOUR:
    case DLOADPALETTE: colour(); return;
    case DELLIPSEFILL:
    case DPARALLEL:
    case DRECT:
    case DTRIANGLE:
    case DSECTOR:
    case DPOLYGON: filled(code); return;
    case DCLEAR: clear(); return;
    case DBEGINPLOT: begin(); return;
    case DENDPLOT: end(); return;
    case DCLIP: clipbox(); return;
    case DPOINT: point(); return;
    case DLINETYPE: linetype(); return;
    case DLINEWIDTH: linewidth(); return;
    case DPOLYLINE: polyline(); return;
    case DIMAGE: image(); return;
    case DGRADIENT: gradient(); return;
    default: return;
  }
}
