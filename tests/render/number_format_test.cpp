#include "render/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "render/scale.h"

namespace tavrelo {
namespace {

struct FormatCase {
    long double value;
    const char* fixed2;
    const char* fixed2_short;
    const char* whole;
};

TEST(NumberFormat, TableOfValues) {
    const FormatCase cases[] = {
        {0.0L, "0.00", "0.00", "0"},
        {-0.0L, "0.00", "0.00", "0"},
        {12.5L, "12.50", "12.50", "13"},
        {-5.0L, "-5.00", "-5.00", "-5"},
        {3.0L, "3.00", "3.00", "3"},
        {0.4L, "0.40", "0.40", "0"},
        {1.5L, "1.50", "1.50", "2"},
        // Halves go away from zero, also where printf would round to even.
        {0.125L, "0.13", "0.13", "0"},
        {-0.125L, "-0.13", "-0.13", "0"},
        {0.375L, "0.38", "0.38", "0"},
        {2.5L, "2.50", "2.50", "3"},
        {0.5L, "0.50", "0.50", "1"},
        {-0.5L, "-0.50", "-0.50", "-1"},
        // A value that rounds to zero has no sign.
        {-0.004L, "0.00", "0.00", "0"},
        // Six integer digits fit Fixed2 exactly, five fit Fixed2Short.
        {123456.75L, "123456.75", "123456.80", "123457"},
        {12345.75L, "12345.75", "12345.75", "12346"},
        {1234567.25L, "1234567.30", "1234567.00", "1234567"},
        {1234567.89L, "1234567.90", "1234568.00", "1234568"},
        {12345678.5L, "12345679.00", "1.234568E+07", "12345679"},
        // Carry into a new digit, still inside the precision.
        {99999.99609375L, "100000.00", "100000.00", "100000"},
        {9999999.96875L, "10000000.00", "1.000000E+07", "10000000"},
        // Carry beyond the precision, and values too long for it, use the exponent form.
        {99999999.5L, "1.0000000E+08", "1.000000E+08", "1.0000000E+08"},
        {123456789.0L, "1.2345679E+08", "1.234568E+08", "1.2345679E+08"},
        {-12345678.0L, "-12345678.00", "-1.234568E+07", "-12345678"},
        {100000000.0L, "1.0000000E+08", "1.000000E+08", "1.0000000E+08"},
        {3.4028234663852886e38L, "3.4028235E+38", "3.402823E+38", "3.4028235E+38"},
        {std::numeric_limits<long double>::infinity(), "INF", "INF", "INF"},
        {-std::numeric_limits<long double>::infinity(), "-INF", "-INF", "-INF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<double>(c.value));
        EXPECT_EQ(Fixed2(c.value), c.fixed2);
        EXPECT_EQ(Fixed2Short(c.value), c.fixed2_short);
        EXPECT_EQ(Whole(c.value), c.whole);
    }
    EXPECT_EQ(Fixed2(std::numeric_limits<long double>::quiet_NaN()), "NAN");
}

TEST(NumberFormat, RoundsTheExactBinaryValue) {
    // 267.5 hundredths scaled in extended precision is 2.67499999999999999996: not a tie.
    EXPECT_EQ(Fixed2(Hundredths(267.5f)), "2.67");
    // The float nearest 2.675 lies below it as well.
    EXPECT_EQ(Fixed2(2.675f), "2.67");
    // A value just above a half rounds up, one just below rounds down.
    EXPECT_EQ(Fixed2(std::nextafter(0.125L, 1.0L)), "0.13");
    EXPECT_EQ(Fixed2(std::nextafter(0.125L, 0.0L)), "0.12");
    EXPECT_EQ(Whole(std::nextafter(0.5L, 0.0L)), "0");
    // Tiny values far below the last decimal.
    EXPECT_EQ(Fixed2(std::numeric_limits<long double>::denorm_min()), "0.00");
    EXPECT_EQ(Fixed2(1e-30L), "0.00");
}

TEST(NumberFormat, SinglePrecisionRoundingShowsAboveTwoToTheSeventeen) {
    // 16777215 hundredths: the extended product prints 167772.15, its float neighbour 167772.16.
    EXPECT_EQ(Fixed2(Hundredths(16777215.0f)), "167772.15");
    EXPECT_EQ(Fixed2(HundredthsSingle(16777215.0f)), "167772.16");
    // Below 2^17 currency units both agree.
    EXPECT_EQ(Fixed2(Hundredths(13107199.0f)), "131071.99");
    EXPECT_EQ(Fixed2(HundredthsSingle(13107199.0f)), "131071.99");
}

TEST(NumberFormat, QuantitiesInThousandths) {
    EXPECT_EQ(Whole(ThousandthsSingle(1500.0f)), "2");
    EXPECT_EQ(Whole(ThousandthsSingle(1000.0f)), "1");
    EXPECT_EQ(Whole(ThousandthsSingle(400.0f)), "0");
    EXPECT_EQ(Whole(ThousandthsSingle(2500.0f)), "3");
}

TEST(NumberFormat, ReceiptNumberKeepsNineDigits) {
    EXPECT_EQ(ReceiptNumber(138.0f), "138");
    EXPECT_EQ(ReceiptNumber(123456789.0L), "123456789");
    EXPECT_EQ(ReceiptNumber(0.0f), "0");
}

}  // namespace
}  // namespace tavrelo
