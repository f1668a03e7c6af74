// The chart definition and its per-type defaults.
#include "toolkit/pgraph/definition.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "toolkit/pgraph/mapping.h"
#include "toolkit/state/tessar.h"

namespace {

constexpr float kQuarterPi = static_cast<float>(std::numbers::pi / 4);

int valueat(std::span<const int> v, std::size_t i) { return i < v.size() ? v[i] : 0; }

enum Scheme { S1 = 1, S2, S3, S4, S5, S6, S7, S8, S9 };

void applyscheme(PlotDefinition& pd, Scheme scheme, int n) {
  for (int k = 1; k <= n; ++k) {
    std::array<int, 3>& style = pd.SETSTYLE[k - 1];
    int& marker = pd.SETMARKER[k - 1];
    switch (scheme) {
      case S1:
        style[0] = 4;
        break;
      case S2:
        style = {-((k - 1) % 7), 1, 0};
        marker = k;
        break;
      case S4:
        style = {-((k - 1) % 7), 0, 0};
        break;
      case S5: {
        const int j = (k - 1) % 92;
        if (j < 40) {
          style[1] = 3;
          marker = j + 1;
        } else {
          style[1] = 2;
          marker = j - 39;
        }
        break;
      }
      case S6:
        style = {3, 3, 1};
        marker = (k % 14) + 13;
        break;
      case S7:
        style[0] = 0;
        style[1] = 2;
        pd.SETCOLOUR[k - 1][0] = tessar.graphics.attributes.COLOURMODEL == 1 ? 223 : 0;
        break;
      case S8:
        style[0] = 0;
        style[1] = 5;
        break;
      case S9:
        style[0] = 4;
        style[1] = 0;
        break;
      case S3:
        break;
    }
  }
  if (scheme == S3) {
    const bool palette = tessar.graphics.attributes.COLOURMODEL == 1;
    pd.SETSTYLE[0][0] = 4;
    pd.SETSTYLE[1][0] = 4;
    pd.SETCOLOUR[0][0] = palette ? 31 : 255;
    pd.SETCOLOUR[1][0] = palette ? 63 : 65535;
    return;
  }
  if (scheme == S7) return;
  if (tessar.graphics.attributes.COLOURMODEL == 1) {
    int c = 0;
    for (int k = 1; k <= n; ++k) {
      pd.SETCOLOUR[k - 1] = {c + 32, c + 64};
      c = (c + 36 + (k % 4)) % 176;
    }
  } else {
    for (int k = 1; k <= n; ++k) {
      const int m = 256 - k;
      const int red = 223 - 32 * (k % 4) + m / 32;
      const int green = 127 + 16 * (k % 9);
      const int blue = 127 + 32 * (k % 5);
      pd.SETCOLOUR[k - 1] = {red + 256 * green + 65536 * blue,
                             (255 - red) + 256 * green + 65536 * blue};
    }
  }
}

}  // namespace

int yypgmarkerfreq(int n) {
  if (n <= 12) return 1;
  int c = n, e = 0;
  while (c > 10) {
    c /= 10;
    ++e;
  }
  int p = 1;   // 10 to the power e - 1
  for (int i = 1; i < e; ++i) p *= 10;
  if (c < 3) return 2 * p;
  if (c < 7) return 5 * p;
  return 10 * p;
}

void ipgnewplot1(int type, int nsets, std::span<const int> nvalues, std::optional<int> options,
                 std::optional<int> defaults) {
  PlotDefinition& pd = tessar.pgraph.plot;
  pd.NSETS = std::clamp(nsets, 1, 500);
  pd.NVALUES[0] = std::max(valueat(nvalues, 0), 1);
  pd.RNVALUES1 = static_cast<float>(pd.NVALUES[0]);
  pd.RNSTEPS1 = static_cast<float>(pd.NVALUES[0] - 1);
  pd.CURRENTSET = 0;
  pd.PGTYPE = (type < 1 || type > 11) ? 4 : type;

  const std::size_t sets = static_cast<std::size_t>(pd.NSETS);
  if (pd.PGTYPE == 3 && pd.PGPIESIZE < pd.NSETS) {
    pd.PGPIE.assign(sets, {});
    pd.PGPIESIZE = pd.NSETS;
  }
  if ((pd.PGTYPE == 4 || pd.PGTYPE == 6) && pd.PGENDSIZE < pd.NSETS) {
    pd.XPGEND.assign(sets, 0.0f);
    pd.YPGEND.assign(sets, 0.0f);
    pd.PGENDSIZE = pd.NSETS;
  }

  pd.PGOPTIONS = options.value_or(0);
  const int d = defaults.value_or(0);
  const int o = pd.PGOPTIONS;
  const int t = pd.PGTYPE;

  pd.THREED = (o & 1) != 0;
  pd.THREEDXY = pd.THREED && (t == 5 || t == 6 || t == 7 || t == 8 || t == 10);
  if (t > 2 && pd.THREEDXY == 0) pd.THREED = 0;
  pd.OPT2 = (o & 2) != 0;
  pd.OPT8 = (o & 8) != 0;
  pd.OPT20 = (o & 0x20) != 0;
  pd.POLAR = (o & 0x40) != 0;
  pd.SMOOTH = (o & 0x80) != 0;
  pd.PROPDEPTH = (o & 0x200) != 0;
  pd.STACKED = (o & 0x400) != 0;
  pd.OPT800 = (o & 0x800) != 0;
  pd.PGMODE = (o & 4) ? 1 : (o & 0x100) ? 2 : (o & 0x10) ? 3 : 0;
  if (t == 1 && pd.OPT20) {
    pd.THREED = 0;
    pd.STACKED = 0;
  }
  if (pd.THREED) pd.POLAR = 0;

  if (t == 8 || pd.THREEDXY || t == 10) {
    pd.NVALUES[0] = std::max(valueat(nvalues, 0), 2);
    pd.RNVALUES1 = static_cast<float>(pd.NVALUES[0]);
    pd.RNSTEPS1 = static_cast<float>(pd.NVALUES[0] - 1);
    pd.NVALUES[1] = (t == 6 || t == 7) ? pd.NVALUES[0] : std::max(valueat(nvalues, 1), 2);
    if (t == 10) pd.NVALUES[2] = std::max(valueat(nvalues, 2), 2);
    pd.RNVALUES2 = static_cast<float>(pd.NVALUES[1]);
    pd.RNSTEPS2 = static_cast<float>(pd.NVALUES[1] - 1);
    if (pd.THREED) {
      if (!pd.PROPDEPTH)
        pd.DEPTHRATIO = 0.5f;
      else if (pd.NVALUES[0] <= pd.NVALUES[1])
        pd.DEPTHRATIO = 0.5f * pd.RNVALUES1 / pd.RNVALUES2;
      else
        pd.DEPTHRATIO = 1 - 0.5f * pd.RNVALUES2 / pd.RNVALUES1;
    }
  }
  pd.DEPTHSHIFT = std::min(0.6f / pd.RNVALUES1, 0.25f);
  yyplog();
  if (d == 0) return;

  int n = pd.NSETS;
  Scheme scheme = S1;
  switch (t) {
    case 1: case 2: case 3:
      pd.OUTLINECOLOUR = 223;
      pd.OUTLINERGB = 0;
      scheme = S1;
      break;
    case 4:
      scheme = S2;
      pd.MARKERFREQ[0] = pd.MARKERFREQ[1] = yypgmarkerfreq(pd.NVALUES[0]);
      break;
    case 6:
      scheme = S4;
      break;
    case 7:
      scheme = pd.THREED ? S6 : S5;
      break;
    case 9:
      scheme = S7;
      break;
    case 10:
      scheme = S1;
      break;
    case 11:
      scheme = S9;
      break;
    default:   // 5 and 8
      if (pd.THREED) {
        pd.GRIDDIRECTION = 3;
        if (pd.PGMODE == 3) {
          scheme = S3;
          pd.KEYPOS = 0.6f;
        } else {
          scheme = S1;
          pd.KEYPOS = 0.7f;
          if (!pd.OPT20) n = 2;
        }
      } else if (t == 5) {
        scheme = S2;
      } else {
        const int g = std::max(150 / std::max(pd.NVALUES[0], pd.NVALUES[1]), 1);
        if (pd.PGMODE == 3) {
          scheme = S3;
          pd.CONTOURGRANUL = g;
        } else if (!pd.OPT8) {
          scheme = S8;
        } else {
          scheme = S1;
          if (pd.PGMODE == 0) pd.CONTOURGRANUL = g;
        }
      }
      break;
  }
  applyscheme(pd, scheme, n);

  if (pd.THREED && t >= 5) {
    pd.SCALETEXTANGLE = {-45, 45, 0};
    pd.SCALEANGLE = {-kQuarterPi, kQuarterPi, 0};
    pd.ELEVATION = 0.5f;
    pd.ROTATION = 0;
    pd.ROTCOS1 = static_cast<float>(std::cos(-std::numbers::pi / 4));
    pd.ROTCOS2 = static_cast<float>(std::cos(std::numbers::pi / 4));
    pd.XLABELPOS = pd.YLABELPOS = 0.6f;
    if (t == 5 || t == 8 || t == 10) {
      pd.WALLFILL = 4;
      if (tessar.graphics.attributes.COLOURMODEL == 1)
        pd.WALLCOLOUR = {255, 255, 255};
      else
        pd.WALLCOLOUR = {8618883, 8618883, 8618883};
    } else {
      pd.WALLFILL = 0;
    }
  } else {
    pd.SCALETEXTANGLE[0] = pd.SCALETEXTANGLE[1] = 0;
    pd.SCALEANGLE[0] = pd.SCALEANGLE[1] = 0;
    pd.XLABELPOS = 0.7f;
    pd.YLABELPOS = 0.8f;
  }
  pd.TITLEPOS = t == 9 ? 0.75f : pd.POLAR ? 0.65f : 0.5f;
}

void ipgnewplot2(int type, int nsets, std::span<const int> nvalues, std::optional<int> options,
                 std::optional<int> defaults) {
  ipgnewplot1(type, nsets, nvalues, options, defaults);
}

void yypgreset() {
  PlotDefinition& pd = tessar.pgraph.plot;
  pd.PGAREA = {0.1f, 0.9f, 0.1f, 0.9f};
  pd.PGZMIN = 0;
  pd.PGZMAX = 1;
  pd.PGZRANGE = 1;
  pd.PGRMAX = 1;
  ipgunits(0, 0, 1, 1);
  const int one[1] = {1};
  ipgnewplot1(4, 500, one);
  pd.ROTCOS1 = static_cast<float>(std::cos(-std::numbers::pi / 4));
  pd.ROTCOS2 = static_cast<float>(std::cos(std::numbers::pi / 4));
  pd.GRIDDIRECTION = 3;
  pd.ELEVATION = 0.5f;
  pd.ROTATION = 0;
  pd.CONTOURGRANUL = 1;
  pd.XSCALEPOS = 0.38f;
  pd.YSCALEPOS = 1.5f;
  pd.XLABELPOS = 0.7f;
  pd.YLABELPOS = 0.8f;
  pd.ZLABELPOS = 0.8f;
  pd.TITLEPOS = 0.5f;
  pd.KEYPOS = 0.7f;
  pd.KEYAREA = {1, 0, 1, 0};
  pd.DECIMALPLACES = -1;
  pd.XTICKPOSSET = {0, 0};
  pd.YTICKPOSSET = {0, 0};
  for (int k = 1; k <= 500; ++k) {
    pd.SETSTYLE[k - 1] = {4, 2, 0};
    pd.SETCOLOUR[k - 1] = {32 * ((k % 6) + 1), 32 * ((k % 6) + 2)};
    pd.SETMARKER[k - 1] = -1;
  }
  pd.NUSERTICKS = {0, 0, 0};
  pd.SCALEANGLE = {0, 0, 0};
  pd.TICKLENGTH = {1, 1, 1};
  pd.SCALETEXTANGLE = {0, 0, 0};
  pd.OUTLINECOLOUR = 223;
  pd.OUTLINERGB = 0;
  pd.WALLFILL = 0;
  pd.CLIPTOAREA = 0;
  pd.MARKERFREQ = {1, 1};
  pd.SCALEGAPW = 0.6f;
  pd.SCALEGAPH = 0.4f;
  pd.MISSINGSET = {0, 0, 0};
}
