// toolkit/graphics/curves.cpp: smooth curves through points. Interval i (1-based) runs from
// p(i) to p(i+1) with local t in [0, 0.5]: the first is the first half of parabola 1, the
// last the second half of parabola n-2, the others fade parabola i-1 into parabola i.
#include "toolkit/graphics/curves.h"

#include <vector>

#include "toolkit/graphics/lines.h"

namespace {

// Control value of parabola k (1-based) of one coordinate.
float control(std::span<const float> p, int k) {
  const auto i = static_cast<std::size_t>(k - 1);
  return 2 * p[i + 1] - 0.5f * (p[i] + p[i + 2]);
}

// The blended point of interval i (1 .. n-2) at t, given the controls of parabolas i and i-1.
float blend(std::span<const float> p, int i, float t, float ci, float cprev) {
  if (i == 1) return yybow(p, ci, 1, t);
  return 2 * t * yybow(p, ci, i, t) + (1 - 2 * t) * yybow(p, cprev, i - 1, t + 0.5f);
}

}  // namespace

float yybow(std::span<const float> p, float c, int k, float t) {
  const auto i = static_cast<std::size_t>(k - 1);
  return ((p[i + 2] - c) * t + c) * t + (1 - t) * ((c - p[i]) * t + p[i]);
}

void igrcurve(std::span<const float> x, std::span<const float> y, int n, std::optional<int> steps) {
  if (n < 2 || x.size() < static_cast<std::size_t>(n) || y.size() < static_cast<std::size_t>(n)) return;
  if (!yyfinitepoints("IGrCurve", x, y, n)) return;
  igrmoveto(x[0], y[0]);
  if (n <= 2) {
    igrlineto(x[1], y[1]);
    return;
  }
  const float d = 1.0f / static_cast<float>(std::max(steps.value_or(32), 4));
  float cxprev = 0, cyprev = 0;
  for (int i = 1; i <= n - 2; ++i) {
    const float cx = control(x, i), cy = control(y, i);
    for (float t = 0; t <= 0.5f; t += d) igrlineto(blend(x, i, t, cx, cxprev), blend(y, i, t, cy, cyprev));
    cxprev = cx;
    cyprev = cy;
  }
  for (float t = 0.5f; t <= 1.0f; t += d) igrlineto(yybow(x, cxprev, n - 2, t), yybow(y, cyprev, n - 2, t));
  igrlineto(x[static_cast<std::size_t>(n - 1)], y[static_cast<std::size_t>(n - 1)]);
}

void wgrcurvepoints(std::span<const float> x, std::span<const float> y, int n, std::span<float> xc,
                    std::span<float> yc, std::optional<int> mopt) {
  const int m = mopt.value_or(10 * n);
  if (n <= 2 || m < 2 || x.size() < static_cast<std::size_t>(n) || y.size() < static_cast<std::size_t>(n) ||
      xc.size() < static_cast<std::size_t>(m) || yc.size() < static_cast<std::size_t>(m))
    return;
  const auto last = static_cast<std::size_t>(n - 1);
  xc[0] = x[0];
  yc[0] = y[0];
  xc[static_cast<std::size_t>(m - 1)] = x[last];
  yc[static_cast<std::size_t>(m - 1)] = y[last];
  const double r = static_cast<double>(m) / (n - 1);
  for (int j = 1; j <= m - 2; ++j) {
    const int i = (j * (n - 1)) / m + 1;
    const double q = (j + 1.0e-7) / r;
    const float t = static_cast<float>(0.5 * (q - static_cast<double>(static_cast<long long>(q))));
    const auto out = static_cast<std::size_t>(j);
    if (i < n - 1) {
      const float cx = control(x, i), cy = control(y, i);
      const float px = i > 1 ? control(x, i - 1) : 0, py = i > 1 ? control(y, i - 1) : 0;
      xc[out] = blend(x, i, t, cx, px);
      yc[out] = blend(y, i, t, cy, py);
    } else {
      xc[out] = yybow(x, control(x, n - 2), n - 2, t + 0.5f);
      yc[out] = yybow(y, control(y, n - 2), n - 2, t + 0.5f);
    }
  }
}

void wgrcurve(std::span<const float> x, std::span<const float> y, int n, std::optional<int> mopt) {
  const int m = mopt.value_or(10 * n);
  if (n <= 2 || m < 2) return;
  std::vector<float> XPOLY(static_cast<std::size_t>(m)), YPOLY(static_cast<std::size_t>(m));
  wgrcurvepoints(x, y, n, XPOLY, YPOLY, m);
  yypline(XPOLY, YPOLY, m, 0);
}
