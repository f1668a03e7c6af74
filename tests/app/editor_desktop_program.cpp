// A small program around the toolkit's text editor as a program of its own would open it, for
// the desktop tests: a frame with a child window holding a modeless rich-text editor with
// several buffers, its toolbar (the format buttons from the linked resources) and a command
// line with history, on the file "notes.rtf" of the current folder. Every command line entered
// is written to standard output as "command: <text>" and the line cleared; closing the editor
// ends the program.
#include <cstdio>
#include <string>

#include "platform/gtk_backend.h"
#include "toolkit/editor/editor.h"
#include "toolkit/startup/startup.h"
#include "toolkit/window/childwin.h"
#include "toolkit/window/window.h"
#include "toolkit/window/wmsg.h"

namespace {

int exitcode = 0;

void editor_main() {
  winitialise(" ");
  if (!win::UseGtkBackend()) {
    std::fputs("no desktop display\n", stderr);
    exitcode = 2;
    return;
  }
  WindowOpenOptions o;
  o.flags = 0x27;
  o.x = 0;
  o.y = 0;
  o.width = 900;
  o.height = 640;
  o.title = "Editor Desktop";
  WindowOpen(o);
  int window = 0;
  WindowOpenChildOptions c;
  c.flags = 39;
  c.title = "Text Editor";
  WindowOpenChild(window, c);
  if (window <= 0) {
    exitcode = 3;
    return;
  }
  wmessageenable(EV_CLOSE, 1);
  wmessageenable(EV_COMMANDLINE, 1);
  // Rich text, a command line with history, several buffers, the caption's modified mark.
  WEditFile("notes.rtf", {.mode = 2, .options = 64 | 16 | 16384 | 128, .fonttype = 3, .fontsize = 11,
                          .filter = "Rich Text Files (*.rtf)|*.rtf|Text Files (*.txt)|*.txt|"});
  int result = 0;
  yyeditprompt(result, "Command:");
  for (;;) {
    int type = 0;
    MessageRecord m;
    wmessage(type, m);
    if (type == EV_COMMANDLINE) {
      std::string line;
      yyeditgetcommand(result, line, 1000);
      std::printf("command: %s\n", line.c_str());
      std::fflush(stdout);
      yyeditputcommand(result, "", 0);
    } else if (type == EV_CLOSE) {
      break;
    }
  }
  WindowCloseChild(window);
  windowclose();
}

}  // namespace

int main() {
  const int status = WinMain(editor_main);
  if (status != 1) return 3;
  return exitcode;
}
