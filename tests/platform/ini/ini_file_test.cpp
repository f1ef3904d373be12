#include "platform/ini/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "common/errors.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

struct FindCase {
    const char* text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

class FindIniValueTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindIniValueTest, FindsTheFirstEntry) {
    const FindCase& c = GetParam();
    EXPECT_EQ(FindIniValue(c.text, c.section, c.key), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindIniValueTest,
    ::testing::Values(
        FindCase{"[Connection]\r\nIPAddres=127.0.0.1\r\n", "Connection", "IPAddres", "127.0.0.1"},
        FindCase{"[Connection]\nIPAddres=10.0.0.1\n", "Connection", "IPAddres", "10.0.0.1"},
        // Read whole, however long.
        FindCase{"[Connection]\nIPAddres=192.168.100.100", "Connection", "IPAddres",
                 "192.168.100.100"},
        FindCase{"[CONNECTION]\nipaddres=1.2.3.4\n", "connection", "IPADDRES", "1.2.3.4"},
        FindCase{"  [ Connection ]  \n  IPAddres  =  1.2.3.4  \n", "Connection", "IPAddres",
                 "1.2.3.4"},
        FindCase{"[Property]\nID=\"ab c\"\n", "Property", "ID", "ab c"},
        FindCase{"[Property]\nID=\n", "Property", "ID", ""},
        FindCase{"[Property]\nID=a=b\n", "Property", "ID", "a=b"},
        FindCase{"[Property]\nID=first\nID=second\n", "Property", "ID", "first"},
        FindCase{"[Property]\nX=1\n[Property]\nID=late\n", "Property", "ID", "late"},
        FindCase{"ID=outside\n[Property]\n", "Property", "ID", std::nullopt},
        FindCase{"[Other]\nID=7\n[Property]\nX=1\n", "Property", "ID", std::nullopt},
        FindCase{"[Property]\n;ID=commented\n# ID=too\nodd line\n", "Property", "ID", std::nullopt},
        FindCase{"", "Property", "ID", std::nullopt},
        FindCase{"[Property\nID=1\n", "Property", "ID", std::nullopt}));

TEST(FindIniValueTest, ComparesCyrillicNamesWithoutCase) {
    const std::string text = Utf8ToCp1251("[Связь]\nАдрес=1\n[Її]\nҐє=2\n");
    EXPECT_EQ(FindIniValue(text, Utf8ToCp1251("СВЯЗЬ"), Utf8ToCp1251("адрес")), "1");
    EXPECT_EQ(FindIniValue(text, Utf8ToCp1251("її"), Utf8ToCp1251("ґЄ")), "2");
}

TEST(FindIniValueTest, KeepsValueBytes) {
    const std::string value = Utf8ToCp1251("Каса №1");
    EXPECT_EQ(FindIniValue("[P]\r\nID=" + value + "\r\n", "P", "ID"), value);
}

struct SetCase {
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

class SetIniValueTest : public ::testing::TestWithParam<SetCase> {};

TEST_P(SetIniValueTest, ChangesOnlyTheEntry) {
    const SetCase& c = GetParam();
    const std::string after = SetIniValue(c.before, c.section, c.key, c.value);
    EXPECT_EQ(after, c.after);
    EXPECT_EQ(FindIniValue(after, c.section, c.key), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetIniValueTest,
    ::testing::Values(SetCase{"", "Connection", "IPAddres", "127.0.0.1",
                              "[Connection]\r\nIPAddres=127.0.0.1\r\n"},
                      SetCase{"[Connection]\r\nIPAddres=127.0.0.1\r\n", "Property", "ID", "",
                              "[Connection]\r\nIPAddres=127.0.0.1\r\n[Property]\r\nID=\r\n"},
                      SetCase{"[connection]\nipaddres=1.1.1.1\n; note\n[Other]\nK=V\n",
                              "Connection", "IPAddres", "192.168.100.100",
                              "[connection]\nipaddres=192.168.100.100\n; note\n[Other]\nK=V\n"},
                      SetCase{"[A]\nX=1\n\n[B]\nY=2\n", "A", "Z", "3",
                              "[A]\nX=1\nZ=3\n\n[B]\nY=2\n"},
                      SetCase{"[A]\nX=1", "A", "Z", "3", "[A]\nX=1\nZ=3\n"},
                      SetCase{"[A]\nX=1", "B", "Z", "3", "[A]\nX=1\n[B]\nZ=3\n"},
                      SetCase{"[A]\nX=1", "A", "X", "2", "[A]\nX=2"},
                      SetCase{"[A]\nX=1\nX=5\n", "A", "X", "2", "[A]\nX=2\nX=5\n"},
                      SetCase{"odd\r\n[A]\r\n  junk  \r\nX = 1 \r\n", "a", "x", "2",
                              "odd\r\n[A]\r\n  junk  \r\nX=2\r\n"},
                      SetCase{"[A]\n", "A", "X", "", "[A]\nX=\n"}));

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tavrelo-ini-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = dir_ / "Tavrelo.ini";
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    fs::path dir_;
    fs::path file_;
};

TEST_F(IniFileTest, MissingFileGivesTheFallback) {
    EXPECT_FALSE(IniFileExists(file_));
    EXPECT_EQ(ReadIniString(file_, "Connection", "IPAddres", "dflt"), "dflt");
    EXPECT_FALSE(IniFileExists(file_));
    EXPECT_FALSE(IniFileExists(dir_));
}

TEST_F(IniFileTest, WriteCreatesAndReadsBack) {
    CreateEmptyIniFile(file_);
    EXPECT_TRUE(IniFileExists(file_));
    EXPECT_EQ(ReadFile(file_), "");
    WriteIniString(file_, "Connection", "IPAddres", "127.0.0.1");
    WriteIniString(file_, "Property", "ID", "");
    EXPECT_EQ(ReadFile(file_), "[Connection]\r\nIPAddres=127.0.0.1\r\n[Property]\r\nID=\r\n");
    WriteIniString(file_, "Connection", "IPAddres", "192.168.100.100");
    EXPECT_EQ(ReadIniString(file_, "connection", "ipaddres", ""), "192.168.100.100");
    EXPECT_EQ(ReadIniString(file_, "Property", "ID", "x"), "");
    EXPECT_EQ(ReadIniString(file_, "Property", "Other", "x"), "x");
}

TEST_F(IniFileTest, WriteCreatesAMissingFile) {
    WriteIniString(file_, "Property", "ID", "12345");
    EXPECT_EQ(ReadFile(file_), "[Property]\r\nID=12345\r\n");
}

TEST_F(IniFileTest, FailedWriteRaisesAndKeepsTheFile) {
    WriteIniString(file_, "Property", "ID", "1");
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(dir_.c_str(), W_OK) == 0) GTEST_SKIP() << "running with rights over the folder";
    EXPECT_THROW(WriteIniString(file_, "Property", "ID", "2"), FileError);
    EXPECT_THROW(CreateEmptyIniFile(dir_ / "new.ini"), FileError);
    EXPECT_EQ(ReadIniString(file_, "Property", "ID", ""), "1");
}

}  // namespace
}  // namespace tavrelo
