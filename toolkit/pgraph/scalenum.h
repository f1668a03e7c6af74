#pragma once
// Scale number text: the shortest sensible text of a tick value for its scale, built in
// the shared text buffer TEXTBUF; the text is TEXTBUF(first:last), positions from 1.
//
// exponent: decimal exponent of the scale's range (the step is a mantissa times 10 to the
// power exponent - 1); extra non-zero asks for one more decimal in the automatic fixed form.
void yyr2s(float value, int exponent, int extra, int& first, int& last);
