#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/receipt.h"

namespace tavrelo {

// One line of a receipt in printing order: its number, kind (line_kind) and index in the
// collection of that kind.
struct ReceiptLine {
    int line = 0;
    int kind = 0;
    int index = 0;
};

// The recorded lines of a receipt in the order the tape prints them (lines 1 to line_count());
// a line number nothing was recorded under is left out, as the tape leaves it out.
std::vector<ReceiptLine> OrderedLines(check& receipt);

// The tax-group letter of a model tax text for the groups 1 to 6 (CP1251); nothing for group 0
// (no tax), other groups and texts that are no group index.
std::optional<std::string> TaxGroupLetter(std::string_view tx);

// The tax text without the blanks around it: " 4" and "4" name one group.
std::string TaxGroupKey(std::string_view tx);

}  // namespace tavrelo
