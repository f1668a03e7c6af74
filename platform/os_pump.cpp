#include "platform/os_pump.h"

#include "platform/os.h"
#include "platform/win.h"

namespace win {

void paintonlypump() {
  MSG m;
  while (PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_PAINT) DispatchMessage(m);
  }
}

void installpaintonlypump() { setpaintpump(paintonlypump); }

}  // namespace win
