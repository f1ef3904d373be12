#include "link/handshake.h"

#include <algorithm>

#include "common/errors.h"
#include "common/numbers.h"

namespace tavrelo {
namespace {

constexpr std::size_t kReplyAreaSize = 500;

// The wait loop: true when a read returned at least one byte into `area`.
bool AwaitReply(StreamSocket& socket, HandshakeObserver& observer, const HandshakeTimings& timings,
                std::array<char, kReplyAreaSize>& area) {
    for (int r = 0; r < timings.passes; ++r) {
        const int pass_count = timings.passes - 1 - r;
        bool readable = false;
        for (int w = 1; w <= timings.waits_per_pass; ++w) {
            if (socket.WaitReadable(timings.wait_ms)) {
                readable = true;
                break;
            }
            observer.CountdownChanged(CountdownText(pass_count, timings.waits_per_pass - w));
            if (observer.Aborted()) return false;
        }
        if (!readable) {
            observer.CountdownChanged(CountdownText(pass_count, -1));
            if (observer.Aborted()) return false;
            continue;
        }
        area.fill(0);
        if (socket.ReadSome(area.data(), area.size(), timings.stream_timeout_ms) > 0) return true;
    }
    return false;
}

}  // namespace

std::array<char, 9> IdentificationMessage(std::string_view identifier) {
    std::array<char, 9> message{};
    std::copy_n(identifier.begin(), std::min(identifier.size(), message.size()), message.begin());
    return message;
}

std::string CountdownText(int pass_count, int seconds) {
    return IntToText(pass_count) + " : " + IntToText(seconds);
}

bool OpenConnection(StreamSocket& socket, const std::string& host, std::uint16_t port,
                    std::string* detail) {
    try {
        if (socket.IsActive()) socket.Close();
        socket.Connect(host, port);
        return socket.IsActive();
    } catch (const Error& error) {
        if (detail != nullptr) *detail = error.what();
        return false;
    }
}

bool IdentifyToRegister(StreamSocket& socket, std::string_view identifier,
                        HandshakeObserver& observer, const HandshakeTimings& timings) {
    std::array<char, kReplyAreaSize> area{};
    if (socket.IsActive()) {
        try {
            const auto message = IdentificationMessage(identifier);
            socket.WriteAll(std::string_view(message.data(), message.size()),
                            timings.stream_timeout_ms);
            observer.WaitStarted();
            AwaitReply(socket, observer, timings, area);
        } catch (const ConnectionLost&) {
            // Reported below as a register that is not ready.
        }
        observer.WaitFinished();
    }
    const std::string_view all(area.data(), area.size());
    return all.substr(0, all.find('\0')) == "Ready";
}

ConnectOutcome ConnectToRegister(StreamSocket& socket, const std::string& host, std::uint16_t port,
                                 std::string_view identifier, HandshakeObserver& observer,
                                 const HandshakeTimings& timings, std::string* detail) {
    if (!OpenConnection(socket, host, port, detail)) return ConnectOutcome::kServerUnreachable;
    if (!IdentifyToRegister(socket, identifier, observer, timings)) {
        return ConnectOutcome::kNotReady;
    }
    return ConnectOutcome::kConnected;
}

}  // namespace tavrelo
