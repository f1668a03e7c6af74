// Drawing text strings.
// Stroke text reaches both sides in one pass; device text is drawn once per side (a screen
// pass, then a hardcopy pass while a hardcopy is open), because the two sides have their
// own fonts and capabilities. Each drawing step narrows the side switches to its pass and
// restores them.
#include "toolkit/graphics/textstring.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "toolkit/text/strings.h"
#include "toolkit/state/tessar.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/strokefont.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/graphics/text.h"

namespace {

constexpr float kNoLimit = 1.7e38f;
constexpr std::size_t kTextOperand = 260;

struct V {
  float x = 0, y = 0;
  V operator+(V o) const { return {x + o.x, y + o.y}; }
  V operator-(V o) const { return {x - o.x, y - o.y}; }
  V operator*(float k) const { return {x * k, y * k}; }
};

enum Pass { SCREENPASS = 0, HARDCOPYPASS = 1 };

// Sends one request 22 to the side of the pass.
void sendtext(int pass) {
  if (pass == SCREENPASS)
    yygdrv(DTEXT);
  else
    yyhdrv(DTEXT);
}

float width(std::string_view text, int mode) { return wgrtextlength(text, mode); }

// The segment from a to b lies in the tolerance box at both ends.
bool inbox(V a, V b) { return yybox(a.x, a.y) && yybox(b.x, b.y); }

// Restricts the side switches to one pass for the life of the object.
class OnlySide {
 public:
  explicit OnlySide(int pass) : at_(tessar.graphics.attributes) {
    screen_ = at_.SCREENON;
    hardcopy_ = at_.HARDCOPYON;
    if (pass == SCREENPASS) {
      at_.HARDCOPYON = 0;
    } else {
      at_.SCREENON = 0;
      at_.HARDCOPYON = 1;
    }
  }
  ~OnlySide() {
    at_.SCREENON = screen_;
    at_.HARDCOPYON = hardcopy_;
  }
  OnlySide(const OnlySide&) = delete;
  OnlySide& operator=(const OnlySide&) = delete;

 private:
  GraphicsAttributes& at_;
  int screen_ = 0, hardcopy_ = 0;
};

void installsubstitute(int hwfont) {
  switch (hwfont) {
    case 1: wgrofontfixed(); break;
    case 3: wgrofontroman(); break;
    case 4: wgrofontsymbol(); break;
    default: wgrofontswiss(); break;
  }
}

}  // namespace

void yychsubst(int side, float EW, float EH, int& result) {
  const GraphicsRegion& g = tessar.graphics;
  const TextState& ts = g.text;
  const DeviceDescription& dd = g.description;
  float cw = EW, ch = EH, rx = 1, ry = 1;
  if (side == 1) {
    cw *= g.operands.HCSCALEX;
    ch *= g.operands.HCSCALEY;
  } else {
    rx = ts.CHSCALEX * ts.CW * g.area.AREAW;
    ry = ts.CHSCALEY * ts.CH * g.area.AREAH;
  }
  const bool enabled = ts.SUBST[side == 1 ? 1 : 0] != 0;
  const bool mismatch = enabled && (rx < 0.8f || rx > 1.3f || ry < 0.8f || ry > 1.3f);
  const float limit = side == 1 ? dd.HCTEXTLIMIT : dd.SCTEXTLIMIT;
  const std::string& caps = side == 1 ? dd.HCCAPS : dd.SCCAPS;
  bool answer;
  if (ts.SPACING == 0) {
    answer = limit >= 0 && enabled && cw > limit && ch > limit;
  } else {
    answer = mismatch || (caps.size() > 26 && caps[26] == '0');
  }
  const int angles = side == 1 ? dd.HCTEXTANGLES : dd.SCTEXTANGLES;
  if (angles == 0 || (angles == 1 && std::fabs(ts.ANGLE2) > 1.0f)) answer = true;
  result = answer ? 1 : 0;
}

void yychback(float x, float y, std::string_view text, int mode, int screen, int hardcopy) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  const TextState& ts = g.text;
  const int fillstyle = at.FILLSTYLE;
  const auto colours = at.COLOURS;
  const int sides = screen == 0 ? 2 : (hardcopy == 0 ? 1 : 0);
  yycon(colours[PAIRINDEX][PREVIOUS], colours[PAIRRGB][PREVIOUS], colours[PAIRDEVICE][PREVIOUS],
        sides);
  const V adv{ts.ADVX, ts.ADVY}, d{ts.COLXSTEP, -ts.COLYSTEP};
  const V p{x, y};
  std::array<V, 5> b;
  if (ts.DIRECTION == 0) {
    const float l = width(text, mode);
    b[0] = p + d * 0.5f;
    b[1] = b[0] + adv * l;
    b[2] = b[1] - d;
    b[3] = b[2] - adv * l;
  } else {
    float w = 1;
    if (ts.SPACING != 0) {
      w = 0;
      for (char c : text) w = std::max(w, yychwidth(yychcode(c)));
    }
    const float n = static_cast<float>(text.size());
    b[0] = p - adv * (0.5f * w);
    b[1] = b[0] + d * n;
    b[2] = b[1] + adv * w;
    b[3] = b[2] - d * n;
  }
  b[4] = b[0];
  std::array<float, 5> xs, ys;
  for (std::size_t i = 0; i < 5; ++i) {
    xs[i] = b[i].x;
    ys[i] = b[i].y;
  }
  at.FILLSTYLE = 4;
  const int savedscreen = at.SCREENON, savedhardcopy = at.HARDCOPYON;
  at.SCREENON = screen;
  at.HARDCOPYON = hardcopy;
  yyplygon(xs, ys, 5, 1);
  at.SCREENON = savedscreen;
  at.HARDCOPYON = savedhardcopy;
  yycon(colours[PAIRINDEX][CURRENT], colours[PAIRRGB][CURRENT], colours[PAIRDEVICE][CURRENT],
        sides);
  at.FILLSTYLE = fillstyle;
}

void wgrtextstring(std::optional<float> x, std::optional<float> y, std::string_view text) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  GraphicsArea& ar = g.area;
  TextState& ts = g.text;
  DeviceOperands& op = g.operands;
  const DeviceDescription& dd = g.description;
  const int n = static_cast<int>(text.size());
  const float J = 0.5f * static_cast<float>(ts.JUSTIFY);
  const bool horizontal = ts.DIRECTION == 0;
  const int linetype = at.LINETYPE;
  bool linechanged = false;

  V p0;
  yye2i(x.value_or(ar.CURX), y.value_or(ar.CURY), p0.x, p0.y);
  int pass = (at.SCREENON == 0 && at.HARDCOPYON > 0) ? HARDCOPYPASS : SCREENPASS;
  bool first = true;
  bool substitute = false;
  auto finish = [&] {
    if (linechanged) igrlinetype(linetype);
  };

  for (;;) {
    // Cell and layout of this pass.
    const float AW = ar.RDEVW * ts.CW, AH = ar.RDEVH * ts.CH;
    float EW = AW, EH = AH;
    if (pass == SCREENPASS && ts.FONTKIND == 0 && !substitute && ts.CHSCALEX > 0 &&
        ts.CHSCALEY > 0) {
      EW = ar.REXTX / ts.CHSCALEX;
      EH = ar.REXTY / ts.CHSCALEY;
    }
    const V b{ts.COSA2, ts.SINA2Q};
    const V adv = b * EW;
    const float vx = ts.SINA2DQ * EH, vy = ts.COSA2 * EH;
    const V d{vx, -vy};
    ts.ADVX = adv.x;
    ts.ADVY = adv.y;
    ts.COLXSTEP = vx;
    ts.COLYSTEP = vy;
    V S, E1, E2, P;
    if (horizontal) {
      const float units = ts.SPACING == 0 ? static_cast<float>(n) : width(text, 0);
      const float L = units * EW, N = units * AW;
      S = p0 - b * (J * L);
      E1 = p0 + b * ((1 - J) * N);
      E2 = S + b * L;
      P = p0 + b * ((1 - J) * N + J * AW);
    } else {
      S = p0 + V{-vx, vy} * (J * static_cast<float>(n));
      // After a column the current point lies one nominal cell below its last character.
      const V nominal{ts.SINA2DQ * AH, -ts.COSA2 * AH};
      P = S + nominal * static_cast<float>(n);
    }
    const bool stroke = ts.FONTKIND == 1;
    if (!linechanged && at.LINETYPE != 0 &&
        (stroke || substitute || (horizontal && (ts.TYPEFLAGS & 4) != 0))) {
      igrlinetype(0);
      linechanged = true;
    }
    if (first) {
      first = false;
      if (at.SCREENON != 0 || pass == HARDCOPYPASS) {
        float ux = 0, uy = 0;
        yyi2e(P.x, P.y, ux, uy);
        igrmoveto(ux, uy);
      }
    }

    if (stroke) {
      const float slant = ts.SLANT;
      const int screen = at.SCREENON, hardcopy = at.HARDCOPYON;
      if (substitute) {
        ts.SLANT = (ts.TYPEFLAGS & 2) != 0 ? 0.4663f : 0;
        if (pass == SCREENPASS)
          at.HARDCOPYON = 0;
        else
          at.SCREENON = 0;
      }
      if ((ts.TYPEFLAGS & 8) != 0) yychback(S.x, S.y, text, 1, at.SCREENON, at.HARDCOPYON);
      yychdraw(S.x, S.y, text, EW, EH);
      at.SCREENON = screen;
      at.HARDCOPYON = hardcopy;
      if (!substitute) break;
      yychsave(0);
      ts.SLANT = slant;
      substitute = false;
      if (pass == SCREENPASS && at.HARDCOPYON > 0) {
        pass = HARDCOPYPASS;
        continue;
      }
      break;
    }

    // Sides that cannot draw this device text get the matching stroke font instead.
    const float limit = pass == SCREENPASS ? dd.SCTEXTLIMIT : dd.HCTEXTLIMIT;
    if (limit < kNoLimit) {
      int result = 0;
      yychsubst(pass, EW, EH, result);
      if (result == 1) {
        yychsave(1);
        installsubstitute(ts.HWFONT);
        ts.FONTKIND = 1;
        substitute = true;
        continue;
      }
    }

    // The visible run of device text.
    V o1, oN;
    if (ts.SPACING != 0 && horizontal && n > 0) {
      o1 = adv * (0.14f * width(text.substr(0, 1), 0));
      oN = adv * (0.14f * width(text.substr(static_cast<std::size_t>(n - 1)), 0));
    }
    const V D = S + o1;
    E1 = E1 - oN;
    E2 = E2 - oN;
    int firstc = -1, lastc = -1;
    V ref;
    V dprime;
    if (horizontal) {
      const V half{-0.5f * vx, 0.5f * vy};
      V q = D;
      for (int i = 0; i < n; ++i) {
        if (inbox(q + half, q - half)) {
          firstc = i;
          ref = q;
          break;
        }
        q = q + adv * width(text.substr(static_cast<std::size_t>(i), 1), 0);
      }
      if (firstc >= 0) {
        q = D + adv * width(text, 0);
        for (int i = n - 1; i >= firstc; --i) {
          if (inbox(q + half, q - half)) {
            lastc = i;
            break;
          }
          const V back = adv * width(text.substr(static_cast<std::size_t>(i), 1), 0);
          q = q - back;
          E1 = E1 - back;
          E2 = E2 - back;
        }
        if (lastc < 0) lastc = firstc;
      }
    } else {
      dprime = S + d * 0.5f - adv * 0.5f;
      for (int i = 0; i < n; ++i) {
        const V top = dprime - d * 0.5f + d * static_cast<float>(i);
        if (inbox(top, top + adv)) {
          firstc = i;
          break;
        }
      }
      if (firstc >= 0) {
        for (int k = n - 1; k >= firstc; --k) {
          const V bottom = dprime + d * (static_cast<float>(k) + 0.5f);
          if (inbox(bottom, bottom + adv)) {
            lastc = k;
            break;
          }
        }
        if (lastc < 0) lastc = firstc;
        ref = dprime + d * static_cast<float>(firstc);
      }
    }
    if (firstc < 0) break;
    const std::string_view run =
        text.substr(static_cast<std::size_t>(firstc), static_cast<std::size_t>(lastc - firstc + 1));
    const int runlength = static_cast<int>(run.size());

    // Background boxes the driver does not draw itself.
    if ((ts.TYPEFLAGS & 8) != 0) {
      OnlySide only(pass);
      if (!horizontal) {
        const V top = ref + adv * 0.5f - d * 0.5f;
        yychback(top.x, top.y, run, 1, at.SCREENON, at.HARDCOPYON);
      } else if (ts.SPACING == 1 || (pass == HARDCOPYPASS && dd.HCTEXTBACK == 0)) {
        yychback(ref.x, ref.y, run, 0, at.SCREENON, at.HARDCOPYON);
      }
    }

    op.RX1 = ref.x;
    op.RY1 = ref.y;
    op.RX2 = EW;
    op.RY2 = EH;
    if (horizontal) {
      op.RX3 = E1.x; op.RY3 = E1.y;
      op.RX4 = E2.x; op.RY4 = E2.y;
    }
    // The text operand holds 260 characters: a longer run sends its first 260.
    assignfixed(tessar.files.HCCURRENT, run.substr(0, kTextOperand));
    op.IX1 = std::min(runlength, static_cast<int>(kTextOperand));

    const float aspect = ar.ASPECT != 0 ? op.HCASPECT / ar.ASPECT : 1.0f;
    bool percharacter = false;
    auto position = [&](int k) { return k == 0 ? 1 : (k == runlength - 1 ? 2 : 0); };
    auto onechar = [&](int k) {
      assignfixed(tessar.files.HCCURRENT, run.substr(static_cast<std::size_t>(k), 1));
      op.IX1 = 1;
      op.IX2 = position(k);
    };
    if (pass == HARDCOPYPASS && horizontal) {
      if (ts.SPACING == 1 || (ts.SPACING == 2 && dd.HCDEVTEXT == 0)) {
        percharacter = true;
        for (int k = 0; k < runlength; ++k) {
          onechar(k);
          sendtext(pass);
          const float w = width(run.substr(static_cast<std::size_t>(k), 1), 1);
          op.RX1 += w * adv.x;
          op.RY1 += w * adv.y * aspect;
        }
      } else {
        op.IX2 = 3;
        op.IX4 = 1;
        sendtext(pass);
      }
    } else if (pass == HARDCOPYPASS) {
      const int justify = ts.JUSTIFY, spacing = ts.SPACING;
      if (ts.SPACING != 0 && dd.HCDEVTEXT != 0) {
        ts.JUSTIFY = 1;
        ts.SPACING = 2;
      }
      for (int k = 0; k < runlength; ++k) {
        V at0 = dprime + d * static_cast<float>(firstc + k);
        if (spacing != 0) {
          const V along{adv.x, adv.y * aspect};
          const float w = width(run.substr(static_cast<std::size_t>(k), 1), 0);
          at0 = at0 + along * (dd.HCDEVTEXT != 0 ? 0.5f : (1 - w) * 0.5f);
        }
        onechar(k);
        op.RX1 = at0.x;
        op.RY1 = at0.y;
        op.RX3 = at0.x + ts.COSA2;
        op.RY3 = at0.y + ts.SINA2Q;
        sendtext(pass);
      }
      ts.JUSTIFY = justify;
      ts.SPACING = spacing;
    } else if (horizontal && ts.SPACING == 1) {
      percharacter = true;
      for (int k = 0; k < runlength; ++k) {
        onechar(k);
        sendtext(pass);
        const float w = width(run.substr(static_cast<std::size_t>(k), 1), 1);
        op.RX1 += w * adv.x;
        op.RY1 += w * adv.y;
      }
    } else {
      op.IX4 = 1;
      sendtext(pass);
    }

    if (horizontal && (ts.TYPEFLAGS & 4) != 0 && (percharacter || op.IX4 == 1)) {
      OnlySide only(pass);
      const float s = pass == HARDCOPYPASS ? ts.SINA2Q * aspect : ts.SINA2Q;
      const V bu{ts.COSA2, s};
      const float lu = width(run, 0) * EW;
      const V u = V{ts.SINA2DQ, -ts.COSA2} * (0.45f * EH);
      V from;
      if (ts.JUSTIFY == 0)
        from = D + u;
      else if (ts.JUSTIFY == 1)
        from = (D + E1) * 0.5f - bu * (0.5f * lu) + u;
      else
        from = E1 + u - bu * lu;
      const V to = from + bu * lu;
      yylini(from.x, from.y, to.x, to.y);
    }

    if (pass == SCREENPASS && at.HARDCOPYON > 0) {
      pass = HARDCOPYPASS;
      continue;
    }
    break;
  }
  finish();
}
