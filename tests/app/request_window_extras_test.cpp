#include <gtest/gtest.h>

#include "app/desktop.h"
#include "common/atomic_file.h"
#include "connected_desktop.h"
#include "gui_test_support.h"
#include "register/register_server.h"
#include "register/tape.h"
#include "retrieval/windows/request_window.h"

namespace tavrelo {
namespace {

using testing::U;

constexpr char kNothingToSave[] = "Нет полностью полученных данных для сохранения!";

// The request window's context menu: raw XML and the display's reading functions.
class RequestWindowExtrasTest : public testing::RequestWindowFixture {};

TEST_F(RequestWindowExtrasTest, SavesTheRawXmlByteForByteAsTempXml) {
    StartConnected();
    EXPECT_EQ(form().SaveXmlAction->text(), U("Сохранить XML..."));
    EXPECT_TRUE(form().ListBox2->actions().contains(form().SaveXmlAction));
    EXPECT_EQ(form().ListBox2->contextMenuPolicy(), Qt::ActionsContextMenu);

    form().SaveXmlAction->trigger();  // nothing retrieved yet
    EXPECT_EQ(ui_.messages, std::vector<std::string>{kNothingToSave});
    EXPECT_TRUE(ui_.save_requests.empty());

    ui_.messages.clear();
    RequestNumbers("8", "12");
    ui_.save_answer = folder_.path() / "archive";
    form().SaveXmlAction->trigger();
    ASSERT_EQ(ui_.save_requests.size(), 1u);
    EXPECT_EQ(ui_.save_requests[0].filter, "*.xml");
    const std::string temp = ReadFile(folder_.path() / "temp.xml");
    EXPECT_GT(temp.size(), 1000u);
    EXPECT_EQ(ReadFile(folder_.path() / "archive.xml"), temp);
    EXPECT_TRUE(ui_.messages.empty());

    // The saved file opens in the viewer with the text the request window shows.
    ui_.open_answer = folder_.path() / "archive.xml";
    desktop_->Form3().N46->trigger();
    ASSERT_NE(desktop_->Form3().Viewer(), nullptr);
    EXPECT_EQ(desktop_->Form3().Viewer()->ListBox2->Items().lines(),
              form().ListBox2->Items().lines());

    ui_.save_answer = folder_.path() / "missing" / "archive.xml";
    form().SaveXmlAction->trigger();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], "Не удалось записать файл " + ui_.save_answer->string() + "!");
}

TEST_F(RequestWindowExtrasTest, ABrokenRetrievalHasNoXmlToSave) {
    RegisterOptions options;
    options.faults.close_at_request = 2;
    StartConnected(std::move(options));
    RequestNumbers("8", "12");
    ui_.messages.clear();
    ui_.save_answer = folder_.path() / "broken.xml";
    form().SaveXmlAction->trigger();
    EXPECT_EQ(ui_.messages, std::vector<std::string>{kNothingToSave});
    EXPECT_FALSE(std::filesystem::exists(folder_.path() / "broken.xml"));
}

TEST_F(RequestWindowExtrasTest, DisplayFindsAndJumpsToDocumentNumbers) {
    StartConnected();
    RequestNumbers("8", "12");
    LineListBox& display = *form().ListBox2;
    EXPECT_EQ(display.selectionMode(), QAbstractItemView::ExtendedSelection);
    const auto line = [&] {
        return Cp1251ToUtf8(
            display.Items().lines()[static_cast<std::size_t>(display.currentIndex().row())]);
    };
    ui_.text_answer = "z-ЗВІТ n 53";
    display.FindAction->trigger();
    ASSERT_TRUE(display.currentIndex().isValid());
    EXPECT_EQ(line(), "           Z-звіт N 53");
    ui_.choice_answer = {2, "10"};  // DI 10: the receipt numbered 140
    display.JumpAction->trigger();
    EXPECT_EQ(line().rfind("  000000140", 0), 0u);
    EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace tavrelo
