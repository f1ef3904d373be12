#include "retrieval/block_reply.h"

#include <cstdint>

#include "common/errors.h"
#include "common/numbers.h"
#include "render/number_format.h"

namespace tavrelo {

int TypeCodeForSelection(int item_index) { return item_index == 0 ? 0 : 1; }

std::string BlockDataText(int type_code, int number, int block_index) {
    return IntToText(type_code) + ";" + IntToText(number) + ";" + IntToText(block_index) + ";";
}

bool EndsDocument(std::string_view reply) {
    if (reply.size() >= 6) {
        const std::string_view mark = reply.substr(4, 2);
        if (mark == "D;" || mark == "E;") return true;
    }
    if (reply.size() >= 4 && reply[0] == '\x01') {
        const char status = reply[3];
        if (status == '0' || status == '"' || status == 'C') return true;
    }
    return false;
}

std::string_view BlockPayload(std::string_view reply) {
    if (reply.size() < 4) {
        throw RangeError("A reply of " + IntToText(static_cast<std::int64_t>(reply.size())) +
                         " bytes is too short for a block");
    }
    if (reply.size() <= 5) return {};
    return reply.substr(4, reply.size() - 5);
}

int BlockAdvance(int reply_length) {
    const int m = reply_length - 5;
    const int q = m / 150;
    const int r = m % 150;
    return r != 0 ? q + 1 : q;
}

std::string ProgressText(int first, int last, int number) {
    // Differences in 64 bits: a range as wide as the integers must not overflow.
    const float done = static_cast<float>(std::int64_t{number} - first);
    const float count = static_cast<float>(std::int64_t{last} - first + 1);
    const float p = done / count * 100.0f;
    return Fixed2(p) + "%     " + IntToText(number);
}

}  // namespace tavrelo
