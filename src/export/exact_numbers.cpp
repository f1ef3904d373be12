#include "export/exact_numbers.h"

#include <algorithm>

namespace tavrelo {
namespace {

// Attributes of text form that hold no number anybody reads from here.
bool IsPlainText(std::string_view name) {
    static constexpr std::string_view kNames[] = {"NM", "C", "CD", "FN", "TN", "ZN", "RRN", "TS"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

}  // namespace

bool ExactNumbers::ToName(std::string_view text, Name& name) {
    if (text.size() > name.size()) return false;
    name.fill('\0');
    std::copy(text.begin(), text.end(), name.begin());
    return true;
}

void ExactNumbers::Set(int document, int element, int index, std::string_view attribute,
                       std::string text) {
    Name name;
    if (document < 0 || IsPlainText(attribute) || !ToName(attribute, name)) return;
    if (documents_.size() <= static_cast<std::size_t>(document)) {
        documents_.resize(static_cast<std::size_t>(document) + 1);
    }
    auto& entries = documents_[static_cast<std::size_t>(document)];
    const auto at = std::lower_bound(entries.begin(), entries.end(), 0, [&](const Entry& e, int) {
        return Before(e, element, index, name);
    });
    if (at != entries.end() && at->element == element && at->index == index &&
        at->attribute == name) {
        at->text = std::move(text);
    } else {
        entries.insert(at, Entry{element, index, name, std::move(text)});
    }
}

const std::string* ExactNumbers::Text(int document, int element, int index,
                                      std::string_view attribute) const {
    Name name;
    if (document < 0 || static_cast<std::size_t>(document) >= documents_.size() ||
        !ToName(attribute, name)) {
        return nullptr;
    }
    const auto& entries = documents_[static_cast<std::size_t>(document)];
    const auto at = std::lower_bound(entries.begin(), entries.end(), 0, [&](const Entry& e, int) {
        return Before(e, element, index, name);
    });
    if (at == entries.end() || at->element != element || at->index != index ||
        at->attribute != name) {
        return nullptr;
    }
    return &at->text;
}

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
