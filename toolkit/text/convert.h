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
