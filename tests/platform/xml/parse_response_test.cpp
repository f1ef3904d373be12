#include "platform/xml/parse_response.h"

#include <gtest/gtest.h>

#include <string>

#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "common/errors.h"

namespace tavrelo {
namespace {

std::string SampleTape() { return ReadFile(TAVRELO_DATA_DIR "/tape-8-12.xml"); }

// Every tag on a line of its own, indented: white space between all elements.
std::string PrettyPrinted(const std::string& xml) {
    std::string out;
    for (std::size_t i = 0; i < xml.size(); ++i) {
        out += xml[i];
        if (xml[i] == '>' && i + 1 < xml.size() && xml[i + 1] == '<') out += "\r\n    ";
    }
    return out;
}

class ParseResponseTest : public ::testing::Test {
  protected:
    void Parse(const std::string& xml) {
        model.clear();
        state.clear();
        ParseResponse(xml, model, state);
    }
    check& Check(int index) { return model.dat_at(index).check_at(0); }
    zvit& Zvit(int index) { return model.dat_at(index).zvit_at(0); }

    void ExpectSampleModel() {
        ASSERT_EQ(model.cur(), 5);
        EXPECT_EQ(model.v(), 1.0f);

        // Document 8: three L, twelve P, one M, E with three TX.
        check& chk = Check(0);
        EXPECT_TRUE(model.dat_at(0).is_check());
        EXPECT_EQ(chk.l_count(), 3);
        EXPECT_EQ(chk.p_count(), 12);
        EXPECT_EQ(chk.m_count(), 1);
        EXPECT_EQ(chk.e_count(), 1);
        EXPECT_EQ(chk.line_count(), 17);
        EXPECT_EQ(chk.line_no(), 18);
        EXPECT_EQ(chk.line_at(1), (line_ref{kind_l, 0}));
        EXPECT_EQ(chk.line_at(4), (line_ref{kind_p, 0}));
        EXPECT_EQ(chk.line_at(16), (line_ref{kind_m, 0}));
        EXPECT_EQ(chk.line_at(17), (line_ref{kind_e, 0}));
        EXPECT_EQ(chk.e().tx_count(), 3);
        EXPECT_TRUE(chk.e().has_tx());
        EXPECT_EQ(chk.l_at(2).text(), "Comment for printing");
        EXPECT_EQ(chk.p_at(11).c(), "276447230");
        EXPECT_EQ(chk.p_at(11).tx(), "3");
        EXPECT_EQ(chk.m_at(0).nm(), Utf8ToCp1251("ГРОШІ"));
        EXPECT_EQ(chk.e().sm(), 1200.0f);
        EXPECT_EQ(chk.e().tx_at(0).txpr(), 20.0f);
        EXPECT_EQ(model.dat_at(0).tn(), Utf8ToCp1251("ПН 111111111111"));
        EXPECT_EQ(model.dat_at(0).zn(), "402400089");
        EXPECT_EQ(model.dat_at(0).ts().text(), "20140430144200");
        float total = 0;
        for (int i = 0; i < 12; ++i) total += chk.p_at(i).sm();
        EXPECT_EQ(total, chk.e().sm());

        // Document 9: Z-report 52.
        zvit& z52 = Zvit(1);
        EXPECT_FALSE(model.dat_at(1).is_check());
        EXPECT_EQ(z52.no(), 52.0f);
        EXPECT_EQ(z52.io_count(), 1);
        EXPECT_EQ(z52.m_count(), 1);
        EXPECT_EQ(z52.nc_count(), 1);
        EXPECT_EQ(z52.txs_count(), 3);
        EXPECT_TRUE(z52.has_io() && z52.has_m() && z52.has_nc() && z52.has_txs());
        EXPECT_EQ(z52.txs_at(0).smi(), 1000.0f);
        EXPECT_EQ(z52.txs_at(0).txpr(), 20.0f);
        EXPECT_EQ(z52.m_at(0).nm(), Utf8ToCp1251("ГРОШІ"));
        EXPECT_EQ(Check(1).m_count(), 0);

        // Document 10: one L, eight P, a credit payment, a single tax on E.
        check& credit = Check(2);
        EXPECT_EQ(credit.line_count(), 11);
        EXPECT_EQ(credit.line_at(10), (line_ref{kind_m, 0}));
        EXPECT_EQ(credit.m_at(0).nm(), Utf8ToCp1251("КРЕДИТ"));
        EXPECT_EQ(credit.m_at(0).rrn(), "909090909090");
        EXPECT_FALSE(credit.e().has_tx());
        EXPECT_EQ(credit.e().tx(), "1");
        EXPECT_EQ(credit.e().txsm(), 133.0f);

        // Documents 11 and 12.
        EXPECT_EQ(Zvit(3).m_at(0).nm(), Utf8ToCp1251("КРЕДИТ"));
        EXPECT_EQ(Zvit(3).txs_count(), 1);
        EXPECT_FALSE(Zvit(4).has_m());
        EXPECT_FALSE(Zvit(4).has_txs());
        EXPECT_EQ(Zvit(4).io_count(), 1);
        EXPECT_EQ(model.dat_at(4).ts().text(), "20140505093500");

        // Each MAC one key after its document.
        for (int k = 0; k < 5; ++k) EXPECT_EQ(model.mac_at(k + 1).di(), 8.0f + k) << k;
        EXPECT_EQ(model.check_no_min(), 138);
        EXPECT_EQ(model.check_no_max(), 140);
        EXPECT_EQ(model.zvit_no_min(), 52);
        EXPECT_EQ(model.zvit_no_max(), 54);
    }

    rq model;
    control state;
};

TEST_F(ParseResponseTest, SampleTape) {
    Parse(SampleTape());
    ExpectSampleModel();
}

TEST_F(ParseResponseTest, WhiteSpaceBetweenElementsChangesNothing) {
    const std::string pretty = PrettyPrinted(SampleTape());
    ASSERT_GT(pretty.size(), SampleTape().size() + 300);
    Parse(pretty);
    ExpectSampleModel();
}

TEST_F(ParseResponseTest, SampleTapeFraming) {
    const std::string tape = SampleTape();
    EXPECT_EQ(
        tape.rfind("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<RQ V=\"1\">\r\n<DAT ", 0),
        0u);
    EXPECT_EQ(tape.substr(tape.size() - 9), "\r\n</RQ>\r\n");
    // One line per document: DAT then its MAC, nothing in between.
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = tape.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 8u);
    EXPECT_EQ(tape.find('\n'), tape.find("\r\n") + 1);
    for (std::size_t at = 0; (at = tape.find("</DAT>", at)) != std::string::npos; ++at) {
        EXPECT_EQ(tape.compare(at, 11, "</DAT><MAC "), 0);
    }
}

TEST_F(ParseResponseTest, RejectedTextLeavesTheModelAsItWas) {
    Parse(SampleTape());
    std::string broken = SampleTape();
    broken.resize(broken.size() - 4);  // cut into the end tag
    EXPECT_THROW(ParseResponse(broken, model, state), ParseError);
    EXPECT_EQ(model.cur(), 5);
    EXPECT_EQ(Check(0).p_count(), 12);
}

TEST_F(ParseResponseTest, BadNumberLeavesTheModelFilledUpToIt) {
    std::string tape = SampleTape();
    const std::size_t at = tape.find("SM=\"1200\" TS=");
    ASSERT_NE(at, std::string::npos);
    tape.replace(at, 9, "SM=\"12O0\"");
    model.clear();
    state.clear();
    EXPECT_THROW(ParseResponse(tape, model, state), ConversionError);
    EXPECT_EQ(Check(0).p_count(), 12);
    EXPECT_EQ(Check(0).e().no(), 138.0f);
    EXPECT_EQ(Check(0).e().sm(), 0.0f);
    EXPECT_EQ(model.cur(), 0);
}

TEST_F(ParseResponseTest, ExternalEntityNeverReachesTheModel) {
    const std::string xml =
        "<?xml version=\"1.0\"?><!DOCTYPE RQ [<!ENTITY leak SYSTEM \"file://" TAVRELO_TEST_DATA_DIR
        "/xml/secret.txt\">]><RQ V=\"1\"><DAT><C T=\"0\">"
        "<L N=\"1\">&leak;</L><L N=\"2\">kept</L></C><TS>1</TS></DAT>"
        "<MAC DI=\"1\"/></RQ>";
    Parse(xml);
    EXPECT_EQ(Check(0).l_at(0).text(), "");
    EXPECT_EQ(Check(0).l_at(1).text(), "kept");
    EXPECT_EQ(Check(0).line_at(2), (line_ref{kind_l, 1}));
    EXPECT_EQ(model.cur(), 1);
}

}  // namespace
}  // namespace tavrelo
