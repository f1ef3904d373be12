#include "export/csv_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "load_tape.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using testing::Response;
using testing::WalkedTape;

TEST(CsvExport, BundledTapesMatchTheirGoldenFiles) {
    for (const char* name : {"tape-8-12", "tape-20-29"}) {
        SCOPED_TRACE(name);
        const fs::path data = TAVRELO_DATA_DIR;
        WalkedTape tape(ReadFile(data / (std::string(name) + ".xml")));
        EXPECT_EQ(ExportCsv(tape.model, tape.numbers),
                  ReadFile(data / (std::string(name) + ".csv")));
    }
}

TEST(CsvExport, QuotesAsRfc4180Asks) {
    const struct {
        const char* field;
        const char* written;
    } cases[] = {
        {"plain", "plain"},
        {"", ""},
        {"Молоко 2,5%", "\"Молоко 2,5%\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
        {" blank ", " blank "},
    };
    for (const auto& c : cases) EXPECT_EQ(CsvField(c.field), c.written) << c.field;
}

TEST(CsvExport, OneRowPerLineOfEveryReceiptAndNoneForZReports) {
    WalkedTape tape(Utf8ToCp1251(Response(
        "<DAT DI=\"5\"><C T=\"0\"><L N=\"1\">Дякуємо, \"друже\"</L>"
        "<P N=\"2\" NM=\"Сир\" PRC=\"4000\" Q=\"250\" SM=\"1000\" TX=\"1\"/>"
        "<D N=\"3\" SM=\"100\" TX=\"1\"/><M N=\"4\" NM=\"ГРОШІ\" SM=\"900\"/>"
        "<E N=\"5\" NO=\"9\" SM=\"900\"/></C><TS>20170101120000</TS></DAT><MAC DI=\"5\"/>\n"
        "<DAT DI=\"6\"><Z NO=\"2\"><NC NI=\"1\"/></Z><TS>20170101200000</TS></DAT>"
        "<MAC DI=\"6\"/>\n")));
    EXPECT_EQ(ExportCsv(tape.model, tape.numbers),
              "document,receipt,timestamp,kind,name,quantity,price,amount,tax_letter\r\n"
              "5,9,2017-01-01T12:00:00,comment,\"Дякуємо, \"\"друже\"\"\",,,,\r\n"
              "5,9,2017-01-01T12:00:00,item,Сир,0.250,40.00,10.00,A\r\n"
              "5,9,2017-01-01T12:00:00,discount,,,,1.00,A\r\n"
              "5,9,2017-01-01T12:00:00,payment,ГРОШІ,,,9.00,\r\n");
}

}  // namespace
}  // namespace tavrelo
