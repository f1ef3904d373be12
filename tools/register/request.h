#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tavrelo {

// "B;t;n;k;": block k of document n, by DI (type 1) or by Z-report NO (type 0).
struct BlockRequest {
    std::int32_t type = 0;
    std::int32_t number = 0;
    std::int32_t block = 0;
};

// "F;dd;mm;yy;hh;mm;dd;mm;yy;hh;mm;": the first and last DI of a date and time range, both as
// yyyymmddhhmmss numbers (two-digit years are 20yy; the end takes its whole minute, :59).
struct RangeRequest {
    std::int64_t from = 0;
    std::int64_t to = 0;
};

// A frame or body the register does not understand; `reason` is for the log.
struct MalformedRequest {
    std::string reason;
};

using Request = std::variant<BlockRequest, RangeRequest, MalformedRequest>;

// Reads the body of a frame ("B;1;57;3;"). Never throws.
Request ParseRequestBody(std::string_view body);

// One request frame as it came off the wire: 0x01, length byte, 0x80, 0x21, body, 0x05.
struct RequestFrame {
    std::string bytes;  // the whole frame, for the log
    Request request;
    std::string body;  // the text between the header and 0x05 (empty for a bad header)
};

// Cuts request frames out of the byte stream of one connection. The length byte cannot be
// trusted (it overflows for bodies above 122 bytes), so a frame runs from its start byte 0x01 to
// the next 0x05, which neither the rest of the header nor a text body holds. Bytes before a start
// byte belong to no frame and are dropped unanswered. A frame that meets another start byte, or
// reaches kMaxFrame bytes, before its 0x05 is given up as malformed; that bounds the memory a
// client can take.
class RequestReader {
  public:
    static constexpr std::size_t kMaxFrame = 256;

    void Append(std::string_view bytes);
    std::optional<RequestFrame> Next();
    std::size_t dropped() const { return dropped_; }  // bytes outside any frame so far

  private:
    std::string pending_;
    std::size_t dropped_ = 0;
};

}  // namespace tavrelo
