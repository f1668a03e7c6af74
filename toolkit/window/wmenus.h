#pragma once
// Menus, toolbars and menu prompts of toolkit windows. A window's menu bar comes from a MENU
// resource N, whose pop-ups take command identifiers from RCDATA N (records of an identifier,
// a 1-based position path and a closing 0; the list ends with identifier 0); its status-bar
// prompts from the "VXKMENUSTRING" resource N (16-bit identifier, NUL-terminated text, ...,
// 0). A toolbar T comes from BITMAP T (the button images side by side) and RCDATA T (image
// width, image height, one command per button with 0 for a separator, two closing zeros).
// A button's tooltip is the window's tooltip list entry for its command, else the string
// table entry of that number.
//
// The per-window menu and toolbar tables are in window.h. hFloatPrompt lives only while a
// floating menu is tracked.
#include <array>
#include <optional>

#include "platform/win.h"

// Public routines.
void WMenu(int ID, std::optional<int> WIN = std::nullopt);
void wmenuroot(int ID);
void WMenuToolbar(int ID, std::optional<int> WIN = std::nullopt, std::optional<int> POS = std::nullopt);
void WMenuSetState(int ITEM, int OPTION, int VALUE);

// Loading and replacing.
void yymenuchange(int& ID, int WIN);
win::HMENU yymnload(int ID);
void yymenuloadrc(win::HMENU menu, int ID);
void yymnconv(win::HMENU menu);
void yymnmtch(win::HMENU menu, win::HMENU source);
void yymnflot(int& ID, int X, int Y, int CLIENT);
void yymntbar(int& ID, int WIN, int POS, int& width, int& height);
// Builds the toolbars (top, left, right, bottom; 0 none) of a window being opened and
// answers the room they need: the widths of side toolbars, the heights of the others.
void yyopentoolbars(int WIN, const std::array<int, 4>& toolbars, int& width, int& height);
win::LRESULT yySubToolbar(win::HWND hwnd, win::UINT msg, win::WPARAM wParam, win::LPARAM lParam);
void yyRestackToolbars(int WIN);
inline win::WNDPROC lpNormalToolbarProc = nullptr;

// Item operations on the menu window (the current window when it has a menu or a toolbar,
// else the root window). Texts are NUL-terminated.
void yymntext(int& ID, const char* text);
void yymnchck(int ID, int& VALUE);
void yymngrey(int ID, int& VALUE);
void yymngflg(int ID, int OPTION, int& VALUE);
void yytooltip(int& ID, const char* text, int length);
void yymenuprompt(int& ID, const char* text);
void yymndel(int& ID);
void yymnins(int& ID, int OFFSET, int NEWID, const char* text);

// Lookups.
int yymngetpos(win::HMENU menu, int ID, win::HMENU& submenu);
void yyredrawmenu(int ID, int WIN);
int yyHasMenu(int WIN);
int yyGetMainMenuWindow(int WIN);
void yyClearMenuPrompt(win::HMENU menu, int WIN);
