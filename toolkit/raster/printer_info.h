#pragma once
// Printer information: which Windows printer is meant (the default printer's names, unless
// one was chosen), that printer's page in points, the colour-table size of a bitmap header,
// and the floating-point control state that the printer query keeps as it found it.
// Nothing here reports through the error recorder; callers decide what a failure means.
#include <cfenv>
#include <cstdint>

#include "platform/gdi.h"
#include "platform/printer.h"

// The default printer's names from the profile entry "device,driver,port" into lpPrintType,
// lpPrintDriver and lpPrintPort (blanks after each comma skipped, a missing name empty,
// each cut to its field), GotPrName = 1. Returns 1, or 0 when there is no default printer.
int yywprintername();

// The printer's page: long and short side in points, drawing width and height (each side
// less 144), margins 72 and 72, orientation 1, copies 1, its colour count (NUMCOLORS) and
// error 0; resets the saved page set-up settings to "not set". On failure every output but
// the error is 0 and the error is the platform's code, never 0. The default printer is
// fetched first when none is chosen yet (then PageDlgShown = 0).
void yywprinfo(int& longside, int& shortside, int& width, int& height, int& left, int& top,
               int& orientation, int& copies, int& colours, int& error);

// The printer lpPrintType's current device mode with the orientation (landscape non-zero:
// landscape, else portrait), the copies (low 16 bits) and every saved page set-up setting
// that is set, each only when the printer supports it, merged in by the printer; when
// nothing applies, the device mode keeps an empty field mask. False, with mode untouched,
// when the printer cannot be opened or gives no device mode. The printer is closed again.
bool yywprdevmode(int landscape, int copies, win::DEVMODE& mode);

// A device context of the printer lpPrintType with the device mode of yywprdevmode (the
// landscape flag, the copies and the saved page set-up settings); nullptr when the printer
// cannot be opened, gives no device mode or no device context. The caller deletes it.
win::HDC yywprgetdc(int landscape, int copies);

// Bytes of the colour table behind a 12-byte core or 40-byte info bitmap header: 2, 16 or
// 256 entries for 1, 4 and 8 bits (or biClrUsed when it is set), 3 bytes each after a core
// header, 4 after an info header; 0 for deeper bitmaps.
std::uint16_t yywprpalsize(const void* header);

// Saves and restores the floating-point control state (rounding, precision, exception
// masks) whole.
void yygetcw(std::fenv_t& word);
void yysetcw(const std::fenv_t& word);
