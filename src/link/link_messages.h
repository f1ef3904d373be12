#pragma once

#include <string>

namespace tavrelo {

// The operator's messages of the connection and the exchange, as Windows-1251 text.
const std::string& ConnectionLostMessage();  // "Ошибка! Потеряно соединение TCP/IP!"
const std::string& ServerUnreachableMessage();  // "Сервер не отвечает, проверьте IP адрес"
const std::string& RegisterNotReadyMessage();  // "... проверьте настройки РРО (...)"

}  // namespace tavrelo
