#pragma once

#include <string>

#include "export/exact_numbers.h"
#include "model/document.h"

namespace tavrelo {

// The documents 0 to cur() - 1 of a walked response as a JSON array of objects, UTF-8, indented
// by two spaces, with a line feed at the end. Amounts are decimal strings in currency units
// ("12.00"), quantities decimal strings in units ("1.500"), rates the text the tape wrote
// ("20.00"); codes and counts are integers. Read from `model` for the shape of the tape and from
// `numbers` (collected from the same XML) for every number.
std::string ExportJson(rq& model, const ExactNumbers& numbers);

}  // namespace tavrelo
