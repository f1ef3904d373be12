#include "app/tape_search.h"

#include <cmath>

#include "app/ui_text.h"
#include "common/numbers.h"
#include "platform/qt/qt_text.h"

namespace tavrelo {
namespace {

constexpr std::size_t kReceiptNumberDigits = 9;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number a receipt's closing line starts with: two blanks, nine digits, then a blank or the
// end of the line.
std::optional<long long> ReceiptNumberOf(const std::string& line) {
    const std::size_t end = 2 + kReceiptNumberDigits;
    if (line.size() < end || line.compare(0, 2, "  ") != 0) return std::nullopt;
    if (line.size() > end && line[end] != ' ') return std::nullopt;
    long long number = 0;
    for (std::size_t i = 2; i < end; ++i) {
        if (!IsDigit(line[i])) return std::nullopt;
        number = number * 10 + (line[i] - '0');
    }
    return number;
}

}  // namespace

std::optional<int> FindLine(const std::vector<std::string>& lines, const QString& needle, int from,
                            bool forward) {
    const int count = static_cast<int>(lines.size());
    if (needle.isEmpty() || count == 0) return std::nullopt;
    const QString folded = needle.toCaseFolded();
    if (from < 0 || from >= count) from = forward ? count - 1 : 0;
    for (int step = 1; step <= count; ++step) {
        const int row = forward ? (from + step) % count : (from - step + count) % count;
        if (ToQString(lines[static_cast<std::size_t>(row)]).toCaseFolded().contains(folded)) {
            return row;
        }
    }
    return std::nullopt;
}

std::optional<int> FindReceiptRow(const std::vector<std::string>& lines, long long number) {
    for (std::size_t row = 0; row < lines.size(); ++row) {
        if (ReceiptNumberOf(lines[row]) == number) return static_cast<int>(row);
    }
    return std::nullopt;
}

std::optional<int> FindZvitRow(const std::vector<std::string>& lines, long long number) {
    const std::string title = Cp("           Z-звіт N ") + std::to_string(number);
    for (std::size_t row = 0; row < lines.size(); ++row) {
        if (lines[row] == title) return static_cast<int>(row);
    }
    return std::nullopt;
}

std::optional<int> FindDocumentRow(rq& model, const std::vector<std::string>& lines, long long di) {
    for (int i = 0; i < model.cur(); ++i) {
        dat& doc = model.dat_at(i);
        if (std::llround(doc.di()) != di) continue;
        if (doc.is_check()) {
            return FindReceiptRow(lines, std::llround(doc.check_at(0).e().no()));
        }
        return FindZvitRow(lines, TruncToInt32(doc.zvit_at(0).no()));
    }
    return std::nullopt;
}

}  // namespace tavrelo
