#pragma once
// The shared test picture: one drawing made through the graphics layer only, which every
// output driver's tests draw so that their renderings can be compared.
#include <string>

// Fresh graphics state on a drawable of the given size with the screen side off and the
// hardcopy manager installed, initialised as igrinit ("H") leaves it: only an open hardcopy
// receives the picture.
void testpicturegraphics(int width = 1000, int height = 750);

// Draws the picture in user units 0-100 by 0-75 over the whole drawable: lines of every type
// and width, solid, patterned and hatched fills, filled shapes, circles, an ellipse, an arrow,
// the 40 markers, texts in device and stroke
// fonts at several sizes and angles with accented characters, an image (when imagefile is
// given) and a small line chart with axes. Where the parts lie is described in
// testpicturelayout() so that tests can sample them.
void drawtestpicture(const std::string& imagefile = "");

// Sample points in user units and the ink expected there (RGB).
struct PictureSample {
  const char* what;
  float x, y;
  int red, green, blue;
};
const PictureSample* testpicturesamples(int& count);
