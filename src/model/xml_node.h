#pragma once

#include <concepts>
#include <ranges>
#include <string>
#include <string_view>
#include <type_traits>

namespace tavrelo {

// What the tree walk needs of a parsed XML node. Names and values are Windows-1251 text; a text
// node is named "#text"; an empty value is the empty string (and so never a number). Attributes
// and children come as ranges of the same node type, in document order. A text element is an
// element with exactly one child node that is a text node (no child, or a CDATA child, is not).
template <class Node>
concept XmlNode = requires(const Node& node) {
    { node.NodeName() } -> std::convertible_to<std::string_view>;
    { node.NodeValue() } -> std::convertible_to<std::string>;
    { node.IsTextElement() } -> std::convertible_to<bool>;
    { node.HasChildNodes() } -> std::convertible_to<bool>;
    { node.AttributeNodes() } -> std::ranges::input_range;
    { node.ChildNodes() } -> std::ranges::input_range;
    requires std::same_as<
        std::remove_cvref_t<std::ranges::range_reference_t<decltype(node.AttributeNodes())>>, Node>;
    requires std::same_as<
        std::remove_cvref_t<std::ranges::range_reference_t<decltype(node.ChildNodes())>>, Node>;
};

}  // namespace tavrelo
