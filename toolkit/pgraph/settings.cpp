// Chart settings.
#include "toolkit/pgraph/settings.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "toolkit/graphics/colour.h"
#include "toolkit/state/tessar.h"

namespace {

constexpr float kDegree = static_cast<float>(std::numbers::pi / 180);

bool validset(int set) { return set >= 1 && set <= 500; }

// Clamped to 0..1; written so that NaN gives 0.
float unit(float v) { return !(v > 0) ? 0.0f : std::min(v, 1.0f); }
// Values not above 0 give 0; no upper limit.
float nonnegative(float v) { return !(v > 0) ? 0.0f : v; }

void scaleangle(int axis, float angle, float textangle) {
  PlotDefinition& pd = tessar.pgraph.plot;
  pd.SCALEANGLE[axis] = angle * kDegree;
  pd.SCALETEXTANGLE[axis] = textangle;
}

void userscale(int axis, std::span<const float> positions, int n) {
  PlotDefinition& pd = tessar.pgraph.plot;
  if (n <= 0) {
    pd.NUSERTICKS[axis] = n;
    return;
  }
  // Never more positions than were given.
  const int count = std::min({n, 100, static_cast<int>(positions.size())});
  pd.NUSERTICKS[axis] = count;
  std::array<float, 100>& t = pd.USERTICKS[axis];
  std::copy_n(positions.begin(), count, t.begin());
  for (int i = 0; i < count; ++i)
    for (int j = i; j < count; ++j)
      if (t[i] > t[j]) std::swap(t[i], t[j]);
}

}  // namespace

void ipgstyle(int set, const SetStyle& s) {
  PlotDefinition& pd = tessar.pgraph.plot;
  if (!validset(set)) return;
  std::array<int, 3>& style = pd.SETSTYLE[set - 1];
  std::array<int, 2>& colour = pd.SETCOLOUR[set - 1];
  if (s.a) style[0] = *s.a;
  if (s.b) style[1] = *s.b;
  if (s.c) style[2] = *s.c;
  if (s.colour1) colour[0] = *s.colour1;
  if (s.colour2) colour[1] = *s.colour2;
}

void ipgmarker(int set, int marker) {
  if (validset(set)) tessar.pgraph.plot.SETMARKER[set - 1] = marker;
}

void ipgstyleoutline(int colour) {
  PlotDefinition& pd = tessar.pgraph.plot;
  if (tessar.graphics.attributes.COLOURMODEL == 1) {
    pd.OUTLINECOLOUR = colour;
    yypalg(colour, pd.OUTLINERGB);
  } else {
    pd.OUTLINERGB = colour;
    yyrgbto8(colour, pd.OUTLINECOLOUR);
  }
}

void ipggriddirection(int n) { tessar.pgraph.plot.GRIDDIRECTION = n; }

void ipgelevation(float angle) {
  const float a = !(angle > 0) ? 0.0f : std::min(angle, 45.0f);
  tessar.pgraph.plot.ELEVATION = a * (1.0f / 45.0f);
}

void ipgrotation(float angle) {
  PlotDefinition& pd = tessar.pgraph.plot;
  if (!(angle < 360 && angle > -360)) angle = 0;
  if (angle < 0) angle += 360;
  pd.ROTATION = angle;
  pd.ROTCOS1 = std::cos((angle - 45) * kDegree);
  pd.ROTCOS2 = std::cos((angle + 45) * kDegree);
}

void ipgxscaleangle(float angle, float textangle) { scaleangle(0, angle, textangle); }
void ipgyscaleangle(float angle, float textangle) { scaleangle(1, angle, textangle); }
void ipgzscaleangle(float angle, float textangle) { scaleangle(2, angle, textangle); }

void ipgxscalepos(float position) { tessar.pgraph.plot.XSCALEPOS = unit(position); }
void ipgyscalepos(float position) { tessar.pgraph.plot.YSCALEPOS = nonnegative(position); }
void ipgxlabelpos(float position) { tessar.pgraph.plot.XLABELPOS = unit(position); }
void ipgylabelpos(float position) { tessar.pgraph.plot.YLABELPOS = unit(position); }
void ipgzlabelpos(float position) { tessar.pgraph.plot.ZLABELPOS = unit(position); }
void ipgtitlepos(float position) { tessar.pgraph.plot.TITLEPOS = unit(position); }
void ipgxkeypos(float position) { tessar.pgraph.plot.KEYPOS = unit(position); }
void ipgxticklength(float factor) { tessar.pgraph.plot.TICKLENGTH[0] = nonnegative(factor); }
void ipgyticklength(float factor) { tessar.pgraph.plot.TICKLENGTH[1] = nonnegative(factor); }
void ipgzticklength(float factor) { tessar.pgraph.plot.TICKLENGTH[2] = nonnegative(factor); }

void ipgxtickpos1(float p1, float p2) {
  PlotDefinition& pd = tessar.pgraph.plot;
  if (p2 >= p1) {
    pd.XTICKPOS = {p1, p2};
    pd.XTICKPOSSET = {1, 1};
  } else {
    pd.XTICKPOSSET = {0, 0};
  }
}

void ipgytickpos1(float p1, float p2) {
  PlotDefinition& pd = tessar.pgraph.plot;
  if (p2 >= p1) {
    pd.YTICKPOS = {p1, p2};
    pd.YTICKPOSSET = {1, 1};
  } else {
    pd.YTICKPOSSET = {0, 0};
  }
}

void ipgxtickpos2(int scale, std::optional<float> position) {
  PlotDefinition& pd = tessar.pgraph.plot;
  if (scale != 1 && scale != 2) return;
  if (position) pd.XTICKPOS[scale - 1] = *position;
  pd.XTICKPOSSET[scale - 1] = position ? 1 : 0;
}

void ipgytickpos2(int scale, std::optional<float> position) {
  PlotDefinition& pd = tessar.pgraph.plot;
  if (scale != 1 && scale != 2) return;
  if (position) pd.YTICKPOS[scale - 1] = *position;
  pd.YTICKPOSSET[scale - 1] = position ? 1 : 0;
}

void ipgconfill2granul(int n) {
  if (n > 0) tessar.pgraph.plot.CONTOURGRANUL = n;
}

void ipgmarkerfrequency(int first, int interval) {
  tessar.pgraph.plot.MARKERFREQ = {std::max(first, 1), std::max(interval, 1)};
}

void ipgdecimalplaces(int n) { tessar.pgraph.plot.DECIMALPLACES = n; }

void ipgxuserscale(std::span<const float> positions, int n) { userscale(0, positions, n); }
void ipgyuserscale(std::span<const float> positions, int n) { userscale(1, positions, n); }
void ipgzuserscale(std::span<const float> positions, int n) { userscale(2, positions, n); }

void ipgmissingdata(std::optional<float> value1, std::optional<float> value2,
                    std::optional<double> value3) {
  PlotDefinition& pd = tessar.pgraph.plot;
  pd.MISSINGSET = {value1 ? 1 : 0, value2 ? 1 : 0, value3 ? 1 : 0};
  if (value1) pd.MISSINGVALUE = *value1;
  if (value2) pd.MISSINGVALUE2 = *value2;
  if (value3) pd.MISSINGVALUE3 = *value3;
}

bool yypgdatar(float value) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  return pd.MISSINGSET[0] == 0 || value != pd.MISSINGVALUE;
}
