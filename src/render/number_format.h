#pragma once

#include <string>

namespace tavrelo {

// Fixed-point text of `value` with `decimals` digits after the ".", rounded to at most
// `precision` significant digits and at most `decimals` decimals, whichever keeps fewer digits.
// Rounding works on the exact binary value (an extended-precision 2.67499... gives 2.67) and takes
// halves away from zero; printf is not used because it rounds halves to even. A leading "-" marks
// a negative value, unless the rounded value is zero ("0.00", never "-0.00"); at least one digit
// stands before the point; there is no grouping.
//
// A value whose integer part needs more than `precision` digits (also after rounding carries into
// a new digit, as 99999999.5 does with precision 8) is written in exponent form instead: the
// value rounded to `precision` significant digits the same way, as one digit, ".", the other
// digits, "E", the exponent's sign and at least two exponent digits: 123456789 with precision 8
// gives "1.2345679E+08", -12345678 with precision 7 gives "-1.234568E+07". Infinities give "INF"
// and "-INF", a NaN gives "NAN".
std::string FormatFixed(long double value, int precision, int decimals);

// The three number formats of the tape.
inline std::string Fixed2(long double value) { return FormatFixed(value, 8, 2); }
inline std::string Fixed2Short(long double value) { return FormatFixed(value, 7, 2); }
inline std::string Whole(long double value) { return FormatFixed(value, 8, 0); }

// The receipt number of the closing line: a whole number without grouping. Nine digits fit its
// field, so it is not cut to the eight digits of Whole.
inline std::string ReceiptNumber(long double value) { return FormatFixed(value, 15, 0); }

}  // namespace tavrelo
