// The GTK backend's keys and characters: GDK key values as the window layer's virtual keys,
// and desktop text (Unicode, UTF-8) as the Windows-1252 text the toolkit holds.
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/gtk_keys.h"
#include "platform/win.h"
#include "platform/window_internal.h"

using namespace win;

namespace {

struct KeyCase {
  const char* why;
  unsigned keyval;
  int vk;
  bool extended;
};

constexpr KeyCase kKeys[] = {
    {"lower-case letters are their key", GDK_KEY_q, 'Q', false},
    {"upper-case letters the same key", GDK_KEY_Q, 'Q', false},
    {"digits of the main block", GDK_KEY_7, '7', false},
    {"keypad digits with Num Lock on", GDK_KEY_KP_7, VK_NUMPAD0 + 7, false},
    {"keypad Home with Num Lock off is Home, not extended", GDK_KEY_KP_Home, VK_HOME, false},
    {"grey Home is extended", GDK_KEY_Home, VK_HOME, true},
    {"grey Delete is extended", GDK_KEY_Delete, VK_DELETE, true},
    {"keypad Enter is Enter, extended", GDK_KEY_KP_Enter, VK_RETURN, true},
    {"main Enter is not extended", GDK_KEY_Return, VK_RETURN, false},
    {"Shift+Tab's own key value is still Tab", GDK_KEY_ISO_Left_Tab, VK_TAB, false},
    {"both Shift keys are VK_SHIFT", GDK_KEY_Shift_R, VK_SHIFT, false},
    {"right Ctrl is extended", GDK_KEY_Control_R, VK_CONTROL, true},
    {"left Alt is the menu key", GDK_KEY_Alt_L, VK_MENU, false},
    {"F10 opens menus", GDK_KEY_F10, VK_F10, false},
    {"F24 is the last function key", GDK_KEY_F24, VK_F24, false},
    {"shifted punctuation names its key", GDK_KEY_colon, VK_OEM_1, false},
    {"quote key", GDK_KEY_apostrophe, VK_OEM_7, false},
    {"the context-menu key", GDK_KEY_Menu, VK_APPS, true},
    {"a key the window layer does not know", GDK_KEY_eacute, 0, false},
};

}  // namespace

TEST(VkOfKeyval, MapsDesktopKeysToVirtualKeys) {
  for (const KeyCase& c : kKeys) {
    SCOPED_TRACE(c.why);
    bool extended = !c.extended;
    EXPECT_EQ(gtk::vkOfKeyval(c.keyval, extended), c.vk);
    EXPECT_EQ(extended, c.extended);
  }
}

TEST(IsKeypadKeyval, TellsTheKeypadFromTheMainBlock) {
  EXPECT_TRUE(gtk::isKeypadKeyval(GDK_KEY_KP_0));
  EXPECT_TRUE(gtk::isKeypadKeyval(GDK_KEY_KP_Insert));
  EXPECT_TRUE(gtk::isKeypadKeyval(GDK_KEY_KP_Enter));
  EXPECT_FALSE(gtk::isKeypadKeyval(GDK_KEY_0));
  EXPECT_FALSE(gtk::isKeypadKeyval(GDK_KEY_Insert));
}

TEST(Cp1252OfUnicode, KeepsWhatTheCodePageHolds) {
  struct Case { const char* why; char32_t u; int want; };
  constexpr Case cases[] = {
      {"ASCII as it is", U'a', 'a'},
      {"Latin-1 letters keep their number", U'\u00E9', 0xE9},
      {"no-break space", U'\u00A0', 0xA0},
      {"euro sign lives at 0x80", U'\u20AC', 0x80},
      {"en dash at 0x96", U'\u2013', 0x96},
      {"y with diaeresis at 0x9F", U'\u0178', 0x9F},
      {"a C1 control is not a Windows-1252 character", U'\u0081', 0},
      {"Greek has no place", U'\u03B1', 0},
      {"nor does an emoji", U'\U0001F600', 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(gtk::cp1252OfUnicode(c.u), c.want);
  }
}

TEST(Cp1252OfUtf8, ConvertsDesktopText) {
  struct Case { const char* why; std::string utf8; std::string want; };
  const Case cases[] = {
      {"plain text", "Flow", "Flow"},
      {"accents and the euro", "D\xC3\xA9\x62it \xE2\x82\xAC", "D\xE9\x62it \x80"},
      {"what the code page cannot hold becomes '?'", "\xCE\xB1=1", "?=1"},
      {"a four-byte character is one '?'", "a\xF0\x9F\x98\x80" "b", "a?b"},
      {"a cut sequence keeps its bytes rather than losing them", "x\xC3", "x\xC3"},
      {"a stray continuation byte stays", "\x80y", "\x80y"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(gtk::cp1252OfUtf8(c.utf8), c.want);
  }
}

// Titles go out through the window layer's conversion; every character that has a place in
// Windows-1252 must come back as itself.
TEST(Cp1252OfUtf8, ReadsBackEveryDefinedCharacterOfTitles) {
  std::string all;
  for (int c = 1; c < 256; ++c)
    if (c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D) all += static_cast<char>(c);
  EXPECT_EQ(gtk::cp1252OfUtf8(utf8FromCp1252(all)), all);
}
