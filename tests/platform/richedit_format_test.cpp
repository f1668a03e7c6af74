// Character and paragraph formats of the rich-edit control: formats stay on their characters
// through typing, deleting and undo; the masks report what is mixed; the word at the caret
// and the typing format; bullets, alignment and indents of the selected paragraphs; and the
// formats drawn (bold wider, colour in its colour, the line of a centred paragraph moved); copy
// and paste of formatted text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/richedit.h"
#include "platform/test_api.h"
#include "tests/platform/ctl_helpers.h"

using namespace win;
using ctltest::textOf;

namespace {

class RichFormat : public ctltest::Fixture {
 protected:
  void SetUp() override {
    ctltest::Fixture::SetUp();
    RegisterRichEditClasses();
    e = make(RICHEDIT_CLASS, WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 10, 10, 400, 200, 1002);
    SendMessage(e, EM_EXLIMITTEXT, 0, 1 << 20);
  }
  void select(LONG a, LONG b) { SendMessage(e, EM_SETSEL, static_cast<WPARAM>(a), b); }
  void setChar(LONG a, LONG b, DWORD mask, DWORD effects, WPARAM which = SCF_SELECTION) {
    select(a, b);
    CHARFORMAT cf;
    cf.dwMask = mask;
    cf.dwEffects = effects;
    EXPECT_EQ(SendMessage(e, EM_SETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf)), 1);
  }
  // The mask and effects over a..b.
  CHARFORMAT2 getChar(LONG a, LONG b) {
    select(a, b);
    CHARFORMAT2 cf;
    cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_SIZE | CFM_COLOR | CFM_FACE;
    SendMessage(e, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf;
  }
  bool bold(LONG a, LONG b) {
    const CHARFORMAT2 cf = getChar(a, b);
    return (cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD);
  }
  bool mixedBold(LONG a, LONG b) { return (getChar(a, b).dwMask & CFM_BOLD) == 0; }
  HWND e = nullptr;
};

// Formats move with the text around them, go with deleted text and come back with undo.
TEST_F(RichFormat, FormatsStayOnTheirCharacters) {
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("flow at Tarn Beck"));
  setChar(8, 12, CFM_BOLD, CFE_BOLD);   // "Tarn"
  EXPECT_TRUE(bold(8, 12));
  EXPECT_FALSE(bold(0, 8));
  EXPECT_TRUE(mixedBold(6, 10));
  // Typing before the bold word moves it; typing at its end continues it.
  SetFocus(e);
  select(0, 0);
  test::typeText("Daily ");
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "Daily flow at Tarn Beck");
  EXPECT_TRUE(bold(14, 18));
  EXPECT_FALSE(bold(13, 14));
  select(18, 18);
  test::typeText("X");
  test::runUntilIdle();
  EXPECT_TRUE(bold(14, 19));
  // Deleting across the start of the bold run keeps the rest of it bold.
  select(12, 16);
  test::pressKey(VK_DELETE);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "Daily flow arnX Beck");
  EXPECT_TRUE(bold(12, 15));
  EXPECT_FALSE(bold(11, 12));
  EXPECT_FALSE(bold(15, 20));
  // Undo brings the text and its formats back, step by step; redo takes them away again.
  test::pressKey('Z', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "Daily flow at TarnX Beck");
  EXPECT_TRUE(bold(14, 19));
  test::pressKey('Z', test::kCtrl);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "Daily flow at Tarn Beck");
  EXPECT_TRUE(bold(14, 18));
  EXPECT_TRUE(SendMessage(e, EM_REDO, 0, 0));
  EXPECT_TRUE(SendMessage(e, EM_REDO, 0, 0));
  EXPECT_EQ(textOf(e), "Daily flow arnX Beck");
  EXPECT_TRUE(bold(12, 15));
  EXPECT_FALSE(bold(15, 20));
  // New text set from outside starts plain.
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("plain"));
  EXPECT_FALSE(bold(0, 5));
  EXPECT_FALSE(mixedBold(0, 5));
}

// The mask tells what is the same over the selection; sizes, colours and faces are reported
// as the control's font where the characters have none of their own.
TEST_F(RichFormat, MasksReportMixedAttributes) {
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one two three"));
  CHARFORMAT2 base = getChar(0, 13);
  EXPECT_EQ(base.dwMask & (CFM_BOLD | CFM_SIZE | CFM_COLOR | CFM_FACE), CFM_BOLD | CFM_SIZE | CFM_COLOR | CFM_FACE);
  EXPECT_STREQ(base.szFaceName, "MS Sans Serif");
  EXPECT_EQ(base.yHeight, 165);   // 11 pixels
  EXPECT_TRUE(base.dwEffects & CFE_AUTOCOLOR);

  select(4, 7);
  CHARFORMAT2 cf;
  cf.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_ITALIC | CFM_BACKCOLOR;
  cf.yHeight = 280;
  cf.crTextColor = RGB(200, 0, 0);
  cf.dwEffects = CFE_ITALIC;
  cf.crBackColor = RGB(255, 255, 0);
  std::strcpy(cf.szFaceName, "Times New Roman");
  SendMessage(e, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  const CHARFORMAT2 two = getChar(4, 7);
  EXPECT_EQ(two.yHeight, 280);
  EXPECT_EQ(two.crTextColor, RGB(200, 0, 0));
  EXPECT_FALSE(two.dwEffects & CFE_AUTOCOLOR);
  EXPECT_STREQ(two.szFaceName, "Times New Roman");
  EXPECT_TRUE(two.dwEffects & CFE_ITALIC);
  const CHARFORMAT2 all = getChar(0, 13);
  EXPECT_EQ(all.dwMask & (CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_ITALIC), 0u);
  EXPECT_EQ(all.dwMask & CFM_BOLD, CFM_BOLD);
  // SCF_ALL makes the whole text one format again for what the mask names.
  CHARFORMAT plain;
  plain.dwMask = CFM_ITALIC | CFM_COLOR;
  plain.dwEffects = CFE_AUTOCOLOR;
  SendMessage(e, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&plain));
  EXPECT_EQ(getChar(0, 13).dwMask & (CFM_ITALIC | CFM_COLOR), CFM_ITALIC | CFM_COLOR);
  EXPECT_EQ(getChar(0, 13).dwMask & CFM_SIZE, 0u);
}

// With no selection, SCF_WORD formats the word at the caret; without a word the format is
// kept for what is typed next at the caret.
TEST_F(RichFormat, WordAtTheCaretAndTypingFormat) {
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("rain and snow "));
  setChar(6, 6, CFM_BOLD, CFE_BOLD, SCF_SELECTION | SCF_WORD);
  EXPECT_TRUE(bold(5, 8));
  EXPECT_FALSE(bold(4, 5));
  EXPECT_FALSE(bold(8, 9));
  setChar(14, 14, CFM_UNDERLINE, CFE_UNDERLINE, SCF_SELECTION | SCF_WORD);
  SetFocus(e);
  test::typeText("hail");
  test::runUntilIdle();
  select(14, 18);
  CHARFORMAT cf;
  cf.dwMask = CFM_UNDERLINE;
  SendMessage(e, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  EXPECT_TRUE(cf.dwMask & CFM_UNDERLINE);
  EXPECT_TRUE(cf.dwEffects & CFE_UNDERLINE);
  select(9, 13);
  SendMessage(e, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  EXPECT_FALSE(cf.dwEffects & CFE_UNDERLINE);
}

// Paragraph formats belong to the paragraphs the selection touches, and split paragraphs keep them.
TEST_F(RichFormat, ParagraphFormats) {
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("first\rsecond\rthird"));
  select(8, 14);   // second and third
  PARAFORMAT pf;
  pf.dwMask = PFM_NUMBERING | PFM_ALIGNMENT;
  pf.wNumbering = PFN_BULLET;
  pf.wAlignment = PFA_CENTER;
  SendMessage(e, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  auto get = [&](LONG a, LONG b) {
    select(a, b);
    PARAFORMAT g;
    SendMessage(e, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&g));
    return g;
  };
  EXPECT_EQ(get(0, 0).wNumbering, 0);
  EXPECT_EQ(get(0, 0).wAlignment, PFA_LEFT);
  EXPECT_EQ(get(7, 7).wNumbering, PFN_BULLET);
  EXPECT_EQ(get(15, 15).wAlignment, PFA_CENTER);
  EXPECT_EQ(get(0, 15).dwMask & (PFM_NUMBERING | PFM_ALIGNMENT), 0u);    // mixed
  EXPECT_EQ(get(6, 18).dwMask & PFM_NUMBERING, PFM_NUMBERING);            // all bulleted
  // Enter inside a bulleted paragraph makes two bulleted ones.
  select(9, 9);
  SetFocus(e);
  test::pressKey(VK_RETURN);
  test::runUntilIdle();
  EXPECT_EQ(textOf(e), "first\rsec\rond\rthird");
  EXPECT_EQ(get(6, 6).wNumbering, PFN_BULLET);
  EXPECT_EQ(get(10, 10).wNumbering, PFN_BULLET);
  EXPECT_EQ(get(0, 0).wNumbering, 0);
}

// Copy puts the selection on the clipboard as text and as RTF; Paste takes the RTF back with
// its formats: a piece without a line end keeps the format of the paragraph it lands in, a
// whole paragraph brings its own; undo takes the paste back.
TEST_F(RichFormat, CopyAndPasteKeepTheFormats) {
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Tarn Beck\rRain gauge\rSnow gauge"));
  setChar(0, 4, CFM_BOLD, CFE_BOLD);   // "Tarn"
  select(12, 12);                      // "Rain gauge" bulleted
  PARAFORMAT pf;
  pf.dwMask = PFM_NUMBERING;
  pf.wNumbering = PFN_BULLET;
  SendMessage(e, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  auto numbering = [&](LONG at) {
    select(at, at);
    PARAFORMAT g;
    SendMessage(e, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&g));
    return g.wNumbering;
  };
  const UINT rtf = RegisterClipboardFormat("Rich Text Format");

  select(0, 4);
  SendMessage(e, WM_COPY, 0, 0);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  ASSERT_TRUE(IsClipboardFormatAvailable(rtf));
  EXPECT_EQ(SendMessage(e, EM_CANPASTE, 0, 0), TRUE);
  // At the end of the bulleted line: bold "Tarn" there, the line still bulleted, the next not.
  select(20, 20);
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(textOf(e), "Tarn Beck\rRain gaugeTarn\rSnow gauge");
  EXPECT_TRUE(bold(20, 24));
  EXPECT_FALSE(bold(10, 20));
  EXPECT_EQ(numbering(22), PFN_BULLET);
  EXPECT_EQ(numbering(27), 0);
  SendMessage(e, EM_UNDO, 0, 0);
  EXPECT_EQ(textOf(e), "Tarn Beck\rRain gauge\rSnow gauge");
  EXPECT_EQ(numbering(12), PFN_BULLET);
  EXPECT_EQ(numbering(23), 0);

  // A whole bulleted paragraph pasted before "Snow gauge" stays bulleted; "Snow gauge" does not
  // take its bullet.
  select(10, 21);
  SendMessage(e, WM_COPY, 0, 0);
  select(21, 21);
  SendMessage(e, WM_PASTE, 0, 0);
  EXPECT_EQ(textOf(e), "Tarn Beck\rRain gauge\rRain gauge\rSnow gauge");
  EXPECT_EQ(numbering(25), PFN_BULLET);
  EXPECT_EQ(numbering(34), 0);
  EXPECT_FALSE(bold(21, 31));
}

// Drawn as formatted: bold text takes more room than plain, a coloured word shows its colour,
// a right-aligned line ends at the right edge and a bullet stands before a bulleted one.
TEST_F(RichFormat, DrawnInTheirFormats) {
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("WWWW plain\rright"));
  const auto x = [&](LONG i) { return static_cast<int>(LOWORD(SendMessage(e, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0))); };
  const int plainEnd = x(4);
  select(0, 4);
  CHARFORMAT big;
  big.dwMask = CFM_BOLD | CFM_SIZE;
  big.dwEffects = CFE_BOLD;
  big.yHeight = 360;
  SendMessage(e, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&big));
  EXPECT_GT(x(4), plainEnd);
  select(5, 10);
  CHARFORMAT cf;
  cf.dwMask = CFM_COLOR;
  cf.crTextColor = RGB(255, 0, 0);
  SendMessage(e, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  select(12, 12);
  PARAFORMAT pf;
  pf.dwMask = PFM_ALIGNMENT;
  pf.wAlignment = PFA_RIGHT;
  SendMessage(e, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  RECT c;
  GetClientRect(e, c);
  EXPECT_GT(x(11), c.right / 2);
  EXPECT_GE(x(16), c.right - 6);
  select(0, 0);
  pf.dwMask = PFM_NUMBERING;
  pf.wNumbering = PFN_BULLET;
  SendMessage(e, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  EXPECT_GE(x(0), 20);   // the text moved right of its bullet
  SendMessage(e, EM_SETSEL, 16, 16);
  test::runUntilIdle();
  test::savePng(e, ::testing::TempDir() + "richedit_formats.png", true);
  int w = 0, h = 0;
  const std::vector<COLORREF> px = test::pixels(e, true, w, h);
  int red = 0, darkLeft = 0;
  const int x0 = x(0);
  const int lineTop = static_cast<int>(HIWORD(SendMessage(e, EM_POSFROMCHAR, 0, 0)));
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      const COLORREF p = px[static_cast<std::size_t>(yy * w + xx)];
      if (GetRValue(p) > 160 && GetGValue(p) < 90 && GetBValue(p) < 90) ++red;
      if (xx < x0 - 4 && yy >= lineTop && yy < lineTop + 30 && GetRValue(p) < 128 && GetGValue(p) < 128) ++darkLeft;
    }
  EXPECT_GT(red, 10) << "the red word";
  EXPECT_GT(darkLeft, 2) << "the bullet";
}

// Was: in a bold font (the stock system font) the plain words of RTF read in or pasted were
// reported and drawn bold.
TEST_F(RichFormat, RtfKeepsPlainWordsPlainInABoldFont) {
  SendMessage(e, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), FALSE);
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed"));
  EXPECT_TRUE(bold(0, 5)) << "text of the control's own font is bold";
  const std::string doc = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain \\b heavy\\b0  words\\par}";
  struct Reader {
    const std::string* s;
    std::size_t at = 0;
  } reader{&doc};
  EDITSTREAM es;
  es.dwCookie = reinterpret_cast<UINT_PTR>(&reader);
  es.pfnCallback = [](UINT_PTR cookie, BYTE* buf, LONG cb, LONG* pcb) -> DWORD {
    auto* r = reinterpret_cast<Reader*>(cookie);
    const std::size_t n = std::min(static_cast<std::size_t>(cb), r->s->size() - r->at);
    std::memcpy(buf, r->s->data() + r->at, n);
    r->at += n;
    *pcb = static_cast<LONG>(n);
    return 0;
  };
  SendMessage(e, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
  ASSERT_EQ(textOf(e), "plain heavy words");
  EXPECT_FALSE(bold(0, 5));
  EXPECT_TRUE(bold(6, 11));
  EXPECT_FALSE(mixedBold(12, 17));
  EXPECT_FALSE(bold(12, 17));
  // Drawn so too: the plain word narrower than in the bold font.
  const LRESULT a = SendMessage(e, EM_POSFROMCHAR, 0, 0), b = SendMessage(e, EM_POSFROMCHAR, 5, 0);
  HDC dc = GetDC(e);
  HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  SIZE heavy{};
  GetTextExtentPoint32(dc, "plain", 5, heavy);
  SelectObject(dc, old);
  ReleaseDC(e, dc);
  EXPECT_LT(static_cast<int>(LOWORD(b)) - static_cast<int>(LOWORD(a)), heavy.cx);

  // Pasted as RTF into text of the bold font: its plain words stay plain.
  select(0, 17);
  SendMessage(e, WM_COPY, 0, 0);
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed "));
  select(6, 6);
  SendMessage(e, WM_PASTE, 0, 0);
  ASSERT_EQ(textOf(e), "typed plain heavy words");
  EXPECT_TRUE(bold(0, 5));
  EXPECT_FALSE(bold(6, 11));
  EXPECT_TRUE(bold(12, 17));

  // Written out, the RTF says bold where the text shows bold: read into a control of a
  // normal-weight font, the typed word is bold and the plain words plain.
  std::string written;
  EDITSTREAM out;
  out.dwCookie = reinterpret_cast<UINT_PTR>(&written);
  out.pfnCallback = [](UINT_PTR cookie, BYTE* buf, LONG cb, LONG* pcb) -> DWORD {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(cb));
    *pcb = cb;
    return 0;
  };
  SendMessage(e, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&out));
  SendMessage(e, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT)), FALSE);
  reader = Reader{&written};
  SendMessage(e, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
  ASSERT_EQ(textOf(e), "typed plain heavy words");
  EXPECT_TRUE(bold(0, 5));
  EXPECT_FALSE(bold(6, 11));
  EXPECT_TRUE(bold(12, 17));
  EXPECT_FALSE(bold(18, 23));
}

// Replace All keeps the formats of the text around the matches; new text takes the format of
// the character before it; one undo brings text and formats back.
TEST_F(RichFormat, ReplaceAllKeepsFormatsAndUndoBringsThemBack) {
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("gauge at Tarn gauge\r\nBeck gauge"));
  setChar(9, 13, CFM_BOLD, CFE_BOLD);    // "Tarn"
  setChar(14, 19, CFM_ITALIC, CFE_ITALIC);   // the second "gauge"
  PARAFORMAT pf;
  pf.dwMask = PFM_ALIGNMENT;
  pf.wAlignment = PFA_CENTER;
  select(20, 20);
  SendMessage(e, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  REPLACEALLTEXT ra;
  ra.lpstrFind = "gauge";
  ra.lpstrReplace = "station";
  EXPECT_EQ(SendMessage(e, EM_REPLACEALLTEXT, 0, reinterpret_cast<LPARAM>(&ra)), 3);
  ASSERT_EQ(textOf(e), "station at Tarn station\rBeck station");
  EXPECT_TRUE(bold(11, 15)) << "Tarn";
  EXPECT_FALSE(bold(0, 7));
  EXPECT_FALSE(bold(10, 11));
  const CHARFORMAT2 after = getChar(16, 23);
  EXPECT_TRUE((after.dwMask & CFM_BOLD) && !(after.dwEffects & CFE_BOLD) && (after.dwMask & CFM_ITALIC) &&
              !(after.dwEffects & CFE_ITALIC))
      << "the format of the blank before it, as replacing one at a time gives";
  EXPECT_FALSE(bold(24, 28));
  select(24, 24);
  PARAFORMAT got;
  SendMessage(e, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&got));
  EXPECT_EQ(got.wAlignment, PFA_CENTER) << "the second paragraph stays centred";
  SendMessage(e, EM_UNDO, 0, 0);
  ASSERT_EQ(textOf(e), "gauge at Tarn gauge\rBeck gauge");
  EXPECT_TRUE(bold(9, 13));
  EXPECT_FALSE(bold(0, 9));
  const CHARFORMAT2 i = getChar(14, 19);
  EXPECT_TRUE((i.dwMask & CFM_ITALIC) && (i.dwEffects & CFE_ITALIC));
}

}  // namespace
