// A save that fails in the desktop program (the disk full at the first byte, or the rename
// refused) keeps the previous file whole, leaves no temporary file beside it, and tells the
// operator which file was not written; the same save goes through once the fault is gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "../common/write_fault.h"
#include "app/desktop.h"
#include "app/viewer_window.h"
#include "common/atomic_file.h"
#include "connected_desktop.h"
#include "gui_test_support.h"
#include "register/register_server.h"
#include "register/tape.h"
#include "retrieval/windows/request_window.h"

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using testing::ConnectDesktop;
using testing::EnsureApplication;
using testing::RecordingUi;
using testing::ScopedFolder;
using testing::StartRegister;
using testing_support::WriteFault;

const fs::path kTape = fs::path(TAVRELO_DATA_DIR) / "tape-8-12.xml";
const std::string kPrevious = "previous file\r\n";

struct Fault {
    const char* name;
    std::size_t fail_after;
    bool at_rename;
};
const Fault kFaults[] = {{"no byte written", 0, false}, {"rename refused", 0, true}};

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

fs::path FromUtf8(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::set<std::string> Entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(Utf8(entry.path().filename()));
    }
    return names;
}

class SaveWriteFaultTest : public ::testing::Test {
  protected:
    SaveWriteFaultTest()
        : folder_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        EnsureApplication();
        fs::create_directories(saved_);
    }
    ~SaveWriteFaultTest() override {
        desktop_.reset();
        if (server_) server_->Stop();
    }

    // The program connected to the emulator with the sample tape (the request window's case),
    // or on its own (the viewer's).
    void StartConnected() {
        server_ = StartRegister(Tape::FromFile(kTape));
        desktop_ = ConnectDesktop(*server_, ui_);
        ASSERT_EQ(desktop_->Form3().Shape1->BrushColor(), 65280);
        ui_.messages.clear();
    }
    void StartAlone() {
        desktop_ = std::make_unique<Desktop>(ui_);
        desktop_->Form3().FormActivate();
        ui_.messages.clear();
    }

    // Saves through `save` into a file that holds kPrevious, under each fault in turn, then
    // without one; the file name is Cyrillic, as an operator's often is.
    void CheckFailedSaves(const std::string& file, const std::function<void()>& save) {
        const fs::path target = saved_ / FromUtf8(file);
        WriteFileAtomically(target, kPrevious);
        ui_.save_answer = target;
        for (const Fault& fault : kFaults) {
            ui_.messages.clear();
            {
                WriteFault failing(fault.fail_after, fault.at_rename);
                save();
            }
            EXPECT_EQ(ReadFile(target), kPrevious) << file << ": " << fault.name;
            EXPECT_EQ(Entries(saved_), std::set<std::string>{file}) << file << ": " << fault.name;
            ASSERT_EQ(ui_.messages.size(), 1u) << file << ": " << fault.name;
            EXPECT_EQ(ui_.messages[0], "Не удалось записать файл " + Utf8(target) + "!")
                << fault.name;
        }
        ui_.messages.clear();
        save();
        EXPECT_TRUE(ui_.messages.empty()) << file;
        EXPECT_NE(ReadFile(target), kPrevious) << file;
        EXPECT_EQ(Entries(saved_), std::set<std::string>{file}) << file;
    }

    ScopedFolder folder_;
    fs::path saved_ = folder_.path() / "saved";
    RecordingUi ui_;
    std::unique_ptr<RegisterServer> server_;
    std::unique_ptr<Desktop> desktop_;
};

TEST_F(SaveWriteFaultTest, RequestWindowSavesKeepThePreviousFileAndSaySo) {
    StartConnected();
    TForm53& form = desktop_->Form53();
    form.show();
    form.Edit1->setText(QStringLiteral("8"));
    form.Edit2->setText(QStringLiteral("12"));
    form.Button1->click();
    ASSERT_TRUE(ui_.messages.empty());
    ASSERT_FALSE(form.ListBox2->Items().lines().empty());
    const std::string temp_xml = ReadFile(folder_.path() / "temp.xml");

    CheckFailedSaves("лента.txt", [&] { form.Button3->click(); });
    EXPECT_EQ(ReadFile(saved_ / FromUtf8("лента.txt")),
              JoinLines(form.ListBox2->Items().lines(), "\r\n"));
    fs::remove(saved_ / FromUtf8("лента.txt"));

    CheckFailedSaves("лента.xml", [&] { form.SaveXmlAction->trigger(); });
    EXPECT_EQ(ReadFile(saved_ / FromUtf8("лента.xml")), temp_xml);
    // The window goes on as before.
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(ReadFile(folder_.path() / "temp.xml"), temp_xml);
}

TEST_F(SaveWriteFaultTest, ViewerSavesKeepThePreviousFileAndSaySo) {
    StartAlone();
    ui_.open_answer = kTape;
    desktop_->Form3().N46->trigger();
    ViewerWindow* viewer = desktop_->Form3().Viewer();
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(ui_.messages.empty());
    const struct {
        QPushButton* button;
        const char* file;
        std::string expected;
    } cases[] = {
        {viewer->SaveButton, "лента.txt", JoinLines(viewer->ListBox2->Items().lines(), "\r\n")},
        {viewer->SaveXmlButton, "лента.xml", ReadFile(kTape)},
        {viewer->JsonButton, "лента.json", {}},
        {viewer->CsvButton, "лента.csv", {}},
    };
    for (const auto& c : cases) {
        CheckFailedSaves(c.file, [&] { c.button->click(); });
        if (!c.expected.empty()) {
            EXPECT_EQ(ReadFile(saved_ / FromUtf8(c.file)), c.expected);
        }
        fs::remove(saved_ / FromUtf8(c.file));
    }
}

}  // namespace
}  // namespace tavrelo
