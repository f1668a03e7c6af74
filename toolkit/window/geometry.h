#pragma once
// Window geometry: the current window and its selection, clearing and scrolling the client
// area, size, position, state, title and icon, raising, and the window and screen queries.
// The unit conversions themselves are in units.h.
//
// Every routine acts on the current window: CURWINDOW with CURWIDTH x CURHEIGHT (tessar)
// on the toolkit side, wIndex with its client device context wDC on the window-layer side.
// Both change only through windowselect / yywinsel and the window opening and closing
// routines.
#include <optional>

#include "platform/win.h"

// Window states answered by the state queries and taken by yywindowsizepos.
enum WindowShowState { WSTATE_MINIMISED = 0, WSTATE_NORMAL = 1, WSTATE_MAXIMISED = 2, WSTATE_HIDDEN = 3 };

// Selection.
void windowselect(int window);
void yywinsel(int window, int reselect);
void yywindowselect(int& width, int& height, int& window);

// Client area. Pixels, corners included; the colour is a colour value, -1 the window text
// background colour.
void windowclear(std::optional<int> x1 = std::nullopt, std::optional<int> y1 = std::nullopt,
                 std::optional<int> x2 = std::nullopt, std::optional<int> y2 = std::nullopt,
                 std::optional<int> colour = std::nullopt);
void yycleararea(int x1, int y1, int x2, int y2, int colour);
void yyscrollarea(int dx, int dy, int colour);

// Queries.
int winfowindow(int item);
int winfoscreen(int item);
void yyedittest(int& type);
void yywindowtest(int window, int& result);
void yygetdialogtype(int& kind);
void yygetwindowpos(int mode, int& first, int& second, int& inside, int& parent);
void yygetclientpos(int& x, int& y);
void yygetminmaxstate(int& state);
void yygetrestwinsize(int& width, int& height, int& x, int& y, int& inside, int& parent);
void yygetwincolours(int item, int& colour);
void yygetmousebuttons(int& count);

// Appearance and placement. -999999 keeps a position or size, state -1 the present state.
void yywindowsizepos(int x, int y, int& width, int& height, int state);
void yywindowtitle(int& icon, int titleflag, const char* title);
void yywindowraise();
// Turns the current special window back into an ordinary one. Result 1: the current window
// number has no window; 2: the window is not special; 0: turned back; -1: an editor,
// bitmap-viewer or grid window, which its own layer turns back.
void yywindowrevert(int& curdialog, int flags, int& result);

// The dialog layer names the window of a loaded dialog (nullptr when it has none), so the
// dialog queries see the current dialog. Installed when it starts.
inline win::HWND (*dialogwindowof)(int dialog) = nullptr;
