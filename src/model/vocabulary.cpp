#include "model/vocabulary.h"

#include <array>

namespace tavrelo {
namespace {

using entry = name_table::entry;

template <std::size_t N>
constexpr name_table Table(const std::array<entry, N>& entries) {
    return name_table{entries.data(), N};
}

constexpr std::array<entry, 22> kElemCodes = {{
    {"RQ", 0}, {"DAT", 1},  {"MAC", 2},  {"C", 3},   {"Z", 4},   {"TS", 5},  {"P", 6},  {"CP", 7},
    {"D", 8},  {"S", 9},    {"M", 10},   {"I", 11},  {"O", 12},  {"L", 13},  {"H", 14}, {"VD", 15},
    {"E", 16}, {"TXS", 17}, {"Z_M", 18}, {"IO", 19}, {"NC", 20}, {"TX", 21},
}};

constexpr std::array<entry, 1> kRqAttrs = {{{"V", 0}}};
constexpr std::array<entry, 6> kDatAttrs = {
    {{"FN", 0}, {"TN", 1}, {"ZN", 2}, {"DI", 3}, {"DT", 4}, {"V", 5}}};
constexpr std::array<entry, 2> kMacAttrs = {{{"DI", 0}, {"NT", 1}}};
constexpr std::array<entry, 3> kCAttrs = {{{"T", 0}, {"CN", 1}, {"ON", 2}}};
constexpr std::array<entry, 1> kZAttrs = {{{"NO", 0}}};
constexpr std::array<entry, 1> kTsAttrs = {{{"TS", 0}}};
constexpr std::array<entry, 8> kPAttrs = {
    {{"N", 0}, {"C", 1}, {"CD", 2}, {"NM", 3}, {"SM", 4}, {"Q", 5}, {"PRC", 6}, {"TX", 7}}};
constexpr std::array<entry, 8> kDAttrs = {
    {{"TR", 0}, {"TY", 1}, {"ST", 2}, {"NI", 3}, {"TX", 4}, {"PR", 5}, {"SM", 6}, {"N", 7}}};
constexpr std::array<entry, 6> kMAttrs = {
    {{"N", 0}, {"T", 1}, {"NM", 2}, {"SM", 3}, {"RM", 4}, {"RRN", 5}}};
constexpr std::array<entry, 4> kIAttrs = {{{"N", 0}, {"T", 1}, {"NM", 2}, {"SM", 3}}};
constexpr std::array<entry, 1> kLAttrs = {{{"N", 0}}};
// No attribute of H has code 1: that code carries the element's text.
constexpr std::array<entry, 3> kHAttrs = {{{"N", 0}, {"HP", 2}, {"HT", 3}}};
constexpr std::array<entry, 2> kVdAttrs = {{{"N", 0}, {"NI", 1}}};
constexpr std::array<entry, 16> kEAttrs = {{{"N", 0},
                                            {"NO", 1},
                                            {"SM", 2},
                                            {"SE", 3},
                                            {"TX", 4},
                                            {"TXPR", 5},
                                            {"TXSM", 6},
                                            {"DTPR", 7},
                                            {"DTSM", 8},
                                            {"TXTY", 9},
                                            {"TXAL", 10},
                                            {"CS", 11},
                                            {"VD", 12},
                                            {"TS", 13},
                                            {"FN", 14},
                                            {"NS", 15}}};
constexpr std::array<entry, 12> kTxsAttrs = {{{"TX", 0},
                                              {"TS", 1},
                                              {"TXPR", 2},
                                              {"TXI", 3},
                                              {"TXO", 4},
                                              {"DTPR", 5},
                                              {"DTI", 6},
                                              {"DTO", 7},
                                              {"TXTY", 8},
                                              {"TXAL", 9},
                                              {"SMI", 10},
                                              {"SMO", 11}}};
constexpr std::array<entry, 4> kZMAttrs = {{{"T", 0}, {"NM", 1}, {"SMI", 2}, {"SMO", 3}}};
constexpr std::array<entry, 5> kIoAttrs = {
    {{"T", 0}, {"NM", 1}, {"SMI", 2}, {"SMO", 3}, {"SMT", 4}}};
constexpr std::array<entry, 2> kNcAttrs = {{{"NI", 0}, {"NO", 1}}};
constexpr std::array<entry, 7> kTxAttrs = {
    {{"TX", 0}, {"TXPR", 1}, {"TXSM", 2}, {"DTPR", 3}, {"DTSM", 4}, {"TXTY", 5}, {"TXAL", 6}}};

// The attribute table of each element code; some kinds share one.
const std::array<name_table, 22> kAttrTables = {
    Table(kRqAttrs), Table(kDatAttrs), Table(kMacAttrs), Table(kCAttrs),  Table(kZAttrs),
    Table(kTsAttrs), Table(kPAttrs),   Table(kPAttrs),   Table(kDAttrs),  Table(kDAttrs),
    Table(kMAttrs),  Table(kIAttrs),   Table(kIAttrs),   Table(kLAttrs),  Table(kHAttrs),
    Table(kVdAttrs), Table(kEAttrs),   Table(kTxsAttrs), Table(kZMAttrs), Table(kIoAttrs),
    Table(kNcAttrs), Table(kTxAttrs),
};

}  // namespace

int name_table::lookup(std::string_view name) const {
    // The tables are a handful of short names each: a plain scan beats any tree here.
    for (std::size_t i = 0; i < size; ++i) {
        if (entries[i].name == name) return entries[i].code;
    }
    return 0;
}

typ_work::typ_work() : elem_codes_(Table(kElemCodes)) {}

int typ_work::elem_code(std::string_view name) const { return elem_codes_.lookup(name); }

int typ_work::attr_code(int elem, std::string_view name) const {
    if (elem < 0 || elem >= static_cast<int>(kAttrTables.size())) return 0;
    return kAttrTables[static_cast<std::size_t>(elem)].lookup(name);
}

void control::enter(std::string_view name) {
    if (name == "M") {
        switch (cur_elem_) {
            case code_z:
            case code_txs:
            case code_z_m:
            case code_io:
            case code_nc:
                name = "Z_M";
                break;
            default:
                break;
        }
    }
    cur_elem_ = dict_.elem_code(name);
}

}  // namespace tavrelo
