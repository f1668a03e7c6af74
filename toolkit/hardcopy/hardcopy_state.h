#pragma once
// The hardcopy subsystem's region of tessar.
#include <array>
#include <string>

// The raster printer in use. Zero at load.
// Written by: iprinter (BANDADVANCE, PINS, RESCOUNT, RESOLUTIONS, PRCLASS, PLANES,
//   COMPRESSDIGIT, COLOURKIND); the raster set-up and data stream (the rest);
//   the output channel (OUTPUTERROR: 0 when it opens its file, 1 after a failed open or write).
// Read by: the raster set-up and data stream, the raster primitives (COLOURKIND),
//   and every file writer, which stops once OUTPUTERROR is 1.
struct RasterPrinter {
  int PLANESEL = 0;        // plane the pixel tests read: 0-2, -1 the black pass
  int LEFTMARGIN = 0;      // blank bit-image bytes before each pin-printer band
  int BANDADVANCE = 0;     // line-spacing n in 1/216 inch
  int PINS = 0;            // 1, 8 or 24
  int RESCOUNT = 0;        // resolutions listed, 2-4
  int PASSFACTOR = 0;      // interleaved passes per pin band, 1 or 2
  std::array<int, 4> RESOLUTIONS{};  // dots per inch, highest first
  int PRCLASS = 0;         // printer class 1-10
  int PLANES = 0;          // 1 or 3
  int RASTERWIDTH = 0;
  int RASTERHEIGHT = 0;
  int LASTROW = 0;
  int PLANESUSED = 0;
  int COMPRESSION = 0;     // PCL row compression 0-2
  int COMPRESSDIGIT = 0;   // the highest method the printer takes
  int COLOURKIND = 0;      // 0 monochrome, 1 RGB planes, 2 CMY planes
  int OUTPUTERROR = 0;
  std::array<char, 50> STARTSTRING{};
  std::array<char, 15> ENDSTRING{};
  std::array<std::array<char, 12>, 3> ROWPREFIX{};
  std::array<char, 7> ROWFEED{};
  std::array<std::array<char, 3>, 6> BANDCOMMANDS{};
  int STARTLEN = 0, ENDLEN = 0, PREFIXLEN = 0, ROWFEEDLEN = 0;
};

// The chosen printer, plotter and HP-GL/2 devices. Zero at load.
// Written by: iprinter (PRINTERMODEL, PRINTERCHOSEN), iplotter (PLOTTERMODEL),
//   iprinter2 (HPGL2TYPE, HPGL2CHOSEN), start-up (HPGL2TYPE = 0 before its iprinter).
// Read by: the raster printer driver, the option dialogs, the device-name query.
struct PrinterSelection {
  int PRINTERMODEL = 0;
  int PRINTERCHOSEN = 0;
  int PLOTTERMODEL = 0;
  int HPGL2TYPE = 0;
  int HPGL2CHOSEN = 0;
};

// The Windows printer as the hardcopy side sees it. Zero at load.
// Written by: igrprintimageselect and the Windows printer driver's defaults request, from
//   yywprinfo (all three); WHardcopyOptions (the page).
// Read by: the screen driver's window dump and WHardcopyOptions (PRINTERPRESENT).
struct HardcopySettings {
  int PRINTERPRESENT = 0;  // 1 when a Windows printer answered its page query
  int PAGEWIDTH = 0;       // the printer's paper in points: long side from the driver,
  int PAGEHEIGHT = 0;      // then across and down as the page set-up turned it
};

// The PostScript driver's colour and path state. Reset when a plot begins.
struct PostScriptState {
  std::array<float, 3> PSLASTRGB{-1, -1, -1};  // colour last written with "g"; -1 none yet
  std::array<float, 3> PSCURRGB{};              // colour of the next stroke or fill
  int PSPATHPOINTS = 0;                         // segments in the open path, 0 none open
};

struct HardcopyRegion {
  // The hardcopy options: option k at index k - 1 (1-29 and 101-108 are used).
  // Written by each driver's defaults request, igrhardcopyoptions and the option dialogs.
  std::array<int, 108> HCOPTIONS{};
  RasterPrinter printer;
  PrinterSelection selection;
  // The DXF driver's current colour: a palette index, or with option 23 = 24 the value
  // red x 65536 + green x 256 + blue. Written by the DXF driver, read by yydxf1.
  int DXFCOLOUR = 0;
  HardcopySettings settings;
  PostScriptState postscript;
  // The line the HP-GL and HP-GL/2 writers build: a blank-padded template whose fixed
  // columns the writers fill before it is compacted and written. Written and read by them.
  std::string HPGLLINE = std::string(50, ' ');
};
