#include "retrieval/windows/line_list.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <algorithm>

#include "app/tape_print.h"
#include "app/tape_search.h"
#include "app/ui_text.h"
#include "app/unhandled_error.h"
#include "common/errors.h"
#include "common/numbers.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/ui_services.h"

namespace tavrelo {
namespace {

class FixedHeightDelegate : public QStyledItemDelegate {
  public:
    FixedHeightDelegate(int height, QObject* parent)
        : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(height_);
        return size;
    }

  private:
    int height_;
};

}  // namespace

int LineListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant LineListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role != Qt::DisplayRole) return {};
    return ToQString(lines_[static_cast<std::size_t>(index.row())]);
}

void LineListModel::SetLines(std::vector<std::string> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}

void LineListModel::Append(std::string line) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    lines_.push_back(std::move(line));
    endInsertRows();
}

void LineListModel::Clear() { SetLines({}); }

LineListBox::LineListBox(int item_height, QWidget* parent)
    : QListView(parent), model_(new LineListModel(this)) {
    setModel(model_);
    setUniformItemSizes(true);
    setItemDelegate(new FixedHeightDelegate(item_height, this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextElideMode(Qt::ElideNone);
}

QAction* LineListBox::AddAction(const char* text, const QKeySequence& shortcut,
                                std::function<void()> run) {
    auto* action = new QAction(Ui(text), this);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // Only while the display has the focus: the windows' own keys stay as they were.
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    addAction(action);
    connect(action, &QAction::triggered, this,
            [this, run = std::move(run)] { RunHandler(*ui_, run); });
    return action;
}

void LineListBox::EnableTextFunctions(UiServices& ui) {
    if (ui_) return;
    ui_ = &ui;
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    FindAction = AddAction("Найти...", QKeySequence(Qt::CTRL | Qt::Key_F), [this] { Find(); });
    FindNextAction = AddAction("Найти далее", QKeySequence(Qt::Key_F3), [this] { FindNext(); });
    FindPreviousAction = AddAction("Найти предыдущее", QKeySequence(Qt::SHIFT | Qt::Key_F3),
                                   [this] { FindPrevious(); });
    JumpAction =
        AddAction("Перейти к номеру...", QKeySequence(Qt::CTRL | Qt::Key_G), [this] { Jump(); });
    CopyAction =
        AddAction("Копировать", QKeySequence(Qt::CTRL | Qt::Key_C), [this] { CopySelection(); });
    PrintAction =
        AddAction("Печать...", QKeySequence(Qt::CTRL | Qt::Key_P), [this] { PrintLines(false); });
    PreviewAction = AddAction("Просмотр печати...", {}, [this] { PrintLines(true); });
}

void LineListBox::Find() {
    const std::optional<std::string> text =
        ui_->AskText(Cp("Поиск"), Cp("Найти:"), ToCp1251(search_text_));
    if (!text || text->empty()) return;
    search_text_ = ToQString(*text);
    Search(true);
}

void LineListBox::FindNext() {
    if (search_text_.isEmpty()) return Find();
    Search(true);
}

void LineListBox::FindPrevious() {
    if (search_text_.isEmpty()) return Find();
    Search(false);
}

void LineListBox::Search(bool forward) {
    const int from = currentIndex().isValid() ? currentIndex().row() : -1;
    const std::optional<int> row = FindLine(model_->lines(), search_text_, from, forward);
    if (!row) {
        ui_->ShowMessage(Cp("Текст \"") + ToCp1251(search_text_) + Cp("\" не найден!"));
        return;
    }
    SelectRow(*row);
}

void LineListBox::Jump() {
    const std::optional<UiServices::ChoiceAndText> answer = ui_->AskChoiceAndText(
        Cp("Переход к номеру"), Cp("Номер"), {Cp("Чек №"), Cp("Z-отчет №"), Cp("Документ (DI) №")});
    if (!answer) return;
    long long number = 0;
    try {
        std::string text = answer->text;
        while (!text.empty() && text.back() == ' ') text.pop_back();
        number = ParseIntSkippingLeadingBlanks(text);
    } catch (const ConversionError&) {
        ui_->ShowMessage(Cp("Номер должен быть целым числом!"));
        return;
    }
    std::optional<int> row;
    switch (answer->item) {
        case 0:
            row = FindReceiptRow(model_->lines(), number);
            break;
        case 1:
            row = FindZvitRow(model_->lines(), number);
            break;
        default:
            if (DocumentLocator) row = DocumentLocator(number);
            break;
    }
    if (!row) {
        ui_->ShowMessage(Cp("Документ с номером ") + std::to_string(number) +
                         Cp(" среди показанных не найден!"));
        return;
    }
    SelectRow(*row);
}

void LineListBox::SelectRow(int row) {
    const QModelIndex index = model_->index(row, 0);
    // The view reads the keys held down when the current row changes: with Shift+F3 it would
    // extend the selection from the old row. As a single selection the found row becomes the
    // only one selected and the start of the next Shift selection.
    const SelectionMode mode = selectionMode();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setCurrentIndex(index);
    selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    setSelectionMode(mode);
    scrollTo(index, QAbstractItemView::PositionAtTop);
}

std::vector<int> LineListBox::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QString LineListBox::SelectedText() const {
    QString text;
    for (const int row : SelectedRows()) {
        text += ToQString(model_->lines()[static_cast<std::size_t>(row)]);
        text += QLatin1Char('\n');
    }
    return text;
}

void LineListBox::CopySelection() {
    const QString text = SelectedText();
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

std::vector<std::string> LineListBox::LinesToPrint() const {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() < 2) return model_->lines();
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (const int row : rows) lines.push_back(model_->lines()[static_cast<std::size_t>(row)]);
    return lines;
}

void LineListBox::PrintLines(bool preview) {
    const std::vector<std::string> lines = LinesToPrint();
    bool failed = false;
    const auto paint = [&lines, &failed](QPrinter& printer) {
        try {
            PaintTape(printer, lines);
        } catch (const FileError&) {
            failed = true;
        }
    };
    if (preview) {
        ui_->PrintPreview(paint);
    } else {
        ui_->Print(paint);
    }
    if (failed) ui_->ShowMessage(Cp("Не удалось напечатать документы!"));
}

QFont TapeFont() {
    const QString courier = QStringLiteral("Courier New");
    if (QFontDatabase::families().contains(courier, Qt::CaseInsensitive)) {
        QFont font(courier);
        font.setPointSize(10);
        font.setStyleHint(QFont::TypeWriter);
        return font;
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

}  // namespace tavrelo
