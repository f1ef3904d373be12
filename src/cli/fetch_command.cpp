#include "cli/fetch_command.h"

#include <unistd.h>

#include <CLI/CLI.hpp>

#include "cli/exit_status.h"
#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "common/errors.h"
#include "common/numbers.h"
#include "link/link_messages.h"
#include "model/document.h"
#include "platform/net/posix_stream_socket.h"
#include "retrieval/date_values.h"
#include "retrieval/retrieval.h"

namespace tavrelo::cli {
namespace {

// The length of "dd.mm.yy hh:mm".
constexpr std::size_t kDateTimeLength = 14;

std::string CheckDateTime(const std::string& text) {
    if (text.size() != kDateTimeLength || text[8] != ' ') {
        return "expected \"dd.mm.yy hh:mm\", got \"" + text + "\"";
    }
    try {
        const DateTimeText parts = SplitDateTime(text);
        ShortDate::FromText(parts.date);
        time_e::FromText(parts.time);
    } catch (const ConversionError&) {
        return "expected \"dd.mm.yy hh:mm\" in digits, got \"" + text + "\"";
    }
    return {};
}

std::string CheckInteger(const std::string& text) {
    try {
        ParseInt(text);
    } catch (const ConversionError&) {
        return "\"" + text + "\" is not a decimal integer";
    }
    return {};
}

// The retrieval's share of --timings, on the line before the rendering's.
void PrintRetrievalTimings(std::chrono::steady_clock::duration connect,
                           std::chrono::steady_clock::duration exchanges,
                           std::chrono::steady_clock::duration xml_file) {
    using Seconds = std::chrono::duration<double>;
    std::fprintf(stderr, "tavrelo-cli: timings connect=%.6f exchanges=%.6f xml_file=%.6f seconds\n",
                 Seconds(connect).count(), Seconds(exchanges).count(), Seconds(xml_file).count());
    std::fflush(stderr);
}

}  // namespace

void AddRegisterOptions(CLI::App& command, RegisterAddress& address) {
    command.add_option("--host", address.host, "Address of the register: host name or IPv4")
        ->required()
        ->type_name("HOST");
    command.add_option("--port", address.port, "TCP port of the register")
        ->capture_default_str()
        ->check(CLI::Range(1, 65535))
        ->type_name("PORT");
    command
        .add_option("--id", address.id,
                    "Device identifier sent when connecting (its first 9 bytes in CP1251)")
        ->type_name("ID");
}

void AddDateRangeOption(CLI::App& command, const std::string& name, std::vector<std::string>& dates,
                        const std::string& description) {
    command.add_option(name, dates, description)
        ->expected(2)
        ->type_name("\"dd.mm.yy hh:mm\"")
        ->check(CLI::Validator(CheckDateTime, "DATE TIME"));
}

DateTimeText SplitDateTime(const std::string& text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos) return {text, {}};
    return {text.substr(0, blank), text.substr(blank + 1)};
}

TerminalReporter::TerminalReporter(std::FILE* err)
    : err_(err), terminal_(::isatty(::fileno(err)) == 1) {}

TerminalReporter::~TerminalReporter() { EndLine(); }

void TerminalReporter::Message(const std::string& utf8) {
    EndLine();
    std::string text;
    std::size_t start = 0;
    while (start <= utf8.size()) {
        const std::size_t end = std::min(utf8.find('\n', start), utf8.size());
        text += "tavrelo-cli: " + utf8.substr(start, end - start) + "\n";
        start = end + 1;
    }
    std::fputs(text.c_str(), err_);
    std::fflush(err_);
}

void TerminalReporter::EndLine() {
    if (!line_open_) return;
    std::fputs("\n", err_);
    std::fflush(err_);
    line_open_ = false;
}

void TerminalReporter::Status(const std::string& utf8) {
    if (!terminal_) return;
    // Rewrites the line in place; the erase sequence drops what a longer text left behind.
    std::fputs(("\r" + utf8 + "\x1b[K").c_str(), err_);
    std::fflush(err_);
    line_open_ = true;
}

void TerminalReporter::ShowMessage(const std::string& text) { Message(Cp1251ToUtf8(text)); }

void TerminalReporter::RetrievalStarted() {
    retrieval_started_ = std::chrono::steady_clock::now();
    last_document_in_ = retrieval_started_;
}

void TerminalReporter::ProgressChanged(const std::string& text) {
    last_document_in_ = std::chrono::steady_clock::now();
    // Called once per document: nothing is converted for a line that is not shown.
    if (terminal_) Status(Cp1251ToUtf8(text));
}

void TerminalReporter::CountdownChanged(const std::string& text) {
    Status("Запрос соединения: " + Cp1251ToUtf8(text));
}

void TerminalReporter::OnConnectionLost(const std::string& message, const std::string& detail) {
    Message(Cp1251ToUtf8(message) + " (" + detail + ")");
}

int ConnectAndIdentify(StreamSocket& socket, const RegisterAddress& address,
                       TerminalReporter& reporter, const HandshakeTimings& timings) {
    std::string detail;
    const ConnectOutcome outcome = ConnectToRegister(
        socket, address.host, address.port, Utf8ToCp1251(address.id), reporter, timings, &detail);
    switch (outcome) {
        case ConnectOutcome::kConnected:
            return kExitOk;
        case ConnectOutcome::kServerUnreachable:
            reporter.Message(Cp1251ToUtf8(ServerUnreachableMessage()) + " (" + detail + ")");
            return kExitUnreachable;
        case ConnectOutcome::kNotReady:
            reporter.Message(Cp1251ToUtf8(RegisterNotReadyMessage()));
            return kExitNotReady;
    }
    return kExitInternal;
}

std::string FetchCommand::Description() const {
    return "Fetch documents from the register by numbers or dates and render them as tape text";
}

void FetchCommand::AddOptions(CLI::App& command) {
    AddRegisterOptions(command, address_);
    CLI::Option* numbers =
        command.add_option("--numbers", numbers_, "First and last document number")
            ->expected(2)
            ->type_name("FIRST LAST")
            ->check(CLI::Validator(CheckInteger, "INTEGER"));
    AddDateRangeOption(command, "--dates", dates_,
                       "Start and end of the period; the register gives the numbers");
    numbers->excludes(command.get_option("--dates"));
    command.add_option("--xml", xml_, "Where the assembled XML goes")
        ->capture_default_str()
        ->type_name("PATH");
    AddOutputOptions(command, output_);
}

int FetchCommand::Execute() {
    if (numbers_.empty() && dates_.empty()) {
        std::fputs("tavrelo-cli: fetch needs --numbers or --dates\n", stderr);
        return kExitUsage;
    }
    TerminalReporter reporter;
    PosixStreamSocket socket;
    const auto connect_started = std::chrono::steady_clock::now();
    if (const int status = ConnectAndIdentify(socket, address_, reporter, timings_.handshake);
        status != kExitOk) {
        return status;
    }
    const auto connected = std::chrono::steady_clock::now();
    Exchange exchange(socket, timings_.exchange);
    exchange.set_connection_loss_handler(&reporter);
    Retrieval retrieval(exchange, reporter, xml_);
    RetrievalStep step = RetrievalStep::kRan;
    try {
        if (!numbers_.empty()) {
            step = retrieval.CheckNumbersAndRetrieve(numbers_[0], numbers_[1], output_.selector);
        } else {
            const DateTimeText start = SplitDateTime(dates_[0]);
            const DateTimeText end = SplitDateTime(dates_[1]);
            rq model;
            step = retrieval.RetrieveByDates(start.date, end.date, start.time, end.time, model);
        }
    } catch (const FileError& error) {
        reporter.Message(error.what());
        return kExitOutput;
    } catch (const Error& error) {
        // A reply too short to cut, or a number range that is no number.
        reporter.EndLine();
        ReportResponseFailure(Cp1251ToUtf8(error.what()));
        return kExitBadResponse;
    }
    const auto retrieved = std::chrono::steady_clock::now();
    reporter.EndLine();
    if (output_.timings && retrieval.complete()) {
        PrintRetrievalTimings(connected - connect_started,
                              reporter.last_document_in() - reporter.retrieval_started(),
                              retrieved - reporter.last_document_in());
    }
    if (step == RetrievalStep::kCheckFailed) return kExitCheckFailed;
    if (step == RetrievalStep::kNoNumberRange || !retrieval.complete()) {
        return kExitRetrievalFailed;
    }
    return RenderResponse(JoinLines(retrieval.lines(), "\r\n"), output_);
}

}  // namespace tavrelo::cli
