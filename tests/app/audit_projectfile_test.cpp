// A save into a directory the user may not write to: the file system itself refuses, with
// no test hook involved. Root writes anywhere, so a root run drops to an unprivileged user
// in a child process first.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "app/modules.h"
#include "app/projectfile.h"
#include "platform/message_box.h"

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

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

}  // namespace
