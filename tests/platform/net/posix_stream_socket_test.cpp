#include "platform/net/posix_stream_socket.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "common/errors.h"
#include "scripted_peer.h"

namespace tavrelo {
namespace {

using testing::ScriptedPeer;

TEST(PosixStreamSocketTest, ConnectsByHostNameAndByDottedQuad) {
    for (const std::string host : {"localhost", "127.0.0.1"}) {
        ScriptedPeer peer({ScriptedPeer::ReadBytes(3), ScriptedPeer::Send("ok")});
        PosixStreamSocket socket;
        socket.Connect(host, peer.port());
        EXPECT_TRUE(socket.IsActive());
        socket.WriteAll("abc", 1000);
        ASSERT_TRUE(socket.WaitReadable(2000));
        char buffer[16] = {};
        // Only what is there, even when more is asked for.
        EXPECT_EQ(socket.ReadSome(buffer, sizeof buffer, 1000), 2u);
        EXPECT_EQ(std::string(buffer, 2), "ok");
        EXPECT_EQ(peer.Finish(), std::vector<std::string>{"abc"});
    }
}

TEST(PosixStreamSocketTest, ARefusedOrUnresolvedConnectRaisesConnectError) {
    std::uint16_t unused_port = 0;
    {
        ScriptedPeer probe(std::vector<ScriptedPeer::Step>{});
        unused_port = probe.port();
    }
    PosixStreamSocket socket;
    EXPECT_THROW(socket.Connect("127.0.0.1", unused_port), ConnectError);
    EXPECT_FALSE(socket.IsActive());
    EXPECT_THROW(socket.Connect("no-such-host.invalid", 34949), ConnectError);
    EXPECT_FALSE(socket.IsActive());
}

TEST(PosixStreamSocketTest, AConnectThatGetsNoAnswerGivesUpAfterItsTimeOut) {
    // A listener that never accepts and whose queue is full drops further connection requests.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const std::uint16_t port = ntohs(address.sin_port);

    std::vector<std::unique_ptr<PosixStreamSocket>> queued;
    bool timed_out = false;
    for (int i = 0; i < 8 && !timed_out; ++i) {
        auto socket = std::make_unique<PosixStreamSocket>(std::chrono::milliseconds(300));
        try {
            socket->Connect("127.0.0.1", port);
            queued.push_back(std::move(socket));
        } catch (const ConnectError& error) {
            EXPECT_NE(std::string(error.what()).find("time-out"), std::string::npos)
                << error.what();
            timed_out = true;
        }
    }
    ::close(listener);
    EXPECT_TRUE(timed_out);
}

TEST(PosixStreamSocketTest, WaitReadableAndReadSomeTimeOut) {
    ScriptedPeer peer({ScriptedPeer::ReadBytes(1)});
    PosixStreamSocket socket;
    socket.Connect("127.0.0.1", peer.port());
    EXPECT_FALSE(socket.WaitReadable(30));
    char buffer[4];
    EXPECT_THROW(socket.ReadSome(buffer, sizeof buffer, 30), ConnectionLost);
}

TEST(PosixStreamSocketTest, APeerThatClosedReadsAsZeroAndWritesFailWithoutSigpipe) {
    ScriptedPeer peer({ScriptedPeer::Close()});
    PosixStreamSocket socket;
    socket.Connect("127.0.0.1", peer.port());
    ASSERT_TRUE(socket.WaitReadable(2000));
    char buffer[4];
    EXPECT_EQ(socket.ReadSome(buffer, sizeof buffer, 1000), 0u);
    // The first write draws the peer's reset; a later one fails. SIGPIPE would end this test.
    bool lost = false;
    for (int i = 0; i < 100 && !lost; ++i) {
        try {
            socket.WriteAll("x", 1000);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } catch (const ConnectionLost&) {
            lost = true;
        }
    }
    EXPECT_TRUE(lost);
}

TEST(PosixStreamSocketTest, AfterTheEndOfTheStreamTheNextWriteIsLostAndAReconnectClearsIt) {
    ScriptedPeer closing({ScriptedPeer::Close()});
    PosixStreamSocket socket;
    socket.Connect("127.0.0.1", closing.port());
    ASSERT_TRUE(socket.WaitReadable(2000));
    char buffer[8];
    ASSERT_EQ(socket.ReadSome(buffer, sizeof buffer, 1000), 0u);
    // Every time, not only once the peer's reset has come back.
    EXPECT_THROW(socket.WriteAll("x", 1000), ConnectionLost);
    EXPECT_TRUE(socket.IsActive());

    ScriptedPeer echoing({ScriptedPeer::ReadBytes(1), ScriptedPeer::Send("y")});
    socket.Connect("127.0.0.1", echoing.port());
    socket.WriteAll("x", 1000);
    ASSERT_TRUE(socket.WaitReadable(2000));
    EXPECT_EQ(socket.ReadSome(buffer, sizeof buffer, 1000), 1u);
}

TEST(PosixStreamSocketTest, AResetConnectionIsLost) {
    ScriptedPeer peer({ScriptedPeer::ReadBytes(1), ScriptedPeer::Reset()});
    PosixStreamSocket socket;
    socket.Connect("127.0.0.1", peer.port());
    socket.WriteAll("x", 1000);
    EXPECT_THROW(socket.WaitReadable(2000), ConnectionLost);
    EXPECT_THROW(socket.WriteAll("y", 1000), ConnectionLost);
}

TEST(PosixStreamSocketTest, WithoutAConnectionWaitsFindNothing) {
    PosixStreamSocket socket;
    EXPECT_FALSE(socket.IsActive());
    EXPECT_FALSE(socket.WaitReadable(10));
    EXPECT_THROW(socket.WriteAll("x", 10), ConnectionLost);
}

}  // namespace
}  // namespace tavrelo
