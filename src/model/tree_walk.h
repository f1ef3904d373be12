#pragma once

#include <string>
#include <string_view>

#include "model/document.h"
#include "model/vocabulary.h"
#include "model/xml_node.h"

namespace tavrelo {

// Fills the document model from a parsed control-tape tree, one node at a time in document order.
// It keeps no state of its own: the element being filled lives in `control`, the counters in the
// model. The rules that the counters and the line map depend on:
//  - the current element code is never restored when an element ends;
//  - an element's counters advance when the next element node starts, wherever that is;
//  - MAC advances rq.cur() before anything else, so the MAC after document k lands under k + 1;
//  - the text of L, H, TS and MAC is stored before the element's attributes;
//  - a value of number form that is no number throws ConversionError, leaving the model filled
//    up to that value.
class TreeWalk {
  public:
    TreeWalk(rq& model, control& state) : model_(model), state_(state) {}

    // The attributes of the root, then each of its children in turn. The root's name is not
    // examined and not entered, so its attributes are stored with the code the state holds.
    template <XmlNode Node>
    void ParseDocument(const Node& root) {
        ParseAttributes(root.AttributeNodes());
        ParseNodes(root.ChildNodes());
    }

    // One node of a child list, with everything below it. Feeding the root's children to this
    // one by one, after ParseAttributes of the root, is the same as ParseDocument.
    template <XmlNode Node>
    void ParseNode(const Node& node) {
        auto&& name_holder = node.NodeName();
        const std::string_view name = name_holder;
        if (name == "MAC") model_.set_cur(model_.cur() + 1);
        if (name != "#text") EnterElement(name);
        if (node.IsTextElement()) {
            const int text_code = TextCode(state_.current());
            if (text_code >= 0) StoreValue(text_code, node.NodeValue());
        }
        ParseAttributes(node.AttributeNodes());
        if (node.HasChildNodes()) ParseNodes(node.ChildNodes());
    }

    template <class NodeList>
    void ParseNodes(NodeList&& list) {
        for (auto&& node : list) ParseNode(node);
    }

    template <class AttributeList>
    void ParseAttributes(AttributeList&& list) {
        for (auto&& attribute : list) {
            auto&& name_holder = attribute.NodeName();
            StoreValue(state_.attr_code(std::string_view(name_holder)), attribute.NodeValue());
        }
    }

    // Stores one value into the model, chosen by the current element code and `code`.
    void StoreValue(int code, std::string value);

    // Advances the counters of the element being left (the current element code).
    void AdvanceCounters();

  private:
    // The attribute code under which an element's text is stored; -1 when it is not stored.
    static int TextCode(int elem);

    void EnterElement(std::string_view name) {
        AdvanceCounters();
        state_.enter(name);
    }

    dat& Doc() { return model_.dat_at(model_.cur()); }

    rq& model_;
    control& state_;
};

}  // namespace tavrelo
