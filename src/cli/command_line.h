#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/command.h"

namespace tavrelo::cli {

// The program's command line: the registered commands as subcommands, one of which is required.
class CommandLine {
  public:
    template <class CommandType, class... Args>
    void Add(Args&&... args) {
        commands_.push_back(std::make_unique<CommandType>(std::forward<Args>(args)...));
    }

    // Parses, runs the chosen command and returns the process exit status.
    int Run(int argc, char** argv);

  private:
    std::vector<std::unique_ptr<Command>> commands_;
};

}  // namespace tavrelo::cli
