#include "audit/tape_audit.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "export/decimal_text.h"
#include "export/document_numbers.h"
#include "export/receipt_lines.h"
#include "model/vocabulary.h"
#include "render/cp1251_literal.h"

namespace tavrelo {
namespace {

// Concatenates CP1251 pieces and integers.
struct Piece {
    Piece(std::string_view piece) : text(piece) {}
    Piece(const std::string& piece) : text(piece) {}
    Piece(const char* piece) : text(piece) {}
    Piece(std::int64_t number) : text(std::to_string(number)) {}
    Piece(int number) : text(std::to_string(number)) {}
    std::string text;
};

std::string Cat(std::initializer_list<Piece> pieces) {
    std::string out;
    for (const Piece& piece : pieces) out.append(piece.text);
    return out;
}

std::string Money(std::int64_t hundredths) { return HundredthsText(hundredths); }

struct GroupSums {
    std::int64_t base = 0;
    std::int64_t tax = 0;
    std::int64_t levy = 0;
};

struct PaymentSum {
    std::string name;
    std::int64_t net = 0;
};

struct ReceiptFacts {
    std::int64_t number = 0;
    bool has_end = true;  // the receipt closes with an E element
    int type = 0;
    bool cancelled = false;
    std::int64_t total = 0;
    std::int64_t lines_sum = 0;
    std::map<std::int64_t, PaymentSum> payments;  // by payment form code
    std::map<std::string, GroupSums> groups;      // by tax group
    bool unattributed = false;                    // an adjustment of no known tax group
    std::int64_t cash_in = 0;
    std::int64_t cash_out = 0;
};

struct ZPayment {
    std::string name;
    std::int64_t sales = 0;
    std::int64_t returns = 0;
};

struct ZGroup {
    std::int64_t sales = 0, returns = 0, tax_sales = 0, tax_returns = 0, levy_sales = 0,
                 levy_returns = 0;
};

struct ZFacts {
    std::int64_t number = 0;
    std::map<std::int64_t, ZPayment> payments;
    std::map<std::string, ZGroup> groups;
    std::int64_t sale_receipts = 0, return_receipts = 0;
    std::int64_t cash_in = 0, cash_out = 0;
};

struct DocumentFacts {
    std::int64_t di = 0;
    bool is_receipt = true;
    ReceiptFacts receipt;
    ZFacts z;
};

class Auditor {
  public:
    Auditor(rq& model, const ExactNumbers& numbers) : model_(model), numbers_(numbers) {}

    AuditReport Run() {
        AuditReport report;
        report.documents = model_.cur() > 0 ? model_.cur() : 0;
        for (int index = 0; index < report.documents; ++index) Read(index);
        CheckNumbers();
        for (std::size_t at = 0; at < facts_.size(); ++at) {
            if (facts_[at].is_receipt) {
                CheckReceipt(at);
            } else {
                CheckZ(at);
                CheckShift(at);
            }
        }
        std::stable_sort(found_.begin(), found_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& [position, finding] : found_) report.findings.push_back(std::move(finding));
        return report;
    }

  private:
    void Warn(std::size_t at, std::string text) {
        found_.push_back({at, {FindingSeverity::kWarning, facts_[at].di, std::move(text)}});
    }
    void Note(std::size_t at, std::string text) {
        found_.push_back({at, {FindingSeverity::kNote, facts_[at].di, std::move(text)}});
    }

    // An amount in hundredths; a text that is no whole number of hundredths is itself reported.
    std::int64_t Amount(int element, int index, std::string_view attribute, float model_value) {
        if (!values_->IsWhole(element, index, attribute)) {
            inexact_.push_back(
                Cat({attribute, "=\"", *values_->Text(element, index, attribute), "\""}));
        }
        return values_->Integer(element, index, attribute, model_value);
    }

    void Read(int index) {
        dat& document = model_.dat_at(index);
        const DocumentNumbers values(numbers_, index);
        values_ = &values;
        inexact_.clear();
        DocumentFacts facts;
        facts.di = values.Integer(code_dat, 0, "DI", document.di());
        facts.is_receipt = document.is_check();
        if (facts.is_receipt) {
            facts.receipt = ReadReceipt(document.check_at(document.cur_check()));
        } else {
            facts.z = ReadZ(document.zvit_at(document.cur_zvit()));
        }
        facts_.push_back(std::move(facts));
        values_ = nullptr;
        if (!inexact_.empty()) {
            std::string list;
            for (const auto& text : inexact_) list += (list.empty() ? "" : ", ") + text;
            Warn(facts_.size() - 1, Cat({"суммы не в целых копейках: "_cp, list}));
        }
    }

    // The tax group of a discount or markup: its own, else that of the item line it names.
    std::optional<std::string> AdjustedGroup(check& receipt, sale_up_down& change) {
        std::string group = TaxGroupKey(change.tx());
        if (!group.empty()) return group;
        const line_ref item = receipt.line_at(static_cast<int>(change.ni()));
        if (item.kind == kind_p) return TaxGroupKey(receipt.p_at(item.index).tx());
        if (item.kind == kind_cp) return TaxGroupKey(receipt.cp_at(item.index).tx());
        return std::nullopt;
    }

    ReceiptFacts ReadReceipt(check& receipt) {
        ReceiptFacts facts;
        sale_end& end = receipt.e();
        facts.number = values_->Integer(code_e, 0, "NO", end.no());
        facts.has_end = receipt.e_count() > 0 || values_->Has(code_e, 0, "NO");
        facts.type = static_cast<int>(values_->Integer(code_c, 0, "T", receipt.t()));
        facts.cancelled =
            values_->Integer(code_e, 0, "VD", end.vd()) == 1 || receipt.vd_count() > 0;
        facts.total = Amount(code_e, 0, "SM", end.sm());
        const auto items = [&](int code, int count, auto&& at) {
            for (int i = 0; i < count; ++i) {
                sale& item = at(i);
                const std::int64_t sum = Amount(code, i, "SM", item.sm());
                facts.lines_sum += sum;
                facts.groups[TaxGroupKey(item.tx())].base += sum;
            }
        };
        items(code_p, receipt.p_count(), [&](int i) -> sale& { return receipt.p_at(i); });
        items(code_cp, receipt.cp_count(), [&](int i) -> sale& { return receipt.cp_at(i); });
        const auto adjustments = [&](int code, int count, int sign, auto&& at) {
            for (int i = 0; i < count; ++i) {
                sale_up_down& change = at(i);
                const std::int64_t sum = sign * Amount(code, i, "SM", change.sm());
                facts.lines_sum += sum;
                if (const auto group = AdjustedGroup(receipt, change)) {
                    facts.groups[*group].base += sum;
                } else {
                    facts.unattributed = true;
                }
            }
        };
        adjustments(code_d, receipt.d_count(), -1,
                    [&](int i) -> sale_up_down& { return receipt.d_at(i); });
        adjustments(code_s, receipt.s_count(), 1,
                    [&](int i) -> sale_up_down& { return receipt.s_at(i); });
        for (int i = 0; i < receipt.m_count(); ++i) {
            sale_pay& pay = receipt.m_at(i);
            PaymentSum& form = facts.payments[values_->Integer(code_m, i, "T", pay.t())];
            if (form.name.empty()) form.name = pay.nm();
            form.net += Amount(code_m, i, "SM", pay.sm()) - Amount(code_m, i, "RM", pay.rm());
        }
        for (int i = 0; i < receipt.i_count(); ++i) {
            facts.cash_in += Amount(code_i, i, "SM", receipt.i_at(i).sm());
        }
        for (int i = 0; i < receipt.o_count(); ++i) {
            facts.cash_out += Amount(code_o, i, "SM", receipt.o_at(i).sm());
        }
        if (end.has_tx()) {
            for (int i = 0; i < end.tx_count(); ++i) {
                tx& group = end.tx_at(i);
                GroupSums& sums = facts.groups[TaxGroupKey(group.group())];
                sums.tax += Amount(code_tx, i, "TXSM", group.txsm());
                sums.levy += Amount(code_tx, i, "DTSM", group.dtsm());
            }
        } else if (values_->Has(code_e, 0, "TX")) {
            GroupSums& sums = facts.groups[TaxGroupKey(end.tx())];
            sums.tax += Amount(code_e, 0, "TXSM", end.txsm());
            sums.levy += Amount(code_e, 0, "DTSM", end.dtsm());
        }
        return facts;
    }

    ZFacts ReadZ(zvit& report) {
        ZFacts facts;
        facts.number = values_->Integer(code_z, 0, "NO", report.no());
        for (int i = 0; i < report.m_count(); ++i) {
            vid_pay& pay = report.m_at(i);
            ZPayment& form = facts.payments[values_->Integer(code_z_m, i, "T", pay.t())];
            if (form.name.empty()) form.name = pay.nm();
            form.sales += Amount(code_z_m, i, "SMI", pay.smi());
            form.returns += Amount(code_z_m, i, "SMO", pay.smo());
        }
        for (int i = 0; i < report.txs_count(); ++i) {
            vid_tax& t = report.txs_at(i);
            ZGroup& group = facts.groups[TaxGroupKey(t.tx())];
            group.sales += Amount(code_txs, i, "SMI", t.smi());
            group.returns += Amount(code_txs, i, "SMO", t.smo());
            group.tax_sales += Amount(code_txs, i, "TXI", t.txi());
            group.tax_returns += Amount(code_txs, i, "TXO", t.txo());
            group.levy_sales += Amount(code_txs, i, "DTI", t.dti());
            group.levy_returns += Amount(code_txs, i, "DTO", t.dto());
        }
        for (int i = 0; i < report.nc_count(); ++i) {
            count_check& nc = report.nc_at(i);
            facts.sale_receipts += values_->Integer(code_nc, i, "NI", nc.ni());
            facts.return_receipts += values_->Integer(code_nc, i, "NO", nc.no());
        }
        for (int i = 0; i < report.io_count(); ++i) {
            vid_rotate& io = report.io_at(i);
            facts.cash_in += Amount(code_io, i, "SMI", io.smi());
            facts.cash_out += Amount(code_io, i, "SMO", io.smo());
        }
        return facts;
    }

    struct SequenceWords {
        std::string_view one_missing;   // "Пропущен чек № "
        std::string_view many_missing;  // "Пропущены чеки с № "
        std::string_view number_of;     // "Номер чека "
    };

    // Gaps between the numbers present, repeats, and a number lower than the one before it.
    void CheckSequence(const std::vector<std::pair<std::int64_t, std::size_t>>& numbers,
                       const SequenceWords& words) {
        std::map<std::int64_t, std::size_t> first_at;
        std::set<std::int64_t> repeated;
        for (std::size_t k = 0; k < numbers.size(); ++k) {
            const auto [number, at] = numbers[k];
            if (!first_at.emplace(number, at).second) {
                if (repeated.insert(number).second) {
                    Warn(at, Cat({words.number_of, number, " повторяется"_cp}));
                }
            } else if (k > 0 && number < numbers[k - 1].first) {
                Warn(at, Cat({words.number_of, number, " идёт после "_cp, numbers[k - 1].first}));
            }
        }
        for (auto it = first_at.begin(); it != first_at.end(); ++it) {
            const auto next = std::next(it);
            if (next == first_at.end() || next->first == it->first + 1) continue;
            const std::int64_t from = it->first + 1;
            const std::int64_t to = next->first - 1;
            Warn(next->second, from == to ? Cat({words.one_missing, from})
                                          : Cat({words.many_missing, from, " по № "_cp, to}));
        }
    }

    void CheckNumbers() {
        std::vector<std::pair<std::int64_t, std::size_t>> documents, receipts, reports;
        for (std::size_t at = 0; at < facts_.size(); ++at) {
            documents.push_back({facts_[at].di, at});
            if (facts_[at].is_receipt) {
                if (facts_[at].receipt.has_end) receipts.push_back({facts_[at].receipt.number, at});
            } else {
                reports.push_back({facts_[at].z.number, at});
            }
        }
        CheckSequence(documents, {"Пропущен документ № "_cp, "Пропущены документы с № "_cp,
                                  "Номер документа "_cp});
        CheckSequence(receipts, {"Пропущен чек № "_cp, "Пропущены чеки с № "_cp, "Номер чека "_cp});
        CheckSequence(reports, {"Пропущен Z-отчёт № "_cp, "Пропущены Z-отчёты с № "_cp,
                                "Номер Z-отчёта "_cp});
    }

    void CheckReceipt(std::size_t at) {
        const ReceiptFacts& r = facts_[at].receipt;
        if (!r.has_end) {
            // Without its end a receipt has no number, no total and no taxes to check.
            Warn(at, std::string("чек без строки итога: документ не завершён"_cp));
            return;
        }
        const std::string name = Cat({"чек № "_cp, r.number, ": "});
        // A cash in/out receipt sells nothing: its lines are no items and it takes no payment.
        const bool service = r.type == 2;
        if (r.cancelled) Note(at, Cat({"чек № "_cp, r.number, " аннулирован"_cp}));
        if (!service || r.lines_sum != 0) {
            if (r.lines_sum != r.total) {
                Warn(at, Cat({name, "сумма строк со скидками и надбавками "_cp, Money(r.lines_sum),
                              " не равна итогу "_cp, Money(r.total)}));
            }
        }
        if (r.cancelled || (service && r.payments.empty())) return;
        std::int64_t paid = 0;
        for (const auto& [form, sum] : r.payments) paid += sum.net;
        if (paid < r.total) {
            Warn(at, Cat({name, "оплата за вычетом сдачи "_cp, Money(paid),
                          " не покрывает итог "_cp, Money(r.total)}));
        } else if (paid > r.total) {
            Warn(at, Cat({name, "оплата за вычетом сдачи "_cp, Money(paid), " больше итога "_cp,
                          Money(r.total)}));
        }
    }

    void CheckZ(std::size_t at) {
        const ZFacts& z = facts_[at].z;
        std::int64_t pay_sales = 0, pay_returns = 0, tax_sales = 0, tax_returns = 0;
        for (const auto& [form, pay] : z.payments) {
            pay_sales += pay.sales;
            pay_returns += pay.returns;
        }
        for (const auto& [group, sums] : z.groups) {
            tax_sales += sums.sales;
            tax_returns += sums.returns;
        }
        const std::string name = Cat({"Z-отчёт № "_cp, z.number, ": "});
        if (pay_sales != tax_sales) {
            Warn(at, Cat({name, "продажи по формам оплаты "_cp, Money(pay_sales),
                          " не равны обороту продаж по налоговым группам "_cp, Money(tax_sales)}));
        }
        if (pay_returns != tax_returns) {
            Warn(at,
                 Cat({name, "возвраты по формам оплаты "_cp, Money(pay_returns),
                      " не равны обороту возвратов по налоговым группам "_cp, Money(tax_returns)}));
        }
    }

    // Where the shift of the Z-report at `at` begins on the tape (the position after the previous
    // Z-report, or 0 for the first Z-report of a tape that starts at document 1), when every
    // document of the shift is on the tape.
    std::optional<std::size_t> ShiftStart(std::size_t at) const {
        const std::int64_t previous = facts_[at].z.number - 1;
        for (std::size_t k = at; k-- > 0;) {
            if (facts_[k + 1].di != facts_[k].di + 1) return std::nullopt;
            if (!facts_[k].is_receipt) {
                if (facts_[k].z.number == previous) return k + 1;
                return std::nullopt;
            }
        }
        if (previous == 0 && facts_[0].di == 1) return 0;
        return std::nullopt;
    }

    void Compare(std::size_t at, std::string_view what, std::int64_t reported, std::int64_t counted,
                 bool money) {
        if (reported == counted) return;
        const auto text = [money](std::int64_t value) {
            return money ? Money(value) : std::to_string(value);
        };
        Warn(at, Cat({"Z-отчёт № "_cp, facts_[at].z.number, ": ", what, " в отчёте "_cp,
                      text(reported), ", по чекам смены "_cp, text(counted)}));
    }

    static std::string GroupName(const std::string& group) {
        const auto letter = TaxGroupLetter(group);
        return letter ? Cat({group, " (", *letter, ")"}) : group;
    }

    void CheckShift(std::size_t at) {
        const ZFacts& z = facts_[at].z;
        const auto start = ShiftStart(at);
        if (!start) {
            Note(at,
                 Cat({"Z-отчёт № "_cp, z.number,
                      ": не сверен с чеками смены, на ленте нет всей смены после Z-отчёта № "_cp,
                      z.number - 1}));
            return;
        }
        std::int64_t sale_receipts = 0, return_receipts = 0, cash_in = 0, cash_out = 0;
        std::int64_t sales_total = 0, returns_total = 0;
        bool unattributed = false;
        std::map<std::int64_t, ZPayment> payments;
        std::map<std::string, ZGroup> groups;
        for (std::size_t k = *start; k < at; ++k) {
            const ReceiptFacts& r = facts_[k].receipt;
            if (r.cancelled) continue;
            cash_in += r.cash_in;
            cash_out += r.cash_out;
            if (r.type != 0 && r.type != 1) continue;
            const bool sale = r.type == 0;
            (sale ? sale_receipts : return_receipts) += 1;
            (sale ? sales_total : returns_total) += r.lines_sum;
            unattributed = unattributed || r.unattributed;
            for (const auto& [form, sum] : r.payments) {
                ZPayment& pay = payments[form];
                if (pay.name.empty()) pay.name = sum.name;
                (sale ? pay.sales : pay.returns) += sum.net;
            }
            for (const auto& [group, sums] : r.groups) {
                ZGroup& g = groups[group];
                (sale ? g.sales : g.returns) += sums.base;
                (sale ? g.tax_sales : g.tax_returns) += sums.tax;
                (sale ? g.levy_sales : g.levy_returns) += sums.levy;
            }
        }
        Compare(at, "чеков продажи"_cp, z.sale_receipts, sale_receipts, false);
        Compare(at, "чеков возврата"_cp, z.return_receipts, return_receipts, false);
        Compare(at, "внесено"_cp, z.cash_in, cash_in, true);
        Compare(at, "выдано"_cp, z.cash_out, cash_out, true);

        std::set<std::int64_t> forms;
        for (const auto& [form, pay] : z.payments) forms.insert(form);
        for (const auto& [form, pay] : payments) forms.insert(form);
        for (const std::int64_t form : forms) {
            const auto reported = z.payments.find(form);
            const ZPayment none;
            const ZPayment& r = reported == z.payments.end() ? none : reported->second;
            const ZPayment& c = payments[form];
            const std::string label = Cat({"формы оплаты \""_cp, r.name.empty() ? c.name : r.name,
                                           "\" ("_cp, "код "_cp, form, ")"});
            Compare(at, Cat({"продажи "_cp, label}), r.sales, c.sales, true);
            Compare(at, Cat({"возвраты "_cp, label}), r.returns, c.returns, true);
        }

        std::set<std::string> names;
        for (const auto& [group, sums] : z.groups) names.insert(group);
        for (const auto& [group, sums] : groups) names.insert(group);
        std::int64_t reported_sales = 0, reported_returns = 0;
        for (const std::string& group : names) {
            const auto reported = z.groups.find(group);
            const ZGroup none;
            const ZGroup& r = reported == z.groups.end() ? none : reported->second;
            const ZGroup& c = groups[group];
            reported_sales += r.sales;
            reported_returns += r.returns;
            const std::string label = Cat({" группы "_cp, GroupName(group)});
            if (!unattributed) {
                Compare(at, Cat({"оборот продаж"_cp, label}), r.sales, c.sales, true);
                Compare(at, Cat({"оборот возвратов"_cp, label}), r.returns, c.returns, true);
            }
            Compare(at, Cat({"налог с продаж"_cp, label}), r.tax_sales, c.tax_sales, true);
            Compare(at, Cat({"налог с возвратов"_cp, label}), r.tax_returns, c.tax_returns, true);
            Compare(at, Cat({"сбор с продаж"_cp, label}), r.levy_sales, c.levy_sales, true);
            Compare(at, Cat({"сбор с возвратов"_cp, label}), r.levy_returns, c.levy_returns, true);
        }
        if (unattributed) {
            // Some discount or markup names no tax group: only the totals can be compared.
            Compare(at, "оборот продаж"_cp, reported_sales, sales_total, true);
            Compare(at, "оборот возвратов"_cp, reported_returns, returns_total, true);
        }
    }

    rq& model_;
    const ExactNumbers& numbers_;
    const DocumentNumbers* values_ = nullptr;
    std::vector<std::string> inexact_;
    std::vector<DocumentFacts> facts_;
    std::vector<std::pair<std::size_t, Finding>> found_;
};

}  // namespace

int AuditReport::warnings() const {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(), [](const Finding& f) {
        return f.severity == FindingSeverity::kWarning;
    }));
}

AuditReport AuditTape(rq& model, const ExactNumbers& numbers) {
    return Auditor(model, numbers).Run();
}

std::vector<std::string> AuditReportLines(const AuditReport& report) {
    std::vector<std::string> lines;
    for (const Finding& finding : report.findings) {
        lines.push_back(Cat(
            {finding.severity == FindingSeverity::kWarning ? "Предупреждение"_cp : "Сведения"_cp,
             ": "_cp, "документ "_cp, finding.document, ": ", finding.text}));
    }
    const int warnings = report.warnings();
    lines.push_back(Cat({"Проверено документов: "_cp, report.documents, ". ",
                         warnings == 0 ? std::string("Предупреждений нет."_cp)
                                       : Cat({"Предупреждений: "_cp, warnings, "."})}));
    return lines;
}

}  // namespace tavrelo
