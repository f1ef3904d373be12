#include "render/tax_letter.h"

#include <gtest/gtest.h>

#include <climits>

#include "common/cp1251.h"
#include "common/errors.h"

namespace tavrelo {
namespace {

TEST(TaxLetter, EveryIndex) {
    const struct {
        int index;
        const char* utf8;
    } cases[] = {
        {0, " "},
        {1, "A"},
        {2, "Б"},
        {3, "В"},
        {4, "Г"},
        {5, "Д"},
        {6, "*"},
        {7, "Много параметров"},
        {-1, "Много параметров"},
        {INT_MAX, "Много параметров"},
        {INT_MIN, "Много параметров"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(TaxLetter(c.index), Utf8ToCp1251(c.utf8));
    }
}

TEST(TaxLetter, OneIsTheLatinA) {
    EXPECT_EQ(TaxLetter(1), std::string(1, '\x41'));
    EXPECT_NE(TaxLetter(1), std::string(1, '\xC0'));  // not the Cyrillic А
    EXPECT_EQ(TaxLetter(2), std::string(1, '\xC1'));
}

TEST(TaxIndex, FromText) {
    EXPECT_EQ(TaxIndex("1"), 1);
    EXPECT_EQ(TaxIndex("  3"), 3);
    EXPECT_EQ(TaxIndex("-1"), -1);
    EXPECT_EQ(TaxIndex("+2"), 2);
    for (const char* bad : {"", " ", "x", "1 ", "1.0", "A"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(TaxIndex(bad), ConversionError);
    }
}

}  // namespace
}  // namespace tavrelo
