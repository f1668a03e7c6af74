// Fuzz target: metafile bytes as files and the clipboard carry them, read as an enhanced and as
// a Windows metafile, written again and played onto a small bitmap.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gdi.h"

namespace {

void playOnto(const std::function<void(win::HDC)>& play) {
  using namespace win;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(48, 32, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bm);
  play(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bm);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace win;
  // A copy of its own, so a read past the end is caught.
  const std::vector<BYTE> bytes(data, data + size);
  const UINT n = static_cast<UINT>(bytes.size());
  if (HENHMETAFILE e = SetEnhMetaFileBits(n, bytes.data())) {
    std::vector<BYTE> again(GetEnhMetaFileBits(e, 0, nullptr));
    GetEnhMetaFileBits(e, static_cast<UINT>(again.size()), again.data());
    playOnto([e](HDC dc) { PlayEnhMetaFile(dc, e, RECT{2, 3, 45, 30}); });
    DeleteEnhMetaFile(e);
  }
  if (HMETAFILE w = SetMetaFileBitsEx(n, bytes.data())) {
    playOnto([w](HDC dc) {
      SetMapMode(dc, MM_ANISOTROPIC);
      SetViewportExtEx(dc, 40, 25, nullptr);
      PlayMetaFile(dc, w);
    });
    DeleteMetaFile(w);
  }
  return 0;
}
