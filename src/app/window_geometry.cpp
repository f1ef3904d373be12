#include "app/window_geometry.h"

#include <QGuiApplication>
#include <QScreen>

namespace tavrelo {

QFont LegacyFont(int pixel_size) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    if (pixel_size > 0) {
        font.setPixelSize(pixel_size);
    } else {
        font.setPointSize(8);
    }
    return font;
}

void CenterOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
}

}  // namespace tavrelo
