// Triangle decomposition and gradient fills.
// The decomposition works on the vertex order as given: prev, cur and next always follow
// one another forward through the vertices not yet cut off, so the vertices that may lie
// in a candidate ear are exactly those from next + 1 forward to prev - 1.
#include "toolkit/graphics/gradient.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/text/errors.h"
#include "toolkit/state/tessar.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"

namespace {

constexpr int kRemoved = -2;
constexpr int kReflex = -1;

struct Polygon {
  std::span<const float> x, y;
  bool same(int a, int b) const { return x[a] == x[b] && y[a] == y[b]; }
  double cross(int p, int q, int r) const {
    return (static_cast<double>(x[q]) - x[p]) * (static_cast<double>(y[r]) - y[q]) -
           (static_cast<double>(y[q]) - y[p]) * (static_cast<double>(x[r]) - x[q]);
  }
  bool negative(int p, int q, int r) const { return cross(p, q, r) < 0; }
};

bool between(float v, float a, float b) { return std::min(a, b) <= v && v <= std::max(a, b); }

// Whether vertex j lies in the candidate ear (prev, cur, next), its edges included.
bool blocks(const Polygon& p, int j, int prev, int cur, int next) {
  const float xj = p.x[j], yj = p.y[j];
  const float xs[3] = {p.x[prev], p.x[cur], p.x[next]};
  const float ys[3] = {p.y[prev], p.y[cur], p.y[next]};
  const float eps = 1.0f / 8388608.0f;   // 2^-23 of each bound
  const float xmin = *std::min_element(xs, xs + 3), xmax = *std::max_element(xs, xs + 3);
  const float ymin = *std::min_element(ys, ys + 3), ymax = *std::max_element(ys, ys + 3);
  if (!(xmin - std::fabs(xmin) * eps < xj && xj < xmax + std::fabs(xmax) * eps &&
        ymin - std::fabs(ymin) * eps < yj && yj < ymax + std::fabs(ymax) * eps))
    return false;
  // The on-edge cases for axis-parallel edges decide alone when both the equality and the
  // range hold; an equality whose range fails leaves the decision to the general test.
  const int pairs[3][2] = {{0, 1}, {1, 2}, {0, 2}};
  for (const auto& e : pairs) {
    const int a = e[0], b = e[1];
    if (xj == xs[a] && xs[a] == xs[b]) {
      if (between(yj, ys[a], ys[b])) return true;
      break;
    }
    if (yj == ys[a] && ys[a] == ys[b]) {
      if (between(xj, xs[a], xs[b])) return true;
      break;
    }
  }
  auto separated = [&](int a, int q1, int q2) {
    const double dx = static_cast<double>(xj) - p.x[a], dy = static_cast<double>(yj) - p.y[a];
    auto g = [&](int q) { return dx * p.y[q] - dy * p.x[q]; };
    const double ga = g(a);
    return (g(q1) < ga) != (g(q2) < ga);
  };
  return separated(prev, cur, next) && separated(cur, prev, next) && separated(next, prev, cur);
}

int channel(int rgb, int shift) { return (rgb / shift) % 256; }

}  // namespace

void yypolygondecompose(std::span<const float> x, std::span<const float> y, int n,
                        std::span<std::array<int, 3>> T, int& ntri) {
  ntri = 0;
  n = std::min({n, static_cast<int>(x.size()), static_cast<int>(y.size())});
  if (n < 3) return;
  const int room = static_cast<int>(T.size());
  const Polygon p{x, y};
  std::vector<int> iflag(static_cast<std::size_t>(n));
  auto flag = [&](int v) -> int& { return iflag[static_cast<std::size_t>(v)]; };
  auto fwd = [n](int v, int s) { return (v + s) % n; };

  int m = 0;
  for (int i = 1; i < n; ++i)
    if (y[i] > y[m]) m = i;
  int start = m;
  bool last = false;
  for (;;) {
    std::fill(iflag.begin(), iflag.end(), 0);
    ntri = 0;
    int next0 = -1;
    for (int s = 1; s <= n - 2 && next0 < 0; ++s)
      if (!p.same(fwd(start, s), start)) next0 = fwd(start, s);
    if (next0 < 0) return;
    int prev0 = -1;
    for (int v = fwd(start, n - 1); v != next0 && prev0 < 0; v = fwd(v, n - 1))
      if (!p.same(v, start)) prev0 = v;
    if (prev0 < 0) return;
    const bool ref = p.negative(prev0, start, next0);

    int prev = start, cur = next0, budget = n, tries = n;
    bool stuck = false;
    for (;;) {
      // The next vertex still in the polygon; repeats of cur are cut off on the way.
      int next = -1;
      bool finished = false;
      for (int s = 1; s <= n - 1; ++s) {
        const int v = fwd(cur, s);
        if (v == prev) {
          finished = true;
          break;
        }
        if (flag(v) == kRemoved) continue;
        if (p.same(v, cur)) {
          flag(v) = kRemoved;
          continue;
        }
        next = v;
        break;
      }
      if (finished || next < 0) return;

      bool ear = true;
      int& state = flag(cur);
      if (state == kReflex || state == kRemoved) {
        ear = false;
      } else if (state > 0 && flag(state - 1) != kRemoved) {
        ear = false;
      } else {
        state = 0;
        if (p.negative(prev, cur, next) != ref) {
          state = kReflex;
          ear = false;
        } else {
          int count = 0;
          for (int j = fwd(next, 1); j != prev && count < n; j = fwd(j, 1), ++count) {
            if (blocks(p, j, prev, cur, next)) {
              state = j + 1;
              ear = false;
              break;
            }
          }
        }
      }
      if (ear) {
        if (ntri < room) T[static_cast<std::size_t>(ntri)] = {prev, cur, next};
        ++ntri;
        flag(cur) = kRemoved;
        flag(prev) = 0;
        flag(next) = 0;
        if (--budget == 0) return;
        tries = n;
        cur = next;
        continue;
      }
      if (--tries == 0) {
        stuck = true;
        break;
      }
      prev = cur;
      cur = next;
    }
    if (stuck) {
      if (last) {
        ntri = std::min(ntri, room);
        yyerror(28, "YYPolygonDecompose");
        return;
      }
      start = fwd(start, 1);
      last = start == m;
    }
  }
}

void IGrPolygonGrad(std::span<const float> x, std::span<const float> y, int n, int dir) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  n = std::min({n, static_cast<int>(x.size()), static_cast<int>(y.size())});
  if (n <= 0) return;
  const float firstx = x[0], firsty = y[0];
  if (n > 1) {
    if (x[n - 1] == x[0] && y[n - 1] == y[0]) --n;
    std::vector<float> xt(static_cast<std::size_t>(n)), yt(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) yye2i(x[i], y[i], xt[i], yt[i]);
    // Plain iterators rather than structured bindings: the lambdas below capture them.
    const auto xs = std::minmax_element(xt.begin(), xt.end());
    const auto ys = std::minmax_element(yt.begin(), yt.end());
    const auto bx0 = xs.first, bx1 = xs.second, by0 = ys.first, by1 = ys.second;

    int& option7 = tessar.hardcopy.HCOPTIONS[6];
    const int linetype = at.LINETYPE, model = at.COLOURMODEL, saved7 = option7;
    const auto colours = at.COLOURS;
    const int screen = at.SCREENON, hardcopy = at.HARDCOPYON;
    igrcolourmodel(24);
    option7 = 0;
    if (at.LINETYPE != 0) igrlinetype(0);

    const int r = g.area.PAGEROTATION / 90;
    int d = dir - r;
    if (dir <= r) d += 4;
    const int prevrgb = colours[PAIRRGB][PREVIOUS], currgb = colours[PAIRRGB][CURRENT];
    const int a = d <= 2 ? prevrgb : currgb, b = d <= 2 ? currgb : prevrgb;
    const bool horizontal = d % 2 != 0;
    int ra = 0, ga = 0, ba = 0, rb = 0, gb = 0, bb = 0;
    wrgbsplit(a, &ra, &ga, &ba);
    wrgbsplit(b, &rb, &gb, &bb);
    const int dr = rb - ra, dg = gb - ga, db = bb - ba;

    auto side = [&](int s) {
      float spacing = 1.0f;
      if (s == 2) {
        const DeviceOperands& op = g.operands;
        const auto& hc = tessar.hardcopy.HCOPTIONS;
        const RasterState& rs = tessar.raster.state;
        float sx, sy;
        if (op.HCDEVICE == 4 || op.HCDEVICE == 6) {
          sx = g.area.EXTX / static_cast<float>(rs.RASWIDTH);
          sy = g.area.EXTY / static_cast<float>(rs.RASHEIGHT);
        } else {
          sx = g.area.EXTX * 72.0f / (static_cast<float>(hc[0]) * static_cast<float>(op.HCRESX));
          sy = g.area.EXTY * 72.0f / (static_cast<float>(hc[1]) * static_cast<float>(op.HCRESY));
        }
        spacing = horizontal ? sy : sx;
        // A device that gives no page size or resolution gets one line per drawable unit.
        if (!(spacing > 0) || !std::isfinite(spacing)) spacing = 1.0f;
      }
      const float m = horizontal ? *by0 : *bx0;
      const float top = horizontal ? *by1 : *bx1;
      // The first line in double: far from the origin a float has no halves.
      const double first = s == 1 ? (m >= 0 ? std::trunc(m) + 0.5 : std::trunc(m) - 0.5) : m;
      const float s0 = static_cast<float>(first);
      return yyscanfill(xt, yt, s, horizontal, first, spacing, [&](float v) {
        // A polygon no more than one line high takes the start colour.
        const float f = top == s0 ? 0.0f : 1.0f - (top - v) / (top - s0);
        const int colour = (ra + static_cast<int>(static_cast<float>(dr) * f)) +
                           256 * (ga + static_cast<int>(static_cast<float>(dg) * f)) +
                           65536 * (ba + static_cast<int>(static_cast<float>(db) * f));
        if (colour != at.COLOURS[PAIRRGB][CURRENT]) IGrColourN(colour);
      }, "IGrPolygonGrad");
    };
    bool ok = true;
    if (screen != 0) {
      at.HARDCOPYON = 0;
      ok = side(1);
    }
    if (ok && hardcopy != 0) {
      at.SCREENON = 0;
      at.HARDCOPYON = 1;
      side(2);
    }
    at.COLOURMODEL = model;
    at.SCREENON = screen;
    at.HARDCOPYON = hardcopy;
    option7 = saved7;
    at.COLOURS[PAIRINDEX][CURRENT] = colours[PAIRINDEX][PREVIOUS];
    at.COLOURS[PAIRRGB][CURRENT] = colours[PAIRRGB][PREVIOUS];
    at.COLOURS[PAIRDEVICE][CURRENT] = colours[PAIRDEVICE][PREVIOUS];
    yycon(colours[PAIRINDEX][CURRENT], colours[PAIRRGB][CURRENT], colours[PAIRDEVICE][CURRENT], 0);
    if (at.LINETYPE != linetype) igrlinetype(linetype);
  }
  g.area.CURX = firstx;
  g.area.CURY = firsty;
}

void yygradientfill(int mode, int cx1, int cy1, int cx2, int cy2, GradientPixel pixel,
                    GradientTriangles triangles) {
  GradientVertices& gv = tessar.graphics.gradient;
  int n = std::clamp(gv.n, 0, 1000);
  auto X = [&](int i) -> int& { return gv.X[static_cast<std::size_t>(i)]; };
  auto Y = [&](int i) -> int& { return gv.Y[static_cast<std::size_t>(i)]; };
  auto C = [&](int i) -> int& { return gv.RGB[static_cast<std::size_t>(i)]; };
  auto pack = [](int r, int g, int b) { return r + 256 * g + 65536 * b; };
  // Runs of equal vertices become one vertex with the run's average colour.
  int i = 0, k = 1, sr = 0, sg = 0, sb = 0;
  while (i < n - 1) {
    if (X(i) == X(i + 1) && Y(i) == Y(i + 1)) {
      if (n == 3) return;
      if (k == 1) {
        sr = channel(C(i), 1); sg = channel(C(i), 256); sb = channel(C(i), 65536);
      }
      sr += channel(C(i + 1), 1); sg += channel(C(i + 1), 256); sb += channel(C(i + 1), 65536);
      ++k;
      for (int j = i; j < n - 1; ++j) {
        X(j) = X(j + 1); Y(j) = Y(j + 1); C(j) = C(j + 1);
      }
      --n;
    } else {
      if (k > 1) {
        C(i) = pack(sr / k, sg / k, sb / k);
        k = 1;
      }
      ++i;
    }
  }
  if (k > 1 && n > 0) C(n - 1) = pack(sr / k, sg / k, sb / k);
  if (n >= 2 && X(n - 1) == X(0) && Y(n - 1) == Y(0)) {
    if (n == 3) {
      gv.n = n;
      return;
    }
    C(0) = pack((channel(C(0), 1) + channel(C(n - 1), 1)) / 2,
                (channel(C(0), 256) + channel(C(n - 1), 256)) / 2,
                (channel(C(0), 65536) + channel(C(n - 1), 65536)) / 2);
    --n;
  }
  gv.n = n;
  if (n < 3) {
    gv.ntri = 0;
    return;
  }
  if (n == 3) {
    gv.T[0] = {0, 1, 2};
    gv.ntri = 1;
  } else {
    // The triangles index the merged vertex list, the one the shading reads.
    std::vector<float> xs(static_cast<std::size_t>(n)), ys(static_cast<std::size_t>(n));
    for (int v = 0; v < n; ++v) {
      xs[static_cast<std::size_t>(v)] = static_cast<float>(X(v));
      ys[static_cast<std::size_t>(v)] = static_cast<float>(Y(v));
    }
    int ntri = 0;
    yypolygondecompose(xs, ys, n, gv.T, ntri);
    gv.ntri = std::min(ntri, static_cast<int>(gv.T.size()));
  }
  if (gv.ntri == 0) return;
  if (mode == 2 && triangles != nullptr) {
    int status = 1;
    triangles(gv, status);
    if (status == 0) return;
  }
  if (pixel == nullptr) return;
  for (int t = 0; t < gv.ntri; ++t)
    yygradienttriangle(gv.T[static_cast<std::size_t>(t)], cx1, cy1, cx2, cy2, pixel);
}

void yygradienttriangle(const std::array<int, 3>& t, int cx1, int cy1, int cx2, int cy2,
                        GradientPixel pixel) {
  const GradientVertices& gv = tessar.graphics.gradient;
  int xs[3], ys[3];
  float cs[3][3];
  for (int v = 0; v < 3; ++v) {
    const auto i = static_cast<std::size_t>(t[static_cast<std::size_t>(v)]);
    xs[v] = gv.X[i];
    ys[v] = gv.Y[i];
    const int rgb = gv.RGB[i];
    cs[v][0] = static_cast<float>(channel(rgb, 1)) / 255.0f;
    cs[v][1] = static_cast<float>(channel(rgb, 256)) / 255.0f;
    cs[v][2] = static_cast<float>(channel(rgb, 65536)) / 255.0f;
  }
  int ylo = std::min({ys[0], ys[1], ys[2]}), yhi = std::max({ys[0], ys[1], ys[2]});
  if (ylo > cy2 || yhi < cy1) return;
  ylo = std::max(ylo, cy1);
  yhi = std::min(yhi, cy2);
  const int edges[3][2] = {{2, 0}, {0, 1}, {1, 2}};
  for (int row = ylo; row <= yhi; ++row) {
    int left = cx2 + 1, right = cx1 - 1;
    float lc[3] = {0, 0, 0}, rc[3] = {0, 0, 0};
    for (const auto& e : edges) {
      const int a = e[0], b = e[1];
      if (ys[a] == ys[b] || row < std::min(ys[a], ys[b]) || row > std::max(ys[a], ys[b])) continue;
      const float u = static_cast<float>(row - ys[a]) / static_cast<float>(ys[b] - ys[a]);
      const int x = static_cast<int>(u * static_cast<float>(xs[b]) +
                                     (1 - u) * static_cast<float>(xs[a]) + 0.5f);
      float c[3];
      for (int ch = 0; ch < 3; ++ch) c[ch] = u * cs[b][ch] + (1 - u) * cs[a][ch];
      if (x < left) {
        left = x;
        std::copy(c, c + 3, lc);
      }
      if (x > right) {
        right = x;
        std::copy(c, c + 3, rc);
      }
    }
    if (left > cx2 || right < cx1) continue;
    float step[3] = {0, 0, 0};
    if (left < right)
      for (int ch = 0; ch < 3; ++ch)
        step[ch] = (rc[ch] - lc[ch]) / static_cast<float>(right - left);
    const int xs0 = std::max(left, cx1), xe = std::min(right, cx2);
    float c[3];
    for (int ch = 0; ch < 3; ++ch) c[ch] = lc[ch] + step[ch] * static_cast<float>(xs0 - left);
    for (int x = xs0; x <= xe; ++x) {
      pixel(x, row, static_cast<int>(c[0] * 255.99f) + 256 * static_cast<int>(c[1] * 255.99f) +
                        65536 * static_cast<int>(c[2] * 255.99f));
      for (int ch = 0; ch < 3; ++ch) c[ch] += step[ch];
    }
  }
}
