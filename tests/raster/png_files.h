#pragma once
// PNG files built byte by byte for the loader's tests: signature, chunks with their CRCs.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "tests/raster/image_files.h"
#include "toolkit/raster/png.h"

// A PNG of width x height at the given depth and colour type: IHDR, the middle chunks (type,
// data) in order, one IDAT holding raw (each row led by its filter byte) compressed, IEND.
inline Bytes pngbytes(int width, int height, int depth, int colourtype, const Bytes& raw,
                      const std::vector<std::pair<std::string, Bytes>>& middle) {
  Bytes packed(raw.size() + 64);
  int length = static_cast<int>(packed.size());
  WCompress(raw, packed, static_cast<int>(raw.size()), length);
  packed.resize(static_cast<std::size_t>(length));
  Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto chunk = [&b](const char* type, const Bytes& data) {
    Bytes c(4 + data.size() + 4);
    std::copy(type, type + 4, c.begin());
    std::copy(data.begin(), data.end(), c.begin() + 4);
    yypngwrd(yypngcrc2(c, static_cast<int>(data.size()) + 4), std::span(c).subspan(4 + data.size(), 4));
    Bytes len(4);
    yypngwrd(static_cast<std::uint32_t>(data.size()), len);
    b.insert(b.end(), len.begin(), len.end());
    b.insert(b.end(), c.begin(), c.end());
  };
  Bytes ihdr(13, 0);
  yypngwrd(static_cast<std::uint32_t>(width), ihdr);
  yypngwrd(static_cast<std::uint32_t>(height), std::span(ihdr).subspan(4, 4));
  ihdr[8] = static_cast<std::uint8_t>(depth);
  ihdr[9] = static_cast<std::uint8_t>(colourtype);
  chunk("IHDR", ihdr);
  for (const auto& [type, data] : middle) chunk(type.c_str(), data);
  chunk("IDAT", packed);
  chunk("IEND", {});
  return b;
}
