#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "model/document.h"

namespace tavrelo {

// Searching the lines of a text display (Windows-1251, as the display holds them).

// The next row after `from` (before it when `forward` is false) whose text holds `needle`,
// ignoring case the way Unicode folds it, so "ХЛІБ" finds "Хліб"; the search wraps around the
// ends and comes back to `from` itself last. `from` -1 starts at the first row (or the last).
// Nothing for an empty needle or when no row holds it.
std::optional<int> FindLine(const std::vector<std::string>& lines, const QString& needle, int from,
                            bool forward);

// The row of the closing line of the receipt numbered `number` (its number, nine digits with
// leading zeros, then the date), the first one when the number repeats.
std::optional<int> FindReceiptRow(const std::vector<std::string>& lines, long long number);

// The row of the title of the Z-report numbered `number`.
std::optional<int> FindZvitRow(const std::vector<std::string>& lines, long long number);

// The row where the document with the number `di` (its DI) shows its number: the receipt's
// closing line or the Z-report's title. Nothing when the tape has no such document or the
// display does not show it.
std::optional<int> FindDocumentRow(rq& model, const std::vector<std::string>& lines, long long di);

}  // namespace tavrelo
