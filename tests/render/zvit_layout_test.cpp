// The Z-report layout, on Z-reports built by hand.
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

class ZvitLayout : public ::testing::Test {
  protected:
    zvit& Report(float no, int index = 0) {
        dat& doc = test::AddDocument(model_, index);
        doc.mark_zvit();
        zvit& report = doc.zvit_at(0);
        report.set_no(no);
        return report;
    }

    std::vector<std::string> Render() {
        std::vector<std::string> lines;
        EXPECT_EQ(RenderDocuments(model_, kSelectZvits, lines, log_), 0);
        return test::ToUtf8(lines);
    }

    static vid_pay& AddPay(zvit& z, std::string_view nm, float smi, float smo) {
        z.mark_m();
        vid_pay& form = z.m_at(z.m_count());
        z.set_m_count(z.m_count() + 1);
        form.set_nm(test::Cp(nm)), form.set_smi(smi), form.set_smo(smo);
        return form;
    }
    static vid_rotate& AddIo(zvit& z, std::string_view nm, float smi, float smo, float smt) {
        z.mark_io();
        vid_rotate& io = z.io_at(z.io_count());
        z.set_io_count(z.io_count() + 1);
        io.set_nm(test::Cp(nm)), io.set_smi(smi), io.set_smo(smo), io.set_smt(smt);
        return io;
    }
    static void AddNc(zvit& z, float ni, float no) {
        z.mark_nc();
        count_check& nc = z.nc_at(z.nc_count());
        z.set_nc_count(z.nc_count() + 1);
        nc.set_ni(ni), nc.set_no(no);
    }
    static vid_tax& AddTxs(zvit& z, std::string tx, float txpr, float txi, float smi) {
        z.mark_txs();
        vid_tax& g = z.txs_at(z.txs_count());
        z.set_txs_count(z.txs_count() + 1);
        g.set_tx(std::move(tx)), g.set_ts("20140430"), g.set_txpr(txpr), g.set_txi(txi);
        g.set_smi(smi);
        return g;
    }

    rq model_;
    std::filesystem::path log_ = UniqueTempPath("zvit.log");
};

const std::vector<std::string> kClosing = {Row("", {{37, "30.04.2014  14:42"}}, 43),
                                           "         ФІСКАЛЬНИЙ ЧЕК", kSeparator, kSeparator};

TEST_F(ZvitLayout, DailyReportWithPaymentsAndThreeTaxGroups) {
    zvit& z = Report(52);
    AddIo(z, "ГРОШІ", 0, 0, 1200);
    AddPay(z, "ГРОШІ", 1200, 0);
    AddNc(z, 1, 0);
    AddTxs(z, "1", 20, 167, 1000);
    AddTxs(z, "2", 0, 0, 100);
    AddTxs(z, "3", 20, 17, 100);
    EXPECT_EQ(Render(), Concat({Header(),
                                {"           Z-звіт N 52",
                                 "              ЗАГАЛОМ",
                                 "  ------      Повернення    Продаж",
                                 Row("  ГРОШІ", {{24, "0.00"}, {37, "12.00"}}, 42),
                                 Row("  ВСЬОГО", {{24, "0.00"}, {37, "12.00"}}, 54),
                                 "  ------         Видача     Внесок",
                                 Row("  ГРОШІ", {{24, "0.00"}, {37, "0.00"}}, 42),
                                 Row("  Готівка в касі", {{37, "12.00"}}, 72),
                                 "  ------        Податок       Обіг",
                                 Row("  ДОД. A", {{24, "1.67"}, {37, "10.00"}}, 43),
                                 Row("  ДОД. Б", {{24, "0.00"}, {37, "1.00"}}, 43),
                                 Row("  ДОД. В", {{24, "0.17"}, {37, "1.00"}}, 43),
                                 "  Чеків продажу 1",
                                 Row("  ВІД. A", {{24, "0.00"}, {37, "0.00"}}, 43),
                                 Row("  ВІД. Б", {{24, "0.00"}, {37, "0.00"}}, 43),
                                 Row("  ВІД. В", {{24, "0.00"}, {37, "0.00"}}, 43),
                                 "  Чеків повернення 0",
                                 Row("  Податок     від", {{37, "30.04.2014  "}}, 53),
                                 Row("            ПДВ_A (Вкл) A = ", {{37, "20.00%"}}, 63),
                                 Row("            ПДВ_Б (Вкл) Б = ", {{37, "0.00%"}}, 63),
                                 Row("            ПДВ_В (Вкл) В = ", {{37, "20.00%"}}, 63)},
                                kClosing}));
    // Two of the lines spelled out.
    const auto lines = Render();
    EXPECT_EQ(lines[6], "  ГРОШІ" + std::string(13, ' ') + "0.00" + std::string(8, ' ') + "12.00" +
                            std::string(5, ' '));
    EXPECT_EQ(lines[21], "            ПДВ_A (Вкл) A =    20.00%" + std::string(26, ' '));
}

TEST_F(ZvitLayout, OnlyCashInOutAndCounters) {
    zvit& z = Report(54);
    AddIo(z, "ГРОШІ", 0, 0, 0);
    AddNc(z, 0, 0);
    EXPECT_EQ(Render(),
              Concat({Header(),
                      {"           Z-звіт N 54", "              ЗАГАЛОМ",
                       "  ------         Видача     Внесок",
                       Row("  ГРОШІ", {{24, "0.00"}, {37, "0.00"}}, 42),
                       Row("  Готівка в касі", {{37, "0.00"}}, 72),
                       "  ------        Податок       Обіг", "                    0.00      0.00",
                       "  Чеків продажу 0", "                    0.00      0.00",
                       "  Чеків повернення 0", "  Податок     від "},
                      kClosing}));
}

TEST_F(ZvitLayout, EmptyReportPrintsZeroCounts) {
    Report(0);
    const auto lines = Render();
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[5], "  ------        Податок       Обіг");
    EXPECT_EQ(lines[7], "  Чеків продажу 0");
    EXPECT_EQ(lines[9], "  Чеків повернення 0");
}

TEST_F(ZvitLayout, LeviesShiftTheLetterOfTheirGroup) {
    zvit& z = Report(60);
    vid_tax& fuel = AddTxs(z, "1", 20, 150, 1000);
    fuel.set_dti(50), fuel.set_dtpr(5), fuel.set_dto(10), fuel.set_smo(200);
    AddTxs(z, "2", 7, 70, 1000);
    const auto lines = Render();
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.end() - 4),
              (std::vector<std::string>{
                  "  ------        Податок       Обіг",
                  Row("  ДОД. A", {{24, "0.50"}, {37, "8.50"}}, 43),
                  Row("  ДОД. Б", {{24, "1.50"}, {37, "10.00"}}, 43),
                  Row("  ДОД. Б", {{24, "0.70"}, {37, "10.00"}}, 43),
                  "  Чеків продажу 0",
                  Row("  ВІД. A", {{24, "0.10"}, {37, "2.00"}}, 43),
                  Row("  ВІД. Б", {{24, "0.00"}, {37, "0.00"}}, 43),
                  "  Чеків повернення 0",
                  Row("  Податок     від", {{37, "30.04.2014  "}}, 53),
                  Row("    Акцизний збір (Вк2) A = ", {{37, "5.00%"}}, 63),
                  Row("            ПДВ_Б (Вкл) Б = ", {{37, "20.00%"}}, 63),
                  Row("            ПДВ_Б (Вкл) Б = ", {{37, "7.00%"}}, 63),
              }));
}

TEST_F(ZvitLayout, CountersNumberAndPaymentSumsInSinglePrecision) {
    zvit& z = Report(52.9f);
    // 16777215 hundredths: 167772.16 once rounded to single precision, 167772.15 as computed.
    AddPay(z, "ГРОШІ", 16777215, 0);
    AddPay(z, "КРЕДИТ", 100, 250);
    AddIo(z, "ГРОШІ", 16777215, 0, 16777215);
    AddNc(z, 3, 0);
    AddNc(z, 4, 1);
    const auto lines = Render();
    ASSERT_GE(lines.size(), 16u);
    EXPECT_EQ(lines[3], "           Z-звіт N 52");
    EXPECT_EQ(lines[6], Row("  ГРОШІ", {{24, "0.00"}, {37, "167772.16"}}, 42));
    EXPECT_EQ(lines[7], Row("  КРЕДИТ", {{24, "2.50"}, {37, "1.00"}}, 43));
    EXPECT_EQ(lines[8], Row("  ВСЬОГО", {{24, "2.50"}, {37, "167773.16"}}, 54));
    EXPECT_EQ(lines[10], Row("  ГРОШІ", {{24, "0.00"}, {37, "167772.15"}}, 42));
    EXPECT_EQ(lines[11], Row("  Готівка в касі", {{37, "167772.15"}}, 72));
    EXPECT_EQ(lines[14], "  Чеків продажу 34");
    EXPECT_EQ(lines[16], "  Чеків повернення 01");
}

TEST_F(ZvitLayout, EachCashInOutEntryHasItsOwnDrawerLine) {
    zvit& z = Report(61);
    AddIo(z, "ГРОШІ", 5000, 1000, 4000);
    AddIo(z, "КАРТКА", 0, 0, 0);
    const auto lines = Render();
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.begin() + 10),
              (std::vector<std::string>{"  ------         Видача     Внесок",
                                        Row("  ГРОШІ", {{24, "10.00"}, {37, "50.00"}}, 42),
                                        Row("  Готівка в касі", {{37, "40.00"}}, 72),
                                        Row("  КАРТКА", {{24, "0.00"}, {37, "0.00"}}, 43),
                                        Row("  Готівка в касі", {{37, "0.00"}}, 72)}));
}

TEST_F(ZvitLayout, FirstDocumentGivesTheFiscalNumber) {
    test::AddDocument(model_, 0).set_fn("1111111111");
    model_.dat_at(0).mark_zvit();
    Report(2, 1).set_no(2);
    model_.dat_at(1).set_zn("999");
    const auto lines = Render();
    ASSERT_GE(lines.size(), 18u);
    EXPECT_EQ(lines[2], "     ЗН 402400089  ФН 1111111111");
    EXPECT_EQ(lines[17], "     ЗН 999  ФН 1111111111");
}

}  // namespace
}  // namespace tavrelo
