#pragma once
// Polygon fill and hatching: the fill request sequence that every filled shape shares, the
// hatch spacing and two-colour rules, edge crossings, and the even-odd scan-line polygon fill.
#include <functional>
#include <span>
#include <vector>

void IGrPolygonComplex(std::span<const float> x, std::span<const float> y, int n);
// units 0: points in user units; any other value: device units.
void yyplygon(std::span<const float> x, std::span<const float> y, int n, int units);
void yystep(int side, int density, float& sx, float& sy, int& ix, int& iy, float& inset,
            int& alternate);
void yy2col(int side, int& pass);
float yyxinr(float x1, float y1, float x2, float y2, float y);
float yyyinr(float x1, float y1, float x2, float y2, float x);

// The fill request sequence, shared with the filled shapes.
struct FillPlan {
  int odd = 0;       // base + 3: the code the hardcopy side always receives
  int hatch = 0;     // 0 none, 1 single, 2 crossed
  int angle = 3;     // hatch angle the software lines follow
  bool done = false; // the devices filled the shape: no software side follows
};
// Steps 2-4: the request to the screen side and the announcement to the hardcopy side.
// direction is the N0 of the announcement (1, or the trapezium's direction code).
FillPlan yyfillbegin(int base, int direction = 1);
// Step 5: runs side(1) and side(2) for the sides that draw in software, each with the other
// side switched off. side returns false when the fill gave up (error 49): the later sides
// are skipped and the failed side's fill flag kept.
void yyfillsides(const FillPlan& plan, const std::function<bool(int side)>& side);
// Step 6: the end request to the hardcopy side.
void yyfillend(const FillPlan& plan);
// The largest multiple of i not above a (the hatch grid of the filled shapes).
int yygridbase(int a, int i);
double yygridbase(double a, int i);

// One set of parallel lines at first, first + step, ... while at most last (below last when
// strict). Only the lines whose scan value lies in lo..hi (the part of the set that can reach
// the clip box) are drawn, line(v, k) with k counted from the set's first line, so that the
// lines inside land where a full scan puts them; v is exact (double), a float of it is the
// single-precision scan value. Worked in double, so every step advances
// whatever the size of the shape. Returns how many lines the whole set holds.
long long yyscangrid(double first, double step, double last, bool strict, double lo, double hi,
                     const std::function<void(double v, long long k)>& line);
// The visible range of a scan coordinate: y (the tolerance box's rows) for horizontal lines,
// x for vertical ones.
void yyscanrange(bool horizontal, double& lo, double& hi);
// A device integer: the real truncated toward zero, held within the integer range.
int yydevint(float v);

// Device filled shapes far from the drawable. Beyond 2^22 device units a float no longer
// places a point within half a unit, and beyond 2^31 no device integer holds it: such a
// shape, filled by the devices (styles 3 and 4), is first clipped in double to the clip box
// widened by a few units, so that what reaches the devices lies near the drawable.
bool yyfarshape(std::span<const double> x, std::span<const double> y);
// Sutherland-Hodgman in double against the widened box; fewer than 3 points: nothing shows.
void yyclippolygon(std::vector<double>& x, std::vector<double>& y);
// The clipped polygon filled through the polygon fill in device units.
void yyfillclipped(std::vector<double> x, std::vector<double> y);

// The scan engine of the polygon fill, also used by the linear gradient fill: edge table,
// active edges and even-odd spans of the closed polygon (u along the lines, v across them).
// For each scan value from start upward in steps while it is at most vmax, perline(s) runs
// first (it may change colours), then the spans are drawn; scan values outside the clip box
// are passed over. Returns false after error 49,
// recorded under routine.
bool yyscanfill(std::span<const float> xw, std::span<const float> yw, int side, bool horizontal,
                double start, float step, const std::function<void(float s)>& perline,
                const char* routine);
