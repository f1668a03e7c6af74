#pragma once
// Scale and tick arithmetic: steps of 1, 2 or 5 times a power of ten, the first tick and
// the tick count for linear, category, 3-D and polar axes; whole decades for logarithmic
// ones. Ticks are at first + i x step, i = 0 .. count - 1.
//
// A range of zero width or with ends or width that are not finite has no step: it is
// refused with error 16 and gives no ticks (count 0).

struct ScaleTicks {
  float step = 0, first = 0;
  int count = 0, exponent = 0;
  float labelstep = 0, labelfirst = 0;
};

// a < b: the sorted plot units. category 0 a value axis, else nvalues values one per slot.
// axis 1 X, 2 Y, 3 Z.
void yyscal(float a, float b, int category, int nvalues, int axis, float& step, float& first,
            int& count, int& exponent, float& labelstep, float& labelfirst);
void yyscal3d(float a, float b, float& step, int& count, float& span, int& exponent,
              float& first, float& offset);
void yyscpol(float rmax, float& step, int& count, int& exponent);
void yyslog(float a, float b, int& step, int& ndecades, int& lowest, int& highest);
void yyslpol(float rmax, int& step, int& ndecades, int& lowest, int& highest);
