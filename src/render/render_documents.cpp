#include "render/render_documents.h"

#include "common/atomic_file.h"
#include "common/errors.h"
#include "render/cp1251_literal.h"
#include "render/tape_lines.h"

namespace tavrelo {
namespace tape {

void WriteHeader(rq& model, dat& doc, Lines& out) {
    out.Add(std::string("          ДП \"Компанія KERVA\""_cp));
    out.Add(std::string("                м.Київ"_cp));
    // The fiscal number is the first document's, the serial number this one's.
    out.Add(Cat("     ЗН "_cp, doc.zn(), "  ФН "_cp, model.dat_at(0).fn()));
}

}  // namespace tape

void LogRenderError(const std::filesystem::path& error_log, const std::string& message) {
    // Holds the last message only; a log that cannot be written is skipped silently, as the
    // rendering must go on either way. Replaced whole, so a failed write keeps the previous one.
    try {
        WriteFileAtomically(error_log, message + '\n');
    } catch (const FileError&) {
    }
}

void AddNoDocumentsLine(std::vector<std::string>& lines) {
    tape::Lines(lines).Add(std::string("Запрашиваемые данные отсутствуют!"_cp));
}

std::optional<std::string> RenderDocument(rq& model, int index, int selector,
                                          std::vector<std::string>& lines) {
    tape::Lines out(lines);
    dat& doc = model.dat_at(index);
    try {
        if (doc.is_check()) {
            if (selector == kSelectChecks || selector == kSelectAll) {
                tape::WriteReceipt(model, doc, out, true);
            } else if (selector == kSelectCashInOut && doc.check_at(0).t() == 2) {
                tape::WriteReceipt(model, doc, out, false);
            }
        } else if (selector == kSelectZvits || selector == kSelectAll) {
            tape::WriteZvit(model, doc, out);
        }
    } catch (const ConversionError& error) {
        return error.what();
    } catch (const RangeError& error) {
        return error.what();
    }
    return std::nullopt;
}

int RenderDocuments(rq& model, int selector, std::vector<std::string>& lines,
                    const std::filesystem::path& error_log) {
    if (model.cur() <= 0) {
        AddNoDocumentsLine(lines);
        return 0;
    }
    int failed = 0;
    for (int i = 0; i < model.cur(); ++i) {
        if (const std::optional<std::string> error = RenderDocument(model, i, selector, lines)) {
            LogRenderError(error_log, *error);
            ++failed;
        }
    }
    return failed;
}

}  // namespace tavrelo
