#pragma once
// Internal to the file drivers: the steps every vector file driver takes alike.
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The open request asking which device a driver serves (IOPER2 -999): answered with device,
// true; false for a real open request.
bool yyhcquery(int device);
// Unit 2 opened at begin plot; false, with the hardcopy turned off, when it cannot be opened
// (the error state is left as it was when it opens).
bool yyhcopen();
// The device description of a file driver: its capabilities, text limit, true colour,
// gradients, device text and text background; any text angle, the platform's own fonts.
void yyhcdescribe(std::string_view caps, float textlimit, int truecolour, int gradient, int devtext,
                  int textback);
// A rectangle's corners (x1, y1)-(x2, y2) drawn no further than the graphics area.
void yyhcclipbox(float& x1, float& y1, float& x2, float& y2);
// The current (CURRENT) or previous (PREVIOUS) colour of the colour model in use: the RGB
// value under the RGB model, else the palette index.
int yyhcmodelcolour(int slot);
// The image file named by HCCURRENT decoded (yydecodeimage) into pixels, width x height
// colour values, top row first, without a message. On failure, a picture of another size
// included (27), its error number becomes the last error and goes to IOPER1 (its system
// code to IOPER2) and is returned; on success the error state is as it was and 0 is returned.
int yyhcloadimage(std::vector<int>& pixels, int width, int height);
// A text for a file's comments or structure (a title, a text value): every control
// character (line ends, the end-of-job byte, escape ...) becomes a blank, so the text can
// neither end its line nor its field early and run the rest as commands.
std::string yyhcplaintext(std::string_view text);
