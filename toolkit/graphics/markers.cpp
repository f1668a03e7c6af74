// toolkit/graphics/markers.cpp: the 40 marker symbols. Outline parts are clipped lines; the
// filled shapes are drawn solid whatever the fill style, which is put back afterwards.
#include "toolkit/graphics/markers.h"

#include <array>
#include <initializer_list>
#include <utility>

#include "toolkit/state/tessar.h"
#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/lines.h"

namespace {

using Pt = std::pair<float, float>;

// A chain a-b-c... as one igrjoin per link.
void chain(std::initializer_list<Pt> points) {
  const Pt* p = points.begin();
  for (std::size_t i = 1; i < points.size(); ++i) igrjoin(p[i - 1].first, p[i - 1].second, p[i].first, p[i].second);
}

void polygon(std::initializer_list<Pt> points) {
  std::array<float, 6> x{}, y{};
  std::size_t n = 0;
  for (const Pt& p : points) {
    x[n] = p.first;
    y[n] = p.second;
    ++n;
  }
  IGrPolygonComplex(std::span<const float>(x.data(), n), std::span<const float>(y.data(), n), static_cast<int>(n));
}

// Groups of outline parts: which markers draw the plus, cross, square and the two triangles.
bool in(int k, std::initializer_list<int> set) {
  for (int m : set)
    if (m == k) return true;
  return false;
}

}  // namespace

void igrmarker(float xc, float yc, int k) {
  if (!yyfinite("IGrMarker", {xc, yc})) return;
  GraphicsRegion& g = tessar.graphics;
  const GraphicsArea& a = g.area;
  if (k < 1 || k > 40) k = 1;
  const float hx = a.GXRANGE * 0.375f * g.text.CW, hy = a.GYRANGE * 0.338f * g.text.CH;
  const float xl = xc - hx, xr = xc + hx, yb = yc - hy, yt = yc + hy;
  float xl2 = xc - 0.5f * hx, xr2 = xc + 0.5f * hx;
  const float yb2 = yc - 0.5f * hy, yt2 = yc + 0.5f * hy;
  if (xr < a.GX1 || xl > a.GX2 || yt < a.GY1 || yb > a.GY2) return;

  if (in(k, {1, 6, 7, 8, 27, 28, 39, 40})) {
    igrjoin(xl, yc, xr, yc);
    igrjoin(xc, yb, xc, yt);
  }
  if (in(k, {2, 9, 27, 28, 29, 30})) {
    igrjoin(xl, yb, xr, yt);
    igrjoin(xl, yt, xr, yb);
  }
  if (in(k, {3, 6, 9, 28})) chain({{xl, yb}, {xr, yb}, {xr, yt}, {xl, yt}, {xl, yb}});
  if (in(k, {4, 7, 10})) chain({{xl, yb}, {xc, yt}, {xr, yb}, {xl, yb}});
  if (in(k, {5, 8, 10})) chain({{xl, yt}, {xc, yb}, {xr, yt}, {xl, yt}});

  int& style = g.attributes.FILLSTYLE;
  const int saved = style;
  style = 4;
  const float hl = xc - 0.6f * hx, hr = xc + 0.6f * hx;
  switch (k) {
    case 11:
      xl2 = xc - 0.25f * hx;
      igrjoin(xl, yb, xr2, yb);
      igrjoin(xr2, yb, xr, yb2);
      igrjoin(xl, yb, xl2, yt);
      igrjoin(xr2, yb, xl2, yt);
      igrjoin(xr, yb2, xl2, yt);
      break;
    case 12:
      igrjoin(xl, yb, xr2, yb);
      igrjoin(xr2, yb, xr2, yt2);
      igrjoin(xr2, yt2, xl, yt2);
      igrjoin(xl, yt2, xl, yb);
      igrjoin(xl, yt2, xl2, yt);
      igrjoin(xr2, yt2, xr, yt);
      igrjoin(xr2, yb, xr, yb2);
      igrjoin(xl2, yt, xr, yt);
      igrjoin(xr, yb2, xr, yt);
      break;
    case 13: IGrRectangle(xl, yb, xr, yt); break;
    case 14: igrcircle(xc, yc, hx); break;
    case 15: IGrTriangle(xl, yb, xr, yb, xc, yt); break;
    case 16: IGrTriangle(xl, yt, xr, yt, xc, yb); break;
    case 17: IGrTriangle(xl, yb, xl, yt, xr, yc); break;
    case 18: IGrTriangle(xr, yb, xr, yt, xl, yc); break;
    case 19:
      IGrTriangle(xl, yb, xr, yb, xc, yc);
      IGrTriangle(xl, yt, xr, yt, xc, yc);
      break;
    case 20:
      IGrTriangle(xl, yb, xl, yt, xc, yc);
      IGrTriangle(xr, yb, xr, yt, xc, yc);
      break;
    case 21: polygon({{xl, yc}, {xc, yt}, {xr, yc}, {xc, yb}}); break;
    case 22: polygon({{xl, yc}, {hl, yt}, {hr, yt}, {xr, yc}, {hr, yb}, {hl, yb}}); break;
    case 23: IGrTriangle(xl, yb, xr, yb, xr, yt); break;
    case 24: IGrTriangle(xl, yb, xl, yt, xr, yt); break;
    case 25: IGrTriangle(xr, yb, xl, yt, xl, yb); break;
    case 26: IGrTriangle(xr, yb, xl, yt, xr, yt); break;
    case 29:
      igrjoin(xl, yt, xr, yt);
      igrjoin(xl, yb, xr, yb);
      break;
    case 30:
      igrjoin(xl, yb, xl, yt);
      igrjoin(xr, yb, xr, yt);
      break;
    case 31: chain({{xl, yt}, {xr, yc}, {xl, yb}, {xl, yt}}); break;
    case 32: chain({{xr, yt}, {xl, yc}, {xr, yb}, {xr, yt}}); break;
    case 33:
    case 39: chain({{xc, yt}, {xr, yc}, {xc, yb}, {xl, yc}, {xc, yt}}); break;
    case 34:
    case 40: chain({{hl, yt}, {hr, yt}, {xr, yc}, {hr, yb}, {hl, yb}, {xl, yc}, {hl, yt}}); break;
    case 35: chain({{xl, yb}, {xr, yt}, {xr, yb}, {xl, yb}}); break;
    case 36: chain({{xl, yb}, {xr, yt}, {xl, yt}, {xl, yb}}); break;
    case 37: chain({{xl, yt}, {xr, yb}, {xl, yb}, {xl, yt}}); break;
    case 38: chain({{xl, yt}, {xr, yb}, {xr, yt}, {xl, yt}}); break;
    default: break;
  }
  style = saved;
}

void igrmarkerrel(int k) {
  const GraphicsArea& a = tessar.graphics.area;
  igrmarker(a.CURX, a.CURY, k);
}
