#pragma once

#include <string>
#include <string_view>

namespace tavrelo {

// The one-character mark of a tax group as the tape prints it: 0 a space, 1 the Latin "A", 2 to 5
// the Cyrillic Б В Г Д, 6 "*". Any other index gives the text "Много параметров", which then
// stands in the line like a letter. CP1251.
std::string TaxLetter(int index);

// The tax-group index of a model `tx` text: optional leading blanks, an optional sign and decimal
// digits. ConversionError for anything else, a blank or empty text included.
int TaxIndex(std::string_view text);

}  // namespace tavrelo
