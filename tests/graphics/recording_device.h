#pragma once
// A recording device: stands in for the screen driver, the CGM recorder and the hardcopy
// driver, and logs every request each side receives with the operands it saw.
#include <string>
#include <utility>
#include <vector>

#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/state/tessar.h"

struct DeviceCall {
  char side;   // 'S' screen driver, 'C' CGM recorder, 'H' hardcopy driver
  int code;
  DeviceOperands operands;
  std::vector<float> x, y;   // XWORK, YWORK as far as a polyline's count reaches
  std::array<std::array<int, 2>, 3> colours;
};

inline std::vector<DeviceCall>& devicelog() {
  static std::vector<DeviceCall> log;
  return log;
}

// What the hardcopy driver answers to request 1 (its device code), 0 for none.
inline int& recordeddevicecode() {
  static int code = 0;
  return code;
}

inline void recordcall(char side, int code) {
  const GraphicsRegion& g = tessar.graphics;
  DeviceCall call{side, code, g.operands, {}, {}, g.attributes.COLOURS};
  if (code == DPOLYLINE || code == DPOLYGON || code == DPOLYGONSOLID) {
    const auto n = static_cast<std::size_t>(std::max(g.operands.IOPER2, 0));
    call.x.assign(g.XWORK.begin(), g.XWORK.begin() + std::min(n, g.XWORK.size()));
    call.y.assign(g.YWORK.begin(), g.YWORK.begin() + std::min(n, g.YWORK.size()));
  }
  devicelog().push_back(call);
}

inline void recordscreen(int& code) {
  // The screen driver does nothing while screen graphics are off.
  if (tessar.graphics.attributes.SCREENON == 0) return;
  recordcall('S', code);
}
inline void recordcgm(int& code) { recordcall('C', code); }
inline void recordhardcopy(int& code) {
  DeviceOperands& op = tessar.graphics.operands;
  if (code == DOPEN && op.IOPER2 == -999) {
    if (recordeddevicecode() != 0) op.IOPER2 = recordeddevicecode();
    recordcall('H', code);
    return;
  }
  if (code == DOPEN) op.HCDEVICE = recordeddevicecode();
  recordcall('H', code);
}

// The codes one side received, in order.
inline std::vector<int> codes(char side) {
  std::vector<int> out;
  for (const DeviceCall& c : devicelog())
    if (c.side == side) out.push_back(c.code);
  return out;
}

// The first point of every stroke or filled glyph outline one side received, in order: lines
// and polylines, solid polygons, and the opening of a hardcopy polygon (whose scan lines up
// to its closing are left out).
inline std::vector<std::pair<float, float>> strokestarts(char side) {
  std::vector<std::pair<float, float>> out;
  bool inpolygon = false;
  for (const DeviceCall& c : devicelog()) {
    if (c.side != side) continue;
    if (c.code == DPOLYGON) {
      inpolygon = c.operands.IOPER1 != -1;
      if (inpolygon && !c.x.empty()) out.emplace_back(c.x[0], c.y[0]);
    } else if (c.code == DPOLYGONSOLID && !c.x.empty()) {
      out.emplace_back(c.x[0], c.y[0]);
    } else if (!inpolygon && c.code == DLINE) {
      out.emplace_back(c.operands.RX1, c.operands.RY1);
    } else if (!inpolygon && c.code == DPOLYLINE && !c.x.empty()) {
      out.emplace_back(c.x[0], c.y[0]);
    }
  }
  return out;
}

// Fresh graphics state with the recording device on both sides and a working palette.
inline void resetgraphics(int width = 640, int height = 480) {
  tessarreset();
  graphicsservices = GraphicsServices{};
  graphicsservices.yygapi = recordscreen;
  graphicsservices.yygcgm = recordcgm;
  graphicsservices.xxhcif = recordhardcopy;
  recordeddevicecode() = 0;
  GraphicsRegion& g = tessar.graphics;
  g.attributes.SCREENON = 1;
  g.attributes.DEVCLASS = 256;
  g.attributes.PALETTECLASS = 256;
  yypali();
  g.target.TARGETTYPE = 1;
  g.target.TARGETNUMBER = 0;
  yyresn(1, 0, width, height);
  devicelog().clear();
}
