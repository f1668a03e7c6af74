// tests/support/xserver.cpp: the private X server and its helpers (see xserver.h).
#include "tests/support/xserver.h"
#include "tests/support/tools.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

extern char** environ;

namespace tw::test {
namespace {
pid_t xvfbPid = 0;
std::string display;
}  // namespace

// Xvfb chooses a free display number and writes it into our pipe.
bool startXvfb(bool blackRoot) {
  // The server and the commands that drive and photograph it.
  for (const auto& [command, package] : {std::pair{"Xvfb", "xvfb"}, std::pair{"xdotool", "xdotool"},
                                         std::pair{"xwd", "x11-apps"}, std::pair{"setxkbmap", "x11-xkb-utils"},
                                         std::pair{"convert", "imagemagick"}, std::pair{"import", "imagemagick"}})
    if (const auto ready = needtool(command, package); !ready) {
      ADD_FAILURE() << ready.message();
      return false;
    }
  // xdotool types UTF-8 text only under a UTF-8 locale, and a fresh machine may set none.
  setenv("LC_ALL", "C.UTF-8", 0);
  int fds[2];
  if (pipe(fds) != 0) return false;
  std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24"};
  if (blackRoot) args.push_back("-br");
  args.push_back("-nolisten");
  args.push_back("tcp");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int rc = posix_spawnp(&xvfbPid, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    xvfbPid = 0;
    close(fds[0]);
    return false;
  }
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  while (poll(&p, 1, 20000) > 0) {
    char c = 0;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) return false;
  display = ":" + number;
  setenv("DISPLAY", display.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("GDK_BACKEND", "x11", 1);
  setenv("NO_AT_BRIDGE", "1", 1);   // no accessibility bus to wait for
  return true;
}

void stopXvfb() {
  if (xvfbPid <= 0) return;
  kill(xvfbPid, SIGTERM);
  waitpid(xvfbPid, nullptr, 0);
  xvfbPid = 0;
}

const std::string& xDisplay() { return display; }

std::string runCommand(const std::string& command, int& status) {
  std::string out;
  FILE* f = popen(command.c_str(), "r");
  if (!f) {
    status = -1;
    return out;
  }
  char buf[256];
  while (std::size_t n = fread(buf, 1, sizeof buf, f)) out.append(buf, n);
  status = pclose(f);
  return out;
}

bool sh(const std::string& command) {
  int status = 0;
  runCommand(command + " >/dev/null 2>&1", status);
  return status == 0;
}

cairo_surface_t* loadPng(const std::string& path) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) return s;
  cairo_surface_destroy(s);
  return nullptr;
}

cairo_surface_t* xwdScreenshot(const std::string& png) {
  if (!sh("xwd -root -silent -display " + display + " | convert xwd:- png:" + png)) return nullptr;
  return loadPng(png);
}

win::COLORREF pixelAt(cairo_surface_t* image, int x, int y) {
  const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
  if (x < 0 || y < 0 || x >= w || y >= h) return 0xFFFFFFFF;
  const unsigned char* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
  const std::uint32_t v = reinterpret_cast<const std::uint32_t*>(row)[x];
  return win::RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool pumpUntil(const std::function<bool()>& done, int seconds) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  const win::UINT_PTR timer = win::SetTimer(nullptr, 0, 25, nullptr);
  bool ok = false;
  win::MSG m;
  for (;;) {
    if (done()) {
      ok = true;
      break;
    }
    if (std::chrono::steady_clock::now() > limit || !win::GetMessage(m, nullptr, 0, 0)) break;
    win::TranslateMessage(m);
    win::DispatchMessage(m);
  }
  win::KillTimer(nullptr, timer);
  return ok;
}

}  // namespace tw::test
