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

// The contents of an SVG's text elements, one after the other. A metafile text that carries
// its character advances comes out of wmf2svg as one element per character; joined, the
// words read again.
inline std::string svgtexts(const std::string& svg) {
  std::string joined;
  for (std::size_t at = svg.find("<text"); at != std::string::npos; at = svg.find("<text", at + 5)) {
    const std::size_t open = svg.find('>', at), close = svg.find("</text>", at);
    if (open == std::string::npos || close == std::string::npos || close < open) break;
    joined += svg.substr(open + 1, close - open - 1);
  }
  return joined;
}

}  // namespace tw::test
