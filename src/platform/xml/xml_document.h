#pragma once

#include <libxml/tree.h>

#include <memory>
#include <string_view>

#include "platform/xml/xml_node_ref.h"

namespace tavrelo {

// A parsed XML document, owned. The bytes are read as given: their encoding comes from the XML
// declaration (windows-1251 on the control tape), white-space text nodes are kept, and node
// names and values are handed out as Windows-1251 text through XmlNodeRef.
//
// Nothing outside the bytes is ever read: no DTD, no external entity, no network, and entity
// expansion stays within libxml2's default limits. Malformed text throws ParseError with
// libxml2's message and line; libxml2 prints nothing.
class XmlDocument {
  public:
    explicit XmlDocument(std::string_view bytes);

    // The root element; a null handle never occurs for a document that parsed.
    XmlNodeRef DocumentElement() const { return XmlNodeRef(xmlDocGetRootElement(doc_.get())); }

  private:
    struct FreeDoc {
        void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
    };
    std::unique_ptr<xmlDoc, FreeDoc> doc_;
};

}  // namespace tavrelo
