// The real tavrelo-cli against a register that misbehaves: each case ends with its documented exit
// status and a message on stderr, and neither the --xml nor the --output file is ever left
// half-written (the previous one stays, or a whole new one replaces it).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../link/scripted_peer.h"
#include "cli/exit_status.h"
#include "cli_run.h"
#include "common/atomic_file.h"
#include "register/request.h"
#include "register/tape.h"

namespace tavrelo::cli {
namespace {

namespace fs = std::filesystem;
using tavrelo::testing::ScriptedPeer;

const fs::path kTape = fs::path(TAVRELO_DATA_DIR) / "tape-8-12.xml";

// One request as the register reads it: "B;t;n;k;" or "F;...".
struct Request {
    char letter = 0;
    int block = -1;  // k of a block request
};

// What the register does instead of a reply, or the bytes it sends.
struct Answer {
    enum Kind { kSend, kReset, kClose } kind = kSend;
    std::string bytes;
};

using Script = std::function<Answer(const Request&)>;

std::string Frame(char status, std::string_view payload) {
    const std::size_t length = payload.size() + 5;
    std::string reply = "\x01";
    reply += static_cast<char>(0x80 | (length & 0x7F));
    reply += static_cast<char>(0x80 | ((length >> 7) & 0x7F));
    reply += status;
    reply += payload;
    reply += '\x05';
    return reply;
}

const std::string kEnd = Frame('0', {});

// The request as the script sees it, from a frame: 0x01, length, 0x80, 0x21, body, 0x05.
Request ToRequest(const std::string& frame) {
    Request request;
    if (frame.size() < 6) return request;
    request.letter = frame[4];
    const auto parsed = ParseRequestBody(std::string_view(frame).substr(4, frame.size() - 5));
    if (const auto* block = std::get_if<BlockRequest>(&parsed)) request.block = block->block;
    return request;
}

// A register played from a script on 127.0.0.1 (ephemeral port): takes one connection, answers
// the 9 identification bytes with "Ready", then gives every request frame the script's answer
// until the script resets or closes the connection, or the client goes.
class ScriptedRegister {
  public:
    explicit ScriptedRegister(Script script)
        : peer_({ScriptedPeer::ReadBytes(9), ScriptedPeer::Send("Ready")},
                [script = std::move(script)](const std::string& frame) {
                    const Answer answer = script(ToRequest(frame));
                    switch (answer.kind) {
                        case Answer::kReset:
                            return std::vector{ScriptedPeer::Reset()};
                        case Answer::kClose:
                            return std::vector{ScriptedPeer::Close()};
                        case Answer::kSend:
                            break;
                    }
                    return std::vector{ScriptedPeer::Send(answer.bytes)};
                }) {}

    std::uint16_t port() const { return peer_.port(); }

  private:
    ScriptedPeer peer_;
};

// The document with DI 8 as the register holds it.
const std::string& Document() {
    static const std::string text = Tape::FromFile(kTape).documents().at(0).text;
    return text;
}

// Block k of the document, one block of 150 bytes per reply, then the end mark.
std::string Block(int k) {
    const std::size_t at = static_cast<std::size_t>(k) * 150;
    if (at >= Document().size()) return kEnd;
    return Frame('!', std::string_view(Document()).substr(at, 150));
}

// "temp.xml" of a complete retrieval of one document.
std::string TempXml(const std::string& document) {
    return JoinLines(
        {R"(<?xml version="1.0" encoding="windows-1251"?>)", R"(<RQ V="1">)", document, "</RQ>"},
        "\r\n");
}

const char kLost[] = "Ошибка! Потеряно соединение TCP/IP!";
const char kRegisterError[] = "Ошибка! ЕККА вернул код ошибки! Повторите попытку позже.";
const char kResponseFailure[] = "Непредвиденный сбой в структуре получаемой информации!";

const char kGarbage[] = "\x9c\xff garbage <<&&>> \x7f\x02\x03 that is no frame \xfe\xfd";
constexpr std::size_t kZeroAt = 40;  // where a zero byte falls inside the first block

struct HostileCase {
    const char* name;
    std::vector<std::string> request;
    Script script;
    int status;
    std::vector<std::string> messages;  // UTF-8, each somewhere on stderr
    std::optional<std::string> xml;     // the whole new --xml file; none: the previous one kept
    bool rendered = false;              // --output replaced by the rendering of that file
};

std::vector<HostileCase> Cases() {
    const std::vector<std::string> by_numbers = {"--numbers", "8", "8"};
    const std::vector<std::string> by_dates = {"--dates", "30.04.14 00:00", "05.05.14 23:59"};
    const std::string garbage(kGarbage, sizeof kGarbage - 1);
    std::string with_zero = Document().substr(0, 150);
    with_zero[kZeroAt] = '\0';
    return {
        {"connection reset mid-document",
         by_numbers,
         [](const Request& r) {
             return r.block == 0 ? Answer{Answer::kSend, Block(0)} : Answer{Answer::kReset, {}};
         },
         kExitRetrievalFailed,
         {kLost, kRegisterError},
         std::nullopt},
        {"connection closed mid-document",
         by_numbers,
         [](const Request& r) {
             return r.block < 2 ? Answer{Answer::kSend, Block(r.block)}
                                : Answer{Answer::kClose, {}};
         },
         kExitRetrievalFailed,
         // The close reads as an empty reply; the request after it finds the connection lost.
         {kLost, kRegisterError},
         std::nullopt},
        // Taken as payload by the retrieval, which completes; the parse then refuses it.
        {"garbage bytes for a block",
         by_numbers,
         [garbage](const Request& r) {
             return Answer{Answer::kSend, r.block == 0 ? garbage : kEnd};
         },
         kExitBadResponse,
         {kResponseFailure},
         TempXml(garbage.substr(4, garbage.size() - 5))},
        // The reply ends at the zero byte, and its last byte there is taken for the trailer.
        {"zero byte inside a block",
         by_numbers,
         [with_zero](const Request& r) {
             return Answer{Answer::kSend, r.block == 0 ? Frame('!', with_zero) : Block(r.block)};
         },
         kExitBadResponse,
         {kResponseFailure},
         TempXml(Document().substr(0, kZeroAt - 1) + Document().substr(150))},
        {"zero byte after each reply, then junk",
         by_numbers,
         [](const Request& r) {
             return Answer{Answer::kSend, Block(r.block) + std::string("\0<junk>&", 8)};
         },
         kExitOk,
         {},
         TempXml(Document()),
         true},
        {"reply shorter than 4 bytes mid-document",
         by_numbers,
         [](const Request& r) {
             return Answer{Answer::kSend, r.block == 0 ? Block(0) : std::string("\x01\x83\x05")};
         },
         kExitBadResponse,
         {kResponseFailure, "A reply of 3 bytes is too short for a block"},
         std::nullopt},
        {"garbage for the number range",
         by_dates,
         [](const Request&) {
             return Answer{Answer::kSend, Frame('!', "garbage;8;")};
         },
         kExitBadResponse,
         {kResponseFailure, "'garbage' is not a valid integer value"},
         std::nullopt},
        {"number range reply shorter than 4 bytes",
         by_dates,
         [](const Request&) {
             return Answer{Answer::kSend, "\x01\x83\x05"};
         },
         kExitBadResponse,
         {kResponseFailure, "has no number field 1"},
         std::nullopt},
        {"connection reset instead of the number range",
         by_dates,
         [](const Request&) {
             return Answer{Answer::kReset, {}};
         },
         kExitRetrievalFailed,
         {kLost},
         std::nullopt},
    };
}

class FetchHostileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(dir_);
        fs::create_directories(files_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(files_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    fs::path dir_ = fs::path(::testing::TempDir()) /
                    ("cli_fetch_hostile_" + std::to_string(::getpid()) + "_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path files_ = dir_ / "files";
};

TEST_F(FetchHostileTest, EachMisbehaviourEndsWithItsStatusAndNoHalfWrittenFile) {
    const fs::path xml = files_ / "tape.xml";
    const fs::path output = files_ / "tape.txt";
    const std::string previous_xml = "previous xml\r\n";
    const std::string previous_output = "previous text\r\n";
    for (const HostileCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        WriteFileAtomically(xml, previous_xml);
        WriteFileAtomically(output, previous_output);
        CliOutcome run;
        {
            ScriptedRegister peer(c.script);
            std::vector<std::string> args = {"fetch", "--host", "127.0.0.1", "--port",
                                             std::to_string(peer.port())};
            args.insert(args.end(), c.request.begin(), c.request.end());
            args.insert(args.end(), {"--xml", xml.string(), "--output", output.string()});
            run = RunCli(TAVRELO_CLI_PATH, dir_, args);
        }
        EXPECT_EQ(run.status, c.status) << run.err;
        for (const std::string& message : c.messages) {
            EXPECT_NE(run.err.find(message), std::string::npos) << message << "\n" << run.err;
        }
        if (c.status != kExitOk) {
            EXPECT_FALSE(run.err.empty());
        }
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(ReadFile(xml), c.xml.value_or(previous_xml));
        if (c.rendered) {
            const CliOutcome rendered =
                RunCli(TAVRELO_CLI_PATH, dir_,
                       {"render", xml.string(), "--output", (dir_ / "rendered.txt").string()});
            ASSERT_EQ(rendered.status, kExitOk) << rendered.err;
            EXPECT_EQ(ReadFile(output), ReadFile(dir_ / "rendered.txt"));
            EXPECT_NE(ReadFile(output), previous_output);
        } else {
            EXPECT_EQ(ReadFile(output), previous_output);
        }
        // Nothing beside the two files: no temporary file left behind.
        EXPECT_EQ(Files(), (std::set<std::string>{"tape.txt", "tape.xml"}));
    }
}

TEST_F(FetchHostileTest, TheHelpNamesTheStatusesUsed) {
    const CliOutcome help = RunCli(TAVRELO_CLI_PATH, dir_, {"fetch", "--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_NE(help.out.find(kExitStatusHelp), std::string::npos) << help.out;
    for (const char* line : {"  4  response rejected", "  9  the retrieval failed"}) {
        EXPECT_NE(help.out.find(line), std::string::npos) << line;
    }
}

}  // namespace
}  // namespace tavrelo::cli
