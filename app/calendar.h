#pragma once
// Gregorian calendar arithmetic on integer day, month (1-12) and year values.
// Leap year: divisible by 4, except centuries not divisible by 400.

// Advances the date in place by one day. A day beyond its month's length (31 April,
// 30 February) steps to the 1st of the next month; 29 February of a common year to 1 March.
void nextdate(int& year, int& month, int& day);
// Days of the month, 28-31.
int monthlen(int month, int year);
// Days from 1 January 1601 to the date (0 for that day, negative before it).
void date2jul(int day, int month, int year, int& jul);
// 366 for a leap year, else 365.
int numdayyear(int year);
// 1 for a leap year, else 0.
int leapyear(int year);
