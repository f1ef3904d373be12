#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/stream_socket.h"

namespace tavrelo {

inline constexpr std::uint16_t kRegisterPort = 34949;

// The waits of the identification handshake; production values by default.
struct HandshakeTimings {
    int stream_timeout_ms = 60000;  // the identification write and the reply read
    int wait_ms = 1000;             // one readiness wait
    int waits_per_pass = 60;
    int passes = 4;
};

// The Wait window's part in the handshake. The desktop repaints and pumps messages in every call.
class HandshakeObserver {
  public:
    virtual ~HandshakeObserver() = default;
    // The identification has gone out: show the Wait window.
    virtual void WaitStarted() = 0;
    // After every wait that ran out, and once more at the end of each pass: the new countdown
    // text ("3 : 59" ... "3 : 0", "3 : -1", "2 : 59" ...), in Windows-1251 (plain ASCII here).
    virtual void CountdownChanged(const std::string& text) = 0;
    // Read after every CountdownChanged; true ends the handshake without a reply.
    virtual bool Aborted() = 0;
    // Hide the Wait window and clear the abort flag. Called whenever WaitStarted may have been.
    virtual void WaitFinished() = 0;
};

// The 9 identification bytes: the identifier's first 9 bytes, zero bytes after a shorter one.
std::array<char, 9> IdentificationMessage(std::string_view identifier);

// The countdown text for pass `pass_count` (3 - r) and second count `seconds`.
std::string CountdownText(int pass_count, int seconds);

// Closes the socket if active, then connects to `host`. False on any failure; the caller then
// shows ServerUnreachableMessage(). The socket layer's reason goes to `detail` when given.
bool OpenConnection(StreamSocket& socket, const std::string& host,
                    std::uint16_t port = kRegisterPort, std::string* detail = nullptr);

// On an open connection: sends the identification and waits for the reply. True when the reply
// area up to its first zero byte is exactly "Ready"; otherwise the caller shows
// RegisterNotReadyMessage(). The connection stays open either way.
bool IdentifyToRegister(StreamSocket& socket, std::string_view identifier,
                        HandshakeObserver& observer, const HandshakeTimings& timings = {});

enum class ConnectOutcome {
    kConnected,
    kServerUnreachable,  // show ServerUnreachableMessage()
    kNotReady,           // show RegisterNotReadyMessage()
};

// The whole connect: OpenConnection, then IdentifyToRegister.
ConnectOutcome ConnectToRegister(StreamSocket& socket, const std::string& host, std::uint16_t port,
                                 std::string_view identifier, HandshakeObserver& observer,
                                 const HandshakeTimings& timings = {},
                                 std::string* detail = nullptr);

}  // namespace tavrelo
