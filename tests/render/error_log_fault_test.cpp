// error.log holds the last message; a write that fails keeps the previous message whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../common/write_fault.h"
#include "common/atomic_file.h"
#include "render/render_documents.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

TEST(ErrorLogFault, AFailedWriteKeepsThePreviousMessage) {
    const fs::path dir = fs::path(::testing::TempDir()) / "error_log_fault";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path log = dir / "error.log";
    LogRenderError(log, "first message");
    EXPECT_EQ(ReadFile(log), "first message\n");
    for (const bool at_rename : {false, true}) {
        testing_support::WriteFault fault(4, at_rename);
        EXPECT_NO_THROW(LogRenderError(log, std::string(3000, 'm')));
        EXPECT_EQ(ReadFile(log), "first message\n");
    }
    LogRenderError(log, "second");
    EXPECT_EQ(ReadFile(log), "second\n");
    fs::remove_all(dir);
}

TEST(ErrorLogFault, ALogThatIsAFolderReceivesNothing) {
    const fs::path dir = fs::path(::testing::TempDir()) / "error_log_folder";
    fs::remove_all(dir);
    fs::create_directories(dir / "error.log" / "kept");
    EXPECT_NO_THROW(LogRenderError(dir / "error.log", "message"));
    EXPECT_TRUE(fs::is_directory(dir / "error.log" / "kept"));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrelo
