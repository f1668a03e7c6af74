#pragma once
// A user at the desktop of a private X server, in a shell of its own started in the background:
// waits for each window by its title, points at it (the bare server gives the keyboard to the
// window under the pointer) and types with xdotool, while the test's process runs its loop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tw::test {

inline constexpr const char* kUserFunctions = R"sh(
at() { eval "$(xdotool getwindowgeometry --shell "$1")"; xdotool mousemove $((X + WIDTH / 2)) $((Y + 12)); }
press_from_corner() {  # clicks at $2, $3 pixels left of and above the bottom right corner of $1
  eval "$(xdotool getwindowgeometry --shell "$1")"; xdotool mousemove $((X + WIDTH - $2)) $((Y + HEIGHT - $3)) click 1
}
give_up() {  # a window titled $1 still up: Escape, so that the test fails rather than waits
  sleep 2
  if xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; then xdotool key Escape; sleep 0.5; xdotool key Escape; fi
}
wait_new() {  # a visible window titled $1 other than $2
  for i in $(seq 1 300); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${2:-none}" | head -1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}
)sh";

// Writes the steps after the functions into script and runs it in the background (60 seconds
// at most); its output goes to script.log.
inline void runUser(const std::filesystem::path& script, const std::string& steps) {
  std::ofstream(script) << "set -e\n" << kUserFunctions << steps;
  ASSERT_EQ(std::system(("timeout 60 bash " + script.string() + " </dev/null > " + script.string() + ".log 2>&1 &").c_str()), 0);
}

}  // namespace tw::test
