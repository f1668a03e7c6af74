#pragma once
// platform/menu.h: menus of the platform layer: menu bars and pop-up menus built in code or
// loaded from MENU resources, item information with identifiers and data, enabling, greying
// and checking, the menu loop (mouse and keyboard) with its messages, system menus, and
// keyboard accelerators. Texts are 8-bit (Windows-1252), NUL-terminated.
//
// The menu loop is modal: while it runs it takes the mouse (capture on the owner) and the
// keyboard, sends the owner WM_ENTERMENULOOP, WM_INITMENU, WM_INITMENUPOPUP, WM_MENUSELECT
// and WM_EXITMENULOOP, and posts WM_COMMAND (WM_SYSCOMMAND for a system-menu item) with the
// chosen identifier after it has ended. Greyed and disabled items cannot be chosen.
#include "platform/win.h"

namespace win {

//------------------------------------------------------------------------------
// Item flags (AppendMenu, InsertMenu, ModifyMenu, MENU resources, WM_MENUSELECT)
//------------------------------------------------------------------------------
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_BITMAP = 0x0004;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_MENUBARBREAK = 0x0020;
inline constexpr UINT MF_MENUBREAK = 0x0040;
inline constexpr UINT MF_END = 0x0080;         // last item of a level in a MENU resource
inline constexpr UINT MF_HILITE = 0x0080;
inline constexpr UINT MF_OWNERDRAW = 0x0100;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_SYSMENU = 0x2000;
inline constexpr UINT MF_HELP = 0x4000;
inline constexpr UINT MF_MOUSESELECT = 0x8000;

// MENUITEMINFO masks, types and states.
inline constexpr UINT MIIM_STATE = 0x0001;
inline constexpr UINT MIIM_ID = 0x0002;
inline constexpr UINT MIIM_SUBMENU = 0x0004;
inline constexpr UINT MIIM_CHECKMARKS = 0x0008;
inline constexpr UINT MIIM_TYPE = 0x0010;
inline constexpr UINT MIIM_DATA = 0x0020;
inline constexpr UINT MIIM_STRING = 0x0040;
inline constexpr UINT MIIM_BITMAP = 0x0080;
inline constexpr UINT MIIM_FTYPE = 0x0100;
inline constexpr UINT MFT_STRING = 0x0000;
inline constexpr UINT MFT_MENUBARBREAK = 0x0020;
inline constexpr UINT MFT_MENUBREAK = 0x0040;
inline constexpr UINT MFT_RADIOCHECK = 0x0200;
inline constexpr UINT MFT_SEPARATOR = 0x0800;
inline constexpr UINT MFT_RIGHTJUSTIFY = 0x4000;
inline constexpr UINT MFS_ENABLED = 0x0000;
inline constexpr UINT MFS_UNCHECKED = 0x0000;
inline constexpr UINT MFS_GRAYED = 0x0003;
inline constexpr UINT MFS_DISABLED = 0x0003;
inline constexpr UINT MFS_CHECKED = 0x0008;
inline constexpr UINT MFS_HILITE = 0x0080;
inline constexpr UINT MFS_DEFAULT = 0x1000;

struct MENUITEMINFO {
  UINT cbSize = sizeof(MENUITEMINFO);
  UINT fMask = 0;
  UINT fType = 0;
  UINT fState = 0;
  UINT wID = 0;
  HMENU hSubMenu = nullptr;
  HBITMAP hbmpChecked = nullptr;
  HBITMAP hbmpUnchecked = nullptr;
  ULONG_PTR dwItemData = 0;
  LPSTR dwTypeData = nullptr;   // text in (set) or buffer out (get)
  UINT cch = 0;                 // get: buffer size in, text length out
  HBITMAP hbmpItem = nullptr;
};

// TrackPopupMenu flags.
inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;

// The window class of pop-up menus.
inline constexpr const char* POPUPMENU_CLASS = "#32768";

//------------------------------------------------------------------------------
// Menus and items
//------------------------------------------------------------------------------
HMENU CreateMenu();         // an empty menu bar
HMENU CreatePopupMenu();    // an empty pop-up menu
BOOL DestroyMenu(HMENU menu);   // with its pop-ups
BOOL IsMenu(HMENU menu);
// A menu from the program's MENU resource (module ignored), or from a MENU template in memory;
// null when absent or malformed.
HMENU LoadMenu(HINSTANCE instance, LPCSTR name);
HMENU LoadMenuIndirect(const void* menuTemplate);

int GetMenuItemCount(HMENU menu);                 // -1 for no menu
UINT GetMenuItemID(HMENU menu, int position);     // 0xFFFFFFFF for a pop-up item or none
HMENU GetSubMenu(HMENU menu, int position);
// The item's flags (MF_), for a pop-up item its item count in the high byte; 0xFFFFFFFF when
// there is no such item.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuString(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO& info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO& info);
BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO& info);
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCSTR text);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);   // destroys a pop-up it held
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);   // keeps it
// Previous state (MF_ENABLED, MF_GRAYED or MF_DISABLED; MF_CHECKED or MF_UNCHECKED), or -1
// (0xFFFFFFFF) when there is no such item. By command, the pop-ups are searched too.
UINT EnableMenuItem(HMENU menu, UINT item, UINT enable);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);

// The window's system menu, made on first use; revert TRUE puts back the standard one.
HMENU GetSystemMenu(HWND hwnd, BOOL revert);

// Runs the menu loop on a pop-up menu at screen position (x, y). With TPM_RETURNCMD the
// chosen identifier is returned (0 for none) and nothing is posted; otherwise TRUE once the
// loop has run (WM_COMMAND posted to owner on a choice), FALSE when it could not start.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
// Ends a running menu loop without a choice.
BOOL EndMenu();

//------------------------------------------------------------------------------
// Keyboard accelerators
//------------------------------------------------------------------------------
// When msg is a key-down (or character) matching an entry of the table, sends hwnd
// WM_COMMAND with MAKEWPARAM(command, 1) and returns non-zero. A command that is an item of
// hwnd's menu is not sent when the item is greyed or disabled (the key is still used up).
int TranslateAccelerator(HWND hwnd, HACCEL table, const MSG& msg);

}  // namespace win
