#include "render/format_stamp.h"

namespace tavrelo {
namespace {

// Characters `first` to `last` (1-based, inclusive), cut short at the end of the text.
std::string_view Piece(std::string_view text, std::size_t first, std::size_t last) {
    if (text.size() < first) return {};
    return text.substr(first - 1, last - first + 1);
}

}  // namespace

std::string FormatStamp(std::string_view stamp, bool with_time) {
    std::string out;
    out.append(Piece(stamp, 7, 8)).append(".").append(Piece(stamp, 5, 6)).append(".");
    out.append(Piece(stamp, 1, 4)).append("  ");
    if (with_time) out.append(Piece(stamp, 9, 10)).append(":").append(Piece(stamp, 11, 12));
    return out;
}

}  // namespace tavrelo
