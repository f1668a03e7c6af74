#pragma once
// The paint-only pump of a waiting command: dispatches pending paint messages so that the
// windows stay painted, and discards every other message that arrives meanwhile.
namespace win {
void paintonlypump();
// Installs paintonlypump as the pump yycmnd runs while it waits without a time-out.
void installpaintonlypump();
}  // namespace win
