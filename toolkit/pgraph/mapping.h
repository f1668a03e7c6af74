#pragma once
// Plot area, plot units and their mapping to the graphics units of the current area,
// logarithmic scaling, and the save and restore around the drawing of one data set.
#include <string_view>

void IPgArea(float x1, float y1, float x2, float y2);
void ipgunits(float xmin, float ymin, float xmax, float ymax);
void IPgUnitsZ(float zmin, float zmax);
void IPgUnitsPolar(float rmax);
void ipgscaling(std::string_view xscale, std::string_view yscale);
void yyplog();
float yylog1(float x);
float yyp2x(float x);
float yyp2y(float y);
void ipgunitstogrunits(float x, float y, float& gx, float& gy);
void ipgcliprectangle(std::string_view option);
void yysavp();
void yyresp();
