// platform/menu.cpp: menus: the menu table and item operations, MENU templates, system menus,
// drawing of the menu bar strip and of pop-up menu windows, and the modal menu loop.
// Sections (grep "[SECTION]"): menu table | items | templates | system menu | layout and drawing |
//   menu loop | entry from the frame
//
// Invariants: (1) a menu lives in the table from its creation until DestroyMenu, which also
// destroys the pop-ups its items hold; (2) at most one menu loop runs at a time (gLoop); its
// pop-up windows are levels[0..n-1], each the pop-up of the hot item of the level before
// (levels[0] hangs from the bar's hot item in bar mode); (3) an item's state keeps MF_GRAYED
// and MF_DISABLED apart, as the toolkit tells them apart.
#include "platform/menu.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/classic_draw.h"
#include "platform/codepage.h"
#include "platform/gdi.h"
#include "platform/resource.h"
#include "platform/window_internal.h"

namespace win {

namespace {

//------------------------------------------------------------------------------
// [SECTION] Menu table
//------------------------------------------------------------------------------
struct Item {
  UINT type = 0;    // MFT_ bits
  UINT state = 0;   // MF_GRAYED, MF_DISABLED, MF_CHECKED, MFS_HILITE, MFS_DEFAULT
  UINT id = 0;
  HMENU sub = nullptr;
  ULONG_PTR data = 0;
  std::string text;
};

struct Menu {
  bool popup = false;
  std::vector<Item> items;
};

struct MenuTable {
  std::unordered_map<std::uintptr_t, std::unique_ptr<Menu>> menus;
  std::uintptr_t next = 0x40001;
  std::unordered_map<HWND, HMENU> systemMenus;
};

MenuTable& table() {
  static MenuTable t;
  return t;
}

Menu* menuOf(HMENU h) {
  auto it = table().menus.find(reinterpret_cast<std::uintptr_t>(h));
  return it == table().menus.end() ? nullptr : it->second.get();
}

void installHooks();

HMENU newMenu(bool popup) {
  installHooks();
  MenuTable& t = table();
  const std::uintptr_t v = t.next++;
  auto m = std::make_unique<Menu>();
  m->popup = popup;
  t.menus[v] = std::move(m);
  return reinterpret_cast<HMENU>(v);
}

bool isSeparator(const Item& it) { return (it.type & MFT_SEPARATOR) != 0; }
bool isInactive(const Item& it) { return (it.state & (MF_GRAYED | MF_DISABLED)) != 0; }

// The item named by position or by command; by command the pop-ups are searched depth-first
// in position order.
bool locate(HMENU h, UINT item, bool byPosition, Menu*& owner, std::size_t& index, int depth = 0) {
  Menu* m = menuOf(h);
  if (!m || depth > 32) return false;
  if (byPosition) {
    if (item >= m->items.size()) return false;
    owner = m;
    index = item;
    return true;
  }
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    const Item& it = m->items[i];
    if (!isSeparator(it) && it.id == item && (item != 0 || !it.sub)) {
      owner = m;
      index = i;
      return true;
    }
    if (it.sub && locate(it.sub, item, false, owner, index, depth + 1)) return true;
  }
  return false;
}

UINT flagsOf(const Item& it) {
  UINT f = (it.type & (MFT_SEPARATOR | MFT_MENUBARBREAK | MFT_MENUBREAK | MFT_RIGHTJUSTIFY | MFT_RADIOCHECK)) |
           (it.state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MFS_HILITE | MFS_DEFAULT));
  if (it.sub) f |= MF_POPUP;
  return f;
}

// An item from the flags of AppendMenu, InsertMenu and ModifyMenu.
Item itemFromFlags(UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  Item it;
  it.type = flags & (MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK | MF_HELP | MF_OWNERDRAW | MF_BITMAP);
  it.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
  if (flags & MF_POPUP) it.sub = reinterpret_cast<HMENU>(idOrPopup);
  else it.id = static_cast<UINT>(idOrPopup);
  if (!(flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW)) && text) it.text = text;
  return it;
}

}  // namespace

HMENU CreateMenu() { return newMenu(false); }
HMENU CreatePopupMenu() { return newMenu(true); }

BOOL IsMenu(HMENU menu) { return menuOf(menu) != nullptr; }

BOOL DestroyMenu(HMENU menu) {
  MenuTable& t = table();
  auto it = t.menus.find(reinterpret_cast<std::uintptr_t>(menu));
  if (it == t.menus.end()) return FALSE;
  std::unique_ptr<Menu> m = std::move(it->second);
  t.menus.erase(it);
  for (const Item& i : m->items)
    if (i.sub) DestroyMenu(i.sub);
  for (auto s = t.systemMenus.begin(); s != t.systemMenus.end();) {
    if (s->second == menu) s = t.systemMenus.erase(s);
    else ++s;
  }
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Items
//------------------------------------------------------------------------------
int GetMenuItemCount(HMENU menu) {
  Menu* m = menuOf(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  Menu* m = menuOf(menu);
  if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return 0xFFFFFFFF;
  const Item& it = m->items[static_cast<std::size_t>(position)];
  return it.sub ? 0xFFFFFFFF : it.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
  Menu* m = menuOf(menu);
  if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) return nullptr;
  return m->items[static_cast<std::size_t>(position)].sub;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  Menu* m = nullptr;
  std::size_t i = 0;
  if (!locate(menu, item, (flags & MF_BYPOSITION) != 0, m, i)) return 0xFFFFFFFF;
  const Item& it = m->items[i];
  UINT f = flagsOf(it);
  if (Menu* s = menuOf(it.sub)) f |= static_cast<UINT>(std::min<std::size_t>(s->items.size(), 255)) << 8;
  return f;
}

int GetMenuString(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags) {
  Menu* m = nullptr;
  std::size_t i = 0;
  if (!locate(menu, item, (flags & MF_BYPOSITION) != 0, m, i)) return 0;
  const std::string& text = m->items[i].text;
  if (!buffer || size <= 0) return static_cast<int>(text.size());
  const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO& info) {
  Menu* m = nullptr;
  std::size_t i = 0;
  if (!locate(menu, item, byPosition != FALSE, m, i)) return FALSE;
  const Item& it = m->items[i];
  if (info.fMask & (MIIM_FTYPE | MIIM_TYPE)) info.fType = it.type;
  if (info.fMask & MIIM_STATE) info.fState = it.state;
  if (info.fMask & MIIM_ID) info.wID = it.id;
  if (info.fMask & MIIM_SUBMENU) info.hSubMenu = it.sub;
  if (info.fMask & MIIM_DATA) info.dwItemData = it.data;
  if (info.fMask & (MIIM_STRING | MIIM_TYPE)) {
    if (info.dwTypeData && info.cch > 0) {
      const std::size_t n = std::min<std::size_t>(it.text.size(), info.cch - 1);
      std::memcpy(info.dwTypeData, it.text.data(), n);
      info.dwTypeData[n] = '\0';
      info.cch = static_cast<UINT>(n);
    } else {
      info.cch = static_cast<UINT>(it.text.size());
    }
  }
  return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO& info) {
  Menu* m = nullptr;
  std::size_t i = 0;
  if (!locate(menu, item, byPosition != FALSE, m, i)) return FALSE;
  Item& it = m->items[i];
  if (info.fMask & (MIIM_FTYPE | MIIM_TYPE)) it.type = info.fType;
  if (info.fMask & MIIM_STATE) it.state = info.fState;
  if (info.fMask & MIIM_ID) it.id = info.wID;
  if (info.fMask & MIIM_SUBMENU) it.sub = info.hSubMenu;
  if (info.fMask & MIIM_DATA) it.data = info.dwItemData;
  if ((info.fMask & (MIIM_STRING | MIIM_TYPE)) && !(it.type & MFT_SEPARATOR))
    it.text = info.dwTypeData ? info.dwTypeData : "";
  return TRUE;
}

BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO& info) {
  Menu* target = menuOf(menu);
  if (!target) return FALSE;
  std::size_t at = target->items.size();
  if (byPosition) {
    at = std::min<std::size_t>(item, target->items.size());
  } else {
    Menu* m = nullptr;
    std::size_t i = 0;
    if (locate(menu, item, false, m, i)) {
      target = m;
      at = i;
    }
  }
  Item it;
  if (info.fMask & (MIIM_FTYPE | MIIM_TYPE)) it.type = info.fType;
  if (info.fMask & MIIM_STATE) it.state = info.fState;
  if (info.fMask & MIIM_ID) it.id = info.wID;
  if (info.fMask & MIIM_SUBMENU) it.sub = info.hSubMenu;
  if (info.fMask & MIIM_DATA) it.data = info.dwItemData;
  if ((info.fMask & (MIIM_STRING | MIIM_TYPE)) && info.dwTypeData && !(it.type & MFT_SEPARATOR)) it.text = info.dwTypeData;
  target->items.insert(target->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(it));
  return TRUE;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  Menu* m = menuOf(menu);
  if (!m) return FALSE;
  if ((flags & MF_POPUP) && !menuOf(reinterpret_cast<HMENU>(idOrPopup))) return FALSE;
  m->items.push_back(itemFromFlags(flags, idOrPopup, text));
  return TRUE;
}

BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  Menu* target = menuOf(menu);
  if (!target) return FALSE;
  if ((flags & MF_POPUP) && !menuOf(reinterpret_cast<HMENU>(idOrPopup))) return FALSE;
  std::size_t at = target->items.size();
  Menu* m = nullptr;
  std::size_t i = 0;
  if (locate(menu, position, (flags & MF_BYPOSITION) != 0, m, i)) {
    target = m;
    at = i;
  } else if (!(flags & MF_BYPOSITION) && position != 0xFFFFFFFF) {
    return FALSE;
  }
  target->items.insert(target->items.begin() + static_cast<std::ptrdiff_t>(at), itemFromFlags(flags, idOrPopup, text));
  return TRUE;
}

BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
  Menu* m = nullptr;
  std::size_t i = 0;
  if (!locate(menu, position, (flags & MF_BYPOSITION) != 0, m, i)) return FALSE;
  Item fresh = itemFromFlags(flags, idOrPopup, text);
  fresh.data = m->items[i].data;
  m->items[i] = std::move(fresh);
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  Menu* m = nullptr;
  std::size_t i = 0;
  if (!locate(menu, position, (flags & MF_BYPOSITION) != 0, m, i)) return FALSE;
  m->items.erase(m->items.begin() + static_cast<std::ptrdiff_t>(i));
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  Menu* m = nullptr;
  std::size_t i = 0;
  if (!locate(menu, position, (flags & MF_BYPOSITION) != 0, m, i)) return FALSE;
  HMENU sub = m->items[i].sub;
  m->items.erase(m->items.begin() + static_cast<std::ptrdiff_t>(i));
  if (sub) DestroyMenu(sub);
  return TRUE;
}

UINT EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  Menu* m = nullptr;
  std::size_t i = 0;
  if (!locate(menu, item, (enable & MF_BYPOSITION) != 0, m, i)) return 0xFFFFFFFF;
  Item& it = m->items[i];
  const UINT before = it.state & (MF_GRAYED | MF_DISABLED);
  it.state = (it.state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return before;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
  Menu* m = nullptr;
  std::size_t i = 0;
  if (!locate(menu, item, (check & MF_BYPOSITION) != 0, m, i)) return 0xFFFFFFFF;
  Item& it = m->items[i];
  const DWORD before = it.state & MF_CHECKED;
  it.state = (it.state & ~MF_CHECKED) | (check & MF_CHECKED);
  return before;
}

//------------------------------------------------------------------------------
// [SECTION] Templates
//------------------------------------------------------------------------------
namespace {

// Windows-1252 for the UTF-16 characters of a template (others become '?').
char fromUtf16(unsigned c) {
  const int b = cp1252OfTextCharacter(c);
  return b < 0 ? '?' : static_cast<char>(b);
}

struct Reader {
  const unsigned char* p;
  std::size_t size, pos = 0;
  bool word(WORD& w) {
    if (pos + 2 > size) return false;
    w = static_cast<WORD>(p[pos] | (p[pos + 1] << 8));
    pos += 2;
    return true;
  }
  bool text(std::string& out) {
    for (;;) {
      WORD c = 0;
      if (!word(c)) return false;
      if (c == 0) return true;
      out += fromUtf16(c);
    }
  }
};

// One level of a template into menu; false on malformed data.
bool readLevel(Reader& r, HMENU menu, int depth) {
  if (depth > 16) return false;
  for (;;) {
    WORD flags = 0, id = 0;
    if (!r.word(flags)) return false;
    const bool popup = (flags & MF_POPUP) != 0;
    if (!popup && !r.word(id)) return false;
    Item it;
    if (!r.text(it.text)) return false;
    it.type = flags & (MF_MENUBARBREAK | MF_MENUBREAK | MF_HELP | MF_OWNERDRAW);
    it.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    it.id = id;
    if (!popup && id == 0 && it.text.empty() && !(flags & ~MF_END)) it.type |= MFT_SEPARATOR;
    if (popup) {
      it.sub = CreatePopupMenu();
      // Attach first, so that a failure below destroys the pop-up with the menu.
      menuOf(menu)->items.push_back(it);
      if (!readLevel(r, it.sub, depth + 1)) return false;
    } else {
      menuOf(menu)->items.push_back(it);
    }
    if (flags & MF_END) return true;
  }
}

HMENU loadTemplate(const void* data, std::size_t size) {
  if (!data) return nullptr;
  Reader r{static_cast<const unsigned char*>(data), size};
  WORD version = 0, offset = 0;
  if (!r.word(version) || !r.word(offset) || version != 0) return nullptr;
  r.pos += offset;
  HMENU menu = CreateMenu();
  if (r.pos >= size || !readLevel(r, menu, 0)) {
    DestroyMenu(menu);
    return nullptr;
  }
  return menu;
}

}  // namespace

HMENU LoadMenuIndirect(const void* menuTemplate) {
  // A template in memory carries no size: it is read until its last item.
  return loadTemplate(menuTemplate, static_cast<std::size_t>(1) << 24);
}

HMENU LoadMenu(HINSTANCE instance, LPCSTR name) {
  HRSRC res = FindResource(instance, name, RT_MENU);
  if (!res) return nullptr;
  const void* data = LockResource(LoadResource(instance, res));
  return loadTemplate(data, SizeofResource(instance, res));
}

//------------------------------------------------------------------------------
// [SECTION] System menu
//------------------------------------------------------------------------------
namespace {

HMENU standardSystemMenu() {
  HMENU m = CreatePopupMenu();
  AppendMenu(m, MF_STRING, SC_RESTORE, "&Restore");
  AppendMenu(m, MF_STRING, SC_MOVE, "&Move");
  AppendMenu(m, MF_STRING, SC_SIZE, "&Size");
  AppendMenu(m, MF_STRING, SC_MINIMIZE, "Mi&nimize");
  AppendMenu(m, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
  AppendMenu(m, MF_SEPARATOR, 0, nullptr);
  AppendMenu(m, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
  return m;
}

// Greys what the window's style and show state do not allow.
void updateSystemMenu(HWND hwnd, HMENU m) {
  const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
  const bool iconic = (style & WS_MINIMIZE) != 0, zoomed = (style & WS_MAXIMIZE) != 0;
  auto set = [m](UINT id, bool on) { EnableMenuItem(m, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  set(SC_RESTORE, iconic || zoomed);
  set(SC_MOVE, !zoomed);
  set(SC_SIZE, (style & WS_THICKFRAME) && !iconic && !zoomed);
  set(SC_MINIMIZE, (style & WS_MINIMIZEBOX) && !iconic);
  set(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) && !zoomed);
}

}  // namespace

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
  if (!IsWindow(hwnd)) return nullptr;
  MenuTable& t = table();
  // A handle value may come back for a new window: forget menus of windows gone.
  for (auto s = t.systemMenus.begin(); s != t.systemMenus.end();) {
    if (!IsWindow(s->first)) {
      HMENU gone = s->second;
      s = t.systemMenus.erase(s);
      DestroyMenu(gone);
    } else {
      ++s;
    }
  }
  auto it = t.systemMenus.find(hwnd);
  if (revert) {
    if (it != t.systemMenus.end()) {
      HMENU old = it->second;
      t.systemMenus.erase(it);
      DestroyMenu(old);
    }
    return nullptr;
  }
  if (it != t.systemMenus.end()) return it->second;
  HMENU m = standardSystemMenu();
  t.systemMenus[hwnd] = m;
  return m;
}

//------------------------------------------------------------------------------
// [SECTION] Layout and drawing
//------------------------------------------------------------------------------
namespace {

constexpr int kBarPad = 8;        // each side of a bar item's text
constexpr int kPopupBorder = 3;
constexpr int kCheckColumn = 18;  // left of a pop-up item's text
constexpr int kArrowColumn = 18;  // right of it
constexpr int kSeparatorHeight = 9;

HFONT menuFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// The label and the accelerator text of an item ("Open\tCtrl+O").
std::string labelOf(const std::string& text) { return text.substr(0, text.find('\t')); }
std::string accelOf(const std::string& text) {
  const std::size_t tab = text.find('\t');
  return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

// Width of a text as drawn with mnemonic prefixes.
int textWidth(const std::string& text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  HDC dc = GetDC(nullptr);
  if (!dc) return static_cast<int>(shown.size()) * 7;
  HGDIOBJ old = SelectObject(dc, menuFont());
  SIZE s{};
  GetTextExtentPoint32(dc, shown.c_str(), static_cast<int>(shown.size()), s);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return s.cx;
}

int rowHeight() {
  HDC dc = GetDC(nullptr);
  int h = 13;
  if (dc) {
    HGDIOBJ old = SelectObject(dc, menuFont());
    TEXTMETRIC tm{};
    GetTextMetrics(dc, tm);
    h = tm.tmHeight;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
  }
  return std::max(h + 6, GetSystemMetrics(SM_CYMENU));
}

// Bar items in window coordinates; help-justified items and those after them at the right.
std::vector<RECT> barLayout(HWND hwnd, HMENU menu) {
  std::vector<RECT> out;
  Menu* m = menuOf(menu);
  NcLayout l;
  if (!m || !GetNcLayout(hwnd, l) || IsRectEmpty(l.menuBar)) return out;
  int x = l.menuBar.left;
  std::size_t right = m->items.size();
  for (std::size_t i = 0; i < m->items.size(); ++i)
    if (m->items[i].type & MFT_RIGHTJUSTIFY) { right = i; break; }
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    const int w = textWidth(labelOf(m->items[i].text)) + 2 * kBarPad;
    out.push_back(RECT{x, l.menuBar.top, x + w, l.menuBar.bottom});
    x += w;
  }
  if (right < out.size()) {
    const int shift = l.menuBar.right - out.back().right;
    if (shift > 0)
      for (std::size_t i = right; i < out.size(); ++i) OffsetRect(out[i], shift, 0);
  }
  return out;
}

struct PopupLayout {
  std::vector<RECT> rows;   // client coordinates
  SIZE size;
  int accelLeft = 0;
};

PopupLayout popupLayout(HMENU menu) {
  PopupLayout p;
  Menu* m = menuOf(menu);
  if (!m) return p;
  const int row = rowHeight();
  int labels = 0, accels = 0;
  for (const Item& it : m->items) {
    if (isSeparator(it)) continue;
    labels = std::max(labels, textWidth(labelOf(it.text)));
    accels = std::max(accels, textWidth(accelOf(it.text)));
  }
  const int width = 2 * kPopupBorder + kCheckColumn + labels + (accels ? 16 + accels : 0) + kArrowColumn;
  int y = kPopupBorder;
  for (const Item& it : m->items) {
    const int h = isSeparator(it) ? kSeparatorHeight : row;
    p.rows.push_back(RECT{kPopupBorder, y, width - kPopupBorder, y + h});
    y += h;
  }
  p.size = SIZE{std::max(width, 40), y + kPopupBorder};
  p.accelLeft = kPopupBorder + kCheckColumn + labels + 16;
  return p;
}

using draw::line;
using draw::solid;

// Text of an item: greyed text is embossed, as the classic look draws it.
void itemText(HDC dc, const std::string& text, RECT r, UINT format, bool grey, bool hot) {
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, menuFont());
  if (grey && !hot) {
    RECT shadow = r;
    OffsetRect(shadow, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawText(dc, text.c_str(), -1, shadow, format);
  }
  SetTextColor(dc, grey ? GetSysColor(COLOR_GRAYTEXT) : hot ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_MENUTEXT));
  DrawText(dc, text.c_str(), -1, r, format);
  SelectObject(dc, old);
}

void drawPopup(HDC dc, HMENU menu, int hot) {
  Menu* m = menuOf(menu);
  if (!m) return;
  const PopupLayout p = popupLayout(menu);
  const RECT all{0, 0, p.size.cx, p.size.cy};
  solid(dc, all, GetSysColor(COLOR_MENU));
  line(dc, 0, 0, all.right - 1, 0, GetSysColor(COLOR_3DLIGHT));
  line(dc, 0, 0, 0, all.bottom - 1, GetSysColor(COLOR_3DLIGHT));
  line(dc, 1, 1, all.right - 2, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  line(dc, 1, 1, 1, all.bottom - 2, GetSysColor(COLOR_BTNHIGHLIGHT));
  line(dc, all.right - 1, 0, all.right - 1, all.bottom, GetSysColor(COLOR_3DDKSHADOW));
  line(dc, 0, all.bottom - 1, all.right, all.bottom - 1, GetSysColor(COLOR_3DDKSHADOW));
  line(dc, all.right - 2, 1, all.right - 2, all.bottom - 1, GetSysColor(COLOR_BTNSHADOW));
  line(dc, 1, all.bottom - 2, all.right - 1, all.bottom - 2, GetSysColor(COLOR_BTNSHADOW));
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    const Item& it = m->items[i];
    const RECT& r = p.rows[i];
    if (isSeparator(it)) {
      const int y = (r.top + r.bottom) / 2;
      line(dc, r.left + 1, y - 1, r.right - 1, y - 1, GetSysColor(COLOR_BTNSHADOW));
      line(dc, r.left + 1, y, r.right - 1, y, GetSysColor(COLOR_BTNHIGHLIGHT));
      continue;
    }
    const bool isHot = static_cast<int>(i) == hot;
    const bool grey = isInactive(it);
    if (isHot) solid(dc, r, GetSysColor(COLOR_HIGHLIGHT));
    const COLORREF ink = grey ? GetSysColor(COLOR_GRAYTEXT) : isHot ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_MENUTEXT);
    if (it.state & MF_CHECKED) {
      // A tick in the check column.
      const int cx = r.left + 5, cy = (r.top + r.bottom) / 2;
      for (int k = 0; k < 2; ++k) {
        line(dc, cx, cy - 1 + k, cx + 3, cy + 2 + k, ink);
        line(dc, cx + 3, cy + 2 + k, cx + 9, cy - 4 + k, ink);
      }
    }
    RECT label{r.left + kCheckColumn, r.top, r.right - kArrowColumn, r.bottom};
    itemText(dc, labelOf(it.text), label, DT_LEFT | DT_VCENTER | DT_SINGLELINE, grey, isHot);
    const std::string acc = accelOf(it.text);
    if (!acc.empty()) {
      RECT ar{p.accelLeft, r.top, r.right - kArrowColumn, r.bottom};
      itemText(dc, acc, ar, DT_LEFT | DT_VCENTER | DT_SINGLELINE, grey, isHot);
    }
    if (it.sub) {
      // A small triangle pointing right.
      const int ax = r.right - 10, ay = (r.top + r.bottom) / 2;
      for (int k = 0; k < 4; ++k) line(dc, ax + k, ay - 3 + k, ax + k, ay + 4 - k, ink);
    }
  }
}

}  // namespace

//------------------------------------------------------------------------------
// [SECTION] Menu loop
//------------------------------------------------------------------------------
namespace {

struct Level {
  HMENU menu = nullptr;
  HWND wnd = nullptr;
  int hot = -1;
};

struct Loop {
  bool running = false;
  HWND owner = nullptr;
  bool barMode = false;     // tracking the owner's menu bar
  HMENU bar = nullptr;
  int barHot = -1;
  bool system = false;      // the system menu: flags carry MF_SYSMENU, a choice is WM_SYSCOMMAND
  bool popupLoop = false;   // TrackPopupMenu
  UINT flags = 0;
  std::vector<Level> levels;
  bool ended = false;
  bool chosen = false;
  UINT choice = 0;
};

Loop gLoop;

bool notify() { return !(gLoop.flags & TPM_NONOTIFY); }

void redrawBar() {
  if (gLoop.barMode && IsWindow(gLoop.owner)) DrawMenuBar(gLoop.owner);
}

void redrawLevel(const Level& l) {
  if (!l.wnd) return;
  InvalidateRect(l.wnd, nullptr, FALSE);
  UpdateWindow(l.wnd);
}

UINT selectFlags(const Item& it, bool mouse) {
  UINT f = flagsOf(it) | MF_HILITE;
  if (mouse) f |= MF_MOUSESELECT;
  if (gLoop.system) f |= MF_SYSMENU;
  return f & 0xFFFF;
}

// WM_MENUSELECT for item index of menu: a pop-up item is named by its position.
void sendSelect(HMENU menu, int index, bool mouse) {
  Menu* m = menuOf(menu);
  if (!m || index < 0 || static_cast<std::size_t>(index) >= m->items.size() || !IsWindow(gLoop.owner)) return;
  const Item& it = m->items[static_cast<std::size_t>(index)];
  const UINT item = it.sub ? static_cast<UINT>(index) : it.id;
  sendMsg(gLoop.owner, WM_MENUSELECT, MAKEWPARAM(static_cast<WORD>(item), static_cast<WORD>(selectFlags(it, mouse))),
          reinterpret_cast<LPARAM>(menu));
}

void closeLevelsFrom(std::size_t from) {
  while (gLoop.levels.size() > from) {
    HWND w = gLoop.levels.back().wnd;
    gLoop.levels.pop_back();
    if (w) DestroyWindow(w);
  }
}

LRESULT popupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, ps);
      for (const Level& l : gLoop.levels)
        if (l.wnd == hwnd && dc) drawPopup(dc, l.menu, l.hot);
      EndPaint(hwnd, ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

bool registerPopupClass() {
  WNDCLASS wc;
  if (GetClassInfo(nullptr, POPUPMENU_CLASS, wc)) return true;
  wc.style = CS_SAVEBITS;
  wc.lpfnWndProc = popupProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = POPUPMENU_CLASS;
  return RegisterClass(wc) != 0;
}

// Opens menu as a new level at screen position (x, y), kept on the screen; avoid, when
// given, is the rectangle it hangs from (a bar item or the parent item), left uncovered
// when it must flip.
void openLevel(HMENU menu, int x, int y, int parentPos, const RECT* avoid, bool selectFirst);

int firstSelectable(HMENU menu, int from, int step) {
  Menu* m = menuOf(menu);
  if (!m || m->items.empty()) return -1;
  const int n = static_cast<int>(m->items.size());
  int i = from;
  for (int k = 0; k < n; ++k) {
    i = ((i + step) % n + n) % n;
    if (!isSeparator(m->items[static_cast<std::size_t>(i)])) return i;
  }
  return -1;
}

void selectItem(std::size_t level, int index, bool mouse) {
  if (level >= gLoop.levels.size()) return;
  closeLevelsFrom(level + 1);
  Level& l = gLoop.levels[level];
  if (l.hot == index) return;
  l.hot = index;
  redrawLevel(l);
  if (index >= 0 && notify()) sendSelect(l.menu, index, mouse);
}

// Opens the pop-up of the hot item of the deepest level, if it has one and it is active.
bool openHotSub(bool selectFirst) {
  if (gLoop.levels.empty()) return false;
  const std::size_t depth = gLoop.levels.size() - 1;
  Level l = gLoop.levels[depth];
  Menu* m = menuOf(l.menu);
  if (!m || l.hot < 0 || static_cast<std::size_t>(l.hot) >= m->items.size()) return false;
  const Item& it = m->items[static_cast<std::size_t>(l.hot)];
  if (!it.sub || isInactive(it)) return false;
  const PopupLayout p = popupLayout(l.menu);
  RECT row = p.rows[static_cast<std::size_t>(l.hot)];
  RECT wr;
  GetWindowRect(l.wnd, wr);
  OffsetRect(row, wr.left, wr.top);
  // Flipped to the left of the whole parent pop-up when there is no room at its right.
  const RECT avoid{wr.left, row.top, wr.right, row.bottom};
  openLevel(it.sub, wr.right - kPopupBorder, row.top - kPopupBorder, l.hot, &avoid, selectFirst);
  return true;
}

void selectBar(int index, bool open, bool mouse, bool selectFirst) {
  closeLevelsFrom(0);
  gLoop.barHot = index;
  redrawBar();
  if (index < 0) return;
  if (notify()) sendSelect(gLoop.bar, index, mouse);
  if (!open) return;
  // The owner may have changed the menu while it was told of the selection.
  Menu* m = menuOf(gLoop.bar);
  if (!m || static_cast<std::size_t>(index) >= m->items.size() || gLoop.ended) return;
  const Item& it = m->items[static_cast<std::size_t>(index)];
  if (!it.sub || isInactive(it)) return;
  std::vector<RECT> rects = barLayout(gLoop.owner, gLoop.bar);
  if (static_cast<std::size_t>(index) >= rects.size()) return;
  RECT r = rects[static_cast<std::size_t>(index)];
  const RECT wr = windowRectScreen(gLoop.owner);
  OffsetRect(r, wr.left, wr.top);
  openLevel(it.sub, r.left, r.bottom, index, &r, selectFirst);
}

// A bar item chosen: its pop-up opens, or its command is the choice (not when grey).
void chooseBar(int index, bool mouse) {
  Menu* m = menuOf(gLoop.bar);
  if (!m || index < 0 || static_cast<std::size_t>(index) >= m->items.size()) return;
  if (m->items[static_cast<std::size_t>(index)].sub) {
    if (gLoop.barHot != index || gLoop.levels.empty()) selectBar(index, true, mouse, !mouse);
    return;
  }
  if (gLoop.barHot != index) selectBar(index, false, mouse, false);
  // Looked up again: the owner may have changed the menu when told of the selection.
  m = menuOf(gLoop.bar);
  if (!m || static_cast<std::size_t>(index) >= m->items.size()) return;
  const Item& it = m->items[static_cast<std::size_t>(index)];
  if (it.sub || isInactive(it)) return;
  gLoop.chosen = true;
  gLoop.choice = it.id;
  gLoop.ended = true;
}

void openLevel(HMENU menu, int x, int y, int parentPos, const RECT* avoid, bool selectFirst) {
  if (!menuOf(menu) || !registerPopupClass()) return;
  if (notify() && IsWindow(gLoop.owner))
    sendMsg(gLoop.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
            MAKELPARAM(static_cast<WORD>(parentPos), gLoop.system ? 1 : 0));
  if (!gLoop.running || gLoop.ended || !menuOf(menu)) return;
  const PopupLayout p = popupLayout(menu);
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  if (x + p.size.cx > sw) x = avoid && gLoop.levels.size() > 0 ? avoid->left - p.size.cx : sw - p.size.cx;
  if (y + p.size.cy > sh) y = avoid && gLoop.levels.empty() && gLoop.barMode ? avoid->top - p.size.cy : sh - p.size.cy;
  x = std::max(x, 0);
  y = std::max(y, 0);
  HWND w = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, POPUPMENU_CLASS, "", WS_POPUP, x, y, p.size.cx, p.size.cy,
                          gLoop.owner, nullptr, nullptr, nullptr);
  if (!w) return;
  gLoop.levels.push_back(Level{menu, w, -1});
  ShowWindow(w, SW_SHOWNA);
  UpdateWindow(w);
  if (selectFirst) selectItem(gLoop.levels.size() - 1, firstSelectable(menu, -1, 1), false);
}

void choose(std::size_t level, int index) {
  Menu* m = level < gLoop.levels.size() ? menuOf(gLoop.levels[level].menu) : nullptr;
  if (!m || index < 0 || static_cast<std::size_t>(index) >= m->items.size()) return;
  const Item& it = m->items[static_cast<std::size_t>(index)];
  if (isSeparator(it) || isInactive(it)) return;   // a grey item gives nothing
  if (it.sub) {
    selectItem(level, index, false);
    openHotSub(true);
    return;
  }
  gLoop.chosen = true;
  gLoop.choice = it.id;
  gLoop.ended = true;
}

// The level and item under a screen point (deepest level first); level -1 outside them.
void hitLevels(POINT pt, int& level, int& item) {
  level = -1;
  item = -1;
  for (int k = static_cast<int>(gLoop.levels.size()) - 1; k >= 0; --k) {
    const Level& l = gLoop.levels[static_cast<std::size_t>(k)];
    const RECT wr = windowRectScreen(l.wnd);
    if (!PtInRect(wr, pt)) continue;
    level = k;
    const PopupLayout p = popupLayout(l.menu);
    const POINT c{pt.x - wr.left, pt.y - wr.top};
    for (std::size_t i = 0; i < p.rows.size(); ++i)
      if (PtInRect(p.rows[i], c)) item = static_cast<int>(i);
    return;
  }
}

int hitBar(POINT pt) {
  if (!gLoop.barMode) return -1;
  const RECT wr = windowRectScreen(gLoop.owner);
  const POINT c{pt.x - wr.left, pt.y - wr.top};
  std::vector<RECT> rects = barLayout(gLoop.owner, gLoop.bar);
  for (std::size_t i = 0; i < rects.size(); ++i)
    if (PtInRect(rects[i], c)) return static_cast<int>(i);
  return -1;
}

void onMouse(const MSG& m) {
  int level = -1, item = -1;
  hitLevels(m.pt, level, item);
  const int bar = level < 0 ? hitBar(m.pt) : -1;
  switch (m.message) {
    case WM_MOUSEMOVE: case WM_NCMOUSEMOVE:
      if (level >= 0) {
        const Level& l = gLoop.levels[static_cast<std::size_t>(level)];
        if (item >= 0 && isSeparator(menuOf(l.menu)->items[static_cast<std::size_t>(item)])) item = -1;
        if (item >= 0 && item != l.hot) {
          selectItem(static_cast<std::size_t>(level), item, true);
          openHotSub(false);
        }
      } else if (bar >= 0 && bar != gLoop.barHot && !gLoop.levels.empty()) {
        selectBar(bar, true, true, false);
      }
      return;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_NCLBUTTONDBLCLK:
      if (level >= 0) return;
      if (bar >= 0) {
        // A second press on the open item closes the menu.
        if (bar == gLoop.barHot && !gLoop.levels.empty()) gLoop.ended = true;
        else selectBar(bar, true, true, false);
        return;
      }
      gLoop.ended = true;   // a press outside the menu dismisses it
      return;
    case WM_LBUTTONUP: case WM_NCLBUTTONUP: case WM_RBUTTONUP: case WM_NCRBUTTONUP: {
      const bool right = m.message == WM_RBUTTONUP || m.message == WM_NCRBUTTONUP;
      if (right && gLoop.popupLoop && !(gLoop.flags & TPM_RIGHTBUTTON)) return;
      if (level >= 0 && item >= 0) choose(static_cast<std::size_t>(level), item);
      else if (bar >= 0 && bar == gLoop.barHot && !menuOf(gLoop.bar)->items[static_cast<std::size_t>(bar)].sub)
        chooseBar(bar, true);   // a command on the bar itself
      return;
    }
    default: return;
  }
}

// The item whose mnemonic is c: the character after '&', else the first character.
int mnemonic(HMENU menu, char c) {
  Menu* m = menuOf(menu);
  if (!m) return -1;
  const auto low = [](char x) { return static_cast<char>(std::tolower(static_cast<unsigned char>(x))); };
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    const std::string& t = m->items[i].text;
    for (std::size_t k = 0; k + 1 < t.size(); ++k) {
      if (t[k] != '&') continue;
      if (t[k + 1] == '&') { ++k; continue; }
      if (low(t[k + 1]) == low(c)) return static_cast<int>(i);
      break;
    }
  }
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    const std::string& t = m->items[i].text;
    if (!t.empty() && t.find('&') == std::string::npos && low(t[0]) == low(c)) return static_cast<int>(i);
  }
  return -1;
}

void onChar(char c) {
  if (gLoop.levels.empty()) {
    const int i = gLoop.barMode ? mnemonic(gLoop.bar, c) : -1;
    if (i >= 0) chooseBar(i, false);
    else MessageBeep(0);
    return;
  }
  const std::size_t depth = gLoop.levels.size() - 1;
  const int i = mnemonic(gLoop.levels[depth].menu, c);
  if (i < 0) {
    MessageBeep(0);
    return;
  }
  selectItem(depth, i, false);
  choose(depth, i);
}

void onKey(int vk) {
  const bool bar = gLoop.barMode;
  const std::size_t n = gLoop.levels.size();
  switch (vk) {
    case VK_ESCAPE:
      if (n > 0) {
        closeLevelsFrom(n - 1);
        if (n == 1 && !bar) gLoop.ended = true;
        else if (n > 1 && notify()) sendSelect(gLoop.levels[n - 2].menu, gLoop.levels[n - 2].hot, false);
        else if (n == 1 && notify()) sendSelect(gLoop.bar, gLoop.barHot, false);
      } else {
        gLoop.ended = true;
      }
      return;
    case VK_MENU: case VK_F10:
      gLoop.ended = true;
      return;
    case VK_UP: case VK_DOWN:
      if (n == 0) {
        if (bar && gLoop.barHot >= 0) selectBar(gLoop.barHot, true, false, true);
        return;
      }
      selectItem(n - 1, firstSelectable(gLoop.levels[n - 1].menu, gLoop.levels[n - 1].hot < 0 && vk == VK_UP ? 0 : gLoop.levels[n - 1].hot,
                                        vk == VK_DOWN ? 1 : -1), false);
      return;
    case VK_RIGHT:
      if (n > 0 && openHotSub(true)) return;
      if (bar) selectBar(firstSelectable(gLoop.bar, gLoop.barHot, 1), n > 0, false, true);
      return;
    case VK_LEFT:
      if (n > 1) {
        closeLevelsFrom(n - 1);
        if (notify()) sendSelect(gLoop.levels[n - 2].menu, gLoop.levels[n - 2].hot, false);
        return;
      }
      if (bar) selectBar(firstSelectable(gLoop.bar, gLoop.barHot, -1), n > 0, false, true);
      return;
    case VK_RETURN:
      if (n == 0) {
        if (bar && gLoop.barHot >= 0) chooseBar(gLoop.barHot, false);
        return;
      }
      choose(n - 1, gLoop.levels[n - 1].hot);
      return;
    default: return;
  }
}

bool isMouse(UINT msg) {
  return (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || (msg >= WM_NCMOUSEMOVE && msg <= WM_NCMBUTTONDBLCLK);
}

// Runs the loop until a choice, a dismissal, a lost capture (the user switching to another
// program takes it) or the end of all input.
void runLoop() {
  while (!gLoop.ended) {
    if (GetCapture() != gLoop.owner || !IsWindow(gLoop.owner)) break;
    MSG m;
    if (!PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
      if (!backendWait()) break;
      continue;
    }
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (isMouse(m.message)) {
      if (m.message != WM_MOUSEWHEEL) onMouse(m);
    } else if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) {
      const int vk = static_cast<int>(m.wParam);
      if (vk == VK_ESCAPE || vk == VK_MENU || vk == VK_F10 || vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT ||
          vk == VK_RIGHT || vk == VK_RETURN)
        onKey(vk);
      else
        TranslateMessage(m);
    } else if (m.message == WM_CHAR || m.message == WM_SYSCHAR) {
      onChar(static_cast<char>(m.wParam));
    } else if (m.message == WM_KEYUP || m.message == WM_SYSKEYUP || m.message == WM_DEADCHAR ||
               m.message == WM_SYSDEADCHAR) {
      // used up by the menu
    } else {
      DispatchMessage(m);
    }
  }
}

// Common start and end of every menu loop; returns the chosen identifier (0 none).
UINT track(HWND owner, bool barMode, HMENU bar, HMENU initMenu, bool system, bool popupLoop, UINT flags,
           const std::function<void()>& start) {
  if (gLoop.running || !IsWindow(owner)) return 0;
  gLoop = Loop{};
  gLoop.running = true;
  gLoop.owner = owner;
  gLoop.barMode = barMode;
  gLoop.bar = bar;
  gLoop.system = system;
  gLoop.popupLoop = popupLoop;
  gLoop.flags = flags;
  if (notify()) {
    sendMsg(owner, WM_ENTERMENULOOP, popupLoop ? TRUE : FALSE, 0);
    sendMsg(owner, WM_INITMENU, reinterpret_cast<WPARAM>(initMenu), 0);
  }
  SetCapture(owner);
  if (!gLoop.ended) start();
  if (!gLoop.ended) runLoop();
  closeLevelsFrom(0);
  gLoop.barHot = -1;
  redrawBar();
  if (GetCapture() == owner) ReleaseCapture();
  const bool chosen = gLoop.chosen;
  const UINT choice = gLoop.choice;
  gLoop.running = false;
  if (IsWindow(owner) && notify()) {
    sendMsg(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    sendMsg(owner, WM_EXITMENULOOP, popupLoop ? TRUE : FALSE, 0);
  }
  return chosen ? choice : 0;
}

void post(HWND owner, bool system, UINT id) {
  if (IsWindow(owner)) PostMessage(owner, system ? WM_SYSCOMMAND : WM_COMMAND, system ? id : MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

}  // namespace

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  if (!menuOf(menu) || !IsWindow(owner) || gLoop.running) return FALSE;
  const bool system = [&] {
    for (const auto& s : table().systemMenus)
      if (s.second == menu) return true;
    return false;
  }();
  const PopupLayout p = popupLayout(menu);
  if (flags & TPM_RIGHTALIGN) x -= p.size.cx;
  else if (flags & TPM_CENTERALIGN) x -= p.size.cx / 2;
  if (flags & TPM_BOTTOMALIGN) y -= p.size.cy;
  else if (flags & TPM_VCENTERALIGN) y -= p.size.cy / 2;
  const UINT id = track(owner, false, nullptr, menu, system, true, flags, [&] { openLevel(menu, x, y, 0, nullptr, false); });
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(id);
  if (id) post(owner, system, id);
  return TRUE;
}

BOOL EndMenu() {
  if (!gLoop.running) return FALSE;
  gLoop.ended = true;
  return TRUE;
}

//------------------------------------------------------------------------------
// [SECTION] Entry from the frame
//------------------------------------------------------------------------------
namespace {

void trackSystemMenu(HWND top, bool keyboard) {
  HMENU sys = GetSystemMenu(top, FALSE);
  if (!sys) return;
  updateSystemMenu(top, sys);
  NcLayout l;
  GetNcLayout(top, l);
  const RECT wr = windowRectScreen(top);
  const int x = wr.left + l.caption.left, y = wr.top + (IsRectEmpty(l.caption) ? l.client.top : l.caption.bottom);
  const UINT id = track(top, false, nullptr, sys, true, false, 0, [&] { openLevel(sys, x, y, 0, nullptr, keyboard); });
  if (id) post(top, true, id);
}

// SC_MOUSEMENU and SC_KEYMENU of the default processing.
void onMenuCommand(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  HWND top = topLevelOf(hwnd);
  if (!top || gLoop.running) return;
  const WPARAM cmd = wParam & 0xFFF0;
  HMENU bar = GetMenu(top);
  const DWORD style = static_cast<DWORD>(GetWindowLong(top, GWL_STYLE));
  if (cmd == SC_MOUSEMENU) {
    const LRESULT hit = static_cast<LRESULT>(wParam & 0x000F);
    if (hit == HTSYSMENU) {
      if (style & WS_SYSMENU) trackSystemMenu(top, false);
      return;
    }
    if (!bar) return;
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const UINT id = track(top, true, bar, bar, false, false, 0, [&] {
      const int i = hitBar(pt);
      if (i >= 0) selectBar(i, true, true, false);
      else gLoop.ended = true;
    });
    if (id) post(top, false, id);
    return;
  }
  if (cmd != SC_KEYMENU) return;
  const char c = static_cast<char>(lParam);
  if (c == ' ') {
    if (style & WS_SYSMENU) trackSystemMenu(top, true);
    return;
  }
  if (!bar || GetMenuItemCount(bar) <= 0) {
    if (c != 0) MessageBeep(0);
    return;
  }
  if (c != 0 && mnemonic(bar, c) < 0) {
    MessageBeep(0);
    return;
  }
  const UINT id = track(top, true, bar, bar, false, false, 0, [&] {
    if (c == 0) selectBar(firstSelectable(bar, -1, 1), false, false, false);
    else chooseBar(mnemonic(bar, c), false);
  });
  if (id) post(top, false, id);
}

void paintBar(HWND hwnd, cairo_t*, const RECT& strip) {
  HMENU menu = GetMenu(hwnd);
  Menu* m = menuOf(menu);
  if (!m) return;
  HDC dc = GetWindowDC(hwnd);
  if (!dc) return;
  IntersectClipRect(dc, strip.left, strip.top, strip.right, strip.bottom);
  solid(dc, strip, GetSysColor(COLOR_MENU));
  const std::vector<RECT> rects = barLayout(hwnd, menu);
  const bool tracking = gLoop.running && gLoop.barMode && gLoop.owner == hwnd;
  for (std::size_t i = 0; i < rects.size() && i < m->items.size(); ++i) {
    const Item& it = m->items[i];
    const bool hot = tracking && gLoop.barHot == static_cast<int>(i);
    if (hot) solid(dc, rects[i], GetSysColor(COLOR_HIGHLIGHT));
    itemText(dc, labelOf(it.text), rects[i], DT_CENTER | DT_VCENTER | DT_SINGLELINE, isInactive(it), hot);
  }
  ReleaseDC(hwnd, dc);
}

void installHooks() {
  SetMenuBarPainter(paintBar);
  SetMenuCommandHandler(onMenuCommand);
  SetMenuDestroyer([](HMENU menu) { DestroyMenu(menu); });
}

}  // namespace

}  // namespace win
