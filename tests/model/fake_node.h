#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/xml_node.h"

namespace tavrelo::testing {

// A hand-built node tree for driving the walk without an XML parser.
struct FakeNode {
    std::string name;
    std::string value;
    std::vector<FakeNode> attributes;
    std::vector<FakeNode> children;

    const std::string& NodeName() const { return name; }
    const std::string& NodeValue() const {
        return IsTextElement() ? children.front().value : value;
    }
    bool IsTextElement() const { return children.size() == 1 && children[0].name == "#text"; }
    bool HasChildNodes() const { return !children.empty(); }
    const std::vector<FakeNode>& AttributeNodes() const { return attributes; }
    const std::vector<FakeNode>& ChildNodes() const { return children; }
};

static_assert(XmlNode<FakeNode>);

using Attrs = std::vector<std::pair<std::string, std::string>>;

inline FakeNode El(std::string name, Attrs attrs = {}, std::vector<FakeNode> children = {}) {
    FakeNode node{std::move(name), {}, {}, std::move(children)};
    for (auto& [attr_name, attr_value] : attrs) {
        node.attributes.push_back(FakeNode{std::move(attr_name), std::move(attr_value), {}, {}});
    }
    return node;
}

inline FakeNode Text(std::string text) { return FakeNode{"#text", std::move(text), {}, {}}; }
inline FakeNode Cdata(std::string text) {
    return FakeNode{"#cdata-section", std::move(text), {}, {}};
}

}  // namespace tavrelo::testing
