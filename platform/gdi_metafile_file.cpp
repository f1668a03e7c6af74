// platform/gdi_metafile_file.cpp: the standard enhanced-metafile byte layout of a recording,
// so that other programs read what the recorder kept. Invariants: (1) every record is a
// multiple of four bytes and its size field says so; (2) the header counts the records and
// bytes actually written; (3) a file that cannot be created, written or closed whole is
// reported (last error set, failure returned) and not left half-written.
#include <cerrno>
#include <cstdio>
#include <cstring>

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
    case 17: case 18: case 19: case 20: case 22: case 24: case 25: case 37: {  // one value
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
  std::FILE* f = std::fopen(path.c_str(), "wb");
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

void wmfRecord(Words& o, const MetaRecord& r) {
  const auto& a = r.args;
  auto arg = [&a](size_t i) { return i < a.size() ? a[i] : 0; };
  auto pair = [&](uint16_t f) { const size_t at = o.begin(f); o.s(arg(1)); o.s(arg(0)); o.end(at); };
  auto one = [&](uint16_t f) { const size_t at = o.begin(f); o.w(static_cast<uint16_t>(arg(0))); o.end(at); };
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
      // Object indices count from 0 here; stock objects are not in the table.
      if (arg(0) < 1) break;
      const size_t at = o.begin(0x012D); o.w(static_cast<uint16_t>(arg(0) - 1)); o.end(at);
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
    case 3: case 4: {
      const size_t at = o.begin(r.type == 3 ? 0x0324 : 0x0325);
      o.w(static_cast<uint16_t>(r.points.size()));
      for (const POINT& p : r.points) { o.s(p.x); o.s(p.y); }
      o.end(at);
      break;
    }
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
      const size_t at = o.begin(0x02FA);
      o.w(static_cast<uint16_t>(style)); o.s(arg(2)); o.w(0); o.colour(arg(3));
      o.end(at);
      break;
    }
    case 39: case 94: {
      const size_t at = o.begin(0x02FC);
      o.w(static_cast<uint16_t>(r.type == 94 ? 0 : arg(1))); o.colour(arg(2)); o.w(static_cast<uint16_t>(arg(3)));
      o.end(at);
      break;
    }
    case 82: {
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
  for (int i = 0; i < 9; ++i) o.w(0);
  for (const MetaRecord& r : m.records) wmfRecord(o, r);
  const size_t eof = o.begin(0);
  o.end(eof);
  std::vector<BYTE>& b = o.data();
  const uint32_t words = static_cast<uint32_t>(b.size() / 2);
  const uint16_t head[9] = {1, 9, 0x0300, static_cast<uint16_t>(words), static_cast<uint16_t>(words >> 16),
                            static_cast<uint16_t>(m.nextIndex > 1 ? m.nextIndex - 1 : 0),
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
