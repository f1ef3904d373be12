#pragma once

#include <string>
#include <string_view>

namespace tavrelo {

// "dd.mm.yyyy" and two spaces from a yyyymmdd[hhmm...] digit stamp, then "hh:mm" when `with_time`
// is set. Pieces beyond the end of a short stamp come out empty ("2014" gives "..2014  ").
std::string FormatStamp(std::string_view stamp, bool with_time);

}  // namespace tavrelo
