#include "platform/qt/qt_text.h"

#include <gtest/gtest.h>

#include "common/cp1251.h"
#include "platform/qt/ui_services.h"

namespace tavrelo {
namespace {

TEST(QtTextTest, RoundTripsWindows1251) {
    const std::string cp1251 = Utf8ToCp1251("Соединение с РРО — Її Ґґ №5");
    const QString shown = ToQString(cp1251);
    EXPECT_EQ(shown, QString::fromUtf8("Соединение с РРО — Її Ґґ №5"));
    EXPECT_EQ(ToCp1251(shown), cp1251);
}

TEST(QtTextTest, EveryByteSurvives) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(ToCp1251(ToQString(all)), all);
}

TEST(QtTextTest, UnrepresentableBecomesQuestionMark) {
    EXPECT_EQ(ToCp1251(QString::fromUtf8("a\u4e2db")), "a?b");
}

TEST(DefaultSuffixTest, AddsOnlyWhenTheNameHasNoExtension) {
    EXPECT_EQ(WithDefaultSuffix("/tmp/out", "txt"), std::filesystem::path("/tmp/out.txt"));
    EXPECT_EQ(WithDefaultSuffix("/tmp/out.log", "txt"), std::filesystem::path("/tmp/out.log"));
    EXPECT_EQ(WithDefaultSuffix("/tmp/out.txt", "txt"), std::filesystem::path("/tmp/out.txt"));
    EXPECT_EQ(WithDefaultSuffix("/tmp/a.b/out", "txt"), std::filesystem::path("/tmp/a.b/out.txt"));
    EXPECT_EQ(WithDefaultSuffix("/tmp/out", ""), std::filesystem::path("/tmp/out"));
}

}  // namespace
}  // namespace tavrelo
