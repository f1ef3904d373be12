#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

#include "cli/exit_status.h"

namespace tavrelo::cli {

int CommandLine::Run(int argc, char** argv) {
    CLI::App app("Renders the electronic control tape of the fiscal register as tape text.",
                 "tavrelo-cli");
    app.require_subcommand(1);
    app.footer(kExitStatusHelp);
    for (const auto& command : commands_) {
        CLI::App* sub = app.add_subcommand(command->Name(), command->Description());
        sub->footer(kExitStatusHelp);
        command->AddOptions(*sub);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);  // prints the help or the complaint
        return status == 0 ? kExitOk : kExitUsage;
    }
    try {
        for (const auto& command : commands_) {
            if (app.got_subcommand(command->Name())) return command->Execute();
        }
    } catch (const std::exception& error) {
        std::cerr << "tavrelo-cli: " << error.what() << '\n';
    }
    return kExitInternal;
}

}  // namespace tavrelo::cli
