// The document loop: selection by type, the empty result, and what a render error does.
#include "render/render_documents.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "tape_test_support.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using test::Row;

class RenderDocumentsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("render_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        log_ = dir_ / "error.log";
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A sale receipt whose single item has the tax group `tx`.
    void AddSale(int index, float no, std::string tx) {
        test::ReceiptBuilder r(test::AddDocument(model_, index).check_at(0));
        r.L("Коментар " + std::to_string(index));
        r.P("Кава", 2500, std::move(tx));
        r.M("ГРОШІ", 2500);
        r.E(1, no, 2500);
        r.TX("1", 20, 417);
    }
    void AddService(int index) {
        dat& doc = test::AddDocument(model_, index);
        doc.check_at(0).set_t(2);
        test::ReceiptBuilder r(doc.check_at(0));
        r.I(10000);
        r.E(1, 300 + index, 0);
    }
    void AddZvit(int index) {
        dat& doc = test::AddDocument(model_, index);
        doc.mark_zvit();
        doc.zvit_at(0).set_no(static_cast<float>(50 + index));
    }

    std::vector<std::string> Render(int selector, int expected_failures = 0) {
        std::vector<std::string> lines;
        EXPECT_EQ(RenderDocuments(model_, selector, lines, log_), expected_failures);
        return test::ToUtf8(lines);
    }

    // The title line of every document shown, which tells the documents apart.
    static std::vector<std::string> Numbers(const std::vector<std::string>& lines) {
        std::vector<std::string> out;
        for (const auto& line : lines) {
            const std::string title = "           Z-звіт N ";
            if (line.rfind(title, 0) == 0) out.push_back(line.substr(title.size()));
            if (line.rfind("  000000", 0) == 0) out.push_back(line.substr(2, 9));
        }
        return out;
    }

    rq model_;
    fs::path dir_;
    fs::path log_;
};

TEST_F(RenderDocumentsTest, EmptyResult) {
    std::vector<std::string> lines = {"kept"};
    EXPECT_EQ(RenderDocuments(model_, kSelectAll, lines, log_), 0);
    EXPECT_EQ(test::ToUtf8(lines),
              (std::vector<std::string>{"kept", "Запрашиваемые данные отсутствуют!"}));
    // Documents stored without a MAC to count them are not shown either.
    model_.dat_at(0).set_zn("1");
    EXPECT_EQ(Render(kSelectZvits),
              (std::vector<std::string>{"Запрашиваемые данные отсутствуют!"}));
}

TEST_F(RenderDocumentsTest, SelectorsPickDocumentsInOrder) {
    AddSale(0, 101, "1");
    AddZvit(1);
    AddService(2);
    AddZvit(3);
    AddSale(4, 104, "1");
    using V = std::vector<std::string>;
    EXPECT_EQ(Numbers(Render(kSelectZvits)), (V{"51", "53"}));
    EXPECT_EQ(Numbers(Render(kSelectChecks)), (V{"000000101", "000000302", "000000104"}));
    EXPECT_EQ(Numbers(Render(kSelectAll)), (V{"000000101", "51", "000000302", "53", "000000104"}));
    EXPECT_EQ(Numbers(Render(kSelectCashInOut)), (V{"000000302"}));
    EXPECT_TRUE(Render(4).empty());
    EXPECT_TRUE(Render(-1).empty());
    EXPECT_FALSE(fs::exists(log_));
}

TEST_F(RenderDocumentsTest, RenderErrorStopsOneDocumentAndIsLogged) {
    AddSale(0, 101, "1");
    AddSale(1, 102, "x");
    AddSale(2, 103, "1");
    WriteFileAtomically(log_, "an older and much longer message that must not survive\n");

    const auto lines = Render(kSelectChecks, 1);
    std::vector<std::string> good;
    {
        rq single;
        test::ReceiptBuilder r(test::AddDocument(single, 0).check_at(0));
        r.L("Коментар 0");
        r.P("Кава", 2500, "1");
        r.M("ГРОШІ", 2500);
        r.E(1, 101, 2500);
        r.TX("1", 20, 417);
        std::vector<std::string> raw;
        RenderDocuments(single, kSelectChecks, raw, log_);
        good = test::ToUtf8(raw);
    }
    const std::size_t n = good.size();
    ASSERT_EQ(lines.size(), n + 6 + n);
    // The first receipt whole; the second up to the line before its item; the third whole.
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + n), good);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + n, lines.begin() + n + 6),
              (std::vector<std::string>{"          ДП \"Компанія KERVA\"", "                м.Київ",
                                        "     ЗН 402400089  ФН 5555555555", "            Каса01",
                                        test::kSeparator, "  Коментар 1"}));
    EXPECT_EQ(lines.back(), test::kSeparator);
    EXPECT_EQ(Numbers(lines), (std::vector<std::string>{"000000101", "000000103"}));
    EXPECT_EQ(ReadFile(log_), "'x' is not a valid integer value\n");
}

TEST_F(RenderDocumentsTest, RangeErrorIsLoggedToo) {
    AddSale(0, 1e12f, "1");  // thirteen digits do not fit the receipt-number field
    AddZvit(1);
    const auto lines = Render(kSelectAll, 1);
    EXPECT_EQ(Numbers(lines), (std::vector<std::string>{"51"}));
    const std::string message = ReadFile(log_);
    EXPECT_EQ(message.rfind("Range check error", 0), 0u) << message;
    EXPECT_EQ(message.back(), '\n');
    EXPECT_EQ(message.find('\n'), message.size() - 1);
}

TEST_F(RenderDocumentsTest, ZvitWithBadTaxGroupStopsAtTheFirstBlockThatConvertsIt) {
    AddZvit(0);
    zvit& z = model_.dat_at(0).zvit_at(0);
    z.mark_txs();
    z.set_txs_count(1);  // a TXS without TX: its group text is empty
    AddZvit(1);
    const auto lines = Render(kSelectZvits, 1);
    ASSERT_EQ(lines.size(), 6u + 15u);
    EXPECT_EQ(lines[5], "  ------        Податок       Обіг");
    EXPECT_EQ(lines[6], "          ДП \"Компанія KERVA\"");
    EXPECT_EQ(ReadFile(log_), "'' is not a valid integer value\n");
}

TEST_F(RenderDocumentsTest, LogThatCannotBeOpenedIsSkipped) {
    AddSale(0, 101, "x");
    AddSale(1, 102, "1");
    log_ = dir_;  // a directory cannot be opened as a file
    const auto lines = Render(kSelectChecks, 1);
    EXPECT_EQ(Numbers(lines), (std::vector<std::string>{"000000102"}));
}

TEST_F(RenderDocumentsTest, DefaultLogIsInTheCurrentDirectory) {
    AddSale(0, 101, "x");
    const fs::path previous = fs::current_path();
    fs::current_path(dir_);
    std::vector<std::string> lines;
    EXPECT_EQ(RenderDocuments(model_, kSelectChecks, lines), 1);
    fs::current_path(previous);
    EXPECT_EQ(ReadFile(dir_ / "error.log"), "'x' is not a valid integer value\n");
}

}  // namespace
}  // namespace tavrelo
