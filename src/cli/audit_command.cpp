#include "cli/audit_command.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "audit/tape_audit.h"
#include "cli/exit_status.h"
#include "cli/export_command.h"
#include "common/cp1251.h"

namespace tavrelo::cli {

std::string AuditCommand::Description() const {
    return "Check a saved control-tape response (XML, like temp.xml): gaps and repeats of the "
           "document, receipt and Z-report numbers, receipt sums and payments, Z-report figures "
           "against their shift. Exit status 10 when it finds inconsistencies (warnings)";
}

void AuditCommand::AddOptions(CLI::App& command) {
    command.add_option("FILE", input_, "Control-tape response (XML)")->required();
}

int AuditCommand::Execute() {
    LoadedTape tape;
    if (const int status = LoadTape(input_, tape); status != kExitOk) return status;
    const AuditReport report = AuditTape(tape.model, tape.numbers);
    std::string text;
    for (const std::string& line : AuditReportLines(report)) text += Cp1251ToUtf8(line) + "\n";
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        std::fputs("tavrelo-cli: cannot write to standard output\n", stderr);
        return kExitOutput;
    }
    return report.warnings() > 0 ? kExitFindings : kExitOk;
}

}  // namespace tavrelo::cli
