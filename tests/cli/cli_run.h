#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/atomic_file.h"

namespace tavrelo {

// What a run of the real tavrelo-cli left: its exit status and its two streams.
struct CliOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs the program at `cli` in `folder` (which also receives its streams); standard output goes
// to `stdout_path` instead when given, and is then not read back.
inline CliOutcome RunCli(const std::string& cli, const std::filesystem::path& folder,
                         const std::vector<std::string>& args,
                         const std::string& stdout_path = {}) {
    std::string command = "cd " + ShellQuote(folder.string()) + " && " + ShellQuote(cli);
    for (const auto& arg : args) command += " " + ShellQuote(arg);
    const std::string out = stdout_path.empty() ? (folder / "stdout").string() : stdout_path;
    command += " >" + ShellQuote(out) + " 2>" + ShellQuote((folder / "stderr").string());
    const int raw = std::system(command.c_str());
    CliOutcome outcome;
    if (raw != -1 && WIFEXITED(raw)) outcome.status = WEXITSTATUS(raw);
    if (stdout_path.empty()) outcome.out = ReadFile(folder / "stdout");
    outcome.err = ReadFile(folder / "stderr");
    return outcome;
}

}  // namespace tavrelo
