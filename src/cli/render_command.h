#pragma once

#include <string>

#include "cli/command.h"
#include "cli/tape_output.h"

namespace tavrelo::cli {

// tavrelo-cli render FILE [--type z|check|all|cash] [--output PATH] [--encoding utf-8|cp1251]:
// the tape text of a saved response such as "temp.xml".
class RenderCommand : public Command {
  public:
    std::string Name() const override { return "render"; }
    std::string Description() const override;
    void AddOptions(CLI::App& command) override;
    int Execute() override;

  private:
    std::string input_;
    OutputOptions output_;
};

}  // namespace tavrelo::cli
