#pragma once
// Small file helpers for tests that compare what a routine wrote with what it should be.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tw::test {

// The whole file as bytes; empty when it cannot be read.
inline std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace tw::test
