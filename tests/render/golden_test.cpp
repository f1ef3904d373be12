// The bundled tapes, parsed and rendered under every document type, against their golden files
// (the CP1251, CR LF text that the desktop program saves).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "model/document.h"
#include "model/vocabulary.h"
#include "platform/xml/parse_response.h"
#include "render/render_documents.h"
#include "support/temp_path.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

struct GoldenCase {
    const char* tape;
    const char* type;
    int selector;
    int failed_documents;
};

class GoldenTape : public ::testing::TestWithParam<GoldenCase> {};

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(Cp1251ToUtf8(text.substr(start, end - start)));
    }
    EXPECT_EQ(start, text.size()) << "text after the last line break";
    return lines;
}

TEST_P(GoldenTape, RendersAsTheGoldenFile) {
    const GoldenCase& c = GetParam();
    const fs::path data = TAVRELO_DATA_DIR;
    rq model;
    control state;
    ParseResponse(ReadFile(data / (std::string(c.tape) + ".xml")), model, state);

    const fs::path log = UniqueTempPath("golden_error.log");
    fs::remove(log);
    std::vector<std::string> lines;
    EXPECT_EQ(RenderDocuments(model, c.selector, lines, log), c.failed_documents);
    EXPECT_EQ(fs::exists(log), c.failed_documents > 0);

    const std::string golden = ReadFile(data / (std::string(c.tape) + "." + c.type + ".txt"));
    const std::string rendered = JoinLines(lines, "\r\n");
    // Line by line first, for a readable report, then byte for byte.
    EXPECT_EQ(SplitCrLf(rendered), SplitCrLf(golden));
    EXPECT_EQ(rendered, golden);
}

INSTANTIATE_TEST_SUITE_P(
    BundledTapes, GoldenTape,
    ::testing::Values(GoldenCase{"tape-8-12", "z", 0, 0}, GoldenCase{"tape-8-12", "check", 1, 0},
                      GoldenCase{"tape-8-12", "all", 2, 0}, GoldenCase{"tape-8-12", "cash", 3, 0},
                      GoldenCase{"tape-20-29", "z", 0, 0}, GoldenCase{"tape-20-29", "check", 1, 1},
                      GoldenCase{"tape-20-29", "all", 2, 1},
                      GoldenCase{"tape-20-29", "cash", 3, 0}),
    [](const auto& param_info) {
        std::string name = std::string(param_info.param.tape) + "_" + param_info.param.type;
        for (char& ch : name) {
            if (ch == '-') ch = '_';
        }
        return name;
    });

TEST(GoldenTape, FailingDocumentLeavesItsMessage) {
    rq model;
    control state;
    ParseResponse(ReadFile(fs::path(TAVRELO_DATA_DIR) / "tape-20-29.xml"), model, state);
    const fs::path log = UniqueTempPath("golden_failing.log");
    std::vector<std::string> lines;
    RenderDocuments(model, kSelectAll, lines, log);
    EXPECT_EQ(ReadFile(log), "'x' is not a valid integer value\n");
}

}  // namespace
}  // namespace tavrelo
