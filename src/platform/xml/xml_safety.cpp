#include "platform/xml/xml_safety.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <mutex>

#include "common/errors.h"
#include "common/numbers.h"

namespace tavrelo {
namespace {

xmlParserInputPtr RefuseLoad(const char* /*url*/, const char* /*id*/, xmlParserCtxtPtr /*ctxt*/) {
    return nullptr;
}

void Silent(void* /*context*/, const char* /*format*/, ...) {}

}  // namespace

int SafeParseOptions() {
    // Deliberately absent: XML_PARSE_NOENT (substitution, which would load external entities),
    // XML_PARSE_DTDLOAD / DTDATTR / DTDVALID (would read the DTD), XML_PARSE_HUGE (lifts the
    // expansion limits), XML_PARSE_NOBLANKS (drops white-space text nodes).
    return XML_PARSE_NONET | XML_PARSE_COMPACT;
}

void RefuseExternalResources() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(RefuseLoad);
    });
}

XmlErrorCollector::XmlErrorCollector()
    : previous_structured_(xmlStructuredError),
      previous_structured_context_(xmlStructuredErrorContext),
      previous_generic_(xmlGenericError),
      previous_generic_context_(xmlGenericErrorContext) {
    xmlSetStructuredErrorFunc(this, &XmlErrorCollector::OnError);
    xmlSetGenericErrorFunc(nullptr, &Silent);
}

XmlErrorCollector::~XmlErrorCollector() {
    xmlSetStructuredErrorFunc(previous_structured_context_, previous_structured_);
    xmlSetGenericErrorFunc(previous_generic_context_, previous_generic_);
}

void XmlErrorCollector::OnError(void* self, xmlErrorPtr error) {
    auto* collector = static_cast<XmlErrorCollector*>(self);
    if (collector == nullptr || error == nullptr || collector->has_error_) return;
    if (error->level < XML_ERR_ERROR) return;  // warnings do not reject a document
    collector->has_error_ = true;
    collector->line_ = error->line;
    collector->message_ = error->message != nullptr ? error->message : "unknown XML error";
    while (!collector->message_.empty() &&
           (collector->message_.back() == '\n' || collector->message_.back() == ' ')) {
        collector->message_.pop_back();
    }
}

std::string XmlErrorCollector::Message(const char* fallback) const {
    if (!has_error_) return fallback;
    return "XML error at line " + IntToText(line_) + ": " + message_;
}

void XmlErrorCollector::Throw(const char* fallback) const { throw ParseError(Message(fallback)); }

}  // namespace tavrelo
