// TarnWalker itself started with TESSINIT naming an INI file: "VER" ends the program in
// start-up with status 0, before its main program runs; without it the program goes on and,
// having no display here, says so and ends with status 2.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct ProgramRun {
  int status = -1;
  std::string output;
};

ProgramRun runprogram(const fs::path& ini) {
  // No display: the headless backend, whatever the caller's session has.
  const std::string command =
      "cd '" + ini.parent_path().string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY TESSINIT='" +
      ini.string() + "' '" TW_PROGRAM "' 2>&1";
  ProgramRun r;
  std::FILE* p = popen(command.c_str(), "r");
  if (p == nullptr) return r;
  char block[256];
  while (std::fgets(block, sizeof block, p)) r.output += block;
  const int rc = pclose(p);
  if (WIFEXITED(rc)) r.status = WEXITSTATUS(rc);
  return r;
}

TEST(WinMain, TarnWalkerEndsInStartUpOnVersionKeyword) {
  const fs::path dir =
      fs::temp_directory_path() / ("tw-audit-startup-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  struct Case {
    const char* why;
    const char* ini;
    int status;
    bool mainran;
  };
  const Case cases[] = {
      {"VER with an empty value after leading blanks", "  VER=\n", 0, false},
      {"a keyword beginning VER", "version = 1\n", 0, false},
      {"no VER: the program goes on and finds no display", "LFNGEN=44\n", 2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::ofstream(dir / "t.ini") << c.ini;
    const ProgramRun r = runprogram(dir / "t.ini");
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.output.find("TarnWalker needs a desktop display") != std::string::npos, c.mainran) << r.output;
  }
  fs::remove_all(dir);
}

}  // namespace
