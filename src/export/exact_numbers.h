#pragma once

#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "model/vocabulary.h"
#include "model/xml_node.h"

namespace tavrelo {

// The attribute texts of a response exactly as the XML wrote them, addressed the way the model
// stores the values: document index, element code and the element's index within its kind. The
// model keeps numbers as 32-bit floats, which cannot hold every amount above 167772.16; exports
// and the audit read the amounts here instead and the model only for the shape of the tape.
class ExactNumbers {
  public:
    void Set(int document, int element, int index, std::string attribute, std::string text) {
        texts_[Key{document, element, index, std::move(attribute)}] = std::move(text);
    }

    // The text of the attribute, or null when the XML did not write it.
    const std::string* Text(int document, int element, int index,
                            std::string_view attribute) const {
        const auto found = texts_.find(Key{document, element, index, std::string(attribute)});
        return found == texts_.end() ? nullptr : &found->second;
    }

    bool empty() const { return texts_.empty(); }

  private:
    using Key = std::tuple<int, int, int, std::string>;
    std::map<Key, std::string> texts_;
};

// Collects the attribute texts of a parsed response by the same rules that place the values in
// the model (model/tree_walk.h): the document index advances at every MAC, an element's index is
// its kind's count, and a count advances when the next element starts. E and VD are single
// members of a receipt, so their values overwrite each other like the model's do.
class ExactNumbersCollector {
  public:
    template <XmlNode Node>
    void Collect(const Node& node) {
        auto&& name_holder = node.NodeName();
        const std::string_view name = name_holder;
        if (name == "MAC") ++document_;
        if (name != "#text") {
            Advance();
            state_.enter(name);
        }
        const int element = state_.current();
        const int index = Index(element);
        for (auto&& attribute : node.AttributeNodes()) {
            auto&& attribute_name = attribute.NodeName();
            numbers_.Set(document_, element, index, std::string(std::string_view(attribute_name)),
                         attribute.NodeValue());
        }
        if (node.HasChildNodes()) {
            for (auto&& child : node.ChildNodes()) Collect(child);
        }
    }

    ExactNumbers Take() { return std::move(numbers_); }

  private:
    void Advance();
    int Index(int element) const;

    ExactNumbers numbers_;
    control state_;
    int document_ = 0;
    std::map<std::pair<int, int>, int> counts_;  // (document, element code) -> count
};

// The attribute texts of every document below the root of a response (the root's own attributes
// belong to no document).
template <XmlNode Node>
ExactNumbers CollectExactNumbers(const Node& root) {
    ExactNumbersCollector collector;
    for (auto&& child : root.ChildNodes()) collector.Collect(child);
    return collector.Take();
}

}  // namespace tavrelo
