#include "link/handshake.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/net/posix_stream_socket.h"
#include "scripted_peer.h"

namespace tavrelo {
namespace {

using ::testing::ElementsAre;
using testing::ScriptedPeer;

struct RecordingObserver : HandshakeObserver {
    void WaitStarted() override { events.push_back("started"); }
    void CountdownChanged(const std::string& text) override {
        countdown.push_back(text);
        if (abort_after > 0 && static_cast<int>(countdown.size()) >= abort_after) aborted = true;
    }
    bool Aborted() override { return aborted; }
    void WaitFinished() override {
        events.push_back("finished");
        aborted = false;
    }
    std::vector<std::string> events;
    std::vector<std::string> countdown;
    int abort_after = 0;
    bool aborted = false;
};

// A socket whose data becomes readable after a given number of waits, for the countdown.
class CountingSocket final : public StreamSocket {
  public:
    CountingSocket(int waits_before_data, std::string reply)
        : waits_before_data_(waits_before_data), reply_(std::move(reply)) {}
    void Connect(const std::string&, std::uint16_t) override { active_ = true; }
    void Close() override { active_ = false; }
    bool IsActive() const override { return active_; }
    void WriteAll(std::string_view bytes, int) override { written += bytes; }
    bool WaitReadable(int) override { return ++waits > waits_before_data_; }
    std::size_t ReadSome(char* buffer, std::size_t max, int) override {
        const std::size_t n = std::min(max, reply_.size());
        std::memcpy(buffer, reply_.data(), n);
        return n;
    }
    std::string written;
    int waits = 0;

  private:
    int waits_before_data_;
    std::string reply_;
    bool active_ = true;
};

constexpr HandshakeTimings kShort{2000, 20, 60, 4};

TEST(IdentificationMessageTest, PadsWithZerosAndCutsAfterNineBytes) {
    const auto shorter = IdentificationMessage("12345");
    EXPECT_EQ(std::string(shorter.data(), 9), std::string("12345\0\0\0\0", 9));
    const auto longer = IdentificationMessage("ABCDEFGHIJKL");
    EXPECT_EQ(std::string(longer.data(), 9), "ABCDEFGHI");
}

TEST(HandshakeTest, SendsTheIdentificationAndAcceptsReady) {
    for (const auto& [identifier, on_wire] : std::vector<std::pair<std::string, std::string>>{
             {"12345", std::string("12345\0\0\0\0", 9)}, {"ABCDEFGHIJKL", "ABCDEFGHI"}}) {
        ScriptedPeer peer(
            {ScriptedPeer::ReadBytes(9), ScriptedPeer::Send("Ready"), ScriptedPeer::ReadBytes(1)});
        PosixStreamSocket socket;
        RecordingObserver observer;
        EXPECT_EQ(ConnectToRegister(socket, "127.0.0.1", peer.port(), identifier, observer, kShort),
                  ConnectOutcome::kConnected);
        EXPECT_THAT(observer.events, ElementsAre("started", "finished"));
        socket.Close();
        EXPECT_THAT(peer.Finish(), ElementsAre(on_wire));
    }
}

TEST(HandshakeTest, RefusesAnythingButReadyExactly) {
    for (const std::string reply : {"Ready\r\n", "Read", "ready", "Ready!"}) {
        ScriptedPeer peer(
            {ScriptedPeer::ReadBytes(9), ScriptedPeer::Send(reply), ScriptedPeer::ReadBytes(1)});
        PosixStreamSocket socket;
        RecordingObserver observer;
        EXPECT_EQ(ConnectToRegister(socket, "127.0.0.1", peer.port(), "1", observer, kShort),
                  ConnectOutcome::kNotReady)
            << reply;
        // The connection stays open after a failed handshake.
        EXPECT_TRUE(socket.IsActive());
    }
}

TEST(HandshakeTest, ReadyFollowedByZeroBytesCounts) {
    CountingSocket socket(0, std::string("Ready\0junk", 10));
    RecordingObserver observer;
    EXPECT_TRUE(IdentifyToRegister(socket, "1", observer, kShort));
}

TEST(HandshakeTest, CountsDownThroughThePasses) {
    // 70 waits run out before the reply: the whole first pass and ten waits of the second.
    CountingSocket socket(70, "Ready");
    RecordingObserver observer;
    EXPECT_TRUE(IdentifyToRegister(socket, "12345", observer));
    ASSERT_EQ(observer.countdown.size(), 71u);
    EXPECT_EQ(observer.countdown[0], "3 : 59");
    EXPECT_EQ(observer.countdown[59], "3 : 0");
    EXPECT_EQ(observer.countdown[60], "3 : -1");
    EXPECT_EQ(observer.countdown[61], "2 : 59");
    EXPECT_EQ(observer.countdown[70], "2 : 50");
    EXPECT_EQ(socket.written, std::string("12345\0\0\0\0", 9));
}

TEST(HandshakeTest, GivesUpAfterFourPasses) {
    CountingSocket socket(1000, "Ready");
    RecordingObserver observer;
    EXPECT_FALSE(IdentifyToRegister(socket, "1", observer));
    EXPECT_EQ(socket.waits, 240);
    ASSERT_EQ(observer.countdown.size(), 244u);
    EXPECT_EQ(observer.countdown.back(), "0 : -1");
}

TEST(HandshakeTest, AbortEndsTheWaitAtTheNextCountdown) {
    CountingSocket socket(1000, "Ready");
    RecordingObserver observer;
    observer.abort_after = 3;
    EXPECT_FALSE(IdentifyToRegister(socket, "1", observer));
    EXPECT_EQ(socket.waits, 3);
    EXPECT_THAT(observer.countdown, ElementsAre("3 : 59", "3 : 58", "3 : 57"));
    EXPECT_THAT(observer.events, ElementsAre("started", "finished"));
    EXPECT_FALSE(observer.aborted);
}

TEST(HandshakeTest, APeerThatClosesOrResetsFailsWithoutWaitingOut) {
    for (const auto& end : {ScriptedPeer::Close(), ScriptedPeer::Reset()}) {
        ScriptedPeer peer({ScriptedPeer::ReadBytes(9), end});
        PosixStreamSocket socket;
        RecordingObserver observer;
        EXPECT_EQ(ConnectToRegister(socket, "127.0.0.1", peer.port(), "1", observer, kShort),
                  ConnectOutcome::kNotReady);
        EXPECT_THAT(observer.events, ElementsAre("started", "finished"));
        EXPECT_TRUE(observer.countdown.empty());
    }
}

TEST(HandshakeTest, AnUnreachableServerIsReported) {
    std::uint16_t unused_port = 0;
    {
        ScriptedPeer probe(std::vector<ScriptedPeer::Step>{});
        unused_port = probe.port();
    }
    PosixStreamSocket socket;
    RecordingObserver observer;
    std::string detail;
    EXPECT_EQ(ConnectToRegister(socket, "127.0.0.1", unused_port, "1", observer, kShort, &detail),
              ConnectOutcome::kServerUnreachable);
    EXPECT_FALSE(detail.empty());
    EXPECT_TRUE(observer.events.empty());
    EXPECT_FALSE(socket.IsActive());
}

TEST(HandshakeTest, ReconnectingClosesTheOpenConnectionFirst) {
    ScriptedPeer first(
        {ScriptedPeer::ReadBytes(9), ScriptedPeer::Send("Nope"), ScriptedPeer::ReadBytes(1)});
    ScriptedPeer second(
        {ScriptedPeer::ReadBytes(9), ScriptedPeer::Send("Ready"), ScriptedPeer::ReadBytes(1)});
    PosixStreamSocket socket;
    RecordingObserver observer;
    EXPECT_EQ(ConnectToRegister(socket, "127.0.0.1", first.port(), "1", observer, kShort),
              ConnectOutcome::kNotReady);
    EXPECT_EQ(ConnectToRegister(socket, "127.0.0.1", second.port(), "1", observer, kShort),
              ConnectOutcome::kConnected);
    // The first peer's last read ends because the connection was closed.
    EXPECT_EQ(first.Finish().size(), 1u);
    EXPECT_TRUE(first.client_closed());
}

TEST(HandshakeTimingsTest, DefaultsAreTheProductionValues) {
    const HandshakeTimings timings;
    EXPECT_EQ(timings.stream_timeout_ms, 60000);
    EXPECT_EQ(timings.wait_ms, 1000);
    EXPECT_EQ(timings.waits_per_pass, 60);
    EXPECT_EQ(timings.passes, 4);
}

}  // namespace
}  // namespace tavrelo
