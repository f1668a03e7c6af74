// A text editor in a child window of the headless screen window, opened for the editor
// benchmarks; gives the child window's number.
#pragma once

#include "bench/screen_window.h"
#include "toolkit/editor/editor.h"
#include "toolkit/window/childwin.h"

namespace twbench {

inline int openEditorWindow() {
  openScreenWindow(800, 600);
  WindowOpenChildOptions o;
  o.flags = 39;
  o.width = 700;
  o.height = 500;
  o.title = "Text Editor";
  int n = 0;
  WindowOpenChild(n, o);
  WEditFile("", {});
  return n;
}

}  // namespace twbench
