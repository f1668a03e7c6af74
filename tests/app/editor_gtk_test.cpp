// The text editor on a desktop, as a user would use it: the real program on a private Xvfb
// server (GTK backend) driven with xdotool. TarnWalker's Help > Browse text file opens a file
// chosen in GTK's file chooser; find and replace through the editor's modeless dialogs, typing,
// File > Save, File > Print onto the built-in PDF printer (pdftotext reads the page) and
// File > Exit. A small program of our own opens a rich-text editor with several buffers and a
// command line: bold and bullets, commands and their history, a second file opened and the
// buffers switched, Save. Screenshots are kept in the build folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/program_desktop.h"

namespace fs = std::filesystem;

namespace {

using tw::test::ProgramOnDesktop;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class EditorOnDesktop : public ProgramOnDesktop {
 protected:
  // The pixels of a screenshot in a rectangle that are near the colour (each channel within 40).
  static int pixels(const std::string& png, int x0, int y0, int x1, int y1, win::COLORREF colour) {
    cairo_surface_t* image = tw::test::loadPng(png);
    if (!image) return -1;
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        const win::COLORREF c = tw::test::pixelAt(image, x, y);
        bool near = true;
        for (int shift : {0, 8, 16}) near = near && std::abs(int((c >> shift) & 0xFF) - int((colour >> shift) & 0xFF)) <= 40;
        n += near;
      }
    cairo_surface_destroy(image);
    return n;
  }
  // Waits until the file holds the text (a save is written by the program's own loop).
  static bool waitFor(const fs::path& p, const std::string& text, int seconds = 10) {
    for (int i = 0; i < seconds * 10; ++i) {
      if (slurp(p).find(text) != std::string::npos) return true;
      ::usleep(100000);
    }
    return false;
  }
  // Prints the whole text with File > Print of the editor window; a print or page set-up dialog,
  // when one comes, is answered with Enter.
  void printThroughMenu(const std::string& editor, const std::string& pdf) {
    ASSERT_TRUE(keys(editor, "alt+f p"));
    for (int i = 0; i < 100 && !fs::exists(pdf); ++i) {
      int st = 0;
      const std::string found = tw::test::runCommand(
          "timeout 5 xdotool search --onlyvisible --name '^(Page Setup|Page set-up|Print)$' 2>/dev/null | head -1", st);
      if (!found.empty()) {
        const std::string dialog = found.substr(0, found.find('\n'));
        ::usleep(800000);
        shot("editor_print_setup");
        // Enter is its OK, also on the printer list that has the focus.
        ASSERT_TRUE(keys(dialog, "Return"));
        for (int k = 0; k < 50 && !fs::exists(pdf); ++k) ::usleep(100000);
        break;
      }
      ::usleep(100000);
    }
    for (int k = 0; k < 100 && !fs::exists(pdf); ++k) ::usleep(100000);
  }
};

TEST_F(EditorOnDesktop, BrowseTextFileFindReplaceSaveAndPrint) {
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  const fs::path notes = dir / "tarn-notes.txt";
  write(notes,
        "Tarn Beck at Low Bridge: notes on the gauge\n"
        "The Beck rose overnight after heavy rain on the fell.\n"
        "Daily mean flow 4.21 cumecs; baseflow about 1.3 cumecs.\n"
        "Rating checked against the Beck current meter gaugings.\n");
  const std::string main = startToMainWindow();
  ASSERT_FALSE(main.empty()) << "no about dialog or no main window after it";
  ::usleep(800000);

  // Help > Browse text file: GTK's chooser, the path typed into its location field.
  ASSERT_TRUE(keys(main, "alt+h b"));
  const std::string chooser = waitWindow("^Select file$");
  ASSERT_FALSE(chooser.empty()) << "no file chooser for Browse text file";
  ::usleep(1500000);
  ASSERT_TRUE(keys(chooser, "ctrl+l"));
  ASSERT_TRUE(type(notes.string()));
  ::usleep(500000);
  ASSERT_TRUE(keys(chooser, "Return"));
  // The editor: a window of its own over the main window, captioned with the file's path.
  const std::string editor = waitWindow("^Text Editor - \\[" + notes.string() + "\\]$");
  ASSERT_FALSE(editor.empty()) << "no editor window";
  const std::string opened = shot("editor_browse_opened");
  // Its white text area, with the text in black.
  EXPECT_GT(pixels(opened, 0, 100, 1024, 700, win::RGB(255, 255, 255)), 100000) << "no editor text area";

  // Search > Find: "rain" selected in the text.
  ASSERT_TRUE(keys(editor, "alt+s f"));
  const std::string find = waitWindow("^Find$");
  ASSERT_FALSE(find.empty()) << "no Find dialog";
  ::usleep(500000);
  ASSERT_TRUE(type("rain"));
  ASSERT_TRUE(keys(find, "Return"));
  // Enter is Find Next: the word is selected, in the highlight colour.
  EXPECT_GT(pixels(shot("editor_find"), 104, 98, 920, 180, win::RGB(0, 0, 128)), 100) << "no match selected";
  ASSERT_TRUE(keys(find, "Escape"));

  // Search > Replace: every "Beck" becomes "Gill" by Replace All, which ends with its notice.
  ASSERT_TRUE(keys(editor, "alt+s r"));
  const std::string replace = waitWindow("^Replace$");
  ASSERT_FALSE(replace.empty()) << "no Replace dialog";
  ::usleep(500000);
  ASSERT_TRUE(keys(replace, "alt+n ctrl+a"));
  ASSERT_TRUE(type("Beck"));
  ASSERT_TRUE(keys(replace, "alt+p"));
  ASSERT_TRUE(type("Gill"));
  shot("editor_replace_dialog");
  ASSERT_TRUE(keys(replace, "alt+a"));
  ASSERT_TRUE(answer("^Find$", "Return", "editor_replace_done")) << "no End of text notice";
  ::usleep(300000);
  ASSERT_TRUE(keys(replace, "Escape"));

  // A line typed at the end, then File > Save.
  ASSERT_TRUE(keys(editor, "ctrl+End"));
  ASSERT_TRUE(type("Checked on the desktop."));
  ASSERT_TRUE(keys(editor, "alt+f s"));
  ASSERT_TRUE(waitFor(notes, "Checked on the desktop.")) << slurp(notes);
  shot("editor_saved");
  const std::string saved = slurp(notes);
  EXPECT_EQ(count(saved, "Gill"), 3u) << saved;
  EXPECT_EQ(count(saved, "Beck"), 0u) << saved;
  EXPECT_NE(saved.find("Daily mean flow 4.21 cumecs"), std::string::npos) << saved;

  // File > Print onto the built-in PDF printer, the job named after the file.
  const std::string pdf = notes.string() + ".pdf";
  printThroughMenu(editor, pdf);
  ASSERT_TRUE(fs::exists(pdf)) << "no PDF printed";
  const std::string printed = hc::run("pdftotext -layout '" + pdf + "' -").output;
  EXPECT_NE(printed.find("Tarn Gill at Low Bridge: notes on the gauge"), std::string::npos) << printed;
  EXPECT_NE(printed.find("Rating checked against the Gill current meter gaugings."), std::string::npos) << printed;
  EXPECT_NE(printed.find("Checked on the desktop."), std::string::npos) << printed;

  // File > Exit of the editor closes it (nothing unsaved); then the program's own Exit.
  ASSERT_TRUE(keys(editor, "alt+f x"));
  ::usleep(800000);
  shot("editor_closed");
  EXPECT_TRUE(waitWindow("^Text Editor", "", 1).empty()) << "the editor is still open";
  ASSERT_TRUE(keys(main, "alt+f e"));
  for (int i = 0; i < 150 && !ended(); ++i) ::usleep(100000);
  ASSERT_TRUE(ended()) << "the program did not end after Exit";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// A program of our own around a rich-text editor with several buffers and a command line with
// history (tests/app/editor_desktop_program.cpp), used as a person would.
TEST_F(EditorOnDesktop, RichTextCommandLineAndBuffers) {
  const fs::path notes = dir / "notes.rtf", gauges = dir / "gauges.txt";
  write(notes,
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs22 Tarn Beck daily notes\\par "
        "Rain gauge read at nine\\par Snow gauge empty\\par Flow steady at the weir\\par}");
  write(gauges, "Second file: gauge list\r\n410001 Tarn Beck\r\n");
  startProgram(TW_EDITOR_PROGRAM);
  const std::string editor = waitWindow("^Text Editor - \\[" + notes.string() + "\\]$");
  ASSERT_FALSE(editor.empty()) << "no editor window";
  ::usleep(500000);
  // The toolbar's format buttons from the program's bitmap: the blue bullets of the last one.
  const std::string opened = shot("editor_rich_opened");
  int st = 0;
  std::istringstream geometry(tw::test::runCommand("xdotool getwindowgeometry --shell " + editor, st));
  int x = 0, y = 0;
  for (std::string l; std::getline(geometry, l);) {
    if (l.rfind("X=", 0) == 0) x = std::stoi(l.substr(2));
    if (l.rfind("Y=", 0) == 0) y = std::stoi(l.substr(2));
  }
  EXPECT_GT(pixels(opened, x + 400, y + 42, x + 430, y + 62, win::RGB(0, 0, 128)), 6) << "no Bullets button";

  // Commands: each reaches the program; Up finds the last one beginning with the text typed,
  // F4 shows the history, newest first.
  ASSERT_TRUE(keys(editor, "p"));
  ASSERT_TRUE(type("lot flow"));
  ASSERT_TRUE(keys(editor, "Return"));
  ASSERT_TRUE(type("plot rain"));
  ASSERT_TRUE(keys(editor, "Return"));
  ASSERT_TRUE(type("plot f"));
  ASSERT_TRUE(keys(editor, "Up"));
  shot("editor_rich_history_up");
  ASSERT_TRUE(keys(editor, "Return"));
  ASSERT_TRUE(keys(editor, "F4"));
  shot("editor_rich_history_list");
  ASSERT_TRUE(keys(editor, "Escape"));
  std::vector<std::string> commands;
  for (int i = 0; i < 50; ++i) {
    commands.clear();
    for (const std::string& l : tw::test::lines(dir / "program.log"))
      if (l.rfind("command: ", 0) == 0) commands.push_back(l.substr(9));
    if (commands.size() >= 3) break;
    ::usleep(100000);
  }
  EXPECT_EQ(commands, (std::vector<std::string>{"plot flow", "plot rain", "plot flow"}));

  // Tab to the text: the first line made bold with the toolbar's Bold button and centred from
  // the Format menu, the second and third lines bulleted with Format > Bullet Style.
  ASSERT_TRUE(keys(editor, "Tab ctrl+Home shift+End"));
  ASSERT_TRUE(tw::test::sh("xdotool mousemove " + std::to_string(x + 266) + " " + std::to_string(y + 52) + " click 1"));
  ASSERT_TRUE(keys(editor, "alt+o c"));
  ASSERT_TRUE(keys(editor, "ctrl+Home Down Home shift+Down shift+End"));
  ASSERT_TRUE(keys(editor, "alt+o b"));
  shot("editor_rich_formatted");
  // The bold first line copied and pasted as a new last line: it comes with its bold.
  ASSERT_TRUE(keys(editor, "ctrl+Home shift+End ctrl+c ctrl+End Return ctrl+v"));
  const std::string pasted = shot("editor_rich_pasted");
  EXPECT_GT(pixels(pasted, x + 8, y + 120, x + 300, y + 136, win::RGB(0, 0, 0)), 150) << "no pasted line";

  // File > Save: the RTF holds the formats.
  ASSERT_TRUE(keys(editor, "alt+f s"));
  ASSERT_TRUE(waitFor(notes, "\\ls1"));
  const std::string rtf = slurp(notes);
  EXPECT_NE(rtf.find("\\qc \\b Tarn Beck daily notes"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("Rain gauge read at nine"), std::string::npos) << rtf;
  EXPECT_EQ(count(rtf, "{\\listtext"), 2u) << rtf;
  // The pasted line last, bold, in a paragraph of its own that is neither centred nor bulleted.
  const std::size_t last = rtf.find("\\pard \\b Tarn Beck daily notes\\par");
  EXPECT_NE(last, std::string::npos) << rtf;
  EXPECT_GT(last, rtf.find("Flow steady at the weir")) << rtf;

  // File > Open a second file into a buffer of its own; View shows both; buffer 1 again.
  ASSERT_TRUE(keys(editor, "alt+f o"));
  const std::string chooser = waitWindow("^Open$");
  ASSERT_FALSE(chooser.empty()) << "no file chooser for Open";
  ::usleep(1500000);
  ASSERT_TRUE(keys(chooser, "ctrl+l"));
  ASSERT_TRUE(type(gauges.string()));
  ::usleep(500000);
  ASSERT_TRUE(keys(chooser, "Return"));
  ASSERT_FALSE(waitWindow("^Text Editor - \\[" + gauges.string() + "\\]$").empty()) << "the second file did not open";
  ASSERT_TRUE(keys(editor, "alt+v"));
  shot("editor_rich_view_menu");
  ASSERT_TRUE(keys(editor, "1"));
  ASSERT_FALSE(waitWindow("^Text Editor - \\[" + notes.string() + "\\]$").empty()) << "buffer 1 did not come back";
  // Its formats came back with it: the first line's ink in the middle (centred), bullets
  // before the next two lines.
  const std::string back = shot("editor_rich_buffer1_again");
  EXPECT_LT(pixels(back, x + 8, y + 68, x + 300, y + 84, win::RGB(0, 0, 0)), 5) << "first line not centred";
  EXPECT_GT(pixels(back, x + 300, y + 68, x + 520, y + 84, win::RGB(0, 0, 0)), 150) << "no centred first line";
  EXPECT_GT(pixels(back, x + 10, y + 88, x + 22, y + 118, win::RGB(0, 0, 0)), 6) << "no bullets";

  // File > Exit: nothing unsaved, so the editor closes and the program ends.
  ASSERT_TRUE(keys(editor, "alt+f x"));
  for (int i = 0; i < 100 && !ended(); ++i) ::usleep(100000);
  ASSERT_TRUE(ended()) << "the program did not end";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
