#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrelo::testing {

// The request frame as the client builds it: 01, (N+5)|80, 80, 21, body, 05.
inline std::string Frame(std::string_view body) {
    std::string frame;
    frame += '\x01';
    frame += static_cast<char>((body.size() + 5) | 0x80);
    frame += '\x80';
    frame += '\x21';
    frame += body;
    frame += '\x05';
    return frame;
}

// A bare loopback TCP client that reads the way the real one does: one wait, one read.
class RawClient {
  public:
    explicit RawClient(std::uint16_t port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd_ < 0) throw std::runtime_error("socket");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd_);
            throw std::runtime_error("connect");
        }
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;
    ~RawClient() { ::close(fd_); }

    void Send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent <= 0) throw std::runtime_error("send");
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        }
    }

    bool Readable(std::chrono::milliseconds wait) {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, static_cast<int>(wait.count())) == 1;
    }

    // One read of at most `limit` bytes after waiting up to `wait`; nullopt-like empty + false
    // when nothing came. A closed connection reads as an empty string with `closed` set.
    std::string ReadOnce(std::chrono::milliseconds wait = std::chrono::seconds(5),
                         std::size_t limit = 1500) {
        closed_ = false;
        if (!Readable(wait)) return {};
        std::string buffer(limit, '\0');
        const ssize_t got = ::recv(fd_, buffer.data(), limit, 0);
        if (got <= 0) {
            closed_ = true;
            return {};
        }
        buffer.resize(static_cast<std::size_t>(got));
        return buffer;
    }

    // Reads until `count` bytes came or nothing more arrives within `wait`.
    std::string ReadUpTo(std::size_t count,
                         std::chrono::milliseconds wait = std::chrono::seconds(5)) {
        std::string all;
        while (all.size() < count) {
            const std::string part = ReadOnce(wait, count - all.size());
            if (part.empty()) break;
            all += part;
        }
        return all;
    }

    bool closed() const { return closed_; }

    // Sends the identification (9 bytes, zero-padded) and returns the handshake reply.
    std::string Handshake(std::string_view id) {
        std::string wire(id.substr(0, 9));
        wire.resize(9, '\0');
        Send(wire);
        return ReadOnce();
    }

    std::string Exchange(std::string_view body) {
        Send(Frame(body));
        return ReadOnce();
    }

  private:
    int fd_ = -1;
    bool closed_ = false;
};

// The client's end-of-document test on a reply text.
inline bool EndsDocument(std::string_view t) {
    if (t.size() >= 6 && (t.substr(4, 2) == "D;" || t.substr(4, 2) == "E;")) return true;
    return t.size() >= 4 && t[0] == '\x01' && (t[3] == '0' || t[3] == '"' || t[3] == 'C');
}

struct Fetched {
    std::string text;
    std::vector<std::size_t> payloads;  // payload size of every data reply
    std::int32_t end_block = -1;        // the block index answered with the end mark
    bool zero_byte = false;             // any reply held a zero byte
};

// Fetches one document the way the client's retrieval loop does.
template <class Exchanger>
Fetched FetchDocument(Exchanger&& exchange, int type, int number) {
    Fetched fetched;
    for (std::int32_t block = 0; block < 32768;) {
        const std::string reply =
            exchange("B;" + std::to_string(type) + ";" + std::to_string(number) + ";" +
                     std::to_string(block) + ";");
        if (reply.find('\0') != std::string::npos) fetched.zero_byte = true;
        if (reply.size() < 5) throw std::runtime_error("reply too short");
        if (EndsDocument(reply)) {
            fetched.end_block = block;
            break;
        }
        const std::size_t m = reply.size() - 5;
        if (m == 0) throw std::runtime_error("empty payload");
        fetched.payloads.push_back(m);
        fetched.text += reply.substr(4, m);
        block += static_cast<std::int32_t>(m / 150 + (m % 150 != 0 ? 1 : 0));
    }
    return fetched;
}

}  // namespace tavrelo::testing
