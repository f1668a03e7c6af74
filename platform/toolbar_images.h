#pragma once
// platform/toolbar_images.h: internal to the toolbar: the layer's own strip of standard
// images (HINST_COMMCTRL, IDB_STD_SMALL_COLOR), fifteen 16 x 15 images in the STD_ order.
#include <cstdint>
#include <vector>

#include "platform/win.h"

namespace win::tbimages {

// The strip as 0x00RRGGBB pixels with clear ones as clear; false for an unknown strip.
bool standard(UINT_PTR id, int& width, int& height, std::vector<std::uint32_t>& px, std::uint32_t clear);

}  // namespace win::tbimages
