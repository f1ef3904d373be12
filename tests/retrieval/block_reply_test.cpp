#include "retrieval/block_reply.h"

#include <gtest/gtest.h>

#include <string>

#include "common/errors.h"

namespace tavrelo {
namespace {

std::string Reply(std::string_view header, std::string_view rest) {
    return std::string(header) + std::string(rest);
}

TEST(BlockReplyTest, DataTextsArePlainDecimals) {
    EXPECT_EQ(BlockDataText(1, 57, 3), "1;57;3;");
    EXPECT_EQ(BlockDataText(0, 1, 0), "0;1;0;");
    EXPECT_EQ(TypeCodeForSelection(0), 0);
    for (int item : {1, 2, 3, -1}) EXPECT_EQ(TypeCodeForSelection(item), 1) << item;
}

TEST(BlockReplyTest, RecognisesTheFiveEndMarks) {
    struct Case {
        std::string reply;
        bool ends;
    };
    const Case cases[] = {
        {Reply("\x01\x85\x80!", "D;\x05"), true},
        {Reply("\x01\x85\x80!", "E;xyz\x05"), true},
        {Reply("\x02\x85\x80!", "D;\x05"), true},  // the D;/E; test ignores byte 0
        {Reply("\x01\x85\x80", "0\x05"), true},
        {Reply("\x01\x85\x80", "\"\x05"), true},
        {Reply("\x01\x85\x80", "C\x05"), true},
        {Reply("\x01\x85\x80", "C"), true},
        {Reply("\x02\x85\x80", "0\x05"), false},  // status needs the start byte
        {Reply("\x01\x85\x80!", "<DAT>\x05"), false},
        {Reply("\x01\x85\x80!", "d;\x05"), false},
        {Reply("\x01\x85\x80!", "D:\x05"), false},
        {"\x01\x85", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(EndsDocument(c.reply), c.ends) << c.reply;
}

TEST(BlockReplyTest, PayloadIsBetweenHeaderAndTrailer) {
    EXPECT_EQ(BlockPayload("\x01\x85\x80!<DAT/>\x05"), "<DAT/>");
    EXPECT_EQ(BlockPayload("\x01\x85\x80!\x05"), "");
    EXPECT_EQ(BlockPayload("\x01\x85\x80!"), "");
    EXPECT_THROW(BlockPayload("\x01\x85\x80"), RangeError);
    EXPECT_THROW(BlockPayload(""), RangeError);
}

TEST(BlockReplyTest, AdvancesByTheBlocksThePayloadCovers) {
    // Reply length = payload + 5.
    const std::pair<int, int> cases[] = {{4, 1},   {5, 0},   {6, 1},   {155, 1}, {156, 2},
                                         {305, 2}, {306, 3}, {405, 3}, {45, 1}};
    for (const auto& [length, advance] : cases) {
        EXPECT_EQ(BlockAdvance(length), advance) << length;
    }
}

TEST(BlockReplyTest, ProgressCountsTheDocumentsBeforeTheCurrentOne) {
    const char* const five_blanks = "     ";
    struct Case {
        int first, last, number;
        std::string text;
    };
    const Case cases[] = {
        {1, 3, 1, std::string("0.00%") + five_blanks + "1"},
        {1, 3, 2, std::string("33.33%") + five_blanks + "2"},
        {1, 3, 3, std::string("66.67%") + five_blanks + "3"},
        {7, 7, 7, std::string("0.00%") + five_blanks + "7"},
        {1, 100, 100, std::string("99.00%") + five_blanks + "100"},
        {10, 12, 11, std::string("33.33%") + five_blanks + "11"},
        // 1 of 32 is exactly 3.125: halves go away from zero, as on the tape.
        {1, 32, 2, std::string("3.13%") + five_blanks + "2"},
        {1, 2147483647, 2147483647, std::string("100.00%") + five_blanks + "2147483647"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProgressText(c.first, c.last, c.number), c.text);
}

}  // namespace
}  // namespace tavrelo
