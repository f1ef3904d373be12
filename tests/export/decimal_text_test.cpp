#include "export/decimal_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tavrelo {
namespace {

TEST(WholeNumber, TakesIntegersWithAZeroFractionOnly) {
    const struct {
        const char* text;
        std::optional<std::int64_t> value;
    } cases[] = {
        {"1200", 1200},
        {"-5", -5},
        {"+7", 7},
        {"0", 0},
        {"007", 7},
        {"1200.00", 1200},
        {"1677721701", 1677721701},
        {"999999999999999999", 999999999999999999},
        {"1000000000000000000", std::nullopt},
        {"12.5", std::nullopt},
        {".5", std::nullopt},
        {"1e3", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {" 12", std::nullopt},
        {"12 ", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(WholeNumber(c.text), c.value) << c.text;
}

TEST(ScaledDecimal, MovesThePointWithoutRounding) {
    const struct {
        const char* text;
        int places;
        std::optional<std::string> scaled;
    } cases[] = {
        {"1200", 2, "12.00"},
        {"5", 2, "0.05"},
        {"-5", 2, "-0.05"},
        {"-0", 2, "0.00"},
        {"0", 2, "0.00"},
        {"1500", 3, "1.500"},
        {"150", 3, "0.150"},
        {"12.5", 2, "0.125"},
        {"1200.00", 2, "12.00"},
        {"1677721701", 2, "16777217.01"},
        {"123456789012345678901", 2, "1234567890123456789.01"},
        {"0012", 2, "0.12"},
        {"20.00", 0, "20"},
        {"1e3", 2, std::nullopt},
        {"", 2, std::nullopt},
        {"abc", 2, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScaledDecimal(c.text, c.places), c.scaled) << c.text << " " << c.places;
    }
}

TEST(HundredthsText, WritesCurrencyUnits) {
    EXPECT_EQ(HundredthsText(1200), "12.00");
    EXPECT_EQ(HundredthsText(5), "0.05");
    EXPECT_EQ(HundredthsText(-5), "-0.05");
    EXPECT_EQ(HundredthsText(-1234), "-12.34");
    EXPECT_EQ(HundredthsText(0), "0.00");
    EXPECT_EQ(HundredthsText(INT64_MIN), "-92233720368547758.08");
}

TEST(IsoTimestamp, KnowsTheTwoStampsOfTheTape) {
    EXPECT_EQ(IsoTimestamp("20140430144200"), "2014-04-30T14:42:00");
    EXPECT_EQ(IsoTimestamp("20140430"), "2014-04-30");
    EXPECT_EQ(IsoTimestamp("2014043014420"), std::nullopt);
    EXPECT_EQ(IsoTimestamp("2014-04-30"), std::nullopt);
    EXPECT_EQ(IsoTimestamp(""), std::nullopt);
    EXPECT_EQ(IsoTimestamp("0"), std::nullopt);
}

}  // namespace
}  // namespace tavrelo
