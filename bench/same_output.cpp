// Checks that the CLI's pipeline, which renders each document as soon as the walk has left it,
// writes the same bytes and the same error log as walking the whole response first and then
// rendering the finished model, for every document type.
//
//   tavrelo-bench-same FILE...   prints "same FILE" per file; exit status 1 on any difference

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/tape_output.h"
#include "common/atomic_file.h"
#include "common/errors.h"
#include "model/document.h"
#include "model/vocabulary.h"
#include "platform/xml/parse_response.h"
#include "render/render_documents.h"

namespace {

namespace fs = std::filesystem;
using tavrelo::cli::OutputOptions;

struct Result {
    int status = 0;
    std::string bytes;
    std::string error_log;
};

std::string ReadIfThere(const fs::path& path) {
    return fs::exists(path) ? tavrelo::ReadFile(path) : std::string("(none)");
}

Result WholeModel(const std::string& xml, const OutputOptions& options) {
    Result result;
    fs::remove(options.error_log);
    tavrelo::rq model;
    tavrelo::control state;
    try {
        tavrelo::ParseResponse(xml, model, state);
    } catch (const tavrelo::Error&) {
        result.status = tavrelo::cli::kExitBadResponse;
        result.error_log = ReadIfThere(options.error_log);
        return result;
    }
    std::vector<std::string> lines;
    tavrelo::RenderDocuments(model, options.selector, lines, options.error_log);
    result.bytes = tavrelo::cli::EncodeLines(lines, options);
    result.error_log = ReadIfThere(options.error_log);
    return result;
}

Result Pipeline(const std::string& xml, const OutputOptions& options) {
    Result result;
    fs::remove(options.error_log);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    result.status = tavrelo::cli::RenderResponse(xml, options, out, err);
    std::rewind(out);
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;) {
        result.bytes.append(buffer, n);
    }
    std::fclose(out);
    std::fclose(err);
    result.error_log = ReadIfThere(options.error_log);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tavrelo-bench-same FILE...\n");
        return 2;
    }
    int differences = 0;
    try {
        const fs::path log = fs::temp_directory_path() / "tavrelo-bench-same-error.log";
        for (int i = 1; i < argc; ++i) {
            const std::string xml = tavrelo::ReadFile(argv[i]);
            bool same = true;
            for (int selector = -1; selector <= 3; ++selector) {
                OutputOptions options;
                options.selector = selector;
                options.error_log = log;
                const Result whole = WholeModel(xml, options);
                const Result streamed = Pipeline(xml, options);
                if (whole.status != streamed.status || whole.bytes != streamed.bytes ||
                    whole.error_log != streamed.error_log) {
                    std::printf("DIFFERENT %s with document type %d\n", argv[i], selector);
                    same = false;
                }
            }
            if (same) std::printf("same %s\n", argv[i]);
            differences += same ? 0 : 1;
        }
        fs::remove(log);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tavrelo-bench-same: %s\n", error.what());
        return 1;
    }
    return differences == 0 ? 0 : 1;
}
