#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/exchange.h"
#include "model/document.h"
#include "retrieval/retrieval_observer.h"

namespace tavrelo {

// What a retrieval step of the request flow did.
enum class RetrievalStep {
    kRan = 0,          // a retrieval ran (completely or not): parse lines()
    kCheckFailed = 1,  // a number or date check failed; its message has been shown
    // The register gave no number range for the dates; NoNumberRangeMessage() (or the lost
    // connection) has been reported, nothing was fetched and lines() is unchanged.
    kNoNumberRange = 2,
};

// The number range of a date range, as the register answered it.
struct NumberRange {
    int first = 1;
    int last = 1;
};

// The retrievals of the request window: by numbers and by dates, into the XML lines (ListBox1)
// and the file "temp.xml". One retrieval at a time, on the caller's thread.
class Retrieval {
  public:
    // After this many replies in a row that carry an empty payload for the same block (the
    // register would otherwise be asked for that block forever), the exchange counts as failed.
    static constexpr int kEmptyRepliesPerFailure = 3;

    Retrieval(Exchange& exchange, RetrievalObserver& observer, std::filesystem::path temp_xml);

    // The texts of the first and last number edits and the selected type item (-1: none).
    // ConversionError when an edit holds no decimal integer.
    RetrievalStep CheckNumbersAndRetrieve(std::string_view first_text, std::string_view last_text,
                                          int type_item);

    // True when the retrieval completed (closing line added, "temp.xml" written); false when it
    // ended after the second failed exchange. RangeError for a reply too short to cut.
    bool RetrieveByNumbers(int first, int last, int type_code);

    // The four edits: start date, end date (dd.mm.yy), start time, end time (hh:mm). Stores the
    // range in `model` (check_no_min/max) and retrieves it with type code 1.
    RetrievalStep RetrieveByDates(std::string_view start_date, std::string_view end_date,
                                  std::string_view start_time, std::string_view end_time,
                                  rq& model);

    // Asks the register for the numbers of the date range; nullopt when no reply came (result 0
    // or -1). Shows no message.
    std::optional<NumberRange> QueryNumberRange(std::string_view start_date,
                                                std::string_view end_date,
                                                std::string_view start_time,
                                                std::string_view end_time);

    // "Вернуть номера": queries the range, stores it in `model` and returns it for the number
    // edits. Without a reply it reports NoNumberRangeMessage() (unless the lost connection has
    // been reported) and returns nullopt; the model and the edits stay as they are.
    std::optional<NumberRange> ReturnNumbers(std::string_view start_date, std::string_view end_date,
                                             std::string_view start_time, std::string_view end_time,
                                             rq& model);

    // ListBox1: the XML lines of the last retrieval, Windows-1251.
    const std::vector<std::string>& lines() const { return lines_; }
    // Whether the last retrieval by numbers ran to its end (and wrote "temp.xml").
    bool complete() const { return complete_; }

  private:
    Exchange& exchange_;
    RetrievalObserver& observer_;
    std::filesystem::path temp_xml_;
    std::vector<std::string> lines_;
    bool complete_ = false;
};

}  // namespace tavrelo
