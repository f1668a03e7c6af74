#pragma once
// The HP-GL and HP-GL/2 line writers. Every instruction is one line on unit 2, built in the
// 50-column line HPGLLINE from a blank-padded template whose fixed columns hold right-aligned
// numbers, then compacted: the mnemonic (columns 1-2) kept, no blank before the first
// parameter, each run of blanks between parameters one blank, no trailing blanks. With
// HPGLPREFIX 1 every line starts with one blank. Device coordinates are truncated to plotter
// units, never rounded.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The restore text after a scaling change or an annotation group.
inline constexpr std::string_view kHpglScale = "SC0 32760 0 32760";

// Building HPGLLINE: the template (blank-padded to 50 columns), then fields at 1-based
// columns. An integer too wide for its field is written as asterisks; a real is written with
// its leading zero where the field has room for it.
void yyhpglline(std::string_view templ);
void yyhpglput(int column, std::string_view text);
void yyhpglint(int column, int width, long long value);
void yyhpglreal(int column, int width, int decimals, float value);
// Truncation of a real plotter coordinate towards zero, held inside the integer range.
int yyhpgltrunc(float value);

// Mnemonic (first two characters) with INT(x HCSCALEX) and INT(y HCSCALEY) as (2I6).
void yyhpg1(std::string_view mnemonic, float x, float y);
// "LB", the text unchanged (it ends with the label terminator), CR LF.
void yyhpg2(std::string_view text);
// The text (at most 50 characters) compacted.
void yyhpg3(std::string_view text);
// Annotation records, only while option 18 is non-zero: a vertex (SC-9 x y 0 in plotter
// units), a value pair (SC-9 a b 0 as F10.4), and kind k with a, b and c + 32760, closed on
// the same line by the restore text when closing is non-zero.
void yyhpg4(float x, float y);
void yyhpg5(float a, float b);
void yyhpg6(int kind, int closing, int a, int b, int c);
// Any text, of any length, compacted as one line (the HP-GL/2 title line).
void yyhpglcompact(std::string_view text);
// HPGLLINE as prepared, up to its last non-blank column, compacted.
void yyhpg7();
// Wedge (request 13) or pie or open arc outline (34) under a scaling made square on the page.
void yyhpg0(int code, std::string_view restore);

// What both drivers write alike.
// Opens the output at begin plot; false (and the hardcopy off) when it cannot be opened.
bool yyhpglopen();
// The window P1, P2 (plotter units) as (4I7) into HPGLLINE from the given column.
void yyhpglwindow(int column, const int (&window)[4]);
// The defaults of the device description both drivers give (capabilities, text, no true
// colour or gradients, a print command, the output name).
void yyhpgldevice(std::string_view caps, int devtext);
// The scalings of the drawable onto 0..32760 on both axes.
void yyhpglscaling();
// Begin plot after the prologue: P1 and P2 from the page options in plotter units (units per
// point) into window, "IN; IP" with them, "RO 90; IP" (with a blank in column 4 where blank)
// with them again, the label terminator and the label direction.
void yyhpglframe(float units, int (&window)[4], bool blank, char terminator);
// A line of one instruction with one text field from column 3 (LT), and the pen width PW of
// option 9 between least and 5 mm.
void yyhpglfield(std::string_view mnemonic, std::string_view text);
void yyhpglpenwidth(float units, float least);
// Pen up to the start unless the pen is there, pen down to the end; the end is the last pen.
void yyhpglmove(float x1, float y1, float x2, float y2);
// The points of the work arrays a request names (IOPER2, within the arrays).
int yyhpglpoints();
// Pen up to the first of n points of the work arrays unless the pen is there, pen down along
// the rest (as encoded polylines where encoded); the last point is the last pen.
void yyhpglpolyline(int n, bool encoded);
// Native fills. A polygon: pen up to the first vertex, polygon mode, pen down along the rest
// (encoded: x and y are the first points of the work arrays, as encoded polylines), the
// polygon closed and filled; the first vertex is the last pen.
void yyhpglpolygon(std::span<const float> x, std::span<const float> y, bool encoded = false);
// The rectangle (RX1, RY1)-(RX2, RY2) as RA.
void yyhpglrectangle();
// The circle of the ellipse request once the pen is at its centre: made round on the page,
// in polygon mode and filled where filled, then the plot scaling again.
void yyhpglcircle(bool filled);
// A label: the start of the label of spacing class cls from (RX1, RY1); the label (the
// terminator appended) written from (x, y); the pen position is unknown after it.
void yyhpgllabelstart(int cls, float& x, float& y);
void yyhpgllabel(float x, float y, std::string label, char terminator);
// The clip box of the graphics area as the input window IW in plotter units, between "SC"
// alone and the plot scaling again; units are plotter units per point.
void yyhpglclip(float units, const int (&window)[4]);
// The relative character size SR of the current text size.
void yyhpglsize(float divisor, float widthfactor, float heightfactor);
// The label direction DI of the current text angle.
void yyhpgldirection();
// The scaling line (the restore text with one range changed) that keeps a circle round on
// the page (ellipse of axis ratio ratio; 1 for wedges and arcs): the centre (RX1, RY1) and radius RX2 under it come back in cx, cy and
// the result.
float yyhpglround(float ratio, float& cx, float& cy, std::string_view restore = kHpglScale);

// HP-GL/2: the polyline of the point work arrays from point 2 on as encoded polylines
// (PE, seven-bit base-32, relative).
void yyhpgl2a();
// The two data lines of an 8 by 4 raster fill pattern (after "RF1,8,4," or "RF2,8,4,"):
// pixel (x, y) is bit y x 8 + x, a set bit pen 1 (ink).
void yyhpgl2c(std::uint32_t pattern);
// PC line of one pen, after the colour adjustment of option 6.
void yyhpgl2d(int pen, int red, int green, int blue);
// As yyhpg0, with PLOTSTARTED set, comment record 4 for hatch styles 1 and 2, and "PD;".
void yyhpgl2e(int code, std::string_view restore);
