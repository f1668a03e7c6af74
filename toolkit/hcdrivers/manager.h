#pragma once
// The hardcopy manager: device selection, the dispatch to the selected driver, opening and
// finishing a hardcopy with its print command, and the hardcopy options.
#include <optional>
#include <string_view>

// Hardcopy device codes (also the index of the dispatch).
enum HardcopyDevice {
  HCHPGL = 1, HCPOSTSCRIPT = 2, HCSVG = 3, HCRASTER = 4, HCBITMAP = 6, HCDXF = 8, HCCGM = 9,
  HCWINPRINTER = 10, HCWMF = 11, HCHPGL2 = 12
};

using HardcopyDriver = void (*)(int& code);

// Mode 1 selects the device and loads its defaults; other modes do nothing.
void igrhardcopyselect(int mode, int device);
// The driver of the selected device; codes without a driver do nothing.
void yyhcdispatch(int& code);
// "S" (or "s") alone finishes the open hardcopy and runs a pending print command; anything
// else (or nothing) finishes what is open and starts a new hardcopy.
void igrhardcopy(std::optional<std::string_view> name = std::nullopt,
                 std::optional<std::string_view> title = std::nullopt);
void igrhardcopyoptions(int option, int value);
// The defaults every driver shares.
void yydefh();
// The page aspect ratio from options 1 and 2 and the page rotation.
void yyasprath();
// Runs a print command through the shell and waits for its end.
void yyprncmd(std::string_view command);
// Puts the manager into the graphics services and registers the drivers built here.
void yyinstallhardcopy();
// A driver for a device code; other subsystems (raster, metafile, CGM) register theirs.
void yyhcregister(int device, HardcopyDriver driver);
