#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "register/reply.h"
#include "register/request.h"
#include "register/tape.h"

namespace tavrelo {

inline constexpr std::size_t kBlockSize = 150;

// How many bytes of `text` the reply to the block starting at byte `start` carries. The client
// advances its block index by ceil(payload / 150), so a payload that is not a whole number of
// blocks would make it skip the rest of its last block: only the final reply of a document may
// end inside a block. Within that rule the reply is as long as `max_payload` allows, except that
// it is cut one block earlier where the next reply would begin with "D;" or "E;", which the client
// would take for the end of the document. `max_payload` is at least one block.
std::size_t BlockPayloadSize(std::string_view text, std::size_t start, std::size_t max_payload);

struct Response {
    std::string reply;
    std::string summary;  // one line for the log
};

// Answers requests from a tape. Stateless: the same request always gets the same reply.
class Responder {
  public:
    Responder(const Tape& tape, EndMark end_mark, std::size_t max_payload);

    Response Respond(const Request& request) const;

  private:
    Response RespondBlock(const BlockRequest& request) const;
    Response RespondRange(const RangeRequest& request) const;

    const Tape& tape_;
    EndMark end_mark_;
    std::size_t max_payload_;
};

}  // namespace tavrelo
