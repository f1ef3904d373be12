// The receipt layout, on receipts built by hand line by line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "render/render_documents.h"
#include "tape_test_support.h"
#include "support/temp_path.h"

namespace tavrelo {
namespace {

using test::Concat;
using test::Header;
using test::kSeparator;
using test::Row;

class ReceiptLayout : public ::testing::Test {
  protected:
    // One receipt document of type `t` with a builder for its lines.
    test::ReceiptBuilder Receipt(float t, int index = 0) {
        dat& doc = test::AddDocument(model_, index);
        doc.check_at(0).set_t(t);
        return test::ReceiptBuilder(doc.check_at(0));
    }

    std::vector<std::string> Render(int selector = kSelectChecks) {
        std::vector<std::string> lines;
        EXPECT_EQ(RenderDocuments(model_, selector, lines, log_), 0);
        return test::ToUtf8(lines);
    }

    // The lines between the cash-desk separator and the totals or the closing line.
    std::vector<std::string> Body(std::size_t first, std::size_t count) {
        const auto lines = Render();
        EXPECT_GE(lines.size(), first + count);
        if (lines.size() < first + count) return {};
        return {lines.begin() + static_cast<long>(first),
                lines.begin() + static_cast<long>(first + count)};
    }

    rq model_;
    std::filesystem::path log_ = UniqueTempPath("receipt.log");
};

const std::string kStamp = "30.04.2014  14:42";

std::vector<std::string> Closing(std::string_view number, std::string_view title) {
    std::vector<std::string> out = {Row(number, {{37, kStamp}}, 54)};
    if (!title.empty()) out.emplace_back(title);
    out.push_back(kSeparator);
    out.push_back(kSeparator);
    return out;
}

TEST_F(ReceiptLayout, SaleWithCommentsItemsCashAndTaxEntries) {
    auto r = Receipt(0);
    for (int i = 0; i < 3; ++i) r.L("Comment for printing");
    for (int i = 0; i < 12; ++i) r.P("Хліб білий", 100, i < 10 ? "1" : i == 10 ? "2" : "3");
    r.M("ГРОШІ", 1200);
    r.E(1, 138, 1200);
    r.TX("1", 20, 167);
    r.TX("2", 0, 0);
    r.TX("3", 20, 17);

    std::vector<std::string> items;
    for (const char* letter : {"A", "A", "A", "A", "A", "A", "A", "A", "A", "A", "Б", "В"}) {
        items.push_back(Row("  Хліб білий", {{39, std::string("1.00 ") + letter}}, 54));
    }
    const auto expected = Concat({
        Header(),
        {"            Каса01", kSeparator, "  Comment for printing", "  Comment for printing",
         "  Comment for printing"},
        items,
        {kSeparator, Row("  Сума", {{37, "12.00"}}, 56),
         Row("       ПДВ_A A = ", {{22, "20.00%"}, {37, "1.67"}}, 52),
         Row("       ПДВ_Б Б = ", {{22, "0.00%"}, {37, "0.00"}}, 52),
         Row("       ПДВ_В В = ", {{22, "20.00%"}, {37, "0.17"}}, 52), kSeparator,
         Row("  ГРОШІ", {{37, "12.00"}}, 48)},
        Closing("  000000138", "         ФІСКАЛЬНИЙ ЧЕК"),
    });
    EXPECT_EQ(Render(), expected);

    // The same lines spelled out, as a check of the expectations themselves.
    const auto lines = Render();
    EXPECT_EQ(lines[21], "  Сума" + std::string(26, ' ') + "12.00" + std::string(19, ' '));
    EXPECT_EQ(lines[22],
              "       ПДВ_A A =20.00%" + std::string(11, ' ') + "1.67" + std::string(15, ' '));
    EXPECT_EQ(lines[23],
              "       ПДВ_Б Б = 0.00%" + std::string(11, ' ') + "0.00" + std::string(15, ' '));
    EXPECT_EQ(lines[8], "  Хліб білий" + std::string(21, ' ') + "1.00 A" + std::string(15, ' '));
    EXPECT_EQ(lines[27], "  000000138" + std::string(9, ' ') + kStamp + std::string(17, ' '));
}

TEST_F(ReceiptLayout, ItemWithQuantityAndEmptyName) {
    auto r = Receipt(0);
    r.P("Молоко", 1875, "2").set_q(1500);
    r.p_last().set_prc(1250);
    r.P("", 40, "1").set_q(400);
    r.p_last().set_prc(100);
    r.E(1, 2, 1915);
    EXPECT_EQ(Body(5, 4), (std::vector<std::string>{
                              "  Молоко",
                              Row("  2. X 12.50 =", {{39, "18.75 Б"}}, 49),
                              "  ",
                              Row("  0. X 1.00 =", {{39, "0.40 A"}}, 48),
                          }));
}

TEST_F(ReceiptLayout, LongNamesWrapForPButNotForCP) {
    const std::string name =
        "abcdefghij0123456789ABCDEFGHIJklmnopqrstKLMNOPQRST9876543210zyxw"
        "vutsrqZYXWVUTSRQ";
    ASSERT_EQ(name.size(), 80u);
    auto r = Receipt(0);
    r.P(name, 100, "1");
    r.P(name, 200, "1").set_q(2000);
    r.p_last().set_prc(100);
    r.CP(name, 100, "1");
    r.CP(name, 200, "1").set_q(2000);
    r.cp_last().set_prc(100);
    r.P(name.substr(0, 34), 100, "1");
    r.E(1, 3, 700);
    const std::string first = "  " + name.substr(0, 34);
    const std::string second = "  " + name.substr(34, 34);
    const std::string rest = name.substr(68);
    EXPECT_EQ(Body(5, 13),
              (std::vector<std::string>{
                  first, second, Row("  " + rest, {{39, "1.00 A"}}, 56),  // no quantity
                  first, second, "  " + rest, Row("  2. X 1.00 =", {{39, "2.00 A"}}, 48),
                  // An unwrapped name gets the value written over its characters 32 to 37.
                  "  " + name.substr(0, 31) + "1.00 A" + name.substr(37) + "       ", "  " + name,
                  Row("  2. X 1.00 =", {{39, "2.00 A"}}, 48),
                  // 34 characters are one piece; the value overwrites its last three.
                  "  " + name.substr(0, 31) + "1.00 A" + "    ", kSeparator,
                  Row("  Сума", {{37, "7.00"}}, 56)}));
}

TEST_F(ReceiptLayout, DiscountsAndMarkups) {
    auto r = Receipt(0);
    auto& percent_on_sum = r.D();  // the example: 5 %, on the sum, no tax group
    percent_on_sum.set_ty(1), percent_on_sum.set_tr(1), percent_on_sum.set_pr(5);
    percent_on_sum.set_sm(50);
    auto& amount_on_sum = r.D();
    amount_on_sum.set_ty(0), amount_on_sum.set_tr(1), amount_on_sum.set_pr(5);
    amount_on_sum.set_sm(50);
    auto& percent_on_tax = r.D();
    percent_on_tax.set_ty(1), percent_on_tax.set_tr(2), percent_on_tax.set_pr(10);
    percent_on_tax.set_sm(120), percent_on_tax.set_tx("2");
    auto& plain = r.D();
    plain.set_ty(1.9f), plain.set_tr(3), plain.set_pr(1), plain.set_sm(1), plain.set_tx("3");
    auto& markup = r.S();
    markup.set_ty(1), markup.set_tr(1), markup.set_pr(2.5f), markup.set_sm(25);
    markup.set_tx("1");
    auto& amount_markup = r.S();
    amount_markup.set_ty(0), amount_markup.set_pr(2.5f), amount_markup.set_sm(25);
    r.E(1, 4, 0);
    EXPECT_EQ(Body(5, 6), (std::vector<std::string>{
                              Row("    Знижка -5.00% на Суму", {{39, "-0.50 *"}}, 60),
                              Row("    Знижка  на Суму", {{39, "-0.50 *"}}, 54),
                              Row("    Знижка -10.00% на Податок", {{39, "-1.20 Б"}}, 64),
                              Row("    Знижка -1.00%", {{39, "-0.01 В"}}, 52),
                              Row("    Надбавка 2.50%", {{39, "0.25 A"}}, 53),
                              Row("    Надбавка 2.50", {{39, "0.25 *"}}, 52),
                          }));
}

TEST_F(ReceiptLayout, CreditPaymentWithTransactionAndChange) {
    auto r = Receipt(0);
    r.P("Кава", 2500, "1");
    r.M("КРЕДИТ", 800).set_rrn("909090909090");
    r.M("ГРОШІ", 2000).set_rm(300);
    r.E(1, 140, 2500).set_tx("1");
    r.e().set_txpr(20);
    r.e().set_txsm(417);
    const auto lines = Render();
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 6, lines.end()),
              Concat({{kSeparator, Row("  Сума", {{37, "25.00"}}, 56),
                       Row("       ПДВ_A A = ", {{22, "20.00%"}, {37, "4.17"}}, 52), kSeparator,
                       kSeparator, Row("  КРЕДИТ", {{37, "8.00"}}, 49), "  Транзакція N",
                       "  909090909090", Row("  ГРОШІ", {{37, "20.00"}}, 48),
                       Row("  Решта", {{37, "-3.00"}}, 42)},
                      Closing("  000000140", "         ФІСКАЛЬНИЙ ЧЕК")}));
}

TEST_F(ReceiptLayout, SingleTaxFormsUseSevenDigitsAndTaxEntriesEight) {
    // 12345678 hundredths: precision 7 gives 123456.80, precision 8 gives 123456.78.
    auto with_levy = Receipt(0, 0);
    with_levy.P("Пальне", 12345678, "2");
    sale_end& end = with_levy.E(1, 7, 12345678);
    end.set_tx("2"), end.set_txal(1), end.set_dtpr(7), end.set_dtsm(12345678);
    end.set_txpr(5), end.set_txsm(38);
    auto plain = Receipt(0, 1);
    plain.P("Пальне", 12345678, "1");
    sale_end& plain_end = plain.E(1, 8, 12345678);
    plain_end.set_tx("1"), plain_end.set_txpr(20), plain_end.set_txsm(12345678);
    auto entries = Receipt(0, 2);
    entries.P("Пальне", 12345678, "1");
    entries.E(1, 9, 12345678);
    entries.TX("1", 20, 12345678);

    const auto lines = Render();
    const std::string item = Row("  Пальне", {{39, "123456.78 A"}}, 50);
    const auto totals = [](std::vector<std::string> tail) {
        return Concat({{kSeparator, Row("  Сума", {{37, "123456.78"}}, 56)}, tail});
    };
    const auto receipt = [&](std::string item_line, std::vector<std::string> tail,
                             std::string_view number) {
        return Concat({Header(),
                       {"            Каса01", kSeparator, item_line},
                       totals(tail),
                       Closing(number, "         ФІСКАЛЬНИЙ ЧЕК")});
    };
    EXPECT_EQ(lines,
              Concat({receipt(Row("  Пальне", {{39, "123456.78 Б"}}, 50),
                              {Row("       ПДВ_Б Б = ", {{22, "7.00%"}, {37, "123456.80"}}, 52),
                               Row("  Акцз. збір Д = ", {{22, "5.00%"}, {37, "0.38"}}, 52),
                               kSeparator, kSeparator},
                              "  000000007"),
                      receipt(item,
                              {Row("       ПДВ_A A = ", {{22, "20.00%"}, {37, "123456.80"}}, 52),
                               kSeparator, kSeparator},
                              "  000000008"),
                      receipt(item,
                              {Row("       ПДВ_A A = ", {{22, "20.00%"}, {37, "123456.78"}}, 52),
                               kSeparator},
                              "  000000009")}));
}

TEST_F(ReceiptLayout, ReturnReceipt) {
    auto r = Receipt(1);
    r.P("Кава", 2500, "1");
    r.E(12, 141, 2500).set_tx("1");
    const auto lines = Render();
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[3], "            Каса12");
    EXPECT_EQ(lines[5], "               ПОВЕРНЕННЯ");
    EXPECT_EQ(lines[6], kSeparator);
    EXPECT_EQ(lines[lines.size() - 3], "         ВИДАТКОВИЙ ЧЕК");
}

TEST_F(ReceiptLayout, TypeComparedExactlyForTheMarkButTruncatedForTheTitle) {
    auto r = Receipt(1.5f);
    r.E(7, 1, 0);
    const auto lines = Render();
    EXPECT_EQ(lines, Concat({Header(),
                             {"            Каса07", kSeparator, kSeparator,
                              Row("  Сума", {{37, "0.00"}}, 56),
                              Row("       ПДВ_    = ", {{22, "0.00%"}, {37, "0.00"}}, 52),
                              kSeparator, kSeparator},
                             Closing("  000000001", "         ВИДАТКОВИЙ ЧЕК")}));
}

TEST_F(ReceiptLayout, CashDeskNumbers) {
    for (const auto& [cs, text] : std::vector<std::pair<float, std::string>>{{0, "Каса00"},
                                                                             {1, "Каса01"},
                                                                             {7.9f, "Каса07"},
                                                                             {9, "Каса09"},
                                                                             {10, "Каса10"},
                                                                             {12, "Каса12"}}) {
        rq model;
        dat& doc = test::AddDocument(model, 0);
        test::ReceiptBuilder(doc.check_at(0)).E(cs, 1, 0);
        std::vector<std::string> lines;
        RenderDocuments(model, kSelectChecks, lines, log_);
        EXPECT_EQ(test::ToUtf8(lines)[3], "            " + text);
    }
}

TEST_F(ReceiptLayout, CancelledReceipt) {
    auto sale = Receipt(0, 0);
    sale.P("Кава", 2500, "1");
    sale.VD();
    sale.M("ГРОШІ", 2500);
    sale.E(1, 150, 2500).set_vd(1);
    auto refund = Receipt(1, 1);
    refund.E(1, 151, 0).set_vd(1);
    EXPECT_EQ(Render(),
              Concat({Header(),
                      {"            Каса01", kSeparator, Row("  Кава", {{39, "25.00 A"}}, 48),
                       "       * ЧЕК АНУЛЬОВАНО *", Row("  ГРОШІ", {{37, "25.00"}}, 48)},
                      Closing("  000000150", ""),
                      Header(),
                      {"            Каса01", kSeparator, "               ПОВЕРНЕННЯ", kSeparator,
                       "       * ЧЕК АНУЛЬОВАНО *"},
                      Closing("  000000151", "         ВИДАТКОВИЙ ЧЕК")}));
}

TEST_F(ReceiptLayout, ServiceReceiptFullAndCashInOutLayouts) {
    auto r = Receipt(2);
    r.H("Службова інформація");
    r.I(10000);
    r.O(2500);
    r.M("ГРОШІ", 10000);
    r.E(1, 152, 0);
    const std::vector<std::string> body = {
        "            Каса01", kSeparator, "  Службова інформація",
        Row("  Внесок", {{37, "100.00"}}, 43), Row("  Видача", {{37, "-25.00"}}, 43)};
    const auto closing = Closing("  000000152", "         СЛУЖБОВИЙ ЧЕК");
    // The full layout has no totals for a service receipt but keeps its payments.
    EXPECT_EQ(Render(kSelectChecks),
              Concat({Header(), body, {Row("  ГРОШІ", {{37, "100.00"}}, 48)}, closing}));
    EXPECT_EQ(Render(kSelectCashInOut), Concat({Header(), body, closing}));
}

TEST_F(ReceiptLayout, ReceiptWithoutEndAndUnrecordedLines) {
    auto r = Receipt(0);
    r.L("Без кінця");
    model_.dat_at(0).check_at(0).set_l_count(2);  // a line element without N: counted only
    EXPECT_EQ(Render(), Concat({Header(),
                                {"            Каса00", kSeparator, "  Без кінця"},
                                Closing("  000000000", "         ФІСКАЛЬНИЙ ЧЕК")}));
}

TEST_F(ReceiptLayout, UnknownTypeHasNoTitle) {
    auto r = Receipt(3);
    r.E(1, 5, 0);
    const auto lines = Render();
    EXPECT_EQ(lines[lines.size() - 3], Row("  000000005", {{37, kStamp}}, 54));
}

}  // namespace
}  // namespace tavrelo
