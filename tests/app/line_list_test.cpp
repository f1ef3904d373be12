#include "retrieval/windows/line_list.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QScrollBar>

#include "gui_test_support.h"

namespace tavrelo {
namespace {

using testing::EnsureApplication;
using testing::U;

TEST(LineListTest, ShowsWindows1251LinesConvertedForDisplayOnly) {
    EnsureApplication();
    LineListBox box(14, nullptr);
    box.Items().Append(Utf8ToCp1251("  Хліб житній   "));
    box.Items().Append("plain");
    EXPECT_EQ(box.model()->rowCount(), 2);
    EXPECT_EQ(box.model()->data(box.model()->index(0, 0)).toString(), U("  Хліб житній   "));
    EXPECT_EQ(box.Items().lines()[0], Utf8ToCp1251("  Хліб житній   "));
    EXPECT_EQ(box.sizeHintForRow(0), 14);
    box.Items().Clear();
    EXPECT_EQ(box.model()->rowCount(), 0);
}

TEST(LineListTest, AMillionLinesFillAndScrollToTheEnd) {
    EnsureApplication();
    LineListBox box(14, nullptr);
    box.resize(473, 569);
    box.show();
    std::vector<std::string> lines(1'000'000);
    for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = "  line " + std::to_string(i);
    box.Items().SetLines(std::move(lines));
    QCoreApplication::processEvents();
    box.scrollToBottom();
    QCoreApplication::processEvents();
    const QModelIndex last = box.model()->index(999'999, 0);
    const QRect shown = box.visualRect(last);
    EXPECT_TRUE(box.viewport()->rect().contains(shown));
    EXPECT_EQ(shown.height(), 14);
    EXPECT_EQ(box.indexAt(shown.center()), last);
    EXPECT_EQ(last.data().toString(), U("  line 999999"));
    box.hide();
}

TEST(LineListTest, TapeFontIsFixedPitch) {
    EnsureApplication();
    EXPECT_TRUE(QFontInfo(TapeFont()).fixedPitch());
}

}  // namespace
}  // namespace tavrelo
