// The tree view: items inserted in place or sorted, the walk between them, selection by
// clicks and keys with the parent asked and told, branches opened and closed by boxes,
// double clicks and keys, and deletion that moves the selection on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/treeview.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;

namespace {

constexpr int kId = 1300;

class TreeViewTest : public ctltest::Fixture {
 protected:
  void SetUp() override {
    ctltest::Fixture::SetUp();
    tree = make(WC_TREEVIEW, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER | WS_VSCROLL,
                10, 10, 250, 200, kId);
    // Analysis (open) > Baseflow, Trends; Data > Flow, Rain; Help.
    analysis = add(TVI_ROOT, "Analysis", 1, true);
    baseflow = add(analysis, "Baseflow", 11);
    trends = add(analysis, "Trends", 12);
    data = add(TVI_ROOT, "Data", 2);
    add(data, "Flow", 21);
    add(data, "Rain", 22);
    help = add(TVI_ROOT, "Help", 3);
    SetFocus(tree);
    test::runUntilIdle();
    ctltest::parent().notifyCodes.clear();
  }
  HTREEITEM add(HTREEITEM parent, const char* text, int id, bool open = false, HTREEITEM after = TVI_LAST) {
    TVINSERTSTRUCT ins;
    ins.hParent = parent;
    ins.hInsertAfter = after;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
    ins.item.pszText = const_cast<char*>(text);
    ins.item.lParam = id;
    ins.item.state = open ? TVIS_EXPANDED : 0;
    ins.item.stateMask = TVIS_EXPANDED;
    return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&ins)));
  }
  HTREEITEM next(WPARAM how, HTREEITEM from = nullptr) const {
    return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
  }
  std::string textOf(HTREEITEM item) const {
    char buf[32] = {};
    TVITEM it;
    it.mask = TVIF_TEXT;
    it.hItem = item;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it));
    return buf;
  }
  std::string selectedText() const { return textOf(next(TVGN_CARET)); }
  bool isOpen(HTREEITEM item) const {
    TVITEM it;
    it.mask = TVIF_STATE;
    it.hItem = item;
    it.stateMask = TVIS_EXPANDED;
    SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it));
    return (it.state & TVIS_EXPANDED) != 0;
  }
  RECT labelOf(HTREEITEM item) const {
    RECT r;
    std::memcpy(static_cast<void*>(&r), &item, sizeof item);
    EXPECT_TRUE(SendMessage(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
    return r;
  }
  void clickLabel(HTREEITEM item) const {
    const RECT r = labelOf(item);
    ctltest::clickAt(tree, r.left + 4, (r.top + r.bottom) / 2);
    test::advanceTime(1000);
  }

  HWND tree = nullptr;
  HTREEITEM analysis = nullptr, baseflow = nullptr, trends = nullptr, data = nullptr, help = nullptr;
};

}  // namespace

TEST_F(TreeViewTest, ItemsAreWalkedInOrderAndKeepTheirData) {
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 7);
  EXPECT_EQ(next(TVGN_ROOT), analysis);
  EXPECT_EQ(next(TVGN_CHILD, analysis), baseflow);
  EXPECT_EQ(next(TVGN_NEXT, baseflow), trends);
  EXPECT_EQ(next(TVGN_NEXT, trends), nullptr);
  EXPECT_EQ(next(TVGN_PARENT, trends), analysis);
  EXPECT_EQ(next(TVGN_PREVIOUS, data), analysis);
  EXPECT_EQ(next(TVGN_NEXTVISIBLE, trends), data) << "Data is closed: its children are not visible";
  EXPECT_EQ(next(TVGN_LASTVISIBLE), help);
  TVITEM it;
  it.mask = TVIF_PARAM | TVIF_CHILDREN;
  it.hItem = data;
  ASSERT_TRUE(SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it)));
  EXPECT_EQ(it.lParam, 2);
  EXPECT_EQ(it.cChildren, 1);
  const HTREEITEM first = add(data, "Evaporation", 20, false, TVI_FIRST);
  EXPECT_EQ(next(TVGN_CHILD, data), first);
  const HTREEITEM sorted = add(data, "Groundwater", 23, false, TVI_SORT);
  EXPECT_EQ(next(TVGN_PREVIOUS, sorted), next(TVGN_NEXT, first)) << "sorted between Flow and Rain";
  EXPECT_EQ(textOf(next(TVGN_NEXT, sorted)), "Rain");
  it.mask = TVIF_TEXT;
  it.hItem = help;
  it.pszText = const_cast<char*>("Contents");
  EXPECT_TRUE(SendMessage(tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&it)));
  EXPECT_EQ(textOf(help), "Contents");
}

TEST_F(TreeViewTest, SelectionByClicksAndKeysAsksAndTellsTheParent) {
  clickLabel(trends);
  EXPECT_EQ(selectedText(), "Trends");
  const std::vector<UINT> click = {NM_CLICK, TVN_SELCHANGING, TVN_SELCHANGED};
  EXPECT_EQ(ctltest::parent().notifyCodes, click);
  struct Case { int vk; const char* want; };
  const Case cases[] = {{VK_DOWN, "Data"}, {VK_RIGHT, "Data"}, {VK_RIGHT, "Flow"}, {VK_LEFT, "Data"},
                        {VK_LEFT, "Data"}, {VK_END, "Help"},   {VK_HOME, "Analysis"}, {VK_UP, "Analysis"}};
  for (const Case& c : cases) {
    test::pressKey(c.vk);
    test::runUntilIdle();
    EXPECT_EQ(selectedText(), c.want);
  }
  EXPECT_FALSE(isOpen(data)) << "Right opened it, the second Left closed it";
  ctltest::parent().notifyAnswer = 1;
  clickLabel(help);
  EXPECT_EQ(selectedText(), "Analysis") << "the parent refused the change";
  ctltest::parent().notifyAnswer = 0;
  ctltest::parent().notifyCodes.clear();
  EXPECT_TRUE(SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(help)));
  EXPECT_EQ(selectedText(), "Help");
  const std::vector<UINT> byProgram = {TVN_SELCHANGING, TVN_SELCHANGED};
  EXPECT_EQ(ctltest::parent().notifyCodes, byProgram);
}

TEST_F(TreeViewTest, BranchesOpenAndCloseByBoxDoubleClickAndRequest) {
  const RECT r = labelOf(data);
  const int indent = static_cast<int>(SendMessage(tree, TVM_GETINDENT, 0, 0));
  ctltest::clickAt(tree, r.left + 2 - indent + indent / 2 - 3 + 3, (r.top + r.bottom) / 2);
  test::advanceTime(1000);
  EXPECT_TRUE(isOpen(data)) << "a click on the box opens";
  EXPECT_EQ(next(TVGN_NEXTVISIBLE, data), next(TVGN_CHILD, data));
  const std::vector<UINT> opened = {TVN_ITEMEXPANDING, TVN_ITEMEXPANDED};
  EXPECT_EQ(ctltest::parent().notifyCodes, opened);
  const RECT a = labelOf(analysis);
  const POINT p = ctltest::screenOf(tree, a.left + 4, (a.top + a.bottom) / 2);
  test::click(p.x, p.y);
  test::click(p.x, p.y);
  test::runUntilIdle();
  EXPECT_FALSE(isOpen(analysis)) << "a double click toggles";
  EXPECT_EQ(selectedText(), "Analysis");
  ctltest::parent().notifyCodes.clear();
  EXPECT_TRUE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(analysis)));
  EXPECT_TRUE(isOpen(analysis));
  EXPECT_TRUE(ctltest::parent().notifyCodes.empty()) << "a request of the program asks nothing";
  EXPECT_FALSE(SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(help))) << "no children";
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(trends));
  SendMessage(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(analysis));
  EXPECT_EQ(selectedText(), "Analysis") << "a selection inside a closing branch moves up to it";
}

TEST_F(TreeViewTest, DeletingTheSelectedItemSelectsItsNeighbour) {
  SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(baseflow));
  EXPECT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(baseflow)));
  EXPECT_EQ(selectedText(), "Trends");
  EXPECT_TRUE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(analysis)));
  EXPECT_EQ(selectedText(), "Data") << "the branch went with its children";
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 4);
  EXPECT_FALSE(SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(trends))) << "already gone";
  int deletes = 0;
  for (UINT c : ctltest::parent().notifyCodes) deletes += c == TVN_DELETEITEM;
  EXPECT_EQ(deletes, 3);
  SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  EXPECT_EQ(SendMessage(tree, TVM_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(next(TVGN_CARET), nullptr);
}
