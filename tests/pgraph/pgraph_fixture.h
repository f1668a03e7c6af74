#pragma once
// A fresh chart definition over fresh graphics state on a 640 x 480 drawable.
#include "tests/graphics/recording_device.h"
#include "toolkit/pgraph/definition.h"

inline void resetchart() {
  resetgraphics(640, 480);
  // What the window layer installs when it starts.
  graphicsservices.yypgreset = yypgreset;
  yypgreset();
  tessar.error = ErrorState{};
}
