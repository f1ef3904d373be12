#include "export/csv_export.h"

#include <array>

#include "common/cp1251.h"
#include "export/decimal_text.h"
#include "export/document_numbers.h"
#include "export/receipt_lines.h"
#include "model/vocabulary.h"

namespace tavrelo {
namespace {

enum Column {
    kDi,
    kReceipt,
    kTimestamp,
    kKind,
    kName,
    kQuantity,
    kPrice,
    kAmount,
    kLetter,
    kCount
};
using Row = std::array<std::string, kCount>;

void Append(std::string& out, const Row& row) {
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0) out += ',';
        out += CsvField(row[i]);
    }
    out += "\r\n";
}

std::string LetterText(const std::string& tx) {
    const auto letter = TaxGroupLetter(tx);
    return letter ? Cp1251ToUtf8(*letter) : std::string();
}

// The columns of one line from `name` on.
void FillLine(Row& row, check& receipt, const ReceiptLine& line, const DocumentNumbers& numbers) {
    const int i = line.index;
    switch (line.kind) {
        case kind_p:
        case kind_cp: {
            const int code = line.kind == kind_p ? code_p : code_cp;
            sale& item = line.kind == kind_p ? receipt.p_at(i) : receipt.cp_at(i);
            row[kKind] = line.kind == kind_p ? "item" : "item_cp";
            row[kName] = Cp1251ToUtf8(item.nm());
            if (numbers.Has(code, i, "Q"))
                row[kQuantity] = numbers.Scaled(code, i, "Q", item.q(), 3);
            if (numbers.Has(code, i, "PRC"))
                row[kPrice] = numbers.Amount(code, i, "PRC", item.prc());
            row[kAmount] = numbers.Amount(code, i, "SM", item.sm());
            row[kLetter] = LetterText(item.tx());
            break;
        }
        case kind_d:
        case kind_s: {
            const int code = line.kind == kind_d ? code_d : code_s;
            sale_up_down& change = line.kind == kind_d ? receipt.d_at(i) : receipt.s_at(i);
            row[kKind] = line.kind == kind_d ? "discount" : "markup";
            row[kAmount] = numbers.Amount(code, i, "SM", change.sm());
            row[kLetter] = LetterText(change.tx());
            break;
        }
        case kind_m: {
            sale_pay& pay = receipt.m_at(i);
            row[kKind] = "payment";
            row[kName] = Cp1251ToUtf8(pay.nm());
            row[kAmount] = numbers.Amount(code_m, i, "SM", pay.sm());
            break;
        }
        case kind_i:
        case kind_o: {
            const int code = line.kind == kind_i ? code_i : code_o;
            sale_in_out& cash = line.kind == kind_i ? receipt.i_at(i) : receipt.o_at(i);
            row[kKind] = line.kind == kind_i ? "cash_in" : "cash_out";
            row[kName] = Cp1251ToUtf8(cash.nm());
            row[kAmount] = numbers.Amount(code, i, "SM", cash.sm());
            break;
        }
        case kind_l:
            row[kKind] = "comment";
            row[kName] = Cp1251ToUtf8(receipt.l_at(i).text());
            break;
        case kind_h:
            row[kKind] = "service_info";
            row[kName] = Cp1251ToUtf8(receipt.h_at(i).text());
            break;
        default:
            row[kKind] = "cancel";
            break;
    }
}

}  // namespace

std::string CsvField(const std::string& utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string ExportCsv(rq& model, const ExactNumbers& numbers) {
    std::string out;
    Append(out, {"document", "receipt", "timestamp", "kind", "name", "quantity", "price", "amount",
                 "tax_letter"});
    for (int index = 0; index < model.cur(); ++index) {
        dat& document = model.dat_at(index);
        if (!document.is_check()) continue;
        check& receipt = document.check_at(document.cur_check());
        const DocumentNumbers values(numbers, index);
        Row base;
        base[kDi] = std::to_string(values.Integer(code_dat, 0, "DI", document.di()));
        base[kReceipt] = std::to_string(values.Integer(code_e, 0, "NO", receipt.e().no()));
        base[kTimestamp] = IsoTimestamp(document.ts().text()).value_or(document.ts().text());
        for (const ReceiptLine& line : OrderedLines(receipt)) {
            if (line.kind == kind_e) continue;
            Row row = base;
            FillLine(row, receipt, line, values);
            Append(out, row);
        }
    }
    return out;
}

}  // namespace tavrelo
