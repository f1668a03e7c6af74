// Stroke-font installation, save slot and renderer.
// The renderer parses the glyph text anew on every call (no cache) and hands each stroke
// whole to the polyline or polygon primitive; its point buffers are static.
#include "toolkit/graphics/strokefont.h"

#include <algorithm>
#include <array>
#include <string>

#include "toolkit/text/strings.h"
#include "toolkit/state/tessar.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/text.h"

namespace {

// The second font record: filled by slot 1, read by nothing.
struct SecondFont {
  std::string GLYPHS = std::string(17000, ' ');
  std::array<int, 96> START1{}, START2{};
  std::array<float, 4> METRICS{};
  int CHARSETWIDTH = 8, GLYPHS128 = 0, DEFSPACING = 0;
} secondfontslot;

// The save slot: the installed font and the font kind.
struct SavedFont {
  StrokeFont font;
  int fontkind = 0;
} saveslot;

constexpr std::array<int, 256> alphabetvalues() {
  std::array<int, 256> v{};
  for (int& e : v) e = -1;
  for (std::size_t i = 0; i < kStrokeAlphabet.size(); ++i)
    v[static_cast<unsigned char>(kStrokeAlphabet[i])] = static_cast<int>(i);
  return v;
}
constexpr std::array<int, 256> kValue = alphabetvalues();

int value(char c) { return kValue[static_cast<unsigned char>(c)]; }

// Copies text over the start of a fixed field, leaving the rest of it as it was.
void overlay(std::string& field, std::string_view text) {
  field.replace(0, std::min(text.size(), field.size()), text.substr(0, field.size()));
}

std::array<float, kStrokePoints> xbuffer, ybuffer;

}  // namespace

void yychsfont(float m1, float m2, float m3, float m4, int charsetwidth, int type,
               int defspacing, int slot, std::string_view name, std::string_view glyphs,
               std::span<const int> start1, std::span<const int> start2) {
  const int n1 = (type & 2) != 0 ? 96 : 95;
  auto copy = [](std::span<const int> from, std::array<int, 96>& to, int n) {
    for (int i = 0; i < n && i < static_cast<int>(from.size()); ++i)
      to[static_cast<std::size_t>(i)] = from[static_cast<std::size_t>(i)];
  };
  if (slot == 1) {
    SecondFont& s = secondfontslot;
    s.METRICS = {m1, m2, m3, m4};
    s.CHARSETWIDTH = charsetwidth;
    s.GLYPHS128 = (type & 2) != 0 ? 1 : 0;
    s.DEFSPACING = defspacing;
    overlay(s.GLYPHS, glyphs);
    copy(start1, s.START1, n1);
    copy(start2, s.START2, 96);
    return;
  }
  StrokeFont& f = tessar.graphics.font;
  f.METRICS = {m1, m2, m3, m4};
  f.CHARSETWIDTH = charsetwidth;
  f.STROKED = type & 1;
  f.GLYPHS128 = (type & 2) != 0 ? 1 : 0;
  f.DEFSPACING = defspacing;
  assignfixed(f.NAME, name);
  overlay(f.GLYPHS, glyphs);
  copy(start1, f.START1, n1);
  copy(start2, f.START2, 96);
  tessar.graphics.text.LOADEDBOLD = 0;
}

void yychsave(int flag) {
  GraphicsRegion& g = tessar.graphics;
  if (flag == 1) {
    saveslot.font = g.font;
    saveslot.fontkind = g.text.FONTKIND;
    return;
  }
  // The 128-glyph flag is not part of the snapshot.
  const int glyphs128 = g.font.GLYPHS128;
  g.font = saveslot.font;
  g.font.GLYPHS128 = glyphs128;
  g.text.FONTKIND = saveslot.fontkind;
}

std::string_view yychglyph(int code) {
  const StrokeFont& f = tessar.graphics.font;
  int first = 0, next = 0;
  if (code >= 33 && code <= 127) {
    first = f.START1[static_cast<std::size_t>(code - 33)];
    next = f.START1[static_cast<std::size_t>(code - 32)];
    if (code == 127 && f.GLYPHS128 == 0) return {};
  } else if (code >= 161 && code <= 255) {
    first = f.START2[static_cast<std::size_t>(code - 161)];
    next = f.START2[static_cast<std::size_t>(code - 160)];
  } else {
    return {};
  }
  const int size = static_cast<int>(f.GLYPHS.size());
  first = std::clamp(first, 1, size + 1);
  next = std::clamp(next, first, size + 1);
  return std::string_view(f.GLYPHS).substr(static_cast<std::size_t>(first - 1),
                                           static_cast<std::size_t>(next - first));
}

void yychdraw(float x, float y, std::string_view text, float EW, float EH) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  const TextState& ts = g.text;
  const StrokeFont& f = g.font;
  const float C = ts.COSA2, Sp = ts.SINA2Q, Sq = ts.SINA2DQ;
  const float ax = ts.ADVX, ay = ts.ADVY, dx = ts.COLXSTEP, dy = -ts.COLYSTEP;
  const bool prop = ts.SPACING != 0;
  const bool vertical = ts.DIRECTION != 0;
  const float m1 = f.METRICS[0], m2 = f.METRICS[1], m3 = f.METRICS[2], m4 = f.METRICS[3];
  if (!(m1 > 0) || !(m2 > 0) || !(EH != 0)) return;
  float sx = EW / m1;
  const float sy = EH / m2;
  if (m3 < 8 && prop) sx *= 0.75f;
  const float k = EW * ts.SLANT / EH;
  const float ltot = wgrtextlength(text, 1);

  const bool outline = f.STROKED == 0;
  const bool bold = !outline && (ts.TYPEFLAGS & 1) != 0;
  int& option9 = tessar.hardcopy.HCOPTIONS[8];
  const int fillstyle = at.FILLSTYLE, linewidth = at.LINEWIDTH, saved9 = option9;
  if (outline) {
    at.FILLSTYLE = 4;
    at.STROKETEXT = 1;
  } else if (bold) {
    at.LINEWIDTH *= 2;
    option9 *= 2;
    yysend(DLINEWIDTH);
  }

  float before = 0;   // widths of the characters already placed
  const int n = static_cast<int>(text.size());
  for (int i = 0; i < n; ++i) {
    const int c = yychcode(text[static_cast<std::size_t>(i)]);
    const float w = prop ? yychwidth(c) : 1.0f;
    float ox, oy;
    if (!vertical) {
      ox = x + (before + 0.5f * w) * ax - 0.5f * m3 * sx * C + 0.5f * dx;
      oy = y + (before + 0.5f * w) * ay - 0.5f * m3 * sx * Sp + 0.5f * dy;
    } else {
      const float row = static_cast<float>(i) + 0.5f;
      ox = x + row * dx - 0.5f * m3 * sx * C + 0.5f * m4 * sy * Sq;
      oy = y + row * dy - 0.5f * m3 * sx * Sq - 0.5f * m4 * sy * C;
    }
    before += w;
    if (c <= 32) continue;
    const std::string_view glyph = yychglyph(c);
    std::size_t p = 0;
    while (p + 4 <= glyph.size()) {
      int count = 0;
      bool broken = false;
      auto point = [&](char cx, char cy) {
        const int xv = value(cx), yv = value(cy);
        if (xv < 0 || yv < 0) {
          broken = true;
          return;
        }
        const float xp = sx * static_cast<float>(xv) + k * sy * static_cast<float>(yv);
        const float yp = sy * static_cast<float>(yv);
        // A stroke longer than the buffers keeps its first points.
        if (count >= kStrokePoints) return;
        xbuffer[static_cast<std::size_t>(count)] = ox + C * xp - Sq * yp;
        ybuffer[static_cast<std::size_t>(count)] = oy + Sp * xp + C * yp;
        ++count;
      };
      point(glyph[p], glyph[p + 1]);
      point(glyph[p + 2], glyph[p + 3]);
      p += 4;
      while (p + 1 < glyph.size() && value(glyph[p]) >= 0) {
        point(glyph[p], glyph[p + 1]);
        p += 2;
      }
      if (p < glyph.size() && value(glyph[p]) < 0) ++p;   // the pen-up character
      // A glyph whose first points break the format is left undrawn from there on.
      if (broken) break;
      const std::span<const float> xs(xbuffer.data(), static_cast<std::size_t>(count));
      const std::span<const float> ys(ybuffer.data(), static_cast<std::size_t>(count));
      if (outline)
        yyplygon(xs, ys, count, 1);
      else if (count == 2)
        yylini(xs[0], ys[0], xs[1], ys[1]);
      else
        yypline(xs, ys, count, 1);
    }
  }
  if (!vertical && (ts.TYPEFLAGS & 4) != 0) {
    const float ux = x + 0.45f * dx, uy = y + 0.45f * dy;
    yylini(ux, uy, ux + ltot * ax, uy + ltot * ay);
  }
  if (outline) {
    at.FILLSTYLE = fillstyle;
    at.STROKETEXT = 0;
  } else if (bold) {
    at.LINEWIDTH = linewidth;
    option9 = saved9;
    yysend(DLINEWIDTH);
  }
}
