// DXF: a two-dimensional ASCII drawing in inches, every entity on layer "1".
#include "toolkit/hcdrivers/dxf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/hardcopy/output_helpers.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

int cachedrgb = -1;
int cachednumber = 7;
// Set while the graphics layer draws the hatch lines of a fill this driver handed back.
bool softwarepass = false;

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }
DeviceOperands& ops() { return tessar.graphics.operands; }

struct LineType {
  const char* name;
  const char* description;
  int count;
  const char* total;
  std::array<const char*, 6> elements;
};

const std::array<LineType, 7> kTypes = {{
    {"DOT", "..............................................", 2, "0.25", {"0", "-0.25"}},
    {"DASHED", "__ __ __ __ __ __ __ __ __ __ __ __ __ __ __  ", 2, "0.75", {"0.5", "-0.25"}},
    {"DASHDOT", "__ . __ . __ . __ . __ . __ . __ . __ . __ .  ", 4, "1",
     {"0.5", "-0.25", "0", "-0.25"}},
    {"DIVIDE", "__ . . __ . . __ . . __ . . __ . . __ . . __  ", 6, "1.25",
     {"0.5", "-0.25", "0", "-0.25", "0", "-0.25"}},
    {"CENTER", "____ _ ____ _ ____ _ ____ _ ____ _ ____ _ ____", 4, "2",
     {"1.25", "-0.25", "0.25", "-0.25"}},
    {"HIDDEN", "_ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ ", 2, "0.24", {"0.12", "-0.12"}},
    {"PHANTOM", "____ _ _ ____ _ _ ____ _ _ ____ _ _ ____ _ _ _", 6, "2.5",
     {"1.25", "-0.25", "0.25", "-0.25", "0.25", "-0.25"}},
}};

void g(std::string_view code, std::string_view value) { yydxf3(code, value); }

float thickness() { return static_cast<float>(option(9)) / 720.0f; }

void linetypegroup(bool always) {
  const int t = tessar.graphics.attributes.LINETYPE;
  if (t >= 1 && t <= 7 && (always || !softwarepass))
    g("6", kTypes[static_cast<std::size_t>(t - 1)].name);
}

bool squarearea() {
  const GraphicsArea& ar = tessar.graphics.area;
  return ar.AX2 - ar.AX1 == ar.AY2 - ar.AY1;
}

float drawableheight() {
  const int h = tessar.graphics.target.HEIGHT;
  return static_cast<float>(h > 0 ? h : 1);
}

int currentrgb() {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  if (at.COLOURMODEL == 2) return at.COLOURS[PAIRRGB][CURRENT];
  int rgb = 0;
  yypalg(at.COLOURS[PAIRINDEX][CURRENT], rgb);
  return rgb;
}

void colour() {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  const int index = at.COLOURS[PAIRINDEX][CURRENT];
  int& out = tessar.hardcopy.DXFCOLOUR;
  switch (option(23)) {
    case 24: {
      int r = 0, gr = 0, b = 0;
      wrgbsplit(currentrgb(), &r, &gr, &b);
      out = r * 65536 + gr * 256 + b;
      return;
    }
    case 8: {
      const int rgb = currentrgb();
      if (rgb != cachedrgb) {
        cachednumber = yydxfcol(rgb);
        cachedrgb = rgb;
      }
      out = cachednumber;
      return;
    }
    case 4: {
      static constexpr std::array<int, 16> kSixteen = {8, 1, 9, 2, 2, 3, 11, 4,
                                                       12, 5, 13, 6, 14, 7, 15, 8};
      out = kSixteen[static_cast<std::size_t>(std::clamp(index, 0, 255) / 16)];
      return;
    }
    default: {
      const int n = ((std::clamp(index, 0, 255) + 16) / 32) % 8;
      out = n == 0 ? 7 : n;
      return;
    }
  }
}

void beginplot() {
  DeviceOperands& op = ops();
  const GraphicsTarget& t = tessar.graphics.target;
  op.HCSCALEX = static_cast<float>(option(1)) / (72.0f * static_cast<float>(t.WIDTH > 0 ? t.WIDTH : 1));
  op.HCSCALEY = static_cast<float>(option(2)) / (72.0f * drawableheight());
  if (op.IOPER1 <= 0) return;
  if (!yyhcopen()) return;
  DeviceDescription& dd = tessar.graphics.description;
  if (option(23) >= 8) {
    op.HCCOLOURS = 255;
    dd.HCTRUECOLOUR = 1;
  } else {
    op.HCCOLOURS = option(23) == 4 ? 14 : 7;
    dd.HCTRUECOLOUR = 0;
  }
  const float W = static_cast<float>(option(1)) / 72.0f, H = static_cast<float>(option(2)) / 72.0f;
  g("0", "SECTION"); g("2", "HEADER");
  g("9", "$EXTMIN"); g("10", "0.0"); g("20", "0.0");
  g("9", "$EXTMAX"); yydxf4("10", W); yydxf4("20", H);
  g("9", "$CECOLOR"); g("62", "7");
  g("9", "$CELTYPE"); g("6", "DASHDOT");
  g("9", "$VIEWCTR"); yydxf4("10", W / 2); yydxf4("20", H / 2);
  g("9", "$LIMMIN"); g("10", "0.0"); g("20", "0.0");
  g("9", "$LIMMAX"); yydxf4("10", W); yydxf4("20", H);
  g("0", "ENDSEC");
  g("0", "SECTION"); g("2", "TABLES");
  g("0", "TABLE"); g("2", "LTYPE"); g("70", "9");
  for (const LineType& lt : kTypes) {
    g("0", "LTYPE"); g("2", lt.name); g("70", "0"); g("3", lt.description); g("72", "65");
    yydxf5("73", lt.count);
    g("40", lt.total);
    for (int k = 0; k < lt.count; ++k) g("49", lt.elements[static_cast<std::size_t>(k)]);
  }
  g("0", "ENDTAB");
  g("0", "TABLE"); g("2", "STYLE"); g("70", "1");
  g("0", "STYLE"); g("2", "STANDARD"); g("70", "0"); g("40", "0"); g("41", "1"); g("50", "0");
  g("71", "0"); g("42", "0"); g("3", "txt");
  g("0", "ENDTAB");
  g("0", "TABLE"); g("2", "LAYER"); g("70", "9");
  for (int n = 1; n <= 9; ++n) {
    g("0", "LAYER"); g("2", std::to_string(n)); g("70", "0"); g("62", "7"); g("6", "CONTINUOUS");
  }
  g("0", "ENDTAB");
  g("0", "ENDSEC");
  g("0", "SECTION"); g("2", "ENTITIES");
  cachedrgb = -1;
  softwarepass = false;
}

void line() {
  DeviceOperands& op = ops();
  op.PLOTSTARTED = 1;
  yydxf1("LINE");
  linetypegroup(false);
  yydxf4("39", thickness());
  yydxf2("10", "20", op.RX1, op.RY1);
  yydxf2("11", "21", op.RX2, op.RY2);
}

void polyline() {
  DeviceOperands& op = ops();
  const std::vector<float>& x = tessar.graphics.XWORK;
  const std::vector<float>& y = tessar.graphics.YWORK;
  const int n = std::min({op.IOPER2, static_cast<int>(x.size()), static_cast<int>(y.size())});
  if (n < 1) return;
  op.PLOTSTARTED = 1;
  yydxf1("POLYLINE");
  linetypegroup(true);
  yydxf4("39", thickness());
  g("66", "1");
  g("70", "0");
  for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
    g("0", "VERTEX");
    g("8", "1");
    yydxf2("10", "20", x[i], y[i]);
  }
  g("0", "SEQEND");
}

void arc() {
  DeviceOperands& op = ops();
  if (!squarearea()) {
    op.IOPER1 = 2;
    return;
  }
  op.PLOTSTARTED = 1;
  yydxf1("ARC");
  linetypegroup(true);
  yydxf4("39", thickness());
  yydxf2("10", "20", op.RX1, op.RY1);
  yydxf4("40", op.HCSCALEX * op.RX2);
  yydxf4("50", std::min(op.RX4, op.RX4 + op.RY4));
  yydxf4("51", std::max(op.RX4, op.RX4 + op.RY4));
  op.IOPER1 = 1;
}

void text() {
  DeviceOperands& op = ops();
  const GraphicsRegion& gr = tessar.graphics;
  const TextState& ts = gr.text;
  const GraphicsArea& ar = gr.area;
  op.PLOTSTARTED = 1;
  const bool upright = ar.PAGEROTATION % 180 == 0;
  const float w1 = static_cast<float>(upright ? option(1) : option(2));
  const float h1 = static_cast<float>(upright ? option(2) : option(1));
  const float dw = static_cast<float>(std::max(upright ? gr.target.WIDTH : gr.target.HEIGHT, 1));
  const float dh = static_cast<float>(std::max(upright ? gr.target.HEIGHT : gr.target.WIDTH, 1));
  const float w = op.RX2 * w1 / (72.0f * dw);
  const float h = op.RY2 * h1 / (72.0f * dh);
  const float factor = ts.SPACING == 0 ? 0.78f : 0.63f;
  yydxf1("TEXT");
  yydxf4("40", h * factor);
  yydxf4("41", h != 0 ? w * op.HCASPECT / h : 1.0f);
  yydxf5("50", static_cast<int>(ts.ANGLE2));
  const int n = std::clamp(op.IX1, 0, static_cast<int>(tessar.files.HCCURRENT.size()));
  std::string value = tessar.files.HCCURRENT.substr(0, static_cast<std::size_t>(n));
  // A line end inside a value would start a new group and break every group after it; the
  // other control characters are no text a reader expects there either.
  g("1", yyhcplaintext(value));
  g("7", "STANDARD");
  const float rad = ts.ANGLE2 * 3.14159265f / 180.0f;
  const float px = op.RX1 + 0.22f * op.RY2 * std::sin(rad);
  const float py = op.RY1 - 0.22f * op.RY2 * std::cos(rad);
  if (ts.DIRECTION == 0) {
    g("72", "0");
    yydxf2("10", "20", px, py);
  } else {
    g("72", "1");
    yydxf2("10", "20", px, py);
    yydxf2("11", "21", px + 0.5f * op.RX2 * ts.COSA2, py + 0.5f * op.RX2 * ts.SINA2Q);
  }
}

void fill(int code) {
  DeviceOperands& op = ops();
  GraphicsAttributes& at = tessar.graphics.attributes;
  if (op.IOPER1 == -1) {
    softwarepass = false;
    return;
  }
  if (at.FILLSTYLE == 3 || code == DELLIPSEFILL || code == DSECTOR || code == DPOLYGON) {
    at.HCFILL = 2;
    softwarepass = true;
    // At least one device unit apart: a huge page height would otherwise ask for lines far
    // closer than the drawable's rows, without end.
    op.HCSPACING = std::max(1.0f, 0.01f * static_cast<float>(option(12)) * drawableheight() /
                                      static_cast<float>(std::max(option(2), 1)));
    if (at.FILLSTYLE == 3) op.HCSPACING *= 2;
    if (at.FILLSTYLE >= 3) return;
    if (code == DELLIPSEFILL && op.RX3 == 1 && squarearea()) {
      op.PLOTSTARTED = 1;
      yydxf1("CIRCLE");
      yydxf4("39", thickness());
      yydxf2("10", "20", op.RX1, op.RY1);
      yydxf4("40", op.HCSCALEX * op.RX2);
    } else {
      op.IOPER1 = -1;
    }
    return;
  }
  if (at.FILLSTYLE != 4) return;
  op.PLOTSTARTED = 1;
  std::array<float, 8> p{};
  switch (code) {
    case DPARALLEL:
      p = {op.RX1, op.RY1, op.RX2, op.RY2, op.RX4, op.RY4, op.RX3, op.RY3};
      break;
    case DRECT: {
      float x1 = op.RX1, y1 = op.RY1, x2 = op.RX2, y2 = op.RY2;
      yyhcclipbox(x1, y1, x2, y2);
      p = {x1, y1, x1, y2, x2, y1, x2, y2};
      break;
    }
    case DTRIANGLE:
      p = {op.RX1, op.RY1, op.RX2, op.RY2, op.RX3, op.RY3, op.RX3, op.RY3};
      break;
    default:
      return;
  }
  yydxf1("SOLID");
  yydxf2("10", "20", p[0], p[1]);
  yydxf2("11", "21", p[2], p[3]);
  yydxf2("12", "22", p[4], p[5]);
  yydxf2("13", "23", p[6], p[7]);
}

// DXF readers take only "." as the decimal point: the toolkit's own decimal character is
// held off while the driver writes.
class PointDecimals {
 public:
  PointDecimals() : saved_(tessar.dialog.DECIMALSUBST) { tessar.dialog.DECIMALSUBST = 0; }
  ~PointDecimals() { tessar.dialog.DECIMALSUBST = saved_; }
  PointDecimals(const PointDecimals&) = delete;
  PointDecimals& operator=(const PointDecimals&) = delete;

 private:
  int saved_;
};

}  // namespace

int yydxfcol(int rgb) {
  auto cone = [](int value) {
    float h = 0, s = 0, v = 0;
    yyrgbhsv(value, h, s, v);
    return std::array<float, 3>{s * v * std::cos(h), s * v * std::sin(h), v};
  };
  const std::array<float, 3> a = cone(rgb);
  float best = 9999999.0f;
  int number = 7;
  for (int n = 1; n <= 255; ++n) {
    const int c = yydxfpal(n);
    if (c == rgb) return n;
    const std::array<float, 3> b = cone(c);
    const float d = (a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                    (a[2] - b[2]) * (a[2] - b[2]);
    if (d < best) {
      best = d;
      number = n;
    }
  }
  return number;
}

void xxdxf(int& code) {
  DeviceOperands& op = ops();
  PointDecimals decimals;
  switch (code) {
    case DOPEN: {
      if (yyhcquery(HCDXF)) return;
      yydefh();
      std::array<int, 108>& o = tessar.hardcopy.HCOPTIONS;
      o[0] = 756; o[1] = 540; o[2] = 0; o[3] = 0; o[4] = 0; o[11] = 80; o[22] = 8;
      op.HCRESX = op.HCRESY = 90;
      op.HCCOLOURS = 255;
      op.PRINTCMDOK = 0;
      assignfixed(tessar.files.HCOUTPUT, "tessplot.dxf");
      op.HCDEVICE = HCDXF;
      yyhcdescribe("00000100000011000010000000010", 0.222f, 1, 0, 1, 0);
      return;
    }
    case DLINE: line(); return;
    case DCOLOUR: colour(); return;
    case DELLIPSEFILL: case DPARALLEL: case DRECT: case DTRIANGLE: case DSECTOR: case DPOLYGON:
      fill(code);
      return;
    case DBEGINPLOT: beginplot(); return;
    case DENDPLOT:
      g("0", "ENDSEC");
      g("0", "EOF");
      yyprcl(2);
      return;
    case DENDPAGE: op.PLOTSTARTED = 0; return;
    case DTEXT: text(); return;
    case DPOINT:
      op.PLOTSTARTED = 1;
      yydxf1("POINT");
      yydxf2("10", "20", op.RX1, op.RY1);
      return;
    case DPOLYLINE: polyline(); return;
    case DARC: arc(); return;
    default: return;
  }
}
