#include "retrieval/date_values.h"

#include <ctime>
#include <tuple>

#include "common/errors.h"
#include "common/numbers.h"

namespace tavrelo {
namespace {

// Characters `position` and `position + 1` (1-based) as an integer.
int TwoCharacterPart(std::string_view text, std::size_t position) {
    const std::size_t start = position - 1;
    if (text.size() < start + 2) {
        throw ConversionError("'" + std::string(text) + "' is too short for a date or time");
    }
    return ParseInt(text.substr(start, 2));
}

}  // namespace

ShortDate ShortDate::FromText(std::string_view text) {
    ShortDate date;
    date.day = TwoCharacterPart(text, 1);
    date.month = TwoCharacterPart(text, 4);
    date.year = TwoCharacterPart(text, 7);
    return date;
}

std::string ShortDate::DisplayText() const {
    return TwoDigits(day) + "." + TwoDigits(month) + "." + TwoDigits(year);
}

std::string ShortDate::CommandText() const {
    return TwoDigits(day) + ";" + TwoDigits(month) + ";" + TwoDigits(year) + ";";
}

ShortDate ShortDate::FirstDayOfPreviousMonth() const {
    ShortDate result = *this;
    if (month == 1) {
        result.month = 12;
        // Two-digit years wrap: the month before January 2000 is December 1999, not a year -1
        // that no date edit could hold.
        result.year = year == 0 ? 99 : year - 1;
    } else {
        result.month = month - 1;
    }
    result.day = 1;
    return result;
}

bool operator<(const ShortDate& a, const ShortDate& b) {
    return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

time_e time_e::FromText(std::string_view text) {
    if (text.size() < 3 || text[2] != ':') {
        throw ConversionError("'" + std::string(text) + "' is not a time of the form hh:mm");
    }
    time_e time;
    time.hour = TwoCharacterPart(text, 1);
    time.minute = TwoCharacterPart(text, 4);
    return time;
}

std::string time_e::CommandText() const { return TwoDigits(hour) + ";" + TwoDigits(minute) + ";"; }

std::string TwoDigits(int value) { return (value <= 9 ? "0" : "") + IntToText(value); }

std::string NumberRangeDataText(const ShortDate& start_date, const time_e& start_time,
                                const ShortDate& end_date, const time_e& end_time) {
    return start_date.CommandText() + start_time.CommandText() + end_date.CommandText() +
           end_time.CommandText();
}

int ReplyField(std::string_view payload, int field) {
    if (field != 1 && field != 2) return -1;
    std::size_t start = 0;
    std::size_t end = payload.find(';');
    if (field == 2 && end != std::string_view::npos) {
        start = end + 1;
        end = payload.find(';', start);
    }
    if (end == std::string_view::npos) {
        throw ConversionError("'" + std::string(payload) + "' has no number field " +
                              IntToText(field));
    }
    return ParseInt(payload.substr(start, end - start));
}

LocalDateTime CurrentLocalDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

DateTimeEdits DefaultDateTimeEdits(const LocalDateTime& now) {
    const ShortDate today{now.year % 100, now.month, now.day};
    DateTimeEdits edits;
    edits.end_date = today.DisplayText();
    edits.end_time = TwoDigits(now.hour) + ":" + TwoDigits(now.minute);
    edits.start_date = today.FirstDayOfPreviousMonth().DisplayText();
    edits.start_time = "00:00";
    return edits;
}

}  // namespace tavrelo
