// Fuzz target: the project file reader, through its public read routine only.
#include <cstddef>
#include <cstdint>

#include "app/modules.h"
#include "app/projectfile.h"
#include "fuzz/fuzz_support.h"
#include "platform/message_box.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    initialise_tw_vars();
    initialise_regressdat();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
    return true;
  }();
  (void)ready;
  std::string name = fuzz::writeInput("project.tw", data, size);
  name.resize(twvars.filename.size(), ' ');
  twvars.filename = name;
  fileopen_read();
  win::test::clearMessageBoxes();
  return 0;
}
