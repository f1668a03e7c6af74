// platform/gdi_metafile_file.cpp: the standard enhanced-metafile byte layout of a recording,
// so that other programs read what the recorder kept. Invariants: (1) every record is a
// multiple of four bytes and its size field says so; (2) the header counts the records and
// bytes actually written; (3) a file that cannot be created, written or closed whole is
// reported (last error set, failure returned) and not left half-written.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/codepage.h"
#include "platform/gdi_internal.h"
#include "platform/os.h"  // error codes only
#include "platform/printer.h"

namespace win::gdi {
namespace {

class Out {
 public:
  void u32(uint32_t v) { for (int i = 0; i < 4; ++i) b_.push_back(static_cast<BYTE>(v >> (8 * i))); }
  void i32(LONG v) { u32(static_cast<uint32_t>(v)); }
  void u16(uint16_t v) { b_.push_back(static_cast<BYTE>(v)); b_.push_back(static_cast<BYTE>(v >> 8)); }
  void u8(BYTE v) { b_.push_back(v); }
  void rect(const RECT& r) { i32(r.left); i32(r.top); i32(r.right); i32(r.bottom); }
  void pad() { while (b_.size() % 4) b_.push_back(0); }
  size_t size() const { return b_.size(); }
  std::vector<BYTE>& bytes() { return b_; }
  // Starts a record; end() fills in its size.
  size_t begin(uint32_t type) { const size_t at = b_.size(); u32(type); u32(0); return at; }
  void end(size_t at) {
    pad();
    const uint32_t n = static_cast<uint32_t>(b_.size() - at);
    for (int i = 0; i < 4; ++i) b_[at + 4 + i] = static_cast<BYTE>(n >> (8 * i));
    ++records_;
  }
  uint32_t records() const { return records_; }

 private:
  std::vector<BYTE> b_;
  uint32_t records_ = 0;
};

RECT pointBounds(const std::vector<POINT>& pts) {
  if (pts.empty()) return RECT{0, 0, -1, -1};
  RECT r{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
  for (const POINT& p : pts) {
    r.left = std::min(r.left, p.x); r.top = std::min(r.top, p.y);
    r.right = std::max(r.right, p.x); r.bottom = std::max(r.bottom, p.y);
  }
  return r;
}

// Text bytes are Latin-1 here; the format keeps UTF-16.
void utf16(Out& o, const std::string& s) {
  for (char c : s) o.u16(static_cast<unsigned char>(c));
}

// A picture record's pixels (from the top row) as a 24-bit bottom-up DIB: the 40-byte header
// and the rows, each padded to four bytes.
std::vector<BYTE> dibBytes(const MetaRecord& r, LONG w, LONG h) {
  std::vector<BYTE> b;
  auto u32 = [&b](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(static_cast<BYTE>(v >> (8 * i))); };
  const uint32_t row = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  u32(40); u32(static_cast<uint32_t>(w)); u32(static_cast<uint32_t>(h));
  b.push_back(1); b.push_back(0); b.push_back(24); b.push_back(0);
  u32(0); u32(row * static_cast<uint32_t>(h)); u32(0); u32(0); u32(0); u32(0);
  for (LONG y = h - 1; y >= 0; --y) {
    const size_t start = b.size();
    for (LONG x = 0; x < w; ++x) {
      const uint32_t p = r.data[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
      b.push_back(static_cast<BYTE>(p)); b.push_back(static_cast<BYTE>(p >> 8)); b.push_back(static_cast<BYTE>(p >> 16));
    }
    while ((b.size() - start) % 4) b.push_back(0);
  }
  return b;
}

bool pictureOk(const MetaRecord& r) {
  return r.args.size() >= 7 && r.args[4] > 0 && r.args[5] > 0 &&
         r.data.size() >= static_cast<size_t>(r.args[4]) * static_cast<size_t>(r.args[5]);
}

void record(Out& o, const MetaRecord& r) {
  const auto& a = r.args;
  auto arg = [&a](size_t i) { return i < a.size() ? a[i] : 0; };
  switch (r.type) {
    case 9: case 13: case 27: case 54: {  // two coordinates
      const size_t at = o.begin(r.type);
      o.i32(arg(0)); o.i32(arg(1));
      o.end(at);
      break;
    }
    case 17: case 18: case 19: case 20: case 22: case 24: case 25: case 37: case 40: {  // one value
      const size_t at = o.begin(r.type);
      o.i32(arg(0));
      o.end(at);
      break;
    }
    case 15: {
      const size_t at = o.begin(15);
      o.i32(arg(0)); o.i32(arg(1)); o.i32(arg(2));
      o.end(at);
      break;
    }
    case 3: case 4: {
      const size_t at = o.begin(r.type);
      o.rect(pointBounds(r.points));
      o.u32(static_cast<uint32_t>(r.points.size()));
      for (const POINT& p : r.points) { o.i32(p.x); o.i32(p.y); }
      o.end(at);
      break;
    }
    case 8: {
      const size_t at = o.begin(8);
      o.rect(pointBounds(r.points));
      o.u32(static_cast<uint32_t>(a.size()));
      o.u32(static_cast<uint32_t>(r.points.size()));
      for (LONG c : a) o.i32(c);
      for (const POINT& p : r.points) { o.i32(p.x); o.i32(p.y); }
      o.end(at);
      break;
    }
    case 42: case 43: case 45: case 47: {
      const size_t at = o.begin(r.type);
      const size_t n = r.type >= 45 ? 8 : 4;
      for (size_t i = 0; i < n; ++i) o.i32(arg(i));
      o.end(at);
      break;
    }
    case 38: case 95: {
      // The style with its type, end and join bits, as the file keeps them.
      const LONG style = arg(1) | (arg(4) ? 0x10000 : 0) | arg(5) | arg(6);
      const bool user = (style & 0xF) == 7 && a.size() > 7;
      if (r.type == 38 || !user) {
        // A plain logical pen; an extended pen without a user pattern says the same.
        const size_t at = o.begin(38);
        o.i32(arg(0)); o.i32(style & ~0x10000); o.i32(arg(2)); o.i32(0); o.i32(arg(3));
        o.end(at);
      } else {
        const size_t at = o.begin(95);
        o.i32(arg(0)); o.u32(0); o.u32(0); o.u32(0); o.u32(0);
        o.i32(style); o.i32(arg(2)); o.u32(0 /* BS_SOLID */); o.i32(arg(3)); o.u32(0);
        o.u32(static_cast<uint32_t>(a.size() - 7));
        for (size_t i = 7; i < a.size(); ++i) o.i32(a[i]);
        o.end(at);
      }
      break;
    }
    case 39: case 94: {
      // Pattern brushes are written as solid brushes of their colour.
      const size_t at = o.begin(39);
      o.i32(arg(0)); o.i32(r.type == 94 ? 0 : arg(1)); o.i32(arg(2)); o.i32(arg(3));
      o.end(at);
      break;
    }
    case 82: {
      const size_t at = o.begin(82);
      o.i32(arg(0));
      for (size_t i = 1; i <= 5; ++i) o.i32(arg(i));
      for (size_t i = 6; i <= 13; ++i) o.u8(static_cast<BYTE>(arg(i)));
      for (size_t i = 0; i < 32; ++i) o.u16(i < r.text.size() && i < 31 ? static_cast<unsigned char>(r.text[i]) : 0);
      o.end(at);
      break;
    }
    case 83: {
      // Written in the wide form, which every reader knows.
      const size_t at = o.begin(84);
      const uint32_t n = static_cast<uint32_t>(r.text.size());
      o.rect(RECT{0, 0, -1, -1});
      o.u32(1);  // GM_COMPATIBLE
      o.u32(0); o.u32(0);  // scales unused in that mode
      o.i32(arg(0)); o.i32(arg(1));
      o.u32(n);
      o.u32(76);  // the text follows the fixed part
      o.u32(static_cast<uint32_t>(arg(2)));
      if (arg(3)) o.rect(RECT{arg(4), arg(5), arg(6), arg(7)});
      else o.rect(RECT{0, 0, -1, -1});
      const uint32_t dxAt = r.data.size() == n && n ? static_cast<uint32_t>(76 + ((2 * n + 3) / 4) * 4) : 0;
      o.u32(dxAt);
      utf16(o, r.text);
      o.pad();
      if (dxAt) for (uint32_t v : r.data) o.u32(v);
      o.end(at);
      break;
    }
    case 75: {
      const size_t at = o.begin(75);
      if (arg(1) == 0) {
        o.u32(0); o.u32(static_cast<uint32_t>(arg(0)));
      } else {
        const uint32_t n = static_cast<uint32_t>(r.points.size() / 2);
        o.u32(32 + 16 * n); o.u32(static_cast<uint32_t>(arg(0)));
        o.u32(32); o.u32(1); o.u32(n); o.u32(16 * n);
        o.rect(pointBounds(r.points));
        for (size_t i = 0; i + 1 < r.points.size(); i += 2) {
          o.i32(r.points[i].x); o.i32(r.points[i].y); o.i32(r.points[i + 1].x); o.i32(r.points[i + 1].y);
        }
      }
      o.end(at);
      break;
    }
    case 81: {
      // EMR_STRETCHDIBITS: bounds, destination corner, source corner and size, where the
      // header and the bits lie, usage, raster operation, destination size; then the DIB.
      if (!pictureOk(r)) break;
      const std::vector<BYTE> dib = dibBytes(r, arg(4), arg(5));
      const size_t at = o.begin(81);
      o.rect(RECT{arg(0), arg(1), arg(0) + arg(2) - 1, arg(1) + arg(3) - 1});
      o.i32(arg(0)); o.i32(arg(1)); o.i32(0); o.i32(0); o.i32(arg(4)); o.i32(arg(5));
      o.u32(80); o.u32(40); o.u32(120); o.u32(static_cast<uint32_t>(dib.size() - 40));
      o.u32(0); o.u32(static_cast<uint32_t>(arg(6))); o.i32(arg(2)); o.i32(arg(3));
      for (BYTE c : dib) o.u8(c);
      o.end(at);
      break;
    }
    case 118: {
      const size_t at = o.begin(118);
      const uint32_t nv = static_cast<uint32_t>(r.data.size() / 6);
      const bool tri = arg(0) == GRADIENT_FILL_TRIANGLE;
      const uint32_t nt = static_cast<uint32_t>(tri ? r.points.size() / 2 : r.points.size());
      std::vector<POINT> vp;
      for (uint32_t i = 0; i < nv; ++i)
        vp.push_back(POINT{static_cast<LONG>(r.data[6 * i]), static_cast<LONG>(r.data[6 * i + 1])});
      o.rect(pointBounds(vp));
      o.u32(nv); o.u32(nt); o.u32(static_cast<uint32_t>(arg(0)));
      for (uint32_t i = 0; i < nv; ++i) {
        o.i32(static_cast<LONG>(r.data[6 * i])); o.i32(static_cast<LONG>(r.data[6 * i + 1]));
        for (int c = 2; c < 6; ++c) o.u16(static_cast<uint16_t>(r.data[6 * i + c]));
      }
      for (uint32_t k = 0; k < nt; ++k) {
        if (tri) {
          o.u32(static_cast<uint32_t>(r.points[2 * k].x)); o.u32(static_cast<uint32_t>(r.points[2 * k].y));
          o.u32(static_cast<uint32_t>(r.points[2 * k + 1].x));
        } else {
          o.u32(static_cast<uint32_t>(r.points[k].x)); o.u32(static_cast<uint32_t>(r.points[k].y));
        }
      }
      o.end(at);
      break;
    }
    default: break;
  }
}

}  // namespace

std::vector<BYTE> enhMetafileBytes(const MetaRecording& m, const RECT& frame, const std::string& description) {
  // The header counts the object table in 16 bits: a table that passes it makes no file.
  if (m.nextIndex > 0xFFFF) return {};
  Out o;
  const size_t at = o.begin(1);
  o.rect(m.bounds);
  o.rect(frame);
  o.u32(0x464D4520);  // " EMF"
  o.u32(0x10000);
  o.u32(0);  // bytes, filled in below
  o.u32(0);  // records, filled in below
  o.u16(static_cast<uint16_t>(m.nextIndex));
  o.u16(0);
  const uint32_t nDesc = static_cast<uint32_t>(description.size());
  o.u32(nDesc);
  o.u32(nDesc ? 108 : 0);
  o.u32(0);  // no palette
  o.i32(m.device.cx); o.i32(m.device.cy);
  o.i32(m.millimetres.cx); o.i32(m.millimetres.cy);
  o.u32(0); o.u32(0); o.u32(0);  // no pixel format, no OpenGL
  o.i32(static_cast<LONG>(std::clamp<long long>(m.millimetres.cx * 1000LL, INT32_MIN, INT32_MAX)));
  o.i32(static_cast<LONG>(std::clamp<long long>(m.millimetres.cy * 1000LL, INT32_MIN, INT32_MAX)));
  utf16(o, description);
  o.end(at);
  for (const MetaRecord& r : m.records) record(o, r);
  const size_t eof = o.begin(14);
  o.u32(0); o.u32(16); o.u32(20);
  o.end(eof);
  std::vector<BYTE>& b = o.bytes();
  const uint32_t total = static_cast<uint32_t>(b.size()), count = o.records();
  for (int i = 0; i < 4; ++i) {
    b[48 + i] = static_cast<BYTE>(total >> (8 * i));
    b[52 + i] = static_cast<BYTE>(count >> (8 * i));
  }
  return std::move(b);
}

bool writeWholeFile(const std::string& path, std::span<const BYTE> bytes) {
  // No bytes: the recording has no file form (see the writers above).
  if (bytes.empty()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  std::FILE* f = std::fopen(utf8FromCp1252(path).c_str(), "wb");
  if (!f) {
    SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_GEN_FAILURE);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    std::remove(path.c_str());
    SetLastError(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_GEN_FAILURE);
    return false;
  }
  return true;
}

}  // namespace win::gdi

//------------------------------------------------------------------------------
// Windows metafiles: the same records in the 16-bit layout.
//------------------------------------------------------------------------------
namespace win::gdi {
namespace {

int16_t s16(LONG v) { return static_cast<int16_t>(std::clamp<LONG>(v, -32768, 32767)); }

class Words {
 public:
  void w(uint16_t v) { b_.push_back(static_cast<BYTE>(v)); b_.push_back(static_cast<BYTE>(v >> 8)); }
  void s(LONG v) { w(static_cast<uint16_t>(s16(v))); }
  void colour(LONG c) { w(static_cast<uint16_t>(c)); w(static_cast<uint16_t>(static_cast<uint32_t>(c) >> 16)); }
  void bytes(const std::string& t) { for (char c : t) b_.push_back(static_cast<BYTE>(c)); if (b_.size() % 2) b_.push_back(0); }
  void raw(const std::vector<BYTE>& t) { b_.insert(b_.end(), t.begin(), t.end()); if (b_.size() % 2) b_.push_back(0); }
  size_t begin(uint16_t function) { const size_t at = b_.size(); w(0); w(0); w(function); return at; }
  void end(size_t at) {
    const uint32_t n = static_cast<uint32_t>((b_.size() - at) / 2);
    for (int i = 0; i < 4; ++i) b_[at + i] = static_cast<BYTE>(n >> (8 * i));
    maxRecord_ = std::max(maxRecord_, n);
  }
  std::vector<BYTE>& data() { return b_; }
  uint32_t maxRecord() const { return maxRecord_; }

 private:
  std::vector<BYTE> b_;
  uint32_t maxRecord_ = 0;
};

// The object table a player keeps while it reads the file: each creation takes the lowest
// free slot, a deletion frees it. The recorder's indices are turned into those slots here, so
// the file's selections name the slots a player has filled.
class WmfTable {
 public:
  // A slot for a new object, or -1 when the table would pass what the format counts.
  int take() {
    int s = static_cast<int>(size_);
    if (!free_.empty()) {
      s = *free_.begin();
      free_.erase(free_.begin());
    } else if (size_ == kMaxSlots) {
      return -1;
    } else {
      ++size_;
    }
    return s;
  }
  void give(int s) { free_.insert(s); nullPens_.erase(s); pens_.erase(s); }
  void create(LONG index, int slot, bool pen, bool nullPen) {
    slots_[index] = slot;
    if (pen) pens_.insert(slot);
    if (nullPen) nullPens_.insert(slot);
  }
  int slot(LONG index) const { const auto it = slots_.find(index); return it == slots_.end() ? -1 : it->second; }
  int forget(LONG index) {
    const auto it = slots_.find(index);
    if (it == slots_.end()) return -1;
    const int s = it->second;
    slots_.erase(it);
    if (pen_ == s) pen_ = kDefaultPen;
    give(s);
    return s;
  }
  void select(int s) { if (pens_.count(s)) pen_ = s; }
  // The selected pen draws an outline (the default pen does).
  bool penDraws() const { return pen_ == kDefaultPen || !nullPens_.count(pen_); }
  int pen() const { return pen_; }
  size_t size() const { return size_; }
  bool full() const { return overflow_; }
  void overflow() { overflow_ = true; }
  static constexpr int kDefaultPen = -1;

 private:
  static constexpr size_t kMaxSlots = 0xFFFF;
  std::map<LONG, int> slots_;
  std::set<int> free_, pens_, nullPens_;
  size_t size_ = 0;
  int pen_ = kDefaultPen;
  bool overflow_ = false;
};

// Readers take a point count as a signed 16-bit number.
constexpr size_t kMaxPoints = 0x7FFF;

void points(Words& o, uint16_t function, std::span<const POINT> pts) {
  const size_t at = o.begin(function);
  o.w(static_cast<uint16_t>(pts.size()));
  for (const POINT& p : pts) { o.s(p.x); o.s(p.y); }
  o.end(at);
}

// A long polyline as records of at most kMaxPoints points, each starting where the last
// ended, so the line goes on unbroken.
void polyline(Words& o, std::span<const POINT> pts) {
  size_t from = 0;
  do {
    const size_t n = std::min(pts.size() - from, kMaxPoints);
    points(o, 0x0325, pts.subspan(from, n));
    from += n - 1;
  } while (from + 1 < pts.size());
}

// The part of a polygon on one side of the line v = cut (v the y coordinate, or x when
// across), low side v <= cut: Sutherland-Hodgman against a half-plane. Crossings are worked
// out along each edge from its lower end, so both sides meet at the same points. Filled
// under either rule the part is the polygon's fill on that side; the edges it gains lie on
// the cut line.
std::vector<POINT> halfOf(std::span<const POINT> pts, LONG cut, bool across, bool low) {
  auto v = [across](const POINT& p) { return across ? p.x : p.y; };
  auto inside = [&](const POINT& p) { return low ? v(p) <= cut : v(p) >= cut; };
  auto crossing = [&](POINT a, POINT b) {
    if (v(a) > v(b)) std::swap(a, b);
    const long long u0 = across ? a.y : a.x, u1 = across ? b.y : b.x;
    const long long num = (u1 - u0) * (cut - v(a)), den = v(b) - v(a);
    const LONG u = static_cast<LONG>(u0 + (num >= 0 ? (2 * num + den) / (2 * den) : -((-2 * num + den) / (2 * den))));
    return across ? POINT{cut, u} : POINT{u, cut};
  };
  std::vector<POINT> out;
  for (size_t i = 0; i < pts.size(); ++i) {
    const POINT& a = pts[i];
    const POINT& b = pts[(i + 1) % pts.size()];
    if (inside(a)) out.push_back(a);
    if (inside(a) != inside(b) && v(a) != cut && v(b) != cut) out.push_back(crossing(a, b));
  }
  return out;
}

// A long polygon as polygons of at most kMaxPoints points that tile its fill: it is cut in
// two at the middle of its points' heights (or widths, when that cuts nothing off), again
// and again. Each part fills what the polygon fills on its side of the cut, so the parts'
// fill is the polygon's; their cut edges would show under a pen, so then the fill goes
// under a null pen and the outline follows as a polyline.
void fillParts(Words& o, std::span<const POINT> pts, int depth) {
  if (pts.size() <= kMaxPoints || depth > 64) {
    points(o, 0x0324, pts.first(std::min(pts.size(), kMaxPoints)));
    return;
  }
  for (bool across : {false, true}) {
    std::vector<LONG> vs;
    for (const POINT& p : pts) vs.push_back(across ? p.x : p.y);
    std::nth_element(vs.begin(), vs.begin() + static_cast<std::ptrdiff_t>(vs.size() / 2), vs.end());
    const LONG cut = vs[vs.size() / 2];
    const std::vector<POINT> a = halfOf(pts, cut, across, true), b = halfOf(pts, cut, across, false);
    if (a.size() >= pts.size() || b.size() >= pts.size()) continue;
    if (a.size() >= 3) fillParts(o, a, depth + 1);
    if (b.size() >= 3) fillParts(o, b, depth + 1);
    return;
  }
  points(o, 0x0324, pts.first(kMaxPoints));
}

void polygon(Words& o, WmfTable& t, std::span<const POINT> pts) {
  if (pts.size() <= kMaxPoints) {
    points(o, 0x0324, pts);
    return;
  }
  const bool outline = t.penDraws();
  int temporary = -1;
  if (outline) {
    temporary = t.take();
    if (temporary < 0) {
      t.overflow();
      return;
    }
    const size_t at = o.begin(0x02FA);
    o.w(PS_NULL); o.s(0); o.w(0); o.colour(0);
    o.end(at);
    const size_t sel = o.begin(0x012D); o.w(static_cast<uint16_t>(temporary)); o.end(sel);
  }
  fillParts(o, pts, 0);
  if (!outline) return;
  // Back to the pen that was selected; the default pen is made again as it was.
  int back = t.pen();
  if (back == WmfTable::kDefaultPen) {
    back = t.take();
    if (back < 0) {
      t.overflow();
      return;
    }
    const size_t c = o.begin(0x02FA);
    o.w(PS_SOLID); o.s(0); o.w(0); o.colour(0);
    o.end(c);
    t.create(-1 - static_cast<LONG>(back), back, true, false);
  }
  const size_t sel = o.begin(0x012D); o.w(static_cast<uint16_t>(back)); o.end(sel);
  t.select(back);
  const size_t del = o.begin(0x01F0); o.w(static_cast<uint16_t>(temporary)); o.end(del);
  t.give(temporary);
  std::vector<POINT> closed(pts.begin(), pts.end());
  closed.push_back(pts[0]);
  polyline(o, closed);
}

void wmfRecord(Words& o, WmfTable& t, const MetaRecord& r) {
  const auto& a = r.args;
  auto arg = [&a](size_t i) { return i < a.size() ? a[i] : 0; };
  auto pair = [&](uint16_t f) { const size_t at = o.begin(f); o.s(arg(1)); o.s(arg(0)); o.end(at); };
  auto one = [&](uint16_t f) { const size_t at = o.begin(f); o.w(static_cast<uint16_t>(arg(0))); o.end(at); };
  // A creation fills the lowest free slot of the player's table.
  auto created = [&](bool pen, bool nullPen) {
    const int slot = t.take();
    if (slot < 0) {
      t.overflow();
      return false;
    }
    t.create(arg(0), slot, pen, nullPen);
    return true;
  };
  switch (r.type) {
    case 9: pair(0x020C); break;   // window extent: y, x
    case 27: pair(0x0214); break;  // move to
    case 54: pair(0x0213); break;  // line to
    case 17: one(0x0103); break;
    case 18: one(0x0102); break;
    case 19: one(0x0106); break;
    case 20: one(0x0104); break;
    case 22: one(0x012E); break;
    case 37: {
      const int slot = t.slot(arg(0));
      if (slot < 0) break;
      const size_t at = o.begin(0x012D); o.w(static_cast<uint16_t>(slot)); o.end(at);
      t.select(slot);
      break;
    }
    case 40: {
      const int slot = t.forget(arg(0));
      if (slot < 0) break;
      const size_t at = o.begin(0x01F0); o.w(static_cast<uint16_t>(slot)); o.end(at);
      break;
    }
    case 24: case 25: {
      const size_t at = o.begin(r.type == 24 ? 0x0209 : 0x0201); o.colour(arg(0)); o.end(at);
      break;
    }
    case 15: {
      const size_t at = o.begin(0x041F); o.colour(arg(2)); o.s(arg(1)); o.s(arg(0)); o.end(at);
      break;
    }
    case 3:
      polygon(o, t, r.points);
      break;
    case 4:
      if (!r.points.empty()) polyline(o, r.points);
      break;
    case 8: {
      const size_t at = o.begin(0x0538);
      o.w(static_cast<uint16_t>(a.size()));
      for (LONG c : a) o.w(static_cast<uint16_t>(c));
      for (const POINT& p : r.points) { o.s(p.x); o.s(p.y); }
      o.end(at);
      break;
    }
    case 42: case 43: {  // bottom, right, top, left
      const size_t at = o.begin(r.type == 42 ? 0x0418 : 0x041B);
      o.s(arg(3)); o.s(arg(2)); o.s(arg(1)); o.s(arg(0));
      o.end(at);
      break;
    }
    case 45: case 47: {  // end, start, then the box from the bottom
      const size_t at = o.begin(r.type == 45 ? 0x0817 : 0x081A);
      o.s(arg(7)); o.s(arg(6)); o.s(arg(5)); o.s(arg(4));
      o.s(arg(3)); o.s(arg(2)); o.s(arg(1)); o.s(arg(0));
      o.end(at);
      break;
    }
    case 38: case 95: {
      // User patterns have no 16-bit form: the nearest dashed style stands in.
      LONG style = arg(1) & 0xF;
      if (style == 7) style = 1;
      if (!created(true, style == PS_NULL)) break;
      const size_t at = o.begin(0x02FA);
      o.w(static_cast<uint16_t>(style)); o.s(arg(2)); o.w(0); o.colour(arg(3));
      o.end(at);
      break;
    }
    case 39: case 94: {
      if (!created(false, false)) break;
      const size_t at = o.begin(0x02FC);
      o.w(static_cast<uint16_t>(r.type == 94 ? 0 : arg(1))); o.colour(arg(2)); o.w(static_cast<uint16_t>(arg(3)));
      o.end(at);
      break;
    }
    case 82: {
      if (!created(false, false)) break;
      const size_t at = o.begin(0x02FB);
      for (size_t i = 1; i <= 5; ++i) o.s(arg(i));
      std::string tail;
      for (size_t i = 6; i <= 13; ++i) tail.push_back(static_cast<char>(arg(i)));
      tail += r.text.substr(0, 31);
      tail.push_back('\0');
      o.bytes(tail);
      o.end(at);
      break;
    }
    case 83: {
      const size_t at = o.begin(0x0A32);
      o.s(arg(1)); o.s(arg(0));
      o.w(static_cast<uint16_t>(std::min<size_t>(r.text.size(), 0x7FFF)));
      o.w(static_cast<uint16_t>(arg(2) & (arg(3) ? 0xFFFF : ~6)));
      if (arg(3)) { o.s(arg(4)); o.s(arg(5)); o.s(arg(6)); o.s(arg(7)); }
      o.bytes(r.text.substr(0, 0x7FFF));
      if (r.data.size() == r.text.size())
        for (size_t i = 0; i < r.text.size() && i < 0x7FFF; ++i) o.s(static_cast<LONG>(r.data[i]));
      o.end(at);
      break;
    }
    case 81: {
      // META_STRETCHDIB: raster operation, usage, source height, width, y, x, destination
      // height, width, y, x, then the DIB.
      if (!pictureOk(r)) break;
      const size_t at = o.begin(0x0F43);
      o.colour(arg(6));
      o.w(0);
      o.s(arg(5)); o.s(arg(4)); o.s(0); o.s(0);
      o.s(arg(3)); o.s(arg(2)); o.s(arg(1)); o.s(arg(0));
      o.raw(dibBytes(r, arg(4), arg(5)));
      o.end(at);
      break;
    }
    default: break;  // clipping regions and shaded fills have no record here
  }
}

}  // namespace

std::vector<BYTE> metafileBytes(const MetaRecording& m) {
  Words o;
  WmfTable table;
  for (int i = 0; i < 9; ++i) o.w(0);
  for (const MetaRecord& r : m.records) wmfRecord(o, table, r);
  // More objects alive at once than the header counts: no file rather than a wrong one.
  if (table.full()) return {};
  const size_t eof = o.begin(0);
  o.end(eof);
  std::vector<BYTE>& b = o.data();
  const uint32_t words = static_cast<uint32_t>(b.size() / 2);
  const uint16_t head[9] = {1, 9, 0x0300, static_cast<uint16_t>(words), static_cast<uint16_t>(words >> 16),
                            static_cast<uint16_t>(table.size()),
                            static_cast<uint16_t>(o.maxRecord()), static_cast<uint16_t>(o.maxRecord() >> 16), 0};
  for (int i = 0; i < 9; ++i) {
    b[2 * i] = static_cast<BYTE>(head[i]);
    b[2 * i + 1] = static_cast<BYTE>(head[i] >> 8);
  }
  return std::move(b);
}

}  // namespace win::gdi

namespace win {

std::array<BYTE, 22> PlaceableMetafileHeader(LONG widthPoints, LONG heightPoints) {
  // The box is signed 16-bit: big pages get fewer units per inch rather than overflow.
  const LONG largest = std::max<LONG>({widthPoints, heightPoints, 1});
  const LONG units = largest * 1000 / 72 <= 32767 ? 1000 : std::max<LONG>(1, 32767 * 72 / largest);
  const uint16_t w[10] = {0xCDD7, 0x9AC6, 0, 0, 0,
                          static_cast<uint16_t>(widthPoints * units / 72), static_cast<uint16_t>(heightPoints * units / 72),
                          static_cast<uint16_t>(units), 0, 0};
  uint16_t sum = 0;
  for (uint16_t v : w) sum ^= v;
  std::array<BYTE, 22> h{};
  for (int i = 0; i < 10; ++i) {
    h[2 * i] = static_cast<BYTE>(w[i]);
    h[2 * i + 1] = static_cast<BYTE>(w[i] >> 8);
  }
  h[20] = static_cast<BYTE>(sum);
  h[21] = static_cast<BYTE>(sum >> 8);
  return h;
}

}  // namespace win
