#pragma once
// A window class whose procedure writes down the messages it receives, for tests of message
// order. Each test starts from win::test::reset() through the fixture.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/test_api.h"
#include "platform/win.h"

namespace rec {

struct Entry {
  win::HWND hwnd;
  win::UINT msg;
  win::WPARAM wParam;
  win::LPARAM lParam;
};

inline std::vector<Entry>& log() {
  static std::vector<Entry> l;
  return l;
}

// Per-message handlers a test installs; returning true means handled with result.
using Handler = std::function<bool(win::HWND, win::UINT, win::WPARAM, win::LPARAM, win::LRESULT&)>;
inline Handler& handler() {
  static Handler h;
  return h;
}

inline win::LRESULT proc(win::HWND h, win::UINT m, win::WPARAM w, win::LPARAM l) {
  log().push_back({h, m, w, l});
  if (handler()) {
    win::LRESULT r = 0;
    if (handler()(h, m, w, l, r)) return r;
  }
  return win::DefWindowProc(h, m, w, l);
}

inline const char* kClass = "RecorderWindow";
inline const char* kClassDbl = "RecorderDoubleClicks";

inline void registerClasses() {
  win::WNDCLASS wc;
  wc.lpfnWndProc = proc;
  wc.lpszClassName = kClass;
  wc.hCursor = win::LoadCursor(nullptr, win::IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<win::HBRUSH>(static_cast<std::uintptr_t>(win::COLOR_WINDOW + 1));
  wc.cbWndExtra = 16;
  ASSERT_NE(win::RegisterClass(wc), 0);
  wc.lpszClassName = kClassDbl;
  wc.style = win::CS_DBLCLKS;
  ASSERT_NE(win::RegisterClass(wc), 0);
}

// Messages of interest, in order, for one window (nullptr: all windows).
inline std::vector<win::UINT> messages(win::HWND only = nullptr, std::vector<win::UINT> keep = {}) {
  std::vector<win::UINT> out;
  for (const Entry& e : log()) {
    if (only && e.hwnd != only) continue;
    if (!keep.empty() && std::find(keep.begin(), keep.end(), e.msg) == keep.end()) continue;
    out.push_back(e.msg);
  }
  return out;
}

class Fixture : public ::testing::Test {
 protected:
  void SetUp() override {
    win::test::reset();
    log().clear();
    handler() = nullptr;
    registerClasses();
  }
  void TearDown() override {
    handler() = nullptr;
    win::test::reset();
  }
  static win::HWND frame(const char* title, int x, int y, int w, int h,
                         win::DWORD style = win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE,
                         const char* cls = kClass) {
    return win::CreateWindowEx(0, cls, title, style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
  }
  static win::HWND child(win::HWND parent, int id, int x, int y, int w, int h,
                         win::DWORD style = win::WS_CHILD | win::WS_VISIBLE, const char* cls = kClass) {
    return win::CreateWindowEx(0, cls, "", style, x, y, w, h, parent,
                               reinterpret_cast<win::HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
  }
};

}  // namespace rec
