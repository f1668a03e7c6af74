#include "toolkit/pgraph/keys.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/markers.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/pgraph/geometry.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/plots.h"
#include "toolkit/state/tessar.h"

namespace {

bool hasletter(std::string_view options, char letter) {
  for (char c : options)
    if (c == letter || c == letter + ('a' - 'A')) return true;
  return false;
}

std::string_view trimmed(std::string_view s) {
  const auto last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view(" ") : s.substr(0, last + 1);
}

int style(int k, int i) {
  return tessar.pgraph.plot.SETSTYLE[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(i)];
}
int colour(int k, int i) {
  return tessar.pgraph.plot.SETCOLOUR[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(i)];
}

// The marker number a set's samples show before the range checks.
int effectivemarker(int k) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  int m = pd.SETMARKER[static_cast<std::size_t>(k - 1)];
  if (m >= 0) return m;
  if (pd.PGTYPE == 8) m = style(k, 2);
  else if (pd.PGTYPE == 7 && !pd.THREED) m = style(k, 0);
  else m = k;
  return m < 0 ? k : m;
}

int digits(int m) { return m == 0 ? 1 : static_cast<int>(std::log10(static_cast<float>(m))); }

// The extra digits of written marker numbers over all sets.
int numberallowance() {
  const PlotDefinition& pd = tessar.pgraph.plot;
  int D = 0;
  for (int k = 1; k <= pd.NSETS; ++k)
    if (std::abs(style(k, 1)) == 1) D = std::max(D, digits(effectivemarker(k)));
  return D;
}

constexpr int kSampleKind[11] = {1, 1, 1, 2, 3, 2, 2, 2, 1, 1, 4};

}  // namespace

void ipgkeyarea(float x1, float y1, float x2, float y2) {
  std::array<float, 4>& a = tessar.pgraph.plot.KEYAREA;
  if (x1 >= x2 || y1 >= y2) {
    a = {1, 0, 1, 0};
    return;
  }
  if (x1 >= 0 && x1 < 1) a[0] = x1;
  if (x2 > 0 && x2 <= 1) a[1] = x2;
  if (y1 >= 0 && y1 < 1) a[2] = y1;
  if (y2 > 0 && y2 <= 1) a[3] = y2;
}

void yypgkeyc(float& w, float& h) {
  const GraphicsRegion& g = tessar.graphics;
  const TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  if (ts.FONTKIND == 1 || ts.CHSCALEX <= 0 || ts.CHSCALEY <= 0) {
    w = ar.REFXRANGE * ts.CW;
    h = ar.REFYRANGE * ts.CH;
  } else {
    w = ar.REFXRANGE / ((ar.AX2 - ar.AX1) * ts.CHSCALEX);
    h = ar.REFYRANGE / ((ar.AY2 - ar.AY1) * ts.CHSCALEY);
  }
}

void ipgkeysingle(int iset, float x, float y, std::string_view text) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  if (iset < 1 || iset > pd.NSETS || pd.PGTYPE < 1 || pd.PGTYPE > 11) return;
  const int k = iset;
  yysav(0);
  const int savedjust = ts.JUSTIFY;
  ts.JUSTIFY = 0;
  const float savedangle = ts.ANGLE1;
  // Entries are drawn along the text angle only when it is a right angle; other angles
  // draw the entry horizontally. The rotated cell of 90 degrees is not built: it draws at 0.
  const bool anglechanged = static_cast<int>(savedangle + 0.1f) % 180 != 0;
  if (anglechanged) yychrot(0);
  const int SA = style(k, 0), SB = style(k, 1), SC = style(k, 2);
  int kind = kSampleKind[pd.PGTYPE - 1];
  if (pd.PGTYPE == 8 && (pd.PGMODE == 3 || (!pd.THREED && pd.OPT8))) {
    kind = 1;
  } else if ((pd.THREED && (pd.PGTYPE == 5 || pd.PGTYPE == 8 || pd.PGTYPE == 10)) ||
             (SC > 0 && pd.PGTYPE == 5) || (SC > 0 && pd.PGTYPE == 4 && !pd.SMOOTH)) {
    kind = 0;
  } else if (pd.PGTYPE == 4 || pd.PGTYPE == 6 || pd.PGTYPE == 8) {
    if (SB == 0 || std::abs(SB) > 4 || (SB < 0 && g.attributes.DEVCLASS > 2)) kind = 3;
  } else if ((pd.PGTYPE == 1 || pd.PGTYPE == 2) && std::abs(SA) == 5) {
    kind = -1;
  }
  float w = 0, h = 0;
  yypgkeyc(w, h);
  const float P = w, Q = h, ea = w, ec = h;
  const bool vertical = ts.DIRECTION == 1;
  const float cosv = ts.COSA1, sin1 = ts.SINA1Q, sin2 = ts.SINA1DQ;
  float x0 = 0, y0 = 0;
  auto stepx = [&](float n) { return vertical ? n * ec * sin2 : n * ea * cosv; };
  auto stepy = [&](float n) { return vertical ? -n * ec * cosv : n * ea * sin1; };
  if (vertical) {
    x0 = x + 0.5f * P * sin2;
    y0 = y - 0.5f * Q * cosv;
  } else {
    x0 = x + 0.5f * P * cosv;
    y0 = y + 0.5f * Q * sin1;
  }
  const int D = numberallowance();
  const float V = vertical ? static_cast<float>(D) : static_cast<float>(D) * wgrtextlength("0", 0);

  if (kind <= 1) {
    if (pd.PGTYPE == 9) {
      IGrColourN(SA == 0 ? colour(k, 0) : colour(k, 1));
      igrfillpattern(4, 1, 1);
    } else {
      IGrColourN(colour(k, 1));
      IGrColourN(colour(k, 0));
      igrfillpattern(std::abs(SA), SB, SC);
    }
    const float left = x0 - 0.5f * P, bottom = y0 - 0.5f * Q, right = left + P, top = bottom + Q;
    if (kind == 1 || kind == -1) IGrRectangle(left, bottom, right, top);
    else igrparallel(left, bottom, right, top, Q, 1);
    if ((pd.PGTYPE == 1 || pd.PGTYPE == 2) && !pd.THREED && SA > 0) {
      if (g.attributes.COLOURMODEL == 2) IGrColourN(pd.OUTLINERGB);
      else IGrColourN(pd.OUTLINECOLOUR);
      igrjoin(left, bottom, left, top);
      igrjoin(left, top, right, top);
      igrjoin(right, top, right, bottom);
      igrjoin(right, bottom, left, bottom);
    }
  } else if (kind == 2) {
    if (g.attributes.LINETYPE != 0) igrlinetype(0);
    IGrColourN(colour(k, 1));
    const int asb = std::abs(SB);
    int m = pd.SETMARKER[static_cast<std::size_t>(k - 1)];
    if (m < 0) {
      if (pd.PGTYPE == 8) m = SC + (asb == 4 && SC <= 25 ? 202 : 0);
      else if (pd.PGTYPE == 7 && !pd.THREED) m = SA + (asb == 4 && SA <= 25 ? 202 : 0);
      else m = k + (asb == 4 ? 202 : 0);
    }
    const long bound = asb == 1 ? 2147483647L : asb == 2 ? 52 : asb == 4 ? 255 : 40;
    if (m < (asb == 1 ? 0 : 1) || m > bound) m = k;
    const float slant = ts.SLANT;
    ts.SLANT = 0;
    if (asb == 1) {
      const float Vm = vertical ? static_cast<float>(digits(m))
                                : static_cast<float>(digits(m)) * wgrtextlength("0", 1);
      char buf[16];
      std::snprintf(buf, sizeof buf, "%d", m);
      wgrtextstring(x + stepx(V - Vm), y + stepy(V - Vm), buf);
    } else if (asb == 2) {
      const char c = static_cast<char>(m <= 26 ? 'A' + m - 1 : 'a' + m - 27);
      wgrtextstring(x + stepx(V), y + stepy(V), std::string(1, c));
    } else if (asb == 3) {
      igrmarker(x0 + stepx(V), y0 + stepy(V), m);
    } else if (asb == 4) {
      yysyload(1);
      wgrtextstring(x + stepx(V), y + stepy(V), std::string(1, static_cast<char>(m & 0xFF)));
      yysyload(0);
    } else {
      igrpoint(x0 + stepx(V), y0 + stepy(V));
    }
    ts.SLANT = slant;
  } else if (kind == 3) {
    const int L = (SA < 0 && g.attributes.DEVCLASS > 2) ? 0 : std::abs(SA);
    if (L != g.attributes.LINETYPE) igrlinetype(L);
    IGrColourN(colour(k, 0));
    igrmoveto(x, y);
    igrlinetorel(stepx(2.15f), stepy(2.15f));
  } else {
    // Arrows belong to the vector charts, which are not built: a plain line stands in.
    if (SA != 4 && g.attributes.LINETYPE != 0) igrlinetype(0);
    IGrColourN(colour(k, 0));
    igrjoin(x, y, x + stepx(1.75f), y + stepy(1.75f));
  }
  yysav(1);
  ts.JUSTIFY = 0;
  wgrtextstring(x + stepx(2.35f + V), y + stepy(2.35f + V), text);
  if (anglechanged) yychrot(savedangle);
  ts.JUSTIFY = savedjust;
}

void ipgkeyall(std::span<const std::string> texts, std::string_view options,
               std::string_view titletext) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  const int N = std::min<int>(pd.NSETS, static_cast<int>(texts.size()));
  if (N < 1) return;
  const bool reverse = hasletter(options, 'R'), frame = hasletter(options, 'B'),
             clear = hasletter(options, 'C'), row = hasletter(options, 'X');
  const std::string_view title = trimmed(titletext);
  const bool hastitle = titletext.find_first_not_of(' ') != std::string_view::npos;
  auto text = [&](int k) { return trimmed(texts[static_cast<std::size_t>(k - 1)]); };

  // The key rectangle.
  float XL = 0, XR = 0, YB = 0, YT = 0, FW = 0, FH = 0;
  const std::array<float, 4>& ka = pd.KEYAREA;
  const bool given = ka[0] < ka[1] && ka[2] < ka[3];
  if (given) {
    XL = ar.GX1 + ka[0] * ar.GXRANGE;
    XR = ar.GX1 + ka[1] * ar.GXRANGE;
    YB = ar.GY1 + ka[2] * ar.GYRANGE;
    YT = ar.GY1 + ka[3] * ar.GYRANGE;
    FW = ka[1] - ka[0];
    FH = ka[3] - ka[2];
  } else if (!row) {
    XL = yyp2x(pd.PGXMAX);
    XR = ar.GX2;
    YB = yyp2y(pd.PGYMIN);
    YT = yyp2y(pd.PGYMAX);
    FW = 1 - pd.PGAREA[1];
    FH = pd.PGAREA[3] - pd.PGAREA[2];
  } else {
    XL = yyp2x(pd.PGXMIN);
    XR = yyp2x(pd.PGXMAX);
    YB = ar.GY1;
    YT = yyp2y(pd.PGYMIN);
    FW = pd.PGAREA[1] - pd.PGAREA[0];
    FH = pd.PGAREA[2];
  }
  const float savedcw = ts.CW, savedch = ts.CH;
  const int saveddir = ts.DIRECTION, savedjust = ts.JUSTIFY, savedfill = g.attributes.FILLSTYLE;
  const int screen = g.attributes.SCREENON, hardcopy = g.attributes.HARDCOPYON;
  ts.DIRECTION = 0;
  int bgrgb = 0;
  yypalg(0, bgrgb);
  auto background = [&](float l, float t, float r, float b) {
    if (clear) {
      yysav(0);
      g.attributes.FILLSTYLE = 4;
      IGrColourN(g.attributes.COLOURMODEL == 2 ? bgrgb : 0);
      IGrRectangle(l, t, r, b);
      yysav(1);
    }
    if (frame) {
      const int fill = g.attributes.FILLSTYLE;
      g.attributes.FILLSTYLE = 0;
      IGrRectangle(l, t, r, b);
      g.attributes.FILLSTYLE = fill;
    }
  };
  const float zero = wgrtextlength("0", 0);
  const int D = numberallowance();

  if (hasletter(options, 'E') && (pd.PGTYPE == 4 || pd.PGTYPE == 6)) {
    ts.JUSTIFY = 0;
    auto labels = [&] {
      for (int k = 1; k <= N; ++k) {
        if (static_cast<std::size_t>(k) > pd.XPGEND.size()) break;
        float gx = 0, gy = 0;
        const float px = pd.XPGEND[static_cast<std::size_t>(k - 1)], py = pd.YPGEND[static_cast<std::size_t>(k - 1)];
        if (pd.POLAR) ipgunitstogrunitsp(px, py, gx, gy);
        else {
          gx = yyp2x(px);
          gy = yyp2y(py);
        }
        wgrtextstring(gx + 0.5f * ar.REFXRANGE * ts.CW, gy, texts[static_cast<std::size_t>(k - 1)]);
      }
    };
    if (pd.POLAR) {
      if (screen != 0) {
        g.attributes.HARDCOPYON = 0;
        labels();
        g.attributes.HARDCOPYON = hardcopy;
      }
      if (hardcopy > 0) {
        g.attributes.SCREENON = 0;
        labels();
      }
    } else {
      labels();
    }
  } else if (row) {
    float S = 0;
    for (int k = 1; k <= N; ++k) S += 2.35f + 1.0f + wgrtextlength(text(k), 0);
    S += static_cast<float>(D) * zero * static_cast<float>(N);
    const float wl = FW / S;
    float s = 0;
    if (ts.CW <= wl) s = N > 1 ? (FW / ts.CW - S) / static_cast<float>(N - 1) : 0.0f;
    else yychsize(wl, ts.CH);
    float w = 0, h = 0;
    yypgkeyc(w, h);
    float x = XL + 0.5f * w;
    const float y = given ? (YB + YT) / 2 : ar.GY1 + (1 - pd.KEYPOS) * (yyp2y(pd.PGYMIN) - ar.GY1);
    if (frame || clear) background(XL, y + 1.25f * h / 2, XR, y - 1.25f * h / 2);
    for (int i = 1; i <= N; ++i) {
      const int k = reverse ? N + 1 - i : i;
      ipgkeysingle(k, x, y, text(k));
      x = g.area.CURX + (1 + s) * w;
    }
  } else {
    // One column, set 1 at the top. The side-by-side layouts are not built: they draw this.
    float HT = 0, wt = 0, ht = 0, titlecw = ts.CW, titlech = ts.CH;
    if (hastitle) {
      const float Lt = wgrtextlength(title, 0);
      const float f = FW / (Lt + 1.0f + 2.35f);
      if (f < ts.CW) yychsize(f, ts.CH);
      titlecw = ts.CW;
      titlech = ts.CH;
      yypgkeyc(wt, ht);
      HT = (Lt + 1.0f) * wt * 0.5f;
      yychsize(savedcw, savedch);
    }
    float Lmax = 0;
    for (int k = 1; k <= N; ++k) Lmax = std::max(Lmax, wgrtextlength(text(k), 0));
    Lmax += static_cast<float>(D) * zero;
    const float rows = static_cast<float>(N) + (hastitle ? 1.5f : 0.0f);
    const float T = Lmax + 1.0f + 2.35f;
    const float hl = FH / rows;
    float wl = FW / T;
    float w = 0, h = 0;
    for (int pass = 0; pass < 30; ++pass) {
      if (wl < ts.CW || hl < ts.CH) yychsize(std::min(wl, ts.CW), std::min(hl, ts.CH));
      yypgkeyc(w, h);
      if (T * w <= XR - XL) break;
      wl *= 0.99f;
    }
    const float H = YT - YB - (hastitle ? 1.5f * ht : 0.0f);
    const float XC = XR - (XR - XL) / 2, YC = YB + H / 2;
    const float XE = XC - std::max((Lmax + 2.35f) * w / 2, HT);
    const float n = static_cast<float>(N);
    float FT = YC + H * (0.5f * n - 0.5f) / (n + 1) + 1.25f * h / 2;
    const float FB = 2 * YC - FT;
    const float titleline = FT;
    if (hastitle) FT += 1.5f * ht;
    if (frame || clear) {
      const float FL = XE - 0.5f * w, FR = 2 * XC - FL;
      background(FL, FT, FR, FB);
      if (frame && hastitle) igrjoin(FL, titleline, FR, titleline);
    }
    for (int k = 1; k <= N; ++k) {
      const float r = static_cast<float>(reverse ? N + 1 - k : k);
      ipgkeysingle(k, XE, YC + H * ((n + 1) / 2 - r) / (n + 1), text(k));
    }
    if (hastitle) {
      if (ts.CW != titlecw || ts.CH != titlech) yychsize(titlecw, titlech);
      ts.JUSTIFY = savedjust;
      wgrtextstring(XC, (FT + titleline) / 2, title);
    }
  }
  g.attributes.FILLSTYLE = savedfill;
  g.attributes.SCREENON = screen;
  g.attributes.HARDCOPYON = hardcopy;
  if (ts.CW != savedcw || ts.CH != savedch) yychsize(savedcw, savedch);
  ts.DIRECTION = saveddir;
  ts.JUSTIFY = savedjust;
}
