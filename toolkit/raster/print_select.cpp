// toolkit/raster/print_select.cpp: the page of window dumps.
#include "toolkit/raster/print_select.h"

#include <array>

#include "toolkit/raster/printer_info.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {
int gDumpColours = 0;  // the Windows printer's colour count at the last selection
}  // namespace

void igrprintimageselect(std::optional<int> device) {
  std::array<int, 25>& dump = tessar.raster.DumpSettings;
  if (device && *device == 2) {
    dump[0] = 756;
    dump[1] = 540;
    dump[2] = 42;
    dump[3] = -20;
    dump[4] = 1;
    dump[7] = 1;
    assignfixed(tessar.files.DUMPFILE, "tessdump.ps");
    return;
  }
  HardcopySettings& hs = tessar.hardcopy.settings;
  int error = 0;
  yywprinfo(hs.PAGEWIDTH, hs.PAGEHEIGHT, dump[0], dump[1], dump[2], dump[3], dump[4], dump[7],
            gDumpColours, error);
  hs.PRINTERPRESENT = error == 0 ? 1 : 0;
}
