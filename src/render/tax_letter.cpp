#include "render/tax_letter.h"

#include "common/numbers.h"
#include "render/cp1251_literal.h"

namespace tavrelo {

std::string TaxLetter(int index) {
    switch (index) {
        case 0:
            return " ";
        case 1:
            return "A";  // Latin, byte 0x41
        case 2:
            return std::string("Б"_cp);
        case 3:
            return std::string("В"_cp);
        case 4:
            return std::string("Г"_cp);
        case 5:
            return std::string("Д"_cp);
        case 6:
            return "*";
        default:
            return std::string("Много параметров"_cp);
    }
}

int TaxIndex(std::string_view text) { return ParseIntSkippingLeadingBlanks(text); }

}  // namespace tavrelo
