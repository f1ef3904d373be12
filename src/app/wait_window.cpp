#include "app/wait_window.h"

#include <QCloseEvent>

#include "app/ui_text.h"
#include "app/unhandled_error.h"
#include "app/window_geometry.h"

namespace tavrelo {

TForm5::TForm5(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      context_(context) {
    setWindowTitle(QStringLiteral("tavrelo"));
    setFont(LegacyFont());
    setFixedSize(374, 361);

    Label1 = new QLabel(Ui("Запрос соединения:"), this);
    Label1->setFont(LegacyFont(16));
    Label1->setGeometry(24, 40, 320, 24);
    Label2 = new QLabel(this);
    Label2->setFont(LegacyFont(16));
    Label2->setGeometry(24, 96, 320, 24);
    Button1 = new QPushButton(Ui("Прервать"), this);
    Button1->setGeometry(144, 280, 85, 25);
    connect(Button1, &QPushButton::clicked, this,
            [this] { RunHandler(context_.ui, [this] { Button1Click(); }); });
    CenterOnScreen(*this);
}

void TForm5::Button1Click() { WaitAborted = true; }

void TForm5::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace tavrelo
