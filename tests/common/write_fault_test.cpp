// A write that fails part way or at the rename leaves the previous file whole and no stray
// temporary file beside it.
#include "write_fault.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "common/errors.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using testing_support::WriteFault;

struct FaultCase {
    std::size_t fail_after;
    bool at_rename;
};

class WriteFaultTest : public ::testing::TestWithParam<FaultCase> {
  protected:
    void SetUp() override {
        // Each case in a folder of its own: ctest runs them side by side.
        dir_ =
            fs::path(::testing::TempDir()) /
            ("write_fault_test_" +
             std::to_string(::testing::UnitTest::GetInstance()->current_test_info()->value_param()
                                ? GetParam().fail_after * 2 + GetParam().at_rename
                                : 0));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_P(WriteFaultTest, PreviousFileStaysWhole) {
    const fs::path file = dir_ / "saved.txt";
    const std::string previous = "previous text\r\n";
    WriteFileAtomically(file, previous);
    const std::string large(5000, 'x');
    {
        WriteFault fault(GetParam().fail_after, GetParam().at_rename);
        EXPECT_THROW(WriteFileAtomically(file, large), FileError);
        EXPECT_THROW(WriteFileAtomically(file, std::vector<std::string>{"a", large}), FileError);
    }
    EXPECT_EQ(ReadFile(file), previous);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 1);
    // Without the fault the same write goes through.
    WriteFileAtomically(file, large);
    EXPECT_EQ(ReadFile(file), large);
}

INSTANTIATE_TEST_SUITE_P(Faults, WriteFaultTest,
                         ::testing::Values(FaultCase{0, false}, FaultCase{1, false},
                                           FaultCase{1024, false}, FaultCase{0, true}));

TEST(WriteFaultTarget, AFolderInTheWayIsRefusedAndKept) {
    const fs::path dir = fs::path(::testing::TempDir()) / "write_fault_folder";
    fs::remove_all(dir);
    fs::create_directories(dir / "target" / "inside");
    EXPECT_THROW(WriteFileAtomically(dir / "target", "text"), FileError);
    EXPECT_TRUE(fs::is_directory(dir / "target" / "inside"));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrelo
