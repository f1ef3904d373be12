#include "retrieval/retrieval_messages.h"

#include "common/cp1251.h"

namespace tavrelo {

#define TAVRELO_MESSAGE(name, utf8)                         \
    const std::string& name() {                             \
        static const std::string text = Utf8ToCp1251(utf8); \
        return text;                                        \
    }

TAVRELO_MESSAGE(FirstNumberMessage, "Началный номер должен быть >0!")
TAVRELO_MESSAGE(LastNumberMessage, "Конечный номер должен быть не меньше начального!")
TAVRELO_MESSAGE(RegisterErrorMessage,
                "Ошибка! ЕККА вернул код ошибки! Повторите попытку позже.             \n"
                " В случае повторной ошибки, обратитесь в сервис.")
TAVRELO_MESSAGE(EndDateMessage, "Конечная дата должна быть не меньше начальной!")
TAVRELO_MESSAGE(NoNumberRangeMessage,
                "Ошибка! РРО не вернул номера документов за указанный период! "
                "Повторите попытку позже.")

#undef TAVRELO_MESSAGE

}  // namespace tavrelo
