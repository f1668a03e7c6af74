// Fuzz target: a file loaded into the text editor and saved again: the first byte chooses
// plain text (even) or RTF in a rich-text editor (odd); the rest is the file. The control's
// limit is small, so that inputs also reach the cut text and the save's question.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/message_box.h"
#include "platform/richedit.h"
#include "platform/test_api.h"
#include "toolkit/editor/editor.h"
#include "toolkit/editor/editor_internal.h"
#include "toolkit/editor/startup_editor.h"
#include "toolkit/screen/screen_driver.h"
#include "toolkit/state/tessar.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/geometry.h"
#include "toolkit/window/window.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    yyscreenservices();
    tessar.display.COLOURS = 1 << 24;
    WindowOpenOptions o;
    o.flags = 7;
    o.width = 640;
    o.height = 480;
    WindowOpen(o);
    yyeditbufalloc();
    win::test::answerEveryMessageBoxWithKey(win::VK_RETURN);  // the user presses Enter
    return true;
  }();
  (void)ready;
  if (size == 0) return 0;
  const bool rtf = (data[0] & 1) != 0;
  const std::string path = fuzz::writeInput(rtf ? "input.rtf" : "input.txt", data + 1, size - 1);
  // An editor window of its own for every input, closed afterwards as the program closes it.
  WindowOpenChildOptions o;
  o.flags = 39;
  o.width = 400;
  o.height = 300;
  o.title = "Text Editor";
  int w = 0;
  WindowOpenChild(w, o);
  WEditFile("", {.mode = 2, .options = rtf ? 64 : 0, .fonttype = 1});
  EditorRecord* r = yyeditrecord(winslot(w).wWindow);
  if (r == nullptr) __builtin_trap();
  win::SendMessage(r->control, win::EM_EXLIMITTEXT, 0, 3000);
  WEditFile(path, {});
  // What the programming interface reads of it, and the file written back.
  int count = 0;
  yyeditcountrtf(count);
  std::string text;
  yyeditgetrtf(text, count);
  int result = 0;
  std::string plain;
  yyeditgettext(result, 1 << 16, plain);
  win::SendMessage(winslot(w).wWindow, win::WM_COMMAND, ED_SAVE, 0);
  WindowCloseChild(w);
  win::test::clearMessageBoxes();
  return 0;
}
