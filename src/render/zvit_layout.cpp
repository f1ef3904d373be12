// The Z-report (daily closing report) as the register printed it. Every line is added without a
// margin: the two value columns end at 24 and 37.
#include <climits>
#include <string>

#include "common/numbers.h"
#include "render/cp1251_literal.h"
#include "render/format_stamp.h"
#include "render/number_format.h"
#include "render/place_right.h"
#include "render/scale.h"
#include "render/tape_lines.h"
#include "render/tax_letter.h"

namespace tavrelo::tape {
namespace {

// The letter of the group after `index`, which the lines of a group with a levy carry. The index
// beyond the largest int is out of the letter range as well.
std::string NextTaxLetter(int index) { return TaxLetter(index == INT_MAX ? index : index + 1); }

// A line with a value ending at each of the two columns.
std::string TwoColumns(std::string line, const std::string& left, const std::string& right) {
    line = PlaceRight(std::move(line), left, kLeftAmountColumn);
    return PlaceRight(std::move(line), right, kAmountColumn);
}

const std::string kNoTurnover = Cat(std::string(20, ' '), "0.00      0.00");

void WritePaymentForms(zvit& report, Lines& out) {
    out.Add(std::string("  ------      Повернення    Продаж"_cp));
    // Both the lines and the totals are in single precision here.
    float returns = 0;
    float sales = 0;
    for (int k = 0; k < report.m_count(); ++k) {
        vid_pay& form = report.m_at(k);
        const float r = HundredthsSingle(form.smo());
        const float s = HundredthsSingle(form.smi());
        out.Add(TwoColumns(Cat("  ", form.nm()), Fixed2(r), Fixed2(s)));
        returns += r;
        sales += s;
    }
    out.Add(TwoColumns(std::string("  ВСЬОГО           "_cp), Fixed2(returns), Fixed2(sales)));
}

void WriteCashInOut(zvit& report, Lines& out) {
    out.Add(std::string("  ------         Видача     Внесок"_cp));
    for (int k = 0; k < report.io_count(); ++k) {
        vid_rotate& entry = report.io_at(k);
        out.Add(TwoColumns(Cat("  ", entry.nm()), Fixed2(Hundredths(entry.smo())),
                           Fixed2(Hundredths(entry.smi()))));
        out.Add(PlaceRight(Cat("  Готівка в касі"_cp, std::string(21, ' ')),
                           Fixed2(Hundredths(entry.smt())), kAmountColumn));
    }
}

void WriteSalesTurnover(zvit& report, Lines& out) {
    if (!report.has_txs()) {
        out.Add(kNoTurnover);
        return;
    }
    for (int k = 0; k < report.txs_count(); ++k) {
        vid_tax& group = report.txs_at(k);
        const int index = TaxIndex(group.tx());
        const bool levy = group.dti() != 0;
        if (levy) {
            const long double net = static_cast<long double>(group.smi()) - group.txi();
            out.Add(TwoColumns(Cat("  ДОД. "_cp, TaxLetter(index)), Fixed2(Hundredths(group.dti())),
                               Fixed2(Hundredths(net))));
        }
        out.Add(TwoColumns(Cat("  ДОД. "_cp, levy ? NextTaxLetter(index) : TaxLetter(index)),
                           Fixed2(Hundredths(group.txi())), Fixed2(Hundredths(group.smi()))));
    }
}

void WriteReturnsTurnover(zvit& report, Lines& out) {
    if (!report.has_txs()) {
        out.Add(kNoTurnover);
        return;
    }
    for (int k = 0; k < report.txs_count(); ++k) {
        vid_tax& group = report.txs_at(k);
        // The tax on returns is not printed; the left column carries the levy on returns.
        out.Add(TwoColumns(Cat("  ВІД. "_cp, TaxLetter(TaxIndex(group.tx()))),
                           Fixed2(Hundredths(group.dto())), Fixed2(Hundredths(group.smo()))));
    }
}

// The counts of all counter entries one after the other, or "0" without any.
template <class Count>
std::string Counts(zvit& report, Count count) {
    if (!report.has_nc()) return "0";
    std::string out;
    for (int k = 0; k < report.nc_count(); ++k) out += Whole(count(report.nc_at(k)));
    return out;
}

void WriteRates(zvit& report, Lines& out) {
    for (int k = 0; k < report.txs_count(); ++k) {
        vid_tax& group = report.txs_at(k);
        const int index = TaxIndex(group.tx());
        const bool levy = group.dtpr() != 0;
        if (levy) {
            out.Add(PlaceRight(Cat("    Акцизний збір"_cp, " (Вк2) "_cp, TaxLetter(index), " = "),
                               Cat(Fixed2(group.dtpr()), "%"), kAmountColumn));
        }
        const std::string letter = levy ? NextTaxLetter(index) : TaxLetter(index);
        out.Add(PlaceRight(Cat("            ПДВ_"_cp, letter, " (Вкл) "_cp, letter, " = "),
                           Cat(Fixed2(group.txpr()), "%"), kAmountColumn));
    }
}

}  // namespace

void WriteZvit(rq& model, dat& doc, Lines& out) {
    zvit& report = doc.zvit_at(0);
    WriteHeader(model, doc, out);
    out.Add(Cat("           Z-звіт N "_cp, IntToText(TruncToInt32(report.no()))));
    out.Add(std::string("              ЗАГАЛОМ"_cp));
    if (report.has_m()) WritePaymentForms(report, out);
    if (report.has_io()) WriteCashInOut(report, out);
    out.Add(std::string("  ------        Податок       Обіг"_cp));
    WriteSalesTurnover(report, out);
    out.Add(Cat("  Чеків продажу "_cp, Counts(report, [](count_check& c) { return c.ni(); })));
    WriteReturnsTurnover(report, out);
    out.Add(Cat("  Чеків повернення "_cp, Counts(report, [](count_check& c) { return c.no(); })));
    // Assigned, not initialised: clang 14 (the fuzz builds' compiler) crashes on this
    // declaration initialised from a "..."_cp literal.
    std::string tax_date;
    tax_date = "  Податок     від "_cp;
    if (report.has_txs()) {
        tax_date = PlaceRight(std::move(tax_date), FormatStamp(report.txs_at(0).ts(), false),
                              kAmountColumn);
    }
    out.Add(std::move(tax_date));
    if (report.has_txs()) WriteRates(report, out);
    out.Add(PlaceRight(std::string(8, ' '), FormatStamp(doc.ts().text(), true), kAmountColumn));
    out.Add(std::string("         ФІСКАЛЬНИЙ ЧЕК"_cp));
    out.Separator();
    out.Separator();
}

}  // namespace tavrelo::tape
