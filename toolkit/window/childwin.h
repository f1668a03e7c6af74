#pragma once
// Child windows 1-50 and split windows. A child is a top-level frame of its own (optionally
// owned by another window's frame, flag 0x100) or a captioned window inside another window's
// client area (flag 0x10, InsideParent). Closing a child closes everything inside it or
// owned by it. A window can be split into two panes, side by side or stacked, with a bar
// between them; each pane is a window with its own number.
//
// Window numbers are handed out lowest free first; a number is free when its record's
// wWindow is empty. Its hPrevious (window_state.h) is the frame to activate again when child
// n closes.
#include <array>
#include <optional>
#include <string_view>

// The arguments of WindowOpenChild after the window number, each optional.
struct WindowOpenChildOptions {
  std::optional<int> flags;       // window-open flags, default 7
  std::optional<int> x, y;        // top-level: screen pixels; InsideParent: window units; -999999 centred
  std::optional<int> width, height;   // top-level: client pixels; InsideParent: window units
  std::optional<int> menu;        // ignored for InsideParent children
  std::array<int, 4> toolbars{};  // top, left, right, bottom; 0 none
  int* dialog = nullptr;          // in/out: dialog to combine, negative code on failure
  std::optional<std::string_view> title;
  std::optional<int> parent;      // window holding an InsideParent child, or owning an owned one
  std::optional<int> background;  // colour value, -1 none
};

void windowopenchild2(int& window, const WindowOpenChildOptions& options = {});
inline void WindowOpenChild(int& window, const WindowOpenChildOptions& options = {}) {
  windowopenchild2(window, options);
}
void windowclosechild(int window);
inline void WindowCloseChild(int window) { windowclosechild(window); }

// Workers. Negative results come back in the window or dialog number argument.
void yyopenchild(int x, int y, int width, int height, int& window, int flags, int menu,
                 const std::array<int, 4>& toolbars, int& dialog, int parent, int background,
                 const char* title);
void yyclosechild(int& window, int& curdialog);
void yyCloseChild2(int window, int& curdialog);
void yyCloseChild3(int window, int& curdialog);
void yywindowsplit(std::array<int, 2>& panes, int splitflags, std::array<int, 2> paneflags, int extent,
                   const std::array<int, 2>& menus, const std::array<std::array<int, 4>, 2>& toolbars,
                   std::array<int, 2>& dialogs, const std::array<int, 2>& backgrounds, const char* title1,
                   const char* title2);
int yygetnextfree();
void yywindowcheckinside(int& parent);
void yyclosemcidevice(int window);
