#include "export/exact_numbers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "common/numbers.h"
#include "load_tape.h"
#include "register/generator.h"

namespace tavrelo {
namespace {

using testing::Response;
using testing::WalkedTape;

// Every value the model holds for an attribute equals the collected text, read as the walk reads
// it; an attribute with no text holds the initial 0.
class AgreesWithModel {
  public:
    explicit AgreesWithModel(WalkedTape& tape) : tape_(tape) {}

    void Run() {
        for (int d = 0; d < tape_.model.cur(); ++d) {
            doc_ = d;
            dat& document = tape_.model.dat_at(d);
            Same(code_dat, 0, "DI", document.di());
            if (document.is_check()) {
                Receipt(document.check_at(0));
            } else {
                Report(document.zvit_at(0));
            }
        }
        EXPECT_GT(compared_, 0);
    }

  private:
    void Same(int code, int index, const char* attribute, float model_value) {
        const std::string* text = tape_.numbers.Text(doc_, code, index, attribute);
        const float expected = text ? ParseFloat(*text) : 0.0f;
        EXPECT_EQ(expected, model_value)
            << "document " << doc_ << " element " << code << "[" << index << "] " << attribute;
        ++compared_;
    }

    void Receipt(check& c) {
        Same(code_c, 0, "T", c.t());
        for (int i = 0; i < c.p_count(); ++i) {
            Same(code_p, i, "SM", c.p_at(i).sm());
            Same(code_p, i, "Q", c.p_at(i).q());
            Same(code_p, i, "PRC", c.p_at(i).prc());
        }
        for (int i = 0; i < c.cp_count(); ++i) Same(code_cp, i, "SM", c.cp_at(i).sm());
        for (int i = 0; i < c.d_count(); ++i) Same(code_d, i, "SM", c.d_at(i).sm());
        for (int i = 0; i < c.s_count(); ++i) Same(code_s, i, "SM", c.s_at(i).sm());
        for (int i = 0; i < c.m_count(); ++i) {
            Same(code_m, i, "SM", c.m_at(i).sm());
            Same(code_m, i, "RM", c.m_at(i).rm());
            Same(code_m, i, "T", c.m_at(i).t());
        }
        for (int i = 0; i < c.i_count(); ++i) Same(code_i, i, "SM", c.i_at(i).sm());
        for (int i = 0; i < c.o_count(); ++i) Same(code_o, i, "SM", c.o_at(i).sm());
        Same(code_e, 0, "SM", c.e().sm());
        Same(code_e, 0, "NO", c.e().no());
        Same(code_e, 0, "TXSM", c.e().txsm());
        Same(code_e, 0, "VD", c.e().vd());
        for (int i = 0; i < c.e().tx_count(); ++i) {
            Same(code_tx, i, "TXSM", c.e().tx_at(i).txsm());
            Same(code_tx, i, "DTSM", c.e().tx_at(i).dtsm());
        }
    }

    void Report(zvit& z) {
        Same(code_z, 0, "NO", z.no());
        for (int i = 0; i < z.m_count(); ++i) {
            Same(code_z_m, i, "SMI", z.m_at(i).smi());
            Same(code_z_m, i, "SMO", z.m_at(i).smo());
        }
        for (int i = 0; i < z.io_count(); ++i) Same(code_io, i, "SMT", z.io_at(i).smt());
        for (int i = 0; i < z.nc_count(); ++i) Same(code_nc, i, "NI", z.nc_at(i).ni());
        for (int i = 0; i < z.txs_count(); ++i) {
            Same(code_txs, i, "SMI", z.txs_at(i).smi());
            Same(code_txs, i, "TXI", z.txs_at(i).txi());
            Same(code_txs, i, "DTO", z.txs_at(i).dto());
        }
    }

    WalkedTape& tape_;
    int doc_ = 0;
    int compared_ = 0;
};

TEST(ExactNumbers, AddressEveryValueWhereTheModelHoldsIt) {
    for (const char* name : {"tape-8-12.xml", "tape-20-29.xml"}) {
        SCOPED_TRACE(name);
        WalkedTape tape(ReadFile(std::filesystem::path(TAVRELO_DATA_DIR) / name));
        AgreesWithModel(tape).Run();
    }
    WalkedTape generated(GenerateTape(1500, 7));
    AgreesWithModel(generated).Run();
}

TEST(ExactNumbers, FollowTheWalkThroughIrregularTapes) {
    // A DAT without its MAC shares the document index with the next one, counts running on;
    // elements out of their usual place go where the walk puts them; M after a Z entry is a
    // payment-form total.
    const std::string xml = Response(
        "<DAT DI=\"1\"><C T=\"0\"><P N=\"1\" SM=\"100\"/><E SM=\"100\"/></C></DAT>\n"
        "<DAT DI=\"2\"><C T=\"0\"><P N=\"1\" SM=\"250\"/><E SM=\"250\"/><P SM=\"7\"/></C>"
        "<TS>1</TS></DAT><MAC DI=\"2\"/>\n"
        "<DAT DI=\"3\"><Z NO=\"4\"><NC NI=\"1\"/><M SMI=\"300\"/><M SMI=\"5\"/></Z></DAT>"
        "<MAC DI=\"3\"/>\n"
        "<DAT DI=\"4\"><P SM=\"9\"/><M SM=\"1\"/></DAT><MAC/>\n");
    WalkedTape tape(xml);
    AgreesWithModel(tape).Run();
    EXPECT_EQ(*tape.numbers.Text(0, code_p, 1, "SM"), "250");
    EXPECT_EQ(*tape.numbers.Text(0, code_p, 2, "SM"), "7");
    EXPECT_EQ(*tape.numbers.Text(0, code_e, 0, "SM"), "250");  // one E per receipt: the last
    EXPECT_EQ(*tape.numbers.Text(1, code_z_m, 1, "SMI"), "5");
    EXPECT_EQ(tape.numbers.Text(1, code_m, 0, "SMI"), nullptr);
    EXPECT_EQ(*tape.numbers.Text(2, code_p, 0, "SM"), "9");
    EXPECT_EQ(*tape.numbers.Text(2, code_m, 0, "SM"), "1");
    EXPECT_EQ(tape.numbers.Text(3, code_p, 0, "SM"), nullptr);
}

TEST(ExactNumbers, KeepAmountsThatAFloatCannotHold) {
    WalkedTape tape(Response(
        "<DAT DI=\"1\"><C T=\"0\"><P N=\"1\" SM=\"1677721701\"/><E N=\"2\" SM=\"1677721700\"/>"
        "</C></DAT><MAC DI=\"1\"/>\n"));
    EXPECT_EQ(tape.model.dat_at(0).check_at(0).p_at(0).sm(),
              tape.model.dat_at(0).check_at(0).e().sm());
    EXPECT_EQ(*tape.numbers.Text(0, code_p, 0, "SM"), "1677721701");
    EXPECT_EQ(*tape.numbers.Text(0, code_e, 0, "SM"), "1677721700");
}

}  // namespace
}  // namespace tavrelo
