#include "export/json_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "load_tape.h"
#include "register/generator.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using testing::Response;
using testing::WalkedTape;

TEST(JsonExport, BundledTapesMatchTheirGoldenFiles) {
    for (const char* name : {"tape-8-12", "tape-20-29"}) {
        SCOPED_TRACE(name);
        const fs::path data = TAVRELO_DATA_DIR;
        WalkedTape tape(ReadFile(data / (std::string(name) + ".xml")));
        EXPECT_EQ(ExportJson(tape.model, tape.numbers),
                  ReadFile(data / (std::string(name) + ".json")));
    }
}

TEST(JsonExport, HoldsEveryDocumentWithExactAmounts) {
    WalkedTape tape(Utf8ToCp1251(Response(
        "<DAT DI=\"7\" FN=\"3000000001\" ZN=\"402400001\" TN=\"ПН 1\"><C T=\"1\">"
        "<P C=\"5\" N=\"1\" NM=\"Кава &quot;Зерно&quot;\" PRC=\"167772170\" Q=\"10000\" "
        "SM=\"1677721701\" TX=\"2\"/>"
        "<M N=\"2\" NM=\"ГРОШІ\" RM=\"-0\" SM=\"1677721701\" T=\"0\"/>"
        "<E N=\"3\" NO=\"12\" SM=\"1677721701\" TX=\"2\" TXPR=\"0.00\" TXSM=\"0\"/></C>"
        "<TS>20170102030405</TS></DAT><MAC DI=\"7\"/>\n"
        "<DAT DI=\"8\"><Z NO=\"3\"><TXS SMI=\"16777217\" TS=\"2017\" TX=\"2\"/></Z><TS>bad</TS>"
        "</DAT><MAC DI=\"8\"/>\n")));
    const auto json = nlohmann::json::parse(ExportJson(tape.model, tape.numbers));
    ASSERT_EQ(json.size(), 2u);
    const auto& receipt = json[0];
    EXPECT_EQ(receipt["di"], 7);
    EXPECT_EQ(receipt["kind"], "receipt");
    EXPECT_EQ(receipt["tax_number"], "ПН 1");
    EXPECT_EQ(receipt["timestamp"], "2017-01-02T03:04:05");
    EXPECT_EQ(receipt["receipt"]["type"], 1);
    EXPECT_EQ(receipt["receipt"]["number"], 12);
    EXPECT_EQ(receipt["receipt"]["total"], "16777217.01");
    const auto& item = receipt["receipt"]["lines"][0];
    EXPECT_EQ(item["kind"], "item");
    EXPECT_EQ(item["name"], "Кава \"Зерно\"");
    EXPECT_EQ(item["quantity"], "10.000");
    EXPECT_EQ(item["price"], "1677721.70");
    EXPECT_EQ(item["amount"], "16777217.01");
    EXPECT_EQ(item["tax_letter"], "Б");
    EXPECT_EQ(receipt["receipt"]["payments"][0]["change"], "0.00");
    EXPECT_EQ(receipt["receipt"]["payments"][0]["name"], "ГРОШІ");
    EXPECT_EQ(receipt["receipt"]["taxes"][0]["levy_rate"], nullptr);
    const auto& report = json[1];
    EXPECT_EQ(report["kind"], "z_report");
    EXPECT_EQ(report["timestamp"], nullptr);
    EXPECT_EQ(report["z_report"]["taxes"][0]["sales"], "167772.17");
    EXPECT_EQ(report["z_report"]["taxes"][0]["since"], nullptr);
    EXPECT_TRUE(report["z_report"]["payments"].empty());
}

TEST(JsonExport, EmptyTapeIsAnEmptyArray) {
    WalkedTape tape(Response(""));
    EXPECT_EQ(ExportJson(tape.model, tape.numbers), "[]\n");
}

TEST(JsonExport, GeneratedTapeIsValidJsonWithOneObjectPerDocument) {
    WalkedTape tape(GenerateTape(800, 3));
    const auto json = nlohmann::json::parse(ExportJson(tape.model, tape.numbers));
    ASSERT_EQ(json.size(), 800u);
    for (std::size_t i = 0; i < json.size(); ++i) {
        ASSERT_EQ(json[i]["di"], i + 1);
        if (json[i]["kind"] == "receipt") {
            ASSERT_TRUE(json[i]["receipt"]["total"].is_string());
        }
    }
}

}  // namespace
}  // namespace tavrelo
