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
  // Room for the image when its size is sane, else a small array the loader must refuse.
  const std::size_t room = (w > 0 && h > 0 && w * h <= (1 << 20)) ? static_cast<std::size_t>(w * h) : 16;
  std::vector<int> pixels(room, 0);
  IGrLoadImageData(path, pixels);
  return 0;
}
