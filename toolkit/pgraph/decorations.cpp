#include "toolkit/pgraph/decorations.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/pgraph/geometry.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/ticks.h"
#include "toolkit/state/tessar.h"

namespace {

bool hasletter(std::string_view options, char letter) {
  for (char c : options)
    if (c == letter || (letter >= 'A' && letter <= 'Z' && c == letter + ('a' - 'A'))) return true;
  return false;
}

// The place of an X, Y or Z label of a 3-D XY chart: along the projected edge of the box
// floor that the rotation puts in front, or beside the vertical edge at a floor corner.
void threedplace(std::string_view options, int axis, int side, float pos, float p1x, float p1y,
                 float p2x, float p2y, float tlen, float nch, float& xt, float& yt) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  const float SX = ar.REFXRANGE, SY = ar.REFYRANGE;
  const float AW = ar.AX2 - ar.AX1, AH = ar.AY2 - ar.AY1, R = ar.ASPECT;
  const float UX1 = ar.GX1, UY1 = ar.GY1, UX2 = ar.GX2, UY2 = ar.GY2;
  std::array<float, 4> qx{}, qy{};
  int iz = 1;
  float yleft = 0;
  yycorn(qx, qy, iz, yleft);
  const float half = yyp2y(pd.PGYMIN + 0.5f * pd.PGYRANGE) - yyp2y(pd.PGYMIN);
  const float rot = pd.ROTATION;
  const int ic = axis == 3 ? iz : (rot < 45 || rot >= 315) ? 1 : rot < 135 ? 4 : rot < 225 ? 3 : 2;
  auto wrap = [](int i) { return i > 4 ? i - 4 : i; };
  const int i1 = wrap(ic + 1), i2 = wrap(ic + 2), i3 = wrap(ic + 3);
  auto QX = [&](int i) { return qx[static_cast<std::size_t>(i - 1)]; };
  auto QY = [&](int i) { return qy[static_cast<std::size_t>(i - 1)]; };
  const int A = QY(i1) < QY(i3) ? i3 : i1, B = A == i3 ? i1 : i3;
  if (axis == 3) {
    const int turn = hasletter(options, 'R') ? 270 : hasletter(options, '9') ? 90 : 0;
    const float HH = (pd.PGAREA[3] - pd.PGAREA[2]) / 2;
    float D = 0;
    if (turn != 0) {
      const float cwmax = HH * AH / (tlen * AW * R);
      if (tlen > 0 && ts.CW > cwmax) yychsize(cwmax, ts.CH);
      ts.DIRECTION = 0;
      yychrot(static_cast<float>(turn));
      D = 0.5f * ts.CH * SX / R;
    } else {
      const float chmax = HH / nch;
      if (ts.CH > chmax) yychsize(ts.CW, chmax);
      D = 0.5f * SX * ts.CW;
    }
    if (side == 1) {
      xt = QX(ic) - std::max(pos * (p1x - UX1), D);
      yt = QY(ic);
    } else {
      xt = QX(i2) + std::max(pos * (UX2 - p2x), D);
      yt = QY(i2);
    }
    if (hasletter(options, 'T')) {
      yt += half;
      ts.JUSTIFY = turn == 90 ? 2 : 0;
    } else if (hasletter(options, 'B')) {
      ts.JUSTIFY = turn == 90 ? 0 : 2;
    } else {
      yt += half / 2;
      ts.JUSTIFY = 1;
    }
    return;
  }
  ts.DIRECTION = 0;
  const bool flag = side == 1;
  const float G = (flag ? p1y - UY1 : UY2 - p2y) / (UY2 - UY1);
  const float F = G < 0.1f ? 2.0f : G < 0.25f ? 2.66666f - 6.6666665f * G : 1.0f;
  const float off = (1 - pos) * G * F;
  const float DX = off * (UX2 - UX1), DY = off * (UY2 - UY1);
  float FR = 0.5f;
  if (hasletter(options, 'L')) {
    ts.JUSTIFY = 0;
    FR = 0;
  } else if (hasletter(options, 'R')) {
    ts.JUSTIFY = 2;
    FR = 1;
  } else {
    ts.JUSTIFY = 1;
  }
  const bool E = axis == 2 - (ic % 2);
  const float EX = E ? QX(i2) - QX(B) : QX(B) - QX(ic), EY = E ? QY(i2) - QY(B) : QY(B) - QY(ic);
  const float ang = std::atan2(EY * (SX / SY) * (AH / AW) / R, EX) * 180 / 3.14159265f;
  yychrot(ang);
  const float C = ts.COSA1, S = ts.SINA1Q;
  if (E && flag) {
    xt = QX(i2) - (1 - FR) * EX + DX * S;
    yt = QY(B) + FR * EY - DY * C;
  } else if (E) {
    xt = QX(ic) + FR * EX - DX * S;
    yt = QY(A) - (1 - FR) * EY + DY * C + half;
  } else if (flag) {
    xt = QX(ic) + FR * EX + DX * S;
    yt = QY(B) - (1 - FR) * EY - DY * C;
  } else {
    xt = QX(i2) - (1 - FR) * EX - DX * S;
    yt = QY(A) + FR * EY + DY * C + half;
  }
  const float ledge = std::sqrt((EX / SX) * (EX / SX) + (EY / SY) * (EY / SY));
  const float a = ang * 3.14159265f / 180;
  const float sa = std::fabs(std::sin(a)), ca = std::fabs(std::cos(a));
  const float cwmax = ledge * (sa * AH + ca) / (tlen * (sa * AW * R + ca));
  if (tlen > 0 && ts.CW > cwmax) yychsize(cwmax, ts.CH);
}

// axis 0 title, 1 X, 2 Y, 3 Z; side 1 bottom or left, 2 top or right.
void label(std::string_view text, std::string_view options, int axis, int side) {
  const auto last = text.find_last_not_of(' ');
  if (last == std::string_view::npos) return;
  text = text.substr(0, last + 1);
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  // A Z label needs the 3-D box.
  if (axis == 3 && !pd.THREEDXY) return;
  const float savedcw = ts.CW, savedch = ts.CH, savedangle = ts.ANGLE1;
  const int saveddir = ts.DIRECTION, savedjust = ts.JUSTIFY;
  ts.DIRECTION = axis >= 2 ? 1 : 0;
  const float pos = axis == 0   ? 1 - pd.TITLEPOS
                    : axis == 1 ? 1 - pd.XLABELPOS
                    : axis == 2 ? 1 - pd.YLABELPOS
                                : pd.ZLABELPOS;
  float p1x = 0, p1y = 0, p2x = 0, p2y = 0;
  ipgunitstogrunits(pd.PGXMIN, pd.PGYMIN, p1x, p1y);
  ipgunitstogrunits(pd.PGXMAX, pd.PGYMAX, p2x, p2y);
  const float tlen = wgrtextlength(text, 0);
  const float nch = static_cast<float>(text.size());
  const float SX = ar.REFXRANGE, SY = ar.REFYRANGE;
  const float AW = ar.AX2 - ar.AX1, AH = ar.AY2 - ar.AY1, R = ar.ASPECT;
  float xt = 0, yt = 0;
  if (axis != 0 && pd.THREEDXY) {
    threedplace(options, axis, side, pos, p1x, p1y, p2x, p2y, tlen, nch, xt, yt);
  } else if (axis <= 1) {
    const float cwmax = (pd.PGAREA[1] - pd.PGAREA[0]) / tlen;
    if (tlen > 0 && ts.CW > cwmax) yychsize(cwmax, ts.CH);
    if (hasletter(options, 'L')) {
      xt = p1x;
      ts.JUSTIFY = 0;
    } else if (hasletter(options, 'R')) {
      xt = p2x;
      ts.JUSTIFY = 2;
    } else {
      xt = (p1x + p2x) / 2;
      ts.JUSTIFY = 1;
    }
    const float D = 0.5f * ts.CH * SY;
    yt = side == 1 ? ar.GY1 + std::max(pos * (p1y - ar.GY1), D)
                   : ar.GY2 - std::max(pos * (ar.GY2 - p2y), D);
  } else {
    const int rot = hasletter(options, 'R') ? 270 : hasletter(options, '9') ? 90 : 0;
    const float H = pd.PGAREA[3] - pd.PGAREA[2];
    float D = 0;
    if (rot != 0) {
      const float cwmax = H * AH / (tlen * AW * R);
      if (tlen > 0 && ts.CW > cwmax) yychsize(cwmax, ts.CH);
      ts.DIRECTION = 0;
      yychrot(static_cast<float>(rot));
      D = 0.5f * ts.CH * SX / R;
    } else {
      const float chmax = H / nch;
      if (ts.CH > chmax) yychsize(ts.CW, chmax);
      D = 0.5f * ts.CW * SX;
    }
    if (hasletter(options, 'T')) {
      yt = p2y;
      ts.JUSTIFY = rot == 90 ? 2 : 0;
    } else if (hasletter(options, 'B')) {
      yt = p1y;
      ts.JUSTIFY = rot == 90 ? 0 : 2;
    } else {
      yt = (p1y + p2y) / 2;
      ts.JUSTIFY = 1;
    }
    xt = side == 1 ? ar.GX1 + std::max(pos * (p1x - ar.GX1), D)
                   : ar.GX2 - std::max(pos * (ar.GX2 - p2x), D);
  }
  wgrtextstring(xt, yt, text);
  yychsize(savedcw, savedch);
  ts.DIRECTION = saveddir;
  ts.JUSTIFY = savedjust;
  if (ts.ANGLE1 != savedangle) yychrot(savedangle);
}

// Positions of one Cartesian grid: visit(V) for every line.
template <class Visit>
void gridpositions(bool xaxis, Visit&& visit) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  const bool logs = xaxis ? pd.XLOG != 0 : pd.YLOG != 0;
  const float low = xaxis ? pd.PGXLOW : pd.PGYLOW, high = xaxis ? pd.PGXHIGH : pd.PGYHIGH;
  const int ax = xaxis ? 0 : 1;
  if (logs) {
    int S = 1, D = 0, f = 0, l = 0;
    yyslog(low, high, S, D, f, l);
    if (S < 1 || (l - f + S) / S <= 0) return;
    for (int j = f; j <= l; j += S) {
      const float decade = std::pow(10.0f, static_cast<float>(j));
      float V = decade;
      for (int m = 1;;) {
        if (V > low) visit(V);
        if (D > 4 || m >= 9) break;
        ++m;
        V = static_cast<float>(m) * decade;
        if (V > high) break;
      }
    }
    return;
  }
  float step = 0, first = 0, labelstep = 0, labelfirst = 0;
  int n = 0, e = 0;
  yyscal(low, high, 0, pd.NVALUES[0], xaxis ? 1 : 2, step, first, n, e, labelstep, labelfirst);
  const int users = pd.NUSERTICKS[static_cast<std::size_t>(ax)];
  if (users > 0) n = users;
  float V = 0;
  for (int j = 1; j <= n; ++j) {
    if (users > 0) {
      V = pd.USERTICKS[static_cast<std::size_t>(ax)][static_cast<std::size_t>(std::min(j, 100) - 1)];
      if (pd.THREED) V *= 1 - pd.DEPTHSHIFT;
    } else {
      V = j == 1 ? first : V + step;
    }
    if (V > low) visit(V);
  }
}

// The 3-D grid: lines across the box floor from the front edge, then up the back wall.
void boxgrid(bool xaxis, int lt) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  std::array<float, 4> qx{}, qy{};
  int ileft = 1;
  float yleft = 0;
  yycorn(qx, qy, ileft, yleft);
  auto QX = [&](int i) { return qx[static_cast<std::size_t>(i - 1)]; };
  auto QY = [&](int i) { return qy[static_cast<std::size_t>(i - 1)]; };
  const float hz = yyp2y(pd.PGYMIN + 0.5f * pd.PGYRANGE) - yyp2y(pd.PGYMIN);
  const float rot = pd.ROTATION;
  int from = 1, to = 2;
  float dvx = 0, dvy = 0;
  if (xaxis && (rot < 135 || rot >= 315)) {
    from = 4, to = 3, dvx = QX(2) - QX(3), dvy = QY(1) - QY(4);
  } else if (xaxis) {
    from = 1, to = 2, dvx = QX(4) - QX(1), dvy = QY(3) - QY(2);
  } else if (rot < 45 || rot >= 225) {
    from = 1, to = 4, dvx = QX(3) - QX(4), dvy = QY(2) - QY(1);
  } else {
    from = 2, to = 3, dvx = QX(1) - QX(2), dvy = QY(4) - QY(3);
  }
  float ox = QX(from), oy = QY(from);
  const float ex = QX(to) - ox, ey = QY(to) - oy;
  const int ax = xaxis ? 0 : 1;
  const int users = std::min(pd.NUSERTICKS[static_cast<std::size_t>(ax)], 100);
  const float pmin = xaxis ? pd.PGXMIN : pd.PGYMIN, pmax = xaxis ? pd.PGXMAX : pd.PGYMAX;
  const float rn = xaxis ? pd.RNVALUES1 : pd.RNVALUES2, rs = xaxis ? pd.RNSTEPS1 : pd.RNSTEPS2;
  const int nvalues = pd.NVALUES[static_cast<std::size_t>(ax)];
  const bool cells = (pd.PGTYPE == 10 || (pd.PGTYPE == 8 && pd.SMOOTH)) && rn > 0;
  // Positions along the edge in scale steps from the start corner, which holds the first
  // unit; a reversed range takes its ticks from the sorted ends, as the 3-D scales do.
  std::vector<float> ts;
  float L = 0;
  bool percell = false;
  if (users > 0) {
    L = xaxis ? pd.PGXRANGE : pd.PGYRANGE;
    for (int j = 1; j <= users; ++j)
      ts.push_back(pd.USERTICKS[static_cast<std::size_t>(ax)][static_cast<std::size_t>(j - 1)] - pmin);
  } else {
    float step = 0, first = 0, offset = 0;
    int n = 0, e = 0;
    const bool reversed = pmax < pmin;
    yyscal3d(reversed ? pmax : pmin, reversed ? pmin : pmax, step, n, L, e, first, offset);
    L = std::fabs(L);
    if (cells && nvalues < 4) {
      percell = true;
      for (int k = 0; k < nvalues; ++k) ts.push_back(static_cast<float>(k));
    } else if (L != 0) {
      const float unitsperstep = (pmax - pmin) / L;
      for (int k = 0; k < n; ++k) ts.push_back((first + static_cast<float>(k) * step - pmin) / unitsperstep);
    }
  }
  if (L == 0) return;
  float sx = ex / L, sy = ey / L;
  if (cells) {
    if (users > 0) {
      sx *= rs / rn;
      sy *= rs / rn;
      ox += 0.5f * sx;
      oy += 0.5f * sy;
    } else {
      ox += 0.5f * ex / rn;
      oy += 0.5f * ey / rn;
      if (percell) {
        sx = ex / rn;
        sy = ey / rn;
      } else {
        sx *= rs / rn;
        sy *= rs / rn;
      }
    }
  }
  for (float t : ts) {
    const float px = ox + t * sx, py = oy + t * sy;
    igrlinetype(lt);
    igrjoin(px, py, px + dvx, py + dvy);
    igrlinetorel(0, hz);
  }
}

void graticules(bool xaxis, int lt) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  const int skip = xaxis ? 1 : 2;
  if (pd.PGTYPE == skip || pd.PGTYPE == 3 || pd.PGTYPE == 9) return;
  const int remembered = g.attributes.LINETYPE;
  if (pd.THREEDXY) {
    boxgrid(xaxis, lt);
  } else if (pd.POLAR) {
    GraphicsAttributes& at = g.attributes;
    const int fill = at.FILLSTYLE;
    auto pass = [&] {
      float xc = 0, yc = 0, rx = 0, ry = 0;
      yypol(xc, yc, rx, ry);
      constexpr float deg = 3.14159265f / 180;
      if (xaxis) {
        if (pd.NUSERTICKS[0] > 0) {
          for (int j = 1; j <= pd.NUSERTICKS[0]; ++j) {
            const float a = pd.USERTICKS[0][static_cast<std::size_t>(std::min(j, 100) - 1)] * deg;
            igrlinetype(lt);
            igrjoin(xc, yc, xc + rx * std::cos(a), yc + ry * std::sin(a));
          }
        } else {
          for (float d : {30.0f, 60.0f, 120.0f, 150.0f}) {
            const float a = d * deg;
            igrlinetype(lt);
            igrjoin(xc - rx * std::cos(a), yc - ry * std::sin(a), xc + rx * std::cos(a), yc + ry * std::sin(a));
          }
        }
        return;
      }
      at.FILLSTYLE = 0;
      const float af = polaraspect();
      auto circle = [&](float r) {
        igrlinetype(lt);
        if (af != 0 && rx != 0) igrellipse(xc, yc, r, ry / (af * rx));
      };
      if (pd.YLOG) {
        int S = 1, D = 0, f = 0, l = 0;
        yyslpol(pd.PGRMAX, S, D, f, l);
        if (S < 1) return;
        for (int j = f; j <= l; j += S) {
          const float V = std::pow(10.0f, static_cast<float>(j));
          circle(rx * (yylog1(V) + 38) / pd.LOGRRANGE);
          if (D <= 4)
            for (int m = 2; m <= 9 && static_cast<float>(m) * V < pd.PGRMAX; ++m)
              circle(rx * (yylog1(static_cast<float>(m) * V) + 38) / pd.LOGRRANGE);
        }
      } else {
        float s = 0;
        int n = 0, e = 0;
        yyscpol(pd.PGRMAX, s, n, e);
        if (pd.NUSERTICKS[1] > 0) {
          for (int j = 1; j <= pd.NUSERTICKS[1]; ++j)
            circle(rx * pd.USERTICKS[1][static_cast<std::size_t>(std::min(j, 100) - 1)] / pd.PGRMAX);
        } else {
          for (int j = 2; j <= n; ++j) circle(rx * static_cast<float>(j - 1) * s / pd.PGRMAX);
        }
      }
    };
    polarpasses(pass);
    at.FILLSTYLE = fill;
  } else if (xaxis) {
    const float yb = yyp2y(pd.PGYMIN), ytop = yyp2y(pd.PGYMAX);
    const float yk = yyp2y(pd.PGYMIN + pd.DEPTHSHIFT * pd.PGYRANGE);
    gridpositions(true, [&](float V) {
      float xg = yyp2x(V);
      igrlinetype(lt);
      igrmoveto(xg, yb);
      if (pd.THREED) {
        xg = yyp2x(V + pd.DEPTHSHIFT * pd.PGXRANGE);
        igrlineto(xg, yk);
      }
      igrlineto(xg, ytop);
    });
  } else {
    const float xl = yyp2x(pd.PGXMIN), xr = yyp2x(pd.PGXMAX);
    const float xk = yyp2x(pd.PGXMIN + pd.DEPTHSHIFT * pd.PGXRANGE);
    gridpositions(false, [&](float V) {
      float yg = yyp2y(V);
      igrlinetype(lt);
      igrmoveto(xl, yg);
      if (pd.THREED) {
        yg = yyp2y(V + pd.DEPTHSHIFT * pd.PGYRANGE);
        igrlineto(xk, yg);
      }
      igrlineto(xr, yg);
    });
  }
  if (remembered != lt) igrlinetype(remembered);
}

}  // namespace

void ipgtitle(std::string_view text, std::string_view options) { label(text, options, 0, 2); }
void ipgxlabel(std::string_view text, std::string_view options) { label(text, options, 1, 1); }
void ipgxlabeltop(std::string_view text, std::string_view options) { label(text, options, 1, 2); }
void ipgylabelleft(std::string_view text, std::string_view options) { label(text, options, 2, 1); }
void ipgylabelright(std::string_view text, std::string_view options) { label(text, options, 2, 2); }
void ipgzlabelleft(std::string_view text, std::string_view options) { label(text, options, 3, 1); }
void ipgzlabelright(std::string_view text, std::string_view options) { label(text, options, 3, 2); }
void ipgxgraticules(int lt) { graticules(true, lt); }
void ipgygraticules(int lt) { graticules(false, lt); }
