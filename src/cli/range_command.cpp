#include "cli/range_command.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/exit_status.h"
#include "common/cp1251.h"
#include "common/errors.h"
#include "model/document.h"
#include "platform/net/posix_stream_socket.h"
#include "retrieval/retrieval.h"

namespace tavrelo::cli {

std::string RangeCommand::Description() const {
    return "Print the first and the last document number of a period";
}

void RangeCommand::AddOptions(CLI::App& command) {
    AddRegisterOptions(command, address_);
    AddDateRangeOption(command, "--dates", dates_, "Start and end of the period");
    command.get_option("--dates")->required();
}

int RangeCommand::Execute() {
    TerminalReporter reporter;
    PosixStreamSocket socket;
    if (const int status = ConnectAndIdentify(socket, address_, reporter, timings_.handshake);
        status != kExitOk) {
        return status;
    }
    Exchange exchange(socket, timings_.exchange);
    exchange.set_connection_loss_handler(&reporter);
    // Nothing is retrieved here, so no XML file is written.
    Retrieval retrieval(exchange, reporter, "temp.xml");
    const DateTimeText start = SplitDateTime(dates_[0]);
    const DateTimeText end = SplitDateTime(dates_[1]);
    rq model;
    std::optional<NumberRange> range;
    try {
        range = retrieval.ReturnNumbers(start.date, end.date, start.time, end.time, model);
    } catch (const Error& error) {
        ReportResponseFailure(Cp1251ToUtf8(error.what()));
        return kExitBadResponse;
    }
    if (!range) return kExitRetrievalFailed;
    std::printf("%d %d\n", range->first, range->last);
    return std::fflush(stdout) == 0 ? kExitOk : kExitOutput;
}

}  // namespace tavrelo::cli
