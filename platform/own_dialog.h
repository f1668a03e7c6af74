#pragma once
// Internal to the layer's own common dialogs (file, page set-up, colour, folder): an empty
// modal dialog template, whose controls the dialog creates at its initialisation, placed in
// pixels and centred on the screen.
#include <algorithm>
#include <vector>

#include "platform/dialog_internal.h"

namespace win::owndialog {

struct Item {
  int id;
  const char* cls;
  const char* text;
  DWORD style;
  int x, y, w, h;
};

// A captioned modal dialog template without controls, in the dialogs' usual font.
inline std::vector<WORD> emptyTemplate() {
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_NOIDLEMSG;
  const DWORD ex = WS_EX_DLGMODALFRAME;
  std::vector<WORD> t = {static_cast<WORD>(style & 0xFFFF), static_cast<WORD>(style >> 16),
                         static_cast<WORD>(ex & 0xFFFF), static_cast<WORD>(ex >> 16), 0, 0, 0, 280, 200, 0, 0, 0, 8};
  for (const char* f = "MS Sans Serif"; *f; ++f) t.push_back(static_cast<WORD>(*f));
  t.push_back(0);
  return t;
}

// Creates the controls (visible children in the dialog's font) and sizes the dialog to a
// client area of width x height, centred on the screen.
template <std::size_t N>
void build(HWND dialog, const Item (&items)[N], int width, int height) {
  HFONT font = reinterpret_cast<HFONT>(SendMessage(dialog, WM_GETFONT, 0, 0));
  for (const Item& it : items) {
    HWND c = CreateWindowEx(WS_EX_NOPARENTNOTIFY, it.cls, it.text, WS_CHILD | WS_VISIBLE | it.style, it.x, it.y, it.w, it.h,
                            dialog, reinterpret_cast<HMENU>(static_cast<LONG_PTR>(it.id)), nullptr, nullptr);
    if (c != nullptr && font != nullptr) SendMessage(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(frame, static_cast<DWORD>(GetWindowLong(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLong(dialog, GWL_EXSTYLE)));
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  SetWindowPos(dialog, nullptr, std::max(0, (sw - w) / 2), std::max(0, (sh - h) / 2), w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Runs the dialog modal over owner with proc and its data.
inline INT_PTR run(HWND owner, DLGPROC proc, void* data) {
  RegisterDialogClasses();
  const std::vector<WORD> t = emptyTemplate();
  return DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(t.data()), owner, proc,
                                reinterpret_cast<LPARAM>(data));
}

}  // namespace win::owndialog
