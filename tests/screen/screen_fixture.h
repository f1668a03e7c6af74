#pragma once
// The toolkit's root window on the headless backend with the screen side in place: every
// graphics call goes through the device requests, the screen driver and the drawing layer
// to the window's pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../window/window_fixture.h"
#include "platform/test_api.h"
#include "toolkit/graphics/area.h"
#include "toolkit/graphics/colour.h"
#include "toolkit/graphics/lines.h"
#include "toolkit/screen/screen_driver.h"

namespace twtest {

class ScreenFixture : public WindowFixture {
 public:
  void SetUp() override {
    WindowFixture::SetUp();
    tessar.graphics = GraphicsRegion{};
    yyscreenservices();
    tessar.display.COLOURS = 1 << 24;
  }
  // A root window whose client area is width x height, with user units equal to device
  // units (x to the right, y up from the bottom row) and a white background.
  void openScreen(int width = 200, int height = 100) {
    WindowOpenOptions o;
    o.flags = 7;
    o.width = width;
    o.height = height;
    open(o);
    ASSERT_EQ(tessar.window.ROOTOPEN, 1);
    pixelUnits();
    igrareaclear();
  }
  static void pixelUnits() {
    const GraphicsTarget& t = tessar.graphics.target;
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, static_cast<float>(t.WIDTH) - 0.01f, static_cast<float>(t.HEIGHT) - 0.01f);
  }
  static win::COLORREF px(int x, int y, int window = 0) {
    return win::test::pixel(winslot(window).hClient, x, y);
  }
  // Pixel (x, y) in graphics device units: row 0 at the bottom.
  static win::COLORREF at(int x, int y, int window = 0) {
    return px(x, tessar.graphics.target.HEIGHT - 1 - y, window);
  }
  static bool ink(int x, int y) { return at(x, y) != win::RGB(255, 255, 255); }
  // Any non-white pixel within the square of half-size r around (x, y), device units.
  static bool inkNear(int x, int y, int r = 1) {
    for (int dy = -r; dy <= r; ++dy)
      for (int dx = -r; dx <= r; ++dx)
        if (ink(x + dx, y + dy)) return true;
    return false;
  }
  static std::vector<win::COLORREF> all(int window = 0) {
    int w = 0, h = 0;
    return win::test::pixels(winslot(window).hClient, true, w, h);
  }
  static int inkCount() {
    int n = 0;
    for (win::COLORREF c : all())
      if (c != win::RGB(255, 255, 255)) ++n;
    return n;
  }
};

}  // namespace twtest
