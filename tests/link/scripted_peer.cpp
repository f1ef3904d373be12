#include "scripted_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace tavrelo::testing {
namespace {

constexpr int kSliceMs = 20;
// Nothing in a test waits this long; a peer left waiting gives up by itself.
constexpr int kGiveUpMs = 20000;

bool WaitFor(int fd, short events, const std::atomic<bool>& stopping) {
    for (int waited = 0; waited < kGiveUpMs && !stopping; waited += kSliceMs) {
        pollfd entry{fd, events, 0};
        if (::poll(&entry, 1, kSliceMs) > 0) return true;
    }
    return false;
}

}  // namespace

std::string BlockReply(std::string_view payload, char status) {
    std::string reply = "\x01\x85\x80";
    reply += status;
    reply += payload;
    reply += '\x05';
    return reply;
}

std::string EndReply(std::string_view mark) {
    if (mark.size() == 2) return BlockReply(mark);
    return BlockReply("", mark.at(0));
}

ScriptedPeer::ScriptedPeer(std::vector<Step> script) {
    Listen();
    thread_ = std::thread(&ScriptedPeer::Run, this, std::move(script), Responder());
}

ScriptedPeer::ScriptedPeer(Responder respond) {
    Listen();
    thread_ = std::thread(&ScriptedPeer::Run, this, std::vector<Step>(), std::move(respond));
}

ScriptedPeer::ScriptedPeer(std::vector<Step> opening, Responder respond) {
    Listen();
    thread_ = std::thread(&ScriptedPeer::Run, this, std::move(opening), std::move(respond));
}

ScriptedPeer::~ScriptedPeer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) ::close(fd_);
    if (listen_fd_ >= 0) ::close(listen_fd_);
}

void ScriptedPeer::Listen() {
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (listen_fd_ < 0 ||
        ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listen_fd_, 4) != 0) {
        throw std::runtime_error("scripted peer: cannot listen");
    }
    socklen_t length = sizeof address;
    ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
}

std::vector<std::string> ScriptedPeer::Finish() {
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    return received_;
}

bool ScriptedPeer::ReadExactly(std::size_t count, std::string& out) {
    while (out.size() < count) {
        if (!WaitFor(fd_, POLLIN, stopping_)) return false;
        char buffer[4096];
        const std::size_t want = std::min(count - out.size(), sizeof buffer);
        const ssize_t got = ::recv(fd_, buffer, want, 0);
        if (got <= 0) {
            client_closed_ = true;
            return false;
        }
        out.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

bool ScriptedPeer::Play(const Step& step) {
    switch (step.kind) {
        case Step::Kind::kReadBytes:
        case Step::Kind::kReadFrame: {
            std::string bytes;
            bool complete = false;
            if (step.kind == Step::Kind::kReadBytes) {
                complete = ReadExactly(step.count, bytes);
            } else if (ReadExactly(2, bytes)) {
                complete = ReadExactly(static_cast<unsigned char>(bytes[1]) & 0x7F, bytes);
            }
            if (!bytes.empty()) {
                std::lock_guard lock(mutex_);
                received_.push_back(bytes);
            }
            return complete;
        }
        case Step::Kind::kSend:
            return ::send(fd_, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL) ==
                   static_cast<ssize_t>(step.bytes.size());
        case Step::Kind::kPause:
            std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
            return true;
        case Step::Kind::kClose:
            ::shutdown(fd_, SHUT_RDWR);
            ::close(fd_);
            fd_ = -1;
            return false;
        case Step::Kind::kReset: {
            linger option{1, 0};
            ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &option, sizeof option);
            ::close(fd_);
            fd_ = -1;
            return false;
        }
    }
    return false;
}

void ScriptedPeer::Run(std::vector<Step> script, Responder respond) {
    if (!WaitFor(listen_fd_, POLLIN, stopping_)) return;
    fd_ = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd_ < 0) return;
    for (const Step& step : script) {
        if (!Play(step)) return;
    }
    if (!respond) return;
    while (true) {
        std::string frame;
        if (!ReadExactly(2, frame) ||
            !ReadExactly(static_cast<unsigned char>(frame[1]) & 0x7F, frame)) {
            return;
        }
        {
            std::lock_guard lock(mutex_);
            received_.push_back(frame);
        }
        for (const Step& step : respond(frame)) {
            if (!Play(step)) return;
        }
    }
}

}  // namespace tavrelo::testing
