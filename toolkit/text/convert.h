#pragma once
// Number and text conversion under display formats such as "(F20.2)", "(I0)" or
// "(G15.5E2)", and text to number. Texts are fixed-length: an output's size() is its field.
#include <span>
#include <string>
#include <string_view>

// Number to text. A value that does not fit, an invalid format or a record longer than the
// text gives ten asterisks (cut or blank-padded to the text) and error 18.
void IntegerToString(int value, std::string& text, std::string_view format);
void IRealToString(float value, std::string& text, std::string_view format);
void IDoubleToString(double value, std::string& text, std::string_view format);

// One edit descriptor of a display format without its parentheses ("F16.2", "I2.2", "I6",
// "E16.9"), parsed once for the fields of a record layout.
struct FieldFormat {
  char kind = 0;  // 'I', 'F', 'E' or 'G'
  int w = 0;
  int d = 0;  // decimals, significant digits, or the minimum digits m of Iw.m
  bool hasD = false;
  int e = 0;  // exponent digits of Ew.dEe and Gw.dEe
  bool hasE = false;
};
// False when the text is not one I, F, E or G descriptor.
bool parsefieldformat(std::string_view descriptor, FieldFormat& field);
// Appends a value written under the descriptor exactly as the display formats write it: w
// asterisks when it does not fit or is of the wrong kind for the descriptor.
void appendfield(std::string& out, double value, const FieldFormat& field);
void appendfield(std::string& out, long long value, const FieldFormat& field);
// As appendfield, but a real too large for its form is written in the exponent form with
// the most significant digits (at most maxdigits) that fits the same width; only a value
// that fits in no form, or is not finite, gives asterisks.
void appendfittedreal(std::string& out, double value, const FieldFormat& field, int maxdigits);
// Formatted input of one field as Fortran reads it: blanks are ignored, an all-blank field
// (or a sign or mantissa without digits) is 0, a real without a decimal point has its point
// d digits from the right, and its exponent (at most 9999) follows E, D (either case) or its
// own sign. False when the field holds no number (the value is then unchanged); a real must
// be a finite float, an integer fit 32 bits.
bool readfield(std::string_view text, const FieldFormat& field, int& value);
bool readfield(std::string_view text, const FieldFormat& field, float& value);

// Text to number: the first blank-delimited word only; a failure records its error and
// gives 0. istringtodouble reports under the name "IStringToReal".
void IStringToInteger(std::string_view text, int& value);
void IStringToReal(std::string_view text, float& value);
void istringtodouble(std::string_view text, double& value);

// Convert the first word and blank it, so repeated calls read a line number by number; a
// blank text gives 0 without an error.
void inextreal(std::string& text, float& value);
void inextinteger(std::string& text, int& value);

// Range of the first n values, skipping the chart's first-dimension missing value when its
// missing-data handling is on.
void irealmaxmin1(std::span<const float> values, int n, float& minimum, float& maximum);

// Internal routines on NUL-terminated buffers: a text ends at its first NUL, else at its
// last non-blank character. The text-to-number and reformatting routines are silent and
// leave LASTERROR and DEBUGLEVEL as they found them; the number-to-text ones report.
void yyst2dbl(double& value, std::string_view text);
void yyst2rea(float& value, std::string_view text);
void yyst2int(int& value, std::string_view text);
void yyst2dblcheck(double& value, int& flag, std::string_view text);
void yydbl2st(double value, std::string& text, std::string_view format);
void yyrea2st(float value, std::string& text, std::string_view format);
void yyint2st(int value, std::string& text);
void yyformd(std::string& text, std::string_view format);
void yyformr(std::string& text, std::string_view format);
void yyformi(std::string& text);
