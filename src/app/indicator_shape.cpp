#include "app/indicator_shape.h"

#include <QPainter>
#include <algorithm>

namespace tavrelo {

IndicatorShape::IndicatorShape(QWidget* parent) : QWidget(parent) {}

void IndicatorShape::SetBrushColor(int color) {
    brush_color_ = color;
    update();
}

void IndicatorShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.setBrush(
        QColor(brush_color_ & 0xFF, (brush_color_ >> 8) & 0xFF, (brush_color_ >> 16) & 0xFF));
    const int radius = std::min(width(), height()) / 4;
    painter.drawRoundedRect(rect().adjusted(0, 0, -1, -1), radius, radius);
}

}  // namespace tavrelo
