// toolkit/text/strings.cpp: string utilities on fixed-length text.
// Invariants: no routine changes the length of a text, and none looks at the locale.
#include "toolkit/text/strings.h"

#include <algorithm>

void ilowercase(std::string& text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
}

void iuppercase(std::string& text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
}

void ilocatestring(std::string_view text, int& first, int& last) {
  first = 0;
  last = 0;
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return;
  const std::size_t blank = text.find(' ', start);
  first = static_cast<int>(start) + 1;
  last = blank == std::string_view::npos ? static_cast<int>(text.size()) : static_cast<int>(blank);
}

int ilocatechar(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] != ' ' && text[i] != '\0') return static_cast<int>(i) + 1;
  return 0;
}

void ijustifystring(std::string& text, std::string_view justification) {
  const int length = static_cast<int>(text.size());
  const std::size_t lastpos = text.find_last_not_of(' ');
  if (lastpos == std::string::npos) return;
  const int last = static_cast<int>(lastpos) + 1;
  const int first = ilocatechar(text);
  if (first == 0) return;
  const int n = last - first + 1;
  if (n == length) return;
  const auto has = [&](char upper) {
    return justification.find(upper) != std::string_view::npos ||
           justification.find(static_cast<char>(upper + 32)) != std::string_view::npos;
  };
  int target = 0;
  bool backwards = false;
  if (has('L')) {
    if (first == 1) return;
    target = 1;
  } else if (has('R')) {
    if (last == length) return;
    target = length - n + 1;
    backwards = true;
  } else {
    target = (length - n) / 2 + 1;
    backwards = first - 1 < length - last;
  }
  // Each source byte is blanked before its target is written, in the direction that never
  // overwrites a byte still to be moved.
  const auto move = [&](int k) {
    const char c = text[first - 1 + k];
    text[first - 1 + k] = ' ';
    text[target - 1 + k] = c;
  };
  if (backwards) {
    for (int k = n - 1; k >= 0; --k) move(k);
  } else {
    for (int k = 0; k < n; ++k) move(k);
  }
}

int indexnocase(std::string_view text, std::string_view substring, std::optional<bool> backward) {
  const bool fromEnd = backward.value_or(false);
  if (substring.empty()) return fromEnd ? static_cast<int>(text.size()) + 1 : 1;
  if (substring.size() > text.size()) return 0;
  std::string t(text), s(substring);
  iuppercase(t);
  iuppercase(s);
  const std::size_t at = fromEnd ? t.rfind(s) : t.find(s);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

int yyichar(char c) { return static_cast<unsigned char>(c); }

void assignfixed(std::string& text, std::string_view value) {
  const std::size_t n = std::min(text.size(), value.size());
  std::copy_n(value.begin(), n, text.begin());
  std::fill(text.begin() + static_cast<std::ptrdiff_t>(n), text.end(), ' ');
}

int lentrim(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? 0 : static_cast<int>(last) + 1;
}
