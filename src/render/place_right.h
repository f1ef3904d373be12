#pragma once

#include <string>
#include <string_view>

namespace tavrelo {

// The end columns that the layouts place values at (columns count from 1).
inline constexpr int kAmountColumn = 37;
inline constexpr int kRateColumn = 30;
inline constexpr int kLeftAmountColumn = 24;
inline constexpr int kReceiptNumberColumn = 11;

// Writes `value` over `line` so that its last character lands on `end_column`. A line shorter than
// 38 characters first gets 35 spaces appended, once; the line keeps its length otherwise and the
// characters around the value stay. RangeError when a character of the value would fall outside
// the line.
std::string PlaceRight(std::string line, std::string_view value, int end_column);

}  // namespace tavrelo
