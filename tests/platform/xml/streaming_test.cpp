#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "common/atomic_file.h"
#include "common/errors.h"
#include "model/tree_walk.h"
#include "platform/xml/parse_response.h"
#include "platform/xml/xml_document.h"

namespace tavrelo {
namespace {

// What the rendering can see of a model, written out so that two models can be compared.
std::string Summary(rq& model, const control& state) {
    std::ostringstream out;
    out << "cur " << model.cur() << " v " << model.v() << " elem " << state.current() << " ranges "
        << model.check_no_min() << ".." << model.check_no_max() << " " << model.zvit_no_min()
        << ".." << model.zvit_no_max() << "\n";
    for (int k = 0; k <= model.cur(); ++k) {
        dat& d = model.dat_at(k);
        check& c = d.check_at(0);
        zvit& z = d.zvit_at(0);
        out << k << ": " << d.is_check() << " " << d.fn() << " " << d.di() << " " << d.ts().text()
            << " mac " << model.mac_at(k).di() << "\n  lines " << c.line_no() << " " << c.p_count()
            << c.cp_count() << c.d_count() << c.s_count() << c.m_count() << c.i_count()
            << c.o_count() << c.l_count() << c.h_count() << c.vd_count() << c.e_count() << " tx "
            << c.e().tx_count() << c.e().has_tx() << " t " << c.t() << "\n";
        for (int line = 1; line <= c.line_count() + 1; ++line) {
            const line_ref at = c.line_at(line);
            out << "  " << line << "=" << at.kind << "," << at.index;
        }
        for (int i = 0; i < c.l_count() + 1; ++i) out << " L[" << c.l_at(i).text() << "]";
        for (int i = 0; i < c.p_count() + 1; ++i)
            out << " P[" << c.p_at(i).nm() << c.p_at(i).sm() << "]";
        out << "\n  z " << z.no() << " " << z.txs_count() << z.m_count() << z.io_count()
            << z.nc_count() << z.has_txs() << z.has_m() << z.has_io() << z.has_nc() << "\n";
    }
    return out.str();
}

std::string WalkWholeTree(const std::string& xml) {
    rq model;
    control state;
    const XmlDocument document(xml);
    TreeWalk(model, state).ParseDocument(document.DocumentElement());
    return Summary(model, state);
}

std::string WalkStreamed(const std::string& xml) {
    rq model;
    control state;
    ParseResponse(xml, model, state);
    return Summary(model, state);
}

TEST(ParseResponseStreaming, SameAsWalkingTheWholeTree) {
    const std::string sample = ReadFile(TAVRELO_DATA_DIR "/tape-8-12.xml");
    const std::string cases[] = {
        sample,
        // Comments, text, CDATA and processing instructions among the root's children.
        "<?xml version=\"1.0\"?><!-- head --><RQ V=\"2\">text<!--c--><DAT FN=\"1\"><C T=\"1\">"
        "<P N=\"1\" NM=\"a\" SM=\"5\"/><!--x--><M N=\"2\"/></C></DAT><![CDATA[z]]><?pi data?>"
        "<MAC DI=\"1\">m</MAC><Z NO=\"3\"/></RQ><!-- tail -->",
        // Documents without MAC, without TS, elements out of place and unknown names.
        "<RQ><DAT><C><P N=\"1\"/><E N=\"2\" NO=\"7\"/></C></DAT><DAT><Z NO=\"5\"><M SMI=\"1\"/>"
        "</Z></DAT><P N=\"3\"/><FOO V=\"9\"><L N=\"4\">t</L></FOO><MAC/><DAT><C><L N=\"1\">"
        "<![CDATA[c]]></L></C></DAT><MAC/></RQ>",
        "<RQ V=\"1\"/>",
        "<RQ>\r\n  <DAT>\r\n    <C T=\"0\">\r\n      <L N=\"1\">x</L>\r\n    </C>\r\n  </DAT>\r\n"
        "  <MAC DI=\"1\"/>\r\n</RQ>\r\n",
    };
    for (const std::string& xml : cases) {
        EXPECT_EQ(WalkStreamed(xml), WalkWholeTree(xml)) << xml.substr(0, 200);
    }
}

TEST(ParseResponseStreaming, BadNumberBeforeMalformedTextIsAParseError) {
    const std::string xml =
        "<RQ><DAT DI=\"1\"><C T=\"x\"/></DAT><MAC DI=\"1\"/><DAT DI=\"2\"></RQ>";
    rq model;
    control state;
    model.note_check_no(4);
    ::testing::internal::CaptureStderr();
    try {
        ParseResponse(xml, model, state);
        ADD_FAILURE() << "no exception";
    } catch (const ParseError& e) {
        EXPECT_NE(std::string(e.what()).find("line 1"), std::string::npos) << e.what();
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(model.cur(), 0);
    EXPECT_EQ(model.check_no_min(), 4);
    EXPECT_EQ(state.current(), 0);
}

TEST(ParseResponseStreaming, BadNumberKeepsWhatCameBeforeAndTheState) {
    const std::string xml =
        "<RQ><DAT DI=\"1\"><C T=\"0\"><E N=\"1\" NO=\"12\"/></C></DAT><MAC DI=\"1\"/>"
        "<DAT DI=\"x\"/><MAC DI=\"2\"/></RQ>";
    rq model;
    control state;
    EXPECT_THROW(ParseResponse(xml, model, state), ConversionError);
    EXPECT_EQ(model.cur(), 1);
    EXPECT_EQ(model.check_no_max(), 12);
    EXPECT_EQ(state.current(), 1);  // the walk stopped inside the second DAT
    EXPECT_EQ(model.mac_at(2).di(), 0.0f);
}

TEST(ParseResponseStreaming, EntityBombAndExternalDtdAreRejectedOrIgnored) {
    std::string doctype = "<!DOCTYPE RQ [<!ENTITY l0 \"lollollollollollollollollollol\">";
    for (int i = 1; i <= 12; ++i) {
        doctype += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) doctype += "&l" + std::to_string(i - 1) + ";";
        doctype += "\">";
    }
    doctype += "]>";
    rq model;
    control state;
    ::testing::internal::CaptureStderr();
    EXPECT_THROW(ParseResponse(doctype + "<RQ><DAT FN=\"&l12;\"/></RQ>", model, state), ParseError);
    EXPECT_THROW(ParseResponse(doctype + "<RQ><L>&l12;</L></RQ>", model, state), ParseError);
    // The DTD is never read: its entity stays undefined, its default attribute never appears.
    const std::string external =
        "<!DOCTYPE RQ SYSTEM \"file://" TAVRELO_TEST_DATA_DIR "/xml/leak.dtd\">";
    EXPECT_THROW(ParseResponse(external + "<RQ><DAT><C><L>&leak;</L></C></DAT></RQ>", model, state),
                 ParseError);
    ParseResponse(external + "<RQ><DAT><C><L>x</L></C></DAT><MAC/></RQ>", model, state);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(model.dat_at(0).check_at(0).l_at(0).text(), "x");
    EXPECT_EQ(model.dat_at(0).check_at(0).l_at(0).n(), 0.0f);
}

}  // namespace
}  // namespace tavrelo
