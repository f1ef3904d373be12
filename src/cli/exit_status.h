#pragma once

namespace tavrelo::cli {

// Exit statuses of tavrelo-cli, the same for every command.
enum ExitStatus : int {
    kExitOk = 0,           // done (documents that failed to render are listed in error.log)
    kExitInternal = 1,     // an unexpected failure inside the program
    kExitUsage = 2,        // the command line is wrong
    kExitInput = 3,        // the input cannot be read
    kExitBadResponse = 4,  // the response is malformed XML or holds a value that is no number
    kExitOutput = 5,       // the output cannot be written
    // The commands that talk to the register:
    kExitUnreachable = 6,      // the connect failed
    kExitNotReady = 7,         // the register did not answer "Ready" to the identification
    kExitCheckFailed = 8,      // the numbers or dates were refused before anything was sent
    kExitRetrievalFailed = 9,  // two failed exchanges, a lost connection, or no number range
    // audit:
    kExitFindings = 10,  // the audit found inconsistencies (warnings)
};

// The table above as the help text shows it.
inline constexpr const char* kExitStatusHelp =
    "Exit status:\n"
    "  0  done (a document that fails to render is logged to error.log)\n"
    "  1  unexpected internal failure\n"
    "  2  wrong command line\n"
    "  3  input cannot be read\n"
    "  4  response rejected: malformed XML or a value that is no number\n"
    "  5  output cannot be written\n"
    "  6  the register cannot be reached\n"
    "  7  the register did not answer the identification with Ready\n"
    "  8  the numbers or dates were refused (nothing was sent)\n"
    "  9  the retrieval failed: no reply, lost connection or no number range (no XML written)\n"
    "  10 the audit found inconsistencies (warnings)";

}  // namespace tavrelo::cli
