#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrelo {

// Conversions between text and numbers. None of them depends on the process locale: the decimal
// separator is always ".". Every failure raises ConversionError with a message naming the text.

// A decimal number, as the control tape writes its numeric attributes: an optional sign, digits
// with an optional "." and fraction, and an optional exponent ("1200", "20.00", "-5", ".5", "1e3").
// The result is rounded once to single precision. An empty text, blanks around the number, "nan",
// "inf", hexadecimal forms and values beyond the single-precision range are not numbers.
float ParseFloat(std::string_view text);

// A strict decimal integer, as typed by the operator or sent by the register: an optional sign and
// decimal digits only, within the 32-bit range.
std::int32_t ParseInt(std::string_view text);

// The runtime's usual text-to-integer conversion: leading blanks are skipped, then as ParseInt.
// Trailing blanks are not allowed.
std::int32_t ParseIntSkippingLeadingBlanks(std::string_view text);

// Truncation toward zero to a 32-bit integer, defined for every value: values beyond the range
// saturate at its ends and NaN gives 0.
std::int32_t TruncToInt32(long double value);

// Plain decimal text of an integer, no leading zeros.
std::string IntToText(std::int64_t value);

}  // namespace tavrelo
