#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tavrelo::testing {

// A register stand-in for tests: a thread with a listening socket on 127.0.0.1 (ephemeral port)
// that accepts one connection and plays a script of reads, replies, pauses and closes.
class ScriptedPeer {
  public:
    struct Step {
        enum class Kind { kReadBytes, kReadFrame, kSend, kPause, kClose, kReset };
        Kind kind;
        std::string bytes;
        std::size_t count = 0;
        int ms = 0;
    };

    // Records exactly `count` bytes.
    static Step ReadBytes(std::size_t count) { return {Step::Kind::kReadBytes, {}, count, 0}; }
    // Records one request frame, its length taken from the frame's second byte.
    static Step ReadFrame() { return {Step::Kind::kReadFrame, {}, 0, 0}; }
    static Step Send(std::string bytes) { return {Step::Kind::kSend, std::move(bytes), 0, 0}; }
    static Step Pause(int ms) { return {Step::Kind::kPause, {}, 0, ms}; }
    // An orderly close (the client reads 0).
    static Step Close() { return {Step::Kind::kClose, {}, 0, 0}; }
    // An abortive close (the client sees a reset connection).
    static Step Reset() { return {Step::Kind::kReset, {}, 0, 0}; }

    // Plays `script` once.
    explicit ScriptedPeer(std::vector<Step> script);

    // Reads frame after frame until the client closes; answers each with the steps `respond`
    // gives for it (none: no answer).
    using Responder = std::function<std::vector<Step>(const std::string& frame)>;
    explicit ScriptedPeer(Responder respond);
    // Plays `opening` (the handshake, say), then answers frames as above.
    ScriptedPeer(std::vector<Step> opening, Responder respond);

    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    std::uint16_t port() const { return port_; }

    // Waits until the script has been played (or the client closed) and returns what was read,
    // one entry per read step or frame.
    std::vector<std::string> Finish();
    // Whether a read found the connection closed by the client (valid after Finish).
    bool client_closed() const { return client_closed_; }

  private:
    void Listen();
    void Run(std::vector<Step> script, Responder respond);
    // false when the connection ended or the peer is stopping.
    bool ReadExactly(std::size_t count, std::string& out);
    bool Play(const Step& step);

    int listen_fd_ = -1;
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> client_closed_{false};
    std::mutex mutex_;
    std::vector<std::string> received_;
    std::thread thread_;
};

// A reply in the layout the callers read: 0x01, two header bytes, a status byte, the payload and a
// trailer byte. No byte of the header is zero, so the reply text reaches the trailer.
std::string BlockReply(std::string_view payload, char status = '!');

// Reply marks that end a document: "D;" or "E;" after the header, or status '0', '"' or 'C'.
std::string EndReply(std::string_view mark);

}  // namespace tavrelo::testing
