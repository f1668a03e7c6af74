// One driver body serves both devices: the metafile and the printer differ in their back-end
// calls, their defaults, their scale at begin plot and a few requests (line width, point,
// text anchor, monochrome colours); everything else is shared.
#include "toolkit/winprint/wdrivers.h"
#include "toolkit/winprint/wdump.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "platform/os.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/gradient.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/raster/printer_info.h"
#include "toolkit/screen/images.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/winprint/wmf.h"
#include "toolkit/winprint/wprint.h"

namespace {

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }
void setoption(int n, int v) { tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)] = v; }
DeviceOperands& ops() { return tessar.graphics.operands; }
int trunc(float v) { return static_cast<int>(v); }

using RGB = std::array<int, 3>;

// What each device keeps between requests.
struct DriverState {
  bool printer = false;
  int emf = 0;                    // metafile: 1 for an enhanced metafile
  int LX = 0, LY = 0;             // metafile: logical extent; printer: page in pixels
  float emfratio = 1;
  int query = 0;                  // printer: the last printer query's result
  float resx = 600, resy = 600;   // printer: resolution of the last begin plot
  int cellheight = 0, ascent = 0; // printer: metrics of the current font
  RGB current{255, 255, 255}, previous{255, 255, 255}, fill{0, 0, 0};
};
DriverState metafile{false};
DriverState printer{true};

const char* routine(const DriverState& s) { return s.printer ? "XXWIN" : "XXWMF"; }

RGB rgb(int colour) {
  RGB c{};
  yypalrgb(colour, &c[0], &c[1], &c[2]);
  return c;
}
int currentcolour(int slot) {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  const int pair = at.COLOURMODEL == 2 ? PAIRRGB : PAIRINDEX;
  return at.COLOURS[static_cast<std::size_t>(pair)][static_cast<std::size_t>(slot)];
}

void mapcolour(RGB& c) { yywmf1(c[0], c[1], c[2]); }

void backcolour(const DriverState& s, const RGB& c) {
  if (s.printer) yywprcolour(c[0], c[1], c[2]);
  else yywmfcolour(c[0], c[1], c[2]);
}

float height() { return tessar.graphics.area.EXTY; }
int X(float x) { return trunc(x * ops().HCSCALEX); }
int Y(float y) { return trunc((height() - y) * ops().HCSCALEY); }
float crossx() { return ops().HCRSCALEX != 0 ? ops().HCRSCALEX : ops().HCSCALEX; }
float crossy() { return ops().HCRSCALEY != 0 ? ops().HCRSCALEY : ops().HCSCALEY; }

void openfailed(const DriverState& s, int syserror) {
  tessar.error.ERRDETAIL = syserror;
  tessar.error.ERRDETAILKIND = 2;
  yyerror(1, routine(s));
  tessar.graphics.attributes.HARDCOPYON = 0;
}

// A failed print job (page, end of document): reported with the system's code.
void jobfailed(int code) {
  if (code == 0) return;
  tessar.error.ERRDETAIL = code;
  tessar.error.ERRDETAILKIND = 2;
  yyerror(1, "XXWIN");
}

void description(DeviceDescription& dd) {
  dd.HCTEXTANGLES = 360;
  int variant = 0;
  win::yywinvariant(variant);
  dd.HCPLATFORM = variant == 4 ? 2 : 1;
  dd.HCTRUECOLOUR = 1;
  int gradient = 1;
  yygradfilltype(gradient);
  dd.HCGRADIENT = gradient;
  dd.HCDEVTEXT = 1;
  dd.HCTEXTBACK = 1;
  dd.HCTEXTLIMIT = 1.7e38f;
  dd.HCCAPS = "00000111111111100010011011110";
  ops().PRINTCMDOK = 0;
}

void defaults(DriverState& s) {
  DeviceOperands& op = ops();
  if (op.IOPER2 == -999) {
    op.IOPER2 = s.printer ? HCWINPRINTER : HCWMF;
    return;
  }
  yydefh();
  if (!s.printer) {
    setoption(1, 756);
    setoption(2, 540);
    op.HCRESX = op.HCRESY = 600;
    op.HCCOLOURS = 256;
    setoption(27, 1);
    setoption(29, 0);
    assignfixed(tessar.files.HCOUTPUT, "");
  } else if (op.IOPER1 != -998) {
    int longside, shortside, width, h, left, top, orientation, copies, colours, error;
    yywprinfo(longside, shortside, width, h, left, top, orientation, copies, colours, error);
    HardcopySettings& hs = tessar.hardcopy.settings;
    hs.PAGEWIDTH = longside;
    hs.PAGEHEIGHT = shortside;
    setoption(1, width);
    setoption(2, h);
    setoption(3, left);
    setoption(4, top);
    setoption(5, orientation);
    setoption(8, copies);
    hs.PRINTERPRESENT = error == 0 ? 1 : 0;
    op.HCCOLOURS = yytruecolours(colours);
    setoption(7, op.HCCOLOURS <= 2 ? 1 : 0);
    s.query = error;
  }
  description(tessar.graphics.description);
  op.HCDEVICE = s.printer ? HCWINPRINTER : HCWMF;
}

std::string title() {
  DeviceOperands& op = ops();
  std::string& t = tessar.files.TEXTBUF;
  if (op.IX1 == 0) assignfixed(t, "Tessaraweld graphic");
  return t.substr(0, static_cast<std::size_t>(lentrim(t)));
}

void beginplot(DriverState& s) {
  DeviceOperands& op = ops();
  const GraphicsTarget& tg = tessar.graphics.target;
  if (op.IOPER1 > 0) {
    int error = 0, syserror = 0;
    if (!s.printer) {
      s.emf = option(27) == 2 ? 1 : 0;
      const int right = 1000 * option(1) / 72, bottom = 1000 * option(2) / 72;
      const int checksum = 21753 ^ right ^ bottom;
      s.LX = 10 * option(1);
      s.LY = 10 * option(2);
      const std::string name = title();
      const std::string& out = tessar.files.HCCURRENT;
      std::string file = out.substr(0, static_cast<std::size_t>(lentrim(out)));
      file.push_back('\0');
      std::string desc = "VXK metafile driver";
      desc.push_back('\0');
      desc += name;
      desc.append(2, '\0');
      yywmfopen(s.LX, s.LY, option(27), option(29), right, bottom, checksum, op.IOPER2, error, syserror, file, desc,
                static_cast<int>(file.size()), static_cast<int>(desc.size()));
      if (error != 0) {
        openfailed(s, syserror);
        return;
      }
      if (s.emf != 0 && option(1) != 0) s.emfratio = static_cast<float>(s.LX) / static_cast<float>(10 * option(1));
    } else {
      int colours = 0;
      if (s.query == 0) {
        std::string name = title();
        name.push_back('\0');
        yywpropen(option(1), option(2), option(3), option(4), op.HCRESX, op.HCRESY, colours, error, syserror,
                  option(5), option(8), name, static_cast<int>(name.size()));
      } else {
        error = 1;
        syserror = s.query;
      }
      if (error != 0) {
        openfailed(s, syserror);
        return;
      }
      s.resx = static_cast<float>(op.HCRESX);
      s.resy = static_cast<float>(op.HCRESY);
      s.LX = option(1) * op.HCRESX / 72;
      s.LY = option(2) * op.HCRESY / 72;
      op.HCCOLOURS = std::min(yytruecolours(colours), 256);
    }
    s.current = {255, 255, 255};
  }
  if (s.printer) {
    op.HCSCALEX = static_cast<float>(s.LX) / static_cast<float>(std::max(tg.WIDTH, 1));
    op.HCSCALEY = static_cast<float>(s.LY) / static_cast<float>(std::max(tg.HEIGHT, 1));
  } else {
    const GraphicsArea& a = tessar.graphics.area;
    op.HCSCALEX = a.EXTX > 0 ? static_cast<float>(s.LX) / a.EXTX : 0;
    op.HCSCALEY = a.EXTY > 0 ? static_cast<float>(s.LY) / a.EXTY : 0;
  }
}

void colour(DriverState& s) {
  s.previous = s.current;
  RGB c = rgb(currentcolour(CURRENT));
  if (s.printer && option(7) != 0) {
    const GraphicsAttributes& at = tessar.graphics.attributes;
    const bool white = at.COLOURMODEL == 2 ? currentcolour(CURRENT) == 0xFFFFFF : currentcolour(CURRENT) == 0;
    c = white ? RGB{255, 255, 255} : RGB{0, 0, 0};
  } else {
    mapcolour(c);
  }
  s.current = c;
  backcolour(s, c);
}

// Points of the request into the point buffer: the corners given, or XWORK/YWORK.
void corners(std::initializer_list<std::pair<float, float>> pts) {
  yypolalloc(static_cast<int>(pts.size()));
  int i = 0;
  for (const auto& [x, y] : pts) yypolpoint(X(x), Y(y), i++);
}
bool worklist(int n) {
  const GraphicsRegion& g = tessar.graphics;
  if (n < 1 || static_cast<std::size_t>(n) > g.XWORK.size() || static_cast<std::size_t>(n) > g.YWORK.size()) return false;
  yypolalloc(n);
  for (int i = 0; i < n; ++i) yypolpoint(X(g.XWORK[static_cast<std::size_t>(i)]), Y(g.YWORK[static_cast<std::size_t>(i)]), i);
  return true;
}

struct Sector {
  int cx, cy, rx, ry, xs, ys, xe, ye;
};
Sector sector() {
  const DeviceOperands& op = ops();
  Sector s{};
  s.xs = X(op.RX1 + op.RX2 * std::cos(op.RX3));
  s.ys = Y(op.RY1 + op.RY2 * std::sin(op.RX3));
  s.xe = X(op.RX1 + op.RX2 * std::cos(op.RY3));
  s.ye = Y(op.RY1 + op.RY2 * std::sin(op.RY3));
  if (s.xs == s.xe && s.ys == s.ye && std::fabs(op.RY4) <= 10) {
    float q = op.RX4 - 360.0f * static_cast<float>(trunc(op.RX4 / 360.0f));
    if (q < 0) q += 360;
    if (q < 90) { s.xe -= 1; s.ye -= 1; }
    else if (q < 180) { s.xe -= 1; s.ye += 1; }
    else if (q < 270) { s.xe += 1; s.ye += 1; }
    else { s.xe += 1; s.ye -= 1; }
  }
  s.cx = X(op.RX1);
  s.cy = Y(op.RY1);
  s.rx = trunc(op.RX2 * op.HCSCALEX);
  s.ry = trunc(op.RY2 * op.HCSCALEY);
  return s;
}

void shape(DriverState& s, int code) {
  DeviceOperands& op = ops();
  const GraphicsAttributes& at = tessar.graphics.attributes;
  const int style = at.FILLSTYLE;
  const bool colours = style > 2 || (s.printer && (style == 1 || style == 2) && option(7) != 0);
  if (op.IOPER1 == -1) {
    if (colours) {
      backcolour(s, s.previous);
      backcolour(s, s.current);
    }
    return;
  }
  op.PLOTSTARTED = 1;
  if (colours) {
    RGB f = rgb(currentcolour(CURRENT));
    if (style == 3) {
      const RGB p = rgb(currentcolour(PREVIOUS));
      for (std::size_t k = 0; k < 3; ++k) f[k] = (f[k] + p[k]) / 2;
    }
    mapcolour(f);
    s.fill = f;
    backcolour(s, f);
  }
  if (style <= 2 && code != DELLIPSEFILL) return;
  const bool pr = s.printer;
  switch (code) {
    case DELLIPSEFILL: {
      const int cx = X(op.RX1), cy = Y(op.RY1), rx = trunc(op.RX2 * op.HCSCALEX), ry = trunc(op.RY2 * op.HCSCALEY);
      if (pr) yywprellipse(cx, cy, rx, ry, style);
      else yywmfellipse(cx, cy, rx, ry, style);
      break;
    }
    case DPARALLEL:
      corners({{op.RX1, op.RY1}, {op.RX2, op.RY2}, {op.RX3, op.RY3}, {op.RX4, op.RY4}});
      if (pr) yywprpolygon(4, 0);
      else yywmfpolygon(4);
      yypolfree();
      break;
    case DTRIANGLE:
      corners({{op.RX1, op.RY1}, {op.RX2, op.RY2}, {op.RX3, op.RY3}});
      if (pr) yywprpolygon(3, 0);
      else yywmfpolygon(3);
      yypolfree();
      break;
    case DPOLYGON:
      if (worklist(op.IOPER2)) {
        if (pr) yywprpolygon(op.IOPER2, at.STROKETEXT);
        else yywmfpolygon(op.IOPER2);
      }
      yypolfree();
      break;
    case DRECT: {
      const GraphicsArea& a = tessar.graphics.area;
      const int x1 = trunc(std::max(op.RX1, a.XMIN) * op.HCSCALEX);
      const int y1 = trunc((height() - std::min(op.RY2, a.YMAX)) * op.HCSCALEY);
      const int x2 = trunc(std::min(op.RX2, a.XMAX) * op.HCSCALEX);
      const int y2 = trunc((height() - std::max(op.RY1, a.YMIN)) * op.HCSCALEY);
      if (pr) yywprrectangle(x1, y1, x2, y2);
      else yywmfrectangle(x1, y1, x2, y2);
      break;
    }
    case DSECTOR: {
      const Sector g = sector();
      if (pr) yywprarc(g.cx, g.cy, g.rx, g.ry, g.xs, g.ys, g.xe, g.ye);
      else yywmfarc(g.cx, g.cy, g.rx, g.ry, g.xs, g.ys, g.xe, g.ye);
      break;
    }
    default: break;
  }
}

void font(DriverState& s) {
  const GraphicsRegion& g = tessar.graphics;
  const TextState& ts = g.text;
  float w = g.area.RDEVW * ts.CW * crossx(), h = g.area.RDEVH * ts.CH * crossy();
  int style = ts.TYPEFLAGS;
  if (ts.SPACING != 0) {
    w *= ts.SPACING == 1 ? 0.607f : 0.725f;
    if (ts.FACE == 4) w *= 1.38f;
    h *= 0.821f;
    if (ts.SPACING == 1) style &= ~4;
  }
  const int angle = trunc(ts.ANGLE2);
  std::string name = ts.USERFACE.substr(0, static_cast<std::size_t>(lentrim(ts.USERFACE)));
  name.push_back('\0');
  if (s.printer) {
    int cell = trunc(h), ascent = 0;
    yywprtextsize(trunc(w), cell, ascent, angle, ts.FACE, style, name, static_cast<int>(name.size()));
    s.cellheight = cell;
    s.ascent = ascent;
  } else {
    yywmftextsize(trunc(w), trunc(h), angle, ts.FACE, style, name, static_cast<int>(name.size()));
  }
}

void text(DriverState& s) {
  DeviceOperands& op = ops();
  const TextState& ts = tessar.graphics.text;
  op.PLOTSTARTED = 1;
  const int count = std::max(op.IX1, 0);
  float dx, dy;
  if (s.printer) {
    const float d = static_cast<float>(s.ascent) - 0.5f * static_cast<float>(s.cellheight);
    dx = d * ts.SINA2DQ / crossx();
    dy = -d * ts.COSA2 / crossy();
  } else {
    dx = 0.25f * op.RY2 * ts.SINA2DQ;
    dy = -0.25f * op.RY2 * ts.COSA2;
  }
  const int x1 = X(op.RX1 + dx), y1 = Y(op.RY1 + dy), x2 = X(op.RX3 + dx), y2 = Y(op.RY3 + dy);
  const int justify = ts.SPACING == 1 ? 0 : ts.JUSTIFY;
  const int opaque = ts.SPACING != 1 && (ts.TYPEFLAGS & 8) != 0 && ts.DIRECTION == 0 ? 1 : 0;
  const std::string& t = tessar.files.HCCURRENT;
  if (s.printer) yywprdrawstring(x1, y1, x2, y2, justify, opaque, t, std::min(count, static_cast<int>(t.size())));
  else yywmfdrawstring(x1, y1, x2, y2, justify, opaque, t, std::min(count, static_cast<int>(t.size())));
  op.IX4 = 0;
}

void clip(const DriverState& s) {
  if (!s.printer && s.emf == 0) return;
  const DeviceOperands& op = ops();
  const GraphicsArea& a = tessar.graphics.area;
  const int x1 = trunc(a.XMIN * op.HCSCALEX), y1 = trunc((height() - a.YMAX) * op.HCSCALEY);
  const int x2 = trunc(a.XMAX * op.HCSCALEX + 0.99f), y2 = trunc((height() - a.YMIN) * op.HCSCALEY + 0.99f);
  if (s.printer) yywprclip(x1, y1, x2, y2);
  else yywmfclip(x1, y1, x2, y2);
}

void textlength(const DriverState& s) {
  DeviceOperands& op = ops();
  const std::string& t = tessar.files.HCCURRENT;
  const int count = std::min(std::max(op.IOPER1, 0), static_cast<int>(t.size()));
  int length = 0;
  if (s.printer) yywprtextlength(length, t, count);
  else yywmftextlength(length, t, count);
  op.RX1 = static_cast<float>(length) / crossx();
  op.IOPER2 = 1;
}

void linewidth(const DriverState& s) {
  if (!s.printer) {
    yywmflinewidth(s.emf != 0 ? trunc(s.emfratio * static_cast<float>(option(9))) : option(9));
    return;
  }
  auto nearest = [](float v) { return trunc(v + 0.5f); };
  const int wx = std::max(nearest(s.resx * static_cast<float>(option(9)) / 720.0f), 1);
  const int wy = std::max(nearest(s.resy * static_cast<float>(option(9)) / 720.0f), 1);
  yywprlinewidth(((wx - 1) + (wy - 1)) / 2);
}

void image(const DriverState& s) {
  DeviceOperands& op = ops();
  const GraphicsArea& a = tessar.graphics.area;
  const int Hd = tessar.graphics.target.HEIGHT;
  op.PLOTSTARTED = 1;
  int variant = 0;
  win::yywinvariant(variant);
  const int rot = a.PAGEROTATION;
  std::array<float, 4> box{a.XMIN, static_cast<float>(Hd - 1) - a.YMAX, a.XMAX, static_cast<float>(Hd - 1) - a.YMIN};
  float sx = op.HCSCALEX, sy = op.HCSCALEY;
  if (!(rot % 180 == 0 || variant < 4)) {
    box = {a.YMIN, static_cast<float>(Hd - 1) - a.XMAX, a.YMAX, static_cast<float>(Hd - 1) - a.XMIN};
    std::swap(sx, sy);
  }
  int ox = 0, oy = 0;
  switch (rot) {
    case 90: ox = a.IXMIN + a.IXMAX - Hd; oy = Hd; break;
    case 180: ox = a.IXMIN + a.IXMAX; oy = 2 * Hd - a.IYMAX - a.IYMIN; break;
    case 270: ox = Hd; oy = Hd - a.IYMAX - a.IYMIN; break;
    default: break;
  }
  std::string name = tessar.files.HCCURRENT.substr(0, static_cast<std::size_t>(lentrim(tessar.files.HCCURRENT)));
  yyloadimage(op.IX1, s.printer ? HCWINPRINTER : HCWMF, trunc(sx * box[0]), trunc(sy * box[1]), trunc(sx * box[2]),
              trunc(sy * box[3]), 1, rot, trunc(op.HCSCALEX * static_cast<float>(ox)),
              trunc(op.HCSCALEY * static_cast<float>(oy)), op.IOPER1, op.IOPER2, name);
}

void gradienttriangles(const GradientVertices& v, int& status, bool printer) {
  const int n = std::clamp(v.n, 0, static_cast<int>(v.X.size()));
  const int m = std::clamp(v.ntri, 0, static_cast<int>(v.T.size()));
  std::vector<int> t;
  for (int j = 0; j < m; ++j)
    for (int corner : v.T[static_cast<std::size_t>(j)]) t.push_back(corner + 1);
  const std::span<const int> x(v.X.data(), static_cast<std::size_t>(n)), y(v.Y.data(), static_cast<std::size_t>(n)),
      c(v.RGB.data(), static_cast<std::size_t>(n));
  if (printer) yywprgradfill(x, y, c, t, n, m, status);
  else yywmfgradfill(x, y, c, t, n, m, status);
}

void gradient(const DriverState& s) {
  DeviceOperands& op = ops();
  GraphicsRegion& g = tessar.graphics;
  GradientVertices& gv = g.gradient;
  op.PLOTSTARTED = 1;
  const int n = std::clamp(gv.n, 0, static_cast<int>(gv.X.size()));
  for (int k = 0; k < n && static_cast<std::size_t>(k) < g.XWORK.size() && static_cast<std::size_t>(k) < g.YWORK.size(); ++k) {
    gv.X[static_cast<std::size_t>(k)] = X(g.XWORK[static_cast<std::size_t>(k)]);
    gv.Y[static_cast<std::size_t>(k)] = Y(g.YWORK[static_cast<std::size_t>(k)]);
  }
  const int type = s.printer || s.emf != 0 ? g.description.HCGRADIENT : 1;
  const GraphicsArea& a = g.area;
  if (s.printer) {
    yygradientfill(type, trunc(a.XMIN * op.HCSCALEX), Y(a.YMAX), trunc(a.XMAX * op.HCSCALEX), Y(a.YMIN), yywprpointrgb,
                   [](const GradientVertices& v, int& status) { gradienttriangles(v, status, true); });
  } else {
    yygradientfill(type, trunc(a.XMIN * op.HCSCALEX), Y(a.YMAX), trunc(a.XMAX * op.HCSCALEX), Y(a.YMIN), yywmfpointrgb,
                   [](const GradientVertices& v, int& status) { gradienttriangles(v, status, false); });
  }
}

void request(DriverState& s, int code) {
  DeviceOperands& op = ops();
  const bool pr = s.printer;
  switch (code) {
    case DOPEN: defaults(s); return;
    case DLINE:
      op.PLOTSTARTED = 1;
      if (pr) yywprline(X(op.RX1), Y(op.RY1), X(op.RX2), Y(op.RY2));
      else yywmfline(X(op.RX1), Y(op.RY1), X(op.RX2), Y(op.RY2));
      return;
    case DCOLOUR: case DLOADPALETTE: colour(s); return;
    case DELLIPSEFILL: case DPARALLEL: case DRECT: case DTRIANGLE: case DSECTOR: case DPOLYGON:
      shape(s, code);
      return;
    case DBEGINPLOT: beginplot(s); return;
    case DENDPLOT:
      if (pr) {
        jobfailed(yywprclose());
      } else {
        int error = 0, syserror = 0;
        yywmfclose(error, &syserror);
        if (error == 1) {
          tessar.error.ERRDETAIL = syserror;
          tessar.error.ERRDETAILKIND = 2;
        }
        if (error != 0) yyerror(error, "XXWMF");
      }
      return;
    case DENDPAGE:
      op.PLOTSTARTED = 0;
      if (pr) jobfailed(yywprdump());
      return;
    case DFONT: case DCHARROTATE: font(s); return;
    case DTEXT: text(s); return;
    case DCLIP: clip(s); return;
    case DTEXTLENGTH: textlength(s); return;
    case DPOINT:
      op.PLOTSTARTED = 1;
      if (pr) yywprpoint(X(op.RX1), Y(op.RY1));
      else yywmfpoint(X(op.RX1), Y(op.RY1));
      return;
    case DLINETYPE:
      if (pr) yywprlinetype(tessar.graphics.attributes.LINETYPE);
      else yywmflinetype(tessar.graphics.attributes.LINETYPE);
      return;
    case DLINEWIDTH: linewidth(s); return;
    case DPOLYLINE:
      op.PLOTSTARTED = 1;
      if (worklist(op.IOPER2)) {
        if (pr) yywprpolyline(op.IOPER2);
        else yywmfpolyline(op.IOPER2);
      }
      yypolfree();
      return;
    case DARC: {
      op.PLOTSTARTED = 1;
      const Sector g = sector();
      const int density = tessar.graphics.attributes.HATCHDENSITY;
      if (pr) yywproutlinearc(g.cx, g.cy, g.rx, g.ry, g.xs, g.ys, g.xe, g.ye, density);
      else yywmfoutlinearc(g.cx, g.cy, g.rx, g.ry, g.xs, g.ys, g.xe, g.ye, density);
      return;
    }
    case DIMAGE: image(s); return;
    case DGRADIENT: gradient(s); return;
    default: return;
  }
}

}  // namespace

void yywmf1(int& red, int& green, int& blue) {
  const bool light = red > 245 && green > 245 && blue > 245;
  const bool dark = red < 10 && green < 10 && blue < 10;
  if (option(6) == 1 || (option(6) == 2 && (light || dark))) {
    red = 255 - red;
    green = 255 - green;
    blue = 255 - blue;
  }
}

void yywin1(int& red, int& green, int& blue) { yywmf1(red, green, blue); }

void xxwmf(int& code) { request(metafile, code); }
void xxwin(int& code) { request(printer, code); }

void yyinstallwinprint() {
  yyhcregister(HCWINPRINTER, xxwin);
  yyhcregister(HCWMF, xxwmf);
  yyinstallwindump();
}

int yytruecolours(int count) { return count < 0 ? 256 : count; }
