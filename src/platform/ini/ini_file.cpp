#include "platform/ini/ini_file.h"

#include <system_error>
#include <vector>

#include "common/atomic_file.h"
#include "common/errors.h"

namespace tavrelo {
namespace {

// Upper and lower case of the Windows-1251 letters outside the two Cyrillic blocks.
constexpr unsigned char kUpperLower[][2] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
    {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
    {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
};

unsigned char FoldCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<unsigned char>(u + ('a' - 'A'));
    if (u >= 0xC0 && u <= 0xDF) return static_cast<unsigned char>(u + 0x20);
    for (const auto& pair : kUpperLower) {
        if (u == pair[0]) return pair[1];
    }
    return u;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// One line of the text, without its line end.
struct Line {
    std::string_view body;
    std::string_view end;  // "\r\n", "\n" or empty for a last line without one
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        if (nl == std::string_view::npos) {
            lines.push_back({text, {}});
            break;
        }
        std::string_view body = text.substr(0, nl);
        std::string_view end = text.substr(nl, 1);
        if (!body.empty() && body.back() == '\r') {
            body.remove_suffix(1);
            end = text.substr(nl - 1, 2);
        }
        lines.push_back({body, end});
        text.remove_prefix(nl + 1);
    }
    return lines;
}

// The name of a "[section]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view body) {
    const std::string_view t = Trim(body);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    const std::size_t close = t.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(t.substr(1, close - 1));
}

bool IsComment(std::string_view body) {
    const std::string_view t = Trim(body);
    return !t.empty() && (t.front() == ';' || t.front() == '#');
}

// The key of a "key=value" line, or nothing for any other line.
std::optional<std::string_view> KeyName(std::string_view body) {
    if (IsComment(body)) return std::nullopt;
    const std::size_t eq = body.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return Trim(body.substr(0, eq));
}

std::string_view ValueOf(std::string_view body) {
    std::string_view v = Trim(body.substr(body.find('=') + 1));
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return v;
}

// Where an entry is, or would go, in the lines.
struct Place {
    std::optional<std::size_t> entry;           // the line holding the key
    std::optional<std::size_t> section_header;  // the first line "[section]"
    std::size_t section_last = 0;               // last key or header line of that section
};

Place Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Place place;
    bool inside = false;
    bool in_first = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view body = lines[i].body;
        if (const auto name = SectionName(body)) {
            inside = SameName(*name, section);
            in_first = inside && !place.section_header;
            if (in_first) {
                place.section_header = i;
                place.section_last = i;
            }
            continue;
        }
        if (!inside) continue;
        const auto name = KeyName(body);
        if (!name) continue;
        if (in_first) place.section_last = i;
        if (SameName(*name, key)) {
            place.entry = i;
            return place;
        }
    }
    return place;
}

std::string_view LineEndOf(const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        if (!line.end.empty()) return line.end;
    }
    return "\r\n";
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
    const std::vector<Line> lines = SplitLines(text);
    const Place place = Locate(lines, section, key);
    if (!place.entry) return std::nullopt;
    return std::string(ValueOf(lines[*place.entry].body));
}

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
    const std::vector<Line> lines = SplitLines(text);
    const Place place = Locate(lines, section, key);
    const std::string_view eol = LineEndOf(lines);

    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
    const auto append_line = [&](std::string_view body, std::string_view end) {
        out.append(body);
        out.append(end);
    };
    const auto append_entry = [&](std::string_view name) {
        out.append(name);
        out.push_back('=');
        out.append(value);
    };

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (place.entry && *place.entry == i) {
            // Keep the key as the file spells it.
            append_entry(*KeyName(line.body));
            out.append(line.end.empty() ? std::string_view() : line.end);
            continue;
        }
        append_line(line.body, line.end);
        if (!place.entry && place.section_header && place.section_last == i) {
            if (line.end.empty()) out.append(eol);
            append_entry(key);
            out.append(eol);
        }
    }
    if (!place.entry && !place.section_header) {
        if (!lines.empty() && lines.back().end.empty()) out.append(eol);
        out.push_back('[');
        out.append(section);
        out.push_back(']');
        out.append(eol);
        append_entry(key);
        out.append(eol);
    }
    return out;
}

std::string ReadIniString(const std::filesystem::path& path, std::string_view section,
                          std::string_view key, std::string_view fallback) {
    if (!IniFileExists(path)) return std::string(fallback);
    std::string text;
    try {
        text = ReadFile(path);
    } catch (const FileError&) {
        return std::string(fallback);
    }
    if (auto value = FindIniValue(text, section, key)) return std::move(*value);
    return std::string(fallback);
}

void WriteIniString(const std::filesystem::path& path, std::string_view section,
                    std::string_view key, std::string_view value) {
    const std::string text = IniFileExists(path) ? ReadFile(path) : std::string();
    WriteFileAtomically(path, SetIniValue(text, section, key, value));
}

bool IniFileExists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

void CreateEmptyIniFile(const std::filesystem::path& path) { WriteFileAtomically(path, std::string_view()); }

}  // namespace tavrelo
