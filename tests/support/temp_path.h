#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace tavrelo {

// A path in the temporary folder that no other test process uses: ctest runs the tests of one
// binary as parallel processes, so a fixed name would be shared between them.
inline std::filesystem::path UniqueTempPath(const std::string& name) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string test = info != nullptr ? info->name() : "none";
    for (char& c : test) {
        if (c == '/') c = '_';
    }
    return std::filesystem::temp_directory_path() /
           ("tavrelo-" + std::to_string(::getpid()) + "-" + test + "-" + name);
}

}  // namespace tavrelo
