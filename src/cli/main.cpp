#include "cli/command_line.h"
#include "cli/fetch_command.h"
#include "cli/range_command.h"
#include "cli/render_command.h"

int main(int argc, char** argv) {
    tavrelo::cli::CommandLine commands;
    commands.Add<tavrelo::cli::RenderCommand>();
    commands.Add<tavrelo::cli::FetchCommand>();
    commands.Add<tavrelo::cli::RangeCommand>();
    return commands.Run(argc, argv);
}
