#pragma once

#include <cstddef>
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

// A seam for tests that make writes fail: when set, it is asked before every write to the
// temporary file (with the bytes written so far) and before the rename, and an errno value other
// than 0 makes that step fail as the system call would. Writes then go in pieces of at most
// kAtomicWriteHookPiece bytes, so a failure can fall inside a file. Not set in the programs.
enum class AtomicWriteStep { kWrite, kRename };
using AtomicWriteHook = int (*)(AtomicWriteStep step, std::size_t written);
inline constexpr std::size_t kAtomicWriteHookPiece = 512;
void SetAtomicWriteHookForTesting(AtomicWriteHook hook);

// Reads a whole file; FileError when it cannot be opened or read.
std::string ReadFile(const std::filesystem::path& path);

}  // namespace tavrelo
