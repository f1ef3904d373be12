// Extreme values in a model that the walk can produce from a hostile or broken tape: the
// rendering stays defined and bounded, and a bad document costs only itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <filesystem>
#include <string>
#include <vector>

#include "render/render_documents.h"
#include "tape_test_support.h"

namespace tavrelo {
namespace {

class BadValues : public ::testing::Test {
  protected:
    test::ReceiptBuilder Receipt(int index = 0) {
        dat& doc = test::AddDocument(model_, index);
        doc.check_at(0).set_t(0);
        return test::ReceiptBuilder(doc.check_at(0));
    }
    int Render(std::vector<std::string>& lines, int selector = kSelectChecks) {
        return RenderDocuments(model_, selector, lines, log_);
    }

    rq model_;
    const std::filesystem::path log_ =
        std::filesystem::path(::testing::TempDir()) / "bad-values-error.log";
};

// A name of megabytes wraps into pieces in time linear in its length (cutting the pieces from
// the front one by one would take minutes here and hit the test's time-out).
TEST_F(BadValues, NameOfMegabytesWrapsIntoPieces) {
    std::string name;
    for (int i = 0; name.size() < 8 * 1024 * 1024; ++i) name += static_cast<char>('a' + i % 26);
    auto r = Receipt();
    r.P(name, 100, "1");
    r.E(1, 1, 100);
    std::vector<std::string> lines;
    ASSERT_EQ(Render(lines), 0);

    const std::size_t pieces = (name.size() - 1) / 34;  // the rest, up to 34, ends the item line
    std::size_t first = 0;
    while (first < lines.size() && lines[first] != "  " + name.substr(0, 34)) ++first;
    ASSERT_LT(first + pieces, lines.size());
    EXPECT_EQ(lines[first + 1], "  " + name.substr(34, 34));
    EXPECT_EQ(lines[first + pieces - 1], "  " + name.substr((pieces - 1) * 34, 34));
    const std::string rest = name.substr(pieces * 34);
    EXPECT_EQ(lines[first + pieces].substr(0, 2 + rest.size()), "  " + rest);
}

TEST_F(BadValues, LargestAmountsAndGroupsStayDefined) {
    auto r = Receipt();
    r.P("max", FLT_MAX, "2147483647");  // beyond the letters: printed as the long text
    r.P("min", -FLT_MAX, "6");
    r.P("tiny", FLT_MIN, "0");
    r.E(FLT_MAX, FLT_MAX, FLT_MAX);
    r.TX("2147483647", FLT_MAX, -FLT_MAX);
    std::vector<std::string> lines;
    // Wherever a value is too wide for its column the document stops with a logged range error;
    // nothing else may happen.
    const int failed = Render(lines);
    EXPECT_LE(failed, 1);
    EXPECT_FALSE(lines.empty());
}

TEST_F(BadValues, SaturatedZReportNumber) {
    dat& doc = test::AddDocument(model_, 0);
    doc.mark_zvit();
    doc.zvit_at(0).set_no(3.4e38f);
    dat& second = test::AddDocument(model_, 1);
    second.mark_zvit();
    second.zvit_at(0).set_no(-3.4e38f);
    std::vector<std::string> lines;
    EXPECT_EQ(Render(lines, kSelectZvits), 0);
    const auto text = test::ToUtf8(lines);
    EXPECT_NE(std::find(text.begin(), text.end(), "           Z-звіт N 2147483647"), text.end());
    EXPECT_NE(std::find(text.begin(), text.end(), "           Z-звіт N -2147483648"), text.end());
}

}  // namespace
}  // namespace tavrelo
