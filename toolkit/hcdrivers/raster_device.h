#pragma once
// The raster device: device requests drawn in software into the virtual raster page. The
// raster printer and bitmap-file drivers handle begin, end of page and end themselves and
// pass every other request here.

// Carries out device request code on the page; unhandled codes change nothing.
void yyvras(int& code);
