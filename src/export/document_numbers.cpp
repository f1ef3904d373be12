#include "export/document_numbers.h"

#include <cmath>
#include <cstdio>

#include "export/decimal_text.h"

namespace tavrelo {
namespace {

std::string FloatText(double value, int places) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", places, value);
    return buffer;
}

}  // namespace

std::int64_t DocumentNumbers::Integer(int element, int index, std::string_view attribute,
                                      float model_value) const {
    if (const std::string* text = Text(element, index, attribute)) {
        if (const auto whole = WholeNumber(*text)) return *whole;
    }
    return std::llround(static_cast<double>(model_value));
}

bool DocumentNumbers::IsWhole(int element, int index, std::string_view attribute) const {
    const std::string* text = Text(element, index, attribute);
    return text == nullptr || WholeNumber(*text).has_value();
}

std::string DocumentNumbers::Scaled(int element, int index, std::string_view attribute,
                                    float model_value, int places) const {
    if (const std::string* text = Text(element, index, attribute)) {
        if (auto scaled = ScaledDecimal(*text, places)) return *scaled;
    }
    return FloatText(static_cast<double>(model_value) / std::pow(10.0, places), places);
}

}  // namespace tavrelo
