#pragma once
// Markers: 40 symbols centred on a position, built from lines and filled shapes in the
// current colour and line type, sized by the current character size of graphics text.

// Marker k (1-40; any other number draws marker 1) at (x, y) in graphics units.
void igrmarker(float x, float y, int k);
// Marker k at the current point.
void igrmarkerrel(int k);
