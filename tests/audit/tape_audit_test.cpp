#include "audit/tape_audit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "../export/load_tape.h"
#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "register/generator.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using testing::Response;
using testing::WalkedTape;

AuditReport Audit(const std::string& cp1251_xml) {
    WalkedTape tape(cp1251_xml);
    return AuditTape(tape.model, tape.numbers);
}

std::string ReportText(const AuditReport& report) {
    std::string text;
    for (const auto& line : AuditReportLines(report)) text += Cp1251ToUtf8(line) + "\n";
    return text;
}

// A consistent shift: Z-report 1 opens the tape, then a sale with a markup and a discount paid
// in cash with change, a return paid back by card, a cash deposit, and Z-report 2 with the
// shift's figures.
const std::string kShift =
    "<DAT DI=\"1\"><Z NO=\"1\"><IO NM=\"ГРОШІ\" SMI=\"0\" SMO=\"0\" SMT=\"0\" T=\"0\"/>"
    "<NC NI=\"0\" NO=\"0\"/></Z><TS>20170101080000</TS></DAT><MAC DI=\"1\"/>\n"
    "<DAT DI=\"2\"><C T=\"0\"><P N=\"1\" NM=\"Хліб\" SM=\"1000\" TX=\"1\"/>"
    "<S N=\"2\" NI=\"1\" SM=\"50\" TX=\"1\"/><D N=\"3\" NI=\"1\" SM=\"150\"/>"
    "<M N=\"4\" NM=\"ГРОШІ\" SM=\"1000\" RM=\"100\" T=\"0\"/>"
    "<E N=\"5\" NO=\"1\" SM=\"900\" TX=\"1\" TXPR=\"20.00\" TXSM=\"150\" DTSM=\"0\"/></C>"
    "<TS>20170101090000</TS></DAT><MAC DI=\"2\"/>\n"
    "<DAT DI=\"3\"><C T=\"1\"><P N=\"1\" NM=\"Сир\" SM=\"500\" TX=\"2\"/>"
    "<M N=\"2\" NM=\"КРЕДИТ\" SM=\"500\" T=\"1\"/>"
    "<E N=\"3\" NO=\"2\" SM=\"500\"><TX TX=\"2\" TXSM=\"0\" DTSM=\"25\"/></E></C>"
    "<TS>20170101100000</TS></DAT><MAC DI=\"3\"/>\n"
    "<DAT DI=\"4\"><C T=\"2\"><I N=\"1\" NM=\"ГРОШІ\" SM=\"2000\" T=\"0\"/>"
    "<E N=\"2\" NO=\"3\" SM=\"2000\"/></C><TS>20170101110000</TS></DAT><MAC DI=\"4\"/>\n"
    "<DAT DI=\"5\"><Z NO=\"2\"><IO NM=\"ГРОШІ\" SMI=\"2000\" SMO=\"0\" SMT=\"2900\" T=\"0\"/>"
    "<M NM=\"ГРОШІ\" SMI=\"900\" SMO=\"0\" T=\"0\"/><M NM=\"КРЕДИТ\" SMI=\"0\" SMO=\"500\" "
    "T=\"1\"/>"
    "<NC NI=\"1\" NO=\"1\"/>"
    "<TXS TX=\"1\" SMI=\"900\" SMO=\"0\" TXI=\"150\" TXO=\"0\" DTI=\"0\" DTO=\"0\"/>"
    "<TXS TX=\"2\" SMI=\"0\" SMO=\"500\" TXI=\"0\" TXO=\"0\" DTI=\"0\" DTO=\"25\"/></Z>"
    "<TS>20170101200000</TS></DAT><MAC DI=\"5\"/>\n";

std::string Edited(std::string text,
                   const std::vector<std::pair<std::string, std::string>>& edits) {
    for (const auto& [from, to] : edits) {
        const auto at = text.find(from);
        if (at == std::string::npos) {
            ADD_FAILURE() << "no " << from << " in the sample";
            continue;
        }
        text.replace(at, from.size(), to);
    }
    return text;
}

struct Expected {
    FindingSeverity severity;
    std::int64_t document;
    const char* text;  // UTF-8, the whole text of the finding
};

void ExpectFinding(const AuditReport& report, const Expected& expected) {
    for (const Finding& finding : report.findings) {
        if (finding.severity == expected.severity && finding.document == expected.document &&
            Cp1251ToUtf8(finding.text) == expected.text) {
            return;
        }
    }
    ADD_FAILURE() << "missing: document " << expected.document << ": " << expected.text
                  << "\nreport:\n"
                  << ReportText(report);
}

constexpr auto kWarning = FindingSeverity::kWarning;
constexpr auto kNote = FindingSeverity::kNote;

TEST(TapeAudit, ConsistentShiftYieldsNothing) {
    const AuditReport report = Audit(Utf8ToCp1251(Response(kShift)));
    EXPECT_EQ(report.documents, 5);
    EXPECT_TRUE(report.findings.empty()) << ReportText(report);
    EXPECT_EQ(ReportText(report), "Проверено документов: 5. Предупреждений нет.\n");
}

TEST(TapeAudit, DiscountOfNoKnownGroupIsComparedInTheTotalsOnly) {
    const AuditReport report = Audit(
        Utf8ToCp1251(Response(Edited(kShift, {{"<D N=\"3\" NI=\"1\"", "<D N=\"3\" NI=\"9\""}}))));
    EXPECT_TRUE(report.findings.empty()) << ReportText(report);
}

TEST(TapeAudit, GeneratedTapesAuditClean) {
    for (std::uint64_t seed : {1u, 2u, 3u, 4u}) {
        WalkedTape tape(GenerateTape(1500, seed));
        const AuditReport report = AuditTape(tape.model, tape.numbers);
        EXPECT_EQ(report.documents, 1500);
        EXPECT_EQ(report.warnings(), 0) << "seed " << seed << "\n" << ReportText(report);
    }
}

TEST(TapeAudit, BundledTapesMatchTheirGoldenReports) {
    for (const char* name : {"tape-8-12", "tape-20-29"}) {
        SCOPED_TRACE(name);
        WalkedTape tape(ReadFile(fs::path(TAVRELO_DATA_DIR) / (std::string(name) + ".xml")));
        EXPECT_EQ(ReportText(AuditTape(tape.model, tape.numbers)),
                  ReadFile(fs::path(TAVRELO_TEST_DATA_DIR) / "audit" /
                           (std::string(name) + ".audit.txt")));
    }
}

TEST(TapeAudit, FindsEachKindOfInconsistency) {
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> edits;
        Expected expected;
    } cases[] = {
        {"documents missing",
         {{"DI=\"5\"", "DI=\"7\""},
          {"DI=\"5\"", "DI=\"7\""},
          {"DI=\"4\"", "DI=\"6\""},
          {"DI=\"4\"", "DI=\"6\""}},
         {kWarning, 6, "Пропущены документы с № 4 по № 5"}},
        {"one document missing",
         {{"DI=\"5\"", "DI=\"6\""}},
         {kWarning, 6, "Пропущен документ № 5"}},
        {"document repeated",
         {{"DI=\"3\"", "DI=\"2\""}},
         {kWarning, 2, "Номер документа 2 повторяется"}},
        {"document out of order",
         {{"DI=\"3\"", "DI=\"0\""}},
         {kWarning, 0, "Номер документа 0 идёт после 2"}},
        {"receipts missing",
         {{"NO=\"3\" SM=\"2000\"", "NO=\"5\" SM=\"2000\""}},
         {kWarning, 4, "Пропущены чеки с № 3 по № 4"}},
        {"receipt repeated",
         {{"NO=\"2\" SM=\"500\"", "NO=\"1\" SM=\"500\""}},
         {kWarning, 3, "Номер чека 1 повторяется"}},
        {"Z-reports missing",
         {{"<Z NO=\"2\">", "<Z NO=\"4\">"}},
         {kWarning, 5, "Пропущены Z-отчёты с № 2 по № 3"}},
        {"Z-report repeated",
         {{"<Z NO=\"2\">", "<Z NO=\"1\">"}},
         {kWarning, 5, "Номер Z-отчёта 1 повторяется"}},
        {"lines do not add up",
         {{"SM=\"50\" TX=\"1\"", "SM=\"60\" TX=\"1\""}},
         {kWarning, 2, "чек № 1: сумма строк со скидками и надбавками 9.10 не равна итогу 9.00"}},
        {"payment short",
         {{"RM=\"100\"", "RM=\"150\""}},
         {kWarning, 2, "чек № 1: оплата за вычетом сдачи 8.50 не покрывает итог 9.00"}},
        {"payment over",
         {{"RM=\"100\"", "RM=\"50\""}},
         {kWarning, 2, "чек № 1: оплата за вычетом сдачи 9.50 больше итога 9.00"}},
        {"cancelled receipt",
         {{"SM=\"500\"><TX", "SM=\"500\" VD=\"1\"><TX"}},
         {kNote, 3, "чек № 2 аннулирован"}},
        {"cancelled receipt left out of the shift",
         {{"SM=\"500\"><TX", "SM=\"500\" VD=\"1\"><TX"}},
         {kWarning, 5, "Z-отчёт № 2: чеков возврата в отчёте 1, по чекам смены 0"}},
        {"payment forms against tax groups, sales",
         {{"<TXS TX=\"1\" SMI=\"900\"", "<TXS TX=\"1\" SMI=\"800\""}},
         {kWarning, 5,
          "Z-отчёт № 2: продажи по формам оплаты 9.00 не равны обороту продаж по налоговым "
          "группам 8.00"}},
        {"payment forms against tax groups, returns",
         {{"SMO=\"500\" TXI", "SMO=\"400\" TXI"}},
         {kWarning, 5,
          "Z-отчёт № 2: возвраты по формам оплаты 5.00 не равны обороту возвратов по налоговым "
          "группам 4.00"}},
        {"shift: group turnover",
         {{"<TXS TX=\"1\" SMI=\"900\"", "<TXS TX=\"1\" SMI=\"800\""}},
         {kWarning, 5,
          "Z-отчёт № 2: оборот продаж группы 1 (A) в отчёте 8.00, по чекам смены 9.00"}},
        {"shift: receipt count",
         {{"<NC NI=\"1\" NO=\"1\"/>", "<NC NI=\"2\" NO=\"1\"/>"}},
         {kWarning, 5, "Z-отчёт № 2: чеков продажи в отчёте 2, по чекам смены 1"}},
        {"shift: cash in",
         {{"SMI=\"2000\" SMO=\"0\" SMT", "SMI=\"2100\" SMO=\"0\" SMT"}},
         {kWarning, 5, "Z-отчёт № 2: внесено в отчёте 21.00, по чекам смены 20.00"}},
        {"shift: payment form",
         {{"SMI=\"900\" SMO=\"0\" T=\"0\"", "SMI=\"800\" SMO=\"0\" T=\"0\""},
          {"SMI=\"0\" SMO=\"500\" T=\"1\"", "SMI=\"100\" SMO=\"500\" T=\"1\""}},
         {kWarning, 5,
          "Z-отчёт № 2: продажи формы оплаты \"ГРОШІ\" (код 0) в отчёте 8.00, по чекам смены "
          "9.00"}},
        {"shift: tax",
         {{"TXI=\"150\"", "TXI=\"151\""}},
         {kWarning, 5,
          "Z-отчёт № 2: налог с продаж группы 1 (A) в отчёте 1.51, по чекам смены 1.50"}},
        {"shift: levy on returns",
         {{"DTO=\"25\"", "DTO=\"20\""}},
         {kWarning, 5,
          "Z-отчёт № 2: сбор с возвратов группы 2 (Б) в отчёте 0.20, по чекам смены 0.25"}},
        {"shift not wholly on the tape",
         {{kShift.substr(0, kShift.find('\n') + 1), ""}},
         {kNote, 5,
          "Z-отчёт № 2: не сверен с чеками смены, на ленте нет всей смены после Z-отчёта № 1"}},
        {"receipt without its end",
         {{"<E N=\"2\" NO=\"3\" SM=\"2000\"/>", ""}},
         {kWarning, 4, "чек без строки итога: документ не завершён"}},
        {"amount not in whole hundredths",
         {{"SM=\"50\" TX=\"1\"", "SM=\"50.5\" TX=\"1\""}},
         {kWarning, 2, "суммы не в целых копейках: SM=\"50.5\""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const AuditReport report = Audit(Utf8ToCp1251(Response(Edited(kShift, c.edits))));
        ExpectFinding(report, c.expected);
        if (c.expected.severity == kWarning) {
            EXPECT_GT(report.warnings(), 0);
        }
    }
}

TEST(TapeAudit, ComparesAmountsExactlyWhereFloatsAgree) {
    // 1677721701 and 1677721700 are the same 32-bit float.
    const AuditReport report = Audit(
        Response("<DAT DI=\"1\"><C T=\"0\"><P N=\"1\" SM=\"1677721701\" TX=\"1\"/>"
                 "<M N=\"2\" SM=\"1677721701\" T=\"0\"/><E N=\"3\" NO=\"1\" SM=\"1677721700\"/></C>"
                 "<TS>20170101090000</TS></DAT><MAC DI=\"1\"/>\n"));
    ExpectFinding(report, {kWarning, 1,
                           "чек № 1: сумма строк со скидками и надбавками 16777217.01 не равна "
                           "итогу 16777217.00"});
    ExpectFinding(report, {kWarning, 1,
                           "чек № 1: оплата за вычетом сдачи 16777217.01 больше итога "
                           "16777217.00"});
    EXPECT_EQ(report.warnings(), 2);
}

TEST(TapeAudit, ServiceReceiptsTakeNoPaymentAndEmptyTapesPass) {
    const AuditReport service = Audit(Utf8ToCp1251(Response(
        "<DAT DI=\"1\"><C T=\"2\"><O N=\"1\" NM=\"ГРОШІ\" SM=\"500\" T=\"0\"/>"
        "<E N=\"2\" NO=\"1\" SM=\"500\"/></C><TS>20170101090000</TS></DAT><MAC DI=\"1\"/>\n")));
    EXPECT_TRUE(service.findings.empty()) << ReportText(service);
    const AuditReport empty = Audit(Response(""));
    EXPECT_EQ(ReportText(empty), "Проверено документов: 0. Предупреждений нет.\n");
}

}  // namespace
}  // namespace tavrelo
