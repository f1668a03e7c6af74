#pragma once
// Internal to the standard dialogs: the modal frame every platform dialog runs in. The
// owner is the active toolkit window or dialog; the other toolkit windows and shown dialogs
// are disabled while the dialog runs, and the focus goes back to the field that had it.
#include "platform/win.h"
#include "toolkit/dialog/standard_dialogs.h"

template <class Run>
void yymodalframe(Run run) {
  const MessageBoxServices& sv = messageboxservices;
  const win::HWND owner = sv.owner != nullptr ? sv.owner() : nullptr;
  const win::HWND focus = win::GetFocus();
  if (sv.disable != nullptr) sv.disable(owner);
  run(owner);
  if (sv.enable != nullptr) sv.enable(owner);
  if (focus != nullptr && win::IsWindow(focus)) win::SetFocus(focus);
}
