#include "platform/xml/xml_node_ref.h"

#include <cstring>
#include <memory>
#include <string_view>

#include "common/cp1251.h"

namespace tavrelo {
namespace {

// libxml2 hands out UTF-8; names and most values are plain ASCII and need no conversion.
void AppendAsCp1251(std::string& out, const xmlChar* utf8) {
    if (utf8 == nullptr) return;
    const auto* text = reinterpret_cast<const char*>(utf8);
    const std::size_t size = std::strlen(text);
    for (std::size_t i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            out += Utf8ToCp1251(std::string_view(text, size));
            return;
        }
    }
    out.append(text, size);
}

std::string AsCp1251(const xmlChar* utf8) {
    std::string out;
    AppendAsCp1251(out, utf8);
    return out;
}

// The name as the document writes it, with its namespace prefix.
std::string QualifiedName(const xmlNs* ns, const xmlChar* name) {
    std::string out;
    if (ns != nullptr && ns->prefix != nullptr) {
        AppendAsCp1251(out, ns->prefix);
        out += ':';
    }
    AppendAsCp1251(out, name);
    return out;
}

struct XmlFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

}  // namespace

std::string XmlNodeRef::NodeName() const {
    if (attribute_ != nullptr) return QualifiedName(attribute_->ns, attribute_->name);
    if (node_ == nullptr) return {};
    switch (node_->type) {
        case XML_ELEMENT_NODE:
            return QualifiedName(node_->ns, node_->name);
        case XML_TEXT_NODE:
            return "#text";
        case XML_CDATA_SECTION_NODE:
            return "#cdata-section";
        case XML_COMMENT_NODE:
            return "#comment";
        default:
            return AsCp1251(node_->name);  // processing instructions, entity references
    }
}

std::string XmlNodeRef::NodeValue() const {
    if (attribute_ != nullptr) {
        const xmlNode* value = attribute_->children;
        if (value == nullptr) return {};
        if (value->next == nullptr && value->type == XML_TEXT_NODE) return AsCp1251(value->content);
        // Entity references in the value: let libxml2 join the pieces.
        const std::unique_ptr<xmlChar, XmlFree> joined(
            xmlNodeListGetString(attribute_->doc, attribute_->children, 1));
        return AsCp1251(joined.get());
    }
    if (node_ == nullptr) return {};
    switch (node_->type) {
        case XML_ELEMENT_NODE:
            return IsTextElement() ? AsCp1251(node_->children->content) : std::string();
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
            return AsCp1251(node_->content);
        default:
            return {};
    }
}

}  // namespace tavrelo
