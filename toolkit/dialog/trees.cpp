// toolkit/dialog/trees.cpp: tree views filled from menus, searched by item identifier,
// and copied item by item for a modal instance.
#include <string>

#include "platform/menu.h"
#include "toolkit/dialog/control_codes.h"
#include "toolkit/dialog/dialog_internal.h"
#include "toolkit/window/wmenus.h"

using namespace win;

namespace {

HTREEITEM insert(HWND tree, HTREEITEM parent, const std::string& text, int id, UINT state = 0) {
  TVINSERTSTRUCT is;
  is.hParent = parent;
  is.hInsertAfter = TVI_LAST;
  is.item.mask = TVIF_TEXT | TVIF_PARAM | (state != 0 ? TVIF_STATE : 0);
  std::string t = text;
  is.item.pszText = t.data();
  is.item.lParam = id;
  is.item.state = state;
  is.item.stateMask = state;
  return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&is)));
}

HTREEITEM next(HWND tree, HTREEITEM item, WPARAM how) {
  return reinterpret_cast<HTREEITEM>(SendMessage(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

}  // namespace

void yyTreeViewInit2(HWND tree, HTREEITEM parent, HMENU menu, int select) {
  const int n = GetMenuItemCount(menu);
  for (int k = 0; k < n; ++k) {
    char text[256] = {};
    GetMenuString(menu, static_cast<UINT>(k), text, sizeof text, MF_BYPOSITION);
    MENUITEMINFO mi;
    mi.fMask = MIIM_ID;
    GetMenuItemInfo(menu, static_cast<UINT>(k), TRUE, mi);
    const int id = static_cast<int>(mi.wID);
    HTREEITEM item = insert(tree, parent, text, id);
    if (id == select) SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    if (HMENU sub = GetSubMenu(menu, k)) {
      yyTreeViewInit2(tree, item, sub, select);
      if (GetMenuState(menu, static_cast<UINT>(k), MF_BYPOSITION) & MF_CHECKED)
        SendMessage(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
    }
  }
}

void yyTreeViewInit(HWND tree, int menu, int select) {
  if (menu == 0) return;
  HMENU m = yymnload(menu);
  if (m == nullptr) return;
  yyTreeViewInit2(tree, TVI_ROOT, m, select);
  DestroyMenu(m);
}

HTREEITEM yyTreeViewFind2(HWND tree, HTREEITEM first, int id) {
  for (HTREEITEM item = first; item != nullptr; item = next(tree, item, TVGN_NEXT)) {
    TVITEM ti;
    ti.mask = TVIF_PARAM;
    ti.hItem = item;
    SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&ti));
    if (static_cast<int>(ti.lParam) == id) return item;
    if (HTREEITEM child = next(tree, item, TVGN_CHILD))
      if (HTREEITEM found = yyTreeViewFind2(tree, child, id)) return found;
  }
  return nullptr;
}

HTREEITEM yyTreeViewFind(HWND tree, int id) { return yyTreeViewFind2(tree, next(tree, nullptr, TVGN_ROOT), id); }

void yyTreeViewCopy(HWND to, HTREEITEM parent, HWND from, HTREEITEM first) {
  HTREEITEM selected = next(from, nullptr, TVGN_CARET);
  for (HTREEITEM item = first; item != nullptr; item = next(from, item, TVGN_NEXT)) {
    std::string text(32768, '\0');
    TVITEM ti;
    ti.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
    ti.hItem = item;
    ti.pszText = text.data();
    ti.cchTextMax = static_cast<int>(text.size());
    ti.stateMask = TVIS_EXPANDED;
    SendMessage(from, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&ti));
    HTREEITEM copy = insert(to, parent, text.c_str(), static_cast<int>(ti.lParam));
    if (HTREEITEM child = next(from, item, TVGN_CHILD)) yyTreeViewCopy(to, copy, from, child);
    if (ti.state & TVIS_EXPANDED) SendMessage(to, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(copy));
    if (item == selected) SendMessage(to, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(copy));
  }
}

//------------------------------------------------------------------------------
// Editing a tree field by item identifier. A missing field, or one that is no tree view,
// gives field -1; a missing item -2; the cases the routines name -3. Nothing changes then.
//------------------------------------------------------------------------------
namespace {

HWND treefield(int& field) {
  HWND h = yycurrentfield(field);
  if (h == nullptr || yyfieldclass(h) != FieldClass::Tree) {
    field = -1;
    return nullptr;
  }
  return h;
}

HTREEITEM finditem(HWND tree, int& field, int id) {
  HTREEITEM item = yyTreeViewFind(tree, id);
  if (item == nullptr) field = -2;
  return item;
}

bool isbranch(HWND tree, HTREEITEM item) {
  TVITEM ti;
  ti.mask = TVIF_CHILDREN;
  ti.hItem = item;
  SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&ti));
  return ti.cChildren != 0 || next(tree, item, TVGN_CHILD) != nullptr;
}

}  // namespace

void yytreeviewcheck(int flag) { iTreeCheck = flag; }

void yytreeviewinsert(int& field, int reference, int position, int id, std::string_view text) {
  HWND tree = treefield(field);
  if (tree == nullptr) return;
  const std::string t(text);
  HTREEITEM root = next(tree, nullptr, TVGN_ROOT);
  if (root == nullptr) {
    insert(tree, TVI_ROOT, t, id);
    return;
  }
  HTREEITEM r = finditem(tree, field, reference);
  if (r == nullptr) return;
  if (iTreeCheck == 1 && yyTreeViewFind(tree, id) != nullptr) {
    field = -3;
    return;
  }
  HTREEITEM parent = next(tree, r, TVGN_PARENT);
  if (parent == nullptr) parent = TVI_ROOT;
  TVINSERTSTRUCT is;
  is.item.mask = TVIF_TEXT | TVIF_PARAM;
  std::string buffer = t;
  is.item.pszText = buffer.data();
  is.item.lParam = id;
  if (position == 1) {
    HTREEITEM before = next(tree, r, TVGN_PREVIOUS);
    is.hParent = parent;
    is.hInsertAfter = before != nullptr ? before : TVI_FIRST;
  } else if (position == 3) {
    is.hParent = r;
    is.hInsertAfter = TVI_LAST;
    TVITEM ti;
    ti.mask = TVIF_CHILDREN;
    ti.hItem = r;
    ti.cChildren = 1;
    SendMessage(tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&ti));
  } else {
    is.hParent = parent;
    is.hInsertAfter = r;
  }
  SendMessage(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&is));
}

void yytreeviewdelete(int& field, int id) {
  HWND tree = treefield(field);
  if (tree == nullptr) return;
  if (HTREEITEM item = finditem(tree, field, id)) SendMessage(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

void yytreeviewgetstate(int& field, int id, int& state) {
  HWND tree = treefield(field);
  if (tree == nullptr) return;
  HTREEITEM item = finditem(tree, field, id);
  if (item == nullptr) return;
  if (!isbranch(tree, item)) {
    field = -3;
    return;
  }
  TVITEM ti;
  ti.mask = TVIF_STATE;
  ti.hItem = item;
  ti.stateMask = TVIS_EXPANDED;
  SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&ti));
  state = (ti.state & TVIS_EXPANDED) ? 2 : 1;
}

void yytreeviewsetstate(int& field, int id, int state) {
  HWND tree = treefield(field);
  if (tree == nullptr) return;
  HTREEITEM item = finditem(tree, field, id);
  if (item == nullptr) return;
  if (!isbranch(tree, item)) {
    field = -3;
    return;
  }
  SendMessage(tree, TVM_EXPAND, state == 1 ? TVE_COLLAPSE : TVE_EXPAND, reinterpret_cast<LPARAM>(item));
}

void yytreeviewsetstring(int& field, int id, std::string_view text) {
  HWND tree = treefield(field);
  if (tree == nullptr) return;
  HTREEITEM item = finditem(tree, field, id);
  if (item == nullptr) return;
  std::string t(text);
  TVITEM ti;
  ti.mask = TVIF_TEXT;
  ti.hItem = item;
  ti.pszText = t.data();
  SendMessage(tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&ti));
}

void yyfieldputtree(int& field, int id) {
  HWND tree = treefield(field);
  if (tree == nullptr) return;
  if (HTREEITEM item = finditem(tree, field, id))
    SendMessage(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void yyfieldgettree(int& field, int& id, int textflag, std::string& text) {
  HWND tree = treefield(field);
  if (tree == nullptr) return;
  HTREEITEM item = next(tree, nullptr, TVGN_CARET);
  if (item == nullptr) {
    field = -2;
    return;
  }
  std::string buffer(32768, '\0');
  TVITEM ti;
  ti.mask = TVIF_PARAM | (textflag != 0 ? TVIF_TEXT : 0);
  ti.hItem = item;
  ti.pszText = buffer.data();
  ti.cchTextMax = static_cast<int>(buffer.size());
  SendMessage(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&ti));
  id = static_cast<int>(ti.lParam);
  if (textflag != 0) {
    // A fixed-length text: blank-padded or cut to its length.
    const std::size_t length = text.size();
    text = buffer.c_str();
    text.resize(length, ' ');
  }
}
