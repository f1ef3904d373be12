#include "cli/tape_output.h"

#include <sys/resource.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <utility>

#include "cli/exit_status.h"
#include "common/atomic_file.h"
#include "common/cp1251.h"
#include "common/errors.h"
#include "model/document.h"
#include "model/vocabulary.h"
#include "platform/xml/parse_response.h"
#include "render/render_documents.h"

namespace tavrelo::cli {
namespace {

bool WriteAll(std::FILE* out, const std::vector<std::string>& pieces) {
    for (const std::string& bytes : pieces) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) return false;
    }
    return std::fflush(out) == 0;
}

void Print(std::FILE* err, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), err);
    std::fflush(err);
}

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration elapsed) { return std::chrono::duration<double>(elapsed).count(); }

// The high-water mark of the resident set as the kernel accounts it, in kB.
long PeakResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    rusage usage{};
    return ::getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : -1;
}

// The phases of one RenderResponse, for --timings.
struct PhaseTimes {
    Clock::duration walk{};
    Clock::duration parse_and_walk{};
    Clock::duration render{};
    Clock::duration write{};
};

void PrintTimings(std::FILE* err, const PhaseTimes& times) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "tavrelo-cli: timings parse=%.6f walk=%.6f render=%.6f write=%.6f seconds, "
                  "peak_rss=%ld kB\n",
                  Seconds(times.parse_and_walk - times.walk), Seconds(times.walk),
                  Seconds(times.render), Seconds(times.write), PeakResidentKilobytes());
    Print(err, text);
}

}  // namespace

void AddOutputOptions(CLI::App& command, OutputOptions& options) {
    static const std::map<std::string, int> kTypes = {
        {"z", kSelectZvits},        {"check", kSelectChecks}, {"all", kSelectAll},
        {"cash", kSelectCashInOut}, {"0", kSelectZvits},      {"1", kSelectChecks},
        {"2", kSelectAll},          {"3", kSelectCashInOut},
    };
    command
        .add_option_function<std::string>(
            "--type", [&options](const std::string& type) { options.selector = kTypes.at(type); },
            "Documents to show: z (Z-reports), check (receipts), all (both; the default) or "
            "cash (cash in/out receipts); 0 to 3 in the same order")
        ->check(CLI::IsMember({"z", "check", "all", "cash", "0", "1", "2", "3"}))
        ->type_name("z|check|all|cash");
    command
        .add_option_function<std::string>(
            "--output", [&options](const std::string& path) { options.path = path; },
            "Write to this file as the desktop saves it (CP1251, CR LF) instead of to standard "
            "output (UTF-8, LF)")
        ->type_name("PATH");
    command
        .add_option_function<std::string>(
            "--encoding",
            [&options](const std::string& name) {
                options.encoding = name == "utf-8" ? TextEncoding::kUtf8 : TextEncoding::kCp1251;
            },
            "Encoding of the output, overriding the default of either destination")
        ->check(CLI::IsMember({"utf-8", "cp1251"}))
        ->type_name("utf-8|cp1251");
    command.add_flag("--timings", options.timings,
                     "Print the time spent parsing, walking, rendering and writing (fetch: also "
                     "connecting, exchanging and writing the XML file), and the peak memory, on "
                     "standard error");
}

void AppendEncodedLines(std::string& out, const std::vector<std::string>& lines,
                        const OutputOptions& options) {
    const TextEncoding encoding =
        options.encoding.value_or(options.path ? TextEncoding::kCp1251 : TextEncoding::kUtf8);
    const std::string_view terminator = options.path ? "\r\n" : "\n";
    for (const auto& line : lines) {
        if (encoding == TextEncoding::kUtf8) {
            AppendUtf8FromCp1251(out, line);
        } else {
            out += line;
        }
        out += terminator;
    }
}

std::string EncodeLines(const std::vector<std::string>& lines, const OutputOptions& options) {
    std::string out;
    AppendEncodedLines(out, lines, options);
    return out;
}

void ReportResponseFailure(std::string_view reason_utf8, std::FILE* err) {
    std::string text =
        "tavrelo-cli: Непредвиденный сбой в структуре получаемой информации!\n"
        "tavrelo-cli: Попробуйте выбрать другой диапазон номеров или дат!\n"
        "tavrelo-cli: ";
    text.append(reason_utf8).append("\n");
    Print(err, text);
}

namespace {

// Renders and encodes each document as soon as the walk has left it, and then drops it from the
// model, so that neither the model of the whole response nor all its lines are ever held at
// once: the encoded text is the same as rendering the finished model. The first document stays,
// since every header quotes its fiscal number. The text is kept in pieces of about a megabyte, as
// one string growing by doubling would need up to twice its size at times.
class StreamingRender {
  public:
    explicit StreamingRender(const OutputOptions& options) : options_(options) {}

    // Renders the documents below `end` that are not rendered yet.
    void RenderBelow(rq& model, int end) {
        for (; next_ < end; ++next_) {
            const auto start = Clock::now();
            if (std::optional<std::string> error =
                    RenderDocument(model, next_, options_.selector, lines_)) {
                last_error_ = std::move(*error);
                ++failed_;
            }
            if (next_ != 0) model.release_dat(next_);
            const auto rendered = Clock::now();
            Encode();
            times_.render += rendered - start;
            times_.write += Clock::now() - rendered;
        }
    }

    // After the walk: the documents it left last, or the line of a response without any.
    void Finish(rq& model) {
        if (model.cur() <= 0) {
            AddNoDocumentsLine(lines_);
            Encode();
            return;
        }
        RenderBelow(model, model.cur());
        if (failed_ > 0) LogRenderError(options_.error_log, last_error_);
    }

    const std::vector<std::string>& pieces() const { return pieces_; }
    int failed() const { return failed_; }
    PhaseTimes& times() { return times_; }

  private:
    static constexpr std::size_t kPieceSize = 1 << 20;

    void Encode() {
        if (pieces_.empty() || pieces_.back().size() >= kPieceSize) {
            pieces_.emplace_back().reserve(kPieceSize + kPieceSize / 16);
        }
        AppendEncodedLines(pieces_.back(), lines_, options_);
        lines_.clear();
    }

    const OutputOptions& options_;
    int next_ = 0;
    int failed_ = 0;
    std::string last_error_;
    std::vector<std::string> lines_;
    std::vector<std::string> pieces_;
    PhaseTimes times_;
};

}  // namespace

int RenderResponse(std::string_view xml, const OutputOptions& options, std::FILE* out,
                   std::FILE* err) {
    rq model;
    control state;
    StreamingRender render(options);
    std::chrono::nanoseconds walk_time{};
    WalkHooks hooks;
    hooks.walk_time = &walk_time;
    hooks.child_walked = [&render](rq& filling) { render.RenderBelow(filling, filling.cur()); };
    auto start = Clock::now();
    try {
        ParseResponse(xml, model, state, hooks);
    } catch (const ParseError& error) {
        ReportResponseFailure(error.what(), err);
        return kExitBadResponse;
    } catch (const ConversionError& error) {
        // The message quotes the value as the model holds it, in CP1251.
        ReportResponseFailure(Cp1251ToUtf8(error.what()), err);
        return kExitBadResponse;
    }
    PhaseTimes& times = render.times();
    times.walk = walk_time;
    times.parse_and_walk = Clock::now() - start - times.render - times.write;

    start = Clock::now();
    render.Finish(model);
    const auto finished = Clock::now();
    times.render += finished - start;

    start = finished;
    if (options.path) {
        try {
            WriteFileAtomically(*options.path, render.pieces());
        } catch (const FileError& error) {
            Print(err, std::string("tavrelo-cli: ") + error.what() + "\n");
            return kExitOutput;
        }
    } else if (!WriteAll(out, render.pieces())) {
        Print(err, "tavrelo-cli: cannot write to standard output\n");
        return kExitOutput;
    }
    times.write += Clock::now() - start;
    if (options.timings) PrintTimings(err, times);
    if (render.failed() > 0) {
        Print(err, "tavrelo-cli: " + std::to_string(render.failed()) +
                       " document(s) stopped at a render error; the last message is in " +
                       options.error_log.string() + "\n");
    }
    return kExitOk;
}

}  // namespace tavrelo::cli
