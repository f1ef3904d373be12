#include "cli/command_line.h"
#include "cli/render_command.h"

int main(int argc, char** argv) {
    tavrelo::cli::CommandLine commands;
    commands.Add<tavrelo::cli::RenderCommand>();
    return commands.Run(argc, argv);
}
