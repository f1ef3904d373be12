#include "platform/qt/qt_text.h"

#include "common/cp1251.h"

namespace tavrelo {

QString ToQString(std::string_view cp1251) {
    const std::string utf8 = Cp1251ToUtf8(cp1251);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp1251(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp1251(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace tavrelo
