#pragma once

#include <string>

#include "cli/command.h"

namespace tavrelo::cli {

// tavrelo-cli audit FILE: checks the numbering and the figures of a saved response and prints
// one line per finding and a summary (UTF-8) on standard output.
class AuditCommand : public Command {
  public:
    std::string Name() const override { return "audit"; }
    std::string Description() const override;
    void AddOptions(CLI::App& command) override;
    int Execute() override;

  private:
    std::string input_;
};

}  // namespace tavrelo::cli
