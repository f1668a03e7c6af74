// Lines, clipping and line and fill styles.
// Inside tests use the tolerance box (the clip box enlarged by 0.001); intersections use the
// clip box itself. Device integers are the device reals truncated toward zero.
#include "toolkit/graphics/lines.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "toolkit/graphics/area.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"

namespace {

int truncate(float v) { return static_cast<int>(v); }

void setcurrentpoint(float x, float y) {
  tessar.graphics.area.CURX = x;
  tessar.graphics.area.CURY = y;
}

void plotcurrentpoint() {
  GraphicsRegion& g = tessar.graphics;
  float X = 0, Y = 0;
  yye2i(g.area.CURX, g.area.CURY, X, Y);
  if (!yybox(X, Y)) return;
  g.operands.RX1 = X;
  g.operands.RY1 = Y;
  g.operands.IX1 = truncate(X);
  g.operands.IY1 = truncate(Y);
  yysend(DPOINT);
}

// Moves one end of the segment onto a crossing point.
void moveend(int end, float px, float py, float& X1, float& Y1, float& X2, float& Y2) {
  if (end == 1) {
    X1 = px;
    Y1 = py;
  } else {
    X2 = px;
    Y2 = py;
  }
}

void sendrun(int k) {
  tessar.graphics.operands.IOPER2 = k;
  yysend(DPOLYLINE);
}

}  // namespace

bool yyfinite(std::string_view routine, std::initializer_list<float> values) {
  for (float v : values) {
    if (!std::isfinite(v)) {
      yyerror(16, routine);
      return false;
    }
  }
  return true;
}

bool yyfinitepoints(std::string_view routine, std::span<const float> x, std::span<const float> y, int n) {
  const std::size_t count = std::min({static_cast<std::size_t>(std::max(n, 0)), x.size(), y.size()});
  for (std::size_t i = 0; i < count; ++i) {
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) {
      yyerror(16, routine);
      return false;
    }
  }
  return true;
}

void igrmoveto(float x, float y) {
  if (yyfinite("IGrMoveTo", {x, y})) setcurrentpoint(x, y);
}

void igrlineto(float x, float y) {
  if (!yyfinite("IGrLineTo", {x, y})) return;
  const GraphicsArea& ar = tessar.graphics.area;
  yyline(ar.CURX, ar.CURY, x, y);
  setcurrentpoint(x, y);
}

void igrlinetorel(float dx, float dy) {
  const GraphicsArea& ar = tessar.graphics.area;
  if (!yyfinite("IGrLineToRel", {dx, dy, ar.CURX + dx, ar.CURY + dy})) return;
  igrlineto(ar.CURX + dx, ar.CURY + dy);
}

void igrjoin(float x1, float y1, float x2, float y2) {
  if (!yyfinite("IGrJoin", {x1, y1, x2, y2})) return;
  yyline(x1, y1, x2, y2);
  setcurrentpoint(x2, y2);
}

void igrjoinrel(float x1, float y1, float dx, float dy) {
  if (!yyfinite("IGrJoinRel", {x1, y1, dx, dy, x1 + dx, y1 + dy})) return;
  igrjoin(x1, y1, x1 + dx, y1 + dy);
}

void igrpoint(float x, float y) {
  if (!yyfinite("IGrPoint", {x, y})) return;
  setcurrentpoint(x, y);
  plotcurrentpoint();
}

void igrpointrel(float dx, float dy) {
  const GraphicsArea& ar = tessar.graphics.area;
  if (!yyfinite("IGrPointRel", {dx, dy, ar.CURX + dx, ar.CURY + dy})) return;
  setcurrentpoint(ar.CURX + dx, ar.CURY + dy);
  plotcurrentpoint();
}

void igrpolyline(std::span<const float> x, std::span<const float> y, int n) {
  if (yyfinitepoints("IGrPolyline", x, y, n)) yypline(x, y, n, 0);
}

void igrlinetype(std::optional<int> type) {
  const int t = type.value_or(0);
  tessar.graphics.attributes.LINETYPE = (t >= 0 && t <= 7) ? t : 0;
  yygdrv(DLINETYPE);
  yyhdrv(DLINETYPE);
}

void igrfillpattern(int style, std::optional<int> density, std::optional<int> angle) {
  GraphicsAttributes& at = tessar.graphics.attributes;
  int d = density.value_or(2), a = angle.value_or(3);
  at.OUTLINE = 1;
  if (style < -2 || style > 4) {
    at.FILLSTYLE = 0;
  } else {
    at.FILLSTYLE = std::abs(style);
    if (style < 0) at.OUTLINE = 0;
  }
  if (d < 1 || d > 5) d = 2;
  if (a < 1 || a > 4) a = 3;
  at.HATCHDENSITY = d;
  at.HATCHANGLE = a;
}

void yyline(float x1, float y1, float x2, float y2) {
  float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  yye2i(x1, y1, X1, Y1);
  yye2i(x2, y2, X2, Y2);
  yylini(X1, Y1, X2, Y2);
}

void yylini(float X1, float Y1, float X2, float Y2) {
  DeviceOperands& op = tessar.graphics.operands;
  int visible = 0;
  yyclip(X1, Y1, X2, Y2, visible);
  if (visible == 0) return;
  op.RX1 = X1; op.RY1 = Y1; op.RX2 = X2; op.RY2 = Y2;
  op.IX1 = truncate(X1); op.IY1 = truncate(Y1);
  op.IX2 = truncate(X2); op.IY2 = truncate(Y2);
  yysend(DLINE);
}

void yyrect(float X1, float Y1, float X2, float Y2) {
  GraphicsAttributes& at = tessar.graphics.attributes;
  const int screen = at.SCREENON, hardcopy = at.HARDCOPYON;
  if (screen > 0) {
    float dx = 0, dy = 0;
    // In a non-copy plot mode a corner drawn twice would cancel itself out.
    if (at.PLOTMODE != 0) {
      dx = X2 - X1 >= 0 ? 1.0f : -1.0f;
      dy = Y2 - Y1 >= 0 ? 1.0f : -1.0f;
    }
    at.HARDCOPYON = 0;
    yylini(X1 + dx, Y1, X2, Y1);
    yylini(X2, Y1 + dy, X2, Y2);
    yylini(X2 - dx, Y2, X1, Y2);
    yylini(X1, Y2 - dy, X1, Y1);
  }
  if (hardcopy > 0) {
    at.SCREENON = 0;
    at.HARDCOPYON = hardcopy;
    yylini(X1, Y1, X2, Y1);
    yylini(X2, Y1, X2, Y2);
    yylini(X2, Y2, X1, Y2);
    yylini(X1, Y2, X1, Y1);
  }
  at.SCREENON = screen;
  at.HARDCOPYON = hardcopy;
}

void yypline(std::span<const float> x, std::span<const float> y, int n, int mode) {
  GraphicsRegion& g = tessar.graphics;
  // A count beyond the arrays given draws only the points that exist.
  n = std::min({n, static_cast<int>(x.size()), static_cast<int>(y.size())});
  if (n <= 1) return;
  std::vector<float>& xw = g.XWORK;
  std::vector<float>& yw = g.YWORK;
  xw.assign(static_cast<std::size_t>(n), 0.0f);
  yw.assign(static_cast<std::size_t>(n), 0.0f);
  auto device = [&](int i, float& X, float& Y) {
    if (mode == 0) {
      yye2i(x[i], y[i], X, Y);
    } else {
      X = x[i];
      Y = y[i];
    }
  };
  int k = 0;
  float px = 0, py = 0;
  device(0, px, py);
  if (yybox(px, py)) {
    xw[0] = px;
    yw[0] = py;
    k = 1;
  }
  for (int i = 1; i < n; ++i) {
    float qx = 0, qy = 0;
    device(i, qx, qy);
    const bool inside = yybox(qx, qy);
    int visible = 0;
    if (k == 0 && !inside) {
      float x1 = px, y1 = py, x2 = qx, y2 = qy;
      yyclip(x1, y1, x2, y2, visible);
      if (visible != 0) yylini(x1, y1, x2, y2);
    } else if (k == 0) {
      xw[0] = px; yw[0] = py;
      xw[1] = qx; yw[1] = qy;
      yyclip(xw[0], yw[0], xw[1], yw[1], visible);
      if (visible != 0) k = 2;
    } else if (inside) {
      xw[k] = qx;
      yw[k] = qy;
      ++k;
    } else {
      float cx = qx, cy = qy;
      yyclip(xw[k - 1], yw[k - 1], cx, cy, visible);
      if (visible != 0) {
        xw[k] = cx;
        yw[k] = cy;
        ++k;
      }
      sendrun(k);
      k = 0;
    }
    px = qx;
    py = qy;
  }
  if (k > 1) sendrun(k);
  if (mode == 0) setcurrentpoint(x[n - 1], y[n - 1]);
  xw.clear();
  yw.clear();
}

void yyclip(float& X1, float& Y1, float& X2, float& Y2, int& visible) {
  const GraphicsArea& ar = tessar.graphics.area;
  const float xmin = ar.XMIN, ymin = ar.YMIN, xmax = ar.XMAX, ymax = ar.YMAX;
  // A segment without a place has nothing to show (and no crossing to look for).
  if (!std::isfinite(X1) || !std::isfinite(Y1) || !std::isfinite(X2) || !std::isfinite(Y2)) {
    visible = 0;
    return;
  }
  visible = 1;
  if (yybox(X1, Y1) && yybox(X2, Y2)) return;

  if (std::trunc(X1) == std::trunc(X2)) {   // steep: only y is limited
    if (std::min(Y1, Y2) > ymax || std::max(Y1, Y2) < ymin) {
      visible = 0;
      return;
    }
    float& lower = Y1 <= Y2 ? Y1 : Y2;
    float& upper = Y1 <= Y2 ? Y2 : Y1;
    if (lower < ymin) lower = ymin;
    if (upper > ymax) upper = ymax;
    visible = yybox(X1, Y1) ? 1 : 0;
    return;
  }
  if (std::trunc(Y1) == std::trunc(Y2)) {   // flat: only x is limited
    if (std::min(X1, X2) > xmax || std::max(X1, X2) < xmin) {
      visible = 0;
      return;
    }
    float& left = X1 <= X2 ? X1 : X2;
    float& right = X1 <= X2 ? X2 : X1;
    if (left < xmin) left = xmin;
    if (right > xmax) right = xmax;
    visible = yybox(X1, Y1) ? 1 : 0;
    return;
  }

  const float m = (Y2 - Y1) / (X2 - X1);
  const float c = Y1 - m * X1;
  const float xt = (ymax - c) / m, xb = (ymin - c) / m;
  const float yr = m * xmax + c, yl = m * xmin + c;

  if (yylin(xt, ymax, X1, Y1, X2, Y2)) {
    if (yybox(X1, Y1) && Y2 > Y1) { X2 = xt; Y2 = ymax; return; }
    if (yybox(X2, Y2) && Y1 > Y2) { X1 = xt; Y1 = ymax; return; }
    moveend(Y2 <= Y1 ? 1 : 2, xt, ymax, X1, Y1, X2, Y2);
  }
  if (yylin(xb, ymin, X1, Y1, X2, Y2)) {
    if (yybox(X1, Y1) && Y1 > Y2) { X2 = xb; Y2 = ymin; return; }
    if (yybox(X2, Y2) && Y2 > Y1) { X1 = xb; Y1 = ymin; return; }
    moveend(Y2 < Y1 ? 2 : 1, xb, ymin, X1, Y1, X2, Y2);
  }
  if (yylin(xmax, yr, X1, Y1, X2, Y2)) {
    if (yybox(X1, Y1) && X2 > X1) { X2 = xmax; Y2 = yr; return; }
    if (yybox(X2, Y2) && X1 > X2) { X1 = xmax; Y1 = yr; return; }
    moveend(X2 > X1 ? 2 : 1, xmax, yr, X1, Y1, X2, Y2);
  }
  if (yylin(xmin, yl, X1, Y1, X2, Y2)) {
    if (yybox(X1, Y1)) { X2 = xmin; Y2 = yl; return; }
    if (yybox(X2, Y2)) { X1 = xmin; Y1 = yl; return; }
  }
  visible = 0;
}

bool yylin(float px, float py, float X1, float Y1, float X2, float Y2) {
  return yybox(px, py) && std::min(X1, X2) <= px && px <= std::max(X1, X2) &&
         std::min(Y1, Y2) <= py && py <= std::max(Y1, Y2);
}

bool yybox(float X, float Y) {
  const GraphicsArea& ar = tessar.graphics.area;
  return ar.TXMIN <= X && X <= ar.TXMAX && ar.TYMIN <= Y && Y <= ar.TYMAX;
}

void yyfact(int solid, int& request) {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  if (at.FILLSTYLE != 3) return;
  const auto& device = at.COLOURS[PAIRDEVICE];
  // In the RGB model on a true-colour side both device numbers are -1 whatever the
  // colours are, so only the colours themselves can tell a pattern from a solid fill.
  const bool nodevice = at.COLOURMODEL == 2 && (device[PREVIOUS] == -1 || device[CURRENT] == -1);
  bool same;
  if (at.DEVCLASS > 2 && !nodevice) {
    same = device[PREVIOUS] == device[CURRENT];
  } else {
    const auto& model = at.COLOURS[at.COLOURMODEL];
    same = model[PREVIOUS] == model[CURRENT];
  }
  if (same) request = solid;
}

void yyexch(int& a, int& b) { std::swap(a, b); }
