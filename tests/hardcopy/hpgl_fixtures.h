#pragma once
// What the HP-GL and HP-GL/2 tests share: the lines the writers put on unit 2, and a driver
// fixture that writes a plot file and reads its lines back.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/hardcopy/driver_files.h"
#include "tests/hardcopy/driver_fixture.h"
#include "tests/support/test_picture.h"
#include "toolkit/graphics/devices.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

namespace hpgltest {

using Lines = std::vector<std::string>;

// What the writers put on unit 2 while f runs.
inline Lines written(const std::function<void()>& f, std::string* raw = nullptr) {
  const std::string path = hc::scratch("writers.plt").string();
  assignfixed(tessar.files.HCCURRENT, path);
  yyprop(2);
  f();
  yyprcl(2);
  const std::string bytes = tw::test::slurp(path);
  if (raw != nullptr) *raw = bytes;
  return hc::crlflines(bytes);
}

// The writers alone: the test picture's graphics, device units as plotter units, no prefix.
class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testpicturegraphics(1000, 750);
    DeviceOperands& op = tessar.graphics.operands;
    op.HCSCALEX = op.HCSCALEY = 1;
    op.HPGLPREFIX = 2;
  }
};

// A driver writing whole files: select(kind) picks the plotter model or device type.
class DriverTest : public hc::DriverFileTest {
 protected:
  DriverTest(int& selection, int device) : DriverFileTest(device), selection_(selection) {}
  void select(int kind) {
    start([&] { selection_ = kind; });
  }
  void SetUp() override { select(1); }
  // The lines after the first that starts with the given text.
  static Lines after(const Lines& l, const std::string& start, std::size_t count) {
    auto it = std::find_if(l.begin(), l.end(), [&](const std::string& s) { return s.starts_with(start); });
    if (it == l.end()) return {};
    return Lines(it, std::min(l.end(), it + static_cast<long>(count)));
  }
  static bool has(const Lines& l, const std::string& s) { return std::find(l.begin(), l.end(), s) != l.end(); }

 private:
  int& selection_;
};

}  // namespace hpgltest
