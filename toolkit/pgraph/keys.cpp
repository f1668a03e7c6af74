#include "toolkit/pgraph/keys.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/gradient.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/markers.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/pgraph/geometry.h"
#include "toolkit/pgraph/mapping.h"
#include "toolkit/pgraph/plots.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

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

// The cell of text turned by 90 degrees: across, the x extent of one character's height,
// and along, the y extent of its width, both in graphics units corrected by the aspect.
void rotatedcell(float& across, float& along) {
  const GraphicsRegion& g = tessar.graphics;
  const TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  const float R = ar.ASPECT;
  if (ts.FONTKIND == 1 || ts.CHSCALEX <= 0 || ts.CHSCALEY <= 0) {
    across = ar.REFXRANGE * ts.CH / R;
    along = ar.REFYRANGE * ts.CW * R;
  } else {
    across = ar.REFXRANGE / ((ar.AX2 - ar.AX1) * R * ts.CHSCALEY);
    along = ar.REFYRANGE * R / ((ar.AY2 - ar.AY1) * ts.CHSCALEX);
  }
}

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
  // draw the entry horizontally.
  int turned = static_cast<int>(savedangle + 0.1f) % 180;
  const bool anglechanged = turned != 0 && turned != 90;
  if (anglechanged) {
    yychrot(0);
    turned = 0;
  }
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
  float P = 0, Q = 0;
  if (turned == 90) rotatedcell(P, Q);
  else yypgkeyc(P, Q);
  const float ea = turned == 90 ? Q : P, ec = turned == 90 ? P : Q;
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
    if (SA != 4 && g.attributes.LINETYPE != 0) igrlinetype(0);
    IGrColourN(colour(k, 0));
    int type = 1;
    if (SA == 0 || SA == 4) {
      type = 2;
      g.attributes.FILLSTYLE = SA == 4 ? 4 : 0;
    }
    igrarrowjoin(x, y, x + stepx(1.75f), y + stepy(1.75f), type, 0.0f);
  }
  yysav(1);
  ts.JUSTIFY = 0;
  wgrtextstring(x + stepx(2.35f + V), y + stepy(2.35f + V), text);
  if (anglechanged) yychrot(savedangle);
  ts.JUSTIFY = savedjust;
}

namespace {

// What every layout of the key shares: the options, the rectangle, the texts and the title.
struct KeyFrame {
  std::span<const std::string> texts;
  int N = 0;
  bool reverse = false, frame = false, clear = false, row = false, given = false;
  bool hastitle = false;
  std::string_view title;
  float XL = 0, XR = 0, YB = 0, YT = 0, FW = 0, FH = 0;
  int background = 0;   // colour of the cleared frame area in the current model
  int D = 0;            // extra digits of written marker numbers
  float zero = 0;       // width of "0" in character widths
  int savedjust = 0;
  float savedcw = 0, savedch = 0;

  std::string_view text(int k) const { return trimmed(texts[static_cast<std::size_t>(k - 1)]); }
  bool blank(int k) const {
    return texts[static_cast<std::size_t>(k - 1)].find_first_not_of(' ') == std::string::npos;
  }
  // Set k of position i (from 1) in the drawing order.
  int set(int i) const { return reverse ? N + 1 - i : i; }
  // The cleared background, then the outline, of a frame (left, top, right, bottom).
  void box(float l, float t, float r, float b, bool outline = true) const {
    GraphicsRegion& g = tessar.graphics;
    if (clear) {
      yysav(0);
      g.attributes.FILLSTYLE = 4;
      IGrColourN(background);
      IGrRectangle(l, t, r, b);
      yysav(1);
    }
    if (frame && outline) {
      const int fill = g.attributes.FILLSTYLE;
      g.attributes.FILLSTYLE = 0;
      IGrRectangle(l, t, r, b);
      g.attributes.FILLSTYLE = fill;
    }
  }
};

// The title's size: width factor budget / measure when that is smaller; the title cell, and
// the size it found (the caller's size is set again).
struct TitleSize {
  float cw = 0, ch = 0, wt = 0, ht = 0, Lt = 0;
};
TitleSize titlesize(const KeyFrame& kf, float budget, float extra) {
  TextState& ts = tessar.graphics.text;
  TitleSize t;
  t.Lt = wgrtextlength(kf.title, 0);
  const float f = budget / (t.Lt + extra);
  if (f < ts.CW) yychsize(f, ts.CH);
  t.cw = ts.CW;
  t.ch = ts.CH;
  yypgkeyc(t.wt, t.ht);
  yychsize(kf.savedcw, kf.savedch);
  return t;
}

void settitlesize(const TitleSize& t) {
  const TextState& ts = tessar.graphics.text;
  if (ts.CW != t.cw || ts.CH != t.ch) yychsize(t.cw, t.ch);
}

void shrinkonce(float wl, float hl) {
  const TextState& ts = tessar.graphics.text;
  if (wl < ts.CW || hl < ts.CH) yychsize(std::min(wl, ts.CW), std::min(hl, ts.CH));
}

// A text's length in character widths. While a hardcopy is drawn with the screen, its device
// measures too and the longer length counts: the key is fitted on the screen's measure, and
// a device whose font comes out wider (whole pixels on the screen, finer steps on a metafile
// or a printer) would run the texts past the key's edge, and the picture's.
float keytextlength(std::string_view text) {
  GraphicsRegion& g = tessar.graphics;
  const TextState& ts = g.text;
  DeviceOperands& op = g.operands;
  float L = wgrtextlength(text, 0);
  if (g.attributes.SCREENON != 0 && g.attributes.HARDCOPYON > 0 && ts.SPACING != 1 && ts.FONTKIND == 0 &&
      g.area.REXTX > 0) {
    op.IOPER1 = std::min(static_cast<int>(text.size()), 260);
    op.IOPER2 = 0;
    assignfixed(tessar.files.HCCURRENT, text);
    yyhdrv(DTEXTLENGTH);
    if (op.IOPER2 != 0) L = std::max(L, ts.CHSCALEX * op.RX1 / g.area.REXTX);
  }
  return L;
}

float measure(const KeyFrame& kf) {
  float Lmax = 0;
  for (int k = 1; k <= kf.N; ++k) Lmax = std::max(Lmax, keytextlength(kf.text(k)));
  return Lmax + static_cast<float>(kf.D) * kf.zero;
}

// One column, set 1 at the top, shrunk to fit.
void columnkey(const KeyFrame& kf) {
  TextState& ts = tessar.graphics.text;
  const int N = kf.N;
  TitleSize t;
  float HT = 0;
  if (kf.hastitle) {
    t = titlesize(kf, kf.FW, 1.0f + 2.35f);
    HT = (t.Lt + 1.0f) * t.wt * 0.5f;
  }
  float Lmax = measure(kf);
  const float rows = static_cast<float>(N) + (kf.hastitle ? 1.5f : 0.0f);
  float T = Lmax + 1.0f + 2.35f;
  const float hl = kf.FH / rows;
  float wl = kf.FW / T;
  float w = 0, h = 0;
  for (int pass = 0; pass < 30; ++pass) {
    if (wl < ts.CW || hl < ts.CH) {
      yychsize(std::min(wl, ts.CW), std::min(hl, ts.CH));
      // A device font narrows in steps of its own: the texts, in character widths, can come
      // out longer at the narrower size. Measured again, the last letters stay in the key.
      Lmax = measure(kf);
      T = Lmax + 1.0f + 2.35f;
    }
    yypgkeyc(w, h);
    if (T * w <= kf.XR - kf.XL) break;
    wl *= 0.99f;
  }
  const float H = kf.YT - kf.YB - (kf.hastitle ? 1.5f * t.ht : 0.0f);
  const float XC = kf.XR - (kf.XR - kf.XL) / 2, YC = kf.YB + H / 2;
  const float XE = XC - std::max((Lmax + 2.35f) * w / 2, HT);
  const float n = static_cast<float>(N);
  float FT = YC + H * (0.5f * n - 0.5f) / (n + 1) + 1.25f * h / 2;
  const float FB = 2 * YC - FT;
  const float titleline = FT;
  if (kf.hastitle) FT += 1.5f * t.ht;
  if (kf.frame || kf.clear) {
    const float FL = XE - 0.5f * w, FR = 2 * XC - FL;
    kf.box(FL, FT, FR, FB);
    if (kf.frame && kf.hastitle) igrjoin(FL, titleline, FR, titleline);
  }
  for (int k = 1; k <= N; ++k) {
    const float r = static_cast<float>(kf.reverse ? N + 1 - k : k);
    ipgkeysingle(k, XE, YC + H * ((n + 1) / 2 - r) / (n + 1), kf.text(k));
  }
  if (kf.hastitle) {
    settitlesize(t);
    ts.JUSTIFY = kf.savedjust;
    wgrtextstring(XC, (FT + titleline) / 2, kf.title);
  }
}

// Side-by-side columns: "V" stacks the characters of each text, "9" turns the texts by
// 90 degrees to read upward.
void sidebysidekey(const KeyFrame& kf, bool turned) {
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  const int N = kf.N;
  const float n = static_cast<float>(N);
  const float angle = ts.ANGLE1;
  TitleSize t;
  float HT = 0;
  if (kf.hastitle) {
    if (turned && ts.ANGLE1 != 0) yychrot(0);
    t = titlesize(kf, kf.FW, 1.0f);
    HT = t.Lt * t.wt * 0.5f;
  }
  float Lmax = 0, across = 0, along = 0;
  if (turned) {
    Lmax = measure(kf);
    yychrot(90);
    const float AW = ar.AX2 - ar.AX1, AH = ar.AY2 - ar.AY1, R = ar.ASPECT;
    shrinkonce(kf.FH * (AH / AW) / ((Lmax + 1.0f + 2.35f) * R), kf.FW * (AH / AW) / (n * R));
    rotatedcell(across, along);
  } else {
    ts.DIRECTION = 1;
    for (int k = 1; k <= N; ++k) Lmax = std::max(Lmax, static_cast<float>(kf.text(k).size()));
    Lmax += static_cast<float>(kf.D);
    shrinkonce(kf.FW / n, kf.FH / (Lmax + 2.35f + (kf.hastitle ? 1.5f : 0.0f)));
    yypgkeyc(across, along);
  }
  const float H = kf.YT - kf.YB - (kf.hastitle ? 1.5f * t.ht : 0.0f);
  const float XC = kf.XL + (kf.XR - kf.XL) / 2, YC = kf.YB + H / 2;
  const float YE = turned ? YC - (Lmax + 2.35f) * along / 2 : YC + (Lmax + 2.35f) * along / 2;
  const float half = std::max((kf.XR - kf.XL) * (0.5f * n - 0.5f) / (n + 1), HT);
  const float FL = XC - (1.25f * across / 2 + half), FR = 2 * XC - FL;
  float FT = 0, FB = 0, titleline = 0;
  if (turned) {
    FB = YE - 0.25f * along;
    FT = 2 * YC - FB;
    titleline = FT;
    if (kf.hastitle) FT += 1.5f * t.ht;
  } else if (kf.hastitle) {
    const float G = (Lmax + 2.35f + 1.25f - 1.0f) * t.ht / 2;
    FB = YC - G;
    titleline = YC + G;
    FT = titleline + 1.5f * t.ht;
  } else {
    FT = YE + 0.25f * along;
    FB = 2 * YC - FT;
  }
  if (kf.frame || kf.clear) {
    kf.box(FL, FT, FR, FB);
    if (kf.frame && kf.hastitle) igrjoin(FL, titleline, FR, titleline);
  }
  for (int k = 1; k <= N; ++k) {
    const float r = static_cast<float>(kf.reverse ? N + 1 - k : k);
    ipgkeysingle(k, XC - (kf.XR - kf.XL) * ((n + 1) / 2 - r) / (n + 1), YE, kf.text(k));
  }
  if (kf.hastitle) {
    ts.DIRECTION = 0;
    if (turned) yychrot(0);
    settitlesize(t);
    ts.JUSTIFY = kf.savedjust;
    wgrtextstring(XC, turned ? (FT + titleline) / 2 : YE + t.ht, kf.title);
  }
  if (ts.ANGLE1 != angle) yychrot(angle);
}

// One row below the plot; each entry follows the end of the text before it.
void rowkey(const KeyFrame& kf) {
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const PlotDefinition& pd = tessar.pgraph.plot;
  const int N = kf.N;
  float S = 0;
  for (int k = 1; k <= N; ++k) S += 2.35f + 1.0f + wgrtextlength(kf.text(k), 0);
  S += static_cast<float>(kf.D) * kf.zero * static_cast<float>(N);
  const float wl = kf.FW / S;
  float s = 0;
  if (ts.CW <= wl) s = N > 1 ? (kf.FW / ts.CW - S) / static_cast<float>(N - 1) : 0.0f;
  else yychsize(wl, ts.CH);
  float w = 0, h = 0;
  yypgkeyc(w, h);
  float x = kf.XL + 0.5f * w;
  const float y = kf.given ? (kf.YB + kf.YT) / 2
                           : g.area.GY1 + (1 - pd.KEYPOS) * (yyp2y(pd.PGYMIN) - g.area.GY1);
  if (kf.frame || kf.clear) kf.box(kf.XL, y + 1.25f * h / 2, kf.XR, y - 1.25f * h / 2);
  for (int i = 1; i <= N; ++i) {
    const int k = kf.set(i);
    ipgkeysingle(k, x, y, kf.text(k));
    x = g.area.CURX + (1 + s) * w;
  }
}

// Each set's text at the last point drawn of its line.
void lineendkey(const KeyFrame& kf) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  TextState& ts = tessar.graphics.text;
  ts.JUSTIFY = 0;
  auto labels = [&] {
    for (int k = 1; k <= kf.N; ++k) {
      if (static_cast<std::size_t>(k) > pd.XPGEND.size()) break;
      float gx = 0, gy = 0;
      const float px = pd.XPGEND[static_cast<std::size_t>(k - 1)], py = pd.YPGEND[static_cast<std::size_t>(k - 1)];
      if (pd.POLAR) {
        ipgunitstogrunitsp(px, py, gx, gy);
      } else {
        gx = yyp2x(px);
        gy = yyp2y(py);
      }
      wgrtextstring(gx + 0.5f * tessar.graphics.area.REFXRANGE * ts.CW, gy,
                    kf.texts[static_cast<std::size_t>(k - 1)]);
    }
  };
  if (pd.POLAR) polarpasses(labels);
  else labels();
}

// The title of the block and bar keys: its size within the budget, its width, and the top
// left for the blocks or the bar below it.
TitleSize specialtitle(const KeyFrame& kf, bool narrow, float& TW) {
  TitleSize t;
  TW = 0;
  if (!kf.hastitle || kf.row) return t;
  if (tessar.graphics.text.ANGLE1 != 0) yychrot(0);
  t = titlesize(kf, narrow ? 0.8f * kf.FW : kf.FW, 1.0f);
  TW = (t.Lt + 1.0f) * t.wt;
  return t;
}

// The title centred in the top of the frame, with a line under it in a framed key.
void specialtitledraw(const KeyFrame& kf, const TitleSize& t, float FL, float FT, float FR) {
  TextState& ts = tessar.graphics.text;
  if (!kf.hastitle || kf.row) return;
  const float titleline = FT - 1.5f * t.ht;
  settitlesize(t);
  ts.JUSTIFY = 1;
  wgrtextstring((FL + FR) / 2, (FT + titleline) / 2, kf.title);
  if (kf.frame) igrjoin(FL, titleline, FR, titleline);
}

void frameoutline(const KeyFrame& kf, float FL, float FT, float FR, float FB) {
  if (!kf.frame) return;
  GraphicsAttributes& at = tessar.graphics.attributes;
  const int fill = at.FILLSTYLE;
  at.FILLSTYLE = 0;
  IGrRectangle(FL, FT, FR, FB);
  at.FILLSTYLE = fill;
}

// The band of a one-row block or bar key: its bottom and top.
void band(const KeyFrame& kf, float& bottom, float& top) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  const float height = kf.YT - kf.YB;
  if (kf.given) {
    bottom = kf.YT - 0.1f * height;
    top = kf.YT;
  } else {
    const float mid = tessar.graphics.area.GY1 + (1 - pd.KEYPOS) * height;
    bottom = mid - 0.05f * height;
    top = mid + 0.05f * height;
  }
}

// Touching blocks in the sets' colours, one label per block; set 1 at the bottom or left.
void blockkey(const KeyFrame& kf, bool turned, bool stacked) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  const int N = kf.N;
  const float n = static_cast<float>(N);
  const float angle = ts.ANGLE1;
  float Lmax = 0, WSUM = 0, CSUM = 0;
  int labelled = 0;
  for (int k = 1; k <= N; ++k) {
    if (kf.blank(k)) continue;
    const float L = wgrtextlength(kf.text(k), 0);
    Lmax = std::max(Lmax, L);
    WSUM += L + (labelled > 0 ? 2.0f : 0.0f);
    CSUM += static_cast<float>(kf.text(k).size()) + (labelled > 0 ? 2.0f : 0.0f);
    ++labelled;
  }
  float TW = 0;
  const TitleSize t = specialtitle(kf, turned || stacked, TW);
  const float YTB = kf.hastitle && !kf.row ? kf.YT - 1.5f * t.ht : kf.YT;
  float w = 0, h = 0;
  yypgkeyc(w, h);
  const float AW = ar.AX2 - ar.AX1, AH = ar.AY2 - ar.AY1, R = ar.ASPECT;
  float bl = 0, br = 0, bb = kf.YB, bt = YTB;   // blocks: left, right, bottom, top
  float FL = 0, FR = 0, FB = kf.YB, FT = kf.YT;
  float lx = 0, across = 0, along = 0;
  int just = 0;
  std::vector<float> labelx(static_cast<std::size_t>(N)), labely(static_cast<std::size_t>(N));
  if (kf.row) {
    band(kf, bb, bt);
    bl = kf.XL;
    br = kf.XR;
    shrinkonce(kf.FW / WSUM, (bb - kf.YB) * 0.95f / ar.REFYRANGE);
    yypgkeyc(w, h);
    just = 1;
    const float y = (bb + kf.YB) / 2;
    for (int i = 0; i < N; ++i) {
      labelx[static_cast<std::size_t>(i)] = kf.XL + (0.5f + static_cast<float>(i)) * (kf.XR - kf.XL) / n;
      labely[static_cast<std::size_t>(i)] = y;
    }
    FL = kf.XL;
    FR = kf.XR;
    FB = std::max(y - 0.625f * h, kf.YB);
    FT = bt;
  } else {
    if (turned) {
      const float wl = kf.FH * (AH / AW) / (WSUM * R);
      if (wl < ts.CW) yychsize(wl, ts.CH);
      yychrot(90);
      rotatedcell(across, along);
      yychrot(0);
    } else if (stacked) {
      const float hl = kf.FH / CSUM;
      if (hl < ts.CH) yychsize(ts.CW, hl);
      yypgkeyc(w, h);
    } else {
      // The shortest run of unlabelled blocks lets labels grow over that many blocks.
      int G = -1, run = 0;
      for (int k = 1; k <= N; ++k) {
        if (kf.blank(k)) {
          ++run;
        } else if (run > 0) {
          G = G < 0 ? run : std::min(G, run);
          run = 0;
        }
      }
      if (run > 0) G = G < 0 ? run : std::min(G, run);
      if (G < 0) G = 0;
      const int rows = std::max(1, N / (G + 1));
      shrinkonce(0.8f * kf.FW / (Lmax + 1.0f), kf.FH / static_cast<float>(rows));
      yypgkeyc(w, h);
    }
    const bool plain = !turned && !stacked;
    bl = kf.XL + (plain ? 0.09999996f : 0.2f) * (kf.XR - kf.XL);
    br = kf.XL + (plain ? 0.2f : 0.3f) * (kf.XR - kf.XL);
    if (plain && kf.FH / n < h && (!kf.blank(kf.set(1)) || !kf.blank(kf.set(N)))) {
      bb += h / 2;
      bt -= h / 2;
    }
    lx = turned ? br + across : br + w;
    just = plain ? 0 : 1;
    for (int i = 0; i < N; ++i) {
      labelx[static_cast<std::size_t>(i)] = lx;
      labely[static_cast<std::size_t>(i)] = bb + (0.5f + static_cast<float>(i)) * (bt - bb) / n;
    }
    FL = bl;
    const float reach = turned ? br + 2 * across : stacked ? br + 2 * w : br + (Lmax + 1.25f) * w;
    FR = std::min(std::max(bl + TW, reach), kf.XR);
  }
  yysav(0);
  if (kf.clear) {
    g.attributes.FILLSTYLE = 4;
    IGrColourN(kf.background);
    IGrRectangle(FL, FT, FR, FB);
  }
  for (int i = 0; i < N; ++i) {
    const int k = kf.set(i + 1);
    const int SA = style(k, 0), SC = style(k, 2);
    const bool twocolour =
        SA == 3 && (pd.PGTYPE == 1 || pd.PGTYPE == 2 || (pd.PGTYPE == 4 && SC > 0) ||
                    (pd.PGTYPE == 8 && pd.OPT8 && !pd.THREED) ||
                    (pd.PGTYPE == 8 && pd.PGMODE == 0 && pd.THREED));
    igrfillpattern(4);
    if (twocolour) {
      igrfillpattern(3);
      IGrColourN(colour(k, 1));
    }
    IGrColourN(pd.PGTYPE == 7 ? colour(k, 1) : colour(k, 0));
    const float fi = static_cast<float>(i);
    if (kf.row) IGrRectangle(bl + fi * (br - bl) / n, bt, bl + (fi + 1) * (br - bl) / n, bb);
    else IGrRectangle(bl, bb + (fi + 1) * (bt - bb) / n, br, bb + fi * (bt - bb) / n);
  }
  yysav(1);
  if (turned) yychrot(90);
  if (stacked) ts.DIRECTION = 1;
  for (int i = 0; i < N; ++i) {
    const int k = kf.set(i + 1);
    if (kf.blank(k)) continue;
    ts.JUSTIFY = just;
    wgrtextstring(labelx[static_cast<std::size_t>(i)], labely[static_cast<std::size_t>(i)], kf.text(k));
  }
  if (ts.ANGLE1 != angle) yychrot(angle);
  ts.DIRECTION = 0;
  ts.JUSTIFY = 1;
  frameoutline(kf, FL, FT, FR, FB);
  specialtitledraw(kf, t, FL, FT, FR);
}

// A bar shaded from set 1's colour to set 2's with a text at each end.
void barkey(const KeyFrame& kf, bool turned, bool stacked) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  const float angle = ts.ANGLE1;
  int direction = 1;
  auto textof = [&](int k) {
    return k <= static_cast<int>(kf.texts.size()) ? trimmed(kf.texts[static_cast<std::size_t>(k - 1)])
                                                   : std::string_view(" ");
  };
  auto lengthof = [&](int k) {
    const std::string_view t = textof(k);
    return t == " " ? std::size_t{0} : t.size();
  };
  const std::string_view t1 = textof(1), t2 = textof(2);
  const float M1 = static_cast<float>(lengthof(1)), M2 = static_cast<float>(lengthof(2));
  const float L1 = wgrtextlength(t1, 0), L2 = wgrtextlength(t2, 0), S2 = L1 + L2 + 2.0f;
  float TW = 0;
  const TitleSize t = specialtitle(kf, turned || stacked, TW);
  float w = 0, h = 0;
  yypgkeyc(w, h);
  const float AW = ar.AX2 - ar.AX1, AH = ar.AY2 - ar.AY1, R = ar.ASPECT;
  float bl = 0, br = 0, bb = 0, bt = 0, FL = 0, FR = 0, FB = kf.YB, FT = kf.YT;
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int j1 = 1, j2 = 1;
  float across = 0, along = 0;
  if (kf.row) {
    direction = 2;
    band(kf, bb, bt);
    bl = kf.XL;
    br = kf.XR;
    shrinkonce(kf.FW / S2, (bb - kf.YB) * 0.95f / ar.REFYRANGE);
    yypgkeyc(w, h);
    x1 = kf.XL + 0.25f * w;
    x2 = kf.XR - 0.25f * w;
    y1 = y2 = (kf.YB + bb) / 2;
    j1 = 0;
    j2 = 2;
    FL = kf.XL;
    FR = kf.XR;
    FB = std::max(y1 - 0.625f * h, kf.YB);
    FT = bt;
  } else if (turned || stacked) {
    bl = kf.XL + 0.2f * (kf.XR - kf.XL);
    br = kf.XL + 0.3f * (kf.XR - kf.XL);
    bb = kf.YB;
    bt = kf.YT;
    float reach = 0;
    if (turned) {
      const float wl = kf.FH * (AH / AW) / (S2 * R);
      if (wl < ts.CW) yychsize(wl, ts.CH);
      yychrot(90);
      rotatedcell(across, along);
      yychrot(0);
      x1 = x2 = std::min((br + kf.XR) / 2, br + across);
      y1 = kf.YB + 0.25f * along;
      y2 = kf.YT - 0.25f * along;
      j1 = 0;
      j2 = 2;
      reach = x1 + 0.625f * across;
    } else {
      const float hl = kf.FH / (M1 + M2 + 2);
      if (hl < ts.CH) yychsize(ts.CW, hl);
      yypgkeyc(w, h);
      x1 = x2 = std::min((br + kf.XR) / 2, br + w);
      y1 = kf.YB + 0.25f * h;
      y2 = kf.YT - 0.25f * h;
      j1 = 2;
      j2 = 0;
      reach = x1 + wgrtextlength("@", 0) * w;
    }
    FL = bl;
    FR = std::min(std::max(bl + TW, reach), kf.XR);
  } else {
    const float wl = kf.FW / (std::max(L1, L2) + 1.0f);
    if (wl < ts.CW) yychsize(wl, ts.CH);
    yypgkeyc(w, h);
    const float mid = (kf.XL + kf.XR) / 2;
    bl = mid - 0.05f * (kf.XR - kf.XL);
    br = mid + 0.05f * (kf.XR - kf.XL);
    bb = kf.YB + 1.1f * h;
    bt = kf.YT - 1.1f * h;
    x1 = x2 = mid;
    y1 = kf.YB + 0.5f * h;
    y2 = kf.YT - 0.5f * h;
    const float half = std::max((0.5f * std::max(L1, L2) + 0.25f) * w, 0.5f * TW);
    FL = mid - half;
    FR = std::min(mid + half, kf.XR);
  }
  if (kf.hastitle && !kf.row) {
    bt -= 1.5f * t.ht;
    y2 -= 1.5f * t.ht;
  }
  int c1 = colour(1, 0), c2 = colour(2, 0);
  std::string_view first = t1, second = t2;
  if (kf.reverse) {
    std::swap(c1, c2);
    std::swap(first, second);
  }
  kf.box(FL, FT, FR, FB, false);   // the outline comes last, over the bar
  yysav(0);
  IGrColourN(c1);
  IGrColourN(c2);
  const std::array<float, 4> px{bl, br, br, bl}, py{bt, bt, bb, bb};
  IGrPolygonGrad(px, py, 4, direction);
  yysav(1);
  if (turned) yychrot(90);
  if (stacked && !kf.row) ts.DIRECTION = 1;
  if (first != " ") {
    ts.JUSTIFY = j1;
    wgrtextstring(x1, y1, first);
  }
  if (second != " ") {
    ts.JUSTIFY = j2;
    wgrtextstring(x2, y2, second);
  }
  if (ts.ANGLE1 != angle) yychrot(angle);
  ts.DIRECTION = 0;
  ts.JUSTIFY = 1;
  specialtitledraw(kf, t, FL, FT, FR);
  frameoutline(kf, FL, FT, FR, FB);
  (void)pd;
}

// Each pie segment's text beside the pie, at the end of an optional leader line, with an
// optional percentage.
void pielabels(const KeyFrame& kf, bool percent, bool onedecimal) {
  PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const float ux1 = pd.PGXMIN, uy1 = pd.PGYMIN, ux2 = pd.PGXMAX, uy2 = pd.PGYMAX;
  ipgunits(0, 0, 1, 1);
  const int pair = g.attributes.COLOURMODEL == 2 ? PAIRRGB : PAIRINDEX;
  const int leadercolour = g.attributes.COLOURS[static_cast<std::size_t>(pair)][PREVIOUS];
  const char decimal = tessar.files.DECIMAL == 0 ? '.' : tessar.files.DECIMAL;
  for (int k = 1; k <= kf.N && static_cast<std::size_t>(k) <= pd.PGPIE.size(); ++k) {
    const std::array<float, 4>& pie = pd.PGPIE[static_cast<std::size_t>(k - 1)];
    if (pie[0] < 0) continue;
    const float r0 = pie[1], r1 = pd.PIELABELGAP + r0;
    float rs = r0, rl = 1.13f * r1;
    if (pd.SMOOTH) {
      rs = r0 + 0.6f;
      rl = r0 > 0.12f ? r1 - 0.12f : r1;
    }
    const float cx = pd.PIESCALEX * pie[2], cy = pd.PIESCALEY * pie[3];
    float sx = 0, sy = 0, lx = 0, ly = 0;
    ipgunitstogrunits(pd.PIECENTREX + rs * cx, pd.PIECENTREY + rs * cy, sx, sy);
    const float plx = pd.PIECENTREX + rl * cx;
    ipgunitstogrunits(plx, pd.PIECENTREY + rl * cy, lx, ly);
    const float s = cx >= 0 ? 1.0f : -1.0f;
    const float endx = yyp2x(pd.PROPDEPTH ? pd.PIECENTREX + s * pd.PIESCALEX * pd.PIELABELX[s > 0 ? 1 : 0]
                                          : plx + s * pd.PIELEADER * pd.PIESCALEX);
    if (pd.SMOOTH) {
      yysav(0);
      IGrColourN(leadercolour);
      igrjoin(sx, sy, lx, ly);
      igrjoin(lx, ly, endx, ly);
      yysav(1);
    }
    ts.JUSTIFY = s > 0 ? 0 : 2;
    std::string label = kf.blank(k) ? std::string{} : std::string{trimmed(kf.texts[static_cast<std::size_t>(k - 1)].substr(0, 200))};
    if (percent || onedecimal) {
      char field[16];
      std::size_t start = 0;
      if (onedecimal) {
        std::snprintf(field, sizeof field, "%5.1f", static_cast<double>(pie[0]));
        for (char* c = field; *c != 0; ++c)
          if (*c == '.') *c = decimal;
      } else {
        std::snprintf(field, sizeof field, "%5d", static_cast<int>(0.5f + pie[0]));
        start = 2;
      }
      // A value too wide for its five places is written as stars, as the edit descriptor does.
      std::string f(field);
      f = (f.size() > 5 ? std::string(5, '*') : f) + "% ";
      if (f[start] != '1') ++start;
      if (s > 0) {
        label = f.substr(start) + label;
      } else {
        if (!pd.PROPDEPTH) start = f.find_first_not_of(' ');
        label = label + " " + f.substr(start);
      }
    }
    label = std::string(trimmed(label));
    if (label != " ")
      wgrtextstring(endx + s * 0.5f * g.area.REFXRANGE * ts.CW, ly, label);
  }
  ipgunits(ux1, uy1, ux2, uy2);
}

}  // namespace

void ipgkeyall(std::span<const std::string> texts, std::string_view options,
               std::string_view titletext) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  KeyFrame kf;
  kf.texts = texts;
  kf.N = std::min<int>(pd.NSETS, static_cast<int>(texts.size()));
  if (kf.N < 1) return;
  kf.reverse = hasletter(options, 'R');
  kf.frame = hasletter(options, 'B');
  kf.clear = hasletter(options, 'C');
  kf.row = hasletter(options, 'X');
  kf.title = trimmed(titletext);
  kf.hastitle = titletext.find_first_not_of(' ') != std::string_view::npos;

  const std::array<float, 4>& ka = pd.KEYAREA;
  kf.given = ka[0] < ka[1] && ka[2] < ka[3];
  if (kf.given) {
    kf.XL = ar.GX1 + ka[0] * ar.GXRANGE;
    kf.XR = ar.GX1 + ka[1] * ar.GXRANGE;
    kf.YB = ar.GY1 + ka[2] * ar.GYRANGE;
    kf.YT = ar.GY1 + ka[3] * ar.GYRANGE;
    kf.FW = ka[1] - ka[0];
    kf.FH = ka[3] - ka[2];
  } else if (!kf.row) {
    kf.XL = yyp2x(pd.PGXMAX);
    kf.XR = ar.GX2;
    kf.YB = yyp2y(pd.PGYMIN);
    kf.YT = yyp2y(pd.PGYMAX);
    kf.FW = 1 - pd.PGAREA[1];
    kf.FH = pd.PGAREA[3] - pd.PGAREA[2];
  } else {
    kf.XL = yyp2x(pd.PGXMIN);
    kf.XR = yyp2x(pd.PGXMAX);
    kf.YB = ar.GY1;
    kf.YT = yyp2y(pd.PGYMIN);
    kf.FW = pd.PGAREA[1] - pd.PGAREA[0];
    kf.FH = pd.PGAREA[2];
  }
  kf.savedcw = ts.CW;
  kf.savedch = ts.CH;
  kf.savedjust = ts.JUSTIFY;
  const int saveddir = ts.DIRECTION, savedfill = g.attributes.FILLSTYLE;
  const float savedangle = ts.ANGLE1;
  const int screen = g.attributes.SCREENON, hardcopy = g.attributes.HARDCOPYON;
  ts.DIRECTION = 0;
  int bgrgb = 0;
  yypalg(0, bgrgb);
  kf.background = g.attributes.COLOURMODEL == 2 ? bgrgb : 0;
  kf.zero = wgrtextlength("0", 0);
  kf.D = numberallowance();
  const bool turned = hasletter(options, '9'), stacked = hasletter(options, 'V');

  if (pd.PGTYPE == 3) pielabels(kf, hasletter(options, 'P'), kf.reverse);
  else if (pd.PGMODE == 3 && (pd.PGTYPE == 5 || pd.PGTYPE == 8)) barkey(kf, !stacked && turned, stacked);
  else if (hasletter(options, 'U')) blockkey(kf, !stacked && turned, stacked);
  else if (hasletter(options, 'E') && (pd.PGTYPE == 4 || pd.PGTYPE == 6)) lineendkey(kf);
  else if (kf.row) rowkey(kf);
  else if (turned) sidebysidekey(kf, true);
  else if (stacked) sidebysidekey(kf, false);
  else columnkey(kf);

  g.attributes.FILLSTYLE = savedfill;
  g.attributes.SCREENON = screen;
  g.attributes.HARDCOPYON = hardcopy;
  if (ts.CW != kf.savedcw || ts.CH != kf.savedch) yychsize(kf.savedcw, kf.savedch);
  if (ts.ANGLE1 != savedangle) yychrot(savedangle);
  ts.DIRECTION = saveddir;
  ts.JUSTIFY = kf.savedjust;
}
