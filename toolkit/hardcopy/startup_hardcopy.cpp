#include "toolkit/hardcopy/startup_hardcopy.h"

#include <string>

#include "platform/os.h"
#include "toolkit/hardcopy/printer_models.h"
#include "toolkit/os/opsys.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace {
bool exists(const std::string& name) {
  int size = 0, y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, attributes = 0, kb = 0;
  win::yyfileinfo(size, y, mo, d, h, mi, s, attributes, kb, name.c_str());
  return size != -1;
}

// directory + "vxk$$" + nn + ending for the first nn whose file does not exist (99 when
// every one exists), cut at 260 characters.
void temporaryName(std::string& field, const std::string& directory, const char* ending) {
  std::string name;
  for (int n = 0; n <= 99; ++n) {
    const char digits[3] = {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10), 0};
    name = directory + "vxk$$" + digits + ending;
    if (!exists(name)) break;
  }
  assignfixed(field, name);
}
}  // namespace

void yytmpprn() {
  FileNames& fn = tessar.files;
  std::string value(260, ' ');
  IOsVariable("TEMP", value);
  if (lentrim(value) == 0) IOsVariable("TMP", value);
  std::string directory = value.substr(0, static_cast<std::size_t>(lentrim(value)));
  if (directory.empty()) directory = "/tmp";
  if (directory.back() != fn.PATHSEP) directory += fn.PATHSEP;
  temporaryName(fn.TMPPRINT, directory, ".plt");
  temporaryName(fn.TMPDUMP, directory, ".dmp");
}

void iplotter(int model) {
  PrinterSelection& sel = tessar.hardcopy.selection;
  if (model >= 1 && model <= 10) {
    sel.PLOTTERMODEL = model;
    return;
  }
  sel.PLOTTERMODEL = 1;
  if (model >= 11 && model <= 15) iprinter2(model - 10);
}
