// Fuzz target: a dialog's companion text (its RCDATA), read when the dialog is loaded, then
// the dialog shown and unloaded. The input up to its first NUL is the text of dialog 700,
// what follows up to the next NUL that of its page 701, the rest that of page 702 (703 is a
// row template). Whatever the text, loading must end, and unloading (or the refusal of the
// load) must leave no dialog loaded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/resource.h"
#include "platform/test_api.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"

namespace {

std::string texts[3];
win::ResourceEntry entries[3] = {
    {10, nullptr, 700, nullptr, nullptr, 0},
    {10, nullptr, 701, nullptr, nullptr, 0},
    {10, nullptr, 702, nullptr, nullptr, 0},
};
// Searched after the program's own table, which holds no text of these numbers.
win::ResourceRegistration registration(entries, 3);

void openRoot() {
  win::test::reset();
  tessar.window = WindowState{};
  tessar.dialog = DialogState{};
  WindowOpenOptions o;
  o.flags = 0x27;
  o.width = 800;
  o.height = 500;
  WindowOpen(o);
}

}  // namespace

// The window system and the main window are made once, before the inputs run, and closed at
// the end, so that what they hold is never taken for what an input leaked.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  openRoot();
  std::atexit([] {
    windowclose();
    win::test::reset();
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t from = 0;
  for (int k = 0; k < 3; ++k) {
    const std::size_t nul = k < 2 ? input.find('\0', from) : std::string::npos;
    texts[k] = input.substr(std::min(from, input.size()), nul == std::string::npos ? std::string::npos : nul - from);
    texts[k].push_back('\0');
    entries[k].data = reinterpret_cast<const unsigned char*>(texts[k].data());
    entries[k].size = static_cast<std::uint32_t>(texts[k].size());
    from = nul == std::string::npos ? input.size() : nul + 1;
  }
  tessar.error = ErrorState{};
  WDialogLoad(700);
  if (tessar.error.LASTERROR == 0) {
    WDialogShow();
    WDialogUnload();
  }
  if (dialogtable.nDialogs != 0) std::abort();   // a dialog left loaded
  return 0;
}
