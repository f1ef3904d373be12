#include "retrieval/windows/request_window.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <cstdlib>

#include "app/desktop.h"
#include "common/atomic_file.h"
#include "connected_desktop.h"
#include "gui_test_support.h"
#include "model/vocabulary.h"
#include "platform/xml/parse_response.h"
#include "register/register_server.h"
#include "register/tape.h"
#include "render/render_documents.h"

namespace tavrelo {
namespace {

using testing::U;

constexpr char kFailureLine1[] = "Непредвиденный сбой в структуре получаемой информации!";
constexpr char kFailureLine2[] = "Попробуйте выбрать другой диапазон номеров или дат!";
constexpr char kLost[] = "Ошибка! Потеряно соединение TCP/IP!";

const std::filesystem::path kTape = std::filesystem::path(TAVRELO_DATA_DIR) / "tape-8-12.xml";

// The tape text as the core renders it for the given selection, without any window.
std::vector<std::string> RenderedTape(const std::string& xml, int selector) {
    rq model;
    control state;
    ParseResponse(xml, model, state);
    std::vector<std::string> lines;
    RenderDocuments(model, selector, lines);
    return lines;
}

class RequestWindowTest : public testing::RequestWindowFixture {
  protected:
    std::vector<std::string> Display() { return form().ListBox2->Items().lines(); }
    std::vector<std::string> DisplayUtf8() {
        std::vector<std::string> out;
        for (const auto& line : Display()) out.push_back(Cp1251ToUtf8(line));
        return out;
    }
};

TEST_F(RequestWindowTest, LayoutAndDefaults) {
    StartConnected();
    TForm53& f = form();
    EXPECT_EQ(f.windowTitle(), U("Форма запроса и отображения данных"));
    EXPECT_EQ(f.size(), QSize(833, 638));
    EXPECT_EQ(f.ListBox2->size(), QSize(473, 569));
    EXPECT_FALSE(f.ListBox1->isVisible());
    EXPECT_EQ(f.ListBox1->geometry(), f.ListBox2->geometry());
    EXPECT_EQ(f.ComboBox1->count(), 4);
    EXPECT_EQ(f.ComboBox1->itemText(3), U("Внес./Изъят."));
    EXPECT_EQ(f.ItemIndex(), 2);
    EXPECT_EQ(f.Edit3->text(), U("582039"));
    EXPECT_EQ(f.Edit1->text(), U("1"));
    EXPECT_EQ(f.Edit2->text(), U("1"));
    EXPECT_EQ(f.GroupBox1->title(), U("по номерам"));
    EXPECT_EQ(f.GroupBox2->title(), U("по датам"));
    EXPECT_EQ(f.Button5->text(), U("Вернуть номера"));
    EXPECT_EQ(f.Edit4->toolTip(), U("дд.мм.гг"));
    EXPECT_EQ(f.Edit7->toolTip(), U("чч:мм"));
    EXPECT_EQ(f.Edit6->text(), U("00:00"));
    EXPECT_EQ(f.Edit5->displayText().size(), 8);
    EXPECT_EQ(f.Edit7->displayText().size(), 5);
    EXPECT_EQ(f.Edit4->displayText().left(3), U("01."));
    EXPECT_EQ(f.SaveDialog1.DefaultExt, "txt");
}

TEST_F(RequestWindowTest, ByNumbersShowsWhatTheCoreRendersForTheTape) {
    StartConnected();
    std::vector<std::string> progress;
    bool hidden_meanwhile = true;
    ui_.on_pump = [&] {
        TForm4& p = desktop_->Form4();
        if (!p.isVisible()) return;
        hidden_meanwhile = hidden_meanwhile && !form().isVisible();
        progress.push_back(p.Label2->text().toStdString());
        EXPECT_EQ(p.windowTitle(), U("ВНИМАНИЕ!!!!"));
        EXPECT_EQ(p.Label1->text(), U("ИДЁТ ЗАГРУЗКА ДАННЫХ...."));
    };
    RequestNumbers("8", "12");
    EXPECT_TRUE(ui_.messages.empty());
    const std::string tape = ReadFile(kTape);
    const std::vector<std::string> expected = RenderedTape(tape, 2);
    ASSERT_GT(expected.size(), 20u);
    EXPECT_EQ(Display(), expected);
    // The documents arrive byte for byte, and temp.xml holds the same lines.
    const auto& xml = form().ListBox1->Items().lines();
    ASSERT_EQ(xml.size(), 8u);
    EXPECT_EQ(xml[1], "<RQ V=\"1\">");
    EXPECT_EQ(xml[2], server_->tape().documents()[0].text);
    EXPECT_EQ(xml[7], "</RQ>");
    EXPECT_EQ(ReadFile(folder_.path() / "temp.xml"), JoinLines(xml, "\r\n"));
    EXPECT_TRUE(hidden_meanwhile);
    ASSERT_EQ(progress.size(), 5u);
    EXPECT_EQ(progress[1], "0.00%     8");  // pumped before document 9: the text after 8
    EXPECT_EQ(progress[4], "60.00%     11");
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(desktop_->Form4().isVisible());
    EXPECT_TRUE(desktop_->Form4().Label2->text().isEmpty());
}

TEST_F(RequestWindowTest, SavedDisplayIsWhatTheCliRendersFromTempXml) {
    StartConnected();
    RequestNumbers("8", "12");
    ui_.save_answer = folder_.path() / "window.txt";
    form().Button3->click();
    const std::string command = std::string("'") + TAVRELO_CLI + "' render '" +
                                (folder_.path() / "temp.xml").string() + "' --output '" +
                                (folder_.path() / "cli.txt").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string saved = ReadFile(folder_.path() / "window.txt");
    ASSERT_GT(saved.size(), 500u);
    EXPECT_EQ(saved, ReadFile(folder_.path() / "cli.txt"));
}

TEST_F(RequestWindowTest, TypeChangeFillsTheRememberedRanges) {
    StartConnected();
    form().ComboBox1->setCurrentIndex(0);  // "Z-отчет" before any request
    EXPECT_EQ(form().Edit1->text(), U("0"));
    EXPECT_EQ(form().Edit2->text(), U("0"));
    form().Button1->click();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], "Началный номер должен быть >0!");

    form().ComboBox1->setCurrentIndex(2);
    RequestNumbers("8", "12");
    const rq& model = form().Model();
    ASSERT_GT(model.zvit_no_min(), 0);
    ASSERT_GT(model.check_no_min(), 0);
    form().ComboBox1->setCurrentIndex(1);
    EXPECT_EQ(form().Edit1->text().toInt(), model.check_no_min());
    EXPECT_EQ(form().Edit2->text().toInt(), model.check_no_max());
    form().ComboBox1->setCurrentIndex(0);
    EXPECT_EQ(form().Edit1->text(), U("52"));
    EXPECT_EQ(form().Edit2->text(), U("54"));
}

TEST_F(RequestWindowTest, NumberChecksKeepTheDisplay) {
    StartConnected();
    RequestNumbers("8", "8");
    const auto before = Display();
    RequestNumbers("0", "5");
    RequestNumbers("5", "4");
    ASSERT_EQ(ui_.messages.size(), 2u);
    EXPECT_EQ(ui_.messages[0], "Началный номер должен быть >0!");
    EXPECT_EQ(ui_.messages[1], "Конечный номер должен быть не меньше начального!");
    EXPECT_EQ(Display(), before);
    EXPECT_TRUE(form().isVisible());
}

TEST_F(RequestWindowTest, LettersInANumberEditAppendTheCatchAllLines) {
    StartConnected();
    RequestNumbers("8", "8");
    const auto before = DisplayUtf8();
    RequestNumbers("8a", "9");
    EXPECT_TRUE(ui_.messages.empty());
    auto after = DisplayUtf8();
    ASSERT_EQ(after.size(), before.size() + 2);
    EXPECT_EQ(after[after.size() - 2], kFailureLine1);
    EXPECT_EQ(after.back(), kFailureLine2);
    EXPECT_TRUE(form().isVisible());
    EXPECT_FALSE(desktop_->Form4().isVisible());
}

TEST_F(RequestWindowTest, ByDatesFetchesTheRangeTheRegisterNames) {
    StartConnected();
    form().Edit4->setText(QStringLiteral("30.04.14"));
    form().Edit6->setText(QStringLiteral("14:44"));
    form().Edit5->setText(QStringLiteral("05.05.14"));
    form().Edit7->setText(QStringLiteral("23:59"));
    form().Button4->click();
    EXPECT_TRUE(ui_.messages.empty());
    // Documents 10 to 12 are the ones stamped from 14:44 on.
    const auto& xml = form().ListBox1->Items().lines();
    ASSERT_EQ(xml.size(), 6u);
    EXPECT_EQ(xml[2], server_->tape().documents()[2].text);
    const std::vector<std::string> docs(xml.begin() + 2, xml.end() - 1);
    EXPECT_EQ(Display(), RenderedTape(FrameTape(docs), 2));
}

TEST_F(RequestWindowTest, EndDateBeforeStartDateShowsTheErrorLine) {
    StartConnected();
    RequestNumbers("8", "8");
    form().Edit4->setText(QStringLiteral("31.12.99"));
    form().Edit5->setText(QStringLiteral("01.01.00"));
    form().Button4->click();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], "Конечная дата должна быть не меньше начальной!");
    ASSERT_EQ(Display().size(), 1u);
    EXPECT_TRUE(DisplayUtf8()[0].starts_with("РРО вернул ошибку:  "));
    EXPECT_TRUE(DisplayUtf8()[0].ends_with(" !"));
}

TEST_F(RequestWindowTest, UnfilledDateEditReachesTheCatchAll) {
    StartConnected();
    form().Edit5->setText(QStringLiteral("05.05"));
    form().Button4->click();
    EXPECT_TRUE(ui_.messages.empty());
    ASSERT_EQ(Display().size(), 2u);
    EXPECT_EQ(DisplayUtf8()[0], kFailureLine1);
}

TEST_F(RequestWindowTest, ReturnNumbersThenTypeChange) {
    StartConnected();
    form().Edit4->setText(QStringLiteral("30.04.14"));
    form().Edit6->setText(QStringLiteral("00:00"));
    form().Edit5->setText(QStringLiteral("05.05.14"));
    form().Edit7->setText(QStringLiteral("23:59"));
    form().Button5->click();
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(form().Edit1->text(), U("8"));
    EXPECT_EQ(form().Edit2->text(), U("12"));
    EXPECT_FALSE(desktop_->Form4().isVisible());
    form().Edit1->setText(QStringLiteral("1"));
    form().Edit2->setText(QStringLiteral("1"));
    form().ComboBox1->setCurrentIndex(3);
    EXPECT_EQ(form().Edit1->text(), U("8"));
    EXPECT_EQ(form().Edit2->text(), U("12"));
}

TEST_F(RequestWindowTest, ReturnNumbersErrorReachesTheApplicationDisplay) {
    StartConnected();
    form().Edit4->setText(QStringLiteral("01.0"));
    form().Button5->click();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_FALSE(ui_.messages[0].empty());
    EXPECT_EQ(form().Edit1->text(), U("1"));
    // The program goes on: the next command works.
    form().Edit4->setText(QStringLiteral("30.04.14"));
    form().Edit5->setText(QStringLiteral("05.05.14"));
    form().Edit7->setText(QStringLiteral("23:59"));
    form().Button5->click();
    EXPECT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(form().Edit1->text(), U("8"));
}

TEST_F(RequestWindowTest, LostConnectionClosesTheWindowAfterTheRequest) {
    RegisterOptions options;
    options.faults.close_at_request = 2;
    StartConnected(std::move(options));
    bool visible_after_loss = false;
    ui_.on_message = [&](const std::string& text) {
        if (text == kLost) visible_after_loss = form().isVisible();
    };
    RequestNumbers("8", "12");
    EXPECT_NE(std::find(ui_.messages.begin(), ui_.messages.end(), kLost), ui_.messages.end());
    EXPECT_FALSE(visible_after_loss);
    EXPECT_FALSE(form().isVisible());
    EXPECT_FALSE(desktop_->Form4().isVisible());
    TForm3& main = desktop_->Form3();
    EXPECT_EQ(main.Shape1->BrushColor(), 255);
    EXPECT_EQ(main.Button3->text(), U("Подключить"));
    EXPECT_FALSE(main.N2->menuAction()->isEnabled());
    auto lines = DisplayUtf8();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.back(), kFailureLine2);
}

TEST_F(RequestWindowTest, LostConnectionInReturnNumbersClosesTheWindowAfterwards) {
    RegisterOptions options;
    options.faults.close_at_request = 1;
    StartConnected(std::move(options));
    form().Button5->click();  // the register hangs up instead of answering
    EXPECT_TRUE(form().isVisible());
    bool visible_at_loss = false;
    ui_.on_message = [&](const std::string& text) {
        if (text == kLost) visible_at_loss = form().isVisible();
    };
    for (int i = 0; i < 5 && form().isVisible(); ++i) form().Button5->click();
    EXPECT_NE(std::find(ui_.messages.begin(), ui_.messages.end(), kLost), ui_.messages.end());
    EXPECT_TRUE(visible_at_loss);  // closed only once the handler has returned
    EXPECT_FALSE(form().isVisible());
    EXPECT_FALSE(desktop_->Form3().N2->menuAction()->isEnabled());
    EXPECT_EQ(form().Edit1->text(), U("1"));
}

TEST_F(RequestWindowTest, SavingWithoutExtensionWritesATextFile) {
    StartConnected();
    RequestNumbers("8", "9");
    ui_.save_answer = folder_.path() / "tape";
    form().Button3->click();
    ASSERT_EQ(ui_.save_requests.size(), 1u);
    EXPECT_EQ(ui_.save_requests[0].filter, "*.txt");
    EXPECT_EQ(ui_.save_requests[0].initial_name, "*.txt");
    EXPECT_EQ(ui_.save_requests[0].default_suffix, "txt");
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "tape"));
    EXPECT_EQ(ReadFile(folder_.path() / "tape.txt"), JoinLines(Display(), "\r\n"));
    // Trailing blanks and Windows-1251 bytes stay as they are.
    EXPECT_NE(ReadFile(folder_.path() / "tape.txt").find(Display()[0] + "\r\n"), std::string::npos);

    ui_.save_answer.reset();
    std::filesystem::remove(folder_.path() / "tape.txt");
    form().Button3->click();
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "tape.txt"));
}

TEST_F(RequestWindowTest, ClosingTheProgressWindowLetsTheRequestRunOn) {
    StartConnected();
    ui_.on_pump = [&] {
        if (desktop_->Form4().isVisible()) desktop_->Form4().close();
    };
    RequestNumbers("8", "12");
    EXPECT_EQ(Display(), RenderedTape(ReadFile(kTape), 2));
    ui_.on_pump = nullptr;
    bool shown_again = false;
    ui_.on_pump = [&] { shown_again = shown_again || desktop_->Form4().isVisible(); };
    RequestNumbers("8", "9");
    EXPECT_TRUE(shown_again);
}

TEST_F(RequestWindowTest, MenuOpensTheWindowModallyUntilClosed) {
    StartConnected();
    form().hide();
    TForm3& main = desktop_->Form3();
    bool main_enabled_during_request = true;
    ui_.on_pump = [&] {
        if (desktop_->Form4().isVisible()) main_enabled_during_request = main.isEnabled();
    };
    QTimer::singleShot(0, [this] {
        EXPECT_TRUE(form().isVisible());
        EXPECT_TRUE(form().isModal());
        RequestNumbers("8", "9");
        EXPECT_TRUE(form().isVisible());
        form().Button2->click();
    });
    main.N45->trigger();
    EXPECT_FALSE(form().isVisible());
    EXPECT_FALSE(main_enabled_during_request);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_FALSE(Display().empty());
}

}  // namespace
}  // namespace tavrelo
