#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTest>

#include "app/tape_print.h"
#include "app/tape_search.h"
#include "common/atomic_file.h"
#include "common/errors.h"
#include "gui_test_support.h"
#include "retrieval/windows/line_list.h"

namespace tavrelo {
namespace {

using testing::EnsureApplication;
using testing::RecordingUi;
using testing::ScopedFolder;
using testing::U;

std::vector<std::string> Cp(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    for (const char* line : utf8) out.push_back(Utf8ToCp1251(line));
    return out;
}

const std::vector<std::string> kLines = Cp({
    "  Хліб житній                    1.00 A",  // 0
    "  Молоко 2,5% 900г               1.00 A",  // 1
    "  ЇЖАЧОК шоколадний              1.00 A",  // 2
    "  000000138         30.04.2014  14:42",    // 3
    "           Z-звіт N 52",                   // 4
    "  хліб білий нарізний            1.00 A",  // 5
    "  000000140         30.04.2014  14:43",    // 6
    "  0000001400 not a closing line",          // 7
});

TEST(FindLineTest, CaseInsensitiveAcrossScriptsWrappingBothWays) {
    const struct {
        const char* needle;
        int from;
        bool forward;
        std::optional<int> row;
    } cases[] = {
        {"ХЛІБ", -1, true, 0},        {"ХЛІБ", 0, true, 5},
        {"хліб", 5, true, 0},         {"хліб", 0, false, 5},
        {"хліб", -1, false, 5},       {"їжачок", -1, true, 2},
        {"Шоколадний", 3, true, 2},   {"z-ЗВІТ n 52", 0, true, 4},
        {"молоко", 1, true, 1},       {"масло", -1, true, std::nullopt},
        {"", -1, true, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindLine(kLines, U(c.needle), c.from, c.forward), c.row)
            << c.needle << " from " << c.from;
    }
    EXPECT_EQ(FindLine({}, U("x"), -1, true), std::nullopt);
}

TEST(FindLineTest, ReceiptAndZReportRowsByTheirPrintedNumbers) {
    EXPECT_EQ(FindReceiptRow(kLines, 138), 3);
    EXPECT_EQ(FindReceiptRow(kLines, 140), 6);
    EXPECT_EQ(FindReceiptRow(kLines, 1400), std::nullopt);
    EXPECT_EQ(FindReceiptRow(kLines, 52), std::nullopt);
    EXPECT_EQ(FindZvitRow(kLines, 52), 4);
    EXPECT_EQ(FindZvitRow(kLines, 5), std::nullopt);
}

class TextFunctionsTest : public ::testing::Test {
  protected:
    TextFunctionsTest()
        : folder_(::testing::UnitTest::GetInstance()->current_test_info()->name()),
          box_((EnsureApplication(), 14), nullptr) {
        box_.EnableTextFunctions(ui_);
        box_.Items().SetLines(kLines);
        box_.resize(473, 200);
    }
    int Current() const { return box_.currentIndex().isValid() ? box_.currentIndex().row() : -1; }

    ScopedFolder folder_;
    RecordingUi ui_;
    LineListBox box_;
};

TEST_F(TextFunctionsTest, ActionsCarryTheirShortcutsAndFormTheContextMenu) {
    EXPECT_EQ(box_.contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(box_.selectionMode(), QAbstractItemView::ExtendedSelection);
    const struct {
        QAction* action;
        QKeySequence keys;
    } cases[] = {{box_.FindAction, QKeySequence(Qt::CTRL | Qt::Key_F)},
                 {box_.FindNextAction, QKeySequence(Qt::Key_F3)},
                 {box_.FindPreviousAction, QKeySequence(Qt::SHIFT | Qt::Key_F3)},
                 {box_.JumpAction, QKeySequence(Qt::CTRL | Qt::Key_G)},
                 {box_.CopyAction, QKeySequence(Qt::CTRL | Qt::Key_C)},
                 {box_.PrintAction, QKeySequence(Qt::CTRL | Qt::Key_P)}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.action->shortcut(), c.keys) << c.action->text().toStdString();
        EXPECT_TRUE(box_.actions().contains(c.action));
    }
    EXPECT_TRUE(box_.actions().contains(box_.PreviewAction));
    // A display without the functions keeps the plain single selection.
    LineListBox plain(14, nullptr);
    EXPECT_EQ(plain.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_TRUE(plain.actions().isEmpty());
}

TEST_F(TextFunctionsTest, FindThenNextAndPrevious) {
    ui_.text_answer = "ХЛІБ";
    box_.FindAction->trigger();
    EXPECT_EQ(ui_.questions.back(), "Поиск|Найти:|");
    EXPECT_EQ(Current(), 0);
    box_.FindNextAction->trigger();
    EXPECT_EQ(Current(), 5);
    box_.FindNextAction->trigger();
    EXPECT_EQ(Current(), 0);
    box_.FindPreviousAction->trigger();
    EXPECT_EQ(Current(), 5);
    EXPECT_EQ(box_.SelectedRows(), std::vector<int>{5});
    EXPECT_TRUE(ui_.messages.empty());
    // The dialog offers the last text again.
    ui_.text_answer.reset();
    box_.FindAction->trigger();
    EXPECT_EQ(ui_.questions.back(), "Поиск|Найти:|ХЛІБ");
    EXPECT_EQ(Current(), 5);
}

TEST_F(TextFunctionsTest, FindNotFoundTellsAndNextWithoutTextAsks) {
    box_.FindNextAction->trigger();  // nothing asked yet: asks, the operator cancels
    EXPECT_EQ(ui_.questions.size(), 1u);
    EXPECT_EQ(Current(), -1);
    ui_.text_answer = "масло";
    box_.FindAction->trigger();
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Текст \"масло\" не найден!"});
    EXPECT_EQ(Current(), -1);
}

TEST_F(TextFunctionsTest, JumpByReceiptAndZReportNumber) {
    ui_.choice_answer = {0, " 140 "};
    box_.JumpAction->trigger();
    EXPECT_EQ(ui_.questions.back(), "Переход к номеру|Номер|Чек №|Z-отчет №|Документ (DI) №");
    EXPECT_EQ(Current(), 6);
    ui_.choice_answer = {1, "52"};
    box_.JumpAction->trigger();
    EXPECT_EQ(Current(), 4);
    EXPECT_TRUE(ui_.messages.empty());

    // A document number needs the window's locator; without it nothing is found.
    const struct {
        int item;
        const char* text;
        const char* message;
    } failures[] = {{0, "139", "Документ с номером 139 среди показанных не найден!"},
                    {2, "8", "Документ с номером 8 среди показанных не найден!"},
                    {0, "1x", "Номер должен быть целым числом!"},
                    {1, "", "Номер должен быть целым числом!"}};
    for (const auto& f : failures) {
        ui_.messages.clear();
        ui_.choice_answer = {f.item, f.text};
        box_.JumpAction->trigger();
        EXPECT_EQ(ui_.messages, std::vector<std::string>{f.message}) << f.text;
        EXPECT_EQ(Current(), 4);
    }
    box_.DocumentLocator = [](long long di) {
        return di == 8 ? std::optional<int>(3) : std::nullopt;
    };
    ui_.choice_answer = {2, "8"};
    box_.JumpAction->trigger();
    EXPECT_EQ(Current(), 3);
}

TEST_F(TextFunctionsTest, CopiesTheSelectedLinesInDisplayOrder) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    box_.CopyAction->trigger();  // nothing selected: the clipboard stays
    EXPECT_EQ(clipboard->text(), QStringLiteral("before"));

    auto* selection = box_.selectionModel();
    selection->select(box_.model()->index(5, 0), QItemSelectionModel::Select);
    selection->select(box_.model()->index(0, 0), QItemSelectionModel::Select);
    selection->select(box_.model()->index(2, 0), QItemSelectionModel::Select);
    box_.CopyAction->trigger();
    EXPECT_EQ(clipboard->text(), U("  Хліб житній                    1.00 A\n"
                                   "  ЇЖАЧОК шоколадний              1.00 A\n"
                                   "  хліб білий нарізний            1.00 A\n"));
}

TEST_F(TextFunctionsTest, KeysReachTheFunctionsWhileTheDisplayHasTheFocus) {
    box_.show();
    box_.activateWindow();
    box_.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box_));
    ui_.choice_answer = {0, "138"};
    QTest::keyClick(&box_, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Current(), 3);
    ui_.text_answer = "ХЛІБ";
    QTest::keyClick(&box_, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(Current(), 5);
    QTest::keyClick(&box_, Qt::Key_F3);
    EXPECT_EQ(Current(), 0);
    QTest::keyClick(&box_, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Current(), 5);
    QTest::keyClick(&box_, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&box_, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), U("  хліб білий нарізний            1.00 A\n"
                                                      "  000000140         30.04.2014  14:43\n"));
    EXPECT_TRUE(ui_.messages.empty());
    box_.hide();
}

TEST(TapePrintTest, PrintedLinesDropTrailingBlanksAndWrapAt40Columns) {
    const std::vector<QString> printed =
        PrintedLines(Cp({"  Сума                          12.00                   ", "", "   ",
                         "  0123456789012345678901234567890123456789ABC"}));
    const std::vector<QString> expected = {U("  Сума                          12.00"), U(""), U(""),
                                           U("  01234567890123456789012345678901234567"),
                                           U("89ABC")};
    EXPECT_EQ(printed, expected);
}

int PdfPages(const std::string& pdf) {
    static const QRegularExpression count(
        QStringLiteral("/Type\\s*/Pages\\b[^>]*/Count\\s+(\\d+)"));
    const QRegularExpressionMatch match = count.match(QString::fromLatin1(pdf));
    if (match.hasMatch()) return match.captured(1).toInt();
    // The attribute order is the writer's; count the pages one by one otherwise.
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page\\b"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

TEST_F(TextFunctionsTest, PrintsAllOrTheSelectedLinesAsPdfPages) {
    const auto file = folder_.path() / "print.pdf";
    ui_.print_file = file;
    box_.PrintAction->trigger();
    EXPECT_EQ(ui_.prints, 1);
    const std::string pdf = ReadFile(file);
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_EQ(PdfPages(pdf), 1);
    EXPECT_TRUE(ui_.messages.empty());

    // One selected line is only the cursor: all lines print. Several: only they do.
    box_.SelectRow(3);
    EXPECT_EQ(box_.LinesToPrint(), kLines);
    box_.selectionModel()->select(box_.model()->index(6, 0), QItemSelectionModel::Select);
    EXPECT_EQ(box_.LinesToPrint(), (std::vector<std::string>{kLines[3], kLines[6]}));
    std::filesystem::remove(file);
    box_.PreviewAction->trigger();
    EXPECT_EQ(ui_.previews, 1);
    EXPECT_EQ(ReadFile(file).rfind("%PDF", 0), 0u);
}

TEST_F(TextFunctionsTest, ALongTapeFillsSeveralPages) {
    std::vector<std::string> lines;
    for (int i = 0; i < 500; ++i) lines.push_back("  line " + std::to_string(i));
    const auto file = folder_.path() / "long.pdf";
    const int pages = WriteTapePdf(file, lines);
    EXPECT_GT(pages, 1);
    const std::string pdf = ReadFile(file);
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_EQ(PdfPages(pdf), pages);
}

TEST_F(TextFunctionsTest, PrintFailureIsShownAndWritesNothing) {
    const auto blocked = folder_.path() / "no-such-folder" / "print.pdf";
    EXPECT_THROW(WriteTapePdf(blocked, kLines), FileError);
    ui_.print_file = blocked;
    box_.PrintAction->trigger();
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Не удалось напечатать документы!"});
    EXPECT_FALSE(std::filesystem::exists(blocked));
}

}  // namespace
}  // namespace tavrelo
