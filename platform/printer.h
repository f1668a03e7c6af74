#pragma once
// platform/printer.h: the printers of the platform layer, in the names and numbers the
// toolkit was designed on: the default printer's profile entry, information contexts that
// answer a printer's device capabilities, and the device-mode structure the layer keeps for
// each printer.
//
// Printers are the CUPS destinations plus a built-in "Print to PDF file" printer. The default
// printer is CUPS's default destination; without one (no CUPS server, or no default set) it
// is the PDF printer, so a printer is always found. The PDF printer's paper is A4 at 600 dots
// per inch, whatever the locale, so that pages are reproducible; a CUPS destination's paper
// comes from its "media" option (A4 when it has none or names none we know).
//
// The services set the layer's last error (GetLastError) on failure, as the toolkit expects
// of them; they never report.
#include <functional>
#include <string>
#include <vector>

#include "platform/win.h"

struct HIC__;
struct HPRINTER__;

namespace win {

// Error codes of the printer services.
inline constexpr DWORD ERROR_INVALID_PRINTER_NAME = 1801;

// Device capabilities of printers (the screen's are in platform/gdi.h).
inline constexpr int PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111, PHYSICALOFFSETX = 112,
                     PHYSICALOFFSETY = 113;
inline constexpr int DT_RASPRINTER = 2;

// Device-mode fields and their bits in dmFields.
inline constexpr DWORD DM_ORIENTATION = 0x1, DM_PAPERSIZE = 0x2, DM_PAPERLENGTH = 0x4,
                       DM_PAPERWIDTH = 0x8, DM_SCALE = 0x10, DM_COPIES = 0x100,
                       DM_DEFAULTSOURCE = 0x200, DM_PRINTQUALITY = 0x400, DM_COLOR = 0x800,
                       DM_DUPLEX = 0x1000, DM_YRESOLUTION = 0x2000, DM_TTOPTION = 0x4000,
                       DM_COLLATE = 0x8000, DM_MEDIATYPE = 0x2000000,
                       DM_DITHERTYPE = 0x4000000;
inline constexpr short DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2;
inline constexpr short DMPAPER_LETTER = 1, DMPAPER_LEGAL = 5, DMPAPER_A3 = 8, DMPAPER_A4 = 9,
                       DMPAPER_A5 = 11;
inline constexpr short DMCOLOR_MONOCHROME = 1, DMCOLOR_COLOR = 2;

struct DEVMODE {
  char dmDeviceName[32] = {};
  WORD dmSpecVersion = 0x401;
  WORD dmDriverVersion = 0;
  WORD dmSize = 0;           // set by the layer: sizeof(DEVMODE)
  WORD dmDriverExtra = 0;
  DWORD dmFields = 0;
  short dmOrientation = 0;
  short dmPaperSize = 0;
  short dmPaperLength = 0;   // tenths of a millimetre
  short dmPaperWidth = 0;    // tenths of a millimetre
  short dmScale = 0;
  short dmCopies = 0;
  short dmDefaultSource = 0;
  short dmPrintQuality = 0;  // dots per inch when positive
  short dmColor = 0;
  short dmDuplex = 0;
  short dmYResolution = 0;
  short dmTTOption = 0;
  short dmCollate = 0;
  char dmFormName[32] = {};
  WORD dmLogPixels = 0;
  DWORD dmBitsPerPel = 0;
  DWORD dmPelsWidth = 0;
  DWORD dmPelsHeight = 0;
  DWORD dmDisplayFlags = 0;
  DWORD dmDisplayFrequency = 0;
  DWORD dmICMMethod = 0;
  DWORD dmICMIntent = 0;
  DWORD dmMediaType = 0;
  DWORD dmDitherType = 0;
  DWORD dmReserved1 = 0;
  DWORD dmReserved2 = 0;
  DWORD dmPanningWidth = 0;
  DWORD dmPanningHeight = 0;
};

// The last error code that a printer service set (0 none yet).
DWORD GetLastError();
void SetLastError(DWORD code);

// Profile strings. Only the entry "Device" of section "windows" exists: the default printer
// as "device,driver,port". The value (or def when there is none) is copied into out, cut to
// size - 1 characters and NUL-terminated; returns the characters copied without the NUL.
// An absent entry sets the last error to ERROR_FILE_NOT_FOUND (2).
DWORD GetProfileString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size);

// An information context of a printer: it answers capability queries and nothing else.
using HIC = ::HIC__*;
// Opens the information context of the printer named device (case-insensitively). driver
// and port are not needed to find it; mode, when given, chooses its paper and orientation
// (the fields its dmFields names). nullptr with ERROR_INVALID_PRINTER_NAME for an unknown
// or empty device name.
HIC CreateIC(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODE* mode);
// HORZRES, VERTRES, PHYSICALWIDTH, PHYSICALHEIGHT (pixels), PHYSICALOFFSETX/Y, LOGPIXELSX/Y,
// NUMCOLORS (-1 for a colour printer, 2 for a monochrome one), BITSPIXEL, PLANES,
// TECHNOLOGY, HORZSIZE and VERTSIZE (millimetres); 0 for other indexes or a closed context.
int GetDeviceCaps(HIC ic, int index);
BOOL DeleteDC(HIC ic);

// The printers there are, in the layer's order (the CUPS destinations, then the PDF printer).
struct PRINTER_NAMES {
  std::string device, driver, port;
};
std::vector<PRINTER_NAMES> EnumPrinters();

// Open printers and their device modes. The layer keeps one current DEVMODE per printer;
// DocumentProperties hands out copies and never changes it.
using HPRINTER = ::HPRINTER__*;
inline constexpr DWORD DM_OUT_BUFFER = 2, DM_IN_BUFFER = 8;
// Opens the printer named name (case-insensitively); defaults are not used. FALSE with
// ERROR_INVALID_PRINTER_NAME for an unknown or empty name.
BOOL OpenPrinter(LPCSTR name, HPRINTER& printer, const void* defaults);
BOOL ClosePrinter(HPRINTER printer);
// mode 0: the size of the printer's DEVMODE in bytes. DM_OUT_BUFFER: its current DEVMODE
// into out. DM_IN_BUFFER | DM_OUT_BUFFER: the current DEVMODE with the fields of in that
// in->dmFields names and the printer supports merged, into out (out may be in); its
// dmFields is then the set the printer supports. Returns 1 (IDOK) for the copies, -1 with
// the last error set for a handle that is not open (6) or a missing buffer (87).
LONG DocumentProperties(HWND owner, HPRINTER printer, LPCSTR device, DEVMODE* out,
                        const DEVMODE* in, DWORD mode);

// Printer device contexts and print jobs (gdi_printer.cpp, in the drawing layer). A printer
// DC draws like any device context, in printer pixels with the page's corner at (0, 0); each
// page is kept until EndPage and then drawn with cairo into the job's PDF. EndDoc sends the
// PDF as one job to the CUPS destination, or, for the built-in PDF printer, writes it to
// the DOCINFO output name (else "<document name>.pdf" in the current folder).
struct DOCINFO {
  int cbSize = sizeof(DOCINFO);
  LPCSTR lpszDocName = nullptr;
  LPCSTR lpszOutput = nullptr;
  LPCSTR lpszDatatype = nullptr;
  DWORD fwType = 0;
};
inline constexpr int SP_ERROR = -1;
// Error codes of print jobs.
inline constexpr DWORD ERROR_WRITE_FAULT = 29, ERROR_CANCELLED = 1223,
                       ERROR_SPL_NO_STARTDOC = 3003;
// A device context on the printer named device with the paper, orientation and copies of
// mode (the printer's own settings when nullptr). nullptr with the last error set for an
// unknown printer.
HDC CreateDC(LPCSTR driver, LPCSTR device, LPCSTR port, const DEVMODE* mode);
// The job's number (> 0), or SP_ERROR with the last error set (a job already running, no
// printer DC, the PDF cannot be started).
int StartDoc(HDC dc, const DOCINFO& info);
// > 0, or SP_ERROR with the last error set (no job, a page already open or none open, the
// page cannot be written).
int StartPage(HDC dc);
int EndPage(HDC dc);
// Ends the job: the PDF completed and handed over (sent to CUPS or written). > 0, or
// SP_ERROR with the last error set; nothing is left behind on failure.
int EndDoc(HDC dc);
// Drops the job and its pages; nothing is printed.
int AbortDoc(HDC dc);

namespace test {
// A printer of the test's choice. width and height are the physical page in pixels, portrait.
struct Printer {
  std::string device, driver, port;
  int width = 0, height = 0;
  int dpix = 600, dpiy = 600;
  int numcolors = -1;
  bool isDefault = false;
  DWORD fields = 0;  // the device-mode fields it supports; 0: the layer's usual set
};
// Replaces the printers the layer found (CUPS is not asked again) by these; with none, the
// layer knows no printer at all and has no default.
void setPrinters(const std::vector<Printer>& printers);
// Forgets the printers set or found; the next service looks them up again.
void resetPrinters();
// The next call of the named service ("CreateIC", "GetProfileString", "OpenPrinter",
// "DocumentProperties", "CreateDC", "StartDoc", "StartPage", "EndPage", "EndDoc") fails
// with code.
void failNextPrinter(const std::string& service, DWORD code);
// How many printer handles are open.
int openPrinters();
// Runs hook inside the next CreateIC, as a printer driver's own code would run there.
void onPrinterQuery(std::function<void()> hook);
}  // namespace test

}  // namespace win
