// platform/accel.cpp: keyboard accelerators: a key-down (or a character, for entries that
// are not virtual keys) matching an entry of a table becomes a WM_COMMAND of its command.
#include <vector>

#include "platform/menu.h"
#include "platform/resource.h"

namespace win {

int TranslateAccelerator(HWND hwnd, HACCEL table, const MSG& msg) {
  if (!hwnd || !table) return 0;
  const bool keyDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  const bool character = msg.message == WM_CHAR || msg.message == WM_SYSCHAR;
  if (!keyDown && !character) return 0;
  const int n = CopyAcceleratorTable(table, nullptr, 0);
  if (n <= 0) return 0;
  std::vector<ACCEL> entries(static_cast<std::size_t>(n));
  CopyAcceleratorTable(table, entries.data(), n);
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  // Bit 29 of a key message's lParam: Alt was down.
  const bool alt = (msg.lParam & (1L << 29)) != 0 || GetKeyState(VK_MENU) < 0;
  for (const ACCEL& a : entries) {
    if (a.fVirt & FVIRTKEY) {
      if (!keyDown || a.key != static_cast<WORD>(msg.wParam)) continue;
      if (((a.fVirt & FSHIFT) != 0) != shift || ((a.fVirt & FCONTROL) != 0) != ctrl) continue;
    } else {
      if (!character || a.key != static_cast<WORD>(msg.wParam)) continue;
    }
    if (((a.fVirt & FALT) != 0) != alt) continue;
    // A command that is a grey item of the window's menu is used up without a command.
    if (HMENU menu = GetMenu(hwnd)) {
      const UINT state = GetMenuState(menu, a.cmd, MF_BYCOMMAND);
      if (state != 0xFFFFFFFF && (state & (MF_GRAYED | MF_DISABLED))) return 1;
    }
    SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
    return 1;
  }
  return 0;
}

}  // namespace win
