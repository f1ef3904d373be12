#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrelo {

// Replaces the file at `path` with `data` so that a reader sees either the previous file or the
// whole new one, never a part: the bytes go to a temporary file in the same folder, which is
// flushed to disk and then renamed over the target. On any failure the temporary file is removed,
// the previous file stays as it was, and FileError is raised with the reason.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view data);

// The same with the data in pieces, written one after the other, so that a large text need not
// be joined into one string first.
void WriteFileAtomically(const std::filesystem::path& path, const std::vector<std::string>& pieces);
void WriteFileAtomically(const std::filesystem::path& path,
                         std::span<const std::string_view> pieces);

// The lines joined with `terminator` after each one (including the last).
std::string JoinLines(const std::vector<std::string>& lines, std::string_view terminator);

// Reads a whole file; FileError when it cannot be opened or read.
std::string ReadFile(const std::filesystem::path& path);

}  // namespace tavrelo
