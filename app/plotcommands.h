#pragma once
#include <string_view>

// The plot commands shared by the separation and regression windows: copy to the clipboard,
// save as a Windows metafile and print, each drawing the window's plot into the hardcopy.

// Draws the plot into a metafile on the clipboard.
void plottoclipboard(void (*draw)());
// Asks for a metafile name (asking again before overwriting) and draws the plot into it;
// a cancelled file selection only redraws the plot on the screen.
void plottofile(void (*draw)());
// Runs the printer set-up of the Windows printer and, when the user confirms it, prints the
// plot on one page. A printer that writes a file asks for the file's name first (name, with
// ".pdf" added, offered) and tells in the status bar where it went.
void plottoprinter(void (*draw)(), std::string_view name);
