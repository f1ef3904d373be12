#include "platform/qt/ui_services.h"

namespace tavrelo {

std::filesystem::path WithDefaultSuffix(const std::filesystem::path& path,
                                        std::string_view suffix) {
    if (suffix.empty() || path.filename().empty() || path.has_extension()) return path;
    std::filesystem::path out = path;
    out += ".";
    out += std::string(suffix);
    return out;
}

}  // namespace tavrelo
