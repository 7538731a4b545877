// Number texts in the user's format: conversions with the user messages, and the display formats.
#pragma once

#include <string>
#include <string_view>

namespace emforce {

/// The decimal separator of every number text the program shows; "," unless changed. Texts
/// are read with either separator, so the built-in comma texts and pasted point texts convert.
char decimalSeparator();
/// Sets the decimal separator ('.' or ',').
void setDecimalSeparator(char separator);

/// Text to a finite real; throws CalcError "'%s' is not a valid floating point value".
/// Accepts surrounding blanks, a sign, leading zeros, one decimal point or comma and an
/// exponent ("7,0e6", "0.05", "1e+08"); digit grouping ("1.000,5") is refused.
double toReal(std::string_view text);
/// Text to an integer; throws CalcError "'%s' is not a valid integer value".
int toInteger(std::string_view text);
/// "True"/"False" in any letter case, or a number (0 false, any other true);
/// throws CalcError "'%s' is not a valid boolean value".
bool toBoolean(std::string_view text);

/// Scientific notation with P significant digits and at least D exponent digits:
/// formatExponent(-0.5, 3, 2) is "-5,00E-01". This format and the two below write an infinity
/// as "INF" or "-INF" and a NaN as "NAN".
std::string formatExponent(double v, int precision, int expDigits);
/// Fixed notation rounded to P significant digits, or to D decimals where that is fewer, with
/// exactly D decimals; values with more than P integer digits fall back to formatExponent.
/// formatFixed(2.36, 4, 1) is "2,4".
std::string formatFixed(double v, int precision, int decimals);
/// The shortest general text of v with up to 15 significant digits ("7000000", "0,05", "1E-17").
std::string formatGeneral(double v);

}  // namespace emforce
