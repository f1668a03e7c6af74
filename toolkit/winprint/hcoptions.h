#pragma once
// The hardcopy options shown to the user: the option dialog of the selected driver (or, for
// the Windows printer, the printer's page), and the two option dialogs behind it.
#include <optional>
#include <span>
#include <string>

// mode: the absolute value 0-3 is the unit of the dialogs (0, 1 inches or points, 2, 3
// millimetres or cm), absent or beyond 3 the locale's; negative also restricts the dialogs.
// name: the output name shown and changed; absent: the driver's default output name.
// DLGANSWER is 1 when the user confirmed, else 0.
void WHardcopyOptions(std::optional<int> mode = std::nullopt, std::string* name = nullptr);

// The page dialog of the devices of a fixed page (1 HP-GL, 2 PostScript, 4 raster printer,
// 12 HP-GL/2), dialog 32098: page size and margins in the unit, orientation, model or
// PostScript format, output name. options are the 29 hardcopy options, changed in place.
void yypgdlg1(int units, std::string& name, int& device, std::span<int> options, int locked, int restricted,
              int length);
// The format dialog (mode 3) of the other file devices, dialog 32000 + device, or a driver's
// detail dialog (mode 1): the option fields 1001-1029 it holds, the output name and, for the
// bitmap file and the metafile, the format. Options change through igrhardcopyoptions.
void yypgdlg2(int units, std::string& name, int identifier, int mode, int restricted, int length);
