#pragma once
// A fresh temporary directory that is the current directory while a test runs, and a clean
// error record and start-up state.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "toolkit/core/tessar.h"

class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tw-os-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    tessar = Tessar{};
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  static void write(const std::string& name, const std::string& content) {
    std::ofstream(name, std::ios::binary) << content;
  }
  static std::string read(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static bool exists(const std::string& name) { return std::filesystem::exists(name); }
  // A fixed-length text of n blanks.
  static std::string field(std::size_t n) { return std::string(n, ' '); }
  static std::string trim(const std::string& s) {
    const auto end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
  }
  std::string dir_;
  std::filesystem::path previous_;
};
