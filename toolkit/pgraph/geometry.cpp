// Polar and 3-D geometry. All quantities are single precision.
#include "toolkit/pgraph/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "toolkit/pgraph/mapping.h"
#include "toolkit/state/tessar.h"

namespace {

constexpr float kDegree = static_cast<float>(std::numbers::pi / 180);

// Graphics Y units covering the device length of one graphics X unit.
float aspectfactor() {
  const GraphicsRegion& g = tessar.graphics;
  const float k = polaraspect();
  return k * (g.area.GYRANGE / g.area.GXRANGE) * (g.area.AREAW / g.area.AREAH);
}

}  // namespace

void yypol(float& cx, float& cy, float& r, float& ry) {
  PlotDefinition& pd = tessar.pgraph.plot;
  const int xlog = pd.XLOG, ylog = pd.YLOG;
  pd.XLOG = 0;
  pd.YLOG = 0;
  const float a = aspectfactor();
  float gx1 = 0, gy1 = 0, gx2 = 0, gy2 = 0;
  ipgunitstogrunits(pd.PGXMIN, pd.PGYMIN, gx1, gy1);
  ipgunitstogrunits(pd.PGXMAX, pd.PGYMAX, gx2, gy2);
  const float w = gx2 - gx1;
  const float h = (gy2 - gy1) / a;
  r = h >= w ? w / 2 : h / 2;
  ry = a * r;
  ipgunitstogrunits((pd.PGXMIN + pd.PGXMAX) / 2, (pd.PGYMIN + pd.PGYMAX) / 2, cx, cy);
  pd.XLOG = xlog;
  pd.YLOG = ylog;
}

void ipgunitstogrunitsp(float angle, float radius, float& gx, float& gy) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  const float a = aspectfactor();
  float cx = 0, cy = 0, r = 0, ry = 0;
  yypol(cx, cy, r, ry);
  const float theta = angle * kDegree;
  const float rho = pd.YLOG ? (yylog1(radius) + 38) / pd.LOGRRANGE : radius / pd.PGRMAX;
  gx = cx + rho * r * std::cos(theta);
  gy = cy + rho * r * a * std::sin(theta);
}

void yy3dxy(float& dxi, float& dxj, float& dyj, float& dyi, float& dyz, float& x0, float& y0) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  constexpr float k = 1.4142f;
  const float h = pd.PGYRANGE / 2;
  const float ni = pd.RNSTEPS1, nj = pd.RNSTEPS2;
  const float e = pd.ELEVATION, d = pd.DEPTHRATIO;
  const float c1 = pd.ROTCOS1, c2 = pd.ROTCOS2;
  dyz = h / pd.PGZRANGE;
  dxi = k * c1 * d * pd.PGXRANGE / ni;
  dxj = k * c2 * (1 - d) * pd.PGXRANGE / nj;
  dyj = k * c1 * e * h / nj;
  dyi = k * c2 * e * h / ni;

  const float xs[4] = {0, ni * dxi, nj * dxj, ni * dxi + nj * dxj};
  const float spread = *std::max_element(xs, xs + 4) - *std::min_element(xs, xs + 4);
  if (spread > pd.PGXRANGE) {
    const float f = pd.PGXRANGE / spread;
    dxi *= f;
    dxj *= f;
    dyj *= f;
    dyi *= f;
  }
  x0 = pd.PGXMIN + (pd.PGXRANGE - ni * dxi - nj * dxj) / 2;

  const float ys[4] = {0, ni * dyi, -nj * dyj, ni * dyi - nj * dyj};
  const float lo = *std::min_element(ys, ys + 4), hi = *std::max_element(ys, ys + 4);
  const float t = h + (hi - lo);
  y0 = pd.PGYRANGE <= t ? pd.PGYMIN - lo : pd.PGYMIN - lo + (pd.PGYRANGE - t) / 2;
}

void yycorn(std::span<float, 4> gx, std::span<float, 4> gy, int& ileft, float& yleft) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  float dxi = 0, dxj = 0, dyj = 0, dyi = 0, dyz = 0, x0 = 0, y0 = 0;
  yy3dxy(dxi, dxj, dyj, dyi, dyz, x0, y0);
  const float ni = pd.RNSTEPS1, nj = pd.RNSTEPS2;
  const float px[4] = {x0, x0 + ni * dxi, x0 + ni * dxi + nj * dxj, x0 + nj * dxj};
  const float py[4] = {y0, y0 + ni * dyi, y0 + ni * dyi - nj * dyj, y0 - nj * dyj};
  ileft = 1;
  for (int i = 0; i < 4; ++i) {
    gx[i] = yyp2x(px[i]);
    gy[i] = yyp2y(py[i]);
    if (gx[i] < gx[ileft - 1]) ileft = i + 1;
  }
  yleft = py[ileft - 1];
}
