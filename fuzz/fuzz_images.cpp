// Fuzz target: graphics file identification and image loading (BMP, PCX, PNG).
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "toolkit/state/tessar.h"
#include "toolkit/raster/file_info.h"
#include "toolkit/raster/image_load.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::writeInput("image.bin", data, size);
  tessar.error = ErrorState{};
  std::array<int, 6> info{};
  igrfileinfo(path, info, 6);
  const long long w = info[1], h = info[2];
  // As the image request does: the file is asked whether it holds the rows it claims before
  // the pixels are allocated, and then the whole claimed size is, up to 2^27 pixels (512 MB,
  // inside a run's 1 GB malloc limit); a larger claim gets a small array the loader must
  // refuse.
  if (!yyimagefits(path)) return 0;
  const std::size_t room = (w > 0 && h > 0 && w * h <= (1LL << 27)) ? static_cast<std::size_t>(w * h) : 16;
  std::vector<int> pixels(room, 0);
  IGrLoadImageData(path, pixels);
  return 0;
}
