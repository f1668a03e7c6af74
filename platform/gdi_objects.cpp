// platform/gdi_objects.cpp: the GDI object table, regions, pens, brushes, bitmaps, device
// contexts and their attributes, save and restore, clipping.
// Sections (grep "[SECTION]"): handle table | regions | pens and brushes | bitmaps |
//   device contexts | attributes | clipping | targets
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/gdi_internal.h"

namespace win::gdi {

//------------------------------------------------------------------------------
// [SECTION] Handle table
// - handleValue(), makeHandle(), pen(), brush(), bitmap(), font(), region(), dc()
//------------------------------------------------------------------------------
namespace {

template <class T>
struct Table {
  std::vector<std::unique_ptr<T>> slots{1};  // slot 0 unused
  std::vector<UINT> free;
  UINT add(std::unique_ptr<T> p) {
    if (!free.empty()) {
      const UINT s = free.back();
      free.pop_back();
      slots[s] = std::move(p);
      return s;
    }
    slots.push_back(std::move(p));
    return static_cast<UINT>(slots.size() - 1);
  }
  T* get(UINT s) { return s < slots.size() ? slots[s].get() : nullptr; }
  void remove(UINT s) {
    if (s < slots.size() && slots[s]) {
      slots[s].reset();
      free.push_back(s);
    }
  }
};

Table<PenData> gPens;
Table<BrushData> gBrushes;
Table<BitmapData> gBitmaps;
Table<FontData> gFonts;
Table<Region> gRegions;
Table<PaletteData> gPalettes;
Table<DcData> gDcs;

constexpr UINT kSlotMask = 0xFFFFFF;
UINT typeOf(UINT v) { return v >> 24; }
UINT slotOf(UINT v) { return v & kSlotMask; }

template <class H>
H makeHandle(DWORD type, UINT slot) {
  return reinterpret_cast<H>(static_cast<std::uintptr_t>((type << 24) | slot));
}

// Stock objects: made on first use and never deleted.
struct Stock {
  HGDIOBJ objects[20] = {};
  std::vector<UINT> values;
};
Stock& stock();

bool isStock(UINT v) {
  const Stock& s = stock();
  return std::find(s.values.begin(), s.values.end(), v) != s.values.end();
}

}  // namespace

UINT handleValue(const void* h) {
  return static_cast<UINT>(reinterpret_cast<std::uintptr_t>(h) & 0xFFFFFFFFu);
}

PenData* pen(HGDIOBJ h) {
  const UINT v = handleValue(h);
  return typeOf(v) == OBJ_PEN || typeOf(v) == OBJ_EXTPEN ? gPens.get(slotOf(v)) : nullptr;
}
BrushData* brush(HGDIOBJ h) {
  const UINT v = handleValue(h);
  return typeOf(v) == OBJ_BRUSH ? gBrushes.get(slotOf(v)) : nullptr;
}
BitmapData* bitmap(HGDIOBJ h) {
  const UINT v = handleValue(h);
  return typeOf(v) == OBJ_BITMAP ? gBitmaps.get(slotOf(v)) : nullptr;
}
FontData* font(HGDIOBJ h) {
  const UINT v = handleValue(h);
  return typeOf(v) == OBJ_FONT ? gFonts.get(slotOf(v)) : nullptr;
}
Region* region(HGDIOBJ h) {
  const UINT v = handleValue(h);
  return typeOf(v) == OBJ_REGION ? gRegions.get(slotOf(v)) : nullptr;
}
PaletteData* palette(HGDIOBJ h) {
  const UINT v = handleValue(h);
  return typeOf(v) == OBJ_PAL ? gPalettes.get(slotOf(v)) : nullptr;
}

HPALETTE newPalette(PaletteData p) {
  return makeHandle<HPALETTE>(OBJ_PAL, gPalettes.add(std::make_unique<PaletteData>(std::move(p))));
}

DcData* dc(HDC h) {
  const UINT v = handleValue(h);
  return typeOf(v) == OBJ_DC || typeOf(v) == OBJ_MEMDC ? gDcs.get(slotOf(v)) : nullptr;
}

HFONT newFont(std::unique_ptr<FontData> f) {
  return makeHandle<HFONT>(OBJ_FONT, gFonts.add(std::move(f)));
}

HRGN newRegion(Region r) {
  return makeHandle<HRGN>(OBJ_REGION, gRegions.add(std::make_unique<Region>(std::move(r))));
}

HPEN newPen(PenData p) {
  const DWORD type = p.extended ? OBJ_EXTPEN : OBJ_PEN;
  return makeHandle<HPEN>(type, gPens.add(std::make_unique<PenData>(std::move(p))));
}
HBRUSH newBrush(BrushData b) {
  return makeHandle<HBRUSH>(OBJ_BRUSH, gBrushes.add(std::make_unique<BrushData>(std::move(b))));
}

namespace {
HBITMAP newBitmap(int w, int h, bool mono) {
  auto b = std::make_unique<BitmapData>();
  b->w = w;
  b->h = h;
  b->mono = mono;
  b->surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  if (cairo_surface_status(b->surface) != CAIRO_STATUS_SUCCESS) return nullptr;
  // New bitmaps are black, as the platform's are.
  auto* px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(b->surface));
  const int stride = cairo_image_surface_get_stride(b->surface) / 4;
  for (int y = 0; y < h; ++y) std::fill(px + y * stride, px + y * stride + w, 0u);
  cairo_surface_mark_dirty(b->surface);
  return makeHandle<HBITMAP>(OBJ_BITMAP, gBitmaps.add(std::move(b)));
}

Stock& stock() {
  static Stock s = [] {
    installWindowHooks();  // also links the window device contexts into every program that draws
    Stock k;
    auto solid = [](COLORREF c) { BrushData b; b.colour = c; return newBrush(b); };
    k.objects[WHITE_BRUSH] = solid(0xFFFFFF);
    k.objects[LTGRAY_BRUSH] = solid(0xC0C0C0);
    k.objects[GRAY_BRUSH] = solid(0x808080);
    k.objects[DKGRAY_BRUSH] = solid(0x404040);
    k.objects[BLACK_BRUSH] = solid(0x000000);
    BrushData nb;
    nb.style = BS_NULL;
    k.objects[NULL_BRUSH] = newBrush(nb);
    PenData wp;
    wp.colour = 0xFFFFFF;
    k.objects[WHITE_PEN] = newPen(wp);
    k.objects[BLACK_PEN] = newPen(PenData{});
    PenData np;
    np.style = PS_NULL;
    k.objects[NULL_PEN] = newPen(np);
    // Fonts: the variable-pitch system and GUI fonts and the fixed fonts.
    auto mkfont = [](LONG h, LONG weight, BYTE pf, const char* face) {
      auto f = std::make_unique<FontData>();
      f->lf.lfHeight = h;
      f->lf.lfWeight = weight;
      f->lf.lfPitchAndFamily = pf;
      std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
      return makeHandle<HGDIOBJ>(OBJ_FONT, gFonts.add(std::move(f)));
    };
    k.objects[SYSTEM_FONT] = mkfont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System");
    k.objects[DEVICE_DEFAULT_FONT] = k.objects[SYSTEM_FONT];
    k.objects[ANSI_VAR_FONT] = mkfont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
    k.objects[DEFAULT_GUI_FONT] = mkfont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg");
    k.objects[ANSI_FIXED_FONT] = mkfont(-13, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Courier New");
    k.objects[OEM_FIXED_FONT] = mkfont(-13, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Terminal");
    k.objects[SYSTEM_FIXED_FONT] = mkfont(-13, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Fixedsys");
    k.objects[19] = newBitmap(1, 1, true);  // the default bitmap of memory DCs
    // The default palette: the 20 static colours, realised from the start.
    static constexpr COLORREF kStatic[20] = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
        0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    PaletteData dp;
    for (COLORREF c : kStatic) {
      dp.entries.push_back(PALETTEENTRY{static_cast<BYTE>(c & 0xFF), static_cast<BYTE>((c >> 8) & 0xFF),
                                        static_cast<BYTE>((c >> 16) & 0xFF), 0});
      dp.realised.push_back(toPixel(c));
    }
    k.objects[DEFAULT_PALETTE] = newPalette(std::move(dp));
    for (HGDIOBJ o : k.objects)
      if (o) k.values.push_back(handleValue(o));
    return k;
  }();
  return s;
}

HBITMAP stockBitmap() { return static_cast<HBITMAP>(stock().objects[19]); }

}  // namespace

HPALETTE defaultPalette() { return static_cast<HPALETTE>(stock().objects[DEFAULT_PALETTE]); }

void keepForRun(HGDIOBJ object) { stock().values.push_back(handleValue(object)); }

BitmapData::~BitmapData() {
  if (surface) cairo_surface_destroy(surface);
}

//------------------------------------------------------------------------------
// [SECTION] Regions
//------------------------------------------------------------------------------
RECT Region::meet(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  return isEmpty(r) ? RECT{} : r;
}

namespace {
// Pieces of p outside c.
void cut(const RECT& p, const RECT& c, std::vector<RECT>& out) {
  const RECT m = Region::meet(p, c);
  if (Region::isEmpty(m)) {
    out.push_back(p);
    return;
  }
  if (p.top < m.top) out.push_back({p.left, p.top, p.right, m.top});
  if (m.bottom < p.bottom) out.push_back({p.left, m.bottom, p.right, p.bottom});
  if (p.left < m.left) out.push_back({p.left, m.top, m.left, m.bottom});
  if (m.right < p.right) out.push_back({m.right, m.top, p.right, m.bottom});
}
}  // namespace

void Region::addRect(const RECT& r) {
  if (isEmpty(r)) return;
  std::vector<RECT> pieces{r};
  for (const RECT& have : rects) {
    std::vector<RECT> next;
    for (const RECT& p : pieces) cut(p, have, next);
    pieces.swap(next);
    if (pieces.empty()) return;
  }
  rects.insert(rects.end(), pieces.begin(), pieces.end());
}
void Region::subtractRect(const RECT& r) {
  if (isEmpty(r)) return;
  std::vector<RECT> next;
  for (const RECT& have : rects) cut(have, r, next);
  rects.swap(next);
}
void Region::unite(const Region& o) {
  for (const RECT& r : o.rects) addRect(r);
}
void Region::subtract(const Region& o) {
  for (const RECT& r : o.rects) subtractRect(r);
}
void Region::intersect(const Region& o) {
  std::vector<RECT> next;
  for (const RECT& a : rects)
    for (const RECT& b : o.rects) {
      const RECT m = meet(a, b);
      if (!isEmpty(m)) next.push_back(m);
    }
  rects.swap(next);
}
void Region::intersectRect(const RECT& r) {
  std::vector<RECT> next;
  for (const RECT& a : rects) {
    const RECT m = meet(a, r);
    if (!isEmpty(m)) next.push_back(m);
  }
  rects.swap(next);
}
void Region::offset(int dx, int dy) {
  for (RECT& r : rects) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
}
RECT Region::box() const {
  if (rects.empty()) return RECT{};
  RECT b = rects[0];
  for (const RECT& r : rects) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}
bool Region::contains(int x, int y) const {
  for (const RECT& r : rects)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}
Region Region::fromRows(int top, const std::vector<std::vector<std::pair<int, int>>>& rows) {
  Region out;
  size_t i = 0;
  while (i < rows.size()) {
    size_t j = i + 1;
    while (j < rows.size() && rows[j] == rows[i]) ++j;
    for (const auto& [x0, x1] : rows[i])
      if (x1 > x0)
        out.rects.push_back({x0, top + static_cast<LONG>(i), x1, top + static_cast<LONG>(j)});
    i = j;
  }
  return out;
}

}  // namespace win::gdi

namespace win {
using namespace gdi;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  Region r;
  r.addRect({std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
  return newRegion(std::move(r));
}
HRGN CreateRectRgnIndirect(const RECT& rc) { return CreateRectRgn(rc.left, rc.top, rc.right, rc.bottom); }

BOOL SetRectRgn(HRGN h, int left, int top, int right, int bottom) {
  Region* r = region(h);
  if (!r) return FALSE;
  r->rects.clear();
  r->addRect({std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
  return TRUE;
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
  Region* d = region(dest);
  Region* ra = region(a);
  Region* rb = region(b);
  if (!d || !ra || (mode != RGN_COPY && !rb)) return ERROR;
  Region out = *ra;
  switch (mode) {
    case RGN_AND: out.intersect(*rb); break;
    case RGN_OR: out.unite(*rb); break;
    case RGN_DIFF: out.subtract(*rb); break;
    case RGN_XOR: {
      Region other = *rb;
      other.subtract(*ra);
      out.subtract(*rb);
      out.unite(other);
      break;
    }
    case RGN_COPY: break;
    default: return ERROR;
  }
  *d = std::move(out);
  return d->kind();
}

int OffsetRgn(HRGN h, int dx, int dy) {
  Region* r = region(h);
  if (!r) return ERROR;
  r->offset(dx, dy);
  return r->kind();
}

int GetRgnBox(HRGN h, RECT& box) {
  Region* r = region(h);
  if (!r) return ERROR;
  box = r->box();
  return r->kind();
}

BOOL PtInRegion(HRGN h, int x, int y) {
  Region* r = region(h);
  return r && r->contains(x, y) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  Region* ra = region(a);
  Region* rb = region(b);
  if (!ra || !rb) return ERROR;
  // Equal when neither has a part outside the other.
  Region x = *ra;
  x.subtract(*rb);
  Region y = *rb;
  y.subtract(*ra);
  return x.rects.empty() && y.rects.empty() ? TRUE : FALSE;
}

//------------------------------------------------------------------------------
// [SECTION] Pens and brushes
//------------------------------------------------------------------------------
HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index > 17) return nullptr;
  return stock().objects[index];
}

HPEN CreatePen(int style, int width, COLORREF colour) {
  PenData p;
  p.style = static_cast<UINT>(style) & PS_STYLE_MASK;
  if (p.style > PS_INSIDEFRAME) p.style = PS_SOLID;
  p.width = std::max(width, 0);
  p.colour = colour;
  p.asked = p.style;
  // Wide pens are geometric with round ends and draw solid whatever their style.
  if (p.width > 1) {
    p.geometric = true;
    if (p.style != PS_NULL && p.style != PS_INSIDEFRAME) p.style = PS_SOLID;
  }
  return newPen(std::move(p));
}

HPEN CreatePenIndirect(const LOGPEN& lp) {
  return CreatePen(static_cast<int>(lp.lopnStyle), lp.lopnWidth.x, lp.lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH& lb, DWORD count, const DWORD* dashes) {
  PenData p;
  p.extended = true;
  p.style = style & PS_STYLE_MASK;
  p.geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
  p.endcap = style & PS_ENDCAP_MASK;
  p.join = style & PS_JOIN_MASK;
  p.colour = lb.lbColor;
  // A cosmetic pen is one pixel wide and solid-coloured; a user style needs its dashes.
  if (!p.geometric && (width != 1 || lb.lbStyle != BS_SOLID)) return nullptr;
  if (p.style == PS_USERSTYLE) {
    if (count == 0 || count > 16 || dashes == nullptr) return nullptr;
    p.dashes.assign(dashes, dashes + count);
    DWORD total = 0;
    for (DWORD d : p.dashes) total += d;
    if (total == 0) return nullptr;
  } else if (count != 0 || dashes != nullptr) {
    return nullptr;
  }
  if (p.style == PS_ALTERNATE && p.geometric) return nullptr;
  if (lb.lbStyle == BS_NULL) p.style = PS_NULL;
  p.width = static_cast<int>(std::min<DWORD>(width, 1u << 20));
  if (p.width == 0) p.width = 1;
  return newPen(std::move(p));
}

HBRUSH CreateSolidBrush(COLORREF colour) {
  BrushData b;
  b.colour = colour;
  return newBrush(std::move(b));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF colour) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  BrushData b;
  b.style = BS_HATCHED;
  b.hatch = hatch;
  b.colour = colour;
  return newBrush(std::move(b));
}

HBRUSH CreatePatternBrush(HBITMAP bm) {
  BitmapData* src = bitmap(bm);
  if (!src) return nullptr;
  BrushData b;
  b.style = BS_PATTERN;
  // The brush keeps a copy: the bitmap may be changed or deleted afterwards. Patterns use
  // at most 8 x 8 pixels, as the platform's brushes do.
  b.pw = std::min(src->w, 8);
  b.ph = std::min(src->h, 8);
  b.mono = src->mono;
  cairo_surface_flush(src->surface);
  const auto* px = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(src->surface));
  const int stride = cairo_image_surface_get_stride(src->surface) / 4;
  for (int y = 0; y < b.ph; ++y)
    for (int x = 0; x < b.pw; ++x) b.pattern.push_back(px[y * stride + x] & 0xFFFFFF);
  return newBrush(std::move(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH& lb) {
  switch (lb.lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb.lbColor);
    case BS_NULL: {
      BrushData b;
      b.style = BS_NULL;
      return newBrush(std::move(b));
    }
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(lb.lbHatch), lb.lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb.lbHatch));
    default: return nullptr;
  }
}

//------------------------------------------------------------------------------
// [SECTION] Bitmaps
//------------------------------------------------------------------------------
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (width <= 0 || height <= 0 || planes != 1 || width > 32767 || height > 32767) return nullptr;
  const bool mono = bitsPerPixel == 1;
  if (!mono && bitsPerPixel != 24 && bitsPerPixel != 32 && bitsPerPixel != 8 &&
      bitsPerPixel != 16 && bitsPerPixel != 4)
    return nullptr;
  HBITMAP h = newBitmap(width, height, mono);
  if (!h || !bits) return h;
  BitmapData* b = bitmap(h);
  auto* px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(b->surface));
  const int stride = cairo_image_surface_get_stride(b->surface) / 4;
  const auto* src = static_cast<const unsigned char*>(bits);
  // Rows are aligned to 16 bits, top row first.
  const int rowBytes = ((width * static_cast<int>(bitsPerPixel) + 15) / 16) * 2;
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = src + static_cast<size_t>(y) * rowBytes;
    for (int x = 0; x < width; ++x) {
      uint32_t p = 0;
      if (mono) {
        p = (row[x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFF : 0;
      } else if (bitsPerPixel == 24) {
        p = row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
      } else if (bitsPerPixel == 32) {
        p = row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16);
      } else {
        continue;  // palette depths without a palette: left black
      }
      px[y * stride + x] = p;
    }
  }
  cairo_surface_mark_dirty(b->surface);
  return h;
}

HBITMAP CreateCompatibleBitmap(HDC h, int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  bool mono = false;
  if (h) {
    DcData* d = dc(h);
    if (!d) return nullptr;
    BitmapData* b = d->memory ? bitmap(d->st.bitmap) : nullptr;
    mono = d->memory && b && b->mono;
  }
  return CreateBitmap(width, height, 1, mono ? 1 : 32, nullptr);
}

//------------------------------------------------------------------------------
// [SECTION] Device contexts
//------------------------------------------------------------------------------
namespace {
HDC addDc(std::unique_ptr<DcData> d, DWORD type) {
  d->st.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  d->st.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  d->st.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  const UINT slot = gDcs.add(std::move(d));
  return makeHandle<HDC>(type, slot);
}

// Every handle held by a DC's current or saved states.
bool inUse(UINT v) {
  for (size_t s = 1; s < gDcs.slots.size(); ++s) {
    const DcData* d = gDcs.slots[s].get();
    if (!d) continue;
    auto holds = [v](const DcState& st) {
      return handleValue(st.pen) == v || handleValue(st.brush) == v ||
             handleValue(st.font) == v || handleValue(st.bitmap) == v || handleValue(st.palette) == v;
    };
    if (holds(d->st)) return true;
    for (const DcState& st : d->saved)
      if (holds(st)) return true;
  }
  return false;
}
}  // namespace

HDC CreateCompatibleDC(HDC h) {
  if (h && !dc(h)) return nullptr;
  auto d = std::make_unique<DcData>();
  d->memory = true;
  d->st.bitmap = stockBitmap();
  return addDc(std::move(d), OBJ_MEMDC);
}

HDC gdi::newWindowDC(HWND hwnd, bool wholeWindow, const std::vector<RECT>& limit) {
  auto d = std::make_unique<DcData>();
  d->memory = false;
  d->hwnd = hwnd;
  d->wholeWindow = wholeWindow;
  d->limit = limit;
  return addDc(std::move(d), OBJ_DC);
}

BOOL DeleteDC(HDC h) {
  DcData* d = dc(h);
  if (!d) return FALSE;
  if (BitmapData* b = bitmap(d->st.bitmap)) b->selectedIn = 0;
  for (const DcState& st : d->saved)
    if (BitmapData* b = bitmap(st.bitmap)) b->selectedIn = 0;
  gDcs.remove(slotOf(handleValue(h)));
  return TRUE;
}

BOOL DeleteObject(HGDIOBJ h) {
  const UINT v = handleValue(h);
  if (v == 0 || isStock(v) || inUse(v)) return FALSE;
  const UINT s = slotOf(v);
  if (pen(h) || brush(h) || font(h)) {
    // Recordings that hold the object free its place in their object tables.
    for (size_t k = 1; k < gDcs.slots.size(); ++k)
      if (DcData* d = gDcs.slots[k].get(); d && d->rec) metaDelete(*d, v);
  }
  switch (typeOf(v)) {
    case OBJ_PEN:
    case OBJ_EXTPEN: if (!gPens.get(s)) return FALSE; gPens.remove(s); return TRUE;
    case OBJ_BRUSH: if (!gBrushes.get(s)) return FALSE; gBrushes.remove(s); return TRUE;
    case OBJ_BITMAP: if (!gBitmaps.get(s)) return FALSE; gBitmaps.remove(s); return TRUE;
    case OBJ_FONT: if (!gFonts.get(s)) return FALSE; gFonts.remove(s); return TRUE;
    case OBJ_REGION: if (!gRegions.get(s)) return FALSE; gRegions.remove(s); return TRUE;
    case OBJ_PAL: if (!gPalettes.get(s)) return FALSE; gPalettes.remove(s); return TRUE;
    default: return FALSE;
  }
}

DWORD GetObjectType(HGDIOBJ h) {
  const UINT v = handleValue(h);
  const UINT s = slotOf(v);
  switch (typeOf(v)) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return gPens.get(s) ? typeOf(v) : 0;
    case OBJ_BRUSH: return gBrushes.get(s) ? OBJ_BRUSH : 0;
    case OBJ_BITMAP: return gBitmaps.get(s) ? OBJ_BITMAP : 0;
    case OBJ_FONT: return gFonts.get(s) ? OBJ_FONT : 0;
    case OBJ_REGION: return gRegions.get(s) ? OBJ_REGION : 0;
    case OBJ_PAL: return gPalettes.get(s) ? OBJ_PAL : 0;
    case OBJ_DC:
    case OBJ_MEMDC: return gDcs.get(s) ? typeOf(v) : 0;
    default: return 0;
  }
}

int GetObject(HGDIOBJ h, int size, void* out) {
  if (PenData* p = pen(h)) {
    if (!p->extended) {
      if (!out) return sizeof(LOGPEN);
      if (size < static_cast<int>(sizeof(LOGPEN))) return 0;
      LOGPEN lp;
      lp.lopnStyle = p->style;
      lp.lopnWidth.x = p->width;
      lp.lopnColor = p->colour;
      std::memcpy(out, &lp, sizeof lp);
      return sizeof(LOGPEN);
    }
    if (!out) return sizeof(EXTLOGPEN);
    if (size < static_cast<int>(sizeof(EXTLOGPEN))) return 0;
    EXTLOGPEN e;
    e.elpPenStyle = p->style | p->endcap | p->join | (p->geometric ? PS_GEOMETRIC : PS_COSMETIC);
    e.elpWidth = static_cast<DWORD>(p->width);
    e.elpColor = p->colour;
    e.elpNumEntries = static_cast<DWORD>(p->dashes.size());
    for (size_t i = 0; i < p->dashes.size(); ++i) e.elpStyleEntry[i] = p->dashes[i];
    std::memcpy(out, &e, sizeof e);
    return sizeof(EXTLOGPEN);
  }
  if (BrushData* b = brush(h)) {
    if (!out) return sizeof(LOGBRUSH);
    if (size < static_cast<int>(sizeof(LOGBRUSH))) return 0;
    LOGBRUSH lb;
    lb.lbStyle = b->style;
    lb.lbColor = b->colour;
    lb.lbHatch = static_cast<ULONG_PTR>(b->hatch);
    std::memcpy(out, &lb, sizeof lb);
    return sizeof(LOGBRUSH);
  }
  if (BitmapData* b = bitmap(h)) {
    if (!out) return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP bm;
    bm.bmWidth = b->w;
    bm.bmHeight = b->h;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = b->mono ? 1 : 32;
    bm.bmWidthBytes = b->mono ? ((b->w + 15) / 16) * 2 : b->w * 4;
    std::memcpy(out, &bm, sizeof bm);
    return sizeof(BITMAP);
  }
  if (FontData* f = font(h)) {
    if (!out) return sizeof(LOGFONT);
    if (size < static_cast<int>(sizeof(LOGFONT))) return 0;
    std::memcpy(out, &f->lf, sizeof(LOGFONT));
    return sizeof(LOGFONT);
  }
  return 0;
}

HGDIOBJ SelectObject(HDC h, HGDIOBJ obj) {
  DcData* d = dc(h);
  if (!d || !obj) return nullptr;
  if (d->rec && (pen(obj) || brush(obj) || font(obj))) metaSelect(*d, obj);
  if (d->rec && bitmap(obj)) return nullptr;
  if (pen(obj)) { HGDIOBJ old = d->st.pen; d->st.pen = static_cast<HPEN>(obj); return old; }
  if (brush(obj)) { HGDIOBJ old = d->st.brush; d->st.brush = static_cast<HBRUSH>(obj); return old; }
  if (font(obj)) { HGDIOBJ old = d->st.font; d->st.font = static_cast<HFONT>(obj); return old; }
  if (BitmapData* b = bitmap(obj)) {
    if (!d->memory) return nullptr;
    const UINT me = handleValue(h);
    const bool isStockBitmap = handleValue(obj) == handleValue(stockBitmap());
    // A bitmap lives in one memory DC at a time (the stock bitmap in any number).
    if (!isStockBitmap && b->selectedIn != 0 && b->selectedIn != me) return nullptr;
    HGDIOBJ old = d->st.bitmap;
    if (BitmapData* ob = bitmap(old)) {
      if (handleValue(old) != handleValue(stockBitmap())) ob->selectedIn = 0;
    }
    if (!isStockBitmap) b->selectedIn = me;
    d->st.bitmap = static_cast<HBITMAP>(obj);
    return old;
  }
  if (region(obj)) {
    const int kind = SelectClipRgn(h, static_cast<HRGN>(obj));
    return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(kind == ERROR ? -1 : kind));
  }
  return nullptr;
}

HGDIOBJ GetCurrentObject(HDC h, UINT type) {
  DcData* d = dc(h);
  if (!d) return nullptr;
  switch (type) {
    case OBJ_PEN: return d->st.pen;
    case OBJ_BRUSH: return d->st.brush;
    case OBJ_FONT: return d->st.font;
    case OBJ_BITMAP: return d->st.bitmap;
    default: return nullptr;
  }
}

int SaveDC(HDC h) {
  DcData* d = dc(h);
  if (!d) return 0;
  d->saved.push_back(d->st);
  return static_cast<int>(d->saved.size());
}

BOOL RestoreDC(HDC h, int level) {
  DcData* d = dc(h);
  if (!d) return FALSE;
  const int n = static_cast<int>(d->saved.size());
  const int target = level > 0 ? level : n + 1 + level;
  if (level == 0 || target < 1 || target > n) return FALSE;
  DcState st = d->saved[static_cast<size_t>(target - 1)];
  d->saved.resize(static_cast<size_t>(target - 1));
  // The bitmap changes hands like a SelectObject.
  if (handleValue(st.bitmap) != handleValue(d->st.bitmap)) {
    HBITMAP want = st.bitmap;
    st.bitmap = d->st.bitmap;
    d->st = st;
    SelectObject(h, want);
  } else {
    d->st = st;
  }
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Attributes
//------------------------------------------------------------------------------
namespace {
template <class T, class F>
T swapAttr(HDC h, T bad, F field, T value) {
  DcData* d = dc(h);
  if (!d) return bad;
  T& f = field(d->st);
  const T old = f;
  f = value;
  return old;
}
}  // namespace

namespace {
// A recording device context keeps the attribute as a record too.
void recordAttr(HDC h, DWORD type, LONG value) {
  DcData* d = dc(h);
  if (d && d->rec) metaRecord(*d, type, {value});
}
}  // namespace

int SetROP2(HDC h, int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return 0;
  recordAttr(h, 20, mode);
  return swapAttr<int>(h, 0, [](DcState& s) -> int& { return s.rop2; }, mode);
}
int GetROP2(HDC h) { DcData* d = dc(h); return d ? d->st.rop2 : 0; }
COLORREF SetBkColor(HDC h, COLORREF c) {
  recordAttr(h, 25, static_cast<LONG>(c));
  return swapAttr<COLORREF>(h, CLR_INVALID, [](DcState& s) -> COLORREF& { return s.bk; }, c);
}
COLORREF GetBkColor(HDC h) { DcData* d = dc(h); return d ? d->st.bk : CLR_INVALID; }
int SetBkMode(HDC h, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  recordAttr(h, 18, mode);
  return swapAttr<int>(h, 0, [](DcState& s) -> int& { return s.bkMode; }, mode);
}
int GetBkMode(HDC h) { DcData* d = dc(h); return d ? d->st.bkMode : 0; }
COLORREF SetTextColor(HDC h, COLORREF c) {
  recordAttr(h, 24, static_cast<LONG>(c));
  return swapAttr<COLORREF>(h, CLR_INVALID, [](DcState& s) -> COLORREF& { return s.text; }, c);
}
COLORREF GetTextColor(HDC h) { DcData* d = dc(h); return d ? d->st.text : CLR_INVALID; }
int SetPolyFillMode(HDC h, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  recordAttr(h, 19, mode);
  return swapAttr<int>(h, 0, [](DcState& s) -> int& { return s.fillMode; }, mode);
}
int GetPolyFillMode(HDC h) { DcData* d = dc(h); return d ? d->st.fillMode : 0; }
UINT SetTextAlign(HDC h, UINT align) {
  recordAttr(h, 22, static_cast<LONG>(align));
  return swapAttr<UINT>(h, GDI_ERROR, [](DcState& s) -> UINT& { return s.align; }, align);
}
UINT GetTextAlign(HDC h) { DcData* d = dc(h); return d ? d->st.align : GDI_ERROR; }

namespace {
BOOL setPoint(HDC h, POINT DcState::*field, int x, int y, POINT* previous) {
  DcData* d = dc(h);
  if (!d) return FALSE;
  if (previous) *previous = d->st.*field;
  d->st.*field = POINT{x, y};
  return TRUE;
}
}  // namespace

BOOL SetBrushOrgEx(HDC h, int x, int y, POINT* previous) {
  if (DcData* d = dc(h); d && d->rec) metaRecord(*d, 13, {x, y});
  return setPoint(h, &DcState::brushOrg, x, y, previous);
}
BOOL SetWindowExtEx(HDC h, int x, int y, SIZE* previous) {
  DcData* d = dc(h);
  if (!d || x == 0 || y == 0) return FALSE;
  if (previous) *previous = d->st.windowExt;
  d->st.windowExt = SIZE{x, y};
  d->st.windowExtSet = true;
  if (d->rec) metaRecord(*d, 9, {x, y});
  return TRUE;
}
BOOL GetWindowExtEx(HDC h, SIZE& e) { DcData* d = dc(h); if (!d) return FALSE; e = d->st.windowExt; return TRUE; }
BOOL SetViewportExtEx(HDC h, int x, int y, SIZE* previous) {
  DcData* d = dc(h);
  if (!d || x == 0 || y == 0) return FALSE;
  if (previous) *previous = d->st.viewportExt;
  d->st.viewportExt = SIZE{x, y};
  return TRUE;
}
BOOL GetViewportExtEx(HDC h, SIZE& e) { DcData* d = dc(h); if (!d) return FALSE; e = d->st.viewportExt; return TRUE; }
int SetMapMode(HDC h, int mode) {
  DcData* d = dc(h);
  if (!d || mode < 1 || mode > 8) return 0;
  const int old = d->st.mapMode;
  d->st.mapMode = mode;
  if (d->rec) metaRecord(*d, 17, {mode});
  return old;
}
BOOL SetViewportOrgEx(HDC h, int x, int y, POINT* previous) { return setPoint(h, &DcState::viewportOrg, x, y, previous); }
BOOL SetWindowOrgEx(HDC h, int x, int y, POINT* previous) { return setPoint(h, &DcState::windowOrg, x, y, previous); }
BOOL GetViewportOrgEx(HDC h, POINT& o) { DcData* d = dc(h); if (!d) return FALSE; o = d->st.viewportOrg; return TRUE; }
BOOL GetWindowOrgEx(HDC h, POINT& o) { DcData* d = dc(h); if (!d) return FALSE; o = d->st.windowOrg; return TRUE; }
BOOL GetCurrentPositionEx(HDC h, POINT& p) { DcData* d = dc(h); if (!d) return FALSE; p = d->st.current; return TRUE; }

COLORREF GetNearestColor(HDC h, COLORREF c) {
  DcData* d = dc(h);
  if (!d) return CLR_INVALID;
  BitmapData* b = d->memory ? bitmap(d->st.bitmap) : nullptr;
  return toColorref(devicePixel(c, b && b->mono));
}

int GetDeviceCaps(HDC h, int index) {
  DcData* d = dc(h);
  if (!d) return 0;
  if (d->printer) return d->printer->caps(index);
  if (d->rec) {
    // A recording answers for its reference device.
    const MetaRecording& r = *d->rec;
    switch (index) {
      case HORZSIZE: return r.millimetres.cx;
      case VERTSIZE: return r.millimetres.cy;
      case HORZRES: return r.device.cx;
      case VERTRES: return r.device.cy;
      case LOGPIXELSX: case LOGPIXELSY: return r.dpi;
      default: break;
    }
  }
  BitmapData* b = d->memory ? bitmap(d->st.bitmap) : nullptr;
  const bool mono = b && b->mono;
  // The screen: 1280 x 1024 at 96 dots per inch, true colour.
  switch (index) {
    case DRIVERVERSION: return 0x400;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return 1280 * 254 / 960;
    case VERTSIZE: return 1024 * 254 / 960;
    case HORZRES: return 1280;
    case VERTRES: return 1024;
    case BITSPIXEL: return mono ? 1 : 32;
    case PLANES: return 1;
    case NUMBRUSHES: case NUMPENS: return -1;
    case NUMFONTS: return 0;
    case NUMCOLORS: return mono ? 2 : -1;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_STRETCHBLT;
    case LOGPIXELSX: case LOGPIXELSY: return 96;
    case SIZEPALETTE: case NUMRESERVED: return 0;
    case COLORRES: return 24;
    default: return 0;
  }
}

//------------------------------------------------------------------------------
// [SECTION] Clipping
//------------------------------------------------------------------------------
int SelectClipRgn(HDC h, HRGN rgn) {
  DcData* d = dc(h);
  if (!d) return ERROR;
  if (d->rec) {
    // Record type 75, mode RGN_COPY, the region's rectangles (none: no clipping).
    MetaRecord r;
    r.type = 75;
    r.args = {RGN_COPY, rgn ? 1 : 0};
    if (Region* g = rgn ? region(rgn) : nullptr)
      for (const RECT& q : g->rects) r.points.insert(r.points.end(), {POINT{q.left, q.top}, POINT{q.right, q.bottom}});
    metaRecord(*d, std::move(r));
  }
  if (!rgn) {
    d->st.clip.reset();
    return SIMPLEREGION;
  }
  Region* r = region(rgn);
  if (!r) return ERROR;
  d->st.clip = *r;
  return r->kind();
}

namespace {
// The clip region, or the whole device area when there is none.
Region currentClip(DcData& d) {
  if (d.st.clip) return *d.st.clip;
  Target t;
  Region all;
  if (resolveTarget(d, t)) all.addRect({0, 0, t.w, t.h});
  return all;
}
}  // namespace

int IntersectClipRect(HDC h, int left, int top, int right, int bottom) {
  DcData* d = dc(h);
  if (!d) return ERROR;
  Region r = currentClip(*d);
  r.intersectRect(normalised(*d, left, top, right, bottom));
  d->st.clip = r;
  return r.kind();
}

int ExcludeClipRect(HDC h, int left, int top, int right, int bottom) {
  DcData* d = dc(h);
  if (!d) return ERROR;
  Region r = currentClip(*d);
  r.subtractRect(normalised(*d, left, top, right, bottom));
  d->st.clip = r;
  return r.kind();
}

int GetClipBox(HDC h, RECT& box) {
  DcData* d = dc(h);
  if (!d) return ERROR;
  Target t;
  if (!resolveTarget(*d, t)) {
    box = RECT{};
    return NULLREGION;
  }
  RECT b = t.clip.box();
  // Logical coordinates.
  const LONG dx = d->st.windowOrg.x - d->st.viewportOrg.x, dy = d->st.windowOrg.y - d->st.viewportOrg.y;
  box = RECT{b.left + dx, b.top + dy, b.right + dx, b.bottom + dy};
  return t.clip.kind();
}

int GetClipRgn(HDC h, HRGN rgn) {
  DcData* d = dc(h);
  Region* r = region(rgn);
  if (!d || !r) return -1;
  if (!d->st.clip) return 0;
  *r = *d->st.clip;
  return 1;
}

}  // namespace win

//------------------------------------------------------------------------------
// [SECTION] Targets
//------------------------------------------------------------------------------
namespace win::gdi {

namespace {
WindowAreaHook gWindowAreaHook = nullptr;
}

void setWindowAreaHook(WindowAreaHook hook) { gWindowAreaHook = hook; }

bool resolveTarget(DcData& d, Target& t) {
  t = Target{};
  if (d.rec) return false;  // a recording draws nothing itself
  if (d.memory) {
    BitmapData* b = bitmap(d.st.bitmap);
    if (!b) return false;
    cairo_surface_flush(b->surface);
    t.surface = b->surface;
    t.px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(b->surface));
    t.stride = cairo_image_surface_get_stride(b->surface) / 4;
    t.w = b->w;
    t.h = b->h;
    t.mono = b->mono;
    t.clip.addRect({0, 0, t.w, t.h});
  } else {
    WindowArea a;
    if (!gWindowAreaHook || !gWindowAreaHook(d.hwnd, d.wholeWindow, a) || !a.surface) return false;
    cairo_surface_flush(a.surface);
    t.surface = a.surface;
    t.px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(a.surface));
    t.stride = cairo_image_surface_get_stride(a.surface) / 4;
    t.origin = a.origin;
    t.w = a.size.cx;
    t.h = a.size.cy;
    const int sw = cairo_image_surface_get_width(a.surface);
    const int sh = cairo_image_surface_get_height(a.surface);
    Region vis;
    for (RECT r : a.visible) {
      r = Region::meet(r, RECT{0, 0, sw, sh});
      vis.addRect({r.left - a.origin.x, r.top - a.origin.y, r.right - a.origin.x, r.bottom - a.origin.y});
    }
    vis.intersectRect({0, 0, t.w, t.h});
    if (!d.limit.empty()) {
      Region lim;
      for (const RECT& r : d.limit) lim.addRect(r);
      vis.intersect(lim);
    }
    t.clip = std::move(vis);
  }
  if (d.st.clip) t.clip.intersect(*d.st.clip);
  const PaletteData* pal = palette(d.st.palette ? d.st.palette : defaultPalette());
  if (pal) t.palette = &pal->realised;
  return t.px != nullptr;
}

void finishTarget(Target& t) {
  if (t.surface) cairo_surface_mark_dirty(t.surface);
}

uint32_t rop2(int mode, uint32_t p, uint32_t d) {
  // The mode's truth table over (pen bit, destination bit): bit 2*P + D of (mode - 1).
  const unsigned t = static_cast<unsigned>(mode - 1);
  uint32_t r = 0;
  if (t & 1) r |= ~p & ~d;
  if (t & 2) r |= ~p & d;
  if (t & 4) r |= p & ~d;
  if (t & 8) r |= p & d;
  return r & 0xFFFFFF;
}

}  // namespace win::gdi
