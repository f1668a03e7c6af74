// Polygon fill and hatching.
// Invariants: (1) a side drawn in software sees only its own switch on, so every segment
// sent through yylini reaches that side alone; (2) after a side is finished its fill flag is
// 0, unless the fill gave up on it; (3) the two-colour rule leaves the colours as they were
// before the shape once its second call has run.
#include "toolkit/graphics/fill.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/text/errors.h"
#include "toolkit/state/tessar.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/lines.h"

namespace {

constexpr float kNoCrossing = 2147480064.0f;
constexpr int kMaxActive = 100;


// The colours the two-colour rule put aside for the second call.
struct SavedColours {
  int index[2] = {0, 0}, rgb[2] = {0, 0}, device[2] = {0, 0};
} twocolour;

int& fillflag(int side) {
  GraphicsAttributes& at = tessar.graphics.attributes;
  return side == 1 ? at.SCREENFILL : at.HCFILL;
}

struct Edge { float slope, vmin, vmax, u; };

// In double: far from the origin a float has no halves.
double pixelcentre(float m) { return m >= 0 ? std::trunc(m) + 0.5 : std::trunc(m) - 0.5; }

// a b - c d to within a unit or two of its last place, products far beyond 2^53 included.
double differenceofproducts(double a, double b, double c, double d) {
  const double cd = c * d;
  return std::fma(a, b, -cd) + std::fma(-c, d, cd);
}

}  // namespace

float yyxinr(float x1, float y1, float x2, float y2, float y) {
  if (y1 <= y2 && y2 - y1 <= 0) return kNoCrossing;
  // In double: far edges overflow a float product, and a crossing far to the left must stay
  // on the left, or a span across the whole area would collapse to nothing.
  const double r = y1 <= y2 ? x1 + (static_cast<double>(y) - y1) * (static_cast<double>(x2) - x1) / (static_cast<double>(y2) - y1)
                            : x2 + (static_cast<double>(y) - y2) * (static_cast<double>(x2) - x1) / (static_cast<double>(y2) - y1);
  if (std::isnan(r)) return kNoCrossing;
  return static_cast<float>(std::clamp(r, -static_cast<double>(kNoCrossing), static_cast<double>(kNoCrossing)));
}

float yyyinr(float x1, float y1, float x2, float y2, float x) {
  return yyxinr(y1, x1, y2, x2, x);
}

int yygridbase(int a, int i) {
  if (i <= 0) return a;
  int b = a / i * i;
  if (b > a) b -= i;
  return b;
}

double yygridbase(double a, int i) {
  a = std::trunc(a);
  if (i <= 0 || !std::isfinite(a)) return a;
  return std::floor(a / i) * i;
}

int yydevint(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483520.0f) return 2147483520;
  if (v <= -2147483520.0f) return -2147483520;
  return static_cast<int>(v);
}

bool yyfarshape(std::span<const double> x, std::span<const double> y) {
  constexpr double kNear = 4194304.0;
  for (std::size_t i = 0; i < std::min(x.size(), y.size()); ++i)
    if (!(std::fabs(x[i]) < kNear && std::fabs(y[i]) < kNear)) return true;
  return false;
}

void yyclippolygon(std::vector<double>& x, std::vector<double>& y) {
  const GraphicsArea& ar = tessar.graphics.area;
  constexpr double kMargin = 8.0;
  const double box[4] = {ar.TXMIN - kMargin, ar.TXMAX + kMargin, ar.TYMIN - kMargin, ar.TYMAX + kMargin};
  for (int side = 0; side < 4; ++side) {
    const bool alongx = side < 2, upper = side % 2 == 1;
    const double edge = box[side];
    auto inside = [&](double px, double py) {
      const double v = alongx ? px : py;
      return upper ? v <= edge : v >= edge;
    };
    std::vector<double> ox, oy;
    const std::size_t n = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < n; ++i) {
      const std::size_t j = i + 1 < n ? i + 1 : 0;
      const bool a = inside(x[i], y[i]), b = inside(x[j], y[j]);
      if (a) {
        ox.push_back(x[i]);
        oy.push_back(y[i]);
      }
      if (a != b) {
        // From the edge's cross product, kept exact to its last bit: an edge between corners
        // 1e30 away crosses the box where x[i] + t (x[j] - x[i]) would only say to 1e17.
        auto across = [edge](double u0, double v0, double u1, double v1) {
          return (differenceofproducts(u1, v0, u0, v1) + edge * (v1 - v0)) / (u1 - u0);
        };
        ox.push_back(alongx ? edge : across(y[i], x[i], y[j], x[j]));
        oy.push_back(alongx ? across(x[i], y[i], x[j], y[j]) : edge);
      }
    }
    x.swap(ox);
    y.swap(oy);
  }
  if (x.size() < 3) {
    x.clear();
    y.clear();
  }
}

void yyfillclipped(std::vector<double> x, std::vector<double> y) {
  yyclippolygon(x, y);
  if (x.empty()) return;
  const std::vector<float> fx(x.begin(), x.end()), fy(y.begin(), y.end());
  yyplygon(fx, fy, static_cast<int>(fx.size()), 1);
}

long long yyscangrid(double first, double step, double last, bool strict, double lo, double hi,
                     const std::function<void(double v, long long k)>& line) {
  if (!(step > 0) || !std::isfinite(step) || !std::isfinite(first)) return 0;
  // A grid starting beyond 2^40 lines below the visible range: its count and first + k step
  // no longer hold in double, so the visible lines are found again from first's place
  // modulo two steps, which keeps both the positions and the parity of k.
  if ((lo - first) / step > 1099511627776.0) {
    const double two = 2 * step, base = std::fmod(first, two);
    auto drawn = [&](double v) { return strict ? v < last : v <= last; };
    long long m = static_cast<long long>(std::ceil((lo - base) / step)) - 1;
    while (base + static_cast<double>(m) * step < lo) ++m;
    for (double v = base + static_cast<double>(m) * step; v <= hi && drawn(v);
         v = base + static_cast<double>(++m) * step)
      line(v, m & 1);
    // The count of lines up to last, for its parity only.
    if (!(last >= first)) return 0;
    const double r = std::fmod(last - first, two);
    const bool odd = (r < step) != (strict && (r == 0 || r == step));
    return odd ? 1 : 2;
  }
  auto value = [&](long long k) { return static_cast<float>(first + static_cast<double>(k) * step); };
  auto within = [&](long long k) {
    const double v = value(k);
    return strict ? v < last : v <= last;
  };
  // Estimates in double, then a few exact steps: a shape larger than anything visible still
  // takes no more than its visible lines.
  constexpr double kFar = 1e15;
  auto index = [&](double v, bool up) {
    const double k = (v - first) / step;
    if (!(k < kFar)) return static_cast<long long>(kFar);
    if (!(k > -kFar)) return -static_cast<long long>(kFar);
    return static_cast<long long>(up ? std::ceil(k) : std::floor(k));
  };
  long long end = index(last, false);
  for (int i = 0; i < 64 && end >= 0 && !within(end); ++i) --end;
  for (int i = 0; i < 64 && within(end + 1); ++i) ++end;
  if (end < 0) return 0;
  long long k0 = std::max(0LL, index(lo, true));
  for (int i = 0; i < 64 && k0 > 0 && value(k0 - 1) >= lo; ++i) --k0;
  long long k1 = std::min(end, index(hi, false));
  for (int i = 0; i < 64 && k1 < end && value(k1 + 1) <= hi; ++i) ++k1;
  for (long long k = k0; k <= k1; ++k) {
    const float v = value(k);
    if (v < lo) continue;
    if (v > hi) break;
    line(first + static_cast<double>(k) * step, k);
  }
  return end + 1;
}

void yyscanrange(bool horizontal, double& lo, double& hi) {
  const GraphicsArea& ar = tessar.graphics.area;
  lo = horizontal ? ar.TYMIN : ar.TXMIN;
  hi = horizontal ? ar.TYMAX : ar.TXMAX;
}

void yystep(int side, int density, float& sx, float& sy, int& ix, int& iy, float& inset,
            int& alternate) {
  const GraphicsRegion& g = tessar.graphics;
  const GraphicsAttributes& at = g.attributes;
  const bool hatched = at.FILLSTYLE >= 0 && at.FILLSTYLE <= 2;
  inset = side == 1 && at.PLOTMODE != 0 ? 1.0f : 0.0f;
  alternate = side == 2 && hatched ? 1 : 0;
  const int d = std::clamp(density, 0, 5);
  const int ydiv = 10 * (d >= 1 ? 1 << (d - 1) : 0) + 20;
  const int xdiv = 10 * (1 << d) + 10;
  if (side == 1) {
    if (hatched) {
      iy = std::max(g.target.HEIGHT / ydiv, 2);
      ix = std::max(g.target.WIDTH / xdiv, 2);
      sy = static_cast<float>(iy);
      sx = static_cast<float>(ix);
    } else {
      iy = at.FILLSTYLE == 3 && at.SCREENFILL == 2 ? 2 : 1;
      sy = static_cast<float>(iy);
    }
    return;
  }
  auto integer = [](float s) { return s <= 1.0f ? 1 : yydevint(s); };
  if (hatched) {
    sy = g.area.REXTY / static_cast<float>(ydiv);
    sx = g.area.REXTX / static_cast<float>(xdiv);
    // A drawable without a size still gets lines one unit apart.
    if (!(sy > 0)) sy = 1.0f;
    if (!(sx > 0)) sx = 1.0f;
    iy = integer(sy);
    ix = integer(sx);
  } else {
    // A driver that asks for a software fill without a spacing gets one line per unit.
    sy = g.operands.HCSPACING > 0 ? g.operands.HCSPACING : 1.0f;
    iy = integer(sy);
  }
}

void yy2col(int side, int& pass) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  if (at.FILLSTYLE != 3 || fillflag(side) != 2) return;
  auto& c = at.COLOURS;
  if (pass == 1) {
    const int k = side == 1 ? at.DEVCLASS : g.operands.HCCOLOURS;
    if (k == 1) return;
    for (int s = 0; s < 2; ++s) {
      twocolour.index[s] = c[PAIRINDEX][s];
      twocolour.rgb[s] = c[PAIRRGB][s];
      twocolour.device[s] = c[PAIRDEVICE][s];
    }
    if (k == 2 && c[PAIRINDEX][CURRENT] != 0)
      yycon(0, 0, 0, side);
    else
      yycon(twocolour.index[PREVIOUS], twocolour.rgb[PREVIOUS], twocolour.device[PREVIOUS], side);
  } else {
    c[PAIRINDEX][CURRENT] = twocolour.index[PREVIOUS];
    c[PAIRRGB][CURRENT] = twocolour.rgb[PREVIOUS];
    c[PAIRDEVICE][CURRENT] = twocolour.device[PREVIOUS];
    yycon(twocolour.index[CURRENT], twocolour.rgb[CURRENT], twocolour.device[CURRENT], side);
  }
  ++pass;
}

FillPlan yyfillbegin(int base, int direction) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  FillPlan plan;
  plan.odd = base + 3;
  int code = base + at.FILLSTYLE;
  if (at.FILLSTYLE == 3 || at.FILLSTYLE == 4) {
    yyfact(base + 4, code);
    if (at.SCREENON > 0) yygdrv(code);
    if (at.SCREENFILL == 0 && at.HARDCOPYON == 0) {
      plan.done = true;
      return plan;
    }
    plan.hatch = 1;
    plan.angle = 3;
  } else {
    plan.hatch = at.FILLSTYLE;
    plan.angle = at.HATCHANGLE;
  }
  if (at.HARDCOPYON > 0) {
    g.operands.IOPER1 = direction;
    yyhdrv(plan.odd);
  }
  return plan;
}

void yyfillsides(const FillPlan& plan, const std::function<bool(int side)>& side) {
  GraphicsAttributes& at = tessar.graphics.attributes;
  if (plan.done) return;
  const int screen = at.SCREENON, hardcopy = at.HARDCOPYON;
  const bool hatched = at.FILLSTYLE >= 0 && at.FILLSTYLE <= 2;
  bool failed = false;
  if ((hatched || at.SCREENFILL != 0) && screen != 0) {
    at.HARDCOPYON = 0;
    failed = !side(1);
  }
  if (!failed) at.SCREENFILL = 0;
  if (!failed && (hatched || at.HCFILL != 0) && hardcopy != 0) {
    at.SCREENON = 0;
    at.HARDCOPYON = 1;
    failed = !side(2);
    at.SCREENON = screen;
    at.HARDCOPYON = hardcopy;
  }
  if (!failed) at.HCFILL = 0;
  at.SCREENON = screen;
  at.HARDCOPYON = hardcopy;
}

void yyfillend(const FillPlan& plan) {
  if (plan.done) return;
  tessar.graphics.operands.IOPER1 = -1;
  yyhdrv(plan.odd);
}

bool yyscanfill(std::span<const float> xw, std::span<const float> yw, int side, bool horizontal,
                double start, float step, const std::function<void(float s)>& perline,
                const char* routine) {
  const int n = static_cast<int>(std::min(xw.size(), yw.size()));
  if (n == 0) return true;
  std::span<const float> us = horizontal ? xw : yw;
  std::span<const float> vs = horizontal ? yw : xw;
  const auto [umin, umax] = std::minmax_element(us.begin(), us.begin() + n);
  const float vmax = *std::max_element(vs.begin(), vs.begin() + n);

  std::vector<Edge> edges;
  edges.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const int j = i + 1 < n ? i + 1 : 0;
    const float va = vs[i], vb = vs[j];
    if (va == vb) continue;
    Edge e;
    e.slope = (us[i] - us[j]) / (va - vb);
    e.vmin = std::min(va, vb);
    e.vmax = std::max(va, vb);
    e.u = va < vb ? us[i] : us[j];
    edges.push_back(e);
  }
  if (edges.empty()) {
    if (horizontal)
      yylini(*umin, yw[0], *umax, yw[0]);
    else
      yylini(xw[0], *umin, xw[0], *umax);
    return true;
  }
  // Equal lower ends may come in any order: only the crossings' sorted values are drawn.
  std::stable_sort(edges.begin(), edges.end(),
                   [](const Edge& a, const Edge& b) { return a.vmin < b.vmin; });

  const int k = static_cast<int>(edges.size());
  int first = 0, last = 0;
  std::vector<float> crossings;
  crossings.reserve(kMaxActive);
  // Only the scan lines that can reach the clip box are worked out.
  double lo = 0, hi = 0;
  yyscanrange(horizontal, lo, hi);
  bool complete = true;
  yyscangrid(start, step, vmax, false, lo, hi, [&](double exact, long long) {
    const auto s = static_cast<float>(exact);
    if (!complete) return;
    while (last < k - 1 && edges[static_cast<std::size_t>(last) + 1].vmin <= s) ++last;
    // Keep the edges still active, packed in order at the top of the range.
    int top = last;
    for (int i = last; i >= first; --i) {
      if (edges[static_cast<std::size_t>(i)].vmax > s) {
        edges[static_cast<std::size_t>(top)] = edges[static_cast<std::size_t>(i)];
        --top;
      }
    }
    first = top + 1;
    const int active = last - first + 1;
    if (active >= kMaxActive) {
      yyerror(49, routine);
      complete = false;
      return;
    }
    perline(s);
    crossings.clear();
    for (int i = first; i <= last; ++i) {
      const Edge& e = edges[static_cast<std::size_t>(i)];
      crossings.push_back(e.u + e.slope * (s - e.vmin));
    }
    const int c = static_cast<int>(crossings.size());
    if (c == 0 || c % 2 != 0) return;
    std::sort(crossings.begin(), crossings.end());
    auto draw = [&](float a, float b) {
      if (horizontal)
        yylini(a, s, b, s);
      else
        yylini(s, a, s, b);
    };
    for (int i = 0; i < c; i += 2) {
      const float a = crossings[static_cast<std::size_t>(i)];
      const float b = crossings[static_cast<std::size_t>(i) + 1];
      if (b < a) continue;
      if (horizontal && i + 2 < c) {
        const float na = crossings[static_cast<std::size_t>(i) + 2];
        const bool meet = side == 1 ? std::trunc(na) == std::trunc(b) : na == b;
        if (meet) {
          draw(a, crossings[static_cast<std::size_t>(i) + 3]);
          i += 2;
          continue;
        }
      }
      draw(a, b);
    }
  });
  return complete;
}

void IGrPolygonComplex(std::span<const float> x, std::span<const float> y, int n) {
  if (yyfinitepoints("IGrPolygonComplex", x, y, n)) yyplygon(x, y, n, 0);
}

void yyplygon(std::span<const float> x, std::span<const float> y, int n, int units) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  // A count beyond the arrays given fills only the points that exist.
  n = std::min({n, static_cast<int>(x.size()), static_cast<int>(y.size())});
  const float firstx = n > 0 ? x[0] : 0, firsty = n > 0 ? y[0] : 0;
  auto finish = [&] {
    if (units == 0 && n > 0) {
      g.area.CURX = firstx;
      g.area.CURY = firsty;
    }
  };
  if (n <= 1) {
    finish();
    return;
  }
  const int given = n;
  if (x[n - 1] == x[0] && y[n - 1] == y[0]) --n;

  std::vector<float> xw(static_cast<std::size_t>(n)), yw(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    if (units == 0)
      yye2i(x[i], y[i], xw[i], yw[i]);
    else {
      xw[i] = x[i];
      yw[i] = y[i];
    }
  }
  if (at.FILLSTYLE >= 3) {
    // Far corners: clipped in double first, from the user's values where they were given.
    std::vector<double> dx(static_cast<std::size_t>(n)), dy(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      if (units == 0)
        yye2id(x[i], y[i], dx[i], dy[i]);
      else {
        dx[i] = x[i];
        dy[i] = y[i];
      }
    }
    if (yyfarshape(dx, dy)) {
      yyclippolygon(dx, dy);
      if (dx.empty()) {
        n = given;
        finish();
        return;
      }
      n = static_cast<int>(dx.size());
      xw.assign(dx.begin(), dx.end());
      yw.assign(dy.begin(), dy.end());
    }
  }
  const auto [bx0, bx1] = std::minmax_element(xw.begin(), xw.end());
  const auto [by0, by1] = std::minmax_element(yw.begin(), yw.end());
  const float bxmin = *bx0, bxmax = *bx1, bymin = *by0, bymax = *by1;
  const GraphicsArea& ar = g.area;
  if (bxmin > ar.XMAX || bxmax < ar.XMIN || bymin > ar.YMAX || bymax < ar.YMIN) {
    n = given;
    finish();
    return;
  }
  g.XWORK = xw;
  g.YWORK = yw;
  DeviceOperands& op = g.operands;
  op.IOPER2 = n;
  op.IX1 = yydevint(xw[0]); op.IY1 = yydevint(yw[0]);
  op.IX2 = yydevint(bxmin); op.IY2 = yydevint(bymin);
  op.IX3 = yydevint(bxmax); op.IY3 = yydevint(bymax);

  const FillPlan plan = yyfillbegin(12);
  yyfillsides(plan, [&](int side) {
    if (at.FILLSTYLE <= 2 && at.OUTLINE != 0) {
      for (int i = 0; i < n; ++i) {
        const int j = i + 1 < n ? i + 1 : 0;
        yylini(xw[i], yw[i], xw[j], yw[j]);
      }
    }
    if (plan.hatch == 0) return true;
    float sx = 0, sy = 0, inset = 0;
    int ix = 0, iy = 0, alternate = 0;
    yystep(side, at.HATCHDENSITY, sx, sy, ix, iy, inset, alternate);
    bool horizontal = !(plan.hatch == 1 && plan.angle == 4);
    for (;;) {
      const float m = horizontal ? bymin : bxmin;
      double start = side == 1 ? pixelcentre(m) : m;
      const float step = horizontal ? sy : sx;
      int pass = 1;
      for (;;) {
        if (!yyscanfill(xw, yw, side, horizontal, start, step, [](float) {}, "YYPLYGON")) {
          // Sound colours even when the fill gives up halfway through the second pass.
          if (pass == 2) yy2col(side, pass);
          return false;
        }
        yy2col(side, pass);
        if (pass != 2) break;
        start += 0.5 * sy;
      }
      if (plan.hatch == 2 && horizontal) {
        horizontal = false;
        continue;
      }
      return true;
    }
  });
  yyfillend(plan);
  g.XWORK.clear();
  g.YWORK.clear();
  finish();
}
