#include "render/place_right.h"

#include "common/errors.h"

namespace tavrelo {

std::string PlaceRight(std::string line, std::string_view value, int end_column) {
    if (line.size() < 38) line.append(35, ' ');
    if (value.empty()) return line;
    const long long first =
        static_cast<long long>(end_column) - static_cast<long long>(value.size()) + 1;
    if (first < 1 || end_column > static_cast<long long>(line.size())) {
        throw RangeError("Range check error: '" + std::string(value) + "' cannot end at column " +
                         std::to_string(end_column) + " of a line of " +
                         std::to_string(line.size()) + " characters");
    }
    line.replace(static_cast<std::size_t>(first - 1), value.size(), value);
    return line;
}

}  // namespace tavrelo
