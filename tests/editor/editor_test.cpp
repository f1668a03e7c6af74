// The text editor window: a file opened in a modeless child window, its text, caption, status parts and menus; typing, saving (the old file kept when the save fails), the close question answered Yes, No and Cancel; find; several buffers switched; the programming interface's positions and texts.
#include "toolkit/editor/editor.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/combobox.h"
#include "platform/menu.h"
#include "platform/menu_toolbar.h"
#include "platform/message_box.h"
#include "platform/richedit.h"
#include "platform/statusbar.h"
#include "platform/printer.h"
#include "tests/hardcopy/driver_files.h"
#include "tests/editor/editor_window_fixture.h"
#include "tests/screen/screen_fixture.h"
#include "tests/support/menu_driving.h"
#include "tests/support/scripted_user.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/editor/startup_editor.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/geometry.h"

namespace {

using namespace win;

std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Editor : public twtest::EditorWindowFixture {
 protected:
  Editor() : EditorWindowFixture("tw_editor_") {}
  static std::string caption(int w) {
    char text[512] = {};
    GetWindowText(winslot(w).wWindow, text, sizeof text);
    return text;
  }
  static std::string status(int w, int part) {
    char text[256] = {};
    SendMessage(winslot(w).wMessLine, SB_GETTEXT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
  }
  static std::string text() {
    int result = -1;
    std::string t;
    yyeditgettext(result, 1 << 20, t);
    return t;
  }
  static int nextevent(MessageRecord& m) {
    int type = 0;
    for (int k = 0; k < 6; ++k) {
      wmessage(type, m);
      if (type == EV_CLOSE || type == EV_COMMAND) return type;
    }
    return type;
  }
};

TEST_F(Editor, BrowseOpensAFileWithMenusCaptionAndStatus) {
  const int w = child();
  const std::string path = file("flows.txt", "Gauge 410001\r\nDaily flow\r\n");
  WEditFile(path, {.mode = 2, .menu = 0, .options = 34, .fonttype = 1});
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(text(), "Gauge 410001\r\nDaily flow\r\n");
  EXPECT_EQ(caption(w), "Text Editor - [" + path + "]");
  EXPECT_EQ(status(w, 0), "Line:1   Col:1");
  EXPECT_EQ(status(w, 3), "\tINS");
  HMENU bar = winslot(w).hMenuRoot;
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 3) << "File, Edit and Search; no Format, no View";
  char name[64] = {};
  GetMenuString(bar, 2, name, sizeof name, MF_BYPOSITION);
  EXPECT_STREQ(name, "&Search");

  // A file that must exist and does not: error 1, nothing opens.
  const int other = child();
  WEditFile((dir / "missing.txt").string(), {.options = 2});
  EXPECT_EQ(tessar.error.LASTERROR, 1);
  EXPECT_EQ(record(other), nullptr);
}

TEST_F(Editor, PositionsCountLineEndsTwice) {
  child();
  WEditFile("", {});
  int result = -1;
  yyeditputtext(result, "ab\r\ncd");
  ASSERT_EQ(result, 0);
  int value = 0;
  yyeditinfo(wIndex, 2, value);
  EXPECT_EQ(value, 6);
  int start = 4;
  yyeditselect(start, 5);
  yyeditinfo(wIndex, 4, value);
  EXPECT_EQ(value, 5) << "the c, 1-based";
  std::string part;
  start = 3;
  yyeditgettextpart(start, 3, part);
  EXPECT_EQ(part, "\ncd");
  std::string three;
  yyeditgettext(result, 4, three);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(three, "ab\r");
  start = 2;
  yyeditputtextpart(start, 4, " ");
  EXPECT_EQ(text(), "ab cd") << "the line end replaced";
}

TEST_F(Editor, SaveReplacesTheFileAndAFailedSaveKeepsIt) {
  const int w = child();
  const std::string path = file("notes.txt", "old\r\n");
  WEditFile(path, {.options = 128});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  SetFocus(r->control);
  SendMessage(r->control, EM_SETSEL, 0, 0);
  test::typeText("new ");
  test::runUntilIdle();
  EXPECT_EQ(caption(w), "Text Editor - [" + path + " *]") << "the modified mark";
  PostMessage(winslot(w).wWindow, WM_COMMAND, ED_SAVE, 0);
  MessageRecord m;
  EXPECT_EQ(nextevent(m), EV_COMMAND) << "the program hears of the save";
  EXPECT_EQ(m.value1, ED_SAVE);
  EXPECT_EQ(slurp(path), "new old\r\n");
  EXPECT_EQ(caption(w), "Text Editor - [" + path + "]");

  // The folder made read-only: the save fails with a message naming the cause and the old
  // file stays whole. The super-user may write anyway (CI runs as one), so a child process
  // that is no super-user saves.
  test::typeText("x");
  test::runUntilIdle();  // typed into the text, not into the box that comes
  ASSERT_NE(SendMessage(r->control, EM_GETMODIFY, 0, 0), 0);
  namespace fs = std::filesystem;
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                           fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  const pid_t child = ::fork();
  if (child == 0) {
    const struct passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() == 0 && (nobody == nullptr || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                             ::setuid(nobody->pw_uid) != 0))
      ::_exit(64);
    test::clearMessageBoxes();
    test::answerNextMessageBoxWithClick(IDOK);
    SendMessage(winslot(w).wWindow, WM_COMMAND, ED_SAVE, 0);
    int failed = 0;
    if (slurp(path) != "new old\r\n") failed |= 1;
    const auto& boxes = test::messageBoxes();
    if (boxes.size() != 1 || boxes.back().title != "Open Error") failed |= 2;
    if (!boxes.empty()) std::fprintf(stderr, "box: %s: %s\n", boxes.back().title.c_str(), boxes.back().text.c_str());
    if (boxes.empty() || boxes.back().text != "Permission denied") failed |= 4;
    if (SendMessage(r->control, EM_GETMODIFY, 0, 0) == 0) failed |= 8;
    ::_exit(failed);
  }
  ASSERT_GT(child, 0);
  int status = -1;
  ::waitpid(child, &status, 0);
  fs::permissions(dir, fs::perms::owner_all);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 64) << "no unprivileged user to save as";
  EXPECT_EQ(WEXITSTATUS(status) & 1, 0) << "the old file stays whole";
  EXPECT_EQ(WEXITSTATUS(status) & 2, 0) << "one box, titled Open Error";
  EXPECT_EQ(WEXITSTATUS(status) & 4, 0) << "the box names the cause: Permission denied";
  EXPECT_EQ(WEXITSTATUS(status) & 8, 0) << "still unsaved";
}

TEST_F(Editor, TheCloseQuestion) {
  const int w = child();
  const std::string path = file("q.txt", "text");
  WEditFile(path, {});
  EditorRecord* r = record(w);
  SetFocus(r->control);
  test::typeText("more ");
  test::runUntilIdle();
  MessageRecord m;

  test::answerNextMessageBoxWithClick(IDCANCEL);
  PostMessage(winslot(w).wWindow, WM_CLOSE, 0, 0);
  test::runUntilIdle();
  ASSERT_EQ(test::messageBoxes().size(), 1u);
  EXPECT_EQ(test::messageBoxes().back().text, "Do you want to save changes to " + path + "?");
  EXPECT_EQ(slurp(path), "text");

  test::answerNextMessageBoxWithClick(IDNO);
  PostMessage(winslot(w).wWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(nextevent(m), EV_CLOSE);
  EXPECT_EQ(slurp(path), "text") << "No keeps the file";

  test::answerNextMessageBoxWithClick(IDYES);
  PostMessage(winslot(w).wWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(nextevent(m), EV_CLOSE);
  EXPECT_EQ(slurp(path), "more text");
}

TEST_F(Editor, FindSelectsTheNextMatch) {
  const int w = child();
  WEditFile(file("f.txt", "Baseflow index\r\nbaseflow again\r\n"), {});
  EditorRecord* r = record(w);
  std::strcpy(r->findbuffer.data(), "flow");
  r->find.Flags = FR_DOWN;
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_FINDNEXT, 0);
  DWORD s = 0, e = 0;
  SendMessage(r->control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, 4u);
  EXPECT_EQ(e, 8u);
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_FINDNEXT, 0);
  SendMessage(r->control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, 19u) << "in the second line (one control character per line end)";
  test::answerNextMessageBoxWithClick(IDOK);
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_FINDNEXT, 0);
  ASSERT_FALSE(test::messageBoxes().empty());
  EXPECT_EQ(test::messageBoxes().back().text, "End of text reached");
}

TEST_F(Editor, SeveralBuffersKeepTheirTexts) {
  const int w = child();
  const std::string a = file("a.txt", "first"), b = file("b.txt", "second");
  WEditFile(a, {.options = 16384});
  WEditFile(b, {.options = 16384});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->count, 2);
  EXPECT_EQ(r->current, 2);
  EXPECT_EQ(text(), "second");
  char entry[300] = {};
  GetMenuString(r->view, 1, entry, sizeof entry, MF_BYPOSITION);
  EXPECT_EQ(std::string(entry), "&2\t" + b);
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_VIEW + 1, 0);
  EXPECT_EQ(r->current, 1);
  EXPECT_EQ(text(), "first");
  EXPECT_EQ(caption(w), "Text Editor - [" + a + "]");
  WEditFile(b, {.options = 16384});
  EXPECT_EQ(r->current, 2) << "a file already open is switched to, not read again";
  EXPECT_EQ(r->count, 2);
  int result = -1;
  yyeditselectbuffer(1, result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(text(), "first");
  yyeditselectbuffer(3, result);
  EXPECT_EQ(result, 2);
}

}  // namespace

namespace {

// The command line with history: Enter raises event 14 and keeps one line per command,
// Up walks back through them, Esc clears the line.
TEST_F(Editor, CommandLineAndHistory) {
  const int w = child();
  wmessageenable(EV_COMMANDLINE, 1);
  WEditFile("", {.options = 16});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  ASSERT_NE(r->commandline, nullptr);
  EXPECT_EQ(GetFocus(), r->commandedit) << "the command line has the focus";
  int result = -1;
  yyeditprompt(result, "Command:");
  EXPECT_EQ(result, 0);
  MessageRecord m;
  auto enter = [&](const std::string& line) {
    test::typeText(line + "\n");
    int type = 0;
    for (int k = 0; k < 6 && type != EV_COMMANDLINE; ++k) wmessage(type, m);
    return type;
  };
  EXPECT_EQ(enter("plot flow"), EV_COMMANDLINE);
  std::string got;
  yyeditgetcommand(result, got, 100);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(got, "plot flow");
  SetWindowText(r->commandedit, "");
  EXPECT_EQ(enter("plot rain"), EV_COMMANDLINE);
  SetWindowText(r->commandedit, "");
  EXPECT_EQ(enter("plot rain"), EV_COMMANDLINE);
  SetWindowText(r->commandedit, "");
  EXPECT_EQ(enter("   "), EV_COMMANDLINE) << "a blank line still reaches the program";
  std::string line;
  yyeditgethistory(0, line);
  EXPECT_EQ(line, "plot rain");
  yyeditgethistory(1, line);
  EXPECT_EQ(line, "plot flow");
  EXPECT_EQ(SendMessage(r->commandline, CB_GETCOUNT, 0, 0), 2) << "repeats and blanks add nothing";
  SetWindowText(r->commandedit, "plot");
  yyeditgetcommand(result, got, 4);
  EXPECT_EQ(result, 2) << "cut to the room given";
  EXPECT_EQ(got, "plo");

  SetWindowText(r->commandedit, "plot f");
  test::pressKey(VK_UP);
  test::runUntilIdle();
  yyeditgetcommand(result, got, 100);
  EXPECT_EQ(got, "plot flow") << "Up finds the line beginning with the text";
  test::pressKey(VK_ESCAPE);
  test::runUntilIdle();
  yyeditgetcommand(result, got, 100);
  EXPECT_EQ(got, "");
  // Alt+Down drops the history list (and the Alt let go opens no menu over it); Esc closes it.
  test::pressKey(VK_DOWN, test::kAlt);
  test::runUntilIdle();
  EXPECT_NE(SendMessage(r->commandline, CB_GETDROPPEDSTATE, 0, 0), 0);
  test::pressKey(VK_ESCAPE);
  test::runUntilIdle();
  EXPECT_EQ(SendMessage(r->commandline, CB_GETDROPPEDSTATE, 0, 0), 0);

  yyeditclearhistory(result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(SendMessage(r->commandline, CB_GETCOUNT, 0, 0), 0);
  yyeditcheckhistory(result);
  EXPECT_EQ(result, 0);

  // A modal editor has no command line: 1033.
  wIndex = 0;
  yyeditcheckhistory(result);
  EXPECT_EQ(result, 1) << "the root window is no editor";
}

}  // namespace

namespace {

// Saving an untitled text asks for a name in the save dialog; Open loads a file chosen in the
// open dialog. Both answered by typing as a user would.
TEST_F(Editor, SaveAsAndOpenThroughTheFileDialogs) {
  const int w = child();
  WEditFile("", {});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  SetFocus(r->control);
  test::typeText("untitled text");
  test::runUntilIdle();
  const std::string target = (dir / "named.txt").string();
  int step = 0;
  test::setIdleHook([&] {
    if (step++ == 0) test::typeText(target + "\n");
    else test::pressKey(VK_ESCAPE);
  });
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_SAVE, 0);
  test::setIdleHook(nullptr);
  EXPECT_EQ(slurp(target), "untitled text");
  EXPECT_EQ(r->filename, target);
  EXPECT_EQ(caption(w), "Text Editor - [" + target + "]");

  const std::string other = file("other.txt", "from the dialog");
  step = 0;
  test::setIdleHook([&] {
    if (step++ == 0) test::typeText(other + "\n");
    else test::pressKey(VK_ESCAPE);
  });
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_OPEN, 0);
  test::setIdleHook(nullptr);
  EXPECT_EQ(text(), "from the dialog");
  EXPECT_EQ(r->filename, other);
}

}  // namespace

namespace {

std::string run(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
  }
  return out;
}

void clickon(HWND control) {
  RECT rc;
  GetWindowRect(control, rc);
  test::click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  test::runUntilIdle();
}

void keys(int vk, unsigned modifiers = 0, int times = 1) {
  for (int k = 0; k < times; ++k) test::pressKey(vk, modifiers);
  test::runUntilIdle();
}

// A menu item chosen by its mnemonics: Alt with the bar item's letter, then the item's.
void menu(char bar, char item, std::deque<tw::test::Step> then = {}) {
  then.push_front([item] { test::pressKey(item); });
  tw::test::scriptuser(std::move(then));
  test::pressKey(bar, test::kAlt);
  test::runUntilIdle();
  test::setIdleHook(nullptr);
}

bool boldat(HWND control, LONG a, LONG b) {
  SendMessage(control, EM_SETSEL, static_cast<WPARAM>(a), b);
  CHARFORMAT cf;
  cf.dwMask = CFM_BOLD;
  SendMessage(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  return (cf.dwMask & CFM_BOLD) != 0 && (cf.dwEffects & CFE_BOLD) != 0;
}

bool bulletat(HWND control, LONG a) {
  SendMessage(control, EM_SETSEL, static_cast<WPARAM>(a), a);
  PARAFORMAT pf;
  SendMessage(control, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  return pf.wNumbering == PFN_BULLET;
}

// A rich-text editor with several buffers and a command line, used as a person would with
// keys and clicks: a command entered, words replaced in the Replace dialog, a name made bold
// in the Font dialog, two lines made bullets, the text saved as RTF (which pandoc reads with
// its formats), a LibreOffice document opened beside it and the buffers switched.
TEST_F(Editor, RichTextAsAUserWould) {
  const int w = child();
  MoveWindow(winslot(w).wWindow, 20, 20, 560, 330, TRUE);
  wmessageenable(EV_COMMANDLINE, 1);
  const std::string notes = file("notes.txt", "Daily flow at Tarn Beck\r\nRain gauge\r\nSnow gauge\r\n");
  WEditFile(notes, {.options = EO_RICHTEXT | EO_BUFFERS | EO_HISTORY, .fonttype = 3, .fontsize = 11});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  HMENU bar = winslot(w).hMenuRoot;
  ASSERT_EQ(GetMenuItemCount(bar), 5);
  char name[64] = {};
  GetMenuString(bar, 3, name, sizeof name, MF_BYPOSITION);
  EXPECT_STREQ(name, "F&ormat");
  GetMenuString(bar, 4, name, sizeof name, MF_BYPOSITION);
  EXPECT_STREQ(name, "&View");

  // A command, then Tab to the text.
  test::typeText("plot flow\n");
  MessageRecord m;
  int type = 0;
  for (int k = 0; k < 6 && type != EV_COMMANDLINE; ++k) wmessage(type, m);
  EXPECT_EQ(type, EV_COMMANDLINE);
  std::string line;
  yyeditgethistory(0, line);
  EXPECT_EQ(line, "plot flow");
  keys(VK_TAB);
  ASSERT_EQ(GetFocus(), r->control);

  // Search, Replace: both words replaced with Replace All.
  menu('S', 'R');
  ASSERT_NE(r->finddialog, nullptr);
  clickon(GetDlgItem(r->finddialog, kFrFindEdit));
  test::typeText("gauge");
  clickon(GetDlgItem(r->finddialog, kFrReplaceEdit));
  test::typeText("station");
  test::runUntilIdle();
  test::answerNextMessageBoxWithClick(IDOK);
  clickon(GetDlgItem(r->finddialog, kFrReplaceAllButton));
  ASSERT_FALSE(test::messageBoxes().empty());
  EXPECT_EQ(test::messageBoxes().back().text, "End of text reached");
  clickon(GetDlgItem(r->finddialog, IDCANCEL));
  EXPECT_EQ(r->finddialog, nullptr);
  EXPECT_EQ(text(), "Daily flow at Tarn Beck\r\nRain station\r\nSnow station\r\n");

  // "Tarn Beck" made bold in the Font dialog: its style list, Down twice from Regular.
  SetFocus(r->control);
  keys(VK_HOME, test::kCtrl);
  keys(VK_RIGHT, test::kCtrl, 3);
  keys(VK_END, test::kShift);
  const std::string dialogPicture = ::testing::TempDir() + "editor_font_dialog.png";
  bool fontDialogSeen = false;
  menu('O', 'F', {[] { test::pressKey('Y', test::kAlt); }, [] { test::pressKey(VK_DOWN); },
                  [] { test::pressKey(VK_DOWN); },
                  [&] {
                    for (const test::TopLevel& t : test::topLevelWindows())
                      if (t.visible && t.title == "Font") fontDialogSeen = test::savePng(t.hwnd, dialogPicture);
                    test::pressKey(VK_RETURN);
                  }});
  EXPECT_TRUE(fontDialogSeen);
  EXPECT_TRUE(boldat(r->control, 14, 23));
  EXPECT_FALSE(boldat(r->control, 0, 14));
  // The two gauge lines become bullets.
  SetFocus(r->control);
  keys(VK_HOME, test::kCtrl);
  keys(VK_DOWN);
  keys(VK_DOWN, test::kShift);
  menu('O', 'B');
  EXPECT_FALSE(bulletat(r->control, 0));
  EXPECT_TRUE(bulletat(r->control, 25));
  EXPECT_TRUE(bulletat(r->control, 38));
  UINT state = GetMenuState(r->format, ED_BULLET, MF_BYCOMMAND);
  EXPECT_TRUE(state & MF_CHECKED) << "Bullet Style marks a bulleted selection";

  const std::string picture = ::testing::TempDir() + "editor_rich_text.png";
  test::runUntilIdle();
  EXPECT_TRUE(test::savePng(winslot(w).wWindow, picture));

  // File, Save As with an .rtf name: written as RTF.
  const std::string saved = (dir / "notes.rtf").string();
  menu('F', 'A', {[saved] { test::typeText(saved + "\n"); }});
  EXPECT_EQ(r->filename, saved);
  const std::string rtf = slurp(saved);
  ASSERT_EQ(rtf.rfind("{\\rtf1", 0), 0u) << rtf.substr(0, 200);
  ASSERT_TRUE(tw::test::needtool("pandoc", "pandoc"));
  const std::string md = run("pandoc -f rtf -t markdown --wrap=none " + saved);
  EXPECT_NE(md.find("Daily flow at **Tarn Beck**"), std::string::npos) << md;
  EXPECT_NE(md.find("-   Rain station\n\n-   Snow station"), std::string::npos) << md;

  // File, Open: LibreOffice's RTF in a second buffer; View, 1 brings the notes back with
  // their formats.
  const std::string office = (dir / "office.rtf").string();
  std::filesystem::copy_file(TW_SOURCE_DIR "/tests/fixtures/richedit-libreoffice-formats.rtf", office);
  menu('F', 'O', {[office] { test::typeText(office + "\n"); }});
  EXPECT_EQ(r->count, 2);
  EXPECT_EQ(r->current, 2);
  EXPECT_EQ(text().substr(0, 34), "Flow at Tarn Beck and italic text.");
  EXPECT_TRUE(boldat(r->control, 8, 17));
  EXPECT_TRUE(bulletat(r->control, 36));
  menu('V', '1');
  EXPECT_EQ(r->current, 1);
  EXPECT_EQ(text(), "Daily flow at Tarn Beck\r\nRain station\r\nSnow station\r\n");
  EXPECT_TRUE(boldat(r->control, 14, 23));
  EXPECT_TRUE(bulletat(r->control, 25));
  EXPECT_EQ(caption(w), "Text Editor - [" + saved + "]");
}

// The modeless find dialog of a modeless editor takes its keys in the program's own event
// loop: Enter finds the next match, Alt with a mnemonic reaches a field, Esc closes it.
TEST_F(Editor, TheFindDialogTakesItsKeysInTheProgramsEventLoop) {
  const int w = child();
  WEditFile(file("f.txt", "Baseflow index\r\nbaseflow again\r\n"), {});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  SetFocus(r->control);
  menu('S', 'F');
  ASSERT_NE(r->finddialog, nullptr);
  // Only the toolkit's event pump between the keys and the dialog.
  auto pump = [] {
    int type = 0, v1 = 0, v2 = 0, v3 = 0, v4 = 0, x = 0, y = 0, window = 0, time = 0;
    for (int k = 0; k < 200; ++k) {
      yydispatchpeekmessage(type, v1, v2, v3, v4, x, y, window, time);
      if (type == -1) break;
    }
  };
  test::typeText("again");
  pump();
  test::pressKey(VK_RETURN);
  pump();
  DWORD s = 0, e = 0;
  SendMessage(r->control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, 24u) << "Enter is the dialog's Find Next";
  EXPECT_EQ(e, 29u);
  test::pressKey('C', test::kAlt);
  pump();
  EXPECT_EQ(SendMessage(GetDlgItem(r->finddialog, kFrMatchCase), BM_GETCHECK, 0, 0), BST_CHECKED)
      << "Alt+C ticks Match case";
  test::pressKey(VK_ESCAPE);
  pump();
  EXPECT_EQ(r->finddialog, nullptr) << "Esc is the dialog's Cancel";
  EXPECT_EQ(r->word[ED_FINDDIALOG], 0);
}

// A plain-text file that starts like RTF stays text in a rich-text editor; an .RTF name in
// capitals is RTF; the programming interface formats ranges and refuses plain editors.
TEST_F(Editor, RtfFilesAndTheFormattingRoutines) {
  const int w = child();
  const std::string literal = file("codes.txt", "{\\rtf1 not read}");
  WEditFile(literal, {.options = EO_RICHTEXT});
  EXPECT_EQ(text(), "{\\rtf1 not read}");
  const std::string upper = file("REPORT.RTF", "{\\rtf1 Flow {\\b high}\\par}");
  WEditFile(upper, {.options = EO_RICHTEXT});
  EXPECT_EQ(text(), "Flow high");
  EditorRecord* r = record(w);
  EXPECT_TRUE(boldat(r->control, 5, 9));
  int result = 1;
  yyeditformattext(result, 1, 4, 1, -1, -1, -1, 20, 255, -2, "");
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(boldat(r->control, 0, 4));
  CHARFORMAT cf;
  SendMessage(r->control, EM_SETSEL, 0, 4);
  SendMessage(r->control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  EXPECT_EQ(cf.yHeight, 400);
  EXPECT_EQ(cf.crTextColor, RGB(255, 0, 0));
  yyeditformatpara(result, 1, 2, 1, 1);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(bulletat(r->control, 0));
  SendMessage(r->control, EM_SETSEL, 0, 0);
  PARAFORMAT pf;
  SendMessage(r->control, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  EXPECT_EQ(pf.wAlignment, PFA_CENTER);
  // Save keeps it RTF; New resets text and format.
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_SAVE, 0);
  EXPECT_EQ(slurp(upper).rfind("{\\rtf1", 0), 0u);
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_NEW, 0);
  EXPECT_EQ(text(), "");
  EXPECT_FALSE(bulletat(r->control, 0));

  child();
  WEditFile("", {});
  yyeditformattext(result, 1, 1, 1, -1, -1, -1, -1, -2, -2, "");
  EXPECT_EQ(result, -2) << "no rich text";
  wIndex = 0;
  yyeditformatpara(result, 1, 1, 1, -1);
  EXPECT_EQ(result, -1) << "no editor";
}

}  // namespace

namespace {

// Whether another program could take the file for writing (a write lock on it).
bool writable(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR);
  if (fd < 0) return false;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  const bool ok = fcntl(fd, F_OFD_SETLK, &lock) == 0;
  ::close(fd);
  return ok;
}

// A file stays locked against writers while it is in an editor, also across a save; closing
// its buffer or the window releases it; a read-only viewer keeps no lock; a file another
// program holds for writing does not open.
TEST_F(Editor, FilesAreLockedWhileInTheEditor) {
  const int w = child();
  const std::string path = file("locked.txt", "kept");
  EXPECT_TRUE(writable(path));
  WEditFile(path, {.options = EO_BUFFERS});
  EXPECT_FALSE(writable(path));
  EditorRecord* r = record(w);
  SetFocus(r->control);
  test::typeText("more ");
  test::runUntilIdle();
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_SAVE, 0);
  EXPECT_EQ(slurp(path), "more kept");
  EXPECT_FALSE(writable(path)) << "locked again after the save";
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_NEW, 0);
  EXPECT_EQ(r->count, 2);
  EXPECT_FALSE(writable(path)) << "buffer 1 keeps its lock";
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_VIEW + 1, 0);
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_CLOSE, 0);
  EXPECT_EQ(r->count, 1);
  EXPECT_TRUE(writable(path));

  WEditFile(path, {.options = EO_BUFFERS});
  EXPECT_FALSE(writable(path));
  WindowCloseChild(w);
  EXPECT_TRUE(writable(path));

  child();
  WEditFile(path, {.options = EO_READONLY});
  EXPECT_EQ(text(), "more kept");
  EXPECT_TRUE(writable(path)) << "a viewer keeps no lock";

  // Another program writing the file: the editor cannot open it.
  const int fd = ::open(path.c_str(), O_RDWR);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  ASSERT_EQ(fcntl(fd, F_OFD_SETLK, &lock), 0);
  child();
  test::answerNextMessageBoxWithClick(IDOK);
  WEditFile("", {});
  std::string chosen = path;
  tw::test::scriptuser({[chosen] { test::typeText(chosen + "\n"); }});
  SendMessage(winslot(wIndex).wWindow, WM_COMMAND, ED_OPEN, 0);
  test::setIdleHook(nullptr);
  ::close(fd);
  ASSERT_FALSE(test::messageBoxes().empty());
  EXPECT_EQ(test::messageBoxes().back().title, "Open Error");
  EXPECT_EQ(text(), "");
}

}  // namespace

namespace {

// Screen centre of the toolbar button with a command.
POINT buttonat(HWND toolbar, int command) {
  const auto index = static_cast<WPARAM>(SendMessage(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(command), 0));
  RECT rc;
  SendMessage(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc));
  POINT p{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  ClientToScreen(toolbar, p);
  return p;
}

bool enabled(HWND toolbar, int command) { return SendMessage(toolbar, TB_ISBUTTONENABLED, static_cast<WPARAM>(command), 0) != 0; }

// The editor's toolbar: its buttons by the options, Cut and Copy following the selection,
// Undo the control, clicks carrying out the commands, and the tooltip texts.
TEST_F(Editor, TheToolbar) {
  const int w = child();
  MoveWindow(winslot(w).wWindow, 20, 20, 420, 220, TRUE);
  WEditFile(file("t.txt", "Baseflow index 0.62\r\n"), {});
  EditorRecord* r = record(w);
  ASSERT_NE(r->toolbar, nullptr);
  EXPECT_EQ(SendMessage(r->toolbar, TB_BUTTONCOUNT, 0, 0), 13) << "New Open Save | Print | Find | Cut Copy Paste Undo Redo";
  EXPECT_FALSE(enabled(r->toolbar, ED_CUT));
  EXPECT_FALSE(enabled(r->toolbar, ED_COPY));
  EXPECT_TRUE(enabled(r->toolbar, ED_PASTE));
  EXPECT_FALSE(enabled(r->toolbar, ED_UNDO));
  RECT bar, text;
  GetWindowRect(r->toolbar, bar);
  GetWindowRect(r->control, text);
  EXPECT_GE(text.top, bar.bottom) << "the text below the toolbar";

  SetFocus(r->control);
  keys(VK_END, test::kShift);
  EXPECT_TRUE(enabled(r->toolbar, ED_CUT));
  EXPECT_TRUE(enabled(r->toolbar, ED_COPY));
  const POINT cut = buttonat(r->toolbar, ED_CUT);
  test::click(cut.x, cut.y);
  test::runUntilIdle();
  EXPECT_EQ(this->text(), "\r\n");
  EXPECT_TRUE(enabled(r->toolbar, ED_UNDO));
  EXPECT_FALSE(enabled(r->toolbar, ED_COPY));
  test::runUntilIdle();
  EXPECT_TRUE(test::savePng(winslot(w).wWindow, ::testing::TempDir() + "editor_toolbar.png"));
  const POINT undo = buttonat(r->toolbar, ED_UNDO);
  test::click(undo.x, undo.y);
  test::runUntilIdle();
  EXPECT_EQ(this->text(), "Baseflow index 0.62\r\n");

  char tip[80] = {};
  TOOLINFO ti;
  ti.hwnd = r->toolbar;
  ti.uId = ED_FIND;
  ti.lpszText = tip;
  SendMessage(r->tooltips, TTM_GETTEXT, 0, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(tip, "Find");

  // A viewer's toolbar: Open, Print, Find and Copy; option 32: none.
  child();
  WEditFile("", {.options = EO_READONLY | EO_NONEWOPEN});
  EXPECT_EQ(SendMessage(yyeditcurrent()->toolbar, TB_BUTTONCOUNT, 0, 0), 5) << "Print | Find | Copy";
  child();
  WEditFile("", {.options = EO_NOTOOLBAR});
  EXPECT_EQ(yyeditcurrent()->toolbar, nullptr);
}

}  // namespace

namespace {

// An editor in a pane of a split window: with the split window's number its menu shows on
// the split window's frame, whose menu commands reach the editor; focusing an editor in a
// pane shows its menu on the outermost frame.
TEST_F(Editor, MenusOfAnEditorInASplitWindow) {
  const int w = child();
  std::array<int, 2> panes{};
  std::array<int, 2> dialogs{0, 0};
  yywindowsplit(panes, 0, {7, 7}, -1, {0, 0}, {}, dialogs, {-1, -1}, "Text", "Other");
  test::runUntilIdle();
  ASSERT_GT(panes[0], 0);
  HWND outer = winslot(w).wWindow;
  EXPECT_EQ(GetMenu(outer), nullptr);
  windowselect(panes[0]);
  WEditFile("", {.splitwindow = w});
  ASSERT_EQ(tessar.error.LASTERROR, 0);
  EditorRecord* r = record(panes[0]);
  ASSERT_NE(r, nullptr);
  ASSERT_NE(r->menubar, nullptr);
  EXPECT_EQ(GetMenu(outer), r->menubar);
  const FrameRecord* split = yyframerecord(outer);
  ASSERT_NE(split, nullptr);
  EXPECT_EQ(split->word[SP_MENUPANE], HandleToLong(winslot(panes[0]).wWindow));
  EXPECT_EQ(split->word[SP_ACTIVE], HandleToLong(winslot(panes[0]).wWindow));
  int result = -1;
  yyeditputtext(result, "in the pane");
  // Edit, Select All on the outer frame's menu selects the pane's text.
  SetFocus(r->control);
  menu('E', 'A');
  DWORD s = 1, e = 0;
  SendMessage(r->control, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  EXPECT_EQ(s, 0u);
  EXPECT_EQ(e, 11u);

  // The editor in a pane of another split window, named without it: its menu shows there
  // once the editor has the focus.
  const int other = child();
  std::array<int, 2> more{};
  yywindowsplit(more, 0, {7, 7}, -1, {0, 0}, {}, dialogs, {-1, -1}, "A", "B");
  windowselect(more[0]);
  WEditFile("", {});
  SetFocus(record(more[0])->control);
  EXPECT_EQ(GetMenu(winslot(other).wWindow), record(more[0])->menubar);
  WindowCloseChild(other);
  WindowCloseChild(w);
  EXPECT_EQ(winslot(w).wWindow, nullptr);
}

}  // namespace

namespace {

// Format buttons (a program with their bitmap has them) follow the selection: checked when
// set throughout, indeterminate when mixed; the alignment of the paragraph checks its button.
TEST_F(Editor, FormatButtonsFollowTheSelection) {
  const int w = child();
  WEditFile("", {.options = EO_RICHTEXT, .fonttype = 3});
  EditorRecord* r = record(w);
  ASSERT_NE(r->toolbar, nullptr);
  std::vector<TBBUTTON> buttons;
  for (int command : {ED_BOLD, ED_ITALIC, ED_UNDERLINE, ED_LEFT, ED_CENTRE, ED_RIGHT, ED_BULLET}) {
    TBBUTTON b;
    b.idCommand = command;
    b.fsState = TBSTATE_ENABLED;
    buttons.push_back(b);
  }
  SendMessage(r->toolbar, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  int result = -1;
  yyeditputtext(result, "low high");
  yyeditformattext(result, 5, 8, 1, -1, -1, -1, -1, -2, -2, "");
  yyeditformatpara(result, 1, 1, -1, 1);
  auto state = [&](int command) { return static_cast<int>(SendMessage(r->toolbar, TB_GETSTATE, static_cast<WPARAM>(command), 0)); };
  SendMessage(r->control, EM_SETSEL, 5, 8);
  EXPECT_EQ(state(ED_BOLD), TBSTATE_ENABLED | TBSTATE_CHECKED);
  EXPECT_EQ(state(ED_ITALIC), TBSTATE_ENABLED);
  EXPECT_EQ(state(ED_CENTRE), TBSTATE_ENABLED | TBSTATE_CHECKED);
  EXPECT_EQ(state(ED_LEFT), TBSTATE_ENABLED);
  SendMessage(r->control, EM_SETSEL, 0, 8);
  EXPECT_EQ(state(ED_BOLD), TBSTATE_ENABLED | TBSTATE_INDETERMINATE);
  // The Bold command over the mixed selection makes it all bold.
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_BOLD, 0);
  EXPECT_EQ(state(ED_BOLD), TBSTATE_ENABLED | TBSTATE_CHECKED);
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_BOLD, 0);
  EXPECT_EQ(state(ED_BOLD), TBSTATE_ENABLED) << "a second Bold takes it away";
}

}  // namespace

namespace {

// Ctrl+V in a rich-text editor pastes copied text with its formats; a plain-text editor takes
// only the clipboard's plain text.
TEST_F(Editor, RichPasteKeepsFormatsPlainPasteTakesText) {
  const int w = child();
  WEditFile(file("rich.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 \\b Tarn\\b0  Beck\\par}"),
            {.options = EO_RICHTEXT, .fonttype = 3, .fontsize = 11});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  ASSERT_TRUE(boldat(r->control, 0, 4));
  SendMessage(r->control, EM_SETSEL, 0, 4);
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_COPY, 0);
  SetFocus(r->control);
  SendMessage(r->control, EM_SETSEL, 9, 9);
  keys('V', test::kCtrl);
  EXPECT_EQ(text(), "Tarn BeckTarn") << "pasted once";
  EXPECT_TRUE(boldat(r->control, 9, 13)) << "pasted with its bold";
  EXPECT_FALSE(boldat(r->control, 4, 9));

  const int p = child();
  WEditFile(file("plain.txt", "Beck "), {.fonttype = 3, .fontsize = 11});
  EditorRecord* q = record(p);
  ASSERT_NE(q, nullptr);
  SetFocus(q->control);
  SendMessage(q->control, EM_SETSEL, 5, 5);
  keys('V', test::kCtrl);
  EXPECT_EQ(text(), "Beck Tarn") << "pasted once";
  EXPECT_FALSE(boldat(q->control, 5, 9)) << "plain text only";
}

// In the bold system font, Bold over bold text makes it normal weight, and back.
TEST_F(Editor, BoldSwitchesOffInABoldFont) {
  const int w = child();
  WEditFile("", {.options = EO_RICHTEXT});
  EditorRecord* r = record(w);
  int result = -1;
  yyeditputtext(result, "heavy text");
  SendMessage(r->control, EM_SETSEL, 0, 5);
  EXPECT_TRUE(boldat(r->control, 0, 5)) << "the system font is bold";
  SendMessage(r->control, EM_SETSEL, 0, 5);
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_BOLD, 0);
  EXPECT_FALSE(boldat(r->control, 0, 5));
  EXPECT_TRUE(boldat(r->control, 6, 10));
  SendMessage(r->control, EM_SETSEL, 0, 5);
  SendMessage(winslot(w).wWindow, WM_COMMAND, ED_BOLD, 0);
  EXPECT_TRUE(boldat(r->control, 0, 10));
}

// Printing as a user would, onto the built-in PDF printer through the page set-up dialog:
// the whole text on three pages with its bold line bold, the selection alone, a cancelled
// dialog and a failing job (reported, nothing printed).
TEST_F(Editor, PrintsPagesAndTheSelectionToThePdfPrinter) {
  ASSERT_TRUE(tw::test::needpython("PIL", "python3-pil"));
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true}});
  const int w = child();
  MoveWindow(winslot(w).wWindow, 20, 20, 560, 330, TRUE);
  std::string body = "Tarn Beck daily flow record\r\nTarn Beck daily flow record\r\n";
  for (int k = 1; k <= 150; ++k) {
    char line[64];
    std::snprintf(line, sizeof line, "Line %03d flow %d.%d cumecs\r\n", k, k % 17, k % 10);
    body += line;
  }
  const std::string path = file("flows.txt", body);
  WEditFile(path, {.options = EO_RICHTEXT, .fonttype = 3, .fontsize = 11});
  EditorRecord* r = record(w);
  ASSERT_NE(r, nullptr);
  const std::string pdf = path + ".pdf";
  auto pdftext = [&](int page) {
    return hc::run("pdftotext -layout -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + pdf + "' -").output;
  };
  auto pages = [&] { return hc::run("pdfinfo '" + pdf + "'").output; };

  // The first line made bold in the Font dialog.
  SetFocus(r->control);
  keys(VK_HOME, test::kCtrl);
  keys(VK_END, test::kShift);
  menu('O', 'F', {[] { test::pressKey('Y', test::kAlt); }, [] { test::pressKey(VK_DOWN); },
                  [] { test::pressKey(VK_DOWN); }, [] { test::pressKey(VK_RETURN); }});
  ASSERT_TRUE(boldat(r->control, 0, 27));
  ASSERT_FALSE(boldat(r->control, 28, 40));

  // File, Print: OK in the page set-up dialog.
  SetFocus(r->control);
  bool setupSeen = false;
  menu('F', 'P', {[&] {
    for (const test::TopLevel& t : test::topLevelWindows())
      if (t.visible && t.title == "Page Setup") setupSeen = true;
    test::pressKey(VK_RETURN);
  }});
  EXPECT_TRUE(setupSeen);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_NE(pages().find("Pages:           3"), std::string::npos) << pages();
  const std::string first = pdftext(1), second = pdftext(2), third = pdftext(3);
  EXPECT_NE(first.find("Tarn Beck daily flow record"), std::string::npos) << first;
  EXPECT_NE(first.find("Line 001 flow 1.1 cumecs"), std::string::npos) << first;
  EXPECT_EQ(second.find("Line 001 "), std::string::npos);
  EXPECT_EQ(second.find("Line 150 "), std::string::npos);
  EXPECT_NE(second.find("Line 080 "), std::string::npos) << second;
  EXPECT_NE(third.find("Line 150 flow 14.0 cumecs"), std::string::npos) << third;
  // Every line printed once, in order, across the pages.
  std::size_t seen = 0;
  const std::string all = first + second + third;
  std::size_t at = 0;
  for (int k = 1; k <= 150; ++k) {
    char line[16];
    std::snprintf(line, sizeof line, "Line %03d ", k);
    const std::size_t found = all.find(line, at);
    if (found != std::string::npos) {
      ++seen;
      at = found;
    }
  }
  EXPECT_EQ(seen, 150u);
  // The bold line carries more ink than the same words in the normal weight below it.
  const std::string png = ::testing::TempDir() + "editor_print_page1";
  ASSERT_EQ(hc::run("pdftoppm -r 100 -png -f 1 -l 1 -singlefile '" + pdf + "' '" + png + "'").status, 0);
  const hc::Run ink = hc::run("/usr/bin/python3 -c \"from PIL import Image\n"
                              "im = Image.open('" + png + ".png').convert('L'); w, h = im.size; px = im.load()\n"
                              "rows = [sum(1 for x in range(w) if px[x, y] < 128) for y in range(h)]\n"
                              "bands = []; y = 0\n"
                              "while y < h:\n"
                              "  if rows[y]:\n"
                              "    s = 0\n"
                              "    while y < h and rows[y]: s += rows[y]; y += 1\n"
                              "    bands.append(s)\n"
                              "  y += 1\n"
                              "print(bands[0], bands[1])\"");
  int bold = 0, normal = 0;
  ASSERT_EQ(std::sscanf(ink.output.c_str(), "%d %d", &bold, &normal), 2) << ink.output;
  EXPECT_GT(bold, normal * 6 / 5) << "bold " << bold << ", normal " << normal;
  std::filesystem::remove(pdf);

  // Print Selection: the lines 001 and 002 alone.
  SetFocus(r->control);
  keys(VK_HOME, test::kCtrl);
  keys(VK_DOWN, 0, 2);
  keys(VK_DOWN, test::kShift, 2);
  menu('F', 'T', {[] { test::pressKey(VK_RETURN); }});
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_NE(pages().find("Pages:           1"), std::string::npos) << pages();
  const std::string sel = hc::run("pdftotext '" + pdf + "' -").output;
  EXPECT_NE(sel.find("Line 001 flow 1.1 cumecs"), std::string::npos) << sel;
  EXPECT_NE(sel.find("Line 002 flow 2.2 cumecs"), std::string::npos) << sel;
  EXPECT_EQ(sel.find("Tarn Beck"), std::string::npos) << sel;
  EXPECT_EQ(sel.find("Line 003"), std::string::npos) << sel;
  std::filesystem::remove(pdf);

  // Cancel in the page set-up dialog prints nothing and says nothing.
  SetFocus(r->control);
  menu('F', 'P', {[] { test::pressKey(VK_ESCAPE); }});
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_TRUE(test::messageBoxes().empty());

  // A job the printer fails: reported, nothing left behind.
  test::failNextPrinter("StartPage", 1);
  test::answerNextMessageBoxWithClick(IDOK);
  SetFocus(r->control);
  menu('F', 'P', {[] { test::pressKey(VK_RETURN); }});
  EXPECT_FALSE(std::filesystem::exists(pdf));
  ASSERT_FALSE(test::messageBoxes().empty());
  EXPECT_EQ(test::messageBoxes().back().text, "Unable to print text");
  EXPECT_EQ(test::messageBoxes().back().title, "Print Error");
  test::resetPrinters();
}

// The print set-up routines in points and printing by program: units changed from inches to
// millimetres, landscape by item 5, a range of logical positions printed under a job name,
// an untitled text under "Untitled Text".
TEST_F(Editor, PrintSetUpInPointsAndPrintingByProgram) {
  ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
  test::setPrinters({{"Print to PDF file", "pdf", "FILE:", 4961, 7016, 600, 600, -1, true}});
  // Record 0 starts from the default printer with one-inch margins.
  yyeditprintsetpossize(3, 72, 0);
  int v = 0;
  yyeditprintgetpossize(3, v, 0);
  EXPECT_EQ(v, 72);
  yyeditprintgetpossize(5, v, 0);
  EXPECT_EQ(v, 0) << "A4 portrait";
  // Millimetres in the page set-up: the one-inch margin becomes 2540 hundredths; OK keeps it.
  int result = -1;
  tw::test::scriptuser({[] { test::pressKey(VK_RETURN); }});
  yyeditprintsetup(2, 0, result);
  test::setIdleHook(nullptr);
  EXPECT_EQ(result, 1);
  yyeditprintgetpossize(3, v, 0);
  EXPECT_EQ(v, 72) << "still an inch, now counted in millimetres";
  yyeditprintgetpossize(4, v, 0);
  EXPECT_EQ(v, 72);
  // Item 5 = 3: landscape, the print area at least as wide as tall.
  yyeditprintsetpossize(5, 3, 0);
  yyeditprintgetpossize(5, v, 0);
  EXPECT_EQ(v, 1);
  int width = 0, height = 0;
  yyeditprintgetpossize(1, width, 0);
  yyeditprintgetpossize(2, height, 0);
  EXPECT_GE(width, height);
  yyeditprintsetpossize(5, 0, 0);

  const int w = child();
  WEditFile("", {.options = 0, .fonttype = 3, .fontsize = 11});
  ASSERT_NE(record(w), nullptr);
  int put = -1;
  yyeditputtext(put, "first line\r\nsecond line\r\nthird line\r\n");
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  yyeditprintprog(result, 12, 24, "gauges");
  EXPECT_EQ(result, 1);
  const std::string part = hc::run("pdftotext '" + (dir / "gauges.pdf").string() + "' -").output;
  EXPECT_NE(part.find("second line"), std::string::npos) << part;
  EXPECT_EQ(part.find("first"), std::string::npos) << part;
  EXPECT_EQ(part.find("third"), std::string::npos) << part;
  yyeditprintprog(result, -1, 0, "");
  EXPECT_EQ(result, 1);
  const std::string whole = hc::run("pdftotext '" + (dir / "Untitled Text.pdf").string() + "' -").output;
  EXPECT_NE(whole.find("first line"), std::string::npos) << whole;
  EXPECT_NE(whole.find("third line"), std::string::npos) << whole;
  // A failing device context: programmatic printing says nothing and reports 0.
  test::failNextPrinter("CreateDC", 1);
  yyeditprintprog(result, -1, 0, "fails");
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(test::messageBoxes().empty());
  std::filesystem::current_path(cwd);
  test::resetPrinters();
}

}  // namespace
