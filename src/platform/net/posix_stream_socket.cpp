#include "platform/net/posix_stream_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "common/errors.h"

namespace tavrelo {
namespace {

std::string Reason(int error) { return std::strerror(error); }

[[noreturn]] void Lost(const char* what, int error) {
    throw ConnectionLost(std::string(what) + ": " + Reason(error));
}

struct AddrInfoDeleter {
    void operator()(addrinfo* info) const { ::freeaddrinfo(info); }
};

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// poll that resumes after signals; the result of the last poll.
int PollFor(int fd, short events, int timeout_ms, short& revents) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(timeout_ms < 0 ? 0 : timeout_ms);
    while (true) {
        pollfd entry{fd, events, 0};
        const int n = ::poll(&entry, 1, RemainingMs(deadline));
        if (n < 0 && errno == EINTR) continue;
        revents = entry.revents;
        return n;
    }
}

// A non-blocking connect bounded by `deadline`; the descriptor on success, -1 with `error` set.
int ConnectOne(const addrinfo& address, std::chrono::steady_clock::time_point deadline,
               std::string& error) {
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                            address.ai_protocol);
    if (fd < 0) {
        error = Reason(errno);
        return -1;
    }
    int result = ::connect(fd, address.ai_addr, address.ai_addrlen);
    if (result < 0 && errno == EINPROGRESS) {
        short revents = 0;
        const int n = PollFor(fd, POLLOUT, RemainingMs(deadline), revents);
        if (n == 0) {
            error = "no answer within the connect time-out";
        } else if (n < 0) {
            error = Reason(errno);
        } else {
            int so_error = 0;
            socklen_t length = sizeof so_error;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &so_error, &length);
            if (so_error == 0) {
                result = 0;
            } else {
                error = Reason(so_error);
            }
        }
    } else if (result < 0) {
        error = Reason(errno);
    }
    if (result < 0) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

PosixStreamSocket::PosixStreamSocket(std::chrono::milliseconds connect_timeout)
    : connect_timeout_(connect_timeout) {}

PosixStreamSocket::~PosixStreamSocket() { Close(); }

void PosixStreamSocket::Connect(const std::string& host, std::uint16_t port) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int status = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (status != 0) {
        throw ConnectError("Cannot resolve " + host + ": " + ::gai_strerror(status));
    }
    std::unique_ptr<addrinfo, AddrInfoDeleter> addresses(found);
    const auto deadline = std::chrono::steady_clock::now() + connect_timeout_;
    std::string error = "no address";
    for (const addrinfo* address = addresses.get(); address != nullptr;
         address = address->ai_next) {
        fd_ = ConnectOne(*address, deadline, error);
        if (fd_ >= 0) return;
        if (RemainingMs(deadline) == 0) break;
    }
    throw ConnectError("Cannot connect to " + host + ":" + service + ": " + error);
}

void PosixStreamSocket::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    peer_closed_ = false;
}

void PosixStreamSocket::WriteAll(std::string_view bytes, int timeout_ms) {
    if (fd_ < 0) throw ConnectionLost("write: not connected");
    // A peer that has closed its side answers the next request with a reset, which may arrive
    // before or after the following read: whether that read sees the reset or the end of the
    // stream again would be a race. The request is refused here instead, every time.
    if (peer_closed_) throw ConnectionLost("write: the register has closed the connection");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            short revents = 0;
            const int n = PollFor(fd_, POLLOUT, RemainingMs(deadline), revents);
            if (n == 0) throw ConnectionLost("write: the peer takes no data");
            if (n < 0) Lost("write", errno);
            continue;
        }
        Lost("write", errno);
    }
}

bool PosixStreamSocket::WaitReadable(int timeout_ms) {
    short revents = 0;
    if (fd_ < 0) {
        PollFor(-1, 0, timeout_ms, revents);
        return false;
    }
    const int n = PollFor(fd_, POLLIN, timeout_ms, revents);
    if (n < 0) Lost("wait", errno);
    if (n == 0) return false;
    if ((revents & (POLLERR | POLLNVAL)) != 0) {
        int so_error = 0;
        socklen_t length = sizeof so_error;
        ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &so_error, &length);
        Lost("wait", so_error != 0 ? so_error : ECONNRESET);
    }
    return true;
}

std::size_t PosixStreamSocket::ReadSome(char* buffer, std::size_t max, int timeout_ms) {
    if (fd_ < 0) throw ConnectionLost("read: not connected");
    // The exchange reads right after a readiness wait has seen data, so the read is tried first
    // and the poll with the stream's time-out is only for a read that finds nothing yet.
    bool polled = false;
    while (true) {
        const ssize_t got = ::recv(fd_, buffer, max, MSG_DONTWAIT);
        if (got == 0 && max > 0) peer_closed_ = true;
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno == EINTR) continue;
        if ((errno != EAGAIN && errno != EWOULDBLOCK) || polled) Lost("read", errno);
        short revents = 0;
        const int n = PollFor(fd_, POLLIN, timeout_ms, revents);
        if (n == 0) throw ConnectionLost("read: no data within the time-out");
        if (n < 0) Lost("read", errno);
        polled = true;
    }
}

}  // namespace tavrelo
