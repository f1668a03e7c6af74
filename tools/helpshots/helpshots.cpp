// helpshots: runs TarnWalker on the headless backend as a user would and saves what the screen
// shows as the pictures of the help pages and the user manual, so they always show the
// program as it is.
//   helpshots OUTPUT-FOLDER PROJECT.tw
// Writes main_window.png (the main window with the project open) and separation_view.png (the
// separation plot with its parameter dialog).
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/baseflow.h"
#include "app/mainprogram.h"
#include "app/menustate.h"
#include "app/modules.h"
#include "app/projectfile.h"
#include "app/separation.h"
#include "platform/message_box.h"
#include "platform/test_api.h"
#include "platform/win.h"
#include "platform/window_internal.h"
#include "toolkit/startup/startup.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/window.h"
#include "toolkit/window/window_state.h"

namespace {

std::string folder, project;
bool failed = false;

// The visible top-level windows drawn as they lie on the screen, cut to their common box.
void screenshot(const std::string& name) {
  std::vector<win::test::TopLevel> shown;
  for (const auto& t : win::test::topLevelWindows())
    if (t.visible) shown.push_back(t);
  if (shown.empty()) {
    failed = true;
    return;
  }
  win::RECT box = shown.front().rect;
  for (const auto& t : shown) {
    box.left = std::min(box.left, t.rect.left);
    box.top = std::min(box.top, t.rect.top);
    box.right = std::max(box.right, t.rect.right);
    box.bottom = std::max(box.bottom, t.rect.bottom);
  }
  cairo_surface_t* shot = cairo_image_surface_create(CAIRO_FORMAT_RGB24, box.right - box.left, box.bottom - box.top);
  cairo_t* cr = cairo_create(shot);
  cairo_set_source_rgb(cr, 0.85, 0.87, 0.9);   // the desktop behind the windows
  cairo_paint(cr);
  // Bottom of the z-order first, so the top window is drawn last.
  for (auto t = shown.rbegin(); t != shown.rend(); ++t) {
    int w = 0, h = 0;
    const std::vector<win::COLORREF> px = win::test::pixels(t->hwnd, false, w, h);
    if (w <= 0 || h <= 0) continue;
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_flush(img);
    unsigned char* data = cairo_image_surface_get_data(img);
    const int stride = cairo_image_surface_get_stride(img);
    for (int y = 0; y < h; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
      for (int x = 0; x < w; ++x) {
        const win::COLORREF c = px[static_cast<std::size_t>(y) * w + x];
        row[x] = ((c & 0xff) << 16) | (c & 0xff00) | ((c >> 16) & 0xff);
      }
    }
    cairo_surface_mark_dirty(img);
    cairo_set_source_surface(cr, img, t->rect.left - box.left, t->rect.top - box.top);
    cairo_paint(cr);
    cairo_surface_destroy(img);
  }
  cairo_destroy(cr);
  if (cairo_surface_write_to_png(shot, (folder + "/" + name).c_str()) != CAIRO_STATUS_SUCCESS) failed = true;
  cairo_surface_destroy(shot);
}

// Each time the program waits for input, the next step runs; when none is left, Escape.
void script(std::deque<std::function<void()>> steps) {
  auto s = std::make_shared<std::deque<std::function<void()>>>(std::move(steps));
  win::test::setIdleHook([s] {
    if (s->empty()) {
      win::test::pressKey(win::VK_ESCAPE);
      return;
    }
    const auto step = s->front();
    s->pop_front();
    step();
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: helpshots OUTPUT-FOLDER PROJECT.tw\n");
    return 2;
  }
  folder = argv[1];
  project = argv[2];
  const int status = WinMain([] {
    // A screen of a common laptop size, so the pictures fit a printed page.
    win::Backend b;
    b.screenSize = [](int& w, int& h) {
      w = 1024;
      h = 768;
      return true;
    };
    win::SetBackend(b);
    script({[] { win::test::pressKey(win::VK_RETURN); }});   // OK on the about box
    mainprogram_start();
    // Opened from the output folder under a plain name, so the status bar shows no build path.
    const std::string name = "Tarn Creek.tw";
    {
      std::ifstream in(project, std::ios::binary);
      std::ofstream out(folder + "/" + name, std::ios::binary);
      out << in.rdbuf();
    }
    std::filesystem::current_path(folder);
    twvars.filename = name;
    twvars.filename.resize(500, ' ');
    if (!fileopen_read()) {
      std::fprintf(stderr, "helpshots: cannot read %s\n", project.c_str());
      failed = true;
      return;
    }
    setmenustate();
    win::test::runUntilIdle();
    screenshot("main_window.png");
    // The separation: the picture is taken while the view waits for the user, who then
    // goes back to the main menu and declines to save.
    script({[] {
              win::test::runUntilIdle();
              screenshot("separation_view.png");
              win::test::pressKey(win::VK_RETURN);
            },
            [] { win::PostMessage(winslot(0).wWindow, win::WM_COMMAND, 40011, 0); },
            [] {
              if (win::test::openMessageBox() != nullptr) win::test::pressKey('N');
            }});
    baseflowseparation();
    if (twvars.errorflag == 0) bfsep_main();
    win::test::setIdleHook(nullptr);
  });
  if (status != 1 || failed) {
    std::fprintf(stderr, "helpshots: the pictures could not be made\n");
    return 1;
  }
  return 0;
}
