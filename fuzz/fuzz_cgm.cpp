// Fuzz target: the CGM file scanner (picture count and VDC extent ratio).
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "toolkit/state/tessar.h"
#include "toolkit/hardcopy/cgm_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::writeInput("picture.cgm", data, size);
  tessar.error = ErrorState{};
  int pictures = 0;
  float ratio = 0;
  yyinfocgm(path, pictures, ratio);
  return 0;
}
