// Numbered bitmaps: slots of screen-compatible bitmaps and their copies, pixel edits and turns.
#include "toolkit/screen/bitmaps.h"

#include <algorithm>
#include <array>

#include "platform/gdi.h"
#include "platform/resource.h"
#include "toolkit/screen/wgraph.h"
#include "toolkit/window/statusbar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/window_state.h"

using namespace win;

namespace {

std::array<HBITMAP, 50> hBitmap{};
std::array<int, 50> BitmapWidth{}, BitmapHeight{};
int copymode = 0;
// The slot whose bitmap is selected into the drawing target's device context, -1 none.
int targetslot = -1;

DWORD rop() {
  static constexpr std::array<DWORD, 4> rops = {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT};
  return rops[static_cast<std::size_t>(copymode)];
}

bool valid(int slot) { return slot >= 0 && slot < 50 && hBitmap[static_cast<std::size_t>(slot)] != nullptr; }

HDC reference() { return wDC != nullptr ? wDC : GetDC(nullptr); }

// A device context holding the slot's bitmap: the drawing target's while the bitmap is the
// target (a bitmap can be selected into one context only), else a memory one of its own.
class BitmapDC {
 public:
  explicit BitmapDC(int slot) {
    if (slot == targetslot && hGraphicsBitmap != nullptr && gDC == hGraphicsBitmap) {
      dc_ = gDC;
      return;
    }
    dc_ = CreateCompatibleDC(reference());
    own_ = true;
    old_ = SelectObject(dc_, hBitmap[static_cast<std::size_t>(slot)]);
    if (gPal256 != nullptr) {
      oldpal_ = SelectPalette(dc_, gPal256, FALSE);
      RealizePalette(dc_);
    }
  }
  ~BitmapDC() {
    if (!own_) return;
    if (oldpal_ != nullptr) SelectPalette(dc_, oldpal_, FALSE);
    if (old_ != nullptr) SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  HDC get() const { return dc_; }
  bool ok() const { return dc_ != nullptr && (!own_ || old_ != nullptr); }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  HPALETTE oldpal_ = nullptr;
  bool own_ = false;
};

// With a toolkit palette a colour is written as its nearest palette entry.
COLORREF devicecolour(int colour) {
  const COLORREF c = static_cast<COLORREF>(colour) & 0xFFFFFFu;
  return gPal256 != nullptr ? PALETTEINDEX(static_cast<WORD>(GetNearestPaletteIndex(gPal256, c))) : c;
}

// A new bitmap of the window's kind, filled with the colour (palette entry 0 with a palette).
HBITMAP newbitmap(int width, int height, int colour) {
  if (width <= 0 || height <= 0) return nullptr;
  HBITMAP b = CreateCompatibleBitmap(reference(), width, height);
  if (b == nullptr) return nullptr;
  HDC dc = CreateCompatibleDC(reference());
  HGDIOBJ old = SelectObject(dc, b);
  HPALETTE oldpal = gPal256 != nullptr ? SelectPalette(dc, gPal256, FALSE) : nullptr;
  if (gPal256 != nullptr) RealizePalette(dc);
  HBRUSH brush = CreateSolidBrush(gPal256 != nullptr ? PALETTEINDEX(0) : static_cast<COLORREF>(colour) & 0xFFFFFFu);
  HGDIOBJ oldbrush = SelectObject(dc, brush);
  HGDIOBJ oldpen = SelectObject(dc, GetStockObject(NULL_PEN));
  SetROP2(dc, R2_COPYPEN);
  Rectangle(dc, 0, 0, width + 1, height + 1);
  SelectObject(dc, oldpen);
  SelectObject(dc, oldbrush);
  DeleteObject(brush);
  if (oldpal != nullptr) SelectPalette(dc, oldpal, FALSE);
  SelectObject(dc, old);
  DeleteDC(dc);
  return b;
}

// Replaces the slot's bitmap by a new one of the size, drawn from the old one by draw.
template <class Draw>
int replace(int slot, int width, int height, Draw draw) {
  HBITMAP fresh = newbitmap(width, height, 0);
  if (fresh == nullptr) return 1020;
  {
    HDC dc = CreateCompatibleDC(reference());
    HGDIOBJ old = SelectObject(dc, fresh);
    BitmapDC source(slot);
    draw(dc, source.get());
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  const std::size_t s = static_cast<std::size_t>(slot);
  DeleteObject(hBitmap[s]);
  hBitmap[s] = fresh;
  BitmapWidth[s] = width;
  BitmapHeight[s] = height;
  return 0;
}

// Pixels of the rectangle, rows from y2 down to y1, with their element index (x2 - x1 + 1)
// (y - y1) + (x - x1); elements beyond the array are passed over.
template <class Visit>
void eachpixel(int x1, int y1, int x2, int y2, std::size_t elements, Visit visit) {
  const long long across = static_cast<long long>(x2) - x1 + 1;
  for (int y = y2; y >= y1; --y) {
    for (int x = x1; x <= x2; ++x) {
      const long long k = across * (y - y1) + (x - x1);
      if (k >= 0 && k < static_cast<long long>(elements)) visit(x, y, static_cast<std::size_t>(k));
    }
  }
}

}  // namespace

void yybitmapcreate(int& number, int width, int height, int colour) {
  number = 0;
  for (std::size_t s = 0; s < hBitmap.size(); ++s) {
    if (hBitmap[s] != nullptr) continue;
    hBitmap[s] = newbitmap(width, height, colour);
    if (hBitmap[s] == nullptr) return;
    BitmapWidth[s] = width;
    BitmapHeight[s] = height;
    number = static_cast<int>(s) + 1;
    return;
  }
}

void yybitmapdestroy(int slot, int& result) {
  if (!valid(slot)) {
    result = 1021;
    return;
  }
  if (yybitmapisviewer(slot) != 0) {
    result = 1036;
    return;
  }
  const std::size_t s = static_cast<std::size_t>(slot);
  // The drawing target goes back to nothing before its bitmap goes.
  if (slot == targetslot && hGraphicsBitmap != nullptr && gDC == hGraphicsBitmap) {
    yygrselectnone();
    gDC = nullptr;
  }
  if (slot == targetslot) targetslot = -1;
  DeleteObject(hBitmap[s]);
  hBitmap[s] = nullptr;
  BitmapWidth[s] = BitmapHeight[s] = 0;
  result = 0;
}

void yybitmapget(int slot, int x, int y, int width, int height, int& result) {
  if (!valid(slot)) {
    result = 1021;
    return;
  }
  BitmapDC b(slot);
  result = b.ok() && gDC != nullptr && BitBlt(b.get(), 0, 0, width, height, gDC, x, y, rop()) ? 0 : 1066;
}

void yybitmapput(int slot, int stretch, int x, int y, int width, int height, int& result) {
  if (!valid(slot)) {
    result = 1021;
    return;
  }
  BitmapDC b(slot);
  const std::size_t s = static_cast<std::size_t>(slot);
  BOOL done = FALSE;
  if (b.ok() && gDC != nullptr) {
    done = stretch != 0 ? StretchBlt(gDC, x, y, width, height, b.get(), 0, 0, BitmapWidth[s], BitmapHeight[s], rop())
                        : BitBlt(gDC, x, y, width, height, b.get(), 0, 0, rop());
  }
  result = done ? 0 : 1066;
}

void yybitmappart(int slot, int x1, int y1, int x2, int y2, int width, int height, int direction, int& result) {
  if (!valid(slot)) {
    result = 1021;
    return;
  }
  BitmapDC b(slot);
  BOOL done = FALSE;
  if (b.ok() && gDC != nullptr) {
    done = direction != 0 ? BitBlt(gDC, x2, y2, width, height, b.get(), x1, y1, rop())
                          : BitBlt(b.get(), x2, y2, width, height, gDC, x1, y1, rop());
  }
  result = done ? 0 : 1066;
}

void yybitmapgetdata(int slot, std::span<const int> colours, int x1, int y1, int x2, int y2, int& result) {
  if (!valid(slot)) {
    result = 1021;
    return;
  }
  BitmapDC b(slot);
  eachpixel(x1, y1, x2, y2, colours.size(), [&](int x, int y, std::size_t k) {
    SetPixelV(b.get(), x, y, devicecolour(colours[k]));
  });
  result = 0;
}

void yybitmapputdata(int slot, std::span<int> colours, int x1, int y1, int x2, int y2, int& result) {
  if (!valid(slot)) {
    result = 1021;
    return;
  }
  BitmapDC b(slot);
  eachpixel(x1, y1, x2, y2, colours.size(), [&](int x, int y, std::size_t k) {
    colours[k] = static_cast<int>(GetPixel(b.get(), x, y) & 0xFFFFFFu);
  });
  result = 0;
}

void yybitmapgetresource(int slot, int resource, int& result) {
  if (!valid(slot)) {
    result = 1021;
    return;
  }
  HBITMAP image = LoadBitmap(GetModuleHandle(nullptr), MAKEINTRESOURCE(resource));
  if (image == nullptr) {
    result = 1066;
    return;
  }
  BitmapDC b(slot);
  HDC source = CreateCompatibleDC(reference());
  HGDIOBJ old = SelectObject(source, image);
  const std::size_t s = static_cast<std::size_t>(slot);
  result = b.ok() && BitBlt(b.get(), 0, 0, BitmapWidth[s], BitmapHeight[s], source, 0, 0, SRCCOPY) ? 0 : 1066;
  SelectObject(source, old);
  DeleteDC(source);
  DeleteObject(image);
}

void yybitmapresourceinfo(int resource, int& width, int& height) {
  width = height = 0;
  HBITMAP image = LoadBitmap(GetModuleHandle(nullptr), MAKEINTRESOURCE(resource));
  if (image == nullptr) return;
  BITMAP info{};
  if (GetObject(image, sizeof info, &info) != 0) {
    width = info.bmWidth;
    height = info.bmHeight;
  }
  DeleteObject(image);
}

void yybitmapmirror(int slot, int vertical, int& viewer, int& result) {
  viewer = 0;
  if (!valid(slot)) {
    result = 1021;
    return;
  }
  const std::size_t s = static_cast<std::size_t>(slot);
  BitmapDC b(slot);
  const int w = BitmapWidth[s], h = BitmapHeight[s];
  if (vertical != 0) {
    for (int i = 0; i < h / 2; ++i)
      for (int x = 0; x < w; ++x) {
        const COLORREF a = GetPixel(b.get(), x, i), c = GetPixel(b.get(), x, h - 1 - i);
        SetPixelV(b.get(), x, i, c);
        SetPixelV(b.get(), x, h - 1 - i, a);
      }
  } else {
    for (int i = 0; i < w / 2; ++i)
      for (int y = 0; y < h; ++y) {
        const COLORREF a = GetPixel(b.get(), i, y), c = GetPixel(b.get(), w - 1 - i, y);
        SetPixelV(b.get(), i, y, c);
        SetPixelV(b.get(), w - 1 - i, y, a);
      }
  }
  viewer = yybitmapisviewer(slot);
  result = 0;
}

void yybitmapmode(int mode) {
  if (mode >= 0 && mode <= 3) copymode = mode;
}

void yybitmapresize(int slot, int width, int height, int& viewer, int& result) {
  viewer = 0;
  if (!valid(slot)) {
    result = 1021;
    return;
  }
  const std::size_t s = static_cast<std::size_t>(slot);
  const int w = BitmapWidth[s], h = BitmapHeight[s];
  result = replace(slot, width, height, [&](HDC dc, HDC source) {
    StretchBlt(dc, 0, 0, width, height, source, 0, 0, w, h, rop());
  });
  viewer = yybitmapisviewer(slot);
}

void yybitmaprotate(int slot, int angle, int& viewer, int& result) {
  viewer = 0;
  if (!valid(slot)) {
    result = 1021;
    return;
  }
  const std::size_t s = static_cast<std::size_t>(slot);
  const int w = BitmapWidth[s], h = BitmapHeight[s];
  const bool quarter = angle == 90 || angle == 270;
  result = replace(slot, quarter ? h : w, quarter ? w : h, [&](HDC dc, HDC source) {
    // The copy goes through the world transform: 90 takes (x, y) to (y, width - x), 180 to
    // (width - x, height - y), 270 to (height - y, x).
    XFORM turn;
    if (angle == 90) {
      turn = XFORM{0, -1, 1, 0, 0, static_cast<float>(w)};
    } else if (angle == 180) {
      turn = XFORM{-1, 0, 0, -1, static_cast<float>(w), static_cast<float>(h)};
    } else {
      turn = XFORM{0, 1, -1, 0, static_cast<float>(h), 0};
    }
    SetGraphicsMode(dc, GM_ADVANCED);
    SetWorldTransform(dc, &turn);
    BitBlt(dc, 0, 0, w, h, source, 0, 0, SRCCOPY);
    ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
    SetGraphicsMode(dc, GM_COMPATIBLE);
  });
  viewer = yybitmapisviewer(slot);
}

void yybitmapsize(int slot, int& width, int& height) {
  width = height = 0;
  if (!valid(slot)) return;
  width = BitmapWidth[static_cast<std::size_t>(slot)];
  height = BitmapHeight[static_cast<std::size_t>(slot)];
}

void yybitmapselect(int slot, int& result, int& width, int& height) {
  if (!valid(slot)) {
    result = 1;
    return;
  }
  const std::size_t s = static_cast<std::size_t>(slot);
  hGraphicsBitmap = gDC = CreateCompatibleDC(reference());
  hMovie = nullptr;
  SelectObject(gDC, hBitmap[s]);
  targetslot = slot;
  // The stipple brush is rebuilt for the bitmap's device.
  if (gBitmap != nullptr) DeleteObject(gBitmap);
  gBitmap = CreateCompatibleBitmap(reference(), 8, 8);
  gStippleRebuild = 1;
  SetROP2(gDC, gPlotMode);
  SetBkMode(gDC, TRANSPARENT);
  gPenOld = gPen != nullptr ? static_cast<HPEN>(SelectObject(gDC, gPen)) : nullptr;
  gFontOld = gFont != nullptr ? static_cast<HFONT>(SelectObject(gDC, gFont)) : nullptr;
  yywinlinestyles();
  if (gPal256 != nullptr) {
    SelectPalette(gDC, gPal256, FALSE);
    RealizePalette(gDC);
  }
  width = BitmapWidth[s];
  height = BitmapHeight[s];
  result = 0;
}

win::HBITMAP yybitmaphandle(int slot) { return valid(slot) ? hBitmap[static_cast<std::size_t>(slot)] : nullptr; }

namespace {

// The viewer record of window w, nullptr when the window is no bitmap viewer.
const FrameRecord* viewerof(int w) {
  if (w < 1 || w >= MAXWINDOWS) return nullptr;
  const FrameRecord* r = yyframerecord(winslot(w).wWindow);
  return r != nullptr && r->word[FR_KIND] == SW_BITMAPVIEWER ? r : nullptr;
}

}  // namespace

int yybitmapisviewer(int slot) {
  if (!valid(slot)) return 0;
  const int handle = HandleToLong(hBitmap[static_cast<std::size_t>(slot)]);
  for (int w = 1; w < MAXWINDOWS; ++w)
    if (const FrameRecord* r = viewerof(w); r != nullptr && r->word[BV_BITMAP] == handle) return w;
  return 0;
}

void yybitmapinfo(int window, int item, int& value) {
  value = 0;
  const FrameRecord* r = viewerof(window);
  if (r == nullptr) return;
  HWND view = LongToHandle<HWND>(r->word[BV_VIEWER]);
  switch (item) {
    case 3:
      for (std::size_t s = 0; s < hBitmap.size(); ++s)
        if (hBitmap[s] != nullptr && HandleToLong(hBitmap[s]) == r->word[BV_BITMAP]) value = static_cast<int>(s) + 1;
      break;
    case 4: value = GetScrollPos(view, SB_HORZ); break;
    case 5: value = GetScrollPos(view, SB_VERT); break;
    case 101: value = r->word[BV_WIDTH]; break;
    case 102: value = r->word[BV_HEIGHT]; break;
    case 103: {
      SCROLLINFO si;
      si.fMask = SIF_POS | SIF_PAGE;
      GetScrollInfo(view, SB_VERT, si);
      value = si.nPos + static_cast<int>(si.nPage);
      if ((GetWindowLong(view, GWL_STYLE) & static_cast<LONG>(WS_HSCROLL)) != 0) value += GetSystemMetrics(SM_CYHSCROLL);
      break;
    }
    default: break;
  }
}
