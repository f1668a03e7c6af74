#pragma once
// The page of window dumps: the PostScript page (device 2) or the Windows printer's page
// (any other device, 10), kept in DumpSettings for the whole run.
#include <optional>

// Device 2: dump options 1-5 = 756, 540, 42, -20, 1, option 8 = 1, and the dump file
// (name 1) "tessdump.ps". Any other device or none: the Windows printer; options 1-5 and 8
// and the printer's paper in HardcopySettings come from yywprinfo, and the printer counts
// as present when that query succeeded (a failed query leaves them 0, the printer absent).
void igrprintimageselect(std::optional<int> device = std::nullopt);
