#pragma once

#include <string>

namespace tavrelo {

// The operator's messages of the retrievals, as Windows-1251 text.
const std::string& FirstNumberMessage();  // "Началный номер должен быть >0!"
const std::string& LastNumberMessage();  // "Конечный номер должен быть не меньше начального!"
const std::string& RegisterErrorMessage();  // after the second failed exchange
const std::string& EndDateMessage();  // "Конечная дата должна быть не меньше начальной!"
// No reply to the query for the numbers of a date range: nothing is fetched.
const std::string& NoNumberRangeMessage();

}  // namespace tavrelo
