// Hostile and broken control-tape texts, end to end: parse, walk and render. Whatever the bytes,
// the outcome is one of the documented ones: ParseError (model untouched), ConversionError (model
// filled up to the bad value), or a rendering where a bad document is logged and skipped.
#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "common/errors.h"
#include "platform/xml/parse_response.h"
#include "platform/xml/xml_document.h"
#include "platform/xml/xml_safety.h"
#include "render/render_documents.h"

namespace tavrelo {
namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>";

// The message of the ParseError that `xml` raises; "" when it raises none. The model must come
// out of a rejected text exactly as it went in.
std::string Rejection(const std::string& xml) {
    rq model;
    control state;
    model.set_v(7);
    ::testing::internal::CaptureStderr();
    std::string message;
    try {
        ParseResponse(xml, model, state);
    } catch (const ParseError& error) {
        message = error.what();
        if (message.empty()) message = "(empty message)";
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "libxml2 printed to stderr";
    if (!message.empty()) {
        EXPECT_EQ(model.v(), 7.0f);
        EXPECT_EQ(model.cur(), 0);
    }
    return message;
}

// One receipt document with `p_attributes` on its P line and `e_attributes` on its E line.
std::string Receipt(const std::string& p_attributes, const std::string& e_attributes = "") {
    return kDeclaration + "<RQ V=\"1\"><DAT DI=\"1\" FN=\"1\" ZN=\"2\"><C T=\"0\"><P N=\"1\" " +
           p_attributes + "/><E N=\"2\" NO=\"5\" SM=\"100\" CS=\"1\" " + e_attributes +
           "/></C><TS>20140430144200</TS></DAT><MAC DI=\"1\"/></RQ>";
}

TEST(BadInput, MalformedTextIsRejectedWithAMessage) {
    const std::string cases[] = {
        "",
        kDeclaration,
        "<RQ>",
        "<RQ><DAT></RQ>",
        "<RQ V=1/>",
        "<RQ V=\"1/>",
        "<RQ V=\"1\" V=\"2\"/>",
        "<RQ/><RQ/>",
        "<RQ/>trailing text",
        "<RQ><DAT FN=\"a<b\"/></RQ>",
        "<RQ><DAT FN=\"&undefined;\"/></RQ>",
        "<RQ>&#0;</RQ>",
        std::string("<RQ V=\"1\"/>\0<RQ/>", 16),
        std::string("<RQ>\0</RQ>", 10),
        "\xEF\xBB\xBF\xEF\xBB\xBF<RQ/>",
        "<RQ><DAT FN=\"1\"><C></DAT></C></RQ>",
        "<!DOCTYPE RQ [<!ELEMENT RQ ANY>]><!DOCTYPE RQ []><RQ/>",
        "garbage \x01\x02\x03\xFF",
        kDeclaration + "<RQ><DAT FN=\"" + std::string(100, '\x01') + "\"/></RQ>",
    };
    for (const std::string& xml : cases) {
        EXPECT_NE(Rejection(xml), "") << "accepted: " << xml;
    }
}

TEST(BadInput, EncodingDeclarations) {
    // Unknown or mismatched encodings reject the text; they never turn bytes into other letters.
    EXPECT_NE(Rejection("<?xml version=\"1.0\" encoding=\"x-no-such-code-page\"?><RQ/>"), "");
    EXPECT_NE(Rejection("<?xml version=\"1.0\" encoding=\"\"?><RQ/>"), "");
    EXPECT_NE(
        Rejection("<?xml version=\"1.0\" encoding=\"UTF-8\"?><RQ><DAT FN=\"\xCA\xE0\"/></RQ>"), "");
    EXPECT_NE(Rejection("<RQ><DAT FN=\"\xCA\xE0\xF1\xE0\"/></RQ>"), "");  // no declaration: UTF-8
    // 0x98 is the one byte without a character in Windows-1251.
    const std::string undefined_byte = Rejection(kDeclaration + "<RQ><DAT FN=\"a\x98z\"/></RQ>");
    EXPECT_NE(undefined_byte, "");
    EXPECT_NE(Rejection(kDeclaration + "<RQ><DAT><C><L>\x98</L></C></DAT></RQ>"), "");

    // A known Cyrillic encoding other than the register's own reads as the same letters.
    rq model;
    control state;
    ParseResponse(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-5\"?><RQ><DAT FN=\"\xBA\xD0\xE1\xD0\"/>"
        "<MAC/></RQ>",
        model, state);
    EXPECT_EQ(model.dat_at(0).fn(), Utf8ToCp1251("Каса"));
    model.clear();
    state.clear();
    ParseResponse(
        "<?xml version=\"1.0\" encoding=\"CP1251\"?><RQ><DAT FN=\"\xCA\xE0\xF1\xE0\"/>"
        "<MAC/></RQ>",
        model, state);
    EXPECT_EQ(model.dat_at(0).fn(), Utf8ToCp1251("Каса"));
}

TEST(BadInput, ExternalEntitiesAndDtdsAreNeverLoaded) {
    const std::string dir = TAVRELO_TEST_DATA_DIR "/xml/";
    const std::string subsets[] = {
        // A parameter entity that would pull in a DTD declaring the leaking entity.
        "<!DOCTYPE RQ [<!ENTITY % p SYSTEM \"file://" + dir + "leak.dtd\"> %p;]>",
        "<!DOCTYPE RQ PUBLIC \"-//X//Y\" \"file://" + dir + "leak.dtd\">",
        // The network is never asked: no name lookup, no connection, no wait.
        "<!DOCTYPE RQ SYSTEM \"http://192.0.2.1/leak.dtd\">",
        "<!DOCTYPE RQ [<!ENTITY net SYSTEM \"http://192.0.2.1/secret.txt\">]>",
        "<!DOCTYPE RQ [<!ENTITY pass SYSTEM \"file:///etc/passwd\">]>",
    };
    for (const std::string& subset : subsets) {
        rq model;
        control state;
        ::testing::internal::CaptureStderr();
        try {
            ParseResponse(kDeclaration + subset +
                              "<RQ><DAT FN=\"f\"><C><L>x</L><L N=\"2\">y</L></C></DAT><MAC/></RQ>",
                          model, state);
            const check& receipt = model.dat_at(0).check_at(0);
            EXPECT_EQ(model.dat_at(0).fn(), "f");
            EXPECT_EQ(const_cast<check&>(receipt).l_at(0).n(), 0.0f) << "a DTD default arrived";
        } catch (const ParseError&) {
            // Rejecting the text is as good: nothing was read.
        }
        ::testing::internal::GetCapturedStderr();
        for (int k = 0; k <= model.cur(); ++k) {
            dat& d = model.dat_at(k);
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(d.check_at(0).l_at(i).text().find("TOP-SECRET"), std::string::npos);
                EXPECT_EQ(d.check_at(0).l_at(i).text().find("root:"), std::string::npos);
            }
        }
    }
    // An entity that names an outside file cannot be used in a value at all.
    EXPECT_NE(
        Rejection(kDeclaration + "<!DOCTYPE RQ [<!ENTITY pass SYSTEM \"file:///etc/passwd\">]>"
                                 "<RQ><DAT FN=\"&pass;\"/></RQ>"),
        "");
}

TEST(BadInput, EntityAmplificationIsRefused) {
    // Not nested, so no depth counter sees it: one 100 kB entity used 10,000 times in a value
    // would be a gigabyte.
    const std::string big(100000, 'A');
    std::string uses;
    for (int i = 0; i < 10000; ++i) uses += "&b;";
    const std::string doctype = "<!DOCTYPE RQ [<!ENTITY b \"" + big + "\">]>";
    const std::string message =
        Rejection(kDeclaration + doctype + "<RQ><DAT FN=\"" + uses + "\"/></RQ>");
    EXPECT_NE(message.find("expanded"), std::string::npos) << message;
    // Within the limit, internal entities in values read as their text, nested ones included.
    rq small;
    control small_state;
    ParseResponse(kDeclaration +
                      "<!DOCTYPE RQ [<!ENTITY w \"ab\"><!ENTITY n \"&w;-&w;\">]>"
                      "<RQ><DAT FN=\"x&w;y&amp;&#1050;\" TN=\"&n;&n;\"/><MAC/></RQ>",
                  small, small_state);
    EXPECT_EQ(small.dat_at(0).fn(), "xaby&" + Utf8ToCp1251("К"));
    EXPECT_EQ(small.dat_at(0).tn(), "ab-abab-ab");
    // In element content references stay references: nothing is expanded, nothing is stored.
    rq model;
    control state;
    ParseResponse(kDeclaration + doctype + "<RQ><DAT><C><L N=\"1\">" + uses + "</L></C></DAT></RQ>",
                  model, state);
    EXPECT_EQ(model.dat_at(0).check_at(0).l_at(0).text(), "");
}

// The walk recurses once per element level. libxml2 refuses more than 256 levels unless
// XML_PARSE_HUGE is given, which the safe options never give, so the walk's depth is bounded by
// the parser, for the streamed parse and the whole-tree document alike.
TEST(BadInput, NestingBeyondTheParserLimitIsRejectedBeforeTheWalk) {
    EXPECT_EQ(SafeParseOptions() & XML_PARSE_HUGE, 0);

    auto nested = [](int depth) {
        std::string xml = "<RQ>";
        for (int i = 1; i < depth; ++i) xml += "<L N=\"1\">";
        for (int i = 1; i < depth; ++i) xml += "</L>";
        return xml + "</RQ>";
    };
    for (const int depth : {300, 1000, 100000}) {
        const std::string message = Rejection(nested(depth));
        EXPECT_NE(message.find("depth"), std::string::npos) << depth << ": " << message;
        EXPECT_THROW(XmlDocument{nested(depth)}, ParseError) << depth;
    }
    // Within the limit the whole depth is walked.
    rq model;
    control state;
    ParseResponse(nested(256), model, state);
    EXPECT_EQ(model.dat_at(0).check_at(0).line_no(), 255);
}

TEST(BadInput, MegabyteAttributeValues) {
    // Texts of any length libxml2 accepts are stored unchanged (3 MB of Cyrillic is 6 MB of
    // UTF-8 inside libxml2, within its 10 MB for one value).
    const std::string name(3 * 1024 * 1024, '\xC0');
    rq model;
    control state;
    ParseResponse(Receipt("NM=\"" + name + "\" SM=\"1\" TX=\"1\""), model, state);
    EXPECT_EQ(model.dat_at(0).check_at(0).p_at(0).nm(), name);
    std::vector<std::string> lines;
    const std::filesystem::path log =
        std::filesystem::path(::testing::TempDir()) / "bad-input-error.log";
    EXPECT_EQ(RenderDocuments(model, kSelectChecks, lines, log), 0);
    EXPECT_GT(lines.size(), name.size() / 34);

    // Beyond libxml2's limit for one value (10 MB) the text is rejected, not truncated.
    EXPECT_NE(Rejection(Receipt("NM=\"" + std::string(11 * 1024 * 1024, 'x') + "\"")), "");

    // A number of a million digits is no single-precision number.
    rq numbers;
    EXPECT_THROW(ParseResponse(Receipt("SM=\"" + std::string(1000000, '9') + "\""), numbers, state),
                 ConversionError);
    numbers.clear();
    state.clear();
    ParseResponse(Receipt("SM=\"0." + std::string(1000000, '0') + "1\""), numbers, state);
    EXPECT_EQ(numbers.dat_at(0).check_at(0).p_at(0).sm(), 0.0f);
}

TEST(BadInput, NumericAttributeTexts) {
    struct Case {
        const char* text;
        bool number;
        float value;
    };
    const Case cases[] = {
        {"1e39", false, 0},
        {"-1e39", false, 0},
        {"nan", false, 0},
        {"inf", false, 0},
        {" 5", false, 0},
        {"5 ", false, 0},
        {"", false, 0},
        {"0x10", false, 0},
        {"5,0", false, 0},
        {"-0", true, -0.0f},
        {"1e-50", true, 0},
        {"3.4e38", true, 3.4e38f},
        {"16777217", true, 16777216.0f},
        // Far below every floating-point range: still a number, zero; far above: none.
        {"1e-99999999999", true, 0},
        {"-1e-5000", true, -0.0f},
        {"1e99999999999", false, 0},
        {"0.0e99999", true, 0},
    };
    for (const Case& c : cases) {
        rq model;
        control state;
        const std::string xml = Receipt(std::string("SM=\"") + c.text + "\" TX=\"1\"");
        if (!c.number) {
            EXPECT_THROW(ParseResponse(xml, model, state), ConversionError) << c.text;
            continue;
        }
        ParseResponse(xml, model, state);
        const float sm = model.dat_at(0).check_at(0).p_at(0).sm();
        EXPECT_EQ(sm, c.value) << c.text;
        EXPECT_EQ(std::signbit(sm), std::signbit(c.value)) << c.text;
    }
}

TEST(BadInput, MinusZeroAmountPrintsAsZero) {
    rq model;
    control state;
    ParseResponse(Receipt("NM=\"x\" SM=\"-0\" TX=\"1\""), model, state);
    std::vector<std::string> lines;
    RenderDocuments(model, kSelectChecks, lines,
                    std::filesystem::path(::testing::TempDir()) / "bad-input-error.log");
    bool item_line = false;
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("-0.00"), std::string::npos) << line;
        if (line.rfind("  x ", 0) == 0) item_line = line.find("0.00 A") != std::string::npos;
    }
    EXPECT_TRUE(item_line);
}

TEST(BadInput, TaxGroupBeyondTheIntegerRangeStopsOnlyItsDocument) {
    const std::filesystem::path log =
        std::filesystem::path(::testing::TempDir()) / "tax-group-error.log";
    std::filesystem::remove(log);
    // Two receipts: the first with a tax group no integer holds, the second sound.
    std::string xml = kDeclaration +
                      "<RQ V=\"1\"><DAT DI=\"1\"><C T=\"0\"><P N=\"1\" NM=\"a\" SM=\"1\" "
                      "TX=\"2147483648\"/><E N=\"2\" NO=\"5\" SM=\"1\" CS=\"1\"/></C><TS>2014</TS>"
                      "</DAT><MAC/><DAT DI=\"2\"><C T=\"0\"><P N=\"1\" NM=\"b\" SM=\"1\" "
                      "TX=\"2147483647\"/><E N=\"2\" NO=\"6\" SM=\"1\" CS=\"1\"/></C><TS>2014</TS>"
                      "</DAT><MAC/></RQ>";
    rq model;
    control state;
    ParseResponse(xml, model, state);  // TX is text: nothing fails while walking
    EXPECT_EQ(model.dat_at(0).check_at(0).p_at(0).tx(), "2147483648");
    std::vector<std::string> lines;
    EXPECT_EQ(RenderDocuments(model, kSelectChecks, lines, log), 1);
    ASSERT_TRUE(std::filesystem::exists(log));
    std::string logged;
    {
        std::ifstream in(log, std::ios::binary);
        std::getline(in, logged);
    }
    EXPECT_NE(logged.find("2147483648"), std::string::npos) << logged;
    // The second receipt is there in full, its group beyond the letters printed as the text.
    bool second = false;
    for (const std::string& line : lines) {
        if (line.find(Utf8ToCp1251("Много параметров")) != std::string::npos) second = true;
    }
    EXPECT_TRUE(second);
}

TEST(BadInput, NumbersBeyondTheIntegerRangeSaturate) {
    struct Case {
        const char* no;
        int expected;
    };
    const Case cases[] = {
        {"2147483647", INT_MAX},  {"2147483648", INT_MAX},
        {"4294967296", INT_MAX},  {"1e20", INT_MAX},
        {"-2147483649", INT_MIN}, {"-1e30", INT_MIN},
        {"3.4e38", INT_MAX},      {"12.9", 12},
        {"-12.9", -12},
    };
    for (const Case& c : cases) {
        rq model;
        control state;
        ParseResponse(kDeclaration + "<RQ><DAT DI=\"1\"><Z NO=\"" + c.no + "\"/><TS>2014</TS>" +
                          "</DAT><MAC/><DAT DI=\"2\"><C><E N=\"1\" NO=\"" + c.no +
                          "\"/></C></DAT><MAC/></RQ>",
                      model, state);
        EXPECT_EQ(model.zvit_no_max(), c.expected) << c.no;
        EXPECT_EQ(model.zvit_no_min(), c.expected) << c.no;
        EXPECT_EQ(model.check_no_max(), c.expected) << c.no;
        // The report's own number line saturates the same way.
        std::vector<std::string> lines;
        RenderDocuments(model, kSelectZvits, lines,
                        std::filesystem::path(::testing::TempDir()) / "z-no-error.log");
        bool number_line = false;
        for (const std::string& line : lines) {
            if (line.find("Z-") != std::string::npos) {
                number_line = true;
                const std::string tail = " N " + std::to_string(c.expected);
                EXPECT_EQ(line.substr(line.size() - std::min(line.size(), tail.size())), tail)
                    << line;
            }
        }
        EXPECT_TRUE(number_line) << c.no;
    }
}

}  // namespace
}  // namespace tavrelo
