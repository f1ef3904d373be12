#include "link/exchange.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp1251.h"
#include "link/link_messages.h"
#include "platform/net/posix_stream_socket.h"
#include "scripted_peer.h"

namespace tavrelo {
namespace {

using testing::BlockReply;
using testing::ScriptedPeer;
using Step = ScriptedPeer::Step;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes += static_cast<char>(v);
    return bytes;
}

struct RecordingLossHandler : ConnectionLossHandler {
    void OnConnectionLost(const std::string& message, const std::string& detail) override {
        messages.push_back(message);
        details.push_back(detail);
    }
    std::vector<std::string> messages;
    std::vector<std::string> details;
};

constexpr ExchangeTimings kShort{2000, 150, 3};

class ExchangeTest : public ::testing::Test {
  protected:
    void ConnectTo(const ScriptedPeer& peer) {
        socket_.Connect("127.0.0.1", peer.port());
        exchange_.set_connection_loss_handler(&losses_);
    }

    PosixStreamSocket socket_;
    Exchange exchange_{socket_, kShort};
    RecordingLossHandler losses_;
};

TEST(BuildFrameTest, FramesAreByteExact) {
    EXPECT_EQ(BuildFrame('B', "1;5;0;"),
              Bytes({0x01, 0x8D, 0x80, 0x21, 'B', ';', '1', ';', '5', ';', '0', ';', 0x05}));
    EXPECT_EQ(BuildFrame('B', "0;1;0;"),
              Bytes({0x01, 0x8D, 0x80, 0x21, 'B', ';', '0', ';', '1', ';', '0', ';', 0x05}));
    const std::string f = BuildFrame('F', "01;02;17;00;00;15;03;17;09;05;");
    ASSERT_EQ(f.size(), 37u);
    EXPECT_EQ(f.substr(0, 4), Bytes({0x01, 0xA5, 0x80, 0x21}));
    EXPECT_EQ(f.substr(4, 32), "F;01;02;17;00;00;15;03;17;09;05;");
    EXPECT_EQ(f.back(), '\x05');
}

TEST_F(ExchangeTest, SendsTheFrameAndReadsTheReply) {
    const std::string reply = BlockReply("<DAT/>");
    ScriptedPeer peer(
        {ScriptedPeer::ReadFrame(), ScriptedPeer::Send(reply), ScriptedPeer::ReadFrame()});
    ConnectTo(peer);
    EXPECT_EQ(exchange_.RequestDocumentBlock("1;5;0;"), static_cast<int>(reply.size()));
    EXPECT_EQ(exchange_.reply().Text(), reply);
    EXPECT_EQ(exchange_.RequestNumberRange("01;02;17;00;00;15;03;17;09;05;"), -1);
    socket_.Close();
    const auto frames = peer.Finish();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], BuildFrame('B', "1;5;0;"));
    EXPECT_EQ(frames[1], BuildFrame('F', "01;02;17;00;00;15;03;17;09;05;"));
    EXPECT_TRUE(losses_.messages.empty());
    // The failed exchange has cleared the previous reply.
    EXPECT_EQ(exchange_.reply().Text(), "");
}

TEST_F(ExchangeTest, TakesOnlyTheFirstSegmentOfASplitReply) {
    ScriptedPeer peer({ScriptedPeer::ReadFrame(), ScriptedPeer::Send(BlockReply("first")),
                       ScriptedPeer::Pause(100), ScriptedPeer::Send("second"),
                       ScriptedPeer::ReadFrame()});
    ConnectTo(peer);
    EXPECT_EQ(exchange_.RequestDocumentBlock("1;1;0;"), 10);
    EXPECT_EQ(exchange_.reply().Text(), BlockReply("first"));
    // The late bytes are the start of the next exchange's reply.
    EXPECT_EQ(exchange_.RequestDocumentBlock("1;1;1;"), 6);
    EXPECT_EQ(exchange_.reply().Text(), "second");
}

TEST_F(ExchangeTest, ReadsAtMost1500BytesAndLeavesTheRest) {
    const std::string reply = BlockReply(std::string(1595, 'x'));
    ASSERT_EQ(reply.size(), 1600u);
    ScriptedPeer peer({ScriptedPeer::ReadFrame(), ScriptedPeer::Send(reply),
                       ScriptedPeer::Pause(50), ScriptedPeer::ReadFrame()});
    ConnectTo(peer);
    EXPECT_EQ(exchange_.RequestDocumentBlock("1;1;0;"), 1500);
    EXPECT_EQ(exchange_.reply().Text(), reply.substr(0, 1500));
    EXPECT_EQ(exchange_.RequestDocumentBlock("1;1;10;"), 100);
    EXPECT_EQ(exchange_.reply().Text(), reply.substr(1500));
}

TEST_F(ExchangeTest, ReadsAReplyThatArrivesInTheThirdWait) {
    // Waits of 150 ms: the third one runs from 300 to 450 ms.
    ScriptedPeer peer({ScriptedPeer::ReadFrame(), ScriptedPeer::Pause(375),
                       ScriptedPeer::Send(BlockReply("late")), ScriptedPeer::ReadFrame()});
    ConnectTo(peer);
    EXPECT_EQ(exchange_.RequestDocumentBlock("1;1;0;"), 9);
}

TEST_F(ExchangeTest, AClosedPeerGivesZero) {
    ScriptedPeer peer({ScriptedPeer::ReadFrame(), ScriptedPeer::Close()});
    ConnectTo(peer);
    EXPECT_EQ(exchange_.RequestDocumentBlock("1;1;0;"), 0);
    EXPECT_FALSE(exchange_.connection_lost());
    EXPECT_TRUE(losses_.messages.empty());
}

TEST_F(ExchangeTest, ALostConnectionIsReportedAndGivesMinusOne) {
    ScriptedPeer peer({ScriptedPeer::ReadFrame(), ScriptedPeer::Reset()});
    ConnectTo(peer);
    EXPECT_EQ(exchange_.RequestDocumentBlock("1;1;0;"), -1);
    EXPECT_TRUE(exchange_.connection_lost());
    ASSERT_EQ(losses_.messages.size(), 1u);
    EXPECT_EQ(losses_.messages[0], Utf8ToCp1251("Ошибка! Потеряно соединение TCP/IP!"));
    EXPECT_FALSE(losses_.details[0].empty());
    // The socket stays open (the next connect closes it); writing to it fails again.
    EXPECT_TRUE(socket_.IsActive());
    EXPECT_EQ(exchange_.RequestDocumentBlock("1;1;0;"), -1);
    EXPECT_EQ(losses_.messages.size(), 2u);
}

TEST(ExchangeWithoutConnectionTest, WritesNothingAndGivesMinusOne) {
    PosixStreamSocket socket;
    Exchange exchange(socket, {1000, 10, 3});
    RecordingLossHandler losses;
    exchange.set_connection_loss_handler(&losses);
    EXPECT_EQ(exchange.RequestDocumentBlock("1;1;0;"), -1);
    EXPECT_FALSE(exchange.connection_lost());
    EXPECT_TRUE(losses.messages.empty());
}

TEST(ExchangeTimingsTest, DefaultsAreTheProductionValues) {
    const ExchangeTimings timings;
    EXPECT_EQ(timings.stream_timeout_ms, 60000);
    EXPECT_EQ(timings.wait_timeout_ms, 10000);
    EXPECT_EQ(timings.wait_tries, 3);
}

}  // namespace
}  // namespace tavrelo
