#include "export/receipt_lines.h"

#include "common/errors.h"
#include "render/tax_letter.h"

namespace tavrelo {

std::vector<ReceiptLine> OrderedLines(check& receipt) {
    std::vector<ReceiptLine> lines;
    const int count = receipt.line_count();
    for (int line = 1; line <= count; ++line) {
        const line_ref ref = receipt.line_at(line);
        if (ref.kind != kind_none) lines.push_back({line, ref.kind, ref.index});
    }
    return lines;
}

std::optional<std::string> TaxGroupLetter(std::string_view tx) {
    try {
        const int index = TaxIndex(tx);
        if (index >= 1 && index <= 6) return TaxLetter(index);
    } catch (const ConversionError&) {
        // Not a group index: the export shows the text alone.
    }
    return std::nullopt;
}

std::string TaxGroupKey(std::string_view tx) {
    const auto first = tx.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = tx.find_last_not_of(' ');
    return std::string(tx.substr(first, last - first + 1));
}

}  // namespace tavrelo
