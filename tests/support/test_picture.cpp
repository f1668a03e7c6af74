// The shared test picture.
#include "tests/support/test_picture.h"

#include <array>
#include <cmath>
#include <vector>

#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/graphics/markers.h"
#include "toolkit/graphics/shapes.h"
#include "toolkit/graphics/strokefonts.h"
#include "toolkit/graphics/text.h"
#include "toolkit/graphics/textstring.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

void testpicturegraphics(int width, int height) {
  tessar.graphics = GraphicsRegion{};
  tessar.error = ErrorState{};
  graphicsservices = GraphicsServices{};
  yyinstallhardcopy();
  GraphicsRegion& g = tessar.graphics;
  g.attributes.SCREENON = 0;
  g.attributes.DEVCLASS = 256;
  g.attributes.PALETTECLASS = 256;
  yypali();
  g.target.TARGETTYPE = 1;
  g.target.TARGETNUMBER = 0;
  yyresn(1, 0, width, height);
  // As the program starts graphics without a screen: text defaults, the character width
  // table and the standard stroke font, without which proportional stroke glyphs would all
  // be drawn at the start of their string.
  igrinit("H");
}

namespace {

void rgb(int r, int g, int b) {
  igrcolourmodel(24);
  IGrColourN(wrgb(r, g, b));
}

void text(float x, float y, const char* s) { wgrtextstring(x, y, s); }

}  // namespace

void drawtestpicture(const std::string& imagefile) {
  IGrArea(0, 0, 1, 1);
  IGrUnits(0, 0, 100, 75);

  // Frame.
  rgb(0, 0, 0);
  igrlinetype(0);
  igrfillpattern(0);
  IGrRectangle(0.5f, 0.5f, 99.5f, 74.5f);

  // Line types 0-7, each in its own width (hardcopy option 9, tenths of a point).
  for (int t = 0; t <= 7; ++t) {
    igrhardcopyoptions(9, 31 - 4 * t);
    rgb(0, 0, 160);
    igrlinetype(t);
    const float y = 70 - 2.2f * static_cast<float>(t);
    igrjoin(3, y, 33, y);
  }
  igrlinetype(0);
  igrhardcopyoptions(9, 5);

  // Fills: solid red rectangle, a two-colour pattern, hatches at four angles.
  rgb(220, 0, 0);
  igrfillpattern(4);
  IGrRectangle(40, 55, 52, 70);
  rgb(255, 255, 255);
  rgb(0, 128, 0);
  igrfillpattern(3);
  IGrRectangle(54, 55, 66, 70);
  for (int a = 1; a <= 4; ++a) {
    rgb(128, 0, 128);
    igrfillpattern(2, 3, a);
    const float x = 68 + 7.5f * static_cast<float>(a - 1);
    IGrRectangle(x, 55, x + 6.5f, 70);
  }

  // Filled shapes: triangle, parallelogram, a star polygon (even-odd), and a hollow one.
  rgb(0, 160, 200);
  igrfillpattern(4);
  IGrTriangle(40, 40, 52, 40, 46, 52);
  rgb(230, 160, 0);
  igrparallel(55, 40, 65, 40, 10, 1);
  {
    std::vector<float> x, y;
    for (int k = 0; k < 5; ++k) {
      const float a = 3.14159265f / 2 + static_cast<float>(k) * 4 * 3.14159265f / 5;
      x.push_back(82 + 8 * std::cos(a));
      y.push_back(46 + 8 * std::sin(a));
    }
    rgb(0, 100, 0);
    igrfillpattern(4);
    IGrPolygonComplex(x, y, 5);
  }
  rgb(0, 0, 0);
  igrfillpattern(0);
  IGrTriangle(92, 40, 98, 40, 95, 50);

  // Circles and an ellipse: solid, hatched, hollow; an arrow.
  rgb(0, 0, 200);
  igrfillpattern(4);
  igrcircle(8, 22, 4);
  rgb(200, 0, 100);
  igrfillpattern(2, 3, 1);
  igrellipse(20, 22, 4, 0.6f);
  rgb(0, 0, 0);
  igrfillpattern(0);
  igrcircle(30, 22, 3);
  igrarrow(26, 15, 12, 0, 2);

  // Markers 1-40 in two rows.
  rgb(100, 50, 0);
  WGrTextFont({.family = 102, .type = 0, .width = 0.012f, .height = 0.03f});
  for (int k = 1; k <= 40; ++k)
    igrmarker(3 + 1.9f * static_cast<float>((k - 1) % 20), k <= 20 ? 8 : 4, k);
  igrfillpattern(0);

  // Texts: device faces, sizes, angles, accented characters; a stroke font.
  rgb(0, 0, 0);
  WGrTextFont({.family = 101, .type = 0, .width = 0.012f, .height = 0.035f});
  wgrtextorientation(0, 0.0f);
  text(3, 48, "Courier: Gauge 12304500 (Q)");
  WGrTextFont({.family = 102, .type = 1, .width = 0.016f, .height = 0.05f});
  text(3, 43, "Helvetica bold \xC9t\xE9 \xE0 Z\xFCrich");
  WGrTextFont({.family = 103, .type = 2, .width = 0.010f, .height = 0.03f});
  text(3, 39, "Times italic: d\xE9\x62it, na\xEFve, \xC5ngstr\xF6m");
  WGrTextFont({.family = 102, .type = 0, .width = 0.010f, .height = 0.03f});
  wgrtextorientation(0, 30.0f);
  text(20, 28, "Rotated 30");
  wgrtextorientation(1, 90.0f);
  text(36, 20, "Vertical");
  wgrtextorientation(0, 0.0f);
  wgrofontswiss();
  WGrTextFont({.family = 1, .type = 0, .width = 0.012f, .height = 0.04f});
  rgb(150, 0, 0);
  text(3, 33, "Stroke font \xE9\xE8");
  WGrTextFont({.family = 102, .type = 0, .width = 0.012f, .height = 0.035f});

  // An image in its own area (the image request of the device dispatch).
  if (!imagefile.empty()) {
    IGrArea(0.42f, 0.05f, 0.55f, 0.35f);
    GraphicsRegion& g = tessar.graphics;
    assignfixed(tessar.files.HCCURRENT, imagefile);
    g.operands.IX1 = 15;  // the image type of the request: the picture's images are PNG files
    g.operands.IX2 = 16;
    g.operands.IY2 = 16;
    yyhdrv(DIMAGE);
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, 100, 75);
  }

  // A small chart: axes, ticks and a damped wave.
  IGrArea(0.6f, 0.05f, 0.97f, 0.45f);
  IGrUnits(0, -1, 10, 1);
  rgb(0, 0, 0);
  igrlinetype(0);
  igrjoin(0, -1, 10, -1);
  igrjoin(0, -1, 0, 1);
  for (int k = 0; k <= 10; ++k) igrjoin(static_cast<float>(k), -1, static_cast<float>(k), -0.95f);
  std::vector<float> x, y;
  for (int k = 0; k <= 200; ++k) {
    const float t = static_cast<float>(k) * 0.05f;
    x.push_back(t);
    y.push_back(std::exp(-0.2f * t) * std::sin(2 * t));
  }
  rgb(0, 0, 255);
  igrhardcopyoptions(9, 12);
  igrpolyline(x, y, static_cast<int>(x.size()));
  igrhardcopyoptions(9, 5);
  rgb(200, 0, 0);
  igrpoint(5, 0.5f);
  IGrArea(0, 0, 1, 1);
  IGrUnits(0, 0, 100, 75);
}

namespace {
const PictureSample kSamples[] = {
    {"solid red rectangle", 46, 62, 220, 0, 0},
    {"cyan triangle", 46, 44, 0, 160, 200},
    {"orange parallelogram", 60, 40, 230, 160, 0},
    {"green star, top arm", 82, 51.5f, 0, 100, 0},
    {"white background", 20, 10, 255, 255, 255},
    {"solid blue line type 0", 18, 70, 0, 0, 160},
    {"solid blue circle", 8, 22, 0, 0, 200},
};
}  // namespace

const PictureSample* testpicturesamples(int& count) {
  count = static_cast<int>(sizeof kSamples / sizeof kSamples[0]);
  return kSamples;
}
