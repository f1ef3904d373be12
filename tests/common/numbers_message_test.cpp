// The conversion errors quote the text they refused: a short one whole, a long one by its first
// bytes and its length, so that a value of megabytes never makes a message of megabytes.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/errors.h"
#include "common/numbers.h"

namespace tavrelo {
namespace {

std::string MessageOf(const std::function<void()>& convert) {
    try {
        convert();
    } catch (const ConversionError& error) {
        return error.what();
    }
    ADD_FAILURE() << "no ConversionError";
    return {};
}

struct Parser {
    const char* name;
    std::function<void(std::string_view)> parse;
};

const Parser kParsers[] = {
    {"ParseFloat", [](std::string_view t) { ParseFloat(t); }},
    {"ParseInt", [](std::string_view t) { ParseInt(t); }},
    {"ParseIntSkippingLeadingBlanks", [](std::string_view t) { ParseIntSkippingLeadingBlanks(t); }},
};

TEST(NumberMessages, LongTextsAreQuotedByTheirFirstBytesAndLength) {
    const std::string megabyte_of_digits(1 << 20, '7');
    const std::string letters = std::string(1 << 20, 'x');
    const std::string cyrillic_then_digits = std::string(100, '\xE0') + "12";
    const struct {
        const Parser& parser;
        std::string text;
        const char* reason;
    } cases[] = {
        {kParsers[0], megabyte_of_digits, " is not a valid floating point value (out of range)"},
        {kParsers[0], letters, " is not a valid floating point value"},
        {kParsers[0], "1e" + megabyte_of_digits,
         " is not a valid floating point value (out of range)"},
        {kParsers[0], cyrillic_then_digits, " is not a valid floating point value"},
        {kParsers[1], megabyte_of_digits, " is not a valid integer value"},
        {kParsers[1], letters, " is not a valid integer value"},
        {kParsers[2], std::string(1 << 20, ' ') + "x", " is not a valid integer value"},
    };
    for (const auto& c : cases) {
        const std::string message = MessageOf([&] { c.parser.parse(c.text); });
        EXPECT_EQ(message, "'" + c.text.substr(0, 64) + "...' (" + std::to_string(c.text.size()) +
                               " bytes)" + c.reason)
            << c.parser.name << " of " << c.text.size() << " bytes";
    }
}

TEST(NumberMessages, TextsUpTo64BytesAreQuotedWhole) {
    const std::string at_limit = std::string(63, '1') + "x";
    const std::string one_more = std::string(64, '1') + "x";
    for (const Parser& p : kParsers) {
        const std::string reason = std::string(p.name) == "ParseFloat"
                                       ? " is not a valid floating point value"
                                       : " is not a valid integer value";
        EXPECT_EQ(MessageOf([&] { p.parse(at_limit); }), "'" + at_limit + "'" + reason) << p.name;
        EXPECT_EQ(MessageOf([&] { p.parse(one_more); }),
                  "'" + one_more.substr(0, 64) + "...' (65 bytes)" + reason)
            << p.name;
        EXPECT_EQ(MessageOf([&] { p.parse(""); }), "''" + reason) << p.name;
    }
    EXPECT_EQ(MessageOf([] { ParseFloat("1e39"); }),
              "'1e39' is not a valid floating point value (out of range)");
}

}  // namespace
}  // namespace tavrelo
