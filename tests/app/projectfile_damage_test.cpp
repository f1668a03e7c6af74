// The project file against the outside world: a save refused by the file system itself,
// and damaged files, which either read as a sound project or leave the previous one.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>
#include <sstream>
#include <string>

#include "app/modules.h"
#include "app/projectfile.h"
#include "platform/message_box.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

#ifdef __SANITIZE_ADDRESS__
// The font library keeps its caches to the end of the process: not ours to free.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
#endif

namespace {

using tw::test::slurp;

// Root writes anywhere, so a root run drops to an unprivileged user in the child first.
// Exit status of the child: 0 all as wanted, else the first check that failed.
int saveinto(const fs::path& file) {
  if (::geteuid() == 0 && ::setuid(65534) != 0) return 10;   // nobody
  initialise_tw_vars();
  twvars.status = 1;
  std::string name = file.string();
  name.resize(twvars.filename.size(), ' ');
  twvars.filename = name;
  win::test::clearMessageBoxes();
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
  if (filesave()) return 11;
  if (twvars.iostat == 0) return 12;
  const auto& boxes = win::test::messageBoxes();
  if (boxes.size() != 1 || boxes[0].title != "Problem with file" ||
      boxes[0].text.rfind("Failed to open new file on unit 3: ", 0) != 0)
    return 13;
  return 0;
}

TEST(Filesave, ReadOnlyDirectoryKeepsTheOldFile) {
  const fs::path dir =
      fs::temp_directory_path() / ("tw-audit-readonly-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  const fs::path file = dir / "old.tw";
  std::ofstream(file) << "the previous file\n";
  ::chmod(file.c_str(), 0644);
  ::chmod(dir.c_str(), 0555);
  EXPECT_EXIT(std::exit(saveinto(file)), ::testing::ExitedWithCode(0), "");
  ::chmod(dir.c_str(), 0755);
  EXPECT_EQ(slurp(file), "the previous file\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
      << "nothing left beside it";
  fs::remove_all(dir);
}

std::string modeltext() {
  std::string text;
  filesave_text(text, 2026, 12, 10, 9, 5);
  return text;
}

// Random damage to each stored project: bytes overwritten, lines dropped or cut, the file
// cut short. The reader never crashes; a file it accepts gives a project within the model's
// bounds, and a file it refuses leaves the previous project exactly as it was.
TEST(FileopenRead, DamagedFilesNeverCorruptTheProject) {
  const fs::path dir =
      fs::temp_directory_path() / ("tw-audit-damage-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path bad = dir / "bad.tw";
  std::mt19937 rng(20261210u);
  const std::string printable = "0123456789 .-+EeDd,xTarnWalk\r";
  int accepted = 0, refused = 0;
  for (int status = 1; status <= 4; ++status) {
    const std::string golden =
        slurp(fs::path(TW_FIXTURES) / ("project-status" + std::to_string(status) + ".tw"));
    for (int round = 0; round < 100; ++round) {
      std::string text = golden;
      const int kind = round % 4;
      auto at = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
      };
      if (kind == 0) {
        for (int k = 0; k < 3; ++k) text[at(text.size())] = printable[at(printable.size())];
      } else if (kind == 1) {
        text.resize(at(text.size()));
      } else {
        std::vector<std::string> lines;
        std::stringstream in(text);
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        const std::size_t i = at(lines.size());
        if (kind == 2) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
        else lines[i].resize(at(lines[i].size() + 1));
        text.clear();
        for (const std::string& l : lines) text += l + "\n";
      }
      SCOPED_TRACE("status " + std::to_string(status) + ", round " + std::to_string(round));
      std::ofstream(bad, std::ios::binary | std::ios::trunc) << text;

      // The previous project: a different stored file, read in full.
      initialise_tw_vars();
      initialise_regressdat();
      std::string name = (fs::path(TW_FIXTURES) / "project-status3.tw").string();
      name.resize(twvars.filename.size(), ' ');
      twvars.filename = name;
      win::test::clearMessageBoxes();
      win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
      ASSERT_TRUE(fileopen_read());
      name = bad.string();
      name.resize(twvars.filename.size(), ' ');
      twvars.filename = name;
      const std::string before = modeltext();
      if (fileopen_read()) {
        ++accepted;
        EXPECT_GE(twvars.status, 1);
        EXPECT_LE(twvars.status, 4);
        EXPECT_GE(twvars.ndays, 0);
        EXPECT_LE(twvars.ndays, MAXDAYS);
        EXPECT_GE(twvars.numyears, 0);
        EXPECT_LE(twvars.numyears, 165);
      } else {
        ++refused;
        EXPECT_EQ(modeltext(), before);
      }
      if (::testing::Test::HasFailure()) break;
    }
  }
  EXPECT_GT(accepted, 0);
  EXPECT_GT(refused, 0);
  fs::remove_all(dir);
}

}  // namespace
