#include "platform/xml/xml_node_ref.h"

#include <libxml/entities.h>
#include <libxml/parserInternals.h>

#include <cstring>
#include <string_view>

#include "common/cp1251.h"
#include "common/errors.h"

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

// The parser checks entity expansion only where it substitutes, and without substitution it
// leaves references in attribute values for the reader to expand. A value that repeats one large
// entity many times (no nesting, so no nesting check sees it) would grow to gigabytes here, and
// libxml2's own joining (xmlNodeListGetString) is quadratic in the result. So the pieces are joined
// here, once each, and held to the parser's own limit for one value; deeper entity nesting than
// the parser allows cannot occur, the bound on it only guards against a reference loop.
constexpr std::size_t kMaxExpandedValue = XML_MAX_TEXT_LENGTH;
constexpr int kMaxEntityNesting = 40;

void AppendExpanded(const xmlDoc* doc, const xmlNode* list, int nesting, std::string& utf8) {
    if (nesting > kMaxEntityNesting) {
        throw ParseError("XML error: entities nested too deeply in an attribute value");
    }
    for (const xmlNode* piece = list; piece != nullptr; piece = piece->next) {
        if (piece->type == XML_TEXT_NODE || piece->type == XML_CDATA_SECTION_NODE) {
            if (piece->content != nullptr) {
                const std::size_t size = std::strlen(reinterpret_cast<const char*>(piece->content));
                if (size > kMaxExpandedValue - utf8.size()) {
                    throw ParseError("XML error: attribute value longer than " +
                                     std::to_string(kMaxExpandedValue) +
                                     " bytes once its entities are expanded");
                }
                utf8.append(reinterpret_cast<const char*>(piece->content), size);
            }
        } else if (piece->type == XML_ENTITY_REF_NODE) {
            const xmlEntity* entity = xmlGetDocEntity(doc, piece->name);
            if (entity != nullptr) AppendExpanded(doc, entity->children, nesting + 1, utf8);
        }
    }
}

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
        // Entity references in the value.
        std::string utf8;
        AppendExpanded(attribute_->doc, value, 0, utf8);
        return AsCp1251(reinterpret_cast<const xmlChar*>(utf8.c_str()));
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
