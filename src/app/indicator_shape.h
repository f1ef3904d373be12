#pragma once

#include <QWidget>

namespace tavrelo {

// Colours as the register's operators know them from the original tool: 0x00BBGGRR.
inline constexpr int kColorRed = 255;
inline constexpr int kColorLime = 65280;

// A rounded rectangle filled with one colour: the connection indicator.
class IndicatorShape : public QWidget {
  public:
    explicit IndicatorShape(QWidget* parent);

    int BrushColor() const { return brush_color_; }
    void SetBrushColor(int color);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int brush_color_ = 0xFFFFFF;
};

}  // namespace tavrelo
