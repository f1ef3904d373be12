#pragma once

#include <QString>
#include <string>

#include "common/cp1251.h"

namespace tavrelo {

// The window texts are written in UTF-8 in the source. Captions go straight to Qt; texts that
// travel through the program (messages, list lines) are Windows-1251 like all text inside it.
inline QString Ui(const char* utf8) { return QString::fromUtf8(utf8); }
inline std::string Cp(const char* utf8) { return Utf8ToCp1251(utf8); }

}  // namespace tavrelo
