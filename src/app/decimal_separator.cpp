#include "app/decimal_separator.h"

#include <QLocale>
#include <clocale>

namespace tavrelo {

void SetDecimalSeparatorPoint() {
    std::setlocale(LC_NUMERIC, "C");
    QLocale locale = QLocale::system();
    if (locale.decimalPoint() != QLatin1Char('.')) locale = QLocale::c();
    QLocale::setDefault(locale);
}

}  // namespace tavrelo
