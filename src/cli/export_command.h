#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "cli/command.h"
#include "export/exact_numbers.h"
#include "model/document.h"

namespace tavrelo::cli {

// A saved response walked into the model, with the number texts exactly as written.
struct LoadedTape {
    rq model;
    ExactNumbers numbers;
};

// Reads and walks the response in `path`. On failure reports on `err` as the render command does
// and returns its exit status (kExitInput, kExitBadResponse); kExitOk otherwise.
int LoadTape(const std::string& path, LoadedTape& tape, std::FILE* err = stderr);

// tavrelo-cli export FILE --format json|csv [--output PATH]: the documents of a saved response
// for accounting, UTF-8, to standard output or written atomically to PATH.
class ExportCommand : public Command {
  public:
    std::string Name() const override { return "export"; }
    std::string Description() const override;
    void AddOptions(CLI::App& command) override;
    int Execute() override;

  private:
    std::string input_;
    std::string format_;
    std::optional<std::string> output_;
};

}  // namespace tavrelo::cli
