#pragma once

#include <string>

#include "export/exact_numbers.h"
#include "model/document.h"

namespace tavrelo {

// One row per receipt line (every line but the receipt end) of the documents 0 to cur() - 1,
// after a header row: document number, receipt number, timestamp (ISO 8601), line kind, name
// (the text of a comment), quantity, price, amount and tax letter. UTF-8, fields quoted as
// RFC 4180 asks (when they hold a comma, a quote or a line break), CR LF after every row.
std::string ExportCsv(rq& model, const ExactNumbers& numbers);

// One CSV field as RFC 4180 writes it.
std::string CsvField(const std::string& utf8);

}  // namespace tavrelo
