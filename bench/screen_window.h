// A headless toolkit window on the screen driver in true colour, opened once for the
// benchmarks that draw on the screen road.
#pragma once

#include "toolkit/screen/screen_driver.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"

namespace twbench {

inline void openScreenWindow(int width, int height) {
  if (tessar.window.ROOTOPEN == 1) return;
  yyscreenservices();
  tessar.display.COLOURS = 1 << 24;
  WindowOpenOptions o;
  o.flags = 7;
  o.width = width;
  o.height = height;
  WindowOpen(o);
}

}  // namespace twbench
