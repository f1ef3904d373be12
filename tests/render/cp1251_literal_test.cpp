#include "render/cp1251_literal.h"

#include <gtest/gtest.h>

#include "common/cp1251.h"

namespace tavrelo {
namespace {

TEST(Cp1251Literal, ConvertsAtCompileTimeAsTheRuntimeConversionDoes) {
    constexpr std::string_view company = "          ДП \"Компанія KERVA\""_cp;
    static_assert(company.size() == 29);
    EXPECT_EQ(std::string(company), Utf8ToCp1251("          ДП \"Компанія KERVA\""));
    // The Ukrainian letters and the Russian ones of the messages.
    EXPECT_EQ(std::string("ЄєІіЇїҐґЁё№"_cp), "\xAA\xBA\xB2\xB3\xAF\xBF\xA5\xB4\xA8\xB8\xB9");
    EXPECT_EQ(std::string("АЯая"_cp), "\xC0\xDF\xE0\xFF");
    static_assert(""_cp.empty());
}

}  // namespace
}  // namespace tavrelo
