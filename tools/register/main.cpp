// tavrelo-register: a register on the real protocol, for demos, training, benchmarks and tests.
#include <CLI/CLI.hpp>
#include <cctype>
#include <csignal>
#include <iostream>
#include <string>

#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "common/errors.h"
#include "common/numbers.h"
#include "register/generator.h"
#include "register/register_server.h"
#include "register/tape.h"

namespace {

tavrelo::RegisterServer* g_server = nullptr;

extern "C" void OnStopSignal(int) {
    if (g_server != nullptr) g_server->RequestStop();
}

// "\r", "\n", "\t", "\\" and "\xHH" in a command-line text, so that any bytes can be given.
std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r') {
            out += '\r';
        } else if (c == 'n') {
            out += '\n';
        } else if (c == 't') {
            out += '\t';
        } else if (c == 'x' && i + 2 < text.size() &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "tavrelo-register: serves the documents of a control tape to the client over TCP, on "
        "the register's protocol (handshake, \"B\" blocks, \"F\" date ranges). One client at a "
        "time; SIGINT or SIGTERM ends it with exit code 0.\n\n"
        "\"F\" takes the range from the start minute :00 to the end minute :59 (years 20yy) and "
        "answers \"first;last;\" with the least and greatest DI whose TS lies in it, or \"0;0;\" "
        "when none does. A request that is not a well-formed \"B\" or \"F\" frame gets an error "
        "reply with status 'C' and no payload (\"no further block\" to the client).\n\n"
        "Blocks are 150 bytes; a reply other than a document's last carries whole blocks, so "
        "by default at most 1350 bytes, and the last one up to --max-payload.\n\n"
        "Faults count requests from 1 within each connection (the identification is no "
        "request). Where several name the same request, the first of --close-at, --no-reply, "
        "--short-reply, --oversized-reply, --split-reply applies; --delay-ms adds to all."};
    app.set_help_flag("-h,--help", "Print this help and exit");

    std::string tape_file;
    std::string listen = "127.0.0.1:34949";
    std::string id;
    bool verbose = false;
    std::int32_t generate = 0;
    std::uint64_t seed = 1;
    std::string write_file;
    std::string end_mark = "status";
    std::size_t max_payload = tavrelo::kMaxReplyPayload;
    int delay_ms = 0;
    std::vector<int> no_reply;
    int close_at = 0;
    int split = 0;
    int split_pause_ms = 200;
    int short_reply = 0;
    int oversized = 0;
    std::size_t oversized_size = 1600;
    std::string handshake_reply;

    auto* tape_option =
        app.add_option("--tape", tape_file, "Control-tape response file to serve (a temp.xml)")
            ->check(CLI::ExistingFile);
    auto* generate_option =
        app.add_option("--generate", generate, "Serve (or --write) a synthetic tape of N documents")
            ->check(CLI::Range(1, 10000000));
    app.add_option("--seed", seed, "Seed of the synthetic tape (same seed, same bytes)")
        ->needs(generate_option);
    app.add_option("--write", write_file, "Write the synthetic tape to FILE and exit")
        ->needs(generate_option);
    tape_option->excludes(generate_option);
    app.add_option("--listen", listen, "HOST:PORT to listen on (port 0: any free port)")
        ->capture_default_str();
    app.add_option("--id", id, "Identifier a client must send (first 9 bytes); default: any");
    app.add_flag("--verbose", verbose, "A line per connection and request on stderr");
    app.add_option("--end-mark", end_mark,
                   "End-of-document reply: 'status' (status byte '0') or 'd' (payload \"D;\")")
        ->check(CLI::IsMember({"status", "d"}))
        ->capture_default_str();
    app.add_option("--max-payload", max_payload,
                   "Largest payload of one block reply; replies other than a document's last "
                   "carry whole 150-byte blocks")
        ->check(CLI::Range(150, 1495))
        ->capture_default_str();
    app.add_option("--delay-ms", delay_ms, "Fault: wait this long before every reply (0-120000)")
        ->check(CLI::Range(0, 120000));
    app.add_option("--no-reply", no_reply, "Fault: never answer request K (repeatable)")
        ->check(CLI::Range(1, 1000000000));
    app.add_option("--close-at", close_at,
                   "Fault: close the connection on request K instead of "
                   "answering")
        ->check(CLI::Range(1, 1000000000));
    app.add_option("--split-reply", split,
                   "Fault: send the reply to request K in two TCP "
                   "segments")
        ->check(CLI::Range(1, 1000000000));
    app.add_option("--split-pause-ms", split_pause_ms, "Pause between the two segments (0-120000)")
        ->check(CLI::Range(0, 120000))
        ->capture_default_str();
    app.add_option("--short-reply", short_reply,
                   "Fault: answer request K with the 3 bytes 01 83 05")
        ->check(CLI::Range(1, 1000000000));
    app.add_option("--oversized-reply", oversized,
                   "Fault: pad the reply to request K with blanks to --oversized-size bytes")
        ->check(CLI::Range(1, 1000000000));
    app.add_option("--oversized-size", oversized_size, "Size of the oversized reply (1501-65536)")
        ->check(CLI::Range(1501, 65536))
        ->capture_default_str();
    app.add_option("--handshake-reply", handshake_reply,
                   "Fault: answer an accepted identifier with TEXT instead of \"Ready\" (at most "
                   "500 bytes; \\r \\n \\t \\\\ \\xHH escapes)");

    CLI11_PARSE(app, argc, argv);

    try {
        if (tape_file.empty() && generate == 0) {
            std::cerr << "tavrelo-register: give --tape FILE or --generate N\n";
            return 2;
        }
        if (!write_file.empty()) {
            tavrelo::WriteFileAtomically(write_file, tavrelo::GenerateTape(generate, seed));
            return 0;
        }
        tavrelo::Tape tape = tape_file.empty()
                                 ? tavrelo::Tape::Parse(tavrelo::GenerateTape(generate, seed))
                                 : tavrelo::Tape::FromFile(tape_file);

        const std::size_t colon = listen.rfind(':');
        if (colon == std::string::npos) throw tavrelo::RangeError("--listen wants HOST:PORT");
        const std::int32_t port = tavrelo::ParseInt(listen.substr(colon + 1));
        if (port < 0 || port > 65535) throw tavrelo::RangeError("port out of range: " + listen);

        tavrelo::RegisterOptions options;
        if (app.count("--id") > 0) options.id = tavrelo::Utf8ToCp1251(id);
        options.end_mark =
            end_mark == "d" ? tavrelo::EndMark::kDSemicolon : tavrelo::EndMark::kStatusZero;
        options.max_payload = max_payload;
        tavrelo::RegisterFaults& faults = options.faults;
        faults.reply_delay = std::chrono::milliseconds(delay_ms);
        faults.no_reply_requests.insert(no_reply.begin(), no_reply.end());
        faults.close_at_request = close_at;
        faults.split_request = split;
        faults.split_pause = std::chrono::milliseconds(split_pause_ms);
        faults.short_request = short_reply;
        faults.oversized_request = oversized;
        faults.oversized_size = oversized_size;
        if (app.count("--handshake-reply") > 0) {
            faults.handshake_reply = Unescape(tavrelo::Utf8ToCp1251(handshake_reply));
        }
        if (verbose) {
            options.log = [](std::string_view line) {
                std::cerr << tavrelo::Cp1251ToUtf8(line) << '\n';
            };
        }

        const std::size_t documents = tape.size();
        tavrelo::RegisterServer server(std::move(tape), std::move(options));
        // Stop signals are caught before the "listening" line, so that whoever waits for that
        // line may signal at once.
        g_server = &server;
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
        server.Listen(listen.substr(0, colon), static_cast<std::uint16_t>(port));
        std::cerr << "tavrelo-register: " << documents << " documents, listening on "
                  << listen.substr(0, colon) << ":" << server.port() << std::endl;
        server.Serve();
        g_server = nullptr;
        std::cerr << "tavrelo-register: stopped" << std::endl;
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "tavrelo-register: " << e.what() << '\n';
        return 1;
    }
}
