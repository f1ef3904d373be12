#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrelo {

// Reply layout as the client reads it: byte 0 = 0x01; bytes 1 and 2 = the total length L, low
// seven bits then the next seven, each with bit 7 set so that neither is ever zero; byte 3 = a
// status character; bytes 4 .. L-2 = payload; byte L-1 = the trailer 0x05. No reply holds a zero
// byte, since the client reads a reply only up to its first zero byte.

inline constexpr char kReplyStart = 0x01;
inline constexpr char kReplyTrailer = 0x05;
// Status of a reply that carries data ("B" blocks, "F" numbers): anything but '0', '"' and 'C',
// which the client takes as "no further block".
inline constexpr char kDataStatus = '!';
// Status of the reply to a request the register does not understand. To a "B" request it reads
// as "no further block"; an "F" request gets an empty payload, which the client cannot take for a
// number range.
inline constexpr char kErrorStatus = 'C';
// The largest payload that fits the client's single read of 1500 bytes.
inline constexpr std::size_t kMaxReplyPayload = 1495;

// The two end-of-document marks the client recognises.
enum class EndMark {
    kStatusZero,  // 01 len len '0' 05
    kDSemicolon,  // 01 len len '!' 'D' ';' 05
};

std::string BuildReply(char status, std::string_view payload);
std::string BuildEndReply(EndMark mark);
std::string BuildErrorReply();

}  // namespace tavrelo
