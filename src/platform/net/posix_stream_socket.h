#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "link/stream_socket.h"

namespace tavrelo {

// StreamSocket over a POSIX TCP socket. The connect gives up after `connect_timeout` (10 s by
// default) instead of the system's own, much longer limit, so an unreachable address fails in
// bounded time. Writes never raise SIGPIPE.
class PosixStreamSocket final : public StreamSocket {
  public:
    static constexpr std::chrono::milliseconds kDefaultConnectTimeout{10000};

    explicit PosixStreamSocket(std::chrono::milliseconds connect_timeout = kDefaultConnectTimeout);
    ~PosixStreamSocket() override;
    PosixStreamSocket(const PosixStreamSocket&) = delete;
    PosixStreamSocket& operator=(const PosixStreamSocket&) = delete;

    void Connect(const std::string& host, std::uint16_t port) override;
    void Close() override;
    bool IsActive() const override { return fd_ >= 0; }
    void WriteAll(std::string_view bytes, int timeout_ms) override;
    bool WaitReadable(int timeout_ms) override;
    std::size_t ReadSome(char* buffer, std::size_t max, int timeout_ms) override;

  private:
    std::chrono::milliseconds connect_timeout_;
    int fd_ = -1;
    // A read found the end of the stream: the register has closed its side.
    bool peer_closed_ = false;
};

}  // namespace tavrelo
