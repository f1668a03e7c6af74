#pragma once
// For death tests of routines that show a message box and then end the process: the boxes
// are answered with Enter, and the ending process writes each shown box to its standard error
// as "[title] text", where EXPECT_EXIT can match it.
#include <cstdio>

#include "platform/message_box.h"
#include "platform/os.h"

namespace tw::test {

inline void reportBoxesAtExit() {
  win::test::clearMessageBoxes();
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
  win::test::onExit([](int) {
    for (const auto& box : win::test::messageBoxes())
      std::fprintf(stderr, "[%s] %s\n", box.title.c_str(), box.text.c_str());
  });
}

}  // namespace tw::test
