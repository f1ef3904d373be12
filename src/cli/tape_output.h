#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/render_documents.h"

namespace CLI {
class App;
}

namespace tavrelo::cli {

enum class TextEncoding { kUtf8, kCp1251 };

// Where and how rendered lines go. Without a path: standard output, UTF-8, LF after each line.
// With a path: the file as the desktop program saves it, CP1251 with CR LF after each line,
// trailing spaces kept, written atomically. `encoding` overrides the encoding of either.
struct OutputOptions {
    int selector = kSelectAll;  // the document type, as RenderDocuments takes it
    std::optional<std::filesystem::path> path;
    std::optional<TextEncoding> encoding;
    std::filesystem::path error_log = "error.log";
    // --timings: after the output, one line on the error stream with the seconds spent parsing,
    // walking, rendering and writing, and the peak resident memory of the process.
    bool timings = false;
};

// Declares --type, --output, --encoding and --timings on a command that renders a response.
void AddOutputOptions(CLI::App& command, OutputOptions& options);

// The bytes of `lines` (CP1251) as `options` asks for them.
std::string EncodeLines(const std::vector<std::string>& lines, const OutputOptions& options);
void AppendEncodedLines(std::string& out, const std::vector<std::string>& lines,
                        const OutputOptions& options);

// Parses a control-tape response (XML text), walks it into a fresh model, renders the selected
// documents (each as soon as the walk has left it) and writes them. Nothing is written unless the
// whole response was accepted. Failures are reported on `err` with the two texts the request window
// shows and the reason; returns the exit status.
int RenderResponse(std::string_view xml, const OutputOptions& options, std::FILE* out = stdout,
                   std::FILE* err = stderr);

// Reports a failure to read or understand a response on `err` the way RenderResponse does.
void ReportResponseFailure(std::string_view reason_utf8, std::FILE* err = stderr);

}  // namespace tavrelo::cli
