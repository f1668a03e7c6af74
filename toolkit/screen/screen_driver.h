#pragma once
// The screen driver: carries out the device requests on the current drawing target through
// the drawing layer, turning device y (row 0 at the bottom) into platform rows (row 0 at
// the top). It keeps the device font until the text state asks for a different one, and
// realises the palette once per batch of palette entries.

void yygapi(int& code);
// Puts the screen side's entries (the screen driver and the choice of drawing target) into
// graphicsservices; start-up calls it.
void yyscreenservices();
// Font creations made by request 21 since the process started (for the font cache's tests).
int yygapifontcount();
