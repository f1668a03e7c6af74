#pragma once
// What the driver tests share: a scratch folder, a file's CR LF lines, shell commands and the
// independent tools they run (asked for through tests/support/tools.h).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/tools.h"

namespace hc {

// One folder per test process, removed when the process ends.
inline std::filesystem::path scratch(const std::string& name) {
  struct Folder {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("tw-hardcopy-" + std::to_string(::getpid()));
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static Folder folder;
  std::filesystem::create_directories(folder.path);
  return folder.path / name;
}

// Lines split at CR LF; a lone LF inside a line stays in it.
inline std::vector<std::string> crlflines(const std::string& bytes) {
  std::vector<std::string> out;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = bytes.find("\r\n", from);
    if (at == std::string::npos) {
      if (from < bytes.size()) out.push_back(bytes.substr(from));
      return out;
    }
    out.push_back(bytes.substr(from, at - from));
    from = at + 2;
  }
}

struct Run {
  int status;
  std::string output;
};

inline Run run(const std::string& command) {
  Run r{-1, ""};
  FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (p == nullptr) return r;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) r.output.append(buffer, n);
  const int s = ::pclose(p);
  r.status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
  return r;
}

}  // namespace hc
