#pragma once

#include <string>

namespace CLI {
class App;
}

namespace tavrelo::cli {

// One command of tavrelo-cli ("render", ...). A command declares its options on its own
// subcommand and runs once the command line has been parsed; it reports failures on stderr
// itself and returns an exit status (exit_status.h).
class Command {
  public:
    virtual ~Command() = default;

    virtual std::string Name() const = 0;
    virtual std::string Description() const = 0;
    virtual void AddOptions(CLI::App& command) = 0;
    virtual int Execute() = 0;
};

}  // namespace tavrelo::cli
