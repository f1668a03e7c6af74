// Graphics state, areas and units.
// Invariants kept here: 0 <= AX1 < AX2 <= 1 and 0 <= AY1 < AY2 <= 1; GX1 < GX2 and GY1 < GY2;
// the clip box lies within 0 .. drawable size - 0.01.
#include "toolkit/graphics/area.h"

#include <cmath>
#include <string>

#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/text.h"
#include "toolkit/text/errors.h"

namespace {

// An option letter in the case given or, failing that, in lower case.
bool hasoption(std::string_view options, char letter) {
  const char lower = static_cast<char>(letter - 'A' + 'a');
  return options.find(letter) != std::string_view::npos ||
         options.find(lower) != std::string_view::npos;
}

struct SavedAttributes {
  std::array<std::array<int, 2>, 3> colours{};
  int linetype = 0, direction = 0, fillstyle = 0, hatchangle = 0, hatchdensity = 0;
  float ax1 = 0, ay1 = 0, ax2 = 1, ay2 = 1;
};
SavedAttributes saved;

}  // namespace

void igrinit(std::string_view options) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsArea& ar = g.area;
  GraphicsAttributes& at = g.attributes;
  DeviceOperands& op = g.operands;

  ar.AX1 = 0; ar.AY1 = 0; ar.AX2 = 1; ar.AY2 = 1;
  ar.GXRANGE = 1; ar.GYRANGE = 1;
  ar.AREAW = 1; ar.AREAH = 1;
  ar.PAGEROTATION = 0;

  yytextreset();

  at.COLOURS[PAIRINDEX] = {0, 223};
  at.COLOURS[PAIRRGB] = {0xFFFFFF, 0};
  at.STROKETEXT = 0;
  at.COLOURMODEL = 1;
  at.PLOTMODE = 0;
  at.LINETYPE = 0;
  at.LINEWIDTH = 1;
  at.LINEFACTOR = 5;

  if (!hasoption(options, 'H')) {
    at.SCREENON = 1;
    yygdrv(DBEGINPLOT);
  } else {
    at.SCREENON = 0;
  }

  if (graphicsservices.IGrSelect != nullptr)
    graphicsservices.IGrSelect(1, tessar.window.CURWINDOW);

  if (at.SCREENON == 1) {
    at.DEVCLASS = at.PALETTECLASS;
    at.HCCLASS = at.PALETTECLASS;
    // The window opening built the palette before the class was known.
    yypalclass();
    const std::array<int, 2> pair = at.COLOURS[at.COLOURMODEL];
    IGrColourN(pair[PREVIOUS]);
    IGrColourN(pair[CURRENT]);
    yygdrv(DPLOTMODE);
    yygdrv(DLINETYPE);
    yygdrv(DLINEWIDTH);
    yygdrv(DFONT);
  }

  yychdfont();
  yychspace(0);
  if (graphicsservices.wgrvfontstandard != nullptr) graphicsservices.wgrvfontstandard(0);

  op.PLOTSTARTED = 0;
  const int device = op.HCDEVICE;
  if (graphicsservices.igrhardcopy != nullptr) graphicsservices.igrhardcopy("S", " ");

  std::array<int, 108>& hc = tessar.hardcopy.HCOPTIONS;
  const bool keep = hasoption(options, 'P') && device != 0;
  std::array<int, 108> keptoptions{};
  std::string keptname;
  if (keep) {
    keptoptions = hc;
    keptname = tessar.files.HCOUTPUT;
    op.IOPER1 = -998;
  } else {
    op.IOPER1 = 0;
  }
  for (int k = 1; k <= 29; ++k) hc[k - 1] = 0;
  xxhcif(DOPEN);
  op.IOPER1 = 0;
  if (keep) {
    tessar.files.HCOUTPUT = keptname;
    if (graphicsservices.igrhardcopyoptions != nullptr) {
      for (int k = 1; k <= 29; ++k) graphicsservices.igrhardcopyoptions(k, keptoptions[k - 1]);
      for (int k = 101; k <= 108; ++k)
        graphicsservices.igrhardcopyoptions(k, keptoptions[k - 1]);
    }
  }

  IGrUnits(0, 0, 1, 1);
  at.SCREENFILL = 0;
  at.HCFILL = 0;
  ar.CURX = 0;
  ar.CURY = 0;
  at.FILLSTYLE = 0;
  at.OUTLINE = 1;

  if (graphicsservices.yypgreset != nullptr) graphicsservices.yypgreset();
}

void IGrArea(float x1, float y1, float x2, float y2) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsArea& ar = g.area;
  // Written so that a NaN bound counts as a bad range too.
  if (!(x1 >= 0 && x1 < 1 && x2 > 0 && x2 <= 1 && x2 > x1)) {
    x1 = 0;
    x2 = 1;
    yyerror(44, "IGrArea");
  }
  if (!(y1 >= 0 && y1 < 1 && y2 > 0 && y2 <= 1 && y2 > y1)) {
    y1 = 0;
    y2 = 1;
    yyerror(44, "IGrArea");
  }
  ar.AX1 = x1; ar.AY1 = y1; ar.AX2 = x2; ar.AY2 = y2;
  const float w = static_cast<float>(g.target.WIDTH);
  const float h = static_cast<float>(g.target.HEIGHT);
  yywing(x1 * w, y1 * h, x2 * w, y2 * h);
  if (g.target.RESELECT == 0) {
    yyhdrv(DCLIP);
    if (ar.VIEWPORT == 0) {
      ar.AREAW = x2 - x1;
      ar.AREAH = y2 - y1;
      yyresnrot();
    }
  }
}

void IGrUnits(float x1, float y1, float x2, float y2) {
  GraphicsArea& ar = tessar.graphics.area;
  // Written so that a NaN bound counts as an empty range too.
  if (!(x2 > x1)) {
    x1 = 0;
    x2 = 1;
    yyerror(16, "IGrUnits");
  }
  if (!(y2 > y1)) {
    y1 = 0;
    y2 = 1;
    yyerror(16, "IGrUnits");
  }
  ar.GX1 = x1; ar.GY1 = y1; ar.GX2 = x2; ar.GY2 = y2;
  ar.GXRANGE = x2 - x1;
  ar.GYRANGE = y2 - y1;
  if (ar.VIEWPORT == 0) {
    ar.REFXRANGE = ar.GXRANGE;
    ar.REFYRANGE = ar.GYRANGE;
  }
}

void IGrViewport(float x1, float y1, float x2, float y2) {
  GraphicsArea& ar = tessar.graphics.area;
  // The old mapping: the user value at a fraction f of the drawable along one axis.
  const float ax1 = ar.AX1, ay1 = ar.AY1, ax2 = ar.AX2, ay2 = ar.AY2;
  const float ux1 = ar.GX1, uy1 = ar.GY1, ux2 = ar.GX2, uy2 = ar.GY2;
  const float rx = ar.GXRANGE, ry = ar.GYRANGE;
  const float w = ax2 - ax1, h = ay2 - ay1;
  const float cx = ux1 * ax2 - ux2 * ax1, cy = uy1 * ay2 - uy2 * ay1;

  ar.VIEWPORT = 1;
  IGrArea(x1, y1, x2, y2);
  const float nx1 = ar.AX1, ny1 = ar.AY1, nx2 = ar.AX2, ny2 = ar.AY2;

  float g[4];
  switch (ar.PAGEROTATION) {
    case 90:   // user x along the area's y, user y along its x reversed
      g[0] = ux1 + (ny1 - ay1) * rx / h;
      g[2] = ux1 + (ny2 - ay1) * rx / h;
      g[1] = uy1 + (ax2 - nx2) * ry / w;
      g[3] = uy1 + (ax2 - nx1) * ry / w;
      break;
    case 180:  // both reversed
      g[0] = ux1 + (ax2 - nx2) * rx / w;
      g[2] = ux1 + (ax2 - nx1) * rx / w;
      g[1] = uy1 + (ay2 - ny2) * ry / h;
      g[3] = uy1 + (ay2 - ny1) * ry / h;
      break;
    case 270:  // user x along y reversed, user y along x
      g[0] = ux1 + (ay2 - ny2) * rx / h;
      g[2] = ux1 + (ay2 - ny1) * rx / h;
      g[1] = uy1 + (nx1 - ax1) * ry / w;
      g[3] = uy1 + (nx2 - ax1) * ry / w;
      break;
    default:
      g[0] = (rx * nx1 + cx) / w;
      g[1] = (ry * ny1 + cy) / h;
      g[2] = (rx * nx2 + cx) / w;
      g[3] = (ry * ny2 + cy) / h;
      break;
  }
  IGrUnits(g[0], g[1], g[2], g[3]);
  ar.VIEWPORT = 0;
}

void igrareaclear() {
  GraphicsRegion& g = tessar.graphics;
  GraphicsArea& ar = g.area;
  GraphicsAttributes& at = g.attributes;
  DeviceOperands& op = g.operands;
  if (ar.IXMIN == 0 && ar.IXMAX == g.target.WIDTH - 1 && ar.IYMIN == 0 &&
      ar.IYMAX == g.target.HEIGHT - 1) {
    yygdrv(DCLEAR);
    return;
  }
  const int fillstyle = at.FILLSTYLE, plotmode = at.PLOTMODE;
  const int device = at.COLOURS[PAIRDEVICE][CURRENT];
  const int index = at.COLOURS[PAIRINDEX][CURRENT];
  const int rgb = at.COLOURS[PAIRRGB][CURRENT];
  at.FILLSTYLE = 4;
  if (plotmode != 0) {
    at.PLOTMODE = 0;
    yygdrv(DPLOTMODE);
  }
  if (device != 0) {
    at.COLOURS[PAIRDEVICE][CURRENT] = 0;
    at.COLOURS[PAIRINDEX][CURRENT] = 0;
    yypalg(0, at.COLOURS[PAIRRGB][CURRENT]);
    yygdrv(DCOLOUR);
  }
  op.IX1 = ar.IXMIN; op.IY1 = ar.IYMIN; op.IX2 = ar.IXMAX; op.IY2 = ar.IYMAX;
  yygdrv(DRECTSOLID);
  at.FILLSTYLE = fillstyle;
  if (plotmode != 0) {
    at.PLOTMODE = plotmode;
    yygdrv(DPLOTMODE);
  }
  if (device != 0) {
    at.COLOURS[PAIRDEVICE][CURRENT] = device;
    at.COLOURS[PAIRINDEX][CURRENT] = index;
    at.COLOURS[PAIRRGB][CURRENT] = rgb;
    yygdrv(DCOLOUR);
  }
}

void yywing(float X1, float Y1, float X2, float Y2) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsArea& ar = g.area;
  const float right = static_cast<float>(g.target.WIDTH) - 0.01f;
  const float top = static_cast<float>(g.target.HEIGHT) - 0.01f;
  ar.XMIN = X1 <= 0 ? 0.0f : X1;
  ar.YMIN = Y1 <= 0 ? 0.0f : Y1;
  ar.XMAX = right <= X2 ? right : X2;
  ar.YMAX = top <= Y2 ? top : Y2;
  ar.TXMIN = ar.XMIN - 0.001f;
  ar.TYMIN = ar.YMIN - 0.001f;
  ar.TXMAX = ar.XMAX + 0.001f;
  ar.TYMAX = ar.YMAX + 0.001f;
  ar.IXMIN = static_cast<int>(ar.XMIN);
  ar.IYMIN = static_cast<int>(ar.YMIN);
  ar.IXMAX = static_cast<int>(ar.XMAX);
  ar.IYMAX = static_cast<int>(ar.YMAX);
  ar.IXSIZE = ar.IXMAX - ar.IXMIN + 1;
  ar.IYSIZE = ar.IYMAX - ar.IYMIN + 1;
  ar.DEVW = ar.XMAX - ar.XMIN;
  ar.DEVH = ar.YMAX - ar.YMIN;
  yygdrv(DCLIP);
}

void yye2i(float x, float y, float& X, float& Y) {
  const GraphicsArea& ar = tessar.graphics.area;
  switch (ar.PAGEROTATION) {
    case 0:
      X = (x - ar.GX1) * ar.DEVW / ar.GXRANGE + ar.XMIN;
      Y = (y - ar.GY1) * ar.DEVH / ar.GYRANGE + ar.YMIN;
      break;
    case 90:
      X = ar.XMAX - (y - ar.GY1) * ar.DEVW / ar.GYRANGE;
      Y = (x - ar.GX1) * ar.DEVH / ar.GXRANGE + ar.YMIN;
      break;
    case 180:
      X = ar.XMAX - (x - ar.GX1) * ar.DEVW / ar.GXRANGE;
      Y = ar.YMAX - (y - ar.GY1) * ar.DEVH / ar.GYRANGE;
      break;
    case 270:
      X = (y - ar.GY1) * ar.DEVW / ar.GYRANGE + ar.XMIN;
      Y = ar.YMAX - (x - ar.GX1) * ar.DEVH / ar.GXRANGE;
      break;
    default:
      break;
  }
}

void yye2id(double x, double y, double& X, double& Y) {
  const GraphicsArea& ar = tessar.graphics.area;
  const double gx = x - ar.GX1, gy = y - ar.GY1;
  switch (ar.PAGEROTATION) {
    case 0: X = gx * ar.DEVW / ar.GXRANGE + ar.XMIN; Y = gy * ar.DEVH / ar.GYRANGE + ar.YMIN; break;
    case 90: X = ar.XMAX - gy * ar.DEVW / ar.GYRANGE; Y = gx * ar.DEVH / ar.GXRANGE + ar.YMIN; break;
    case 180: X = ar.XMAX - gx * ar.DEVW / ar.GXRANGE; Y = ar.YMAX - gy * ar.DEVH / ar.GYRANGE; break;
    case 270: X = gy * ar.DEVW / ar.GYRANGE + ar.XMIN; Y = ar.YMAX - gx * ar.DEVH / ar.GXRANGE; break;
    default: break;
  }
}

void yyi2e(float X, float Y, float& x, float& y) {
  const GraphicsArea& ar = tessar.graphics.area;
  switch (ar.PAGEROTATION) {
    case 0:
      x = (X - ar.XMIN) * ar.GXRANGE / ar.DEVW + ar.GX1;
      y = (Y - ar.YMIN) * ar.GYRANGE / ar.DEVH + ar.GY1;
      break;
    case 90:
      x = (Y - ar.YMIN) * ar.GXRANGE / ar.DEVH + ar.GX1;
      y = ar.GY2 - (X - ar.XMIN) * ar.GYRANGE / ar.DEVW;
      break;
    case 180:
      x = ar.GX2 - (X - ar.XMIN) * ar.GXRANGE / ar.DEVW;
      y = ar.GY2 - (Y - ar.YMIN) * ar.GYRANGE / ar.DEVH;
      break;
    case 270:
      x = ar.GX2 - (Y - ar.YMIN) * ar.GXRANGE / ar.DEVH;
      y = (X - ar.XMIN) * ar.GYRANGE / ar.DEVW + ar.GY1;
      break;
    default:
      break;
  }
}

void yyresn(int type, int number, int width, int height) {
  GraphicsRegion& g = tessar.graphics;
  if (type != g.target.TARGETTYPE || number != g.target.TARGETNUMBER) return;
  g.target.WIDTH = width;
  g.target.HEIGHT = height;
  g.area.EXTX = static_cast<float>(width) - 0.01f;
  g.area.EXTY = static_cast<float>(height) - 0.01f;
  g.operands.IOPER1 = -1;
  yyhdrv(DBEGINPLOT);
  g.area.VIEWPORT = 0;
  IGrArea(g.area.AX1, g.area.AY1, g.area.AX2, g.area.AY2);
}

void yyresnrot() {
  GraphicsRegion& g = tessar.graphics;
  GraphicsArea& ar = g.area;
  DeviceOperands& op = g.operands;
  const float w = static_cast<float>(g.target.WIDTH);
  const float h = static_cast<float>(g.target.HEIGHT);
  // A drawable without a size (no target yet) keeps the aspect ratio it had.
  const bool sized = w > 0 && h > 0;
  if (ar.PAGEROTATION % 180 == 0) {
    ar.REXTX = ar.EXTX;
    ar.REXTY = ar.EXTY;
    if (sized) ar.ASPECT = w / h;
    op.HCRSCALEX = op.HCSCALEX;
    op.HCRSCALEY = op.HCSCALEY;
    ar.RDEVW = ar.DEVW;
    ar.RDEVH = ar.DEVH;
  } else {
    ar.REXTX = ar.EXTY;
    ar.REXTY = ar.EXTX;
    if (sized) ar.ASPECT = h / w;
    op.HCRSCALEX = op.HCSCALEY;
    op.HCRSCALEY = op.HCSCALEX;
    ar.RDEVW = ar.DEVH;
    ar.RDEVH = ar.DEVW;
  }
  if (g.attributes.SCREENON == 0) ar.ASPECT = op.HCASPECT;
  yychrot(g.text.ANGLE1);
  yychdfont();
}

void yysav(int mode) {
  GraphicsRegion& g = tessar.graphics;
  GraphicsAttributes& at = g.attributes;
  GraphicsArea& ar = g.area;
  const float w = static_cast<float>(g.target.WIDTH);
  const float h = static_cast<float>(g.target.HEIGHT);
  switch (mode) {
    case 0:
      saved.colours = at.COLOURS;
      saved.linetype = at.LINETYPE;
      saved.direction = g.text.DIRECTION;
      saved.fillstyle = at.FILLSTYLE;
      saved.hatchangle = at.HATCHANGLE;
      saved.hatchdensity = at.HATCHDENSITY;
      break;
    case 1:
      yycon(saved.colours[PAIRINDEX][PREVIOUS], saved.colours[PAIRRGB][PREVIOUS],
            saved.colours[PAIRDEVICE][PREVIOUS], 0);
      yycon(saved.colours[PAIRINDEX][CURRENT], saved.colours[PAIRRGB][CURRENT],
            saved.colours[PAIRDEVICE][CURRENT], 0);
      if (saved.linetype != at.LINETYPE) igrlinetype(saved.linetype);
      g.text.DIRECTION = saved.direction;
      at.FILLSTYLE = saved.fillstyle;
      at.HATCHANGLE = saved.hatchangle;
      at.HATCHDENSITY = saved.hatchdensity;
      break;
    case 2:
    case 4:
      saved.ax1 = ar.AX1; saved.ay1 = ar.AY1; saved.ax2 = ar.AX2; saved.ay2 = ar.AY2;
      if (mode == 4 && (ar.IXMIN > 0 || ar.IYMIN > 0 || ar.IXMAX < g.target.WIDTH - 1 ||
                        ar.IYMAX < g.target.HEIGHT - 1))
        yywing(0, 0, w, h);
      break;
    case 3:
      yywing(saved.ax1 * w, saved.ay1 * h, saved.ax2 * w, saved.ay2 * h);
      break;
    default:
      break;
  }
}

void yybvi2e(float px, float py, float& x, float& y, int window) {
  const GraphicsArea& ar = tessar.graphics.area;
  if (graphicsservices.yybitmapinfo == nullptr) return;
  int bw = 0, bh = 0, sx = 0, vh = 0;
  graphicsservices.yybitmapinfo(window, 101, bw);
  graphicsservices.yybitmapinfo(window, 102, bh);
  graphicsservices.yybitmapinfo(window, 4, sx);
  graphicsservices.yybitmapinfo(window, 103, vh);
  const float fbw = static_cast<float>(bw), fbh = static_cast<float>(bh);
  const float rxu = ar.GX2 - ar.GX1, ryu = ar.GY2 - ar.GY1;
  x = (static_cast<float>(sx) + px - ar.AX1 * fbw) / (ar.AREAW * fbw / rxu) + ar.GX1;
  y = (py + static_cast<float>(bh - vh) - ar.AY1 * fbh) / (ar.AREAH * fbh / ryu) + ar.GY1;
}
