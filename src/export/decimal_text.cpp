#include "export/decimal_text.h"

#include <cstdlib>

namespace tavrelo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text) {
    for (char c : text) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

struct DecimalParts {
    bool negative = false;
    std::string_view whole;
    std::string_view fraction;
};

// sign? digits* ("." digits*)?, with at least one digit.
std::optional<DecimalParts> SplitDecimal(std::string_view text) {
    DecimalParts parts;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        parts.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto point = text.find('.');
    parts.whole = text.substr(0, point);
    if (point != std::string_view::npos) parts.fraction = text.substr(point + 1);
    if (!AllDigits(parts.whole) || !AllDigits(parts.fraction)) return std::nullopt;
    if (parts.whole.empty() && parts.fraction.empty()) return std::nullopt;
    return parts;
}

}  // namespace

std::optional<std::int64_t> WholeNumber(std::string_view text) {
    const auto parts = SplitDecimal(text);
    if (!parts || parts->whole.empty()) return std::nullopt;
    if (parts->fraction.find_first_not_of('0') != std::string_view::npos) return std::nullopt;
    std::string_view digits = parts->whole;
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    if (digits.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return parts->negative ? -value : value;
}

std::optional<std::string> ScaledDecimal(std::string_view text, int places) {
    const auto parts = SplitDecimal(text);
    if (!parts || places < 0) return std::nullopt;
    // All digits with the point moved `places` to the left.
    std::string digits(parts->whole);
    digits += parts->fraction;
    std::size_t point = parts->whole.size();  // digits before the point
    const auto shift = static_cast<std::size_t>(places);
    if (point < shift + 1) {
        digits.insert(0, shift + 1 - point, '0');
        point = shift + 1;
    }
    point -= shift;
    std::string whole = digits.substr(0, point);
    std::string fraction = digits.substr(point);
    while (whole.size() > 1 && whole.front() == '0') whole.erase(0, 1);
    while (fraction.size() > shift && fraction.back() == '0') fraction.pop_back();
    if (fraction.size() < shift) fraction.append(shift - fraction.size(), '0');
    const bool zero = whole == "0" && fraction.find_first_not_of('0') == std::string::npos;
    std::string out = parts->negative && !zero ? "-" : "";
    out += whole;
    if (!fraction.empty()) out += "." + fraction;
    return out;
}

std::string HundredthsText(std::int64_t hundredths) {
    const bool negative = hundredths < 0;
    // Through unsigned, so that the most negative value has a magnitude too.
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(hundredths)
                                             : static_cast<std::uint64_t>(hundredths);
    std::string cents = std::to_string(magnitude % 100);
    if (cents.size() < 2) cents.insert(0, "0");
    return (negative ? "-" : "") + std::to_string(magnitude / 100) + "." + cents;
}

std::optional<std::string> IsoTimestamp(std::string_view digits) {
    if (!AllDigits(digits)) return std::nullopt;
    if (digits.size() != 14 && digits.size() != 8) return std::nullopt;
    std::string out(digits.substr(0, 4));
    out.append("-").append(digits.substr(4, 2)).append("-").append(digits.substr(6, 2));
    if (digits.size() == 14) {
        out.append("T").append(digits.substr(8, 2)).append(":").append(digits.substr(10, 2));
        out.append(":").append(digits.substr(12, 2));
    }
    return out;
}

}  // namespace tavrelo
