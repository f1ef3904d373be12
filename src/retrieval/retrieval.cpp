#include "retrieval/retrieval.h"

#include <cstdint>
#include <utility>

#include "common/atomic_file.h"
#include "common/numbers.h"
#include "retrieval/block_reply.h"
#include "retrieval/date_values.h"
#include "retrieval/retrieval_messages.h"

namespace tavrelo {
namespace {

constexpr int kBlockLimit = 32768;

// The range query's payload: the reply without its 4-byte header and its last byte.
std::string_view RangePayload(std::string_view reply) {
    if (reply.size() < 5) return {};
    return reply.substr(4, reply.size() - 5);
}

}  // namespace

Retrieval::Retrieval(Exchange& exchange, RetrievalObserver& observer,
                     std::filesystem::path temp_xml)
    : exchange_(exchange), observer_(observer), temp_xml_(std::move(temp_xml)) {}

RetrievalStep Retrieval::CheckNumbersAndRetrieve(std::string_view first_text,
                                                 std::string_view last_text, int type_item) {
    const int first = ParseInt(first_text);
    const int last = ParseInt(last_text);
    if (first < 1) {
        observer_.ShowMessage(FirstNumberMessage());
        return RetrievalStep::kCheckFailed;
    }
    if (last < first) {
        observer_.ShowMessage(LastNumberMessage());
        return RetrievalStep::kCheckFailed;
    }
    RetrieveByNumbers(first, last, TypeCodeForSelection(type_item));
    return RetrievalStep::kRan;
}

bool Retrieval::RetrieveByNumbers(int first, int last, int type_code) {
    observer_.RetrievalStarted();
    complete_ = false;
    lines_.clear();
    lines_.emplace_back(R"(<?xml version="1.0" encoding="windows-1251"?>)");
    lines_.emplace_back(R"(<RQ V="1">)");
    int error_count = 0;
    // Counted in 64 bits, so that a last number at the top of the integer range ends the loop.
    for (std::int64_t next = first; next <= last; ++next) {
        const int n = static_cast<int>(next);
        observer_.DocumentStarting(n);
        std::string document;
        int empty_replies = 0;
        int block = 0;
        while (block < kBlockLimit) {
            const int result = exchange_.RequestDocumentBlock(BlockDataText(type_code, n, block));
            bool failed = result < 1;
            std::string_view reply;
            if (!failed) {
                reply = exchange_.reply().Text();
                if (EndsDocument(reply)) break;
                // A reply of exactly 5 bytes carries nothing and does not move the block index;
                // a register that keeps sending it would be asked for the same block forever.
                if (reply.size() == 5 && ++empty_replies == kEmptyRepliesPerFailure) {
                    empty_replies = 0;
                    failed = true;
                }
            }
            if (failed) {
                if (++error_count == 2) {
                    observer_.ShowMessage(RegisterErrorMessage());
                    return false;
                }
                continue;
            }
            document += BlockPayload(reply);
            const int advance = BlockAdvance(static_cast<int>(reply.size()));
            if (advance != 0) empty_replies = 0;
            block += advance;
        }
        if (!document.empty()) lines_.push_back(std::move(document));
        observer_.ProgressChanged(ProgressText(first, last, n));
    }
    lines_.emplace_back("</RQ>");
    WriteFileAtomically(temp_xml_, JoinLines(lines_, "\r\n"));
    complete_ = true;
    return true;
}

std::optional<NumberRange> Retrieval::QueryNumberRange(std::string_view start_date,
                                                       std::string_view end_date,
                                                       std::string_view start_time,
                                                       std::string_view end_time) {
    const ShortDate from = ShortDate::FromText(start_date);
    const ShortDate to = ShortDate::FromText(end_date);
    const time_e from_time = time_e::FromText(start_time);
    const time_e to_time = time_e::FromText(end_time);
    const int result =
        exchange_.RequestNumberRange(NumberRangeDataText(from, from_time, to, to_time));
    if (result <= 0) return std::nullopt;
    const std::string_view payload = RangePayload(exchange_.reply().Text());
    NumberRange range;
    range.first = ReplyField(payload, 1);
    range.last = ReplyField(payload, 2);
    return range;
}

RetrievalStep Retrieval::RetrieveByDates(std::string_view start_date, std::string_view end_date,
                                         std::string_view start_time, std::string_view end_time,
                                         rq& model) {
    // All four edits are read first, so an unfilled time edit fails before the date check.
    const ShortDate from = ShortDate::FromText(start_date);
    const ShortDate to = ShortDate::FromText(end_date);
    time_e::FromText(start_time);
    time_e::FromText(end_time);
    if (to < from) {
        observer_.ShowMessage(EndDateMessage());
        return RetrievalStep::kCheckFailed;
    }
    const std::optional<NumberRange> range =
        QueryNumberRange(start_date, end_date, start_time, end_time);
    if (!range) {
        if (!exchange_.connection_lost()) observer_.ShowMessage(NoNumberRangeMessage());
        return RetrievalStep::kNoNumberRange;
    }
    model.set_check_no_min(range->first);
    model.set_check_no_max(range->last);
    RetrieveByNumbers(range->first, range->last, 1);
    return RetrievalStep::kRan;
}

std::optional<NumberRange> Retrieval::ReturnNumbers(std::string_view start_date,
                                                    std::string_view end_date,
                                                    std::string_view start_time,
                                                    std::string_view end_time, rq& model) {
    std::optional<NumberRange> range = QueryNumberRange(start_date, end_date, start_time, end_time);
    if (!range) {
        if (!exchange_.connection_lost()) observer_.ShowMessage(NoNumberRangeMessage());
        return std::nullopt;
    }
    model.set_check_no_min(range->first);
    model.set_check_no_max(range->last);
    return range;
}

}  // namespace tavrelo
