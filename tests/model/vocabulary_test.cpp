#include "model/vocabulary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrelo {
namespace {

TEST(TypWork, ElementCodesOfEveryName) {
    const std::vector<std::string> names = {"RQ", "DAT", "MAC", "C",  "Z",  "TS", "P", "CP",
                                            "D",  "S",   "M",   "I",  "O",  "L",  "H", "VD",
                                            "E",  "TXS", "Z_M", "IO", "NC", "TX"};
    const typ_work dict;
    for (int code = 0; code < static_cast<int>(names.size()); ++code) {
        EXPECT_EQ(dict.elem_code(names[code]), code) << names[code];
    }
}

TEST(TypWork, UnknownElementNamesGiveZero) {
    const typ_work dict;
    for (const char* name : {"dat", "Dat", "", "DATA", "X", " DAT", "mac"}) {
        EXPECT_EQ(dict.elem_code(name), 0) << '"' << name << '"';
    }
    // Asking again changes nothing.
    EXPECT_EQ(dict.elem_code("dat"), 0);
    EXPECT_EQ(dict.elem_code("DAT"), 1);
}

TEST(TypWork, AttributeCodes) {
    struct Case {
        int elem;
        const char* name;
        int code;
    };
    const Case cases[] = {
        {21, "TX", 0},  {16, "TX", 4},   {17, "TX", 0},  {6, "TX", 7},    {7, "TX", 7},
        {8, "TX", 4},   {9, "TX", 4},    {14, "HP", 2},  {14, "HT", 3},   {2, "DI", 0},
        {1, "DI", 3},   {3, "CN", 1},    {3, "ON", 2},   {16, "XYZ", 0},  {16, "NS", 15},
        {16, "FN", 14}, {17, "SMO", 11}, {18, "SMO", 3}, {10, "RRN", 5},  {19, "SMT", 4},
        {20, "NO", 1},  {5, "TS", 0},    {0, "V", 0},    {11, "SM", 3},   {12, "SM", 3},
        {15, "NI", 1},  {13, "N", 0},    {4, "NO", 0},   {1, "V", 5},     {6, "prc", 0},
        {22, "TX", 0},  {22, "SM", 0},   {-1, "TX", 0},  {-100, "NM", 0}, {1000, "V", 0},
        {6, "", 0},
    };
    const typ_work dict;
    for (const Case& c : cases) {
        EXPECT_EQ(dict.attr_code(c.elem, c.name), c.code) << c.elem << " " << c.name;
    }
}

// Enters the names in turn after clear() and returns the resulting code.
int EnterAll(std::vector<std::string> names) {
    control state;
    state.enter("DAT");
    state.clear();
    for (const auto& name : names) state.enter(name);
    return state.current();
}

TEST(Control, MTellsPaymentLinesFromPaymentTotals) {
    EXPECT_EQ(EnterAll({}), 0);
    EXPECT_EQ(EnterAll({"M"}), 10);
    EXPECT_EQ(EnterAll({"Z", "M"}), 18);
    EXPECT_EQ(EnterAll({"Z", "IO", "M"}), 18);
    EXPECT_EQ(EnterAll({"Z", "NC", "M"}), 18);
    EXPECT_EQ(EnterAll({"Z", "TXS", "M"}), 18);
    EXPECT_EQ(EnterAll({"Z", "M", "M"}), 18);
    EXPECT_EQ(EnterAll({"C", "P", "M"}), 10);
    EXPECT_EQ(EnterAll({"C", "M"}), 10);
    EXPECT_EQ(EnterAll({"Z", "TS", "M"}), 10);
    EXPECT_EQ(EnterAll({"C", "Z_M"}), 18);
    EXPECT_EQ(EnterAll({"Z_M"}), 18);
    EXPECT_EQ(EnterAll({"Z", "m"}), 0);
}

TEST(Control, AttributeCodesFollowTheCurrentElement) {
    control state;
    state.enter("E");
    EXPECT_EQ(state.attr_code("TX"), 4);
    state.enter("TX");
    EXPECT_EQ(state.attr_code("TX"), 0);
    EXPECT_EQ(state.attr_code("TXSM"), 2);
    state.enter("unknown");
    EXPECT_EQ(state.current(), 0);
    EXPECT_EQ(state.attr_code("V"), 0);
}

}  // namespace
}  // namespace tavrelo
