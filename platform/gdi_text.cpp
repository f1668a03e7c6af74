// platform/gdi_text.cpp: fonts and text of the drawing layer. Face names go through a fixed
// substitution table to Debian fonts, found with fontconfig; metrics and glyphs come from
// FreeType. Texts are Windows-1252 bytes.
// Sections (grep "[SECTION]"): substitution and faces | metrics | layout and glyphs |
//   font calls | text calls
//
// Invariants: (1) a loaded FreeType face is kept for the run and shared by every font of its
// file, its size set again before each use; (2) glyph advances are whole pixels, so extents
// and drawn text agree; (3) text ignores the raster operation, as the platform's does.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <string>

#include "platform/codepage.h"
#include "platform/gdi_internal.h"

namespace win::gdi {

namespace {

//------------------------------------------------------------------------------
// [SECTION] Substitution and faces
// - substituteFamily(), loadFace()
//------------------------------------------------------------------------------

struct Substitute {
  const char* face;
  const char* family;
  bool bold;  // the substitute's weight stands in for a heavy face
};

// Faces the toolkit names, and what they become. Metric-compatible fonts where Debian has
// them; fixed so that layouts are the same on every machine.
constexpr Substitute kSubstitutes[] = {
    {"MS Sans Serif", "Liberation Sans", false},   {"MS Shell Dlg", "Liberation Sans", false},
    {"MS Shell Dlg 2", "Liberation Sans", false},  {"System", "Liberation Sans", false},
    {"Arial", "Liberation Sans", false},           {"Helvetica", "Liberation Sans", false},
    {"Arial Black", "DejaVu Sans", true},          {"Times New Roman", "Liberation Serif", false},
    {"Times", "Liberation Serif", false},          {"Courier New", "Liberation Mono", false},
    {"Courier", "Liberation Mono", false},         {"Fixedsys", "Liberation Mono", false},
    {"Terminal", "Liberation Mono", false},        {"Lucida Console", "DejaVu Sans Mono", false},
    {"Symbol", "Standard Symbols PS", false},      {"Wingdings", "D050000L", false},
};

bool sameFace(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  return *a == *b;
}

struct Choice {
  std::string family;
  bool bold = false;
  bool italic = false;
  bool symbol = false;
  bool wingdings = false;
};

Choice substitute(const LOGFONT& lf) {
  Choice c;
  c.bold = lf.lfWeight >= FW_SEMIBOLD;
  c.italic = lf.lfItalic != 0;
  char face[LF_FACESIZE + 1] = {};
  std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
  for (const Substitute& s : kSubstitutes)
    if (sameFace(face, s.face)) {
      c.family = s.family;
      c.bold = c.bold || s.bold;
      c.symbol = sameFace(s.face, "Symbol") || sameFace(s.face, "Wingdings");
      c.wingdings = sameFace(s.face, "Wingdings");
      return c;
    }
  // Any other face: by pitch and family, as the platform's mapper chooses.
  const BYTE pitch = lf.lfPitchAndFamily & 3, family = lf.lfPitchAndFamily & 0xF0;
  if (pitch == FIXED_PITCH || family == FF_MODERN) c.family = "Liberation Mono";
  else if (family == FF_ROMAN) c.family = "Liberation Serif";
  else c.family = "Liberation Sans";
  c.symbol = lf.lfCharSet == SYMBOL_CHARSET;
  if (c.symbol) c.family = "Standard Symbols PS";
  return c;
}

FT_Library library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    FT_Init_FreeType(&l);
    return l;
  }();
  return lib;
}

// The face for a family and style, through fontconfig; nullptr when nothing can be loaded.
std::map<FT_Face, std::string>& faceFiles() {
  static std::map<FT_Face, std::string> m;
  return m;
}

FT_Face loadFace(const Choice& c) {
  static std::map<std::string, FT_Face> byKey;
  static std::map<std::string, FT_Face> byFile;
  const std::string key = c.family + (c.bold ? "|b" : "|r") + (c.italic ? "i" : "u");
  auto it = byKey.find(key);
  if (it != byKey.end()) return it->second;
  FT_Face face = nullptr;
  FcPattern* pat = FcPatternCreate();
  const std::string family = utf8FromCp1252(c.family);   // fontconfig's names are UTF-8
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pat, FC_WEIGHT, c.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, c.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  if (match) {
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      const std::string path = reinterpret_cast<const char*>(file);
      auto f = byFile.find(path + "#" + std::to_string(index));
      if (f != byFile.end()) face = f->second;
      else if (FT_New_Face(library(), path.c_str(), index, &face) == 0) {
        byFile[path + "#" + std::to_string(index)] = face;
        faceFiles()[face] = path;
      } else {
        face = nullptr;
      }
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pat);
  byKey[key] = face;
  return face;
}

//------------------------------------------------------------------------------
// [SECTION] Metrics
// - Sized, sizeFont(), metricsOf()
//------------------------------------------------------------------------------

long roundDiv(long a, long b) { return b ? static_cast<long>(std::lround(static_cast<double>(a) / b)) : 0; }

// A font at its size: the face with its pixel sizes set, and its metrics.
struct Sized {
  FT_Face face = nullptr;
  Choice choice;
  LOGFONT lf;
  int ppem = 0;      // vertical pixels per em
  int xppem = 0;     // horizontal
  TEXTMETRIC tm;
  int underlinePos = 0, underlineThick = 1, strikePos = 0, strikeThick = 1;  // pixels, down positive
};

struct FaceFigures {
  long upem, winAscent, winDescent, lineGap, hheaAscent, hheaDescent, avgWidth, bboxWidth;
};

FaceFigures figuresOf(FT_Face f) {
  FaceFigures g{};
  g.upem = f->units_per_EM ? f->units_per_EM : 1000;
  g.hheaAscent = f->ascender;
  g.hheaDescent = -f->descender;
  g.lineGap = f->height - (f->ascender - f->descender);
  g.winAscent = g.hheaAscent;
  g.winDescent = g.hheaDescent;
  g.bboxWidth = f->bbox.xMax - f->bbox.xMin;
  g.avgWidth = 0;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF) {
    if (os2->usWinAscent + os2->usWinDescent > 0) {
      g.winAscent = os2->usWinAscent;
      g.winDescent = os2->usWinDescent;
    }
    g.avgWidth = os2->xAvgCharWidth;
  }
  if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA))) g.lineGap = hhea->Line_Gap;
  return g;
}

bool sizeFont(const LOGFONT& lf, Sized& s) {
  s.lf = lf;
  s.choice = substitute(lf);
  s.face = loadFace(s.choice);
  if (!s.face) return false;
  const FaceFigures g = figuresOf(s.face);
  const long cell = g.winAscent + g.winDescent;
  // Negative heights are character heights (the em), positive ones cell heights.
  long height = lf.lfHeight == 0 ? 16 : lf.lfHeight;
  s.ppem = height < 0 ? static_cast<int>(-height) : static_cast<int>(std::max(1L, roundDiv(height * g.upem, cell)));
  s.ppem = std::clamp(s.ppem, 1, 2000);
  s.xppem = s.ppem;
  if (lf.lfWidth > 0 && g.avgWidth > 0) {
    // The width asks for an average character width; scale the em across.
    const double natural = static_cast<double>(g.avgWidth) * s.ppem / g.upem;
    s.xppem = std::clamp(static_cast<int>(std::lround(s.ppem * lf.lfWidth / natural)), 1, 4000);
  }
  FT_Set_Pixel_Sizes(s.face, static_cast<FT_UInt>(s.xppem), static_cast<FT_UInt>(s.ppem));
  TEXTMETRIC& tm = s.tm;
  tm.tmAscent = roundDiv(g.winAscent * s.ppem, g.upem);
  tm.tmDescent = roundDiv(g.winDescent * s.ppem, g.upem);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max(0L, static_cast<long>(tm.tmHeight) - s.ppem);
  tm.tmExternalLeading = std::max(0L, roundDiv((g.lineGap - (cell - (g.hheaAscent + g.hheaDescent))) * s.ppem, g.upem));
  tm.tmAveCharWidth = g.avgWidth > 0 ? roundDiv(g.avgWidth * s.xppem, g.upem) : roundDiv(g.bboxWidth * s.xppem, 2 * g.upem);
  tm.tmMaxCharWidth = roundDiv(g.bboxWidth * s.xppem, g.upem);
  tm.tmWeight = lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight;
  tm.tmItalic = lf.lfItalic ? 1 : 0;
  tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
  tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
  const bool fixed = FT_IS_FIXED_WIDTH(s.face);
  BYTE family = lf.lfPitchAndFamily & 0xF0;
  if (family == FF_DONTCARE) family = fixed ? FF_MODERN : FF_SWISS;
  tm.tmPitchAndFamily = static_cast<BYTE>(family | TMPF_VECTOR | TMPF_TRUETYPE | (fixed ? 0 : TMPF_FIXED_PITCH));
  tm.tmCharSet = s.choice.symbol ? SYMBOL_CHARSET : ANSI_CHARSET;
  s.underlinePos = static_cast<int>(std::max(1L, roundDiv(-s.face->underline_position * s.ppem, g.upem)));
  s.underlineThick = static_cast<int>(std::max(1L, roundDiv(s.face->underline_thickness * s.ppem, g.upem)));
  s.strikePos = -static_cast<int>(tm.tmAscent / 3);
  s.strikeThick = s.underlineThick;
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(s.face, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    s.strikePos = -static_cast<int>(roundDiv(os2->yStrikeoutPosition * s.ppem, g.upem));
    s.strikeThick = static_cast<int>(std::max(1L, roundDiv(os2->yStrikeoutSize * s.ppem, g.upem)));
  }
  return true;
}

bool sizedFor(HDC h, Sized& s) {
  DcData* d = dc(h);
  if (!d) return false;
  FontData* f = font(d->st.font);
  if (!f) return false;
  return sizeFont(f->lf, s);
}

//------------------------------------------------------------------------------
// [SECTION] Layout and glyphs
// - glyphIndex(), advances(), drawRun()
//------------------------------------------------------------------------------

FT_UInt glyphIndex(const Sized& s, unsigned char c) {
  if (s.choice.wingdings && wingdingsGlyph(c).code != 0) c = wingdingsGlyph(c).code;
  if (s.choice.symbol) {
    // Symbol fonts are indexed by the byte itself, through whichever table of the font
    // knows it.
    FT_UInt g = 0;
    if (FT_Select_Charmap(s.face, FT_ENCODING_MS_SYMBOL) == 0) g = FT_Get_Char_Index(s.face, 0xF000u + c);
    if (!g && FT_Select_Charmap(s.face, FT_ENCODING_UNICODE) == 0) g = FT_Get_Char_Index(s.face, c);
    if (!g && FT_Select_Charmap(s.face, FT_ENCODING_ADOBE_CUSTOM) == 0) g = FT_Get_Char_Index(s.face, c);
    if (g) return g;
  }
  FT_Select_Charmap(s.face, FT_ENCODING_UNICODE);
  return FT_Get_Char_Index(s.face, unicodeOfCp1252(c));
}

FT_Int32 loadFlags(const Sized& s) {
  return s.lf.lfQuality == NONANTIALIASED_QUALITY ? (FT_LOAD_TARGET_MONO) : FT_LOAD_DEFAULT;
}

// Glyphs drawn upright are kept once made: hinting them is the costly part of text.
struct GlyphKey {
  FT_Face face;
  int xppem, ppem;
  FT_Int32 flags;
  unsigned char c;
  bool symbol;
  bool operator<(const GlyphKey& o) const {
    return std::tie(face, xppem, ppem, flags, c, symbol) < std::tie(o.face, o.xppem, o.ppem, o.flags, o.c, o.symbol);
  }
};
struct CachedGlyph {
  int advance = 0;
  bool rendered = false;
  int left = 0, top = 0;
  FT_Bitmap bitmap{};            // buffer points into pixels
  std::vector<unsigned char> pixels;
};
std::map<GlyphKey, CachedGlyph>& glyphCache() {
  static std::map<GlyphKey, CachedGlyph> c;
  return c;
}
GlyphKey keyOf(const Sized& s, unsigned char c) {
  return GlyphKey{s.face, s.xppem, s.ppem, s.lf.lfQuality == NONANTIALIASED_QUALITY ? 1 : 0, c, s.choice.symbol};
}

// Whole-pixel advances of the characters, unrotated.
std::vector<int> advances(Sized& s, const unsigned char* text, int n) {
  std::vector<int> a(static_cast<size_t>(std::max(n, 0)), 0);
  FT_Set_Transform(s.face, nullptr, nullptr);
  for (int i = 0; i < n; ++i) {
    auto [it, fresh] = glyphCache().try_emplace(keyOf(s, text[i]));
    if (fresh) {
      if (FT_Load_Glyph(s.face, glyphIndex(s, text[i]), loadFlags(s)) == 0)
        it->second.advance = static_cast<int>((s.face->glyph->advance.x + 32) >> 6);
    }
    a[static_cast<size_t>(i)] = it->second.advance;
  }
  return a;
}

// The upright glyph of c at a whole-pixel origin, made once.
const CachedGlyph* uprightGlyph(Sized& s, unsigned char c) {
  CachedGlyph& g = glyphCache()[keyOf(s, c)];
  if (!g.rendered) {
    FT_Set_Transform(s.face, nullptr, nullptr);
    if (FT_Load_Glyph(s.face, glyphIndex(s, c), loadFlags(s) | FT_LOAD_RENDER) != 0) return nullptr;
    const FT_GlyphSlot slot = s.face->glyph;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.bitmap = slot->bitmap;
    const size_t size = static_cast<size_t>(std::abs(slot->bitmap.pitch)) * slot->bitmap.rows;
    g.pixels.assign(slot->bitmap.buffer, slot->bitmap.buffer + size);
    g.bitmap.buffer = g.pixels.data();
    g.rendered = true;
  }
  return &g;
}

struct Frame {
  double ux, uy;  // along the text, device pixels
  double vx, vy;  // towards the descenders
};

Frame frameOf(const LOGFONT& lf) {
  const double a = lf.lfEscapement / 10.0 * 3.141592653589793 / 180.0;
  return Frame{std::cos(a), -std::sin(a), std::sin(a), std::cos(a)};
}

void blendGlyph(Target& t, const FT_Bitmap& bm, int left, int top, uint32_t colour) {
  for (unsigned row = 0; row < bm.rows; ++row) {
    const int y = top + static_cast<int>(row);
    for (unsigned col = 0; col < bm.width; ++col) {
      const int x = left + static_cast<int>(col);
      unsigned a = 0;
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
        a = (bm.buffer[row * static_cast<unsigned>(bm.pitch) + col / 8] >> (7 - col % 8)) & 1 ? 255 : 0;
      } else {
        a = bm.buffer[row * static_cast<unsigned>(bm.pitch) + col];
      }
      if (a == 0 || !t.clip.contains(x, y)) continue;
      uint32_t& px = t.px[static_cast<ptrdiff_t>(y + t.origin.y) * t.stride + t.origin.x + x];
      if (t.mono) {
        if (a >= 128) px = monoPixel(colour);
        continue;
      }
      if (a == 255) {
        px = colour;
        continue;
      }
      uint32_t out = 0;
      for (int sh = 0; sh <= 16; sh += 8) {
        const int dch = static_cast<int>((px >> sh) & 0xFF), sch = static_cast<int>((colour >> sh) & 0xFF);
        const int diff = (sch - dch) * static_cast<int>(a);
        const int v = dch + (diff >= 0 ? diff + 127 : diff - 127) / 255;  // rounded both ways
        out |= static_cast<uint32_t>(std::clamp(v, 0, 255)) << sh;
      }
      px = out;
    }
  }
}

// Draws a run whose baseline starts at (bx, by) in device coordinates, with the given
// advances; paints the cell background first when opaque.
void drawRun(DcData& d, Target& t, Sized& s, const unsigned char* text, int n,
             const std::vector<int>& adv, double bx, double by, bool opaque) {
  const Frame f = frameOf(s.lf);
  long total = 0;
  for (int a : adv) total += a;
  if (opaque && total > 0) {
    const double asc = s.tm.tmAscent, desc = s.tm.tmDescent;
    std::vector<std::pair<double, double>> box{
        {bx - f.vx * asc, by - f.vy * asc},
        {bx - f.vx * asc + f.ux * total, by - f.vy * asc + f.uy * total},
        {bx + f.vx * desc + f.ux * total, by + f.vy * desc + f.uy * total},
        {bx + f.vx * desc, by + f.vy * desc}};
    fillDevicePolygon(t, box, devicePixel(d.st.bk, t));
  }
  const uint32_t colour = devicePixel(d.st.text, t);
  const bool rotated = s.lf.lfEscapement % 3600 != 0;
  FT_Matrix m;
  const double a = s.lf.lfEscapement / 10.0 * 3.141592653589793 / 180.0;
  m.xx = static_cast<FT_Fixed>(std::lround(std::cos(a) * 65536));
  m.xy = static_cast<FT_Fixed>(std::lround(-std::sin(a) * 65536));
  m.yx = static_cast<FT_Fixed>(std::lround(std::sin(a) * 65536));
  m.yy = m.xx;
  double pos = 0;
  for (int i = 0; i < n; ++i) {
    const double gx = bx + f.ux * pos, gy = by + f.uy * pos;
    pos += adv[static_cast<size_t>(i)];
    const double fx = std::floor(gx), fy = std::floor(gy);
    if (!rotated && gx == fx && gy == fy) {
      if (const CachedGlyph* cg = uprightGlyph(s, text[i]))
        blendGlyph(t, cg->bitmap, static_cast<int>(fx) + cg->left, static_cast<int>(fy) - cg->top, colour);
      continue;
    }
    FT_Vector delta{static_cast<FT_Pos>(std::lround((gx - fx) * 64)), static_cast<FT_Pos>(-std::lround((gy - fy) * 64))};
    FT_Set_Transform(s.face, rotated ? &m : nullptr, &delta);
    FT_Int32 flags = loadFlags(s) | FT_LOAD_RENDER;
    if (rotated) flags |= FT_LOAD_NO_HINTING;
    if (FT_Load_Glyph(s.face, glyphIndex(s, text[i]), flags) != 0) continue;
    const FT_GlyphSlot g = s.face->glyph;
    blendGlyph(t, g->bitmap, static_cast<int>(fx) + g->bitmap_left, static_cast<int>(fy) - g->bitmap_top, colour);
  }
  FT_Set_Transform(s.face, nullptr, nullptr);
  // Underline and strike-out: bars along the baseline.
  auto bar = [&](int offset, int thick) {
    const double o0 = offset - thick / 2.0, o1 = o0 + thick;
    fillDevicePolygon(t,
                      {{bx + f.vx * o0, by + f.vy * o0},
                       {bx + f.vx * o0 + f.ux * total, by + f.vy * o0 + f.uy * total},
                       {bx + f.vx * o1 + f.ux * total, by + f.vy * o1 + f.uy * total},
                       {bx + f.vx * o1, by + f.vy * o1}},
                      colour);
  };
  if (s.lf.lfUnderline && total > 0) bar(s.underlinePos, s.underlineThick);
  if (s.lf.lfStrikeOut && total > 0) bar(s.strikePos, s.strikeThick);
}

}  // namespace

WingdingsGlyph wingdingsGlyph(unsigned char c) {
  switch (c) {
    case 0xFB: return {0x38, U'\u2718'};  // heavy ballot X
    case 0xFC: return {0x34, U'\u2714'};  // heavy check mark
    default: return {};
  }
}

bool isWingdings(const char* face) { return sameFace(face, "Wingdings"); }

std::string fontFile(HFONT h) {
  FontData* f = font(h);
  if (!f) return {};
  FT_Face face = loadFace(substitute(f->lf));
  auto it = faceFiles().find(face);
  return it == faceFiles().end() ? std::string() : it->second;
}

}  // namespace win::gdi

//------------------------------------------------------------------------------
// [SECTION] Font calls
//------------------------------------------------------------------------------
namespace win {
using namespace gdi;

HFONT CreateFontIndirect(const LOGFONT& lf) {
  auto f = std::make_unique<FontData>();
  f->lf = lf;
  f->lf.lfFaceName[LF_FACESIZE - 1] = '\0';
  return newFont(std::move(f));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = italic ? 1 : 0;
  lf.lfUnderline = underline ? 1 : 0;
  lf.lfStrikeOut = strikeOut ? 1 : 0;
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirect(lf);
}

BOOL GetTextMetrics(HDC h, TEXTMETRIC& tm) {
  Sized s;
  if (!sizedFor(h, s)) return FALSE;
  tm = s.tm;
  return TRUE;
}

BOOL GetTextExtentPoint32(HDC h, LPCSTR text, int length, SIZE& size) {
  Sized s;
  if (!sizedFor(h, s) || length < 0 || (length > 0 && !text)) return FALSE;
  long total = 0;
  for (int a : advances(s, reinterpret_cast<const unsigned char*>(text), length)) total += a;
  size.cx = total;
  size.cy = s.tm.tmHeight;
  return TRUE;
}

int GetTextFace(HDC h, int size, LPSTR face) {
  DcData* d = dc(h);
  FontData* f = d ? font(d->st.font) : nullptr;
  if (!f) return 0;
  const int len = static_cast<int>(strnlen(f->lf.lfFaceName, LF_FACESIZE));
  if (!face) return len + 1;
  if (size <= 0) return 0;
  const int n = std::min(len, size - 1);
  std::memcpy(face, f->lf.lfFaceName, static_cast<size_t>(n));
  face[n] = '\0';
  return n + 1;
}

LONG GdiGetCharDimensions(HDC h, TEXTMETRIC* metrics, LONG* height) {
  Sized s;
  if (!sizedFor(h, s)) return 0;
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  long total = 0;
  for (int a : advances(s, reinterpret_cast<const unsigned char*>(letters), 52)) total += a;
  if (metrics) *metrics = s.tm;
  if (height) *height = s.tm.tmHeight;
  return static_cast<LONG>((total / 26 + 1) / 2);
}

//------------------------------------------------------------------------------
// [SECTION] Text calls
//------------------------------------------------------------------------------
namespace {

// Draws text with its reference point at logical (x, y) under the DC's alignment; clipRect,
// when given, further limits the drawing (device coordinates).
BOOL textAt(HDC h, int x, int y, const RECT* clipRect, bool opaqueRect, const unsigned char* text,
            int n, const int* dx) {
  DcData* d = dc(h);
  if (!d || n < 0 || (n > 0 && !text)) return FALSE;
  Sized s;
  if (!sizedFor(h, s)) return FALSE;
  std::vector<int> adv = advances(s, text, n);
  if (dx)
    for (int i = 0; i < n; ++i) adv[static_cast<size_t>(i)] = dx[i];
  long total = 0;
  for (int a : adv) total += a;
  const UINT align = d->st.align;
  const bool updateCp = (align & TA_UPDATECP) != 0;
  const POINT ref = updateCp ? toDevice(*d, d->st.current.x, d->st.current.y) : toDevice(*d, x, y);
  double h0 = 0;
  if ((align & TA_CENTER) == TA_CENTER) h0 = -total / 2.0;
  else if (align & TA_RIGHT) h0 = -static_cast<double>(total);
  double v0 = s.tm.tmAscent;
  if ((align & TA_BASELINE) == TA_BASELINE) v0 = 0;
  else if (align & TA_BOTTOM) v0 = -static_cast<double>(s.tm.tmDescent);
  if ((align & TA_CENTER) == TA_CENTER) h0 = std::trunc(h0);
  const Frame f = frameOf(s.lf);
  const double bx = ref.x + f.ux * h0 + f.vx * v0, by = ref.y + f.uy * h0 + f.vy * v0;
  Target t;
  if (resolveTarget(*d, t)) {
    if (clipRect) t.clip.intersectRect(*clipRect);
    if (opaqueRect && clipRect) fillDevicePolygon(t, {{double(clipRect->left), double(clipRect->top)},
                                                      {double(clipRect->right), double(clipRect->top)},
                                                      {double(clipRect->right), double(clipRect->bottom)},
                                                      {double(clipRect->left), double(clipRect->bottom)}},
                                                  devicePixel(d->st.bk, t));
    drawRun(*d, t, s, text, n, adv, bx, by, d->st.bkMode == OPAQUE);
    finishTarget(t);
  }
  if (updateCp) {
    // The current position moves to the far end of the text from the reference point.
    const double endAlong = (align & TA_CENTER) == TA_CENTER ? 0 : (align & TA_RIGHT) ? -total : total;
    d->st.current.x += static_cast<LONG>(std::lround(f.ux * endAlong));
    d->st.current.y += static_cast<LONG>(std::lround(f.uy * endAlong));
  }
  return TRUE;
}

}  // namespace

BOOL TextOut(HDC h, int x, int y, LPCSTR text, int length) {
  if (DcData* d = dc(h); d && d->rec) return ExtTextOut(h, x, y, 0, nullptr, text, length < 0 ? 0 : static_cast<UINT>(length), nullptr);
  return textAt(h, x, y, nullptr, false, reinterpret_cast<const unsigned char*>(text), length, nullptr);
}

BOOL ExtTextOut(HDC h, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                const int* dx) {
  DcData* d = dc(h);
  if (!d) return FALSE;
  if (d->rec) {
    // Type 83: x, y, options, the rectangle (or none), the text and its advances.
    if (length > 0x7FFFFFFF || (length > 0 && !text)) return FALSE;
    MetaRecord r;
    r.type = 83;
    r.args = {x, y, static_cast<LONG>(options), rect ? 1 : 0};
    if (rect) r.args.insert(r.args.end(), {rect->left, rect->top, rect->right, rect->bottom});
    r.text.assign(text ? text : "", length);
    if (dx) {
      r.data.assign(dx, dx + length);
    } else if (Sized s; length > 0 && sizedFor(h, s)) {
      // The advances measured here go with the text: a player at another size, where
      // hinting rounds each advance its own way, or with other fonts, puts every character
      // where this measure (and the layout made with it) put it.
      const std::vector<int> a = advances(s, reinterpret_cast<const unsigned char*>(text), static_cast<int>(length));
      r.data.assign(a.begin(), a.end());
    }
    metaRecord(*d, std::move(r));
    return TRUE;
  }
  std::optional<RECT> dr;
  if (rect) {
    const POINT a = toDevice(*d, rect->left, rect->top), b = toDevice(*d, rect->right, rect->bottom);
    dr = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  }
  const bool opaque = (options & ETO_OPAQUE) && dr;
  const bool clipped = (options & ETO_CLIPPED) && dr;
  if (opaque && !clipped) {
    // The rectangle is filled; the text itself is not cut to it.
    Target t;
    if (resolveTarget(*d, t)) {
      fillDevicePolygon(t, {{double(dr->left), double(dr->top)}, {double(dr->right), double(dr->top)},
                            {double(dr->right), double(dr->bottom)}, {double(dr->left), double(dr->bottom)}},
                        devicePixel(d->st.bk, t));
      finishTarget(t);
    }
  }
  if (length > 0x7FFFFFFF) return FALSE;
  return textAt(h, x, y, clipped ? &*dr : nullptr, opaque && clipped,
                reinterpret_cast<const unsigned char*>(text), static_cast<int>(length), dx);
}

int DrawText(HDC h, LPCSTR text, int length, RECT& rect, UINT format) {
  DcData* d = dc(h);
  if (!d || !text) return 0;
  const int n = length < 0 ? static_cast<int>(std::strlen(text)) : length;
  Sized s;
  if (!sizedFor(h, s)) return 0;
  const bool prefix = !(format & DT_NOPREFIX);
  // Lines of (text, underlined index or -1).
  struct TextLine {
    std::string text;
    int mnemonic = -1;
  };
  std::vector<TextLine> lines(1);
  auto widthOf = [&](const std::string& t) {
    long w = 0;
    for (int a : advances(s, reinterpret_cast<const unsigned char*>(t.data()), static_cast<int>(t.size()))) w += a;
    return w;
  };
  const long tabWidth = 8L * std::max<LONG>(1, s.tm.tmAveCharWidth);
  for (int i = 0; i < n; ++i) {
    const char c = text[i];
    if (!(format & DT_SINGLELINE) && (c == '\n' || c == '\r')) {
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      lines.push_back({});
      continue;
    }
    if ((format & DT_SINGLELINE) && (c == '\n' || c == '\r')) continue;
    if (prefix && c == '&') {
      if (i + 1 < n && text[i + 1] == '&') {
        lines.back().text += '&';
        ++i;
      } else if (i + 1 < n) {
        if (!(format & DT_HIDEPREFIX)) lines.back().mnemonic = static_cast<int>(lines.back().text.size());
      }
      continue;
    }
    if (c == '\t' && (format & DT_EXPANDTABS)) {
      const long w = widthOf(lines.back().text);
      long target = (w / tabWidth + 1) * tabWidth;
      while (widthOf(lines.back().text + ' ') <= target) lines.back().text += ' ';
      continue;
    }
    lines.back().text += c;
  }
  // Word breaks: a line longer than the rectangle breaks at its last blank that fits.
  const long boxWidth = rect.right - rect.left;
  if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
    std::vector<TextLine> broken;
    for (TextLine& l : lines) {
      std::string rest = l.text;
      int mn = l.mnemonic;
      while (widthOf(rest) > boxWidth) {
        size_t cut = std::string::npos;
        for (size_t k = rest.find(' '); k != std::string::npos; k = rest.find(' ', k + 1)) {
          if (widthOf(rest.substr(0, k)) <= boxWidth) cut = k;
          else break;
        }
        if (cut == std::string::npos) cut = rest.find(' ');  // a word wider than the box stays whole
        if (cut == std::string::npos) break;
        TextLine head{rest.substr(0, cut), mn < static_cast<int>(cut) ? mn : -1};
        broken.push_back(head);
        size_t next = cut;
        while (next < rest.size() && rest[next] == ' ') ++next;
        mn = mn >= static_cast<int>(next) ? mn - static_cast<int>(next) : -1;
        rest = rest.substr(next);
      }
      broken.push_back({rest, mn});
    }
    lines.swap(broken);
  }
  const LONG lineHeight = s.tm.tmHeight;
  const LONG textHeight = lineHeight * static_cast<LONG>(lines.size());
  if (format & DT_CALCRECT) {
    long widest = 0;
    for (const TextLine& l : lines) widest = std::max(widest, widthOf(l.text));
    rect.right = rect.left + widest;
    rect.bottom = rect.top + textHeight;
    return textHeight;
  }
  LONG top = rect.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) top = rect.top + (rect.bottom - rect.top - lineHeight) / 2;
    else if (format & DT_BOTTOM) top = rect.bottom - lineHeight;
  }
  const UINT savedAlign = d->st.align;
  d->st.align = TA_LEFT | TA_TOP;
  RECT clip{};
  if (!(format & DT_NOCLIP)) {
    const POINT a = toDevice(*d, rect.left, rect.top), b = toDevice(*d, rect.right, rect.bottom);
    clip = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  }
  LONG y = top;
  for (const TextLine& l : lines) {
    const long w = widthOf(l.text);
    LONG x = rect.left;
    if (format & DT_CENTER) x = rect.left + static_cast<LONG>((boxWidth - w) / 2);
    else if (format & DT_RIGHT) x = rect.right - static_cast<LONG>(w);
    textAt(h, x, y, (format & DT_NOCLIP) ? nullptr : &clip, false,
           reinterpret_cast<const unsigned char*>(l.text.data()), static_cast<int>(l.text.size()), nullptr);
    if (l.mnemonic >= 0 && l.mnemonic < static_cast<int>(l.text.size())) {
      // The mnemonic letter is underlined.
      const long x0 = widthOf(l.text.substr(0, static_cast<size_t>(l.mnemonic)));
      const long x1 = widthOf(l.text.substr(0, static_cast<size_t>(l.mnemonic) + 1));
      Target t;
      if (resolveTarget(*d, t)) {
        if (!(format & DT_NOCLIP)) t.clip.intersectRect(clip);
        const POINT p = toDevice(*d, x, y);
        const double uy = p.y + s.tm.tmAscent + s.underlinePos;
        fillDevicePolygon(t, {{double(p.x + x0), uy}, {double(p.x + x1), uy}, {double(p.x + x1), uy + 1}, {double(p.x + x0), uy + 1}},
                          devicePixel(d->st.text, t));
        finishTarget(t);
      }
    }
    y += lineHeight;
  }
  d->st.align = savedAlign;
  return textHeight;
}

}  // namespace win
