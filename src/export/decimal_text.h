#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrelo {

// Exact decimal arithmetic on the number texts of the control tape, so that no amount ever
// passes through a binary float on its way to an export or a comparison.

// The integer a text denotes: an optional sign, decimal digits and an optional fraction of zeros
// ("1200", "-5", "1200.00"); nothing for anything else or beyond 18 digits.
std::optional<std::int64_t> WholeNumber(std::string_view text);

// A plain decimal text divided by 10^places, as decimal text with at least `places` fraction
// digits: ("1200", 2) gives "12.00", ("-5", 2) "-0.05", ("1500", 3) "1.500", ("12.5", 2)
// "0.125". Nothing for a text with an exponent or other characters.
std::optional<std::string> ScaledDecimal(std::string_view text, int places);

// Hundredths as currency units: 1200 gives "12.00", -5 gives "-0.05".
std::string HundredthsText(std::int64_t hundredths);

// A control-tape timestamp in ISO 8601: fourteen digits yyyymmddhhmmss give
// "yyyy-mm-ddThh:mm:ss", eight digits yyyymmdd give "yyyy-mm-dd"; nothing for any other text.
std::optional<std::string> IsoTimestamp(std::string_view digits);

}  // namespace tavrelo
