// Icons on dialog controls: an icon static of a dialog template shows the program's icon
// named in its text, and an icon button shows the icon handed to it, both at the icon's size.
#include <gtest/gtest.h>

#include <vector>

#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/icon.h"
#include "platform/test_api.h"

using namespace win;

namespace {

INT_PTR quietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG ? TRUE : FALSE; }

// The icon drawn on a background colour, as 32-bit pixels read back.
std::vector<COLORREF> drawnOn(HICON icon, COLORREF background, std::vector<bool>& opaque) {
  const SIZE s = icon::sizeOf(icon);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP b = CreateBitmap(s.cx, s.cy, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, b);
  std::vector<COLORREF> out;
  opaque.clear();
  // Drawn on black and on white: a pixel that comes out the same on both is the icon's own.
  for (COLORREF probe : {RGB(0, 0, 0), RGB(255, 255, 255), background}) {
    HBRUSH br = CreateSolidBrush(probe);
    FillRect(dc, RECT{0, 0, s.cx, s.cy}, br);
    DeleteObject(br);
    DrawIcon(dc, 0, 0, icon);
    std::vector<COLORREF> px;
    for (int y = 0; y < s.cy; ++y)
      for (int x = 0; x < s.cx; ++x) px.push_back(GetPixel(dc, x, y));
    if (opaque.empty()) {
      out = px;
      opaque.assign(px.size(), false);
    } else if (probe == RGB(255, 255, 255)) {
      for (std::size_t i = 0; i < px.size(); ++i) opaque[i] = px[i] == out[i];
    } else {
      out = px;
    }
  }
  SelectObject(dc, old);
  DeleteObject(b);
  DeleteDC(dc);
  return out;
}

class IconControls : public ::testing::Test {
 protected:
  void SetUp() override { test::reset(); }
};

}  // namespace

TEST_F(IconControls, TemplateStaticShowsTheProgramIcon) {
  HWND dlg = CreateDialogParam(nullptr, MAKEINTRESOURCE(300), nullptr, quietProc, 0);
  ASSERT_NE(dlg, nullptr);
  ShowWindow(dlg, SW_SHOW);
  UpdateWindow(dlg);
  test::runUntilIdle();
  HWND st = GetDlgItem(dlg, 301);
  ASSERT_NE(st, nullptr);
  HICON icon = reinterpret_cast<HICON>(SendMessage(st, STM_GETICON, 0, 0));
  EXPECT_EQ(icon, LoadIcon(nullptr, "ICON1"));
  RECT r;
  GetClientRect(st, r);
  EXPECT_EQ(r.right, 32);
  EXPECT_EQ(r.bottom, 32);
  std::vector<bool> opaque;
  const COLORREF face = test::pixel(dlg, 0, 0);
  const auto want = drawnOn(icon, face, opaque);
  int own = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const auto i = static_cast<std::size_t>(y * 32 + x);
      ASSERT_EQ(test::pixel(st, x, y), want[i]) << x << "," << y;
      own += opaque[i] ? 1 : 0;
    }
  EXPECT_GT(own, 100) << "the icon's own pixels, not only the dialog's face, were compared";
  DestroyWindow(dlg);
}

TEST_F(IconControls, IconButtonShowsItsIconCentred) {
  HWND dlg = CreateDialogParam(nullptr, MAKEINTRESOURCE(300), nullptr, quietProc, 0);
  ASSERT_NE(dlg, nullptr);
  HWND button = GetDlgItem(dlg, 302);
  HICON icon = LoadIcon(nullptr, "ICON1");
  SendMessage(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(button, BM_GETIMAGE, IMAGE_ICON, 0)), icon);
  ShowWindow(dlg, SW_SHOW);
  UpdateWindow(dlg);
  test::runUntilIdle();
  RECT r;
  GetClientRect(button, r);
  // The face inside the raised edge, four pixels in, holds the icon in its middle.
  const int x0 = 4 + (r.right - 8 - 32) / 2, y0 = 4 + (r.bottom - 8 - 32) / 2;
  std::vector<bool> opaque;
  const auto want = drawnOn(icon, RGB(0, 0, 0), opaque);
  int checked = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const auto i = static_cast<std::size_t>(y * 32 + x);
      if (!opaque[i]) continue;
      ASSERT_EQ(test::pixel(button, x0 + x, y0 + y), want[i]) << x << "," << y;
      ++checked;
    }
  EXPECT_GT(checked, 100);
  DestroyWindow(dlg);
}
