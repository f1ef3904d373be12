// The tavrelo-register program itself: starts, serves, writes tapes, ends with 0 on SIGTERM.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "raw_client.h"
#include "register/generator.h"

extern char** environ;

namespace tavrelo {
namespace {

using testing::RawClient;

const std::string kFixture = std::string(TAVRELO_TEST_DATA_DIR) + "/tools/register-tape.xml";

// The program with its stderr on a pipe; killed when the test ends early.
class Program {
  public:
    explicit Program(std::vector<std::string> args) {
        args.insert(args.begin(), TAVRELO_REGISTER_EXE);
        int pipe_fds[2];
        if (::pipe(pipe_fds) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 2);
        posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipe_fds[1]);
        stderr_ = pipe_fds[0];
        if (rc != 0) throw std::runtime_error("spawn");
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(stderr_);
    }

    // Reads stderr until `pattern` matches a line; empty on timeout or end.
    std::smatch WaitFor(const std::regex& pattern) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            for (std::size_t eol; (eol = buffer_.find('\n')) != std::string::npos;) {
                line_ = buffer_.substr(0, eol);
                buffer_.erase(0, eol + 1);
                std::smatch match;
                if (std::regex_search(line_, match, pattern)) return match;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{stderr_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) != 1) return {};
            char chunk[512];
            const ssize_t got = ::read(stderr_, chunk, sizeof chunk);
            if (got <= 0) return {};
            buffer_.append(chunk, static_cast<std::size_t>(got));
        }
    }

    // Exit code, or -1 when it did not exit within a few seconds or died of a signal.
    int Wait() {
        for (int i = 0; i < 100; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            ::usleep(50000);
        }
        return -1;
    }
    void Signal(int signal) { ::kill(pid_, signal); }

  private:
    pid_t pid_ = -1;
    int stderr_ = -1;
    std::string buffer_;
    std::string line_;
};

std::uint16_t ListeningPort(Program& program) {
    const std::smatch match = program.WaitFor(std::regex("listening on 127\\.0\\.0\\.1:(\\d+)"));
    if (match.empty()) return 0;
    return static_cast<std::uint16_t>(std::stoi(match[1].str()));
}

TEST(RegisterProgram, ServesATapeAndEndsCleanlyOnSignal) {
    for (const int signal : {SIGTERM, SIGINT}) {
        Program program({"--tape", kFixture, "--listen", "127.0.0.1:0", "--id", "Каса1",
                         "--verbose", "--max-payload", "150"});
        const std::uint16_t port = ListeningPort(program);
        ASSERT_NE(port, 0);
        {
            RawClient client(port);
            // A UTF-8 argument; the identifier goes over the wire in CP1251.
            ASSERT_EQ(client.Handshake(Utf8ToCp1251("Каса1")), "Ready");
            const auto fetched = testing::FetchDocument(
                [&](const std::string& body) { return client.Exchange(body); }, 1, 8);
            EXPECT_EQ(fetched.payloads, (std::vector<std::size_t>{150, 150, 100}));
        }
        EXPECT_FALSE(program.WaitFor(std::regex("request 4 B;1;8;3;")).empty());
        program.Signal(signal);
        EXPECT_EQ(program.Wait(), 0);
    }
}

TEST(RegisterProgram, WritesAndServesGeneratedTapes) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tavrelo-register-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto file = dir / "tape.xml";
    {
        Program program({"--generate", "300", "--seed", "4", "--write", file.string()});
        EXPECT_EQ(program.Wait(), 0);
    }
    EXPECT_EQ(ReadFile(file), GenerateTape(300, 4));

    Program program({"--generate", "300", "--seed", "4", "--listen", "127.0.0.1:0"});
    const std::uint16_t port = ListeningPort(program);
    ASSERT_NE(port, 0);
    {
        RawClient client(port);
        ASSERT_EQ(client.Handshake("x"), "Ready");
        const auto fetched = testing::FetchDocument(
            [&](const std::string& body) { return client.Exchange(body); }, 1, 300);
        EXPECT_EQ(fetched.text, GenerateDocuments(300, 4).back());
    }
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);
    std::filesystem::remove_all(dir);
}

TEST(RegisterProgram, RefusesBadArguments) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--tape", "/nonexistent/tape.xml"},
        {"--tape", kFixture, "--max-payload", "1496"},
        {"--tape", kFixture, "--listen", "127.0.0.1"},
        {"--tape", kFixture, "--end-mark", "x"},
        {"--tape", kFixture, "--generate", "5"},
    };
    for (const auto& args : cases) {
        Program program(args);
        EXPECT_NE(program.Wait(), 0) << (args.empty() ? "" : args.back());
    }
}

}  // namespace
}  // namespace tavrelo
