#pragma once
// The toolkit state record: one static instance; each subsystem owns and declares its
// own region in its own header.
#include "toolkit/dialog/dialog_state.h"
#include "toolkit/editor/editor_state.h"
#include "toolkit/graphics/graphics_state.h"
#include "toolkit/hardcopy/hardcopy_state.h"
#include "toolkit/pgraph/pgraph_state.h"
#include "toolkit/raster/raster_state.h"
#include "toolkit/state/core_state.h"
#include "toolkit/state/error_state.h"
#include "toolkit/window/window_state.h"

struct Tessar {
  ErrorState error;
  WindowState window;
  WindowRegion windows;   // one record per window number 0-50
  DisplayInfo display;
  WindowTextState windowtext;
  FileNames files;
  DialogState dialog;
  GraphicsRegion graphics;
  PgraphRegion pgraph;
  HardcopyRegion hardcopy;
  RasterRegion raster;
  EditorRegion editor;
};

extern Tessar tessar;

// Puts every region of tessar back to its state at load, as a fresh process has it.
void tessarreset();
