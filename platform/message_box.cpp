// Headless message box: records the box and answers with its default button, so that
// programs and tests run without a display. A box with an unknown button set fails, as
// the platform's own does.
#include "platform/message_box.h"

#include <optional>

namespace win {
namespace {

std::vector<test::MessageBoxRecord> shown;
std::optional<int> nextAnswer;
bool failNext = false;

// The buttons of a button set, left to right; empty for an unknown set.
std::vector<int> buttonsOf(unsigned type) {
  switch (type) {
    case MB_OK: return {IDOK};
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {};
  }
}

}  // namespace

int MessageBox(HWND owner, const char* text, const char* title, unsigned style) {
  const std::vector<int> buttons = buttonsOf(style & MB_TYPEMASK);
  if (failNext || buttons.empty()) {
    failNext = false;
    nextAnswer.reset();
    return 0;
  }
  shown.push_back({owner, text ? text : "", title ? title : "", style});
  if (nextAnswer) {
    const int answer = *nextAnswer;
    nextAnswer.reset();
    return answer;
  }
  // A default beyond the last button falls back to the first.
  const std::size_t pos = (style & MB_DEFMASK) >> 8;
  return buttons[pos < buttons.size() ? pos : 0];
}

namespace test {
const std::vector<MessageBoxRecord>& messageBoxes() { return shown; }
void clearMessageBoxes() { shown.clear(); }
void answerNextMessageBox(int id) { nextAnswer = id; }
void failNextMessageBox() { failNext = true; }
}  // namespace test

}  // namespace win
