// SVG: one element per line; style carried by stroke, fill and text groups.
#include "toolkit/hcdrivers/svg.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/hcdrivers/postscript.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

// Red, green, blue, width, line type, join, cap of the open stroke group; red -1 none.
std::array<int, 7> strokestate{-1, -1, -1, -1, -1, -1, -1};
std::string strokehex = "000000";
bool clipactive = false;
int clipnumber = 0;

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }
DeviceOperands& ops() { return tessar.graphics.operands; }

void writeline(const std::string& line) { yyprwl(2, line, static_cast<int>(line.size())); }

float height() {
  const int h = tessar.graphics.target.HEIGHT;
  return static_cast<float>(h > 0 ? h : 1);
}
std::string X(float x) { return yysvg1(x * ops().HCSCALEX); }
std::string Y(float y) { return yysvg1((height() - y) * ops().HCSCALEY); }
std::string P(float x, float y) { return X(x) + "," + Y(y); }

int currentcolour() { return yyhcmodelcolour(CURRENT); }
int previouscolour() { return yyhcmodelcolour(PREVIOUS); }

std::array<int, 3> rgb(int colour) {
  std::array<int, 3> c{};
  yypalrgb(colour, &c[0], &c[1], &c[2]);
  return c;
}

void mapped(std::array<int, 3>& c) {
  const bool light = c[0] > 245 && c[1] > 245 && c[2] > 245;
  const bool dark = c[0] < 10 && c[1] < 10 && c[2] < 10;
  if (option(6) == 1 || (option(6) == 2 && (light || dark)))
    for (int& v : c) v = 255 - v;
}

std::string hex(const std::array<int, 3>& c) {
  std::string h(6, '0');
  yyrgbhex(std::clamp(c[0], 0, 255), std::clamp(c[1], 0, 255), std::clamp(c[2], 0, 255), h);
  return h;
}

const char* const kDash[8] = {"none", "1 5", "6 6", "1 3 4 4", "1 2 1 2 4 2", "5 2 3 2", "3 3",
                              "5 2 3 2 3 2"};
const char* const kJoin[3] = {"miter", "round", "bevel"};
const char* const kCap[3] = {"butt", "round", "square"};

void strokegroup() {
  std::array<int, 3> c = rgb(currentcolour());
  const int width = std::max(static_cast<int>(static_cast<float>(option(9)) * 150 / 720 + 0.5f), 1);
  mapped(c);
  const int type = std::clamp(tessar.graphics.attributes.LINETYPE, 0, 7);
  const int join = option(10) >= 0 && option(10) <= 2 ? option(10) : 0;
  const int cap = option(11) >= 0 && option(11) <= 2 ? option(11) : 0;
  const std::array<int, 7> now{c[0], c[1], c[2], width, type, join, cap};
  if (now == strokestate) return;
  strokehex = hex(c);
  if (strokestate[0] != -1) writeline("</g>");
  writeline("<g style=\"fill:none;stroke:#" + strokehex + ";stroke-dasharray:" + kDash[type] +
            ";stroke-width:" + std::to_string(width) + ";stroke-linejoin:" + kJoin[join] +
            ";stroke-linecap:" + kCap[cap] + "\">");
  strokestate = now;
}

// Points as "x,y" on lines of at most 256 characters; no buffer limits the number of points.
void pointlist(const std::string& head) {
  const DeviceOperands& op = ops();
  const std::vector<float>& x = tessar.graphics.XWORK;
  const std::vector<float>& y = tessar.graphics.YWORK;
  const int n = std::min({op.IOPER2, static_cast<int>(x.size()), static_cast<int>(y.size())});
  std::string line = head;
  for (std::size_t i = 0; i < static_cast<std::size_t>(std::max(n, 0)); ++i) {
    const std::string p = P(x[i], y[i]);
    if (line.size() + p.size() > 256) {
      if (!line.empty() && line.back() == ' ') line.pop_back();
      writeline(line);
      line.clear();
    }
    line += p + " ";
  }
  if (!line.empty() && line.back() == ' ') line.pop_back();
  if (line.size() + 3 > 256) {
    writeline(line);
    line.clear();
  }
  writeline(line + "\"/>");
}

void clip() {
  const GraphicsArea& ar = tessar.graphics.area;
  clipactive = ar.AX1 > 0 || ar.AY1 > 0 || ar.AX2 < 1 || ar.AY2 < 1;
  if (!clipactive) return;
  ++clipnumber;
  const float sx = ops().HCSCALEX, sy = ops().HCSCALEY;
  const float y1 = (height() - ar.YMIN) * sy, y2 = (height() - ar.YMAX) * sy;
  writeline("<defs><clipPath id=\"clip" + std::to_string(clipnumber) + "\"><rect width=\"" +
            yysvg1((ar.XMAX - ar.XMIN) * sx) + "\" height=\"" + yysvg1(y1 - y2) + "\" x=\"" +
            yysvg1(ar.XMIN * sx) + "\" y=\"" + yysvg1(y2) + "\"/></clipPath></defs>");
}

void fill(int code) {
  DeviceOperands& op = ops();
  const GraphicsAttributes& at = tessar.graphics.attributes;
  if (op.IOPER1 == -1) {
    if (at.FILLSTYLE == 3 || at.FILLSTYLE == 4) writeline("</g>");
    return;
  }
  op.PLOTSTARTED = 1;
  const bool filled = at.FILLSTYLE == 3 || at.FILLSTYLE == 4;
  if (!filled && code != DELLIPSEFILL) return;
  if (filled) {
    std::array<int, 3> c = rgb(currentcolour());
    if (at.FILLSTYLE == 3) {
      const std::array<int, 3> p = rgb(previouscolour());
      for (std::size_t k = 0; k < 3; ++k) c[k] = (c[k] + p[k]) / 2;
    }
    mapped(c);
    std::string g = "<g style=\"stroke:none;fill:#" + hex(c);
    if (clipactive) g += ";clip-path:url(#clip" + std::to_string(clipnumber) + ")";
    writeline(g + "\">");
  }
  switch (code) {
    case DELLIPSEFILL:
      writeline("<ellipse cx=\"" + X(op.RX1) + "\" cy=\"" + Y(op.RY1) + "\" rx=\"" +
                yysvg1(op.RX2 * op.HCSCALEX) + "\" ry=\"" + yysvg1(op.RY2 * op.HCSCALEY) + "\"/>");
      break;
    case DPARALLEL:
      writeline("<polygon points=\"" + P(op.RX1, op.RY1) + " " + P(op.RX2, op.RY2) + " " +
                P(op.RX3, op.RY3) + " " + P(op.RX4, op.RY4) + "\"/>");
      break;
    case DRECT:
      writeline("<polygon points=\"" + P(op.RX1, op.RY1) + " " + P(op.RX2, op.RY1) + " " +
                P(op.RX2, op.RY2) + " " + P(op.RX1, op.RY2) + "\"/>");
      break;
    case DTRIANGLE:
      writeline("<polygon points=\"" + P(op.RX1, op.RY1) + " " + P(op.RX2, op.RY2) + " " +
                P(op.RX3, op.RY3) + "\"/>");
      break;
    case DSECTOR: yysvg2(DSECTOR); break;
    case DPOLYGON: pointlist("<polygon points=\""); break;
    default: break;
  }
}

std::string escaped(std::string_view text) {
  std::string out;
  for (char ch : text) {
    const int c = static_cast<unsigned char>(ch);
    if (c == '&') {
      out += "&#38;";
    } else if (c == '<') {
      out += "&#60;";
    } else if (c >= 128) {
      // The bytes the code page leaves unassigned stand for no character of a drawing.
      const char32_t u = win::unicodeOfCp1252(static_cast<unsigned char>(c));
      const int code = u < 0xA0 ? 0xFFFD : static_cast<int>(u);
      out += "&#" + std::to_string(code) + ";";
    } else if (c < 32 && c != 9) {
      // No XML document may hold these, not even as references.
      out += "&#65533;";
    } else {
      out += ch;
    }
  }
  return out;
}

void text() {
  DeviceOperands& op = ops();
  const GraphicsRegion& g = tessar.graphics;
  const TextState& ts = g.text;
  const int flags = op.IX2;
  const int face = std::clamp(ts.HWFONT, 1, 4);
  const int spacing = std::clamp(ts.SPACING, 0, 2);
  op.PLOTSTARTED = 1;
  if ((flags & 1) != 0) {
    static const char* const kFamily[4] = {"'Courier New',Courier;", "Arial,Helvetica;",
                                           "'Times New Roman','Times Roman';", "Symbol;"};
    static const float kFactor[3] = {1.65f, 1.33f, 1.72f};
    std::string s = "<g style=\"fill:#" + strokehex + ";stroke:none;font-family:" +
                    kFamily[face - 1];
    if (face != 4) {
      if ((ts.TYPEFLAGS & 1) != 0) s += "font-weight:bold;";
      if ((ts.TYPEFLAGS & 2) != 0) s += "font-style:italic;";
    }
    if (spacing != 1) {
      if (ts.JUSTIFY == 1) s += "text-anchor:middle;";
      if (ts.JUSTIFY == 2) s += "text-anchor:end;";
    }
    s += "font-size:" + yysvg1(op.RX2 * op.HCSCALEX * kFactor[spacing]) + "\">";
    writeline(s);
  }
  float x = op.RX1, y = op.RY1;
  if (spacing != 1 && ts.JUSTIFY == 1) {
    x = 0.5f * (op.RX1 + op.RX3);
    y = 0.5f * (op.RY1 + op.RY3);
  } else if (spacing != 1 && ts.JUSTIFY == 2) {
    x = op.RX3;
    y = op.RY3;
  }
  // Down to the baseline: a fifth of the character height across the text direction.
  const float rad = ts.ANGLE2 * 3.14159265f / 180.0f;
  x += 0.2f * op.RY2 * std::sin(rad);
  y -= 0.2f * op.RY2 * std::cos(rad);
  const int n = std::clamp(op.IX1, 0, static_cast<int>(tessar.files.HCCURRENT.size()));
  const std::string body =
      escaped(std::string_view(tessar.files.HCCURRENT).substr(0, static_cast<std::size_t>(n)));
  std::string transform = "translate(" + P(x, y) + ")";
  if (ts.ANGLE2 != 0) transform += "rotate(" + yysvg1(-ts.ANGLE2) + ")";
  writeline("<text transform=\"" + transform + "\">" + body + "</text>");
  if ((flags & 2) != 0) writeline("</g>");
}

void beginplot() {
  DeviceOperands& op = ops();
  const GraphicsTarget& t = tessar.graphics.target;
  op.HCSCALEX = static_cast<float>(option(1)) / static_cast<float>(t.WIDTH > 0 ? t.WIDTH : 1);
  op.HCSCALEY = static_cast<float>(option(2)) / height();
  if (op.IOPER1 <= 0) return;
  if (!yyhcopen()) return;
  writeline("<?xml version=\"1.0\"?>");
  writeline("<!DOCTYPE svg SYSTEM \"\">");
  writeline("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(option(1)) +
            "\" height=\"" + std::to_string(option(2)) + "\">");
  strokestate.fill(-1);
  clipactive = false;
  clipnumber = 0;
}

}  // namespace

std::string yysvg1(float value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%8.2f", static_cast<double>(value));
  std::string s = buffer;
  if (s.size() > 8 || !std::isfinite(value)) return "********";
  const std::size_t first = s.find_first_not_of(' ');
  s = s.substr(first);
  if (s.size() >= 3 && s.compare(s.size() - 3, 3, ".00") == 0)
    s.resize(s.size() - 3);
  else if (s.back() == '0')
    s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

void yysvg2(int code) {
  DeviceOperands& op = ops();
  const GraphicsAttributes& at = tessar.graphics.attributes;
  op.PLOTSTARTED = 1;
  const float x1 = op.RX1, y1 = op.RY1, rx = op.RX2, ry = op.RY2, a = op.RX3, b = op.RY3;
  const std::string start = P(rx * std::cos(a) + x1, ry * std::sin(a) + y1);
  const std::string end = P(rx * std::cos(b) + x1, ry * std::sin(b) + y1);
  const std::string large = b - a >= 3.1415927f ? "1" : "0";
  std::string d = "M " + start + " A " + yysvg1(rx * op.HCSCALEX) + "," +
                  yysvg1(ry * op.HCSCALEY) + " 0 " + large + " 0 " + end;
  const bool open = code == DARC && at.FILLSTYLE == 0 && at.HATCHDENSITY >= 3;
  if (!open) d += " L " + P(x1, y1) + " L " + start;
  writeline("<path d=\"" + d + "\"/>");
}

void xxsvg(int& code) {
  DeviceOperands& op = ops();
  DeviceDescription& dd = tessar.graphics.description;
  switch (code) {
    case DOPEN: {
      if (yyhcquery(HCSVG)) return;
      yydefh();
      std::array<int, 108>& o = tessar.hardcopy.HCOPTIONS;
      o[0] = 640; o[1] = 480; o[2] = 0; o[3] = 0; o[4] = 0;
      op.HCRESX = op.HCRESY = 72;
      tessar.graphics.attributes.HCCLASS = 256;
      op.HCCOLOURS = 256;
      yyhcdescribe("00000111111111100010011011110", 1.7e38f, 1, 0, 1, 0);
      dd.HCTEXTLEVEL = 8;
      dd.HCTEXTFLAG3 = 0;
      op.PRINTCMDOK = 0;
      assignfixed(tessar.files.HCOUTPUT, "tessplot.svg");
      op.HCDEVICE = HCSVG;
      return;
    }
    case DLINE:
      op.PLOTSTARTED = 1;
      writeline("<line x1=\"" + X(op.RX1) + "\" y1=\"" + Y(op.RY1) + "\" x2=\"" + X(op.RX2) +
                "\" y2=\"" + Y(op.RY2) + "\"/>");
      return;
    case DPOINT:
      op.PLOTSTARTED = 1;
      // A round cap of its own, so that the zero-length line shows as a dot.
      writeline("<line x1=\"" + X(op.RX1) + "\" y1=\"" + Y(op.RY1) + "\" x2=\"" + X(op.RX1) +
                "\" y2=\"" + Y(op.RY1) + "\" style=\"stroke-linecap:round\" />");
      return;
    case DCOLOUR: case DLINETYPE: case DLINEWIDTH: case DLINEJOIN: case DLINECAP:
      strokegroup();
      return;
    case DELLIPSEFILL: case DPARALLEL: case DRECT: case DTRIANGLE: case DSECTOR: case DPOLYGON:
      fill(code);
      return;
    case DBEGINPLOT: beginplot(); return;
    case DENDPLOT:
      writeline(strokestate[0] != -1 ? "</g></svg>" : "</svg>");
      yyprcl(2);
      return;
    case DTEXT: text(); return;
    case DCLIP: clip(); return;
    case DPOLYLINE:
      op.PLOTSTARTED = 1;
      pointlist("<polyline points=\"");
      return;
    case DARC: yysvg2(DARC); return;
    default: return;
  }
}
