#pragma once
// Binary CGM elements (ISO 8632-3): the small encoders in two twins with one layout, the
// file twins (yycgm*) writing to unit 2 of the output channel and the memory twins
// (yygcgm*) appending to the buffer of the current metafile slot, and the element writers
// that the CGM file driver and the CGM recorder share.
//
// Multi-octet values are big-endian. An element of at most 30 parameter octets has its length
// in the header word; a longer one has length 31 and then partitions, each with its own
// length word (bit 15: another partition follows). An element whose parameters end on an
// odd octet is followed by one zero octet, not counted in its length.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "toolkit/graphics/graphics_state.h"

// Where an element's octets go.
enum class CgmOut { FILE, MEMORY };

// Octets of one partition at most: a whole number of points, and even.
inline constexpr int kCgmPartition = 32764;
// Characters of one string (one length octet).
inline constexpr int kCgmString = 254;

// The parameter list of one element, assembled before it is written.
struct CgmParams {
  std::vector<std::uint8_t> b;
  CgmParams& int16(int v);              // low 16 bits, two's complement
  CgmParams& point(int x, int y);
  CgmParams& octet(int v);              // low 8 bits
  CgmParams& real0();                   // fixed-point 0.0: four zero octets
  // Length octet and the characters (at most kCgmString); pad adds a zero octet when the
  // count of octets is odd.
  CgmParams& string(std::string_view text, bool pad);
};

// Header word, long form and partitions, trailing zero octet; the element goes out in one
// write, so a refused append into a full slot leaves no half element behind. forcelong
// writes the long form even for a short list (the point lists).
void yycgmelement(CgmOut out, int cls, int id, const CgmParams& params, bool forcelong = false);
// An element whose parameters arrive as partitions (the cell array): each part is one or
// more partitions (split at kCgmPartition octets), in the long form.
void yycgmpartitioned(CgmOut out, int cls, int id, std::span<const std::vector<std::uint8_t>> parts);

// While capture is set, what the file twins write goes into it instead of unit 2 (a CGM
// for the clipboard). nullptr: unit 2 again.
void yycgmcapture(std::vector<std::uint8_t>* capture);

// The file twins.
void yycgm1(int& red, int& green, int& blue);   // colour handling of hardcopy option 6
void yycgm2(int cls, int id, int length);       // header word
void yycgm3(float x, float y);                  // VDC point: trunc(x * sx), trunc(y * sy)
void yycgm4(int cls, int id, int red, int green, int blue);   // whole colour element
void yycgm5(int value);
void yycgm6(int a, int b);
void yycgm7(std::string_view text);             // string, padded to an even count
void yycgm8(std::string_view text);             // string, never padded
// The memory twins; yygcgm1 appends raw octets to the current slot (error 1062 under
// "YYGCGM1" when they do not fit, and nothing appended).
void yygcgm1(std::span<const std::uint8_t> octets, int count);
void yygcgm2(int cls, int id, int length);
void yygcgm4(int cls, int id, int red, int green, int blue);
void yygcgm5(int value);
void yygcgm6(int a, int b);
void yygcgm7(std::string_view text);
void yygcgm8(std::string_view text);

// The VDC of a drawable real: scaled, truncated toward zero, kept inside 16 bits.
int yycgmvdc(float v, float scale);

// The gradient triangles of request 40 as interpolated-interior polygons: yycgm9 for the
// file driver (corners scaled by the operands' HCSCALEX, HCSCALEY), yygcgm9 for the
// recorder (corners in device units). realcorners: the work arrays still number the corners
// as the vertices do (no corner was merged), so vectors come from the reals.
void yycgm9(const GradientVertices& vertices, int& status);
void yygcgm9(const GradientVertices& vertices, int& status);
void yycgmgradientcorners(int count);

// A text: TEXT (character mode) or RESTRICTED TEXT, with APPEND TEXT elements carrying what
// one string cannot hold.
void yycgmtext(CgmOut out, bool restricted, int dw, int dh, int x, int y, std::string_view text);
// A point list as one POLYLINE (4, 1) or POLYGON (4, 7), long form, split into partitions
// when it holds more than 8191 points.
void yycgmpoints(CgmOut out, int id, std::span<const int> xy);
// The metafile header up to TEXT ALIGNMENT: begin metafile (title, or "VXK CGM File"),
// descriptor, font list (list 0-2; others give list 2), then yycgmpicture.
void yycgmheader(CgmOut out, std::string_view title, int fontlist, int width, int height);
// BEGIN PICTURE with its descriptor, the VDC extent (0, 0)-(width, height), BEGIN PICTURE
// BODY and the left, base text alignment.
void yycgmpicture(CgmOut out, int width, int height);
// CELL ARRAY of the nx x ny cells taken from the image (columns x rows values, packed RGB),
// corners P, Q, R; rotation 0, 90, 180, 270 picks the cells. Rows become run lengths.
void yycgmcellarray(CgmOut out, const int (&pqr)[6], int nx, int ny, std::span<const int> image,
                    int rotation);
// The VDC extent of a page in points: 600 per inch, reduced to fit 16 bits.
void yycgmextent(int width, int height, int& w, int& h);
// Colour packed as red + 256 green + 65536 blue.
inline int yycgmpack(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// What the file driver and the recorder draw alike. vx and vy give the VDC of a drawable x
// and y (the file driver scales reals, the recorder rounds device units).
using CgmVdc = int (*)(float);
// An element of one 16-bit integer.
void yycgmint16(CgmOut out, int cls, int id, int value);
// An attribute goes out only when its value differs from the one last written (cached).
bool yycgmchanged(int& cached, int value);
// The line type index of the current line type.
int yycgmlinetype();
// The first IOPER2 points of the work arrays as POLYLINE (id 1) or POLYGON (id 7).
void yycgmworklist(CgmOut out, int id, CgmVdc vx, CgmVdc vy);
// A sector (RX1, RY1, radii RX2, RY2, angles RX3 to RY3) as a POLYGON from the centre (cx, cy):
// steps of halfturn / segments, and no more intermediate angles than four times segments + 1.
void yycgmsector(CgmOut out, int cx, int cy, long long segments, float halfturn, CgmVdc vx, CgmVdc vy);
// TEXT ALIGNMENT when it changed, then the label of a text request from its start (x, y)
// moved by the justification: TEXT of the first character under per-character spacing, else
// RESTRICTED TEXT of the operand in the box dw x dh.
void yycgmlabel(CgmOut out, int& alignment, float x, float y, int dw, int dh, CgmVdc vx, CgmVdc vy);
// The cells of an image request (IX2 x IY2, crossed on a page turned by 90 or 270 degrees)
// loaded quietly from the image file named by HCCURRENT. Returns -1 (IOPER1 0) when the image
// has no cells or more than a cell array holds, the load's error number (the last error, in
// IOPER1, its detail in IOPER2) when it failed, else 0 (the error state as it was).
int yycgmimage(int& nx, int& ny, std::vector<int>& pixels);
// The gradient request: the work arrays' vertices in VDC, the triangles of the area
// (x1, y1)-(x2, y2) through yycgm9 or yygcgm9.
void yycgmgradient(CgmOut out, CgmVdc vx, CgmVdc vy, int x1, int y1, int x2, int y2);
