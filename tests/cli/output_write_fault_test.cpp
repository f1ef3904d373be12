// A --output file whose write fails keeps the previous text whole, and the status says so.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "../common/write_fault.h"
#include "cli/exit_status.h"
#include "cli/tape_output.h"
#include "common/atomic_file.h"

namespace tavrelo::cli {
namespace {

namespace fs = std::filesystem;

TEST(OutputWriteFault, AFailedWriteKeepsThePreviousText) {
    const fs::path dir = fs::path(::testing::TempDir()) / "cli_output_write_fault";
    fs::remove_all(dir);
    fs::create_directories(dir);
    OutputOptions options;
    options.path = dir / "out.txt";
    options.error_log = dir / "error.log";
    const std::string previous = "previous tape text\r\n";
    const std::string xml = ReadFile(fs::path(TAVRELO_DATA_DIR) / "tape-8-12.xml");
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    for (const bool at_rename : {false, true}) {
        WriteFileAtomically(*options.path, previous);
        testing_support::WriteFault fault(600, at_rename);
        EXPECT_EQ(RenderResponse(xml, options, stdout, err), kExitOutput);
        EXPECT_EQ(ReadFile(*options.path), previous);
    }
    EXPECT_EQ(RenderResponse(xml, options, stdout, err), 0);
    EXPECT_NE(ReadFile(*options.path), previous);
    std::fclose(err);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrelo::cli
