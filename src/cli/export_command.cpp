#include "cli/export_command.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <system_error>

#include "cli/exit_status.h"
#include "cli/tape_output.h"
#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "common/errors.h"
#include "export/csv_export.h"
#include "export/json_export.h"
#include "model/vocabulary.h"
#include "platform/xml/parse_response.h"
#include "platform/xml/xml_document.h"

namespace tavrelo::cli {
namespace {

void Print(std::FILE* err, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), err);
    std::fflush(err);
}

}  // namespace

int LoadTape(const std::string& path, LoadedTape& tape, std::FILE* err) {
    std::string xml;
    try {
        // A folder opens like an empty file; it is no response.
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) {
            throw FileError("Cannot read " + path + ": it is a folder");
        }
        xml = ReadFile(path);
    } catch (const FileError& error) {
        ReportResponseFailure(error.what(), err);
        return kExitInput;
    }
    try {
        // The whole tree is needed only while the numbers are collected; the walk reads the
        // text one document at a time and so fills the model without it.
        tape.numbers = CollectExactNumbers(XmlDocument(xml).DocumentElement());
        control state;
        ParseResponse(xml, tape.model, state);
    } catch (const ParseError& error) {
        ReportResponseFailure(error.what(), err);
        return kExitBadResponse;
    } catch (const ConversionError& error) {
        // The message quotes the value as the model holds it, in CP1251.
        ReportResponseFailure(Cp1251ToUtf8(error.what()), err);
        return kExitBadResponse;
    }
    return kExitOk;
}

std::string ExportCommand::Description() const {
    return "Export the documents of a saved control-tape response (XML, like temp.xml) as JSON "
           "(one object per document) or CSV (one row per receipt line), UTF-8";
}

void ExportCommand::AddOptions(CLI::App& command) {
    command.add_option("FILE", input_, "Control-tape response (XML)")->required();
    command.add_option("--format", format_, "json or csv")
        ->required()
        ->check(CLI::IsMember({"json", "csv"}))
        ->type_name("json|csv");
    command
        .add_option("--output", output_,
                    "Write to this file (atomically) instead of standard output")
        ->type_name("PATH");
}

int ExportCommand::Execute() {
    LoadedTape tape;
    if (const int status = LoadTape(input_, tape); status != kExitOk) return status;
    const std::string bytes = format_ == "json" ? ExportJson(tape.model, tape.numbers)
                                                : ExportCsv(tape.model, tape.numbers);
    if (output_) {
        try {
            WriteFileAtomically(*output_, bytes);
        } catch (const FileError& error) {
            Print(stderr, std::string("tavrelo-cli: ") + error.what() + "\n");
            return kExitOutput;
        }
        return kExitOk;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
        Print(stderr, "tavrelo-cli: cannot write to standard output\n");
        return kExitOutput;
    }
    return kExitOk;
}

}  // namespace tavrelo::cli
