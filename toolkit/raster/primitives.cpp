// Raster pixel, span and line primitives. Invariant: every write lands inside IRBUFF: pixels
// and spans beyond the page's rows and columns are dropped, whatever the caller's clip box.
#include "toolkit/raster/primitives.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "toolkit/graphics/colour.h"
#include "toolkit/state/tessar.h"

namespace {

// Texture cells that show a dithered 3-bit colour on a one-bit page: entries 0-7 for
// colours no component of which exceeds 191, 8-15 for the brighter ones. Set bit = ink.
constexpr std::uint32_t cell(std::uint32_t r0, std::uint32_t r1, std::uint32_t r2,
                             std::uint32_t r3) {
  return r0 | (r1 << 8) | (r2 << 16) | (r3 << 24);
}
constexpr std::uint32_t kTexture[16] = {
    cell(0xFF, 0xFF, 0xFF, 0xFF), cell(0xF7, 0xF7, 0xBF, 0xBF), cell(0xC7, 0x7C, 0xCE, 0x73),
    cell(0x73, 0x33, 0xEC, 0xC6), cell(0x7F, 0x7E, 0xEF, 0xE7), cell(0x67, 0xEE, 0x77, 0x73),
    cell(0x76, 0xE6, 0x6E, 0x67), cell(0xC8, 0x48, 0x11, 0x31), cell(0x77, 0x77, 0xED, 0xED),
    cell(0x76, 0x37, 0xEC, 0xEC), cell(0xC8, 0xCC, 0x43, 0x66), cell(0x13, 0x13, 0x64, 0x64),
    cell(0x99, 0x99, 0x66, 0x3C), cell(0x6C, 0x36, 0x63, 0xC6), cell(0xCC, 0x8C, 0x66, 0x32),
    cell(0x00, 0x00, 0x00, 0x00),
};

// Working-palette index (div 16) to the value of a 4-bit page.
constexpr int kMap16[16] = {0, 9, 1, 11, 3, 10, 2, 14, 6, 12, 4, 13, 5, 15, 7, 8};

int cellbit(int x, int y) { return (y % 4) * 8 + (x % 8); }

bool bitof(std::uint32_t word, int k) { return ((word >> k) & 1u) != 0; }

}  // namespace

int yyvra1(int value, int x, int y) {
  const RasterState& rs = tessar.raster.state;
  if (x < 0 || y < 0 || x > rs.RASXMAX || y > rs.RASYMAX) return 0;
  std::uint32_t* page = tessar.raster.IRBUFF.data();
  switch (rs.RASCLASS) {
    case 1: {
      std::uint32_t& w = page[x / 32 + y * rs.RASROWWORDS];
      const std::uint32_t bit = 1u << (x % 32);
      w = value == 0 ? (w & ~bit) : (w | bit);
      break;
    }
    case 2:
      for (int p = 0; p <= rs.RASLASTPLANE; ++p) {
        std::uint32_t& w = page[x / 32 + y * rs.RASROWWORDS + p * rs.RASPLANEWORDS];
        const std::uint32_t bit = 1u << (x % 32);
        w = ((value >> p) & 1) == 0 ? (w & ~bit) : (w | bit);
      }
      break;
    case 3: {
      const int k = x % 4;
      std::uint32_t& w = page[x / 4 + y * rs.RASROWWORDS];
      w = (w & rs.RASBYTEMASK[static_cast<std::size_t>(k)]) |
          (static_cast<std::uint32_t>(value & 0xFF) << (8 * k));
      break;
    }
    case 4:
      page[x + y * rs.RASROWWORDS] = static_cast<std::uint32_t>(value);
      break;
    default:
      break;
  }
  return 0;
}

int yyvra4(int value, int xa, int y, int xb) {
  const RasterState& rs = tessar.raster.state;
  xa = std::max(xa, 0);
  xb = std::min(xb, rs.RASXMAX);
  if (xb < xa || y < 0 || y > rs.RASYMAX) return 0;
  std::uint32_t* page = tessar.raster.IRBUFF.data();
  switch (rs.RASCLASS) {
    case 1:
    case 2: {
      const int lastplane = rs.RASCLASS == 1 ? 0 : rs.RASLASTPLANE;
      for (int p = 0; p <= lastplane; ++p) {
        std::uint32_t* row = page + y * rs.RASROWWORDS + p * rs.RASPLANEWORDS;
        const bool set = rs.RASCLASS == 1 ? value != 0 : ((value >> p) & 1) != 0;
        for (int x = xa; x <= xb; ++x) {
          const std::uint32_t bit = 1u << (x % 32);
          row[x / 32] = set ? (row[x / 32] | bit) : (row[x / 32] & ~bit);
        }
      }
      break;
    }
    case 3:
    case 4:
      for (int x = xa; x <= xb; ++x) yyvra1(value, x, y);
      break;
    default:
      break;
  }
  return 0;
}

int yyvra2(int xa, int xb, int y) {
  const RasterState& rs = tessar.raster.state;
  xa = std::max(xa, 0);
  xb = std::min(xb, rs.RASXMAX);
  if (xb < xa || y < 0 || y > rs.RASYMAX) return 0;
  switch (rs.RASDEPTH) {
    case 1:
      for (int x = xa; x <= xb; ++x) {
        const std::uint32_t pattern = (x % 2 == 0) ? rs.RASFILLA : rs.RASFILLB;
        yyvra1(bitof(pattern, cellbit(x, y)) ? 1 : 0, x, y);
      }
      break;
    case 3:
      for (int x = xa; x <= xb; ++x) {
        const int slot = (rs.RASTWOCOLOUR != 0 && (x + y) % 2 != 0) ? 0 : 1;
        const int k = cellbit(x, y);
        const int value = (bitof(rs.RASDITHER[0][slot], k) ? 1 : 0) +
                          (bitof(rs.RASDITHER[1][slot], k) ? 2 : 0) +
                          (bitof(rs.RASDITHER[2][slot], k) ? 4 : 0);
        yyvra1(value, x, y);
      }
      break;
    default:
      if (rs.RASTWOCOLOUR == 0) {
        yyvra4(rs.RASPIXEL[1], xa, y, xb);
      } else {
        for (int x = xa; x <= xb; ++x) yyvra1(rs.RASPIXEL[(x + y) % 2 == 0 ? 0 : 1], x, y);
      }
      break;
  }
  return 0;
}

namespace {

bool onpage(const RasterState& rs, int x, int y) {
  return x >= 0 && y >= 0 && x <= rs.RASXMAX && y <= rs.RASYMAX;
}

void advancedash(RasterState& rs, int unit) {
  if (++rs.RASDASHSTEP > unit) {
    rs.RASDASHSTEP = 1;
    if (++rs.RASDASHPOS >= rs.RASDASHLEN) rs.RASDASHPOS = 0;
  }
}

// One Bresenham copy along the major axis. (major, minor) is (Y, X) for a steep line and
// (X, Y) for a shallow one; the minor coordinate stays within [minlo, minhi].
void drawcopy(RasterState& rs, bool steep, int major1, int major2, int minor, int dmajor,
              int dminor, int smajor, int sminor, int minlo, int minhi, bool joint) {
  const int value = rs.RASPIXEL[1];
  const int unit = steep ? rs.RASDASHUNITY : rs.RASDASHUNITX;
  int e = 2 * dminor - dmajor;
  int major = major1;
  if (joint) {
    major = major1 + smajor;
    if (e < 0) {
      e += 2 * dminor;
    } else {
      minor += sminor;
      e += 2 * (dminor - dmajor);
    }
  }
  const int n = ((major2 - major) + smajor) / smajor;
  for (int i = 0; i < n; ++i) {
    if (bitof(rs.RASDASHMASK, rs.RASDASHPOS)) {
      const int x = steep ? minor : major;
      const int y = steep ? major : minor;
      if (onpage(rs, x, y)) yyvra1(value, x, y);
    }
    if (e >= 0) {
      minor += sminor;
      if (minor < minlo) minor = minlo;
      if (minor > minhi) minor = minhi;
      e += 2 * (dminor - dmajor);
    } else {
      e += 2 * dminor;
    }
    advancedash(rs, unit);
    major += smajor;
  }
}

}  // namespace

int yyvra3(int x1, int y1, int x2, int y2, int joint) {
  RasterState& rs = tessar.raster.state;
  const int value = rs.RASPIXEL[1];
  const int sx = x2 < x1 ? -1 : 1;
  const int sy = y2 < y1 ? -1 : 1;
  const int dx = std::abs(x2 - x1);
  const int dy = std::abs(y2 - y1);
  const bool solid = tessar.graphics.attributes.LINETYPE == 0;

  if (dy == 0 && solid) {
    int xa = std::min(x1, x2), xb = std::max(x1, x2);
    if (joint != 0) {
      if (x1 == x2) return 0;
      if (x1 < x2) ++xa; else --xb;
    }
    const int top = y1 - rs.RASPENBHALF;
    const int ylo = std::max({top, rs.RASCLIP[2], 0});
    const int yhi = std::min({top + rs.RASPENB, rs.RASCLIP[3], rs.RASYMAX});
    for (int y = ylo; y <= yhi; ++y) yyvra4(value, xa, y, xb);
    return 0;
  }
  if (dx == 0 && dy > 0 && solid) {
    int ya = std::min(y1, y2), yb = std::max(y1, y2);
    if (joint != 0) {
      if (y1 < y2) ++ya; else --yb;
    }
    const int left = x1 - rs.RASPENAHALF;
    const int xlo = std::max({left, rs.RASCLIP[0], 0});
    const int xhi = std::min({left + rs.RASPENA, rs.RASCLIP[1], rs.RASXMAX});
    for (int x = xlo; x <= xhi; ++x)
      for (int y = ya; y <= yb; ++y) yyvra1(value, x, y);
    return 0;
  }

  const int savedpos = rs.RASDASHPOS, savedstep = rs.RASDASHSTEP;
  if (dx < dy) {
    for (int j = 0; j <= rs.RASPENB; ++j) {
      rs.RASDASHPOS = savedpos;
      rs.RASDASHSTEP = savedstep;
      drawcopy(rs, true, y1, y2, x1 - rs.RASPENBHALF + j, dy, dx, sy, sx, rs.RASCLIP[0],
               rs.RASCLIP[1], joint != 0);
    }
  } else {
    for (int j = 0; j <= rs.RASPENA; ++j) {
      rs.RASDASHPOS = savedpos;
      rs.RASDASHSTEP = savedstep;
      drawcopy(rs, false, x1, x2, y1 - rs.RASPENAHALF + j, dx, dy, sx, sy, rs.RASCLIP[2],
               rs.RASCLIP[3], joint != 0);
    }
  }
  return 0;
}

int yyvra5(int x, int y, int rgb) {
  RasterRegion& rr = tessar.raster;
  RasterState& rs = rr.state;
  int r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
  const int k = cellbit(x, y);
  const std::size_t i = static_cast<std::size_t>((b / 16) * 256 + (g / 16) * 16 + r / 16);
  const int option6 = tessar.hardcopy.HCOPTIONS[5];
  auto dithered = [&]() {
    return (bitof(rr.CUBERED[i], k) ? 1 : 0) + (bitof(rr.CUBEGREEN[i], k) ? 2 : 0) +
           (bitof(rr.CUBEBLUE[i], k) ? 4 : 0);
  };
  switch (rs.RASDEPTH) {
    case 1: {
      int v = dithered();
      if (option6 != 0 && (v == 0 || v == 7)) {
        v = 7 - v;
        r = 255 - r; g = 255 - g; b = 255 - b;
      }
      if (r > 191 || g > 191 || b > 191) v += 8;
      rr.RASLASTVALUE = bitof(kTexture[v], k) ? 1 : 0;
      break;
    }
    case 3: {
      int v = dithered();
      if (option6 != 0 && (v == 0 || v == 7)) v = 7 - v;
      if (tessar.hardcopy.printer.COLOURKIND == 2) v = 7 - v;
      rr.RASLASTVALUE = v;
      break;
    }
    case 4:
    case 8:
      if (rgb != rs.RASLASTRGB) {
        int index = 0;
        yyrgbto8(rgb, index);
        rr.RASLASTVALUE = rs.RASDEPTH == 4 ? kMap16[(index / 16) & 15] : index;
        rs.RASLASTRGB = rgb;
      }
      break;
    case 24:
      rr.RASLASTVALUE = rgb;
      break;
    default:
      break;
  }
  yyvra1(rr.RASLASTVALUE, x, y);
  return 0;
}

int yyxini(int x1, int y1, int x2, int y2, int y) {
  if (y2 < y1) return x2 + ((y - y2) * (x2 - x1)) / (y2 - y1);
  if (y2 > y1) return x1 + ((y - y1) * (x2 - x1)) / (y2 - y1);
  return 32767;
}
