#include "common/cp1251.h"

#include <gtest/gtest.h>

#include <string>

namespace tavrelo {
namespace {

// Every byte of the upper half, with the character it stands for in Windows-1251.
const char* const kUpperHalf[128] = {
    "Ђ", "Ѓ", "‚", "ѓ", "„", "…", "†", "‡", "€", "‰", "Љ", "‹", "Њ", "Ќ", "Ћ", "Џ",
    "ђ", "‘", "’", "“", "”", "•", "–", "—", "\xC2\x98", "™", "љ", "›", "њ", "ќ", "ћ", "џ",
    "\xC2\xA0", "Ў", "ў", "Ј", "¤", "Ґ", "¦", "§", "Ё", "©", "Є", "«", "¬", "\xC2\xAD", "®", "Ї",
    "°", "±", "І", "і", "ґ", "µ", "¶", "·", "ё", "№", "є", "»", "ј", "Ѕ", "ѕ", "ї",
    "А", "Б", "В", "Г", "Д", "Е", "Ж", "З", "И", "Й", "К", "Л", "М", "Н", "О", "П",
    "Р", "С", "Т", "У", "Ф", "Х", "Ц", "Ч", "Ш", "Щ", "Ъ", "Ы", "Ь", "Э", "Ю", "Я",
    "а", "б", "в", "г", "д", "е", "ж", "з", "и", "й", "к", "л", "м", "н", "о", "п",
    "р", "с", "т", "у", "ф", "х", "ц", "ч", "ш", "щ", "ъ", "ы", "ь", "э", "ю", "я",
};

TEST(Cp1251, EveryUpperByteConvertsBothWays) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string byte(1, static_cast<char>(b));
        SCOPED_TRACE(b);
        EXPECT_EQ(Cp1251ToUtf8(byte), kUpperHalf[b - 0x80]);
        EXPECT_EQ(Utf8ToCp1251(kUpperHalf[b - 0x80]), byte);
    }
}

TEST(Cp1251, AsciiPassesUnchanged) {
    std::string all;
    for (int b = 0; b < 0x80; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Cp1251ToUtf8(all), all);
    EXPECT_EQ(Utf8ToCp1251(all), all);
}

TEST(Cp1251, UkrainianText) {
    EXPECT_EQ(Utf8ToCp1251("ГРОШІ"), "\xC3\xD0\xCE\xD8\xB2");
    EXPECT_EQ(Cp1251ToUtf8("\xCA\xF0\xE5\xE4\xE8\xF2 \xB2\xB3\xAF\xBF"), "Кредит ІіЇї");
}

TEST(Cp1251, CharactersWithoutAFormBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("a€b"), "a\x88" "b");      // has a form
    EXPECT_EQ(Utf8ToCp1251("ä"), "?");                // Latin a with diaeresis: none
    EXPECT_EQ(Utf8ToCp1251("日本"), "??");
    EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80"), "?");  // outside the BMP
}

TEST(Cp1251, MalformedUtf8BecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("a\xFF" "b"), "a?b");         // not a lead byte
    EXPECT_EQ(Utf8ToCp1251("a\xD0"), "a?");              // cut short at the end
    EXPECT_EQ(Utf8ToCp1251("\xD0" "A"), "?A");           // continuation missing
    EXPECT_EQ(Utf8ToCp1251("\xC0\x80"), "?");            // overlong NUL
    EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "?");        // a surrogate
}

}  // namespace
}  // namespace tavrelo
