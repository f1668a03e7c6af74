// The program's main window on a real display: a private Xvfb server with the GTK backend;
// the window opens with menu 30001, toolbar 30101 and the status bar, and a screenshot of the
// X screen (xwd and ImageMagick) shows the menu bar, the button images and the bar's text.
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
#include "platform/menu_toolbar.h"
#include "platform/surface.h"
#include "platform/win.h"
#include "toolkit/core/statusbar.h"
#include "toolkit/core/tessar.h"
#include "toolkit/core/window.h"
#include "toolkit/core/wmenus.h"
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

// Screen pixels in a rectangle that differ from a colour.
int differing(cairo_surface_t* s, const win::RECT& r, win::COLORREF from) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += at(s, x, y) != from ? 1 : 0;
  return n;
}

TEST(MainWindowOnDisplay, MenuToolbarAndStatusBarInTheScreenshot) {
  ASSERT_TRUE(startXvfb()) << "Xvfb did not start";
  setenv("DISPLAY", display.c_str(), 1);
  unsetenv("WAYLAND_DISPLAY");
  setenv("GDK_BACKEND", "x11", 1);
  setenv("NO_AT_BRIDGE", "1", 1);
  ASSERT_TRUE(win::UseGtkBackend());

  WindowOpenOptions o;
  o.flags = 39;
  o.menu = 30001;
  o.title = "TarnWalker";
  WindowOpen(o);
  wmenuroot(30001);
  WMenuToolbar(30101);
  WMenuSetState(40006, 1, 0);   // Save greyed, as before a project is open
  windowoutstatusbar(1, "Tarnwalker file:   None");
  ASSERT_EQ(tessar.error.LASTERROR, 0);

  // Timer events keep the loop turning until the desktop shows the window as it is.
  for (int t = 1; t <= 16; ++t) wmessageenable(t, t == 13 ? 1 : 0);
  yysettimer(25, 1, 1);
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int type = 0;
  MessageRecord m;
  while (!win::gtktest::upToDate(wWindow[0]) && std::chrono::steady_clock::now() < limit) wmessage(type, m);
  win::gtktest::sync();
  ASSERT_TRUE(win::gtktest::upToDate(wWindow[0]));

  const std::string png = "/tmp/root-gtk.png";
  cairo_surface_t* shot = screenshot(png);
  ASSERT_NE(shot, nullptr) << "xwd or convert failed";
  std::printf("screenshot: %s\n", png.c_str());

  const win::COLORREF face = win::GetSysColor(win::COLOR_BTNFACE);
  // Each button's image shows on the screen where the toolbar says the button is.
  for (int command : {40024, 40009, 40004, 40014, 40005}) {
    SCOPED_TRACE(command);
    win::RECT r{};
    ASSERT_TRUE(win::SendMessage(hToolbar[0][0], win::TB_GETRECT, static_cast<win::WPARAM>(command),
                                 reinterpret_cast<win::LPARAM>(&r)));
    win::POINT tl{r.left + 3, r.top + 3}, br{r.right - 3, r.bottom - 3};
    win::ClientToScreen(hToolbar[0][0], tl);
    win::ClientToScreen(hToolbar[0][0], br);
    EXPECT_GT(differing(shot, win::RECT{tl.x, tl.y, br.x, br.y}, face), 20);
  }
  // The menu bar's words and the status bar's text are inked on the face colour.
  win::NcLayout l;
  ASSERT_TRUE(win::GetNcLayout(wWindow[0], l));
  win::RECT fr, bar, client;
  win::GetWindowRect(wWindow[0], fr);
  win::GetWindowRect(wMessLine[0], bar);
  win::GetWindowRect(hClient[0], client);
  const win::RECT menu{fr.left + l.menuBar.left, fr.top + l.menuBar.top, fr.left + l.menuBar.left + 150,
                       fr.top + l.menuBar.bottom};
  EXPECT_GT(differing(shot, menu, face), 40);
  EXPECT_GT(differing(shot, win::RECT{bar.left + 3, bar.top + 3, bar.left + 150, bar.bottom - 2}, face), 60);
  EXPECT_EQ(at(shot, (client.left + client.right) / 2, (client.top + client.bottom) / 2), win::RGB(255, 255, 255));
  cairo_surface_destroy(shot);

  windowclose();
  kill(xvfb, SIGTERM);
  waitpid(xvfb, nullptr, 0);
}

}  // namespace
