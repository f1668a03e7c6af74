// RTF of the rich-edit control: what it writes is read back by pandoc and by itself with the
// same text and formats; RTF that LibreOffice wrote, and hand-made RTF with escapes, groups
// and skipped destinations, load with their text and formats.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/richedit.h"
#include "platform/test_api.h"
#include "tests/platform/ctl_helpers.h"
#include "tests/support/tools.h"

using namespace win;
using ctltest::textOf;

namespace {

struct Buffer {
  std::string data;
  std::size_t at = 0;
};

DWORD readCb(UINT_PTR cookie, BYTE* buf, LONG cb, LONG* pcb) {
  auto* b = reinterpret_cast<Buffer*>(cookie);
  const std::size_t n = std::min(static_cast<std::size_t>(cb), b->data.size() - b->at);
  std::memcpy(buf, b->data.data() + b->at, n);
  b->at += n;
  *pcb = static_cast<LONG>(n);
  return 0;
}

DWORD writeCb(UINT_PTR cookie, BYTE* buf, LONG cb, LONG* pcb) {
  reinterpret_cast<Buffer*>(cookie)->data.append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(cb));
  *pcb = cb;
  return 0;
}

std::string readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string run(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
  }
  return out;
}

class RichEditRtfTest : public ctltest::Fixture {
 protected:
  void SetUp() override {
    ctltest::Fixture::SetUp();
    RegisterRichEditClasses();
    e = make(RICHEDIT_CLASS, WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 10, 10, 400, 300, 1002);
    SendMessage(e, EM_EXLIMITTEXT, 0, 1 << 20);
  }
  LRESULT load(const std::string& data, WPARAM format = SF_RTF) {
    Buffer b{data};
    EDITSTREAM es;
    es.dwCookie = reinterpret_cast<UINT_PTR>(&b);
    es.pfnCallback = readCb;
    const LRESULT r = SendMessage(e, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
    EXPECT_EQ(es.dwError, 0u);
    return r;
  }
  std::string save(WPARAM format = SF_RTF) {
    Buffer b;
    EDITSTREAM es;
    es.dwCookie = reinterpret_cast<UINT_PTR>(&b);
    es.pfnCallback = writeCb;
    SendMessage(e, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&es));
    EXPECT_EQ(es.dwError, 0u);
    return b.data;
  }
  HWND e = nullptr;
};

// Text with every character the writer must escape.
const char* const kText = "Gauge {A} \\ 7.5 m\xB3/s\r\tna\xEFve \x93quoted\x94 \x80 5\r\rlast";

TEST_F(RichEditRtfTest, OwnRtfReadsBackWithTheSameText) {
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kText));
  const std::string rtf = save();
  EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi", 0), 0u);
  EXPECT_NE(rtf.find("MS Sans Serif"), std::string::npos);   // the control's font
  EXPECT_NE(rtf.find("\\fs16"), std::string::npos);          // 11 pixels: 8 points
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  load(rtf);
  EXPECT_EQ(textOf(e), kText);
  // The selection alone.
  SendMessage(e, EM_SETSEL, 0, 5);
  const std::string part = save(SF_RTF | SFF_SELECTION);
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  load(part);
  EXPECT_EQ(textOf(e), "Gauge");
}

TEST_F(RichEditRtfTest, PandocReadsOurRtf) {
  ASSERT_TRUE(tw::test::needtool("pandoc", "pandoc"));
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kText));
  const std::string path = ::testing::TempDir() + "richedit_pandoc.rtf";
  {
    std::ofstream f(path, std::ios::binary);
    f << save();
  }
  // pandoc gives UTF-8 with its own line wrapping; compare the words.
  const std::string plain = run("pandoc -f rtf -t plain --wrap=none " + path);
  for (const char* piece : {"Gauge {A} \\ 7.5 m\xC2\xB3/s", "na\xC3\xAFve", "\xE2\x80\x9Cquoted\xE2\x80\x9D",
                            "\xE2\x82\xAC 5", "last"})
    EXPECT_NE(plain.find(piece), std::string::npos) << piece << " not in:\n" << plain;
  // Paragraphs stay paragraphs: "last" is one on its own.
  EXPECT_NE(plain.find("\n\nlast"), std::string::npos) << plain;
}

TEST_F(RichEditRtfTest, HandMadeRtfLoadsItsBodyText) {
  struct Case {
    const char* rtf;
    const char* text;
  };
  const Case cases[] = {
      {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0 Hello\\par World}",
       "Hello\rWorld"},
      {"{\\rtf1{\\*\\generator Foo;}{\\info{\\title T}}A\\tab B\\line C\\par}", "A\tB\rC"},
      {"{\\rtf1\\uc1 caf\\u233?\\u8364\\'80 x\\u-4064?}", "caf\xE9\x80 x?"},   // \u skips its stand-in
      {"{\\rtf1 a {\\b bold\\b0} \\{\\}\\\\ \\'e9\\~z}", "a bold {}\\ \xE9\xA0z"},
      {"{\\rtf1 {\\*\\unknown hidden}shown{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}", "shownlink"},
      {"{\\rtf1 \\ldblquote q\\rdblquote\\emdash\\bullet\r\n wrapped\r\nline}", "\x93q\x94\x97\x95 wrappedline"},
  };
  for (const Case& c : cases) {
    load(c.rtf);
    EXPECT_EQ(textOf(e), c.text) << c.rtf;
  }
  // What is no RTF loads as plain text.
  load("plain {text}\r\nline");
  EXPECT_EQ(textOf(e), "plain {text}\rline");
}

// A \u control character has no place in the text: a NUL once came in as the byte 0x81.
TEST_F(RichEditRtfTest, UnicodeControlsLoadAsTheStandIn) {
  load("{\\rtf1 a\\u0?b\\u129?c\\u7?d\\u9?e\\u1114112?f}");
  EXPECT_EQ(textOf(e), "a?b?c?d\te?f");
}

// Made with: soffice --headless --convert-to "rtf:Rich Text Format" richedit-libreoffice.html from
// <p>Daily flow at <b>Tarn Beck</b></p><p>Mean 7.5 m&sup3;/s &ndash; na&iuml;ve &euro;
// estimate</p><p>Last paragraph</p> (LibreOffice 7.4).
TEST_F(RichEditRtfTest, LibreOfficeRtfLoadsItsText) {
  const std::string rtf = readFile(TW_SOURCE_DIR "/tests/fixtures/richedit-libreoffice.rtf");
  ASSERT_FALSE(rtf.empty());
  load(rtf);
  EXPECT_EQ(textOf(e), "Daily flow at Tarn Beck\rMean 7.5 m\xB3/s \x96 na\xEFve \x80 estimate\rLast paragraph");
}

// Formats of a text: bold, italic, underline, red and 14 points on words, a bulleted and a
// centred paragraph.
class RichEditRtfFormats : public RichEditRtfTest {
 protected:
  void formatText() {
    SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Flow at Tarn Beck, rising fast\rFirst point\rSecond point\rCentred"));
    auto chr = [&](LONG a, LONG b, DWORD mask, DWORD effects, LONG height = 0, COLORREF colour = 0) {
      SendMessage(e, EM_SETSEL, static_cast<WPARAM>(a), b);
      CHARFORMAT cf;
      cf.dwMask = mask;
      cf.dwEffects = effects;
      cf.yHeight = height;
      cf.crTextColor = colour;
      SendMessage(e, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    };
    chr(8, 17, CFM_BOLD, CFE_BOLD);                  // Tarn Beck
    chr(19, 25, CFM_ITALIC, CFE_ITALIC);             // rising
    chr(26, 30, CFM_UNDERLINE | CFM_COLOR | CFM_SIZE, CFE_UNDERLINE, 280, RGB(255, 0, 0));   // fast
    auto para = [&](LONG a, LONG b, DWORD mask, WORD numbering, WORD align) {
      SendMessage(e, EM_SETSEL, static_cast<WPARAM>(a), b);
      PARAFORMAT pf;
      pf.dwMask = mask;
      pf.wNumbering = numbering;
      pf.wAlignment = align;
      SendMessage(e, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    };
    para(31, 45, PFM_NUMBERING, PFN_BULLET, 0);      // both points
    para(57, 57, PFM_ALIGNMENT, 0, PFA_CENTER);
  }
  CHARFORMAT2 charAt(LONG a, LONG b) {
    SendMessage(e, EM_SETSEL, static_cast<WPARAM>(a), b);
    CHARFORMAT2 cf;
    SendMessage(e, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf;
  }
  PARAFORMAT paraAt(LONG a) {
    SendMessage(e, EM_SETSEL, static_cast<WPARAM>(a), a);
    PARAFORMAT pf;
    SendMessage(e, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    return pf;
  }
  bool has(const CHARFORMAT2& cf, DWORD bit) { return (cf.dwMask & bit) != 0 && (cf.dwEffects & bit) != 0; }
};

TEST_F(RichEditRtfFormats, OwnRtfKeepsTheFormats) {
  formatText();
  const std::string rtf = save();
  for (const char* word : {"\\b ", "\\i ", "\\ul", "\\cf1", "\\fs28", "\\qc", "\\ls1", "\\listtext", "\\red255\\green0\\blue0"})
    EXPECT_NE(rtf.find(word), std::string::npos) << word << " not in\n" << rtf;
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  load(rtf);
  EXPECT_EQ(textOf(e), "Flow at Tarn Beck, rising fast\rFirst point\rSecond point\rCentred");
  EXPECT_TRUE(has(charAt(8, 17), CFM_BOLD));
  EXPECT_FALSE(charAt(0, 9).dwMask & CFM_BOLD);   // mixed
  EXPECT_TRUE(has(charAt(19, 25), CFM_ITALIC));
  const CHARFORMAT2 fast = charAt(26, 30);
  EXPECT_TRUE(has(fast, CFM_UNDERLINE));
  EXPECT_EQ(fast.crTextColor, RGB(255, 0, 0));
  EXPECT_EQ(fast.yHeight, 280);
  EXPECT_EQ(paraAt(0).wNumbering, 0);
  EXPECT_EQ(paraAt(35).wNumbering, PFN_BULLET);
  EXPECT_EQ(paraAt(50).wNumbering, PFN_BULLET);
  EXPECT_EQ(paraAt(60).wAlignment, PFA_CENTER);
  EXPECT_EQ(paraAt(60).wNumbering, 0);
  // The selection's RTF carries its formats alone.
  SendMessage(e, EM_SETSEL, 8, 25);
  const std::string part = save(SF_RTF | SFF_SELECTION);
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  load(part);
  EXPECT_EQ(textOf(e), "Tarn Beck, rising");
  EXPECT_TRUE(has(charAt(0, 9), CFM_BOLD));
  EXPECT_TRUE(has(charAt(11, 17), CFM_ITALIC));
  EXPECT_FALSE(charAt(9, 11).dwEffects & CFE_BOLD);
}

// pandoc reads the bold, italic and underlined words and the bulleted paragraphs as a list.
TEST_F(RichEditRtfFormats, PandocReadsTheFormats) {
  ASSERT_TRUE(tw::test::needtool("pandoc", "pandoc"));
  // A proportional font: pandoc shows text in a fixed-pitch font as code.
  HFONT arial = CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH | FF_SWISS, "Arial");
  SendMessage(e, WM_SETFONT, reinterpret_cast<WPARAM>(arial), FALSE);
  formatText();
  const std::string path = ::testing::TempDir() + "richedit_pandoc_formats.rtf";
  {
    std::ofstream f(path, std::ios::binary);
    f << save();
  }
  const std::string md = run("pandoc -f rtf -t markdown --wrap=none " + path);
  EXPECT_NE(md.find("Flow at **Tarn Beck**, *rising* [fast]{.underline}"), std::string::npos) << md;
  EXPECT_NE(md.find("-   First point\n\n-   Second point"), std::string::npos) << md;
  EXPECT_NE(md.find("Centred"), std::string::npos) << md;
  SendMessage(e, WM_SETFONT, 0, FALSE);
  DeleteObject(arial);
}

// Made with: soffice --headless --infilter="HTML (StarWriter)" --convert-to "rtf:Rich Text Format"
// richedit-libreoffice-formats.html (LibreOffice 7.4): bold and italic words, a bulleted list,
// a centred paragraph and a red right-aligned one.
TEST_F(RichEditRtfFormats, LibreOfficeRtfLoadsItsFormats) {
  const std::string rtf = readFile(TW_SOURCE_DIR "/tests/fixtures/richedit-libreoffice-formats.rtf");
  ASSERT_FALSE(rtf.empty());
  load(rtf);
  const std::string text = "Flow at Tarn Beck and italic text.\rFirst point\rSecond point\rCentred line\rRed right";
  ASSERT_EQ(textOf(e), text);
  const auto at = [&](const char* word) { return static_cast<LONG>(text.find(word)); };
  EXPECT_TRUE(has(charAt(at("Tarn"), at(" and")), CFM_BOLD));
  EXPECT_FALSE(charAt(0, at(" and")).dwMask & CFM_BOLD);
  EXPECT_TRUE(has(charAt(at("italic"), at(" text")), CFM_ITALIC));
  EXPECT_FALSE(charAt(at("First"), at("First") + 5).dwEffects & CFE_BOLD);
  EXPECT_EQ(paraAt(0).wNumbering, 0);
  EXPECT_EQ(paraAt(at("First")).wNumbering, PFN_BULLET);
  EXPECT_EQ(paraAt(at("Second")).wNumbering, PFN_BULLET);
  EXPECT_EQ(paraAt(at("Centred")).wNumbering, 0);
  EXPECT_EQ(paraAt(at("Centred")).wAlignment, PFA_CENTER);
  EXPECT_EQ(paraAt(at("Red")).wAlignment, PFA_RIGHT);
  const CHARFORMAT2 red = charAt(at("Red"), static_cast<LONG>(text.size()));
  EXPECT_FALSE(red.dwEffects & CFE_AUTOCOLOR);
  EXPECT_EQ(red.crTextColor, RGB(255, 0, 0));
  EXPECT_STREQ(charAt(0, 4).szFaceName, "Liberation Serif");
}

}  // namespace

