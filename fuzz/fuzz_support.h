#pragma once
// What the fuzz targets share: a folder of their own for the files they feed to routines that
// read files, made once per process.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzz {

inline const std::string& folder() {
  static const std::string dir = [] {
    // In memory where there is such a folder: the targets write a file on every run.
    char pattern[] = "/dev/shm/tw-fuzz-XXXXXX";
    if (access("/dev/shm", W_OK) != 0) std::strcpy(pattern, "/tmp/tw-fuzz-XXXXXX");
    const char* made = mkdtemp(pattern);
    if (made == nullptr) return std::string("/tmp");
    static std::string made_copy;
    made_copy = made;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(made_copy, ec);
    });
    return made_copy;
  }();
  return dir;
}

// Writes the input to a file of the folder and returns its path.
inline std::string writeInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = folder() + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

}  // namespace fuzz
