#include "platform/xml/xml_document.h"

#include <libxml/parser.h>

#include <climits>

#include "common/errors.h"
#include "platform/xml/xml_safety.h"

namespace tavrelo {
namespace {

struct FreeParserCtxt {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

}  // namespace

XmlDocument::XmlDocument(std::string_view bytes) {
    RefuseExternalResources();
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        throw ParseError("XML text too large: " + std::to_string(bytes.size()) + " bytes");
    }
    XmlErrorCollector errors;
    const std::unique_ptr<xmlParserCtxt, FreeParserCtxt> ctxt(xmlNewParserCtxt());
    if (!ctxt) throw ParseError("XML parser could not be created");
    doc_.reset(xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                 nullptr, SafeParseOptions()));
    if (!doc_ || !ctxt->wellFormed || errors.has_error()) {
        doc_.reset();
        errors.Throw("XML text is not well-formed");
    }
    if (xmlDocGetRootElement(doc_.get()) == nullptr) {
        doc_.reset();
        throw ParseError("XML text has no document element");
    }
}

}  // namespace tavrelo
