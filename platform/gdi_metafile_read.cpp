// platform/gdi_metafile_read.cpp: enhanced and Windows metafile bytes (as files and the
// clipboard carry them) read back into the recorder's records, so the player draws them.
// Invariants: (1) nothing is read outside the bytes given: a record whose size runs past
// them, is below its fixed part or not a multiple of its unit ends the reading as a
// failure; (2) records this platform does not draw are skipped, not refused.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi_internal.h"

namespace win::gdi {
namespace {

class In {
 public:
  In(std::span<const BYTE> b, size_t at, size_t end) : b_(b), at_(at), end_(end) {}
  bool has(size_t n) const { return at_ + n <= end_; }
  uint32_t u32() { uint32_t v = 0; for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(byte()) << (8 * i); return v; }
  // Coordinates and sizes beyond any picture are brought within +-2^27 on reading, so that
  // no arithmetic on them overflows.
  LONG i32() { return std::clamp<LONG>(static_cast<int32_t>(u32()), -(1 << 27), 1 << 27); }
  uint16_t u16() { const uint16_t lo = byte(); return static_cast<uint16_t>(lo | (byte() << 8)); }
  LONG i16() { return static_cast<int16_t>(u16()); }
  BYTE byte() { return at_ < end_ ? b_[at_++] : (at_++, BYTE{0}); }
  void skip(size_t n) { at_ += n; }
  void seek(size_t at) { at_ = at; }
  size_t at() const { return at_; }
  RECT rect() { RECT r; r.left = i32(); r.top = i32(); r.right = i32(); r.bottom = i32(); return r; }

 private:
  std::span<const BYTE> b_;
  size_t at_, end_;
};

// Counts read from the bytes are bounded by what the record can hold.
bool fits(const In& in, uint64_t count, size_t unit) { return count <= (1u << 24) && in.has(static_cast<size_t>(count) * unit); }

// A pen of the recorder from the style bits of the file.
MetaRecord penRecord(DWORD type, LONG index, DWORD style, LONG width, COLORREF colour) {
  MetaRecord r;
  r.type = type;
  r.args = {index, static_cast<LONG>(style & PS_STYLE_MASK), width, static_cast<LONG>(colour),
            (style & PS_TYPE_MASK) == PS_GEOMETRIC ? 1 : 0, static_cast<LONG>(style & PS_ENDCAP_MASK),
            static_cast<LONG>(style & PS_JOIN_MASK)};
  return r;
}

MetaRecord brushRecord(LONG index, LONG style, COLORREF colour, LONG hatch) {
  MetaRecord r;
  r.type = 39;
  r.args = {index, style, static_cast<LONG>(colour), hatch, 0, 0, 0};
  return r;
}

}  // namespace

bool parseEnhMetafile(std::span<const BYTE> bytes, MetaRecording& m, SIZE& space) {
  In head(bytes, 0, bytes.size());
  if (!head.has(88) || head.u32() != 1) return false;
  const uint32_t headerSize = head.u32();
  const RECT bounds = head.rect(), frame = head.rect();
  if (head.u32() != 0x464D4520) return false;
  head.skip(4);
  const uint32_t total = head.u32();
  head.skip(4);
  const uint32_t handles = head.u16();
  head.skip(2 + 4 + 4 + 4);
  m.device = SIZE{head.i32(), head.i32()};
  m.millimetres = SIZE{head.i32(), head.i32()};
  if (headerSize < 88 || headerSize % 4 != 0 || total < headerSize || total > bytes.size()) return false;
  m.bounds = bounds;
  m.frame = frame;
  m.haveFrame = true;
  m.nextIndex = std::max<uint32_t>(handles, 1);
  m.dpi = m.millimetres.cx > 0 && m.device.cx > 0
              ? static_cast<int>(std::clamp<long>(std::lround(m.device.cx * 25.4 / m.millimetres.cx), 1, 10000))
              : 96;
  bool extent = false;
  size_t at = headerSize;
  bool ended = false;
  while (!ended) {
    In in(bytes, at, total);
    if (!in.has(8)) return false;
    const uint32_t type = in.u32(), size = in.u32();
    if (size < 8 || size % 4 != 0 || size > total - at) return false;
    in = In(bytes, at + 8, at + size);
    MetaRecord r;
    r.type = type;
    switch (type) {
      case 14: ended = true; break;
      case 9: case 13: case 27: case 54:
        if (!in.has(8)) return false;
        r.args = {in.i32(), in.i32()};
        if (type == 9 && !extent) {
          space = SIZE{r.args[0], r.args[1]};
          extent = true;
        }
        m.records.push_back(std::move(r));
        break;
      case 17: case 18: case 19: case 20: case 22: case 24: case 25: case 37: case 40:
        if (!in.has(4)) return false;
        r.args = {in.i32()};
        m.records.push_back(std::move(r));
        break;
      case 15:
        if (!in.has(12)) return false;
        r.args = {in.i32(), in.i32(), in.i32()};
        m.records.push_back(std::move(r));
        break;
      case 3: case 4: case 86: case 87: {
        const bool small = type >= 86;
        if (!in.has(20)) return false;
        in.skip(16);
        const uint32_t n = in.u32();
        if (!fits(in, n, small ? 4 : 8)) return false;
        r.type = type == 86 ? 3 : type == 87 ? 4 : type;
        for (uint32_t i = 0; i < n; ++i) r.points.push_back(small ? POINT{in.i16(), in.i16()} : POINT{in.i32(), in.i32()});
        m.records.push_back(std::move(r));
        break;
      }
      case 8: {
        if (!in.has(24)) return false;
        in.skip(16);
        const uint32_t polys = in.u32(), n = in.u32();
        if (!fits(in, polys, 4)) return false;
        uint64_t sum = 0;
        for (uint32_t i = 0; i < polys; ++i) {
          r.args.push_back(in.i32());
          if (r.args.back() < 0) return false;
          sum += static_cast<uint64_t>(r.args.back());
        }
        if (sum != n || !fits(in, n, 8)) return false;
        for (uint32_t i = 0; i < n; ++i) r.points.push_back(POINT{in.i32(), in.i32()});
        m.records.push_back(std::move(r));
        break;
      }
      case 42: case 43: case 45: case 47: {
        const size_t n = type >= 45 ? 8 : 4;
        if (!in.has(4 * n)) return false;
        for (size_t i = 0; i < n; ++i) r.args.push_back(in.i32());
        m.records.push_back(std::move(r));
        break;
      }
      case 38: {
        if (!in.has(20)) return false;
        const LONG index = in.i32();
        const DWORD style = in.u32();
        const LONG width = in.i32();
        in.skip(4);
        // A logical pen wider than one pixel is geometric, as CreatePen makes it.
        m.records.push_back(penRecord(38, index, style | (width > 1 ? PS_GEOMETRIC : 0), width, in.u32()));
        break;
      }
      case 95: {
        if (!in.has(44)) return false;
        const LONG index = in.i32();
        in.skip(16);
        const DWORD style = in.u32();
        const LONG width = in.i32();
        in.skip(4);
        const COLORREF colour = in.u32();
        in.skip(4);
        const uint32_t n = in.u32();
        if (!fits(in, n, 4) || n > 16) return false;
        MetaRecord p = penRecord(95, index, style, width, colour);
        for (uint32_t i = 0; i < n; ++i) p.args.push_back(in.i32());
        m.records.push_back(std::move(p));
        break;
      }
      case 39: {
        if (!in.has(16)) return false;
        const LONG index = in.i32(), style = in.i32();
        const COLORREF colour = in.u32();
        m.records.push_back(brushRecord(index, style, colour, in.i32()));
        break;
      }
      case 82: {
        if (!in.has(4 + 20 + 8 + 64)) return false;
        for (int i = 0; i < 6; ++i) r.args.push_back(in.i32());
        for (int i = 0; i < 8; ++i) r.args.push_back(in.byte());
        for (int i = 0; i < 32; ++i) {
          const uint16_t c = in.u16();
          if (c == 0) break;
          r.text.push_back(static_cast<char>(c < 256 ? c : '?'));
        }
        m.records.push_back(std::move(r));
        break;
      }
      case 84: {
        if (!in.has(68)) return false;
        in.skip(16 + 4 + 8);
        const LONG x = in.i32(), y = in.i32();
        const uint32_t n = in.u32(), offString = in.u32(), options = in.u32();
        const RECT rc = in.rect();
        const uint32_t offDx = in.u32();
        In text(bytes, at + offString, at + size);
        if (offString < 76 || !fits(text, n, 2)) return false;
        for (uint32_t i = 0; i < n; ++i) {
          const uint16_t c = text.u16();
          r.text.push_back(static_cast<char>(c < 256 ? c : '?'));
        }
        if (offDx != 0) {
          In dx(bytes, at + offDx, at + size);
          if (offDx < 76 || !fits(dx, n, 4)) return false;
          for (uint32_t i = 0; i < n; ++i) r.data.push_back(dx.u32());
        }
        const bool haveRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0 && rc.right > rc.left;
        r.type = 83;
        r.args = {x, y, static_cast<LONG>(options), haveRect ? 1 : 0, rc.left, rc.top, rc.right, rc.bottom};
        m.records.push_back(std::move(r));
        break;
      }
      case 75: {
        if (!in.has(8)) return false;
        const uint32_t cb = in.u32();
        const LONG mode = in.i32();
        r.args = {mode, 0};
        if (cb != 0) {
          if (cb < 32 || !in.has(cb)) return false;
          in.skip(8);
          const uint32_t n = in.u32();
          in.skip(4 + 16);
          if (!fits(in, n, 16) || 32 + 16ull * n > cb) return false;
          for (uint32_t i = 0; i < n; ++i) {
            r.points.push_back(POINT{in.i32(), in.i32()});
            r.points.push_back(POINT{in.i32(), in.i32()});
          }
          r.args[1] = 1;
        }
        m.records.push_back(std::move(r));
        break;
      }
      case 118: {
        if (!in.has(28)) return false;
        in.skip(16);
        const uint32_t nv = in.u32(), nt = in.u32(), mode = in.u32();
        if (mode > GRADIENT_FILL_TRIANGLE || !fits(in, nv, 16)) return false;
        r.args = {static_cast<LONG>(mode)};
        for (uint32_t i = 0; i < nv; ++i) {
          r.data.push_back(static_cast<uint32_t>(in.i32()));
          r.data.push_back(static_cast<uint32_t>(in.i32()));
          for (int c = 0; c < 4; ++c) r.data.push_back(in.u16());
        }
        const bool tri = mode == GRADIENT_FILL_TRIANGLE;
        if (!fits(in, nt, tri ? 12 : 8)) return false;
        for (uint32_t k = 0; k < nt; ++k) {
          const uint32_t a = in.u32(), b = in.u32();
          if (a >= nv || b >= nv) return false;
          r.points.push_back(POINT{static_cast<LONG>(a), static_cast<LONG>(b)});
          if (tri) {
            const uint32_t c = in.u32();
            if (c >= nv) return false;
            r.points.push_back(POINT{static_cast<LONG>(c), 0});
          }
        }
        m.records.push_back(std::move(r));
        break;
      }
      default: break;
    }
    at += size;
    if (!ended && at >= total) return false;   // no end record
  }
  if (!extent) {
    space = SIZE{static_cast<LONG>(std::lround((static_cast<double>(frame.right) - frame.left) * m.dpi / 2540.0)),
                 static_cast<LONG>(std::lround((static_cast<double>(frame.bottom) - frame.top) * m.dpi / 2540.0))};
  }
  return true;
}

bool parseMetafile(std::span<const BYTE> bytes, MetaRecording& m, SIZE& space, POINT& origin) {
  In head(bytes, 0, bytes.size());
  if (!head.has(18)) return false;
  const uint16_t kind = head.u16(), headerWords = head.u16();
  head.skip(2);
  const uint32_t words = head.u32();
  if ((kind != 1 && kind != 2) || headerWords != 9) return false;
  const size_t total = std::min<size_t>(bytes.size(), static_cast<size_t>(words) * 2);
  // The table of objects: each creation takes the lowest free slot, a deletion frees it; the
  // recorder's index of an object is its slot + 1.
  std::vector<LONG> slots;
  std::set<size_t> freed;
  auto create = [&](MetaRecord r) {
    size_t slot = slots.size();
    if (!freed.empty()) {
      slot = *freed.begin();
      freed.erase(freed.begin());
    } else {
      slots.push_back(0);
    }
    const LONG index = static_cast<LONG>(slot) + 1;
    slots[slot] = index;
    r.args[0] = index;
    m.records.push_back(std::move(r));
  };
  bool extent = false;
  RECT bounds{0, 0, -1, -1};
  auto widen = [&bounds](LONG x, LONG y) {
    if (bounds.right < bounds.left) { bounds = RECT{x, y, x, y}; return; }
    bounds.left = std::min(bounds.left, x); bounds.top = std::min(bounds.top, y);
    bounds.right = std::max(bounds.right, x); bounds.bottom = std::max(bounds.bottom, y);
  };
  size_t at = 18;
  while (true) {
    In in(bytes, at, total);
    if (!in.has(6)) return false;
    const uint32_t size = in.u32();
    const uint16_t function = in.u16();
    if (size < 3 || size > (total - at) / 2) return false;
    if (function == 0) break;
    in = In(bytes, at + 6, at + 2 * static_cast<size_t>(size));
    MetaRecord r;
    auto pair = [&](DWORD type) {
      if (!in.has(4)) return false;
      const LONG y = in.i16(), x = in.i16();
      r.type = type;
      r.args = {x, y};
      return true;
    };
    auto colour = [&in] { const uint32_t lo = in.u16(); return static_cast<LONG>(lo | (static_cast<uint32_t>(in.u16()) << 16)); };
    switch (function) {
      case 0x020C:
        if (!pair(9)) return false;
        if (!extent) space = SIZE{r.args[0], r.args[1]};
        extent = true;
        break;
      case 0x020B:
        if (!pair(10)) return false;
        origin = POINT{r.args[0], r.args[1]};
        r.type = 0;
        break;
      case 0x0214: if (!pair(27)) return false; break;
      case 0x0213: if (!pair(54)) return false; widen(r.args[0], r.args[1]); break;
      case 0x0103: case 0x0102: case 0x0106: case 0x0104: case 0x012E:
        if (!in.has(2)) return false;
        r.type = function == 0x0103 ? 17 : function == 0x0102 ? 18 : function == 0x0106 ? 19 : function == 0x0104 ? 20 : 22;
        r.args = {static_cast<LONG>(in.u16())};
        break;
      case 0x012D: {
        if (!in.has(2)) return false;
        const uint16_t slot = in.u16();
        if (slot < slots.size() && slots[slot] != 0) {
          r.type = 37;
          r.args = {slots[slot]};
        }
        break;
      }
      case 0x01F0: {
        if (!in.has(2)) return false;
        const uint16_t slot = in.u16();
        if (slot < slots.size() && slots[slot] != 0) {
          r.type = 40;
          r.args = {slots[slot]};
          slots[slot] = 0;
          freed.insert(slot);
        }
        break;
      }
      case 0x0209: case 0x0201:
        if (!in.has(4)) return false;
        r.type = function == 0x0209 ? 24 : 25;
        r.args = {colour()};
        break;
      case 0x041F: {
        if (!in.has(8)) return false;
        const LONG c = colour();
        const LONG y = in.i16(), x = in.i16();
        r.type = 15;
        r.args = {x, y, c};
        widen(x, y);
        break;
      }
      case 0x0324: case 0x0325: {
        if (!in.has(2)) return false;
        const uint16_t n = in.u16();
        if (!fits(in, n, 4)) return false;
        r.type = function == 0x0324 ? 3 : 4;
        for (uint16_t i = 0; i < n; ++i) {
          r.points.push_back(POINT{in.i16(), in.i16()});
          widen(r.points.back().x, r.points.back().y);
        }
        break;
      }
      case 0x0538: {
        if (!in.has(2)) return false;
        const uint16_t polys = in.u16();
        if (!fits(in, polys, 2)) return false;
        uint32_t n = 0;
        for (uint16_t i = 0; i < polys; ++i) {
          r.args.push_back(in.u16());
          n += static_cast<uint32_t>(r.args.back());
        }
        if (!fits(in, n, 4)) return false;
        r.type = 8;
        for (uint32_t i = 0; i < n; ++i) {
          r.points.push_back(POINT{in.i16(), in.i16()});
          widen(r.points.back().x, r.points.back().y);
        }
        break;
      }
      case 0x0418: case 0x041B: {
        if (!in.has(8)) return false;
        const LONG b = in.i16(), rt = in.i16(), t = in.i16(), l = in.i16();
        r.type = function == 0x0418 ? 42 : 43;
        r.args = {l, t, rt, b};
        widen(l, t);
        widen(rt - 1, b - 1);
        break;
      }
      case 0x0817: case 0x081A: {
        if (!in.has(16)) return false;
        LONG v[8];
        for (LONG& x : v) x = in.i16();
        r.type = function == 0x0817 ? 45 : 47;
        r.args = {v[7], v[6], v[5], v[4], v[3], v[2], v[1], v[0]};
        widen(v[7], v[6]);
        widen(v[5] - 1, v[4] - 1);
        break;
      }
      case 0x02FA: {
        if (!in.has(10)) return false;
        const DWORD style = in.u16();
        const LONG width = in.i16();
        in.skip(2);
        create(penRecord(38, 0, style | (width > 1 ? PS_GEOMETRIC : 0), width, static_cast<COLORREF>(colour())));
        break;
      }
      case 0x02FC: {
        if (!in.has(8)) return false;
        const LONG style = in.u16();
        const LONG c = colour();
        create(brushRecord(0, style, static_cast<COLORREF>(c), in.u16()));
        break;
      }
      case 0x02FB: {
        if (!in.has(18)) return false;
        MetaRecord f;
        f.type = 82;
        f.args = {0};
        for (int i = 0; i < 5; ++i) f.args.push_back(in.i16());
        for (int i = 0; i < 8; ++i) f.args.push_back(in.byte());
        for (int i = 0; i < 32 && in.has(1); ++i) {
          const BYTE c = in.byte();
          if (c == 0) break;
          f.text.push_back(static_cast<char>(c));
        }
        create(std::move(f));
        break;
      }
      case 0x0A32: {
        if (!in.has(8)) return false;
        const LONG y = in.i16(), x = in.i16();
        const uint16_t n = in.u16(), options = in.u16();
        RECT rc{};
        const bool haveRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
        if (haveRect) {
          if (!in.has(8)) return false;
          rc = RECT{in.i16(), in.i16(), in.i16(), in.i16()};
        }
        if (!fits(in, n, 1)) return false;
        for (uint16_t i = 0; i < n; ++i) r.text.push_back(static_cast<char>(in.byte()));
        if (n % 2) in.skip(1);
        if (fits(in, n, 2) && n > 0)
          for (uint16_t i = 0; i < n; ++i) r.data.push_back(static_cast<uint32_t>(in.i16()));
        r.type = 83;
        r.args = {x, y, options, haveRect ? 1 : 0, rc.left, rc.top, rc.right, rc.bottom};
        widen(x, y);
        break;
      }
      case 0x0521: {
        if (!in.has(2)) return false;
        const uint16_t n = in.u16();
        if (!fits(in, (n + 1u) / 2 * 2 + 4, 1)) return false;
        for (uint16_t i = 0; i < n; ++i) r.text.push_back(static_cast<char>(in.byte()));
        if (n % 2) in.skip(1);
        const LONG y = in.i16(), x = in.i16();
        r.type = 83;
        r.args = {x, y, 0, 0, 0, 0, 0, 0};
        widen(x, y);
        break;
      }
      default: break;
    }
    if (r.type != 0) m.records.push_back(std::move(r));
    at += 2 * static_cast<size_t>(size);
  }
  m.nextIndex = static_cast<DWORD>(slots.size() + 1);
  m.bounds = bounds;
  if (!extent) space = bounds.right >= bounds.left ? SIZE{bounds.right + 1, bounds.bottom + 1} : SIZE{0, 0};
  return true;
}

}  // namespace win::gdi
