#pragma once
// Printer models: which raster printer a model number 2-38 means, and the description
// of it that the raster set-up and the printer data stream work from.
#include <string_view>

// The device-name text (27 characters, blank-padded) and the five-character descriptor
// of a model: class letter, colour planes, colour kind (M, R or C), compression digit,
// and "2" when the printer also takes HP-GL/2. Model 27 is not a valid model.
struct PrinterModel {
  std::string_view name;
  std::string_view descriptor;
};

// Entry m - 2 is model m, for m = 2 to 38.
const PrinterModel& yyprintermodel(int model);

// Selects the raster printer model and fills the RasterPrinter description from it;
// an invalid model selects 28 without a report.
void iprinter(int model);

// Selects the HP-GL/2 device sub-type 1-5; any other value derives it from the raster
// printer model and leaves the chosen flag alone.
void iprinter2(int n);
