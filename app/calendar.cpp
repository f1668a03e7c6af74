// Calendar arithmetic. nextdate, monthlen and leapyear each apply the leap-year rule
// themselves, as their callers expect.
#include "app/calendar.h"

#include <array>

#include "app/modules.h"

namespace {
bool isleap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }
}  // namespace

void nextdate(int& year, int& month, int& day) {
  const bool leap = isleap(year);
  // The param table counts February as 29 days; the leap rule is applied below. A month
  // outside 1-12 has no table entry: treat it as ending at once, so the date moves on.
  const int len = (month >= 1 && month <= 12) ? param.monthdays[month - 1] : 0;
  if (day + 1 > len) {
    day = 1;
    month = month + 1;
  } else {
    day = day + 1;
  }
  if (month > 12) {
    month = 1;
    year = year + 1;
  }
  if (month == 2 && day == 29 && !leap) {
    day = 1;
    month = 3;
  }
}

int monthlen(int month, int year) {
  static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && isleap(year)) return 29;
  return kDays[month - 1];
}

void date2jul(int day, int month, int year, int& jul) {
  int s = 0;
  for (int m = 1; m <= month - 1; ++m) s += monthlen(m, year);
  const int y1 = year - 1;
  const int c = y1 / 100;
  const int r = y1 % 100;  // C++ truncates towards zero; the remainder takes y1's sign
  jul = day + s - 1 + (c - 16) * 36524 + (year - 1601) / 400 + 365 * r + r / 4;
  if (year <= 1600) jul -= 1;
}

int numdayyear(int year) { return leapyear(year) == 1 ? 366 : 365; }

int leapyear(int year) { return isleap(year) ? 1 : 0; }
