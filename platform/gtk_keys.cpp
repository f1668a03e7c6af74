// platform/gtk_keys.cpp: GDK key values as virtual-key codes, and Unicode as Windows-1252.
#include "platform/gtk_keys.h"

#include <gdk/gdkkeysyms.h>

#include <algorithm>

#include "platform/codepage.h"
#include "platform/win.h"

namespace win::gtk {

int vkOfKeyval(unsigned keyval, bool& extended) {
  extended = false;
  if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return static_cast<int>(keyval - GDK_KEY_a) + 'A';
  if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return static_cast<int>(keyval - GDK_KEY_A) + 'A';
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return static_cast<int>(keyval - GDK_KEY_0) + '0';
  if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return static_cast<int>(keyval - GDK_KEY_KP_0) + VK_NUMPAD0;
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24) return static_cast<int>(keyval - GDK_KEY_F1) + VK_F1;
  struct Entry { unsigned keyval; int vk; bool extended; };
  static constexpr Entry table[] = {
      {GDK_KEY_BackSpace, VK_BACK, false},   {GDK_KEY_Tab, VK_TAB, false},
      {GDK_KEY_ISO_Left_Tab, VK_TAB, false}, {GDK_KEY_Return, VK_RETURN, false},
      {GDK_KEY_KP_Enter, VK_RETURN, true},   {GDK_KEY_Escape, VK_ESCAPE, false},
      {GDK_KEY_space, VK_SPACE, false},      {GDK_KEY_Pause, VK_PAUSE, false},
      {GDK_KEY_Caps_Lock, VK_CAPITAL, false}, {GDK_KEY_Num_Lock, VK_NUMLOCK, true},
      {GDK_KEY_Scroll_Lock, VK_SCROLL, false}, {GDK_KEY_Print, VK_SNAPSHOT, true},
      {GDK_KEY_Shift_L, VK_SHIFT, false},    {GDK_KEY_Shift_R, VK_SHIFT, false},
      {GDK_KEY_Control_L, VK_CONTROL, false}, {GDK_KEY_Control_R, VK_CONTROL, true},
      {GDK_KEY_Alt_L, VK_MENU, false},       {GDK_KEY_Alt_R, VK_MENU, true},
      {GDK_KEY_Meta_L, VK_MENU, false},      {GDK_KEY_Meta_R, VK_MENU, true},
      {GDK_KEY_Super_L, VK_LWIN, true},      {GDK_KEY_Super_R, VK_RWIN, true},
      {GDK_KEY_Menu, VK_APPS, true},
      // The grey navigation block.
      {GDK_KEY_Insert, VK_INSERT, true},     {GDK_KEY_Delete, VK_DELETE, true},
      {GDK_KEY_Home, VK_HOME, true},         {GDK_KEY_End, VK_END, true},
      {GDK_KEY_Page_Up, VK_PRIOR, true},     {GDK_KEY_Page_Down, VK_NEXT, true},
      {GDK_KEY_Left, VK_LEFT, true},         {GDK_KEY_Right, VK_RIGHT, true},
      {GDK_KEY_Up, VK_UP, true},             {GDK_KEY_Down, VK_DOWN, true},
      // The keypad with Num Lock off: the same keys, not extended.
      {GDK_KEY_KP_Insert, VK_INSERT, false}, {GDK_KEY_KP_Delete, VK_DELETE, false},
      {GDK_KEY_KP_Home, VK_HOME, false},     {GDK_KEY_KP_End, VK_END, false},
      {GDK_KEY_KP_Page_Up, VK_PRIOR, false}, {GDK_KEY_KP_Page_Down, VK_NEXT, false},
      {GDK_KEY_KP_Left, VK_LEFT, false},     {GDK_KEY_KP_Right, VK_RIGHT, false},
      {GDK_KEY_KP_Up, VK_UP, false},         {GDK_KEY_KP_Down, VK_DOWN, false},
      {GDK_KEY_KP_Begin, VK_CLEAR, false},
      {GDK_KEY_KP_Multiply, VK_MULTIPLY, false}, {GDK_KEY_KP_Add, VK_ADD, false},
      {GDK_KEY_KP_Separator, VK_SEPARATOR, false}, {GDK_KEY_KP_Subtract, VK_SUBTRACT, false},
      {GDK_KEY_KP_Decimal, VK_DECIMAL, false}, {GDK_KEY_KP_Divide, VK_DIVIDE, true},
      // Punctuation of the US layout's keys, shifted or not.
      {GDK_KEY_semicolon, VK_OEM_1, false},  {GDK_KEY_colon, VK_OEM_1, false},
      {GDK_KEY_equal, VK_OEM_PLUS, false},   {GDK_KEY_plus, VK_OEM_PLUS, false},
      {GDK_KEY_comma, VK_OEM_COMMA, false},  {GDK_KEY_less, VK_OEM_COMMA, false},
      {GDK_KEY_minus, VK_OEM_MINUS, false},  {GDK_KEY_underscore, VK_OEM_MINUS, false},
      {GDK_KEY_period, VK_OEM_PERIOD, false}, {GDK_KEY_greater, VK_OEM_PERIOD, false},
      {GDK_KEY_slash, VK_OEM_2, false},      {GDK_KEY_question, VK_OEM_2, false},
      {GDK_KEY_grave, VK_OEM_3, false},      {GDK_KEY_asciitilde, VK_OEM_3, false},
      {GDK_KEY_bracketleft, VK_OEM_4, false}, {GDK_KEY_braceleft, VK_OEM_4, false},
      {GDK_KEY_backslash, VK_OEM_5, false},  {GDK_KEY_bar, VK_OEM_5, false},
      {GDK_KEY_bracketright, VK_OEM_6, false}, {GDK_KEY_braceright, VK_OEM_6, false},
      {GDK_KEY_apostrophe, VK_OEM_7, false}, {GDK_KEY_quotedbl, VK_OEM_7, false},
  };
  for (const Entry& e : table)
    if (e.keyval == keyval) {
      extended = e.extended;
      return e.vk;
    }
  return 0;
}

bool isKeypadKeyval(unsigned keyval) { return keyval >= GDK_KEY_KP_Space && keyval <= GDK_KEY_KP_9; }

int cp1252OfUnicode(char32_t u) { return std::max(win::cp1252OfTextCharacter(u), 0); }

std::string cp1252OfUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t u = 0;
    const std::size_t n = win::decodeUtf8(utf8, i, u);
    if (n == 0) {
      out += utf8[i++];   // not UTF-8: the byte as it is
      continue;
    }
    const int c = cp1252OfUnicode(u);
    out += c ? static_cast<char>(c) : (u == 0 ? '\0' : '?');
    i += n;
  }
  return out;
}

}  // namespace win::gtk
