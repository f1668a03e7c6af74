// Ordered dithering: the placement rule, the patterns of the drawing colour and the
// colour-cube tables. Lit cells are laid in evenly spaced runs and gaps from a start that
// differs per component; repeated rows are then rotated apart, so that the three planes of
// a colour page do not print the same dots.
#include "toolkit/raster/dither.h"

#include <algorithm>
#include <array>

#include "toolkit/graphics/colour.h"
#include "toolkit/state/tessar.h"

namespace {

std::uint32_t rotate8(std::uint32_t r, int s) {
  const std::uint32_t w = r << s;
  return (w + ((w & 0xFF00u) >> 8)) & 0xFFu;
}

// Intensity of a component level 0-255; the reciprocal is a single-precision constant.
float intensity(int level) { return static_cast<float>(level) * (1.0f / 255.0f); }

}  // namespace

std::uint32_t yydithplace(float v, int c) {
  int n = static_cast<int>(32.0f * v + 0.5f);
  if (n <= 0) return 0;
  if (v > 0.975f) return 0xFFFFFFFFu;

  const int run = std::max(n / std::max(32 - n, 1), 1);
  const int gap = std::max((32 - n) / std::max(n, 1), 1);
  int pos = ((c + 2) * (n / (c + 1))) % 32;
  int k = 0;
  std::uint32_t pattern = 0;
  for (int step = 0; step < 32; ++step) {
    if (k < run && n >= 1 && (pattern & (1u << pos)) == 0) {
      pattern |= 1u << pos;
      pos = (pos + 1) % 32;
      --n;
      ++k;
    } else {
      pos = (pos + gap) % 32;
      k = 0;
    }
  }
  for (int j = 0; j < 32 && n > 0; ++j) {
    if ((pattern & (1u << j)) == 0) {
      pattern |= 1u << j;
      if (--n == 0) break;
    }
    if ((pattern & (1u << (31 - j))) == 0) {
      pattern |= 1u << (31 - j);
      --n;
    }
  }

  std::array<std::uint32_t, 4> row{};
  for (int r = 0; r < 4; ++r) row[r] = (pattern >> (8 * r)) & 0xFFu;
  for (int i = 0; i < 4; ++i) {
    if (row[i] == 0 || row[i] == 0xFF) continue;
    for (int j = i + 1; j < 4; ++j) {
      if (row[j] == row[i]) row[j] = rotate8(row[j], c + 2);
      for (int m = j - 1; m >= 0; --m)
        if (row[m] == row[j]) row[m] = rotate8(row[m], c + 1);
    }
  }
  return row[0] | (row[1] << 8) | (row[2] << 16) | (row[3] << 24);
}

void yydith(int colourkind, std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) {
  const GraphicsAttributes& ga = tessar.graphics.attributes;
  const int option6 = tessar.hardcopy.HCOPTIONS[5];
  int r = 0, g = 0, b = 0;
  yypalrgb(ga.COLOURS[static_cast<std::size_t>(ga.COLOURMODEL)][CURRENT], &r, &g, &b);

  const bool nearblack = r < 10 && g < 10 && b < 10;
  const bool nearwhite = r > 245 && g > 245 && b > 245;
  if (option6 == 1 || (option6 == 2 && (nearblack || nearwhite))) {
    r = 255 - r; g = 255 - g; b = 255 - b;
  }
  const int colours = tessar.graphics.operands.HCCOLOURS;
  if (colourkind == 2 && colours > 2) {
    r = 255 - r; g = 255 - g; b = 255 - b;
  }

  if (colours == 2) {
    const float grey = (0.35f * static_cast<float>(r) + 0.59f * static_cast<float>(g) +
                        0.11f * static_cast<float>(b)) * (1.0f / 255.0f);
    // Lit cells are light; the raster device writes a set bit as ink, so hand it the
    // complement. Option 6 has already acted on the colour itself.
    const std::uint32_t ink = ~yydithplace(grey, 1);
    red = green = blue = ink;
    return;
  }
  const std::uint32_t p1 = yydithplace(intensity(r), 1);
  if (std::max({r, g, b}) - std::min({r, g, b}) < 4) {
    red = green = blue = p1;
    return;
  }
  red = p1;
  green = yydithplace(intensity(g), 2);
  blue = yydithplace(intensity(b), 3);
}

void yydith2() {
  RasterRegion& rr = tessar.raster;
  auto level = [](int index) { return index == 0 ? 0 : 16 * index + 15; };
  for (int bi = 0; bi < 16; ++bi) {
    for (int gi = 0; gi < 16; ++gi) {
      for (int ri = 0; ri < 16; ++ri) {
        const std::size_t i = static_cast<std::size_t>(256 * bi + 16 * gi + ri);
        const int lr = level(ri), lg = level(gi), lb = level(bi);
        const std::uint32_t red = yydithplace(intensity(lr), 1);
        if (std::max({lr, lg, lb}) - std::min({lr, lg, lb}) < 4) {
          rr.CUBERED[i] = rr.CUBEGREEN[i] = rr.CUBEBLUE[i] = red;
          continue;
        }
        rr.CUBERED[i] = red;
        rr.CUBEGREEN[i] = yydithplace(intensity(lg), 2);
        rr.CUBEBLUE[i] = yydithplace(intensity(lb), 3);
      }
    }
  }
}
