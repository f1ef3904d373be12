#include "platform/xml/parse_response.h"

#include "model/tree_walk.h"
#include "platform/xml/xml_document.h"

namespace tavrelo {

void ParseResponse(std::string_view xml_bytes, rq& model, control& state) {
    const XmlDocument document(xml_bytes);
    TreeWalk(model, state).ParseDocument(document.DocumentElement());
}

}  // namespace tavrelo
