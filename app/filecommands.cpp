// The file commands New, Open and Save as: the file chosen, the ".tw" extension with the
// user's consent, the overwrite question, then the project written or read.
#include <algorithm>
#include <cctype>
#include <string>

#include "app/mainprogram.h"
#include "app/modules.h"
#include "app/projectfile.h"
#include "platform/os.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"

namespace {

constexpr const char* kSaveNotice = "Please select the location and name for the new tarnwalker file.";

std::string trimmed(const std::string& s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string fixed(const std::string& s) {
  std::string out = s.substr(0, std::min<std::size_t>(s.size(), 500));
  out.resize(500, ' ');
  return out;
}

bool exists(const std::string& name) {
  int size = 0, y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, attributes = 0, kb = 0;
  win::yyfileinfo(size, y, mo, d, h, mi, s, attributes, kb, name.c_str());
  return size != -1;
}

// The ".tw" rule on a chosen name; the rename question carries the title.
std::string withextension(std::string name, const char* title) {
  name = trimmed(name);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot + 1 == name.size()) return (dot == std::string::npos ? name + "." : name) + "tw";
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "tw") return name;
  const std::size_t slash = name.rfind('/');
  const std::size_t from = slash == std::string::npos ? 0 : slash + 1;
  const std::string base = dot >= from ? name.substr(from, dot - from) : std::string();
  const std::string folder = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
  WMessageBox(3, 2, 2,
              "You have not used the *.tw extension.\rWould you like to rename the file '" + trimmed(base) + ".tw' ?",
              title);
  return winfodialog(4) == 1 ? trimmed(folder) + trimmed(base) + ".tw" : name;
}

// The overwrite question, then the save; false when nothing was written.
bool writechosen() {
  if (exists(trimmed(twvars.filename))) {
    WMessageBox(3, 2, 2, "File exists. Do you want to overwrite it?", "TarnWalker");
    if (winfodialog(4) != 1) {
      WMessageBox(0, 1, 1, "Problem with file. Data not saved properly.", "Problem");
      return false;
    }
  }
  return filesave();
}

}  // namespace

void filenew() {
  if (twvars.status >= 1) {
    WMessageBox(3, 2, 1, "Do you want to save your work so far?", "Save now?");
    // A save the user asked for that fails keeps the project as it is.
    if (winfodialog(4) == 1 && !filesave()) return;
  }
  WMessageBox(0, 4, 1, kSaveNotice, "New file");
  initialise_tw_vars();
  twvars.status = 0;
  twvars.filename = fixed("");
  std::string name(500, ' ');
  WSelectFile("Tarnwalker results files (*.tw)|*.tw|All files (*.*)|*.*|", 45, name, "New file name");
  if (winfodialog(4) != 1) return;
  twvars.filename = fixed(withextension(name, "New file"));
  writechosen();
}

void filesaveas() {
  WMessageBox(0, 4, 1, kSaveNotice, "Save as...");
  std::string name = twvars.filename;
  WSelectFile("Tarnwalker results files (*.tw)|*.tw|All files (*.*)|*.*|", 45, name, "Save as...");
  if (winfodialog(4) != 1) return;
  const std::string previous = twvars.filename;
  twvars.filename = fixed(withextension(name, "Save as..."));
  // Declining the overwrite keeps the previous name: a later Save never writes to the
  // declined file.
  if (exists(trimmed(twvars.filename))) {
    WMessageBox(3, 2, 2, "File exists. Do you want to overwrite it?", "TarnWalker");
    if (winfodialog(4) != 1) {
      twvars.filename = previous;
      WMessageBox(0, 1, 1, "Problem with file. Data not saved properly.", "Problem");
      return;
    }
  }
  filesave();
}

void fileopen() {
  // The project in hand is offered for saving first, and replaced only once a file has been
  // chosen and read: a cancel or a failed read leaves it, its name and status as they were.
  if (twvars.status >= 1) {
    WMessageBox(3, 2, 1, "Do you want to save your work so far?", "Save now?");
    if (winfodialog(4) == 1 && !filesave()) return;
  }
  std::string name(500, ' ');
  WSelectFile("Tarnwalker results files|*.tw|All files|*.*|", 44, name, "Open data");
  if (winfodialog(4) != 1) return;
  if (!exists(trimmed(name))) {
    WMessageBox(0, 1, 1, "File does not exist. File cannot be opened.", "TarnWalker");
    return;
  }
  const std::string previous = twvars.filename;
  twvars.filename = fixed(trimmed(name));
  if (!fileopen_read()) twvars.filename = previous;
}
