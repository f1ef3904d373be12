#include "register/generator.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <map>
#include <memory>
#include <set>

#include "common/cp1251.h"
#include "common/numbers.h"
#include "register/tape.h"

namespace tavrelo {
namespace {

struct XmlDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using XmlDoc = std::unique_ptr<xmlDoc, XmlDocFree>;

XmlDoc ParseXml(const std::string& text) {
    return XmlDoc(xmlReadMemory(text.data(), static_cast<int>(text.size()), "tape.xml", nullptr,
                                XML_PARSE_NONET));
}

std::string Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

std::vector<const xmlNode*> Children(const xmlNode* node) {
    std::vector<const xmlNode*> children;
    for (const xmlNode* c = node->children; c != nullptr; c = c->next) {
        if (c->type == XML_ELEMENT_NODE) children.push_back(c);
    }
    return children;
}

std::map<std::string, std::string> Attributes(const xmlNode* node) {
    std::map<std::string, std::string> attributes;
    for (const xmlAttr* a = node->properties; a != nullptr; a = a->next) {
        xmlChar* value = xmlNodeListGetString(node->doc, a->children, 1);
        attributes[reinterpret_cast<const char*>(a->name)] =
            Utf8ToCp1251(reinterpret_cast<const char*>(value));
        xmlFree(value);
    }
    return attributes;
}

std::string Text(const xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = reinterpret_cast<const char*>(content);
    xmlFree(content);
    return text;
}

double Number(const std::map<std::string, std::string>& a, const std::string& name) {
    const auto it = a.find(name);
    if (it == a.end()) return 0;
    ParseFloat(it->second);  // must be a number the walk accepts; compared exactly as double
    return std::stod(it->second);
}

// The attributes of text form, per element (inside C and inside Z for M); all others are numbers.
bool IsTextAttribute(const std::string& parent, const std::string& element,
                     const std::string& attribute) {
    static const std::map<std::string, std::set<std::string>> kText = {
        {"DAT", {"FN", "TN", "ZN"}},
        {"P", {"C", "CD", "NM", "TX"}},
        {"CP", {"C", "CD", "NM", "TX"}},
        {"D", {"TX"}},
        {"S", {"TX"}},
        {"M", {"NM", "RRN"}},
        {"I", {"NM"}},
        {"O", {"NM"}},
        {"E", {"TX", "TS", "FN"}},
        {"TX", {"TX"}},
        {"IO", {"NM"}},
        {"TXS", {"TX", "TS"}},
    };
    (void)parent;
    const auto it = kText.find(element);
    return it != kText.end() && it->second.contains(attribute);
}

void CheckNumbers(const xmlNode* node, const std::string& parent) {
    const std::string name = Name(node);
    for (const auto& [attribute, value] : Attributes(node)) {
        if (IsTextAttribute(parent, name, attribute)) continue;
        EXPECT_NO_THROW(ParseFloat(value)) << name << " " << attribute << "=" << value;
    }
    for (const xmlNode* child : Children(node)) CheckNumbers(child, name);
}

TEST(Generator, IsDeterministicPerSeed) {
    const std::string a = GenerateTape(700, 42);
    EXPECT_EQ(a, GenerateTape(700, 42));
    EXPECT_NE(a, GenerateTape(700, 43));
    // A longer tape of the same seed begins with the same documents.
    const auto shorter = GenerateDocuments(50, 42);
    const auto longer = GenerateDocuments(60, 42);
    EXPECT_TRUE(std::equal(shorter.begin(), shorter.end(), longer.begin()));
    EXPECT_TRUE(GenerateDocuments(0, 1).empty());
}

TEST(Generator, UsesTheResponseFraming) {
    const auto documents = GenerateDocuments(300, 5);
    const std::string tape = GenerateTape(300, 5);
    std::string expected = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<RQ V=\"1\">\r\n";
    for (const std::string& d : documents) {
        EXPECT_EQ(d.find_first_of("\r\n"), std::string::npos);
        EXPECT_TRUE(d.starts_with("<DAT ")) << d;
        EXPECT_TRUE(d.ends_with("</MAC>")) << d;
        expected += d + "\r\n";
    }
    expected += "</RQ>\r\n";
    EXPECT_EQ(tape, expected);
    const Tape parsed = Tape::Parse(tape);
    ASSERT_EQ(parsed.size(), documents.size());
    for (std::size_t i = 0; i < documents.size(); ++i) {
        EXPECT_EQ(parsed.documents()[i].text, documents[i]);
        EXPECT_EQ(parsed.documents()[i].di, static_cast<std::int32_t>(i + 1));
    }
}

// Parsed with libxml2: well-formed, numbered from 1, increasing time, every number attribute a
// number, receipts whose totals add up and Z-reports whose figures are those of their period.
TEST(Generator, WritesWellFormedPlausibleDocuments) {
    const std::string text = GenerateTape(2500, 9);
    const XmlDoc doc = ParseXml(text);
    ASSERT_NE(doc, nullptr);
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    ASSERT_EQ(Name(root), "RQ");
    const auto documents = Children(root);
    ASSERT_EQ(documents.size(), 5000u);  // DAT and MAC for each

    std::set<std::string> kinds;  // the line elements and receipt types met
    int z_reports = 0;
    std::int64_t expected_di = 1;
    std::string last_ts;
    // The period since the last Z-report.
    double sales = 0, returns = 0, cash_in = 0, cash_out = 0, cash_sales = 0, cash_returns = 0;
    int sale_receipts = 0, return_receipts = 0;
    for (std::size_t i = 0; i < documents.size(); i += 2) {
        const xmlNode* dat = documents[i];
        const xmlNode* mac = documents[i + 1];
        ASSERT_EQ(Name(dat), "DAT");
        ASSERT_EQ(Name(mac), "MAC");
        const auto dat_attributes = Attributes(dat);
        ASSERT_EQ(Number(dat_attributes, "DI"), expected_di);
        EXPECT_EQ(Number(Attributes(mac), "DI"), expected_di);
        EXPECT_EQ(Text(mac).size(), 40u);
        ++expected_di;
        CheckNumbers(dat, "RQ");

        const auto parts = Children(dat);
        ASSERT_EQ(parts.size(), 2u);
        ASSERT_EQ(Name(parts[1]), "TS");
        const std::string ts = Text(parts[1]);
        ASSERT_EQ(ts.size(), 14u);
        EXPECT_GT(ts, last_ts);
        last_ts = ts;

        const xmlNode* body = parts[0];
        if (Name(body) == "Z") {
            ++z_reports;
            double m_sales = 0, m_returns = 0, txs_sales = 0, txs_returns = 0;
            for (const xmlNode* z : Children(body)) {
                const auto a = Attributes(z);
                if (Name(z) == "M") {
                    m_sales += Number(a, "SMI");
                    m_returns += Number(a, "SMO");
                } else if (Name(z) == "TXS") {
                    txs_sales += Number(a, "SMI");
                    txs_returns += Number(a, "SMO");
                    EXPECT_EQ(a.at("TS").size(), 8u);
                } else if (Name(z) == "NC") {
                    EXPECT_EQ(Number(a, "NI"), sale_receipts);
                    EXPECT_EQ(Number(a, "NO"), return_receipts);
                } else if (Name(z) == "IO") {
                    EXPECT_EQ(Number(a, "SMI"), cash_in);
                    EXPECT_EQ(Number(a, "SMO"), cash_out);
                    EXPECT_EQ(Number(a, "SMT"), cash_in - cash_out + cash_sales - cash_returns);
                    EXPECT_GE(Number(a, "SMT"), 0);
                }
            }
            EXPECT_EQ(m_sales, sales);
            EXPECT_EQ(txs_sales, sales);
            EXPECT_EQ(m_returns, returns);
            EXPECT_EQ(txs_returns, returns);
            sales = returns = cash_in = cash_out = cash_sales = cash_returns = 0;
            sale_receipts = return_receipts = 0;
            continue;
        }

        ASSERT_EQ(Name(body), "C");
        const int type = static_cast<int>(Number(Attributes(body), "T"));
        const auto lines = Children(body);
        ASSERT_GE(lines.size(), 2u);
        ASSERT_LE(lines.size(), 30u);
        ASSERT_EQ(Name(lines.back()), "E");
        const auto end = Attributes(lines.back());
        const bool cancelled = Number(end, "VD") == 1;
        kinds.insert("C" + std::to_string(type) + (cancelled ? "VD" : ""));
        double items = 0, paid = 0, change = 0, cash = 0, in = 0, out = 0;
        int n = 0;
        for (const xmlNode* line : lines) {
            const std::string name = Name(line);
            const auto a = Attributes(line);
            EXPECT_EQ(Number(a, "N"), ++n) << "line numbers run 1, 2, 3 ...";
            kinds.insert(name);
            if (name == "P" || name == "CP") {
                items += Number(a, "SM");
                if (a.contains("Q")) {
                    kinds.insert("Q");
                    EXPECT_NEAR(Number(a, "SM"), Number(a, "Q") * Number(a, "PRC") / 1000, 0.5);
                }
            } else if (name == "D") {
                items -= Number(a, "SM");
            } else if (name == "S") {
                items += Number(a, "SM");
            } else if (name == "M") {
                paid += Number(a, "SM");
                change += Number(a, "RM");
                if (a.at("NM") == Utf8ToCp1251("ГРОШІ")) cash += Number(a, "SM") - Number(a, "RM");
                if (a.contains("RM")) kinds.insert("RM");
                if (a.contains("RRN")) {
                    kinds.insert("RRN");
                    EXPECT_EQ(a.at("NM"), Utf8ToCp1251("КРЕДИТ"));
                }
            } else if (name == "I") {
                in += Number(a, "SM");
            } else if (name == "O") {
                out += Number(a, "SM");
            } else if (name == "E") {
                EXPECT_EQ(a.at("TS"), ts);
                if (!Children(line).empty()) kinds.insert("E/TX");
                if (a.contains("TXPR")) kinds.insert("E single tax");
            }
        }
        if (type == 2) {
            EXPECT_EQ(Number(end, "SM"), in + out);
            cash_in += in;
            cash_out += out;
            continue;
        }
        EXPECT_EQ(Number(end, "SM"), items);
        if (cancelled) continue;
        EXPECT_EQ(paid - change, items);
        (type == 1 ? returns : sales) += items;
        (type == 1 ? cash_returns : cash_sales) += cash;
        (type == 1 ? return_receipts : sale_receipts) += 1;
    }
    EXPECT_GE(z_reports, 4);
    for (const char* kind : {"C0", "C1", "C2", "C0VD", "P", "CP", "D", "S", "L", "M", "I", "O",
                             "VD", "E", "Q", "RM", "RRN", "E/TX", "E single tax"}) {
        EXPECT_TRUE(kinds.contains(kind)) << kind;
    }
}

}  // namespace
}  // namespace tavrelo
