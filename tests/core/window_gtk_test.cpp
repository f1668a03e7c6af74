// The root window on a real display: a private Xvfb server with the GTK backend; the window
// opens at its default size with a status bar showing a text, and a screenshot of the X
// screen (xwd and ImageMagick) shows the bar, its text and the white client area.
#include <cairo.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gtk_backend.h"
#include "platform/win.h"
#include "toolkit/core/statusbar.h"
#include "toolkit/core/tessar.h"
#include "toolkit/core/window.h"
#include "toolkit/core/wmsg.h"

extern char** environ;

namespace {

pid_t xvfb = 0;
std::string display;

// Xvfb picks a free display number and writes it into our pipe.
bool startXvfb() {
  int fds[2];
  if (pipe(fds) != 0) return false;
  std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                                   "-nolisten", "tcp"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int rc = posix_spawnp(&xvfb, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  while (rc == 0 && poll(&p, 1, 20000) > 0) {
    char c = 0;
    if (read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) return false;
  display = ":" + number;
  return true;
}

// The X screen as a PNG file, through xwd and ImageMagick.
cairo_surface_t* screenshot(const std::string& png) {
  const std::string command = "xwd -root -silent -display " + display + " | convert xwd:- png:" + png;
  if (std::system(command.c_str()) != 0) return nullptr;
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  return s;
}

win::COLORREF at(cairo_surface_t* s, int x, int y) {
  const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
  const std::uint32_t v = reinterpret_cast<const std::uint32_t*>(row)[x];
  return win::RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

TEST(WindowOpenOnDisplay, StatusBarTextShowsInTheScreenshot) {
  ASSERT_TRUE(startXvfb()) << "Xvfb did not start";
  setenv("DISPLAY", display.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("GDK_BACKEND", "x11", 1);
  setenv("NO_AT_BRIDGE", "1", 1);
  ASSERT_TRUE(win::UseGtkBackend());

  WindowOpenOptions o;
  o.flags = 0x27;
  o.title = "TarnWalker";
  WindowOpen(o);
  EXPECT_EQ(tessar.window.CURWIDTH, 819);   // 80 per cent of the 1024-pixel screen
  windowoutstatusbar(1, "Tarnwalker file:   None");

  // Timer events keep the loop turning until the desktop shows the window as it is.
  for (int t = 1; t <= 16; ++t) wmessageenable(t, t == 13 ? 1 : 0);
  yysettimer(25, 1, 1);
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int type = 0;
  MessageRecord m;
  while (!win::gtktest::upToDate(wWindow[0]) && std::chrono::steady_clock::now() < limit) wmessage(type, m);
  win::gtktest::sync();
  ASSERT_TRUE(win::gtktest::upToDate(wWindow[0]));

  const std::string png = ::testing::TempDir() + "tarnwalker-root-window.png";
  cairo_surface_t* shot = screenshot(png);
  ASSERT_NE(shot, nullptr) << "xwd or convert failed";
  std::printf("screenshot: %s\n", png.c_str());

  win::RECT bar, client;
  win::GetWindowRect(wMessLine[0], bar);
  win::GetWindowRect(hClient[0], client);
  EXPECT_EQ(at(shot, (client.left + client.right) / 2, (client.top + client.bottom) / 2), win::RGB(255, 255, 255));
  // The bar's face, and the text's ink at the left of the bar.
  EXPECT_EQ(at(shot, bar.right - 60, bar.top + 4), win::GetSysColor(win::COLOR_BTNFACE));
  // Text is smoothed at its edges: count the dark pixels.
  auto dark = [](win::COLORREF c) { return win::GetRValue(c) < 96 && win::GetGValue(c) < 96 && win::GetBValue(c) < 96; };
  int ink = 0;
  for (int y = bar.top + 3; y < bar.bottom - 2; ++y)
    for (int x = bar.left + 3; x < bar.left + 150; ++x) ink += dark(at(shot, x, y));
  EXPECT_GT(ink, 60);
  cairo_surface_destroy(shot);

  windowclose();
  kill(xvfb, SIGTERM);
  waitpid(xvfb, nullptr, 0);
}

}  // namespace
