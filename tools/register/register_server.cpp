#include "register/register_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "common/errors.h"
#include "common/numbers.h"
#include "register/fd.h"
#include "register/request.h"
#include "register/responder.h"

namespace tavrelo {
namespace {

constexpr std::size_t kIdSize = 9;
constexpr std::string_view kReady = "Ready";
constexpr std::string_view kDenied = "Denied";
constexpr std::string_view kShortReply = "\x01\x83\x05";

std::string SystemMessage(const std::string& what) { return what + ": " + std::strerror(errno); }

// The identifier as the client sends it: its first 9 bytes, zero bytes after a shorter one.
std::string WireId(std::string_view id) {
    std::string wire(id.substr(0, kIdSize));
    wire.resize(kIdSize, '\0');
    return wire;
}

// Bytes for a log line: printable ASCII as is, everything else as \xHH.
std::string Printable(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        }
    }
    return out;
}

void CheckOptions(const RegisterOptions& options) {
    const RegisterFaults& f = options.faults;
    if (options.max_payload < 150 || options.max_payload > kMaxReplyPayload) {
        throw RangeError("the payload limit must lie between 150 and 1495 bytes");
    }
    const auto delay_ok = [](std::chrono::milliseconds d) {
        return d.count() >= 0 && d <= RegisterFaults::kMaxDelay;
    };
    if (!delay_ok(f.reply_delay) || !delay_ok(f.split_pause)) {
        throw RangeError("delays must lie between 0 and 120000 ms");
    }
    if (options.handshake_timeout.count() < 1) throw RangeError("handshake time-out below 1 ms");
    if (f.close_at_request < 0 || f.split_request < 0 || f.short_request < 0 ||
        f.oversized_request < 0 ||
        (!f.no_reply_requests.empty() && *f.no_reply_requests.begin() < 0)) {
        throw RangeError("request numbers count from 1 (0 = never)");
    }
    if (f.oversized_size <= 1500 || f.oversized_size > RegisterFaults::kMaxOversized) {
        throw RangeError("an oversized reply has 1501 to 65536 bytes");
    }
    if (f.handshake_reply && f.handshake_reply->size() > RegisterFaults::kMaxHandshakeReply) {
        throw RangeError("the handshake reply has at most 500 bytes");
    }
}

}  // namespace

class RegisterServer::Impl {
  public:
    Impl(const Tape& tape, const RegisterOptions& options)
        : options_(options), responder_(tape, options.end_mark, options.max_payload) {
        int pipe_fds[2];
        if (::pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) != 0) throw Error(SystemMessage("pipe"));
        wake_read_ = Fd(pipe_fds[0]);
        wake_write_ = Fd(pipe_fds[1]);
    }

    std::uint16_t Listen(const std::string& host, std::uint16_t port) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
        addrinfo* found = nullptr;
        const std::string service = IntToText(port);
        const int rc =
            ::getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found);
        if (rc != 0) throw Error("cannot resolve " + host + ": " + ::gai_strerror(rc));
        const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found,
                                                                             &::freeaddrinfo);
        Fd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        if (!socket.valid()) throw Error(SystemMessage("socket"));
        const int on = 1;
        ::setsockopt(socket.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(socket.get(), addresses->ai_addr, addresses->ai_addrlen) != 0) {
            throw Error(SystemMessage("cannot listen on " + host + ":" + service));
        }
        if (::listen(socket.get(), 8) != 0) throw Error(SystemMessage("listen"));
        sockaddr_in bound{};
        socklen_t length = sizeof bound;
        if (::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
            throw Error(SystemMessage("getsockname"));
        }
        std::lock_guard lock(mutex_);
        listen_ = std::move(socket);
        return ntohs(bound.sin_port);
    }

    void Serve() {
        {
            std::lock_guard lock(mutex_);
            if (!listen_.valid()) throw Error("the register is not listening");
            if (serving_) throw Error("the register is serving already");
            serving_ = true;
        }
        struct Done {
            Impl& impl;
            ~Done() {
                std::lock_guard lock(impl.mutex_);
                impl.serving_ = false;
                impl.serving_changed_.notify_all();
            }
        } done{*this};
        int connection = 0;
        while (!stop_.load()) {
            if (Wait(listen_.get(), -1) != Readiness::kReadable) break;
            Fd client(::accept4(listen_.get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (!client.valid()) continue;  // the peer gave up before we took it
            ServeConnection(client, ++connection);
        }
    }

    void RequestStop() noexcept {
        stop_.store(true);
        const char byte = 1;
        // The byte stays in the pipe, so every later wait sees the stop as well.
        [[maybe_unused]] const auto written = ::write(wake_write_.get(), &byte, 1);
    }

    void WaitUntilIdleAndClose() {
        std::unique_lock lock(mutex_);
        serving_changed_.wait(lock, [this] { return !serving_; });
        listen_.Close();
    }

  private:
    enum class Readiness { kReadable, kTimeout, kStop };

    Readiness Wait(int fd, int timeout_ms) {
        pollfd fds[2] = {{wake_read_.get(), POLLIN, 0}, {fd, POLLIN, 0}};
        const nfds_t count = fd >= 0 ? 2 : 1;
        for (;;) {
            const int rc = ::poll(fds, count, timeout_ms);
            if (rc < 0 && errno == EINTR) continue;
            if (rc < 0 || fds[0].revents != 0 || stop_.load()) return Readiness::kStop;
            if (rc == 0) return Readiness::kTimeout;
            return Readiness::kReadable;
        }
    }

    // False when a stop was requested meanwhile.
    bool Pause(std::chrono::milliseconds pause) {
        if (pause.count() <= 0) return !stop_.load();
        return Wait(-1, static_cast<int>(pause.count())) == Readiness::kTimeout;
    }

    static bool SendAll(int fd, std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent < 0 && errno == EINTR) continue;
            if (sent <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        }
        return true;
    }

    void Log(const std::string& line) const {
        if (options_.log) options_.log(line);
    }

    void ServeConnection(const Fd& client, int connection) {
        const int on = 1;
        // Every reply must leave as it was written, so that a split one really is two segments.
        ::setsockopt(client.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        const std::string prefix = "connection " + IntToText(connection);
        Log(prefix + ": accepted");

        std::string id;
        while (id.size() < kIdSize) {
            const Readiness ready =
                Wait(client.get(), static_cast<int>(options_.handshake_timeout.count()));
            if (ready == Readiness::kStop) return;
            if (ready == Readiness::kTimeout) {
                Log(prefix + ": no identification in time, closed");
                return;
            }
            char buffer[kIdSize];
            const ssize_t got = ::recv(client.get(), buffer, kIdSize - id.size(), 0);
            if (got <= 0) {
                Log(prefix + ": closed during identification");
                return;
            }
            id.append(buffer, static_cast<std::size_t>(got));
        }
        const bool accepted = !options_.id || WireId(*options_.id) == id;
        const std::string reply =
            accepted ? options_.faults.handshake_reply.value_or(std::string(kReady))
                     : std::string(kDenied);
        Log(prefix + ": identifier " + Printable(id) + " -> " + Printable(reply));
        if (!SendAll(client.get(), reply) || !accepted) return;

        RequestReader reader;
        int count = 0;
        for (;;) {
            if (Wait(client.get(), -1) != Readiness::kReadable) return;
            char buffer[4096];
            const ssize_t got = ::recv(client.get(), buffer, sizeof buffer, 0);
            if (got <= 0) {
                Log(prefix + ": closed by the client");
                return;
            }
            reader.Append(std::string_view(buffer, static_cast<std::size_t>(got)));
            while (auto frame = reader.Next()) {
                if (!Answer(client.get(), *frame, ++count, prefix)) return;
            }
        }
    }

    // False when the connection is to end.
    bool Answer(int fd, const RequestFrame& frame, int count, const std::string& prefix) {
        const RegisterFaults& faults = options_.faults;
        const Response response = responder_.Respond(frame.request);
        const std::string line = prefix + " request " + IntToText(count) + " " +
                                 Printable(frame.body.empty() ? frame.bytes : frame.body) + ": " +
                                 response.summary;
        if (count == faults.close_at_request) {
            Log(line + " [closed instead of answering]");
            return false;
        }
        if (faults.no_reply_requests.contains(count)) {
            Log(line + " [not answered]");
            return true;
        }
        std::string reply = response.reply;
        std::string note;
        if (count == faults.short_request) {
            reply = std::string(kShortReply);
            note = " [short reply]";
        } else if (count == faults.oversized_request) {
            if (reply.size() < faults.oversized_size) {
                reply.insert(reply.size() - 1, faults.oversized_size - reply.size(), ' ');
            }
            note = " [oversized reply of " + IntToText(reply.size()) + " bytes]";
        } else if (count == faults.split_request) {
            note = " [split reply]";
        }
        Log(line + note);
        if (!Pause(faults.reply_delay)) return false;
        if (count == faults.split_request && count != faults.short_request &&
            count != faults.oversized_request && reply.size() > 1) {
            const std::string_view bytes = reply;
            const std::size_t half = bytes.size() / 2;
            return SendAll(fd, bytes.substr(0, half)) && Pause(faults.split_pause) &&
                   SendAll(fd, bytes.substr(half));
        }
        return SendAll(fd, reply);
    }

    const RegisterOptions& options_;
    Responder responder_;
    Fd wake_read_;
    Fd wake_write_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable serving_changed_;
    bool serving_ = false;
    Fd listen_;
};

RegisterServer::RegisterServer(Tape tape, RegisterOptions options)
    : tape_(std::move(tape)), options_(std::move(options)) {
    CheckOptions(options_);
    impl_ = std::make_unique<Impl>(tape_, options_);
}

RegisterServer::~RegisterServer() { Stop(); }

void RegisterServer::Listen(const std::string& host, std::uint16_t port) {
    port_ = impl_->Listen(host, port);
}

void RegisterServer::Serve() { impl_->Serve(); }

void RegisterServer::Start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] {
        try {
            impl_->Serve();
        } catch (const std::exception& e) {
            if (options_.log) options_.log(std::string("register stopped: ") + e.what());
        }
    });
}

void RegisterServer::Stop() {
    const std::lock_guard lock(stop_mutex_);
    impl_->RequestStop();
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
    impl_->WaitUntilIdleAndClose();
}

void RegisterServer::RequestStop() noexcept { impl_->RequestStop(); }

}  // namespace tavrelo
