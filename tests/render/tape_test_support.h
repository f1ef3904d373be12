#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/cp1251.h"
#include "model/document.h"

// Expected tape lines are written in UTF-8 here and compared as UTF-8, so that a failing test
// shows readable text.
namespace tavrelo::test {

inline const std::string kSeparator = "  --------------------------------------";

// A line of exactly `length` columns: `text` from column 1, each value ending at its column, the
// rest spaces. Columns are counted in characters, as on the tape.
inline std::string Row(std::string_view text,
                       std::initializer_list<std::pair<int, std::string_view>> values,
                       std::size_t length) {
    std::string line = Utf8ToCp1251(text);
    line.resize(length, ' ');
    for (const auto& [end_column, value_utf8] : values) {
        const std::string value = Utf8ToCp1251(value_utf8);
        line.replace(static_cast<std::size_t>(end_column) - value.size(), value.size(), value);
    }
    line.resize(length, ' ');
    return Cp1251ToUtf8(line);
}

inline std::vector<std::string> ToUtf8(const std::vector<std::string>& cp1251_lines) {
    std::vector<std::string> out;
    for (const auto& line : cp1251_lines) out.push_back(Cp1251ToUtf8(line));
    return out;
}

inline std::string Cp(std::string_view utf8) { return Utf8ToCp1251(utf8); }

// Adds receipt lines the way the tree walk does: each takes the next line number and the next
// index of its kind.
class ReceiptBuilder {
  public:
    explicit ReceiptBuilder(check& receipt) : c_(receipt) {}

    sale& P(std::string_view name_utf8, float sm, std::string tx) {
        sale& item = c_.p_at(Take(kind_p, c_.p_count(), &check::set_p_count));
        Fill(item, name_utf8, sm, std::move(tx));
        return item;
    }
    sale& CP(std::string_view name_utf8, float sm, std::string tx) {
        sale& item = c_.cp_at(Take(kind_cp, c_.cp_count(), &check::set_cp_count));
        Fill(item, name_utf8, sm, std::move(tx));
        return item;
    }
    sale_up_down& D() { return c_.d_at(Take(kind_d, c_.d_count(), &check::set_d_count)); }
    sale_up_down& S() { return c_.s_at(Take(kind_s, c_.s_count(), &check::set_s_count)); }
    sale_pay& M(std::string_view name_utf8, float sm) {
        sale_pay& pay = c_.m_at(Take(kind_m, c_.m_count(), &check::set_m_count));
        pay.set_nm(Cp(name_utf8));
        pay.set_sm(sm);
        return pay;
    }
    sale_in_out& I(float sm) {
        sale_in_out& line = c_.i_at(Take(kind_i, c_.i_count(), &check::set_i_count));
        line.set_sm(sm);
        return line;
    }
    sale_in_out& O(float sm) {
        sale_in_out& line = c_.o_at(Take(kind_o, c_.o_count(), &check::set_o_count));
        line.set_sm(sm);
        return line;
    }
    void L(std::string_view text_utf8) {
        c_.l_at(Take(kind_l, c_.l_count(), &check::set_l_count)).set_text(Cp(text_utf8));
    }
    void H(std::string_view text_utf8) {
        c_.h_at(Take(kind_h, c_.h_count(), &check::set_h_count)).set_text(Cp(text_utf8));
    }
    void VD() { Take(kind_vd, c_.vd_count(), &check::set_vd_count); }
    sale_end& E(float cs, float no, float sm) {
        Take(kind_e, c_.e_count(), &check::set_e_count);
        sale_end& end = c_.e();
        end.set_cs(cs);
        end.set_no(no);
        end.set_sm(sm);
        return end;
    }
    sale& p_last() { return c_.p_at(c_.p_count() - 1); }
    sale& cp_last() { return c_.cp_at(c_.cp_count() - 1); }
    sale_end& e() { return c_.e(); }

    tx& TX(std::string group, float txpr, float txsm) {
        sale_end& end = c_.e();
        end.mark_tx();
        tx& entry = end.tx_at(end.tx_count());
        end.set_tx_count(end.tx_count() + 1);
        entry.set_group(std::move(group));
        entry.set_txpr(txpr);
        entry.set_txsm(txsm);
        return entry;
    }

  private:
    int Take(int kind, int index, void (check::*set_count)(int)) {
        c_.set_line(c_.line_no(), kind, index);
        (c_.*set_count)(index + 1);
        c_.set_line_no(c_.line_no() + 1);
        return index;
    }
    static void Fill(sale& item, std::string_view name_utf8, float sm, std::string tx) {
        item.set_nm(Cp(name_utf8));
        item.set_sm(sm);
        item.set_tx(std::move(tx));
    }

    check& c_;
};

// A document of `model` under `index` with the header fields of the example register.
inline dat& AddDocument(rq& model, int index, std::string_view ts = "20140430144200") {
    dat& doc = model.dat_at(index);
    doc.set_fn("5555555555");
    doc.set_zn("402400089");
    doc.ts().set_text(std::string(ts));
    if (model.cur() < index + 1) model.set_cur(index + 1);
    return doc;
}

inline std::vector<std::string> Header(std::string_view zn = "402400089",
                                       std::string_view fn = "5555555555") {
    return {"          ДП \"Компанія KERVA\"", "                м.Київ",
            "     ЗН " + std::string(zn) + "  ФН " + std::string(fn)};
}

inline std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

}  // namespace tavrelo::test
