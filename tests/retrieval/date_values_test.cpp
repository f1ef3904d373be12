#include "retrieval/date_values.h"

#include <gtest/gtest.h>

#include "common/errors.h"

namespace tavrelo {
namespace {

TEST(ShortDateTest, ReadsAndWritesTheTwoDigitForms) {
    const ShortDate date = ShortDate::FromText("15.03.17");
    EXPECT_EQ(date.day, 15);
    EXPECT_EQ(date.month, 3);
    EXPECT_EQ(date.year, 17);
    EXPECT_EQ(date.DisplayText(), "15.03.17");
    EXPECT_EQ(date.CommandText(), "15;03;17;");
    EXPECT_EQ(ShortDate::FromText("01.02.00").DisplayText(), "01.02.00");
    for (const char* bad : {"  .  .  ", "1.3.17", "15.03.1", "", "15.0x.17"}) {
        EXPECT_THROW(ShortDate::FromText(bad), ConversionError) << bad;
    }
}

TEST(ShortDateTest, ComparesYearThenMonthThenDay) {
    EXPECT_TRUE(ShortDate::FromText("01.01.00") < ShortDate::FromText("31.12.99"));
    EXPECT_TRUE(ShortDate::FromText("31.01.17") < ShortDate::FromText("01.02.17"));
    EXPECT_TRUE(ShortDate::FromText("01.02.17") < ShortDate::FromText("02.02.17"));
    EXPECT_FALSE(ShortDate::FromText("02.02.17") < ShortDate::FromText("02.02.17"));
}

TEST(ShortDateTest, FirstDayOfThePreviousMonth) {
    const std::pair<const char*, const char*> cases[] = {{"15.03.17", "01.02.17"},
                                                         {"10.01.17", "01.12.16"},
                                                         {"31.10.17", "01.09.17"},
                                                         {"05.01.00", "01.12.99"}};
    for (const auto& [date, first] : cases) {
        EXPECT_EQ(ShortDate::FromText(date).FirstDayOfPreviousMonth().DisplayText(), first);
    }
}

TEST(TimeTest, ReadsOnlyTheColonForm) {
    const time_e time = time_e::FromText("09:05");
    EXPECT_EQ(time.hour, 9);
    EXPECT_EQ(time.minute, 5);
    EXPECT_EQ(time.CommandText(), "09;05;");
    for (const char* bad : {"9:05", "0905", "  :  ", "09:", ""}) {
        EXPECT_THROW(time_e::FromText(bad), ConversionError) << bad;
    }
}

TEST(NumberRangeDataTextTest, IsThirtyCharactersOfTwoDigitFields) {
    const std::string text =
        NumberRangeDataText(ShortDate::FromText("01.02.17"), time_e::FromText("00:00"),
                            ShortDate::FromText("15.03.17"), time_e::FromText("09:05"));
    EXPECT_EQ(text, "01;02;17;00;00;15;03;17;09;05;");
    EXPECT_EQ(TwoDigits(9), "09");
    EXPECT_EQ(TwoDigits(10), "10");
    EXPECT_EQ(TwoDigits(0), "00");
}

TEST(ReplyFieldTest, TakesTheFirstTwoSemicolonEndedFields) {
    EXPECT_EQ(ReplyField("12;30;", 1), 12);
    EXPECT_EQ(ReplyField("12;30;", 2), 30);
    EXPECT_EQ(ReplyField("12;30;7;", 2), 30);
    EXPECT_EQ(ReplyField("12;30;", 3), -1);
    EXPECT_EQ(ReplyField("12;30;", 0), -1);
    EXPECT_EQ(ReplyField("", 3), -1);
    EXPECT_EQ(ReplyField("12;", 1), 12);
    for (const auto& [payload, field] : std::vector<std::pair<const char*, int>>{{"12;", 2},
                                                                                 {"12;30", 2},
                                                                                 {"12", 1},
                                                                                 {"", 1},
                                                                                 {"x;30;", 1},
                                                                                 {";30;", 1},
                                                                                 {"12; 30;", 2}}) {
        EXPECT_THROW(ReplyField(payload, field), ConversionError) << payload << " " << field;
    }
}

TEST(DefaultDateTimeEditsTest, StartAtTheFirstOfThePreviousMonth) {
    const DateTimeEdits january = DefaultDateTimeEdits({2017, 1, 10, 9, 5});
    EXPECT_EQ(january.start_date, "01.12.16");
    EXPECT_EQ(january.start_time, "00:00");
    EXPECT_EQ(january.end_date, "10.01.17");
    EXPECT_EQ(january.end_time, "09:05");
    const DateTimeEdits march = DefaultDateTimeEdits({2017, 3, 15, 23, 59});
    EXPECT_EQ(march.start_date, "01.02.17");
    EXPECT_EQ(march.end_date, "15.03.17");
    EXPECT_EQ(march.end_time, "23:59");
}

}  // namespace
}  // namespace tavrelo
