#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>

#include "register/reply.h"
#include "register/tape.h"

namespace tavrelo {

// Misbehaviour on purpose, for testing clients. Request numbers count from 1 within one
// connection (the handshake is not a request); 0 means "never". Where several faults name the
// same request, the first of close, no reply, short, oversized, split applies.
struct RegisterFaults {
    std::chrono::milliseconds reply_delay{0};    // before every reply, at most kMaxDelay
    std::set<int> no_reply_requests;             // read, logged, never answered
    int close_at_request = 0;                    // the connection is closed instead of answering
    int split_request = 0;                       // the reply goes out in two TCP segments ...
    std::chrono::milliseconds split_pause{200};  // ... with this pause between, at most kMaxDelay
    int short_request = 0;                       // answered with 3 bytes: 01 83 05
    int oversized_request = 0;                   // the reply is padded with blanks ...
    std::size_t oversized_size = 1600;           // ... to this many bytes (1501 .. kMaxOversized)
    std::optional<std::string> handshake_reply;  // sent instead of "Ready" (at most 500 bytes)

    static constexpr std::chrono::milliseconds kMaxDelay{120000};
    static constexpr std::size_t kMaxOversized = 65536;
    static constexpr std::size_t kMaxHandshakeReply = 500;
};

struct RegisterOptions {
    // The identifier a client must send (Windows-1251 bytes; only the first 9 count, as on the
    // wire). Without one, every identifier is accepted.
    std::optional<std::string> id;
    EndMark end_mark = EndMark::kStatusZero;
    std::size_t max_payload = kMaxReplyPayload;  // 150 .. 1495
    RegisterFaults faults;
    // How long a new connection may take to send its 9 identification bytes.
    std::chrono::milliseconds handshake_timeout{60000};
    // A line per connection and per request (without line break); none when empty. Called on
    // the serving thread.
    std::function<void(std::string_view)> log;
};

// A register on the real protocol over TCP: one client at a time, any number in sequence.
// Raises RangeError from the constructor for options out of their bounds.
class RegisterServer {
  public:
    RegisterServer(Tape tape, RegisterOptions options);
    ~RegisterServer();  // Stop()
    RegisterServer(const RegisterServer&) = delete;
    RegisterServer& operator=(const RegisterServer&) = delete;

    // Binds and listens; port 0 picks a free port. Raises ConnectionLost when it cannot.
    void Listen(const std::string& host, std::uint16_t port);
    std::uint16_t port() const { return port_; }

    // Serves on this thread until a stop is requested.
    void Serve();
    // Serves on a background thread.
    void Start();
    // Ends serving, joins the background thread and closes every socket. Thread-safe, idempotent.
    void Stop();
    // Only asks Serve() to end; safe to call from a signal handler.
    void RequestStop() noexcept;

    const Tape& tape() const { return tape_; }

  private:
    class Impl;

    Tape tape_;
    RegisterOptions options_;
    std::unique_ptr<Impl> impl_;
    std::uint16_t port_ = 0;
    std::thread thread_;
    std::mutex stop_mutex_;
};

}  // namespace tavrelo
