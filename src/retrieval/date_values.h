#pragma once

#include <string>
#include <string_view>

namespace tavrelo {

// A two-digit date as the date edits hold it (dd.mm.yy).
struct ShortDate {
    int year = 0;
    int month = 0;
    int day = 0;

    // Characters 1-2 are the day, 4-5 the month, 7-8 the year; ConversionError when a part is
    // not a decimal integer (also when the text is too short).
    static ShortDate FromText(std::string_view text);

    std::string DisplayText() const;  // dd.mm.yy
    std::string CommandText() const;  // dd;mm;yy;
    ShortDate FirstDayOfPreviousMonth() const;

    friend bool operator<(const ShortDate& a, const ShortDate& b);
};

// An hour and a minute as the time edits hold them (hh:mm).
struct time_e {
    int hour = 0;
    int minute = 0;

    // Characters 1-2 are the hour, 4-5 the minute. A text whose third character is not ":" has
    // no defined time and is refused with ConversionError, as is a part that is no integer.
    static time_e FromText(std::string_view text);

    std::string CommandText() const;  // hh;mm;
};

// A value of 9 or less with a leading "0", a larger one unchanged.
std::string TwoDigits(int value);

// The 30-character "F" data text of a date and time range.
std::string NumberRangeDataText(const ShortDate& start_date, const time_e& start_time,
                                const ShortDate& end_date, const time_e& end_time);

// Field 1 (before the first ";") or 2 (between the first and second ";") of an "F" payload as an
// integer; -1 for any other field number. ConversionError when the field is no decimal integer or
// its ";" is missing.
int ReplyField(std::string_view payload, int field);

// The local date and time the edits' defaults are taken from.
struct LocalDateTime {
    int year = 2000;  // full year
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
};

LocalDateTime CurrentLocalDateTime();

// The initial texts of the date and time edits: end = today and now, start = the first day of
// the previous month at 00:00.
struct DateTimeEdits {
    std::string start_date;  // Edit4
    std::string start_time;  // Edit6
    std::string end_date;    // Edit5
    std::string end_time;    // Edit7
};

DateTimeEdits DefaultDateTimeEdits(const LocalDateTime& now);

}  // namespace tavrelo
