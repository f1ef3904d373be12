#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/tape_output.h"
#include "link/exchange.h"
#include "link/handshake.h"
#include "link/stream_socket.h"
#include "retrieval/retrieval_observer.h"

namespace tavrelo::cli {

// Where the register is: --host, --port, --id.
struct RegisterAddress {
    std::string host;
    std::uint16_t port = kRegisterPort;
    std::string id;  // as typed (UTF-8); sent as Windows-1251
};

void AddRegisterOptions(CLI::App& command, RegisterAddress& address);

// Declares an option taking two "dd.mm.yy hh:mm" texts.
void AddDateRangeOption(CLI::App& command, const std::string& name, std::vector<std::string>& dates,
                        const std::string& description);

// A "dd.mm.yy hh:mm" text as its date and time parts.
struct DateTimeText {
    std::string date;
    std::string time;
};
DateTimeText SplitDateTime(const std::string& text);

// Reports on stderr what the desktop shows in message boxes and windows: messages (UTF-8, each
// line prefixed "tavrelo-cli: "), and, when stderr is a terminal, the handshake countdown and the
// retrieval progress on one line that is rewritten.
class TerminalReporter : public RetrievalObserver,
                         public HandshakeObserver,
                         public ConnectionLossHandler {
  public:
    explicit TerminalReporter(std::FILE* err = stderr);
    ~TerminalReporter() override;

    void Message(const std::string& utf8);
    // Ends a progress or countdown line, if one is showing.
    void EndLine();

    void ShowMessage(const std::string& text) override;
    void RetrievalStarted() override;
    void DocumentStarting(int) override {}
    void ProgressChanged(const std::string& text) override;

    // When the retrieval by numbers began and when its last document was in, for --timings:
    // the exchanges lie between the two, the writing of the XML file after the second.
    std::chrono::steady_clock::time_point retrieval_started() const { return retrieval_started_; }
    std::chrono::steady_clock::time_point last_document_in() const { return last_document_in_; }

    void WaitStarted() override {}
    void CountdownChanged(const std::string& text) override;
    bool Aborted() override { return false; }
    void WaitFinished() override { EndLine(); }

    void OnConnectionLost(const std::string& message, const std::string& detail) override;

  private:
    void Status(const std::string& utf8);

    std::FILE* err_;
    bool terminal_;
    bool line_open_ = false;
    std::chrono::steady_clock::time_point retrieval_started_{};
    std::chrono::steady_clock::time_point last_document_in_{};
};

// The waits of the commands that talk to the register: the desktop's, unless a test shortens them.
struct LinkTimings {
    HandshakeTimings handshake;
    ExchangeTimings exchange;
};

// Connects and identifies; on failure reports the desktop's message and returns its exit status,
// kExitOk otherwise.
int ConnectAndIdentify(StreamSocket& socket, const RegisterAddress& address,
                       TerminalReporter& reporter, const HandshakeTimings& timings = {});

// tavrelo-cli fetch --host HOST [--port PORT] [--id ID]
//   (--numbers FIRST LAST | --dates "dd.mm.yy hh:mm" "dd.mm.yy hh:mm")
//   [--type z|check|all|cash] [--output PATH] [--xml PATH] [--encoding utf-8|cp1251]:
// fetches documents from the register, keeps the assembled XML (temp.xml by default) and renders
// it as the render command does.
class FetchCommand : public Command {
  public:
    explicit FetchCommand(LinkTimings timings = {}) : timings_(timings) {}

    std::string Name() const override { return "fetch"; }
    std::string Description() const override;
    void AddOptions(CLI::App& command) override;
    int Execute() override;

  private:
    LinkTimings timings_;
    RegisterAddress address_;
    std::vector<std::string> numbers_;
    std::vector<std::string> dates_;
    std::filesystem::path xml_ = "temp.xml";
    OutputOptions output_;
};

}  // namespace tavrelo::cli
