#pragma once
// For the toolkit's windows on a real display (GTK backend on the private Xvfb server).
#include <chrono>

#include "platform/gtk_backend.h"
#include "platform/win.h"
#include "toolkit/window/wmsg.h"

namespace tw::test {

// Turns the toolkit's event loop, kept going by timer events, until the desktop shows the
// frame as it is drawn; false when ten seconds pass first.
inline bool waitUntilShown(win::HWND frame) {
  for (int t = 1; t <= 16; ++t) wmessageenable(t, t == 13 ? 1 : 0);
  yysettimer(25, 1, 1);
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int type = 0;
  MessageRecord m;
  while (!win::gtktest::upToDate(frame) && std::chrono::steady_clock::now() < limit) wmessage(type, m);
  win::gtktest::sync();
  return win::gtktest::upToDate(frame);
}

}  // namespace tw::test
