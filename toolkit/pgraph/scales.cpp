#include "toolkit/pgraph/scales.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/pgraph/geometry.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/scalenum.h"
#include "toolkit/pgraph/ticks.h"
#include "toolkit/state/tessar.h"

namespace {

int rememberedside = 0;

bool hasletter(std::string_view options, char letter) {
  for (char c : options)
    if (c == letter || c == letter + ('a' - 'A')) return true;
  return false;
}

std::string_view trimmedright(std::string_view s) {
  const auto last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : s.substr(0, last + 1);
}

std::string_view lstrip(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view{} : s.substr(first);
}

struct Call {
  int axis = 1, side = 1;
  bool ticks = false, labels = false;
  float d = 1;
  std::span<const std::string> texts{};
  int ntexts = -1;   // -1: the scale numbers
};

// The label of step number `slot` (from 1) of a text operation: TEXTBUF-sized, trimmed.
std::string slottext(const Call& c, int slot) {
  if (slot < 1 || slot > c.ntexts || slot > static_cast<int>(c.texts.size())) return " ";
  std::string t = c.texts[static_cast<std::size_t>(slot - 1)].substr(0, 200);
  std::string s{trimmedright(t)};
  return s;
}

// The number text of a linear value, from TEXTBUF.
std::string numbertext(float value, int exponent, int extra) {
  int first = 1, last = 0;
  yyr2s(value, exponent, extra, first, last);
  const std::string& buf = tessar.files.TEXTBUF;
  if (last < first || first < 1) return {};
  return buf.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
}

std::string exponenttext(int i) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%3d", i);
  return std::string{lstrip(buf)};
}

int justification(const Call& c, const PlotDefinition& pd, float b) {
  float bp = b;
  if (bp < 0) bp += 360;
  if (!(pd.THREEDXY && c.axis != 3)) bp += 45;
  const int q = static_cast<int>((bp - 360 * std::trunc(bp / 360)) / 90);
  if (pd.POLAR) return 1;
  if (pd.THREEDXY && c.axis == 1) return 0;
  if (pd.THREEDXY && c.axis == 2) return 2;
  static const int z[4] = {2, 1, 0, 1};
  static const int y1[4] = {2, 1, 0, 1}, y2[4] = {0, 1, 2, 1};
  static const int x1[4] = {1, 2, 1, 0}, x2[4] = {1, 0, 1, 2};
  if (q < 0 || q > 3) return 1;
  if (c.axis == 3) return z[q];
  if (c.axis == 2) return c.side == 1 ? y1[q] : y2[q];
  return c.side == 1 ? x1[q] : x2[q];
}

// The quantities of the common set-up, in graphics units.
struct Setup {
  float a, b, A, LX, LY, NX, NY, cw, h, s, gx1, gy1, gx2, gy2, sinb, cosb;
};

constexpr float kDegree = 3.14159265f / 180;

// A log label: the mantissa ends at (x, y), the exponent is raised after it at the smaller size.
void logmantissa(float x, float y, const std::string& mantissa, const std::string& exponent,
                 float A, const Setup& u) {
  TextState& ts = tessar.graphics.text;
  const float gap = tessar.pgraph.plot.SCALEGAPW;
  const int just = ts.JUSTIFY;
  const float w0 = ts.CW, h0 = ts.CH;
  ts.JUSTIFY = 2;
  wgrtextstring(x, y, mantissa);
  yychsize(gap * w0, gap * h0);
  ts.JUSTIFY = 0;
  wgrtextstring(x - A * u.sinb * u.h, y + u.cosb * u.h, exponent);
  ts.JUSTIFY = just;
  yychsize(w0, h0);
}

void cartesianscale(const Call& c, Setup& u) {
  PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const float a = u.a, A = u.A, s = u.s, gx1 = u.gx1, gy1 = u.gy1, gx2 = u.gx2, gy2 = u.gy2;
  const float h = u.h, sinb = u.sinb, cosb = u.cosb;
  float LX = u.LX, LY = u.LY, NX = u.NX, NY = u.NY, cw = u.cw;
  const float cosa = std::cos(a), sina = std::sin(a);
  const bool xaxis = c.axis == 1;
  const bool logs = xaxis ? pd.XLOG != 0 : pd.YLOG != 0;
  const float low = xaxis ? pd.PGXLOW : pd.PGYLOW, high = xaxis ? pd.PGXHIGH : pd.PGYHIGH;
  const float pmin = xaxis ? pd.PGXMIN : pd.PGYMIN;
  const int category = pd.PGTYPE == (xaxis ? 1 : 2) ? 1 : 0;
  const int users = category ? 0 : pd.NUSERTICKS[xaxis ? 0 : 1];
  (void)pmin;

  float step = 0, first = 0, labelstep = 0, labelfirst = 0;
  int n = 0, e = 0, S = 1, D = 0, f = 0, l = 0;
  if (!logs) {
    yyscal(low, high, category, pd.NVALUES[0], c.axis, step, first, n, e, labelstep, labelfirst);
    if (users > 0) n = users;
  } else {
    yyslog(low, high, S, D, f, l);
    if (S < 1) S = 1;
    n = (S + l - f) / S;
  }

  // The axis line the ticks stand on, and the label anchor line.
  float axisline = 0, anchor = 0;
  if (xaxis) {
    axisline = c.side == 1 ? gy1 : gy2;
    if (!pd.THREED) {
      if (pd.XTICKPOSSET[static_cast<std::size_t>(c.side - 1)])
        axisline = yyp2y(pd.XTICKPOS[static_cast<std::size_t>(c.side - 1)]);
      else if (std::min(pd.PGYMIN, pd.PGYMAX) < 0 && 0 < std::max(pd.PGYMIN, pd.PGYMAX))
        axisline = yyp2y(0);
    }
    if (c.side == 2) {
      LX = -LX;
      NX = pd.XSCALEPOS * (g.area.GY2 - gy2);
      anchor = gy2 + NX;
    } else {
      anchor = gy1 - NX;
    }
    if (pd.THREED && c.side == 2) first += pd.DEPTHSHIFT * pd.PGXRANGE;
  } else {
    axisline = c.side == 1 ? gx1 : gx2;
    if (!pd.THREED) {
      if (pd.YTICKPOSSET[static_cast<std::size_t>(c.side - 1)])
        axisline = yyp2x(pd.YTICKPOS[static_cast<std::size_t>(c.side - 1)]);
      else if (std::min(pd.PGXMIN, pd.PGXMAX) < 0 && 0 < std::max(pd.PGXMIN, pd.PGXMAX))
        axisline = yyp2x(0);
    }
    if (c.side == 2) {
      LY = -LY;
      anchor = gx2 + NY;
    } else {
      anchor = gx1 - NY;
    }
    if (pd.THREED && c.side == 2) first += pd.DEPTHSHIFT * pd.PGYRANGE;
  }
  const bool outward = c.d > 0;
  const float dxN = outward ? sina / A * s * NX : 0.0f, dyN = outward ? (1 - cosa) * s * NX : 0.0f;
  const float dxY = outward ? (1 - cosa) * s * NY : 0.0f, dyY = outward ? -A * sina * s * NY : 0.0f;
  auto tograph = [&](float p) { return xaxis ? yyp2x(p) : yyp2y(p); };
  const int extra = category;

  // Walks the steps; visit(P, value, slot, k, label due) for every drawn position.
  float P = 0, Pprev = 0;
  auto walk = [&](auto&& visit) {
    float value = 0;
    P = 0;
    Pprev = 0;
    if (!logs) {
      for (int i = 1; i <= n; ++i) {
        Pprev = P;
        if (users > 0) {
          P = value = pd.USERTICKS[static_cast<std::size_t>(xaxis ? 0 : 1)][static_cast<std::size_t>(
              std::min(i, 100) - 1)];
          if (pd.THREED) {
            P = (1 - pd.DEPTHSHIFT) * value + (c.side == 2 ? pd.DEPTHSHIFT * (xaxis ? pd.PGXRANGE : pd.PGYRANGE) : 0.0f);
          }
        } else if (i == 1) {
          P = first;
          value = labelfirst;
        } else {
          P += step;
          const float prev = value;
          value += labelstep;
          if (prev != 0 && std::fabs(value / prev) < 0.01f) value = 0;
        }
        if (P >= low) visit(P, value, i, 1, true);
      }
    } else {
      int slot = 0;
      for (int i = f; i <= l; i += S) {
        ++slot;
        Pprev = P;
        int k = 1;
        P = std::pow(10.0f, static_cast<float>(i));
        for (;;) {
          if (P >= low) visit(P, static_cast<float>(i), slot, k, k == 1 || D == 0);
          if (D > 5 || k >= 9) break;
          ++k;
          P = static_cast<float>(k) * std::pow(10.0f, static_cast<float>(i));
          if (P > high) break;
        }
      }
    }
  };

  // Pass 1: ticks, and the longest label.
  float longest = 0;
  walk([&](float p, float value, int slot, int k, bool due) {
    const float q = tograph(p);
    if (c.ticks) {
      if (xaxis) {
        const float L = k > 1 ? LX * 0.5f : LX;
        igrmoveto(q, axisline);
        igrlinetorel(-L * sina / A, L * cosa);
      } else {
        const float L = k > 1 ? LY * 0.5f : LY;
        igrmoveto(axisline, q);
        igrlinetorel(L * cosa, L * A * sina);
      }
    }
    if (due && c.labels) {
      std::string text;
      if (c.ntexts >= 0) text = slottext(c, slot);
      else if (logs) text = exponenttext(static_cast<int>(value));
      else text = numbertext(value, e, extra);
      longest = std::max(longest, wgrtextlength(text));
    }
  });

  if (c.labels) {
    float W = longest;
    if (logs && c.ntexts < 0)
      W = pd.SCALEGAPW * longest + wgrtextlength(D == 0 ? "1*10" : "10") +
          (cw > 0 ? -A * sinb * h / cw : 0.0f);
    W *= xaxis ? ts.COSA1 : ts.SINA1Q;
    if (W != 0 && n > 0) {
      const float gap = xaxis ? std::fabs(tograph(P) - tograph(Pprev)) / W
                              : std::fabs(tograph(P) - tograph(Pprev)) / (W * A);
      if (std::isfinite(gap) && gap < ts.CW) yychsize(gap, ts.CH);
    }
    cw = ts.CW * g.area.GXRANGE;
    // The log mantissa on a Y scale ends short of the anchor by its justification.
    float E = 0;
    if (!xaxis && logs && c.ntexts < 0) {
      if (ts.JUSTIFY == 0) E = wgrtextlength("10");
      else if (ts.JUSTIFY == 2) {
        const int m = std::abs(f);
        E = -pd.SCALEGAPW * wgrtextlength(m < 10 ? "-9" : m < 100 ? "-99" : m < 1000 ? "-999" : "-9999");
      }
    }
    const float shiftx = cosb * E * cw, shifty = A * sinb * E * cw;

    // Pass 2: the labels.
    walk([&](float p, float value, int slot, int k, bool due) {
      if (!due) return;
      const float q = tograph(p);
      float x = 0, y = 0;
      if (xaxis) {
        x = q + dxN;
        y = anchor + dyN;
      } else {
        x = anchor + dxY;
        y = q + dyY;
      }
      if (c.ntexts >= 0) {
        const std::string text = slottext(c, slot);
        if (!trimmedright(text).empty()) wgrtextstring(x, y, text);
        return;
      }
      if (!logs) {
        const std::string text = numbertext(value, e, extra);
        if (!text.empty()) wgrtextstring(x, y, text);
        return;
      }
      std::string mantissa = "10";
      if (D == 0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%d*10", k);
        mantissa = buf;
      }
      logmantissa(x + shiftx, y + shifty, mantissa, exponenttext(static_cast<int>(value)), A, u);
    });
  }

}

// Polar chart: the angular scale around the circle (axis 1), the radial scale along the
// horizontal radius (axes 2 and 3); drawn once per device so that it fits each aspect.
void polarscale(const Call& c, Setup& u) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  TextState& ts = tessar.graphics.text;
  const float cosa = std::cos(u.a), sina = std::sin(u.a);
  const bool outward = c.d > 0;
  polarpasses([&] {
    const float A = polaraspect();
    const float cw0 = ts.CW, ch0 = ts.CH;
    float cx = 0, cy = 0, rx = 0, ry = 0;
    yypol(cx, cy, rx, ry);
    if (c.axis == 1) {
      const int users = std::min(pd.NUSERTICKS[0], 100);
      const int n = users > 0 ? users : 12;
      for (int k = 1; k <= n; ++k) {
        const float theta = users > 0 ? pd.USERTICKS[0][static_cast<std::size_t>(k - 1)]
                                      : 30.0f * static_cast<float>(k - 1);
        const float ct = std::cos(theta * kDegree), st = std::sin(theta * kDegree);
        if (c.labels) {
          const std::string text = c.ntexts >= 0 ? slottext(c, k) : numbertext(theta, 0, 0);
          if (!trimmedright(text).empty())
            wgrtextstring(cx + ct * (rx + u.NX / A), cy + st * (ry + u.NX), text);
        }
        if (c.ticks)
          igrjoin(cx + ct * rx, cy + st * ry, cx + ct * (rx - u.LY / A), cy + st * (ry - u.LY));
      }
      return;
    }
    // The steps of the radius: value, multiplier of the decade, slot, decade.
    struct Step { float v; int k, slot, decade; };
    std::vector<Step> steps;
    int e = 0, D = 0;
    const bool logs = pd.YLOG != 0;
    if (!logs) {
      float step = 0;
      int n = 0;
      yyscpol(pd.PGRMAX, step, n, e);
      const int users = pd.NUSERTICKS[1];
      if (users > 0) n = std::min(users, 100);
      int slot = 0;
      for (int i = users == 0 ? 2 : 1; i <= n; ++i)
        steps.push_back({users > 0 ? pd.USERTICKS[1][static_cast<std::size_t>(i - 1)]
                                   : static_cast<float>(i - 1) * step,
                         1, ++slot, 0});
    } else {
      int S = 1, f = 0, l = 0;
      yyslpol(pd.PGRMAX, S, D, f, l);
      if (S < 1) S = 1;
      int slot = 0;
      for (int i = f; i <= l; i += S) {
        ++slot;
        const float decade = std::pow(10.0f, static_cast<float>(i));
        float v = decade;
        for (int k = 1;;) {
          steps.push_back({v, k, slot, i});
          if (D > 5 || k >= 9) break;
          ++k;
          v = static_cast<float>(k) * decade;
          if (v > pd.PGRMAX) break;
        }
      }
    }
    auto xof = [&](const Step& st) {
      const float f = logs ? (std::log10(st.v) + 38) / pd.LOGRRANGE : st.v / pd.PGRMAX;
      return c.side == 1 ? cx - rx * f : cx + rx * f;
    };
    auto anchorx = [&](float x) { return outward ? x + sina / A * u.s * u.NY : x; };
    const float anchory = cy - u.NY + (outward ? (1 - cosa) * u.s * u.NY : 0.0f);
    auto labeltext = [&](const Step& st) {
      if (c.ntexts >= 0) return slottext(c, st.slot);
      if (logs) return exponenttext(st.decade);
      return numbertext(st.v, e, 0);
    };
    float g0 = rx, prev = cx, longest = 0;
    for (const Step& st : steps) {
      const float x = xof(st);
      if (c.ticks) {
        const float L = st.k > 1 ? u.LX * 0.5f : u.LX;
        igrmoveto(x, cy);
        igrlinetorel(-L * sina / A, L * cosa);
      }
      g0 = std::min(g0, std::fabs(anchorx(x) - prev));
      prev = anchorx(x);
      if (c.labels && st.k == 1) longest = std::max(longest, wgrtextlength(labeltext(st)));
    }
    if (c.labels) {
      float W = longest;
      if (logs && c.ntexts < 0) {
        const float cw = ts.CW * tessar.graphics.area.GXRANGE;
        W = pd.SCALEGAPW * longest + wgrtextlength("10") + (cw > 0 ? -A * u.sinb * u.h / cw : 0.0f);
      }
      W *= ts.COSA1;
      if (W != 0 && g0 / W < ts.CW) yychsize(g0 / W, ts.CH);
      for (const Step& st : steps) {
        if (st.k != 1) continue;
        const float x = anchorx(xof(st));
        const std::string text = labeltext(st);
        if (!logs || c.ntexts >= 0) {
          if (!trimmedright(text).empty()) wgrtextstring(x, anchory, text);
          continue;
        }
        logmantissa(x, anchory, "10", text, A, u);
      }
    }
    if (ts.CW != cw0 || ts.CH != ch0) yychsize(cw0, ch0);
  });
}

// 3-D XY chart, Z scale: up the vertical at the leftmost base corner.
void threedzscale(const Call& c, Setup& u) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  TextState& ts = tessar.graphics.text;
  const float A = u.A, cosa = std::cos(u.a), sina = std::sin(u.a);
  std::array<float, 4> qx{}, qy{};
  int r = 1;
  float zbase = 0;
  yycorn(qx, qy, r, zbase);
  float dxi = 0, dxj = 0, dyj = 0, dyi = 0, zscale = 0, x0 = 0, y0 = 0;
  yy3dxy(dxi, dxj, dyj, dyi, zscale, x0, y0);
  const float xr = qx[static_cast<std::size_t>(r - 1)];
  float step = 0, first = 0, labelstep = 0, labelfirst = 0;
  int n = 0, e = 0;
  yyscal(pd.PGZMIN, pd.PGZMAX, 0, 0, 3, step, first, n, e, labelstep, labelfirst);
  const int users = std::min(pd.NUSERTICKS[2], 100);
  auto pos = [&](float v) { return (v - pd.PGZMIN) * zscale + zbase; };
  float pstep = step * zscale, pfirst = pos(first);
  if (users > 0) {
    n = users;
  } else if (pd.PGTYPE == 10 && pd.NVALUES[2] > 0) {
    const float n3 = static_cast<float>(pd.NVALUES[2]);
    pstep *= (n3 - 1) / n3;
    pfirst += 0.5f * zscale * pd.PGZRANGE / n3;
    if (labelfirst + labelstep * static_cast<float>(n) <= pd.PGZMAX + 1e-5f * labelstep) ++n;
  }
  struct Step { float y, value; };
  std::vector<Step> steps;
  float P = 0, value = 0;
  for (int i = 1; i <= n; ++i) {
    if (users > 0) {
      value = pd.USERTICKS[2][static_cast<std::size_t>(i - 1)];
      P = pos(value);
    } else if (i == 1) {
      P = pfirst;
      value = labelfirst;
    } else {
      P += pstep;
      const float prev = value;
      value += labelstep;
      if (prev != 0 && std::fabs(value / prev) < 0.01f) value = 0;
    }
    steps.push_back({yyp2y(P), value});
  }
  auto labeltext = [&](int i) {
    return c.ntexts >= 0 ? slottext(c, i) : numbertext(steps[static_cast<std::size_t>(i - 1)].value, e, pd.PGTYPE == 2 ? 1 : 0);
  };
  float longest = 0;
  for (int i = 1; i <= n; ++i) {
    if (c.ticks) {
      igrmoveto(xr, steps[static_cast<std::size_t>(i - 1)].y);
      igrlinetorel(u.LY * cosa, u.LY * A * sina);
    }
    if (c.labels) longest = std::max(longest, wgrtextlength(labeltext(i)));
  }
  if (!c.labels) return;
  const float W = longest * ts.SINA1Q;
  if (W != 0 && n > 1) {
    const float gap = std::fabs(steps[static_cast<std::size_t>(n - 1)].y - steps[static_cast<std::size_t>(n - 2)].y) / (W * A);
    if (std::isfinite(gap) && gap < ts.CW) yychsize(gap, ts.CH);
  }
  for (int i = 1; i <= n; ++i) {
    const std::string text = labeltext(i);
    if (!trimmedright(text).empty())
      wgrtextstring(xr - u.NY * cosa, steps[static_cast<std::size_t>(i - 1)].y - u.NY * A * sina, text);
  }
}

// 3-D XY chart, X and Y scales: along one edge of the projected base, chosen by the rotation.
void threedscale(const Call& c, Setup& u) {
  if (c.axis == 3) {
    threedzscale(c, u);
    return;
  }
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const float A = u.A, cosa = std::cos(u.a), sina = std::sin(u.a);
  std::array<float, 4> qx{}, qy{};
  int r = 1;
  float yleft = 0;
  yycorn(qx, qy, r, yleft);
  const float rot = pd.ROTATION;
  // Row of the rotation: quadrant q, edges, tick signs, reversed justification.
  struct Row { int q, xs, xe, xsx, xsy, ys, ye, ysx, ysy; bool reversed; };
  static const Row rows[4] = {{1, 4, 3, 1, 1, 1, 4, -1, -1, false},
                              {4, 4, 3, -1, 1, 2, 3, 1, -1, true},
                              {3, 1, 2, 1, 1, 2, 3, -1, -1, false},
                              {2, 1, 2, -1, 1, 1, 4, 1, -1, true}};
  const Row& row = (rot >= 315 || rot < 45) ? rows[0] : rot < 135 ? rows[1] : rot < 225 ? rows[2] : rows[3];
  const bool xaxis = c.axis == 1;
  const int start = xaxis ? row.xs : row.ys, end = xaxis ? row.xe : row.ye;
  const float sx = static_cast<float>(xaxis ? row.xsx : row.ysx), sy = static_cast<float>(xaxis ? row.xsy : row.ysy);
  if (row.reversed) ts.JUSTIFY = 2 - ts.JUSTIFY;
  auto corner = [&](int i, std::array<float, 4>& q) { return q[static_cast<std::size_t>((i - 1) % 4)]; };

  // Nearly along the edge (within 15 degrees) the numbers are measured and narrowed first.
  const int q = row.q, after = q % 4 + 1, before = (q + 2) % 4 + 1, opposite = (q + 1) % 4 + 1;
  const int lower = corner(after, qy) <= corner(before, qy) ? after : before;
  const int to = c.axis == 2 - (q % 2) ? opposite : q;
  const float ddx = corner(to, qx) - corner(lower, qx), ddy = corner(to, qy) - corner(lower, qy);
  const float phi = std::atan2(ddy * g.area.GXRANGE / (g.area.GYRANGE * A), ddx) / kDegree;
  const bool twopass = std::fabs(std::fmod(phi, 180.0f) - std::fmod(u.b, 180.0f)) < 15;

  float ox = corner(start, qx), oy = corner(start, qy);
  const float ex = corner(end, qx) - ox, ey = corner(end, qy) - oy;
  const bool cells = pd.PGTYPE == 10 || (pd.PGTYPE == 8 && pd.SMOOTH);
  const int N = pd.NVALUES[xaxis ? 0 : 1];
  const float rn = xaxis ? pd.RNVALUES1 : pd.RNVALUES2, rs = xaxis ? pd.RNSTEPS1 : pd.RNSTEPS2;
  const float pmin = xaxis ? pd.PGXMIN : pd.PGYMIN, pmax = xaxis ? pd.PGXMAX : pd.PGYMAX;
  const float prange = xaxis ? pd.PGXRANGE : pd.PGYRANGE;
  const int users = std::min(pd.NUSERTICKS[static_cast<std::size_t>(c.axis - 1)], 100);
  struct Step { float x, y, value, along; };
  std::vector<Step> steps;
  int e = 0;
  float steplength = 0;
  if (users <= 0) {
    float step = 0, span = 0, first = 0, offset = 0;
    int n = 0;
    // The ticks of a reversed range are taken from its sorted ends and placed by value from
    // the start corner, which holds the first unit: taken unsorted they ran off the edge
    // behind the start with values growing past the range.
    const bool reversed = pmax < pmin;
    yyscal3d(reversed ? pmax : pmin, reversed ? pmin : pmax, step, n, span, e, first, offset);
    const float steps_ = std::fabs(span);
    float px = steps_ != 0 ? ex / steps_ : 0.0f, py = steps_ != 0 ? ey / steps_ : 0.0f;
    bool percell = false;
    if (cells && N > 0) {
      px *= rs / rn;
      py *= rs / rn;
      ox += 0.5f * ex / static_cast<float>(N);
      oy += 0.5f * ey / static_cast<float>(N);
      if (N < 4) {
        percell = true;
        n = N;
        px = ex / static_cast<float>(N);
        py = ey / static_cast<float>(N);
        first = pmin;
        step = prange / rs;
      }
    }
    steplength = std::hypot(px, py);
    const float unitsperstep = steps_ != 0 ? prange / steps_ : 1.0f;
    for (int k = 0; k < n; ++k) {
      const float v = first + static_cast<float>(k) * step;
      const float t = percell ? static_cast<float>(k) : (v - pmin) / unitsperstep;
      steps.push_back({ox + t * px, oy + t * py, v, 0});
    }
  } else {
    float ux = prange != 0 ? ex / prange : 0.0f, uy = prange != 0 ? ey / prange : 0.0f;
    if (cells && N > 0) {
      ux *= rs / rn;
      uy *= rs / rn;
      ox += 0.5f * ux;
      oy += 0.5f * uy;
    }
    e = static_cast<int>(std::lround(std::log10(std::fabs(prange))));
    const float ulen = std::hypot(ux, uy);
    for (int i = 1; i <= users; ++i) {
      const float v = pd.USERTICKS[static_cast<std::size_t>(c.axis - 1)][static_cast<std::size_t>(i - 1)];
      steps.push_back({ox + (v - pmin) * ux, oy + (v - pmin) * uy, v, (v - pmin) * ulen});
    }
  }
  const float ax = 4 * sx * std::fabs(u.LY) * cosa / A, ay = 4 * sy * std::fabs(u.LY) * sina;
  auto labeltext = [&](std::size_t i) {
    return c.ntexts >= 0 ? slottext(c, static_cast<int>(i) + 1) : numbertext(steps[i].value, e, 1);
  };
  auto draw = [&](bool ticks, bool labels) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
      const Step& st = steps[i];
      if (ticks && c.ticks) {
        igrmoveto(st.x, st.y);
        igrlinetorel(-2 * sx * u.LY * cosa / A, -2 * sy * u.LY * sina);
      }
      if (labels && c.labels) {
        const std::string text = labeltext(i);
        if (!trimmedright(text).empty()) wgrtextstring(st.x + ax, st.y + ay, text);
      }
    }
  };
  if (!twopass) {
    draw(true, true);
    return;
  }
  draw(true, false);
  if (!c.labels) return;
  float longest = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) longest = std::max(longest, wgrtextlength(labeltext(i)));
  if (longest > 0) {
    float gap = 1.7e38f;
    if (users <= 0) {
      gap = steplength / longest;
    } else {
      for (std::size_t i = 0; i < steps.size(); ++i) {
        const float L = wgrtextlength(labeltext(i));
        if (L <= 0) continue;
        if (ts.JUSTIFY == 0 && i + 1 < steps.size()) gap = std::min(gap, std::fabs(steps[i + 1].along - steps[i].along) / L);
        else if (ts.JUSTIFY != 0 && i > 0) gap = std::min(gap, std::fabs(steps[i].along - steps[i - 1].along) / L);
      }
    }
    if (gap < ts.CW) yychsize(gap, ts.CH);
  }
  draw(false, true);
}

// Plot type 9: the caller's texts in a ruled band beside the plot, one column per set (X)
// or one row per value (Y).
void texttable(const Call& c, Setup& u) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  if (ts.ANGLE1 != 0) yychrot(0);
  const int n = std::min<int>(c.ntexts, static_cast<int>(c.texts.size()));
  float longest = 0;
  for (int j = 1; j <= n; ++j) longest = std::max(longest, wgrtextlength(slottext(c, j)));
  const float W = 1 + longest;
  const bool xaxis = c.axis == 1;
  const int slots = xaxis ? pd.NSETS : pd.NVALUES[0];
  if (slots < 1) return;
  const float gx1 = u.gx1, gy1 = u.gy1, gx2 = u.gx2, gy2 = u.gy2;
  float cell = 0, band = 0;
  if (xaxis) {
    cell = (gx2 - gx1) / static_cast<float>(slots);
    band = std::min(1.5f * ts.CH * ar.GYRANGE, c.side == 1 ? gy1 - ar.GY1 : ar.GY2 - gy2);
  } else {
    cell = (gy2 - gy1) / static_cast<float>(slots);
    band = std::min(W * ts.CW * ar.GXRANGE, c.side == 1 ? gx1 - ar.GX1 : ar.GX2 - gx2);
  }
  const float fitW = std::fabs(xaxis ? cell : band) / (W * ar.GXRANGE);
  const float fitH = std::fabs(xaxis ? band : cell) / (1.5f * ar.GYRANGE);
  if (ts.CW > fitW || ts.CH > fitH) yychsize(std::min(ts.CW, fitW), std::min(ts.CH, fitH));
  // The band rectangle: inner edge on the plot, outer edge away from it.
  const float inner = xaxis ? (c.side == 1 ? gy1 : gy2) : (c.side == 1 ? gx1 : gx2);
  const float outer = xaxis ? (c.side == 1 ? gy1 - band : gy2 + band) : (c.side == 1 ? gx1 - band : gx2 + band);
  if (pd.OPT8) {
    GraphicsAttributes& at = g.attributes;
    const int pair = at.COLOURMODEL == 2 ? PAIRRGB : PAIRINDEX;
    at.FILLSTYLE = 4;
    // Selecting the colour before the current one twice leaves both as they were.
    IGrColourN(at.COLOURS[static_cast<std::size_t>(pair)][PREVIOUS]);
    if (xaxis) IGrRectangle(gx1, inner, gx2, outer);
    else IGrRectangle(inner, gy1, outer, gy2);
    IGrColourN(at.COLOURS[static_cast<std::size_t>(pair)][PREVIOUS]);
  }
  if (xaxis) {
    ts.JUSTIFY = 1;
    for (int j = 1; j <= std::min(n, slots); ++j) {
      const std::string text = slottext(c, j);
      if (!trimmedright(text).empty())
        wgrtextstring(gx1 + (static_cast<float>(j) - 0.5f) * cell, (inner + outer) / 2, text);
    }
    igrjoin(gx1, inner, gx2, inner);
    igrjoin(gx1, outer, gx2, outer);
    for (int m = 0; m <= slots; ++m) {
      const float x = gx1 + static_cast<float>(m) * cell;
      igrjoin(x, inner, x, outer);
    }
  } else {
    ts.JUSTIFY = 0;
    const float x = (c.side == 1 ? outer : gx2) + 0.5f * ts.CW * ar.GXRANGE;
    for (int j = 1; j <= std::min(n, slots); ++j) {
      const std::string text = slottext(c, j);
      if (!trimmedright(text).empty()) wgrtextstring(x, gy2 - (static_cast<float>(j) - 0.5f) * cell, text);
    }
    igrjoin(inner, gy1, inner, gy2);
    igrjoin(outer, gy1, outer, gy2);
    for (int m = 0; m <= slots; ++m) {
      const float y = gy1 + static_cast<float>(m) * cell;
      igrjoin(inner, y, outer, y);
    }
  }
}


// One scale or text call: the common set-up, then the case of the chart.
void drawscale(Call c) {
  PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  if (c.axis != 3) rememberedside = c.side;
  else c.side = rememberedside == 0 ? 1 : rememberedside;
  if (pd.THREEDXY && c.axis == 1) c.side = 2;
  const float s = c.side == 1 ? 1.0f : -1.0f;

  const int savedjust = ts.JUSTIFY, saveddir = ts.DIRECTION;
  const float savedrot = ts.ANGLE1, savedcw = ts.CW, savedch = ts.CH;
  const int savedfill = g.attributes.FILLSTYLE;
  const int ax = c.axis - 1;
  ts.DIRECTION = 0;
  const float b = pd.SCALETEXTANGLE[static_cast<std::size_t>(ax)];
  yychrot(b);
  const float a = pd.SCALEANGLE[static_cast<std::size_t>(ax)];
  ts.JUSTIFY = justification(c, pd, b);
  const float A = g.area.ASPECT;

  float gx1 = 0, gy1 = 0, gx2 = 0, gy2 = 0;
  ipgunitstogrunits(pd.PGXMIN, pd.PGYMIN, gx1, gy1);
  ipgunitstogrunits(pd.PGXMAX, pd.PGYMAX, gx2, gy2);
  const float t = pd.TICKLENGTH[static_cast<std::size_t>(ax)] * c.d;
  float LY = t * (gx1 - gx2) * 0.0125f;
  float LX = t * (gy1 - gy2) * 0.0125f;
  float NY = std::fabs(LY) * pd.YSCALEPOS + (ts.JUSTIFY == 1 ? std::fabs(LY) : 0.0f);
  float NX = pd.XSCALEPOS * (gy1 - g.area.GY1);
  float cw = ts.CW * g.area.GXRANGE;
  const float h = ts.CH * g.area.GYRANGE * pd.SCALEGAPH;
  const float sinb = std::sin(b * 3.14159265f / 180), cosb = std::cos(b * 3.14159265f / 180);

  Setup u{a, b, A, LX, LY, NX, NY, cw, h, s, gx1, gy1, gx2, gy2, sinb, cosb};
  if (pd.THREEDXY) threedscale(c, u);
  else if (pd.PGTYPE == 9) {
    if (c.ntexts >= 0) texttable(c, u);
  } else if (pd.POLAR) polarscale(c, u);
  else cartesianscale(c, u);

  ts.JUSTIFY = savedjust;
  ts.DIRECTION = saveddir;
  if (ts.ANGLE1 != savedrot) yychrot(savedrot);
  if (ts.CW != savedcw || ts.CH != savedch) yychsize(savedcw, savedch);
  g.attributes.FILLSTYLE = savedfill;
}

Call scalecall(int axis, int side, std::string_view options) {
  Call c;
  c.axis = axis;
  c.side = side;
  const bool blank = options.find_first_not_of(' ') == std::string_view::npos;
  if (blank) {
    c.ticks = true;
    c.labels = true;
  } else {
    const bool inward = hasletter(options, 'I');
    c.ticks = inward || hasletter(options, 'T');
    c.d = inward ? -1.0f : 1.0f;
    c.labels = hasletter(options, 'N');
  }
  return c;
}

Call textcall(int axis, int side, std::span<const std::string> texts, int n) {
  Call c;
  c.axis = axis;
  c.side = side;
  c.labels = true;
  c.texts = texts;
  c.ntexts = std::max(n, 0);
  return c;
}

}  // namespace

void ipgxscale(std::string_view options) { drawscale(scalecall(1, 1, options)); }
void ipgxscaletop(std::string_view options) { drawscale(scalecall(1, 2, options)); }
void ipgyscaleleft(std::string_view options) { drawscale(scalecall(2, 1, options)); }
void ipgyscaleright(std::string_view options) { drawscale(scalecall(2, 2, options)); }
void ipgzscale(std::string_view options) { drawscale(scalecall(3, 0, options)); }
void ipgxtext(std::span<const std::string> texts, int n) { drawscale(textcall(1, 1, texts, n)); }
void ipgxtexttop(std::span<const std::string> texts, int n) { drawscale(textcall(1, 2, texts, n)); }
void ipgytextleft(std::span<const std::string> texts, int n) { drawscale(textcall(2, 1, texts, n)); }
void ipgytextright(std::span<const std::string> texts, int n) { drawscale(textcall(2, 2, texts, n)); }
void ipgztext(std::span<const std::string> texts, int n) {
  // The text operation of the third axis sets the side as well.
  rememberedside = 1;
  drawscale(textcall(3, 1, texts, n));
}
