// toolkit/text/messages.cpp: the error message table.
// Numbers 1-66 are the general services, 1001-1105 the window-system services; every
// number 1001-1105 has a text, the general band has gaps whose text is a single blank.
#include "toolkit/text/messages.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/os.h"
#include "toolkit/text/strings.h"

namespace {

constexpr std::array<std::string_view, 67> kGeneral = [] {
  std::array<std::string_view, 67> t{};
  t[1] = "Error opening file or device";
  t[2] = "Error reading/writing file or device";
  t[3] = "Error closing file or device";
  t[4] = "Number too large in string to numeric conversion";
  t[5] = "Graphics not supported on requested printer";
  t[10] = "No substring found";
  t[11] = "More than one decimal point in number";
  t[12] = "Invalid character detected";
  t[13] = "Operating system error";
  t[16] = "Graphics unit range is invalid";
  t[18] = "Numeric to string conversion error";
  t[20] = "Circle/ellipse radius <=0, height ratio<=0 or arc angle=0";
  t[21] = "Length of axis-parallel side of a parallelogram is =<0";
  t[22] = "Width/height=0 for a rectangle/triangle/parallelogram";
  t[23] = "No program name specified to IOsExecute";
  t[25] = "Too many bytes in char set during conversion from ASCII";
  t[27] = "Image file format not supported";
  t[28] = "Borders cross in simple polygon definition";
  t[34] = "Requested page size too large for raster image buffer";
  t[40] = "Number of files matched by IOsDirInfo/List exceeds array size";
  t[42] = "Unknown colour name/number specified to IGrColour/IGrColourN";
  t[43] = "Contour heights must increase monotonically";
  t[44] = "Invalid X and/or Y range in IGrArea/IGrViewport/IGrReplayArea";
  t[46] = "No graphics hardcopy driver currently selected";
  t[49] = "Fill too complex in IGrPolygonComplex";
  t[51] = "A search box contains too many points in IPgXYZToGrid";
  t[54] = "Mismatched driver/device in hardcopy options file";
  t[55] = "Source and target file names same in copy command";
  t[58] = "Min value greater than max value in IPgHighLow";
  t[63] = "Windows printer not available";
  t[64] = "Bit image transfer failed in IGrPrintImage";
  t[66] = "Invalid character code in WGrTextWidth";
  return t;
}();

constexpr std::array<std::string_view, 105> kWindow = {
    "Invalid menu item",                                              // 1001
    "Unable to load menu from resource",
    "Invalid window handle",
    "General error in common dialog",
    "No dialog currently selected",                                   // 1005
    "Invalid field identifier",
    "Dialog not present in resource - unable to load",
    "Unable to select specified dialog",
    "Attempt to store an out of range dialog field value",
    "Field value undefined",                                          // 1010
    "Option number out of range or invalid item ID",
    "Invalid tab number specified",
    "Invalid range specified for progress bar",
    "Invalid dialog mode requested",
    "Invalid bitmap/icon/metafile identifier",                        // 1015
    "Unable to display window/dialog. Parent window hidden",
    "Cell co-ordinates out of range",
    "Too many rows for grid field to hold",
    "Invalid target drawing surface",
    "Bitmap creation failed",                                         // 1020
    "Invalid bitmap handle",
    "Only child windows can be converted into editors or viewers",
    "Variable too small to receive text",
    "Invalid editor mode requested",
    "Editor can't have menu in InsideParent child window",            // 1025
    "User menu not supported with modal editor or grid window",
    "General problem initializing editor",
    "Current window is not a text editor",
    "Invalid range specified for trackbar",
    "General help viewer error",                                      // 1030
    "Not a valid help file extension",
    "Editor does not have a command line",
    "Editor can't have command line in InsideParent child window",
    "External process timed out before completion",
    "Failed to enable OpenGL graphics",                               // 1035
    "Cannot destroy bitmap while in use by bitmap viewer",
    "Specified bitmap is already in use",
    "Window is already converted to a different type",
    "Invalid bitmap viewer mode requested",
    "General problem initializing bitmap viewer",                     // 1040
    "X server modal dialog/window pixmap resources are low",
    "X server modal dialog/window pixmap resources are exhausted",
    "Invalid bitmap bitwise mode requested",
    "Zlib compression/decompression error",
    "Specified dialog has wrong style to be combined with a window",  // 1045
    "Parent window is combined with a dialog",
    "Current dialog which is combined with a window",
    "Item identifier already exists in treeview field",
    "Treeview item is not a branch",
    "Invalid pre-defined registry key",                               // 1050
    "Grid window can't have menu in InsideParent child window",
    "Invalid grid window mode requested",
    "General problem initializing grid window",
    "Data file contains more row or columns than grid field",
    "Unable to match value from file with menu cell option",          // 1055
    "Parent window is converted to a special type",
    "Cannot convert window when InsideParent windows exist",
    "No name specified for user-defined font",
    "Metafile creation failed",
    "Invalid metafile handle",                                        // 1060
    "Unsupported metafile format",
    "CGM memory metafile full",
    "Cannot save image when drawable is a metafile",
    "Cannot print image when drawable is a metafile",
    "Bitmap operation on memory metafile not allowed",                // 1065
    "Error during bitmap put/get operation",
    "Invalid editor buffer",
    "No more editor buffers available",
    "Cannot hide or unload a sub-dialog",
    "Cannot set format in non-RTF editor window",                     // 1070
    "Graphical input not allowed in memory bitmap/metafile",
    "API error during bit image save",
    "3D model vertex limit exceeded. Increase MAXVERTEX.",
    "3D model facet limit exceeded. Increase MAXFACET.",
    "3D model material number invalid",                               // 1075
    "3D model workspace full. Increase MAXWORK.",
    "3D model internal error: Workspace empty.",
    "Unsupported 3D model file format",
    "Insufficient space to add data from 3D model file",
    "Unable to add one or more materials from a 3D model file",       // 1080
    "DERUVE.DLL not found",
    "MAPI32.DLL not found. Unable to send e-mail",
    "Error invoking e-mail program",
    "Error encoding e-mail attachments",
    "At least one e-mail recipient must be specified",                // 1085
    "Unsupported or invalid .wav sound file",
    "Too many dialogs",
    "Error during dialog creation",
    "Facet polygon too large in 3D model",
    "Invalid bitmap rotation angle",                                  // 1090
    "Dialog is already loaded",
    "Editor does not have a command history",
    "Unable to locate home directory",
    "Error accessing the clipboard",
    "Clipboard data type mismatch",                                   // 1095
    "Current window is not a special purpose window",
    "Current drawable cannot display a cursor",
    "Unable to initialise ODBC database access",
    "Specified database record does not exist",
    "Invalid database handle",                                        // 1100
    "Too many parts in 3D model",
    "3D model part number invalid",
    "3D model vertex number invalid",
    "Part definitions not contiguous in 3D DXF file",
    "3D model facet number invalid",                                  // 1105
};

constexpr std::array<std::string_view, 9> kCompression = {
    "incompatible version",  // -6
    "buffer error",
    "insufficient memory",
    "data error",
    "stream error",
    "file error",  // -1
    "",            // 0
    "stream end",
    "need dictionary",  // 2
};

std::string_view errorText(int number) {
  if (number >= 1 && number <= 66) return kGeneral[number];
  if (number >= 1001 && number <= 1105) return kWindow[number - 1001];
  return {};
}

std::string_view compressionText(int status) {
  if (status < -6 || status > 2) return {};
  return kCompression[status + 6];
}

// The system's own text of an operating-system error code, blank for code 0 and for a code
// the system has no text for; a NUL ends the text.
std::string systemText(int code) {
  std::string work(300, ' ');
  if (code == 0) return work;
  win::yyerrorstr(code, work.data(), static_cast<int>(work.size()));
  const std::size_t nul = work.find('\0');
  if (nul != std::string::npos) std::fill(work.begin() + static_cast<std::ptrdiff_t>(nul), work.end(), ' ');
  return work;
}

}  // namespace

void winfoerrormessage(int number, std::string& text, std::optional<int> kind) {
  switch (kind.value_or(1)) {
    case 1:
      assignfixed(text, errorText(number));
      return;
    case 2:
      assignfixed(text, systemText(number));
      return;
    case 3:
      assignfixed(text, compressionText(number));
      return;
    default:
      return;
  }
}
