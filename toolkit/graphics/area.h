#pragma once
// Graphics state, areas and units: the reset of the whole graphics state, the graphics area
// as fractions of the drawable, the user units that span it, viewports, and the conversion
// between user units and device units for the four page orientations.
//
// Device units are pixels of the drawable, x to the right and y upwards from the bottom row.
#include <string_view>

void igrinit(std::string_view options);
void IGrArea(float x1, float y1, float x2, float y2);
void IGrUnits(float x1, float y1, float x2, float y2);
void IGrViewport(float x1, float y1, float x2, float y2);
void igrareaclear();
void yywing(float X1, float Y1, float X2, float Y2);
void yye2i(float x, float y, float& X, float& Y);
// yye2i worked in double, for points far from the drawable.
void yye2id(double x, double y, double& X, double& Y);
void yyi2e(float X, float Y, float& x, float& y);
void yyresn(int type, int number, int width, int height);
void yyresnrot();
void yysav(int mode);
void yybvi2e(float px, float py, float& x, float& y, int window);
