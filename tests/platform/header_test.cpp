// The header control: items and their parts, clicks on button items, divider drags with the
// parent's refusal and correction, hidden items, hit tests and layout.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/header.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;

namespace {

constexpr int kId = 1100;

class HeaderTest : public ctltest::Fixture {
 protected:
  HWND header(DWORD style, std::vector<std::pair<const char*, int>> items) {
    HWND hd = make(WC_HEADER, style, 10, 10, 400, 22, kId);
    int i = 0;
    for (auto [text, width] : items) {
      HDITEM it;
      it.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
      it.pszText = const_cast<char*>(text);
      it.cxy = width;
      it.fmt = HDF_CENTER | HDF_STRING;
      SendMessage(hd, HDM_INSERTITEM, static_cast<WPARAM>(i++), reinterpret_cast<LPARAM>(&it));
    }
    test::runUntilIdle();
    ctltest::parent().notifyCodes.clear();
    ctltest::parent().headerItems.clear();
    return hd;
  }
  static int widthOf(HWND hd, int i) {
    HDITEM it;
    it.mask = HDI_WIDTH;
    SendMessage(hd, HDM_GETITEM, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
    return it.cxy;
  }
  static void drag(HWND hd, int x0, int x1) {
    const POINT a = ctltest::screenOf(hd, x0, 10), b = ctltest::screenOf(hd, x1, 10);
    test::mouseDown(test::Button::Left, a.x, a.y);
    test::runUntilIdle();
    test::mouseMove(b.x, b.y);
    test::runUntilIdle();
    test::mouseUp(test::Button::Left, b.x, b.y);
    test::runUntilIdle();
  }
};

}  // namespace

TEST_F(HeaderTest, ItemsKeepTheirPartsAndPlaces) {
  HWND hd = header(HDS_BUTTONS, {{"", 40}, {"Flow", 60}, {"Rain", 80}});
  EXPECT_EQ(SendMessage(hd, HDM_GETITEMCOUNT, 0, 0), 3);
  char buf[3];
  HDITEM it;
  it.mask = HDI_TEXT | HDI_FORMAT;
  it.pszText = buf;
  it.cchTextMax = sizeof buf;
  EXPECT_TRUE(SendMessage(hd, HDM_GETITEM, 1, reinterpret_cast<LPARAM>(&it)));
  EXPECT_EQ(std::string(buf), "Fl") << "cut to the buffer";
  EXPECT_EQ(it.fmt & HDF_JUSTIFYMASK, HDF_CENTER);
  RECT r;
  SendMessage(hd, HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.right, 180);
  it.mask = HDI_TEXT;
  it.pszText = const_cast<char*>("Baseflow");
  EXPECT_TRUE(SendMessage(hd, HDM_SETITEM, 1, reinterpret_cast<LPARAM>(&it)));
  const std::vector<UINT> want = {HDN_ITEMCHANGING, HDN_ITEMCHANGED};
  EXPECT_EQ(ctltest::parent().notifyCodes, want);
  EXPECT_FALSE(SendMessage(hd, HDM_GETITEM, 3, reinterpret_cast<LPARAM>(&it)));
  EXPECT_TRUE(SendMessage(hd, HDM_DELETEITEM, 0, 0));
  EXPECT_EQ(widthOf(hd, 0), 60);
  HDHITTESTINFO hi;
  hi.pt = POINT{70, 5};
  EXPECT_EQ(SendMessage(hd, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hi)), 1);
  EXPECT_EQ(hi.flags, HHT_ONHEADER);
  hi.pt = POINT{61, 5};
  SendMessage(hd, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hi));
  EXPECT_EQ(hi.flags, HHT_ONDIVIDER);
  EXPECT_EQ(hi.iItem, 0);
}

TEST_F(HeaderTest, AClickOnAButtonItemReportsItWhenReleasedOverIt) {
  HWND hd = header(HDS_BUTTONS, {{"", 40}, {"Flow", 60}, {"Rain", 80}});
  ctltest::clickAt(hd, 70, 10);
  ASSERT_EQ(ctltest::parent().notifyCodes.size(), 1u);
  EXPECT_EQ(ctltest::parent().notifyCodes[0], HDN_ITEMCLICK);
  EXPECT_EQ(ctltest::parent().headerItems[0].first, 1);
  ctltest::parent().notifyCodes.clear();
  test::advanceTime(1000);   // no double click
  const POINT a = ctltest::screenOf(hd, 70, 10), b = ctltest::screenOf(hd, 70, 60);
  test::mouseDown(test::Button::Left, a.x, a.y);
  test::mouseMove(b.x, b.y);
  test::mouseUp(test::Button::Left, b.x, b.y);
  test::runUntilIdle();
  EXPECT_TRUE(ctltest::parent().notifyCodes.empty()) << "released away from it: no click";
}

TEST_F(HeaderTest, DraggingADividerTracksTheWidthTheParentAllows) {
  HWND hd = header(HDS_BUTTONS, {{"", 40}, {"Flow", 60}, {"Rain", 80}});
  drag(hd, 100, 130);
  EXPECT_EQ(widthOf(hd, 1), 90);
  const std::vector<UINT> want = {HDN_BEGINTRACK, HDN_TRACK, HDN_ENDTRACK, HDN_ITEMCHANGED};
  EXPECT_EQ(ctltest::parent().notifyCodes, want);
  EXPECT_EQ(ctltest::parent().headerItems[1], std::make_pair(1, 90));
  ctltest::parent().correctTrackTo = 75;
  drag(hd, 130, 200);
  EXPECT_EQ(widthOf(hd, 1), 75) << "the parent's correction holds";
  ctltest::parent().correctTrackTo = -1;
  ctltest::parent().notifyAnswer = 1;   // refuse the drag
  drag(hd, 115, 160);
  EXPECT_EQ(widthOf(hd, 1), 75);
}

TEST_F(HeaderTest, AHiddenItemsDividerGivesWayToItsVisibleNeighbour) {
  HWND hd = header(0, {{"", 40}, {"a", 0}, {"b", 50}});
  drag(hd, 40, 60);
  EXPECT_EQ(widthOf(hd, 0), 60);
  EXPECT_EQ(widthOf(hd, 1), 0);
}

TEST_F(HeaderTest, LayoutPutsTheHeaderAtTheTop) {
  HWND hd = header(0, {{"x", 40}});
  RECT area{0, 0, 300, 200};
  WINDOWPOS wp;
  HDLAYOUT l;
  l.prc = &area;
  l.pwpos = &wp;
  EXPECT_TRUE(SendMessage(hd, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&l)));
  EXPECT_EQ(wp.cx, 300);
  EXPECT_GT(wp.cy, 10);
  EXPECT_EQ(area.top, wp.cy);
}
