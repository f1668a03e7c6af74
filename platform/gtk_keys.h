#pragma once
// Internal to the GTK backend: the keys and characters of the desktop in the window layer's
// terms. Pure functions over GDK key values and Unicode, so that they are tested without a
// display.
#include <string>
#include <string_view>

namespace win::gtk {

// The virtual-key code of a GDK key value, 0 for a key the window layer does not know.
// extended is set for the grey navigation keys, the right-hand Ctrl and Alt, keypad Enter
// and keypad divide, as the keyboard reports them.
int vkOfKeyval(unsigned keyval, bool& extended);

// The key of a character that the layout has but the window layer names no key for (the
// packet key): its key messages carry the code and TranslateMessage gives the character.
inline constexpr int kVkPacket = 0xE7;

// True for the key values of the numeric keypad, whose own value names the key better than
// the unshifted value of their key code (which depends on Num Lock).
bool isKeypadKeyval(unsigned keyval);

// The Windows-1252 character of a Unicode character: 0 when it has none.
int cp1252OfUnicode(char32_t u);

// UTF-8 text in Windows-1252; characters it cannot hold become '?', and bytes that are not
// UTF-8 are taken one by one as Windows-1252.
std::string cp1252OfUtf8(std::string_view utf8);

}  // namespace win::gtk
