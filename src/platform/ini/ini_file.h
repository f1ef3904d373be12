#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavrelo {

// A Windows-style INI file: "[section]" lines, each followed by "key=value" lines. Section and
// key names compare without regard to case (ASCII and the Cyrillic letters of Windows-1251).
// Blanks around names and values are ignored, as is one pair of double quotes around a value;
// lines starting with ";" or "#" are comments. Values are Windows-1251 bytes and are returned
// whole. When a section or key occurs twice, the first occurrence counts for reading and is the
// one a write replaces. Lines end with CR LF or LF; a last line without an end is read too.

// The value of `key` in `section` of the INI text, or nothing when it has no such entry.
std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// The INI text with `key` in `section` set to `value`: an existing entry is replaced in place,
// a missing key is added at the end of its section, a missing section at the end of the text.
// Every other line stays as it was, and so does the text's line end (CR LF for a new text).
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

// The value stored in the file, or `fallback` when the file, the section or the key is missing
// or the file cannot be read.
std::string ReadIniString(const std::filesystem::path& path, std::string_view section,
                          std::string_view key, std::string_view fallback);

// Stores the value, creating the file, the section and the key as needed; the file is replaced
// atomically. FileError when the file cannot be written.
void WriteIniString(const std::filesystem::path& path, std::string_view section,
                    std::string_view key, std::string_view value);

// Whether a regular file of that name exists.
bool IniFileExists(const std::filesystem::path& path);

// Creates the file empty (an existing file is emptied). FileError when that fails.
void CreateEmptyIniFile(const std::filesystem::path& path);

}  // namespace tavrelo
