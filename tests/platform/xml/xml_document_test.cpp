#include "platform/xml/xml_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cp1251.h"
#include "common/errors.h"

namespace tavrelo {
namespace {

std::vector<XmlNodeRef> Children(const XmlNodeRef& node) {
    std::vector<XmlNodeRef> out;
    for (XmlNodeRef child : node.ChildNodes()) out.push_back(child);
    return out;
}

std::vector<std::string> AttributeNames(const XmlNodeRef& node) {
    std::vector<std::string> out;
    for (XmlNodeRef attribute : node.AttributeNodes()) out.push_back(attribute.NodeName());
    return out;
}

// The message of the ParseError that parsing `xml` throws; empty when it parses.
std::string ParseFailure(const std::string& xml) {
    try {
        XmlDocument document(xml);
    } catch (const ParseError& e) {
        return e.what();
    }
    return {};
}

TEST(XmlDocument, AttributesAndChildrenInDocumentOrder) {
    const XmlDocument doc(
        R"(<RQ V="1"><P TX="1" N="4" C="x" NM=""/><!--note-->text<TS>1</TS></RQ>)");
    const XmlNodeRef root = doc.DocumentElement();
    EXPECT_EQ(root.NodeName(), "RQ");
    const auto children = Children(root);
    ASSERT_EQ(children.size(), 4u);
    EXPECT_EQ(children[0].NodeName(), "P");
    EXPECT_EQ(AttributeNames(children[0]), (std::vector<std::string>{"TX", "N", "C", "NM"}));
    std::vector<std::string> values;
    for (XmlNodeRef attribute : children[0].AttributeNodes())
        values.push_back(attribute.NodeValue());
    EXPECT_EQ(values, (std::vector<std::string>{"1", "4", "x", ""}));
    EXPECT_FALSE(children[0].HasChildNodes());
    EXPECT_EQ(children[1].NodeName(), "#comment");
    EXPECT_EQ(children[2].NodeName(), "#text");
    EXPECT_EQ(children[2].NodeValue(), "text");
    EXPECT_FALSE(children[2].IsTextElement());
    EXPECT_EQ(children[3].NodeName(), "TS");
    EXPECT_TRUE(children[3].IsTextElement());
    EXPECT_EQ(children[3].NodeValue(), "1");
    EXPECT_TRUE(children[3].AttributeNodes().empty());
}

TEST(XmlDocument, TextElementIsExactlyOneTextChild) {
    struct Case {
        const char* xml;
        bool text_element;
        const char* value;
    };
    const Case cases[] = {
        {"<L N=\"1\"/>", false, ""},
        {"<L></L>", false, ""},
        {"<L><![CDATA[in cdata]]></L>", false, ""},
        {"<L>plain</L>", true, "plain"},
        {"<L> </L>", true, " "},
        {"<L>a&amp;b&lt;</L>", true, "a&b<"},
        {"<L>a<!--c-->b</L>", false, ""},
        {"<L><X/></L>", false, ""},
    };
    for (const Case& c : cases) {
        const XmlDocument doc(std::string("<RQ>") + c.xml + "</RQ>");
        const XmlNodeRef l = Children(doc.DocumentElement()).at(0);
        EXPECT_EQ(l.IsTextElement(), c.text_element) << c.xml;
        EXPECT_EQ(l.NodeValue(), c.value) << c.xml;
    }
}

TEST(XmlDocument, WhiteSpaceTextNodesAreKept) {
    const XmlDocument doc("<RQ>\r\n  <DAT/>\n</RQ>");
    const auto children = Children(doc.DocumentElement());
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[0].NodeName(), "#text");
    EXPECT_EQ(children[0].NodeValue(), "\n  ");  // XML folds CR LF to LF
    EXPECT_EQ(children[1].NodeName(), "DAT");
}

TEST(XmlDocument, Windows1251BytesComeBackUnchanged) {
    std::string all_upper;
    for (int b = 0xC0; b <= 0xFF; ++b) all_upper += static_cast<char>(b);
    all_upper += Utf8ToCp1251("ІіЇїЄєҐґ№");
    const XmlDocument doc("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<RQ NM=\"" +
                          all_upper + "\"><L>" + all_upper + "</L></RQ>");
    const XmlNodeRef root = doc.DocumentElement();
    EXPECT_EQ((*root.AttributeNodes().begin()).NodeValue(), all_upper);
    EXPECT_EQ(Children(root).at(0).NodeValue(), all_upper);
}

TEST(XmlDocument, Utf8DocumentGivesWindows1251) {
    const XmlDocument doc(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><RQ NM=\"ГРОШІ\"><Ї>Їжачок</Ї></RQ>");
    const XmlNodeRef root = doc.DocumentElement();
    EXPECT_EQ((*root.AttributeNodes().begin()).NodeValue(), Utf8ToCp1251("ГРОШІ"));
    const XmlNodeRef child = Children(root).at(0);
    EXPECT_EQ(child.NodeName(), Utf8ToCp1251("Ї"));
    EXPECT_EQ(child.NodeValue(), Utf8ToCp1251("Їжачок"));
}

TEST(XmlDocument, MalformedTextThrowsWithMessageAndLineAndPrintsNothing) {
    ::testing::internal::CaptureStderr();
    const std::string missing_end = ParseFailure("<?xml version=\"1.0\"?>\n<RQ>\n<DAT>\n</RQ>\n");
    const std::string empty = ParseFailure("");
    const std::string bad_encoding =
        ParseFailure("<?xml version=\"1.0\" encoding=\"no-such-code-page\"?><RQ/>");
    const std::string bad_utf8 = ParseFailure("<?xml version=\"1.0\"?><RQ V=\"\xC0\"/>");
    const std::string two_roots = ParseFailure("<RQ/><RQ/>");
    const std::string printed = ::testing::internal::GetCapturedStderr();

    EXPECT_NE(missing_end.find("line 4"), std::string::npos) << missing_end;
    EXPECT_NE(missing_end.find("mismatch"), std::string::npos) << missing_end;
    EXPECT_FALSE(empty.empty());
    EXPECT_NE(bad_encoding.find("ncoding"), std::string::npos) << bad_encoding;
    EXPECT_FALSE(bad_utf8.empty());
    EXPECT_FALSE(two_roots.empty());
    EXPECT_EQ(printed, "");
}

TEST(XmlDocument, NoExternalEntityIsLoaded) {
    const std::string dir = TAVRELO_TEST_DATA_DIR "/xml/";
    const std::string doctype = "<!DOCTYPE RQ [<!ENTITY leak SYSTEM \"file://" + dir +
                                "secret.txt\"><!ENTITY near SYSTEM \"secret.txt\">]>";
    // In element content the references stay references with nothing below them.
    const XmlDocument doc("<?xml version=\"1.0\"?>" + doctype +
                          "<RQ><L>&leak;</L><H>&near;</H></RQ>");
    for (XmlNodeRef element : doc.DocumentElement().ChildNodes()) {
        EXPECT_FALSE(element.IsTextElement());
        EXPECT_EQ(element.NodeValue(), "");
        for (XmlNodeRef inside : element.ChildNodes()) {
            EXPECT_EQ(inside.NodeValue().find("TOP-SECRET"), std::string::npos);
            EXPECT_FALSE(inside.HasChildNodes());
        }
    }
    // In an attribute an external entity is not well-formed.
    EXPECT_FALSE(ParseFailure(doctype + "<RQ V=\"&leak;\"/>").empty());
    // An external DTD is not read: its default attribute value does not appear.
    const XmlDocument external("<!DOCTYPE RQ SYSTEM \"file://" + dir +
                               "leak.dtd\"><RQ><L>x</L></RQ>");
    EXPECT_TRUE(Children(external.DocumentElement()).at(0).AttributeNodes().empty());
}

TEST(XmlDocument, EntityExpansionBombFailsFast) {
    std::string doctype = "<!DOCTYPE RQ [<!ENTITY l0 \"lollollollollollollollollollol\">";
    for (int i = 1; i <= 12; ++i) {
        doctype += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k) doctype += "&l" + std::to_string(i - 1) + ";";
        doctype += "\">";
    }
    doctype += "]>";
    ::testing::internal::CaptureStderr();
    const std::string in_attribute = ParseFailure(doctype + "<RQ V=\"&l12;\"/>");
    const std::string in_content = ParseFailure(doctype + "<RQ><L>&l12;</L></RQ>");
    ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(in_attribute.empty());
    EXPECT_FALSE(in_content.empty());
}

}  // namespace
}  // namespace tavrelo
