#pragma once
// A raster page the driver must refuse at the begin: error 34, the hardcopy off, nothing kept
// of a page and no file written, however the picture is drawn and the hardcopy ended after.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_picture.h"
#include "toolkit/hcdrivers/manager.h"
#include "toolkit/state/tessar.h"

namespace hc {

inline void expectpagerefused(const std::string& path) {
  std::filesystem::remove(path);
  tessar.error.LASTERROR = 0;
  igrhardcopy(path);
  EXPECT_EQ(tessar.error.LASTERROR, 34);
  EXPECT_EQ(tessar.graphics.attributes.HARDCOPYON, 0);
  drawtestpicture();
  igrhardcopy("S");
  EXPECT_TRUE(tessar.raster.IRBUFF.empty());
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace hc
