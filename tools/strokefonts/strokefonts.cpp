// strokefonts: makes the nine built-in stroke fonts as C++ sources, one per font.
//   strokefonts OUTDIR HERSHEYDIR SANS SANSBOLD SERIF SERIFBOLD MONO MONOBOLD SYMBOL
// Stroked fonts come from Hershey glyphs (the .jhf files of hershey-fonts-data); outline
// fonts from TrueType/Type 1 outlines read with FreeType, flattened and simplified onto the
// 0-55 grid, inner counters joined to their outer contour so that each glyph piece is one
// polygon for the even-odd fill. Every font keeps the format's limits: 17000 characters of
// glyph text, at most 100 points per stroke.
// Sections: geometry | glyph text and output | Hershey | outlines | main
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

//------------------------------------------------------------------------------
// [SECTION] Geometry
//------------------------------------------------------------------------------
struct P { double x, y; };
using Path = std::vector<P>;
struct IP {
  int x, y;
  bool operator==(const IP&) const = default;
};
using IPath = std::vector<IP>;
struct Glyph {
  std::vector<IPath> strokes;
};

constexpr int kMaxText = 17000;
constexpr int kMaxPoints = 100;
const std::string kAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrst";

double segdist(const P& p, const P& a, const P& b) {
  const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
  if (l2 == 0) return std::hypot(p.x - a.x, p.y - a.y);
  const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

void douglas(const Path& in, std::size_t a, std::size_t b, double tol, std::vector<bool>& keep) {
  if (b <= a + 1) return;
  double worst = -1;
  std::size_t at = a;
  for (std::size_t i = a + 1; i < b; ++i) {
    const double d = segdist(in[i], in[a], in[b]);
    if (d > worst) {
      worst = d;
      at = i;
    }
  }
  if (worst > tol) {
    keep[at] = true;
    douglas(in, a, at, tol, keep);
    douglas(in, at, b, tol, keep);
  }
}

Path simplify(const Path& in, double tol, bool closed) {
  if (in.size() < 3 || tol <= 0) return in;
  std::vector<bool> keep(in.size(), false);
  keep.front() = keep.back() = true;
  if (closed) {
    // Split the ring at its point farthest from the first.
    std::size_t far = 0;
    double best = -1;
    for (std::size_t i = 0; i < in.size(); ++i) {
      const double d = std::hypot(in[i].x - in[0].x, in[i].y - in[0].y);
      if (d > best) {
        best = d;
        far = i;
      }
    }
    keep[far] = true;
    douglas(in, 0, far, tol, keep);
    Path ring(in.begin() + static_cast<long>(far), in.end());
    ring.push_back(in[0]);
    std::vector<bool> k2(ring.size(), false);
    douglas(ring, 0, ring.size() - 1, tol, k2);
    for (std::size_t i = 1; i + 1 < ring.size(); ++i)
      if (k2[i]) keep[far + i] = true;
  } else {
    douglas(in, 0, in.size() - 1, tol, keep);
  }
  Path out;
  for (std::size_t i = 0; i < in.size(); ++i)
    if (keep[i]) out.push_back(in[i]);
  return out;
}

// Rounds onto the grid, dropping repeats and points on a straight run.
IPath togrid(const Path& in, bool closed, int lo, int hix, int hiy) {
  IPath out;
  for (const P& p : in) {
    const IP q{std::clamp(static_cast<int>(std::lround(p.x)), lo, hix),
               std::clamp(static_cast<int>(std::lround(p.y)), lo, hiy)};
    if (out.empty() || !(out.back() == q)) out.push_back(q);
  }
  if (closed)
    while (out.size() > 1 && out.front() == out.back()) out.pop_back();
  bool changed = true;
  while (changed && out.size() > 2) {
    changed = false;
    const std::size_t n = out.size();
    for (std::size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i) {
      const IP& a = out[(i + n - 1) % n];
      const IP& b = out[i];
      const IP& c = out[(i + 1) % n];
      const long cross = static_cast<long>(b.x - a.x) * (c.y - b.y) -
                         static_cast<long>(b.y - a.y) * (c.x - b.x);
      const long dot = static_cast<long>(b.x - a.x) * (c.x - b.x) +
                       static_cast<long>(b.y - a.y) * (c.y - b.y);
      if (cross == 0 && dot >= 0) {
        out.erase(out.begin() + static_cast<long>(i));
        changed = true;
        break;
      }
    }
  }
  return out;
}

double area(const IPath& p) {
  double a = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const IP& u = p[i];
    const IP& v = p[(i + 1) % p.size()];
    a += static_cast<double>(u.x) * v.y - static_cast<double>(v.x) * u.y;
  }
  return a / 2;
}

bool inside(const IPath& poly, double x, double y) {
  bool in = false;
  for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const double xi = poly[i].x, yi = poly[i].y, xj = poly[j].x, yj = poly[j].y;
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
  }
  return in;
}

// A point just inside a contour, beside the middle of its longest edge: never inside a
// counter of it, since counters do not touch their contour.
P interiorpoint(const IPath& c) {
  const double sign = area(c) > 0 ? 1 : -1;
  const std::size_t n = c.size();
  std::size_t best = 0;
  double len = -1;
  for (std::size_t i = 0; i < n; ++i) {
    const IP& a = c[i];
    const IP& b = c[(i + 1) % n];
    const double l = std::hypot(b.x - a.x, b.y - a.y);
    if (l > len) {
      len = l;
      best = i;
    }
  }
  const IP& a = c[best];
  const IP& b = c[(best + 1) % n];
  const double nx = -(b.y - a.y) / len * sign, ny = (b.x - a.x) / len * sign;
  return {(a.x + b.x) / 2.0 + 0.05 * nx, (a.y + b.y) / 2.0 + 0.05 * ny};
}

// Joins every counter to the smallest contour around it by a doubled bridge between their
// nearest points: the even-odd fill then cuts the counter out of one polygon.
std::vector<IPath> joincounters(std::vector<IPath> contours) {
  const std::size_t n = contours.size();
  std::vector<int> depth(n, 0), parent(n, -1);
  std::vector<P> probe(n);
  for (std::size_t i = 0; i < n; ++i) probe[i] = interiorpoint(contours[i]);
  for (std::size_t i = 0; i < n; ++i) {
    double best = 1e18;
    for (std::size_t j = 0; j < n; ++j) {
      if (i == j || !inside(contours[j], probe[i].x, probe[i].y)) continue;
      ++depth[i];
      const double a = std::fabs(area(contours[j]));
      if (a < best) {
        best = a;
        parent[i] = static_cast<int>(j);
      }
    }
  }
  std::vector<bool> merged(n, false);
  for (std::size_t h = 0; h < n; ++h) {
    if (depth[h] % 2 == 0 || parent[h] < 0) continue;
    if (std::fabs(area(contours[h])) >= std::fabs(area(contours[static_cast<std::size_t>(parent[h])])))
      continue;
    IPath& outer = contours[static_cast<std::size_t>(parent[h])];
    const IPath& hole = contours[h];
    std::size_t bi = 0, bj = 0;
    long best = -1;
    for (std::size_t i = 0; i < outer.size(); ++i)
      for (std::size_t j = 0; j < hole.size(); ++j) {
        const long dx = outer[i].x - hole[j].x, dy = outer[i].y - hole[j].y;
        const long d = dx * dx + dy * dy;
        if (best < 0 || d < best) {
          best = d;
          bi = i;
          bj = j;
        }
      }
    IPath joined(outer.begin(), outer.begin() + static_cast<long>(bi) + 1);
    for (std::size_t k = 0; k <= hole.size(); ++k) joined.push_back(hole[(bj + k) % hole.size()]);
    joined.insert(joined.end(), outer.begin() + static_cast<long>(bi), outer.end());
    IPath clean;
    for (const IP& p : joined)
      if (clean.empty() || !(clean.back() == p)) clean.push_back(p);
    while (clean.size() > 1 && clean.front() == clean.back()) clean.pop_back();
    outer = clean;
    merged[h] = true;
  }
  std::vector<IPath> out;
  for (std::size_t i = 0; i < n; ++i)
    if (!merged[i]) out.push_back(contours[i]);
  return out;
}

//------------------------------------------------------------------------------
// [SECTION] Glyph text and output
//------------------------------------------------------------------------------
std::string encode(const Glyph& g, char penup) {
  std::string s;
  for (const IPath& st : g.strokes) {
    if (st.size() < 2) continue;
    if (!s.empty()) s += penup;
    for (const IP& p : st) {
      s += kAlphabet[static_cast<std::size_t>(p.x)];
      s += kAlphabet[static_cast<std::size_t>(p.y)];
    }
  }
  return s;
}

struct FontSpec {
  std::string file;        // generated source name
  std::string symbol;      // C++ name of the data
  std::string name;        // ".chr" label
  double m1, m2, m3, m4;
  int type, defspacing;
  char penup;
};

// Glyph texts of codes 33-127 (index code - 33) and 161-255 (index code - 161 + 95).
using GlyphSet = std::array<std::string, 190>;

bool writefont(const std::string& dir, const FontSpec& f, const GlyphSet& g) {
  std::string text;
  std::array<int, 96> s1{}, s2{};
  for (int c = 33; c <= 127; ++c) {
    s1[static_cast<std::size_t>(c - 33)] = static_cast<int>(text.size()) + 1;
    text += g[static_cast<std::size_t>(c - 33)];
  }
  s1[95] = static_cast<int>(text.size()) + 1;   // the slot of code 128: empty
  for (int c = 161; c <= 255; ++c) {
    s2[static_cast<std::size_t>(c - 161)] = static_cast<int>(text.size()) + 1;
    text += g[static_cast<std::size_t>(c - 161 + 95)];
  }
  s2[95] = static_cast<int>(text.size()) + 1;
  if (static_cast<int>(text.size()) > kMaxText) {
    std::fprintf(stderr, "strokefonts: %s has %zu characters of glyph text\n", f.name.c_str(),
                 text.size());
    return false;
  }
  std::ostringstream o;
  o << "// Made by tools/strokefonts at build time: the stroke font " << f.name << ".\n"
    << "#include \"toolkit/graphics/strokefonts.h\"\n\n"
    << "extern const StrokeFontData " << f.symbol << ";\n"
    << "const StrokeFontData " << f.symbol << " = {\n  " << std::to_string(f.m1) << "f, "
    << std::to_string(f.m2) << "f, " << std::to_string(f.m3) << "f, " << std::to_string(f.m4)
    << "f, " << f.type << ", " << f.defspacing << ", \"" << f.name
    << "\",\n";
  for (std::size_t i = 0; i < text.size(); i += 96)
    o << "  \"" << text.substr(i, 96) << "\"\n";
  if (text.empty()) o << "  \"\"\n";
  o << "  ,\n  {";
  for (std::size_t i = 0; i < 96; ++i) o << (i ? ", " : "") << s1[i];
  o << "},\n  {";
  for (std::size_t i = 0; i < 96; ++i) o << (i ? ", " : "") << s2[i];
  o << "}};\n";
  const std::string path = dir + "/" + f.file;
  // Leave an unchanged file alone so that nothing recompiles.
  std::ifstream old(path);
  std::stringstream was;
  was << old.rdbuf();
  if (was.str() == o.str()) return true;
  std::ofstream out(path);
  out << o.str();
  return static_cast<bool>(out);
}

std::size_t totalsize(const GlyphSet& g) {
  std::size_t n = 0;
  for (const std::string& s : g) n += s.size();
  return n;
}

//------------------------------------------------------------------------------
// [SECTION] Hershey
//------------------------------------------------------------------------------
// One Hershey glyph: its strokes in Hershey units (y down) and its left and right bounds.
struct Hershey {
  std::vector<Path> strokes;
  int left = 0, right = 0;
  std::string data;   // the glyph as the file writes it
};

std::vector<Hershey> readjhf(const std::string& path) {
  std::ifstream in(path);
  std::string all, line;
  while (std::getline(in, line)) all += line + "\n";
  std::vector<Hershey> out;
  std::size_t p = 0;
  while (p < all.size()) {
    while (p < all.size() && (all[p] == '\n' || all[p] == '\r')) ++p;
    if (p + 8 > all.size()) break;
    const int count = std::atoi(all.substr(p + 5, 3).c_str());
    p += 8;
    std::string data;
    while (static_cast<int>(data.size()) < 2 * count && p < all.size()) {
      if (all[p] != '\n' && all[p] != '\r') data += all[p];
      ++p;
    }
    Hershey h;
    h.data = data;
    if (data.size() >= 2) {
      h.left = data[0] - 'R';
      h.right = data[1] - 'R';
    }
    Path cur;
    for (std::size_t i = 2; i + 1 < data.size(); i += 2) {
      if (data[i] == ' ' && data[i + 1] == 'R') {
        if (!cur.empty()) h.strokes.push_back(cur);
        cur.clear();
        continue;
      }
      cur.push_back({static_cast<double>(data[i] - 'R'), static_cast<double>(data[i + 1] - 'R')});
    }
    if (!cur.empty()) h.strokes.push_back(cur);
    out.push_back(h);
  }
  return out;
}

// A Hershey glyph placed by a mapping from Hershey units to the grid.
template <class Map>
Glyph placed(const Hershey& h, Map&& map, int hix, int hiy, double tol) {
  Glyph g;
  for (const Path& s : h.strokes) {
    Path m;
    for (const P& p : s) m.push_back(map(p));
    IPath q = togrid(simplify(m, tol, false), false, 0, hix, hiy);
    // A dot keeps a tick of one unit, so that it shows.
    if (q.size() == 1) q.push_back({q[0].x, q[0].y < hiy ? q[0].y + 1 : q[0].y - 1});
    if (q.size() >= 2) g.strokes.push_back(q);
  }
  return g;
}

struct Ink { double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9; };
Ink ink(const Hershey& h) {
  Ink k;
  for (const Path& s : h.strokes)
    for (const P& p : s) {
      k.x0 = std::min(k.x0, p.x); k.x1 = std::max(k.x1, p.x);
      k.y0 = std::min(k.y0, p.y); k.y1 = std::max(k.y1, p.y);
    }
  return k;
}

// "standard.chr": caps from the base line y = 2 up to 11, x-height 8, descenders to 0, on a
// 0-6 grid; each glyph centred on x = 3 and narrowed when its ink is wider than the grid.
// band: the height the letter's cap height maps to (9 normally, 7 under an accent).
Glyph standardglyph(const Hershey& h, double band = 9) {
  const Ink k = ink(h);
  const double centre = (k.x0 + k.x1) / 2;
  const double width = k.x1 - k.x0;
  const double sx = width > 0 ? std::min(0.3, 6.0 / width) : 0.3;
  auto map = [&](const P& p) {
    const double y = p.y <= 9 ? 2 + (9 - p.y) * band / 21 : 2 - (p.y - 9) * 2.0 / 7;
    return P{3 + (p.x - centre) * sx, y};
  };
  return placed(h, map, 6, 11, 0.35);
}

// A Hershey glyph fitted into a box of the 0-6 by 0-11 grid.
Glyph boxed(const Hershey& h, double x0, double y0, double x1, double y1) {
  const Ink k = ink(h);
  const double w = std::max(k.x1 - k.x0, 1.0), t = std::max(k.y1 - k.y0, 1.0);
  auto map = [&](const P& p) {
    return P{x0 + (p.x - k.x0) * (x1 - x0) / w, y1 - (p.y - k.y0) * (y1 - y0) / t};
  };
  return placed(h, map, 6, 11, 0.3);
}

Glyph strokes(const std::vector<IPath>& s) { return Glyph{s}; }
Glyph operator+(Glyph a, const Glyph& b) {
  a.strokes.insert(a.strokes.end(), b.strokes.begin(), b.strokes.end());
  return a;
}
Glyph mirroredy(Glyph g, int axis2) {   // y -> axis2 - y
  for (IPath& s : g.strokes)
    for (IP& p : s) p.y = std::clamp(axis2 - p.y, 0, 11);
  return g;
}

GlyphSet standardfont(const std::string& dir) {
  const std::vector<Hershey> hs = readjhf(dir + "/futural.jhf");
  auto H = [&](char c) -> const Hershey& { return hs.at(static_cast<std::size_t>(c - 32)); };
  auto S = [&](char c) { return standardglyph(H(c)); };
  // Accents above a letter: capitals are drawn 7 high so that the accent fits at 10-11.
  const std::map<char, std::vector<IPath>> accents = {
      {'`', {{{2, 11}, {3, 10}}}},
      {'\'', {{{3, 10}, {4, 11}}}},
      {'^', {{{2, 10}, {3, 11}, {4, 10}}}},
      {'~', {{{1, 10}, {2, 11}, {4, 10}, {5, 11}}}},
      {':', {{{2, 10}, {2, 11}}, {{4, 10}, {4, 11}}}},
      {'o', {{{2, 10}, {3, 11}, {4, 10}, {3, 9}, {2, 10}}}},
  };
  auto accented = [&](char base, char accent) {
    const bool capital = base >= 'A' && base <= 'Z';
    Glyph g = capital ? standardglyph(H(base), 7) : S(base);
    return g + strokes(accents.at(accent));
  };
  const Glyph cedilla = strokes({{{3, 2}, {3, 1}, {4, 1}, {4, 0}, {2, 0}}});
  auto small = [&](char c) { return boxed(H(c), 2, 6, 4, 11); };
  auto slash = [](int x0, int y0, int x1, int y1) { return strokes({{{x0, y0}, {x1, y1}}}); };
  auto ring = [](int x0, int y0, int x1, int y1) {
    const int xm = (x0 + x1) / 2, ym = (y0 + y1) / 2;
    return strokes({{{xm, y0}, {x1, ym}, {xm, y1}, {x0, ym}, {xm, y0}}});
  };

  GlyphSet g;
  auto put = [&](int code, const Glyph& gl) {
    const std::size_t i = code <= 127 ? static_cast<std::size_t>(code - 33)
                                      : static_cast<std::size_t>(code - 161 + 95);
    g[i] = encode(gl, 'u');
  };
  for (int c = 33; c <= 126; ++c) put(c, S(static_cast<char>(c)));
  // The euro sign: a C with two bars.
  put(127, S('C') + strokes({{{0, 5}, {4, 5}}, {{0, 7}, {4, 7}}}));

  std::map<int, Glyph> upper;
  upper[161] = mirroredy(S('!'), 10);
  upper[162] = S('c') + slash(3, 1, 3, 9);
  upper[163] = strokes({{{5, 10}, {4, 11}, {3, 11}, {2, 10}, {2, 2}}, {{0, 6}, {4, 6}},
                        {{0, 2}, {6, 2}}});
  upper[164] = ring(1, 4, 5, 8) + strokes({{{0, 3}, {1, 4}}, {{5, 8}, {6, 9}}, {{0, 9}, {1, 8}},
                                           {{5, 4}, {6, 3}}});
  upper[165] = S('Y') + strokes({{{1, 5}, {5, 5}}, {{1, 4}, {5, 4}}});
  upper[166] = strokes({{{3, 0}, {3, 4}}, {{3, 7}, {3, 11}}});
  upper[167] = boxed(H('S'), 1, 4, 5, 11) + boxed(H('S'), 1, 0, 5, 7);
  upper[168] = strokes(accents.at(':'));
  upper[169] = ring(0, 2, 6, 11) + boxed(H('c'), 2, 5, 4, 8);
  upper[170] = small('a') + strokes({{{2, 5}, {4, 5}}});
  upper[171] = strokes({{{3, 3}, {1, 5}, {3, 7}}, {{5, 3}, {3, 5}, {5, 7}}});
  upper[172] = strokes({{{0, 6}, {6, 6}, {6, 4}}});
  upper[173] = S('-');
  upper[174] = ring(0, 2, 6, 11) + boxed(H('R'), 2, 5, 4, 8);
  upper[175] = strokes({{{1, 11}, {5, 11}}});
  upper[176] = ring(2, 8, 4, 11);
  upper[177] = S('+') + strokes({{{1, 2}, {5, 2}}});
  upper[178] = small('2');
  upper[179] = small('3');
  upper[180] = strokes(accents.at('\''));
  upper[181] = S('u') + slash(1, 0, 1, 8);
  upper[182] = strokes({{{3, 2}, {3, 11}, {6, 11}, {6, 2}}, {{3, 11}, {1, 10}, {1, 8}, {3, 7}}});
  upper[183] = strokes({{{3, 6}, {3, 7}}});
  upper[184] = cedilla;
  upper[185] = small('1');
  upper[186] = small('o') + strokes({{{2, 5}, {4, 5}}});
  upper[187] = strokes({{{1, 3}, {3, 5}, {1, 7}}, {{3, 3}, {5, 5}, {3, 7}}});
  upper[188] = boxed(H('1'), 0, 7, 2, 11) + slash(0, 2, 6, 11) + boxed(H('4'), 4, 2, 6, 6);
  upper[189] = boxed(H('1'), 0, 7, 2, 11) + slash(0, 2, 6, 11) + boxed(H('2'), 4, 2, 6, 6);
  upper[190] = boxed(H('3'), 0, 7, 2, 11) + slash(0, 2, 6, 11) + boxed(H('4'), 4, 2, 6, 6);
  upper[191] = mirroredy(S('?'), 10);
  const char acc6[] = {'`', '\'', '^', '~', ':', 'o'};
  for (int i = 0; i < 6; ++i) upper[192 + i] = accented('A', acc6[i]);
  upper[198] = strokes({{{0, 2}, {3, 11}, {6, 11}}, {{1, 5}, {3, 5}}, {{3, 11}, {3, 2}, {6, 2}},
                        {{3, 7}, {5, 7}}});
  upper[199] = S('C') + cedilla;
  const char acc4[] = {'`', '\'', '^', ':'};
  for (int i = 0; i < 4; ++i) upper[200 + i] = accented('E', acc4[i]);
  for (int i = 0; i < 4; ++i) upper[204 + i] = accented('I', acc4[i]);
  upper[208] = S('D') + strokes({{{0, 6}, {2, 6}}});
  upper[209] = accented('N', '~');
  const char acc5[] = {'`', '\'', '^', '~', ':'};
  for (int i = 0; i < 5; ++i) upper[210 + i] = accented('O', acc5[i]);
  upper[215] = strokes({{{1, 3}, {5, 8}}, {{1, 8}, {5, 3}}});
  upper[216] = S('O') + slash(0, 1, 6, 11);
  for (int i = 0; i < 4; ++i) upper[217 + i] = accented('U', acc4[i]);
  upper[221] = accented('Y', '\'');
  upper[222] = strokes({{{1, 2}, {1, 11}}, {{1, 9}, {4, 9}, {5, 8}, {5, 5}, {4, 4}, {1, 4}}});
  upper[223] = strokes({{{1, 1}, {1, 10}, {2, 11}, {4, 11}, {5, 10}, {5, 8}, {3, 7}, {5, 6},
                         {5, 3}, {4, 2}, {3, 2}}});
  for (int i = 0; i < 6; ++i) upper[224 + i] = accented('a', acc6[i]);
  upper[230] = strokes({{{0, 7}, {1, 8}, {3, 8}, {3, 2}, {1, 2}, {0, 3}, {0, 4}, {1, 5}, {3, 5}},
                        {{3, 5}, {6, 5}, {6, 7}, {5, 8}, {4, 8}, {3, 7}}, {{3, 3}, {4, 2}, {6, 2}}});
  upper[231] = S('c') + cedilla;
  for (int i = 0; i < 4; ++i) upper[232 + i] = accented('e', acc4[i]);
  // A dotless i under the accent: the stem alone.
  for (int i = 0; i < 4; ++i) upper[236 + i] = strokes({{{3, 2}, {3, 8}}}) + strokes(accents.at(acc4[i]));
  upper[240] = S('o') + strokes({{{2, 10}, {5, 9}}, {{5, 11}, {5, 5}}});
  upper[241] = accented('n', '~');
  for (int i = 0; i < 5; ++i) upper[242 + i] = accented('o', acc5[i]);
  upper[247] = strokes({{{1, 6}, {5, 6}}, {{3, 8}, {3, 9}}, {{3, 3}, {3, 4}}});
  upper[248] = S('o') + slash(1, 1, 5, 9);
  for (int i = 0; i < 4; ++i) upper[249 + i] = accented('u', acc4[i]);
  upper[253] = accented('y', '\'');
  upper[254] = strokes({{{1, 0}, {1, 11}}, {{1, 7}, {2, 8}, {4, 8}, {5, 7}, {5, 3}, {4, 2}, {2, 2},
                        {1, 3}}});
  upper[255] = accented('y', ':');
  for (int c = 161; c <= 255; ++c) put(c, upper.at(c));
  return g;
}

// "symbols.chr": Hershey pictograms on the 0-35 grid, kept at their own size and centred.
GlyphSet symbolsfont(const std::string& dir) {
  // The pictograms of these files, in order, without repeats and without the letters,
  // digits and ligatures that some of them share with the text fonts.
  std::set<std::string> text;
  for (const char* f : {"futural", "futuram", "rowmans", "rowmand", "rowmant", "timesr", "timesi",
                        "timesrb", "timesib", "greek", "greekc", "greeks", "scripts", "scriptc"})
    for (const Hershey& h : readjhf(dir + "/" + f + ".jhf")) text.insert(h.data);
  std::vector<Hershey> pool;
  std::set<std::string> seen;
  for (const char* f : {"symbolic", "markers", "meteorology", "astrology", "music", "mathlow",
                        "mathupp", "japanese"}) {
    const std::vector<Hershey> glyphs = readjhf(dir + "/" + f + ".jhf");
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
      const Hershey& h = glyphs[i];
      // Places 88-92 of the pictogram file hold the ligatures ff, fi, fl, ffi and ffl.
      if (std::string(f) == "symbolic" && i >= 88 && i <= 92) continue;
      if (h.strokes.empty() || text.count(h.data) != 0 || !seen.insert(h.data).second) continue;
      pool.push_back(h);
    }
  }
  std::vector<const Hershey*> chosen(190, nullptr);
  std::size_t next = 0;
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    if (i == 94) continue;   // slot 127 stays empty
    if (next < pool.size()) chosen[i] = &pool[next++];
  }
  GlyphSet g;
  for (double tol = 0.3;; tol *= 1.25) {
    for (std::size_t i = 0; i < chosen.size(); ++i) {
      g[i].clear();
      if (i == 94 || chosen[i] == nullptr) continue;   // slot 127 stays empty
      const Hershey& h = *chosen[i];
      const Ink k = ink(h);
      const double span = std::max(k.x1 - k.x0, k.y1 - k.y0);
      const double s = span > 34 ? 34 / span : 1.0;
      const double cx = (k.x0 + k.x1) / 2, cy = (k.y0 + k.y1) / 2;
      auto map = [&](const P& p) { return P{17.5 + (p.x - cx) * s, 17.5 - (p.y - cy) * s}; };
      g[i] = encode(placed(h, map, 35, 35, tol), 'u');
    }
    if (totalsize(g) <= static_cast<std::size_t>(kMaxText) - 200) break;
  }
  return g;
}

//------------------------------------------------------------------------------
// [SECTION] Outlines
//------------------------------------------------------------------------------
struct Decomposer {
  std::vector<Path> contours;
  P last{0, 0};
  static P pt(const FT_Vector* v) { return {static_cast<double>(v->x), static_cast<double>(v->y)}; }
  static int move(const FT_Vector* to, void* u) {
    auto* d = static_cast<Decomposer*>(u);
    d->contours.emplace_back();
    d->last = pt(to);
    d->contours.back().push_back(d->last);
    return 0;
  }
  static int line(const FT_Vector* to, void* u) {
    auto* d = static_cast<Decomposer*>(u);
    d->last = pt(to);
    d->contours.back().push_back(d->last);
    return 0;
  }
  static int conic(const FT_Vector* c, const FT_Vector* to, void* u) {
    auto* d = static_cast<Decomposer*>(u);
    const P a = d->last, b = pt(c), e = pt(to);
    for (int i = 1; i <= 8; ++i) {
      const double t = i / 8.0, s = 1 - t;
      d->contours.back().push_back({s * s * a.x + 2 * s * t * b.x + t * t * e.x,
                                    s * s * a.y + 2 * s * t * b.y + t * t * e.y});
    }
    d->last = e;
    return 0;
  }
  static int cubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* u) {
    auto* d = static_cast<Decomposer*>(u);
    const P a = d->last, b = pt(c1), c = pt(c2), e = pt(to);
    for (int i = 1; i <= 10; ++i) {
      const double t = i / 10.0, s = 1 - t;
      d->contours.back().push_back(
          {s * s * s * a.x + 3 * s * s * t * b.x + 3 * s * t * t * c.x + t * t * t * e.x,
           s * s * s * a.y + 3 * s * s * t * b.y + 3 * s * t * t * c.y + t * t * t * e.y});
    }
    d->last = e;
    return 0;
  }
};

struct OutlineSource {
  FT_Face face = nullptr;
  bool symbolic = false;   // codes are the face's own encoding, not Latin-1
};

FT_UInt glyphindex(const OutlineSource& src, unsigned code) {
  return FT_Get_Char_Index(src.face, code);
}

// The contours of one code in font units, with its advance; empty when the face has none.
std::vector<Path> contoursof(const OutlineSource& src, unsigned code, double& advance) {
  const FT_UInt gi = glyphindex(src, code);
  advance = 0;
  if (gi == 0) return {};
  if (FT_Load_Glyph(src.face, gi, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) return {};
  advance = static_cast<double>(src.face->glyph->advance.x);
  if (src.face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return {};
  Decomposer d;
  FT_Outline_Funcs f{};
  f.move_to = &Decomposer::move;
  f.line_to = &Decomposer::line;
  f.conic_to = &Decomposer::conic;
  f.cubic_to = &Decomposer::cubic;
  FT_Outline_Decompose(&src.face->glyph->outline, &f, &d);
  return d.contours;
}

double capheight(const OutlineSource& src) {
  double adv = 0;
  double top = 0;
  for (const Path& c : contoursof(src, 'H', adv))
    for (const P& p : c) top = std::max(top, p.y);
  return top > 0 ? top : src.face->units_per_EM * 0.7;
}

struct OutlineDesign { double base, cap; };

// One glyph on the 0-55 grid, centred on x = 27.5, the strokes simplified until each holds
// at most kMaxPoints points.
Glyph outlineglyph(const std::vector<Path>& contours, double advance, double scale,
                   const OutlineDesign& d, double tol) {
  for (double t = tol;; t *= 1.3) {
    std::vector<IPath> pieces;
    for (const Path& c : contours) {
      Path m;
      for (const P& p : c) m.push_back({27.5 + (p.x - advance / 2) * scale, d.base + p.y * scale});
      if (m.size() > 1 && m.front().x == m.back().x && m.front().y == m.back().y) m.pop_back();
      IPath q = togrid(simplify(m, t, true), true, 0, 55, 55);
      if (q.size() >= 3 && area(q) != 0) pieces.push_back(q);
    }
    pieces = joincounters(pieces);
    bool fits = true;
    for (const IPath& p : pieces) fits = fits && p.size() <= static_cast<std::size_t>(kMaxPoints);
    if (fits || t > 8) return Glyph{pieces};
  }
}

// A square outline for a code the face has no glyph for.
Glyph missingbox(const OutlineDesign& d) {
  const int b = static_cast<int>(d.base), c = static_cast<int>(d.cap);
  return Glyph{joincounters({{{16, b}, {39, b}, {39, c}, {16, c}},
                             {{19, b + 3}, {19, c - 3}, {36, c - 3}, {36, b + 3}}})};
}

GlyphSet outlinefont(const OutlineSource& src, const OutlineDesign& d) {
  const double scale = (d.cap - d.base) / capheight(src);
  std::vector<std::pair<std::vector<Path>, double>> shapes(190);
  for (std::size_t i = 0; i < 190; ++i) {
    unsigned code = i < 95 ? static_cast<unsigned>(33 + i) : static_cast<unsigned>(161 + i - 95);
    if (!src.symbolic && code == 127) code = 0x20AC;   // the euro sign in slot 127
    if (src.symbolic && code == 127) continue;
    double adv = 0;
    auto c = contoursof(src, code, adv);
    // The soft hyphen shows as a hyphen.
    if (c.empty() && code == 173) c = contoursof(src, '-', adv);
    shapes[i] = {c, adv};
  }
  GlyphSet g;
  for (double tol = 0.3;; tol *= 1.15) {
    for (std::size_t i = 0; i < 190; ++i) {
      g[i].clear();
      if (src.symbolic && i == 94) continue;
      const auto& [c, adv] = shapes[i];
      const Glyph gl = c.empty() ? missingbox(d) : outlineglyph(c, adv, scale, d, tol);
      g[i] = encode(gl, 'v');
    }
    if (totalsize(g) <= static_cast<std::size_t>(kMaxText) - 100) break;
  }
  return g;
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Main
//------------------------------------------------------------------------------
int main(int argc, char** argv) {
  if (argc != 10) {
    std::fprintf(stderr,
                 "usage: strokefonts OUTDIR HERSHEYDIR SANS SANSBOLD SERIF SERIFBOLD MONO "
                 "MONOBOLD SYMBOL\n");
    return 2;
  }
  const std::string out = argv[1], hershey = argv[2];
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) return 1;
  bool ok = true;
  ok = ok && writefont(out, {"font_standard.cpp", "kFontStandard", "standard.chr", 7.68, 11.88, 6,
                             11, 3, 0, 'u'}, standardfont(hershey));
  ok = ok && writefont(out, {"font_symbols.cpp", "kFontSymbols", "symbols.chr", 36.75, 36.75, 35,
                             35, 1, 1, 'u'}, symbolsfont(hershey));
  struct Outline { int arg; FontSpec spec; OutlineDesign design; bool symbolic; };
  const Outline outlines[] = {
      {3, {"font_swiss.cpp", "kFontSwiss", "swiss.chr", 36.3, 55, 55, 55, 2, 1, 'v'}, {11, 44}, false},
      {4, {"font_swissbld.cpp", "kFontSwissBold", "swissbld.chr", 36.3, 55, 55, 55, 2, 1, 'v'}, {12, 45}, false},
      {5, {"font_roman.cpp", "kFontRoman", "roman.chr", 36.3, 55, 55, 55, 2, 1, 'v'}, {14, 44}, false},
      {6, {"font_romanbld.cpp", "kFontRomanBold", "romanbld.chr", 36.3, 55, 55, 55, 2, 1, 'v'}, {12, 44}, false},
      {7, {"font_fixed.cpp", "kFontFixed", "fixed.chr", 36.3, 55, 55, 55, 2, 0, 'v'}, {16, 42}, false},
      {8, {"font_fixedbld.cpp", "kFontFixedBold", "fixedbld.chr", 36.3, 55, 55, 55, 2, 0, 'v'}, {16, 42}, false},
      {9, {"font_symbol.cpp", "kFontSymbol", "symbol.chr", 30.25, 55, 55, 55, 0, 1, 'v'}, {14, 44}, true},
  };
  for (const Outline& o : outlines) {
    OutlineSource src;
    if (FT_New_Face(lib, argv[o.arg], 0, &src.face) != 0) {
      std::fprintf(stderr, "strokefonts: cannot read %s\n", argv[o.arg]);
      return 1;
    }
    src.symbolic = o.symbolic;
    if (o.symbolic && FT_Select_Charmap(src.face, FT_ENCODING_ADOBE_CUSTOM) != 0 &&
        FT_Select_Charmap(src.face, FT_ENCODING_MS_SYMBOL) != 0) {
      std::fprintf(stderr, "strokefonts: %s has no symbol encoding\n", argv[o.arg]);
      return 1;
    }
    ok = ok && writefont(out, o.spec, outlinefont(src, o.design));
    FT_Done_Face(src.face);
  }
  FT_Done_FreeType(lib);
  return ok ? 0 : 1;
}
