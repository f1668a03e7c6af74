// A program that starts the toolkit as TarnWalker does, for the start-up tests: it shows
// what message boxes were up when the process ended.
#include <cstdio>

#include "platform/message_box.h"
#include "platform/os.h"
#include "toolkit/startup/startup.h"
#include "toolkit/state/tessar.h"

namespace {
void mainprogram() {
  winitialise(" ");
  std::printf("main program ran with LFNGEN %d\n", tessar.files.LFNGEN);
}
}  // namespace

int main() {
  win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
  win::test::onExit([](int) {
    for (const auto& box : win::test::messageBoxes())
      std::printf("[%s] %s\n", box.title.c_str(), box.text.c_str());
  });
  return WinMain(mainprogram);
}
