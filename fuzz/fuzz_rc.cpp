// Fuzz target: the resource compiler on a script, with its folder on the include path.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"

int tw_rc_main(int argc, char** argv);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string script = fuzz::writeInput("script.rc", data, size);
  std::string output = fuzz::folder() + "/script.cpp";
  std::string program = "rc", include = "-I", folder = fuzz::folder();
  char* argv[] = {program.data(), include.data(), folder.data(), script.data(), output.data(), nullptr};
  tw_rc_main(5, argv);
  return 0;
}
