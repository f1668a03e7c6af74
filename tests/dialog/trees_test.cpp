// Tree views filled from a menu by the companion text: walked in order with their
// identifiers and branch states, searched, clicked, and copied through a modal show.
#include <string>

#include "tests/dialog/dialog_fixture.h"

namespace {

using namespace win;
using dlgtest::DialogFixture;

class TreeViewTest : public DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    WDialogLoad(907);
    ASSERT_EQ(tessar.error.LASTERROR, 0);
  }
  struct Node {
    std::string text;
    int id, depth;
    bool expanded;
    bool operator==(const Node&) const = default;
  };
  static HTREEITEM nextOf(HWND t, HTREEITEM i, WPARAM how) {
    return reinterpret_cast<HTREEITEM>(SendMessage(t, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(i)));
  }
  static void walk(HWND t, HTREEITEM first, int depth, std::vector<Node>& out) {
    for (HTREEITEM i = first; i != nullptr; i = nextOf(t, i, TVGN_NEXT)) {
      char text[64] = {};
      TVITEM ti;
      ti.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
      ti.hItem = i;
      ti.pszText = text;
      ti.cchTextMax = sizeof text;
      ti.stateMask = TVIS_EXPANDED;
      SendMessage(t, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&ti));
      out.push_back(Node{text, static_cast<int>(ti.lParam), depth, (ti.state & TVIS_EXPANDED) != 0});
      walk(t, nextOf(t, i, TVGN_CHILD), depth + 1, out);
    }
  }
  static std::vector<Node> nodes(HWND t) {
    std::vector<Node> out;
    walk(t, nextOf(t, nullptr, TVGN_ROOT), 0, out);
    return out;
  }
  static int selectedId(HWND t) {
    TVITEM ti;
    ti.mask = TVIF_PARAM;
    ti.hItem = nextOf(t, nullptr, TVGN_CARET);
    if (ti.hItem == nullptr) return 0;
    SendMessage(t, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&ti));
    return static_cast<int>(ti.lParam);
  }
};

TEST_F(TreeViewTest, FilledFromTheMenuAndWalkedInOrder) {
  HWND t = field(6001);
  const std::vector<Node> want = {{"Flows", 1010, 0, true},  {"Daily", 1001, 1, false},
                                  {"Annual", 1002, 1, false}, {"Rain", 1011, 0, false},
                                  {"Daily rain", 1003, 1, false}, {"Trend", 1004, 0, false}};
  EXPECT_EQ(nodes(t), want);
  EXPECT_EQ(selectedId(t), 1002) << "the item the companion names";
  EXPECT_EQ(winfodialogfield(6001, 5), 17);
  HTREEITEM found = yyTreeViewFind(t, 1003);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(nextOf(t, found, TVGN_PARENT), yyTreeViewFind(t, 1011));
  EXPECT_EQ(yyTreeViewFind(t, 4242), nullptr);
  int id = 6001;
  yyfieldclear(id);
  EXPECT_TRUE(nodes(t).empty());
}

TEST_F(TreeViewTest, ASelectionByTheUserPostsAFieldChange) {
  WDialogShow();
  events();
  HWND t = field(6001);
  SetFocus(t);
  events();
  press(VK_UP);
  const auto got = dialogEvents();
  EXPECT_EQ(selectedId(t), 1001);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.back(), std::make_pair(static_cast<int>(EV_FIELDCHANGED), 6001));
}

TEST_F(TreeViewTest, AModalShowHandsTheSelectionBack) {
  int step = 0;
  test::setIdleHook([&step] {
    HWND modal = dialogtable.hDialogList[0];
    if (modal == nullptr) return;
    HWND t = GetDlgItem(modal, 6001);
    switch (step++) {
      case 0: {
        RECT r;
        GetWindowRect(t, r);
        test::click(r.left + 40, r.top + 6);   // onto "Flows"
        break;
      }
      case 1: test::pressKey(VK_END); break;   // the last visible item
      default: {
        const POINT p = centre(GetDlgItem(modal, IDOK));
        test::click(p.x, p.y);
        break;
      }
    }
  });
  WDialogShow(std::nullopt, std::nullopt, std::nullopt, 1);
  test::setIdleHook({});
  EXPECT_EQ(winfodialog(1), IDOK);
  EXPECT_EQ(selectedId(field(6001)), 1004) << "End selected the last item, Trend";
  EXPECT_EQ(nodes(field(6001)).size(), 6u);
}

}  // namespace
