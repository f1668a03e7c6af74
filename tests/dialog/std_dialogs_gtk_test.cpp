// The standard dialogs and the clipboard on a real display: a private Xvfb server with the
// GTK backend. The application's Save as runs GTK's file chooser, answered with keys typed
// by xdotool as a user would (a screenshot is kept); the page set-up shows on the desktop;
// text copied in the program is read by xclip, and text put by xclip (LF lines, UTF-8)
// pastes as Windows-1252 lines with CR LF.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/mainprogram.h"
#include "app/modules.h"
#include "platform/clipboard.h"
#include "platform/dialog.h"
#include "platform/edit.h"
#include "platform/gdi.h"
#include "platform/gtk_backend.h"
#include "platform/printer.h"
#include "platform/win.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/support/desktop_user.h"
#include "tests/support/xserver.h"
#include "tests/window/display_fixture.h"
#include "toolkit/dialog/dialogs.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class OnDesktop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("GSETTINGS_BACKEND", "memory", 1);   // no settings daemon on the bare server
    ready = tw::test::startXvfb(false) && win::UseGtkBackend();
  }
  static void TearDownTestSuite() { tw::test::stopXvfb(); }
  void SetUp() override {
    ASSERT_TRUE(ready) << "Xvfb or GTK did not start";
    ASSERT_TRUE(tw::test::needtool("xdotool", "xdotool"));
    ASSERT_TRUE(tw::test::needtool("xclip", "xclip"));
    ASSERT_TRUE(tw::test::needtool("import", "imagemagick"));
    dir = fs::temp_directory_path() / ("tw_stddlg_gtk_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    start = fs::current_path();
    fs::current_path(dir);
  }
  void TearDown() override {
    fs::current_path(start);
    fs::remove_all(dir);
  }
  static inline bool ready = false;
  fs::path dir, start;
};

using tw::test::runUser;

TEST_F(OnDesktop, SaveAsThroughGtksFileChooserAnsweredWithTypedKeys) {
  WindowOpenOptions o;
  o.flags = 0x27;
  o.title = "TarnWalker";
  WindowOpen(o);
  ASSERT_TRUE(tw::test::waitUntilShown(winslot(0).wWindow));
  initialise_tw_vars();
  twvars.status = 0;
  fs::create_directories(dir / "gauges");
  const fs::path shot = dir / "save_as.png";
  // The notice box (ours) and then the chooser are both titled "Save as..."; the chooser
  // is the second. The name goes into its name field, Enter saves; "Done" follows.
  runUser(dir / "user.sh", "box=$(wait_new '^Save as\\.\\.\\.$')\nsleep 0.5\nat $box\nxdotool key Return\n"
                           "chooser=$(wait_new '^Save as\\.\\.\\.$' $box)\nsleep 1.5\nat $chooser\n"
                           "xdotool type --delay 40 'gauges/results'\nsleep 0.8\n"
                           "import -window root " + shot.string() + "\ncp " + shot.string() + " " +
                           std::string(TW_SHOT_DIR) + "/save_as_gtk.png\nxdotool key Return\n"
                           "done=$(wait_new '^Done$')\nsleep 0.5\nat $done\nxdotool key Return\n");
  filesaveas();
  std::printf("user: %s\nscreenshot: %s/save_as_gtk.png\n", slurp(dir / "user.sh.log").c_str(), TW_SHOT_DIR);
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  std::string name = twvars.filename;
  name.erase(name.find_last_not_of(' ') + 1);
  EXPECT_EQ(name, (dir / "gauges" / "results.tw").string()) << "flag 32 appends the chosen type's extension";
  EXPECT_TRUE(fs::exists(dir / "gauges" / "results.tw")) << "the project was written there";
  EXPECT_EQ(fs::current_path(), dir / "gauges") << "flag 8 keeps the folder the user went to";
  cairo_surface_t* image = tw::test::loadPng(shot.string());
  ASSERT_NE(image, nullptr) << "no screenshot";
  cairo_surface_destroy(image);
  windowclose();
}

// GTK's chooser handed back the system's UTF-8 path and the file layer converted it a second
// time: "Donn\xC3\xA9es/gauge.tw" was "File does not exist". A name of the code page's letters,
// typed as a user would, comes back in the code page and names the file; one with letters
// outside it is refused by a box over the chooser, which stays up (screenshot kept).
TEST_F(OnDesktop, TheChooserTakesCodePageNamesAndRefusesOthersWhileItIsUp) {
  fs::create_directories(dir / "Donn\xC3\xA9" "es");
  std::ofstream(dir / "Donn\xC3\xA9" "es" / "gauge.tw") << "x";
  std::ofstream(dir / "\xC5\x81\xC3\xB3" "d\xC5\xBA.tw") << "x";
  const char* filter = "Tarnwalker results files|*.tw|All files|*.*|";
  runUser(dir / "open.sh", "c=$(wait_new '^Open data$')\nsleep 1.5\nat $c\nxdotool key ctrl+l\nsleep 0.3\n"
                           "xdotool type --delay 60 'Donn\xC3\xA9" "es/gauge.tw'\nsleep 0.8\nxdotool key Return\n");
  std::string name(500, ' ');
  WSelectFile(filter, 128, name, "Open data");
  std::printf("user: %s\n", slurp(dir / "open.sh.log").c_str());
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  name.erase(name.find_last_not_of(' ') + 1);
  EXPECT_EQ(name, dir.string() + "/Donn\xE9" "es/gauge.tw") << "the path in the code page";

  const fs::path shot = dir / "refused.png";
  runUser(dir / "refuse.sh", "c=$(wait_new '^Open data$')\nsleep 1.5\nat $c\nxdotool key ctrl+l\nsleep 0.3\n"
                             "xdotool type --delay 60 '\xC5\x81\xC3\xB3" "d\xC5\xBA.tw'\nsleep 0.8\nxdotool key Return\n"
                             "m=$(wait_new '^Open$')\nsleep 0.8\nimport -window root " + shot.string() + "\ncp " + shot.string() +
                             " " + std::string(TW_SHOT_DIR) + "/chooser_refuses_gtk.png\nat $m\nxdotool key Return\nsleep 0.8\n"
                             "xdotool search --onlyvisible --name '^Open data$' >/dev/null && echo chooser-still-up\n"
                             "press_from_corner $c 140 24\necho finished\ngive_up '^Open data$'\n");
  std::string refused(500, ' ');
  WSelectFile(filter, 128, refused, "Open data");
  for (int i = 0; i < 100 && slurp(dir / "refuse.sh.log").find("finished") == std::string::npos; ++i) ::usleep(100000);
  const std::string log = slurp(dir / "refuse.sh.log");
  std::printf("user: %s\nscreenshot: %s/chooser_refuses_gtk.png\n", log.c_str(), TW_SHOT_DIR);
  EXPECT_EQ(tessar.dialog.DLGANSWER, 0) << "nothing chosen";
  EXPECT_NE(log.find("chooser-still-up"), std::string::npos) << "the chooser stayed up after the box";
  EXPECT_TRUE(fs::exists(shot)) << "the box came up over the chooser";
}

TEST_F(OnDesktop, PageSetupOnTheDesktopChoosesThePdfPrinterA4Landscape) {
  win::test::setPrinters({{"Office", "cups", "ipp://office", 5100, 6600, 600, 600, 2, true},
                          {"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, false}});
  const fs::path shot = dir / "page.png";
  // By the labels' mnemonics: the printer list, Down takes the PDF printer; the paper list,
  // Home takes A4; landscape; the left margin retyped.
  runUser(dir / "page.sh", "d=$(wait_new '^Page Setup$')\nsleep 1\nat $d\n"
                           "xdotool key alt+r Down alt+s Home alt+l alt+e ctrl+a\nxdotool type --delay 40 '20'\n"
                           "sleep 0.5\nimport -window root " + shot.string() + "\ncp " + shot.string() + " " +
                           std::string(TW_SHOT_DIR) + "/page_setup_gtk.png\nxdotool key Return\n");
  int paperwidth = 0, paperheight = 0, printwidth = 17590, printheight = 25940, left = 1000, top = 1000;
  int orientation = 0, copies = 1, colours = 99, result = -1;
  yyprintdialog(paperwidth, paperheight, printwidth, printheight, left, top, orientation, copies, 2, colours, result);
  std::printf("user: %s\nscreenshot: %s/page_setup_gtk.png\n", slurp(dir / "page.sh.log").c_str(), TW_SHOT_DIR);
  EXPECT_EQ(result, 1);
  EXPECT_STREQ(tessar.raster.printersettings.lpPrintType.data(), "Print to PDF file");
  EXPECT_EQ(tessar.raster.printersettings.prSize, win::DMPAPER_A4);
  EXPECT_EQ(orientation, 1);
  EXPECT_EQ(paperwidth, 29700);
  EXPECT_EQ(paperheight, 21000);
  EXPECT_EQ(left, 2000);
  EXPECT_EQ(top, 1000);
  win::test::resetPrinters();
}

TEST_F(OnDesktop, ClipboardTextBothWaysWithXclip) {
  // Copied in the program: Windows-1252 with CR LF, read by xclip as UTF-8 with LF.
  const std::string copied = "Flow\tRain\r\n12.5\tcaf\xE9\r\n1\x96" "2\r\n";
  ASSERT_TRUE(win::OpenClipboard(nullptr));
  win::EmptyClipboard();
  win::HGLOBAL block = win::GlobalAlloc(win::GHND, copied.size() + 1);
  std::memcpy(win::GlobalLock(block), copied.c_str(), copied.size() + 1);
  win::GlobalUnlock(block);
  ASSERT_NE(win::SetClipboardData(win::CF_TEXT, block), nullptr);
  // A registered format travels under its name, its bytes as they are.
  const win::UINT cgm = win::RegisterClipboardFormat("Tessaraweld CGM");
  const std::string picture("BEGMF\0\x01\xFF", 8);
  win::HGLOBAL bytes = win::GlobalAlloc(win::GHND, picture.size());
  std::memcpy(win::GlobalLock(bytes), picture.data(), picture.size());
  win::GlobalUnlock(bytes);
  ASSERT_NE(win::SetClipboardData(cgm, bytes), nullptr);
  win::CloseClipboard();
  const fs::path out = dir / "out.txt";
  // xclip asks while the program serves the desktop from its message loop.
  // In the background, holding no pipe of ours: the program must keep serving meanwhile.
  ASSERT_EQ(std::system(("(xclip -selection clipboard -o > " + out.string() + ".part 2>/dev/null; mv " +
                         out.string() + ".part " + out.string() + ") </dev/null >/dev/null 2>&1 &").c_str()),
            0);
  EXPECT_TRUE(tw::test::pumpUntil([&] { return fs::exists(out); }, 15));
  EXPECT_EQ(slurp(out), "Flow\tRain\n12.5\tcaf\xC3\xA9\n1\xE2\x80\x93" "2\n");
  const fs::path picked = dir / "picture.bin";
  ASSERT_EQ(std::system(("(xclip -selection clipboard -t 'Tessaraweld CGM' -o > " + picked.string() + ".part 2>/dev/null; mv " +
                         picked.string() + ".part " + picked.string() + ") </dev/null >/dev/null 2>&1 &").c_str()),
            0);
  EXPECT_TRUE(tw::test::pumpUntil([&] { return fs::exists(picked); }, 15));
  EXPECT_EQ(slurp(picked), picture);

  // Put by xclip (LF lines, UTF-8 with "é" and "–"): pasted into an edit field as lines.
  std::ofstream(dir / "in.txt", std::ios::binary) << "Gauge 410730 \xC3\xA9t\xC3\xA9\n3\xE2\x80\x93" "4 ML/d\n";
  int status = 0;
  // xclip stays as the clipboard's owner; its output goes nowhere, so nothing waits on it.
  std::string pid = tw::test::runCommand("xclip -selection clipboard -i " + (dir / "in.txt").string() +
                                         " >/dev/null 2>&1 & echo $!", status);
  pid.erase(pid.find_last_not_of("\n ") + 1);
  ASSERT_FALSE(pid.empty());
  const std::string want = "Gauge 410730 \xE9t\xE9\r\n3\x96" "4 ML/d\r\n";
  std::string got;
  EXPECT_TRUE(tw::test::pumpUntil(
      [&] {
        if (!win::OpenClipboard(nullptr)) return false;
        got.clear();
        if (win::HGLOBAL h = win::GetClipboardData(win::CF_TEXT)) got = static_cast<const char*>(win::GlobalLock(h)), win::GlobalUnlock(h);
        win::CloseClipboard();
        return got == want;
      },
      15));
  EXPECT_EQ(got, want);
  win::RegisterDialogClasses();
  win::HWND edit = win::CreateWindowEx(0, "EDIT", "", win::WS_POPUP | win::ES_MULTILINE, 0, 0, 300, 100, nullptr,
                                       nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  win::SendMessage(edit, win::WM_PASTE, 0, 0);
  char text[256] = {};
  win::GetWindowText(edit, text, sizeof text);
  EXPECT_EQ(std::string(text), want);
  win::DestroyWindow(edit);
  tw::test::sh("kill " + pid);

  // Another program's data in a format the program registered comes in under that format.
  std::ofstream(dir / "picture.in", std::ios::binary) << "BEGMF from elsewhere";
  pid = tw::test::runCommand("xclip -selection clipboard -t 'Tessaraweld CGM' -i " + (dir / "picture.in").string() +
                                 " >/dev/null 2>&1 & echo $!",
                             status);
  pid.erase(pid.find_last_not_of("\n ") + 1);
  std::string taken;
  EXPECT_TRUE(tw::test::pumpUntil(
      [&] {
        if (!win::OpenClipboard(nullptr)) return false;
        taken.clear();
        if (win::HGLOBAL h = win::GetClipboardData(cgm))
          taken.assign(static_cast<const char*>(win::GlobalLock(h)), win::GlobalSize(h)), win::GlobalUnlock(h);
        const bool text = win::GetClipboardData(win::CF_TEXT) != nullptr;
        win::CloseClipboard();
        return !taken.empty() && !text;
      },
      15));
  EXPECT_EQ(taken, "BEGMF from elsewhere");
  tw::test::sh("kill " + pid);
}

TEST_F(OnDesktop, ColourAndFolderChoosersOfTheDesktop) {
  // GTK's colour chooser opens on the caller's colour with its editor; a colour typed in
  // its entry (Enter applies it) is taken with its Select button.
  const fs::path shot = dir / "colour.png";
  runUser(dir / "colour.sh", "d=$(wait_new '^Color$')\nsleep 1\nat $d\nxdotool key ctrl+a\n"
                             "xdotool type --delay 40 '#C86432'\nxdotool key Return\nsleep 0.5\n"
                             "import -window root " + shot.string() + "\ncp " + shot.string() + " " +
                             std::string(TW_SHOT_DIR) + "/colour_gtk.png\npress_from_corner $d 50 25\n"
                             "give_up '^Color$'\n");
  int red = 10, green = 20, blue = 30, result = -1, error = -1;
  yygetrgbdialog(red, green, blue, result, error);
  std::printf("user: %s\nscreenshot: %s/colour_gtk.png\n", slurp(dir / "colour.sh.log").c_str(), TW_SHOT_DIR);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(red, 200);
  EXPECT_EQ(green, 100);
  EXPECT_EQ(blue, 50);

  // GTK's folder chooser opens in the caller's directory; Select takes it.
  fs::create_directories(dir / "results" / "2024");
  runUser(dir / "folder.sh", "d=$(wait_new '^Folder for the results$')\nsleep 1\n"
                             "import -window root " + (dir / "folder.png").string() + "\ncp " + (dir / "folder.png").string() +
                             " " + std::string(TW_SHOT_DIR) + "/folder_gtk.png\npress_from_corner $d 50 25\n"
                             "give_up '^Folder for'\n");
  char buffer[300] = {};
  std::strcpy(buffer, (dir / "results" / "2024").c_str());
  int answer = 0;
  yyselectdir(1, answer, 0, buffer, "Folder for the results", sizeof buffer);
  std::printf("user: %s\n", slurp(dir / "folder.sh.log").c_str());
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(std::string(buffer), (dir / "results" / "2024").string());
}

// Copies a desktop target of the clipboard into a file with xclip, in the background while
// the program serves the request; true once the file is there.
bool fetched(const std::string& target, const fs::path& file) {
  const std::string part = file.string() + ".part";
  const std::string command = "(xclip -selection clipboard -t '" + target + "' -o > " + part + " 2>/dev/null; mv " + part +
                              " " + file.string() + ") </dev/null >/dev/null 2>&1 &";
  return std::system(command.c_str()) == 0 && tw::test::pumpUntil([&] { return fs::exists(file); }, 15);
}

TEST_F(OnDesktop, ClipboardPicturesTravelAsPngAndSvg) {
  // A bitmap copied in the program: a PNG of its pixels for the desktop.
  std::vector<unsigned char> bits(6 * 4 * 4, 0);
  for (std::size_t i = 0; i < bits.size(); i += 4) bits[i + 2] = 0xFF;   // red, rows B G R x
  bits[4 * (6 * 3 + 5) + 0] = 0xFF;   // bottom right blue
  bits[4 * (6 * 3 + 5) + 2] = 0;
  win::HBITMAP bitmap = win::CreateBitmap(6, 4, 1, 32, bits.data());
  ASSERT_TRUE(win::OpenClipboard(nullptr));
  win::EmptyClipboard();
  win::SetClipboardData(win::CF_BITMAP, reinterpret_cast<win::HGLOBAL>(bitmap));
  win::CloseClipboard();
  ASSERT_TRUE(fetched("image/png", dir / "bitmap.png"));
  cairo_surface_t* png = tw::test::loadPng((dir / "bitmap.png").string());
  ASSERT_NE(png, nullptr) << "not a PNG";
  EXPECT_EQ(cairo_image_surface_get_width(png), 6);
  EXPECT_EQ(cairo_image_surface_get_height(png), 4);
  EXPECT_EQ(tw::test::pixelAt(png, 0, 0), win::RGB(255, 0, 0));
  EXPECT_EQ(tw::test::pixelAt(png, 5, 3), win::RGB(0, 0, 255));
  cairo_surface_destroy(png);

  // A plot recorded as an enhanced metafile: drawn into the PNG at its frame's size.
  win::RECT frame{0, 0, 2540, 1270};   // 1 x 0.5 inch: 96 x 48 pixels
  win::HDC recorder = win::CreateEnhMetaFile(nullptr, nullptr, &frame, nullptr);
  win::HBRUSH blue = win::CreateSolidBrush(win::RGB(0, 0, 255));
  win::SelectObject(recorder, blue);
  win::Rectangle(recorder, 0, 0, 10, 10);
  win::HENHMETAFILE plot = win::CloseEnhMetaFile(recorder);
  win::DeleteObject(blue);
  ASSERT_TRUE(win::OpenClipboard(nullptr));
  win::EmptyClipboard();
  win::SetClipboardData(win::CF_ENHMETAFILE, reinterpret_cast<win::HGLOBAL>(plot));
  win::CloseClipboard();
  ASSERT_TRUE(fetched("image/png", dir / "plot.png"));
  png = tw::test::loadPng((dir / "plot.png").string());
  ASSERT_NE(png, nullptr) << "not a PNG";
  EXPECT_EQ(cairo_image_surface_get_width(png), 96);
  EXPECT_EQ(cairo_image_surface_get_height(png), 48);
  cairo_surface_destroy(png);
  // The same metafile as SVG: 72 x 36 points, the blue square a filled path.
  ASSERT_TRUE(fetched("image/svg+xml", dir / "plot.svg"));
  const std::string svg = slurp(dir / "plot.svg");
  EXPECT_NE(svg.find("width=\"72pt\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("height=\"36pt\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("fill:rgb(0%,0%,100%)"), std::string::npos) << "the blue fill\n" << svg;
  // Drawn as on a new device context: outlined with the black pen nobody chose.
  EXPECT_NE(svg.find("stroke:rgb(0%,0%,0%)"), std::string::npos) << "the default pen's outline\n" << svg;

  // An image put by another program comes in as a bitmap.
  ASSERT_TRUE(tw::test::sh("convert -size 5x3 xc:'rgb(0,128,0)' " + (dir / "green.png").string()));
  int status = 0;
  std::string pid = tw::test::runCommand("xclip -selection clipboard -t image/png -i " + (dir / "green.png").string() +
                                             " >/dev/null 2>&1 & echo $!",
                                         status);
  pid.erase(pid.find_last_not_of("\n ") + 1);
  win::HBITMAP pasted = nullptr;
  EXPECT_TRUE(tw::test::pumpUntil(
      [&] {
        if (!win::OpenClipboard(nullptr)) return false;
        pasted = reinterpret_cast<win::HBITMAP>(win::GetClipboardData(win::CF_BITMAP));
        win::BITMAP bm{};
        const bool there = pasted != nullptr && win::GetObject(pasted, sizeof bm, &bm) != 0 && bm.bmWidth == 5;
        if (there) {
          EXPECT_EQ(bm.bmHeight, 3);
          win::HDC dc = win::CreateCompatibleDC(nullptr);
          win::HGDIOBJ old = win::SelectObject(dc, pasted);
          EXPECT_EQ(win::GetPixel(dc, 2, 1), win::RGB(0, 128, 0));
          win::SelectObject(dc, old);
          win::DeleteDC(dc);
        }
        win::CloseClipboard();
        return there;
      },
      15));
  tw::test::sh("kill " + pid);
}

}  // namespace
