// The HP-GL and HP-GL/2 line writers, the wedge and arc writers and the HP-GL/2 encoded
// polyline, palette and raster pattern writers.
#include "toolkit/hcdrivers/hpgl_writers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "toolkit/graphics/devices.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/hardcopy/output_helpers.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }
DeviceOperands& ops() { return tessar.graphics.operands; }
std::string& line() { return tessar.hardcopy.HPGLLINE; }

void writeout(std::string_view text) {
  if (ops().HPGLPREFIX == 1) yyprou(2, std::span<const char>(" ", 1), 1);
  yyprwl(2, text, static_cast<int>(text.size()));
}

// Compaction of the first n columns of a line, then the write.
void compacted(std::string_view text, std::size_t n) {
  n = std::min(n, text.size());
  std::string out(text.substr(0, std::min<std::size_t>(2, n)));
  bool blank = false;
  for (std::size_t i = 2; i < n; ++i) {
    const char c = text[i];
    if (c == ' ') {
      blank = true;
      continue;
    }
    if (blank && out.size() != 2) out += ' ';
    blank = false;
    out += c;
  }
  writeout(out);
}

// The mnemonic with two plotter-unit integers as (2I6).
void pair(std::string_view mnemonic, int x, int y) {
  yyhpglline(mnemonic.substr(0, std::min<std::size_t>(2, mnemonic.size())));
  yyhpglint(3, 6, x);
  yyhpglint(9, 6, y);
  compacted(line(), 14);
}

std::string fixedreal(int width, int decimals, float value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%*.*f", width, decimals, static_cast<double>(value));
  std::string s = buffer;
  if (static_cast<int>(s.size()) > width) {
    // Drop the leading zero before dropping the value.
    const std::size_t zero = s.find("0.");
    if (zero != std::string::npos && (zero == 0 || s[zero - 1] == '-' || s[zero - 1] == ' '))
      s.erase(zero, 1);
  }
  if (!std::isfinite(value) || static_cast<int>(s.size()) > width)
    return std::string(static_cast<std::size_t>(width), '*');
  return s;
}

// The wedge and arc writer shared by both drivers; hpgl2 adds the comment record and "PD;".
void wedge(int code, std::string_view restore, bool hpgl2) {
  DeviceOperands& op = ops();
  const GraphicsAttributes& at = tessar.graphics.attributes;
  const bool open = code != DSECTOR && at.FILLSTYLE == 0 && at.HATCHDENSITY > 2;
  if (code == DSECTOR || at.FILLSTYLE != 0 || at.HATCHDENSITY <= 2) yyhpg1("PU", op.RX1, op.RY1);
  if (hpgl2 && (at.FILLSTYLE == 1 || at.FILLSTYLE == 2)) {
    yyhpglline("CO\"4        \"");
    yyhpglint(6, 1, at.FILLSTYLE);
    yyhpglint(8, 1, at.HATCHDENSITY);
    yyhpglint(10, 1, at.HATCHANGLE);
    yyhpglint(12, 1, at.OUTLINE);
    yyhpg7();
  }
  float cx = 0, cy = 0;
  const float radius = yyhpglround(1, cx, cy, restore);
  if (open) {
    const float xc = cx * op.HCSCALEX, yc = cy * op.HCSCALEY, rr = radius * op.HCSCALEX;
    pair("PU", yyhpgltrunc(xc + rr * std::cos(op.RX3)), yyhpgltrunc(yc + rr * std::sin(op.RX3)));
    yyhpg3(hpgl2 ? "PD;" : "PD");
    yyhpglline("AA");
    yyhpglint(3, 6, yyhpgltrunc(xc));
    yyhpglint(9, 6, yyhpgltrunc(yc));
    yyhpglreal(15, 7, 1, op.RY4);
    yyhpg7();
    // The arc ends where the plotter's pen is, not at a device point: the next drawing
    // moves there first.
    op.LASTPENX = -9999;
    op.LASTPENY = -9999;
  } else {
    yyhpglline(code == DSECTOR ? "WG" : "EW");
    yyhpglint(3, 6, yyhpgltrunc(radius * op.HCSCALEX));
    yyhpglreal(9, 7, 1, op.RX4);
    yyhpglreal(16, 7, 1, op.RY4);
    yyhpg7();
    op.LASTPENX = op.RX1;
    op.LASTPENY = op.RY1;
  }
  yyhpg3(restore);
}

// One coordinate difference in the seven-bit base-32 form: sign in the lowest bit, five bits
// per character, low digits first with the offset 63, the last with the offset 95.
void encoded(std::string& out, long long d) {
  unsigned long long m = d >= 0 ? 2ULL * static_cast<unsigned long long>(d)
                                : 2ULL * static_cast<unsigned long long>(-d) + 1;
  while (m >= 32) {
    out += static_cast<char>(63 + m % 32);
    m /= 32;
  }
  out += static_cast<char>(95 + m);
}

}  // namespace

float yyhpglround(float ratio, float& cx, float& cy, std::string_view restore) {
  const DeviceOperands& op = ops();
  const GraphicsArea& ar = tessar.graphics.area;
  const float aw = ar.AREAW, ah = ar.AREAH, r = op.HCASPECT;
  if (!(ratio > 0)) ratio = 1;
  float sf = ar.PAGEROTATION % 180 == 0 ? 32760.0f * aw / (r * ah * ratio)
                                        : 32760.0f * r * aw * ratio / ah;
  // A degenerate area leaves no usable scaling: keep the plain one.
  if (!std::isfinite(sf) || sf < 1) sf = 32760;
  const int s = yyhpgltrunc(sf);
  cx = op.RX1;
  cy = op.RY1;
  float radius = op.RX2;
  yyhpglline(restore);
  if (s <= 32760) {
    yyhpglint(13, 5, s);
    cy = op.RY1 * static_cast<float>(s) / 32760.0f;
  } else {
    const int t = 1073217600 / s;
    yyhpglint(5, 5, t);
    cx = op.RX1 * static_cast<float>(t) / 32760.0f;
    radius = 32760.0f * op.RX2 / static_cast<float>(s);
  }
  yyhpg7();
  return radius;
}

bool yyhpglopen() {
  if (!yyhcopen()) return false;
  ops().HPGLPREFIX = option(17) != 0 ? 1 : 2;
  return true;
}

void yyhpglwindow(int column, const int (&window)[4]) {
  for (int k = 0; k < 4; ++k) yyhpglint(column + 7 * k, 7, window[k]);
}

void yyhpgldevice(std::string_view caps, int devtext) {
  yyhcdescribe(caps, 1.7e38f, 0, 0, devtext, 0);
  ops().PRINTCMDOK = 1;
  assignfixed(tessar.files.HCOUTPUT, "tessplot.plt");
}

void yyhpglscaling() {
  DeviceOperands& op = ops();
  op.HCSCALEX = 32760.0f / static_cast<float>(std::max(tessar.graphics.target.WIDTH, 1));
  op.HCSCALEY = 32760.0f / static_cast<float>(std::max(tessar.graphics.target.HEIGHT, 1));
}

void yyhpglframe(float units, int (&window)[4], bool blank, char terminator) {
  window[0] = static_cast<int>(units * static_cast<float>(option(3)));
  window[1] = static_cast<int>(units * static_cast<float>(option(4)));
  window[2] = static_cast<int>(units * static_cast<float>(option(1) + option(3)));
  window[3] = static_cast<int>(units * static_cast<float>(option(2) + option(4)));
  yyhpglline("IN; IP");
  yyhpglwindow(7, window);
  yyhpg7();
  yyhpglline("RO 90; IP");
  if (blank) yyhpglput(4, " ");
  yyhpglwindow(11, window);
  yyhpg7();
  yyhpg3(std::string("DT") + terminator);
  yyhpg3("DI1. 0.");
}

void yyhpglfield(std::string_view mnemonic, std::string_view text) {
  yyhpglline(mnemonic);
  yyhpglput(3, text);
  yyhpg7();
}

void yyhpglpenwidth(float units, float least) {
  yyhpglline("PW");
  yyhpglreal(3, 5, 3, std::min(std::max(0.4f * static_cast<float>(option(9)) / units, least), 5.0f));
  yyhpg7();
}

int yyhpglpoints() {
  const GraphicsRegion& g = tessar.graphics;
  return std::min({g.operands.IOPER2, static_cast<int>(g.XWORK.size()), static_cast<int>(g.YWORK.size())});
}

namespace {
// The encoded polyline of the first n points of the work arrays.
void encodedpoints(int n) {
  DeviceOperands& op = ops();
  const int saved = op.IOPER2;
  op.IOPER2 = n;
  yyhpgl2a();
  op.IOPER2 = saved;
}
}  // namespace

void yyhpglpolyline(int n, bool encoded) {
  DeviceOperands& op = ops();
  const std::vector<float>& x = tessar.graphics.XWORK;
  const std::vector<float>& y = tessar.graphics.YWORK;
  if (x[0] != op.LASTPENX || y[0] != op.LASTPENY) yyhpg1("PU", x[0], y[0]);
  if (encoded)
    encodedpoints(n);
  else
    for (std::size_t k = 1; k < static_cast<std::size_t>(n); ++k) yyhpg1("PD", x[k], y[k]);
  op.LASTPENX = x[static_cast<std::size_t>(n - 1)];
  op.LASTPENY = y[static_cast<std::size_t>(n - 1)];
}

void yyhpglpolygon(std::span<const float> x, std::span<const float> y, bool encoded) {
  DeviceOperands& op = ops();
  yyhpg1("PU", x[0], y[0]);
  yyhpg3("PM0");
  if (encoded)
    encodedpoints(static_cast<int>(x.size()));
  else
    for (std::size_t k = 1; k < x.size(); ++k) yyhpg1("PD", x[k], y[k]);
  yyhpg3("PM2;FP");
  op.LASTPENX = x[0];
  op.LASTPENY = y[0];
}

void yyhpglrectangle() {
  DeviceOperands& op = ops();
  yyhpg1("PU", op.RX1, op.RY1);
  yyhpg1("RA", op.RX2, op.RY2);
  op.LASTPENX = op.RX1;
  op.LASTPENY = op.RY1;
}

void yyhpglcircle(bool filled) {
  DeviceOperands& op = ops();
  float cx = 0, cy = 0;
  const float radius = yyhpglround(op.RX3, cx, cy);
  if (filled) yyhpg3("PM0");
  yyhpg1("CI", radius, 0);
  if (filled) yyhpg3("PM2;FP");
  op.LASTPENX = op.RX1;
  op.LASTPENY = op.RY1;
  yyhpg3(kHpglScale);
}

void yyhpgllabelstart(int cls, float& x, float& y) {
  const DeviceOperands& op = ops();
  const TextState& ts = tessar.graphics.text;
  const float A = cls == 0 ? 0.22f : 0.0f, B = cls == 0 ? 0.22f : 0.3f;
  x = op.RX1 + A * ts.ADVX + B * ts.COLXSTEP;
  y = op.RY1 + A * ts.ADVY - B * ts.COLYSTEP;
}

void yyhpgllabel(float x, float y, std::string label, char terminator) {
  DeviceOperands& op = ops();
  yyhpg1("PU", x, y);
  // The terminator inside the text would end the label there and run the rest as commands;
  // an escape would start a device-control sequence, which plotters obey even in a label.
  std::erase_if(label, [terminator](char c) { return c == terminator || c == '\x1b'; });
  label += terminator;
  yyhpg2(label);
  op.LASTPENX = -9999;
  op.LASTPENY = -9999;
}

void yyhpglmove(float x1, float y1, float x2, float y2) {
  DeviceOperands& op = ops();
  if (x1 != op.LASTPENX || y1 != op.LASTPENY) yyhpg1("PU", x1, y1);
  yyhpg1("PD", x2, y2);
  op.LASTPENX = x2;
  op.LASTPENY = y2;
}

void yyhpglclip(float units, const int (&window)[4]) {
  const GraphicsRegion& g = tessar.graphics;
  const GraphicsArea& ar = g.area;
  yyhpg3("SC");
  const float fx = units * static_cast<float>(option(1)) / static_cast<float>(std::max(g.target.WIDTH, 1));
  const float fy = units * static_cast<float>(option(2)) / static_cast<float>(std::max(g.target.HEIGHT, 1));
  yyhpglline("IW");
  yyhpglint(3, 7, yyhpgltrunc(fx * ar.XMIN) + window[0]);
  yyhpglint(10, 7, yyhpgltrunc(fy * ar.YMIN) + window[1]);
  yyhpglint(17, 7, std::min(yyhpgltrunc(fx * ar.XMAX + 0.99f) + window[0], window[2]));
  yyhpglint(24, 7, std::min(yyhpgltrunc(fy * ar.YMAX + 0.99f) + window[1], window[3]));
  yyhpg7();
  yyhpg3(kHpglScale);
}

void yyhpglsize(float divisor, float widthfactor, float heightfactor) {
  const GraphicsRegion& g = tessar.graphics;
  const TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  const float ex = ar.REXTX > 0 ? ar.REXTX : 1, ey = ar.REXTY > 0 ? ar.REXTY : 1;
  float w = 100.0f * ts.CW * widthfactor * ar.RDEVW / (divisor * ex);
  float h = 100.0f * ts.CH * heightfactor * ar.RDEVH / (2.0f * ey);
  if (ar.PAGEROTATION % 180 != 0 && g.operands.HCASPECT > 0) {
    w *= g.operands.HCASPECT;
    h /= g.operands.HCASPECT;
  }
  yyhpglline("SR");
  yyhpglreal(3, 8, 2, w);
  yyhpglreal(11, 8, 2, h);
  yyhpg7();
}

void yyhpgldirection() {
  const TextState& ts = tessar.graphics.text;
  yyhpglline("DI");
  yyhpglreal(3, 6, 3, ts.COSA2);
  yyhpglreal(10, 6, 3, std::sin(ts.ANGLE2 * 0.017453292f));
  yyhpg7();
}

int yyhpgltrunc(float value) {
  if (!(value == value)) return 0;
  const float limit = 1073741824.0f;
  return static_cast<int>(std::clamp(value, -limit, limit));
}

void yyhpglline(std::string_view templ) {
  std::string& l = line();
  l.assign(50, ' ');
  l.replace(0, std::min<std::size_t>(templ.size(), 50), templ.substr(0, 50));
}

void yyhpglput(int column, std::string_view text) {
  std::string& l = line();
  if (column < 1 || column > 50) return;
  const std::size_t at = static_cast<std::size_t>(column - 1);
  l.replace(at, std::min(text.size(), 50 - at), text.substr(0, 50 - at));
}

void yyhpglint(int column, int width, long long value) {
  std::string s = std::to_string(value);
  if (static_cast<int>(s.size()) > width)
    s.assign(static_cast<std::size_t>(width), '*');
  else
    s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
  yyhpglput(column, s);
}

void yyhpglreal(int column, int width, int decimals, float value) {
  yyhpglput(column, fixedreal(width, decimals, value));
}

void yyhpg1(std::string_view mnemonic, float x, float y) {
  const DeviceOperands& op = ops();
  pair(mnemonic, yyhpgltrunc(x * op.HCSCALEX), yyhpgltrunc(y * op.HCSCALEY));
}

void yyhpg2(std::string_view text) {
  const bool prefix = ops().HPGLPREFIX == 1;
  yyprou(2, std::span<const char>(" LB", 3).subspan(prefix ? 0 : 1), prefix ? 3 : 2);
  yyprwl(2, text, static_cast<int>(text.size()));
}

void yyhpg3(std::string_view text) {
  yyhpglline(text);
  compacted(line(), std::min<std::size_t>(text.size(), 50));
}

void yyhpg4(float x, float y) {
  if (option(18) == 0) return;
  const DeviceOperands& op = ops();
  yyhpglline("SC-9");
  yyhpglint(6, 6, yyhpgltrunc(x * op.HCSCALEX));
  yyhpglint(12, 6, yyhpgltrunc(y * op.HCSCALEY));
  yyhpglput(19, "0");
  compacted(line(), 19);
}

void yyhpg5(float a, float b) {
  if (option(18) == 0) return;
  yyhpglline("SC-9");
  yyhpglreal(6, 10, 4, a);
  yyhpglreal(16, 10, 4, b);
  yyhpglput(27, "0");
  compacted(line(), 27);
}

void yyhpg6(int kind, int closing, int a, int b, int c) {
  if (option(18) == 0) return;
  yyhpglline("SC-");
  int col = 4;
  auto field = [&](int width, long long v) {
    yyhpglint(col, width, v);
    col += width;
  };
  field(kind >= 10 ? 2 : 1, kind);
  field(kind == 1 ? 9 : 6, a);
  field(6, b);
  field(6, static_cast<long long>(c) + 32760);
  if (closing != 0) {
    yyhpglput(col + 1, ";");
    yyhpglput(col + 2, kHpglScale);
    col += 2 + static_cast<int>(kHpglScale.size());
  }
  compacted(line(), static_cast<std::size_t>(col - 1));
}

void yyhpglcompact(std::string_view text) { compacted(text, text.size()); }

void yyhpg7() {
  const std::string& l = line();
  const std::size_t last = l.find_last_not_of(' ');
  compacted(l, last == std::string::npos ? 2 : last + 1);
}

void yyhpg0(int code, std::string_view restore) { wedge(code, restore, false); }

void yyhpgl2e(int code, std::string_view restore) {
  ops().PLOTSTARTED = 1;
  wedge(code, restore, true);
}

void yyhpgl2a() {
  const DeviceOperands& op = ops();
  const std::vector<float>& x = tessar.graphics.XWORK;
  const std::vector<float>& y = tessar.graphics.YWORK;
  const int n = std::min({op.IOPER2, static_cast<int>(x.size()), static_cast<int>(y.size())});
  std::string buffer = "PE7";
  buffer.reserve(260);
  std::string pairtext;
  int lastx = n > 0 ? yyhpgltrunc(op.HCSCALEX * x[0]) : 0;
  int lasty = n > 0 ? yyhpgltrunc(op.HCSCALEY * y[0]) : 0;
  for (std::size_t k = 1; k < static_cast<std::size_t>(std::max(n, 0)); ++k) {
    const int ix = yyhpgltrunc(op.HCSCALEX * x[k]), iy = yyhpgltrunc(op.HCSCALEY * y[k]);
    pairtext.clear();
    encoded(pairtext, static_cast<long long>(ix) - lastx);
    encoded(pairtext, static_cast<long long>(iy) - lasty);
    lastx = ix;
    lasty = iy;
    // A pair never straddles two lines, and a line stays within 255 characters even for a
    // jump far outside the plot.
    if (buffer.size() > 246 || buffer.size() + pairtext.size() + 1 > 255) {
      buffer += ';';
      yyhpgl2b(buffer);
      buffer = "PE7";
    }
    buffer += pairtext;
  }
  buffer += ';';
  yyhpgl2b(buffer);
}

void yyhpgl2c(std::uint32_t pattern) {
  for (int half = 0; half < 2; ++half) {
    std::string text = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,";
    for (int b = 0; b < 16; ++b)
      if ((pattern >> (16 * half + b)) & 1u) text[static_cast<std::size_t>(2 * b)] = '1';
    if (half == 1) text.back() = ';';
    yyhpglline(text);
    yyhpg7();
  }
}

void yyhpgl2d(int pen, int red, int green, int blue) {
  const int o6 = option(6);
  const bool light = red >= 246 && green >= 246 && blue >= 246;
  const bool dark = red <= 9 && green <= 9 && blue <= 9;
  if (o6 == 1 || (o6 == 2 && (light || dark))) {
    red = 255 - red;
    green = 255 - green;
    blue = 255 - blue;
  }
  yyhpglline("PC");
  yyhpglint(3, 4, pen);
  yyhpglint(8, 3, red);
  yyhpglint(12, 3, green);
  yyhpglint(16, 3, blue);
  yyhpg7();
}
