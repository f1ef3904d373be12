#include "common/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/errors.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tavrelo-atomic-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    std::size_t EntriesIn(const fs::path& p) {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(p), {}));
    }
    fs::path dir_;
};

TEST_F(AtomicFileTest, WritesAndReplaces) {
    const fs::path file = dir_ / "out.txt";
    WriteFileAtomically(file, "first");
    EXPECT_EQ(ReadFile(file), "first");
    WriteFileAtomically(file, std::string("sec\0ond", 7));
    EXPECT_EQ(ReadFile(file), std::string("sec\0ond", 7));
    EXPECT_EQ(EntriesIn(dir_), 1u);  // no temporary file left behind
}

TEST_F(AtomicFileTest, FailureKeepsThePreviousFile) {
    if (::geteuid() == 0) {
        // root writes into read-only folders; make the rename fail instead: the target is a folder.
        const fs::path target = dir_ / "busy";
        fs::create_directories(target / "inside");
        EXPECT_THROW(WriteFileAtomically(target, "new"), FileError);
        EXPECT_TRUE(fs::is_directory(target / "inside"));
        EXPECT_EQ(EntriesIn(dir_), 1u);
        return;
    }
    const fs::path file = dir_ / "out.txt";
    WriteFileAtomically(file, "old");
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(WriteFileAtomically(file, "new"), FileError);
    EXPECT_EQ(ReadFile(file), "old");
}

TEST_F(AtomicFileTest, MissingFolderIsAnError) {
    EXPECT_THROW(WriteFileAtomically(dir_ / "no" / "such" / "file", "x"), FileError);
}

TEST_F(AtomicFileTest, ReadingAFolderOrAMissingFileIsAnError) {
    EXPECT_THROW(ReadFile(dir_), FileError);
    EXPECT_THROW(ReadFile(dir_ / "missing"), FileError);
}

TEST(JoinLines, TerminatesEveryLine) {
    EXPECT_EQ(JoinLines({"a", "", "b"}, "\r\n"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinLines({}, "\n"), "");
}

}  // namespace
}  // namespace tavrelo
