// toolkit/graphics/ellipses.cpp: ellipses, circles and arrows.
// Sections (grep "[SECTION]"): ellipses | arrows
#include "toolkit/graphics/ellipses.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "toolkit/text/errors.h"
#include "toolkit/state/tessar.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

struct Ellipse {
  float xc, yc, rx, ry;
  float xlo, xhi, ylo, yhi;
};

void limits(Ellipse& e) {
  const GraphicsArea& a = tessar.graphics.area;
  e.xlo = std::max(e.xc - e.rx, a.XMIN);
  e.xhi = std::min(e.xc + e.rx, a.XMAX);
  e.ylo = std::max(e.yc - e.ry, a.YMIN);
  e.yhi = std::min(e.yc + e.ry, a.YMAX);
}

void operands(const Ellipse& e, float ratio, float radius) {
  DeviceOperands& op = tessar.graphics.operands;
  op.IX1 = yydevint(e.xc);
  op.IY1 = yydevint(e.yc);
  op.IX2 = yydevint(e.rx);
  op.IY2 = yydevint(e.ry);
  op.IY3 = yydevint(e.ylo);
  op.IY4 = yydevint(e.yhi);
  op.RX1 = e.xc;
  op.RY1 = e.yc;
  op.RX2 = e.rx;
  op.RY2 = e.ry;
  op.RY3 = e.ylo;
  op.RY4 = e.yhi;
  op.RX3 = ratio;
  op.RX4 = radius;
}

// The outline as short segments, for a side that cannot draw ellipses.
void softoutline(const Ellipse& e) {
  const int width = tessar.graphics.target.WIDTH;
  if (width <= 0) return;
  // A far larger circle than the drawable still gets chords well under a unit from the
  // curve, without millions of them.
  const int n = static_cast<int>(std::min(75.0 * std::trunc(e.rx) / width, 200000.0)) + 25;
  const float step = kPi / static_cast<float>(n);
  for (float s : {-1.0f, 1.0f}) {
    float px = e.xc, py = e.yc + e.ry;
    for (int k = 1; static_cast<float>(k) * step <= 3.1416926f; ++k) {
      const float a = static_cast<float>(k) * step;
      const float qx = e.xc + s * e.rx * std::sin(a), qy = e.yc + e.ry * std::cos(a);
      yylini(px, py, qx, qy);
      px = qx;
      py = qy;
    }
  }
}

void hatch(const Ellipse& e, int side, int kind, int density, int angle, bool solid) {
  float sx = 0, sy = 0, inset = 0;
  int ix = 0, iy = 0, alternate = 0;
  yystep(side, density, sx, sy, ix, iy, inset, alternate);
  const bool screen = side == 1;
  float m = 1;
  if ((angle >= 1 && angle <= 3) || kind == 2) {
    if (iy > 0 && sy > 0 && e.ry > 0) {
      const float s0 = static_cast<float>((static_cast<int>(e.ylo) / iy) * iy);
      int pass = 1;
      auto across = [&](float y) {
        const float a = std::acos(std::clamp((y - e.yc) / e.ry, -1.0f, 1.0f));
        float w = std::fabs(e.rx * std::sin(a));
        if (screen) w = std::trunc(w);
        if (alternate != 0) m = -m;
        yylini(e.xc - (m * w - inset), y, e.xc + (m * w - inset), y);
      };
      for (float start : {s0, s0 + 0.5f * sy}) {
        float last = -1;
        for (int k = 1;; ++k) {
          const float y = start + static_cast<float>(k) * sy;
          if (y >= e.yhi) break;
          if (y < e.ylo) continue;
          across(y);
          last = y;
        }
        // A page's solid fill (lines a row apart) cut by the top of the area also inks the
        // area's last row, as a rectangle does: the lines, a little under a row apart, end
        // just below it.
        if (!screen && solid && e.yc + e.ry > e.yhi && last < e.yhi - sy / 2) across(e.yhi);
        // The two-colour rule may ask for a second set between the first.
        if (start != s0) break;
        yy2col(side, pass);
        if (pass != 2) break;
      }
    }
  }
  if (angle == 4 || kind == 2) {
    if (ix > 0 && sx > 0 && e.rx > 0) {
      const float s0 = static_cast<float>((static_cast<int>(e.xlo) / ix) * ix);
      for (int k = 1;; ++k) {
        const float x = s0 + static_cast<float>(k) * sx;
        if (x >= e.xhi) break;
        if (x < e.xlo) continue;
        const float a = std::asin(std::clamp((x - e.xc) / e.rx, -1.0f, 1.0f));
        float h = std::fabs(e.ry * std::cos(a));
        if (screen) h = std::trunc(h);
        if (alternate != 0) m = -m;
        yylini(x, e.yc - (m * h - inset), x, e.yc + (m * h - inset));
      }
    }
  }
}

// A filled ellipse far larger than the drawable, or far from it: its part near the clip box
// as a polygon worked out in double, one point a row on each side, and filled as a polygon,
// so no device request carries a radius or centre that its integers cannot hold.
void farellipse(float x, float y, float radius, float ratio, float aspect) {
  const GraphicsArea& a = tessar.graphics.area;
  double xc = 0, yc = 0;
  yye2id(x, y, xc, yc);
  const double t = static_cast<double>(radius) * ratio * a.RDEVH / a.REFXRANGE * aspect;
  const bool upright = a.PAGEROTATION % 180 == 0;
  const double rx = upright ? static_cast<double>(radius) * a.DEVW / a.GXRANGE : t;
  const double ry = upright ? t : static_cast<double>(radius) * a.DEVH / a.GXRANGE;
  if (!(rx > 0 && ry > 0)) return;
  const double lo = std::max(static_cast<double>(a.TYMIN) - 8.0, yc - ry);
  const double hi = std::min(static_cast<double>(a.TYMAX) + 8.0, yc + ry);
  if (!(lo <= hi)) return;
  const double xlo = a.TXMIN - 16.0, xhi = a.TXMAX + 16.0;
  std::vector<double> left, right, rows;
  for (double v = lo;; v = std::min(v + 1.0, hi)) {
    const double q = std::clamp((v - yc) / ry, -1.0, 1.0);
    const double w = rx * std::sqrt(std::max(0.0, 1.0 - q * q));
    rows.push_back(v);
    left.push_back(std::clamp(xc - w, xlo, xhi));
    right.push_back(std::clamp(xc + w, xlo, xhi));
    if (v >= hi) break;
  }
  std::vector<double> px(left), py(rows);
  for (std::size_t i = rows.size(); i-- > 0;) {
    px.push_back(right[i]);
    py.push_back(rows[i]);
  }
  yyfillclipped(std::move(px), std::move(py));
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Ellipses
// - igrellipse(), igrcircle(), yyelip()
//------------------------------------------------------------------------------
void igrellipse(float x, float y, float radius, float ratio) {
  if (yyfinite("IGrEllipse", {x, y, radius, ratio})) yyelip(x, y, radius, ratio);
}
void igrcircle(float x, float y, float radius) {
  if (yyfinite("IGrCircle", {x, y, radius})) yyelip(x, y, radius, 1.0f);
}

void yyelip(float x, float y, float radius, float ratio) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  GraphicsArea& a = g.area;
  DeviceOperands& op = g.operands;
  if (!(radius > 0) || !(ratio > 0) || !std::isfinite(radius) || !std::isfinite(ratio) || !std::isfinite(x) ||
      !std::isfinite(y)) {
    yyerror(20, "YYELIP");
    return;
  }
  auto done = [&] {
    a.CURX = x;
    a.CURY = y;
  };
  // A drawable without width or height (a minimised window) shows nothing.
  if (g.target.WIDTH <= 0 || g.target.HEIGHT <= 0 || a.GXRANGE == 0 || a.REFXRANGE == 0) {
    done();
    return;
  }
  Ellipse sc{}, hc{};
  yye2i(x, y, sc.xc, sc.yc);
  hc.xc = sc.xc;
  hc.yc = sc.yc;
  if (a.PAGEROTATION % 180 == 0) {
    sc.rx = hc.rx = radius * a.DEVW / a.GXRANGE;
    const float t = radius * ratio * a.RDEVH / a.REFXRANGE;
    sc.ry = t * a.ASPECT;
    hc.ry = t * op.HCASPECT;
  } else {
    const float t = radius * ratio * a.RDEVH / a.REFXRANGE;
    sc.rx = t * a.ASPECT;
    hc.rx = t * op.HCASPECT;
    sc.ry = hc.ry = radius * a.DEVH / a.GXRANGE;
  }
  if (sc.xc - sc.rx > a.XMAX || sc.xc + sc.rx < a.XMIN || sc.yc - sc.ry > a.YMAX || sc.yc + sc.ry < a.YMIN) {
    done();
    return;
  }
  if ((at.FILLSTYLE == 3 || at.FILLSTYLE == 4) &&
      yyfarshape(std::array<double, 2>{sc.xc, sc.rx}, std::array<double, 2>{sc.yc, sc.ry})) {
    farellipse(x, y, radius, ratio, at.SCREENON > 0 ? a.ASPECT : op.HCASPECT);
    done();
    return;
  }
  limits(sc);
  limits(hc);
  operands(sc, ratio, radius);

  const int style = at.FILLSTYLE;
  int kind = style, density = at.HATCHDENSITY, angle = at.HATCHANGLE;
  if (style == 3 || style == 4) {
    int request = 2 + style;
    yyfact(DELLIPSESOLID, request);
    if (at.SCREENON > 0) yygdrv(request);
    if (at.SCREENFILL == 0 && at.HARDCOPYON <= 0) {
      done();
      return;
    }
    kind = 1;
    angle = 3;
  }
  bool refused = false;
  if (at.HARDCOPYON > 0) {
    op.IOPER1 = 1;
    op.RX2 = hc.rx;
    op.RY2 = hc.ry;
    op.HCSPACING = 100.0f;
    yyhdrv(DELLIPSEFILL);
    refused = op.IOPER1 == -1;
  }
  const int screenon = at.SCREENON, hardcopyon = at.HARDCOPYON;
  for (int side = 1; side <= 2; ++side) {
    int& flag = side == 1 ? at.SCREENFILL : at.HCFILL;
    const bool on = side == 1 ? screenon > 0 : hardcopyon > 0;
    if (on && (style <= 2 || flag != 0)) {
      at.SCREENON = side == 1 ? screenon : 0;
      at.HARDCOPYON = side == 2 ? hardcopyon : 0;
      const Ellipse& e = side == 1 ? sc : hc;
      if (side == 1 && style <= 2 && at.OUTLINE != 0) {
        operands(sc, ratio, radius);
        yygdrv(DELLIPSE);
      }
      if (side == 2 && refused && at.OUTLINE != 0) softoutline(e);
      if (kind == 1 || kind == 2) hatch(e, side, kind, density, angle, style == 3 || style == 4);
    }
    flag = 0;
  }
  at.SCREENON = screenon;
  at.HARDCOPYON = hardcopyon;
  op.IOPER1 = -1;
  yyhdrv(DELLIPSEFILL);
  done();
}

//------------------------------------------------------------------------------
// [SECTION] Arrows
// - igrarrow(), igrarrowjoin()
//------------------------------------------------------------------------------
void igrarrow(float x, float y, float length, float angle, int type, std::optional<float> size) {
  if (!yyfinite("IGrArrow", {x, y, length, angle, size.value_or(0.0f)})) return;
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  GraphicsArea& a = g.area;
  if (length == 0 || a.REFXRANGE == 0) return;
  const float A = angle * 0.017453292f;
  const float b1 = kPi / 4 - A, b2 = kPi / 4 + A;
  const float c45 = std::cos(kPi / 4), s45 = std::sin(kPi / 4);
  const int screenon = at.SCREENON, hardcopyon = at.HARDCOPYON;
  for (int side = 1; side <= 2; ++side) {
    if ((side == 1 ? screenon : hardcopyon) <= 0) continue;
    at.SCREENON = side == 1 ? screenon : 0;
    at.HARDCOPYON = side == 2 ? hardcopyon : 0;
    const float F = side == 1 ? a.ASPECT : g.operands.HCASPECT;
    const float L = length, LY = F * L * a.REFYRANGE / a.REFXRANGE;
    const float k = size && LY != 0 ? *size * c45 / LY : 0.25f;
    const float hx = k * L, hy = k * LY;
    const float bx1 = x - hx * std::cos(b1), by1 = y + hy * std::sin(b1);
    const float bx2 = x - hx * std::cos(b2), by2 = y - hy * std::sin(b2);
    if (type != 2) {
      igrmoveto(x - L * std::cos(A), y - LY * std::sin(A));
      igrlineto(x, y);
      igrlineto(bx1, by1);
      igrmoveto(x, y);
      igrlineto(bx2, by2);
    } else {
      const float W = 0.5f * k * L * std::sin(A), Z = 0.5f * k * LY * std::cos(A);
      const float U = (1 - k * c45) * L * std::cos(A), V = (1 - k * s45) * LY * std::sin(A);
      std::array<float, 7> px{}, py{};
      px[0] = x;
      py[0] = y;
      px[1] = bx1;
      py[1] = by1;
      px[6] = bx2;
      py[6] = by2;
      px[2] = px[1] + W;
      py[2] = py[1] - Z;
      px[5] = px[6] - W;
      py[5] = py[6] + Z;
      px[3] = px[2] - U;
      py[3] = py[2] - V;
      px[4] = px[5] - U;
      py[4] = py[5] - V;
      IGrPolygonComplex(px, py, 7);
    }
  }
  at.SCREENON = screenon;
  at.HARDCOPYON = hardcopyon;
  a.CURX = x;
  a.CURY = y;
}

void igrarrowjoin(float x1, float y1, float x2, float y2, int type, std::optional<float> size) {
  if (!yyfinite("IGrArrowJoin", {x1, y1, x2, y2, size.value_or(0.0f)})) return;
  const GraphicsArea& a = tessar.graphics.area;
  if (x1 == x2 && y1 == y2) return;
  const float scale = a.REFXRANGE != 0 ? a.REFYRANGE * a.ASPECT / a.REFXRANGE : 0;
  if (scale == 0) return;
  const float dx = x2 - x1, dy = (y2 - y1) / scale;
  const float L = std::sqrt(dx * dx + dy * dy);
  igrarrow(x2, y2, L, 57.29578f * std::atan2(dy, dx), type, size);
}
