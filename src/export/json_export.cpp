#include "export/json_export.h"

#include <nlohmann/json.hpp>

#include "common/cp1251.h"
#include "export/decimal_text.h"
#include "export/document_numbers.h"
#include "export/receipt_lines.h"
#include "model/vocabulary.h"

namespace tavrelo {
namespace {

using Json = nlohmann::ordered_json;

Json Text(const std::string& cp1251) { return Cp1251ToUtf8(cp1251); }

Json Letter(const std::string& tx) {
    const auto letter = TaxGroupLetter(tx);
    return letter ? Text(*letter) : Json(nullptr);
}

// A rate as the tape wrote it ("20.00"); null when it wrote none.
Json Rate(const DocumentNumbers& numbers, int code, int index, std::string_view attribute) {
    const std::string* text = numbers.Text(code, index, attribute);
    return text ? Json(*text) : Json(nullptr);
}

Json Timestamp(const std::string& digits) {
    const auto iso = IsoTimestamp(digits);
    return iso ? Json(*iso) : Json(nullptr);
}

class ReceiptJson {
  public:
    ReceiptJson(check& receipt, const DocumentNumbers& numbers)
        : receipt_(receipt), numbers_(numbers) {}

    Json Build() {
        sale_end& end = receipt_.e();
        Json out;
        out["type"] = numbers_.Integer(code_c, 0, "T", receipt_.t());
        out["number"] = numbers_.Integer(code_e, 0, "NO", end.no());
        out["cash_desk"] = numbers_.Integer(code_e, 0, "CS", end.cs());
        out["cancelled"] = numbers_.Integer(code_e, 0, "VD", end.vd()) == 1;
        out["lines"] = Json::array();
        out["payments"] = Json::array();
        for (const ReceiptLine& line : OrderedLines(receipt_)) {
            if (line.kind == kind_e) continue;
            Json entry = Line(line);
            if (line.kind == kind_m) out["payments"].push_back(entry);
            out["lines"].push_back(std::move(entry));
        }
        out["total"] = numbers_.Amount(code_e, 0, "SM", end.sm());
        out["taxes"] = Taxes();
        return out;
    }

  private:
    Json Line(const ReceiptLine& line) {
        Json out;
        out["line"] = line.line;
        const int i = line.index;
        switch (line.kind) {
            case kind_p:
            case kind_cp: {
                const int code = line.kind == kind_p ? code_p : code_cp;
                sale& item = line.kind == kind_p ? receipt_.p_at(i) : receipt_.cp_at(i);
                out["kind"] = line.kind == kind_p ? "item" : "item_cp";
                out["code"] = Text(item.c());
                out["cd"] = Text(item.cd());
                out["name"] = Text(item.nm());
                out["quantity"] = numbers_.Has(code, i, "Q")
                                      ? Json(numbers_.Scaled(code, i, "Q", item.q(), 3))
                                      : Json(nullptr);
                out["price"] = numbers_.Has(code, i, "PRC")
                                   ? Json(numbers_.Amount(code, i, "PRC", item.prc()))
                                   : Json(nullptr);
                out["amount"] = numbers_.Amount(code, i, "SM", item.sm());
                out["tax_group"] = Text(item.tx());
                out["tax_letter"] = Letter(item.tx());
                break;
            }
            case kind_d:
            case kind_s: {
                const int code = line.kind == kind_d ? code_d : code_s;
                sale_up_down& change = line.kind == kind_d ? receipt_.d_at(i) : receipt_.s_at(i);
                out["kind"] = line.kind == kind_d ? "discount" : "markup";
                out["applies_to"] = numbers_.Integer(code, i, "TR", change.tr());
                out["percent"] = numbers_.Integer(code, i, "TY", change.ty()) == 1;
                out["rate"] = Rate(numbers_, code, i, "PR");
                out["amount"] = numbers_.Amount(code, i, "SM", change.sm());
                out["item_line"] = numbers_.Integer(code, i, "NI", change.ni());
                out["st"] = numbers_.Integer(code, i, "ST", change.st());
                out["tax_group"] = Text(change.tx());
                out["tax_letter"] = Letter(change.tx());
                break;
            }
            case kind_m: {
                sale_pay& pay = receipt_.m_at(i);
                out["kind"] = "payment";
                out["form"] = numbers_.Integer(code_m, i, "T", pay.t());
                out["name"] = Text(pay.nm());
                out["amount"] = numbers_.Amount(code_m, i, "SM", pay.sm());
                out["change"] = numbers_.Amount(code_m, i, "RM", pay.rm());
                out["rrn"] = Text(pay.rrn());
                break;
            }
            case kind_i:
            case kind_o: {
                const int code = line.kind == kind_i ? code_i : code_o;
                sale_in_out& cash = line.kind == kind_i ? receipt_.i_at(i) : receipt_.o_at(i);
                out["kind"] = line.kind == kind_i ? "cash_in" : "cash_out";
                out["form"] = numbers_.Integer(code, i, "T", cash.t());
                out["name"] = Text(cash.nm());
                out["amount"] = numbers_.Amount(code, i, "SM", cash.sm());
                break;
            }
            case kind_l:
                out["kind"] = "comment";
                out["text"] = Text(receipt_.l_at(i).text());
                break;
            case kind_h:
                out["kind"] = "service_info";
                out["text"] = Text(receipt_.h_at(i).text());
                break;
            default:
                out["kind"] = "cancel";
                out["item_line"] = numbers_.Integer(code_vd, 0, "NI", receipt_.vd().ni());
                break;
        }
        return out;
    }

    Json Taxes() {
        sale_end& end = receipt_.e();
        Json taxes = Json::array();
        if (end.has_tx()) {
            for (int i = 0; i < end.tx_count(); ++i) {
                tx& group = end.tx_at(i);
                taxes.push_back(Tax(code_tx, i, group.group(), group.txsm(), group.dtsm(),
                                    group.txty(), group.txal()));
            }
        } else if (numbers_.Has(code_e, 0, "TX")) {
            taxes.push_back(
                Tax(code_e, 0, end.tx(), end.txsm(), end.dtsm(), end.txty(), end.txal()));
        }
        return taxes;
    }

    Json Tax(int code, int i, const std::string& group, float txsm, float dtsm, float txty,
             float txal) {
        Json out;
        out["tax_group"] = Text(group);
        out["tax_letter"] = Letter(group);
        out["rate"] = Rate(numbers_, code, i, "TXPR");
        out["amount"] = numbers_.Amount(code, i, "TXSM", txsm);
        out["levy_rate"] = Rate(numbers_, code, i, "DTPR");
        out["levy"] = numbers_.Amount(code, i, "DTSM", dtsm);
        out["txty"] = numbers_.Integer(code, i, "TXTY", txty);
        out["txal"] = numbers_.Integer(code, i, "TXAL", txal);
        return out;
    }

    check& receipt_;
    const DocumentNumbers& numbers_;
};

Json ZReport(zvit& report, const DocumentNumbers& numbers) {
    Json out;
    out["number"] = numbers.Integer(code_z, 0, "NO", report.no());
    Json cash = Json::array();
    for (int i = 0; i < report.io_count(); ++i) {
        vid_rotate& io = report.io_at(i);
        cash.push_back({{"form", numbers.Integer(code_io, i, "T", io.t())},
                        {"name", Text(io.nm())},
                        {"cash_in", numbers.Amount(code_io, i, "SMI", io.smi())},
                        {"cash_out", numbers.Amount(code_io, i, "SMO", io.smo())},
                        {"cash_in_drawer", numbers.Amount(code_io, i, "SMT", io.smt())}});
    }
    out["cash_in_out"] = std::move(cash);
    Json payments = Json::array();
    for (int i = 0; i < report.m_count(); ++i) {
        vid_pay& pay = report.m_at(i);
        payments.push_back({{"form", numbers.Integer(code_z_m, i, "T", pay.t())},
                            {"name", Text(pay.nm())},
                            {"sales", numbers.Amount(code_z_m, i, "SMI", pay.smi())},
                            {"returns", numbers.Amount(code_z_m, i, "SMO", pay.smo())}});
    }
    out["payments"] = std::move(payments);
    Json counts = Json::array();
    for (int i = 0; i < report.nc_count(); ++i) {
        count_check& nc = report.nc_at(i);
        counts.push_back({{"sales", numbers.Integer(code_nc, i, "NI", nc.ni())},
                          {"returns", numbers.Integer(code_nc, i, "NO", nc.no())}});
    }
    out["receipt_counts"] = std::move(counts);
    Json taxes = Json::array();
    for (int i = 0; i < report.txs_count(); ++i) {
        vid_tax& t = report.txs_at(i);
        taxes.push_back({{"tax_group", Text(t.tx())},
                         {"tax_letter", Letter(t.tx())},
                         {"since", Timestamp(t.ts())},
                         {"rate", Rate(numbers, code_txs, i, "TXPR")},
                         {"sales", numbers.Amount(code_txs, i, "SMI", t.smi())},
                         {"returns", numbers.Amount(code_txs, i, "SMO", t.smo())},
                         {"tax_sales", numbers.Amount(code_txs, i, "TXI", t.txi())},
                         {"tax_returns", numbers.Amount(code_txs, i, "TXO", t.txo())},
                         {"levy_rate", Rate(numbers, code_txs, i, "DTPR")},
                         {"levy_sales", numbers.Amount(code_txs, i, "DTI", t.dti())},
                         {"levy_returns", numbers.Amount(code_txs, i, "DTO", t.dto())},
                         {"txty", numbers.Integer(code_txs, i, "TXTY", t.txty())},
                         {"txal", numbers.Integer(code_txs, i, "TXAL", t.txal())}});
    }
    out["taxes"] = std::move(taxes);
    return out;
}

}  // namespace

std::string ExportJson(rq& model, const ExactNumbers& numbers) {
    Json documents = Json::array();
    for (int index = 0; index < model.cur(); ++index) {
        dat& document = model.dat_at(index);
        const DocumentNumbers values(numbers, index);
        Json out;
        out["di"] = values.Integer(code_dat, 0, "DI", document.di());
        out["fiscal_number"] = Text(document.fn());
        out["tax_number"] = Text(document.tn());
        out["serial_number"] = Text(document.zn());
        out["timestamp"] = Timestamp(document.ts().text());
        if (document.is_check()) {
            out["kind"] = "receipt";
            out["receipt"] = ReceiptJson(document.check_at(document.cur_check()), values).Build();
        } else {
            out["kind"] = "z_report";
            out["z_report"] = ZReport(document.zvit_at(document.cur_zvit()), values);
        }
        documents.push_back(std::move(out));
    }
    return documents.dump(2) + "\n";
}

}  // namespace tavrelo
