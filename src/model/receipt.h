#pragma once

#include <map>
#include <string>

#include "model/field.h"
#include "model/find_or_create.h"

namespace tavrelo {

// Line kinds recorded in a receipt's line map.
enum line_kind : int {
    kind_none = 0,
    kind_p = 1,
    kind_cp = 2,
    kind_d = 3,
    kind_s = 4,
    kind_m = 5,
    kind_i = 6,
    kind_o = 7,
    kind_l = 8,
    kind_h = 9,
    kind_vd = 10,
    kind_e = 11,
};

// Where one line of a receipt is stored: its kind and its index in that kind's collection.
struct line_ref {
    int kind = kind_none;
    int index = 0;
    friend bool operator==(const line_ref&, const line_ref&) = default;
};

// An item line (P, and CP, laid out alike).
class sale {
    TAVRELO_FIELD(float, n, 0)
    TAVRELO_FIELD(std::string, c, {})
    TAVRELO_FIELD(std::string, cd, {})
    TAVRELO_FIELD(std::string, nm, {})
    TAVRELO_FIELD(float, sm, 0)
    TAVRELO_FIELD(float, q, 0)
    TAVRELO_FIELD(float, prc, 0)
    TAVRELO_FIELD(std::string, tx, {})
};

// A discount (D) or markup (S) line.
class sale_up_down {
    TAVRELO_FIELD(float, n, 0)
    TAVRELO_FIELD(float, tr, 0)
    TAVRELO_FIELD(float, ty, 0)
    TAVRELO_FIELD(float, st, 0)
    TAVRELO_FIELD(float, ni, 0)
    TAVRELO_FIELD(std::string, tx, {})
    TAVRELO_FIELD(float, pr, 0)
    TAVRELO_FIELD(float, sm, 0)
};

// A payment line (M inside C).
class sale_pay {
    TAVRELO_FIELD(float, n, 0)
    TAVRELO_FIELD(float, t, 0)
    TAVRELO_FIELD(std::string, nm, {})
    TAVRELO_FIELD(float, sm, 0)
    TAVRELO_FIELD(float, rm, 0)
    TAVRELO_FIELD(std::string, rrn, {})
};

// A cash-in (I) or cash-out (O) line.
class sale_in_out {
    TAVRELO_FIELD(float, n, 0)
    TAVRELO_FIELD(float, t, 0)
    TAVRELO_FIELD(std::string, nm, {})
    TAVRELO_FIELD(float, sm, 0)
};

// A comment line (L); `text` is the element's text.
class sale_comment {
    TAVRELO_FIELD(float, n, 0)
    TAVRELO_FIELD(std::string, text, {})
};

// A service-information line (H); `text` is the element's text.
class sale_serv_info {
    TAVRELO_FIELD(float, n, 0)
    TAVRELO_FIELD(std::string, text, {})
};

// The cancellation mark (VD).
class sale_cancel {
    TAVRELO_FIELD(float, n, 0)
    TAVRELO_FIELD(float, ni, 0)
};

// The tax of one tax group, a TX child of E. C++ allows no member named like its class, so the
// tax-group designation (the TX attribute) is reached as group() / set_group().
class tx {
    TAVRELO_FIELD(std::string, group, " ")
    TAVRELO_FIELD(float, txpr, 0)
    TAVRELO_FIELD(float, txsm, 0)
    TAVRELO_FIELD(float, dtpr, 0)
    TAVRELO_FIELD(float, dtsm, 0)
    TAVRELO_FIELD(float, txty, 0)
    TAVRELO_FIELD(float, txal, 0)
};

// The receipt end (E): totals, the single-tax attributes and the TX children.
class sale_end {
    TAVRELO_FIELD(float, n, 0)
    TAVRELO_FIELD(float, no, 0)
    TAVRELO_FIELD(float, sm, 0)
    TAVRELO_FIELD(float, se, 0)
    TAVRELO_FIELD(std::string, tx, "0")
    TAVRELO_FIELD(std::string, ts, "0")
    TAVRELO_FIELD(std::string, fn, "0")
    TAVRELO_FIELD(float, txpr, 0)
    TAVRELO_FIELD(float, txsm, 0)
    TAVRELO_FIELD(float, dtpr, 0)
    TAVRELO_FIELD(float, dtsm, 0)
    TAVRELO_FIELD(float, txty, 0)
    TAVRELO_FIELD(float, txal, 0)
    TAVRELO_FIELD(float, cs, 0)
    TAVRELO_FIELD(float, vd, 0)
    TAVRELO_FIELD(int, tx_count, 0)

public:
    sale_end() { clear_tx(); }

    class tx& tx_at(int i) { return find_or_create(tx_map_, i); }

    void mark_tx() { has_tx_ = true; }
    void clear_tx() { has_tx_ = false; }
    bool has_tx() const { return has_tx_; }

private:
    std::map<int, class tx> tx_map_;
    bool has_tx_ = false;
};

// A receipt (C): every line in a collection of its kind, and the line map that keeps their order.
class check {
    TAVRELO_FIELD(float, t, 0)
    TAVRELO_FIELD(int, p_count, 0)
    TAVRELO_FIELD(int, cp_count, 0)
    TAVRELO_FIELD(int, d_count, 0)
    TAVRELO_FIELD(int, s_count, 0)
    TAVRELO_FIELD(int, m_count, 0)
    TAVRELO_FIELD(int, i_count, 0)
    TAVRELO_FIELD(int, o_count, 0)
    TAVRELO_FIELD(int, l_count, 0)
    TAVRELO_FIELD(int, h_count, 0)
    TAVRELO_FIELD(int, vd_count, 0)
    TAVRELO_FIELD(int, e_count, 0)
    TAVRELO_FIELD(int, line_no, 1)

public:
    check() { reset_counters(); }

    sale& p_at(int i) { return find_or_create(p_map_, i); }
    sale& cp_at(int i) { return find_or_create(cp_map_, i); }
    sale_up_down& d_at(int i) { return find_or_create(d_map_, i); }
    sale_up_down& s_at(int i) { return find_or_create(s_map_, i); }
    sale_pay& m_at(int i) { return find_or_create(m_map_, i); }
    sale_in_out& i_at(int i) { return find_or_create(i_map_, i); }
    sale_in_out& o_at(int i) { return find_or_create(o_map_, i); }
    sale_comment& l_at(int i) { return find_or_create(l_map_, i); }
    sale_serv_info& h_at(int i) { return find_or_create(h_map_, i); }
    sale_cancel& vd() { return vd_; }
    sale_end& e() { return e_; }

    // The (kind, index) recorded for a line number; (0, 0), inserted, when none was recorded.
    line_ref& line_at(int line) { return find_or_create(line_map_, line); }
    void set_line(int line, int kind, int index) { line_at(line) = line_ref{kind, index}; }

    // The sum of the eleven counts, as 32-bit integers (line_no is not part of it).
    int line_count() const {
        return p_count_ + cp_count_ + d_count_ + s_count_ + m_count_ + i_count_ + o_count_ +
               l_count_ + h_count_ + vd_count_ + e_count_;
    }

    void reset_counters() {
        p_count_ = cp_count_ = d_count_ = s_count_ = m_count_ = i_count_ = o_count_ = 0;
        l_count_ = h_count_ = vd_count_ = e_count_ = 0;
        line_no_ = 1;
    }

private:
    std::map<int, sale> p_map_;
    std::map<int, sale> cp_map_;
    std::map<int, sale_up_down> d_map_;
    std::map<int, sale_up_down> s_map_;
    std::map<int, sale_pay> m_map_;
    std::map<int, sale_in_out> i_map_;
    std::map<int, sale_in_out> o_map_;
    std::map<int, sale_comment> l_map_;
    std::map<int, sale_serv_info> h_map_;
    sale_cancel vd_;
    sale_end e_;
    std::map<int, line_ref> line_map_;
};

}  // namespace tavrelo
