#include "platform/xml/parse_response.h"

#include <libxml/xmlreader.h>

#include <chrono>
#include <climits>
#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "common/errors.h"
#include "model/tree_walk.h"
#include "platform/xml/xml_node_ref.h"
#include "platform/xml/xml_safety.h"

namespace tavrelo {
namespace {

struct FreeReader {
    void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};

// Walks the root's children one at a time as the reader completes them, so that only one
// document's subtree is in memory at once: a tape of 100,000 documents as one tree would take
// gigabytes. A value that is no number stops the walking but not the reading, since a text that
// is not well-formed is rejected as a whole, whatever its values.
class StreamingWalk {
  public:
    StreamingWalk(rq& model, control& state) : walk_(model, state) {}

    template <class Step>
    void Guarded(Step&& step) {
        if (conversion_failure_) return;
        try {
            step();
        } catch (const ConversionError&) {
            conversion_failure_ = std::current_exception();
        }
    }

    void ParseRootAttributes(xmlNode* root) {
        Guarded([&] { walk_.ParseAttributes(XmlNodeRef(root).AttributeNodes()); });
    }
    void ParseChild(xmlNode* child) {
        Guarded([&] { walk_.ParseNode(XmlNodeRef(child)); });
    }

    const std::exception_ptr& conversion_failure() const { return conversion_failure_; }

  private:
    TreeWalk walk_;
    std::exception_ptr conversion_failure_;
};

}  // namespace

void ParseResponse(std::string_view xml_bytes, rq& model, control& state) {
    ParseResponse(xml_bytes, model, state, WalkHooks{});
}

void ParseResponse(std::string_view xml_bytes, rq& model, control& state, const WalkHooks& hooks) {
    RefuseExternalResources();
    if (xml_bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        throw ParseError("XML text too large: " + std::to_string(xml_bytes.size()) + " bytes");
    }
    XmlErrorCollector errors;
    const std::unique_ptr<xmlTextReader, FreeReader> reader(
        xmlReaderForMemory(xml_bytes.data(), static_cast<int>(xml_bytes.size()), nullptr, nullptr,
                           SafeParseOptions()));
    if (!reader) errors.Throw("XML parser could not be created");

    // A rejected text must leave the model as it was, as if it had been parsed before the walk,
    // so the walk fills copies; they are cheap, since the request flow clears the model first.
    rq filled = model;
    control filled_state = state;
    StreamingWalk walk(filled, filled_state);

    int status = 1;
    while ((status = xmlTextReaderRead(reader.get())) == 1) {
        if (xmlTextReaderNodeType(reader.get()) == XML_READER_TYPE_ELEMENT) break;
    }
    if (status != 1) errors.Throw("XML text has no document element");

    walk.ParseRootAttributes(xmlTextReaderCurrentNode(reader.get()));
    if (!xmlTextReaderIsEmptyElement(reader.get())) {
        status = xmlTextReaderRead(reader.get());
        while (status == 1 && xmlTextReaderDepth(reader.get()) == 1) {
            xmlNode* child = xmlTextReaderExpand(reader.get());
            if (child == nullptr) {
                status = -1;
                break;
            }
            if (hooks.walk_time == nullptr) {
                walk.ParseChild(child);
            } else {
                const auto start = std::chrono::steady_clock::now();
                walk.ParseChild(child);
                *hooks.walk_time += std::chrono::steady_clock::now() - start;
            }
            if (hooks.child_walked && !walk.conversion_failure()) hooks.child_walked(filled);
            status = xmlTextReaderNext(reader.get());
        }
    }
    // Whatever follows the document element must be well-formed too.
    while (status == 1) status = xmlTextReaderRead(reader.get());
    if (status < 0 || errors.has_error()) errors.Throw("XML text is not well-formed");

    model = std::move(filled);
    state = std::move(filled_state);
    if (walk.conversion_failure()) std::rethrow_exception(walk.conversion_failure());
}

}  // namespace tavrelo
