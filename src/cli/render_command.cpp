#include "cli/render_command.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <system_error>

#include "cli/exit_status.h"
#include "common/atomic_file.h"
#include "common/errors.h"

namespace tavrelo::cli {

std::string RenderCommand::Description() const {
    return "Render a saved control-tape response (XML, like temp.xml) as tape text";
}

void RenderCommand::AddOptions(CLI::App& command) {
    command.add_option("FILE", input_, "Control-tape response (XML)")->required();
    AddOutputOptions(command, output_);
}

int RenderCommand::Execute() {
    std::string xml;
    try {
        // A folder opens like an empty file; it is no response to render.
        std::error_code ignored;
        if (std::filesystem::is_directory(input_, ignored)) {
            throw FileError("Cannot read " + input_ + ": it is a folder");
        }
        xml = ReadFile(input_);
    } catch (const FileError& error) {
        ReportResponseFailure(error.what());
        return kExitInput;
    }
    return RenderResponse(xml, output_);
}

}  // namespace tavrelo::cli
