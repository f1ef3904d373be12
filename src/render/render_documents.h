#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/document.h"

namespace tavrelo {

// Which documents RenderDocuments writes; the values are the item indexes of the request
// window's document-type list. Any other value selects nothing.
inline constexpr int kSelectZvits = 0;      // "Z-отчет"
inline constexpr int kSelectChecks = 1;     // "Чек"
inline constexpr int kSelectAll = 2;        // "Чек+Z-отчет"
inline constexpr int kSelectCashInOut = 3;  // "Внес./Изъят.": service receipts only

// Where the message of the last render error goes when the caller names no other place.
inline const std::filesystem::path kDefaultErrorLog = "error.log";

// Appends the tape text of every selected document of `model`, in document order, to `lines`
// (CP1251, one string per line, trailing spaces kept); an empty result gives the single line
// "Запрашиваемые данные отсутствуют!". Nothing already in `lines` is touched.
//
// A conversion or range error while one document is written stops that document where it arose:
// its lines so far stay, the error's message and a line break replace the contents of
// `error_log` (nothing is written when it cannot be opened), and the next document follows.
// Returns the number of documents stopped that way.
int RenderDocuments(rq& model, int selector, std::vector<std::string>& lines,
                    const std::filesystem::path& error_log = kDefaultErrorLog);

// The steps of RenderDocuments, for a caller that renders each document as soon as the walk is
// done with it (the walk never returns to a document below rq.cur()).
//
// Appends the tape text of document `index` if `selector` selects it. A conversion or range
// error stops the document where it arose, its lines so far staying; its message is returned.
std::optional<std::string> RenderDocument(rq& model, int index, int selector,
                                          std::vector<std::string>& lines);

// The single line of a model without documents.
void AddNoDocumentsLine(std::vector<std::string>& lines);

// Replaces the contents of `error_log` with `message` and a line break; nothing is written when
// the file cannot be opened.
void LogRenderError(const std::filesystem::path& error_log, const std::string& message);

}  // namespace tavrelo
