#pragma once
// The editor subsystem's region of tessar.
#include <array>
#include <string>
#include <vector>

// One editor buffer of a window: its file name and text stream, with flags that say whether
// each is allocated (0 not), and the editing state it is shown with again: byte and character
// counts, selection (1-based start, end), saved and changed flags, first visible line.
struct EditBuffer {
  std::string name;
  std::string text;
  int NAMEALLOCATED = 0;
  int TEXTALLOCATED = 0;
  int NBYTES = 0, NCHARS = 0, ISELSTART = 0, ISELEND = 0, ISAVED = 0, ICHANGED = 0, ITOPLINE = 0;
};

struct EditorRegion {
  // EDITBUF[w][b - 1]: buffer b (1-20) of window w (0-50); allocated by winitialise.
  std::vector<std::array<EditBuffer, 20>> EDITBUF;
};
