// Fuzz target: metafile bytes replayed as the desktop clipboard offers a picture: an enhanced
// metafile and a Windows metafile picture each drawn onto white as PNG and recorded and
// replayed onto cairo's SVG surface (the printer's player, as for a printed page).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi.h"

namespace {

// A small picture: the size decides the surfaces' cost, not what the replay must survive.
constexpr int kWidth = 64, kHeight = 48;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace win;
  // A copy of its own, so a read past the end is caught.
  const std::vector<BYTE> bytes(data, data + size);
  const UINT n = static_cast<UINT>(bytes.size());
  if (HENHMETAFILE e = SetEnhMetaFileBits(n, bytes.data())) {
    RenderEnhMetaFilePng(e, kWidth, kHeight);
    RenderPictureSvg(kWidth, kHeight, [e](HDC dc) { PlayEnhMetaFile(dc, e, RECT{0, 0, kWidth, kHeight}); });
    DeleteEnhMetaFile(e);
  }
  if (HMETAFILE w = SetMetaFileBitsEx(n, bytes.data())) {
    auto play = [w](HDC dc) {
      SetMapMode(dc, MM_ANISOTROPIC);
      SetViewportExtEx(dc, kWidth, kHeight, nullptr);
      PlayMetaFile(dc, w);
    };
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    play(dc);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bm);
    RenderPictureSvg(kWidth, kHeight, play);
    DeleteMetaFile(w);
  }
  return 0;
}
