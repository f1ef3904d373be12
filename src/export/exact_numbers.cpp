#include "export/exact_numbers.h"

namespace tavrelo {

void ExactNumbersCollector::Advance() {
    const int element = state_.current();
    if (element >= code_p && element <= code_tx) ++counts_[{document_, element}];
}

int ExactNumbersCollector::Index(int element) const {
    if (element == code_e || element == code_vd) return 0;
    const auto found = counts_.find({document_, element});
    return found == counts_.end() ? 0 : found->second;
}

}  // namespace tavrelo
