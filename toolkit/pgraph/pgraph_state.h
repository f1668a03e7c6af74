#pragma once
// The presentation graphics region of tessar: the one chart definition.
// Started all 0 at program start; igrinit puts the chart defaults into it on every call.
// Written by: ipgnewplot1 (type, sets, values, option flags, per-type defaults), the plot
//   area, unit and scaling routines, the setters, the plotting routines (CURRENTSET and
//   the end points), yypol (XLOG, YLOG during its own run only).
// Read by: every chart routine.
#include <array>
#include <vector>

struct PlotDefinition {
  std::array<float, 4> PGAREA{};   // x left, x right, y bottom, y top: fractions of the area
  float PGXRANGE = 0, PGYRANGE = 0, PGZRANGE = 0;   // signed max - min
  float PGXMIN = 0, PGXMAX = 0, PGYMIN = 0, PGYMAX = 0;
  float PGZMIN = 0, PGZMAX = 0;
  float PGRMAX = 0;
  float PGXLOW = 0, PGXHIGH = 0, PGYLOW = 0, PGYHIGH = 0;
  float SCALEGAPW = 0, SCALEGAPH = 0;
  float DEPTHSHIFT = 0;
  float ELEVATION = 0;   // fraction of 45 degrees
  float ROTATION = 0;    // degrees
  float ROTCOS1 = 0, ROTCOS2 = 0;
  float DEPTHRATIO = 0;
  float LOGXMIN = 0, LOGXMAX = 0, LOGYMIN = 0, LOGYMAX = 0, LOGRMAX = 0;
  float LOGXRANGE = 0, LOGYRANGE = 0, LOGRRANGE = 0;
  // Per set k at index k-1: STYLEA, STYLEB, STYLEC; colour 1, colour 2; marker.
  std::array<std::array<int, 3>, 500> SETSTYLE{};
  std::array<std::array<int, 2>, 500> SETCOLOUR{};
  std::array<int, 500> SETMARKER{};
  int OUTLINECOLOUR = 0, OUTLINERGB = 0;
  int GRIDDIRECTION = 0;
  float RNVALUES1 = 0, RNVALUES2 = 0, RNSTEPS1 = 0, RNSTEPS2 = 0;
  float XSCALEPOS = 0, YSCALEPOS = 0;
  float XLABELPOS = 0, YLABELPOS = 0, ZLABELPOS = 0;
  float TITLEPOS = 0, KEYPOS = 0;
  float PIECENTREX = 0, PIECENTREY = 0, PIESCALEX = 0, PIESCALEY = 0, PIELEADER = 0,
        PIELABELGAP = 0;
  std::array<float, 2> PIELABELX{};
  std::array<std::array<float, 100>, 3> USERTICKS{};   // per axis 1 X, 2 Y, 3 Z
  std::array<int, 3> NUSERTICKS{};
  std::array<float, 3> TICKLENGTH{};
  std::array<float, 2> XTICKPOS{}, YTICKPOS{};
  std::array<float, 3> SCALEANGLE{};       // radians
  std::array<float, 3> SCALETEXTANGLE{};   // degrees
  int WALLFILL = 0;
  std::array<int, 3> WALLCOLOUR{};
  std::array<int, 2> XTICKPOSSET{}, YTICKPOSSET{};
  std::array<int, 3> NVALUES{};
  int NSETS = 0;
  int PGTYPE = 0;
  int CURRENTSET = 0;
  int CONTOURGRANUL = 0;
  int DECIMALPLACES = 0;
  std::array<int, 2> MARKERFREQ{};
  int PGOPTIONS = 0;
  int THREED = 0, STACKED = 0, OPT2 = 0, PROPDEPTH = 0, SMOOTH = 0, OPT20 = 0, OPT8 = 0;
  int PGMODE = 0;
  int POLAR = 0, OPT800 = 0;
  int XLOG = 0, YLOG = 0;
  int THREEDXY = 0;
  int CLIPTOAREA = 0;
  std::array<float, 4> KEYAREA{};   // x1, x2, y1, y2
  std::array<int, 3> MISSINGSET{};
  float MISSINGVALUE = 0, MISSINGVALUE2 = 0;
  double MISSINGVALUE3 = 0;
  std::vector<float> XPGEND, YPGEND;           // per set, allocated for PGENDSIZE sets
  std::vector<std::array<float, 4>> PGPIE;     // per set, allocated for PGPIESIZE sets
  std::vector<float> PGSTACK;
  int PGENDSIZE = 0, PGPIESIZE = 0;
  // The scaling asked for by the last ipgscaling; igrinit leaves them.
  int XLOGREQUEST = 0, YLOGREQUEST = 0;
};

struct PgraphRegion {
  PlotDefinition plot;
};
