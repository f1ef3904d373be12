#pragma once

#include <libxml/tree.h>

#include <cstddef>
#include <iterator>
#include <string>

#include "model/xml_node.h"

namespace tavrelo {

class XmlNodeList;

// A light, non-owning handle on one node of a parsed XmlDocument: an element, a text node or
// another child node, or an attribute. Valid while its document lives. Names and values come
// back as Windows-1251 text; text nodes are named "#text", CDATA sections "#cdata-section" and
// comments "#comment", as in the DOM.
class XmlNodeRef {
  public:
    XmlNodeRef() = default;
    explicit XmlNodeRef(xmlNode* node) : node_(node) {}
    explicit XmlNodeRef(xmlAttr* attribute) : attribute_(attribute) {}

    std::string NodeName() const;

    // An attribute's value; the text of a text node or of a text element; otherwise empty.
    std::string NodeValue() const;

    bool IsTextElement() const {
        return node_ != nullptr && node_->type == XML_ELEMENT_NODE && node_->children != nullptr &&
               node_->children == node_->last && node_->children->type == XML_TEXT_NODE;
    }

    // An entity reference shows no children: libxml2 links it to the declaration itself.
    bool HasChildNodes() const {
        return node_ != nullptr && node_->type == XML_ELEMENT_NODE && node_->children != nullptr;
    }

    XmlNodeList AttributeNodes() const;
    XmlNodeList ChildNodes() const;

    // The next sibling in document order; a null handle after the last one.
    XmlNodeRef Next() const {
        if (node_ != nullptr) return XmlNodeRef(node_->next);
        if (attribute_ != nullptr) return XmlNodeRef(attribute_->next);
        return {};
    }

    bool IsNull() const { return node_ == nullptr && attribute_ == nullptr; }
    xmlNode* node() const { return node_; }
    xmlAttr* attribute() const { return attribute_; }

    friend bool operator==(const XmlNodeRef&, const XmlNodeRef&) = default;

  private:
    xmlNode* node_ = nullptr;
    xmlAttr* attribute_ = nullptr;
};

// The attributes or the children of a node, in document order, as a forward range of handles.
class XmlNodeList {
  public:
    class iterator {
      public:
        using value_type = XmlNodeRef;
        using difference_type = std::ptrdiff_t;
        using iterator_concept = std::forward_iterator_tag;

        iterator() = default;
        explicit iterator(XmlNodeRef at) : at_(at) {}

        XmlNodeRef operator*() const { return at_; }
        iterator& operator++() {
            at_ = at_.Next();
            return *this;
        }
        iterator operator++(int) {
            iterator before = *this;
            ++*this;
            return before;
        }
        friend bool operator==(const iterator&, const iterator&) = default;

      private:
        XmlNodeRef at_;
    };

    XmlNodeList() = default;
    explicit XmlNodeList(XmlNodeRef first) : first_(first) {}

    iterator begin() const { return iterator(first_); }
    iterator end() const { return iterator(); }
    bool empty() const { return first_.IsNull(); }

  private:
    XmlNodeRef first_;
};

inline XmlNodeList XmlNodeRef::AttributeNodes() const {
    if (node_ == nullptr || node_->type != XML_ELEMENT_NODE) return {};
    return XmlNodeList(XmlNodeRef(node_->properties));
}

inline XmlNodeList XmlNodeRef::ChildNodes() const {
    if (!HasChildNodes()) return {};
    return XmlNodeList(XmlNodeRef(node_->children));
}

static_assert(XmlNode<XmlNodeRef>);

}  // namespace tavrelo
