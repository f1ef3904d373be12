#include "render/place_right.h"

#include <gtest/gtest.h>

#include <string>

#include "common/errors.h"

namespace tavrelo {
namespace {

struct PaddingCase {
    std::size_t length_before;
    std::size_t length_after;
};

TEST(PlaceRight, PadsShortLinesOnceBy35Spaces) {
    const PaddingCase cases[] = {{0, 35}, {11, 46}, {21, 56}, {37, 72}, {38, 38}, {45, 45}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length_before);
        const std::string line = PlaceRight(std::string(c.length_before, 'x'), "1", 30);
        EXPECT_EQ(line.size(), c.length_after);
        EXPECT_EQ(line[29], '1');
    }
    // A second placement does not pad again.
    const std::string once = PlaceRight("  Rate", "7.00%", 30);
    EXPECT_EQ(PlaceRight(once, "1.00", 37).size(), once.size());
}

TEST(PlaceRight, OverwritesSoThatTheValueEndsAtTheColumn) {
    const std::string line = PlaceRight("  Sum" + std::string(15, ' ') + "x", "12.00", 37);
    ASSERT_EQ(line.size(), 56u);
    EXPECT_EQ(line.substr(32, 5), "12.00");  // columns 33 to 37
    EXPECT_EQ(line.substr(0, 21), "  Sum" + std::string(15, ' ') + "x");
    EXPECT_EQ(line.substr(37), std::string(19, ' '));

    EXPECT_EQ(PlaceRight("  000000000", "138", 11), "  000000138" + std::string(35, ' '));
    // Characters before and after the value stay, even in a long line.
    const std::string long_line(50, 'n');
    EXPECT_EQ(PlaceRight(long_line, "1.00 A", 37),
              std::string(31, 'n') + "1.00 A" + std::string(13, 'n'));
}

TEST(PlaceRight, RangeErrorWhenTheValueLeavesTheLine) {
    // Twelve characters cannot end at column 11; eleven can.
    EXPECT_THROW(PlaceRight("  000000000", "123456789012", 11), RangeError);
    EXPECT_EQ(PlaceRight("  000000000", "12345678901", 11).substr(0, 11), "12345678901");
    // Beyond the last character of a line that was not padded.
    EXPECT_THROW(PlaceRight(std::string(38, ' '), "1", 39), RangeError);
    EXPECT_EQ(PlaceRight(std::string(38, ' '), "1", 38).back(), '1');
}

}  // namespace
}  // namespace tavrelo
