#pragma once
// Internal to the printer services: the layer's record of a printer and how CUPS
// destinations become such records. Invariant: the list holds the built-in PDF printer
// unless a test replaced the list, and at most one printer is the default.
#include <cups/cups.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/printer.h"

namespace win::printer {

struct Record {
  std::string device, driver, port;
  int width = 0, height = 0;     // physical page in pixels, portrait
  int dpix = 600, dpiy = 600;
  int numcolors = -1;            // -1 colour, 2 monochrome
  bool isDefault = false;
  DEVMODE devmode;               // the printer's current settings, kept by the layer
};

inline constexpr const char* kPdfDevice = "Print to PDF file";

// The built-in PDF printer: A4 at 600 dots per inch, colour.
Record pdfPrinter();

// The paper a CUPS media name gives, in millimetres (portrait: width <= height): PWG self-
// describing names ("iso_a4_210x297mm", "na_letter_8.5x11in") and the common short names
// ("A4", "Letter", "Legal", "A3", "A5"). False when the name gives no size.
bool mediaSize(std::string_view media, double& width, double& height);

// The printers of the CUPS destinations followed by the PDF printer; the default is the
// destination CUPS marks as default, else the PDF printer. Instances are left out.
std::vector<Record> fromDests(int count, const cups_dest_t* dests);

// The layer's record of the printer named device (case-insensitively), nullptr when none.
const Record* find(const char* device);
// True once when a test asked the named service to fail (the last error is then set).
bool failing(const char* service);
// Sends a finished PDF file as one job to the CUPS destination: the job's number, or 0
// with error set to ERROR_CANCELLED.
int submit(const std::string& device, const std::string& file, const std::string& title,
           int copies, DWORD& error);

}  // namespace win::printer
