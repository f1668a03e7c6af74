// The error message table: texts exactly as written, by number and kind.
#include <gtest/gtest.h>

#include <string>

#include "platform/os.h"
#include "toolkit/text/messages.h"

namespace {

struct MessageCase {
  const char* why;
  int number;
  int kind;
  std::size_t length;
  const char* want;
};

TEST(WInfoErrorMessage, TextsByNumberAndKind) {
  const MessageCase cases[] = {
      {"first general text", 1, 1, 60, "Error opening file or device"},
      {"slash kept", 2, 1, 60, "Error reading/writing file or device"},
      {"conversion failure", 18, 1, 60, "Numeric to string conversion error"},
      {"operators kept", 20, 1, 80, "Circle/ellipse radius <=0, height ratio<=0 or arc angle=0"},
      {"=< as written", 21, 1, 80, "Length of axis-parallel side of a parallelogram is =<0"},
      {"routine names as written", 42, 1, 80,
       "Unknown colour name/number specified to IGrColour/IGrColourN"},
      {"last general text", 66, 1, 60, "Invalid character code in WGrTextWidth"},
      {"first window text", 1001, 1, 60, "Invalid menu item"},
      {"dash kept", 1007, 1, 60, "Dialog not present in resource - unable to load"},
      {"full stop inside", 1016, 1, 60, "Unable to display window/dialog. Parent window hidden"},
      {"capital Z", 1044, 1, 60, "Zlib compression/decompression error"},
      {"apostrophe", 1051, 1, 80, "Grid window can't have menu in InsideParent child window"},
      {"ends with a full stop", 1073, 1, 60, "3D model vertex limit exceeded. Increase MAXVERTEX."},
      {"colon and full stop", 1077, 1, 60, "3D model internal error: Workspace empty."},
      {"upper-case DLL name", 1082, 1, 60, "MAPI32.DLL not found. Unable to send e-mail"},
      {"last of the 1051-1100 band", 1100, 1, 60, "Invalid database handle"},
      {"last window text", 1105, 1, 60, "3D model facet number invalid"},
      {"cut to a short text", 1025, 1, 20, "Editor can't have me"},
      {"0 is in no band", 0, 1, 12, "            "},
      {"50 has no text", 50, 1, 12, "            "},
      {"a gap in the general band", 65, 1, 12, "            "},
      {"67 is past the band", 67, 1, 12, "            "},
      {"1000 is before the window band", 1000, 1, 12, "            "},
      {"1106 is past the window band", 1106, 1, 12, "            "},
      {"negative numbers have no text", -5, 1, 12, "            "},
      {"kind 2, code 0 is blank", 0, 2, 12, "            "},
      {"kind 3, status 0 is blank", 0, 3, 12, "            "},
      {"kind 3, status 3 is outside the table", 3, 3, 12, "            "},
      {"kind 3, status -7 is outside the table", -7, 3, 12, "            "},
      {"kind 3, -4", -4, 3, 30, "insufficient memory"},
      {"kind 3, -6", -6, 3, 30, "incompatible version"},
      {"kind 3, 2", 2, 3, 30, "need dictionary"},
  };
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(c.why);
    std::string text(c.length, '#');
    winfoerrormessage(c.number, text, c.kind);
    std::string want(c.want);
    want.resize(c.length, ' ');
    EXPECT_EQ(text, want);
  }
}

TEST(WInfoErrorMessage, EveryWindowNumberHasAText) {
  for (int number = 1001; number <= 1105; ++number) {
    SCOPED_TRACE(number);
    std::string text(80, ' ');
    winfoerrormessage(number, text);
    EXPECT_NE(text.find_first_not_of(' '), std::string::npos);
  }
}

TEST(WInfoErrorMessage, MissingKindIsKindOneAndOtherKindsLeaveTheText) {
  std::string text(30, ' ');
  winfoerrormessage(10, text);
  EXPECT_EQ(text, "No substring found            ");
  for (int kind : {0, 4, -1}) {
    SCOPED_TRACE(kind);
    std::string untouched = "caller's own text";
    winfoerrormessage(10, untouched, kind);
    EXPECT_EQ(untouched, "caller's own text");
  }
}

}  // namespace

namespace {

TEST(WInfoErrorMessage, KindTwoIsTheSystemTextCutToTheCaller) {
  char system[300] = {};
  win::yyerrorstr(win::ERROR_ACCESS_DENIED, system, sizeof system);
  const std::string want(system);
  ASSERT_FALSE(want.empty());
  std::string text(300, '#');
  winfoerrormessage(win::ERROR_ACCESS_DENIED, text, 2);
  EXPECT_EQ(text, want + std::string(300 - want.size(), ' '));
  std::string shortText(4, '#');
  winfoerrormessage(win::ERROR_ACCESS_DENIED, shortText, 2);
  EXPECT_EQ(shortText, want.substr(0, 4));
}

}  // namespace
