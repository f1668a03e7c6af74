// The page set-up's printer blocks (the device mode and the driver/device/port names) read and
// written for everyone who keeps a page set-up of their own.
#pragma once

#include <array>
#include <string>

#include "platform/common_dialogs.h"
#include "platform/printer.h"

// Copies the device mode out of its block; false when the block is missing or too small.
bool yyreadprintermode(win::HGLOBAL block, win::DEVMODE& mode);
// Copies mode into its block; a missing or too small block is left alone.
void yywriteprintermode(win::HGLOBAL block, const win::DEVMODE& mode);
// Driver, device and port of a names block; blanks for a missing block.
std::array<std::string, 3> yyprinternames(win::HGLOBAL block);
// A device context of the set-up's printer with its mode; nullptr without a printer.
win::HDC yyprinterdc(const win::PAGESETUPDLG& psd);
// Frees both blocks and forgets them.
void yyforgetprinterblocks(win::PAGESETUPDLG& psd);
