#include "app/radio_group.h"

#include <QGridLayout>
#include <algorithm>

namespace tavrelo {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_.addButton(button, i);
        layout->addWidget(button, i % rows, i / rows);
        buttons_.push_back(button);
    }
    connect(&group_, &QButtonGroup::idClicked, this, [this](int) {
        if (OnClick) OnClick();
    });
}

int RadioGroup::ItemIndex() const { return group_.checkedId(); }

void RadioGroup::SetItemIndex(int index) {
    if (buttons_.empty()) return;
    if (index < 0) {
        group_.setExclusive(false);
        for (auto* b : buttons_) b->setChecked(false);
        group_.setExclusive(true);
    } else {
        const int clamped = std::min(index, Count() - 1);
        buttons_[static_cast<std::size_t>(clamped)]->setChecked(true);
    }
    if (OnClick) OnClick();
}

}  // namespace tavrelo
