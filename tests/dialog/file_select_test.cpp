// File selection: the save and open dialogs driven by typed keys as a user would, the flags (overwrite and create questions, must exist, several files, default extension, current directory kept or restored), cancel, and the path split.
#include <gtest/gtest.h>

#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/codepage.h"
#include "platform/message_box.h"
#include "platform/test_api.h"
#include "tests/support/scripted_user.h"
#include "toolkit/dialog/standard_dialogs.h"
#include "toolkit/state/tessar.h"

namespace fs = std::filesystem;

namespace {

const char* kFilter = "Tarnwalker results files (*.tw)|*.tw|All files (*.*)|*.*|";

class SelectFile : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::reset();
    tessarreset();
    win::test::clearMessageBoxes();
    start = fs::current_path();
    dir = fs::temp_directory_path() / ("tw_select_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "old.tw") << "x";
    std::ofstream(dir / "a.tw") << "a";
    std::ofstream(dir / "b.tw") << "b";
    fs::current_path(dir);
  }
  void TearDown() override {
    win::test::setIdleHook(nullptr);
    fs::current_path(start);
    fs::remove_all(dir);
    win::test::reset();
  }
  // What the user does, one step each time the dialog waits; message boxes get boxkey.
  static void script(std::deque<tw::test::Step> steps, int boxkey = 0) {
    tw::test::scriptuser(std::move(steps), boxkey != 0 ? std::deque<int>{boxkey, boxkey} : std::deque<int>{});
  }
  static tw::test::Step type(const std::string& text) { return tw::test::typed(text); }
  static tw::test::Step key(int vk) { return tw::test::pressed(vk); }
  // Characters beyond the US keys, as a desktop's keyboard delivers them (one character
  // message each, in the code page).
  static tw::test::Step typedChars(const std::string& text) {
    return [text] {
      for (unsigned char ch : text) win::PostMessage(win::GetFocus(), win::WM_CHAR, ch, 0);
    };
  }
  static std::string trimmed(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
  }
  fs::path start, dir;
};

TEST_F(SelectFile, SaveAsAppendsTheExtensionAndKeepsTheFolder) {
  std::string name(260, ' ');
  script({type("sub/result"), [] {
            win::test::savePng(win::GetActiveWindow(), std::string(TW_SHOT_DIR) + "/file_dialog.png", false);
            win::test::pressKey(win::VK_RETURN);
          }});
  WSelectFile(kFilter, 45, name);
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  EXPECT_EQ(trimmed(name), (dir / "sub" / "result.tw").string());
  EXPECT_EQ(fs::current_path(), dir / "sub") << "flag 8 keeps the folder the user went to";
}

TEST_F(SelectFile, TheOverwriteQuestionAndCancel) {
  std::string name(260, ' ');
  name.replace(0, 6, "kept.x");
  // The existing file: No keeps the dialog open; Escape then cancels it.
  script({type("old.tw"), key(win::VK_RETURN)}, 'N');
  WSelectFile(kFilter, 1 + 2, name);
  EXPECT_EQ(tessar.dialog.DLGANSWER, 0);
  EXPECT_EQ(trimmed(name), "kept.x") << "a cancel leaves the name";
  ASSERT_EQ(win::test::messageBoxes().size(), 1u);
  EXPECT_NE(win::test::messageBoxes()[0].text.find("already exists"), std::string::npos);
  EXPECT_EQ(fs::current_path(), dir) << "the folder is restored after a cancel";

  script({type("old.tw"), key(win::VK_RETURN)}, 'Y');
  WSelectFile(kFilter, 1 + 2, name);
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  EXPECT_EQ(trimmed(name), (dir / "old.tw").string());
}

TEST_F(SelectFile, OpenFlags) {
  struct Case {
    const char* why;
    int flags;
    std::string typed;
    int boxkey;
    int answer;
    std::string result;
  };
  const Case cases[] = {
      {"must exist: a missing name is refused, then the box and Escape cancel", 128, "missing.tw", 0, 0, ""},
      {"must exist: an existing file", 128, "a.tw", 0, 1, (dir / "a.tw").string()},
      {"create question answered Yes", 2, "new.tw", 'Y', 1, (dir / "new.tw").string()},
      {"create question answered No", 2, "new.tw", 'N', 0, ""},
      {"a folder typed is entered, not chosen", 0, "sub", 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    win::test::clearMessageBoxes();
    std::string name(260, ' ');
    script({type(c.typed), key(win::VK_RETURN)}, c.boxkey);
    WSelectFile(kFilter, c.flags, name);
    EXPECT_EQ(tessar.dialog.DLGANSWER, c.answer);
    EXPECT_EQ(trimmed(name), c.result);
  }
}

TEST_F(SelectFile, SeveralFilesComeBackAsFolderAndNames) {
  std::string name(260, ' ');
  script({type("\"a.tw\" \"b.tw\""), key(win::VK_RETURN)});
  WSelectFile(kFilter, 16 + 128, name);
  ASSERT_EQ(tessar.dialog.DLGANSWER, 1);
  const std::string want = dir.string() + std::string(1, '\0') + "a.tw" + std::string(1, '\0') + "b.tw";
  EXPECT_EQ(name.substr(0, want.size()), want);
}

TEST_F(SelectFile, StartsInTheFolderOfTheName) {
  std::string name(260, ' ');
  const std::string initial = (dir / "sub" / "plot.tw").string();
  name.replace(0, initial.size(), initial);
  script({key(win::VK_RETURN)});   // the name offered is taken as it is
  WSelectFile(kFilter, 1, name);
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  EXPECT_EQ(trimmed(name), initial);
  EXPECT_EQ(fs::current_path(), dir) << "without flag 8 the folder is restored";
}

TEST_F(SelectFile, TheFolderOfATypedNameMustExistUnlessFlag4) {
  struct Case {
    const char* why;
    int flags;
    int answer;
  };
  const Case cases[] = {
      {"without flag 4 the missing folder is refused with a box; Escape then cancels", 1, 0},
      {"flag 4: the missing folder is taken", 1 + 4, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    win::test::clearMessageBoxes();
    std::string name(260, ' ');
    script({type("nofolder/x.tw"), key(win::VK_RETURN)});
    WSelectFile(kFilter, c.flags, name);
    EXPECT_EQ(tessar.dialog.DLGANSWER, c.answer);
    EXPECT_EQ(win::test::messageBoxes().size(), c.answer == 1 ? 0u : 1u);
    EXPECT_EQ(trimmed(name), c.answer == 1 ? (dir / "nofolder" / "x.tw").string() : "");
  }
}

TEST_F(SelectFile, WithoutFlag32NoExtensionIsAppended) {
  std::string name(260, ' ');
  script({type("plain"), key(win::VK_RETURN)});
  WSelectFile(kFilter, 1, name);
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  EXPECT_EQ(trimmed(name), (dir / "plain").string());
}

TEST_F(SelectFile, FilterTextRulesAndTheFilterIndex) {
  struct Case {
    const char* why;
    std::string filter;
    int index;          // in
    int flags;
    std::string typed;
    std::string result; // file name under dir
    int indexout;
  };
  const Case cases[] = {
      {"the second pair chosen by the index: its extension is appended", "All (*.*)|*.*|Text (*.txt)|*.txt|", 2, 33,
       "notes", "notes.txt", 2},
      {"any last character separates: '!'", "Results!*.tw!", 1, 33, "r", "r.tw", 1},
      {"trailing blanks are not the separator", "Results|*.tw|   ", 1, 33, "s", "s.tw", 1},
      {"an index past the pairs takes the first", "Results|*.tw|", 7, 33, "t", "t.tw", 1},
      // "Text|*.txt" ends in 't', which then cuts every item: a broken filter whose first
      // pattern "x" names no extension. The dialog still shows and chooses.
      {"a filter without its trailing separator is broken, not fatal", "Text|*.txt", 1, 33, "u", "u", 1},
      {"a blank filter: no filter at all", "   ", 1, 33, "v", "v", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::string name(260, ' ');
    int index = c.index;
    script({type(c.typed), key(win::VK_RETURN)});
    WSelectFile(c.filter, c.flags, name, "", &index);
    EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
    EXPECT_EQ(trimmed(name), (dir / c.result).string());
    EXPECT_EQ(index, c.indexout);
  }
}

TEST_F(SelectFile, AFilterFromTheStringTable) {
  // The worker's filter identifier names a string-table entry; 0 means no filter.
  std::string name(260, ' ');
  int index = 1;
  script({type("flows"), key(win::VK_RETURN)});
  yywsfile(900, "", 33, name, "", index, 1);
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  EXPECT_EQ(trimmed(name), (dir / "flows.dat").string());
  name.assign(260, ' ');
  script({type("flows"), key(win::VK_RETURN)});
  yywsfile(0, "ignored|*.x|", 33, name, "", index, 1);
  EXPECT_EQ(trimmed(name), (dir / "flows").string());
}

// A path longer than the caller's field was cut to it and reported as chosen: a save then
// went to another file. The dialog now says so and stays up for another choice.
TEST_F(SelectFile, APathLongerThanTheNameFieldIsRefusedInTheDialog) {
  std::string name(12, ' ');
  script({type("result"), key(win::VK_RETURN)}, win::VK_RETURN);
  WSelectFile(kFilter, 1, name);
  EXPECT_EQ(name, std::string(12, ' '));
  EXPECT_EQ(tessar.dialog.DLGANSWER, 0);
  ASSERT_FALSE(win::test::messageBoxes().empty());
  EXPECT_NE(win::test::messageBoxes()[0].text.find("characters long; the program keeps at most 12"), std::string::npos)
      << win::test::messageBoxes()[0].text;

  // Just inside the limit: taken whole.
  const std::string fits = (dir / "r").string();
  std::string exact(fits.size(), ' ');
  script({type("r"), key(win::VK_RETURN)});
  WSelectFile(kFilter, 1, exact);
  EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
  EXPECT_EQ(exact, fits);
}

// The three kinds of names in open and save dialogs: a folder of the code page's letters,
// typed, opens and saves there, and the path comes back in the code page (the chooser used
// to hand back the system's UTF-8, which the file layer converted a second time: "File does
// not exist"). A file whose name the code page cannot hold, picked in the list, is refused
// while the dialog is up, with the characters named, never "not found".
TEST_F(SelectFile, NamesOfTheCodePageAndBeyond) {
  struct Case {
    const char* why;
    const char* utf8;     // as on the disk
    bool held;            // the code page holds every letter
  };
  const Case cases[] = {
      {"ASCII", "Data", true},
      {"French accent", "Donn\xC3\xA9" "es", true},
      {"German", "M\xC3\xBCller Stra\xC3\x9F" "e", true},
      {"Polish", "\xC5\x81\xC3\xB3" "d\xC5\xBA", false},
      {"Cyrillic", "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", false},
      {"CJK", "\xE6\x9D\xB1\xE4\xBA\xAC", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    win::test::clearMessageBoxes();
    if (c.held) {
      std::string folder;
      ASSERT_TRUE(win::cp1252FromUtf8Strict(c.utf8, folder));
      fs::create_directories(dir / c.utf8);
      std::ofstream(dir / c.utf8 / "gauge.tw") << "x";
      std::string name(260, ' ');
      script({typedChars(folder + "/gauge.tw"), key(win::VK_RETURN)});
      WSelectFile(kFilter, 128, name);
      EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
      EXPECT_EQ(trimmed(name), dir.string() + "/" + folder + "/gauge.tw");
      EXPECT_TRUE(win::test::messageBoxes().empty()) << "no question for a file that is there";
      std::string save(260, ' ');
      script({typedChars(folder + "/new"), key(win::VK_RETURN)});
      WSelectFile(kFilter, 1 + 32, save);
      EXPECT_EQ(tessar.dialog.DLGANSWER, 1);
      EXPECT_EQ(win::utf8FromCp1252(trimmed(save)), (dir / c.utf8 / "new.tw").string()) << "the folder on the disk";
      fs::remove_all(dir / c.utf8);
    } else {
      // Files come after folders, in name order: this one, its bytes from 0xC5 up, is last.
      const std::string file = std::string(c.utf8) + ".tw";
      std::ofstream(dir / file) << "x";
      std::string name(260, ' ');
      script({[] { win::test::pressKey(win::VK_TAB, win::test::kShift); }, key(win::VK_END), key(win::VK_RETURN)});
      WSelectFile(kFilter, 128, name);
      EXPECT_EQ(tessar.dialog.DLGANSWER, 0) << "the dialog stayed up; Escape ended it";
      ASSERT_FALSE(win::test::messageBoxes().empty());
      const std::string& text = win::test::messageBoxes()[0].text;
      EXPECT_EQ(text.find("not found"), std::string::npos) << text;
      EXPECT_NE(text.find(win::cp1252FromUtf8Shown((dir / file).string())), std::string::npos) << text;
      EXPECT_NE(text.find(win::unusableCharacters(c.utf8)), std::string::npos) << text;
      fs::remove(dir / file);
    }
  }
}

TEST(SplitPath, FoldersAndNames) {
  struct Case {
    std::string path, folder, name;
  };
  const Case cases[] = {{"/data/old.tw", "/data", "old.tw"}, {"/a.tw", "/", "a.tw"},    {"a.tw", "", "a.tw"},
                        {"/data/", "/data", ""},             {"/", "/", ""},            {"  /x/y.tw", "/x", "y.tw"},
                        {"/data/..", "/data/..", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string path = c.path;
    path.resize(40, ' ');
    std::string name(20, ' ');
    yysplitp(path, name);
    auto t = [](std::string s) {
      s.erase(s.find_last_not_of(' ') + 1);
      return s;
    };
    EXPECT_EQ(t(path), c.folder);
    EXPECT_EQ(t(name), c.name);
  }
}

}  // namespace
