#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tavrelo {

// Windows-1251 text of the program to Qt's text and back; the only place where they meet.
QString ToQString(std::string_view cp1251);
std::string ToCp1251(const QString& text);

}  // namespace tavrelo
