#include "link/exchange.h"

#include "common/errors.h"
#include "link/link_messages.h"

namespace tavrelo {

std::string BuildFrame(char letter, std::string_view data) {
    std::string body;
    body += letter;
    body += ';';
    body += data;
    std::string frame;
    frame += '\x01';
    frame += static_cast<char>(((body.size() + 5) | 0x80) & 0xFF);
    frame += '\x80';
    frame += '\x21';
    frame += body;
    frame += '\x05';
    return frame;
}

Exchange::Exchange(StreamSocket& socket, ExchangeTimings timings)
    : socket_(socket), timings_(timings) {}

int Exchange::Request(char letter, std::string_view data) {
    const std::string frame = BuildFrame(letter, data);
    reply_.Clear();
    connection_lost_ = false;
    int result = -1;
    try {
        if (socket_.IsActive()) socket_.WriteAll(frame, timings_.stream_timeout_ms);
        for (int attempt = 0; attempt < timings_.wait_tries; ++attempt) {
            if (socket_.WaitReadable(timings_.wait_timeout_ms)) {
                result = static_cast<int>(socket_.ReadSome(reply_.data(), ReplyBuffer::kReadLimit,
                                                           timings_.stream_timeout_ms));
                break;
            }
        }
    } catch (const ConnectionLost& error) {
        connection_lost_ = true;
        if (handler_ != nullptr) handler_->OnConnectionLost(ConnectionLostMessage(), error.what());
        return -1;
    }
    return result;
}

}  // namespace tavrelo
