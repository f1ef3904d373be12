#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/exact_numbers.h"
#include "model/document.h"

namespace tavrelo {

// A warning is an inconsistency of the tape; a note only informs (a cancelled receipt, a shift
// that could not be reconciled because the tape does not hold all of it).
enum class FindingSeverity { kWarning, kNote };

struct Finding {
    FindingSeverity severity = FindingSeverity::kWarning;
    std::int64_t document = 0;  // DI of the document the finding is about
    std::string text;           // CP1251, what differs
};

struct AuditReport {
    int documents = 0;
    std::vector<Finding> findings;  // in the order of the documents on the tape

    int warnings() const;
};

// Checks the documents 0 to cur() - 1 of a walked response: gaps, repeats and disorder of the
// document numbers, the receipt numbers and the Z-report numbers; per receipt, that the items
// with their discounts and markups add up to the total and that the payments less change equal
// it; cancelled receipts; per Z-report, that its payment-form sales and returns equal its
// tax-group turnover and, when the tape holds the whole shift since the previous Z-report, that
// the shift's receipts add up to the report's figures. Amounts are compared as exact integers of
// hundredths taken from `numbers` (collected from the same XML).
AuditReport AuditTape(rq& model, const ExactNumbers& numbers);

// The report as text lines (CP1251): one per finding, then a summary line.
std::vector<std::string> AuditReportLines(const AuditReport& report);

}  // namespace tavrelo
