#pragma once
// The fixture of the file driver tests: the shared test picture's graphics, the driver selected,
// and write(), which draws a plot file through the hardcopy routines and reads its CR LF lines.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/hardcopy/driver_files.h"
#include "tests/support/test_picture.h"
#include "toolkit/hcdrivers/manager.h"

namespace hc {

class DriverFileTest : public ::testing::Test {
 protected:
  explicit DriverFileTest(int device, int width = 1000, int height = 750)
      : device_(device), width_(width), height_(height) {}
  void SetUp() override { start(); }
  // A fresh picture and the driver selected, with choose run in between (a model, a type).
  void start(const std::function<void()>& choose = nullptr) {
    testpicturegraphics(width_, height_);
    if (choose) choose();
    igrhardcopyselect(1, device_);
  }
  std::vector<std::string> write(const std::string& name, const std::function<void()>& draw,
                                 std::optional<std::string_view> title = std::nullopt) {
    path = scratch(name).string();
    igrhardcopy(path, title);
    if (draw) draw();
    igrhardcopy("S");
    bytes = tw::test::slurp(path);
    return crlflines(bytes);
  }
  std::string path, bytes;

 private:
  int device_, width_, height_;
};

}  // namespace hc
