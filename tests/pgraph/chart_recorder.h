#pragma once
// Chart drawing seen at the device: the texts the screen side receives with their device
// positions, and the segments it draws, over a fresh chart on a 640 x 480 drawable.
#include <cmath>
#include <string>
#include <vector>

#include "tests/pgraph/pgraph_fixture.h"
#include "toolkit/graphics/area.h"

struct DrawnText {
  std::string text;
  float x, y;   // device units
  int justify;
};

inline std::vector<DrawnText>& drawntexts() {
  static std::vector<DrawnText> texts;
  return texts;
}

inline void recordchartscreen(int& code) {
  if (tessar.graphics.attributes.SCREENON == 0) return;
  const DeviceOperands& op = tessar.graphics.operands;
  if (code == DTEXT)
    drawntexts().push_back({tessar.files.HCCURRENT.substr(0, static_cast<std::size_t>(op.IX1)),
                            op.RX1, op.RY1, tessar.graphics.text.JUSTIFY});
  recordcall('S', code);
}

// A fresh chart whose screen side draws device text at any angle.
inline void resetchartdevice() {
  resetchart();
  graphicsservices.yygapi = recordchartscreen;
  DeviceDescription& dd = tessar.graphics.description;
  dd.SCCAPS = std::string(29, '1');
  dd.SCTEXTANGLES = 360;
  dd.SCTEXTLEVEL = 2;
  devicelog().clear();
  drawntexts().clear();
}

inline std::vector<std::string> textsonly() {
  std::vector<std::string> out;
  for (const DrawnText& t : drawntexts()) out.push_back(t.text);
  return out;
}

// The segments (request 2) the screen side drew, device units.
struct Segment {
  float x1, y1, x2, y2;
};
inline std::vector<Segment> segments() {
  std::vector<Segment> out;
  for (const DeviceCall& c : devicelog())
    if (c.side == 'S' && c.code == DLINE)
      out.push_back({c.operands.RX1, c.operands.RY1, c.operands.RX2, c.operands.RY2});
  return out;
}

inline void device(float gx, float gy, float& X, float& Y) { yye2i(gx, gy, X, Y); }
