#include "app/lines_window.h"

#include "app/ui_text.h"
#include "app/window_geometry.h"

namespace tavrelo {

LinesWindow::LinesWindow(UiServices& ui, const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setWindowTitle(title);
    setFont(LegacyFont());
    setFixedSize(820, 420);
    ListBox1 = new LineListBox(14, this);
    ListBox1->setGeometry(0, 0, 820, 380);
    ListBox1->setFont(TapeFont());
    ListBox1->EnableTextFunctions(ui);
    Button1 = new QPushButton(Ui("Закрыть"), this);
    Button1->setGeometry(724, 388, 89, 25);
    connect(Button1, &QPushButton::clicked, this, &QWidget::close);
}

void LinesWindow::SetLines(std::vector<std::string> lines) {
    ListBox1->Items().SetLines(std::move(lines));
}

}  // namespace tavrelo
