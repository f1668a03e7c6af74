#pragma once
// The raster subsystem's region of tessar: the virtual raster page IRBUFF with its
// record RasterState, and the colour-cube dither tables.
//
// Started by: nothing; at load IRBUFF is empty, the pen solid and everything else 0.
// Written by: the raster drivers (page geometry, allocation of IRBUFF), the raster device
//   (drawing state), the raster primitives (IRBUFF, RASLASTRGB, the dash state),
//   yydith2 (the cube tables, at every begin of a raster hardcopy).
// Read by: the raster primitives and the page writers (BMP, PCX, PNG, printer stream).
//
// Page layout: row 0 is the bottom row. Depth 1 and the bit planes of depths 3 and 4 hold
// pixel x in bit (x mod 32) of word (x div 32) of its row, plane p at p x RASPLANEWORDS;
// depth 8 holds pixel x in byte (x mod 4) of word (x div 4); depth 24 holds one pixel per
// word, red in bits 0-7, green 8-15, blue 16-23.
#include <array>
#include <cstdint>
#include <vector>

struct RasterState {
  int RASWIDTH = 0, RASHEIGHT = 0;      // page size in pixels
  int RASXMAX = 0, RASYMAX = 0;         // RASWIDTH - 1, RASHEIGHT - 1
  int RASDEPTH = 0;                     // bits per pixel: 1, 3, 4, 8 or 24
  int RASCLASS = 0;                     // 1 one bit, 2 bit planes, 3 bytes, 4 words
  int RASLASTPLANE = 0;                 // bit planes - 1
  int RASROWWORDS = 0;                  // words per row of one plane
  int RASPLANEWORDS = 0;                // RASHEIGHT x RASROWWORDS
  int RASTOTALWORDS = 0;                // planes x RASPLANEWORDS; IRBUFF has one more
  int RASCLEARWORDS = 0;                // last word index a clear writes
  std::uint32_t RASCLEARVALUE = 0;      // the page's white
  float RASXRES = 0, RASYRES = 0;       // pixels per inch
  int RASPAPERWIDTH = 0;                // raster printer: dots across the paper
  int RASPAPERHEIGHT = 0;               // raster printer: dot rows down the paper
  std::array<std::uint32_t, 4> RASBYTEMASK{};  // drawing form: all bits but byte k
  std::array<int, 4> RASCLIP{};         // xmin, xmax, ymin, ymax in page pixels
  std::array<int, 2> RASPIXEL{};        // (previous, current) drawing value
  std::array<std::array<std::uint32_t, 2>, 3> RASDITHER{};  // (previous, current) of r, g, b
  std::uint32_t RASFILLA = 0, RASFILLB = 0;   // fill patterns of depth 1, even and odd x
  int RASTWOCOLOUR = 0;                 // the current fill is a two-colour fill
  int RASLASTRGB = -1;                  // last RGB value turned into a pixel, -1 none
  std::uint32_t RASDASHMASK = 0xFFF;    // line-type mask, a set bit drawn
  int RASDASHLEN = 12, RASDASHPOS = 0, RASDASHSTEP = 1;
  int RASDASHUNITX = 1, RASDASHUNITY = 1;   // pixels per dash bit along x and y
  int RASPENA = 0, RASPENB = 0;         // line thickness - 1
  int RASPENAHALF = 0, RASPENBHALF = 0; // RASPENA div 2, RASPENB div 2
};

// The Windows printer chosen for printing and window dumps: its names and the settings
// saved from the page set-up. Zero at load.
// Written by: yywprinfo (the names of the default printer when none is chosen yet, with
//   GotPrName 1 and PageDlgShown 0; every saved setting reset to "not set" after a
//   successful query); the page set-up dialog on OK (names, saved settings, PageDlgShown 1).
// Read by: yywprinfo and yywprgetdc, the metafile layer (names, for the reference device).
// Texts are NUL-terminated within their arrays.
struct PrinterSettings {
  std::array<char, 260> lpPrintType{};    // device name
  std::array<char, 32> lpPrintDriver{};   // driver name
  std::array<char, 260> lpPrintPort{};    // port name
  int GotPrName = 0;                      // 1 when the three names hold a printer
  int PageDlgShown = 0;                   // 1 when the page set-up completed with OK
  // Saved device-mode settings: -1 (prMedia, prDither: 99999) means "not set".
  std::int16_t prSize = 0, prLength = 0, prWidth = 0, prScale = 0, prSource = 0,
               prQuality = 0, prColor = 0, prDuplex = 0, prYRes = 0, prTTOption = 0,
               prCollate = 0;
  std::int32_t prMedia = 0, prDither = 0;
};

struct RasterRegion {
  RasterState state;
  std::vector<std::uint32_t> IRBUFF;    // words 0 to RASTOTALWORDS while a page is open
  // Colour-cube dither patterns, entry 256 B + 16 G + R of the level indices.
  std::array<std::uint32_t, 4096> CUBERED{}, CUBEGREEN{}, CUBEBLUE{};
  int RASLASTVALUE = 0;                 // pixel value yyvra5 computed last
  PrinterSettings printersettings;
  // The page of a window dump, numbered like the hardcopy options: dump option k at index
  // k - 1 (1, 2 page size and 3, 4 margins in points, 5 landscape, 8 copies). Written by
  // igrprintimageselect; read by the screen driver's window dump.
  std::array<int, 25> DumpSettings{};
};
