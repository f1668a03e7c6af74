// Colours and palettes. The working palette is sixteen blocks of sixteen entries; the
// reduced tables and the cone points follow it entry by entry (yypali, yypals).
#include "toolkit/graphics/colour.h"

#include <cmath>
#include <string>

#include "toolkit/graphics/devices.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

struct Block { int r, g, b, dr, dg, db; };
constexpr Block kBlocks[16] = {
    {255, 255, 255, -4, -4, -4}, {195, 0, 0, 4, 0, 0},     {131, 0, 0, 4, 0, 0},
    {195, 195, 0, 4, 4, 0},      {131, 131, 0, 4, 4, 0},   {0, 195, 0, 0, 4, 0},
    {0, 131, 0, 0, 4, 0},        {0, 195, 195, 0, 4, 4},   {0, 131, 131, 0, 4, 4},
    {0, 0, 195, 0, 0, 4},        {0, 0, 131, 0, 0, 4},     {195, 0, 195, 4, 0, 4},
    {131, 0, 131, 4, 0, 4},      {60, 60, 60, -4, -4, -4}, {124, 124, 124, -4, -4, -4},
    {191, 191, 191, -4, -4, -4}};
constexpr int kPalette8[8] = {0, 159, 95, 127, 31, 191, 63, 223};
constexpr int kPalette16[16] = {0, 175, 111, 143, 47, 207, 79, 239,
                                240, 159, 95, 127, 31, 191, 63, 223};
constexpr int kHueGroupSlot[2][8] = {{0, 4, 6, 2, 3, 1, 5, 7}, {0, 5, 3, 4, 1, 6, 2, 7}};
// Palette column in Palette8 order (white first), RGB column in name order (black first).
constexpr int kNamedIndex[8] = {0, 159, 95, 127, 31, 191, 63, 223};
constexpr int kNamedRgb[8] = {0x000000, 0xFF0000, 0x00FF00, 0xFFFF00,
                              0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

int huegroup(int i) { return ((i + 16) / 32) % 8; }
bool inpalette(int i) { return i >= 0 && i <= 255; }

void conepoint(int rgb, std::array<float, 3>& p) {
  float h = 0, s = 0, v = 0;
  yyrgbhsv(rgb, h, s, v);
  p = {s * v * std::cos(h), s * v * std::sin(h), v};
}

void setcurrent(int index, int rgb, int device) {
  auto& c = tessar.graphics.attributes.COLOURS;
  for (auto& pair : c) pair[PREVIOUS] = pair[CURRENT];
  c[PAIRDEVICE][CURRENT] = device;
  c[PAIRINDEX][CURRENT] = index;
  c[PAIRRGB][CURRENT] = rgb;
}

bool isclassed(int c) { return c >= 32 && c <= 128; }

}  // namespace

int wrgb(int red, int green, int blue) { return red + 256 * green + 65536 * blue; }

void wrgbsplit(int colour, int* red, int* green, int* blue) {
  if (red != nullptr) *red = colour % 256;
  if (green != nullptr) *green = (colour / 256) % 256;
  if (blue != nullptr) *blue = (colour / 65536) % 256;
}

void IGrColourN(int n) {
  GraphicsRegion& g = tessar.graphics;
  const GraphicsAttributes& at = g.attributes;
  const DeviceDescription& dd = g.description;
  int index = 0, rgb = 0;
  if (at.COLOURMODEL == 1) {
    if (!inpalette(n)) {
      yyerror(42, "IGrColourN");
      return;
    }
    index = n;
    rgb = g.palette.WORKING[n];
  } else {
    rgb = n;
    if ((at.SCREENON > 0 && dd.SCTRUECOLOUR == 0) || (at.HARDCOPYON > 0 && dd.HCTRUECOLOUR == 0))
      yyrgbto8(n, index);
    else
      index = -1;
  }
  setcurrent(index, rgb, yycnum(index));
  yygdrv(DCOLOUR);
  yyhdrv(DCOLOUR);
}

void IGrColour(std::string_view name) {
  int c = yycol(name);
  if (c == -1) {
    yyerror(42, "IGrColour");
    return;
  }
  c %= 8;
  if (tessar.graphics.attributes.COLOURMODEL == 1)
    IGrColourN(kNamedIndex[c == 0 ? 7 : c == 7 ? 0 : c]);
  else
    IGrColourN(kNamedRgb[c]);
}

void igrcolourmodel(int model) {
  GraphicsAttributes& at = tessar.graphics.attributes;
  if (model == 24) {
    at.COLOURMODEL = 2;
    return;
  }
  at.COLOURMODEL = 1;
  for (int slot : {PREVIOUS, CURRENT})
    if (at.COLOURS[PAIRINDEX][slot] == -1)
      yyrgbto8(at.COLOURS[PAIRRGB][slot], at.COLOURS[PAIRINDEX][slot]);
}

void yycon(int index, int rgb, int device, int sides) {
  setcurrent(index, rgb, device);
  if (sides != 2) yygdrv(DCOLOUR);
  if (sides != 1) yyhdrv(DCOLOUR);
}

// The table readers take the index as given; one outside its table reads as black (0)
// instead of reaching past the table.
void yypalg(int i, int& rgb) { rgb = inpalette(i) ? tessar.graphics.palette.WORKING[i] : 0; }
void yypalg8(int i, int& rgb) { rgb = i >= 0 && i < 8 ? tessar.graphics.palette.PALETTE8[i] : 0; }
void yypalg16(int i, int& rgb) {
  rgb = i >= 0 && i < 16 ? tessar.graphics.palette.PALETTE16[i] : 0;
}
void yypalg32(int i, int& rgb) {
  rgb = i >= 0 && i < 128 ? tessar.graphics.palette.CLASSTABLE[i] : 0;
}

void yypalrgb(int colour, int* red, int* green, int* blue) {
  int rgb = colour;
  if (tessar.graphics.attributes.COLOURMODEL == 1) yypalg(colour, rgb);
  wrgbsplit(rgb, red, green, blue);
}

void yypals(int i, int rgb) {
  PaletteTables& p = tessar.graphics.palette;
  if (!inpalette(i)) return;
  p.WORKING[i] = rgb;
  const int s = yycoln(huegroup(i), 0);
  p.PALETTE8[s] = rgb;
  p.PALETTE16[(i / 16) % 2 == 1 ? s + 8 : s] = rgb;
  const int cls = tessar.graphics.attributes.DEVCLASS;
  if (isclassed(cls)) p.CLASSTABLE[(i * cls) / 256] = rgb;
  conepoint(rgb, p.CONE[i]);
}

void yypali() {
  PaletteTables& p = tessar.graphics.palette;
  for (int b = 0; b < 16; ++b) {
    const Block& k = kBlocks[b];
    for (int j = 0; j < 16; ++j)
      p.WORKING[b * 16 + j] = wrgb(k.r + j * k.dr, k.g + j * k.dg, k.b + j * k.db);
  }
  for (int s = 0; s < 8; ++s) p.PALETTE8[s] = p.WORKING[kPalette8[s]];
  for (int s = 0; s < 16; ++s) p.PALETTE16[s] = p.WORKING[kPalette16[s]];
  yypalclass();
  for (int i = 0; i < 256; ++i) conepoint(p.WORKING[i], p.CONE[i]);
}

void yypalclass() {
  PaletteTables& p = tessar.graphics.palette;
  const int cls = tessar.graphics.attributes.DEVCLASS;
  if (!isclassed(cls)) return;
  const int step = 256 / cls;
  for (int k = 0; k < cls; ++k) {
    int j = k * step;
    if (j >= 16 && j <= 239) j += step - 1;
    p.CLASSTABLE[k] = p.WORKING[j];
  }
}

void yyrgbto8(int rgb, int& index) {
  const PaletteTables& p = tessar.graphics.palette;
  for (int i = 0; i < 256; ++i) {
    if (p.WORKING[i] == rgb) {
      index = i;
      return;
    }
  }
  std::array<float, 3> q{};
  conepoint(rgb, q);
  float best = 9999999.0f;
  int found = 0;
  for (int i = 0; i < 256; ++i) {
    const float dx = p.CONE[i][0] - q[0], dy = p.CONE[i][1] - q[1], dz = p.CONE[i][2] - q[2];
    const float d = dx * dx + dy * dy + dz * dz;
    if (d < best) {
      best = d;
      found = i;
    }
  }
  index = found;
}

int yycol(std::string_view name) {
  int first = 0, last = 0;
  ilocatestring(name, first, last);
  if (first == 0) return -1;
  std::string word(4, ' ');
  assignfixed(word, name.substr(first - 1, std::min(last - first + 1, 4)));
  iuppercase(word);
  int offset = 0;
  std::string_view at(word);
  if (word[0] == 'B' && word[1] != 'L') {
    offset = 8;
    at.remove_prefix(1);
  }
  int number = -1;
  if (at.substr(0, 3) == "BLA") {
    number = 0;
  } else if (at.substr(0, 3) == "BLU") {
    number = 1;
  } else {
    const std::string_view letters = "GCRMYW";
    const std::size_t k = letters.find(at[0]);
    if (k != std::string_view::npos) number = static_cast<int>(k) + 2;
  }
  return number == -1 ? -1 : offset + number;
}

int yycnum(int index) {
  static int last = 0;
  const int cls = tessar.graphics.attributes.DEVCLASS;
  if (index == -1) return last = -1;
  if (index == 0) return last = 0;
  switch (cls) {
    case 1: case 2:
      return last = 1;
    case 4: case 8:
      return last = yycoln(huegroup(index), 0);
    case 16:
      return last = yycoln(huegroup(index), 0) + (((index + 16) % 32) < 16 ? 8 : 0);
    case 32: case 64: case 128:
      return last = (index * cls) / 256;
    case 256:
      return last = index % 256;
    default:
      return last;
  }
}

int yycoln(int group, int row) {
  if (group < 0 || group > 15) return -1;
  return kHueGroupSlot[row == 1 ? 1 : 0][group % 8] + (group >= 8 ? 8 : 0);
}

void yyrgbhsv(int rgb, float& hue, float& saturation, float& value) {
  constexpr float k = 0.0039215689f;
  const int r = rgb % 256, g = (rgb / 256) % 256, b = (rgb / 65536) % 256;
  const int mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
  const float v = static_cast<float>(mx) * k;
  value = v;
  if (mx == mn) {
    saturation = 0;
    hue = 0;
    return;
  }
  const float R = static_cast<float>(r) * k, G = static_cast<float>(g) * k,
              B = static_cast<float>(b) * k, MIN = static_cast<float>(mn) * k;
  const float d = v - MIN;
  auto ismax = [&](float c) { return std::fabs(v - c) < 0.039f; };
  auto ismin = [&](float c) { return std::fabs(MIN - c) < 0.039f; };
  float h;
  if (ismax(R))
    h = ismin(G) ? 5 + (v - B) / d : 1 - (v - G) / d;
  else if (ismax(G))
    h = ismin(B) ? 1 + (v - R) / d : 3 - (v - B) / d;
  else
    h = ismin(R) ? 3 + (v - G) / d : 5 - (v - R) / d;
  saturation = d / v;
  hue = h * 60.0f * 0.017453292f;
}
