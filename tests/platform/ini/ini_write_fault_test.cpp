// A setting whose write fails leaves Tavrelo.ini as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../../common/write_fault.h"
#include "common/atomic_file.h"
#include "common/errors.h"
#include "platform/ini/ini_file.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

TEST(IniWriteFault, AFailedWriteKeepsTheFileAndItsValues) {
    const fs::path dir = fs::path(::testing::TempDir()) / "ini_write_fault";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path ini = dir / "Tavrelo.ini";
    WriteIniString(ini, "Main", "Host", "192.168.0.10");
    WriteIniString(ini, "Main", "Port", "6001");
    const std::string previous = ReadFile(ini);
    for (const bool at_rename : {false, true}) {
        testing_support::WriteFault fault(8, at_rename);
        EXPECT_THROW(WriteIniString(ini, "Main", "Host", std::string(2000, 'h')), FileError);
    }
    {
        // An empty file has no bytes to fail on; its rename can.
        testing_support::WriteFault fault(0, true);
        EXPECT_THROW(CreateEmptyIniFile(ini), FileError);
    }
    EXPECT_EQ(ReadFile(ini), previous);
    EXPECT_EQ(ReadIniString(ini, "Main", "Host", ""), "192.168.0.10");
    EXPECT_EQ(ReadIniString(ini, "Main", "Port", ""), "6001");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrelo
