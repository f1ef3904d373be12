#include "common/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>

#include "common/errors.h"

namespace tavrelo {
namespace {

struct FloatCase {
    const char* text;
    float value;
};

TEST(ParseFloat, DecimalTexts) {
    const FloatCase cases[] = {
        {"1200", 1200.0f}, {"20.00", 20.0f}, {"1500", 1500.0f}, {"0", 0.0f},
        {"-5", -5.0f},     {"+7", 7.0f},     {".5", 0.5f},      {"5.", 5.0f},
        {"1e3", 1000.0f},  {"2.5E-1", 0.25f}, {"0.1", 0.1f},    {"16777217", 16777216.0f},
        {"1e-50", 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseFloat(c.text), c.value);
    }
}

TEST(ParseFloat, RoundsOnceToSinglePrecision) {
    // Odd integers above 2^24 come out as an even neighbour.
    EXPECT_EQ(ParseFloat("16777219"), 16777220.0f);
    // 0.1 as float is the nearest float to 0.1, not the float nearest to the double 0.1.
    EXPECT_EQ(ParseFloat("0.1"), 0.1f);
}

TEST(ParseFloat, NegativeZeroKeepsItsSign) {
    const float z = ParseFloat("-0");
    EXPECT_EQ(z, 0.0f);
    EXPECT_TRUE(std::signbit(z));
}

TEST(ParseFloat, RejectsWhatIsNotADecimalNumber) {
    const char* const bad[] = {"",    " ",   "x",    " 5",    "5 ",    "1,5", "1.2.3", "-",
                               "+",   ".",   "e5",   "1e",    "1e+",   "nan", "NaN",   "inf",
                               "-inf", "infinity", "0x10", "1e39", "-1e39", "++1", "1_000"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_THROW(ParseFloat(text), ConversionError);
    }
}

TEST(ParseFloat, MessageNamesTheText) {
    try {
        ParseFloat("12a");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'12a' is not a valid floating point value");
    }
}

// A locale whose decimal separator is a comma must not change anything; the setup script
// generates de_DE.UTF-8 for this.
TEST(ParseFloat, IgnoresACommaLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "run scripts/setup.sh";
    const std::locale previous_global = std::locale::global(std::locale("de_DE.UTF-8"));
    ASSERT_EQ(*std::localeconv()->decimal_point, ',');
    EXPECT_EQ(ParseFloat("20.00"), 20.0f);
    EXPECT_EQ(ParseFloat("12.5"), 12.5f);
    EXPECT_EQ(ParseFloat("-0.25"), -0.25f);
    EXPECT_THROW(ParseFloat("12,5"), ConversionError);
    std::locale::global(previous_global);
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(ParseInt, Strict) {
    EXPECT_EQ(ParseInt("0"), 0);
    EXPECT_EQ(ParseInt("57"), 57);
    EXPECT_EQ(ParseInt("-3"), -3);
    EXPECT_EQ(ParseInt("+3"), 3);
    EXPECT_EQ(ParseInt("007"), 7);
    EXPECT_EQ(ParseInt("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt("-2147483648"), std::numeric_limits<int>::min());
    const char* const bad[] = {"", " 1", "1 ", "abc", "1.0", "2147483648", "-", "+-1", "0x1"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_THROW(ParseInt(text), ConversionError);
    }
}

TEST(ParseInt, SkippingLeadingBlanks) {
    EXPECT_EQ(ParseIntSkippingLeadingBlanks("  3"), 3);
    EXPECT_EQ(ParseIntSkippingLeadingBlanks("1"), 1);
    const char* const bad[] = {"", " ", "3 ", "x", "2147483648"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_THROW(ParseIntSkippingLeadingBlanks(text), ConversionError);
    }
    try {
        ParseIntSkippingLeadingBlanks(" x");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "' x' is not a valid integer value");
    }
}

TEST(TruncToInt32, DefinedForEveryValue) {
    EXPECT_EQ(TruncToInt32(52.9L), 52);
    EXPECT_EQ(TruncToInt32(-1.5L), -1);
    EXPECT_EQ(TruncToInt32(1e10L), std::numeric_limits<int>::max());
    EXPECT_EQ(TruncToInt32(-1e10L), std::numeric_limits<int>::min());
    EXPECT_EQ(TruncToInt32(std::numeric_limits<long double>::quiet_NaN()), 0);
    EXPECT_EQ(TruncToInt32(std::numeric_limits<long double>::infinity()),
              std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace tavrelo
