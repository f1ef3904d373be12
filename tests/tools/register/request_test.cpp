#include "register/request.h"

#include <gtest/gtest.h>

#include "raw_client.h"

namespace tavrelo {
namespace {

using testing::Frame;

TEST(RequestBody, ReadsBlockAndRangeRequests) {
    const auto b = std::get<BlockRequest>(ParseRequestBody("B;1;57;3;"));
    EXPECT_EQ(b.type, 1);
    EXPECT_EQ(b.number, 57);
    EXPECT_EQ(b.block, 3);
    const auto z = std::get<BlockRequest>(ParseRequestBody("B;0;52;0;"));
    EXPECT_EQ(z.type, 0);

    const auto f = std::get<RangeRequest>(ParseRequestBody("F;01;02;17;00;00;15;03;17;09;05;"));
    EXPECT_EQ(f.from, 20170201000000);
    EXPECT_EQ(f.to, 20170315090559);  // the whole end minute
}

TEST(RequestBody, RejectsEverythingElse) {
    const char* bad[] = {
        "",
        "B",
        "B;",
        "X;1;2;3;",
        "B;1;2;",
        "B;1;2;3",
        "B;1;2;3;4;",
        "B;2;1;0;",   // no such type
        "B;1;-1;0;",  // no signs
        "B;1;+1;0;",
        "B;1; 1;0;",
        "B;1;1;0x1;",
        "B;1;9999999999;0;",  // beyond 32 bits
        "F;01;02;17;00;00;15;03;17;09;",
        "F;00;02;17;00;00;15;03;17;09;05;",  // day 0
        "F;01;13;17;00;00;15;03;17;09;05;",  // month 13
        "F;01;02;17;24;00;15;03;17;09;05;",  // hour 24
        "F;01;02;17;00;60;15;03;17;09;05;",  // minute 60
        "F;01;02;170;00;00;15;03;17;09;05;",
        "f;01;02;17;00;00;15;03;17;09;05;",
    };
    for (const char* body : bad) {
        EXPECT_TRUE(std::holds_alternative<MalformedRequest>(ParseRequestBody(body))) << body;
    }
}

TEST(RequestReader, CutsFramesOutOfAnyByteStream) {
    RequestReader reader;
    EXPECT_FALSE(reader.Next().has_value());

    // Two frames in one piece, then one frame in three pieces.
    reader.Append(Frame("B;1;5;0;") + Frame("B;1;5;1;"));
    const std::string third = Frame("F;01;02;17;00;00;15;03;17;09;05;");
    EXPECT_EQ(third.size(), 37u);
    EXPECT_EQ(static_cast<unsigned char>(third[1]), 0xA5);
    reader.Append(third.substr(0, 2));
    auto first = reader.Next();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->body, "B;1;5;0;");
    EXPECT_EQ(first->bytes, Frame("B;1;5;0;"));
    EXPECT_EQ(std::get<BlockRequest>(reader.Next()->request).block, 1);
    EXPECT_FALSE(reader.Next().has_value());
    reader.Append(third.substr(2, 20));
    EXPECT_FALSE(reader.Next().has_value());
    reader.Append(third.substr(22));
    EXPECT_TRUE(std::holds_alternative<RangeRequest>(reader.Next()->request));

    // A body too long for the length byte is still one frame.
    reader.Append(Frame("B;1;5;" + std::string(150, '0') + ";"));
    const auto long_frame = reader.Next();
    ASSERT_TRUE(long_frame.has_value());
    EXPECT_TRUE(std::holds_alternative<MalformedRequest>(long_frame->request));
    EXPECT_EQ(long_frame->body.size(), 157u);

    // A bad header spoils its own frame only.
    reader.Append(std::string("\x01\x8D\x81\x21", 4) + "B;1;5;0;\x05" + Frame("B;1;6;0;"));
    EXPECT_TRUE(std::holds_alternative<MalformedRequest>(reader.Next()->request));
    EXPECT_EQ(std::get<BlockRequest>(reader.Next()->request).number, 6);
    EXPECT_EQ(reader.dropped(), 0u);
}

TEST(RequestReader, BoundsWhatAFrameWithoutEndCanTake) {
    RequestReader reader;
    // Bytes before any start byte are dropped as they come.
    reader.Append(std::string(1000, 'a'));
    EXPECT_FALSE(reader.Next().has_value());
    EXPECT_EQ(reader.dropped(), 1000u);

    // An unterminated frame waits for more, up to the bound.
    reader.Append("\x01" + std::string(RequestReader::kMaxFrame - 2, 'a'));
    EXPECT_FALSE(reader.Next().has_value());
    reader.Append(std::string(300, 'a') + Frame("B;1;5;0;"));
    const auto runaway = reader.Next();
    ASSERT_TRUE(runaway.has_value());
    EXPECT_TRUE(std::holds_alternative<MalformedRequest>(runaway->request));
    EXPECT_EQ(runaway->bytes.size(), RequestReader::kMaxFrame);
    EXPECT_EQ(std::get<BlockRequest>(reader.Next()->request).number, 5);

    // A frame cut short by the next start byte.
    reader.Append(std::string("\x01\x8D\x80\x21", 4) + "B;1" + Frame("B;1;7;0;"));
    EXPECT_TRUE(std::holds_alternative<MalformedRequest>(reader.Next()->request));
    EXPECT_EQ(std::get<BlockRequest>(reader.Next()->request).number, 7);
    EXPECT_FALSE(reader.Next().has_value());
}

}  // namespace
}  // namespace tavrelo
