#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "fuzz_entries.h"

namespace tavrelo::fuzz {
namespace {

namespace fs = std::filesystem;

// Every input a fuzz target ever failed on is kept under regressions/<target>/, and the seed
// corpora under <target>/; both run here through the same entry points, without libFuzzer.
void ReplayFolder(const fs::path& folder, Entry entry, int& replayed) {
    if (!fs::is_directory(folder)) return;
    std::vector<fs::path> inputs;
    for (const auto& item : fs::directory_iterator(folder)) {
        if (item.is_regular_file()) inputs.push_back(item.path());
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& input : inputs) {
        const std::string bytes = ReadFile(input);
        const Bytes data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        EXPECT_NO_THROW(entry(data)) << input;
        ++replayed;
    }
}

const char* const kTargets[] = {"parse_render", "register_request", "register_tape",
                                "numbers",      "formatting",       "reply_field",
                                "ini_values",   "retrieval_replies"};

TEST(FuzzReplay, EveryKeptInputRunsCleanly) {
    const fs::path root = TAVRELO_TEST_DATA_DIR "/fuzz";
    int replayed = 0;
    for (const char* target : kTargets) {
        const Entry entry = EntryByName(target);
        ASSERT_NE(entry, nullptr) << target;
        ReplayFolder(root / target, entry, replayed);
        ReplayFolder(root / "regressions" / target, entry, replayed);
    }
    EXPECT_GT(replayed, 0);
}

TEST(FuzzReplay, EveryRegressionFolderNamesATarget) {
    const fs::path regressions = TAVRELO_TEST_DATA_DIR "/fuzz/regressions";
    if (!fs::is_directory(regressions)) GTEST_SKIP() << "no regression kept";
    for (const auto& item : fs::directory_iterator(regressions)) {
        if (item.is_directory()) {
            EXPECT_NE(EntryByName(item.path().filename().string()), nullptr) << item.path();
        }
    }
}

}  // namespace
}  // namespace tavrelo::fuzz
