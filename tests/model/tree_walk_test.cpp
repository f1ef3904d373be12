#include "model/tree_walk.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/errors.h"
#include "fake_node.h"

namespace tavrelo {
namespace {

using testing::Attrs;
using testing::Cdata;
using testing::El;
using testing::FakeNode;
using testing::Text;

FakeNode Dat(const std::string& di, std::vector<FakeNode> children) {
    return El("DAT",
              {{"DI", di},
               {"DT", "0"},
               {"FN", "5555555555"},
               {"TN", "TN text"},
               {"V", "1"},
               {"ZN", "402400089"}},
              std::move(children));
}

FakeNode Mac(const std::string& di) {
    return El("MAC", {{"DI", di}, {"NT", di}}, {Text("QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVo0MjQy")});
}

FakeNode Ts(const std::string& text) { return El("TS", {}, {Text(text)}); }

// The first receipt of the sample tape: three L, twelve P, one M, an E with three TX children.
FakeNode FirstReceipt() {
    FakeNode c = El("C", {{"T", "0"}});
    for (int n = 1; n <= 3; ++n) {
        c.children.push_back(El("L", {{"N", std::to_string(n)}}, {Text("Comment for printing")}));
    }
    for (int n = 4; n <= 15; ++n) {
        const std::string code = n <= 12   ? "10050"
                                 : n == 13 ? "501"
                                 : n == 14 ? "500"
                                           : "276447230";
        const std::string tax = n <= 13 ? "1" : n == 14 ? "2" : "3";
        c.children.push_back(El("P", {{"C", code},
                                      {"N", std::to_string(n)},
                                      {"NM", "Item " + std::to_string(n)},
                                      {"SM", "100"},
                                      {"TX", tax}}));
    }
    c.children.push_back(El("M", {{"N", "16"}, {"NM", "CASH"}, {"SM", "1200"}, {"T", "0"}}));
    c.children.push_back(El(
        "E",
        {{"CS", "1"},
         {"FN", "5555555555"},
         {"N", "17"},
         {"NO", "138"},
         {"SM", "1200"},
         {"TS", "20140430144200"}},
        {El("TX", {{"TX", "1"}, {"TXAL", "0"}, {"TXPR", "20.00"}, {"TXSM", "167"}, {"TXTY", "0"}}),
         El("TX", {{"TX", "2"}, {"TXAL", "0"}, {"TXPR", "0.00"}, {"TXSM", "0"}, {"TXTY", "0"}}),
         El("TX",
            {{"TX", "3"}, {"TXAL", "0"}, {"TXPR", "20.00"}, {"TXSM", "17"}, {"TXTY", "0"}})}));
    return Dat("8", {c, Ts("20140430144200")});
}

FakeNode Txs(const std::string& smi, const std::string& tax, const std::string& txi,
             const std::string& txpr) {
    return El("TXS", {{"DTI", "0"},
                      {"DTO", "0"},
                      {"DTPR", "0.00"},
                      {"SMI", smi},
                      {"SMO", "0"},
                      {"TS", "20140430"},
                      {"TX", tax},
                      {"TXAL", "0"},
                      {"TXI", txi},
                      {"TXO", "0"},
                      {"TXPR", txpr},
                      {"TXTY", "0"}});
}

// The first Z-report of the sample tape.
FakeNode FirstZReport() {
    return Dat(
        "9",
        {El("Z", {{"NO", "52"}},
            {El("IO", {{"NM", "CASH"}, {"SMI", "0"}, {"SMO", "0"}, {"SMT", "1200"}, {"T", "0"}}),
             El("M", {{"NM", "CASH"}, {"SMI", "1200"}, {"SMO", "0"}, {"T", "0"}}),
             El("NC", {{"NI", "1"}, {"NO", "0"}}), Txs("1000", "1", "167", "20.00"),
             Txs("100", "2", "0", "0.00"), Txs("100", "3", "17", "20.00")}),
         Ts("20140430144200")});
}

FakeNode Root(std::vector<FakeNode> children) {
    return El("RQ", {{"V", "1"}}, std::move(children));
}

// A receipt document made of the given lines of C.
FakeNode Receipt(std::vector<FakeNode> lines, bool with_ts = true) {
    std::vector<FakeNode> children = {El("C", {{"T", "0"}}, std::move(lines))};
    if (with_ts) children.push_back(Ts("20140430144200"));
    return Dat("1", std::move(children));
}

class TreeWalkTest : public ::testing::Test {
  protected:
    void Walk(const FakeNode& root) {
        state.clear();
        TreeWalk(model, state).ParseDocument(root);
    }
    check& Check(int index = 0) { return model.dat_at(index).check_at(0); }
    zvit& Zvit(int index = 0) { return model.dat_at(index).zvit_at(0); }

    rq model;
    control state;
};

TEST_F(TreeWalkTest, FirstReceiptCountsAndLineMap) {
    Walk(Root({FirstReceipt(), Mac("8")}));
    check& chk = Check();
    EXPECT_EQ(chk.l_count(), 3);
    EXPECT_EQ(chk.p_count(), 12);
    EXPECT_EQ(chk.m_count(), 1);
    EXPECT_EQ(chk.e_count(), 1);
    EXPECT_EQ(chk.line_count(), 17);
    EXPECT_EQ(chk.line_no(), 18);
    EXPECT_EQ(chk.line_at(1), (line_ref{kind_l, 0}));
    EXPECT_EQ(chk.line_at(3), (line_ref{kind_l, 2}));
    EXPECT_EQ(chk.line_at(4), (line_ref{kind_p, 0}));
    EXPECT_EQ(chk.line_at(15), (line_ref{kind_p, 11}));
    EXPECT_EQ(chk.line_at(16), (line_ref{kind_m, 0}));
    EXPECT_EQ(chk.line_at(17), (line_ref{kind_e, 0}));
    EXPECT_EQ(chk.e().tx_count(), 3);
    EXPECT_TRUE(chk.e().has_tx());
    EXPECT_EQ(chk.e().tx_at(2).group(), "3");
    EXPECT_EQ(chk.e().tx_at(0).txpr(), 20.0f);
    EXPECT_EQ(chk.e().tx_at(0).txsm(), 167.0f);
    EXPECT_EQ(chk.e().no(), 138.0f);
    EXPECT_EQ(chk.e().ts(), "20140430144200");
    EXPECT_EQ(chk.l_at(1).text(), "Comment for printing");
    EXPECT_EQ(chk.p_at(11).c(), "276447230");
    EXPECT_EQ(chk.p_at(0).sm(), 100.0f);
    EXPECT_EQ(chk.m_at(0).sm(), 1200.0f);
    EXPECT_EQ(chk.m_at(0).nm(), "CASH");
    EXPECT_EQ(model.v(), 1.0f);
    EXPECT_EQ(model.dat_at(0).fn(), "5555555555");
    EXPECT_EQ(model.dat_at(0).di(), 8.0f);
    EXPECT_EQ(model.dat_at(0).ts().text(), "20140430144200");
    EXPECT_TRUE(model.dat_at(0).is_check());
    EXPECT_EQ(model.check_no_min(), 138);
    EXPECT_EQ(model.check_no_max(), 138);
}

TEST_F(TreeWalkTest, FirstZReportCounts) {
    Walk(Root({FirstZReport(), Mac("9")}));
    zvit& zv = Zvit();
    EXPECT_FALSE(model.dat_at(0).is_check());
    EXPECT_EQ(zv.no(), 52.0f);
    EXPECT_EQ(zv.io_count(), 1);
    EXPECT_EQ(zv.m_count(), 1);
    EXPECT_EQ(zv.nc_count(), 1);
    EXPECT_EQ(zv.txs_count(), 3);
    EXPECT_TRUE(zv.has_io());
    EXPECT_TRUE(zv.has_m());
    EXPECT_TRUE(zv.has_nc());
    EXPECT_TRUE(zv.has_txs());
    EXPECT_EQ(zv.txs_at(0).smi(), 1000.0f);
    EXPECT_EQ(zv.txs_at(0).txpr(), 20.0f);
    EXPECT_EQ(zv.txs_at(2).txi(), 17.0f);
    EXPECT_EQ(zv.txs_at(1).tx(), "2");
    EXPECT_EQ(zv.txs_at(0).ts(), "20140430");
    EXPECT_EQ(zv.m_at(0).nm(), "CASH");
    EXPECT_EQ(zv.m_at(0).smi(), 1200.0f);
    EXPECT_EQ(zv.io_at(0).smt(), 1200.0f);
    EXPECT_EQ(zv.nc_at(0).ni(), 1.0f);
    EXPECT_EQ(model.zvit_no_min(), 52);
    EXPECT_EQ(model.zvit_no_max(), 52);
    // No payment line crept into a receipt.
    EXPECT_EQ(Check().m_count(), 0);
}

TEST_F(TreeWalkTest, ZReportWithOnlyCashAndCountsHasNoTaxOrPaymentBlock) {
    Walk(Root({Dat("12", {El("Z", {{"NO", "54"}},
                             {El("IO", {{"SMT", "0"}}), El("NC", {{"NI", "0"}, {"NO", "0"}})}),
                          Ts("20140505093500")}),
               Mac("12")}));
    EXPECT_FALSE(Zvit().has_txs());
    EXPECT_FALSE(Zvit().has_m());
    EXPECT_EQ(Zvit().txs_count(), 0);
    EXPECT_EQ(Zvit().m_count(), 0);
    EXPECT_EQ(Zvit().io_count(), 1);
    EXPECT_EQ(Zvit().nc_count(), 1);
}

TEST_F(TreeWalkTest, EachMacAdvancesCurAndLandsOneKeyAhead) {
    Walk(Root({FirstReceipt(), Mac("8"), FirstZReport(), Mac("9")}));
    EXPECT_EQ(model.cur(), 2);
    EXPECT_EQ(model.dat_at(0).di(), 8.0f);
    EXPECT_EQ(model.dat_at(1).di(), 9.0f);
    EXPECT_EQ(model.mac_at(1).di(), 8.0f);
    EXPECT_EQ(model.mac_at(1).nt(), 8.0f);
    EXPECT_EQ(model.mac_at(2).di(), 9.0f);
    EXPECT_EQ(model.mac_at(0).di(), 0.0f);
    EXPECT_TRUE(model.dat_at(0).is_check());
    EXPECT_FALSE(model.dat_at(1).is_check());
}

TEST_F(TreeWalkTest, DocumentsWithoutMacMergeIntoIndexZero) {
    Walk(Root({FirstReceipt(), FirstZReport()}));
    EXPECT_EQ(model.cur(), 0);
    EXPECT_EQ(model.dat_at(0).di(), 9.0f);
    EXPECT_EQ(Check().p_count(), 12);
    EXPECT_EQ(Zvit().txs_count(), 3);
    EXPECT_EQ(model.check_no_max(), 138);
    EXPECT_EQ(model.zvit_no_max(), 52);
}

TEST_F(TreeWalkTest, MInsideAReceiptIsAPaymentLineInsideAZReportATotal) {
    // M after C, after P, and M first in Z, after IO, after NC, after another M.
    Walk(Root(
        {Receipt({El("M", {{"N", "1"}, {"SM", "5"}}), El("P", {{"N", "2"}}),
                  El("M", {{"N", "3"}, {"SM", "7"}})}),
         Mac("1"),
         Dat("2", {El("Z", {{"NO", "1"}},
                      {El("M", {{"SMI", "1"}}), El("IO", {{"T", "0"}}), El("M", {{"SMI", "2"}}),
                       El("NC", {{"NI", "0"}}), El("M", {{"SMI", "3"}}), El("M", {{"SMI", "4"}})}),
                   Ts("20140430144200")}),
         Mac("2")}));
    EXPECT_EQ(Check(0).m_count(), 2);
    EXPECT_EQ(Check(0).m_at(1).sm(), 7.0f);
    EXPECT_EQ(Check(0).line_at(3), (line_ref{kind_m, 1}));
    EXPECT_EQ(Zvit(1).m_count(), 4);
    EXPECT_EQ(Zvit(1).m_at(3).smi(), 4.0f);
    EXPECT_EQ(Check(1).m_count(), 0);
}

TEST_F(TreeWalkTest, MissingTsCarriesTheLastCountersOverToTheNextDocument) {
    Walk(Root({Receipt({El("P", {{"N", "1"}}), El("E", {{"N", "2"}})}, false), Mac("1"),
               Receipt({El("P", {{"N", "1"}})}), Mac("2")}));
    // E of the first receipt is counted only when the next DAT starts, after MAC moved on.
    EXPECT_EQ(Check(0).e_count(), 0);
    EXPECT_EQ(Check(0).line_no(), 2);
    EXPECT_EQ(Check(1).e_count(), 1);
    EXPECT_EQ(Check(1).p_count(), 1);
    EXPECT_EQ(Check(1).line_no(), 3);
    EXPECT_EQ(Check(1).line_at(2), (line_ref{kind_p, 0}));
}

TEST_F(TreeWalkTest, TextOfTextElementsOnly) {
    Walk(Root({Receipt({El("L", {{"N", "1"}}), El("L", {{"N", "2"}}, {Cdata("in cdata")}),
                        El("L", {{"N", "3"}}, {Text("plain")}),
                        El("H", {{"N", "4"}, {"HP", "x"}, {"HT", "y"}}, {Text("service")}),
                        El("L", {{"N", "5"}}, {Text("a"), Text("b")})}),
               Mac("1")}));
    check& chk = Check();
    EXPECT_EQ(chk.l_at(0).text(), "");
    EXPECT_EQ(chk.l_at(1).text(), "");
    EXPECT_EQ(chk.l_at(2).text(), "plain");
    EXPECT_EQ(chk.l_at(3).text(), "");
    EXPECT_EQ(chk.h_at(0).text(), "service");
    EXPECT_EQ(chk.l_count(), 4);
    EXPECT_EQ(chk.h_count(), 1);
    for (int line = 1; line <= 3; ++line) {
        EXPECT_EQ(chk.line_at(line), (line_ref{kind_l, line - 1})) << line;
    }
    EXPECT_EQ(chk.line_at(4), (line_ref{kind_h, 0}));
    EXPECT_EQ(chk.line_at(5), (line_ref{kind_l, 3}));
    EXPECT_EQ(chk.line_no(), 6);
}

TEST_F(TreeWalkTest, WhiteSpaceTextNodesChangeNothing) {
    const FakeNode plain = Root({FirstReceipt(), Mac("8"), FirstZReport(), Mac("9")});
    // The same tree with white space around and between every element.
    std::function<FakeNode(FakeNode)> spaced = [&](FakeNode node) {
        if (node.name == "#text" || node.IsTextElement()) return node;
        std::vector<FakeNode> children = {Text("\r\n  ")};
        for (auto& child : node.children) {
            children.push_back(spaced(child));
            children.push_back(Text("\n\t "));
        }
        node.children = std::move(children);
        return node;
    };
    Walk(plain);
    rq expected = model;
    control expected_state = state;

    model = rq{};
    Walk(spaced(plain));
    EXPECT_EQ(state.current(), expected_state.current());
    EXPECT_EQ(model.cur(), expected.cur());
    for (int k = 0; k < 2; ++k) {
        check& a = Check(k);
        check& b = expected.dat_at(k).check_at(0);
        EXPECT_EQ(a.line_count(), b.line_count());
        EXPECT_EQ(a.line_no(), b.line_no());
        EXPECT_EQ(a.e().tx_count(), b.e().tx_count());
        zvit& za = Zvit(k);
        zvit& zb = expected.dat_at(k).zvit_at(0);
        EXPECT_EQ(za.txs_count(), zb.txs_count());
        EXPECT_EQ(za.m_count(), zb.m_count());
        EXPECT_EQ(model.dat_at(k).ts().text(), expected.dat_at(k).ts().text());
    }
    EXPECT_EQ(Check(0).line_at(17), (line_ref{kind_e, 0}));
}

TEST_F(TreeWalkTest, BadNumberEndsTheWalkWithTheModelFilledUpToIt) {
    const FakeNode root =
        Root({Receipt({El("P", {{"N", "1"}, {"NM", "first"}, {"SM", "100"}}),
                       El("P", {{"N", "2"}, {"NM", "second"}, {"SM", "1O0"}, {"TX", "1"}}),
                       El("P", {{"N", "3"}, {"NM", "third"}})}),
              Mac("1")});
    state.clear();
    EXPECT_THROW(TreeWalk(model, state).ParseDocument(root), ConversionError);
    EXPECT_EQ(Check().p_at(0).sm(), 100.0f);
    EXPECT_EQ(Check().p_at(1).nm(), "second");
    EXPECT_EQ(Check().p_at(1).tx(), "");
    EXPECT_EQ(Check().p_count(), 1);
    EXPECT_EQ(Check().line_at(2), (line_ref{kind_p, 1}));
    EXPECT_EQ(model.cur(), 0);
}

TEST_F(TreeWalkTest, NumberFormRejectsWhatIsNoNumber) {
    struct Case {
        FakeNode element;
        bool fails;
    };
    const std::vector<Case> cases = {
        {El("E", {{"TXPR", "abc"}}), true},
        {El("E", {{"TXPR", ""}}), true},
        {El("E", {{"NS", "abc"}, {"TX", "abc"}, {"TS", "x"}}), false},
        {El("TX", {{"TXPR", "x"}}), true},
        {El("TX", {{"TX", "x"}}), false},
        {El("H", {{"HP", "x"}, {"HT", "y"}}), false},
        {El("P", {{"Q", "1,5"}}), true},
        {El("P", {{"NM", "1,5"}}), false},
    };
    for (const Case& c : cases) {
        model = rq{};
        state.clear();
        TreeWalk walk(model, state);
        const FakeNode root = Root({Receipt({c.element})});
        if (c.fails) {
            EXPECT_THROW(walk.ParseDocument(root), ConversionError) << c.element.name;
        } else {
            EXPECT_NO_THROW(walk.ParseDocument(root)) << c.element.name;
        }
    }
    for (const char* bad : {"x", " 1", "1 ", "", "nan"}) {
        model = rq{};
        const FakeNode root =
            Root({Dat("1", {El("Z", {}, {El("TXS", {{"TX", "1"}, {"TXPR", bad}})})})});
        state.clear();
        EXPECT_THROW(TreeWalk(model, state).ParseDocument(root), ConversionError) << bad;
        EXPECT_TRUE(Zvit().has_txs());
        EXPECT_EQ(Zvit().txs_at(0).tx(), "1");
    }
    model = rq{};
    state.clear();
    EXPECT_NO_THROW(TreeWalk(model, state)
                        .ParseDocument(Root({Dat("1", {El("C", {{"CN", "x"}, {"ON", "y"}})})})));
}

TEST_F(TreeWalkTest, UnknownAttributeOfPIsStoredAsN) {
    Walk(Root({Receipt({El("P", {{"N", "1"}, {"XX", "7"}}), El("M", {{"N", "2"}})}), Mac("1")}));
    EXPECT_EQ(Check().p_at(0).n(), 7.0f);
    EXPECT_EQ(Check().line_at(1), (line_ref{kind_p, 0}));
    EXPECT_EQ(Check().line_at(2), (line_ref{kind_m, 0}));

    model = rq{};
    state.clear();
    EXPECT_THROW(TreeWalk(model, state).ParseDocument(Root({Receipt({El("P", {{"XX", "y"}})})})),
                 ConversionError);
}

TEST_F(TreeWalkTest, UnknownElementIsEnteredAsRq) {
    Walk(Root({Receipt({El("P", {{"N", "1"}}), El("FOO", {{"X", "3"}, {"V", "4"}}, {Text("t")}),
                        El("P", {{"N", "2"}})}),
               Mac("1")}));
    EXPECT_EQ(model.v(), 4.0f);
    // Leaving FOO advances nothing, the P before it was counted when FOO started.
    EXPECT_EQ(Check().p_count(), 2);
    EXPECT_EQ(Check().line_no(), 3);
    EXPECT_EQ(Check().line_at(2), (line_ref{kind_p, 1}));
}

TEST_F(TreeWalkTest, EveryLineKindTakesItsOwnLineNumber) {
    Walk(Root({Receipt({El("P", {{"N", "1"}}), El("S", {{"N", "2"}, {"PR", "5"}, {"SM", "3"}}),
                        El("M", {{"N", "3"}}),
                        El("E", {{"N", "4"}, {"TX", "1"}, {"TXPR", "20.00"}, {"TXSM", "3"}})}),
               Mac("1")}));
    check& chk = Check();
    EXPECT_EQ(chk.line_at(1), (line_ref{kind_p, 0}));
    EXPECT_EQ(chk.line_at(2), (line_ref{kind_s, 0}));
    EXPECT_EQ(chk.line_at(3), (line_ref{kind_m, 0}));
    EXPECT_EQ(chk.line_at(4), (line_ref{kind_e, 0}));
    EXPECT_EQ(chk.line_count(), 4);
    EXPECT_EQ(chk.line_no(), 5);
    EXPECT_EQ(chk.s_at(0).pr(), 5.0f);
    // A single tax carried by E itself.
    EXPECT_FALSE(chk.e().has_tx());
    EXPECT_EQ(chk.e().tx(), "1");
    EXPECT_EQ(chk.e().txpr(), 20.0f);
    EXPECT_EQ(chk.e().tx_at(0).group(), " ");

    model = rq{};
    Walk(Root({Receipt({El("D", {{"N", "1"}, {"TR", "2"}}), El("I", {{"N", "2"}, {"SM", "9"}}),
                        El("O", {{"N", "3"}}), El("CP", {{"N", "4"}, {"NM", "cp"}}),
                        El("VD", {{"N", "5"}, {"NI", "2"}}), El("H", {{"N", "6"}})}),
               Mac("1")}));
    check& all = Check();
    const line_ref expected[] = {{kind_d, 0},  {kind_i, 0},  {kind_o, 0},
                                 {kind_cp, 0}, {kind_vd, 0}, {kind_h, 0}};
    for (int line = 1; line <= 6; ++line) EXPECT_EQ(all.line_at(line), expected[line - 1]) << line;
    EXPECT_EQ(all.d_at(0).tr(), 2.0f);
    EXPECT_EQ(all.i_at(0).sm(), 9.0f);
    EXPECT_EQ(all.cp_at(0).nm(), "cp");
    EXPECT_EQ(all.vd().n(), 5.0f);
    EXPECT_EQ(all.vd().ni(), 2.0f);
    EXPECT_EQ(all.e().tx(), "0");
}

TEST_F(TreeWalkTest, NumberRangesUseTheTruncatedText) {
    Walk(Root({Receipt({El("E", {{"NO", "16777217"}})}), Mac("1"),
               Receipt({El("E", {{"NO", "138.9"}})}), Mac("2"),
               Dat("3", {El("Z", {{"NO", "-3.7"}})}), Mac("3")}));
    EXPECT_EQ(Check(0).e().no(), 16777216.0f);
    EXPECT_EQ(model.check_no_min(), 138);
    EXPECT_EQ(model.check_no_max(), 16777217);
    EXPECT_EQ(model.zvit_no_min(), -3);
}

TEST_F(TreeWalkTest, WalkingTheRootChildByChildEqualsParseDocument) {
    const FakeNode root = Root({FirstReceipt(), Mac("8"), FirstZReport(), Mac("9")});
    Walk(root);
    rq whole = model;

    model = rq{};
    state.clear();
    TreeWalk walk(model, state);
    walk.ParseAttributes(root.AttributeNodes());
    for (const FakeNode& child : root.ChildNodes()) walk.ParseNode(child);
    EXPECT_EQ(model.cur(), whole.cur());
    EXPECT_EQ(model.v(), whole.v());
    EXPECT_EQ(Check(0).line_count(), whole.dat_at(0).check_at(0).line_count());
    EXPECT_EQ(Zvit(1).txs_count(), whole.dat_at(1).zvit_at(0).txs_count());
}

TEST_F(TreeWalkTest, ValuesAndFlagsOfSparseElements) {
    Walk(Root({Receipt({El("P", {{"N", "1"}, {"Q", "1500"}, {"PRC", "1250"}, {"SM", "1875"}})}),
               Mac("1"),
               Dat("2", {El("Z", {{"NO", "7"}}, {El("IO"), El("NC", {{"NI", "1"}}), El("TXS")}),
                         Ts("20140430144200")}),
               Mac("2"), Dat("3", {Ts("20140430144200")}), Mac("3")}));
    EXPECT_EQ(Check(0).p_at(0).q(), 1500.0f);
    EXPECT_EQ(Check(0).p_at(0).prc(), 1250.0f);
    // Entries without attributes are counted but set no flag.
    EXPECT_EQ(Zvit(1).io_count(), 1);
    EXPECT_FALSE(Zvit(1).has_io());
    EXPECT_TRUE(Zvit(1).has_nc());
    EXPECT_EQ(Zvit(1).txs_count(), 1);
    EXPECT_FALSE(Zvit(1).has_txs());
    EXPECT_EQ(Zvit(1).txs_at(0).tx(), "");
    // A document with neither C nor Z stays a receipt.
    EXPECT_TRUE(model.dat_at(2).is_check());
}

}  // namespace
}  // namespace tavrelo
