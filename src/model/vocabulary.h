#pragma once

#include <cstddef>
#include <string_view>

namespace tavrelo {

// Element codes. The code is also the index of the element kind everywhere else in the system.
// `code_z_m` is never written in a document: it is what an M inside a Z-report becomes.
enum element_code : int {
    code_rq = 0,
    code_dat = 1,
    code_mac = 2,
    code_c = 3,
    code_z = 4,
    code_ts = 5,
    code_p = 6,
    code_cp = 7,
    code_d = 8,
    code_s = 9,
    code_m = 10,
    code_i = 11,
    code_o = 12,
    code_l = 13,
    code_h = 14,
    code_vd = 15,
    code_e = 16,
    code_txs = 17,
    code_z_m = 18,
    code_io = 19,
    code_nc = 20,
    code_tx = 21,
};

// One name-to-code table of the vocabulary. Names are compared exactly, case included.
struct name_table {
    struct entry {
        std::string_view name;
        int code;
    };
    const entry* entries = nullptr;
    std::size_t size = 0;

    // The code held for `name`; 0 when the table holds no such name.
    int lookup(std::string_view name) const;
};

// The fixed vocabulary of the control-tape XML: element names, and attribute names per element
// kind. Every name yields a code, so no lookup can fail; a name the table does not hold gives 0.
class typ_work {
  public:
    typ_work();

    int elem_code(std::string_view name) const;

    // An element code outside 0..21 gives 0 without consulting any table.
    int attr_code(int elem, std::string_view name) const;

  private:
    name_table elem_codes_;
};

// The parse state of one walk: the code of the element being filled, and the vocabulary.
class control {
  public:
    void clear() { cur_elem_ = 0; }
    int current() const { return cur_elem_; }

    // Called for every element node the walk meets. The code is never restored when the element
    // ends, which is why an M is told apart by the element entered just before it: after Z or
    // after a TXS, Z_M, IO or NC entry it is a payment-form total, anywhere else a payment line.
    void enter(std::string_view name);

    const typ_work& dict() const { return dict_; }

    // The code of an attribute of the element being filled.
    int attr_code(std::string_view name) const { return dict_.attr_code(cur_elem_, name); }

  private:
    int cur_elem_ = 0;
    typ_work dict_;
};

}  // namespace tavrelo
