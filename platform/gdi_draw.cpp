// platform/gdi_draw.cpp: the aliased rasteriser of the drawing layer: lines, polygons,
// rectangles, ellipses, sectors and arcs, pixels, pattern and block transfers.
// Sections (grep "[SECTION]"): spans and painting | shapes as rows of spans | thin lines |
//   wide lines | drawing calls | block transfers
//
// Pixel rules (docs/gdi.md): a pixel belongs to a filled shape when its centre lies inside
// the shape, integer coordinates being pixel corners; centres on a left or top edge count,
// on a right or bottom edge do not. Thin lines step from pixel to pixel and leave the end
// pixel out; wide lines are outlines through pixel centres, filled by the same rule.
#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/gdi_internal.h"

namespace win::gdi {

namespace {

//------------------------------------------------------------------------------
// [SECTION] Spans and painting
// - Paint, paintAt(), putSpan(), putPixel()
//------------------------------------------------------------------------------

constexpr uint32_t kNone = 0xFF000000u;  // "leave the pixel" from a paint source

struct Paint {
  bool brush = false;
  uint32_t colour = 0;            // solid colour as a device pixel
  const BrushData* b = nullptr;
  uint32_t fg = 0, bg = 0;        // pattern and hatch colours (device pixels)
  bool transparentBg = false;     // hatch background left alone
  POINT org;                      // brush origin, device coordinates
  int rop = R2_COPYPEN;
  bool mono = false;
};

bool hatchBit(int hatch, int x, int y) {
  x &= 7;
  y &= 7;
  switch (hatch) {
    case HS_HORIZONTAL: return y == 0;
    case HS_VERTICAL: return x == 0;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 0 || y == 0;
    case HS_DIAGCROSS: return x == y || x + y == 7;
    default: return false;
  }
}

inline int posMod(int a, int m) {
  const int r = a % m;
  return r < 0 ? r + m : r;
}

uint32_t paintAt(const Paint& p, int x, int y) {
  if (!p.brush) return p.colour;
  const BrushData& b = *p.b;
  switch (b.style) {
    case BS_SOLID: return p.colour;
    case BS_HATCHED:
      if (hatchBit(b.hatch, x - p.org.x, y - p.org.y)) return p.colour;
      return p.transparentBg ? kNone : p.bg;
    case BS_PATTERN: {
      if (b.pw == 0 || b.ph == 0) return kNone;
      const uint32_t v = b.pattern[static_cast<size_t>(posMod(y - p.org.y, b.ph) * b.pw +
                                                       posMod(x - p.org.x, b.pw))];
      if (b.mono) return v ? p.bg : p.fg;
      return p.mono ? monoPixel(v) : v;
    }
    default: return kNone;
  }
}

Paint penPaint(const DcData& d, const Target& t, COLORREF colour) {
  Paint p;
  p.colour = devicePixel(colour, t);
  p.rop = d.st.rop2;
  p.mono = t.mono;
  return p;
}

// A paint for a brush, or none for a null brush.
std::optional<Paint> brushPaint(const DcData& d, const Target& t, HBRUSH h, int rop) {
  const BrushData* b = brush(h);
  if (!b || b->style == BS_NULL) return std::nullopt;
  Paint p;
  p.brush = b->style != BS_SOLID;  // a solid brush paints as one colour, span by span
  p.b = b;
  p.colour = devicePixel(b->colour, t);
  p.fg = devicePixel(d.st.text, t);
  p.bg = devicePixel(d.st.bk, t);
  p.transparentBg = d.st.bkMode == TRANSPARENT;
  p.org = d.st.brushOrg;
  p.rop = rop;
  p.mono = t.mono;
  return p;
}

void rawSpan(Target& t, int y, int x0, int x1, const Paint& p) {
  uint32_t* row = t.px + static_cast<ptrdiff_t>(y + t.origin.y) * t.stride + t.origin.x;
  if (!p.brush && p.rop == R2_COPYPEN) {
    std::fill(row + x0, row + x1, p.colour);
    return;
  }
  for (int x = x0; x < x1; ++x) {
    const uint32_t s = paintAt(p, x, y);
    if (s == kNone) continue;
    row[x] = rop2(p.rop, s, row[x] & 0xFFFFFF);
  }
}

// Device-coordinate span [x0, x1) of row y, cut to the clip.
void putSpan(Target& t, int y, int x0, int x1, const Paint& p) {
  if (x1 <= x0) return;
  for (const RECT& r : t.clip.rects) {
    if (y < r.top || y >= r.bottom) continue;
    const int a = std::max<int>(x0, r.left), b = std::min<int>(x1, r.right);
    if (a < b) rawSpan(t, y, a, b, p);
  }
}

inline void putPixel(Target& t, int x, int y, uint32_t colour, int rop) {
  if (t.clip.rects.size() == 1) {
    const RECT& r = t.clip.rects[0];
    if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) return;
  } else if (!t.clip.contains(x, y)) {
    return;
  }
  uint32_t& px = t.px[static_cast<ptrdiff_t>(y + t.origin.y) * t.stride + t.origin.x + x];
  px = rop == R2_COPYPEN ? colour : rop2(rop, colour, px & 0xFFFFFF);
}

//------------------------------------------------------------------------------
// [SECTION] Shapes as rows of spans
// - Rows, polygonRows(), ellipseRows(), rectRows(), sector(), boundary(), minus()
//------------------------------------------------------------------------------

using Spans = std::vector<std::pair<int, int>>;  // sorted, disjoint [x0, x1)

struct Rows {
  int top = 0;
  std::vector<Spans> rows;
  const Spans* at(int y) const {
    static const Spans empty;
    const int i = y - top;
    return i >= 0 && i < static_cast<int>(rows.size()) ? &rows[static_cast<size_t>(i)] : &empty;
  }
};

Spans intersectSpans(const Spans& a, const Spans& b) {
  Spans r;
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const int lo = std::max(a[i].first, b[j].first), hi = std::min(a[i].second, b[j].second);
    if (lo < hi) r.push_back({lo, hi});
    if (a[i].second < b[j].second) ++i;
    else ++j;
  }
  return r;
}

Spans subtractSpans(const Spans& a, const Spans& b) {
  Spans r;
  size_t j = 0;
  for (auto [lo, hi] : a) {
    while (j < b.size() && b[j].second <= lo) ++j;
    size_t k = j;
    int cur = lo;
    while (k < b.size() && b[k].first < hi) {
      if (b[k].first > cur) r.push_back({cur, b[k].first});
      cur = std::max(cur, b[k].second);
      ++k;
    }
    if (cur < hi) r.push_back({cur, hi});
  }
  return r;
}

Spans shrinkSpans(const Spans& a) {
  Spans r;
  for (auto [lo, hi] : a)
    if (hi - lo > 2) r.push_back({lo + 1, hi - 1});
  return r;
}

// The pixels of shape s that have a 4-neighbour outside it: a one-pixel outline.
Rows boundary(const Rows& s) {
  Rows out;
  out.top = s.top;
  out.rows.resize(s.rows.size());
  for (size_t i = 0; i < s.rows.size(); ++i) {
    const int y = s.top + static_cast<int>(i);
    Spans inner = intersectSpans(shrinkSpans(s.rows[i]), *s.at(y - 1));
    inner = intersectSpans(inner, *s.at(y + 1));
    out.rows[i] = subtractSpans(s.rows[i], inner);
  }
  return out;
}

Rows minus(const Rows& a, const Rows& b) {
  Rows out = a;
  for (size_t i = 0; i < out.rows.size(); ++i)
    out.rows[i] = subtractSpans(out.rows[i], *b.at(a.top + static_cast<int>(i)));
  return out;
}

void paintRows(Target& t, const Rows& r, const Paint& p) {
  for (size_t i = 0; i < r.rows.size(); ++i)
    for (auto [x0, x1] : r.rows[i]) putSpan(t, r.top + static_cast<int>(i), x0, x1, p);
}

struct Pt {
  double x, y;
};

// Pixels whose centres lie inside the polygons (even-odd or non-zero winding).
// Shapes are worked out only within lim (the clip box with a margin), however large they are.
constexpr RECT kEverywhere{-(1 << 28), -(1 << 28), 1 << 28, 1 << 28};

RECT limitOf(const Target& t) {
  const RECT b = t.clip.box();
  return RECT{b.left - 2, b.top - 2, b.right + 2, b.bottom + 2};
}

Rows polygonRows(const std::vector<std::vector<Pt>>& polys, bool winding, const RECT& lim) {
  const int clipTop = lim.top, clipBottom = lim.bottom;
  Rows out;
  double ymin = 1e300, ymax = -1e300;
  for (const auto& poly : polys)
    for (const Pt& p : poly) {
      ymin = std::min(ymin, p.y);
      ymax = std::max(ymax, p.y);
    }
  if (ymin > ymax) return out;
  const int y0 = std::max(static_cast<int>(std::floor(ymin)), clipTop);
  const int y1 = std::min(static_cast<int>(std::ceil(ymax)), clipBottom);
  if (y1 <= y0) return out;
  struct Edge {
    double x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  for (const auto& poly : polys) {
    const size_t n = poly.size();
    for (size_t i = 0; i < n; ++i) {
      const Pt a = poly[i], b = poly[(i + 1) % n];
      if (a.y == b.y) continue;
      if (a.y < b.y) edges.push_back({a.x, a.y, b.x, b.y, 1});
      else edges.push_back({b.x, b.y, a.x, a.y, -1});
    }
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
  out.top = y0;
  out.rows.resize(static_cast<size_t>(y1 - y0));
  std::vector<std::pair<double, int>> xs;
  std::vector<const Edge*> active;
  size_t next = 0;
  for (int y = y0; y < y1; ++y) {
    const double yc = y + 0.5;
    while (next < edges.size() && edges[next].y0 <= yc) active.push_back(&edges[next++]);
    xs.clear();
    size_t keep = 0;
    for (const Edge* e : active) {
      if (e->y1 <= yc) continue;  // finished
      active[keep++] = e;
      if (e->y0 <= yc) xs.push_back({e->x0 + (yc - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0), e->dir});
    }
    active.resize(keep);
    std::sort(xs.begin(), xs.end());
    Spans& row = out.rows[static_cast<size_t>(y - y0)];
    int wind = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      wind += winding ? xs[i].second : 1;
      const bool inside = winding ? wind != 0 : (wind & 1) != 0;
      if (!inside) continue;
      // Centres x + 0.5 in [xa, xb).
      const double lo = std::clamp(xs[i].first, double(lim.left), double(lim.right));
      const double hi = std::clamp(xs[i + 1].first, double(lim.left), double(lim.right));
      const int a = static_cast<int>(std::ceil(lo - 0.5));
      const int b = static_cast<int>(std::ceil(hi - 0.5));
      if (a >= b) continue;
      if (!row.empty() && row.back().second >= a) row.back().second = std::max(row.back().second, b);
      else row.push_back({a, b});
    }
  }
  return out;
}

// Pixels whose centres lie inside the ellipse inscribed in [l, r) x [t, b).
Rows ellipseRows(double l, double t, double r, double b, const RECT& lim = kEverywhere) {
  Rows out;
  if (r <= l || b <= t) return out;
  const double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, ry = (b - t) / 2;
  const int y0 = std::max(static_cast<int>(std::floor(t)), static_cast<int>(lim.top));
  const int y1 = std::min(static_cast<int>(std::ceil(b)), static_cast<int>(lim.bottom));
  if (y1 <= y0) return out;
  out.top = y0;
  out.rows.resize(static_cast<size_t>(y1 - y0));
  for (int y = y0; y < y1; ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    if (dy < -1 || dy > 1) continue;
    const double half = rx * std::sqrt(std::max(0.0, 1 - dy * dy));
    const int a = static_cast<int>(std::max(std::ceil(cx - half - 0.5 - 1e-9), double(lim.left)));
    const int e = static_cast<int>(std::min(std::floor(cx + half - 0.5 + 1e-9) + 1, double(lim.right)));
    if (a < e) out.rows[static_cast<size_t>(y - y0)].push_back({a, e});
  }
  return out;
}

Rows rectRows(int l, int t, int r, int b, const RECT& lim = kEverywhere) {
  l = std::max<int>(l, lim.left);
  t = std::max<int>(t, lim.top);
  r = std::min<int>(r, lim.right);
  b = std::min<int>(b, lim.bottom);
  Rows out;
  if (r <= l || b <= t) return out;
  out.top = t;
  out.rows.assign(static_cast<size_t>(b - t), Spans{{l, r}});
  return out;
}

// Keeps the pixels whose centres lie in the sector swept counterclockwise (as seen on the
// screen) from the ray towards start to the ray towards end, about (cx, cy).
Rows sector(const Rows& s, double cx, double cy, Pt start, Pt end) {
  constexpr double twoPi = 6.283185307179586;
  const double a0 = std::atan2(-(start.y - cy), start.x - cx);
  const double a1 = std::atan2(-(end.y - cy), end.x - cx);
  double sweep = std::fmod(a1 - a0 + 2 * twoPi, twoPi);
  if (sweep == 0) sweep = twoPi;
  Rows out;
  out.top = s.top;
  out.rows.resize(s.rows.size());
  for (size_t i = 0; i < s.rows.size(); ++i) {
    const double yc = s.top + static_cast<double>(i) + 0.5;
    for (auto [x0, x1] : s.rows[i]) {
      int runStart = 0;
      bool in = false;
      for (int x = x0; x <= x1; ++x) {
        bool inside = false;
        if (x < x1) {
          const double dx = x + 0.5 - cx, dy = yc - cy;
          if (dx == 0 && dy == 0) inside = true;
          else inside = std::fmod(std::atan2(-dy, dx) - a0 + 2 * twoPi, twoPi) <= sweep + 1e-12;
        }
        if (inside && !in) { runStart = x; in = true; }
        if (!inside && in) { out.rows[i].push_back({runStart, x}); in = false; }
      }
    }
  }
  return out;
}

//------------------------------------------------------------------------------
// [SECTION] Thin lines
// - linePixels(), stylePattern(), drawThin()
//------------------------------------------------------------------------------

// Pixels from (x0, y0) towards (x1, y1), the end pixel left out; each pixel is the one
// nearest the exact line on the minor axis, halves going to the larger coordinate, so a
// line gives the same pixels drawn either way.
// Only the steps whose major coordinate lies in [lo, hi) are visited; the function returns
// the number of steps of the whole line.
template <class F>
long linePixels(long x0, long y0, long x1, long y1, const RECT& lim, F&& put) {
  const long dx = x1 - x0, dy = y1 - y0;
  const long adx = std::labs(dx), ady = std::labs(dy);
  auto range = [](long start, int dir, long n, long lo, long hi, long& from, long& to) {
    // Steps i in [0, n) with start + dir * i in [lo, hi).
    if (dir > 0) { from = lo - start; to = hi - start; }
    else { from = start - hi + 1; to = start - lo + 1; }
    from = std::max(from, 0L);
    to = std::min(to, n);
  };
  long from = 0, to = 0;
  // The minor coordinate of step i is floor((2 i d + n) / 2n): kept as quotient and
  // remainder and moved on by 2d each step. The first step may lie some 2^32 steps along a
  // line from far away: its product is formed in 128 bits.
  auto walk = [&](long n, long d, auto&& plot) {
    const long den = 2 * n;
    const __int128 num = static_cast<__int128>(2) * from * d + n;
    __int128 q128 = num / den;
    if (num % den != 0 && num < 0) --q128;
    long q = static_cast<long>(q128);
    long r = static_cast<long>(num - q128 * den);
    for (long i = from; i < to; ++i) {
      plot(i, q);
      r += 2 * d;
      if (r >= den) { r -= den; ++q; }
      else if (r < 0) { r += den; --q; }
    }
  };
  if (adx >= ady) {
    const int sx = dx > 0 ? 1 : -1;
    range(x0, sx, adx, lim.left, lim.right, from, to);
    if (from < to)
      walk(adx, dy, [&](long i, long q) { put(static_cast<int>(x0 + sx * i), static_cast<int>(y0 + q)); });
  } else {
    const int sy = dy > 0 ? 1 : -1;
    range(y0, sy, ady, lim.top, lim.bottom, from, to);
    if (from < to)
      walk(ady, dx, [&](long i, long q) { put(static_cast<int>(x0 + q), static_cast<int>(y0 + sy * i)); });
  }
  return std::max(adx, ady);
}

// Dash patterns of the cosmetic styles, in pixels: on, off, on, off ...
std::vector<long> stylePattern(const PenData& p) {
  switch (p.style) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE: return {1, 1};
    case PS_USERSTYLE: {
      std::vector<long> v;
      for (DWORD d : p.dashes) v.push_back(static_cast<long>(d));
      return v;
    }
    default: return {};
  }
}

bool isThin(const PenData& p) { return !p.geometric && p.width <= 1; }

// Draws the thin segments of a connected run; the style carries from one to the next.
void drawThin(DcData& d, Target& t, const PenData& pen, const std::vector<FarPoint>& dev) {
  const std::vector<long> pattern = stylePattern(pen);
  long period = 0;
  for (long v : pattern) period += v;
  const uint32_t fg = devicePixel(pen.colour, t);
  const uint32_t bg = devicePixel(d.st.bk, t);
  const bool gaps = d.st.bkMode == OPAQUE;
  const int rop = d.st.rop2;
  const RECT lim = limitOf(t);
  for (size_t k = 0; k + 1 < dev.size(); ++k) {
    // The style position of a pixel is the segment's start position plus its step number.
    const long base = d.styleOffset;
    const long steps = linePixels(dev[k].x, dev[k].y, dev[k + 1].x, dev[k + 1].y, lim, [&](int x, int y) {
      bool on = true;
      if (period > 0) {
        const long step = std::max(std::labs(long(x) - dev[k].x), std::labs(long(y) - dev[k].y));
        long pos = (base + step) % period;
        size_t i = 0;
        while (pos >= pattern[i]) { pos -= pattern[i]; ++i; }
        on = (i % 2) == 0;
      }
      if (on) putPixel(t, x, y, fg, rop);
      else if (gaps) putPixel(t, x, y, bg, rop);
    });
    d.styleOffset = period > 0 ? (base + steps) % period : 0;
  }
}

//------------------------------------------------------------------------------
// [SECTION] Wide lines
// - strokePiece(), dashPieces(), fillConvex(), drawWide(): outlines of dashes, caps and
//   joins, filled piece by piece or as one union by non-zero winding
//------------------------------------------------------------------------------

void orient(std::vector<Pt>& poly) {
  double a = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const Pt& p = poly[i];
    const Pt& q = poly[(i + 1) % poly.size()];
    a += p.x * q.y - q.x * p.y;
  }
  if (a < 0) std::reverse(poly.begin(), poly.end());
}

std::vector<Pt> disc(Pt c, double r) {
  // Four corners a pixel of radius up to 64; beyond, as many as keep every chord within a
  // fiftieth of a pixel of the circle, so the widest pens (4096) do not fill caps of 8192
  // corners, row by row, at every end of every line.
  const int fine = static_cast<int>(std::ceil(M_PI * std::sqrt(25.0 * std::max(r, 0.0))));
  const int n = std::max(8, std::min(static_cast<int>(r * 4), std::max(256, fine)));
  std::vector<Pt> v;
  for (int i = 0; i < n; ++i) {
    const double a = 6.283185307179586 * i / n;
    v.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
  return v;
}

// Outline polygons of one dash (a polyline through pixel centres) of a pen of width w.
void strokePiece(const std::vector<Pt>& pts, double w, UINT cap, UINT join,
                 std::vector<std::vector<Pt>>& out) {
  const double h = w / 2;
  if (pts.size() < 2) return;
  std::vector<Pt> dirs;
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    const double dx = pts[i + 1].x - pts[i].x, dy = pts[i + 1].y - pts[i].y;
    const double len = std::hypot(dx, dy);
    dirs.push_back(len > 0 ? Pt{dx / len, dy / len} : Pt{0, 0});
  }
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    const Pt u = dirs[i];
    if (u.x == 0 && u.y == 0) continue;
    const Pt n{-u.y * h, u.x * h};
    Pt a = pts[i], b = pts[i + 1];
    if (cap == PS_ENDCAP_SQUARE) {
      if (i == 0) a = {a.x - u.x * h, a.y - u.y * h};
      if (i + 2 == pts.size()) b = {b.x + u.x * h, b.y + u.y * h};
    }
    std::vector<Pt> q{{a.x + n.x, a.y + n.y}, {b.x + n.x, b.y + n.y}, {b.x - n.x, b.y - n.y}, {a.x - n.x, a.y - n.y}};
    orient(q);
    out.push_back(std::move(q));
  }
  if (cap == PS_ENDCAP_ROUND) {
    out.push_back(disc(pts.front(), h));
    out.push_back(disc(pts.back(), h));
  }
  for (size_t i = 1; i + 1 < pts.size(); ++i) {
    const Pt u1 = dirs[i - 1], u2 = dirs[i], v = pts[i];
    if ((u1.x == 0 && u1.y == 0) || (u2.x == 0 && u2.y == 0)) continue;
    if (join == PS_JOIN_ROUND) {
      out.push_back(disc(v, h));
      continue;
    }
    const double cross = u1.x * u2.y - u1.y * u2.x;
    if (cross == 0) continue;
    const double s = cross > 0 ? -1 : 1;  // the outer side of the turn
    const Pt n1{-u1.y * h * s, u1.x * h * s}, n2{-u2.y * h * s, u2.x * h * s};
    std::vector<Pt> tri{v, {v.x + n1.x, v.y + n1.y}, {v.x + n2.x, v.y + n2.y}};
    if (join == PS_JOIN_MITER) {
      // The outer offset lines meet at the miter point; beyond a limit of 10 it is a bevel.
      const double cosHalf = std::sqrt(std::max(0.0, (1 + (u1.x * u2.x + u1.y * u2.y)) / 2));
      if (cosHalf > 0.1) {
        const Pt m{n1.x + n2.x, n1.y + n2.y};
        const double ml = std::hypot(m.x, m.y);
        if (ml > 0) {
          const double k = h / cosHalf / ml;
          tri = {v, {v.x + n1.x, v.y + n1.y}, {v.x + m.x * k, v.y + m.y * k}, {v.x + n2.x, v.y + n2.y}};
        }
      }
    }
    orient(tri);
    out.push_back(std::move(tri));
  }
}

// Cuts a polyline into its dashes (on, off, ... lengths along the path).
// The part [t0, t1] of the segment a-b (as fractions) inside box; false when none.
bool visiblePart(Pt a, Pt b, const RECT& box, double& t0, double& t1) {
  t0 = 0;
  t1 = 1;
  const double d[2] = {b.x - a.x, b.y - a.y}, p0[2] = {a.x, a.y};
  const double lo[2] = {double(box.left), double(box.top)}, hi[2] = {double(box.right), double(box.bottom)};
  for (int k = 0; k < 2; ++k) {
    if (d[k] == 0) {
      if (p0[k] < lo[k] || p0[k] > hi[k]) return false;
      continue;
    }
    double ta = (lo[k] - p0[k]) / d[k], tb = (hi[k] - p0[k]) / d[k];
    if (ta > tb) std::swap(ta, tb);
    t0 = std::max(t0, ta);
    t1 = std::min(t1, tb);
  }
  return t0 <= t1;
}

// Dashes outside box are skipped without being made; the pattern keeps its phase.
std::vector<std::vector<Pt>> dashPieces(const std::vector<Pt>& pts, const std::vector<long>& pattern,
                                        const RECT& box) {
  std::vector<std::vector<Pt>> pieces;
  long period = 0;
  for (long v : pattern) period += v;
  if (period <= 0) return {pts};
  size_t idx = 0;
  double left = static_cast<double>(pattern[0]);
  bool on = true;
  std::vector<Pt> cur{pts[0]};
  // Moves the pattern on by len without making dashes.
  auto skip = [&](double len) {
    len = std::fmod(len, static_cast<double>(period));
    while (len > 0) {
      const double step = std::min(left, len);
      len -= step;
      left -= step;
      if (left <= 1e-9) {
        on = !on;
        idx = (idx + 1) % pattern.size();
        left = static_cast<double>(pattern[idx]);
      }
    }
  };
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    Pt a = pts[i];
    Pt b = pts[i + 1];
    const double fullLen = std::hypot(b.x - a.x, b.y - a.y);
    double t0 = 0, t1 = 1;
    if (!visiblePart(a, b, box, t0, t1)) {
      if (on && cur.size() >= 2) pieces.push_back(cur);
      skip(fullLen);
      cur.assign(1, b);
      continue;
    }
    const Pt a0 = a;
    double after = 0;
    if (t0 > 0 || t1 < 1) {
      if (on && cur.size() >= 2 && t0 > 0) pieces.push_back(cur);
      skip(fullLen * t0);
      a = {a0.x + (b.x - a0.x) * t0, a0.y + (b.y - a0.y) * t0};
      if (t0 > 0) cur.assign(1, a);
      after = fullLen * (1 - t1);
      b = {a0.x + (b.x - a0.x) * t1, a0.y + (b.y - a0.y) * t1};
    }
    double segLen = std::hypot(b.x - a.x, b.y - a.y);
    while (segLen > 0) {
      const double step = std::min(left, segLen);
      const double f = step / segLen;
      const Pt m{a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f};
      if (on) cur.push_back(m);
      a = m;
      segLen -= step;
      left -= step;
      if (left <= 1e-9) {
        if (on && cur.size() >= 2) pieces.push_back(cur);
        on = !on;
        idx = (idx + 1) % pattern.size();
        left = static_cast<double>(pattern[idx]);
        cur.assign(1, a);
        // A zero-length dash still shows its caps.
        while (left <= 0) {
          if (on) pieces.push_back({a, a});
          on = !on;
          idx = (idx + 1) % pattern.size();
          left = static_cast<double>(pattern[idx]);
        }
      }
    }
    if (after > 0) {
      if (on && cur.size() >= 2) pieces.push_back(cur);
      skip(after);
      cur.assign(1, pts[i + 1]);
    }
  }
  if (on && cur.size() >= 2) pieces.push_back(cur);
  return pieces;
}

// Fills a convex polygon straight into the target: one span per row, by the same centre rule
// as polygonRows, without building rows.
void fillConvex(Target& t, const std::vector<Pt>& poly, const RECT& lim, const Paint& p) {
  if (poly.size() < 3) return;
  double ymin = poly[0].y, ymax = poly[0].y;
  for (const Pt& q : poly) {
    ymin = std::min(ymin, q.y);
    ymax = std::max(ymax, q.y);
  }
  const int y0 = std::max(static_cast<int>(std::ceil(ymin - 0.5)), static_cast<int>(lim.top));
  const int y1 = std::min(static_cast<int>(std::ceil(ymax - 0.5)), static_cast<int>(lim.bottom));
  const size_t n = poly.size();
  for (int y = y0; y < y1; ++y) {
    const double yc = y + 0.5;
    double lo = 1e300, hi = -1e300;
    for (size_t i = 0; i < n; ++i) {
      const Pt a = poly[i], b = poly[(i + 1) % n];
      const double ya = std::min(a.y, b.y), yb = std::max(a.y, b.y);
      if (a.y == b.y || yc < ya || yc >= yb) continue;
      const double x = a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y);
      lo = std::min(lo, x);
      hi = std::max(hi, x);
    }
    if (lo >= hi) continue;
    lo = std::clamp(lo, double(lim.left), double(lim.right));
    hi = std::clamp(hi, double(lim.left), double(lim.right));
    putSpan(t, y, static_cast<int>(std::ceil(lo - 0.5)), static_cast<int>(std::ceil(hi - 0.5)), p);
  }
}

void drawWide(DcData& d, Target& t, const PenData& pen, const std::vector<FarPoint>& dev, bool closed) {
  std::vector<Pt> pts;
  for (const FarPoint& p : dev) pts.push_back({static_cast<double>(p.x) + 0.5, static_cast<double>(p.y) + 0.5});
  if (closed && !dev.empty()) pts.push_back(pts.front());
  std::vector<std::vector<Pt>> pieces;
  const std::vector<long> pattern = pen.style == PS_USERSTYLE ? stylePattern(pen) : std::vector<long>{};
  if (!pattern.empty()) {
    const RECT lim = limitOf(t);
    const LONG m = pen.width + 2;
    pieces = dashPieces(pts, pattern, RECT{lim.left - m, lim.top - m, lim.right + m, lim.bottom + m});
  }
  else pieces.push_back(pts);
  std::vector<std::vector<Pt>> outlines;
  const double w = std::max(1, pen.width);
  for (auto& piece : pieces) {
    if (piece.size() == 2 && piece[0].x == piece[1].x && piece[0].y == piece[1].y) {
      // A dot: only its caps.
      if (pen.endcap == PS_ENDCAP_ROUND) outlines.push_back(disc(piece[0], w / 2));
      else if (pen.endcap == PS_ENDCAP_SQUARE)
        outlines.push_back({{piece[0].x - w / 2, piece[0].y - w / 2}, {piece[0].x + w / 2, piece[0].y - w / 2},
                            {piece[0].x + w / 2, piece[0].y + w / 2}, {piece[0].x - w / 2, piece[0].y + w / 2}});
      continue;
    }
    if (closed && pattern.empty()) {
      // A closed figure joins at its first point too.
      piece.push_back(piece[1]);
      strokePiece(piece, w, PS_ENDCAP_FLAT, pen.join, outlines);
      continue;
    }
    strokePiece(piece, w, pen.endcap, pen.join, outlines);
  }
  for (auto& o : outlines) orient(o);
  const Paint p = penPaint(d, t, pen.colour);
  const RECT lim = limitOf(t);
  // Painting a pixel twice changes nothing under these modes, so the pieces may be filled one
  // by one; the others need the union, so that overlaps are painted once.
  const int r2 = d.st.rop2;
  const bool idempotent = r2 == R2_COPYPEN || r2 == R2_NOTCOPYPEN || r2 == R2_BLACK || r2 == R2_WHITE ||
                          r2 == R2_MASKPEN || r2 == R2_MERGEPEN || r2 == R2_MASKNOTPEN ||
                          r2 == R2_MERGENOTPEN || r2 == R2_NOP;
  if (idempotent) {
    for (const auto& o : outlines) fillConvex(t, o, lim, p);
  } else {
    paintRows(t, polygonRows(outlines, true, lim), p);
  }
}

// Draws an open polyline (device points) with the DC's pen.
void strokePath(DcData& d, Target& t, const std::vector<FarPoint>& dev, bool closed) {
  const PenData* pn = pen(d.st.pen);
  if (!pn || pn->style == PS_NULL || dev.size() < 2) return;
  if (isThin(*pn)) {
    std::vector<FarPoint> path = dev;
    if (closed) path.push_back(dev.front());
    drawThin(d, t, *pn, path);
  } else {
    drawWide(d, t, *pn, dev, closed);
  }
}

}  // namespace

void fillDevicePolygon(Target& t, const std::vector<std::pair<double, double>>& corners, uint32_t colour) {
  std::vector<Pt> poly;
  for (auto [x, y] : corners) poly.push_back({x, y});
  Paint p;
  p.colour = colour;
  paintRows(t, polygonRows({poly}, true, limitOf(t)), p);
}

}  // namespace win::gdi

//------------------------------------------------------------------------------
// [SECTION] Drawing calls
//------------------------------------------------------------------------------
namespace win {
using namespace gdi;

BOOL MoveToEx(HDC h, int x, int y, POINT* previous) {
  DcData* d = dc(h);
  if (!d) return FALSE;
  if (previous) *previous = d->st.current;
  if (d->rec) metaRecord(*d, 27, {x, y});
  d->st.current = POINT{x, y};
  d->styleOffset = 0;
  return TRUE;
}

BOOL LineTo(HDC h, int x, int y) {
  DcData* d = dc(h);
  if (!d) return FALSE;
  if (d->rec) {
    metaRecord(*d, 54, {x, y});
    d->st.current = POINT{x, y};
    return TRUE;
  }
  Target t;
  if (resolveTarget(*d, t)) {
    const FarPoint a = toDeviceFar(*d, d->st.current.x, d->st.current.y), b = toDeviceFar(*d, x, y);
    strokePath(*d, t, {a, b}, false);
    finishTarget(t);
  }
  d->st.current = POINT{x, y};
  return TRUE;
}

BOOL Polyline(HDC h, const POINT* points, int count) {
  DcData* d = dc(h);
  if (!d || !points || count < 2) return FALSE;
  if (d->rec) {
    MetaRecord r;
    r.type = 4;
    r.points.assign(points, points + count);
    metaRecord(*d, std::move(r));
    return TRUE;
  }
  Target t;
  if (!resolveTarget(*d, t)) return TRUE;
  std::vector<FarPoint> dev;
  for (int i = 0; i < count; ++i) dev.push_back(toDeviceFar(*d, points[i].x, points[i].y));
  const long saved = d->styleOffset;
  d->styleOffset = 0;
  strokePath(*d, t, dev, false);
  d->styleOffset = saved;
  finishTarget(t);
  return TRUE;
}

namespace {
BOOL polygons(HDC h, const POINT* points, const int* counts, int n) {
  DcData* d = dc(h);
  if (!d || !points || !counts || n <= 0) return FALSE;
  if (d->rec) {
    // One polygon as type 3, several as type 8 with their counts.
    MetaRecord r;
    r.type = n == 1 ? 3 : 8;
    int total = 0;
    for (int k = 0; k < n; ++k) {
      if (counts[k] < 2) return FALSE;
      if (n > 1) r.args.push_back(counts[k]);
      total += counts[k];
    }
    r.points.assign(points, points + total);
    metaRecord(*d, std::move(r));
    return TRUE;
  }
  std::vector<std::vector<Pt>> polys;
  std::vector<std::vector<FarPoint>> dev;
  const POINT* p = points;
  for (int k = 0; k < n; ++k) {
    if (counts[k] < 2) return FALSE;
    std::vector<Pt> poly;
    std::vector<FarPoint> dv;
    for (int i = 0; i < counts[k]; ++i) {
      const POINT q = toDevice(*d, p[i].x, p[i].y);
      dv.push_back(toDeviceFar(*d, p[i].x, p[i].y));
      poly.push_back({static_cast<double>(q.x), static_cast<double>(q.y)});
    }
    p += counts[k];
    polys.push_back(std::move(poly));
    dev.push_back(std::move(dv));
  }
  Target t;
  if (!resolveTarget(*d, t)) return TRUE;
  if (auto bp = brushPaint(*d, t, d->st.brush, d->st.rop2)) {
    paintRows(t, polygonRows(polys, d->st.fillMode == WINDING, limitOf(t)), *bp);
  }
  for (const auto& dv : dev) {
    const long saved = d->styleOffset;
    d->styleOffset = 0;
    strokePath(*d, t, dv, true);
    d->styleOffset = saved;
  }
  finishTarget(t);
  return TRUE;
}
}  // namespace

BOOL Polygon(HDC h, const POINT* points, int count) { return polygons(h, points, &count, 1); }

BOOL PolyPolygon(HDC h, const POINT* points, const int* counts, int n) {
  return polygons(h, points, counts, n);
}

namespace {

// The outline and interior of a figure bounded by the device rectangle [l, r) x [t, b), as
// the DC's pen draws it: a thin pen takes the outer pixels; a wide pen is centred on them
// (inside for PS_INSIDEFRAME); without a pen the interior is one pixel shorter on the right
// and at the bottom.
// A wide pen on a figure with straight sides (a pie's radii) is a band w pixels deep inside
// the figure's edge: the figure less w rounds of its one-pixel boundary.
Rows bandInside(const Rows& all, int w) {
  Rows inner = all;
  for (int k = 0; k < w; ++k) inner = minus(inner, boundary(inner));
  return inner;
}

template <class Shape>
void figure(DcData& d, Target& t, RECT rc, Shape&& shapeIn, bool erodeWide = false) {
  const RECT lim = limitOf(t);
  auto shape = [&](int l, int tp, int r, int b) { return shapeIn(l, tp, r, b, lim); };
  const PenData* pn = pen(d.st.pen);
  const bool noPen = !pn || pn->style == PS_NULL;
  Rows fillRows, outline;
  if (noPen) {
    fillRows = shape(rc.left, rc.top, rc.right - 1, rc.bottom - 1);
  } else {
    const int w = std::max(1, pn->width);
    RECT outer = rc;
    if (w > 1 && pn->style != PS_INSIDEFRAME) {
      outer = {rc.left - w / 2, rc.top - w / 2, rc.right + (w - 1) / 2, rc.bottom + (w - 1) / 2};
    }
    const Rows all = shape(outer.left, outer.top, outer.right, outer.bottom);
    if (w == 1) {
      outline = boundary(all);
      fillRows = minus(all, outline);
    } else {
      fillRows = erodeWide ? bandInside(all, w) : shape(outer.left + w, outer.top + w, outer.right - w, outer.bottom - w);
      outline = minus(all, fillRows);
    }
  }
  if (auto bp = brushPaint(d, t, d.st.brush, d.st.rop2)) paintRows(t, fillRows, *bp);
  if (!noPen) paintRows(t, outline, penPaint(d, t, pn->colour));
}

}  // namespace

BOOL Rectangle(HDC h, int left, int top, int right, int bottom) {
  DcData* d = dc(h);
  if (!d) return FALSE;
  if (d->rec) {
    metaRecord(*d, 43, {left, top, right, bottom});
    return TRUE;
  }
  Target t;
  if (!resolveTarget(*d, t)) return TRUE;
  figure(*d, t, normalised(*d, left, top, right, bottom),
         [](int l, int tp, int r, int b, const RECT& lim) { return rectRows(l, tp, r, b, lim); });
  finishTarget(t);
  return TRUE;
}

BOOL Ellipse(HDC h, int left, int top, int right, int bottom) {
  DcData* d = dc(h);
  if (!d) return FALSE;
  if (d->rec) {
    metaRecord(*d, 42, {left, top, right, bottom});
    return TRUE;
  }
  Target t;
  if (!resolveTarget(*d, t)) return TRUE;
  figure(*d, t, normalised(*d, left, top, right, bottom),
         [](int l, int tp, int r, int b, const RECT& lim) { return ellipseRows(l, tp, r, b, lim); });
  finishTarget(t);
  return TRUE;
}

BOOL Pie(HDC h, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  DcData* d = dc(h);
  if (!d) return FALSE;
  if (d->rec) {
    metaRecord(*d, 47, {left, top, right, bottom, xs, ys, xe, ye});
    return TRUE;
  }
  Target t;
  if (!resolveTarget(*d, t)) return TRUE;
  const RECT rc = normalised(*d, left, top, right, bottom);
  const double cx = (rc.left + rc.right) / 2.0, cy = (rc.top + rc.bottom) / 2.0;
  const POINT s = toDevice(*d, xs, ys), e = toDevice(*d, xe, ye);
  // The pie's outline is its boundary: the arc and both radii.
  figure(*d, t, rc, [&](int l, int tp, int r, int b, const RECT& lim) {
    return sector(ellipseRows(l, tp, r, b, lim), cx, cy, {double(s.x), double(s.y)}, {double(e.x), double(e.y)});
  }, true);
  finishTarget(t);
  return TRUE;
}

BOOL Arc(HDC h, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
  DcData* d = dc(h);
  if (!d) return FALSE;
  if (d->rec) {
    metaRecord(*d, 45, {left, top, right, bottom, xs, ys, xe, ye});
    return TRUE;
  }
  const PenData* pn = pen(d->st.pen);
  Target t;
  if (!pn || pn->style == PS_NULL || !resolveTarget(*d, t)) return TRUE;
  const RECT rc = normalised(*d, left, top, right, bottom);
  const double cx = (rc.left + rc.right) / 2.0, cy = (rc.top + rc.bottom) / 2.0;
  const POINT s = toDevice(*d, xs, ys), e = toDevice(*d, xe, ye);
  const int w = std::max(1, pn->width);
  RECT outer = rc;
  if (w > 1 && pn->style != PS_INSIDEFRAME)
    outer = {rc.left - w / 2, rc.top - w / 2, rc.right + (w - 1) / 2, rc.bottom + (w - 1) / 2};
  const RECT lim = limitOf(t);
  const Rows all = ellipseRows(outer.left, outer.top, outer.right, outer.bottom, lim);
  const Rows ring = w == 1 ? boundary(all)
                           : minus(all, ellipseRows(outer.left + w, outer.top + w, outer.right - w, outer.bottom - w, lim));
  paintRows(t, sector(ring, cx, cy, {double(s.x), double(s.y)}, {double(e.x), double(e.y)}),
            penPaint(*d, t, pn->colour));
  finishTarget(t);
  return TRUE;
}

int FillRect(HDC h, const RECT& rect, HBRUSH hb) {
  DcData* d = dc(h);
  // A system colour index + 1 in place of a brush stands for that colour's brush.
  const std::uintptr_t v = reinterpret_cast<std::uintptr_t>(hb);
  if (v >= 1 && v <= static_cast<std::uintptr_t>(COLOR_INFOBK) + 1) hb = GetSysColorBrush(static_cast<int>(v) - 1);
  if (!d || !brush(hb)) return 0;
  Target t;
  if (!resolveTarget(*d, t)) return 1;
  if (auto bp = brushPaint(*d, t, hb, R2_COPYPEN)) {
    const RECT rc = normalised(*d, rect.left, rect.top, rect.right, rect.bottom);
    paintRows(t, rectRows(rc.left, rc.top, rc.right, rc.bottom, limitOf(t)), *bp);
  }
  finishTarget(t);
  return 1;
}

int FrameRect(HDC h, const RECT& rect, HBRUSH hb) {
  DcData* d = dc(h);
  if (!d || !brush(hb)) return 0;
  Target t;
  if (!resolveTarget(*d, t)) return 1;
  if (auto bp = brushPaint(*d, t, hb, R2_COPYPEN)) {
    const RECT rc = normalised(*d, rect.left, rect.top, rect.right, rect.bottom);
    const Rows all = rectRows(rc.left, rc.top, rc.right, rc.bottom, limitOf(t));
    paintRows(t, boundary(all), *bp);
  }
  finishTarget(t);
  return 1;
}

BOOL InvertRect(HDC h, const RECT& rect) {
  DcData* d = dc(h);
  if (!d) return FALSE;
  Target t;
  if (!resolveTarget(*d, t)) return TRUE;
  const RECT rc = normalised(*d, rect.left, rect.top, rect.right, rect.bottom);
  Paint p;
  p.rop = R2_NOT;
  paintRows(t, rectRows(rc.left, rc.top, rc.right, rc.bottom, limitOf(t)), p);
  finishTarget(t);
  return TRUE;
}

BOOL FillRgn(HDC h, HRGN rgn, HBRUSH hb) {
  DcData* d = dc(h);
  Region* r = region(rgn);
  if (!d || !r || !brush(hb)) return FALSE;
  Target t;
  if (!resolveTarget(*d, t)) return TRUE;
  if (auto bp = brushPaint(*d, t, hb, R2_COPYPEN)) {
    // Region coordinates are logical.
    const POINT o = toDevice(*d, 0, 0);
    for (const RECT& rc : r->rects)
      for (int y = rc.top; y < rc.bottom; ++y) putSpan(t, y + o.y, rc.left + o.x, rc.right + o.x, *bp);
  }
  finishTarget(t);
  return TRUE;
}

COLORREF SetPixel(HDC h, int x, int y, COLORREF colour) {
  DcData* d = dc(h);
  if (!d) return CLR_INVALID;
  if (d->rec) {
    metaRecord(*d, 15, {x, y, static_cast<LONG>(colour)});
    return colour;
  }
  Target t;
  if (!resolveTarget(*d, t)) return CLR_INVALID;
  const POINT p = toDevice(*d, x, y);
  if (!t.clip.contains(p.x, p.y)) return CLR_INVALID;
  const uint32_t v = devicePixel(colour, t);
  t.px[static_cast<ptrdiff_t>(p.y + t.origin.y) * t.stride + t.origin.x + p.x] = v;
  finishTarget(t);
  return toColorref(v);
}

BOOL SetPixelV(HDC h, int x, int y, COLORREF colour) {
  return SetPixel(h, x, y, colour) != CLR_INVALID ? TRUE : FALSE;
}

COLORREF GetPixel(HDC h, int x, int y) {
  DcData* d = dc(h);
  if (!d) return CLR_INVALID;
  Target t;
  if (!resolveTarget(*d, t)) return CLR_INVALID;
  const POINT p = toDevice(*d, x, y);
  if (!t.clip.contains(p.x, p.y)) return CLR_INVALID;
  return toColorref(t.px[static_cast<ptrdiff_t>(p.y + t.origin.y) * t.stride + t.origin.x + p.x] & 0xFFFFFF);
}

namespace {

uint32_t shade(double r, double g, double b, bool mono) {
  auto ch = [](double v) { return static_cast<uint32_t>(std::clamp(static_cast<int>(std::lround(v)), 0, 255)); };
  const uint32_t p = (ch(r) << 16) | (ch(g) << 8) | ch(b);
  return mono ? monoPixel(p) : p;
}

}  // namespace

BOOL GradientFill(HDC h, const TRIVERTEX* v, ULONG nv, const void* meshes, ULONG nm, ULONG mode) {
  DcData* d = dc(h);
  if (!d || !v || (nm && !meshes) || mode > GRADIENT_FILL_TRIANGLE) return FALSE;
  if (d->rec) {
    // Type 118: the mode, then per vertex x, y and the four channels; the meshes as points.
    MetaRecord r;
    r.type = 118;
    r.args = {static_cast<LONG>(mode)};
    for (ULONG i = 0; i < nv; ++i)
      r.data.insert(r.data.end(), {static_cast<uint32_t>(v[i].x), static_cast<uint32_t>(v[i].y), v[i].Red,
                                   v[i].Green, v[i].Blue, v[i].Alpha});
    for (ULONG k = 0; k < nm; ++k) {
      if (mode == GRADIENT_FILL_TRIANGLE) {
        const GRADIENT_TRIANGLE& tri = static_cast<const GRADIENT_TRIANGLE*>(meshes)[k];
        if (tri.Vertex1 >= nv || tri.Vertex2 >= nv || tri.Vertex3 >= nv) return FALSE;
        r.points.push_back(POINT{static_cast<LONG>(tri.Vertex1), static_cast<LONG>(tri.Vertex2)});
        r.points.push_back(POINT{static_cast<LONG>(tri.Vertex3), 0});
      } else {
        const GRADIENT_RECT& gr = static_cast<const GRADIENT_RECT*>(meshes)[k];
        if (gr.UpperLeft >= nv || gr.LowerRight >= nv) return FALSE;
        r.points.push_back(POINT{static_cast<LONG>(gr.UpperLeft), static_cast<LONG>(gr.LowerRight)});
      }
    }
    metaRecord(*d, std::move(r));
    return TRUE;
  }
  Target t;
  if (!resolveTarget(*d, t)) return TRUE;
  const RECT lim = limitOf(t);
  auto chan = [](COLOR16 c) { return static_cast<double>(c >> 8); };
  for (ULONG k = 0; k < nm; ++k) {
    if (mode == GRADIENT_FILL_TRIANGLE) {
      const GRADIENT_TRIANGLE& tri = static_cast<const GRADIENT_TRIANGLE*>(meshes)[k];
      if (tri.Vertex1 >= nv || tri.Vertex2 >= nv || tri.Vertex3 >= nv) return FALSE;
      const TRIVERTEX* q[3] = {&v[tri.Vertex1], &v[tri.Vertex2], &v[tri.Vertex3]};
      POINT p[3];
      for (int i = 0; i < 3; ++i) p[i] = toDevice(*d, q[i]->x, q[i]->y);
      const double det = double(p[1].y - p[2].y) * (p[0].x - p[2].x) + double(p[2].x - p[1].x) * (p[0].y - p[2].y);
      if (det == 0) continue;
      const Rows rows = polygonRows({{{double(p[0].x), double(p[0].y)}, {double(p[1].x), double(p[1].y)},
                                      {double(p[2].x), double(p[2].y)}}}, false, lim);
      for (size_t i = 0; i < rows.rows.size(); ++i) {
        const int y = rows.top + static_cast<int>(i);
        for (auto [x0, x1] : rows.rows[i])
          for (int x = x0; x < x1; ++x) {
            if (!t.clip.contains(x, y)) continue;
            // Barycentric weights at the pixel centre.
            const double px = x + 0.5, py = y + 0.5;
            const double w0 = (double(p[1].y - p[2].y) * (px - p[2].x) + double(p[2].x - p[1].x) * (py - p[2].y)) / det;
            const double w1 = (double(p[2].y - p[0].y) * (px - p[2].x) + double(p[0].x - p[2].x) * (py - p[2].y)) / det;
            const double w2 = 1 - w0 - w1;
            t.px[static_cast<ptrdiff_t>(y + t.origin.y) * t.stride + t.origin.x + x] =
                shade(w0 * chan(q[0]->Red) + w1 * chan(q[1]->Red) + w2 * chan(q[2]->Red),
                      w0 * chan(q[0]->Green) + w1 * chan(q[1]->Green) + w2 * chan(q[2]->Green),
                      w0 * chan(q[0]->Blue) + w1 * chan(q[1]->Blue) + w2 * chan(q[2]->Blue), t.mono);
          }
      }
    } else {
      const GRADIENT_RECT& gr = static_cast<const GRADIENT_RECT*>(meshes)[k];
      if (gr.UpperLeft >= nv || gr.LowerRight >= nv) return FALSE;
      const TRIVERTEX& a = v[gr.UpperLeft];
      const TRIVERTEX& b = v[gr.LowerRight];
      POINT pa = toDevice(*d, a.x, a.y), pb = toDevice(*d, b.x, b.y);
      const bool across = mode == GRADIENT_FILL_RECT_H;
      // The shade runs from a's colour at a's side to b's at b's side, whichever way round.
      const double from = across ? pa.x : pa.y, to = across ? pb.x : pb.y;
      const RECT rc{std::min(pa.x, pb.x), std::min(pa.y, pb.y), std::max(pa.x, pb.x), std::max(pa.y, pb.y)};
      const RECT m = Region::meet(rc, lim);
      for (int y = m.top; y < m.bottom; ++y)
        for (int x = m.left; x < m.right; ++x) {
          if (!t.clip.contains(x, y)) continue;
          const double pos = (across ? x : y) + 0.5;
          const double f = to == from ? 0 : std::clamp((pos - from) / (to - from), 0.0, 1.0);
          t.px[static_cast<ptrdiff_t>(y + t.origin.y) * t.stride + t.origin.x + x] =
              shade(chan(a.Red) + f * (chan(b.Red) - chan(a.Red)), chan(a.Green) + f * (chan(b.Green) - chan(a.Green)),
                    chan(a.Blue) + f * (chan(b.Blue) - chan(a.Blue)), t.mono);
        }
    }
  }
  finishTarget(t);
  return TRUE;
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  if (std::abs(static_cast<long long>(bottom) - top) > 32767 || std::abs(static_cast<long long>(right) - left) > (1 << 27))
    return nullptr;
  // The region leaves the right column and the bottom row out, as other regions do.
  const Rows r = ellipseRows(std::min(left, right), std::min(top, bottom),
                             std::max(left, right) - 1, std::max(top, bottom) - 1);
  return newRegion(Region::fromRows(r.top, r.rows));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  if (!points || count < 3) return nullptr;
  std::vector<Pt> poly;
  for (int i = 0; i < count; ++i) poly.push_back({double(points[i].x), double(points[i].y)});
  // Regions keep a rectangle per row: a figure taller than a bitmap can be is refused.
  double top = poly[0].y, bottom = poly[0].y;
  for (const Pt& q : poly) {
    top = std::min(top, q.y);
    bottom = std::max(bottom, q.y);
  }
  if (bottom - top > 32767) return nullptr;
  const Rows r = polygonRows({poly}, fillMode == WINDING, kEverywhere);
  return newRegion(Region::fromRows(r.top, r.rows));
}

//------------------------------------------------------------------------------
// [SECTION] Block transfers
//------------------------------------------------------------------------------
}  // namespace win

namespace win::gdi {

uint32_t rop3(unsigned code, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t r = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!(code & (1u << i))) continue;
    r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return r & 0xFFFFFF;
}

bool usesSource(unsigned code) { return ((code >> 2) & 0x33) != (code & 0x33); }
bool usesPattern(unsigned code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }

bool transfer(DcData& d, Target& t, const RECT& dest, DWORD rop, const std::function<uint32_t(int, int)>& source) {
  const unsigned code = (rop >> 16) & 0xFF;
  const auto bp = brushPaint(d, t, d.st.brush, R2_COPYPEN);
  for (const RECT& c : t.clip.rects) {
    const RECT m = Region::meet(c, dest);
    for (int yy = m.top; yy < m.bottom; ++yy) {
      uint32_t* row = t.px + static_cast<ptrdiff_t>(yy + t.origin.y) * t.stride + t.origin.x;
      for (int xx = m.left; xx < m.right; ++xx) {
        uint32_t sv = 0;
        if (usesSource(code)) {
          sv = source(xx - dest.left, yy - dest.top);
          if (sv == kNoPixel) continue;
          if (t.mono) sv = monoPixel(sv);
        }
        uint32_t p = 0;
        if (usesPattern(code)) {
          if (!bp) continue;
          p = paintAt(*bp, xx, yy);
          if (p == kNone) continue;
        }
        row[xx] = code == 0xCC ? sv : rop3(code, p, sv, row[xx] & 0xFFFFFF);
      }
    }
  }
  finishTarget(t);
  return true;
}

std::vector<uint32_t> sourceBlock(const DcData& d, const Target& dt, const DcData& s, const Target& st,
                                  const RECT& area) {
  const long bw = area.right - area.left, bh = area.bottom - area.top;
  std::vector<uint32_t> block(static_cast<size_t>(bw) * static_cast<size_t>(bh), kNoPixel);
  // A child window may reach past its top-level window's store: only the store is read.
  const long sw = st.surface ? cairo_image_surface_get_width(st.surface) : st.w;
  const long sh = st.surface ? cairo_image_surface_get_height(st.surface) : st.h;
  for (long yy = 0; yy < bh; ++yy)
    for (long xx = 0; xx < bw; ++xx) {
      const long px = area.left + xx, py = area.top + yy;
      if (px < 0 || py < 0 || px >= st.w || py >= st.h) continue;
      if (px + st.origin.x < 0 || py + st.origin.y < 0 || px + st.origin.x >= sw || py + st.origin.y >= sh) continue;
      uint32_t v = st.px[static_cast<ptrdiff_t>(py + st.origin.y) * st.stride + st.origin.x + px] & 0xFFFFFF;
      if (st.mono && !dt.mono) v = v ? devicePixel(d.st.bk, false) : devicePixel(d.st.text, false);
      else if (!st.mono && dt.mono) v = v == devicePixel(s.st.bk, false) ? 0xFFFFFF : 0x000000;
      block[static_cast<size_t>(yy) * static_cast<size_t>(bw) + static_cast<size_t>(xx)] = v;
    }
  return block;
}

}  // namespace win::gdi

namespace win {

BOOL PatBlt(HDC h, int x, int y, int width, int height, DWORD rop) {
  DcData* d = dc(h);
  const unsigned code = (rop >> 16) & 0xFF;
  if (!d || usesSource(code)) return FALSE;
  Target t;
  if (!resolveTarget(*d, t)) return TRUE;
  transfer(*d, t, normalised(*d, x, y, x + width, y + height), rop, {});
  return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int sx, int sy, DWORD rop) {
  DcData* d = dc(dest);
  const unsigned code = (rop >> 16) & 0xFF;
  if (!d) return FALSE;
  if (!usesSource(code)) return PatBlt(dest, x, y, width, height, rop);
  DcData* s = dc(src);
  if (!s) return FALSE;
  Target dt, st;
  if (!resolveTarget(*s, st)) return FALSE;
  if (!resolveTarget(*d, dt)) return TRUE;
  if (width < 0 || height < 0) return FALSE;
  if (turned(*d)) return StretchBlt(dest, x, y, width, height, src, sx, sy, width, height, rop);
  const POINT dp = toDevice(*d, x, y), sp = toDevice(*s, sx, sy);
  // The source block is copied first: source and destination may be the same surface.
  const std::vector<uint32_t> block = sourceBlock(*d, dt, *s, st, RECT{sp.x, sp.y, sp.x + width, sp.y + height});
  transfer(*d, dt, RECT{dp.x, dp.y, dp.x + width, dp.y + height}, rop, [&](int ox, int oy) {
    return block[static_cast<size_t>(oy) * static_cast<size_t>(width) + static_cast<size_t>(ox)];
  });
  return TRUE;
}

}  // namespace win
