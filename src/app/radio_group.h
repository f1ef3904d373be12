#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>
#include <functional>
#include <vector>

namespace tavrelo {

// A captioned group of radio buttons in one or more columns, with the selected item by index.
class RadioGroup : public QGroupBox {
  public:
    RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);

    // -1 when no item is selected.
    int ItemIndex() const;
    // An index past the last item selects the last one; -1 clears the selection.
    void SetItemIndex(int index);
    int Count() const { return static_cast<int>(buttons_.size()); }
    QRadioButton* Item(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }

    // Called after the operator or SetItemIndex has selected an item.
    std::function<void()> OnClick;

  private:
    QButtonGroup group_;
    std::vector<QRadioButton*> buttons_;
};

}  // namespace tavrelo
