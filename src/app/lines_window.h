#pragma once

#include <QPushButton>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/qt/ui_services.h"
#include "retrieval/windows/line_list.h"

namespace tavrelo {

// A window that shows lines of text (Windows-1251) in a display with find, copy and printing,
// such as the findings of a tape check.
class LinesWindow : public QWidget {
  public:
    LinesWindow(UiServices& ui, const QString& title, QWidget* parent = nullptr);

    LineListBox* ListBox1;
    QPushButton* Button1;  // "Закрыть"

    void SetLines(std::vector<std::string> lines);
};

}  // namespace tavrelo
