#include "retrieval/windows/progress_window.h"

#include <QEvent>

#include "app/unhandled_error.h"
#include "app/window_geometry.h"

namespace tavrelo {

TForm4::TForm4(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      context_(context) {
    setFont(LegacyFont());
    setFixedSize(472, 279);
    Label1 = new QLabel(this);
    Label1->setFont(LegacyFont(16));
    Label1->setGeometry(24, 64, 424, 24);
    Label1->setAlignment(Qt::AlignCenter);
    Label2 = new QLabel(this);
    Label2->setFont(LegacyFont(16));
    Label2->setGeometry(24, 128, 424, 24);
    Label2->setAlignment(Qt::AlignCenter);
    CenterOnScreen(*this);
}

void TForm4::FormActivate() { Repaint(); }

void TForm4::Repaint() {
    if (isVisible()) repaint();
}

void TForm4::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        RunHandler(context_.ui, [this] { FormActivate(); });
    }
}

}  // namespace tavrelo
