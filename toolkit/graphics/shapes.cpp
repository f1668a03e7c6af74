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

int truncate(float v) { return static_cast<int>(v); }

struct Point { float x, y; };

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

// Horizontal line sets with the two-colour rule: set(ystart) draws one set from a base.
template <class Set>
void twocolourset(int side, int base, float sy, Set&& set) {
  int pass = 1;
  set(static_cast<float>(base));
  yy2col(side, pass);
  if (pass == 2) {
    set(static_cast<float>(base) + 0.5f * sy);
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
      int d = 1;
      auto line = [&](float lo, float hi, auto&& draw) {
        if (h.alternate != 0) d = 1 - d;
        const float end0 = lo + h.e, end1 = hi - h.e;
        if (d == 0)
          draw(end0, end1);
        else
          draw(end1, end0);
      };
      if ((plan.angle >= 1 && plan.angle <= 3) || plan.hatch == 2) {
        const int base = yygridbase(truncate(c[0].y), h.iy);
        twocolourset(side, base, h.sy, [&](float y) {
          for (;;) {
            y = std::max(y + h.sy, c[0].y);
            if (y > c[2].y) break;
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
            line(std::min(a, b), std::max(a, b),
                 [&](float u1, float u2) { yylini(u1, y, u2, y); });
          }
        });
      }
      if (plan.angle == 4 || plan.hatch == 2) {
        order3(c, true);
        float x = static_cast<float>(yygridbase(truncate(c[0].x), h.ix));
        for (;;) {
          x = std::max(x + h.sx, c[0].x);
          if (x > c[2].x) break;
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
          line(std::min(a, b), std::max(a, b), [&](float v1, float v2) { yylini(x, v1, x, v2); });
        }
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
void trapezium(float x1, float y1, float x2, float y2, float len1, float len2, int dir) {
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
  std::array<Point, 4> c{};
  if (dir == 1) {
    yye2i(x1, y1, c[0].x, c[0].y);
    yye2i(x2, y2 - len2, c[1].x, c[1].y);
    yye2i(x2, y2, c[2].x, c[2].y);
    yye2i(x1, y1 + len1, c[3].x, c[3].y);
  } else {
    yye2i(x1, y1, c[0].x, c[0].y);
    yye2i(x1 + len1, y1, c[1].x, c[1].y);
    yye2i(x2, y2, c[2].x, c[2].y);
    yye2i(x2 - len2, y2, c[3].x, c[3].y);
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
      if (slanted) {
        if (d1) {
          for (float y = static_cast<float>(yygridbase(truncate(c[0].y), h.iy)) + h.sy;
               y <= c[3].y; y += h.sy)
            yylini(c[0].x + h.e, y, c[1].x - h.e, y + c[2].y - c[3].y);
        } else {
          for (float x = static_cast<float>(yygridbase(truncate(c[0].x), h.ix)) + h.sx;
               x <= c[1].x; x += h.sx)
            yylini(x, c[0].y + h.e, x + c[2].x - c[1].x, c[3].y - h.e);
        }
      }
      if ((plan.angle == 3 || plan.hatch == 2) && !(d1 && slanted)) {
        const int base = yygridbase(truncate(ymin), h.iy);
        twocolourset(side, base, h.sy, [&](float y) {
          for (;;) {
            y = std::max(y + h.sy, ymin);
            if (y > ymax) break;
            if (!d1) {
              const float xa = yyxinr(c[0].x, c[0].y, c[3].x, c[3].y, y);
              const float xb = yyxinr(c[1].x, c[1].y, c[2].x, c[2].y, y);
              yylini(xa + h.e, y, xb - h.e, y);
              continue;
            }
            const float xa = yyxinr(c[0].x, c[0].y, c[1].x, c[1].y, y);
            const float xb = yyxinr(c[3].x, c[3].y, c[2].x, c[2].y, y);
            const bool ina = xmin <= xa && xa <= xmax, inb = xmin <= xb && xb <= xmax;
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
          }
        });
      }
      if ((plan.angle == 4 || plan.hatch == 2) && !(!d1 && slanted)) {
        float x = static_cast<float>(yygridbase(truncate(xmin), h.ix));
        for (;;) {
          x = std::max(x + h.sx, xmin);
          if (x > xmax) break;
          if (d1) {
            const float ya = yyyinr(c[0].x, c[0].y, c[1].x, c[1].y, x);
            const float yb = yyyinr(c[2].x, c[2].y, c[3].x, c[3].y, x);
            yylini(x, ya + h.e, x, yb - h.e);
            continue;
          }
          const float ya = yyyinr(c[0].x, c[0].y, c[3].x, c[3].y, x);
          const float yb = yyyinr(c[1].x, c[1].y, c[2].x, c[2].y, x);
          const bool ina = ymin <= ya && ya <= ymax, inb = ymin <= yb && yb <= ymax;
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
        }
      }
      return true;
    });
    yyfillend(plan);
  }
  setcurrentpoint(cx, cy);
}

}  // namespace

void IGrTriangle(float x1, float y1, float x2, float y2, float x3, float y3) {
  triangle(x1, y1, x2, y2, x3, y3);
}

void igrtrianglerel(float dx2, float dy2, float dx3, float dy3) {
  const GraphicsArea& ar = tessar.graphics.area;
  const float cx = ar.CURX, cy = ar.CURY;
  triangle(cx, cy, cx + dx2, cy + dy2, cx + dx3, cy + dy3);
}

void IGrRectangle(float x1, float y1, float x2, float y2) { rectangle(x1, y1, x2, y2); }

void igrrectanglerel(float dx, float dy) {
  const GraphicsArea& ar = tessar.graphics.area;
  const float cx = ar.CURX, cy = ar.CURY;
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
  DeviceOperands& op = g.operands;
  op.IX1 = std::max(ixlo, ar.IXMIN); op.IY1 = std::max(iylo, ar.IYMIN);
  op.IX2 = std::min(ixhi, ar.IXMAX); op.IY2 = std::min(iyhi, ar.IYMAX);
  op.RX1 = xlo; op.RY1 = ylo; op.RX2 = xhi; op.RY2 = yhi;
  const float w = static_cast<float>(ixhi - ixlo);
  const FillPlan plan = yyfillbegin(6);
  yyfillsides(plan, [&](int side) {
    if (at.FILLSTYLE <= 2 && at.OUTLINE != 0) yyrect(xlo, ylo, xhi, yhi);
    if (plan.hatch == 0) return true;
    const Hatch h = spacing(side);
    if (plan.angle == 1 || plan.angle == 2) {
      // The clipper cuts every diagonal at the rectangle.
      yysav(2);
      yywing(std::max(xlo, ar.XMIN) + h.e, std::max(ylo, ar.YMIN) + h.e,
             std::min(xhi, ar.XMAX) - h.e, std::min(yhi, ar.YMAX) - h.e);
      if (plan.angle == 1 || plan.hatch == 2) {
        for (float y = static_cast<float>(yygridbase(iylo - truncate(w), h.iy)) + h.sy; y <= yhi;
             y += h.sy)
          yylini(xlo, y, xhi, y + w);
      }
      if (plan.angle == 2 || plan.hatch == 2) {
        for (float y = static_cast<float>(yygridbase(iylo, h.iy)) + h.sy; y <= yhi + w;
             y += h.sy)
          yylini(xlo, y, xhi, y - w);
      }
      yysav(3);
      return true;
    }
    int d = 1;
    if (plan.angle == 3 || plan.hatch == 2) {
      const float end0 = xlo + h.e, end1 = xhi - h.e;
      twocolourset(side, yygridbase(iylo, h.iy), h.sy, [&](float y) {
        for (;;) {
          y = std::max(y + h.sy, ylo);
          if (y >= yhi) break;
          if (h.alternate != 0) d = 1 - d;
          if (d == 0)
            yylini(end0, y, end1, y);
          else
            yylini(end1, y, end0, y);
        }
      });
    }
    if (plan.angle == 4 || plan.hatch == 2) {
      const float end0 = ylo + h.e, end1 = yhi - h.e;
      float x = static_cast<float>(yygridbase(ixlo, h.ix));
      for (;;) {
        x = std::max(x + h.sx, xlo);
        if (x >= xhi) break;
        if (h.alternate != 0) d = 1 - d;
        if (d == 0)
          yylini(x, end0, x, end1);
        else
          yylini(x, end1, x, end0);
      }
    }
    return true;
  });
  yyfillend(plan);
}

void IGrTrapezium(float x1, float y1, float x2, float y2, float len1, float len2, int dir) {
  trapezium(x1, y1, x2, y2, len1, len2, dir);
}

void igrtrapeziumrel(float dx, float dy, float len1, float len2, int dir) {
  const GraphicsArea& ar = tessar.graphics.area;
  const float cx = ar.CURX, cy = ar.CURY;
  trapezium(cx, cy, cx + dx, cy + dy, len1, len2, dir);
}

void igrparallel(float x1, float y1, float x2, float y2, float len, int dir) {
  trapezium(x1, y1, x2, y2, len, len, dir);
}

void igrparallelrel(float dx, float dy, float len, int dir) {
  const GraphicsArea& ar = tessar.graphics.area;
  const float cx = ar.CURX, cy = ar.CURY;
  trapezium(cx, cy, cx + dx, cy + dy, len, len, dir);
}

void igrpolygonsimple(std::span<const float> x, std::span<const float> y, int n) {
  GraphicsAttributes& at = tessar.graphics.attributes;
  n = std::min({n, static_cast<int>(x.size()), static_cast<int>(y.size())});
  if (n <= 0) return;
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
