#include "toolkit/pgraph/scales.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
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
  bp += 45;
  const int q = static_cast<int>((bp - 360 * std::trunc(bp / 360)) / 90);
  if (pd.POLAR) return 1;
  static const int z[4] = {2, 1, 0, 1};
  static const int y1[4] = {2, 1, 0, 1}, y2[4] = {0, 1, 2, 1};
  static const int x1[4] = {1, 2, 1, 0}, x2[4] = {1, 0, 1, 2};
  if (q < 0 || q > 3) return 1;
  if (c.axis == 3) return z[q];
  if (c.axis == 2) return c.side == 1 ? y1[q] : y2[q];
  return c.side == 1 ? x1[q] : x2[q];
}

// One scale or text call on a Cartesian chart.
void drawscale(Call c) {
  PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  if (c.axis != 3) rememberedside = c.side;
  else c.side = rememberedside == 0 ? 1 : rememberedside;
  if (pd.THREEDXY && c.axis == 1) c.side = 2;
  const float s = c.side == 1 ? 1.0f : -1.0f;
  // The text table and the polar and 3-D XY scales are not drawn here.
  if (pd.THREEDXY || pd.PGTYPE == 9 || pd.POLAR) return;

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
  const float cosa = std::cos(a), sina = std::sin(a);
  const float sinb = std::sin(b * 3.14159265f / 180), cosb = std::cos(b * 3.14159265f / 180);

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
      x += shiftx;
      y += shifty;
      std::string mantissa = "10";
      if (D == 0) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%d*10", k);
        mantissa = buf;
      }
      const int just = ts.JUSTIFY;
      const float w0 = ts.CW, h0 = ts.CH;
      ts.JUSTIFY = 2;
      wgrtextstring(x, y, mantissa);
      yychsize(pd.SCALEGAPW * w0, pd.SCALEGAPW * h0);
      ts.JUSTIFY = 0;
      wgrtextstring(x - A * sinb * h, y + cosb * h, exponenttext(static_cast<int>(value)));
      ts.JUSTIFY = just;
      yychsize(w0, h0);
    });
  }

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
