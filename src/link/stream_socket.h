#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/errors.h"

namespace tavrelo {

// A connect that did not succeed: the host name does not resolve, nobody listens, or the peer
// did not answer within the connect time-out.
class ConnectError : public Error {
  public:
    using Error::Error;
};

// The one blocking TCP client connection to the register, reduced to what the exchange and the
// handshake rely on. Everything except Connect and Close raises ConnectionLost on a broken
// connection.
class StreamSocket {
  public:
    virtual ~StreamSocket() = default;

    // Closes an open connection first, then connects; ConnectError when that fails (the
    // socket is then not active). Host names and dotted quads are both accepted.
    virtual void Connect(const std::string& host, std::uint16_t port) = 0;
    virtual void Close() = 0;
    virtual bool IsActive() const = 0;

    // Sends all bytes or raises ConnectionLost, also when the peer does not take them within
    // `timeout_ms`.
    virtual void WriteAll(std::string_view bytes, int timeout_ms) = 0;

    // Waits up to `timeout_ms` for data (or the peer's close) to become readable. False when the
    // time ran out; a socket that is not active waits out the time and gives false.
    virtual bool WaitReadable(int timeout_ms) = 0;

    // One read of at most `max` bytes into `buffer`: the bytes that are available, 0 when the peer
    // has closed the connection. Waits up to `timeout_ms` when nothing is available yet and
    // raises ConnectionLost when that time runs out.
    virtual std::size_t ReadSome(char* buffer, std::size_t max, int timeout_ms) = 0;
};

}  // namespace tavrelo
