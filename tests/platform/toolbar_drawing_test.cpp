// A grey toolbar button drawn as a user sees it: an image of a white page with a dark outline
// keeps its outline embossed, and its white inside shows the face, not a block of shadow.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi.h"
#include "platform/menu_toolbar.h"
#include "platform/test_api.h"

using namespace win;

namespace {

class GreyPage : public ::testing::Test {
 protected:
  void SetUp() override {
    test::reset();
    ASSERT_TRUE(RegisterToolbarClass());
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "AuditToolbarParent";
    ASSERT_NE(RegisterClass(wc), 0);
    parent = CreateWindowEx(0, "AuditToolbarParent", "Toolbar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 120,
                            nullptr, nullptr, nullptr, nullptr);
    toolbar = CreateWindowEx(0, TOOLBARCLASSNAME, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(toolbar, nullptr);
    SendMessage(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(16, 16));
    SendMessage(toolbar, TB_SETBUTTONSIZE, 0, MAKELONG(22, 22));
    // One image on the strip's light grey: a white page from (3, 2) to (12, 13), outlined black.
    std::vector<unsigned char> bits(16 * 16 * 4);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        unsigned char* p = &bits[static_cast<std::size_t>(y * 16 + x) * 4];
        const bool page = x >= 3 && x <= 12 && y >= 2 && y <= 13;
        const bool edge = page && (x == 3 || x == 12 || y == 2 || y == 13);
        const unsigned char v = !page ? 192 : edge ? 0 : 255;
        p[0] = p[1] = p[2] = v;
      }
    strip = CreateBitmap(16, 16, 1, 32, bits.data());
    TBADDBITMAP add;
    add.nID = reinterpret_cast<UINT_PTR>(strip);
    ASSERT_EQ(SendMessage(toolbar, TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&add)), 0);
    TBBUTTON b;
    b.iBitmap = 0, b.idCommand = 40006, b.fsState = 0;   // grey from the start, as Save is
    ASSERT_TRUE(SendMessage(toolbar, TB_ADDBUTTONS, 1, reinterpret_cast<LPARAM>(&b)));
    SendMessage(toolbar, TB_AUTOSIZE, 0, 0);
    test::runUntilIdle();
    RECT r;
    ASSERT_TRUE(SendMessage(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)));
    // The image is centred on the button.
    ox = r.left + (r.right - r.left - 16) / 2;
    oy = r.top + (r.bottom - r.top - 16) / 2;
  }
  void TearDown() override {
    DeleteObject(strip);
    test::reset();
  }
  COLORREF at(int x, int y) { return test::pixel(toolbar, ox + x, oy + y); }

  HWND parent = nullptr, toolbar = nullptr;
  HBITMAP strip = nullptr;
  int ox = 0, oy = 0;
};

TEST_F(GreyPage, OutlineEmbossedAndWhiteInsideLeftOut) {
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT),
                 face = GetSysColor(COLOR_BTNFACE);
  struct Probe {
    const char* why;
    int x, y;
    COLORREF want;
  };
  const Probe probes[] = {
      {"the outline in the shadow colour", 3, 7, shadow},
      {"the outline's top edge", 7, 2, shadow},
      {"the highlight one pixel down and right of the left edge", 4, 7, light},
      {"the highlight below the bottom edge", 7, 14, light},
      // Drawn as a block of shadow before: the page could not be told from any other image.
      {"the white inside shows the face", 7, 7, face},
      {"outside the page the face", 1, 1, face},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.why);
    EXPECT_EQ(at(p.x, p.y), p.want);
  }
  // Enabled again, the page is white inside.
  SendMessage(toolbar, TB_ENABLEBUTTON, 40006, TRUE);
  UpdateWindow(toolbar);
  EXPECT_EQ(at(7, 7), RGB(255, 255, 255));
  EXPECT_EQ(at(3, 7), RGB(0, 0, 0));
}

}  // namespace
