#pragma once
// A virtual raster page for the tests, laid out as the raster drivers lay it out.
#include <cstdint>

#include "toolkit/state/tessar.h"

inline void makerasterpage(int width, int height, int depth) {
  RasterState& rs = tessar.raster.state;
  rs = RasterState{};
  rs.RASWIDTH = width;
  rs.RASHEIGHT = height;
  rs.RASXMAX = width - 1;
  rs.RASYMAX = height - 1;
  rs.RASDEPTH = depth;
  int planes = 1, perword = 32;
  switch (depth) {
    case 1: rs.RASCLASS = 1; break;
    case 3: rs.RASCLASS = 2; planes = 3; break;
    case 4: rs.RASCLASS = 2; planes = 4; break;
    case 8: rs.RASCLASS = 3; perword = 4; break;
    default: rs.RASCLASS = 4; perword = 1; break;
  }
  rs.RASLASTPLANE = planes - 1;
  rs.RASROWWORDS = (width + perword - 1) / perword;
  rs.RASPLANEWORDS = height * rs.RASROWWORDS;
  rs.RASTOTALWORDS = planes * rs.RASPLANEWORDS;
  rs.RASCLEARWORDS = rs.RASTOTALWORDS;
  for (int k = 0; k < 4; ++k) rs.RASBYTEMASK[k] = ~(0xFFu << (8 * k));
  rs.RASCLIP = {0, width - 1, 0, height - 1};
  rs.RASDASHMASK = 0xFFF;
  rs.RASDASHLEN = 12;
  rs.RASDASHSTEP = 1;
  tessar.raster.IRBUFF.assign(static_cast<std::size_t>(rs.RASTOTALWORDS) + 1, 0);
}

// The value of pixel (x, y) as the page holds it.
inline int rasterpixel(int x, int y) {
  const RasterState& rs = tessar.raster.state;
  const auto& page = tessar.raster.IRBUFF;
  switch (rs.RASCLASS) {
    case 1: return (page[x / 32 + y * rs.RASROWWORDS] >> (x % 32)) & 1;
    case 2: {
      int v = 0;
      for (int p = 0; p <= rs.RASLASTPLANE; ++p)
        v |= static_cast<int>((page[x / 32 + y * rs.RASROWWORDS + p * rs.RASPLANEWORDS] >> (x % 32)) & 1) << p;
      return v;
    }
    case 3: return static_cast<int>((page[x / 4 + y * rs.RASROWWORDS] >> (8 * (x % 4))) & 0xFF);
    default: return static_cast<int>(page[x + y * rs.RASROWWORDS]);
  }
}
