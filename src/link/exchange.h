#pragma once

#include <string>
#include <string_view>

#include "link/reply_buffer.h"
#include "link/stream_socket.h"

namespace tavrelo {

// The waits of one exchange; production values by default, shorter ones in tests.
struct ExchangeTimings {
    int stream_timeout_ms = 60000;  // the single write and the single read
    int wait_timeout_ms = 10000;    // one readiness wait
    int wait_tries = 3;
};

// Told when the socket layer reports a broken connection during an exchange. The desktop shows
// `message` (ConnectionLostMessage()), turns the indicator red and closes the request window;
// the CLI reports an error. `detail` is the socket layer's own description.
class ConnectionLossHandler {
  public:
    virtual ~ConnectionLossHandler() = default;
    virtual void OnConnectionLost(const std::string& message, const std::string& detail) = 0;
};

// The frame of one request: 0x01, (N + 5) | 0x80, 0x80, 0x21, letter, ";", data, 0x05, where N is
// the length of letter + ";" + data.
std::string BuildFrame(char letter, std::string_view data);

// The request/reply exchange with the register over the one client socket. One exchange at a
// time; the reply stays in reply() until the next exchange.
class Exchange {
  public:
    explicit Exchange(StreamSocket& socket, ExchangeTimings timings = {});

    // May be null (a lost connection is then only visible in the result and connection_lost()).
    void set_connection_loss_handler(ConnectionLossHandler* handler) { handler_ = handler; }

    // The number of bytes of the single read (at least 1), 0 when the peer closed the
    // connection, -1 when no reply came within the waits or the connection was lost.
    int RequestDocumentBlock(std::string_view data) { return Request('B', data); }
    int RequestNumberRange(std::string_view data) { return Request('F', data); }
    int Request(char letter, std::string_view data);

    const ReplyBuffer& reply() const { return reply_; }
    // Whether the last exchange ended with a lost connection (already reported to the handler).
    bool connection_lost() const { return connection_lost_; }

    StreamSocket& socket() { return socket_; }

  private:
    StreamSocket& socket_;
    ExchangeTimings timings_;
    ConnectionLossHandler* handler_ = nullptr;
    ReplyBuffer reply_;
    bool connection_lost_ = false;
};

}  // namespace tavrelo
