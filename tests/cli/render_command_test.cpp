// tavrelo-cli render, run as the real program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "cli/cli_run.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

const fs::path kData = TAVRELO_DATA_DIR;
const fs::path kTestData = fs::path(TAVRELO_TEST_DATA_DIR) / "cli";

const char* const kFailureLine1 =
    "tavrelo-cli: Непредвиденный сбой в структуре получаемой информации!\n";
const char* const kFailureLine2 =
    "tavrelo-cli: Попробуйте выбрать другой диапазон номеров или дат!\n";

using Outcome = CliOutcome;

class RenderCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            fs::path(::testing::TempDir()) /
            ("cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs tavrelo-cli in the test's own folder.
    Outcome Run(const std::vector<std::string>& args) { return RunCli(TAVRELO_CLI_PATH, dir_, args); }

    static std::string Tape(const std::string& name) { return (kData / (name + ".xml")).string(); }
    static std::string Golden(const std::string& tape, const std::string& type) {
        return ReadFile(kData / (tape + "." + type + ".txt"));
    }
    static std::string CrLfToLf(std::string text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
            out += text[i];
        }
        return out;
    }

    fs::path dir_;
};

TEST_F(RenderCommand, OutputFilesMatchTheGoldenFilesByteForByte) {
    const struct {
        const char* tape;
        const char* type;
        const char* digit;
    } cases[] = {
        {"tape-8-12", "z", "0"},    {"tape-8-12", "check", "1"}, {"tape-8-12", "all", "2"},
        {"tape-8-12", "cash", "3"}, {"tape-20-29", "z", "0"},    {"tape-20-29", "check", "1"},
        {"tape-20-29", "all", "2"}, {"tape-20-29", "cash", "3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.tape) + " " + c.type);
        const std::string golden = Golden(c.tape, c.type);
        for (const char* type : {c.type, c.digit}) {
            const fs::path output = dir_ / (std::string(c.tape) + "." + type + ".txt");
            const Outcome run =
                Run({"render", Tape(c.tape), "--type", type, "--output", output.string()});
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(ReadFile(output), golden);
        }
    }
}

TEST_F(RenderCommand, DefaultTypeIsAllAndDefaultOutputIsUtf8WithLf) {
    const Outcome run = Run({"render", Tape("tape-8-12")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, Cp1251ToUtf8(CrLfToLf(Golden("tape-8-12", "all"))));
}

TEST_F(RenderCommand, EncodingOverridesEitherDestination) {
    const Outcome cp1251_stdout = Run({"render", Tape("tape-8-12"), "--encoding", "cp1251"});
    EXPECT_EQ(cp1251_stdout.status, 0);
    EXPECT_EQ(cp1251_stdout.out, CrLfToLf(Golden("tape-8-12", "all")));

    const fs::path output = dir_ / "utf8.txt";
    const Outcome utf8_file = Run({"render", Tape("tape-8-12"), "--type", "z", "--output",
                                   output.string(), "--encoding", "utf-8"});
    EXPECT_EQ(utf8_file.status, 0);
    EXPECT_EQ(ReadFile(output), Cp1251ToUtf8(Golden("tape-8-12", "z")));
}

TEST_F(RenderCommand, DocumentThatFailsIsLoggedAndTheRestWritten) {
    const fs::path output = dir_ / "out.txt";
    const Outcome run = Run({"render", Tape("tape-20-29"), "--output", output.string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("error.log"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(dir_ / "error.log"), "'x' is not a valid integer value\n");
    EXPECT_EQ(ReadFile(output), Golden("tape-20-29", "all"));
}

TEST_F(RenderCommand, UnreadableOrRejectedInputWritesNothing) {
    const struct {
        std::string file;
        int status;
        const char* reason;
    } cases[] = {
        {(dir_ / "missing.xml").string(), 3, "missing.xml"},
        {dir_.string(), 3, ""},
        {(kTestData / "malformed.xml").string(), 4, ""},
        {(kTestData / "bad-number.xml").string(), 4, "'12,50'"},
    };
    const fs::path output = dir_ / "kept.txt";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        WriteFileAtomically(output, "previous contents\r\n");
        const Outcome to_file = Run({"render", c.file, "--output", output.string()});
        EXPECT_EQ(to_file.status, c.status);
        EXPECT_EQ(
            to_file.err.rfind(std::string(kFailureLine1) + kFailureLine2 + "tavrelo-cli: ", 0), 0u)
            << to_file.err;
        EXPECT_NE(to_file.err.find(c.reason), std::string::npos) << to_file.err;
        EXPECT_GT(to_file.err.size(),
                  std::string(kFailureLine1).size() + std::string(kFailureLine2).size() + 14);
        EXPECT_EQ(ReadFile(output), "previous contents\r\n");

        const Outcome to_stdout = Run({"render", c.file});
        EXPECT_EQ(to_stdout.status, c.status);
        EXPECT_EQ(to_stdout.out, "");
    }
    // Nothing else appeared beside the kept file and the captured streams.
    EXPECT_FALSE(fs::exists(dir_ / "error.log"));
}

TEST_F(RenderCommand, OutputThatCannotBeWritten) {
    const Outcome run = Run(
        {"render", Tape("tape-8-12"), "--output", (dir_ / "no-such-folder" / "out.txt").string()});
    EXPECT_EQ(run.status, 5);
    EXPECT_NE(run.err.find("out.txt"), std::string::npos) << run.err;
}

TEST_F(RenderCommand, UsageErrorsAndHelp) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"render"},
             {"render", Tape("tape-8-12"), "--type", "4"},
             {"render", Tape("tape-8-12"), "--type", "receipts"},
             {"render", Tape("tape-8-12"), "--encoding", "koi8-r"},
             {"render", Tape("tape-8-12"), "--bogus"},
             {"unknown-command"},
         }) {
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        SCOPED_TRACE(joined);
        const Outcome run = Run(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out.find("ДП"), std::string::npos);
    }
    const Outcome help = Run({"render", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--type"), std::string::npos);
    EXPECT_NE(help.out.find("Exit status:"), std::string::npos);
    EXPECT_NE(help.out.find("5  output cannot be written"), std::string::npos);
    EXPECT_EQ(Run({"--help"}).status, 0);
}

}  // namespace
}  // namespace tavrelo
