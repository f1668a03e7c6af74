#pragma once
// The bitmap-file driver (hardcopy device 6): a plot drawn by the raster device into a page
// in memory and written at each end of page as one BMP, PCX or PNG image.

// Handles device request code: defaults, begin, end of page and end here, the rest through
// the raster device.
void xximag(int& code);
