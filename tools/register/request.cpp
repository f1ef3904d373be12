#include "register/request.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/errors.h"
#include "common/numbers.h"

namespace tavrelo {
namespace {

// The fields of "a;b;c;": each must be ended by ";", nothing may follow the last one.
std::optional<std::vector<std::string_view>> SplitFields(std::string_view data) {
    std::vector<std::string_view> fields;
    while (!data.empty()) {
        const std::size_t semicolon = data.find(';');
        if (semicolon == std::string_view::npos) return std::nullopt;
        fields.push_back(data.substr(0, semicolon));
        data.remove_prefix(semicolon + 1);
    }
    return fields;
}

// A plain decimal number without sign, as the client writes them.
std::optional<std::int32_t> Unsigned(std::string_view field) {
    if (field.empty() || field.size() > 9) return std::nullopt;
    for (char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    return ParseInt(field);
}

Request ParseBlock(std::string_view data) {
    const auto fields = SplitFields(data);
    if (!fields || fields->size() != 3) return MalformedRequest{"B wants three ;-ended fields"};
    const auto type = Unsigned((*fields)[0]);
    const auto number = Unsigned((*fields)[1]);
    const auto block = Unsigned((*fields)[2]);
    if (!type || !number || !block) return MalformedRequest{"B fields must be decimal numbers"};
    if (*type > 1) return MalformedRequest{"B type must be 0 or 1"};
    return BlockRequest{*type, *number, *block};
}

Request ParseRange(std::string_view data) {
    const auto fields = SplitFields(data);
    if (!fields || fields->size() != 10) return MalformedRequest{"F wants ten ;-ended fields"};
    std::array<std::int32_t, 10> v{};
    for (std::size_t i = 0; i < v.size(); ++i) {
        const auto value = Unsigned((*fields)[i]);
        if (!value) return MalformedRequest{"F fields must be decimal numbers"};
        v[i] = *value;
    }
    std::array<std::int64_t, 2> stamps{};
    for (std::size_t half = 0; half < 2; ++half) {
        const std::int32_t day = v[half * 5], month = v[half * 5 + 1], year = v[half * 5 + 2];
        const std::int32_t hour = v[half * 5 + 3], minute = v[half * 5 + 4];
        if (day < 1 || day > 31 || month < 1 || month > 12 || year > 99 || hour > 23 ||
            minute > 59) {
            return MalformedRequest{"F date or time out of range"};
        }
        const std::int64_t second = half == 0 ? 0 : 59;
        stamps[half] = ((((2000LL + year) * 100 + month) * 100 + day) * 100 + hour) * 10000 +
                       minute * 100 + second;
    }
    return RangeRequest{stamps[0], stamps[1]};
}

}  // namespace

Request ParseRequestBody(std::string_view body) {
    if (body.size() < 2 || body[1] != ';') return MalformedRequest{"no command letter"};
    const std::string_view data = body.substr(2);
    switch (body[0]) {
        case 'B':
            return ParseBlock(data);
        case 'F':
            return ParseRange(data);
        default:
            return MalformedRequest{"unknown command"};
    }
}

void RequestReader::Append(std::string_view bytes) { pending_.append(bytes); }

std::optional<RequestFrame> RequestReader::Next() {
    const std::size_t start = pending_.find('\x01');
    if (start == std::string::npos) {
        dropped_ += pending_.size();
        pending_.clear();
        return std::nullopt;
    }
    dropped_ += start;
    pending_.erase(0, start);
    const std::size_t end = pending_.find('\x05');
    const std::size_t next_start = pending_.find('\x01', 1);
    const bool restarted = next_start != std::string::npos && next_start < end;
    if (restarted || (end >= kMaxFrame && pending_.size() >= kMaxFrame)) {
        const std::size_t cut = std::min(restarted ? next_start : kMaxFrame, kMaxFrame);
        RequestFrame frame;
        frame.bytes = pending_.substr(0, cut);
        frame.request = MalformedRequest{"frame without its closing 0x05"};
        pending_.erase(0, cut);
        return frame;
    }
    if (end == std::string::npos) return std::nullopt;
    RequestFrame frame;
    frame.bytes = pending_.substr(0, end + 1);
    pending_.erase(0, end + 1);
    const std::string_view bytes = frame.bytes;
    if (bytes.size() < 5 || bytes[0] != '\x01' ||
        (static_cast<unsigned char>(bytes[1]) & 0x80) == 0 || bytes[2] != '\x80' ||
        bytes[3] != '\x21') {
        frame.request = MalformedRequest{"bad frame header"};
        return frame;
    }
    frame.body = std::string(bytes.substr(4, bytes.size() - 5));
    frame.request = ParseRequestBody(frame.body);
    return frame;
}

}  // namespace tavrelo
