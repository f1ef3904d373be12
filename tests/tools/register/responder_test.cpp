#include "register/responder.h"

#include <gtest/gtest.h>

#include "raw_client.h"
#include "register/generator.h"

namespace tavrelo {
namespace {

using testing::EndsDocument;
using testing::FetchDocument;

const std::string kFixture = std::string(TAVRELO_TEST_DATA_DIR) + "/tools/register-tape.xml";

auto Exchanger(const Responder& responder) {
    return [&responder](const std::string& body) {
        return responder.Respond(ParseRequestBody(body)).reply;
    };
}

TEST(Reply, FramesEveryReplyTheWayTheClientReadsIt) {
    const std::string data = BuildReply(kDataStatus, "12;30;");
    EXPECT_EQ(data, std::string("\x01\x8B\x80!12;30;\x05", 11));
    const std::string big = BuildReply(kDataStatus, std::string(1495, 'x'));
    ASSERT_EQ(big.size(), 1500u);
    EXPECT_EQ(static_cast<unsigned char>(big[1]), 0x80 | (1500 & 0x7F));
    EXPECT_EQ(static_cast<unsigned char>(big[2]), 0x80 | (1500 >> 7));
    EXPECT_FALSE(EndsDocument(data));

    EXPECT_EQ(BuildEndReply(EndMark::kStatusZero), std::string("\x01\x85\x80"
                                                               "0\x05",
                                                               5));
    EXPECT_EQ(BuildEndReply(EndMark::kDSemicolon), std::string("\x01\x87\x80!D;\x05", 7));
    EXPECT_EQ(BuildErrorReply(), std::string("\x01\x85\x80"
                                             "C\x05",
                                             5));
    for (const std::string& end : {BuildEndReply(EndMark::kStatusZero),
                                   BuildEndReply(EndMark::kDSemicolon), BuildErrorReply()}) {
        EXPECT_TRUE(EndsDocument(end));
    }
}

TEST(BlockPayloadSize, SendsWholeBlocksExceptAtTheEndAndAvoidsEndLookalikes) {
    const std::string plain(2000, 'x');
    std::string lookalike = plain;
    lookalike.replace(1350, 2, "D;");  // block 9 would start like an end mark
    std::string two = lookalike;
    two.replace(1200, 2, "E;");  // and block 8 as well
    struct Case {
        const std::string* text;
        std::size_t start, max, expected;
    };
    const Case cases[] = {
        {&plain, 0, 1495, 1350},    // 9 whole blocks, not 1495
        {&plain, 1350, 1495, 650},  // the rest at once
        {&plain, 450, 1495, 1350}, {&plain, 600, 1495, 1400},    {&plain, 750, 1495, 1250},
        {&plain, 0, 150, 150},     {&plain, 1950, 150, 50},      {&plain, 0, 299, 150},
        {&plain, 2000, 1495, 0},   {&plain, 4000, 1495, 0},      {&lookalike, 0, 1495, 1200},
        {&two, 0, 1495, 1050},     {&lookalike, 1200, 150, 150},  // one block at a time cannot
                                                                  // avoid it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BlockPayloadSize(*c.text, c.start, c.max), c.expected) << c.start << " " << c.max;
    }
}

TEST(Responder, ServesDocumentsBlockByBlock) {
    const Tape tape = Tape::FromFile(kFixture);
    ASSERT_EQ(tape.FindByDi(8)->text.size(), 400u);
    struct Case {
        EndMark mark;
        std::size_t max;
        int type, number;
        std::vector<std::size_t> payloads;
        int end_block;
    };
    const Case cases[] = {
        {EndMark::kStatusZero, 1495, 1, 8, {400}, 3},
        {EndMark::kDSemicolon, 1495, 1, 8, {400}, 3},
        {EndMark::kStatusZero, 150, 1, 8, {150, 150, 100}, 3},
        {EndMark::kDSemicolon, 150, 1, 8, {150, 150, 100}, 3},
        {EndMark::kStatusZero, 1495, 0, 52, {417}, 3},  // Z-report 52 is DI 9
        {EndMark::kStatusZero, 1495, 1, 52, {}, 0},     // no DI 52
        {EndMark::kStatusZero, 1495, 0, 8, {}, 0},      // no Z-report 8
        {EndMark::kDSemicolon, 1495, 1, 0, {}, 0},
    };
    for (const Case& c : cases) {
        const Responder responder(tape, c.mark, c.max);
        const auto fetched = FetchDocument(Exchanger(responder), c.type, c.number);
        EXPECT_EQ(fetched.payloads, c.payloads) << c.type << ";" << c.number << " max " << c.max;
        EXPECT_EQ(fetched.end_block, c.end_block);
        EXPECT_FALSE(fetched.zero_byte);
        if (!c.payloads.empty()) {
            const TapeDocument* d =
                c.type == 0 ? tape.FindByZNo(c.number) : tape.FindByDi(c.number);
            EXPECT_EQ(fetched.text, d->text);
        }
    }
    // Blocks beyond the end, and the end mark the option chose.
    const Responder d_mark(tape, EndMark::kDSemicolon, 1495);
    EXPECT_EQ(d_mark.Respond(BlockRequest{1, 8, 3}).reply, BuildEndReply(EndMark::kDSemicolon));
    EXPECT_EQ(d_mark.Respond(BlockRequest{1, 8, 32767}).reply, BuildEndReply(EndMark::kDSemicolon));
    // Block 2 of a 400-byte document: its last 100 bytes.
    EXPECT_EQ(d_mark.Respond(BlockRequest{1, 8, 2}).reply.size(), 105u);
}

TEST(Responder, AnswersDateRangesAndMalformedRequests) {
    const Tape tape = Tape::FromFile(kFixture);
    const Responder responder(tape, EndMark::kStatusZero, 1495);
    const auto payload = [&](const std::string& body) {
        const std::string reply = responder.Respond(ParseRequestBody(body)).reply;
        EXPECT_EQ(reply[0], '\x01');
        EXPECT_EQ(reply[3], kDataStatus);
        return reply.substr(4, reply.size() - 5);
    };
    EXPECT_EQ(payload("F;01;04;14;00;00;31;05;14;23;59;"), "8;11;");
    EXPECT_EQ(payload("F;30;04;14;14;42;30;04;14;14;42;"), "8;8;");  // end minute inclusive
    EXPECT_EQ(payload("F;30;04;14;14;43;05;05;14;09;34;"), "9;10;");
    EXPECT_EQ(payload("F;01;01;15;00;00;31;12;15;23;59;"), "0;0;");
    EXPECT_EQ(payload("F;05;05;14;00;00;01;05;14;00;00;"), "0;0;");  // reversed

    for (const char* body : {"F;01;13;14;00;00;31;05;14;23;59;", "Q;", "B;7;1;0;"}) {
        EXPECT_EQ(responder.Respond(ParseRequestBody(body)).reply, BuildErrorReply()) << body;
    }
}

// Every document of a generated tape comes back byte for byte, with no zero byte in any reply.
TEST(Responder, ReassemblesEveryGeneratedDocument) {
    const Tape tape = Tape::Parse(GenerateTape(600, 11));
    ASSERT_EQ(tape.size(), 600u);
    for (const EndMark mark : {EndMark::kStatusZero, EndMark::kDSemicolon}) {
        for (const std::size_t max : {std::size_t{150}, std::size_t{777}, kMaxReplyPayload}) {
            const Responder responder(tape, mark, max);
            for (const TapeDocument& d : tape.documents()) {
                const auto fetched = FetchDocument(Exchanger(responder), 1, d.di);
                ASSERT_EQ(fetched.text, d.text) << "DI " << d.di << " max " << max;
                ASSERT_FALSE(fetched.zero_byte);
                for (const std::size_t p : fetched.payloads) ASSERT_LE(p, max);
            }
        }
    }
}

}  // namespace
}  // namespace tavrelo
