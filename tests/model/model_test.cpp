#include <gtest/gtest.h>

#include "model/document.h"

namespace tavrelo {
namespace {

TEST(FindOrCreate, KeyFiveCreatesExactlyOneElementAndReturnsItAgain) {
    check chk;
    sale& first = chk.p_at(5);
    EXPECT_EQ(first.sm(), 0.0f);
    EXPECT_EQ(first.nm(), "");
    first.set_sm(1200);
    sale& again = chk.p_at(5);
    EXPECT_EQ(&first, &again);
    EXPECT_EQ(again.sm(), 1200.0f);

    // A line number never recorded yields (0, 0), and only that one entry is added.
    EXPECT_EQ(chk.line_at(5), (line_ref{0, 0}));
    chk.set_line(7, kind_p, 2);
    EXPECT_EQ(chk.line_at(7), (line_ref{kind_p, 2}));
    EXPECT_EQ(chk.line_at(5), (line_ref{0, 0}));
}

TEST(FindOrCreate, OutOfOrderKeysKeepTheirElements) {
    rq model;
    model.dat_at(3).set_fn("3");
    model.dat_at(1).set_fn("1");
    model.dat_at(2).set_fn("2");
    model.dat_at(0).set_fn("0");
    for (int k = 0; k < 4; ++k) EXPECT_EQ(model.dat_at(k).fn(), std::to_string(k));
    EXPECT_TRUE(model.dat_at(9).is_check());
}

TEST(Rq, NoteCheckNoWidensTheRange) {
    rq model;
    model.note_check_no(5);
    model.note_check_no(3);
    model.note_check_no(9);
    EXPECT_EQ(model.check_no_min(), 3);
    EXPECT_EQ(model.check_no_max(), 9);

    // The ranges survive clear(): a second request noting only 12 widens 3..9 to 3..12.
    model.clear();
    model.note_check_no(12);
    EXPECT_EQ(model.check_no_min(), 3);
    EXPECT_EQ(model.check_no_max(), 12);

    model.note_zvit_no(52);
    model.note_zvit_no(54);
    model.note_zvit_no(53);
    EXPECT_EQ(model.zvit_no_min(), 52);
    EXPECT_EQ(model.zvit_no_max(), 54);
}

}  // namespace
}  // namespace tavrelo
