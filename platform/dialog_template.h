#pragma once
// platform/dialog_template.h: internal to the layer's own common dialogs: an in-memory dialog
// template (DLGTEMPLATE with its items, in dialog units) built item by item.
#include <vector>

#include "platform/dialog.h"

namespace win::dlg {

struct TemplateBuilder {
  std::vector<WORD> t;
  std::size_t countAt = 0;
  int count = 0;

  void dword(DWORD v) {
    t.push_back(static_cast<WORD>(v & 0xFFFF));
    t.push_back(static_cast<WORD>(v >> 16));
  }
  void text(const char* s) {
    for (; *s; ++s) t.push_back(static_cast<WORD>(static_cast<unsigned char>(*s)));
    t.push_back(0);
  }
  // The dialog's header: style (DS_SETFONT added), place and size, caption, font.
  void header(DWORD style, short x, short y, short cx, short cy, const char* caption, WORD points = 8,
              const char* face = "MS Sans Serif") {
    dword(style | DS_SETFONT);
    dword(0);
    countAt = t.size();
    t.push_back(0);
    for (short v : {x, y, cx, cy}) t.push_back(static_cast<WORD>(v));
    t.push_back(0);
    t.push_back(0);
    text(caption);
    t.push_back(points);
    text(face);
  }
  // An item of a predefined class (its atom: 0x80 button, 0x81 edit, 0x82 static, 0x83 list
  // box, 0x84 scroll bar, 0x85 combo box).
  void item(WORD atom, const char* s, DWORD style, short x, short y, short cx, short cy, int id) {
    if (t.size() % 2) t.push_back(0);   // DWORD alignment
    dword(style | WS_CHILD | WS_VISIBLE);
    dword(0);
    for (short v : {x, y, cx, cy}) t.push_back(static_cast<WORD>(v));
    t.push_back(static_cast<WORD>(id));
    t.push_back(0xFFFF);
    t.push_back(atom);
    text(s);
    t.push_back(0);
    ++count;
    if (countAt < t.size()) t[countAt] = static_cast<WORD>(count);
  }
  LPCDLGTEMPLATE get() const { return reinterpret_cast<LPCDLGTEMPLATE>(t.data()); }
};

inline constexpr WORD kAtomButton = 0x80, kAtomEdit = 0x81, kAtomStatic = 0x82, kAtomListBox = 0x83,
                      kAtomComboBox = 0x85;

}  // namespace win::dlg
