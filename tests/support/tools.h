#pragma once
// The independent tools the tests check our results against. Each comes from a Debian package
// on the one list in tools/debian-packages.sh, which ./test.sh installs once, before the build.
// A test asks here and fails, naming the package, when the tool is missing or its package is not
// on that list; it never installs anything itself (under ctest -j parallel installs fight for
// the package manager's lock, and a tool installed by one test hides a missing list entry).
//
//   ASSERT_TRUE(tw::test::needtool("pdftotext", "poppler-utils"));
//
// The package is checked as well as the command: LibreOffice's Calc brings `soffice`, yet Draw
// and Impress are separate packages that only some conversions need.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#ifndef TW_PACKAGE_LIST
#error "TW_PACKAGE_LIST (the path of tools/debian-packages.sh) is set for every test target"
#endif

namespace tw::test {

namespace tools_detail {

inline int shell(const std::string& command, std::string* out = nullptr) {
  FILE* p = ::popen(command.c_str(), "r");
  if (p == nullptr) return -1;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
    if (out != nullptr) out->append(buffer, n);
  const int s = ::pclose(p);
  return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
}

inline std::string quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// What ./test.sh installs: the build and the test packages (the run packages are not).
inline const std::set<std::string>& listed() {
  static const std::set<std::string> names = [] {
    std::string words;
    shell("bash -c '. \"$0\" && echo $TW_BUILD_PACKAGES $TW_TEST_PACKAGES' " + quoted(TW_PACKAGE_LIST) +
              " 2>/dev/null",
          &words);
    std::set<std::string> s;
    std::istringstream in(words);
    for (std::string w; in >> w;) s.insert(w);
    return s;
  }();
  return names;
}

inline bool installed(const std::string& package) {
  std::string status;
  shell("dpkg-query -W -f='${Status}' " + quoted(package) + " 2>/dev/null", &status);
  return status == "install ok installed";
}

// The package on the list and installed; otherwise a failure that says what to do.
inline ::testing::AssertionResult packageReady(const std::string& what, const std::string& package) {
  if (listed().count(package) == 0)
    return ::testing::AssertionFailure()
           << what << " comes from the Debian package " << package
           << ", which is not on the list in tools/debian-packages.sh (TW_TEST_PACKAGES): add it there";
  if (!installed(package))
    return ::testing::AssertionFailure() << what << " is missing: the Debian package " << package
                                         << " is not installed (./test.sh installs it)";
  return ::testing::AssertionSuccess();
}

}  // namespace tools_detail

// A command (a name on PATH, or an absolute path) from a Debian package.
inline ::testing::AssertionResult needtool(const std::string& command, const std::string& package) {
  const std::string what = "the command " + command;
  if (auto ready = tools_detail::packageReady(what, package); !ready) return ready;
  if (tools_detail::shell("command -v " + tools_detail::quoted(command) + " >/dev/null 2>&1") != 0)
    return ::testing::AssertionFailure() << what << " is not found although the Debian package " << package
                                         << " is installed";
  return ::testing::AssertionSuccess();
}

// A module of Debian's own Python (/usr/bin/python3; another python3 earlier on PATH may
// lack it).
inline ::testing::AssertionResult needpython(const std::string& module, const std::string& package) {
  const std::string what = "the Python module " + module;
  if (auto ready = tools_detail::packageReady(what, package); !ready) return ready;
  if (tools_detail::shell("/usr/bin/python3 -c " + tools_detail::quoted("import " + module) + " >/dev/null 2>&1") != 0)
    return ::testing::AssertionFailure() << what << " does not import although the Debian package " << package
                                         << " is installed";
  return ::testing::AssertionSuccess();
}

// A file a package installs (a CUPS backend, a data file).
inline ::testing::AssertionResult needfile(const std::string& path, const std::string& package) {
  const std::string what = "the file " + path;
  if (auto ready = tools_detail::packageReady(what, package); !ready) return ready;
  if (!std::filesystem::exists(path))
    return ::testing::AssertionFailure() << what << " is missing although the Debian package " << package
                                         << " is installed";
  return ::testing::AssertionSuccess();
}

}  // namespace tw::test
