// HP-GL/2: page printers wrapped in PCL (enter HP-GL/2, and at each page end back to PCL
// for the copy count and the form feed) and a large-format plotter without PCL. Pens are
// palette entries defined once per plot, polylines go as encoded polylines, fills are drawn
// natively (dithered raster patterns on the two-colour printers), and the toolkit's own
// notes travel as comment records that a printer ignores.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hcdrivers/hpgl.h"
#include "toolkit/hcdrivers/hpgl_writers.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/raster/dither.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/convert.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

struct DeviceType {
  int colours, width, height, xmargin, resolution;
};

constexpr std::array<DeviceType, 5> kTypes = {{
    {2, 10860, 7918, 0, 300},
    {256, 10860, 7918, 0, 300},
    {2, 10860, 7918, 0, 600},
    {256, 15836, 10860, 0, 600},
    {256, 10860, 7918, 0, 600},
}};

constexpr std::array<int, 7> kFillKind = {0, 5, 8, 6, 7, 4, 11};
constexpr std::array<float, 3> kWidthFactor = {1.0f, 0.932f, 1.06f};
constexpr std::array<float, 3> kHeightFactor = {1.0f, 1.211f, 1.211f};

// Latin-1 161-255 in HP Roman-8; the pound sign takes the lira's place, and the characters
// Roman-8 lacks are replaced by near ones.
constexpr std::array<unsigned char, 95> kRoman8 = {
    184, 191, 175, 186, 188, 124, 189, 171, 99,  249, 251, 32,  246, 82,  176, 179,
    254, 50,  51,  168, 243, 244, 242, 44,  49,  250, 253, 247, 248, 245, 185, 161,
    224, 162, 225, 216, 208, 211, 180, 163, 220, 164, 165, 230, 229, 166, 167, 227,
    182, 232, 231, 223, 233, 218, 120, 210, 173, 237, 174, 219, 177, 240, 222, 200,
    196, 192, 226, 204, 212, 215, 181, 201, 197, 193, 205, 217, 213, 209, 221, 228,
    183, 202, 198, 194, 234, 206, 32,  214, 203, 199, 195, 207, 178, 241, 239};

// The driver's state (HPGL2STATE).
struct Hpgl2State {
  int type = 1;
  char fontletter = 'S';
  float divisor = 1.5f;
  int window[4] = {0, 0, 0, 0};  // P1 and P2 in plotter units
  std::string pen = "   ";
  std::string savedpen = "   ";
  std::string defined = std::string(256, ' ');
  int lastdither = -1;
  int lastpair[2] = {-1, -1};
  int filltype = -1;
  int fontpending = 1;
  int lastkind = -1, laststyle = -1, lastclass = 0, lastorigin = -1;
  char terminator = 4;
};
Hpgl2State h2;

constexpr float kU = 1016.0f / 72.0f;

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }
DeviceOperands& ops() { return tessar.graphics.operands; }
bool twocolour() { return ops().HCCOLOURS <= 2; }

// Escape sequences go out as they are, never behind the line prefix.
void escapeline(std::string_view bytes) { yyprwl(2, bytes, static_cast<int>(bytes.size())); }

// A comment record: CO, a quote, the fields in their columns and the closing quote.
void comment(std::initializer_list<std::pair<int, std::string>> fields, int closing) {
  yyhpglline("CO\"");
  for (const auto& [column, text] : fields) yyhpglput(column, text);
  yyhpglput(closing, "\"");
  yyhpg7();
}

std::string integer(int width, int value) {
  std::string s = std::to_string(value);
  if (static_cast<int>(s.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
  return std::string(static_cast<std::size_t>(width) - s.size(), ' ') + s;
}

void defaults() {
  yydefh();
  DeviceOperands& op = ops();
  const int t = tessar.hardcopy.selection.HPGL2TYPE;
  h2.type = t >= 1 && t <= 5 ? t : 1;
  const DeviceType& d = kTypes[static_cast<std::size_t>(h2.type - 1)];
  std::array<int, 108>& o = tessar.hardcopy.HCOPTIONS;
  const float k = 72.0f / 1016.0f;
  o[4] = 1; o[17] = 0; o[20] = 4;
  o[2] = static_cast<int>(k * static_cast<float>(d.xmargin));
  o[3] = 0;
  o[0] = static_cast<int>(k * static_cast<float>(d.width) - static_cast<float>(o[2]));
  o[1] = static_cast<int>(k * static_cast<float>(d.height));
  op.HCPENS = op.HCCOLOURS = d.colours;
  op.HCRESX = op.HCRESY = d.resolution;
  h2.fontletter = h2.type == 1 ? 'S' : 'A';
  h2.divisor = h2.type == 1 ? 1.5f : 1.2f;
  yyhpgldevice(d.colours == 2 ? "00000100000011100010001001110" : "00000100011111100010011011110", 1);
  h2.fontpending = 1;
  op.HCDEVICE = HCHPGL2;
}

void beginplot() {
  DeviceOperands& op = ops();
  yyhpglscaling();
  if (op.IOPER1 > 0) {
    if (!yyhpglopen()) return;
    const int type = h2.type;
    const char letter = h2.fontletter;
    const float divisor = h2.divisor;
    h2 = Hpgl2State{};
    h2.type = type;
    h2.fontletter = letter;
    h2.divisor = divisor;
    h2.terminator = static_cast<char>(option(21));
    if (h2.type != 4) escapeline("\x1b%0B");
    if (op.IX1 != 0) {
      // The whole title on its one line, whatever its length; a line end or another control
      // character in it would end the comment early.
      std::string title = "CO: " + yyhcplaintext(tessar.files.TEXTBUF.substr(
                                       0, static_cast<std::size_t>(lentrim(tessar.files.TEXTBUF))));
      yyhpglcompact(title);
    }
    yyhpglframe(kU, h2.window, (h2.type == 4) == (option(5) != 0), h2.terminator);
    yyhpg3("TR0");
    if (h2.type != 1) yyhpg3("AD1,14;SA");
    if (op.HCCOLOURS > 2) yyhpg3("NP256");
    std::string divisortext(3, ' ');
    IRealToString(h2.divisor, divisortext, "(F3.1)");
    comment({{4, "13"}, {7, integer(2, h2.type)}, {10, divisortext}, {14, "9"}}, 15);
    comment({{4, "2"}, {6, integer(1, option(6))}}, 7);
  }
  yyhpg3(kHpglScale);
}

void endpage() {
  DeviceOperands& op = ops();
  op.PLOTSTARTED = 0;
  comment({{4, "3"}, {6, integer(3, op.IOPER1)}}, 9);
  if (h2.type == 4) {
    yyhpg3("PG");
    return;
  }
  // The copy count field has two digits: more copies than that are capped, never written
  // as a field the printer cannot read.
  const int copies = std::clamp(option(8), 1, 99);
  std::string page = "\x1b%1A\x1b&l";
  page += static_cast<char>('0' + copies / 10);
  page += static_cast<char>('0' + copies % 10);
  page += "X\f\x1b%0B";
  escapeline(page);
}

int currentrgbvalue() {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  int r = 0, g = 0, b = 0;
  yypalrgb(at.COLOURS[static_cast<std::size_t>(at.COLOURMODEL)][CURRENT], &r, &g, &b);
  return r + 256 * g + 65536 * b;
}

void definepen(int pen, int rgb) {
  int r = 0, g = 0, b = 0;
  wrgbsplit(rgb, &r, &g, &b);
  yyhpgl2d(pen, r, g, b);
  h2.defined[static_cast<std::size_t>(pen)] = '1';
}

void colour() {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  const int c = std::clamp(at.COLOURS[PAIRINDEX][CURRENT], 0, 255);
  std::string pen;
  if (!twocolour()) {
    pen = integer(3, c);
    if (h2.defined[static_cast<std::size_t>(c)] == ' ') {
      int rgb = 0;
      yypalg(c, rgb);
      definepen(c, rgb);
    }
  } else {
    const bool ink = option(6) == 0 ? c != 0 : c != 223;
    pen = ink ? "1  " : "0  ";
  }
  if (pen != h2.pen) {
    h2.pen = pen;
    yyhpg3("PU;SP" + pen);
  }
  if (at.HCFILL == 0) comment({{4, "1"}, {6, integer(8, currentrgbvalue())}}, 14);
}

void line(float x1, float y1, float x2, float y2) {
  ops().PLOTSTARTED = 1;
  yyhpglmove(x1, y1, x2, y2);
}

void polyline() {
  const int n = yyhpglpoints();
  if (n < 1) return;
  ops().PLOTSTARTED = 1;
  yyhpglpolyline(n, true);
}

// The dither pattern of a palette colour, made current for the call.
std::uint32_t pattern(int index, int rgb) {
  GraphicsAttributes& at = tessar.graphics.attributes;
  const auto saved = at.COLOURS;
  at.COLOURS[PAIRINDEX][CURRENT] = index;
  at.COLOURS[PAIRRGB][CURRENT] = rgb;
  std::uint32_t r = 0, g = 0, b = 0;
  yydith(1, r, g, b);
  at.COLOURS = saved;
  return r;
}

void choosefill() {
  GraphicsAttributes& at = tessar.graphics.attributes;
  const auto& c = at.COLOURS;
  const int previous = c[PAIRINDEX][PREVIOUS], current = c[PAIRINDEX][CURRENT];
  if (twocolour() && at.STROKETEXT == 0) {
    if (at.FILLSTYLE == 4 || previous == current) {
      if (current != h2.lastdither) {
        yyhpg3("RF1,8,4,");
        yyhpgl2c(pattern(current, c[PAIRRGB][CURRENT]));
        h2.lastdither = current;
      }
      if (h2.filltype != 1) yyhpg3("FT11 1");
      h2.filltype = 1;
    } else {
      if (previous != h2.lastpair[0] || current != h2.lastpair[1]) {
        const std::uint32_t p1 = pattern(previous, c[PAIRRGB][PREVIOUS]);
        const std::uint32_t p2 = pattern(current, c[PAIRRGB][CURRENT]);
        yyhpg3("RF2,8,4,");
        yyhpgl2c((p1 & 0xAA55AA55u) + (p2 & 0x55AA55AAu));
        h2.lastpair[0] = previous;
        h2.lastpair[1] = current;
      }
      if (h2.filltype != 2) yyhpg3("FT11 2");
      h2.filltype = 2;
    }
  } else if (twocolour()) {
    yyhpg3("FT2");
    h2.filltype = -1;
  } else if (at.FILLSTYLE == 3) {
    const std::size_t model = static_cast<std::size_t>(at.COLOURMODEL);
    if (c[model][PREVIOUS] != c[model][CURRENT]) {
      const int p = 255 - std::clamp(current, 0, 255);
      int a = 0, b = 0;
      yypalg(std::clamp(previous, 0, 255), a);
      yypalg(std::clamp(current, 0, 255), b);
      int ar = 0, ag = 0, ab = 0, br = 0, bg = 0, bb = 0;
      wrgbsplit(a, &ar, &ag, &ab);
      wrgbsplit(b, &br, &bg, &bb);
      yyhpgl2d(p, (ar + br) / 2, (ag + bg) / 2, (ab + bb) / 2);
      h2.savedpen = integer(3, p);
      yyhpg3("PU;SP" + h2.savedpen);
      // Pen p now holds the mix: colour p is defined again at its next use.
      h2.defined[static_cast<std::size_t>(p)] = ' ';
    }
  }
}

// The text "1"-"4" of a one-digit field.
std::string digit(int v) { return integer(1, v); }

void fill(int code) {
  DeviceOperands& op = ops();
  GraphicsAttributes& at = tessar.graphics.attributes;
  const int kind = kFillKind[static_cast<std::size_t>(code / 2 - 1)];
  const int style = at.FILLSTYLE;
  if (op.IOPER1 == -1) {
    if (kind == 4 || kind == 5 || style == 3 || style == 4)
      comment({{4, integer(2, kind)}, {7, "-1"}}, 9);
    if (h2.savedpen != h2.pen) yyhpg3("PU;SP" + h2.pen);
    return;
  }
  op.PLOTSTARTED = 1;
  h2.savedpen = "   ";
  const bool filled = style == 3 || style == 4;
  if (!filled && code != DELLIPSEFILL) return;
  if (filled) {
    choosefill();
    comment({{4, integer(2, kind)}, {7, digit(style)}, {9, digit(at.HATCHDENSITY)},
             {11, digit(at.HATCHANGLE)}, {13, digit(at.OUTLINE)}},
            14);
  }
  switch (code) {
    case DELLIPSEFILL:
      yyhpg1("PU", op.RX1, op.RY1);
      if (!filled)
        comment({{4, "5"}, {6, digit(style)}, {8, digit(at.HATCHDENSITY)},
                 {10, digit(at.HATCHANGLE)}, {12, digit(at.OUTLINE)}},
                13);
      yyhpglcircle(filled);
      return;
    case DPARALLEL: {
      const float x[] = {op.RX1, op.RX2, op.RX3, op.RX4}, y[] = {op.RY1, op.RY2, op.RY3, op.RY4};
      yyhpglpolygon(x, y);
      return;
    }
    case DRECT:
      yyhpglrectangle();
      return;
    case DTRIANGLE: {
      const float x[] = {op.RX1, op.RX2, op.RX3}, y[] = {op.RY1, op.RY2, op.RY3};
      yyhpglpolygon(x, y);
      return;
    }
    case DSECTOR:
      yyhpgl2e(DSECTOR, kHpglScale);
      return;
    case DPOLYGON: {
      const int n = yyhpglpoints();
      if (n < 1) return;
      const auto count = static_cast<std::size_t>(n);
      yyhpglpolygon(std::span(tessar.graphics.XWORK).first(count),
                    std::span(tessar.graphics.YWORK).first(count), true);
      return;
    }
    default:
      return;
  }
}

void text() {
  DeviceOperands& op = ops();
  const TextState& ts = tessar.graphics.text;
  const int n = std::clamp(op.IX1, 0, static_cast<int>(tessar.files.HCCURRENT.size()));
  op.PLOTSTARTED = 1;
  const int cls = std::clamp(ts.SPACING, 0, 2);
  const int kind = ts.HWFONT;
  if (h2.fontpending != 0) {
    if (cls != h2.lastclass) comment({{4, "10"}, {7, digit(cls)}}, 8);
    yyhpglsize(h2.divisor, kWidthFactor[static_cast<std::size_t>(cls)],
               kHeightFactor[static_cast<std::size_t>(cls)]);
    h2.fontpending = 0;
  }
  if (kind != h2.lastkind || ts.TYPEFLAGS != h2.laststyle || cls != h2.lastclass) {
    yyhpglline((ts.TYPEFLAGS & 2) != 0 ? "SL.2" : "SL0.");
    yyhpglput(5, std::string(";") + h2.fontletter + "D");
    const bool bold = (ts.TYPEFLAGS & 1) != 0;
    switch (kind) {
      case 1: yyhpglput(9, bold ? "2 0 6 5" : "2 0 6 0"); break;
      case 2: yyhpglput(9, bold ? "2 1 6 3 7 4148" : "2 1 6 0 7 4148"); break;
      case 3: yyhpglput(9, bold ? "2 1 6 3 7 4101" : "2 1 6 0 7 4101"); break;
      case 4: yyhpglput(9, bold ? "2 1 6 3 7 4101 1 173" : "2 1 6 0 7 4101 1 173"); break;
      default: break;
    }
    yyhpg7();
    h2.lastkind = kind;
    h2.laststyle = ts.TYPEFLAGS;
    h2.lastclass = cls;
  }
  std::string label = tessar.files.HCCURRENT.substr(0, static_cast<std::size_t>(n));
  if (h2.type == 1 && (kind != 4 || cls == 0))
    for (char& ch : label) {
      const int code = static_cast<unsigned char>(ch);
      if (code >= 161) ch = static_cast<char>(kRoman8[static_cast<std::size_t>(code - 161)]);
    }
  float x = 0, y = 0;
  yyhpgllabelstart(cls, x, y);
  const int j = cls == 1 ? 0 : std::clamp(ts.JUSTIFY, 0, 2);
  const float ex = x - op.RX1 + op.RX3, ey = y - op.RY1 + op.RY3;
  if (j == 1) {
    x = 0.5f * (x + ex);
    y = 0.5f * (y + ey);
  } else if (j == 2) {
    x = ex;
    y = ey;
  }
  if (j != h2.lastorigin) {
    yyhpg3(j == 0 ? "LO1" : (j == 1 ? "LO4" : "LO7"));
    h2.lastorigin = j;
  }
  yyhpgllabel(x, y, std::move(label), h2.terminator);
}

}  // namespace

void xxhpgl2(int& code) {
  DeviceOperands& op = ops();
  switch (code) {
    case DOPEN:
      if (yyhcquery(HCHPGL2)) return;
      defaults();
      return;
    case DLINE: line(op.RX1, op.RY1, op.RX2, op.RY2); return;
    case DCOLOUR: case DLOADPALETTE: colour(); return;
    case DELLIPSEFILL: case DPARALLEL: case DRECT: case DTRIANGLE: case DSECTOR: case DPOLYGON:
      fill(code);
      return;
    case DBEGINPLOT: beginplot(); return;
    case DENDPLOT:
      if (h2.type != 4) escapeline("\x1b%0A");
      yyprcl(2);
      return;
    case DENDPAGE: endpage(); return;
    case DFONT: h2.fontpending = 1; return;
    case DTEXT: text(); return;
    case DCLIP: yyhpglclip(kU, h2.window); return;
    case DPOINT: line(op.RX1, op.RY1, op.RX1, op.RY1); return;
    case DPALETTEENTRY:
      if (op.IOPER2 >= 0 && op.IOPER2 <= 255) definepen(op.IOPER2, op.IX1);
      return;
    case DLINETYPE: {
      static constexpr std::array<const char*, 8> kLineTypes = {"", "1 .3", "2 2", "4 3",
                                                                "7 2", "5 3", "3 1", "6 3"};
      yyhpglfield("LT", kLineTypes[static_cast<std::size_t>(std::clamp(tessar.graphics.attributes.LINETYPE, 0, 7))]);
      return;
    }
    case DLINEWIDTH:
      yyhpglpenwidth(kU, 0.0284f);
      return;
    case DPOLYLINE: polyline(); return;
    case DCHARROTATE: yyhpgldirection(); return;
    case DARC: yyhpgl2e(DARC, kHpglScale); return;
    case DLINEJOIN: {
      static constexpr std::array<const char*, 3> kJoin = {"LA2 1", "LA2 4", "LA2 5"};
      yyhpg3(kJoin[static_cast<std::size_t>(std::clamp(option(10), 0, 2))]);
      return;
    }
    case DLINECAP: {
      static constexpr std::array<const char*, 3> kCap = {"LA1 1", "LA1 4", "LA1 2"};
      yyhpg3(kCap[static_cast<std::size_t>(std::clamp(option(11), 0, 2))]);
      return;
    }
    default: return;
  }
}
