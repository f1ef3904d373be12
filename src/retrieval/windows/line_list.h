#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <string>
#include <vector>

namespace tavrelo {

// The lines of a list box, held as Windows-1251 text and converted only when a line is shown,
// so that filling a million lines costs one move and scrolling converts only the visible ones.
class LineListModel : public QAbstractListModel {
  public:
    explicit LineListModel(QObject* parent) : QAbstractListModel(parent) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const std::vector<std::string>& lines() const { return lines_; }
    void SetLines(std::vector<std::string> lines);
    void Append(std::string line);
    void Clear();

  private:
    std::vector<std::string> lines_;
};

// A list box over a LineListModel: one uniform row height, no per-row widgets.
class LineListBox : public QListView {
  public:
    LineListBox(int item_height, QWidget* parent);

    LineListModel& Items() { return *model_; }
    const LineListModel& Items() const { return *model_; }

  private:
    LineListModel* model_;
};

// Courier New where it is installed, otherwise the system's fixed-pitch font.
QFont TapeFont();

}  // namespace tavrelo
