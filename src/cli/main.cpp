#include "cli/audit_command.h"
#include "cli/command_line.h"
#include "cli/export_command.h"
#include "cli/fetch_command.h"
#include "cli/range_command.h"
#include "cli/render_command.h"

int main(int argc, char** argv) {
    tavrelo::cli::CommandLine commands;
    commands.Add<tavrelo::cli::RenderCommand>();
    commands.Add<tavrelo::cli::FetchCommand>();
    commands.Add<tavrelo::cli::RangeCommand>();
    commands.Add<tavrelo::cli::ExportCommand>();
    commands.Add<tavrelo::cli::AuditCommand>();
    return commands.Run(argc, argv);
}
