#pragma once

#include <QFont>
#include <QWidget>

namespace tavrelo {

// The windows were laid out for MS Sans Serif 8; where it is not installed Qt substitutes the
// closest sans-serif font.
QFont LegacyFont(int pixel_size = 0);

void CenterOnScreen(QWidget& window);

}  // namespace tavrelo
