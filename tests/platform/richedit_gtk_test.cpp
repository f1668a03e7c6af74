// The rich-edit control's copy on a real display (a private Xvfb through the GTK backend):
// another program reads the selection as RTF under the desktop's "text/rtf" target (xclip),
// and pandoc reads the bold word in it as bold; the plain text still comes as text.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/gdi.h"
#include "platform/gtk_backend.h"
#include "platform/richedit.h"
#include "tests/support/tools.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/support/xserver.h"

using namespace win;
namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class RichEditDesktop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("GSETTINGS_BACKEND", "memory", 1);
    started = tw::test::startXvfb() && UseGtkBackend();
  }
  static void TearDownTestSuite() { tw::test::stopXvfb(); }
  void SetUp() override {
    ASSERT_TRUE(started) << "Xvfb or GTK did not start";
    ASSERT_TRUE(tw::test::needtool("xclip", "xclip"));
    ASSERT_TRUE(tw::test::needtool("pandoc", "pandoc"));
    dir = fs::temp_directory_path() / ("tw_richedit_gtk_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  // A desktop target of the clipboard copied into a file by xclip, in the background while
  // the program serves the request; true once the file is there.
  bool fetched(const std::string& target, const fs::path& file) {
    const std::string part = file.string() + ".part";
    const std::string command = "(xclip -selection clipboard -t '" + target + "' -o > '" + part + "' 2>/dev/null; mv '" +
                                part + "' '" + file.string() + "') </dev/null >/dev/null 2>&1 &";
    return std::system(command.c_str()) == 0 && tw::test::pumpUntil([&] { return fs::exists(file); }, 15);
  }
  static inline bool started = false;
  fs::path dir;
};

// Was: the copy reached other programs as plain text only.
TEST_F(RichEditDesktop, CopiedRichTextReachesOtherProgramsAsRtf) {
  RegisterRichEditClasses();
  HWND frame = CreateWindowEx(0, "Static", "Rich text", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 200, nullptr,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  HWND e = CreateWindowEx(0, RICHEDIT_CLASS, "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 400, 160,
                          frame, nullptr, nullptr, nullptr);
  ASSERT_NE(e, nullptr);
  SendMessage(e, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT)), FALSE);
  SendMessage(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Daily flow at Tarn Beck\r\nRain gauge caf\xE9"));
  SendMessage(e, EM_SETSEL, 14, 23);
  CHARFORMAT bold;
  bold.dwMask = CFM_BOLD;
  bold.dwEffects = CFE_BOLD;
  SendMessage(e, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&bold));
  SendMessage(e, EM_SETSEL, 0, -1);
  SendMessage(e, WM_COPY, 0, 0);

  const fs::path targets = dir / "targets.txt";
  ASSERT_TRUE(fetched("TARGETS", targets));
  EXPECT_NE(slurp(targets).find("text/rtf"), std::string::npos) << slurp(targets);
  const fs::path rtf = dir / "copied.rtf";
  ASSERT_TRUE(fetched("text/rtf", rtf));
  const std::string data = slurp(rtf);
  EXPECT_EQ(data.rfind("{\\rtf", 0), 0u) << data;
  EXPECT_EQ(data.find('\0'), std::string::npos) << "no terminator of the store's copy";
  const hc::Run read = hc::run("pandoc -f rtf -t markdown '" + rtf.string() + "'");
  ASSERT_EQ(read.status, 0);
  EXPECT_NE(read.output.find("Daily flow at **Tarn Beck**"), std::string::npos) << read.output;
  EXPECT_NE(read.output.find("Rain gauge caf\xC3\xA9"), std::string::npos) << read.output;
  const fs::path plain = dir / "copied.txt";
  ASSERT_TRUE(fetched("UTF8_STRING", plain));
  EXPECT_EQ(slurp(plain), "Daily flow at Tarn Beck\nRain gauge caf\xC3\xA9");
  DestroyWindow(frame);
}

}  // namespace
