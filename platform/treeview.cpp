// platform/treeview.cpp: the tree view control class: items in branches that expand and
// collapse, drawn one row each, indented by depth, with dotted lines (TVS_HASLINES) and plus
// and minus boxes (TVS_HASBUTTONS; at the root too with TVS_LINESATROOT); one selected item.
//
// The user selects with clicks and keys (Up, Down, Home, End, Page Up/Down; Right expands or
// goes to the first child, Left collapses or goes to the parent; + and - expand and
// collapse; a double click or a click on a box toggles a branch): the parent is asked first
// (TVN_SELCHANGING, TVN_ITEMEXPANDING; non-zero refuses) and told after. Requests of the
// program (TVM_SELECTITEM, TVM_EXPAND) do not ask about expanding, as they do not in the
// toolkit's design. Handles are small numbers that are never used again in the control.
//
// Sections (grep "[SECTION]"): record | rows | notifications | painting | input |
//   window procedure
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/control_records.h"
#include "platform/dialog_internal.h"
#include "platform/treeview.h"

namespace win {
namespace {

//------------------------------------------------------------------------------
// [SECTION] Record
//------------------------------------------------------------------------------
struct Node {
  int parent = 0;              // 0: a root item
  std::vector<int> children;
  std::string text;
  LPARAM param = 0;
  UINT state = 0;
  int image = 0, selectedImage = 0;
  int childrenFlag = -1;       // TVIF_CHILDREN as set; -1: from the children present
};

struct TreeData {
  std::map<int, Node> nodes;
  std::vector<int> roots;
  int nextId = 1;
  int selected = 0;
  int top = 0;                 // first row shown
  int indent = 19;
  HFONT font = nullptr;
  bool focused = false;
  bool scrollBar = false;
};

ControlRecords<TreeData>& trees() {
  static ControlRecords<TreeData> records;
  return records;
}

TreeData* rec(HWND h) { return trees().find(h); }

HTREEITEM handleOf(int id) { return reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(id)); }
int idOf(HTREEITEM item) { return static_cast<int>(reinterpret_cast<std::intptr_t>(item)); }

Node* node(TreeData& d, int id) {
  auto it = d.nodes.find(id);
  return it == d.nodes.end() ? nullptr : &it->second;
}

std::vector<int>& siblingsOf(TreeData& d, int id) {
  Node* n = node(d, id);
  if (n && n->parent) return d.nodes[n->parent].children;
  return d.roots;
}

bool hasChildren(const Node& n) { return n.childrenFlag >= 0 ? n.childrenFlag != 0 : !n.children.empty(); }
bool expanded(const Node& n) { return (n.state & TVIS_EXPANDED) != 0; }

//------------------------------------------------------------------------------
// [SECTION] Rows
//------------------------------------------------------------------------------
struct Row {
  int id = 0;
  int depth = 0;
};

void addRows(TreeData& d, const std::vector<int>& ids, int depth, std::vector<Row>& out) {
  for (int id : ids) {
    out.push_back(Row{id, depth});
    Node& n = d.nodes[id];
    if (expanded(n)) addRows(d, n.children, depth + 1, out);
  }
}

std::vector<Row> rows(TreeData& d) {
  std::vector<Row> out;
  addRows(d, d.roots, 0, out);
  return out;
}

int rowOf(const std::vector<Row>& rs, int id) {
  for (std::size_t i = 0; i < rs.size(); ++i)
    if (rs[i].id == id) return static_cast<int>(i);
  return -1;
}

int rowHeight(HWND h) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dlg::fontOf(h));
  const int lh = dlg::lineHeight(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  return std::max(16, lh + 3);
}

int visibleRows(HWND h) {
  RECT c;
  GetClientRect(h, c);
  return std::max(1, static_cast<int>(c.bottom) / rowHeight(h));
}

// Left edge of a row's box column and of its text.
int boxX(HWND h, const TreeData& d, int depth) {
  const bool atRoot = (styleOf(h) & TVS_LINESATROOT) != 0;
  return (depth + (atRoot ? 1 : 0)) * d.indent - d.indent / 2;
}
int textX(HWND h, const TreeData& d, int depth) {
  const bool atRoot = (styleOf(h) & TVS_LINESATROOT) != 0;
  return (depth + (atRoot ? 1 : 0)) * d.indent + 3;
}

void updateScrollBar(HWND h, TreeData& d) {
  if (!d.scrollBar) return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(0, static_cast<int>(rows(d).size()) - 1);
  si.nPage = static_cast<UINT>(visibleRows(h));
  si.nPos = d.top;
  SetScrollInfo(h, SB_VERT, si, TRUE);
}

void setTop(HWND h, TreeData& d, int top) {
  const int n = static_cast<int>(rows(d).size());
  top = std::clamp(top, 0, std::max(0, n - visibleRows(h)));
  if (top != d.top) {
    d.top = top;
    InvalidateRect(h, nullptr, TRUE);
  }
  updateScrollBar(h, d);
}

// Expands the ancestors of id and scrolls its row into view.
void ensureVisible(HWND h, TreeData& d, int id) {
  for (Node* n = node(d, id); n && n->parent; n = node(d, n->parent)) d.nodes[n->parent].state |= TVIS_EXPANDED;
  const std::vector<Row> rs = rows(d);
  const int r = rowOf(rs, id);
  if (r < 0) return;
  const int vis = visibleRows(h);
  if (r < d.top) setTop(h, d, r);
  else if (r >= d.top + vis) setTop(h, d, r - vis + 1);
  else updateScrollBar(h, d);
  InvalidateRect(h, nullptr, TRUE);
}

//------------------------------------------------------------------------------
// [SECTION] Notifications
//------------------------------------------------------------------------------
void fillItem(TreeData& d, int id, TVITEM& it) {
  it.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
  it.hItem = id ? handleOf(id) : nullptr;
  if (Node* n = node(d, id)) {
    it.lParam = n->param;
    it.state = n->state;
  }
}

LRESULT notifyTree(HWND h, UINT code, UINT action, int oldId, int newId) {
  TreeData* d = rec(h);
  if (!d) return 0;
  NMTREEVIEW nm;
  nm.action = action;
  fillItem(*d, oldId, nm.itemOld);
  fillItem(*d, newId, nm.itemNew);
  return notifyParent(h, nm.hdr, code);
}

// Selects id (0 none) as the parent allows; true when it is selected afterwards.
bool select(HWND h, int id, UINT action) {
  TreeData* d = rec(h);
  if (!d) return false;
  if (id == d->selected) {
    if (id) ensureVisible(h, *d, id);
    return true;
  }
  const int old = d->selected;
  if (notifyTree(h, TVN_SELCHANGING, action, old, id)) return false;
  if (!(d = rec(h)) || (id && !node(*d, id))) return false;
  if (Node* o = node(*d, d->selected)) o->state &= ~TVIS_SELECTED;
  d->selected = id;
  if (Node* n = node(*d, id)) {
    n->state |= TVIS_SELECTED;
    ensureVisible(h, *d, id);
  }
  InvalidateRect(h, nullptr, TRUE);
  notifyTree(h, TVN_SELCHANGED, action, old, id);
  return true;
}

// Expands, collapses or toggles a branch; ask: the user did it, so the parent is asked and told.
bool expand(HWND h, int id, WPARAM how, bool ask) {
  TreeData* d = rec(h);
  Node* n = d ? node(*d, id) : nullptr;
  if (!n || !hasChildren(*n)) return false;
  const bool open = (how & 0x3) == TVE_TOGGLE ? !expanded(*n) : (how & 0x3) == TVE_EXPAND;
  if (open == expanded(*n)) return true;
  if (ask && notifyTree(h, TVN_ITEMEXPANDING, open ? TVE_EXPAND : TVE_COLLAPSE, 0, id)) return false;
  if (!(d = rec(h)) || !(n = node(*d, id))) return false;
  if (open) n->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  else n->state &= ~TVIS_EXPANDED;
  // A selection inside a branch that closes moves up to the branch.
  if (!open) {
    for (Node* s = node(*d, d->selected); s && s->parent; s = node(*d, s->parent))
      if (s->parent == id) {
        select(h, id, TVC_UNKNOWN);
        break;
      }
  }
  if (!(d = rec(h))) return true;
  setTop(h, *d, d->top);
  InvalidateRect(h, nullptr, TRUE);
  if (ask) notifyTree(h, TVN_ITEMEXPANDED, open ? TVE_EXPAND : TVE_COLLAPSE, 0, id);
  return true;
}

void removeNode(HWND h, TreeData& d, int id) {
  Node* n = node(d, id);
  if (!n) return;
  const std::vector<int> kids = n->children;
  for (int k : kids) removeNode(h, d, k);
  notifyTree(h, TVN_DELETEITEM, 0, id, 0);
  TreeData* dd = rec(h);
  if (!dd) return;
  std::vector<int>& sib = siblingsOf(*dd, id);
  sib.erase(std::remove(sib.begin(), sib.end(), id), sib.end());
  dd->nodes.erase(id);
}

//------------------------------------------------------------------------------
// [SECTION] Painting
//------------------------------------------------------------------------------
void dottedH(HDC dc, int x0, int x1, int y, COLORREF c) {
  for (int x = x0; x < x1; x += 2) SetPixelV(dc, x, y, c);
}
void dottedV(HDC dc, int x, int y0, int y1, COLORREF c) {
  for (int y = y0; y < y1; y += 2) SetPixelV(dc, x, y, c);
}

void paint(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, ps);
  TreeData* d = rec(h);
  if (dc && d) {
    RECT c;
    GetClientRect(h, c);
    HGDIOBJ oldFont = SelectObject(dc, dlg::fontOf(h));
    dlg::fillSolid(dc, c, GetSysColor(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    const DWORD style = styleOf(h);
    const int rh = rowHeight(h), lh = dlg::lineHeight(dc);
    const COLORREF lines = GetSysColor(COLOR_BTNSHADOW);
    const std::vector<Row> rs = rows(*d);
    for (int r = d->top; r < static_cast<int>(rs.size()); ++r) {
      const int y = (r - d->top) * rh;
      if (y >= c.bottom) break;
      const Row& row = rs[static_cast<std::size_t>(r)];
      const Node& n = d->nodes[row.id];
      const int bx = boxX(h, *d, row.depth), mid = y + rh / 2;
      const bool drawBoxColumn = row.depth > 0 || (style & TVS_LINESATROOT);
      if ((style & TVS_HASLINES) && drawBoxColumn) {
        const std::vector<int>& sib = siblingsOf(*d, row.id);
        const bool last = !sib.empty() && sib.back() == row.id;
        dottedH(dc, bx, bx + d->indent / 2 + 1, mid, lines);
        dottedV(dc, bx, y, last ? mid : y + rh, lines);
        // The lines of the ancestors that have siblings still to come.
        int depth = row.depth - 1;
        for (int aid = n.parent; aid && depth >= 0; aid = d->nodes[aid].parent, --depth) {
          const std::vector<int>& as = siblingsOf(*d, aid);
          const bool more = !as.empty() && as.back() != aid;
          if (more && (depth > 0 || (style & TVS_LINESATROOT))) dottedV(dc, boxX(h, *d, depth), y, y + rh, lines);
        }
      }
      if ((style & TVS_HASBUTTONS) && hasChildren(n) && drawBoxColumn) {
        const RECT box{bx - 4, mid - 4, bx + 5, mid + 5};
        dlg::fillSolid(dc, box, GetSysColor(COLOR_WINDOW));
        dlg::frame(dc, box, lines);
        dlg::hline(dc, bx - 2, bx + 3, mid, GetSysColor(COLOR_WINDOWTEXT));
        if (!expanded(n)) dlg::vline(dc, bx, mid - 2, mid + 3, GetSysColor(COLOR_WINDOWTEXT));
      }
      const int tx = textX(h, *d, row.depth);
      SIZE s{};
      if (!n.text.empty()) GetTextExtentPoint32(dc, n.text.c_str(), static_cast<int>(n.text.size()), s);
      const RECT label{tx - 2, y, tx + s.cx + 2, y + rh};
      const bool sel = row.id == d->selected;
      COLORREF text = GetSysColor(IsWindowEnabled(h) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
      if (sel && d->focused) {
        dlg::fillSolid(dc, label, GetSysColor(COLOR_HIGHLIGHT));
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
      } else if (sel && (style & TVS_SHOWSELALWAYS)) {
        dlg::fillSolid(dc, label, GetSysColor(COLOR_BTNFACE));
      }
      SetTextColor(dc, text);
      if (!n.text.empty()) TextOut(dc, tx, y + (rh - lh) / 2, n.text.c_str(), static_cast<int>(n.text.size()));
      if (sel && d->focused) dlg::focusRect(dc, label);
    }
    SelectObject(dc, oldFont);
  }
  EndPaint(h, ps);
}

//------------------------------------------------------------------------------
// [SECTION] Input
//------------------------------------------------------------------------------
TVHITTESTINFO hitTest(HWND h, TreeData& d, POINT p) {
  TVHITTESTINFO hi;
  hi.pt = p;
  RECT c;
  GetClientRect(h, c);
  if (p.y < 0) {
    hi.flags = TVHT_ABOVE;
    return hi;
  }
  if (p.y >= c.bottom) {
    hi.flags = TVHT_BELOW;
    return hi;
  }
  const std::vector<Row> rs = rows(d);
  const int r = d.top + p.y / rowHeight(h);
  if (r >= static_cast<int>(rs.size())) {
    hi.flags = TVHT_NOWHERE;
    return hi;
  }
  const Row& row = rs[static_cast<std::size_t>(r)];
  hi.hItem = handleOf(row.id);
  const int bx = boxX(h, d, row.depth), tx = textX(h, d, row.depth);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dlg::fontOf(h));
  SIZE s{};
  const Node& n = d.nodes[row.id];
  if (!n.text.empty()) GetTextExtentPoint32(dc, n.text.c_str(), static_cast<int>(n.text.size()), s);
  SelectObject(dc, old);
  DeleteDC(dc);
  if (p.x >= bx - 5 && p.x <= bx + 5 && hasChildren(n) && (styleOf(h) & TVS_HASBUTTONS) &&
      (row.depth > 0 || (styleOf(h) & TVS_LINESATROOT)))
    hi.flags = TVHT_ONITEMBUTTON;
  else if (p.x < tx - 2) hi.flags = TVHT_ONITEMINDENT;
  else if (p.x < tx + s.cx + 2) hi.flags = TVHT_ONITEMLABEL;
  else hi.flags = TVHT_ONITEMRIGHT;
  return hi;
}

void keyDown(HWND h, int vk) {
  TreeData* d = rec(h);
  if (!d) return;
  const std::vector<Row> rs = rows(*d);
  if (rs.empty()) return;
  int r = rowOf(rs, d->selected);
  const int page = std::max(1, visibleRows(h) - 1);
  const int last = static_cast<int>(rs.size()) - 1;
  Node* n = node(*d, d->selected);
  switch (vk) {
    case VK_UP: r = r < 0 ? 0 : std::max(0, r - 1); break;
    case VK_DOWN: r = r < 0 ? 0 : std::min(last, r + 1); break;
    case VK_PRIOR: r = std::max(0, r - page); break;
    case VK_NEXT: r = std::min(last, std::max(r, 0) + page); break;
    case VK_HOME: r = 0; break;
    case VK_END: r = last; break;
    case VK_RIGHT:
      if (!n || !hasChildren(*n)) return;
      if (!expanded(*n)) {
        expand(h, d->selected, TVE_EXPAND, true);
        return;
      }
      if (n->children.empty()) return;
      select(h, n->children.front(), TVC_BYKEYBOARD);
      return;
    case VK_LEFT:
      if (!n) return;
      if (expanded(*n) && hasChildren(*n)) expand(h, d->selected, TVE_COLLAPSE, true);
      else if (n->parent) select(h, n->parent, TVC_BYKEYBOARD);
      return;
    case VK_ADD:
      if (n) expand(h, d->selected, TVE_EXPAND, true);
      return;
    case VK_SUBTRACT:
      if (n) expand(h, d->selected, TVE_COLLAPSE, true);
      return;
    case VK_RETURN:
      notifyParent(h, NM_RETURN);
      return;
    default:
      return;
  }
  select(h, rs[static_cast<std::size_t>(r)].id, TVC_BYKEYBOARD);
}

void mouseDown(HWND h, LPARAM lParam, bool dbl) {
  if (GetFocus() != h) SetFocus(h);
  TreeData* d = rec(h);
  if (!IsWindow(h) || !d) return;
  const TVHITTESTINFO hi = hitTest(h, *d, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  const int id = idOf(hi.hItem);
  if (!id) return;
  if (hi.flags & TVHT_ONITEMBUTTON) {
    expand(h, id, TVE_TOGGLE, true);
    return;
  }
  if (!(hi.flags & (TVHT_ONITEMLABEL | TVHT_ONITEMICON | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT))) return;
  notifyParent(h, dbl ? NM_DBLCLK : NM_CLICK);
  if (!IsWindow(h)) return;
  select(h, id, TVC_BYMOUSE);
  if (dbl && IsWindow(h)) expand(h, id, TVE_TOGGLE, true);
}

//------------------------------------------------------------------------------
// [SECTION] Window procedure
//------------------------------------------------------------------------------
std::string lower(const std::string& s) {
  std::string o = s;
  for (char& ch : o) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return o;
}

LRESULT insertItem(HWND h, TreeData& d, const TVINSERTSTRUCT& ins) {
  int parent = 0;
  if (ins.hParent && ins.hParent != TVI_ROOT) {
    parent = idOf(ins.hParent);
    if (!node(d, parent)) return 0;
  }
  const int id = d.nextId++;
  Node n;
  n.parent = parent;
  const TVITEM& it = ins.item;
  if ((it.mask & TVIF_TEXT) && it.pszText) n.text = it.pszText;
  if (it.mask & TVIF_PARAM) n.param = it.lParam;
  if (it.mask & TVIF_STATE) n.state = it.state & it.stateMask & ~TVIS_SELECTED;
  if (it.mask & TVIF_IMAGE) n.image = it.iImage;
  if (it.mask & TVIF_SELECTEDIMAGE) n.selectedImage = it.iSelectedImage;
  if (it.mask & TVIF_CHILDREN) n.childrenFlag = it.cChildren ? 1 : 0;
  std::vector<int>& sib = parent ? d.nodes[parent].children : d.roots;
  std::size_t at = sib.size();
  if (ins.hInsertAfter == TVI_FIRST) {
    at = 0;
  } else if (ins.hInsertAfter == TVI_SORT) {
    at = 0;
    const std::string key = lower(n.text);
    while (at < sib.size() && lower(d.nodes[sib[at]].text) <= key) ++at;
  } else if (ins.hInsertAfter && ins.hInsertAfter != TVI_LAST) {
    const auto pos = std::find(sib.begin(), sib.end(), idOf(ins.hInsertAfter));
    if (pos != sib.end()) at = static_cast<std::size_t>(pos - sib.begin()) + 1;
  }
  d.nodes[id] = std::move(n);
  std::vector<int>& sib2 = parent ? d.nodes[parent].children : d.roots;
  sib2.insert(sib2.begin() + static_cast<long>(at), id);
  updateScrollBar(h, d);
  InvalidateRect(h, nullptr, TRUE);
  return reinterpret_cast<LRESULT>(handleOf(id));
}

LRESULT treeProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    trees().create(h).scrollBar = createdWith(lParam, WS_VSCROLL);
    return DefWindowProc(h, msg, wParam, lParam);
  }
  TreeData* dp = trees().route(h, msg);
  if (!dp) return DefWindowProc(h, msg, wParam, lParam);
  TreeData& d = *dp;
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint(h);
      return 0;
    case WM_SETFONT:
      return keepFont(h, d.font, wParam, lParam, [&] { updateScrollBar(h, d); });
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(d.font);
    case WM_SIZE:
      setTop(h, d, d.top);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      d.focused = msg == WM_SETFOCUS;
      InvalidateRect(h, nullptr, TRUE);
      notifyParent(h, msg == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
      return 0;
    case WM_KEYDOWN: {
      struct { NMHDR hdr; WORD wVKey; UINT flags; } kd{};
      kd.wVKey = static_cast<WORD>(wParam);
      notifyParent(h, kd.hdr, TVN_KEYDOWN);
      if (IsWindow(h)) keyDown(h, static_cast<int>(wParam));
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      mouseDown(h, lParam, msg == WM_LBUTTONDBLCLK);
      return 0;
    case WM_VSCROLL:
    case WM_MOUSEWHEEL: {
      int top = d.top;
      const int vis = visibleRows(h);
      if (msg == WM_MOUSEWHEEL) top -= 3 * GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      else switch (LOWORD(wParam)) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= vis; break;
        case SB_PAGEDOWN: top += vis; break;
        case SB_THUMBTRACK: case SB_THUMBPOSITION: top = HIWORD(wParam); break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = static_cast<int>(rows(d).size()); break;
        default: break;
      }
      setTop(h, d, top);
      return 0;
    }
    case TVM_INSERTITEM: {
      const TVINSERTSTRUCT* ins = reinterpret_cast<const TVINSERTSTRUCT*>(lParam);
      return ins ? insertItem(h, d, *ins) : 0;
    }
    case TVM_DELETEITEM: {
      const HTREEITEM item = reinterpret_cast<HTREEITEM>(lParam);
      if (!item || item == TVI_ROOT) {
        const std::vector<int> roots = d.roots;
        for (int r : roots) removeNode(h, d, r);
        if ((dp = rec(h)) != nullptr) {
          dp->selected = 0;
          dp->top = 0;
          updateScrollBar(h, *dp);
          InvalidateRect(h, nullptr, TRUE);
        }
        return TRUE;
      }
      const int id = idOf(item);
      Node* n = node(d, id);
      if (!n) return FALSE;
      // The selection, inside what goes, moves to the next sibling, the previous or the parent.
      bool inside = false;
      for (Node* s = node(d, d.selected); s; s = node(d, s->parent)) {
        if (s == n) {
          inside = true;
          break;
        }
        if (!s->parent) break;
      }
      int heir = 0;
      if (inside) {
        const std::vector<int>& sib = siblingsOf(d, id);
        const auto pos = std::find(sib.begin(), sib.end(), id);
        if (pos + 1 != sib.end()) heir = *(pos + 1);
        else if (pos != sib.begin()) heir = *(pos - 1);
        else heir = n->parent;
        d.nodes[d.selected].state &= ~TVIS_SELECTED;
        d.selected = 0;
      }
      removeNode(h, d, id);
      if (!(dp = rec(h))) return TRUE;
      if (inside && heir) select(h, heir, TVC_UNKNOWN);
      if ((dp = rec(h)) != nullptr) setTop(h, *dp, dp->top);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case TVM_EXPAND:
      return expand(h, idOf(reinterpret_cast<HTREEITEM>(lParam)), wParam, false) ? TRUE : FALSE;
    case TVM_GETCOUNT:
      return static_cast<LRESULT>(d.nodes.size());
    case TVM_GETINDENT:
      return d.indent;
    case TVM_SETINDENT:
      d.indent = std::max(static_cast<int>(wParam), 8);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case TVM_GETVISIBLECOUNT:
      return visibleRows(h);
    case TVM_GETNEXTITEM: {
      const int id = idOf(reinterpret_cast<HTREEITEM>(lParam));
      Node* n = node(d, id);
      auto siblingStep = [&](int step) -> LRESULT {
        if (!n) return 0;
        const std::vector<int>& sib = siblingsOf(d, id);
        const auto pos = std::find(sib.begin(), sib.end(), id);
        const long i = static_cast<long>(pos - sib.begin()) + step;
        return i >= 0 && i < static_cast<long>(sib.size()) ? reinterpret_cast<LRESULT>(handleOf(sib[static_cast<std::size_t>(i)])) : 0;
      };
      const std::vector<Row> rs = rows(d);
      switch (wParam) {
        case TVGN_ROOT: return d.roots.empty() ? 0 : reinterpret_cast<LRESULT>(handleOf(d.roots.front()));
        case TVGN_NEXT: return siblingStep(1);
        case TVGN_PREVIOUS: return siblingStep(-1);
        case TVGN_PARENT: return n && n->parent ? reinterpret_cast<LRESULT>(handleOf(n->parent)) : 0;
        case TVGN_CHILD:
          if (!lParam || reinterpret_cast<HTREEITEM>(lParam) == TVI_ROOT)
            return d.roots.empty() ? 0 : reinterpret_cast<LRESULT>(handleOf(d.roots.front()));
          return n && !n->children.empty() ? reinterpret_cast<LRESULT>(handleOf(n->children.front())) : 0;
        case TVGN_CARET: return d.selected ? reinterpret_cast<LRESULT>(handleOf(d.selected)) : 0;
        case TVGN_FIRSTVISIBLE:
          return d.top < static_cast<int>(rs.size()) ? reinterpret_cast<LRESULT>(handleOf(rs[static_cast<std::size_t>(d.top)].id)) : 0;
        case TVGN_LASTVISIBLE: return rs.empty() ? 0 : reinterpret_cast<LRESULT>(handleOf(rs.back().id));
        case TVGN_NEXTVISIBLE:
        case TVGN_PREVIOUSVISIBLE: {
          const int r = rowOf(rs, id);
          if (r < 0) return 0;
          const int to = r + (wParam == TVGN_NEXTVISIBLE ? 1 : -1);
          return to >= 0 && to < static_cast<int>(rs.size()) ? reinterpret_cast<LRESULT>(handleOf(rs[static_cast<std::size_t>(to)].id)) : 0;
        }
        default: return 0;
      }
    }
    case TVM_SELECTITEM: {
      const int id = idOf(reinterpret_cast<HTREEITEM>(lParam));
      if (id && !node(d, id)) return FALSE;
      if (wParam == TVGN_CARET) return select(h, id, TVC_UNKNOWN) ? TRUE : FALSE;
      if (wParam == TVGN_FIRSTVISIBLE && id) {
        ensureVisible(h, d, id);
        setTop(h, d, rowOf(rows(d), id));
        return TRUE;
      }
      return FALSE;
    }
    case TVM_ENSUREVISIBLE: {
      const int id = idOf(reinterpret_cast<HTREEITEM>(lParam));
      if (!node(d, id)) return FALSE;
      ensureVisible(h, d, id);
      return TRUE;
    }
    case TVM_GETITEM: {
      TVITEM* it = reinterpret_cast<TVITEM*>(lParam);
      Node* n = it ? node(d, idOf(it->hItem)) : nullptr;
      if (!n) return FALSE;
      if ((it->mask & TVIF_TEXT) && it->pszText && it->cchTextMax > 0) {
        const std::size_t k = std::min(n->text.size(), static_cast<std::size_t>(it->cchTextMax) - 1);
        std::memcpy(it->pszText, n->text.data(), k);
        it->pszText[k] = '\0';
      }
      if (it->mask & TVIF_PARAM) it->lParam = n->param;
      if (it->mask & TVIF_STATE) it->state = n->state & (it->stateMask ? it->stateMask : ~0u);
      if (it->mask & TVIF_IMAGE) it->iImage = n->image;
      if (it->mask & TVIF_SELECTEDIMAGE) it->iSelectedImage = n->selectedImage;
      if (it->mask & TVIF_CHILDREN) it->cChildren = hasChildren(*n) ? 1 : 0;
      return TRUE;
    }
    case TVM_SETITEM: {
      const TVITEM* it = reinterpret_cast<const TVITEM*>(lParam);
      Node* n = it ? node(d, idOf(it->hItem)) : nullptr;
      if (!n) return FALSE;
      if (it->mask & TVIF_TEXT) n->text = it->pszText ? it->pszText : "";
      if (it->mask & TVIF_PARAM) n->param = it->lParam;
      if (it->mask & TVIF_STATE) {
        const UINT mask = it->stateMask & ~TVIS_SELECTED;
        n->state = (n->state & ~mask) | (it->state & mask);
      }
      if (it->mask & TVIF_IMAGE) n->image = it->iImage;
      if (it->mask & TVIF_SELECTEDIMAGE) n->selectedImage = it->iSelectedImage;
      if (it->mask & TVIF_CHILDREN) n->childrenFlag = it->cChildren ? 1 : 0;
      setTop(h, d, d.top);
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    case TVM_GETITEMRECT: {
      // The record holds the item on the way in; the label only when wParam is TRUE.
      RECT* r = reinterpret_cast<RECT*>(lParam);
      if (!r) return FALSE;
      HTREEITEM item;
      std::memcpy(&item, r, sizeof item);
      const std::vector<Row> rs = rows(d);
      const int row = rowOf(rs, idOf(item));
      if (row < 0) return FALSE;
      RECT c;
      GetClientRect(h, c);
      const int rh = rowHeight(h), y = (row - d.top) * rh;
      if (!wParam) {
        *r = RECT{0, y, c.right, y + rh};
        return TRUE;
      }
      const Node& n = d.nodes[rs[static_cast<std::size_t>(row)].id];
      HDC dc = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(dc, dlg::fontOf(h));
      SIZE s{};
      if (!n.text.empty()) GetTextExtentPoint32(dc, n.text.c_str(), static_cast<int>(n.text.size()), s);
      SelectObject(dc, old);
      DeleteDC(dc);
      const int tx = textX(h, d, rs[static_cast<std::size_t>(row)].depth);
      *r = RECT{tx - 2, y, tx + s.cx + 2, y + rh};
      return TRUE;
    }
    case TVM_HITTEST: {
      TVHITTESTINFO* hi = reinterpret_cast<TVHITTESTINFO*>(lParam);
      if (!hi) return 0;
      *hi = hitTest(h, d, hi->pt);
      return reinterpret_cast<LRESULT>(hi->flags & (TVHT_ONITEM | TVHT_ONITEMBUTTON | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT) ? hi->hItem : nullptr);
    }
    case TVM_SORTCHILDREN: {
      const HTREEITEM item = reinterpret_cast<HTREEITEM>(lParam);
      std::vector<int>* kids = (!item || item == TVI_ROOT) ? &d.roots : nullptr;
      if (!kids) {
        Node* n = node(d, idOf(item));
        if (!n) return FALSE;
        kids = &n->children;
      }
      std::stable_sort(kids->begin(), kids->end(), [&](int a, int b) { return lower(d.nodes[a].text) < lower(d.nodes[b].text); });
      InvalidateRect(h, nullptr, TRUE);
      return TRUE;
    }
    default:
      return DefWindowProc(h, msg, wParam, lParam);
  }
}

}  // namespace

namespace dlg {
void registerTreeViewClass() { registerControlClass(WC_TREEVIEW, treeProc); }
}  // namespace dlg

}  // namespace win
