#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "export/exact_numbers.h"

namespace tavrelo {

// The numbers of one document, read from their XML texts where the XML wrote them. Where it did
// not, the model's value stands in (the initial value of an attribute left out, normally 0).
class DocumentNumbers {
  public:
    DocumentNumbers(const ExactNumbers& numbers, int document)
        : numbers_(numbers), document_(document) {}

    const std::string* Text(int element, int index, std::string_view attribute) const {
        return numbers_.Text(document_, element, index, attribute);
    }
    bool Has(int element, int index, std::string_view attribute) const {
        return Text(element, index, attribute) != nullptr;
    }

    // A whole number such as an amount in hundredths, a count or a code. A text with a fraction
    // or an exponent gives the model's value rounded to the nearest integer.
    std::int64_t Integer(int element, int index, std::string_view attribute,
                         float model_value) const;

    // Whether the attribute, when written, is a whole number.
    bool IsWhole(int element, int index, std::string_view attribute) const;

    // A number in hundredths as currency units ("1200" gives "12.00"), exactly.
    std::string Amount(int element, int index, std::string_view attribute,
                       float model_value) const {
        return Scaled(element, index, attribute, model_value, 2);
    }

    // A number divided by 10^places, exactly (quantities in thousandths take 3).
    std::string Scaled(int element, int index, std::string_view attribute, float model_value,
                       int places) const;

  private:
    const ExactNumbers& numbers_;
    int document_;
};

}  // namespace tavrelo
