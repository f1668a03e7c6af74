// String utilities on fixed-length text.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/text/strings.h"

namespace {

TEST(ILowercase, OnlyAsciiLettersChange) {
  std::string text = "AbZ 1@[`\xC4";
  ilowercase(text);
  EXPECT_EQ(text, "abz 1@[`\xC4");
  iuppercase(text);
  EXPECT_EQ(text, "ABZ 1@[`\xC4");
}

TEST(ILocateString, FirstWordPositions) {
  const struct {
    const char* why;
    std::string text;
    int first, last;
  } cases[] = {
      {"two blanks then two words", "  ab cd", 3, 4},
      {"a word that fills the text", "ab", 1, 2},
      {"a word up to the end after blanks", "   xyz", 4, 6},
      {"blank text", "     ", 0, 0},
      {"empty text", "", 0, 0},
      {"a tab is an ordinary character", "\tx y", 1, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    int first = -1, last = -1;
    ilocatestring(c.text, first, last);
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(last, c.last);
  }
}

TEST(ILocateChar, SkipsBlanksAndNuls) {
  EXPECT_EQ(ilocatechar(std::string("\0\0 x", 4)), 4);
  EXPECT_EQ(ilocatechar("   "), 0);
  EXPECT_EQ(ilocatechar(std::string("\0 \0", 3)), 0);
  EXPECT_EQ(ilocatechar("a"), 1);
}

TEST(IJustifyString, Modes) {
  const struct {
    const char* why;
    std::string text;
    const char* mode;
    std::string want;
  } cases[] = {
      {"right", "ab    ", "R", "    ab"},
      {"neither letter is centre", "ab    ", "M", "  ab  "},
      {"odd surplus: extra blank on the right", "ab   ", "M", " ab  "},
      {"Left contains L", "   ab ", "Left", "ab    "},
      {"centre contains r, so right", "ab    ", "centre", "    ab"},
      {"lower-case l", "  ab", "l", "ab  "},
      {"L wins over R", " ab ", "LR", "ab  "},
      {"centre moving left", "    ab", "C", "  ab  "},
      {"inner blanks move with the text", "a b     ", "R", "     a b"},
      {"all blanks unchanged", "    ", "R", "    "},
      {"full text unchanged", "abcd", "C", "abcd"},
      {"a NUL counts as content at the end", std::string("ab\0  ", 5), "R",
       std::string("  ab\0", 5)},
      {"leading NULs stay where the text does not cover them",
       std::string("\0\0ab  ", 6), "R", std::string("\0\0  ab", 6)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    std::string text = c.text;
    ijustifystring(text, c.mode);
    EXPECT_EQ(text, c.want);
  }
}

TEST(IndexNoCase, Searches) {
  EXPECT_EQ(indexnocase("Hello World", "WORLD"), 7);
  EXPECT_EQ(indexnocase("abcABC", "abc", true), 4);
  EXPECT_EQ(indexnocase("abcABC", "abc", false), 1);
  EXPECT_EQ(indexnocase("abcABC", "abc"), 1);
  EXPECT_EQ(indexnocase("abc", ""), 1);
  EXPECT_EQ(indexnocase("abc", "", true), 4);
  EXPECT_EQ(indexnocase("ab", "abc"), 0);
  EXPECT_EQ(indexnocase("abc", "x"), 0);
  // Only A-Z fold: the 8-bit letters of Windows-1252 are compared as they are.
  EXPECT_EQ(indexnocase("\xC4x", "\xE4X"), 0);
}

TEST(YYIChar, CodesAreUnsigned) {
  EXPECT_EQ(yyichar(static_cast<char>(200)), 200);
  EXPECT_EQ(yyichar('A'), 65);
  EXPECT_EQ(yyichar('\0'), 0);
  EXPECT_EQ(yyichar(static_cast<char>(255)), 255);
}

}  // namespace
