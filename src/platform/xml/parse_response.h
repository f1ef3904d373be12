#pragma once

#include <chrono>
#include <functional>
#include <string_view>

#include "model/document.h"
#include "model/vocabulary.h"

namespace tavrelo {

// Parses one response of the register (the XML text of a retrieval) and walks its document
// element into `model`. It does not clear the model or the state: the request flow does that
// before each request. Throws ParseError when the text is rejected (the model is then left as it
// was) and ConversionError when a value is no number (the model is then filled up to it).
//
// The root's children are walked one at a time as they are read, so memory stays near the size
// of the model even for a tape of 100,000 documents. The walk fills a copy that replaces `model`
// at the end: references into `model` taken before the call do not survive it.
void ParseResponse(std::string_view xml_bytes, rq& model, control& state);

// What a caller may follow of one ParseResponse; every member is optional.
struct WalkHooks {
    // Receives the time spent in the walk itself (reading and parsing excluded), added to it.
    std::chrono::nanoseconds* walk_time = nullptr;
    // Called after each child of the root has been walked, with the copy being filled; not after
    // a value that was no number. The copy's documents below cur() are final.
    std::function<void(rq& filling)> child_walked;
};

void ParseResponse(std::string_view xml_bytes, rq& model, control& state, const WalkHooks& hooks);

}  // namespace tavrelo
