#pragma once
// Device requests: every graphics device, on screen or hardcopy, is one routine that takes a
// request code 1-40 and reads its operands from tessar.graphics (DeviceOperands, the state
// records, XWORK/YWORK and the text operand, FileNames name 9).
//
// The routines behind the two sides live in other subsystems (the screen driver, the
// in-memory CGM recorder, the hardcopy manager) or in later parts of this one; each owner
// puts its entry into `graphicsservices` when the program starts. An empty entry means that
// service is not part of the build: a request or call to it does nothing.
#include <optional>
#include <string_view>

#include "toolkit/graphics/strokefonts.h"

// Request codes.
enum DeviceOpcode {
  DOPEN = 1, DLINE = 2, DCOLOUR = 3, DELLIPSE = 4, DELLIPSEFILL = 5, DELLIPSESOLID = 6,
  DPARALLEL = 7, DPARALLELSOLID = 8, DRECT = 9, DRECTSOLID = 10, DTRIANGLE = 11,
  DTRIANGLESOLID = 12, DSECTOR = 13, DSECTORSOLID = 14, DPOLYGON = 15, DPOLYGONSOLID = 16,
  DCLEAR = 17, DBEGINPLOT = 18, DENDPLOT = 19, DENDPAGE = 20, DFONT = 21, DTEXT = 22,
  DBLOCK = 23, DCLIP = 24, DTEXTLENGTH = 25, DPOINT = 26, DPLOTMODE = 27, DPALETTEENTRY = 28,
  DLINETYPE = 29, DLINEWIDTH = 30, DREADPIXEL = 31, DPOLYLINE = 32, DCHARROTATE = 33,
  DARC = 34, DLOADPALETTE = 35, DLINEJOIN = 36, DLINECAP = 37, DIMAGE = 38, DCGMHEADER = 39,
  DGRADIENT = 40
};

using DeviceRoutine = void (*)(int& code);

struct GraphicsServices {
  DeviceRoutine yygapi = nullptr;   // the screen driver
  DeviceRoutine yygcgm = nullptr;   // the in-memory CGM recorder
  DeviceRoutine xxhcif = nullptr;   // the driver of the selected hardcopy device
  void (*igrhardcopy)(std::string_view name, std::string_view title) = nullptr;
  void (*igrhardcopyoptions)(int option, int value) = nullptr;
  void (*IGrSelect)(int type, std::optional<int> number) = nullptr;
  // The built-in stroke fonts live in this subsystem: their entries start filled.
  void (*wgrvfontstandard)(int slot) = [](int slot) { ::wgrvfontstandard(slot); };
  // Bold-aware stroke fonts: install the bold or the normal variant by type bit 0.
  void (*wgrofontfixed)(int type) = [](int) { ::wgrofontfixed(); };
  void (*wgrofontswiss)(int type) = [](int) { ::wgrofontswiss(); };
  void (*wgrofontroman)(int type) = [](int) { ::wgrofontroman(); };
  void (*yybitmapinfo)(int window, int item, int& value) = nullptr;
  // The chart defaults that igrinit puts back (presentation graphics).
  void (*yypgreset)() = nullptr;

  // The metafile slots are freed through this when the root window closes.
  void (*WMetafileDestroy)(int slot) = nullptr;
  // Drawing targets of other owners: a numbered bitmap (raster output) and a graphics field
  // of the current dialog (the dialog manager). Each makes its surface gDC with its size.
  void (*yybitmapselect)(int index, int& failed, int& width, int& height) = nullptr;
  void (*yyfieldselect)(int& field, int& width, int& height) = nullptr;
  // The window dump of screen request 20 (raster output): start a dump page, copy the
  // rectangle of gDC onto it, end it.
  void (*yywindumpstart)(int& failed) = nullptr;
  void (*yywindumpblit)(int x1, int y1, int x2, int y2, int& failed) = nullptr;
  void (*yywindumpend)() = nullptr;
  // An image file (or the clipboard bitmap, type 0) drawn into a box of a device (0 the
  // screen target), rotated about (ox, oy); raster output.
  void (*yyloadimage)(int type, int device, int x1, int y1, int x2, int y2, int placement, int rotation, int ox,
                      int oy, int& failed, int& oscode, std::string_view name) = nullptr;
};

extern GraphicsServices graphicsservices;

// Screen side: the screen driver, or the CGM recorder while the target records CGM.
// SCREENON is not tested here: the screen driver returns at once when it is 0.
void yygdrv(int code);
// Hardcopy side: the selected driver while a hardcopy is open.
void yyhdrv(int code);
// The selected hardcopy driver directly, without the HARDCOPYON test (request 1).
void xxhcif(int code);
// A drawing request to every side that is on: the screen side when SCREENON is positive,
// the hardcopy side when HARDCOPYON is positive.
void yysend(int code);
