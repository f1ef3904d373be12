#include "fuzz_entries.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "common/atomic_file.h"
#include "common/errors.h"
#include "common/numbers.h"
#include "link/exchange.h"
#include "link/stream_socket.h"
#include "model/document.h"
#include "model/vocabulary.h"
#include "platform/ini/ini_file.h"
#include "platform/xml/parse_response.h"
#include "register/request.h"
#include "register/tape.h"
#include "render/format_stamp.h"
#include "render/number_format.h"
#include "render/place_right.h"
#include "render/render_documents.h"
#include "render/scale.h"
#include "render/tax_letter.h"
#include "retrieval/date_values.h"
#include "retrieval/retrieval.h"
#include "retrieval/retrieval_messages.h"

namespace tavrelo::fuzz {
namespace {

void Expect(bool holds, const std::string& what) {
    if (!holds) throw BrokenPromise(what);
}

std::string_view Text(Bytes data) {
    return {reinterpret_cast<const char*>(data.data()), data.size()};
}

// Takes the next `n` bytes as a value of type T, zero-filled past the end of the input.
template <class T, std::size_t n = sizeof(T)>
T Take(Bytes& data) {
    unsigned char raw[sizeof(T)] = {};
    const std::size_t have = data.size() < n ? data.size() : n;
    if (have > 0) std::memcpy(raw, data.data(), have);
    data = data.subspan(have);
    T value;
    std::memcpy(&value, raw, sizeof(T));
    return value;
}

// An 80-bit pattern as the x87 unit can produce it: the explicit integer bit agrees with the
// exponent (arithmetic never makes the "unnormal" encodings, which the unit refuses as operands).
long double Extended(Bytes& data) {
    unsigned char raw[sizeof(long double)] = {};
    const std::size_t have = data.size() < 10 ? data.size() : 10;
    if (have > 0) std::memcpy(raw, data.data(), have);
    data = data.subspan(have);
    const bool zero_exponent = raw[8] == 0 && (raw[9] & 0x7F) == 0;
    if (zero_exponent) {
        raw[7] &= 0x7F;
    } else {
        raw[7] |= 0x80;
    }
    long double value;
    std::memcpy(&value, raw, sizeof value);
    return value;
}

const std::filesystem::path& ErrorLog() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tavrelo-fuzz-" + std::to_string(::getpid()) + "-error.log");
    return path;
}

void CheckRequestFrame(const RequestFrame& frame) {
    Expect(frame.bytes.size() <= RequestReader::kMaxFrame, "frame longer than the bound");
    if (std::holds_alternative<MalformedRequest>(frame.request)) return;
    Expect(!frame.bytes.empty() && frame.bytes.front() == '\x01' && frame.bytes.back() == '\x05',
           "answered frame without its start and end bytes");
    // What was understood reads back the same from the client's own spelling of it.
    if (const auto* block = std::get_if<BlockRequest>(&frame.request)) {
        const std::string body = "B;" + IntToText(block->type) + ";" + IntToText(block->number) +
                                 ";" + IntToText(block->block) + ";";
        const Request again = ParseRequestBody(body);
        const auto* same = std::get_if<BlockRequest>(&again);
        Expect(same != nullptr && same->type == block->type && same->number == block->number &&
                   same->block == block->block,
               "block request does not read back: " + body);
    }
}

// The rounding error FormatFixed may make: half a unit of the last digit it keeps.
long double RoundingBound(long double magnitude, int precision, int decimals) {
    int integer_digits = 0;
    for (long double p = 1; p <= magnitude && integer_digits < 40; p *= 10) ++integer_digits;
    int kept = precision - integer_digits;
    if (kept > decimals) kept = decimals;
    return 0.5L * std::pow(10.0L, -kept);
}

void CheckFixed(long double value, int precision, int decimals) {
    const std::string out = FormatFixed(value, precision, decimals);
    // Sign, point, exponent or the digits of the decimals come on top of the precision.
    Expect(!out.empty() && out.size() <= static_cast<std::size_t>(precision + decimals) + 8,
           "FormatFixed length: " + out);
    for (char c : out) {
        Expect((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'E' || c == 'I' ||
                   c == 'N' || c == 'F' || c == 'A',
               "FormatFixed character: " + out);
    }
    if (!std::isfinite(value)) return;
    const long double magnitude = std::fabs(value);
    const long double limit = std::pow(10.0L, precision);
    if (magnitude >= limit) {
        Expect(out.find('E') != std::string::npos, "large value without exponent: " + out);
        return;
    }
    const long double back = std::strtold(out.c_str(), nullptr);
    if (out.find('E') != std::string::npos) {
        // Only a value that rounds up to 10^precision takes the exponent form here.
        Expect(std::fabs(back) == limit, "exponent form below the limit: " + out);
        return;
    }
    const std::size_t point = out.find('.');
    Expect(decimals == 0 ? point == std::string::npos
                         : point != std::string::npos &&
                               out.size() - point - 1 == static_cast<std::size_t>(decimals),
           "FormatFixed decimals: " + out);
    const long double error = std::fabs(back - value);
    // The text is exact; strtold itself rounds to 64 bits, hence the relative slack.
    Expect(
        error <= RoundingBound(magnitude, precision, decimals) * (1 + 1e-9L) + magnitude * 1e-18L,
        "FormatFixed off by more than its rounding: " + out);
    if (out.front() == '-') {
        Expect(out.find_first_of("123456789") != std::string::npos, "negative zero: " + out);
    }
}

}  // namespace

void ParseAndRender(Bytes data) {
    rq model;
    control state;
    try {
        ParseResponse(Text(data), model, state);
    } catch (const ParseError&) {
        return;  // the request flow reports it and renders nothing
    } catch (const ConversionError&) {
        // The model is filled up to the bad value; rendering it must be as safe as any other.
    }
    for (int selector = kSelectZvits; selector <= kSelectCashInOut; ++selector) {
        rq copy = model;
        std::vector<std::string> lines;
        const int failed = RenderDocuments(copy, selector, lines, ErrorLog());
        // Documents that the selector leaves out may give no line; no documents give one line.
        Expect(model.cur() > 0 || lines.size() == 1, "no documents, but not the one line");
        Expect(failed >= 0 && failed <= (model.cur() > 0 ? model.cur() : 0),
               "more failed documents than documents");
    }
    std::error_code ignored;
    std::filesystem::remove(ErrorLog(), ignored);
}

void RegisterRequests(Bytes data) {
    const std::size_t piece = data.empty() ? 1 : (data[0] % 64) + 1;
    Bytes rest = data.empty() ? data : data.subspan(1);
    RequestReader reader;
    std::size_t frames = 0;
    while (!rest.empty()) {
        const std::size_t n = rest.size() < piece ? rest.size() : piece;
        reader.Append(Text(rest.first(n)));
        rest = rest.subspan(n);
        while (auto frame = reader.Next()) {
            CheckRequestFrame(*frame);
            ++frames;
        }
    }
    Expect(frames + reader.dropped() <= data.size(), "more frames and dropped bytes than bytes");
    (void)ParseRequestBody(Text(data));
}

void RegisterTape(Bytes data) {
    Tape tape;
    try {
        tape = Tape::Parse(Text(data));
    } catch (const ParseError&) {
        return;
    }
    std::vector<std::string> texts;
    for (const TapeDocument& doc : tape.documents()) {
        Expect(Text(data).find(doc.text) != std::string_view::npos, "document not cut from input");
        Expect(tape.FindByDi(doc.di) != nullptr, "document not found by its DI");
        if (doc.z_no) Expect(tape.FindByZNo(*doc.z_no) != nullptr, "Z-report not found by NO");
        texts.push_back(doc.text);
    }
    const Tape again = Tape::Parse(FrameTape(texts));
    Expect(again.size() == tape.size(), "framed documents do not load back");
}

void Numbers(Bytes data) {
    const std::string_view text = Text(data);
    try {
        const float value = ParseFloat(text);
        Expect(std::isfinite(value), "ParseFloat gave a non-finite value");
    } catch (const ConversionError&) {
    }
    for (auto parse : {&ParseInt, &ParseIntSkippingLeadingBlanks}) {
        try {
            const std::int32_t value = parse(text);
            Expect(ParseInt(IntToText(value)) == value, "integer does not read back");
        } catch (const ConversionError&) {
        }
    }
    Bytes bits = data;
    const float single = Take<float>(bits);
    const long double wide = Extended(bits);
    for (const long double value : {static_cast<long double>(single), wide}) {
        const std::int32_t t = TruncToInt32(value);
        if (std::isnan(value)) {
            Expect(t == 0, "NaN does not truncate to 0");
        } else if (std::fabs(value) < 2147483647.0L) {
            Expect(t == static_cast<std::int32_t>(std::trunc(value)), "wrong truncation");
        } else {
            Expect(t == (value < 0 ? std::numeric_limits<std::int32_t>::min()
                                   : std::numeric_limits<std::int32_t>::max()),
                   "truncation does not saturate");
        }
    }
}

void Formatting(Bytes data) {
    Bytes rest = data;
    const float single = Take<float>(rest);
    const long double wide = Extended(rest);
    const auto shape = Take<std::uint8_t>(rest);

    // The tape's own formats, on the stored value and on it scaled as the layouts scale it.
    for (const long double value :
         {static_cast<long double>(single), Hundredths(single), Thousandths(single),
          static_cast<long double>(HundredthsSingle(single)),
          static_cast<long double>(ThousandthsSingle(single)), wide}) {
        CheckFixed(value, 8, 2);
        CheckFixed(value, 7, 2);
        CheckFixed(value, 8, 0);
        CheckFixed(value, 15, 0);
    }
    const int precision = shape % 18 + 1;
    CheckFixed(wide, precision, (shape / 18) % (precision + 1));

    const auto column = Take<std::int32_t>(rest);
    const std::string_view text = Text(rest);
    const std::size_t split = text.empty() ? 0 : shape % (text.size() + 1);
    const std::string line(text.substr(0, split));
    const std::string value(text.substr(split));
    try {
        const std::string placed = PlaceRight(line, value, column);
        const std::string padded = line.size() < 38 ? line + std::string(35, ' ') : line;
        Expect(placed.size() == padded.size(), "PlaceRight changed the line's length");
        if (!value.empty()) {
            const std::size_t first = static_cast<std::size_t>(column) - value.size();
            Expect(placed.compare(first, value.size(), value) == 0, "value not at its column");
            Expect(placed.compare(0, first, padded, 0, first) == 0 &&
                       placed.compare(first + value.size(), std::string::npos, padded,
                                      first + value.size()) == 0,
                   "PlaceRight changed characters around the value");
        } else {
            Expect(placed == padded, "an empty value changed the line");
        }
    } catch (const RangeError&) {
    }

    (void)FormatStamp(text, (shape & 1) != 0);
    try {
        (void)TaxLetter(TaxIndex(text));
    } catch (const ConversionError&) {
    }
    (void)TaxLetter(column);
}

namespace {

// Names made of ASCII letters, digits and "_" only, so that a comparison without regard to case
// needs no Cyrillic table and the name cannot contain a line end, "=", "]" or blanks.
bool PlainName(std::string_view name) {
    if (name.empty() || name.size() > 32) return false;
    for (const char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    }
    return true;
}

struct IniName {
    std::string section;
    std::string key;
};

// The section and key names of the text's plain "key=value" lines, at most a few.
std::vector<IniName> IniNames(std::string_view text) {
    std::vector<IniName> names;
    std::string section;
    std::size_t start = 0;
    while (start < text.size() && names.size() < 8) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // A section line as the reader takes it: blanks around it, the name up to the first ']'.
        const auto blank = [](char c) { return c == ' ' || c == '\t'; };
        std::string_view trimmed = line;
        while (!trimmed.empty() && blank(trimmed.front())) trimmed.remove_prefix(1);
        while (!trimmed.empty() && blank(trimmed.back())) trimmed.remove_suffix(1);
        if (trimmed.size() >= 2 && trimmed.front() == '[' &&
            trimmed.find(']') != std::string_view::npos) {
            std::string_view name = trimmed.substr(1, trimmed.find(']') - 1);
            while (!name.empty() && blank(name.front())) name.remove_prefix(1);
            while (!name.empty() && blank(name.back())) name.remove_suffix(1);
            section = std::string(name);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, equals);
        if (PlainName(section) && PlainName(key)) names.push_back({section, std::string(key)});
    }
    return names;
}

const std::filesystem::path& FuzzFile(const std::string& name) {
    static std::filesystem::path folder;
    if (folder.empty()) {
        folder =
            std::filesystem::temp_directory_path() / ("tavrelo-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    static std::vector<std::filesystem::path> paths;
    for (const auto& path : paths) {
        if (path.filename() == name) return path;
    }
    paths.push_back(folder / name);
    return paths.back();
}

// A register reduced to the fuzz input: the replies are handed out in order, a read takes at
// most what is left of the current reply (the rest is read by the next exchange, as from a
// stream), and when the input is used up nothing is readable any more.
class ScriptedSocket : public StreamSocket {
  public:
    explicit ScriptedSocket(std::vector<std::string> replies) : replies_(std::move(replies)) {}

    void Connect(const std::string&, std::uint16_t) override { active_ = true; }
    void Close() override { active_ = false; }
    bool IsActive() const override { return active_; }
    void WriteAll(std::string_view bytes, int) override {
        Expect(!bytes.empty() && bytes.front() == '\x01' && bytes.back() == '\x05',
               "request frame without its start and end bytes");
        ++requests_;
    }
    bool WaitReadable(int) override { return next_ < replies_.size(); }
    std::size_t ReadSome(char* buffer, std::size_t max, int) override {
        if (next_ >= replies_.size()) throw ConnectionLost("nothing to read");
        std::string& reply = replies_[next_];
        const std::size_t n = std::min(max, reply.size());
        std::memcpy(buffer, reply.data(), n);
        reply.erase(0, n);
        if (reply.empty()) ++next_;
        return n;
    }
    long requests() const { return requests_; }

  private:
    std::vector<std::string> replies_;
    std::size_t next_ = 0;
    long requests_ = 0;
    bool active_ = true;
};

struct QuietObserver : RetrievalObserver {
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void RetrievalStarted() override {}
    void DocumentStarting(int) override {}
    void ProgressChanged(const std::string&) override {}
    std::vector<std::string> messages;
};

}  // namespace

void RangeReplyField(Bytes data) {
    const std::string_view payload = Text(data);
    Expect(ReplyField(payload, 0) == -1 && ReplyField(payload, 3) == -1,
           "a field other than 1 and 2 has a value");
    for (const int field : {1, 2}) {
        try {
            const int value = ReplyField(payload, field);
            // The field reads as the number text it is cut from.
            const std::size_t first_end = payload.find(';');
            const std::size_t start = field == 1 ? 0 : first_end + 1;
            const std::size_t end = payload.find(';', start);
            Expect(ParseInt(payload.substr(start, end - start)) == value,
                   "field value differs from its text");
        } catch (const ConversionError&) {
        }
    }
}

void IniValues(Bytes data) {
    const std::string text(Text(data));
    const std::filesystem::path& path = FuzzFile("Tavrelo.ini");
    WriteFileAtomically(path, text);
    std::vector<IniName> names = IniNames(text);
    for (const IniName& name : names) {
        const std::optional<std::string> found = FindIniValue(text, name.section, name.key);
        Expect(found.has_value(), "a plain key=value line is not found");
        Expect(ReadIniString(path, name.section, name.key, "\x01") == *found,
               "the file reads other than its text");
    }
    names.push_back({"Fuzz", "Key"});
    const std::string value = "v" + std::to_string(text.size());
    for (const IniName& name : names) {
        const std::string changed = SetIniValue(text, name.section, name.key, value);
        Expect(FindIniValue(changed, name.section, name.key) == value, "a set value is not read");
        WriteIniString(path, name.section, name.key, value);
        Expect(ReadFile(path) == changed, "the written file differs from the set text");
        Expect(ReadIniString(path, name.section, name.key, "") == value,
               "a written value is not read back");
        WriteFileAtomically(path, text);
    }
}

void RetrievalReplies(Bytes data) {
    const int documents = 1 + Take<std::uint8_t>(data) % 3;
    const int type_code = Take<std::uint8_t>(data) % 2;
    std::vector<std::string> replies;
    std::size_t reads = 0;
    while (!data.empty()) {
        const std::size_t length = Take<std::uint16_t>(data) % 1700;
        const std::size_t n = std::min(length, data.size());
        replies.emplace_back(reinterpret_cast<const char*>(data.data()), n);
        // A reply longer than the read limit is read by as many exchanges as it fills.
        reads += n == 0 ? 1 : (n + ReplyBuffer::kReadLimit - 1) / ReplyBuffer::kReadLimit;
        data = data.subspan(n);
    }
    ScriptedSocket socket(std::move(replies));
    Exchange exchange(socket, {1, 1, 1});
    QuietObserver observer;
    const std::filesystem::path& temp_xml = FuzzFile("temp.xml");
    const std::string previous = "previous retrieval\r\n";
    WriteFileAtomically(temp_xml, previous);
    Retrieval retrieval(exchange, observer, temp_xml);
    bool complete = false;
    try {
        complete = retrieval.RetrieveByNumbers(7, 6 + documents, type_code);
    } catch (const RangeError&) {
        Expect(ReadFile(temp_xml) == previous, "temp.xml changed by a retrieval that threw");
        return;
    }
    Expect(complete == retrieval.complete(), "complete() differs from the result");
    // Every exchange but the failed ones takes at least one read, and two failures end it.
    Expect(socket.requests() <= static_cast<long>(reads) + 2,
           "more requests than the replies can answer");
    const std::vector<std::string>& lines = retrieval.lines();
    Expect(lines.size() >= 2 && lines[1] == R"(<RQ V="1">)", "the lines do not start the RQ");
    if (complete) {
        Expect(lines.back() == "</RQ>", "a complete retrieval without its closing line");
        Expect(lines.size() <= static_cast<std::size_t>(3 + documents), "too many lines");
        Expect(ReadFile(temp_xml) == JoinLines(lines, "\r\n"), "temp.xml differs from the lines");
        Expect(observer.messages.empty(), "a complete retrieval showed a message");
    } else {
        Expect(ReadFile(temp_xml) == previous, "temp.xml changed by a failed retrieval");
        Expect(observer.messages == std::vector<std::string>{RegisterErrorMessage()},
               "a failed retrieval without the register error message");
    }
}

Entry EntryByName(std::string_view name) {
    if (name == "parse_render") return &ParseAndRender;
    if (name == "register_request") return &RegisterRequests;
    if (name == "register_tape") return &RegisterTape;
    if (name == "numbers") return &Numbers;
    if (name == "formatting") return &Formatting;
    if (name == "reply_field") return &RangeReplyField;
    if (name == "ini_values") return &IniValues;
    if (name == "retrieval_replies") return &RetrievalReplies;
    return nullptr;
}

}  // namespace tavrelo::fuzz
