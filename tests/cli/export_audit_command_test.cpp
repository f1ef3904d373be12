// tavrelo-cli export and audit, run as the real program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "cli/cli_run.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

const fs::path kData = TAVRELO_DATA_DIR;
const fs::path kTestData = TAVRELO_TEST_DATA_DIR;

const char* const kFailureLines =
    "tavrelo-cli: Непредвиденный сбой в структуре получаемой информации!\n"
    "tavrelo-cli: Попробуйте выбрать другой диапазон номеров или дат!\n";

using Outcome = CliOutcome;

class ExportAndAudit : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("cli_xa_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs tavrelo-cli in the test's own folder; standard output goes to `stdout_path` when
    // given.
    Outcome Run(const std::vector<std::string>& args, const std::string& stdout_path = {}) {
        return RunCli(TAVRELO_CLI_PATH, dir_, args, stdout_path);
    }

    fs::path dir_;
};

TEST_F(ExportAndAudit, ExportsMatchTheGoldenFilesOnStandardOutputAndInFiles) {
    for (const char* tape : {"tape-8-12", "tape-20-29"}) {
        for (const char* format : {"json", "csv"}) {
            SCOPED_TRACE(std::string(tape) + " " + format);
            const std::string input = (kData / (std::string(tape) + ".xml")).string();
            const std::string golden = ReadFile(kData / (std::string(tape) + "." + format));
            const Outcome printed = Run({"export", input, "--format", format});
            EXPECT_EQ(printed.status, 0) << printed.err;
            EXPECT_EQ(printed.out, golden);
            EXPECT_EQ(printed.err, "");

            const Outcome written =
                Run({"export", input, "--format", format, "--output", "out.txt"});
            EXPECT_EQ(written.status, 0) << written.err;
            EXPECT_EQ(written.out, "");
            EXPECT_EQ(ReadFile(dir_ / "out.txt"), golden);
        }
    }
}

TEST_F(ExportAndAudit, AuditExitsWithTenOnFindingsAndZeroWhenClean) {
    const Outcome findings = Run({"audit", (kData / "tape-20-29.xml").string()});
    EXPECT_EQ(findings.status, 10);
    EXPECT_EQ(findings.out, ReadFile(kTestData / "audit" / "tape-20-29.audit.txt"));
    EXPECT_EQ(findings.err, "");

    const Outcome shortfall = Run({"audit", (kTestData / "audit" / "short-payment.xml").string()});
    EXPECT_EQ(shortfall.status, 10);
    EXPECT_NE(shortfall.out.find("Предупреждение: документ 2: чек № 1: оплата за вычетом сдачи "
                                 "8.50 не покрывает итог 9.00\n"),
              std::string::npos)
        << shortfall.out;

    const Outcome clean = Run({"audit", (kTestData / "audit" / "clean-shift.xml").string()});
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "Проверено документов: 5. Предупреждений нет.\n");
}

TEST_F(ExportAndAudit, UnreadableOrRejectedInputWritesNothing) {
    const struct {
        std::string input;
        int status;
        const char* reason;  // start of the third line
    } cases[] = {
        {(dir_ / "missing.xml").string(), 3, "tavrelo-cli: "},
        {dir_.string(), 3, "tavrelo-cli: Cannot read"},
        {(kTestData / "export" / "malformed.xml").string(), 4, "tavrelo-cli: XML error"},
        {(kTestData / "export" / "not-a-number.xml").string(), 4, "tavrelo-cli: '"},
    };
    for (const auto& c : cases) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"export", c.input, "--format", "json", "--output", "o"},
              std::vector<std::string>{"export", c.input, "--format", "csv"},
              std::vector<std::string>{"audit", c.input}}) {
            SCOPED_TRACE(args[0] + " " + c.input);
            const Outcome outcome = Run(args);
            EXPECT_EQ(outcome.status, c.status) << outcome.err;
            EXPECT_EQ(outcome.out, "");
            EXPECT_EQ(outcome.err.rfind(std::string(kFailureLines) + c.reason, 0), 0u)
                << outcome.err;
            EXPECT_FALSE(fs::exists(dir_ / "o"));
        }
    }
}

TEST_F(ExportAndAudit, WriteFailuresExitWithFive) {
    const std::string input = (kData / "tape-8-12.xml").string();
    const Outcome no_folder = Run(
        {"export", input, "--format", "json", "--output", (dir_ / "no" / "such.json").string()});
    EXPECT_EQ(no_folder.status, 5);
    EXPECT_NE(no_folder.err.find("tavrelo-cli: "), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "no"));

    // A previous file stays whole when the new one cannot replace it: here the target is a
    // folder.
    fs::create_directories(dir_ / "taken");
    EXPECT_EQ(
        Run({"export", input, "--format", "csv", "--output", (dir_ / "taken").string()}).status, 5);
    EXPECT_TRUE(fs::is_directory(dir_ / "taken"));

    if (fs::exists("/dev/full")) {
        EXPECT_EQ(Run({"export", input, "--format", "csv"}, "/dev/full").status, 5);
        EXPECT_EQ(Run({"audit", input}, "/dev/full").status, 5);
    }
}

TEST_F(ExportAndAudit, CommandLineMistakesExitWithTwo) {
    const std::string input = (kData / "tape-8-12.xml").string();
    EXPECT_EQ(Run({"export", input}).status, 2);
    EXPECT_EQ(Run({"export", input, "--format", "xml"}).status, 2);
    EXPECT_EQ(Run({"export", "--format", "json"}).status, 2);
    EXPECT_EQ(Run({"audit"}).status, 2);
    const Outcome help = Run({"audit", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("10 the audit found inconsistencies"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace tavrelo
