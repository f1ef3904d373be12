#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace tavrelo::testing {

// A register's handshake side on 127.0.0.1 (ephemeral port), for the connect tests: accepts one
// connection, records the 9 identification bytes, sends `reply` when released (at once unless
// `hold` is set), optionally resets the connection at the next request, and notes when the client
// closes it.
class HandshakePeer {
  public:
    struct Options {
        std::string reply = "Ready";
        bool hold = false;         // wait for Release() before replying
        bool silent = false;       // never reply
        bool reset_after = false;  // abort the connection at the first request after the reply
    };

    explicit HandshakePeer(Options options);
    ~HandshakePeer();
    HandshakePeer(const HandshakePeer&) = delete;
    HandshakePeer& operator=(const HandshakePeer&) = delete;

    std::uint16_t port() const { return port_; }
    void Release();
    // Waits (bounded) for the client to close the connection; true when it did.
    bool WaitClientClosed();
    std::string identification();

  private:
    void Run();

    Options options_;
    int listen_fd_ = -1;
    std::uint16_t port_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool released_ = false;
    bool stopping_ = false;
    bool client_closed_ = false;
    std::string identification_;
    std::thread thread_;
};

}  // namespace tavrelo::testing
