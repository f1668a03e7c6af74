// toolkit/graphics/wgraph.cpp: the drawing layer of the screen side (pens, stipple brush,
// plot modes, palette, clip region, device font, point buffer, gradient triangles).
// Sections (grep "[SECTION]"): colours and pens | figures | text | pixels, transfers and
//   clipping | palette | point buffer
#include "toolkit/screen/wgraph.h"

#include <algorithm>
#include <array>
#include <string>

#include "toolkit/window/window.h"

using namespace win;

namespace {

// Dash patterns in screen pixels (dash, gap, ...) of line types 1-7, and their scaled copies.
constexpr std::array<std::array<DWORD, 6>, 7> kDashes{{{1, 4}, {8, 6}, {1, 4, 8, 4}, {1, 4, 1, 4, 8, 4},
                                                        {8, 4, 4, 4}, {4, 4}, {8, 4, 4, 4, 4, 4}}};
constexpr std::array<int, 7> kDashCount{2, 2, 4, 6, 4, 2, 6};
std::array<std::array<DWORD, 6>, 7> gScaled = kDashes;

bool onmetafile() { return hGraphicsMetafile != nullptr && gDC == hGraphicsMetafile; }

COLORREF colourref(int rgb) { return static_cast<COLORREF>(rgb) & 0xFFFFFF; }

// Objects selected for one call and put back after it.
class Selection {
 public:
  explicit Selection(HDC dc) : dc_(dc) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  void pen(HGDIOBJ p, bool own) { keep(p, own, oldPen_); }
  void brush(HGDIOBJ b, bool own) { keep(b, own, oldBrush_); }
  void clip() {
    if (gClipRgn != nullptr) {
      SelectClipRgn(dc_, gClipRgn);
      clipped_ = true;
    }
  }
  ~Selection() {
    if (clipped_) SelectClipRgn(dc_, nullptr);
    if (oldPen_) SelectObject(dc_, oldPen_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    for (HGDIOBJ o : owned_) DeleteObject(o);
  }

 private:
  void keep(HGDIOBJ o, bool own, HGDIOBJ& old) {
    HGDIOBJ was = SelectObject(dc_, o);
    if (!old) old = was;
    if (own) owned_.push_back(o);
  }
  HDC dc_;
  HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr;
  std::vector<HGDIOBJ> owned_;
  bool clipped_ = false;
};

// The brush of a fill: the stipple for style 3, else solid in the current colour.
void fillbrush(Selection& s, int style) {
  if (style == 3) s.brush(yywinstipple(), true);
  else s.brush(CreateSolidBrush(gColour), true);
}

// The pen of a fill: none for the stipple, else one solid pixel in the current colour.
void fillpen(Selection& s, int style) {
  if (style == 3) s.pen(GetStockObject(NULL_PEN), false);
  else s.pen(CreatePen(PS_SOLID, 1, gColour), true);
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Colours and pens
// - yywincolour(), yywinstipple(), yywinplotmode(), yywinlinetype(), yywinlinewidth(),
//   yywincreatepen(), yywinlinestyles(), yywindashes(), yywinselectcurrent()
//------------------------------------------------------------------------------
void yywincolour(int device, int rgb) {
  gColourPrev = gColour;
  if (onmetafile() || gDC == nullptr) gColour = colourref(rgb);
  else if (gPal256 != nullptr) gColour = PALETTEINDEX(static_cast<WORD>(device & 0xFFFF));
  else gColour = GetNearestColor(gDC, colourref(rgb));
  gStippleRebuild = 1;
  yywincreatepen();
}

HBRUSH yywinstipple() {
  if (onmetafile()) {
    auto mean = [](int shift) {
      return ((((gColour >> shift) & 0xFF) + ((gColourPrev >> shift) & 0xFF)) >> 1) << shift;
    };
    return CreateSolidBrush(mean(0) | mean(8) | mean(16));
  }
  if (gBitmap == nullptr) gBitmap = CreateCompatibleBitmap(gDC, 8, 8);
  if (gStippleRebuild != 0) {
    HDC mem = CreateCompatibleDC(gDC);
    HGDIOBJ old = SelectObject(mem, gBitmap);
    HPALETTE oldpal = gPal256 != nullptr ? SelectPalette(mem, gPal256, FALSE) : nullptr;
    if (gPal256 != nullptr) RealizePalette(mem);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) SetPixelV(mem, x, y, (x % 2) == (y % 2) ? gColour : gColourPrev);
    if (oldpal != nullptr) SelectPalette(mem, oldpal, FALSE);
    SelectObject(mem, old);
    DeleteDC(mem);
    gStippleRebuild = 0;
  }
  return CreatePatternBrush(gBitmap);
}

void yywinplotmode(int mode) {
  static constexpr int rop[4] = {R2_COPYPEN, R2_MERGEPEN, R2_MASKPEN, R2_XORPEN};
  if (mode >= 0 && mode <= 3) gPlotMode = rop[mode];
  SetROP2(gDC, gPlotMode);
}

void yywinlinetype(int type) {
  static constexpr int style[8] = {PS_SOLID, PS_DOT, PS_DASH, PS_DASHDOT, PS_DASHDOTDOT, PS_DASHDOT, PS_DASH,
                                   PS_DASHDOTDOT};
  if (type >= 0 && type <= 7) gPenStyle = style[type];
  gLineType = type;
  yywincreatepen();
}

void yywinlinewidth(int width) {
  gLineWidth = width;
  yywinlinestyles();
  yywincreatepen();
}

void yywincreatepen() {
  if (gPen != nullptr) {
    if (gDC != nullptr && gPenOld != nullptr) SelectObject(gDC, gPenOld);
    DeleteObject(gPen);
    gPen = nullptr;
    gPenOld = nullptr;
  }
  if (WinNT != 0 && gPenStyle != PS_SOLID && gLineType >= 1 && gLineType <= 7) {
    LOGBRUSH lb{BS_SOLID, gColour, 0};
    const std::span<const DWORD> dashes = yywindashes(gLineType);
    gPen = ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL,
                        static_cast<DWORD>(std::max(gLineWidth, 1)), lb, static_cast<DWORD>(dashes.size()),
                        dashes.data());
  } else {
    gPen = CreatePen(gPenStyle, gLineWidth, gColour);
  }
  if (gDC != nullptr && gPen != nullptr) gPenOld = static_cast<HPEN>(SelectObject(gDC, gPen));
}

void yywinlinestyles() {
  if (WinNT == 0) return;
  const int resolution = onmetafile() ? wMetafileDPI : wScreenDPI;
  const int screen = wScreenDPI > 0 ? wScreenDPI : 96;
  for (std::size_t p = 0; p < kDashes.size(); ++p)
    for (int i = 0; i < kDashCount[p]; ++i) {
      const auto k = static_cast<std::size_t>(i);
      DWORD v = static_cast<DWORD>(resolution * static_cast<int>(kDashes[p][k]) / screen);
      // Square ends lengthen every dash by the width: the gaps grow to match.
      if (gLineWidth >= 2 && (i % 2) == 1) v += static_cast<DWORD>(gLineWidth - 1);
      gScaled[p][k] = std::max<DWORD>(v, 1);
    }
}

std::span<const DWORD> yywinpattern(int type) {
  if (type < 1 || type > 7) return {};
  const auto p = static_cast<std::size_t>(type - 1);
  return std::span<const DWORD>(kDashes[p].data(), static_cast<std::size_t>(kDashCount[p]));
}

std::span<const DWORD> yywindashes(int type) {
  if (type < 1 || type > 7) return {};
  const auto p = static_cast<std::size_t>(type - 1);
  return std::span<const DWORD>(gScaled[p].data(), static_cast<std::size_t>(kDashCount[p]));
}

void yywinselectcurrent() {
  if (gDC == nullptr) return;
  gPenOld = gPen != nullptr ? static_cast<HPEN>(SelectObject(gDC, gPen)) : nullptr;
  gFontOld = gFont != nullptr ? static_cast<HFONT>(SelectObject(gDC, gFont)) : nullptr;
  SetROP2(gDC, gPlotMode);
  SetBkMode(gDC, TRANSPARENT);
  if (gPal256 != nullptr && !onmetafile()) {
    SelectPalette(gDC, gPal256, FALSE);
    RealizePalette(gDC);
  }
}

//------------------------------------------------------------------------------
// [SECTION] Figures
// - yywinline(), yywinellipse(), yywinrectangle(), yywinarc(), yywinoutlinearc(),
//   yywinpolygon(), yywinpolyline(), yywingradfill(), yywinclear()
//------------------------------------------------------------------------------
void yywinline(int x1, int y1, int x2, int y2) {
  MoveToEx(gDC, x1, y1, nullptr);
  LineTo(gDC, x2, y2);
  // The platform leaves the end pixel out; a dashed pen leaves it to its pattern.
  if (gPenStyle == PS_SOLID) SetPixel(gDC, x2, y2, gColour);
}

void yywinellipse(int cx, int cy, int rx, int ry, int kind, int style) {
  Selection s(gDC);
  s.clip();
  int c = 2;
  if (kind == 4) {
    s.brush(GetStockObject(NULL_BRUSH), false);
  } else {
    fillbrush(s, style);
    fillpen(s, style);
    if (style == 3) c = 3;
  }
  Ellipse(gDC, cx - rx - 1, cy - ry - 1, cx + rx + c, cy + ry + c);
}

void yywinrectangle(int x1, int y1, int x2, int y2, int style) {
  Selection s(gDC);
  s.pen(GetStockObject(NULL_PEN), false);
  fillbrush(s, style);
  Rectangle(gDC, x1, y1, x2 + 2, y2 + 2);
}

void yywinarc(int cx, int cy, int rx, int ry, int x1, int y1, int x2, int y2, int style) {
  Selection s(gDC);
  s.clip();
  fillbrush(s, style);
  fillpen(s, style);
  const int d = style == 3 ? 3 : 2;
  Pie(gDC, cx - rx - 1, cy - ry - 1, cx + rx + d, cy + ry + d, x1, y1, x2, y2);
}

void yywinoutlinearc(int cx, int cy, int rx, int ry, int x1, int y1, int x2, int y2, int density, int style) {
  Selection s(gDC);
  s.clip();
  s.brush(GetStockObject(NULL_BRUSH), false);
  if (density < 3 || style > 0) Pie(gDC, cx - rx - 1, cy - ry - 1, cx + rx + 2, cy + ry + 2, x1, y1, x2, y2);
  else Arc(gDC, cx - rx - 1, cy - ry - 1, cx + rx + 2, cy + ry + 2, x1, y1, x2, y2);
}

void yywinpolygon(int n, int style) {
  if (n < 2 || static_cast<std::size_t>(n) > gPoints.size()) return;
  Selection s(gDC);
  s.clip();
  fillbrush(s, style);
  if (style == 3 || gPlotMode == R2_XORPEN) s.pen(GetStockObject(NULL_PEN), false);
  else s.pen(CreatePen(PS_SOLID, 1, gColour), true);
  Polygon(gDC, gPoints.data(), n);
}

void yywinpolyline(int n) {
  if (n < 2 || static_cast<std::size_t>(n) > gPoints.size()) return;
  Polyline(gDC, gPoints.data(), n);
  const POINT& last = gPoints[static_cast<std::size_t>(n - 1)];
  const POINT& first = gPoints[0];
  if (gPenStyle == PS_SOLID && (last.x != first.x || last.y != first.y)) SetPixel(gDC, last.x, last.y, gColour);
}

void yywingradfill(std::span<const int> x, std::span<const int> y, std::span<const int> rgb,
                   std::span<const int> triangles, int n, int m, int& failed) {
  failed = 1;
  if (n < 0 || m < 0 || x.size() < static_cast<std::size_t>(n) || y.size() < static_cast<std::size_t>(n) ||
      rgb.size() < static_cast<std::size_t>(n) || triangles.size() < 3 * static_cast<std::size_t>(m))
    return;
  std::vector<TRIVERTEX> v(static_cast<std::size_t>(n));
  for (std::size_t i = 0; i < v.size(); ++i) {
    v[i].x = x[i];
    v[i].y = y[i];
    v[i].Red = static_cast<COLOR16>((rgb[i] & 0xFF) << 8);
    v[i].Green = static_cast<COLOR16>(((rgb[i] >> 8) & 0xFF) << 8);
    v[i].Blue = static_cast<COLOR16>(((rgb[i] >> 16) & 0xFF) << 8);
    v[i].Alpha = 0;
  }
  std::vector<GRADIENT_TRIANGLE> t(static_cast<std::size_t>(m));
  for (std::size_t j = 0; j < t.size(); ++j)
    t[j] = GRADIENT_TRIANGLE{static_cast<ULONG>(triangles[3 * j] - 1), static_cast<ULONG>(triangles[3 * j + 1] - 1),
                             static_cast<ULONG>(triangles[3 * j + 2] - 1)};
  if (hImgLib == 0) return;
  Selection s(gDC);
  s.clip();
  failed = GradientFill(gDC, v.data(), static_cast<ULONG>(n), t.data(), static_cast<ULONG>(m),
                        GRADIENT_FILL_TRIANGLE) != FALSE
               ? 0
               : 1;
}

void yywinclear(int width, int height, int rgb) {
  Selection s(gDC);
  s.pen(GetStockObject(NULL_PEN), false);
  COLORREF c = colourref(rgb);
  if (!onmetafile()) c = gPal256 != nullptr ? PALETTEINDEX(0) : GetNearestColor(gDC, c);
  s.brush(CreateSolidBrush(c), true);
  const int old = SetROP2(gDC, R2_COPYPEN);
  Rectangle(gDC, 0, 0, width + 1, height + 1);
  SetROP2(gDC, old);
}

//------------------------------------------------------------------------------
// [SECTION] Text
// - yywintextsize(), yywindrawstring(), yywintextlength()
//------------------------------------------------------------------------------
void yywintextsize(int& width, int& height, int& ascent, int angle, int face, int flags, std::string_view name) {
  struct Face {
    const char* name;
    BYTE family, charset;
  };
  static constexpr Face kFaces[5] = {{nullptr, FF_DONTCARE, DEFAULT_CHARSET},
                                     {"Courier New", FF_MODERN, ANSI_CHARSET},
                                     {"Arial", FF_SWISS, ANSI_CHARSET},
                                     {"Times New Roman", FF_ROMAN, ANSI_CHARSET},
                                     {"Symbol", FF_ROMAN, SYMBOL_CHARSET}};
  const Face& f = kFaces[face >= 0 && face <= 4 ? face : 1];
  const std::string facename = f.name != nullptr ? std::string(f.name) : std::string(name);
  const int weight = (flags & 1) ? FW_BOLD : FW_NORMAL;
  auto make = [&](int escapement) {
    return CreateFont(-height, width, escapement, escapement, weight, (flags & 2) ? 1 : 0, (flags & 4) ? 1 : 0, 0,
                      f.charset, OUT_TT_PRECIS, 16, DEFAULT_QUALITY, f.family | VARIABLE_PITCH, facename.c_str());
  };
  // Upright first, only to read the metrics.
  HFONT upright = make(0);
  HGDIOBJ was = SelectObject(gDC, upright);
  TEXTMETRIC tm;
  GetTextMetrics(gDC, tm);
  SelectObject(gDC, was);
  DeleteObject(upright);

  HFONT font = make(angle * 10);
  HGDIOBJ replaced = SelectObject(gDC, font);
  if (gFont != nullptr) DeleteObject(gFont);
  else gFontOld = static_cast<HFONT>(replaced);
  gFont = font;
  static constexpr char kSample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE extent;
  GetTextExtentPoint32(gDC, kSample, 52, extent);
  height = tm.tmHeight;
  ascent = tm.tmAscent;
  width = extent.cx;
}

void yywindrawstring(int x1, int y1, int x2, int y2, int justification, int background, std::string_view text,
                     int length) {
  if (justification < 0 || justification > 2) return;
  const int n = std::clamp(length, 0, static_cast<int>(text.size()));
  const COLORREF oldtext = SetTextColor(gDC, gColour);
  const COLORREF oldback = SetBkColor(gDC, gColourPrev);
  const int oldmode = SetBkMode(gDC, background != 0 ? OPAQUE : TRANSPARENT);
  const UINT oldalign = GetTextAlign(gDC);
  int x = x1, y = y1;
  UINT align = TA_BASELINE | TA_LEFT;
  if (justification == 1) {
    align = TA_BASELINE | TA_CENTER;
    x = (x1 + x2) / 2;
    y = (y1 + y2) / 2;
  } else if (justification == 2) {
    align = TA_BASELINE | TA_RIGHT;
    x = x2;
    y = y2;
  }
  SetTextAlign(gDC, align);
  TextOut(gDC, x, y, text.data(), n);
  SetTextAlign(gDC, oldalign);
  SetBkMode(gDC, oldmode);
  SetBkColor(gDC, oldback);
  SetTextColor(gDC, oldtext);
}

void yywintextlength(int& width, std::string_view text, int length) {
  SIZE extent;
  width = 0;
  if (GetTextExtentPoint32(gDC, text.data(), std::clamp(length, 0, static_cast<int>(text.size())), extent))
    width = extent.cx;
}

//------------------------------------------------------------------------------
// [SECTION] Pixels, transfers and clipping
// - yywinpoint(), yywinpointrgb(), yywingetpixelrgb(), yywinblit(), yywinclip()
//------------------------------------------------------------------------------
void yywinpoint(int x, int y) { SetPixel(gDC, x, y, gColour); }

void yywinpointrgb(int x, int y, int rgb) {
  COLORREF c = colourref(rgb);
  if (gPal256 != nullptr && !onmetafile()) c = PALETTEINDEX(static_cast<WORD>(GetNearestPaletteIndex(gPal256, c)));
  SetPixel(gDC, x, y, c);
}

void yywingetpixelrgb(int x, int y, int& red, int& green, int& blue) {
  const COLORREF c = GetPixel(gDC, x, y);
  if (c == CLR_INVALID) {
    red = -1;
    return;
  }
  red = static_cast<int>(c & 0xFF);
  green = static_cast<int>((c >> 8) & 0xFF);
  blue = static_cast<int>((c >> 16) & 0xFF);
}

void yywinblit(int sx, int sy, int dx, int dy, int w, int h, int erase, int rgb) {
  DWORD rop = SRCPAINT;
  if (gPlotMode == R2_XORPEN) rop = SRCINVERT;
  else if (gPlotMode == R2_MASKPEN) rop = SRCAND;
  else if (gPlotMode == R2_COPYPEN) rop = SRCCOPY;
  Selection s(gDC);
  s.clip();
  BitBlt(gDC, dx, dy, w, h, gDC, sx, sy, rop);
  if (erase == 0 || w <= 0 || h <= 0) return;
  // The part of the source block that the destination does not cover.
  s.pen(CreatePen(PS_SOLID, 1, colourref(rgb)), true);
  s.brush(CreateSolidBrush(colourref(rgb)), true);
  const int old = SetROP2(gDC, R2_COPYPEN);
  auto fill = [](int l, int t, int r, int b) {
    if (r > l && b > t) Rectangle(gDC, l, t, r, b);
  };
  const bool overlap = std::abs(dx - sx) < w && std::abs(dy - sy) < h;
  if (!overlap) {
    fill(sx, sy, sx + w, sy + h);
  } else {
    // Columns of the source beside the destination, then its rows above or below it.
    if (dx > sx) fill(sx, sy, dx, sy + h);
    else if (dx < sx) fill(dx + w, sy, sx + w, sy + h);
    const int l = std::max(sx, dx), r = std::min(sx + w, dx + w);
    if (dy > sy) fill(l, sy, r, dy);
    else if (dy < sy) fill(l, dy + h, r, sy + h);
  }
  SetROP2(gDC, old);
}

void yywinclip(int x1, int y1, int x2, int y2) {
  if (gClipRgn != nullptr) DeleteObject(gClipRgn);
  gClipRgn = y2 == -1 ? nullptr : CreateRectRgn(x1, y1, x2, y2);
}

//------------------------------------------------------------------------------
// [SECTION] Palette
// - yywinpalette(), yywinpalette256()
//------------------------------------------------------------------------------
void yywinpalette(int index, int rgb, int mode) {
  if (onmetafile() || gPal256 == nullptr || index < 0) return;
  if (mode == 0 || mode == 1) UnrealizeObject(gPal256);
  const PALETTEENTRY e{static_cast<BYTE>(rgb & 0xFF), static_cast<BYTE>((rgb >> 8) & 0xFF),
                       static_cast<BYTE>((rgb >> 16) & 0xFF), 0};
  if (static_cast<std::size_t>(index) < gLogPal.size()) gLogPal[static_cast<std::size_t>(index)] = e;
  SetPaletteEntries(gPal256, static_cast<UINT>(index), 1, &e);
  if (mode == 0 || mode == 3) {
    SelectPalette(gDC, gPal256, FALSE);
    RealizePalette(gDC);
  }
}

void yywinpalette256(int index, int rgb, int mode) { yywinpalette(index, rgb, mode); }

//------------------------------------------------------------------------------
// [SECTION] Point buffer
// - yypolalloc(), yypolpoint(), yypolfree()
//------------------------------------------------------------------------------
void yypolalloc(int n) { gPoints.assign(static_cast<std::size_t>(std::max(n, 0)), POINT{}); }

void yypolpoint(int x, int y, int i) {
  if (i >= 0 && static_cast<std::size_t>(i) < gPoints.size()) gPoints[static_cast<std::size_t>(i)] = POINT{x, y};
}

void yypolfree() {
  gPoints.clear();
  gPoints.shrink_to_fit();
}
