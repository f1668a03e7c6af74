#pragma once
// Pictures of recorded requests: the lines, polylines and polygons one side of the recording
// device received, drawn with the platform's own calls on a headless window and saved as PNG.
// Device y grows upwards; the window's rows grow downwards.
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/test_api.h"
#include "platform/win.h"
#include "tests/graphics/recording_device.h"

inline bool savepicture(char side, int width, int height, const std::string& path) {
  using namespace win;
  // Registered again after every reset of the window layer; a second registration fails.
  WNDCLASS wc;
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "TwPicture";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClass(wc);
  HWND h = CreateWindowEx(0, "TwPicture", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                          nullptr, nullptr, nullptr);
  if (h == nullptr) return false;
  test::runUntilIdle();
  HDC dc = GetDC(h);
  auto row = [height](float y) { return height - 1 - static_cast<int>(y); };
  SetPolyFillMode(dc, ALTERNATE);
  // Each request in the current colour it was sent with.
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  int colour = -1;
  auto use = [&](int rgb) {
    if (rgb == colour) return;
    colour = rgb;
    HPEN p = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(rgb));
    HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(rgb));
    SelectObject(dc, p);
    SelectObject(dc, b);
    if (pen != nullptr) DeleteObject(pen);
    if (brush != nullptr) DeleteObject(brush);
    pen = p;
    brush = b;
  };
  for (const DeviceCall& c : devicelog()) {
    if (c.side != side) continue;
    const DeviceOperands& op = c.operands;
    const int rgb = c.colours[PAIRRGB][CURRENT];
    use(rgb);
    if (c.code == DLINE) {
      MoveToEx(dc, op.IX1, row(static_cast<float>(op.IY1)), nullptr);
      LineTo(dc, op.IX2, row(static_cast<float>(op.IY2)));
      SetPixel(dc, op.IX2, row(static_cast<float>(op.IY2)), static_cast<COLORREF>(rgb));
    } else if (c.code == DPOLYLINE || c.code == DPOLYGON || c.code == DPOLYGONSOLID) {
      std::vector<POINT> pts;
      for (std::size_t i = 0; i < c.x.size(); ++i)
        pts.push_back({static_cast<int>(c.x[i]), row(c.y[i])});
      if (c.code == DPOLYLINE) {
        Polyline(dc, pts.data(), static_cast<int>(pts.size()));
        if (!pts.empty()) SetPixel(dc, pts.back().x, pts.back().y, static_cast<COLORREF>(rgb));
      } else {
        SelectObject(dc, GetStockObject(NULL_PEN));
        Polygon(dc, pts.data(), static_cast<int>(pts.size()));
        SelectObject(dc, pen);
      }
    }
  }
  SelectObject(dc, GetStockObject(BLACK_PEN));
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  if (pen != nullptr) DeleteObject(pen);
  if (brush != nullptr) DeleteObject(brush);
  ReleaseDC(h, dc);
  const bool ok = test::savePng(h, path, true);
  DestroyWindow(h);
  return ok;
}
