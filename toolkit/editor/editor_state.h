#pragma once
// The editor subsystem's region of tessar.
#include <array>
#include <string>
#include <vector>

// One editor buffer of a window: its file name and text, with flags that say whether each
// is allocated (0 not).
struct EditBuffer {
  std::string name;
  std::string text;
  int NAMEALLOCATED = 0;
  int TEXTALLOCATED = 0;
};

struct EditorRegion {
  // EDITBUF[w][b - 1]: buffer b (1-20) of window w (0-50); allocated by winitialise.
  std::vector<std::array<EditBuffer, 20>> EDITBUF;
};
