// Filled shapes: triangle, rectangle, trapezium and parallelogram, and the simple polygon.
// Unlike the polygon fill, each shape lays its hatch lines on multiples of the integer
// spacing, so the lines of neighbouring shapes meet without steps.
#include "toolkit/graphics/shapes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "toolkit/text/errors.h"
#include "toolkit/state/tessar.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/gradient.h"
#include "toolkit/graphics/lines.h"

namespace {

int truncate(float v) { return yydevint(v); }

// The grid base of a device real for spacing i, worked in double so far shapes keep the grid.
double gridof(float a, int i) { return yygridbase(static_cast<double>(a), i); }

struct Point { float x, y; };

// User to device as yye2i does it, from a double: the corner y2 - len2 of a trapezium far
// from the origin keeps the position a float sum would round away by whole device rows.
void e2idouble(double x, double y, float& X, float& Y) {
  double u = 0, v = 0;
  yye2id(x, y, u, v);
  X = static_cast<float>(u);
  Y = static_cast<float>(v);
}

// A shape the devices fill (styles 3 and 4) whose corners reach far: clipped in double and
// filled as a polygon, so no device request carries a coordinate it cannot hold. True when
// taken care of so.
bool farfilled(std::initializer_list<std::pair<double, double>> user) {
  if (tessar.graphics.attributes.FILLSTYLE < 3) return false;
  std::vector<double> x, y;
  for (const auto& [ux, uy] : user) {
    double X = 0, Y = 0;
    yye2id(ux, uy, X, Y);
    x.push_back(X);
    y.push_back(Y);
  }
  if (!yyfarshape(x, y)) return false;
  yyfillclipped(std::move(x), std::move(y));
  return true;
}

// A segment with an end beyond 2^22 units, where single precision no longer places a point
// within half a unit, is cut in double (from the exact ends a, b) to just outside the
// tolerance box first, so the clipper works near the box and the part inside stays where it
// belongs. Nearer segments go as they are (the single-precision ends f).
void farsegment(const std::array<float, 4>& f, const std::array<double, 4>& a) {
  constexpr float kNear = 4194304.0f;
  if (std::fabs(f[0]) < kNear && std::fabs(f[1]) < kNear && std::fabs(f[2]) < kNear &&
      std::fabs(f[3]) < kNear) {
    yylini(f[0], f[1], f[2], f[3]);
    return;
  }
  const GraphicsArea& ar = tessar.graphics.area;
  const double bx0 = ar.TXMIN - 2.0, bx1 = ar.TXMAX + 2.0, by0 = ar.TYMIN - 2.0, by1 = ar.TYMAX + 2.0;
  const double x1 = a[0], y1 = a[1], dx = a[2] - a[0], dy = a[3] - a[1];
  double t0 = 0, t1 = 1;
  auto edge = [&](double p, double q) {   // keeps the part where p t <= q
    if (p == 0) return q >= 0;
    const double t = q / p;
    if (p < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    return t0 <= t1;
  };
  if (!(edge(-dx, x1 - bx0) && edge(dx, bx1 - x1) && edge(-dy, y1 - by0) && edge(dy, by1 - y1)))
    return;
  yylini(static_cast<float>(x1 + t0 * dx), static_cast<float>(y1 + t0 * dy),
         static_cast<float>(x1 + t1 * dx), static_cast<float>(y1 + t1 * dy));
}

void setcurrentpoint(float x, float y) {
  tessar.graphics.area.CURX = x;
  tessar.graphics.area.CURY = y;
}

bool outsideclip(float xmin, float ymin, float xmax, float ymax) {
  const GraphicsArea& ar = tessar.graphics.area;
  return xmin > ar.XMAX || xmax < ar.XMIN || ymin > ar.YMAX || ymax < ar.YMIN;
}

// The hatch spacing of one side, with the shape's line geometry.
struct Hatch {
  float sx = 0, sy = 0, e = 0;
  int ix = 0, iy = 0, alternate = 0;
};

Hatch spacing(int side) {
  Hatch h;
  yystep(side, tessar.graphics.attributes.HATCHDENSITY, h.sx, h.sy, h.ix, h.iy, h.e, h.alternate);
  return h;
}

// The scan values s of a set of slanted lines that can reach the box: each line runs along
// from a0 to a1 (a0 <= a1) while its scan coordinate goes from s to s + rise; the box spans
// alo..ahi along and slo..shi across. An empty range (lo > hi) when the lines pass it by.
void slantrange(double a0, double a1, double rise, double alo, double ahi, double slo, double shi,
                double& lo, double& hi) {
  const double u0 = std::max(a0, alo), u1 = std::min(a1, ahi);
  lo = 1;
  hi = 0;
  if (!(u0 <= u1)) return;
  double d0 = std::min(0.0, rise), d1 = std::max(0.0, rise);
  if (a1 > a0) {
    d0 = (u0 - a0) / (a1 - a0) * rise;
    d1 = (u1 - a0) / (a1 - a0) * rise;
    if (d1 < d0) std::swap(d0, d1);
  }
  lo = slo - d1 - 2;
  hi = shi - d0 + 2;
}

// Horizontal line sets with the two-colour rule: set(ystart) draws one set from a base.
template <class Set>
void twocolourset(int side, double base, float sy, Set&& set) {
  int pass = 1;
  set(base);
  yy2col(side, pass);
  if (pass == 2) {
    set(base + 0.5 * sy);
    yy2col(side, pass);
  }
}

// Orders three points by one coordinate ascending; equal values keep their order.
void order3(std::array<Point, 3>& q, bool byx) {
  auto key = [byx](const Point& p) { return byx ? p.x : p.y; };
  if (key(q[1]) < key(q[0])) std::swap(q[0], q[1]);
  if (key(q[2]) < key(q[0])) std::swap(q[0], q[2]);
  if (key(q[2]) < key(q[1])) std::swap(q[1], q[2]);
}

void triangle(float x1, float y1, float x2, float y2, float x3, float y3) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  if ((x1 == x2 && x2 == x3) || (y1 == y2 && y2 == y3)) {
    if (at.OUTLINE != 0) yyerror(22, "IGrTriangle");
    return;
  }
  if (farfilled({{x1, y1}, {x2, y2}, {x3, y3}})) {
    setcurrentpoint(x1, y1);
    return;
  }
  std::array<Point, 3> q{};
  yye2i(x1, y1, q[0].x, q[0].y);
  yye2i(x2, y2, q[1].x, q[1].y);
  yye2i(x3, y3, q[2].x, q[2].y);
  order3(q, false);
  DeviceOperands& op = g.operands;
  op.IX1 = truncate(q[0].x); op.IY1 = truncate(q[0].y);
  op.IX2 = truncate(q[1].x); op.IY2 = truncate(q[1].y);
  op.IX3 = truncate(q[2].x); op.IY3 = truncate(q[2].y);
  op.RX1 = q[0].x; op.RY1 = q[0].y;
  op.RX2 = q[1].x; op.RY2 = q[1].y;
  op.RX3 = q[2].x; op.RY3 = q[2].y;
  const float minx = std::min({q[0].x, q[1].x, q[2].x});
  const float maxx = std::max({q[0].x, q[1].x, q[2].x});
  if (!outsideclip(minx, q[0].y, maxx, q[2].y)) {
    const FillPlan plan = yyfillbegin(8);
    yyfillsides(plan, [&](int side) {
      std::array<Point, 3> c = q;
      if (at.FILLSTYLE <= 2 && at.OUTLINE != 0) {
        yylini(c[0].x, c[0].y, c[1].x, c[1].y);
        yylini(c[1].x, c[1].y, c[2].x, c[2].y);
        yylini(c[2].x, c[2].y, c[0].x, c[0].y);
      }
      if (plan.hatch == 0) return true;
      const Hatch h = spacing(side);
      // Lines of this side before the current set: the alternation runs on through them all.
      long long before = 0;
      auto line = [&](long long k, float lo, float hi, auto&& draw) {
        const int d = h.alternate != 0 && (before + k) % 2 == 0 ? 0 : 1;
        const float end0 = lo + h.e, end1 = hi - h.e;
        if (d == 0)
          draw(end0, end1);
        else
          draw(end1, end0);
      };
      double lo = 0, hi = 0;
      if ((plan.angle >= 1 && plan.angle <= 3) || plan.hatch == 2) {
        yyscanrange(true, lo, hi);
        twocolourset(side, gridof(c[0].y, h.iy), h.sy, [&](double y0) {
          const double first = std::max(y0 + h.sy, static_cast<double>(c[0].y));
          before += yyscangrid(first, h.sy, c[2].y, false, lo, hi, [&](double yd, long long k) {
            const auto y = static_cast<float>(yd);
            float a, b;
            if (y == c[2].y && y == c[1].y) {
              a = c[1].x;
              b = c[2].x;
            } else if (y < c[1].y) {
              a = yyxinr(c[0].x, c[0].y, c[1].x, c[1].y, y);
              b = yyxinr(c[0].x, c[0].y, c[2].x, c[2].y, y);
            } else {
              a = yyxinr(c[0].x, c[0].y, c[2].x, c[2].y, y);
              b = yyxinr(c[1].x, c[1].y, c[2].x, c[2].y, y);
            }
            line(k, std::min(a, b), std::max(a, b),
                 [&](float u1, float u2) { yylini(u1, y, u2, y); });
          });
        });
      }
      if (plan.angle == 4 || plan.hatch == 2) {
        order3(c, true);
        yyscanrange(false, lo, hi);
        const double first = std::max(gridof(c[0].x, h.ix) + h.sx, static_cast<double>(c[0].x));
        yyscangrid(first, h.sx, c[2].x, false, lo, hi, [&](double xd, long long k) {
          const auto x = static_cast<float>(xd);
          float a, b;
          if (x == c[2].x && x == c[1].x) {
            a = c[1].y;
            b = c[2].y;
          } else if (x < c[1].x) {
            a = yyyinr(c[0].x, c[0].y, c[1].x, c[1].y, x);
            b = yyyinr(c[0].x, c[0].y, c[2].x, c[2].y, x);
          } else {
            a = yyyinr(c[0].x, c[0].y, c[2].x, c[2].y, x);
            b = yyyinr(c[1].x, c[1].y, c[2].x, c[2].y, x);
          }
          line(k, std::min(a, b), std::max(a, b), [&](float v1, float v2) { yylini(x, v1, x, v2); });
        });
      }
      return true;
    });
    yyfillend(plan);
  }
  setcurrentpoint(x1, y1);
}

void rectangle(float x1, float y1, float x2, float y2) {
  if (x1 == x2 || y1 == y2) {
    yyerror(22, "IGrRectangle");
    return;
  }
  float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  yye2i(x1, y1, X1, Y1);
  yye2i(x2, y2, X2, Y2);
  yyrecti(X1, Y1, X2, Y2);
  setcurrentpoint(x1, y1);
}

// Corners of a trapezium, converted; false when the arguments are refused.
void trapezium(float x1, float y1, float x2, float y2, double len1, double len2, int dir) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  const float cx = x1, cy = y1;
  if ((dir == 1 && x2 < x1) || (dir == 2 && y2 < y1)) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  if (len1 <= 0 || len2 <= 0) {
    yyerror(21, "IGrTrapezium");
    return;
  }
  if ((dir == 2 && y1 == y2) || (dir == 1 && x1 == x2)) {
    yyerror(22, "IGrTrapezium");
    return;
  }
  const bool farshape = dir == 1 ? farfilled({{x1, y1}, {x2, y2 - len2}, {x2, y2}, {x1, y1 + len1}})
                                  : farfilled({{x1, y1}, {x1 + len1, y1}, {x2, y2}, {x2 - len2, y2}});
  if (farshape) {
    setcurrentpoint(cx, cy);
    return;
  }
  std::array<Point, 4> c{};
  if (dir == 1) {
    yye2i(x1, y1, c[0].x, c[0].y);
    e2idouble(x2, static_cast<double>(y2) - len2, c[1].x, c[1].y);
    yye2i(x2, y2, c[2].x, c[2].y);
    e2idouble(x1, static_cast<double>(y1) + len1, c[3].x, c[3].y);
  } else {
    yye2i(x1, y1, c[0].x, c[0].y);
    e2idouble(static_cast<double>(x1) + len1, y1, c[1].x, c[1].y);
    yye2i(x2, y2, c[2].x, c[2].y);
    e2idouble(static_cast<double>(x2) - len2, y2, c[3].x, c[3].y);
  }
  DeviceOperands& op = g.operands;
  op.IX1 = truncate(c[0].x); op.IY1 = truncate(c[0].y);
  op.IX2 = truncate(c[1].x); op.IY2 = truncate(c[1].y);
  op.IX3 = truncate(c[2].x); op.IY3 = truncate(c[2].y);
  op.IX4 = truncate(c[3].x); op.IY4 = truncate(c[3].y);
  op.RX1 = c[0].x; op.RY1 = c[0].y; op.RX2 = c[1].x; op.RY2 = c[1].y;
  op.RX3 = c[2].x; op.RY3 = c[2].y; op.RX4 = c[3].x; op.RY4 = c[3].y;
  const float xmin = std::min(c[0].x, c[3].x), xmax = std::max(c[1].x, c[2].x);
  const float ymin = std::min(c[0].y, c[1].y), ymax = std::max(c[2].y, c[3].y);
  const bool d1 = dir == 1;
  if (!outsideclip(xmin, ymin, xmax, ymax)) {
    op.IOPER1 = dir;
    FillPlan plan = yyfillbegin(4, dir);
    if (len1 != len2 && (plan.angle == 1 || plan.angle == 2)) plan.angle = 3;
    yyfillsides(plan, [&](int side) {
      if (at.FILLSTYLE <= 2 && at.OUTLINE != 0) {
        for (int i = 0; i < 4; ++i) {
          const Point& a = c[static_cast<std::size_t>(i)];
          const Point& b = c[static_cast<std::size_t>((i + 1) % 4)];
          yylini(a.x, a.y, b.x, b.y);
        }
      }
      if (plan.hatch == 0) return true;
      const Hatch h = spacing(side);
      const bool slanted = plan.angle == 1 || plan.angle == 2;
      double lo = 0, hi = 0;
      if (slanted) {
        // A slanted line reaches the box when some part of its rise does.
        const GraphicsArea& ar = tessar.graphics.area;
        if (d1) {
          const float x0 = c[0].x + h.e, x1 = c[1].x - h.e;
          slantrange(std::min(x0, x1), std::max(x0, x1), x1 >= x0 ? c[2].y - c[3].y : c[3].y - c[2].y,
                     ar.TXMIN, ar.TXMAX, ar.TYMIN, ar.TYMAX, lo, hi);
          // Measured from the lower end of x, the rise starts from the line's other end.
          if (x1 < x0) {
            lo -= c[2].y - c[3].y;
            hi -= c[2].y - c[3].y;
          }
          yyscangrid(gridof(c[0].y, h.iy) + h.sy, h.sy, c[3].y, false, lo, hi,
                     [&](double yd, long long) {
                       const auto y = static_cast<float>(yd);
                       const double xa = c[0].x + h.e, xb = c[1].x - h.e;
                       farsegment({c[0].x + h.e, y, c[1].x - h.e, y + c[2].y - c[3].y},
                                  {xa, yd, xb, yd + (static_cast<double>(c[2].y) - c[3].y)});
                     });
        } else {
          const float y0 = c[0].y + h.e, y1 = c[3].y - h.e;
          slantrange(std::min(y0, y1), std::max(y0, y1), y1 >= y0 ? c[2].x - c[1].x : c[1].x - c[2].x,
                     ar.TYMIN, ar.TYMAX, ar.TXMIN, ar.TXMAX, lo, hi);
          if (y1 < y0) {
            lo -= c[2].x - c[1].x;
            hi -= c[2].x - c[1].x;
          }
          yyscangrid(gridof(c[0].x, h.ix) + h.sx, h.sx, c[1].x, false, lo, hi,
                     [&](double xd, long long) {
                       const auto x = static_cast<float>(xd);
                       const double ya = c[0].y + h.e, yb = c[3].y - h.e;
                       farsegment({x, c[0].y + h.e, x + c[2].x - c[1].x, c[3].y - h.e},
                                  {xd, ya, xd + (static_cast<double>(c[2].x) - c[1].x), yb});
                     });
        }
      }
      if ((plan.angle == 3 || plan.hatch == 2) && !(d1 && slanted)) {
        yyscanrange(true, lo, hi);
        twocolourset(side, gridof(ymin, h.iy), h.sy, [&](double y0) {
          const double first = std::max(y0 + h.sy, static_cast<double>(ymin));
          yyscangrid(first, h.sy, ymax, false, lo, hi, [&](double yd, long long) {
            const auto y = static_cast<float>(yd);
            if (!d1) {
              const float xa = yyxinr(c[0].x, c[0].y, c[3].x, c[3].y, y);
              const float xb = yyxinr(c[1].x, c[1].y, c[2].x, c[2].y, y);
              yylini(xa + h.e, y, xb - h.e, y);
              return;
            }
            const float xa = yyxinr(c[0].x, c[0].y, c[1].x, c[1].y, y);
            const float xb = yyxinr(c[3].x, c[3].y, c[2].x, c[2].y, y);
            // A level edge has no crossing: its sentinel value must not pass for one inside a
            // shape wider than the sentinel.
            const bool ina = c[0].y != c[1].y && xmin <= xa && xa <= xmax;
            const bool inb = c[3].y != c[2].y && xmin <= xb && xb <= xmax;
            float s = xmin, t = xmax;
            if (ina && inb) {
              s = std::min(xa, xb);
              t = std::max(xa, xb);
            } else if (ina) {
              if (c[0].y > c[1].y) s = xa; else t = xa;
            } else if (inb) {
              if (c[3].y >= c[2].y) t = xb; else s = xb;
            }
            yylini(s + h.e, y, t - h.e, y);
          });
        });
      }
      if ((plan.angle == 4 || plan.hatch == 2) && !(!d1 && slanted)) {
        yyscanrange(false, lo, hi);
        const double first = std::max(gridof(xmin, h.ix) + h.sx, static_cast<double>(xmin));
        yyscangrid(first, h.sx, xmax, false, lo, hi, [&](double xd, long long) {
          const auto x = static_cast<float>(xd);
          if (d1) {
            const float ya = yyyinr(c[0].x, c[0].y, c[1].x, c[1].y, x);
            const float yb = yyyinr(c[2].x, c[2].y, c[3].x, c[3].y, x);
            yylini(x, ya + h.e, x, yb - h.e);
            return;
          }
          const float ya = yyyinr(c[0].x, c[0].y, c[3].x, c[3].y, x);
          const float yb = yyyinr(c[1].x, c[1].y, c[2].x, c[2].y, x);
          const bool ina = c[0].x != c[3].x && ymin <= ya && ya <= ymax;
          const bool inb = c[1].x != c[2].x && ymin <= yb && yb <= ymax;
          float s = ymin, t = ymax;
          if (ina && inb) {
            s = std::min(ya, yb);
            t = std::max(ya, yb);
          } else if (ina) {
            if (c[0].x <= c[3].x) t = ya; else s = ya;
          } else if (inb) {
            if (c[1].x >= c[2].x) t = yb; else s = yb;
          }
          yylini(x, s + h.e, x, t - h.e);
        });
      }
      return true;
    });
    yyfillend(plan);
  }
  setcurrentpoint(cx, cy);
}

}  // namespace

void IGrTriangle(float x1, float y1, float x2, float y2, float x3, float y3) {
  if (!yyfinite("IGrTriangle", {x1, y1, x2, y2, x3, y3})) return;
  triangle(x1, y1, x2, y2, x3, y3);
}

void igrtrianglerel(float dx2, float dy2, float dx3, float dy3) {
  const GraphicsArea& ar = tessar.graphics.area;
  const float cx = ar.CURX, cy = ar.CURY;
  if (!yyfinite("IGrTriangleRel", {dx2, dy2, dx3, dy3, cx + dx2, cy + dy2, cx + dx3, cy + dy3})) return;
  triangle(cx, cy, cx + dx2, cy + dy2, cx + dx3, cy + dy3);
}

void IGrRectangle(float x1, float y1, float x2, float y2) {
  if (yyfinite("IGrRectangle", {x1, y1, x2, y2})) rectangle(x1, y1, x2, y2);
}

void igrrectanglerel(float dx, float dy) {
  const GraphicsArea& ar = tessar.graphics.area;
  const float cx = ar.CURX, cy = ar.CURY;
  if (!yyfinite("IGrRectangleRel", {dx, dy, cx + dx, cy + dy})) return;
  rectangle(cx, cy, cx + dx, cy + dy);
}

void yyrecti(float X1, float Y1, float X2, float Y2) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  const GraphicsArea& ar = g.area;
  const float xlo = std::min(X1, X2), xhi = std::max(X1, X2);
  const float ylo = std::min(Y1, Y2), yhi = std::max(Y1, Y2);
  const int ixlo = truncate(xlo), ixhi = truncate(xhi), iylo = truncate(ylo), iyhi = truncate(yhi);
  if (ixlo > ar.IXMAX || ixhi < ar.IXMIN || iylo > ar.IYMAX || iyhi < ar.IYMIN) return;
  if (at.FILLSTYLE >= 3) {
    std::vector<double> x = {xlo, xhi, xhi, xlo}, y = {ylo, ylo, yhi, yhi};
    if (yyfarshape(x, y)) {
      yyfillclipped(std::move(x), std::move(y));
      return;
    }
  }
  DeviceOperands& op = g.operands;
  op.IX1 = std::max(ixlo, ar.IXMIN); op.IY1 = std::max(iylo, ar.IYMIN);
  op.IX2 = std::min(ixhi, ar.IXMAX); op.IY2 = std::min(iyhi, ar.IYMAX);
  op.RX1 = xlo; op.RY1 = ylo; op.RX2 = xhi; op.RY2 = yhi;
  // The integer width, in double: the truncations of a far rectangle do not fit an int.
  const double wide = std::trunc(static_cast<double>(xhi)) - std::trunc(static_cast<double>(xlo));
  const float w = static_cast<float>(wide);
  const FillPlan plan = yyfillbegin(6);
  yyfillsides(plan, [&](int side) {
    if (at.FILLSTYLE <= 2 && at.OUTLINE != 0) yyrect(xlo, ylo, xhi, yhi);
    if (plan.hatch == 0) return true;
    const Hatch h = spacing(side);
    const double bottom = std::trunc(static_cast<double>(ylo));
    if (plan.angle == 1 || plan.angle == 2) {
      // The clipper cuts every diagonal at the rectangle.
      yysav(2);
      yywing(std::max(xlo, ar.XMIN) + h.e, std::max(ylo, ar.YMIN) + h.e,
             std::min(xhi, ar.XMAX) - h.e, std::min(yhi, ar.YMAX) - h.e);
      double lo = 0, hi = 0;
      if (plan.angle == 1 || plan.hatch == 2) {
        slantrange(xlo, xhi, w, ar.TXMIN, ar.TXMAX, ar.TYMIN, ar.TYMAX, lo, hi);
        yyscangrid(yygridbase(bottom - wide, h.iy) + h.sy, h.sy, yhi, false, lo, hi,
                   [&](double yd, long long) {
                     const auto y = static_cast<float>(yd);
                     farsegment({xlo, y, xhi, y + w}, {xlo, yd, xhi, yd + wide});
                   });
      }
      if (plan.angle == 2 || plan.hatch == 2) {
        slantrange(xlo, xhi, -w, ar.TXMIN, ar.TXMAX, ar.TYMIN, ar.TYMAX, lo, hi);
        yyscangrid(yygridbase(bottom, h.iy) + h.sy, h.sy, yhi + w, false, lo, hi,
                   [&](double yd, long long) {
                     const auto y = static_cast<float>(yd);
                     farsegment({xlo, y, xhi, y - w}, {xlo, yd, xhi, yd - wide});
                   });
      }
      yysav(3);
      return true;
    }
    // Lines of this side drawn so far: the alternation runs on from one set to the next.
    long long before = 0;
    auto forward = [&](long long k) { return h.alternate != 0 && (before + k) % 2 == 0; };
    double lo = 0, hi = 0;
    if (plan.angle == 3 || plan.hatch == 2) {
      const float end0 = xlo + h.e, end1 = xhi - h.e;
      yyscanrange(true, lo, hi);
      twocolourset(side, yygridbase(bottom, h.iy), h.sy, [&](double y0) {
        const double first = std::max(y0 + h.sy, static_cast<double>(ylo));
        before += yyscangrid(first, h.sy, yhi, true, lo, hi, [&](double yd, long long k) {
            const auto y = static_cast<float>(yd);
          if (forward(k))
            yylini(end0, y, end1, y);
          else
            yylini(end1, y, end0, y);
        });
      });
    }
    if (plan.angle == 4 || plan.hatch == 2) {
      const float end0 = ylo + h.e, end1 = yhi - h.e;
      yyscanrange(false, lo, hi);
      const double first = std::max(gridof(xlo, h.ix) + h.sx, static_cast<double>(xlo));
      yyscangrid(first, h.sx, xhi, true, lo, hi, [&](double xd, long long k) {
          const auto x = static_cast<float>(xd);
        if (forward(k))
          yylini(x, end0, x, end1);
        else
          yylini(x, end1, x, end0);
      });
    }
    return true;
  });
  yyfillend(plan);
}

void IGrTrapezium(float x1, float y1, float x2, float y2, float len1, float len2, int dir) {
  if (!yyfinite("IGrTrapezium", {x1, y1, x2, y2, len1, len2})) return;
  trapezium(x1, y1, x2, y2, len1, len2, dir);
}

void yytrapeziumd(float x1, float y1, float x2, float y2, double len1, double len2, int dir) {
  trapezium(x1, y1, x2, y2, len1, len2, dir);
}

void igrtrapeziumrel(float dx, float dy, float len1, float len2, int dir) {
  const GraphicsArea& ar = tessar.graphics.area;
  const float cx = ar.CURX, cy = ar.CURY;
  if (!yyfinite("IGrTrapeziumRel", {dx, dy, len1, len2, cx + dx, cy + dy})) return;
  trapezium(cx, cy, cx + dx, cy + dy, len1, len2, dir);
}

void igrparallel(float x1, float y1, float x2, float y2, float len, int dir) {
  if (!yyfinite("IGrParallel", {x1, y1, x2, y2, len})) return;
  trapezium(x1, y1, x2, y2, len, len, dir);
}

void igrparallelrel(float dx, float dy, float len, int dir) {
  const GraphicsArea& ar = tessar.graphics.area;
  const float cx = ar.CURX, cy = ar.CURY;
  if (!yyfinite("IGrParallelRel", {dx, dy, len, cx + dx, cy + dy})) return;
  trapezium(cx, cy, cx + dx, cy + dy, len, len, dir);
}

void igrpolygonsimple(std::span<const float> x, std::span<const float> y, int n) {
  GraphicsAttributes& at = tessar.graphics.attributes;
  n = std::min({n, static_cast<int>(x.size()), static_cast<int>(y.size())});
  if (n <= 0 || !yyfinitepoints("IGrPolygonSimple", x, y, n)) return;
  const float x1 = x[0], y1 = y[0];
  if (n > 2) {
    bool drawn = true;
    if (at.FILLSTYLE >= 1 && at.FILLSTYLE <= 4) {
      std::vector<std::array<int, 3>> ivertn(static_cast<std::size_t>(n - 2));
      int ntri = 0;
      yypolygondecompose(x, y, n, ivertn, ntri);
      const int outline = at.OUTLINE;
      at.OUTLINE = 0;
      for (int k = 0; k < ntri; ++k) {
        const auto& t = ivertn[static_cast<std::size_t>(k)];
        IGrTriangle(x[t[0]], y[t[0]], x[t[1]], y[t[1]], x[t[2]], y[t[2]]);
      }
      at.OUTLINE = outline;
      drawn = ntri > 0;
    }
    if (drawn && at.OUTLINE != 0 && at.FILLSTYLE <= 2) {
      igrmoveto(x[0], y[0]);
      for (int i = 1; i < n; ++i) igrlineto(x[i], y[i]);
      if (!(x[n - 1] == x[0] && y[n - 1] == y[0])) igrlineto(x[0], y[0]);
    }
  }
  setcurrentpoint(x1, y1);
}
