#pragma once

#include <map>
#include <string>

#include "model/field.h"
#include "model/find_or_create.h"
#include "model/receipt.h"
#include "model/zvit.h"

namespace tavrelo {

// The text of a document's TS element (yyyymmddhhmmss). C++ allows no member named like its
// class, so the text is reached as text() / set_text().
class ts {
    TAVRELO_FIELD(std::string, text, {})
};

// The MAC element that closes each document; its Base64 text is not kept.
class mac {
    TAVRELO_FIELD(float, di, 0)
    TAVRELO_FIELD(float, nt, 0)
};

// One document (DAT): its header attributes, its timestamp, and a receipt or a Z-report.
class dat {
    TAVRELO_FIELD(std::string, fn, {})
    TAVRELO_FIELD(std::string, tn, {})
    TAVRELO_FIELD(std::string, zn, {})
    TAVRELO_FIELD(float, di, 0)
    TAVRELO_FIELD(float, dt, 0)
    TAVRELO_FIELD(float, v, 0)

public:
    class ts& ts() { return ts_; }

    class check& check_at(int key) { return find_or_create(check_map_, key); }
    class zvit& zvit_at(int key) { return find_or_create(zvit_map_, key); }
    int cur_check() const { return cur_check_; }
    int cur_zvit() const { return cur_zvit_; }

    void mark_check() { is_check_ = true; }
    void mark_zvit() { is_check_ = false; }
    bool is_check() const { return is_check_; }

private:
    bool is_check_ = true;
    class ts ts_;
    std::map<int, class check> check_map_;
    std::map<int, class zvit> zvit_map_;
    int cur_check_ = 0;
    int cur_zvit_ = 0;
};

// The whole response (RQ): the documents, the MAC elements, the current document index and the
// receipt and Z-report number ranges noted so far (which outlive clear()).
class rq {
    TAVRELO_FIELD(float, v, 0)
    TAVRELO_FIELD(int, cur, 0)
    TAVRELO_FIELD(int, check_no_min, 0)
    TAVRELO_FIELD(int, check_no_max, 0)
    TAVRELO_FIELD(int, zvit_no_min, 0)
    TAVRELO_FIELD(int, zvit_no_max, 0)

public:
    class dat& dat_at(int index) { return find_or_create(dat_map_, index); }
    class mac& mac_at(int index) { return find_or_create(mac_map_, index); }

    // Empties the documents and the MAC elements and resets `cur`; `v` and the ranges stay.
    void clear() {
        dat_map_.clear();
        mac_map_.clear();
        cur_ = 0;
    }

    // Drops document `index`, for a caller that renders each document as soon as the walk has
    // left it (the walk never returns below cur()); dat_at(index) would give an empty one again.
    void release_dat(int index) { dat_map_.erase(index); }

    void note_check_no(int no) { Widen(check_no_min_, check_no_max_, no); }
    void note_zvit_no(int no) { Widen(zvit_no_min_, zvit_no_max_, no); }

private:
    // 0 in `min` or `max` means "none noted yet".
    static void Widen(int& min, int& max, int no) {
        if (no < min || min == 0) {
            min = no;
            if (max == 0) max = no;
        } else if (max < no) {
            max = no;
        }
    }

    std::map<int, class dat> dat_map_;
    std::map<int, class mac> mac_map_;
};

}  // namespace tavrelo
