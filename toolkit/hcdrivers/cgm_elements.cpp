// Binary CGM elements: encoders of both twins and the element writers of the CGM devices.
#include "toolkit/hcdrivers/cgm_elements.h"

#include <algorithm>
#include <cmath>

#include "toolkit/graphics/gradient.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

std::vector<std::uint8_t>* capturing = nullptr;
// Corners the gradient request handed over; when the fill merged none, the work arrays
// still number the corners as the vertices do.
int gradientcorners = -1;

void fileout(std::span<const std::uint8_t> octets) {
  if (capturing != nullptr) {
    capturing->insert(capturing->end(), octets.begin(), octets.end());
    return;
  }
  yyprou(2, std::span<const char>(reinterpret_cast<const char*>(octets.data()), octets.size()),
         static_cast<int>(octets.size()));
}

void emit(CgmOut out, std::span<const std::uint8_t> octets) {
  if (out == CgmOut::FILE)
    fileout(octets);
  else
    yygcgm1(octets, static_cast<int>(octets.size()));
}

void header(std::vector<std::uint8_t>& b, int cls, int id, int length) {
  const int word = cls * 4096 + id * 32 + length;
  b.push_back(static_cast<std::uint8_t>((word >> 8) & 255));
  b.push_back(static_cast<std::uint8_t>(word & 255));
}

void word(std::vector<std::uint8_t>& b, int v) {
  b.push_back(static_cast<std::uint8_t>((v >> 8) & 255));
  b.push_back(static_cast<std::uint8_t>(v & 255));
}

// Partitions of the octets after a long-form header; more: a partition follows the last.
void partitions(std::vector<std::uint8_t>& b, std::span<const std::uint8_t> octets, bool more) {
  std::size_t at = 0;
  do {
    const std::size_t n = std::min<std::size_t>(octets.size() - at, kCgmPartition);
    const bool follows = at + n < octets.size() || more;
    word(b, static_cast<int>(n) + (follows ? 32768 : 0));
    b.insert(b.end(), octets.begin() + static_cast<std::ptrdiff_t>(at),
             octets.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < octets.size());
}

std::vector<std::uint8_t> stringoctets(std::string_view text, bool pad) {
  const std::size_t n = std::min<std::size_t>(text.size(), kCgmString);
  std::vector<std::uint8_t> b;
  b.reserve(n + 2);
  b.push_back(static_cast<std::uint8_t>(n));
  for (std::size_t k = 0; k < n; ++k) b.push_back(static_cast<std::uint8_t>(text[k]));
  if (pad && b.size() % 2 != 0) b.push_back(0);
  return b;
}

void colourelement(CgmOut out, int cls, int id, int red, int green, int blue) {
  CgmParams p;
  p.octet(red).octet(green).octet(blue).octet(0);
  yycgmelement(out, cls, id, p);
}

// Corner k of a gradient triangle and the vector from corner a to corner b.
struct Corners {
  float sx, sy;
  bool reals;
  const GradientVertices& v;
  int x(int k) const {
    const auto i = static_cast<std::size_t>(k);
    return reals ? yycgmvdc(tessar.graphics.XWORK[i], sx) : v.X[i];
  }
  int y(int k) const {
    const auto i = static_cast<std::size_t>(k);
    return reals ? yycgmvdc(tessar.graphics.YWORK[i], sy) : v.Y[i];
  }
  int dx(int a, int b) const {
    if (!reals) return v.X[static_cast<std::size_t>(b)] - v.X[static_cast<std::size_t>(a)];
    const auto& X = tessar.graphics.XWORK;
    return yycgmvdc(X[static_cast<std::size_t>(b)] - X[static_cast<std::size_t>(a)], sx);
  }
  int dy(int a, int b) const {
    if (!reals) return v.Y[static_cast<std::size_t>(b)] - v.Y[static_cast<std::size_t>(a)];
    const auto& Y = tessar.graphics.YWORK;
    return yycgmvdc(Y[static_cast<std::size_t>(b)] - Y[static_cast<std::size_t>(a)], sy);
  }
};

void triangles(CgmOut out, const GradientVertices& v, float sx, float sy, int& status) {
  status = 0;
  const int n = std::clamp(v.n, 0, static_cast<int>(v.X.size()));
  const bool reals = gradientcorners == v.n && static_cast<int>(tessar.graphics.XWORK.size()) >= n &&
                     static_cast<int>(tessar.graphics.YWORK.size()) >= n;
  const Corners c{sx, sy, reals, v};
  const int count = std::clamp(v.ntri, 0, static_cast<int>(v.T.size()));
  for (int t = 0; t < count; ++t) {
    const auto& tri = v.T[static_cast<std::size_t>(t)];
    if (std::any_of(tri.begin(), tri.end(), [n](int k) { return k < 0 || k >= n; })) continue;
    const int a = tri[0], b = tri[1], d = tri[2];
    CgmParams ref;
    ref.point(c.x(a), c.y(a));
    yycgmelement(out, 5, 31, ref);
    CgmParams interp;
    interp.int16(3).point(c.dx(a, b), c.dy(a, b)).point(c.dx(a, d), c.dy(a, d)).int16(0);
    for (int k : {a, b, d}) {
      const int rgb = v.RGB[static_cast<std::size_t>(k)];
      interp.octet(rgb).octet(rgb >> 8).octet(rgb >> 16);
    }
    interp.octet(0);
    yycgmelement(out, 5, 43, interp);
    CgmParams style;
    style.int16(6);
    yycgmelement(out, 5, 22, style);
    CgmParams poly;
    poly.point(c.x(a), c.y(a)).point(c.x(b), c.y(b)).point(c.x(d), c.y(d));
    yycgmelement(out, 4, 7, poly);
  }
}

}  // namespace

//------------------------------------------------------------------------------
// Parameter lists and elements
//------------------------------------------------------------------------------
CgmParams& CgmParams::int16(int v) {
  word(b, v);
  return *this;
}
CgmParams& CgmParams::point(int x, int y) { return int16(x).int16(y); }
CgmParams& CgmParams::octet(int v) {
  b.push_back(static_cast<std::uint8_t>(v & 255));
  return *this;
}
CgmParams& CgmParams::real0() { return int16(0).int16(0); }
CgmParams& CgmParams::string(std::string_view text, bool pad) {
  const std::vector<std::uint8_t> s = stringoctets(text, pad);
  b.insert(b.end(), s.begin(), s.end());
  return *this;
}

void yycgmelement(CgmOut out, int cls, int id, const CgmParams& params, bool forcelong) {
  const std::size_t n = params.b.size();
  std::vector<std::uint8_t> e;
  e.reserve(n + 8 + 2 * (n / kCgmPartition));
  if (n <= 30 && !forcelong) {
    header(e, cls, id, static_cast<int>(n));
    e.insert(e.end(), params.b.begin(), params.b.end());
  } else {
    header(e, cls, id, 31);
    partitions(e, params.b, false);
  }
  if (n % 2 != 0) e.push_back(0);
  emit(out, e);
}

void yycgmpartitioned(CgmOut out, int cls, int id, std::span<const std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> e;
  header(e, cls, id, 31);
  for (std::size_t k = 0; k < parts.size(); ++k) partitions(e, parts[k], k + 1 < parts.size());
  if (parts.empty()) word(e, 0);
  emit(out, e);
}

void yycgmcapture(std::vector<std::uint8_t>* capture) { capturing = capture; }

//------------------------------------------------------------------------------
// The twins
//------------------------------------------------------------------------------
void yycgm1(int& red, int& green, int& blue) {
  const int option6 = tessar.hardcopy.HCOPTIONS[5];
  const bool dark = red < 10 && green < 10 && blue < 10;
  const bool light = red > 245 && green > 245 && blue > 245;
  if (option6 == 1 || (option6 == 2 && (dark || light))) {
    red = 255 - red;
    green = 255 - green;
    blue = 255 - blue;
  }
}

void yycgm2(int cls, int id, int length) {
  std::vector<std::uint8_t> b;
  header(b, cls, id, length);
  fileout(b);
}
void yycgm3(float x, float y) {
  const DeviceOperands& op = tessar.graphics.operands;
  yycgm6(yycgmvdc(x, op.HCSCALEX), yycgmvdc(y, op.HCSCALEY));
}
void yycgm4(int cls, int id, int red, int green, int blue) {
  colourelement(CgmOut::FILE, cls, id, red, green, blue);
}
void yycgm5(int value) {
  std::vector<std::uint8_t> b;
  word(b, value);
  fileout(b);
}
void yycgm6(int a, int b) {
  std::vector<std::uint8_t> o;
  word(o, a);
  word(o, b);
  fileout(o);
}
void yycgm7(std::string_view text) { fileout(stringoctets(text, true)); }
void yycgm8(std::string_view text) { fileout(stringoctets(text, false)); }

void yygcgm1(std::span<const std::uint8_t> octets, int count) {
  count = std::clamp(count, 0, static_cast<int>(octets.size()));
  const int slot = tessar.graphics.target.TARGETNUMBER;
  if (slot < 1 || slot > 20) {
    yyerror(1062, "YYGCGM1");
    return;
  }
  MetafileSlot& s = tessar.graphics.metafiles[static_cast<std::size_t>(slot - 1)];
  // The buffer the slot really has bounds the capacity it states.
  const long long capacity = std::min<long long>(s.CAPACITY, static_cast<long long>(s.BUFFER.size()));
  if (s.USED < 0 || static_cast<long long>(s.USED) + count > capacity) {
    yyerror(1062, "YYGCGM1");
    return;
  }
  std::copy(octets.begin(), octets.begin() + count, s.BUFFER.begin() + s.USED);
  s.USED += count;
}
void yygcgm2(int cls, int id, int length) {
  std::vector<std::uint8_t> b;
  header(b, cls, id, length);
  yygcgm1(b, static_cast<int>(b.size()));
}
void yygcgm4(int cls, int id, int red, int green, int blue) {
  colourelement(CgmOut::MEMORY, cls, id, red, green, blue);
}
void yygcgm5(int value) {
  std::vector<std::uint8_t> b;
  word(b, value);
  yygcgm1(b, 2);
}
void yygcgm6(int a, int b) {
  std::vector<std::uint8_t> o;
  word(o, a);
  word(o, b);
  yygcgm1(o, 4);
}
void yygcgm7(std::string_view text) {
  const auto s = stringoctets(text, true);
  yygcgm1(s, static_cast<int>(s.size()));
}
void yygcgm8(std::string_view text) {
  const auto s = stringoctets(text, false);
  yygcgm1(s, static_cast<int>(s.size()));
}

int yycgmvdc(float v, float scale) {
  const float t = std::trunc(v * scale);
  if (!(t == t)) return 0;
  return static_cast<int>(std::clamp(t, -32768.0f, 32767.0f));
}

//------------------------------------------------------------------------------
// Gradient triangles
//------------------------------------------------------------------------------
void yycgmgradientcorners(int count) { gradientcorners = count; }

void yycgm9(const GradientVertices& vertices, int& status) {
  const DeviceOperands& op = tessar.graphics.operands;
  triangles(CgmOut::FILE, vertices, op.HCSCALEX, op.HCSCALEY, status);
}

void yygcgm9(const GradientVertices& vertices, int& status) {
  triangles(CgmOut::MEMORY, vertices, 1.0f, 1.0f, status);
}

//------------------------------------------------------------------------------
// Element writers shared by the file driver and the recorder
//------------------------------------------------------------------------------
void yycgmtext(CgmOut out, bool restricted, int dw, int dh, int x, int y, std::string_view text) {
  // Control characters switch character sets or mean nothing in a CGM string.
  const std::string plain = yyhcplaintext(text);
  std::string_view rest = plain;
  bool first = true;
  do {
    const std::string_view chunk = rest.substr(0, std::min<std::size_t>(rest.size(), kCgmString));
    rest.remove_prefix(chunk.size());
    const int final = rest.empty() ? 1 : 0;
    CgmParams p;
    if (first && restricted) p.int16(dw).int16(dh);
    if (first) p.point(x, y);
    p.int16(final).string(chunk, false);
    yycgmelement(out, 4, first ? (restricted ? 5 : 4) : 6, p);
    first = false;
  } while (!rest.empty());
}

void yycgmpoints(CgmOut out, int id, std::span<const int> xy) {
  CgmParams p;
  p.b.reserve(xy.size() * 2);
  for (int v : xy) p.int16(v);
  yycgmelement(out, 4, id, p, true);
}

void yycgmpicture(CgmOut out, int width, int height) {
  CgmParams name;
  name.string("VXK CGM Data", false);
  yycgmelement(out, 0, 3, name);
  const int modes[][3] = {{2, 3, 0}, {2, 5, 0}, {2, 2, 1}, {3, 1, 16}};
  for (const auto& m : modes) {
    CgmParams p;
    p.int16(m[2]);
    yycgmelement(out, m[0], m[1], p);
  }
  CgmParams extent;
  extent.point(0, 0).point(width, height);
  yycgmelement(out, 2, 6, extent);
  yycgmelement(out, 0, 4, CgmParams{});
  CgmParams align;
  align.int16(1).int16(5).real0().real0();
  yycgmelement(out, 5, 18, align);
}

void yycgmheader(CgmOut out, std::string_view title, int fontlist, int width, int height) {
  CgmParams begin;
  begin.string(title.empty() ? std::string_view("VXK CGM File") : title, false);
  yycgmelement(out, 0, 1, begin);
  CgmParams version;
  version.int16(1);
  yycgmelement(out, 1, 1, version);
  CgmParams description;
  description.string("VXK CGM driver v4", false);
  yycgmelement(out, 1, 2, description);
  const int precisions[][2] = {{3, 0}, {4, 16}};
  for (const auto& m : precisions) {
    CgmParams p;
    p.int16(m[1]);
    yycgmelement(out, 1, m[0], p);
  }
  CgmParams real;
  real.int16(1).int16(16).int16(16);
  yycgmelement(out, 1, 5, real);
  CgmParams index;
  index.int16(16);
  yycgmelement(out, 1, 6, index);

  static const char* const kLists[3][16] = {
      {"COURIER", "COURIER_BOLD", "COURIER_ITALIC", "COURIER_BOLD_ITALIC", "HELVETICA",
       "HELVETICA_BOLD", "HELVETICA_OBLIQUE", "HELVETICA_BOLD_OBLIQUE", "TIMES_ROMAN", "TIMES_BOLD",
       "TIMES_ITALIC", "TIMES_BOLD_ITALIC", "SYMBOL", "SYMBOL", "SYMBOL", "SYMBOL"},
      {"Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique", "Helvetica",
       "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique", "Times-Roman", "Times-Bold",
       "Times-Italic", "Times-BoldItalic", "Symbol", "Symbol", "Symbol", "Symbol"},
      {"Courier New", "Courier New Bold", "Courier New Italic", "Courier New Bold Italic", "Arial",
       "Arial Bold", "Arial Italic", "Arial Bold Italic", "Times New Roman", "Times New Roman Bold",
       "Times New Roman Italic", "Times New Roman Bold Italic", "Symbol", "Symbol Bold",
       "Symbol Italic", "Symbol Bold Italic"}};
  // A list number the options routine let through unchecked gets the default list.
  const auto& names = kLists[fontlist >= 0 && fontlist <= 2 ? fontlist : 2];
  CgmParams fonts;
  for (const char* name : names) fonts.string(name, false);
  if (fonts.b.size() % 2 != 0) fonts.octet(0);
  yycgmelement(out, 1, 13, fonts, true);
  CgmParams colourprecision;
  colourprecision.int16(8);
  yycgmelement(out, 1, 7, colourprecision);
  CgmParams extent;
  extent.octet(0).octet(0).octet(0).octet(255).octet(255).octet(255);
  yycgmelement(out, 1, 10, extent);
  yycgmpicture(out, width, height);
}

void yycgmcellarray(CgmOut out, const int (&pqr)[6], int nx, int ny, std::span<const int> image,
                    int rotation) {
  std::vector<std::vector<std::uint8_t>> parts;
  CgmParams first;
  first.point(pqr[0], pqr[1]).point(pqr[2], pqr[3]).point(pqr[4], pqr[5]).int16(nx).int16(ny)
      .int16(8).int16(0);
  parts.push_back(first.b);
  const long long size = static_cast<long long>(image.size());
  const long long NX = nx, NY = ny;
  for (long long r = 1; r <= NY; ++r) {
    std::vector<std::uint8_t> row;
    auto cell = [&](long long c) -> int {
      long long k = 0;
      switch (rotation) {
        case 90: k = (NY + 1 - r) + (c - 1) * NY; break;
        case 180: k = (NY + 1 - r) * NX - (c - 1); break;
        case 270: k = (NX - c) * NY + r; break;
        default: k = (r - 1) * NX + c; break;
      }
      return k >= 1 && k <= size ? image[static_cast<std::size_t>(k - 1)] : 0;
    };
    long long c = 1;
    while (c <= NX) {
      const int value = cell(c);
      int run = 1;
      while (c + run <= NX && run < 32767 && cell(c + run) == value) ++run;
      word(row, run);
      row.push_back(static_cast<std::uint8_t>(value & 255));
      row.push_back(static_cast<std::uint8_t>((value >> 8) & 255));
      row.push_back(static_cast<std::uint8_t>((value >> 16) & 255));
      c += run;
    }
    if (row.size() % 2 != 0) row.push_back(0);
    parts.push_back(std::move(row));
  }
  yycgmpartitioned(out, 4, 9, parts);
}

void yycgmextent(int width, int height, int& w, int& h) {
  const long long W = static_cast<long long>(std::max(width, 0)) * 600 / 72;
  const long long H = static_cast<long long>(std::max(height, 0)) * 600 / 72;
  const long long m = std::max(W, H);
  if (m > 32767) {
    w = static_cast<int>(W * 32767 / m);
    h = static_cast<int>(H * 32767 / m);
  } else {
    w = static_cast<int>(W);
    h = static_cast<int>(H);
  }
}

void yycgmint16(CgmOut out, int cls, int id, int value) {
  CgmParams p;
  p.int16(value);
  yycgmelement(out, cls, id, p);
}

bool yycgmchanged(int& cached, int value) {
  if (cached == value) return false;
  cached = value;
  return true;
}

int yycgmlinetype() {
  static constexpr int kLineTypes[8] = {1, 3, 2, 4, 5, 10, 12, 13};
  return kLineTypes[std::clamp(tessar.graphics.attributes.LINETYPE, 0, 7)];
}

void yycgmworklist(CgmOut out, int id, CgmVdc vx, CgmVdc vy) {
  const auto& X = tessar.graphics.XWORK;
  const auto& Y = tessar.graphics.YWORK;
  const int n = std::clamp(tessar.graphics.operands.IOPER2, 0, static_cast<int>(std::min(X.size(), Y.size())));
  std::vector<int> xy;
  xy.reserve(2 * static_cast<std::size_t>(n));
  for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
    xy.push_back(vx(X[i]));
    xy.push_back(vy(Y[i]));
  }
  yycgmpoints(out, id, xy);
}

void yycgmsector(CgmOut out, int cx, int cy, long long segments, float halfturn, CgmVdc vx, CgmVdc vy) {
  const DeviceOperands& op = tessar.graphics.operands;
  const float step = segments > 0 ? halfturn / static_cast<float>(segments) : halfturn;
  std::vector<int> xy{cx, cy};
  auto angle = [&](float a) {
    xy.push_back(vx(op.RX1 + op.RX2 * std::cos(a)));
    xy.push_back(vy(op.RY1 + op.RY2 * std::sin(a)));
  };
  if (std::isfinite(op.RX3) && std::isfinite(op.RY3)) {
    // No more intermediate angles than a half turn of segments could need per turn.
    long long k = 0;
    for (float a = op.RX3; a <= op.RY3 && k < 4 * (segments + 1); a += step, ++k) angle(a);
  }
  angle(op.RY3);
  yycgmpoints(out, 7, xy);
}

void yycgmlabel(CgmOut out, int& alignment, float x, float y, int dw, int dh, CgmVdc vx, CgmVdc vy) {
  const DeviceOperands& op = tessar.graphics.operands;
  const TextState& ts = tessar.graphics.text;
  const bool percharacter = ts.SPACING == 1;
  const int align = percharacter ? 1 : std::clamp(ts.JUSTIFY, 0, 2) + 1;
  if (yycgmchanged(alignment, align)) {
    CgmParams p;
    p.int16(align).int16(5).real0().real0();
    yycgmelement(out, 5, 18, p);
  }
  if (!percharacter && ts.JUSTIFY == 1) {
    x += 0.5f * (op.RX3 - op.RX1);
    y += 0.5f * (op.RY3 - op.RY1);
  } else if (!percharacter && ts.JUSTIFY == 2) {
    x += op.RX3 - op.RX1;
    y += op.RY3 - op.RY1;
  }
  const std::string& operand = tessar.files.HCCURRENT;
  const int n = std::clamp(op.IX1, 0, static_cast<int>(operand.size()));
  const std::string_view s = std::string_view(operand).substr(0, static_cast<std::size_t>(n));
  if (percharacter)
    yycgmtext(out, false, 0, 0, vx(x), vy(y), s.substr(0, 1));
  else
    yycgmtext(out, true, dw, dh, vx(x), vy(y), s);
}

int yycgmimage(int& nx, int& ny, std::vector<int>& pixels) {
  DeviceOperands& op = tessar.graphics.operands;
  const int rot = tessar.graphics.area.PAGEROTATION;
  const bool cross = rot == 90 || rot == 270;
  nx = cross ? op.IY2 : op.IX2;
  ny = cross ? op.IX2 : op.IY2;
  // An image without cells, or of more than 2^28 of them, has nothing a cell array can hold.
  if (nx <= 0 || ny <= 0 || static_cast<long long>(nx) * ny > (1LL << 28) || nx > 32767 || ny > 32767) {
    op.IOPER1 = 0;
    return -1;
  }
  if (const int failure = yyhcloadimage(pixels, op.IX2, op.IY2); failure != 0) return failure;
  op.IOPER1 = 0;
  return 0;
}

void yycgmgradient(CgmOut out, CgmVdc vx, CgmVdc vy, int x1, int y1, int x2, int y2) {
  GraphicsRegion& g = tessar.graphics;
  GradientVertices& v = g.gradient;
  const int n = std::clamp(std::min({v.n, static_cast<int>(g.XWORK.size()), static_cast<int>(g.YWORK.size())}),
                           0, static_cast<int>(v.X.size()));
  v.n = n;
  for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
    v.X[i] = vx(g.XWORK[i]);
    v.Y[i] = vy(g.YWORK[i]);
  }
  yycgmgradientcorners(n);
  yygradientfill(2, x1, y1, x2, y2, nullptr, out == CgmOut::FILE ? yycgm9 : yygcgm9);
  yycgmgradientcorners(-1);
}
