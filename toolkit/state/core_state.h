#pragma once
// The regions of tessar that several layers share (window, start-up, hardcopy, raster):
// window state, display facts, the last window font, and the file names and unit numbers.
//
// Started by: winitialise (toolkit/startup/startup.cpp) for every field named here.
// Written by: winitialise and the INI file (LFNGEN, LFNPLOTI, names 3 and 6); the window
//   layer (ROOTOPEN, CURWINDOW, the pushed-back event, the window font copy); the hardcopy
//   and raster subsystems (names 1, 2, 4, 5, 9); the wildcard delete and copy routines use
//   name 9 as their work buffer.
// Read by: the information queries (WInfoFilename), the hardcopy drivers, help.
#include <string>

// Event record of wmessage: window number (dialog identifier for dialog events), four
// values, position x and y, graphics width, height, x and y, message time.
struct MessageRecord {
  int window = 0;
  int value1 = 0, value2 = 0, value3 = 0, value4 = 0;
  int x = 0, y = 0;
  float gwidth = 0, gheight = 0, gx = 0, gy = 0;
  int time = 0;
};

struct WindowState {
  int STARTUP = 0;        // -9999 once winitialise has begun
  int ROOTOPEN = 0;       // root window open
  int PUSHBACKTYPE = 0;   // pushed-back event type, 0 none
  int CURWINDOW = 0;      // current window 0-50
  // Written by the root and child window routines and the event loop.
  MessageRecord PUSHBACK;  // pushed-back event record
  int CURWIDTH = 0;        // client width of the current window in pixels
  int CURHEIGHT = 0;       // client height of the current window in pixels
  int WINFLAGS[51] = {};   // window-open flags of each window, -1 after it closed
};

// Screen facts read at start-up: width and height in pixels, number of colours, palette
// class (2, 8, 16 or 256) and device class (3).
struct DisplayInfo {
  int WIDTH = 0, HEIGHT = 0, COLOURS = 0, PALETTECLASS = 0, DEVICECLASS = 0;
};

// Kind, bold and italic flags, width and height of the window font last created; -1 none.
// The fields in capitals are the window text state that the root window's opening resets:
// text position, colour indexes, the flag, the font asked for and the character size in
// pixels and in window units.
struct WindowTextState {
  int kind = -1, bold = -1, italic = -1, width = -1, height = -1;
  int X = 0, Y = 0, FORE = 0, BACK = 15, FLAG = 0, KIND = 0, BOLD = 0, ITALIC = 0;
  int CHARW = 0, CHARH = 0, CHARWU = 0, CHARHU = 0;
};

// File names of the toolkit, each a 260-character blank-padded text.
struct FileNames {
  int LFNGEN = 40;
  int LFNPLOTI = 42;
  char PATHSEP = '/';
  char DECIMAL = '.';
  std::string DUMPFILE = std::string(260, ' ');     // name 1
  std::string HCOUTPUT = std::string(260, ' ');     // name 2: default output of the open driver
  std::string CHARSET = std::string(260, ' ');      // name 3
  std::string TMPPRINT = std::string(260, ' ');     // name 4
  std::string TMPDUMP = std::string(260, ' ');      // name 5
  std::string CHARDIR = std::string(260, ' ');      // name 6
  std::string HOMEDIR = std::string(260, ' ');      // name 7
  std::string SYSDIR = std::string(260, ' ');       // name 8
  std::string HCCURRENT = std::string(260, ' ');    // name 9
  // The shared 200-character text work buffer: the hardcopy title, scale numbers, axis
  // texts and key labels are built in it.
  std::string TEXTBUF = std::string(200, ' ');
};
