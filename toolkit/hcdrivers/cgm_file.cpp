// The CGM file driver: elements through the file twins, attribute elements written only when
// their value changes.
#include "toolkit/hcdrivers/cgm_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/hcdrivers/cgm_elements.h"
#include "toolkit/hcdrivers/driver_common.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

constexpr CgmOut F = CgmOut::FILE;

// Element caches: the value last written to the current file, -1 none.
struct Caches {
  int line = -1, text = -1, fill = -1, edge = -1, aux = -1, font = -1, align = -1, height = -1,
      edgetype = -1, edgewidth = -1, join = 0, cap = 0;
};
Caches cache;
std::array<int, 3> current{0, 0, 0};
int W = 6300, H = 4500;
bool fileopen = false;        // a file (or the clipboard buffer) takes elements
bool inpicture = false;   // between BEGIN PICTURE and END PICTURE
bool toclipboard = false;
std::vector<std::uint8_t> clipbuffer;

int option(int n) { return tessar.hardcopy.HCOPTIONS[static_cast<std::size_t>(n - 1)]; }
DeviceOperands& ops() { return tessar.graphics.operands; }
int lineindex() { return yycgmlinetype(); }

std::array<int, 3> adjusted(int colour) {
  std::array<int, 3> c{};
  yypalrgb(colour, &c[0], &c[1], &c[2]);
  yycgm1(c[0], c[1], c[2]);
  return c;
}
int modelcolour(int slot) { return yyhcmodelcolour(slot); }
int pack(const std::array<int, 3>& c) { return yycgmpack(c[0], c[1], c[2]); }

// A colour element when the colour differs from its cache.
void colour(int cls, int id, int& cached, const std::array<int, 3>& c) {
  if (pack(c) == cached) return;
  yycgm4(cls, id, c[0], c[1], c[2]);
  cached = pack(c);
}

void int16element(int cls, int id, int v) { yycgmint16(F, cls, id, v); }

int vx(float x) { return yycgmvdc(x, ops().HCSCALEX); }
int vy(float y) { return yycgmvdc(y, ops().HCSCALEY); }

int linewidth() {
  const long long page = static_cast<long long>(std::max(option(1), 1)) * 10;
  return static_cast<int>(static_cast<long long>(option(9)) * W / page);
}

void handle(int code);

// Requests after END PICTURE start a new picture: the attributes a new picture starts from
// are the standard's defaults, so the current ones are written again.
void needpicture() {
  if (!fileopen || inpicture) return;
  inpicture = true;
  yycgmpicture(F, W, H);
  const int join = cache.join, cap = cache.cap;
  cache = Caches{};
  for (int code : {DLINEWIDTH, DLINETYPE, DCLIP, DFONT, DCHARROTATE}) handle(code);
  cache.join = 0;
  cache.cap = 0;
  if (join != 0) handle(DLINEJOIN);
  if (cap != 0) handle(DLINECAP);
}

void defaults() {
  DeviceOperands& op = ops();
  DeviceDescription& dd = tessar.graphics.description;
  if (yyhcquery(HCCGM)) return;
  yydefh();
  std::array<int, 108>& o = tessar.hardcopy.HCOPTIONS;
  o[0] = 756; o[1] = 540; o[2] = 0; o[3] = 0; o[4] = 0;
  o[27] = 2;
  op.HCRESX = op.HCRESY = 600;
  tessar.graphics.attributes.HCCLASS = 256;
  op.HCCOLOURS = 256;
  op.PRINTCMDOK = 0;
  assignfixed(tessar.files.HCOUTPUT, "tessplot.cgm");
  yyhcdescribe("00000110111111100010011011100", 1.7e38f, 1, 2, 1, 1);
  dd.HCTEXTLEVEL = 8;
  dd.HCTEXTFLAG3 = 1;
  op.HCDEVICE = HCCGM;
}

void beginplot() {
  DeviceOperands& op = ops();
  const GraphicsTarget& t = tessar.graphics.target;
  if (op.IOPER1 > 0) {
    toclipboard = lentrim(tessar.files.HCCURRENT) == 0;
    if (toclipboard) {
      clipbuffer.clear();
      yycgmcapture(&clipbuffer);
    } else {
      yycgmcapture(nullptr);
      if (!yyhcopen()) {
        fileopen = false;
        return;
      }
    }
    fileopen = true;
    inpicture = true;
    yycgmextent(option(1), option(2), W, H);
    std::string title;
    if (op.IX1 != 0) {
      const std::string& t9 = tessar.files.TEXTBUF;
      title = yyhcplaintext(
          t9.substr(0, std::min<std::size_t>(static_cast<std::size_t>(lentrim(t9)), 200)));
    }
    yycgmheader(F, title, option(28), W, H);
    cache = Caches{};
  }
  op.HCSCALEX = static_cast<float>(W) / static_cast<float>(t.WIDTH > 0 ? t.WIDTH : 1);
  op.HCSCALEY = static_cast<float>(H) / static_cast<float>(t.HEIGHT > 0 ? t.HEIGHT : 1);
}

void endplot() {
  if (!fileopen) return;
  if (inpicture) yycgmelement(F, 0, 5, CgmParams{});
  inpicture = false;
  yycgmelement(F, 0, 2, CgmParams{});
  fileopen = false;
  if (!toclipboard) {
    yyprcl(2);
    return;
  }
  yycgmcapture(nullptr);
  const win::UINT format = win::RegisterClipboardFormat("Tessaraweld CGM");
  win::HGLOBAL block = win::GlobalAlloc(win::GHND, clipbuffer.size());
  void* bytes = block != nullptr ? win::GlobalLock(block) : nullptr;
  if (bytes == nullptr || !win::OpenClipboard(nullptr)) {
    if (block != nullptr) win::GlobalFree(block);
    yyerror(1, "XXCGM");
    return;
  }
  if (!clipbuffer.empty()) std::memcpy(bytes, clipbuffer.data(), clipbuffer.size());
  win::GlobalUnlock(block);
  win::EmptyClipboard();
  if (win::SetClipboardData(format, block) == nullptr) win::GlobalFree(block);
  win::CloseClipboard();
  std::vector<std::uint8_t>().swap(clipbuffer);
}

void linecolour() { colour(5, 4, cache.line, current); }

void fill(int code) {
  DeviceOperands& op = ops();
  const GraphicsAttributes& at = tessar.graphics.attributes;
  if (op.IOPER1 == -1) return;
  op.PLOTSTARTED = 1;
  const bool solid = at.FILLSTYLE == 3 || at.FILLSTYLE == 4;
  if (!solid && code != DELLIPSEFILL) return;
  std::array<int, 3> c = current;
  if (at.FILLSTYLE == 3) {
    const std::array<int, 3> p = adjusted(modelcolour(PREVIOUS));
    for (std::size_t k = 0; k < 3; ++k) c[k] = (p[k] + c[k]) / 2;
  }
  colour(5, 23, cache.fill, c);
  const GraphicsArea& ar = tessar.graphics.area;
  switch (code) {
    case DELLIPSEFILL: {
      if (!solid) {
        int16element(5, 30, 1);
        colour(5, 29, cache.edge, current);
        if (lineindex() != cache.edgetype) {
          int16element(5, 27, lineindex());
          cache.edgetype = lineindex();
        }
        if (option(9) != cache.edgewidth) {
          int16element(5, 28, linewidth());
          cache.edgewidth = option(9);
        }
      }
      int16element(5, 22, solid ? 1 : 4);
      CgmParams p;
      p.point(vx(op.RX1), vy(op.RY1)).point(vx(op.RX1 + op.RX2), vy(op.RY1))
          .point(vx(op.RX1), vy(op.RY1 + op.RY2));
      yycgmelement(F, 4, 17, p);
      if (!solid) int16element(5, 30, 0);
      return;
    }
    case DPARALLEL: {
      int16element(5, 22, 1);
      CgmParams p;
      p.point(vx(op.RX1), vy(op.RY1)).point(vx(op.RX2), vy(op.RY2)).point(vx(op.RX3), vy(op.RY3))
          .point(vx(op.RX4), vy(op.RY4));
      yycgmelement(F, 4, 7, p);
      return;
    }
    case DRECT: {
      const float x1 = std::max(op.RX1, ar.XMIN), y1 = std::max(op.RY1, ar.YMIN);
      const float x2 = std::min(op.RX2, ar.XMAX), y2 = std::min(op.RY2, ar.YMAX);
      int16element(5, 22, 1);
      CgmParams p;
      p.point(vx(x1), vy(y1)).point(vx(x2), vy(y2));
      yycgmelement(F, 4, 11, p);
      return;
    }
    case DTRIANGLE: {
      int16element(5, 22, 1);
      CgmParams p;
      p.point(vx(op.RX1), vy(op.RY1)).point(vx(op.RX2), vy(op.RY2)).point(vx(op.RX3), vy(op.RY3));
      yycgmelement(F, 4, 7, p);
      return;
    }
    case DSECTOR: {
      int16element(5, 22, 1);
      // The graphics layer keeps the drawable width above 0; a width of 0 counts as 1.
      const int width = std::max(tessar.graphics.target.WIDTH, 1);
      const float radius = std::isfinite(op.RX2) ? std::clamp(op.RX2, -1e9f, 1e9f) : 0.0f;
      // Beyond 32767 segments a half turn looks no different; the bound keeps an absurd
      // radius from asking for billions of points.
      const long long segments =
          std::min<long long>(static_cast<long long>(radius) * 75 / width + 25, 32767);
      yycgmsector(F, vx(op.RX1), vy(op.RY1), segments, 3.14159f, vx, vy);
      return;
    }
    case DPOLYGON:
      int16element(5, 22, 1);
      yycgmworklist(F, 7, vx, vy);
      return;
    default: return;
  }
}

void polyline() {
  DeviceOperands& op = ops();
  op.PLOTSTARTED = 1;
  linecolour();
  yycgmworklist(F, 1, vx, vy);
}

void font() {
  const TextState& ts = tessar.graphics.text;
  const int face = std::clamp(ts.HWFONT, 1, 4);
  const int index = 4 * face - 3 + (ts.TYPEFLAGS & 3);
  if (index != cache.font) {
    int16element(5, 10, index);
    cache.font = index;
  }
  const float h = std::trunc(ts.CH * 0.55f * tessar.graphics.area.RDEVH * ops().HCRSCALEY);
  const int height = std::isfinite(h) ? static_cast<int>(std::clamp(h, 0.0f, 32767.0f)) : 0;
  if (height != cache.height) {
    int16element(5, 15, height);
    cache.height = height;
  }
}

void rotation() {
  const TextState& ts = tessar.graphics.text;
  const float a = tessar.graphics.area.RDEVW * ts.CW * ops().HCSCALEX;
  const float f = 1.2f * a;
  auto t = [](float v) { return yycgmvdc(v, 1.0f); };
  CgmParams p;
  p.point(t(-f * ts.SINA2DQ), t(f * ts.COSA2)).point(t(a * ts.COSA2), t(a * ts.SINA2Q));
  yycgmelement(F, 5, 16, p);
}

void text() {
  DeviceOperands& op = ops();
  const TextState& ts = tessar.graphics.text;
  op.PLOTSTARTED = 1;
  const bool percharacter = ts.SPACING == 1;
  const bool opaque = ts.DIRECTION == 0 && (ts.TYPEFLAGS & 8) != 0 && !percharacter;
  if (opaque) {
    int16element(3, 4, 0);
    colour(3, 3, cache.aux, adjusted(modelcolour(PREVIOUS)));
  }
  colour(5, 14, cache.text, current);
  const float bx = op.RY2 * ts.SINA2DQ, by = op.RY2 * ts.COSA2;
  const float x = op.RX1 + 0.38f * bx, y = op.RY1 - 0.38f * by;
  const float dx = op.RX3 - op.RX1, dy = op.RY3 - op.RY1;
  const int dw = yycgmvdc(std::sqrt(dx * dx + dy * dy), op.HCRSCALEX);
  const int dh = static_cast<int>(1.25f * static_cast<float>(std::max(cache.height, 0)));
  yycgmlabel(F, cache.align, x, y, dw, dh, vx, vy);
  if (opaque) int16element(3, 4, 1);
}

void clip() {
  const GraphicsArea& ar = tessar.graphics.area;
  int16element(3, 6, 1);
  CgmParams p;
  p.point(vx(ar.XMIN), vy(ar.YMIN)).point(vx(ar.XMAX), vy(ar.YMAX));
  yycgmelement(F, 3, 5, p);
}

void image() {
  DeviceOperands& op = ops();
  ErrorState& es = tessar.error;
  const GraphicsArea& ar = tessar.graphics.area;
  int nx = 0, ny = 0;
  std::vector<int> pixels;
  if (yycgmimage(nx, ny, pixels) != 0) return;
  op.PLOTSTARTED = 1;
  const int before = tessar.hardcopy.printer.OUTPUTERROR;
  tessar.hardcopy.printer.OUTPUTERROR = 0;
  const int pqr[6] = {vx(ar.XMIN), vy(ar.YMAX), vx(ar.XMAX), vy(ar.YMIN), vx(ar.XMAX), vy(ar.YMAX)};
  yycgmcellarray(F, pqr, nx, ny, pixels, ar.PAGEROTATION);
  if (tessar.hardcopy.printer.OUTPUTERROR != 0) {
    op.IOPER1 = 2;
    op.IOPER2 = es.ERRDETAIL;
  } else {
    tessar.hardcopy.printer.OUTPUTERROR = before;
  }
}

void gradient() {
  GraphicsRegion& g = tessar.graphics;
  g.operands.PLOTSTARTED = 1;
  yycgmgradient(F, vx, vy, vx(g.area.XMIN), vy(g.area.YMIN), vx(g.area.XMAX), vy(g.area.YMAX));
}

void handle(int code) {
  DeviceOperands& op = ops();
  switch (code) {
    case DLINE:
    case DPOINT: {
      op.PLOTSTARTED = 1;
      linecolour();
      const float x2 = code == DPOINT ? op.RX1 : op.RX2, y2 = code == DPOINT ? op.RY1 : op.RY2;
      CgmParams p;
      p.point(vx(op.RX1), vy(op.RY1)).point(vx(x2), vy(y2));
      yycgmelement(F, 4, 1, p);
      return;
    }
    case DELLIPSEFILL: case DPARALLEL: case DRECT: case DTRIANGLE: case DSECTOR: case DPOLYGON:
      fill(code);
      return;
    case DFONT: font(); return;
    case DTEXT: text(); return;
    case DCLIP: clip(); return;
    case DLINETYPE: int16element(5, 2, lineindex()); return;
    case DLINEWIDTH: int16element(5, 3, linewidth()); return;
    case DPOLYLINE: polyline(); return;
    case DCHARROTATE: rotation(); return;
    case DLINEJOIN:
      if (option(10) == cache.join) return;
      int16element(5, 38, option(10) + 2);
      cache.join = option(10);
      return;
    case DLINECAP:
      if (option(11) == cache.cap) return;
      {
        CgmParams p;
        p.int16(option(11) + 2).int16(1);
        yycgmelement(F, 5, 37, p);
      }
      cache.cap = option(11);
      return;
    case DIMAGE: image(); return;
    case DGRADIENT: gradient(); return;
    default: return;
  }
}

}  // namespace

void xxcgm(int& code) {
  DeviceOperands& op = ops();
  switch (code) {
    case DOPEN: defaults(); return;
    case DCOLOUR:
    case DLOADPALETTE:
      current = adjusted(modelcolour(CURRENT));
      return;
    case DBEGINPLOT: beginplot(); return;
    case DENDPLOT: endplot(); return;
    case DENDPAGE:
      op.PLOTSTARTED = 0;
      if (fileopen && inpicture) yycgmelement(F, 0, 5, CgmParams{});
      inpicture = false;
      return;
    case DLINE: case DPOINT: case DELLIPSEFILL: case DPARALLEL: case DRECT: case DTRIANGLE:
    case DSECTOR: case DPOLYGON: case DFONT: case DTEXT: case DCLIP: case DLINETYPE:
    case DLINEWIDTH: case DPOLYLINE: case DCHARROTATE: case DLINEJOIN: case DLINECAP: case DIMAGE:
    case DGRADIENT:
      if (!fileopen) return;
      needpicture();
      handle(code);
      return;
    default: return;
  }
}
