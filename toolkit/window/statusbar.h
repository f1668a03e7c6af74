#pragma once
// Status bar, window text, cursor, bell and display: the small services of the window layer
// that act on the current window (status bar parts and their texts, text drawn in the client
// area with the window text font), the cursor of all windows or of one drawing target, the
// bell, and a few routines on NUL-terminated and fixed-length text.
//
// Cursor and bell state: started by the program (arrow, bell on after start-up); written by
// WCursorShape, windowbell; read by the client-area window procedure.
#include <string>
#include <string_view>

#include "platform/win.h"

inline int iCursor = 0;                   // shape of all windows
inline win::HCURSOR wCursor = nullptr;    // cursor of all windows, nullptr = the class cursor
inline int iRing = 1;                     // 1: the bell sounds
inline win::HFONT hWindowFont = nullptr;  // the window text font

// Status bar (current window; nothing without a status bar).
void windowoutstatusbar(int part, std::string_view text);
void yysetstatustext(int part, const char* text);
void yysetstatuspart(int part, int width, int border);
void yysetstatusbar(int parts);
void yySetStatusBar2(int window, int parts);

// Window text.
void yystringout(int& x, int& y, const char* text, int length);
void yystringlen(int& width, const char* text, int length);
void yysetfontcolour(int foreground, int background);
void yysetfontcolourrgb(int index, int red, int green, int blue);
void yysetfontunderline(int flag);
void yycreatefont(int kind, int bold, int italic, int& width, int& height);
void yyfntcol(int foreground, int background);
void yyfntsiz();
void yyfntcre();
void windowfontsize(int width, int height);

// Cursor.
void WCursorShape(int shape, int mode = 0);
void yychangecursor(int shape, int mode, int targettype, int targetnumber);
void yysetcursorpos(int x, int y, int mode);
void yygetmousecursor(int& shape, int mode, int number);
win::HCURSOR yyloadcursor(int shape);   // system cursor 0-11, else the program's resource

// Bell.
void windowbell(std::string_view text);
void yysetbell(int flag);
void yyringbell();
void yyringbell2();

// Display and locale.
void yygetdisplayinfo(int& width, int& height, int& colours, int& paletteclass, int& deviceclass);
void yygradfilltype(int& type);
void yygrselectnone();
void yygetdecimal(char& character);
void yydecimal(const char* flag);
inline char wDecimal = '.';
inline int bDecimal = 0;

// Text helpers.
int yystrlen(const char* text);
int yysubstrlen(const char* text);
void yystrctof(const char* text, std::string& field, int length);
int yyAsciiToInt(const char* text);
