#pragma once
// The plot commands shared by the separation and regression windows: copy to the clipboard
// and save as a Windows metafile, each drawing the window's plot into the hardcopy.

// Draws the plot into a metafile on the clipboard.
void plottoclipboard(void (*draw)());
// Asks for a metafile name (asking again before overwriting) and draws the plot into it;
// a cancelled file selection only redraws the plot on the screen.
void plottofile(void (*draw)());
