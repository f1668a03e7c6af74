#pragma once
// For tests that drive menus as a user would through the headless backend: scripted steps
// run while a menu loop waits for input, and where on the screen the bar items, pop-ups and
// their rows are, as the menu layer lays them out.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/statusbar.h"
#include "platform/surface.h"
#include "platform/test_api.h"

namespace tw::test {

// Runs the steps one by one whenever a loop waits for input.
inline void script(std::vector<std::function<void()>> steps) {
  auto queue = std::make_shared<std::deque<std::function<void()>>>(steps.begin(), steps.end());
  win::test::setIdleHook([queue] {
    if (queue->empty()) return;
    auto step = queue->front();
    queue->pop_front();
    step();
  });
}

// Screen centre of bar item i of the frame's menu, whose items read labels: items follow
// each other from the strip's left edge, each its text's width plus 8 pixels each side.
inline win::POINT menuBarItem(win::HWND frame, std::initializer_list<const char*> labels, int i) {
  using namespace win;
  NcLayout l;
  EXPECT_TRUE(GetNcLayout(frame, l));
  RECT wr;
  GetWindowRect(frame, wr);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  int x = l.menuBar.left, width = 0;
  int k = 0;
  for (const char* label : labels) {
    if (k++ > i) break;
    SIZE s{};
    GetTextExtentPoint32(dc, label, static_cast<int>(std::strlen(label)), s);
    x += width;
    width = s.cx + 16;
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return POINT{wr.left + x + width / 2, wr.top + (l.menuBar.top + l.menuBar.bottom) / 2};
}

// The visible pop-up menu windows, newest first.
inline std::vector<win::test::TopLevel> visiblePopups() {
  std::vector<win::test::TopLevel> out;
  for (const win::test::TopLevel& t : win::test::topLevelWindows()) {
    char cls[32] = {};
    win::GetClassName(t.hwnd, cls, sizeof cls);
    if (std::string(cls) == win::POPUPMENU_CLASS && t.visible) out.push_back(t);
  }
  return out;
}

// Screen centre of a row of a pop-up; separators says which rows are separators (9 pixels
// high), the other rows share the rest alike.
inline win::POINT popupRow(const win::test::TopLevel& p, int row, const std::vector<bool>& separators) {
  int seps = 0;
  for (bool s : separators) seps += s ? 1 : 0;
  const int n = static_cast<int>(separators.size());
  const int h = (p.rect.bottom - p.rect.top - 6 - 9 * seps) / (n - seps);
  int y = p.rect.top + 3;
  for (int k = 0; k < row; ++k) y += separators[static_cast<std::size_t>(k)] ? 9 : h;
  return win::POINT{(p.rect.left + p.rect.right) / 2, y + h / 2};
}

// The text of a status bar: its simple part while it shows one, else part 0.
inline std::string statusBarText(win::HWND bar) {
  using namespace win;
  char text[256] = {};
  SendMessage(bar, SB_GETTEXT, SendMessage(bar, SB_ISSIMPLE, 0, 0) ? SB_SIMPLEID : 0, reinterpret_cast<LPARAM>(text));
  return text;
}

}  // namespace tw::test
