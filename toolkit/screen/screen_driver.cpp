// toolkit/graphics/screen_driver.cpp: the screen side's device driver. Invariants: (1) the
// font cache describes the font selected into gDC, or holds -1 after request 18; (2) the
// palette batch state is 3 exactly while a batch of palette entries is open; (3) a drawable
// of zero width or height draws nothing and divides by nothing.
#include "toolkit/screen/screen_driver.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/os.h"
#include "toolkit/text/errors.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/state/tessar.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/gradient.h"
#include "toolkit/screen/targets.h"
#include "toolkit/screen/bitmaps.h"
#include "toolkit/screen/images.h"
#include "toolkit/screen/wgraph.h"

namespace {

struct FontCache {
  int width = -1, height = -1, angle = -1, face = -1, flags = -1;
  std::string name = std::string(100, ' ');
  int ascent = 0, cellheight = 0, samplewidth = 0;
};
FontCache cache;
int batch = 0;      // 3 while a batch of palette entries is open
int loadmode = 0;   // mode of the first entry of the next palette load
int fontsmade = 0;

int trunc(float v) { return static_cast<int>(v); }

void resendcolours() {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  yywincolour(at.COLOURS[PAIRDEVICE][PREVIOUS], at.COLOURS[PAIRRGB][PREVIOUS]);
  yywincolour(at.COLOURS[PAIRDEVICE][CURRENT], at.COLOURS[PAIRRGB][CURRENT]);
}

// Entry k of the table the device palette is loaded from for the device colour class.
int classcolour(int k) {
  int rgb = 0;
  if (tessar.graphics.attributes.DEVCLASS == 16) yypalg16(k, rgb);
  else yypalg32(k, rgb);
  return rgb;
}

void font() {
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const GraphicsArea& a = g.area;
  if (a.RDEVW <= 0 || a.RDEVH <= 0 || ts.CW <= 0 || ts.CH <= 0) return;
  ts.CHSCALEX = a.REXTX / (a.RDEVW * ts.CW);
  ts.CHSCALEY = a.REXTY / (a.RDEVH * ts.CH);
  if (ts.CHSCALEX <= 0 || ts.CHSCALEY <= 0) return;
  int w = trunc(a.REXTX / ts.CHSCALEX), h = trunc(a.REXTY / ts.CHSCALEY);
  const int angle = trunc(ts.ANGLE2);
  int flags = ts.TYPEFLAGS;
  if (ts.SPACING != 0) {
    float factor = ts.SPACING == 1 ? 0.607f : 0.78f;
    if (ts.FACE == 4) factor *= 1.38f;
    w = trunc(static_cast<float>(w) * factor);
    h = trunc(0.821f * static_cast<float>(h));
    if (ts.SPACING == 1) flags &= ~4;
  }
  const bool same = w == cache.width && h == cache.height && angle == cache.angle && ts.FACE == cache.face &&
                    flags == cache.flags && (ts.FACE != 0 || ts.USERFACE == cache.name);
  if (!same) {
    cache.width = w;
    cache.height = h;
    cache.angle = angle;
    cache.face = ts.FACE;
    cache.flags = flags;
    cache.name = ts.FACE == 0 ? ts.USERFACE : std::string(100, ' ');
    std::string name = ts.USERFACE;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    int sw = w, ch = h, ascent = 0;
    yywintextsize(sw, ch, ascent, angle, ts.FACE, flags, name);
    ++fontsmade;
    cache.ascent = ascent;
    cache.cellheight = ch;
    cache.samplewidth = sw;
    if (ts.SPACING != 0) return;
  }
  if (ts.SPACING == 0 && cache.samplewidth > 0)
    ts.CHSCALEX = a.REXTX * 52 / static_cast<float>(cache.samplewidth);
}

void text(int H) {
  const GraphicsRegion& g = tessar.graphics;
  const TextState& ts = g.text;
  DeviceOperands& op = tessar.graphics.operands;
  const std::string& t = tessar.files.HCCURRENT;
  const float d = static_cast<float>(cache.ascent) - 0.5f * static_cast<float>(cache.cellheight);
  const float sx = op.RX1 + d * ts.SINA2DQ, sy = op.RY1 - d * ts.COSA2;
  const float ex = op.RX3 + d * ts.SINA2DQ, ey = op.RY3 - d * ts.COSA2;
  if (ts.DIRECTION == 0) {
    const int just = ts.SPACING == 1 ? 0 : ts.JUSTIFY;
    const int back = (ts.TYPEFLAGS & 8) != 0 && ts.SPACING != 1 ? 1 : 0;
    yywindrawstring(trunc(sx), H - trunc(sy), trunc(ex), H - trunc(ey), just, back, t, std::max(op.IX1, 0));
    op.IX4 = 0;
    return;
  }
  for (int k = 0; k < op.IX1 && static_cast<std::size_t>(k) < t.size(); ++k) {
    const float x = sx + static_cast<float>(k) * ts.COLXSTEP, y = sy - static_cast<float>(k) * ts.COLYSTEP;
    yywindrawstring(trunc(x), H - trunc(y), trunc(x + ts.ADVX), H - trunc(y + ts.ADVY), 1, 0,
                    std::string_view(t).substr(static_cast<std::size_t>(k), 1), 1);
  }
}

void sector(int code, int H) {
  const DeviceOperands& op = tessar.graphics.operands;
  const GraphicsAttributes& at = tessar.graphics.attributes;
  const float rx = op.RX2, ry = op.RY2, a = op.RX3, b = op.RY3;
  int x1 = trunc(std::cos(a) * rx + static_cast<float>(op.IX1)), y1 = trunc(std::sin(a) * ry + static_cast<float>(op.IY1));
  int x2 = trunc(std::cos(b) * rx + static_cast<float>(op.IX1)), y2 = trunc(std::sin(b) * ry + static_cast<float>(op.IY1));
  const int cy = H - op.IY1;
  y1 = H - y1;
  y2 = H - y2;
  // A short sweep whose ends meet would draw the whole ellipse: part them by a pixel.
  if (x1 == x2 && y1 == y2 && std::fabs(op.RY4) <= 10) {
    float s = std::fmod(op.RX4, 360.0f);
    if (s < 0) s += 360;
    if (s < 90) { x2 -= 1; y2 -= 1; }
    else if (s < 180) { x2 -= 1; y2 += 1; }
    else if (s < 270) { x2 += 1; y2 += 1; }
    else { x2 += 1; y2 -= 1; }
  }
  if (code == DARC) yywinoutlinearc(op.IX1, cy, trunc(rx), trunc(ry), x1, y1, x2, y2, at.HATCHDENSITY, at.FILLSTYLE);
  else yywinarc(op.IX1, cy, trunc(rx), trunc(ry), x1, y1, x2, y2, code - 10);
}

void points(int n, int H) {
  const GraphicsRegion& g = tessar.graphics;
  const int count = std::max(n, 0);
  yypolalloc(count);
  for (int k = 0; k < count && static_cast<std::size_t>(k) < g.XWORK.size() && static_cast<std::size_t>(k) < g.YWORK.size(); ++k)
    yypolpoint(trunc(g.XWORK[static_cast<std::size_t>(k)]), H - trunc(g.YWORK[static_cast<std::size_t>(k)]), k);
}

void describe() {
  DeviceDescription& dd = tessar.graphics.description;
  int variant = 0;
  win::yywinvariant(variant);
  int gradient = 1;
  yygradfilltype(gradient);
  dd.SCTEXTANGLES = 360;
  dd.SCPLATFORM = variant == 4 ? 2 : 1;
  dd.SCTRUECOLOUR = tessar.display.COLOURS > 256 ? 1 : 0;
  dd.SCGRADIENT = gradient;
  dd.SCTEXTLEVEL = 8;
  dd.SCTEXTLIMIT = 1.7e38f;
  dd.SCCAPS = "11111111111111111110111011111";
  if (tessar.graphics.target.TARGETTYPE == 4) dd.SCCAPS[28] = '0';
}

void endpage(int H) {
  // The window dump prints through the raster side's dump device.
  if (tessar.hardcopy.settings.PRINTERPRESENT == 0 || graphicsservices.yywindumpstart == nullptr) {
    tessar.error.ERRDETAIL = 0;
    tessar.error.ERRDETAILKIND = 0;
    yyerror(1, "YYGAPI");
    return;
  }
  const GraphicsArea& a = tessar.graphics.area;
  int failed = 0;
  graphicsservices.yywindumpstart(failed);
  if (failed != 0) {
    tessar.error.ERRDETAIL = 0;
    tessar.error.ERRDETAILKIND = 0;
    yyerror(1, "YYGAPI");
    return;
  }
  if (graphicsservices.yywindumpblit != nullptr)
    graphicsservices.yywindumpblit(a.IXMIN, H - a.IYMAX, a.IXMAX, H - a.IYMIN, failed);
  if (failed != 0) yyerror(64, "YYGAPI");
  if (graphicsservices.yywindumpend != nullptr) graphicsservices.yywindumpend();
}

void image(int H) {
  const GraphicsRegion& g = tessar.graphics;
  DeviceOperands& op = tessar.graphics.operands;
  const GraphicsArea& a = g.area;
  if (graphicsservices.yyloadimage == nullptr) return;
  int variant = 0;
  win::yywinvariant(variant);
  const int rotation = a.PAGEROTATION, h = g.target.HEIGHT;
  int x1 = a.IXMIN, y1 = H - a.IYMAX, x2 = a.IXMAX, y2 = H - a.IYMIN;
  if (rotation % 180 != 0 && variant == 4) {
    x1 = a.IYMIN;
    y1 = H - a.IXMAX;
    x2 = a.IYMAX;
    y2 = H - a.IXMIN;
  }
  int ox = 0, oy = 0;
  if (rotation == 90) {
    ox = a.IXMIN + a.IXMAX - h;
    oy = h;
  } else if (rotation == 180) {
    ox = a.IXMIN + a.IXMAX;
    oy = 2 * h - a.IYMAX - a.IYMIN;
  } else if (rotation == 270) {
    ox = h;
    oy = h - a.IYMAX - a.IYMIN;
  }
  std::string name = tessar.files.HCCURRENT;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  graphicsservices.yyloadimage(op.IX1, 0, x1, y1, x2, y2, op.IY1, rotation, ox, oy, op.IOPER1, op.IOPER2, name);
}

// The platform's gradient triangles for the decomposed polygon: status 0 when drawn.
void gradienttriangles(const GradientVertices& v, int& status) {
  const int n = std::clamp(v.n, 0, static_cast<int>(v.X.size()));
  const int m = std::clamp(v.ntri, 0, static_cast<int>(v.T.size()));
  std::vector<int> t;
  for (int j = 0; j < m; ++j)
    for (int corner : v.T[static_cast<std::size_t>(j)]) t.push_back(corner + 1);
  yywingradfill(std::span<const int>(v.X.data(), static_cast<std::size_t>(n)),
                std::span<const int>(v.Y.data(), static_cast<std::size_t>(n)),
                std::span<const int>(v.RGB.data(), static_cast<std::size_t>(n)), t, n, m, status);
}

void gradient(int H) {
  GraphicsRegion& g = tessar.graphics;
  GradientVertices& gv = g.gradient;
  const GraphicsArea& a = g.area;
  // Device reals to pixels: truncated toward zero, and downward below zero.
  auto pixel = [](float v) { return v >= 0 ? trunc(v) : trunc(v - 0.999f); };
  const int n = std::clamp(gv.n, 0, static_cast<int>(gv.X.size()));
  for (int k = 0; k < n && static_cast<std::size_t>(k) < g.XWORK.size() && static_cast<std::size_t>(k) < g.YWORK.size(); ++k) {
    const auto i = static_cast<std::size_t>(k);
    gv.X[i] = pixel(g.XWORK[i]);
    gv.Y[i] = H - pixel(g.YWORK[i]);
  }
  yygradientfill(g.description.SCGRADIENT, a.IXMIN, H - a.IYMAX, a.IXMAX, H - a.IYMIN, yywinpointrgb,
                 gradienttriangles);
}

}  // namespace

int yygapifontcount() { return fontsmade; }

void yygapi(int& code) {
  GraphicsRegion& g = tessar.graphics;
  if (g.attributes.SCREENON == 0 || code < 1 || code > 40) return;
  DeviceOperands& op = g.operands;
  const GraphicsAttributes& at = g.attributes;
  const GraphicsArea& a = g.area;
  const int H = g.target.HEIGHT - 1;
  const bool metafile = g.target.TARGETTYPE == 4;
  int rgb0 = 0;
  switch (code) {
    case DOPEN: describe(); break;
    case DLINE: yywinline(op.IX1, H - op.IY1, op.IX2, H - op.IY2); break;
    case DCOLOUR: yywincolour(at.COLOURS[PAIRDEVICE][CURRENT], at.COLOURS[PAIRRGB][CURRENT]); break;
    case DELLIPSE: yywinellipse(op.IX1, H - op.IY1, op.IX2, op.IY2, 4, 0); break;
    case DELLIPSEFILL:
    case DELLIPSESOLID: yywinellipse(op.IX1, H - op.IY1, op.IX2, op.IY2, code, code - 2); break;
    case DPARALLEL:
    case DPARALLELSOLID:
      yypolalloc(4);
      yypolpoint(op.IX1, H - op.IY1, 0);
      yypolpoint(op.IX2, H - op.IY2, 1);
      yypolpoint(op.IX3, H - op.IY3, 2);
      yypolpoint(op.IX4, H - op.IY4, 3);
      yywinpolygon(4, code - 4);
      yypolfree();
      break;
    case DRECT:
    case DRECTSOLID: yywinrectangle(op.IX1, H - op.IY2, op.IX2, H - op.IY1, code - 6); break;
    case DTRIANGLE:
    case DTRIANGLESOLID:
      yypolalloc(3);
      yypolpoint(op.IX1, H - op.IY1, 0);
      yypolpoint(op.IX2, H - op.IY2, 1);
      yypolpoint(op.IX3, H - op.IY3, 2);
      yywinpolygon(3, code - 8);
      yypolfree();
      break;
    case DSECTOR:
    case DSECTORSOLID:
    case DARC: sector(code, H); break;
    case DPOLYGON:
    case DPOLYGONSOLID:
      points(op.IOPER2, H);
      yywinpolygon(op.IOPER2, code - 12);
      yypolfree();
      break;
    case DCLEAR:
      yypalg(0, rgb0);
      yywinclear(g.target.WIDTH, g.target.HEIGHT, rgb0);
      break;
    case DBEGINPLOT:
      cache = FontCache{};
      batch = 0;
      break;
    case DENDPAGE: endpage(H); break;
    case DFONT:
    case DCHARROTATE: font(); break;
    case DTEXT: text(H); break;
    case DBLOCK:
      if (metafile) break;
      yypalg(0, rgb0);
      yywinblit(op.IX1, H - op.IY2, op.IX3, H - (op.IY3 + op.IY2 - op.IY1), op.IX2 - op.IX1 + 1,
                op.IY2 - op.IY1 + 1, op.IOPER1, rgb0);
      break;
    case DCLIP:
      if (a.IXMIN < 1 && a.IXMAX >= g.target.WIDTH - 1 && a.IYMIN < 1 && a.IYMAX >= g.target.HEIGHT - 1 &&
          g.target.TARGETTYPE != 3)
        yywinclip(0, 0, 0, -1);
      else
        yywinclip(a.IXMIN, H - a.IYMAX, a.IXMAX, H - a.IYMIN);
      break;
    case DTEXTLENGTH: {
      int width = 0;
      yywintextlength(width, tessar.files.HCCURRENT, std::max(op.IOPER1, 0));
      op.RX1 = static_cast<float>(width);
      op.IOPER2 = 1;
      break;
    }
    case DPOINT: yywinpoint(op.IX1, H - op.IY1); break;
    case DPLOTMODE: yywinplotmode(at.PLOTMODE); break;
    case DPALETTEENTRY:
      if (tessar.display.COLOURS == 256) {
        const int rgb = classcolour(op.IOPER1);
        if (rgb != op.IX1 || (batch == 3 && op.IX4 == 0)) {
          int mode = 0;
          if (op.IX4 == 0) {
            mode = batch;
            batch = 0;
          } else {
            mode = batch / 3 + 1;
            batch = 3;
          }
          yywinpalette(op.IOPER1, op.IX1, mode);
        }
      }
      if (at.COLOURMODEL == 1 && (op.IOPER1 == at.COLOURS[PAIRDEVICE][PREVIOUS] ||
                                  op.IOPER1 == at.COLOURS[PAIRDEVICE][CURRENT]))
        resendcolours();
      break;
    case DLINETYPE: yywinlinetype(at.LINETYPE); break;
    case DLINEWIDTH: {
      int width = at.LINEWIDTH;
      if (metafile && g.target.TARGETNUMBER >= 1 && g.target.TARGETNUMBER <= 20) {
        const MetafileSlot& s = g.metafiles[static_cast<std::size_t>(g.target.TARGETNUMBER - 1)];
        if (s.SIZE1 != 0) width = s.SIZE3 * at.LINEFACTOR / (s.SIZE1 * 10);
      }
      yywinlinewidth(width);
      break;
    }
    case DREADPIXEL: {
      if (metafile) {
        op.IX1 = -1;
        break;
      }
      int r = -1, gr = 0, b = 0;
      yywingetpixelrgb(op.IX1, H - op.IY1, r, gr, b);
      op.IX1 = r;
      op.IX2 = gr;
      op.IX3 = b;
      if (r != -1) op.IX1 = r + 256 * gr + 65536 * b;
      break;
    }
    case DPOLYLINE:
      points(op.IOPER2, H);
      yywinpolyline(op.IOPER2);
      yypolfree();
      break;
    case DLOADPALETTE: {
      const int c = at.DEVCLASS;
      if (tessar.display.COLOURS == 256 && c > 0) {
        for (int k = 0; k < c; ++k) {
          const int mode = k == c - 1 ? 3 : k == 0 ? loadmode : 2;
          loadmode = mode;
          yywinpalette(k, classcolour(k), mode);
        }
      }
      if (at.COLOURMODEL == 1) {
        GraphicsAttributes& w = g.attributes;
        yypalg(w.COLOURS[PAIRINDEX][CURRENT], w.COLOURS[PAIRRGB][CURRENT]);
        yypalg(w.COLOURS[PAIRINDEX][PREVIOUS], w.COLOURS[PAIRRGB][PREVIOUS]);
      }
      resendcolours();
      break;
    }
    case DIMAGE: image(H); break;
    case DGRADIENT: gradient(H); break;
    default: break;   // 19, 36, 37 and 39 are not the screen's
  }
}

void yyscreenservices() {
  graphicsservices.yygapi = yygapi;
  graphicsservices.IGrSelect = IGrSelect;
  graphicsservices.WMetafileDestroy = WMetafileDestroy;
  graphicsservices.yyloadimage = yyloadimage;
  graphicsservices.yybitmapselect = yybitmapselect;
  graphicsservices.yybitmapinfo = yybitmapinfo;
}
