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
      const LONG style = arg(1);
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
  o.i32(m.millimetres.cx * 1000); o.i32(m.millimetres.cy * 1000);
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
