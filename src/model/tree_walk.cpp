#include "model/tree_walk.h"

#include <charconv>
#include <utility>

#include "common/numbers.h"

namespace tavrelo {
namespace {

float Number(const std::string& text) { return ParseFloat(text); }

// The receipt and Z-report numbers widen the number ranges as integers, converted from the text
// itself rather than from the stored float, which is exact only up to 2^24.
int TruncatedNumber(const std::string& text) {
    ParseFloat(text);  // the same grammar and the same failure as every other number
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    long double wide = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), wide);
    return TruncToInt32(wide);
}

// Attributes shared by P and CP.
void StoreSale(check& chk, sale& line, int kind, int index, int code, std::string value) {
    switch (code) {
        case 0:
            line.set_n(Number(value));
            chk.set_line(chk.line_no(), kind, index);
            break;
        case 1:
            line.set_c(std::move(value));
            break;
        case 2:
            line.set_cd(std::move(value));
            break;
        case 3:
            line.set_nm(std::move(value));
            break;
        case 4:
            line.set_sm(Number(value));
            break;
        case 5:
            line.set_q(Number(value));
            break;
        case 6:
            line.set_prc(Number(value));
            break;
        case 7:
            line.set_tx(std::move(value));
            break;
        default:
            break;
    }
}

// Attributes shared by D and S.
void StoreUpDown(check& chk, sale_up_down& line, int kind, int index, int code, std::string value) {
    switch (code) {
        case 0:
            line.set_tr(Number(value));
            break;
        case 1:
            line.set_ty(Number(value));
            break;
        case 2:
            line.set_st(Number(value));
            break;
        case 3:
            line.set_ni(Number(value));
            break;
        case 4:
            line.set_tx(std::move(value));
            break;
        case 5:
            line.set_pr(Number(value));
            break;
        case 6:
            line.set_sm(Number(value));
            break;
        case 7:
            line.set_n(Number(value));
            chk.set_line(chk.line_no(), kind, index);
            break;
        default:
            break;
    }
}

// Attributes shared by I and O.
void StoreInOut(check& chk, sale_in_out& line, int kind, int index, int code, std::string value) {
    switch (code) {
        case 0:
            line.set_n(Number(value));
            chk.set_line(chk.line_no(), kind, index);
            break;
        case 1:
            line.set_t(Number(value));
            break;
        case 2:
            line.set_nm(std::move(value));
            break;
        case 3:
            line.set_sm(Number(value));
            break;
        default:
            break;
    }
}

void StorePay(check& chk, int code, std::string value) {
    if (code < 0 || code > 5) return;
    sale_pay& line = chk.m_at(chk.m_count());
    switch (code) {
        case 0:
            line.set_n(Number(value));
            chk.set_line(chk.line_no(), kind_m, chk.m_count());
            break;
        case 1:
            line.set_t(Number(value));
            break;
        case 2:
            line.set_nm(std::move(value));
            break;
        case 3:
            line.set_sm(Number(value));
            break;
        case 4:
            line.set_rm(Number(value));
            break;
        case 5:
            line.set_rrn(std::move(value));
            break;
        default:
            break;
    }
}

void StoreEnd(rq& model, check& chk, int code, std::string value) {
    sale_end& e = chk.e();
    switch (code) {
        case 0:
            e.set_n(Number(value));
            chk.set_line(chk.line_no(), kind_e, chk.e_count());
            break;
        case 1:
            e.set_no(Number(value));
            model.note_check_no(TruncatedNumber(value));
            break;
        case 2:
            e.set_sm(Number(value));
            break;
        case 3:
            e.set_se(Number(value));
            break;
        case 4:
            e.set_tx(std::move(value));
            break;
        case 5:
            e.set_txpr(Number(value));
            break;
        case 6:
            e.set_txsm(Number(value));
            break;
        case 7:
            e.set_dtpr(Number(value));
            break;
        case 8:
            e.set_dtsm(Number(value));
            break;
        case 9:
            e.set_txty(Number(value));
            break;
        case 10:
            e.set_txal(Number(value));
            break;
        case 11:
            e.set_cs(Number(value));
            break;
        case 12:
            e.set_vd(Number(value));
            break;
        case 13:
            e.set_ts(std::move(value));
            break;
        case 14:
            e.set_fn(std::move(value));
            break;
        default:
            break;  // NS, and codes no name has
    }
}

void StoreTax(sale_end& e, int code, std::string value) {
    e.mark_tx();
    if (code < 0 || code > 6) return;
    tx& entry = e.tx_at(e.tx_count());
    switch (code) {
        case 0:
            entry.set_group(std::move(value));
            break;
        case 1:
            entry.set_txpr(Number(value));
            break;
        case 2:
            entry.set_txsm(Number(value));
            break;
        case 3:
            entry.set_dtpr(Number(value));
            break;
        case 4:
            entry.set_dtsm(Number(value));
            break;
        case 5:
            entry.set_txty(Number(value));
            break;
        case 6:
            entry.set_txal(Number(value));
            break;
        default:
            break;
    }
}

void StoreTaxTotals(zvit& zv, int code, std::string value) {
    zv.mark_txs();
    if (code < 0 || code > 11) return;
    vid_tax& entry = zv.txs_at(zv.txs_count());
    switch (code) {
        case 0:
            entry.set_tx(std::move(value));
            break;
        case 1:
            entry.set_ts(std::move(value));
            break;
        case 2:
            entry.set_txpr(Number(value));
            break;
        case 3:
            entry.set_txi(Number(value));
            break;
        case 4:
            entry.set_txo(Number(value));
            break;
        case 5:
            entry.set_dtpr(Number(value));
            break;
        case 6:
            entry.set_dti(Number(value));
            break;
        case 7:
            entry.set_dto(Number(value));
            break;
        case 8:
            entry.set_txty(Number(value));
            break;
        case 9:
            entry.set_txal(Number(value));
            break;
        case 10:
            entry.set_smi(Number(value));
            break;
        case 11:
            entry.set_smo(Number(value));
            break;
        default:
            break;
    }
}

void StorePayTotals(zvit& zv, int code, std::string value) {
    zv.mark_m();
    if (code < 0 || code > 3) return;
    vid_pay& entry = zv.m_at(zv.m_count());
    switch (code) {
        case 0:
            entry.set_t(Number(value));
            break;
        case 1:
            entry.set_nm(std::move(value));
            break;
        case 2:
            entry.set_smi(Number(value));
            break;
        case 3:
            entry.set_smo(Number(value));
            break;
        default:
            break;
    }
}

void StoreCashTotals(zvit& zv, int code, std::string value) {
    zv.mark_io();
    if (code < 0 || code > 4) return;
    vid_rotate& entry = zv.io_at(zv.io_count());
    switch (code) {
        case 0:
            entry.set_t(Number(value));
            break;
        case 1:
            entry.set_nm(std::move(value));
            break;
        case 2:
            entry.set_smi(Number(value));
            break;
        case 3:
            entry.set_smo(Number(value));
            break;
        case 4:
            entry.set_smt(Number(value));
            break;
        default:
            break;
    }
}

void StoreReceiptCounts(zvit& zv, int code, std::string value) {
    zv.mark_nc();
    if (code < 0 || code > 1) return;
    count_check& entry = zv.nc_at(zv.nc_count());
    if (code == 0) {
        entry.set_ni(Number(value));
    } else {
        entry.set_no(Number(value));
    }
}

}  // namespace

int TreeWalk::TextCode(int elem) {
    switch (elem) {
        case code_mac:
            return 2;
        case code_ts:
            return 0;
        case code_l:
        case code_h:
            return 1;
        default:
            return -1;
    }
}

void TreeWalk::StoreValue(int code, std::string value) {
    switch (state_.current()) {
        case code_rq:
            if (code == 0) model_.set_v(Number(value));
            return;
        case code_dat: {
            dat& d = Doc();
            switch (code) {
                case 0:
                    d.set_fn(std::move(value));
                    break;
                case 1:
                    d.set_tn(std::move(value));
                    break;
                case 2:
                    d.set_zn(std::move(value));
                    break;
                case 3:
                    d.set_di(Number(value));
                    break;
                case 4:
                    d.set_dt(Number(value));
                    break;
                case 5:
                    d.set_v(Number(value));
                    break;
                default:
                    break;
            }
            return;
        }
        case code_mac:
            // The Base64 text (code 2) is not kept.
            if (code == 0) model_.mac_at(model_.cur()).set_di(Number(value));
            if (code == 1) model_.mac_at(model_.cur()).set_nt(Number(value));
            return;
        case code_c:
            // CN and ON are known but not kept.
            if (code == 0) {
                dat& d = Doc();
                d.check_at(d.cur_check()).set_t(Number(value));
                d.mark_check();
            }
            return;
        case code_z:
            if (code == 0) {
                dat& d = Doc();
                d.zvit_at(d.cur_zvit()).set_no(Number(value));
                model_.note_zvit_no(TruncatedNumber(value));
                d.mark_zvit();
            }
            return;
        case code_ts:
            if (code == 0) Doc().ts().set_text(std::move(value));
            return;
        default:
            break;
    }

    dat& d = Doc();
    const int elem = state_.current();
    if (elem >= code_txs && elem <= code_nc) {
        zvit& zv = d.zvit_at(d.cur_zvit());
        switch (elem) {
            case code_txs:
                StoreTaxTotals(zv, code, std::move(value));
                return;
            case code_z_m:
                StorePayTotals(zv, code, std::move(value));
                return;
            case code_io:
                StoreCashTotals(zv, code, std::move(value));
                return;
            default:
                StoreReceiptCounts(zv, code, std::move(value));
                return;
        }
    }

    check& chk = d.check_at(d.cur_check());
    switch (elem) {
        case code_p:
            if (code >= 0 && code <= 7) {
                StoreSale(chk, chk.p_at(chk.p_count()), kind_p, chk.p_count(), code,
                          std::move(value));
            }
            return;
        case code_cp:
            if (code >= 0 && code <= 7) {
                StoreSale(chk, chk.cp_at(chk.cp_count()), kind_cp, chk.cp_count(), code,
                          std::move(value));
            }
            return;
        case code_d:
            if (code >= 0 && code <= 7) {
                StoreUpDown(chk, chk.d_at(chk.d_count()), kind_d, chk.d_count(), code,
                            std::move(value));
            }
            return;
        case code_s:
            if (code >= 0 && code <= 7) {
                StoreUpDown(chk, chk.s_at(chk.s_count()), kind_s, chk.s_count(), code,
                            std::move(value));
            }
            return;
        case code_m:
            StorePay(chk, code, std::move(value));
            return;
        case code_i:
            if (code >= 0 && code <= 3) {
                StoreInOut(chk, chk.i_at(chk.i_count()), kind_i, chk.i_count(), code,
                           std::move(value));
            }
            return;
        case code_o:
            if (code >= 0 && code <= 3) {
                StoreInOut(chk, chk.o_at(chk.o_count()), kind_o, chk.o_count(), code,
                           std::move(value));
            }
            return;
        case code_l:
            if (code == 0) {
                chk.l_at(chk.l_count()).set_n(Number(value));
                chk.set_line(chk.line_no(), kind_l, chk.l_count());
            } else if (code == 1) {
                chk.l_at(chk.l_count()).set_text(std::move(value));
            }
            return;
        case code_h:
            // HP (2) and HT (3) are known but not kept.
            if (code == 0) {
                chk.h_at(chk.h_count()).set_n(Number(value));
                chk.set_line(chk.line_no(), kind_h, chk.h_count());
            } else if (code == 1) {
                chk.h_at(chk.h_count()).set_text(std::move(value));
            }
            return;
        case code_vd:
            if (code == 0) {
                chk.vd().set_n(Number(value));
                chk.set_line(chk.line_no(), kind_vd, chk.vd_count());
            } else if (code == 1) {
                chk.vd().set_ni(Number(value));
            }
            return;
        case code_e:
            StoreEnd(model_, chk, code, std::move(value));
            return;
        case code_tx:
            StoreTax(chk.e(), code, std::move(value));
            return;
        default:
            return;  // no other code can be entered
    }
}

void TreeWalk::AdvanceCounters() {
    const int elem = state_.current();
    if (elem < code_p || elem > code_tx) return;  // RQ, DAT, MAC, C, Z, TS count nothing

    dat& d = Doc();
    if (elem >= code_txs && elem <= code_nc) {
        zvit& zv = d.zvit_at(d.cur_zvit());
        switch (elem) {
            case code_txs:
                zv.set_txs_count(zv.txs_count() + 1);
                break;
            case code_z_m:
                zv.set_m_count(zv.m_count() + 1);
                break;
            case code_io:
                zv.set_io_count(zv.io_count() + 1);
                break;
            default:
                zv.set_nc_count(zv.nc_count() + 1);
                break;
        }
        return;
    }

    check& chk = d.check_at(d.cur_check());
    switch (elem) {
        case code_p:
            chk.set_p_count(chk.p_count() + 1);
            break;
        case code_cp:
            chk.set_cp_count(chk.cp_count() + 1);
            break;
        case code_d:
            chk.set_d_count(chk.d_count() + 1);
            break;
        case code_s:
            chk.set_s_count(chk.s_count() + 1);
            break;
        case code_m:
            chk.set_m_count(chk.m_count() + 1);
            break;
        case code_i:
            chk.set_i_count(chk.i_count() + 1);
            break;
        case code_o:
            chk.set_o_count(chk.o_count() + 1);
            break;
        case code_l:
            chk.set_l_count(chk.l_count() + 1);
            break;
        case code_h:
            chk.set_h_count(chk.h_count() + 1);
            break;
        case code_vd:
            chk.set_vd_count(chk.vd_count() + 1);
            break;
        case code_e:
            chk.set_e_count(chk.e_count() + 1);
            break;
        default:  // TX, a tax entry of the receipt end, takes no line number
            chk.e().set_tx_count(chk.e().tx_count() + 1);
            return;
    }
    chk.set_line_no(chk.line_no() + 1);
}

}  // namespace tavrelo
