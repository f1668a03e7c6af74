// platform/gdi_palette.cpp: logical palettes on true-colour surfaces. A palette keeps its
// logical entries and the colours of its last realisation; PALETTEINDEX colours draw
// through the latter, so that entries changed without realising do not show yet.
#include <limits>

#include "platform/gdi_internal.h"

namespace win {
using namespace gdi;

namespace {
uint32_t pixelOf(const PALETTEENTRY& e) {
  return (static_cast<uint32_t>(e.peRed) << 16) | (static_cast<uint32_t>(e.peGreen) << 8) | e.peBlue;
}
void realise(PaletteData& p) {
  p.realised.clear();
  for (const PALETTEENTRY& e : p.entries) p.realised.push_back(pixelOf(e));
  p.unrealised = false;
}
}  // namespace

HPALETTE CreatePalette(const LOGPALETTE* lp) {
  if (!lp || lp->palNumEntries == 0 || lp->palNumEntries > 256) return nullptr;
  PaletteData p;
  p.entries.assign(lp->palPalEntry, lp->palPalEntry + lp->palNumEntries);
  realise(p);  // a new palette draws its own colours
  return newPalette(std::move(p));
}

HPALETTE SelectPalette(HDC h, HPALETTE pal, BOOL) {
  DcData* d = dc(h);
  if (!d || !palette(pal)) return nullptr;
  HPALETTE old = d->st.palette ? d->st.palette : defaultPalette();
  d->st.palette = handleValue(pal) == handleValue(defaultPalette()) ? nullptr : pal;
  return old;
}

UINT RealizePalette(HDC h) {
  DcData* d = dc(h);
  if (!d) return GDI_ERROR;
  PaletteData* p = palette(d->st.palette ? d->st.palette : defaultPalette());
  if (!p) return GDI_ERROR;
  realise(*p);
  return static_cast<UINT>(p->entries.size());
}

BOOL UnrealizeObject(HGDIOBJ object) {
  if (PaletteData* p = palette(object)) p->unrealised = true;
  return object != nullptr ? TRUE : FALSE;
}

UINT SetPaletteEntries(HPALETTE pal, UINT start, UINT count, const PALETTEENTRY* entries) {
  PaletteData* p = palette(pal);
  if (!p || !entries || handleValue(pal) == handleValue(defaultPalette()) || start >= p->entries.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(p->entries.size()) - start);
  for (UINT i = 0; i < n; ++i) p->entries[start + i] = entries[i];
  return n;
}

UINT GetPaletteEntries(HPALETTE pal, UINT start, UINT count, PALETTEENTRY* entries) {
  PaletteData* p = palette(pal);
  if (!p) return 0;
  if (!entries) return static_cast<UINT>(p->entries.size());
  if (start >= p->entries.size()) return 0;
  const UINT n = std::min<UINT>(count, static_cast<UINT>(p->entries.size()) - start);
  for (UINT i = 0; i < n; ++i) entries[i] = p->entries[start + i];
  return n;
}

BOOL AnimatePalette(HPALETTE pal, UINT start, UINT count, const PALETTEENTRY* entries) {
  PaletteData* p = palette(pal);
  if (!p || !entries || start >= p->entries.size()) return FALSE;
  if (p->realised.size() != p->entries.size()) realise(*p);
  const UINT n = std::min<UINT>(count, static_cast<UINT>(p->entries.size()) - start);
  // Only entries made for animation change, and they show at once.
  for (UINT i = 0; i < n; ++i) {
    PALETTEENTRY& e = p->entries[start + i];
    if (!(e.peFlags & PC_RESERVED)) continue;
    e = entries[i];
    e.peFlags |= PC_RESERVED;
    p->realised[start + i] = pixelOf(e);
  }
  return TRUE;
}

UINT GetNearestPaletteIndex(HPALETTE pal, COLORREF c) {
  PaletteData* p = palette(pal);
  if (!p) return CLR_INVALID_INDEX;
  const int r = static_cast<int>(c & 0xFF), g = static_cast<int>((c >> 8) & 0xFF), b = static_cast<int>((c >> 16) & 0xFF);
  UINT best = 0;
  long bestDist = std::numeric_limits<long>::max();
  for (UINT i = 0; i < p->entries.size(); ++i) {
    const PALETTEENTRY& e = p->entries[i];
    const long dr = e.peRed - r, dg = e.peGreen - g, db = e.peBlue - b;
    const long dist = dr * dr + dg * dg + db * db;
    if (dist < bestDist) {
      bestDist = dist;
      best = i;
    }
  }
  return best;
}

}  // namespace win
