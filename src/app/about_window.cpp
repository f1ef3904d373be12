#include "app/about_window.h"

#include "app/main_window.h"
#include "app/ui_text.h"
#include "app/unhandled_error.h"
#include "app/window_geometry.h"
#include "platform/qt/qt_text.h"

namespace tavrelo {

TForm54::TForm54(AppContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), context_(context) {
    setWindowTitle(Ui("О программе Чтение чеков и Z-отчетов Orvel"));
    setFont(LegacyFont());
    setFixedSize(385, 145);
    setModal(true);

    Label1 = new QLabel(Ui("ПО Чтение чеков и Z-отчетов ("), this);
    Label1->setGeometry(0, 16, 385, 20);
    Label1->setAlignment(Qt::AlignCenter);
    Label3 = new QLabel(this);
    Label3->setGeometry(0, 40, 385, 20);
    Label3->setAlignment(Qt::AlignCenter);
    Label2 = new QLabel(Ui("Разработка: Orvel"), this);
    Label2->setGeometry(0, 68, 385, 20);
    Label2->setAlignment(Qt::AlignCenter);
    Button1 = new QPushButton(Ui("Закрыть"), this);
    Button1->setGeometry(155, 104, 75, 25);
    connect(Button1, &QPushButton::clicked, this,
            [this] { RunHandler(context_.ui, [this] { Button1Click(); }); });

    Label3->setText(ToQString(context_.forms.Form3->VersionText));
    CenterOnScreen(*this);
}

void TForm54::Button1Click() { close(); }

}  // namespace tavrelo
