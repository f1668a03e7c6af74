// PostScript and EPS: file structure, prolog and fonts, and the drawing requests.
#include "toolkit/hcdrivers/postscript.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

int fontchanged = 1;
int lastwidth = 0;
int lasttype = 0;
int pagenumber = 1;
int storedcolour = 0;

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }
DeviceOperands& ops() { return tessar.graphics.operands; }
PostScriptState& ps() { return tessar.hardcopy.postscript; }

std::string normalised(std::string_view text) {
  std::string out;
  bool gap = false;
  for (char c : text) {
    if (c == ' ') {
      gap = !out.empty();
      continue;
    }
    if (gap) out += ' ';
    gap = false;
    out += c;
  }
  return out;
}

void writeline(std::string_view line) {
  std::string_view cut = line.substr(0, std::min<std::size_t>(line.size(), 255));
  if (ops().HPGLPREFIX == 1) yyprou(2, std::span<const char>(" ", 1), 1);
  yyprwl(2, cut, static_cast<int>(cut.size()));
}

// A number that fills its field or more (a page of millions of points) keeps a blank before
// it: run together with its neighbour it would read as one name, not two numbers.
std::string separated(const char* number) {
  std::string f = number;
  if (f.empty() || f.front() != ' ') f.insert(f.begin(), ' ');
  return f;
}

std::string field(float v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%9.2f", static_cast<double>(v));
  std::string f = separated(buffer);
  if (f.size() >= 3 && f.compare(f.size() - 3, 3, ".00") == 0) f.back() = ' ';
  return f;
}

std::string onedecimal(float v, int width) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%*.1f", width, static_cast<double>(v));
  return separated(buffer);
}

void values(std::initializer_list<float> v, std::string_view text) {
  std::string line;
  for (float x : v) line += field(x);
  line += ' ';
  line += text;
  writeline(normalised(line));
}

float sx() { return ops().HCSCALEX; }
float sy() { return ops().HCSCALEY; }

void stroke() { yypos2(1); }

void moveto(float x, float y) { yypos4(x, y, "m"); }
void lineto(float x, float y) { yypos4(x, y, "l"); }

bool pathfull() { return ps().PSPATHPOINTS >= option(16); }

bool samecolour(const std::array<float, 3>& a, const std::array<float, 3>& b) {
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

void colourline(const std::array<float, 3>& c) { yypos3(c[0], c[1], c[2], "g"); }

// A colour written inside gsave/grestore: not remembered, as the grestore undoes it.
void pendingcolourinside() {
  if (!samecolour(ps().PSCURRGB, ps().PSLASTRGB)) colourline(ps().PSCURRGB);
}

std::array<float, 3> converted(int colour) {
  std::array<float, 3> c{};
  yypos1(colour, c[0], c[1], c[2]);
  return c;
}

int currentcolour() { return yyhcmodelcolour(CURRENT); }
int previouscolour() { return yyhcmodelcolour(PREVIOUS); }

// The y scale of ellipses and arcs, so that a circle of the graphics layer stays round.
float yscale(bool ellipse, float ratio) {
  const GraphicsArea& ar = tessar.graphics.area;
  const float A = ar.AREAW != 0 ? ar.AREAH / ar.AREAW : 1;
  const float P = ops().HCASPECT;
  const float w = static_cast<float>(option(1)), h = static_cast<float>(option(2));
  const bool upright = ar.PAGEROTATION % 180 == 0;
  if (ellipse) return upright ? P * (A * ratio) * h / w : P * (A / ratio) * w / h;
  const float r = upright ? P * h / w : w / (P * h);
  return r * A;
}

void scaled(float r) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "gsave 1.0 %8.4f scale newpath", static_cast<double>(r));
  writeline(normalised(buffer));
}

// Arc outline (34) and filled sector (13); the angles arrive in radians and the third
// operand is the end angle.
void yypos0(int code) {
  DeviceOperands& op = ops();
  const GraphicsAttributes& at = tessar.graphics.attributes;
  op.PLOTSTARTED = 1;
  stroke();
  float r = yscale(false, 1);
  if (r == 0 || !std::isfinite(r)) r = 1;
  scaled(r);
  const float cx = sx() * op.RX1, cy = sy() * op.RY1 / r;
  const bool open = code != DSECTOR && at.FILLSTYLE == 0 && at.HATCHDENSITY > 2;
  if (!open) values({cx, cy}, "m");
  std::string line = field(cx) + field(cy) + field(sx() * op.RX2) +
                     onedecimal(op.RX3 * 57.2958f, 8) + onedecimal(op.RY3 * 57.2958f, 8) + " arc";
  writeline(normalised(line));
  pendingcolourinside();
  if (code == DSECTOR)
    yypos6("cf");
  else
    yypos6(open ? "s" : "cs");
  yypos6("grestore");
}

const char* const kDash[8] = {"[] 0", "[1 5] 4", "[6 6] 3", "[1 3 4 4] 0", "[1 2 1 2 4 2] 0",
                              "[5 2 3 2] 2", "[3 3] 1", "[5 2 3 2 3 2] 0"};

void header() {
  DeviceOperands& op = ops();
  const bool eps = option(22) != 0;
  const bool landscape = option(5) != 0;
  float ox = 0, oy = 0;
  if (!eps) {
    yypos6("%!PS-Adobe-3.0");
    ox = static_cast<float>(option(3));
    oy = static_cast<float>(option(4) - (landscape ? 540 : 0));
  } else {
    yypos6("%!PS-Adobe-3.0 EPSF-3.0");
    const int w = landscape ? option(2) : option(1), h = landscape ? option(1) : option(2);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%%%%BoundingBox: 0 0 %5d %5d", w, h);
    yypos6(buffer);
    oy = landscape ? static_cast<float>(-option(2)) : 0;
  }
  if (op.IX1 != 0) {
    const std::string& t = tessar.files.TEXTBUF;
    yypos6("%%Title: " + yyhcplaintext(t.substr(0, static_cast<std::size_t>(lentrim(t)))));
  }
  for (const char* line :
       {"%%Creator: V.X.K. PostScript driver", "%%EndComments",
        "/l {lineto} def/m {moveto} def/g {setrgbcolor} def/w {setlinewidth} def",
        "/d {setdash} def/cf {closepath fill} def/s {stroke} def/ff {findfont} def",
        "/ms {makefont setfont} def/ro {rotate} def/cs {closepath stroke} def",
        "/lsh {show} def/rsh {dup stringwidth pop 0 exch sub 0 rmoveto show} def",
        "/csh {dup stringwidth pop 2 div 0 exch sub 0 rmoveto show} def", "%%EndProlog"})
    yypos6(line);
  static const char* const kFonts[3][4] = {
      {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique"},
      {"Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique"},
      {"Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic"}};
  static const char* const kFamily[3] = {"Courier", "Helvetica", "Times"};
  for (int f = 0; f < 3; ++f)
    for (int v = 0; v < 4; ++v) {
      yypos6(std::string("/") + kFonts[f][v] + " ff");
      yypos6("dup length dict begin");
      yypos6("{1 index /FID ne {def} {pop pop} ifelse} forall");
      yypos6("/Encoding ISOLatin1Encoding def");
      yypos6(std::string("currentdict end /") + kFamily[f] + "-" + std::to_string(v + 1) +
             " exch definefont pop");
    }
  yypos6("/Symbol ff");
  yypos6("dup length dict begin");
  yypos6("{1 index /FID ne {def} {pop pop} ifelse} forall");
  yypos6("currentdict end /Symbol exch definefont pop");
  if (landscape) yypos5(90, "ro");
  yypos6(onedecimal(ox, 8) + onedecimal(oy, 8) + " translate");
  yypos6("newpath");
  pagenumber = 1;
  yypos6("%%Page: 1 1");
}

void beginplot() {
  DeviceOperands& op = ops();
  const GraphicsTarget& t = tessar.graphics.target;
  const float w = t.WIDTH > 0 ? static_cast<float>(t.WIDTH) : 1;
  const float h = t.HEIGHT > 0 ? static_cast<float>(t.HEIGHT) : 1;
  op.HCSCALEX = static_cast<float>(option(1)) / w;
  op.HCSCALEY = static_cast<float>(option(2)) / h;
  if (op.IOPER1 <= 0) return;
  if (!yyhcopen()) return;
  op.HPGLPREFIX = option(17) != 0 ? 1 : 2;
  ps() = PostScriptState{};
  fontchanged = 1;
  lasttype = 0;
  lastwidth = 0;
  header();
}

void endpage() {
  DeviceOperands& op = ops();
  op.PLOTSTARTED = 0;
  stroke();
  if (option(22) == 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "/#copies %3d def", std::min(option(8), 999));
    yypos6(buffer);
    yypos6("gsave showpage grestore");
  }
  if (op.IOPER2 == 0) {
    ++pagenumber;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%%%%Page: %4d %4d", pagenumber, pagenumber);
    yypos6(buffer);
  }
}

void endplot() {
  yypos6("%%EOF");
  if (option(22) == 0) {
    yypos6("initgraphics");
    if (option(15) != 0) yyprou(2, std::span<const char>(" \x04", 2), 2);
  }
  yyprcl(2);
}

void colourrequest() {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  storedcolour = option(7) != 0 && at.COLOURS[PAIRINDEX][CURRENT] != 0 ? -1 : currentcolour();
  const std::array<float, 3> c = converted(storedcolour);
  if (!samecolour(c, ps().PSCURRGB)) {
    stroke();
    ps().PSCURRGB = c;
  }
}

// A zero-length segment is invisible under butt caps: it gets round caps of its own.
void dot(float x, float y) {
  DeviceOperands& op = ops();
  stroke();
  yypos2(3);
  yypos6("gsave 1 setlinecap");
  moveto(x, y);
  lineto(x, y);
  yypos6("s grestore");
  op.LASTPENX = -9999;
  op.LASTPENY = -9999;
}

void line() {
  DeviceOperands& op = ops();
  op.PLOTSTARTED = 1;
  if (op.RX1 == op.RX2 && op.RY1 == op.RY2) {
    dot(op.RX1, op.RY1);
    return;
  }
  if (pathfull()) stroke();
  if (op.RX1 != op.LASTPENX || op.RY1 != op.LASTPENY || ps().PSPATHPOINTS == 0)
    moveto(op.RX1, op.RY1);
  lineto(op.RX2, op.RY2);
  ++ps().PSPATHPOINTS;
  op.LASTPENX = op.RX2;
  op.LASTPENY = op.RY2;
}

void polyline() {
  DeviceOperands& op = ops();
  const std::vector<float>& x = tessar.graphics.XWORK;
  const std::vector<float>& y = tessar.graphics.YWORK;
  const int n = std::min({op.IOPER2, static_cast<int>(x.size()), static_cast<int>(y.size())});
  if (n < 1) return;
  op.PLOTSTARTED = 1;
  if (n == 1) {
    dot(x[0], y[0]);
    return;
  }
  if (pathfull()) stroke();
  if (x[0] != op.LASTPENX || y[0] != op.LASTPENY || ps().PSPATHPOINTS == 0) moveto(x[0], y[0]);
  for (std::size_t i = 1; i < static_cast<std::size_t>(n); ++i) {
    if (pathfull()) {
      stroke();
      moveto(x[i - 1], y[i - 1]);
    }
    lineto(x[i], y[i]);
    ++ps().PSPATHPOINTS;
  }
  op.LASTPENX = x[static_cast<std::size_t>(n - 1)];
  op.LASTPENY = y[static_cast<std::size_t>(n - 1)];
}

void fill(int code) {
  DeviceOperands& op = ops();
  const GraphicsAttributes& at = tessar.graphics.attributes;
  PostScriptState& s = ps();
  if (op.IOPER1 == -1) {
    if (at.FILLSTYLE > 0) stroke();
    s.PSCURRGB = converted(storedcolour);
    return;
  }
  op.PLOTSTARTED = 1;
  if (at.FILLSTYLE > 2 || (at.FILLSTYLE > 0 && option(7) != 0)) {
    stroke();
    if (at.FILLSTYLE == 3) {
      const auto a = converted(previouscolour()), b = converted(currentcolour());
      for (std::size_t k = 0; k < 3; ++k) s.PSCURRGB[k] = 0.5f * (a[k] + b[k]);
    } else {
      s.PSCURRGB = converted(currentcolour());
    }
  }
  if (at.FILLSTYLE < 3 && code != DELLIPSEFILL) return;
  switch (code) {
    case DPARALLEL:
      moveto(op.RX1, op.RY1);
      lineto(op.RX2, op.RY2);
      lineto(op.RX3, op.RY3);
      lineto(op.RX4, op.RY4);
      s.PSPATHPOINTS = 4;
      yypos2(2);
      break;
    case DRECT: {
      float x1 = op.RX1, y1 = op.RY1, x2 = op.RX2, y2 = op.RY2;
      if (option(22) != 0) yyhcclipbox(x1, y1, x2, y2);
      moveto(x1, y1);
      lineto(x2, y1);
      lineto(x2, y2);
      lineto(x1, y2);
      s.PSPATHPOINTS = 4;
      yypos2(2);
      break;
    }
    case DTRIANGLE:
      moveto(op.RX1, op.RY1);
      lineto(op.RX2, op.RY2);
      lineto(op.RX3, op.RY3);
      s.PSPATHPOINTS = 3;
      yypos2(2);
      break;
    case DPOLYGON: {
      const std::vector<float>& x = tessar.graphics.XWORK;
      const std::vector<float>& y = tessar.graphics.YWORK;
      const int n = std::min({op.IOPER2, static_cast<int>(x.size()), static_cast<int>(y.size())});
      if (n < 1) return;
      moveto(x[0], y[0]);
      for (std::size_t i = 1; i < static_cast<std::size_t>(n); ++i) lineto(x[i], y[i]);
      s.PSPATHPOINTS = n;
      yypos2(2);
      break;
    }
    case DELLIPSEFILL: {
      float r = yscale(true, op.RX3);
      if (r == 0 || !std::isfinite(r)) r = 1;
      stroke();
      scaled(r);
      yypos3(sx() * op.RX1, sy() * op.RY1 / r, sx() * op.RX2, "90. 450. arc");
      pendingcolourinside();
      yypos6(at.FILLSTYLE <= 2 ? "s" : "cf");
      yypos6("grestore");
      break;
    }
    case DSECTOR:
      yypos0(DSECTOR);
      break;
    default:
      break;
  }
}

// The literal of a text: escapes never split, and at most 249 characters of escaped text.
std::string literal(std::string_view text) {
  std::string out = "(";
  std::size_t used = 0;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    // A control character as its octal escape: a raw line end would carry the rest of the
    // text onto a line of its own, where a reader of the comments takes "%%" for one.
    if (u < 32 || u == 127) {
      if (used + 4 > 249) break;
      char code[8];
      std::snprintf(code, sizeof code, "\\%03o", u);
      out += code;
      used += 4;
      continue;
    }
    const bool escaped = c == '(' || c == ')' || c == '\\';
    const std::size_t need = escaped ? 2 : 1;
    if (used + need > 249) break;
    if (escaped) out += '\\';
    out += c;
    used += need;
  }
  return out + ") ";
}

void text() {
  DeviceOperands& op = ops();
  const GraphicsRegion& g = tessar.graphics;
  const TextState& ts = g.text;
  op.PLOTSTARTED = 1;
  yypos2(3);
  const float ew = op.RX2, eh = op.RY2;
  if (fontchanged != 0) {
    const bool cross = g.area.PAGEROTATION % 180 != 0;
    float w = ew * (cross ? sy() : sx()), h = eh * (cross ? sx() : sy());
    w = std::clamp(w, 1.0f, 999.0f);
    h = std::clamp(h, 1.0f, 999.0f);
    static const float kW[3] = {1.65f, 1.33f, 1.72f}, kH[3] = {1.0f, 0.82f, 0.82f};
    const int sp = std::clamp(ts.SPACING, 0, 2);
    w *= kW[sp];
    h *= kH[sp];
    const int v = (ts.TYPEFLAGS & 3) % 4 + 1;
    static const char* const kFamily[3] = {"Courier", "Helvetica", "Times"};
    char buffer[128];
    const int face = ts.HWFONT;
    if (face >= 1 && face <= 3) {
      std::snprintf(buffer, sizeof buffer, "/%s-%d ff [%5.1f 0 0 %5.1f 0 0] ms", kFamily[face - 1],
                    v, static_cast<double>(w), static_cast<double>(h));
      yypos6(buffer);
    } else if (face == 4) {
      std::snprintf(buffer, sizeof buffer, "/Symbol ff [%5.1f 0 0 %5.1f 0 0] ms",
                    static_cast<double>(w), static_cast<double>(h));
      yypos6(buffer);
    }
    fontchanged = 0;
  }
  const float angle = ts.ANGLE2;
  const float rad = angle * 3.14159265f / 180.0f;
  const float dx = 0.27f * eh * std::sin(rad), dy = -0.27f * eh * std::cos(rad);
  float x = op.RX1 + dx, y = op.RY1 + dy;
  const char* show = "lsh";
  if (ts.SPACING != 1 && ts.JUSTIFY == 1) {
    x = 0.5f * (x + op.RX3 + dx);
    y = 0.5f * (y + op.RY3 + dy);
    show = "csh";
  } else if (ts.SPACING != 1 && ts.JUSTIFY == 2) {
    x = op.RX3 + dx;
    y = op.RY3 + dy;
    show = "rsh";
  }
  const int n = std::clamp(op.IX1, 0, static_cast<int>(tessar.files.HCCURRENT.size()));
  moveto(x, y);
  const int a = static_cast<int>(angle);
  if (angle != 0) yypos5(static_cast<float>(a), "ro");
  yypos7(literal(std::string_view(tessar.files.HCCURRENT).substr(0, static_cast<std::size_t>(n))) +
         show);
  if (angle != 0) yypos5(static_cast<float>(360 - a), "ro");
  op.LASTPENX = -9999;
  op.LASTPENY = -9999;
}

void clip() {
  if (option(22) != 0) return;
  const GraphicsArea& ar = tessar.graphics.area;
  stroke();
  yypos6("initclip");
  const float x1 = std::trunc(ar.XMIN), y1 = std::trunc(ar.YMIN);
  const float x2 = std::trunc(ar.XMAX + 0.99f), y2 = std::trunc(ar.YMAX + 0.99f);
  moveto(x1, y1);
  lineto(x2, y1);
  lineto(x2, y2);
  lineto(x1, y2);
  yypos6("clip");
  yypos6("newpath");
}

void image() {
  DeviceOperands& op = ops();
  stroke();
  const int w = op.IX2, h = op.IY2;
  if (w <= 0 || h <= 0) {
    op.IOPER1 = 0;
    return;
  }
  std::vector<int> pixels;
  if (yyhcloadimage(pixels, w, h) != 0) return;
  op.PLOTSTARTED = 1;
  op.IOPER1 = 0;
  const GraphicsArea& ar = tessar.graphics.area;
  const float cx1 = ar.XMIN, cy1 = ar.YMIN, cx2 = ar.XMAX, cy2 = ar.YMAX;
  yypos6("gsave");
  yypos6("/picstr " + std::to_string(3 * w) + " string def");
  yypos5(static_cast<float>(ar.PAGEROTATION), "ro");
  switch (ar.PAGEROTATION) {
    case 0:
      yypos4(cx1, cy1, "translate");
      yypos4(cx2 - cx1, cy2 - cy1, "scale");
      break;
    case 90:
      yypos4a(cy1, -cx2, "translate");
      yypos4a(cy2 - cy1, cx2 - cx1, "scale");
      break;
    case 180:
      yypos4(-cx2, -cy2, "translate");
      yypos4(cx2 - cx1, cy2 - cy1, "scale");
      break;
    case 270:
      yypos4a(-cy2, cx1, "translate");
      yypos4a(cy2 - cy1, cx2 - cx1, "scale");
      break;
    default:
      break;
  }
  const std::string W = std::to_string(w), H = std::to_string(h);
  yypos6(W + " " + H + " 8 [" + W + " 0 0 -" + H + " 0 " + H + "]");
  yypos6("{currentfile picstr readhexstring pop}");
  yypos6("false 3");
  yypos6("colorimage");
  std::string line, hex(6, ' ');
  for (int p : pixels) {
    int r = 0, g = 0, b = 0;
    wrgbsplit(p, &r, &g, &b);
    yyrgbhex(r & 255, g & 255, b & 255, hex);
    line += hex;
    if (line.size() == 240) {
      yypos7(line);
      line.clear();
    }
  }
  if (!line.empty()) yypos7(line);
  yypos6("grestore");
}

}  // namespace

void yypos3(float a, float b, float c, std::string_view text) { values({a, b, c}, text); }
void yypos4(float x, float y, std::string_view text) { values({x * sx(), y * sy()}, text); }
void yypos4a(float x, float y, std::string_view text) { values({x * sy(), y * sx()}, text); }
void yypos5(float v, std::string_view text) { values({v}, text); }
void yypos6(std::string_view text) { writeline(normalised(text)); }
void yypos7(std::string_view text) { writeline(text); }

void yypos2(int mode) {
  PostScriptState& s = ps();
  if (s.PSPATHPOINTS == 0 && mode < 3) return;
  if (!samecolour(s.PSCURRGB, s.PSLASTRGB)) {
    s.PSLASTRGB = s.PSCURRGB;
    colourline(s.PSCURRGB);
  }
  if (mode == 1) yypos6("s");
  if (mode == 2) yypos6("cf");
  if (mode < 3) s.PSPATHPOINTS = 0;
}

void yypos1(int colour, float& r, float& g, float& b) {
  if (colour == -1) {
    r = g = b = 0;
  } else {
    int red = 0, green = 0, blue = 0;
    yypalrgb(colour, &red, &green, &blue);
    r = static_cast<float>(red) * (1.0f / 255);
    g = static_cast<float>(green) * (1.0f / 255);
    b = static_cast<float>(blue) * (1.0f / 255);
  }
  const int mapping = option(6);
  const bool dark = r < 0.04f && g < 0.04f && b < 0.04f;
  const bool light = r > 0.96f && g > 0.96f && b > 0.96f;
  if (mapping == 1 || (mapping == 2 && (dark || light))) {
    r = 1 - r;
    g = 1 - g;
    b = 1 - b;
  }
}

void yyrgbhex(int r, int g, int b, std::string& text) {
  static constexpr char digits[] = "0123456789abcdef";
  if (text.size() < 6) text.resize(6, ' ');
  const int v[3] = {r, g, b};
  for (int k = 0; k < 3; ++k) {
    text[static_cast<std::size_t>(2 * k)] = digits[(v[k] / 16) & 15];
    text[static_cast<std::size_t>(2 * k + 1)] = digits[v[k] % 16 & 15];
  }
}

void xxpost(int& code) {
  DeviceOperands& op = ops();
  switch (code) {
    case DOPEN: {
      if (yyhcquery(HCPOSTSCRIPT)) return;
      yydefh();
      std::array<int, 108>& o = tessar.hardcopy.HCOPTIONS;
      o[0] = 756; o[1] = 540; o[2] = 42; o[3] = -20; o[4] = 1;
      o[14] = 1; o[15] = 255; o[21] = 0;
      op.HCRESX = op.HCRESY = 600;
      op.HCCOLOURS = 256;
      op.PRINTCMDOK = 1;
      assignfixed(tessar.files.HCOUTPUT, "tessplot.ps");
      op.HCDEVICE = HCPOSTSCRIPT;
      yyhcdescribe("00000111111111100010011011110", 1.7e38f, 1, 0, 1, 0);
      return;
    }
    case DLINE: line(); return;
    case DCOLOUR: case DLOADPALETTE: colourrequest(); return;
    case DELLIPSEFILL: case DPARALLEL: case DRECT: case DTRIANGLE: case DSECTOR: case DPOLYGON:
      fill(code);
      return;
    case DBEGINPLOT: beginplot(); return;
    case DENDPLOT: endplot(); return;
    case DENDPAGE: endpage(); return;
    case DFONT: fontchanged = 1; return;
    case DTEXT: text(); return;
    case DCLIP: clip(); return;
    case DPOINT:
      op.RX2 = op.RX1;
      op.RY2 = op.RY1;
      line();
      return;
    case DLINETYPE: {
      const int t = std::clamp(tessar.graphics.attributes.LINETYPE, 0, 7);
      if (t == lasttype) return;
      stroke();
      yypos6(std::string(kDash[t]) + " d");
      lasttype = t;
      return;
    }
    case DLINEWIDTH:
      if (option(9) == lastwidth) return;
      stroke();
      yypos5(0.1f * static_cast<float>(option(9)), "w");
      lastwidth = option(9);
      return;
    case DPOLYLINE: polyline(); return;
    case DARC: yypos0(DARC); return;
    case DLINEJOIN:
      stroke();
      yypos6(std::to_string(std::clamp(option(10), 0, 2)) + " setlinejoin");
      if (option(10) == 0) yypos6("5.0 setmiterlimit");
      return;
    case DLINECAP:
      stroke();
      yypos6(std::to_string(std::clamp(option(11), 0, 2)) + " setlinecap");
      return;
    case DIMAGE: image(); return;
    default: return;
  }
}
