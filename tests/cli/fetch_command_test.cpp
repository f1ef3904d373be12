// tavrelo-cli fetch and range against the register emulator, run in-process.
#include "cli/fetch_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "../link/scripted_peer.h"
#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/range_command.h"
#include "cli/render_command.h"
#include "common/atomic_file.h"
#include "register/register_server.h"

namespace tavrelo::cli {
namespace {

namespace fs = std::filesystem;

const fs::path kTape = fs::path(TAVRELO_DATA_DIR) / "tape-8-12.xml";

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun RunCli(std::vector<std::string> args, const LinkTimings& timings = {}) {
    args.insert(args.begin(), "tavrelo-cli");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    CommandLine commands;
    commands.Add<RenderCommand>();
    commands.Add<FetchCommand>(timings);
    commands.Add<RangeCommand>(timings);
    CliRun run;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    run.status = commands.Run(static_cast<int>(argv.size()), argv.data());
    run.out = ::testing::internal::GetCapturedStdout();
    run.err = ::testing::internal::GetCapturedStderr();
    return run;
}

class FetchCommandTest : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(folder_); }
    void TearDown() override {
        if (server_) server_->Stop();
        fs::remove_all(folder_);
    }

    void StartRegister(RegisterOptions options = {}) {
        options.id = "12345";
        server_ = std::make_unique<RegisterServer>(Tape::FromFile(kTape), std::move(options));
        server_->Listen("127.0.0.1", 0);
        server_->Start();
    }

    std::vector<std::string> Register() const {
        return {"--host", "127.0.0.1", "--port", std::to_string(server_->port()), "--id", "12345"};
    }

    CliRun Fetch(std::vector<std::string> args, const LinkTimings& timings = {}) {
        std::vector<std::string> all = {"fetch"};
        const auto address = Register();
        all.insert(all.end(), address.begin(), address.end());
        all.insert(all.end(), args.begin(), args.end());
        return RunCli(all, timings);
    }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    fs::path folder_ = fs::temp_directory_path() /
                       ("tavrelo_cli_fetch_" + std::to_string(::getpid()) + "_" +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::unique_ptr<RegisterServer> server_;
};

TEST_F(FetchCommandTest, RendersWhatRenderMakesOfTheSameTape) {
    StartRegister();
    for (const std::string type : {"all", "z", "check", "cash"}) {
        const CliRun rendered =
            RunCli({"render", kTape.string(), "--type", type, "--output", Path("rendered.txt")});
        ASSERT_EQ(rendered.status, kExitOk) << rendered.err;
        const CliRun fetched =
            Fetch({"--numbers", type == "z" ? "52" : "8", type == "z" ? "54" : "12", "--type", type,
                   "--output", Path("fetched.txt"), "--xml", Path("fetched.xml")});
        ASSERT_EQ(fetched.status, kExitOk) << fetched.err;
        EXPECT_EQ(ReadFile(Path("fetched.txt")), ReadFile(Path("rendered.txt"))) << type;
    }
}

TEST_F(FetchCommandTest, KeepsTheAssembledXmlAndWritesToStandardOutput) {
    StartRegister();
    const CliRun fetched = Fetch({"--numbers", "8", "12", "--xml", Path("tape.xml")});
    ASSERT_EQ(fetched.status, kExitOk) << fetched.err;
    EXPECT_EQ(ReadFile(Path("tape.xml")), ReadFile(kTape));
    const CliRun rendered = RunCli({"render", kTape.string()});
    EXPECT_EQ(fetched.out, rendered.out);
    EXPECT_FALSE(fetched.out.empty());
}

// The benchmarks read these lines; the rendered text is the same with and without them.
TEST_F(FetchCommandTest, TimingsGoToTheErrorStreamOnly) {
    StartRegister();
    const CliRun plain = Fetch({"--numbers", "8", "12", "--xml", Path("plain.xml")});
    const CliRun timed = Fetch({"--numbers", "8", "12", "--xml", Path("timed.xml"), "--timings"});
    ASSERT_EQ(timed.status, kExitOk) << timed.err;
    EXPECT_EQ(timed.out, plain.out);
    EXPECT_EQ(ReadFile(Path("timed.xml")), ReadFile(Path("plain.xml")));
    const std::regex retrieval(
        "tavrelo-cli: timings connect=[0-9.]+ exchanges=[0-9.]+ xml_file=[0-9.]+ seconds\n"
        "tavrelo-cli: timings parse=[0-9.]+ walk=[0-9.]+ render=[0-9.]+ write=[0-9.]+ seconds, "
        "peak_rss=[0-9]+ kB\n");
    EXPECT_TRUE(std::regex_match(timed.err, retrieval)) << timed.err;
    EXPECT_EQ(plain.err, "");
}

TEST_F(FetchCommandTest, FetchesByDates) {
    StartRegister();
    const CliRun fetched = Fetch({"--dates", "30.04.14 00:00", "05.05.14 23:59", "--xml",
                                  Path("tape.xml"), "--output", Path("fetched.txt")});
    ASSERT_EQ(fetched.status, kExitOk) << fetched.err;
    EXPECT_EQ(ReadFile(Path("tape.xml")), ReadFile(kTape));
    const CliRun range =
        RunCli({"range", "--host", "127.0.0.1", "--port", std::to_string(server_->port()), "--id",
                "12345", "--dates", "30.04.14 14:44", "05.05.14 23:59"});
    EXPECT_EQ(range.status, kExitOk) << range.err;
    EXPECT_EQ(range.out, "10 12\n");
}

TEST_F(FetchCommandTest, ReportsEachFailureWithItsStatus) {
    StartRegister();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--numbers", "0", "3"}, kExitCheckFailed, "Началный номер должен быть >0!"},
        {{"--numbers", "5", "4"}, kExitCheckFailed, "Конечный номер должен быть не меньше"},
        {{"--dates", "31.12.99 00:00", "01.01.00 00:00"},
         kExitCheckFailed,
         "Конечная дата должна быть не меньше начальной!"},
        {{"--numbers", "1", "x"}, kExitUsage, "not a decimal integer"},
        {{"--dates", "1.1.17 0:00", "01.01.17 00:00"}, kExitUsage, "dd.mm.yy hh:mm"},
        {{}, kExitUsage, "--numbers or --dates"},
    };
    for (const Case& c : cases) {
        auto args = c.args;
        args.insert(args.end(), {"--xml", Path("never.xml")});
        const CliRun run = Fetch(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(Path("never.xml")));
    }
}

TEST_F(FetchCommandTest, ReportsConnectionFailures) {
    StartRegister();
    const CliRun not_ready =
        RunCli({"fetch", "--host", "127.0.0.1", "--port", std::to_string(server_->port()), "--id",
                "54321", "--numbers", "8", "12"});
    EXPECT_EQ(not_ready.status, kExitNotReady);
    EXPECT_NE(not_ready.err.find("проверьте настройки РРО"), std::string::npos) << not_ready.err;
    const std::uint16_t port = server_->port();
    server_->Stop();
    const CliRun unreachable =
        RunCli({"range", "--host", "127.0.0.1", "--port", std::to_string(port), "--dates",
                "30.04.14 00:00", "05.05.14 23:59"});
    EXPECT_EQ(unreachable.status, kExitUnreachable);
    EXPECT_NE(unreachable.err.find("Сервер не отвечает, проверьте IP адрес"), std::string::npos)
        << unreachable.err;
}

TEST_F(FetchCommandTest, AFailedRetrievalWritesNoXml) {
    RegisterOptions options;
    options.faults.close_at_request = 3;
    StartRegister(options);
    const CliRun fetched = Fetch({"--numbers", "8", "12", "--xml", Path("tape.xml")});
    EXPECT_EQ(fetched.status, kExitRetrievalFailed) << fetched.err;
    EXPECT_NE(fetched.err.find("ЕККА вернул код ошибки"), std::string::npos) << fetched.err;
    EXPECT_FALSE(fs::exists(Path("tape.xml")));
    EXPECT_TRUE(fetched.out.empty());

    server_->Stop();
    options.faults.close_at_request = 1;
    StartRegister(options);
    const CliRun range =
        RunCli({"range", "--host", "127.0.0.1", "--port", std::to_string(server_->port()), "--id",
                "12345", "--dates", "30.04.14 00:00", "05.05.14 23:59"});
    EXPECT_EQ(range.status, kExitRetrievalFailed) << range.err;
    EXPECT_TRUE(range.out.empty());
}

// The production waits are 3 x 10 s per exchange and 4 x 60 x 1 s for the handshake; here they
// are shortened, so each case ends in well under a second.
LinkTimings ShortWaits() {
    LinkTimings timings;
    timings.handshake = {2000, 10, 3, 2};
    timings.exchange = {2000, 20, 3};
    return timings;
}

TEST_F(FetchCommandTest, ARegisterThatNeverAnswersEndsAfterItsWaitsAndKeepsThePreviousXml) {
    struct Case {
        const char* name;
        std::set<int> unanswered;
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {"a block request", {1, 2}, {"fetch", "--numbers", "8", "12"}, "ЕККА вернул код ошибки"},
        {"the second document",
         {3, 4},
         {"fetch", "--numbers", "8", "12"},
         "ЕККА вернул код ошибки"},
        {"the number range",
         {1},
         {"fetch", "--dates", "30.04.14 00:00", "05.05.14 23:59"},
         "РРО не вернул номера документов"},
        {"range", {1}, {"range", "--dates", "30.04.14 00:00", "05.05.14 23:59"}, "РРО не вернул"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegisterOptions options;
        options.faults.no_reply_requests = c.unanswered;
        StartRegister(options);
        WriteFileAtomically(Path("tape.xml"), "previous");
        std::vector<std::string> args = c.args;
        const auto address = Register();
        args.insert(args.begin() + 1, address.begin(), address.end());
        if (args[0] == "fetch") args.insert(args.end(), {"--xml", Path("tape.xml")});
        const CliRun run = RunCli(args, ShortWaits());
        EXPECT_EQ(run.status, kExitRetrievalFailed) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(ReadFile(Path("tape.xml")), "previous");
        server_->Stop();
        server_.reset();
    }
}

TEST_F(FetchCommandTest, ARegisterThatAcceptsAndNeverSaysReadyIsNotReady) {
    // Reads the identification and answers nothing.
    testing::ScriptedPeer silent({testing::ScriptedPeer::ReadBytes(9)});
    const CliRun run =
        RunCli({"fetch", "--host", "127.0.0.1", "--port", std::to_string(silent.port()),
                "--numbers", "8", "12", "--xml", Path("tape.xml")},
               ShortWaits());
    EXPECT_EQ(run.status, kExitNotReady) << run.err;
    EXPECT_NE(run.err.find("проверьте настройки РРО"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Path("tape.xml")));
}

}  // namespace
}  // namespace tavrelo::cli
