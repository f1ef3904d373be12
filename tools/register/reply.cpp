#include "register/reply.h"

namespace tavrelo {

std::string BuildReply(char status, std::string_view payload) {
    const std::size_t length = payload.size() + 5;
    std::string reply;
    reply.reserve(length);
    reply += kReplyStart;
    reply += static_cast<char>(0x80 | (length & 0x7F));
    reply += static_cast<char>(0x80 | ((length >> 7) & 0x7F));
    reply += status;
    reply += payload;
    reply += kReplyTrailer;
    return reply;
}

std::string BuildEndReply(EndMark mark) {
    return mark == EndMark::kStatusZero ? BuildReply('0', {}) : BuildReply(kDataStatus, "D;");
}

std::string BuildErrorReply() { return BuildReply(kErrorStatus, {}); }

}  // namespace tavrelo
