#pragma once

#include <map>
#include <string>

#include "model/field.h"
#include "model/find_or_create.h"

namespace tavrelo {

// Totals of one tax group of a Z-report (TXS).
class vid_tax {
    TAVRELO_FIELD(std::string, tx, {})
    TAVRELO_FIELD(std::string, ts, {})
    TAVRELO_FIELD(float, txpr, 0)
    TAVRELO_FIELD(float, txi, 0)
    TAVRELO_FIELD(float, txo, 0)
    TAVRELO_FIELD(float, dtpr, 0)
    TAVRELO_FIELD(float, dti, 0)
    TAVRELO_FIELD(float, dto, 0)
    TAVRELO_FIELD(float, txty, 0)
    TAVRELO_FIELD(float, txal, 0)
    TAVRELO_FIELD(float, smi, 0)
    TAVRELO_FIELD(float, smo, 0)
};

// Totals of one payment form of a Z-report (M inside Z).
class vid_pay {
    TAVRELO_FIELD(float, t, 0)
    TAVRELO_FIELD(std::string, nm, {})
    TAVRELO_FIELD(float, smi, 0)
    TAVRELO_FIELD(float, smo, 0)
};

// Cash put in and taken out, per payment form (IO).
class vid_rotate {
    TAVRELO_FIELD(float, t, 0)
    TAVRELO_FIELD(std::string, nm, {})
    TAVRELO_FIELD(float, smi, 0)
    TAVRELO_FIELD(float, smo, 0)
    TAVRELO_FIELD(float, smt, 0)
};

// Receipt counters (NC).
class count_check {
    TAVRELO_FIELD(float, ni, 0)
    TAVRELO_FIELD(float, no, 0)
};

// A Z-report (Z): its number, the four kinds of entries, a count and a presence flag for each.
class zvit {
    TAVRELO_FIELD(float, no, 0)
    TAVRELO_FIELD(int, txs_count, 0)
    TAVRELO_FIELD(int, m_count, 0)
    TAVRELO_FIELD(int, io_count, 0)
    TAVRELO_FIELD(int, nc_count, 0)

public:
    zvit() { reset_counters(); }

    vid_tax& txs_at(int i) { return find_or_create(txs_map_, i); }
    vid_pay& m_at(int i) { return find_or_create(m_map_, i); }
    vid_rotate& io_at(int i) { return find_or_create(io_map_, i); }
    count_check& nc_at(int i) { return find_or_create(nc_map_, i); }

    void mark_txs() { has_txs_ = true; }
    void mark_m() { has_m_ = true; }
    void mark_io() { has_io_ = true; }
    void mark_nc() { has_nc_ = true; }
    bool has_txs() const { return has_txs_; }
    bool has_m() const { return has_m_; }
    bool has_io() const { return has_io_; }
    bool has_nc() const { return has_nc_; }

    void reset_counters() {
        txs_count_ = m_count_ = io_count_ = nc_count_ = 0;
        has_txs_ = has_m_ = has_io_ = has_nc_ = false;
    }

private:
    std::map<int, vid_tax> txs_map_;
    std::map<int, vid_pay> m_map_;
    std::map<int, vid_rotate> io_map_;
    std::map<int, count_check> nc_map_;
    bool has_txs_ = false;
    bool has_m_ = false;
    bool has_io_ = false;
    bool has_nc_ = false;
};

}  // namespace tavrelo
