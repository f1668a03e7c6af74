// The CGM recorder: screen-side requests in device units as CGM elements in a metafile slot.
#include "toolkit/hcdrivers/cgm_recorder.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hcdrivers/cgm_elements.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

constexpr CgmOut M = CgmOut::MEMORY;

float CGMASPECT = 1;
int red = 0, green = 0, blue = 0;

// Where each slot's metafile stands: 0 nothing recorded, 1 a picture open, 2 ended by END
// METAFILE (at octet count endedat: a later request reopens it only if nothing followed).
std::array<int, 20> phase{};
std::array<int, 20> endedat{};

int slotnumber() { return tessar.graphics.target.TARGETNUMBER; }
bool slotok() { return slotnumber() >= 1 && slotnumber() <= 20; }
MetafileSlot& slot() { return tessar.graphics.metafiles[static_cast<std::size_t>(slotnumber() - 1)]; }
std::array<int, 10>& record() { return CGMSLOTSTATE[static_cast<std::size_t>(slotnumber() - 1)]; }
DeviceOperands& ops() { return tessar.graphics.operands; }
int rnd(float v) { return yycgmvdc(std::round(v), 1.0f); }
int unit(float v) { return yycgmvdc(v, 1.0f); }
int lineindex() { return yycgmlinetype(); }
void int16element(int cls, int id, int v) { yycgmint16(M, cls, id, v); }

// An attribute element when its value differs from the slot's record.
bool changed(CgmSlotField f, int value) { return yycgmchanged(record()[static_cast<std::size_t>(f)], value); }
void colour(CgmSlotField f, int cls, int id, int r, int g, int b) {
  if (changed(f, yycgmpack(r, g, b))) yygcgm4(cls, id, r, g, b);
}

void header() {
  MetafileSlot& s = slot();
  CGMASPECT = s.SIZE2 != 0 ? static_cast<float>(s.SIZE1) / static_cast<float>(s.SIZE2) : 1.0f;
  yycgmextent(s.SIZE1, s.SIZE2, s.SIZE3, s.SIZE4);
  yycgmheader(M, "", 2, s.SIZE3, s.SIZE4);
  phase[static_cast<std::size_t>(slotnumber() - 1)] = 1;
}

// Opens a picture for a request that writes elements.
void needpicture() {
  const auto k = static_cast<std::size_t>(slotnumber() - 1);
  MetafileSlot& s = slot();
  if (s.USED == 0) phase[k] = 0;
  if (phase[k] == 1) return;
  if (phase[k] == 0) {
    header();
    return;
  }
  // Ended: END METAFILE is taken back when it is still the last element.
  if (s.USED != endedat[k] || s.USED < 2) return;
  s.USED -= 2;
  record().fill(-1);
  yycgmpicture(M, s.SIZE3, s.SIZE4);
  phase[k] = 1;
}

void fillcolour() {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  int r = red, g = green, b = blue;
  if (at.FILLSTYLE == 3) {
    int pr = 0, pg = 0, pb = 0;
    yypalrgb(yyhcmodelcolour(PREVIOUS), &pr, &pg, &pb);
    r = (pr + r) / 2;
    g = (pg + g) / 2;
    b = (pb + b) / 2;
  }
  colour(CGMFILL, 5, 23, r, g, b);
}

void ellipse() {
  const DeviceOperands& op = ops();
  const GraphicsArea& ar = tessar.graphics.area;
  const float den = ar.EXTX * ar.AREAW;
  const float ry = den != 0 ? op.RX2 * op.RX3 * CGMASPECT * ar.EXTY * ar.AREAH / den : op.RY2;
  CgmParams p;
  p.point(op.IX1, op.IY1).point(op.IX1 + op.IX2, op.IY1).point(op.IX1, op.IY1 + rnd(ry));
  yycgmelement(M, 4, 17, p);
}

void sector() {
  DeviceOperands& op = ops();
  const GraphicsArea& ar = tessar.graphics.area;
  const int width = std::max(tessar.graphics.target.WIDTH, 1);
  // A bounded segment count, as in the file driver.
  const long long n = std::min<long long>(static_cast<long long>(rnd(op.RX2)) * 75 / width + 25, 32767);
  if (ar.ASPECT != 0) op.RY2 = op.RY2 / ar.ASPECT * CGMASPECT;
  yycgmsector(M, op.IX1, op.IY1, n, 3.14159265f, rnd, rnd);
}

void worklist(int id) { yycgmworklist(M, id, rnd, rnd); }

void filled(int code) {
  const DeviceOperands& op = ops();
  const GraphicsArea& ar = tessar.graphics.area;
  fillcolour();
  int16element(5, 22, 1);
  CgmParams p;
  switch (code) {
    case DELLIPSEFILL: case DELLIPSESOLID: ellipse(); return;
    case DPARALLEL: case DPARALLELSOLID:
      p.point(op.IX1, op.IY1).point(op.IX2, op.IY2).point(op.IX3, op.IY3).point(op.IX4, op.IY4);
      yycgmelement(M, 4, 7, p);
      return;
    case DRECT: case DRECTSOLID:
      p.point(std::max(op.IX1, ar.IXMIN), std::max(op.IY1, ar.IYMIN))
          .point(std::min(op.IX2, ar.IXMAX), std::min(op.IY2, ar.IYMAX));
      yycgmelement(M, 4, 11, p);
      return;
    case DTRIANGLE: case DTRIANGLESOLID:
      p.point(op.IX1, op.IY1).point(op.IX2, op.IY2).point(op.IX3, op.IY3);
      yycgmelement(M, 4, 7, p);
      return;
    case DSECTOR: case DSECTORSOLID: sector(); return;
    default: worklist(7); return;
  }
}

void outline() {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  int16element(5, 30, 1);
  colour(CGMEDGE, 5, 29, red, green, blue);
  if (changed(CGMEDGETYPE, lineindex())) int16element(5, 27, lineindex());
  if (changed(CGMEDGEWIDTH, 4 * at.LINEWIDTH)) int16element(5, 28, 4 * at.LINEWIDTH);
  int16element(5, 22, 4);
  ellipse();
  int16element(5, 30, 0);
}

void font() {
  GraphicsRegion& g = tessar.graphics;
  TextState& ts = g.text;
  const GraphicsArea& ar = g.area;
  const int index = (ts.TYPEFLAGS & 3) + 4 * std::clamp(ts.HWFONT, 1, 4) - 3;
  if (changed(CGMFONT, index)) int16element(5, 10, index);
  const int height = rnd(ts.CH * 0.55f * ar.RDEVH);
  if (changed(CGMHEIGHT, height)) int16element(5, 15, height);
  if (ar.RDEVW * ts.CW != 0 && ar.RDEVH * ts.CH != 0) {
    ts.CHSCALEX = ar.REXTX / (ar.RDEVW * ts.CW);
    ts.CHSCALEY = ar.REXTY / (ar.RDEVH * ts.CH);
  }
}

void text() {
  const DeviceOperands& op = ops();
  const TextState& ts = tessar.graphics.text;
  const bool percharacter = ts.SPACING == 1;
  const bool opaque = ts.DIRECTION == 0 && (ts.TYPEFLAGS & 8) != 0 && !percharacter;
  if (opaque) {
    int16element(3, 4, 0);
    int r = 0, g = 0, b = 0;
    yypalrgb(yyhcmodelcolour(PREVIOUS), &r, &g, &b);
    colour(CGMAUX, 3, 3, r, g, b);
  }
  colour(CGMTEXT, 5, 14, red, green, blue);
  const float x = op.RX1 + 0.38f * op.RY2 * ts.SINA2DQ, y = op.RY1 - 0.38f * op.RY2 * ts.COSA2;
  const float dx = op.RX3 - op.RX1, dy = op.RY3 - op.RY1;
  const int height = std::max(record()[CGMHEIGHT], 0);
  yycgmlabel(M, record()[CGMALIGN], x, y, rnd(std::sqrt(dx * dx + dy * dy)),
             rnd(1.25f * static_cast<float>(height)), rnd, rnd);
  if (opaque) int16element(3, 4, 1);
}

void image() {
  const GraphicsArea& ar = tessar.graphics.area;
  int w = 0, h = 0;
  std::vector<int> pixels;
  // The recorder keeps the error state as it was even when the load fails.
  const int saved = tessar.error.LASTERROR;
  if (yycgmimage(w, h, pixels) != 0) {
    tessar.error.LASTERROR = saved;
    return;
  }
  const int pqr[6] = {ar.IXMIN, ar.IYMAX, ar.IXMAX, ar.IYMIN, ar.IXMAX, ar.IYMAX};
  yycgmcellarray(M, pqr, w, h, pixels, ar.PAGEROTATION);
}

void gradient() {
  const GraphicsArea& ar = tessar.graphics.area;
  yycgmgradient(M, unit, unit, ar.IXMIN, ar.IYMIN, ar.IXMAX, ar.IYMAX);
}

void describe() {
  DeviceDescription& dd = tessar.graphics.description;
  dd.SCTEXTANGLES = 360;
  dd.SCPLATFORM = 2;
  dd.SCTRUECOLOUR = 1;
  dd.SCGRADIENT = 2;
  dd.SCTEXTLIMIT = 1.7e38f;
  dd.SCCAPS = "00000110111111100010011011100";
}

void endmetafile() {
  const auto k = static_cast<std::size_t>(slotnumber() - 1);
  if (phase[k] != 1 || slot().USED == 0) return;
  yycgmelement(M, 0, 5, CgmParams{});
  yycgmelement(M, 0, 2, CgmParams{});
  phase[k] = 2;
  endedat[k] = slot().USED;
}

}  // namespace

void yygcgm(int& code) {
  GraphicsRegion& g = tessar.graphics;
  DeviceOperands& op = g.operands;
  const GraphicsAttributes& at = g.attributes;
  switch (code) {
    case DOPEN: describe(); return;
    case DCOLOUR: case DLOADPALETTE: {
      yypalrgb(yyhcmodelcolour(CURRENT), &red, &green, &blue);
      return;
    }
    case DREADPIXEL: op.IX1 = -1; return;
    default: break;
  }
  if (!slotok()) return;
  switch (code) {
    case DBEGINPLOT: record().fill(-1); return;
    case DENDPLOT: endmetafile(); return;
    case DCGMHEADER: {
      const auto k = static_cast<std::size_t>(slotnumber() - 1);
      if (slot().USED == 0) phase[k] = 0;
      // One metafile per slot: a second header would only open a picture.
      if (phase[k] == 0) header();
      else needpicture();
      return;
    }
    case DLINE: case DPOINT: case DELLIPSE: case DELLIPSEFILL: case DELLIPSESOLID: case DPARALLEL:
    case DPARALLELSOLID: case DRECT: case DRECTSOLID: case DTRIANGLE: case DTRIANGLESOLID:
    case DSECTOR: case DSECTORSOLID: case DPOLYGON: case DPOLYGONSOLID: case DFONT: case DTEXT:
    case DCLIP: case DLINETYPE: case DLINEWIDTH: case DPOLYLINE: case DCHARROTATE: case DIMAGE:
    case DGRADIENT:
      needpicture();
      break;
    default: return;
  }
  CgmParams p;
  switch (code) {
    case DLINE: case DPOINT:
      colour(CGMLINE, 5, 4, red, green, blue);
      p.point(op.IX1, op.IY1);
      if (code == DLINE) p.point(op.IX2, op.IY2);
      else p.point(op.IX1, op.IY1);
      yycgmelement(M, 4, 1, p);
      return;
    case DELLIPSE: outline(); return;
    case DFONT: font(); return;
    case DTEXT: text(); return;
    case DCLIP:
      int16element(3, 6, 1);
      p.point(g.area.IXMIN, g.area.IYMIN).point(g.area.IXMAX, g.area.IYMAX);
      yycgmelement(M, 3, 5, p);
      return;
    case DLINETYPE: int16element(5, 2, lineindex()); return;
    case DLINEWIDTH: {
      const MetafileSlot& s = slot();
      const long long den = static_cast<long long>(s.SIZE1) * 10;
      int16element(5, 3, den != 0 ? static_cast<int>(static_cast<long long>(s.SIZE3) * at.LINEFACTOR / den) : 0);
      return;
    }
    case DPOLYLINE:
      colour(CGMLINE, 5, 4, red, green, blue);
      worklist(1);
      return;
    case DCHARROTATE: {
      const TextState& ts = g.text;
      const float w = g.area.RDEVW * ts.CW;
      p.point(rnd(-1.2f * w * ts.SINA2DQ), rnd(1.2f * w * ts.COSA2))
          .point(rnd(w * ts.COSA2), rnd(w * ts.SINA2Q));
      yycgmelement(M, 5, 16, p);
      return;
    }
    case DIMAGE: image(); return;
    case DGRADIENT: gradient(); return;
    default: filled(code); return;
  }
}
