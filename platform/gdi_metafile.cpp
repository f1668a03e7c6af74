// platform/gdi_metafile.cpp: enhanced metafiles in memory. A recording device context keeps
// every drawing call as a record numbered as the enhanced-metafile format numbers it, with
// its own object table; the player makes the same calls on any device context, mapped onto
// a rectangle. Invariants: (1) a recording draws nothing itself (resolveTarget refuses it);
// (2) an object is recorded again whenever its definition differs from what its handle
// stood for when last recorded, since handles are reused after DeleteObject; (3) playing
// leaves the device context's state as it found it.
// Sections (grep "[SECTION]"): recording | metafile handles | player
#include <cmath>
#include <cstring>
#include <map>

#include "platform/gdi_internal.h"

namespace win::gdi {

//------------------------------------------------------------------------------
// [SECTION] Recording
// - metaRecord(), metaSelect()
//------------------------------------------------------------------------------
namespace {

void widen(RECT& b, LONG x, LONG y) {
  if (b.right < b.left) {
    b = RECT{x, y, x, y};
    return;
  }
  b.left = std::min(b.left, x);
  b.top = std::min(b.top, y);
  b.right = std::max(b.right, x);
  b.bottom = std::max(b.bottom, y);
}

// The pixels a drawing record reaches, for the bounds of a metafile without a frame.
void growBounds(MetaRecording& m, const MetaRecord& r) {
  switch (r.type) {
    case 3: case 4: case 8:
      for (const POINT& p : r.points) widen(m.bounds, p.x, p.y);
      break;
    case 42: case 43: case 45: case 47:
      widen(m.bounds, r.args[0], r.args[1]);
      widen(m.bounds, r.args[2] - 1, r.args[3] - 1);
      break;
    case 54: case 15: case 83:
      widen(m.bounds, r.args[0], r.args[1]);
      break;
    case 81:
      widen(m.bounds, r.args[0], r.args[1]);
      widen(m.bounds, r.args[0] + r.args[2] - 1, r.args[1] + r.args[3] - 1);
      break;
    case 118:
      for (size_t i = 0; i + 5 < r.data.size(); i += 6)
        widen(m.bounds, static_cast<LONG>(r.data[i]), static_cast<LONG>(r.data[i + 1]));
      break;
    default: break;
  }
}

// The definition of a pen, brush or font as record parameters: type, then values. A
// metafile keeps the style a wide pen was asked for; a printer's page draws it as made.
MetaRecord definition(HGDIOBJ obj, bool asked) {
  MetaRecord r;
  if (const PenData* p = pen(obj)) {
    r.type = p->extended ? 95 : 38;
    const UINT style = asked && !p->extended && p->asked ? *p->asked : p->style;
    r.args = {0, static_cast<LONG>(style), p->width, static_cast<LONG>(p->colour), p->geometric ? 1 : 0,
              static_cast<LONG>(p->endcap), static_cast<LONG>(p->join)};
    for (DWORD v : p->dashes) r.args.push_back(static_cast<LONG>(v));
  } else if (const BrushData* b = brush(obj)) {
    r.type = b->style == BS_PATTERN ? 94 : 39;
    r.args = {0, static_cast<LONG>(b->style), static_cast<LONG>(b->colour), b->hatch, b->pw, b->ph, b->mono ? 1 : 0};
    r.data = b->pattern;
  } else if (const FontData* f = font(obj)) {
    const LOGFONT& lf = f->lf;
    r.type = 82;
    r.args = {0, lf.lfHeight, lf.lfWidth, lf.lfEscapement, lf.lfOrientation, lf.lfWeight, lf.lfItalic,
              lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet, lf.lfOutPrecision, lf.lfClipPrecision,
              lf.lfQuality, lf.lfPitchAndFamily};
    r.text.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  }
  return r;
}

bool sameDefinition(const MetaRecord& a, const MetaRecord& b) {
  return a.type == b.type && a.text == b.text && a.data == b.data &&
         std::equal(a.args.begin() + 1, a.args.end(), b.args.begin() + 1, b.args.end());
}

}  // namespace

void metaRecord(DcData& d, MetaRecord r) {
  growBounds(*d.rec, r);
  d.rec->records.push_back(std::move(r));
}

void metaSelect(DcData& d, HGDIOBJ object) {
  MetaRecording& m = *d.rec;
  MetaRecord def = definition(object, d.printer == nullptr);
  if (def.type == 0) return;
  const UINT value = handleValue(object);
  auto it = m.objects.find(value);
  if (it == m.objects.end() || !sameDefinition(it->second, def)) {
    if (it != m.objects.end()) {
      // The handle stands for another object now: the old one leaves the table first.
      const LONG old = it->second.args[0];
      m.records.push_back(MetaRecord{40, {old}, {}, {}, {}});
      m.freeIndices.insert(static_cast<DWORD>(old));
    }
    DWORD index = m.nextIndex;
    if (!m.freeIndices.empty()) {
      index = *m.freeIndices.begin();
      m.freeIndices.erase(m.freeIndices.begin());
    } else {
      ++m.nextIndex;
    }
    def.args[0] = static_cast<LONG>(index);
    m.records.push_back(def);
    it = m.objects.insert_or_assign(value, std::move(def)).first;
  }
  const LONG index = it->second.args[0];
  m.records.push_back(MetaRecord{37, {index}, {}, {}, {}});
}

void metaDelete(DcData& d, UINT handle) {
  if (!d.rec) return;
  MetaRecording& m = *d.rec;
  const auto it = m.objects.find(handle);
  if (it == m.objects.end()) return;
  const LONG index = it->second.args[0];
  m.records.push_back(MetaRecord{40, {index}, {}, {}, {}});
  m.freeIndices.insert(static_cast<DWORD>(index));
  m.objects.erase(it);
}

}  // namespace win::gdi

namespace win {
using namespace gdi;

//------------------------------------------------------------------------------
// [SECTION] Metafile handles
// - CreateEnhMetaFile(), CloseEnhMetaFile(), DeleteEnhMetaFile(), CopyEnhMetaFile(),
//   GetEnhMetaFileHeader()
//------------------------------------------------------------------------------
namespace {

struct EnhMetafile {
  MetaRecording rec;
  SIZE space;          // the logical space the player maps onto its rectangle
  POINT origin{0, 0};  // where that space starts (a Windows metafile's window origin)
};

std::vector<std::unique_ptr<EnhMetafile>> gMetafiles{1};
constexpr UINT kMetafileType = 13, kWindowsMetafileType = 14;

EnhMetafile* metafile(HENHMETAFILE h, UINT type = kMetafileType) {
  const UINT v = handleValue(h);
  const UINT s = v & 0xFFFFFF;
  if ((v >> 24) != type || s >= gMetafiles.size()) return nullptr;
  return gMetafiles[s].get();
}

HENHMETAFILE addMetafile(std::unique_ptr<EnhMetafile> m, UINT type = kMetafileType) {
  UINT s = 1;
  while (s < gMetafiles.size() && gMetafiles[s]) ++s;
  if (s == gMetafiles.size()) gMetafiles.emplace_back();
  gMetafiles[s] = std::move(m);
  return reinterpret_cast<HENHMETAFILE>(static_cast<std::uintptr_t>((type << 24) | s));
}

EnhMetafile* windowsMetafile(HMETAFILE h) {
  return metafile(reinterpret_cast<HENHMETAFILE>(h), kWindowsMetafileType);
}

RECT frameOf(const EnhMetafile& m) {
  return m.rec.haveFrame ? m.rec.frame
                         : RECT{0, 0, static_cast<LONG>(static_cast<long long>(m.space.cx) * 2540 / std::max(m.rec.dpi, 1)),
                                static_cast<LONG>(static_cast<long long>(m.space.cy) * 2540 / std::max(m.rec.dpi, 1))};
}

}  // namespace

HDC CreateEnhMetaFile(HDC reference, LPCSTR file, const RECT* frame, LPCSTR description) {
  if (reference != nullptr && !dc(reference)) return nullptr;
  HDC h = CreateCompatibleDC(nullptr);
  DcData* d = dc(h);
  if (!d) return nullptr;
  auto m = std::make_shared<MetaRecording>();
  HDC ref = reference;
  m->device = SIZE{GetDeviceCaps(ref ? ref : h, HORZRES), GetDeviceCaps(ref ? ref : h, VERTRES)};
  m->millimetres = SIZE{GetDeviceCaps(ref ? ref : h, HORZSIZE), GetDeviceCaps(ref ? ref : h, VERTSIZE)};
  m->dpi = GetDeviceCaps(ref ? ref : h, LOGPIXELSX);
  if (frame) {
    m->frame = *frame;
    m->haveFrame = true;
  }
  if (file) m->file = file;
  if (description) {
    // The program's name and the picture's, each ended by a NUL, then one NUL more. A picture
    // without a name keeps its empty name's NUL: three NULs, not the two of a scan for the
    // first pair.
    const std::string program = description;
    const std::string picture = description + program.size() + 1;
    m->description = program + '\0' + picture + '\0' + '\0';
  }
  d->rec = std::move(m);
  return h;
}

HENHMETAFILE CloseEnhMetaFile(HDC h) {
  DcData* d = dc(h);
  if (!d || !d->rec) return nullptr;
  auto m = std::make_unique<EnhMetafile>();
  m->rec = *d->rec;
  const MetaRecording& r = m->rec;
  if (d->st.windowExtSet) {
    m->space = d->st.windowExt;
  } else if (r.haveFrame) {
    m->space = SIZE{static_cast<LONG>(std::lround((r.frame.right - r.frame.left) * r.dpi / 2540.0)),
                    static_cast<LONG>(std::lround((r.frame.bottom - r.frame.top) * r.dpi / 2540.0))};
  } else if (r.bounds.right >= r.bounds.left) {
    m->space = SIZE{r.bounds.right + 1, r.bounds.bottom + 1};
  }
  d->rec.reset();
  DeleteDC(h);
  if (!m->rec.file.empty()) {
    const std::vector<BYTE> bytes = enhMetafileBytes(m->rec, frameOf(*m), m->rec.description);
    if (!writeWholeFile(m->rec.file, bytes)) return nullptr;
  }
  return addMetafile(std::move(m));
}

BOOL DeleteEnhMetaFile(HENHMETAFILE h) {
  if (!metafile(h)) return FALSE;
  gMetafiles[handleValue(h) & 0xFFFFFF].reset();
  return TRUE;
}

HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE h, LPCSTR file) {
  EnhMetafile* m = metafile(h);
  if (!m) return nullptr;
  auto copy = std::make_unique<EnhMetafile>(*m);
  copy->rec.file = file ? file : "";
  if (!copy->rec.file.empty() &&
      !writeWholeFile(copy->rec.file, enhMetafileBytes(copy->rec, frameOf(*copy), copy->rec.description)))
    return nullptr;
  return addMetafile(std::move(copy));
}

UINT GetEnhMetaFileBits(HENHMETAFILE h, UINT size, BYTE* data) {
  EnhMetafile* m = metafile(h);
  if (!m) return 0;
  const std::vector<BYTE> bytes = enhMetafileBytes(m->rec, frameOf(*m), m->rec.description);
  if (!data) return static_cast<UINT>(bytes.size());
  if (size < bytes.size()) return 0;
  std::memcpy(data, bytes.data(), bytes.size());
  return static_cast<UINT>(bytes.size());
}

UINT GetEnhMetaFileHeader(HENHMETAFILE h, UINT size, ENHMETAHEADER* header) {
  EnhMetafile* m = metafile(h);
  if (!m) return 0;
  if (!header) return sizeof(ENHMETAHEADER);
  if (size < sizeof(ENHMETAHEADER)) return 0;
  ENHMETAHEADER e;
  e.rclBounds = m->rec.bounds;
  e.rclFrame = frameOf(*m);
  e.nRecords = static_cast<DWORD>(m->rec.records.size() + 2);  // with the header and the end
  e.szlDevice = m->rec.device;
  e.szlMillimeters = m->rec.millimetres;
  *header = e;
  return sizeof(ENHMETAHEADER);
}

HDC CreateMetaFile(LPCSTR file) {
  HDC h = CreateEnhMetaFile(nullptr, nullptr, nullptr, nullptr);
  if (DcData* d = dc(h); d && file) d->rec->file = file;
  return h;
}

HMETAFILE CloseMetaFile(HDC h) {
  DcData* d = dc(h);
  if (!d || !d->rec) return nullptr;
  const std::string file = d->rec->file;
  d->rec->file.clear();
  HENHMETAFILE e = CloseEnhMetaFile(h);
  EnhMetafile* m = metafile(e);
  if (!m) return nullptr;
  auto w = std::make_unique<EnhMetafile>(std::move(*m));
  DeleteEnhMetaFile(e);
  if (!file.empty() && !writeWholeFile(file, metafileBytes(w->rec))) return nullptr;
  return reinterpret_cast<HMETAFILE>(addMetafile(std::move(w), kWindowsMetafileType));
}

BOOL DeleteMetaFile(HMETAFILE h) {
  if (!windowsMetafile(h)) return FALSE;
  gMetafiles[handleValue(h) & 0xFFFFFF].reset();
  return TRUE;
}

HMETAFILE CopyMetaFile(HMETAFILE h, LPCSTR file) {
  EnhMetafile* m = windowsMetafile(h);
  if (!m) return nullptr;
  if (file && *file && !writeWholeFile(file, metafileBytes(m->rec))) return nullptr;
  return reinterpret_cast<HMETAFILE>(addMetafile(std::make_unique<EnhMetafile>(*m), kWindowsMetafileType));
}

UINT GetMetaFileBitsEx(HMETAFILE h, UINT size, void* data) {
  EnhMetafile* m = windowsMetafile(h);
  if (!m) return 0;
  const std::vector<BYTE> bytes = metafileBytes(m->rec);
  if (!data) return static_cast<UINT>(bytes.size());
  if (size < bytes.size()) return 0;
  std::memcpy(data, bytes.data(), bytes.size());
  return static_cast<UINT>(bytes.size());
}

HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* data) {
  if (!data) return nullptr;
  auto m = std::make_unique<EnhMetafile>();
  if (!parseEnhMetafile(std::span<const BYTE>(data, size), m->rec, m->space)) return nullptr;
  return addMetafile(std::move(m));
}

HMETAFILE SetMetaFileBitsEx(UINT size, const BYTE* data) {
  if (!data) return nullptr;
  auto m = std::make_unique<EnhMetafile>();
  if (!parseMetafile(std::span<const BYTE>(data, size), m->rec, m->space, m->origin)) return nullptr;
  return reinterpret_cast<HMETAFILE>(addMetafile(std::move(m), kWindowsMetafileType));
}

// The clipboard offers a metafile to the desktop also as a picture: played onto white.
std::vector<BYTE> RenderEnhMetaFilePng(HENHMETAFILE h, int width, int height) {
  std::vector<BYTE> png;
  if (!metafile(h) || width <= 0 || height <= 0 || width > 16384 || height > 16384) return png;
  HDC dcH = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(width, height, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dcH, bm);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  const RECT all{0, 0, width, height};
  FillRect(dcH, all, white);
  DeleteObject(white);
  PlayEnhMetaFile(dcH, h, all);
  if (BitmapData* b = bitmap(bm); b && b->surface) {
    cairo_surface_flush(b->surface);
    cairo_surface_write_to_png_stream(
        b->surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
          auto* out = static_cast<std::vector<BYTE>*>(closure);
          out->insert(out->end(), data, data + length);
          return CAIRO_STATUS_SUCCESS;
        },
        &png);
  }
  SelectObject(dcH, old);
  DeleteDC(dcH);
  DeleteObject(bm);
  return png;
}

//------------------------------------------------------------------------------
// [SECTION] Player
// - PlayEnhMetaFile()
//------------------------------------------------------------------------------
namespace {

// The picture's logical space onto the rectangle, then through the world transform of the
// device context when one is in force.
struct Mapping {
  LONG left, top;
  double sx, sy;
  bool identity;
  POINT origin{0, 0};
  bool turned = false;
  XFORM world{};
  // Results are kept within reach of the rasteriser, whatever a metafile's numbers are.
  static LONG keep(double v) { return static_cast<LONG>(std::lround(std::clamp(v, -1e9, 1e9))); }
  LONG sxv(LONG v) const {
    const double d = static_cast<double>(v) - origin.x;
    return keep(left + (identity ? d : d * sx));
  }
  LONG syv(LONG v) const {
    const double d = static_cast<double>(v) - origin.y;
    return keep(top + (identity ? d : d * sy));
  }
  LONG w(LONG v) const { return identity ? v : keep(v * std::abs(sx)); }
  POINT p(POINT q) const {
    const double x = sxv(q.x), y = syv(q.y);
    if (!turned) return POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
    return POINT{keep(x * world.eM11 + y * world.eM21 + world.eDx), keep(x * world.eM12 + y * world.eM22 + world.eDy)};
  }
  POINT p(LONG x, LONG y) const { return p(POINT{x, y}); }
  // A box's corners, ordered again after a turn.
  RECT box(LONG l, LONG t, LONG r, LONG b) const {
    const POINT a = p(l, t), c = p(r, b);
    return RECT{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
  }
  // Tenths of a degree the text turns by.
  LONG turn() const {
    return turned ? static_cast<LONG>(std::lround(std::atan2(-world.eM12, world.eM11) * 1800.0 / M_PI)) : 0;
  }
  bool mirrored() const { return turned && world.eM11 * world.eM22 - world.eM12 * world.eM21 < 0; }
};

HGDIOBJ make(const MetaRecord& r, const Mapping& m) {
  const auto& a = r.args;
  switch (r.type) {
    case 38: case 95: {
      if (a.size() < 7) return nullptr;
      PenData p;
      p.extended = r.type == 95;
      p.style = static_cast<UINT>(a[1]);
      // Thin pens stay thin; wide ones and their dashes scale with the picture.
      // No pen is wider than a picture could be: a metafile's own numbers are not trusted.
      p.width = std::min<LONG>(a[2] > 1 ? std::max<LONG>(1, m.w(a[2])) : std::max<LONG>(a[2], 0), 4096);
      p.colour = static_cast<COLORREF>(a[3]);
      p.geometric = a[4] != 0;
      p.endcap = static_cast<UINT>(a[5]);
      p.join = static_cast<UINT>(a[6]);
      for (size_t i = 7; i < a.size(); ++i)
        p.dashes.push_back(static_cast<DWORD>(std::clamp<LONG>(p.geometric ? m.w(a[i]) : a[i], 1, 1 << 16)));
      if (r.type == 38 && a[2] > 1 && p.style >= PS_DASH && p.style <= PS_DASHDOTDOT) {
        // A wide dashed logical pen (a metafile keeps the style its maker asked for) plays
        // as other players draw it: dashes and gaps in units of the pen's width, flat ends.
        static constexpr DWORD kUnits[4][6] = {{3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}};
        const auto& units = kUnits[p.style - PS_DASH];
        p.style = PS_USERSTYLE;
        p.geometric = true;
        p.endcap = PS_ENDCAP_FLAT;
        for (DWORD u : units)
          if (u != 0) p.dashes.push_back(static_cast<DWORD>(std::clamp<LONG>(m.w(static_cast<LONG>(u) * a[2]), 1, 1 << 16)));
      }
      return newPen(std::move(p));
    }
    case 39: case 94: {
      if (a.size() < 7) return nullptr;
      BrushData b;
      b.style = static_cast<UINT>(a[1]);
      b.colour = static_cast<COLORREF>(a[2]);
      b.hatch = a[3];
      b.pw = a[4];
      b.ph = a[5];
      b.mono = a[6] != 0;
      b.pattern = r.data;
      return newBrush(std::move(b));
    }
    case 82: {
      if (a.size() < 14) return nullptr;
      LOGFONT lf;
      lf.lfHeight = std::clamp<LONG>(m.identity ? a[1] : static_cast<LONG>(std::lround(a[1] * m.sy)), -2048, 2048);
      lf.lfWidth = std::clamp<LONG>(m.w(a[2]), -2048, 2048);
      lf.lfEscapement = a[3] + m.turn();
      lf.lfOrientation = a[4] + m.turn();
      lf.lfWeight = a[5];
      lf.lfItalic = static_cast<BYTE>(a[6]);
      lf.lfUnderline = static_cast<BYTE>(a[7]);
      lf.lfStrikeOut = static_cast<BYTE>(a[8]);
      lf.lfCharSet = static_cast<BYTE>(a[9]);
      lf.lfOutPrecision = static_cast<BYTE>(a[10]);
      lf.lfClipPrecision = static_cast<BYTE>(a[11]);
      lf.lfQuality = static_cast<BYTE>(a[12]);
      lf.lfPitchAndFamily = static_cast<BYTE>(a[13]);
      std::strncpy(lf.lfFaceName, r.text.c_str(), LF_FACESIZE - 1);
      return CreateFontIndirect(lf);
    }
    default: return nullptr;
  }
}

}  // namespace

namespace {

BOOL play(HDC h, EnhMetafile* m, const RECT& rect) {
  const LONG w = rect.right - rect.left, ht = rect.bottom - rect.top;
  // An empty picture or rectangle (a minimised window) draws nothing.
  if (m->space.cx == 0 || m->space.cy == 0 || w == 0 || ht == 0) return TRUE;
  Mapping map{rect.left, rect.top, double(w) / m->space.cx, double(ht) / m->space.cy, false};
  map.identity = w == m->space.cx && ht == m->space.cy;
  map.origin = m->origin;
  if (GetGraphicsMode(h) == GM_ADVANCED) {
    GetWorldTransform(h, &map.world);
    const XFORM& x = map.world;
    map.turned = !(x.eM11 == 1 && x.eM12 == 0 && x.eM21 == 0 && x.eM22 == 1 && x.eDx == 0 && x.eDy == 0);
  }

  const int level = SaveDC(h);
  HRGN base = CreateRectRgn(0, 0, 0, 0);
  const bool clipped = GetClipRgn(h, base) == 1;
  std::map<LONG, HGDIOBJ> objects;
  std::vector<HGDIOBJ> retired;
  std::vector<POINT> pts;
  for (const MetaRecord& r : m->rec.records) {
    const auto& a = r.args;
    auto arg = [&a](size_t i) { return i < a.size() ? a[i] : 0; };
    switch (r.type) {
      case 13: { const POINT q = map.p(arg(0), arg(1)); SetBrushOrgEx(h, q.x, q.y, nullptr); break; }
      case 18: SetBkMode(h, arg(0)); break;
      case 19: SetPolyFillMode(h, arg(0)); break;
      case 20: SetROP2(h, arg(0)); break;
      case 22: SetTextAlign(h, static_cast<UINT>(arg(0))); break;
      case 24: SetTextColor(h, static_cast<COLORREF>(arg(0))); break;
      case 25: SetBkColor(h, static_cast<COLORREF>(arg(0))); break;
      case 27: { const POINT q = map.p(arg(0), arg(1)); MoveToEx(h, q.x, q.y, nullptr); break; }
      case 54: { const POINT q = map.p(arg(0), arg(1)); LineTo(h, q.x, q.y); break; }
      case 15: { const POINT q = map.p(arg(0), arg(1)); SetPixel(h, q.x, q.y, static_cast<COLORREF>(arg(2))); break; }
      case 3: case 4: case 8:
        pts.clear();
        for (const POINT& p : r.points) pts.push_back(map.p(p));
        if (r.type == 4) Polyline(h, pts.data(), static_cast<int>(pts.size()));
        else if (r.type == 3) Polygon(h, pts.data(), static_cast<int>(pts.size()));
        else PolyPolygon(h, pts.data(), a.data(), static_cast<int>(a.size()));
        break;
      case 42: case 43: {
        const RECT b = map.box(arg(0), arg(1), arg(2), arg(3));
        if (r.type == 42) Ellipse(h, b.left, b.top, b.right, b.bottom);
        else Rectangle(h, b.left, b.top, b.right, b.bottom);
        break;
      }
      case 45: case 47: {
        const RECT b = map.box(arg(0), arg(1), arg(2), arg(3));
        POINT s = map.p(arg(4), arg(5)), e = map.p(arg(6), arg(7));
        // A mirror turns the arc's sense: its ends change places.
        if (map.mirrored()) std::swap(s, e);
        if (r.type == 45) Arc(h, b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y);
        else Pie(h, b.left, b.top, b.right, b.bottom, s.x, s.y, e.x, e.y);
        break;
      }
      case 83: {
        RECT rc{};
        if (arg(3)) rc = map.box(arg(4), arg(5), arg(6), arg(7));
        // Each character goes where its recorded position lands: advances scaled one by one
        // would carry their rounding along the text.
        std::vector<int> dx;
        double along = 0;
        LONG placed = 0;
        for (uint32_t v : r.data) {
          along += static_cast<double>(static_cast<int32_t>(v));
          const LONG at = map.identity ? static_cast<LONG>(along) : Mapping::keep(along * std::abs(map.sx));
          dx.push_back(static_cast<int>(at - placed));
          placed = at;
        }
        const POINT at = map.p(arg(0), arg(1));
        ExtTextOut(h, at.x, at.y, static_cast<UINT>(arg(2)), arg(3) ? &rc : nullptr,
                   r.text.data(), static_cast<UINT>(r.text.size()), dx.empty() ? nullptr : dx.data());
        break;
      }
      case 118: {
        std::vector<TRIVERTEX> v;
        for (size_t i = 0; i + 5 < r.data.size(); i += 6) {
          TRIVERTEX t;
          const POINT q = map.p(static_cast<LONG>(r.data[i]), static_cast<LONG>(r.data[i + 1]));
          t.x = q.x;
          t.y = q.y;
          t.Red = static_cast<COLOR16>(r.data[i + 2]);
          t.Green = static_cast<COLOR16>(r.data[i + 3]);
          t.Blue = static_cast<COLOR16>(r.data[i + 4]);
          t.Alpha = static_cast<COLOR16>(r.data[i + 5]);
          v.push_back(t);
        }
        const ULONG mode = static_cast<ULONG>(arg(0));
        if (mode == GRADIENT_FILL_TRIANGLE) {
          std::vector<GRADIENT_TRIANGLE> tri;
          for (size_t i = 0; i + 1 < r.points.size(); i += 2)
            tri.push_back(GRADIENT_TRIANGLE{static_cast<ULONG>(r.points[i].x), static_cast<ULONG>(r.points[i].y),
                                            static_cast<ULONG>(r.points[i + 1].x)});
          GradientFill(h, v.data(), static_cast<ULONG>(v.size()), tri.data(), static_cast<ULONG>(tri.size()), mode);
        } else {
          std::vector<GRADIENT_RECT> rects;
          for (const POINT& p : r.points) rects.push_back(GRADIENT_RECT{static_cast<ULONG>(p.x), static_cast<ULONG>(p.y)});
          GradientFill(h, v.data(), static_cast<ULONG>(v.size()), rects.data(), static_cast<ULONG>(rects.size()), mode);
        }
        break;
      }
      case 81: {
        // A picture: the pixels kept from the top row, drawn as a top-down 32-bit DIB.
        const LONG sw = arg(4), sh = arg(5);
        if (sw <= 0 || sh <= 0 || r.data.size() < static_cast<size_t>(sw) * static_cast<size_t>(sh)) break;
        BITMAPINFO bi;
        bi.bmiHeader.biWidth = sw;
        bi.bmiHeader.biHeight = -sh;
        bi.bmiHeader.biBitCount = 32;
        const POINT at = map.p(arg(0), arg(1));
        StretchDIBits(h, at.x, at.y, map.w(arg(2)), map.identity ? arg(3) : Mapping::keep(arg(3) * std::abs(map.sy)),
                      0, 0, sw, sh, r.data.data(), &bi, DIB_RGB_COLORS, static_cast<DWORD>(arg(6)));
        break;
      }
      case 75: {
        // The recorded clip region within the clip region the player was given.
        if (arg(1) == 0) {
          SelectClipRgn(h, clipped ? base : nullptr);
          break;
        }
        Region g;
        for (size_t i = 0; i + 1 < r.points.size(); i += 2)
          g.addRect(map.box(r.points[i].x, r.points[i].y, r.points[i + 1].x, r.points[i + 1].y));
        if (const Region* b = clipped ? region(base) : nullptr) g.intersect(*b);
        HRGN rg = newRegion(std::move(g));
        SelectClipRgn(h, rg);
        DeleteObject(rg);
        break;
      }
      case 38: case 95: case 39: case 94: case 82:
        if (!a.empty()) {
          if (HGDIOBJ o = make(r, map)) {
            if (auto it = objects.find(a[0]); it != objects.end()) retired.push_back(it->second);
            objects[a[0]] = o;
          }
        }
        break;
      case 37:
        if (auto it = objects.find(arg(0)); it != objects.end()) SelectObject(h, it->second);
        break;
      case 40:
        // An object still selected here is deleted once the play is over.
        if (auto it = objects.find(arg(0)); it != objects.end()) {
          if (!DeleteObject(it->second)) retired.push_back(it->second);
          objects.erase(it);
        }
        break;
      default: break;  // extents and map modes are in the mapping already
    }
  }
  RestoreDC(h, level);
  for (auto& [i, o] : objects) DeleteObject(o);
  for (HGDIOBJ o : retired) DeleteObject(o);
  DeleteObject(base);
  return TRUE;
}

}  // namespace

BOOL PlayEnhMetaFile(HDC h, HENHMETAFILE mf, const RECT& rect) {
  EnhMetafile* m = metafile(mf);
  if (!dc(h) || !m) return FALSE;
  return play(h, m, rect);
}

BOOL PlayMetaFile(HDC h, HMETAFILE mf) {
  EnhMetafile* m = windowsMetafile(mf);
  DcData* d = dc(h);
  if (!d || !m) return FALSE;
  // The device context's window origin comes back off in its own drawing, so the rectangle
  // starts there; the viewport extent is the rectangle's size.
  const POINT o = d->st.windowOrg;
  RECT rect{o.x, o.y, static_cast<LONG>(std::clamp<long long>(static_cast<long long>(o.x) + m->space.cx, -(1LL << 30), 1LL << 30)),
            static_cast<LONG>(std::clamp<long long>(static_cast<long long>(o.y) + m->space.cy, -(1LL << 30), 1LL << 30))};
  if (d->st.mapMode == MM_ANISOTROPIC)
    rect = RECT{o.x, o.y, o.x + d->st.viewportExt.cx, o.y + d->st.viewportExt.cy};
  return play(h, m, rect);
}

}  // namespace win
