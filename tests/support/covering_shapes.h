#pragma once
// The filled shapes that cover a drawable of user units 0-1 when drawn at an extent f
// (f > 1): the far-fill tests of the page and of the screen draw the same set.
#include <functional>
#include <utility>
#include <vector>

#include "toolkit/graphics/ellipses.h"
#include "toolkit/graphics/fill.h"
#include "toolkit/graphics/shapes.h"

namespace tw::test {

using CoveringShape = std::pair<const char*, std::function<void(float)>>;

inline std::vector<CoveringShape> coveringshapes() {
  return {
      {"triangle", [](float f) { IGrTriangle(-f, -f, f, -f, 0, f); }},
      {"rectangle", [](float f) { IGrRectangle(-f, -f, f, f); }},
      {"trapezium", [](float f) { IGrTrapezium(-f, -f, f, f, 2 * f, 2 * f, 1); }},
      {"trapezium along x", [](float f) { IGrTrapezium(-f, -f, f, f, 2 * f, 2 * f, 2); }},
      {"parallelogram", [](float f) { igrparallel(-f, -f, f, f, 4 * f, 1); }},
      {"simple polygon", [](float f) {
         const std::vector<float> x = {-f, f, f, -f}, y = {-f, -f, f, f};
         igrpolygonsimple(x, y, 4);
       }},
      {"polygon", [](float f) {
         const std::vector<float> x = {-f, f, f, -f}, y = {-f, -f, f, f};
         IGrPolygonComplex(x, y, 4);
       }},
      {"circle", [](float f) { igrcircle(0.5f, 0.5f, f); }},
  };
}

}  // namespace tw::test
