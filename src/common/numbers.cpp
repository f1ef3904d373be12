#include "common/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "common/errors.h"

namespace tavrelo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the decimal-number grammar that ParseFloat accepts; from_chars would also take "nan",
// "inf" and "infinity", which are no numbers on a control tape.
bool IsDecimalNumber(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t exp_digits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++exp_digits;
        if (exp_digits == 0) return false;
    }
    return i == s.size();
}

// For a text of the decimal-number grammar: whether its value is below 1 in magnitude, judged
// from the position of its first significant digit and the exponent (saturated, so that any
// number of digits or exponent digits is fine). Zero counts as below 1.
bool DecimalOrderIsNegative(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    long long order = 0;
    bool significant = false;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        if (s[i] != '0') significant = true;
        if (significant && order < 1000000000) ++order;  // integer digits from the first nonzero
    }
    if (significant) {
        --order;  // a value with n integer digits has the order n - 1
    } else if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && s[i] == '0'; ++i) {
            if (order > -1000000000) --order;
        }
        if (i < s.size() && IsDigit(s[i])) {
            significant = true;
            --order;
        }
    }
    while (i < s.size() && s[i] != 'e' && s[i] != 'E') ++i;
    if (!significant) return true;
    long long exponent = 0;
    if (i < s.size()) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
        for (; i < s.size() && IsDigit(s[i]); ++i) {
            if (exponent < 1000000000) exponent = exponent * 10 + (s[i] - '0');
        }
        if (negative) exponent = -exponent;
    }
    return order + exponent < 0;
}

// The text as a message quotes it: whole when short; otherwise its first bytes and its length, so
// that a value of megabytes does not make a message of megabytes.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kQuotedBytes = 64;
    if (text.size() <= kQuotedBytes) return "'" + std::string(text) + "'";
    return "'" + std::string(text.substr(0, kQuotedBytes)) + "...' (" +
           IntToText(static_cast<std::int64_t>(text.size())) + " bytes)";
}

[[noreturn]] void NotAFloat(std::string_view text) {
    throw ConversionError(Quoted(text) + " is not a valid floating point value");
}

[[noreturn]] void NotAnInteger(std::string_view text) {
    throw ConversionError(Quoted(text) + " is not a valid integer value");
}

}  // namespace

float ParseFloat(std::string_view text) {
    if (!IsDecimalNumber(text)) NotAFloat(text);
    std::string_view digits = text;
    if (digits.front() == '+') digits.remove_prefix(1);  // from_chars takes "-" only
    float value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars reports underflow the same way; a tiny value is still a number, zero. The
        // decimal order tells the two apart even beyond the range of every wider type.
        if (DecimalOrderIsNegative(digits)) return digits.front() == '-' ? -0.0f : 0.0f;
        throw ConversionError(Quoted(text) + " is not a valid floating point value (out of range)");
    }
    if (ec != std::errc() || end != digits.data() + digits.size()) NotAFloat(text);
    return value;
}

std::int32_t ParseInt(std::string_view text) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) NotAnInteger(text);
    for (char c : digits) {
        if (!IsDigit(c)) NotAnInteger(text);
    }
    // Parsed as 64 bits so that the most negative value needs no special case.
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    if (digits.size() > 10) NotAnInteger(text);
    std::int64_t magnitude = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        NotAnInteger(text);
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t ParseIntSkippingLeadingBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    try {
        return ParseInt(text.substr(i));
    } catch (const ConversionError&) {
        NotAnInteger(text);
    }
}

std::int32_t TruncToInt32(long double value) {
    if (std::isnan(value)) return 0;
    const long double t = std::trunc(value);
    if (t <= static_cast<long double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (t >= static_cast<long double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(t);
}

std::string IntToText(std::int64_t value) {
    char buf[24];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    return std::string(buf, end);
}

}  // namespace tavrelo
