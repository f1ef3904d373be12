#include "app/viewer_window.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/desktop.h"
#include "common/atomic_file.h"
#include "gui_test_support.h"

namespace tavrelo {
namespace {

using testing::EnsureApplication;
using testing::RecordingUi;
using testing::ScopedFolder;
using testing::U;

const std::filesystem::path kData = TAVRELO_DATA_DIR;
const std::filesystem::path kTape = kData / "tape-8-12.xml";

std::string Utf8Lines(const std::vector<std::string>& cp1251) {
    std::string out;
    for (const std::string& line : cp1251) out += Cp1251ToUtf8(line) + "\n";
    return out;
}

class ViewerWindowTest : public ::testing::Test {
  protected:
    ViewerWindowTest() : folder_(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        EnsureApplication();
        desktop_ = std::make_unique<Desktop>(ui_);
        desktop_->Form3().FormActivate();
        ui_.messages.clear();
    }

    // The menu item with the operator choosing `path` (or cancelling).
    ViewerWindow* Open(std::optional<std::filesystem::path> path) {
        ui_.open_answer = std::move(path);
        desktop_->Form3().N46->trigger();
        return desktop_->Form3().Viewer();
    }
    ViewerWindow& OpenTape(const std::filesystem::path& path = kTape) {
        ViewerWindow* viewer = Open(path);
        EXPECT_NE(viewer, nullptr);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_TRUE(ui_.messages.empty());
        return *viewer;
    }
    std::filesystem::path Write(const std::string& name, const std::string& bytes) {
        const std::filesystem::path path = folder_.path() / name;
        WriteFileAtomically(path, bytes);
        return path;
    }

    ScopedFolder folder_;
    RecordingUi ui_;
    std::unique_ptr<Desktop> desktop_;
};

TEST_F(ViewerWindowTest, MenuItemOpensATapeWithoutAConnection) {
    TForm3& main = desktop_->Form3();
    EXPECT_EQ(main.N46->text(), U("Открыть файл ленты..."));
    EXPECT_FALSE(main.IsConnected());
    EXPECT_TRUE(main.N46->isEnabled());
    EXPECT_FALSE(main.N2->menuAction()->isEnabled());

    ViewerWindow& viewer = OpenTape();
    EXPECT_EQ(ui_.open_filters, std::vector<std::string>{"*.xml"});
    EXPECT_EQ(viewer.ComboBox1->count(), 4);
    EXPECT_EQ(viewer.ComboBox1->itemText(0), U("Z-отчет"));
    EXPECT_EQ(viewer.ComboBox1->itemText(3), U("Внес./Изъят."));
    EXPECT_EQ(viewer.ComboBox1->currentIndex(), 2);
    EXPECT_EQ(viewer.SaveButton->text(), U("Сохранить"));
    EXPECT_EQ(viewer.AuditButton->text(), U("Проверка ленты"));
    EXPECT_TRUE(viewer.windowTitle().contains(U("tape-8-12.xml")));
    // The same text the request window shows for these documents.
    EXPECT_EQ(JoinLines(viewer.ListBox2->Items().lines(), "\r\n"),
              ReadFile(kData / "tape-8-12.all.txt"));
}

TEST_F(ViewerWindowTest, CyrillicFileNamesAreShownAndReported) {
    const auto tape = Write("лента 8-12.xml", ReadFile(kTape));
    ViewerWindow& viewer = OpenTape(tape);
    EXPECT_TRUE(viewer.windowTitle().endsWith(U("лента 8-12.xml")));
    EXPECT_EQ(viewer.Label2->text(), QString::fromStdString(tape.string()));
    ui_.messages.clear();
    Open(folder_.path() / "нет такого.xml");
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0],
              "Не удалось прочитать файл " + (folder_.path() / "нет такого.xml").string() + "!");
}

TEST_F(ViewerWindowTest, SelectorRendersEachDocumentType) {
    ViewerWindow& viewer = OpenTape();
    const struct {
        int item;
        const char* golden;
    } cases[] = {{0, "tape-8-12.z.txt"},
                 {1, "tape-8-12.check.txt"},
                 {3, "tape-8-12.cash.txt"},
                 {2, "tape-8-12.all.txt"}};
    for (const auto& c : cases) {
        viewer.ComboBox1->setCurrentIndex(c.item);
        EXPECT_EQ(JoinLines(viewer.ListBox2->Items().lines(), "\r\n"), ReadFile(kData / c.golden))
            << c.golden;
    }
}

TEST_F(ViewerWindowTest, CancelledDialogOpensNothing) {
    EXPECT_EQ(Open(std::nullopt), nullptr);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ViewerWindowTest, UnreadableFilesAreReportedAndNothingIsShown) {
    const std::filesystem::path missing = folder_.path() / "missing.xml";
    const std::filesystem::path folder = folder_.path() / "folder.xml";
    std::filesystem::create_directory(folder);
    for (const auto& path : {missing, folder}) {
        ui_.messages.clear();
        ViewerWindow* viewer = Open(path);
        ASSERT_EQ(ui_.messages.size(), 1u) << path;
        EXPECT_EQ(ui_.messages[0], "Не удалось прочитать файл " + path.string() + "!");
        EXPECT_TRUE(viewer == nullptr || !viewer->isVisible());
    }
}

TEST_F(ViewerWindowTest, MalformedOrNonNumericXmlIsReportedAndTheShownTapeStays) {
    const std::filesystem::path cases[] = {
        Write("cut.xml", ReadFile(kTape).substr(0, 400)),
        Write("empty.xml", ""),
        Write("text.xml", "not xml at all"),
        std::filesystem::path(TAVRELO_TEST_DATA_DIR) / "export" / "malformed.xml",
        std::filesystem::path(TAVRELO_TEST_DATA_DIR) / "export" / "not-a-number.xml",
    };
    for (const auto& path : cases) {
        ui_.messages.clear();
        ViewerWindow* viewer = Open(path);
        ASSERT_EQ(ui_.messages.size(), 1u) << path;
        EXPECT_EQ(
            ui_.messages[0].rfind("Непредвиденный сбой в структуре получаемой информации!", 0), 0u);
        EXPECT_NE(ui_.messages[0].find(path.string()), std::string::npos);
        EXPECT_TRUE(viewer == nullptr || !viewer->isVisible());
    }

    ui_.messages.clear();
    ViewerWindow& viewer = OpenTape();
    const std::vector<std::string> shown = viewer.ListBox2->Items().lines();
    Open(cases[0]);
    EXPECT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(viewer.ListBox2->Items().lines(), shown);
    EXPECT_EQ(viewer.FileName(), kTape);
}

TEST_F(ViewerWindowTest, RenderErrorsGoToTheErrorLogAndTheOtherDocumentsShow) {
    // The item's tax group "x" stops its receipt where it stands; the Z-reports follow.
    std::string xml = ReadFile(kTape);
    const std::size_t at = xml.find("TX=\"1\"");
    ASSERT_NE(at, std::string::npos);
    xml.replace(at, 6, "TX=\"x\"");
    ViewerWindow& viewer = OpenTape(Write("bad-tax.xml", xml));
    EXPECT_TRUE(std::filesystem::exists(folder_.path() / "error.log"));
    EXPECT_FALSE(ReadFile(folder_.path() / "error.log").empty());
    const std::string shown = Utf8Lines(viewer.ListBox2->Items().lines());
    EXPECT_NE(shown.find("Z-звіт N 52"), std::string::npos);
    const std::string whole = ReadFile(kData / "tape-8-12.all.txt");
    const auto whole_lines = static_cast<std::size_t>(std::count(whole.begin(), whole.end(), '\n'));
    EXPECT_LT(viewer.ListBox2->Items().lines().size(), whole_lines);
}

TEST_F(ViewerWindowTest, SavesTextRawXmlAndExports) {
    ViewerWindow& viewer = OpenTape();
    const struct {
        QPushButton* button;
        const char* name;
        const char* suffix;
        std::string expected;
    } cases[] = {
        {viewer.SaveButton, "tape", "txt", ReadFile(kData / "tape-8-12.all.txt")},
        {viewer.SaveXmlButton, "raw", "xml", ReadFile(kTape)},
        {viewer.JsonButton, "tape", "json", ReadFile(kData / "tape-8-12.json")},
        {viewer.CsvButton, "tape", "csv", ReadFile(kData / "tape-8-12.csv")},
    };
    for (const auto& c : cases) {
        ui_.save_requests.clear();
        // Typed without extension: the dialog's default one is added.
        ui_.save_answer = folder_.path() / c.name;
        c.button->click();
        ASSERT_EQ(ui_.save_requests.size(), 1u);
        EXPECT_EQ(ui_.save_requests[0].filter, std::string("*.") + c.suffix);
        EXPECT_EQ(ui_.save_requests[0].default_suffix, c.suffix);
        const auto path = folder_.path() / (std::string(c.name) + "." + c.suffix);
        EXPECT_EQ(ReadFile(path), c.expected) << c.suffix;
    }
    EXPECT_TRUE(ui_.messages.empty());

    // Cancelled: nothing written.
    ui_.save_answer.reset();
    std::filesystem::remove(folder_.path() / "tape.txt");
    viewer.SaveButton->click();
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "tape.txt"));
}

TEST_F(ViewerWindowTest, WriteFailureIsReportedAndLeavesTheOldFile) {
    ViewerWindow& viewer = OpenTape();
    const auto blocked = folder_.path() / "no-such-folder" / "tape.txt";
    ui_.save_answer = blocked;
    for (QPushButton* button :
         {viewer.SaveButton, viewer.SaveXmlButton, viewer.JsonButton, viewer.CsvButton}) {
        ui_.messages.clear();
        button->click();
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ui_.messages[0].rfind("Не удалось записать файл ", 0), 0u);
    }
    EXPECT_FALSE(std::filesystem::exists(blocked));

    // A file in the way stays whole: the replacement is atomic.
    const auto kept = Write("kept.txt", "previous");
    std::filesystem::permissions(folder_.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    ui_.save_answer = kept;
    ui_.messages.clear();
    viewer.SaveButton->click();
    std::filesystem::permissions(folder_.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    if (::geteuid() != 0) {
        EXPECT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ReadFile(kept), "previous");
    }
}

TEST_F(ViewerWindowTest, AuditShowsItsFindingsInAWindow) {
    ViewerWindow& viewer = OpenTape();
    EXPECT_EQ(viewer.AuditWindow(), nullptr);
    viewer.AuditButton->click();
    ASSERT_NE(viewer.AuditWindow(), nullptr);
    EXPECT_TRUE(viewer.AuditWindow()->isVisible());
    EXPECT_TRUE(viewer.AuditWindow()->windowTitle().startsWith(U("Проверка ленты")));
    EXPECT_EQ(
        Utf8Lines(viewer.AuditWindow()->ListBox1->Items().lines()),
        ReadFile(std::filesystem::path(TAVRELO_TEST_DATA_DIR) / "audit" / "tape-8-12.audit.txt"));

    // A clean tape gives no warning; the same window shows the new result.
    ui_.open_answer = std::filesystem::path(TAVRELO_TEST_DATA_DIR) / "audit" / "clean-shift.xml";
    desktop_->Form3().N46->trigger();
    EXPECT_FALSE(viewer.AuditWindow()->isVisible());
    viewer.AuditButton->click();
    EXPECT_TRUE(viewer.AuditWindow()->isVisible());
    const std::string clean = Utf8Lines(viewer.AuditWindow()->ListBox1->Items().lines());
    EXPECT_EQ(clean.find("Предупреждение"), std::string::npos);
    EXPECT_EQ(clean, "Проверено документов: 5. Предупреждений нет.\n");
    viewer.AuditWindow()->close();
}

TEST_F(ViewerWindowTest, JumpsToADocumentNumber) {
    ViewerWindow& viewer = OpenTape();
    const auto& lines = viewer.ListBox2->Items().lines();
    // DI 8 is the receipt numbered 138, DI 9 the Z-report 52.
    const struct {
        int item;
        const char* number;
        const char* shown;
    } cases[] = {{2, "8", "  000000138"},
                 {2, "9", "           Z-звіт N 52"},
                 {0, "138", "  000000138"},
                 {1, "52", "           Z-звіт N 52"}};
    for (const auto& c : cases) {
        ui_.choice_answer = {c.item, c.number};
        viewer.ListBox2->JumpAction->trigger();
        ASSERT_TRUE(viewer.ListBox2->currentIndex().isValid()) << c.number;
        const std::string line =
            Cp1251ToUtf8(lines[static_cast<std::size_t>(viewer.ListBox2->currentIndex().row())]);
        EXPECT_EQ(line.rfind(c.shown, 0), 0u) << c.number;
    }
    EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace tavrelo
