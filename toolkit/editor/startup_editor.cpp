#include "toolkit/editor/startup_editor.h"

#include "toolkit/state/tessar.h"

void yyeditbufalloc() { tessar.editor.EDITBUF.assign(51, std::array<EditBuffer, 20>{}); }
