#include "render/number_format.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

static_assert(std::numeric_limits<long double>::digits == 64,
              "the formats decompose long double as the 80-bit extended format");

// __extension__ keeps -Wpedantic quiet about the GCC and Clang 128-bit integer.
__extension__ typedef unsigned __int128 u128;

std::uint64_t PowerOfTen(int n) {
    std::uint64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

std::string DecimalText(u128 n) {
    if (n == 0) return "0";
    std::string digits;
    while (n != 0) {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(n % 10)));
        n /= 10;
    }
    return digits;
}

// A positive finite value as mantissa * 2^exponent, both exact.
struct Binary {
    std::uint64_t mantissa;
    int exponent;
};

Binary Decompose(long double magnitude) {
    int e = 0;
    const long double fraction = std::frexp(magnitude, &e);  // in [0.5, 1)
    return {static_cast<std::uint64_t>(std::ldexp(fraction, 64)), e - 64};
}

// The exact decimal digits of the integer part of a value.
std::string IntegerDigits(Binary b) {
    if (b.exponent < 0) {
        const int shift = -b.exponent;
        return DecimalText(shift >= 64 ? 0 : b.mantissa >> shift);
    }
    // mantissa * 2^exponent in base-10^9 limbs, least significant first.
    std::vector<std::uint64_t> limbs;
    for (std::uint64_t m = b.mantissa; m != 0; m /= 1000000000) limbs.push_back(m % 1000000000);
    for (int left = b.exponent; left > 0;) {
        const int step = left < 29 ? left : 29;
        std::uint64_t carry = 0;
        for (auto& limb : limbs) {
            const std::uint64_t v = (limb << step) + carry;
            limb = v % 1000000000;
            carry = v / 1000000000;
        }
        while (carry != 0) {
            limbs.push_back(carry % 1000000000);
            carry /= 1000000000;
        }
        left -= step;
    }
    std::string digits = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        const std::string limb = std::to_string(limbs[i]);
        digits += std::string(9 - limb.size(), '0') + limb;
    }
    return digits;
}

std::string ExponentForm(bool negative, const std::string& significand, int exponent) {
    std::string out = negative ? "-" : "";
    out += significand[0];
    if (significand.size() > 1) out += "." + significand.substr(1);
    out += exponent < 0 ? "E-" : "E+";
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) out += '0';
    out += std::to_string(magnitude);
    return out;
}

// A value of at least 10^precision: its integer digits rounded to `precision` of them.
std::string LargeValue(bool negative, Binary b, int precision) {
    const std::string digits = IntegerDigits(b);
    std::string kept = digits.substr(0, precision);
    int exponent = static_cast<int>(digits.size()) - 1;
    // The dropped part is at least half a unit of the last kept digit exactly when its first digit
    // is 5 or more: what follows, fraction included, can only add to it.
    if (digits[precision] >= '5') {
        int i = precision - 1;
        while (i >= 0 && kept[i] == '9') kept[i--] = '0';
        if (i >= 0) {
            ++kept[i];
        } else {
            kept = "1" + kept.substr(0, precision - 1);
            ++exponent;
        }
    }
    return ExponentForm(negative, kept, exponent);
}

}  // namespace

std::string FormatFixed(long double value, int precision, int decimals) {
    if (precision < 1 || precision > 18 || decimals < 0 || decimals > precision) {
        throw std::invalid_argument("FormatFixed: unsupported precision or decimals");
    }
    if (std::isnan(value)) return "NAN";
    const bool negative = std::signbit(value);
    if (std::isinf(value)) return negative ? "-INF" : "INF";

    const long double magnitude = std::fabs(value);
    const std::uint64_t limit = PowerOfTen(precision);
    if (magnitude >= static_cast<long double>(limit)) {
        return LargeValue(negative, Decompose(magnitude), precision);
    }

    std::uint64_t integer_part = 0;
    u128 rounded = 0;
    int kept_decimals = decimals;
    if (magnitude != 0) {
        const Binary b = Decompose(magnitude);
        // Below 10^18 < 2^64 the integer part fits 64 bits; with E >= 0 so does the whole value.
        const int shift = -b.exponent;
        integer_part = shift <= 0 ? b.mantissa << -shift : (shift >= 64 ? 0 : b.mantissa >> shift);
        const int integer_digits =
            integer_part == 0 ? 0 : static_cast<int>(DecimalText(integer_part).size());
        if (precision - integer_digits < kept_decimals) kept_decimals = precision - integer_digits;

        // round(mantissa * 10^kept * 2^E), halves up (the magnitude is positive).
        const u128 scaled = static_cast<u128>(b.mantissa) * PowerOfTen(kept_decimals);
        if (shift <= 0) {
            rounded = scaled << -shift;
        } else if (shift < 128) {
            const u128 quotient = scaled >> shift;
            const u128 remainder = scaled - (quotient << shift);
            rounded = quotient + (remainder >= (static_cast<u128>(1) << (shift - 1)) ? 1 : 0);
        }
    }

    const std::uint64_t unit = PowerOfTen(kept_decimals);
    const u128 whole = rounded / unit;
    if (whole >= limit) {
        // Rounding carried into a digit beyond the precision: the value is exactly 10^precision.
        return ExponentForm(negative, "1" + std::string(precision - 1, '0'), precision);
    }
    std::string out = negative && rounded != 0 ? "-" : "";
    out += DecimalText(whole);
    if (decimals > 0) {
        std::string fraction = kept_decimals > 0 ? DecimalText(rounded % unit) : "";
        fraction.insert(0, kept_decimals - fraction.size(), '0');
        out += "." + fraction + std::string(decimals - kept_decimals, '0');
    }
    return out;
}

}  // namespace tavrelo
