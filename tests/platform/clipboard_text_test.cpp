// Clipboard text between the store (Windows-1252, CR LF) and the desktop (UTF-8, LF).
#include <gtest/gtest.h>

#include <string>

#include "platform/clipboard_text.h"

using namespace win::clipboard;

namespace {

struct FromDesktop {
  const char* what;
  std::string utf8;
  std::string store;
};

TEST(ClipboardText, DesktopTextBecomesStoreLines) {
  const FromDesktop cases[] = {
      {"LF lines from an editor", "a\nb\n", "a\r\nb\r\n"},
      {"CR LF kept as one line end", "a\r\nb", "a\r\nb"},
      {"lone CR", "a\rb", "a\r\nb"},
      {"blank lines survive", "a\n\nb", "a\r\n\r\nb"},
      {"e acute and en dash", "caf\xC3\xA9 \xE2\x80\x93 x", "caf\xE9 \x96 x"},
      {"euro and curly quotes", "\xE2\x82\xAC\xE2\x80\x9Cq\xE2\x80\x9D", "\x80\x93q\x94"},
      {"no byte for a CJK character", "a\xE4\xB8\xAD" "b", "a?b"},
      {"four-byte character", "\xF0\x9F\x98\x80", "?"},
      {"stray continuation byte", "a\x80" "b", "a?b"},
      {"sequence cut at the end", "a\xC3", "a?"},
      {"overlong form", "\xC0\xAF", "??"},
      {"surrogate half", "\xED\xA0\x80", "???"},
  };
  for (const auto& c : cases) EXPECT_EQ(storeTextFromDesktop(c.utf8), c.store) << c.what;
}

TEST(ClipboardText, StoreTextBecomesDesktopLines) {
  EXPECT_EQ(desktopTextFromStore("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(desktopTextFromStore("a\rb"), "a\nb");
  EXPECT_EQ(desktopTextFromStore("caf\xE9 \x96"), "caf\xC3\xA9 \xE2\x80\x93");
  EXPECT_EQ(desktopTextFromStore(std::string("ab\0cd", 5)), "ab");   // the block ends at its NUL
}

TEST(ClipboardText, EveryByteComesBackUnchanged) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    if (b != '\r' && b != '\n') all += char(b);
  EXPECT_EQ(storeTextFromDesktop(desktopTextFromStore(all)), all);
}

}  // namespace
