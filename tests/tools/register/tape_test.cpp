#include "register/tape.h"

#include <gtest/gtest.h>

#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "common/errors.h"

namespace tavrelo {
namespace {

const std::string kFixture = std::string(TAVRELO_TEST_DATA_DIR) + "/tools/register-tape.xml";

std::string Doc(const std::string& di, const std::string& body) {
    return "<DAT DI=\"" + di + "\" V=\"1\">" + body + "</DAT><MAC DI=\"" + di + "\">QUJD</MAC>";
}

TEST(Tape, CutsTheFixtureIntoItsDocumentsByteForByte) {
    const std::string file = ReadFile(kFixture);
    const Tape tape = Tape::FromFile(kFixture);
    ASSERT_EQ(tape.size(), 4u);

    std::vector<std::string> texts;
    for (const TapeDocument& d : tape.documents()) texts.push_back(d.text);
    // Joining the documents the way the client writes temp.xml gives the file back.
    EXPECT_EQ(FrameTape(texts), file);

    EXPECT_EQ(tape.documents()[0].text.size(), 400u);
    EXPECT_EQ(tape.documents()[0].text.substr(0, 4), "<DAT");
    EXPECT_TRUE(tape.documents()[0].text.ends_with("</MAC>"));
    EXPECT_NE(tape.documents()[0].text.find(Utf8ToCp1251("ГРОШІ")), std::string::npos);

    ASSERT_NE(tape.FindByDi(10), nullptr);
    EXPECT_EQ(tape.FindByDi(10)->ts, "20140501090500");
    EXPECT_FALSE(tape.FindByDi(10)->z_no.has_value());
    EXPECT_EQ(tape.FindByDi(7), nullptr);
    ASSERT_NE(tape.FindByZNo(53), nullptr);
    EXPECT_EQ(tape.FindByZNo(53)->di, 11);
    // A receipt's NO (on E) is no Z-report number.
    EXPECT_EQ(tape.FindByZNo(138), nullptr);
}

TEST(Tape, FindsTheDiRangeOfATimeRange) {
    const Tape tape = Tape::FromFile(kFixture);
    struct Case {
        std::int64_t from, to;
        std::optional<std::pair<std::int32_t, std::int32_t>> expected;
    };
    const Case cases[] = {
        {20140101000000, 20141231235959, std::pair{8, 11}},
        {20140430144200, 20140430144200, std::pair{8, 8}},  // both ends inclusive
        {20140430144201, 20140505093459, std::pair{9, 10}},
        {20140505093500, 20140505093559, std::pair{11, 11}},
        {20150101000000, 20150101000000, std::nullopt},
        {20140505000000, 20140430000000, std::nullopt},  // reversed
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tape.DiRangeByTime(c.from, c.to), c.expected) << c.from << ".." << c.to;
    }
}

TEST(Tape, ToleratesWhatTheClientWouldAndRejectsWhatItCouldNotServe) {
    // Single quotes, blanks around "=", a MAC-less document and a duplicate DI.
    const std::string xml =
        "<RQ>\r\n<DAT V='1' DI = '3'><Z NO=\"7\"/><TS>20170201080000</TS></DAT>\r\n"
        "<DAT DI=\"4\"><C T=\"0\"/></DAT>\r\n" +
        Doc("3", "<C/>") + "\r\n</RQ>\r\n";
    const Tape tape = Tape::Parse(xml);
    ASSERT_EQ(tape.size(), 3u);
    EXPECT_EQ(tape.documents()[0].text,
              "<DAT V='1' DI = '3'><Z NO=\"7\"/><TS>20170201080000</TS></DAT>");
    EXPECT_EQ(tape.documents()[0].z_no, 7);
    EXPECT_EQ(tape.documents()[1].text, "<DAT DI=\"4\"><C T=\"0\"/></DAT>");
    EXPECT_EQ(tape.FindByDi(3), &tape.documents()[0]);  // the first of two keeps the DI

    const std::string bad[] = {
        "<RQ><DAT V=\"1\"><C/></DAT></RQ>",                           // no DI
        "<RQ><DAT DI=\"1.5\"><C/></DAT></RQ>",                        // DI not whole
        "<RQ><DAT DI=\"1\"><C/></RQ>",                                // not closed
        "<RQ><DAT DI=\"1\"><Z NO=\"x\"/></DAT></RQ>",                 // Z NO not a number
        std::string("<RQ><DAT DI=\"1\"><L>a\0b</L></DAT></RQ>", 36),  // zero byte
    };
    for (const std::string& text : bad) {
        EXPECT_THROW(Tape::Parse(text), ParseError) << text;
    }
    EXPECT_EQ(Tape::Parse("<RQ V=\"1\">\r\n</RQ>\r\n").size(), 0u);
    EXPECT_EQ(Tape::Parse("<DATA DI=\"1\"></DATA>").size(), 0u);  // another element
    EXPECT_THROW(Tape::FromFile("/nonexistent/tape.xml"), FileError);
}

}  // namespace
}  // namespace tavrelo
