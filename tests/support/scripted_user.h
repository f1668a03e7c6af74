#pragma once
// A user following a script through modal loops on the headless backend: each time the
// program waits for input, the next step runs (a step must give input); a message box that
// is up takes the next of the box keys (Enter when none is left); with the script done the
// user presses Escape, so that every dialog ends.
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/message_box.h"
#include "platform/test_api.h"

namespace tw::test {

using Step = std::function<void()>;

inline void scriptuser(std::deque<Step> steps, std::deque<int> boxkeys = {}) {
  auto s = std::make_shared<std::deque<Step>>(std::move(steps));
  auto k = std::make_shared<std::deque<int>>(std::move(boxkeys));
  win::test::setIdleHook([s, k] {
    if (win::test::openMessageBox() != nullptr) {
      const int key = k->empty() ? win::VK_RETURN : k->front();
      if (!k->empty()) k->pop_front();
      win::test::pressKey(key);
      return;
    }
    if (s->empty()) {
      win::test::pressKey(win::VK_ESCAPE);
      return;
    }
    const Step step = s->front();
    s->pop_front();
    step();
  });
}

inline Step typed(const std::string& text) {
  return [text] { win::test::typeText(text); };
}
inline Step pressed(int vk) {
  return [vk] { win::test::pressKey(vk); };
}

}  // namespace tw::test
