#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/vocabulary.h"
#include "model/xml_node.h"

namespace tavrelo {

// The attribute texts of a response exactly as the XML wrote them, addressed the way the model
// stores the values: document index, element code and the element's index within its kind. The
// model keeps numbers as 32-bit floats, which cannot hold every amount above 167772.16; exports
// and the audit read the amounts here instead and the model only for the shape of the tape.
class ExactNumbers {
  public:
    // Records the text of an attribute, replacing what the same attribute of the same element
    // held. Names of more than 8 characters (none on the tape) and the attributes of text form
    // that carry no number (names, codes, fiscal numbers, timestamps) are not kept: a tape of
    // 100,000 documents holds millions of attributes.
    void Set(int document, int element, int index, std::string_view attribute, std::string text);

    // The text of the attribute, or null when the XML did not write it (or it is not kept).
    const std::string* Text(int document, int element, int index, std::string_view attribute) const;

    bool empty() const { return documents_.empty(); }

  private:
    using Name = std::array<char, 8>;
    struct Entry {
        std::int32_t element = 0;
        std::int32_t index = 0;
        Name attribute{};
        std::string text;
    };
    static bool Before(const Entry& entry, std::int32_t element, std::int32_t index,
                       const Name& attribute) {
        if (entry.element != element) return entry.element < element;
        if (entry.index != index) return entry.index < index;
        return entry.attribute < attribute;
    }
    static bool ToName(std::string_view text, Name& name);

    // Per document, ordered by (element, index, attribute).
    std::vector<std::vector<Entry>> documents_;
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
            numbers_.Set(document_, element, index, std::string_view(attribute_name),
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
