// HP-GL: plotter files in user units 0..32760 on both axes, one instruction per line, pens
// chosen by hue, native fills where the plotter's dialect has them and otherwise hatching by
// the graphics layer bracketed by the toolkit's own annotation records (SC with a negative
// first parameter, each group closed by the plot scaling again).
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hcdrivers/hpgl.h"
#include "toolkit/hcdrivers/hpgl_writers.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

struct PlotterModel {
  char dialect;
  int pens, width, height, xmargin, unitsperinch;
};

constexpr std::array<PlotterModel, 10> kModels = {{
    {'U', 4, 10870, 7480, 400, 1016},
    {'H', 6, 11040, 7721, 400, 1021},
    {'H', 6, 16158, 11040, 400, 1021},
    {'E', 4, 10900, 7650, 400, 1016},
    {'F', 6, 10880, 7640, 400, 1016},
    {'H', 8, 10880, 7640, 0, 1016},
    {'H', 8, 10869, 7600, 0, 1016},
    {'H', 8, 15970, 10870, 0, 1016},
    {'F', 6, 10960, 7480, 400, 1016},
    {'F', 6, 15880, 10960, 400, 1016},
}};

struct Dialect {
  char letter;
  int fillmask;  // bit i: primitive i (1 ellipse .. 6 polygon) filled natively
  const char* caps;
  const char* dots;
};

constexpr std::array<Dialect, 4> kDialects = {{
    {'U', 0, "00000100000000000010000000010", "1 .3"},
    {'E', 0, "00000100000000000010000000000", "1 .3"},
    {'F', 40, "00000100000010000010000000010", "1 1"},
    {'H', 126, "00000100000011100010001001010", "1 .3"},
}};

constexpr std::array<int, 8> kPenMap = {0, 2, 4, 1, 5, 3, 6, 7};
constexpr std::array<int, 7> kFillKind = {0, 5, 8, 6, 7, 4, 11};
constexpr std::array<float, 3> kWidthFactor = {1.0f, 1.007f, 1.007f};
constexpr std::array<float, 3> kHeightFactor = {1.0f, 1.211f, 1.211f};

// The driver's state between requests.
struct HpglState {
  float U = 1016.0f / 72.0f;  // plotter units per point
  int model = 1;
  const Dialect* dialect = &kDialects[0];
  int window[4] = {0, 0, 0, 0};  // P1 and P2 in plotter units
  char pen = ' ';
  int reselect = 0;
  bool nativefill = false;
  float thickness = -1;
  int fontpending = 1;
  int laststyle = -1;
  int lastclass = 0;
  char terminator = 4;
};
HpglState hs;

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }
DeviceOperands& ops() { return tessar.graphics.operands; }
float drawableheight() { return static_cast<float>(std::max(tessar.graphics.target.HEIGHT, 1)); }
void groupend() {
  if (option(18) != 0) yyhpg3(kHpglScale);
}

void defaults() {
  yydefh();
  DeviceOperands& op = ops();
  const int m = tessar.hardcopy.selection.PLOTTERMODEL;
  hs.model = m >= 1 && m <= 10 ? m : 1;
  const PlotterModel& pm = kModels[static_cast<std::size_t>(hs.model - 1)];
  hs.U = (1.0f / 72.0f) * static_cast<float>(pm.unitsperinch);
  for (const Dialect& d : kDialects)
    if (d.letter == pm.dialect) hs.dialect = &d;
  std::array<int, 108>& o = tessar.hardcopy.HCOPTIONS;
  o[2] = static_cast<int>(static_cast<float>(pm.xmargin) / hs.U);
  o[3] = 0;
  o[0] = static_cast<int>(static_cast<float>(pm.width) / hs.U - static_cast<float>(o[2]));
  o[1] = static_cast<int>(static_cast<float>(pm.height) / hs.U);
  o[4] = 1; o[11] = 80; o[17] = 1; o[18] = 0; o[20] = 4; o[24] = 0;
  op.HCCOLOURS = op.HCPENS = pm.pens;
  op.HCRESX = op.HCRESY = 90;
  yyhpgldevice(hs.dialect->caps, 0);
  hs.fontpending = 1;
  op.HCDEVICE = HCHPGL;
}

void beginplot() {
  yyhpglscaling();
  if (ops().IOPER1 > 0) {
    if (!yyhpglopen()) return;
    hs.terminator = static_cast<char>(option(21));
    hs.reselect = 0;
    hs.pen = ' ';
    hs.thickness = -1;
    hs.laststyle = -1;
    hs.lastclass = 0;
    if (option(19) != 0) yyhpg3("\x1b.Y");
    yyhpglframe(hs.U, hs.window, option(5) != 0, hs.terminator);
    yyhpg6(2, 0, 9, 0, 0);
    yyhpg6(13, 0, hs.model, 0, 0);
  }
  yyhpg3(kHpglScale);
}

// The first drawing of a page after a page end selects the pen again.
void reselectpen() {
  DeviceOperands& op = ops();
  if (op.PLOTSTARTED != 0) return;
  op.PLOTSTARTED = 1;
  if (hs.reselect != 0) yyhpg3(std::string("SP") + hs.pen);
  hs.reselect = 0;
}

void colour() {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  const int c = std::clamp(at.COLOURS[PAIRINDEX][CURRENT], 0, 255);
  const int group = ((c + 16) / 32) % 8;
  const int pens = std::max(ops().HCPENS, 1);
  const char pen = static_cast<char>('0' + kPenMap[static_cast<std::size_t>(group)] % pens + 1);
  if (pen != hs.pen) {
    hs.pen = pen;
    hs.reselect = 0;
    yyhpg3(std::string("PU;SP") + pen);
  }
  if (at.HCFILL == 0) {
    int r = 0, g = 0, b = 0;
    yypalrgb(at.COLOURS[static_cast<std::size_t>(at.COLOURMODEL)][CURRENT], &r, &g, &b);
    yyhpg6(1, 1, r + 256 * g + 65536 * b, 0, 0);
  }
}

void line(float x1, float y1, float x2, float y2) {
  reselectpen();
  yyhpglmove(x1, y1, x2, y2);
}

void polyline() {
  const int n = yyhpglpoints();
  if (n < 1) return;
  reselectpen();
  yyhpglpolyline(n, false);
}

void fill(int code) {
  DeviceOperands& op = ops();
  GraphicsAttributes& at = tessar.graphics.attributes;
  const int i = code / 2 - 1;
  const int kind = kFillKind[static_cast<std::size_t>(i)];
  if (op.IOPER1 == -1) {
    if (!hs.nativefill) yyhpg6(kind, 1, -1, 0, 0);
    return;
  }
  reselectpen();
  const std::vector<float>& xw = tessar.graphics.XWORK;
  const std::vector<float>& yw = tessar.graphics.YWORK;
  const int n = yyhpglpoints();
  const bool solid = at.FILLSTYLE == 4 ||
                     (at.FILLSTYLE == 3 && at.COLOURS[PAIRINDEX][PREVIOUS] == at.COLOURS[PAIRINDEX][CURRENT]);
  bool native = solid && ((hs.dialect->fillmask >> i) & 1) != 0 && option(25) != 0;
  if (code == DPOLYGON && hs.dialect->letter == 'H' && n > 127) native = false;
  hs.nativefill = native;
  if (native) {
    const float p = std::clamp(static_cast<float>(option(12)) * 25.4f / 7200.0f, 0.1f, 5.0f);
    if (p != hs.thickness) {
      yyhpglline("FT2;PT");
      yyhpglreal(9, 4, 2, p);
      yyhpg7();
      hs.thickness = p;
    }
  } else {
    at.HCFILL = 2;
    // At least one device unit apart: a huge page height would otherwise ask for lines far
    // closer than the drawable's rows, without end.
    op.HCSPACING = std::max(1.0f, 0.01f * static_cast<float>(option(12)) * drawableheight() /
                                      static_cast<float>(std::max(option(2), 1)));
    if (at.FILLSTYLE == 3) op.HCSPACING *= 2;
    if (code != DELLIPSEFILL)
      yyhpg6(kind, 0, at.FILLSTYLE, at.HATCHDENSITY, 10 * at.OUTLINE + at.HATCHANGLE);
  }
  switch (code) {
    case DELLIPSEFILL:
      yyhpg1("PU", op.RX1, op.RY1);
      if (!native) yyhpg6(5, 0, at.FILLSTYLE, at.HATCHDENSITY, at.HATCHANGLE);
      yyhpglcircle(native);
      return;
    case DPARALLEL:
      if (native) {
        const float x[] = {op.RX1, op.RX2, op.RX3, op.RX4}, y[] = {op.RY1, op.RY2, op.RY3, op.RY4};
        yyhpglpolygon(x, y);
      } else {
        yyhpg4(op.RX1, op.RY1);
        yyhpg4(op.RX3, op.RY3);
        int d1 = 0, d2 = 0;
        if (op.IOPER1 == 1) {
          d1 = yyhpgltrunc((op.RY4 - op.RY1) * op.HCSCALEY);
          d2 = yyhpgltrunc((op.RY3 - op.RY2) * op.HCSCALEY);
        } else {
          d1 = yyhpgltrunc((op.RX3 - op.RX4) * op.HCSCALEX);
          d2 = yyhpgltrunc((op.RX2 - op.RX1) * op.HCSCALEX);
        }
        yyhpg6(9, 0, d1, d2, 0);
        yyhpg6(9, 1, op.IOPER1, 0, 0);
      }
      return;
    case DRECT:
      if (native) {
        yyhpglrectangle();
      } else {
        yyhpg4(op.RX1, op.RY1);
        yyhpg4(op.RX2, op.RY2);
        groupend();
      }
      return;
    case DTRIANGLE:
      if (native) {
        const float x[] = {op.RX1, op.RX2, op.RX3}, y[] = {op.RY1, op.RY2, op.RY3};
        yyhpglpolygon(x, y);
      } else {
        yyhpg4(op.RX1, op.RY1);
        yyhpg4(op.RX2, op.RY2);
        yyhpg4(op.RX3, op.RY3);
        groupend();
      }
      return;
    case DSECTOR:
      if (native) {
        yyhpg0(DSECTOR, kHpglScale);
      } else {
        yyhpg4(op.RX1, op.RY1);
        yyhpg4(op.RX2, op.RY2);
        yyhpg5(op.RX3, op.RY3);
        groupend();
      }
      return;
    case DPOLYGON:
      if (n < 1) return;
      if (native) {
        yyhpglpolygon(std::span(xw).first(static_cast<std::size_t>(n)),
                      std::span(yw).first(static_cast<std::size_t>(n)));
      } else {
        yyhpg6(12, 0, n, 0, 0);
        for (std::size_t k = 0; k < static_cast<std::size_t>(n); ++k) yyhpg4(xw[k], yw[k]);
        groupend();
      }
      return;
    default:
      return;
  }
}

void text() {
  DeviceOperands& op = ops();
  const TextState& ts = tessar.graphics.text;
  const int n = std::clamp(op.IX1, 0, static_cast<int>(tessar.files.HCCURRENT.size()));
  reselectpen();
  const int cls = std::clamp(ts.SPACING, 0, 2);
  if (hs.fontpending != 0) {
    yyhpglsize(1.5f, kWidthFactor[static_cast<std::size_t>(cls)], kHeightFactor[static_cast<std::size_t>(cls)]);
    hs.fontpending = 0;
  }
  if (ts.TYPEFLAGS != hs.laststyle || cls != hs.lastclass) {
    yyhpg3((ts.TYPEFLAGS & 2) != 0 ? "SL.2" : "SL0.");
    hs.laststyle = ts.TYPEFLAGS;
    hs.lastclass = cls;
  }
  float x = 0, y = 0;
  yyhpgllabelstart(cls, x, y);
  yyhpgllabel(x, y, tessar.files.HCCURRENT.substr(0, static_cast<std::size_t>(n)), hs.terminator);
}

void endpage() {
  DeviceOperands& op = ops();
  op.PLOTSTARTED = 0;
  yyhpg6(3, 1, op.IOPER1, 0, 0);
  yyhpg3(hs.model == 7 || hs.model == 8 ? "PU;SP0 ;PG;" : "PU;SP0 ;");
  hs.reselect = 1;
}

}  // namespace

void xxhpgl(int& code) {
  DeviceOperands& op = ops();
  switch (code) {
    case DOPEN:
      if (yyhcquery(HCHPGL)) return;
      defaults();
      return;
    case DLINE: line(op.RX1, op.RY1, op.RX2, op.RY2); return;
    case DCOLOUR: colour(); return;
    case DELLIPSEFILL: case DPARALLEL: case DRECT: case DTRIANGLE: case DSECTOR: case DPOLYGON:
      fill(code);
      return;
    case DBEGINPLOT: beginplot(); return;
    case DENDPLOT:
      if (option(19) != 0) yyhpg3("\x1b.Z");
      yyprcl(2);
      return;
    case DENDPAGE: endpage(); return;
    case DFONT: {
      const TextState& ts = tessar.graphics.text;
      yyhpg6(10, 1, ts.HWFONT, ts.TYPEFLAGS, std::clamp(ts.SPACING, 0, 2));
      hs.fontpending = 1;
      return;
    }
    case DTEXT: text(); return;
    case DCLIP: yyhpglclip(hs.U, hs.window); return;
    case DPOINT: line(op.RX1, op.RY1, op.RX1, op.RY1); return;
    case DLINETYPE: {
      static constexpr std::array<const char*, 8> kTypes = {"", nullptr, "2 2", "4 3",
                                                            "6 2", "5 3", "3 1", "6 4"};
      const int t = std::clamp(tessar.graphics.attributes.LINETYPE, 0, 7);
      yyhpglfield("LT", t == 1 ? hs.dialect->dots : kTypes[static_cast<std::size_t>(t)]);
      return;
    }
    case DLINEWIDTH:
      if (option(18) == 0) return;
      yyhpglpenwidth(hs.U, 0.1f);
      return;
    case DPOLYLINE: polyline(); return;
    case DCHARROTATE: yyhpgldirection(); return;
    case DARC: yyhpg0(DARC, kHpglScale); return;
    default: return;
  }
}
