// Fuzz target: the settings (registry) file, read, rewritten and read again.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "fuzz/fuzz_support.h"
#include "platform/os.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    std::filesystem::create_directories(fuzz::folder() + "/tarnwalker");
    setenv("XDG_CONFIG_HOME", fuzz::folder().c_str(), 1);
    return true;
  }();
  (void)ready;
  fuzz::writeInput("tarnwalker/registry", data, size);
  using namespace win;
  const char* key = "Software\\Tarn\\Settings";
  int type = 0, length = 64, status = 0;
  unsigned char value[64] = {};
  yyregkeyget(HKEY_CURRENT_USER, type, length, key, "LastDir", value);
  const unsigned char one[] = {1, 0, 0, 0};
  yyregkeyput(HKEY_CURRENT_USER, REG_DWORD, status, key, "Width", one, 4);
  yyregvaldel(HKEY_CURRENT_USER, status, key, "LastDir");
  yyregkeydel(HKEY_CURRENT_USER, status, "Software\\Tarn");
  length = 64;
  yyregkeyget(HKEY_CURRENT_USER, type, length, key, "Width", value);
  return 0;
}
