#include "handshake_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace tavrelo::testing {

using namespace std::chrono_literals;

HandshakePeer::HandshakePeer(Options options) : options_(std::move(options)) {
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listen_fd_, 4) != 0) {
        throw std::runtime_error("cannot listen");
    }
    socklen_t len = sizeof addr;
    ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
}

HandshakePeer::~HandshakePeer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    ::close(listen_fd_);
}

void HandshakePeer::Release() {
    {
        std::lock_guard lock(mutex_);
        released_ = true;
    }
    changed_.notify_all();
}

bool HandshakePeer::WaitClientClosed() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 5s, [this] { return client_closed_; });
}

std::string HandshakePeer::identification() {
    std::lock_guard lock(mutex_);
    return identification_;
}

void HandshakePeer::Run() {
    const auto stopping = [this] {
        std::lock_guard lock(mutex_);
        return stopping_;
    };
    // Polls so that the destructor can always stop the thread.
    const auto readable = [&](int fd) {
        while (!stopping()) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) return true;
        }
        return false;
    };
    if (!readable(listen_fd_)) return;
    const int fd = ::accept(listen_fd_, nullptr, nullptr);
    if (fd < 0) return;
    std::string id;
    while (id.size() < 9 && readable(fd)) {
        char buf[9];
        const ssize_t n = ::read(fd, buf, 9 - id.size());
        if (n <= 0) break;
        id.append(buf, static_cast<std::size_t>(n));
    }
    {
        std::unique_lock lock(mutex_);
        identification_ = id;
        if (options_.hold) changed_.wait(lock, [this] { return released_ || stopping_; });
    }
    if (!options_.silent && !stopping()) {
        if (::write(fd, options_.reply.data(), options_.reply.size()) < 0) return;
        if (options_.reset_after) {
            // The reset waits for the first request, so the reply is read before it.
            readable(fd);
            linger hard{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            ::close(fd);
            return;
        }
    }
    while (readable(fd)) {
        char buf[256];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) {
            std::lock_guard lock(mutex_);
            client_closed_ = true;
            break;
        }
    }
    changed_.notify_all();
    ::close(fd);
}

}  // namespace tavrelo::testing
