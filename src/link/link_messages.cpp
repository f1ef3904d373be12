#include "link/link_messages.h"

#include "common/cp1251.h"

namespace tavrelo {

const std::string& ConnectionLostMessage() {
    static const std::string text = Utf8ToCp1251("Ошибка! Потеряно соединение TCP/IP!");
    return text;
}

const std::string& ServerUnreachableMessage() {
    static const std::string text = Utf8ToCp1251("Сервер не отвечает, проверьте IP адрес");
    return text;
}

const std::string& RegisterNotReadyMessage() {
    static const std::string text =
        Utf8ToCp1251("Сервер не отвечает, проверьте настройки РРО (IP адрес или удаленный доступ)");
    return text;
}

}  // namespace tavrelo
