#pragma once
// Test helpers: a fresh temporary directory that is the current directory for the life of a
// TempDir (with a clean state record), and small file helpers.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "toolkit/state/tessar.h"

inline void write(const std::string& name, const std::string& content) {
  std::ofstream(name, std::ios::binary) << content;
}
inline std::string read(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
inline bool exists(const std::string& name) { return std::filesystem::exists(name); }
// A fixed-length text of n blanks.
inline std::string field(std::size_t n) { return std::string(n, ' '); }
inline std::string trim(const std::string& s) {
  const auto end = s.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/tw-os-XXXXXX";
    if (mkdtemp(pattern) == nullptr) ADD_FAILURE() << "no temporary directory";
    dir_ = pattern;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    tessar = Tessar{};
  }
  ~TempDir() {
    std::filesystem::current_path(previous_);
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return dir_; }

 private:
  std::string dir_;
  std::filesystem::path previous_;
};

// Sets an environment variable for the life of the object and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      had_ = true;
      old_ = old;
    }
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedVariable() { had_ ? setenv(name_.c_str(), old_.c_str(), 1) : unsetenv(name_.c_str()); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_, old_;
  bool had_ = false;
};
