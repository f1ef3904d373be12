// The receipt as the register printed it: header, cash desk, body lines in their recorded order,
// totals, payments, number and date, title.
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

// Amounts of the receipt layout are scaled and rounded back to single precision before printing.
std::string Amount(float stored) { return Fixed2(HundredthsSingle(stored)); }

// Discount and markup lines alone read an empty tax group as "*".
int UpDownTaxIndex(const sale_up_down& line) {
    const std::string tx = line.tx();
    return tx.empty() ? 6 : TaxIndex(tx);
}

class ReceiptWriter {
  public:
    ReceiptWriter(rq& model, dat& doc, Lines& out)
        : model_(model), doc_(doc), receipt_(doc.check_at(0)), out_(out) {}

    void Write(bool with_payment) {
        WriteHeader(model_, doc_, out_);
        const int desk = TruncToInt32(receipt_.e().cs());
        out_.Add(Cat(desk > 9 ? "            Каса"_cp : "            Каса0"_cp, IntToText(desk)));
        out_.Separator();
        if (receipt_.t() == 1) {
            out_.Add(std::string("               ПОВЕРНЕННЯ"_cp));
            out_.Separator();
        }
        const int count = receipt_.line_count();
        for (int line = 1; line <= count; ++line) WriteBodyLine(receipt_.line_at(line));
        if (with_payment) {
            for (int line = 1; line <= count; ++line) {
                if (receipt_.line_at(line).kind == kind_e) WriteTotals();
            }
            for (int line = 1; line <= count; ++line) {
                const line_ref ref = receipt_.line_at(line);
                if (ref.kind == kind_m) WritePayment(receipt_.m_at(ref.index));
            }
        }
        WriteNumberAndDate();
        WriteTitle();
        out_.Separator();
        out_.Separator();
    }

  private:
    void WriteBodyLine(line_ref ref) {
        switch (ref.kind) {
            case kind_p:
                WriteItem(receipt_.p_at(ref.index), true);
                break;
            case kind_cp:
                WriteItem(receipt_.cp_at(ref.index), false);
                break;
            case kind_d:
                WriteDiscount(receipt_.d_at(ref.index));
                break;
            case kind_s:
                WriteMarkup(receipt_.s_at(ref.index));
                break;
            case kind_i:
                out_.Add(PlaceRight(std::string("  Внесок"_cp),
                                    Amount(receipt_.i_at(ref.index).sm()), kAmountColumn));
                break;
            case kind_o:
                out_.Add(PlaceRight(std::string("  Видача"_cp),
                                    Cat("-", Amount(receipt_.o_at(ref.index).sm())),
                                    kAmountColumn));
                break;
            case kind_l:
                out_.Add(Cat("  ", receipt_.l_at(ref.index).text()));
                break;
            case kind_h:
                out_.Add(Cat("  ", receipt_.h_at(ref.index).text()));
                break;
            default:
                break;  // none, payments, the cancellation mark and the end
        }
    }

    void WriteItem(const sale& item, bool wrap_name) {
        std::string name = item.nm();
        if (wrap_name && name.size() > 34) {
            // Cut from an offset and shorten once at the end: erasing each piece from the front
            // would copy the rest every time, quadratic in the length of a hostile name.
            std::size_t from = 0;
            while (name.size() - from > 34) {
                out_.Add(Cat("  ", std::string_view(name).substr(from, 34)));
                from += 34;
            }
            name.erase(0, from);
        }
        const std::string value = Cat(Amount(item.sm()), " ", TaxLetter(TaxIndex(item.tx())));
        if (item.q() != 0) {
            out_.Add(Cat("  ", name));
            const std::string quantity =
                Cat(Whole(ThousandthsSingle(item.q())), ". X ", Amount(item.prc()), " =");
            out_.AddWithMargin(PlaceRight(quantity, value, kAmountColumn));
        } else {
            out_.AddWithMargin(PlaceRight(Cat(name, "       "), value, kAmountColumn));
        }
    }

    void WriteDiscount(const sale_up_down& discount) {
        std::string line = Cat("  Знижка -"_cp, Fixed2(discount.pr()));
        if (TruncToInt32(discount.ty()) == 1) {
            line += "%";
        } else {
            line = std::string("  Знижка "_cp);
        }
        const int applies_to = TruncToInt32(discount.tr());
        if (applies_to == 1) line += " на Суму"_cp;
        if (applies_to == 2) line += " на Податок"_cp;
        const std::string value =
            Cat("-", Amount(discount.sm()), " ", TaxLetter(UpDownTaxIndex(discount)));
        out_.AddWithMargin(PlaceRight(line, value, kAmountColumn));
    }

    void WriteMarkup(const sale_up_down& markup) {
        std::string line = Cat("  Надбавка "_cp, Fixed2(markup.pr()));
        if (TruncToInt32(markup.ty()) == 1) line += "%";
        const std::string value = Cat(Amount(markup.sm()), " ", TaxLetter(UpDownTaxIndex(markup)));
        out_.AddWithMargin(PlaceRight(line, value, kAmountColumn));
    }

    void WriteTotals() {
        sale_end& end = receipt_.e();
        if (end.vd() == 1) {
            cancelled_ = true;
            out_.Add(std::string("       * ЧЕК АНУЛЬОВАНО *"_cp));
            return;
        }
        if (receipt_.t() == 2) return;  // a service receipt has no totals
        out_.Separator();
        out_.Add(
            PlaceRight(Cat("  Сума"_cp, std::string(15, ' ')), Amount(end.sm()), kAmountColumn));
        if (end.has_tx()) {
            for (int k = 0; k < end.tx_count(); ++k) {
                tx& entry = end.tx_at(k);
                WriteTaxLine(Cat("       ПДВ_"_cp, TaxPair(entry.group())), Fixed2(entry.txpr()),
                             Fixed2(HundredthsSingle(entry.txsm())));
            }
            out_.Separator();
        } else if (end.txal() != 0) {
            // This form carries the tax in the dt pair and the levy in the tx pair.
            WriteTaxLine(Cat("       ПДВ_"_cp, TaxPair(end.tx())), Fixed2Short(end.dtpr()),
                         Fixed2Short(HundredthsSingle(end.dtsm())));
            WriteTaxLine(std::string("  Акцз. збір Д = "_cp), Fixed2Short(end.txpr()),
                         Fixed2Short(HundredthsSingle(end.txsm())));
            out_.Separator();
            out_.Separator();
        } else {
            WriteTaxLine(Cat("       ПДВ_"_cp, TaxPair(end.tx())), Fixed2Short(end.txpr()),
                         Fixed2Short(HundredthsSingle(end.txsm())));
            out_.Separator();
            out_.Separator();
        }
    }

    // "A A = " for the tax-group text.
    static std::string TaxPair(const std::string& group) {
        const std::string letter = TaxLetter(TaxIndex(group));
        return Cat(letter, " ", letter, " = ");
    }

    // The rate's percent sign stands in column 22, the amount ends at column 37.
    void WriteTaxLine(std::string line, const std::string& rate, const std::string& amount) {
        line = PlaceRight(std::move(line), Cat(rate, "%        "), kRateColumn);
        out_.Add(PlaceRight(std::move(line), amount, kAmountColumn));
    }

    void WritePayment(const sale_pay& payment) {
        const std::string name = payment.nm();
        out_.Add(PlaceRight(Cat("  ", name, "      "), Fixed2Short(HundredthsSingle(payment.sm())),
                            kAmountColumn));
        if (name == "КРЕДИТ"_cp) {
            out_.Add(std::string("  Транзакція N"_cp));
            out_.Add(Cat("  ", payment.rrn()));
        }
        if (payment.rm() != 0) {
            out_.Add(PlaceRight(std::string("  Решта"_cp), Cat("-", Amount(payment.rm())),
                                kAmountColumn));
        }
    }

    void WriteNumberAndDate() {
        std::string line =
            PlaceRight("  000000000", ReceiptNumber(receipt_.e().no()), kReceiptNumberColumn);
        line.append(8, ' ');
        out_.Add(PlaceRight(std::move(line), FormatStamp(doc_.ts().text(), true), kAmountColumn));
    }

    void WriteTitle() {
        switch (TruncToInt32(receipt_.t())) {
            case 0:
                if (!cancelled_) out_.Add(std::string("         ФІСКАЛЬНИЙ ЧЕК"_cp));
                break;
            case 1:
                out_.Add(std::string("         ВИДАТКОВИЙ ЧЕК"_cp));
                break;
            case 2:
                out_.Add(std::string("         СЛУЖБОВИЙ ЧЕК"_cp));
                break;
            default:
                break;
        }
    }

    rq& model_;
    dat& doc_;
    check& receipt_;
    Lines& out_;
    bool cancelled_ = false;  // set by the totals of a void receipt, read by the title
};

}  // namespace

void WriteReceipt(rq& model, dat& doc, Lines& out, bool with_payment) {
    ReceiptWriter(model, doc, out).Write(with_payment);
}

}  // namespace tavrelo::tape
