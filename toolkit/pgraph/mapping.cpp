// Plot area, units and mapping. Plot units may run reversed (minimum above maximum); a
// range of zero width, or one whose ends or width are not finite, is refused with error 16.
#include "toolkit/pgraph/mapping.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "toolkit/graphics/area.h"
#include "toolkit/graphics/graphics_state.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

// A usable range: distinct finite ends whose difference is finite too.
bool usable(float a, float b) { return a != b && std::isfinite(b - a); }

struct SavedPlotState {
  float ax1 = 0, ay1 = 0, ax2 = 1, ay2 = 1;
  float gx1 = 0, gy1 = 0, gx2 = 1, gy2 = 1;
  std::array<float, 4> pgarea{};
  int outline = 1, justify = 1;
  float slant = 0;
};
SavedPlotState saved;

bool islog(std::string_view scale) {
  std::string three(3, ' ');
  assignfixed(three, scale);
  iuppercase(three);
  return three == "LOG";
}

}  // namespace

void IPgArea(float x1, float y1, float x2, float y2) {
  std::array<float, 4>& a = tessar.pgraph.plot.PGAREA;
  if (x1 >= 0 && x1 < 1) a[0] = x1;
  if (x2 > 0 && x2 <= 1) a[1] = x2;
  if (y1 >= 0 && y1 < 1) a[2] = y1;
  if (y2 > 0 && y2 <= 1) a[3] = y2;
}

void ipgunits(float xmin, float ymin, float xmax, float ymax) {
  PlotDefinition& pd = tessar.pgraph.plot;
  if (usable(xmin, xmax)) {
    pd.PGXMIN = xmin;
    pd.PGXMAX = xmax;
  } else {
    pd.PGXMIN = 0;
    pd.PGXMAX = 1;
    yyerror(16, "IPgArea");
  }
  if (usable(ymin, ymax)) {
    pd.PGYMIN = ymin;
    pd.PGYMAX = ymax;
  } else {
    pd.PGYMIN = 0;
    pd.PGYMAX = 1;
    yyerror(16, "IPgArea");
  }
  pd.PGXRANGE = pd.PGXMAX - pd.PGXMIN;
  pd.PGYRANGE = pd.PGYMAX - pd.PGYMIN;
  pd.PGXLOW = std::min(pd.PGXMIN, pd.PGXMAX);
  pd.PGXHIGH = std::max(pd.PGXMIN, pd.PGXMAX);
  pd.PGYLOW = std::min(pd.PGYMIN, pd.PGYMAX);
  pd.PGYHIGH = std::max(pd.PGYMIN, pd.PGYMAX);
  yyplog();
}

void IPgUnitsZ(float zmin, float zmax) {
  PlotDefinition& pd = tessar.pgraph.plot;
  if (zmin < zmax && usable(zmin, zmax)) {
    pd.PGZMIN = zmin;
    pd.PGZMAX = zmax;
  } else {
    pd.PGZMIN = 0;
    pd.PGZMAX = 1;
    yyerror(16, "IPgUnitsZ");
  }
  pd.PGZRANGE = pd.PGZMAX - pd.PGZMIN;
}

void IPgUnitsPolar(float rmax) {
  PlotDefinition& pd = tessar.pgraph.plot;
  if (rmax > 0 && std::isfinite(rmax)) {
    pd.PGRMAX = rmax;
  } else {
    pd.PGRMAX = 1;
    yyerror(16, "IPgUnitsPolar");
  }
  yyplog();
}

void ipgscaling(std::string_view xscale, std::string_view yscale) {
  PlotDefinition& pd = tessar.pgraph.plot;
  pd.XLOGREQUEST = islog(xscale) ? 1 : 0;
  pd.YLOGREQUEST = islog(yscale) ? 1 : 0;
  yyplog();
}

void yyplog() {
  PlotDefinition& pd = tessar.pgraph.plot;
  pd.XLOG = pd.XLOGREQUEST && pd.PGTYPE != 1 && pd.THREED == 0 && pd.POLAR == 0;
  pd.YLOG = pd.YLOGREQUEST && pd.PGTYPE != 2 && pd.THREED == 0;
  if (pd.XLOG) {
    pd.LOGXMIN = yylog1(pd.PGXMIN);
    pd.LOGXMAX = yylog1(pd.PGXMAX);
    pd.LOGXRANGE = pd.LOGXMAX - pd.LOGXMIN;
  }
  if (pd.YLOG) {
    pd.LOGYMIN = yylog1(pd.PGYMIN);
    pd.LOGYMAX = yylog1(pd.PGYMAX);
    pd.LOGYRANGE = pd.LOGYMAX - pd.LOGYMIN;
    pd.LOGRMAX = yylog1(pd.PGRMAX);
    pd.LOGRRANGE = pd.LOGRMAX + 38;
  }
}

float yylog1(float x) {
  if (x == 0) return -38.0f;
  return static_cast<float>(std::log10(std::fabs(static_cast<double>(x))));
}

float yyp2x(float x) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  const GraphicsArea& ar = tessar.graphics.area;
  const float t = pd.XLOG ? (yylog1(x) - pd.LOGXMIN) / pd.LOGXRANGE : (x - pd.PGXMIN) / pd.PGXRANGE;
  return ar.GX1 + (pd.PGAREA[0] + t * (pd.PGAREA[1] - pd.PGAREA[0])) * ar.GXRANGE;
}

float yyp2y(float y) {
  const PlotDefinition& pd = tessar.pgraph.plot;
  const GraphicsArea& ar = tessar.graphics.area;
  const float t = pd.YLOG ? (yylog1(y) - pd.LOGYMIN) / pd.LOGYRANGE : (y - pd.PGYMIN) / pd.PGYRANGE;
  return ar.GY1 + (pd.PGAREA[2] + t * (pd.PGAREA[3] - pd.PGAREA[2])) * ar.GYRANGE;
}

void ipgunitstogrunits(float x, float y, float& gx, float& gy) {
  gx = yyp2x(x);
  gy = yyp2y(y);
}

void ipgcliprectangle(std::string_view option) {
  const bool p = option.find('P') != std::string_view::npos ||
                 option.find('p') != std::string_view::npos;
  tessar.pgraph.plot.CLIPTOAREA = p ? 1 : 0;
}

void yysavp() {
  PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  GraphicsArea& ar = g.area;
  if (pd.CLIPTOAREA == 1) {
    saved.ax1 = ar.AX1; saved.ay1 = ar.AY1; saved.ax2 = ar.AX2; saved.ay2 = ar.AY2;
    saved.pgarea = pd.PGAREA;
    saved.gx1 = ar.GX1; saved.gy1 = ar.GY1; saved.gx2 = ar.GX2; saved.gy2 = ar.GY2;
    const float w = ar.AX2 - ar.AX1, h = ar.AY2 - ar.AY1;
    ar.AREAW = w;
    ar.AREAH = h;
    const float ax = ar.AX1, ay = ar.AY1;
    const float px1 = pd.PGAREA[0], px2 = pd.PGAREA[1], py1 = pd.PGAREA[2], py2 = pd.PGAREA[3];
    bool set = true;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    switch (ar.PAGEROTATION) {
      case 0:
        x1 = ax + px1 * w; y1 = ay + py1 * h; x2 = ax + px2 * w; y2 = ay + py2 * h;
        break;
      case 90:
        x1 = ax + (1 - py2) * w; y1 = ay + px1 * h; x2 = ax + (1 - py1) * w; y2 = ay + px2 * h;
        break;
      case 180:
        x1 = ax + (1 - px2) * w; y1 = ay + (1 - py2) * h;
        x2 = ax + (1 - px1) * w; y2 = ay + (1 - py1) * h;
        break;
      case 270:
        x1 = ax + py1 * w; y1 = ay + (1 - px2) * h; x2 = ax + py2 * w; y2 = ay + (1 - px1) * h;
        break;
      default:
        set = false;
        break;
    }
    if (set) IGrViewport(x1, y1, x2, y2);
    IPgArea(0, 0, 1, 1);
  }
  yysav(0);
  saved.outline = g.attributes.OUTLINE;
  saved.justify = g.text.JUSTIFY;
  saved.slant = g.text.SLANT;
}

void yyresp() {
  PlotDefinition& pd = tessar.pgraph.plot;
  GraphicsRegion& g = tessar.graphics;
  if (pd.CLIPTOAREA == 1) {
    IGrArea(saved.ax1, saved.ay1, saved.ax2, saved.ay2);
    IGrUnits(saved.gx1, saved.gy1, saved.gx2, saved.gy2);
    IPgArea(saved.pgarea[0], saved.pgarea[2], saved.pgarea[1], saved.pgarea[3]);
  }
  yysav(1);
  g.text.JUSTIFY = saved.justify;
  g.text.SLANT = saved.slant;
  g.attributes.OUTLINE = saved.outline;
}
