// RTF of the rich-edit control: what it writes is read back by pandoc and by itself with the
// same text; RTF that LibreOffice wrote, and hand-made RTF with escapes, groups and skipped
// destinations, load with their text.
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
  if (std::system("command -v pandoc >/dev/null 2>&1") != 0)
    std::system("bash -c '. " TW_SOURCE_DIR "/tools/debian-packages.sh && tw_need pandoc' >/dev/null 2>&1");
  ASSERT_EQ(std::system("command -v pandoc >/dev/null 2>&1"), 0) << "pandoc could not be installed";
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

// Made with: soffice --headless --convert-to "rtf:Rich Text Format" richedit-libreoffice.html from
// <p>Daily flow at <b>Tarn Beck</b></p><p>Mean 7.5 m&sup3;/s &ndash; na&iuml;ve &euro;
// estimate</p><p>Last paragraph</p> (LibreOffice 7.4).
TEST_F(RichEditRtfTest, LibreOfficeRtfLoadsItsText) {
  const std::string rtf = readFile(TW_SOURCE_DIR "/tests/fixtures/richedit-libreoffice.rtf");
  ASSERT_FALSE(rtf.empty());
  load(rtf);
  EXPECT_EQ(textOf(e), "Daily flow at Tarn Beck\rMean 7.5 m\xB3/s \x96 na\xEFve \x80 estimate\rLast paragraph");
}

}  // namespace
