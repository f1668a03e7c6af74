// The picture both the metafile and the printer drawing layers draw: pens made only when
// their colour, type or width change; brushes and outline pens of filled shapes made and
// deleted per call, the previous object selected back each time.
#include "toolkit/winprint/picture.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "toolkit/screen/wgraph.h"

using namespace win;

namespace {

COLORREF ref(int colour) { return static_cast<COLORREF>(colour) & 0xFFFFFF; }

// Line types 0-7 to the platform's pen styles when only solid or standard styles are used.
constexpr int kPenStyles[8] = {0, 2, 1, 3, 4, 3, 1, 4};
// Where each line type's pattern starts in Picture::dashes, and its length.
constexpr int kDashStart[8] = {0, 0, 2, 4, 8, 14, 18, 20};
constexpr int kDashCount[8] = {0, 2, 2, 4, 6, 4, 2, 6};

// Selects an object for one call and puts the previous one back (deleting what it made).
class Held {
 public:
  Held(HDC dc, HGDIOBJ object, bool own) : dc_(dc), object_(object), own_(own) {
    old_ = object ? SelectObject(dc, object) : nullptr;
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    if (old_) SelectObject(dc_, old_);
    if (own_ && object_) DeleteObject(object_);
  }

 private:
  HDC dc_;
  HGDIOBJ object_, old_ = nullptr;
  bool own_;
};

bool pointsfor(int n) { return n >= 1 && static_cast<std::size_t>(n) <= gPoints.size(); }

}  // namespace

void yypiclinetype(Picture& p, int type) {
  if (type >= 0 && type <= 7) p.penstyle = kPenStyles[type];
  p.linetype = type;
}

void yypiclinestyles(Picture& p) {
  if (WinNT == 0) return;
  const int screen = wScreenDPI > 0 ? wScreenDPI : 96;
  for (int t = 1; t <= 7; ++t) {
    const std::span<const DWORD> base = yywinpattern(t);
    for (std::size_t k = 0; k < base.size(); ++k) {
      DWORD v = static_cast<DWORD>(static_cast<unsigned>(p.dpi) * base[k] / static_cast<unsigned>(screen));
      if (p.linewidth > 1 && (k % 2) == 1) v += static_cast<DWORD>(p.linewidth - 1);
      p.dashes[static_cast<std::size_t>(kDashStart[t]) + k] = v;
    }
  }
}

void yypicresetpen(Picture& p) {
  if (p.pen != nullptr) {
    if (p.dc != nullptr && p.penold != nullptr) SelectObject(p.dc, p.penold);
    DeleteObject(p.pen);
  }
  p.pen = nullptr;
  p.penold = nullptr;
  p.penkey = {-1, -1, -1};
}

void yypiccreatepen(Picture& p) {
  const std::array<int, 3> key{p.colour, p.linetype, p.linewidth};
  if (key == p.penkey && p.pen != nullptr) return;
  yypicresetpen(p);
  if (WinNT != 0 && p.penstyle != 0 && (p.userpatterns || p.standardstyles)) {
    LOGBRUSH lb;
    lb.lbStyle = BS_SOLID;
    lb.lbColor = ref(p.colour);
    const DWORD width = static_cast<DWORD>(std::max(p.linewidth, 0));
    if (p.standardstyles) {
      p.pen = ExtCreatePen(static_cast<DWORD>(p.penstyle) | PS_GEOMETRIC | PS_JOIN_BEVEL | PS_ENDCAP_SQUARE, width, lb,
                           0, nullptr);
    } else {
      const int t = std::clamp(p.linetype, 1, 7);
      p.pen = ExtCreatePen(PS_GEOMETRIC | PS_JOIN_BEVEL | PS_ENDCAP_SQUARE | PS_USERSTYLE, width, lb,
                           static_cast<DWORD>(kDashCount[t]), p.dashes.data() + kDashStart[t]);
    }
  } else {
    p.pen = CreatePen(p.penstyle, p.linewidth, ref(p.colour));
  }
  if (p.pen != nullptr) p.penold = static_cast<HPEN>(SelectObject(p.dc, p.pen));
  p.penkey = key;
}

void yypicline(Picture& p, int x1, int y1, int x2, int y2) {
  yypiccreatepen(p);
  MoveToEx(p.dc, x1, y1, nullptr);
  LineTo(p.dc, x2, y2);
  // The platform leaves a line's last pixel out; a solid line gets it.
  if (p.penstyle == 0) SetPixel(p.dc, x2, y2, ref(p.colour));
}

void yypicpolyline(Picture& p, int n) {
  if (!pointsfor(n)) return;
  yypiccreatepen(p);
  Polyline(p.dc, gPoints.data(), n);
  const POINT& first = gPoints.front();
  const POINT& last = gPoints[static_cast<std::size_t>(n - 1)];
  if (p.penstyle == 0 && (last.x != first.x || last.y != first.y)) SetPixel(p.dc, last.x, last.y, ref(p.colour));
}

void yypicpixel(Picture& p, int x, int y, int colour) { SetPixel(p.dc, x, y, ref(colour)); }

void yypicellipse(Picture& p, int xc, int yc, int rx, int ry, int style) {
  if (style >= 3) {
    Held brush(p.dc, CreateSolidBrush(ref(p.colour)), true);
    Held pen(p.dc, CreatePen(PS_SOLID, 1, ref(p.colour)), true);
    Ellipse(p.dc, xc - rx - 1, yc - ry - 1, xc + rx + 2, yc + ry + 2);
    return;
  }
  yypiccreatepen(p);
  Held brush(p.dc, GetStockObject(HOLLOW_BRUSH), false);
  Ellipse(p.dc, xc - rx - 1, yc - ry - 1, xc + rx + 2, yc + ry + 2);
}

void yypicrectangle(Picture& p, int x1, int y1, int x2, int y2) {
  Held brush(p.dc, CreateSolidBrush(ref(p.colour)), true);
  Held pen(p.dc, GetStockObject(NULL_PEN), false);
  Rectangle(p.dc, x1, y1, x2 + 2, y2 + 2);
}

void yypicsquare(Picture& p, int x, int y) {
  const int w = p.linewidth, d = w / 2;
  Held brush(p.dc, CreateSolidBrush(ref(p.colour)), true);
  Held pen(p.dc, GetStockObject(NULL_PEN), false);
  Rectangle(p.dc, x - d, y - d, x - d + w + 1, y - d + w + 1);
}

void yypicarc(Picture& p, int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb) {
  Held brush(p.dc, CreateSolidBrush(ref(p.colour)), true);
  Held pen(p.dc, CreatePen(PS_SOLID, 1, ref(p.colour)), true);
  Pie(p.dc, xc - rx - 1, yc - ry - 1, xc + rx + 2, yc + ry + 2, xa, ya, xb, yb);
}

void yypicoutlinearc(Picture& p, int xc, int yc, int rx, int ry, int xa, int ya, int xb, int yb, int mode) {
  yypiccreatepen(p);
  Held brush(p.dc, GetStockObject(HOLLOW_BRUSH), false);
  if (mode < 3) Pie(p.dc, xc - rx - 1, yc - ry - 1, xc + rx + 2, yc + ry + 2, xa, ya, xb, yb);
  else Arc(p.dc, xc - rx - 1, yc - ry - 1, xc + rx + 2, yc + ry + 2, xa, ya, xb, yb);
}

void yypicpolygon(Picture& p, int n, int outline) {
  if (!pointsfor(n)) return;
  Held brush(p.dc, CreateSolidBrush(ref(p.colour)), true);
  Held pen(p.dc, outline != 0 ? CreatePen(PS_SOLID, 1, ref(p.colour)) : GetStockObject(NULL_PEN), outline != 0);
  Polygon(p.dc, gPoints.data(), n);
}

void yypicgradfill(Picture& p, std::span<const int> x, std::span<const int> y, std::span<const int> colour,
                   std::span<const int> triangles, int nv, int nt, int& failed) {
  failed = 1;
  if (nv < 1 || nt < 1 || x.size() < static_cast<std::size_t>(nv) || y.size() < static_cast<std::size_t>(nv) ||
      colour.size() < static_cast<std::size_t>(nv) || triangles.size() < 3 * static_cast<std::size_t>(nt))
    return;
  std::vector<TRIVERTEX> v(static_cast<std::size_t>(nv));
  for (std::size_t i = 0; i < v.size(); ++i) {
    const unsigned c = static_cast<unsigned>(colour[i]);
    v[i].x = x[i];
    v[i].y = y[i];
    v[i].Red = static_cast<COLOR16>((c & 0xFF) * 256);
    v[i].Green = static_cast<COLOR16>(c & 0xFF00);
    v[i].Blue = static_cast<COLOR16>((c & 0xFF0000) / 256);
  }
  std::vector<GRADIENT_TRIANGLE> t(static_cast<std::size_t>(nt));
  for (std::size_t j = 0; j < t.size(); ++j) {
    t[j].Vertex1 = static_cast<ULONG>(triangles[3 * j] - 1);
    t[j].Vertex2 = static_cast<ULONG>(triangles[3 * j + 1] - 1);
    t[j].Vertex3 = static_cast<ULONG>(triangles[3 * j + 2] - 1);
  }
  failed = GradientFill(p.dc, v.data(), static_cast<ULONG>(nv), t.data(), static_cast<ULONG>(nt), GRADIENT_FILL_TRIANGLE)
               ? 0
               : 1;
}

HFONT yypicmakefont(int width, int height, int angle, int face, int style, std::string_view name) {
  struct Face {
    const char* name;
    BYTE family;
    BYTE charset;
  };
  static const Face kFaces[5] = {{"", FF_DONTCARE, DEFAULT_CHARSET},
                                 {"Courier New", FF_MODERN, ANSI_CHARSET},
                                 {"Arial", FF_SWISS, ANSI_CHARSET},
                                 {"Times New Roman", FF_ROMAN, ANSI_CHARSET},
                                 {"Symbol", FF_ROMAN, SYMBOL_CHARSET}};
  const Face& f = kFaces[std::clamp(face, 0, 4)];
  // The platform reads at most 31 characters of a face name: longer names are cut.
  std::string facename = face == 0 ? std::string(name.substr(0, std::min<std::size_t>(name.size(), 31))) : f.name;
  if (const std::size_t nul = facename.find('\0'); nul != std::string::npos) facename.resize(nul);
  constexpr DWORD kOutCharacterPrecis = 2, kClipCharacterPrecis = 1;
  return CreateFont(-height, width, angle * 10, angle * 10, (style & 1) ? FW_BOLD : FW_NORMAL, (style & 2) ? 1 : 0,
                    (style & 4) ? 1 : 0, 0, f.charset, kOutCharacterPrecis, kClipCharacterPrecis, DEFAULT_QUALITY,
                    static_cast<DWORD>(f.family | VARIABLE_PITCH), facename.c_str());
}

void yypicreleasefont(Picture& p) {
  if (p.font == nullptr) return;
  if (p.dc != nullptr && p.fontold != nullptr) SelectObject(p.dc, p.fontold);
  DeleteObject(p.font);
  p.font = nullptr;
  p.fontold = nullptr;
}

void yypicfont(Picture& p, HFONT font) {
  yypicreleasefont(p);
  p.font = font;
  p.fontold = font != nullptr ? static_cast<HFONT>(SelectObject(p.dc, font)) : nullptr;
}

void yypicdrawstring(Picture& p, int x1, int y1, int x2, int y2, int alignment, int opaque, std::string_view text,
                     int length) {
  int x = 0, y = 0;
  UINT align = 0;
  switch (alignment) {
    case 0: x = x1; y = y1; align = TA_BASELINE | TA_LEFT; break;
    case 1: x = (x1 + x2) / 2; y = (y1 + y2) / 2; align = TA_BASELINE | TA_CENTER; break;
    case 2: x = x2; y = y2; align = TA_BASELINE | TA_RIGHT; break;
    default: return;
  }
  const COLORREF text0 = SetTextColor(p.dc, ref(p.colour));
  const COLORREF back0 = SetBkColor(p.dc, ref(p.prevcolour));
  const int mode0 = SetBkMode(p.dc, opaque != 0 ? OPAQUE : TRANSPARENT);
  const UINT align0 = SetTextAlign(p.dc, align);
  const int n = std::clamp(length, 0, static_cast<int>(text.size()));
  TextOut(p.dc, x, y, text.data(), n);
  SetTextAlign(p.dc, align0);
  SetBkMode(p.dc, mode0);
  SetBkColor(p.dc, back0);
  SetTextColor(p.dc, text0);
}

void yypictextlength(Picture& p, int& width, std::string_view text, int length) {
  SIZE size;
  const int n = std::clamp(length, 0, static_cast<int>(text.size()));
  width = GetTextExtentPoint32(p.dc, text.data(), n, size) ? size.cx : 0;
}
