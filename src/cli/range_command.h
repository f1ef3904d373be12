#pragma once

#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/fetch_command.h"

namespace tavrelo::cli {

// tavrelo-cli range --host HOST [--port PORT] [--id ID] --dates START END: prints the first and
// the last document number the register gives for the date range, separated by a blank.
class RangeCommand : public Command {
  public:
    explicit RangeCommand(LinkTimings timings = {}) : timings_(timings) {}

    std::string Name() const override { return "range"; }
    std::string Description() const override;
    void AddOptions(CLI::App& command) override;
    int Execute() override;

  private:
    LinkTimings timings_;
    RegisterAddress address_;
    std::vector<std::string> dates_;
};

}  // namespace tavrelo::cli
