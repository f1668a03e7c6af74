#include "toolkit/pgraph/plots.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/curves.h"
#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/markers.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/strokefont.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/pgraph/geometry.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/settings.h"
#include "toolkit/state/tessar.h"

namespace {

int symbolswitch = 0;
float lastpairx = 0, lastpairy = 0;

int setstyle(int k, int i) {
  return tessar.pgraph.plot.SETSTYLE[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(i)];
}
int setcolour(int k, int i) {
  return tessar.pgraph.plot.SETCOLOUR[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(i)];
}

// Line type of a set: a negative style means solid on a colour device.
void setlinetype(int stylea) {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  const int L = (stylea < 0 && at.DEVCLASS > 2) ? 0 : std::abs(stylea);
  if (L != at.LINETYPE) igrlinetype(L);
}

struct Markers {
  int K = 0, M = 0;
  std::string text;
};

// Prepares the marker drawing of set k; K = 0 draws none.
Markers markersetup(int k, int styleb, bool fill) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  Markers m;
  m.K = (fill || (styleb < 0 && g.attributes.DEVCLASS > 2)) ? 0 : std::abs(styleb);
  if (m.K < 1 || m.K > 4) {
    m.K = 0;
    return m;
  }
  g.text.JUSTIFY = 1;
  g.text.DIRECTION = 0;
  if (g.attributes.LINETYPE != 0) igrlinetype(0);
  IGrColourN(setcolour(k, 1));
  const int marker = pd.SETMARKER[static_cast<std::size_t>(k - 1)];
  m.M = marker >= 0 ? marker : (m.K == 4 ? k + 202 : k);
  if (m.K == 1 || m.K == 2) g.text.SLANT = 0;
  if (m.K == 1) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", m.M);
    m.text = buf;
  } else if (m.K == 2) {
    m.text = std::string(1, static_cast<char>(m.M <= 26 ? 64 + m.M : 70 + m.M));
  } else if (m.K == 4) {
    m.text = std::string(1, static_cast<char>(m.M & 0xFF));
  }
  return m;
}

void drawmarker(const Markers& m, float x, float y) {
  if (m.K == 3) igrmarker(x, y, m.M);
  else wgrtextstring(x, y, m.text);
}

bool marked(int i) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  const int f = std::max(pd.MARKERFREQ[0], 1), step = std::max(pd.MARKERFREQ[1], 1);
  return i >= f && (i - f) % step == 0;
}

void drawrun(std::span<const float> x, std::span<const float> y, int n, bool smooth) {
  if (n < 2) return;
  if (smooth) {
    if (n == 2) igrjoin(x[0], y[0], x[1], y[1]);
    else wgrcurve(x, y, n, 16 * n);
  } else {
    igrpolyline(x, y, n);
  }
}

}  // namespace

void ipgaxes(std::optional<float> x0opt, std::optional<float> y0opt) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  float gx1 = 0, gy1 = 0, gx2 = 0, gy2 = 0;
  ipgunitstogrunits(pd.PGXMIN, pd.PGYMIN, gx1, gy1);
  ipgunitstogrunits(pd.PGXMAX, pd.PGYMAX, gx2, gy2);
  if (pd.POLAR) {
    const int fill = g.attributes.FILLSTYLE;
    g.attributes.FILLSTYLE = 0;
    polarpasses([&] {
      const float A = polaraspect();
      float cx = 0, cy = 0, rx = 0, ry = 0;
      yypol(cx, cy, rx, ry);
      igrjoin(cx - rx, cy, cx + rx, cy);
      igrjoin(cx, cy - ry, cx, cy + ry);
      if (rx != 0 && A != 0) igrellipse(cx, cy, rx, ry / (A * rx));
    });
    g.attributes.FILLSTYLE = fill;
    return;
  }
  if (!pd.THREED) {
    const float X0 = x0opt.value_or(0), Y0 = y0opt.value_or(0);
    const float x0 = (pd.PGXLOW <= X0 && X0 <= pd.PGXHIGH) ? X0 : pd.PGXMIN;
    const float y0 = (pd.PGYLOW <= Y0 && Y0 <= pd.PGYHIGH) ? Y0 : pd.PGYMIN;
    float gx0 = 0, gy0 = 0;
    ipgunitstogrunits(x0, y0, gx0, gy0);
    igrjoin(gx0, gy1, gx0, gy2);
    igrjoin(gx1, gy0, gx2, gy0);
    return;
  }
  if (!pd.THREEDXY) {
    const float dx = (gx2 - gx1) * pd.DEPTHSHIFT, dy = (gy2 - gy1) * pd.DEPTHSHIFT;
    const float bx = gx1 + dx, by = gy1 + dy;
    igrjoin(bx, by, gx2, by);
    igrlineto(gx2, gy2);
    igrlineto(bx, gy2);
    igrlineto(bx, by);
    igrlineto(gx1, gy1);
    igrjoin(gx1, gy2 - dy, bx, gy2);
    igrjoin(gx2, by, gx2 - dx, gy1);
    igrlineto(gx1, gy1);
    igrlineto(gx1, gy2 - dy);
    return;
  }
  std::array<float, 4> px{}, py{};
  int r = 1;
  float yleft = 0;
  yycorn(px, py, r, yleft);
  auto at = [](int i) { return static_cast<std::size_t>((i - 1) % 4); };
  const int c = (r + 1) % 4 + 1;
  const int n1 = r % 4 + 1, n3 = (r + 2) % 4 + 1;
  const int b = py[at(n1)] > py[at(n3)] ? n1 : n3;
  const float H = yyp2y(pd.PGYMIN + 0.5f * pd.PGYRANGE) - yyp2y(pd.PGYMIN);
  if (pd.WALLFILL != 0) {
    yysav(0);
    g.attributes.FILLSTYLE = pd.WALLFILL;
    IGrColourN(pd.WALLCOLOUR[2]);
    IGrPolygonComplex(px, py, 4);
    const int first = r % 2 == 0 ? pd.WALLCOLOUR[1] : pd.WALLCOLOUR[0];
    const int other = r % 2 == 0 ? pd.WALLCOLOUR[0] : pd.WALLCOLOUR[1];
    const std::array<float, 4> wx{px[at(r)], px[at(r)], px[at(b)], px[at(b)]};
    const std::array<float, 4> wy{py[at(r)], py[at(r)] + H, py[at(b)] + H, py[at(b)]};
    IGrColourN(first);
    IGrPolygonComplex(wx, wy, 4);
    const std::array<float, 4> vx{px[at(c)], px[at(c)], px[at(b)], px[at(b)]};
    const std::array<float, 4> vy{py[at(c)], py[at(c)] + H, py[at(b)] + H, py[at(b)]};
    IGrColourN(other);
    IGrPolygonComplex(vx, vy, 4);
    yysav(1);
  }
  const std::array<float, 5> ox{px[0], px[1], px[2], px[3], px[0]};
  const std::array<float, 5> oy{py[0], py[1], py[2], py[3], py[0]};
  igrpolyline(ox, oy, 5);
  igrjoin(px[at(r)], py[at(r)], px[at(r)], py[at(r)] + H);
  igrlineto(px[at(b)], py[at(b)] + H);
  igrlineto(px[at(b)], py[at(b)]);
  igrjoin(px[at(c)], py[at(c)], px[at(c)], py[at(c)] + H);
  igrlineto(px[at(b)], py[at(b)] + H);
}

void ipgborder() {
  const PlotDefinition& pd = tessar.pgraph.plot;
  float gx1 = 0, gy1 = 0, gx2 = 0, gy2 = 0;
  ipgunitstogrunits(pd.PGXMIN, pd.PGYMIN, gx1, gy1);
  ipgunitstogrunits(pd.PGXMAX, pd.PGYMAX, gx2, gy2);
  float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  yye2i(gx1, gy1, X1, Y1);
  yye2i(gx2, gy2, X2, Y2);
  yyrect(X1, Y1, X2, Y2);
}

// The heights come in double: a height of a far value less its base, rounded to a float,
// loses the base, and the corner the trapezium puts back at height - length would fall
// whole rows below the axis.
void yypgli(float z, float x1, float b1, float x2, float t2, double& h1, double h2) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  const int k = std::max(pd.CURRENTSET, 1);
  bool lineover = setstyle(k, 0) < 3;
  const auto f = [](double v) { return static_cast<float>(v); };
  if (h1 > 0 && h2 > 0) {
    yytrapeziumd(x1, b1, x2, t2, h1, h2, 1);
  } else if (h1 < 0 && h2 < 0) {
    yytrapeziumd(x1, f(b1 + h1), x2, b1, -h1, -h2, 1);
  } else if (h1 == 0 && h2 == 0) {
    lineover = true;
  } else if (h1 == 0) {
    IGrTriangle(x1, b1, x2, f(t2 - h2), x2, t2);
  } else if (h2 == 0) {
    IGrTriangle(x1, b1, x1, f(b1 + h1), x2, t2);
  } else {
    const double xc = h1 <= h2 ? x1 + (static_cast<double>(x2) - x1) * (-h1) / ((static_cast<double>(t2) - b1) - h1)
                               : x2 + (static_cast<double>(x1) - x2) * (static_cast<double>(b1) - t2) / ((h1 + b1) - t2);
    IGrTriangle(x1, z, x1, f(z + h1), f(xc), z);
    IGrTriangle(f(xc), z, x2, z, x2, t2);
  }
  if (lineover) igrjoin(x1, f(b1 + h1), x2, t2);
  h1 = h2;
}

void ipglineplot(std::span<const float> y) {
  PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  if (pd.PGTYPE != 4 || pd.CURRENTSET >= pd.NSETS) return;
  const int k = ++pd.CURRENTSET;
  yysavp();
  const int N = std::min<int>(pd.NVALUES[0], static_cast<int>(y.size()));
  const int stylea = setstyle(k, 0), styleb = setstyle(k, 1), stylec = setstyle(k, 2);
  IGrColourN(setcolour(k, 1));
  IGrColourN(setcolour(k, 0));
  const bool fill = stylec > 0 && pd.SMOOTH == 0;
  const bool smooth = pd.SMOOTH != 0;
  if (fill) {
    igrfillpattern(stylea, styleb, stylec);
    g.attributes.OUTLINE = 0;
  } else {
    setlinetype(stylea);
  }
  if (pd.STACKED && k == 1) pd.PGSTACK.assign(static_cast<std::size_t>(std::max(N, 0)), 0.0f);
  const bool stacked = pd.STACKED && pd.PGSTACK.size() >= static_cast<std::size_t>(std::max(N, 0));
  auto stackat = [&](int i) -> float& { return pd.PGSTACK[static_cast<std::size_t>(i - 1)]; };
  auto valid = [&](int i) { return yypgdatar(y[static_cast<std::size_t>(i - 1)]); };
  std::vector<float> xpoly, ypoly;
  const float x0 = pd.PGXRANGE < 0 ? pd.PGXMAX : pd.PGXMIN;
  const float dx = pd.RNSTEPS1 != 0 ? std::fabs(pd.PGXRANGE) / pd.RNSTEPS1 : 0.0f;
  Markers m;

  if (!pd.POLAR) {
    const float Z = pd.PGYMIN > 0 ? yyp2y(pd.PGYMIN) : pd.PGYMAX < 0 ? yyp2y(pd.PGYMAX) : yyp2y(0);
    if (!fill) {
      xpoly.resize(static_cast<std::size_t>(std::max(N, 0)));
      ypoly.resize(static_cast<std::size_t>(std::max(N, 0)));
    }
    // A fill's far value is held 2^24 plot heights away: beyond that its height no longer
    // carries the base (a value of 1e30 less its base is the value), so the trapezium's corner
    // on the base would fall below the axis; the slope changes by far under a pixel inside.
    const double ya = yyp2y(pd.PGYMIN), yb = yyp2y(pd.PGYMAX);
    const double reach = 16777216.0 * std::fabs(yb - ya), middle = (ya + yb) / 2;
    auto held = [&](float v) {
      if (!(reach > 0) || !std::isfinite(reach)) return v;
      return static_cast<float>(std::clamp(static_cast<double>(v), middle - reach, middle + reach));
    };
    int n = 0;
    bool first = true;
    float xp = 0, bp = 0, gx = 0, b = 0;
    double hp = 0;
    bool anyvalid = false;
    float v = 0;
    for (int i = 1; i <= N; ++i) {
      const float px = x0 + static_cast<float>(i - 1) * dx;
      if (!valid(i)) {
        if (!fill && n > 1) drawrun(xpoly, ypoly, n, smooth);
        n = 0;
        first = true;
        continue;
      }
      xp = gx;
      bp = b;
      gx = yyp2x(px);
      v = y[static_cast<std::size_t>(i - 1)];
      anyvalid = true;
      float gy = 0;
      if (stacked) {
        // The base is the running sum, held at the zero line on its own side only: a
        // floor taken in graphics units put negative stacks and reversed axes on the
        // wrong side of their base.
        const float zeroplot = pd.PGYMIN > 0 ? pd.PGYMIN : pd.PGYMAX < 0 ? pd.PGYMAX : 0.0f;
        const float st = stackat(i);
        b = yyp2y(st >= 0 ? std::max(st, zeroplot) : std::min(st, zeroplot));
        stackat(i) += v;
        gy = yyp2y(stackat(i));
      } else {
        b = Z;
        gy = yyp2y(v);
      }
      if (!fill) {
        xpoly[static_cast<std::size_t>(n)] = gx;
        ypoly[static_cast<std::size_t>(n)] = gy;
        ++n;
        continue;
      }
      gy = held(gy);
      b = held(b);
      const double h = pd.PGYRANGE >= 0 ? static_cast<double>(gy) - b : static_cast<double>(b) - gy;
      if (first) {
        hp = h;
        first = false;
        continue;
      }
      if (pd.PGXRANGE >= 0 && pd.PGYRANGE >= 0) yypgli(Z, xp, bp, gx, gy, hp, h);
      else if (pd.PGXRANGE >= 0) yypgli(Z, xp, bp - hp, gx, b, hp, h);
      else if (pd.PGYRANGE >= 0) {
        double hh = h;
        yypgli(Z, gx, b, xp, static_cast<float>(bp + hp), hh, hp);
      } else {
        double hh = h;
        yypgli(Z, gx, gy, xp, bp, hh, hp);
      }
      hp = h;
    }
    if (static_cast<std::size_t>(k) <= pd.XPGEND.size() && static_cast<std::size_t>(k) <= pd.YPGEND.size()) {
      pd.XPGEND[static_cast<std::size_t>(k - 1)] = pd.PGXMAX;
      if (anyvalid) {
        float end = v;
        if (pd.STACKED && k > 1) end += pd.YPGEND[static_cast<std::size_t>(k - 2)];
        pd.YPGEND[static_cast<std::size_t>(k - 1)] = end;
      }
    }
    if (!fill) drawrun(xpoly, ypoly, n, smooth);
    m = markersetup(k, styleb, fill);
    if (m.K == 4) yysyload(1);
    if (m.K != 0)
      for (int i = 1; i <= N; ++i) {
        if (!marked(i) || !valid(i)) continue;
        const float gxm = yyp2x(x0 + static_cast<float>(i - 1) * dx);
        const float gym = stacked ? yyp2y(stackat(i)) : yyp2y(y[static_cast<std::size_t>(i - 1)]);
        drawmarker(m, gxm, gym);
      }
    if (m.K == 4) yysyload(0);
  } else {
    if (!fill) {
      xpoly.resize(static_cast<std::size_t>(std::max(N + 1, 0)));
      ypoly.resize(static_cast<std::size_t>(std::max(N + 1, 0)));
    }
    const float S = pd.RNVALUES1 != 0 ? 360.0f / pd.RNVALUES1 : 0.0f;
    auto point = [&](int i, float& px, float& py, float& qx, float& qy) {
      const float angle = static_cast<float>(i - 1) * S;
      const float base = stacked ? stackat(i) : 0.0f;
      ipgunitstogrunitsp(angle, y[static_cast<std::size_t>(i - 1)] + base, px, py);
      if (stacked) ipgunitstogrunitsp(angle, base, qx, qy);
    };
    polarpasses([&] {
      float xc = 0, yc = 0, rx = 0, ry = 0;
      yypol(xc, yc, rx, ry);
      float ppx = 0, ppy = 0, pqx = xc, pqy = yc;
      bool first = true;
      if (fill && N >= 1 && valid(N)) {
        pqx = xc;
        pqy = yc;
        point(N, ppx, ppy, pqx, pqy);
        first = false;
      }
      if (N > 1) {
        int n = 0;
        float p1x = 0, p1y = 0;
        for (int i = 1; i <= N; ++i) {
          if (!valid(i)) {
            if (!fill) drawrun(xpoly, ypoly, n, smooth);
            n = 0;
            first = true;
            continue;
          }
          float px = 0, py = 0, qx = xc, qy = yc;
          point(i, px, py, qx, qy);
          if (i == 1) {
            p1x = px;
            p1y = py;
          }
          if (fill) {
            if (!first) {
              if (!stacked || k == 1) {
                IGrTriangle(qx, qy, px, py, ppx, ppy);
              } else {
                const std::array<float, 4> fx{qx, px, ppx, pqx}, fy{qy, py, ppy, pqy};
                igrpolygonsimple(fx, fy, 4);
              }
              if (stylea < 3) igrjoin(ppx, ppy, px, py);
            }
            ppx = px;
            ppy = py;
            pqx = qx;
            pqy = qy;
            first = false;
          } else {
            xpoly[static_cast<std::size_t>(n)] = px;
            ypoly[static_cast<std::size_t>(n)] = py;
            ++n;
          }
        }
        if (!fill) {
          if (valid(1)) {
            xpoly[static_cast<std::size_t>(n)] = p1x;
            ypoly[static_cast<std::size_t>(n)] = p1y;
            ++n;
          }
          drawrun(xpoly, ypoly, n, smooth);
        }
      }
      m = markersetup(k, styleb, fill);
      if (m.K == 4) yysyload(1);
      if (m.K != 0)
        for (int i = 1; i <= N; ++i) {
          if (!marked(i) || !valid(i)) continue;
          float px = 0, py = 0, qx = 0, qy = 0;
          point(i, px, py, qx, qy);
          drawmarker(m, px, py);
        }
      if (m.K == 4) yysyload(0);
    });
    if (stacked)
      for (int i = 1; i <= N; ++i)
        if (valid(i)) stackat(i) += y[static_cast<std::size_t>(i - 1)];
  }
  if (pd.STACKED && k == pd.NSETS) pd.PGSTACK.clear();
  yyresp();
}

void ipgxypairs(std::span<const float> x, std::span<const float> y, std::optional<int> nopt) {
  PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  if (pd.PGTYPE != 6 || pd.CURRENTSET >= pd.NSETS || pd.THREED != 0) return;
  const int k = ++pd.CURRENTSET;
  yysavp();
  const int stylea = setstyle(k, 0), styleb = setstyle(k, 1), stylec = setstyle(k, 2);
  setlinetype(stylea);
  IGrColourN(setcolour(k, 0));
  int NP = nopt ? std::clamp(*nopt, 1, std::max(pd.NVALUES[0], 1)) : pd.NVALUES[0];
  // Never read past what the caller handed over.
  NP = std::min<int>({NP, static_cast<int>(x.size()), static_cast<int>(y.size())});
  NP = std::max(NP, 0);
  const bool closed = stylec != 0;
  std::vector<float> xpoly(static_cast<std::size_t>(NP + 1)), ypoly(static_cast<std::size_t>(NP + 1));
  auto valid = [&](int i) {
    return yypgdatar(x[static_cast<std::size_t>(i - 1)]) && yypgdatar(y[static_cast<std::size_t>(i - 1)]);
  };
  auto map = [&](int i, float& gx, float& gy) {
    const float px = x[static_cast<std::size_t>(i - 1)], py = y[static_cast<std::size_t>(i - 1)];
    if (pd.POLAR) ipgunitstogrunitsp(px, py, gx, gy);
    else ipgunitstogrunits(px, py, gx, gy);
  };
  auto run = [&](int start, int last) {
    const int m = last - start + 1;
    const std::size_t s = static_cast<std::size_t>(start - 1);
    if (m == 2) igrjoin(xpoly[s], ypoly[s], xpoly[s + 1], ypoly[s + 1]);
    else if (pd.SMOOTH) igrcurve(std::span<const float>(xpoly).subspan(s), std::span<const float>(ypoly).subspan(s), m, 32);
    else igrpolyline(std::span<const float>(xpoly).subspan(s), std::span<const float>(ypoly).subspan(s), m);
  };
  auto lines = [&] {
    int start = 1, last = 0;
    for (int i = 1; i <= NP; ++i) {
      if (valid(i)) {
        last = i;
        lastpairx = x[static_cast<std::size_t>(i - 1)];
        lastpairy = y[static_cast<std::size_t>(i - 1)];
        map(i, xpoly[static_cast<std::size_t>(i - 1)], ypoly[static_cast<std::size_t>(i - 1)]);
      } else {
        if (last > start) run(start, last);
        start = i + 1;
      }
    }
    if (closed && NP >= 1 && valid(1) && last >= start) {
      xpoly[static_cast<std::size_t>(NP)] = xpoly[0];
      ypoly[static_cast<std::size_t>(NP)] = ypoly[0];
      last = NP + 1;
    }
    if (last > start) run(start, last);
  };
  if (pd.POLAR) polarpasses(lines);
  else lines();
  if (static_cast<std::size_t>(k) <= pd.XPGEND.size() && static_cast<std::size_t>(k) <= pd.YPGEND.size()) {
    pd.XPGEND[static_cast<std::size_t>(k - 1)] = lastpairx;
    pd.YPGEND[static_cast<std::size_t>(k - 1)] = lastpairy;
  }
  const Markers m = markersetup(k, styleb, false);
  if (m.K != 0) {
    if (m.K == 4) yysyload(1);
    auto marks = [&] {
      for (int i = std::max(pd.MARKERFREQ[0], 1); i <= NP; ++i) {
        if (!marked(i) || !valid(i)) continue;
        float gx = 0, gy = 0;
        map(i, gx, gy);
        drawmarker(m, gx, gy);
      }
    };
    if (pd.POLAR) polarpasses(marks);
    else marks();
    if (m.K == 4) yysyload(0);
  }
  (void)g;
  yyresp();
}

void yysyload(int flag) {
  GraphicsRegion& g = tessar.graphics;
  if (flag == 1) {
    std::string name = g.font.NAME;
    name.resize(std::max<std::size_t>(name.size(), 11), ' ');
    const auto last = name.find_last_not_of(' ');
    const std::string trimmed = last == std::string::npos ? std::string{} : name.substr(0, last + 1);
    if (trimmed == "symbols.chr" && g.text.FONTKIND == 1) {
      symbolswitch = 0;
      return;
    }
    symbolswitch = 1;
    yychsave(1);
    wgrvfontvxksymbols(0);
    g.text.FONTKIND = 1;
  } else if (symbolswitch) {
    yychsave(0);
  }
}
