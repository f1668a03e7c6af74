#pragma once
// The graphics subsystem's region of tessar: the drawing target, the drawing attributes,
// the graphics area and its device mapping, the device operands and descriptions, the
// text state, the installed stroke font, the working palette and the metafile slots.
//
// Started by: winitialise (SCREENON, HARDCOPYON, RESELECT, HCDEVICE, ASPECT = 1.32, every
//   metafile slot free); the palette tables by yypali when the root window opens; the rest
//   by igrinit, which resets what its reset list names.
// Written by: the graphics routines (toolkit/graphics); the hardcopy drivers write their
//   half of DeviceDescription and the answer fields of DeviceOperands; the screen driver
//   writes the screen half and the character scale.
// Read by: every graphics routine, presentation graphics and the device drivers.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The drawable currently drawn on.
struct GraphicsTarget {
  int TARGETTYPE = 1;      // 1 window, 2 bitmap, 3 dialog graphics field, 4 metafile
  int TARGETNUMBER = 0;    // window 0-50, bitmap, field identifier or metafile slot 1-20
  int TARGETDIALOG = 0;    // dialog of a field target, else 0
  int RESELECT = 0;        // set only while the window selection re-applies a window's size
  int CGMRECORD = 0;       // 1 while the target is a slot recording CGM
  int WIDTH = 0;           // drawable width in pixels
  int HEIGHT = 0;          // drawable height in pixels
};

// Colour pair numbers: pair COLOURMODEL names colours in the current model.
enum ColourPair { PAIRDEVICE = 0, PAIRINDEX = 1, PAIRRGB = 2 };
enum PairSlot { PREVIOUS = 0, CURRENT = 1 };

// The drawing attributes.
struct GraphicsAttributes {
  int SCREENON = 0;        // 1 the screen side receives requests
  int HARDCOPYON = 0;      // > 0 while a hardcopy is open
  int DEVCLASS = 0;        // colour class of the screen side
  int PALETTECLASS = 0;    // palette class of the display, set at start-up
  // (previous, current) of the device colour number, the palette index and the RGB value.
  std::array<std::array<int, 2>, 3> COLOURS{{{0, 0}, {0, 223}, {0xFFFFFF, 0}}};
  int HCCLASS = 0;         // colour class of the hardcopy side
  int COLOURMODEL = 1;     // 1 palette, 2 RGB
  int PLOTMODE = 0;        // 0 copy, 1 OR, 2 AND, 3 XOR
  int LINETYPE = 0;        // 0-7
  int LINEWIDTH = 1;       // pixels
  int LINEFACTOR = 5;      // line-width factor of metafile targets and hardcopy drivers
  int FILLSTYLE = 0;       // 0-4
  int HATCHDENSITY = 0;    // 1-5 once set
  int HATCHANGLE = 0;      // 1-4 once set
  int OUTLINE = 1;         // 1 shapes get an outline
  int SCREENFILL = 0;      // set by the screen side when it cannot fill
  int HCFILL = 0;          // set by the hardcopy side: 1 fill by lines, 2 in two colours
  int STROKETEXT = 0;      // 1 while the stroke-font renderer fills glyphs
};

// The graphics area and the mapping of user units to device units.
struct GraphicsArea {
  float ASPECT = 1.32f;    // drawable width / height (exchanged at 90 and 270 degrees)
  float AX1 = 0, AY1 = 0, AX2 = 1, AY2 = 1;   // area box, fractions of the drawable
  float AREAW = 1, AREAH = 1;                 // area size; kept by IGrViewport
  float GX1 = 0, GY1 = 0, GX2 = 1, GY2 = 1;   // user units at left, bottom, right, top
  float CURX = 0, CURY = 0;                   // current point in user units
  float XMIN = 0, YMIN = 0, XMAX = 0, YMAX = 0;       // clip box, device units
  float TXMIN = 0, TYMIN = 0, TXMAX = 0, TYMAX = 0;   // clip box enlarged by 0.001
  int IXMIN = 0, IYMIN = 0, IXMAX = 0, IYMAX = 0;     // clip box truncated
  int IXSIZE = 0, IYSIZE = 0;                         // integer clip size
  float EXTX = 0, EXTY = 0;       // drawable extent: width - 0.01, height - 0.01
  float REXTX = 0, REXTY = 0;     // the extent as the page rotation sees it
  float DEVW = 0, DEVH = 0;       // area device size: XMAX - XMIN, YMAX - YMIN
  float GXRANGE = 1, GYRANGE = 1; // current unit range
  float RDEVW = 0, RDEVH = 0;     // area device size as the page rotation sees it
  float REFXRANGE = 1, REFYRANGE = 1;   // unit range, not followed while a viewport is set
  int VIEWPORT = 0;               // 1 only while IGrViewport runs
  int PAGEROTATION = 0;           // 0, 90, 180 or 270
};

// Operands of the device requests, and the answers the drivers write back.
struct DeviceOperands {
  int IX1 = 0, IX2 = 0, IX3 = 0, IX4 = 0;              // screen-side integers
  int IY1 = 0, IY2 = 0, IY3 = 0, IY4 = 0;
  float RX1 = 0, RX2 = 0, RX3 = 0, RX4 = 0;            // hardcopy-side reals
  float RY1 = 0, RY2 = 0, RY3 = 0, RY4 = 0;
  int IOPER1 = 0;          // N0: count, erase flag, mode of requests 1 and 18
  int IOPER2 = 0;          // N1: point count, probe answer of request 1, answer of request 25
  int HCRESX = 0, HCRESY = 0;              // dots per inch of the hardcopy device
  float LASTPENX = -9999, LASTPENY = -9999; // hardcopy pen position, -9999 none
  float HCSPACING = 0;     // line spacing of a software fill on the hardcopy side
  float HCSCALEX = 0, HCSCALEY = 0;        // hardcopy device units per drawable unit
  float HCRSCALEX = 0, HCRSCALEY = 0;      // the same as the page rotation sees it
  float HCASPECT = 0;      // page aspect ratio of the hardcopy
  int HCDEVICE = 0;        // device code of the last driver that answered request 1
  int HCRESINDEX = 0;      // raster and plotter drivers' words
  int HCPLANES = 0;
  int HCPENS = 0;
  int HPGLPREFIX = 0;
  int PRINTCMDOK = 0;      // the open driver's output may go through a print command
  int HCCOLOURS = 0;       // colours of the hardcopy device
  int HCCOLOURLIMIT = 256; // 256, or 8 for the raster printer
  int PLOTSTARTED = 0;     // the open hardcopy has begun a page
};

// What each side says of itself at request 1: screen half and hardcopy half.
struct DeviceDescription {
  float SCTEXTLIMIT = 1.7e38f, HCTEXTLIMIT = 0;   // largest hardware character size
  int SCTEXTLEVEL = 0, HCTEXTLEVEL = 0;
  std::string SCCAPS = std::string(29, '0'), HCCAPS = std::string(29, '0');
  int SCTEXTANGLES = 0, HCTEXTANGLES = 0;        // 0 none, 1 upright only, else any angle
  int SCPLATFORM = 0, HCPLATFORM = 0;
  int SCTRUECOLOUR = 0, HCTRUECOLOUR = 0;        // more than 256 colours
  int SCGRADIENT = 0, HCGRADIENT = 0;            // 2 platform, 1 software, 0 none
  int HCDEVTEXT = 0;       // proportional fonts on the hardcopy device
  int HCTEXTBACK = 0;      // opaque text background on the hardcopy device
  int HCTEXTFLAG3 = 0;
};

// The text state: size, rotation, justification, font kind and face, spacing.
struct TextState {
  std::string USERFACE = std::string(100, ' ');  // face name of device face 0
  float CW = 0.01333333f;  // character width, fraction of the area width
  float CH = 0.04f;        // character height, fraction of the area height
  float SLANT = 0;         // italic shear of stroke text
  float CHSCALEX = 0, CHSCALEY = 0;   // drawable extent / character cell in device units
  float ANGLE2 = 0;        // requested angle plus page rotation, [0, 360)
  float COSA2 = 1, SINA2Q = 0, SINA2DQ = 0;
  float ANGLE1 = 0;        // requested angle, [0, 360)
  float COSA1 = 1, SINA1Q = 0, SINA1DQ = 0;
  float ADVX = 0, ADVY = 0;           // one cell along the text line
  float COLYSTEP = 0, COLXSTEP = 0;   // one cell down a column
  int FONTKIND = 0;        // 0 device font, 1 stroke font
  int FACE = 1;            // 0 named, 1 Courier New, 2 Arial, 3 Times New Roman, 4 Symbol
  int HWFONT = 1;          // hardware font number 1-4
  int TYPEFLAGS = 0;       // 1 bold, 2 italic, 4 underline, 8 background box
  int DIRECTION = 0;       // 0 horizontal, 1 vertical
  int JUSTIFY = 1;         // 0 left, 1 centre, 2 right
  int VALIGN = 2;          // 0-2, kept for presentation graphics
  int SPACING = 0;         // 0 fixed pitch, 1 table spacing, 2 font spacing
  int LOADEDBOLD = 0;      // bold bit the last bold-aware font installation used
  std::array<int, 2> SUBST{1, 1};   // substitution allowed, screen and hardcopy side
  std::array<float, 191> CHARWIDTHS{};   // codes 32-127, then 161-255
};

// The installed stroke font.
struct StrokeFont {
  std::string GLYPHS = std::string(17000, ' ');
  std::string NAME = std::string(260, ' ');
  std::array<int, 96> START1{};   // glyph starts of codes 33-128
  std::array<int, 96> START2{};   // glyph starts of codes 161-255, then one past the end
  std::array<float, 4> METRICS{}; // cell width, cell height, box width, box height
  int CHARSETWIDTH = 8;           // 7: no glyphs for codes 161-255
  int STROKED = 1;                // 1 stroked lines, 0 filled outlines
  int GLYPHS128 = 0;              // 1 when code 128 draws glyph slot 127
  int DEFSPACING = 0;             // 0 fixed pitch, 1 table spacing
};

// The 256-entry working palette and the tables derived from it.
struct PaletteTables {
  std::array<int, 256> WORKING{};
  std::array<int, 8> PALETTE8{};
  std::array<int, 16> PALETTE16{};
  std::array<int, 128> CLASSTABLE{};
  std::array<std::array<float, 3>, 256> CONE{};   // (s v cos h, s v sin h, v) per entry
};

// One in-memory metafile slot.
struct MetafileSlot {
  int SIZE1 = 0, SIZE2 = 0;   // SIZE1 divides the line width on this target
  int SIZE3 = 0, SIZE4 = 0;   // logical width and height of the drawable
  int KIND = 0;               // 0 free, 3 enhanced metafile, 6 CGM recording
  int INUSE = 0;
  int CAPACITY = 0, USED = 0; // CGM recording buffer
  std::vector<std::uint8_t> BUFFER;
};

// The polygon of a gradient request (40): vertices in the handling device's pixel grid with
// their colours, and the triangles it was divided into (vertex indices counted from 0).
struct GradientVertices {
  std::array<int, 1000> X{}, Y{}, RGB{};
  std::array<std::array<int, 3>, 998> T{};
  int n = 0;
  int ntri = 0;
};

struct GraphicsRegion {
  GraphicsTarget target;
  GraphicsAttributes attributes;
  GraphicsArea area;
  DeviceOperands operands;
  DeviceDescription description;
  std::vector<float> XWORK, YWORK;   // device reals of requests 15, 16, 32 and 40
  TextState text;
  StrokeFont font;
  PaletteTables palette;
  std::array<MetafileSlot, 20> metafiles;   // slot k at index k-1
  GradientVertices gradient;
};
