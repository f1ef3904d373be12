#include "retrieval/windows/line_list.h"

#include <QFontDatabase>

#include "platform/qt/qt_text.h"

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
