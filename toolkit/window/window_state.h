#pragma once
// The window layer's region of tessar: one record per window number 0-50.
//
// Started empty (all 0) at load and again by yyshutdown; filled for window 0 by
// yycreaterootwindow, for windows 1-50 by the child-window routines.
// Written by: the root and child window routines (wWindow, hClient, wMessLine, hMenuRoot,
//   hAccel, hVXKMenuString, hWindowColour, hPrevious, wChildRect); the menu and toolbar
//   routines (hMenuRoot, hVXKMenuString, hToolbar, iToolSize, nMenuString, pTooltip); the
//   status bar routines (partlist, uStatusBorder); the cursor routines (hCursorWin,
//   iCursorWin); the window procedures (wChildRect).
// Read by: the window procedures, the event loop and every routine that acts on a window.
#include <array>
#include <string>
#include <vector>

#include "platform/win.h"

inline constexpr int MAXWINDOWS = 51;   // windows 0-50

// Toolbar tooltip texts of a window: the command identifier and its text.
struct TooltipEntry {
  int id = 0;
  std::string text;
};

struct WindowSlot {
  win::HWND wWindow = nullptr;          // frame, nullptr = number free
  win::HWND hClient = nullptr;          // client area
  win::HMENU hMenuRoot = nullptr;
  win::HACCEL hAccel = nullptr;
  win::HRSRC hVXKMenuString = nullptr;
  // Toolbars at positions 0 top, 1 left, 2 right, 3 bottom; the size is the width of a left
  // or right toolbar.
  std::array<win::HWND, 4> hToolbar{};
  std::array<int, 4> iToolSize{};
  win::HWND wMessLine = nullptr;        // status bar
  // Status-bar parts 1-255 (index 0 unused): width in pixels (-1 takes the remaining room)
  // and border style (0 sunken, 0x100 none, 0x200 raised).
  std::array<int, 256> partlist{};
  std::array<int, 256> uStatusBorder{};
  win::HWND hPrevious = nullptr;        // frame to activate again when this child closes
  win::RECT wChildRect{};               // left -999: no placement saved
  win::HBRUSH hWindowColour = nullptr;  // background brush
  // Snapshot of the client area shown while modal work covers it, and how many modal
  // frames hold it.
  win::HBITMAP hImage = nullptr;
  int nImage = 0;
  win::HCURSOR hCursorWin = nullptr;
  int iCursorWin = 0;
  int nMenuString = 0;                  // prompts stored in the menu's items
  std::vector<TooltipEntry> pTooltip;
};

using WindowRegion = std::array<WindowSlot, MAXWINDOWS>;
