// The CGM file scanner. Only five elements are read into the element buffer: VDC TYPE,
// INTEGER PRECISION, MAXIMUM VDC EXTENT, VDC EXTENT and VDC INTEGER PRECISION; every other
// element is skipped by seeking past it, and the elements inside METAFILE DEFAULTS
// REPLACEMENT are read as elements in their own right.
#include "toolkit/hardcopy/cgm_scan.h"

#include <array>
#include <bit>

#include "toolkit/os/opsys.h"
#include "toolkit/text/errors.h"

namespace {

// A wanted element holds at most four coordinates of 32 bits; anything much longer is not
// a sound file and is refused rather than read.
constexpr int kElementBuffer = 256;

std::uint8_t byteat(std::span<const std::uint8_t> buffer, int position) {
  if (position < 1 || position > static_cast<int>(buffer.size())) return 0;
  return buffer[static_cast<std::size_t>(position - 1)];
}

bool readword(int handle, int& word) {
  std::array<std::uint8_t, 2> b{};
  int got = 0;
  IFileReadChar(handle, std::span<std::uint8_t>(b), 2, got);
  if (got < 2) return false;
  word = b[0] * 256 + b[1];
  return true;
}

}  // namespace

int yyrepcgmint(std::span<const std::uint8_t> buffer, int position, int precision) {
  if (precision == 16) {
    return static_cast<std::int16_t>((byteat(buffer, position) << 8) | byteat(buffer, position + 1));
  }
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u = (u << 8) | byteat(buffer, position + i);
  return static_cast<std::int32_t>(u);
}

float yyrepcgmreal(std::span<const std::uint8_t> buffer, int position) {
  return std::bit_cast<float>(static_cast<std::uint32_t>(yyrepcgmint(buffer, position, 32)));
}

void yyinfocgm(std::string_view name, int& pictures, float& ratio) {
  int handle = -1;
  IFileOpen(name, 0, handle);
  if (handle < 0) {
    yyerror(1, "YYINFOCGM");
    return;
  }
  pictures = 0;
  int intprec = 16, vdcintprec = 16, vdctype = 0;
  bool havemax = false, haveextent = false;
  float maxratio = 1.0f, extentratio = 1.0f;
  std::array<std::uint8_t, kElementBuffer> buffer{};
  int cls = 0, id = 0;
  bool lastpartition = true;
  int failed = 0;

  for (;;) {
    int length = 31;
    if (lastpartition) {
      int word = 0;
      if (!readword(handle, word)) { failed = 2; break; }
      cls = word / 4096;
      id = (word / 32) % 128;
      length = word % 32;
    }
    lastpartition = true;
    if (length == 31) {
      int word = 0;
      if (!readword(handle, word)) { failed = 2; break; }
      lastpartition = (word & 0x8000) == 0;
      length = word & 0x7FFF;
    }

    const bool wanted = (cls == 1 && (id == 3 || id == 4 || id == 17)) ||
                        (cls == 2 && id == 6) || (cls == 3 && id == 1);
    if (length > 0) {
      length += length % 2;
      if (wanted) {
        if (length > kElementBuffer) { failed = 2; break; }
        buffer.fill(0);
        int got = 0;
        IFileReadChar(handle, std::span<std::uint8_t>(buffer), length, got);
        if (got < length) { failed = 2; break; }
      } else if (!(cls == 1 && id == 12)) {
        int position = length;
        IFileSeek(handle, position, 1);
        if (position < 0) { failed = 2; break; }
      }
    } else if (wanted) {
      buffer.fill(0);
    }

    if (cls == 0 && id == 2) break;
    if (cls == 0 && id == 5) ++pictures;
    if (cls == 1 && id == 3) vdctype = buffer[0] * 256 + buffer[1];
    if (cls == 1 && id == 4) intprec = yyrepcgmint(buffer, 1, intprec);
    if (cls == 3 && id == 1) vdcintprec = yyrepcgmint(buffer, 1, intprec);
    if ((cls == 1 && id == 17) || (cls == 2 && id == 6)) {
      std::array<float, 4> c{};
      int position = 1;
      for (float& v : c) {
        if (vdctype == 0) {
          v = static_cast<float>(yyrepcgmint(buffer, position, vdcintprec));
          position += vdcintprec / 8;
        } else {
          v = yyrepcgmreal(buffer, position);
          position += 4;
        }
        if (position < 1 || position > kElementBuffer) position = kElementBuffer + 1;
      }
      // A flat extent has no ratio: the file is refused rather than divided by zero.
      if (c[3] == c[1]) { failed = 2; break; }
      const float r = (c[2] - c[0]) / (c[3] - c[1]);
      if (cls == 1) { maxratio = r; havemax = true; }
      else { extentratio = r; haveextent = true; }
    }
  }

  ifileclose(handle);
  if (pictures == 0) pictures = 1;
  ratio = havemax ? maxratio : (haveextent ? extentratio : 1.0f);
  if (failed != 0) yyerror(failed, "YYINFOCGM");
}
