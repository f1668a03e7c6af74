// Tree views filled from a menu by the companion text: walked in order with their
// identifiers and branch states, searched, clicked, and copied through a modal show.
#include <functional>
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


TEST_F(TreeViewTest, EditedByItemIdentifier) {
  HWND t = field(6001);
  using Step = std::function<void(int&)>;
  struct Case {
    const char* why;
    Step act;
    int field;        // the field argument afterwards
    int in = 6001;    // and before
  };
  int state = 0, id = 0;
  std::string got(12, '*');
  const Case cases[] = {
      {"inserted before Annual", [](int& f) { yytreeviewinsert(f, 1002, 1, 2001, "Monthly"); }, 6001},
      {"before the first item: the first of its parent", [](int& f) { yytreeviewinsert(f, 1010, 1, 2002, "Start"); }, 6001},
      {"as the last child of a leaf, which becomes a branch", [](int& f) { yytreeviewinsert(f, 1004, 3, 2003, "Slope"); }, 6001},
      {"after Rain", [](int& f) { yytreeviewinsert(f, 1011, 2, 2004, "Snow"); }, 6001},
      {"a missing reference", [](int& f) { yytreeviewinsert(f, 4242, 2, 2005, "Lost"); }, -2},
      {"a button is no tree", [](int& f) { yytreeviewinsert(f, 1002, 2, 2006, "Lost"); }, -1, IDOK},
      {"a leaf has no state", [&state](int& f) { yytreeviewgetstate(f, 1001, state); }, -3},
      {"Trend is a branch now, collapsed", [&state](int& f) { yytreeviewgetstate(f, 1004, state); }, 6001},
      {"a leaf is not expanded", [](int& f) { yytreeviewsetstate(f, 1003, 2); }, -3},
      {"Rain expanded", [](int& f) { yytreeviewsetstate(f, 1011, 2); }, 6001},
      {"a new text", [](int& f) { yytreeviewsetstring(f, 2004, "Snow melt"); }, 6001},
      {"deleting a branch deletes its children", [](int& f) { yytreeviewdelete(f, 1004); }, 6001},
      {"deleting it again", [](int& f) { yytreeviewdelete(f, 2003); }, -2},
      {"selecting", [](int& f) { yyfieldputtree(f, 2004); }, 6001},
      {"reading the selection with its text", [&](int& f) { yyfieldgettree(f, id, 1, got); }, 6001},
  };
  for (const Case& c : cases) {
    int f = c.in;
    c.act(f);
    EXPECT_EQ(f, c.field) << c.why;
    if (std::string(c.why) == "Trend is a branch now, collapsed") {
      EXPECT_EQ(state, 1);
    }
  }
  const std::vector<Node> want = {{"Start", 2002, 0, false},   {"Flows", 1010, 0, true},
                                  {"Daily", 1001, 1, false},   {"Monthly", 2001, 1, false},
                                  {"Annual", 1002, 1, false},  {"Rain", 1011, 0, true},
                                  {"Daily rain", 1003, 1, false}, {"Snow melt", 2004, 0, false}};
  EXPECT_EQ(nodes(t), want);
  EXPECT_EQ(id, 2004);
  EXPECT_EQ(got, "Snow melt   ") << "blank-padded to the variable";
  int f = 6001;
  yytreeviewgetstate(f, 1011, state);
  EXPECT_EQ(state, 2);
  // The uniqueness check refuses an identifier that is there already; without it the
  // duplicate goes in.
  yytreeviewcheck(1);
  f = 6001;
  yytreeviewinsert(f, 1001, 2, 1002, "Twice");
  EXPECT_EQ(f, -3);
  yytreeviewcheck(0);
  f = 6001;
  yytreeviewinsert(f, 1001, 2, 1002, "Twice");
  EXPECT_EQ(f, 6001);
  EXPECT_EQ(nodes(t).size(), want.size() + 1);
  // An emptied tree takes its first item at the root whatever the reference; nothing
  // selected reads -2.
  int clear = 6001;
  yyfieldclear(clear);
  f = 6001;
  yyfieldgettree(f, id, 0, got);
  EXPECT_EQ(f, -2);
  f = 6001;
  yytreeviewinsert(f, 4242, 3, 3001, "Only");
  EXPECT_EQ(f, 6001);
  EXPECT_EQ(nodes(t), (std::vector<Node>{{"Only", 3001, 0, false}}));
}

}  // namespace
