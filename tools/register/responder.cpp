#include "register/responder.h"

#include <algorithm>

#include "common/numbers.h"

namespace tavrelo {
namespace {

bool LooksLikeEnd(std::string_view text, std::size_t at) {
    return at + 1 < text.size() && (text[at] == 'D' || text[at] == 'E') && text[at + 1] == ';';
}

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace

std::size_t BlockPayloadSize(std::string_view text, std::size_t start, std::size_t max_payload) {
    if (start >= text.size()) return 0;
    const std::size_t remaining = text.size() - start;
    if (remaining <= max_payload) return remaining;
    const std::size_t blocks = std::max<std::size_t>(max_payload / kBlockSize, 1);
    for (std::size_t n = blocks; n >= 1; --n) {
        if (!LooksLikeEnd(text, start + n * kBlockSize)) return n * kBlockSize;
    }
    // Every possible next block would look like an end: nothing helps, send the most.
    return blocks * kBlockSize;
}

Responder::Responder(const Tape& tape, EndMark end_mark, std::size_t max_payload)
    : tape_(tape), end_mark_(end_mark), max_payload_(max_payload) {}

Response Responder::Respond(const Request& request) const {
    return std::visit(
        Overloaded{
            [this](const BlockRequest& block) { return RespondBlock(block); },
            [this](const RangeRequest& range) { return RespondRange(range); },
            [](const MalformedRequest& bad) {
                return Response{BuildErrorReply(), "malformed (" + bad.reason + "): error reply"};
            },
        },
        request);
}

Response Responder::RespondBlock(const BlockRequest& request) const {
    const TapeDocument* document =
        request.type == 0 ? tape_.FindByZNo(request.number) : tape_.FindByDi(request.number);
    const std::string end_summary = "end of document";
    if (document == nullptr) return {BuildEndReply(end_mark_), "no such document: " + end_summary};
    const std::size_t start = static_cast<std::size_t>(request.block) * kBlockSize;
    const std::size_t size = BlockPayloadSize(document->text, start, max_payload_);
    if (size == 0) return {BuildEndReply(end_mark_), end_summary};
    const std::string_view payload = std::string_view(document->text).substr(start, size);
    return {BuildReply(kDataStatus, payload),
            "DI " + IntToText(document->di) + " bytes " + IntToText(start) + ".." +
                IntToText(start + size - 1) + " (" + IntToText(size) + " of " +
                IntToText(document->text.size()) + ")"};
}

Response Responder::RespondRange(const RangeRequest& request) const {
    const auto range = tape_.DiRangeByTime(request.from, request.to);
    const std::string payload =
        range ? IntToText(range->first) + ";" + IntToText(range->second) + ";" : "0;0;";
    return {BuildReply(kDataStatus, payload),
            "range " + IntToText(request.from) + ".." + IntToText(request.to) + ": " + payload};
}

}  // namespace tavrelo
