#include "register/tape.h"

#include <algorithm>

#include "common/atomic_file.h"
#include "common/errors.h"
#include "common/numbers.h"

namespace tavrelo {
namespace {

bool IsNameEnd(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/';
}

// Position of the next start tag `<name` (followed by blank, '>' or '/') at or after `from`.
std::size_t FindStartTag(std::string_view text, std::string_view name, std::size_t from) {
    const std::string open = "<" + std::string(name);
    for (std::size_t at = text.find(open, from); at != std::string_view::npos;
         at = text.find(open, at + 1)) {
        const std::size_t next = at + open.size();
        if (next < text.size() && IsNameEnd(text[next])) return at;
    }
    return std::string_view::npos;
}

// The value of attribute `name` in the start tag that begins at `tag`, if it has one.
std::optional<std::string_view> AttributeOf(std::string_view text, std::size_t tag,
                                            std::string_view name) {
    std::size_t i = text.find_first_of(" \t\r\n>/", tag);
    while (i < text.size() && text[i] != '>') {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' ||
                                   text[i] == '\n' || text[i] == '/')) {
            ++i;
        }
        if (i >= text.size() || text[i] == '>') break;
        const std::size_t name_begin = i;
        while (i < text.size() && text[i] != '=' && text[i] != '>' && !IsNameEnd(text[i])) ++i;
        const std::string_view attribute = text.substr(name_begin, i - name_begin);
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size() || text[i] != '=') return std::nullopt;  // not well-formed
        ++i;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) return std::nullopt;
        const char quote = text[i++];
        const std::size_t close = text.find(quote, i);
        if (close == std::string_view::npos) return std::nullopt;
        if (attribute == name) return text.substr(i, close - i);
        i = close + 1;
    }
    return std::nullopt;
}

std::string Where(std::size_t offset) { return " (document at byte " + IntToText(offset) + ")"; }

TapeDocument CutDocument(std::string_view xml, std::size_t begin, std::size_t next_dat) {
    constexpr std::string_view kMacEnd = "</MAC>";
    constexpr std::string_view kDatEnd = "</DAT>";
    const std::string_view rest = xml.substr(begin, next_dat - begin);
    const std::size_t mac_end = rest.find(kMacEnd);
    std::size_t length = 0;
    if (mac_end != std::string_view::npos) {
        length = mac_end + kMacEnd.size();
    } else {
        // A document without its MAC still ends with its DAT.
        const std::size_t dat_end = rest.find(kDatEnd);
        if (dat_end == std::string_view::npos) throw ParseError("DAT is not closed" + Where(begin));
        length = dat_end + kDatEnd.size();
    }
    TapeDocument document;
    document.text = std::string(rest.substr(0, length));
    if (document.text.find('\0') != std::string::npos) {
        throw ParseError("a zero byte inside the document" + Where(begin));
    }
    const std::string_view text = document.text;
    const auto di = AttributeOf(text, 0, "DI");
    if (!di) throw ParseError("DAT without DI" + Where(begin));
    try {
        document.di = ParseInt(*di);
    } catch (const ConversionError&) {
        throw ParseError("DI=\"" + std::string(*di) + "\" is not a whole number" + Where(begin));
    }
    const std::size_t dat_close = text.find(kDatEnd);
    const std::string_view dat = text.substr(0, dat_close);
    const std::size_t z = FindStartTag(dat, "Z", 0);
    if (z != std::string_view::npos) {
        const auto no = AttributeOf(dat, z, "NO");
        if (no) {
            try {
                document.z_no = ParseInt(*no);
            } catch (const ConversionError&) {
                throw ParseError("Z NO=\"" + std::string(*no) + "\" is not a whole number" +
                                 Where(begin));
            }
        }
    }
    // The document's own TS is the last element of DAT; E also has a TS, but as an attribute.
    const std::size_t ts = dat.rfind("<TS>");
    if (ts != std::string_view::npos) {
        const std::size_t ts_end = dat.find("</TS>", ts);
        if (ts_end != std::string_view::npos) {
            document.ts = std::string(dat.substr(ts + 4, ts_end - ts - 4));
        }
    }
    return document;
}

// yyyymmddhhmmss as a number; nullopt for anything else.
std::optional<std::int64_t> StampValue(std::string_view ts) {
    if (ts.size() != 14) return std::nullopt;
    std::int64_t value = 0;
    for (char c : ts) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

Tape Tape::Parse(std::string_view xml) {
    Tape tape;
    std::size_t at = FindStartTag(xml, "DAT", 0);
    while (at != std::string_view::npos) {
        const std::size_t next = FindStartTag(xml, "DAT", at + 1);
        TapeDocument document =
            CutDocument(xml, at, next == std::string_view::npos ? xml.size() : next);
        const std::size_t index = tape.documents_.size();
        tape.by_di_.emplace(document.di, index);
        if (document.z_no) tape.by_z_no_.emplace(*document.z_no, index);
        tape.documents_.push_back(std::move(document));
        at = next;
    }
    return tape;
}

Tape Tape::FromFile(const std::filesystem::path& path) { return Parse(ReadFile(path)); }

const TapeDocument* Tape::FindByDi(std::int32_t di) const {
    const auto it = by_di_.find(di);
    return it == by_di_.end() ? nullptr : &documents_[it->second];
}

const TapeDocument* Tape::FindByZNo(std::int32_t no) const {
    const auto it = by_z_no_.find(no);
    return it == by_z_no_.end() ? nullptr : &documents_[it->second];
}

std::optional<std::pair<std::int32_t, std::int32_t>> Tape::DiRangeByTime(std::int64_t from,
                                                                         std::int64_t to) const {
    std::optional<std::pair<std::int32_t, std::int32_t>> range;
    for (const TapeDocument& document : documents_) {
        const auto stamp = StampValue(document.ts);
        if (!stamp || *stamp < from || *stamp > to) continue;
        if (!range) {
            range.emplace(document.di, document.di);
        } else {
            range->first = std::min(range->first, document.di);
            range->second = std::max(range->second, document.di);
        }
    }
    return range;
}

std::string FrameTape(const std::vector<std::string>& documents) {
    std::vector<std::string> lines;
    lines.reserve(documents.size() + 3);
    lines.emplace_back("<?xml version=\"1.0\" encoding=\"windows-1251\"?>");
    lines.emplace_back("<RQ V=\"1\">");
    lines.insert(lines.end(), documents.begin(), documents.end());
    lines.emplace_back("</RQ>");
    return JoinLines(lines, "\r\n");
}

}  // namespace tavrelo
